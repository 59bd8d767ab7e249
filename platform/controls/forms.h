// Forms, data modules, the application and the screen.
//
// A form class reads the window description named after its class (and its
// ancestors' descriptions first) when it is constructed; handlers and component
// fields named there are bound through the class's handler table:
//
//   class TFrmMain : public TForm {
//     PV_CLASS(TFrmMain, TForm)
//    public:
//     explicit TFrmMain(TComponent* AOwner) : TForm(AOwner) {}
//     TButton* Button1 = nullptr;
//     void Button1Click(TObject* Sender);
//   };
//   RegisterClass(TFrmMain::StaticClass());
//   RegisterHandlers<TFrmMain>([](auto& h) {
//     h.Field("Button1", &TFrmMain::Button1);
//     h.Handler("Button1Click", &TFrmMain::Button1Click);
//   });
//   TFrmMain* f = NewObject<TFrmMain>(Application);   // or Application->CreateForm(f)
//
// `TForm(AOwner, 0)` (CreateNew) makes a form without reading any description.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/controls/controls.h"
#include "platform/controls/menus.h"
#include "platform/rtl/stringlist.h"

class TCustomForm;
class TDataModule;

// ---- modal results and message boxes ----
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                       mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;
// (IDOK ... and the MB_* flags come with the window manager's header.)

// Shows a message box and returns the ID* of the button chosen. The dialogs
// library installs the real one; until then a plain modal form serves.
using TMessageBoxProc = int (*)(HWND Owner, const AnsiString& Text, const AnsiString& Caption, UINT Flags);
void SetMessageBoxProc(TMessageBoxProc Proc);
TMessageBoxProc GetMessageBoxProc();
// The platform's call, through the installed procedure.
int MessageBoxA(HWND Owner, const char* Text, const char* Caption, UINT Flags);

// ---- test scripts for modal windows ----
// Each step runs once, when the next modal form has been shown and is about to
// run its loop; it answers the form (sets ModalResult, sends input, closes it).
// Dialogs built on forms (message boxes, file dialogs) are answered the same way.
using TModalScriptStep = std::function<void(TCustomForm* Form)>;
void PushModalScript(TModalScriptStep Step);
void ClearModalScript();
int PendingModalScriptSteps();

// ---- enumerations ----
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TTileMode { tbHorizontal, tbVertical };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
enum TPrintScale { poNone, poProportional, poPrintToFit };
PV_ENUM_NAMES(TFormStyle, "fsNormal fsMDIChild fsMDIForm fsStayOnTop")
PV_ENUM_NAMES(TBorderIcon, "biSystemMenu biMinimize biMaximize biHelp")
PV_ENUM_NAMES(TPosition,
              "poDesigned poDefault poDefaultPosOnly poDefaultSizeOnly poScreenCenter poDesktopCenter "
              "poMainFormCenter poOwnerFormCenter")
PV_ENUM_NAMES(TWindowState, "wsNormal wsMinimized wsMaximized")
PV_ENUM_NAMES(TTileMode, "tbHorizontal tbVertical")
PV_ENUM_NAMES(TDefaultMonitor, "dmDesktop dmPrimary dmMainForm dmActiveForm")
PV_ENUM_NAMES(TPrintScale, "poNone poProportional poPrintToFit")

using TShortCutEvent = TEvent<void(TWMKey& Msg, bool& Handled)>;

// Posted to a modal form to run the next step of the modal script.
constexpr UINT CM_RUNMODALSCRIPT = CM_BASE + 0x3F0;

// The text of a message box form (for scripts); "" for other forms. The
// dialogs library registers the text of the message forms it makes.
AnsiString PvMessageBoxText(const TCustomForm* Form);
void PvSetMessageBoxText(TCustomForm* Form, const AnsiString& Text);

class TScrollingWinControl;

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;
PV_ENUM_NAMES(TScrollBarKind, "sbHorizontal sbVertical")

