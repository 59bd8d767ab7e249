// The item text format of the completion list, its columns, and the base
// completion component with its published properties.
#include "editor/txtcompletion.h"

#include <algorithm>

#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"

// ---------------------------------------------------------------- item texts

namespace {

bool ParseFormatCommand(const AnsiString& Word, const AnsiString& Arg, TFormatChunk& Chunk) {
  if (SameText(Word, "COLOR")) {
    try {
      Chunk.Data = StringToColor(Trim(Arg));
    } catch (const EConvertError&) {
      return false;
    }
    Chunk.Kind = fkColor;
    return true;
  }
  if (SameText(Word, "STYLE")) {
    if (Arg.size() != 2) return false;
    const char action = Arg[0];
    const char letter = char(std::toupper(static_cast<unsigned char>(Arg[1])));
    if ((action != '+' && action != '-' && action != '~') ||
        (letter != 'B' && letter != 'I' && letter != 'S' && letter != 'U'))
      return false;
    Chunk.Kind = fkStyle;
    Chunk.StyleLetter = letter;
    Chunk.StyleAction = action == '+' ? 1 : action == '-' ? -1 : 0;
    return true;
  }
  if (SameText(Word, "COLUMN")) {
    if (!Arg.empty()) return false;
    Chunk.Kind = fkColumn;
    return true;
  }
  if (SameText(Word, "HSPACE") || SameText(Word, "IMAGE")) {
    Integer n = 0;
    if (!TryStrToInt(Trim(Arg), n)) return false;
    Chunk.Kind = SameText(Word, "HSPACE") ? fkHSpace : fkImage;
    Chunk.Data = n;
    return true;
  }
  return false;
}

TFontStyle StyleOfLetter(char Letter) {
  switch (Letter) {
    case 'B': return fsBold;
    case 'I': return fsItalic;
    case 'U': return fsUnderline;
    default: return fsStrikeOut;
  }
}

}  // namespace

void ParseItemText(const AnsiString& Text, TFormatChunkList& List, TFormatChunkKinds Mask) {
  List.clear();
  AnsiString run;
  bool pending = false;
  auto closeRun = [&]() {
    if (pending && !Mask.Contains(fkText)) {
      TFormatChunk c;
      c.Kind = fkText;
      c.Str = run;
      List.push_back(std::move(c));
    }
    run.clear();
    pending = false;
  };
  const std::size_t n = Text.size();
  std::size_t i = 0;
  while (i < n) {
    if (Text[i] != '\\') {
      run += Text[i++];
      pending = true;
      continue;
    }
    if (i + 1 < n && Text[i + 1] == '\\') {  // a literal backslash; the run stays open
      run += '\\';
      pending = true;
      i += 2;
      continue;
    }
    closeRun();
    const std::size_t open = Text.find('{', i + 1);
    const std::size_t close = open == AnsiString::npos ? AnsiString::npos : Text.find('}', open + 1);
    if (close == AnsiString::npos) return;  // an unfinished command hides the rest
    TFormatChunk c;
    if (ParseFormatCommand(Text.substr(i + 1, open - i - 1), Text.substr(open + 1, close - open - 1), c) &&
        !Mask.Contains(c.Kind))
      List.push_back(std::move(c));
    i = close + 1;
  }
  closeRun();
}

int DrawChunks(TCanvas* Canvas, const TRect& Rect, const TFormatChunkList& List, bool MeasureOnly,
               TCustomImageList* Images, TProposalColumns* Columns) {
  TFont saved;
  saved.Assign(Canvas->Font());
  Canvas->Brush()->SetStyle(bsClear);
  const int columnCount = Columns ? Columns->Count() : 0;
  int column = 0;
  if (columnCount > 0) Canvas->Font()->SetStyle(Columns->Items(0)->DefaultFontStyle());
  int x = Rect.left;
  int columnStart = Rect.left;
  for (const TFormatChunk& c : List) {
    bool stop = false;
    switch (c.Kind) {
      case fkText:
        if (!MeasureOnly) Canvas->TextOut(x, Rect.top, c.Str);
        x += Canvas->TextWidth(c.Str);
        stop = x > Rect.right;
        break;
      case fkColor:
        if (!MeasureOnly) Canvas->Font()->SetColor(c.Data);
        break;
      case fkStyle: {
        TFontStyles st = Canvas->Font()->Style();
        const TFontStyle s = StyleOfLetter(c.StyleLetter);
        if (c.StyleAction > 0 || (c.StyleAction == 0 && !st.Contains(s))) st << s;
        else st >> s;
        Canvas->Font()->SetStyle(st);
        break;
      }
      case fkColumn:
        if (column < columnCount) {
          columnStart += Canvas->TextWidth(Columns->Items(column)->BiggestWord() + " ");
          x = columnStart;
          ++column;
          if (column < columnCount) Canvas->Font()->SetStyle(Columns->Items(column)->DefaultFontStyle());
        }
        break;
      case fkHSpace:
        x += c.Data;
        stop = x > Rect.right;
        break;
      case fkImage:
        // without an image list an image command takes no room
        if (!Images) break;
        if (!MeasureOnly) Images->Draw(Canvas, x, Rect.top, c.Data);
        x += Images->Width();
        stop = x > Rect.right;
        break;
    }
    if (stop) break;
  }
  Canvas->Font()->Assign(&saved);
  Canvas->Brush()->SetStyle(bsSolid);
  return x;
}

