// Every editor kind in turn in one host: typing Latin and Chinese text where
// the kind takes it, Escape giving back the value it started with, Enter and
// Tab going to the host with the value ready for it, the drop-down kinds
// opened and closed by key and by mouse, and each kind's painted cell the
// same as its live editor.
#include "inplace/tests/kxtest.h"

#include "inplace/kxblob.h"
#include "inplace/kxbuttonedit.h"
#include "inplace/kxcalcedit.h"
#include "inplace/kxcheck.h"
#include "inplace/kxcurrency.h"
#include "inplace/kxdate.h"
#include "inplace/kxgraphic.h"
#include "inplace/kxhyperlink.h"
#include "inplace/kximage.h"
#include "inplace/kxmemo.h"
#include "inplace/kxmru.h"
#include "inplace/kxpick.h"
#include "inplace/kxpopupedit.h"
#include "inplace/kxspin.h"
#include "inplace/kxtime.h"
#include "platform/rtl/datetime.h"

namespace {

using KxMakeEditor = std::function<TkxInplaceEdit*(TWinControl* Host)>;

template <class T>
KxMakeEditor KxKind() {
  return [](TWinControl* Host) -> TkxInplaceEdit* {
    T* e = NewObject<T>(Host);
    e->SetParent(Host);
    return e;
  };
}

class KxEveryKindTest : public InplaceTest {
 protected:
  void ShowIn(TkxInplaceEdit* E, const Variant& V) { Activate(E, kxRect(20, 30, 200, 50), V); }
  void SelectAllText(TkxInplaceEdit* E) { SendMessageA(E->Handle(), EM_SETSEL, 0, -1); }
  // Closes a list that typing dropped down, as the user would.
  void CloseList(TkxInplaceEdit* E) {
    if (auto* d = dynamic_cast<TkxInplaceDropDownEdit*>(E); d && d->PopupShown()) Press(VK_ESCAPE);
  }
  Variant Value(TkxInplaceEdit* E) {
    Variant v;
    E->GetEditValue(v);
    return v;
  }
};

TEST_F(KxEveryKindTest, TypingEscapeEnterAndTab) {
  struct Case {
    const char* Name;
    KxMakeEditor Make;
    const char* Start;
    const char* Typed;  // UTF-8
    const char* Want;   // the value text the host reads (UTF-8)
  } cases[] = {
      {"text", KxKind<TkxInplaceTextEdit>(), "old", "ab中文", "ab中文"},
      {"mask", KxKind<TkxInplaceMaskEdit>(), "old", "中a", "中a"},
      {"memo", KxKind<TkxInplaceMemoEdit>(), "old", "memo文", "memo文"},
      {"button", KxKind<TkxInplaceButtonEdit>(), "old", "x中", "x中"},
      {"pick", KxKind<TkxInplacePickEdit>(), "old", "新的", "新的"},
      {"hyperlink", KxKind<TkxInplaceHyperLinkEdit>(), "old", "http://例", "http://例"},
      {"mru", KxKind<TkxInplaceMRUEdit>(), "old", "近", "近"},
      {"spin", KxKind<TkxInplaceSpinEdit>(), "3", "12", "12"},
      {"calc", KxKind<TkxInplaceCalcEdit>(), "3", "42", "42"},
      {"currency", KxKind<TkxInplaceCurrencyEdit>(), "3", "12.5", "12.5"},
  };
  Host->Tabs = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TkxInplaceEdit* e = c.Make(Host);
    if (auto* m = dynamic_cast<TkxInplaceMemoEdit*>(e)) m->WantReturns = false;  // Enter posts
    // Typing, then Escape: the start value is back and the host hears the key.
    ShowIn(e, Variant(AnsiString(c.Start)));
    e->SetFocus();
    SelectAllText(e);
    Type(c.Typed);
    EXPECT_EQ(Gbk(c.Want), e->Text());
    EXPECT_TRUE(e->Modified());
    CloseList(e);
    Host->KeysDown.clear();
    Press(VK_ESCAPE);
    EXPECT_EQ(AnsiString(c.Start), e->Text());
    EXPECT_EQ((std::vector<Word>{VK_ESCAPE}), Host->KeysDown);
    // Typing, then Enter: the host hears it after validation, with the value ready.
    SelectAllText(e);
    Type(c.Typed);
    CloseList(e);
    Host->KeysDown.clear();
    Press(VK_RETURN);
    EXPECT_EQ((std::vector<Word>{VK_RETURN}), Host->KeysDown);
    EXPECT_EQ(Gbk(c.Want), Value(e).AsString());
    // Tab moves on the same way.
    Press(VK_TAB);
    EXPECT_EQ(VK_TAB, Host->KeysDown.back());
    EXPECT_EQ(Gbk(c.Want), e->Text());
    delete e;
  }
}

