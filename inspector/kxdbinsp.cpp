// The data-aware inspector, its data link, the plain data-aware row and the
// field-type row registry.
#include "inspector/kxdbinsp.h"

#include <algorithm>

#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"
#include "platform/win/winuser.h"

namespace kxdbinsp_cpp {
constexpr std::size_t cMaxFieldListEntries = 0xFFFFFFF;

TkxFieldRowClassEntry gFieldRowClasses[kxFieldRowTypeCount];
TkxFieldRowClassEntry gLookupRowClass;

// Published bit -> internal option, -1 for the options the inspector keeps itself.
constexpr int cOptionMap[] = {ioAutoBandCount, ioAutoWidth,     ioBandSizing,     -1,
                              ioColumnSizing,  ioDrawEndEllipsis, ioDynamicColumnSizing, ioEditing,
                              ioEnterThrough,  -1,              ioRowAutoHeight,  ioRowSizing,
                              ioStoreToRegistry, ioTabs,        ioTabThrough};
}  // namespace kxdbinsp_cpp
using namespace kxdbinsp_cpp;

TkxInspectorOptions kxDBInspectorInternalOptions(TkxDBInspectorOptions Value) {
  TkxInspectorOptions r;
  for (int i = 0; i <= int(dioTabThrough); ++i)
    if (Value.Contains(TkxDBInspectorOption(i)) && cOptionMap[i] >= 0) r << TkxInspectorOption(cOptionMap[i]);
  return r;
}

// ---------------------------------------------------------------------------
// Field-type row registry

void ResetFieldRowClasses() {
  gFieldRowClasses[0] = {nullptr, 0};
  for (int i = 1; i < kxFieldRowTypeCount; ++i) gFieldRowClasses[i] = {TkxInspectorDBRow::StaticClass(), 0};
  gLookupRowClass = {nullptr, 0};
}

void RegisterFieldRowClasses(TkxFieldRowProposer Proposer) {
  for (int i = 0; i < kxFieldRowTypeCount; ++i) {
    TkxFieldRowClassEntry e = gFieldRowClasses[i];
    Proposer(TFieldType(i), fkData, e);
    if (e.Priority > gFieldRowClasses[i].Priority) gFieldRowClasses[i] = e;
  }
  TkxFieldRowClassEntry e = gLookupRowClass;
  Proposer(ftUnknown, fkLookup, e);
  if (e.Priority > gLookupRowClass.Priority) gLookupRowClass = e;
}

TClass GetFieldRowClass(TField* Field) {
  TClass c = nullptr;
  if (Field->FieldKind() == fkData && int(Field->DataType()) < kxFieldRowTypeCount)
    c = gFieldRowClasses[int(Field->DataType())].RowClass;
  else if (Field->FieldKind() == fkLookup)
    c = gLookupRowClass.RowClass;
  return c ? c : TkxInspectorDBRow::StaticClass();
}

// ---------------------------------------------------------------------------
// Field binding

TkxDBInspector* TkxFieldBinding::DBInspector(TkxInspectorRow* Row) {
  return dynamic_cast<TkxDBInspector*>(Row->Inspector());
}

bool TkxFieldBinding::Live(TkxInspectorRow* Row) {
  TkxDBInspector* i = DBInspector(Row);
  return i && i->DataLink() && i->DataLink()->Active();
}

void TkxFieldBinding::SetFieldName(TkxInspectorRow* Row, const AnsiString& Value) {
  Field = nullptr;
  TkxDBInspector* i = DBInspector(Row);
  if (i && i->DataLink() && i->DataLink()->DataSet() && !i->IsLoading() && !Value.empty())
    Field = i->DataLink()->DataSet()->FindField(Value);
  FieldName = Value;
  Row->Changed();
}

AnsiString TkxFieldBinding::DisplayText(TkxInspectorRow* Row) const {
  return Field && Live(Row) ? Field->DisplayText() : AnsiString();
}

