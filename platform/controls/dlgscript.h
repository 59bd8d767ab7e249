// Answers to dialogs, queued by tests (and by the headless runs of the
// program). Each queued answer is consulted when the next dialog's modal loop
// starts and acts on the dialog through its own controls: it types into the
// dialog's edit box, opens a folder of a file dialog's list, selects an item,
// presses a button. When a dialog is still open after its answer (a refused
// file name, say), the next queued answer goes on with the same dialog.
//
// While answers are required (the default; a program on a real display turns
// this off), a dialog that finds no answer waiting, or is left open with none
// left, is closed and its Execute/MessageDlg raises EDialogNotAnswered naming
// the dialog, so a test never waits for input that will not come.
//
//   QueueDialogAnswer(TDialogAnswer().OpenFolder("sub").TypeText("a.txt").Press(mrOk));
//   AnswerButton(mrYes);   // the overwrite prompt that follows
#pragma once
#include <functional>
#include <vector>
#include "platform/controls/forms.h"
#include "platform/rtl/exceptions.h"

PV_DECLARE_EXCEPTION(EDialogNotAnswered, Exception)
PV_DECLARE_EXCEPTION(EDialogScriptError, Exception)

// The side of a dialog form that answers see.
class TScriptableDialog {
 public:
  virtual ~TScriptableDialog() = default;
  // "Message", "Input", "Open", "Save", "Color", "Font".
  virtual AnsiString DialogKind() const = 0;
  // The text the dialog shows (a message's text, an input box's prompt, a file dialog's folder).
  virtual AnsiString DialogText() const = 0;
  // Each raises EDialogScriptError when the dialog has no such control or item.
  virtual void ScriptPress(TModalResult Result) = 0;
  virtual void ScriptType(const AnsiString& Text) = 0;
  virtual void ScriptOpenFolder(const AnsiString& Name) = 0;
  virtual void ScriptSelect(const AnsiString& Name) = 0;
};

class TDialogAnswer {
 public:
  // Presses the button that closes the dialog with Result (mrOk, mrYes ...).
  TDialogAnswer& Press(TModalResult Result);
  // Types Text into the dialog's edit box (a file name, an input box's value).
  TDialogAnswer& TypeText(const AnsiString& Text);
  // Opens a folder shown in a file dialog's list (".." goes up).
  TDialogAnswer& OpenFolder(const AnsiString& Name);
  // Selects an item: a file in a file dialog's list, a face in the font dialog,
  // a filter description in a file dialog's type box.
  TDialogAnswer& Select(const AnsiString& Name);
  // Anything else, on the dialog form itself.
  TDialogAnswer& Do(std::function<void(TCustomForm* Form)> Action);

  // Runs the actions on Form.
  void Run(TCustomForm* Form) const;

 private:
  std::vector<std::function<void(TCustomForm*)>> FActions;
};

void QueueDialogAnswer(TDialogAnswer Answer);
// Shorthands: press a button; type text and press OK; press Cancel.
void AnswerButton(TModalResult Result);
void AnswerText(const AnsiString& Text);
void AnswerCancel();
// Answers still waiting (this queue is shared with the forms' modal script).
int PendingDialogAnswers();
void ClearDialogAnswers();

// Whether a dialog needs a queued answer (true by default).
void SetDialogAnswersRequired(bool Required);
bool DialogAnswersRequired();

// Every dialog shown, in order, for tests to check what was asked.
struct TDialogRecord {
  AnsiString Kind;
  AnsiString Caption;
  AnsiString Text;
};
const std::vector<TDialogRecord>& DialogLog();
void ClearDialogLog();

// Shows Form modally as a dialog: records it, enforces the answer rule above
// and returns its ModalResult. Used by every dialog of the library.
int ExecuteDialogForm(TCustomForm* Form);
