// The item controls of the core kinds: window controls hosting a platform
// edit window, edit and combo controls, buttons, sub items and containers.
#include <algorithm>
#include <map>

#include "bars/kxbarhooks.h"
#include "bars/kxbaritems.h"
#include "bars/kxbarpopup.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {

std::map<HWND, TkxBarWinControl*>& WinControls() {
  static std::map<HWND, TkxBarWinControl*> m;
  return m;
}

// The one pending delayed opening or closing of a sub menu.
struct TPendingSubItem {
  TuxObjectLink* Control = nullptr;
  UINT_PTR Timer = 0;
  bool Open = true;
};
TPendingSubItem& Pending() {
  static TPendingSubItem p;
  return p;
}

void RemovePendingCharacters(HWND Wnd) {
  MSG m;
  while (PeekMessageA(&m, Wnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
  }
}

}  // namespace

// ===========================================================================
// TkxBarWinControl

TkxBarWinControl::TkxBarWinControl(TkxBarItemLink* ALink) : TkxBarItemControl(ALink) {
  FHasWindow = true;
  auto* t = dynamic_cast<TkxBarControl*>(FParent);
  if (!(t && t->DragMode())) CreateWindowHook();
}

TkxBarWinControl::~TkxBarWinControl() { DestroyEditWindow(); }

TkxBarWindowItem* TkxBarWinControl::WindowItem() const { return dynamic_cast<TkxBarWindowItem*>(Item()); }

void TkxBarWinControl::CreateWindowHook() {
  if (!FWindow) return;
  FPrevWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FWindow, GWL_WNDPROC));
  WinControls()[FWindow] = this;
  SetWindowLongPtrA(FWindow, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TkxBarWinControl::SubclassProc));
}

LRESULT TkxBarWinControl::SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto it = WinControls().find(Wnd);
  if (it == WinControls().end()) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  it->second->WndProc(m);
  return m.Result;
}

LRESULT TkxBarWinControl::CallPrevious(TMessage& Message) {
  if (!FWindow || !FPrevWndProc) return 0;
  Message.Result = CallWindowProcA(FPrevWndProc, FWindow, Message.Msg, Message.WParam, Message.LParam);
  return Message.Result;
}

void TkxBarWinControl::DestroyEditWindow() {
  if (!FWindow) return;
  SetFocused(false);
  HWND w = FWindow;
  if (IsWindow(w) && FPrevWndProc) SetWindowLongPtrA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(FPrevWndProc));
  WinControls().erase(w);
  FWindow = nullptr;
  if (IsWindow(w)) DestroyWindow(w);
}

AnsiString TkxBarWinControl::GetWindowText() {
  if (!FWindow) return AnsiString();
  // the whole text: a fixed buffer could cut the text in the middle of a double-byte character
  int n = GetWindowTextLengthA(FWindow);
  if (n <= 0) return AnsiString();
  std::string buf(std::size_t(n) + 1, '\0');
  int got = ::GetWindowTextA(FWindow, buf.data(), n + 1);
  buf.resize(std::size_t(std::max(got, 0)));
  return buf;
}

void TkxBarWinControl::SetWindowText(const AnsiString& Text) {
  if (FWindow) ::SetWindowTextA(FWindow, Text.c_str());
  if (auto* combo = dynamic_cast<TCustomkxBarCombo*>(Item()))
    if (!combo->ShowEditor()) Repaint();
}

TRect TkxBarWinControl::GetRect() { return FWindowRect; }

void TkxBarWinControl::PlaceWindow(const TRect& R) {
  TRect old = FWindowRect;
  FWindowRect = R;
  if (!FWindow || !FShown || !IsWindowVisible(FWindow) || old == R) return;
  SetWindowPos(FWindow, nullptr, R.left, R.top, R.Width(), R.Height(), SWP_NOACTIVATE | SWP_NOZORDER);
}