AnsiString TkxFieldBinding::EditText(TkxInspectorRow* Row) const {
  if (!Field || !Live(Row)) return AnsiString();
  return AsStringText ? Field->AsString() : Field->EditText();
}

void TkxFieldBinding::SetEditText(TkxInspectorRow* Row, const AnsiString& Text) const {
  if (Field && Live(Row)) Field->SetEditText(Text);
}

int TkxFieldBinding::DataMaxLength() const {
  return Field && (Field->DataType() == ftString || Field->DataType() == ftWideString) ? Field->Size() : 0;
}

AnsiString TkxFieldBinding::DataEditMask(TkxInspectorRow* Row) const {
  return Field && Live(Row) ? Field->EditMask() : AnsiString();
}

AnsiString TkxFieldBinding::DefaultCaption() const { return Field ? Field->DisplayName() : FieldName; }

bool TkxFieldBinding::DefaultReadOnly() const { return Field && Field->ReadOnly(); }

bool TkxFieldBinding::CanModify(TkxInspectorRow* Row, bool BlobAllowed) const {
  if (!Live(Row) || !Field) return false;
  bool can;
  if (Field->Lookup()) {
    TDataSet* ds = Field->DataSet();
    can = Field->LookupDataSet() != nullptr && ds;
    if (can) {
      AnsiString keys = Field->KeyFields;
      std::size_t pos = 0;
      while (can && pos <= keys.size()) {
        std::size_t semi = keys.find(';', pos);
        if (semi == AnsiString::npos) semi = keys.size();
        const AnsiString name = Trim(keys.substr(pos, semi - pos));
        if (!name.empty()) {
          TField* k = ds->FindField(name);
          can = k && k->CanModify();
        }
        pos = semi + 1;
      }
    }
  } else {
    can = Field->CanModify();
  }
  if (!can) return false;
  if (!BlobAllowed && dynamic_cast<TBlobField*>(Field) && !Field->OnSetText) return false;
  return true;
}

bool TkxFieldBinding::IsValidChar(TkxInspectorRow* Row, char Key) const {
  return Live(Row) && Field && Field->IsValidChar(Key);
}

void TkxInspectorDBRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorDBRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  if (Inspector()) Inspector()->BeginUpdate();
  try {
    TkxInspectorRow::Assign(Source);
    SetFieldName(src->Binding.FieldName);
  } catch (...) {
    if (Inspector()) Inspector()->EndUpdate();
    throw;
  }
  if (Inspector()) Inspector()->EndUpdate();
}

// ---------------------------------------------------------------------------
// TkxInspectorDataLink

TkxInspectorDataLink::TkxInspectorDataLink(TkxDBInspector* AInspector) : FInspector(AInspector) {
  SetVisualControl(true);
}

void TkxInspectorDataLink::AddField(const AnsiString& FieldName) {
  if (FFields.size() >= cMaxFieldListEntries) throw EListError("Field list is full");
  TField* f = DataSet() ? DataSet()->FindField(FieldName) : nullptr;
  FFields.push_back(f ? Integer(f->Index()) : -1);
  if (f) f->FreeNotification(FInspector);
}

TField* TkxInspectorDataLink::Fields(int Index) const {
  if (Index < 0 || Index >= FieldCount() || FFields[std::size_t(Index)] < 0 || !DataSet()) return nullptr;
  const Integer i = FFields[std::size_t(Index)];
  return i < DataSet()->FieldCount() ? DataSet()->Fields()->Fields(i) : nullptr;
}

void TkxInspectorDataLink::ActiveChanged() { FInspector->DataActiveChanged(Active()); }

void TkxInspectorDataLink::DataSetChanged() {
  FDataSetChanged = true;
  try {
    RecordChanged(nullptr);
  } catch (...) {
    FDataSetChanged = false;
    throw;
  }
  FDataSetChanged = false;
}

void TkxInspectorDataLink::RecordChanged(TField* Field) {
  FInspector->DataRecordChanged(FDataSetChanged);
  Modified = false;
}

void TkxInspectorDataLink::LayoutChanged() {
  FInspector->LayoutChanged();
  TDataLink::LayoutChanged();
}

