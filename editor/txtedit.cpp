// The editor control: construction, properties, options, the paint lock and
// status changes, events, window metrics and registration.
#include "editor/txtedit.h"

#include <algorithm>
#include <climits>

#include "editor/txteditprops.h"
#include "editor/txteditwordwrap.h"
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/win/system.h"

namespace {

[[noreturn]] void EditAssert(const char* What) { throw EAssertionFailed(AnsiString(What) + " (TxtEdit)"); }

}  // namespace

// ---------------------------------------------------------------- plug-ins

TTxtEditPlugin::TTxtEditPlugin(TCustomTxtEdit* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->FPluginList.push_back(this);
}

TTxtEditPlugin::~TTxtEditPlugin() {
  if (!FOwner) return;
  auto& list = FOwner->FPluginList;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

// ---------------------------------------------------------------- construction

TCustomTxtEdit::TCustomTxtEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  FLines = std::make_unique<TTxtEditStringList>();
  FLines->OnChange = TNotifyEvent(this, &TCustomTxtEdit::StoreChanged);
  FLines->OnChanging = TNotifyEvent(this, &TCustomTxtEdit::StoreChanging);
  FLines->OnLinesCleared = TNotifyEvent(this, &TCustomTxtEdit::StoreCleared);
  FLines->OnLinesDeleted = TTxtStringListChangeEvent(this, &TCustomTxtEdit::StoreDeleted);
  FLines->OnLinesInserted = TTxtStringListChangeEvent(this, &TCustomTxtEdit::StoreInserted);
  FLines->OnLinesReplaced = TTxtStringListChangeEvent(this, &TCustomTxtEdit::StorePut);
  FFixedPitchFont = std::make_unique<TFont>();
  FUndoList = std::make_unique<TTxtEditUndoList>();
  FUndoList->OnItemAdded = TNotifyEvent(this, &TCustomTxtEdit::UndoItemAdded);
  FRedoList = std::make_unique<TTxtEditUndoList>();
  FRedoList->OnItemAdded = TNotifyEvent(this, &TCustomTxtEdit::UndoItemAdded);
  SetDoubleBuffered(false);
  FActiveLineColor = clNone;
  FSelectedColor = std::make_unique<TTxtSelectedColor>();
  FSelectedColor->OnChange = TNotifyEvent(this, &TCustomTxtEdit::SelectedColorChanged);
  FBookMarkOptions = std::make_unique<TTxtBookMarkOpt>(this);
  FBookMarkOptions->OnChange = TNotifyEvent(this, &TCustomTxtEdit::BookMarkOptionsChanged);
  FRightEdge = 80;
  FGutter = std::make_unique<TTxtGutter>();
  FGutter->OnChange = TNotifyEvent(this, &TCustomTxtEdit::GutterChanged);
  FGutterWidth = FGutter->Width();
  FWordWrapGlyph = std::make_unique<TTxtGlyph>("TxtEditWrapped", clLime);
  FWordWrapGlyph->OnChange = TNotifyEvent(this, &TCustomTxtEdit::WordWrapGlyphChanged);
  FTextStartX = FGutterWidth + 2;
  // Painted whole; the editor captures the mouse itself.
  FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csOpaque, csNeedsBorderPaint};
  SetBounds(FLeft, FTop, 200, 150);
  SetCursor(crIBeam);
  FFixedPitchFont->SetName("Courier New");
  FFixedPitchFont->SetSize(10);
  FFixedPitchFont->SetCharset(1);
  FTextDrawer = std::make_unique<TheTextDrawer>(TheStyle(1), FFixedPitchFont.get());
  Font()->Assign(FFixedPitchFont.get());
  SetParentFont(false);
  SetColor(clWindow);
  SetParentColor(false);
  FTabStop = true;
  FInsertMode = true;
  FMaxScrollWidth = 1024;
  FScrollBars = ssBoth;
  FBorderStyle = bsSingle;
  FInsertCaret = ctVerticalLine;
  FOverwriteCaret = ctBlock;
  FSelectionMode = FActiveSelectionMode = smNormal;
  FKeystrokes = std::make_unique<TTxtEditKeyStrokes>(this);
  FMarks = std::make_unique<TTxtEditMarkList>();
  FMarks->OnChange = TNotifyEvent(this, &TCustomTxtEdit::MarksChanged);
  ResetKeystrokes();
  FRightEdgeColor = clSilver;
  FPendingImeChars = 0;
  FWantReturns = true;
  FWantTabs = false;
  FTabWidth = 8;
  FLines->SetTabWidth(8);
  FLeftChar = FTopLine = FCaretX = FKeptCaretColumn = FCaretY = 1;
  FSelectionAnchor = FSelectionFocus = TBufferCoord{1, 1};
  FOptions = TxtDefaultOptions;
  FAutoScrollTimer = std::make_unique<TTimer>(nullptr);
  FAutoScrollTimer->SetEnabled(false);
  FAutoScrollTimer->SetInterval(100);
  FAutoScrollTimer->OnTimer = TNotifyEvent(this, &TCustomTxtEdit::AutoScrollStep);
  FScrollHintColor = clInfoBk;
  FScrollHintFormat = shfTopLineOnly;
  ApplyFontChange();
}

