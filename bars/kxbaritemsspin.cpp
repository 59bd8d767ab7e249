// Spin edits: a number with a range, a value type and a prefix or suffix,
// stepped by two buttons at the edit's right end (repeating while held), by
// Up and Down and by the mouse wheel.
#include <algorithm>
#include <cmath>

#include "bars/kxbaritemsext.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

namespace kxbaritemsspin {
constexpr UINT_PTR kSpinTimer = 1;
constexpr UINT kRepeatMs = 100;
}  // namespace kxbaritemsspin

using namespace kxbaritemsspin;

// ===========================================================================
// TkxBarSpinEdit

TkxBarSpinEdit::TkxBarSpinEdit(TComponent* AOwner) : TkxBarEdit(AOwner) { FText = "0"; }

AnsiString TkxBarSpinEdit::WithoutPrefix(const AnsiString& S) const {
  if (FPrefix.empty()) return S;
  std::size_t at = S.find(FPrefix);
  if (at == AnsiString::npos) return S;
  return S.substr(0, at) + S.substr(at + FPrefix.size());
}

bool TkxBarSpinEdit::Converts(const AnsiString& S) const {
  AnsiString t = Trim(WithoutPrefix(S));
  if (FValueType == svtInteger) {
    Integer i = 0;
    return TryStrToInt(t, i);
  }
  double d = 0;
  return TryStrToFloat(t, d);
}

double TkxBarSpinEdit::TextToValue(const AnsiString& S) const {
  AnsiString t = Trim(WithoutPrefix(S));
  if (FValueType == svtInteger) {
    Integer i = 0;
    return TryStrToInt(t, i) ? double(i) : FMinValue;
  }
  double d = 0;
  return TryStrToFloat(t, d) ? d : FMinValue;
}

AnsiString TkxBarSpinEdit::ValueToText(double Value) const {
  AnsiString t = FValueType == svtFloat ? FloatToStr(Value) : IntToStr(Int64(std::trunc(Value)));
  return FPrefixPlace == ppEnd ? t + FPrefix : FPrefix + t;
}

double TkxBarSpinEdit::CheckValue(double Value) const {
  if (FValueType == svtInteger) Value = std::trunc(Value);
  if (RangeInForce()) Value = std::clamp(Value, FMinValue, std::max(FMinValue, FMaxValue));
  return Value;
}

void TkxBarSpinEdit::SetText(const AnsiString& Value) {
  if (!Converts(Value)) return;
  TkxBarEdit::SetText(ValueToText(CheckValue(TextToValue(Value))));
}

void TkxBarSpinEdit::SetValue(double Value) {
  double v = CheckValue(Value);
  if (v != this->Value() || Text() != ValueToText(v)) TkxBarEdit::SetText(ValueToText(v));
}

double TkxBarSpinEdit::CurValue() { return TextToValue(GetCurText()); }

void TkxBarSpinEdit::SetIncrement(double Value) {
  if (FValueType == svtInteger) Value = std::trunc(Value);
  if (FValueType == svtInteger ? Value < 1 : Value <= 0) Value = 1;
  FIncrement = Value;
}

void TkxBarSpinEdit::Recheck(double Old, double OldCur, bool Editing) {
  SetValue(Old);
  if (Editing) {
    AnsiString cur = ValueToText(CheckValue(OldCur));
    if (cur != GetCurText()) SetCurText(cur);
  }
}

void TkxBarSpinEdit::SetMinValue(double Value) {
  if (FValueType == svtInteger) Value = std::trunc(Value);
  if (FMinValue == Value) return;
  double old = this->Value(), cur = CurValue();
  bool editing = FocusedItemLink() != nullptr;
  FMinValue = Value;
  if (FMinValue > FMaxValue) FMaxValue = FMinValue;
  if (!IsLoading()) Recheck(old, cur, editing);
}

void TkxBarSpinEdit::SetMaxValue(double Value) {
  if (FValueType == svtInteger) Value = std::trunc(Value);
  if (FMaxValue == Value) return;
  double old = this->Value(), cur = CurValue();
  bool editing = FocusedItemLink() != nullptr;
  FMaxValue = Value;
  if (FMaxValue < FMinValue) FMinValue = FMaxValue;
  if (!IsLoading()) Recheck(old, cur, editing);
}

