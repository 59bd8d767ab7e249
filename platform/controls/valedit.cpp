// TValueListEditor.
#include "platform/controls/valedit.h"
#include <algorithm>
#include <cstring>
#include "platform/classes/filer.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"

namespace {
constexpr const char* kEditorOwnerProp = "PvValueListEditor";
}

TValueListEditor::TValueListEditor(TComponent* AOwner) : TCustomControl(AOwner) {
  FWidth = 306;
  FHeight = 300;
  FTabStop = true;
  FColor = clWindow;
  FParentColor = false;
  FControlStyle << csOpaque << csDoubleClicks;
  FStrings = std::make_unique<TStringList>();
  FStrings->OnChange = [this](TObject* s) { StringsChanged(s); };
  FTitleCaptions = std::make_unique<TStringList>();
  FTitleCaptions->Add("Key");
  FTitleCaptions->Add("Value");
  FTitleCaptions->OnChange = [this](TObject*) { Invalidate(); };
}

TValueListEditor::~TValueListEditor() {
  FStrings->OnChange = nullptr;
  FTitleCaptions->OnChange = nullptr;
}

void TValueListEditor::DestroyWnd() {
  if (FEditor) HideEditor(false);
  TCustomControl::DestroyWnd();
}

void TValueListEditor::SetStrings(TStrings* Value) {
  if (FEditor) HideEditor(false);
  FStrings->Assign(Value);
}

void TValueListEditor::SetTitleCaptions(TStrings* Value) { FTitleCaptions->Assign(Value); }

void TValueListEditor::StringsChanged(TObject*) {
  FRow = std::clamp(FRow, 1, std::max(1, RowCount() - 1));
  FTopRow = std::clamp(FTopRow, 1, std::max(1, RowCount() - 1));
  Invalidate();
  if (OnStringsChange) OnStringsChange(this);
}

void TValueListEditor::SetDefaultRowHeight(int Value) {
  FRowHeight = std::max(4, Value);
  Invalidate();
}

int TValueListEditor::ColWidths(int Index) const {
  if (Index < 0 || Index > 1) throw EListError("Column index out of bounds (" + IntToStr(Index) + ")");
  return FColWidths[Index];
}

void TValueListEditor::SetColWidths(int Index, int Value) {
  if (Index < 0 || Index > 1) throw EListError("Column index out of bounds (" + IntToStr(Index) + ")");
  FColWidths[Index] = std::max(0, Value);
  Invalidate();
}

void TValueListEditor::DefineProperties(TFiler* Filer) {
  TCustomControl::DefineProperties(Filer);
  Filer->DefineProperty(
      "ColWidths",
      [this](TReader* r) {
        int widths[2] = {FColWidths[0], FColWidths[1]};
        int n = 0;
        r->ReadListBegin();
        while (!r->EndOfList()) {
          if (n == 2) r->Error("A value list has two columns");
          widths[n++] = r->ReadInteger();
        }
        r->ReadListEnd();
        for (int i = 0; i < 2; ++i) SetColWidths(i, widths[i]);
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int width : FColWidths) w->WriteInteger(width);
        w->WriteListEnd();
      },
      FColWidths[0] != 150 || FColWidths[1] != 150);
}

AnsiString TValueListEditor::Cells(int ACol, int ARow) const {
  if (ARow == 0) return ACol >= 0 && ACol < FTitleCaptions->Count() ? (*FTitleCaptions)[ACol] : AnsiString();
  if (ARow < 1 || ARow > FStrings->Count()) return AnsiString();
  return ACol == 0 ? FStrings->Names(ARow - 1) : FStrings->ValueFromIndex(ARow - 1);
}

bool TValueListEditor::FindRow(const AnsiString& KeyName, int& ARow) const {
  int i = FStrings->IndexOfName(KeyName);
  ARow = i >= 0 ? i + 1 : -1;
  return i >= 0;
}

