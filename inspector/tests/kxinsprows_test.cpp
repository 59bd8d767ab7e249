// Rows and the row collection, complex rows, keyboard editing and the stored
// row layout (the "Data" stream and the registry-ini layout).
#include "inspector/tests/insptest.h"

#include "platform/rtl/inifiles.h"

namespace kxinsprows_test {

class KxInspectorRowsTest : public InspectorTest {};

// An owner that refuses every new name of its components once asked to.
class TRefusingOwner : public TComponent {
  PV_CLASS(TRefusingOwner, TComponent)
 public:
  explicit TRefusingOwner(TComponent* AOwner) : TComponent(AOwner) {}
  bool Refuse = false;

 protected:
  void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName) override {
    if (Refuse && !NewName.empty()) throw EComponentError("Name \"" + NewName + "\" refused");
    TComponent::ValidateRename(AComponent, CurName, NewName);
  }
};

TEST_F(KxInspectorRowsTest, AddRowNamesAndGivesUpAfterBoundedTries) {
  NewInspector();
  for (int i = 0; i < 18; ++i) TextRow("R");
  EXPECT_EQ("InspRow19", Insp->AddRow(TkxInspectorTextRow::StaticClass())->Name());
  // A taken name moves on to the next number.
  auto* other = NewObject<TkxInspectorTextRow>(Form);
  other->SetName("InspRow21");
  EXPECT_EQ("InspRow20", Insp->AddRow(TkxInspectorTextRow::StaticClass())->Name());
  EXPECT_EQ("InspRow22", Insp->AddRow(TkxInspectorTextRow::StaticClass())->Name());
  other->Free();
  // An owner that refuses every name: AddRow gives up with the error and adds nothing.
  TRefusingOwner owner(nullptr);
  auto* insp = NewObject<TCustomkxInspectorControl>(&owner);
  insp->SetName("Refused");
  owner.Refuse = true;
  EXPECT_THROW(insp->AddRow(TkxInspectorTextRow::StaticClass()), EComponentError);
  EXPECT_EQ(0, insp->RowCount());
  EXPECT_EQ(1, owner.ComponentCount());
  insp->Free();
}

TEST_F(KxInspectorRowsTest, HidingARowHidesItsChildrenAndShowingMakesARoot) {
  NewInspector();
  auto* a = TextRow("A");
  auto* b = TextRow("B");
  auto* c = TextRow("C");
  b->Node()->MoveTo(a->Node(), iamAddChild);
  c->Node()->MoveTo(b->Node(), iamAddChild);
  a->SetVisible(false);
  EXPECT_FALSE(b->Visible());
  EXPECT_FALSE(c->Visible());
  EXPECT_EQ(0, Insp->Count());
  a->SetVisible(true);
  EXPECT_EQ(1, Insp->Count());
  EXPECT_FALSE(b->Visible());
}

TEST_F(KxInspectorRowsTest, AssignedFlagsDefaultsAndAssign) {
  NewInspector();
  auto* a = TextRow("A", "x");
  Show();
  a->SetCaption("A");
  EXPECT_TRUE(a->AssignedFlags() & kxrfCaption);
  // A caption equal to the default is assigned but not stored.
  auto* b = TextRow("", "y");
  b->SetCaption("");
  EXPECT_FALSE(b->IsCaptionStored());
  a->SetRowHeight(2);
  EXPECT_FALSE(a->IsRowHeightAssigned());
  EXPECT_EQ(Insp->RowHeight(), a->RowHeight());
  a->SetRowHeight(Insp->RowHeight() + 10);
  EXPECT_TRUE(a->IsRowHeightAssigned());
  a->SetImageIndex(3);
  a->SetPasswordChar('*');
  a->SetIsCategory(true);
  a->SetVisible(false);
  b->Assign(a);
  EXPECT_TRUE(b->IsCategory());
  EXPECT_FALSE(b->Visible());
  EXPECT_EQ(-1, b->ImageIndex());
  EXPECT_EQ(0, b->PasswordChar());
  EXPECT_EQ("A", b->Caption());
  EXPECT_EQ("y", b->Text());
}

