#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/tests/rtltest.h"

namespace {

void Fill(TStrings& list, const Items& items) {
  list.Clear();
  for (const auto& s : items) list.Add(s);
}

TEST(StringList, SortedAddByDuplicatesMode) {
  struct Case {
    TDuplicates mode;
    Items expected;
    bool raises;
  } cases[] = {
      {dupIgnore, {"a", "b", "c"}, false},
      {dupAccept, {"a", "B", "b", "c"}, false},  // an equal item goes before the first equal one
      {dupError, {"b"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    TStringList list;
    list.SetSorted(true);
    list.Duplicates = c.mode;
    bool raised = false;
    try {
      for (const char* s : {"b", "B", "c", "a"}) list.Add(s);  // "B" equals "b" without case
    } catch (const EStringListError& e) {
      raised = true;
      EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    EXPECT_EQ(raised, c.raises);
    EXPECT_EQ(ItemsOf(list), c.expected);
  }
}

TEST(StringList, SortedAddReturnsTheIndexAndFindGivesTheFirstEqualItem) {
  TStringList list;
  list.SetSorted(true);
  list.Duplicates = dupAccept;
  EXPECT_EQ(list.Add("m"), 0);
  EXPECT_EQ(list.Add("z"), 1);
  EXPECT_EQ(list.Add("a"), 0);
  list.Add("M");
  list.Add("m");
  int index = -1;
  EXPECT_TRUE(list.Find("M", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("n", index));
  EXPECT_EQ(index, 4);
  EXPECT_EQ(list.IndexOf("Z"), 4);

  list.Duplicates = dupIgnore;
  EXPECT_EQ(list.Add("Z"), 4);
  EXPECT_EQ(list.Count(), 5);
}

TEST(StringList, CaseFoldingLeavesDoubleByteCharactersAlone) {
  // "\x81\x61" and "\x81\x41" are two different characters whose trail bytes
  // happen to be 'a' and 'A'.
  TStringList list;
  Fill(list, {"\x81\x61", "ABC", "\xBD\xDA\xB5\xE3"});
  EXPECT_EQ(list.IndexOf("abc"), 1);
  EXPECT_EQ(list.IndexOf("\x81\x41"), -1);
  EXPECT_EQ(list.IndexOf("\xBD\xDA\xB5\xE3"), 2);

  list.SetSorted(true);
  list.Add("\x81\x41");
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.IndexOf("\x81\x41"), list.IndexOf("\x81\x61") - 1);
}

TEST(StringList, ChangingCaseSensitivityKeepsASortedListSearchable) {
  TStringList list;
  list.SetSorted(true);
  list.Duplicates = dupAccept;
  Fill(list, {"b", "A", "a", "B"});
  list.SetCaseSensitive(true);
  // Case decides between equal letters now: lower case first.
  EXPECT_EQ(ItemsOf(list), (Items{"a", "A", "b", "B"}));
  EXPECT_EQ(list.IndexOf("a"), 0);
  EXPECT_EQ(list.IndexOf("A"), 1);
  EXPECT_EQ(list.IndexOf("b"), 2);
  EXPECT_EQ(list.IndexOf("B"), 3);
  EXPECT_EQ(list.IndexOf("c"), -1);
}

TEST(StringList, SortedListRefusesPositionalChanges) {
  TStringList list;
  list.SetSorted(true);
  list.Add("a");
  for (auto op : std::vector<std::function<void()>>{[&] { list.Insert(0, "b"); },
                                                    [&] { list.InsertObject(0, "b", nullptr); },
                                                    [&] { list.Put(0, "b"); },
                                                    [&] { list.Add("c"); list.Move(0, 1); }}) {
    try {
      op();
      ADD_FAILURE() << "allowed";
    } catch (const EStringListError& e) {
      EXPECT_STREQ(e.what(), "Operation not allowed on sorted list");
    }
  }
  EXPECT_EQ(ItemsOf(list), (Items{"a", "c"}));
}

TEST(StringList, BadIndexesRaiseListIndexOutOfBounds) {
  TStringList list;
  Fill(list, {"a", "b"});
  struct Case {
    const char* name;
    std::function<void()> op;
    const char* message;
  } cases[] = {
      {"Get -1", [&] { (void)list[-1]; }, "List index out of bounds (-1)"},
      {"Get Count", [&] { (void)list.Strings(2); }, "List index out of bounds (2)"},
      {"Objects", [&] { (void)list.Objects(5); }, "List index out of bounds (5)"},
      {"Delete", [&] { list.Delete(2); }, "List index out of bounds (2)"},
      {"Insert past end", [&] { list.Insert(3, "x"); }, "List index out of bounds (3)"},
      {"Exchange", [&] { list.Exchange(0, 9); }, "List index out of bounds (9)"},
      {"Put", [&] { list.Put(-3, "x"); }, "List index out of bounds (-3)"},
      {"Move", [&] { list.Move(0, 2); }, "List index out of bounds (2)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.op();
      ADD_FAILURE() << "no exception";
    } catch (const EStringListError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(ItemsOf(list), (Items{"a", "b"}));
  }
  list.Insert(2, "c");  // inserting at Count appends
  EXPECT_EQ(ItemsOf(list), (Items{"a", "b", "c"}));
}

TEST(StringList, ExchangeAndMoveCarryTheObjects) {
  TStringList list;
  TObject o1, o2, o3;
  list.AddObject("one", &o1);
  list.AddObject("two", &o2);
  list.AddObject("three", &o3);
  list.Exchange(0, 2);
  EXPECT_EQ(ItemsOf(list), (Items{"three", "two", "one"}));
  EXPECT_EQ(list.Objects(0), &o3);
  list.Move(0, 2);
  EXPECT_EQ(ItemsOf(list), (Items{"two", "one", "three"}));
  EXPECT_EQ(list.Objects(2), &o3);
  EXPECT_EQ(list.IndexOfObject(&o1), 1);
  EXPECT_EQ(list.IndexOfObject(nullptr), -1);
}

TEST(StringList, TextLineEnds) {
  struct Case {
    const char* text;
    Items lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\n\nb", {"a", "", "b"}},
      {"\xBD\xDA\r\n\xB5\xE3", {"\xBD\xDA", "\xB5\xE3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(ItemsOf(list), c.lines);
  }
  TStringList list;
  Fill(list, {"a", "", "b"});
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringList, CommaTextRoundTrips) {
  struct Case {
    Items items;
    const char* text;
  } cases[] = {
      {{}, ""},
      {{"a", "b"}, "a,b"},
      {{""}, "\"\""},
      {{"a", ""}, "a,"},
      {{"", ""}, ","},
      {{"a b", "c"}, "\"a b\",c"},
      {{"x,y"}, "\"x,y\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"tab\there"}, "\"tab\there\""},
      {{"\xBD\xDA\xB5\xE3", "\xBD\xDA \xB5\xE3"}, "\xBD\xDA\xB5\xE3,\"\xBD\xDA \xB5\xE3\""},
      {{"\xBD", "b"}, "\"\xBD\",b"},  // a stray lead byte is quoted, not joined to the comma
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList list;
    Fill(list, c.items);
    EXPECT_EQ(list.CommaText(), c.text);
    TStringList back;
    back.SetCommaText(c.text);
    EXPECT_EQ(ItemsOf(back), c.items);
  }
}

TEST(StringList, CommaTextParsing) {
  struct Case {
    const char* text;
    Items items;
  } cases[] = {
      {"  a , b  ", {"a", "b"}},
      {"a b", {"a", "b"}},  // blanks separate unquoted items
      {"a,,b", {"a", "", "b"}},
      {"a, ", {"a"}},
      {"\"unclosed, text", {"unclosed, text"}},
      {"\"a\"b", {"a", "b"}},
      {"\"\"\"\"", {"\""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TStringList list;
    list.SetCommaText(c.text);
    EXPECT_EQ(ItemsOf(list), c.items);
  }
}

TEST(StringList, DelimiterMatchingATrailByteDoesNotSplitACharacter) {
  // 0x5C ('\') is the trail byte of "\x95\x5C".
  TStringList list;
  list.Delimiter = '\\';
  list.SetDelimitedText("\x95\x5C\\b");
  EXPECT_EQ(ItemsOf(list), (Items{"\x95\x5C", "b"}));
  EXPECT_EQ(list.DelimitedText(), "\x95\x5C\\b");
  // The separators survive CommaText.
  EXPECT_EQ(list.CommaText(), "\x95\x5C,b");
  EXPECT_EQ(list.Delimiter, '\\');

  // A stray lead byte must not swallow the delimiter after it.
  Fill(list, {"\xBD", "b"});
  TStringList back;
  back.Delimiter = '\\';
  back.SetDelimitedText(list.DelimitedText());
  EXPECT_EQ(ItemsOf(back), (Items{"\xBD", "b"}));
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  Fill(list, {"Width=10", "plain", "Title=\xBD\xDA=\xB5\xE3", "width=20"});
  EXPECT_EQ(list.Names(0), "Width");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.ValueFromIndex(1), "");
  EXPECT_EQ(list.Values("WIDTH"), "10");  // the first match, without case
  EXPECT_EQ(list.Values("title"), "\xBD\xDA=\xB5\xE3");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.IndexOfName("plain"), -1);

  list.SetValue("Height", "5");
  list.SetValue("width", "11");
  EXPECT_EQ(ItemsOf(list), (Items{"width=11", "plain", "Title=\xBD\xDA=\xB5\xE3", "width=20", "Height=5"}));
  list.SetValue("Title", "");
  EXPECT_EQ(list.IndexOfName("Title"), -1);
  list.SetValueFromIndex(0, "12");
  EXPECT_EQ(list[0], "width=12");

  list.NameValueSeparator = ':';
  list.Add("key:v");
  EXPECT_EQ(list.Values("KEY"), "v");
}

TEST(StringList, NestedUpdatesReportOneChange) {
  TStringList list;
  int changing = 0, changed = 0;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changing;
  };
  list.OnChange = [&](TObject*) { ++changed; };

  list.Add("a");
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);

  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.EndUpdate();
  list.Add("c");
  EXPECT_EQ(changed, 1);  // nothing while updating
  list.EndUpdate();
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);

  list.SetText("x\r\ny\r\nz");
  EXPECT_EQ(changed, 3);
  list.Clear();
  list.Clear();  // already empty: no change
  EXPECT_EQ(changed, 4);
  list.EndUpdate();  // unbalanced: ignored
  list.Add("q");
  EXPECT_EQ(changed, 5);
}

TEST(StringList, CustomSortIsStableAndSurvivesAnInconsistentCompare) {
  TStringList list;
  Fill(list, {"b1", "a1", "b2", "a2", "c1", "a3"});
  list.CustomSort([](TStringList* l, int i, int j) { return int(l->Strings(i)[0]) - int(l->Strings(j)[0]); });
  EXPECT_EQ(ItemsOf(list), (Items{"a1", "a2", "a3", "b1", "b2", "c1"}));

  Fill(list, {"5", "3", "9", "1", "7", "2", "8"});
  list.CustomSort([](TStringList*, int, int) { return -1; });
  Items items = ItemsOf(list);
  std::sort(items.begin(), items.end());
  EXPECT_EQ(items, (Items{"1", "2", "3", "5", "7", "8", "9"}));

  list.Sort();
  EXPECT_EQ(ItemsOf(list), (Items{"1", "2", "3", "5", "7", "8", "9"}));
}

TEST(StringList, AssignAndAddStrings) {
  TStringList a, b;
  TObject o;
  a.AddObject("x", &o);
  a.Add("y");
  a.Delimiter = ';';
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(ItemsOf(b), (Items{"x", "y"}));
  EXPECT_EQ(b.Objects(0), &o);
  EXPECT_EQ(b.Delimiter, ';');
  EXPECT_TRUE(b.Equals(&a));

  b.Assign(&b);  // assigning a list to itself keeps it
  EXPECT_EQ(ItemsOf(b), (Items{"x", "y"}));
  b.AddStrings(&b);
  EXPECT_EQ(ItemsOf(b), (Items{"x", "y", "x", "y"}));
  EXPECT_FALSE(b.Equals(&a));

  TStringList c;
  c.Add("X");
  c.Add("y");
  EXPECT_FALSE(c.Equals(&a));  // exact comparison
}

TEST(StringList, StreamsAndFiles) {
  TStringList list;
  Fill(list, {"\xBD\xDA\xB5\xE3", "", "b"});
  TMemoryStream m;
  m.WriteBuffer("head", 4);
  list.SaveToStream(&m);
  EXPECT_EQ(m.Size(), 4 + 6 + 2 + 3);

  TStringList back;
  m.SetPosition(4);  // reads from the position to the end
  back.LoadFromStream(&m);
  EXPECT_EQ(ItemsOf(back), ItemsOf(list));

  char tmpl[] = "/tmp/pv_strings_XXXXXX";
  int fd = mkstemp(tmpl);
  ASSERT_GE(fd, 0);
  close(fd);
  list.SaveToFile(tmpl);
  TStringList fromFile;
  fromFile.LoadFromFile(tmpl);
  EXPECT_EQ(ItemsOf(fromFile), ItemsOf(list));
  unlink(tmpl);

  TStringList keep;
  keep.Add("keep");
  EXPECT_THROW(keep.LoadFromFile("/nonexistent/pv/list.txt"), EFOpenError);
  EXPECT_EQ(ItemsOf(keep), Items{"keep"});

  // A stream that ends early leaves the list as it was.
  class TShortStream : public TStringStream {
   public:
    TShortStream() : TStringStream("a\r\nb\r\n") {}
    Int64 Size() override { return 1 << 30; }
  } shortStream;
  EXPECT_THROW(keep.LoadFromStream(&shortStream), EReadError);
  EXPECT_EQ(ItemsOf(keep), Items{"keep"});
}

}  // namespace
