// The rules designer: a dialog built in code that edits the rule tree of a
// rule-driven highlighter in place (ranges, keyword groups, their styles and
// settings) with a preview editor that shows the sample text coloured by
// the rules as they are being edited.
#pragma once
#include "editor/txtedit.h"
#include "editor/txtrules.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/imglist.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"

class TTxtRulesDesigner : public TObject {
  PV_CLASS(TTxtRulesDesigner, TObject)
 public:
  explicit TTxtRulesDesigner(TTxtRules* Highlighter);
  ~TTxtRulesDesigner() override;
  TTxtRulesDesigner(const TTxtRulesDesigner&) = delete;
  TTxtRulesDesigner& operator=(const TTxtRulesDesigner&) = delete;

  // Shows the form modally; the edits stay in the highlighter.
  bool Execute();
  void SetTitle(const AnsiString& Caption) { Form->SetCaption(Caption); }

  enum TNodeKind { nkNone, nkRoot, nkRange, nkGroup };
  TNodeKind KindOf(TTreeNode* Node) const;

  // The controls of the form (owned by it).
  struct TStyleBox {
    TPanel* Box = nullptr;
    TLabel* Title = nullptr;
    TPanel* Foreground = nullptr;
    TPanel* Background = nullptr;
    TCheckBox* Bold = nullptr;
    TCheckBox* Italic = nullptr;
    TCheckBox* Underline = nullptr;
    TCheckBox* StrikeOut = nullptr;
  };
  TForm* Form = nullptr;
  TTreeView* Tree = nullptr;
  TImageList* Images = nullptr;
  TPopupMenu* TreeMenu = nullptr;
  TMenuItem* LoadItem = nullptr;
  TStyleBox DefaultStyle, NumberStyle;
  TPageControl* Pages = nullptr;
  TTabSheet *RootPage = nullptr, *RangePage = nullptr, *KeywordPage = nullptr;
  TCheckBox* RootCaseSensitive = nullptr;
  TEdit* RootDelimiters = nullptr;
  TCheckBox* RangeCaseSensitive = nullptr;
  TEdit* OpenSymbol = nullptr;
  TEdit* CloseSymbol = nullptr;
  TCheckBox* CloseOnTerm = nullptr;
  TCheckBox* CloseOnEol = nullptr;
  TCheckBox* OpenIsPartOfRange = nullptr;
  TEdit* RangeDelimiters = nullptr;
  TButton *RootAddRange = nullptr, *RootAddGroup = nullptr, *RangeAddRange = nullptr, *RangeAddGroup = nullptr;
  TButton *SortButton = nullptr, *LowerButton = nullptr, *SpacesButton = nullptr;
  TMemo* Words = nullptr;
  TTxtEdit* Preview = nullptr;

  // ---- commands (also run by the controls' events) ----
  void AddRange();
  void AddKeywordGroup();
  void DeleteNode(TTreeNode* Node);
  void SortWords();
  void LowerCaseWords();
  void SpacesToLines();
  void TakeWordFromPreview();
  void LoadFromFile(const AnsiString& FileName);
  void RefreshPreview();
  // The delimiter set as the edits show it.
  static AnsiString DelimiterText(const TTxtCharSet& Set);

 private:
  void BuildForm();
  TStyleBox BuildStyleBox(TWinControl* Parent, int Left, const AnsiString& Caption);
  TLabel* AddLabel(TWinControl* Parent, const AnsiString& Caption, int L, int T, int W, int H, bool Right);
  TCheckBox* AddCheck(TWinControl* Parent, const AnsiString& Caption, int L, int T, int W, int H);
  TButton* AddButton(TWinControl* Parent, const AnsiString& Caption, int L, int T, int W = 75);
  TEdit* AddEdit(TWinControl* Parent, int L, int T, int W);
  void MakeImages();

  void BuildTree();
  void BuildChildren(TTreeNode* Node, TTxtRange* Range);
  void ShowNode(TTreeNode* Node);
  void ShowStyle(const TStyleBox& Box, TTxtHighlighterAttributes& Attri);
  void ReadStyle(const TStyleBox& Box, TTxtHighlighterAttributes& Attri);
  TTxtRange* RangeOf(TTreeNode* Node) const;
  TTxtSymbolGroup* GroupOf(TTreeNode* Node) const;
  TTreeNode* NewChildNode(TTreeNode* Parent, const AnsiString& Text, void* Data, int Image);

  // event handlers
  void TreeChange(TObject* Sender, TTreeNode* Node);
  void TreeEdited(TObject* Sender, TTreeNode* Node, AnsiString& S);
  void TreeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void TreeMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void MenuPopup(TObject* Sender);
  void LoadClick(TObject* Sender);
  void StyleClick(TObject* Sender);
  void ColorClick(TObject* Sender);
  void RangeChange(TObject* Sender);
  void RootChange(TObject* Sender);
  void DelimitersDblClick(TObject* Sender);
  void AddRangeClick(TObject*) { AddRange(); }
  void AddGroupClick(TObject*) { AddKeywordGroup(); }
  void SortClick(TObject*) { SortWords(); }
  void LowerClick(TObject*) { LowerCaseWords(); }
  void SpacesClick(TObject*) { SpacesToLines(); }
  void WordsChange(TObject* Sender);
  void PreviewDblClick(TObject*) { TakeWordFromPreview(); }
  void PreviewKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormKeyPress(TObject* Sender, char& Key);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

  TTxtRules* FRules;
  bool FFilling = false;
};
