// Published properties of the inspector's rows, complex rows and row items.
#include "inspector/kxinspector.h"

PV_ENUM_NAMES(TkxInspectorAttachMode, "iamAdd iamAddChild iamInsert")

void kxInitInspectorControl() {
  RegisterClasses({TkxInspectorTextRow::StaticClass(), TkxInspectorComplexRow::StaticClass(),
                   TkxInspectorComplexRowItem::StaticClass()});
  RegisterProps<TkxInspectorRow>([](TPropBuilder<TkxInspectorRow>& p) {
    p.Prop("Alignment", &TkxInspectorRow::Alignment, &TkxInspectorRow::SetAlignment).Default(taLeftJustify);
    p.Prop("Caption", &TkxInspectorRow::Caption, &TkxInspectorRow::SetCaption)
        .Stored(&TkxInspectorRow::IsCaptionStored);
    p.Prop("CharCase", &TkxInspectorRow::CharCase, &TkxInspectorRow::SetCharCase).Default(TEditCharCase::ecNormal);
    p.Field("Hint", &TkxInspectorRow::Hint);
    p.Prop("ImageIndex", &TkxInspectorRow::ImageIndex, &TkxInspectorRow::SetImageIndex).Default(-1);
    p.Prop("IsCategory", &TkxInspectorRow::IsCategory, &TkxInspectorRow::SetIsCategory).Default(false);
    p.Prop("MaxLength", &TkxInspectorRow::MaxLength, &TkxInspectorRow::SetMaxLength)
        .Stored(&TkxInspectorRow::IsMaxLengthStored);
    p.Prop("PasswordChar", &TkxInspectorRow::PasswordChar, &TkxInspectorRow::SetPasswordChar).Default(0);
    p.Prop("ReadOnly", &TkxInspectorRow::ReadOnly, &TkxInspectorRow::SetReadOnly)
        .Stored(&TkxInspectorRow::IsReadOnlyStored);
    p.Prop("RowHeight", &TkxInspectorRow::RowHeight, &TkxInspectorRow::SetRowHeight)
        .Stored(&TkxInspectorRow::IsRowHeightStored);
    p.Field("ShowHint", &TkxInspectorRow::ShowHint).Default(false);
    p.Prop("Visible", &TkxInspectorRow::Visible, &TkxInspectorRow::SetVisible).Default(true);
    p.Field("OnChange", &TkxInspectorRow::OnChange);
    p.Field("OnDrawCaption", &TkxInspectorRow::OnDrawCaption);
    p.Field("OnDrawValue", &TkxInspectorRow::OnDrawValue);
    p.Field("OnValidate", &TkxInspectorRow::OnValidate);
  });
  RegisterProps<TkxInspectorTextRow>([](TPropBuilder<TkxInspectorTextRow>& p) {
    p.Prop("Text", &TkxInspectorTextRow::Text, &TkxInspectorTextRow::SetText);
  });
  RegisterProps<TkxInspectorComplexRowItem>([](TPropBuilder<TkxInspectorComplexRowItem>& p) {
    p.Prop("Fixed", &TkxInspectorComplexRowItem::Fixed, &TkxInspectorComplexRowItem::SetFixed).Default(false);
    p.Prop("MinWidth", &TkxInspectorComplexRowItem::MinWidth, &TkxInspectorComplexRowItem::SetMinWidth).Default(20);
    p.Prop("Row", &TkxInspectorComplexRowItem::Row, &TkxInspectorComplexRowItem::SetRow);
    p.Prop("Width", &TkxInspectorComplexRowItem::Width, &TkxInspectorComplexRowItem::SetWidth).Default(50);
  });
  RegisterProps<TkxInspectorComplexRow>([](TPropBuilder<TkxInspectorComplexRow>& p) {
    p.Prop("Items", &TkxInspectorComplexRow::Items, &TkxInspectorComplexRow::SetItems);
  });
}

void kxDoneInspectorControl() {}
