// The image combo: a string combo whose entries carry an image each, drawn
// beside (or instead of) their text, with a selection dialog for menus.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "bars/kxbaritemsext.h"
#include "platform/classes/filer.h"
#include "platform/controls/stdctrls.h"
#include "platform/rtl/strings.h"

const char* const kxBarSelectItemCaption = "\xD1\xA1\xD4\xF1\xCC\xF5\xC4\xBF";  // 选择条目

namespace kxbaritemsimg {

const char* const kOkText = "\xC8\xB7\xB6\xA8";      // 确定
const char* const kCancelText = "\xC8\xA1\xCF\xFB";  // 取消

// The image combo's selection dialog, alive while it is shown.
class TImageSelectDialog : public TObject {
 public:
  explicit TImageSelectDialog(TkxBarImageCombo* Item) : FItem(Item) {}
  // The chosen index on OK, else -2.
  int Execute(TCanvas*& DialogCanvas);

 private:
  void DrawEntry(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
  void MeasureEntry(TWinControl*, int Index, int& Height) { FItem->MeasureItem(Index, Height); }
  void ListDblClick(TObject*) { FForm->SetModalResult(mrOk); }

  TkxBarImageCombo* FItem;
  TForm* FForm = nullptr;
  TListBox* FList = nullptr;
  TCanvas** FCanvasSlot = nullptr;
};

void TImageSelectDialog::DrawEntry(TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
  unsigned s = (State.Contains(odSelected) ? 1u : 0u) | (State.Contains(odFocused) ? 16u : 0u);
  *FCanvasSlot = FList->Canvas();
  try {
    FItem->DrawItem(Index, Rect, s);
  } catch (...) {
    *FCanvasSlot = nullptr;
    throw;
  }
  *FCanvasSlot = nullptr;
}

int TImageSelectDialog::Execute(TCanvas*& DialogCanvas) {
  FCanvasSlot = &DialogCanvas;
  std::unique_ptr<TForm, void (*)(TForm*)> form(new TForm(nullptr, 0), [](TForm* f) { f->Free(); });
  FForm = form.get();
  form->SetBorderStyle(bsDialog);
  form->SetCaption(uxTranslateString(kxBarSelectItemCaption));
  if (TkxBarManager* m = FItem->BarManager()) form->Font()->Assign(m->Font());
  form->SetPosition(poScreenCenter);
  TkxBarSelectionDialogLayout lay(form->Font());
  FList = new TListBox(form.get());
  FList->SetParent(form.get());
  FList->SetStyle(lbOwnerDrawVariable);
  FList->Items()->Assign(FItem->Items());
  FList->OnDrawItem = TDrawItemEvent(this, &TImageSelectDialog::DrawEntry);
  FList->OnMeasureItem = TMeasureItemEvent(this, &TImageSelectDialog::MeasureEntry);
  FList->OnDblClick = TNotifyEvent(this, &TImageSelectDialog::ListDblClick);
  int first = 0;
  if (FItem->Items()->Count() > 0) FItem->MeasureItem(0, first);
  int rows = std::min(FItem->Items()->Count(), FItem->DropDownCount());
  int listHeight = std::max(first * rows, lay.Margin + 2 * lay.ButtonHeight);
  FList->SetBounds(lay.Margin, lay.Margin, 100, 100);
  FList->SetClientWidth(std::max(FItem->CalcDropDownWidth() - 4, 20));
  FList->SetClientHeight(listHeight);
  auto button = [&](const char* Caption, int Result, int Top) {
    auto* b = new TButton(form.get());
    b->SetParent(form.get());
    b->SetCaption(uxTranslateString(Caption));
    b->SetModalResult(Result);
    b->SetBounds(FList->Left() + FList->Width() + lay.Margin, Top, lay.ButtonWidth, lay.ButtonHeight);
    return b;
  };
  button(kOkText, mrOk, lay.Margin)->SetDefault(true);
  button(kCancelText, mrCancel, 2 * lay.Margin + lay.ButtonHeight)->SetCancel(true);
  form->SetClientWidth(FList->Width() + lay.ButtonWidth + 3 * lay.Margin);
  form->SetClientHeight(FList->Height() + 2 * lay.Margin);
  FList->SetItemIndex(FItem->ItemIndex());
  if (form->ShowModal() != mrOk) return -2;
  return FList->ItemIndex();
}

}  // namespace kxbaritemsimg

using namespace kxbaritemsimg;

TkxBarSelectionDialogLayout::TkxBarSelectionDialogLayout(TFont* Font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = Font ? SelectObject(dc, Font->Handle()) : nullptr;
  SIZE s{};
  GetTextExtentPoint32A(dc, "0", 1, &s);
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  ButtonWidth = s.cx * 12;
  ButtonHeight = MulDiv(s.cy, 5, 3);
  Margin = ButtonHeight / 4;
}

// ===========================================================================
// TkxBarImageCombo

TkxBarImageCombo::TkxBarImageCombo(TComponent* AOwner) : TkxBarCustomCombo(AOwner) {
  SetShowEditor(false);
  FChangeLink = std::make_unique<TChangeLink>();
  FChangeLink->OnChange = TNotifyEvent(this, &TkxBarImageCombo::ImageListChange);
}

TkxBarImageCombo::~TkxBarImageCombo() { SetImages(nullptr); }

void TkxBarImageCombo::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FChangeLink.get());
    FImages->FreeNotification(this);
  }
  if (!IsDestroying()) ImageListChange(nullptr);
}

