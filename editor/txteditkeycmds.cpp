#include "editor/txteditkeycmds.h"

#include "platform/classes/filer.h"

namespace {

const TIdentMap& CommandMap() {
  static const TIdentMap map = [] {
    TIdentMap m;
    auto add = [&](int v, const char* n) { m.Entries.push_back({v, n}); };
    add(ecNone, "ecNone"); add(ecLeft, "ecLeft"); add(ecRight, "ecRight"); add(ecUp, "ecUp");
    add(ecDown, "ecDown"); add(ecWordLeft, "ecWordLeft"); add(ecWordRight, "ecWordRight");
    add(ecLineStart, "ecLineStart"); add(ecLineEnd, "ecLineEnd"); add(ecPageUp, "ecPageUp");
    add(ecPageDown, "ecPageDown"); add(ecPageLeft, "ecPageLeft"); add(ecPageRight, "ecPageRight");
    add(ecPageTop, "ecPageTop"); add(ecPageBottom, "ecPageBottom"); add(ecEditorTop, "ecEditorTop");
    add(ecEditorBottom, "ecEditorBottom"); add(ecGotoXY, "ecGotoXY");
    add(ecSelLeft, "ecSelLeft"); add(ecSelRight, "ecSelRight"); add(ecSelUp, "ecSelUp");
    add(ecSelDown, "ecSelDown"); add(ecSelWordLeft, "ecSelWordLeft"); add(ecSelWordRight, "ecSelWordRight");
    add(ecSelLineStart, "ecSelLineStart"); add(ecSelLineEnd, "ecSelLineEnd"); add(ecSelPageUp, "ecSelPageUp");
    add(ecSelPageDown, "ecSelPageDown"); add(ecSelPageLeft, "ecSelPageLeft");
    add(ecSelPageRight, "ecSelPageRight"); add(ecSelPageTop, "ecSelPageTop");
    add(ecSelPageBottom, "ecSelPageBottom"); add(ecSelEditorTop, "ecSelEditorTop");
    add(ecSelEditorBottom, "ecSelEditorBottom"); add(ecSelGotoXY, "ecSelGotoXY"); add(ecSelWord, "ecSelWord");
    add(ecSelectAll, "ecSelectAll"); add(ecCopy, "ecCopy"); add(ecScrollUp, "ecScrollUp");
    add(ecScrollDown, "ecScrollDown"); add(ecScrollLeft, "ecScrollLeft"); add(ecScrollRight, "ecScrollRight");
    add(ecInsertMode, "ecInsertMode"); add(ecOverwriteMode, "ecOverwriteMode"); add(ecToggleMode, "ecToggleMode");
    add(ecNormalSelect, "ecNormalSelect"); add(ecColumnSelect, "ecColumnSelect");
    add(ecLineSelect, "ecLineSelect"); add(ecMatchBracket, "ecMatchBracket");
    add(ecCommentBlock, "ecCommentBlock");
    static const char* const gotoNames[10] = {"ecGotoMarker0", "ecGotoMarker1", "ecGotoMarker2", "ecGotoMarker3",
                                              "ecGotoMarker4", "ecGotoMarker5", "ecGotoMarker6", "ecGotoMarker7",
                                              "ecGotoMarker8", "ecGotoMarker9"};
    static const char* const setNames[10] = {"ecSetMarker0", "ecSetMarker1", "ecSetMarker2", "ecSetMarker3",
                                             "ecSetMarker4", "ecSetMarker5", "ecSetMarker6", "ecSetMarker7",
                                             "ecSetMarker8", "ecSetMarker9"};
    for (int i = 0; i < 10; ++i) add(ecGotoMarker0 + i, gotoNames[i]);
    for (int i = 0; i < 10; ++i) add(ecSetMarker0 + i, setNames[i]);
    add(ecContextHelp, "ecContextHelp"); add(ecDeleteLastChar, "ecDeleteLastChar");
    add(ecDeleteChar, "ecDeleteChar"); add(ecDeleteWord, "ecDeleteWord"); add(ecDeleteLastWord, "ecDeleteLastWord");
    add(ecDeleteBOL, "ecDeleteBOL"); add(ecDeleteEOL, "ecDeleteEOL"); add(ecDeleteLine, "ecDeleteLine");
    add(ecClearAll, "ecClearAll"); add(ecLineBreak, "ecLineBreak"); add(ecInsertLine, "ecInsertLine");
    add(ecChar, "ecChar"); add(ecImeStr, "ecImeStr"); add(ecUndo, "ecUndo"); add(ecRedo, "ecRedo");
    add(ecCut, "ecCut"); add(ecPaste, "ecPaste"); add(ecBlockIndent, "ecBlockIndent");
    add(ecBlockUnindent, "ecBlockUnindent"); add(ecTab, "ecTab"); add(ecShiftTab, "ecShiftTab");
    add(ecUpperCase, "ecUpperCase"); add(ecLowerCase, "ecLowerCase"); add(ecToggleCase, "ecToggleCase");
    add(ecTitleCase, "ecTitleCase"); add(ecUpperCaseBlock, "ecUpperCaseBlock");
    add(ecLowerCaseBlock, "ecLowerCaseBlock"); add(ecToggleCaseBlock, "ecToggleCaseBlock");
    add(ecString, "ecString"); add(ecAutoCompletion, "ecAutoCompletion"); add(ecUserFirst, "ecUserFirst");
    return m;
  }();
  return map;
}

}  // namespace

