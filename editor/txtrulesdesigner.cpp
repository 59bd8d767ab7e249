// The rules designer's form, built in code, and its commands. Every change
// acts on the live highlighter at once and refreshes the preview; while the
// controls are filled from the model (FFilling) their change handlers do
// nothing.
#include "editor/txtrulesdesigner.h"

#include <algorithm>

#include "platform/controls/dialogs.h"
#include "platform/controls/forms.h"
#include "platform/rtl/exceptions.h"

namespace {

const char* const kDesignerHelp = "Penvarro写作文档彩色文档设计器：编辑彩色文档的范围、关键字和颜色。";

// The strings of the designer are written in UTF-8 here and shown in code page 936.
AnsiString Cn(const char* Utf8) { return Utf8ToAnsi(Utf8); }

TTxtFontStyles StyleOfBox(const TTxtRulesDesigner::TStyleBox& B) {
  return TTxtFontStyles((B.Bold->Checked() ? txtBold : 0) | (B.Italic->Checked() ? txtItalic : 0) |
                        (B.Underline->Checked() ? txtUnderline : 0) | (B.StrikeOut->Checked() ? txtStrikeOut : 0));
}

void ResetToBlackOnWhite(TTxtHighlighterAttributes& A) {
  A.SetForeground(clBlack);
  A.SetBackground(clWhite);
  A.SetStyle(0);
}

}  // namespace

TTxtRulesDesigner::TTxtRulesDesigner(TTxtRules* Highlighter) : FRules(Highlighter) {
  BuildForm();
  BuildTree();
  Pages->SetActivePage(RangePage);
  if (TTreeNode* root = Tree->Items()->GetFirstNode()) {
    Tree->SetSelected(root);
    ShowNode(root);
    root->Expand(false);
  }
}

TTxtRulesDesigner::~TTxtRulesDesigner() {
  if (Preview) {
    Preview->SetHighlighter(nullptr);
    delete Preview;
    Preview = nullptr;
  }
  delete Form;
}

bool TTxtRulesDesigner::Execute() {
  Form->ShowModal();
  return true;
}

// ---------------------------------------------------------------- building the form

TLabel* TTxtRulesDesigner::AddLabel(TWinControl* Parent, const AnsiString& Caption, int L, int T, int W, int H,
                                    bool Right) {
  auto* l = new TLabel(Form);
  l->SetParent(Parent);
  l->SetAutoSize(false);
  l->SetBounds(L, T, W, H);
  l->SetCaption(Caption);
  if (Right) l->SetAlignment(taRightJustify);
  return l;
}

TCheckBox* TTxtRulesDesigner::AddCheck(TWinControl* Parent, const AnsiString& Caption, int L, int T, int W, int H) {
  auto* c = new TCheckBox(Form);
  c->SetParent(Parent);
  c->SetBounds(L, T, W, H);
  c->SetCaption(Caption);
  return c;
}

TButton* TTxtRulesDesigner::AddButton(TWinControl* Parent, const AnsiString& Caption, int L, int T, int W) {
  auto* b = new TButton(Form);
  b->SetParent(Parent);
  b->SetBounds(L, T, W, b->Height());
  b->SetCaption(Caption);
  return b;
}

TEdit* TTxtRulesDesigner::AddEdit(TWinControl* Parent, int L, int T, int W) {
  auto* e = new TEdit(Form);
  e->SetParent(Parent);
  e->SetBounds(L, T, W, e->Height());
  e->OnChange = TNotifyEvent(this, Parent == RootPage ? &TTxtRulesDesigner::RootChange
                                                      : &TTxtRulesDesigner::RangeChange);
  return e;
}

TTxtRulesDesigner::TStyleBox TTxtRulesDesigner::BuildStyleBox(TWinControl* Parent, int Left,
                                                              const AnsiString& Caption) {
  TStyleBox b;
  b.Box = new TPanel(Form);
  b.Box->SetParent(Parent);
  b.Box->SetBounds(Left, 19, 58, 161);
  b.Box->SetBevelInner(bvLowered);
  b.Title = new TLabel(Form);
  b.Title->SetParent(b.Box);
  b.Title->SetAlign(alTop);
  b.Title->SetAlignment(taCenter);
  b.Title->SetCaption(Caption);
  b.Title->Font()->SetColor(clMaroon);
  b.Title->Font()->SetStyle(TFontStyles{fsBold});
  auto colorButton = [&](int Top) {
    auto* p = new TPanel(Form);
    p->SetParent(b.Box);
    p->SetBounds(8, Top, 42, 21);
    p->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::ColorClick);
    return p;
  };
  b.Foreground = colorButton(20);
  b.Background = colorButton(44);
  TCheckBox** checks[] = {&b.Bold, &b.Italic, &b.Underline, &b.StrikeOut};
  const int tops[] = {67, 91, 114, 138};
  for (int i = 0; i < 4; ++i) {
    *checks[i] = AddCheck(b.Box, AnsiString(), 21, tops[i], 17, 17);
    (*checks[i])->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::StyleClick);
  }
  return b;
}

