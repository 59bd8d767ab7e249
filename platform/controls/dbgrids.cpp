#include "platform/controls/dbgrids.h"

#include <algorithm>

#include "platform/controls/dbctrls.h"

namespace {
constexpr int kMinColumnWidth = 8;
constexpr int kSizingMargin = 2;
constexpr TColor kLineColor = TColor(0xC0C0C0);
}  // namespace

// ---------------------------------------------------------------------------
// The data link of the grid: it keeps one buffer per shown row and tells the
// grid about every change.

class TGridDataLink : public TDataLink {
  PV_CLASS(TGridDataLink, TDataLink)
 public:
  explicit TGridDataLink(TCustomDBGrid* AGrid = nullptr) : FGrid(AGrid) { SetVisualControl(true); }
  // Whether the editor's text differs from the field's.
  bool FModified = false;

 protected:
  void ActiveChanged() override { FGrid->LinkActive(Active()); }
  void DataSetChanged() override { FGrid->DataChanged(); }
  void DataSetScrolled(int Distance) override { FGrid->Scrolled(Distance); }
  void EditingChanged() override { FGrid->EditingChanged(); }
  void LayoutChanged() override { FGrid->LayoutChanged(); }
  void RecordChanged(TField* Field) override { FGrid->RecordChanged(Field); }
  void UpdateData() override {
    if (FModified) FGrid->UpdateData();
    FModified = false;
  }

 private:
  TCustomDBGrid* FGrid;
};

// ---------------------------------------------------------------------------
// The in-place editor: an edit without a border over the current cell. Keys
// that move between cells go to the grid.

class TDBGridInplaceEdit : public TCustomEdit {
  PV_CLASS(TDBGridInplaceEdit, TCustomEdit)
 public:
  explicit TDBGridInplaceEdit(TComponent* AOwner = nullptr) : TCustomEdit(AOwner) {
    FGrid = dynamic_cast<TCustomDBGrid*>(AOwner);
    SetTabStop(false);
    SetAutoSelect(false);
    SetParentColor(false);
  }
  void CreateParams(TCreateParams& Params) override {
    TCustomEdit::CreateParams(Params);
    Params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
    Params.Style &= ~DWORD(WS_TABSTOP);
  }

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    TCustomEdit::KeyDown(Key, Shift);
    if (Key == 0 || !FGrid) return;
    bool forward = false;
    switch (Key) {
      case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_TAB: case VK_ESCAPE: case VK_RETURN:
        forward = true;
        break;
      case VK_DELETE: forward = Shift.Contains(ssCtrl); break;
      case VK_HOME: case VK_END: forward = Shift.Contains(ssCtrl); break;
      case VK_LEFT: forward = SelStart() == 0 && SelLength() == 0; break;
      case VK_RIGHT: forward = SelLength() == 0 && SelStart() >= GetTextLen(); break;
      default: break;
    }
    if (forward) FGrid->EditorKeyDown(Key, Shift);
  }
  void KeyPress(char& Key) override {
    TCustomEdit::KeyPress(Key);
    // Tab, Enter and Escape were handled as keys; their characters would beep.
    if (Key == '\t' || Key == '\r' || Key == 27) Key = 0;
    if (Key && FGrid) FGrid->EditorKeyPress(Key);
  }
  void Change() override {
    if (FGrid) FGrid->EditorChanged();
    TCustomEdit::Change();
  }
  void WMGetDlgCode(TMessage& Message) {
    TCustomEdit::Dispatch(Message);
    Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    if (FGrid && FGrid->Options().Contains(dgTabs)) Message.Result |= DLGC_WANTTAB;
  }
  // Input-method text is inserted by the edit window itself: it must start
  // editing the record as typed characters do.
  void WMImeChar(TMessage& Message) {
    if (FGrid) {
      char k = char(Message.WParam > 0xFF ? (Message.WParam >> 8) & 0xFF : Message.WParam & 0xFF);
      FGrid->EditorKeyPress(k);
      if (!k) return;
    }
    TCustomEdit::Dispatch(Message);
  }
  void WMCutPaste(TMessage& Message) {
    if (FGrid) {
      char k = Message.Msg == WM_PASTE ? 22 : 24;
      FGrid->EditorKeyPress(k);
      if (!k) return;
    }
    TCustomEdit::Dispatch(Message);
  }

 private:
  TCustomDBGrid* FGrid = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_CUT, TMessage, WMCutPaste)
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMCutPaste)
    PV_MESSAGE_HANDLER(WM_IME_CHAR, TMessage, WMImeChar)
  END_MESSAGE_MAP(TCustomEdit)
};

