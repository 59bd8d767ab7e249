// The flow-chart property dialogs and the union chooser.
#include "treechart/fcdialogs.h"

#include <algorithm>
#include <charconv>

#include "platform/classes/typinfo.h"
#include "platform/controls/dialogs.h"
#include "platform/rtl/strings.h"
#include "platform/win/messages.h"

// ---- unions ----

int kxFcUnionNumber(TkxCustomFlowChart* Chart, TkxFcObject* O) {
  int n = 0;
  for (TkxFcObject* u : Chart->ObjectList())
    if (u->IsUnion()) {
      ++n;
      if (u == O) return n;
    }
  return 0;
}

bool kxFcBelongsToUnion(TkxCustomFlowChart* Chart, TkxFcObject* O) {
  if (!O) return false;
  for (TkxFcObject* u : Chart->ObjectList())
    if (u->IsUnion() && u->UnionContains(O)) return true;
  return false;
}

std::vector<TkxFcObject*> kxFcUnionsOf(TkxCustomFlowChart* Chart, TkxFcObject* O) {
  std::vector<TkxFcObject*> r;
  for (TkxFcObject* u : Chart->ObjectList())
    if (u != O && u->IsUnion() && u->UnionContains(O)) r.push_back(u);
  return r;
}

bool kxFcChartHasUnion(TkxCustomFlowChart* Chart) {
  for (TkxFcObject* u : Chart->ObjectList())
    if (u->IsUnion()) return true;
  return false;
}

// ---- numbers ----

namespace {

bool FcParseInt(const AnsiString& S, long long& V) {
  if (S.empty()) {
    V = 1;
    return true;
  }
  const char* b = S.data();
  const char* e = b + S.size();
  const auto r = std::from_chars(b, e, V);
  return r.ec == std::errc() && r.ptr == e;
}

TColor FcPickColor(TComponent* Owner, TColor Start, bool& Ok) {
  TColorDialog d(Owner);
  d.SetColor(Start);
  Ok = d.Execute();
  return d.Color();
}

}  // namespace

bool AcceptNumberKey(TCustomEdit* Edit, char Key, int Max, int Min) {
  AnsiString text = Edit->Text();
  if (Byte(Key) >= 32) {
    const int start = std::clamp(Edit->SelStart(), 0, int(text.size()));
    const int len = std::clamp(Edit->SelLength(), 0, int(text.size()) - start);
    text = text.substr(0, std::size_t(start)) + Key + text.substr(std::size_t(start + len));
  }
  long long v = 0;
  return FcParseInt(text, v) && v >= Min && v <= Max;
}

int kxFcEditNumber(TCustomEdit* Edit) {
  long long v = 1;
  if (!Edit || !FcParseInt(Edit->Text(), v) || v < INT32_MIN || v > INT32_MAX) return 1;
  return int(v);
}

// ---- the common part of the property dialogs ----

void TFcPropertyDialog::ResetMarks() {
  for (int i = 0; i < ComponentCount(); ++i) Components(i)->SetTag(0);
}

void TFcPropertyDialog::MarkChange(TObject* Sender) {
  if (auto* c = dynamic_cast<TComponent*>(Sender)) c->SetTag(1);
}

void TFcPropertyDialog::ColorPanelClick(TObject* Sender) {
  auto* panel = dynamic_cast<TPanel*>(Sender);
  if (!panel) return;
  bool ok = false;
  const TColor c = FcPickColor(this, panel->Color(), ok);
  if (!ok) return;
  panel->SetColor(c);
  panel->SetTag(1);
}

void TFcPropertyDialog::FontButtonClick(TObject* Sender) {
  auto* button = dynamic_cast<TSpeedButton*>(Sender);
  if (!button) return;
  TFontDialog d(this);
  d.SetFont(button->Font());
  if (!d.Execute()) return;
  button->Font()->Assign(d.Font());
  button->SetTag(1);
}

void TFcPropertyDialog::NumberKeyPress(TObject* Sender, char& Key) {
  auto* edit = dynamic_cast<TCustomEdit*>(Sender);
  if (!edit) return;
  const AnsiString& name = edit->Name();
  int lo = 1, hi = 9999999;
  if (name == "seSPoint" || name == "seDPoint") hi = 16;
  if (!AcceptNumberKey(edit, Key, hi, lo)) Key = 0;
}

