// Customizing mode of a manager: switching it on and off, the modal loop that
// drags links between bars and menus (or commands from the customizing
// window onto them) with its cursors and insertion mark, what a drop does,
// and the content of the toolbar list pop-up. Also the seam through which
// the customizing window's unit is reached.
#include "bars/kxbarcustomize.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <utility>

#include "bars/kxbaranim.h"
#include "bars/kxbaritems.h"
#include "bars/kxbarpopup.h"
#include "framework/uxclasses.h"
#include "platform/rtl/strings.h"

namespace kxbarcustomize {

TkxBarCustomizingFormHooks gHooks;

// "自定义(&C)..."
const char* const kCustomize = "\xD7\xD4\xB6\xA8\xD2\xE5(&C)...";

// The drag cursors of the bar library.
constexpr TCursor crDragMove = 1041, crDragCopy = 1042, crDragNoDrop = 1043;

// What one drag has found so far.
struct TCustomizeDragState {
  TCustomkxBarControl* Target = nullptr;
  TkxBarItemControl* Control = nullptr;
  bool InGap = false, Vertical = false, Before = false;
  bool MarkDrawn = false;
  bool Copy = false, CopyChanged = false;
  bool Moved = false, Dropped = false;
  TPoint Grab{};
  TPoint Last{};
};

bool PointIn(const TRect& R, const TPoint& P) {
  return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom;
}

// The first visible bar window of the manager whose window holds the point.
TCustomkxBarControl* BarWindowAt(TkxBarManager* M, const TPoint& P) {
  for (int i = 0; TCustomkxBarControl* c = kxBarGetBarControl(i); ++i) {
    if (c->BarManager() != M || !c->HandleAllocated() || !IsWindowVisible(c->Handle())) continue;
    if (PointIn(c->GetWindowRect(), P)) return c;
  }
  return nullptr;
}

bool IsSubItemControl(TkxBarItemControl* C) { return dynamic_cast<TkxBarSubItemControl*>(C) != nullptr; }

}  // namespace kxbarcustomize

namespace kc = kxbarcustomize;

// ===========================================================================
// the customizing window's routines

void kxBarSetCustomizingFormHooks(const TkxBarCustomizingFormHooks& Hooks) { kc::gHooks = Hooks; }
const TkxBarCustomizingFormHooks& kxBarCustomizingFormHooks() { return kc::gHooks; }

void kxBarShowCustomizingForm(TkxBarManager* Manager, bool Show) {
  if (kc::gHooks.Show) kc::gHooks.Show(Manager, Show);
}
TCustomForm* kxBarGetCustomizingForm() { return kc::gHooks.Form ? kc::gHooks.Form() : nullptr; }
HWND kxBarGetSubMenuEditorWindow() { return kc::gHooks.SubMenuEditor ? kc::gHooks.SubMenuEditor() : nullptr; }

// The routines that keep an open window up to date.
#define KXBAR_FORM_CALL(Hook, ...)                       \
  do {                                                   \
    if (kc::gHooks.Hook && kxBarGetCustomizingForm()) kc::gHooks.Hook(__VA_ARGS__); \
  } while (false)

void kxBarCustomizingFormStyleChanged() { KXBAR_FORM_CALL(StyleChanged); }
void kxBarCustomizingFormHelpButtonChanged() { KXBAR_FORM_CALL(HelpButtonChanged); }
void kxBarCustomizingFormBarRemoved(TkxBar* Bar) { KXBAR_FORM_CALL(BarRemoved, Bar); }
void kxBarCustomizingFormBarChanged(TkxBar* Bar) { KXBAR_FORM_CALL(BarChanged, Bar); }
void kxBarCustomizingFormItemsChanged() { KXBAR_FORM_CALL(ItemsChanged); }
void kxBarCustomizingFormSelectItem(TkxBarItem* Item, bool Force) { KXBAR_FORM_CALL(SelectItem, Item, Force); }
void kxBarCustomizingFormItemDestroyed() { KXBAR_FORM_CALL(ItemDestroyed); }
void kxBarCustomizingFormOptionsChanged() { KXBAR_FORM_CALL(OptionsChanged); }
void kxBarCustomizingFormCategoryChanged(TkxBarItem* Item) { KXBAR_FORM_CALL(CategoryChanged, Item); }
void kxBarCustomizingFormItemNameChanged() { KXBAR_FORM_CALL(ItemNameChanged); }
void kxBarCustomizingFormGroupsChanged() { KXBAR_FORM_CALL(GroupsChanged); }
void kxBarCustomizingFormGroupItemsChanged() { KXBAR_FORM_CALL(GroupItemsChanged); }

