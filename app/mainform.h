// The workbench's one MDI frame. It finds the installation root, connects the
// library file, restores the docking layout and the wallpaper, and offers the
// commands that open every other window. Closing it hides the program to the
// notification area (or minimises it where the desktop has none); only the
// tray menu's exit command ends the program.
#pragma once
#include "app/cooltrayicon.h"
#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "docking/kxdocktypes.h"
#include "platform/controls/actnlist.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"

class TMainForm;

// The windows the frame opens that other units provide. A command whose
// window is not provided is disabled (opening a story: only the new file is
// made).
struct TFrameWindows {
  // Opens FileName in a new story window owned by the frame, captioned
  // Caption; with CopyBarStyle the window's bars take the frame's style.
  void (*OpenStory)(TMainForm* Frame, const AnsiString& FileName, const AnsiString& Caption,
                    bool CopyBarStyle) = nullptr;
  // When the frame is first shown: the settings dialog, which loads the
  // editor settings and aids.
  void (*CreateSettings)(TMainForm* Frame) = nullptr;
  void (*ShowSettings)(TMainForm* Frame) = nullptr;
  void (*NewNarrativeWindow)(TMainForm* Frame) = nullptr;
  void (*NewDesignWindow)(TMainForm* Frame) = nullptr;
  void (*NewTemplateWindow)(TMainForm* Frame) = nullptr;
  void (*NewLibraryReplaceWindow)(TMainForm* Frame) = nullptr;
  void (*NewCopyWindow)(TMainForm* Frame) = nullptr;
};
TFrameWindows& FrameWindows();

// "   错误的文件格式.                   ": a library file that will not open.
extern const char* const kBadFileFormat;
// The product's web page, opened by the about command.
extern const char* const kProductPage;

// The installation root of an executable at ExeName: the path without its
// last ten characters (the executable is "bin/" and a six-character name).
AnsiString InstallationRoot(const AnsiString& ExeName);
// How many columns and rows of a PictureWidth x PictureHeight wallpaper tile
// a frame client of ClientWidth x ClientHeight (one more than fit whole in each
// direction; counts are 16-bit).
void WallpaperTiles(int ClientWidth, int ClientHeight, int PictureWidth, int PictureHeight, int& Columns,
                    int& Rows);
// Whether Name may become a story file name; Why says what is wrong.
bool ValidStoryName(const AnsiString& Name, AnsiString& Why);

class TMainForm : public TForm {
  PV_CLASS(TMainForm, TForm)
 public:
  explicit TMainForm(TComponent* AOwner);
  ~TMainForm() override;

  // ---- components of the description ----
  TImage* bkImage = nullptr;
  TLabel* Label1 = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TActionList* ActionList1 = nullptr;
  TWindowCascade* WindowCascade1 = nullptr;
  TWindowTileHorizontal* WindowTileHorizontal1 = nullptr;
  TWindowTileVertical* WindowTileVertical1 = nullptr;
  TWindowMinimizeAll* WindowMinimizeAll1 = nullptr;
  TWindowArrange* WindowArrange1 = nullptr;
  TCoolTrayIcon* TrayIcon1 = nullptr;
  TPopupMenu* TrayPopupMenu11 = nullptr;
  TMenuItem* show = nullptr;
  TMenuItem* hide = nullptr;
  TMenuItem* exitprogram = nullptr;
  TkxBarManager* BarManager = nullptr;
  TkxBarSubItem* FileMenu = nullptr;
  TkxBarSubItem* ViewMenu = nullptr;
  TkxBarSubItem* ProjectMenu = nullptr;
  TkxBarSubItem* HelpMenu = nullptr;
  TkxBarButton* N2 = nullptr;                  // 元库
  TkxBarButton* FileOpenItem = nullptr;        // 打开
  TkxBarButton* FileNewItem = nullptr;         // 新建
  TkxBarButton* kxBarButtonExit = nullptr;     // 退出
  TkxBarButton* N4 = nullptr;                  // 叙述分子
  TkxBarButton* SystemModule = nullptr;        // 设计分子
  TkxBarButton* StoryDesignMenu = nullptr;     // 设计模板
  TkxBarButton* StoryDesignMenu2 = nullptr;    // 叙事模板
  TkxBarButton* QzSystemSet = nullptr;         // 设置
  TkxBarButton* kxBarButton10 = nullptr;       // 查找
  TkxBarButton* kxBarButton12 = nullptr;       // 复制
  TkxBarButton* kxBarButton19 = nullptr;       // 背景最小化
  TkxBarButton* kxBarButtonStandardView = nullptr;
  TkxBarButton* kxBarButtonNETView = nullptr;
  TkxBarButton* kxBarButtonOffice11View = nullptr;
  TkxBarButton* kxBarButtonXPView = nullptr;
  TkxBarButton* kxBarButton11 = nullptr;       // 关于

  // ---- handlers ----
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void N2Click(TObject* Sender);
  void FileOpenItemClick(TObject* Sender);
  void FileNewItemClick(TObject* Sender);
  void kxBarButtonExitClick(TObject* Sender);
  void N4Click(TObject* Sender);
  void SystemModuleClick(TObject* Sender);
  void StoryDesignMenuClick(TObject* Sender);
  void QzSystemSetClick(TObject* Sender);
  void kxBarButton10Click(TObject* Sender);
  void kxBarButton12Click(TObject* Sender);
  void kxBarButton19Click(TObject* Sender);
  void kxBarButtonStandardViewClick(TObject* Sender);
  void kxBarButtonNETViewClick(TObject* Sender);
  void kxBarButtonOffice11ViewClick(TObject* Sender);
  void kxBarButtonXPViewClick(TObject* Sender);
  void kxBarButton11Click(TObject* Sender);
  void TrayIcon1DblClick(TObject* Sender);
  void showClick(TObject* Sender);
  void hideClick(TObject* Sender);
  void exitprogramClick(TObject* Sender);

  // ---- state ----
  const AnsiString& Root() const { return FRoot; }
  const AnsiString& LibraryPath() const { return FLibraryPath; }
  bool Exiting() const { return FExiting; }
  // Gives a child window's bar manager the frame's bar style.
  void CopyBarStyle(TkxBarManager* ChildManager) const;
  // Whether the MDI client paints the wallpaper.
  bool WallpaperInstalled() const { return FOldClientProc != nullptr; }

 private:
  // Connects the library at FLibraryPath and opens its tables; shows the bad
  // format message and returns false when either fails.
  bool ConnectLibrary();
  // Hides the program behind the notification icon; false (the frame left
  // shown) where the desktop has no notification area.
  bool HideToTray();
  void SaveLibrary();
  bool HasWallpaper() const;
  void InstallWallpaper();
  void RemoveWallpaper();
  void PaintWallpaper(HDC DC);
  void SetStyles(TkxDockingViewStyle ViewStyle, TkxBarManagerStyle BarStyle);
  static LRESULT WallpaperProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

  AnsiString FRoot;
  AnsiString FLibraryPath;
  bool FExiting = false;
  WNDPROC FOldClientProc = nullptr;
  HWND FSubclassedClient = nullptr;
};

extern TMainForm* MainForm;

void RegisterMainForm();
