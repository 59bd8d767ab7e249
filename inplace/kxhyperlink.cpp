#include "inplace/kxhyperlink.h"

#include "inplace/kxresources.h"
#include "platform/controls/forms.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

KX_EDIT_CLASS_IMPL(TkxInplaceHyperLinkEdit)

bool kxIsOpenableLink(const AnsiString& Target) {
  const AnsiString t = LowerCase(TrimLeft(Target));
  for (const char* scheme : {"http://", "https://", "mailto:"})
    if (t.rfind(scheme, 0) == 0) return true;
  return false;
}

TkxInplaceHyperLinkEdit::TkxInplaceHyperLinkEdit(TComponent* AOwner) : TkxInplaceTextEdit(AOwner) {
  SetAutoSelect(false);
}

TkxInplaceHyperLinkEdit::~TkxInplaceHyperLinkEdit() {
  delete FLinkFont;
  FLinkFont = nullptr;
}

TFont* TkxInplaceHyperLinkEdit::GetLinkFont() {
  if (!FLinkFont) {
    FLinkFont = new TFont;
    Perform(CM_FONTCHANGED, 0, 0);
  }
  return FLinkFont;
}

void TkxInplaceHyperLinkEdit::SetLinkFontColor(TColor Color) {
  if (Color == FLinkColor) return;
  FLinkColor = Color;
  Perform(CM_FONTCHANGED, 0, 0);
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TkxInplaceHyperLinkEdit::CMFontChanged2(TMessage& Message) {
  TkxInplaceTextEdit::Dispatch(Message);
  TFont* f = GetLinkFont();
  f->Assign(Font());
  f->SetStyle(f->Style() + TFontStyles{fsUnderline});
  f->SetColor(FLinkColor);
}

void TkxInplaceHyperLinkEdit::WMSetFont2(TMessage& Message) {
  TkxInplaceTextEdit::Dispatch(Message);
  if (!HandleAllocated()) return;
  CHARFORMAT2A cf{};
  cf.cbSize = 84;
  cf.dwMask = CFM_COLOR | CFM_UNDERLINETYPE;
  if (FLinkColor == clWindowText || FLinkColor == clDefault) cf.dwEffects = CFE_AUTOCOLOR;
  else cf.crTextColor = ColorToRGB(FLinkColor);
  cf.bUnderlineType = CFU_UNDERLINE;
  SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

TkxEditViewData* TkxInplaceHyperLinkEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceTextEdit::CreateViewData(FromData);
  if (auto* h = dynamic_cast<TkxHyperLinkEditViewData*>(vd)) h->Link = !ComponentState().Contains(csDesigning);
  TFont* f = GetLinkFont();
  vd->TextColor = ColorToRGB(f->Color());
  vd->Font = f->Handle();
  return vd;
}

TCursor TkxInplaceHyperLinkEdit::TClassRef::GetCursor(int X, int Y, TkxEditViewData* ViewData) const {
  if (auto* h = dynamic_cast<TkxHyperLinkEditViewData*>(ViewData); h && h->Link) return kxHandPointCursor;
  return TkxInplaceTextEdit::TClassRef::GetCursor(X, Y, ViewData);
}

void TkxInplaceHyperLinkEdit::StartLink() {
  if (OnStartClick) {
    OnStartClick(this);
    return;
  }
  const AnsiString t = Text();
  // Only web and mail addresses are opened; a blank text or any other target
  // (a program, a file) starts nothing.
  if (Trim(t).empty() || !kxIsOpenableLink(t)) return;
  TCustomForm* form = GetParentForm(this);
  ShellExecuteA(form && form->HandleAllocated() ? form->Handle() : nullptr, "OPEN", t.c_str(), nullptr, nullptr,
                SW_SHOWMAXIMIZED);
}

void TkxInplaceHyperLinkEdit::KeyDown(Word& Key, TShiftState Shift) {
  const TShortCut sc = ShortCut(Key, Shift);
  if (sc != 0 && sc == StartKey) {
    if (HandleAllocated()) kxRemovePendingChar(Handle());
    StartLink();
    Key = 0;
    return;
  }
  TkxInplaceTextEdit::KeyDown(Key, Shift);
}

void TkxInplaceHyperLinkEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TkxInplaceTextEdit::MouseUp(Button, Shift, X, Y);
  // A plain click places the caret for editing; it starts the link only with SingleClick.
  const RECT r = ClientRect();
  if (Button == mbLeft && SingleClick && PtInRect(&r, POINT{X, Y})) StartLink();
}

void TkxInplaceHyperLinkEdit::WMLButtonDblClk2(TWMMouse& Message) {
  TkxInplaceTextEdit::Dispatch(Message);
  StartLink();
}

void TkxInplaceHyperLinkEdit::ClickActivate() {
  if (!SingleClick) return;
  if (HandleAllocated()) UpdateWindow(Handle());
  StartLink();
}

void kxInitHyperLinkEdit() { RegisterClasses({TkxInplaceHyperLinkEdit::StaticClass()}); }
