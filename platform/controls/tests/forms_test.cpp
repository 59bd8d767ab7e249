// Forms built from descriptions, layout, focus and keys, modal loops, closing,
// exceptions in handlers, MDI and the idle update of actions.
#include "platform/controls/tests/ctltest.h"
#include "platform/gdi/tests/canvas.h"
#include "platform/controls/actnlist.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/timers.h"
#include "platform/classes/filer.h"
#include "platform/rtl/strings.h"

inline AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }

namespace {

const char kTestFormText[] = R"(object TestForm: TTestForm
  Left = 200
  Top = 150
  Caption = '测试窗体'
  ClientWidth = 400
  ClientHeight = 300
  Menu = MainMenu1
  OldCreateOrder = False
  PixelsPerInch = 96
  TextHeight = 13
  OnCreate = FormCreate
  object TopBar: TBox
    Left = 0
    Top = 0
    Width = 400
    Height = 40
    Align = alTop
    PopupMenu = PopupMenu1
    object Corner: TBox
      Left = 350
      Top = 5
      Width = 40
      Height = 30
      Anchors = [akTop, akRight]
    end
  end
  object Side: TBox
    Left = 0
    Top = 40
    Width = 100
    Height = 260
    Align = alLeft
  end
  object Client: TBox
    Left = 100
    Top = 40
    Width = 300
    Height = 260
    Align = alClient
    object Edit1: TBox
      Left = 10
      Top = 10
      Width = 100
      Height = 20
      TabOrder = 1
      TabStop = True
    end
    object Edit2: TBox
      Left = 10
      Top = 40
      Width = 100
      Height = 20
      TabOrder = 0
      TabStop = True
    end
    object OkBtn: TTestButton
      Left = 10
      Top = 200
      Caption = '&OK'
      Default = True
      ModalResult = 1
      TabOrder = 2
      Action = Action1
    end
    object CancelBtn: TTestButton
      Left = 100
      Top = 200
      Caption = 'Cancel'
      Cancel = True
      ModalResult = 2
      TabOrder = 3
    end
    object BoomBtn: TTestButton
      Left = 190
      Top = 200
      Caption = '&Boom'
      TabOrder = 4
      OnClick = BoomClick
    end
  end
  object MainMenu1: TMainMenu
    object File1: TMenuItem
      Caption = '&File'
      object Save1: TMenuItem
        Caption = '&Save'
        ShortCut = 16467
        OnClick = Save1Click
      end
      object N1: TMenuItem
        Caption = '-'
      end
    end
  end
  object PopupMenu1: TPopupMenu
    object Copy1: TMenuItem
      Caption = '复制'
    end
  end
  object ActionList1: TActionList
    object Action1: TAction
      Caption = '&OK'
      OnExecute = Action1Execute
      OnUpdate = Action1Update
    end
  end
end
)";

class TTestForm : public TForm {
  PV_CLASS(TTestForm, TForm)
 public:
  explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {}
  TBox* TopBar = nullptr;
  TBox* Corner = nullptr;
  TBox* Side = nullptr;
  TBox* Client = nullptr;
  TBox* Edit1 = nullptr;
  TBox* Edit2 = nullptr;
  TTestButton* OkBtn = nullptr;
  TTestButton* CancelBtn = nullptr;
  TTestButton* BoomBtn = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* Save1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TAction* Action1 = nullptr;
  int Created = 0, Saves = 0, Executes = 0, Booms = 0;
  bool AllowAction = true;
  void FormCreate(TObject*) { ++Created; }
  void Save1Click(TObject*) { ++Saves; }
  void Action1Execute(TObject*) { ++Executes; }
  void Action1Update(TObject*) { Action1->SetEnabled(AllowAction); }
  void BoomClick(TObject*) {
    ++Booms;
    throw EConvertError(A("坏的数值"));
  }
};

void RegisterTestForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TTestForm::StaticClass()});
  RegisterHandlers<TTestForm>([](THandlerBuilder<TTestForm>& h) {
    h.Field("TopBar", &TTestForm::TopBar);
    h.Field("Corner", &TTestForm::Corner);
    h.Field("Side", &TTestForm::Side);
    h.Field("Client", &TTestForm::Client);
    h.Field("Edit1", &TTestForm::Edit1);
    h.Field("Edit2", &TTestForm::Edit2);
    h.Field("OkBtn", &TTestForm::OkBtn);
    h.Field("CancelBtn", &TTestForm::CancelBtn);
    h.Field("BoomBtn", &TTestForm::BoomBtn);
    h.Field("MainMenu1", &TTestForm::MainMenu1);
    h.Field("Save1", &TTestForm::Save1);
    h.Field("PopupMenu1", &TTestForm::PopupMenu1);
    h.Field("Action1", &TTestForm::Action1);
    h.Handler("FormCreate", &TTestForm::FormCreate);
    h.Handler("Save1Click", &TTestForm::Save1Click);
    h.Handler("Action1Execute", &TTestForm::Action1Execute);
    h.Handler("Action1Update", &TTestForm::Action1Update);
    h.Handler("BoomClick", &TTestForm::BoomClick);
  });
  // Descriptions are code page 936 text.
  static const AnsiString desc = Utf8ToAnsi(kTestFormText);
  RegisterResource(RT_RCDATA, "TTestForm", desc.data(), desc.size());
}

