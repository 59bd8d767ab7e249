// Class utilities: the middle of a range, weak object links and fake links.
#include "framework/uxclasses.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/classes/filer.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

TEST(ClassUtilities, RangeMiddleRoundsTowardsMinusInfinity) {
  struct {
    int A, B, Middle;
  } cases[] = {{0, 0, 0}, {-1, 0, -1}, {3, 4, 3}, {-3, 0, -2}, {-4, 1, -2},
               {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}, {-0x7FFFFFFF - 1, -0x7FFFFFFF - 1, -0x7FFFFFFF - 1}};
  for (const auto& c : cases) EXPECT_EQ(uxRangeMiddle(c.A, c.B), c.Middle) << c.A << "," << c.B;
}

TEST(ClassUtilities, ObjectLinksClearWhenTheirComponentIsFreed) {
  ASSERT_EQ(uxObjectLinkCount(), 0);
  EXPECT_EQ(uxGetObjectLinkController(), nullptr);
  auto* c = new TuxComponent(nullptr);
  TuxComponent other(nullptr);
  TuxObjectLink* a = uxAddObjectLink(c);
  TuxObjectLink* b = uxAddObjectLink(c);
  TuxObjectLink* keep = uxAddObjectLink(&other);
  ASSERT_NE(uxGetObjectLinkController(), nullptr);
  EXPECT_EQ(uxGetObjectLinkController()->LinkCount(), 3);
  delete c;
  EXPECT_EQ(a->Ref, nullptr);
  EXPECT_EQ(b->Ref, nullptr);
  EXPECT_EQ(keep->Ref, &other);
  // Cleared links leave the controller's list but stay with their holders.
  EXPECT_EQ(uxGetObjectLinkController()->LinkCount(), 1);
  uxRemoveObjectLink(a);
  uxRemoveObjectLink(keep);
  EXPECT_EQ(uxObjectLinkCount(), 1);
  uxRemoveObjectLink(b);
  EXPECT_EQ(uxObjectLinkCount(), 0);
  EXPECT_EQ(uxGetObjectLinkController(), nullptr);
  // A link made for no object leaves the list when it is removed.
  TuxObjectLink* none = uxAddObjectLink(nullptr);
  TuxObjectLink* live = uxAddObjectLink(&other);
  uxRemoveObjectLink(none);
  EXPECT_EQ(uxGetObjectLinkController()->LinkCount(), 1);
  uxRemoveObjectLink(live);
  EXPECT_EQ(uxGetObjectLinkController(), nullptr);
  // A new link after the controller went away works again.
  TuxObjectLink* again = uxAddObjectLink(&other);
  EXPECT_EQ(again->Ref, &other);
  uxRemoveObjectLink(again);
}

class LinkingComponent : public TuxComponent {
  PV_CLASS(LinkingComponent, TuxComponent)
 public:
  explicit LinkingComponent(TComponent* AOwner) : TuxComponent(AOwner) {}
  std::vector<TComponent*> Links;

 protected:
  void GetFakeComponentLinks(std::vector<TComponent*>& List) override { List = Links; }
};

TEST(ClassUtilities, FakeLinksTakeTheFirstThreeOnlyInDesignMode) {
  TComponent owner(nullptr);
  auto* c = new LinkingComponent(&owner);
  TComponent x(nullptr), y(nullptr), z(nullptr), w(nullptr);
  c->Links = {&x, &y, &z, &w};
  c->UpdateFakeLinks();
  EXPECT_EQ(c->FakeComponentLink1(), nullptr);  // not designing

  c->SetDesigning(true);
  c->UpdateFakeLinks();
  EXPECT_EQ(c->FakeComponentLink1(), &x);
  EXPECT_EQ(c->FakeComponentLink3(), &z);
  c->Links = {&y};
  c->UpdateFakeLinks();
  EXPECT_EQ(c->FakeComponentLink1(), &y);
  EXPECT_EQ(c->FakeComponentLink2(), nullptr);
}

