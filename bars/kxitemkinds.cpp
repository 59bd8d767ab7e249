// The item kinds: window items with their text, buttons with their styles and
// check groups, edits, combos (owner windows and string lists), sub items,
// and the list and container items that expand inside menus.
#include <algorithm>

#include "bars/kxbaritems.h"
#include "bars/kxbarpopup.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"


// ===========================================================================
// TkxBarWindowItem

void TkxBarWindowItem::SetText(const AnsiString& Value) {
  if (Value == FText) return;
  FText = Value;
  RepaintControls();
  Change();
  RepaintControls();
}

TkxBarItemLink* TkxBarWindowItem::FocusedItemLink() const {
  TkxBarItemLink* l = CurItemLink();
  if (!l) return nullptr;
  auto* w = dynamic_cast<TkxBarWinControl*>(l->Control());
  return w && w->Shown() ? l : nullptr;
}

AnsiString TkxBarWindowItem::GetCurText() {
  if (TkxBarItemLink* l = FocusedItemLink())
    if (auto* w = dynamic_cast<TkxBarWinControl*>(l->Control())) return w->GetWindowText();
  return FText;
}

void TkxBarWindowItem::SetCurText(const AnsiString& Value) {
  if (TkxBarItemLink* l = FocusedItemLink())
    if (auto* w = dynamic_cast<TkxBarWinControl*>(l->Control())) {
      w->SetWindowText(Value);
      return;
    }
  SetText(Value);
}

void TkxBarWindowItem::ActivateEditor(bool VisibleOnly) {
  for (TkxBarItemLink* l : FLinks) {
    auto* w = dynamic_cast<TkxBarWinControl*>(l->Control());
    if (!w || !w->Parent()) continue;
    if (VisibleOnly && !(w->Parent()->HandleAllocated() && IsWindowVisible(w->Parent()->Handle()))) continue;
    if (auto* t = dynamic_cast<TkxBarControl*>(w->Parent())) {
      if (!t->Active()) t->ActivateMenuMode(w);
      else t->SelectItem(w);
    }
    w->Activate(false);
    return;
  }
}

void TkxBarWindowItem::Change() {
  if (!IsLoading() && OnChange) OnChange(this);
}
void TkxBarWindowItem::CurChange() {
  if (OnCurChange) OnCurChange(this);
}
void TkxBarWindowItem::Enter() {
  if (OnEnter) OnEnter(this);
}
void TkxBarWindowItem::Exit() {
  if (OnExit) OnExit(this);
}
void TkxBarWindowItem::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TkxBarWindowItem::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TkxBarWindowItem::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

// ===========================================================================
// TkxBarButton

void TkxBarButton::SetButtonStyle(TkxBarButtonStyle Value) {
  if (Value == FButtonStyle) return;
  FButtonStyle = Value;
  SetDown(false);
  if (!IsLoading()) ButtonStyleChanged();
}

void TkxBarButton::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = FButtonStyle == bsChecked ? Value : 0;
  SetDown(false);
}

void TkxBarButton::SetDown(bool Value) {
  if (Value == FDown || (Value && FButtonStyle != bsChecked)) return;
  TkxBarButton* release = nullptr;
  if (!IsLoading() && FButtonStyle == bsChecked && FGroupIndex != 0 && FBarManager) {
    if (Value) {
      for (int i = 0; i < FBarManager->ItemCount(); ++i) {
        auto* b = dynamic_cast<TkxBarButton*>(FBarManager->GetItem(i));
        if (b && b != this && b->FButtonStyle == bsChecked && b->FGroupIndex == FGroupIndex && b->FDown) {
          release = b;
          break;
        }
      }
    } else if (!FAllowAllUp) {
      bool other = false;
      for (int i = 0; i < FBarManager->ItemCount() && !other; ++i) {
        auto* b = dynamic_cast<TkxBarButton*>(FBarManager->GetItem(i));
        other = b && b != this && b->FButtonStyle == bsChecked && b->FGroupIndex == FGroupIndex && b->FDown;
      }
      if (!other) return;
    }
  }
  FDown = Value;
  if (IsLoading()) return;
  DownChanged();
  if (release) {
    release->FDown = false;
    release->DownChanged();
  }
}

void TkxBarButton::SetAllowAllUp(bool Value) {
  FAllowAllUp = Value;
  if (FGroupIndex == 0 || !FBarManager) return;
  for (int i = 0; i < FBarManager->ItemCount(); ++i) {
    auto* b = dynamic_cast<TkxBarButton*>(FBarManager->GetItem(i));
    if (b && b != this && b->FGroupIndex == FGroupIndex) b->FAllowAllUp = Value;
  }
}

