#include "inplace/kxdropdown.h"

#include "platform/controls/stdwnd.h"
#include "platform/win/system.h"

namespace {
void FillSolid(HDC DC, const TRect& R, HBRUSH Brush) {
  RECT r = R;
  FillRect(DC, &r, Brush);
}

// A filled triangle in one colour (pen and brush).
void Triangle(HDC DC, const POINT* P, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HBRUSH brush = CreateSolidBrush(Color);
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  Polygon(DC, P, 3);
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}

void DrawArrow(HDC DC, int X, int Y, int S, COLORREF Color) {
  POINT p[3] = {{X, Y}, {X + S - 1, Y}, {X + S / 2, Y + S / 2}};
  Triangle(DC, p, Color);
}

void DrawDots(HDC DC, int X, int Y, int S, COLORREF Color) {
  HBRUSH b = CreateSolidBrush(Color);
  for (int k = -1; k <= 1; ++k) FillSolid(DC, kxRect(X + 2 * S * k, Y, X + 2 * S * k + S, Y + S), b);
  DeleteObject(b);
}
}  // namespace

void kxDrawEditButtonFace(HDC DC, TRect& R, TkxEditViewData* VD, bool Transparent, bool Hot, bool Pushed,
                          bool IsGlyph, COLORREF& MarkColor, HBRUSH& FaceBrush) {
  HBRUSH bg = VD->Brush ? VD->Brush : GetSysColorBrush(COLOR_WINDOW);
  FaceBrush = Transparent ? bg : GetSysColorBrush(COLOR_BTNFACE);
  MarkColor = GetSysColor(COLOR_BTNTEXT);
  TkxEditButtonViewStyle style = VD->ButtonStyle;
  if (style == btsSimple && (Hot || Pushed)) style = btsFlat;
  if (Transparent && !IsGlyph) FillSolid(DC, R, bg);
  const UINT middle = (!Transparent && !IsGlyph) ? BF_MIDDLE : 0;
  switch (style) {
    case bts3D:
    case btsDefault:
      if (Pushed) {
        DrawEdge(DC, &R, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | middle | BF_ADJUST);
        DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
      } else {
        DrawEdge(DC, &R, EDGE_RAISED, BF_RECT | middle | BF_ADJUST);
      }
      break;
    case btsFlat:
      if (!Transparent) {
        FillSolid(DC, kxRect(R.left, R.top, R.left + 1, R.bottom), GetSysColorBrush(COLOR_BTNFACE));
        ++R.left;
      }
      DrawEdge(DC, &R, Pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | middle | BF_ADJUST);
      break;
    case btsSimple:
      if (!Transparent) {
        FrameRect(DC, &R, bg);
        InflateRect(&R, -1, -1);
        FillSolid(DC, kxRect(R.left, R.top, R.left + 1, R.bottom), bg);
        ++R.left;
        if (!IsGlyph) FillSolid(DC, R, FaceBrush);
      } else {
        InflateRect(&R, -1, -1);
      }
      break;
    case btsHotFlat: {
      FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
      InflateRect(&R, -1, -1);
      if (Hot || Pushed)
        MarkColor = !Transparent ? GetSysColor(COLOR_WINDOW)
                                 : (!Pushed ? GetSysColor(COLOR_BTNSHADOW) : GetSysColor(COLOR_BTNTEXT));
      if (!Transparent) {
        FaceBrush = GetSysColorBrush(COLOR_BTNFACE);
        if (VD->Enabled) {
          if (Pushed) FaceBrush = GetSysColorBrush(COLOR_BTNTEXT);
          else if (Hot) FaceBrush = GetSysColorBrush(COLOR_BTNSHADOW);
        }
        if (!IsGlyph) FillSolid(DC, R, FaceBrush);
      }
      break;
    }
  }
}