void TTxtRulesDesigner::MakeImages() {
  Images = new TImageList(Form);
  Images->SetWidth(16);
  Images->SetHeight(16);
  const struct {
    const char* Text;
    TColor Color;
  } glyphs[] = {{"4", clRed}, {"4", clGreen}, {"h", clBlue}};
  for (const auto& g : glyphs) {
    TBitmap bmp;
    bmp.SetSize(16, 16);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect{0, 0, 16, 16});
    c->Font()->SetName("Arial");
    c->Font()->SetSize(8);
    c->Font()->SetColor(g.Color);
    c->TextOut(1, 1, g.Text);
    Images->AddMasked(&bmp, clWhite);
  }
}

void TTxtRulesDesigner::BuildForm() {
  Form = new TForm(nullptr, 0);
  Form->SetBounds(Form->Left(), Form->Top(), 600, 400);
  Form->SetPosition(poScreenCenter);
  Form->SetKeyPreview(true);
  Form->Font()->SetName("Arial");
  Form->Font()->SetSize(8);
  Form->SetCaption(Cn(" Penvarro写作文档彩色文档设计器 "));
  Form->OnKeyPress = TKeyPressEvent(this, &TTxtRulesDesigner::FormKeyPress);
  Form->OnKeyDown = TKeyEvent(this, &TTxtRulesDesigner::FormKeyDown);
  MakeImages();

  auto* top = new TPanel(Form);
  top->SetParent(Form);
  top->SetAlign(alTop);
  top->SetHeight(184);

  auto* treePanel = new TPanel(Form);
  treePanel->SetParent(top);
  treePanel->SetAlign(alLeft);
  TreeMenu = new TPopupMenu(Form);
  TreeMenu->OnPopup = TNotifyEvent(this, &TTxtRulesDesigner::MenuPopup);
  LoadItem = new TMenuItem(Form);
  LoadItem->SetCaption(Cn("从文件加载..."));
  LoadItem->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::LoadClick);
  TreeMenu->Items()->Add(LoadItem);
  Tree = new TTreeView(Form);
  Tree->SetParent(treePanel);
  Tree->SetAlign(alClient);
  Tree->SetImages(Images);
  Tree->SetHideSelection(false);
  Tree->SetRightClickSelect(true);
  Tree->SetPopupMenu(TreeMenu);
  Tree->OnChange = TTVChangedEvent(this, &TTxtRulesDesigner::TreeChange);
  Tree->OnEdited = TTVEditedEvent(this, &TTxtRulesDesigner::TreeEdited);
  Tree->OnKeyDown = TKeyEvent(this, &TTxtRulesDesigner::TreeKeyDown);
  Tree->OnMouseUp = TMouseEvent(this, &TTxtRulesDesigner::TreeMouseUp);

  auto* stylePanel = new TPanel(Form);
  stylePanel->SetParent(top);
  stylePanel->SetAlign(alRight);
  stylePanel->SetWidth(200);
  stylePanel->SetBevelInner(bvRaised);
  stylePanel->SetBevelOuter(bvLowered);
  auto* styleTitle = new TLabel(Form);
  styleTitle->SetParent(stylePanel);
  styleTitle->SetAlign(alTop);
  styleTitle->SetAlignment(taCenter);
  styleTitle->SetCaption(Cn("属性"));
  styleTitle->SetTransparent(false);
  styleTitle->SetColor(TColor(0xFFFBF0));
  styleTitle->Font()->SetColor(clGreen);
  styleTitle->Font()->SetStyle(TFontStyles{fsBold});
  AddLabel(stylePanel, Cn("前景"), 55, 43, 22, 13, true);
  AddLabel(stylePanel, Cn("背景"), 55, 66, 22, 13, true);
  AddLabel(stylePanel, Cn("粗体"), 55, 90, 22, 13, true);
  AddLabel(stylePanel, Cn("斜体"), 55, 113, 22, 13, true);
  AddLabel(stylePanel, Cn("下划线"), 40, 137, 45, 13, true);
  AddLabel(stylePanel, Cn("删除线"), 40, 160, 44, 13, true);
  DefaultStyle = BuildStyleBox(stylePanel, 79, Cn("默认"));
  NumberStyle = BuildStyleBox(stylePanel, 137, Cn("数字"));

  auto* settings = new TPanel(Form);
  settings->SetParent(top);
  settings->SetAlign(alClient);
  settings->SetBevelInner(bvLowered);
  settings->SetBevelOuter(bvLowered);
  Pages = new TPageControl(Form);
  Pages->SetParent(settings);
  Pages->SetAlign(alClient);
  auto page = [&] {
    auto* p = new TTabSheet(Form);
    p->SetPageControl(Pages);
    p->SetTabVisible(false);
    return p;
  };
  RootPage = page();
  RangePage = page();
  KeywordPage = page();

  // root page
  RootCaseSensitive = AddCheck(RootPage, Cn("区分大小写"), 10, 10, 140, 17);
  RootCaseSensitive->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::RootChange);
  AddLabel(RootPage, Cn("分隔符:"), 10, 102, 44, 17, true);
  RootDelimiters = AddEdit(RootPage, 60, 98, 115);
  RootDelimiters->SetAnchors(TAnchors{akLeft, akTop, akRight});
  RootDelimiters->Font()->SetName("Arial");
  RootDelimiters->OnDblClick = TNotifyEvent(this, &TTxtRulesDesigner::DelimitersDblClick);
  RootAddRange = AddButton(RootPage, Cn("添加范围"), 10, 130);
  RootAddGroup = AddButton(RootPage, Cn("添加关键字"), 100, 130);

  // range page
  RangeCaseSensitive = AddCheck(RangePage, Cn("区分大小写"), 10, 10, 140, 17);
  AddLabel(RangePage, Cn("开始"), 10, 33, 44, 17, true);
  OpenSymbol = AddEdit(RangePage, 35, 30, 60);
  AddLabel(RangePage, Cn("结束"), 100, 33, 44, 17, true);
  CloseSymbol = AddEdit(RangePage, 125, 30, 60);
  CloseOnTerm = AddCheck(RangePage, Cn("在分隔符处关闭"), 10, 56, 140, 17);
  CloseOnEol = AddCheck(RangePage, Cn("在最后一行关闭"), 10, 77, 140, 17);
  OpenIsPartOfRange = AddCheck(RangePage, Cn("开始标签也是范围一部分"), 10, 98, 160, 17);
  for (TCheckBox* c : {RangeCaseSensitive, CloseOnTerm, CloseOnEol, OpenIsPartOfRange})
    c->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::RangeChange);
  AddLabel(RangePage, Cn("分隔符:"), 10, 120, 44, 17, true);
  RangeDelimiters = AddEdit(RangePage, 60, 116, 115);
  RangeDelimiters->SetAnchors(TAnchors{akLeft, akTop, akRight});
  RangeDelimiters->Font()->SetName("FixedSys");
  RangeDelimiters->OnDblClick = TNotifyEvent(this, &TTxtRulesDesigner::DelimitersDblClick);
  RangeAddRange = AddButton(RangePage, Cn("添加范围"), 10, 142);
  RangeAddGroup = AddButton(RangePage, Cn("添加关键字"), 100, 142);
  for (TButton* b : {RootAddRange, RangeAddRange}) b->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::AddRangeClick);
  for (TButton* b : {RootAddGroup, RangeAddGroup}) b->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::AddGroupClick);

  // keyword page
  auto* wordTools = new TPanel(Form);
  wordTools->SetParent(KeywordPage);
  wordTools->SetAlign(alRight);
  wordTools->SetWidth(100);
  wordTools->SetBevelInner(bvLowered);
  SortButton = AddButton(wordTools, Cn("排序"), 3, 2, 95);
  LowerButton = AddButton(wordTools, Cn("小写字母"), 3, 28, 95);
  SpacesButton = AddButton(wordTools, Cn("空格->换行"), 3, 54, 95);
  SortButton->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::SortClick);
  LowerButton->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::LowerClick);
  SpacesButton->OnClick = TNotifyEvent(this, &TTxtRulesDesigner::SpacesClick);
  Words = new TMemo(Form);
  Words->SetParent(KeywordPage);
  Words->SetAlign(alClient);
  Words->SetScrollBars(ssVertical);
  Words->SetBorderStyle(bsNone);
  Words->OnChange = TNotifyEvent(this, &TTxtRulesDesigner::WordsChange);

  // preview
  auto* previewPanel = new TPanel(Form);
  previewPanel->SetParent(Form);
  previewPanel->SetAlign(alClient);
  Preview = new TTxtEdit(nullptr);
  Preview->SetParent(previewPanel);
  Preview->SetAlign(alClient);
  Preview->SetHighlighter(FRules);
  Preview->Lines()->SetText(FRules->GetSampleText());
  Preview->SetWantTabs(true);
  Preview->OnDblClick = TNotifyEvent(this, &TTxtRulesDesigner::PreviewDblClick);
  Preview->OnKeyDown = TKeyEvent(this, &TTxtRulesDesigner::PreviewKeyDown);
}

