// The bar manager: settings, style and painter, fonts, image lists, the
// update lock, lookups and reading from a window description.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarpopup.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbarhooks.h"
#include "framework/uxcontrols.h"
#include "framework/uxoffice11.h"
#include "platform/classes/filer.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
// "工具栏管理器必须有窗体容器"
const char* const kNeedsForm =
    "\xB9\xA4\xBE\xDF\xC0\xB8\xB9\xDC\xC0\xED\xC6\xF7\xB1\xD8\xD0\xEB\xD3\xD0\xB4\xB0\xCC\xE5\xC8\xDD\xC6\xF7";
// "一个窗体中只能包含一个工具栏管理器"
const char* const kOnlyOne =
    "\xD2\xBB\xB8\xF6\xB4\xB0\xCC\xE5\xD6\xD0\xD6\xBB\xC4\xDC\xB0\xFC\xBA\xAC\xD2\xBB\xB8\xF6\xB9\xA4\xBE\xDF\xC0\xB8"
    "\xB9\xDC\xC0\xED\xC6\xF7";
// "默认"

// The theme classes the native-theme painter needs: ComboBox, Edit, Progress,
// Rebar, ScrollBar, Spin, Status, ToolBar and Window.
constexpr TkxThemeClassKinds kBarThemeKinds =
    kxThemeKind(tckComboBox) | kxThemeKind(tckEdit) | kxThemeKind(tckProgress) | kxThemeKind(tckRebar) |
    kxThemeKind(tckScrollBar) | kxThemeKind(tckSpin) | kxThemeKind(tckStatus) | kxThemeKind(tckToolBar) |
    kxThemeKind(tckWindow);
}  // namespace

bool kxBarVisualStylesAvailable() { return AreVisualStylesAvailable(kBarThemeKinds); }

TkxBarItemControlPainterClass kxBarFlatPainterClass = nullptr;
TkxBarItemControlPainterClass kxBarOffice11PainterClass = nullptr;

TComponent* TkxBarManager::ResolveOwner(TComponent* AOwner) {
  if (!AOwner && Application && Application->MainForm()) return Application->MainForm();
  return AOwner;
}

TkxBarManager::TkxBarManager(TComponent* AOwner) : TComponent(ResolveOwner(AOwner)) {
  FOwnerForm = dynamic_cast<TCustomForm*>(Owner());
  if (!FOwnerForm) throw EkxBarError(uxTranslateString(kNeedsForm));
  if (kxBarGetManagerByForm(FOwnerForm)) throw EkxBarError(uxTranslateString(kOnlyOne));
  FConstructing = false;
  kxBarAddManager(this);
  try {
    FBackgrounds = std::make_unique<TkxBarBackgrounds>(this);
    UpdatePainter();
    FDesignerNotification = true;
    FDesigning = Owner()->ComponentState().Contains(csDesigning);
    FCategories = std::make_unique<TkxBarManagerCategories>(this);
    FBars = std::make_unique<TkxBars>(this);
    FPopupMenuLinks = std::make_unique<TkxBarPopupMenuLinks>(this);
    FFont = std::make_unique<TFont>();
    FFont->OnChange = TNotifyEvent(this, &TkxBarManager::FontChanged);
    FHelpButtonGlyph = std::make_unique<TBitmap>();
    FHelpButtonGlyph->OnChange = TNotifyEvent(this, &TkxBarManager::HelpButtonGlyphChanged);
    for (auto& link : FChangeLinks) {
      link = std::make_unique<TChangeLink>();
      link->OnChange = TNotifyEvent(this, &TkxBarManager::ImageChangeLinkChanged);
    }
    FThemeNotificator = std::make_unique<TkxThemeChangedNotificator>();
    FThemeNotificator->OnThemeChanged = [this] { StyleChanged(); };
    CalcInitialUseCount();
    FLookAndFeel = std::make_unique<TuxLookAndFeel>(this);
    FLookAndFeel->OnChanged = [this](TuxLookAndFeel*, TuxLookAndFeelValues) {
      if (!IsDestroying()) StyleChanged();
    };
    FStyle = bmsStandard;
    SetStyle(bmsEnhanced);
    SetUseSystemFont(true);
    CreateResources();
  } catch (...) {
    kxBarRemoveManager(this);
    throw;
  }
}

