// The base of every owner-drawn control: a window control with a look and
// feel, two painted internal scroll bars and a size grip, its own drag and
// drop beside the class library's, the mouse and focus rules of the owner-drawn
// controls, pop-up menus of two kinds and font listeners. Descendants build a
// real control by overriding the virtual operations below.
#pragma once
#include <memory>
#include <vector>

#include "framework/uxgraphics.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxpainters.h"
#include "framework/uxwinutils.h"  // pop-up menus, drag threshold
#include "platform/controls/controls.h"
#include "platform/controls/extctrls.h"  // TScrollBarKind, TScrollCode
#include "platform/controls/stdctrls.h"

class TuxControl;
class TuxControlScrollBar;
class TuxSizeGrip;
class TuxDragAndDropObject;
class TuxControlChildComponent;
class TPopupMenu;
class TCustomForm;

// Posted by a control to itself after every non-client size calculation; the
// internal scroll bars then follow the system's scroll-bar size.
constexpr UINT UXM_SCROLLBARSIZECHANGED = WM_APP + 305;

// Dialog codes answered to WM_GETDLGCODE.
constexpr LRESULT uxDLGC_WANTARROWS = 1, uxDLGC_WANTTAB = 2, uxDLGC_WANTALLKEYS = 4,
                  uxDLGC_WANTCHARS = 128;

// Cursor shown while a class-library drag would copy (Ctrl held).
constexpr TCursor UX_DRAGCOPYCURSOR = 2100;

enum TuxControlBorderStyle { uxcbsNone, uxcbsDefault };
PV_ENUM_NAMES(TuxControlBorderStyle, "uxcbsNone uxcbsDefault")
enum TuxOwnDragState { odsNone, odsStarting, odsDragging };
enum TuxWantedKey { wkAll, wkArrows, wkChars, wkTab };
using TuxWantedKeys = TSet<TuxWantedKey>;
enum TuxWheelScrollKind { wskNone, wskHorizontal, wskVertical };

// Told when the font of a control it listens to changes.
class IuxFontListener {
 public:
  virtual ~IuxFontListener() = default;
  virtual void FontChanged(TObject* Sender, TFont* Font) = 0;
};

// A pop-up menu that is not a class-library TPopupMenu.
class IuxPopupMenu {
 public:
  virtual ~IuxPopupMenu() = default;
  virtual bool IsShortCut(TWMKey& Message) = 0;
  virtual void Popup(int X, int Y) = 0;
};

// An object that holds a control's mouse and is told when it loses it.
class IuxMouseCaptureObject {
 public:
  virtual ~IuxMouseCaptureObject() = default;
  virtual void MouseCaptureLost() = 0;
};

// Lets other objects find a control's look and feel without knowing its class.
class IuxLookAndFeelOwner {
 public:
  virtual ~IuxLookAndFeelOwner() = default;
  virtual TuxLookAndFeel* GetLookAndFeel() = 0;
};

using TuxControlEvent = TEvent<void(TObject* Sender, TControl* Control)>;

// The form designer's "the form changed" notice, set by a designer while it
// runs; nullptr (the running program) makes NotifyDesignerModified do nothing.
using TuxDesignerModifiedProc = void (*)(TCustomForm* Form);
void uxSetDesignerModifiedProc(TuxDesignerModifiedProc Proc);

// Registers TuxControl's published settings (BorderStyle, LookAndFeel,
// PopupMenu), which every descendant inherits; part of the ordered start-up.
void uxInitControls();

class TuxControl : public TCustomControl, public IuxLookAndFeelOwner {
  PV_CLASS(TuxControl, TCustomControl)
 public:
  // A control is made with NewObject or by class name from a description,
  // never with a plain new: what depends on the descendant's answers (TabStop
  // from MayFocus, the internal scroll bars) is settled in AfterConstruction,
  // which a plain new would skip.
  static void* operator new(std::size_t) = delete;
  explicit TuxControl(TComponent* AOwner);
  ~TuxControl() override;
  // Settings that depend on the descendant's overrides (drag-image style, tab
  // stop, internal scroll bars), which the constructor cannot ask for yet.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TuxCanvas* Canvas() const { return FCanvas.get(); }
  // Canvas once the window exists; a screen canvas before, for measuring.
  TuxCanvas* GetActiveCanvas();

  TuxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TuxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  TComponent* PopupMenu() const { return FUxPopupMenu; }
  // A component that is neither a TPopupMenu nor an IuxPopupMenu is stored as nil.
  void SetPopupMenu(TComponent* Value);
  TuxControlBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TuxControlBorderStyle Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool FocusOnClick() const { return FFocusOnClick; }
  void SetFocusOnClick(bool Value) { FFocusOnClick = Value; }
  TuxWantedKeys WantedKeys() const { return FWantedKeys; }
  void SetWantedKeys(TuxWantedKeys Value) { FWantedKeys = Value; }
  TRect Bounds() const { return FBounds; }
  void SetExplicitBounds(const TRect& Value);  // empty: the client rectangle

  TuxControlScrollBar* HScrollBar() const { return FHScrollBar; }
  TuxControlScrollBar* VScrollBar() const { return FVScrollBar; }
  TuxSizeGrip* SizeGrip() const { return FSizeGrip; }

  TPoint MouseDownPos() const { return FMouseDownPos; }
  bool MouseButtonPressed() const { return FMouseButtonPressed; }
  TObject* MouseCaptureObject() const { return FMouseCaptureObject; }
  void SetMouseCaptureObject(TObject* Value);
  bool IsMouseInPressedArea(int X, int Y) const { return uxIsInDragThreshold(FMouseDownPos, X, Y); }

  // -- own drag and drop --
  TuxOwnDragState DragAndDropState() const { return FDragAndDropState; }
  void SetDragAndDropState(TuxOwnDragState Value);
  TClass DragAndDropObjectClass() const { return FDragAndDropObjectClass; }
  void SetDragAndDropObjectClass(TClass Value) { FDragAndDropObjectClass = Value; }
  TuxDragAndDropObject* GetDragAndDropObject();
  bool HasDragAndDropObject() const { return FDragAndDropObject != nullptr; }
  void FinishDragAndDrop(bool Accepted);

  // -- scroll bars --
  void SetScrollBarInfo(TScrollBarKind Kind, int Min, int Max, int Step, int Page, int Pos, bool AllowShow,
                        bool AllowHide);
  bool IsHScrollBarVisible() const;
  bool IsVScrollBarVisible() const;
  void BeginScrollBarsUpdate();
  void EndScrollBarsUpdate();
  void ScrollWindow(int DX, int DY, const TRect& R);
  void ScrollContent(int Direction);

  void AddFontListener(IuxFontListener* Listener);
  void RemoveFontListener(IuxFontListener* Listener);
  void InvalidateRect(const TRect& R, bool EraseBackground);
  void InvalidateRegion(TuxRegion* Region, bool EraseBackground);
  void UpdateCursor();
  // At design time only, and only while neither the control nor a parent is
  // being loaded, written or destroyed: tells the designer the form changed.
  void NotifyDesignerModified();
  // True while the middle-button panning mode runs.
  bool ScrollingContent() const { return FScrollingContent; }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsDestroying() const { return ComponentState().Contains(csDestroying); }
  // A token that turns false when the control is freed: callers that run
  // event handlers keep a copy and stop when it went false.
  std::shared_ptr<bool> AliveToken() const { return FAlive; }

  // callbacks
  TNotifyEvent OnFocusChanged;
  TuxControlEvent OnMouseEnter;
  TuxControlEvent OnMouseLeave;

