// Controls of the form hosted inside toolbars: the item that holds the
// control, the borderless place form the control sits on inside the bar
// window, and the item control that places it where its link is drawn.
#include <algorithm>

#include "bars/kxbaritemsext.h"
#include "platform/rtl/strings.h"

namespace kxbaritemsctl {

// 不能为相同控件指定多个TkxBarControlContainerItem值.
const char* const kDuplicateControl =
    "\xB2\xBB\xC4\xDC\xCE\xAA\xCF\xE0\xCD\xAC\xBF\xD8\xBC\xFE\xD6\xB8\xB6\xA8\xB6\xE0\xB8\xF6"
    "TkxBarControlContainerItem\xD6\xB5.";
const char* const kDesignPlace = "\xB4\xCB\xCE\xBB\xD6\xC3\xCA\xC7:";  // 此位置是:

bool EmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

TColor BrushColor(HBRUSH Brush) {
  LOGBRUSH lb{};
  if (Brush && GetObjectA(Brush, sizeof(lb), &lb) == int(sizeof(lb))) return TColor(lb.lbColor);
  return clBtnFace;
}

}  // namespace kxbaritemsctl

using namespace kxbaritemsctl;

// ===========================================================================
// TPlaceForm

void TPlaceForm::WMEraseBkgndPlace(TWMEraseBkgnd& Message) {
  HDC dc = Message.DC();
  TRect client = ClientRect();
  TCustomkxBarControl* bar = FContainerControl ? FContainerControl->Parent() : nullptr;
  if (bar && bar->HandleAllocated()) {
    // the bar's own fill, shifted so that gradients and bitmaps meet the bar's
    POINT old{};
    OffsetViewportOrgEx(dc, -Left(), -Top(), &old);
    TRect r = client;
    OffsetRect(&r, Left(), Top());
    bar->FillBackground(dc, r, true, bar->BkBrush(), nullptr);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
  } else {
    HBRUSH b = CreateSolidBrush(ColorToRGB(Brush()->Color()));
    FillRect(dc, &client, b);
    DeleteObject(b);
  }
  Message.Result = 1;
}

// ===========================================================================
// TkxBarControlContainerItem

TkxBarControlContainerItem::TkxBarControlContainerItem(TComponent* AOwner) : TkxBarItem(AOwner) {
  FPlaceForm = new TPlaceForm(nullptr);
  FPlaceForm->SetBorderStyle(bsNone);
}

TkxBarControlContainerItem::~TkxBarControlContainerItem() {
  TControl* old = FControl;
  SetControl(nullptr);
  // the place form frees its children: a control of the form that is still on
  // it (the form is going) leaves it first
  if (old && old->Parent() == FPlaceForm) old->SetParent(nullptr);
  TPlaceForm* f = FPlaceForm;
  FPlaceForm = nullptr;
  f->Free();
}

bool TkxBarControlContainerItem::AnyPlacing() const {
  for (TkxBarItemLink* l : FLinks)
    if (auto* c = dynamic_cast<TkxBarControlContainerControl*>(l->Control()))
      if (c->Placing()) return true;
  return false;
}

void TkxBarControlContainerItem::SetControl(TControl* Value) {
  if (Value && FBarManager)
    for (int i = 0; i < FBarManager->ItemCount(); ++i) {
      auto* other = dynamic_cast<TkxBarControlContainerItem*>(FBarManager->GetItem(i));
      if (other && other != this && other->FControl == Value) throw EkxBarError(kDuplicateControl);
    }
  if (Value == FControl) return;
  if (FControl) {
    FControl->WindowProc = FSavedWndProc;
    FSavedWndProc = TWndMethod();
    if (!FControl->ComponentState().Contains(csDestroying) && !(FBarManager && FBarManager->IsDesigning()))
      FControl->SetParent(nullptr);
    FControl->RemoveFreeNotification(this);
  }
  FControl = Value;
  if (FControl) {
    FControl->FreeNotification(this);
    FSavedWndProc = FControl->WindowProc;
    FControl->WindowProc = TWndMethod(this, &TkxBarControlContainerItem::ControlWndProc);
    FLastWidth = FControl->Width();
    FLastHeight = FControl->Height();
  }
  RebuildWindows();
}

