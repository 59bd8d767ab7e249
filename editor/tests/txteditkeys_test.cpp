// Key sequences through the real keyboard path (key messages, the keystroke
// table, the command processor): typing, the input method, navigation,
// selection modes, tabs and indents, overwrite mode, deletion and case
// commands, each as a table of start text and caret, keys, and the text and
// caret they give.
#include <gtest/gtest.h>

#include <sstream>

#include "editor/tests/edfixture.h"

namespace {

// A test case: the text (lines separated by '|'), the caret, options to add
// and remove, the keys, and what they give.
struct KeyCase {
  const char* Name;
  const char* Text;
  TBufferCoord Caret;
  const char* Keys;  // space-separated: Left, S-Right, C-Home, C-S-I, 'text', ime:text, cmd:N
  const char* Expected;
  TBufferCoord ExpectedCaret;
  TTxtEditorOptions Add{};
  TTxtEditorOptions Remove{};
  int TabWidth = 8;
};

class KeysTest : public EditorTest {
 protected:
  void Press(const std::string& Token) {
    if (Token.size() >= 2 && Token.front() == '\'' && Token.back() == '\'') {
      const std::string text = Token.substr(1, Token.size() - 2);
      // typed text as the layout delivers it: one key with its characters
      for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        const std::string ch = text.substr(i, n);
        hb->KeyDown(ch == " " ? VK_SPACE : 0xE7, false, ch);
        hb->KeyUp(ch == " " ? VK_SPACE : 0xE7);
        i += n;
      }
      Pump();
      return;
    }
    if (Token.rfind("ime:", 0) == 0) {
      hb->CommitText(Token.substr(4));
      Pump();
      return;
    }
    if (Token.rfind("cmd:", 0) == 0) {
      Cmd(TTxtEditorCommand(std::stoi(Token.substr(4))));
      return;
    }
    unsigned mods = 0;
    std::string k = Token;
    for (;;) {
      if (k.rfind("S-", 0) == 0) mods |= HeadlessBackend::Shift;
      else if (k.rfind("C-", 0) == 0) mods |= HeadlessBackend::Ctrl;
      else if (k.rfind("A-", 0) == 0) mods |= HeadlessBackend::Alt;
      else break;
      k = k.substr(2);
    }
    static const std::pair<const char*, unsigned> names[] = {
        {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP},         {"Down", VK_DOWN},     {"Home", VK_HOME},
        {"End", VK_END},   {"PgUp", VK_PRIOR},  {"PgDn", VK_NEXT},     {"BS", VK_BACK},       {"Del", VK_DELETE},
        {"Enter", VK_RETURN}, {"Tab", VK_TAB},  {"Ins", VK_INSERT},    {"Esc", VK_ESCAPE}};
    unsigned vk = 0;
    for (const auto& n : names)
      if (k == n.first) vk = n.second;
    if (!vk && k.size() == 1) vk = unsigned(k[0]);
    ASSERT_NE(vk, 0u) << Token;
    Key(vk, mods);
  }
  void Run(const std::string& Keys) {
    std::istringstream in(Keys);
    for (std::string t; in >> t;) {
      // a quoted text may hold spaces: read on to its closing quote
      if (t.front() == '\'' && (t.size() == 1 || t.back() != '\'')) {
        std::string more;
        while (in >> more) {
          t += " " + more;
          if (more.back() == '\'') break;
        }
      }
      Press(t);
    }
  }
  void Check(const KeyCase& C) {
    SCOPED_TRACE(C.Name);
    Ed->SetOptions(TxtDefaultOptions + C.Add - C.Remove);
    Ed->SetTabWidth(C.TabWidth);
    Ed->SetInsertMode(true);
    Ed->SetWantTabs(true);
    SetText(C.Text);
    Ed->SetCaretXY(C.Caret);
    Ed->ClearUndoHistory();
    Run(C.Keys);
    EXPECT_EQ(Joined(Ed), C.Expected);
    EXPECT_EQ(Ed->GetCaretPos(), C.ExpectedCaret);
  }
};

const TTxtEditorOptions kNoPastEol{eoScrollPastEol};

