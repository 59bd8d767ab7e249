// The currency editor: an amount as plain text that only takes characters
// keeping it a number with at most DecimalPlaces decimals, clamped to
// MinValue..MaxValue, optionally Null when empty, and shown through
// DisplayFormat (the locale's currency format by default) while not edited.
#pragma once

#include "inplace/kxmask.h"

class TkxInplaceCurrencyEdit : public TkxInplaceMaskEdit {
  PV_CLASS(TkxInplaceCurrencyEdit, TkxInplaceMaskEdit)
  KX_EDIT_CLASS(TkxInplaceCurrencyEdit)
 public:
  explicit TkxInplaceCurrencyEdit(TComponent* AOwner);

  unsigned DecimalPlaces = 2;
  bool UseThousandSeparator = false;

  AnsiString DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const AnsiString& Value);
  double MaxValue() const { return FMaxValue; }
  double MinValue() const { return FMinValue; }
  void SetValueRange(double Max, double Min);
  bool Nullable() const { return FNullable; }
  void SetNullable(bool Value);
  AnsiString NullString() const { return FNullString; }
  void SetNullString(const AnsiString& Value);
  double GetValue();
  void SetValue(double X);
  // S as a number, thousand separators ignored; false (X = 0) when S is no
  // number within the range of a double.
  static bool TryTextToFloat(const AnsiString& S, double& X);

  virtual bool IsValidChar(char Key);
  virtual void DoSetDisplayFormat(const AnsiString& S);
  virtual void SetMaxValue(double X);
  virtual void SetMinValue(double X);
  virtual void DoSetValueRange(double Max, double Min);
  virtual void GetDefaultDisplayFormat(AnsiString& S);
  virtual double GetDefaultMaxValue() { return 0; }
  virtual double GetDefaultMinValue() { return 0; }

  void RefreshDataProperties() override;
  void GetEditingValue(Variant& Value, bool FromData) override;
  void GetEditValue(Variant& Value) override;
  bool RepaintOnActivate() override;
  void RestoreDefaults() override;
  void ValidateEdit() override;
  bool NeedsOleCallback() override { return true; }
  void DoSetEditMask(const AnsiString&) override {}

 protected:
  void KeyPress(char& Key) override;
  void Repaint();

  AnsiString FDisplayFormat;
  double FMaxValue = 0, FMinValue = 0;
  bool FNullable = false;
  AnsiString FNullString;

  void WMPasteAmount(TMessage& Message);
  void CMWinIniChange(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMPasteAmount)
    PV_MESSAGE_HANDLER(CM_WININICHANGE, TMessage, CMWinIniChange)
  END_MESSAGE_MAP(TkxInplaceMaskEdit)
};

class TkxInplaceCurrencyEdit::TClassRef : public TkxInplaceMaskEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceCurrencyEdit::StaticClass(); }
};

void kxInitCurrencyEdit();
