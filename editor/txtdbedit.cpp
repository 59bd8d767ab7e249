#include "editor/txtdbedit.h"

#include "editor/txteditprops.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/dbctrls.h"

TCustomDBTxtEdit::TCustomDBTxtEdit(TComponent* AOwner)
    : TCustomTxtEdit(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
  InitDBControls();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TCustomDBTxtEdit::DataChange);
  FDataLink->OnEditingChange = TNotifyEvent(this, &TCustomDBTxtEdit::EditingChange);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TCustomDBTxtEdit::UpdateData);
}

TCustomDBTxtEdit::~TCustomDBTxtEdit() {
  // the link goes before the editor part: no call comes back into it
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnEditingChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->SetDataSource(nullptr);
  FDataLink.reset();
}

void TCustomDBTxtEdit::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TCustomDBTxtEdit::Loaded() {
  TCustomTxtEdit::Loaded();
  if (ComponentState().Contains(csDesigning)) DataChange(this);
}

void TCustomDBTxtEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomTxtEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
}

void TCustomDBTxtEdit::DataChange(TObject*) {
  TField* f = FDataLink->Field();
  if (!f) {
    Lines()->SetText(ComponentState().Contains(csDesigning) ? Name() : AnsiString());
    return;
  }
  if (FEditJustBegun) {
    FEditJustBegun = false;  // the editor already shows the text being edited
    return;
  }
  if (f->IsBlob()) {
    try {
      std::unique_ptr<TStream> stream(f->DataSet()->CreateBlobStream(f, bmRead));
      Lines()->BeginUpdate();
      try {
        Lines()->LoadFromStream(stream.get());
      } catch (...) {
        Lines()->EndUpdate();
        throw;
      }
      Lines()->EndUpdate();
      SetModified(false);
      ClearUndoHistory();
    } catch (const EInvalidOperation& e) {
      Lines()->SetText("(" + e.Message + ")");
    }
    EditingChange(this);
  } else {
    Lines()->SetText(f->Text());
  }
  if (OnLoadData) OnLoadData(this);
}

void TCustomDBTxtEdit::EditingChange(TObject*) {
  TDataSet* ds = FDataLink->DataSet();
  if (FDataLink->Editing() && ds && ds->State() != dsInsert) FEditJustBegun = true;
}

void TCustomDBTxtEdit::UpdateData(TObject*) {
  TField* f = FDataLink->Field();
  if (!f) return;
  if (f->IsBlob()) {
    std::unique_ptr<TStream> stream(f->DataSet()->CreateBlobStream(f, bmWrite));
    Lines()->SaveToStream(stream.get());
    TDataSet::CommitBlobStream(stream.get());  // a refusal reaches the caller
  } else {
    f->SetAsString(Lines()->GetText());
  }
}

void TCustomDBTxtEdit::PerformCommand(TTxtEditorCommand Command, char AChar, void* Data) {
  if (Command == ecChar && AChar == 27) {
    FDataLink->Reset();  // the stored value comes back; the edit is abandoned
    return;
  }
  if (Command > 500 && Command <= 1000) FDataLink->Edit();
  TCustomTxtEdit::PerformCommand(Command, AChar, Data);
}

void TCustomDBTxtEdit::DragDrop(TObject* Source, int X, int Y) {
  FDataLink->Edit();
  TCustomTxtEdit::DragDrop(Source, X, Y);
}

void TCustomDBTxtEdit::FireChange() {
  // every change of the text, whatever made it (replacing, auto-correct,
  // undo), puts the record in edit as typing does, so that it reaches the field
  if (!FDataLink->Editing()) FDataLink->Edit();
  FDataLink->Modified();
  TCustomTxtEdit::FireChange();
}

void TCustomDBTxtEdit::SetFocused(bool Value) {
  if (FFocused == Value) return;
  FFocused = Value;
  if (!(FDataLink->Field() && FDataLink->Field()->IsBlob())) FDataLink->Reset();
}

void TCustomDBTxtEdit::CMEnter(TMessage& Message) {
  SetFocused(true);
  TCustomTxtEdit::Dispatch(Message);
}

void TCustomDBTxtEdit::CMExit(TMessage& Message) {
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    SetFocus();
    throw;
  }
  SetFocused(false);
  TCustomTxtEdit::Dispatch(Message);
}

void TCustomDBTxtEdit::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(static_cast<TDataLink*>(FDataLink.get()));
}

TDBTxtEdit::TDBTxtEdit(TComponent* AOwner) : TCustomDBTxtEdit(AOwner) {
  SetParentColor(true);
  SetParentFont(true);
}

void RegisterDBTxtEditClasses() {
  RegisterClasses({TDBTxtEdit::StaticClass()});
  RegisterProps<TDBTxtEdit>([](TPropBuilder<TDBTxtEdit>& p) {
    PublishTxtEditProps(p, true);
    p.Prop("DataField", &TCustomDBTxtEdit::DataField, &TCustomDBTxtEdit::SetDataField).Default(AnsiString());
    p.Prop("DataSource", &TCustomDBTxtEdit::DataSource, &TCustomDBTxtEdit::SetDataSource);
    p.Prop("OnLoadData", &TCustomDBTxtEdit::OnLoadData, &TCustomDBTxtEdit::OnLoadData);
  });
}
