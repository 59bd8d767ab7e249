// The published settings of the bar library's classes, so that window
// descriptions hold managers, bars, links, items and dock sites.
#include "bars/bars_init.h"
#include "bars/kxbaritems.h"
#include "bars/kxbarprops.h"
#include "bars/kxbarpopup.h"
#include "platform/controls/menus.h"

namespace {

template <class C>
void ItemBase(TPropBuilder<C>& p) {
  p.Prop("Action", &TkxBarItem::Action, &TkxBarItem::SetAction);
  p.Prop("Align", &TkxBarItem::Align, &TkxBarItem::SetAlign).Default(iaLeft);
  p.Prop("Caption", &TkxBarItem::Caption, &TkxBarItem::SetCaption).Stored(&TkxBarItem::IsCaptionStored);
  p.Prop("Category", &TkxBarItem::Category, &TkxBarItem::SetCategory).NoDefault();
  p.Prop("Description", &TkxBarItem::Description, &TkxBarItem::SetDescription);
  p.Prop("Enabled", &TkxBarItem::StoredEnabled, &TkxBarItem::SetEnabled)
      .Default(true)
      .Stored(&TkxBarItem::IsEnabledStored);
  p.Prop("HelpContext", &TkxBarItem::HelpContext, &TkxBarItem::SetHelpContext)
      .Default(0)
      .Stored(&TkxBarItem::IsHelpContextStored);
  p.Prop("Hint", &TkxBarItem::Hint, &TkxBarItem::SetHint).Stored(&TkxBarItem::IsHintStored);
  p.Prop("Visible", &TkxBarItem::Visible, &TkxBarItem::SetVisible).NoDefault().Stored(&TkxBarItem::IsVisibleStored);
  p.Prop("OnDestroy", [](C* i) { return i->OnDestroy; }, [](C* i, TNotifyEvent e) { i->OnDestroy = e; });
}

template <class C>
void WindowItemEvents(TPropBuilder<C>& p) {
  p.Prop("Text", &TkxBarWindowItem::Text, &TkxBarWindowItem::SetText);
  p.Prop("OnChange", &TkxBarWindowItem::OnChange, &TkxBarWindowItem::OnChange);
  p.Prop("OnCurChange", &TkxBarWindowItem::OnCurChange, &TkxBarWindowItem::OnCurChange);
  p.Prop("OnEnter", &TkxBarWindowItem::OnEnter, &TkxBarWindowItem::OnEnter);
  p.Prop("OnExit", &TkxBarWindowItem::OnExit, &TkxBarWindowItem::OnExit);
  p.Prop("OnKeyDown", &TkxBarWindowItem::OnKeyDown, &TkxBarWindowItem::OnKeyDown);
  p.Prop("OnKeyPress", &TkxBarWindowItem::OnKeyPress, &TkxBarWindowItem::OnKeyPress);
  p.Prop("OnKeyUp", &TkxBarWindowItem::OnKeyUp, &TkxBarWindowItem::OnKeyUp);
}

}  // namespace

