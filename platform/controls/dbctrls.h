// Data-aware controls bound to one field of a dataset through a data source:
// TDBEdit (a single-line edit), TDBMemo (a multi-line edit) and TDBText (a
// read-only text shown without a window).
//
// A control shows the current record's value of its field and follows every
// scroll and change of the dataset. Typing puts the dataset into edit state
// (when the source allows AutoEdit and the field can be modified); the text is
// written back to the field when the record is updated (leaving the control,
// posting, scrolling). Escape restores the field's value.
#pragma once
#include <memory>
#include "platform/controls/controls.h"
#include "platform/controls/stdctrls.h"
#include "platform/db/db.h"
#include "platform/db/dbtypes.h"

// Connects the data-access layer to the control library (focusing the control
// of a field). Called by the control library's start-up; harmless to repeat.
void InitDBControls();
// Registers TDBEdit, TDBMemo, TDBText and TDBGrid with their published
// properties, for window descriptions.
void InitDBCtrlsProps();

// A single-line edit showing one field.
class TDBEdit : public TCustomEdit {
  PV_CLASS(TDBEdit, TCustomEdit)
 public:
  explicit TDBEdit(TComponent* AOwner);
  ~TDBEdit() override;

  const AnsiString& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TField* Field() const { return FDataLink->Field(); }
  // Read-only for the data: the edit never puts the dataset into edit state.
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TFieldDataLink* DataLink() const { return FDataLink.get(); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Change() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DataChange(TObject* Sender);
  void EditingChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMGetDataLink(TMessage& Message);
  void WMCutPaste(TMessage& Message);
  void WMImeChar(TMessage& Message);
  void SetFocused(bool Value);

  std::unique_ptr<TFieldDataLink> FDataLink;
  bool FFocused = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
    PV_MESSAGE_HANDLER(CM_GETDATALINK, TMessage, CMGetDataLink)
    PV_MESSAGE_HANDLER(WM_CUT, TMessage, WMCutPaste)
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMCutPaste)
    PV_MESSAGE_HANDLER(WM_IME_CHAR, TMessage, WMImeChar)
  END_MESSAGE_MAP(TCustomEdit)
};

// A multi-line edit showing one field. Text and memo fields are shown whole;
// with AutoDisplay off a memo field shows "(label)" until Enter or a double
// click loads it.
class TDBMemo : public TDBEdit {
  PV_CLASS(TDBMemo, TDBEdit)
 public:
  explicit TDBMemo(TComponent* AOwner);
  bool AutoDisplay() const { return FAutoDisplay; }
  void SetAutoDisplay(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Loads the field's whole text when AutoDisplay is off.
  void LoadMemo();
  void CreateParams(TCreateParams& Params) override;

 protected:
  void KeyPress(char& Key) override;
  void DblClick() override;
  void MemoDataChange(TObject* Sender);
  void MemoUpdateData(TObject* Sender);
  void WMGetDlgCode(TMessage& Message);

  bool FAutoDisplay = true;
  bool FWordWrap = true;
  bool FMemoLoaded = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TDBEdit)
};

// The field's display text, drawn like a label.
class TDBText : public TGraphicControl {
  PV_CLASS(TDBText, TGraphicControl)
 public:
  explicit TDBText(TComponent* AOwner);
  ~TDBText() override;

  const AnsiString& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  TField* Field() const { return FDataLink->Field(); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  void SetAutoSize(bool Value) override;
  TFieldDataLink* DataLink() const { return FDataLink.get(); }

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void Paint() override;
  void DataChange(TObject* Sender);
  void CMGetDataLink(TMessage& Message);
  void AdjustBounds();

  std::unique_ptr<TFieldDataLink> FDataLink;
  TAlignment FAlignment = taLeftJustify;
  bool FTransparent = false;
  bool FWordWrap = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_GETDATALINK, TMessage, CMGetDataLink)
  END_MESSAGE_MAP(TGraphicControl)
};
