// Vocabulary of the docking library: dock types, caption buttons, auto-hide
// sides, tab positions, options and view styles, the stored dock position,
// the event types of the dock controls, the private window messages and the
// library's texts.
#pragma once

#include <vector>

#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"

class TkxCustomDockControl;
class TkxCustomDockSite;
class TkxLayoutDockSite;
class TkxContainerDockSite;
class TkxTabContainerDockSite;
class TkxSideContainerDockSite;
class TkxHorizContainerDockSite;
class TkxVertContainerDockSite;
class TkxDockSite;
class TkxDockSiteAutoHideContainer;
class TkxDockSiteHideBar;
class TkxFloatDockSite;
class TkxFloatForm;
class TkxDockPanel;
class TkxZone;
class TkxDockControlPainter;
class TkxDockingController;
class TkxDockingManager;

// How a control sits in its parent; dtNone: not docked.
enum TkxDockingTypeEx { dtNone, dtClient, dtLeft, dtTop, dtRight, dtBottom };
using TkxDockingType = TkxDockingTypeEx;
using TkxDockingTypes = TSet<TkxDockingTypeEx>;
inline constexpr TkxDockingTypes kxAllDockingTypes{dtClient, dtLeft, dtTop, dtRight, dtBottom};

enum TkxCaptionButton { cbMaximize, cbHide, cbClose };
using TkxCaptionButtons = TSet<TkxCaptionButton>;
inline constexpr TkxCaptionButtons kxAllCaptionButtons{cbMaximize, cbHide, cbClose};

enum TkxAutoHidePosition { ahpLeft, ahpTop, ahpRight, ahpBottom, ahpUndefined };
enum TkxTabContainerTabsPosition { tctpTop, tctpBottom };
enum TkxDockingState { dcsDestroying, dcsUnattached, dcsHidden, dcsFloating, dcsDocked };

enum TkxDockingOption {
  doActivateAfterDocking, doDblClickDocking, doFloatingOnTop, doFreeOnClose, doUndockOnClose,
  doTabContainerHasCaption, doTabContainerCanClose, doTabContainerCanAutoHide, doSideContainerHasCaption,
  doSideContainerCanClose, doSideContainerCanAutoHide, doTabContainerCanInSideContainer,
  doSideContainerCanInTabContainer, doSideContainerCanInSideContainer, doImmediatelyHideOnAutoHide,
  doHideAutoHideIfActive, doUseCaptionAreaToClientDocking
};
using TkxDockingOptions = TSet<TkxDockingOption>;
// The options of a new manager and of a form without one (bit value 3751).
inline constexpr TkxDockingOptions kxDefaultDockingOptions{
    doActivateAfterDocking, doDblClickDocking,        doFloatingOnTop,
    doTabContainerHasCaption, doTabContainerCanAutoHide, doSideContainerCanClose,
    doSideContainerCanAutoHide, doTabContainerCanInSideContainer};

enum TkxDockingViewStyle { vsStandard, vsNET, vsOffice11, vsXP, vsUseLookAndFeel };

PV_ENUM_NAMES(TkxDockingTypeEx, "dtNone dtClient dtLeft dtTop dtRight dtBottom")
PV_ENUM_NAMES(TkxCaptionButton, "cbMaximize cbHide cbClose")
PV_ENUM_NAMES(TkxAutoHidePosition, "ahpLeft ahpTop ahpRight ahpBottom ahpUndefined")
PV_ENUM_NAMES(TkxTabContainerTabsPosition, "tctpTop tctpBottom")
PV_ENUM_NAMES(TkxDockingOption,
              "doActivateAfterDocking doDblClickDocking doFloatingOnTop doFreeOnClose doUndockOnClose "
              "doTabContainerHasCaption doTabContainerCanClose doTabContainerCanAutoHide "
              "doSideContainerHasCaption doSideContainerCanClose doSideContainerCanAutoHide "
              "doTabContainerCanInSideContainer doSideContainerCanInTabContainer "
              "doSideContainerCanInSideContainer doImmediatelyHideOnAutoHide doHideAutoHideIfActive "
              "doUseCaptionAreaToClientDocking")
PV_ENUM_NAMES(TkxDockingViewStyle, "vsStandard vsNET vsOffice11 vsXP vsUseLookAndFeel")

// Where a control was docked before it floated: enough to dock it back.
struct TkxDockPosition {
  int DockIndex = 0;
  TkxDockingType DockType = dtNone;
  int OriginalHeight = 0;
  int OriginalWidth = 0;
  TkxCustomDockControl* DockParent = nullptr;
  TkxCustomDockControl* SiblingAfter = nullptr;
  TkxCustomDockControl* SiblingBefore = nullptr;
};

// The zones of a control, owned by it; handlers of the zone events may add
// (new) or remove (delete) zones.
using TkxZoneList = std::vector<TkxZone*>;