TkxBarManager::~TkxBarManager() {
  if (FConstructing) return;
  kxBarHintManagerGone(this);
  FLookAndFeel.reset();
  FThemeNotificator.reset();
  if (FIsCustomizing) {
    // leave customizing mode without touching the bar windows that go with us
    FIsCustomizing = false;
    kxBarShowCustomizingForm(this, false);
  }
  FreeResources();
  // Pop-up menus and groups are components of the form; the ones still alive go now.
  while (!FPopupMenus.empty()) {
    TkxBarPopupMenu* m = FPopupMenus.back();
    FPopupMenus.pop_back();
    m->Free();
  }
  for (auto& link : FChangeLinks)
    if (link && link->Sender()) link->Sender()->UnRegisterChanges(link.get());
  FHelpButtonGlyph.reset();
  while (!FGroups.empty()) {
    TkxBarGroup* g = FGroups.front();
    FGroups.erase(FGroups.begin());
    g->Free();
  }
  if (FMenuFontHandle) DeleteObject(FMenuFontHandle);
  FMenuFontHandle = nullptr;
  FBars.reset();
  // Sites on the form's panels stay with the form; they only forget us.
  for (TkxDockControl* d : std::vector<TkxDockControl*>(FDockControls)) d->SetBarManager(nullptr);
  FDockControls.clear();
  while (!FItems.empty()) {
    TkxBarItem* item = FItems.back();
    FItems.pop_back();
    item->SetBarManager(nullptr);
    item->Free();
  }
  kxBarRemoveManager(this);
  FFont.reset();
  FCategories.reset();
  FPendingBars.reset();
  FPopupMenuLinks.reset();
  FBackgrounds.reset();
}

// ---------------------------------------------------------------------------
// style and painter

TkxBarManagerStyle TkxBarManager::GetEffectiveStyle() const {
  if (FStyle != bmsUseLookAndFeel) return FStyle;
  if (FLookAndFeel && FLookAndFeel->NativeStyle() && FVisualStyles) return bmsXP;
  switch (FLookAndFeel ? FLookAndFeel->Kind() : lfUltraFlat) {
    case lfFlat: return bmsEnhanced;
    case lfStandard: return bmsStandard;
    case lfUltraFlat: return bmsFlat;
    case lfOffice11: return bmsOffice11;
  }
  return bmsEnhanced;
}

TkxBarItemControlPainterClass TkxBarManager::GetPainterClass() {
  auto enhanced = TkxBarItemControlEnhancedPainter::Instance();
  switch (GetEffectiveStyle()) {
    case bmsFlat: return TkxBarItemControlFlatPainter::Instance();
    case bmsXP: return FVisualStyles ? TkxBarItemControlXPPainter::Instance() : enhanced;
    case bmsEnhanced: return enhanced;
    case bmsOffice11: return TkxBarItemControlOffice11Painter::Instance();
    default: return TkxBarItemControlStandardPainter::Instance();
  }
}

void TkxBarManager::UpdatePainter() {
  FVisualStyles = kxBarVisualStylesAvailable();
  FPainterClass = GetPainterClass();
}

void TkxBarManager::SetStyle(TkxBarManagerStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  StyleChanged();
}

void TkxBarManager::StyleChanged() {
  FStyleChanging = true;
  try {
    UpdatePainter();
    FGripOffset = FPainterClass->GetGripOffset();
    FGripAreaSize = FPainterClass->GetGripAreaSize();
    FMenuSeparatorIndent = FPainterClass->GetMenuSeparatorIndent();
    CalcImageSizes();
    if (FBars)
      for (int i = 0; i < FBars->Count(); ++i)
        if (TkxBarControl* c = FBars->Items(i)->Control())
          if (c->HandleAllocated()) c->RecreateBar();
    RefreshBars();
  } catch (...) {
    FStyleChanging = false;
    throw;
  }
  FStyleChanging = false;
  kxBarCustomizingFormStyleChanged();
}

void TkxBarManager::RefreshBars() {
  if (IsLoading() || IsDestroying()) return;
  for (TkxDockControl* d : FDockControls) {
    d->FreeBackgroundCache();
    d->UpdateDoubleBuffered();
    if (d->HandleAllocated()) {
      d->UpdateDock();
      d->Invalidate();
    }
  }
  if (FBars)
    for (int i = 0; i < FBars->Count(); ++i)
      if (TkxBarControl* c = FBars->Items(i)->Control()) {
        c->UpdateControlStyle();
        if (c->HandleAllocated()) {
          if (!c->IsVertical() && !c->IsHorizontal()) c->Rebuild();
          c->InvalidateWithFrame();
        }
      }
}

void TkxBarManager::RebuildBarWindows() {
  if (IsLoading() || IsDestroying() || !FBars) return;
  for (int i = 0; i < FBars->Count(); ++i)
    if (TkxBarControl* c = FBars->Items(i)->Control()) c->Rebuild();
}

