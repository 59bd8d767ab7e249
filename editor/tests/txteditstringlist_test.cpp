#include "editor/txteditstringlist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

// Records the list's events as text.
struct Events : TObject {
  std::vector<std::string> log;
  void Attach(TTxtEditStringList& l) {
    l.OnChange = TNotifyEvent(this, &Events::Change);
    l.OnChanging = TNotifyEvent(this, &Events::Changing);
    l.OnLinesCleared = TNotifyEvent(this, &Events::Cleared);
    l.OnLinesInserted = TTxtStringListChangeEvent(this, &Events::Inserted);
    l.OnLinesDeleted = TTxtStringListChangeEvent(this, &Events::Deleted);
    l.OnLinesReplaced = TTxtStringListChangeEvent(this, &Events::Replaced);
  }
  void Change(TObject*) { log.push_back("change"); }
  void Changing(TObject*) { log.push_back("changing"); }
  void Cleared(TObject*) { log.push_back("cleared"); }
  void Inserted(TObject*, int i, int n) { log.push_back("ins " + std::to_string(i) + "," + std::to_string(n)); }
  void Deleted(TObject*, int i, int n) { log.push_back("del " + std::to_string(i) + "," + std::to_string(n)); }
  void Replaced(TObject*, int i, int n) { log.push_back("rep " + std::to_string(i) + "," + std::to_string(n)); }
};

std::vector<std::string> Lines(TTxtEditStringList& l) {
  std::vector<std::string> r;
  for (int i = 0; i < l.Count(); ++i) r.push_back(l[i]);
  return r;
}

TEST(TxtEditStringList, LoadKeepsTheLineBreakStyle) {
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
    TTxtLineBreakStyle style;
    bool roundTrip;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b", ""}, lbCrLf, true},
      {"a\nb", {"a", "b"}, lbLf, true},
      {"a\rb", {"a", "b"}, lbCr, true},
      {"a\r\nb\nc", {"a", "b", "c"}, lbCrLf, false},  // mixed
      {"", {}, lbCrLf, true},
      {"\r\n", {"", ""}, lbCrLf, true},
      {"\xD6\xD0\xCE\xC4\n\xBD\xDA\xB5\xE3\n", {"\xD6\xD0\xCE\xC4", "\xBD\xDA\xB5\xE3", ""}, lbLf, true},
      {"x", {"x"}, lbCrLf, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    TTxtEditStringList l;
    l.LineBreakStyle = lbCr;  // overwritten by loading
    TStringStream in(c.bytes);
    in.SetPosition(1 < c.bytes.size() ? 1 : 0);  // loading starts at 0 whatever the position
    l.LoadFromStream(&in);
    EXPECT_EQ(Lines(l), c.lines);
    EXPECT_EQ(l.LineBreakStyle, c.style);
    TStringStream out;
    l.SaveToStream(&out);
    if (c.roundTrip) {
      EXPECT_EQ(out.DataString(), c.bytes);
    }
  }
}

TEST(TxtEditStringList, TextAssignmentAddsNoTrailingLine) {
  TTxtEditStringList l;
  l.SetText("a\r\nb\r\n");
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(l.GetText(), "a\r\nb");
  l.SetText(std::string("a\nb\rc\0d", 7));
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "b", "c"}));
  l.SetText("");
  EXPECT_EQ(l.Count(), 0);
  EXPECT_EQ(l.GetText(), "");
}

TEST(TxtEditStringList, EventsOfEachOperation) {
  TTxtEditStringList l;
  Events ev;
  ev.Attach(l);
  l.Put(0, "a");  // Put at Count appends
  l.Insert(0, "b");
  l.Put(1, "c");
  l.InsertEmptyLines(1, 2);
  l.InsertEmptyLines(1, 0);
  l.RemoveLines(2, 10);
  l.Exchange(0, 1);  // no line event
  l.Delete(0);
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"b"}));
  EXPECT_EQ(ev.log, (std::vector<std::string>{
                        "changing", "ins 0,1", "change", "changing", "ins 0,1", "change", "changing", "rep 1,1",
                        "change", "changing", "ins 1,2", "change", "changing", "del 2,2", "change", "changing",
                        "change", "changing", "del 0,1", "change"}));
  ev.log.clear();
  l.BeginUpdate();
  l.Add("x");
  l.Clear();
  l.EndUpdate();
  EXPECT_EQ(ev.log, (std::vector<std::string>{"changing", "ins 1,1", "cleared", "change"}));
  ev.log.clear();
  l.Clear();  // empty: nothing to report
  EXPECT_TRUE(ev.log.empty());

  TStringList src;
  src.Add("p");
  src.Add("q");
  l.AddStrings(&src);
  EXPECT_EQ(ev.log, (std::vector<std::string>{"changing", "ins 0,2", "change"}));
  EXPECT_EQ(l.Capacity(), 16);
}

