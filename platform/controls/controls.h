// The control classes of the class library: TControl (position, alignment,
// anchors, constraints, text, font, colour, hints, pop-up menus, mouse and drag
// events), TWinControl (a control with a window: creation parameters, the
// window procedure, focus and tab order, keyboard, child alignment, reflection
// of parent notifications as CN_* messages), TCustomControl and TGraphicControl
// (controls that paint on a canvas), the hint window, and the drag manager.
//
// Messages reach a control through Perform / its window: WindowProc (replaceable
// for subclassing, WndProc by default) -> Dispatch, which calls the handlers a
// class declares in its message map, and DefaultHandler for the rest:
//
//   class TMyControl : public TCustomControl {
//     void WMSize(TWMSize& Message);
//     BEGIN_MESSAGE_MAP
//       PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
//     END_MESSAGE_MAP(TCustomControl)
//   };
#pragma once
#include <functional>
#include <memory>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/controls/actnlist.h"
#include "platform/controls/graphics.h"
#include "platform/win/system.h"
#include "platform/win/winuser.h"

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;
class TDragObject;
class TDragImageList;
class TCustomImageList;

// ---- messages of the class library ----
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
               CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
               CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
               CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
               CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
               CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
               CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
               CM_CTL3DCHANGED = CM_BASE + 16, CM_PARENTCTL3DCHANGED = CM_BASE + 17,
               CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20,
               CM_MENUCHANGED = CM_BASE + 21, CM_APPKEYDOWN = CM_BASE + 22,
               CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24,
               CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
               CM_DESIGNHITTEST = CM_BASE + 28, CM_ICONCHANGED = CM_BASE + 29,
               CM_WANTSPECIALKEY = CM_BASE + 30, CM_INVOKEHELP = CM_BASE + 31,
               CM_WINDOWHOOK = CM_BASE + 32, CM_RELEASE = CM_BASE + 33,
               CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
               CM_SYSCOLORCHANGE = CM_BASE + 36, CM_WININICHANGE = CM_BASE + 37,
               CM_FONTCHANGE = CM_BASE + 38, CM_TIMECHANGE = CM_BASE + 39,
               CM_TABSTOPCHANGED = CM_BASE + 40, CM_UIACTIVATE = CM_BASE + 41,
               CM_UIDEACTIVATE = CM_BASE + 42, CM_DOCWINDOWACTIVATE = CM_BASE + 43,
               CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_GETDATALINK = CM_BASE + 45,
               CM_CHILDKEY = CM_BASE + 46, CM_DRAG = CM_BASE + 47, CM_HINTSHOW = CM_BASE + 48,
               CM_DIALOGHANDLE = CM_BASE + 49, CM_ISTOOLCONTROL = CM_BASE + 50,
               CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
               CM_SYSFONTCHANGED = CM_BASE + 53, CM_CONTROLCHANGE = CM_BASE + 54,
               CM_CHANGED = CM_BASE + 55, CM_DOCKCLIENT = CM_BASE + 56, CM_UNDOCKCLIENT = CM_BASE + 57,
               CM_FLOAT = CM_BASE + 58, CM_BORDERCHANGED = CM_BASE + 59,
               CM_BIDIMODECHANGED = CM_BASE + 60, CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
               CM_ALLCHILDRENFLIPPED = CM_BASE + 62, CM_ACTIONUPDATE = CM_BASE + 63,
               CM_ACTIONEXECUTE = CM_BASE + 64, CM_HINTSHOWPAUSE = CM_BASE + 65,
               CM_DOCKNOTIFICATION = CM_BASE + 66, CM_MOUSEWHEEL = CM_BASE + 67,
               CM_ISSHORTCUT = CM_BASE + 68;

// Notifications a parent reflects back to the child window that sent them.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM, CN_COMMAND = CN_BASE + WM_COMMAND,
               CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM, CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
               CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG, CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
               CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
               CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX,
               CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR,
               CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC, CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
               CN_DRAWITEM = CN_BASE + WM_DRAWITEM, CN_HSCROLL = CN_BASE + WM_HSCROLL,
               CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM, CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
               CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM, CN_VSCROLL = CN_BASE + WM_VSCROLL,
               CN_KEYDOWN = CN_BASE + WM_KEYDOWN, CN_KEYUP = CN_BASE + WM_KEYUP, CN_CHAR = CN_BASE + WM_CHAR,
               CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN, CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
               CN_NOTIFY = CN_BASE + WM_NOTIFY;

// The header of WM_NOTIFY's parameter block.
#ifndef PV_NMHDR_DEFINED
#define PV_NMHDR_DEFINED
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};
using LPNMHDR = NMHDR*;
#endif