void TkxBarWinControl::SetFocused(bool Show) {
  if (Show == FShown || !FWindow) return;
  TkxBarWindowItem* item = WindowItem();
  if (Show) {
    HWND focus = GetFocus();
    FPrevFocus = focus && IsWindowVisible(focus) ? focus : nullptr;
    if (!FPrevFocus)
      if (TkxBarManager* m = BarManager())
        if (m->OwnerForm() && m->OwnerForm()->HandleAllocated()) FPrevFocus = m->OwnerForm()->Handle();
    if (FParent) SendMessageA(FWindow, WM_SETFONT, reinterpret_cast<WPARAM>(FParent->Canvas()->Font()->Handle()), 0);
    if (!FActive) TkxBarItemControl::SetActive(true);
    FShown = true;
    TRect r = GetRect();
    SetWindowPos(FWindow, HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (dynamic_cast<TkxBarEditControl*>(this)) GetPainter()->PrepareEditWindow(this, FWindow);
    if (item) {
      FSettingText = true;
      SetWindowText(item->Text());
      FSettingText = false;
    }
    ::SetFocus(FWindow);
  } else {
    FShown = false;
    AnsiString text = GetWindowText();
    bool esc = GetKeyState(VK_ESCAPE) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
    ShowWindow(FWindow, SW_HIDE);
    if (GetFocus() == FWindow || GetFocus() == nullptr) {
      if (FPrevFocus && IsWindow(FPrevFocus) && IsWindowVisible(FPrevFocus)) ::SetFocus(FPrevFocus);
      else if (TkxBarManager* m = BarManager())
        if (m->OwnerForm() && m->OwnerForm()->HandleAllocated()) ::SetFocus(m->OwnerForm()->Handle());
    }
    TkxBarManager* m = BarManager();
    if (m && m->AlwaysSaveText() && !esc && item) item->SetText(text);
  }
}

void TkxBarWinControl::EnabledChanged() {
  SetFocused(false);
  TkxBarItemControl::EnabledChanged();
}

bool TkxBarWinControl::IsClickable() { return kxBarIsRotatedToolbar(FParent); }

void TkxBarWinControl::Deactivate(bool Flag) {
  TkxBarItemControl::Deactivate(Flag);
  SetFocused(false);
}

void TkxBarWinControl::Activate(bool Flag) { SetFocused(true); }

void TkxBarWinControl::WndProc(TMessage& Message) {
  TuxObjectLink* self = uxAddObjectLink(this);
  TkxBarWindowItem* item = WindowItem();
  struct TRemove {
    TuxObjectLink* L;
    ~TRemove() { uxRemoveObjectLink(L); }
  } remove{self};
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (item) item->Enter();
      break;
    case WM_KILLFOCUS:
      if (FShown) {
        CallPrevious(Message);
        if (!self->Ref) return;
        if (FParent) FParent->CloseChain();
        if (self->Ref && item) item->Exit();
        return;
      }
      if (item) item->Exit();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (item) {
        Word key = Word(Message.WParam);
        TShiftState shift = KeyDataToShiftState(Message.LParam);
        if (Message.Msg == WM_KEYDOWN) item->KeyDown(key, shift);
        else item->KeyUp(key, shift);
        if (!self->Ref) return;
        if (key == 0) return;
        Message.WParam = key;
      }
      break;
    case WM_CHAR:
      if (item) {
        char c = char(Message.WParam);
        item->KeyPress(c);
        if (!self->Ref) return;
        if (c == 0) return;
        Message.WParam = static_cast<unsigned char>(c);
      }
      break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP: {
      if (Message.Msg == WM_SYSKEYDOWN) ++FAltDepth;
      else if (FAltDepth > 0) --FAltDepth;
      bool altKey = Message.WParam == VK_MENU;
      bool altHeld = GetKeyState(VK_MENU) < 0;
      if ((altHeld && !(Message.Msg == WM_SYSKEYUP && altKey)) || (altKey && Message.Msg == WM_SYSKEYDOWN)) break;
      FAltDepth = 0;
      if (FParent) FParent->CloseChain();
      if (!self->Ref) return;
      bool shiftF10 = Message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0;
      if (!shiftF10 && kxBarProcessEditKey(Word(Message.WParam), Message.LParam, altKey)) return;
      if (!self->Ref) return;
      break;
    }
    case WM_RBUTTONDOWN:
      if (FParent && FParent->HandleAllocated()) {
        POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        MapWindowPoints(FWindow, FParent->Handle(), &p, 1);
        Message.Result = SendMessageA(FParent->Handle(), WM_RBUTTONDOWN, Message.WParam, MAKELPARAM(p.x, p.y));
        return;
      }
      break;
    default:
      break;
  }
  if (!self->Ref) return;
  if (Message.Msg == WM_KEYDOWN) {
    switch (Message.WParam) {
      case VK_TAB:
        RemovePendingCharacters(FWindow);
        if (FParent && FParent->HandleAllocated()) SendMessageA(FParent->Handle(), WM_KEYDOWN, VK_TAB, Message.LParam);
        return;
      case VK_RETURN:
      case VK_ESCAPE: {
        TCustomkxBarControl* parent = FParent;
        TkxBarControlRef parentRef = kxBarRef(parent);
        bool esc = Message.WParam == VK_ESCAPE;
        if (parent) parent->SelectItem(nullptr);
        if (self->Ref && FWindow) RemovePendingCharacters(FWindow);
        if (!kxBarIsBarControlAlive(parentRef)) return;
        if (esc) {
          if (self->Ref) parent->SetSelectedControl(this);
        } else {
          parent->CloseChain();
        }
        return;
      }
      default:
        break;
    }
  }
  if (Message.Msg >= 512 && Message.Msg <= 522 && FParent && GetCapture() != FWindow) {
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (FParent->HandleAllocated()) MapWindowPoints(FWindow, FParent->Handle(), &p, 1);
    TRect item = ItemRect();
    bool inItem = p.x >= item.left && p.x < item.right && p.y >= item.top && p.y < item.bottom;
    bool inWindow = p.x >= FWindowRect.left && p.x < FWindowRect.right && p.y >= FWindowRect.top &&
                    p.y < FWindowRect.bottom;
    if (inItem && !inWindow) return;
  }
  if (Message.Msg == WM_DESTROY) SetFocused(false);
  if (Message.Msg == WM_SYSKEYDOWN && Message.WParam == VK_MENU) return;
  HWND w = FWindow;
  WNDPROC prev = FPrevWndProc;
  if (w && prev) Message.Result = CallWindowProcA(prev, w, Message.Msg, Message.WParam, Message.LParam);
  if (Message.Msg == WM_DESTROY && self->Ref && FWindow == w) {
    if (IsWindow(w) && prev) SetWindowLongPtrA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(prev));
    WinControls().erase(w);
    FWindow = nullptr;
  }
}

// ===========================================================================
// TkxBarEditControl

TkxBarEditControl::TkxBarEditControl(TkxBarItemLink* ALink) : TkxBarWinControl(ALink) {
  auto* t = dynamic_cast<TkxBarControl*>(FParent);
  if (!(t && t->DragMode())) {
    // the window kind's constructor ran before this class existed: make the edit window now
    CreateWindowHook();
  }
}

TkxBarEdit* TkxBarEditControl::EditItem() const { return dynamic_cast<TkxBarEdit*>(Item()); }

void TkxBarEditControl::CreateWindowHook() {
  if (FWindow || !FParent || !FParent->HandleAllocated()) return;
  TkxBarEdit* item = EditItem();
  DWORD style = WS_CHILD | GetPainter()->GetEditStyle();
  FWindow = CreateWindowExA(0, "EDIT", "", style, 0, 0, 0, 0, FParent->Handle(), nullptr, nullptr, nullptr);
  if (!FWindow) return;
  if (item) {
    ::SetWindowTextA(FWindow, item->Text().c_str());
    SendMessageA(FWindow, EM_LIMITTEXT, WPARAM(item->MaxLength()), 0);
  }
  TkxBarWinControl::CreateWindowHook();
}