TEST(TxtEditStringList, IndexErrorsLeaveTheListUnchanged) {
  TTxtEditStringList l;
  l.Add("a");
  EXPECT_EQ(l.Get(-1), "");
  EXPECT_EQ(l.Get(1), "");
  EXPECT_EQ(l.GetObject(5), nullptr);
  EXPECT_EQ(l.GetRangeState(7), 0);
  EXPECT_EQ(l.ExpandedLine(3), "");
  EXPECT_EQ(l.ExpandedLineWidth(3), 0);
  const struct {
    const char* what;
    std::function<void()> op;
    int index;
  } cases[] = {
      {"delete", [&] { l.Delete(1); }, 1},
      {"put", [&] { l.Put(2, "x"); }, 2},
      {"putobject", [&] { l.PutObject(1, nullptr); }, 1},
      {"insert", [&] { l.Insert(2, "x"); }, 2},
      {"insertempty", [&] { l.InsertEmptyLines(-1, 1); }, -1},
      {"remove", [&] { l.RemoveLines(1, 1); }, 1},
      {"exchange", [&] { l.Exchange(0, 1); }, 1},
      {"range", [&] { l.SetRangeState(1, 0); }, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.op();
      ADD_FAILURE();
    } catch (const ETxtEditStringList& e) {
      EXPECT_EQ(e.Message, "Invalid stringlist index " + std::to_string(c.index));
    }
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"a"}));
  }
  try {
    l.SetCapacity(0);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "Stringlist capacity cannot be smaller than count");
  }
}

TEST(TxtEditStringList, PerLineStateAndTabExpansion) {
  TTxtEditStringList l;
  l.Add("\tx");
  l.Add("abcdef");
  EXPECT_EQ(l.Record(0).RangeState, -1);
  EXPECT_EQ(l.Record(0).Flags, lfWidthStale);
  l.SetRangeState(0, 42);
  l.Put(0, "\tx");
  EXPECT_EQ(l.GetRangeState(0), 42);  // kept across a replacement
  EXPECT_EQ(l.ExpandedLine(0), std::string(8, '\t') + "x");
  EXPECT_EQ(l.ExpandedLineWidth(0), 9);
  EXPECT_EQ(l.Record(0).Flags, lfTabsPresent);
  EXPECT_EQ(l.LongestLineWidth(), 9);
  l.SetTabWidth(4);
  EXPECT_EQ(l.ExpandedLine(0), "\t\t\t\tx");
  EXPECT_EQ(l.ExpandedLineWidth(0), 5);
  EXPECT_EQ(l.LongestLineWidth(), 6);
  l.SetTabWidth(1);
  EXPECT_EQ(l.ExpandedLine(0), " x");
  l.SetTabWidth(3);
  EXPECT_EQ(l.ExpandedLine(0), "\t\t\tx");
  EXPECT_EQ(l.ExpandedLine(1), "abcdef");
  EXPECT_EQ(l.Record(1).Flags, lfTabsAbsent);
  TTxtEditStringList empty;
  EXPECT_EQ(empty.LongestLineWidth(), 0);
}

// Reads the widest line on every insertion, as the editor does for its
// horizontal scroll range.
struct WidthWatcher : TObject {
  TTxtEditStringList* list = nullptr;
  int width = -1;
  void Inserted(TObject*, int, int) { width = list->LongestLineWidth(); }
};

TEST(TxtEditStringList, LongestLineFollowsAddedAndInsertedLines) {
  TTxtEditStringList l;
  l.Add("ab");
  EXPECT_EQ(l.LongestLineWidth(), 2);
  l.Add("abcdef");
  EXPECT_EQ(l.LongestLineWidth(), 6);
  l.Insert(0, "abcdefghij");
  EXPECT_EQ(l.LongestLineWidth(), 10);
  l.InsertObject(3, "\t\t", nullptr);  // two tabs: 16 wide
  EXPECT_EQ(l.LongestLineWidth(), 16);
  l.Insert(1, "x");
  EXPECT_EQ(l.LongestLineWidth(), 16);
  l.Delete(4);
  EXPECT_EQ(l.LongestLineWidth(), 10);

  // A handler that asks on every insertion sees each loaded line count.
  WidthWatcher w;
  w.list = &l;
  l.OnLinesInserted = TTxtStringListChangeEvent(&w, &WidthWatcher::Inserted);
  TStringStream in("a\r\nabc\r\n" + std::string(30, 'x') + "\r\nab");
  l.LoadFromStream(&in);
  EXPECT_EQ(w.width, 30);
  l.SetText("ab\r\nabcd");
  EXPECT_EQ(w.width, 4);
  l.Add(std::string(12, 'y'));
  EXPECT_EQ(w.width, 12);
}

TEST(TxtEditStringList, SaveToFileUsesTheStyle) {
  TTxtEditStringList l;
  TStringStream in("\xD6\xD0\n\xCE\xC4\n");
  l.LoadFromStream(&in);
  std::string name = ::testing::TempDir() + "/pv_linestore.txt";
  l.SaveToFile(name);
  std::ifstream f(name, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "\xD6\xD0\n\xCE\xC4\n");
  TTxtEditStringList back;
  back.LoadFromFile(name);
  EXPECT_EQ(Lines(back), Lines(l));
  std::remove(name.c_str());
  EXPECT_THROW(l.SaveToFile("/nonexistent-dir/x.txt"), Exception);
}

TEST(TxtEditStringList, LargeLineWrittenThroughTheFileWriter) {
  TTxtEditStringList l;
  l.Add(std::string(40000, 'x'));
  l.Add("y");
  std::string name = ::testing::TempDir() + "/pv_linestore_big.txt";
  l.SaveToFile(name);
  TTxtEditStringList back;
  back.LoadFromFile(name);
  std::remove(name.c_str());
  EXPECT_EQ(Lines(back), Lines(l));
}

}  // namespace