// ---- message records ----
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(static_cast<std::uintptr_t>(LParam)); }
  WORD LParamHi() const { return HIWORD(static_cast<std::uintptr_t>(LParam)); }
};
// Typed views of a message: the same record, with named accessors.
struct TWMKey : TMessage {
  Word CharCode() const { return Word(WParam); }
  void SetCharCode(Word Value) { WParam = Value; }
  LPARAM KeyData() const { return LParam; }
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;
using TWMSysChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;
struct TWMMouse : TMessage {
  UINT Keys() const { return UINT(WParam); }
  int XPos() const { return GET_X_LPARAM(LParam); }
  int YPos() const { return GET_Y_LPARAM(LParam); }
  TPoint Pos() const { return {XPos(), YPos()}; }
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMMouseMove = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
struct TWMMouseWheel : TMessage {
  UINT Keys() const { return LOWORD(WParam); }
  int WheelDelta() const { return GET_WHEEL_DELTA_WPARAM(WParam); }
  int XPos() const { return GET_X_LPARAM(LParam); }
  int YPos() const { return GET_Y_LPARAM(LParam); }
};
struct TWMPaint : TMessage {
  HDC DC() const { return reinterpret_cast<HDC>(WParam); }
};
using TWMEraseBkgnd = TWMPaint;
struct TWMSize : TMessage {
  UINT SizeType() const { return UINT(WParam); }
  int Width() const { return LParamLo(); }
  int Height() const { return LParamHi(); }
};
struct TWMCommand : TMessage {
  WORD ItemID() const { return WParamLo(); }
  WORD NotifyCode() const { return WParamHi(); }
  HWND Ctl() const { return reinterpret_cast<HWND>(LParam); }
};
struct TWMNotify : TMessage {
  NMHDR* NMHdr() const { return reinterpret_cast<NMHDR*>(LParam); }
};
struct TWMContextMenu : TMessage {
  HWND hWnd() const { return reinterpret_cast<HWND>(WParam); }
  int XPos() const { return GET_X_LPARAM(LParam); }
  int YPos() const { return GET_Y_LPARAM(LParam); }
};
struct TWMSetCursor : TMessage {
  HWND CursorWnd() const { return reinterpret_cast<HWND>(WParam); }
  int HitTest() const { return SHORT(LParamLo()); }
  WORD MouseMsg() const { return LParamHi(); }
};
using TWMTimer = TMessage;
using TWMSetFocus = TMessage;
using TWMKillFocus = TMessage;
using TWMNCHitTest = TMessage;
using TCMEnter = TMessage;
using TCMExit = TMessage;

// Message maps: the handlers of one class, looked up by message number.
#define BEGIN_MESSAGE_MAP                       \
 public:                                        \
  void Dispatch(TMessage& Message) override {   \
    switch (Message.Msg) {
#define PV_MESSAGE_HANDLER(msg, type, meth) \
  case msg:                                  \
    meth(static_cast<type&>(Message));       \
    break;
#define MESSAGE_HANDLER PV_MESSAGE_HANDLER
#define END_MESSAGE_MAP(base)  \
  default:                     \
    base::Dispatch(Message);   \
    break;                     \
    }                          \
  }                            \
                               \
 private:

using TWndMethod = TEvent<void(TMessage& Message)>;

// ---- enumerations ----
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAlignSet = TSet<TAlign>;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
// The anchors an alignment gives a control (alNone and alCustom: left and top).
TAnchors AnchorsOfAlign(TAlign Align);
enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption,
  csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
  csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint,
  csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;
enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating,
  csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TDragKind { dkDrag, dkDock };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TFormBorderStyle = TBorderStyle;
enum TMouseActivate { maDefault, maActivate, maActivateAndEat, maNoActivate, maNoActivateAndEat };
enum TImeMode { imDisable, imClose, imOpen, imDontCare };

PV_ENUM_NAMES(TAlign, "alNone alTop alBottom alLeft alRight alClient alCustom")
PV_ENUM_NAMES(TAnchorKind, "akLeft akTop akRight akBottom")
PV_ENUM_NAMES(TDragMode, "dmManual dmAutomatic")
PV_ENUM_NAMES(TDragKind, "dkDrag dkDock")
PV_ENUM_NAMES(TBiDiMode, "bdLeftToRight bdRightToLeft bdRightToLeftNoAlign bdRightToLeftReadingOnly")
PV_ENUM_NAMES(TBorderStyle, "bsNone bsSingle bsSizeable bsDialog bsToolWindow bsSizeToolWin")
PV_ENUM_NAMES(TImeMode, "imDisable imClose imOpen imDontCare")

// ---- cursors ----
using TCursor = SmallInt;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22, crSize = -22;
bool CursorToIdent(int Cursor, AnsiString& Ident);
bool IdentToCursor(const AnsiString& Ident, int& Cursor);
const TIdentMap* CursorIdentMap();

// ---- events ----
using TDragOverEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TMouseWheelEvent = TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent = TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

// The shift state of a key or mouse message (from the keyboard state and,
// for mouse messages, the key flags).
TShiftState KeysToShiftState(UINT Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
// The current state of Shift, Ctrl and Alt and the mouse buttons.
TShiftState GetShiftState();

// ---- size constraints ----
class TSizeConstraints : public TPersistent {
  PV_CLASS(TSizeConstraints, TPersistent)
 public:
  explicit TSizeConstraints(TControl* Control = nullptr) : FControl(Control) {}
  void Assign(TPersistent* Source) override;
  int MaxHeight() const { return FMaxHeight; }
  int MaxWidth() const { return FMaxWidth; }
  int MinHeight() const { return FMinHeight; }
  int MinWidth() const { return FMinWidth; }
  // A maximum of 0 means no limit; a minimum above the maximum raises the maximum.
  void SetMaxHeight(int Value);
  void SetMaxWidth(int Value);
  void SetMinHeight(int Value);
  void SetMinWidth(int Value);
  TNotifyEvent OnChange;

 private:
  void Change();
  TControl* FControl;
  int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// ---- the control's link to an action ----
class TControlActionLink : public TActionLink {
  PV_CLASS(TControlActionLink, TActionLink)
 public:
  explicit TControlActionLink(TObject* AClient);
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsHelpContextLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const AnsiString& Value) override;
  void SetVisible(bool Value) override;
  void SetHelpContext(int Value) override;
  void SetOnExecute(const TNotifyEvent& Value) override;

 protected:
  TControl* FClient;
};

// ---- TControl ----
class TControl : public TComponent {
  PV_CLASS(TControl, TComponent)
 public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // -- hierarchy --
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  // A window handle (of a foreign window) to act as the parent when Parent is nil.
  // A child window that exists moves to the new parent window; taken away, its
  // handle goes (it is made again when needed).
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);

  // -- geometry (Left/Top in the parent's client coordinates; screen for top-level forms) --
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.Width(), R.Height()); }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().right; }
  int ClientHeight() { return ClientRect().bottom; }
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  void SetClientSize(int W, int H);
  // The screen position of the client area's origin.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(const TPoint& P);
  TPoint ScreenToClient(const TPoint& P);
  TPoint ClientToParent(const TPoint& P, TWinControl* AParent = nullptr);
  TPoint ParentToClient(const TPoint& P, TWinControl* AParent = nullptr);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);

  // -- state --
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show();
  void Hide() { SetVisible(false); }
  // Visible with every parent up to a showing top-level window.
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }

  // -- appearance --
  AnsiString Caption() { return GetText(); }
  void SetCaption(const AnsiString& Value) { SetText(Value); }
  AnsiString Text() { return GetText(); }
  void SetText(const AnsiString& Value);
  int GetTextLen() { return static_cast<int>(GetText().size()); }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TDragMode DragMode() const { return FDragMode; }
  virtual void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value) { FParentBiDiMode = Value; }
  bool IsRightToLeft() const { return false; }
  bool UseRightToLeftAlignment() const { return false; }
  bool UseRightToLeftReading() const { return false; }
  bool DesktopFont() const { return FDesktopFont; }
  void SetDesktopFont(bool Value) { FDesktopFont = Value; }

  // -- hints and pop-up menu --
  AnsiString Hint() const { return FHint; }
  void SetHint(const AnsiString& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  // -- action --
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }
  // Updates the linked action (the idle update calls this).
  virtual void InitiateAction();

  // -- messages --
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // -- painting --
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  // The position among the parent's controls (graphic controls and windows separately).
  virtual void SetZOrder(bool TopMost);

  // -- drag and drop --
  // Starts dragging now (Immediate) or once the mouse moves Threshold pixels
  // (-1: the system's drag distance).
  void BeginDrag(bool Immediate, int Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* Source, int X, int Y);

  // -- mouse capture --
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // -- events --
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;
  TContextPopupEvent OnContextPopup;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

  // -- for the library and descendants --
  virtual void Click();
  virtual void DblClick();
  // The text as stored (graphic controls) or as the window holds it.
  virtual AnsiString GetText();
  // Anchors and alignment are recomputed when the parent is resized.
  void UpdateAnchorRules();
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual TPopupMenu* GetPopupMenu();
  virtual void Changed();
  // The control's ancestor and the whole hierarchy up to the top.
  bool HasAncestor(const TControl* Ancestor) const;
  // Called by the drag manager.
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual TDragImageList* GetDragImages() { return nullptr; }
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);

 protected:
  friend class TWinControl;
  friend class TCustomForm;
  friend class TControlActionLink;
  // Text changes arrive here after the window (if any) has it.
  virtual void SetTextValue(const AnsiString& Value);
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void Resize();
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
  void DoConstraints(int& NewWidth, int& NewHeight);
  // Sizes the control to its content when AutoSize is set.
  virtual void AdjustSize();
  virtual void RequestAlign();
  virtual void VisibleChanging() {}
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void DoActionChange(TObject* Sender);
  virtual void UpdateBoundsRect(const TRect& R);
  virtual void SetParentComponentHook() {}
  void SendCancelMode(TControl* Sender);
  virtual void FontChanged(TObject* Sender);
  virtual void ConstraintsChanged(TObject* Sender);
  void InvalidateControl(bool IsVisible, bool IsOpaque);

  // handlers of the base message map
  void WMLButtonDown(TWMMouse& Message);
  void WMLButtonUp(TWMMouse& Message);
  void WMLButtonDblClk(TWMMouse& Message);
  void WMRButtonDown(TWMMouse& Message);
  void WMRButtonUp(TWMMouse& Message);
  void WMRButtonDblClk(TWMMouse& Message);
  void WMMButtonDown(TWMMouse& Message);
  void WMMButtonUp(TWMMouse& Message);
  void WMMouseMove(TWMMouse& Message);
  void WMMouseWheel(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void WMWindowPosChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void CMHitTest(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMHintShow(TMessage& Message);
  void CMMouseWheel(TMessage& Message);
  void CMDrag(TMessage& Message);

  TWinControl* FParent = nullptr;
  HWND FParentWindow = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = {akLeft, akTop};
  // Anchor rules: distances kept when the parent is resized.
  TPoint FAnchorOrigin;        // left/top at the time the rules were taken
  TSize FAnchorSize;           // width/height then
  TSize FOriginalParentSize;   // the parent's client size then (0: unknown)
  std::unique_ptr<TSizeConstraints> FConstraints;
  bool FAutoSize = false;
  bool FVisible = true;
  bool FEnabled = true;
  TControlStyle FControlStyle;
  TControlState FControlState;
  AnsiString FText;
  TColor FColor = clWindow;
  bool FParentColor = true;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FDesktopFont = false;
  TCursor FCursor = crDefault;
  TCursor FDragCursor = crDrag;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  AnsiString FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  int FHelpContext = 0;
  std::unique_ptr<TControlActionLink> FActionLink;
  bool FMouseInControl = false;

};

// ---- window creation parameters ----
struct TCreateParams {
  AnsiString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass;
  AnsiString WinClassName;
};

// ---- TWinControl ----
class TWinControl : public TControl {
  PV_CLASS(TWinControl, TControl)
 public:
  explicit TWinControl(TComponent* AOwner);
  // A control placed in a foreign window (no parent control).
  static TWinControl* CreateParented(TClass Cls, HWND ParentWindow);
  ~TWinControl() override;

  // -- the window --
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Destroys the window and creates it again with fresh creation parameters.
  void RecreateWnd();
  // The window procedure the window had before the class library took it over
  // (the standard class's procedure for wrapped controls).
  WNDPROC DefWndProc() const { return FDefWndProc; }

  // -- children --
  int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
  // Graphic controls first, then windowed controls, each in z-order from the bottom.
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(const TControl* Control) const;
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
  TControl* FindChildControl(const AnsiString& ControlName) const;
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT Msg);
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  // -- alignment --
  void DisableAlign();
  void EnableAlign();
  // Moves every child by DeltaX, DeltaY (scrolling the contents) and realigns.
  void ScrollBy(int DeltaX, int DeltaY);
  bool AlignDisabled() const { return FAlignLevel > 0; }
  void Realign();
  // Aligns every control with Align set, and repositions anchored ones.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect) {}
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);

  // -- focus and tab order --
  bool Focused();
  virtual bool CanFocus();
  virtual void SetFocus();
  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  // The controls in tab order, descending into containers.
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  void SelectFirst();

  // -- appearance --
  TBrush* Brush() const { return FBrush.get(); }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  AnsiString ImeName() const { return FImeName; }
  void SetImeName(const AnsiString& Value) { FImeName = Value; }
  bool Showing() const override { return FShowing; }
  // Paints the control and its children into DC with the client origin at X, Y.
  void PaintTo(HDC DC, int X, int Y);
  void PaintTo(TCanvas* Canvas, int X, int Y) { PaintTo(Canvas->Handle(), X, Y); }
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void SetZOrder(bool TopMost) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  AnsiString GetText() override;
  void SetParent(TWinControl* AParent) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  // The window procedure's entry: WindowProc with errors handed to the application.
  void MainWndProc(TMessage& Message);
  void InitiateAction() override;

  // -- keyboard events --
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  // -- for the library and descendants --
  virtual void CreateParams(TCreateParams& Params);
  // Wraps a window class of the platform ("EDIT", "LISTBOX" ...): its procedure
  // becomes DefWndProc and the window is created under Params.WinClassName.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  void DestroyHandle();
  void UpdateControlState();
  // Creates, shows or hides the window as Visible and the parent's showing state say.
  void UpdateShowing();
  virtual void PaintWindow(HDC DC);
  void PaintControls(HDC DC, TControl* First);
  void PaintHandler(TWMPaint& Message);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  bool DoKeyDown(TWMKey& Message);
  bool DoKeyPress(TWMKey& Message);
  bool DoKeyUp(TWMKey& Message);
  // Whether a key goes to a menu, action or form shortcut first.
  bool IsMenuKey(TWMKey& Message);
  // Mouse messages over a graphic child go to that child.
  bool IsControlMouseMsg(TWMMouse& Message);
  void Loaded() override;
  void ReadState(TReader* Reader) override;
  // The window procedure of every window the class library creates.
  static LRESULT StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

 protected:
  friend class TControl;
  void UpdateBounds();
  virtual void SetParentWindowHandle() {}
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void AlignControl(TControl* AControl);
  // No parent, no parent window and no window of its own, though a child window.
  bool IsWindowlessChild();
  void FontChanged(TObject* Sender) override;
  virtual void ShowControl(TControl* AControl);
  void RemoveFocus(bool Removing);
  void ResetIme() {}
  void SetIme() {}
  void SetTextValue(const AnsiString& Value) override;
  // Called after the window was created (children, fonts, text).
  virtual void CreateWndDone() {}

  void WMPaint(TWMPaint& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMCommand(TWMCommand& Message);
  void WMNotify(TWMNotify& Message);
  void WMSysColorChange(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMVScroll(TMessage& Message);
  void WMCompareItem(TMessage& Message);
  void WMDeleteItem(TMessage& Message);
  void WMDrawItem(TMessage& Message);
  void WMMeasureItem(TMessage& Message);
  void WMCtlColor(TMessage& Message);
  void WMSetFocus(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMSize(TWMSize& Message);
  void WMMove(TMessage& Message);
  void WMWindowPosChanged2(TMessage& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMKeyDown(TWMKey& Message);
  void WMSysKeyDown(TWMKey& Message);
  void WMKeyUp(TWMKey& Message);
  void WMSysKeyUp(TWMKey& Message);
  void WMChar(TWMKey& Message);
  void WMSysChar(TWMKey& Message);
  void WMContextMenu2(TMessage& Message);
  void WMNCDestroy(TMessage& Message);
  void WMDestroy(TMessage& Message);
  void CNKeyDown(TWMKey& Message);
  void CNKeyUp(TWMKey& Message);
  void CNChar(TWMKey& Message);
  void CNSysKeyDown(TWMKey& Message);
  void CNSysChar(TWMKey& Message);
  void CNCtlColor(TMessage& Message);
  void CMChildKey(TMessage& Message);
  void CMDialogKey(TMessage& Message);
  void CMDialogChar(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMFocusChanged(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged2(TMessage& Message);
  void CMEnabledChanged2(TMessage& Message);
  void CMColorChanged2(TMessage& Message);
  void CMFontChanged2(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMCursorChanged(TMessage& Message);
  void CMShowHintChanged(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CMWinIniChange(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMBiDiModeChanged(TMessage& Message);
  void CMRecreateWnd(TMessage& Message);
  void CMInvalidate(TMessage& Message);
  void CMTabStopChanged(TMessage& Message);

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;     // graphic controls, bottom first
  std::vector<TWinControl*> FWinControls;  // windowed controls, bottom first
  std::vector<TWinControl*> FTabList;
  std::unique_ptr<TBrush> FBrush;
  int FAlignLevel = 0;
  int FBorderWidth = 0;
  bool FTabStop = false;
  bool FShowing = false;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FDoubleBuffered = false;
  TImeMode FImeMode = imDontCare;
  AnsiString FImeName;
  bool FRecreating = false;
  int FTabOrderValue = -1;  // read from a description, applied when the tree is read
  void FixupTabList();

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_PAINT, TWMPaint, WMPaint)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TWMEraseBkgnd, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_COMMAND, TWMCommand, WMCommand)
    PV_MESSAGE_HANDLER(WM_NOTIFY, TWMNotify, WMNotify)
    PV_MESSAGE_HANDLER(WM_SYSCOLORCHANGE, TMessage, WMSysColorChange)
    PV_MESSAGE_HANDLER(WM_HSCROLL, TMessage, WMHScroll)
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll)
    PV_MESSAGE_HANDLER(WM_COMPAREITEM, TMessage, WMCompareItem)
    PV_MESSAGE_HANDLER(WM_DELETEITEM, TMessage, WMDeleteItem)
    PV_MESSAGE_HANDLER(WM_DRAWITEM, TMessage, WMDrawItem)
    PV_MESSAGE_HANDLER(WM_MEASUREITEM, TMessage, WMMeasureItem)
    PV_MESSAGE_HANDLER(WM_CTLCOLORMSGBOX, TMessage, WMCtlColor)
    PV_MESSAGE_HANDLER(WM_CTLCOLOREDIT, TMessage, WMCtlColor)
    PV_MESSAGE_HANDLER(WM_CTLCOLORLISTBOX, TMessage, WMCtlColor)
    PV_MESSAGE_HANDLER(WM_CTLCOLORBTN, TMessage, WMCtlColor)
    PV_MESSAGE_HANDLER(WM_CTLCOLORDLG, TMessage, WMCtlColor)
    PV_MESSAGE_HANDLER(WM_CTLCOLORSCROLLBAR, TMessage, WMCtlColor)
    PV_MESSAGE_HANDLER(WM_CTLCOLORSTATIC, TMessage, WMCtlColor)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_MOVE, TMessage, WMMove)
    PV_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, TMessage, WMWindowPosChanged2)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor)
    PV_MESSAGE_HANDLER(WM_KEYDOWN, TWMKey, WMKeyDown)
    PV_MESSAGE_HANDLER(WM_SYSKEYDOWN, TWMKey, WMSysKeyDown)
    PV_MESSAGE_HANDLER(WM_KEYUP, TWMKey, WMKeyUp)
    PV_MESSAGE_HANDLER(WM_SYSKEYUP, TWMKey, WMSysKeyUp)
    PV_MESSAGE_HANDLER(WM_CHAR, TWMKey, WMChar)
    PV_MESSAGE_HANDLER(WM_SYSCHAR, TWMKey, WMSysChar)
    PV_MESSAGE_HANDLER(WM_CONTEXTMENU, TMessage, WMContextMenu2)
    PV_MESSAGE_HANDLER(WM_NCDESTROY, TMessage, WMNCDestroy)
    PV_MESSAGE_HANDLER(WM_DESTROY, TMessage, WMDestroy)
    PV_MESSAGE_HANDLER(CN_KEYDOWN, TWMKey, CNKeyDown)
    PV_MESSAGE_HANDLER(CN_KEYUP, TWMKey, CNKeyUp)
    PV_MESSAGE_HANDLER(CN_CHAR, TWMKey, CNChar)
    PV_MESSAGE_HANDLER(CN_SYSKEYDOWN, TWMKey, CNSysKeyDown)
    PV_MESSAGE_HANDLER(CN_SYSCHAR, TWMKey, CNSysChar)
    PV_MESSAGE_HANDLER(CN_CTLCOLORBTN, TMessage, CNCtlColor)
    PV_MESSAGE_HANDLER(CN_CTLCOLORDLG, TMessage, CNCtlColor)
    PV_MESSAGE_HANDLER(CN_CTLCOLOREDIT, TMessage, CNCtlColor)
    PV_MESSAGE_HANDLER(CN_CTLCOLORLISTBOX, TMessage, CNCtlColor)
    PV_MESSAGE_HANDLER(CN_CTLCOLORMSGBOX, TMessage, CNCtlColor)
    PV_MESSAGE_HANDLER(CN_CTLCOLORSCROLLBAR, TMessage, CNCtlColor)
    PV_MESSAGE_HANDLER(CN_CTLCOLORSTATIC, TMessage, CNCtlColor)
    PV_MESSAGE_HANDLER(CM_CHILDKEY, TMessage, CMChildKey)
    PV_MESSAGE_HANDLER(CM_DIALOGKEY, TMessage, CMDialogKey)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar)
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
    PV_MESSAGE_HANDLER(CM_FOCUSCHANGED, TMessage, CMFocusChanged)
    PV_MESSAGE_HANDLER(CM_SHOWINGCHANGED, TMessage, CMShowingChanged)
    PV_MESSAGE_HANDLER(CM_VISIBLECHANGED, TMessage, CMVisibleChanged2)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged2)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged2)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged2)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged)
    PV_MESSAGE_HANDLER(CM_CURSORCHANGED, TMessage, CMCursorChanged)
    PV_MESSAGE_HANDLER(CM_SHOWHINTCHANGED, TMessage, CMShowHintChanged)
    PV_MESSAGE_HANDLER(CM_SYSCOLORCHANGE, TMessage, CMSysColorChange)
    PV_MESSAGE_HANDLER(CM_WININICHANGE, TMessage, CMWinIniChange)
    PV_MESSAGE_HANDLER(CM_CTL3DCHANGED, TMessage, CMCtl3DChanged)
    PV_MESSAGE_HANDLER(CM_BIDIMODECHANGED, TMessage, CMBiDiModeChanged)
    PV_MESSAGE_HANDLER(CM_RECREATEWND, TMessage, CMRecreateWnd)
    PV_MESSAGE_HANDLER(CM_INVALIDATE, TMessage, CMInvalidate)
    PV_MESSAGE_HANDLER(CM_TABSTOPCHANGED, TMessage, CMTabStopChanged)
  END_MESSAGE_MAP(TControl)
};

