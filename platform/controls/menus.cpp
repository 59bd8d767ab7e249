// Menu items, menus and shortcuts.
#include "platform/controls/menus.h"
#include <algorithm>
#include "platform/classes/typinfo.h"
#include "platform/controls/forms.h"
#include "platform/controls/imglist.h"
#include "platform/rtl/strings.h"

// ---------------------------------------------------------------------------
// shortcuts

namespace {
struct KeyName {
  Word Key;
  const char* Name;
};
// Names of the keys that are not letters or digits.
const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
    {VK_PAUSE, "Pause"}, {VK_MULTIPLY, "Num *"}, {VK_ADD, "Num +"}, {VK_SUBTRACT, "Num -"},
    {VK_DECIMAL, "Num ."}, {VK_DIVIDE, "Num /"}, {VK_OEM_PLUS, "="}, {VK_OEM_MINUS, "-"},
    {VK_OEM_COMMA, ","}, {VK_OEM_PERIOD, "."}, {VK_OEM_1, ";"}, {VK_OEM_2, "/"}, {VK_OEM_3, "`"},
    {VK_OEM_4, "["}, {VK_OEM_5, "\\"}, {VK_OEM_6, "]"}, {VK_OEM_7, "'"},
};

AnsiString KeyToText(Word Key) {
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return AnsiString(1, char(Key));
  if (Key >= VK_F1 && Key <= VK_F12) return "F" + IntToStr(Key - VK_F1 + 1);
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return "Num " + IntToStr(Key - VK_NUMPAD0);
  for (const auto& k : kKeyNames)
    if (k.Key == Key) return k.Name;
  return "";
}
}  // namespace

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if (Key & 0xFF00) return 0;
  TShortCut s = Key;
  if (Shift.Contains(ssShift)) s |= scShift;
  if (Shift.Contains(ssCtrl)) s |= scCtrl;
  if (Shift.Contains(ssAlt)) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut SC, Word& Key, TShiftState& Shift) {
  Key = SC & 0xFF;
  Shift.Clear();
  if (SC & scShift) Shift << ssShift;
  if (SC & scCtrl) Shift << ssCtrl;
  if (SC & scAlt) Shift << ssAlt;
}

AnsiString ShortCutToText(TShortCut SC) {
  AnsiString name = KeyToText(SC & 0xFF);
  if (name.empty()) return "";
  AnsiString s;
  if (SC & scShift) s += "Shift+";
  if (SC & scCtrl) s += "Ctrl+";
  if (SC & scAlt) s += "Alt+";
  return s + name;
}

TShortCut TextToShortCut(const AnsiString& Text) {
  // Spaces around '+' do not matter ("Ctrl + S").
  AnsiString t;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == ' ') {
      std::size_t j = i;
      while (j < Text.size() && Text[j] == ' ') ++j;
      bool nearPlus = (!t.empty() && t.back() == '+') || (j < Text.size() && Text[j] == '+');
      if (!nearPlus) t.append(j - i, ' ');
      i = j - 1;
      continue;
    }
    t += Text[i];
  }
  t = Trim(t);
  TShortCut mods = 0;
  for (;;) {
    struct Prefix {
      const char* Name;
      TShortCut Mod;
    };
    static const Prefix prefixes[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};
    bool found = false;
    for (const auto& p : prefixes) {
      std::size_t n = std::strlen(p.Name);
      if (t.size() > n && SameText(t.substr(0, n), p.Name)) {
        mods |= p.Mod;
        t = TrimLeft(t.substr(n));
        found = true;
      }
    }
    if (!found) break;
  }
  if (t.empty()) return 0;
  for (int key = 1; key < 256; ++key) {
    AnsiString name = KeyToText(Word(key));
    if (!name.empty() && SameText(name, t)) return TShortCut(mods | key);
  }
  return 0;
}

TShortCut ShortCutFromMessage(const TWMKey& Message) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
  if ((Message.KeyData() & 0x20000000) || GetKeyState(VK_MENU) < 0) s << ssAlt;
  return ShortCut(Message.CharCode(), s);
}