void TValueListEditor::SetCells(int ACol, int ARow, const AnsiString& Value) {
  if (ARow < 1 || ARow > FStrings->Count()) throw EListError("Row index out of bounds (" + IntToStr(ARow) + ")");
  if (ACol == 0) {
    if (Value.find('=') != AnsiString::npos) throw EInvalidOperation("A key cannot contain \"=\"");
    if (FKeyOptions.Contains(keyUnique) && !Value.empty()) {
      int other;
      if (FindRow(Value, other) && other != ARow)
        throw EInvalidOperation("A key with the name of \"" + Value + "\" already exists");
    }
    FStrings->Put(ARow - 1, Value + "=" + FStrings->ValueFromIndex(ARow - 1));
  } else {
    FStrings->Put(ARow - 1, FStrings->Names(ARow - 1) + "=" + Value);
  }
}

AnsiString TValueListEditor::Values(const AnsiString& Key) const { return FStrings->Values(Key); }

void TValueListEditor::SetValues(const AnsiString& Key, const AnsiString& Value) {
  int row;
  if (FindRow(Key, row))
    SetCells(1, row, Value);
  else
    InsertRow(Key, Value, true);
}

int TValueListEditor::InsertRow(const AnsiString& KeyName, const AnsiString& Value, bool Append) {
  if (KeyName.find('=') != AnsiString::npos) throw EInvalidOperation("A key cannot contain \"=\"");
  int existing;
  if (FKeyOptions.Contains(keyUnique) && !KeyName.empty() && FindRow(KeyName, existing))
    throw EInvalidOperation("A key with the name of \"" + KeyName + "\" already exists");
  int index = Append || FStrings->Count() == 0 ? FStrings->Count() : std::clamp(FRow - 1, 0, FStrings->Count());
  FStrings->Insert(index, KeyName + "=" + Value);
  FRow = index + 1;
  ScrollInView();
  return FRow;
}

void TValueListEditor::DeleteRow(int ARow) {
  if (ARow < 1 || ARow > FStrings->Count()) throw EListError("Row index out of bounds (" + IntToStr(ARow) + ")");
  if (FEditor) HideEditor(false);
  FStrings->Delete(ARow - 1);
  if (FNewRow == ARow) FNewRow = -1;
}

void TValueListEditor::SetRow(int Value) {
  if (RowCount() <= 1) return;
  Value = std::clamp(Value, 1, RowCount() - 1);
  if (Value == FRow) return;
  if (FEditor) HideEditor(true);
  FRow = Value;
  ScrollInView();
  Invalidate();
}

void TValueListEditor::SetCol(int Value) {
  Value = std::clamp(Value, 0, 1);
  if (Value == FCol) return;
  if (FEditor) HideEditor(true);
  FCol = Value;
  Invalidate();
}

int TValueListEditor::VisibleRowCount() {
  int h = ClientHeight() - FRowHeight;
  return std::max(1, h / FRowHeight);
}

void TValueListEditor::ScrollInView() {
  int n = VisibleRowCount();
  if (FRow < FTopRow) FTopRow = FRow;
  if (FRow >= FTopRow + n) FTopRow = FRow - n + 1;
  FTopRow = std::max(1, FTopRow);
  Invalidate();
}

TRect TValueListEditor::CellRect(int ACol, int ARow) {
  int x0 = ACol == 0 ? 0 : FColWidths[0] + 1;
  int x1 = ACol == 0 ? FColWidths[0] : std::max(x0 + FColWidths[1], ClientWidth());
  int y0;
  if (ARow == 0)
    y0 = 0;
  else if (ARow < FTopRow)
    return TRect();
  else
    y0 = (ARow - FTopRow + 1) * (FRowHeight + 1);
  return TRect(x0, y0, x1, y0 + FRowHeight);
}