class FormsTest : public CtlTest {
 protected:
  void SetUp() override {
    CtlTest::SetUp();
    RegisterTestForm();
  }
  // A shown MDI frame as the main form with Count shown children; the last
  // one is active.
  TForm* MdiFrame(int Count, std::vector<TForm*>& Kids) {
    auto* frame = new TForm(Application, 0);
    Application->SetMainForm(frame);
    frame->SetFormStyle(fsMDIForm);
    frame->SetClientSize(600, 400);
    frame->Show();
    Pump();
    for (int i = 0; i < Count; ++i) {
      auto* c = new TForm(Application, 0);
      c->SetFormStyle(fsMDIChild);
      c->SetBounds(10, 10, 200, 150);
      c->Show();
      Kids.push_back(c);
    }
    Pump();
    return frame;
  }
  TTestForm* MakeForm() {
    TTestForm* f = nullptr;
    Application->CreateForm(f);
    return f;
  }
};

TEST_F(FormsTest, DescriptionBuildsLiveForm) {
  TTestForm* f = MakeForm();
  EXPECT_EQ(f->Created, 1);
  EXPECT_EQ(f->Caption(), A("测试窗体"));
  ASSERT_TRUE(f->TopBar && f->Corner && f->Client && f->Edit1 && f->OkBtn && f->MainMenu1 && f->PopupMenu1);
  EXPECT_EQ(f->Corner->Parent(), f->TopBar);
  EXPECT_EQ(f->Edit1->Parent(), f->Client);
  EXPECT_EQ(f->Menu(), f->MainMenu1);
  EXPECT_EQ(f->TopBar->PopupMenu(), f->PopupMenu1);
  EXPECT_EQ(f->MainMenu1->Items()->Count(), 1);
  EXPECT_EQ(f->MainMenu1->Items()->Items(0)->Count(), 2);
  EXPECT_EQ(f->Save1->ShortCut(), ShortCut('S', {ssCtrl}));
  EXPECT_TRUE(f->Save1->Parent()->Items(1)->IsLine());
  EXPECT_EQ(f->PopupMenu1->Items()->Items(0)->Caption(), A("复制"));
  EXPECT_EQ(f->OkBtn->Action(), f->Action1);
  EXPECT_EQ(Application->MainForm(), f);
  EXPECT_EQ(f->ClientWidth(), 400);
  EXPECT_EQ(f->ClientHeight(), 300);

  f->Show();
  Pump();
  ASSERT_TRUE(f->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(f->Handle()));
  EXPECT_TRUE(f->Edit1->HandleAllocated());
  EXPECT_TRUE(IsChild(f->Handle(), f->Corner->Handle()));
  EXPECT_EQ(f->ClientWidth(), 400);
}

// Controls read with ParentColor paint their background (the brush their
// parent hands out through WM_CTLCOLOR...) in their parent's colour.
TEST_F(FormsTest, DescribedControlsTakeTheirParentsColourForTheirBrush) {
  TTestForm* f = MakeForm();
  f->Show();
  Pump();
  ASSERT_TRUE(f->Corner->ParentColor());
  ASSERT_NE(f->Corner->Color(), clWindow);
  HDC dc = GetDC(f->Corner->Handle());
  auto brush = reinterpret_cast<HGDIOBJ>(SendMessageA(f->TopBar->Handle(), WM_CTLCOLORSTATIC,
                                                      reinterpret_cast<WPARAM>(dc),
                                                      reinterpret_cast<LPARAM>(f->Corner->Handle())));
  ReleaseDC(f->Corner->Handle(), dc);
  LOGBRUSH lb{};
  ASSERT_TRUE(GetObjectA(brush, sizeof lb, &lb));
  EXPECT_EQ(lb.lbColor, ColorToRGB(f->Corner->Color()));
}

// A form's Icon reaches its window and the desktop, whether it was set before
// the window existed or changed afterwards.
TEST_F(FormsTest, IconReachesTheWindowAndTheDesktop) {
  std::unique_ptr<TForm> form(new TForm(Application, 0));
  form->Icon()->SetHandle(MakeIcon(16, RGB(255, 0, 0)));
  form->Show();
  PvProcessMessages();
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)), form->Icon()->Handle());
  const HeadlessBackend::Window* w = hb->FindWindow(reinterpret_cast<BackendWindowId>(form->Handle()));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->iconWidth, 16);
  form->Icon()->SetHandle(MakeIcon(32, RGB(0, 0, 255)));
  PvProcessMessages();
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, ICON_BIG, 0)), form->Icon()->Handle());
  EXPECT_EQ(w->iconWidth, 32);
}

TEST_F(FormsTest, AlignAndAnchorsFollowResize) {
  TTestForm* f = MakeForm();
  f->Show();
  Pump();
  struct Case {
    TControl* c;
    TRect r;
  };
  auto check = [&](const std::vector<Case>& cases, int cw, int ch) {
    for (const Case& k : cases) {
      SCOPED_TRACE(k.c->Name() + " at client " + std::to_string(cw) + "x" + std::to_string(ch));
      EXPECT_EQ(k.c->BoundsRect(), k.r);
    }
  };
  check({{f->TopBar, {0, 0, 400, 40}}, {f->Side, {0, 40, 100, 300}}, {f->Client, {100, 40, 400, 300}},
         {f->Corner, {350, 5, 390, 35}}},
        400, 300);
  f->SetClientSize(600, 500);
  Pump();
  check({{f->TopBar, {0, 0, 600, 40}}, {f->Side, {0, 40, 100, 500}}, {f->Client, {100, 40, 600, 500}},
         {f->Corner, {550, 5, 590, 35}}},
        600, 500);
  // Hiding an aligned control gives its room to the others.
  f->Side->SetVisible(false);
  EXPECT_EQ(f->Client->BoundsRect(), (TRect{0, 40, 600, 500}));
  // The window agrees with the control.
  RECT wr;
  GetWindowRect(f->Client->Handle(), &wr);
  MapWindowPoints(nullptr, f->Handle(), reinterpret_cast<POINT*>(&wr), 2);
  EXPECT_EQ(wr, (RECT{0, 40, 600, 500}));
}

