// The data-aware row kinds: the row kinds bound to one field of the
// inspector's dataset by name, whose defaults (caption, maximum length,
// read-only state, edit mask, value range) follow the field.
#pragma once

#include <type_traits>

#include "inspector/kxdbinsp.h"
#include "inplace/kxlookup.h"
#include "inspector/kxinspkinds.h"

// A data-aware form of a kind: the field binding over the kind row, and an
// assignment that copies the field name after the kind's settings.
#define KX_DB_KIND(Name, Base, Blob)                                                     \
  class Name : public Base {                                                         \
    PV_CLASS(Name, Base)                                                             \
    KX_DB_ROW_BINDING                                                                \
   public:                                                                           \
    explicit Name(TComponent* AOwner) : Base(AOwner) {                                \
      Binding.AsStringText = std::is_base_of_v<TkxInspectorMemoRow, Name>;            \
      Binding.TimeText = std::is_base_of_v<TkxInspectorTimeRow, Name>;                \
      Binding.ThousandSeparatorValid = std::is_base_of_v<TkxInspectorCurrencyRow, Name>; \
    }                                                                                \
    bool CanModify() override { return Binding.CanModify(this, Blob); }             \
    void Assign(TPersistent* Source) override {                                      \
      Base::Assign(Source);                                                          \
      if (auto* src = dynamic_cast<Name*>(Source)) SetFieldName(src->Binding.FieldName); \
    }

#define KX_DB_KIND_END };

KX_DB_KIND(TkxInspectorDBMaskRow, TkxInspectorMaskRow, false)
  void GetDefaultEditMask(AnsiString& Mask) override { Mask = Binding.Field ? Binding.Field->EditMask() : AnsiString(); }
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBDateRow, TkxInspectorDateRow, false)
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  bool IsEditValueCurrent(const Variant& Value) override;
  bool IsValueRequired() override { return Binding.Field && Binding.Field->Required(); }
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBCheckRow, TkxInspectorCheckRow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBCalcRow, TkxInspectorCalcRow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBSpinRow, TkxInspectorSpinRow, false)
  double GetDefaultMinValue() override;
  double GetDefaultMaxValue() override;
  TkxValueType GetValueType() override;
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBPickRow, TkxInspectorPickRow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBImageRow, TkxInspectorImageRow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBPopupRow, TkxInspectorPopupRow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBMemoRow, TkxInspectorMemoRow, true)
  void GetMemoText(AnsiString& Text) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBTimeRow, TkxInspectorTimeRow, false)
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  bool IsEditValueCurrent(const Variant& Value) override;
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBCurrencyRow, TkxInspectorCurrencyRow, false)
  void GetValue(Variant& Value) override { Value = Binding.Field ? Binding.Field->AsVariant() : Variant(0); }
  double GetDefaultMinValue() override;
  double GetDefaultMaxValue() override;
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBHyperLinkRow, TkxInspectorHyperLinkRow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBMRURow, TkxInspectorMRURow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBButtonRow, TkxInspectorButtonRow, false)
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorBlobRow, TkxInspectorCustomBlobRow, true)
 public:
  TkxBlobKind BlobKind() const { return FBlobKind; }
  void SetBlobKind(TkxBlobKind Value);
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void GetBlobValue(Variant& Value) override { Value = Binding.Field ? Binding.Field->AsVariant() : Variant(AnsiString()); }
  TkxBlobEditKind GetBlobEditKind() override;

 private:
  TkxBlobKind FBlobKind = bkAuto;
KX_DB_KIND_END

KX_DB_KIND(TkxInspectorDBGraphicRow, TkxInspectorGraphicRow, true)
 public:
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void GetGraphicValue(Variant& Value) override {
    Value = Binding.Field ? Binding.Field->AsVariant() : Variant(AnsiString());
  }
KX_DB_KIND_END

KX_INSPECTOR_EDIT(TkxInspectorLookupEdit, TkxInplaceLookupEdit)

// The lookup kind: a drop-down row over a lookup field. Written out rather
// than by KX_DB_KIND, since its Assign also copies the lookup settings.
class TkxInspectorLookupRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorLookupRow, TkxInspectorDropDownRow)
  KX_DB_ROW_BINDING
 public:
  explicit TkxInspectorLookupRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {}
  bool CanModify() override { return Binding.CanModify(this, false); }
  void Assign(TPersistent* Source) override;
  TShortCut ClearKey = 0;
  AnsiString ListFieldName;
  int ListFieldIndex = 0;
  bool CanDeleteText = false;
  int ListWidth() const { return DropDownWidth; }
  void SetListWidth(int Value) { DropDownWidth = Value; }
  TkxInspectorPickColumnCloseUp OnCloseUp;
  void LookupCloseUp(TObject* Sender, Variant& Value, bool& Accept);
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorLookupEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void RestoreDefaults() override;
KX_DB_KIND_END

// The bound field's own MinValue or MaxValue (0 for other fields), a float
// field's rounded to its precision.
double kxFieldRangeValue(TField* Field, bool Max);

void kxInitDBInspectorKinds();
void kxDoneDBInspectorKinds();
