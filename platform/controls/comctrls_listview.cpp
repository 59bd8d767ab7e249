// TListView: items in rows of large or small icons, drawn by the control.
#include <algorithm>

#include "platform/controls/comctrls.h"
#include "platform/rtl/exceptions.h"

namespace {
constexpr int kIconSpacing = 75;  // the width of a large-icon cell
constexpr int kTextLines = 2;     // caption lines under a large icon
}  // namespace

// ---------------------------------------------------------------------------
// TListItem

TCustomListView* TListItem::ListView() const { return FOwner ? FOwner->Owner() : nullptr; }

void TListItem::SetCaption(const AnsiString& Value) {
  FCaption = Value;
  if (TCustomListView* lv = ListView()) lv->ItemsChanged();
}

void TListItem::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (TCustomListView* lv = ListView()) lv->Invalidate();
}

bool TListItem::Selected() const {
  TCustomListView* lv = ListView();
  return lv && lv->Selected() == this;
}

void TListItem::SetSelected(bool Value) {
  TCustomListView* lv = ListView();
  if (!lv) return;
  if (Value)
    lv->SetSelected(this);
  else if (lv->Selected() == this)
    lv->SetSelected(nullptr);
}

bool TListItem::Focused() const {
  TCustomListView* lv = ListView();
  return lv && lv->ItemFocused() == this;
}

void TListItem::SetFocused(bool Value) {
  TCustomListView* lv = ListView();
  if (!lv) return;
  if (Value)
    lv->SetItemFocused(this);
  else if (lv->ItemFocused() == this)
    lv->SetItemFocused(nullptr);
}

int TListItem::Index() const { return FOwner ? FOwner->IndexOf(this) : -1; }

TRect TListItem::DisplayRect() const {
  TCustomListView* lv = ListView();
  return lv ? lv->ItemRect(Index()) : TRect{};
}

void TListItem::MakeVisible() {
  if (TCustomListView* lv = ListView()) lv->MakeItemVisible(this);
}

void TListItem::Delete() {
  if (FOwner) FOwner->Delete(Index());
}

// ---------------------------------------------------------------------------
// TListItems

TListItems::~TListItems() = default;

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int Index) {
  if (Index < 0 || Index > Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  auto* item = new TListItem(this);
  FItems.insert(FItems.begin() + Index, std::unique_ptr<TListItem>(item));
  if (FOwner) FOwner->ItemsChanged();
  return item;
}

void TListItems::Delete(int Index) {
  TListItem* item = Item(Index);
  if (FOwner) FOwner->ItemDeleting(item);
  // Found again: the deletion handler may have changed the list.
  int at = IndexOf(item);
  if (at < 0) return;
  std::unique_ptr<TListItem> keep = std::move(FItems[at]);
  FItems.erase(FItems.begin() + at);
  keep.reset();
  if (FOwner) FOwner->ItemsChanged();
}

void TListItems::Clear() {
  BeginUpdate();
  try {
    while (Count()) Delete(Count() - 1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TListItem* TListItems::Item(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[Index].get();
}

int TListItems::IndexOf(const TListItem* Value) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i].get() == Value) return i;
  return -1;
}

void TListItems::BeginUpdate() { ++FUpdateCount; }

void TListItems::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FOwner) FOwner->ItemsChanged();
}

// ---------------------------------------------------------------------------
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner)
    : TCustomControl(AOwner),
      FItems(std::make_unique<TListItems>(this)),
      FLargeLink(std::make_unique<TChangeLink>()),
      FSmallLink(std::make_unique<TChangeLink>()) {
  SetBounds(Left(), Top(), 250, 150);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  FLargeLink->OnChange = TNotifyEvent(this, &TCustomListView::ImagesChange);
  FSmallLink->OnChange = TNotifyEvent(this, &TCustomListView::ImagesChange);
}

TCustomListView::~TCustomListView() {
  SetLargeImages(nullptr);
  SetSmallImages(nullptr);
  FSelected = FFocused = nullptr;
  OnDeletion = nullptr;
  OnSelectItem = nullptr;
  FItems.reset();
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
  if (FViewStyle == Value) return;
  FViewStyle = Value;
  ItemsChanged();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
  if (FLargeImages == Value) return;
  if (FLargeImages) {
    FLargeImages->UnRegisterChanges(FLargeLink.get());
    FLargeImages->RemoveFreeNotification(this);
  }
  FLargeImages = Value;
  if (Value) {
    Value->RegisterChanges(FLargeLink.get());
    Value->FreeNotification(this);
  }
  if (FItems) ItemsChanged();
}

