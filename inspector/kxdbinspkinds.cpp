// The data-aware row kinds, the registration of every row class for window
// descriptions and the field-type row offers.
#include "inspector/kxdbinspkinds.h"

#include <cmath>

#include "inplace/kxcalendar.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/strings.h"

PV_ENUM_NAMES(TDateButton, "btnToday btnClear")

namespace kxdbinspkinds_cpp {

void ProposeRowClasses(TFieldType FieldType, TFieldKind FieldKind, TkxFieldRowClassEntry& Entry) {
  TClass c = nullptr;
  if (FieldKind == fkLookup) {
    // No lookup kind yet: lookup fields keep the plain data-aware row.
    return;
  }
  if (FieldKind != fkData) return;
  switch (FieldType) {
    case ftBoolean: c = TkxInspectorDBCheckRow::StaticClass(); break;
    case ftDate:
    case ftDateTime: c = TkxInspectorDBDateRow::StaticClass(); break;
    case ftMemo: c = TkxInspectorDBMemoRow::StaticClass(); break;
    case ftCurrency:
    case ftBCD:
    case ftTime:
    case ftGraphic:
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: return;
    default: c = TkxInspectorDBMaskRow::StaticClass(); break;
  }
  Entry.RowClass = c;
  Entry.Priority = 1;
}
}  // namespace kxdbinspkinds_cpp
using namespace kxdbinspkinds_cpp;

// ---------------------------------------------------------------------------
// Date

void TkxInspectorDBDateRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* d = dynamic_cast<TkxInplaceDateEdit*>(Edit);
  TField* f = Binding.Field;
  if (!d || !f) {
    TkxInspectorDateRow::SaveEditValue(Edit, Value);
    return;
  }
  const TDateTime date = d->GetDate();
  if (date != NullDate)
    f->SetAsFloat(date);
  else
    f->Clear();
  Value = f->AsVariant();
}

void TkxInspectorDBDateRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* d = dynamic_cast<TkxInplaceDateEdit*>(Edit);
  TField* f = Binding.Field;
  if (!d || !f) {
    TkxInspectorDateRow::LoadEditValue(Edit, Value);
    return;
  }
  d->SetDate(f->IsNull() ? NullDate : f->AsFloat());
  const TDateTime date = d->GetDate();
  Value = date <= NullDate ? Variant::Null() : Variant::FromDate(date);
}

bool TkxInspectorDBDateRow::IsEditValueCurrent(const Variant& Value) {
  const Word t = Value.Type();
  if (t != varDate && t != varDouble && !Value.IsNull()) return false;
  TField* f = Binding.Field;
  if (!f) return TkxInspectorDateRow::IsEditValueCurrent(Value);
  if (Value.IsNull()) return f->IsNull();
  const double v = Value.AsDouble();
  if (f->IsNull() && v <= NullDate) return true;
  return !f->IsNull() && v == f->AsFloat();
}

// ---------------------------------------------------------------------------
// Spin

double kxFieldRangeValue(TField* Field, bool Max) {
  if (auto* i = dynamic_cast<TIntegerField*>(Field)) return Max ? i->MaxValue() : i->MinValue();
  if (auto* fl = dynamic_cast<TFloatField*>(Field)) {
    const double v = Max ? fl->MaxValue() : fl->MinValue();
    if (fl->Precision() <= 0) return v;
    try {
      return StrToFloat(FloatToStrF(v, ffGeneral, fl->Precision(), 0));
    } catch (const Exception&) {
      return v;
    }
  }
  return 0;
}

double TkxInspectorDBSpinRow::GetDefaultMinValue() { return kxFieldRangeValue(Binding.Field, false); }
double TkxInspectorDBSpinRow::GetDefaultMaxValue() { return kxFieldRangeValue(Binding.Field, true); }

TkxValueType TkxInspectorDBSpinRow::GetValueType() {
  return dynamic_cast<TFloatField*>(Binding.Field) || dynamic_cast<TBCDField*>(Binding.Field) ? vtFloat : vtInt;
}

// ---------------------------------------------------------------------------
// Memo

void TkxInspectorDBMemoRow::GetMemoText(AnsiString& Text) {
  Text = Binding.Field ? Binding.Field->AsString() : AnsiString();
}

void TkxInspectorDBMemoRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TkxInplaceMemoEdit*>(Edit);
  if (!m || !Binding.Field) {
    TkxInspectorMemoRow::SaveEditValue(Edit, Value);
    return;
  }
  Binding.Field->SetAsString(m->GetText());
  Value = Binding.Field->AsVariant();
}

void TkxInspectorDBMemoRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TkxInplaceMemoEdit*>(Edit);
  if (!m || !Binding.Field) {
    TkxInspectorMemoRow::LoadEditValue(Edit, Value);
    return;
  }
  m->SetText(Binding.Field->AsString());
  Value = Variant(m->GetText());
}

// ---------------------------------------------------------------------------
// Registration

namespace kxdbinspkinds_cpp {
template <class R>
void RegisterFieldName() {
  RegisterProps<R>([](TPropBuilder<R>& p) {
    p.Prop("FieldName", &R::GetFieldNameProp, &R::SetFieldNameProp);
  });
}

template <class R>
void RegisterTextProp() {
  RegisterProps<R>([](TPropBuilder<R>& p) { p.Prop("Text", &R::Text, &R::SetText); });
}

template <class R>
void RegisterDropDownProps(TPropBuilder<R>& p) {
  p.Prop("ButtonGlyph", &R::ButtonGlyph, &R::SetButtonGlyph).Stored(&R::IsButtonGlyphStored);
  p.Prop("PopupAlignment", &R::PopupAlignment, &R::PopupAlignment).Default(taLeftJustify);
  p.Prop("PopupBorder", &R::PopupBorder, &R::PopupBorder).Default(pbDefault);
  p.Prop("OnEditButtonClick", &R::OnEditButtonClick, &R::OnEditButtonClick);
}

void RegisterKindProps() {
  RegisterProps<TkxInspectorMaskRow>([](TPropBuilder<TkxInspectorMaskRow>& p) {
    p.Prop("EditMask", &TkxInspectorMaskRow::EditMask, &TkxInspectorMaskRow::SetEditMask)
        .Stored(&TkxInspectorMaskRow::IsEditMaskStored);
    p.Field("IgnoreMaskBlank", &TkxInspectorMaskRow::IgnoreMaskBlank).Default(false);
  });
  RegisterProps<TkxInspectorDateRow>([](TPropBuilder<TkxInspectorDateRow>& p) {
    RegisterDropDownProps(p);
    p.Field("DateButtons", &TkxInspectorDateRow::DateButtons).Default(TDateButtons{btnToday, btnClear});
    p.Field("DateOnError", &TkxInspectorDateRow::DateOnError).Default(deToday);
    p.Field("DateValidation", &TkxInspectorDateRow::DateValidation).Default(false);
    p.Field("SaveTime", &TkxInspectorDateRow::SaveTime).Default(true);
    p.Field("UseEditMask", &TkxInspectorDateRow::UseEditMask).Default(false);
    p.Field("OnDateValidateInput", &TkxInspectorDateRow::OnDateValidateInput);
  });
  RegisterProps<TkxInspectorCheckRow>([](TPropBuilder<TkxInspectorCheckRow>& p) {
    using R = TkxInspectorCheckRow;
    p.Field("AllowGrayed", &R::AllowGrayed).Default(false);
    p.Prop("Border3D", &R::Border3D, &R::SetBorder3D).Default(false);
    p.Prop("Glyph", &R::Glyph, &R::SetGlyph).Stored(&R::IsGlyphStored);
    p.Prop("GlyphCount", &R::GlyphCount, &R::SetGlyphCount).Default(6);
    p.Prop("ShowNullFieldStyle", &R::ShowNullFieldStyle, &R::SetShowNullFieldStyle).Default(nsUnchecked);
    p.Prop("ValueChecked", &R::ValueChecked, &R::SetValueChecked).Stored([](TObject* o) {
      return static_cast<R*>(o)->ValueChecked() != kxInspectorCheckedText();
    });
    p.Prop("ValueGrayed", &R::ValueGrayed, &R::SetValueGrayed);
    p.Prop("ValueUnchecked", &R::ValueUnchecked, &R::SetValueUnchecked).Stored([](TObject* o) {
      return static_cast<R*>(o)->ValueUnchecked() != kxInspectorUncheckedText();
    });
    p.Field("OnToggleClick", &R::OnToggleClick);
  });
  RegisterProps<TkxInspectorCalcRow>([](TPropBuilder<TkxInspectorCalcRow>& p) {
    using R = TkxInspectorCalcRow;
    RegisterDropDownProps(p);
    p.Field("BeepOnError", &R::BeepOnError).Default(true);
    p.Field("ButtonStyle", &R::ButtonStyle).Default(bsStandard);
    p.Field("Precision", &R::Precision).Default(13);
    p.Field("QuickClose", &R::QuickClose).Default(false);
    p.Field("ShowButtonFrame", &R::ShowButtonFrame).Default(false);
  });
  RegisterProps<TkxInspectorSpinRow>([](TPropBuilder<TkxInspectorSpinRow>& p) {
    using R = TkxInspectorSpinRow;
    p.Field("EditorEnabled", &R::EditorEnabled).Default(true);
    p.Field("Increment", &R::Increment).Default(1.0);
    p.Prop("MaxValue", &R::MaxValue, &R::SetMaxValue).Stored(&R::IsMaxValueStored);
    p.Prop("MinValue", &R::MinValue, &R::SetMinValue).Stored(&R::IsMinValueStored);
    p.Field("UseCtrlIncrement", &R::UseCtrlIncrement).Default(true);
  });
  RegisterProps<TkxInspectorTextSpinRow>([](TPropBuilder<TkxInspectorTextSpinRow>& p) {
    p.Prop("Text", &TkxInspectorTextSpinRow::Text, &TkxInspectorTextSpinRow::SetText);
    p.Field("ValueType", &TkxInspectorTextSpinRow::ValueType).Default(vtInt);
  });
  RegisterProps<TkxInspectorPickRow>([](TPropBuilder<TkxInspectorPickRow>& p) {
    using R = TkxInspectorPickRow;
    RegisterDropDownProps(p);
    p.Prop("DropDownRows", &R::DropDownRows, &R::DropDownRows).Default(7);
    p.Prop("DropDownWidth", &R::DropDownWidth, &R::DropDownWidth).Default(0);
    p.Prop("ImmediateDropDown", &R::ImmediateDropDown, &R::ImmediateDropDown).Default(true);
    p.Field("DropDownListStyle", &R::DropDownListStyle).Default(false);
    p.Prop("Items", &R::Items, &R::SetItems);
    p.Field("CanDeleteText", &R::CanDeleteText).Default(false);
    p.Field("Revertable", &R::Revertable).Default(true);
    p.Field("Sorted", &R::Sorted).Default(false);
    p.Field("OnCloseUp", &R::OnCloseUp);
  });
  RegisterProps<TkxInspectorImageRow>([](TPropBuilder<TkxInspectorImageRow>& p) {
    using R = TkxInspectorImageRow;
    RegisterDropDownProps(p);
    p.Prop("DefaultImages", &R::DefaultImages, &R::SetDefaultImages).Default(true);
    p.Prop("Descriptions", &R::Descriptions, &R::SetDescriptions);
    p.Prop("DropDownRows", &R::DropDownRows, &R::DropDownRows).Default(7);
    p.Prop("DropDownWidth", &R::DropDownWidth, &R::DropDownWidth).Default(0);
    p.Prop("Images", &R::Images, &R::SetImages);
    p.Prop("ImageIndexes", &R::ImageIndexes, &R::SetImageIndexes);
    p.Prop("LargeImages", &R::LargeImages, &R::SetLargeImages);
    p.Prop("ListWidth", &R::ListWidth, &R::SetListWidth).Stored(false);
    p.Prop("MultiLineText", &R::MultiLineText, &R::SetMultiLineText).Default(false);
    p.Prop("ShowDescription", &R::ShowDescription, &R::SetShowDescription).Default(false);
    p.Prop("Values", &R::Values, &R::SetValues);
    p.Field("OnCloseUp", &R::OnCloseUp);
  });
  RegisterProps<TkxInspectorPopupRow>([](TPropBuilder<TkxInspectorPopupRow>& p) {
    using R = TkxInspectorPopupRow;
    RegisterDropDownProps(p);
    p.Field("HideEditCursor", &R::HideEditCursor).Default(false);
    p.Field("PopupAutoSize", &R::PopupAutoSize).Default(true);
    p.Prop("PopupControl", &R::PopupControl, &R::SetPopupControl);
    p.Field("PopupFormBorderStyle", &R::PopupFormBorderStyle).Default(pbsDialog);
    p.Field("PopupFormCaption", &R::PopupFormCaption);
    p.Field("PopupFormClientEdge", &R::PopupFormClientEdge).Default(false);
    p.Field("PopupFormFlatBorder", &R::PopupFormFlatBorder).Default(true);
    p.Field("PopupFormSizeable", &R::PopupFormSizeable).Default(true);
    p.Prop("PopupHeight", &R::PopupHeight, &R::SetPopupHeight).Default(200);
    p.Prop("PopupMinHeight", &R::PopupMinHeight, &R::SetPopupMinHeight).Default(100);
    p.Prop("PopupMinWidth", &R::PopupMinWidth, &R::SetPopupMinWidth).Default(100);
    p.Prop("PopupWidth", &R::PopupWidth, &R::SetPopupWidth).Default(250);
    p.Field("OnCloseQuery", &R::OnCloseQuery);
    p.Field("OnCloseUp", &R::OnCloseUp);
    p.Field("OnInitPopup", &R::OnInitPopup);
    p.Field("OnPopup", &R::OnPopup);
  });
  RegisterProps<TkxInspectorMemoRow>([](TPropBuilder<TkxInspectorMemoRow>& p) {
    using R = TkxInspectorMemoRow;
    p.Field("HideScrollBars", &R::HideScrollBars).Default(true);
    p.Field("ScrollBars", &R::ScrollBars).Default(ssNone);
    p.Prop("SelectionBar", &R::SelectionBar, &R::SetSelectionBar).Default(false);
    p.Field("WantReturns", &R::WantReturns).Default(true);
    p.Field("WantTabs", &R::WantTabs).Default(false);
    p.Field("WordWrap", &R::WordWrap).Default(true);
  });
}
}  // namespace kxdbinspkinds_cpp

