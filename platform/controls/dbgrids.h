// TDBGrid: a grid of the records of a dataset, one row per record and one
// column per field, with an in-place editor.
//
// The grid shows as many records as fit; its data link keeps that many record
// buffers. Up and Down scroll the dataset; Tab and Shift+Tab move between
// columns and on to the next or previous record (dgTabs); typing edits the
// current cell (dgEditing) and puts the dataset into edit state; the text is
// written to the field when the cell is left and the record is posted when the
// dataset scrolls. Escape first restores the cell, then cancels the record.
// Ctrl+Delete deletes the current record, after asking (dgConfirmDelete).
// Leaving the grid cancels an inserted record nothing was typed into
// (dgCancelOnExit). Column borders in the title row can be dragged
// (dgColumnResize).
#pragma once
#include <memory>
#include <vector>
#include "platform/controls/controls.h"
#include "platform/controls/stdctrls.h"
#include "platform/db/db.h"
#include "platform/db/dbtypes.h"

class TCustomDBGrid;
class TDBGridColumns;

enum TDBGridOption {
  dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
  dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect
};
using TDBGridOptions = TSet<TDBGridOption>;
PV_ENUM_NAMES(TDBGridOption,
              "dgEditing dgAlwaysShowEditor dgTitles dgIndicator dgColumnResize dgColLines dgRowLines dgTabs "
              "dgRowSelect dgAlwaysShowSelection dgConfirmDelete dgCancelOnExit dgMultiSelect")

// The question asked before a record is deleted.
inline constexpr const char* SDeleteRecordQuestion = "Delete record?";
inline constexpr const char* SConfirmCaption = "Confirm";

class TColumnTitle : public TPersistent {
  PV_CLASS(TColumnTitle, TPersistent)
 public:
  TColumnTitle() = default;
  explicit TColumnTitle(class TColumn* AColumn) : FColumn(AColumn) {}
  // The caption set, else the field's display label, else the field name.
  AnsiString Caption() const;
  void SetCaption(const AnsiString& Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  void Assign(TPersistent* Source) override;

 private:
  TColumn* FColumn = nullptr;
  AnsiString FCaption;
  bool FCaptionSet = false;
  TAlignment FAlignment = taLeftJustify;
};

class TColumn : public TCollectionItem {
  PV_CLASS(TColumn, TCollectionItem)
 public:
  explicit TColumn(TCollection* Collection);
  ~TColumn() override;
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  // The field of the grid's dataset with this name, or nullptr.
  TField* Field() const;
  // The width set, else one fitting the field's display width.
  int Width() const;
  void SetWidth(int Value);
  TColumnTitle* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitle* Value) { FTitle->Assign(Value); }
  // The alignment set, else the field's.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TCustomDBGrid* Grid() const;
  AnsiString DisplayName() const override;
  void Assign(TPersistent* Source) override;

 private:
  friend class TColumnTitle;
  friend class TCustomDBGrid;
  AnsiString FFieldName;
  std::unique_ptr<TColumnTitle> FTitle;
  int FWidth = 0;
  bool FWidthSet = false;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentSet = false;
  bool FReadOnly = false;
  bool FVisible = true;
  bool FDefault = false;  // made by the grid from the dataset's fields
};

class TDBGridColumns : public TOwnedCollection {
  PV_CLASS(TDBGridColumns, TOwnedCollection)
 public:
  explicit TDBGridColumns(TCustomDBGrid* AGrid);
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  TColumn* Items(int Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }
  TCustomDBGrid* Grid() const { return FGrid; }

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TCustomDBGrid* FGrid;
};

class TDBGridInplaceEdit;

class TCustomDBGrid : public TCustomControl {
  PV_CLASS(TCustomDBGrid, TCustomControl)
 public:
  explicit TCustomDBGrid(TComponent* AOwner);
  ~TCustomDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  TDataLink* DataLink() const;
  TDBGridColumns* Columns() const { return FColumns.get(); }
  void SetColumns(TDBGridColumns* Value) { FColumns->Assign(Value); }
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);
  TFont* TitleFont() const { return FTitleFont.get(); }

  // The current column among the visible ones, and its field.
  int SelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  TField* SelectedField() const;
  // Whether the in-place editor is shown.
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  // The editor, once shown (nullptr before).
  TCustomEdit* InplaceEditor() const;

  // Rows of records that fit (the data link's buffer count).
  int VisibleRowCount() const { return FVisibleRows; }
  // The client rectangle of a cell: data row (0 is the first shown record),
  // visible column; an empty rectangle when it is not shown.
  TRect CellRect(int Row, int Column);
  // The data row and visible column at a client point; -1 where there is none
  // (the title row gives Row -1 with a column).
  void MouseCell(int X, int Y, int& Row, int& Column);

  TNotifyEvent OnColEnter;
  TNotifyEvent OnColExit;
  TNotifyEvent OnColumnResized;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

 protected:
  friend class TGridDataLink;
  friend class TDBGridInplaceEdit;
  friend class TColumn;
  friend class TDBGridColumns;

  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;

  // Data link callbacks.
  void LinkActive(bool Value);
  void DataChanged();
  void Scrolled(int Distance);
  void EditingChanged();
  void RecordChanged(TField* Field);
  void UpdateData();
  void LayoutChanged();

  // Editor callbacks.
  bool EditorKeyDown(Word& Key, TShiftState Shift);
  void EditorKeyPress(char& Key);
  void EditorChanged();

  void ShowEditor();
  void HideEditor();
  void UpdateEditor();
  void LoadEditorText();
  void UpdateRowCount();
  void BuildDefaultColumns();
  std::vector<TColumn*> VisibleColumns() const;
  bool CanEditCell() const;
  bool CanEditShow() const;
  void MoveCol(int Index);
  void Tab(bool GoForward);
  void DeleteCurrent();
  void InvalidateRows();
  int TitleHeight() const;
  int RowPitch() const;
  int IndicatorWidth() const;
  int ColumnLeft(int Column);
  int BorderAt(int X);

  void WMGetDlgCode(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMGetDataLink(TMessage& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMImeChar(TMessage& Message);

  std::unique_ptr<class TGridDataLink> FDataLink;
  std::unique_ptr<TDBGridColumns> FColumns;
  std::unique_ptr<TFont> FTitleFont;
  TDBGridOptions FOptions;
  bool FReadOnly = false;
  bool FInLayout = false;
  int FDefaultRowHeight = 18;
  int FSelectedIndex = 0;
  int FVisibleRows = 1;
  bool FEditorMode = false;
  TDBGridInplaceEdit* FEditor = nullptr;
  bool FLoadingEditor = false;
  int FSizingColumn = -1;
  int FSizingStartX = 0;
  int FSizingStartWidth = 0;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
    PV_MESSAGE_HANDLER(CM_GETDATALINK, TMessage, CMGetDataLink)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor)
    PV_MESSAGE_HANDLER(WM_IME_CHAR, TMessage, WMImeChar)
  END_MESSAGE_MAP(TCustomControl)
};

class TDBGrid : public TCustomDBGrid {
  PV_CLASS(TDBGrid, TCustomDBGrid)
 public:
  explicit TDBGrid(TComponent* AOwner) : TCustomDBGrid(AOwner) {}
};