// The linked components may live elsewhere: a link never outlives its component,
// and the links are written into a description as references.
TEST(ClassUtilities, FakeLinksFollowTheirComponentsAndAreStreamed) {
  uxInitClasses();
  TComponent owner(nullptr);
  owner.SetName("Owner1");
  auto* c = new LinkingComponent(&owner);
  c->SetName("Linker");
  auto* sibling = new TComponent(&owner);
  sibling->SetName("Sibling");
  auto* gone = new TComponent(nullptr);
  c->Links = {sibling, gone};
  c->SetDesigning(true);
  c->UpdateFakeLinks();
  ASSERT_EQ(c->FakeComponentLink2(), gone);
  delete gone;
  EXPECT_EQ(c->FakeComponentLink1(), sibling);
  EXPECT_EQ(c->FakeComponentLink2(), nullptr);

  AnsiString text = WriteComponentToText(c);
  EXPECT_NE(text.find("FakeComponentLink1 = Owner1.Sibling"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("FakeComponentLink2"), AnsiString::npos) << text;
}

TEST(ClassUtilities, ObjectListOwnsItsItems) {
  struct Counted : TObject {
    std::vector<int>* Log;
    int Id;
    Counted(std::vector<int>* L, int I) : Log(L), Id(I) {}
    ~Counted() override { Log->push_back(Id); }
  };
  std::vector<int> freed;
  auto* kept = new Counted(&freed, 9);
  {
    TuxObjectList list;
    for (int i = 1; i <= 3; ++i) list.Add(new Counted(&freed, i));
    list.Insert(0, kept);
    EXPECT_THROW(list.Insert(6, nullptr), EListError);
    list.Delete(2);  // item 2
    EXPECT_EQ(list.Extract(kept), kept);
    EXPECT_EQ(list.Extract(kept), nullptr);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.Items(2), EListError);
    list.Add(new Counted(&freed, 4));
  }  // frees the rest, first to last
  EXPECT_EQ(freed, (std::vector<int>{2, 1, 3, 4}));
  delete kept;
}

TEST(ClassUtilities, OpenListGrowsWhenWrittenPastItsEnd) {
  TuxOpenList list;
  int a = 0, b = 0;
  list.SetItems(3, &a);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Items(0), nullptr);
  EXPECT_EQ(list.Items(3), &a);
  list.SetItems(1, &b);  // inside: no growth
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.IndexOf(&b), 1);
  EXPECT_THROW(list.Items(4), EListError);
  EXPECT_THROW(list.SetItems(-1, &a), EListError);
}

TEST(ClassUtilities, TranslateStringReturnsTheTextUnchanged) {
  for (const AnsiString& s : {AnsiString(), AnsiString("Abc|def"), AnsiString("\xD6\xD0\xCE\xC4")})
    EXPECT_EQ(uxTranslateString(s), s);
}

struct AutoWidthCase {
  int Available;
  std::vector<int> Widths, MinWidths;
  std::vector<bool> Fixed;
  std::vector<int> Expected;
};

