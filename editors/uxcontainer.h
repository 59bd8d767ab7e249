// The editor container: an owner-drawn control that hosts one platform window
// control (the inner control) and draws the border, shadow and background
// around it from four per-state styles; the styles themselves with their
// shared style controller; and the free routines of the container unit
// (border tables, rectangle and region helpers, window relations that know
// about the editors' pop-ups, message removal, input state).
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "framework/uxcontrols.h"
#include "framework/uxgraphics.h"
#include "framework/uxlookandfeel.h"
#include "framework/uxscrollbar.h"
#include "framework/uxtimers.h"
#include "framework/uxthemes.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"

class TuxContainer;
class TuxContainerStyle;
class TuxStyleController;
class TuxCustomPopupWindow;

// ---- border styles and state ----

enum TuxContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };
PV_ENUM_NAMES(TuxContainerBorderStyle, "cbsNone cbsSingle cbsThick cbsFlat cbs3D cbsUltraFlat cbsOffice11")

// The container's state flags (a set).
using TuxContainerStateFlags = unsigned;
constexpr TuxContainerStateFlags uxcsNormal = 1, uxcsFocused = 2, uxcsDisabled = 4, uxcsHot = 8;
// The index of a per-state style.
enum TuxContainerStyleState { cssNormal, cssFocused, cssDisabled, cssHot };

// The values of a container style; an edit style adds values from 10 on.
using TuxContainerStyleValue = int;
using TuxContainerStyleValues = unsigned;  // bit N = value N
constexpr TuxContainerStyleValue csvBorderColor = 0, csvBorderStyle = 1, csvColor = 2, csvEdges = 3, csvFont = 4,
                                 csvHotTrack = 5, csvShadow = 6, csvTextColor = 7, csvTextStyle = 8,
                                 csvTransparentBorder = 9;
constexpr TuxContainerStyleValues uxStyleValue(TuxContainerStyleValue V) { return 1u << unsigned(V); }

// Private messages of the container family.
constexpr UINT UXM_CLOSEPOPUPWINDOW = 0x8065;    // closes a pop-up, focus back to the owner
constexpr UINT UXM_SHOWPOPUPWINDOW = 0x8066;     // shows a pop-up
constexpr UINT UXM_UPDATESCROLLBARS = 0x8068;    // a container updates its own scroll bars

// ---- free routines ----

int uxGetContainerBorderWidth(TuxContainerBorderStyle BorderStyle);
int uxGetLookAndFeelBorderWidth(TuxLookAndFeelKind Kind);
Byte uxTranslateMouseButton(TMouseButton Button);

void uxGetControlBoundsRect(TControl* Control, TRect& R);
void uxExpandRectByEdges(TRect& R, int Width, TuxBorders Edges);
void uxShrinkRectByMissingEdges(TRect& R, int Width, TuxBorders Edges);
// Two 3-pixel clBtnShadow strips below and right of R, each then clipped out.
void uxPaintContainerShadow(TuxCanvas* Canvas, const TRect& R);
// Fills R less InnerR (four strips); nothing when R is empty or equals InnerR.
void uxFillRectExcept(TuxCanvas* Canvas, const TRect& R, const TRect& InnerR, TColor Color);

// The caller owns the handle; nullptr when NoRegion.
HRGN uxCreateContainerRegion(const TRect& R, bool NoRegion, const TRect& ExcludeR, bool Shadow);
void uxSetWindowRegion(HWND Window, const TRect& R, bool NoRegion, const TRect& ExcludeR, bool Shadow);
// The visible part of an inner control: the whole control, or a rectangle.
struct TuxControlVisibleArea {
  bool IsEmpty = true;
  bool WholeControl = false;
  TRect Rect{};
  bool operator==(const TuxControlVisibleArea&) const = default;
};
void uxSetControlWindowRegion(TWinControl* Control, const TuxControlVisibleArea& Area);
void uxInvalidateRectFrame(HWND Window, const TRect& R, const TRect& InnerR, bool Erase);
void uxInvalidateControlRect(TWinControl* Control, const TRect& R, bool Erase);