void TkxBarButton::SetDropDownMenu(TkxBarPopupMenu* Value) {
  if (Value == FDropDownMenu) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxBarButton::SetDropDownEnabled(bool Value) {
  if (Value == FDropDownEnabled) return;
  FDropDownEnabled = Value;
  if (IsLoading()) return;
  DropDownEnabledChanged();
  RebuildWindows();
}

void TkxBarButton::SetLowered(bool Value) {
  if (Value == FLowered) return;
  FLowered = Value;
  if (!IsLoading()) RebuildWindows();
}

void TkxBarButton::SetPaintStyle(TkxBarPaintStyle Value) {
  if (Value == FPaintStyle) return;
  FPaintStyle = Value;
  if (IsLoading()) return;
  PaintStyleChanged();
  RebuildWindows();
}

void TkxBarButton::ButtonStyleChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (auto* c = dynamic_cast<TkxBarButtonControl*>(l->Control())) c->ButtonStyleChanged();
}

void TkxBarButton::DownChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (auto* c = dynamic_cast<TkxBarButtonControl*>(l->Control())) c->DownChanged();
}

void TkxBarButton::DropDownEnabledChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (auto* c = dynamic_cast<TkxBarButtonControl*>(l->Control())) c->DropDownChanged();
}

void TkxBarButton::PaintStyleChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (auto* c = dynamic_cast<TkxBarButtonControl*>(l->Control()))
      if (!l->UserDefine().Contains(udPaintStyle)) c->PaintStyleChanged();
}

void TkxBarButton::DropDown(TkxBarItemControl* Control, const TPoint& P, bool ByMouse) {
  TkxBarPopupMenu* menu = FDropDownMenu;
  if (!menu || !Control || !Control->Parent()) return;
  TCustomkxBarControl* bar = Control->Parent();
  TkxBarControlRef barRef = kxBarRef(bar);
  TRect owner{};
  auto* button = dynamic_cast<TkxBarButtonControl*>(Control);
  bool separatePart = button && button->IsDropDownStyle();
  if (separatePart) bar->GetItemScreenRect(Control, owner);
  TRect r = Control->ItemRect();
  bool beside = bar->IsMenuWindow() || kxBarIsVerticalToolbar(bar);
  menu->SetDropDownOwner(Control);
  try {
    menu->PopupEx(P.x, P.y, separatePart ? &owner : nullptr, ByMouse, beside ? 0 : r.Height(), beside ? r.Width() : 0);
  } catch (...) {
    menu->SetDropDownOwner(nullptr);
    throw;
  }
  menu->SetDropDownOwner(nullptr);
  TkxBarSubMenuControl* window = menu->SubMenuControl();
  if (!window) return;
  if (kxBarIsBarControlAlive(barRef) && bar->IsMenuWindow()) {
    window->SetParentBar(bar);
    bar->SetChildMenu(window);
  }
  if (ByMouse || !window->ItemLinks()) return;
  // opened by the keyboard: its first selectable link is selected
  for (TkxBarItemLink* l = window->ItemLinks()->First(); l; l = window->ItemLinks()->Next(l)) {
    if (l->Control() && l->Control()->IsSelectable()) {
      window->SelectItem(l->Control());
      break;
    }
    if (l == window->ItemLinks()->Last()) break;
  }
}

bool TkxBarButton::CanUseAccel(TkxBarItemLink* Link) const {
  if (!Enabled()) return false;
  if (!Link || !dynamic_cast<TkxBarControl*>(Link->BarControl())) return true;
  TkxBarPaintStyle s = Link->PaintStyle();
  if (auto* c = dynamic_cast<TkxBarButtonControl*>(Link->Control())) s = c->EffectivePaintStyle();
  return s == TkxBarPaintStyle::psCaption || s == TkxBarPaintStyle::psCaptionGlyph;
}

void TkxBarButton::DirectClick() {
  if (Enabled() && FButtonStyle == bsChecked) SetDown(!FDown);
  TkxBarItem::DirectClick();
}

bool TkxBarButton::RefersTo(const TObject* Obj) const {
  if (Obj == this) return true;
  return FDropDownMenu && FDropDownMenu->ItemLinks()->RefersTo(Obj);
}