void TkxBarManager::CalcImageSizes() {
  FImageSize = 16;
  if (FLargeIcons) FImageSize = UseLargeImages() ? FLargeImages->Width() : 32;
  TkxBarItemControlPainterClass p = FPainterClass ? FPainterClass : TkxBarItemControlEnhancedPainter::Instance();
  FButtonWidth = FImageSize + p->GetButtonWidthMargin();
  FButtonHeight = FImageSize + p->GetButtonHeightMargin();
  FDropDownArrowWidth = p->CalcDropDownArrowWidth(this);
}

void TkxBarManager::CalcInitialUseCount() {
  int p = FMostRecentItemsPercents;
  if (p >= 100) {
    FInitialUseCount = 0;
    return;
  }
  int n = 1;
  while (n * (100 - p) / 100 <= 0) ++n;
  FInitialUseCount = n;
}

int TkxBarManager::GetFloatingBorderWidth() const { return FPainterClass->GetFloatingBorderWidth(); }
int TkxBarManager::GetFloatingBorderHeight() const { return FPainterClass->GetFloatingBorderHeight(); }

int TkxBarManager::GetBarGripSize(TkxBar* Bar) const {
  return Bar && Bar->CanBeMoved() ? FGripAreaSize : FPainterClass->GetDockedBorderIndent();
}

int TkxBarManager::GetLargeDropDownArrowWidth() { return FPainterClass->GetLargeDropDownArrowWidth(this); }

HWND TkxBarManager::GetDragCaptureWindow() {
  if (FIsCustomizing)
    if (TCustomForm* f = kxBarGetCustomizingForm(); f && f->HandleAllocated()) return f->Handle();
  if (Application && Application->Handle() && IsWindowVisible(Application->Handle())) return Application->Handle();
  return FOwnerForm ? FOwnerForm->Handle() : nullptr;
}

// ---------------------------------------------------------------------------
// settings

void TkxBarManager::SetAutoDockColor(bool Value) {
  if (Value == FAutoDockColor) return;
  FAutoDockColor = Value;
  for (TkxDockControl* d : FDockControls) {
    d->UpdateColor();
    d->Invalidate();
  }
}

void TkxBarManager::SetAutoHideEmptyBars(bool Value) {
  if (Value == FAutoHideEmptyBars) return;
  FAutoHideEmptyBars = Value;
  if (!Value && FBars)
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->SetAutoHidden(false);
}

void TkxBarManager::SetBars(TkxBars* Value) { FBars->Assign(Value); }

void TkxBarManager::SetButtonArrowWidth(int Value) {
  if (Value < 2 || Value == FButtonArrowWidth) return;
  FButtonArrowWidth = Value;
  CalcImageSizes();
  RebuildBarWindows();
}

void TkxBarManager::SetLargeButtonArrowWidth(int Value) {
  if (Value < 2 || Value == FLargeButtonArrowWidth) return;
  FLargeButtonArrowWidth = Value;
  RebuildBarWindows();
}

void TkxBarManager::SetDockColor(TColor Value) {
  FStoredDockColor = Value;
  FAutoDockColor = false;
  for (TkxDockControl* d : FDockControls) {
    d->UpdateColor();
    d->Invalidate();
  }
}

TColor TkxBarManager::GetDockColor() const {
  if (FAutoDockColor && FOwnerForm) return FOwnerForm->Color();
  return FStoredDockColor;
}

void TkxBarManager::SetFlatCloseButton(bool Value) {
  if (Value == FFlatCloseButton) return;
  FFlatCloseButton = Value;
  if (TkxBarControl* c = MainMenuControl()) {
    if (FSelectedItem && FSelectedItem->Parent() == c) c->HotTrack(nullptr);
    c->Rebuild();
  }
}

void TkxBarManager::SetShowCloseButton(bool Value) {
  if (Value == FShowCloseButton) return;
  FShowCloseButton = Value;
  if (TkxBarControl* c = MainMenuControl()) {
    if (FSelectedItem && FSelectedItem->Parent() == c) c->HotTrack(nullptr);
    c->Rebuild();
  }
}

void TkxBarManager::SetHideFloatingBarsWhenInactive(bool Value) {
  if (Value == FHideFloatingBarsWhenInactive) return;
  FHideFloatingBarsWhenInactive = Value;
  if (!IsLoading()) FormActivated(FFormActive || (FOwnerForm && FOwnerForm->Active()), false, nullptr);
}

void TkxBarManager::SetImageListBkColor(TColor Value) {
  if (Value == FImageListBkColor) return;
  FImageListBkColor = Value;
  if (FBars)
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->RepaintBar();
}