// ---------------------------------------------------------------- the tree

TTxtRulesDesigner::TNodeKind TTxtRulesDesigner::KindOf(TTreeNode* Node) const {
  if (!Node) return nkNone;
  if (Node->ImageIndex() == 2) return nkGroup;
  return Node->Level() == 0 ? nkRoot : nkRange;
}

TTxtRange* TTxtRulesDesigner::RangeOf(TTreeNode* Node) const {
  const TNodeKind k = KindOf(Node);
  return k == nkRoot || k == nkRange ? static_cast<TTxtRange*>(Node->Data()) : nullptr;
}

TTxtSymbolGroup* TTxtRulesDesigner::GroupOf(TTreeNode* Node) const {
  return KindOf(Node) == nkGroup ? static_cast<TTxtSymbolGroup*>(Node->Data()) : nullptr;
}

TTreeNode* TTxtRulesDesigner::NewChildNode(TTreeNode* Parent, const AnsiString& Text, void* Data, int Image) {
  TTreeNode* n = Parent ? Tree->Items()->AddChildObject(Parent, Text, Data) : Tree->Items()->AddObject(nullptr, Text, Data);
  n->SetImageIndex(Image);
  n->SetSelectedIndex(Image);
  return n;
}

void TTxtRulesDesigner::BuildChildren(TTreeNode* Node, TTxtRange* Range) {
  for (int i = 0; i < Range->KeywordGroupCount(); ++i) {
    TTxtSymbolGroup* g = Range->KeywordGroupAt(i);
    NewChildNode(Node, g->Name, g, 2);
  }
  for (int i = 0; i < Range->RangeCount(); ++i) {
    TTxtRange* r = Range->RangeAt(i);
    BuildChildren(NewChildNode(Node, r->Name, r, 1), r);
  }
}