// ---------------------------------------------------------------------------
// Columns

AnsiString TColumnTitle::Caption() const {
  if (FCaptionSet || !FColumn) return FCaption;
  if (TField* f = FColumn->Field()) return f->DisplayLabel();
  return FColumn->FieldName();
}

void TColumnTitle::SetCaption(const AnsiString& Value) {
  FCaption = Value;
  FCaptionSet = true;
  if (FColumn) FColumn->Changed(false);
}

void TColumnTitle::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  if (FColumn) FColumn->Changed(false);
}

void TColumnTitle::Assign(TPersistent* Source) {
  if (auto* t = dynamic_cast<TColumnTitle*>(Source)) {
    FCaption = t->FCaption;
    FCaptionSet = t->FCaptionSet;
    FAlignment = t->FAlignment;
    if (FColumn) FColumn->Changed(false);
    return;
  }
  TPersistent::Assign(Source);
}

TColumn::TColumn(TCollection* Collection) : TCollectionItem(Collection), FTitle(std::make_unique<TColumnTitle>(this)) {}

TColumn::~TColumn() = default;

TCustomDBGrid* TColumn::Grid() const {
  auto* c = dynamic_cast<TDBGridColumns*>(Collection());
  return c ? c->Grid() : nullptr;
}

void TColumn::SetFieldName(const AnsiString& Value) {
  FFieldName = Value;
  Changed(false);
}

TField* TColumn::Field() const {
  TCustomDBGrid* g = Grid();
  if (!g || FFieldName.empty() || !g->FDataLink->Active()) return nullptr;
  TDataSet* ds = g->FDataLink->DataSet();
  return ds ? ds->FindField(FFieldName) : nullptr;
}

int TColumn::Width() const {
  if (FWidthSet) return FWidth;
  TCustomDBGrid* g = Grid();
  TField* f = Field();
  if (!g || !f) return 64;
  // Measured on a memory DC, so a grid without a window measures alike.
  HDC dc = CreateCompatibleDC(nullptr);
  TCanvas c;
  c.SetHandle(dc);
  c.SetFont(g->Font());
  int w = std::min(f->DisplayWidth(), 40) * c.TextWidth("0") + 4;
  c.SetFont(g->TitleFont());
  w = std::max(w, c.TextWidth(FTitle->Caption()) + 4);
  c.SetHandle(nullptr);
  DeleteDC(dc);
  return w;
}

void TColumn::SetWidth(int Value) {
  FWidth = std::max(0, Value);
  FWidthSet = true;
  Changed(false);
}

TAlignment TColumn::Alignment() const {
  if (FAlignmentSet) return FAlignment;
  TField* f = Field();
  return f ? f->Alignment() : taLeftJustify;
}

void TColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FAlignmentSet = true;
  Changed(false);
}

void TColumn::SetReadOnly(bool Value) {
  FReadOnly = Value;
  Changed(false);
}

void TColumn::SetVisible(bool Value) {
  FVisible = Value;
  Changed(false);
}

AnsiString TColumn::DisplayName() const { return FFieldName.empty() ? TCollectionItem::DisplayName() : FFieldName; }