// A control anchored to neither edge of a direction keeps its centre at the same
// fraction of the parent's size in that direction.
TEST_F(FormsTest, UnanchoredControlsKeepTheirCentreInProportion) {
  struct Case {
    const char* what;
    TAnchors anchors;
    int cw, ch;
    TRect want;
  } cases[] = {
      {"grown, no anchors", TAnchors{}, 800, 600, {220, 110, 260, 130}},
      {"shrunk, no anchors", TAnchors{}, 200, 150, {40, 20, 80, 40}},
      {"left only", TAnchors{akLeft}, 800, 600, {100, 110, 140, 130}},
      {"top and bottom", TAnchors{akTop, akBottom}, 800, 600, {220, 50, 260, 370}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    auto* f = new TForm(Application, 0);
    f->SetClientSize(400, 300);
    auto* b = new TBox(f);
    b->SetParent(f);
    b->SetBounds(100, 50, 40, 20);  // centre at (120, 60): 30% across, 20% down
    b->SetAnchors(k.anchors);
    f->Show();
    Pump();
    f->SetClientSize(k.cw, k.ch);
    Pump();
    EXPECT_EQ(b->BoundsRect(), k.want);
    delete f;
  }
}

TEST_F(FormsTest, ConstraintsLimitSize) {
  auto* f = new TForm(Application, 0);
  auto* b = new TBox(f);
  b->SetParent(f);
  b->Constraints()->SetMinWidth(30);
  b->Constraints()->SetMaxHeight(50);
  b->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(b->Width(), 30);
  EXPECT_EQ(b->Height(), 50);
  // A maximum below the minimum raises the minimum's partner.
  b->Constraints()->SetMaxWidth(20);
  EXPECT_EQ(b->Constraints()->MinWidth(), 20);
  EXPECT_EQ(b->Width(), 20);
}

TEST_F(FormsTest, TabOrderFromDescriptionAndSelectNext) {
  TTestForm* f = MakeForm();
  std::vector<TWinControl*> order;
  f->Client->GetTabOrderList(order);
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(order[0], f->Edit2);
  EXPECT_EQ(order[1], f->Edit1);
  EXPECT_EQ(order[2], f->OkBtn);
  f->Show();
  Pump();
  // The first tab stop gets the focus when the form is activated.
  EXPECT_EQ(GetFocus(), f->Edit2->Handle());
  EXPECT_EQ(f->ActiveControl(), f->Edit2);
  hb->Key(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), f->Edit1->Handle());
  hb->Key(VK_TAB, HeadlessBackend::Shift);
  Pump();
  EXPECT_EQ(GetFocus(), f->Edit2->Handle());
  // Wrapping backwards goes to the last tab stop.
  f->SelectNext(f->Edit2, false, true);
  Pump();
  EXPECT_EQ(f->ActiveControl(), f->BoomBtn);
  // Disabled and invisible controls are skipped.
  f->Edit2->SetEnabled(false);
  f->SelectNext(f->BoomBtn, true, true);
  EXPECT_EQ(f->ActiveControl(), f->Edit1);
}

TEST_F(FormsTest, EnterAndExitFollowTheFocus) {
  TTestForm* f = MakeForm();
  std::vector<std::string> log;
  struct Rec {
    std::vector<std::string>* log;
    void Enter(TObject* s) { log->push_back("enter " + static_cast<TComponent*>(s)->Name()); }
    void Exit(TObject* s) { log->push_back("exit " + static_cast<TComponent*>(s)->Name()); }
  } rec{&log};
  for (TBox* b : {f->Edit1, f->Edit2, f->Client}) {
    b->OnEnter = TNotifyEvent(&rec, &Rec::Enter);
    b->OnExit = TNotifyEvent(&rec, &Rec::Exit);
  }
  f->Show();
  Pump();
  log.clear();
  f->Side->SetFocus();  // leaves the client box altogether
  Pump();
  f->Edit1->SetFocus();
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"exit Edit2", "exit Client", "enter Client", "enter Edit1"}));
}

TEST_F(FormsTest, DefaultCancelAndAcceleratorEndModalLoop) {
  struct Case {
    const char* name;
    std::function<void(HeadlessBackend*)> input;
    int expected;
  };
  const std::vector<Case> cases = {
      {"Enter clicks the default button", [](HeadlessBackend* h) { h->Key(VK_RETURN); }, mrOk},
      {"Escape clicks the cancel button", [](HeadlessBackend* h) { h->Key(VK_ESCAPE); }, mrCancel},
      {"Alt+O is the OK button's accelerator", [](HeadlessBackend* h) { h->Key('O', HeadlessBackend::Alt); }, mrOk},
  };
  auto* main = new TForm(Application, 0);
  Application->SetMainForm(main);
  main->Show();
  Pump();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TTestForm* f = NewObject<TTestForm>(Application);
    bool mainDisabled = false;
    PushModalScript([&](TCustomForm* form) {
      EXPECT_EQ(form, f);
      mainDisabled = !IsWindowEnabled(main->Handle());
      c.input(hb);
    });
    int r = f->ShowModal();
    EXPECT_EQ(r, c.expected);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(IsWindowEnabled(main->Handle()));
    EXPECT_FALSE(f->Visible());
    EXPECT_EQ(PendingModalScriptSteps(), 0);
    f->Free();
  }
}

