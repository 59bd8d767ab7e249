#include "inplace/kximage.h"

#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
// The image index kept in an item's object slot.
TObject* IndexObject(int Index) { return reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Index)); }
int ObjectIndex(TObject* O) { return int(reinterpret_cast<std::intptr_t>(O)); }

int ParseIndex(const AnsiString& S) {
  int v = -1;
  return TryStrToInt(Trim(S), v) ? v : -1;
}

}  // namespace

bool kxFocusForPopupList(TkxInplaceDropDownEdit* Editor) {
  if (!Editor->HandleAllocated()) return false;
  ::SetFocus(Editor->Handle());
  return GetFocus() == Editor->Handle();
}

void kxPreparePopupList(TkxInplaceDropDownEdit* Editor, TCustomkxPopupListBox* List) {
  List->SetOwnerControl(Editor);
  List->SetColor(Editor->Color());
  List->Font()->Assign(Editor->Font());
  List->SetPopupBorder(Editor->GetPopupBorder());
  List->SetShadow(Editor->Style()->Shadow());
}

void kxShowPopupList(TCustomkxPopupListBox* List) {
  SetWindowPos(List->Handle(), HWND_TOPMOST, List->Left(), List->Top(), 0, 0,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
}

void kxHidePopupList(TkxInplaceDropDownEdit* Editor, TCustomkxPopupListBox* List) {
  if (HWND cap = GetCapture()) SendMessageA(cap, WM_CANCELMODE, 0, 0);
  Editor->FocusIfPossible();
  SetWindowPos(List->Handle(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- TCustomkxPopupListBox ----

TCustomkxPopupListBox::TCustomkxPopupListBox(TComponent* AOwner) : TCustomListBox(AOwner) {
  SetStyle(lbOwnerDrawFixed);
  FVisible = false;
  FTabStop = false;
}

void TCustomkxPopupListBox::CreateParams(TCreateParams& Params) {
  TCustomListBox::CreateParams(Params);
  // A topmost tool window on the desktop, owned by the editor, that never takes the activation.
  Params.Style = (Params.Style & ~DWORD(WS_CHILD | WS_BORDER | WS_TABSTOP)) | WS_POPUP;
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  Params.WindowClass.style = CS_SAVEBITS;
  Params.WndParent = FOwnerControl && FOwnerControl->HandleAllocated() ? FOwnerControl->Handle() : nullptr;
}

void TCustomkxPopupListBox::CreateWndDone() {
  TCustomListBox::CreateWndDone();
  if (FOwnerControl && FOwnerControl->HandleAllocated()) ListBoxSetNotifyWindow(Handle(), FOwnerControl->Handle());
  // Drawn as focused, though it never takes the focus.
  CallWindowProcA(DefWndProc(), Handle(), WM_SETFOCUS, 0, 0);
  UpdateItemHeight();
}

void TCustomkxPopupListBox::SetPopupBorder(TkxPopupBorder Value) {
  if (FPopupBorder == Value) return;
  FPopupBorder = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomkxPopupListBox::SetShadow(bool Value) {
  if (FShadow == Value) return;
  FShadow = Value;
  if (HandleAllocated()) RecreateWnd();
}

int TCustomkxPopupListBox::MeasureItemHeight() { return kxFontTextExtent(Font(), "Wg").cy; }

void TCustomkxPopupListBox::UpdateItemHeight() {
  // Every item has the measured height; the window takes it without being made again.
  FItemPixelHeight = std::max(1, MeasureItemHeight());
  FItemHeight = FItemPixelHeight;
  if (HandleAllocated()) SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, FItemHeight);
}

int TCustomkxPopupListBox::NonClientWidth() const {
  return 2 * kxPopupBorderWidth(FPopupBorder) + (FShadow ? FShadowWidth : 0);
}

int TCustomkxPopupListBox::NonClientHeight() const { return NonClientWidth(); }

void TCustomkxPopupListBox::SetClientSizeOfPopup(int W, int H) {
  SetBounds(Left(), Top(), W + NonClientWidth(), H + NonClientHeight());
}

void TCustomkxPopupListBox::MouseMove(TShiftState Shift, int X, int Y) {
  if (FHotTrack) {
    int i = ItemAtPos(kxPoint(X, Y), false);
    if (i >= 0 && i < Count() && i != ItemIndex()) SetItemIndex(i);
  }
  TCustomListBox::MouseMove(Shift, X, Y);
}

void TCustomkxPopupListBox::WMNCCalcSize(TMessage& Message) {
  TCustomListBox::Dispatch(Message);
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  RECT* r = Message.WParam ? &params->rgrc[0] : reinterpret_cast<RECT*>(Message.LParam);
  if (r) kxPopupNCCalcSize(*r, FPopupBorder, FShadowWidth, FShadow);
}

void TCustomkxPopupListBox::WMNCPaint(TMessage& Message) {
  TCustomListBox::Dispatch(Message);
  if (!HandleAllocated()) return;
  LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  kxPaintPopupFrameOnWindow(Handle(), FPopupBorder, FShadowWidth, FShadow,
                            (style & WS_HSCROLL) && (style & WS_VSCROLL));
}

void TCustomkxPopupListBox::WMSize(TWMSize& Message) {
  TCustomListBox::Dispatch(Message);
  if (HandleAllocated()) kxSetShadowWindowRegion(Handle(), FShadow, FShadowWidth);
}

void TCustomkxPopupListBox::WMMouseActivate(TMessage& Message) { Message.Result = MA_NOACTIVATE; }

void TCustomkxPopupListBox::CMHintShow(TMessage& Message) { Message.Result = 1; }

// ---- TkxPopupImageListBox ----

TkxPopupImageListBox::TkxPopupImageListBox(TComponent* AOwner) : TCustomkxPopupListBox(AOwner) {}

void TkxPopupImageListBox::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  if (HandleAllocated()) RecreateWnd();
}

void TkxPopupImageListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxPopupListBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

int TkxPopupImageListBox::MeasureItemHeight() {
  int h = kxFontTextExtent(Font(), "Wg").cy + 5;
  if (FImages && FImages->Height() + 2 > h) h = FImages->Height() + 2;
  return h;
}

void TkxPopupImageListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (Index < 0) {
    TCustomkxPopupListBox::DrawItem(Index, Rect, State);
    return;
  }
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  bool selected = State.Contains(odSelected);
  c->Brush()->SetColor(selected ? clHighlight : Color());
  c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  c->FillRect(Rect);
  HDC dc = c->Handle();
  int w = 0;
  if (FImages) {
    int i = ObjectIndex(Items()->Objects(Index));
    if (i >= 0 && i < FImages->Count())
      kxDrawImageListItem(dc, Rect.left + 1, (Rect.top + Rect.bottom - FImages->Height()) / 2, FImages, i);
    w = FImages->Width();
  }
  AnsiString text = Items()->Strings(Index);
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, c->Font()->Handle());
  SetTextColor(dc, ColorToRGB(c->Font()->Color()));
  if (FMultiLineText) {
    RECT r = Rect;
    InflateRect(&r, -2, -2);
    OffsetRect(&r, w + 1, 0);
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
  } else {
    SIZE sz{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &sz);
    TextOutA(dc, Rect.left + w + 3, (Rect.top + Rect.bottom - sz.cy) / 2, text.c_str(), int(text.size()));
  }
}

// ---- TkxInplaceImageEdit ----

KX_EDIT_CLASS_IMPL(TkxInplaceImageEdit)

void TkxInplaceImageEdit::LookupValueIndexes(const AnsiString& Text, TStrings* ImageIndexes, int& DescriptionIndex,
                                             int& ImageIndex, bool DefaultImages, TStrings* Values,
                                             TStrings* Descriptions) {
  ImageIndex = Values ? Values->IndexOf(Text) : -1;
  DescriptionIndex = Descriptions && ImageIndex >= 0 && ImageIndex < Descriptions->Count() ? ImageIndex : -1;
  if (!DefaultImages && ImageIndexes && ImageIndex >= 0 && ImageIndex < ImageIndexes->Count())
    ImageIndex = ParseIndex(ImageIndexes->Strings(ImageIndex));
}

bool TkxInplaceImageEdit::TClassRef::DrawClient(HDC DC, const TRect& R, bool OwnWindow,
                                                TkxEditViewData* ViewData) const {
  auto* vd = dynamic_cast<TkxImageEditViewData*>(ViewData);
  if (!vd) return TkxInplaceDropDownEdit::TClassRef::DrawClient(DC, R, OwnWindow, ViewData);
  AnsiString text = vd->Value.IsNull() || vd->Value.IsEmpty() ? AnsiString() : VarToStr(vd->Value);
  int d = -1, i = -1;
  LookupValueIndexes(text, vd->ImageIndexes, d, i, vd->DefaultImages, vd->Values, vd->Descriptions);
  const int w = vd->Images ? vd->Images->Width() : 0, h = vd->Images ? vd->Images->Height() : 0;
  const bool valid = vd->Images && i >= 0 && i < vd->Images->Count();
  TRect r = R;
  const bool oldTransparent = vd->Transparent;
  if (vd->ShowDescription) {
    if (d != -1) text = vd->Descriptions->Strings(d);
    if (w > 0) {
      TRect cell = kxRect(r.left, r.top, r.left + w, r.bottom);
      r.left += w;
      if (!vd->CalcHeight) {
        if (!vd->Transparent && vd->Brush) FillRect(DC, &cell, vd->Brush);
        if (valid) kxDrawImageListItem(DC, cell.left, (r.top + r.bottom - h) / 2, vd->Images, i);
      }
    }
  } else {
    if (w > 0) {
      if (!vd->CalcHeight) {
        if (!vd->Transparent && vd->Brush) FillRect(DC, &r, vd->Brush);
        if (valid) kxDrawImageListItem(DC, (r.left + r.right - w) / 2, (r.top + r.bottom - h) / 2, vd->Images, i);
      }
      vd->Transparent = true;
    }
    text.clear();
  }
  Variant oldValue = vd->Value;
  vd->Value = Variant(text);
  vd->DataLength = 0;
  bool result = TkxInplaceDropDownEdit::TClassRef::DrawClient(DC, r, OwnWindow, vd);
  vd->Value = oldValue;
  vd->Transparent = oldTransparent;
  return result;
}

int TkxInplaceImageEdit::TClassRef::GetMinHeight(TkxEditViewData* ViewData) const {
  int h = TkxInplaceDropDownEdit::TClassRef::GetMinHeight(ViewData);
  auto* vd = dynamic_cast<TkxImageEditViewData*>(ViewData);
  if (vd && vd->Images && vd->Images->Height() > h) h = vd->Images->Height();
  return h;
}

TkxInplaceImageEdit::TkxInplaceImageEdit(TComponent* AOwner)
    : TkxInplaceDropDownEdit(AOwner),
      FDescriptions(std::make_unique<TStringList>()),
      FImageIndexes(std::make_unique<TStringList>()),
      FValues(std::make_unique<TStringList>()),
      FImagesLink(std::make_unique<TChangeLink>()),
      FLargeImagesLink(std::make_unique<TChangeLink>()) {
  FControlStyle << csCaptureMouse;
  FListBox = new TkxPopupImageListBox(this);
  FListBox->SetOwnerControl(this);
  FListBox->SetControlStyle(FListBox->ControlStyle() + TControlStyle{csReplicatable});
  FListBox->OnMouseUp = TMouseEvent(static_cast<TkxInplaceDropDownEdit*>(this), &TkxInplaceDropDownEdit::PopupMouseUp);
  ClickToPopup = true;
  FImagesLink->OnChange = TNotifyEvent(this, &TkxInplaceImageEdit::ImagesChanged);
  FLargeImagesLink->OnChange = TNotifyEvent(this, &TkxInplaceImageEdit::ImagesChanged);
}

TkxInplaceImageEdit::~TkxInplaceImageEdit() {
  if (FImages) FImages->UnRegisterChanges(FImagesLink.get());
  if (FLargeImages) FLargeImages->UnRegisterChanges(FLargeImagesLink.get());
}

void TkxInplaceImageEdit::ImagesChanged(TObject*) { LayoutChanged(); }

void TkxInplaceImageEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TkxInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FLargeImages) SetLargeImages(nullptr);
  if (AComponent == FListBox) FListBox = nullptr;
}