void DrawItemText(TCanvas* Canvas, const TRect& Rect, const AnsiString& Text, TCustomImageList* Images,
                  TProposalColumns* Columns, bool Selected) {
  TFormatChunkList list;
  ParseItemText(Text, list, Selected ? TFormatChunkKinds{fkColor} : TFormatChunkKinds{});
  DrawChunks(Canvas, Rect, list, false, Images, Columns);
}

int MeasureItemText(TCanvas* Canvas, const AnsiString& Text, TProposalColumns* Columns,
                    TCustomImageList* Images) {
  TFormatChunkList list;
  ParseItemText(Text, list, {fkColor});
  return DrawChunks(Canvas, TRect{0, 0, 2147483647, 2147483647}, list, true, Images, Columns);
}

AnsiString PlainItemText(const AnsiString& Text) {
  TFormatChunkList list;
  ParseItemText(Text, list, {fkColor, fkStyle, fkColumn, fkHSpace, fkImage});
  AnsiString r;
  for (const TFormatChunk& c : list) r += c.Str;
  return r;
}

AnsiString FormatParameters(const AnsiString& Text, int Index) {
  TStringList pieces;
  pieces.SetCommaText(Text);
  AnsiString r;
  for (int i = 0; i < pieces.Count(); ++i) {
    if (i) r += " ";
    if (i == Index) r += "\\style{~B}" + pieces[i] + "\\style{~B}";
    else r += pieces[i];
  }
  return r;
}

// ---------------------------------------------------------------- columns

TProposalColumn::TProposalColumn(TCollection* Collection) : TCollectionItem(Collection) {}

void TProposalColumn::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TProposalColumn*>(Source)) {
    FBiggestWord = c->FBiggestWord;
    FInternalWidth = c->FInternalWidth;
    FDefaultFontStyle = c->FDefaultFontStyle;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

void TProposalColumn::SetBiggestWord(const AnsiString& Value) {
  if (FBiggestWord == Value) return;
  FBiggestWord = Value;
  Changed(false);
}

void TProposalColumn::SetDefaultFontStyle(TFontStyles Value) {
  if (FDefaultFontStyle == Value) return;
  FDefaultFontStyle = Value;
  Changed(false);
}

// ---------------------------------------------------------------- base component

TTxtBaseCompletionProposal::TTxtBaseCompletionProposal(TComponent* AOwner) : TComponent(AOwner) {
  FColumns = std::make_unique<TProposalColumns>(this, TProposalColumn::StaticClass());
  FForm = new TTxtBaseCompletionProposalForm(this, this);
  // The options are kept here; the window follows them once they are set
  // (until then it compares with the locale and centres the title).
  FForm->EndOfTokenChr = "()[]. ";
}

TTxtBaseCompletionProposal::~TTxtBaseCompletionProposal() {
  delete FForm;
  FForm = nullptr;
}

void TTxtBaseCompletionProposal::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FForm && AComponent == FForm->Images()) FForm->SetImages(nullptr);
}

void TTxtBaseCompletionProposal::SetOptions(TTxtCompletionOptions Value) {
  FOptions = Value;
  TTxtCompletionOptions flags;
  for (TTxtCompletionOption o : {scoAnsiStrings, scoCaseSensitive, scoLimitToMatchedText, scoTitleIsCentered,
                                 scoUseInsertList, scoUsePrettyText, scoCompleteWithTab, scoCompleteWithEnter})
    if (Value.Contains(o)) flags << o;
  FForm->SetFlags(flags);
}

void TTxtBaseCompletionProposal::SetDefaultType(TTxtCompletionType Value) {
  FForm->SetCurrentKind(Value);
  FForm->SetDefaultType(Value);
}

void TTxtBaseCompletionProposal::SetNbLinesInWindow(int Value) {
  FNbLinesInWindow = Value;
  FForm->SetNbLinesInWindow(Value);
}

void TTxtBaseCompletionProposal::SetImages(TCustomImageList* Value) {
  if (FForm->Images() == Value) return;
  if (FForm->Images()) FForm->Images()->RemoveFreeNotification(this);
  FForm->SetImages(Value);
  if (Value) Value->FreeNotification(this);
}

