// The spin editor: an integer or floating-point number with up and down
// buttons in the frame; the buttons (with auto-repeat), the Up and Down keys
// and the wheel step the value by Increment within MinValue..MaxValue.
#pragma once

#include "inplace/kxdropdown.h"

enum TkxValueType { vtInt, vtFloat };
PV_ENUM_NAMES(TkxValueType, "vtInt vtFloat")

class TkxSpinEditViewData : public TkxTextEditViewData {
  PV_CLASS(TkxSpinEditViewData, TkxTextEditViewData)
 public:
  TkxSpinEditViewData() = default;
  bool ShowSpinButtons = false;  // a cell painted without an editor shows none
  Byte HotSpinButton = 0;     // 0 none, 1 up, 2 down
  Byte PushedSpinButton = 0;
};

class TkxInplaceSpinEdit : public TkxInplaceMaskEdit {
  PV_CLASS(TkxInplaceSpinEdit, TkxInplaceMaskEdit)
  KX_EDIT_CLASS(TkxInplaceSpinEdit)
 public:
  explicit TkxInplaceSpinEdit(TComponent* AOwner);

  bool EditorEnabled = true;
  double Increment = 1;
  bool UseCtrlIncrement = false;
  double MaxValue() const { return FMaxValue; }
  double MinValue() const { return FMinValue; }
  TkxValueType ValueType() const { return FValueType; }
  Byte HotSpinButton() const { return FHotSpinButton; }
  Byte PushedSpinButton() const { return FPushedSpinButton; }
  void SetValueType(TkxValueType Value);
  void SetValueRange(double Max, double Min);
  // One step up (true) or down.
  void Spin(bool Up);
  void ReleaseSpinButton();
  void SetHotSpinButton(Byte Value);

  virtual double GetIncrement() { return Increment; }
  virtual double GetValue();
  virtual bool IsValidSpinChar(char Ch);
  virtual void SetMaxValue(double X);
  virtual void SetMinValue(double X);
  virtual void DoSetValueRange(double Max, double Min);
  virtual void DoSetValueType(TkxValueType T);
  virtual void SetValue(double X);
  virtual double GetDefaultMaxValue() { return 0; }
  virtual double GetDefaultMinValue() { return 0; }
  virtual TkxValueType GetDefaultValueType() { return vtInt; }
  double ClampValue(double X);

  void RefreshDataProperties() override;
  TkxEditViewData* CreateViewData(bool FromData) override;
  bool GetDisableCloseEditor() override { return false; }
  bool HandlesMouseWheel() override { return true; }
  void SetSelected(bool Value) override;
  void MouseActivate(int X, int Y) override;
  void RestoreDefaults() override;
  void ValidateEdit() override;

 protected:
  void DefaultHandler(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The spin half under a point in window coordinates (0 none, 1 up, 2 down).
  Byte SpinButtonAt(const TPoint& P);
  void RepaintButtons();
  double FMaxValue = 0, FMinValue = 0;
  TkxValueType FValueType = vtInt;
  Byte FHotSpinButton = 0, FPushedSpinButton = 0;
  bool FTimerRunning = false;

  void WMCancelMode(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void WMKillFocus3(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void WMLButtonUp3(TWMMouse& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMNCLButtonDblClk(TMessage& Message);
  void WMTimer(TMessage& Message);
  void WMCut2(TMessage& Message);
  void WMPaste2(TMessage& Message);
  void WMClear2(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode)
    PV_MESSAGE_HANDLER(WM_CAPTURECHANGED, TMessage, WMCaptureChanged)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus3)
    PV_MESSAGE_HANDLER(WM_MOUSEWHEEL, TMessage, WMMouseWheel)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp3)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDOWN, TMessage, WMNCLButtonDown)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, TMessage, WMNCLButtonDblClk)
    PV_MESSAGE_HANDLER(WM_TIMER, TMessage, WMTimer)
    PV_MESSAGE_HANDLER(WM_CUT, TMessage, WMCut2)
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMPaste2)
    PV_MESSAGE_HANDLER(WM_CLEAR, TMessage, WMClear2)
  END_MESSAGE_MAP(TkxInplaceMaskEdit)
};

class TkxInplaceSpinEdit::TClassRef : public TkxInplaceMaskEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceSpinEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxSpinEditViewData::StaticClass(); }
  void CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize, TkxEditViewRects& Rects) const override;
  void DrawBorder(HDC DC, const TkxEditViewRects& Rects, TkxEditViewData* ViewData) const override;
  virtual int GetSpinButtonWidth(TkxEditViewData* ViewData) const;
  // The up and down halves of the button column.
  bool SpinRects(const TkxEditViewRects& Rects, TkxEditViewData* ViewData, TRect& Up, TRect& Down) const;
};

// Draws one spin half: Up or down arrow on a face in the drop-down buttons' style.
void kxDrawSpinButton(HDC DC, TRect R, bool Up, TkxEditViewData* ViewData, bool Hot, bool Pushed);

void kxInitSpinEdit();