TEST_F(KeysTest, TypingAndTheInputMethod) {
  const KeyCase cases[] = {
      {"letters", "", {1, 1}, "'abc'", "abc", {4, 1}},
      {"hanzi through the keyboard", "ab", {2, 1}, "'中文'", "a中文b", {6, 1}},
      {"input method commit", "ab", {2, 1}, "ime:你好", "a你好b", {6, 1}},
      {"commit then keys", "", {1, 1}, "ime:小说 'x' BS", "小说", {5, 1}},
      {"space and enter", "", {1, 1}, "'a b' Enter 'c'", "a b|c", {2, 2}},
      {"commit replaces the selection", "abcd", {1, 1}, "S-Right S-Right ime:中", "中cd", {3, 1}},
      {"command key types nothing", "ab", {3, 1}, "C-A 'x'", "x", {2, 1}},
  };
  for (const KeyCase& c : cases) Check(c);
}

TEST_F(KeysTest, Navigation) {
  const KeyCase cases[] = {
      {"right wraps to the next line", "ab|cd", {3, 1}, "Right", "ab|cd", {1, 2}, {}, kNoPastEol},
      {"right past the end", "ab|cd", {3, 1}, "Right", "ab|cd", {4, 1}},
      {"left wraps up", "ab|cd", {1, 2}, "Left", "ab|cd", {3, 1}, {}, kNoPastEol},
      {"left over a double-byte character", "中x", {3, 1}, "Left", "中x", {1, 1}},
      {"right over a double-byte character", "中x", {1, 1}, "Right", "中x", {3, 1}},
      {"down to a short line", "uvwxyz|uv|uvwxyzst", {5, 1}, "Down", "uvwxyz|uv|uvwxyzst", {3, 2}, {}, kNoPastEol},
      {"down keeps the column", "uvwxyz|uv|uvwxyzst", {5, 1}, "Down Down", "uvwxyz|uv|uvwxyzst", {5, 3}, {eoKeepCaretX},
       kNoPastEol},
      {"down forgets the column", "uvwxyz|uv|uvwxyzst", {5, 1}, "Down Down", "uvwxyz|uv|uvwxyzst", {3, 3}, {},
       kNoPastEol},
      {"down past the ends", "uvwxyz|uv|uvwxyzst", {5, 1}, "Down Down", "uvwxyz|uv|uvwxyzst", {5, 3}},
      {"down onto a double-byte character", "abc|中文", {2, 1}, "Down", "abc|中文", {3, 2}},
      {"enhanced home from the text", "    abc", {7, 1}, "Home", "    abc", {5, 1}, {eoEnhanceHomeKey}},
      {"enhanced home from the indent", "    abc", {5, 1}, "Home", "    abc", {1, 1}, {eoEnhanceHomeKey}},
      {"enhanced home from column 1", "    abc", {1, 1}, "Home", "    abc", {5, 1}, {eoEnhanceHomeKey}},
      {"plain home", "    abc", {7, 1}, "Home", "    abc", {1, 1}},
      {"enhanced end", "abc   ", {1, 1}, "End", "abc   ", {4, 1}},
      {"enhanced end twice", "abc   ", {1, 1}, "End End", "abc   ", {7, 1}},
      {"plain end", "abc   ", {1, 1}, "End", "abc   ", {7, 1}, {}, {eoEnhanceEndKey}},
      {"word right", "foo bar", {1, 1}, "C-Right", "foo bar", {5, 1}},
      {"word right to the next line", "foo bar|  baz", {8, 1}, "C-Right", "foo bar|  baz", {3, 2}},
      {"word right over hanzi", "说了话", {1, 1}, "C-Right C-Right", "说了话", {5, 1}},
      {"word left to the line above", "foo|bar", {1, 2}, "C-Left", "foo|bar", {4, 1}},
      {"word left", "foo bar", {8, 1}, "C-Left", "foo bar", {5, 1}},
      {"editor top and bottom", "ab|cd|ef", {2, 2}, "C-End", "ab|cd|ef", {3, 3}},
      {"editor top", "ab|cd|ef", {2, 2}, "C-Home", "ab|cd|ef", {1, 1}},
      {"bracket match", "(a(b)c)", {1, 1}, "C-S-B", "(a(b)c)", {7, 1}},
      {"bracket match backwards", "(a(b)c)", {7, 1}, "C-S-B", "(a(b)c)", {1, 1}},
      {"no partner goes home", "x(y", {2, 1}, "C-S-B", "x(y", {1, 1}},
  };
  for (const KeyCase& c : cases) Check(c);
}