void TkxBarEditControl::WidthChanged() {
  if (FParent) FParent->Rebuild();
}

bool TkxBarEditControl::ShowsCaption() {
  TkxBarEdit* e = EditItem();
  return (FParent && FParent->IsMenuWindow()) || (e && e->ShowCaption());
}

int TkxBarEditControl::CaptionWidth() {
  if (!ShowsCaption() || !FParent || !FParent->HandleAllocated()) return 0;
  AnsiString text = kxBarStripAccelChars(GetCaption());
  SIZE s{};
  GetTextExtentPoint32A(FParent->FontDC(), text.c_str(), int(text.size()), &s);
  return GetPainter()->CalcEditWidth(this, s.cx);
}

void TkxBarEditControl::Activate(bool Flag) {
  TkxBarWinControl::Activate(Flag);
  if (FShown && FWindow) GetPainter()->SelectEditText(this, FWindow, false);
}

bool TkxBarEditControl::IsSelected() { return TkxBarItemControl::IsSelected() && FParent && !FParent->IsCustomizing(); }

int TkxBarEditControl::GetHeight() {
  if (!FParent) return 0;
  int h = FParent->EditRowHeight();
  if (ShowsCaption()) h = std::max(h, FParent->RowUnit());
  return h;
}

int TkxBarEditControl::GetMinWidth() { return CaptionWidth() + 20; }
int TkxBarEditControl::GetWidth() { return CaptionWidth() + (FLink ? FLink->Width() : 100); }

TRect TkxBarEditControl::GetRect() {
  if (!IsEnabled()) return TRect{};
  TRect r = FValueRect;
  auto* combo = dynamic_cast<TCustomkxBarCombo*>(Item());
  if (combo && !combo->ShowEditor()) r.right = r.left;
  return r;
}

void TkxBarEditControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  if (R.right <= R.left || R.bottom <= R.top) return;
  bool selected = IsSelected();
  TRect r = R;
  TkxBarItemControlPainterClass p = GetPainter();
  if (ShowsCaption()) p->DrawEditCaption(this, DC, selected, PaintKind, r);
  p->DrawEditFrame(this, DC, selected, r);
  FValueRect = r;
  if (IsEnabled()) PlaceWindow(GetRect());
  auto* combo = dynamic_cast<TCustomkxBarCombo*>(Item());
  if (!IsEnabled() || !FShown || (combo && !combo->ShowEditor())) p->DrawEditValue(this, DC, r);
}

void TkxBarEditControl::SetFocused(bool Show) {
  if (Show && FWindow) {
    TkxBarEdit* e = EditItem();
    auto* combo = dynamic_cast<TCustomkxBarCombo*>(e);
    bool readOnly = (e && e->ReadOnly()) || (combo && !combo->ShowEditor());
    SendMessageA(FWindow, EM_SETREADONLY, readOnly, 0);
  }
  TkxBarWinControl::SetFocused(Show);
}

void TkxBarEditControl::SetWindowText(const AnsiString& Text) {
  bool changed = GetWindowText() != Text;
  TkxBarWinControl::SetWindowText(Text);
  if (FWindow) GetPainter()->SelectEditText(this, FWindow, changed);
}

void TkxBarEditControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_RETURN || Message.WParam == VK_TAB)) {
    TuxObjectLink* self = uxAddObjectLink(this);
    if (Message.WParam == VK_RETURN && FLink) FLink->SourceLink()->MarkUsed(true);
    if (self->Ref)
      if (TkxBarEdit* e = EditItem()) e->SetText(GetWindowText());
    bool gone = !self->Ref || !FWindow;
    uxRemoveObjectLink(self);
    if (gone) return;
  }
  if (Message.Msg == WM_COMMAND && HIWORD(Message.WParam) == EN_CHANGE && !FSettingText) {
    if (TkxBarEdit* e = EditItem()) e->CurChange();
    return;
  }
  TkxBarWinControl::WndProc(Message);
}

// ===========================================================================
// combos

TCustomkxBarCombo* TCustomkxBarComboControl::ComboItem() const { return dynamic_cast<TCustomkxBarCombo*>(Item()); }

void TCustomkxBarComboControl::EnabledChanged() {
  SetDroppedDown(false);
  TkxBarEditControl::EnabledChanged();
}

void TCustomkxBarComboControl::Deactivate(bool Flag) {
  SetDroppedDown(false);
  TkxBarEditControl::Deactivate(Flag);
}

void TCustomkxBarComboControl::GetArrowColors(int PaintKind, int& ColorIndex, HBRUSH& Brush, bool PressedOrDroppedDown,
                                              bool Selected, bool Enabled) {
  GetPainter()->GetComboArrowColors(this, PaintKind, ColorIndex, Brush, PressedOrDroppedDown, Selected, Enabled);
}

TRect TCustomkxBarComboControl::GetRect() {
  TRect r = TkxBarEditControl::GetRect();
  if (r.right > r.left && FParent) r.right -= GetPainter()->GetComboButtonGap() + FParent->ComboButtonWidth();
  if (r.right < r.left) r.right = r.left;
  return r;
}

void TCustomkxBarComboControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  if (R.right <= R.left || R.bottom <= R.top) return;
  bool selected = IsSelected();
  TRect r = R;
  TkxBarItemControlPainterClass p = GetPainter();
  if (ShowsCaption()) p->DrawEditCaption(this, DC, selected, PaintKind, r);
  p->DrawEditFrame(this, DC, selected, r);
  FValueRect = r;
  TRect value = r;
  if (FParent) value.right -= p->GetComboButtonGap() + FParent->ComboButtonWidth();
  if (IsEnabled()) PlaceWindow(GetRect());
  TCustomkxBarCombo* combo = ComboItem();
  if (!IsEnabled() || !FShown || (combo && !combo->ShowEditor())) p->DrawEditValue(this, DC, value);
  p->DrawComboButton(this, DC, PaintKind, selected, r);
}

