// The open and save dialogs: filters, the folder model, and the dialog form
// with a folder box, a file list, a file-name box and a type box, built from
// the class library's controls.
#include <algorithm>
#include "platform/controls/dialogs.h"
#include "platform/controls/buttons.h"
#include "platform/controls/dialogs_internal.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"

using namespace pvdlg;

// ---------------------------------------------------------------------------
// filters and names

std::vector<TFileFilter> ParseFileFilter(const AnsiString& Filter) {
  std::vector<AnsiString> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = Filter.find('|', start);
    parts.push_back(Filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  if (!parts.empty() && parts.back().empty()) parts.pop_back();
  if (parts.size() % 2)
    throw EInvalidOperation("The file filter \"" + Filter + "\" has a description without its masks");
  std::vector<TFileFilter> out;
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    TFileFilter f;
    f.Description = parts[i];
    std::size_t s = 0;
    const AnsiString& m = parts[i + 1];
    for (;;) {
      std::size_t semi = m.find(';', s);
      AnsiString mask = m.substr(s, semi == std::string::npos ? std::string::npos : semi - s);
      while (!mask.empty() && mask.front() == ' ') mask.erase(0, 1);
      while (!mask.empty() && mask.back() == ' ') mask.pop_back();
      if (!mask.empty()) f.Masks.push_back(mask);
      if (semi == std::string::npos) break;
      s = semi + 1;
    }
    if (f.Masks.empty()) throw EInvalidOperation("The file filter \"" + Filter + "\" has an empty mask");
    out.push_back(f);
  }
  return out;
}

bool MatchesFileMasks(const AnsiString& Name, const std::vector<AnsiString>& Masks) {
  if (Masks.empty()) return true;
  AnsiString n = AnsiLowerCase(Name);
  for (const AnsiString& m : Masks) {
    if (m == "*.*" || m == "*") return true;
    if (FileNameMatches(n, AnsiLowerCase(m))) return true;
  }
  return false;
}