AnsiString StripHotkey(const AnsiString& Text) {
  AnsiString r;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(Text[i]);
    if (IsDBCSLeadByte(c) && i + 1 < Text.size()) {
      r += Text[i];
      r += Text[++i];
      continue;
    }
    if (c == cHotkeyPrefix) {
      if (i + 1 < Text.size() && Text[i + 1] == cHotkeyPrefix) {
        r += cHotkeyPrefix;
        ++i;
      }
      continue;
    }
    r += Text[i];
  }
  return r;
}

char GetHotkey(const AnsiString& Text) {
  for (std::size_t i = 0; i < Text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(Text[i]);
    if (IsDBCSLeadByte(c)) {
      ++i;
      continue;
    }
    if (c == cHotkeyPrefix && i + 1 < Text.size()) {
      if (Text[i + 1] == cHotkeyPrefix) {
        ++i;
        continue;
      }
      unsigned char n = static_cast<unsigned char>(Text[i + 1]);
      if (IsDBCSLeadByte(n)) return 0;
      return char(std::toupper(n));
    }
  }
  return 0;
}

bool IsAccel(Word Key, const AnsiString& Caption) {
  char h = GetHotkey(Caption);
  return h != 0 && std::toupper(Key & 0xFF) == static_cast<unsigned char>(h);
}

// ---------------------------------------------------------------------------
// menu action link

TMenuActionLink::TMenuActionLink(TObject* AClient) : TActionLink(AClient), FClient(dynamic_cast<TMenuItem*>(AClient)) {}

namespace {
TCustomAction* CA(TBasicAction* a) { return dynamic_cast<TCustomAction*>(a); }
}  // namespace

bool TMenuActionLink::IsCaptionLinked() { return TActionLink::IsCaptionLinked() && CA(FAction) && FClient->Caption() == CA(FAction)->Caption(); }
bool TMenuActionLink::IsCheckedLinked() { return TActionLink::IsCheckedLinked() && CA(FAction) && FClient->Checked() == CA(FAction)->Checked(); }
bool TMenuActionLink::IsEnabledLinked() { return TActionLink::IsEnabledLinked() && CA(FAction) && FClient->Enabled() == CA(FAction)->Enabled(); }
bool TMenuActionLink::IsHintLinked() { return TActionLink::IsHintLinked() && CA(FAction) && FClient->Hint() == CA(FAction)->Hint(); }
bool TMenuActionLink::IsImageIndexLinked() { return TActionLink::IsImageIndexLinked() && CA(FAction) && FClient->ImageIndex() == CA(FAction)->ImageIndex(); }
bool TMenuActionLink::IsShortCutLinked() { return TActionLink::IsShortCutLinked() && CA(FAction) && FClient->ShortCut() == CA(FAction)->ShortCut(); }
bool TMenuActionLink::IsVisibleLinked() { return TActionLink::IsVisibleLinked() && CA(FAction) && FClient->Visible() == CA(FAction)->Visible(); }
bool TMenuActionLink::IsGroupIndexLinked() { return TActionLink::IsGroupIndexLinked() && CA(FAction) && FClient->GroupIndex() == CA(FAction)->GroupIndex(); }
bool TMenuActionLink::IsOnExecuteLinked() { return TActionLink::IsOnExecuteLinked() && FAction && FClient->OnClick == FAction->OnExecute; }
void TMenuActionLink::SetCaption(const AnsiString& V) { if (IsCaptionLinked()) FClient->SetCaption(V); }
void TMenuActionLink::SetChecked(bool V) { if (IsCheckedLinked()) FClient->SetChecked(V); }
void TMenuActionLink::SetEnabled(bool V) { if (IsEnabledLinked()) FClient->SetEnabled(V); }
void TMenuActionLink::SetHint(const AnsiString& V) { if (IsHintLinked()) FClient->SetHint(V); }
void TMenuActionLink::SetImageIndex(int V) { if (IsImageIndexLinked()) FClient->SetImageIndex(V); }
void TMenuActionLink::SetShortCut(TShortCut V) { if (IsShortCutLinked()) FClient->SetShortCut(V); }
void TMenuActionLink::SetVisible(bool V) { if (IsVisibleLinked()) FClient->SetVisible(V); }
void TMenuActionLink::SetGroupIndex(int V) { if (IsGroupIndexLinked()) FClient->SetGroupIndex(V); }
void TMenuActionLink::SetOnExecute(const TNotifyEvent& V) { if (IsOnExecuteLinked()) FClient->OnClick = V; }