void TCustomTxtEdit::BeforeDestruction() {
  FDestroying = true;
  SetHighlighter(nullptr);
  TCustomControl::BeforeDestruction();
}

TCustomTxtEdit::~TCustomTxtEdit() {
  FDestroying = true;
  if (FHighlighter) SetHighlighter(nullptr);
  FAutoScrollTimer->OnTimer = nullptr;
  FAutoScrollTimer.reset();
  if (HandleAllocated()) DestroyHandle();
  FCommandHooks.clear();
  for (TTxtEditPlugin* p : std::vector<TTxtEditPlugin*>(FPluginList)) {
    p->FOwner = nullptr;
    delete p;
  }
  FPluginList.clear();
  FWordWrapPlugin.reset();
  FMarks->OnChange = nullptr;
  FLines->OnChange = nullptr;
  FLines->OnChanging = nullptr;
  FLines->OnLinesCleared = nullptr;
  FLines->OnLinesDeleted = nullptr;
  FLines->OnLinesInserted = nullptr;
  FLines->OnLinesReplaced = nullptr;
  FUndoList->OnItemAdded = nullptr;
  FRedoList->OnItemAdded = nullptr;
  FGutter->OnChange = nullptr;
  FSelectedColor->OnChange = nullptr;
  FBookMarkOptions->OnChange = nullptr;
  FWordWrapGlyph->OnChange = nullptr;
}

void TCustomTxtEdit::Loaded() {
  TCustomControl::Loaded();
  GutterChanged(this);
  UpdateScrollBars();
}

void TCustomTxtEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSearchEngine) FSearchEngine = nullptr;
  if (AComponent == FHighlighter) SetHighlighter(nullptr);
  if (FBookMarkOptions && AComponent == FBookMarkOptions->BookmarkImages()) {
    FBookMarkOptions->SetBookmarkImages(nullptr);
    InvalidateGutter();
  }
}

void TCustomTxtEdit::SetName(const AnsiString& NewName) {
  // At design time a text still equal to the old name follows the new name.
  const AnsiString oldName = Name();
  const bool follow = ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading) &&
                      TrimRight(GetText()) == oldName;
  TCustomControl::SetName(NewName);
  if (follow) FLines->SetText(NewName);
}

// ---------------------------------------------------------------- text

void TCustomTxtEdit::SetLines(TStrings* Value) { FLines->Assign(Value); }

AnsiString TCustomTxtEdit::GetText() { return FLines->GetText(); }

void TCustomTxtEdit::SetTextValue(const AnsiString& Value) { FLines->SetText(Value); }

AnsiString TCustomTxtEdit::LineText() {
  if (FCaretY >= 1 && FCaretY <= LineCount()) return LineAt(FCaretY);
  return AnsiString();
}

void TCustomTxtEdit::SetLineText(const AnsiString& S) {
  if (FCaretY >= 1 && FCaretY <= std::max(1, LineCount())) FLines->Put(FCaretY - 1, S);
}

// ---------------------------------------------------------------- paint lock and status

void TCustomTxtEdit::BeginPaintLock() { ++FPaintLock; }

void TCustomTxtEdit::EndPaintLock() {
  if (FPaintLock <= 0) EditAssert("EndPaintLock without BeginPaintLock");
  if (--FPaintLock > 0 || !HandleAllocated()) return;
  if (State(esScrollBarsPending)) UpdateScrollBars();
  if (WordWrap() && (FStatusChanges.Contains(scCaretX) || FStatusChanges.Contains(scCaretY)) &&
      FColumnsInWindow > 0) {
    TBufferCoord d = GetDisplayCaret();
    if (d.Char > FColumnsInWindow + 1) {
      if (FCaretAtWrapEnd) {
        FCaretAtWrapEnd = false;
      } else if (FStatusChanges.Contains(scCaretY)) {
        TBufferCoord b = DisplayPosToTextPos(TBufferCoord{FColumnsInWindow + 1, d.Line});
        FCaretX = b.Char;
        FStatusChanges << scCaretX;
        FKeptCaretColumn = GetDisplayX();
      }
      SetState(esCaretPending, true);
    }
  }
  if (State(esCaretPending)) PositionSystemCaret();
  if (!FStatusChanges.Empty()) FireStatusChange(FStatusChanges);
}

