// TValueListEditor: a two-column grid of "key=value" strings with a title
// row, editing in an EDIT window over the current cell, and keys that can be
// edited, added (Insert), deleted (Delete) and kept unique.
#pragma once
#include <memory>
#include "platform/controls/controls.h"
#include "platform/rtl/stringlist.h"

enum TKeyOption { keyEdit, keyAdd, keyDelete, keyUnique };
using TKeyOptions = TSet<TKeyOption>;
PV_ENUM_NAMES(TKeyOption, "keyEdit keyAdd keyDelete keyUnique")

class TValueListEditor : public TCustomControl {
  PV_CLASS(TValueListEditor, TCustomControl)
 public:
  using OwnerType = TComponent;
  explicit TValueListEditor(TComponent* AOwner);
  ~TValueListEditor() override;

  TStrings* Strings() const { return FStrings.get(); }
  void SetStrings(TStrings* Value);
  TStrings* TitleCaptions() const { return FTitleCaptions.get(); }
  void SetTitleCaptions(TStrings* Value);
  TKeyOptions KeyOptions() const { return FKeyOptions; }
  void SetKeyOptions(TKeyOptions Value) { FKeyOptions = Value; }
  int DefaultRowHeight() const { return FRowHeight; }
  void SetDefaultRowHeight(int Value);
  int ColWidths(int Index) const;
  void SetColWidths(int Index, int Value);

  // Row 0 is the title row; rows 1..Strings()->Count() hold the pairs.
  int RowCount() const { return FStrings->Count() + 1; }
  int Row() const { return FRow; }
  void SetRow(int Value);
  int Col() const { return FCol; }
  void SetCol(int Value);
  int TopRow() const { return FTopRow; }
  int VisibleRowCount();
  AnsiString Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const AnsiString& Value);
  AnsiString Keys(int ARow) const { return Cells(0, ARow); }
  void SetKeys(int ARow, const AnsiString& Value) { SetCells(0, ARow, Value); }
  AnsiString Values(const AnsiString& Key) const;
  void SetValues(const AnsiString& Key, const AnsiString& Value);
  // Inserts before the current row (after the last row when Append); returns the row.
  int InsertRow(const AnsiString& KeyName, const AnsiString& Value, bool Append);
  void DeleteRow(int ARow);
  bool FindRow(const AnsiString& KeyName, int& ARow) const;
  // The cell rectangle in client coordinates (empty when scrolled out).
  TRect CellRect(int ACol, int ARow);
  void MouseToCell(int X, int Y, int& ACol, int& ARow);

  bool EditorMode() const { return FEditor != nullptr; }
  void ShowEditor();
  // Ends editing; Accept writes the text into the cell.
  void HideEditor(bool Accept = true);
  HWND EditorHandle() const { return FEditor; }

  TNotifyEvent OnStringsChange;

 protected:
  // The column widths are stored as a list "ColWidths = (w0 w1)" when they
  // differ from the defaults.
  void DefineProperties(TFiler* Filer) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DestroyWnd() override;
  void WMGetDlgCode(TMessage& Message);
  void StringsChanged(TObject* Sender);
  void ScrollInView();
  static LRESULT EditorProc(HWND h, UINT m, WPARAM w, LPARAM l);

  std::unique_ptr<TStringList> FStrings, FTitleCaptions;
  TKeyOptions FKeyOptions;
  int FRowHeight = 18;
  int FColWidths[2] = {150, 150};
  int FRow = 1, FCol = 1, FTopRow = 1;
  HWND FEditor = nullptr;
  WNDPROC FEditorOld = nullptr;
  int FNewRow = -1;  // a row added by Insert and not yet given a key

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TCustomControl)
};

void InitValEditProps();