TEST_F(KxEveryKindTest, DropDownKindsOpenAndCloseByKeyAndMouse) {
  TStringList items;
  items.Add("one");
  items.Add("two");
  struct Case {
    const char* Name;
    KxMakeEditor Make;
    Variant Start;
  } cases[] = {
      {"pick", KxKind<TkxInplacePickEdit>(), Variant("one")},
      {"mru", KxKind<TkxInplaceMRUEdit>(), Variant("one")},
      {"date", KxKind<TkxInplaceDateEdit>(), Variant(EncodeDate(2024, 5, 6))},
      {"calc", KxKind<TkxInplaceCalcEdit>(), Variant("7")},
      {"image", KxKind<TkxInplaceImageEdit>(), Variant(0)},
      {"blob", KxKind<TkxInplaceBlobEdit>(), Variant("memo text")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TkxInplaceEdit* e = c.Make(Host);
    auto* d = static_cast<TkxInplaceDropDownEdit*>(e);
    if (auto* p = dynamic_cast<TkxInplacePickEdit*>(e)) p->SetItems(&items);
    if (auto* i = dynamic_cast<TkxInplaceImageEdit*>(e)) {
      i->Descriptions()->Assign(&items);
      i->Values()->Assign(&items);
    }
    ShowIn(e, c.Start);
    e->SetFocus();
    Press(VK_F4);
    EXPECT_TRUE(d->PopupShown());
    Press(VK_ESCAPE);
    EXPECT_FALSE(d->PopupShown());
    Press(VK_DOWN, HeadlessBackend::Alt);
    EXPECT_TRUE(d->PopupShown());
    Press(VK_UP, HeadlessBackend::Alt);
    EXPECT_FALSE(d->PopupShown());
    EXPECT_EQ(e->Handle(), GetFocus());
    // The arrow button by mouse opens; a click on it again closes.
    RECT r;
    GetWindowRect(e->Handle(), &r);
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    const int right = dynamic_cast<TkxInplaceMRUEdit*>(e) ? 1 : 0;  // the MRU ellipsis sits right of the arrow
    const TPoint b = kxPoint(r.right - 2 - right * w - w / 2, (r.top + r.bottom) / 2);
    hb->MouseMove(b.x, b.y);
    hb->Click(b.x, b.y);
    Pump();
    EXPECT_TRUE(d->PopupShown());
    hb->AdvanceClock(1000);
    hb->Click(b.x, b.y);
    Pump();
    EXPECT_FALSE(d->PopupShown());
    delete e;
  }
}

TEST_F(KxEveryKindTest, PaintedCellsMatchTheLiveEditors) {
  struct Case {
    const char* Name;
    KxMakeEditor Make;
    Variant Value;
  } cases[] = {
      {"text", KxKind<TkxInplaceTextEdit>(), Variant(Gbk("文字 text"))},
      {"memo", KxKind<TkxInplaceMemoEdit>(), Variant("memo")},
      {"date", KxKind<TkxInplaceDateEdit>(), Variant(EncodeDate(2024, 5, 6))},
      {"pick", KxKind<TkxInplacePickEdit>(), Variant("pick")},
      {"calc", KxKind<TkxInplaceCalcEdit>(), Variant("12.5")},
      {"time", KxKind<TkxInplaceTimeEdit>(), Variant(EncodeTime(9, 30, 0, 0))},
      {"currency", KxKind<TkxInplaceCurrencyEdit>(), Variant("1234.5")},
      {"popup", KxKind<TkxInplacePopupEdit>(), Variant("popup")},
  };
  std::vector<TRawImage> shots;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TkxInplaceEdit* e = c.Make(Host);
    ShowIn(e, c.Value);
    Host->SetFocus();
    Pump();
    TRawImage live = Shot(e), cls = ClassShot(e);
    EXPECT_EQ(0, PixelDiffs(live, cls));
    shots.push_back(SideBySide(live, cls));
    delete e;
  }
  TRawImage sheet = shots[0];
  for (std::size_t i = 1; i < shots.size(); ++i) {
    TRawImage next;
    next.Width = std::max(sheet.Width, shots[i].Width);
    next.Height = sheet.Height + 4 + shots[i].Height;
    next.Pixels.assign(std::size_t(next.Width) * next.Height, 0xFFFF00FFu);
    for (int y = 0; y < sheet.Height; ++y)
      for (int x = 0; x < sheet.Width; ++x) next.At(x, y) = sheet.At(x, y);
    for (int y = 0; y < shots[i].Height; ++y)
      for (int x = 0; x < shots[i].Width; ++x) next.At(x, sheet.Height + 4 + y) = shots[i].At(x, y);
    sheet = next;
  }
  EXPECT_TRUE(MatchesReference(sheet, "inplace/tests/ref", "kind_cells"));
}

}  // namespace
