#include "editor/txtrules.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "editor/txtdbcs.h"
#include "platform/classes/filer.h"

using namespace txtdbcs;

TTxtCharSet TxtDefaultDelimiters() {
  TTxtCharSet s;
  for (int c = 33; c <= 126; ++c) {
    bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    if (!alnum) s.set(c);
  }
  return s;
}

namespace {
std::atomic<Integer> gNextRangeId{1};


// The first byte of the last character of S.
unsigned char LastCharByte(const AnsiString& S) {
  const auto* p = reinterpret_cast<const unsigned char*>(S.data());
  const std::size_t n = S.size();
  std::size_t last = 0;
  for (std::size_t i = 0; i < n; i += CharWidth(p, n, i)) last = i;
  return p[last];
}
}  // namespace

// ---------------------------------------------------------------- groups

TTxtSymbolGroup::TTxtSymbolGroup(const AnsiString& WordsText, TTxtHighlighterAttributes* Attri) : Attri(Attri) {
  if (!WordsText.empty()) Words.SetText(WordsText);
}

// ---------------------------------------------------------------- matchers

TSymbols::TSymbols(unsigned char Ch, Byte TermMode, TTxtSymbol* Symbol) {
  Root.Ch = Ch;
  Root.TermMode = TermMode;
  Root.Symbol = Symbol;
}

void TSymbols::AddSymbol(const AnsiString& Rest, TTxtSymbol* Symbol, Byte TermMode) {
  TSymbolNode* node = &Root;
  for (unsigned char c : Rest) {
    TSymbolNode* next = node->FindNode(c);
    if (!next) {
      auto n = std::make_unique<TSymbolNode>();
      n->Ch = c;
      next = n.get();
      node->Children.push_back(std::move(n));
    }
    node = next;
  }
  node->TermMode = TermMode;
  node->Symbol = Symbol;
}

bool TSymbols::MatchToken(TTxtRules& S, TTxtSymbol*& Symbol) {
  const unsigned char* line = S.CaseLine();
  TSymbolNode* node = &Root;
  TSymbolNode* next = nullptr;
  while (!node->Children.empty() && line[S.Run] != 0) {
    ++S.Run;
    next = node->FindNode(line[S.Run]);
    if (!next) break;
    node = next;
  }
  if (!node->Symbol) return false;
  if (!next && !node->Children.empty()) --S.Run;
  if (line[S.Run] != 0) ++S.Run;
  // A symbol never ends inside a double-byte character.
  if (S.IsTrailAt(S.Run)) return false;
  if (node->TermMode == 1 || S.IsDelimiterAt(S.Run)) {
    Symbol = node->Symbol;
    return true;
  }
  return false;
}

static void StepChar(TTxtRules& S) {
  ++S.Run;
  if (S.IsTrailAt(S.Run)) ++S.Run;
}

bool TDefaultSymbols::MatchToken(TTxtRules& S, TTxtSymbol*& Sym) {
  StepChar(S);
  return false;
}

bool TDefaultTermSymbols::MatchToken(TTxtRules& S, TTxtSymbol*& Sym) {
  if (S.CaseLine()[S.Run] != 0) StepChar(S);
  Sym = Symbol.get();
  return true;
}