void kxDrawEditButton(HDC DC, TRect R, const TkxEditButtonEntry& E, TkxDropDownEditViewData* VD, bool Hot,
                      bool Pushed) {
  const bool glyph = E.Kind == bkGlyph && E.Glyph && !E.Glyph->Empty();
  const int fullWidth = R.Width();
  TkxEditButtonViewStyle style = VD->ButtonStyle;
  if (style == btsSimple && (Hot || Pushed)) style = btsFlat;
  COLORREF mark;
  HBRUSH face;
  kxDrawEditButtonFace(DC, R, VD, VD->ButtonTransparent, Hot, Pushed, E.Kind == bkGlyph, mark, face);
  if (Pushed && style != btsHotFlat) {
    if (glyph) {
      int d = style == bts3D ? 2 : 1;
      R.left += d;
      R.top += d;
    } else {
      OffsetRect(&R, 1, 1);
    }
  }
  if (E.Kind == bkGlyph) {
    if (!glyph) return;
    TRect g = kxRect(R.left, R.top, R.left + E.Glyph->Width(), R.top + E.Glyph->Height());
    if (g.right < R.right) {
      int diff = R.right - g.right;
      if (Pushed && (style == btsFlat || VD->ButtonStyle == btsSimple) && (diff & 1)) OffsetRect(&g, 1, 0);
      OffsetRect(&g, (R.right - g.right) / 2, 0);
    }
    if (g.bottom < R.bottom) OffsetRect(&g, 0, (R.bottom - g.bottom) / 2);
    kxBlitTransparent(DC, face, R, E.Glyph, g);
    return;
  }
  int S, X, Y;
  if (E.Kind == bkDown) {
    S = (R.right - R.left) / 2;
    if (S % 2 == 0) ++S;
  } else {
    int w = fullWidth + (VD->ButtonStyle == btsFlat || VD->ButtonStyle == btsSimple ? 1 : 0);
    S = w < 16 ? 1 : 2;
  }
  X = (R.left + R.right - S) / 2;
  Y = (R.top + R.bottom - S / 2) / 2 - ((R.bottom - R.top) & 1);
  auto draw = [&](int x, int y, COLORREF c) {
    if (E.Kind == bkDown) DrawArrow(DC, x, y, S, c);
    else DrawDots(DC, x, y, S, c);
  };
  if (!VD->Enabled) {
    draw(X + 1, Y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    draw(X, Y, GetSysColor(COLOR_BTNSHADOW));
  } else {
    draw(X, Y, mark);
  }
}

// ---- class-level ----

KX_EDIT_CLASS_IMPL(TkxInplaceDropDownEdit)

int TkxInplaceDropDownEdit::TClassRef::GetButtonWidth(TkxDropDownEditViewData* VD,
                                                      const TkxEditButtonEntry& E) const {
  const bool flatOrSimple = VD->ButtonStyle == btsFlat || VD->ButtonStyle == btsSimple;
  if (E.Kind == bkGlyph && E.Glyph && E.Glyph->Width() > 0)
    return E.Glyph->Width() + 2 + (flatOrSimple ? 1 : 0) + (VD->ButtonStyle == bts3D ? 2 : 0);
  return GetSystemMetrics(SM_CXVSCROLL) - (flatOrSimple ? 1 : 0);
}

void TkxInplaceDropDownEdit::TClassRef::CalcButtons(TkxDropDownEditViewData* VD) const {
  for (auto& e : VD->ButtonEntries) e = TkxEditButtonEntry{};
  if (VD->ButtonsHidden) {
    VD->ButtonCount = 0;
    return;
  }
  VD->ButtonCount = 1;
  TkxEditButtonEntry& e = VD->ButtonEntries[0];
  e.Glyph = VD->ButtonGlyph;
  e.Ordinal = 0;
  e.LeftAlignment = false;
  e.Kind = VD->ButtonGlyph ? bkGlyph : bkDown;
  e.Width = GetButtonWidth(VD, e);
}

void TkxInplaceDropDownEdit::TClassRef::CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize,
                                                     TkxEditViewRects& Rects) const {
  TkxInplaceMaskEdit::TClassRef::CalcViewInfo(ViewData, CalcSize, Rects);
  auto* vd = dynamic_cast<TkxDropDownEditViewData*>(ViewData);
  if (!vd) return;
  CalcButtons(vd);
  for (int i = 0; i < vd->ButtonCount; ++i) {
    const TkxEditButtonEntry& e = vd->ButtonEntries[i];
    if (e.LeftAlignment) Rects.ClientRect.left += e.Width;
    else Rects.ClientRect.right -= e.Width;
  }
  if (Rects.ClientRect.right < Rects.ClientRect.left) Rects.ClientRect.right = Rects.ClientRect.left;
}