void TColumn::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TColumn*>(Source)) {
    FFieldName = c->FFieldName;
    FTitle->Assign(c->FTitle.get());
    FWidth = c->FWidth;
    FWidthSet = c->FWidthSet;
    FAlignment = c->FAlignment;
    FAlignmentSet = c->FAlignmentSet;
    FReadOnly = c->FReadOnly;
    FVisible = c->FVisible;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

TDBGridColumns::TDBGridColumns(TCustomDBGrid* AGrid) : TOwnedCollection(AGrid, TColumn::StaticClass()), FGrid(AGrid) {}

void TDBGridColumns::Update(TCollectionItem*) {
  if (FGrid) FGrid->LayoutChanged();
}

// ---------------------------------------------------------------------------
// TCustomDBGrid

TCustomDBGrid::TCustomDBGrid(TComponent* AOwner)
    : TCustomControl(AOwner),
      FDataLink(std::make_unique<TGridDataLink>(this)),
      FColumns(std::make_unique<TDBGridColumns>(this)),
      FTitleFont(std::make_unique<TFont>()) {
  InitDBControls();
  FOptions = {dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgConfirmDelete,
              dgCancelOnExit};
  SetBounds(Left(), Top(), 320, 120);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  FTitleFont->Assign(Font());
}

TCustomDBGrid::~TCustomDBGrid() {
  FEditor = nullptr;  // freed as an owned component
  FDataLink->SetDataSource(nullptr);
}

TDataSource* TCustomDBGrid::DataSource() const { return FDataLink->DataSource(); }

TDataLink* TCustomDBGrid::DataLink() const { return FDataLink.get(); }

void TCustomDBGrid::SetDataSource(TDataSource* Value) {
  if (Value == FDataLink->DataSource()) return;
  if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  LinkActive(FDataLink->Active());
}

void TCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
  if (AComponent == FEditor) FEditor = nullptr;
}

void TCustomDBGrid::Loaded() {
  TCustomControl::Loaded();
  LayoutChanged();
}

void TCustomDBGrid::SetOptions(TDBGridOptions Value) {
  if (Value.Contains(dgRowSelect)) Value >> dgEditing >> dgAlwaysShowEditor;
  FOptions = Value;
  if (!Value.Contains(dgEditing)) HideEditor();
  LayoutChanged();
}

void TCustomDBGrid::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (Value) HideEditor();
}

void TCustomDBGrid::SetDefaultRowHeight(int Value) {
  FDefaultRowHeight = std::max(4, Value);
  LayoutChanged();
}

TCustomEdit* TCustomDBGrid::InplaceEditor() const { return FEditor; }

std::vector<TColumn*> TCustomDBGrid::VisibleColumns() const {
  std::vector<TColumn*> cols;
  for (int i = 0; i < FColumns->Count(); ++i)
    if (FColumns->Items(i)->Visible()) cols.push_back(FColumns->Items(i));
  return cols;
}

TField* TCustomDBGrid::SelectedField() const {
  auto cols = VisibleColumns();
  return FSelectedIndex >= 0 && FSelectedIndex < int(cols.size()) ? cols[FSelectedIndex]->Field() : nullptr;
}

void TCustomDBGrid::SetSelectedIndex(int Value) { MoveCol(Value); }

// ---- geometry ----

int TCustomDBGrid::RowPitch() const { return FDefaultRowHeight + (FOptions.Contains(dgRowLines) ? 1 : 0); }

int TCustomDBGrid::TitleHeight() const {
  return FOptions.Contains(dgTitles) ? FDefaultRowHeight + (FOptions.Contains(dgRowLines) ? 1 : 0) : 0;
}

int TCustomDBGrid::IndicatorWidth() const {
  return FOptions.Contains(dgIndicator) ? 11 + (FOptions.Contains(dgColLines) ? 1 : 0) : 0;
}

int TCustomDBGrid::ColumnLeft(int Column) {
  auto cols = VisibleColumns();
  int x = IndicatorWidth();
  int line = FOptions.Contains(dgColLines) ? 1 : 0;
  for (int i = 0; i < Column && i < int(cols.size()); ++i) x += cols[i]->Width() + line;
  return x;
}

TRect TCustomDBGrid::CellRect(int Row, int Column) {
  auto cols = VisibleColumns();
  if (Row < 0 || Row >= FVisibleRows || Column < 0 || Column >= int(cols.size())) return {};
  int x = ColumnLeft(Column);
  int y = TitleHeight() + Row * RowPitch();
  return {x, y, x + cols[Column]->Width(), y + FDefaultRowHeight};
}

