// The calculator editor: a number edited with the pocket calculator dropped
// down under the cell. The calculator takes the focus while it is shown and
// writes its display straight into the editor's text.
#pragma once

#include "inplace/kxcalc.h"
#include "inplace/kxdropdown.h"

class TkxInplaceCalcEdit;

// The calculator as the editor's pop-up: its display is the editor's text.
class TkxPopupCalculator : public TCustomkxCalculator {
  PV_CLASS(TkxPopupCalculator, TCustomkxCalculator)
 public:
  explicit TkxPopupCalculator(TComponent* AOwner);
  TkxInplaceCalcEdit* Editor = nullptr;
  bool QuickClose = false;

  void ClosePopup() override;
  void GetDisplayText(AnsiString& Text) override;
  void SetDisplayText(const AnsiString& Text) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
};

class TkxInplaceCalcEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplaceCalcEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplaceCalcEdit)
 public:
  explicit TkxInplaceCalcEdit(TComponent* AOwner);
  ~TkxInplaceCalcEdit() override;

  bool BeepOnError = true;
  TkxButtonStyle ButtonStyle = bsStandard;
  bool QuickClose = false;
  Byte Precision = 13;
  bool ShowButtonFrame = false;
  TkxPopupCalculator* Calculator() const { return FCalculator; }

  void DropDown() override;

 protected:
  TkxPopupCalculator* FCalculator = nullptr;
};

class TkxInplaceCalcEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceCalcEdit::StaticClass(); }
};

void kxInitCalcEdit();