TEST(ClassUtilities, AutoWidthDistribution) {
  const AutoWidthCase cases[] = {
      // Cumulative rounding, halves away from zero; the sum is exact.
      {61, {10, 20, 30}, {0, 0, 0}, {false, false, false}, {10, 21, 30}},
      // A share equal to the minimum holds the item there; the rest is spread again.
      {60, {10, 20, 30}, {10, 0, 0}, {false, false, false}, {10, 20, 30}},
      {40, {10, 10, 20}, {15, 0, 0}, {false, false, false}, {15, 8, 17}},
      // All fixed: the natural widths whatever the space.
      {5, {10, 20}, {0, 0}, {true, true}, {10, 20}},
      // Fixed items take their width off the top.
      {50, {10, 20, 20}, {0, 0, 0}, {true, false, false}, {10, 20, 20}},
      // Every item at its minimum ends the loop.
      {10, {10, 10}, {30, 30}, {false, false}, {30, 30}},
  };
  for (const AutoWidthCase& c : cases) {
    TuxAutoWidthObject obj(4);
    obj.AvailableWidth = c.Available;
    for (size_t i = 0; i < c.Widths.size(); ++i) {
      TuxAutoWidthItem* item = obj.AddItem();
      EXPECT_EQ(item->AutoWidth, -1);
      item->Width = c.Widths[i];
      item->MinWidth = c.MinWidths[i];
      item->Fixed = c.Fixed[i];
    }
    obj.Calculate();
    std::vector<int> got;
    for (int i = 0; i < obj.Count(); ++i) got.push_back(obj.Items(i)->AutoWidth);
    EXPECT_EQ(got, c.Expected) << "available " << c.Available;
  }
}

class BaseItem : public TObject {
  PV_CLASS(BaseItem, TObject)
};
class DerivedItem : public BaseItem {
  PV_CLASS(DerivedItem, BaseItem)
};
class MoreDerivedItem : public DerivedItem {
  PV_CLASS(MoreDerivedItem, DerivedItem)
};
class BaseEditor : public TObject {
  PV_CLASS(BaseEditor, TObject)
};
class DerivedEditor : public TObject {
  PV_CLASS(DerivedEditor, TObject)
};

TEST(ClassUtilities, RegisteredClassListFindsTheNearestAncestor) {
  TuxRegisteredClassList list;
  list.Register(DerivedItem::StaticClass(), DerivedEditor::StaticClass());
  list.Register(BaseItem::StaticClass(), BaseEditor::StaticClass());
  // The base's pair stands before the descendant's.
  EXPECT_EQ(list.Items(0).ItemClass, BaseItem::StaticClass());
  EXPECT_EQ(list.Items(1).ItemClass, DerivedItem::StaticClass());
  EXPECT_EQ(list.FindClass(MoreDerivedItem::StaticClass()), DerivedEditor::StaticClass());
  EXPECT_EQ(list.FindClass(BaseItem::StaticClass()), BaseEditor::StaticClass());
  EXPECT_EQ(list.FindClass(TObject::StaticClass()), nullptr);
  list.Unregister(DerivedItem::StaticClass(), BaseEditor::StaticClass());  // no such pair
  EXPECT_EQ(list.Count(), 2);
  list.Unregister(DerivedItem::StaticClass(), DerivedEditor::StaticClass());
  EXPECT_EQ(list.FindClass(MoreDerivedItem::StaticClass()), BaseEditor::StaticClass());
  EXPECT_THROW(list.Items(1), EListError);
}

struct TextItem : TuxMRUItem {
  AnsiString Text;
  int* Freed;
  TextItem(AnsiString T, int* F) : Text(std::move(T)), Freed(F) {}
  ~TextItem() override { ++*Freed; }
  bool Equals(TuxMRUItem* Item) override { return static_cast<TextItem*>(Item)->Text == Text; }
};

TEST(ClassUtilities, MostRecentlyUsedList) {
  int freed = 0;
  TuxMRUItems mru;
  mru.SetMaxCount(3);
  for (const char* t : {"a", "b", "c", "d"}) mru.Add(new TextItem(t, &freed));
  auto texts = [&] {
    std::vector<AnsiString> v;
    for (int i = 0; i < mru.Count(); ++i) v.push_back(static_cast<TextItem*>(mru.Items(i))->Text);
    return v;
  };
  EXPECT_EQ(texts(), (std::vector<AnsiString>{"d", "c", "b"}));
  EXPECT_EQ(freed, 1);
  mru.Add(new TextItem("b", &freed));
  EXPECT_EQ(texts(), (std::vector<AnsiString>{"b", "d", "c"}));
  EXPECT_EQ(freed, 2);
  mru.SetMaxCount(1);
  EXPECT_EQ(texts(), std::vector<AnsiString>{"b"});
  mru.SetMaxCount(-5);
  EXPECT_EQ(mru.MaxCount(), 0);
  EXPECT_THROW(mru.Delete(1), EListError);
}