void TCustomTxtEdit::AddStatusChanges(TTxtStatusChanges Changes) {
  FStatusChanges = FStatusChanges + Changes;
  if (FPaintLock == 0) FireStatusChange(FStatusChanges);
}

void TCustomTxtEdit::FireStatusChange(TTxtStatusChanges Changes) {
  // The collected set is emptied before the event, so a handler that changes
  // the status again is reported afresh.
  FStatusChanges = TTxtStatusChanges{};
  if (OnStatusChange) OnStatusChange(this, Changes);
}

// ---------------------------------------------------------------- events

void TCustomTxtEdit::FireChange() {
  if (OnChange) OnChange(this);
}

void TCustomTxtEdit::FireClearBookmark(TTxtEditMark*& Mark) {
  if (OnClearBookmark) OnClearBookmark(this, Mark);
}

void TCustomTxtEdit::FireCommandProcessed(TTxtEditorCommand& Command, char& AChar, void* Data) {
  if (OnCommandProcessed) OnCommandProcessed(this, Command, AChar, Data);
}

void TCustomTxtEdit::FirePlaceBookmark(TTxtEditMark*& Mark) {
  if (OnPlaceBookmark) OnPlaceBookmark(this, Mark);
}

void TCustomTxtEdit::FireProcessCommand(TTxtEditorCommand& Command, char& AChar, void* Data) {
  if (Command > 1000) {
    if (OnProcessUserCommand) OnProcessUserCommand(this, Command, AChar, Data);
  } else if (OnProcessCommand) {
    OnProcessCommand(this, Command, AChar, Data);
  }
}

void TCustomTxtEdit::FireReplaceText(const AnsiString& ASearch, const AnsiString& AReplace, int Line, int Column,
                                     TTxtReplaceAction& Action) {
  if (OnReplaceText) OnReplaceText(this, ASearch, AReplace, Line, Column, Action);
}

bool TCustomTxtEdit::FireSpecialLineColors(int Line, TColor& Foreground, TColor& Background) {
  bool special = false;
  if (OnSpecialLineColors) OnSpecialLineColors(this, Line, special, Foreground, Background);
  return special;
}

// ---------------------------------------------------------------- properties

void TCustomTxtEdit::SetActiveLineColor(TColor Value) {
  if (FActiveLineColor == Value) return;
  FActiveLineColor = Value;
  InvalidateTextLine(FCaretY);
}

void TCustomTxtEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTxtEdit::SetExtraLineSpacing(int Value) {
  FExtraLineSpacing = Value;
  ApplyFontChange();
}

void TCustomTxtEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  InvalidateSelection();
}

void TCustomTxtEdit::SetHighlighter(TTxtCustomHighlighter* Value) {
  if (FHighlighter == Value) return;
  const TNotifyEvent hook(this, &TCustomTxtEdit::HighlighterAttrChanged);
  if (FHighlighter) {
    FHighlighter->UnhookAttributeChange(hook);
    FHighlighter->RemoveFreeNotification(this);
  }
  FHighlighter = Value;
  if (Value) {
    Value->HookAttributeChange(hook);
    Value->FreeNotification(this);
  }
  if (FDestroying || ComponentState().Contains(csDestroying)) return;
  if (FWordWrapPlugin) FWordWrapPlugin->RebuildMap();  // the break characters are the highlighter's
  HighlighterAttrChanged(Value);
}

void TCustomTxtEdit::HighlighterAttrChanged(TObject* Sender) {
  CalcTextMetrics();
  if (dynamic_cast<TTxtCustomHighlighter*>(Sender)) {
    FLines->BeginUpdate();
    try {
      RescanAllRanges();
    } catch (...) {
      FLines->EndUpdate();
      throw;
    }
    FLines->EndUpdate();
  } else {
    Invalidate();
  }
  UpdateWindowMetrics(true);
}

void TCustomTxtEdit::SetInsertCaret(TTxtEditCaretType Value) {
  if (FInsertCaret == Value) return;
  FInsertCaret = Value;
  CreateSystemCaret();
}

