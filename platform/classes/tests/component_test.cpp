#include <gtest/gtest.h>

#include "platform/classes/tests/fixtures.h"

namespace {

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    EventLog().clear();
  }
  static TTestComponent* Make(TComponent* owner, const char* name) {
    auto* c = new TTestComponent(owner);
    c->SetName(name);
    return c;
  }
};

TEST_F(ComponentTest, OwnerKeepsComponentsInInsertionOrder) {
  TTestComponent root(nullptr);
  auto* a = Make(&root, "A");
  auto* b = Make(&root, "B");
  ASSERT_EQ(root.ComponentCount(), 2);
  EXPECT_EQ(root.Components(0), a);
  EXPECT_EQ(b->ComponentIndex(), 1);
  EXPECT_EQ(a->Owner(), &root);
  EXPECT_THROW(root.Components(2), EListError);
  b->SetComponentIndex(0);
  EXPECT_EQ(root.Components(0), b);
  EXPECT_EQ(root.FindComponent("a"), a);  // names ignore case
  EXPECT_EQ(root.FindComponent(""), nullptr);

  TTestComponent other(nullptr);
  other.InsertComponent(a);  // moving to another owner leaves the first
  EXPECT_EQ(a->Owner(), &other);
  EXPECT_EQ(root.ComponentCount(), 1);
  other.RemoveComponent(a);
  EXPECT_EQ(a->Owner(), nullptr);
  delete a;
}

TEST_F(ComponentTest, NamesAreValidatedWithThePlatformMessages) {
  TTestComponent root(nullptr);
  auto* a = Make(&root, "Button1");
  auto* b = Make(&root, "Button2");
  struct Case {
    const char* name;
    const char* message;
  } cases[] = {
      {"1abc", "'1abc' is not a valid component name"},
      {"a b", "'a b' is not a valid component name"},
      {"a.b", "'a.b' is not a valid component name"},
      {"\xD6\xD0", "'\xD6\xD0' is not a valid component name"},
      {"BUTTON1", "A component named BUTTON1 already exists"},
  };
  for (const auto& c : cases) {
    try {
      b->SetName(c.name);
      ADD_FAILURE() << c.name;
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message, c.message);
    }
    EXPECT_EQ(b->Name(), "Button2");
  }
  a->SetName("BUTTON1");  // a change of case only is allowed
  EXPECT_EQ(a->Name(), "BUTTON1");
  b->SetName("");  // unnamed components may repeat
  Make(&root, "");
  EXPECT_EQ(root.ComponentCount(), 3);

  // inserting a component whose name is taken fails and leaves it outside
  TTestComponent loose(nullptr);
  loose.SetName("button1");
  EXPECT_THROW(root.InsertComponent(&loose), EComponentError);
  EXPECT_EQ(loose.Owner(), nullptr);
  EXPECT_EQ(root.ComponentCount(), 3);
}

TEST_F(ComponentTest, FreeNotificationClearsReferences) {
  auto* form = new TTestComponent(nullptr);
  form->SetName("Form");
  auto* module = new TTestComponent(nullptr);
  module->SetName("Module");
  auto* user = Make(form, "User");
  auto* ds = Make(module, "DS");
  user->SetLink(ds);  // across owners: free notification
  auto* sibling = Make(form, "Sibling");
  auto* user2 = Make(form, "User2");
  user2->SetLink(sibling);  // same owner: the owner passes the notice on
  EXPECT_TRUE(ds->ComponentState().Contains(csFreeNotification));

  delete ds;
  EXPECT_EQ(user->Link(), nullptr);
  delete sibling;
  EXPECT_EQ(user2->Link(), nullptr);

  // a component that is gone no longer gets notices from the one it linked to
  auto* ds2 = Make(module, "DS2");
  user->SetLink(ds2);
  delete user;
  EventLog().clear();
  delete ds2;
  for (auto& e : EventLog()) EXPECT_EQ(e.find("-> User"), std::string::npos) << e;
  delete form;
  delete module;
}

TEST_F(ComponentTest, OwnerDestroysComponentsLastFirstAfterNotices) {
  auto* root = new TTestComponent(nullptr);
  root->SetName("Root");
  Make(root, "A");
  auto* b = Make(root, "B");
  Make(root, "C");
  auto* outside = new TTestComponent(nullptr);
  outside->SetName("Outside");
  outside->SetLink(b);
  EventLog().clear();
  delete root;
  // The root's own destructor body runs first. Then its components go, last
  // first; one with free-notification links is removed with notices (to the
  // owner, which passes them on to every component still in its list).
  std::vector<std::string> expected = {"destroy Root", "destroy C",          "remove B -> B",
                                       "remove B -> A", "destroy B", "remove B -> Outside", "destroy A"};
  EXPECT_EQ(EventLog(), expected);
  EXPECT_EQ(outside->Link(), nullptr);
  delete outside;
}

