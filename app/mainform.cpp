#include "app/mainform.h"

#include <memory>

#include "app/libdatamodule.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

TMainForm* MainForm = nullptr;

// 错误的文件格式, with three blanks before it and nineteen after.
const char* const kBadFileFormat = "   \xB4\xED\xCE\xF3\xB5\xC4\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD.                   ";
const char* const kProductPage = "https://www.penvarro.org/";

namespace {

AnsiString A(const char* Utf8) { return Utf8ToAnsi(Utf8); }

// The byte limit of a file name on the file system, in its UTF-8 form.
constexpr std::size_t kMaxFileNameBytes = 255;

}  // namespace

TFrameWindows& FrameWindows() {
  static TFrameWindows w;
  return w;
}

AnsiString InstallationRoot(const AnsiString& ExeName) {
  return ExeName.size() > 10 ? ExeName.substr(0, ExeName.size() - 10) : AnsiString();
}

void WallpaperTiles(int ClientWidth, int ClientHeight, int PictureWidth, int PictureHeight, int& Columns,
                    int& Rows) {
  Rows = static_cast<unsigned short>(ClientHeight / PictureHeight + 1);
  Columns = static_cast<unsigned short>(ClientWidth / PictureWidth + 1);
}

bool ValidStoryName(const AnsiString& Name, AnsiString& Why) {
  // A backslash may be the second byte of a double-byte character; '/' and '.' never are.
  if (LastDelimiter("/\\", Name) > 0 || Name.find("..") != AnsiString::npos) {
    Why = A("文件名不能含有“/”、“\\”或“..”：") + Name;
    return false;
  }
  for (unsigned char c : Name)
    if (c < 0x20 || c == 0x7F) {
      Why = A("文件名不能含有控制字符。");
      return false;
    }
  if (SysFileName(Name + ".t").size() > kMaxFileNameBytes) {
    Why = A("文件名太长：") + Name;
    return false;
  }
  return true;
}

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) { MainForm = this; }

TMainForm::~TMainForm() {
  RemoveWallpaper();
  if (MainForm == this) MainForm = nullptr;
}

// ---------------------------------------------------------------------------
// start-up

void TMainForm::FormCreate(TObject*) {
  FExiting = false;
  // The program's picture, in the title bar and the notification area.
  if (TrayIcon1->Icon()->Empty()) {
    LibDataModule->MainFormImageList->GetIcon(0, TrayIcon1->Icon());
    TrayIcon1->UpdateTrayIcon();
  }
  if (Icon()->Empty()) SetIcon(TrayIcon1->Icon());
  FRoot = InstallationRoot(Application->ExeName());
  FLibraryPath = FRoot + "data/lib.l";
  LibDataModule->Root = FRoot;
  if (!ConnectLibrary()) return;
  // A missing or unreadable layout leaves the default one.
  const AnsiString layout = FRoot + "bin/qz.style";
  if (FileExists(layout)) {
    try {
      TFileStream stream(layout, fmOpenRead | fmShareDenyNone);
      LibDataModule->DockingManager->LoadLayoutFromStream(&stream);
    } catch (const Exception&) {
    }
  }
  if (HasWallpaper()) {
    try {
      bkImage->Picture()->LoadFromFile(FRoot + "data/Wallpaper/bk.bmp");
    } catch (const Exception&) {
      bkImage->Picture()->SetGraphic(nullptr);
    }
  }
}

bool TMainForm::ConnectLibrary() {
  TADOConnection* conn = LibDataModule->LibConnection;
  conn->Close();
  conn->SetConnectionString(LibConnectionString(FLibraryPath));
  try {
    conn->Open();
    LibDataModule->openTable();
  } catch (const Exception&) {
    ShowMessage(kBadFileFormat);
    return false;
  }
  return true;
}