void TkxInplaceImageEdit::SetDefaultImages(bool Value) {
  FDefaultImages = Value;
  RepaintEditor();
}

void TkxInplaceImageEdit::SetShowDescription(bool Value) {
  FShowDescription = Value;
  RepaintEditor();
}

void TkxInplaceImageEdit::SetDescriptions(TStrings* Value) {
  FDescriptions->Assign(Value);
  LayoutChanged();
}

void TkxInplaceImageEdit::SetImageIndexes(TStrings* Value) {
  FImageIndexes->Assign(Value);
  LayoutChanged();
}

void TkxInplaceImageEdit::SetValues(TStrings* Value) {
  FValues->Assign(Value);
  LayoutChanged();
}

void TkxInplaceImageEdit::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->UnRegisterChanges(FImagesLink.get());
  FImages = Value;
  if (Value) {
    Value->RegisterChanges(FImagesLink.get());
    Value->FreeNotification(this);
  }
  LayoutChanged();
}

void TkxInplaceImageEdit::SetLargeImages(TCustomImageList* Value) {
  if (FLargeImages) FLargeImages->UnRegisterChanges(FLargeImagesLink.get());
  FLargeImages = Value;
  if (Value) {
    Value->RegisterChanges(FLargeImagesLink.get());
    Value->FreeNotification(this);
  }
  LayoutChanged();
}