// ---------------------------------------------------------------------------
// TMenuItem

namespace {
UINT gNextCommand = 1;
std::vector<UINT>& FreeCommands() {
  static std::vector<UINT> v;
  return v;
}
UINT AllocCommand() {
  if (!FreeCommands().empty()) {
    UINT c = FreeCommands().back();
    FreeCommands().pop_back();
    return c;
  }
  if (gNextCommand >= 0xF000) throw EOutOfResources("Too many menu items");
  return gNextCommand++;
}
}  // namespace

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocCommand()) {}

TMenuItem::~TMenuItem() {
  FActionLink.reset();
  // Children first (they may be owned elsewhere, but belong to this tree).
  while (!FItems.empty()) {
    TMenuItem* c = FItems.back();
    FItems.pop_back();
    c->FParent = nullptr;
    delete c;
  }
  if (FParent) FParent->Remove(this);
  if (FHandle && IsMenu(FHandle)) DestroyMenu(FHandle);
  FreeCommands().push_back(FCommand);
}

void TMenuItem::MenuChanged(bool Rebuild) {
  // The entry of this item lives in its parent's platform menu; its children's
  // entries in its own.
  if (FParent) FParent->RebuildHandle();
  RebuildHandle();
  TMenu* m = GetParentMenu();
  if (m) m->MenuChanged(this, this, Rebuild);
}

void TMenuItem::SetCaption(const AnsiString& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* s : FParent->FItems)
    if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex) {
      if (s->FActionLink) s->FActionLink->SetChecked(false);
      s->FChecked = false;
    }
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  MenuChanged(false);
}