void kxInitInspectorKinds() {
  const AnsiString t = LoadStr(38901), f = LoadStr(38902);
  if (!t.empty()) SetInspectorCheckTexts(t, f.empty() ? AnsiString("False") : f);
  RegisterClasses({TkxInspectorTextMaskRow::StaticClass(), TkxInspectorTextDateRow::StaticClass(),
                   TkxInspectorTextCheckRow::StaticClass(), TkxInspectorTextCalcRow::StaticClass(),
                   TkxInspectorTextSpinRow::StaticClass(), TkxInspectorTextPickRow::StaticClass(),
                   TkxInspectorTextImageRow::StaticClass(), TkxInspectorTextPopupRow::StaticClass(),
                   TkxInspectorTextMemoRow::StaticClass()});
  RegisterKindProps();
  RegisterTextProp<TkxInspectorTextMaskRow>();
  RegisterTextProp<TkxInspectorTextDateRow>();
  RegisterTextProp<TkxInspectorTextCheckRow>();
  RegisterTextProp<TkxInspectorTextCalcRow>();
  RegisterTextProp<TkxInspectorTextPickRow>();
  RegisterTextProp<TkxInspectorTextImageRow>();
  RegisterTextProp<TkxInspectorTextPopupRow>();
  RegisterTextProp<TkxInspectorTextMemoRow>();
}