TEST_F(ComponentTest, DestroyingMarksTheTree) {
  TTestComponent root(nullptr);
  auto* a = Make(&root, "A");
  auto* aa = Make(a, "AA");
  root.Destroying();
  EXPECT_TRUE(a->ComponentState().Contains(csDestroying));
  EXPECT_TRUE(aa->ComponentState().Contains(csDestroying));
}

TEST_F(ComponentTest, FieldsFollowNamesAndComponents) {
  auto* form = new TTestForm(nullptr);
  auto* b = new TTestControl(form);
  EXPECT_EQ(form->Button1, nullptr);
  b->SetName("Button1");
  EXPECT_EQ(form->Button1, b);
  b->SetName("Panel1");
  EXPECT_EQ(form->Button1, nullptr);
  EXPECT_EQ(form->Panel1, b);
  delete b;
  EXPECT_EQ(form->Panel1, nullptr);
  delete form;
}

TEST_F(ComponentTest, GlobalRootsAreFoundByNameUntilDestroyed) {
  auto* m = new TTestModule(nullptr);
  m->SetName("LibModule");
  EXPECT_EQ(FindGlobalComponent("libmodule"), m);
  auto* ds = Make(m, "libDS");
  EXPECT_EQ(FindNestedComponent(nullptr, "LibModule.libDS"), ds);
  EXPECT_EQ(FindNestedComponent(nullptr, "LibModule.none"), nullptr);
  delete m;
  EXPECT_EQ(FindGlobalComponent("LibModule"), nullptr);
}

TEST_F(ComponentTest, ClassRegistryCreatesByName) {
  EXPECT_EQ(FindClass("ttestcontrol"), TTestControl::StaticClass());
  EXPECT_EQ(GetClass("TNothing"), nullptr);
  try {
    FindClass("TNothing");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message, "Class TNothing not found");
  }
  // the ancestors come with a class
  EXPECT_EQ(GetClass("TTestComponent"), TTestComponent::StaticClass());
  TTestComponent owner(nullptr);
  TObject* obj = CreateObject(FindClass("TTestControl"), &owner);
  auto* c = dynamic_cast<TTestControl*>(obj);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Owner(), &owner);
  EXPECT_EQ(c->ClassName(), "TTestControl");
  EXPECT_TRUE(c->InheritsFrom(TComponent::StaticClass()));
  EXPECT_FALSE(c->InheritsFrom(TCollection::StaticClass()));

  // a different class under a taken name is refused; the same class again is fine
  struct TOther : TComponent {
    explicit TOther(TComponent* o) : TComponent(o) {}
    static TClass StaticClass() {
      static const TClassInfo info{"TTestControl", TComponent::StaticClass(), nullptr};
      return &info;
    }
  };
  EXPECT_THROW(RegisterClass(TOther::StaticClass()), EFilerError);
  EXPECT_NO_THROW(RegisterClass(TTestControl::StaticClass()));
  // abstract or owner-less classes cannot be made by name
  EXPECT_THROW(CreateObject(TStrings::StaticClass(), nullptr), EClassNotFound);
}

TEST_F(ComponentTest, AssignBetweenUnrelatedClassesRaises) {
  TTestFont f;
  TStringList list;
  try {
    f.Assign(&list);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "Cannot assign a TStringList to a TTestFont");
  }
  TTestFont g;
  g.Name = "Arial";
  f.Assign(&g);
  EXPECT_EQ(f.Name, "Arial");
}

struct ICounter : public virtual IInterface {
  virtual int Value() = 0;
};
struct TCounter : TInterfacedObject, ICounter {
  explicit TCounter(bool* freed) : Freed(freed) {}
  ~TCounter() override { *Freed = true; }
  int Value() override { return 42; }
  bool* Freed;
};

TEST_F(ComponentTest, InterfacesCountOnlyWhenTheObjectCounts) {
  bool freed = false;
  {
    TIntf<ICounter> a(new TCounter(&freed));
    TIntf<ICounter> b = a;
    EXPECT_EQ(b->Value(), 42);
    a.Reset();
    EXPECT_FALSE(freed);
  }
  EXPECT_TRUE(freed);

  // components do not count: the owner decides their life
  TTestComponent c(nullptr);
  IInterface* i = nullptr;
  ASSERT_TRUE(Supports(static_cast<TObject*>(&c), i));
  EXPECT_EQ(i->_AddRef(), -1);
  { TIntf<IInterface> held(i); }
  EXPECT_FALSE((Supports<ICounter>(static_cast<TObject*>(&c))));
}

}  // namespace
