// The editor base and its host container: placing an editor over a cell, key
// routing and validation, double clicks, cell geometry and regions, the
// stored settings, the mouse wheel, flat scroll bars and the hint window.
#include "inplace/tests/kxtest.h"

#include "platform/classes/filer.h"
#include "platform/controls/commctrl.h"

namespace {

// The base editor with counters on the operations the host drives.
class TProbeEdit : public TkxInplaceEdit {
  PV_CLASS(TProbeEdit, TkxInplaceEdit)
 public:
  explicit TProbeEdit(TComponent* AOwner) : TkxInplaceEdit(AOwner) {}
  int ActivatedCount = 0, CaretToEnd = 0, Layouts = 0;
  std::vector<Word> OwnKeys;
  void Activated() override { ++ActivatedCount; }
  void MoveCaretToEnd() override { ++CaretToEnd; }
  void LayoutChanged() override {
    ++Layouts;
    TkxInplaceEdit::LayoutChanged();
  }

 protected:
  // Arrows too, as every real kind asks for them.
  void WMGetDlgCode2(TMessage& M) {
    TkxInplaceEdit::Dispatch(M);
    M.Result |= DLGC_WANTARROWS;
  }

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode2)
  END_MESSAGE_MAP(TkxInplaceEdit)
};

bool Has(const std::vector<Word>& Keys, Word Key) { return std::find(Keys.begin(), Keys.end(), Key) != Keys.end(); }

class ProbeKeys : public TObject {
 public:
  TProbeEdit* Edit = nullptr;
  void OnKey(TObject*, Word& Key, TShiftState) { Edit->OwnKeys.push_back(Key); }
  bool Accept = true;
  int Asked = 0;
  void OnValidate(TObject*, AnsiString& Text, bool& Ok) {
    ++Asked;
    Ok = Accept;
    if (!Accept) Text = "no";
  }
};

class KxContainerTest : public InplaceTest {
 protected:
  TProbeEdit* E = nullptr;
  ProbeKeys Probe;
  void SetUp() override {
    InplaceTest::SetUp();
    E = NewEditor<TProbeEdit>();
    Probe.Edit = E;
    E->OnKeyDown = TKeyEvent(&Probe, &ProbeKeys::OnKey);
  }
};

TEST_F(KxContainerTest, ShowInRectPlacesAndActivatesOnce) {
  E->ShowInRect(TRect{});
  EXPECT_FALSE(E->IsShown());
  EXPECT_EQ(0, E->ActivatedCount);

  E->ShowInRect(kxRect(20, 30, 120, 50));
  Pump();
  EXPECT_TRUE(E->IsShown());
  EXPECT_EQ(kxRect(18, 28, 122, 52), E->BoundsRect());
  EXPECT_EQ(E->Handle(), GetFocus());
  EXPECT_TRUE(IsWindowVisible(E->Handle()));
  EXPECT_EQ(1, E->ActivatedCount);
  // The form's focused control is the host, not the editor.
  EXPECT_EQ(Host, Form->ActiveControl());

  E->ShowInRect(kxRect(20, 60, 120, 80));
  EXPECT_EQ(kxRect(18, 58, 122, 82), E->BoundsRect());
  EXPECT_EQ(1, E->ActivatedCount);

  E->Hide();
  EXPECT_FALSE(E->IsShown());
  EXPECT_FALSE(IsWindowVisible(E->Handle()));
  // Visible never governs a hosted editor.
  E->SetVisible(false);
  E->SetVisible(true);
  Pump();
  EXPECT_FALSE(IsWindowVisible(E->Handle()));
}