void TCustomkxBarComboControl::SetDroppedDown(bool Value) {
  TCustomkxBarCombo* combo = ComboItem();
  if (Value == FDroppedDown || !combo || combo->ReadOnly()) return;
  FDroppedDown = Value;
  Repaint();
  if (!Value) {
    combo->CloseUp();
    return;
  }
  if (!FParent || !FParent->HandleAllocated()) return;
  TRect r = ItemRect();
  TPoint p;
  if (FParent->IsMenuWindow() || kxBarIsVerticalToolbar(FParent)) p = TPoint{r.right, r.top};
  else p = TPoint{r.left + CaptionWidth(), r.bottom};
  p = FParent->ClientToScreen(p);
  combo->DropDown(p.x, p.y);
}

void TCustomkxBarComboControl::WndProc(TMessage& Message) {
  TCustomkxBarCombo* combo = ComboItem();
  if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_KEYUP) && combo) {
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_F4) {
      SetDroppedDown(!FDroppedDown);
      return;
    }
    if (FDroppedDown) {
      HWND drop = combo->GetDropDownWindow();
      if (drop && combo->CheckKeyForDropDownWindow(Word(Message.WParam), KeyDataToShiftState(Message.LParam))) {
        SendMessageA(drop, Message.Msg, Message.WParam, Message.LParam);
        return;
      }
    }
  }
  if (Message.Msg == WM_SYSKEYDOWN && (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) {
    SetDroppedDown(!FDroppedDown);
    Message.WParam = 0;
    return;
  }
  TuxObjectLink* self = uxAddObjectLink(this);
  TkxBarEditControl::WndProc(Message);
  bool alive = self->Ref != nullptr;
  uxRemoveObjectLink(self);
  if (!alive || !FWindow || !IsWindowVisible(FWindow) || !FParent || !FParent->HandleAllocated()) return;
  // a press when closed, or a release when it was open, on the button toggles the list
  if (Message.Msg == WM_LBUTTONDOWN) FDroppedAtPress = FDroppedDown;
  if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONUP) {
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    MapWindowPoints(FWindow, FParent->Handle(), &p, 1);
    TRect b = combo && !combo->ShowEditor() ? ItemRect() : FButtonRect;
    bool onButton = p.x >= b.left && p.x < b.right && p.y >= b.top && p.y < b.bottom;
    if (onButton && ((Message.Msg == WM_LBUTTONDOWN && !FDroppedAtPress) || (Message.Msg == WM_LBUTTONUP && FDroppedAtPress)))
      SetDroppedDown(!FDroppedDown);
  }
}

TkxBarCustomCombo* TkxBarComboControl::StringComboItem() const { return dynamic_cast<TkxBarCustomCombo*>(Item()); }

void TkxBarComboControl::ShowString(int Index) {
  TkxBarCustomCombo* c = StringComboItem();
  if (!c) return;
  FShownIndex = Index;
  FSettingText = true;
  SetWindowText(Index >= 0 && Index < c->Items()->Count() ? c->Items()->Get(Index) : c->Text());
  FSettingText = false;
}

void TkxBarComboControl::SetFocused(bool Show) {
  TkxBarCustomCombo* c = StringComboItem();
  if (Show && c) FShownIndex = c->ItemIndex();
  TCustomkxBarComboControl::SetFocused(Show);
}

void TkxBarComboControl::WndProc(TMessage& Message) {
  TkxBarCustomCombo* c = StringComboItem();
  if (c && !c->ReadOnly()) {
    bool shift = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    if (Message.Msg == WM_KEYDOWN && !FDroppedDown && !shift && (Message.WParam == VK_UP || Message.WParam == VK_DOWN)) {
      int i = FShownIndex;
      if (Message.WParam == VK_UP && i > 0) ShowString(i - 1);
      else if (Message.WParam == VK_DOWN && i < c->Items()->Count() - 1) ShowString(i + 1);
      return;
    }
    if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_RETURN || Message.WParam == VK_TAB) && FShownIndex >= 0 &&
        FShownIndex < c->Items()->Count() && GetWindowText() == c->Items()->Get(FShownIndex)) {
      TuxObjectLink* self = uxAddObjectLink(this);
      c->SetItemIndex(FShownIndex);
      bool gone = !self->Ref || !FWindow;
      uxRemoveObjectLink(self);
      if (gone) return;
    }
    if (Message.Msg == WM_MOUSEWHEEL) {
      int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
      if (FDroppedDown && c->ListBox() && c->ListBox()->HandleAllocated()) {
        c->ListBox()->SetTopIndex(std::max(0, c->ListBox()->TopIndex() + (delta > 0 ? -1 : 1)));
      } else if (delta > 0 && FShownIndex > 0) {
        ShowString(FShownIndex - 1);
      } else if (delta < 0 && FShownIndex < c->Items()->Count() - 1) {
        ShowString(FShownIndex + 1);
      }
      return;
    }
  }
  TCustomkxBarComboControl::WndProc(Message);
}

// ===========================================================================
// TkxBarButtonControl

TkxBarButtonControl::~TkxBarButtonControl() = default;

TkxBarButton* TkxBarButtonControl::ButtonItem() const { return dynamic_cast<TkxBarButton*>(Item()); }

bool TkxBarButtonControl::IsDropDownStyle() const {
  TkxBarButton* b = ButtonItem();
  return b && b->ButtonStyle() == bsDropDown;
}

TkxBarPaintStyle TkxBarButtonControl::EffectivePaintStyle() {
  TkxBarPaintStyle s = FLink ? FLink->PaintStyle() : TkxBarPaintStyle::psStandard;
  if (dynamic_cast<TkxBarControl*>(FParent) && s == TkxBarPaintStyle::psStandard) AdjustPaintStyle(s);
  return s;
}

void TkxBarButtonControl::AdjustPaintStyle(TkxBarPaintStyle& Style) {
  if (Style == TkxBarPaintStyle::psStandard && !HasGlyph()) Style = TkxBarPaintStyle::psCaption;
}