// ---- the object dialog ----

namespace {

struct TFcBit {
  TCheckBox* TFEditObject::*Box;
  Word Bit;
};
const TFcBit kFcEdgeBits[] = {{&TFEditObject::cbRaisedOut, BDR_RAISEDOUTER},
                              {&TFEditObject::cbSunkenOut, BDR_SUNKENOUTER},
                              {&TFEditObject::cbRaisedIn, BDR_RAISEDINNER},
                              {&TFEditObject::cbSunkenIn, BDR_SUNKENINNER}};
const TFcBit kFcFlagBits[] = {{&TFEditObject::cbLeft, BF_LEFT},     {&TFEditObject::cbTop, BF_TOP},
                              {&TFEditObject::cbRight, BF_RIGHT},   {&TFEditObject::cbBottom, BF_BOTTOM},
                              {&TFEditObject::cbDiag, BF_DIAGONAL}, {&TFEditObject::cbMiddle, BF_MIDDLE},
                              {&TFEditObject::cbSoft, BF_SOFT},     {&TFEditObject::cbAdjust, BF_ADJUST},
                              {&TFEditObject::cbFlat, BF_FLAT},     {&TFEditObject::cbMono, BF_MONO}};

}  // namespace

void TFEditObject::btnClearClick(TObject*) {
  if (!lwImage) return;
  lwImage->SetSelected(nullptr);
  lwImage->SetTag(1);
}

void TFEditObject::Fill(TkxCustomFlowChart* Chart, TkxFcObject* O) {
  memoText->SetText(O->Text());
  cbTextPosition->SetItemIndex(O->VertTextPos() * 3 + O->HorzTextPos());
  cbImagePosition->SetItemIndex(O->VertImagePos() * 3 + O->HorzImagePos());
  cbShapeStyle->SetItemIndex(O->ShapeKind() <= fskHexagon ? O->ShapeKind() : -1);
  seShapeWidth->SetText(IntToStr(O->ShapeWidth()));
  seHeight->SetText(IntToStr(O->Height()));
  seWidth->SetText(IntToStr(O->Width()));
  lwImage->Items()->Clear();
  if (TCustomImageList* images = Chart->Images()) {
    lwImage->SetLargeImages(images);
    lwImage->SetSmallImages(images);
    for (int i = 0; i < images->Count(); ++i) {
      TListItem* item = lwImage->Items()->Add();
      item->SetCaption(IntToStr(i));
      item->SetImageIndex(i);
      if (i == O->ImageIndex()) lwImage->SetSelected(item);
    }
  }
  sbFont->Font()->Assign(O->Font());
  pColor->SetColor(O->ShapeColor());
  pBkColor->SetColor(O->BkColor());
  cbTransparent->SetChecked(O->Transparent());
  for (const TFcBit& b : kFcEdgeBits) (this->*b.Box)->SetChecked((O->FrameEdge() & b.Bit) != 0);
  for (const TFcBit& b : kFcFlagBits) (this->*b.Box)->SetChecked((O->FrameFlags() & b.Bit) != 0);
}