void TCustomListView::SetSmallImages(TCustomImageList* Value) {
  if (FSmallImages == Value) return;
  if (FSmallImages) {
    FSmallImages->UnRegisterChanges(FSmallLink.get());
    FSmallImages->RemoveFreeNotification(this);
  }
  FSmallImages = Value;
  if (Value) {
    Value->RegisterChanges(FSmallLink.get());
    Value->FreeNotification(this);
  }
  if (FItems) ItemsChanged();
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FLargeImages) {
    FLargeImages = nullptr;
    ItemsChanged();
  }
  if (AComponent == FSmallImages) {
    FSmallImages = nullptr;
    ItemsChanged();
  }
}

void TCustomListView::ImagesChange(TObject*) { ItemsChanged(); }

void TCustomListView::SetHideSelection(bool Value) {
  FHideSelection = Value;
  Invalidate();
}

void TCustomListView::SetSelected(TListItem* Value) {
  if (Value && Value->ListView() != this) return;
  if (FSelected == Value) return;
  TListItem* old = FSelected;
  FSelected = Value;
  if (Value) FFocused = Value;
  Invalidate();
  if (old && OnSelectItem) OnSelectItem(this, old, false);
  if (Value && OnSelectItem) OnSelectItem(this, Value, true);
}

void TCustomListView::SetItemFocused(TListItem* Value) {
  if (Value && Value->ListView() != this) return;
  FFocused = Value;
  Invalidate();
}

void TCustomListView::SetItemIndex(int Value) {
  SetSelected(Value >= 0 && Value < FItems->Count() ? FItems->Item(Value) : nullptr);
}

void TCustomListView::ItemsChanged() {
  if (!FItems) return;
  ClampOffset();
  Invalidate();
}

void TCustomListView::ItemDeleting(TListItem* Item) {
  if (OnDeletion) OnDeletion(this, Item);
  // A deleted item is never left selected or focused.
  if (FSelected == Item) SetSelected(nullptr);
  if (FFocused == Item) FFocused = nullptr;
}

// ---- layout ----

TSize TCustomListView::CellSize() {
  // Measured on a memory DC, so a view without a window measures alike.
  HDC dc = CreateCompatibleDC(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc);
  TSize size = MeasureCell(&canvas);
  canvas.SetHandle(nullptr);
  DeleteDC(dc);
  return size;
}

TSize TCustomListView::MeasureCell(TCanvas* c) {
  c->SetFont(Font());
  int th = c->TextHeight("Wg");
  if (FViewStyle == vsIcon) {
    int iw = FLargeImages ? FLargeImages->Width() : 32;
    int ih = FLargeImages ? FLargeImages->Height() : 32;
    return {std::max(kIconSpacing, iw + 8), ih + 4 + kTextLines * th + 6};
  }
  int iw = FSmallImages ? FSmallImages->Width() : 16;
  int ih = FSmallImages ? FSmallImages->Height() : 16;
  int widest = 0;
  for (int i = 0; i < FItems->Count(); ++i) widest = std::max(widest, c->TextWidth(FItems->Item(i)->Caption()));
  int w = iw + 4 + widest + 8;
  return {std::min(w, std::max(iw + 8, ClientWidth())), std::max(ih, th) + 2};
}

int TCustomListView::ItemsPerRow() { return std::max(1, ClientWidth() / std::max(1, int(CellSize().cx))); }

TRect TCustomListView::ItemRect(int Index) {
  if (Index < 0 || Index >= FItems->Count()) return {};
  TSize cell = CellSize();
  int per = ItemsPerRow();
  int x = (Index % per) * cell.cx, y = (Index / per) * cell.cy - FTopOffset;
  return {x, y, x + int(cell.cx), y + int(cell.cy)};
}

TListItem* TCustomListView::GetItemAt(int X, int Y) {
  if (X < 0 || Y < 0 || FItems->Count() == 0) return nullptr;
  TSize cell = CellSize();
  int per = ItemsPerRow();
  int col = X / cell.cx, row = (Y + FTopOffset) / cell.cy;
  if (col >= per) return nullptr;
  int index = row * per + col;
  return index < FItems->Count() ? FItems->Item(index) : nullptr;
}

int TCustomListView::ContentHeight() {
  int per = ItemsPerRow();
  int rows = (FItems->Count() + per - 1) / per;
  return rows * CellSize().cy;
}

void TCustomListView::ClampOffset() {
  int most = std::max(0, ContentHeight() - ClientHeight());
  FTopOffset = std::clamp(FTopOffset, 0, most);
}