bool uxIsWindowOfControl(TWinControl* Control, HWND Window, bool IncludeChildren);
bool uxIsChildOrPopupWindow(TWinControl* Control, HWND Window);
bool uxIsWindowOfControlForm(TControl* Control, HWND Window);
HWND uxFindFirstNonChildParent(HWND Window);
HWND uxGetTopFormWindow(HWND Window);
HWND uxGetPopupOwnerWindow(HWND Window);
bool uxIsControlWindowVisible(TWinControl* Control);

// Lets a container find itself from its inner control.
class IuxContainerInnerControl {
 public:
  virtual ~IuxContainerInnerControl() = default;
  virtual TWinControl* GetControl() = 0;
  virtual TuxContainer* GetControlContainer() = 0;
};
TuxContainer* uxFindContainer(TControl* Control);
bool uxContainerHasPopup(TControl* Control);
bool uxIsControlHot(TWinControl* Control);

bool uxRemoveMessages(HWND Window, UINT MinMsg, UINT MaxMsg, bool All);
void uxGetCursorPos(TPoint& P);
TShiftState uxGetCurrentShiftState();
void uxRecreateWnd(int X, TWinControl* Control);
void uxAssignFont(TFont* Dest, TFont* Source);
bool uxStringsEqual(const AnsiString& S1, const AnsiString& S2, bool CaseSensitive);

bool uxIsScrollBarInfoAvailable();
bool uxGetScrollBarInfo(HWND Window, LONG ObjectId, SCROLLBARINFO& Info);
bool uxIsNativeThemeAvailable(bool NativeStyle, TkxThemeClassKind ThemeKind);
TuxScreenCanvas* uxGetScreenCanvas();

// Start-up of the container unit: the scroll-bar information lookup, the
// shown pop-up list, the closing hooks, the window-mapping routine. The
// shut-down undoes it in reverse order. Both are part of the editors'
// ordered start-up; a second call does nothing.
void uxInitContainerUnit();
void uxDoneContainerUnit();

// ---- styles ----

using TuxContainerStyleClass = TuxContainerStyle* (*)(TPersistent* Owner, int State, TuxContainerStyle* ParentStyle,
                                                      bool DirectAccessMode);
template <class T>
TuxContainerStyle* uxCreateStyleOf(TPersistent* Owner, int State, TuxContainerStyle* ParentStyle, bool Direct) {
  return new T(Owner, State, ParentStyle, Direct);
}