#undef KXBAR_FORM_CALL


void kxBarInstallDragCursors() {
  if (!Screen) return;
  const std::pair<TCursor, const char*> cursors[] = {{kc::crDragMove, "KXBARDRAGCURSOR"},
                                                     {kc::crDragCopy, "KXBARDRAGCOPYCURSOR"},
                                                     {kc::crDragNoDrop, "KXBARDRAGNODROPCURSOR"},
                                                     {kxBarEditSizingCursor, "KXBAREDITSIZINGCURSOR"}};
  for (const auto& [index, name] : cursors)
    if (HCURSOR h = LoadCursorA(nullptr, name)) Screen->SetCursors(index, h);
}

// ===========================================================================
// customizing mode

void TkxBarManager::SetCustomizing(bool Value) {
  if (Value == FIsCustomizing) return;
  if (Value && kxBarGetCustomizingForm()) return;
  // the bars stop working as menus and toolbars (or start again)
  HideAll();
  std::vector<TkxBarControl*> windows;
  for (int i = 0; FBars && i < FBars->Count(); ++i)
    if (TkxBarControl* c = FBars->Items(i)->Control()) {
      c->CloseChain();
      c->DestroyItemControls();
      windows.push_back(c);
    }
  SetSelectedItem(nullptr);
  FIsCustomizing = Value;
  for (int i = 0; FBars && i < FBars->Count(); ++i) FBars->Items(i)->ItemLinks()->RefreshLists();
  for (TkxBarControl* c : windows) c->CreateItemControls();
  for (TkxBarItem* item : FItems)
    if (TkxBarItemLinks* links = item->SubItemLinks()) links->RefreshLists();
  for (TkxBarPopupMenu* menu : FPopupMenus)
    if (menu->ItemLinks()) menu->ItemLinks()->RefreshLists();
  if (Value) {
    if (OnShowCustomizingForm) OnShowCustomizingForm(this);
    kxBarShowCustomizingForm(this, true);
  } else {
    kxBarShowCustomizingForm(this, false);
    if (OnHideCustomizingForm) OnHideCustomizingForm(this);
  }
  for (TkxBarControl* c : windows)
    if (kxBarIsBarControlAlive(kxBarRef(c))) {
      c->UpdateControlStyle();
      c->Rebuild();
    }
}

void TkxBarManager::StartDragItem() {
  TkxBarItem* item = FDragItem;
  TkxBarItemLink* link = FDragItemLink;
  if (item) DragItem(item, link);
  else SetDragState(nullptr, nullptr);
}

// ===========================================================================
// the insertion mark

