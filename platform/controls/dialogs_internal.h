// What the dialogs' own forms share: the dialog form with its buttons and
// the script's view of them, and the painted icons. Private to the dialogs.
#pragma once
#include <utility>
#include <vector>
#include "platform/controls/dialogs.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/stdctrls.h"
#include "platform/win/winuser.h"

namespace pvdlg {

// CP936 text of a UTF-8 literal.
AnsiString T(const char* Utf8);

// The size of Text drawn in Font, wrapped at MaxWidth ("&" shown as is).
TRect MeasureText(TFont* Font, const AnsiString& Text, int MaxWidth);

// A form of the dialogs, built from the class library's controls. Its buttons
// act as in every dialog: the default one answers Enter, and while another
// button has the focus that one does; the cancel one answers Escape; an "&"
// letter in a caption presses the button (or toggles the check box).
class TDialogForm : public TForm, public TScriptableDialog {
 public:
  explicit TDialogForm(const AnsiString& Caption);

  // A control of the form, placed on Parent (the form when nullptr).
  template <class C>
  C* Add(TWinControl* Parent, int X, int Y, int W, int H) {
    C* c = new C(this);
    c->SetParent(Parent ? Parent : this);
    c->SetBounds(X, Y, W, H);
    return c;
  }
  // A push button giving Result (mrNone: it only runs its OnClick). The
  // script presses it for ScriptResult (Result when mrNone is given).
  TButton* AddButton(TWinControl* Parent, const AnsiString& Caption, TModalResult Result, int X, int Y,
                     int W = 75, int H = 23, TModalResult ScriptResult = mrNone);
  // A label; "&" gives FocusControl the focus.
  TLabel* AddLabel(TWinControl* Parent, const AnsiString& Caption, int X, int Y, TWinControl* FocusControl = nullptr);
  // The button the script presses for Result, nullptr when none.
  TButton* ButtonFor(TModalResult Result) const;
  // Makes Button the default (the one Enter presses).
  void SetDefaultButton(TButton* Button);

  void ScriptPress(TModalResult Result) override;
  void ScriptType(const AnsiString& Text) override;
  void ScriptOpenFolder(const AnsiString& Name) override;
  void ScriptSelect(const AnsiString& Name) override;

 protected:
  void WndProc(TMessage& Message) override;
  // The result closing the box gives; mrNone leaves the dialog open.
  TModalResult FCloseResult = mrCancel;

 private:
  std::vector<std::pair<TButton*, TModalResult>> FButtons;
  TButton* FDefaultButton = nullptr;
};

// ---- painted icons ----
enum TIconKind { ikNone, ikWarning, ikError, ikInformation, ikQuestion };
// The 32 x 32 message icon of Kind on Background.
void PaintMessageIcon(TBitmap* Bitmap, TIconKind Kind, TColor Background);
enum TSmallIcon { siFolder, siOpenFolder, siFile, siUpFolder, siDrive };
// A 16 x 16 icon of the file dialog on Background.
void PaintSmallIcon(TBitmap* Bitmap, TSmallIcon Kind, TColor Background);

}  // namespace pvdlg