void TMenuItem::SetDefault(bool Value) {
  if (Value == FDefault) return;
  if (Value && FParent)
    for (TMenuItem* s : FParent->FItems) s->FDefault = false;
  FDefault = Value;
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (Value == FRadioItem) return;
  FRadioItem = Value;
  if (FChecked && Value) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  MenuChanged(true);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (Value == FBreak) return;
  FBreak = Value;
  MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  Bitmap()->Assign(Value);
  MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
  if (FSubMenuImages) FSubMenuImages->RemoveFreeNotification(this);
  FSubMenuImages = Value;
  if (Value) Value->FreeNotification(this);
  MenuChanged(true);
}

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent(this, &TMenuItem::DoActionChange);
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
  if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || FCaption.empty()) SetCaption(a->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(a->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(a->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(a->ShortCut());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
  if (!CheckDefaults || FGroupIndex == 0) SetGroupIndex(a->GroupIndex());
  if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FSubMenuImages) FSubMenuImages = nullptr;
    if (FActionLink && AComponent == FActionLink->Action()) FActionLink.reset();
  }
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return FItems[std::size_t(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError("Menu inserted twice");
  for (TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  if (Item->FChecked && Item->FRadioItem) Item->TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Add(std::initializer_list<TMenuItem*> AItems) {
  for (TMenuItem* i : AItems) Add(i);
}

void TMenuItem::Delete(int Index) {
  TMenuItem* i = Items(Index);
  FItems.erase(FItems.begin() + Index);
  i->FParent = nullptr;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i < 0) throw EMenuError("Sub-menu is not in menu");
  Delete(i);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* c = FItems.back();
    FItems.pop_back();
    c->FParent = nullptr;
    delete c;
  }
  MenuChanged(true);
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const AnsiString& ACaption) const {
  AnsiString want = StripHotkey(ACaption);
  for (TMenuItem* i : FItems)
    if (AnsiSameText(StripHotkey(i->FCaption), want)) return i;
  return nullptr;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* p = FParent;
  int cur = MenuIndex();
  if (Value < 0) Value = 0;
  if (Value >= p->Count()) Value = p->Count() - 1;
  if (Value == cur) return;
  p->FItems.erase(p->FItems.begin() + cur);
  p->FItems.insert(p->FItems.begin() + Value, this);
  MenuChanged(true);
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->FParent) i = i->FParent;
  return i->FMenu;
}

HMENU TMenuItem::Handle() {
  // The window manager frees a window's menu bar with the window: a handle
  // that is no longer valid is built again.
  if (FHandle && IsMenu(FHandle)) return FHandle;
  FHandle = FMenu && dynamic_cast<TMainMenu*>(FMenu) ? CreateMenu() : CreatePopupMenu();
  Populate();
  return FHandle;
}

void TMenuItem::RebuildHandle() {
  if (FHandle && IsMenu(FHandle)) Populate();
}

void TMenuItem::Populate() {
  // Entries are removed, not deleted: the submenus belong to the child items.
  while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
  for (TMenuItem* i : FItems)
    if (i->FVisible) i->AppendTo(FHandle);
}

// The image list an item's pictures come from: its parent item's SubMenuImages,
// else the menu's Images.
TCustomImageList* TMenuItem::ImageList() const {
  for (const TMenuItem* p = FParent; p; p = p->FParent)
    if (p->FSubMenuImages) return p->FSubMenuImages;
  TMenu* m = GetParentMenu();
  return m ? m->Images() : nullptr;
}

// Items with pictures are drawn by the class library too, like owner-drawn ones.
bool TMenuItem::IsOwnerDraw() const {
  TMenu* m = GetParentMenu();
  if (!m || !(m->OwnerDraw() || ImageList()) || IsLine()) return false;
  // the titles of a menu bar are drawn by the window manager
  return !(FParent && FParent->FMenu && dynamic_cast<TMainMenu*>(FParent->FMenu));
}

void TMenuItem::AppendTo(HMENU Menu) {
  MENUITEMINFOA mi;
  mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU;
  mi.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
  if (FRadioItem) mi.fType |= MFT_RADIOCHECK;
  if (FBreak == mbBreak) mi.fType |= MFT_MENUBREAK;
  if (FBreak == mbBarBreak) mi.fType |= MFT_MENUBARBREAK;
  if (IsOwnerDraw()) mi.fType |= MFT_OWNERDRAW;
  mi.fState = (FChecked ? MFS_CHECKED : 0) | (FEnabled ? 0 : MFS_GRAYED) | (FDefault ? MFS_DEFAULT : 0);
  mi.wID = FCommand;
  mi.hSubMenu = FItems.empty() ? nullptr : Handle();
  mi.dwItemData = reinterpret_cast<ULONG_PTR>(this);
  AnsiString text = FCaption;
  if (FShortCut && !IsLine()) text += "\t" + ShortCutToText(FShortCut);
  mi.dwTypeData = text.data();
  InsertMenuItemA(Menu, UINT(GetMenuItemCount(Menu)), TRUE, &mi);
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck && !(FActionLink && FActionLink->Action() && CA(FActionLink->Action()) && CA(FActionLink->Action())->AutoCheck()))
    SetChecked(!FChecked);
  if (OnClick && FActionLink && FActionLink->Action() && !(OnClick == FActionLink->Action()->OnExecute))
    OnClick(this);
  else if (FActionLink && FActionLink->Action())
    FActionLink->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const TRect& ARect, bool Selected) {
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, Selected);
    return;
  }
  ACanvas->Brush()->SetColor(Selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  // the picture (or the check mark) in the left column
  TCustomImageList* images = ImageList();
  int column = std::max(20, images ? images->Width() + 6 : 0);
  if (images && FImageIndex >= 0 && FImageIndex < images->Count()) {
    int y = ARect.top + (ARect.bottom - ARect.top - images->Height()) / 2;
    images->Draw(ACanvas, ARect.left + (column - images->Width()) / 2, y, FImageIndex, FEnabled);
  } else if (FChecked) {
    ACanvas->Font()->SetColor(Selected ? clHighlightText : clMenuText);
    ACanvas->Brush()->SetStyle(bsClear);
    TRect mark(ARect.left, ARect.top, ARect.left + column, ARect.bottom);
    ACanvas->TextRect(mark, FRadioItem ? "\xA1\xF1" : "\xA1\xCC", DT_CENTER | DT_VCENTER | DT_SINGLELINE);  // ● or √
  }
  // the caption with its "&" letter underlined, the shortcut at the right
  TRect r = ARect;
  r.left += column + 2;
  r.right -= 8;
  ACanvas->Brush()->SetStyle(bsClear);
  auto text = [&](TColor colour, int dx, int dy) {
    ACanvas->Font()->SetColor(colour);
    TRect t(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy);
    ACanvas->TextRect(t, FCaption, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (FShortCut) ACanvas->TextRect(t, ShortCutToText(FShortCut), DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  };
  if (FEnabled) {
    text(Selected ? clHighlightText : clMenuText, 0, 0);
  } else if (Selected) {
    text(clGrayText, 0, 0);
  } else {
    text(clBtnHighlight, 1, 1);  // embossed, like a disabled item of the window manager
    text(clBtnShadow, 0, 0);
  }
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  if (OnMeasureItem) {
    OnMeasureItem(this, ACanvas, Width, Height);
    return;
  }
  TSize sz = ACanvas->TextExtent(StripHotkey(FCaption));
  TCustomImageList* images = ImageList();
  int column = std::max(20, images ? images->Width() + 6 : 0);
  Width = column + sz.cx + 20;
  if (FShortCut) Width += ACanvas->TextWidth(ShortCutToText(FShortCut)) + 16;
  Height = std::max<int>({sz.cy + 4, 18, images ? images->Height() + 4 : 0});
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* m = dynamic_cast<TMenu*>(Value)) m->Items()->Add(this);
  else if (auto* i = dynamic_cast<TMenuItem*>(Value)) i->Add(this);
}

void TMenuItem::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TMenuItem* i : FItems) Proc(i);
}