void TTxtRulesDesigner::BuildTree() {
  const bool filling = FFilling;
  FFilling = true;
  Tree->Items()->BeginUpdate();
  Tree->Items()->Clear();
  BuildChildren(NewChildNode(nullptr, FRules->RootRange->Name, FRules->RootRange.get(), 0), FRules->RootRange.get());
  Tree->Items()->EndUpdate();
  FFilling = filling;
}

AnsiString TTxtRulesDesigner::DelimiterText(const TTxtCharSet& Set) {
  AnsiString r;
  for (int c = 1; c <= 255; ++c)
    if (Set[std::size_t(c)] && c != 10 && c != 13 && c != 32) r += char(c);
  return r;
}

void TTxtRulesDesigner::ShowStyle(const TStyleBox& Box, TTxtHighlighterAttributes& A) {
  Box.Foreground->SetColor(A.Foreground());
  Box.Background->SetColor(A.Background());
  Box.Bold->SetChecked(A.Style() & txtBold);
  Box.Italic->SetChecked(A.Style() & txtItalic);
  Box.Underline->SetChecked(A.Style() & txtUnderline);
  Box.StrikeOut->SetChecked(A.Style() & txtStrikeOut);
}

void TTxtRulesDesigner::ReadStyle(const TStyleBox& Box, TTxtHighlighterAttributes& A) {
  A.SetForeground(Box.Foreground->Color());
  A.SetBackground(Box.Background->Color());
  A.SetStyle(StyleOfBox(Box));
}

