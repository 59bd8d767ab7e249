#include "inplace/kxcalc.h"

#include <cmath>

#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
TBitmap* gCalcBitmap = nullptr;

struct TButtonDef {
  const char* Text;
  TColor Color;
};
const TButtonDef kButtonDefs[cbNone] = {
    {"Back", clMaroon}, {"CE", clMaroon}, {"C", clMaroon},   {"MC", clRed},   {"MR", clRed},   {"MS", clRed},
    {"M+", clRed},      {"0", clBlue},    {"1", clBlue},     {"2", clBlue},   {"3", clBlue},   {"4", clBlue},
    {"5", clBlue},      {"6", clBlue},    {"7", clBlue},     {"8", clBlue},   {"9", clBlue},   {"+/-", clBlue},
    {".", clBlue},      {"/", clRed},     {"*", clRed},      {"-", clRed},    {"+", clRed},    {"sqrt", clNavy},
    {"%", clNavy},      {"1/x", clNavy},  {"=", clRed}};

bool IsDigitButton(TkxCalcButton B) { return B >= cbNum0 && B <= cbNum9; }
bool IsArithmetic(TkxCalcButton B) { return B == cbDiv || B == cbMul || B == cbSub || B == cbAdd; }
bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }
}  // namespace

TCustomkxCalculator::TCustomkxCalculator(TComponent* AOwner) : TkxInplacePopupControl(AOwner) {
  FControlStyle << csCaptureMouse << csOpaque;
  FColor = clBtnFace;
  FParentColor = false;
  FCtl3D = false;
  FParentCtl3D = false;
  FTabStop = true;
  for (int i = 0; i < cbNone; ++i) {
    FButtons[i].Text = kButtonDefs[i].Text;
    FButtons[i].Color = kButtonDefs[i].Color;
  }
  FButtons[cbDecimal].Text = AnsiString(1, FormatSettings().DecimalSeparator);
  SetBounds(0, 0, FCalcWidth, FCalcHeight);
  CalcLayout();
}

void TCustomkxCalculator::CreateParams(TCreateParams& Params) { TkxInplacePopupControl::CreateParams(Params); }

void TCustomkxCalculator::SetButtonStyle(TkxButtonStyle Value) {
  if (FButtonStyle == Value) return;
  FButtonStyle = Value;
  Invalidate();
}

void TCustomkxCalculator::SetShowButtonFrame(bool Value) {
  if (FShowButtonFrame == Value) return;
  FShowButtonFrame = Value;
  Invalidate();
}

void TCustomkxCalculator::FontChanged(TObject* Sender) {
  TkxInplacePopupControl::FontChanged(Sender);
  if (!ComponentState().Contains(csLoading)) FParentFont = false;
  Invalidate();
}

// ---- arithmetic ----

long double TCustomkxCalculator::GetValue() {
  if (FStatus == csError) return 0;
  AnsiString s = Trim(DisplayText());
  if (s.empty()) s = "0";
  double v = 0;
  if (!TryStrToFloat(s, v)) return 0;
  return v;
}

void TCustomkxCalculator::SetValue(long double X) {
  AnsiString s = FloatToStrF(double(X), ffGeneral, std::max(2, FPrecision), 0);
  if (s != DisplayText()) {
    SetDisplayText(s);
    if (OnDisplayUpdate) OnDisplayUpdate(this);
  }
}

void TCustomkxCalculator::Clear() {
  FStatus = csFirst;
  SetValue(0);
  FOperator = cbEqual;
}

void TCustomkxCalculator::ShowError() {
  FStatus = csError;
  SetDisplayText(kxEditorString(38951));
  if (FBeepOnError) MessageBeep(0);
  if (OnCalcError) OnCalcError(this);
}

void TCustomkxCalculator::CopyValue() {
  AnsiString s = DisplayText();
  if (!OpenClipboard(HandleAllocated() ? Handle() : nullptr)) return;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
  if (void* p = GlobalLock(mem)) std::memcpy(p, s.c_str(), s.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

void TCustomkxCalculator::PasteValue() {
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(HandleAllocated() ? Handle() : nullptr)) return;
  AnsiString s;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) s = p;
    GlobalUnlock(h);
  }
  CloseClipboard();
  const AnsiString currency = FormatSettings().CurrencyString;
  if (!currency.empty())
    for (std::size_t at; (at = s.find(currency)) != AnsiString::npos;) s.erase(at, currency.size());
  s = Trim(s);
  double v = 0;
  if (!TryStrToFloat(s, v)) v = 0;
  SetValue(v);
  FStatus = csValid;
}

