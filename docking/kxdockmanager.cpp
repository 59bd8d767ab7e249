// The docking manager, the default properties of created sites, and the
// docking library's start-up (class and property registration).
#include "docking/kxdockmanager.h"

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockpanel.h"
#include "framework/uxwinutils.h"
#include "platform/rtl/streams.h"

void kxFreeDockingController();

// ===================================================================== properties

TkxCustomDockControlProperties::TkxCustomDockControlProperties(TkxDockingManager* AManager)
    : FManager(AManager), FFont(std::make_unique<TFont>()) {}

TkxCustomDockControlProperties::~TkxCustomDockControlProperties() = default;

TPersistent* TkxCustomDockControlProperties::GetOwner() const { return FManager; }

bool TkxCustomDockControlProperties::ManagerLoading() const { return FManager && FManager->IsLoading(); }

void TkxCustomDockControlProperties::SetColor(TColor Value) {
  FColor = Value;
  if (!ManagerLoading()) FManagerColor = false;
}

void TkxCustomDockControlProperties::SetFont(TFont* Value) {
  FFont->Assign(Value);
  if (!ManagerLoading()) FManagerFont = false;
}

void TkxCustomDockControlProperties::SetManagerColor(bool Value) {
  if (Value && !ManagerLoading() && FManager) FColor = FManager->Color();
  FManagerColor = Value;
}

void TkxCustomDockControlProperties::SetManagerFont(bool Value) {
  if (Value && !ManagerLoading() && FManager) FFont->Assign(FManager->Font());
  FManagerFont = Value;
}

void TkxCustomDockControlProperties::AssignTo(TPersistent* Dest) {
  if (auto* C = dynamic_cast<TkxCustomDockControl*>(Dest)) {
    C->SetAllowDock(FAllowDock);
    C->SetAllowDockClients(FAllowDockClients);
    C->SetAllowFloating(FAllowFloating);
    C->SetCaption(FCaption);
    C->SetCaptionButtons(FCaptionButtons);
    C->SetDockable(FDockable);
    C->SetImageIndex(FImageIndex);
    C->SetShowCaption(FShowCaption);
    C->SetColor(FColor);
    C->SetCursor(FCursor);
    C->SetFont(FFont.get());
    C->SetHint(FHint);
    C->SetManagerColor(FManagerColor);
    C->SetManagerFont(FManagerFont);
    C->SetPopupMenu(FPopupMenu);
    C->SetShowHint(FShowHint);
    C->SetTag(FTag);
    return;
  }
  if (auto* P = dynamic_cast<TkxCustomDockControlProperties*>(Dest)) {
    P->FAllowDock = FAllowDock;
    P->FAllowDockClients = FAllowDockClients;
    P->FAllowFloating = FAllowFloating;
    P->FCaption = FCaption;
    P->FCaptionButtons = FCaptionButtons;
    P->FDockable = FDockable;
    P->FImageIndex = FImageIndex;
    P->FShowCaption = FShowCaption;
    P->SetColor(FColor);
    P->FCursor = FCursor;
    P->SetFont(FFont.get());
    P->FHint = FHint;
    P->SetManagerColor(FManagerColor);
    P->SetManagerFont(FManagerFont);
    P->FPopupMenu = FPopupMenu;
    P->FShowHint = FShowHint;
    P->FTag = FTag;
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TkxTabContainerDockSiteProperties::AssignTo(TPersistent* Dest) {
  if (auto* T = dynamic_cast<TkxTabContainerDockSite*>(Dest)) {
    T->SetTabsPosition(FTabsPosition);
    T->SetTabsScroll(FTabsScroll);
  } else if (auto* P = dynamic_cast<TkxTabContainerDockSiteProperties*>(Dest)) {
    P->FTabsPosition = FTabsPosition;
    P->FTabsScroll = FTabsScroll;
  }
  TkxSideContainerDockSiteProperties::AssignTo(Dest);
}

// ===================================================================== manager

TkxDockingManager::TkxDockingManager(TComponent* AOwner) : TComponent(AOwner) {
  FChangeLink = std::make_unique<TChangeLink>();
  FChangeLink->OnChange = TNotifyEvent(this, &TkxDockingManager::ImagesChanged);
  CreateDefaultSitesProperties();
  FFont = std::make_unique<TFont>();
  FFont->OnChange = TNotifyEvent(this, &TkxDockingManager::FontChangeHandler);
  FLookAndFeel = std::make_unique<TuxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed) {
    LookAndFeelChangeHandler(Sender, Changed);
  };
  GetDockingController()->RegisterManager(this);
  FRegistered = true;
}

TkxDockingManager::~TkxDockingManager() {
  if (FRegistered) GetDockingController()->UnregisterManager(this);
  ReleasePainterClass();
  FLookAndFeel.reset();
  FFont.reset();
  DestroyDefaultSitesProperties();
  if (FImages && !FImages->ComponentState().Contains(csDestroying)) FImages->UnRegisterChanges(FChangeLink.get());
  FChangeLink.reset();
}

TCustomForm* TkxDockingManager::ParentForm() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TkxDockingManager::Loaded() {
  TComponent::Loaded();
  UpdateDefaultSitesPropertiesColor();
  UpdateDefaultSitesPropertiesFont();
  TkxDockingController* C = GetDockingController();
  C->RemovePendingLayoutForm(ParentForm());
  C->UpdateManagerSettings(ParentForm());
}

void TkxDockingManager::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  // An image list freed with the manager's form goes first: forget it, so
  // that the destructor does not reach for it.
  if (AComponent == FImages && ComponentState().Contains(csDestroying)) FImages = nullptr;
  if (ComponentState().Contains(csDestroying)) return;
  if (AComponent == FImages) SetImages(nullptr);
  for (auto& P : FDefaultSitesProperties)
    if (P->PopupMenu() == AComponent) P->SetPopupMenu(nullptr);
}