void TTxtRulesDesigner::ShowNode(TTreeNode* Node) {
  const bool filling = FFilling;
  FFilling = true;
  try {
    switch (KindOf(Node)) {
      case nkRange: {
        TTxtRange* r = RangeOf(Node);
        OpenSymbol->SetText(r->OpenSymbol.Symbol);
        CloseSymbol->SetText(r->CloseSymbol.Symbol);
        CloseOnTerm->SetChecked(r->CloseOnTerm);
        CloseOnEol->SetChecked(r->CloseOnEol);
        RangeCaseSensitive->SetChecked(r->CaseSensitive());
        RangeDelimiters->SetText(DelimiterText(r->DelimiterChars));
        OpenIsPartOfRange->SetChecked(r->OpenSymbol.TermMode == 1);
        ShowStyle(DefaultStyle, r->DefaultAttributes);
        ShowStyle(NumberStyle, r->NumberAttributes);
        NumberStyle.Box->SetVisible(true);
        Pages->SetActivePage(RangePage);
        break;
      }
      case nkRoot: {
        TTxtRange* r = RangeOf(Node);
        ShowStyle(DefaultStyle, r->DefaultAttributes);
        ShowStyle(NumberStyle, r->NumberAttributes);
        RootDelimiters->SetText(DelimiterText(r->DelimiterChars));
        NumberStyle.Box->SetVisible(true);
        RootCaseSensitive->SetChecked(r->CaseSensitive());
        Pages->SetActivePage(RootPage);
        break;
      }
      case nkGroup: {
        TTxtSymbolGroup* g = GroupOf(Node);
        ShowStyle(DefaultStyle, *g->Attri);
        NumberStyle.Box->SetVisible(false);
        const TNotifyEvent handler = Words->OnChange;
        Words->OnChange = nullptr;
        Words->Lines()->Assign(&g->Words);
        Words->OnChange = handler;
        Pages->SetActivePage(KeywordPage);
        break;
      }
      case nkNone: break;
    }
  } catch (...) {
    FFilling = filling;
    throw;
  }
  FFilling = filling;
}

void TTxtRulesDesigner::TreeChange(TObject*, TTreeNode* Node) {
  if (!FFilling) ShowNode(Node);
}

void TTxtRulesDesigner::TreeEdited(TObject*, TTreeNode* Node, AnsiString& S) {
  if (TTxtRange* r = RangeOf(Node)) r->Name = S;
  else if (TTxtSymbolGroup* g = GroupOf(Node)) g->Name = S;
}

void TTxtRulesDesigner::TreeKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_DELETE && !Tree->IsEditing()) {
    DeleteNode(Tree->Selected());
  } else if (Key == VK_F2) {
    if (TTreeNode* n = Tree->Selected()) n->EditText();
  }
}

void TTxtRulesDesigner::TreeMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbRight) return;
  if (TTreeNode* n = Tree->GetNodeAt(X, Y)) Tree->SetSelected(n);
}

// ---------------------------------------------------------------- commands

void TTxtRulesDesigner::RefreshPreview() {
  FRules->ResetRules();
  FRules->ResetScanState();
  FRules->PrepareRules();
  Preview->SetHighlighter(nullptr);
  Preview->SetHighlighter(FRules);
  Preview->Invalidate();
}

void TTxtRulesDesigner::StyleClick(TObject*) {
  if (FFilling) return;
  TTreeNode* n = Tree->Selected();
  if (TTxtRange* r = RangeOf(n)) {
    ReadStyle(DefaultStyle, r->DefaultAttributes);
    ReadStyle(NumberStyle, r->NumberAttributes);
  } else if (TTxtSymbolGroup* g = GroupOf(n)) {
    ReadStyle(DefaultStyle, *g->Attri);
  } else {
    return;
  }
  RefreshPreview();
}

