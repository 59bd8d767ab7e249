// The data-aware row kinds, the registration of every row class for window
// descriptions and the field-type row offers.
#include "inspector/kxdbinspkinds.h"

#include <cmath>

#include "inplace/kxcalendar.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/strings.h"

PV_ENUM_NAMES(TDateButton, "btnToday btnClear")
PV_ENUM_NAMES(TkxEditButtonStyle, "ebsSimple ebsEllipsis ebsDown ebsGlyph")

namespace kxdbinspkinds_cpp {

void ProposeRowClasses(TFieldType FieldType, TFieldKind FieldKind, TkxFieldRowClassEntry& Entry) {
  TClass c = nullptr;
  if (FieldKind == fkLookup) {
    Entry.RowClass = TkxInspectorLookupRow::StaticClass();
    Entry.Priority = 1;
    return;
  }
  if (FieldKind != fkData) return;
  switch (FieldType) {
    case ftBoolean: c = TkxInspectorDBCheckRow::StaticClass(); break;
    case ftDate:
    case ftDateTime: c = TkxInspectorDBDateRow::StaticClass(); break;
    case ftMemo: c = TkxInspectorDBMemoRow::StaticClass(); break;
    case ftCurrency:
    case ftBCD: c = TkxInspectorDBCurrencyRow::StaticClass(); break;
    case ftTime: c = TkxInspectorDBTimeRow::StaticClass(); break;
    case ftGraphic: c = TkxInspectorDBGraphicRow::StaticClass(); break;
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: c = TkxInspectorBlobRow::StaticClass(); break;
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
// Time

// The field keeps its own day; only the time of day comes from the editor.
void TkxInspectorDBTimeRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* t = dynamic_cast<TkxInplaceTimeEdit*>(Edit);
  TField* f = Binding.Field;
  if (!t || !f) {
    TkxInspectorTimeRow::SaveEditValue(Edit, Value);
    if (f) Value = f->AsVariant();
    return;
  }
  const TDateTime day = f->IsNull() ? 0 : kxTruncDateTime(f->AsDateTime());
  f->SetAsDateTime(day + t->GetTime());
  Value = f->AsVariant();
}

void TkxInspectorDBTimeRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* t = dynamic_cast<TkxInplaceTimeEdit*>(Edit);
  TField* f = Binding.Field;
  if (!t || !f) {
    TkxInspectorTimeRow::LoadEditValue(Edit, Value);
    return;
  }
  const TDateTime time = f->IsNull() ? 0 : kxTimeOfDateTime(f->AsDateTime());
  t->SetTime(time);
  Value = Variant(double(time));
}

bool TkxInspectorDBTimeRow::IsEditValueCurrent(const Variant& Value) {
  TField* f = Binding.Field;
  if (!f) return TkxInspectorTimeRow::IsEditValueCurrent(Value);
  const Variant current = Variant::FromDate(f->IsNull() ? 0 : kxTimeOfDateTime(f->AsDateTime()));
  return Value.Type() == current.Type() && Value == current;
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

double TkxInspectorDBCurrencyRow::GetDefaultMinValue() { return kxFieldRangeValue(Binding.Field, false); }
double TkxInspectorDBCurrencyRow::GetDefaultMaxValue() { return kxFieldRangeValue(Binding.Field, true); }

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
  RegisterProps<TkxInspectorButtonRow>([](TPropBuilder<TkxInspectorButtonRow>& p) {
    using R = TkxInspectorButtonRow;
    RegisterDropDownProps(p);
    p.Prop("ButtonOnly", &R::ButtonOnly, &R::SetButtonOnly).Default(false);
    p.Prop("Buttons", &R::Buttons, &R::SetButtons);
    p.Prop("EditButtonStyle", &R::EditButtonStyle, &R::SetEditButtonStyle).Default(ebsEllipsis);
    p.Field("ClickKey", &R::ClickKey).Default(16397);
    p.Prop("Glyph", &R::Glyph, &R::SetGlyph).Stored([](TObject* o) { return !static_cast<R*>(o)->Glyph()->Empty(); });
    p.Prop("HideEditCursor", &R::HideEditCursor, &R::SetHideEditCursor).Default(false);
    p.Field("OnButtonClick", &R::OnButtonClick);
  });
  RegisterProps<TkxInspectorCustomBlobRow>([](TPropBuilder<TkxInspectorCustomBlobRow>& p) {
    using R = TkxInspectorCustomBlobRow;
    p.Prop("PopupAlignment", &R::PopupAlignment, &R::PopupAlignment).Default(taLeftJustify);
    p.Prop("PopupBorder", &R::PopupBorder, &R::PopupBorder).Default(pbDefault);
    p.Field("AlwaysSaveText", &R::AlwaysSaveText).Default(false);
    p.Prop("BlobPaintStyle", &R::BlobPaintStyle, &R::SetBlobPaintStyle).Default(bpsIcon);
    p.Prop("ImmediatePopup", &R::ImmediatePopup, &R::ImmediatePopup).Default(false);
    p.Field("MaxDisplayLength", &R::MaxDisplayLength).Default(255);
    p.Field("MemoCharCase", &R::MemoCharCase).Default(TEditCharCase::ecNormal);
    p.Field("MemoHideScrollBars", &R::MemoHideScrollBars).Default(true);
    p.Field("MemoMaxLength", &R::MemoMaxLength).Default(0);
    p.Field("MemoOEMConvert", &R::MemoOEMConvert).Default(false);
    p.Field("MemoScrollBars", &R::MemoScrollBars).Default(ssBoth);
    p.Field("MemoSelectionBar", &R::MemoSelectionBar).Default(false);
    p.Field("MemoWantReturns", &R::MemoWantReturns).Default(true);
    p.Field("MemoWantTabs", &R::MemoWantTabs).Default(true);
    p.Field("MemoWordWrap", &R::MemoWordWrap).Default(true);
    p.Field("PictureAutoSize", &R::PictureAutoSize).Default(true);
    p.Field("PictureFilter", &R::PictureFilter);
    p.Field("PictureTransparency", &R::PictureTransparency).Default(gtDefault);
    p.Field("PopupHeight", &R::PopupHeight).Default(140);
    p.Field("PopupWidth", &R::PopupWidth).Default(200);
    p.Field("ShowExPopupItems", &R::ShowExPopupItems).Default(false);
    p.Field("ShowPicturePopup", &R::ShowPicturePopup).Default(false);
    p.Field("SizeablePopup", &R::SizeablePopup).Default(true);
    p.Field("OnAssignPicture", &R::OnAssignPicture);
    p.Field("OnGetGraphicClass", &R::OnGetGraphicClass);
  });
  RegisterProps<TkxInspectorTimeRow>([](TPropBuilder<TkxInspectorTimeRow>& p) {
    p.Field("TimeEditFormat", &TkxInspectorTimeRow::TimeEditFormat).Default(tfHourMinSec);
    p.Field("UseCtrlIncrement", &TkxInspectorTimeRow::UseCtrlIncrement).Default(true);
  });
  RegisterProps<TkxInspectorCurrencyRow>([](TPropBuilder<TkxInspectorCurrencyRow>& p) {
    using R = TkxInspectorCurrencyRow;
    p.Prop("DecimalPlaces", [](R* r) { return int(r->DecimalPlaces); },
           [](R* r, int v) { r->DecimalPlaces = unsigned(std::max(v, 0)); })
        .Default(2);
    p.Prop("DisplayFormat", &R::DisplayFormat, &R::SetDisplayFormat).Stored(&R::IsDisplayFormatStored);
    p.Prop("MaxValue", &R::MaxValue, &R::SetMaxValue).Stored(&R::IsMaxValueStored);
    p.Prop("MinValue", &R::MinValue, &R::SetMinValue).Stored(&R::IsMinValueStored);
    p.Field("UseThousandSeparator", &R::UseThousandSeparator).Default(false);
  });
  RegisterProps<TkxInspectorHyperLinkRow>([](TPropBuilder<TkxInspectorHyperLinkRow>& p) {
    using R = TkxInspectorHyperLinkRow;
    p.Prop("EditBackgroundColor", &R::EditBackgroundColor, &R::SetEditBackgroundColor).Default(16777215);
    p.Prop("EditFontColor", &R::EditFontColor, &R::SetEditFontColor).Default(16711680);
    p.Prop("SingleClick", &R::SingleClick, &R::SetSingleClick).Default(false);
    p.Field("StartKey", &R::StartKey).Default(16397);
    p.Field("OnStartClick", &R::OnStartClick);
  });
  RegisterProps<TkxInspectorMRURow>([](TPropBuilder<TkxInspectorMRURow>& p) {
    using R = TkxInspectorMRURow;
    p.Prop("ImmediateDropDown", &R::ImmediateDropDown, &R::ImmediateDropDown).Default(false);
    p.Field("MaxItemCount", &R::MaxItemCount).Default(7);
    p.Prop("ShowEllipsis", &R::ShowEllipsis, &R::SetShowEllipsis).Default(true);
    p.Field("OnButtonClick", &R::OnButtonClick);
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
                   TkxInspectorTextMemoRow::StaticClass(), TkxInspectorTextTimeRow::StaticClass(),
                   TkxInspectorTextCurrencyRow::StaticClass(), TkxInspectorTextHyperLinkRow::StaticClass(),
                   TkxInspectorTextMRURow::StaticClass(), TkxInspectorTextButtonRow::StaticClass(),
                   TkxInspectorTextBlobRow::StaticClass(), TkxInspectorTextGraphicRow::StaticClass()});
  RegisterKindProps();
  RegisterTextProp<TkxInspectorTextGraphicRow>();
  RegisterProps<TkxInspectorGraphicRow>([](TPropBuilder<TkxInspectorGraphicRow>& p) {
    using R = TkxInspectorGraphicRow;
    p.Prop("Center", &R::Center, &R::SetCenter).Default(true);
    p.Field("CustomFilter", &R::CustomFilter);
    p.Prop("CustomGraphic", &R::CustomGraphic, &R::SetCustomGraphic).Default(false);
    p.Field("DblClickActivate", &R::DblClickActivate).Default(true);
    p.Prop("GraphicTransparency", &R::GraphicTransparency, &R::SetGraphicTransparency).Default(gtDefault);
    p.Prop("PopupToolBar", &R::PopupToolBar, &R::SetPopupToolBar);
    p.Prop("PopupToolbarPosStored", &R::PopupToolbarPosStored, &R::SetPopupToolbarPosStored).Default(true);
    p.Prop("QuickDraw", &R::QuickDraw, &R::SetQuickDraw).Default(false);
    p.Prop("Stretch", &R::Stretch, &R::SetStretch).Default(true);
    p.Field("OnAssignPicture", &R::OnAssignPicture);
    p.Field("OnCustomClick", &R::OnCustomClick);
    p.Field("OnGetGraphicClass", &R::OnGetGraphicClass);
  });
  RegisterTextProp<TkxInspectorTextTimeRow>();
  RegisterTextProp<TkxInspectorTextButtonRow>();
  RegisterTextProp<TkxInspectorTextBlobRow>();
  RegisterProps<TkxInspectorTextBlobRow>([](TPropBuilder<TkxInspectorTextBlobRow>& p) {
    p.Prop("BlobEditKind", &TkxInspectorTextBlobRow::BlobEditKind, &TkxInspectorTextBlobRow::SetBlobEditKind)
        .Default(bekMemo);
  });
  RegisterTextProp<TkxInspectorTextCurrencyRow>();
  RegisterTextProp<TkxInspectorTextHyperLinkRow>();
  RegisterTextProp<TkxInspectorTextMRURow>();
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
                   TkxInspectorDBMemoRow::StaticClass(), TkxInspectorDBTimeRow::StaticClass(),
                   TkxInspectorDBCurrencyRow::StaticClass(), TkxInspectorDBHyperLinkRow::StaticClass(),
                   TkxInspectorDBMRURow::StaticClass()});
  RegisterClasses({TkxInspectorDBButtonRow::StaticClass(), TkxInspectorBlobRow::StaticClass(),
                   TkxInspectorLookupRow::StaticClass(), TkxInspectorDBGraphicRow::StaticClass()});
  RegisterFieldName<TkxInspectorDBGraphicRow>();
  RegisterFieldName<TkxInspectorDBButtonRow>();
  RegisterFieldName<TkxInspectorBlobRow>();
  RegisterFieldName<TkxInspectorLookupRow>();
  RegisterProps<TkxInspectorBlobRow>([](TPropBuilder<TkxInspectorBlobRow>& p) {
    p.Prop("BlobKind", &TkxInspectorBlobRow::BlobKind, &TkxInspectorBlobRow::SetBlobKind).Default(bkAuto);
  });
  RegisterProps<TkxInspectorLookupRow>([](TPropBuilder<TkxInspectorLookupRow>& p) {
    using R = TkxInspectorLookupRow;
    RegisterDropDownProps(p);
    p.Field("ClearKey", &R::ClearKey).Default(0);
    p.Prop("DropDownRows", &R::DropDownRows, &R::DropDownRows).Default(7);
    p.Prop("DropDownWidth", &R::DropDownWidth, &R::DropDownWidth).Default(0);
    p.Prop("ImmediateDropDown", &R::ImmediateDropDown, &R::ImmediateDropDown).Default(false);
    p.Field("ListFieldName", &R::ListFieldName);
    p.Field("ListFieldIndex", &R::ListFieldIndex).Default(0);
    p.Prop("ListWidth", &R::ListWidth, &R::SetListWidth).Stored(false);
    p.Field("CanDeleteText", &R::CanDeleteText).Default(false);
    p.Field("OnCloseUp", &R::OnCloseUp);
  });
  RegisterFieldName<TkxInspectorDBTimeRow>();
  RegisterFieldName<TkxInspectorDBCurrencyRow>();
  RegisterFieldName<TkxInspectorDBHyperLinkRow>();
  RegisterFieldName<TkxInspectorDBMRURow>();
  RegisterProps<TkxInspectorDBCurrencyRow>([](TPropBuilder<TkxInspectorDBCurrencyRow>& p) {
    using R = TkxInspectorDBCurrencyRow;
    p.Prop("Nullable", &R::Nullable, &R::SetNullable).Default(false);
    p.Prop("NullString", &R::NullString, &R::SetNullString);
  });
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