bool TkxBarButton::ProcessDropDownShortCut(TShortCut ShortCut) {
  return FButtonStyle == bsDropDown && FDropDownMenu && FDropDownMenu->ProcessShortCut(ShortCut);
}

void TkxBarButton::Notification(TComponent* AComponent, TOperation Operation) {
  TkxBarItem::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

// ===========================================================================
// TkxBarEdit

void TkxBarEdit::SetShowCaption(bool Value) {
  if (Value == FShowCaption) return;
  FShowCaption = Value;
  if (!IsLoading()) RebuildWindows();
}

void TkxBarEdit::SetWidth(int Value) {
  kxBarEnsureMinSize20(Value);
  if (Value == FWidth) return;
  FWidth = Value;
  if (!IsLoading()) WidthChanged();
}

void TkxBarEdit::WidthChanged() {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (auto* c = dynamic_cast<TkxBarEditControl*>(l->Control()))
      if (!l->UserDefine().Contains(udWidth)) c->WidthChanged();
}

void TkxBarEdit::DrawInterior(TCanvas* Canvas, TkxBarItemLink* Link, const TRect& R) {
  AnsiString text = Link && Link == FocusedItemLink() ? GetCurText() : FText;
  RECT r{R.left + 2, R.top, R.right - 1, R.bottom};
  DrawTextA(Canvas->Handle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
}

bool TkxBarEdit::IsDroppedDown() const {
  TkxBarItemLink* l = FocusedItemLink();
  auto* c = l ? dynamic_cast<TCustomkxBarComboControl*>(l->Control()) : nullptr;
  return c && c->DroppedDown();
}

bool TkxBarEdit::CanUseAccel(TkxBarItemLink* Link) const {
  if (!Enabled()) return false;
  if (Link && dynamic_cast<TkxBarControl*>(Link->BarControl())) return FShowCaption;
  return true;
}

// ===========================================================================
// TCustomkxBarCombo

void TCustomkxBarCombo::SetShowEditor(bool Value) {
  if (Value == !FNoEditor) return;
  FNoEditor = !Value;
  if (!IsLoading()) RebuildWindows();
}

bool TCustomkxBarCombo::CheckKeyForDropDownWindow(Word Key, TShiftState Shift) {
  bool allow = Key != VK_TAB && Key != VK_RETURN && Key != VK_ESCAPE;
  if (OnCheckKeyForDropDownWindow) OnCheckKeyForDropDownWindow(this, Key, Shift, allow);
  return allow;
}

HWND TCustomkxBarCombo::GetDropDownWindow() {
  HWND w = nullptr;
  if (OnGetDropDownWindow) OnGetDropDownWindow(this, w);
  return w;
}

void TCustomkxBarCombo::DropDown(int X, int Y) {
  if (OnDropDown) OnDropDown(this);
  HWND w = GetDropDownWindow();
  if (!w) return;
  InitDropDownWindow();
  TkxBarItemLink* link = CurItemLink();
  TRect lr = link ? link->ItemRect() : TRect{};
  int lw = lr.Width(), lh = lr.Height();
  RECT wr;
  GetWindowRect(w, &wr);
  int dw = wr.Width(), dh = wr.Height();
  TRect work = kxBarGetWorkArea(TPoint{X, Y});
  TCustomkxBarControl* bar = link ? link->BarControl() : nullptr;
  if (bar && (bar->IsMenuWindow() || kxBarIsVerticalToolbar(bar))) {
    if (work.right < X + dw && work.right - X < X - lw - work.left) X = X - dw - lw;
    if (work.bottom < Y + dh) Y = work.bottom - dh;
  } else {
    if (work.right < X + dw) X = work.right - dw;
    if (work.bottom < Y + dh && work.bottom - Y < Y - lh - work.top) Y = Y - lh - dh;
  }
  X = std::max(X, int(work.left));
  Y = std::max(Y, int(work.top));
  SetWindowPos(w, HWND_TOPMOST, X, Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  DropDownShown();
}

void TCustomkxBarCombo::CloseUp() {
  if (HWND w = GetDropDownWindow()) ShowWindow(w, SW_HIDE);
  if (OnCloseUp) OnCloseUp(this);
}

// ===========================================================================
// TkxBarCustomCombo

TkxBarCustomCombo::TkxBarCustomCombo(TComponent* AOwner) : TCustomkxBarCombo(AOwner) {
  FItems = std::make_unique<TStringList>();
  FItems->OnChange = [this](TObject* Sender) { ItemsChanged(Sender); };
  FListBox = new TkxBarDropDownListBox(nullptr, this);
}

TkxBarCustomCombo::~TkxBarCustomCombo() {
  LinksClear();
  TkxBarDropDownListBox* lb = FListBox;
  FListBox = nullptr;
  if (lb) lb->Free();
}

void TkxBarCustomCombo::ItemsChanged(TObject*) {
  if (FItemIndex >= FItems->Count()) SetItemIndex(-1);
  else RepaintControls();
}

void TkxBarCustomCombo::SetItemIndex(int Value) {
  if (Value < 0 || Value >= FItems->Count()) Value = -1;
  if (Value == FItemIndex) return;
  FItemIndex = Value;
  AnsiString wanted = Value >= 0 ? FItems->Get(Value) : AnsiString();
  if (wanted != FText) {
    TkxBarWindowItem::SetText(wanted);
  } else {
    RepaintControls();
    Change();
    RepaintControls();
  }
}

void TkxBarCustomCombo::SetText(const AnsiString& Value) {
  if (FItemIndex < 0 || FItemIndex >= FItems->Count() || FItems->Get(FItemIndex) != Value)
    FItemIndex = FItems->IndexOf(Value);
  TkxBarWindowItem::SetText(Value);
}

void TkxBarCustomCombo::SetSorted(bool Value) {
  FSorted = Value;
  if (Value) FItems->Sort();
  FItemIndex = FItems->IndexOf(FText);
}

int TkxBarCustomCombo::FindItem(const AnsiString& Text) const {
  AnsiString t = AnsiUpperCase(Text);
  int answer = -1;
  std::size_t best = 0;
  for (int i = 0; i < FItems->Count(); ++i) {
    AnsiString s = AnsiUpperCase(FItems->Get(i));
    if (s.compare(0, best, t, 0, best) != 0) continue;
    std::size_t n = 0;
    while (n < s.size() && n < t.size() && s[n] == t[n]) ++n;
    if (n == t.size() && !t.empty()) return i;
    if (n > best) {
      best = n;
      answer = i;
    }
  }
  return answer;
}

bool TkxBarCustomCombo::CheckKeyForDropDownWindow(Word Key, TShiftState Shift) {
  return Shift.Empty() && (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN);
}

HWND TkxBarCustomCombo::GetDropDownWindow() {
  HWND w = TCustomkxBarCombo::GetDropDownWindow();
  return w ? w : (FListBox ? FListBox->Handle() : nullptr);
}

void TkxBarCustomCombo::InitDropDownWindow() {
  if (!FListBox) return;
  FListBox->Items()->Assign(FItems.get());
  FListBox->MeasureItems();
  int w = CalcDropDownWidth();
  int rows = std::min(FItems->Count(), FDropDownCount);
  int h = 4;
  for (int i = 0; i < rows; ++i) {
    int ih = 0;
    MeasureItem(i, ih);
    h += ih;
  }
  FListBox->SetBounds(FListBox->Left(), FListBox->Top(), w, h);
}

int TkxBarCustomCombo::CalcDropDownWidth() {
  int w = FDropDownWidth;
  int sb = GetSystemMetrics(SM_CXVSCROLL);
  bool scroll = FItems->Count() > FDropDownCount;
  if (w < 1) {
    w = 0;
    if (TkxBarItemLink* l = CurItemLink()) {
      w = l->ItemRect().Width() - 4;
      if (auto* c = dynamic_cast<TkxBarEditControl*>(l->Control()))
        if (c->ShowsCaption()) w -= c->CaptionWidth();
    }
    if (scroll) w -= sb;
    for (int i = 0; i < FItems->Count(); ++i) {
      int iw = 0;
      MeasureItemWidth(i, iw);
      w = std::max(w, iw);
    }
  }
  w += 4;
  if (scroll) w += sb;
  return w;
}

TCanvas* TkxBarCustomCombo::GetCanvas() {
  if (FPaintCanvas) return FPaintCanvas;
  return FListBox ? FListBox->Canvas() : nullptr;
}

void TkxBarCustomCombo::MeasureItem(int Index, int& Height) {
  if (FItemHeight > 0) Height = FItemHeight;
  else {
    SIZE s{};
    HDC dc = GetDC(nullptr);
    HFONT f = FBarManager ? FBarManager->MenuFontHandle() : nullptr;
    HGDIOBJ old = f ? SelectObject(dc, f) : nullptr;
    GetTextExtentPoint32A(dc, "Qq", 2, &s);
    if (old) SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    Height = s.cy;
  }
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TkxBarCustomCombo::MeasureItemWidth(int Index, int& Width) {
  SIZE s{};
  HDC dc = GetDC(nullptr);
  HFONT f = FBarManager ? FBarManager->MenuFontHandle() : nullptr;
  HGDIOBJ old = f ? SelectObject(dc, f) : nullptr;
  AnsiString t = FItems->Get(Index);
  GetTextExtentPoint32A(dc, t.c_str(), int(t.size()), &s);
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  Width = s.cx + 2;
}

void TkxBarCustomCombo::DrawItem(int Index, const TRect& R, unsigned State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, R, State);
  } else if (TCanvas* c = GetCanvas()) {
    TkxBarItemControlPainterClass p =
        FBarManager && FBarManager->PainterClass() ? FBarManager->PainterClass() : TkxBarItemControlEnhancedPainter::Instance();
    p->DrawComboListItem(this, c, Index, State, R);
  }
  if ((State & 16) && GetCanvas()) GetCanvas()->DrawFocusRect(R);
}

void TkxBarCustomCombo::DrawInterior(TCanvas* Canvas, TkxBarItemLink* Link, const TRect& R) {
  FPaintCanvas = Canvas;
  FDrawingEditBox = true;
  int index = FItemIndex;
  if (Link && Link == FocusedItemLink())
    if (auto* c = dynamic_cast<TkxBarComboControl*>(Link->Control())) index = c->ShownItemIndex();
  try {
    DrawItem(index, R, 0);
  } catch (...) {
    FPaintCanvas = nullptr;
    FDrawingEditBox = false;
    throw;
  }
  FPaintCanvas = nullptr;
  FDrawingEditBox = false;
}

void TkxBarCustomCombo::DropDown(int X, int Y) {
  if (TkxBarItemLink* l = CurItemLink())
    if (l->BarControl() && l->BarControl()->HandleAllocated() && FListBox)
      FListBox->SetParentWindow(l->BarControl()->Handle());
  TCustomkxBarCombo::DropDown(X, Y);
  if (!FListBox || !FListBox->HandleAllocated()) return;
  AnsiString text = GetCurText();
  int found = -1;
  for (int i = 0; i < FItems->Count(); ++i)
    if (AnsiSameText(FItems->Get(i), text)) {
      found = i;
      break;
    }
  FListBox->SetItemIndex(found);
}

void TkxBarCustomCombo::CloseUp() {
  TCustomkxBarCombo::CloseUp();
  if (FListBox) {
    if (FListBox->HandleAllocated() && GetCapture() == FListBox->Handle()) ReleaseCapture();
  }
}

void TkxBarCustomCombo::DropDownShown() {
  if (!FListBox || !FListBox->HandleAllocated()) return;
  if (kxBarIsLeftButtonDown()) {
    SetCapture(FListBox->Handle());
    FListBox->SetCapturedAtDrop(true);
  } else {
    FListBox->SetCapturedAtDrop(false);
  }
}

void TkxBarCustomCombo::CurChange() {
  TCustomkxBarCombo::CurChange();
  TkxBarItemLink* l = FocusedItemLink();
  auto* c = l ? dynamic_cast<TkxBarComboControl*>(l->Control()) : nullptr;
  if (!c) return;
  AnsiString text = c->GetWindowText();
  int idx = c->ShownItemIndex();
  if (!(idx >= 0 && idx < FItems->Count() && FItems->Get(idx) == text)) idx = FindItem(text);
  c->SetShownItemIndex(idx);
  if (c->DroppedDown() && FListBox && FListBox->HandleAllocated()) {
    if (idx >= 0 && AnsiSameText(FItems->Get(idx), text)) FListBox->SetItemIndex(idx);
    else {
      FListBox->SetItemIndex(-1);
      if (idx >= 0) FListBox->SetTopIndex(idx);
    }
  }
}

// ===========================================================================
// TkxBarDropDownListBox

TkxBarDropDownListBox::TkxBarDropDownListBox(TComponent* AOwner, TkxBarCustomCombo* Combo)
    : TCustomListBox(AOwner), FCombo(Combo) {
  SetStyle(lbOwnerDrawVariable);
  SetVisible(false);
  SetIntegralHeight(false);
}

TkxBarComboControl* TkxBarDropDownListBox::CurrentControl() const {
  TkxBarItemLink* l = FCombo ? FCombo->CurItemLink() : nullptr;
  return l ? dynamic_cast<TkxBarComboControl*>(l->Control()) : nullptr;
}

void TkxBarDropDownListBox::Click() {
  TCustomListBox::Click();
  int idx = ItemIndex();
  if (idx < 0) return;
  if (TkxBarComboControl* c = CurrentControl()) c->ShowString(idx);
}

void TkxBarDropDownListBox::KeyDown(Word& Key, TShiftState Shift) {
  if (ItemIndex() < 0 && Items()->Count() > 0) SetItemIndex(TopIndex());
  TCustomListBox::KeyDown(Key, Shift);
}

void TkxBarDropDownListBox::MouseMove(TShiftState Shift, int X, int Y) {
  if (FCaptured && HandleAllocated() && GetCapture() == Handle()) {
    TRect r = ClientRect();
    if (X >= r.left && X < r.right && Y >= r.top && Y < r.bottom) {
      // the list tracks the still-held button itself from now on
      FCaptured = false;
      TMessage down{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y), 0};
      TCustomListBox::WndProc(down);
    }
  }
  TCustomListBox::MouseMove(Shift, X, Y);
  int idx = ItemAtPos(TPoint{X, Y}, true);
  if (idx >= 0 && idx != ItemIndex()) SetItemIndex(idx);
}

void TkxBarDropDownListBox::CreateParams(TCreateParams& Params) {
  TCustomListBox::CreateParams(Params);
  // the painter draws the border in the non-client area
  Params.Style = (Params.Style & ~(WS_CHILD | WS_TABSTOP | WS_BORDER)) | WS_POPUP;
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = ParentWindow();
}

void TkxBarDropDownListBox::CreateWnd() {
  TCustomListBox::CreateWnd();
  // the font of the window that shows the combo's current link
  TkxBarItemLink* l = FCombo ? FCombo->CurItemLink() : nullptr;
  TCustomkxBarControl* bar = l ? l->BarControl() : nullptr;
  LOGFONTA lf;
  if (bar && GetObjectA(bar->GetFontHandle(), sizeof lf, &lf)) {
    Font()->SetHandle(CreateFontIndirectA(&lf));
    Font()->SetColor(clWindowText);
  }
  // the list draws its selection as focused without taking the focus
  TMessage focus{WM_SETFOCUS, 0, 0, 0};
  TCustomListBox::WndProc(focus);
}

TkxBarItemControlPainterClass TkxBarDropDownListBox::Painter() const {
  TkxBarManager* m = FCombo ? FCombo->BarManager() : nullptr;
  return m && m->PainterClass() ? m->PainterClass() : nullptr;
}

void TkxBarDropDownListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_LBUTTONUP: {
      TCustomListBox::WndProc(Message);
      if (FCaptured) {
        FCaptured = false;
        if (GetCapture() == Handle()) ReleaseCapture();
        return;
      }
      if (!FCombo) return;
      TkxBarItemLink* l = FCombo->CurItemLink();
      TkxBarManager* m = FCombo->BarManager();
      int idx = ItemIndex();
      TuxObjectLink* self = uxAddObjectLink(this);
      if (l) l->SourceLink()->MarkUsed(true);
      // every open menu closes; the combo's editor goes with them
      if (m) m->HideAll();
      if (self->Ref && idx >= 0 && FCombo) FCombo->SetItemIndex(idx);
      uxRemoveObjectLink(self);
      return;
    }
    case WM_CAPTURECHANGED:
      TCustomListBox::WndProc(Message);
      FCaptured = false;
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCCALCSIZE:
      TCustomListBox::WndProc(Message);
      if (TkxBarItemControlPainterClass p = Painter()) {
        int b = p->GetDropDownListBorderWidth(FCombo->BarManager());
        RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
        InflateRect(&r, -b, -b);
      }
      return;
    case WM_NCPAINT:
      TCustomListBox::WndProc(Message);
      if (TkxBarItemControlPainterClass p = Painter(); p && HandleAllocated()) {
        HDC dc = GetWindowDC(Handle());
        RECT w;
        ::GetWindowRect(Handle(), &w);
        p->DrawDropDownListBorder(FCombo->BarManager(), dc, TRect{0, 0, w.right - w.left, w.bottom - w.top});
        ReleaseDC(Handle(), dc);
      }
      return;
    default:
      break;
  }
  TCustomListBox::WndProc(Message);
}