class TuxContainerStyle : public TPersistent {
  PV_CLASS(TuxContainerStyle, TPersistent)
 public:
  TuxContainerStyle(TPersistent* AOwner, int AState, TuxContainerStyle* AParentStyle, bool ADirectAccessMode);
  ~TuxContainerStyle() override;

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }
  void DefineProperties(TFiler* Filer) override;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  virtual void RestoreDefaults();
  virtual int StyleValueCount() { return 10; }
  virtual bool StyleValueName(TuxContainerStyleValue Value, AnsiString& Name);
  virtual bool HasBorder();
  // Whether the value is assigned here or along the controller chain.
  virtual bool IsValueAssigned(TuxContainerStyleValue Value);

  // -- values --
  TuxContainerStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TuxContainerStyleValues Value);
  TColor GetBorderColor();
  void SetBorderColor(TColor Value);
  TuxContainerBorderStyle GetBorderStyle();
  void SetBorderStyle(TuxContainerBorderStyle Value);
  virtual TColor GetColor();
  void SetColor(TColor Value);
  TuxBorders GetEdges();
  void SetEdges(TuxBorders Value);
  TFont* GetFont();
  void SetFont(TFont* Value);
  bool GetHotTrack();
  void SetHotTrack(bool Value);
  TuxLookAndFeel* GetLookAndFeel();
  void SetLookAndFeel(TuxLookAndFeel* Value);
  bool GetShadow();
  void SetShadow(bool Value);
  TuxStyleController* GetStyleController();
  void SetStyleController(TuxStyleController* Value);
  virtual TColor GetTextColor();
  void SetTextColor(TColor Value);
  virtual TFontStyles GetTextStyle();
  void SetTextStyle(TFontStyles Value);
  bool GetTransparentBorder();
  void SetTransparentBorder(bool Value);
  // The font with TextColor and TextStyle applied: what the inner control shows.
  TFont* GetVisibleFont();
  // What the container copies into its own Color.
  virtual TColor GetControlColor();

  TuxContainer* Container() const;
  TuxContainerStyle* BaseStyle() { return FParentStyle ? FParentStyle : this; }
  TuxContainerStyle* ParentStyle() const { return FParentStyle; }
  int State() const { return FState; }
  bool DirectAccessMode() const { return FDirectAccessMode; }
  bool IsBaseStyle() const { return FParentStyle == nullptr; }
  // The linked controller, the default controller when none is set.
  TuxStyleController* ActiveStyleController();
  // Whether a value is stored in a window description.
  bool IsValueStored(TuxContainerStyleValue Value);

  TNotifyEvent OnChanged;

  // Called by a controller.
  virtual void ControllerChanged();
  virtual void ControllerFreeNotification(TuxStyleController* Controller);

 protected:
  virtual void Changed();
  virtual TColor DefaultBorderColor();
  virtual TuxContainerBorderStyle DefaultBorderStyle();
  virtual TColor DefaultColor();
  virtual TuxBorders DefaultEdges() { return uxAllBorders; }
  virtual bool DefaultHotTrack() { return true; }
  virtual bool DefaultShadow() { return false; }
  virtual TColor DefaultTextColor();
  virtual TFontStyles DefaultTextStyle();
  virtual bool DefaultTransparentBorder() { return true; }
  virtual void FontChanged(TObject* Sender);
  virtual TuxStyleController* GetDefaultStyleController();
  virtual TuxContainerStyleValues GetStateOnlyParentValues();
  // The value's own or controller-chain style that has it assigned, else nullptr.
  TuxContainerStyle* AssignedStyleOf(TuxContainerStyleValue Value);
  void UpdateFont();
  bool IsDestroying() const { return FDestroying; }

  TPersistent* FOwner;
  int FState;
  TuxContainerStyle* FParentStyle;
  bool FDirectAccessMode;
  TuxContainerStyleValues FAssignedValues = 0;
  int FUpdateCount = 0;
  bool FModified = false;
  bool FDestroying = false;
  int FFontAssignedLock = 0;

 private:
  friend class TuxStyleController;
  void LookAndFeelChanged(TuxLookAndFeel*, TuxLookAndFeelValues);
  bool TryAssigned(TuxContainerStyleValue Value, TuxContainerStyle*& From);
  void SetValueAssigned(TuxContainerStyleValue Value) { FAssignedValues |= uxStyleValue(Value); }

  TColor FBorderColor = clWindowFrame;
  TuxContainerBorderStyle FBorderStyle = cbs3D;
  TColor FColor = clWindow;
  TuxBorders FEdges = uxAllBorders;
  bool FHotTrack = true, FShadow = false, FTransparentBorder = true;
  TColor FTextColor = clWindowText;
  TFontStyles FTextStyle;
  TFont* FFont = nullptr;  // owned by a normal style; a reference in direct-access mode
  std::unique_ptr<TFont> FVisibleFont;
  std::unique_ptr<TuxLookAndFeel> FLookAndFeel;
  TuxStyleController* FStyleController = nullptr;
};

// The four per-state styles of one container.
class TuxContainerStyles : public TObject {
  PV_CLASS(TuxContainerStyles, TObject)
 public:
  TuxContainerStyles(TPersistent* AOwner, TuxContainerStyleClass StyleClass);
  ~TuxContainerStyles() override;
  TuxContainerStyle* GetStyle(int State) const { return FStyles[State]; }
  TuxContainerStyle* GetStyleNormal() const { return FStyles[cssNormal]; }
  TuxContainerStyle* GetStyleFocused() const { return FStyles[cssFocused]; }
  TuxContainerStyle* GetStyleDisabled() const { return FStyles[cssDisabled]; }
  TuxContainerStyle* GetStyleHot() const { return FStyles[cssHot]; }
  void SetStyleNormal(TuxContainerStyle* V) { FStyles[cssNormal]->Assign(V); }
  void SetStyleFocused(TuxContainerStyle* V) { FStyles[cssFocused]->Assign(V); }
  void SetStyleDisabled(TuxContainerStyle* V) { FStyles[cssDisabled]->Assign(V); }
  void SetStyleHot(TuxContainerStyle* V) { FStyles[cssHot]->Assign(V); }
  void SetOnChanged(const TNotifyEvent& Event);
  void AssignStyle(int State, TuxContainerStyle* Source) { FStyles[State]->Assign(Source); }