void TCustomDBGrid::MouseCell(int X, int Y, int& Row, int& Column) {
  Row = -1;
  Column = -1;
  auto cols = VisibleColumns();
  int line = FOptions.Contains(dgColLines) ? 1 : 0;
  int x = IndicatorWidth();
  for (int i = 0; i < int(cols.size()); ++i) {
    int w = cols[i]->Width();
    if (X >= x && X < x + w + line) {
      Column = i;
      break;
    }
    x += w + line;
  }
  if (Y < TitleHeight() || Column < 0) return;
  int r = (Y - TitleHeight()) / RowPitch();
  if (r < FDataLink->RecordCount()) Row = r;
}

// The visible column whose right border is at X in the title row, or -1.
int TCustomDBGrid::BorderAt(int X) {
  auto cols = VisibleColumns();
  int line = FOptions.Contains(dgColLines) ? 1 : 0;
  int x = IndicatorWidth();
  for (int i = 0; i < int(cols.size()); ++i) {
    x += cols[i]->Width();
    if (X >= x - kSizingMargin && X <= x + line + kSizingMargin) return i;
    x += line;
  }
  return -1;
}

void TCustomDBGrid::UpdateRowCount() {
  int rows = std::max(1, (Height() - TitleHeight()) / std::max(1, RowPitch()));
  if (HandleAllocated()) rows = std::max(1, (ClientHeight() - TitleHeight()) / std::max(1, RowPitch()));
  FVisibleRows = rows;
  FDataLink->SetBufferCount(rows);
}

void TCustomDBGrid::Resize() {
  UpdateRowCount();
  UpdateEditor();
  Invalidate();
  TCustomControl::Resize();
}

// ---- data link callbacks ----

// Without columns of its own the grid shows one column per visible field,
// rebuilt whenever the layout changes. Columns added by the program replace
// those default ones.
void TCustomDBGrid::BuildDefaultColumns() {
  bool custom = false;
  std::vector<AnsiString> have, want;
  for (int i = 0; i < FColumns->Count(); ++i) {
    TColumn* c = FColumns->Items(i);
    custom = custom || !c->FDefault;
    if (c->FDefault) have.push_back(c->FFieldName);
  }
  TDataSet* ds = FDataLink->Active() ? FDataLink->DataSet() : nullptr;
  if (!custom && ds)
    for (int i = 0; i < ds->FieldCount(); ++i)
      if (TField* f = ds->Fields()->Fields(i); f->Visible()) want.push_back(f->FieldName());
  // Unchanged fields keep their columns (and the widths the user gave them).
  if (have == want) return;
  FColumns->BeginUpdate();
  try {
    for (int i = FColumns->Count() - 1; i >= 0; --i)
      if (FColumns->Items(i)->FDefault) FColumns->Delete(i);
    for (const AnsiString& name : want) {
      TColumn* c = FColumns->Add();
      c->FFieldName = name;
      c->FDefault = true;
    }
  } catch (...) {
    FColumns->EndUpdate();
    throw;
  }
  FColumns->EndUpdate();
}

void TCustomDBGrid::LinkActive(bool Value) {
  if (!Value) HideEditor();
  LayoutChanged();
}

void TCustomDBGrid::LayoutChanged() {
  if (FInLayout) return;
  FInLayout = true;
  try {
    BuildDefaultColumns();
  } catch (...) {
    FInLayout = false;
    throw;
  }
  FInLayout = false;
  int n = int(VisibleColumns().size());
  if (FSelectedIndex >= n) FSelectedIndex = std::max(0, n - 1);
  UpdateRowCount();
  UpdateEditor();
  Invalidate();
}

void TCustomDBGrid::DataChanged() {
  UpdateRowCount();
  if (!FDataLink->FModified) LoadEditorText();
  UpdateEditor();
  Invalidate();
}

void TCustomDBGrid::Scrolled(int) {
  if (!FDataLink->FModified) LoadEditorText();
  UpdateEditor();
  Invalidate();
}

void TCustomDBGrid::EditingChanged() {
  if (!FDataLink->Editing()) FDataLink->FModified = false;
  UpdateEditor();
  Invalidate();
}

void TCustomDBGrid::RecordChanged(TField* Field) {
  TField* sel = SelectedField();
  if (!Field || Field == sel) {
    // The field's value replaces whatever the editor held.
    FDataLink->FModified = false;
    LoadEditorText();
  }
  Invalidate();
}

void TCustomDBGrid::UpdateData() {
  TField* f = SelectedField();
  if (f && FEditor) f->SetText(FEditor->Text());
}