TEST_F(KeysTest, Deletion) {
  const KeyCase cases[] = {
      {"backspace joins lines", "a|b", {1, 2}, "BS", "ab", {2, 1}},
      {"backspace at the start does nothing", "ab", {1, 1}, "BS", "ab", {1, 1}},
      {"backspace removes a double-byte character", "a中", {4, 1}, "BS", "a", {2, 1}},
      {"smart backspace to the indent above", "    x|        x", {9, 2}, "BS", "    x|    x", {5, 2}},
      {"smart backspace with no smaller indent", "        a|        x", {9, 2}, "BS", "        a|x", {1, 2}},
      {"backspace to the previous tab stop", "      ", {7, 1}, "BS", "    ", {5, 1}, {}, {eoSmartTabDelete}, 4},
      {"backspace after a tab", "\t\tx", {3, 1}, "BS", "\tx", {2, 1}, {}, {eoSmartTabDelete}},
      {"backspace past the end", "ab", {6, 1}, "BS", "ab", {3, 1}},
      {"delete joins with filler", "ab|cd", {5, 1}, "Del", "ab  cd", {5, 1}},
      {"delete at the end does nothing", "ab", {3, 1}, "Del", "ab", {3, 1}},
      {"delete a double-byte character", "中文", {1, 1}, "Del", "文", {1, 1}},
      {"delete word", "foo bar baz", {5, 1}, "C-T", "foo baz", {5, 1}},
      {"delete to the line end", "foo bar", {4, 1}, "C-S-Y", "foo", {4, 1}},
      {"delete last word", "foo bar", {8, 1}, "C-BS", "foo ", {5, 1}},
      {"delete line", "a|b|c", {1, 2}, "C-Y", "a|c", {1, 2}},
      {"delete the last line empties it", "a|b", {2, 2}, "C-Y", "a|", {1, 2}},
      {"shift+backspace", "ab", {3, 1}, "S-BS", "a", {2, 1}},
  };
  for (const KeyCase& c : cases) Check(c);
}

TEST_F(KeysTest, LineBreaksTabsAndIndents) {
  const TTxtEditorOptions noAutoIndent{eoAutoIndent};
  const KeyCase cases[] = {
      {"enter keeps the indent", "    abc", {6, 1}, "Enter", "    a|    bc", {5, 2}},
      {"enter without auto indent", "    abc", {6, 1}, "Enter", "    a|bc", {1, 2}, {}, noAutoIndent},
      {"enter on an empty line under an indent", "    x||", {1, 2}, "Enter", "    x||", {5, 3}},
      {"enter at column 1", "abc", {1, 1}, "Enter", "|abc", {1, 2}},
      {"enter past the end", "  ab", {8, 1}, "Enter", "  ab|  ", {3, 2}},
      {"insert line stays", "abcd", {3, 1}, "C-N", "ab|cd", {3, 1}},
      {"tab to spaces", "ab", {3, 1}, "Tab", "ab  ", {5, 1}, {}, {}, 4},
      {"smart tab under the next word", "int  value||", {1, 2}, "Tab", "int  value|     ", {6, 2}},
      {"tab character", "ab", {3, 1}, "Tab", "ab\t", {4, 1}, {}, {eoTabsToSpaces, eoSmartTabs}},
      {"shift+tab removes a tab", "\tx", {2, 1}, "S-Tab", "x", {1, 1}},
      {"shift+tab to the tab stop", "      x", {7, 1}, "S-Tab", "    x", {5, 1}, {}, {eoSmartTabs}, 4},
      {"block indent", "a|b|c|d|e", {1, 5}, "S-Up S-Up S-Up C-S-I", "a|  b|  c|  d|e", {1, 2}, {}, {}, 2},
      {"block unindent", "  a|  b", {1, 1}, "S-Down S-End C-S-U", "a|b", {2, 2}, {}, {}, 2},
      {"tab indents a block", "a|b", {1, 1}, "S-Down S-End Tab", "  a|  b", {4, 2}, {eoTabIndent}, {}, 2},
  };
  for (const KeyCase& c : cases) Check(c);
}

TEST_F(KeysTest, OverwriteAndCase) {
  const KeyCase cases[] = {
      {"overwrite", "abc", {1, 1}, "Ins 'x'", "xbc", {2, 1}},
      {"overwrite and undo", "abc", {1, 1}, "Ins 'x' C-Z", "abc", {2, 1}},  // the overwritten a is selected again
      {"overwrite a double-byte character", "中文", {1, 1}, "Ins 'x'", "x文", {2, 1}},
      {"overwrite with the input method", "abcdef", {1, 1}, "Ins ime:中文", "中文ef", {5, 1}},
      {"input method keeps a double-byte character whole", "a中b", {1, 1}, "Ins ime:文", "文中b", {3, 1}},
      {"upper case word", "hello world", {3, 1}, "cmd:620", "HELLO world", {3, 1}},
      {"toggle case", "aBc", {2, 1}, "cmd:622", "AbC", {2, 1}},
      {"title case", "hELLO", {1, 1}, "cmd:623", "Hello", {1, 1}},
      {"upper case block without a selection", "abc", {1, 1}, "cmd:625 cmd:625", "ABc", {3, 1}},
  };
  for (const KeyCase& c : cases) Check(c);
}