AnsiString ApplyDefaultExt(const AnsiString& FileName, const AnsiString& DefaultExt) {
  AnsiString ext = DefaultExt;
  while (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
  if (ext.empty() || !ExtractFileExt(FileName).empty()) return FileName;
  return FileName + "." + ext;
}

// ---------------------------------------------------------------------------
// TFileDialogModel

bool TFileDialogModel::SetDir(const AnsiString& Dir) {
  AnsiString d = ExpandFileName(Dir.empty() ? GetCurrentDir() : Dir);
  if (!DirectoryExists(d)) return false;
  FDir = d.size() > 1 ? ExcludeTrailingPathDelimiter(d) : d;
  return true;
}

bool TFileDialogModel::Up() {
  if (FDir == "/" || FDir.empty()) return false;
  return SetDir(ExtractFileDir(FDir));
}

bool TFileDialogModel::OpenFolder(const AnsiString& Name) {
  if (Name == "..") return Up();
  if (Name.empty() || Name.find('/') != std::string::npos) return false;
  return SetDir(IncludeTrailingPathDelimiter(FDir) + Name);
}

std::vector<AnsiString> TFileDialogModel::Folders() const { return FindFiles(FDir, "*", true); }

std::vector<AnsiString> TFileDialogModel::Files() const {
  std::vector<AnsiString> out;
  for (const AnsiString& f : FindFiles(FDir, "*", false))
    if (MatchesFileMasks(f, FMasks)) out.push_back(f);
  return out;
}

TFileDialogModel::TAcceptResult TFileDialogModel::Accept(const AnsiString& Text, AnsiString& FileName) {
  AnsiString t = Text;
  while (!t.empty() && t.front() == ' ') t.erase(0, 1);
  while (!t.empty() && t.back() == ' ') t.pop_back();
  if (t.size() >= 2 && t.front() == '"' && t.back() == '"') t = t.substr(1, t.size() - 2);
  if (t.empty()) return arEmpty;
  if (t.find_first_of("*?") != std::string::npos && t.find('/') == std::string::npos) {
    FMasks = ParseFileFilter("x|" + t)[0].Masks;
    return arMasksChanged;
  }
  AnsiString path = ExpandFileName(t.front() == '/' ? t : IncludeTrailingPathDelimiter(FDir) + t);
  if (DirectoryExists(path)) {
    SetDir(path);
    return arNavigated;
  }
  // An open dialog takes an existing name as typed; otherwise the default extension is added.
  if (FSave || !FileExists(path)) path = ApplyDefaultExt(path, FDefaultExt);
  if (!DirectoryExists(ExtractFileDir(path))) return arPathNotFound;
  FileName = path;
  if (!FSave && FOptions.Contains(ofFileMustExist) && !FileExists(path)) return arFileNotFound;
  if (FSave && FOptions.Contains(ofOverwritePrompt) && FileExists(path)) return arConfirmOverwrite;
  return arAccepted;
}

// ---------------------------------------------------------------------------
// the dialog form

namespace {

TFileDialogHook gFileDialogHook = nullptr;

// The names of a multiple choice typed as "a.txt" "b.txt"; one name as typed otherwise.
std::vector<AnsiString> SplitNames(const AnsiString& Text) {
  std::vector<AnsiString> out;
  if (std::count(Text.begin(), Text.end(), '"') < 4) return {Text};
  std::size_t i = 0;
  while ((i = Text.find('"', i)) != std::string::npos) {
    std::size_t e = Text.find('"', i + 1);
    if (e == std::string::npos) break;
    if (e > i + 1) out.push_back(Text.substr(i + 1, e - i - 1));
    i = e + 1;
  }
  return out.empty() ? std::vector<AnsiString>{Text} : out;
}

class TFileDialogForm : public TDialogForm {
 public:
  explicit TFileDialogForm(TOpenDialog* D)
      : TDialogForm(!D->Title().empty() ? D->Title() : D->IsSaveDialog() ? T("另存为") : T("打开")),
        FDialog(D),
        FModel(D->IsSaveDialog(), D->Options(), D->DefaultExt()) {
    bool save = D->IsSaveDialog();
    TOpenOptions opts = D->Options();
    FMulti = !save && opts.Contains(ofAllowMultiSelect);
    if (opts.Contains(ofEnableSizing)) SetBorderStyle(bsSizeable);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    FFilters = ParseFileFilter(D->Filter());
    if (FFilters.empty()) FFilters.push_back({T("所有文件 (*.*)"), {"*.*"}});
    FFilterIndex = D->FilterIndex() >= 1 && D->FilterIndex() <= int(FFilters.size()) ? D->FilterIndex() - 1 : 0;
    for (auto [bmp, kind] : {std::pair{&FFolderIcon, siFolder}, {&FOpenFolderIcon, siOpenFolder},
                             {&FFileIcon, siFile}, {&FDriveIcon, siDrive}}) {
      *bmp = std::make_unique<TBitmap>();
      PaintSmallIcon(bmp->get(), kind, clWindow);
    }

    const int preview = D->ShowsPreview() ? 170 : 0;
    const int W = 470 + preview, margin = 8, labelW = 82, bw = 75;
    const bool readOnlyBox = !save && !opts.Contains(ofHideReadOnly);
    const int H = readOnlyBox ? 326 : 304;
    SetClientSize(W, H);
    const TAnchors all{akLeft, akTop, akRight, akBottom};
    const TAnchors topWide{akLeft, akTop, akRight};
    const TAnchors bottomLeft{akLeft, akBottom};
    const TAnchors bottomWide{akLeft, akBottom, akRight};
    const TAnchors bottomRight{akRight, akBottom};
    const int listRight = W - margin - preview;
    int tab = 0;

    // The folder box and the button that goes up.
    FFolderBox = Add<TComboBox>(nullptr, labelW, margin, listRight - labelW - 30, 22);
    FFolderBox->SetStyle(csOwnerDrawFixed);
    FFolderBox->SetItemHeight(16);
    FFolderBox->SetDropDownCount(12);
    FFolderBox->SetAnchors(topWide);
    FFolderBox->SetTabOrder(tab++);
    FFolderBox->OnDrawItem = TDrawItemEvent(this, &TFileDialogForm::DrawFolderItem);
    FFolderBox->OnSelect = TNotifyEvent(this, &TFileDialogForm::FolderBoxSelected);
    AddLabel(nullptr, save ? T("保存在(&I):") : T("查找范围(&I):"), margin, margin + 4, FFolderBox);
    FUp = Add<TSpeedButton>(nullptr, listRight - 24, margin, 24, 22);
    FUp->SetFlat(true);
    FUp->SetAnchors(TAnchors{akTop, akRight});
    FUp->SetHint(T("向上一级"));
    FUp->SetShowHint(true);
    auto up = std::make_unique<TBitmap>();
    PaintSmallIcon(up.get(), siUpFolder, clBtnFace);
    FUp->SetGlyph(up.get());
    FUp->OnClick = TNotifyEvent(this, &TFileDialogForm::UpClicked);

    // The folder's entries.
    const int listTop = margin + 30;
    const int row1 = H - (readOnlyBox ? 84 : 62), row2 = row1 + 28;
    FList = Add<TListBox>(nullptr, margin, listTop, listRight - margin, row1 - 10 - listTop);
    FList->SetStyle(lbOwnerDrawFixed);
    FList->SetItemHeight(17);
    FList->SetAnchors(all);
    FList->SetTabOrder(tab++);
    if (FMulti) {
      FList->SetMultiSelect(true);
      FList->SetExtendedSelect(true);
    }
    FList->OnDrawItem = TDrawItemEvent(this, &TFileDialogForm::DrawListItem);
    FList->OnClick = TNotifyEvent(this, &TFileDialogForm::ListSelected);
    FList->OnDblClick = TNotifyEvent(this, &TFileDialogForm::ListActivated);
    FList->OnKeyDown = TKeyEvent(this, &TFileDialogForm::ListKey);

    // The name, the type and the buttons.
    FNameEdit = Add<TEdit>(nullptr, labelW + 8, row1, listRight - labelW - 8 - bw - 12, 21);
    FNameEdit->SetAnchors(bottomWide);
    FNameEdit->SetTabOrder(tab++);
    AddLabel(nullptr, T("文件名(&N):"), margin, row1 + 4, FNameEdit)->SetAnchors(bottomLeft);
    FTypeBox = Add<TComboBox>(nullptr, labelW + 8, row2, listRight - labelW - 8 - bw - 12, 21);
    FTypeBox->SetStyle(csDropDownList);
    FTypeBox->SetAnchors(bottomWide);
    FTypeBox->SetTabOrder(tab++);
    FTypeBox->OnSelect = TNotifyEvent(this, &TFileDialogForm::TypeSelected);
    AddLabel(nullptr, T("文件类型(&T):"), margin, row2 + 4, FTypeBox)->SetAnchors(bottomLeft);
    if (readOnlyBox) {
      FReadOnly = Add<TCheckBox>(nullptr, labelW + 8, row2 + 28, 200, 17);
      FReadOnly->SetCaption(T("以只读方式打开(&R)"));
      FReadOnly->SetAnchors(bottomLeft);
      FReadOnly->SetChecked(opts.Contains(ofReadOnly));
    }
    FOk = AddButton(nullptr, save ? T("保存(&S)") : T("打开(&O)"), mrNone, listRight - bw, row1 - 1, bw, 23, mrOk);
    FOk->SetAnchors(bottomRight);
    FOk->OnClick = TNotifyEvent(this, &TFileDialogForm::OkClicked);
    FOk->SetTabOrder(tab++);
    TButton* cancel = AddButton(nullptr, T("取消"), mrCancel, listRight - bw, row2 - 1, bw, 23);
    cancel->SetAnchors(bottomRight);
    cancel->SetCancel(true);
    cancel->SetTabOrder(tab++);
    if (FReadOnly) FReadOnly->SetTabOrder(tab++);
    SetDefaultButton(FOk);

    // The preview of the picture dialogs.
    if (preview) {
      FPreviewSize = AddLabel(nullptr, T("(无)"), listRight + 10, margin + 4);
      FPreviewSize->SetAnchors(TAnchors{akTop, akRight});
      auto* panel = Add<TPanel>(nullptr, listRight + 10, listTop, preview - 10, row1 - 10 - listTop);
      panel->SetBevelOuter(bvLowered);
      panel->SetCaption("");
      panel->SetColor(clWindow);
      panel->SetAnchors(TAnchors{akTop, akRight, akBottom});
      FPreview = Add<TImage>(panel, 0, 0, 10, 10);
      FPreview->SetAlign(alClient);
      FPreview->SetStretch(true);
      FPreview->SetProportional(true);
      FPreview->SetCenter(true);
    }
    Constraints()->SetMinWidth(Width());
    Constraints()->SetMinHeight(Height());

    for (const TFileFilter& f : FFilters) FTypeBox->Items()->Add(f.Description);
    FTypeBox->SetItemIndex(FFilterIndex);
    FModel.SetMasks(FFilters[std::size_t(FFilterIndex)].Masks);

    // The first folder: the file name's, else the initial one, else the current one.
    AnsiString name = D->FileName();
    AnsiString dir = ExtractFileDir(name);
    if (name.find('/') == std::string::npos || !FModel.SetDir(dir)) {
      if (!FModel.SetDir(D->InitialDir())) FModel.SetDir(GetCurrentDir());
    }
    FNameEdit->SetText(ExtractFileName(name));
    Fill();
    SetActiveControl(FNameEdit);
  }

  AnsiString Chosen() const { return FChosen.empty() ? AnsiString() : FChosen.front(); }
  const std::vector<AnsiString>& ChosenFiles() const { return FChosen; }
  int ChosenFilterIndex() const { return FFilterIndex + 1; }
  bool ReadOnlyChecked() { return FReadOnly && FReadOnly->Checked(); }

  AnsiString DialogKind() const override { return FDialog->IsSaveDialog() ? "Save" : "Open"; }
  AnsiString DialogText() const override { return FModel.Dir(); }
  void ScriptType(const AnsiString& Text) override { FNameEdit->SetText(Text); }
  void ScriptOpenFolder(const AnsiString& Name) override {
    if (Name == "..") {
      if (!FModel.Up()) throw EDialogScriptError("The folder " + FModel.Dir() + " has no parent");
      Changed();
      return;
    }
    int i = FindEntry(Name, true);
    if (i < 0) throw EDialogScriptError("The folder \"" + Name + "\" is not listed in " + FModel.Dir());
    FList->SetItemIndex(i);
    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), reinterpret_cast<LPARAM>(FList->Handle()));
  }
  void ScriptSelect(const AnsiString& Name) override {
    int i = FindEntry(Name, false);
    if (i >= 0) {
      if (FMulti) FList->SetSelected(i, true);
      else FList->SetItemIndex(i);
      SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), reinterpret_cast<LPARAM>(FList->Handle()));
      return;
    }
    int t = FTypeBox->Items()->IndexOf(Name);
    if (t < 0) throw EDialogScriptError("\"" + Name + "\" is neither listed in " + FModel.Dir() + " nor a file type");
    FTypeBox->SetItemIndex(t);
    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(FTypeBox->Handle()));
  }

 private:
  struct TEntry {
    AnsiString Name;
    bool Folder;
  };

  int FindEntry(const AnsiString& Name, bool Folder) const {
    for (std::size_t i = 0; i < FEntries.size(); ++i)
      if (FEntries[i].Folder == Folder && FEntries[i].Name == Name) return int(i);
    return -1;
  }

  // Folders first, then the files the chosen type shows; hidden (dot) names are left out.
  void Fill() {
    FEntries.clear();
    for (const AnsiString& d : FModel.Folders())
      if (d.front() != '.') FEntries.push_back({d, true});
    for (const AnsiString& f : FModel.Files())
      if (f.front() != '.') FEntries.push_back({f, false});
    FList->Items()->BeginUpdate();
    FList->Items()->Clear();
    for (const TEntry& e : FEntries) FList->Items()->Add(e.Name);
    FList->Items()->EndUpdate();
    // The folder box: the chain from the root down to the shown folder.
    FChain.clear();
    AnsiString d = FModel.Dir();
    for (;;) {
      FChain.insert(FChain.begin(), d);
      if (d == "/" || d.empty()) break;
      d = ExtractFileDir(d);
    }
    FFolderBox->Items()->Clear();
    for (std::size_t i = 0; i < FChain.size(); ++i)
      FFolderBox->Items()->Add(i == 0 ? AnsiString("/") : ExtractFileName(FChain[i]));
    FFolderBox->SetItemIndex(int(FChain.size()) - 1);
    FUp->SetEnabled(FChain.size() > 1);
  }

  void Changed() {
    Fill();
    if (FDialog->OnFolderChange) FDialog->OnFolderChange(FDialog);
  }

  void DrawListItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
    if (Index < 0 || Index >= int(FEntries.size())) return;
    TCanvas* c = FList->Canvas();
    const TEntry& e = FEntries[std::size_t(Index)];
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindow);
    c->FillRect(Rect);
    c->Draw(Rect.left + 2, Rect.top + (Rect.Height() - 16) / 2, e.Folder ? FFolderIcon.get() : FFileIcon.get());
    c->Font()->Assign(FList->Font());
    int tw = c->TextWidth(e.Name);
    TRect tr{Rect.left + 21, Rect.top, std::min<int>(Rect.right, Rect.left + 21 + tw + 4), Rect.bottom};
    bool sel = State.Contains(odSelected);
    c->Brush()->SetColor(sel ? clHighlight : clWindow);
    c->Font()->SetColor(sel ? clHighlightText : clWindowText);
    c->FillRect(tr);
    c->TextRect(tr, tr.left + 2, tr.top + (tr.Height() - c->TextHeight(e.Name)) / 2, e.Name);
    if (State.Contains(odFocused)) c->DrawFocusRect(tr);
  }

  void DrawFolderItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
    if (Index < 0 || Index >= int(FChain.size())) return;
    TCanvas* c = FFolderBox->Canvas();
    bool sel = State.Contains(odSelected);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clWindow);
    c->FillRect(Rect);
    int indent = State.Contains(odComboBoxEdit) ? 0 : Index * 10;
    TBitmap* icon = Index == 0 ? FDriveIcon.get() : Index == int(FChain.size()) - 1 ? FOpenFolderIcon.get()
                                                                                    : FFolderIcon.get();
    c->Draw(Rect.left + 2 + indent, Rect.top + (Rect.Height() - 16) / 2, icon);
    AnsiString text = FFolderBox->Items()->Strings(Index);
    c->Font()->Assign(FFolderBox->Font());
    int tw = c->TextWidth(text);
    TRect tr{Rect.left + 21 + indent, Rect.top, std::min<int>(Rect.right, Rect.left + 21 + indent + tw + 4),
             Rect.bottom};
    c->Brush()->SetColor(sel ? clHighlight : clWindow);
    c->Font()->SetColor(sel ? clHighlightText : clWindowText);
    c->FillRect(tr);
    c->TextRect(tr, tr.left + 2, tr.top + (tr.Height() - c->TextHeight(text)) / 2, text);
  }

  void FolderBoxSelected(TObject*) {
    int i = FFolderBox->ItemIndex();
    if (i >= 0 && i < int(FChain.size()) && FChain[std::size_t(i)] != FModel.Dir() &&
        FModel.SetDir(FChain[std::size_t(i)]))
      Changed();
  }

  void UpClicked(TObject*) {
    if (FModel.Up()) Changed();
  }

  void TypeSelected(TObject*) {
    int i = FTypeBox->ItemIndex();
    if (i < 0 || i >= int(FFilters.size())) return;
    FFilterIndex = i;
    FModel.SetMasks(FFilters[std::size_t(i)].Masks);
    Fill();
    if (FDialog->OnTypeChange) FDialog->OnTypeChange(FDialog);
  }

  // The files selected in the list (folders are not chosen by selecting them).
  std::vector<AnsiString> SelectedFiles() {
    std::vector<AnsiString> out;
    for (std::size_t i = 0; i < FEntries.size(); ++i)
      if (!FEntries[i].Folder && (FMulti ? FList->Selected(int(i)) : FList->ItemIndex() == int(i)))
        out.push_back(FEntries[i].Name);
    return out;
  }

  void ListSelected(TObject*) {
    std::vector<AnsiString> files = SelectedFiles();
    if (files.empty()) return;
    if (files.size() == 1) {
      FNameEdit->SetText(files[0]);
    } else {
      AnsiString t;
      for (const AnsiString& f : files) t += (t.empty() ? "\"" : " \"") + f + "\"";
      FNameEdit->SetText(t);
    }
    if (FPreview) ShowPreview(IncludeTrailingPathDelimiter(FModel.Dir()) + files[0]);
    if (FDialog->OnSelectionChange) FDialog->OnSelectionChange(FDialog);
  }

  void ShowPreview(const AnsiString& File) {
    try {
      FPreview->Picture()->LoadFromFile(File);
      // small pictures at their own size, larger ones scaled down to fit
      TControl* panel = FPreview->Parent();
      FPreview->SetStretch(FPreview->Picture()->Width() > panel->ClientWidth() ||
                           FPreview->Picture()->Height() > panel->ClientHeight());
      FPreviewSize->SetCaption(std::to_string(FPreview->Picture()->Width()) + " x " +
                               std::to_string(FPreview->Picture()->Height()));
    } catch (const Exception&) {
      // not a picture this library reads: no preview
      FPreview->Picture()->SetGraphic(nullptr);
      FPreviewSize->SetCaption(T("(无)"));
    }
  }

  // The list's current entry when it is a folder, else "".
  AnsiString CurrentFolder() {
    int i = FList->ItemIndex();
    return i >= 0 && i < int(FEntries.size()) && FEntries[std::size_t(i)].Folder ? FEntries[std::size_t(i)].Name
                                                                                  : AnsiString();
  }

  void ListActivated(TObject*) {
    AnsiString folder = CurrentFolder();
    if (!folder.empty()) {
      if (FModel.OpenFolder(folder)) Changed();
      return;
    }
    std::vector<AnsiString> files = SelectedFiles();
    if (files.size() != 1) return;
    FNameEdit->SetText(files[0]);
    OkClicked(nullptr);
  }

  void ListKey(TObject*, Word& Key, TShiftState) {
    if (Key == VK_BACK) {
      UpClicked(nullptr);
      Key = 0;
    }
  }

  void Warn(const AnsiString& Text, UINT Flags = MB_OK) { PvMessageBox(Handle(), Text, Caption(), Flags | MB_ICONEXCLAMATION); }

  // Checks one typed name; true with File set when it is chosen. Folders
  // typed are opened, masks typed filter the list, and bad names are
  // explained; each of those leaves the dialog open.
  bool AcceptName(const AnsiString& Text, AnsiString& File, bool Single) {
    switch (FModel.Accept(Text, File)) {
      case TFileDialogModel::arEmpty: return false;
      case TFileDialogModel::arNavigated:
        FNameEdit->SetText("");
        Changed();
        return false;
      case TFileDialogModel::arMasksChanged: Fill(); return false;
      case TFileDialogModel::arPathNotFound:
        Warn(Text + T("\r\n路径不存在。\r\n请检查路径是否正确。"));
        return false;
      case TFileDialogModel::arFileNotFound:
        Warn(File + T("\r\n找不到文件。\r\n请检查文件名是否正确。"));
        return false;
      case TFileDialogModel::arConfirmOverwrite:
        return Single && PvMessageBox(Handle(), File + T(" 已存在。\r\n要替换它吗？"), Caption(),
                                      MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
      case TFileDialogModel::arAccepted: return true;
    }
    return false;
  }

  void OkClicked(TObject*) {
    AnsiString text = FNameEdit->Text();
    // With the list focused on a folder, Enter opens that folder.
    if (FList->Focused() || text.find_first_not_of(' ') == std::string::npos) {
      AnsiString folder = CurrentFolder();
      if (!folder.empty()) {
        if (FModel.OpenFolder(folder)) Changed();
        return;
      }
    }
    std::vector<AnsiString> names = FMulti ? SplitNames(text) : std::vector<AnsiString>{text};
    std::vector<AnsiString> chosen;
    for (const AnsiString& n : names) {
      AnsiString file;
      if (!AcceptName(names.size() > 1 ? "\"" + n + "\"" : n, file, names.size() == 1)) return;
      chosen.push_back(file);
    }
    if (chosen.empty()) return;
    FChosen = chosen;
    if (FDialog->OnCanClose) FDialog->OnCanClose(FDialog);
    SetModalResult(mrOk);
  }

  TOpenDialog* FDialog;
  TFileDialogModel FModel;
  bool FMulti = false;
  std::vector<TFileFilter> FFilters;
  int FFilterIndex = 0;
  std::vector<AnsiString> FChain;
  std::vector<TEntry> FEntries;
  TComboBox* FFolderBox = nullptr;
  TSpeedButton* FUp = nullptr;
  TListBox* FList = nullptr;
  TEdit* FNameEdit = nullptr;
  TComboBox* FTypeBox = nullptr;
  TCheckBox* FReadOnly = nullptr;
  TButton* FOk = nullptr;
  TImage* FPreview = nullptr;
  TLabel* FPreviewSize = nullptr;
  std::unique_ptr<TBitmap> FFolderIcon, FOpenFolderIcon, FFileIcon, FDriveIcon;
  std::vector<AnsiString> FChosen;
};

}  // namespace

