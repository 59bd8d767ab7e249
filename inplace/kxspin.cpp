#include "inplace/kxspin.h"

#include <cmath>

#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
constexpr UINT_PTR kRepeatTimer = 100;

void FilledTriangle(HDC DC, const POINT* P, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HBRUSH brush = CreateSolidBrush(Color);
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  Polygon(DC, P, 3);
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}
}  // namespace

void kxDrawSpinButton(HDC DC, TRect R, bool Up, TkxEditViewData* VD, bool Hot, bool Pushed) {
  COLORREF mark;
  HBRUSH face;
  const bool transparent = VD->ButtonTransparent;
  if (transparent && !VD->Transparent && VD->Brush) FillRect(DC, &R, VD->Brush);
  kxDrawEditButtonFace(DC, R, VD, transparent || VD->Transparent, Hot, Pushed, false, mark, face);
  TkxEditButtonViewStyle style = VD->ButtonStyle;
  if (Pushed && style != btsHotFlat) OffsetRect(&R, 1, 1);
  int s = (R.Width() - 2) / 2;
  if (s % 2 == 0) ++s;
  if (s < 1) s = 1;
  const int x = (R.left + R.right - s) / 2;
  const int y = (R.top + R.bottom - s / 2) / 2 - 1;
  auto draw = [&](int X, int Y, COLORREF C) {
    if (Up) {
      POINT p[3] = {{X, Y + s / 2}, {X + s / 2, Y}, {X + s - 1, Y + s / 2}};
      FilledTriangle(DC, p, C);
    } else {
      POINT p[3] = {{X, Y + 1}, {X + s - 1, Y + 1}, {X + s / 2, Y + s / 2 + 1}};
      FilledTriangle(DC, p, C);
    }
  };
  if (!VD->Enabled) {
    draw(x + 1, y + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    draw(x, y, GetSysColor(COLOR_BTNSHADOW));
  } else {
    draw(x, y, mark);
  }
}

// ---- class-level ----

KX_EDIT_CLASS_IMPL(TkxInplaceSpinEdit)

int TkxInplaceSpinEdit::TClassRef::GetSpinButtonWidth(TkxEditViewData* ViewData) const {
  auto* vd = dynamic_cast<TkxSpinEditViewData*>(ViewData);
  if (!vd || !vd->ShowSpinButtons) return 0;
  int w = GetSystemMetrics(SM_CXVSCROLL);
  if (w % 2 == 0) --w;
  w = std::max(w, 13);
  if (vd->ButtonStyle == btsFlat || vd->ButtonStyle == btsSimple) --w;
  return w;
}

void TkxInplaceSpinEdit::TClassRef::CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize,
                                                 TkxEditViewRects& Rects) const {
  TkxInplaceMaskEdit::TClassRef::CalcViewInfo(ViewData, CalcSize, Rects);
  Rects.ClientRect.right -= GetSpinButtonWidth(ViewData);
  if (Rects.ClientRect.right < Rects.ClientRect.left) Rects.ClientRect.right = Rects.ClientRect.left;
}

bool TkxInplaceSpinEdit::TClassRef::SpinRects(const TkxEditViewRects& Rects, TkxEditViewData* ViewData, TRect& Up,
                                              TRect& Down) const {
  int w = GetSpinButtonWidth(ViewData);
  if (w <= 0) return false;
  TRect r = Rects.BorderRect;
  const int b = Rects.BorderWidth;
  if (Rects.EdgeLeft) r.left += b;
  if (Rects.EdgeTop) r.top += b;
  if (Rects.EdgeRight) r.right -= b;
  if (Rects.EdgeBottom) r.bottom -= b;
  const int mid = (r.top + r.bottom) / 2;
  Up = kxRect(r.right - w, r.top, r.right, mid);
  Down = kxRect(r.right - w, mid, r.right, r.bottom);
  return true;
}

void TkxInplaceSpinEdit::TClassRef::DrawBorder(HDC DC, const TkxEditViewRects& Rects,
                                               TkxEditViewData* ViewData) const {
  TkxInplaceMaskEdit::TClassRef::DrawBorder(DC, Rects, ViewData);
  auto* vd = dynamic_cast<TkxSpinEditViewData*>(ViewData);
  TRect up, down;
  if (!vd || !SpinRects(Rects, ViewData, up, down)) return;
  kxDrawSpinButton(DC, up, true, vd, vd->HotSpinButton == 1, vd->PushedSpinButton == 1 && vd->HotSpinButton == 1);
  kxDrawSpinButton(DC, down, false, vd, vd->HotSpinButton == 2,
                   vd->PushedSpinButton == 2 && vd->HotSpinButton == 2);
}