// ---- canvases of controls ----
// A canvas that draws on a control: it obtains the DC of the control's window
// (the parent's for graphic controls, clipped to the control) when first used.
class TControlCanvas : public TCanvas {
  PV_CLASS(TControlCanvas, TCanvas)
 public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // Releases the DC obtained from the window.
  void FreeHandle();
  void UpdateTextFlags() {}

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

// A windowed control that paints itself on Canvas in Paint.
class TCustomControl : public TWinControl {
  PV_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A control without a window, painted by its parent on Canvas in Paint.
class TGraphicControl : public TControl {
  PV_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

 protected:
  friend class TWinControl;
  virtual void Paint() {}
  void WMPaint(TWMPaint& Message);

 private:
  std::unique_ptr<TControlCanvas> FCanvas;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_PAINT, TWMPaint, WMPaint)
  END_MESSAGE_MAP(TControl)
};

// ---- hints ----
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos;          // screen
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;        // in the control's client coordinates; the hint goes when the mouse leaves it
  TPoint CursorPos;        // in the control's client coordinates
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  AnsiString HintStr;
  void* HintData = nullptr;
};

// The pop-up window that shows a hint: a bordered tool-tip coloured box.
class THintWindow : public TCustomControl {
  PV_CLASS(THintWindow, TCustomControl)
 public:
  explicit THintWindow(TComponent* AOwner);
  // Shows Hint in Rect (screen coordinates) without taking the focus.
  virtual void ActivateHint(TRect Rect, const AnsiString& AHint);
  virtual void ActivateHintData(TRect Rect, const AnsiString& AHint, void* AData) { ActivateHint(Rect, AHint); }
  // The size the hint needs (left-top at 0,0), wrapping at MaxWidth.
  virtual TRect CalcHintRect(int MaxWidth, const AnsiString& AHint, void* AData);
  virtual bool IsHintMsg(const MSG& Msg);
  void ReleaseHandle();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WMNCHitTest(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
  END_MESSAGE_MAP(TCustomControl)
};
// The class the application creates its hint window from.
extern TClass HintWindowClass;

// ---- drag and drop ----
// What is being dragged; the drag manager owns the one it creates itself.
class TDragObject : public TObject {
  PV_CLASS(TDragObject, TObject)
 public:
  TDragObject() = default;
  ~TDragObject() override = default;
  TPoint DragPos() const { return FDragPos; }
  HWND DragTargetWindow() const { return FDragHandle; }
  TControl* DragTarget() const { return FDragTarget; }
  TPoint DragTargetPos() const { return FDragTargetPos; }
  bool Cancelling() const { return FCancelling; }
  bool Dropped() const { return FDropped; }
  // Shift and Ctrl held at the drop (or at the last move).
  TShiftState ShiftState() const { return FShiftState; }
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
  virtual TDragImageList* GetDragImages() { return nullptr; }
  virtual void HideDragImage() {}
  virtual void ShowDragImage() {}
  virtual AnsiString GetName() { return ClassName(); }
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted) {}