void TkxInspectorDataLink::UpdateData() {
  if (Modified) PostEditedValue();
  Modified = false;
}

void TkxInspectorDataLink::PostEditedValue() {
  TkxInplaceEdit* e = FInspector->CurrentEditor();
  if (e && e->IsShown() && FInspector->EditedNode()) {
    e->ValidateEdit();
    FInspector->EndEdit(false);
  }
}

void TkxInspectorDataLink::Reset() {
  if (Modified)
    RecordChanged(nullptr);
  else if (DataSet())
    DataSet()->Cancel();
}

void TkxInspectorDataLink::FocusControl(TField** Field) {
  if (!Field || !*Field) return;
  FInspector->FocusRowOfField(*Field);
  if (FInspector->FocusedField() == *Field && FInspector->AcquireFocus()) {
    *Field = nullptr;
    FInspector->ShowEditorIfEditing();
    if (FInspector->EditedNode()) {
      FInspector->MakeNodeVisible(FInspector->EditedNode());
      FInspector->Update();
    }
  }
}

// ---------------------------------------------------------------------------
// TkxDBInspector

TkxDBInspector::TkxDBInspector(TComponent* AOwner) : TCustomkxInspectorControl(AOwner) {
  FDataLink = std::make_unique<TkxInspectorDataLink>(this);
  FOptions = TkxDBInspectorOptions{dioAutoWidth,           dioBandSizing, dioCancelOnExit, dioColumnSizing,
                                   dioDynamicColumnSizing, dioEditing};
  SetInternalOptions(kxDBInspectorInternalOptions(FOptions));
}

TkxDBInspector::~TkxDBInspector() {
  if (FDataLink) FDataLink->SetDataSource(nullptr);
  FDataLink.reset();
}