// ---- the editor ----

bool TCustomDBGrid::CanEditCell() const {
  if (FReadOnly || !FOptions.Contains(dgEditing) || !FDataLink->Active() || FDataLink->ReadOnly()) return false;
  auto cols = VisibleColumns();
  if (FSelectedIndex < 0 || FSelectedIndex >= int(cols.size()) || cols[FSelectedIndex]->ReadOnly()) return false;
  TField* f = cols[FSelectedIndex]->Field();
  return f && f->CanModify();
}

bool TCustomDBGrid::CanEditShow() const {
  return FOptions.Contains(dgEditing) && !FReadOnly && FDataLink->Active() && FDataLink->RecordCount() > 0 &&
         SelectedField() != nullptr && HandleAllocated();
}

void TCustomDBGrid::LoadEditorText() {
  if (!FEditor) return;
  TField* f = SelectedField();
  FLoadingEditor = true;
  try {
    FEditor->SetText(f && FDataLink->RecordCount() > 0 ? f->Text() : AnsiString());
    if (FEditor->HandleAllocated()) FEditor->SetModified(false);
  } catch (...) {
    FLoadingEditor = false;
    throw;
  }
  FLoadingEditor = false;
}

void TCustomDBGrid::ShowEditor() {
  if (!CanEditShow()) return;
  if (!FEditor) {
    FEditor = new TDBGridInplaceEdit(this);
    FEditor->SetVisible(false);
    FEditor->SetParent(this);
  }
  FEditorMode = true;
  LoadEditorText();
  UpdateEditor();
  if (Focused() || (FEditor->HandleAllocated() && FEditor->Focused()) || GetParentForm(this) == nullptr ||
      GetParentForm(this)->ActiveControl() == this) {
    if (FEditor->CanFocus()) FEditor->SetFocus();
  }
  FEditor->SelectAll();
}

void TCustomDBGrid::HideEditor() {
  if (!FEditorMode) return;
  FEditorMode = false;
  if (FEditor) {
    bool hadFocus = FEditor->HandleAllocated() && FEditor->Focused();
    FEditor->SetVisible(false);
    if (hadFocus && CanFocus()) SetFocus();
  }
}

void TCustomDBGrid::SetEditorMode(bool Value) {
  if (Value)
    ShowEditor();
  else if (!FOptions.Contains(dgAlwaysShowEditor))
    HideEditor();
}

void TCustomDBGrid::UpdateEditor() {
  if (!FEditor) return;
  if (!FEditorMode || !CanEditShow()) {
    if (FEditor->Visible()) {
      bool hadFocus = FEditor->HandleAllocated() && FEditor->Focused();
      FEditor->SetVisible(false);
      if (hadFocus && CanFocus()) SetFocus();
    }
    return;
  }
  TRect r = CellRect(FDataLink->ActiveRecord(), FSelectedIndex);
  if (r.Width() <= 0) {
    FEditor->SetVisible(false);
    return;
  }
  FEditor->SetBounds(r.left, r.top, r.Width(), r.Height());
  FEditor->SetReadOnly(!CanEditCell());
  FEditor->SetVisible(true);
}

void TCustomDBGrid::EditorChanged() {
  if (FLoadingEditor) return;
  FDataLink->FModified = true;
}

void TCustomDBGrid::EditorKeyPress(char& Key) {
  unsigned char k = static_cast<unsigned char>(Key);
  bool editing = k >= 32 || Key == '\b' || Key == 22 || Key == 24;
  if (!editing) return;
  TField* f = SelectedField();
  if (k >= 32 && f && !f->IsValidChar(Key)) {
    MessageBeep(0);
    Key = 0;
    return;
  }
  // Typing starts editing the record; a cell that cannot change swallows it.
  if (!CanEditCell() || !FDataLink->Edit()) Key = 0;
}

bool TCustomDBGrid::EditorKeyDown(Word& Key, TShiftState Shift) {
  KeyDown(Key, Shift);
  return Key == 0;
}

// ---- moving ----