void TkxBarManager::DrawDragMark(TkxBarItemControl* ItemControl, bool InGap, bool Vertical, bool Before) {
  if (!ItemControl || !ItemControl->Parent() || !ItemControl->Link()) return;
  TCustomkxBarControl* bar = ItemControl->Parent();
  if (!bar->HandleAllocated()) return;
  TkxBarItemLinks* links = bar->ItemLinks();
  int shown = links ? links->IndexOfShown(ItemControl->Link()) : -1;
  auto shownControl = [&](int Index) -> TkxBarItemControl* {
    if (!links || Index < 0 || Index >= links->ShownItemCount()) return nullptr;
    return links->ShownItems(Index)->Control();
  };
  // the control the mark is drawn at, and whether at its end
  TkxBarItemControl* at = ItemControl;
  bool atEnd = false;
  if (InGap && Before) {
    if (TkxBarItemControl* prev = shownControl(shown - 1)) {
      at = prev;
      atEnd = true;
    }
  } else if (!InGap && !Before) {
    TkxBarItemControl* next = shownControl(shown + 1);
    if (!next || ItemControl->LastInRow() || next->Link()->BeginGroup()) {
      atEnd = true;
    } else {
      at = next;
    }
  }
  TRect r;
  bar->GetItemRect(at, r);
  if (IsRectEmpty(&r)) return;
  HDC dc = GetDC(bar->Handle());
  int rop = SetROP2(dc, R2_NOT);
  HGDIOBJ pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  auto line = [dc](int X1, int Y1, int X2, int Y2) {
    MoveToEx(dc, X1, Y1, nullptr);
    LineTo(dc, X2, Y2);
  };
  int L = r.left, T = r.top, R = r.right, B = r.bottom;
  if (Vertical) {
    if (atEnd) T = B - 6;
    line(L, T, L, T + 6);
    line(L + 1, T + 1, L + 1, T + 5);
    line(L + 2, T + 2, R - 2, T + 2);
    line(L + 2, T + 3, R - 2, T + 3);
    line(R - 2, T + 1, R - 2, T + 5);
    line(R - 1, T, R - 1, T + 6);
  } else {
    if (atEnd) L = R - 6;
    line(L, T, L + 6, T);
    line(L + 1, T + 1, L + 5, T + 1);
    line(L + 2, T + 2, L + 2, B - 2);
    line(L + 3, T + 2, L + 3, B - 2);
    line(L + 1, B - 2, L + 5, B - 2);
    line(L, B - 1, L + 6, B - 1);
  }
  SelectObject(dc, pen);
  SetROP2(dc, rop);
  ReleaseDC(bar->Handle(), dc);
}

// ===========================================================================
// the drag loop

namespace kxbarcustomize {

// Whether a drop at the place would change anything.
bool IsValidDropPlace(TkxBarItemLink* Dragged, bool Copy, TkxBarItemControl* Control, bool InGap, bool Before) {
  if (!Control) return false;
  if (!Dragged || Copy) return true;
  TkxBarItemLink* at = Control->Link();
  if (at == Dragged) return InGap && Before;
  TkxBarItemLinks* links = Dragged->Owner();
  int i = links ? links->IndexOfShown(Dragged) : -1;
  TkxBarItemLink* prev = i > 0 ? links->ShownItems(i - 1) : nullptr;
  TkxBarItemLink* next = i >= 0 && i + 1 < links->ShownItemCount() ? links->ShownItems(i + 1) : nullptr;
  if (at == prev && !Dragged->BeginGroup() && !InGap && !Before) return false;
  if (!next) return true;
  if (at == next && ((InGap && Before) || (Before && !next->BeginGroup()))) return false;
  return true;
}

// The drag loop of one manager; its state lives for one DragItem call.
class TDragLoop {
 public:
  TDragLoop(TkxBarManager* Manager, TCustomizeDragState& State) : M(Manager), S(State) {}
  void Move(const TPoint& P);
  void EraseMark() {
    if (!S.MarkDrawn) return;
    S.MarkDrawn = false;
    if (S.Control && kxBarIsBarControlAlive(TargetRef)) M->DrawDragMark(S.Control, S.InGap, S.Vertical, S.Before);
  }
  void DrawMark() {
    if (S.MarkDrawn || !S.Control) return;
    M->DrawDragMark(S.Control, S.InGap, S.Vertical, S.Before);
    S.MarkDrawn = true;
  }
  TkxBarControlRef TargetRef;

