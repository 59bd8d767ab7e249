// Quick customizing: the window a toolbar's mark opens, with the links that
// did not fit and the sub item "添加或删除按钮(&A)", whose menu has a check
// row per link of the toolbar, a reset entry and the customize entry.
#include <algorithm>

#include "bars/kxbarcustomize.h"
#include "framework/uxclasses.h"

namespace kxbarquick {

// "添加或删除按钮(&A)"
const char* const kAddRemove = "\xCC\xED\xBC\xD3\xBB\xF2\xC9\xBE\xB3\xFD\xB0\xB4\xC5\xA5(&A)";
// "重置工具栏(&R)"
const char* const kResetToolbar = "\xD6\xD8\xD6\xC3\xB9\xA4\xBE\xDF\xC0\xB8(&R)";

TkxBarQuickControl* gQuick = nullptr;
UINT_PTR gCloseTimer = 0;

void CloseTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (gCloseTimer) KillTimer(nullptr, gCloseTimer);
  gCloseTimer = 0;
  try {
    TkxBarQuickControl* q = gQuick;
    TkxBarManager* m = q ? q->BarManager() : nullptr;
    if (q && m && m->SelectedItem() && kxBarGetItemControlRootToolbar(m->SelectedItem()) != q->OwnerToolbar())
      q->Close();
  } catch (...) {
    // the check only tidies up; a failure leaves the window open
  }
}

// A row of the quick-customizing menu: a check square (down shows the row's
// link as visible) left of the button drawn as a menu line.
void PaintRow(TkxBarButtonControl* Control, HDC DC, const TRect& R, int PaintKind, bool Down) {
  if (R.right <= R.left || R.bottom <= R.top) return;
  bool selected = Control->IsSelected();
  TRect row = R, check = R;
  TkxBarItemControlPainterClass p = Control->GetPainter();
  p->CalcQuickCustCheckRect(Control, DC, selected, row, check);
  TkxBarButtonPaintState s;
  s.Down = Down;
  s.Selected = selected;
  s.NoGlyph = true;
  s.PaintKind = kxPaintKindMenu;
  Control->DrawGlyphButton(DC, check, s, false);
  Control->TkxBarButtonControl::Paint(DC, row, PaintKind);
  p->DrawQuickCustCheck(Control, DC, selected, check, R);
}

}  // namespace kxbarquick

namespace kq = kxbarquick;

TkxBarQuickControl* kxBarGetQuickControl() { return kq::gQuick; }

bool TCustomkxBarControl::IsQuickCustomizing() const {
  return FItemLinks && dynamic_cast<TkxBarQuickSubItem*>(FItemLinks->Owner());
}

// ===========================================================================
// the window

TkxBarQuickControl::TkxBarQuickControl(TkxBarManager* Manager, TkxBarControl* Toolbar)
    : TkxBarSubMenuControl((kxBarFreeTempItems(), Manager)), FOwnerToolbar(Toolbar) {
  kq::gQuick = this;
  TRect mark;
  Toolbar->GetMarkScreenRect(mark);
  SetOwnerItemRect(mark);
  SetOwnerBarControl(Toolbar);
  FLinks = std::make_unique<TkxBarItemLinks>(Manager, this);
  FLinks->SetOwnUseRecentItems(false);
  SetItemLinks(FLinks.get());
  TkxBar* bar = Toolbar->Bar();
  TCustomForm* form = Manager->OwnerForm();
  FQuickSubItem = new TkxBarQuickSubItem(form);
  FQuickSubItem->SetBarManager(Manager);
  kxBarAddTempItem(FQuickSubItem);
  FQuickSubItem->SetCaption(uxTranslateString(kq::kAddRemove));
  bool allowed = bar && bar->AllowQuickCustomizing();
  FQuickSubItem->SetEnabled(allowed);
  if (allowed) FQuickSubItem->OnPopup = TNotifyEvent(this, &TkxBarQuickControl::FillQuickSubItem);
  // the links that did not fit
  if (TkxBarItemLinks* links = Toolbar->ItemLinks())
    for (int i = 0; i < links->VisibleItemCount(); ++i) {
      TkxBarItemLink* l = links->VisibleItems(i);
      TRect r = l->ItemRect();
      if (l->ShownIndex() >= 0 && !(l->Control() && IsRectEmpty(&r))) continue;
      TkxBarItemLink* copy = FLinks->Add();
      copy->Assign(l);
      copy->SetSourceLink(l);
    }
  TkxBarItemLink* sub = FLinks->Add();
  sub->SetItem(FQuickSubItem);
  sub->SetBeginGroup(true);
}

