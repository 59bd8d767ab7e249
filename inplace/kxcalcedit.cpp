#include "inplace/kxcalcedit.h"

KX_EDIT_CLASS_IMPL(TkxInplaceCalcEdit)

// ---- TkxPopupCalculator ----

TkxPopupCalculator::TkxPopupCalculator(TComponent* AOwner) : TCustomkxCalculator(AOwner) {
  FIsPopup = true;
  FVisible = false;
}

void TkxPopupCalculator::CreateParams(TCreateParams& Params) {
  TCustomkxCalculator::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TkxPopupCalculator::GetDisplayText(AnsiString& Text) { Text = Editor ? Editor->GetMaskText() : AnsiString("0"); }

void TkxPopupCalculator::SetDisplayText(const AnsiString& Text) {
  if (!Editor || !Editor->CanModify()) return;
  try {
    Editor->SetMaskText(Text);
    Editor->SetModified(true);
  } catch (...) {
    ClosePopup();
    throw;
  }
}

void TkxPopupCalculator::ClosePopup() {
  TCustomkxCalculator::ClosePopup();
  // An error shown while calculating is no value for the cell.
  if (Editor && Editor->Text() == kxEditorString(38951)) {
    Editor->SetMaskText("0");
    Editor->SetModified(true);
  }
}

void TkxPopupCalculator::KeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || Key == VK_F4) {
    ClosePopup();
    Key = 0;
  } else if (Key == VK_RETURN) {
    TCustomkxCalculator::KeyDown(Key, Shift);
    ClosePopup();
    // The Enter character would press "=" again in the hidden calculator.
    if (HandleAllocated()) kxRemovePendingChar(Handle());
    Key = 0;
  } else if (Key == VK_ESCAPE) {
    ClosePopup();
    if (HandleAllocated()) kxRemovePendingChar(Handle());
    Key = 0;
  } else {
    TCustomkxCalculator::KeyDown(Key, Shift);
  }
}

void TkxPopupCalculator::KeyPress(char& Key) {
  const char typed = Key;
  TCustomkxCalculator::KeyPress(Key);
  if (QuickClose && typed == '=') ClosePopup();
}

// ---- TkxInplaceCalcEdit ----

TkxInplaceCalcEdit::TkxInplaceCalcEdit(TComponent* AOwner) : TkxInplaceDropDownEdit(AOwner) {
  FRouteKeysToPopup = false;
}

TkxInplaceCalcEdit::~TkxInplaceCalcEdit() {
  TkxPopupCalculator* c = FCalculator;
  FCalculator = nullptr;
  if (FCurrentPopup == c) FCurrentPopup = nullptr;
  delete c;
}

void TkxInplaceCalcEdit::DropDown() {
  if (FPopupShown || !IsEditable()) return;
  if (!FCalculator) FCalculator = NewObject<TkxPopupCalculator>(nullptr);
  else FCalculator->DestroyHandle();
  TkxPopupCalculator* c = FCalculator;
  c->SetOwnerEdit(this);
  FCurrentPopup = c;
  DoEditButtonClick();
  c->SetPopupBorderStyle(GetPopupBorder());
  c->SetShadow(Style()->Shadow());
  c->SetPopupUse(true);
  c->QuickClose = QuickClose;
  c->Editor = this;
  c->Font()->Assign(Font());
  c->SetShowFocusRect(false);
  c->SetBeepOnError(BeepOnError);
  c->SetButtonStyle(ButtonStyle);
  c->SetShowButtonFrame(ShowButtonFrame);
  c->SetPrecision(Precision);
  c->CalcLayout();
  c->HandleNeeded();
  PositionPopup(c, false);
  FPopupShown = true;
  c->ShowPopup();
}

void kxInitCalcEdit() { RegisterClasses({TkxInplaceCalcEdit::StaticClass()}); }