void TkxInplaceDropDownEdit::TClassRef::ButtonRects(const TkxEditViewRects& Rects, TkxDropDownEditViewData* VD,
                                                    TRect* Out) const {
  TRect r = Rects.BorderRect;
  const int w = Rects.BorderWidth;
  if (Rects.EdgeLeft) r.left += w;
  if (Rects.EdgeTop) r.top += w;
  if (Rects.EdgeRight) r.right -= w;
  if (Rects.EdgeBottom) r.bottom -= w;
  for (int i = VD->ButtonCount - 1; i >= 0; --i) {
    const TkxEditButtonEntry& e = VD->ButtonEntries[i];
    if (e.LeftAlignment) {
      Out[i] = kxRect(r.left, r.top, r.left + e.Width, r.bottom);
      r.left += e.Width;
    } else {
      Out[i] = kxRect(r.right - e.Width, r.top, r.right, r.bottom);
      r.right -= e.Width;
    }
  }
}

void TkxInplaceDropDownEdit::TClassRef::DrawBorder(HDC DC, const TkxEditViewRects& Rects,
                                                   TkxEditViewData* ViewData) const {
  TkxInplaceMaskEdit::TClassRef::DrawBorder(DC, Rects, ViewData);
  auto* vd = dynamic_cast<TkxDropDownEditViewData*>(ViewData);
  if (!vd || vd->ButtonCount == 0) return;
  TRect rects[kxMaxEditButtons];
  ButtonRects(Rects, vd, rects);
  for (int i = 0; i < vd->ButtonCount; ++i) {
    bool hot = vd->HotButton == i;
    bool pushed = vd->PushedButton == i && hot;
    kxDrawEditButton(DC, rects[i], vd->ButtonEntries[i], vd, hot, pushed);
  }
}

// ---- TkxInplaceDropDownEdit ----

TkxInplaceDropDownEdit::TkxInplaceDropDownEdit(TComponent* AOwner) : TkxInplaceMaskEdit(AOwner) {}

TkxInplaceDropDownEdit::~TkxInplaceDropDownEdit() { delete FButtonGlyph; }

void TkxInplaceDropDownEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TkxInplaceMaskEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCurrentPopup) {
    FCurrentPopup = nullptr;
    FPopupShown = false;
  }
}

TBitmap* TkxInplaceDropDownEdit::GetButtonGlyph() {
  if (!FButtonGlyph) FButtonGlyph = new TBitmap();
  return FButtonGlyph;
}

void TkxInplaceDropDownEdit::SetButtonGlyph(TBitmap* Value) {
  if (!Value || Value->Empty()) {
    delete FButtonGlyph;
    FButtonGlyph = nullptr;
  } else {
    GetButtonGlyph()->Assign(Value);
  }
  LayoutChanged();
}

TkxEditViewData* TkxInplaceDropDownEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceMaskEdit::CreateViewData(FromData);
  if (auto* d = dynamic_cast<TkxDropDownEditViewData*>(vd)) {
    d->ButtonGlyph = FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph : nullptr;
    d->ButtonsHidden = !IsSelected() && Style()->ButtonTransparence() == ebtHideInactive;
    d->HotButton = FHotButton;
    d->PushedButton = FPushedButton;
  }
  return vd;
}

TkxPopupBorder TkxInplaceDropDownEdit::GetPopupBorder() {
  if (PopupBorder != pbDefault) return PopupBorder;
  TCustomkxContainer* c = Container();
  return c ? c->GetPopupBorder(Style()->BorderStyle()) : pbFrame3D;
}