void TkxBarControlContainerItem::ControlWndProc(TMessage& Message) {
  if (FSavedWndProc) FSavedWndProc(Message);
  if (!FControl || AnyPlacing()) return;
  bool sized = Message.Msg == WM_SIZE || (Message.Msg == WM_WINDOWPOSCHANGED && Message.LParam == 0);
  if (!sized || (FControl->Width() == FLastWidth && FControl->Height() == FLastHeight)) return;
  FLastWidth = FControl->Width();
  FLastHeight = FControl->Height();
  RebuildWindows();
}

void TkxBarControlContainerItem::Notification(TComponent* AComponent, TOperation Operation) {
  TkxBarItem::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent || AComponent != FControl) return;
  // the control is being freed: its own parts are gone, nothing of it is touched
  FControl = nullptr;
  FSavedWndProc = TWndMethod();
  if (!IsDestroying()) RebuildWindows();
}

void TkxBarControlContainerItem::SetName(const AnsiString& NewName) {
  TkxBarItem::SetName(NewName);
  // the placeholder shows the name
  if (!FControl && !IsLoading()) RebuildWindows();
}

bool TkxBarControlContainerItem::CanUseAccel(TkxBarItemLink* Link) const {
  return Link && Link->Control() && Link->Control()->IsInQuickControl();
}

void TkxBarControlContainerItem::HideHostedWindowFor(TkxBarControlContainerControl* Control) {
  if (!Control || !FPlaceForm || !Control->ShowsControl() || !Control->ParentedHere()) return;
  FPlaceForm->SetVisible(false);
  FPlaceForm->SetParentWindow(nullptr);
}

void TkxBarControlContainerItem::HideHostedWindow(TCustomkxBarControl* Control) {
  TkxBarControlContainerControl* shown = FPlaceForm ? FPlaceForm->ContainerControl() : nullptr;
  if (shown && shown->Parent() == Control) HideHostedWindowFor(shown);
}

// ===========================================================================
// TkxBarControlContainerControl

TkxBarControlContainerControl::~TkxBarControlContainerControl() {
  TkxBarControlContainerItem* item = ContainerItem();
  if (!item) return;
  item->HideHostedWindowFor(this);
  if (TPlaceForm* f = item->PlaceForm())
    if (f->ContainerControl() == this) f->SetContainerControl(nullptr);
}

TkxBarControlContainerItem* TkxBarControlContainerControl::ContainerItem() const {
  return dynamic_cast<TkxBarControlContainerItem*>(Item());
}

TControl* TkxBarControlContainerControl::HostedControl() const {
  TkxBarControlContainerItem* item = ContainerItem();
  return item ? item->Control() : nullptr;
}

TPlaceForm* TkxBarControlContainerControl::PlaceForm() const {
  TkxBarControlContainerItem* item = ContainerItem();
  return item ? item->PlaceForm() : nullptr;
}

bool TkxBarControlContainerControl::ParentedHere() const {
  TPlaceForm* f = PlaceForm();
  return f && FParent && FParent->HandleAllocated() && f->ParentWindow() == FParent->Handle();
}

bool TkxBarControlContainerControl::ShowsControl() const {
  TkxBarManager* m = BarManager();
  return !IsInQuickControl() && HostedControl() && !(m && m->IsDesigning());
}

void TkxBarControlContainerControl::ReleaseWindows() {
  TPlaceForm* f = PlaceForm();
  if (!f || !ParentedHere()) return;
  if (auto* w = dynamic_cast<TWinControl*>(HostedControl())) w->DestroyHandle();
  f->SetVisible(false);
  f->SetParentWindow(nullptr);
}

void TkxBarControlContainerControl::VisibleRangeChanged(bool InRange) {
  TPlaceForm* f = PlaceForm();
  if (!FPlaced || !f || f->Visible() == InRange) return;
  f->SetVisible(InRange);
}

bool TkxBarControlContainerControl::IsSelectable() {
  if (IsInQuickControl()) return true;
  TkxBarManager* m = BarManager();
  return m && m->IsDesigning();
}