  // -- virtual operations --
  virtual bool DoShowPopupMenu(TComponent* Menu, int X, int Y);
  virtual void ParentBackgroundChanged() {}
  virtual void AfterMouseDown(TMouseButton Button, int X, int Y);
  virtual bool AllowAutoDragAndDropAtPoint(int, int, TShiftState) { return true; }
  virtual void BeforeMouseDown(TMouseButton, TShiftState, int, int) {}
  virtual void BringInternalControlsToFront();
  virtual void EndMouseOperations();
  virtual bool CanFocusOnClick();
  virtual bool CanFocusOnClickAt(int, int) { return CanFocusOnClick(); }
  virtual bool AllowFocusOnClick() { return CanFocusOnClick(); }
  virtual int GetBorderSize();
  virtual TRect GetBounds();
  virtual TRect GetClientBounds();
  virtual TCursor GetCursor(int, int) { return FDefaultCursor; }
  virtual bool IsDesigning() { return ComponentState().Contains(csDesigning); }
  virtual bool IsFocused() { return Focused(); }
  virtual TuxWheelScrollKind GetMouseWheelScrollingKind();
  virtual bool HasBackground() { return false; }
  virtual void InitInternalControls();
  virtual bool IsInternalControl(TControl* Control);
  TuxLookAndFeel* GetLookAndFeel() override { return FLookAndFeel.get(); }
  virtual TuxLookAndFeelPainterClass GetPainter();
  virtual void LookAndFeelChanged(TuxLookAndFeel*, TuxLookAndFeelValues) {}
  virtual TRect GetHScrollBarBounds();
  virtual TRect GetSizeGripBounds();
  virtual TRect GetVScrollBarBounds();
  virtual void InitScrollBarsParameters() {}
  virtual bool HidesScrollBarWhenContentFits(TScrollBarKind) { return false; }
  virtual bool HasScrollBars() { return true; }
  virtual bool NeedsToBringInternalControlsToFront() { return true; }
  virtual void Scroll(TScrollBarKind, TScrollCode, int&) {}
  virtual void SetInternalControlsBounds();
  virtual void UpdateScrollBars();
  virtual TClass GetDragAndDropObjectClass();
  virtual void DrawDragImage(TuxCanvas*, const TRect&) {}
  virtual TClass GetDragImagesClass();
  virtual TSize GetDragImagesSize() { return TSize{0, 0}; }
  virtual bool HasDragImages() { return false; }
  virtual void InitDragImages(TDragImageList* ImageList);
  virtual bool CanFocusInForm();
  virtual bool IsClickAt(int X, int Y);

  // -- formerly dynamic operations --
  virtual void ColorChanged() {}
  virtual void VisibleChanged() {}
  virtual void AddChildComponent(TuxControlChildComponent* Component);
  virtual void RemoveChildComponent(TuxControlChildComponent* Component);
  virtual bool MayProcessUnfocusedMouseDown() { return false; }
  virtual void BoundsChanged() { UpdateScrollBars(); }
  virtual bool CanDrag(int, int) { return FDragAndDropState == odsNone; }
  virtual void CursorChanged() { FDefaultCursor = Cursor(); }
  virtual void CancelMouseOperations();
  virtual void FocusChanged();
  virtual void FontChanged();
  virtual bool GetDesignHitTest(int, int, TShiftState);
  virtual TClass GetDragObjectClass();
  virtual bool MayFocus() { return true; }
  virtual void MouseEnter(TControl* Control);
  virtual void MouseLeave(TControl* Control);
  virtual void TextChanged() {}
  virtual void DragAndDrop(const TPoint& P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted);
  virtual bool StartDragAndDrop(const TPoint&) { return false; }
  virtual bool StartDrag(TDragObject*) { return true; }
  virtual void BeginDragAndDrop();

  // class-library operations taken over
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TDragImageList* GetDragImages() override;
  void WndProc(TMessage& Message) override;
  TPopupMenu* GetPopupMenu() override;
  void DoEndDrag(TObject* Target, int X, int Y) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool IsPopupMenuShortCut(TWMKey& Message);

  bool FCreatingWindow = false;
  bool FRightButtonReleased = false;
  bool FScrollingContent = false;
  bool FCancelPlatformDrag = false;