int TkxBarButtonControl::GetArrowWidth() {
  if (FParent && FParent->IsMenuWindow())
    if (auto* m = dynamic_cast<TkxBarSubMenuControl*>(FParent)) return m->ArrowPartWidth();
  TkxBarManager* m = BarManager();
  return m ? m->DropDownArrowWidth() : 11;
}

bool TkxBarButtonControl::IsOnArrowPart(const TPoint& P) {
  if (!IsDropDownStyle()) return false;
  TRect r = ItemRect();
  return P.x >= r.right - GetArrowWidth() && P.x < r.right && P.y >= r.top && P.y < r.bottom;
}

namespace {
int TextWidthOn(TCustomkxBarControl* Bar, const AnsiString& Text) {
  if (!Bar || !Bar->HandleAllocated()) return 0;
  SIZE s{};
  GetTextExtentPoint32A(Bar->FontDC(), Text.c_str(), int(Text.size()), &s);
  return s.cx;
}
}  // namespace

int TkxBarButtonControl::CalcButtonHeight() {
  TkxBarManager* m = BarManager();
  int h = 0;
  TkxBarButton* b = ButtonItem();
  if (FParent && FParent->IsMenuWindow()) {
    h = FParent->RowUnit();
    GetPainter()->AdjustMenuItemHeight(h);
  } else {
    TkxBarPaintStyle s = EffectivePaintStyle();
    bool caption = s == TkxBarPaintStyle::psCaption || s == TkxBarPaintStyle::psCaptionGlyph;
    int button = m ? (kxBarIsRotatedToolbar(FParent) ? m->ButtonWidth() : m->ButtonHeight()) : 22;
    if (caption && FParent) h = std::max(FParent->TextRowHeight(), button);
    else h = m ? m->ButtonHeight() : 22;
  }
  if (b && b->Lowered()) h += 2 * GetPainter()->GetButtonBorderWidth(this);
  return h;
}

int TkxBarButtonControl::CalcButtonWidth() {
  TkxBarManager* m = BarManager();
  TkxBarButton* b = ButtonItem();
  AnsiString caption = kxBarStripAccelChars(GetCaption());
  int w;
  if (FParent && FParent->IsMenuWindow()) {
    int unit = FParent->RowUnit();
    w = TextWidthOn(FParent, caption) + 2 * unit + 6;
    if (TShortCut sc = GetShortCut()) w += TextWidthOn(FParent, ShortCutToText(sc)) + unit - 6;
    GetPainter()->AdjustMenuItemWidth(this, w);
  } else {
    TkxBarPaintStyle s = EffectivePaintStyle();
    bool rotated = kxBarIsRotatedToolbar(FParent);
    if (s == TkxBarPaintStyle::psCaption) {
      int points = FParent ? FParent->Canvas()->Font()->Size() : 9;
      w = TextWidthOn(FParent, caption) + points;
    } else if (s == TkxBarPaintStyle::psCaptionGlyph) {
      w = TextWidthOn(FParent, caption) + 4 + (m ? (rotated ? m->ButtonHeight() : m->ButtonWidth()) : 23);
    } else {
      w = m ? m->ButtonWidth() : 23;
    }
  }
  if (b && b->Lowered()) w += 2 * GetPainter()->GetButtonBorderWidth(this);
  return w;
}

int TkxBarButtonControl::GetHeight() {
  bool swap = kxBarIsRotatedToolbar(FParent) &&
              (EffectivePaintStyle() == TkxBarPaintStyle::psCaption ||
               EffectivePaintStyle() == TkxBarPaintStyle::psCaptionGlyph);
  return swap ? CalcButtonWidth() : CalcButtonHeight();
}

int TkxBarButtonControl::GetWidth() {
  bool swap = kxBarIsRotatedToolbar(FParent) &&
              (EffectivePaintStyle() == TkxBarPaintStyle::psCaption ||
               EffectivePaintStyle() == TkxBarPaintStyle::psCaptionGlyph);
  int w = swap ? CalcButtonHeight() : CalcButtonWidth();
  if (IsDropDownStyle() && !(FParent && FParent->IsMenuWindow())) w += GetArrowWidth();
  return w;
}

TCustomkxBarControl* TkxBarButtonControl::GetChildBarControl() {
  TkxBarButton* b = ButtonItem();
  return b && b->DropDownMenu() ? b->DropDownMenu()->SubMenuControl() : nullptr;
}

bool TkxBarButtonControl::ClosesMenuOnClick() {
  if (!(FParent && FParent->IsMenuWindow())) return true;
  TkxBarButton* b = ButtonItem();
  return !b || b->CloseSubMenuOnClick();
}

void TkxBarButtonControl::GlyphChanged() {
  if (FLink && FLink->PaintStyle() != TkxBarPaintStyle::psStandard) Repaint();
  else if (FParent) FParent->Rebuild();
}

void TkxBarButtonControl::Deactivate(bool Flag) {
  TkxBarItemControl::Deactivate(Flag);
  if (FDroppedDown && IsDropDownStyle()) CloseUp();
}

void TkxBarButtonControl::Activate(bool Flag) {
  if (IsDropDownStyle() && FParent && FParent->HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    if (Flag && IsOnArrowPart(FParent->ScreenToClient(TPoint{p.x, p.y}))) {
      DropDown(true);
      return;
    }
  }
  if (dynamic_cast<TkxBarControl*>(FParent) || IsDropDownStyle()) Repaint();
}

void TkxBarButtonControl::Click(bool Flag) {
  if (FDroppedDown) return;
  // A checked button changes Down through the item's direct click, once per click.
  Deactivate(false);
  TkxBarItemControl::Click(Flag);
}

bool TkxBarButtonControl::IsSelected() {
  return (TkxBarItemControl::IsSelected() && FParent && !FParent->IsCustomizing()) || FClicking;
}