void TkxBarManager::SetLargeIcons(bool Value) {
  if (Value == FLargeIcons) return;
  FLargeIcons = Value;
  LargeIconsChanged();
}

void TkxBarManager::SetUseLargeImagesForLargeIcons(bool Value) {
  if (Value == FUseLargeImagesForLargeIcons) return;
  FUseLargeImagesForLargeIcons = Value;
  LargeIconsChanged();
}

void TkxBarManager::LargeIconsChanged() {
  CalcImageSizes();
  DesignerModified();
  CustomizingRefresh();
  RebuildBarWindows();
}

void TkxBarManager::SetMakeDisabledImagesFaded(bool Value) {
  if (Value == FMakeDisabledImagesFaded) return;
  FMakeDisabledImagesFaded = Value;
  RebuildBarWindows();
}

void TkxBarManager::SetMenuAnimations(TkxBarMenuAnimations Value) {
  FMenuAnimations = Value;
  DesignerModified();
  CustomizingRefresh();
}

void TkxBarManager::SetMenusShowRecentItemsFirst(bool Value) {
  FMenusShowRecentItemsFirst = Value;
  DesignerModified();
  CustomizingRefresh();
}

void TkxBarManager::SetShowFullMenusAfterDelay(bool Value) {
  FShowFullMenusAfterDelay = Value;
  DesignerModified();
  CustomizingRefresh();
}

void TkxBarManager::SetShowHint(bool Value) {
  FShowHint = Value;
  DesignerModified();
  CustomizingRefresh();
}

void TkxBarManager::SetShowShortCutInHint(bool Value) {
  FShowShortCutInHint = Value;
  DesignerModified();
  CustomizingRefresh();
}

void TkxBarManager::SetMostRecentItemsPercents(Byte Value) {
  if (Value > 100) Value = 100;
  FMostRecentItemsPercents = Value;
  CalcInitialUseCount();
}

void TkxBarManager::SetNotDocking(TkxBarDockingStyles Value) {
  if (Value == FNotDocking) return;
  FNotDocking = Value;
  StyleChanged();
}

void TkxBarManager::SetScaled(bool Value) {
  if (Value == FScaled) return;
  FScaled = Value;
  if (FScaled && !FUseSystemFont) UpdateSystemFont();
}

void TkxBarManager::SetSunkenBorder(bool Value) {
  if (Value == FSunkenBorder) return;
  FSunkenBorder = Value;
  for (TkxDockControl* d : FDockControls) d->RecreateFrame();
}

void TkxBarManager::SetWaitForDockingTime(int Value) {
  if (Value >= 0) FWaitForDockingTime = Value;
}

void TkxBarManager::HelpButtonGlyphChanged(TObject*) { kxBarCustomizingFormHelpButtonChanged(); }

void TkxBarManager::SetShowHelpButton(bool V) {
  FShowHelpButton = V;
  kxBarCustomizingFormHelpButtonChanged();
}

void TkxBarManager::CustomizingRefresh() { kxBarCustomizingFormOptionsChanged(); }

// ---------------------------------------------------------------------------
// fonts

void TkxBarManager::SetUseSystemFont(bool Value) {
  FUseSystemFont = Value;
  if (Value) UpdateSystemFont();
}

void TkxBarManager::UpdateSystemFont() {
  NONCLIENTMETRICSA m;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(m), &m, 0);
  if (FUseSystemFont) {
    FSystemFontFlag = true;
    try {
      FFont->SetHandle(CreateFontIndirectA(&m.lfMenuFont));
    } catch (...) {
      FSystemFontFlag = false;
      throw;
    }
    FSystemFontFlag = false;
  } else if (FScaled) {
    FFont->SetHeight(m.lfMenuFont.lfHeight);
  }
}

void TkxBarManager::FontChanged(TObject*) {
  if (!FSystemFontFlag) FUseSystemFont = false;
  if (FScaled) {
    TNotifyEvent saved = FFont->OnChange;
    FFont->OnChange = TNotifyEvent();
    try {
      UpdateSystemFont();
    } catch (...) {
      FFont->OnChange = saved;
      throw;
    }
    FFont->OnChange = saved;
  }
  kxBarCreateMenuFont(FFont.get(), FMenuFontHandle, FScaled);
  if (FBars)
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->ManagerFontChanged();
}

// ---------------------------------------------------------------------------
// image lists