void TCustomTxtEdit::SetOverwriteCaret(TTxtEditCaretType Value) {
  if (FOverwriteCaret == Value) return;
  FOverwriteCaret = Value;
  CreateSystemCaret();
}

void TCustomTxtEdit::SetInsertMode(bool Value) {
  if (FInsertMode == Value) return;
  FInsertMode = Value;
  if (!ComponentState().Contains(csDesigning)) CreateSystemCaret();
  AddStatusChanges({scInsertMode});
}

void TCustomTxtEdit::SetKeystrokes(TTxtEditKeyStrokes* Value) {
  if (!Value) FKeystrokes->Clear();
  else FKeystrokes->Assign(Value);
}

void TCustomTxtEdit::ResetKeystrokes() { FKeystrokes->LoadDefaults(); }

void TCustomTxtEdit::SetMaxScrollWidth(int Value) {
  Value = ClampInt(Value, 1, INT_MAX - 1);
  if (FMaxScrollWidth == Value) return;
  FMaxScrollWidth = Value;
  if (Has(eoScrollPastEol)) UpdateScrollBars();
}

void TCustomTxtEdit::SetMaxUndo(int Value) {
  if (Value < 0) return;
  FUndoList->SetMaxItems(Value);
  FRedoList->SetMaxItems(Value);
}

void TCustomTxtEdit::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  AddStatusChanges({scReadOnly});
}

void TCustomTxtEdit::SetRightEdge(int Value) {
  if (FRightEdge == Value) return;
  FRightEdge = Value;
  Invalidate();
}

void TCustomTxtEdit::SetRightEdgeColor(TColor Value) {
  if (FRightEdgeColor == Value) return;
  FRightEdgeColor = Value;
  if (HandleAllocated()) {
    int x = FTextStartX + FRightEdge * FCharWidth + 1;
    InvalidateArea(TRect{x - 1, 0, x + 1, ClientHeight()}, false);
  }
}

void TCustomTxtEdit::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  UpdateScrollBars();
  Invalidate();
}