TEST_F(FormsTest, ModalLoopNestsAndCloseGivesCancel) {
  auto* outer = new TForm(Application, 0);
  auto* inner = new TForm(Application, 0);
  int innerResult = -1;
  PushModalScript([&](TCustomForm*) {
    // The outer loop runs another modal loop inside itself.
    PushModalScript([&](TCustomForm* f) { f->Close(); });
    innerResult = inner->ShowModal();
    EXPECT_TRUE(IsWindowEnabled(outer->Handle()));  // re-enabled by the inner loop's end
    outer->SetModalResult(mrYes);
  });
  EXPECT_EQ(outer->ShowModal(), mrYes);
  EXPECT_EQ(innerResult, mrCancel);
  // A visible form cannot be made modal.
  outer->Show();
  EXPECT_THROW(outer->ShowModal(), EInvalidOperation);
}

struct CloseRec {
  TCloseAction action = caHide;
  bool allow = true;
  int queries = 0;
  void OnClose(TObject*, TCloseAction& a) { a = action; }
  void OnCloseQuery(TObject*, bool& can) {
    ++queries;
    can = allow;
  }
};

TEST_F(FormsTest, CloseQueryAndCloseActions) {
  auto* main = new TForm(Application, 0);
  Application->SetMainForm(main);
  struct Case {
    const char* name;
    TCloseAction action;
    bool allow;
    bool visibleAfter, freedAfter, minimizedAfter;
  };
  const Case cases[] = {
      {"caHide hides", caHide, true, false, false, false},
      {"caNone keeps the form", caNone, true, true, false, false},
      {"caMinimize minimises", caMinimize, true, true, false, true},
      {"caFree frees", caFree, true, false, true, false},
      {"refused by OnCloseQuery", caFree, false, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* f = new TForm(Application, 0);
    CloseRec rec;
    rec.action = c.action;
    rec.allow = c.allow;
    f->OnClose = TCloseEvent(&rec, &CloseRec::OnClose);
    f->OnCloseQuery = TCloseQueryEvent(&rec, &CloseRec::OnCloseQuery);
    f->Show();
    Pump();
    HWND h = f->Handle();
    int before = Screen->FormCount();
    PostMessageA(h, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(rec.queries, 1);
    if (c.freedAfter) {
      EXPECT_EQ(Screen->FormCount(), before - 1);
      EXPECT_FALSE(IsWindow(h));
      continue;
    }
    EXPECT_EQ(f->Visible(), c.visibleAfter);
    EXPECT_EQ(IsIconic(h) != 0, c.minimizedAfter);
    f->Free();
  }
  // Closing the main form ends the application's loop.
  main->Show();
  Pump();
  PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(FormsTest, ExceptionInHandlerIsShownAndLoopGoesOn) {
  TTestForm* f = MakeForm();
  f->Show();
  Pump();
  AnsiString shown;
  PushModalScript([&](TCustomForm* box) {
    shown = PvMessageBoxText(box);
    hb->Key(VK_RETURN);  // OK
  });
  hb->Click(At(f->BoomBtn, 5, 5).x, At(f->BoomBtn, 5, 5).y);
  Pump();
  EXPECT_EQ(f->Booms, 1);
  EXPECT_EQ(shown, A("坏的数值"));  // ends in a double-byte character: no full stop added
  EXPECT_TRUE(IsWindowEnabled(f->Handle()));
  EXPECT_EQ(GetCapture(), nullptr);
  HWND under = WindowFromPoint(At(f->BoomBtn, 5, 5));
  EXPECT_EQ(under, f->BoomBtn->Handle());
  // The loop is still alive: a later message is handled and the form works.
  hb->AdvanceClock(2000);  // not a double click
  hb->Click(At(f->BoomBtn, 5, 5).x, At(f->BoomBtn, 5, 5).y);
  PushModalScript([&](TCustomForm* box) { box->SetModalResult(mrOk); });
  Pump();
  EXPECT_EQ(f->Booms, 2);
  // OnException replaces the message box; EAbort stays silent.
  int seen = 0;
  struct Rec {
    int* seen;
    void OnExc(TObject*, Exception*) { ++*seen; }
  } rec{&seen};
  Application->OnException = TExceptionEvent(&rec, &Rec::OnExc);
  hb->AdvanceClock(2000);
  hb->Click(At(f->BoomBtn, 5, 5).x, At(f->BoomBtn, 5, 5).y);
  Pump();
  EXPECT_EQ(seen, 1);
  try {
    Abort();
  } catch (...) {
    Application->HandleException(nullptr);
  }
  EXPECT_EQ(seen, 1);
}

TEST_F(FormsTest, ShowExceptionAddsFullStop) {
  AnsiString text;
  PushModalScript([&](TCustomForm* box) {
    text = PvMessageBoxText(box);
    box->SetModalResult(mrOk);
  });
  Exception e("Disk full");
  Application->ShowException(&e);
  EXPECT_EQ(text, "Disk full.");
}

TEST_F(FormsTest, MessageBoxAnswersFromScript) {
  struct Case {
    UINT flags;
    unsigned key;
    int expected;
  };
  const Case cases[] = {
      {MB_OK, VK_RETURN, IDOK},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL},
      {MB_YESNO, VK_RETURN, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, VK_RETURN, IDNO},
      {MB_YESNOCANCEL, VK_ESCAPE, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    PushModalScript([&](TCustomForm*) { hb->Key(c.key); });
    EXPECT_EQ(Application->MessageBox(A("问题"), A("标题"), c.flags), c.expected);
  }
}

TEST_F(FormsTest, MdiChildrenCascadeAndTile) {
  std::vector<TForm*> kids;
  TForm* frame = MdiFrame(3, kids);
  ASSERT_NE(frame->ClientHandle(), nullptr);
  EXPECT_EQ(frame->MDIChildCount(), 3);
  EXPECT_EQ(frame->ActiveMDIChild(), kids[2]);
  EXPECT_EQ(GetParent(kids[0]->Handle()), frame->ClientHandle());

  frame->SetTileMode(tbVertical);
  frame->Tile();
  RECT cr;
  GetClientRect(frame->ClientHandle(), &cr);
  int total = 0;
  for (TForm* k : kids) {
    EXPECT_EQ(k->Height(), cr.bottom);
    EXPECT_EQ(k->Top(), 0);
    total += k->Width();
  }
  EXPECT_EQ(total, cr.right);

  frame->Cascade();
  // Each window sits one step below and right of the one behind it; the
  // active one stays in front.
  int step = kids[1]->Left() - kids[0]->Left();
  EXPECT_GT(step, 0);
  EXPECT_EQ(kids[1]->Top() - kids[0]->Top(), step);
  EXPECT_EQ(kids[2]->Left() - kids[1]->Left(), step);
  EXPECT_EQ(frame->ActiveMDIChild(), kids[2]);

  frame->Next();
  EXPECT_EQ(frame->ActiveMDIChild(), kids[1]);
  frame->Previous();
  EXPECT_EQ(frame->ActiveMDIChild(), kids[2]);

  // An MDI child minimises on close unless its handler asks to be freed.
  CloseRec rec;
  rec.action = caFree;
  kids[0]->OnClose = TCloseEvent(&rec, &CloseRec::OnClose);
  kids[0]->Close();
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 2);
  kids[1]->Close();
  Pump();
  EXPECT_TRUE(IsIconic(kids[1]->Handle()));
  EXPECT_EQ(frame->MDIChildCount(), 2);
}

// The frame's keyboard interface to its children: Ctrl+F6 activates the next
// child, Ctrl+F4 closes the active one.
TEST_F(FormsTest, CtrlF6AndCtrlF4ReachTheActiveMdiChild) {
  std::vector<TForm*> kids;
  TForm* frame = MdiFrame(2, kids);
  ASSERT_EQ(frame->ActiveMDIChild(), kids[1]);
  hb->Key(VK_F6, HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), kids[0]);
  CloseRec rec;
  rec.action = caFree;
  kids[0]->OnClose = TCloseEvent(&rec, &CloseRec::OnClose);
  hb->Key(VK_F4, HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->ActiveMDIChild(), kids[1]);
  // Without Ctrl, F4 is an ordinary key.
  hb->Key(VK_F4);
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 1);
}