 private:
  TuxContainerStyle* FStyles[4] = {};
};
using TuxContainerStylesClass = TuxContainerStyles* (*)(TPersistent* Owner, TuxContainerStyleClass StyleClass);

// A shared style: the containers linked to it take every value they do not
// assign themselves.
class TuxStyleController : public TComponent {
  PV_CLASS(TuxStyleController, TComponent)
 public:
  explicit TuxStyleController(TComponent* AOwner);
  ~TuxStyleController() override;
  void AfterConstruction() override;

  virtual void AddListener(TuxContainerStyle* Style);
  virtual void RemoveListener(TuxContainerStyle* Style);
  virtual TuxContainerStyleClass GetStyleClass();
  virtual TuxContainerStylesClass GetStylesClass();
  void Loaded() override;
  void Changed();
  void ChangeFontScale(int M, int D);
  TuxContainerStyle* Style() const { return FStyles->GetStyleNormal(); }
  TuxContainerStyle* StyleOfState(int State) const { return FStyles->GetStyle(State); }
  void SetStyle(TuxContainerStyle* Value) { Style()->Assign(Value); }
  const std::vector<TuxContainerStyle*>& Listeners() const { return FListeners; }
  bool IsDestroying() const { return FDestroying; }
  TuxStyleController* FakeStyleController() { return Style()->GetStyleController(); }
  void SetFakeStyleController(TuxStyleController*) {}

  TNotifyEvent OnStyleChanged;

 protected:
  void StyleChanged(TObject* Sender);
  std::unique_ptr<TuxContainerStyles> FStyles;
  std::vector<TuxContainerStyle*> FListeners;
  bool FDestroying = false;
  bool FFontScaled = false;
};

// The controller every normal style is linked to unless it names another;
// set by the edit unit's start-up, nullptr before.
extern TuxStyleController* DefaultContainerStyleController;
// Registers the style, styles and controller classes with their properties.
void uxInitContainerStyles();

// ---- view info ----

class TuxContainerViewInfo : public TObject {
  PV_CLASS(TuxContainerViewInfo, TObject)
 public:
  TuxContainerViewInfo() = default;
  TColor FillColor = clWindow;
  TColor BorderColor = clWindowFrame;
  TRect ContentRect{};
  TuxContainerBorderStyle BorderStyle = cbsNone;
  int BorderWidth = 0;
  TRect Bounds{};
  TRect ClientRect{};
  TuxContainerStateFlags StateFlags = uxcsNormal;
  TuxBorders Edges = uxAllBorders;
  Byte HotLevel = 0;
  bool Themed = false;
  bool ShowShadow = false;
  int ThemePart = 0, ThemeState = 0;
  TkxThemeClassKind ThemeClass = tckEdit;

  virtual void DrawBorder(TuxCanvas* Canvas, TRect R);
  virtual TuxContainerBorderStyle GetBorderStyle() { return BorderStyle; }
  virtual void InternalPaint(TuxCanvas* Canvas);
  virtual void SetBackgroundColor(TColor Color) { FillColor = Color; }
  virtual void Assign(TObject* Source);
  // A new region the caller owns (empty in the base).
  virtual TuxRegion* GetRepaintRegion(TuxContainerViewInfo* OldViewInfo);
  virtual void Offset(int DX, int DY);
  virtual void Paint(TuxCanvas* Canvas) { InternalPaint(Canvas); }
};
using TuxContainerViewInfoClass = TuxContainerViewInfo* (*)();

// ---- the container ----