void TMenuItem::SetChildOrder(TComponent* Child, int Order) {
  if (auto* i = dynamic_cast<TMenuItem*>(Child)) i->SetMenuIndex(Order);
}

// ---------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {
  FItems->FMenu = this;
}

namespace {
// Whether the bar of window W may still be changed: not while its form is
// being destroyed (the window takes its menu with it).
bool BarChangeable(HWND W) {
  if (!W || !IsWindow(W)) return false;
  TWinControl* c = FindControl(W);
  return !(c && c->ComponentState().Contains(csDestroying));
}
}  // namespace

TMenu::~TMenu() {
  // a menu bar that goes away leaves its window without one
  if (BarChangeable(FWindowHandle) && FItems->FHandle && GetMenu(FWindowHandle) == FItems->FHandle)
    ::SetMenu(FWindowHandle, nullptr);
  delete FItems;
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
}

HMENU TMenu::Handle() { return FItems->Handle(); }

void TMenu::SetOwnerDraw(bool Value) {
  if (Value == FOwnerDraw) return;
  FOwnerDraw = Value;
  // every entry changes its type
  std::function<void(TMenuItem*)> rebuild = [&](TMenuItem* item) {
    item->RebuildHandle();
    for (TMenuItem* i : item->FItems) rebuild(i);
  };
  rebuild(FItems);
  MenuChanged(this, nullptr, true);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (OnChange) OnChange(Sender, Source, Rebuild);
}

TMenuItem* TMenu::FindItem(std::uintptr_t Value, TFindItemKind Kind) const {
  std::function<TMenuItem*(TMenuItem*)> walk = [&](TMenuItem* item) -> TMenuItem* {
    for (TMenuItem* i : item->FItems) {
      bool hit = false;
      switch (Kind) {
        case fkCommand: hit = i->FCommand == Value; break;
        case fkHandle: hit = i->FHandle && reinterpret_cast<std::uintptr_t>(i->FHandle) == Value; break;
        case fkShortCut: hit = i->FShortCut == Value && Value != 0; break;
      }
      if (hit) return i;
      if (TMenuItem* r = walk(i)) return r;
    }
    return nullptr;
  };
  return walk(FItems);
}

