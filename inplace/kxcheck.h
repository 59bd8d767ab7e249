// The check editor: a three-state Boolean shown as a check box (drawn by the
// system in one of four looks, or from a strip of pictures) with an optional
// caption; its value is the state number 0 unchecked, 1 checked, 2 grayed.
#pragma once

#include "inplace/kxcntner.h"

enum TkxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
enum TkxShowNullFieldStyle { nsUnchecked, nsInactive, nsGrayedChecked };
PV_ENUM_NAMES(TkxCheckBoxState, "cbsUnchecked cbsChecked cbsGrayed")
PV_ENUM_NAMES(TkxShowNullFieldStyle, "nsUnchecked nsInactive nsGrayedChecked")

// The controller check styles fall back on: no border and 3-D buttons.
class TkxCheckEditStyleController : public TkxEditStyleController {
  PV_CLASS(TkxCheckEditStyleController, TkxEditStyleController)
 public:
  explicit TkxCheckEditStyleController(TComponent* AOwner);
  void RestoreDefaults() override;
};

class TkxCheckEditStyle : public TkxEditStyle {
  PV_CLASS(TkxCheckEditStyle, TkxEditStyle)
 public:
  TkxCheckEditStyle() = default;
  TkxEditStyleController* GetDefaultStyleController() const override;
};

TkxCheckEditStyleController* kxDefaultCheckStyleController();

class TkxCheckEditViewData : public TkxEditViewData {
  PV_CLASS(TkxCheckEditViewData, TkxEditViewData)
 public:
  TkxCheckEditViewData() = default;
  AnsiString CaptionText;
  bool TextFocusOnly = true;
  TBitmap* Glyph = nullptr;  // not owned
  int GlyphCount = 6;
  TkxShowNullFieldStyle NullLook = nsGrayedChecked;
  bool Pushed = false;
};

class TkxInplaceCheckEdit : public TkxInplaceEdit {
  PV_CLASS(TkxInplaceCheckEdit, TkxInplaceEdit)
  KX_EDIT_CLASS(TkxInplaceCheckEdit)
 public:
  explicit TkxInplaceCheckEdit(TComponent* AOwner);
  ~TkxInplaceCheckEdit() override;

  bool AllowGrayed = false;
  TkxCheckBoxState State() const { return FState; }
  void SetState(TkxCheckBoxState Value);
  TBitmap* GetGlyph();
  TBitmap* GlyphOrNull() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int Value);
  TkxShowNullFieldStyle ShowNullFieldStyle() const { return FShowNullFieldStyle; }
  void SetShowNullFieldStyle(TkxShowNullFieldStyle Value);
  bool Pushed() const { return FPushed; }
  // The size of one glyph cell; false (and the system box size) without a usable glyph.
  static bool GetGlyphSize(TBitmap* Glyph, int GlyphCount, int& Width, int& Height);
  // The box and caption rectangles of a cell.
  static void CalcCheckRect(const TRect& R, int Width, int Height, TRect& Check, TRect& Caption,
                            TAlignment Alignment);

  virtual void Toggle();
  void SetEditValue(const Variant& Value) override;
  void GetEditingValue(Variant& Value, bool FromData) override;
  void GetEditValue(Variant& Value) override;
  TkxEditViewData* CreateViewData(bool FromData) override;
  void ClickActivate() override { Toggle(); }
  void Click() override;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void UpdatePushed(int X, int Y);
  void StopTracking();
  void InvalidateCheck();
  TkxCheckBoxState FState = cbsUnchecked;
  TBitmap* FGlyph = nullptr;
  int FGlyphCount = 6;
  TkxShowNullFieldStyle FShowNullFieldStyle = nsGrayedChecked;
  bool FPushed = false;
  bool FMouseTracking = false;

  void WMCancelMode(TMessage& Message);
  void WMGetDlgCode2(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMTextChanged2(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode2)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged2)
  END_MESSAGE_MAP(TkxInplaceEdit)
};

class TkxInplaceCheckEdit::TClassRef : public TkxInplaceEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceCheckEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxCheckEditViewData::StaticClass(); }
  TClass GetEditStyleClass() const override { return TkxCheckEditStyle::StaticClass(); }
  bool DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* ViewData) const override;
  int GetMinHeight(TkxEditViewData* ViewData) const override;
};

void kxInitCheckEdit();
void kxDoneCheckEdit();
