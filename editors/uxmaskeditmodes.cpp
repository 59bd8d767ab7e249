#include "editors/uxmaskeditmodes.h"

#include "framework/uxclasses.h"

namespace {

// Compiles Text into Expr; regular-expression errors become one mask error
// that lists each of them on its own line.
void CompileExpression(TuxRegExpr& Expr, const AnsiString& Text) {
  TStringStream stream(Text);
  try {
    Expr.Compile(&stream);
  } catch (const EuxRegExprError& e) {
    AnsiString message = uxTranslateString(uxSMaskEditRegExprError);
    for (int i = 0; i < e.Errors().Count(); ++i) message += "\r\n" + e.Errors().Items(i).GetFullMessage();
    throw EuxMaskEditError(message);
  }
}

// Feeds every character of Text; False at the first one refused.
bool FeedAll(TuxRegExpr& Expr, const AnsiString& Text) {
  for (TuxMaskChar ch : uxMaskChars(Text))
    if (!Expr.Advance(ch)) return false;
  return true;
}

}  // namespace

// ---- standard mode ----

void TuxMaskEditStandardMode::Compile(const AnsiString& Mask) {
  FMask = Mask;
  // An empty mask leaves no positions, so nothing formats by an older one.
  FMaskObject.SetMask(Mask);
  if (!Mask.empty()) FNeedUpdateEditValue = true;
}

AnsiString TuxMaskEditStandardMode::GetEmptyString() {
  AnsiString result;
  FMaskObject.GetEmptyValueText(result);
  return result;
}

AnsiString TuxMaskEditStandardMode::GetFormattedText(const AnsiString& Text, bool KeepLiterals) {
  AnsiString result = Text;
  FMaskObject.Format(result, true, KeepLiterals);
  return result;
}

AnsiString TuxMaskEditStandardMode::GetValueText(const AnsiString& Text, bool KeepLiterals) {
  if (FMaskObject.Count() == 0) return Text;
  AnsiString result = Text;
  FMaskObject.Format(result, GetProperties()->GetCharCase() == TEditCharCase::ecNormal, KeepLiterals);
  FMaskObject.GetValueText(result);
  return result;
}

bool TuxMaskEditStandardMode::IsTextAccepted(const AnsiString& Text) {
  AnsiString text = Text;
  if (FMaskObject.IsValid(text)) return true;
  return GetProperties()->GetIgnoreMaskBlank() && Text == GetFormattedText(AnsiString(), true);
}

// ---- regular-expression mode ----

TuxMaskEditRegExprMode::TuxMaskEditRegExprMode(IuxMaskEditModeProperties* Properties)
    : TuxMaskEditCustomMode(Properties) {
  FRegExpr.SetCaseInsensitive(Properties->GetCaseInsensitive());
}

void TuxMaskEditRegExprMode::Compile(const AnsiString& Mask) {
  FMask = Mask;
  // An empty mask leaves no expression in force.
  if (Mask.empty())
    FRegExpr.ClearExpression();
  else
    CompileExpression(FRegExpr, Mask);
}

AnsiString TuxMaskEditRegExprMode::GetFormattedText(const AnsiString& Text, bool) {
  if (!FRegExpr.IsCompiled()) return AnsiString();
  FRegExpr.Restart();
  AnsiString result;
  FRegExpr.FilterText(Text, result);
  return result;
}

std::unique_ptr<TuxRegExpr> TuxMaskEditRegExprMode::CompileCopy() const {
  TStream* source = FRegExpr.GetSource();
  if (!source) return nullptr;
  auto copy = std::make_unique<TuxRegExpr>();
  copy->SetCaseInsensitive(GetProperties()->GetCaseInsensitive());
  try {
    copy->Compile(source);
  } catch (const EuxRegExprError&) {
    return nullptr;
  }
  return copy;
}

bool TuxMaskEditRegExprMode::IsTextAccepted(const AnsiString& Text) {
  if (Text.empty()) return true;
  std::unique_ptr<TuxRegExpr> copy = CompileCopy();
  if (!copy || !FeedAll(*copy, Text)) return false;
  return GetProperties()->GetIgnoreMaskBlank() || copy->IsFinal();
}

// ---- auto-completing mode ----

TuxMaskEditRegExprExMode::TuxMaskEditRegExprExMode(IuxMaskEditModeProperties* Properties)
    : TuxMaskEditRegExprMode(Properties) {
  FRegExpr.SetOnLiteralAppended(TuxRegExprLiteralAppendedEvent(this, &TuxMaskEditRegExprExMode::LiteralAppended));
  FRegExpr.SetOnLiteralRemoved(TuxRegExprLiteralRemovedEvent(this, &TuxMaskEditRegExprExMode::LiteralRemoved));
  FRegExpr.SetAutoComplete(true);
  ClearCompletion();
}

void TuxMaskEditRegExprExMode::LiteralAppended(TObject*, TuxMaskChar Ch) { uxAppendMaskChar(FCompletionText, Ch); }

void TuxMaskEditRegExprExMode::LiteralRemoved(TObject*) { ++FRemovedLiteralCount; }

void TuxMaskEditRegExprExMode::InternalLiteralAppended(TObject*, TuxMaskChar Ch) {
  uxAppendMaskChar(FInternalCompletionText, Ch);
}

void TuxMaskEditRegExprExMode::ClearCompletion() {
  FCompletionText.clear();
  FRemovedLiteralCount = 0;
}

void TuxMaskEditRegExprExMode::Compile(const AnsiString& Mask) {
  ClearCompletion();
  // Compiling with auto-completion on collects the characters every value
  // starts with into the completion text.
  TuxMaskEditRegExprMode::Compile(Mask);
  if (!Mask.empty()) FNeedUpdateEditValue = true;
}

std::unique_ptr<TuxRegExpr> TuxMaskEditRegExprExMode::CompileCopyWithStart(AnsiString& Starting) {
  Starting.clear();
  std::unique_ptr<TuxRegExpr> copy = CompileCopy();
  if (!copy) return nullptr;
  FInternalCompletionText.clear();
  copy->SetOnLiteralAppended(
      TuxRegExprLiteralAppendedEvent(this, &TuxMaskEditRegExprExMode::InternalLiteralAppended));
  copy->SetAutoComplete(true);
  copy->SetOnLiteralAppended(nullptr);
  Starting = FInternalCompletionText;
  return copy;
}

AnsiString TuxMaskEditRegExprExMode::GetEmptyString() {
  AnsiString starting;
  CompileCopyWithStart(starting);
  return starting;
}

AnsiString TuxMaskEditRegExprExMode::GetFormattedText(const AnsiString& Text, bool) {
  if (!FRegExpr.IsCompiled()) return AnsiString();
  FRegExpr.SetAutoComplete(false);
  FRegExpr.Restart();
  AnsiString result;
  FRegExpr.FilterText(Text, result);
  ClearCompletion();
  FRegExpr.SetAutoComplete(true);  // completes after the accepted characters
  return result + FCompletionText;
}

bool TuxMaskEditRegExprExMode::IsTextAccepted(const AnsiString& Text) {
  AnsiString starting;
  std::unique_ptr<TuxRegExpr> copy = CompileCopyWithStart(starting);
  if (!copy) return false;
  if (Text == starting) return true;  // the untouched empty value
  copy->SetAutoComplete(false);
  copy->Restart();
  if (!FeedAll(*copy, Text)) return false;
  return GetProperties()->GetIgnoreMaskBlank() || copy->IsFinal();
}
