// Enumerations, event types and forward declarations shared by every part of
// the bar library (toolbars, menus, their items and painters).
#pragma once
#include <cstdint>

#include "platform/classes/classes.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/actnlist.h"
#include "platform/controls/graphics.h"
#include "platform/rtl/types.h"
#include "platform/rtl/wintypes.h"
#include "platform/win/winuser.h"

PV_DECLARE_EXCEPTION(EkxBarError, Exception)

class TkxBarManager;
class TkxBar;
class TkxBars;
class TkxBarItem;
class TkxBarItemLink;
class TkxBarItemLinks;
class TkxDockControl;
class TkxBarDockControl;
class TCustomkxBarControl;
class TkxBarControl;
class TkxBarSubMenuControl;
class TkxBarItemControl;
class TkxBarEditControl;
class TkxBarItemControlPainter;
class TkxBarGroup;
class TkxBarPopupMenu;
class TkxBarManagerCategories;
class TkxBarBackgrounds;
class TkxBarPopupMenuLinks;
class TCustomkxBarSubItem;

// The style a manager draws its bars in; bmsUseLookAndFeel follows the
// manager's look and feel.
enum TkxBarManagerStyle { bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11, bmsUseLookAndFeel };
PV_ENUM_NAMES(TkxBarManagerStyle, "bmsStandard bmsEnhanced bmsFlat bmsXP bmsOffice11 bmsUseLookAndFeel")

enum TkxBarDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
PV_ENUM_NAMES(TkxBarDockingStyle, "dsNone dsLeft dsTop dsRight dsBottom")
using TkxBarDockingStyles = TSet<TkxBarDockingStyle>;

enum TkxBarItemVisible { ivNever, ivInCustomizing, ivAlways };
PV_ENUM_NAMES(TkxBarItemVisible, "ivNever ivInCustomizing ivAlways")

enum TkxBarBorderStyle { bbsNone, bbsSingle };
PV_ENUM_NAMES(TkxBarBorderStyle, "bbsNone bbsSingle")

enum TkxBarItemAlign { iaLeft, iaCenter, iaRight, iaClient };
PV_ENUM_NAMES(TkxBarItemAlign, "iaLeft iaCenter iaRight iaClient")

// What a button shows; scoped because the control framework's painter styles
// use the same first name.
enum class TkxBarPaintStyle { psStandard, psCaption, psCaptionInMenu, psCaptionGlyph };
PV_ENUM_NAMES(TkxBarPaintStyle, "psStandard psCaption psCaptionInMenu psCaptionGlyph")

enum TkxBarUserDefine { udCaption, udGlyph, udPaintStyle, udWidth };
PV_ENUM_NAMES(TkxBarUserDefine, "udCaption udGlyph udPaintStyle udWidth")
using TkxBarUserDefines = TSet<TkxBarUserDefine>;

enum TkxBarButtonStyle { bsDefault, bsChecked, bsDropDown };
PV_ENUM_NAMES(TkxBarButtonStyle, "bsDefault bsChecked bsDropDown")

enum TkxBarMenuAnimations { maNone, maRandom, maUnfold, maSlide, maFade };
PV_ENUM_NAMES(TkxBarMenuAnimations, "maNone maRandom maUnfold maSlide maFade")

enum TkxBarDockAlign { dalNone, dalTop, dalBottom, dalLeft, dalRight };
PV_ENUM_NAMES(TkxBarDockAlign, "dalNone dalTop dalBottom dalLeft dalRight")

// Border of a static item; scoped because the class library's static control
// uses the first name.
enum class TkxBarStaticBorderStyle { sbsNone, sbsLowered, sbsRaised, sbsEtched, sbsBump };

// The paint kind item controls pass to every painter operation.
constexpr int kxPaintKindToolbar = 0, kxPaintKindMenu = 1, kxPaintKindRotated = 2;

// ---- events ----
using TkxBarEvent = TEvent<void(TkxBarManager* Sender, TkxBar* ABar)>;
using TkxBarVisibleChangeEvent = TEvent<void(TkxBarManager* Sender, TkxBar* ABar)>;
using TkxBarItemLinkEvent = TEvent<void(TkxBarManager* Sender, TkxBarItemLink* ItemLink)>;
using TkxBarCanDockingEvent =
    TEvent<void(TkxBar* Sender, TkxBarDockingStyle Style, TkxDockControl* DockControl, bool& CanDocking)>;
using TkxBarClickItemEvent = TEvent<void(TkxBarManager* Sender, TkxBarItem* ClickedItem)>;
using TkxBarMenuMergeEvent = TEvent<void(TkxBarManager* Sender, TkxBarManager* ChildBarManager, bool AddItems)>;
using TkxBarShowPopupEvent = TEvent<void(TkxBarItemLinks* ItemLinks)>;
using TkxBarPaintSubMenuBarEvent = TEvent<void(TObject* Sender, TCanvas* Canvas, const TRect& R)>;
// A pop-up menu link is about to show its menu at X, Y (control coordinates;
// -1, -1 for a shortcut): the handler may move the point or refuse.
using TkxBarPopupMenuLinkActionEvent =
    TEvent<void(TObject* Sender, int& X, int& Y, bool ClickedByMouse, bool& AllowPopup)>;
using TkxBarCheckKeyForDropDownWindowEvent =
    TEvent<void(TObject* Sender, Word Key, TShiftState Shift, bool& Allow)>;
using TkxBarGetDropDownWindowEvent = TEvent<void(TObject* Sender, HWND& Window)>;
using TkxBarDrawItemEvent = TEvent<void(TObject* Sender, int Index, const TRect& R, unsigned State)>;
using TkxBarMeasureItemEvent = TEvent<void(TObject* Sender, int Index, int& Height)>;