TkxBarQuickControl::~TkxBarQuickControl() {
  if (kq::gCloseTimer) KillTimer(nullptr, kq::gCloseTimer);
  kq::gCloseTimer = 0;
  if (kq::gQuick == this) kq::gQuick = nullptr;
  if (HandleAllocated()) DestroyHandle();
  SetItemLinks(nullptr);
  FLinks.reset();
  if (FQuickCustItem) FQuickCustItem->Free();
  FQuickCustItem = nullptr;
}

HBRUSH TkxBarQuickControl::BkBrush() const {
  return Painter()->GetQuickControlBkBrush(const_cast<TkxBarQuickControl*>(this));
}

void TkxBarQuickControl::ShowAtMark(const TRect& Mark) {
  TkxBarControl* t = FOwnerToolbar;
  SetParentBar(t);
  t->SetChildMenu(this);
  bool vertical = kxBarIsVerticalToolbar(t);
  if (vertical) {
    SetOwnerWidth(Mark.Width());
    SetBounds(Mark.right, Mark.top, Width(), Height());
  } else {
    SetOwnerHeight(Mark.Height());
    SetBounds(Mark.left, Mark.bottom, Width(), Height());
  }
  TkxBarControlRef self = kxBarRef(this);
  kxBarShowSubMenu(this);
  if (!kxBarIsBarControlAlive(self) || !HandleAllocated()) return;
  TRect w = GetWindowRect();
  int W = w.Width(), H = w.Height();
  int x, y;
  if (vertical) {
    x = Mark.right;
    y = Mark.top;
  } else if (t->DockingStyle() != dsNone || !Painter()->AlignsQuickControlLeft()) {
    x = Mark.right - W;
    y = Mark.bottom;
  } else {
    x = Mark.left;
    y = Mark.bottom;
  }
  TRect a = kxBarGetWorkArea(TPoint{x, y});
  if (vertical) {
    if (x + W > a.right) x = Mark.left - W;
    y = std::max(y, int(a.top));
    if (y + H > a.bottom) y = a.bottom - H;
  } else {
    x = std::max(x, int(a.left));
    if (x + W > a.right) x = a.right - W;
    if (y + H > a.bottom) y = Mark.top - H;
  }
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, W, H, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  // a rebuild keeps it here
  FFirstLeft = x;
  FFirstTop = y;
}

void TkxBarQuickControl::Close() {
  if (FOwnerToolbar) FOwnerToolbar->SetMarkState(0);
}

void TkxBarQuickControl::StartCloseTimer() {
  if (!kq::gCloseTimer) kq::gCloseTimer = SetTimer(nullptr, 0, 200, kq::CloseTimerProc);
}

void TkxBarManager::QuickResetClick(TObject* Sender) {
  auto* item = dynamic_cast<TkxBarItem*>(Sender);
  if (item && FBars && item->Tag() >= 0 && item->Tag() < FBars->Count())
    FBars->Items(int(item->Tag()))->ResetWithConfirmation();
}

void TkxBarQuickControl::FillQuickSubItem(TObject*) {
  kxBarFreeTempItems();
  TkxBarItemLinks* rows = FQuickSubItem->ItemLinks();
  rows->Clear();
  TkxBarManager* m = BarManager();
  TCustomForm* form = m ? m->OwnerForm() : nullptr;
  if (FQuickCustItem) FQuickCustItem->Free();
  FQuickCustItem = new TkxBarQuickCustItem(form);
  FQuickCustItem->SetBarManager(m);
  if (TkxBarItemLinks* links = FOwnerToolbar->ItemLinks())
    for (int i = 0; i < links->AvailableItemCount(); ++i) {
      TkxBarItemLink* l = links->AvailableItems(i);
      if (l->Control() && !l->Control()->IsOwnItem()) continue;
      TkxBarItemLink* row = rows->Add();
      row->SetItem(FQuickCustItem);
      row->SetOriginalLink(l);
    }
  bool reset = false;
  TkxBar* bar = FOwnerToolbar->Bar();
  if (m && bar && m->CanReset() && bar->CanReset()) {
    auto* button = new TkxBarQuickCustExtButton(form);
    button->SetBarManager(m);
    kxBarAddTempItem(button);
    button->SetCaption(uxTranslateString(kq::kResetToolbar));
    // Choosing the entry closes the menu chain, and this window with it,
    // before the click runs: the manager resets the bar named by the tag.
    button->SetTag(bar->Index());
    button->OnClick = TNotifyEvent(m, &TkxBarManager::QuickResetClick);
    TkxBarItemLink* l = rows->Add();
    l->SetItem(button);
    l->SetBeginGroup(true);
    reset = true;
  }
  if (m) m->AddCustomizeItem(rows, !reset, TkxBarQuickCustExtButton::StaticClass());
}