 protected:
  friend class TDragManager;
  TPoint FDragPos;
  HWND FDragHandle = nullptr;
  TControl* FDragTarget = nullptr;
  TPoint FDragTargetPos;
  bool FCancelling = false;
  bool FDropped = false;
  TShiftState FShiftState;
};

// Drags a control (the usual case).
class TBaseDragControlObject : public TDragObject {
  PV_CLASS(TBaseDragControlObject, TDragObject)
 public:
  explicit TBaseDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value) { FControl = Value; }

 protected:
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
  TControl* FControl;
};

class TDragControlObject : public TBaseDragControlObject {
  PV_CLASS(TDragControlObject, TBaseDragControlObject)
 public:
  explicit TDragControlObject(TControl* AControl) : TBaseDragControlObject(AControl) {}
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  TDragImageList* GetDragImages() override;
  void HideDragImage() override;
  void ShowDragImage() override;
};

// The same with the control's drag image shown.
class TDragControlObjectEx : public TDragControlObject {
  PV_CLASS(TDragControlObjectEx, TDragControlObject)
 public:
  explicit TDragControlObjectEx(TControl* AControl) : TDragControlObject(AControl) {}
};

// The CM_DRAG message's record (lParam).
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
struct TDragRec {
  TPoint Pos;
  TDragObject* Source = nullptr;
  void* Target = nullptr;
  bool Docking = false;
};