void kxBarRegisterCoreProps() {
  RegisterClasses({TkxBarManager::StaticClass(), TkxBarDockControl::StaticClass(), TkxBar::StaticClass(),
                   TkxBars::StaticClass(), TkxBarItemLink::StaticClass(), TkxBarItemLinks::StaticClass()});
  RegisterProps<TkxBarManager>([](TPropBuilder<TkxBarManager>& p) {
    using M = TkxBarManager;
    p.Prop("AllowCallFromAnotherForm", &M::AllowCallFromAnotherForm, &M::SetAllowCallFromAnotherForm).Default(false);
    p.Prop("AllowReset", &M::AllowReset, &M::SetAllowReset).Default(true);
    p.Prop("AlwaysMerge", &M::AlwaysMerge, &M::SetAlwaysMerge).Default(false);
    p.Prop("AlwaysSaveText", &M::AlwaysSaveText, &M::SetAlwaysSaveText).Default(false);
    p.Prop("AutoDockColor", &M::AutoDockColor, &M::SetAutoDockColor).Default(true);
    p.Prop("AutoHideEmptyBars", &M::AutoHideEmptyBars, &M::SetAutoHideEmptyBars).Default(false);
    p.Prop("Backgrounds", &M::Backgrounds, &M::SetBackgrounds);
    p.Prop("Bars", &M::Bars, &M::SetBars);
    p.Prop("ButtonArrowWidth", &M::ButtonArrowWidth, &M::SetButtonArrowWidth).Default(11);
    p.Prop("CanCustomize", &M::CanCustomize, &M::SetCanCustomize).Default(true);
    p.Prop("Categories", &M::Categories, &M::SetCategories);
    p.Prop("DockColor", &M::DockColor, &M::SetDockColor)
        .Default(clBtnFace)
        .Idents(ColorIdentMap())
        .Stored([](TObject* o) { return !static_cast<M*>(o)->AutoDockColor(); });
    p.Prop("FlatCloseButton", &M::FlatCloseButton, &M::SetFlatCloseButton).Default(false);
    p.Prop("Font", &M::Font, &M::SetFont).Stored([](TObject* o) { return !static_cast<M*>(o)->UseSystemFont(); });
    p.Prop("HelpButtonGlyph", &M::HelpButtonGlyph, &M::SetHelpButtonGlyph);
    p.Prop("HelpContext", &M::HelpContext, &M::SetHelpContext).Default(0);
    p.Prop("HideFloatingBarsWhenInactive", &M::HideFloatingBarsWhenInactive, &M::SetHideFloatingBarsWhenInactive)
        .Default(true);
    p.Prop("HotImages", &M::HotImages, &M::SetHotImages);
    p.Prop("Images", &M::Images, &M::SetImages);
    p.Prop("LargeImages", &M::LargeImages, &M::SetLargeImages);
    p.Prop("DisabledImages", &M::DisabledImages, &M::SetDisabledImages);
    p.Prop("DisabledLargeImages", &M::DisabledLargeImages, &M::SetDisabledLargeImages);
    p.Prop("ImageListBkColor", &M::ImageListBkColor, &M::SetImageListBkColor).Default(clFuchsia).Idents(ColorIdentMap());
    p.Prop("IniFileName", &M::IniFileName, &M::SetIniFileName);
    p.Prop("LargeButtonArrowWidth", &M::LargeButtonArrowWidth, &M::SetLargeButtonArrowWidth).Default(13);
    p.Prop("LargeIcons", &M::LargeIcons, &M::SetLargeIcons).Default(false);
    p.Prop("LookAndFeel", &M::LookAndFeel, &M::SetLookAndFeel);
    p.Prop("MakeDisabledImagesFaded", &M::MakeDisabledImagesFaded, &M::SetMakeDisabledImagesFaded).Default(false);
    p.Prop("MenuAnimations", &M::MenuAnimations, &M::SetMenuAnimations).Default(maNone);
    p.Prop("MenusShowRecentItemsFirst", &M::MenusShowRecentItemsFirst, &M::SetMenusShowRecentItemsFirst).Default(true);
    p.Prop("MostRecentItemsPercents", &M::MostRecentItemsPercents, &M::SetMostRecentItemsPercents).Default(95);
    p.Prop("NotDocking", &M::NotDocking, &M::SetNotDocking).Default(TkxBarDockingStyles{});
    p.Prop("PopupMenuLinks", &M::PopupMenuLinks, &M::SetPopupMenuLinks);
    p.Prop("RegistryPath", &M::RegistryPath, &M::SetRegistryPath);
    p.Prop("Scaled", &M::Scaled, &M::SetScaled).Default(true);
    p.Prop("ShowCloseButton", &M::ShowCloseButton, &M::SetShowCloseButton).Default(false);
    p.Prop("ShowFullMenusAfterDelay", &M::ShowFullMenusAfterDelay, &M::SetShowFullMenusAfterDelay).Default(true);
    p.Prop("ShowHelpButton", &M::ShowHelpButton, &M::SetShowHelpButton).Default(false);
    p.Prop("ShowHint", static_cast<bool (M::*)() const>(&M::ShowHint), &M::SetShowHint).Default(true);
    p.Prop("ShowHintForDisabledItems", &M::ShowHintForDisabledItems, &M::SetShowHintForDisabledItems).Default(true);
    p.Prop("ShowShortCutInHint", &M::ShowShortCutInHint, &M::SetShowShortCutInHint).Default(false);
    p.Prop("StoreInIniFile", &M::StoreInIniFile, &M::SetStoreInIniFile).Default(false);
    p.Prop("StoreInRegistry", &M::StoreInRegistry, &M::SetStoreInRegistry).Default(false);
    p.Prop("StretchGlyphs", &M::StretchGlyphs, &M::SetStretchGlyphs).Default(true);
    p.Prop("Style", &M::Style, &M::SetStyle).Default(bmsEnhanced);
    p.Prop("SunkenBorder", &M::SunkenBorder, &M::SetSunkenBorder).Default(false);
    p.Prop("UseF10ForMenu", &M::UseF10ForMenu, &M::SetUseF10ForMenu).Default(true);
    p.Prop("UseFullReset", &M::UseFullReset, &M::SetUseFullReset).Default(false);
    p.Prop("UseLargeImagesForLargeIcons", &M::UseLargeImagesForLargeIcons, &M::SetUseLargeImagesForLargeIcons)
        .Default(false);
    p.Prop("UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont).NoDefault();
    p.Prop("WaitForDockingTime", &M::WaitForDockingTime, &M::SetWaitForDockingTime).Default(21);
    p.Prop("OnBarAdd", &M::OnBarAdd, &M::OnBarAdd);
    p.Prop("OnBarAfterReset", &M::OnBarAfterReset, &M::OnBarAfterReset);
    p.Prop("OnBarBeforeReset", &M::OnBarBeforeReset, &M::OnBarBeforeReset);
    p.Prop("OnBarClose", &M::OnBarClose, &M::OnBarClose);
    p.Prop("OnBarDelete", &M::OnBarDelete, &M::OnBarDelete);
    p.Prop("OnBarDockingStyleChange", &M::OnBarDockingStyleChange, &M::OnBarDockingStyleChange);
    p.Prop("OnBarVisibleChange", &M::OnBarVisibleChange, &M::OnBarVisibleChange);
    p.Prop("OnClickItem", &M::OnClickItem, &M::OnClickItem);
    p.Prop("OnCloseButtonClick", &M::OnCloseButtonClick, &M::OnCloseButtonClick);
    p.Prop("OnDocking", &M::OnDocking, &M::OnDocking);
    p.Prop("OnHelpButtonClick", &M::OnHelpButtonClick, &M::OnHelpButtonClick);
    p.Prop("OnHideCustomizingForm", &M::OnHideCustomizingForm, &M::OnHideCustomizingForm);
    p.Prop("OnItemLinkAdd", &M::OnItemLinkAdd, &M::OnItemLinkAdd);
    p.Prop("OnItemLinkChange", &M::OnItemLinkChange, &M::OnItemLinkChange);
    p.Prop("OnItemLinkDelete", &M::OnItemLinkDelete, &M::OnItemLinkDelete);
    p.Prop("OnMenuMerge", &M::OnMenuMerge, &M::OnMenuMerge);
    p.Prop("OnShowCustomizingForm", &M::OnShowCustomizingForm, &M::OnShowCustomizingForm);
    p.Prop("OnShowCustomizingPopup", &M::OnShowCustomizingPopup, &M::OnShowCustomizingPopup);
    p.Prop("OnShowToolbarsPopup", &M::OnShowToolbarsPopup, &M::OnShowToolbarsPopup);
  });
  RegisterProps<TkxBar>([](TPropBuilder<TkxBar>& p) {
    using B = TkxBar;
    p.Prop("AllowClose", &B::AllowClose, &B::SetAllowClose).Default(true);
    p.Prop("AllowCustomizing", &B::AllowCustomizing, &B::SetAllowCustomizing).Default(true);
    p.Prop("AllowQuickCustomizing", &B::AllowQuickCustomizing, &B::SetAllowQuickCustomizing).Default(true);
    p.Prop("AllowReset", &B::AllowReset, &B::SetAllowReset).Default(true);
    p.Prop("AlphaBlendValue", &B::AlphaBlendValue, &B::SetAlphaBlendValue).Default(255);
    p.Prop("BackgroundBitmap", &B::BackgroundBitmap, &B::SetBackgroundBitmap);
    p.Prop("BorderStyle", &B::BorderStyle, &B::SetBorderStyle).Default(bbsSingle);
    p.Prop("Caption", &B::Caption, &B::SetCaption);
    p.Prop("Color", &B::Color, &B::SetColor).Default(clDefault).Idents(ColorIdentMap());
    p.Prop("DockControl", &B::DockControl, &B::SetDockControl);
    p.Prop("DockedDockControl", &B::DockedDockControl, &B::SetDockedDockControl);
    p.Prop("DockedDockingStyle", &B::DockedDockingStyle, &B::SetDockedDockingStyle)
        .Default(dsTop)
        .Stored([](TObject* o) { return static_cast<B*>(o)->DockedDockControl() == nullptr; });
    p.Prop("DockedLeft", &B::DockedLeft, &B::SetDockedLeft).NoDefault();
    p.Prop("DockedTop", &B::DockedTop, &B::SetDockedTop).NoDefault();
    p.Prop("DockingStyle", &B::DockingStyle, &B::SetDockingStyle)
        .Default(dsNone)
        .Stored([](TObject* o) { return static_cast<B*>(o)->DockControl() == nullptr; });
    p.Prop("FloatLeft", &B::FloatLeft, &B::SetFloatLeft).NoDefault();
    p.Prop("FloatTop", &B::FloatTop, &B::SetFloatTop).NoDefault();
    p.Prop("FloatClientWidth", &B::FloatClientWidth, &B::SetFloatClientWidth).NoDefault();
    p.Prop("FloatClientHeight", &B::FloatClientHeight, &B::SetFloatClientHeight).NoDefault();
    p.Prop("Font", &B::Font, &B::SetFont).Stored([](TObject* o) { return static_cast<B*>(o)->UseOwnFont(); });
    p.Prop("Hidden", &B::Hidden, &B::SetHidden).Default(false);
    p.Prop("IsMainMenu", &B::IsMainMenu, &B::SetIsMainMenu).Default(false);
    p.Prop("ItemLinks", &B::ItemLinks, &B::SetItemLinks);
    p.Prop("MultiLine", &B::MultiLine, &B::SetMultiLine).Default(false);
    p.Prop("Name", &B::Name, &B::SetName);
    p.Prop("NotDocking", &B::NotDocking, &B::SetNotDocking).Default(TkxBarDockingStyles{});
    p.Prop("OneOnRow", &B::OneOnRow, &B::SetOneOnRow).NoDefault();
    p.Prop("RotateWhenVertical", &B::RotateWhenVertical, &B::SetRotateWhenVertical).Default(true);
    p.Prop("Row", &B::Row, &B::SetRow).NoDefault();
    p.Prop("ShowMark", &B::ShowMark, &B::SetShowMark).Default(true);
    p.Prop("SizeGrip", &B::SizeGrip, &B::SetSizeGrip).Default(true);
    p.Prop("UseOwnFont", &B::UseOwnFont, &B::SetUseOwnFont).NoDefault();
    p.Prop("UseRecentItems", &B::UseRecentItems, &B::SetUseRecentItems).Default(true);
    p.Prop("UseRestSpace", &B::UseRestSpace, &B::SetUseRestSpace).Default(false);
    p.Prop("Visible", [](B* b) { return b->IsLoading() ? b->LoadedVisible() : b->Visible(); }, &B::SetVisible)
        .NoDefault();
    p.Prop("WholeRow", &B::WholeRow, &B::SetWholeRow).NoDefault();
  });
  RegisterProps<TkxBarItemLink>([](TPropBuilder<TkxBarItemLink>& p) {
    using L = TkxBarItemLink;
    p.Prop("Item", &L::Item, &L::SetItem);
    p.Prop("BeginGroup", &L::StoredBeginGroup, &L::SetBeginGroup).Default(false);
    p.Prop("Visible", &L::Visible, &L::SetVisible).NoDefault();
    p.Prop("MostRecentlyUsed", &L::MostRecentlyUsed, &L::SetMostRecentlyUsed).Default(true);
    p.Prop("UserCaption", &L::UserCaption, &L::SetUserCaption);
    p.Prop("UserDefine", &L::UserDefine, &L::SetUserDefine).Default(TkxBarUserDefines{});
    p.Prop("UserGlyph", &L::UserGlyph, &L::SetUserGlyph);
    p.Prop("UserPaintStyle", &L::UserPaintStyle, &L::SetUserPaintStyle).Default(TkxBarPaintStyle::psStandard);
    p.Prop("UserWidth", &L::UserWidth, &L::SetUserWidth).Default(0);
  });
  RegisterProps<TkxBarDockControl>([](TPropBuilder<TkxBarDockControl>& p) {
    using D = TkxBarDockControl;
    p.Prop("Align", &D::DockAlign, &D::SetDockAlign).NoDefault();
    p.Prop("AllowDocking", &D::AllowDocking, &D::SetAllowDocking).Default(true);
    p.Prop("AllowZeroSizeInDesignTime", &D::AllowZeroSizeInDesignTime, &D::SetAllowZeroSizeInDesignTime)
        .Default(false);
    p.Prop("BarManager", &D::BarManager, &D::SetBarManager);
    p.Prop("BackgroundBitmap", &D::BackgroundBitmap, &D::SetBackgroundBitmap);
    p.Prop("Color", &D::Color, &D::SetDockColor)
        .Default(clBtnFace)
        .Idents(ColorIdentMap())
        .Stored([](TObject* o) { return static_cast<D*>(o)->UseOwnColor() && !static_cast<D*>(o)->ParentColor(); });
    p.Prop("ParentColor", &D::ParentColor, &D::SetDockParentColor).Default(true);
    p.Prop("SunkenBorder", &D::SunkenBorder, &D::SetSunkenBorder).Stored([](TObject* o) {
      return static_cast<D*>(o)->UseOwnSunkenBorder();
    });
    p.Prop("UseOwnColor", &D::UseOwnColor, &D::SetUseOwnColor).Default(false);
    p.Prop("UseOwnSunkenBorder", &D::UseOwnSunkenBorder, &D::SetUseOwnSunkenBorder).Default(false);
    PublishControlProps(p, "Anchors Visible OnClick OnDblClick OnMouseDown OnMouseMove OnMouseUp OnResize");
  });
}

void kxBarRegisterItemKinds() {
  // item class, item-control class, offered by the customizing window
  kxBarRegisterItemClass(TkxBarButton::StaticClass(), TkxBarButtonControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarEdit::StaticClass(), TkxBarEditControl::StaticClass(), true);
  kxBarRegisterItemClass(TCustomkxBarCombo::StaticClass(), TCustomkxBarComboControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarCombo::StaticClass(), TkxBarComboControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarSubItem::StaticClass(), TkxBarSubItemControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarListItem::StaticClass(), TkxBarContainerItemControl::StaticClass(), true);
  kxBarRegisterItemClass(TkxBarContainerItem::StaticClass(), TkxBarContainerItemControl::StaticClass(), true);
  static bool propsDone = false;
  if (propsDone) return;
  propsDone = true;
  RegisterProps<TkxBarItem>([](TPropBuilder<TkxBarItem>& p) { ItemBase(p); });
  RegisterProps<TkxBarButton>([](TPropBuilder<TkxBarButton>& p) {
    using B = TkxBarButton;
    p.Prop("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
    p.Prop("ButtonStyle", &B::ButtonStyle, &B::SetButtonStyle).Default(bsDefault);
    p.Prop("CloseSubMenuOnClick", &B::CloseSubMenuOnClick, &B::SetCloseSubMenuOnClick).Default(true);
    p.Prop("DropDownEnabled", &B::DropDownEnabled, &B::SetDropDownEnabled).Default(true);
    p.Prop("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu);
    p.Prop("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
    p.Prop("Down", &B::Down, &B::SetDown).Default(false);
    p.Prop("Lowered", &B::Lowered, &B::SetLowered).Default(false);
    p.Prop("PaintStyle", &B::PaintStyle, &B::SetPaintStyle).Default(TkxBarPaintStyle::psStandard);
    p.Prop("ShortCut", [](B* b) { return int(b->ShortCut()); }, [](B* b, int v) { b->SetShortCut(TShortCut(v)); })
        .Default(0)
        .Stored(&TkxBarItem::IsShortCutStored);
    p.Prop("UnclickAfterDoing", &B::UnclickAfterDoing, &B::SetUnclickAfterDoing).Default(true);
    kxBarGlyphAndClickProps(p);
  });
  RegisterProps<TkxBarWindowItem>([](TPropBuilder<TkxBarWindowItem>& p) { WindowItemEvents(p); });
  RegisterProps<TkxBarEdit>([](TPropBuilder<TkxBarEdit>& p) {
    using E = TkxBarEdit;
    p.Prop("MaxLength", &E::MaxLength, &E::SetMaxLength).Default(0);
    p.Prop("ReadOnly", &E::ReadOnly, &E::SetReadOnly).Default(false);
    p.Prop("ShowCaption", &E::ShowCaption, &E::SetShowCaption).Default(false);
    p.Prop("Width", &E::Width, &E::SetWidth).Default(100);
    kxBarGlyphAndClickProps(p);
  });
  RegisterProps<TCustomkxBarCombo>([](TPropBuilder<TCustomkxBarCombo>& p) {
    using C = TCustomkxBarCombo;
    p.Prop("ShowEditor", &C::ShowEditor, &C::SetShowEditor).Default(true);
    p.Prop("OnCheckKeyForDropDownWindow", &C::OnCheckKeyForDropDownWindow, &C::OnCheckKeyForDropDownWindow);
    p.Prop("OnCloseUp", &C::OnCloseUp, &C::OnCloseUp);
    p.Prop("OnDropDown", &C::OnDropDown, &C::OnDropDown);
    p.Prop("OnGetDropDownWindow", &C::OnGetDropDownWindow, &C::OnGetDropDownWindow);
  });
  RegisterProps<TkxBarCustomCombo>([](TPropBuilder<TkxBarCustomCombo>& p) {
    using C = TkxBarCustomCombo;
    p.Prop("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(8);
    p.Prop("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth).Default(0);
    p.Prop("OnDrawItem", &C::OnDrawItem, &C::OnDrawItem);
    p.Prop("OnMeasureItem", &C::OnMeasureItem, &C::OnMeasureItem);
  });
  RegisterProps<TkxBarCombo>([](TPropBuilder<TkxBarCombo>& p) {
    kxBarStringComboProps(p);
  });
  RegisterProps<TCustomkxBarSubItem>([](TPropBuilder<TCustomkxBarSubItem>& p) {
    using S = TCustomkxBarSubItem;
    p.Prop("BarSize", &S::BarSize, &S::SetBarSize).Default(0);
    p.Prop("Detachable", &S::Detachable, &S::SetDetachable).Default(false);
    p.Prop("DetachingBar", &S::DetachingBar, &S::SetDetachingBar).Default(-1);
    p.Prop("ItemLinks", &S::ItemLinks, &S::SetItemLinks);
    p.Prop("ShowCaption", &S::ShowCaption, &S::SetShowCaption).Default(true);
    p.Prop("OnDetaching", &S::OnDetaching, &S::OnDetaching);
    p.Prop("OnPaintBar", &S::OnPaintBar, &S::OnPaintBar);
    kxBarGlyphAndClickProps(p);
  });
  RegisterProps<TkxBarSubItem>([](TPropBuilder<TkxBarSubItem>& p) {
    using S = TkxBarSubItem;
    p.Prop("AllowCustomizing", &S::AllowCustomizing, &S::SetAllowCustomizing).Default(true);
    p.Prop("OnCloseUp", &S::OnCloseUp, &S::OnCloseUp);
    p.Prop("OnPopup", &S::OnPopup, &S::OnPopup);
  });
  RegisterProps<TCustomkxBarContainerItem>([](TPropBuilder<TCustomkxBarContainerItem>& p) {
    p.Prop("OnGetData", &TCustomkxBarContainerItem::OnGetData, &TCustomkxBarContainerItem::OnGetData);
  });
  RegisterProps<TkxBarListItem>([](TPropBuilder<TkxBarListItem>& p) {
    using L = TkxBarListItem;
    p.Prop("Items", &L::Items, &L::SetItems);
    p.Prop("ItemIndex", &L::ItemIndex, &L::SetItemIndex).Default(-1);
    p.Prop("ShowCheck", &L::ShowCheck, &L::SetShowCheck).Default(false);
    p.Prop("ShowNumbers", &L::ShowNumbers, &L::SetShowNumbers).Default(true);
  });
}

void kxBarUnregisterItemKinds() {
  static const TClass classes[] = {TkxBarContainerItem::StaticClass(), TkxBarListItem::StaticClass(),
                                   TkxBarSubItem::StaticClass(),       TkxBarCombo::StaticClass(),
                                   TCustomkxBarCombo::StaticClass(),   TkxBarEdit::StaticClass(),
                                   TkxBarButton::StaticClass()};
  for (TClass c : classes) kxBarUnregisterItemClass(c);
}