// ===========================================================================
// TCustomkxBarSubItem

TCustomkxBarSubItem::TCustomkxBarSubItem(TComponent* AOwner) : TkxBarItem(AOwner) {
  FItemLinks = std::make_unique<TkxBarItemLinks>(FBarManager, this);
}

TCustomkxBarSubItem::~TCustomkxBarSubItem() {
  LinksClear();
  SetDetachingBar(-1);
  if (auto* menu = dynamic_cast<TkxBarSubMenuControl*>(FItemLinks->BarControl())) menu->CloseMenu();
  FItemLinks.reset();
}

void TCustomkxBarSubItem::SetDetachingBar(int Value) {
  TkxBars* bars = FBarManager ? FBarManager->Bars() : nullptr;
  if (Value < -1 || !bars || Value >= bars->Count()) Value = -1;
  if (Value == FDetachingBar) return;
  if (bars && FDetachingBar >= 0 && FDetachingBar < bars->Count()) bars->Items(FDetachingBar)->RemoveDetachingSubItem(this);
  FDetachingBar = Value;
  if (bars && Value >= 0) bars->Items(Value)->AddDetachingSubItem(this);
}

void TCustomkxBarSubItem::SetShowCaption(bool Value) {
  if (Value == FShowCaption) return;
  FShowCaption = Value;
  if (!IsLoading()) RebuildWindows();
}