void TkxBarManager::SetImageList(int Which, TCustomImageList* Value) {
  TCustomImageList** slot[5] = {&FImages, &FHotImages, &FLargeImages, &FDisabledImages, &FDisabledLargeImages};
  TCustomImageList*& list = *slot[Which];
  if (list == Value) return;
  if (list) {
    list->UnRegisterChanges(FChangeLinks[Which].get());
    list->RemoveFreeNotification(this);
  }
  list = Value;
  if (list) {
    list->RegisterChanges(FChangeLinks[Which].get());
    list->FreeNotification(this);
  }
  if (Which == 2 && FLargeIcons && FUseLargeImagesForLargeIcons) LargeIconsChanged();
  ImageListChanged(Which);
}

void TkxBarManager::SetImages(TCustomImageList* Value) { SetImageList(0, Value); }
void TkxBarManager::SetHotImages(TCustomImageList* Value) { SetImageList(1, Value); }
void TkxBarManager::SetLargeImages(TCustomImageList* Value) { SetImageList(2, Value); }
void TkxBarManager::SetDisabledImages(TCustomImageList* Value) { SetImageList(3, Value); }
void TkxBarManager::SetDisabledLargeImages(TCustomImageList* Value) { SetImageList(4, Value); }

void TkxBarManager::ImageChangeLinkChanged(TObject* Sender) {
  for (int i = 0; i < 5; ++i)
    if (FChangeLinks[i].get() == Sender) {
      if (i == 0 && IsLoading()) return;
      ImageListChanged(i);
    }
}

void TkxBarManager::ImageListChanged(int Which) {
  if (IsLoading() || IsDestroying()) return;
  bool saved = FLockUpdate;
  LockUpdate(true);
  try {
    for (TkxBarItem* item : std::vector<TkxBarItem*>(FItems)) {
      switch (Which) {
        case 0:
        case 3:
          if (item->GetImageIndex() >= 0) item->GlyphChanged();
          break;
        case 1:
          if (item->UsesHotImages()) item->HotGlyphChanged();
          break;
        default:
          if (item->UsesLargeImages()) item->LargeGlyphChanged();
          break;
      }
    }
  } catch (...) {
    LockUpdate(saved);
    throw;
  }
  LockUpdate(saved);
}

// ---------------------------------------------------------------------------
// colours

void TkxBarManager::CreateBrushes() {
  TColor shadow = TColor(ColorToRGB(clBtnShadow)), face = TColor(ColorToRGB(clBtnFace));
  auto scale = [](int c) { return c * 8 / 10; };
  auto lighten = [](int c) { return c + (255 - c) * 16 / 100; };
  FColors[0] = kxBarNearestColor(TColor(RGB(BYTE(scale(GetRValue(shadow))), BYTE(scale(GetGValue(shadow))),
                                            BYTE(scale(GetBValue(shadow))))));
  FColors[1] = kxBarNearestColor(
      TColor(RGB(BYTE(lighten(GetRValue(face))), BYTE(lighten(GetGValue(face))), BYTE(lighten(GetBValue(face))))));
  FColors[2] = kxBarNearestColor(BlendSystemColors(11, 9, 73));
  FColors[3] = kxBarNearestColor(BlendSystemColors(14, 44, 40));
  FColors[4] = kxBarNearestColor(BlendSystemColors(-2, 30, 72));
  for (int i = 0; i < 5; ++i) FBrushes[i] = CreateSolidBrush(ColorToRGB(FColors[i]));
  if (FVisualStyles) FThemedToolbarBrush = CreateSolidBrush(ColorToRGB(kxBarThemeToolbarColor()));
}

void TkxBarManager::DeleteBrushes() {
  for (HBRUSH& b : FBrushes) {
    if (b) DeleteObject(b);
    b = nullptr;
  }
  if (FThemedToolbarBrush) DeleteObject(FThemedToolbarBrush);
  FThemedToolbarBrush = nullptr;
}

void TkxBarManager::CreateResources() {
  CreateBrushes();
  if (!FOffice11Acquired) {
    AcquireOffice11Colors();
    FOffice11Acquired = true;
  }
  RefreshBars();
}

void TkxBarManager::RefreshResources() {
  DeleteBrushes();
  CreateBrushes();
  RebuildOffice11Colors();
  RefreshBars();
}

void TkxBarManager::FreeResources() {
  DeleteBrushes();
  if (FOffice11Acquired) {
    ReleaseOffice11ColorsRef();
    FOffice11Acquired = false;
  }
}

// ---------------------------------------------------------------------------
// lookups

TkxBarItem* TkxBarManager::ItemByName(const AnsiString& Name) const {
  for (TkxBarItem* i : FItems)
    if (SameText(i->Name(), Name)) return i;
  return nullptr;
}

