#include "app/novelreplace.h"

#include "app/libdatamodule.h"
#include "app/searchdialogs.h"
#include "app/storywrite.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"

TReplaceForm* ReplaceForm = nullptr;

// ---------------------------------------------------------------------------
// the replace engine

namespace novelreplace_impl {

// Replaces the matches in one line (no line break in it) and appends the
// result to Out.
int ReplaceInLine(TTxtEditSearchCustom& Engine, const AnsiString& Line, const AnsiString& Replacement,
                  AnsiString& Out) {
  const int n = Engine.FindInText(Line);
  if (n == 0) {
    Out += Line;
    return 0;
  }
  std::vector<std::pair<std::size_t, std::size_t>> matches;  // 0-based start, length
  matches.reserve(std::size_t(n));
  for (int k = 0; k < n; ++k)
    matches.emplace_back(std::size_t(Engine.FoundPosition(k) - 1), std::size_t(Engine.FoundLength(k)));
  std::size_t done = 0;
  int replaced = 0;
  for (const auto& [start, length] : matches) {
    if (start < done || start + length > Line.size()) continue;  // never overlapping or past the line
    Out.append(Line, done, start - done);
    Out += Engine.ReplacementFor(Line.substr(start, length), Replacement);
    done = start + length;
    ++replaced;
  }
  Out.append(Line, done, AnsiString::npos);
  return replaced;
}

}  // namespace novelreplace_impl

using namespace novelreplace_impl;

int ReplaceAllInText(TTxtEditSearchCustom& Engine, AnsiString& Text, const AnsiString& Replacement) {
  if (Engine.GetFindText().empty() || Text.empty()) return 0;
  AnsiString out;
  out.reserve(Text.size());
  int replaced = 0;
  std::size_t at = 0;
  while (at <= Text.size()) {
    // CR and LF are below every trail byte, so a byte search finds only line breaks.
    std::size_t end = Text.find_first_of("\r\n", at);
    if (end == AnsiString::npos) end = Text.size();
    replaced += ReplaceInLine(Engine, Text.substr(at, end - at), Replacement, out);
    if (end == Text.size()) break;
    const std::size_t breakLength = Text[end] == '\r' && end + 1 < Text.size() && Text[end + 1] == '\n' ? 2 : 1;
    out.append(Text, end, breakLength);
    at = end + breakLength;
  }
  if (replaced > 0) Text = std::move(out);
  return replaced;
}

int ReplaceAllInText(AnsiString& Text, const AnsiString& Find, const AnsiString& Replacement,
                     TTxtSearchFlags Options) {
  if (Find.empty()) return 0;
  TTxtEditSearch engine(nullptr);
  engine.SetSearchOptions(Options);
  engine.SetFindText(Find);
  return ReplaceAllInText(engine, Text, Replacement);
}

TReplacePairs ReplacePairsOf(TStrings* Rows) {
  TReplacePairs pairs;
  for (int i = 0; i < Rows->Count(); ++i) {
    const AnsiString find = Rows->Names(i);
    if (!find.empty()) pairs.emplace_back(find, Rows->ValueFromIndex(i));
  }
  return pairs;
}

int ReplacePairsInText(AnsiString& Text, const TReplacePairs& Pairs) {
  int replaced = 0;
  for (const auto& [find, replacement] : Pairs) replaced += ReplaceAllInText(Text, find, replacement);
  return replaced;
}

// ---------------------------------------------------------------------------
// the dialog

TReplaceForm::TReplaceForm(TComponent* AOwner) : TForm(AOwner) { ReplaceForm = this; }

TReplaceForm::~TReplaceForm() {
  if (ReplaceForm == this) ReplaceForm = nullptr;
}

void TReplaceForm::histext() {
  KeepInHistory(cbSearchText);
  KeepInHistory(cbReplaceText);
}

void TReplaceForm::Button1Click(TObject*) {
  histext();
  SetModalResult(kReplacePair);
}

void TReplaceForm::BitBtn1Click(TObject*) { SetModalResult(kClosePair); }
void TReplaceForm::BitBtn2Click(TObject*) { SetModalResult(kReplaceList); }
void TReplaceForm::BitBtn3Click(TObject*) { SetModalResult(kCloseList); }

// ---------------------------------------------------------------------------
// the command

void ReplaceInNovel(TStoryWrite* Window) {
  if (!ReplaceForm || !Window->ClientUserTable->Active()) return;
  if (auto* editor = dynamic_cast<TCustomTxtEdit*>(LibDataModule->CurrentEditor))
    ReplaceForm->cbSearchText->SetText(editor->GetSelText());
  const int code = ReplaceForm->ShowModal();
  TReplacePairs pairs;
  if (code == kReplacePair) {
    if (!Trim(ReplaceForm->cbSearchText->Text()).empty())
      pairs.emplace_back(ReplaceForm->cbSearchText->Text(), ReplaceForm->cbReplaceText->Text());
  } else if (code == kReplaceList) {
    // Every row of the list, also those scrolled out of sight.
    pairs = ReplacePairsOf(ReplaceForm->ValueListEditor1->Strings());
  }
  if (pairs.empty()) return;
  // The editors search with the plain engine afterwards, as after an in-editor replace.
  for (TDBTxtEdit* e : {Window->Text1TxtEdit, Window->Text4TxtEdit, Window->Text6TxtEdit})
    e->SetSearchEngine(LibDataModule->TxtEditSearch);
  TDataSet* table = Window->ClientUserTable;
  Window->WalkNovel(true, [&] {
    AnsiString body = table->FieldByName("ttext2")->AsString();
    AnsiString design = table->FieldByName("ttext1")->AsString();
    const int replaced = ReplacePairsInText(body, pairs) + ReplacePairsInText(design, pairs);
    if (replaced == 0) return;
    table->Edit();
    table->FieldByName("ttext2")->SetAsString(body);
    table->FieldByName("ttext1")->SetAsString(design);
    table->Post();
  });
}

void RegisterNovelReplace() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TReplaceForm::StaticClass()});
  RegisterHandlers<TReplaceForm>([](THandlerBuilder<TReplaceForm>& h) {
    using F = TReplaceForm;
    h.Field("PageControl1", &F::PageControl1);
    h.Field("TabSheet1", &F::TabSheet1);
    h.Field("TabSheet2", &F::TabSheet2);
    h.Field("Label1", &F::Label1);
    h.Field("Label2", &F::Label2);
    h.Field("Label3", &F::Label3);
    h.Field("cbSearchText", &F::cbSearchText);
    h.Field("cbReplaceText", &F::cbReplaceText);
    h.Field("Button1", &F::Button1);
    h.Field("BitBtn1", &F::BitBtn1);
    h.Field("BitBtn2", &F::BitBtn2);
    h.Field("BitBtn3", &F::BitBtn3);
    h.Field("ValueListEditor1", &F::ValueListEditor1);
    h.Handler("Button1Click", &F::Button1Click);
    h.Handler("BitBtn1Click", &F::BitBtn1Click);
    h.Handler("BitBtn2Click", &F::BitBtn2Click);
    h.Handler("BitBtn3Click", &F::BitBtn3Click);
  });
}

void ProvideNovelReplace() { StoryWindowHooks().ReplaceInNovel = ReplaceInNovel; }
