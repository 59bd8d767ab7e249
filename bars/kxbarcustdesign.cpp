// The customizing window's design-time pages: every command with its name,
// caption and shortcut ("All commands"), and the manager's groups with their
// members ("Groups"). The form designer itself is a host service this system
// does not include: selecting a component in it does nothing here.
#include <algorithm>

#include "bars/kxbarcustomform.h"
#include "bars/kxbarpopup.h"
#include "framework/uxclasses.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"
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

// ---------------------------------------------------------------------------
// the design-time menus of the commands page

namespace kxbarcustdesign {

const char* const kCategoryCaptions[5] = {"添加...", "插入...", "重命名...", "显示", "删除"};
const char* const kCommandCaptions[6] = {"添加...", "删除", "清除", "上移", "下移", "编辑子菜单..."};
const char* const kEditButton = "... 修改";
const char* const kDeleteCategoryText = "是否确认要删除类别 '%s' ?";
const char* const kClearCategoryText = "是否确认要删除类别 '%s'下的所有命令?";

AnsiString DsT(const char* Utf8) { return uxTranslateString(Utf8ToAnsi(Utf8)); }

bool ConfirmWithName(const char* Utf8, const AnsiString& Name) {
  AnsiString text = DsT(Utf8);
  text.replace(text.find("%s"), 2, Name);
  AnsiString title = Application ? Application->Title() : AnsiString();
  return MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

}  // namespace kxbarcustdesign

void TkxBarCustomizingForm::CreateDesignMenus() {
  BarManager1 = new TkxBarManager(this);
  BarManager1->SetFont(FBarManager->Font());
  auto entry = [&](TkxBarPopupMenu* Menu, const char* Caption, void (TkxBarCustomizingForm::*Click)(TObject*),
                   TShortCut Key, bool Group) {
    auto* b = new TkxBarButton(this);
    b->SetBarManager(BarManager1);
    b->SetCaption(DsT(Caption));
    b->SetShortCut(Key);
    b->OnClick = TNotifyEvent(this, Click);
    TkxBarItemLink* link = Menu->ItemLinks()->Add();
    link->SetItem(b);
    link->SetBeginGroup(Group);
    return b;
  };
  using F = TkxBarCustomizingForm;
  CategoriesPopupMenu = new TkxBarPopupMenu(this);
  CategoriesPopupMenu->SetBarManager(BarManager1);
  CategoriesPopupMenu->OnPopup = TNotifyEvent(this, &F::CategoriesPopupMenuPopup);
  CategoryEntries[0] = entry(CategoriesPopupMenu, kCategoryCaptions[0], &F::CategoriesAddClick, 0, false);
  CategoryEntries[1] = entry(CategoriesPopupMenu, kCategoryCaptions[1], &F::CategoriesInsertClick, VK_INSERT, false);
  CategoryEntries[2] = entry(CategoriesPopupMenu, kCategoryCaptions[2], &F::CategoriesRenameClick, 0, false);
  CategoryEntries[3] = entry(CategoriesPopupMenu, kCategoryCaptions[3], &F::CategoriesVisibleClick, 0, true);
  CategoryEntries[3]->SetButtonStyle(bsChecked);
  CategoryItemsVisible = new TkxBarCombo(this);
  CategoryItemsVisible->SetBarManager(BarManager1);
  CategoryItemsVisible->SetCaption("Items Visible:");
  for (const char* v : {"Never", "InCustomizing", "Always"}) CategoryItemsVisible->Items()->Add(v);
  CategoryItemsVisible->OnChange = TNotifyEvent(this, &F::CategoriesItemsVisibleChange);
  CategoriesPopupMenu->ItemLinks()->Add()->SetItem(CategoryItemsVisible);
  CategoryEntries[4] = entry(CategoriesPopupMenu, kCategoryCaptions[4], &F::CategoriesDeleteClick, VK_DELETE, true);

  CommandsPopupMenu = new TkxBarPopupMenu(this);
  CommandsPopupMenu->SetBarManager(BarManager1);
  CommandsPopupMenu->OnPopup = TNotifyEvent(this, &F::CommandsPopupMenuPopup);
  CommandEntries[0] = entry(CommandsPopupMenu, kCommandCaptions[0], &F::CommandsAddClick, VK_INSERT, false);
  CommandEntries[1] = entry(CommandsPopupMenu, kCommandCaptions[1], &F::CommandsDeleteClick, VK_DELETE, false);
  CommandEntries[2] = entry(CommandsPopupMenu, kCommandCaptions[2], &F::CommandsClearClick, 0, false);
  CommandEntries[3] = entry(CommandsPopupMenu, kCommandCaptions[3], &F::CommandsMoveUpClick,
                            TShortCut(scCtrl | VK_UP), true);
  CommandEntries[4] = entry(CommandsPopupMenu, kCommandCaptions[4], &F::CommandsMoveDownClick,
                            TShortCut(scCtrl | VK_DOWN), false);
  CommandEntries[5] = entry(CommandsPopupMenu, kCommandCaptions[5], &F::CommandsSubMenuEditorClick, 0, true);

  auto button = [&](TControl* Label, TControl* Place, TkxBarPopupMenu* Menu) {
    auto* b = new TCheckableButton(this);
    b->SetParent(Place->Parent());
    b->SetBounds(Place->Left(), Place->Top(), Place->Width(), Place->Height());
    b->SetCaption(DsT(kEditButton));
    b->SetDropDownMenu(Menu);
    b->PlaceAfter(Label);
    return b;
  };
  CategoriesButton = button(LabelCategories, CategoriesButtonPlace, CategoriesPopupMenu);
  CommandsButton = button(LabelCommands, CommandsButtonPlace, CommandsPopupMenu);
}

void TkxBarCustomizingForm::AddCategory(bool Insert) {
  int row = LCategories->ItemIndex();
  AnsiString name;
  if (!kxBarShowNameDialog(name, nkCategory, Insert ? nmInsert : nmAdd, nullptr, FBarManager)) return;
  TkxBarManagerCategories* cats = FBarManager->Categories();
  int index = Insert && row >= 0 ? row : cats->Count();
  if (Insert && row >= 0) {
    cats->Insert(index, name);
    LCategories->Items()->Insert(row, name);
  } else {
    cats->Add(name);
    row = LCategories->Items()->Add(name);
  }
  LCategories->SetItemIndex(row);
  FillCommands();
  if (LCategories->CanFocus()) LCategories->SetFocus();
}

void TkxBarCustomizingForm::CategoriesAddClick(TObject*) { AddCategory(false); }
void TkxBarCustomizingForm::CategoriesInsertClick(TObject*) { AddCategory(true); }

void TkxBarCustomizingForm::CategoriesRenameClick(TObject*) {
  int row = LCategories->ItemIndex(), index = SelectedCategory();
  if (index < 0) return;
  AnsiString name = FBarManager->Categories()->Get(index);
  if (!kxBarShowNameDialog(name, nkCategory, nmRename, nullptr, FBarManager)) return;
  FBarManager->Categories()->Put(index, name);
  LCategories->Items()->Put(row, name);
  LCategories->SetItemIndex(row);
}

void TkxBarCustomizingForm::CategoriesVisibleClick(TObject*) {
  int index = SelectedCategory();
  if (index >= 0) FBarManager->SetCategoryVisible(index, !FBarManager->GetCategoryVisible(index));
}

void TkxBarCustomizingForm::CategoriesItemsVisibleChange(TObject*) {
  int index = SelectedCategory(), value = CategoryItemsVisible ? CategoryItemsVisible->ItemIndex() : -1;
  if (index >= 0 && value >= 0) FBarManager->SetCategoryItemsVisible(index, TkxBarItemVisible(value));
}

void TkxBarCustomizingForm::CategoriesDeleteClick(TObject*) {
  int row = LCategories->ItemIndex(), index = SelectedCategory();
  if (index < 0 || FBarManager->Categories()->Count() < 2) return;
  if (!ConfirmWithName(kDeleteCategoryText, FBarManager->Categories()->Get(index))) return;
  FBarManager->Categories()->Delete(index);
  LCategories->Items()->Delete(row);
  int count = LCategories->Items()->Count();
  LCategories->SetItemIndex(row < count ? row : count - 1);
  FillCommands();
}

void TkxBarCustomizingForm::CategoriesPopupMenuPopup(TObject*) {
  int index = SelectedCategory();
  bool selected = index >= 0;
  CategoryEntries[1]->SetEnabled(selected);
  CategoryEntries[2]->SetEnabled(selected);
  CategoryEntries[3]->SetEnabled(selected);
  CategoryEntries[3]->SetDown(selected && FBarManager->GetCategoryVisible(index));
  CategoryItemsVisible->SetEnabled(selected);
  if (selected) CategoryItemsVisible->SetItemIndex(int(FBarManager->GetCategoryItemsVisible(index)));
  CategoryEntries[4]->SetEnabled(selected && FBarManager->Categories()->Count() >= 2);
}

void TkxBarCustomizingForm::CommandsAddClick(TObject*) {
  TkxBarItem* item = kxBarShowAddItemDialog(FBarManager, SelectedCategory());
  if (!item) return;
  SelectItem(item, true);
  RefreshAllCommands();
  if (FCommands->CanFocus()) FCommands->SetFocus();
}

void TkxBarCustomizingForm::CommandsDeleteClick(TObject*) {
  int row = FCommands->ItemIndex();
  TkxBarItem* item = FCommands->Item(row);
  if (!item) return;
  FDeleting = true;
  try {
    item->Free();
  } catch (...) {
    FDeleting = false;
    RefreshCommands();
    throw;
  }
  FDeleting = false;
  // The list was read again when the item went; the same place stays selected.
  int count = FCommands->Items()->Count();
  FCommands->SetItemIndex(row < count ? row : count - 1);
  LCommandsClick(nullptr);
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::CommandsClearClick(TObject*) {
  int index = SelectedCategory();
  if (index < 0 || FCommands->Items()->Count() == 0) return;
  if (!ConfirmWithName(kClearCategoryText, FBarManager->Categories()->Get(index))) return;
  std::vector<TkxBarItem*> items;
  for (int i = 0; i < FCommands->Items()->Count(); ++i) items.push_back(FCommands->Item(i));
  FDeleting = true;
  try {
    for (TkxBarItem* item : items) item->Free();
  } catch (...) {
    FDeleting = false;
    RefreshCommands();
    throw;
  }
  FDeleting = false;
  FBarManager->DesignerModified();
  RefreshCommands();
}

void TkxBarCustomizingForm::CommandsMoveUpClick(TObject*) { MoveCommand(-1); }
void TkxBarCustomizingForm::CommandsMoveDownClick(TObject*) { MoveCommand(1); }

void TkxBarCustomizingForm::CommandsSubMenuEditorClick(TObject*) {
  if (auto* sub = dynamic_cast<TCustomkxBarSubItem*>(SelectedCommand())) kxBarShowSubMenuEditor(sub->ItemLinks());
}

void TkxBarCustomizingForm::CommandsPopupMenuPopup(TObject*) {
  int row = FCommands->ItemIndex(), count = FCommands->Items()->Count();
  CommandEntries[1]->SetEnabled(row >= 0);
  CommandEntries[2]->SetEnabled(count > 0);
  CommandEntries[3]->SetEnabled(row > 0);
  CommandEntries[4]->SetEnabled(row >= 0 && row < count - 1);
  CommandEntries[5]->SetEnabled(row >= 0 && dynamic_cast<TCustomkxBarSubItem*>(FCommands->Item(row)) != nullptr);
}

// ---------------------------------------------------------------------------
// the drop-down buttons of the design-time menus

TCheckableButton::TCheckableButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() - TControlStyle{csCaptureMouse});
}