TkxBar* TkxBarManager::BarByName(const AnsiString& Text) const {
  for (int i = 0; i < FBars->Count(); ++i)
    if (FBars->Items(i)->Name() == Text) return FBars->Items(i);
  return nullptr;
}

TkxBar* TkxBarManager::BarByCaption(const AnsiString& Text) const {
  for (int i = 0; i < FBars->Count(); ++i)
    if (FBars->Items(i)->Caption() == Text) return FBars->Items(i);
  return nullptr;
}

TkxBarItem* TkxBarManager::GetItem(int Index) const {
  return Index >= 0 && Index < ItemCount() ? FItems[std::size_t(Index)] : nullptr;
}

void TkxBarManager::MoveItem(int From, int To) {
  if (From < 0 || From >= ItemCount() || To < 0 || To >= ItemCount() || From == To) return;
  TkxBarItem* item = FItems[std::size_t(From)];
  FItems.erase(FItems.begin() + From);
  FItems.insert(FItems.begin() + To, item);
  DesignerModified();
}

void TkxBarManager::ExchangeItems(int A, int B) {
  if (A < 0 || A >= ItemCount() || B < 0 || B >= ItemCount()) return;
  std::swap(FItems[std::size_t(A)], FItems[std::size_t(B)]);
  DesignerModified();
}

TkxBarGroup* TkxBarManager::GetGroup(int Index) const {
  return Index >= 0 && Index < GroupCount() ? FGroups[std::size_t(Index)] : nullptr;
}

TkxBarGroup* TkxBarManager::AddGroup() {
  auto* g = new TkxBarGroup(Owner());
  g->SetParentComponent(this);
  return g;
}

TkxDockControl* TkxBarManager::GetDockControl(int Index) const {
  return Index >= 0 && Index < DockControlCount() ? FDockControls[std::size_t(Index)] : nullptr;
}

void TkxBarManager::AddDockControl(TkxDockControl* DockControl) {
  if (!DockControl || std::find(FDockControls.begin(), FDockControls.end(), DockControl) != FDockControls.end())
    return;
  FDockControls.push_back(DockControl);
  DockControl->FreeNotification(this);
}

void TkxBarManager::RemoveDockControl(TkxDockControl* DockControl) {
  auto it = std::find(FDockControls.begin(), FDockControls.end(), DockControl);
  if (it == FDockControls.end()) return;
  if (FBars) {
    for (int i = 0; i < FBars->Count(); ++i) {
      TkxBar* bar = FBars->Items(i);
      if (bar->Control() && bar->Control()->DockControl() == DockControl) bar->SetVisible(false);
      if (bar->DockControl() == DockControl) bar->SetDockControl(nullptr);
      if (bar->DockedDockControl() == DockControl) bar->SetDockedDockControl(nullptr);
    }
    FBars->ForgetDockControl(DockControl);
  }
  FDockControls.erase(std::find(FDockControls.begin(), FDockControls.end(), DockControl));
  DockControl->RemoveFreeNotification(this);
  if (!DockControl->ComponentState().Contains(csDestroying)) DockControl->SetParentColor(true);
}

TkxBarControl* TkxBarManager::MainMenuControl() const { return FMainMenuBar ? FMainMenuBar->Control() : nullptr; }

void TkxBarManager::SetSelectedItem(TkxBarItemControl* Control) {
  if (Control == FSelectedItem) return;
  TkxBarItemControl* old = FSelectedItem;
  if (IsCustomizingOrDesigning() && old &&
      (!Control || kxBarGetItemControlRootToolbar(Control) != kxBarGetItemControlRootToolbar(old))) {
    if (TkxBarControl* root = kxBarGetItemControlRootToolbar(old))
      if (root->ChildMenu()) root->ChildMenu()->CloseMenu();
  }
  FSelectedItem = Control;
  if (old && old->Parent() && !FDragging && old->Link()) old->Repaint();
}

void TkxBarManager::AddItem(TkxBarItem* Item) {
  if (std::find(FItems.begin(), FItems.end(), Item) == FItems.end()) FItems.push_back(Item);
}

void TkxBarManager::RemoveItem(TkxBarItem* Item) { std::erase(FItems, Item); }

void TkxBarManager::DesignerModified() {
  // The running program never designs; a form designer would be told here.
  if (!FDesigning || IsLoading() || IsDestroying() || FDockLayout || !FDesignerNotification) return;
}

void TkxBarManager::ItemChangedInCustomizing(TkxBarItem*) { kxBarCustomizingFormItemsChanged(); }

void TkxBarManager::HideAll() {
  if (TCustomkxBarControl* head = kxBarGetActiveBarControl()) head->CloseChain();
}

// ---------------------------------------------------------------------------
// update lock

