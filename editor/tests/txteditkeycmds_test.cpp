#include "editor/txteditkeycmds.h"

#include <gtest/gtest.h>

#include "editor/txteditkbdhandler.h"
#include "platform/classes/filer.h"

namespace {

const TShiftState kNone, kShift{ssShift}, kCtrl{ssCtrl}, kShiftCtrl{ssShift, ssCtrl}, kAlt{ssAlt},
    kShiftAlt{ssShift, ssAlt};

TEST(TxtEditKeystrokes, DefaultTable) {
  TTxtEditKeyStrokes k(nullptr);
  k.LoadDefaults();
  EXPECT_EQ(k.Count(), 82);
  TTxtKeyTranslator t;
  const struct {
    Word key;
    TShiftState shift;
    TTxtEditorCommand cmd;
  } cases[] = {
      {36, kCtrl, ecEditorTop},     {36, kShiftCtrl, ecSelEditorTop}, {38, kCtrl, ecScrollUp},
      {38, kShiftCtrl, ecNone},     {8, kAlt, ecUndo},                {8, kShiftAlt, ecRedo},
      {'Z', kCtrl, ecUndo},         {'Z', kShiftCtrl, ecRedo},        {'5', kCtrl, ecGotoMarker0 + 5},
      {'9', kShiftCtrl, ecSetMarker9}, {13, kShift, ecLineBreak},     {46, kShift, ecCut},
      {112, kNone, ecContextHelp},  {'B', kShiftCtrl, ecMatchBracket},
  };
  for (const auto& c : cases) EXPECT_EQ(t.KeyToCommand(k, c.key, c.shift), c.cmd) << c.key;
  EXPECT_EQ(ecSelLeft, ecLeft + 100);
  EXPECT_EQ(ecSelGotoXY, ecGotoXY + 100);
}

TEST(TxtEditKeystrokes, TwoKeyBindings) {
  TTxtEditKeyStrokes k(nullptr);
  k.LoadDefaults();
  TTxtEditKeyStroke* b = k.Add();
  b->SetCommand(ecUserFirst + 1);
  b->SetShortCut(ShortCut('K', kCtrl));
  b->SetShortCut2(ShortCut('B', kNone));
  TTxtKeyTranslator t;
  EXPECT_EQ(t.KeyToCommand(k, 'K', kCtrl), ecNone);
  EXPECT_EQ(t.PendingKey, 'K');
  EXPECT_EQ(t.KeyToCommand(k, 'B', kNone), ecUserFirst + 1);
  EXPECT_EQ(t.PendingKey, 0);
  // a key outside 30..145 in between forgets the first key
  t.KeyToCommand(k, 'K', kCtrl);
  EXPECT_EQ(t.KeyToCommand(k, 16, kNone), ecNone);
  EXPECT_EQ(t.KeyToCommand(k, 'B', kNone), ecNone);
  // a key that yields a command forgets it too
  t.KeyToCommand(k, 'K', kCtrl);
  EXPECT_EQ(t.KeyToCommand(k, 37, kNone), ecLeft);
  EXPECT_EQ(t.PendingKey, 0);
}

TEST(TxtEditKeystrokes, DuplicateShortcutsAreRefused) {
  TTxtEditKeyStrokes k(nullptr);
  k.LoadDefaults();
  TTxtEditKeyStroke* item = k.Items(0);  // Up
  item->SetShortCut(item->GetShortCut());  // its own pair: fine
  TTxtEditKeyStroke* n = k.Add();
  try {
    n->SetShortCut(ShortCut(38, kNone));
    FAIL();
  } catch (const ETxtKeyError& e) {
    EXPECT_STREQ(e.what(), "Shortcut already exists");
  }
  EXPECT_EQ(n->GetShortCut(), 0);
  n->SetShortCut(ShortCut(38, kShiftAlt));
  EXPECT_EQ(n->GetShortCut(), 38 | scShift | scAlt);
}

TEST(TxtEditKeystrokes, CommandNames) {
  EXPECT_EQ(CommandToText(1001), "ecUserFirst");
  EXPECT_EQ(CommandToText(1002), "1002");
  EXPECT_EQ(CommandToText(ecSetMarker0 + 3), "ecSetMarker3");
  EXPECT_EQ(NameToCommand("ecSelWord"), ecSelWord);
  EXPECT_EQ(NameToCommand("ecselword"), -1);
  EXPECT_EQ(EditorCommandIdents()->Entries.size(), 101u);
}

TEST(TxtEditKeystrokes, DisplayNames) {
  TTxtEditKeyStrokes k(nullptr);
  TTxtEditKeyStroke* s = k.Add();
  s->SetCommand(ecCopy);
  s->SetShortCut(ShortCut('C', kCtrl));
  EXPECT_EQ(s->DisplayName(), "ecCopy - Ctrl+C ");
  s->SetShortCut2(ShortCut('K', kShiftCtrl));
  EXPECT_EQ(s->DisplayName(), "ecCopy - Ctrl+C Shift+Ctrl+K");
}

TEST(TxtEditKeystrokes, DifferencesFromTheDefaults) {
  TTxtEditKeyStrokes keys(nullptr), defaults(nullptr), removed(nullptr), added(nullptr);
  keys.LoadDefaults();
  defaults.LoadDefaults();
  KeystrokeDifferences(keys, defaults, removed, added);
  EXPECT_EQ(removed.Count(), 0);
  EXPECT_EQ(added.Count(), 0);

  int i = keys.FindKey('T', kCtrl);
  keys.Delete(i);
  keys.AddBinding(ecDeleteLine, 'T', kCtrl);
  KeystrokeDifferences(keys, defaults, removed, added);
  ASSERT_EQ(removed.Count(), 1);
  ASSERT_EQ(added.Count(), 1);
  EXPECT_EQ(removed.Items(0)->Command(), ecDeleteWord);
  EXPECT_EQ(added.Items(0)->Command(), ecDeleteLine);

  TTxtEditKeyStrokes back(nullptr);
  back.LoadDefaults();
  ApplyRemovedKeystrokes(back, removed);
  ApplyAddedKeystrokes(back, added);
  ASSERT_EQ(back.Count(), keys.Count());
  TTxtEditKeyStrokes r2(nullptr), a2(nullptr);
  KeystrokeDifferences(back, keys, r2, a2);
  EXPECT_EQ(r2.Count() + a2.Count(), 0);
  TTxtKeyTranslator t;
  EXPECT_EQ(t.KeyToCommand(back, 'T', kCtrl), ecDeleteLine);
}

TEST(TxtEditKeystrokes, AssignCopiesEveryItem) {
  TTxtEditKeyStrokes a(nullptr), b(nullptr);
  a.LoadDefaults();
  b.AddBinding(ecCopy, 'Q', kCtrl);
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 82);
  EXPECT_EQ(b.Items(81)->Command(), ecMatchBracket);
}