void TTxtBaseCompletionProposal::ExecuteAt(const AnsiString& CurrentInput, int X, int Y,
                                           TTxtCompletionType Kind) {
  TTxtBaseCompletionProposalForm* f = FForm;
  f->SetCurrentKind(Kind);
  AnsiString input = CurrentInput;
  bool can = true;
  if (OnExecute) OnExecute(Kind, this, input, X, Y, can);
  if (!can || f->ItemList()->Count() == 0) {
    if (f->Visible() && Kind == ctParams) f->Hide();
    return;
  }
  f->SetNbLinesInWindow(FNbLinesInWindow);
  f->ShowAllItems();
  if (Kind == ctCode) {
    f->SetTypedText(input);
    f->Scrollbar()->SetVisible(true);
    f->LayoutForm(X, Y);
    if (!f->Flags().Contains(scoLimitToMatchedText)) {
      f->AdjustScrollBar();
      f->Scrollbar()->SetPosition(std::min(f->SelectedIndex(), f->Scrollbar()->Max()));
    }
    if (f->ShownList()->Count() > 0) f->ShowActive();
  } else {
    f->Scrollbar()->SetVisible(false);
    f->LayoutForm(X, Y);
    f->ShowQuietly();
    f->Invalidate();
  }
}

// ---------------------------------------------------------------- registration

void RegisterCompletionClasses() {
  RegisterClasses({TTxtCompletionProposal::StaticClass(), TProposalColumn::StaticClass()});
  RegisterProps<TProposalColumn>([](TPropBuilder<TProposalColumn>& p) {
    p.Prop("BiggestWord", &TProposalColumn::BiggestWord, &TProposalColumn::SetBiggestWord);
    p.Prop("DefaultFontStyle", &TProposalColumn::DefaultFontStyle, &TProposalColumn::SetDefaultFontStyle)
        .Default(TFontStyles{});
  });
  RegisterProps<TTxtBaseCompletionProposal>([](TPropBuilder<TTxtBaseCompletionProposal>& p) {
    using P = TTxtBaseCompletionProposal;
    p.Prop("DefaultType", &P::DefaultType, &P::SetDefaultType).Default(ctCode);
    p.Prop("Options", &P::Options, &P::SetOptions).Default(TxtDefaultProposalOptions);
    p.Prop("ItemList", &P::ItemList, &P::SetItemList);
    p.Prop("InsertList", &P::InsertList, &P::SetInsertList);
    p.Prop("NbLinesInWindow", &P::NbLinesInWindow, &P::SetNbLinesInWindow).Default(8);
    p.Prop("ClSelect", &P::ClSelect, &P::SetClSelect).Default(clHighlight).Idents(ColorIdentMap());
    p.Prop("ClSelectedText", &P::ClSelectedText, &P::SetClSelectedText)
        .Default(clHighlightText)
        .Idents(ColorIdentMap());
    p.Prop("ClBackground", &P::ClBackground, &P::SetClBackground).Default(clWindow).Idents(ColorIdentMap());
    p.Prop("ClTitleBackground", &P::ClTitleBackground, &P::SetClTitleBackground)
        .Default(clBtnFace)
        .Idents(ColorIdentMap());
    p.Prop("Width", &P::Width, &P::SetWidth).Default(260);
    p.Prop("EndOfTokenChr", &P::EndOfTokenChr, &P::SetEndOfTokenChr);
    p.Prop("TriggerChars", &P::TriggerChars, &P::SetTriggerChars);
    p.Prop("Title", &P::Title, &P::SetTitle);
    p.Prop("Font", &P::Font, &P::SetFont);
    p.Prop("TitleFont", &P::TitleFont, &P::SetTitleFont);
    p.Prop("Columns", &P::Columns, &P::SetColumns);
    p.Prop("Resizeable", &P::Resizeable, &P::SetResizeable).Default(true);
    p.Prop("ItemHeight", &P::ItemHeight, &P::SetItemHeight).Default(0);
    p.Prop("Images", &P::Images, &P::SetImages);
    p.Prop("Margin", &P::Margin, &P::SetMargin).Default(2);
    p.Field("OnChange", &P::OnChange);
    p.Field("OnClose", &P::OnClose);
    p.Field("OnExecute", &P::OnExecute);
    p.Field("OnMeasureItem", &P::OnMeasureItem);
    p.Field("OnPaintItem", &P::OnPaintItem);
    p.Field("OnParameterToken", &P::OnParameterToken);
    p.Field("OnShow", &P::OnShow);
  });
  RegisterProps<TTxtCompletionProposal>([](TPropBuilder<TTxtCompletionProposal>& p) {
    using P = TTxtCompletionProposal;
    p.Prop("ShortCut", &P::ShortCut, &P::SetShortCut).Default(TShortCut(ShortCut(VK_SPACE, {ssCtrl})));
    p.Prop("Editor", &P::Editor, &P::SetEditor);
    p.Prop("TimerInterval", &P::TimerInterval, &P::SetTimerInterval).Default(1000);
    p.Field("OnCodeCompletion", &P::OnCodeCompletion);
    p.Field("OnAfterCodeCompletion", &P::OnAfterCodeCompletion);
    p.Field("OnCancelled", &P::OnCancelled);
  });
}