void TkxBarManager::LockUpdate(bool Locked) {
  if (Locked == FLockUpdate) return;
  FLockUpdate = Locked;
  for (TkxDockControl* d : FDockControls)
    if (d->Visible() && d->HandleAllocated()) SendMessageA(d->Handle(), WM_SETREDRAW, !Locked, 0);
  if (FBars)
    for (int i = 0; i < FBars->Count(); ++i) FBars->Items(i)->SetLockUpdate(Locked);
  if (!Locked) {
    for (TkxDockControl* d : FDockControls)
      if (d->Visible() && d->HandleAllocated()) {
        d->UpdateDock();
        SendMessageA(d->Handle(), WM_NCPAINT, 0, 0);
        d->Invalidate();
      }
    if (FBars)
      for (int i = 0; i < FBars->Count(); ++i) {
        TkxBarControl* c = FBars->Items(i)->Control();
        if (!c) continue;
        if (c->DockingStyle() == dsNone) {
          c->Rebuild();
          c->InvalidateWithFrame();
        } else {
          c->Invalidate();
        }
      }
  }
}

// ---------------------------------------------------------------------------
// docking permission and events

bool TkxBarManager::CanDocking(TkxBar* Bar, TkxBarDockingStyle Style, TkxDockControl* DockControl) {
  bool answer;
  if (Bar->NotDocking().Contains(Style)) {
    answer = false;
  } else if ((!DockControl || DockControl->IsMain()) && !FNotDocking.Contains(Style)) {
    answer = true;
  } else {
    answer = DockControl && !DockControl->IsMain() && DockControl->CanDocking(Bar);
  }
  if (OnDocking) OnDocking(Bar, Style, DockControl, answer);
  return answer;
}

void TkxBarManager::DoClickItem(TkxBarItem* Item) {
  if (OnClickItem) OnClickItem(this, Item);
}
void TkxBarManager::DoBarAfterReset(TkxBar* Bar) {
  if (OnBarAfterReset) OnBarAfterReset(this, Bar);
}
void TkxBarManager::DoBarBeforeReset(TkxBar* Bar) {
  if (OnBarBeforeReset) OnBarBeforeReset(this, Bar);
}
void TkxBarManager::DoBarClose(TkxBar* Bar) {
  if (OnBarClose) OnBarClose(this, Bar);
}
void TkxBarManager::DoBarDockingStyleChange(TkxBar* Bar) {
  if (FBars && FBars->Locked()) return;
  if (OnBarDockingStyleChange) OnBarDockingStyleChange(this, Bar);
  DesignerModified();
}
void TkxBarManager::DoCloseButtonClick() {
  if (OnCloseButtonClick) OnCloseButtonClick(this);
}
void TkxBarManager::DoHelpButtonClick() {
  if (OnHelpButtonClick) OnHelpButtonClick(this);
}
void TkxBarManager::DoShowCustomizingPopup(TkxBarItemLinks* Links) {
  if (OnShowCustomizingPopup) OnShowCustomizingPopup(Links);
}
void TkxBarManager::DoShowToolbarsPopup(TkxBarItemLinks* Links) {
  if (OnShowToolbarsPopup) OnShowToolbarsPopup(Links);
}

// ---------------------------------------------------------------------------
// bars waiting for the form's window

void TkxBarManager::CreatePendingBarList() {
  if (!FPendingBars) FPendingBars = std::make_unique<std::vector<TkxBar*>>();
}

void TkxBarManager::AddPendingBar(TkxBar* Bar) {
  CreatePendingBarList();
  if (std::find(FPendingBars->begin(), FPendingBars->end(), Bar) == FPendingBars->end())
    FPendingBars->push_back(Bar);
}

void TkxBarManager::RemovePendingBar(TkxBar* Bar) {
  if (FPendingBars) std::erase(*FPendingBars, Bar);
}

void TkxBarManager::ShowPendingBars(TkxDockControl* DockControl) {
  if (!FPendingBars) return;
  for (TkxBar* bar : std::vector<TkxBar*>(*FPendingBars)) {
    if (!FPendingBars || std::find(FPendingBars->begin(), FPendingBars->end(), bar) == FPendingBars->end())
      continue;
    TkxDockControl* site = bar->RealDockControl();
    bool show = DockControl ? (site == DockControl && bar->IsDocked())
                            : (!site || site->HandleAllocated());
    if (!show) continue;
    RemovePendingBar(bar);
    bar->ReshowPending();
  }
  if (FPendingBars && FPendingBars->empty()) FPendingBars.reset();
}

// ---------------------------------------------------------------------------
// reading and writing