TEST_F(KxInspectorRowsTest, FreeingARowFreesItsNodeAndLeavesComplexRows) {
  NewInspector();
  auto* cx = static_cast<TkxInspectorComplexRow*>(Insp->AddRow(TkxInspectorComplexRow::StaticClass()));
  auto* a = TextRow("A", "1");
  auto* b = TextRow("B", "2");
  cx->Items()->Add()->SetRow(a);
  cx->Items()->Add()->SetRow(b);
  EXPECT_FALSE(a->Visible());
  EXPECT_EQ(nullptr, a->Node());
  EXPECT_EQ(1, Insp->Count());
  // A complex row is refused as an item's row.
  auto* cx2 = static_cast<TkxInspectorComplexRow*>(Insp->AddRow(TkxInspectorComplexRow::StaticClass()));
  cx->Items()->Items(0)->SetRow(cx2);
  EXPECT_EQ(a, cx->Items()->Items(0)->Row());
  // Another complex row taking B empties the first one's item.
  cx2->Items()->Add()->SetRow(b);
  EXPECT_EQ(nullptr, cx->Items()->Items(1)->Row());
  // Showing an item row empties the item; freeing a row leaves every item.
  a->SetVisible(true);
  EXPECT_EQ(nullptr, cx->Items()->Items(0)->Row());
  EXPECT_TRUE(a->Node());
  b->Free();
  EXPECT_EQ(nullptr, cx2->Items()->Items(0)->Row());
  const int roots = Insp->Count();
  a->Free();
  EXPECT_EQ(roots - 1, Insp->Count());
}

TEST_F(KxInspectorRowsTest, ComplexRowSlotLayout) {
  NewInspector();
  auto* cx = static_cast<TkxInspectorComplexRow*>(Insp->AddRow(TkxInspectorComplexRow::StaticClass()));
  struct Case {
    std::vector<int> Widths;
    int Width;
    std::vector<int> Slots;
  } cases[] = {{{50, 50, 50}, 300, {96, 6, 96, 6, 96}}, {{20, 180}, 100, {20, 6, 74}}};
  for (const Case& c : cases) {
    cx->Items()->Clear();
    for (int w : c.Widths) cx->Items()->Add()->SetWidth(w);
    TkxInspectorComplexRowViewInfo vi(cx, 6);
    vi.Calculate(TRect{0, 0, c.Width, 18});
    std::vector<int> slots;
    for (int i = 0; i < vi.Count(); ++i) slots.push_back(vi.Items(i).Rect.Width());
    EXPECT_EQ(c.Slots, slots);
    EXPECT_EQ(c.Width, vi.Items(vi.Count() - 1).Rect.right);
  }
}

TEST_F(KxInspectorRowsTest, TabInsideAComplexRowAndItsDragCaption) {
  NewInspector(300, 200);
  auto* first = TextRow("F", "f");
  auto* cx = static_cast<TkxInspectorComplexRow*>(Insp->AddRow(TkxInspectorComplexRow::StaticClass()));
  auto* a = TextRow("A", "1");
  auto* b = TextRow("B", "2");
  auto* last = TextRow("L", "l");
  cx->Items()->Add()->SetRow(a);
  cx->Items()->Add()->SetRow(b);
  Insp->SetInternalOptions(Insp->InternalOptions() << ioTabs);
  Show();
  AnsiString caption;
  Insp->GetDragCaption(cx->Node(), caption);
  EXPECT_EQ("A-B", caption);
  Insp->SetFocusedNode(first->Node());
  Press(VK_TAB);
  EXPECT_EQ(cx->Node(), Insp->FocusedNode());
  EXPECT_EQ(0, Insp->FocusedItem());
  EXPECT_EQ(a, Insp->GetEditedRow(cx->Node()));
  Press(VK_TAB);
  EXPECT_EQ(1, Insp->FocusedItem());
  EXPECT_EQ(b, Insp->GetEditedRow(cx->Node()));
  Press(VK_TAB);
  EXPECT_EQ(last->Node(), Insp->FocusedNode());
  Press(VK_TAB, HeadlessBackend::Shift);
  EXPECT_EQ(cx->Node(), Insp->FocusedNode());
  EXPECT_EQ(1, Insp->FocusedItem());  // entered at its last item
}

class KxInspectorEditTest : public InspectorTest {
 protected:
  TkxInspectorTextRow *A = nullptr, *B = nullptr, *C = nullptr;
  TInspEvents Events;
  void SetUp() override {
    InspectorTest::SetUp();
    NewInspector();
    A = TextRow("A", "one");
    B = TextRow("B", "two");
    C = TextRow("C", "three");
    Insp->OnEdited = TkxInspectorEditedEvent(&Events, &TInspEvents::OnEdited);
    Show();
  }
};