// ---------------------------------------------------------------------------
// TOpenDialog and the picture dialogs

void SetFileDialogHook(TFileDialogHook Hook) { gFileDialogHook = Hook; }

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

TForm* TOpenDialog::CreateForm() {
  if (!Application) InitForms();
  return new TFileDialogForm(this);
}

bool TOpenDialog::Execute() {
  if (gFileDialogHook) {
    int r = gFileDialogHook(this);
    if (r >= 0) return r == 1;
  }
  std::unique_ptr<TForm> form(CreateForm());
  auto* f = static_cast<TFileDialogForm*>(form.get());
  if (OnShow) OnShow(this);
  int r = ExecuteDialogForm(f);
  if (OnClose) OnClose(this);
  if (r != mrOk || f->Chosen().empty()) return false;
  FFileName = f->Chosen();
  FFiles->Clear();
  for (const AnsiString& file : f->ChosenFiles()) FFiles->Add(file);
  FFilterIndex = f->ChosenFilterIndex();
  if (!IsSaveDialog() && !FOptions.Contains(ofHideReadOnly)) {
    if (f->ReadOnlyChecked()) FOptions << ofReadOnly;
    else FOptions >> ofReadOnly;
  }
  if (!FOptions.Contains(ofNoChangeDir)) SetCurrentDir(ExtractFileDir(FFileName));
  return true;
}

AnsiString GraphicFilter() {
  return T("所有图片 (*.bmp;*.ico;*.jpg;*.jpeg)|*.bmp;*.ico;*.jpg;*.jpeg|位图 (*.bmp)|*.bmp|图标 (*.ico)|*.ico|"
           "JPEG 图像 (*.jpg;*.jpeg)|*.jpg;*.jpeg");
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) { FFilter = GraphicFilter(); }
TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner) { FFilter = GraphicFilter(); }