void TCustomkxCalculator::EnterNumber() {
  if (FStatus == csFirst) {
    FStatus = csValid;
    SetDisplayText("0");
  }
}

void TCustomkxCalculator::UpdateMemoryButtons() {
  bool grey = FMemory == 0;
  FButtons[cbMemClear].Grayed = grey;
  FButtons[cbMemRead].Grayed = grey;
  InvalidateButton(cbMemClear);
  InvalidateButton(cbMemRead);
}

void TCustomkxCalculator::ButtonClick(TkxCalcButton Button) {
  if (OnKeyButton) OnKeyButton(this, Button);
  if (Button == cbNone) return;
  if (FStatus == csError && Button != cbCancelEntry && Button != cbClear) {
    ShowError();
    return;
  }
  if (IsDigitButton(Button)) {
    EnterNumber();
    AnsiString d = DisplayText();
    if (d == "0") d.clear();
    std::size_t minus = d.find('-');
    int limit = std::max(2, FPrecision) + (minus == AnsiString::npos ? 0 : int(minus) + 1);
    if (int(d.size()) < limit) {
      d += char('0' + (Button - cbNum0));
      SetDisplayText(d);
      if (OnDisplayUpdate) OnDisplayUpdate(this);
    } else if (FBeepOnError) {
      MessageBeep(0);
    }
    return;
  }
  switch (Button) {
    case cbDecimal: {
      EnterNumber();
      AnsiString d = DisplayText();
      char sep = FormatSettings().DecimalSeparator;
      if (d.find(sep) == AnsiString::npos) {
        SetDisplayText(d + sep);
        if (OnDisplayUpdate) OnDisplayUpdate(this);
      }
      return;
    }
    case cbBack: {
      EnterNumber();
      AnsiString d = DisplayText();
      if (d.size() <= 1 || (d.size() == 2 && d[0] == '-')) d = "0";
      else d.pop_back();
      SetDisplayText(d);
      if (OnDisplayUpdate) OnDisplayUpdate(this);
      return;
    }
    case cbSign: SetValue(-GetValue()); return;
    case cbSqrt:
    case cbRev: {
      FStatus = IsArithmetic(FOperator) ? csValid : csFirst;
      long double x = GetValue();
      if ((Button == cbSqrt && x < 0) || (Button == cbRev && x == 0)) {
        ShowError();
        return;
      }
      SetValue(Button == cbSqrt ? std::sqrt(x) : 1 / x);
      return;
    }
    case cbDiv:
    case cbMul:
    case cbSub:
    case cbAdd:
    case cbPercent:
    case cbEqual: {
      if (FStatus == csValid) {
        FStatus = csFirst;
        long double x = GetValue();
        if (Button == cbPercent) {
          if (FOperator == cbDiv || FOperator == cbMul) x = x / 100;
          else if (FOperator == cbSub || FOperator == cbAdd) x = FOperand * x / 100;
        }
        switch (FOperator) {
          case cbDiv:
            if (x == 0) {
              ShowError();
              return;
            }
            SetValue(FOperand / x);
            break;
          case cbMul: SetValue(FOperand * x); break;
          case cbSub: SetValue(FOperand - x); break;
          case cbAdd: SetValue(FOperand + x); break;
          default: break;
        }
      }
      FOperator = Button;
      FOperand = GetValue();
      if ((Button == cbPercent || Button == cbEqual) && OnCalcResult) OnCalcResult(this);
      return;
    }
    case cbCancelEntry:
    case cbClear: Clear(); return;
    case cbMemClear:
      FMemory = 0;
      UpdateMemoryButtons();
      return;
    case cbMemStore:
      FStatus = csFirst;
      FMemory = GetValue();
      UpdateMemoryButtons();
      return;
    case cbMemAdd:
      FStatus = csFirst;
      FMemory += GetValue();
      UpdateMemoryButtons();
      return;
    case cbMemRead:
      FStatus = csValid;
      SetDisplayText("0");
      SetValue(FMemory);
      return;
    default: return;
  }
}

