#include "inplace/kxcheck.h"

#include "inplace/kxresources.h"
#include "platform/controls/menus.h"
#include "platform/win/system.h"

namespace {
TkxCheckEditStyleController* gDefaultCheckController = nullptr;

int StateOf(const Variant& V) {
  if (V.IsNull() || V.IsEmpty()) return 0;
  try {
    return int(V.AsInteger());
  } catch (const Exception&) {
    return 0;
  }
}
}  // namespace

// ---- styles ----

TkxCheckEditStyleController::TkxCheckEditStyleController(TComponent* AOwner) : TkxEditStyleController(AOwner) {
  BeginUpdate();
  SetBorderStyle(xbsNone);
  SetButtonStyle(bts3D);
  EndUpdate();
}

void TkxCheckEditStyleController::RestoreDefaults() {
  BeginUpdate();
  try {
    TkxEditStyleController::RestoreDefaults();
    SetBorderStyle(xbsNone);
    SetButtonStyle(bts3D);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TkxCheckEditStyleController* kxDefaultCheckStyleController() { return gDefaultCheckController; }

TkxEditStyleController* TkxCheckEditStyle::GetDefaultStyleController() const { return gDefaultCheckController; }

// ---- class-level ----

KX_EDIT_CLASS_IMPL(TkxInplaceCheckEdit)

bool TkxInplaceCheckEdit::GetGlyphSize(TBitmap* Glyph, int GlyphCount, int& Width, int& Height) {
  Width = kxDefaultCheckWidth;
  Height = kxDefaultCheckHeight;
  if (GlyphCount > 0 && Glyph && !Glyph->Empty()) {
    Width = Glyph->Width() / GlyphCount;
    Height = Glyph->Height();
    return true;
  }
  return false;
}

void TkxInplaceCheckEdit::CalcCheckRect(const TRect& R, int Width, int Height, TRect& Check, TRect& Caption,
                                        TAlignment Alignment) {
  Caption = TRect{};
  if (Alignment == taCenter) {
    int x = (R.left + R.right - Width) / 2, y = (R.top + R.bottom - Height) / 2;
    Check = kxRect(x, y, x + Width, y + Height);
    return;
  }
  TRect r = R;
  InflateRect(&r, -2, -2);
  int y = (r.top + r.bottom - Height) / 2;
  if (Alignment == taRightJustify) {
    Check = kxRect(r.right - Width, y, r.right, y + Height);
    Caption = kxRect(r.left, r.top, r.right - Width - 3, r.bottom);
  } else {
    Check = kxRect(r.left, y, r.left + Width, y + Height);
    Caption = kxRect(r.left + Width + 3, r.top, r.right, r.bottom);
  }
}

bool TkxInplaceCheckEdit::TClassRef::DrawClient(HDC DC, const TRect& R, bool, TkxEditViewData* ViewData) const {
  auto* vd = dynamic_cast<TkxCheckEditViewData*>(ViewData);
  if (!vd) return TkxInplaceEdit::TClassRef::DrawClient(DC, R, false, ViewData);
  int w, h;
  bool glyph = GetGlyphSize(vd->Glyph, vd->GlyphCount, w, h);
  if (vd->CalcHeight) {
    vd->LineCount = 1;
    vd->TextHeight = vd->LineHeight = h;
    return true;
  }
  TRect check, caption;
  CalcCheckRect(R, w, h, check, caption, vd->Alignment);
  if (!vd->Transparent && vd->Brush) FillRect(DC, &R, vd->Brush);
  if (vd->Alignment != taCenter) {
    int lh = 0;
    Word flags = Word(kxctVCenter | kxctTransparent | kxctPrefix);
    if (vd->Focused) flags |= kxctFocusRect | kxctFocusTextOnly;
    if (!vd->Enabled) {
      TRect shifted = caption;
      OffsetRect(&shifted, 1, 1);
      kxPaintCellText(DC, vd->CaptionText, -1, lh, GetSysColor(COLOR_BTNHIGHLIGHT), vd->BkColor, vd->Font,
                      vd->Brush, Word(flags & ~kxctFocusRect), shifted, shifted);
      kxPaintCellText(DC, vd->CaptionText, -1, lh, GetSysColor(COLOR_BTNSHADOW), vd->BkColor, vd->Font, vd->Brush,
                      flags, caption, caption);
    } else {
      kxPaintCellText(DC, vd->CaptionText, -1, lh, vd->TextColor, vd->BkColor, vd->Font, vd->Brush, flags, caption,
                      caption);
    }
  }
  const int s = std::max(0, std::min(2, StateOf(vd->Value)));
  UINT flags = DFCS_BUTTONCHECK;
  if (!vd->Enabled) {
    flags |= DFCS_BUTTON3STATE | DFCS_PUSHED | (s == 0 ? DFCS_INACTIVE : DFCS_CHECKED);
  } else {
    if (s == 1) flags |= DFCS_CHECKED;
    else if (s == 2)
      flags |= DFCS_BUTTON3STATE | (vd->NullLook == nsInactive       ? DFCS_INACTIVE
                                    : vd->NullLook == nsGrayedChecked ? DFCS_CHECKED
                                                                      : 0);
    if (vd->Pushed) flags |= DFCS_PUSHED;
  }
  if (glyph) {
    int cell = s + (vd->Pushed ? 3 : 0);
    while (cell >= vd->GlyphCount && cell > 2) cell %= 3;
    TBitmap part;
    part.SetSize(w, h);
    BitBlt(part.Canvas()->Handle(), 0, 0, w, h, vd->Glyph->Canvas()->Handle(), cell * w, 0, SRCCOPY);
    part.SetTransparentColor(vd->Glyph->TransparentColor());
    kxBlitTransparent(DC, vd->Brush ? vd->Brush : GetSysColorBrush(COLOR_WINDOW), check, &part, check);
    return true;
  }
  RECT box = check;
  switch (vd->ButtonStyle) {
    case btsHotFlat: DrawFrameControl(DC, &box, DFC_BUTTON, flags | DFCS_FLAT); break;
    case btsFlat: {
      int saved = SaveDC(DC);
      InflateRect(&box, -1, -1);
      IntersectClipRect(DC, box.left, box.top, box.right, box.bottom);
      InflateRect(&box, 1, 1);
      DrawFrameControl(DC, &box, DFC_BUTTON, flags | DFCS_FLAT);
      RestoreDC(DC, saved);
      DrawEdge(DC, &box, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      DrawEdge(DC, &box, BDR_SUNKENINNER, BF_RECT | BF_FLAT);
      break;
    }
    case btsSimple: {
      int saved = SaveDC(DC);
      IntersectClipRect(DC, box.left, box.top, box.right, box.bottom);
      DrawFrameControl(DC, &box, DFC_BUTTON, flags | DFCS_FLAT);
      RestoreDC(DC, saved);
      InflateRect(&box, -1, -1);
      FrameRect(DC, &box, GetSysColorBrush(COLOR_BTNSHADOW));
      break;
    }
    default: DrawFrameControl(DC, &box, DFC_BUTTON, flags); break;
  }
  return true;
}

int TkxInplaceCheckEdit::TClassRef::GetMinHeight(TkxEditViewData* ViewData) const {
  int h = std::max(TkxInplaceEdit::TClassRef::GetMinHeight(ViewData), kxDefaultCheckHeight);
  auto* vd = dynamic_cast<TkxCheckEditViewData*>(ViewData);
  if (!vd) return h;
  int gw, gh;
  if (GetGlyphSize(vd->Glyph, vd->GlyphCount, gw, gh)) h = std::max(h, gh);
  if (vd->Alignment != taCenter) {
    TRect check, caption;
    CalcCheckRect(vd->Bounds, gw, gh, check, caption, vd->Alignment);
    HDC dc = GetDC(nullptr);
    int lh = 0;
    int th = kxPaintCellText(dc, vd->CaptionText, -1, lh, 0, 0, vd->Font, nullptr, Word(kxctMeasure | kxctPrefix),
                             caption, caption);
    ReleaseDC(nullptr, dc);
    h = std::max(h, th + 4);
  }
  return h;
}

// ---- TkxInplaceCheckEdit ----

TkxInplaceCheckEdit::TkxInplaceCheckEdit(TComponent* AOwner) : TkxInplaceEdit(AOwner) {
  FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
}

TkxInplaceCheckEdit::~TkxInplaceCheckEdit() { delete FGlyph; }

TBitmap* TkxInplaceCheckEdit::GetGlyph() {
  if (!FGlyph) FGlyph = new TBitmap();
  return FGlyph;
}

void TkxInplaceCheckEdit::SetGlyph(TBitmap* Value) {
  if (!Value) {
    delete FGlyph;
    FGlyph = nullptr;
  } else {
    GetGlyph()->Assign(Value);
  }
  LayoutChanged();
}

void TkxInplaceCheckEdit::SetGlyphCount(int Value) {
  FGlyphCount = Value;
  if (FGlyph) LayoutChanged();
}

void TkxInplaceCheckEdit::SetShowNullFieldStyle(TkxShowNullFieldStyle Value) {
  FShowNullFieldStyle = Value;
  InvalidateCheck();
}

void TkxInplaceCheckEdit::InvalidateCheck() { RepaintEditor(); }

void TkxInplaceCheckEdit::SetState(TkxCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  InvalidateCheck();
  if (!ComponentState().Contains(csLoading)) Click();
}

void TkxInplaceCheckEdit::Click() {
  if (InternalChanging) return;
  TkxInplaceEdit::Click();
  Change();
}

void TkxInplaceCheckEdit::Toggle() {
  if (!CanModify()) return;
  switch (FState) {
    case cbsUnchecked: SetState(AllowGrayed ? cbsGrayed : cbsChecked); break;
    case cbsChecked: SetState(cbsUnchecked); break;
    case cbsGrayed: SetState(cbsChecked); break;
  }
  SetModified(true);
}

void TkxInplaceCheckEdit::SetEditValue(const Variant& Value) {
  bool modified = GetModified();
  InternalChanging = true;
  try {
    SetState(TkxCheckBoxState(std::max(0, std::min(2, StateOf(Value)))));
  } catch (...) {
    InternalChanging = false;
    SetModified(modified);
    throw;
  }
  InternalChanging = false;
  SetModified(modified);
}

void TkxInplaceCheckEdit::GetEditingValue(Variant& Value, bool) { Value = Variant(int(FState)); }

void TkxInplaceCheckEdit::GetEditValue(Variant& Value) { Value = Variant(int(FState)); }

TkxEditViewData* TkxInplaceCheckEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceEdit::CreateViewData(FromData);
  vd->DrawAlignment = kxdaTop;
  if (auto* c = dynamic_cast<TkxCheckEditViewData*>(vd)) {
    c->CaptionText = Text();
    c->TextFocusOnly = true;
    c->Glyph = FGlyph;
    c->GlyphCount = FGlyphCount;
    c->NullLook = FShowNullFieldStyle;
    c->Pushed = FPushed;
    c->Alignment = FAlignment;
  }
  return vd;
}

void TkxInplaceCheckEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && !FPushed) {
    FPushed = true;
    InvalidateCheck();
  }
  if (Key == VK_LEFT || Key == VK_RIGHT) ContainerKeyHook(Key == VK_LEFT);
  TkxInplaceEdit::KeyDown(Key, Shift);
}

void TkxInplaceCheckEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_SPACE && FPushed) {
    FPushed = false;
    InvalidateCheck();
    if (IsEditable()) Toggle();
  }
  TkxInplaceEdit::KeyUp(Key, Shift);
}

void TkxInplaceCheckEdit::KeyPress(char& Key) {
  TkxInplaceEdit::KeyPress(Key);
  if (Key == ' ' && !FPushed && IsEditable()) Toggle();
}

void TkxInplaceCheckEdit::UpdatePushed(int X, int Y) {
  TRect cr = ClientRect();
  bool inside = PtInRect(&cr, kxPoint(X, Y)) != 0;
  if (inside == FPushed) return;
  FPushed = inside;
  InvalidateCheck();
}

void TkxInplaceCheckEdit::StopTracking() {
  if (!FMouseTracking) return;
  UpdatePushed(-1, -1);
  FMouseTracking = false;
  SetMouseCapture(false);
}

void TkxInplaceCheckEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    SetMouseCapture(true);
    FMouseTracking = true;
    UpdatePushed(X, Y);
  }
  TkxInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TkxInplaceCheckEdit::MouseMove(TShiftState Shift, int X, int Y) {
  if (FMouseTracking) UpdatePushed(X, Y);
  TkxInplaceEdit::MouseMove(Shift, X, Y);
}

void TkxInplaceCheckEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool pushed = FPushed;
  StopTracking();
  if (Button == mbLeft && pushed && IsEditable()) Toggle();
  TkxInplaceEdit::MouseUp(Button, Shift, X, Y);
}

void TkxInplaceCheckEdit::WMCancelMode(TMessage& Message) {
  StopTracking();
  TkxInplaceEdit::Dispatch(Message);
}

void TkxInplaceCheckEdit::WMGetDlgCode2(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TkxInplaceCheckEdit::CMDialogChar(TMessage& Message) {
  if (IsAccel(Word(Message.WParam), Text()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
    return;
  }
  TkxInplaceEdit::Dispatch(Message);
}

void TkxInplaceCheckEdit::CMTextChanged2(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  LayoutChanged();
}

void kxInitCheckEdit() {
  RegisterClasses({TkxInplaceCheckEdit::StaticClass(), TkxCheckEditViewData::StaticClass(),
                   TkxCheckEditStyle::StaticClass(), TkxCheckEditStyleController::StaticClass()});
  RegisterProps<TkxCheckEditStyleController>([](TPropBuilder<TkxCheckEditStyleController>& p) {
    p.Prop("BorderStyle", &TkxEditStyleController::BorderStyle, &TkxEditStyleController::SetBorderStyle)
        .Default(xbsNone);
    p.Prop("ButtonStyle", &TkxEditStyleController::ButtonStyle, &TkxEditStyleController::SetButtonStyle)
        .Default(bts3D);
  });
  if (!gDefaultCheckController) gDefaultCheckController = new TkxCheckEditStyleController(nullptr);
}

void kxDoneCheckEdit() {
  delete gDefaultCheckController;
  gDefaultCheckController = nullptr;
}