void TkxBarSpinEdit::SetPrefix(const AnsiString& Value) {
  if (FPrefix == Value) return;
  double v = this->Value();
  FPrefix = Value;
  TkxBarEdit::SetText(ValueToText(CheckValue(v)));
}

void TkxBarSpinEdit::SetPrefixPlace(TkxBarSpinEditPrefixPlace Value) {
  if (FPrefixPlace == Value) return;
  double v = this->Value();
  FPrefixPlace = Value;
  TkxBarEdit::SetText(ValueToText(CheckValue(v)));
}

void TkxBarSpinEdit::SetValueType(TkxBarSpinEditValueType Value) {
  if (FValueType == Value) return;
  double v = this->Value(), cur = CurValue();
  bool editing = FocusedItemLink() != nullptr;
  FValueType = Value;
  if (Value != svtInteger || IsLoading()) return;
  double inc = FIncrement, mn = FMinValue, mx = FMaxValue;
  FMinValue = FMaxValue = 0;
  SetIncrement(inc);
  SetMinValue(mn);
  SetMaxValue(mx);
  Recheck(v, cur, editing);
}

void TkxBarSpinEdit::ButtonClick(TkxBarSpinEditButton Button) {
  if (Button == sbUp || Button == sbDown) {
    double v = CheckValue(CurValue() + (Button == sbUp ? FIncrement : -FIncrement));
    AnsiString t = ValueToText(v);
    if (t != GetCurText()) SetCurText(t);
  }
  if (OnButtonClick) OnButtonClick(this, Button);
}

// ===========================================================================
// TkxBarSpinEditControl

TkxBarSpinEditControl::~TkxBarSpinEditControl() {
  if (FTimer && FWindow) KillTimer(FWindow, FTimer);
}

TkxBarSpinEdit* TkxBarSpinEditControl::SpinItem() const { return dynamic_cast<TkxBarSpinEdit*>(Item()); }

TkxBarSpinEditButton TkxBarSpinEditControl::HitTest(const TPoint& P) const {
  TkxBarSpinEdit* s = SpinItem();
  const TRect& r = FButtonsRect;
  if (!s || s->ReadOnly() || kxBarRectEmpty(r)) return sbNone;
  if (P.x < r.left || P.x >= r.right || P.y < r.top || P.y >= r.bottom) return sbNone;
  return P.y < r.top + r.Height() / 2 ? sbUp : sbDown;
}

void TkxBarSpinEditControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  if (kxBarRectEmpty(R)) return;
  bool selected = IsSelected();
  TRect r = R;
  TkxBarItemControlPainterClass p = GetPainter();
  if (ShowsCaption()) p->DrawEditCaption(this, DC, selected, PaintKind, r);
  p->DrawEditFrame(this, DC, selected, r);
  int h = r.Height() / 2, b = (h - 2) / 2;
  int strip = 4 * b + 3;
  FButtonsRect = TRect{};
  if (r.Width() / 2 > strip) {
    FButtonsRect = TRect{r.right - strip, r.top, r.right, r.bottom};
    r.right -= strip;
  }
  FValueRect = r;
  if (IsEnabled()) PlaceWindow(GetRect());
  if (!IsEnabled() || !FShown) p->DrawEditValue(this, DC, r);
  if (kxBarRectEmpty(FButtonsRect)) return;
  TRect s = FButtonsRect;
  p->DrawSpinEditBorder(this, DC, s);
  int pressed = FPressed == sbUp ? 1 : FPressed == sbDown ? 2 : 0;
  for (int which : {1, 2})
    p->DrawSpinButton(this, DC, FDrawnPressed && pressed == which, pressed, which, selected, h, b, 2 * b - 1, s);
}

void TkxBarSpinEditControl::SetDrawnPressed(bool Value) {
  if (FDrawnPressed == Value) return;
  FDrawnPressed = Value;
  Repaint();
}

void TkxBarSpinEditControl::Press(TkxBarSpinEditButton Button) {
  FPressed = Button;
  FDrawnPressed = false;
  SetDrawnPressed(true);
}