class TuxGridColumn : public TComponent {
  PV_CLASS(TuxGridColumn, TComponent)
 public:
  explicit TuxGridColumn(TComponent* AOwner) : TComponent(AOwner) {}
};

TEST(ClassUtilities, UniqueComponentNames) {
  TComponent owner(nullptr);
  TComponent view(&owner);
  view.SetName("View");
  auto* item = new TuxGridColumn(&owner);
  struct {
    const char* Field;
    const char* Prefix;
    const char* Expected;
  } cases[] = {
      {"", "", "ViewuxGridColumn1"},
      {"", "TuxGrid", "ViewColumn1"},
      {"Price", "", "ViewPrice"},
      {"Unit Price\xB5\xA5", "", "ViewUnitPrice"},  // spaces and double-byte characters go
      {"2nd", "TuxGrid", "ViewColumn2nd"},
  };
  for (const auto& c : cases) {
    AnsiString name;
    uxGetUniqueComponentName(&owner, &view, item, name, c.Field, c.Prefix);
    EXPECT_EQ(name, c.Expected) << c.Field;
  }
  TComponent taken(&owner);
  taken.SetName("viewprice");
  AnsiString name;
  uxGetUniqueComponentName(&owner, &view, item, name, "Price");
  EXPECT_EQ(name, "ViewPrice1");
  item->SetName("ViewPrice1");  // its own name does not count as taken
  uxGetUniqueComponentName(&owner, &view, item, name, "Price");
  EXPECT_EQ(name, "ViewPrice1");
}

TEST(ClassUtilities, FirstCharByteLength) {
  struct {
    AnsiString Text;
    int Length;
  } cases[] = {
      {"", 0},           {"ab", 1},          {"\xD6\xD0x", 2},
      {"\x81\x40", 2},   {"\xFE\xFE", 2},    // the first and last lead bytes
      {"\x80\x40", 1},   {"\xFF\x40", 1},    // not lead bytes
      {"\xD6", 1},                          // a lead byte without its trail byte
  };
  for (const auto& c : cases) EXPECT_EQ(uxFirstCharByteLength(c.Text), c.Length) << c.Text.size();
}

TEST(ClassUtilities, FreeNotificatorForwardsRemovalOnly) {
  TuxFreeNotificator notificator(nullptr);
  std::vector<TComponent*> freed;
  notificator.OnFreeNotification = [&](TComponent* C) { freed.push_back(C); };
  auto* watched = new TComponent(nullptr);
  auto* dropped = new TComponent(nullptr);
  notificator.AddSender(watched);
  notificator.AddSender(dropped);
  notificator.AddSender(nullptr);
  notificator.RemoveSender(dropped);
  delete dropped;
  delete watched;
  EXPECT_EQ(freed, std::vector<TComponent*>{watched});
}

TEST(ClassUtilities, StreamsAreEqual) {
  TMemoryStream a, b;
  EXPECT_TRUE(uxStreamsAreEqual(&a, &b));
  a.Write("abc", 3);
  EXPECT_FALSE(uxStreamsAreEqual(&a, &b));
  b.Write("abd", 3);
  EXPECT_FALSE(uxStreamsAreEqual(&a, &b));
  b.SetSize(0);
  b.Write("abc", 3);
  EXPECT_TRUE(uxStreamsAreEqual(&a, &b));
}