const TIdentMap* EditorCommandIdents() { return &CommandMap(); }

bool CommandToIdent(int Command, AnsiString& Ident) {
  for (const auto& e : CommandMap().Entries)
    if (e.Value == Command) {
      Ident = e.Name;
      return true;
    }
  return false;
}

bool IdentToCommand(const AnsiString& Ident, int& Command) {
  for (const auto& e : CommandMap().Entries)
    if (Ident == e.Name) {
      Command = int(e.Value);
      return true;
    }
  return false;
}

AnsiString CommandToName(int Command) {
  AnsiString s;
  CommandToIdent(Command, s);
  return s;
}

int NameToCommand(const AnsiString& Name) {
  int c = -1;
  IdentToCommand(Name, c);
  return c;
}

AnsiString CommandToText(int Command) {
  AnsiString s;
  if (CommandToIdent(Command, s)) return s;
  return std::to_string(Command);
}

// ---------------------------------------------------------------- keystroke

void TTxtEditKeyStroke::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TTxtEditKeyStroke*>(Source)) {
    FCommand = src->FCommand;
    FKey = src->FKey;
    FKey2 = src->FKey2;
    FShift = src->FShift;
    FShift2 = src->FShift2;
    return;
  }
  TCollectionItem::Assign(Source);
}

AnsiString TTxtEditKeyStroke::DisplayName() const {
  AnsiString s = CommandToName(FCommand) + " - " + ShortCutToText(GetShortCut());
  if (GetShortCut() != 0) s += " " + ShortCutToText(GetShortCut2());
  if (s.empty()) s = TCollectionItem::DisplayName();
  return s;
}

static void CheckDuplicate(const TTxtEditKeyStroke* self, TShortCut First, TShortCut Second) {
  auto* keys = dynamic_cast<TTxtEditKeyStrokes*>(self->Collection());
  if (!keys) return;
  for (int i = 0; i < keys->Count(); ++i) {
    TTxtEditKeyStroke* other = keys->Items(i);
    if (other != self && other->GetShortCut() == First && other->GetShortCut2() == Second)
      throw ETxtKeyError("Shortcut already exists");
  }
}

void TTxtEditKeyStroke::SetShortCut(TShortCut Value) {
  if (Value != 0) CheckDuplicate(this, Value, GetShortCut2());
  ShortCutToKey(Value, FKey, FShift);
}

void TTxtEditKeyStroke::SetShortCut2(TShortCut Value) {
  if (Value != 0) CheckDuplicate(this, GetShortCut(), Value);
  ShortCutToKey(Value, FKey2, FShift2);
}

// ---------------------------------------------------------------- table

TTxtEditKeyStrokes::TTxtEditKeyStrokes(TPersistent* AOwner)
    : TCollection(TTxtEditKeyStroke::StaticClass()), FOwner(AOwner) {}

void TTxtEditKeyStrokes::AddBinding(TTxtEditorCommand Command, Word Key, TShiftState Shift) {
  TTxtEditKeyStroke* k = Add();
  try {
    k->SetKey(Key);
    k->SetShift(Shift);
    k->SetCommand(Command);
  } catch (...) {
    delete k;
    throw;
  }
}

void TTxtEditKeyStrokes::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TTxtEditKeyStrokes*>(Source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      for (int i = 0; i < src->Count(); ++i) Add()->Assign(src->Items(i));
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TCollection::Assign(Source);
}

int TTxtEditKeyStrokes::FindCommand(TTxtEditorCommand Command) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Command() == Command) return i;
  return -1;
}