// The control being dragged (nullptr when no drag is in progress).
TControl* DragControl();
TDragObject* DragObject();
// Stops the drag in progress, as Escape does.
void CancelDrag();
// The control under a screen point that accepts drags (visible; enabled unless AllowDisabled).
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);

// ---- hints ----
// A hint is "short|long": the short part shows in the hint window, the long
// part on the status line; without a "|" both are the whole hint. Only a "|"
// that begins a character splits it: in code page 936 the byte 0x7C is also
// the trail byte of characters such as 東 (0x96 0x7C).
AnsiString GetShortHint(const AnsiString& Hint);
AnsiString GetLongHint(const AnsiString& Hint);

// ---- looking up controls ----
// The control of a window created by the class library, or nullptr.
TWinControl* FindControl(HWND Handle);
// The innermost control (window or graphic) at a screen point.
TControl* FindVCLWindow(const TPoint& Pos);
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The form a control sits on (the topmost form unless TopForm is false).
TCustomForm* GetParentForm(TControl* Control, bool TopForm = true);
// As GetParentForm, raising EInvalidOperation when the control has no form.
TCustomForm* ValidParentForm(TControl* Control, bool TopForm = true);

// ---- helper windows ----
// A hidden window whose messages go to Method (timers, the drag manager,
// notifications that need a window). Free it with DeallocateHWnd.
HWND AllocateHWnd(std::function<void(TMessage&)> Method);
void DeallocateHWnd(HWND Wnd);

