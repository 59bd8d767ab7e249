// Bars: the settings of one toolbar or main menu and how each change reaches
// its window; the bar collection with its four form-edge sites and the
// interactive moving of bar windows between floating and docked places.
#include <algorithm>

#include "bars/kxbar.h"
#include "bars/kxbarcustomize.h"
#include "bars/kxbarhooks.h"
#include "bars/kxbaritems.h"
#include "framework/uxwinutils.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

// ===========================================================================
// TkxBar

TkxBar::TkxBar(TCollection* Collection) : TCollectionItem(Collection) {
  TkxBarManager* m = BarManager();
  FBackgroundBitmap = std::make_unique<TBitmap>();
  FBackgroundBitmap->OnChange = TNotifyEvent(this, &TkxBar::BitmapChanged);
  FFont = std::make_unique<TFont>();
  if (m) FFont->Assign(m->Font());
  FFont->OnChange = TNotifyEvent(this, &TkxBar::FontChanged);
  FItemLinks = std::make_unique<TkxBarItemLinks>(m, this);
  FItemLinks->SetOwnUseRecentItems(FUseRecentItems);
  FItemLinks->OnChange = [this] { ItemLinksChanged(); };
  if (m && !m->IsLoading()) {
    if (m->OnBarAdd) m->OnBarAdd(m, this);
    m->DesignerModified();
  }
}

TkxBar::~TkxBar() {
  // The customizing window's toolbar list drops the bar.
  kxBarCustomizingFormBarRemoved(this);
  TkxBarManager* m = BarManager();
  if (m && !m->IsDestroying()) {
    m->DesignerModified();
    if (m->OnBarDelete) {
      try {
        m->OnBarDelete(m, this);
      } catch (...) {
        if (Application) Application->HandleException(nullptr);
      }
    }
  }
  if (TkxBarControl* c = Control()) {
    FItemLinks->SetBarControl(nullptr);
    c->Free();
  }
  FVisible = false;
  if (m) m->RemovePendingBar(this);
  for (auto it = FDetachingSubItems.rbegin(); it != FDetachingSubItems.rend(); ++it)
    (*it)->BarNotification(opRemove, this);
  FDetachingSubItems.clear();
  if (m && m->MainMenuBar() == this) m->SetMainMenuBar(nullptr);
  FItemLinks.reset();
  if (FFontHandle) DeleteObject(FFontHandle);
  FFontHandle = nullptr;
}

TkxBars* TkxBar::Bars() const { return static_cast<TkxBars*>(Collection()); }
TkxBarManager* TkxBar::BarManager() const { return Bars() ? Bars()->BarManager() : nullptr; }
TkxBarControl* TkxBar::Control() const {
  return FItemLinks ? dynamic_cast<TkxBarControl*>(FItemLinks->BarControl()) : nullptr;
}

bool TkxBar::IsLoading() const {
  TkxBarManager* m = BarManager();
  return m && m->IsLoading();
}

TkxDockControl* TkxBar::RealDockControl() const {
  if (FDockControl) return FDockControl;
  return Bars() ? Bars()->DockControls(FDockingStyle) : nullptr;
}

void TkxBar::RepaintBar() {
  if (TkxBarControl* c = Control())
    if (c->HandleAllocated()) c->InvalidateWithFrame();
}

void TkxBar::RebuildWindow() {
  if (TkxBarControl* c = Control()) c->Rebuild();
}

void TkxBar::RecalcWindow() {
  if (TkxBarControl* c = Control()) {
    c->FrameChanged();
    c->Rebuild();
  }
}

void TkxBar::ItemLinksChanged() {
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}

void TkxBar::BitmapChanged(TObject*) {
  if (TkxBarControl* c = Control()) c->FreeBackgroundBitmap();
  RepaintBar();
}

void TkxBar::FontChanged(TObject*) {
  if (!FInFontChange && !FUseOwnFont) {
    FInFontChange = true;
    FUseOwnFont = true;
    FInFontChange = false;
  }
  if (TkxBarManager* m = BarManager()) kxBarCreateMenuFont(FFont.get(), FFontHandle, m->Scaled());
  if (TkxBarControl* c = Control()) {
    c->UpdateFont();
    if (c->HandleAllocated()) c->Perform(CM_FONTCHANGED, 0, 0);
  }
}