int TTxtEditKeyStrokes::FindKey(Word Key, TShiftState Shift) const {
  for (int i = 0; i < Count(); ++i) {
    TTxtEditKeyStroke* k = Items(i);
    if (k->Key() == Key && k->Shift() == Shift && k->Key2() == 0) return i;
  }
  return -1;
}

int TTxtEditKeyStrokes::FindKeyPair(Word Key1, TShiftState Shift1, Word Key2, TShiftState Shift2) const {
  for (int i = 0; i < Count(); ++i) {
    TTxtEditKeyStroke* k = Items(i);
    if (k->Key() == Key1 && k->Shift() == Shift1 && k->Key2() == Key2 && k->Shift2() == Shift2) return i;
  }
  return -1;
}

int TTxtEditKeyStrokes::FindShortCutPair(TShortCut ShortCut, TShortCut ShortCut2) const {
  for (int i = 0; i < Count(); ++i) {
    TTxtEditKeyStroke* k = Items(i);
    if (k->GetShortCut() == ShortCut && k->GetShortCut2() == ShortCut2) return i;
  }
  return -1;
}

void TTxtEditKeyStrokes::LoadDefaults() {
  const TShiftState none, sh{ssShift}, ct{ssCtrl}, sc{ssShift, ssCtrl}, al{ssAlt}, sa{ssShift, ssAlt};
  struct B {
    TTxtEditorCommand cmd;
    Word key;
    TShiftState shift;
  };
  std::vector<B> b = {
      {ecUp, 38, none},          {ecSelUp, 38, sh},           {ecScrollUp, 38, ct},
      {ecDown, 40, none},        {ecSelDown, 40, sh},         {ecScrollDown, 40, ct},
      {ecLeft, 37, none},        {ecSelLeft, 37, sh},         {ecWordLeft, 37, ct},       {ecSelWordLeft, 37, sc},
      {ecRight, 39, none},       {ecSelRight, 39, sh},        {ecWordRight, 39, ct},      {ecSelWordRight, 39, sc},
      {ecPageDown, 34, none},    {ecSelPageDown, 34, sh},     {ecPageBottom, 34, ct},     {ecSelPageBottom, 34, sc},
      {ecPageUp, 33, none},      {ecSelPageUp, 33, sh},       {ecPageTop, 33, ct},        {ecSelPageTop, 33, sc},
      {ecLineStart, 36, none},   {ecSelLineStart, 36, sh},    {ecEditorTop, 36, ct},      {ecSelEditorTop, 36, sc},
      {ecLineEnd, 35, none},     {ecSelLineEnd, 35, sh},      {ecEditorBottom, 35, ct},   {ecSelEditorBottom, 35, sc},
      {ecToggleMode, 45, none},  {ecCopy, 45, ct},            {ecCut, 46, sh},            {ecPaste, 45, sh},
      {ecDeleteChar, 46, none},  {ecDeleteLastChar, 8, none}, {ecDeleteLastChar, 8, sh},  {ecDeleteLastWord, 8, ct},
      {ecUndo, 8, al},           {ecRedo, 8, sa},             {ecLineBreak, 13, none},    {ecLineBreak, 13, sh},
      {ecTab, 9, none},          {ecShiftTab, 9, sh},         {ecContextHelp, 112, none}, {ecSelectAll, 'A', ct},
      {ecCopy, 'C', ct},         {ecPaste, 'V', ct},          {ecCut, 'X', ct},           {ecBlockIndent, 'I', sc},
      {ecBlockUnindent, 'U', sc}, {ecLineBreak, 'M', ct},     {ecInsertLine, 'N', ct},    {ecDeleteWord, 'T', ct},
      {ecDeleteLine, 'Y', ct},   {ecDeleteEOL, 'Y', sc},      {ecUndo, 'Z', ct},          {ecRedo, 'Z', sc},
  };
  for (int i = 0; i < 10; ++i) b.push_back({TTxtEditorCommand(ecGotoMarker0 + i), Word('0' + i), ct});
  for (int i = 0; i < 10; ++i) b.push_back({TTxtEditorCommand(ecSetMarker0 + i), Word('0' + i), sc});
  b.push_back({ecNormalSelect, 'N', sc});
  b.push_back({ecColumnSelect, 'C', sc});
  b.push_back({ecLineSelect, 'L', sc});
  b.push_back({ecMatchBracket, 'B', sc});
  BeginUpdate();
  try {
    Clear();
    for (const B& x : b) AddBinding(x.cmd, x.key, x.shift);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TTxtEditorCommand TTxtKeyTranslator::KeyToCommand(const TTxtEditKeyStrokes& Keys, Word Code, TShiftState Shift) {
  int i = Keys.FindKeyPair(PendingKey, PendingShift, Code, Shift);
  if (i < 0) i = Keys.FindKey(Code, Shift);
  TTxtEditorCommand cmd = i >= 0 ? Keys.Items(i)->Command() : ecNone;
  if (cmd == ecNone && Code >= 30 && Code <= 145) {
    PendingKey = Code;
    PendingShift = Shift;
  } else {
    PendingKey = 0;
    PendingShift = TShiftState{};
  }
  return cmd;
}

// ---------------------------------------------------------------- streaming

static bool SameBinding(const TTxtEditKeyStroke* a, const TTxtEditKeyStroke* b) {
  return a->GetShortCut() == b->GetShortCut() && a->GetShortCut2() == b->GetShortCut2() &&
         a->Command() == b->Command();
}

static bool Contains(const TTxtEditKeyStrokes& list, const TTxtEditKeyStroke* k) {
  for (int i = 0; i < list.Count(); ++i)
    if (SameBinding(list.Items(i), k)) return true;
  return false;
}

void KeystrokeDifferences(const TTxtEditKeyStrokes& Keys, const TTxtEditKeyStrokes& Reference,
                          TTxtEditKeyStrokes& Removed, TTxtEditKeyStrokes& Added) {
  Removed.Clear();
  Added.Clear();
  for (int i = 0; i < Reference.Count(); ++i)
    if (!Contains(Keys, Reference.Items(i))) Removed.Add()->Assign(Reference.Items(i));
  for (int i = 0; i < Keys.Count(); ++i)
    if (!Contains(Reference, Keys.Items(i))) Added.Add()->Assign(Keys.Items(i));
}

void ApplyRemovedKeystrokes(TTxtEditKeyStrokes& Keys, const TTxtEditKeyStrokes& Removed) {
  for (int i = 0; i < Removed.Count(); ++i) {
    const TTxtEditKeyStroke* r = Removed.Items(i);
    int at = Keys.FindShortCutPair(r->GetShortCut(), r->GetShortCut2());
    if (at >= 0 && Keys.Items(at)->Command() == r->Command()) Keys.Delete(at);
  }
}

void ApplyAddedKeystrokes(TTxtEditKeyStrokes& Keys, const TTxtEditKeyStrokes& Added) {
  for (int i = 0; i < Added.Count(); ++i) Keys.Add()->Assign(Added.Items(i));
}

void DefineKeystrokeProperties(TFiler* Filer, TTxtEditKeyStrokes* Keys, const TTxtEditKeyStrokes* Reference) {
  TTxtEditKeyStrokes defaults(nullptr);
  if (!Reference) {
    defaults.LoadDefaults();
    Reference = &defaults;
  }
  auto removed = std::make_shared<TTxtEditKeyStrokes>(nullptr);
  auto added = std::make_shared<TTxtEditKeyStrokes>(nullptr);
  KeystrokeDifferences(*Keys, *Reference, *removed, *added);
  bool differs = removed->Count() > 0 || added->Count() > 0;
  Filer->DefineProperty(
      "RemovedKeystrokes",
      [Keys](TReader* R) {
        TTxtEditKeyStrokes read(nullptr);
        R->ReadCollection(&read);
        ApplyRemovedKeystrokes(*Keys, read);
      },
      [removed](TWriter* W) { W->WriteCollection(removed.get()); }, differs);
  Filer->DefineProperty(
      "AddedKeystrokes",
      [Keys](TReader* R) {
        TTxtEditKeyStrokes read(nullptr);
        R->ReadCollection(&read);
        ApplyAddedKeystrokes(*Keys, read);
      },
      [added](TWriter* W) { W->WriteCollection(added.get()); }, differs);
}

void RegisterEditorKeystrokeClasses() {
  RegisterProps<TTxtEditKeyStroke>([](TPropBuilder<TTxtEditKeyStroke>& p) {
    p.Prop("Command", &TTxtEditKeyStroke::Command, &TTxtEditKeyStroke::SetCommand).Idents(EditorCommandIdents());
    p.Prop("ShortCut", &TTxtEditKeyStroke::GetShortCut, &TTxtEditKeyStroke::SetShortCut).Default(0);
    p.Prop("ShortCut2", &TTxtEditKeyStroke::GetShortCut2, &TTxtEditKeyStroke::SetShortCut2).Default(0);
  });
}