void TFEditObject::Apply(TkxFcObject* O, bool HasImages) {
  if (Marked(cbShapeStyle) && cbShapeStyle->ItemIndex() >= 0) O->SetShapeKind(TkxFcShapeKind(cbShapeStyle->ItemIndex()));
  if (Marked(seShapeWidth)) O->SetShapeWidth(Byte(kxFcEditNumber(seShapeWidth)));
  if (Marked(pColor)) O->SetShapeColor(pColor->Color());
  if (Marked(pBkColor)) O->SetBkColor(pBkColor->Color());
  if (Marked(cbTextPosition) && cbTextPosition->ItemIndex() >= 0) {
    O->SetHorzTextPos(TkxFcHorzPos(cbTextPosition->ItemIndex() % 3));
    O->SetVertTextPos(TkxFcVertPos(cbTextPosition->ItemIndex() / 3));
  }
  if (Marked(sbFont)) O->SetFont(sbFont->Font());
  if (Marked(memoText)) O->SetText(memoText->Text());
  if (Marked(seHeight)) O->SetHeight(Word(kxFcEditNumber(seHeight)));
  if (Marked(seWidth)) O->SetWidth(Word(kxFcEditNumber(seWidth)));
  if (Marked(lwImage) && HasImages) O->SetImageIndex(SmallInt(lwImage->Selected() ? lwImage->Selected()->Index() : -1));
  if (Marked(cbImagePosition) && cbImagePosition->ItemIndex() >= 0) {
    O->SetHorzImagePos(TkxFcHorzPos(cbImagePosition->ItemIndex() % 3));
    O->SetVertImagePos(TkxFcVertPos(cbImagePosition->ItemIndex() / 3));
  }
  if (Marked(cbTransparent)) O->SetTransparent(cbTransparent->Checked());
  auto anyMarked = [this](const auto& bits) {
    return std::any_of(std::begin(bits), std::end(bits), [this](const TFcBit& b) { return Marked(this->*b.Box); });
  };
  auto collect = [this](const auto& bits) {
    Word v = 0;
    for (const TFcBit& b : bits)
      if ((this->*b.Box)->Checked()) v |= b.Bit;
    return v;
  };
  if (anyMarked(kFcEdgeBits)) O->SetFrameEdge(collect(kFcEdgeBits));
  if (anyMarked(kFcFlagBits)) O->SetFrameFlags(collect(kFcFlagBits));
}

bool kxFcEditObjects(TkxCustomFlowChart* Chart, TkxFcObject* AObject) {
  if (!Chart || !AObject) return false;
  bool result = false;
  {
    std::unique_ptr<TFEditObject> dlg(NewObject<TFEditObject>(Application));
    dlg->Fill(Chart, AObject);
    dlg->ResetMarks();
    if (dlg->ShowModal() == mrOk) {
      const bool images = Chart->Images() != nullptr;
      for (int i = 0; i < Chart->SelectedObjectCount(); ++i) dlg->Apply(Chart->SelectedObjects(i), images);
      result = Chart->SelectedObjectCount() > 0;
    }
  }
  // the mouse state begun by the double click that opened the dialog ends
  if (Chart->HandleAllocated()) PostMessageA(Chart->Handle(), WM_LBUTTONUP, 0, 0);
  return result;
}

// ---- the connection dialog ----

void TFEditConnection::Fill(TkxFcConnection* C) {
  MemoText->SetText(C->Text());
  sbFont->Font()->Assign(C->Font());
  cbSArrowStyle->SetItemIndex(C->SourceArrow()->ArrowKind());
  cbDArrowStyle->SetItemIndex(C->DestArrow()->ArrowKind());
  seSArrowSize->SetText(IntToStr(C->SourceArrow()->Width()));
  seDArrowSize->SetText(IntToStr(C->DestArrow()->Height()));
  seSPoint->SetText(C->SourcePoint() > 15 ? AnsiString("1") : IntToStr(C->SourcePoint() + 1));
  seDPoint->SetText(C->DestPoint() > 15 ? AnsiString("1") : IntToStr(C->DestPoint() + 1));
  pColor->SetColor(C->Color());
  pBkColor->SetColor(C->SourceArrow()->Color());
}

void TFEditConnection::Apply(TkxFcConnection* C) {
  auto point = [](TEdit* e) {
    const int v = kxFcEditNumber(e);
    return Byte(v >= 1 && v <= 16 ? v - 1 : 0);
  };
  if (Marked(MemoText)) C->SetText(MemoText->Text());
  if (Marked(sbFont)) C->SetFont(sbFont->Font());
  if (Marked(cbSArrowStyle) && cbSArrowStyle->ItemIndex() >= 0)
    C->SourceArrow()->SetArrowKind(TkxFcArrowKind(cbSArrowStyle->ItemIndex()));
  if (Marked(cbDArrowStyle) && cbDArrowStyle->ItemIndex() >= 0)
    C->DestArrow()->SetArrowKind(TkxFcArrowKind(cbDArrowStyle->ItemIndex()));
  if (Marked(seSArrowSize)) {
    const Byte s = Byte(kxFcEditNumber(seSArrowSize));
    C->SourceArrow()->SetWidth(s);
    C->SourceArrow()->SetHeight(s);
  }
  if (Marked(seDArrowSize)) {
    const Byte s = Byte(kxFcEditNumber(seDArrowSize));
    C->DestArrow()->SetWidth(s);
    C->DestArrow()->SetHeight(s);
  }
  if (Marked(seSPoint)) C->SetSource(C->Source(), point(seSPoint));
  if (Marked(seDPoint)) C->SetDest(C->Dest(), point(seDPoint));
  if (Marked(pColor)) C->SetColor(pColor->Color());
  if (Marked(pBkColor)) {
    C->SourceArrow()->SetColor(pBkColor->Color());
    C->DestArrow()->SetColor(pBkColor->Color());
  }
}