// The mouse: position, capture and drag settings.
class TMouse {
 public:
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& P);
  HWND Capture() const { return GetCapture(); }
  void SetCapture(HWND H);
  bool DragImmediate() const { return FDragImmediate; }
  void SetDragImmediate(bool V) { FDragImmediate = V; }
  int DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(int V) { FDragThreshold = V; }
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }
  int WheelScrollLines() const;
  bool IsDragging() const { return DragControl() != nullptr; }

 private:
  bool FDragImmediate = true;
  int FDragThreshold = 5;
};
extern TMouse* Mouse;

// Pixels of the device a control draws on (96 here).
int PvScreenPixelsPerInch();

// Registers the window class, property tables and names of this unit.
void InitControlsProps();

// The defaults a control class gives the published properties its constructor
// sets to other values than TControl's; a description leaves out a property
// that holds its class's default.
struct TControlPropDefaults {
  TColor Color = clWindow;  // stored only while ParentColor is false
  bool ParentColor = true;
  bool TabStop = false;
  bool Visible = true;
};

// Publishes the usual properties of a control class; each class picks the ones
// it shows, by name, separated by spaces:
//   Align Anchors AutoSize BiDiMode Caption Color Constraints Ctl3D Cursor DragCursor
//   DragKind DragMode Enabled Font ImeMode ImeName ParentBiDiMode ParentColor ParentCtl3D
//   ParentFont ParentShowHint PopupMenu ShowHint TabOrder TabStop Text Visible
//   DoubleBuffered BorderWidth Action
//   OnClick OnDblClick OnMouseDown OnMouseMove OnMouseUp OnMouseWheel OnMouseWheelDown
//   OnMouseWheelUp OnResize OnCanResize OnConstrainedResize OnContextPopup OnDragDrop
//   OnDragOver OnEndDrag OnStartDrag OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp
// Raises EPropertyError for an unknown name. Color, ParentColor, TabStop and Visible
// take their defaults from Defaults (Color and Font are stored unless ParentColor /
// ParentFont); Anchors are stored when they differ from those the alignment gives.
template <class C>
void PublishControlProps(TPropBuilder<C>& p, const char* Names, const TControlPropDefaults& Defaults = {});