void TMainForm::FormShow(TObject*) {
  TFrameWindows& w = FrameWindows();
  if (LibDataModule->LibConnection->Connected()) {
    try {
      LibDataModule->SystemSetADOTable->SetActive(true);
      if (w.CreateSettings) w.CreateSettings(this);
    } catch (const Exception&) {
      Application->HandleException(this);
    }
  }
  if (HasWallpaper()) InstallWallpaper();
  Label1->SetCaption(A("Penvarro写作 2.4\n网址：") + kProductPage);
  SetCaption("Penvarro");
  // The windows that other units have not provided yet cannot be opened.
  FileOpenItem->SetEnabled(w.OpenStory != nullptr);
  N4->SetEnabled(w.NewNarrativeWindow != nullptr);
  SystemModule->SetEnabled(w.NewDesignWindow != nullptr);
  StoryDesignMenu->SetEnabled(w.NewTemplateWindow != nullptr);
  StoryDesignMenu2->SetEnabled(w.NewTemplateWindow != nullptr);
  QzSystemSet->SetEnabled(w.ShowSettings != nullptr);
  kxBarButton10->SetEnabled(w.NewLibraryReplaceWindow != nullptr);
  kxBarButton12->SetEnabled(w.NewCopyWindow != nullptr);
  if (Application->ParamCount() >= 1 && w.OpenStory)
    w.OpenStory(this, Application->ParamStr(1), Application->ParamStr(1), false);
}

// ---------------------------------------------------------------------------
// the wallpaper

bool TMainForm::HasWallpaper() const { return FileExists(FRoot + "data/Wallpaper/bk.bmp"); }

namespace {
TMainForm* gWallpaperFrame = nullptr;
}

void TMainForm::InstallWallpaper() {
  if (FOldClientProc || !ClientHandle()) return;
  gWallpaperFrame = this;
  FSubclassedClient = ClientHandle();
  FOldClientProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(FSubclassedClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WallpaperProc)));
  InvalidateRect(FSubclassedClient, nullptr, TRUE);
}

void TMainForm::RemoveWallpaper() {
  if (!FOldClientProc) return;
  if (IsWindow(FSubclassedClient) &&
      GetWindowLongPtrA(FSubclassedClient, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WallpaperProc))
    SetWindowLongPtrA(FSubclassedClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldClientProc));
  FOldClientProc = nullptr;
  FSubclassedClient = nullptr;
  if (gWallpaperFrame == this) gWallpaperFrame = nullptr;
}

void TMainForm::PaintWallpaper(HDC DC) {
  TGraphic* picture = bkImage->Picture()->Graphic();
  const int w = picture->Width(), h = picture->Height();
  int cols = 0, rows = 0;
  WallpaperTiles(ClientWidth(), ClientHeight(), w, h, cols, rows);
  TCanvas canvas;
  canvas.SetHandle(DC);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) canvas.Draw(c * w, r * h, picture);
  canvas.SetHandle(nullptr);
}

LRESULT TMainForm::WallpaperProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMainForm* f = gWallpaperFrame;
  if (!f || !f->FOldClientProc) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  if (Msg == WM_ERASEBKGND) {
    // A file that holds no usable picture leaves the client's own background.
    TGraphic* picture = f->bkImage->Picture()->Graphic();
    if (picture && !picture->Empty() && picture->Width() > 0 && picture->Height() > 0) {
      f->PaintWallpaper(reinterpret_cast<HDC>(WParam));
      return 1;
    }
  }
  return CallWindowProcA(f->FOldClientProc, Wnd, Msg, WParam, LParam);
}

// ---------------------------------------------------------------------------
// closing and the tray

void TMainForm::SaveLibrary() {
  try {
    LibDataModule->save();
  } catch (const Exception&) {
    Application->HandleException(this);
  }
}

bool TMainForm::HideToTray() {
  TrayIcon1->HideMainWindow();
  if (TrayIcon1->AddTrayIcon()) return true;
  // No notification area: hidden, the program could not be reached again.
  TrayIcon1->RestoreMainWindow();
  return false;
}

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
  // Without a notification area to hide in, closing ends the program as the
  // tray's exit would.
  CanClose = FExiting || !HideToTray();
  SaveLibrary();
}

void TMainForm::FormClose(TObject*, TCloseAction&) {
  FExiting = false;
  TrayIcon1->HideMainWindow();
  TrayIcon1->SetIconVisible(false);
  SaveLibrary();
}

void TMainForm::TrayIcon1DblClick(TObject* Sender) { showClick(Sender); }

void TMainForm::showClick(TObject*) {
  try {
    TrayIcon1->RestoreMainWindow();
  } catch (...) {
  }
  TrayIcon1->SetIconVisible(false);
}

void TMainForm::hideClick(TObject*) { HideToTray(); }

