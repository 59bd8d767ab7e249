// Queued answers to dialogs, run through the forms' modal script.
#include "platform/controls/dlgscript.h"
#include <exception>
#include <map>

namespace {

bool gRequired = true;

std::vector<TDialogRecord>& Log() {
  static std::vector<TDialogRecord> log;
  return log;
}

// What went wrong while a dialog was answered, reported by ExecuteDialogForm
// once its modal loop ended: an error raised by an answer, or no answer left.
struct TAnswerFailure {
  std::exception_ptr Error;
  bool Unanswered = false;
};
std::map<const TCustomForm*, TAnswerFailure>& Failures() {
  static std::map<const TCustomForm*, TAnswerFailure> m;
  return m;
}

TScriptableDialog* Scriptable(TCustomForm* Form) { return dynamic_cast<TScriptableDialog*>(Form); }

TScriptableDialog& NeedScriptable(TCustomForm* Form, const char* What) {
  TScriptableDialog* d = Scriptable(Form);
  if (!d) throw EDialogScriptError(AnsiString("The form \"") + Form->Caption() + "\" is not a dialog that can " + What);
  return *d;
}

bool StillOpen(TCustomForm* Form) {
  return Form->FormState().Contains(fsModal) && Form->ModalResult() == mrNone;
}

void AfterAnswer(TCustomForm* Form) {
  if (!StillOpen(Form)) return;
  if (PendingModalScriptSteps() > 0) {
    PostMessageA(Form->Handle(), CM_RUNMODALSCRIPT, 0, 0);
  } else if (gRequired) {
    Failures()[Form].Unanswered = true;
    Form->SetModalResult(mrCancel);
  }
}

}  // namespace

TDialogAnswer& TDialogAnswer::Press(TModalResult Result) {
  FActions.push_back([Result](TCustomForm* f) {
    if (TScriptableDialog* d = Scriptable(f)) d->ScriptPress(Result);
    else f->SetModalResult(Result);  // a plain modal form: its result is the answer
  });
  return *this;
}

TDialogAnswer& TDialogAnswer::TypeText(const AnsiString& Text) {
  FActions.push_back([Text](TCustomForm* f) { NeedScriptable(f, "take text").ScriptType(Text); });
  return *this;
}

TDialogAnswer& TDialogAnswer::OpenFolder(const AnsiString& Name) {
  FActions.push_back([Name](TCustomForm* f) { NeedScriptable(f, "open folders").ScriptOpenFolder(Name); });
  return *this;
}

TDialogAnswer& TDialogAnswer::Select(const AnsiString& Name) {
  FActions.push_back([Name](TCustomForm* f) { NeedScriptable(f, "select items").ScriptSelect(Name); });
  return *this;
}

TDialogAnswer& TDialogAnswer::Do(std::function<void(TCustomForm*)> Action) {
  FActions.push_back(std::move(Action));
  return *this;
}

void TDialogAnswer::Run(TCustomForm* Form) const {
  for (const auto& a : FActions) {
    if (!StillOpen(Form)) break;  // an earlier action closed it
    a(Form);
  }
}

void QueueDialogAnswer(TDialogAnswer Answer) {
  PushModalScript([Answer = std::move(Answer)](TCustomForm* Form) {
    try {
      Answer.Run(Form);
    } catch (...) {
      // Reported by ExecuteDialogForm (or lost with a form shown by other means).
      Failures()[Form].Error = std::current_exception();
      if (Form->ModalResult() == mrNone) Form->SetModalResult(mrCancel);
      return;
    }
    AfterAnswer(Form);
  });
}

void AnswerButton(TModalResult Result) { QueueDialogAnswer(TDialogAnswer().Press(Result)); }
void AnswerText(const AnsiString& Text) { QueueDialogAnswer(TDialogAnswer().TypeText(Text).Press(mrOk)); }
void AnswerCancel() { QueueDialogAnswer(TDialogAnswer().Press(mrCancel)); }
int PendingDialogAnswers() { return PendingModalScriptSteps(); }
void ClearDialogAnswers() { ClearModalScript(); }

void SetDialogAnswersRequired(bool Required) { gRequired = Required; }
bool DialogAnswersRequired() { return gRequired; }

const std::vector<TDialogRecord>& DialogLog() { return Log(); }
void ClearDialogLog() { Log().clear(); }

int ExecuteDialogForm(TCustomForm* Form) {
  TScriptableDialog* d = Scriptable(Form);
  TDialogRecord rec{d ? d->DialogKind() : AnsiString("Form"), Form->Caption(), d ? d->DialogText() : AnsiString()};
  Log().push_back(rec);
  AnsiString name = "the " + rec.Kind + " dialog \"" + rec.Caption + "\"";
  if (!rec.Text.empty()) name += " (" + rec.Text + ")";
  if (gRequired && PendingModalScriptSteps() == 0)
    throw EDialogNotAnswered("No answer is queued for " + name);
  Failures().erase(Form);
  int result;
  try {
    result = Form->ShowModal();
  } catch (...) {
    Failures().erase(Form);
    throw;
  }
  auto it = Failures().find(Form);
  if (it != Failures().end()) {
    TAnswerFailure f = it->second;
    Failures().erase(it);
    if (f.Error) std::rethrow_exception(f.Error);
    if (f.Unanswered) throw EDialogNotAnswered("No further answer is queued for " + name + ", which is still open");
  }
  return result;
}