KX_EDIT_CLASS_IMPL(TkxInspectorLookupEdit)

// ---------------------------------------------------------------------------
// Blob

void TkxInspectorBlobRow::SetBlobKind(TkxBlobKind Value) {
  if (Value == FBlobKind) return;
  FBlobKind = Value;
  Changed();
}

TkxBlobEditKind TkxInspectorBlobRow::GetBlobEditKind() {
  return Binding.Field ? kxGetBlobEditKind(FBlobKind, Binding.Field) : TkxInspectorCustomBlobRow::GetBlobEditKind();
}

void TkxInspectorBlobRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* b = dynamic_cast<TkxInplaceBlobEdit*>(Edit);
  if (b && Binding.Field) {
    Variant v;
    b->GetEditValue(v);
    kxAssignBlobFieldValue(v, Binding.Field);
  } else {
    TkxInspectorCustomBlobRow::SaveEditValue(Edit, Value);
  }
  if (Binding.Field) Value = Binding.Field->AsVariant();
}

void TkxInspectorBlobRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* b = dynamic_cast<TkxInplaceBlobEdit*>(Edit);
  if (!b || !Binding.Field) {
    TkxInspectorCustomBlobRow::LoadEditValue(Edit, Value);
    return;
  }
  b->SetBlobText(Binding.Field->AsString());
  b->GetEditValue(Value);
}