// One scroll bar of a scrolling control (its window's own bar): Range is the
// extent of the contents in pixels, Position the offset shown at the left or
// top; the control's children move by the change of Position.
class TControlScrollBar : public TPersistent {
  PV_CLASS(TControlScrollBar, TPersistent)
 public:
  TControlScrollBar(TScrollingWinControl* AControl, TScrollBarKind AKind) : FControl(AControl), FKind(AKind) {}
  void Assign(TPersistent* Source) override;
  TScrollBarKind Kind() const { return FKind; }
  TScrollingWinControl* Control() const { return FControl; }
  // Pixels per line step (arrow buttons, wheel notch lines); 1 or more.
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value);
  // Kept within 0 .. Range - the client extent (0 when the bar is not needed).
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  // Set by AutoScroll from the children; setting it turns AutoScroll off. Not negative.
  int Range() const { return FRange; }
  void SetRange(int Value);
  // When False the bar never shows and the contents do not scroll.
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Whether dragging the thumb scrolls at once or only when it is released.
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  // Whether the bar shows: visible and the contents larger than the client area.
  bool IsScrollBarVisible() const;
  // The position while the bar shows, else 0.
  int ScrollPos() const { return IsScrollBarVisible() ? FPosition : 0; }
  // The client extent the bar scrolls over.
  int ControlSize() const;

 private:
  friend class TScrollingWinControl;
  void DoSetRange(int Value);
  int MaxPosition() const;
  void ScrollMessage(TMessage& Message);
  TScrollingWinControl* FControl;
  TScrollBarKind FKind;
  int FIncrement = 8;
  int FPosition = 0;
  int FRange = 0;
  bool FVisible = true;
  bool FTracking = false;
};

// A windowed control that can scroll its contents (forms, scroll boxes). With
// AutoScroll the ranges follow the extent of the children, the window's bars
// show when the contents do not fit, and a child that receives the focus is
// scrolled into view.
class TScrollingWinControl : public TWinControl {
  PV_CLASS(TScrollingWinControl, TWinControl)
 public:
  explicit TScrollingWinControl(TComponent* AOwner);
  ~TScrollingWinControl() override;
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value);
  TControlScrollBar* HorzScrollBar() const { return FHorzScrollBar.get(); }
  void SetHorzScrollBar(TControlScrollBar* Value) { FHorzScrollBar->Assign(Value); }
  TControlScrollBar* VertScrollBar() const { return FVertScrollBar.get(); }
  void SetVertScrollBar(TControlScrollBar* Value) { FVertScrollBar->Assign(Value); }
  // Scrolls so that AControl (a child or deeper descendant) is in view.
  void ScrollInView(TControl* AControl);
  // ScrollInView when AutoScroll is on (the form calls it for the focused control).
  void AutoScrollInView(TControl* AControl);
  // Recomputes the ranges (AutoScroll) and shows, hides and sets the window's bars.
  void UpdateScrollBars();
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateWnd() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

 protected:
  friend class TControlScrollBar;
  void CalcAutoRange();
  void WMSize(TWMSize& Message);
  void WMHScroll(TMessage& Message);
  void WMVScroll(TMessage& Message);

 private:
  bool FAutoScroll = false;
  bool FBarsUsed = false;  // a range was set or AutoScroll was on: the control owns its window's bars
  int FUpdatingScrollBars = 0;
  int FAutoRangeLevel = 0;
  std::unique_ptr<TControlScrollBar> FHorzScrollBar;
  std::unique_ptr<TControlScrollBar> FVertScrollBar;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_HSCROLL, TMessage, WMHScroll)
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll)
  END_MESSAGE_MAP(TWinControl)
};

// ---- forms ----
class TCustomForm : public TScrollingWinControl {
  PV_CLASS(TCustomForm, TScrollingWinControl)
 public:
  // Reads the descriptions of the form's class when construction finishes.
  explicit TCustomForm(TComponent* AOwner);
  // CreateNew: a form with no description.
  TCustomForm(TComponent* AOwner, int Dummy);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // -- showing --
  void Show();
  // Shows the form modally: every other window is disabled while a nested loop
  // runs until ModalResult is set (Close sets mrCancel). Returns ModalResult.
  virtual int ShowModal();
  // Asks CloseQuery, then runs OnClose and hides, frees or minimises the form.
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages being handled are done.
  void Release();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TFormState FormState() const { return FFormState; }
  bool Active() const { return FActive; }