// The frame's MDI client knows the active child and whether it is maximized,
// keeps a maximized child over its whole area when the frame is resized, and
// activates the next child when the active one goes.
TEST_F(FormsTest, MdiClientFollowsChildrenOfForms) {
  std::vector<TForm*> kids;
  TForm* frame = MdiFrame(2, kids);
  Pump();
  HWND client = frame->ClientHandle();
  BOOL max = TRUE;
  auto active = [&] { return reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&max))); };
  EXPECT_EQ(active(), kids[1]->Handle());
  EXPECT_FALSE(max);
  kids[0]->Show();
  Pump();
  EXPECT_EQ(active(), kids[0]->Handle());
  kids[0]->SetWindowState(wsMaximized);
  Pump();
  EXPECT_EQ(active(), kids[0]->Handle());
  EXPECT_TRUE(max);
  RECT cr;
  GetClientRect(client, &cr);
  EXPECT_EQ(kids[0]->ClientWidth(), cr.right);
  frame->SetClientSize(700, 500);
  Pump();
  GetClientRect(client, &cr);
  EXPECT_EQ(kids[0]->ClientWidth(), cr.right);
  EXPECT_EQ(kids[0]->ClientHeight(), cr.bottom);
  // the system menu's restore goes through the client
  static int childActivates = 0;
  struct Hook {
    static LRESULT Proc(int code, WPARAM w, LPARAM l) {
      if (code >= 0 && reinterpret_cast<CWPSTRUCT*>(l)->message == WM_CHILDACTIVATE) ++childActivates;
      return CallNextHookEx(nullptr, code, w, l);
    }
  };
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &Hook::Proc, nullptr, GetCurrentThreadId());
  SendMessageA(kids[0]->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_EQ(childActivates, 1);
  Pump();
  EXPECT_EQ(kids[0]->WindowState(), wsNormal);
  active();
  EXPECT_FALSE(max);
  EXPECT_EQ(kids[0]->Width(), 200);
  // minimized, an MDI child is told as when it is sized
  SendMessageA(kids[0]->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(kids[0]->Handle()));
  EXPECT_EQ(childActivates, 2);
  UnhookWindowsHookEx(hook);
  delete kids[0];
  Pump();
  EXPECT_EQ(active(), kids[1]->Handle());
}