// ---- layout ----

void TCustomkxCalculator::CalcLayout() {
  const int x = FXOffset, y = FYOffset, w = FButtonWidth, h = FButtonHeight, L = FLargeButtonWidth;
  const int x0 = 3 * x + w + 4;
  auto col = [&](int k) { return x0 + k * (x + w); };
  auto row = [&](int r, int left, int width) {
    return r == 0 ? kxRect(left, y, left + width, y + h) : kxRect(left, r * (h + y) + y, left + width, (r + 1) * (h + y));
  };
  const TkxCalcButton memory[] = {cbMemClear, cbMemRead, cbMemStore, cbMemAdd};
  for (int r = 0; r < 4; ++r) FButtons[memory[r]].Bounds = row(r + 1, x, w);
  const TkxCalcButton pad[4][5] = {{cbNum7, cbNum8, cbNum9, cbDiv, cbSqrt},
                                   {cbNum4, cbNum5, cbNum6, cbMul, cbPercent},
                                   {cbNum1, cbNum2, cbNum3, cbSub, cbRev},
                                   {cbNum0, cbSign, cbDecimal, cbAdd, cbEqual}};
  for (int r = 0; r < 4; ++r)
    for (int k = 0; k < 5; ++k) FButtons[pad[r][k]].Bounds = row(r + 1, col(k), w);
  int right = col(4) + w;
  FButtons[cbClear].Bounds = row(0, right - L, L);
  right -= L + y;
  FButtons[cbCancelEntry].Bounds = row(0, right - L, L);
  right -= L + y;
  FButtons[cbBack].Bounds = row(0, right - L, L);
  FOperator = cbEqual;
  FStatus = csFirst;
  FMemory = 0;
  FButtons[cbMemClear].Grayed = true;
  FButtons[cbMemRead].Grayed = true;
}

void TCustomkxCalculator::CalcSize(int AWidth, int AHeight) {
  const int target = std::min(AHeight, MulDiv(AWidth, 137, 207));
  auto f = [](int h) { return 5 * h + 6 * MulDiv(h, 4, 22); };
  int best = 22, bestDiff = std::abs(f(22) - target);
  for (int h = 23;; ++h) {
    int diff = std::abs(f(h) - target);
    if (diff >= bestDiff) break;
    best = h;
    bestDiff = diff;
  }
  FButtonHeight = best;
  FButtonWidth = MulDiv(best, 28, 22);
  FXOffset = FYOffset = MulDiv(best, 4, 22);
  FLargeButtonWidth = MulDiv(FButtonWidth, 17, 10);
  FFontSize = MulDiv(best, 8, 22);
  FCalcHeight = 5 * best + 6 * FYOffset;
  FCalcWidth = 6 * FButtonWidth + 8 * FXOffset + 4;
  CalcLayout();
}

TkxCalcButton TCustomkxCalculator::ButtonAt(int X, int Y) const {
  for (int i = 0; i < cbNone; ++i)
    if (Inside(FButtons[i].Bounds, X, Y)) return TkxCalcButton(i);
  return cbNone;
}

void TCustomkxCalculator::WMSize(TWMSize& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (FSizing || !HandleAllocated()) return;
  FSizing = true;
  try {
    CalcSize(ClientWidth(), ClientHeight());
    SetClientSize(FCalcWidth, FCalcHeight);
  } catch (...) {
    FSizing = false;
    throw;
  }
  FSizing = false;
  Invalidate();
}

// ---- painting ----

