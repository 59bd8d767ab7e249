// The data-aware row kinds: the row kinds bound to one field of the
// inspector's dataset by name, whose defaults (caption, maximum length,
// read-only state, edit mask, value range) follow the field.
#pragma once

#include <type_traits>

#include "inspector/kxdbinsp.h"
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

// The bound field's own MinValue or MaxValue (0 for other fields), a float
// field's rounded to its precision.
double kxFieldRangeValue(TField* Field, bool Max);

void kxInitDBInspectorKinds();
void kxDoneDBInspectorKinds();