// ---- PublishControlProps ----
template <class C>
void PublishControlProps(TPropBuilder<C>& p, const char* Names, const TControlPropDefaults& Defaults) {
  AnsiString all = Names;
  std::size_t i = 0;
  while (i < all.size()) {
    while (i < all.size() && all[i] == ' ') ++i;
    std::size_t j = i;
    while (j < all.size() && all[j] != ' ') ++j;
    AnsiString n = all.substr(i, j - i);
    i = j;
    if (n.empty()) continue;
    auto ctl = [](TObject* o) { return static_cast<TControl*>(dynamic_cast<TControl*>(o)); };
    if (n == "Align") p.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    else if (n == "Anchors")
      p.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Stored([ctl](TObject* o) {
        return ctl(o)->Anchors() != AnchorsOfAlign(ctl(o)->Align());
      });
    else if (n == "AutoSize") p.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false);
    else if (n == "BiDiMode") p.Prop("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
    else if (n == "Caption") p.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    else if (n == "Text") p.Prop("Text", &TControl::Text, &TControl::SetText);
    else if (n == "Color")
      p.Prop("Color", &TControl::Color, &TControl::SetColor)
          .Default(Defaults.Color)
          .Idents(ColorIdentMap())
          .Stored([ctl](TObject* o) { return !ctl(o)->ParentColor(); });
    else if (n == "Constraints") p.Prop("Constraints", &TControl::Constraints);
    else if (n == "Cursor") p.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).Idents(CursorIdentMap());
    else if (n == "DragCursor") p.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Default(crDrag).Idents(CursorIdentMap());
    else if (n == "DragKind") p.Prop("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag);
    else if (n == "DragMode") p.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
    else if (n == "Enabled") p.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    else if (n == "Font")
      p.Prop("Font", &TControl::Font).Stored([ctl](TObject* o) { return !ctl(o)->ParentFont(); });
    else if (n == "ParentBiDiMode") p.Prop("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true);
    else if (n == "ParentColor") p.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(Defaults.ParentColor);
    else if (n == "ParentFont") p.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    else if (n == "ParentShowHint") p.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    else if (n == "PopupMenu") p.Prop("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    else if (n == "ShowHint") p.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored([ctl](TObject* o) { return !ctl(o)->ParentShowHint(); });
    else if (n == "Visible") p.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(Defaults.Visible);
    else if (n == "Action") p.Prop("Action", &TControl::Action, &TControl::SetAction);
    else if (n == "OnClick") p.Prop("OnClick", &TControl::OnClick, &TControl::OnClick);
    else if (n == "OnDblClick") p.Prop("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
    else if (n == "OnMouseDown") p.Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
    else if (n == "OnMouseMove") p.Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
    else if (n == "OnMouseUp") p.Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
    else if (n == "OnMouseWheel") p.Prop("OnMouseWheel", &TControl::OnMouseWheel, &TControl::OnMouseWheel);
    else if (n == "OnMouseWheelDown") p.Prop("OnMouseWheelDown", &TControl::OnMouseWheelDown, &TControl::OnMouseWheelDown);
    else if (n == "OnMouseWheelUp") p.Prop("OnMouseWheelUp", &TControl::OnMouseWheelUp, &TControl::OnMouseWheelUp);
    else if (n == "OnResize") p.Prop("OnResize", &TControl::OnResize, &TControl::OnResize);
    else if (n == "OnCanResize") p.Prop("OnCanResize", &TControl::OnCanResize, &TControl::OnCanResize);
    else if (n == "OnConstrainedResize") p.Prop("OnConstrainedResize", &TControl::OnConstrainedResize, &TControl::OnConstrainedResize);
    else if (n == "OnContextPopup") p.Prop("OnContextPopup", &TControl::OnContextPopup, &TControl::OnContextPopup);
    else if (n == "OnDragDrop") p.Prop("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop);
    else if (n == "OnDragOver") p.Prop("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver);
    else if (n == "OnEndDrag") p.Prop("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag);
    else if (n == "OnStartDrag") p.Prop("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag);
    else if constexpr (std::is_base_of_v<TWinControl, C>) {
      if (n == "TabOrder") p.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).NoDefault();
      else if (n == "TabStop") p.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(Defaults.TabStop);
      else if (n == "Ctl3D") p.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).Default(true);
      else if (n == "ParentCtl3D") p.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
      else if (n == "ImeMode") p.Prop("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare);
      else if (n == "ImeName") p.Prop("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
      else if (n == "DoubleBuffered") p.Prop("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered).Default(false);
      else if (n == "BorderWidth") p.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
      else if (n == "OnEnter") p.Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
      else if (n == "OnExit") p.Prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
      else if (n == "OnKeyDown") p.Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
      else if (n == "OnKeyPress") p.Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
      else if (n == "OnKeyUp") p.Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
      else throw EPropertyError("Unknown control property " + n);
    } else {
      throw EPropertyError("Unknown control property " + n);
    }
  }
}