void kxDrawCalcButton(TCanvas* Canvas, const TRect& R, const AnsiString& Caption, bool Greyed, bool Focused,
                      bool Enabled, bool FrameVisible, bool Pressed, TColor Color, bool FlatNotHot,
                      TkxButtonStyle Style) {
  if (!gCalcBitmap) gCalcBitmap = new TBitmap();
  kxEnsureBitmapSize(gCalcBitmap, R.Width(), R.Height());
  TCanvas* c = gCalcBitmap->Canvas();
  c->Font()->Assign(Canvas->Font());
  c->Brush()->Assign(Canvas->Brush());
  HDC dc = c->Handle();
  RECT b{0, 0, R.Width(), R.Height()};
  c->FillRect(b);
  if (Greyed) Pressed = false;
  TColor captionColor = Greyed ? clBtnShadow : Color;
  RECT face = b;
  if (Style == bsStandard) {
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0));
  } else if (!(Style == bsExtraFlat && FlatNotHot && !Pressed)) {
    DrawEdge(dc, &face, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  RECT text = b;
  InflateRect(&text, -2, -2);
  if (Pressed) OffsetRect(&text, 2, 2);
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, c->Font()->Handle());
  const UINT fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX;
  if (!Enabled) {
    RECT t = text;
    OffsetRect(&t, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, Caption.c_str(), int(Caption.size()), &t, fmt);
    captionColor = clBtnShadow;
  }
  SetTextColor(dc, ColorToRGB(captionColor));
  DrawTextA(dc, Caption.c_str(), int(Caption.size()), &text, fmt);
  if (FrameVisible) {
    RECT f = b;
    InflateRect(&f, -3, -3);
    if (Pressed) OffsetRect(&f, 1, 1);
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    int corner = (f.bottom - f.top) - 4;
    RoundRect(dc, f.left, f.top, f.right, f.bottom, corner, corner);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  BitBlt(Canvas->Handle(), R.left, R.top, R.Width(), R.Height(), dc, 0, 0, SRCCOPY);
  if (Focused) {
    RECT f = R;
    InflateRect(&f, -3, -3);
    SetTextColor(Canvas->Handle(), 0);
    SetBkColor(Canvas->Handle(), 0xFFFFFF);
    DrawFocusRect(Canvas->Handle(), &f);
  }
}

void TCustomkxCalculator::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  if (FAutoFontSize) {
    c->Font()->SetSize(FFontSize);
    TFontStyles st = c->Font()->Style();
    if (FFontSize >= 10) st << fsBold;
    else st >> fsBold;
    c->Font()->SetStyle(st);
  }
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  HDC dc = c->Handle();
  TRect cr = ClientRect();
  HRGN rest = CreateRectRgnIndirect(&cr);
  for (int i = 0; i < cbNone; ++i) {
    const TButtonInfo& b = FButtons[i];
    if (!RectVisible(dc, &b.Bounds)) continue;
    bool focused = i == cbEqual && FShowFocusRect && Focused();
    bool flatNotHot = i != FHotButton;
    kxDrawCalcButton(c, b.Bounds, b.Text, b.Grayed, focused, Enabled(), FShowButtonFrame, b.Down, b.Color,
                     flatNotHot, FButtonStyle);
    HRGN br = CreateRectRgnIndirect(&b.Bounds);
    CombineRgn(rest, rest, br, RGN_DIFF);
    DeleteObject(br);
  }
  HBRUSH bg = CreateSolidBrush(ColorToRGB(Color()));
  FillRgn(dc, rest, bg);
  DeleteObject(bg);
  DeleteObject(rest);
}

void TCustomkxCalculator::InvalidateButton(TkxCalcButton B) {
  if (B == cbNone || !HandleAllocated()) return;
  InvalidateRect(Handle(), &FButtons[B].Bounds, FALSE);
}

void TCustomkxCalculator::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }
void TCustomkxCalculator::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TCustomkxCalculator::WMSetFocus(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  InvalidateButton(cbEqual);
}

void TCustomkxCalculator::WMKillFocus(TMessage& Message) {
  InvalidateButton(cbEqual);
  TkxInplacePopupControl::Dispatch(Message);
}

void TCustomkxCalculator::CMEnabledChanged(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  Invalidate();
}

void TCustomkxCalculator::CMMouseLeave(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (FHotButton != cbNone) {
    TkxCalcButton old = FHotButton;
    FHotButton = cbNone;
    InvalidateButton(old);
  }
}

// ---- mouse ----

void TCustomkxCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!ComponentState().Contains(csDesigning) && !FPopupUse && (CanFocus() || !GetParentForm(this)) &&
      HandleAllocated())
    SetFocus();
  if (Button == mbLeft) {
    TkxCalcButton b = ButtonAt(X, Y);
    if (b != cbNone && !FButtons[b].Grayed) {
      SetMouseCapture(true);
      FTracking = true;
      FDownButton = b;
      FButtons[b].Down = true;
      InvalidateButton(b);
    }
  }
  TkxInplacePopupControl::MouseDown(Button, Shift, X, Y);
}