class TuxContainer : public TuxControl, public IuxMouseTrackingCaller {
  PV_CLASS(TuxContainer, TuxControl)
 public:
  explicit TuxContainer(TComponent* AOwner);
  ~TuxContainer() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TWinControl* InnerControl() const { return FInnerControl; }
  TuxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
  TuxContainerStyles* Styles() const { return FStyles.get(); }
  TuxContainerStyle* Style() const { return FStyles->GetStyleNormal(); }
  TuxContainerStyle* StyleDisabled() const { return FStyles->GetStyleDisabled(); }
  TuxContainerStyle* StyleFocused() const { return FStyles->GetStyleFocused(); }
  TuxContainerStyle* StyleHot() const { return FStyles->GetStyleHot(); }
  void SetStyle(TuxContainerStyle* V) { FStyles->SetStyleNormal(V); }
  void SetStyleDisabled(TuxContainerStyle* V) { FStyles->SetStyleDisabled(V); }
  void SetStyleFocused(TuxContainerStyle* V) { FStyles->SetStyleFocused(V); }
  void SetStyleHot(TuxContainerStyle* V) { FStyles->SetStyleHot(V); }
  TuxStyleController* FakeStyleController() { return Style()->GetStyleController(); }
  void SetFakeStyleController(TuxStyleController*) {}

  bool IsDestroying() const { return TuxControl::IsDestroying() || FIsDestroying; }
  bool RefreshMouseState(bool IsMouseEvent);
  TuxContainerStyle* GetActiveStyle();
  // Posts the private message that makes the container update its own scroll bars.
  void PostUpdateScrollBars();

  // -- the container's virtual operations --
  virtual bool IsContainerFocused() { return Focused(); }
  virtual void AdjustInnerControl();
  virtual void CalculateViewInfo(const TPoint& P, bool IsMouseEvent);
  virtual bool UsesOwnBorderRegion();
  virtual bool CanShowPopupMenuAt(const TPoint&) { return true; }
  virtual void ContainerStyleChanged(TObject* Sender);
  virtual void DataChange() {}
  virtual bool DefaultParentColor() { return false; }
  virtual void TrackingMouseLeave();
  virtual void GetBorderWidths(TRect& R);
  virtual void GetInnerControlVisibleArea(const TRect& R, TWinControl* Control, TuxControlVisibleArea& Area);
  virtual void GetRegionBounds(TRect& R);
  virtual TuxContainerStyleClass GetStyleClass();
  virtual TuxContainerStylesClass GetStylesClass();
  virtual TuxContainerViewInfoClass GetViewInfoClass();
  virtual bool HasShadow();
  virtual TuxContainerStyle* GetStyleByState();
  virtual TuxContainerStyleValues GetUnusedStyleValues() { return 0; }
  virtual bool ActsAsParentContainer() { return false; }
  virtual bool IsTransparentBackground() { return false; }
  virtual bool RefreshView(const TPoint& P, Byte Button, TShiftState Shift, bool IsMouseEvent);
  virtual void UpdateWindowRegion();
  virtual void AlignInnerControl();
  virtual void ClipCanvasToRegion();
  virtual bool WantsTabKey() { return false; }
  virtual void UpdateData() {}
  virtual void UpdateScrollBarBounds(TuxScrollBar* ScrollBar);
  virtual TkxThemeClassKind GetThemedObjectType() { return tckEdit; }
  virtual int GetNativePart() { return 1; }
  virtual int GetNativeState();
  virtual bool GetScrollBarClientRect(const SCROLLBARINFO& Info, TRect& R);
  virtual bool CanShowScrollBar(TuxScrollBar* ScrollBar, const SCROLLBARINFO& Info);
  virtual bool GetInnerScrollBarInfo(SCROLLBARINFO& Info, TScrollBarKind Kind);
  virtual bool IsScrollBarInfoVisible(const SCROLLBARINFO& Info);
  virtual bool UseNativeStyle();
  virtual void FocusInnerControl();
  virtual void SetDragKind(TDragKind Value);
  virtual void SetScrollBarVisible(TuxScrollBar* ScrollBar, bool Visible);
  virtual void InvalidateInnerControlBounds() { FInnerControlVisibleArea = TuxControlVisibleArea(); }
  virtual void GetInnerControlBounds(TRect& R);
  virtual bool HasPopupWindow() { return false; }
  virtual bool InnerControlDefaultHandler(TMessage&) { return false; }
  virtual bool InnerControlMessage(TMessage& Message);
  virtual bool IsInplace() { return false; }
  virtual void UpdateScrollBars(bool JustHide);
  // The framework's own scroll-bar layout is not used: the bars lie over the
  // inner control's bars.
  void UpdateScrollBars() override { UpdateScrollBars(false); }
  void SetInternalControlsBounds() override {}
  void SetDragMode(TDragMode Value) override;