bool kxFcEditConnections(TkxCustomFlowChart* Chart, TkxFcConnection* AConnection) {
  if (!Chart || !AConnection) return false;
  bool result = false;
  {
    std::unique_ptr<TFEditConnection> dlg(NewObject<TFEditConnection>(Application));
    dlg->Fill(AConnection);
    dlg->ResetMarks();
    if (dlg->ShowModal() == mrOk) {
      for (int i = 0; i < Chart->SelectedConnectionCount(); ++i) dlg->Apply(Chart->SelectedConnections(i));
      result = Chart->SelectedConnectionCount() > 0;
    }
  }
  if (Chart->HandleAllocated()) PostMessageA(Chart->Handle(), WM_LBUTTONUP, 0, 0);
  return result;
}

// ---- the union chooser ----

namespace {

AnsiString FcUnionItemText(TkxCustomFlowChart* Chart, TkxFcObject* U) {
  AnsiString s = "Union " + IntToStr(kxFcUnionNumber(Chart, U));
  if (!U->Text().empty()) s += " ( " + U->Text() + " )";
  return s;
}

}  // namespace

void TFSelectUnion::Fill(TkxCustomFlowChart* Chart, bool OnlySelected) {
  TStrings* items = lbUnions->Items();
  items->Clear();
  if (!OnlySelected) {
    for (TkxFcObject* u : Chart->ObjectList())
      if (u->IsUnion()) items->AddObject(FcUnionItemText(Chart, u), u);
    return;
  }
  std::vector<std::pair<AnsiString, TkxFcObject*>> found;
  for (int i = 0; i < Chart->SelectedObjectCount(); ++i) {
    TkxFcObject* o = Chart->SelectedObjects(i);
    if (!kxFcBelongsToUnion(Chart, o)) continue;
    for (TkxFcObject* u : kxFcUnionsOf(Chart, o))
      if (std::none_of(found.begin(), found.end(), [u](const auto& f) { return f.second == u; }))
        found.emplace_back(FcUnionItemText(Chart, u), u);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return AnsiCompareText(a.first, b.first) < 0; });
  for (const auto& f : found) items->AddObject(f.first, f.second);
}

TkxFcObject* kxFcSelectUnion(TkxCustomFlowChart* Chart, bool OnlySelected) {
  if (!Chart) return nullptr;
  std::unique_ptr<TFSelectUnion> dlg(NewObject<TFSelectUnion>(Application));
  dlg->Fill(Chart, OnlySelected);
  if (dlg->ShowModal() != mrOk) return nullptr;
  const int i = dlg->lbUnions->ItemIndex();
  if (i < 0) return nullptr;
  return dynamic_cast<TkxFcObject*>(dlg->lbUnions->Items()->Objects(i));
}

// ---- registration ----