bool TMenu::IsShortCut(TWMKey& Message) {
  TShortCut sc = ShortCutFromMessage(Message);
  if (sc == 0 || (sc & 0xFF) == 0) return false;
  // Bring actions and item states up to date before deciding.
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
    for (TMenuItem* i : item->FItems) {
      i->InitiateAction();
      if (i->FShortCut == sc && i->FVisible) return i;
      if (i->FVisible && i->FEnabled)
        if (TMenuItem* r = find(i)) return r;
    }
    return nullptr;
  };
  TMenuItem* item = find(FItems);
  if (!item) return false;
  // Parent submenus are opened first, so their OnClick runs as when the user
  // walks to the item.
  std::vector<TMenuItem*> chain;
  for (TMenuItem* p = item->FParent; p && p != FItems; p = p->FParent) chain.insert(chain.begin(), p);
  for (TMenuItem* p : chain) {
    if (!p->FEnabled) return false;
    if (p->OnClick) p->OnClick(p);
  }
  if (!item->FEnabled) return false;  // a disabled item leaves the key to the control
  item->Click();
  return true;
}

bool TMenu::DispatchCommand(WORD Command) {
  TMenuItem* i = FindItem(Command, fkCommand);
  if (!i) return false;
  i->Click();
  return true;
}

bool TMenu::DispatchPopup(HMENU AMenu) {
  TMenuItem* i = FindItem(reinterpret_cast<std::uintptr_t>(AMenu), fkHandle);
  if (!i) return false;
  i->Click();
  return true;
}

namespace {
// A canvas on a device context that it does not own.
struct TBorrowedCanvas {
  TCanvas Canvas;
  explicit TBorrowedCanvas(HDC DC) {
    Canvas.SetHandle(DC);
    if (Screen) Canvas.SetFont(Screen->MenuFont());
  }
  ~TBorrowedCanvas() { Canvas.SetHandle(nullptr); }
};
}  // namespace

bool TMenu::DispatchMenuMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_COMMAND:
      if (Message.LParam != 0 || HIWORD(Message.WParam) > 1) return false;
      return DispatchCommand(LOWORD(Message.WParam));
    case WM_INITMENUPOPUP:
      return DispatchPopup(reinterpret_cast<HMENU>(Message.WParam));
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      if (!mis || mis->CtlType != ODT_MENU) return false;
      TMenuItem* item = FindItem(mis->itemID, fkCommand);
      if (!item) return false;
      HDC dc = GetDC(nullptr);
      int width = int(mis->itemWidth), height = int(mis->itemHeight);
      {
        TBorrowedCanvas c(dc);
        item->MeasureItem(&c.Canvas, width, height);
      }
      ReleaseDC(nullptr, dc);
      mis->itemWidth = UINT(std::max(0, width));
      mis->itemHeight = UINT(std::max(0, height));
      Message.Result = 1;
      return true;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      if (!dis || dis->CtlType != ODT_MENU) return false;
      TMenuItem* item = FindItem(dis->itemID, fkCommand);
      if (!item) return false;
      int saved = SaveDC(dis->hDC);
      {
        TBorrowedCanvas c(dis->hDC);
        item->DrawItem(&c.Canvas, dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
      }
      RestoreDC(dis->hDC, saved);
      Message.Result = 1;
      return true;
    }
    default: return false;
  }
}

void TMenu::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TMenuItem* i : FItems->FItems) Proc(i);
}

void TMenu::SetChildOrder(TComponent* Child, int Order) {
  if (auto* i = dynamic_cast<TMenuItem*>(Child)) i->SetMenuIndex(Order);
}

// ---------------------------------------------------------------------------
// TMainMenu