TEST_F(KxInspectorEditTest, DownPostsMovesAndLoadsTheNextRow) {
  ASSERT_EQ(A->Node(), Insp->FocusedNode());
  ASSERT_TRUE(Insp->CurrentEditor());
  Press(VK_END);
  Type("!");
  Press(VK_DOWN);
  ASSERT_EQ(1u, Events.Edited.size());
  EXPECT_EQ(A, Events.Edited[0]);
  EXPECT_EQ("one!", A->Text());
  EXPECT_EQ(B->Node(), Insp->FocusedNode());
  EXPECT_EQ("two", Insp->CurrentEditor()->GetText());
}

TEST_F(KxInspectorEditTest, UpOnTheFirstRowPostsAndStays) {
  Press(VK_END);
  Type("?");
  Press(VK_UP);
  EXPECT_EQ(A->Node(), Insp->FocusedNode());
  EXPECT_EQ("one?", A->Text());
  EXPECT_EQ("one?", Insp->CurrentEditor()->GetText());
  EXPECT_EQ(1u, Events.Edited.size());
}

TEST_F(KxInspectorEditTest, EscRestoresWithoutPosting) {
  Press(VK_END);
  Type("x");
  Press(VK_ESCAPE);
  EXPECT_EQ("one", Insp->CurrentEditor()->GetText());
  EXPECT_TRUE(Events.Edited.empty());
  EXPECT_EQ("one", A->Text());
}

TEST_F(KxInspectorEditTest, TabThroughLeavesTheControl) {
  auto* next = NewObject<TEdit>(Form);
  next->SetParent(Form);
  next->SetBounds(250, 10, 80, 20);
  Insp->SetInternalOptions(Insp->InternalOptions() << ioTabs);
  Insp->SetFocusedNode(C->Node());
  Insp->SetFocus();
  Pump();
  Press(VK_TAB);
  EXPECT_EQ(C->Node(), Insp->FocusedNode());
  EXPECT_TRUE(Insp->EditorFocused());
  Insp->SetInternalOptions(Insp->InternalOptions() << ioTabThrough);
  Press(VK_TAB);
  EXPECT_TRUE(next->Focused());
  // Without ioTabs the inspector does not ask for Tab.
  Insp->SetInternalOptions(Insp->InternalOptions() >> ioTabs);
  EXPECT_EQ(0, int(Insp->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB));
}

TEST_F(KxInspectorEditTest, ExpandKeysNeedCtrlOutsideCategories) {
  B->Node()->MoveTo(A->Node(), iamAddChild);
  A->Node()->Expand(false);
  Insp->SetFocusedNode(A->Node());
  Insp->SetFocus();
  Pump();
  Press(VK_SUBTRACT);
  EXPECT_TRUE(A->Node()->Expanded());
  Press(VK_SUBTRACT, HeadlessBackend::Ctrl);
  EXPECT_FALSE(A->Node()->Expanded());
  A->SetIsCategory(true);
  Insp->SetFocus();
  Pump();
  Press(VK_ADD);
  EXPECT_TRUE(A->Node()->Expanded());
}

TEST_F(KxInspectorEditTest, InspectorWithoutFocusShowsNoEditorUntilFocused) {
  auto* other = NewObject<TEdit>(Form);
  other->SetParent(Form);
  other->SetBounds(250, 10, 80, 20);
  other->SetFocus();
  Pump();
  EXPECT_FALSE(Insp->CurrentEditor() && Insp->CurrentEditor()->IsShown());
  Insp->Invalidate();
  Pump();
  EXPECT_FALSE(Insp->CurrentEditor() && Insp->CurrentEditor()->IsShown());
  Insp->SetFocus();
  Pump();
  ASSERT_TRUE(Insp->CurrentEditor());
  EXPECT_TRUE(Insp->CurrentEditor()->IsShown());
}

// ---------------------------------------------------------------------------
// Stored layout

class KxInspectorLayoutStreamTest : public InspectorTest {
 protected:
  TkxInspectorTextRow *A = nullptr, *B = nullptr, *C = nullptr, *D = nullptr;
  void SetUp() override {
    InspectorTest::SetUp();
    NewInspector();
    A = TextRow("A");
    B = TextRow("B");
    C = TextRow("C");
    D = TextRow("D");
    A->SetName("A");
    B->SetName("B");
    C->SetName("C");
    D->SetName("D");
    B->Node()->MoveTo(A->Node(), iamAddChild);
    C->Node()->MoveTo(A->Node(), iamAddChild);
    A->Node()->SetExpanded(true);
  }
  static std::string Bytes(TMemoryStream& M) {
    return std::string(static_cast<const char*>(M.Memory()), std::size_t(M.Size()));
  }
  static std::string Ints(std::initializer_list<int> Values) {
    std::string s;
    for (int v : Values) s.append(reinterpret_cast<const char*>(&v), 4);
    return s;
  }
};