void TCheckableButton::SetDown(bool Value) {
  if (Value == FDown) return;
  FDown = Value;
  Invalidate();
}

void TCheckableButton::PlaceAfter(TControl* Label) {
  int right = Left() + Width();
  int left = Label->Left() + Label->Width() + 5;
  SetBounds(left, Top(), std::max(0, right - left), Height());
}

void TCheckableButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  RECT rr{r.left, r.top, r.right, r.bottom};
  TCustomForm* form = GetParentForm(this);
  if (FDown) DrawEdge(c->Handle(), &rr, EDGE_SUNKEN, BF_RECT);
  else if (FMouseIn && form && form->Active()) DrawEdge(c->Handle(), &rr, BDR_RAISEDINNER, BF_RECT);
  c->Font()->Assign(Font());
  c->Font()->SetColor(clBtnText);
  c->Brush()->SetStyle(bsClear);
  AnsiString text = Caption();
  int w = c->TextWidth(text), h = c->TextHeight(text);
  int shift = FDown ? 1 : 0;
  c->TextOut(r.left + (r.Width() - w) / 2 + shift, r.top + (r.Height() - h) / 2 + shift, text);
  c->Brush()->SetStyle(bsSolid);
}

void TCheckableButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  if (FSwallowPress) {
    FSwallowPress = false;
    return;
  }
  SetDown(true);
  if (FMenu) {
    TPoint p = ClientToScreen(TPoint{0, Height()});
    TRect owner{p.x, p.y - Height(), p.x + Width(), p.y};
    FMenu->PopupEx(p.x, p.y, &owner, true, Height(), 0);
    // A press on the button that closed the menu only closes it.
    POINT cursor;
    GetCursorPos(&cursor);
    TPoint local = ScreenToClient(TPoint{cursor.x, cursor.y});
    FSwallowPress = kxBarIsLeftButtonDown() && local.x >= 0 && local.y >= 0 && local.x < Width() && local.y < Height();
  }
  SetDown(false);
}

void TCheckableButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  FMouseIn = true;
  Invalidate();
}

void TCheckableButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  FMouseIn = false;
  Invalidate();
}

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
  // name a group that is being freed, so its pointer is only compared, never
  // converted (a conversion reads the freed object).
  int index = lbGroups->ItemIndex();
  if (index < 0 || index >= lbGroups->Items()->Count()) return nullptr;
  TObject* row = lbGroups->Items()->Objects(index);
  for (int i = 0; row && i < FBarManager->GroupCount(); ++i)
    if (static_cast<TObject*>(FBarManager->GetGroup(i)) == row) return FBarManager->GetGroup(i);
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