void TMainMenu::SetWindowHandle(HWND Value) {
  HWND old = WindowHandle();
  HMENU bar = Items()->FHandle;
  if (old != Value && BarChangeable(old) && bar && GetMenu(old) == bar) ::SetMenu(old, nullptr);
  TMenu::SetWindowHandle(Value);
  if (Value && IsWindow(Value) && !(GetWindowLongA(Value, GWL_STYLE) & WS_CHILD)) {
    HMENU h = Handle();
    if (GetMenu(Value) != h) ::SetMenu(Value, h);
  }
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  TMenu::MenuChanged(Sender, Source, Rebuild);
  HWND w = WindowHandle();
  if (w && IsWindow(w) && Items()->FHandle && GetMenu(w) == Items()->FHandle) ::DrawMenuBar(w);
  if (WindowHandle()) {
    if (TWinControl* w = FindControl(WindowHandle())) w->Perform(CM_MENUCHANGED, 0, 0);
  }
}

void TMainMenu::Merge(TMainMenu* Menu) {
  Unmerge(nullptr);
  if (!Menu || Menu == this) return;
  // Items of the merged menu replace items of the same group index, and are
  // inserted in group order otherwise.
  for (int k = 0; k < Menu->Items()->Count(); ++k) {
    TMenuItem* src = Menu->Items()->Items(k);
    for (TMenuItem* own : std::vector<TMenuItem*>(Items()->FItems))
      if (own->GroupIndex() == src->GroupIndex() && own->Visible()) {
        own->FVisible = false;
        FMerged.push_back(own);
      }
  }
  FMergedFrom = Menu;
  Items()->RebuildHandle();
  MenuChanged(this, nullptr, true);
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
  if (Menu && Menu != FMergedFrom) return;
  for (TMenuItem* i : FMerged) i->FVisible = true;
  FMerged.clear();
  FMergedFrom = nullptr;
  Items()->RebuildHandle();
  MenuChanged(this, nullptr, true);
}

// ---------------------------------------------------------------------------
// TPopupMenu