  // -- style --
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
  void SetDefaultMonitor(TDefaultMonitor Value) { FDefaultMonitor = Value; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  TIcon* Icon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
  int TextHeight() const { return FTextHeight; }
  void SetTextHeight(int Value) { FTextHeight = Value; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool Value) { FScaled = Value; }
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
  TPrintScale PrintScale() const { return FPrintScale; }
  void SetPrintScale(TPrintScale Value) { FPrintScale = Value; }
  int HelpFileDummy() const { return 0; }
  TCanvas* Canvas() const { return FCanvas.get(); }

  // -- focus --
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  // Makes Control the focused control of the form; CM_EXIT and CM_ENTER go to
  // the controls left and entered. False when an OnExit handler refused.
  bool SetFocusedControl(TWinControl* Control);
  void FocusControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  void SetFocus() override;
  bool CanFocus() override;
  // The form's shortcuts: OnShortCut, its menu, then its action lists.
  virtual bool IsShortCut(TWMKey& Message);
  // Brings every action of the form (its lists, controls and menus) up to date.
  void UpdateActions();

  // -- MDI --
  HWND ClientHandle() const { return FClientHandle; }
  TCustomForm* ActiveMDIChild();
  int MDIChildCount();
  TCustomForm* MDIChildren(int Index);
  void Cascade();
  void Tile();
  void ArrangeIcons();
  void Next();
  void Previous();
  TTileMode TileMode() const { return FTileMode; }
  void SetTileMode(TTileMode Value) { FTileMode = Value; }
  // ClientWidth/ClientHeight as a description sets them (applied once it is read).
  void SetDescClientWidth(int Value);
  void SetDescClientHeight(int Value);
  TMenuItem* WindowMenu() const { return FWindowMenu; }
  void SetWindowMenu(TMenuItem* Value) { FWindowMenu = Value; }

  // -- events --
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TComponent* GetChildOwner() override { return this; }
  void SetParent(TWinControl* AParent) override;
  bool HasParent() const override { return false; }
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  TRect ClientRect() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  bool Showing() const override { return FShowing; }

 protected:
  friend class TApplication;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void PaintWindow(HDC DC) override;
  void CloseModal();
  void UpdateWindowState();
  void MergeMenu(bool MergeState);
  void PlaceForm();
  std::vector<TCustomForm*> MDIChildList();
  void ActivateMDIChild(TCustomForm* Child);

  void WMClose(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMSysCommand(TMessage& Message);
  void WMCommand2(TWMCommand& Message);
  // The menu bar's submenus (their item's OnClick) and its owner-drawn items.
  void WMMenuMessage(TMessage& Message);
  void WMSize2(TWMSize& Message);
  void WMGetMinMaxInfo(TMessage& Message);
  void WMMouseActivate(TMessage& Message);
  void WMNCActivate(TMessage& Message);
  void WMShowWindow(TMessage& Message);
  void CMActivate(TMessage& Message);
  void CMDeactivate(TMessage& Message);
  void CMDialogKey2(TMessage& Message);
  void CMShowingChanged2(TMessage& Message);
  void CMVisibleChanged3(TMessage& Message);
  void CMRelease(TMessage& Message);
  void CMTextChanged2(TMessage& Message);
  void CMMenuChanged(TMessage& Message);
  void CMRunModalScript(TMessage& Message);

  TFormState FFormState;
  TModalResult FModalResult = mrNone;
  bool FActive = false;
  bool FCreateNew = false;
  TFormStyle FFormStyle = fsNormal;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = {biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TDefaultMonitor FDefaultMonitor = dmActiveForm;
  bool FKeyPreview = false;
  TMainMenu* FMenu = nullptr;
  std::unique_ptr<TIcon> FIcon;
  void IconChanged(TObject* Sender);
  AnsiString FMessageBoxText;  // see PvMessageBoxText
  friend AnsiString PvMessageBoxText(const TCustomForm* Form);
  friend void PvSetMessageBoxText(TCustomForm* Form, const AnsiString& Text);
  int FPixelsPerInch = 96;
  int FTextHeight = 13;
  bool FScaled = true;
  bool FOldCreateOrder = false;
  TPrintScale FPrintScale = poProportional;
  std::unique_ptr<TControlCanvas> FCanvas;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  HWND FClientHandle = nullptr;
  TTileMode FTileMode = tbHorizontal;
  TMenuItem* FWindowMenu = nullptr;
  int FClientWidth = 0, FClientHeight = 0;  // from a description, applied when loaded
  bool FDestroyedHandled = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CLOSE, TMessage, WMClose)
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate)
    PV_MESSAGE_HANDLER(WM_SYSCOMMAND, TMessage, WMSysCommand)
    PV_MESSAGE_HANDLER(WM_COMMAND, TWMCommand, WMCommand2)
    PV_MESSAGE_HANDLER(WM_INITMENUPOPUP, TMessage, WMMenuMessage)
    PV_MESSAGE_HANDLER(WM_MEASUREITEM, TMessage, WMMenuMessage)
    PV_MESSAGE_HANDLER(WM_DRAWITEM, TMessage, WMMenuMessage)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize2)
    PV_MESSAGE_HANDLER(WM_GETMINMAXINFO, TMessage, WMGetMinMaxInfo)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate)
    PV_MESSAGE_HANDLER(CM_ACTIVATE, TMessage, CMActivate)
    PV_MESSAGE_HANDLER(CM_DEACTIVATE, TMessage, CMDeactivate)
    PV_MESSAGE_HANDLER(CM_DIALOGKEY, TMessage, CMDialogKey2)
    PV_MESSAGE_HANDLER(CM_SHOWINGCHANGED, TMessage, CMShowingChanged2)
    PV_MESSAGE_HANDLER(CM_VISIBLECHANGED, TMessage, CMVisibleChanged3)
    PV_MESSAGE_HANDLER(CM_RELEASE, TMessage, CMRelease)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged2)
    PV_MESSAGE_HANDLER(CM_MENUCHANGED, TMessage, CMMenuChanged)
    PV_MESSAGE_HANDLER(CM_RUNMODALSCRIPT, TMessage, CMRunModalScript)
  END_MESSAGE_MAP(TScrollingWinControl)
};