// The three selection modes, chosen by their keys, and what a copy takes.
TEST_F(KeysTest, SelectionModes) {
  SetText("first line|second|third line");
  Ed->SetCaretXY(BC(3, 1));
  Run("S-Down S-Right");
  EXPECT_EQ(U(Ed->GetSelText()), "rst line\r\nsec");
  Run("C-S-L");
  EXPECT_EQ(Ed->ActiveSelectionMode(), smLine);
  Ed->SetCaretXY(BC(3, 1));
  Run("S-Down");
  EXPECT_EQ(U(Ed->GetSelText()), "first line\r\nsecond\r\n");
  Run("C-S-C");
  Ed->SetCaretXY(BC(2, 1));
  Run("S-Down S-Down S-Right S-Right");
  EXPECT_EQ(Ed->ActiveSelectionMode(), smColumn);
  EXPECT_EQ(U(Ed->GetSelText()), "ir\r\nec\r\nhi");
  Run("Del");
  EXPECT_EQ(Joined(Ed), "fst line|sond|trd line");
  Run("C-S-N");
  EXPECT_EQ(Ed->SelectionMode(), smNormal);
  Run("C-A");
  EXPECT_EQ(U(Ed->GetSelText()), "fst line\r\nsond\r\ntrd line");
}

TEST_F(KeysTest, PagesMoveByTheWindow) {
  Ed->SetClientHeight(20 * Ed->LineHeight());
  AnsiString t;
  for (int i = 1; i <= 200; ++i) t += "line\r\n";
  Ed->Lines()->SetText(t);
  struct Page {
    TTxtEditorOptions Options;
    int Rows;
  } pages[] = {{{}, 20}, {{eoScrollByOneLess}, 19}, {{eoHalfPageScroll}, 10}, {{eoHalfPageScroll, eoScrollByOneLess}, 9}};
  for (const Page& p : pages) {
    Ed->SetOptions(TxtDefaultOptions + p.Options);
    Ed->SetCaretXY(BC(1, 50));
    Run("PgDn");
    EXPECT_EQ(Ed->CaretY(), 50 + p.Rows);
  }
}

TEST_F(KeysTest, BookmarkKeysToggleOnTheirLine) {
  SetText("a|b|c");
  Run("C-S-3");
  ASSERT_NE(Ed->Bookmark(3), nullptr);
  Run("C-S-3");  // again on the same line: gone
  EXPECT_EQ(Ed->Bookmark(3), nullptr);
  Run("C-S-3 Down Down C-S-3");  // on another line: moved there
  ASSERT_NE(Ed->Bookmark(3), nullptr);
  EXPECT_EQ(Ed->Bookmark(3)->Line(), 3);
  Run("C-Home C-3");
  EXPECT_EQ(Ed->CaretY(), 3);
  Ed->BookMarkOptions()->SetEnableKeys(false);
  Run("C-Home C-3");
  EXPECT_EQ(Ed->CaretY(), 1);
}

// ---------------------------------------------------------------- undo and redo

TEST_F(KeysTest, UndoGroupsLikeChanges) {
  SetText("");
  Run("'abc' C-Z");
  EXPECT_EQ(Joined(Ed), "");
  Ed->SetOptions(Ed->Options() - TTxtEditorOptions{eoGroupUndo});
  Run("'abc' C-Z");
  EXPECT_EQ(Joined(Ed), "ab");
}

TEST_F(KeysTest, CaretMovesBreakUndoGroups) {
  SetText("");
  Run("'ab' Left Right 'c' C-Z");
  EXPECT_EQ(Joined(Ed), "ab");
  Run("C-Z");
  EXPECT_EQ(Joined(Ed), "");
}

TEST_F(KeysTest, BlockIndentsUndoOneAtATime) {
  Ed->SetTabWidth(2);
  SetText("a|b");
  Run("S-Down S-End C-S-I C-S-I");
  EXPECT_EQ(Joined(Ed), "    a|    b");
  Run("C-Z");
  EXPECT_EQ(Joined(Ed), "  a|  b");
  Run("C-Z");
  EXPECT_EQ(Joined(Ed), "a|b");
  Run("S-A-BS S-A-BS");  // redo twice
  EXPECT_EQ(Joined(Ed), "    a|    b");
}