namespace {
// The pop-up menu being shown: its window messages come to the pop-up list
// window, the owner of every pop-up menu of the class library.
TPopupMenu* gShown = nullptr;

LRESULT PopupListProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (gShown) {
    TMessage m;
    m.Msg = msg;
    m.WParam = wp;
    m.LParam = lp;
    if (gShown->DispatchMenuMessage(m)) return m.Result;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

HWND PopupListWindow() {
  static HWND window = nullptr;
  if (window && IsWindow(window)) return window;
  WNDCLASSEXA wc;
  if (!GetClassInfoExA(nullptr, "TPopupList", &wc)) {
    wc = WNDCLASSEXA();
    wc.lpfnWndProc = PopupListProc;
    wc.lpszClassName = "TPopupList";
    RegisterClassExA(&wc);
  }
  window = CreateWindowExA(WS_EX_TOOLWINDOW, "TPopupList", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  return window;
}
}  // namespace

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
TPopupMenu::~TPopupMenu() {
  if (gShown == this) gShown = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
  FPopupPoint = {X, Y};
  DoPopup(this);
  // Items linked to actions show their current state.
  std::function<void(TMenuItem*)> update = [&](TMenuItem* item) {
    for (int i = 0; i < item->Count(); ++i) {
      item->Items(i)->InitiateAction();
      update(item->Items(i));
    }
  };
  update(Items());
  UINT flags = TPM_RETURNCMD | (FTrackButton == tbLeftButton ? TPM_LEFTBUTTON : TPM_RIGHTBUTTON);
  if (FAlignment == paRight) flags |= TPM_RIGHTALIGN;
  else if (FAlignment == paCenter) flags |= TPM_CENTERALIGN;
  HMENU menu = Handle();
  HWND owner = PopupListWindow();
  UINT command;
  {
    struct Shown {  // restored even when a handler throws
      TPopupMenu* saved = gShown;
      ~Shown() { gShown = saved; }
    } shown;
    gShown = this;
    command = UINT(TrackPopupMenuEx(menu, flags, X, Y, owner, nullptr));
  }
  if (OnClose) OnClose(this);
  // The chosen item runs once the menu has closed.
  if (command) DispatchCommand(WORD(command));
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

// ---------------------------------------------------------------------------
// builders

TMenuItem* NewItem(const AnsiString& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   TNotifyEvent AOnClick, int hCtx, const AnsiString& AName) {
  auto* i = new TMenuItem(nullptr);
  i->SetName(AName);
  i->SetCaption(ACaption);
  i->SetShortCut(AShortCut);
  i->SetChecked(AChecked);
  i->SetEnabled(AEnabled);
  i->OnClick = AOnClick;
  i->SetHelpContext(hCtx);
  return i;
}

TMenuItem* NewLine() {
  auto* i = new TMenuItem(nullptr);
  i->SetCaption(cLineCaption);
  return i;
}

TMenuItem* NewSubMenu(const AnsiString& ACaption, int hCtx, const AnsiString& AName,
                      std::initializer_list<TMenuItem*> Items, bool AEnabled) {
  auto* i = new TMenuItem(nullptr);
  i->SetName(AName);
  i->SetCaption(ACaption);
  i->SetHelpContext(hCtx);
  i->SetEnabled(AEnabled);
  i->Add(Items);
  return i;
}

TMainMenu* NewMenu(TComponent* Owner, const AnsiString& AName, std::initializer_list<TMenuItem*> Items) {
  auto* m = new TMainMenu(Owner);
  m->SetName(AName);
  m->Items()->Add(Items);
  return m;
}

TPopupMenu* NewPopupMenu(TComponent* Owner, const AnsiString& AName, TPopupAlignment Alignment, bool AutoPopup,
                         std::initializer_list<TMenuItem*> Items) {
  auto* m = new TPopupMenu(Owner);
  m->SetName(AName);
  m->SetAlignment(Alignment);
  m->SetAutoPopup(AutoPopup);
  m->Items()->Add(Items);
  return m;
}

// ---------------------------------------------------------------------------
// registration

void InitMenusProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TMenuItem::StaticClass(), TMenu::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass()});
  RegisterProps<TMenuItem>([](TPropBuilder<TMenuItem>& p) {
    p.Prop("Action", &TMenuItem::Action, &TMenuItem::SetAction);
    p.Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
    p.Prop("Bitmap", [](TMenuItem* i) { return i->Bitmap(); }).Stored([](TObject* o) {
      auto* i = static_cast<TMenuItem*>(o);
      return !i->Bitmap()->Empty();
    });
    p.Prop("Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone);
    p.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    p.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    p.Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    p.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    p.Prop("GroupIndex", [](TMenuItem* i) { return Byte(i->GroupIndex()); }, [](TMenuItem* i, Byte v) { i->SetGroupIndex(v); }).Default(0);
    p.Prop("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext).Default(0);
    p.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    p.Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
    p.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    p.Prop("ShortCut", [](TMenuItem* i) { return int(i->ShortCut()); }, [](TMenuItem* i, int v) { i->SetShortCut(TShortCut(v)); }).Default(0);
    p.Prop("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
    p.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    p.Prop("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick);
    p.Prop("OnDrawItem", &TMenuItem::OnDrawItem, &TMenuItem::OnDrawItem);
    p.Prop("OnMeasureItem", &TMenuItem::OnMeasureItem, &TMenuItem::OnMeasureItem);
  });
  RegisterProps<TMenu>([](TPropBuilder<TMenu>& p) {
    p.Prop("Images", &TMenu::Images, &TMenu::SetImages);
    p.Prop("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).Default(false);
    p.Prop("OnChange", &TMenu::OnChange, &TMenu::OnChange);
  });
  RegisterProps<TMainMenu>([](TPropBuilder<TMainMenu>& p) {
    p.Prop("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge).Default(false);
  });
  RegisterProps<TPopupMenu>([](TPropBuilder<TPopupMenu>& p) {
    p.Prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
    p.Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    p.Prop("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton);
    p.Prop("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup);
    p.Prop("OnClose", &TPopupMenu::OnClose, &TPopupMenu::OnClose);
  });
}