void TCustomTxtEdit::SetSearchEngine(TTxtEditSearchCustom* Value) {
  if (FSearchEngine == Value) return;
  if (FSearchEngine) FSearchEngine->RemoveFreeNotification(this);
  FSearchEngine = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomTxtEdit::SetTabWidth(int Value) {
  Value = ClampInt(Value, 1, 256);
  if (FTabWidth == Value) return;
  FTabWidth = Value;
  FLines->SetTabWidth(Value);
  Invalidate();
  if (FWordWrapPlugin) {
    FWordWrapPlugin->RebuildMap();
    InvalidateGutter();
  }
}

void TCustomTxtEdit::SetOptions(TTxtEditorOptions Value) {
  if (Value == FOptions) return;
  const TTxtEditorOptions old = FOptions;
  if (!old.Contains(eoScrollPastEol)) SetLeftChar(FLeftChar);
  if (!old.Contains(eoScrollPastEof)) SetTopLine(FTopLine);
  FOptions = Value;
  MoveCaretTo(GetCaretPos());  // clamped anew
  if (Value.Contains(eoScrollPastEol)) {
    TBufferCoord a = FSelectionAnchor, f = FSelectionFocus;
    const TTxtSelectionMode mode = FActiveSelectionMode;
    SetSelectionStart(a);
    SetSelectionEnd(f);
    FActiveSelectionMode = mode;
  }
  auto changed = [&](TTxtEditorOption O) { return old.Contains(O) != Value.Contains(O); };
  if (changed(eoDropFiles) && HandleAllocated() && !ComponentState().Contains(csDesigning))
    UpdateDropFiles(Value.Contains(eoDropFiles));
  if (changed(eoShowSpecialChars)) {
    FShowingSpecialChars = Value.Contains(eoShowSpecialChars);
    Invalidate();
  }
  if (changed(eoDisableScrollArrows) || changed(eoHideShowScrollbars) || changed(eoScrollPastEof) ||
      changed(eoScrollPastEol))
    UpdateScrollBars();
}

void TCustomTxtEdit::UpdateDropFiles(bool Accept) { DragAcceptFiles(Handle(), Accept ? TRUE : FALSE); }

void TCustomTxtEdit::SetGutterWidth(int W) {
  W = std::max(W, 0);
  if (FGutterWidth == W) return;
  FGutterWidth = W;
  FTextStartX = FGutterWidth + 2 - (FLeftChar - 1) * FCharWidth;
  if (HandleAllocated()) {
    if (FCharWidth > 0) FColumnsInWindow = std::max(ClientWidth() - FGutterWidth - 2, 0) / FCharWidth;
    if (FWordWrapPlugin) FWordWrapPlugin->NoteWindowChanged();
    UpdateScrollBars();
    Invalidate();
  }
}

void TCustomTxtEdit::GutterChanged(TObject* Sender) {
  if (ComponentState().Contains(csLoading) || !FGutter) return;
  int cw = FCharWidth;
  if (FGutter->ShowLineNumbers()) {
    if (FGutter->AutoSize()) FGutter->AdjustDigitCount(LineCount());
    if (FGutter->UseFontStyle()) {
      // measure the gutter's own font
      FTextDrawer->SetBaseFont(FGutter->Font());
      cw = FTextDrawer->GetCharWidth();
      FTextDrawer->SetBaseFont(Font());
    } else {
      cw = FTextDrawer->GetCharWidth();
    }
  }
  const int w = FGutter->PixelWidth(cw);
  if (w == FGutterWidth) InvalidateGutter();
  else SetGutterWidth(w);
}

void TCustomTxtEdit::SelectedColorChanged(TObject*) { InvalidateSelection(); }
void TCustomTxtEdit::BookMarkOptionsChanged(TObject*) { InvalidateGutter(); }
void TCustomTxtEdit::MarksChanged(TObject*) { InvalidateGutter(); }

void TCustomTxtEdit::WordWrapGlyphChanged(TObject*) {
  if (!ComponentState().Contains(csLoading)) InvalidateGutter();
}

void TCustomTxtEdit::SetWordWrap(bool Value) {
  if (Value == WordWrap()) return;
  Invalidate();
  const bool inView = CaretInView();
  const int topLine = LineOfRow(FTopLine);
  if (Value) {
    FWordWrapPlugin = std::make_unique<TTxtWordWrapPlugin>(this);
    FLeftChar = 1;
    FTextStartX = FGutterWidth + 2;
  } else {
    FWordWrapPlugin.reset();
  }
  FTopLine = std::max(1, FirstRowOfLine(topLine));
  SetTopLine(FTopLine);
  UpdateScrollBars();
  if (Has(eoScrollPastEol)) {
    const TTxtSelectionMode mode = FActiveSelectionMode;
    const TBufferCoord a = FSelectionAnchor, f = FSelectionFocus;
    MoveCaretTo(GetCaretPos());
    SetSelectionStart(a);
    SetSelectionEnd(f);
    FActiveSelectionMode = mode;
  }
  if (inView) MakeCaretVisible();
}

// ---------------------------------------------------------------- font and metrics

void TCustomTxtEdit::FontChanged(TObject* Sender) {
  TCustomControl::FontChanged(Sender);
  if (!FTextDrawer) return;  // still being constructed
  static thread_local bool inside = false;
  if (inside) return;
  inside = true;
  try {
    // A proportional font gives way to a fixed-pitch copy of it.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    if (tm.tmAveCharWidth != tm.tmMaxCharWidth && Font()->Pitch() != fpFixed) {
      FFixedPitchFont->BeginUpdate();
      FFixedPitchFont->SetColor(Font()->Color());
      FFixedPitchFont->SetHeight(Font()->Height());
      FFixedPitchFont->SetStyle(Font()->Style());
      FFixedPitchFont->SetName(Font()->Name());
      FFixedPitchFont->SetCharset(Font()->Charset());
      FFixedPitchFont->SetPitch(fpFixed);
      FFixedPitchFont->EndUpdate();
      Font()->Assign(FFixedPitchFont.get());
    }
  } catch (...) {
    inside = false;
    throw;
  }
  inside = false;
  if (FGutter->ShowLineNumbers()) GutterChanged(this);
  ApplyFontChange();
}

void TCustomTxtEdit::ApplyFontChange() {
  CalcTextMetrics();
  UpdateWindowMetrics(true);
}