void TCustomkxBarSubItem::DoPaintBar(TCanvas* Canvas, const TRect& R) {
  if (OnPaintBar) OnPaintBar(this, Canvas, R);
}

void TCustomkxBarSubItem::Popup() {
  if (OnPopup) OnPopup(this);
}
void TCustomkxBarSubItem::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}
void TCustomkxBarSubItem::Detaching() {
  if (OnDetaching) OnDetaching(this);
}

void TCustomkxBarSubItem::BarManagerChanged() {
  if (FItemLinks) FItemLinks->SetBarManager(FBarManager);
}

void TCustomkxBarSubItem::BarNotification(TOperation Operation, TkxBar* Bar) {
  // Only the detaching bar lists this sub item, and it tells while it goes,
  // also while the manager's bars are being freed (the collection may be gone).
  if (Operation == opRemove && Bar) FDetachingBar = -1;
}

bool TCustomkxBarSubItem::RefersTo(const TObject* Obj) const {
  return Obj == this || (FItemLinks && FItemLinks->RefersTo(Obj));
}

void TCustomkxBarSubItem::ManagerLoaded() {
  FItemLinks->ApplyLoadedState(true);
  ApplyLoadedVisible();
}

// ===========================================================================
// container items

TCustomkxBarContainerItem::~TCustomkxBarContainerItem() {
  if (FListStale) ClearItemList();
}