void TkxBar::ManagerFontChanged() {
  TkxBarManager* m = BarManager();
  if (!m) return;
  bool saved = FInFontChange;
  FInFontChange = true;
  try {
    if (FUseOwnFont) {
      kxBarCreateMenuFont(FFont.get(), FFontHandle, m->Scaled());
    } else {
      TNotifyEvent ev = FFont->OnChange;
      FFont->OnChange = TNotifyEvent();
      FFont->Assign(m->Font());
      FFont->OnChange = ev;
    }
    if (TkxBarControl* c = Control()) {
      c->UpdateFont();
      if (c->HandleAllocated()) c->Perform(CM_FONTCHANGED, 0, 0);
    }
  } catch (...) {
    FInFontChange = saved;
    throw;
  }
  FInFontChange = saved;
}

// ---- settings ----

void TkxBar::SetAllowClose(bool Value) {
  if (Value == FAllowClose) return;
  FAllowClose = Value;
  if (TkxBarControl* c = Control())
    if (c->DockingStyle() == dsNone) c->Rebuild();
  kxBarCustomizingFormBarChanged(this);
}

void TkxBar::SetAllowQuickCustomizing(bool Value) {
  if (Value == FAllowQuickCustomizing) return;
  FAllowQuickCustomizing = Value;
  if (TkxBarManager* m = BarManager())
    if (m->GetEffectiveStyle() != bmsStandard) RebuildWindow();
}

void TkxBar::SetAlphaBlendValue(Byte Value) {
  if (Value == FAlphaBlendValue) return;
  FAlphaBlendValue = Value;
  if (TkxBarControl* c = Control())
    if (c->DockingStyle() == dsNone) c->UpdateLayeredAttributes();
}

void TkxBar::SetBackgroundBitmap(TBitmap* Value) {
  bool wasEmpty = FBackgroundBitmap->Empty();
  TNotifyEvent ev = FBackgroundBitmap->OnChange;
  FBackgroundBitmap->OnChange = TNotifyEvent();
  if (Value) FBackgroundBitmap->Assign(Value);
  else {
    TBitmap empty;
    FBackgroundBitmap->Assign(&empty);
  }
  FBackgroundBitmap->OnChange = ev;
  if (Value || !wasEmpty) {
    if (TkxBarControl* c = Control()) {
      c->FreeBackgroundBitmap();
      c->UpdateDoubleBuffered();
    }
    RepaintBar();
  }
}

void TkxBar::SetBorderStyle(TkxBarBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecalcWindow();
}

void TkxBar::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  if (TkxBarControl* c = Control()) c->UpdateDoubleBuffered();
  RecalcWindow();
}

void TkxBar::SetCaption(const AnsiString& Value) {
  if (Value == FCaption) return;
  TkxBars* bars = Bars();
  if (bars)
    for (int i = 0; i < bars->Count(); ++i)
      if (bars->Items(i) != this && bars->Items(i)->FCaption == Value) return;
  FCaption = Value;
  if (TkxBarControl* c = Control()) c->CaptionChanged();
  TkxBarManager* m = BarManager();
  if (FName.empty() && m && !m->IsLoading()) SetUniqueName(Value);
  if (m) m->DesignerModified();
  kxBarCustomizingFormBarChanged(this);
}

void TkxBar::SetName(const AnsiString& Value) { FName = Value; }

void TkxBar::SetUniqueName(const AnsiString& Text) {
  TkxBars* bars = Bars();
  bool taken = false;
  if (bars)
    for (int i = 0; i < bars->Count(); ++i)
      if (bars->Items(i) != this && bars->Items(i)->FName == Text) taken = true;
  FName = Text.empty() || !taken ? Text : bars->GetUniqueBarName(Text);
}

void TkxBar::SetDockedDockControl(TkxBarDockControl* Value) {
  if (Value && Value->BarManager() != BarManager()) return;
  FDockedDockControl = Value;
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}

void TkxBar::SetDockedDockingStyle(TkxBarDockingStyle Value) {
  FDockedDockingStyle = Value;
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}

void TkxBar::SetDockedLeft(int Value) {
  FDockedLeft = std::max(Value, 0);
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}

void TkxBar::SetDockedTop(int Value) {
  FDockedTop = std::max(Value, 0);
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}

void TkxBar::SetFloatLeft(int Value) {
  FFloatLeft = Value;
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}
void TkxBar::SetFloatTop(int Value) {
  FFloatTop = Value;
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}
void TkxBar::SetFloatClientWidth(int Value) {
  FFloatClientWidth = Value;
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}
void TkxBar::SetFloatClientHeight(int Value) {
  FFloatClientHeight = Value;
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}