void TMainForm::exitprogramClick(TObject*) {
  FExiting = true;
  Close();
}

// ---------------------------------------------------------------------------
// commands

void TMainForm::N2Click(TObject*) {
  OpenDialog->SetInitialDir(FRoot + "data/");
  OpenDialog->SetFilter(A("Penvarro 文档 |*.l"));
  if (!OpenDialog->Execute()) return;
  FLibraryPath = OpenDialog->FileName();
  ConnectLibrary();
}

void TMainForm::FileOpenItemClick(TObject*) {
  OpenDialog->SetInitialDir(FRoot + "story/");
  OpenDialog->SetFilter(A("Penvarro 文档 |*.t"));
  if (!OpenDialog->Execute() || !FrameWindows().OpenStory) return;
  const AnsiString file = OpenDialog->FileName();
  const AnsiString name = ExtractFileName(file);
  FrameWindows().OpenStory(this, file, name.substr(0, name.size() >= 2 ? name.size() - 2 : 0), true);
}

void TMainForm::FileNewItemClick(TObject*) {
  AnsiString answer;
  if (!InputQuery(A("新建文件:"), A("文件名"), answer)) return;
  const AnsiString name = Trim(answer);
  if (name.empty()) return;
  AnsiString why;
  if (!ValidStoryName(name, why)) {
    ShowMessage(why);
    return;
  }
  const AnsiString file = FRoot + "story/" + name + ".t";
  // An existing story of that name is opened unchanged.
  if (!FileExists(file)) {
    const AnsiString templ = FRoot + "data/template.te";
    if (!FileExists(templ)) {
      ShowMessage(A("找不到模板文件：") + templ);
      return;
    }
    if (!CopyFile(templ, file, true) && !FileExists(file)) {
      ShowMessage(A("无法建立文件：") + file);
      return;
    }
  }
  if (FrameWindows().OpenStory) FrameWindows().OpenStory(this, file, name, true);
}

void TMainForm::kxBarButtonExitClick(TObject*) { Close(); }

void TMainForm::N4Click(TObject*) {
  if (FrameWindows().NewNarrativeWindow) FrameWindows().NewNarrativeWindow(this);
}

void TMainForm::SystemModuleClick(TObject*) {
  if (FrameWindows().NewDesignWindow) FrameWindows().NewDesignWindow(this);
}

void TMainForm::StoryDesignMenuClick(TObject*) {
  if (FrameWindows().NewTemplateWindow) FrameWindows().NewTemplateWindow(this);
}

void TMainForm::QzSystemSetClick(TObject*) {
  if (!FrameWindows().ShowSettings) return;
  LibDataModule->SystemSetADOTable->SetActive(true);
  FrameWindows().ShowSettings(this);
}

void TMainForm::kxBarButton10Click(TObject*) {
  if (FrameWindows().NewLibraryReplaceWindow) FrameWindows().NewLibraryReplaceWindow(this);
}

void TMainForm::kxBarButton12Click(TObject*) {
  if (FrameWindows().NewCopyWindow) FrameWindows().NewCopyWindow(this);
}

void TMainForm::kxBarButton19Click(TObject*) {
  SetHeight(50);
  SetWidth(10);
}

void TMainForm::SetStyles(TkxDockingViewStyle ViewStyle, TkxBarManagerStyle BarStyle) {
  LibDataModule->DockingManager->SetViewStyle(ViewStyle);
  BarManager->SetStyle(BarStyle);
}

void TMainForm::kxBarButtonStandardViewClick(TObject*) { SetStyles(vsStandard, bmsStandard); }
void TMainForm::kxBarButtonNETViewClick(TObject*) { SetStyles(vsNET, bmsFlat); }
void TMainForm::kxBarButtonOffice11ViewClick(TObject*) { SetStyles(vsOffice11, bmsOffice11); }
void TMainForm::kxBarButtonXPViewClick(TObject*) { SetStyles(vsXP, bmsXP); }

