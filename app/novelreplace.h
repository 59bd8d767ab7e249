// Replacing text in the body texts and design notes of every node of a novel
// table: the replace engine (shared by every window that replaces in whole
// tables), the dialog that asks for one pair or a list of pairs, and the story
// window's command.
#pragma once
#include <utility>
#include <vector>

#include "editor/txteditsearch.h"
#include "platform/controls/buttons.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/valedit.h"

class TStoryWrite;

// ---- the replace engine ----

// Replaces every match that Engine (its pattern and options set) finds in Text
// by Replacement, as the editor's replace-all does: line by line, so a match
// never spans a line break, and never starting or ending inside a double-byte
// character; each match's replacement is the engine's (literal for the plain
// engine). Inserted text is not searched again. Line breaks (CR LF, LF or CR)
// stay as they are. Returns the number of matches replaced.
int ReplaceAllInText(TTxtEditSearchCustom& Engine, AnsiString& Text, const AnsiString& Replacement);
// The same with the plain engine on Find; Options may hold sfMatchCase and
// sfWholeWord. An empty Find replaces nothing.
int ReplaceAllInText(AnsiString& Text, const AnsiString& Find, const AnsiString& Replacement,
                     TTxtSearchFlags Options = {});

using TReplacePairs = std::vector<std::pair<AnsiString, AnsiString>>;
// The "find=replace" rows of a value list, all of them, in order; rows with
// an empty find text are left out.
TReplacePairs ReplacePairsOf(TStrings* Rows);
// Runs the pairs one after another over Text (a later pair sees what the
// earlier ones made), not case-sensitive; returns the number of replacements.
int ReplacePairsInText(AnsiString& Text, const TReplacePairs& Pairs);

// ---- the dialog ----

// How the replace dialog was closed.
constexpr TModalResult kReplacePair = 1, kClosePair = 2, kReplaceList = 100, kCloseList = 101;

// The dialog of the command, created at start-up and kept hidden between
// uses, so its histories, list and page last for the run. Page "替换" asks for
// one pair, page "批替换" holds the list of pairs.
class TReplaceForm : public TForm {
  PV_CLASS(TReplaceForm, TForm)
 public:
  explicit TReplaceForm(TComponent* AOwner);
  ~TReplaceForm() override;

  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabSheet1 = nullptr, *TabSheet2 = nullptr;
  TLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
  TComboBox *cbSearchText = nullptr, *cbReplaceText = nullptr;
  TButton* Button1 = nullptr;
  TBitBtn *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BitBtn3 = nullptr;
  TValueListEditor* ValueListEditor1 = nullptr;

  void Button1Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void BitBtn3Click(TObject* Sender);
  // Moves both boxes' texts to the top of their histories.
  void histext();
};

extern TReplaceForm* ReplaceForm;

// ---- the command ----

// Asks for the pair or the list and replaces in ttext2 and ttext1 of every
// record of Window's novel table (not in the material), then commits the
// table; the selected node and the caret stay where they were.
void ReplaceInNovel(TStoryWrite* Window);

void RegisterNovelReplace();
// Gives the story window its command.
void ProvideNovelReplace();