void TkxBar::SetHidden(bool Value) {
  FHidden = Value;
  if (TkxBarManager* m = BarManager()) m->DesignerModified();
}

void TkxBar::SetIsMainMenu(bool Value) {
  if (Value == FIsMainMenu) return;
  TkxBarManager* m = BarManager();
  bool saved = m ? m->LockedUpdate() : false;
  if (m) m->LockUpdate(true);
  try {
    if (Value && m && m->MainMenuBar() && m->MainMenuBar() != this) m->MainMenuBar()->SetIsMainMenu(false);
    FIsMainMenu = Value;
    if (Value) {
      if (m) m->SetMainMenuBar(this);
      FWholeRow = true;
      FMultiLine = true;
    } else {
      if (m && m->MainMenuBar() == this) m->SetMainMenuBar(nullptr);
      FMultiLine = false;
      FWholeRow = false;
    }
    if (m && !m->IsLoading())
      if (TkxBarControl* c = Control())
        if (c->DockingStyle() != dsNone) c->Rebuild();
  } catch (...) {
    if (m) m->LockUpdate(saved);
    throw;
  }
  if (m) m->LockUpdate(saved);
  kxBarCustomizingFormBarChanged(this);
}

void TkxBar::SetMultiLine(bool Value) {
  if (Value == FMultiLine) return;
  if (!Value && FIsMainMenu) return;
  FMultiLine = Value;
  if (TkxBarControl* c = Control())
    if (c->DockingStyle() != dsNone) c->Rebuild();
}

void TkxBar::SetNotDocking(TkxBarDockingStyles Value) {
  if (Value == FNotDocking) return;
  FNotDocking = Value;
  RebuildWindow();
}

void TkxBar::SetRotateWhenVertical(bool Value) {
  if (Value == FRotateWhenVertical) return;
  FRotateWhenVertical = Value;
  if (TkxBarControl* c = Control())
    if (c->HandleAllocated()) c->Perform(CM_FONTCHANGED, 0, 0);
}

void TkxBar::SetShowMark(bool Value) {
  if (Value == FShowMark) return;
  FShowMark = Value;
  RebuildWindow();
}

void TkxBar::SetSizeGrip(bool Value) {
  if (Value == FSizeGrip) return;
  FSizeGrip = Value;
  if (IsBottomWholeRow()) RecalcWindow();
}

void TkxBar::SetUseOwnFont(bool Value) {
  if (Value == FUseOwnFont) return;
  FUseOwnFont = Value;
  TkxBarManager* m = BarManager();
  if (Value) {
    if (m) kxBarCreateMenuFont(FFont.get(), FFontHandle, m->Scaled());
  } else {
    if (m) {
      FInFontChange = true;
      FFont->Assign(m->Font());
      FInFontChange = false;
    }
    if (FFontHandle) DeleteObject(FFontHandle);
    FFontHandle = nullptr;
  }
  if (TkxBarControl* c = Control()) {
    c->UpdateFont();
    if (c->HandleAllocated()) c->Perform(CM_FONTCHANGED, 0, 0);
  }
}

void TkxBar::SetUseRecentItems(bool Value) {
  if (Value == FUseRecentItems) return;
  FUseRecentItems = Value;
  FItemLinks->SetOwnUseRecentItems(Value);
  FItemLinks->SetRecentItemCount(-1);
  RebuildWindow();
}

void TkxBar::SetUseRestSpace(bool Value) {
  if (Value == FUseRestSpace) return;
  FUseRestSpace = Value;
  RebuildWindow();
}

void TkxBar::SetWholeRow(bool Value) {
  if (Value == FWholeRow) return;
  FWholeRow = Value;
  if (TkxBarControl* c = Control())
    if (c->DockingStyle() != dsNone) {
      SetVisible(false);
      SetVisible(true);
    }
}

void TkxBar::SetLockUpdate(bool Value) {
  if (Value == FLockUpdate) return;
  FLockUpdate = Value;
  if (!Value)
    if (TkxBarControl* c = Control())
      if (c->DockingStyle() == dsNone && c->HandleAllocated()) c->Rebuild();
}

// ---- visibility and place ----