bool TNumberSymbols::MatchToken(TTxtRules& S, TTxtSymbol*& Sym) {
  const unsigned char* line = S.CaseLine();
  while (line[S.Run] >= '0' && line[S.Run] <= '9') ++S.Run;
  if (S.IsDelimiterAt(S.Run)) {
    Sym = Symbol.get();
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- range

TTxtRange::TTxtRange(const AnsiString& OpenSymbolText, const AnsiString& CloseSymbolText)
    : CloseSymbol(CloseSymbolText, nullptr),
      OpenSymbol(OpenSymbolText, nullptr),
      DefaultAttributes("Default Packages"),
      NumberAttributes("Number"),
      DelimiterChars(TxtDefaultDelimiters()),
      FId(gNextRangeId++) {
  SetCaseSensitive(false);
}

TTxtRange::~TTxtRange() { Clear(); }

AnsiString TTxtRange::StringCase(const AnsiString& S) const {
  if (!FFold) return S;
  AnsiString r = S;
  auto* p = reinterpret_cast<unsigned char*>(r.data());
  const std::size_t n = r.size();
  for (std::size_t i = 0; i < n;) {
    if (PairAt(p, n, i)) {
      i += 2;
    } else {
      p[i] = AsciiUpper(p[i]);
      ++i;
    }
  }
  return r;
}

void TTxtRange::SetCaseSensitive(bool Value) {
  FCaseSensitive = Value;
  FFold = !Value;
}

void TTxtRange::AddSymbol(TTxtSymbol* Symbol) {
  for (auto it = FSymbols.begin(); it != FSymbols.end(); ++it)
    if ((*it)->Symbol == Symbol->Symbol) {
      if (*it == ClosingSymbol) ClosingSymbol = nullptr;  // the text no longer closes this range
      delete *it;
      FSymbols.erase(it);
      break;
    }
  FSymbols.push_back(Symbol);
}

TTxtSymbol* TTxtRange::FindSymbol(const AnsiString& Text) const {
  for (TTxtSymbol* s : FSymbols)
    if (s->Symbol == Text) return s;
  return nullptr;
}

TTxtHighlighterAttributes* TTxtRange::AddAttributes(const AnsiString& AName) {
  auto* a = new TTxtHighlighterAttributes(AName);
  FOwnedAttributes.push_back(a);
  return a;
}

void TTxtRange::RemoveRange(TTxtRange* Child) {
  auto it = std::find(FRanges.begin(), FRanges.end(), Child);
  if (it != FRanges.end()) FRanges.erase(it);
  delete Child;
}

void TTxtRange::RemoveKeywordGroup(TTxtSymbolGroup* Group) {
  auto it = std::find(FKeywordGroups.begin(), FKeywordGroups.end(), Group);
  if (it != FKeywordGroups.end()) FKeywordGroups.erase(it);
  delete Group;
}

TTxtSymbol* TTxtRange::EnsureSymbol(const TTxtSymbol& Template, TTxtRange* In, TTxtHighlighterAttributes* Attri) {
  TTxtSymbol* s = In->FindSymbol(Template.Symbol);
  if (!s) {
    s = new TTxtSymbol(Template.Symbol, Template.Attri);
    s->TermMode = Template.TermMode;
    In->AddSymbol(s);
  }
  if (!s->Attri) s->Attri = Attri;
  return s;
}

void TTxtRange::Prepare(TTxtRange* AParent) {
  Reset();
  Parent = AParent;
  FDefaultSymbol = std::make_unique<TTxtSymbol>(AnsiString(), &DefaultAttributes);
  FTermSymbols = std::make_unique<TDefaultTermSymbols>(new TTxtSymbol(AnsiString(), &DefaultAttributes));
  FWordSymbols = std::make_unique<TDefaultSymbols>(new TTxtSymbol(AnsiString(), &DefaultAttributes));
  FNumberSymbols = std::make_unique<TNumberSymbols>(new TTxtSymbol(AnsiString(), &NumberAttributes));
  for (int c : {0, 10, 13, 32}) DelimiterChars.set(c);
  for (TTxtSymbolGroup* g : FKeywordGroups)
    for (int i = 0; i < g->Words.Count(); ++i) AddSymbol(new TTxtSymbol(g->Words[i], g->Attri));
  for (TTxtRange* c : FRanges) {
    TTxtSymbol* open = EnsureSymbol(c->OpenSymbol, this, &c->DefaultAttributes);
    open->StartsRange = c;
    c->ClosingSymbol = EnsureSymbol(c->CloseSymbol, c, &c->DefaultAttributes);
    c->Prepare(this);
  }
  std::stable_sort(FSymbols.begin(), FSymbols.end(), [](const TTxtSymbol* a, const TTxtSymbol* b) {
    return std::lexicographical_compare(
        a->Symbol.begin(), a->Symbol.end(), b->Symbol.begin(), b->Symbol.end(),
        [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
  });
  std::fill(std::begin(SymbolTable), std::end(SymbolTable), nullptr);
  for (TTxtSymbol* s : FSymbols) {
    if (s->Symbol.empty()) continue;
    const unsigned char f = s->Symbol[0];
    Byte m = s->TermMode ? s->TermMode : (DelimiterChars[LastCharByte(s->Symbol)] ? 1 : 2);
    const unsigned char k = CharCase(f);
    auto* entry = static_cast<TSymbols*>(SymbolTable[k]);
    if (entry) {
      if (s->Symbol.size() > 1) entry->AddSymbol(StringCase(s->Symbol).substr(1), s, m);
      continue;
    }
    std::unique_ptr<TSymbols> t;
    if (s->Symbol.size() == 1) {
      t = std::make_unique<TSymbols>(f, m, s);
    } else {
      t = std::make_unique<TSymbols>(f, m, FDefaultSymbol.get());
      t->AddSymbol(StringCase(s->Symbol).substr(1), s, m);
    }
    SymbolTable[k] = t.get();
    FTries.push_back(std::move(t));
  }
  for (int b = 0; b < 256; ++b) {
    if (SymbolTable[b]) continue;
    if (DelimiterChars[b]) SymbolTable[b] = FTermSymbols.get();
    else if (b >= '0' && b <= '9') SymbolTable[b] = FNumberSymbols.get();
    else SymbolTable[b] = FWordSymbols.get();
  }
  FPrepared = true;
}

void TTxtRange::Reset() {
  if (!FPrepared) return;
  FDefaultSymbol.reset();
  FTermSymbols.reset();
  FWordSymbols.reset();
  FNumberSymbols.reset();
  FTries.clear();
  std::fill(std::begin(SymbolTable), std::end(SymbolTable), nullptr);
  for (TTxtRange* c : FRanges) c->Reset();
  for (TTxtSymbol* s : FSymbols) delete s;
  FSymbols.clear();
  ClosingSymbol = nullptr;
  FPrepared = false;
}

void TTxtRange::Clear() {
  Reset();
  for (TTxtRange* c : FRanges) c->Clear();
  for (TTxtRange* c : FRanges) delete c;
  FRanges.clear();
  for (TTxtSymbol* s : FSymbols) delete s;
  FSymbols.clear();
  for (TTxtSymbolGroup* g : FKeywordGroups) delete g;
  FKeywordGroups.clear();
  for (TTxtHighlighterAttributes* a : FOwnedAttributes) delete a;
  FOwnedAttributes.clear();
}

void TTxtRange::LoadFromStream(TStream* Stream) {
  Clear();
  Int64 size = Stream->Size() - Stream->Position();
  AnsiString text;
  if (size > 0) {
    text.resize(std::size_t(size));
    text.resize(std::size_t(Stream->Read(text.data(), LongInt(size))));
  }
  ReadRangeRulesText(*this, text);
}

// ---------------------------------------------------------------- highlighter

TTxtRules::TTxtRules(TComponent* AOwner) : TTxtCustomHighlighter(AOwner), RootRange(std::make_unique<TTxtRange>()) {
  RootRange->Name = "Root";
  CurrentRange = RootRange.get();
}

TTxtRules::~TTxtRules() = default;

void TTxtRules::IndexRanges(TTxtRange* R) {
  FRangeById[R->Id()] = R;
  for (int i = 0; i < R->RangeCount(); ++i) IndexRanges(R->RangeAt(i));
}

void TTxtRules::PrepareRules() {
  RootRange->Prepare(RootRange.get());
  FRangeById.clear();
  IndexRanges(RootRange.get());
}

void TTxtRules::RemoveRange(TTxtRange* Parent, TTxtRange* Child) {
  RootRange->Reset();
  FRangeById.clear();
  Parent->RemoveRange(Child);
  CurrentRange = RootRange.get();
}

void TTxtRules::RestoreScanState(Integer Value) {
  if (!RootRange->Prepared()) PrepareRules();
  auto it = FRangeById.find(Value);
  // A state from before the rules changed names no range any more: start at the root.
  CurrentRange = it != FRangeById.end() ? it->second : RootRange.get();
}

TTxtHighlighterAttributes* TTxtRules::DefaultAttribute(int Kind) {
  if (Kind >= 0 && Kind <= 4) return &CurrentRange->DefaultAttributes;
  return nullptr;
}

TTxtCharSet TTxtRules::IdentifierChars() const {
  TTxtCharSet s;
  for (int i = 32; i < 256; ++i) s.set(i);
  return s & ~CurrentRange->DelimiterChars;
}

AnsiString TTxtRules::GetSampleText() const {
  AnsiString r;
  for (int i = 0; i < Sample.Count(); ++i) {
    if (i) r += "\r\n";
    r += Sample[i];
  }
  return r;
}

void TTxtRules::SetSampleText(const AnsiString& Value) { Sample.SetText(Value); }

void TTxtRules::StartLine(const AnsiString& Text, int LineIndex) {
  if (!RootRange->Prepared()) {
    Integer state = CurrentRange->Id();
    PrepareRules();
    RestoreScanState(state);
  }
  FLineText = Text.c_str();
  FLineLen = int(std::strlen(FLineText));
  const auto* src = reinterpret_cast<const unsigned char*>(FLineText);
  MarkTrailBytes(src, std::size_t(FLineLen), FTrail);
  FCaseLine.resize(std::size_t(FLineLen) + 1);
  for (int i = 0; i < FLineLen; ++i) FCaseLine[i] = FTrail[i] ? src[i] : CurrentRange->CharCase(src[i]);
  FCaseLine[FLineLen] = 0;
  Run = 0;
  FTokenPos = 0;
  FLineIndex = LineIndex;
  FEol = false;
  FEndReached = false;
  NextToken();
}

void TTxtRules::NextToken() {
  if (FEndReached) {
    if (CurrentRange->CloseOnEol || CurrentRange->CloseOnTerm) CurrentRange = CurrentRange->Parent;
    FEol = true;
    return;
  }
  FTokenPos = Run;
  if (CurrentRange->CloseOnTerm && IsDelimiterAt(Run)) CurrentRange = CurrentRange->Parent;
  TTxtSymbol* sym = nullptr;
  if (CurrentRange->SymbolTable[FCaseLine[Run]]->MatchToken(*this, sym)) {
    FCurrentSymbol = sym;
    if (sym == CurrentRange->ClosingSymbol) CurrentRange = CurrentRange->Parent;
    else if (sym->StartsRange) CurrentRange = sym->StartsRange;
  } else {
    FCurrentSymbol = CurrentRange->DefaultSymbol();
    while (!IsDelimiterAt(Run)) ++Run;
  }
  if (FCaseLine[Run] == 0) FEndReached = true;
}

AnsiString TTxtRules::TokenText() const { return AnsiString(FLineText + FTokenPos, std::size_t(Run - FTokenPos)); }

TTxtHighlighterAttributes* TTxtRules::TokenAttribute() const {
  return FCurrentSymbol ? FCurrentSymbol->Attri : nullptr;
}

void TTxtRules::SaveToStream(TStream* Stream) {
  AnsiString text = WriteRulesText(*this);
  if (!text.empty()) Stream->WriteBuffer(text.data(), LongInt(text.size()));
}

AnsiString TTxtRules::SaveToText() { return WriteRulesText(*this); }

void TTxtRules::LoadFromText(const AnsiString& Text) {
  ClearRules();
  CurrentRange = RootRange.get();
  FRangeById.clear();
  try {
    ReadRulesText(*this, Text);
  } catch (...) {
    // Editors rescan even after a partial load: their stored states are stale.
    NotifyAttributeChange(this);
    throw;
  }
  NotifyAttributeChange(this);
}

void TTxtRules::LoadFromStream(TStream* Stream) {
  Int64 size = Stream->Size() - Stream->Position();
  AnsiString text;
  if (size > 0) {
    text.resize(std::size_t(size));
    text.resize(std::size_t(Stream->Read(text.data(), LongInt(size))));
  }
  LoadFromText(text);
}

void TTxtRules::DefineProperties(TFiler* Filer) {
  TTxtCustomHighlighter::DefineProperties(Filer);
  bool hasData = Filer->Ancestor() != nullptr || RootRange->RangeCount() > 0;
  Filer->DefineProperty(
      "Syntax",
      [this](TReader* R) {
        TStringStream s(R->ReadString());
        s.SetPosition(0);
        LoadFromStream(&s);
      },
      [this](TWriter* W) { W->WriteString(SaveToText()); }, hasData);
}

void RegisterEditorHighlighterClasses() {
  RegisterClass(TTxtRules::StaticClass());
  RegisterHighlighterClass(TTxtRules::StaticClass());
}