TEST_F(FormsTest, MdiChildNeedsMdiFrame) {
  auto* c = new TForm(Application, 0);
  c->SetFormStyle(fsMDIChild);
  EXPECT_THROW(c->Show(), EInvalidOperation);
}

TEST_F(FormsTest, ActionsUpdateOnIdleAndWindowActionsNeedChildren) {
  TTestForm* f = MakeForm();
  f->Show();
  Pump();
  bool done = true;
  Application->DoIdle(done);
  EXPECT_TRUE(f->Action1->Enabled());
  EXPECT_TRUE(f->OkBtn->Enabled());
  f->AllowAction = false;
  Application->DoIdle(done);
  EXPECT_FALSE(f->Action1->Enabled());
  EXPECT_FALSE(f->OkBtn->Enabled());  // the linked control follows its action
  f->AllowAction = true;
  Application->DoIdle(done);
  EXPECT_TRUE(f->OkBtn->Enabled());
  f->OkBtn->Click();
  EXPECT_EQ(f->Executes, 1);

  // The standard window actions are disabled while the frame has no children.
  auto* frame = new TForm(Application, 0);
  frame->SetFormStyle(fsMDIForm);
  frame->Show();
  auto* list = new TActionList(frame);
  auto* cascade = new TWindowCascade(frame);
  cascade->SetActionList(list);
  cascade->SetForm(frame);
  Application->DoIdle(done);
  EXPECT_FALSE(cascade->Enabled());
  EXPECT_FALSE(cascade->Execute());
  Application->SetMainForm(frame);
  auto* child = new TForm(Application, 0);
  child->SetFormStyle(fsMDIChild);
  child->Show();
  Application->DoIdle(done);
  EXPECT_TRUE(cascade->Enabled());
  EXPECT_TRUE(cascade->Execute());
}

TEST_F(FormsTest, MenuShortcutRunsItemThroughKeyboard) {
  TTestForm* f = MakeForm();
  f->Show();
  Pump();
  hb->Key('S', HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(f->Saves, 1);
  // A disabled item leaves the key alone.
  f->Save1->SetEnabled(false);
  hb->Key('S', HeadlessBackend::Ctrl);
  Pump();
  EXPECT_EQ(f->Saves, 1);
}

TEST_F(FormsTest, KeyPreviewSeesKeysFirst) {
  TTestForm* f = MakeForm();
  f->SetKeyPreview(true);
  std::vector<Word> formKeys, boxKeys;
  struct Rec {
    std::vector<Word>* v;
    bool eat;
    void Key(TObject*, Word& k, TShiftState) {
      v->push_back(k);
      if (eat) k = 0;
    }
  } fr{&formKeys, true}, br{&boxKeys, false};
  f->OnKeyDown = TKeyEvent(&fr, &Rec::Key);
  f->Edit2->OnKeyDown = TKeyEvent(&br, &Rec::Key);
  f->Show();
  Pump();
  hb->Key('A');
  Pump();
  EXPECT_EQ(formKeys, std::vector<Word>{'A'});
  EXPECT_TRUE(boxKeys.empty());
}

TEST_F(FormsTest, MissingDescriptionIsAnError) {
  class TNoDesc : public TForm {
    PV_CLASS(TNoDesc, TForm)
   public:
    explicit TNoDesc(TComponent* O) : TForm(O) {}
  };
  int before = Screen->FormCount();
  EXPECT_THROW(NewObject<TNoDesc>(Application), EResNotFound);
  EXPECT_EQ(Screen->FormCount(), before);
}

TEST_F(FormsTest, DataModuleReadsItsDescription) {
  class TTestModule : public TDataModule {
    PV_CLASS(TTestModule, TDataModule)
   public:
    explicit TTestModule(TComponent* O) : TDataModule(O) {}
  };
  static const char text[] = "object TestModule: TTestModule\n  OldCreateOrder = False\n  Height = 150\n  Width = 215\n"
                             "  object Timer1: TTimer\n    Interval = 50\n  end\nend\n";
  RegisterClasses({TTestModule::StaticClass()});
  RegisterResource(RT_RCDATA, "TTestModule", text, sizeof text - 1);
  auto* m = NewObject<TTestModule>(Application);
  EXPECT_EQ(m->Name(), "TestModule");
  EXPECT_EQ(m->DesignWidth, 215);
  ASSERT_NE(m->FindComponent("Timer1"), nullptr);
  EXPECT_EQ(Screen->DataModuleCount(), 1);
  EXPECT_EQ(FindGlobalComponent("TestModule"), m);
}

}  // namespace