void TkxBarImageCombo::ImageListChange(TObject*) {
  if (!IsLoading()) ImagesChanged();
}

void TkxBarImageCombo::ImagesChanged() {
  for (TkxBarItemLink* l : FLinks)
    if (auto* c = dynamic_cast<TkxBarImageComboControl*>(l->Control())) c->RequestRebuild();
}

void TkxBarImageCombo::SetShowText(bool Value) {
  if (FShowText == Value) return;
  FShowText = Value;
  RepaintControls();
}

int TkxBarImageCombo::ImageIndexes(int Index) const {
  if (Index < 0 || Index >= Items()->Count()) return -1;
  return int(reinterpret_cast<std::intptr_t>(Items()->Objects(Index))) - 1;
}

void TkxBarImageCombo::SetImageIndexes(int Index, int Value) {
  if (Index < 0 || Index >= Items()->Count()) return;
  Items()->PutObject(Index, reinterpret_cast<TObject*>(std::intptr_t(std::max(Value, -1) + 1)));
  if (Index == ItemIndex()) RepaintControls();
}

void TkxBarImageCombo::DefineProperties(TFiler* Filer) {
  TkxBarCustomCombo::DefineProperties(Filer);
  Filer->DefineProperty(
      "ImageIndexes",
      [this](TReader* R) {
        R->ReadListBegin();
        // indexes past the strings are read and dropped
        for (int i = 0; !R->EndOfList(); ++i) {
          int v = R->ReadInteger();
          if (i < Items()->Count()) SetImageIndexes(i, v);
        }
        R->ReadListEnd();
      },
      [this](TWriter* W) {
        W->WriteListBegin();
        for (int i = 0; i < Items()->Count(); ++i) W->WriteInteger(ImageIndexes(i));
        W->WriteListEnd();
      },
      Items()->Count() > 0);
}

void TkxBarImageCombo::Notification(TComponent* AComponent, TOperation Operation) {
  TkxBarCustomCombo::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == FImages) {
    FImages->UnRegisterChanges(FChangeLink.get());
    FImages = nullptr;
    if (!IsDestroying()) ImagesChanged();
  }
}

TCanvas* TkxBarImageCombo::GetCanvas() { return FDialogCanvas ? FDialogCanvas : TkxBarCustomCombo::GetCanvas(); }

void TkxBarImageCombo::DrawItem(int Index, const TRect& R, unsigned State) {
  TCanvas* c = GetCanvas();
  if (OnDrawItem || !FImages || !c) {
    TkxBarCustomCombo::DrawItem(Index, R, State);
    return;
  }
  c->FillRect(R);
  int w = FImages->Width(), h = FImages->Height();
  TRect box;
  box.left = FShowText ? R.left + 1 : R.left + (R.Width() - w) / 2;
  box.top = R.top + (R.Height() - h) / 2;
  box.right = box.left + w;
  box.bottom = box.top + h;
  AnsiString text = Index >= 0 && Index < Items()->Count() ? Items()->Get(Index) : Text();
  int image = Index >= 0 ? ImageIndexes(Index) : -1;
  if (image >= 0 && image < FImages->Count()) FImages->Draw(c, box.left, box.top, image, true);
  else if (!DrawingEditBox()) box.right = box.left;
  if (FShowText) {
    int th = c->TextHeight(text.empty() ? AnsiString("0") : text);
    c->TextOut(box.right + 2, R.top + (R.Height() - th) / 2, text);
  }
  if (State & 16) c->DrawFocusRect(R);
}

void TkxBarImageCombo::MeasureItem(int Index, int& Height) {
  TkxBarCustomCombo::MeasureItem(Index, Height);
  if (FImages && !OnMeasureItem) Height = std::max(Height, FImages->Height() + 2);
}

void TkxBarImageCombo::MeasureItemWidth(int Index, int& Width) {
  if (FShowText) TkxBarCustomCombo::MeasureItemWidth(Index, Width);
  else Width = 0;
  if (FImages) Width += FImages->Width() + 2;
}

void TkxBarImageCombo::DoClick() {
  TkxBarCustomCombo::DoClick();
  if (OnClick || ReadOnly()) return;
  TImageSelectDialog dialog(this);
  int chosen = dialog.Execute(FDialogCanvas);
  FDialogCanvas = nullptr;
  if (chosen >= -1) SetItemIndex(chosen);
}

// ===========================================================================
// TkxBarImageComboControl

int TkxBarImageComboControl::GetHeight() {
  int h = TkxBarComboControl::GetHeight();
  auto* item = dynamic_cast<TkxBarImageCombo*>(Item());
  if (item && item->Images() && !kxBarIsVerticalToolbar(FParent)) h = std::max(h, item->Images()->Height() + 6);
  return h;
}