// ===========================================================================
// rows

void TkxBarQuickCustItem::DoClick() {
  TkxBarButton::DoClick();
  if (TkxBarItemLink* row = ClickItemLink())
    if (TkxBarItemLink* l = row->OriginalLink()) l->SetVisible(!l->Visible());
}

AnsiString TkxBarQuickCustItemControl::GetCaption() {
  TkxBarItemLink* l = OriginalLink();
  return l ? l->Caption() : TkxBarButtonControl::GetCaption();
}

TBitmap* TkxBarQuickCustItemControl::GetGlyph() {
  TkxBarItemLink* l = OriginalLink();
  return l ? l->Glyph() : TkxBarButtonControl::GetGlyph();
}

int TkxBarQuickCustItemControl::GetImageIndex() {
  TkxBarItemLink* l = OriginalLink();
  return l && l->Item() ? l->Item()->GetImageIndex() : TkxBarButtonControl::GetImageIndex();
}

TCustomImageList* TkxBarQuickCustItemControl::GetImages(bool Small) {
  TkxBarItemLink* l = OriginalLink();
  return l && l->Item() ? l->Item()->GetImages() : TkxBarButtonControl::GetImages(Small);
}

AnsiString TkxBarQuickCustItemControl::GetHint() {
  TkxBarItemLink* l = OriginalLink();
  return l && l->Item() ? l->Item()->Hint() : TkxBarButtonControl::GetHint();
}

TShortCut TkxBarQuickCustItemControl::GetShortCut() {
  TkxBarItemLink* l = OriginalLink();
  return l && l->Item() ? l->Item()->ShortCut() : TkxBarButtonControl::GetShortCut();
}

void TkxBarQuickCustItemControl::Click(bool Flag) {
  TuxObjectLink* self = uxAddObjectLink(this);
  TkxBarButtonControl::Click(Flag);
  if (self->Ref) Repaint();
  uxRemoveObjectLink(self);
}

int TkxBarQuickCustItemControl::CalcButtonWidth() { return TkxBarButtonControl::CalcButtonWidth() + CalcButtonHeight(); }

void TkxBarQuickCustItemControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  TkxBarItemLink* l = OriginalLink();
  kq::PaintRow(this, DC, R, PaintKind, l && l->Visible());
}

int TkxBarQuickCustExtButtonControl::GetTextIndent() {
  return CalcButtonHeight() + TkxBarButtonControl::GetTextIndent();
}

int TkxBarQuickCustExtButtonControl::CalcButtonWidth() {
  return TkxBarButtonControl::CalcButtonWidth() + CalcButtonHeight();
}

void TkxBarQuickCustExtButtonControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  kq::PaintRow(this, DC, R, PaintKind, false);
}

// ===========================================================================
// registration

void kxBarRegisterQuickItems() {
  kxBarRegisterItemClass(TkxBarQuickCustExtButton::StaticClass(), TkxBarQuickCustExtButtonControl::StaticClass(),
                         false);
  kxBarRegisterItemClass(TkxBarQuickCustItem::StaticClass(), TkxBarQuickCustItemControl::StaticClass(), false);
  kxBarRegisterItemClass(TkxBarQuickSubItem::StaticClass(), TkxBarSubItemControl::StaticClass(), false);
}

void kxBarUnregisterQuickItems() {
  kxBarUnregisterItemClass(TkxBarQuickSubItem::StaticClass());
  kxBarUnregisterItemClass(TkxBarQuickCustItem::StaticClass());
  kxBarUnregisterItemClass(TkxBarQuickCustExtButton::StaticClass());
}