void TValueListEditor::MouseToCell(int X, int Y, int& ACol, int& ARow) {
  ACol = X < FColWidths[0] ? 0 : 1;
  int r = Y / (FRowHeight + 1);
  ARow = r == 0 ? 0 : FTopRow + r - 1;
  if (ARow >= RowCount()) ARow = -1;
}

void TValueListEditor::Paint() {
  HDC dc = Canvas()->Handle();
  TRect c = ClientRect();
  RECT all{c.left, c.top, c.right, c.bottom};
  HBRUSH bg = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(dc, &all, bg);
  DeleteObject(bg);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  HBRUSH line = GetSysColorBrush(COLOR_BTNFACE);
  int last = std::min(RowCount() - 1, FTopRow + VisibleRowCount());
  for (int col = 0; col < 2; ++col) {
    TRect t = CellRect(col, 0);
    RECT r{t.left, t.top, t.right + 1, t.bottom + 1};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    AnsiString s = Cells(col, 0);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT tr{t.left + 3, t.top, t.right - 2, t.bottom};
    DrawTextA(dc, s.c_str(), int(s.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  for (int row = FTopRow; row <= last; ++row) {
    for (int col = 0; col < 2; ++col) {
      TRect t = CellRect(col, row);
      bool current = row == FRow && !FEditor;
      RECT r{t.left, t.top, t.right, t.bottom};
      bool hilite = current && col == FCol && Focused();
      if (hilite) FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
      AnsiString s = Cells(col, row);
      SetTextColor(dc, GetSysColor(hilite ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      RECT tr{t.left + 3, t.top, t.right - 2, t.bottom};
      DrawTextA(dc, s.c_str(), int(s.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
      RECT under{t.left, t.bottom, t.right + 1, t.bottom + 1};
      FillRect(dc, &under, line);
    }
    TRect k = CellRect(0, row);
    RECT vl{k.right, k.top, k.right + 1, k.bottom};
    FillRect(dc, &vl, line);
  }
  SelectObject(dc, oldFont);
}

void TValueListEditor::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (CanFocus()) SetFocus();
  int col, row;
  MouseToCell(X, Y, col, row);
  if (row < 1) return;
  SetRow(row);
  SetCol(col);
  ShowEditor();
}

void TValueListEditor::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TValueListEditor::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_UP: SetRow(FRow - 1); break;
    case VK_DOWN: SetRow(FRow + 1); break;
    case VK_LEFT: SetCol(0); break;
    case VK_RIGHT: SetCol(1); break;
    case VK_HOME: SetRow(1); break;
    case VK_END: SetRow(RowCount() - 1); break;
    case VK_F2:
    case VK_RETURN: ShowEditor(); break;
    case VK_INSERT:
      if (FKeyOptions.Contains(keyAdd)) {
        InsertRow("", "", false);
        FNewRow = FRow;
        FCol = 0;
        ShowEditor();
      }
      break;
    case VK_DELETE:
      if (FKeyOptions.Contains(keyDelete) && FStrings->Count() > 0) DeleteRow(FRow);
      break;
    default: return;
  }
  Key = 0;
}

void TValueListEditor::ShowEditor() {
  if (FEditor || !HandleAllocated() || FRow < 1 || FRow >= RowCount()) return;
  if (FCol == 0 && !FKeyOptions.Contains(keyEdit) && FNewRow != FRow) return;
  ScrollInView();
  TRect r = CellRect(FCol, FRow);
  AnsiString text = Cells(FCol, FRow);
  HWND e = CreateWindowExA(0, "EDIT", text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, r.left + 1, r.top,
                           r.Width() - 1, r.Height(), Handle(), nullptr, nullptr, nullptr);
  if (!e) return;
  SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  SendMessageA(e, EM_SETSEL, 0, -1);
  SetPropA(e, kEditorOwnerProp, this);
  FEditorOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorProc)));
  FEditor = e;
  ::SetFocus(e);
}

void TValueListEditor::HideEditor(bool Accept) {
  if (!FEditor) return;
  HWND e = FEditor;
  int len = GetWindowTextLengthA(e);
  AnsiString text(std::size_t(len) + 1, '\0');
  GetWindowTextA(e, text.data(), len + 1);
  text.resize(std::strlen(text.c_str()));
  if (Accept && FRow >= 1 && FRow < RowCount() && text != Cells(FCol, FRow)) {
    // A refused key (a duplicate) keeps the editor open with the typed text.
    SetCells(FCol, FRow, text);
  }
  bool focused = GetFocus() == e;
  FEditor = nullptr;
  RemovePropA(e, kEditorOwnerProp);
  DestroyWindow(e);
  if (focused && HandleAllocated()) ::SetFocus(Handle());
  // A new row left without a key and value goes away again.
  if (FNewRow >= 1 && FNewRow < RowCount() && Cells(0, FNewRow).empty() && Cells(1, FNewRow).empty()) {
    int r = FNewRow;
    FNewRow = -1;
    FStrings->Delete(r - 1);
  } else if (FNewRow == FRow && FCol == 1) {
    FNewRow = -1;
  }
  Invalidate();
}

LRESULT TValueListEditor::EditorProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  auto* self = static_cast<TValueListEditor*>(GetPropA(h, kEditorOwnerProp));
  if (!self || self->FEditor != h) return DefWindowProcA(h, m, w, l);
  WNDPROC old = self->FEditorOld;
  switch (m) {
    case WM_GETDLGCODE: return CallWindowProcA(old, h, m, w, l) | DLGC_WANTALLKEYS;
    case WM_CHAR:
      if (w == '\r' || w == 27 || w == '\t') return 0;
      break;
    case WM_KEYDOWN:
      switch (w) {
        case VK_RETURN:
        case VK_TAB: {
          bool toValue = self->FCol == 0;
          self->HideEditor(true);
          if (toValue) {
            self->FCol = 1;
            self->ShowEditor();
          }
          return 0;
        }
        case VK_ESCAPE: self->HideEditor(false); return 0;
        case VK_UP:
        case VK_DOWN: {
          int row = self->FRow + (w == VK_UP ? -1 : 1);
          self->HideEditor(true);
          self->SetRow(row);
          return 0;
        }
        default: break;
      }
      break;
    default: break;
  }
  return CallWindowProcA(old, h, m, w, l);
}

void InitValEditProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TValueListEditor::StaticClass()});
  RegisterProps<TValueListEditor>([](TPropBuilder<TValueListEditor>& p) {
    PublishControlProps(p,
                        "Align Anchors BiDiMode Color Constraints Ctl3D DragCursor DragKind DragMode Enabled Font "
                        "ParentBiDiMode ParentColor ParentCtl3D ParentFont ParentShowHint PopupMenu ShowHint TabOrder "
                        "TabStop Visible OnClick OnContextPopup OnDblClick OnDragDrop OnDragOver OnEndDrag OnEnter "
                        "OnExit OnKeyDown OnKeyPress OnKeyUp OnMouseDown OnMouseMove OnMouseUp OnMouseWheel "
                        "OnMouseWheelDown OnMouseWheelUp OnStartDrag",
                        {.ParentColor = false, .TabStop = true});
    p.Prop("KeyOptions", &TValueListEditor::KeyOptions, &TValueListEditor::SetKeyOptions);
    p.Prop("DefaultRowHeight", &TValueListEditor::DefaultRowHeight, &TValueListEditor::SetDefaultRowHeight)
        .Default(18);
    p.Prop("Strings", &TValueListEditor::Strings, &TValueListEditor::SetStrings);
    p.Prop("TitleCaptions", &TValueListEditor::TitleCaptions, &TValueListEditor::SetTitleCaptions);
    p.Field("OnStringsChange", &TValueListEditor::OnStringsChange);
  });
}