void TCustomDBGrid::MoveCol(int Index) {
  int n = int(VisibleColumns().size());
  if (n == 0) return;
  Index = std::clamp(Index, 0, n - 1);
  if (Index == FSelectedIndex) return;
  // The cell's text goes to its field before the column changes.
  if (FDataLink->Active()) FDataLink->UpdateRecord();
  if (OnColExit) OnColExit(this);
  FSelectedIndex = Index;
  LoadEditorText();
  UpdateEditor();
  if (FEditor && FEditor->Visible()) FEditor->SelectAll();
  Invalidate();
  if (OnColEnter) OnColEnter(this);
}

void TCustomDBGrid::Tab(bool GoForward) {
  int n = int(VisibleColumns().size());
  if (n == 0 || !FDataLink->Active()) return;
  TDataSet* ds = FDataLink->DataSet();
  if (GoForward) {
    if (FSelectedIndex < n - 1) {
      MoveCol(FSelectedIndex + 1);
    } else {
      FDataLink->UpdateRecord();
      ds->Next();
      // At the last record the cursor stays on the last cell.
      if (!ds->Eof()) MoveCol(0);
    }
  } else {
    if (FSelectedIndex > 0) {
      MoveCol(FSelectedIndex - 1);
    } else {
      FDataLink->UpdateRecord();
      ds->Prior();
      if (!ds->Bof()) MoveCol(n - 1);
    }
  }
}

void TCustomDBGrid::DeleteCurrent() {
  if (!FDataLink->Active() || FReadOnly || FDataLink->ReadOnly()) return;
  TDataSet* ds = FDataLink->DataSet();
  if (!ds->CanModify()) return;
  if (ds->IsEmpty() && ds->State() != dsInsert) return;
  if (FOptions.Contains(dgConfirmDelete) &&
      MessageBoxA(HandleAllocated() ? Handle() : nullptr, SDeleteRecordQuestion, SConfirmCaption,
                  MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
    return;
  FDataLink->FModified = false;
  if (ds->State() == dsInsert)
    ds->Cancel();
  else
    ds->Delete();
}

void TCustomDBGrid::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0 || !FDataLink->Active()) return;
  TDataSet* ds = FDataLink->DataSet();
  bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_UP: ds->Prior(); break;
    case VK_DOWN: ds->Next(); break;
    case VK_PRIOR: ds->MoveBy(-FVisibleRows); break;
    case VK_NEXT: ds->MoveBy(FVisibleRows); break;
    case VK_HOME:
      if (ctrl) ds->First(); else MoveCol(0);
      break;
    case VK_END:
      if (ctrl) ds->Last(); else MoveCol(int(VisibleColumns().size()) - 1);
      break;
    case VK_LEFT: MoveCol(FSelectedIndex - 1); break;
    case VK_RIGHT: MoveCol(FSelectedIndex + 1); break;
    case VK_TAB:
      if (!FOptions.Contains(dgTabs) || Shift.Contains(ssAlt)) return;
      Tab(!Shift.Contains(ssShift));
      break;
    case VK_ESCAPE:
      if (FDataLink->FModified) {
        // First the cell gets its field's value back, then the record is cancelled.
        FDataLink->FModified = false;
        LoadEditorText();
        if (FEditor && FEditor->Visible()) FEditor->SelectAll();
      } else if (ds->State() == dsEdit || ds->State() == dsInsert) {
        ds->Cancel();
      }
      if (!FOptions.Contains(dgAlwaysShowEditor)) HideEditor();
      break;
    case VK_RETURN:
      if (FEditorMode) {
        FDataLink->UpdateRecord();
        if (FOptions.Contains(dgAlwaysShowEditor)) {
          if (FEditor) FEditor->SelectAll();
        } else {
          HideEditor();
        }
      } else {
        ShowEditor();
      }
      break;
    case VK_F2:
      if (FEditorMode) SetEditorMode(false); else ShowEditor();
      break;
    case VK_DELETE:
      if (!ctrl) return;
      DeleteCurrent();
      break;
    default: return;
  }
  Key = 0;
}

void TCustomDBGrid::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  unsigned char k = static_cast<unsigned char>(Key);
  if (Key == 0 || FEditorMode || k < 32) return;
  if (!CanEditShow() || !CanEditCell()) return;
  // A character typed on the grid opens the editor with it.
  ShowEditor();
  if (FEditor && FEditor->HandleAllocated()) {
    SendMessageA(FEditor->Handle(), WM_CHAR, WPARAM(k), 0);
    Key = 0;
  }
}