void TCustomkxBarContainerItem::AddListedItemLinks(TkxBarItemLinks*, int, TkxBarItemLink*, bool CallGetData) {
  if (FListStale) ClearItemList();
  if (CallGetData && OnGetData) {
    FDataSupplied = true;
    try {
      OnGetData(this);
    } catch (...) {
      FDataSupplied = false;
    }
  }
}

void TCustomkxBarContainerItem::ItemsChanged() {
  if (!FDataSupplied) VisibleChanged();
}

TkxBarListItem::TkxBarListItem(TComponent* AOwner) : TCustomkxBarContainerItem(AOwner) {
  FItems = std::make_unique<TStringList>();
  FItems->OnChange = [this](TObject* Sender) { StringsChanged(Sender); };
}

TkxBarListItem::~TkxBarListItem() {
  LinksClear();
  for (auto it = FButtons.rbegin(); it != FButtons.rend(); ++it) (*it)->Free();
  FButtons.clear();
}

void TkxBarListItem::StringsChanged(TObject*) {
  if (!FDataSupplied) VisibleChanged();
}

int TkxBarListItem::DataIndex() const {
  if (FItemIndex < 0 || FItemIndex >= FItems->Count()) return -1;
  int n = 0;
  for (int i = 0; i <= FItemIndex; ++i)
    if (FItems->Get(i) != "-") ++n;
  return n - 1;
}