TEST(ClassUtilities, RenameComponentsByPrefix) {
  TComponent owner(nullptr), stranger(nullptr);
  TComponent view(&owner);
  std::vector<TComponent*> items;
  for (const char* n : {"GridView1Col", "gridview1Price", "GridView1", "Other", "GridView1Taken"})
    (items.emplace_back(new TComponent(&owner)))->SetName(n);
  (items.emplace_back(new TComponent(&stranger)))->SetName("GridView1Far");
  TComponent clash(&owner);
  clash.SetName("ViewTaken");
  auto get = [&](TComponent*, int i) { return items[i]; };
  uxRenameComponentsByPrefix(&view, &owner, "View", get, static_cast<int>(items.size()), "GridView1");
  std::vector<AnsiString> names;
  for (auto* c : items) names.push_back(c->Name());
  EXPECT_EQ(names, (std::vector<AnsiString>{"ViewCol", "ViewPrice", "GridView1", "Other", "GridView1Taken",
                                            "GridView1Far"}));
  view.SetAncestor(true);
  uxRenameComponentsByPrefix(&view, &owner, "Again", get, static_cast<int>(items.size()), "View");
  EXPECT_EQ(items[0]->Name(), "ViewCol");
}

TEST(ClassUtilities, RegisteredClassesWithTexts) {
  TuxRegisteredClasses reg;
  reg.Register(DerivedEditor::StaticClass(), "TextEdit|Represents a single line text editor");
  reg.Register(BaseEditor::StaticClass(), "checkBox|Represents a check box control");
  reg.Register(MoreDerivedItem::StaticClass(), "Button");
  reg.Register(BaseEditor::StaticClass(), "Again");  // already present
  ASSERT_EQ(reg.Count(), 3);
  EXPECT_EQ(reg.GetDescription(0), "TextEdit");
  EXPECT_EQ(reg.GetDescription(2), "Button");
  EXPECT_EQ(reg.FindByClassName("BaseEditor"), BaseEditor::StaticClass());
  EXPECT_EQ(reg.FindByClassName("baseeditor"), nullptr);

  reg.SetSorted(true);
  std::vector<AnsiString> order;
  for (int i = 0; i < reg.Count(); ++i) order.push_back(reg.GetDescription(i));
  EXPECT_EQ(order, (std::vector<AnsiString>{"Button", "checkBox", "TextEdit"}));
  reg.Unregister(BaseEditor::StaticClass());
  reg.Unregister(BaseEditor::StaticClass());
  EXPECT_EQ(reg.Count(), 2);
  EXPECT_THROW(reg.Items(2), EListError);
  // Registering keeps the order sorted.
  reg.Register(BaseItem::StaticClass(), "Memo|Represents a multi-line editor");
  order.clear();
  for (int i = 0; i < reg.Count(); ++i) order.push_back(reg.GetDescription(i));
  EXPECT_EQ(order, (std::vector<AnsiString>{"Button", "Memo", "TextEdit"}));
}

namespace first {
class SameNamedEditor : public TObject {
  PV_CLASS(SameNamedEditor, TObject)
};
}  // namespace first
namespace second {
class SameNamedEditor : public TObject {
  PV_CLASS(SameNamedEditor, TObject)
};
}  // namespace second

// A registry made with RegisterClasses makes its classes known to the streaming
// registry; a name the streaming registry refuses leaves the registry unchanged.
TEST(ClassUtilities, RegisteredClassesRegisterForStreaming) {
  TuxRegisteredClasses reg(true);
  reg.Register(first::SameNamedEditor::StaticClass(), "Editor");
  EXPECT_EQ(GetClass("SameNamedEditor"), first::SameNamedEditor::StaticClass());
  EXPECT_THROW(reg.Register(second::SameNamedEditor::StaticClass(), "Other"), EFilerError);
  EXPECT_EQ(reg.Count(), 1);
  UnRegisterClass(first::SameNamedEditor::StaticClass());

  TuxRegisteredClasses plain;
  plain.Register(BaseEditor::StaticClass(), "Base");
  EXPECT_EQ(GetClass("BaseEditor"), nullptr);
  EXPECT_EQ(plain.ItemsList()->Owner(), &plain);
}

}  // namespace