void TkxBar::SetVisible(bool Value) {
  TkxBarManager* m = BarManager();
  if (Value && m && m->IsDestroying()) return;
  if (!Value && !FVisible) {
    if (m) m->RemovePendingBar(this);
    return;
  }
  if (Value == FVisible) return;
  FAutoHidden = false;
  if (m && m->IsLoading()) {
    FLoadedVisible = Value;
    return;
  }
  if (!Value) {
    if (TkxBarControl* c = Control()) {
      if (c->DockingStyle() == dsNone) {
        if (c->HandleAllocated()) {
          FFloatLeft = c->Left();
          FFloatTop = c->Top();
          FFloatClientWidth = c->ClientWidth();
          FFloatClientHeight = c->ClientHeight();
        }
      } else if (TkxDockControl* site = c->DockControl()) {
        int row = -1;
        if (TkxDockCol* col = site->FindCol(c, &row)) {
          col->StorePos();
          FDockedDockingStyle = c->DockingStyle();
          FDockedDockControl = site->IsMain() ? nullptr : dynamic_cast<TkxBarDockControl*>(site);
          FRow = std::max(row, 0);
          FOneOnRow = site->Rows(row)->ColCount() == 1;
          FDockedLeft = std::max(int(col->Pos.x), 0);
          FDockedTop = std::max(int(col->Pos.y), 0);
        }
      }
    }
    FVisible = false;
    if (m) m->RemovePendingBar(this);
    if (TkxBarControl* c = Control()) {
      FItemLinks->SetBarControl(nullptr);
      c->Free();
    }
  } else {
    FVisible = true;
    TCustomForm* form = m ? m->OwnerForm() : nullptr;
    TkxDockControl* site = FDockingStyle != dsNone ? RealDockControl() : nullptr;
    bool waiting = !form || !form->HandleAllocated() || (FDockingStyle != dsNone && (!site || !site->Parent()));
    if (!waiting && site && !site->HandleAllocated()) {
      // a site on a panel whose window is not made yet waits with it
      waiting = !uxHasAllocatedParentHandle(site);
      if (!waiting) site->HandleNeeded();
    }
    if (waiting) {
      if (m) m->AddPendingBar(this);
    } else {
      auto* c = static_cast<TkxBarControl*>(FItemLinks->CreateBarControl());
      if (FDockingStyle != dsNone) {
        c->BeginUpdate();
        try {
          c->SetDockingStyle(FDockingStyle);
          c->SetDockControl(site);
          c->SetPlacingFromStoredValues(true);
          TPoint p = site->ClientToScreen(TPoint{FDockedLeft, FDockedTop});
          Bars()->DockBarControl(site, FDockingStyle, p, c);
          c->SetPlacingFromStoredValues(false);
        } catch (...) {
          c->EndUpdate();
          throw;
        }
        c->EndUpdate();
        c->SetVisible(true);
        if (c->HandleAllocated()) c->Rebuild();
      } else {
        c->BeginUpdate();
        c->SetDockingStyle(dsNone);
        c->HandleNeeded();
        TSize size;
        c->GetSizeForDockingStyle(dsNone, size);
        c->SetBounds(FFloatLeft, FFloatTop, size.cx, size.cy);
        c->EndUpdate();
        bool show = form->Visible() && IsWindowVisible(form->Handle()) &&
                    (!m->HideFloatingBarsWhenInactive() || form->Active() || m->IsCustomizing() ||
                     GetActiveWindow() == form->Handle());
        if (show) {
          c->SetVisible(true);
          SetWindowPos(c->Handle(), nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
        c->Rebuild();
      }
      if (m) m->RemovePendingBar(this);
    }
  }
  if (m && !m->IsDestroying() && m->OnBarVisibleChange) m->OnBarVisibleChange(m, this);
  kxBarCustomizingFormBarChanged(this);
}

void TkxBar::ReshowPending() {
  if (!FVisible) return;
  FVisible = false;
  SetVisible(true);
}

void TkxBar::ApplyLoadedPlace() {
  if (FLoadedDockControl) SetDockControl(FLoadedDockControl);
  else if (FHasLoadedPlace) SetDockingStyle(FLoadedDockingStyle);
  FLoadedDockControl = nullptr;
  FHasLoadedPlace = false;
}

void TkxBar::ApplyLoadedVisible() {
  bool v = FLoadedVisible;
  FLoadedVisible = false;
  if (v) SetVisible(true);
}

void TkxBar::SetDockingStyle(TkxBarDockingStyle Value) {
  if (Value == FDockingStyle && !IsLoading()) return;
  if (IsLoading()) {
    FLoadedDockingStyle = Value;
    FHasLoadedPlace = true;
    return;
  }
  TkxBarControl* c = Control();
  bool reshow = !FInPlaceChange && c && c->DockingStyle() != Value;
  if (reshow) SetVisible(false);
  FDockingStyle = Value;
  if (!FInPlaceChange) {
    FInPlaceChange = true;
    FDockControl = nullptr;
    FInPlaceChange = false;
  }
  FItemLinks->SetRecentItemCount(-1);
  if (reshow) SetVisible(true);
  if (!FInPlaceChange)
    if (TkxBarManager* m = BarManager()) m->DoBarDockingStyleChange(this);
}

void TkxBar::SetDockControl(TkxBarDockControl* Value) {
  TkxBarManager* m = BarManager();
  if (Value && Value->BarManager() != m) return;
  if (IsLoading()) {
    FLoadedDockControl = Value;
    return;
  }
  if (Value == FDockControl) return;
  TkxBarDockingStyle oldStyle = FDockingStyle;
  TkxBarControl* c = Control();
  bool reshow = !FInPlaceChange && c &&
                ((Value && c->DockControl() != Value) || (!Value && c->DockControl() && !c->DockControl()->IsMain()));
  if (reshow) SetVisible(false);
  FDockControl = Value;
  FItemLinks->SetRecentItemCount(-1);
  if (!FInPlaceChange) {
    FInPlaceChange = true;
    try {
      FDockingStyle = Value ? Value->BarDockingStyle() : oldStyle;
    } catch (...) {
      FInPlaceChange = false;
      throw;
    }
    FInPlaceChange = false;
  }
  if (reshow) SetVisible(true);
  if ((c = Control())) c->SetDockControl(RealDockControl());
  if (!FInPlaceChange && m) m->DoBarDockingStyleChange(this);
}

void TkxBar::SetDockingStyleAndControl(TkxBarDockingStyle Style, TkxDockControl* Site) {
  auto* user = Site && !Site->IsMain() ? dynamic_cast<TkxBarDockControl*>(Site) : nullptr;
  if (Style == FDockingStyle || user != FDockControl) SetDockControl(user);
  else SetDockingStyle(Style);
}

// ---- queries ----

int TkxBar::GetNonClientWidth(TkxBarDockingStyle Style) const {
  TkxBarManager* m = BarManager();
  if (!m) return 0;
  TkxBarItemControlPainterClass p = m->PainterClass();
  if (Style == dsNone) {
    if (p->UsesSystemFrame()) return 2 * GetSystemMetrics(SM_CXSIZEFRAME) + 2 * p->GetFloatingPaddingSide();
    return 2 * p->GetFloatingBorderWidth() + 2 * p->GetFloatingPaddingSide();
  }
  if (FBorderStyle == bbsSingle) {
    TRect r;
    p->GetSingleBorderMargins(const_cast<TkxBar*>(this), Style, r);
    int w = r.left + r.right;
    if (Style == dsTop || Style == dsBottom) w += m->GetBarGripSize(const_cast<TkxBar*>(this));
    return w;
  }
  if (IsSizeGripVisible()) {
    TSize s;
    p->GetSizeGripSize(m, s);
    return s.cx;
  }
  return 0;
}

int TkxBar::GetNonClientHeight(TkxBarDockingStyle Style) const {
  TkxBarManager* m = BarManager();
  if (!m) return 0;
  TkxBarItemControlPainterClass p = m->PainterClass();
  if (Style == dsNone) {
    int frame = p->UsesSystemFrame() ? 2 * GetSystemMetrics(SM_CYSIZEFRAME) : 2 * p->GetFloatingBorderHeight();
    return frame + p->GetFloatingCaptionHeight(nullptr, nullptr) + p->GetFloatingPaddingTop() +
           p->GetFloatingPaddingBottom();
  }
  if (FBorderStyle == bbsSingle) {
    TRect r;
    p->GetSingleBorderMargins(const_cast<TkxBar*>(this), Style, r);
    int h = r.top + r.bottom;
    if (Style == dsLeft || Style == dsRight) h += m->GetBarGripSize(const_cast<TkxBar*>(this));
    return h;
  }
  if (IsBottomWholeRow()) return p->GetBottomBarBorderHeight(m);
  return 0;
}

bool TkxBar::CanClose() const {
  if (!FAllowClose || FIsMainMenu) return false;
  // a docked toolbar can be closed too (through the toolbar lists); only a
  // window without a caption frame cannot
  TkxBarControl* c = Control();
  return !c || c->HasCaption();
}

bool TkxBar::CanBeMoved() const {
  const TkxBarDockingStyles all{dsNone, dsLeft, dsTop, dsRight, dsBottom};
  TkxBarManager* m = BarManager();
  return FNotDocking != all && (!m || m->NotDocking() != all);
}

bool TkxBar::IsBottomWholeRow() const {
  return FBorderStyle == bbsNone && FDockingStyle == dsBottom && FWholeRow;
}

bool TkxBar::IsSizeGripVisible() const {
  if (!IsBottomWholeRow() || !FSizeGrip) return false;
  TkxBarManager* m = BarManager();
  TCustomForm* form = m ? m->OwnerForm() : nullptr;
  if (form && form->WindowState() == wsMaximized) return false;
  TkxBarControl* c = Control();
  if (!c || !c->HandleAllocated()) return true;
  for (HWND h = c->Handle(); h;) {
    HWND parent = GetParent(h);
    if (!parent || !(GetWindowLongPtrA(h, GWL_STYLE) & LONG_PTR(WS_CHILD))) break;
    RECT r, pc;
    GetWindowRect(h, &r);
    GetClientRect(parent, &pc);
    POINT bottom{0, r.bottom};
    ScreenToClient(parent, &bottom);
    if (bottom.y != pc.bottom) return false;
    if (GetWindowLongPtrA(parent, GWL_EXSTYLE) & LONG_PTR(WS_EX_MDICHILD)) break;
    h = parent;
  }
  return true;
}

bool TkxBar::ProcessShortCut(TShortCut ShortCut) { return FItemLinks->ProcessShortCut(ShortCut); }

void TkxBar::AddDetachingSubItem(TCustomkxBarSubItem* Item) {
  if (std::find(FDetachingSubItems.begin(), FDetachingSubItems.end(), Item) == FDetachingSubItems.end())
    FDetachingSubItems.push_back(Item);
}

void TkxBar::RemoveDetachingSubItem(TCustomkxBarSubItem* Item) { std::erase(FDetachingSubItems, Item); }

void TkxBar::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxBar*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetAllowClose(src->FAllowClose);
  SetAllowCustomizing(src->FAllowCustomizing);
  SetAllowQuickCustomizing(src->FAllowQuickCustomizing);
  SetAllowReset(src->FAllowReset);
  SetCaption(src->FCaption);
  TkxBarManager* m = BarManager();
  if (m && m->ComponentState().Contains(csUpdating)) SetUniqueName(src->FName);
  SetDockedDockControl(src->FDockedDockControl);
  SetDockedDockingStyle(src->FDockedDockingStyle);
  SetDockedLeft(src->FDockedLeft);
  SetDockedTop(src->FDockedTop);
  SetFloatLeft(src->FFloatLeft);
  SetFloatTop(src->FFloatTop);
  SetFloatClientWidth(src->FFloatClientWidth);
  SetFloatClientHeight(src->FFloatClientHeight);
  SetHidden(src->FHidden);
  SetIsMainMenu(src->FIsMainMenu);
  FItemLinks->Assign(src->FItemLinks.get());
  SetNotDocking(src->FNotDocking);
  SetOneOnRow(src->FOneOnRow);
  SetRotateWhenVertical(src->FRotateWhenVertical);
  SetRow(src->FRow);
  SetWholeRow(src->FWholeRow);
  SetDockingStyleAndControl(src->FDockingStyle, src->FDockControl);
  SetUseRecentItems(src->FUseRecentItems);
  SetUseRestSpace(src->FUseRestSpace);
  SetColor(src->FColor);
  SetFont(src->FFont.get());
  SetUseOwnFont(src->FUseOwnFont);
  SetVisible(src->FVisible);
}

// ===========================================================================
// TkxBars

TkxBars::TkxBars(TkxBarManager* Manager) : TCollection(TkxBar::StaticClass()), FBarManager(Manager) {
  static const TkxBarDockingStyle styles[4] = {dsLeft, dsTop, dsRight, dsBottom};
  for (int i = 0; i < 4; ++i) FSites[i] = new TkxDockControl(Manager, styles[i], Manager->OwnerForm());
}

TkxBars::~TkxBars() {
  // the bars (and their windows) go before the sites they are docked in
  Clear();
  for (TkxDockControl*& site : FSites) {
    TkxDockControl* s = site;
    site = nullptr;
    if (s) s->Free();
  }
}

TPersistent* TkxBars::GetOwner() const { return FBarManager; }

TkxDockControl* TkxBars::DockControls(TkxBarDockingStyle Style) const {
  switch (Style) {
    case dsLeft: return FSites[0];
    case dsTop: return FSites[1];
    case dsRight: return FSites[2];
    case dsBottom: return FSites[3];
    default: return nullptr;
  }
}

void TkxBars::ForgetDockControl(TkxDockControl* Site) {
  for (TkxDockControl*& s : FSites)
    if (s == Site) s = nullptr;
}

AnsiString TkxBars::GetUniqueBarName(const AnsiString& Text) const {
  for (int n = 1;; ++n) {
    AnsiString name = Text + IntToStr(n);
    bool taken = false;
    for (int i = 0; i < Count() && !taken; ++i) taken = Items(i)->Name() == name;
    if (!taken) return name;
  }
}

void TkxBars::DockBarControl(TkxDockControl* Site, TkxBarDockingStyle Style, const TPoint& ScreenPoint,
                             TkxBarControl* Window) {
  TkxDockControl* site = Site ? Site : DockControls(Style);
  if (!site) return;
  site->DockBar(Window, ScreenPoint, true);
}

void TkxBars::UndockBarControl(TkxBarControl* Window) {
  if (!Window || !Window->DockControl()) return;
  Window->DockControl()->UndockBar(Window, true);
}

void TkxBars::FindDockingPlace(TkxBar* Bar, TPoint ScreenPoint, TkxBarDockingStyle& Style, TkxDockControl*& Site) {
  Style = dsNone;
  Site = nullptr;
  if (FMoving && (GetKeyState(VK_CONTROL) & 0x8000)) return;
  static const TkxBarDockingStyle order[4] = {dsLeft, dsRight, dsTop, dsBottom};
  for (int pass = 0; pass < 2; ++pass) {
    for (TkxBarDockingStyle s : order)
      for (int i = 0; i < FBarManager->DockControlCount(); ++i) {
        TkxDockControl* d = FBarManager->GetDockControl(i);
        if (d->DockingStyle() != s) continue;
        bool focusable = d->Visible() && d->Enabled() && d->Parent() && d->Parent()->Showing();
        if (!focusable && !FBarManager->IsDesigning()) continue;
        if (!FBarManager->CanDocking(Bar, s, d)) continue;
        TRect zone = d->GetDockZone();
        if (ScreenPoint.x < zone.left || ScreenPoint.x >= zone.right || ScreenPoint.y < zone.top ||
            ScreenPoint.y >= zone.bottom)
          continue;
        // not covered by a sibling of the site's parent
        if (TWinControl* parent = d->Parent())
          if (TWinControl* grand = parent->Parent()) {
            TPoint local = grand->ScreenToClient(ScreenPoint);
            TControl* top = grand->ControlAtPos(local, true, true);
            if (top && top != parent) continue;
          }
        Style = s;
        Site = d;
        return;
      }
    if (!FMoving) return;
    ScreenPoint.x -= FGrabOffset.x;
    ScreenPoint.y -= FGrabOffset.y;
  }
}

namespace {
UINT_PTR gWaitTimer = 0;
TkxBars* gWaitBars = nullptr;
}  // namespace

void kxBarWaitForDockingTimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
  if (Id != gWaitTimer) return;
  KillTimer(nullptr, gWaitTimer);
  gWaitTimer = 0;
  TkxBars* bars = gWaitBars;
  gWaitBars = nullptr;
  if (!bars || !bars->FMoving || !bars->FMovingWindow) return;
  POINT p;
  GetCursorPos(&p);
  bars->MoveBarControl(bars->FMovingWindow, TPoint{p.x + bars->FGrabOffset.x, p.y + bars->FGrabOffset.y}, true);
}