void TkxBarListItem::SetDataIndex(int Value) {
  if (FItems->Count() == 0) {
    FItemIndex = -1;
    return;
  }
  int n = -1;
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Get(i) != "-" && ++n == Value) {
      FItemIndex = i;
      return;
    }
  FItemIndex = FItems->Count();
}

void TkxBarListItem::AddListedItemLinks(TkxBarItemLinks* Target, int Index, TkxBarItemLink* ContainerLink,
                                        bool CallGetData) {
  TCustomkxBarContainerItem::AddListedItemLinks(Target, Index, ContainerLink, CallGetData);
  bool generate = FButtons.empty();
  int n = 0;
  bool groupNext = false;
  for (int i = 0; i < FItems->Count(); ++i) {
    AnsiString s = FItems->Get(i);
    if (s == "-") {
      groupNext = true;
      continue;
    }
    if (generate) {
      auto* b = new TkxBarButton(Owner());
      b->SetAction(Action());
      if (FShowCheck && i == FItemIndex) {
        b->SetButtonStyle(bsChecked);
        b->SetDown(true);
      }
      AnsiString caption = GetDisplayText(s);
      if (FShowNumbers) {
        AnsiString number = n < 9 ? IntToStr(n + 1) : AnsiString(1, char('A' + n - 9));
        caption = "&" + number + " " + caption;
      }
      b->SetCaption(caption);
      b->SetTag(i);
      b->OnClick = TNotifyEvent(this, &TkxBarListItem::ButtonClick);
      b->SetEnabled(StoredEnabled());
      // the buttons belong to the form: when it frees them first, the list forgets them
      b->FreeNotification(this);
      FButtons.push_back(b);
    }
    if (n >= int(FButtons.size())) break;
    TkxBarItemLink* l = Target->Add();
    l->SetSourceLink(ContainerLink);
    l->SetIndex(std::min(Index + n, Target->Count() - 1));
    l->SetItem(FButtons[std::size_t(n)]);
    l->SetBeginGroup(n == 0 || groupNext);
    l->CopyUsage(ContainerLink);
    groupNext = false;
    ++n;
  }
}