namespace {
// A control as its class makes it writes nothing but its place: every other
// property holds its default, whatever that default is for the class; aligned
// controls keep the anchors their alignment gives, and a new form is hidden.
TEST_F(FormsTest, FreshControlsWriteOnlyWhatDiffersFromTheirDefaults) {
  const char* classes[] = {"TPanel", "TButton", "TCheckBox", "TRadioButton", "TGroupBox", "TEdit", "TMemo",
                           "TListBox", "TComboBox", "TLabel", "TStaticText", "TBevel", "TShape", "TImage",
                           "TSplitter", "TRadioGroup", "TColorBox", "TScrollBox", "TScrollBar", "TBitBtn",
                           "TSpeedButton", "TTreeView", "TListView", "TPageControl", "TUpDown", "TDBEdit",
                           "TDBMemo", "TDBText", "TDBGrid", "TValueListEditor"};
  const char* never[] = {"Color = ", "ParentColor = ", "TabStop = ", "Visible = ", "Anchors = ", "Align = "};
  for (TAlign align : {alNone, alTop, alLeft, alBottom, alRight, alClient}) {
    for (const char* name : classes) {
      SCOPED_TRACE(std::string(name) + " aligned " + std::to_string(int(align)));
      auto* f = new TForm(Application, 0);
      f->SetName("Holder");
      TClass cls = FindClass(name);
      auto* c = dynamic_cast<TControl*>(CreateObject(cls, f));
      ASSERT_TRUE(c);
      c->SetName("Probe");
      c->SetParent(f);
      TAlign own = c->Align();  // a splitter is made aligned to the left
      c->SetAlign(align == alNone ? own : align);
      AnsiString text = WriteComponentToText(f);
      AnsiString block = text.substr(text.find("object Probe"));
      for (const char* n : never) {
        if (std::string(n) == "Align = " && align != alNone) continue;
        std::size_t at = block.find(n);
        EXPECT_EQ(at, AnsiString::npos) << block.substr(at, block.find('\n', at) - at);
      }
      if (align == alNone) {
        EXPECT_EQ(text.find("Visible = False"), AnsiString::npos) << text;
      }
      delete f;
    }
  }
}

// What a program changes is still written and read back.
TEST_F(FormsTest, ChangedColoursFocusAnchorsAndVisibilityReadBack) {
  RegisterClasses({TForm::StaticClass()});
  auto* f = new TForm(Application, 0);
  std::unique_ptr<TForm> holdF(f);
  f->SetName("Holder");
  auto make = [&](const char* cls, const char* name) {
    auto* c = dynamic_cast<TWinControl*>(CreateObject(FindClass(cls), f));
    c->SetName(name);
    c->SetParent(f);
    return c;
  };
  TWinControl* panel = make("TPanel", "Panel1");      // made clBtnFace, its own colour, no tab stop
  TWinControl* edit = make("TEdit", "Edit1");         // made clWindow, its own colour, a tab stop
  TWinControl* top = make("TPanel", "Top1");          // aligned, with anchors of its own
  TWinControl* centred = make("TPanel", "Centred1");  // anchored to nothing
  panel->SetParentColor(true);
  panel->SetTabStop(true);
  edit->SetColor(clRed);
  edit->SetTabStop(false);
  top->SetAlign(alTop);
  top->SetAnchors({akLeft, akTop});
  centred->SetAnchors({});
  f->SetVisible(true);
  AnsiString text = WriteComponentToText(f);
  f->SetVisible(false);

  auto* g = new TForm(Application, 0);
  std::unique_ptr<TForm> holdG(g);
  ReadComponentFromText(text, g);
  auto* panel2 = dynamic_cast<TWinControl*>(g->FindComponent("Panel1"));
  auto* edit2 = dynamic_cast<TWinControl*>(g->FindComponent("Edit1"));
  auto* top2 = dynamic_cast<TWinControl*>(g->FindComponent("Top1"));
  auto* centred2 = dynamic_cast<TWinControl*>(g->FindComponent("Centred1"));
  ASSERT_TRUE(panel2 && edit2 && top2 && centred2) << text;
  EXPECT_TRUE(panel2->ParentColor());
  EXPECT_TRUE(panel2->TabStop());
  EXPECT_EQ(edit2->Color(), clRed);
  EXPECT_FALSE(edit2->TabStop());
  EXPECT_EQ(top2->Align(), alTop);
  EXPECT_EQ(top2->Anchors(), (TAnchors{akLeft, akTop}));
  EXPECT_EQ(centred2->Anchors(), TAnchors{});
  EXPECT_NE(text.find("Visible = True"), AnsiString::npos) << text;  // shown once a form class is made from it
}

TEST_F(FormsTest, WrittenFormReadsBackTheSame) {
  TTestForm* f = MakeForm();
  AnsiString text = WriteComponentToText(f);
  for (const char* absent : {"OnClick = \n", "Font.Charset", "Anchors = [akLeft, akTop]"})
    EXPECT_EQ(text.find(absent), AnsiString::npos) << absent;
  EXPECT_NE(text.find("Menu = MainMenu1"), AnsiString::npos);
  EXPECT_NE(text.find("OnClick = BoomClick"), AnsiString::npos);
  EXPECT_NE(text.find("ShortCut = 16467"), AnsiString::npos);
  auto* g = new TTestForm(nullptr);
  std::unique_ptr<TTestForm> hold(g);
  ReadComponentFromText(text, g);
  ASSERT_NE(g->Corner, nullptr);
  EXPECT_EQ(g->Corner->Parent(), g->TopBar);
  EXPECT_EQ(g->Corner->Anchors(), (TAnchors{akTop, akRight}));
  EXPECT_EQ(g->Save1->ShortCut(), f->Save1->ShortCut());
  std::vector<TWinControl*> order;
  g->Client->GetTabOrderList(order);
  ASSERT_GE(order.size(), 2u);
  EXPECT_EQ(order[0], g->Edit2);
}
}  // namespace

