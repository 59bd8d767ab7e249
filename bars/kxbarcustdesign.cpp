// The customizing window's design-time pages: every command with its name,
// caption and shortcut ("All commands"), and the manager's groups with their
// members ("Groups"). The form designer itself is a host service this system
// does not include: selecting a component in it does nothing here.
#include <algorithm>

#include "bars/kxbarcustomform.h"
#include "bars/kxbarpopup.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/graphics.h"
#include "platform/controls/menus.h"

namespace kxbarcustdesign {

bool ListedInAllCommands(TkxBarItem* Item, bool ShortCutOnly) {
  return Item->Category() >= 0 && (!ShortCutOnly || IsPublishedProp(Item, "ShortCut"));
}

AnsiString ShortCutText(TkxBarItem* Item) { return Item->ShortCut() ? ShortCutToText(Item->ShortCut()) : AnsiString(); }

int TextWidthOf(TFont* Font, const AnsiString& Text) {
  TBitmap b;
  b.SetSize(1, 1);
  b.Canvas()->Font()->Assign(Font);
  return b.Canvas()->TextWidth(Text);
}

// The members of a group list box in its order.
TComponent* MemberAt(TListBox* List, int Index) {
  if (Index < 0 || Index >= List->Items()->Count()) return nullptr;
  return static_cast<TComponent*>(List->Items()->Objects(Index));
}

}  // namespace kxbarcustdesign

using namespace kxbarcustdesign;

void TkxBarCustomizingForm::CreateDesignMenus() {}

// ---------------------------------------------------------------------------
// "All commands"

void TkxBarCustomizingForm::RefreshAllCommands() {
  if (!LAllCommands) return;
  int top = LAllCommands->TopIndex();
  TObject* selected = LAllCommands->ItemIndex() >= 0 ? LAllCommands->Items()->Objects(LAllCommands->ItemIndex()) : nullptr;
  bool shortCutOnly = CBShowCommandsWithShortCut->Checked();
  if (LAllCommands->HandleAllocated()) SendMessageA(LAllCommands->Handle(), WM_SETREDRAW, FALSE, 0);
  LAllCommands->Items()->BeginUpdate();
  LAllCommands->Items()->Clear();
  for (int i = 0; i < FBarManager->ItemCount(); ++i) {
    TkxBarItem* item = FBarManager->GetItem(i);
    if (ListedInAllCommands(item, shortCutOnly)) LAllCommands->Items()->AddObject(item->Name(), item);
  }
  LAllCommands->Items()->EndUpdate();
  LAllCommands->SetTopIndex(top);
  LAllCommands->SetItemIndex(LAllCommands->Items()->IndexOfObject(selected));
  if (LAllCommands->HandleAllocated()) {
    SendMessageA(LAllCommands->Handle(), WM_SETREDRAW, TRUE, 0);
    LAllCommands->Invalidate();
  }
  CalcAllCommandsWidths();
}

void TkxBarCustomizingForm::CalcAllCommandsWidths() {
  if (!LAllCommands) return;
  int w[3] = {0, 0, 0};
  for (int i = 0; i < LAllCommands->Items()->Count(); ++i) {
    auto* item = static_cast<TkxBarItem*>(LAllCommands->Items()->Objects(i));
    w[0] = std::max(w[0], TextWidthOf(Font(), item->Name()));
    w[1] = std::max(w[1], TextWidthOf(Font(), item->Caption()));
    w[2] = std::max(w[2], TextWidthOf(Font(), ShortCutText(item)));
  }
  for (int i = 0; i < 3; ++i) FAllCommandsWidths[i] = w[i];
  if (LAllCommands->HandleAllocated())
    SendMessageA(LAllCommands->Handle(), LB_SETHORIZONTALEXTENT, WPARAM(w[0] + w[1] + w[2] + 30), 0);
  LAllCommands->Invalidate();
}

void TkxBarCustomizingForm::LAllCommandsDrawItem(TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
  TCanvas* c = LAllCommands->Canvas();
  auto* item = static_cast<TkxBarItem*>(LAllCommands->Items()->Objects(Index));
  bool selected = State.Contains(odSelected);
  c->Brush()->SetColor(selected ? clHighlight : clWindow);
  c->Font()->SetColor(selected ? clHighlightText : clWindowText);
  c->FillRect(Rect);
  int x1 = Rect.left + 5 + FAllCommandsWidths[0] + 5;
  int x2 = x1 + 5 + FAllCommandsWidths[1] + 5;
  c->TextRect(Rect, Rect.left + 5, Rect.top + 2, item->Name());
  c->TextRect(Rect, x1 + 5, Rect.top + 2, item->Caption());
  c->TextRect(Rect, x2 + 5, Rect.top + 2, ShortCutText(item));
  c->Pen()->SetColor(selected ? clHighlightText : clWindowText);
  c->MoveTo(x1, Rect.top);
  c->LineTo(x1, Rect.bottom);
  c->MoveTo(x2, Rect.top);
  c->LineTo(x2, Rect.bottom);
  // the two lines continue below the last row
  if (Index == LAllCommands->Items()->Count() - 1) {
    int bottom = LAllCommands->ClientHeight();
    c->Pen()->SetColor(clWindowText);
    c->MoveTo(x1, Rect.bottom);
    c->LineTo(x1, bottom);
    c->MoveTo(x2, Rect.bottom);
    c->LineTo(x2, bottom);
  }
}