void TkxBarButtonControl::KeyDown(Word Key) {
  if (Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN) DropDown(false);
}

bool TkxBarButtonControl::IsDropDownKey(Word Key) {
  if (!IsDropDownStyle()) return false;
  if (FParent && FParent->IsMenuWindow()) return Key == VK_RIGHT;
  return Key == VK_UP || Key == VK_DOWN;
}

void TkxBarButtonControl::DropDown(bool ByMouse) {
  TkxBarButton* b = ButtonItem();
  if (FDroppedDown || !IsEnabled() || !b || !b->DropDownEnabled() || !b->DropDownMenu()) return;
  FDroppedDown = true;
  if (!FActive) TkxBarItemControl::SetActive(true);
  Repaint();
  TRect r = ItemRect();
  TPoint p;
  if (FParent->IsMenuWindow()) p = TPoint{r.right, r.top - GetPainter()->GetMenuTopMargin()};
  else if (kxBarIsVerticalToolbar(FParent)) p = TPoint{r.right, r.top};
  else p = TPoint{r.left, r.bottom};
  p = FParent->ClientToScreen(p);
  TuxObjectLink* self = uxAddObjectLink(this);
  b->DropDown(this, p, ByMouse);
  if (self->Ref && GetPainter()->RedrawsAfterDropDown()) Repaint();
  uxRemoveObjectLink(self);
}

void TkxBarButtonControl::CloseUp() {
  FDroppedDown = false;
  if (auto* t = dynamic_cast<TkxBarControl*>(FParent)) t->SetDroppedDown(false);
}

void TkxBarButtonControl::DrawToolbarCaption(HDC DC, bool Pressed, bool ShownDown, bool Rotated, int Alignment,
                                             const TRect& R) {
  TkxBarItemControlPainterClass p = GetPainter();
  bool selected = IsSelected();
  bool highlighted = false;
  if (p->HasFlatButtons()) {
    if (IsWhiteFaceScheme()) highlighted = (Pressed || ShownDown || selected) && !FDroppedDown;
    else highlighted = (Pressed || (ShownDown && selected)) && p->HighlightsPressedText();
  }
  p->DrawItemCaption(this, DC, false, true, Rotated, highlighted, IsEnabled(), Alignment, R, GetCaption());
}

void TkxBarButtonControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  if (R.right <= R.left || R.bottom <= R.top) return;
  TkxBarButton* b = ButtonItem();
  TRect r = R;
  if (b && b->Lowered()) DrawLowered(DC, r);
  bool selected = IsSelected();
  bool down = b && b->Down();
  TkxBarItemControlPainterClass p = GetPainter();
  if (PaintKind == kxPaintKindMenu) {
    TkxBarPaintStyle s = FLink ? FLink->PaintStyle() : TkxBarPaintStyle::psStandard;
    bool glyph = s == TkxBarPaintStyle::psStandard || s == TkxBarPaintStyle::psCaptionGlyph;
    DrawMenuButton(DC, r, down, true, selected);
    (void)glyph;
    if (TShortCut sc = GetShortCut()) {
      TRect t = r;
      t.right -= r.Height() + 5;
      AnsiString text = ShortCutToText(sc);
      // a flat painter's selected row keeps dark text on its light
      // selection, as the caption beside it
      bool flat = p->HasFlatButtons() && !IsWhiteFaceScheme();
      p->DrawItemCaption(this, DC, flat, false, false, selected, IsEnabled(), 2, t, text);
    }
    return;
  }
  bool dropDown = IsDropDownStyle();
  TRect buttonR = r;
  TRect arrowR{};
  if (dropDown) {
    arrowR = TRect{r.right - GetArrowWidth(), r.top, r.right, r.bottom};
    buttonR.right = arrowR.left;
  }
  POINT cur;
  GetCursorPos(&cur);
  TPoint c = FParent && FParent->HandleAllocated() ? FParent->ScreenToClient(TPoint{cur.x, cur.y}) : TPoint{};
  bool onButton = c.x >= buttonR.left && c.x < buttonR.right && c.y >= buttonR.top && c.y < buttonR.bottom;
  bool mouseDown = FParent && FParent->PressedControl() == this && FParent->PressedUnderMouse();
  bool pressed = (selected && mouseDown && onButton && !FDroppedDown) || (FClicking && !(b && b->ButtonStyle() == bsChecked));
  bool shownDown = down || (p->HasFlatButtons() && FDroppedDown && b && b->DropDownMenu());
  TkxBarPaintStyle s = EffectivePaintStyle();
  TkxBarButtonPaintState st;
  st.DropDownButton = dropDown;
  st.DropDownMenu = dropDown;
  st.Pressed = pressed;
  st.Down = shownDown;
  st.Selected = selected;
  st.PaintKind = PaintKind;
  st.NoGlyph = !HasGlyph() || s == TkxBarPaintStyle::psCaption;
  DrawGlyphButton(DC, buttonR, st, s == TkxBarPaintStyle::psCaption, dropDown ? &arrowR : nullptr);
  if (s == TkxBarPaintStyle::psCaption || s == TkxBarPaintStyle::psCaptionGlyph) {
    TkxBarManager* m = BarManager();
    bool rotated = PaintKind == kxPaintKindRotated;
    if (s == TkxBarPaintStyle::psCaptionGlyph && m) {
      // the glyph cell covers the button's first square only: the caption
      // beside it stands on the bar's own background
      TRect rest = buttonR;
      if (rotated) rest.top = std::min(int(rest.bottom), int(rest.top) + m->ButtonHeight());
      else rest.left = std::min(int(rest.right), int(rest.left) + m->ButtonWidth());
      p->FillItemBackground(this, DC, false, nullptr, rest);
    }
    TRect cr = buttonR;
    int fontSize = FParent ? FParent->Canvas()->Font()->Size() : 9;
    int skip = s == TkxBarPaintStyle::psCaption ? fontSize / 2 : (m ? (rotated ? m->ButtonHeight() : m->ButtonWidth()) : 23);
    if (rotated) cr.top += skip;
    else cr.left += skip;
    p->OffsetButtonCaption(this, pressed, cr);
    DrawToolbarCaption(DC, pressed, shownDown, rotated, 0, cr);
  }
  if (dropDown) {
    int colorIndex = COLOR_BTNTEXT;
    HBRUSH brush = nullptr;
    GetArrowColors(PaintKind, colorIndex, brush, FDroppedDown || pressed, selected, IsEnabled());
    p->DrawDropDownButtonArrow(this, DC, PaintKind, b && b->DropDownMenu(), b && b->DropDownEnabled(), FDroppedDown,
                               pressed, selected, colorIndex, brush, arrowR);
  }
}