bool TkxInplaceDropDownEdit::IsPopupActive() {
  return FCurrentPopup && FCurrentPopup->HandleAllocated() && IsWindowVisible(FCurrentPopup->Handle()) &&
         (FCurrentPopup->Focused() || FRouteKeysToPopup);
}

void TkxInplaceDropDownEdit::SetDroppedDown(bool Value) {
  if (Value == IsPopupActive()) return;
  if (Value) {
    if (HandleAllocated()) PostMessageA(Handle(), KXM_DROPDOWN, 0, 0);
  } else {
    CloseUp(false);
  }
}

void TkxInplaceDropDownEdit::SetHotButton(int Index) {
  if (FHotButton == Index) return;
  FHotButton = Index;
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TkxInplaceDropDownEdit::ReleasePushedButton() {
  if (FPushedButton == -1) return;
  FPushedButton = -1;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TkxInplaceDropDownEdit::FocusIfPossible() {
  if (HandleAllocated() && !Focused() && CanFocus() && IsWindowVisible(Handle()) && Application &&
      Application->Active())
    ::SetFocus(Handle());
}

void TkxInplaceDropDownEdit::PopupMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || !FCurrentPopup) return;
  TRect cr = FCurrentPopup->ClientRect();
  CloseUp(PtInRect(&cr, kxPoint(X, Y)) != 0);
}

void TkxInplaceDropDownEdit::DoCloseUp(AnsiString& Text, bool& Accept) {
  if (OnHostCloseUp) OnHostCloseUp(this, Text, Accept);
}

void TkxInplaceDropDownEdit::DoEditButtonClick() {
  if (OnHostEditButtonClick) OnHostEditButtonClick(this);
  if (OnEditButtonClick) OnEditButtonClick(this);
}

void TkxInplaceDropDownEdit::ButtonDown(bool InClientArea, int Index) {
  if (FPopupShown && FCurrentPopup && FRouteKeysToPopup) {
    CloseUp(false);
    return;
  }
  if (FPopupShown) return;
  FPushedButton = FHotButton;
  if (!InClientArea && HandleAllocated()) SetCapture(Handle());
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
  if (Index != -1) SetDroppedDown(true);
}

void TkxInplaceDropDownEdit::DropDownKeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (FPopupShown) CloseUp(true);
    else DropDown();
    Key = 0;
  } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && FPopupShown) {
    bool enter = Key == VK_RETURN;
    CloseUp(enter);
    if (enter && HandleAllocated()) kxRemovePendingChar(Handle());
    Key = 0;
  }
}

void TkxInplaceDropDownEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!FRouteKeysToPopup) {
    const bool alt = Shift.Contains(ssAlt);
    if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
      DropDown();
      Key = 0;
    }
  }
  if (Key) TkxInplaceMaskEdit::KeyDown(Key, Shift);
}

void TkxInplaceDropDownEdit::WndProc(TMessage& Message) {
  const UINT msg = Message.Msg;
  if (FRouteKeysToPopup && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_CHAR)) {
    Word key = Word(Message.WParam);
    if (msg != WM_CHAR) {
      DropDownKeyDown(key, KeyDataToShiftState(Message.LParam));
      if (key == 0) return;
      Message.WParam = key;
    }
    if (FPopupShown && FCurrentPopup && FCurrentPopup->HandleAllocated()) {
      HWND popup = FCurrentPopup->Handle();
      if (!FSearchInPopup) {
        Message.Result = SendMessageA(popup, msg, Message.WParam, Message.LParam);
        return;
      }
      if (msg == WM_CHAR || (msg == WM_KEYDOWN && (key == VK_BACK || key == VK_DELETE))) {
        TkxInplaceMaskEdit::WndProc(Message);
        LocateText(Text());
        return;
      }
      if (msg == WM_KEYDOWN) {
        if ((key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT) && IsTextEditing()) {
          TkxInplaceMaskEdit::WndProc(Message);
          return;
        }
        if (key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME || key == VK_LEFT ||
            key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
          Message.Result = SendMessageA(popup, msg, Message.WParam, Message.LParam);
          return;
        }
      }
      if (msg == WM_SYSKEYDOWN && key == VK_F4) DefaultHandler(Message);
      return;
    }
  }
  TkxInplaceMaskEdit::WndProc(Message);
}

