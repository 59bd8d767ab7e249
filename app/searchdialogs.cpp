#include "app/searchdialogs.h"

#include <cmath>

#include "app/libdatamodule.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/dialogs_internal.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

AnsiString ComboHistory(TComboBox* Box, int Count) {
  AnsiString s;
  for (int i = 0; i < Box->Items()->Count() && i < Count; ++i) {
    if (i > 0) s += "\r\n";
    s += Box->Items()->Get(i);
  }
  return s;
}

void KeepInHistory(TComboBox* Box) {
  const AnsiString text = Box->Text();
  if (text.empty()) return;
  const int i = Box->Items()->IndexOf(text);
  if (i < 0) {
    Box->Items()->Insert(0, text);
  } else {
    Box->Items()->Delete(i);
    Box->Items()->Insert(0, text);
    Box->SetText(text);
  }
}

void TTextSearchDialog::FormCloseQuery(TObject*, bool&) {
  if (ModalResult() == mrOk) KeepHistories();
}

TConfirmReplaceDialog::~TConfirmReplaceDialog() {
  if (LibDataModule && LibDataModule->ConfirmReplaceDialog == this) LibDataModule->ConfirmReplaceDialog = nullptr;
}

void TConfirmReplaceDialog::FormCreate(TObject*) {
  pvdlg::PaintMessageIcon(Image1->Picture()->Bitmap(), pvdlg::ikQuestion, clBtnFace);
}

void TConfirmReplaceDialog::PrepareAt(const TRect& EditorRect, int X, int Y1, int Y2, const AnsiString& Text) {
  lblConfirmation->SetCaption(Format(Utf8ToAnsi("替换当前的字符串 \"%s\"?").c_str(), {Text}));
  const int w = Width(), h = Height();
  const int editorWidth = EditorRect.right - EditorRect.left;
  int left;
  if (editorWidth <= w) {
    left = EditorRect.left - (w - editorWidth) / 2;
  } else {
    left = X;
    if (left + w > EditorRect.right) left = EditorRect.right - w;
  }
  const int twoThirds = EditorRect.top + int(std::lround((EditorRect.bottom - EditorRect.top) * 2 / 3.0));
  const int top = Y2 > twoThirds ? Y1 - h - 4 : Y2 + 4;
  SetBounds(left, top, w, h);
}

void RegisterSearchDialogs() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TTextSearchDialog::StaticClass(), TTextReplaceDialog::StaticClass(),
                   TConfirmReplaceDialog::StaticClass()});
  // The replace dialog finds the find dialog's fields through its parent class.
  RegisterHandlers<TTextSearchDialog>([](THandlerBuilder<TTextSearchDialog>& h) {
    using D = TTextSearchDialog;
    h.Field("Label1", &D::Label1);
    h.Field("cbSearchText", &D::cbSearchText);
    h.Field("gbSearchOptions", &D::gbSearchOptions);
    h.Field("cbSearchCaseSensitive", &D::cbSearchCaseSensitive);
    h.Field("cbSearchWholeWords", &D::cbSearchWholeWords);
    h.Field("cbSearchFromCursor", &D::cbSearchFromCursor);
    h.Field("cbSearchSelectedOnly", &D::cbSearchSelectedOnly);
    h.Field("cbRegularExpression", &D::cbRegularExpression);
    h.Field("rgSearchDirection", &D::rgSearchDirection);
    h.Field("btnOK", &D::btnOK);
    h.Field("btnCancel", &D::btnCancel);
    h.Handler("FormCloseQuery", &D::FormCloseQuery);
  });
  RegisterHandlers<TTextReplaceDialog>([](THandlerBuilder<TTextReplaceDialog>& h) {
    h.Field("Label2", &TTextReplaceDialog::Label2);
    h.Field("cbReplaceText", &TTextReplaceDialog::cbReplaceText);
  });
  RegisterHandlers<TConfirmReplaceDialog>([](THandlerBuilder<TConfirmReplaceDialog>& h) {
    using D = TConfirmReplaceDialog;
    h.Field("Image1", &D::Image1);
    h.Field("lblConfirmation", &D::lblConfirmation);
    h.Field("btnReplace", &D::btnReplace);
    h.Field("btnSkip", &D::btnSkip);
    h.Field("btnCancel", &D::btnCancel);
    h.Field("btnReplaceAll", &D::btnReplaceAll);
    h.Handler("FormCreate", &D::FormCreate);
  });
}
