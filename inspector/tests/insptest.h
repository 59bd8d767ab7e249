// Shared fixture of the inspector tests: a shown form on the headless backend
// holding an inspector with text rows, and helpers that press keys and click
// at points of the inspector's client area.
#pragma once

#include <gtest/gtest.h>

#include "inplace/tests/kxtest.h"
#include "inspector/inspector_init.h"
#include "inspector/kxdbinsp.h"

class InspectorTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TCustomkxInspectorControl* Insp = nullptr;
  void SetUp() override {
    CtlTest::SetUp();
    RegisterInplaceSourceResources();
    InitInplace();
    InitInspector();
    Form = NewObject<TForm>(Application);
    Form->SetBounds(100, 100, 420, 360);
  }
  void TearDown() override {
    DoneForms();
    FinalizeInspector();
    FinalizeInplace();
    ResetFormatSettings();
    CtlTest::TearDown();
  }
  // An inspector control of class T on the form, named Insp.
  template <class T = TCustomkxInspectorControl>
  T* NewInspector(int Width = 200, int Height = 240) {
    T* i = NewObject<T>(Form);
    i->SetName("Insp");
    i->SetParent(Form);
    i->SetBounds(10, 10, Width, Height);
    Insp = i;
    return i;
  }
  // A text row of the inspector with a caption and a text.
  TkxInspectorTextRow* TextRow(const char* Caption, const char* Text = "") {
    auto* r = static_cast<TkxInspectorTextRow*>(Insp->AddRow(TkxInspectorTextRow::StaticClass()));
    r->SetCaption(Caption);
    r->SetText(Text);
    return r;
  }
  void Show() {
    Form->Show();
    Insp->SetFocus();
    Pump();
  }
  void Press(unsigned Vk, unsigned Modifiers = 0) {
    hb->Key(Vk, Modifiers);
    Pump();
  }
  void Type(const std::string& Utf8) {
    hb->CommitText(Utf8);
    Pump();
  }
  // A client point of the inspector in screen coordinates.
  TPoint Screen(int X, int Y) {
    TPoint p{X, Y};
    ::ClientToScreen(Insp->Handle(), &p);
    return p;
  }
  void ClickAt(int X, int Y) {
    TPoint p = Screen(X, Y);
    hb->Click(p.x, p.y);
    Pump();
  }
  // The rect of a node's row in client coordinates.
  TRect RowRect(TkxInspectorNode* N) {
    TRect r;
    Insp->GetRowRect(N, r);
    return r;
  }
  TRawImage Shot(TWinControl* C) {
    RECT r;
    GetWindowRect(C->Handle(), &r);
    TRawImage img;
    img.Width = r.right - r.left;
    img.Height = r.bottom - r.top;
    img.Pixels = hb->ComposeScreen(r);
    return img;
  }
  // The screen pixel at a client point of the inspector (0xRRGGBB).
  std::uint32_t Pixel(int X, int Y) {
    TPoint p = Screen(X, Y);
    return hb->ScreenPixel(p.x, p.y) & 0xFFFFFF;
  }
};

// Records the events an inspector fires.
class TInspEvents : public TObject {
 public:
  std::vector<TkxInspectorRow*> Edited;
  std::vector<std::pair<TkxInspectorNode*, TkxInspectorNode*>> Changes;
  int Clicks = 0;
  void OnEdited(TObject*, TkxInspectorNode*, TkxInspectorRow* Row) { Edited.push_back(Row); }
  void OnChangeNode(TObject*, TkxInspectorNode* Old, TkxInspectorNode* New) { Changes.push_back({Old, New}); }
  void OnClick(TObject*) { ++Clicks; }
};