 private:
  TkxBarManager* M;
  TCustomizeDragState& S;
};

void TDragLoop::Move(const TPoint& P) {
  S.Moved = true;
  S.Last = P;
  HWND wnd = kxBarWindowFromScreenPoint(POINT{P.x, P.y});
  auto* target = dynamic_cast<TCustomkxBarControl*>(wnd ? FindControl(wnd) : nullptr);
  if (target && target->BarManager() != M) target = nullptr;
  HWND editor = kxBarGetSubMenuEditorWindow();
  if (editor && wnd && kxBarIsChildWindow(wnd, editor)) {
    SendMessageA(editor, WM_KXBAR_DRAGOVEREDITOR, 0, 0);
    target = nullptr;
  } else if (!target) {
    TCustomForm* form = kxBarGetCustomizingForm();
    bool inForm = form && form->HandleAllocated() && wnd && kxBarIsChildWindow(wnd, form->Handle());
    if (!inForm) target = BarWindowAt(M, P);
  }
  if (target && !target->IsCustomizing()) target = nullptr;
  TkxBarItemControl* control = nullptr;
  bool inGap = false, vertical = false, before = false;
  if (target) control = target->GetDropPlace(target->ScreenToClient(P), inGap, vertical, before);
  TkxBarItemLink* dragged = M->DragItemLink();
  TCursor cursor;
  if (!target || (!control && target->ItemLinks() && target->ItemLinks()->ShownItemCount() > 0))
    cursor = crDragNoDrop;
  else
    cursor = !dragged || S.Copy ? crDragCopy : crDragMove;
  if (Screen) Screen->SetCursor(cursor);
  if (!target) {
    EraseMark();
    S.Control = nullptr;
    S.Target = nullptr;
    TargetRef = TkxBarControlRef();
    return;
  }
  auto* menu = dynamic_cast<TkxBarSubMenuControl*>(target);
  bool animating = menu && kxBarAnimatedMenu() == menu;
  if (!animating && (target != S.Target || control != S.Control || inGap != S.InGap || vertical != S.Vertical ||
                     before != S.Before || S.CopyChanged)) {
    EraseMark();
    bool controlChanged = control != S.Control;
    TkxBarControlRef ref = kxBarRef(target);
    if (controlChanged && control) {
      if (IsSubItemControl(control) || IsSubItemControl(target->SelectedControl())) {
        target->HotTrack(control);
      } else {
        M->SetSelectedItem(control);
        target->SetSelectedControl(control);
      }
    }
    if (!kxBarIsBarControlAlive(ref)) {
      S.Target = nullptr;
      S.Control = nullptr;
      return;
    }
    S.Target = target;
    TargetRef = ref;
    S.Control = control;
    S.InGap = inGap;
    S.Vertical = vertical;
    S.Before = before;
    S.CopyChanged = false;
    if (IsValidDropPlace(dragged, S.Copy, control, inGap, before)) {
      // the selection repaints first, so that no later paint covers the mark
      if (target->HandleAllocated()) UpdateWindow(target->Handle());
      DrawMark();
    }
  }
  if (menu && menu->HandleAllocated()) {
    // the menu scrolls and opens nested menus under the dragged item itself
    TPoint c = menu->ScreenToClient(P);
    SendMessageA(menu->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(c.x, c.y));
    if (kxBarAnimatedMenu() == menu) EraseMark();
  }
}

// The drop at the end of a drag that moved; answers whether the dragged link
// was freed.
bool Drop(TkxBarManager* M, TCustomkxBarControl* Target, const TCustomizeDragState& S) {
  TkxBarItem* item = M->DragItem();
  TkxBarItemLink* dragged = M->DragItemLink();
  TkxBarItemControl* control = S.Control;
  if (!Target) {
    // dragged off every bar: a moved link goes
    TCustomkxBarControl* bar = M->SelectedItem() ? M->SelectedItem()->Parent() : nullptr;
    TkxBarControlRef ref = kxBarRef(bar);
    bool freed = false;
    if (dragged && !S.Copy) {
      delete dragged;
      freed = true;
      M->DesignerModified();
    }
    if (bar && kxBarIsBarControlAlive(ref)) bar->Rebuild();
    M->SetSelectedItem(nullptr);
    return freed;
  }
  bool ontoItself = control && dragged && control->Link() == dragged && !S.Copy && !(S.InGap && S.Before);
  if (ontoItself) {
    // along its own bar: a drag of more than 3 pixels forward gives it a
    // separator before it, back takes that away
    TCustomkxBarControl* bar = dragged->BarControl();
    if (!bar || !bar->HandleAllocated()) return false;
    TPoint p = bar->ScreenToClient(S.Last);
    TRect r = dragged->ItemRect();
    bool vertical = kxBarIsVerticalToolbar(bar) || bar->IsMenuWindow();
    int d = vertical ? p.y - r.top - S.Grab.y : p.x - r.left - S.Grab.x;
    if (std::abs(d) <= 3) return false;
    TkxBarItemControl* c = dragged->Control();
    if (dragged->BeginGroup() == (d > 0)) {
      if (c) bar->SelectItem(c);
      return false;
    }
    if (c) {
      bar->SetSelectedControl(c);
      M->SetSelectedItem(c);
    }
    dragged->SetBeginGroup(d > 0);
    return false;
  }
  bool valid = IsValidDropPlace(dragged, S.Copy, control, S.InGap, S.Before);
  if (control && dragged && !S.Copy && !(S.InGap && S.Before) && !valid) return false;
  TkxBarItemLinks* links = Target->ItemLinks();
  bool emptyTarget = links && links->ShownItemCount() == 0 && PointIn(Target->ClientRect(), Target->ScreenToClient(S.Last));
  if (!links || (!control && !emptyTarget)) {
    M->SetSelectedItem(nullptr);
    return false;
  }
  TkxBarControlRef targetRef = kxBarRef(Target);
  auto* toolbar = dynamic_cast<TkxBarControl*>(Target);
  TkxBarItemLink* added = links->Add();
  try {
    added->BringToFront(true);
    added->SetItem(item);
    if (dragged) added->Assign(dragged);
  } catch (...) {
    delete added;
    throw;
  }
  if (control) {
    TkxBarItemLink* at = control->Link();
    int index = at->Index() + (!S.InGap && !S.Before ? 1 : 0);
    added->SetIndex(std::min(index, links->Count() - 1));
    if ((S.InGap && !S.Before) || (S.Before && !S.InGap && at->BeginGroup())) {
      if (toolbar) toolbar->BeginUpdate();
      added->SetBeginGroup(true);
      at->SetBeginGroup(false);
      if (toolbar) toolbar->EndUpdate();
    }
  }
  Target->Rebuild();
  if (added->Control()) {
    M->SetSelectedItem(added->Control());
    Target->SetSelectedControl(added->Control());
  }
  bool freed = false;
  if (dragged && !S.Copy) {
    delete dragged;
    freed = true;
  }
  M->DesignerModified();
  TCustomkxBarControl* head = kxBarGetActiveBarControl();
  if (head && toolbar && kxBarIsBarControlAlive(targetRef) && kxBarGetRootBarControl(head) != toolbar) {
    M->HideAll();
    if (kxBarIsBarControlAlive(targetRef) && added->Control()) toolbar->ActivateMenuMode(added->Control());
  }
  return freed;
}

}  // namespace kxbarcustomize