int TkxInplaceDropDownEdit::ButtonAtWindowPoint(const TPoint& P) {
  std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
  auto* d = dynamic_cast<TkxDropDownEditViewData*>(vd.get());
  auto* ref = dynamic_cast<const TClassRef*>(EditClass());
  if (!d || !ref) return -1;
  TkxEditViewRects rects;
  ref->CalcViewInfo(d, false, rects);
  TRect r[kxMaxEditButtons];
  ref->ButtonRects(rects, d, r);
  for (int i = d->ButtonCount - 1; i >= 0; --i)
    if (PtInRect(&r[i], P)) return i;
  return -1;
}

void TkxInplaceDropDownEdit::WMNCHitTest(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  if (ComponentState().Contains(csDesigning)) {
    SetHotButton(-1);
    return;
  }
  TPoint p = kxWindowPointFromScreen(Handle(), kxPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
  int b = ButtonAtWindowPoint(p);
  if (b == -1 || (GetCapture() && FPushedButton == -1)) {
    SetHotButton(-1);
    return;
  }
  SetHotButton(FPushedButton != -1 && FPushedButton != b ? -1 : b);
  Message.Result = HTBORDER;
}

void TkxInplaceDropDownEdit::MouseMove(TShiftState Shift, int X, int Y) {
  bool leftDown = Shift.Contains(ssLeft);
  if ((FPushedButton != -1 || (ClickToPopup && leftDown)) && FPopupShown && FCurrentPopup &&
      FCurrentPopup->HandleAllocated()) {
    TPoint screen = ClientToScreen(kxPoint(X, Y));
    TPoint p = FCurrentPopup->ScreenToClient(screen);
    TRect cr = FCurrentPopup->ClientRect();
    if (PtInRect(&cr, p)) {
      ReleasePushedButton();
      SendMessageA(FCurrentPopup->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p.x, p.y));
      return;
    }
  }
  if (FPushedButton != -1 && HandleAllocated()) {
    // While the mouse is captured the pushed button is hot only under the pointer.
    TPoint p = kxWindowPointFromScreen(Handle(), ClientToScreen(kxPoint(X, Y)));
    SetHotButton(ButtonAtWindowPoint(p) == FPushedButton ? FPushedButton : -1);
  }
  TkxInplaceMaskEdit::MouseMove(Shift, X, Y);
}

void TkxInplaceDropDownEdit::SetSelected(bool Value) {
  if (!Value) SetHotButton(-1);
  TkxInplaceMaskEdit::SetSelected(Value);
}

void TkxInplaceDropDownEdit::Activated() {
  TkxInplaceMaskEdit::Activated();
  if (ImmediatePopup) SetDroppedDown(true);
}

void TkxInplaceDropDownEdit::Hide() {
  if (FPopupShown && FCurrentPopup && FCurrentPopup->HandleAllocated())
    PostMessageA(FCurrentPopup->Handle(), WM_CLOSE, 0, 0);
  FPopupShown = false;
  TkxInplaceMaskEdit::Hide();
}

bool TkxInplaceDropDownEdit::IsFocused() {
  return TkxInplaceMaskEdit::IsFocused() || (FCurrentPopup && FCurrentPopup->HandleAllocated() && FCurrentPopup->Focused());
}

void TkxInplaceDropDownEdit::MouseActivate(int X, int Y) {
  TkxInplaceMaskEdit::MouseActivate(X, Y);
  TCustomkxContainer* c = Container();
  if (!c || !HandleAllocated()) return;
  TPoint p = c->ClientToScreen(kxPoint(X, Y));
  ReleaseCapture();
  LRESULT hit = SendMessageA(Handle(), WM_NCHITTEST, 0, MakeLParam(p.x, p.y));
  SendMessageA(Handle(), WM_NCLBUTTONDOWN, WPARAM(hit), MakeLParam(p.x, p.y));
}