// ---- mouse ----

void TCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FOptions.Contains(dgColumnResize) && FOptions.Contains(dgTitles) && Y < TitleHeight()) {
    int c = BorderAt(X);
    if (c >= 0) {
      FSizingColumn = c;
      FSizingStartX = X;
      FSizingStartWidth = VisibleColumns()[c]->Width();
      SetMouseCapture(true);
      return;
    }
  }
  if (CanFocus() && !Focused() && !(FEditor && FEditor->HandleAllocated() && FEditor->Focused())) SetFocus();
  int row, col;
  MouseCell(X, Y, row, col);
  if (row < 0 || col < 0 || !FDataLink->Active()) return;
  bool sameCell = row == FDataLink->ActiveRecord() && col == FSelectedIndex;
  if (row != FDataLink->ActiveRecord()) FDataLink->MoveBy(row - FDataLink->ActiveRecord());
  MoveCol(col);
  if (FOptions.Contains(dgEditing) && (sameCell || FOptions.Contains(dgAlwaysShowEditor))) ShowEditor();
}

void TCustomDBGrid::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FSizingColumn < 0) return;
  auto cols = VisibleColumns();
  if (FSizingColumn >= int(cols.size())) return;
  int w = std::max(kMinColumnWidth, FSizingStartWidth + X - FSizingStartX);
  if (w != cols[FSizingColumn]->Width()) cols[FSizingColumn]->SetWidth(w);
}

void TCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FSizingColumn >= 0) {
    MouseMove(Shift, X, Y);
    FSizingColumn = -1;
    SetMouseCapture(false);
    if (OnColumnResized) OnColumnResized(this);
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomDBGrid::WMSetCursor(TWMSetCursor& Message) {
  if (Message.HitTest() == HTCLIENT && FOptions.Contains(dgColumnResize) && FOptions.Contains(dgTitles)) {
    POINT p{};
    GetCursorPos(&p);
    TPoint c = ScreenToClient({p.x, p.y});
    if ((c.y < TitleHeight() && BorderAt(c.x) >= 0) || FSizingColumn >= 0) {
      ::SetCursor(Screen->Cursors(crHSplit));
      Message.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(Message);
}

// ---- focus ----

void TCustomDBGrid::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FOptions.Contains(dgTabs)) Message.Result |= DLGC_WANTTAB;
  if (FEditorMode || FOptions.Contains(dgEditing)) Message.Result |= DLGC_WANTALLKEYS;
}

void TCustomDBGrid::CMEnter(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FOptions.Contains(dgAlwaysShowEditor)) ShowEditor();
  Invalidate();
}

void TCustomDBGrid::CMExit(TMessage& Message) {
  // Moving into the grid's own editor is not leaving the grid.
  if (FEditor && FEditor->HandleAllocated() && FEditor->Focused()) {
    TCustomControl::Dispatch(Message);
    return;
  }
  if (FDataLink->Active()) {
    TDataSet* ds = FDataLink->DataSet();
    try {
      if (FOptions.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() && !FDataLink->FModified)
        ds->Cancel();
      else
        FDataLink->UpdateRecord();
    } catch (...) {
      SetFocus();
      throw;
    }
  }
  TCustomControl::Dispatch(Message);
  Invalidate();
}

void TCustomDBGrid::WMImeChar(TMessage& Message) {
  // Input-method text on the grid opens the editor with it, as a typed character does.
  if (!FEditorMode && CanEditShow() && CanEditCell()) ShowEditor();
  if (FEditorMode && FEditor && FEditor->HandleAllocated())
    SendMessageA(FEditor->Handle(), WM_IME_CHAR, Message.WParam, Message.LParam);
}

void TCustomDBGrid::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(static_cast<TDataLink*>(FDataLink.get()));
}

// ---- painting ----

void TCustomDBGrid::InvalidateRows() { Invalidate(); }