void TkxBarListItem::DeleteListedItemLinks(TkxBarItemLinks* Target, int Index) {
  for (int i = 0; i < FItems->Count(); ++i) {
    if (FItems->Get(i) == "-") continue;
    if (Index < Target->Count()) delete Target->Items(Index);
  }
}

void TkxBarListItem::ClearItemList() {
  if (!FButtons.empty() && FButtons.front()->LinkCount() == 0) {
    for (auto it = FButtons.rbegin(); it != FButtons.rend(); ++it) (*it)->Free();
    FButtons.clear();
  }
  TCustomkxBarContainerItem::ClearItemList();
}

void TkxBarListItem::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxBarContainerItem::Notification(AComponent, Operation);
  if (Operation == opRemove)
    std::erase_if(FButtons, [AComponent](TkxBarButton* b) { return static_cast<TComponent*>(b) == AComponent; });
}

void TkxBarListItem::ButtonClick(TObject* Sender) {
  if (auto* b = dynamic_cast<TkxBarButton*>(Sender)) FItemIndex = int(b->Tag());
  TkxBarItem::Click();
}

void TkxBarListItem::Click() {
  for (TkxBarItemLink* l : FLinks)
    if (l->Control() && l->BarControl() && l->BarControl()->SelectedControl() == l->Control()) return;
  TkxBarItem::Click();
}

void TkxBarContainerItem::AddListedItemLinks(TkxBarItemLinks* Target, int Index, TkxBarItemLink* ContainerLink,
                                             bool CallGetData) {
  TCustomkxBarContainerItem::AddListedItemLinks(Target, Index, ContainerLink, CallGetData);
  if (Target == FItemLinks.get()) return;
  int n = 0;
  for (int i = 0; i < FItemLinks->Count(); ++i) {
    TkxBarItemLink* src = FItemLinks->Items(i);
    if (!src->Visible()) continue;
    TkxBarItemLink* l = Target->Add();
    l->SetSourceLink(ContainerLink);
    l->Assign(src);
    l->SetIndex(std::min(Index + n, Target->Count() - 1));
    l->SetBeginGroup(n == 0 && HasGroupBegin());
    l->CopyUsage(ContainerLink);
    ++n;
  }
}

void TkxBarContainerItem::DeleteListedItemLinks(TkxBarItemLinks* Target, int Index) {
  for (int i = 0; i < FItemLinks->Count(); ++i) {
    if (!FItemLinks->Items(i)->Visible()) continue;
    if (Index < Target->Count()) delete Target->Items(Index);
  }
}

bool TkxBarContainerItem::HasVisibleItems() const {
  for (int i = 0; i < FItemLinks->Count(); ++i) {
    TkxBarItem* item = FItemLinks->Items(i)->Item();
    if (item && item->IsAvailable()) return true;
  }
  return false;
}