namespace {
// The application window is minimised and restored with the main form, so a
// subclass of it sees WM_SIZE with SIZE_MINIMIZED once per minimising, by the
// minimise command or by Application->Minimize, and SIZE_RESTORED on the way
// back; other forms leave it alone.
std::vector<WPARAM> gAppSizes;
WNDPROC gAppOldProc = nullptr;
LRESULT AppSizeProc(HWND H, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_SIZE) gAppSizes.push_back(W);
  return CallWindowProcA(gAppOldProc, H, Msg, W, L);
}

TEST_F(FormsTest, TheApplicationWindowFollowsTheMainFormsMinimising) {
  auto* main = new TForm(Application, 0);
  auto* other = new TForm(Application, 0);
  Application->SetMainForm(main);
  main->Show();
  other->Show();
  Pump();
  gAppSizes.clear();
  gAppOldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AppSizeProc)));
  SendMessageA(other->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  main->SetBounds(10, 10, 300, 200);  // sized, not minimised
  EXPECT_TRUE(gAppSizes.empty());
  SendMessageA(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(gAppSizes, (std::vector<WPARAM>{SIZE_MINIMIZED}));
  ShowWindow(main->Handle(), SW_RESTORE);
  EXPECT_EQ(gAppSizes, (std::vector<WPARAM>{SIZE_MINIMIZED, SIZE_RESTORED}));
  Application->Minimize();
  EXPECT_EQ(gAppSizes.size(), 3u);
  EXPECT_EQ(gAppSizes.back(), WPARAM(SIZE_MINIMIZED));
  SetWindowLongPtrA(Application->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gAppOldProc));
}
}  // namespace

namespace {
// The command line arrives as the system passes it (UTF-8) and is kept in
// CP936; the executable's name is its full path.
TEST_F(FormsTest, TheCommandLineIsKeptInCp936) {
  const char* argv[] = {"/opt/p/bin/penvro", "/home/\xE4\xBD\xA0/\xE7\xAC\xAC\xE4\xB8\x80.t", "-x"};
  Application->SetArgs(3, argv);
  EXPECT_EQ(Application->ParamCount(), 2);
  EXPECT_EQ(Application->ParamStr(0), "/opt/p/bin/penvro");
  EXPECT_EQ(Application->ExeName(), "/opt/p/bin/penvro");
  EXPECT_EQ(Application->ParamStr(1), "/home/\xC4\xE3/\xB5\xDA\xD2\xBB.t");
  EXPECT_EQ(Application->ParamStr(2), "-x");
  EXPECT_EQ(Application->ParamStr(3), "");
}
}  // namespace

namespace {
// A window whose OnCreate fails still opens; the failure reaches the
// application's exception handler once.
class TCreateFailForm : public TForm {
  PV_CLASS(TCreateFailForm, TForm)
 public:
  explicit TCreateFailForm(TComponent* O) : TForm(O) {}
  void FormCreate(TObject*) { throw EConvertError("Layout cannot be read"); }
};

TEST_F(FormsTest, AFailingOnCreateIsReportedAndTheFormStillOpens) {
  static const char text[] = "object CreateFailForm: TCreateFailForm\n  Left = 10\n  Top = 10\n"
                             "  Visible = True\n  OnCreate = FormCreate\nend\n";
  RegisterClasses({TCreateFailForm::StaticClass()});
  RegisterHandlers<TCreateFailForm>(
      [](THandlerBuilder<TCreateFailForm>& h) { h.Handler("FormCreate", &TCreateFailForm::FormCreate); });
  RegisterResource(RT_RCDATA, "TCreateFailForm", text, sizeof text - 1);
  std::vector<AnsiString> seen;
  struct Rec {
    std::vector<AnsiString>* seen;
    void OnExc(TObject*, Exception* e) { seen->push_back(e->Message); }
  } rec{&seen};
  Application->OnException = TExceptionEvent(&rec, &Rec::OnExc);
  TCreateFailForm* f = nullptr;
  EXPECT_NO_THROW(f = NewObject<TCreateFailForm>(Application));
  Application->OnException = nullptr;
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(f->Visible());
  EXPECT_EQ(seen, std::vector<AnsiString>{"Layout cannot be read"});
}

// A borderless form given a parent window lives inside it as a child window,
// moves along to another parent window and loses its window when taken out.
TEST_F(FormsTest, AFormWithAParentWindowIsAChildWindowOfIt) {
  TTestForm* host = MakeForm();
  host->Show();
  auto* other = new TEdit(host);
  other->SetParent(host);
  other->SetBounds(10, 200, 100, 20);
  auto* inner = new TForm(nullptr, 0);
  inner->SetBorderStyle(bsNone);
  inner->SetParentWindow(host->Handle());
  inner->SetBounds(5, 6, 50, 30);
  inner->Show();
  ASSERT_TRUE(inner->HandleAllocated());
  HWND h = inner->Handle();
  EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_CHILD);
  EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & WS_POPUP);
  EXPECT_EQ(GetParent(h), host->Handle());
  RECT r;
  GetWindowRect(h, &r);
  POINT origin{0, 0};
  ClientToScreen(host->Handle(), &origin);
  EXPECT_EQ(r.left - origin.x, 5);
  EXPECT_EQ(r.top - origin.y, 6);
  EXPECT_TRUE(IsWindowVisible(h));
  inner->SetParentWindow(other->Handle());
  EXPECT_EQ(inner->Handle(), h) << "moved, not made again";
  EXPECT_EQ(GetParent(h), other->Handle());
  inner->SetParentWindow(nullptr);
  EXPECT_FALSE(inner->HandleAllocated());
  EXPECT_FALSE(IsWindow(h));
  delete inner;
}
}  // namespace