void TkxInplaceImageEdit::SetMultiLineText(bool Value) {
  FMultiLineText = Value;
  LayoutChanged();
}

TkxEditViewData* TkxInplaceImageEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceDropDownEdit::CreateViewData(FromData);
  vd->Focused = false;
  if (FMultiLineText) vd->DrawAlignment = kxdaMultiLine;
  if (auto* d = dynamic_cast<TkxImageEditViewData*>(vd)) {
    d->DefaultImages = FDefaultImages;
    d->Descriptions = FDescriptions.get();
    d->ImageIndexes = FImageIndexes.get();
    d->Images = FImages;
    d->ShowDescription = FShowDescription;
    d->Values = FValues.get();
  }
  return vd;
}

void TkxInplaceImageEdit::SetValueText(const AnsiString& Text) {
  if (this->Text() == Text || !IsEditable() || !CanModify()) return;
  SetText(Text);
  SetModified(true);
}

void TkxInplaceImageEdit::StepItem(int Delta, bool) {
  if (ReadOnly() || FValues->Count() == 0) return;
  int v = FValues->IndexOf(Text());
  int n = v < 0 ? 0 : std::max(0, std::min(v + Delta, FValues->Count() - 1));
  SetValueText(FValues->Strings(n));
}

void TkxInplaceImageEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_LEFT || Key == VK_RIGHT) ContainerKeyHook(Key == VK_LEFT);
  TkxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TkxInplaceImageEdit::KeyPress(char& Key) {
  TkxInplaceDropDownEdit::KeyPress(Key);
  if (Key == 0 || static_cast<unsigned char>(Key) < 32 || FValues->Count() == 0) return;
  AnsiString typed(1, Key);
  if (IsDBCSLeadByte(static_cast<unsigned char>(Key)) && HandleAllocated()) {
    MSG m;
    if (PeekMessageA(&m, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
      if (m.message == WM_QUIT) PostQuitMessage(int(m.wParam));
      else typed += char(m.wParam);
    }
  }
  int v = FValues->IndexOf(Text());
  // Only descriptions that belong to a value are searched.
  const int n = std::min(FDescriptions->Count(), FValues->Count());
  auto matches = [&](int k) {
    const AnsiString& d = FDescriptions->Strings(k);
    return AnsiCompareText(d.substr(0, typed.size()), typed) == 0;
  };
  int found = -1;
  for (int k = v + 1; k < n && found < 0; ++k)
    if (matches(k)) found = k;
  for (int k = 0; k < std::min(v, n) && found < 0; ++k)
    if (matches(k)) found = k;
  if (found >= 0 && found != v) SetValueText(FValues->Strings(found));
}

void TkxInplaceImageEdit::DropDown() {
  if (!IsEditable() || !FListBox || !kxFocusForPopupList(this)) return;
  FCurrentPopup = FListBox;
  DoEditButtonClick();
  if (FValues->Count() == 0) return;
  kxPreparePopupList(this, FListBox);
  FListBox->SetImages(FLargeImages ? FLargeImages : FImages);
  FListBox->SetMultiLineText(FMultiLineText);
  FillPopupList();
  kxShowPopupList(FListBox);
  FPopupShown = true;
  Invalidate();
}

void TkxInplaceImageEdit::FillPopupList() {
  TStrings* items = FListBox->Items();
  items->BeginUpdate();
  try {
    items->Clear();
    for (int i = 0; i < FValues->Count(); ++i) {
      AnsiString text = i < FDescriptions->Count() ? FDescriptions->Strings(i) : AnsiString();
      int image = FDefaultImages ? i : (i < FImageIndexes->Count() ? ParseIndex(FImageIndexes->Strings(i)) : -1);
      if (image < 0) image = -2;
      items->AddObject(text, IndexObject(image));
    }
  } catch (...) {
    items->EndUpdate();
    throw;
  }
  items->EndUpdate();
  FListBox->UpdateItemHeight();
  const int h = std::min(FValues->Count(), DropDownRows) * FListBox->ItemPixelHeight();
  int w = DropDownWidth;
  if (w == 0) {
    int textW = 0;
    for (int i = 0; i < items->Count(); ++i) textW = std::max(textW, kxFontTextExtent(FListBox->Font(), items->Strings(i)).cx);
    w = std::max(10, textW + 2);
    if (FLargeImages) w += FLargeImages->Width();
    else if (FListBox->Images()) w += FListBox->Images()->Width();
    else w += FListBox->ItemHeight();
    w += 4;
  }
  FListBox->SetClientSizeOfPopup(w, h);
  FListBox->SetItemIndex(FValues->IndexOf(Text()));
  PositionPopup(FListBox, true);
}

void TkxInplaceImageEdit::CloseUp(bool Accept) {
  if (!FPopupShown || !FListBox) return;
  kxHidePopupList(this, FListBox);
  FPopupShown = false;
  Invalidate();
  int a = FListBox->ItemIndex();
  if (a < 0 || a >= FValues->Count()) return;
  AnsiString text = FValues->Strings(a);
  DoCloseUp(text, Accept);
  if (Accept) SetValueText(text);
}

void TkxInplaceImageEdit::WMGetDlgCode3(TMessage& Message) {
  TkxInplaceDropDownEdit::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS;
}

void kxInitImageEdit() {
  RegisterClasses({TkxInplaceImageEdit::StaticClass(), TkxImageEditViewData::StaticClass()});
}