void TCustomkxCalculator::MouseMove(TShiftState Shift, int X, int Y) {
  if (FTracking && FDownButton != cbNone) {
    bool inside = Inside(FButtons[FDownButton].Bounds, X, Y);
    if (inside != FButtons[FDownButton].Down) {
      FButtons[FDownButton].Down = inside;
      InvalidateButton(FDownButton);
    }
  } else if (FButtonStyle == bsExtraFlat && Enabled() && !Dragging()) {
    TkxCalcButton b = ButtonAt(X, Y);
    if (b != FHotButton) {
      TkxCalcButton old = FHotButton;
      FHotButton = b;
      InvalidateButton(old);
      InvalidateButton(b);
    }
  }
  TkxInplacePopupControl::MouseMove(Shift, X, Y);
}

void TCustomkxCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxCalcButton b = FDownButton;
  bool wasDown = b != cbNone && FButtons[b].Down;
  if (FTracking) {
    FTracking = false;
    SetMouseCapture(false);
    if (b != cbNone) {
      FButtons[b].Down = false;
      InvalidateButton(b);
    }
    FDownButton = cbNone;
  }
  if (Button == mbLeft && wasDown) ButtonClick(b);
  TkxInplacePopupControl::MouseUp(Button, Shift, X, Y);
}

// ---- keyboard ----

TkxCalcButton TCustomkxCalculator::KeyToButton(Word Key, TShiftState Shift) const {
  bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_DELETE: return cbCancelEntry;
    case VK_ESCAPE: return cbClear;
    case VK_RETURN: return cbEqual;
    case VK_F9: return cbSign;
    case 'C': return ctrl ? cbNone : cbClear;
    case 'L': return ctrl ? cbMemClear : cbNone;
    case 'R': return ctrl ? cbMemRead : cbRev;
    case 'M': return ctrl ? cbMemStore : cbNone;
    case 'P': return ctrl ? cbMemAdd : cbNone;
    default: return cbNone;
  }
}

TkxCalcButton TCustomkxCalculator::CharToButton(char Ch) const {
  if (Ch >= '0' && Ch <= '9') return TkxCalcButton(cbNum0 + (Ch - '0'));
  if (Ch == FormatSettings().DecimalSeparator || Ch == '.' || Ch == ',') return cbDecimal;
  switch (Ch) {
    case '/': return cbDiv;
    case '*': return cbMul;
    case '-': return cbSub;
    case '+': return cbAdd;
    case '@': return cbSqrt;
    case '%': return cbPercent;
    case '=': return cbEqual;
    case 8: return cbBack;
    default: return cbNone;
  }
}

void TCustomkxCalculator::SetKeyPressed(TkxCalcButton B) {
  if (FKeyPressed != cbNone) {
    FButtons[FKeyPressed].Down = false;
    InvalidateButton(FKeyPressed);
  }
  FKeyPressed = B;
  if (B != cbNone) {
    FButtons[B].Down = true;
    InvalidateButton(B);
  }
}

void TCustomkxCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TkxInplacePopupControl::KeyDown(Key, Shift);
  if (Key == VK_INSERT && Shift == TShiftState{ssShift}) PasteValue();
  else if (Key == VK_INSERT && Shift == TShiftState{ssCtrl}) CopyValue();
  TkxCalcButton b = KeyToButton(Key, Shift);
  if (b == cbNone || b == FKeyPressed) return;
  SetKeyPressed(b);
  ButtonClick(b);
}

void TCustomkxCalculator::KeyPress(char& Key) {
  TkxInplacePopupControl::KeyPress(Key);
  if (Key == 22) {
    PasteValue();
    return;
  }
  if (Key == 3) {
    CopyValue();
    return;
  }
  TkxCalcButton b = CharToButton(Key);
  if (b == cbNone) return;
  // A held key repeats nothing, except Backspace, which keeps deleting.
  if (b == FKeyPressed && b != cbBack) return;
  SetKeyPressed(b);
  ButtonClick(b);
}

void TCustomkxCalculator::KeyUp(Word& Key, TShiftState Shift) {
  TkxInplacePopupControl::KeyUp(Key, Shift);
  SetKeyPressed(cbNone);
}

void kxInitCalc() {}

void kxDoneCalc() {
  delete gCalcBitmap;
  gCalcBitmap = nullptr;
}