void TkxBarManager::DragItem(TkxBarItem* Item, TkxBarItemLink* Link) {
  if (!Item || FDragging) return;
  FDragItem = Item;
  FDragItemLink = Link;
  FDragging = true;
  kc::TCustomizeDragState s;
  kc::TDragLoop loop(this, s);
  POINT cursor;
  GetCursorPos(&cursor);
  if (Link && Link->BarControl() && Link->BarControl()->HandleAllocated()) {
    TPoint p = Link->BarControl()->ScreenToClient(TPoint{cursor.x, cursor.y});
    TRect r = Link->ItemRect();
    s.Grab = TPoint{p.x - r.left, p.y - r.top};
  }
  s.Copy = GetKeyState(VK_CONTROL) < 0;
  TCursor savedCursor = Screen ? Screen->Cursor() : crDefault;
  HWND capture = GetDragCaptureWindow();
  SetCapture(capture);
  std::exception_ptr error;
  try {
    MSG msg;
    while (GetCapture() == capture) {
      if (!kxBarGetDragMessage(msg)) break;
      if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
        if (msg.wParam == VK_ESCAPE) break;
        if (msg.wParam != VK_CONTROL) continue;
        bool copy = msg.message == WM_KEYDOWN;
        if (copy != s.Copy) s.CopyChanged = true;
        s.Copy = copy;
        POINT p;
        GetCursorPos(&p);
        loop.Move(s.Moved ? s.Last : TPoint{p.x, p.y});
        continue;
      }
      if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) continue;
      if (msg.message == WM_LBUTTONUP) {
        s.Dropped = true;
        s.Last = TPoint{msg.pt.x, msg.pt.y};
        break;
      }
      if (msg.message == WM_MOUSEMOVE) {
        loop.Move(TPoint{msg.pt.x, msg.pt.y});
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    error = std::current_exception();
  }
  // the end of the drag, also after an error
  loop.EraseMark();
  if (GetCapture() == capture) ReleaseCapture();
  if (Screen) Screen->SetCursor(savedCursor);
  FDragging = false;
  bool linkFreed = false;
  try {
    if (!error && s.Dropped && s.Moved)
      linkFreed = kc::Drop(this, s.Target && kxBarIsBarControlAlive(loop.TargetRef) ? s.Target : nullptr, s);
  } catch (...) {
    if (!error) error = std::current_exception();
  }
  FDragItem = nullptr;
  TkxBarItemLink* link = FDragItemLink;
  FDragItemLink = nullptr;
  if (link && !linkFreed && link->Control()) link->Control()->Repaint();
  if (error) std::rethrow_exception(error);
}