// ---------------------------------------------------------------------------
// Graphic

void TkxInspectorDBGraphicRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* g = dynamic_cast<TkxInplaceGraphicEdit*>(Edit);
  if (g && Binding.Field) {
    Variant v;
    g->GetEditValue(v);
    kxAssignBlobFieldValue(v, Binding.Field);
  } else {
    TkxInspectorGraphicRow::SaveEditValue(Edit, Value);
  }
  if (Binding.Field) Value = Binding.Field->AsVariant();
}

// ---------------------------------------------------------------------------
// Lookup

void TkxInspectorLookupRow::LookupCloseUp(TObject* Sender, Variant& Value, bool& Accept) {
  if (OnCloseUp) OnCloseUp(this, Value, Accept);
}

void TkxInspectorLookupRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* l = dynamic_cast<TkxInplaceLookupEdit*>(Edit);
  if (!l) return;
  l->ClearKey = ClearKey;
  l->SetLookupField(Binding.Field);
  l->SetListFieldName(ListFieldName);
  l->CanDeleteText = CanDeleteText;
  l->OnCloseUp = TkxLookupCloseUpEvent(this, &TkxInspectorLookupRow::LookupCloseUp);
}

void TkxInspectorLookupRow::Assign(TPersistent* Source) {
  TkxInspectorDropDownRow::Assign(Source);
  auto* src = dynamic_cast<TkxInspectorLookupRow*>(Source);
  if (!src) return;
  SetFieldName(src->Binding.FieldName);
  ClearKey = src->ClearKey;
  ListFieldName = src->ListFieldName;
  ListFieldIndex = src->ListFieldIndex;
  CanDeleteText = src->CanDeleteText;
}

void TkxInspectorLookupRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  ListFieldName.clear();
  ListFieldIndex = 0;
}