 private:
  friend class TuxControlScrollBar;
  class TMouseTracker;
  void ApplyDescendantDefaults();
  void PanContent(int X, int Y);
  void CreateScrollBars();
  void DestroyScrollBars();
  void CalculateScrollBarsParams();
  void OnLookAndFeelChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed);

  void WMCancelMode(TMessage& M);
  void WMContextMenu(TMessage& M);
  void WMEraseBkgnd(TMessage& M);
  void WMGetDlgCode(TMessage& M);
  void WMNCCalcSize(TMessage& M);
  void WMPaint(TWMPaint& M);
  void WMSetCursor(TWMSetCursor& M);
  void CMColorChanged(TMessage& M);
  void CMCursorChanged(TMessage& M);
  void CMDesignHitTest(TMessage& M);
  void CMFontChanged(TMessage& M);
  void CMMouseEnter(TMessage& M);
  void CMMouseLeave(TMessage& M);
  void CMTextChanged(TMessage& M);
  void CMVisibleChanged(TMessage& M);
  void UXMScrollBarSizeChanged(TMessage& M);
  void CNKeyDown(TWMKey& M);
  void CNSysKeyDown(TWMKey& M);

  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
  std::unique_ptr<TuxCanvas> FCanvas;
  std::unique_ptr<TuxScreenCanvas> FActiveCanvas;
  std::unique_ptr<TuxLookAndFeel> FLookAndFeel;
  TComponent* FUxPopupMenu = nullptr;
  TuxControlBorderStyle FBorderStyle = uxcbsNone;
  TScrollStyle FScrollBars = ssBoth;
  TuxControlScrollBar* FHScrollBar = nullptr;
  TuxControlScrollBar* FVScrollBar = nullptr;
  TuxSizeGrip* FSizeGrip = nullptr;
  int FScrollBarsLockCount = 0;
  bool FUpdateScrollBarsNeeded = false;
  bool FCalculatingScrollBarsParams = false;
  bool FUpdatingScrollBars = false;
  bool FInitialScrollBarsParamsTaken = false;
  bool FInitialHScrollBarVisible = false, FInitialVScrollBarVisible = false;
  bool FFocusOnClick = true;
  TuxWantedKeys FWantedKeys;
  TCursor FDefaultCursor = crDefault;
  TPoint FMouseDownPos{-1, -1};
  bool FMouseButtonPressed = false;
  TObject* FMouseCaptureObject = nullptr;
  TuxOwnDragState FDragAndDropState = odsNone;
  TuxDragAndDropObject* FDragAndDropObject = nullptr;
  TClass FDragAndDropObjectClass = nullptr;
  TCursor FDragAndDropPrevCursor = crDefault;
  bool FFinishingDragAndDrop = false;
  std::unique_ptr<TDragImageList> FDragImages;
  std::vector<IuxFontListener*> FFontListeners;
  TRect FBounds{};
  bool FLastParentBackground = true;
  bool FDescendantDefaultsApplied = false;
  bool FMouseInside = false;  // between the control's own enter and leave
  std::unique_ptr<TMouseTracker> FMouseTracker;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode)
    PV_MESSAGE_HANDLER(WM_CONTEXTMENU, TMessage, WMContextMenu)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_PAINT, TWMPaint, WMPaint)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged)
    PV_MESSAGE_HANDLER(CM_CURSORCHANGED, TMessage, CMCursorChanged)
    PV_MESSAGE_HANDLER(CM_DESIGNHITTEST, TMessage, CMDesignHitTest)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CM_MOUSEENTER, TMessage, CMMouseEnter)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged)
    PV_MESSAGE_HANDLER(CM_VISIBLECHANGED, TMessage, CMVisibleChanged)
    PV_MESSAGE_HANDLER(UXM_SCROLLBARSIZECHANGED, TMessage, UXMScrollBarSizeChanged)
    PV_MESSAGE_HANDLER(CN_KEYDOWN, TWMKey, CNKeyDown)
    PV_MESSAGE_HANDLER(CN_SYSKEYDOWN, TWMKey, CNSysKeyDown)
  END_MESSAGE_MAP(TCustomControl)
};