void TkxDockingManager::LoadLayoutFromStream(TStream* AStream) {
  GetDockingController()->LoadLayoutFromStream(AStream, ParentForm());
}

void TkxDockingManager::SaveLayoutToStream(TStream* AStream) {
  GetDockingController()->SaveLayoutToStream(AStream, ParentForm());
}

void TkxDockingManager::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  if (!IsLoading()) {
    UpdateDefaultSitesPropertiesColor();
    GetDockingController()->UpdateManagerColors(ParentForm());
  }
}

void TkxDockingManager::SetFont(TFont* Value) { FFont->Assign(Value); }

void TkxDockingManager::FontChangeHandler(TObject*) {
  if (IsLoading()) return;
  UpdateDefaultSitesPropertiesFont();
  GetDockingController()->UpdateManagerFonts(ParentForm());
}

void TkxDockingManager::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) {
    if (!FImages->ComponentState().Contains(csDestroying)) FImages->UnRegisterChanges(FChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FChangeLink.get());
    FImages->FreeNotification(this);
  }
  ImagesChanged(this);
}

void TkxDockingManager::ImagesChanged(TObject*) {
  if (!IsLoading()) GetDockingController()->UpdateManagerImages(ParentForm());
}

void TkxDockingManager::SetLookAndFeel(TuxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

void TkxDockingManager::LookAndFeelChangeHandler(TuxLookAndFeel*, TuxLookAndFeelValues) {
  if (IsLoading() || FViewStyle != vsUseLookAndFeel) return;
  GetDockingController()->ViewChanged(ParentForm(), true);
}

void TkxDockingManager::SetOptions(TkxDockingOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (!IsLoading()) GetDockingController()->UpdateManagerOptions(ParentForm());
}

void TkxDockingManager::SetDockZonesWidth(int Value) {
  if (Value == FDockZonesWidth) return;
  FDockZonesWidth = Value;
  GetDockingController()->UpdateZonesWidth(ParentForm());
}

void TkxDockingManager::SetResizeZonesWidth(int Value) {
  if (Value == FResizeZonesWidth) return;
  FResizeZonesWidth = Value;
  GetDockingController()->UpdateZonesWidth(ParentForm());
}

void TkxDockingManager::SetViewStyle(TkxDockingViewStyle Value) {
  if (Value == FViewStyle) return;
  FViewStyle = Value;
  if (IsLoading()) return;
  GetDockingController()->ViewChanged(ParentForm(), true);
  if (OnViewChanged) OnViewChanged(this);
}

TkxCustomDockControlProperties* TkxDockingManager::DefaultSitesProperties(int Index) const {
  if (Index < 0 || Index >= DefaultSitesPropertiesCount()) return nullptr;
  return FDefaultSitesProperties[std::size_t(Index)].get();
}

TkxLayoutDockSiteProperties* TkxDockingManager::DefaultLayoutSiteProperties() const {
  return dynamic_cast<TkxLayoutDockSiteProperties*>(DefaultSitesProperties(0));
}
TkxFloatDockSiteProperties* TkxDockingManager::DefaultFloatSiteProperties() const {
  return dynamic_cast<TkxFloatDockSiteProperties*>(DefaultSitesProperties(1));
}
TkxSideContainerDockSiteProperties* TkxDockingManager::DefaultHorizContainerSiteProperties() const {
  return dynamic_cast<TkxSideContainerDockSiteProperties*>(DefaultSitesProperties(2));
}
TkxSideContainerDockSiteProperties* TkxDockingManager::DefaultVertContainerSiteProperties() const {
  return dynamic_cast<TkxSideContainerDockSiteProperties*>(DefaultSitesProperties(3));
}
TkxTabContainerDockSiteProperties* TkxDockingManager::DefaultTabContainerSiteProperties() const {
  return dynamic_cast<TkxTabContainerDockSiteProperties*>(DefaultSitesProperties(4));
}

void TkxDockingManager::SetDefaultLayoutSiteProperties(TkxLayoutDockSiteProperties* V) {
  DefaultLayoutSiteProperties()->Assign(V);
}
void TkxDockingManager::SetDefaultFloatSiteProperties(TkxFloatDockSiteProperties* V) {
  DefaultFloatSiteProperties()->Assign(V);
}
void TkxDockingManager::SetDefaultHorizContainerSiteProperties(TkxSideContainerDockSiteProperties* V) {
  DefaultHorizContainerSiteProperties()->Assign(V);
}
void TkxDockingManager::SetDefaultVertContainerSiteProperties(TkxSideContainerDockSiteProperties* V) {
  DefaultVertContainerSiteProperties()->Assign(V);
}
void TkxDockingManager::SetDefaultTabContainerSiteProperties(TkxTabContainerDockSiteProperties* V) {
  DefaultTabContainerSiteProperties()->Assign(V);
}

void TkxDockingManager::CreateDefaultSitesProperties() {
  FDefaultSitesProperties.clear();
  FDefaultSitesProperties.push_back(std::make_unique<TkxLayoutDockSiteProperties>(this));
  FDefaultSitesProperties.push_back(std::make_unique<TkxFloatDockSiteProperties>(this));
  FDefaultSitesProperties.push_back(std::make_unique<TkxSideContainerDockSiteProperties>(this));
  FDefaultSitesProperties.push_back(std::make_unique<TkxSideContainerDockSiteProperties>(this));
  FDefaultSitesProperties.push_back(std::make_unique<TkxTabContainerDockSiteProperties>(this));
}

void TkxDockingManager::DestroyDefaultSitesProperties() { FDefaultSitesProperties.clear(); }

void TkxDockingManager::UpdateDefaultSitesPropertiesColor() {
  for (auto& P : FDefaultSitesProperties)
    if (P->ManagerColor()) P->SetManagerColor(true);
}

void TkxDockingManager::UpdateDefaultSitesPropertiesFont() {
  for (auto& P : FDefaultSitesProperties)
    if (P->ManagerFont()) P->SetManagerFont(true);
}

TkxDockControlPainterClass TkxDockingManager::GetPainterClass() {
  if (FPainterClass) return FPainterClass;
  TkxDockingViewStyle S = FViewStyle;
  if (S == vsUseLookAndFeel) {
    if (FLookAndFeel->NativeStyle() && AreVisualStylesAvailable()) {
      S = vsXP;
    } else {
      switch (FLookAndFeel->Kind()) {
        case lfFlat:
        case lfUltraFlat: S = vsNET; break;
        case lfOffice11: S = vsOffice11; break;
        default: S = vsStandard; break;
      }
    }
  }
  switch (S) {
    case vsNET: FPainterClass = TkxDockControlNETPainter::Class(); break;
    case vsOffice11: FPainterClass = TkxDockControlOfficePainter::Class(); break;
    case vsXP: FPainterClass = TkxDockControlXPPainter::Class(); break;
    default: FPainterClass = TkxDockControlPainter::Class(); break;
  }
  return FPainterClass;
}

void TkxDockingManager::InitializePainterClass(bool ResetDefaults) {
  TkxDockControlPainterClass C = GetPainterClass();
  C->CreateColors();
  if (ResetDefaults) {
    C->InitManagerColor(this);
    C->InitManagerFont(this);
  }
}

void TkxDockingManager::ReleasePainterClass() {
  if (!FPainterClass) return;
  FPainterClass->ReleaseColors();
  FPainterClass = nullptr;
}

// ===================================================================== registration

namespace {

bool gRegistered = false;

template <class C>
void PublishDockEvents(TPropBuilder<C>& p, std::initializer_list<const char*> Names) {
  using B = TkxCustomDockControl;
  for (const char* N : Names) {
    const AnsiString Name = N;
#define PV_DOCK_EVENT(E) \
  if (Name == #E) p.Prop(#E, &B::E, &B::E);
    PV_DOCK_EVENT(OnActivate)
    PV_DOCK_EVENT(OnAutoHideChanged)
    PV_DOCK_EVENT(OnAutoHideChanging)
    PV_DOCK_EVENT(OnCanResize)
    PV_DOCK_EVENT(OnClose)
    PV_DOCK_EVENT(OnCloseQuery)
    PV_DOCK_EVENT(OnCanDocking)
    PV_DOCK_EVENT(OnCreateFloatSite)
    PV_DOCK_EVENT(OnCreateLayoutSite)
    PV_DOCK_EVENT(OnCreateSideContainer)
    PV_DOCK_EVENT(OnCreateTabContainer)
    PV_DOCK_EVENT(OnCustomDrawDockingSelection)
    PV_DOCK_EVENT(OnCustomDrawResizingSelection)
    PV_DOCK_EVENT(OnDock)
    PV_DOCK_EVENT(OnDocking)
    PV_DOCK_EVENT(OnEndDocking)
    PV_DOCK_EVENT(OnEndResizing)
    PV_DOCK_EVENT(OnGetAutoHidePosition)
    PV_DOCK_EVENT(OnLayoutChanged)
    PV_DOCK_EVENT(OnMakeFloating)
    PV_DOCK_EVENT(OnResizing)
    PV_DOCK_EVENT(OnRestoreDockPosition)
    PV_DOCK_EVENT(OnStartDocking)
    PV_DOCK_EVENT(OnStartResizing)
    PV_DOCK_EVENT(OnStoreDockPosition)
    PV_DOCK_EVENT(OnUnDock)
    PV_DOCK_EVENT(OnUpdateDockZones)
    PV_DOCK_EVENT(OnUpdateResizeZones)
#undef PV_DOCK_EVENT
    if (Name == "OnResize") p.Prop("OnResize", &TControl::OnResize, &TControl::OnResize);
  }
}

// The settings every dock control publishes (first group of its class).
template <class C>
void PublishDockSettings(TPropBuilder<C>& p, std::initializer_list<const char*> Names) {
  using B = TkxCustomDockControl;
  for (const char* N : Names) {
    const AnsiString Name = N;
    if (Name == "AllowDock") p.Prop("AllowDock", &B::AllowDock, &B::SetAllowDock).Default(kxAllDockingTypes);
    else if (Name == "AllowDockClients")
      p.Prop("AllowDockClients", &B::AllowDockClients, &B::SetAllowDockClients).Default(kxAllDockingTypes);
    else if (Name == "AllowFloating") p.Prop("AllowFloating", &B::AllowFloating, &B::SetAllowFloating).NoDefault();
    else if (Name == "AutoHide") p.Prop("AutoHide", &B::AutoHide, &B::SetAutoHide).NoDefault();
    else if (Name == "CaptionButtons")
      p.Prop("CaptionButtons", &B::CaptionButtons, &B::SetCaptionButtons).Default(kxAllCaptionButtons);
    else if (Name == "Dockable") p.Prop("Dockable", &B::Dockable, &B::SetDockable).Default(true);
    else if (Name == "ImageIndex") p.Prop("ImageIndex", &B::ImageIndex, &B::SetImageIndex).Default(-1);
    else if (Name == "ShowCaption") p.Prop("ShowCaption", &B::ShowCaption, &B::SetShowCaption).Default(true);
    else if (Name == "Caption") p.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
  }
}

template <class C>
void PublishPropertiesBase(TPropBuilder<C>& p) {
  using P = TkxCustomDockControlProperties;
  p.Prop("Color", &P::Color, &P::SetColor).Default(clBtnFace).Idents(ColorIdentMap()).Stored([](TObject* O) {
    return !static_cast<P*>(dynamic_cast<P*>(O))->ManagerColor();
  });
  p.Prop("Cursor", &P::Cursor, &P::SetCursor).Default(0).Idents(CursorIdentMap());
  p.Prop("Font", &P::Font, &P::SetFont).Stored([](TObject* O) {
    return !static_cast<P*>(dynamic_cast<P*>(O))->ManagerFont();
  });
  p.Prop("Hint", &P::Hint, &P::SetHint);
  p.Prop("ManagerColor", &P::ManagerColor, &P::SetManagerColor).Default(true);
  p.Prop("ManagerFont", &P::ManagerFont, &P::SetManagerFont).Default(true);
  p.Prop("PopupMenu", &P::PopupMenu, &P::SetPopupMenu);
  p.Prop("ShowHint", &P::ShowHint, &P::SetShowHint).Default(false);
  p.Prop("Tag", &P::Tag, &P::SetTag).Default(0);
}

template <class C>
void PublishSidePropertiesBase(TPropBuilder<C>& p) {
  using P = TkxCustomDockControlProperties;
  p.Prop("AllowDock", &P::AllowDock, &P::SetAllowDock).Default(kxAllDockingTypes);
  p.Prop("AllowDockClients", &P::AllowDockClients, &P::SetAllowDockClients).Default(kxAllDockingTypes);
  p.Prop("AllowFloating", &P::AllowFloating, &P::SetAllowFloating).Default(true);
  p.Prop("CaptionButtons", &P::CaptionButtons, &P::SetCaptionButtons).Default(kxAllCaptionButtons);
  p.Prop("Dockable", &P::Dockable, &P::SetDockable).NoDefault();
  p.Prop("ImageIndex", &P::ImageIndex, &P::SetImageIndex).NoDefault();
  p.Prop("ShowCaption", &P::ShowCaption, &P::SetShowCaption).Default(true);
}

void RegisterDockingProps() {
  using B = TkxCustomDockControl;
  RegisterProps<TkxCustomDockControl>([](TPropBuilder<TkxCustomDockControl>& p) {
    p.Prop("Color", &TControl::Color, &TControl::SetColor)
        .Default(clWindow)
        .Idents(ColorIdentMap())
        .Stored([](TObject* O) { return dynamic_cast<B*>(O)->IsColorStored(); });
    p.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](TObject* O) {
      return dynamic_cast<B*>(O)->IsFontStored();
    });
    p.Prop("ManagerColor", &B::ManagerColor, &B::SetManagerColor).Default(true);
    p.Prop("ManagerFont", &B::ManagerFont, &B::SetManagerFont).Default(true);
    p.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
    p.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(false);
    p.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    p.Prop("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    p.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored([](TObject* O) {
      return !dynamic_cast<TControl*>(O)->ParentShowHint();
    });
    p.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  });
  RegisterProps<TkxCustomDockSite>([](TPropBuilder<TkxCustomDockSite>& p) {
    PublishDockSettings(p, {"AllowDockClients"});
    PublishDockEvents(p, {"OnCanDocking", "OnLayoutChanged", "OnUpdateDockZones", "OnUpdateResizeZones"});
  });
  RegisterProps<TkxLayoutDockSite>([](TPropBuilder<TkxLayoutDockSite>& p) {
    PublishDockEvents(p, {"OnCreateLayoutSite"});
  });
  RegisterProps<TkxDockSite>([](TPropBuilder<TkxDockSite>& p) {
    p.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    p.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Stored([](TObject* O) {
      auto* C = dynamic_cast<TControl*>(O);
      return C->Anchors() != AnchorsOfAlign(C->Align());
    });
    p.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false);
    PublishDockEvents(p, {"OnCreateLayoutSite"});
    p.Prop("OnHideControl", &TkxDockSite::OnHideControl, &TkxDockSite::OnHideControl);
    p.Prop("OnShowControl", &TkxDockSite::OnShowControl, &TkxDockSite::OnShowControl);
  });
  RegisterProps<TkxContainerDockSite>([](TPropBuilder<TkxContainerDockSite>& p) {
    p.Prop("ActiveChildIndex", &TkxContainerDockSite::ActiveChildIndex, &TkxContainerDockSite::SetActiveChildIndex)
        .NoDefault();
    PublishDockSettings(p, {"AllowDock", "AllowFloating"});
    p.Prop("OnActiveChildChanged", &TkxContainerDockSite::OnActiveChildChanged,
           &TkxContainerDockSite::OnActiveChildChanged);
    PublishDockEvents(p, {"OnCanResize", "OnCreateFloatSite", "OnCustomDrawDockingSelection",
                          "OnCustomDrawResizingSelection", "OnEndResizing", "OnResize", "OnResizing",
                          "OnRestoreDockPosition", "OnStartResizing", "OnStoreDockPosition"});
  });
  static const std::initializer_list<const char*> kContainerEvents = {
      "OnActivate", "OnAutoHideChanged", "OnAutoHideChanging", "OnClose",         "OnCloseQuery",
      "OnDock",     "OnDocking",         "OnEndDocking",       "OnGetAutoHidePosition", "OnMakeFloating",
      "OnStartDocking", "OnUnDock"};
  RegisterProps<TkxTabContainerDockSite>([](TPropBuilder<TkxTabContainerDockSite>& p) {
    using T = TkxTabContainerDockSite;
    PublishDockSettings(p, {"AutoHide", "CaptionButtons", "Dockable", "ImageIndex", "ShowCaption"});
    p.Prop("TabsPosition", &T::TabsPosition, &T::SetTabsPosition).Default(tctpBottom);
    p.Prop("TabsScroll", &T::TabsScroll, &T::SetTabsScroll).Default(true);
    PublishDockEvents(p, kContainerEvents);
    PublishDockEvents(p, {"OnCreateSideContainer"});
  });
  RegisterProps<TkxSideContainerDockSite>([](TPropBuilder<TkxSideContainerDockSite>& p) {
    PublishDockSettings(p, {"AutoHide", "CaptionButtons", "Dockable", "ImageIndex", "ShowCaption"});
    PublishDockEvents(p, kContainerEvents);
  });
  RegisterProps<TkxFloatDockSite>([](TPropBuilder<TkxFloatDockSite>& p) {
    using F = TkxFloatDockSite;
    p.Prop("FloatLeft", &F::FloatLeft, &F::SetFloatLeft).NoDefault();
    p.Prop("FloatTop", &F::FloatTop, &F::SetFloatTop).NoDefault();
    p.Prop("FloatWidth", &F::FloatWidth, &F::SetFloatWidth).NoDefault();
    p.Prop("FloatHeight", &F::FloatHeight, &F::SetFloatHeight).NoDefault();
    p.Prop("OnSetFloatFormCaption", &F::OnSetFloatFormCaption, &F::OnSetFloatFormCaption);
  });
  RegisterProps<TkxDockPanel>([](TPropBuilder<TkxDockPanel>& p) {
    PublishDockSettings(p, {"AllowDock", "AllowDockClients", "AllowFloating", "AutoHide", "Caption",
                            "CaptionButtons", "Dockable", "ImageIndex", "ShowCaption"});
    p.Prop("ShowSingleTab", &TkxDockPanel::ShowSingleTab, &TkxDockPanel::SetShowSingleTab).Default(false);
    p.Prop("TabPosition", &TkxDockPanel::TabPosition, &TkxDockPanel::SetTabPosition).Default(tctpBottom);
    PublishDockEvents(p, {"OnActivate",         "OnAutoHideChanged", "OnAutoHideChanging", "OnCanResize",
                          "OnClose",            "OnCloseQuery",      "OnCreateFloatSite",  "OnCreateSideContainer",
                          "OnCreateTabContainer", "OnCustomDrawDockingSelection", "OnCustomDrawResizingSelection",
                          "OnDock",             "OnDocking",         "OnEndDocking",       "OnEndResizing",
                          "OnGetAutoHidePosition", "OnLayoutChanged", "OnMakeFloating",    "OnResize",
                          "OnResizing",         "OnRestoreDockPosition", "OnStartDocking", "OnStartResizing",
                          "OnStoreDockPosition", "OnUnDock",         "OnUpdateDockZones",  "OnUpdateResizeZones"});
  });

  RegisterProps<TkxCustomDockControlProperties>(
      [](TPropBuilder<TkxCustomDockControlProperties>& p) { PublishPropertiesBase(p); });
  RegisterProps<TkxLayoutDockSiteProperties>([](TPropBuilder<TkxLayoutDockSiteProperties>& p) {
    using P = TkxCustomDockControlProperties;
    p.Prop("AllowDockClients", &P::AllowDockClients, &P::SetAllowDockClients).Default(kxAllDockingTypes);
  });
  RegisterProps<TkxFloatDockSiteProperties>([](TPropBuilder<TkxFloatDockSiteProperties>& p) {
    using P = TkxCustomDockControlProperties;
    p.Prop("AllowDockClients", &P::AllowDockClients, &P::SetAllowDockClients).Default(kxAllDockingTypes);
  });
  RegisterProps<TkxSideContainerDockSiteProperties>(
      [](TPropBuilder<TkxSideContainerDockSiteProperties>& p) { PublishSidePropertiesBase(p); });
  RegisterProps<TkxTabContainerDockSiteProperties>([](TPropBuilder<TkxTabContainerDockSiteProperties>& p) {
    using T = TkxTabContainerDockSiteProperties;
    p.Prop("TabsPosition", &T::TabsPosition, &T::SetTabsPosition).Default(tctpBottom);
    p.Prop("TabsScroll", &T::TabsScroll, &T::SetTabsScroll).Default(true);
  });

  RegisterProps<TkxDockingManager>([](TPropBuilder<TkxDockingManager>& p) {
    using M = TkxDockingManager;
    auto UseDefaults = [](TObject* O) { return dynamic_cast<M*>(O)->UseDefaultSitesProperties(); };
    p.Prop("AutoHideInterval", &M::AutoHideInterval, &M::SetAutoHideInterval).Default(500);
    p.Prop("AutoHideMovingInterval", &M::AutoHideMovingInterval, &M::SetAutoHideMovingInterval).Default(1);
    p.Prop("AutoHideMovingSize", &M::AutoHideMovingSize, &M::SetAutoHideMovingSize).Default(20);
    p.Prop("AutoShowInterval", &M::AutoShowInterval, &M::SetAutoShowInterval).Default(300);
    p.Prop("Color", &M::Color, &M::SetColor).Idents(ColorIdentMap());
    p.Prop("DefaultLayoutSiteProperties", &M::DefaultLayoutSiteProperties, &M::SetDefaultLayoutSiteProperties)
        .Stored(UseDefaults);
    p.Prop("DefaultFloatSiteProperties", &M::DefaultFloatSiteProperties, &M::SetDefaultFloatSiteProperties)
        .Stored(UseDefaults);
    p.Prop("DefaultHorizContainerSiteProperties", &M::DefaultHorizContainerSiteProperties,
           &M::SetDefaultHorizContainerSiteProperties)
        .Stored(UseDefaults);
    p.Prop("DefaultVertContainerSiteProperties", &M::DefaultVertContainerSiteProperties,
           &M::SetDefaultVertContainerSiteProperties)
        .Stored(UseDefaults);
    p.Prop("DefaultTabContainerSiteProperties", &M::DefaultTabContainerSiteProperties,
           &M::SetDefaultTabContainerSiteProperties)
        .Stored(UseDefaults);
    p.Prop("DockZonesWidth", &M::DockZonesWidth, &M::SetDockZonesWidth).Default(20);
    p.Prop("Font", &M::Font, &M::SetFont);
    p.Prop("Images", &M::Images, &M::SetImages);
    p.Prop("LookAndFeel", &M::LookAndFeel, &M::SetLookAndFeel);
    p.Prop("Options", &M::Options, &M::SetOptions).NoDefault();
    p.Prop("ResizeZonesWidth", &M::ResizeZonesWidth, &M::SetResizeZonesWidth).Default(3);
    p.Prop("SelectionFrameWidth", &M::SelectionFrameWidth, &M::SetSelectionFrameWidth).Default(4);
    p.Prop("TabsScrollInterval", &M::TabsScrollInterval, &M::SetTabsScrollInterval).Default(300);
    p.Prop("UseDefaultSitesProperties", &M::UseDefaultSitesProperties, &M::SetUseDefaultSitesProperties)
        .Default(true);
    p.Prop("ViewStyle", &M::ViewStyle, &M::SetViewStyle).NoDefault();
    p.Prop("OnActiveDockControlChanged", &M::OnActiveDockControlChanged, &M::OnActiveDockControlChanged);
    p.Prop("OnCreateFloatSite", &M::OnCreateFloatSite, &M::OnCreateFloatSite);
    p.Prop("OnCreateLayoutSite", &M::OnCreateLayoutSite, &M::OnCreateLayoutSite);
    p.Prop("OnCreateSideContainer", &M::OnCreateSideContainer, &M::OnCreateSideContainer);
    p.Prop("OnCreateTabContainer", &M::OnCreateTabContainer, &M::OnCreateTabContainer);
    p.Prop("OnCustomDrawDockingSelection", &M::OnCustomDrawDockingSelection, &M::OnCustomDrawDockingSelection);
    p.Prop("OnCustomDrawResizingSelection", &M::OnCustomDrawResizingSelection, &M::OnCustomDrawResizingSelection);
    p.Prop("OnLayoutChanged", &M::OnLayoutChanged, &M::OnLayoutChanged);
    p.Prop("OnSetFloatFormCaption", &M::OnSetFloatFormCaption, &M::OnSetFloatFormCaption);
    p.Prop("OnViewChanged", &M::OnViewChanged, &M::OnViewChanged);
    p.Prop("OnUpdateDockZones", &M::OnUpdateDockZones, &M::OnUpdateDockZones);
    p.Prop("OnUpdateResizeZones", &M::OnUpdateResizeZones, &M::OnUpdateResizeZones);
  });
}

}  // namespace

void kxInitDocking() {
  ParentFormHook = &kxDockingGetParentForm;
  if (gRegistered) return;
  gRegistered = true;
  RegisterClasses({TkxLayoutDockSite::StaticClass(), TkxContainerDockSite::StaticClass(),
                   TkxTabContainerDockSite::StaticClass(), TkxSideContainerDockSite::StaticClass(),
                   TkxVertContainerDockSite::StaticClass(), TkxHorizContainerDockSite::StaticClass(),
                   TkxFloatDockSite::StaticClass(), TkxDockSite::StaticClass(), TkxDockingManager::StaticClass(),
                   TkxDockPanel::StaticClass(), TkxCustomDockControlProperties::StaticClass(),
                   TkxLayoutDockSiteProperties::StaticClass(), TkxFloatDockSiteProperties::StaticClass(),
                   TkxSideContainerDockSiteProperties::StaticClass(),
                   TkxTabContainerDockSiteProperties::StaticClass()});
  RegisterDockingProps();
}

void kxDoneDocking() {
  kxFreeDockingController();
  ParentFormHook = nullptr;
}