// ---- events ----
using TkxActivateEvent = TEvent<void(TkxCustomDockControl* Sender, bool Active)>;
using TkxDockControlNotifyEvent = TEvent<void(TkxCustomDockControl* Sender)>;
using TkxCanResizeEvent = TEvent<void(TkxCustomDockControl* Sender, int NewWidth, int NewHeight, bool& Resize)>;
using TkxDockControlCloseQueryEvent = TEvent<void(TkxCustomDockControl* Sender, bool& CanClose)>;
using TkxCanDockingEvent =
    TEvent<void(TkxCustomDockControl* Sender, TkxCustomDockControl* Source, TkxZone* Zone, int X, int Y, bool& Accept)>;
using TkxCreateFloatSiteEvent = TEvent<void(TkxCustomDockControl* Sender, TkxFloatDockSite* AFloatSite)>;
using TkxCreateLayoutSiteEvent = TEvent<void(TkxCustomDockControl* Sender, TkxLayoutDockSite* ALayoutSite)>;
using TkxCreateSideContainerEvent =
    TEvent<void(TkxCustomDockControl* Sender, TkxSideContainerDockSite* ASideContainer)>;
using TkxCreateTabContainerEvent = TEvent<void(TkxCustomDockControl* Sender, TkxTabContainerDockSite* ATabContainer)>;
using TkxCustomDrawSelectionEvent =
    TEvent<void(TkxCustomDockControl* Sender, HDC DC, TkxZone* Zone, TRect ARect, bool Erasing, bool& Handled)>;
using TkxDockEvent = TEvent<void(TkxCustomDockControl* Sender, TkxCustomDockControl* Site, TkxDockingType ADockType, int AIndex)>;
using TkxDockingEvent = TEvent<void(TkxCustomDockControl* Sender, TkxZone* Zone, int X, int Y, bool& Accept)>;
using TkxEndDockingEvent = TEvent<void(TkxCustomDockControl* Sender, TkxZone* Zone, int X, int Y)>;
using TkxResizingEvent = TEvent<void(TkxCustomDockControl* Sender, TkxZone* Zone, int X, int Y)>;
using TkxGetAutoHidePositionEvent = TEvent<void(TkxCustomDockControl* Sender, TkxAutoHidePosition& APosition)>;
using TkxMakeFloatingEvent = TEvent<void(TkxCustomDockControl* Sender, int X, int Y)>;
using TkxDockPositionEvent = TEvent<void(TkxCustomDockControl* Sender, TkxDockPosition& APosition)>;
using TkxStartDockingEvent = TEvent<void(TkxCustomDockControl* Sender, int X, int Y)>;
using TkxUnDockEvent = TEvent<void(TkxCustomDockControl* Sender, TkxCustomDockControl* Site)>;
using TkxUpdateZonesEvent = TEvent<void(TkxCustomDockControl* Sender, TkxZoneList& AZones)>;
using TkxActiveChildChangeEvent = TEvent<void(TkxContainerDockSite* Sender, TkxCustomDockControl* Child)>;
using TkxAutoHideControlEvent = TEvent<void(TkxDockSite* Sender, TkxCustomDockControl* AControl)>;
using TkxSetFloatFormCaptionEvent = TEvent<void(TkxCustomDockControl* Sender, TkxFloatForm* AFloatForm)>;

// ---- private window messages ----
constexpr UINT DM_RELEASECONTROLS = 0x8065;  // to the controller's window: free released controls
constexpr UINT DM_HIDEFLOATFORM = 0x8066;    // posted to a float form
constexpr UINT DM_SHOWFLOATFORM = 0x8067;    // sent to a float form

// ---- texts ----
enum TkxDockingText {
  kxsCreateLayoutError,      // "内部错误while creating a %s object layout."
  kxsDestroyLayoutError,     // "内部错误while destroying a %s object layout."
  kxsOwnerNotForm,
  kxsDeleteInFloating,
  kxsAncestorDocking,
  kxsCannotSetParent,
  kxsCannotInsertIntoPanel,  // %s
  kxsCannotDeleteLayoutSite,
  kxsDockSiteParent,
  kxsCannotInsertIntoSite,   // %s
  kxsCannotDeleteFloatSite,
  kxsFloatSiteParent,
  kxsSecondManager,
  kxsZoneWithoutOwner,
  kxsAutoHideError,
};
// The text in code page 936.
AnsiString kxDockingText(TkxDockingText Id);

// A refusal of the docking library (plain exception) and an impossible layout
// state (assertion failure naming the unit).
[[noreturn]] void kxDockingError(TkxDockingText Id, const AnsiString& Arg = AnsiString());
[[noreturn]] void kxDockingAssert(TkxDockingText Id, const AnsiString& Arg, const char* Unit = "kxDockControl");

// A layout text that cannot be loaded; nothing of the arrangement was changed.
PV_DECLARE_EXCEPTION(EkxDockingLayoutError, Exception)
