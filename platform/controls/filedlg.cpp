// The open and save dialogs: filters, the folder model, and the dialog form
// with a folder box, a file list, a file-name box and a type box.
#include <algorithm>
#include "platform/controls/dialogs.h"
#include "platform/controls/stdwnd.h"
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

// How the file list shows a folder.
AnsiString FolderItem(const AnsiString& Name) { return "[" + Name + "]"; }

class TFileDialogForm : public TForm, public TScriptableDialog {
 public:
  explicit TFileDialogForm(TOpenDialog* D)
      : TForm(nullptr, 0), FDialog(D), FModel(D->IsSaveDialog(), D->Options(), D->DefaultExt()) {
    bool save = D->IsSaveDialog();
    SetCaption(!D->Title().empty() ? D->Title() : save ? T("另存为") : T("打开"));
    bool sizing = D->Options().Contains(ofEnableSizing);
    SetBorderStyle(sizing ? bsSizeable : bsDialog);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    OnKeyDown = TKeyEvent(this, &TFileDialogForm::Key);
    FFilters = ParseFileFilter(D->Filter());
    if (FFilters.empty()) FFilters.push_back({T("所有文件 (*.*)"), {"*.*"}});
    FFilterIndex = D->FilterIndex() >= 1 && D->FilterIndex() <= int(FFilters.size()) ? D->FilterIndex() - 1 : 0;

    int preview = D->ShowsPreview() ? 150 : 0;
    const int W = 430 + preview, H = 290;
    SetClientSize(W, H);
    const TAnchors all{akLeft, akTop, akRight, akBottom};
    const TAnchors topWide{akLeft, akTop, akRight};
    const TAnchors bottomWide{akLeft, akBottom, akRight};
    const TAnchors bottomRight{akRight, akBottom};
    int listRight = W - 8 - preview;
    FFolderBox = new TDlgCtl(this, "COMBOBOX", CBS_DROPDOWNLIST, "", 80, 8, listRight - 80, 200);
    FFolderBox->SetAnchors(topWide);
    FFolderBox->OnCommand = [this](int code) {
      if (code != CBN_SELCHANGE) return;
      int i = int(FFolderBox->Send(CB_GETCURSEL));
      if (i >= 0 && i < int(FChain.size())) Navigate(FChain[i]);
    };
    FList = new TDlgCtl(this, "LISTBOX", LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, "", 8, 38, listRight - 8, 170);
    FList->SetAnchors(all);
    FList->OnCommand = [this](int code) {
      if (code == LBN_SELCHANGE) ListSelected();
      else if (code == LBN_DBLCLK) ListActivated();
    };
    int row1 = H - 70, row2 = H - 40;
    FNameEdit = new TDlgCtl(this, "EDIT", ES_AUTOHSCROLL, "", 90, row1, W - 90 - 95, 21);
    FNameEdit->SetAnchors(bottomWide);
    FTypeBox = new TDlgCtl(this, "COMBOBOX", CBS_DROPDOWNLIST, "", 90, row2, W - 90 - 95, 200);
    FTypeBox->SetAnchors(bottomWide);
    FTypeBox->OnCommand = [this](int code) {
      if (code != CBN_SELCHANGE) return;
      int i = int(FTypeBox->Send(CB_GETCURSEL));
      if (i >= 0) {
        FFilterIndex = i;
        FModel.SetMasks(FFilters[i].Masks);
        Fill();
        if (FDialog->OnTypeChange) FDialog->OnTypeChange(FDialog);
      }
    };
    FOk = new TDlgCtl(this, "BUTTON", BS_DEFPUSHBUTTON, save ? T("保存(&S)") : T("打开(&O)"), W - 83, row1 - 1, 75, 23);
    FCancel = new TDlgCtl(this, "BUTTON", BS_PUSHBUTTON, T("取消"), W - 83, row2 - 1, 75, 23);
    FOk->Result = mrOk;
    FCancel->Result = mrCancel;
    FOk->SetAnchors(bottomRight);
    FCancel->SetAnchors(bottomRight);
    FOk->OnCommand = [this](int code) {
      if (code == BN_CLICKED) OkPressed();
    };
    FCancel->OnCommand = [this](int code) {
      if (code == BN_CLICKED) SetModalResult(mrCancel);
    };
    if (!save && !D->Options().Contains(ofHideReadOnly)) {
      FReadOnly = new TDlgCtl(this, "BUTTON", BS_AUTOCHECKBOX, T("以只读方式打开(&R)"), 90, H - 16, 200, 15);
      FReadOnly->SetAnchors(TAnchors{akLeft, akBottom});
      if (D->Options().Contains(ofReadOnly)) FReadOnly->Send(BM_SETCHECK, BST_CHECKED);
      SetClientSize(W, H + 6);
    }
    for (const TFileFilter& f : FFilters) FTypeBox->Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.Description.c_str()));
    FTypeBox->Send(CB_SETCURSEL, FFilterIndex);
    FModel.SetMasks(FFilters[FFilterIndex].Masks);

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

  AnsiString Chosen() const { return FChosen; }
  int ChosenFilterIndex() const { return FFilterIndex + 1; }
  bool ReadOnlyChecked() { return FReadOnly && FReadOnly->Send(BM_GETCHECK) == BST_CHECKED; }
  AnsiString Folder() const { return FModel.Dir(); }

  AnsiString DialogKind() const override { return FDialog->IsSaveDialog() ? "Save" : "Open"; }
  AnsiString DialogText() const override { return FModel.Dir(); }
  void ScriptPress(TModalResult Result) override {
    if (Result == mrOk) FOk->Send(BM_CLICK);
    else if (Result == mrCancel) FCancel->Send(BM_CLICK);
    else throw EDialogScriptError("A file dialog has no button for the result " + std::to_string(Result));
  }
  void ScriptType(const AnsiString& Text) override { FNameEdit->SetText(Text); }
  void ScriptOpenFolder(const AnsiString& Name) override {
    int i = FindItem(Name == ".." ? FolderItem("..") : FolderItem(Name));
    if (i < 0) throw EDialogScriptError("The folder \"" + Name + "\" is not listed in " + FModel.Dir());
    FList->Send(LB_SETCURSEL, WPARAM(i));
    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), reinterpret_cast<LPARAM>(FList->Handle()));
  }
  void ScriptSelect(const AnsiString& Name) override {
    int i = FindItem(Name);
    if (i >= 0) {
      FList->Send(LB_SETCURSEL, WPARAM(i));
      SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), reinterpret_cast<LPARAM>(FList->Handle()));
      return;
    }
    int t = int(FTypeBox->Send(CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(Name.c_str())));
    if (t < 0) throw EDialogScriptError("\"" + Name + "\" is neither listed in " + FModel.Dir() + " nor a file type");
    FTypeBox->Send(CB_SETCURSEL, WPARAM(t));
    SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(FTypeBox->Handle()));
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->Assign(Font());
    int H = ClientHeight();
    int row1 = FNameEdit->Top(), row2 = FTypeBox->Top();
    Canvas()->TextOut(8, 11, T("查找范围:"));
    Canvas()->TextOut(8, row1 + 3, T("文件名:"));
    Canvas()->TextOut(8, row2 + 3, T("文件类型:"));
    if (FDialog->ShowsPreview()) {
      TRect r{FList->Left() + FList->Width() + 8, FList->Top(), ClientWidth() - 8, FList->Top() + FList->Height()};
      DrawEdge(Canvas()->Handle(), &r, EDGE_SUNKEN, BF_RECT);
      TRect in{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
      Canvas()->Brush()->SetStyle(bsSolid);
      Canvas()->Brush()->SetColor(clWindow);
      Canvas()->FillRect(in);
      if (FPreview && FPreview->Graphic()) {
        TGraphic* g = FPreview->Graphic();
        int gw = g->Width(), gh = g->Height();
        if (gw > 0 && gh > 0) {
          double s = std::min({1.0, double(in.Width()) / gw, double(in.Height()) / gh});
          int w = int(gw * s), h = int(gh * s);
          int x = in.left + (in.Width() - w) / 2, y = in.top + (in.Height() - h) / 2;
          Canvas()->StretchDraw(TRect{x, y, x + w, y + h}, g);
        }
      }
    }
    (void)H;
  }

 private:
  int FindItem(const AnsiString& Text) {
    return int(FList->Send(LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(Text.c_str())));
  }
  AnsiString ItemText(int i) {
    int len = int(FList->Send(LB_GETTEXTLEN, WPARAM(i)));
    if (len < 0) return "";
    std::string s(std::size_t(len) + 1, '\0');
    FList->Send(LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(s.data()));
    s.resize(std::strlen(s.c_str()));
    return s;
  }
  // An item naming a folder: the folder's name ("" for files).
  AnsiString FolderOf(const AnsiString& Item) {
    if (Item.size() >= 2 && Item.front() == '[' && Item.back() == ']') {
      AnsiString n = Item.substr(1, Item.size() - 2);
      if (n == ".." || DirectoryExists(IncludeTrailingPathDelimiter(FModel.Dir()) + n)) return n;
    }
    return "";
  }
  void Fill() {
    FList->Send(LB_RESETCONTENT);
    if (FModel.Dir() != "/") FList->Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FolderItem("..").c_str()));
    for (const AnsiString& d : FModel.Folders())
      FList->Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FolderItem(d).c_str()));
    for (const AnsiString& f : FModel.Files()) FList->Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
    // The folder box: the chain from the root down to the shown folder.
    FChain.clear();
    AnsiString d = FModel.Dir();
    for (;;) {
      FChain.insert(FChain.begin(), d);
      if (d == "/" || d.empty()) break;
      d = ExtractFileDir(d);
    }
    FFolderBox->Send(CB_RESETCONTENT);
    for (std::size_t i = 0; i < FChain.size(); ++i) {
      AnsiString label = AnsiString(i * 2, ' ') + (i == 0 ? AnsiString("/") : ExtractFileName(FChain[i]));
      FFolderBox->Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    }
    FFolderBox->Send(CB_SETCURSEL, FChain.size() - 1);
  }
  void Navigate(const AnsiString& Dir) {
    if (FModel.SetDir(Dir)) Changed();
  }
  void Changed() {
    Fill();
    if (FDialog->OnFolderChange) FDialog->OnFolderChange(FDialog);
  }
  void ListSelected() {
    int i = int(FList->Send(LB_GETCURSEL));
    if (i < 0) return;
    AnsiString item = ItemText(i);
    if (!FolderOf(item).empty()) return;
    FNameEdit->SetText(item);
    if (FDialog->ShowsPreview()) {
      FPreview = std::make_unique<TPicture>();
      try {
        FPreview->LoadFromFile(IncludeTrailingPathDelimiter(FModel.Dir()) + item);
      } catch (const Exception&) {
        FPreview.reset();  // not a picture this library reads: no preview
      }
      Invalidate();
    }
    if (FDialog->OnSelectionChange) FDialog->OnSelectionChange(FDialog);
  }
  void ListActivated() {
    int i = int(FList->Send(LB_GETCURSEL));
    if (i < 0) return;
    AnsiString item = ItemText(i);
    AnsiString folder = FolderOf(item);
    if (!folder.empty()) {
      if (FModel.OpenFolder(folder)) Changed();
      return;
    }
    FNameEdit->SetText(item);
    OkPressed();
  }
  void OkPressed() {
    AnsiString file;
    switch (FModel.Accept(FNameEdit->Text(), file)) {
      case TFileDialogModel::arEmpty: return;
      case TFileDialogModel::arNavigated:
        FNameEdit->SetText("");
        Changed();
        return;
      case TFileDialogModel::arMasksChanged: Fill(); return;
      case TFileDialogModel::arPathNotFound:
        MessageDlg(T("路径不存在。\r\n请检查路径是否正确。"), mtWarning, TMsgDlgButtons{mbOK});
        return;
      case TFileDialogModel::arFileNotFound:
        MessageDlg(file + T("\r\n找不到文件。\r\n请检查文件名是否正确。"), mtWarning, TMsgDlgButtons{mbOK});
        return;
      case TFileDialogModel::arConfirmOverwrite:
        if (MessageDlg(file + T(" 已存在。\r\n要替换它吗？"), mtWarning, TMsgDlgButtons{mbYes, mbNo}) != mrYes) return;
        break;
      case TFileDialogModel::arAccepted: break;
    }
    FChosen = file;
    SetModalResult(mrOk);
  }
  void Key(TObject*, Word& K, TShiftState) {
    if (K == VK_ESCAPE) {
      SetModalResult(mrCancel);
      K = 0;
    } else if (K == VK_RETURN) {
      if (FList->Focused()) ListActivated();
      else OkPressed();
      K = 0;
    } else if (K == VK_BACK && FList->Focused()) {
      if (FModel.Up()) Changed();
      K = 0;
    }
  }

  TOpenDialog* FDialog;
  TFileDialogModel FModel;
  std::vector<TFileFilter> FFilters;
  int FFilterIndex = 0;
  std::vector<AnsiString> FChain;
  TDlgCtl *FFolderBox = nullptr, *FList = nullptr, *FNameEdit = nullptr, *FTypeBox = nullptr;
  TDlgCtl *FOk = nullptr, *FCancel = nullptr, *FReadOnly = nullptr;
  std::unique_ptr<TPicture> FPreview;
  AnsiString FChosen;
};

}  // namespace

// ---------------------------------------------------------------------------
// TOpenDialog and the picture dialogs

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

TForm* TOpenDialog::CreateForm() {
  if (!Application) InitForms();
  return new TFileDialogForm(this);
}

bool TOpenDialog::Execute() {
  std::unique_ptr<TForm> form(CreateForm());
  auto* f = static_cast<TFileDialogForm*>(form.get());
  if (OnShow) OnShow(this);
  int r = ExecuteDialogForm(f);
  if (OnClose) OnClose(this);
  if (r != mrOk || f->Chosen().empty()) return false;
  FFileName = f->Chosen();
  FFiles->Clear();
  FFiles->Add(FFileName);
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
