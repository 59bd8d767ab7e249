// The data-aware editor: shows one field of the current record of a dataset,
// puts the dataset into edit mode when the text starts to change, marks the
// record modified on every change and writes the text back when the record's
// data are needed. Memo and other blob fields travel as a stream through the
// line store, which keeps their line-break style.
#pragma once
#include <memory>

#include "editor/txtedit.h"
#include "platform/db/db.h"

class TCustomDBTxtEdit : public TCustomTxtEdit {
  PV_CLASS(TCustomDBTxtEdit, TCustomTxtEdit)
 public:
  explicit TCustomDBTxtEdit(TComponent* AOwner);
  ~TCustomDBTxtEdit() override;

  const AnsiString& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TField* Field() const { return FDataLink->Field(); }
  TFieldDataLink* DataLink() const { return FDataLink.get(); }
  bool EditJustBegun() const { return FEditJustBegun; }

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  void PerformCommand(TTxtEditorCommand Command, char AChar, void* Data) override;

  TNotifyEvent OnLoadData;

 protected:
  void FireChange() override;
  bool GetReadOnly() override { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) override { FDataLink->SetReadOnly(Value); }
  void DataChange(TObject* Sender);
  void EditingChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void SetFocused(bool Value);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMGetDataLink(TMessage& Message);

  std::unique_ptr<TFieldDataLink> FDataLink;
  bool FFocused = false;
  bool FEditJustBegun = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
    PV_MESSAGE_HANDLER(CM_GETDATALINK, TMessage, CMGetDataLink)
  END_MESSAGE_MAP(TCustomTxtEdit)
};

class TDBTxtEdit : public TCustomDBTxtEdit {
  PV_CLASS(TDBTxtEdit, TCustomDBTxtEdit)
 public:
  explicit TDBTxtEdit(TComponent* AOwner);
};

// Registers TDBTxtEdit with its published properties; part of the editor's start-up.
void RegisterDBTxtEditClasses();