void TkxInplaceDropDownEdit::ClickActivate() {
  if (ClickToPopup && !FPopupShown) DropDown();
  TkxInplaceMaskEdit::ClickActivate();
}

void TkxInplaceDropDownEdit::Show() {
  FPopupShown = false;
  TkxInplaceMaskEdit::Show();
}

void TkxInplaceDropDownEdit::PositionPopup(TControl* Popup, bool AdjustWidth) {
  RECT r;
  GetWindowRect(Handle(), &r);
  std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
  TkxEditViewRects rects;
  EditClass()->CalcViewInfo(vd.get(), false, rects);
  int w = rects.BorderRect.Width() + (vd->Shadow ? 2 : 0);
  int pw = Popup->Width(), ph = Popup->Height();
  if (AdjustWidth && w > pw) pw = w;
  r.left += rects.BorderRect.left;
  r.right = r.left + w;
  if (vd->BorderStyle == xbsNone || vd->BorderStyle == xbsSingle) {
    r.top += 1;
    r.bottom -= 1;
  }
  int x = r.left;
  if (PopupAlignment == taRightJustify) x = r.right - pw;
  else if (PopupAlignment == taCenter) x = (r.left + r.right) / 2 - pw / 2;
  TPoint p = kxPoint(x, r.bottom);
  kxPlacePopupInWorkArea(p, pw, ph, r.bottom - r.top);
  Popup->SetBounds(p.x, p.y, pw, ph);
}

// ---- messages ----

void TkxInplaceDropDownEdit::WMCancelMode(TMessage& Message) {
  ReleasePushedButton();
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceDropDownEdit::WMCaptureChanged(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  ReleasePushedButton();
}

void TkxInplaceDropDownEdit::WMKillFocus2(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  CloseUp(false);
}

void TkxInplaceDropDownEdit::WMGetDlgCode2(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  Message.Result |= DLGC_WANTALLKEYS;
}

void TkxInplaceDropDownEdit::WMLButtonDown2(TWMMouse& Message) {
  if (ClickToPopup) ButtonDown(true, 0);
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceDropDownEdit::WMLButtonDblClk(TWMMouse& Message) {
  if (ClickToPopup) ButtonDown(true, 0);
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceDropDownEdit::WMLButtonUp2(TWMMouse& Message) {
  if (FPushedButton != -1) {
    int i = FHotButton == -1 ? -1 : FPushedButton;
    ReleasePushedButton();
    if (i != -1) ButtonClick(i);
  }
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceDropDownEdit::WMMouseWheel(TMessage& Message) {
  int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
  if (IsPopupActive()) SendMessageA(FCurrentPopup->Handle(), WM_VSCROLL, delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
  else StepItem(delta <= 0 ? 1 : -1, false);
  Message.Result = 1;
}

void TkxInplaceDropDownEdit::WMNCLButtonDown(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  if (FHotButton != -1) {
    ButtonDown(false, FHotButton);
    if (HandleAllocated() && GetFocus() != Handle()) ::SetFocus(Handle());
  }
}

void TkxInplaceDropDownEdit::WMNCLButtonDblClk(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  SendMessageA(Handle(), WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
}

void TkxInplaceDropDownEdit::CMCancelMode(TMessage& Message) {
  auto* sender = reinterpret_cast<TControl*>(Message.LParam);
  if (sender != this && sender != FCurrentPopup) CloseUp(false);
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceDropDownEdit::CMHintShow(TMessage& Message) { Message.Result = IsPopupActive() ? 1 : 0; }

void TkxInplaceDropDownEdit::KXMPopupClosed(TMessage&) { FPopupShown = false; }

void TkxInplaceDropDownEdit::KXMDropDown(TMessage&) { DropDown(); }

void kxInitDropDown() {
  RegisterClasses({TkxInplaceDropDownEdit::StaticClass(), TkxDropDownEditViewData::StaticClass()});
}