int TkxBarControlContainerControl::GetHeight() {
  if (!FParent) return 0;
  if (IsInQuickControl()) return FParent->TextRowHeight();
  if (TControl* c = HostedControl()) return c->Height();
  int h = FParent->TextRowHeight();
  TkxBarManager* m = BarManager();
  if (!FParent->IsMenuWindow() && m) h = std::max(h, m->ButtonHeight());
  return h;
}

int TkxBarControlContainerControl::GetWidth() {
  if (!FParent) return 0;
  HDC dc = FParent->HandleAllocated() ? FParent->FontDC() : nullptr;
  auto textWidth = [dc](const AnsiString& S) {
    SIZE s{};
    if (dc) GetTextExtentPoint32A(dc, S.c_str(), int(S.size()), &s);
    return int(s.cx);
  };
  TkxBarManager* m = BarManager();
  int fontSize = FParent->Font()->Size();
  if (IsInQuickControl())
    return textWidth(kxBarStripAccelChars(GetCaption())) + (m ? m->ButtonWidth() + 4 : fontSize);
  if (TControl* c = HostedControl()) return c->Width();
  int w = textWidth(Item() ? Item()->Name() : AnsiString());
  if (FParent->IsMenuWindow()) {
    int extra = 0;
    GetPainter()->AdjustMenuItemWidth(this, extra);
    return w + 2 * FParent->TextRowHeight() + extra + 6;
  }
  return w + fontSize;
}

void TkxBarControlContainerControl::DrawPlaceholder(HDC DC, const TRect& R) {
  HBRUSH frame = GetSysColorBrush(COLOR_BTNSHADOW);
  FrameRect(DC, &R, frame);
  TRect in{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
  if (!EmptyRect(in)) {
    COLORREF oldBk = SetBkColor(DC, ColorToRGB(BrushColor(FParent->BkBrush())));
    int oldMode = SetBkMode(DC, OPAQUE);
    HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, GetSysColor(COLOR_BTNSHADOW));
    FillRect(DC, &in, hatch);
    DeleteObject(hatch);
    SetBkMode(DC, oldMode);
    SetBkColor(DC, oldBk);
  }
  TkxBarManager* m = BarManager();
  AnsiString text;
  if (m && m->IsDesigning()) text = AnsiString(kDesignPlace) + (HostedControl() ? HostedControl()->Name() : AnsiString());
  else text = Item() ? Item()->Name() : AnsiString();
  int oldMode = SetBkMode(DC, TRANSPARENT);
  COLORREF oldColor = SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
  RECT tr{R.left, R.top, R.right, R.bottom};
  DrawTextA(DC, text.c_str(), int(text.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SetTextColor(DC, oldColor);
  SetBkMode(DC, oldMode);
}

void TkxBarControlContainerControl::PlaceControl() {
  TkxBarControlContainerItem* item = ContainerItem();
  TPlaceForm* f = PlaceForm();
  TControl* control = HostedControl();
  if (!item || !f || !control || !FParent || FPlacing || item->AnyPlacing()) return;
  FPlacing = true;
  try {
    TRect r = ItemRect();
    bool empty = EmptyRect(r);
    if (!empty || item->LinkCount() == 1) f->SetParentWindow(FParent->Handle());
    if (!empty || ParentedHere()) f->SetBounds(r.left, r.top, r.Width(), r.Height());
    control->SetParent(f);
    if (!empty) {
      control->SetBoundsRect(f->ClientRect());
      control->SetVisible(true);
    }
    f->Brush()->SetColor(BrushColor(FParent->BkBrush()));
    f->SetContainerControl(this);
    f->SetVisible(true);
    FPlaced = true;
  } catch (...) {
    FPlacing = false;
    throw;
  }
  FPlacing = false;
}

void TkxBarControlContainerControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  if (!FParent) return;
  if (IsInQuickControl()) {
    bool selected = IsSelected();
    TRect row = R, check{};
    GetPainter()->CalcQuickCustCheckRect(this, DC, selected, row, check);
    GetPainter()->DrawQuickCustCheck(this, DC, selected, check, row);
    DrawCaption(DC, GetCaption(), false, true, false, selected, true, 0, row);
    return;
  }
  TkxBarManager* m = BarManager();
  if (!HostedControl() || (m && m->IsDesigning())) {
    DrawPlaceholder(DC, R);
    return;
  }
  PlaceControl();
}