TEST_F(KxContainerTest, NavigationKeysGoToTheHostAfterValidation) {
  Activate(E, kxRect(20, 30, 120, 50), Variant("x"));
  Press(VK_DOWN);
  Press(VK_PRIOR);
  Press(VK_RETURN);
  EXPECT_EQ((std::vector<Word>{VK_DOWN, VK_PRIOR, VK_RETURN}), Host->KeysDown);
  EXPECT_FALSE(Has(E->OwnKeys, VK_DOWN));

  // A rejecting OnValidate: a beep, the exception, and the host never sees the key.
  E->OnValidate = TkxEditValidateEvent(&Probe, &ProbeKeys::OnValidate);
  Probe.Accept = false;
  E->SetModified(true);
  Host->KeysDown.clear();
  int beeps = hb->BeepCount();
  EXPECT_THROW(E->Perform(WM_KEYDOWN, VK_UP, 0), EkxEditInvalidInput);
  EXPECT_GT(hb->BeepCount(), beeps);
  EXPECT_TRUE(Host->KeysDown.empty());
  EXPECT_EQ(E->Handle(), GetFocus());
  // Escape: nothing to reset on a non-text kind; still validated, so it fails too.
  Probe.Accept = true;
  Press(VK_UP);
  EXPECT_EQ(1u, Host->KeysDown.size());
}

TEST_F(KxContainerTest, ReadOnlyEditorSwallowsChangingKeysButNotCopy) {
  Activate(E, kxRect(20, 30, 120, 50), Variant("x"));
  Host->ModifyOk = false;
  Press(VK_INSERT, HeadlessBackend::Shift);
  Press(VK_DELETE);
  EXPECT_FALSE(Has(E->OwnKeys, VK_INSERT));
  EXPECT_FALSE(Has(E->OwnKeys, VK_DELETE));
  Press(VK_INSERT, HeadlessBackend::Ctrl);
  EXPECT_TRUE(Has(E->OwnKeys, VK_INSERT));
  // Insert alone goes to the host.
  Press(VK_INSERT);
  EXPECT_EQ(VK_INSERT, Host->KeysDown.back());
}

TEST_F(KxContainerTest, F2LeftAloneMovesTheCaretToTheEnd) {
  Activate(E, kxRect(20, 30, 120, 50), Variant("x"));
  Press(VK_F2);
  EXPECT_EQ(1, E->CaretToEnd);
  EXPECT_FALSE(Has(E->OwnKeys, VK_F2));
  EXPECT_EQ((std::vector<Word>{VK_F2}), Host->EditKeys);
}