// ===========================================================================
// TkxBarSubItemControl

namespace {
void SubItemTimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
  TPendingSubItem& p = Pending();
  if (Id != p.Timer) return;
  KillTimer(nullptr, p.Timer);
  p.Timer = 0;
  TuxObjectLink* link = p.Control;
  p.Control = nullptr;
  bool open = p.Open;
  auto* c = link ? static_cast<TkxBarSubItemControl*>(link->Ref) : nullptr;
  if (link) uxRemoveObjectLink(link);
  if (!c) return;
  try {
    if (open) c->SetActive(true);
    else c->Deactivate(true);
  } catch (...) {
  }
}

void StartPending(TkxBarItemControl* Control, bool Open) {
  TPendingSubItem& p = Pending();
  if (p.Timer) KillTimer(nullptr, p.Timer);
  if (p.Control) uxRemoveObjectLink(p.Control);
  p.Control = uxAddObjectLink(Control);
  p.Open = Open;
  p.Timer = SetTimer(nullptr, 0, 400, SubItemTimerProc);
}

TkxBarItemControl* PendingControl() {
  TPendingSubItem& p = Pending();
  return p.Control ? static_cast<TkxBarItemControl*>(p.Control->Ref) : nullptr;
}
}  // namespace

void kxBarCancelSubItemTimer(TkxBarItemControl* Control) {
  TPendingSubItem& p = Pending();
  if (!p.Control || (Control && p.Control->Ref != Control)) return;
  if (p.Timer) KillTimer(nullptr, p.Timer);
  p.Timer = 0;
  uxRemoveObjectLink(p.Control);
  p.Control = nullptr;
}

TkxBarSubItemControl::~TkxBarSubItemControl() {
  kxBarCancelSubItemTimer(this);
  if (TkxBarSubMenuControl* m = GetSubMenuControl())
    if (m->SubItemControl() == this) m->CloseMenu();
  FActive = false;
}

TCustomkxBarSubItem* TkxBarSubItemControl::SubItem() const { return dynamic_cast<TCustomkxBarSubItem*>(Item()); }

TkxBarSubMenuControl* TkxBarSubItemControl::GetSubMenuControl() {
  TCustomkxBarSubItem* s = SubItem();
  return s ? dynamic_cast<TkxBarSubMenuControl*>(s->ItemLinks()->BarControl()) : nullptr;
}

void TkxBarSubItemControl::CreateSubMenu() {
  if (TCustomkxBarSubItem* s = SubItem()) s->ItemLinks()->CreateBarControl();
}

int TkxBarSubItemControl::GetArrowSize() { return GetPainter()->GetSubItemArrowWidth(this); }
int TkxBarSubItemControl::CalcSubItemWidth() { return GetPainter()->CalcSubItemWidth(this); }

int TkxBarSubItemControl::GetHeight() {
  return kxBarIsRotatedToolbar(FParent) ? GetPainter()->CalcSubItemWidth(this) : GetPainter()->GetSubItemArrowWidth(this);
}

int TkxBarSubItemControl::GetWidth() {
  return kxBarIsRotatedToolbar(FParent) ? GetPainter()->GetSubItemArrowWidth(this) : GetPainter()->CalcSubItemWidth(this);
}

bool TkxBarSubItemControl::AcceptsDoubleClick() {
  TkxBarManager* m = BarManager();
  return !(m && m->IsDesigning());
}

void TkxBarSubItemControl::KeyDown(Word Key) {
  if (Key == VK_RIGHT) ClickByKeyboard(false);
}

bool TkxBarSubItemControl::IsDropDownKey(Word Key) { return Key == VK_RIGHT && FParent && FParent->IsMenuWindow(); }

void TkxBarSubItemControl::SetActive(bool ByKey) {
  if (!CanOpen()) return;
  TkxBarSubMenuControl* menu = GetSubMenuControl();
  if (menu && menu->HandleAllocated()) {
    TkxBarItemLink* cur = Item() ? Item()->CurItemLink() : nullptr;
    if (!cur || cur->Control() == this || menu->SubItemControl() == this) {
      kxBarCancelSubItemTimer(this);
      return;
    }
    if (TkxBarItemControl* other = menu->SubItemControl()) other->Deactivate(true);
  }
  TkxBarItemControl::SetActive(ByKey);
  TkxBarManager* m = BarManager();
  if (!IsEnabled() && !(m && m->IsDesigning())) return;
  if (!FParent) return;
  if (!FParent->IsMenuWindow()) {
    auto* t = dynamic_cast<TkxBarControl*>(FParent);
    if (FParent->IsCustomizing() || (t && t->DroppedDown())) OpenMenu();
    return;
  }
  if (!ByKey && !(m && m->IsCustomizingOrDesigning())) {
    TkxBarItemControl* pending = PendingControl();
    if (pending && pending != this) {
      kxBarCancelSubItemTimer(pending);
      if (pending->Parent() != FParent) pending->Deactivate(true);
    }
    StartPending(this, true);
    return;
  }
  OpenMenu();
}