void TkxBarCustomizingForm::LAllCommandsClick(TObject*) {}

void TkxBarCustomizingForm::CBShowCommandsWithShortCutClick(TObject*) { RefreshAllCommands(); }

// ---------------------------------------------------------------------------
// "Groups"

TkxBarGroup* TkxBarCustomizingForm::SelectedGroup() {
  // The row's object is looked up among the live groups: the row may still
  // name a group that is being freed.
  TComponent* row = MemberAt(lbGroups, lbGroups->ItemIndex());
  for (int i = 0; row && i < FBarManager->GroupCount(); ++i)
    if (FBarManager->GetGroup(i) == row) return FBarManager->GetGroup(i);
  return nullptr;
}

void TkxBarCustomizingForm::RefreshGroups() {
  if (!lbGroups) return;
  TkxBarGroup* selected = SelectedGroup();
  lbGroups->Items()->BeginUpdate();
  lbGroups->Items()->Clear();
  for (int i = 0; i < FBarManager->GroupCount(); ++i) {
    TkxBarGroup* g = FBarManager->GetGroup(i);
    lbGroups->Items()->AddObject(g->Name(), g);
  }
  lbGroups->Items()->EndUpdate();
  int row = lbGroups->Items()->IndexOfObject(selected);
  lbGroups->SetItemIndex(row >= 0 ? row : (lbGroups->Items()->Count() > 0 ? 0 : -1));
  RefreshGroupItems();
}

void TkxBarCustomizingForm::RefreshGroupItems() {
  if (!lbGroupItems) return;
  TkxBarGroup* g = SelectedGroup();
  lbGroupItems->Items()->BeginUpdate();
  lbGroupItems->Items()->Clear();
  for (int i = 0; g && i < g->Count(); ++i) {
    TComponent* m = g->GetMember(i);
    lbGroupItems->Items()->AddObject(m->Name(), m);
  }
  lbGroupItems->Items()->EndUpdate();
  UpdateGroupButtons();
}

void TkxBarCustomizingForm::UpdateGroupButtons() {
  if (FGroupsUpdate > 0 || !lbGroups) return;
  TkxBarGroup* g = SelectedGroup();
  btnGroupDelete->SetEnabled(g != nullptr);
  btnGroupItemAdd->SetEnabled(g != nullptr);
  btnGroupItemDelete->SetEnabled(g && lbGroupItems->SelCount() > 0);
  bool up = false, down = false;
  if (FGroupItemsLastUsed) {
    int n = lbGroupItems->Items()->Count();
    for (int i = 0; i < n; ++i)
      if (lbGroupItems->Selected(i)) {
        if (i > 0 && !lbGroupItems->Selected(i - 1)) up = true;
        if (i < n - 1 && !lbGroupItems->Selected(i + 1)) down = true;
      }
  } else if (g) {
    up = lbGroups->ItemIndex() > 0;
    down = lbGroups->ItemIndex() < lbGroups->Items()->Count() - 1;
  }
  btnMoveUp->SetEnabled(up);
  btnMoveDown->SetEnabled(down);
}

void TkxBarCustomizingForm::lbGroupsDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
  auto* list = static_cast<TListBox*>(Control);
  TCanvas* c = list->Canvas();
  bool selected = State.Contains(odSelected);
  c->Brush()->SetColor(selected ? clHighlight : clWindow);
  c->Font()->Assign(list->Font());
  c->Font()->SetColor(selected ? clHighlightText : clWindowText);
  TComponent* member = MemberAt(list, Index);
  for (int i = 0; member && i < FBarManager->GroupCount(); ++i)
    if (FBarManager->GetGroup(i) == member) c->Font()->SetStyle(TFontStyles{fsBold});
  c->FillRect(Rect);
  c->TextRect(Rect, Rect.left + 2, Rect.top + 1, list->Items()->Get(Index));
}

void TkxBarCustomizingForm::lbGroupsClick(TObject*) {
  FGroupItemsLastUsed = false;
  RefreshGroupItems();
}

void TkxBarCustomizingForm::lbGroupsEnter(TObject*) {
  FGroupItemsLastUsed = false;
  UpdateGroupButtons();
}

void TkxBarCustomizingForm::lbGroupItemsClick(TObject*) {
  FGroupItemsLastUsed = true;
  UpdateGroupButtons();
}

void TkxBarCustomizingForm::lbGroupItemsEnter(TObject*) {
  FGroupItemsLastUsed = true;
  UpdateGroupButtons();
}

void TkxBarCustomizingForm::lbGroupsKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (!Shift.Empty()) return;
  if (Key == VK_INSERT) btnGroupAddClick(nullptr);
  else if (Key == VK_DELETE && btnGroupDelete->Enabled()) btnGroupDeleteClick(nullptr);
}