TEST_F(KxContainerTest, TypedCharactersFollowTheHostsAnswers) {
  Activate(E, kxRect(20, 30, 120, 50), Variant("x"));
  Host->AcceptKeys = false;
  int beeps = hb->BeepCount();
  E->Perform(WM_CHAR, 'a', 0);
  EXPECT_EQ(beeps + 1, hb->BeepCount());
  Host->Ignore = true;
  E->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_TRUE(Host->KeysDown.empty());
  Host->Ignore = false;
  // Dialog codes: all keys and characters; Tab only when the host wants it.
  LRESULT code = E->Perform(WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTALLKEYS);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
  EXPECT_FALSE(code & DLGC_WANTTAB);
  Host->Tabs = true;
  EXPECT_TRUE(E->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
}

TEST_F(KxContainerTest, SecondPressSoonAfterActivationIsADoubleClick) {
  Host->DblClicks = true;
  Activate(E, kxRect(20, 30, 120, 50), Variant("x"));
  TPoint p = At(E, 10, 5);
  hb->SetClock(5000);
  E->ActivationClickTime = 5000 - 100;
  hb->MouseDown(p.x, p.y);
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_EQ(1, Host->DblClickCount);
  EXPECT_EQ(0u, E->ActivationClickTime);
  // Too late: an ordinary press.
  E->ActivationClickTime = 5000 - DWORD(GetDoubleClickTime()) - 10;
  hb->AdvanceClock(2000);
  hb->MouseDown(p.x, p.y);
  hb->MouseUp(p.x, p.y);
  Pump();
  EXPECT_EQ(1, Host->DblClickCount);
}

TEST_F(KxContainerTest, BorderRegionsOfCells) {
  std::unique_ptr<TkxEditViewData> vd(TkxInplaceEdit::ClassRef()->NewViewData());
  vd->Bounds = kxRect(0, 0, 100, 20);
  vd->BorderStyle = xbsSingle;
  vd->Shadow = false;
  TkxEditViewRects rects;
  TkxInplaceEdit::ClassRef()->CalcViewInfo(vd.get(), false, rects);
  EXPECT_EQ(kxRect(2, 2, 98, 18), rects.ClientRect);
  EXPECT_EQ(kxRect(1, 1, 99, 19), rects.BorderRect);

  // Drawing removes the cell, one pixel inside its bounds, from the clip region.
  HRGN clip = CreateRectRgn(0, 0, 200, 100);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 200, 100);
  SelectObject(dc, bmp);
  TkxInplaceEdit::ClassRef()->Draw(dc, clip, vd.get());
  EXPECT_TRUE(PtInRegion(clip, 0, 0));
  EXPECT_FALSE(PtInRegion(clip, 1, 1));
  EXPECT_FALSE(PtInRegion(clip, 98, 18));
  EXPECT_TRUE(PtInRegion(clip, 99, 19));
  DeleteObject(clip);
  DeleteDC(dc);
  DeleteObject(bmp);

  // A thick border on every edge: no window region at all.
  vd->BorderStyle = xbsThick;
  TkxInplaceEdit::ClassRef()->CalcViewInfo(vd.get(), false, rects);
  EXPECT_EQ(nullptr, TkxInplaceEdit::ClassRef()->BorderRegion(rects));
  E->Style()->SetBorderStyle(xbsThick);
  E->ShowInRect(kxRect(20, 30, 120, 50));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(ERROR, GetWindowRgn(E->Handle(), got));
  E->Style()->SetBorderStyle(xbsSingle);
  EXPECT_NE(ERROR, GetWindowRgn(E->Handle(), got));
  RECT box;
  GetRgnBox(got, &box);
  EXPECT_EQ(kxRect(1, 1, E->Width() - 1, E->Height() - 1), box);
  DeleteObject(got);

  // A shadow widens the region by the shadow rectangle.
  vd->BorderStyle = xbs3D;
  vd->Shadow = true;
  TkxInplaceEdit::ClassRef()->CalcViewInfo(vd.get(), false, rects);
  EXPECT_EQ(kxRect(2, 2, 96, 16), rects.ClientRect);
  EXPECT_EQ(kxRect(2, 2, 100, 20), rects.ShadowRect);
}

TEST_F(KxContainerTest, ViewDataFollowsTheStyleAndHotState) {
  E->Style()->SetBorderStyle(xbsSingle);
  std::unique_ptr<TkxEditViewData> vd(E->CreateViewData(false));
  EXPECT_EQ(xbsSingle, vd->BorderStyle);
  EXPECT_EQ(btsHotFlat, vd->ButtonStyle);
  E->Style()->SetHotTrack(true);
  E->SetSelected(true);
  vd.reset(E->CreateViewData(false));
  EXPECT_EQ(xbsThick, vd->BorderStyle);
  EXPECT_EQ(bts3D, vd->ButtonStyle);
  E->Style()->SetBorderStyle(xbsNone);
  vd.reset(E->CreateViewData(false));
  EXPECT_EQ(xbsFlat, vd->BorderStyle);
  EXPECT_EQ(btsFlat, vd->ButtonStyle);
  E->SetEnabled(false);
  vd.reset(E->CreateViewData(false));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), vd->BkColor);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), vd->TextColor);
}

TEST_F(KxContainerTest, StoredValuesKeepEveryBitInDescriptions) {
  struct Case {
    TkxStoredValues Values;
    const char* Expect;
  } cases[] = {
      {TkxStoredValues{svDisplayFormat}, "StoredValues = 256"},
      {TkxStoredValues{svAlignment, svReadOnly, svDisplayFormat}, "StoredValues = 321"},
      {TkxStoredValues{}, nullptr},
  };
  for (const Case& c : cases) {
    E->SetStoredValues(c.Values);
    AnsiString text = WriteComponentToText(E);
    if (c.Expect) EXPECT_NE(AnsiString::npos, text.find(c.Expect)) << text;
    else EXPECT_EQ(AnsiString::npos, text.find("StoredValues")) << text;
    // A hosted editor always stores its height.
    EXPECT_NE(AnsiString::npos, text.find("Height = ")) << text;
    TProbeEdit* copy = NewEditor<TProbeEdit>();
    ReadComponentFromText(text, copy);
    EXPECT_EQ(c.Values, copy->StoredValues());
    delete copy;
  }
}