// ===========================================================================
// the toolbar list

void TkxBarManager::FillToolbarsPopup(TkxBarItemLinks* Links) {
  if (!Links) return;
  for (int i = 0; FBars && i < FBars->Count(); ++i) {
    TkxBar* bar = FBars->Items(i);
    if (!bar->CanClose() || bar->Hidden()) continue;
    auto* button = new TkxBarButton(nullptr);
    kxBarAddTempItem(button);
    button->SetBarManager(this);
    button->SetCaption(bar->Caption());
    button->SetButtonStyle(bsChecked);
    button->SetTag(i);
    button->SetDown(bar->Visible());
    button->OnClick = TNotifyEvent(this, &TkxBarManager::ToolbarsPopupClick);
    Links->Add()->SetItem(button);
  }
  AddCustomizeItem(Links, true, TkxBarButton::StaticClass());
  DoShowToolbarsPopup(Links);
}

void TkxBarManager::AddCustomizeItem(TkxBarItemLinks* Links, bool BeginGroup, TClass ItemClass) {
  if (!Links || !FCanCustomize) return;
  auto* item = dynamic_cast<TkxBarItem*>(CreateObject(ItemClass, nullptr));
  if (!item) return;
  kxBarAddTempItem(item);
  item->SetBarManager(this);
  item->SetCaption(uxTranslateString(kc::kCustomize));
  item->SetEnabled(kxBarGetCustomizingForm() == nullptr);
  item->SetTag(kxBarCustomizeEntryTag);
  item->OnClick = TNotifyEvent(this, &TkxBarManager::ToolbarsPopupClick);
  TkxBarItemLink* link = Links->Add();
  link->SetItem(item);
  link->SetBeginGroup(BeginGroup);
}

void TkxBarManager::ToolbarsPopupClick(TObject* Sender) {
  auto* item = dynamic_cast<TkxBarItem*>(Sender);
  if (!item) return;
  if (item->Tag() == kxBarCustomizeEntryTag) {
    SetCustomizing(true);
  } else if (FBars && item->Tag() >= 0 && item->Tag() < FBars->Count()) {
    TkxBar* bar = FBars->Items(int(item->Tag()));
    bar->SetVisible(!bar->Visible());
  }
}
