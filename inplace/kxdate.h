// The date editor: a date as text, with or without the date edit mask,
// date keywords (TODAY, EOM-1 ...), validation when the edit ends, and the
// month calendar dropped down under the cell; and the date text functions
// it uses. NullDate means no date.
#pragma once

#include "inplace/kxcalendar.h"
#include "inplace/kxdropdown.h"

// A keyword at the start of Text ("TODAY", "EOM", "NOW" ...), with an
// optional day offset ("+2", "- 1"); Date set when one matched.
bool kxParseDateKeyword(const AnsiString& Text, TDateTime& Date);
// Text as a date (a keyword or the locale's date text); Date set only on success.
bool kxStrToDate(const AnsiString& Text, TDateTime& Date);
// The date in the locale's short date format, with the time when it has one.
AnsiString kxDateToLocaleText(TDateTime Date);
// The text shown for a date: the masked format or the locale's text.
AnsiString kxDateToText(bool Masked, TDateTime Date);
// ShortDateFormat with two-digit days and months.
AnsiString kxMaskedDateFormat();
// The edit mask of dates in ShortDateFormat ("!9999-99-99;1; ").
AnsiString kxDateEditMask();

enum TDateButton { btnToday, btnClear };
using TDateButtons = TSet<TDateButton>;
enum TDateOnError { deToday, deNull };
PV_ENUM_NAMES(TDateOnError, "deToday deNull")

using TkxDateValidateInput =
    TEvent<void(TObject* Sender, const AnsiString& AText, TDateTime& ADate, AnsiString& AMessage, bool& AError)>;

class TkxInplaceDateEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplaceDateEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplaceDateEdit)
 public:
  explicit TkxInplaceDateEdit(TComponent* AOwner);
  ~TkxInplaceDateEdit() override;

  TDateButtons DateButtons = TDateButtons{btnToday, btnClear};
  TDateOnError DateOnError = deNull;
  bool DateValidation = false;
  bool SaveTime = true;
  TNotifyEvent OnDateChanged;
  TkxDateValidateInput OnDateValidateInput;

  TDateTime GetDate() const { return FDate; }
  void SetDate(TDateTime Value);
  bool UseEditMask() const { return FUseEditMask; }
  void SetUseEditMask(bool Value);
  bool TextEdited() const { return FTextEdited; }
  TDateTime LastParsedDate() const { return FLastParsedDate; }
  TkxGridDatePopup* DatePopup() const { return FDatePopup; }

  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  void Change() override;
  bool GetDisableCloseEditor() override { return false; }
  void GetDisplayText(AnsiString& Text) override;
  bool ValidateOnEnter() override { return true; }
  void ValidateEdit() override;
  void DropDown() override;
  virtual void DoDateValidateInput(const AnsiString& AText, TDateTime& ADate, bool& AError, AnsiString& AMessage);

 protected:
  void UpdateEditMask();
  void SetDateInternal(TDateTime D);
  void PopupDateSelected(TObject* Sender);
  // The editor shows the empty text of its mask.
  bool ShowsEmptyMask();

  TDateTime FDate = NullDate;
  TDateTime FLastParsedDate = NullDate;
  bool FTextEdited = false;
  bool FUseEditMask = false;
  TkxGridDatePopup* FDatePopup = nullptr;

  void CMWinIniChange(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_WININICHANGE, TMessage, CMWinIniChange)
  END_MESSAGE_MAP(TkxInplaceDropDownEdit)
};

class TkxInplaceDateEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceDateEdit::StaticClass(); }
};

void kxInitDateEdit();