// ---------------------------------------------------------------- handler chains

struct Handlers : TObject {
  std::vector<std::string> log;
  bool zero = false;
  void A(TObject*, Word& Key, TShiftState) { log.push_back("A"); }
  void B(TObject*, Word& Key, TShiftState) {
    log.push_back("B");
    if (zero) Key = 0;
  }
  void Press(TObject*, char& Key) {
    log.push_back(std::string("P") + Key);
    Key = 'x';
  }
  void Mouse1(TObject*, TMouseButton, TShiftState, int X, int) { log.push_back("M1:" + std::to_string(X)); }
  void Mouse2(TObject*, TMouseButton, TShiftState, int X, int) { log.push_back("M2:" + std::to_string(X)); }
  TTxtEditKbdHandler* chain = nullptr;
  void Reenter(TObject* s, Word& Key, TShiftState sh) {
    log.push_back("R");
    Word k = 5;
    chain->RunKeyDown(s, k, sh);
  }
  void Raise(TObject*, Word&, TShiftState) { throw Exception("boom"); }
};

TEST(TxtEditKbdHandler, KeyChainsRunNewestFirstAndStopAtZero) {
  Handlers h;
  TTxtEditKbdHandler k;
  k.HookKeyDown(TKeyEvent(&h, &Handlers::A));
  k.HookKeyDown(TKeyEvent(&h, &Handlers::B));
  Word key = 65;
  k.RunKeyDown(nullptr, key, {});
  EXPECT_EQ(h.log, (std::vector<std::string>{"B", "A"}));
  h.log.clear();
  h.zero = true;
  k.RunKeyDown(nullptr, key, {});
  EXPECT_EQ(h.log, (std::vector<std::string>{"B"}));
  EXPECT_EQ(key, 0);
}

TEST(TxtEditKbdHandler, HookAndUnhook) {
  Handlers h;
  TTxtEditKbdHandler k;
  k.HookKeyPress(TKeyPressEvent(&h, &Handlers::Press));
  k.HookKeyPress(TKeyPressEvent(&h, &Handlers::Press));
  k.UnhookKeyPress(TKeyPressEvent(&h, &Handlers::Press));
  EXPECT_EQ(k.KeyPressHandlers().Count(), 1);
  k.UnhookKeyDown(TKeyEvent(&h, &Handlers::A));  // never added
  char c = 'a';
  k.RunKeyPress(nullptr, c);
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(h.log, (std::vector<std::string>{"Pa"}));
}

TEST(TxtEditKbdHandler, MouseChainsCallEveryHandler) {
  Handlers h;
  TTxtEditKbdHandler k;
  k.HookMouseDown(TMouseEvent(&h, &Handlers::Mouse1));
  k.HookMouseDown(TMouseEvent(&h, &Handlers::Mouse2));
  k.RunMouseDown(nullptr, mbLeft, {}, 7, 0);
  EXPECT_EQ(h.log, (std::vector<std::string>{"M2:7", "M1:7"}));
}

TEST(TxtEditKbdHandler, NoReentryAndFlagClearedAfterAnError) {
  Handlers h;
  TTxtEditKbdHandler k;
  h.chain = &k;
  k.HookKeyDown(TKeyEvent(&h, &Handlers::Reenter));
  Word key = 1;
  k.RunKeyDown(nullptr, key, {});
  EXPECT_EQ(h.log, (std::vector<std::string>{"R"}));
  k.UnhookKeyDown(TKeyEvent(&h, &Handlers::Reenter));
  k.HookKeyDown(TKeyEvent(&h, &Handlers::A));
  k.HookKeyDown(TKeyEvent(&h, &Handlers::Raise));
  EXPECT_THROW(k.RunKeyDown(nullptr, key, {}), Exception);
  k.UnhookKeyDown(TKeyEvent(&h, &Handlers::Raise));
  h.log.clear();
  k.RunKeyDown(nullptr, key, {});
  EXPECT_EQ(h.log, (std::vector<std::string>{"A"}));
}

}  // namespace