void TCustomTxtEdit::CalcTextMetrics() {
  // the bold and italic combinations in use, in the order none, italic, bold, both
  bool used[4] = {false, false, false, false};
  if (FHighlighter && FHighlighter->AttributeCount() > 0) {
    for (int i = 0; i < FHighlighter->AttributeCount(); ++i)
      used[FHighlighter->AttributeAt(i)->Style() & 3] = true;
  } else {
    used[StyleBits(Font()->Style()) & 3] = true;
  }
  FLineHeight = 0;
  FCharWidth = 0;
  FTextDrawer->SetBaseFont(Font());
  for (int style : {0, 2, 1, 3}) {
    if (!used[style]) continue;
    FTextDrawer->SetBaseStyle(TheStyle(style));
    FLineHeight = std::max(FLineHeight, FTextDrawer->GetCharHeight());
    FCharWidth = std::max(FCharWidth, FTextDrawer->GetCharWidth());
  }
  FLineHeight += FExtraLineSpacing;
  if (FLineHeight <= 0) FLineHeight = 1;
}

void TCustomTxtEdit::UpdateWindowMetrics(bool FontChange) {
  if (!HandleAllocated() || FCharWidth == 0) return;
  FColumnsInWindow = std::max(ClientWidth() - FGutterWidth - 2, 0) / FCharWidth;
  FRowsInWindow = ClientHeight() / FLineHeight;
  if (FWordWrapPlugin) {
    FWordWrapPlugin->NoteWindowChanged();
    Invalidate();
  }
  if (FontChange) {
    if (FGutter->ShowLineNumbers()) GutterChanged(this);
    else UpdateScrollBars();
    CreateSystemCaret();
    SetState(esCaretPending, false);
    Invalidate();
  } else {
    UpdateScrollBars();
  }
  SetState(esScrollBarsPending, false);
  if (!Has(eoScrollPastEol)) SetLeftChar(FLeftChar);
  if (!Has(eoScrollPastEof)) SetTopLine(FTopLine);
}

void TCustomTxtEdit::SetCaretShownUnfocused(bool Value) {
  if (FCaretShownUnfocused == Value) return;
  FCaretShownUnfocused = Value;
  if (FDestroying || !HandleAllocated() || HasFocusNow()) return;
  if (Value) {
    CreateSystemCaret();
    PositionSystemCaret();
  } else {
    DestroySystemCaret();
  }
}

// ---------------------------------------------------------------- window

void TCustomTxtEdit::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) Params.ExStyle |= WS_EX_CLIENTEDGE;
    else Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTxtEdit::CreateWnd() {
  TCustomControl::CreateWnd();
  if (Has(eoDropFiles) && !ComponentState().Contains(csDesigning)) UpdateDropFiles(true);
  UpdateWindowMetrics(true);
  UpdateScrollBars();
}

void TCustomTxtEdit::DestroyWnd() {
  if (Has(eoDropFiles) && !ComponentState().Contains(csDesigning) && HandleAllocated()) UpdateDropFiles(false);
  TCustomControl::DestroyWnd();
}

void TCustomTxtEdit::WMSize(TWMSize& Message) {
  TCustomControl::Dispatch(Message);
  UpdateWindowMetrics(false);
}

void TCustomTxtEdit::DefineProperties(TFiler* Filer) {
  TCustomControl::DefineProperties(Filer);
  const TTxtEditKeyStrokes* reference = nullptr;
  if (auto* anc = dynamic_cast<TCustomTxtEdit*>(Filer->Ancestor())) reference = anc->Keystrokes();
  DefineKeystrokeProperties(Filer, FKeystrokes.get(), reference);
}

void TCustomTxtEdit::RegisterFocusControl(TWinControl* Control) {
  if (std::find(FFocusControls.begin(), FFocusControls.end(), Control) == FFocusControls.end())
    FFocusControls.push_back(Control);
}

void TCustomTxtEdit::UnregisterFocusControl(TWinControl* Control) {
  FFocusControls.erase(std::remove(FFocusControls.begin(), FFocusControls.end(), Control), FFocusControls.end());
}

void TCustomTxtEdit::SetFocus() {
  if (!FFocusControls.empty()) FFocusControls.back()->SetFocus();
  else TCustomControl::SetFocus();
}

bool TCustomTxtEdit::IsEditorFamily(TObject* Source) const { return dynamic_cast<TCustomTxtEdit*>(Source) != nullptr; }

// ---------------------------------------------------------------- registration

const char* const TxtEditClipboardFormatName = "TxtEdit Control Block Type";

UINT TxtEditClipboardFormat() {
  static UINT format = RegisterClipboardFormatA(TxtEditClipboardFormatName);
  return format;
}

void RegisterTxtEditClasses() {
  RegisterClasses({TTxtEdit::StaticClass()});
  RegisterProps<TTxtEdit>([](TPropBuilder<TTxtEdit>& p) { PublishTxtEditProps(p, false); });
}
