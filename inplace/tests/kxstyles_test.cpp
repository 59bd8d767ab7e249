// Edit styles and style controllers: where an editor's effective appearance
// comes from, who hears of a change and how often, and the controller's
// published settings in a window description.
#include "inplace/tests/kxtest.h"

#include "platform/classes/filer.h"

namespace {

class TLayoutCountEdit : public TkxInplaceEdit {
  PV_CLASS(TLayoutCountEdit, TkxInplaceEdit)
 public:
  explicit TLayoutCountEdit(TComponent* AOwner) : TkxInplaceEdit(AOwner) {}
  int Layouts = 0;
  void LayoutChanged() override {
    ++Layouts;
    TkxInplaceEdit::LayoutChanged();
  }
};

class StyleEvents : public TObject {
 public:
  std::vector<TObject*> Links;
  void Changed(TObject*, TObject* Link) { Links.push_back(Link); }
};

class KxStylesTest : public InplaceTest {};

TEST_F(KxStylesTest, SettingTheInheritedValueStillAssignsIt) {
  auto* e = NewEditor<TLayoutCountEdit>();
  EXPECT_EQ(xbs3D, e->Style()->BorderStyle());
  e->Layouts = 0;
  e->Style()->SetBorderStyle(xbs3D);
  EXPECT_TRUE(e->Style()->AssignedValues().Contains(svBorderStyle));
  EXPECT_EQ(1, e->Layouts);
  e->Style()->SetBorderStyle(xbs3D);  // already assigned and equal: nothing
  EXPECT_EQ(1, e->Layouts);
  // Assigned values are the only ones a description holds.
  EXPECT_TRUE(IsStoredProp(e->Style(), "BorderStyle"));
  EXPECT_FALSE(IsStoredProp(e->Style(), "Shadow"));
  e->Style()->RestoreDefaults();
  EXPECT_TRUE(e->Style()->AssignedValues().Empty());
  EXPECT_EQ(2, e->Layouts);
}

TEST_F(KxStylesTest, ControllerRestoreDefaultsNotifiesOnce) {
  auto* c = NewObject<TkxEditStyleController>(Form);
  auto* e = NewEditor<TLayoutCountEdit>();
  StyleEvents ev;
  c->OnStyleChanged = TkxStyleChangedEvent(&ev, &StyleEvents::Changed);
  e->SetStyleController(c);
  c->SetBorderStyle(xbsFlat);
  c->SetShadow(true);
  c->SetHotTrack(true);
  e->Layouts = 0;
  ev.Links.clear();
  c->RestoreDefaults();
  EXPECT_EQ(1, e->Layouts);
  EXPECT_EQ(1u, ev.Links.size());
  EXPECT_EQ(xbs3D, e->Style()->BorderStyle());
  // An equal value does nothing; Assign copies in one notification.
  c->SetShadow(false);
  EXPECT_EQ(1, e->Layouts);
  auto* other = NewObject<TkxEditStyleController>(Form);
  other->SetBorderStyle(xbsSingle);
  other->SetEdges({edgLeft, edgTop});
  c->Assign(other);
  EXPECT_EQ(2, e->Layouts);
  EXPECT_EQ(xbsSingle, e->Style()->BorderStyle());
}

TEST_F(KxStylesTest, DefaultControllerReachesOnlyEditorsWithoutTheirOwn) {
  auto* plain = NewEditor<TLayoutCountEdit>();
  auto* owned = NewEditor<TLayoutCountEdit>();
  auto* c = NewObject<TkxEditStyleController>(Form);
  owned->SetStyleController(c);
  plain->Layouts = owned->Layouts = 0;
  kxDefaultEditStyleController()->SetHotTrack(true);
  EXPECT_TRUE(plain->Style()->HotTrack());
  EXPECT_FALSE(owned->Style()->HotTrack());
  EXPECT_EQ(1, plain->Layouts);
  EXPECT_EQ(0, owned->Layouts);
  kxDefaultEditStyleController()->SetHotTrack(false);

  // An assigned value is kept whatever the controller says.
  owned->Style()->SetBorderColor(clRed);
  c->SetBorderColor(clBlue);
  EXPECT_EQ(clRed, owned->Style()->BorderColor());
  EXPECT_EQ(clWindowFrame, plain->Style()->BorderColor());

  // A freed controller leaves the editor on the default one.
  delete c;
  EXPECT_EQ(nullptr, owned->StyleController());
  EXPECT_EQ(xbs3D, owned->Style()->BorderStyle());
}

TEST_F(KxStylesTest, ControllerSettingsInADescription) {
  const char* text = R"(object Form1: TForm
  Left = 0
  Top = 0
  Width = 200
  Height = 100
  object Styles1: TkxEditStyleController
    BorderStyle = xbsSingle
    Edges = [edgLeft, edgBottom]
    HotTrack = True
  end
end
)";
  auto* f = NewObject<TForm>(Application);
  ReadComponentFromText(text, f);
  auto* c = dynamic_cast<TkxEditStyleController*>(f->FindComponent("Styles1"));
  ASSERT_NE(nullptr, c);
  EXPECT_EQ(xbsSingle, c->BorderStyle());
  EXPECT_EQ((TkxEditEdges{edgLeft, edgBottom}), c->Edges());
  EXPECT_TRUE(c->HotTrack());
  EXPECT_EQ(clWindowFrame, c->BorderColor());
  AnsiString out = WriteComponentToText(f);
  EXPECT_NE(AnsiString::npos, out.find("BorderStyle = xbsSingle"));
  EXPECT_NE(AnsiString::npos, out.find("HotTrack = True"));
  EXPECT_EQ(AnsiString::npos, out.find("BorderColor"));
  EXPECT_EQ(AnsiString::npos, out.find("Shadow"));
}

}  // namespace