void TkxBarManager::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TkxBarItem* item : FItems)
    if (item->Owner() == Root && item->Category() >= 0) Proc(item);
  for (TkxBarGroup* g : FGroups)
    if (g->Owner() == Root) Proc(g);
}

void TkxBarManager::ReadState(TReader* Reader) {
  ++FReadCount;
  TComponent::ReadState(Reader);
}

void TkxBarManager::Loaded() {
  TComponent::Loaded();
  if (FLockUpdate) return;
  FBars->SetLocked(true);
  try {
    for (TkxBarItem* item : std::vector<TkxBarItem*>(FItems)) item->ManagerLoaded();
    for (int i = 0; i < FBars->Count(); ++i) {
      TkxBar* bar = FBars->Items(i);
      bar->ItemLinks()->ApplyLoadedState(true);
      bar->SetDeclared(true);
      bar->ApplyLoadedPlace();
      bar->ApplyLoadedVisible();
    }
    if (!FDesigning && !kxBarReadingTempForm) LoadStoredLayout();
  } catch (...) {
    FBars->SetLocked(false);
    throw;
  }
  FBars->SetLocked(false);
  FCategories->ApplyReadLists();
  for (int i = 0; i < FCategories->Count(); ++i)
    if (TkxBarCategoryData* d = FCategories->Data(i); d && d->HasReadItemsVisible) {
      d->HasReadItemsVisible = false;
      SetCategoryItemsVisible(i, d->ReadItemsVisible);
    }
  FDockLayout = true;
  for (TkxDockControl* d : std::vector<TkxDockControl*>(FDockControls)) d->UpdateDock();
  FDockLayout = false;
}

void TkxBarManager::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FHotImages) SetHotImages(nullptr);
  if (AComponent == FLargeImages) SetLargeImages(nullptr);
  if (AComponent == FDisabledImages) SetDisabledImages(nullptr);
  if (AComponent == FDisabledLargeImages) SetDisabledLargeImages(nullptr);
  if (auto* d = dynamic_cast<TkxDockControl*>(AComponent)) RemoveDockControl(d);
  if (FPopupMenuLinks)
    for (int i = 0; i < FPopupMenuLinks->Count(); ++i) FPopupMenuLinks->Items(i)->ComponentGone(AComponent);
  if (auto* item = dynamic_cast<TkxBarItem*>(AComponent)) {
    (void)item;  // items leave the list themselves
  }
}

void TkxBarManager::SetName(const AnsiString& NewName) {
  AnsiString old = Name();
  TComponent::SetName(NewName);
  if (!FDesigning || old.empty()) return;
  for (TkxBarItem* item : FItems) {
    if (item->Owner() != Owner()) continue;
    AnsiString n = item->Name();
    if (n.size() > old.size() && SameText(n.substr(0, old.size()), old)) {
      try {
        item->SetName(NewName + n.substr(old.size()));
      } catch (const Exception&) {
      }
    }
  }
}

void TkxBarManager::GetDockControlHeights(int Sizes[4]) const {
  static const TkxBarDockingStyle order[4] = {dsLeft, dsRight, dsTop, dsBottom};
  for (int i = 0; i < 4; ++i) {
    TkxDockControl* d = FBars ? FBars->DockControls(order[i]) : nullptr;
    Sizes[i] = d ? (i < 2 ? d->Width() : d->Height()) : 0;
  }
}

void TkxBarManager::SetDockControlHeights(const int Sizes[4]) {
  static const TkxBarDockingStyle order[4] = {dsLeft, dsRight, dsTop, dsBottom};
  for (int i = 0; i < 4; ++i) {
    TkxDockControl* d = FBars ? FBars->DockControls(order[i]) : nullptr;
    if (!d || Sizes[i] < 0) continue;
    if (i < 2) d->SetWidth(Sizes[i]);
    else d->SetHeight(Sizes[i]);
  }
}

void TkxBarManager::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineProperty(
      "DockControlHeights",
      [this](TReader* R) {
        int sizes[4] = {0, 0, 0, 0};
        R->ReadListBegin();
        for (int i = 0; !R->EndOfList(); ++i) {
          int v = R->ReadInteger();
          if (i < 4) sizes[i] = std::clamp(v, 0, 30000);
        }
        R->ReadListEnd();
        SetDockControlHeights(sizes);
      },
      [this](TWriter* W) {
        int sizes[4];
        GetDockControlHeights(sizes);
        W->WriteListBegin();
        for (int v : sizes) W->WriteInteger(v);
        W->WriteListEnd();
      },
      true);
}

void TkxBarManager::SyncFormColor() {}