// ---- TkxInplaceSpinEdit ----

TkxInplaceSpinEdit::TkxInplaceSpinEdit(TComponent* AOwner) : TkxInplaceMaskEdit(AOwner) {
  FControlStyle >> csSetCaption;
  FText = "0";
}

void TkxInplaceSpinEdit::SetValueType(TkxValueType Value) {
  FStoredValues << svValueType;
  DoSetValueType(Value);
}

void TkxInplaceSpinEdit::SetValueRange(double Max, double Min) {
  FStoredValues << svMaxValue << svMinValue;
  DoSetValueRange(Max, Min);
}

double TkxInplaceSpinEdit::ClampValue(double X) {
  if (FMaxValue == FMinValue) return X;
  return std::max(FMinValue, std::min(FMaxValue, X));
}

double TkxInplaceSpinEdit::GetValue() {
  AnsiString t = Trim(GetMaskText());
  const double empty = FValueType == vtInt ? std::trunc(FMinValue) : FMinValue;
  if (t.empty()) return empty;
  try {
    return FValueType == vtFloat ? StrToFloat(t) : double(StrToInt(t));
  } catch (const EConvertError&) {
    return empty;
  }
}

void TkxInplaceSpinEdit::SetValue(double X) {
  double v = ClampValue(X);
  AnsiString s = FValueType == vtFloat ? FloatToStrF(v, ffGeneral, 15, 0) : IntToStr(Int64(std::nearbyint(v)));
  if (s == GetMaskText()) return;
  bool modified = GetModified();
  try {
    SetMaskText(s);
  } catch (...) {
    SetModified(modified);
    throw;
  }
  SetModified(modified);
}

void TkxInplaceSpinEdit::SetMaxValue(double X) {
  if (X < FMinValue) X = FMinValue;
  if (X == FMaxValue) return;
  FMaxValue = X;
  SetValue(GetValue());
}

void TkxInplaceSpinEdit::SetMinValue(double X) {
  if (X > FMaxValue) X = FMaxValue;
  if (X == FMinValue) return;
  FMinValue = X;
  SetValue(GetValue());
}

void TkxInplaceSpinEdit::DoSetValueRange(double Max, double Min) {
  FMinValue = Min > Max ? Max : Min;
  FMaxValue = Max;
  SetValue(GetValue());
}

void TkxInplaceSpinEdit::DoSetValueType(TkxValueType T) {
  if (T == FValueType) return;
  double v = GetValue();
  FValueType = T;
  if (!GetMaskText().empty()) SetValue(v);
}

void TkxInplaceSpinEdit::RefreshDataProperties() {
  TkxInplaceMaskEdit::RefreshDataProperties();
  if (!FStoredValues.Contains(svValueType)) DoSetValueType(GetDefaultValueType());
  if (!FStoredValues.Contains(svMaxValue) && !FStoredValues.Contains(svMinValue)) {
    DoSetValueRange(GetDefaultMaxValue(), GetDefaultMinValue());
  } else {
    if (!FStoredValues.Contains(svMaxValue)) SetMaxValue(GetDefaultMaxValue());
    if (!FStoredValues.Contains(svMinValue)) SetMinValue(GetDefaultMinValue());
  }
}

void TkxInplaceSpinEdit::RestoreDefaults() {
  TkxInplaceMaskEdit::RestoreDefaults();
  DoSetValueRange(GetDefaultMaxValue(), GetDefaultMinValue());
  DoSetValueType(GetDefaultValueType());
}

void TkxInplaceSpinEdit::ValidateEdit() {
  TkxInplaceMaskEdit::ValidateEdit();
  if (GetModified()) SetValue(GetValue());
}

void TkxInplaceSpinEdit::Spin(bool Up) {
  if (!IsEditable()) {
    MessageBeep(0);
    return;
  }
  if (!CanModify()) return;
  const double inc = GetIncrement();
  const double v = GetValue();
  double next = Up ? v + inc : v - inc;
  if (FValueType == vtInt && inc != 0 && std::nearbyint(next) == std::nearbyint(v)) {
    // An integer value moves at least one whole unit, whatever the increment's fraction.
    next = std::nearbyint(v) + ((Up == (inc > 0)) ? 1 : -1);
  }
  SetValue(next);
  SetModified(true);
}