TEST_F(KeysTest, LineBreakUndoesToOneLine) {
  SetText("abcd");
  Ed->SetCaretXY(BC(3, 1));
  Run("Enter C-Z");
  EXPECT_EQ(Joined(Ed), "abcd");
  EXPECT_EQ(Ed->GetCaretPos(), BC(3, 1));
  Run("S-C-Z");
  EXPECT_EQ(Joined(Ed), "ab|cd");
}

TEST_F(KeysTest, ModifiedFollowsTheSavePoint) {
  SetText("");
  Run("'ab'");
  EXPECT_TRUE(Ed->Modified());
  Ed->SetModified(false);
  Run("'c'");
  EXPECT_TRUE(Ed->Modified());
  Run("C-Z");
  EXPECT_FALSE(Ed->Modified());
  EXPECT_EQ(Joined(Ed), "ab");
  Run("S-C-Z");
  EXPECT_TRUE(Ed->Modified());
  EXPECT_EQ(Joined(Ed), "abc");
}

TEST_F(KeysTest, RedoHistoryEndsWithANewEdit) {
  SetText("");
  Run("'a' Left Right 'b' C-Z");
  EXPECT_TRUE(Ed->RedoList()->HasItems());
  Run("S-C-Z C-Z");  // undo after redo keeps the history
  EXPECT_TRUE(Ed->RedoList()->HasItems());
  Run("'x'");
  EXPECT_FALSE(Ed->RedoList()->HasItems());
}

TEST_F(KeysTest, MaxUndoKeepsTheNewestEdits) {
  SetText("");
  Ed->SetOptions(Ed->Options() - TTxtEditorOptions{eoGroupUndo});  // each character one edit
  Ed->SetMaxUndo(2);
  Run("'abc'");
  Run("C-Z C-Z C-Z C-Z");
  EXPECT_EQ(Joined(Ed), "a");
}

TEST_F(KeysTest, SuspendedUndoRecordsNothing) {
  SetText("");
  Ed->SuspendUndo();
  Run("'ab'");
  Ed->ResumeUndo();
  EXPECT_FALSE(Ed->UndoList()->HasItems());
  EXPECT_FALSE(Ed->Modified());
  EXPECT_EQ(Joined(Ed), "ab");
}

TEST_F(KeysTest, ReadOnlyEditorsIgnoreEditsAndUndo) {
  SetText("ab");
  Run("End 'x'");
  Ed->SetReadOnlyProp(true);
  EXPECT_FALSE(Ed->CanUndo());
  Run("C-Z 'y' BS Enter C-V C-X");
  EXPECT_EQ(Joined(Ed), "abx");
  Ed->SetReadOnlyProp(false);
  EXPECT_TRUE(Ed->CanUndo());
}

TEST_F(KeysTest, UndoAndRedoOfAnInputMethodOverwrite) {
  SetText("abcdef");
  Run("Ins ime:中 C-Z");
  EXPECT_EQ(Joined(Ed), "abcdef");
  Run("S-C-Z");
  EXPECT_EQ(Joined(Ed), "中cdef");
}

// ---------------------------------------------------------------- keystrokes

TEST_F(KeysTest, TwoKeyBindings) {
  TTxtEditKeyStroke* k = Ed->Keystrokes()->Add();
  k->SetCommand(ecEditorBottom);
  k->SetShortCut(ShortCut('K', TShiftState{ssCtrl}));
  k->SetShortCut2(ShortCut('B', TShiftState{}));
  SetText("a|b|c");
  Run("C-K");
  EXPECT_EQ(Ed->PendingKey(), Word('K'));
  Run("B");
  EXPECT_EQ(Ed->GetCaretPos(), BC(2, 3));
  EXPECT_EQ(Joined(Ed), "a|b|c");  // the B of the binding typed nothing
  Run("C-Home C-K Left B");  // a key outside the range in between forgets Ctrl+K: B is typed
  EXPECT_EQ(Joined(Ed), "ba|b|c");
  EXPECT_EQ(Ed->PendingKey(), Word('B'));
}

TEST_F(KeysTest, AltBackspaceUndoesWithoutABeep) {
  SetText("");
  const int beeps = hb->BeepCount();
  Run("'ab' A-BS");
  EXPECT_EQ(Joined(Ed), "");
  EXPECT_EQ(hb->BeepCount(), beeps);
}

}  // namespace
