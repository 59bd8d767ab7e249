// The hyperlink editor: which texts start, through the handler or the shell;
// the start key; clicks, double clicks and the activating click; the link
// font and colour in the live window and in class-painted cells; the cursor.
#include "inplace/tests/kxtest.h"

#include "inplace/kxhyperlink.h"
#include "inplace/kxresources.h"

namespace {

class KxHyperLinkEditTest : public InplaceTest {
 protected:
  TkxInplaceHyperLinkEdit* E = nullptr;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TkxInplaceHyperLinkEdit>();
  }
  void ShowLink(const char* Text) { Activate(E, kxRect(20, 30, 220, 50), Variant(Gbk(Text))); }
  std::size_t Opened() { return hb->ShellOpened().size(); }
};

TEST_F(KxHyperLinkEditTest, OnlyWebAndMailAddressesAreOpened) {
  struct Case {
    const char* Text;
    bool Opens;
  } cases[] = {
      {"https://example.org/", true},
      {"HTTP://example.org/a", true},
      {"mailto:a@example.org", true},
      {"http://example.org/  ", true},  // trailing blanks reach the shell as they are
      {"   ", false},
      {"", false},
      {"ftp://example.org/", false},
      {"/bin/sh", false},  // a program is never started
      {"file:///etc/passwd", false},
  };
  for (const Case& c : cases) {
    ShowLink(c.Text);
    const std::size_t before = Opened();
    E->StartLink();
    ASSERT_EQ(before + (c.Opens ? 1 : 0), Opened()) << c.Text;
    if (c.Opens) {
      EXPECT_EQ(std::string(c.Text), hb->ShellOpened().back());
    }
  }
  // A handler is called instead of the shell, whatever the text.
  int calls = 0;
  struct H {
    int* Calls;
    void Start(TObject*) { ++*Calls; }
  } h{&calls};
  E->OnStartClick = TNotifyEvent(&h, &H::Start);
  for (const char* t : {"   ", "https://example.org/"}) {
    ShowLink(t);
    const std::size_t before = Opened();
    E->StartLink();
    EXPECT_EQ(before, Opened());
  }
  EXPECT_EQ(2, calls);
}

TEST_F(KxHyperLinkEditTest, TheStartKeyStartsAndIsSwallowed) {
  ShowLink("https://example.org/");
  E->SetFocus();
  EXPECT_FALSE(E->AutoSelect());
  const std::size_t before = Opened();
  const int beeps = PvBeepCount();
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  EXPECT_EQ(before + 1, Opened());
  EXPECT_EQ("https://example.org/", E->Text());  // no line break typed
  EXPECT_EQ(beeps, PvBeepCount());
  EXPECT_TRUE(Host->KeysDown.empty());
  EXPECT_EQ(E->Handle(), GetFocus());
  // Another start key; a start key of 0 matches no key at all.
  E->StartKey = ShortCut(VK_F5, TShiftState{});
  Press(VK_RETURN, HeadlessBackend::Ctrl);
  Press(VK_F5);
  EXPECT_EQ(before + 2, Opened());
  E->StartKey = 0;
  Press(VK_F5);
  ShowLink("https://example.org/");
  E->SetFocus();
  Press('A', HeadlessBackend::Ctrl);
  EXPECT_EQ(before + 2, Opened());
}