void TkxBarSpinEditControl::Release() {
  if (FWindow && GetCapture() == FWindow) ReleaseCapture();
  if (FTimer && FWindow) KillTimer(FWindow, FTimer);
  FTimer = 0;
  FPressed = sbNone;
  SetDrawnPressed(false);
}

void TkxBarSpinEditControl::TimerTick(UINT_PTR) {
  if (!FTimer || !FWindow) return;
  if (FFirstTick) {
    FFirstTick = false;
    KillTimer(FWindow, FTimer);
    FTimer = SetTimer(FWindow, kSpinTimer, kRepeatMs, nullptr);
  }
  TkxBarSpinEdit* s = SpinItem();
  if (s && FDrawnPressed) s->ButtonClick(FPressed);
}

void TkxBarSpinEditControl::Activate(bool Flag) {
  TkxBarEditControl::Activate(Flag);
  // a press on the buttons, which lie outside the edit window, reaches it too
  if (!FWindow || !FParent || !FParent->HandleAllocated()) return;
  POINT c;
  GetCursorPos(&c);
  TPoint p = FParent->ScreenToClient(TPoint{c.x, c.y});
  if (!Flag || HitTest(p) == sbNone || !kxBarIsLeftButtonDown()) return;
  POINT q{p.x, p.y};
  MapWindowPoints(FParent->Handle(), FWindow, &q, 1);
  SendMessageA(FWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(q.x, q.y));
}

void TkxBarSpinEditControl::WndProc(TMessage& Message) {
  TkxBarSpinEdit* s = SpinItem();
  bool readOnly = !s || s->ReadOnly();
  auto barPoint = [this](LPARAM L) {
    POINT q{short(LOWORD(L)), short(HIWORD(L))};
    if (FWindow && FParent && FParent->HandleAllocated()) MapWindowPoints(FWindow, FParent->Handle(), &q, 1);
    return TPoint{q.x, q.y};
  };
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (!readOnly && (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) {
        if (!FTimer) {
          if (Message.Msg == WM_KEYDOWN) {
            Press(Message.WParam == VK_UP ? sbUp : sbDown);
            s->ButtonClick(FPressed);
          } else {
            FPressed = sbNone;
            SetDrawnPressed(false);
          }
        }
        Message.Result = 0;
        return;
      }
      break;
    case WM_CHAR:
      if (!readOnly) {
        char c = char(Message.WParam);
        char sep = FormatSettings().DecimalSeparator;
        bool pass = (c >= '0' && c <= '9') || c == 8 || c == 3 || c == 22 || c == 24 ||
                    (c == '-' && s->MinValue() < 0) || (c == sep && s->ValueType() == svtFloat);
        if (!pass) {
          Message.Result = 0;
          return;
        }
      }
      break;
    case WM_MOUSEWHEEL:
      if (!readOnly) s->ButtonClick(short(HIWORD(Message.WParam)) > 0 ? sbUp : sbDown);
      Message.Result = 0;
      return;
    case WM_LBUTTONDOWN:
      if (FPressed == sbNone) {
        TkxBarSpinEditButton hit = HitTest(barPoint(Message.LParam));
        if (hit != sbNone) {
          Press(hit);
          SetCapture(FWindow);
          s->ButtonClick(hit);
          if (FWindow && FPressed != sbNone) {
            FFirstTick = true;
            FTimer = SetTimer(FWindow, kSpinTimer, std::max<UINT>(GetDoubleClickTime(), kRepeatMs + 1) - kRepeatMs,
                              nullptr);
          }
          Message.Result = 0;
          return;
        }
      }
      break;
    case WM_MOUSEMOVE:
      if (FTimer) {
        SetDrawnPressed(HitTest(barPoint(Message.LParam)) == FPressed);
        Message.Result = 0;
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (FTimer) {
        Release();
        Message.Result = 0;
        return;
      }
      break;
    case WM_CAPTURECHANGED:
      if (FTimer) Release();
      break;
    case WM_KILLFOCUS:
      if (FPressed != sbNone) Release();
      break;
    case WM_TIMER:
      if (Message.WParam == kSpinTimer) {
        TimerTick(Message.WParam);
        return;
      }
      break;
    default:
      break;
  }
  TkxBarEditControl::WndProc(Message);
}