class TForm : public TCustomForm {
  PV_CLASS(TForm, TCustomForm)
 public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
  TForm(TComponent* AOwner, int Dummy) : TCustomForm(AOwner, Dummy) {}
};

// ---- data modules ----
class TDataModule : public TComponent {
  PV_CLASS(TDataModule, TComponent)
 public:
  explicit TDataModule(TComponent* AOwner);
  TDataModule(TComponent* AOwner, int Dummy);  // CreateNew
  ~TDataModule() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TComponent* GetChildOwner() override { return this; }
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool Value) { FOldCreateOrder = Value; }
  // The designer's size and position, kept for the description only.
  int DesignHeight = 0, DesignWidth = 0, DesignLeft = 0, DesignTop = 0;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

 private:
  bool FCreateNew = false;
  bool FOldCreateOrder = false;
  bool FDestroyed = false;
};

// ---- the screen ----
class TMonitor : public TObject {
  PV_CLASS(TMonitor, TObject)
 public:
  explicit TMonitor(HMONITOR H) : FHandle(H) {}
  HMONITOR Handle() const { return FHandle; }
  int MonitorNum() const { return 0; }
  TRect BoundsRect() const;
  TRect WorkareaRect() const;
  bool Primary() const { return true; }
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const { return BoundsRect().Width(); }
  int Height() const { return BoundsRect().Height(); }

 private:
  HMONITOR FHandle;
};

class TScreen : public TComponent {
  PV_CLASS(TScreen, TComponent)
 public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // A cursor other than crDefault overrides every control's cursor.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor handle of an index (crArrow ... and registered ones); the arrow for unknown indexes.
  HCURSOR Cursors(int Index) const;
  void SetCursors(int Index, HCURSOR Handle);

  TCustomForm* ActiveForm() const { return FActiveForm; }
  TCustomForm* ActiveCustomForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int Index) const;
  int CustomFormCount() const { return FormCount(); }
  TCustomForm* CustomForms(int Index) const { return Forms(Index); }
  int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
  TDataModule* DataModules(int Index) const;

  int Width() const;
  int Height() const;
  int DesktopWidth() const { return Width(); }
  int DesktopHeight() const { return Height(); }
  TRect WorkAreaRect() const;
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int WorkAreaLeft() const { return WorkAreaRect().left; }
  int WorkAreaTop() const { return WorkAreaRect().top; }
  int PixelsPerInch() const { return 96; }
  // The face names of the fonts that can be used, sorted.
  TStrings* Fonts();
  TFont* HintFont() const { return FHintFont.get(); }
  TFont* MenuFont() const { return FMenuFont.get(); }
  TFont* IconFont() const { return FIconFont.get(); }
  int MonitorCount() const { return 1; }
  TMonitor* Monitors(int Index) const;
  TMonitor* MonitorFromPoint(const TPoint& Point, DWORD MonitorDefault = MONITOR_DEFAULTTONEAREST) const;
  TMonitor* MonitorFromWindow(HWND Handle, DWORD MonitorDefault = MONITOR_DEFAULTTONEAREST) const;
  TMonitor* MonitorFromRect(const TRect& Rect, DWORD MonitorDefault = MONITOR_DEFAULTTONEAREST) const;

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

 private:
  friend class TCustomForm;
  friend class TDataModule;
  friend class TApplication;
  void AddForm(TCustomForm* F);
  void RemoveForm(TCustomForm* F);
  void SetActiveForm(TCustomForm* F);
  void SetActiveControl(TWinControl* C);
  TCursor FCursor = crDefault;
  std::vector<std::pair<int, HCURSOR>> FCursorList;
  mutable std::vector<std::pair<int, HCURSOR>> FOwnCursors;  // the library's own shapes, made on first use
  std::vector<TCustomForm*> FForms;
  std::vector<TDataModule*> FDataModules;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  std::unique_ptr<TStringList> FFonts;
  std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont;
  std::unique_ptr<TMonitor> FMonitor;
};