void TMainForm::kxBarButton11Click(TObject*) {
  ShellExecuteA(Handle(), "OPEN", kProductPage, nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void TMainForm::CopyBarStyle(TkxBarManager* ChildManager) const { ChildManager->SetStyle(BarManager->Style()); }

// ---------------------------------------------------------------------------
// start-up

void RegisterMainForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TMainForm::StaticClass()});
  RegisterHandlers<TMainForm>([](THandlerBuilder<TMainForm>& h) {
    using F = TMainForm;
    h.Field("bkImage", &F::bkImage);
    h.Field("Label1", &F::Label1);
    h.Field("OpenDialog", &F::OpenDialog);
    h.Field("ActionList1", &F::ActionList1);
    h.Field("WindowCascade1", &F::WindowCascade1);
    h.Field("WindowTileHorizontal1", &F::WindowTileHorizontal1);
    h.Field("WindowTileVertical1", &F::WindowTileVertical1);
    h.Field("WindowMinimizeAll1", &F::WindowMinimizeAll1);
    h.Field("WindowArrange1", &F::WindowArrange1);
    h.Field("TrayIcon1", &F::TrayIcon1);
    h.Field("TrayPopupMenu11", &F::TrayPopupMenu11);
    h.Field("show", &F::show);
    h.Field("hide", &F::hide);
    h.Field("exitprogram", &F::exitprogram);
    h.Field("BarManager", &F::BarManager);
    h.Field("FileMenu", &F::FileMenu);
    h.Field("ViewMenu", &F::ViewMenu);
    h.Field("ProjectMenu", &F::ProjectMenu);
    h.Field("HelpMenu", &F::HelpMenu);
    h.Field("N2", &F::N2);
    h.Field("FileOpenItem", &F::FileOpenItem);
    h.Field("FileNewItem", &F::FileNewItem);
    h.Field("kxBarButtonExit", &F::kxBarButtonExit);
    h.Field("N4", &F::N4);
    h.Field("SystemModule", &F::SystemModule);
    h.Field("StoryDesignMenu", &F::StoryDesignMenu);
    h.Field("StoryDesignMenu2", &F::StoryDesignMenu2);
    h.Field("QzSystemSet", &F::QzSystemSet);
    h.Field("kxBarButton10", &F::kxBarButton10);
    h.Field("kxBarButton12", &F::kxBarButton12);
    h.Field("kxBarButton19", &F::kxBarButton19);
    h.Field("kxBarButtonStandardView", &F::kxBarButtonStandardView);
    h.Field("kxBarButtonNETView", &F::kxBarButtonNETView);
    h.Field("kxBarButtonOffice11View", &F::kxBarButtonOffice11View);
    h.Field("kxBarButtonXPView", &F::kxBarButtonXPView);
    h.Field("kxBarButton11", &F::kxBarButton11);
    h.Handler("FormCreate", &F::FormCreate);
    h.Handler("FormShow", &F::FormShow);
    h.Handler("FormCloseQuery", &F::FormCloseQuery);
    h.Handler("FormClose", &F::FormClose);
    h.Handler("N2Click", &F::N2Click);
    h.Handler("FileOpenItemClick", &F::FileOpenItemClick);
    h.Handler("FileNewItemClick", &F::FileNewItemClick);
    h.Handler("kxBarButtonExitClick", &F::kxBarButtonExitClick);
    h.Handler("N4Click", &F::N4Click);
    h.Handler("SystemModuleClick", &F::SystemModuleClick);
    h.Handler("StoryDesignMenuClick", &F::StoryDesignMenuClick);
    h.Handler("QzSystemSetClick", &F::QzSystemSetClick);
    h.Handler("kxBarButton10Click", &F::kxBarButton10Click);
    h.Handler("kxBarButton12Click", &F::kxBarButton12Click);
    h.Handler("kxBarButton19Click", &F::kxBarButton19Click);
    h.Handler("kxBarButtonStandardViewClick", &F::kxBarButtonStandardViewClick);
    h.Handler("kxBarButtonNETViewClick", &F::kxBarButtonNETViewClick);
    h.Handler("kxBarButtonOffice11ViewClick", &F::kxBarButtonOffice11ViewClick);
    h.Handler("kxBarButtonXPViewClick", &F::kxBarButtonXPViewClick);
    h.Handler("kxBarButton11Click", &F::kxBarButton11Click);
    h.Handler("TrayIcon1DblClick", &F::TrayIcon1DblClick);
    h.Handler("showClick", &F::showClick);
    h.Handler("hideClick", &F::hideClick);
    h.Handler("exitprogramClick", &F::exitprogramClick);
  });
}
