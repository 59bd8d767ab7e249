// A form on the headless backend holding one editor, with helpers to type,
// press keys, read the text and take pictures of the editor.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "editor/tests/edtest.h"
#include "editor/txtedit.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/gdi/pictures.h"
#include "platform/rtl/strings.h"

class EditorTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TTxtEdit* Ed = nullptr;

  void SetUp() override {
    CtlTest::SetUp();
    InitEditorTestClasses();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(40, 40, 480, 360);
    Ed = AddEditor(0, 0, 400, 300);
    Form->Show();
    Ed->SetFocus();
    Pump();
  }
  void TearDown() override {
    delete Form;
    Form = nullptr;
    CtlTest::TearDown();
  }
  TTxtEdit* AddEditor(int X, int Y, int W, int H) {
    auto* e = NewObject<TTxtEdit>(Form);
    e->SetParent(Form);
    e->SetBounds(X, Y, W, H);
    return e;
  }
  static AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }
  static std::string U(const AnsiString& S) { return AnsiToUtf8(S); }
  // The text with its lines joined by "|" (UTF-8), for compact expectations.
  static std::string Joined(TCustomTxtEdit* E) {
    std::string r;
    for (int i = 0; i < E->Lines()->Count(); ++i) {
      if (i) r += "|";
      r += AnsiToUtf8(E->Lines()->Get(i));
    }
    return r;
  }
  void SetText(const char* Utf8) { SetTextOf(Ed, Utf8); }
  void SetTextOf(TCustomTxtEdit* E, const char* Utf8) {
    std::string s = Utf8;
    for (auto& c : s)
      if (c == '|') c = '\n';
    E->Lines()->SetText(Utf8ToAnsi(s));
  }
  // Presses a key with modifiers (HeadlessBackend::Shift/Ctrl/Alt) and handles it.
  void Key(unsigned Vk, unsigned Mods = 0) {
    hb->Key(Vk, Mods);
    Pump();
  }
  // Types text through the keyboard path, one character message per byte.
  void Type(const char* Utf8) {
    const AnsiString s = Utf8ToAnsi(Utf8);
    for (unsigned char c : s) SendMessageA(Ed->Handle(), WM_CHAR, c, 0);
    Pump();
  }
  void Cmd(TTxtEditorCommand C, char Ch = 0, void* Data = nullptr) { Ed->RunCommand(C, Ch, Data); }
  static TBufferCoord BC(int X, int Y) { return TBufferCoord{X, Y}; }
  // The editor's window as the screen shows it.
  TRawImage Picture(TCustomTxtEdit* E) {
    Pump();
    PvWindowImage img = PvCaptureWindow(E->Handle());
    TRawImage r;
    r.Width = img.width;
    r.Height = img.height;
    r.Pixels = img.pixels;
    return r;
  }
};

inline std::ostream& operator<<(std::ostream& os, const TBufferCoord& P) {
  return os << "(" << P.Char << "," << P.Line << ")";
}