void TkxBarSubItemControl::OpenMenu() {
  kxBarCancelSubItemTimer(this);
  TCustomkxBarSubItem* s = SubItem();
  if (!s || !FParent) return;
  TkxBarSubMenuControl* existing = GetSubMenuControl();
  if (existing && existing->HandleAllocated() && existing->SubItemControl() == this) return;
  TuxObjectLink* self = uxAddObjectLink(this);
  TkxBarControlRef parentRef = kxBarRef(FParent);
  s->Popup();
  if (self->Ref) s->Click();
  if (!self->Ref || !kxBarIsBarControlAlive(parentRef)) {
    uxRemoveObjectLink(self);
    return;
  }
  uxRemoveObjectLink(self);
  CreateSubMenu();
  TkxBarSubMenuControl* menu = GetSubMenuControl();
  if (!menu) return;
  TRect r = ItemRect();
  TRect screen;
  FParent->GetItemScreenRect(this, screen);
  if (IsFlatItems()) {
    menu->SetOwnerItemRect(screen);
    menu->SetOwnerBarControl(FParent);
  }
  TPoint p;
  if (FParent->IsMenuWindow()) {
    p = FParent->ClientToScreen(TPoint{r.right, r.top - menu->Painter()->GetMenuTopMargin()});
    menu->SetOwnerWidth(r.Width());
  } else if (kxBarIsVerticalToolbar(FParent)) {
    p = FParent->ClientToScreen(TPoint{r.right, r.top});
    menu->SetOwnerWidth(r.Width());
  } else {
    p = FParent->ClientToScreen(TPoint{r.left, r.bottom});
    menu->SetOwnerHeight(r.Height());
  }
  menu->SetBounds(p.x, p.y, menu->Width(), menu->Height());
  menu->SetSubItemControl(this);
  menu->SetParentBar(FParent);
  FParent->SetChildMenu(menu);
  menu->SetAnimate(FOpenedByMouse);
  FOpenedByMouse = false;
  if (!FParent->IsMenuWindow()) Repaint();
  FActive = true;  // active while its menu is open
  kxBarShowSubMenu(menu);
  if (kxBarIsBarControlAlive(parentRef) && !FParent->IsMenuWindow() && GetPainter()->RedrawsAfterDropDown()) Repaint();
}

void TkxBarSubItemControl::Deactivate(bool Immediately) {
  if (!CanOpen()) return;
  TkxBarManager* m = BarManager();
  if (FParent && FParent->IsMenuWindow() && !Immediately && !PendingControl() && !FParent->Locked() &&
      !(m && m->IsCustomizingOrDesigning())) {
    StartPending(this, false);
    return;
  }
  TkxBarSubMenuControl* menu = GetSubMenuControl();
  bool wasOpen = menu && menu->SubItemControl() == this;
  TkxBarItemControl::Deactivate(Immediately);
  kxBarCancelSubItemTimer(this);
  if (wasOpen) {
    if (FParent && FParent->ChildMenu() == menu) FParent->SetChildMenu(nullptr);
    menu->CloseMenu();
  }
  if (FParent && !FParent->IsMenuWindow()) Repaint();
  if (wasOpen)
    if (TCustomkxBarSubItem* s = SubItem()) s->CloseUp();
}

void TkxBarSubItemControl::Activate(bool ByMouse) {
  TkxBarSubMenuControl* menu = GetSubMenuControl();
  bool open = menu && menu->SubItemControl() == this;
  TkxBarManager* m = BarManager();
  if (open && FParent && (FParent->IsCustomizing() || (m && m->GetEffectiveStyle() == bmsStandard))) {
    Deactivate(true);
    return;
  }
  if (auto* t = dynamic_cast<TkxBarControl*>(FParent)) t->SetDroppedDown(true);
  if (!open) OpenMenu();
  menu = GetSubMenuControl();
  if (!ByMouse && menu && menu->SubItemControl() == this && menu->ItemLinks())
    if (TkxBarItemLink* first = menu->ItemLinks()->First())
      if (first->Control()) menu->SelectItem(first->Control());
}

void TkxBarSubItemControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  TkxBarSubMenuControl* menu = GetSubMenuControl();
  bool open = FActive && menu && menu->SubItemControl() == this;
  GetPainter()->DrawSubItem(this, DC, PaintKind, open, IsSelected(), R);
}

// ===========================================================================
// containers

void TkxBarContainerItemControl::CreateSubMenu() {
  TkxBarManager* m = BarManager();
  auto* container = dynamic_cast<TCustomkxBarContainerItem*>(Item());
  if (!container || (m && m->IsCustomizingOrDesigning())) return;
  if (container->ItemLinks()->BarControl()) return;
  auto* menu = new TContainerItemSubMenuControl(m);
  menu->SetItemLinks(container->ItemLinks());
  menu->SetContainerItem(container);
  container->MarkListStale();
}

AnsiString TkxBarContainerItemControl::GetCaption() {
  AnsiString c = TkxBarItemControl::GetCaption();
  auto* container = dynamic_cast<TkxBarContainerItem*>(Item());
  if (FParent && FParent->IsMenuWindow() && container && !container->HasVisibleItems()) return "(" + c + ")";
  return c;
}

bool TkxBarContainerItemControl::OpensChildMenu() {
  TkxBarManager* m = BarManager();
  return !(m && m->IsCustomizingOrDesigning());
}

void TkxBarContainerItemControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  if (PaintKind == kxPaintKindMenu) DrawMenuButton(DC, R, false, true, false);
  else TkxBarSubItemControl::Paint(DC, R, PaintKind);
}

TContainerItemSubMenuControl::~TContainerItemSubMenuControl() = default;

void TContainerItemSubMenuControl::DestroyWnd() {
  TkxBarSubMenuControl::DestroyWnd();
  if (FContainer) FContainer->ClearItemList();
}

int kxBarGetEditStateId(TkxBarItemControl* Control) {
  auto* e = dynamic_cast<TkxBarEditControl*>(Control);
  if (!Control || !Control->IsEnabled()) return 4;
  if (e && e->EditItem() && e->EditItem()->ReadOnly()) return 6;
  return 1;
}