void TkxBars::MoveBarControl(TkxBarControl* Window, TPoint ScreenPoint, bool FromTimer) {
  TkxBar* bar = Window->Bar();
  TkxBarDockingStyle style;
  TkxDockControl* site;
  FindDockingPlace(bar, ScreenPoint, style, site);
  if (!FBarManager->CanDocking(bar, style, site)) return;
  if (!FromTimer && Window->DockingStyle() == dsNone && style != dsNone) {
    if (gWaitTimer) KillTimer(nullptr, gWaitTimer);
    gWaitBars = this;
    gWaitTimer = SetTimer(nullptr, 0, UINT(std::max(FBarManager->WaitForDockingTime(), 1)),
                          kxBarWaitForDockingTimerProc);
    style = dsNone;
    site = nullptr;
  }
  if (style == dsNone) {
    ScreenPoint.x -= FGrabOffset.x;
    ScreenPoint.y -= FGrabOffset.y;
  }
  if (style == Window->DockingStyle() && (style == dsNone || site == Window->DockControl())) {
    if (style != dsNone) {
      site->MoveBar(Window, ScreenPoint);
    } else {
      TPoint g;
      Window->GetDragOffset(dsNone, g);
      SetWindowPos(Window->Handle(), nullptr, ScreenPoint.x - g.x, ScreenPoint.y - g.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  ShowWindow(Window->Handle(), SW_HIDE);
  if (Window->DockControl()) {
    UndockBarControl(Window);
    bar->ItemLinks()->SetRecentItemCount(-1);
  }
  Window->BeginUpdate();
  try {
    if (style != dsNone) {
      Window->SetDockingStyle(style);
      Window->SetDockControl(site);
      bar->SetDockingStyleAndControl(style, site);
      DockBarControl(site, style, ScreenPoint, Window);
    } else {
      Window->SetDockingStyle(dsNone);
      Window->SetDockControl(nullptr);
      // the item controls measure through the new window
      Window->HandleNeeded();
      TSize size;
      Window->GetSizeForDockingStyle(dsNone, size);
      TPoint g;
      Window->GetDragOffset(dsNone, g);
      Window->SetBounds(ScreenPoint.x - g.x, ScreenPoint.y - g.y, size.cx, size.cy);
    }
  } catch (...) {
    Window->EndUpdate();
    throw;
  }
  Window->EndUpdate();
  SetWindowPos(Window->Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TkxBars::DragBarControl(TkxBarControl* Window) {
  TkxBar* bar = Window->Bar();
  if (!bar || !bar->CanBeMoved()) return;
  TkxDockControl* site = Window->DockControl();
  if (site)
    if (TkxDockCol* col = site->FindCol(Window)) {
      col->Pos.x = bar->DockedLeft();
      col->Pos.y = bar->DockedTop();
    }
  FMoving = true;
  FMovingWindow = Window;
  Window->SetDragMode(true);
  // the press that started the drag, not where the mouse went since
  DWORD pos = GetMessagePos();
  POINT cursor{short(LOWORD(pos)), short(HIWORD(pos))};
  FStartStyle = Window->DockingStyle();
  FGrabOffset = TPoint{0, 0};
  FCursorOffset = TPoint{0, 0};
  if (site) {
    int row = 0;
    site->FindCol(Window, &row);
    TPoint colPoint = site->ClientToScreen(TPoint{Window->Left(), Window->Top()});
    site->UndockBar(Window, false);
    TPoint middle{cursor.x, cursor.y};
    site->GetRowMiddlePoint(row, bar->OneOnRow(), middle);
    if (Window->IsHorizontal()) FGrabOffset.y = middle.y - cursor.y;
    else FGrabOffset.x = middle.x - cursor.x;
    Window->SetPlacingFromStoredValues(false);
    site->DockBar(Window, colPoint, false);
    FCursorOffset = TPoint{cursor.x - colPoint.x, cursor.y - colPoint.y};
  }
  // the capture comes first: input queued meanwhile goes to the drag, not to the window under it
  HWND capture = FBarManager->GetDragCaptureWindow();
  SetCapture(capture);
  kxBarDispatchPaintMessages();
  TPoint last{-100000, -100000};
  try {
    MSG msg;
    while (GetCapture() == capture) {
      if (!kxBarGetDragMessage(msg)) break;
      if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL) {
        POINT p;
        GetCursorPos(&p);
        last = TPoint{-100000, -100000};
        msg.message = WM_MOUSEMOVE;
        msg.pt = p;
      }
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
        continue;
      }
      if (msg.message == WM_MOUSEMOVE) {
        TPoint p{msg.pt.x, msg.pt.y};
        if (p == last) continue;
        last = p;
        MoveBarControl(Window, TPoint{p.x + FGrabOffset.x, p.y + FGrabOffset.y});
        continue;
      }
      if (msg.message == WM_LBUTTONUP) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    if (gWaitTimer) KillTimer(nullptr, gWaitTimer);
    gWaitTimer = 0;
    if (GetCapture() == capture) ReleaseCapture();
    Window->SetDragMode(false);
    FMoving = false;
    FMovingWindow = nullptr;
    throw;
  }
  if (gWaitTimer) KillTimer(nullptr, gWaitTimer);
  gWaitTimer = 0;
  gWaitBars = nullptr;
  if (GetCapture() == capture) ReleaseCapture();
  Window->SetDragMode(false);
  if (Window->DockControl()) Window->DockControl()->StoreBarPositions();
  FMoving = false;
  FMovingWindow = nullptr;
}
