// The find, replace and replace-confirmation dialogs of the text windows.
// The library data module keeps their options, texts and histories between
// uses and runs the search on the current editor.
#pragma once
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"

// At most this many texts are kept in a find or replace history.
constexpr int kSearchHistoryCount = 10;

// The first Count items of Box joined with CR LF.
AnsiString ComboHistory(TComboBox* Box, int Count = kSearchHistoryCount);
// Moves Box's text to the top of its items (adds it when new); an empty text
// leaves the items alone.
void KeepInHistory(TComboBox* Box);

class TTextSearchDialog : public TForm {
  PV_CLASS(TTextSearchDialog, TForm)
 public:
  explicit TTextSearchDialog(TComponent* AOwner) : TForm(AOwner) {}

  TLabel* Label1 = nullptr;
  TComboBox* cbSearchText = nullptr;
  TGroupBox* gbSearchOptions = nullptr;
  TCheckBox* cbSearchCaseSensitive = nullptr;
  TCheckBox* cbSearchWholeWords = nullptr;
  TCheckBox* cbSearchFromCursor = nullptr;
  TCheckBox* cbSearchSelectedOnly = nullptr;
  TCheckBox* cbRegularExpression = nullptr;
  TRadioGroup* rgSearchDirection = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;

  bool Backwards() const { return rgSearchDirection->ItemIndex() == 1; }
  void SetBackwards(bool Value) { rgSearchDirection->SetItemIndex(Value ? 1 : 0); }
  bool CaseSensitive() const { return cbSearchCaseSensitive->Checked(); }
  void SetCaseSensitive(bool Value) { cbSearchCaseSensitive->SetChecked(Value); }
  bool FromCursor() const { return cbSearchFromCursor->Checked(); }
  void SetFromCursor(bool Value) { cbSearchFromCursor->SetChecked(Value); }
  bool SelectedOnly() const { return cbSearchSelectedOnly->Checked(); }
  void SetSelectedOnly(bool Value) { cbSearchSelectedOnly->SetChecked(Value); }
  bool WholeWords() const { return cbSearchWholeWords->Checked(); }
  void SetWholeWords(bool Value) { cbSearchWholeWords->SetChecked(Value); }
  bool UseRegex() const { return cbRegularExpression->Checked(); }
  AnsiString FindText() const { return cbSearchText->Text(); }
  void SetFindText(const AnsiString& Value) { cbSearchText->SetText(Value); }
  AnsiString FindHistory() const { return ComboHistory(cbSearchText); }
  void SetFindHistory(const AnsiString& Value) { cbSearchText->Items()->SetText(Value); }

  // Closing with OK keeps the texts in their histories.
  void FormCloseQuery(TObject* Sender, bool& CanClose);

 protected:
  virtual void KeepHistories() { KeepInHistory(cbSearchText); }
};

class TTextReplaceDialog : public TTextSearchDialog {
  PV_CLASS(TTextReplaceDialog, TTextSearchDialog)
 public:
  explicit TTextReplaceDialog(TComponent* AOwner) : TTextSearchDialog(AOwner) {}

  TLabel* Label2 = nullptr;
  TComboBox* cbReplaceText = nullptr;

  AnsiString ReplaceWith() const { return cbReplaceText->Text(); }
  void SetReplaceWith(const AnsiString& Value) { cbReplaceText->SetText(Value); }
  AnsiString ReplaceHistory() const { return ComboHistory(cbReplaceText); }
  void SetReplaceHistory(const AnsiString& Value) { cbReplaceText->Items()->SetText(Value); }

 protected:
  void KeepHistories() override {
    TTextSearchDialog::KeepHistories();
    KeepInHistory(cbReplaceText);
  }
};

// Asks whether to replace one match; its modal result is mrYes (replace),
// mrNo (skip), mrYesToAll or mrCancel.
class TConfirmReplaceDialog : public TForm {
  PV_CLASS(TConfirmReplaceDialog, TForm)
 public:
  explicit TConfirmReplaceDialog(TComponent* AOwner) : TForm(AOwner) {}
  ~TConfirmReplaceDialog() override;

  TImage* Image1 = nullptr;
  TLabel* lblConfirmation = nullptr;
  TButton* btnReplace = nullptr;
  TButton* btnSkip = nullptr;
  TButton* btnCancel = nullptr;
  TButton* btnReplaceAll = nullptr;

  // Names Text in the question and places the dialog beside the match at
  // (X, Y1) whose line ends at Y2, within the editor's screen rectangle.
  void PrepareAt(const TRect& EditorRect, int X, int Y1, int Y2, const AnsiString& Text);
  void FormCreate(TObject* Sender);
};

void RegisterSearchDialogs();