TkxEditViewData* TkxInplaceSpinEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceMaskEdit::CreateViewData(FromData);
  if (auto* s = dynamic_cast<TkxSpinEditViewData*>(vd)) {
    s->ShowSpinButtons = IsSelected() || Style()->ButtonTransparence() != ebtHideInactive;
    s->PushedSpinButton = FPushedSpinButton;
    bool ownCapture = HandleAllocated() && GetCapture() == Handle();
    s->HotSpinButton = FPushedSpinButton && !ownCapture ? FPushedSpinButton : FHotSpinButton;
  }
  return vd;
}

void TkxInplaceSpinEdit::SetSelected(bool Value) {
  if (!Value) SetHotSpinButton(0);
  TkxInplaceMaskEdit::SetSelected(Value);
}

void TkxInplaceSpinEdit::RepaintButtons() {
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TkxInplaceSpinEdit::SetHotSpinButton(Byte Value) {
  if (FHotSpinButton == Value) return;
  FHotSpinButton = Value;
  RepaintButtons();
}

void TkxInplaceSpinEdit::ReleaseSpinButton() {
  if (!FPushedSpinButton) return;
  FPushedSpinButton = 0;
  FHotSpinButton = 0;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  RepaintButtons();
}

bool TkxInplaceSpinEdit::IsValidSpinChar(char Ch) {
  const unsigned char u = static_cast<unsigned char>(Ch);
  if (!EditorEnabled && (u == 8 || u >= 32)) return false;
  if (u < 32) return true;
  if (Ch == '+' || Ch == '-' || (Ch >= '0' && Ch <= '9')) return true;
  return FValueType == vtFloat && Ch == FormatSettings().DecimalSeparator;
}

void TkxInplaceSpinEdit::KeyPress(char& Key) {
  if (Key == ',' || Key == '.') Key = FormatSettings().DecimalSeparator;
  const unsigned char u = static_cast<unsigned char>(Key);
  if ((u == 8 || u >= 32) && !IsValidSpinChar(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  TkxInplaceMaskEdit::KeyPress(Key);
}

void TkxInplaceSpinEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!EditorEnabled && IsTextChangingKey(Key, Shift)) {
    Key = 0;
    return;
  }
  if (Key == VK_UP || Key == VK_DOWN) {
    if (UseCtrlIncrement && !Shift.Contains(ssCtrl)) {
      TkxInplaceMaskEdit::KeyDown(Key, Shift);
      return;
    }
    FPushedSpinButton = FHotSpinButton = Key == VK_UP ? 1 : 2;
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    RepaintButtons();
    Spin(Key == VK_UP);
    return;
  }
  TkxInplaceMaskEdit::KeyDown(Key, Shift);
}

void TkxInplaceSpinEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_UP || Key == VK_DOWN) ReleaseSpinButton();
  TkxInplaceMaskEdit::KeyUp(Key, Shift);
}

void TkxInplaceSpinEdit::DefaultHandler(TMessage& Message) {
  // The window never moves its caret with the spin keys.
  if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) return;
  TkxInplaceMaskEdit::DefaultHandler(Message);
}

void TkxInplaceSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  ReleaseSpinButton();
  TkxInplaceMaskEdit::MouseUp(Button, Shift, X, Y);
}

void TkxInplaceSpinEdit::MouseActivate(int X, int Y) {
  TkxInplaceMaskEdit::MouseActivate(X, Y);
  TCustomkxContainer* c = Container();
  if (!c || !HandleAllocated()) return;
  TPoint p = c->ClientToScreen(kxPoint(X, Y));
  ReleaseCapture();
  LRESULT hit = SendMessageA(Handle(), WM_NCHITTEST, 0, MakeLParam(p.x, p.y));
  SendMessageA(Handle(), WM_NCLBUTTONDOWN, WPARAM(hit), MakeLParam(p.x, p.y));
}

Byte TkxInplaceSpinEdit::SpinButtonAt(const TPoint& P) {
  std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
  auto* ref = dynamic_cast<const TClassRef*>(EditClass());
  if (!ref) return 0;
  TkxEditViewRects rects;
  ref->CalcViewInfo(vd.get(), false, rects);
  TRect up, down;
  if (!ref->SpinRects(rects, vd.get(), up, down)) return 0;
  TRect column = kxRect(up.left, up.top, up.right, down.bottom);
  if (!PtInRect(&column, P)) return 0;
  return P.y < (up.top + down.bottom) / 2 ? 1 : 2;
}