  // -- platform and framework operations taken over --
  bool Focused();
  void SetFocus() override;
  TuxLookAndFeel* GetLookAndFeel() override;
  bool HasScrollBars() override { return false; }
  bool CanFocusOnClick() override;
  bool AllowAutoDragAndDropAtPoint(int, int, TShiftState) override { return false; }
  bool MayFocus() override;
  void ColorChanged() override;
  void CursorChanged() override;
  void FocusChanged() override;
  void MouseEnter(TControl* Control) override;
  void MouseLeave(TControl* Control) override;
  void MouseLeave() override { TrackingMouseLeave(); }  // mouse tracking
  TRect GetClientBounds() override { return FViewInfo->ClientRect; }
  void AdjustClientRect(TRect& Rect) override { Rect = FViewInfo->ClientRect; }
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void WndProc(TMessage& Message) override;
  TDragImageList* GetDragImages() override;
  void GetTabOrderList(std::vector<TWinControl*>& List);
  void EnabledChanged();

 protected:
  void CreateHandle() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void Paint() override;
  void Resize() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void SetInnerControl(TWinControl* Control) { FInnerControl = Control; }

  TWinControl* FInnerControl = nullptr;
  bool FIsCreating = false;
  bool FInternalSetting = false;
  bool FInnerControlMouseDown = false;
  int FLockAlignControls = 0;
  int FPopupMenuLockCount = 0;
  bool FRefreshLocked = false;

 private:
  void StyleChangedHandler(TObject* Sender) { ContainerStyleChanged(Sender); }
  void WMSetCursor(TWMSetCursor& M);
  void WMNCPaint(TMessage& M) { M.Result = 0; }
  void WMSetFocus(TMessage& M);
  void WMKillFocus(TMessage& M);
  void WMWindowPosChanging(TMessage& M);
  void WMWindowPosChanged(TMessage& M);
  void CMCtl3DChanged(TMessage& M);
  void CMSysColorChange(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMFontChanged(TMessage& M);
  void CMParentColorChanged(TMessage& M);
  void CMParentFontChanged(TMessage& M);
  void UXMUpdateScrollBars(TMessage& M) { UpdateScrollBars(false); }
  void CMChildKey(TMessage& M);

  std::unique_ptr<TuxContainerStyles> FStyles;
  std::unique_ptr<TuxContainerViewInfo> FViewInfo;
  TuxContainerStateFlags FActiveStyleState = uxcsNormal;
  TuxContainerStyle* FActiveStyle = nullptr;
  TuxControlVisibleArea FInnerControlVisibleArea;
  bool FIsDestroying = false;
  bool FScrollBarsCalculating = false;
  bool FRefreshingMouseState = false;
  bool FTracking = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_SETFOCUS, TMessage, WMSetFocus)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus)
    PV_MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, TMessage, WMWindowPosChanging)
    PV_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, TMessage, WMWindowPosChanged)
    PV_MESSAGE_HANDLER(CM_CTL3DCHANGED, TMessage, CMCtl3DChanged)
    PV_MESSAGE_HANDLER(CM_SYSCOLORCHANGE, TMessage, CMSysColorChange)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CM_PARENTCOLORCHANGED, TMessage, CMParentColorChanged)
    PV_MESSAGE_HANDLER(CM_PARENTFONTCHANGED, TMessage, CMParentFontChanged)
    PV_MESSAGE_HANDLER(UXM_UPDATESCROLLBARS, TMessage, UXMUpdateScrollBars)
    PV_MESSAGE_HANDLER(CM_CHILDKEY, TMessage, CMChildKey)
  END_MESSAGE_MAP(TuxControl)
};