void TTxtRulesDesigner::ColorClick(TObject* Sender) {
  auto* button = dynamic_cast<TPanel*>(Sender);
  if (!button) return;
  button->SetBevelOuter(bvLowered);
  try {
    TColorDialog dlg(Form);
    dlg.SetOptions(TColorDialogOptions{cdFullOpen});
    dlg.SetColor(button->Color());
    TStrings* custom = dlg.CustomColors();
    custom->Clear();
    custom->Add("ColorA=" + IntToHex(int(ColorToRGB(button->Color())), 6));
    for (const char* c : {"ColorB=FFFFEE", "ColorC=EEFFFF", "ColorD=EEFFEE", "ColorE=EEEEFF", "ColorF=FFEEEE",
                          "ColorG=EEEEEE", "ColorH=FFEEAA", "ColorJ=FFAAEE", "ColorK=AAFFEE", "ColorI=AAEEFF",
                          "ColorL=EEFFAA", "ColorM=EEAAFF", "ColorN=AAAAAA", "ColorO=DDDDDD", "ColorP=999999"})
      custom->Add(c);
    if (dlg.Execute()) {
      button->SetColor(dlg.Color());
      StyleClick(button);
    }
  } catch (...) {
    button->SetBevelOuter(bvRaised);
    throw;
  }
  button->SetBevelOuter(bvRaised);
}

void TTxtRulesDesigner::RangeChange(TObject*) {
  if (FFilling || KindOf(Tree->Selected()) != nkRange) return;
  TTxtRange* r = RangeOf(Tree->Selected());
  r->OpenSymbol.Symbol = OpenSymbol->Text();
  r->CloseSymbol.Symbol = CloseSymbol->Text();
  r->CloseOnTerm = CloseOnTerm->Checked();
  r->CloseOnEol = CloseOnEol->Checked();
  r->SetCaseSensitive(RangeCaseSensitive->Checked());
  TTxtCharSet set;
  for (unsigned char c : RangeDelimiters->Text()) set.set(c);
  r->DelimiterChars = set;
  r->OpenSymbol.TermMode = OpenIsPartOfRange->Checked() ? 1 : 2;
  RefreshPreview();
}

void TTxtRulesDesigner::RootChange(TObject*) {
  if (FFilling || KindOf(Tree->Selected()) != nkRoot) return;
  TTxtRange* r = RangeOf(Tree->Selected());
  r->SetCaseSensitive(RootCaseSensitive->Checked());
  TTxtCharSet set;
  for (unsigned char c : RootDelimiters->Text()) set.set(c);
  r->DelimiterChars = set;
  RefreshPreview();
}

void TTxtRulesDesigner::DelimitersDblClick(TObject* Sender) {
  if (auto* e = dynamic_cast<TEdit*>(Sender)) e->SetText(DelimiterText(TxtDefaultDelimiters()));
}

void TTxtRulesDesigner::AddRange() {
  TTreeNode* sel = Tree->Selected();
  TTxtRange* parent = RangeOf(sel);
  if (!sel) {
    // start over from the root alone; its children stay in the model
    TTxtRange* root = FRules->RootRange.get();
    root->Name = "Root";
    ResetToBlackOnWhite(root->DefaultAttributes);
    ResetToBlackOnWhite(root->NumberAttributes);
    FFilling = true;
    Tree->Items()->Clear();
    NewChildNode(nullptr, "Root", root, 0);
    FFilling = false;
    RefreshPreview();
    return;
  }
  if (!parent) return;
  auto* r = new TTxtRange();
  r->Name = "New";
  r->OpenSymbol.TermMode = 1;
  ResetToBlackOnWhite(r->DefaultAttributes);
  ResetToBlackOnWhite(r->NumberAttributes);
  parent->AddRange(r);
  TTreeNode* n = NewChildNode(sel, "New", r, 1);
  sel->Expand(false);
  Tree->SetSelected(n);
  ShowNode(n);
  RefreshPreview();
  n->EditText();
}

void TTxtRulesDesigner::AddKeywordGroup() {
  TTreeNode* sel = Tree->Selected();
  TTxtRange* parent = RangeOf(sel);
  if (!parent) return;
  TTxtHighlighterAttributes* a = parent->AddAttributes("unknown");
  ResetToBlackOnWhite(*a);
  auto* g = new TTxtSymbolGroup(AnsiString(), a);
  g->Name = "New";
  parent->AddKeywordGroup(g);
  TTreeNode* n = NewChildNode(sel, "New", g, 2);
  sel->Expand(false);
  Tree->SetSelected(n);
  ShowNode(n);
  RefreshPreview();
  n->EditText();
}