TEST_F(KxContainerTest, ExplicitSettingsSurviveDefaultRefresh) {
  E->SetAlignment(taRightJustify);
  E->SetReadOnly(true);
  EXPECT_TRUE(E->StoredValues().Contains(svAlignment));
  EXPECT_TRUE(E->ReadOnly());
  EXPECT_FALSE(E->CanModify());
  E->RestoreDefaults();
  EXPECT_TRUE(E->StoredValues().Empty());
  EXPECT_EQ(taLeftJustify, E->Alignment());
  EXPECT_FALSE(E->ReadOnly());
}

TEST_F(KxContainerTest, WheelScrollsByLinesWhateverTheDelta) {
  int lines = Mouse->WheelScrollLines();
  Host->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(SHORT(-120))), 0);
  EXPECT_EQ(lines, Host->LinesDown);
  Host->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(SHORT(-240))), 0);
  EXPECT_EQ(2 * lines, Host->LinesDown);
  Host->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(SHORT(240))), 0);
  EXPECT_EQ(lines, Host->LinesUp);
  // The editor hands its wheel to the host and does not scroll it twice.
  Activate(E, kxRect(20, 30, 120, 50), Variant("x"));
  TPoint p = At(E, 5, 5);
  hb->Wheel(p.x, p.y, -120);
  Pump();
  EXPECT_EQ(3 * lines, Host->LinesDown);
}

TEST_F(KxContainerTest, FlatScrollBarsRecreateTheWindow) {
  int mode = -1;
  ASSERT_TRUE(FlatSB_GetScrollProp(Host->Handle(), WSB_PROP_VSTYLE, &mode));
  EXPECT_EQ(FSB_REGULAR_MODE, mode);
  HWND before = Host->Handle();
  Host->SetFlatScrollBars(1);
  FlatSB_GetScrollProp(Host->Handle(), WSB_PROP_VSTYLE, &mode);
  EXPECT_EQ(FSB_ENCARTA_MODE, mode);
  FlatSB_GetScrollProp(Host->Handle(), WSB_PROP_HSTYLE, &mode);
  EXPECT_EQ(FSB_ENCARTA_MODE, mode);
  Host->SetFlatScrollBars(0);
  FlatSB_GetScrollProp(Host->Handle(), WSB_PROP_VSTYLE, &mode);
  EXPECT_EQ(FSB_REGULAR_MODE, mode);
  (void)before;
}

TEST_F(KxContainerTest, HintStaysOnTheScreen) {
  auto* hint = NewObject<TkxContainerHintWindow>(Host);
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  hint->ShowHint(kxPoint(-50, -20), 200, false, Host->Font(), "A hint");
  RECT r;
  GetWindowRect(hint->Handle(), &r);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_TRUE(IsWindowVisible(hint->Handle()));
  EXPECT_NE(hint->Handle(), GetActiveWindow());
  hint->ShowHint(kxPoint(sw - 5, sh - 5), 200, false, Host->Font(), "A hint");
  GetWindowRect(hint->Handle(), &r);
  EXPECT_EQ(sw, r.right);
  EXPECT_EQ(sh, r.bottom);
  // MaxWidth 0: wrapped only at the screen width, so a long text stays on one line.
  AnsiString longText(300, 'x');
  hint->ShowHint(kxPoint(0, 0), 0, false, Host->Font(), longText);
  GetWindowRect(hint->Handle(), &r);
  int oneLine = r.bottom - r.top;
  hint->ShowHint(kxPoint(0, 0), 100, false, Host->Font(), AnsiString(30, 'x') + " " + AnsiString(30, 'x'));
  GetWindowRect(hint->Handle(), &r);
  EXPECT_GT(r.bottom - r.top, oneLine);
  EXPECT_EQ(HTTRANSPARENT, hint->Perform(WM_NCHITTEST, 0, 0));
  hint->HideHint();
  EXPECT_FALSE(IsWindowVisible(hint->Handle()));
}

}  // namespace