TEST_F(KxInspectorLayoutStreamTest, WritesTheDocumentedLayout) {
  TMemoryStream m;
  Insp->SaveLayoutToStream(&m);
  std::string body = Ints({2}) + Ints({8, 2, 1}) + "A" + Ints({8, 0, 1}) + "B" + Ints({8, 0, 1}) + "C" +
                     Ints({8, 0, 1}) + "D" + Ints({1}) + Ints({8, 0, 1}) + "A";
  EXPECT_EQ(Ints({int(body.size())}) + body, Bytes(m));
}

TEST_F(KxInspectorLayoutStreamTest, LoadingArrangesCollapsesAndStopsAtAMissingRow) {
  // D above A, C under D; only D expanded.
  const std::string body = Ints({2}) + Ints({8, 1, 1}) + "D" + Ints({8, 0, 1}) + "C" + Ints({8, 1, 1}) + "A" +
                           Ints({8, 0, 1}) + "B" + Ints({1}) + Ints({8, 0, 1}) + "D";
  TMemoryStream m;
  const std::string all = Ints({int(body.size())}) + body;
  m.WriteBuffer(all.data(), LongInt(all.size()));
  m.SetPosition(0);
  Insp->LoadLayoutFromStream(&m);
  EXPECT_EQ(D->Node(), Insp->Items(0));
  EXPECT_EQ(C->Node()->Parent(), D->Node());
  EXPECT_TRUE(D->Node()->Expanded());
  EXPECT_FALSE(A->Node()->Expanded());
  // A record naming no row stops there: what came before stays.
  const std::string body2 = Ints({2}) + Ints({8, 0, 1}) + "A" + Ints({8, 0, 1}) + "X";
  const std::string all2 = Ints({int(body2.size())}) + body2;
  TMemoryStream m2;
  m2.WriteBuffer(all2.data(), LongInt(all2.size()));
  m2.SetPosition(0);
  Insp->LoadLayoutFromStream(&m2);
  EXPECT_EQ(A->Node(), Insp->Items(Insp->Count() - 1));
}

TEST_F(KxInspectorLayoutStreamTest, BrokenStreamsAreRefusedAndTheLayoutStays) {
  struct Case {
    const char* Name;
    std::string Body;
  } cases[] = {
      {"short header", Ints({1}) + Ints({4, 0, 1}) + "A"},
      {"huge name length", Ints({1}) + Ints({8, 0, 0x7FFFFFF0}) + "A"},
      {"count beyond the data", Ints({100000}) + Ints({8, 0, 1}) + "A"},
      {"child count beyond the data", Ints({1}) + Ints({8, 50000, 1}) + "D"},
      {"expanded count beyond the data", Ints({1}) + Ints({8, 0, 1}) + "D" + Ints({9999})},
  };
  TMemoryStream before;
  Insp->SaveLayoutToStream(&before);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string all = Ints({int(c.Body.size())}) + c.Body;
    TMemoryStream m;
    m.WriteBuffer(all.data(), LongInt(all.size()));
    m.SetPosition(0);
    EXPECT_THROW(Insp->LoadLayoutFromStream(&m), EReadError);
    TMemoryStream after;
    Insp->SaveLayoutToStream(&after);
    EXPECT_EQ(Bytes(before), Bytes(after));
  }
  // A length beyond the stream is refused too.
  const std::string all = Ints({500}) + Ints({0});
  TMemoryStream m;
  m.WriteBuffer(all.data(), LongInt(all.size()));
  m.SetPosition(0);
  EXPECT_THROW(Insp->LoadLayoutFromStream(&m), EReadError);
}