void TTxtRulesDesigner::DeleteNode(TTreeNode* Node) {
  const TNodeKind kind = KindOf(Node);
  if (kind != nkRange && kind != nkGroup) return;  // the root stays
  const UINT answer = UINT(Application->MessageBox(Cn("你肯定要删除 ") + Node->Text(), Form->Caption(),
                                                   MB_YESNO | MB_ICONWARNING));
  if (answer != IDYES) return;
  TTxtRange* parent = RangeOf(Node->Parent());
  void* data = Node->Data();
  // the node goes first, so no change of selection shows the freed model
  FFilling = true;
  try {
    Node->Delete();
  } catch (...) {
    FFilling = false;
    throw;
  }
  FFilling = false;
  if (kind == nkRange) FRules->RemoveRange(parent, static_cast<TTxtRange*>(data));
  else FRules->RemoveKeywordGroup(parent, static_cast<TTxtSymbolGroup*>(data));
  ShowNode(Tree->Selected());
  RefreshPreview();
}

void TTxtRulesDesigner::WordsChange(TObject*) {
  if (FFilling) return;
  TTxtSymbolGroup* g = GroupOf(Tree->Selected());
  if (!g) return;
  g->Words.Assign(Words->Lines());
  RefreshPreview();
}

void TTxtRulesDesigner::SortWords() {
  std::vector<AnsiString> words;
  for (int i = 0; i < Words->Lines()->Count(); ++i) {
    const AnsiString w = Trim(Words->Lines()->Get(i));
    if (w.empty()) continue;
    if (std::none_of(words.begin(), words.end(), [&](const AnsiString& s) { return AnsiSameText(s, w); }))
      words.push_back(w);
  }
  std::stable_sort(words.begin(), words.end(),
                   [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; });
  AnsiString text;
  for (std::size_t i = 0; i < words.size(); ++i) text += (i ? "\r\n" : "") + words[i];
  Words->SetText(text);
}

void TTxtRulesDesigner::LowerCaseWords() { Words->SetText(LowerCase(Words->Text())); }

void TTxtRulesDesigner::SpacesToLines() { Words->SetText(StringReplace(Words->Text(), " ", "\r\n", rfReplaceAll)); }

void TTxtRulesDesigner::TakeWordFromPreview() {
  if (Pages->ActivePage() != KeywordPage) return;
  Words->Lines()->Add(Preview->GetSelText());
}

void TTxtRulesDesigner::PreviewKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN && Shift.Contains(ssCtrl) && Pages->ActivePage() == KeywordPage) {
    TakeWordFromPreview();
    Key = 0;
  }
}

void TTxtRulesDesigner::MenuPopup(TObject*) {
  const TNodeKind k = KindOf(Tree->Selected());
  LoadItem->SetVisible(k == nkRoot || k == nkRange);
}

void TTxtRulesDesigner::LoadClick(TObject*) {
  TOpenDialog dlg(Form);
  dlg.SetDefaultExt(".h");
  dlg.SetFilter(Cn("彩色文档") + Cn("Penvarro写作文档彩色配置文件 (*.h)|*.h"));
  if (dlg.Execute()) LoadFromFile(dlg.FileName());
}

void TTxtRulesDesigner::LoadFromFile(const AnsiString& FileName) {
  TTreeNode* node = Tree->Selected();
  const TNodeKind kind = KindOf(node);
  if (kind != nkRoot && kind != nkRange) return;
  TTxtRange* range = RangeOf(node);
  // Loading clears the model before it reads: whatever happens, the tree is
  // rebuilt from what the model holds afterwards.
  auto rebuild = [&] {
    if (kind == nkRoot) {
      BuildTree();
      node = Tree->Items()->GetFirstNode();
      Tree->SetSelected(node);
    } else {
      FFilling = true;
      node->DeleteChildren();
      BuildChildren(node, range);
      FFilling = false;
    }
    node->Expand(false);
    ShowNode(node);
    RefreshPreview();
  };
  try {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    if (kind == nkRoot) FRules->LoadFromStream(&stream);
    else range->LoadFromStream(&stream);
  } catch (const Exception& E) {
    rebuild();
    Application->ShowException(&E);
    return;
  }
  rebuild();
  if (kind == nkRoot) Preview->Lines()->SetText(FRules->GetSampleText());
}

// ---------------------------------------------------------------- form keys

void TTxtRulesDesigner::FormKeyPress(TObject*, char& Key) {
  if (Key == char(VK_ESCAPE) && !Tree->IsEditing()) {
    Key = 0;
    Form->Close();
  }
}

void TTxtRulesDesigner::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_F1) {
    Key = 0;
    Application->MessageBox(Cn(kDesignerHelp), Form->Caption(), MB_OK | MB_ICONINFORMATION);
  }
}