void kxDoneInspectorKinds() { SetInspectorCheckTexts("True", "False"); }

void kxInitDBInspectorKinds() {
  RegisterClasses({TkxInspectorDBMaskRow::StaticClass(), TkxInspectorDBDateRow::StaticClass(),
                   TkxInspectorDBCheckRow::StaticClass(), TkxInspectorDBCalcRow::StaticClass(),
                   TkxInspectorDBSpinRow::StaticClass(), TkxInspectorDBPickRow::StaticClass(),
                   TkxInspectorDBImageRow::StaticClass(), TkxInspectorDBPopupRow::StaticClass(),
                   TkxInspectorDBMemoRow::StaticClass()});
  RegisterFieldName<TkxInspectorDBMaskRow>();
  RegisterFieldName<TkxInspectorDBDateRow>();
  RegisterFieldName<TkxInspectorDBCheckRow>();
  RegisterFieldName<TkxInspectorDBCalcRow>();
  RegisterFieldName<TkxInspectorDBSpinRow>();
  RegisterFieldName<TkxInspectorDBPickRow>();
  RegisterFieldName<TkxInspectorDBImageRow>();
  RegisterFieldName<TkxInspectorDBPopupRow>();
  RegisterFieldName<TkxInspectorDBMemoRow>();
  RegisterFieldRowClasses(&ProposeRowClasses);
}

void kxDoneDBInspectorKinds() { ResetFieldRowClasses(); }
