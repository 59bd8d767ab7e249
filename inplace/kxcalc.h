// A pocket calculator with 27 owner-drawn buttons, keyboard and clipboard
// support, a memory register and an error state. It keeps no display text of
// its own: a descendant stores it (the calculator editor's pop-up writes it
// into its editor).
#pragma once

#include "inplace/kxcntner.h"

enum TkxButtonStyle { bsStandard, bsFlat, bsExtraFlat };
PV_ENUM_NAMES(TkxButtonStyle, "bsStandard bsFlat bsExtraFlat")

// The buttons by index.
enum TkxCalcButton {
  cbBack, cbCancelEntry, cbClear, cbMemClear, cbMemRead, cbMemStore, cbMemAdd, cbNum0, cbNum1, cbNum2, cbNum3,
  cbNum4, cbNum5, cbNum6, cbNum7, cbNum8, cbNum9, cbSign, cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt,
  cbPercent, cbRev, cbEqual, cbNone
};

enum TkxCalcState { csFirst, csValid, csError };

using TkxCalcButtonEvent = TEvent<void(TObject* Sender, TkxCalcButton& Button)>;

class TCustomkxCalculator : public TkxInplacePopupControl {
  PV_CLASS(TCustomkxCalculator, TkxInplacePopupControl)
 public:
  explicit TCustomkxCalculator(TComponent* AOwner);

  virtual void GetDisplayText(AnsiString& Text) { Text.clear(); }
  virtual void SetDisplayText(const AnsiString&) {}
  AnsiString DisplayText() {
    AnsiString s;
    GetDisplayText(s);
    return s;
  }

  void ButtonClick(TkxCalcButton Button);
  long double GetValue();
  void SetValue(long double X);
  void Clear();
  void CopyValue();
  void PasteValue();
  void ShowError();
  void CalcLayout();
  void CalcSize(int AWidth, int AHeight);

  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  TkxButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TkxButtonStyle Value);
  bool ShowButtonFrame() const { return FShowButtonFrame; }
  void SetShowButtonFrame(bool Value);
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value) { FShowFocusRect = Value; }
  bool PopupUse() const { return FPopupUse; }
  void SetPopupUse(bool Value) { FPopupUse = Value; }
  bool AutoFontSize() const { return FAutoFontSize; }
  void SetAutoFontSize(bool Value) { FAutoFontSize = Value; }

  TkxCalcState Status() const { return FStatus; }
  long double Memory() const { return FMemory; }
  TkxCalcButton PendingOperator() const { return FOperator; }
  int ButtonWidth() const { return FButtonWidth; }
  int ButtonHeight() const { return FButtonHeight; }
  int LargeButtonWidth() const { return FLargeButtonWidth; }
  int XOffset() const { return FXOffset; }
  int YOffset() const { return FYOffset; }
  int FontSize() const { return FFontSize; }
  int CalcWidth() const { return FCalcWidth; }
  int CalcHeight() const { return FCalcHeight; }
  TRect ButtonRect(TkxCalcButton B) const { return FButtons[B].Bounds; }
  bool ButtonGreyed(TkxCalcButton B) const { return FButtons[B].Grayed; }
  bool ButtonPressed(TkxCalcButton B) const { return FButtons[B].Down; }
  AnsiString ButtonCaption(TkxCalcButton B) const { return FButtons[B].Text; }
  TkxCalcButton ButtonAt(int X, int Y) const;
  TkxCalcButton KeyToButton(Word Key, TShiftState Shift) const;
  TkxCalcButton CharToButton(char Ch) const;

  TNotifyEvent OnDisplayUpdate;
  TkxCalcButtonEvent OnKeyButton;
  TNotifyEvent OnCalcError;
  TNotifyEvent OnCalcResult;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void FontChanged(TObject* Sender) override;
  void InvalidateButton(TkxCalcButton B);
  void SetKeyPressed(TkxCalcButton B);
  void UpdateMemoryButtons();
  void EnterNumber();

  struct TButtonInfo {
    AnsiString Text;
    TColor Color = clBlack;
    TRect Bounds;
    bool Down = false;
    bool Grayed = false;
  };
  TButtonInfo FButtons[cbNone];
  bool FAutoFontSize = true;
  bool FBeepOnError = true;
  TkxButtonStyle FButtonStyle = bsStandard;
  bool FShowButtonFrame = false;
  bool FShowFocusRect = true;
  int FFontSize = 8;
  int FButtonWidth = 28, FButtonHeight = 22, FLargeButtonWidth = 47;
  int FXOffset = 4, FYOffset = 4;
  int FCalcWidth = 207, FCalcHeight = 137;
  long double FMemory = 0;
  long double FOperand = 0;
  TkxCalcButton FOperator = cbEqual;
  int FPrecision = 13;
  TkxCalcState FStatus = csFirst;
  TkxCalcButton FHotButton = cbNone, FDownButton = cbNone, FKeyPressed = cbNone;
  bool FTracking = false;
  bool FPopupUse = false;
  bool FSizing = false;

  void WMEraseBkgnd(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMSize(TWMSize& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMMouseLeave(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
  END_MESSAGE_MAP(TkxInplacePopupControl)
};

// Draws one calculator button into the shared off-screen bitmap, then to R.
void kxDrawCalcButton(TCanvas* Canvas, const TRect& R, const AnsiString& Caption, bool Greyed, bool Focused,
                      bool Enabled, bool FrameVisible, bool Pressed, TColor Color, bool FlatNotHot,
                      TkxButtonStyle Style);

void kxInitCalc();
void kxDoneCalc();