// ---- the application ----
using TExceptionEvent = TEvent<void(TObject* Sender, Exception* E)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TEvent<void(MSG& Msg, bool& Handled)>;
using TShowHintEvent = TEvent<void(AnsiString& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplication : public TComponent {
  PV_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize() {}
  // Creates a form or data module owned by the application; the first form
  // becomes the main form. Reference is set before the description is read.
  template <class T>
  void CreateForm(T*& Reference) {
    T* inst = new T(this);
    Reference = inst;
    if constexpr (std::is_base_of_v<TCustomForm, T>)
      if (!FMainForm) FMainForm = inst;
    try {
      pv_detail::Constructed(inst);
    } catch (...) {
      if (FMainForm == static_cast<void*>(inst)) FMainForm = nullptr;
      Reference = nullptr;
      throw;
    }
  }
  // Shows the main form (when ShowMainForm) and runs the message loop until
  // Terminate or the main form closes.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles every waiting message, then returns.
  void ProcessMessages();
  // Handles one message, or idles (OnIdle, action updates) and waits for one.
  void HandleMessage();
  // Shows the exception that Sender let escape (OnException instead when
  // assigned); EAbort is silent. Called by the message loop and window procedures.
  void HandleException(TObject* Sender);
  void ShowException(const Exception* E);
  int MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags = MB_OK);

  AnsiString Title() const { return FTitle; }
  void SetTitle(const AnsiString& Value) { FTitle = Value; }
  AnsiString ExeName() const;
  TCustomForm* MainForm() const { return FMainForm; }
  void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }
  HWND Handle();
  bool Active() const { return FActive; }
  void Minimize();
  void Restore();
  void BringToFront();
  int ModalLevel() const { return FModalLevel; }

  // The program's help file (none unless set).
  AnsiString HelpFile() const { return FHelpFile; }
  void SetHelpFile(const AnsiString& Value) { FHelpFile = Value; }

  // Hints.
  AnsiString Hint() const { return FHint; }
  void SetHint(const AnsiString& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int Value) { FHintShortPause = Value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value);
  void ActivateHint(const TPoint& CursorPos);
  void CancelHint();
  void HideHint();
  // The shared hint window (created on demand); shown while a hint is up.
  THintWindow* HintWindow() const { return FHintWindow; }
  TControl* HintControl() const { return FHintControl; }

  // Forgets a control that is being destroyed (hint and mouse tracking).
  void ControlDestroyed(TControl* Control);
  // Idle processing: OnIdle and the action update of every form.
  void DoIdle(bool& Done);
  bool ExecuteAction(TBasicAction* Action);
  bool UpdateAction(TBasicAction* Action);
  bool IsShortCut(TWMKey& Message);

  // Command line.
  void SetArgs(int argc, const char* const* argv);
  int ParamCount() const { return static_cast<int>(FArgs.size()) - 1; }
  AnsiString ParamStr(int Index) const;

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TMessageEvent OnMessage;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TActionEvent OnActionExecute;
  TActionEvent OnActionUpdate;
  TShortCutEvent OnShortCut;

 protected:
  friend class TCustomForm;
  bool ProcessMessage(MSG& Msg);
  void Idle(const MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  bool IsHintMsg(MSG& Msg);
  bool IsMDIMsg(MSG& Msg);
  void HintMouseMessage(TControl* Control, MSG& Msg);
  void DoMouseIdle();
  void HintTimerExpired();
  void WndProc(TMessage& Message);
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void StartHintTimer(int Value);
  void StopHintTimer();
  AnsiString FTitle;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  bool FActive = true;
  int FModalLevel = 0;
  bool FHandlingException = false;
  HWND FHandle = nullptr;
  std::vector<AnsiString> FArgs;
  AnsiString FHint;
  bool FShowHint = true;
  int FHintPause = 500, FHintShortPause = 50, FHintHidePause = 2500;
  AnsiString FHelpFile;
  TColor FHintColor = clInfoBk;
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;
  TControl* FMouseControl = nullptr;
  bool FHintActive = false;
  bool FHintTimerRunning = false;
  TRect FHintCursorRect;
  int FHintTimerKind = 0;  // 1: show after the pause; 2: hide after the hide pause
};

extern TApplication* Application;
extern TScreen* Screen;

// Creates Application and Screen (once) and registers this unit's classes.
void InitForms();
// Frees forms, Application and Screen (tests and the end of the program).
void DoneForms();
void InitFormsProps();