void TkxInplaceSpinEdit::WMNCHitTest(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  if (ComponentState().Contains(csDesigning)) {
    SetHotSpinButton(0);
    return;
  }
  TPoint p = kxWindowPointFromScreen(Handle(), kxPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
  Byte half = SpinButtonAt(p);
  if (!half || (GetCapture() && !FPushedSpinButton)) {
    SetHotSpinButton(0);
    return;
  }
  SetHotSpinButton(FPushedSpinButton && FPushedSpinButton != half ? 0 : half);
  Message.Result = HTBORDER;
}

void TkxInplaceSpinEdit::WMNCLButtonDown(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  if (!FHotSpinButton || !HandleAllocated()) return;
  FPushedSpinButton = FHotSpinButton;
  SetCapture(Handle());
  RepaintButtons();
  Spin(FPushedSpinButton == 1);
  if (FTimerRunning) {
    KillTimer(Handle(), kRepeatTimer);
    FTimerRunning = false;
  } else {
    SetTimer(Handle(), kRepeatTimer, 400, nullptr);
    FTimerRunning = true;
  }
  if (GetFocus() != Handle()) ::SetFocus(Handle());
}

void TkxInplaceSpinEdit::WMTimer(TMessage& Message) {
  if (Message.WParam != kRepeatTimer) {
    TkxInplaceMaskEdit::Dispatch(Message);
    return;
  }
  KillTimer(Handle(), kRepeatTimer);
  FTimerRunning = false;
  if (FPushedSpinButton && GetCapture() == Handle()) {
    // While captured the hit test does not run: the pushed half is hot only under the pointer.
    POINT p;
    GetCursorPos(&p);
    Byte half = SpinButtonAt(kxWindowPointFromScreen(Handle(), kxPoint(p.x, p.y)));
    SetHotSpinButton(half == FPushedSpinButton ? half : 0);
    if (FHotSpinButton == FPushedSpinButton) Spin(FPushedSpinButton == 1);
    SetTimer(Handle(), kRepeatTimer, 100, nullptr);
    FTimerRunning = true;
  }
}

void TkxInplaceSpinEdit::WMNCLButtonDblClk(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  ReleaseSpinButton();
  if (FTimerRunning) {
    KillTimer(Handle(), kRepeatTimer);
    FTimerRunning = false;
  }
  SendMessageA(Handle(), WM_NCLBUTTONDOWN, Message.WParam, Message.LParam);
  SendMessageA(Handle(), WM_NCLBUTTONUP, Message.WParam, Message.LParam);
}

void TkxInplaceSpinEdit::WMLButtonUp3(TWMMouse& Message) {
  ReleaseSpinButton();
  if (FTimerRunning && HandleAllocated()) {
    KillTimer(Handle(), kRepeatTimer);
    FTimerRunning = false;
  }
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceSpinEdit::WMCancelMode(TMessage& Message) {
  ReleaseSpinButton();
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceSpinEdit::WMCaptureChanged(TMessage& Message) {
  TkxInplaceMaskEdit::Dispatch(Message);
  ReleaseSpinButton();
}

void TkxInplaceSpinEdit::WMKillFocus3(TMessage& Message) {
  if (GetAsyncKeyState(VK_UP) < 0 || GetAsyncKeyState(VK_DOWN) < 0) ReleaseSpinButton();
  TkxInplaceMaskEdit::Dispatch(Message);
}

void TkxInplaceSpinEdit::WMMouseWheel(TMessage& Message) {
  Byte old = FPushedSpinButton;
  int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
  FPushedSpinButton = delta <= 0 ? 2 : 1;
  Spin(FPushedSpinButton == 1);
  FPushedSpinButton = old;
  Message.Result = 1;
}

void TkxInplaceSpinEdit::WMCut2(TMessage& Message) {
  if (EditorEnabled) TkxInplaceMaskEdit::Dispatch(Message);
}
void TkxInplaceSpinEdit::WMPaste2(TMessage& Message) {
  if (EditorEnabled) TkxInplaceMaskEdit::Dispatch(Message);
}
void TkxInplaceSpinEdit::WMClear2(TMessage& Message) {
  if (EditorEnabled) TkxInplaceMaskEdit::Dispatch(Message);
}

void kxInitSpinEdit() {
  RegisterClasses({TkxInplaceSpinEdit::StaticClass(), TkxSpinEditViewData::StaticClass()});
}