void TCustomDBGrid::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  auto cols = VisibleColumns();
  bool colLines = FOptions.Contains(dgColLines), rowLines = FOptions.Contains(dgRowLines);
  int line = colLines ? 1 : 0;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(client);

  auto drawText = [&](const TRect& r, const AnsiString& text, TAlignment align) {
    TRect tr{r.left + 2, r.top + 2, r.right - 2, r.bottom};
    static const UINT flags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    c->Brush()->SetStyle(bsClear);
    c->TextRect(tr, text, flags[align] | DT_SINGLELINE | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
  };
  auto raised = [&](const TRect& r) {
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(r.left, r.bottom - 1);
    c->LineTo(r.left, r.top);
    c->LineTo(r.right, r.top);
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(r.right - 1, r.top);
    c->LineTo(r.right - 1, r.bottom - 1);
    c->LineTo(r.left - 1, r.bottom - 1);
  };

  int th = TitleHeight(), iw = IndicatorWidth();
  if (th) {
    c->SetFont(FTitleFont.get());
    int x = iw;
    if (iw) {
      c->Brush()->SetColor(clBtnFace);
      c->FillRect({0, 0, iw, th});
      raised({0, 0, iw, th});
    }
    for (TColumn* col : cols) {
      TRect r{x, 0, x + col->Width() + line, th};
      c->Brush()->SetColor(clBtnFace);
      c->FillRect(r);
      raised(r);
      drawText({r.left, r.top, r.right - line, r.bottom}, col->Title()->Caption(), col->Title()->Alignment());
      x = r.right;
    }
  }

  int records = FDataLink->Active() ? FDataLink->RecordCount() : 0;
  int active = FDataLink->Active() ? FDataLink->ActiveRecord() : -1;
  bool showSel = Focused() || (FEditor && FEditor->HandleAllocated() && FEditor->Focused()) ||
                 FOptions.Contains(dgAlwaysShowSelection);
  c->SetFont(Font());
  for (int row = 0; row < FVisibleRows; ++row) {
    int y = th + row * RowPitch();
    if (iw) {
      TRect r{0, y, iw, y + RowPitch()};
      c->Brush()->SetColor(clBtnFace);
      c->FillRect(r);
      raised(r);
      if (row == active) {
        // The current record: a triangle while browsing, a bar while editing.
        c->Brush()->SetColor(clWindowText);
        c->Pen()->SetColor(clWindowText);
        int cy = y + FDefaultRowHeight / 2;
        TDataSetState st = FDataLink->DataSet()->State();
        if (st == dsEdit || st == dsInsert) {
          c->FillRect({3, cy - 4, 5, cy + 5});
          if (st == dsInsert) c->FillRect({6, cy - 4, 8, cy + 5});
        } else {
          TPoint tri[3] = {{3, cy - 4}, {7, cy}, {3, cy + 4}};
          c->Polygon(tri, 3);
        }
      }
    }
    if (row >= records) continue;
    FDataLink->SetActiveRecord(row);
    int x = iw;
    for (int i = 0; i < int(cols.size()); ++i) {
      TColumn* col = cols[i];
      TRect r{x, y, x + col->Width(), y + FDefaultRowHeight};
      bool selected = showSel && row == active && (i == FSelectedIndex || FOptions.Contains(dgRowSelect));
      c->Brush()->SetColor(selected ? clHighlight : Color());
      c->FillRect(r);
      c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
      TField* f = col->Field();
      if (f) drawText(r, f->DisplayText(), col->Alignment());
      c->Font()->SetColor(Font()->Color());
      x = r.right + line;
    }
  }
  if (FDataLink->Active() && active >= 0) FDataLink->SetActiveRecord(active);

  // Grid lines over the data area.
  c->Pen()->SetColor(kLineColor);
  int bottom = th + FVisibleRows * RowPitch();
  int right = ColumnLeft(int(cols.size()));
  if (colLines) {
    int x = iw;
    for (TColumn* col : cols) {
      x += col->Width();
      c->MoveTo(x, th);
      c->LineTo(x, std::min(bottom, int(client.bottom)));
      x += 1;
    }
  }
  if (rowLines)
    for (int row = 0; row < FVisibleRows; ++row) {
      int y = th + row * RowPitch() + FDefaultRowHeight;
      c->MoveTo(iw, y);
      c->LineTo(right, y);
    }
}
