// The time editor: a time of day as masked text ("hh:nn:ss", "hh:nn" or
// "hh"), the part under the caret stepped by the spin buttons, keys and
// wheel, each typed digit kept within the hours and minutes of a day, and
// the date part of the value kept through the editing.
#pragma once

#include "inplace/kxspin.h"

enum TkxTimeEditFormat { tfHourMinSec, tfHourMin, tfHour };
PV_ENUM_NAMES(TkxTimeEditFormat, "tfHourMinSec tfHourMin tfHour")

// The display format and edit mask of a time format.
AnsiString kxTimeDisplayFormat(TkxTimeEditFormat Format);
AnsiString kxTimeEditMask(TkxTimeEditFormat Format);

class TkxInplaceTimeEdit : public TkxInplaceSpinEdit {
  PV_CLASS(TkxInplaceTimeEdit, TkxInplaceSpinEdit)
  KX_EDIT_CLASS(TkxInplaceTimeEdit)
 public:
  explicit TkxInplaceTimeEdit(TComponent* AOwner);

  TDateTime DatePart() const { return FDatePart; }
  TkxTimeEditFormat TimeEditFormat() const { return FTimeEditFormat; }
  void SetTimeEditFormat(TkxTimeEditFormat Value);
  TDateTime GetTime() const { return FTime; }
  void SetTime(TDateTime X);
  // The letter of the time part under the caret: 'H', 'N' or 'S'.
  char GetCaretTimePart();

  double GetIncrement() override;
  double GetValue() override;
  bool IsValidSpinChar(char Ch) override;
  void SetValue(double X) override;
  TkxValueType GetDefaultValueType() override { return vtFloat; }
  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  void SelectAll() override { TkxInplaceTextEdit::SelectAll(); }

 protected:
  TDateTime FDatePart = 0;
  TDateTime FTime = 0;
  TkxTimeEditFormat FTimeEditFormat = tfHourMinSec;
  // Shows X, which may lie past the last second of the day (a value read from
  // data): the text shows the last second, the time keeps X.
  void LoadTime(TDateTime X);
};

class TkxInplaceTimeEdit::TClassRef : public TkxInplaceSpinEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceTimeEdit::StaticClass(); }
};

void kxInitTimeEdit();