void TkxBarCustomizingForm::lbGroupItemsKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (!Shift.Empty()) return;
  if (Key == VK_INSERT && btnGroupItemAdd->Enabled()) btnGroupItemAddClick(nullptr);
  else if (Key == VK_DELETE && btnGroupItemDelete->Enabled()) btnGroupItemDeleteClick(nullptr);
}

void TkxBarCustomizingForm::btnGroupAddClick(TObject*) {
  ++FGroupsUpdate;
  TkxBarGroup* g = FBarManager->AddGroup();
  // Named from "kxBarGroup" with the first free number.
  TComponent* owner = g->Owner();
  for (int n = 1;; ++n) {
    AnsiString name = "kxBarGroup" + IntToStr(n);
    if (!owner || !owner->FindComponent(name)) {
      g->SetName(name);
      break;
    }
  }
  --FGroupsUpdate;
  RefreshGroups();
  lbGroups->SetItemIndex(lbGroups->Items()->IndexOfObject(g));
  RefreshGroupItems();
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::btnGroupDeleteClick(TObject*) {
  TkxBarGroup* g = SelectedGroup();
  if (!g) return;
  int row = lbGroups->ItemIndex();
  ++FGroupsUpdate;
  g->Free();
  --FGroupsUpdate;
  RefreshGroups();
  int count = lbGroups->Items()->Count();
  lbGroups->SetItemIndex(row < count ? row : count - 1);
  RefreshGroupItems();
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::btnGroupItemAddClick(TObject*) {
  TkxBarGroup* g = SelectedGroup();
  if (!g) return;
  std::vector<TComponent*> chosen;
  if (!kxBarShowAddGroupItemsDialog(g, chosen)) return;
  ++FGroupsUpdate;
  for (TComponent* c : chosen) g->Add(c);
  --FGroupsUpdate;
  RefreshGroupItems();
  for (int i = 0; i < lbGroupItems->Items()->Count(); ++i)
    lbGroupItems->SetSelected(i, std::find(chosen.begin(), chosen.end(), MemberAt(lbGroupItems, i)) != chosen.end());
  FGroupItemsLastUsed = true;
  UpdateGroupButtons();
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::btnGroupItemDeleteClick(TObject*) {
  TkxBarGroup* g = SelectedGroup();
  if (!g) return;
  int n = lbGroupItems->Items()->Count();
  int last = -1;
  std::vector<TComponent*> remove;
  for (int i = 0; i < n; ++i)
    if (lbGroupItems->Selected(i)) {
      remove.push_back(MemberAt(lbGroupItems, i));
      last = i;
    }
  if (remove.empty()) return;
  // The first unselected member after the selection, else before it.
  TComponent* next = nullptr;
  for (int i = last + 1; i < n && !next; ++i)
    if (!lbGroupItems->Selected(i)) next = MemberAt(lbGroupItems, i);
  for (int i = last; i >= 0 && !next; --i)
    if (!lbGroupItems->Selected(i)) next = MemberAt(lbGroupItems, i);
  ++FGroupsUpdate;
  for (TComponent* c : remove) g->Remove(c);
  --FGroupsUpdate;
  RefreshGroupItems();
  int row = lbGroupItems->Items()->IndexOfObject(next);
  if (row >= 0) lbGroupItems->SetSelected(row, true);
  UpdateGroupButtons();
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::MoveGroupItems(int Delta) {
  if (FGroupItemsLastUsed) {
    TkxBarGroup* g = SelectedGroup();
    if (!g) return;
    int n = lbGroupItems->Items()->Count();
    std::vector<bool> sel(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) sel[std::size_t(i)] = lbGroupItems->Selected(i);
    ++FGroupsUpdate;
    // Each selected member steps over its unselected neighbour; a block at
    // an end stays.
    if (Delta < 0) {
      for (int i = 1; i < n; ++i)
        if (sel[std::size_t(i)] && !sel[std::size_t(i - 1)]) {
          g->MoveMember(i, i - 1);
          sel[std::size_t(i - 1)] = true;
          sel[std::size_t(i)] = false;
        }
    } else {
      for (int i = n - 2; i >= 0; --i)
        if (sel[std::size_t(i)] && !sel[std::size_t(i + 1)]) {
          g->MoveMember(i, i + 1);
          sel[std::size_t(i + 1)] = true;
          sel[std::size_t(i)] = false;
        }
    }
    --FGroupsUpdate;
    RefreshGroupItems();
    for (int i = 0; i < n && i < lbGroupItems->Items()->Count(); ++i) lbGroupItems->SetSelected(i, sel[std::size_t(i)]);
  } else {
    TkxBarGroup* g = SelectedGroup();
    int row = lbGroups->ItemIndex();
    if (!g || row + Delta < 0 || row + Delta >= lbGroups->Items()->Count()) return;
    FBarManager->MoveGroup(g, row + Delta);
    RefreshGroups();
    lbGroups->SetItemIndex(row + Delta);
  }
  UpdateGroupButtons();
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::btnMoveUpClick(TObject*) { MoveGroupItems(-1); }
void TkxBarCustomizingForm::btnMoveDownClick(TObject*) { MoveGroupItems(1); }