TEST_F(KxHyperLinkEditTest, ClicksThatStartTheLink) {
  ShowLink("https://example.org/");
  E->SetFocus();
  const TPoint in = At(E, 20, 5);
  const std::size_t before = Opened();
  // A plain click places the caret and starts nothing; nor does another button.
  hb->Click(in.x, in.y);
  hb->Click(in.x, in.y, HeadlessBackend::Middle);
  Pump();
  EXPECT_EQ(before, Opened());
  // A double click starts it once.
  hb->AdvanceClock(1000);
  hb->DoubleClick(in.x, in.y);
  Pump();
  EXPECT_EQ(before + 1, Opened());
  // With SingleClick a click inside starts it; a release outside or of
  // another button does not.
  E->SingleClick = true;
  hb->AdvanceClock(1000);
  hb->Click(in.x, in.y, HeadlessBackend::Middle);
  Pump();
  EXPECT_EQ(before + 1, Opened());
  hb->AdvanceClock(1000);
  hb->Click(in.x, in.y);
  Pump();
  EXPECT_EQ(before + 2, Opened());
  const TPoint out = At(E, E->Width() + 30, 5);
  hb->AdvanceClock(1000);
  hb->MouseDown(in.x, in.y);
  hb->MouseMove(out.x, out.y);
  hb->MouseUp(out.x, out.y);
  Pump();
  EXPECT_EQ(before + 2, Opened());
  // The activating click starts it only with SingleClick.
  E->ClickActivate();
  EXPECT_EQ(before + 3, Opened());
  E->SingleClick = false;
  E->ClickActivate();
  EXPECT_EQ(before + 3, Opened());
}

TEST_F(KxHyperLinkEditTest, TheLinkFontAndColour) {
  E->Font()->SetColor(clRed);
  TFont* f = E->GetLinkFont();
  EXPECT_EQ(clBlue, f->Color());
  EXPECT_TRUE(f->Style().Contains(fsUnderline));
  EXPECT_EQ(E->Font()->Name(), f->Name());
  E->Font()->SetSize(14);
  EXPECT_EQ(14, f->Size());
  ShowLink("https://example.org/");
  // The same colour repaints nothing; another one refreshes the font and repaints.
  ValidateRect(E->Handle(), nullptr);
  E->SetLinkFontColor(clBlue);
  EXPECT_FALSE(GetUpdateRect(E->Handle(), nullptr, FALSE));
  E->SetLinkFontColor(clGreen);
  EXPECT_TRUE(GetUpdateRect(E->Handle(), nullptr, FALSE));
  EXPECT_EQ(clGreen, f->Color());
  std::unique_ptr<TkxEditViewData> vd(E->CreateViewData(true));
  EXPECT_EQ(ColorToRGB(clGreen), vd->TextColor);
  EXPECT_EQ(f->Handle(), vd->Font);
  // The live window's text: underlined in the link colour, or the automatic colour.
  auto format = [&] {
    E->Perform(WM_SETFONT, WPARAM(E->Font()->Handle()), 0);
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof(cf);
    SendMessageA(E->Handle(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    return cf;
  };
  CHARFORMAT2A cf = format();
  EXPECT_EQ(ColorToRGB(clGreen), cf.crTextColor);
  EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
  EXPECT_TRUE(cf.dwEffects & CFE_UNDERLINE);
  E->SetLinkFontColor(clWindowText);
  EXPECT_TRUE(format().dwEffects & CFE_AUTOCOLOR);
}

TEST_F(KxHyperLinkEditTest, CellsShowTheHandAndTheLiveLook) {
  ShowLink("https://example.org/");
  std::unique_ptr<TkxEditViewData> vd(E->CreateViewData(true));
  EXPECT_TRUE(static_cast<TkxHyperLinkEditViewData*>(vd.get())->Link);
  EXPECT_EQ(kxHandPointCursor, E->EditClass()->GetCursor(0, 0, vd.get()));
  // Not a link (the owner being designed): the text cursor.
  static_cast<TkxHyperLinkEditViewData*>(vd.get())->Link = false;
  EXPECT_EQ(crDefault, E->EditClass()->GetCursor(0, 0, vd.get()));
  // A cell painted by the class shows the live editor's underlined link.
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E), cls = ClassShot(E);
  EXPECT_EQ(0, PixelDiffs(live, cls));
  EXPECT_TRUE(MatchesReference(SideBySide(live, cls), "inplace/tests/ref", "hyperlink_cell"));
}

}  // namespace