void TCustomListView::Scroll(int DY) {
  int old = FTopOffset;
  FTopOffset += DY;
  ClampOffset();
  if (FTopOffset != old) Invalidate();
}

void TCustomListView::MakeItemVisible(TListItem* Item) {
  TRect r = ItemRect(Item->Index());
  if (r.top < 0)
    Scroll(r.top);
  else if (r.bottom > ClientHeight())
    Scroll(std::min(r.top, r.bottom - ClientHeight()));
}

void TCustomListView::Resize() {
  ClampOffset();
  Invalidate();
  TCustomControl::Resize();
}

// ---- input ----

void TCustomListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus() && !Focused()) SetFocus();
  TListItem* item = GetItemAt(X, Y);
  // A left click on empty space clears the selection; a right click keeps it.
  if (item || Button == mbLeft) SetSelected(item);
  if (item) MakeItemVisible(item);
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListView::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  int n = FItems->Count();
  if (Key == 0 || n == 0) return;
  int per = ItemsPerRow();
  int cur = FFocused ? FFocused->Index() : -1;
  int next = cur;
  switch (Key) {
    case VK_LEFT: next = cur < 0 ? 0 : std::max(0, cur - 1); break;
    case VK_RIGHT: next = cur < 0 ? 0 : std::min(n - 1, cur + 1); break;
    case VK_UP: next = cur < 0 ? 0 : (cur - per >= 0 ? cur - per : cur); break;
    case VK_DOWN: next = cur < 0 ? 0 : (cur + per < n ? cur + per : cur); break;
    case VK_HOME: next = 0; break;
    case VK_END: next = n - 1; break;
    default: return;
  }
  Key = 0;
  if (next < 0) return;
  SetSelected(FItems->Item(next));
  MakeItemVisible(FItems->Item(next));
}

bool TCustomListView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  Scroll(-WheelDelta / WHEEL_DELTA * CellSize().cy);
  return true;
}

void TCustomListView::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomListView::DoEnter() {
  Invalidate();
  TCustomControl::DoEnter();
}

void TCustomListView::DoExit() {
  Invalidate();
  TCustomControl::DoExit();
}

// ---- painting ----

void TCustomListView::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(client);
  c->SetFont(Font());
  bool focused = Focused();
  bool large = FViewStyle == vsIcon;
  TCustomImageList* images = large ? FLargeImages : FSmallImages;
  int iw = images ? images->Width() : (large ? 32 : 16);
  int ih = images ? images->Height() : (large ? 32 : 16);
  int th = c->TextHeight("Wg");
  for (int i = 0; i < FItems->Count(); ++i) {
    TRect cell = ItemRect(i);
    if (cell.bottom <= 0 || cell.top >= client.bottom) continue;
    TListItem* item = FItems->Item(i);
    bool selected = item == FSelected && (focused || !FHideSelection);
    TRect text;
    if (large) {
      if (images && item->ImageIndex() >= 0) images->Draw(c, cell.left + (cell.Width() - iw) / 2, cell.top + 2, item->ImageIndex());
      text = {cell.left + 2, cell.top + 2 + ih + 4, cell.right - 2, cell.bottom - 2};
      // The caption is centred under the icon in at most two lines (all of it when selected).
      TRect calc = text;
      c->TextRect(calc, item->Caption(), DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
      int w = std::min(calc.Width(), text.Width());
      int h = selected ? calc.Height() : std::min(calc.Height(), kTextLines * th);
      text = {text.left + (text.Width() - w) / 2, text.top, text.left + (text.Width() - w) / 2 + w, text.top + h};
    } else {
      int y = cell.top + (cell.Height() - ih) / 2;
      if (images && item->ImageIndex() >= 0) images->Draw(c, cell.left + 2, y, item->ImageIndex());
      int tw = c->TextWidth(item->Caption());
      text = {cell.left + 2 + iw + 2, cell.top + 1, std::min(cell.left + 2 + iw + 2 + tw + 4, int(cell.right)),
              cell.bottom - 1};
    }
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(selected ? (focused ? clHighlight : clBtnFace) : Color());
    c->FillRect(text);
    c->Font()->SetColor(selected && focused ? clHighlightText : Font()->Color());
    c->Brush()->SetStyle(bsClear);
    TRect tr = large ? text : TRect{text.left + 2, text.top, text.right, text.bottom};
    UINT flags = large ? (DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS)
                       : (DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    c->TextRect(tr, item->Caption(), flags);
    c->Font()->SetColor(Font()->Color());
    if (focused && item == FFocused) c->DrawFocusRect(text);
  }
}