void TkxDBInspector::SetOptions(TkxDBInspectorOptions Value) {
  if (Value == FOptions) return;
  BeginUpdate();
  try {
    SetInternalOptions(kxDBInspectorInternalOptions(Value));
    FOptions = Value;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TkxDBInspector::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (DataSource()) DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  DataActiveChanged(FDataLink->Active());
}

void TkxDBInspector::SetDefaultFields(bool Value) {
  if (Value == FDefaultFields) return;
  FDefaultFields = Value;
  BeginUpdate();
  try {
    FreeAllRows();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TkxDBInspector::ClearRows() {
  BeginUpdate();
  try {
    FDefaultFields = false;
    FreeAllRows();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TkxDBInspector::DataActiveChanged(bool Active) {
  if (!Active) HideEditor();
  LayoutChanged();
}

void TkxDBInspector::BuildFieldList() {
  TDataSet* ds = FDataLink->DataSet();
  if (!ds) return;
  if (FDefaultFields) {
    for (int i = 0; i < ds->FieldCount(); ++i)
      if (ds->Fields()->Fields(i)->Visible()) FDataLink->AddField(ds->Fields()->Fields(i)->FieldName());
  } else {
    for (int i = 0; i < RowCount(); ++i) FDataLink->AddField(Rows(i)->FieldName());
  }
}

void TkxDBInspector::RowsChanged() {
  FDataLink->ClearFields();
  if (FDataLink->Active()) BuildFieldList();
  if (FDefaultFields) {
    if (FDataLink->Active()) {
      for (int i = RowCount() - 1; i >= 0; --i) {
        if (i >= RowCount()) continue;
        TkxInspectorRow* r = Rows(i);
        TField* f = r->GetField();
        bool keep = false;
        for (int k = 0; f && k < FDataLink->FieldCount(); ++k)
          if (FDataLink->Fields(k) == f) keep = true;
        if (!keep) {
          r->SetInspector(nullptr);
          r->Free();
        }
      }
    } else {
      FreeAllRows();
    }
    for (int i = 0; i < FDataLink->FieldCount(); ++i) {
      TField* f = FDataLink->Fields(i);
      TkxInspectorRow* row = nullptr;
      if (f) {
        for (int k = i; k < Count() && !row; ++k) {
          auto* n = static_cast<TkxInspectorRowNode*>(Items(k));
          if (n->Row && n->Row->GetField() == f) row = n->Row;
        }
        if (!row) {
          row = CreateRow(GetFieldRowClass(f));
          row->SetField(f);
        }
      } else {
        row = CreateRow(GetDefaultRowClass());
      }
      if (i < Count() && row->Node() && Items(i) != row->Node()) row->Node()->MoveTo(Items(i), iamInsert);
    }
  } else {
    for (int i = 0; i < RowCount(); ++i) Rows(i)->SetFieldName(Rows(i)->FieldName());
  }
  if (FDataLink->Active()) FDataLink->SetBufferCount(1);
  TCustomkxInspectorControl::RowsChanged();
}

TkxInspectorNode* TkxDBInspector::CreateNode() {
  if (FDefaultFields && !FCreating) throw Exception("DefaultFields property should be set to False");
  return TCustomkxInspectorControl::CreateNode();
}

TClass TkxDBInspector::GetDefaultRowClass() { return TkxInspectorDBRow::StaticClass(); }

bool TkxDBInspector::CanEditModify() {
  if (!FDataLink->Active() || FDataLink->ReadOnly() || !FFocusedNode) return false;
  TkxInspectorRow* row = GetEditedRow(FFocusedNode);
  if (!row || row->ReadOnly() || !row->CanModify()) return false;
  FInEdit = true;
  try {
    FDataLink->Edit();
  } catch (...) {
    FInEdit = false;
    throw;
  }
  FInEdit = false;
  if (FDataLink->Editing()) FDataLink->Modified = true;
  return FDataLink->Editing();
}

bool TkxDBInspector::CanEditAcceptKey(char Key) {
  TkxInspectorRow* row = GetEditedRow(FFocusedNode);
  return row && row->IsValidChar(Key);
}

bool TkxDBInspector::AcquireFocus() {
  if (!CanFocus() || ComponentState().Contains(csDesigning)) return true;
  SetFocus();
  return HasFocus() || (CurrentEditor() && CurrentEditor()->IsFocused());
}

bool TkxDBInspector::CanShowEditor() {
  return TCustomkxInspectorControl::CanShowEditor() && FFocusedNode && FDataLink->Active();
}

void TkxDBInspector::PostEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) {
  TkxInspectorRow* row = GetEditedRow(FFocusedNode);
  TDataSet* ds = FDataLink->DataSet();
  if (!FDataLink->Modified || !row || !row->GetField() || !ds) return;
  const TDataSetState st = ds->State();
  if (st != dsEdit && st != dsInsert && st != dsSetKey) return;
  TCustomkxInspectorControl::PostEditorValue(Node, Editor, Value);
}

bool TkxDBInspector::CompareRowValue(const Variant& Value, TkxInspectorRow* Row) {
  TField* f = Row->GetField();
  if (!f) return TCustomkxInspectorControl::CompareRowValue(Value, Row);
  if (Value.IsEmpty()) return false;
  if (Value.Type() == varString) return Variant(f->EditText()) == Value;
  Variant v = f->AsVariant();
  if (v.Type() != Value.Type()) return false;
  return v == Value;
}

void TkxDBInspector::DataRecordChanged(bool DataSetWide) {
  if (!HandleAllocated()) return;
  Invalidate();
  if (!FFocusedNode) return;
  TkxInspectorRow* row = GetEditedRow(FFocusedNode);
  if (!row) return;
  if (!DataSetWide) {
    if (!CurrentEditor() || CurrentEditor()->InternalChanging || row->IsEditValueCurrent(StartValue())) return;
  }
  if (FInEdit && row->IsEditValueCurrent(StartValue())) return;
  CancelEditor();
  if (CurrentEditor()) CurrentEditor()->MoveCaretToEnd();
}

void TkxDBInspector::FocusRowOfField(TField* Field) {
  TkxInspectorRow* edited = GetEditedRow(FFocusedNode);
  if (edited && edited->GetField() == Field) return;
  for (int i = 0; i < RowCount(); ++i) {
    TkxInspectorRow* r = Rows(i);
    if (!r->Visible()) continue;
    if (auto* c = dynamic_cast<TkxInspectorComplexRow*>(r)) {
      for (int k = 0; k < c->Items()->Count(); ++k) {
        TkxInspectorRow* ir = c->Items()->Items(k)->Row();
        if (ir && ir->GetField() == Field && c->Node()) {
          SetFocusedNode(c->Node());
          SetFocusedItem(k);
          return;
        }
      }
    } else if (r->GetField() == Field && r->Node()) {
      SetFocusedNode(r->Node());
      return;
    }
  }
}

TField* TkxDBInspector::FocusedField() {
  if (!FFocusedNode) return nullptr;
  TkxInspectorRow* r = GetEditedRow(FFocusedNode);
  return r ? r->GetField() : nullptr;
}

void TkxDBInspector::KeyDown(Word& Key, TShiftState Shift) {
  TKeyEvent handler = OnKeyDown;
  if (handler) handler(this, Key, Shift);
  OnKeyDown = nullptr;
  try {
    if (FDataLink->Active() && Key == VK_ESCAPE && (!FOptions.Contains(dioNoCancel) || FDataLink->Modified))
      FDataLink->Reset();
    TCustomkxInspectorControl::KeyDown(Key, Shift);
  } catch (...) {
    OnKeyDown = handler;
    throw;
  }
  OnKeyDown = handler;
}

void TkxDBInspector::CMExit(TMessage& Message) {
  if (FDataLink->Active()) {
    try {
      TDataSet* ds = FDataLink->DataSet();
      if (FOptions.Contains(dioCancelOnExit) && ds && ds->State() == dsInsert && !ds->Modified() &&
          !FDataLink->Modified)
        ds->Cancel();
      else
        FDataLink->CallUpdateData();
    } catch (...) {
      SetFocus();
      throw;
    }
  }
  TCustomkxInspectorControl::Dispatch(Message);
}

void TkxDBInspector::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxInspectorControl::Notification(AComponent, Operation);
  if (Operation != opRemove || !FDataLink) return;
  if (AComponent == DataSource()) {
    SetDataSource(nullptr);
    return;
  }
  if (auto* f = dynamic_cast<TField*>(AComponent)) {
    bool any = false;
    for (int i = 0; i < RowCount(); ++i)
      if (Rows(i)->GetField() == f) {
        Rows(i)->SetField(nullptr);
        any = true;
      }
    if (any && !(FDataLink->DataSet() && FDataLink->DataSet()->ControlsDisabled())) {
      BeginUpdate();
      EndUpdate();
    }
  }
}

// ---------------------------------------------------------------------------
// Registration

void kxInitDBInspector() {
  ResetFieldRowClasses();
  RegisterClasses({TkxDBInspector::StaticClass(), TkxInspectorDBRow::StaticClass()});
  RegisterProps<TkxDBInspector>([](TPropBuilder<TkxDBInspector>& p) {
    TControlPropDefaults d;
    d.Color = clBtnFace;
    d.ParentColor = false;
    d.TabStop = true;
    PublishControlProps(p,
                        "Align Anchors Color Constraints Ctl3D DragCursor DragMode Enabled Font ParentColor "
                        "ParentCtl3D ParentFont ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible "
                        "OnClick OnDblClick OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress "
                        "OnKeyUp OnMouseDown OnMouseMove OnMouseUp OnStartDrag",
                        d);
    p.Prop("BandWidth", &TkxDBInspector::BandWidth, &TkxDBInspector::SetBandWidth).Default(200);
    p.Prop("BorderStyle", &TkxDBInspector::BorderStyle, &TkxDBInspector::SetBorderStyle).Default(bsSingle);
    p.Prop("ComplexRowSeparator", &TkxDBInspector::ComplexRowSeparator, &TkxDBInspector::SetComplexRowSeparator);
    p.Prop("DataSource", &TkxDBInspector::DataSource, &TkxDBInspector::SetDataSource);
    p.Prop("DefaultFields", &TkxDBInspector::DefaultFields, &TkxDBInspector::SetDefaultFields).Default(true);
    p.Prop("DividerPos", &TkxDBInspector::DividerPos, &TkxDBInspector::SetDividerPos).NoDefault();
    p.Prop("Flat", &TkxDBInspector::Flat, &TkxDBInspector::SetFlat).Default(false);
    p.Prop("GridColor", &TkxDBInspector::GridColor, &TkxDBInspector::SetGridColor)
        .Idents(ColorIdentMap())
        .Stored(&TkxDBInspector::IsGridColorStored);
    p.Prop("Images", &TkxDBInspector::Images, &TkxDBInspector::SetImages);
    p.Prop("MaxRowTextLineCount", &TkxDBInspector::MaxRowTextLineCount, &TkxDBInspector::SetMaxRowTextLineCount)
        .Default(3);
    p.Prop("MinBandWidth", &TkxDBInspector::MinBandWidth, &TkxDBInspector::SetMinBandWidth).Default(43);
    p.Prop("MinColumnWidth", &TkxDBInspector::MinColumnWidth, &TkxDBInspector::SetMinColumnWidth).Default(30);
    p.Prop("Options", &TkxDBInspector::Options, &TkxDBInspector::SetOptions)
        .Default(TkxDBInspectorOptions{dioAutoWidth, dioBandSizing, dioCancelOnExit, dioColumnSizing,
                                       dioDynamicColumnSizing, dioEditing});
    p.Prop("PaintStyle", &TkxDBInspector::PaintStyle, &TkxDBInspector::SetPaintStyle).Default(ipsStandard);
    p.Prop("RegistryPath", &TkxDBInspector::RegistryPath, &TkxDBInspector::SetRegistryPath);
    p.Prop("RowHeight", &TkxDBInspector::RowHeight, &TkxDBInspector::SetRowHeight)
        .Stored(&TkxDBInspector::IsRowHeightStored);
    p.Prop("ShowRowHint", &TkxDBInspector::ShowRowHint, &TkxDBInspector::SetShowRowHint).Default(false);
    p.Prop("OnChangeNode", &TkxDBInspector::OnChangeNode, &TkxDBInspector::OnChangeNode);
    p.Prop("OnDrawCaption", &TkxDBInspector::OnDrawCaption, &TkxDBInspector::OnDrawCaption);
    p.Prop("OnDrawValue", &TkxDBInspector::OnDrawValue, &TkxDBInspector::OnDrawValue);
    p.Prop("OnEditChange", &TkxDBInspector::OnEditChange, &TkxDBInspector::OnEditChange);
    p.Prop("OnEdited", &TkxDBInspector::OnEdited, &TkxDBInspector::OnEdited);
    p.Prop("OnEditing", &TkxDBInspector::OnEditing, &TkxDBInspector::OnEditing);
    p.Prop("OnEditValidate", &TkxDBInspector::OnEditValidate, &TkxDBInspector::OnEditValidate);
    p.Prop("OnGetEditColor", &TkxDBInspector::OnGetEditColor, &TkxDBInspector::OnGetEditColor);
    p.Prop("OnGetEditFont", &TkxDBInspector::OnGetEditFont, &TkxDBInspector::OnGetEditFont);
    p.Prop("OnHideCustomizeForm", &TkxDBInspector::OnHideCustomizeForm, &TkxDBInspector::OnHideCustomizeForm);
    p.Prop("OnShowCustomizeForm", &TkxDBInspector::OnShowCustomizeForm, &TkxDBInspector::OnShowCustomizeForm);
  });
  RegisterProps<TkxInspectorDBRow>([](TPropBuilder<TkxInspectorDBRow>& p) {
    p.Prop("FieldName", &TkxInspectorDBRow::GetFieldNameProp, &TkxInspectorDBRow::SetFieldNameProp);
  });
}

void kxDoneDBInspector() { ResetFieldRowClasses(); }