void kxInitFlowChartDialogs() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TFEditObject::StaticClass(), TFEditConnection::StaticClass(), TFSelectUnion::StaticClass()});
  RegisterHandlers<TFEditObject>([](THandlerBuilder<TFEditObject>& h) {
    h.Handler("MarkChange", &TFcPropertyDialog::MarkChange);
    h.Handler("ColorPanelClick", &TFcPropertyDialog::ColorPanelClick);
    h.Handler("FontButtonClick", &TFcPropertyDialog::FontButtonClick);
    h.Handler("NumberKeyPress", &TFcPropertyDialog::NumberKeyPress);
    h.Handler("btnClearClick", &TFEditObject::btnClearClick);
    h.Field("PageControl", &TFEditObject::PageControl);
    h.Field("tsGeneral", &TFEditObject::tsGeneral);
    h.Field("tsImage", &TFEditObject::tsImage);
    h.Field("tsFrame", &TFEditObject::tsFrame);
    h.Field("seHeight", &TFEditObject::seHeight);
    h.Field("seWidth", &TFEditObject::seWidth);
    h.Field("seShapeWidth", &TFEditObject::seShapeWidth);
    h.Field("memoText", &TFEditObject::memoText);
    h.Field("sbFont", &TFEditObject::sbFont);
    h.Field("cbTextPosition", &TFEditObject::cbTextPosition);
    h.Field("cbShapeStyle", &TFEditObject::cbShapeStyle);
    h.Field("cbImagePosition", &TFEditObject::cbImagePosition);
    h.Field("pColor", &TFEditObject::pColor);
    h.Field("pBkColor", &TFEditObject::pBkColor);
    h.Field("cbTransparent", &TFEditObject::cbTransparent);
    h.Field("lwImage", &TFEditObject::lwImage);
    h.Field("btnClear", &TFEditObject::btnClear);
    h.Field("btnOK", &TFEditObject::btnOK);
    h.Field("btnCancel", &TFEditObject::btnCancel);
    h.Field("cbRaisedOut", &TFEditObject::cbRaisedOut);
    h.Field("cbSunkenOut", &TFEditObject::cbSunkenOut);
    h.Field("cbRaisedIn", &TFEditObject::cbRaisedIn);
    h.Field("cbSunkenIn", &TFEditObject::cbSunkenIn);
    h.Field("cbLeft", &TFEditObject::cbLeft);
    h.Field("cbTop", &TFEditObject::cbTop);
    h.Field("cbRight", &TFEditObject::cbRight);
    h.Field("cbBottom", &TFEditObject::cbBottom);
    h.Field("cbDiag", &TFEditObject::cbDiag);
    h.Field("cbMiddle", &TFEditObject::cbMiddle);
    h.Field("cbSoft", &TFEditObject::cbSoft);
    h.Field("cbAdjust", &TFEditObject::cbAdjust);
    h.Field("cbMono", &TFEditObject::cbMono);
    h.Field("cbFlat", &TFEditObject::cbFlat);
  });
  RegisterHandlers<TFEditConnection>([](THandlerBuilder<TFEditConnection>& h) {
    h.Handler("MarkChange", &TFcPropertyDialog::MarkChange);
    h.Handler("ColorPanelClick", &TFcPropertyDialog::ColorPanelClick);
    h.Handler("FontButtonClick", &TFcPropertyDialog::FontButtonClick);
    h.Handler("NumberKeyPress", &TFcPropertyDialog::NumberKeyPress);
    h.Field("MemoText", &TFEditConnection::MemoText);
    h.Field("sbFont", &TFEditConnection::sbFont);
    h.Field("cbSArrowStyle", &TFEditConnection::cbSArrowStyle);
    h.Field("cbDArrowStyle", &TFEditConnection::cbDArrowStyle);
    h.Field("seSArrowSize", &TFEditConnection::seSArrowSize);
    h.Field("seDArrowSize", &TFEditConnection::seDArrowSize);
    h.Field("seSPoint", &TFEditConnection::seSPoint);
    h.Field("seDPoint", &TFEditConnection::seDPoint);
    h.Field("pColor", &TFEditConnection::pColor);
    h.Field("pBkColor", &TFEditConnection::pBkColor);
    h.Field("btnOK", &TFEditConnection::btnOK);
    h.Field("btnCancel", &TFEditConnection::btnCancel);
  });
  RegisterHandlers<TFSelectUnion>([](THandlerBuilder<TFSelectUnion>& h) {
    h.Field("lbUnions", &TFSelectUnion::lbUnions);
    h.Field("btnOK", &TFSelectUnion::btnOK);
    h.Field("btnCancel", &TFSelectUnion::btnCancel);
  });
}