TEST_F(KxInspectorLayoutStreamTest, IniLayoutRoundTripErasesStaleCategories) {
  TKxTempDir dir;
  const std::string path = dir.Path + "/layout.ini";
  D->SetIsCategory(true);
  D->SetCaption("Cat");
  B->SetRowHeight(Insp->RowHeight() + 7);
  {
    TMemIniFile ini(path);
    Insp->SaveToRegIniFile(&ini, "Software\\Test\\Insp\\");
    ini.UpdateFile();
  }
  {
    TMemIniFile ini(path);
    EXPECT_EQ("Cat", ini.ReadString("\\Software\\Test\\Insp\\Categories", "D", ""));
    EXPECT_EQ(Insp->RowHeight() + 7, ini.ReadInteger("\\Software\\Test\\Insp\\Rows\\B", "RowHeight", 0));
    EXPECT_EQ(-1, ini.ReadInteger("\\Software\\Test\\Insp\\Rows\\C", "RowHeight", 0));
  }
  // Saving again without the category leaves no stale value.
  D->SetIsCategory(false);
  {
    TMemIniFile ini(path);
    Insp->SaveToRegIniFile(&ini, "Software\\Test\\Insp");
    ini.UpdateFile();
    EXPECT_EQ("", ini.ReadString("\\Software\\Test\\Insp\\Categories", "D", ""));
  }
  // Loading restores heights and visibility.
  B->SetRowHeight(0);
  {
    TMemIniFile ini(path);
    ini.WriteBool("\\Software\\Test\\Insp\\Rows\\C", "Visible", false);
    Insp->LoadFromRegIniFile(&ini, "Software\\Test\\Insp");
  }
  EXPECT_EQ(Insp->RowHeight() + 7, B->RowHeight());
  EXPECT_FALSE(C->Visible());
}

// The layout kept in the registry, in a registry file of the test's own.
class KxInspectorRegistryLayoutTest : public KxInspectorLayoutStreamTest {
 protected:
  std::unique_ptr<TKxTempRegistry> Registry;
  void SetUp() override {
    KxInspectorLayoutStreamTest::SetUp();
    Registry = std::make_unique<TKxTempRegistry>();
  }
  void TearDown() override {
    KxInspectorLayoutStreamTest::TearDown();  // the inspector goes before the registry
    Registry.reset();
  }
};

TEST_F(KxInspectorRegistryLayoutTest, SaveAndLoadKeepCategoriesHeightsAndNodes) {
  D->SetIsCategory(true);
  D->SetCaption("Cat");
  B->SetRowHeight(Insp->RowHeight() + 7);
  C->Node()->MoveTo(D->Node(), iamAddChild);  // D (C), A (B); A and D expanded
  D->Node()->SetExpanded(true);
  Insp->SetDividerPos(90);
  TMemoryStream saved;
  Insp->SaveLayoutToStream(&saved);
  Insp->SaveToRegistry("Software\\Test\\Insp");
  RegistryFlush();
  RegistryResetCache();  // read back from the file

  // Everything changed, the category freed: loading brings it all back.
  C->Node()->MoveTo(A->Node(), iamAdd);
  D->Free();
  D = nullptr;
  B->SetRowHeight(0);
  A->Node()->SetExpanded(false);
  Insp->SetDividerPos(50);
  Insp->LoadFromRegistry("Software\\Test\\Insp");
  auto* d = Insp->FindRowByName("D");
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->IsCategory());
  EXPECT_EQ("Cat", d->Caption());
  EXPECT_TRUE(d->Visible());
  EXPECT_EQ(Insp->RowHeight() + 7, B->RowHeight());
  EXPECT_TRUE(B->IsRowHeightAssigned());
  EXPECT_FALSE(C->IsRowHeightAssigned());
  EXPECT_EQ(90, Insp->DividerPos());
  TMemoryStream loaded;
  Insp->SaveLayoutToStream(&loaded);
  EXPECT_EQ(Bytes(saved), Bytes(loaded));
  EXPECT_EQ(C->Node()->Parent(), d->Node());
  EXPECT_TRUE(A->Node()->Expanded());

  // Without the key nothing changes.
  Insp->LoadFromRegistry("Software\\Test\\Missing");
  EXPECT_TRUE(Insp->FindRowByName("D"));
  EXPECT_EQ(Insp->RowHeight() + 7, B->RowHeight());
}

// A category named in the stored layout that cannot become a component name:
// the error comes out of the load, and no unnamed row is left behind.
TEST_F(KxInspectorRegistryLayoutTest, ACategoryThatCannotBeNamedLeavesNoRow) {
  auto* other = NewObject<TkxInspectorTextRow>(Form);  // not a row of the inspector
  other->SetName("Taken");
  for (const char* name : {"Taken", "2bad"}) {
    SCOPED_TRACE(name);
    TKxTempDir dir;
    TMemIniFile ini(dir.Path + "/layout.ini");
    ini.WriteString("\\L\\Categories", name, "Cat");
    const int rows = Insp->RowCount();
    const int components = Form->ComponentCount();
    EXPECT_THROW(Insp->LoadFromRegIniFile(&ini, "L"), Exception);
    EXPECT_EQ(rows, Insp->RowCount());
    EXPECT_EQ(components, Form->ComponentCount());
  }
  other->Free();
}

}  // namespace kxinsprows_test
