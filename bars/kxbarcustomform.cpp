// The customizing window: construction, the toolbar page, the options page,
// activation, closing, and the routines through which the bar library keeps
// the window up to date. The commands page lives in kxbarcustcommands.cpp,
// the design-time pages in kxbarcustdesign.cpp.
#include "bars/kxbarcustomform.h"

#include <algorithm>

#include "bars/kxbarcustomize.h"
#include "bars/kxbarpopup.h"
#include "framework/uxclasses.h"
#include "platform/controls/graphics.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/system.h"

namespace kxbarcustomform {

TkxBarCustomizingForm* gForm = nullptr;
std::vector<HWND> gDisabled;
bool gTearDown = false;

const char* const kToolbarsPage = " 工具栏 ";
const char* const kCommandsPage = " 命令 ";
const char* const kOptionsPage = " 选项 ";
const char* const kCustomizeCaption = "自定义";
const char* const kCloseCaption = "关闭";
const char* const kToolbarsLabel = "工具栏(&A):";
const char* const kNewCaption = "新建(&N)...";
const char* const kRenameCaption = "重命名(R&)...";
const char* const kDeleteCaption = "删除(&D)";
const char* const kResetCaption = "重置(&R)...";
const char* const kNewBarName = "自定义 ";
const char* const kDeleteBarText = "是否确认要删除工具栏 '%s' ?";
const char* const kLargeIcons = "大图标(&L)";
const char* const kHint1 = "在工具栏上显示提示条(&T)";
const char* const kHint2 = "在提示条上显示快捷键(&H)";
const char* const kAnimations = "动画菜单(&M):";
const char* const kPersonalized = "个性化菜单和工具栏  ";
const char* const kRecentFirst = "首先显示最常用的菜单(&N)";
const char* const kFullAfterDelay = "在短暂延迟后显示所有菜单(&U)";
const char* const kResetUsage = "重置惯用数据(&R)";
const char* const kOther = "其他  ";
const char* const kAnimationNames[] = {"(无)", "随机", "展开", "滑动", "淡出"};

AnsiString CfT(const char* Utf8) { return uxTranslateString(Utf8ToAnsi(Utf8)); }

// The width of Text in Font (accelerator marks left out).
int TextWidthIn(TFont* Font, const AnsiString& Text) {
  TBitmap b;
  b.SetSize(1, 1);
  b.Canvas()->Font()->Assign(Font);
  return b.Canvas()->TextWidth(StripHotkey(Text));
}

void EnableDisabledWindows() {
  std::vector<HWND> list;
  list.swap(gDisabled);
  for (HWND h : list)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

}  // namespace kxbarcustomform

using namespace kxbarcustomform;

TkxBarCustomizingForm* kxBarCustomizingFormInstance() { return gForm; }

bool TkxBarCustomizingForm::TearingDown() { return gTearDown; }

// ---------------------------------------------------------------------------
// opening and closing

void kxBarCustomizingFormShow(TkxBarManager* Manager, bool Show) {
  if (Show) {
    if (gForm || !Manager) return;
    for (int i = 0; i < kxBarManagerCount(); ++i) {
      TCustomForm* f = kxBarGetManager(i)->OwnerForm();
      if (f && f->HandleAllocated() && IsWindowEnabled(f->Handle())) {
        EnableWindow(f->Handle(), FALSE);
        gDisabled.push_back(f->Handle());
      }
    }
    try {
      gForm = NewObject<TkxBarCustomizingForm>(nullptr, Manager);
      gForm->Show();
    } catch (...) {
      if (gForm) gForm->Free();
      gForm = nullptr;
      EnableDisabledWindows();
      throw;
    }
    return;
  }
  if (!gTearDown) {
    EnableDisabledWindows();
    if (gForm) {
      TkxBarCustomizingForm* f = gForm;
      gTearDown = true;
      try {
        f->Free();
      } catch (...) {
        gTearDown = false;
        throw;
      }
      gTearDown = false;
    }
  }
  kxBarCloseSubMenuEditor();
}

void kxBarCustomizingFormOwnerShown(TkxBarManager* Manager, bool Shown) {
  if (!gForm || gForm->BarManager() != Manager || !gForm->HandleAllocated()) return;
  ShowWindow(gForm->Handle(), Shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

TkxBarCustomizingForm::TkxBarCustomizingForm(TComponent* AOwner, TkxBarManager* Manager)
    : TForm(AOwner), FBarManager(Manager) {
  if (Manager) Manager->FreeNotification(this);
}

void TkxBarCustomizingForm::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent != FBarManager) return;
  // The lists hold the manager's bars and items: they go first, then the
  // window once the messages being handled are done.
  FBarManager = nullptr;
  if (gForm == this) gForm = nullptr;
  if (FBarsListBox) FBarsListBox->Items()->Clear();
  if (FCommands) FCommands->Items()->Clear();
  if (LAllCommands) LAllCommands->Items()->Clear();
  if (lbGroups) lbGroups->Items()->Clear();
  if (lbGroupItems) lbGroupItems->Items()->Clear();
  EnableDisabledWindows();
  kxBarCloseSubMenuEditor();
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  Release();
}

TkxBarCustomizingForm::~TkxBarCustomizingForm() {
  if (!gTearDown && FBarManager && gForm == this) {
    // Switching customizing off calls back the close routine, which sees the
    // flag and frees nothing more.
    gTearDown = true;
    try {
      EnableDisabledWindows();
      if (FBarManager->IsCustomizing()) FBarManager->SetCustomizing(false);
    } catch (...) {
    }
    gTearDown = false;
  }
  if (gForm == this) gForm = nullptr;
}

bool TkxBarCustomizingForm::Designing() const { return FBarManager && FBarManager->IsDesigning(); }

void TkxBarCustomizingForm::CreateParams(TCreateParams& Params) {
  TForm::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;
  Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  Params.WindowClass.style |= CS_OWNDC | CS_SAVEBITS;
  if (FBarManager && FBarManager->OwnerForm() && FBarManager->OwnerForm()->HandleAllocated())
    Params.WndParent = FBarManager->OwnerForm()->Handle();
}

void TkxBarCustomizingForm::DoCreate() {
  Initialize();
  TForm::DoCreate();
}

void TkxBarCustomizingForm::Initialize() {
  TkxBarManager* m = FBarManager;
  if (!m) return;
  // 1. font, captions, the close and help buttons
  Font()->SetName(m->Font()->Name());
  Font()->SetCharset(m->Font()->Charset());
  SetCaption(CfT(kCustomizeCaption));
  TabSheet1->SetCaption(CfT(kToolbarsPage));
  TabSheet2->SetCaption(CfT(kCommandsPage));
  TabSheet3->SetCaption(CfT(kOptionsPage));
  BClose->SetCaption(CfT(kCloseCaption));
  BClose->SetWidth(TextWidthIn(Font(), BClose->Caption()) + 49);
  BClose->SetLeft(PBottom->ClientWidth() - PRight->Width() - BClose->Width());
  UpdateHelpButton();
  // 2. the toolbar list in place of its placeholder
  FBarsListBox = new TCheckListBox(this, m);
  FBarsListBox->SetParent(BarsListBoxPlace->Parent());
  FBarsListBox->SetBounds(BarsListBoxPlace->Left(), BarsListBoxPlace->Top(), BarsListBoxPlace->Width(),
                          BarsListBoxPlace->Height());
  FBarsListBox->SetTabOrder(BarsListBoxPlace->TabOrder());
  FBarsListBox->OnClick = TNotifyEvent(this, &TkxBarCustomizingForm::BarsListClick);
  LabelToobars->SetFocusControl(FBarsListBox);
  BarsListBoxPlace->Free();
  BarsListBoxPlace = nullptr;
  BBarReset->SetVisible(!Designing() && m->CanReset());
  // 3. texts of the toolbar page; the command list in place of its placeholder
  LabelToobars->SetCaption(CfT(kToolbarsLabel));
  BBarNew->SetCaption(CfT(kNewCaption));
  BBarRename->SetCaption(CfT(kRenameCaption));
  BBarDelete->SetCaption(CfT(kDeleteCaption));
  BBarReset->SetCaption(CfT(kResetCaption));
  FCommands = new TCommandsListBox(this, this);
  FCommands->SetParent(LCommandsPlace->Parent());
  FCommands->SetBounds(LCommandsPlace->Left(), LCommandsPlace->Top(), LCommandsPlace->Width(),
                       LCommandsPlace->Height());
  FCommands->SetTabOrder(LCommandsPlace->TabOrder());
  FCommands->OnClick = TNotifyEvent(this, &TkxBarCustomizingForm::LCommandsClick);
  LabelCommands->SetFocusControl(FCommands);
  LCommandsPlace->Free();
  LCommandsPlace = nullptr;
  if (Designing()) CreateDesignMenus();
  CategoriesButtonPlace->Free();
  CategoriesButtonPlace = nullptr;
  CommandsButtonPlace->Free();
  CommandsButtonPlace = nullptr;
  // 4. texts of the commands page
  SetupCommandsPage();
  // 5. the options page
  SetupOptionsPage();
  // 6. design-time pages
  if (!Designing()) {
    TabSheet4->SetTabVisible(false);
    TabSheet5->SetTabVisible(false);
  }
  PageControl->SetActivePage(TabSheet1);
  // 7. toolbars
  RefreshBarsList();
  // 8. categories and their commands
  RefreshCategories();
  // 9. style, options, design-time lists
  ApplyStyle();
  RefreshOptions();
  if (Designing()) {
    RefreshAllCommands();
    RefreshGroups();
  }
  // 10. section headings
  AlignHeadingBevel(LabelDescription, BevelDescription);
  AlignHeadingBevel(Label3, Bevel3);
  AlignHeadingBevel(Label2, Bevel2);
}

void TkxBarCustomizingForm::AlignHeadingBevel(TLabel* Label, TBevel* Bevel) {
  int right = Bevel->Left() + Bevel->Width();
  int left = Label->Left() + TextWidthIn(Font(), Label->Caption());
  Bevel->SetBounds(left, Bevel->Top(), std::max(0, right - left), Bevel->Height());
}

void TkxBarCustomizingForm::SetupAnimationCombo(TLabel* Label, TComboBox* Combo) {
  Label->SetCaption(CfT(kAnimations));
  int labelRight = Label->Left() + TextWidthIn(Font(), Label->Caption());
  if (Combo->Left() < labelRight + 10) Combo->SetLeft(labelRight + 10);
  Combo->Items()->Clear();
  int widest = 0;
  for (const char* name : kAnimationNames) {
    AnsiString text = CfT(name);
    Combo->Items()->Add(text);
    widest = std::max(widest, TextWidthIn(Font(), text));
  }
  Combo->SetWidth(widest + 54);
}

void TkxBarCustomizingForm::SetupOptionsPage() {
  // Both panels get their texts: the style may change while the window is
  // open, and the other panel then shows.
  Label3->SetCaption(CfT(kPersonalized));
  CBMenusShowRecentItemsFirst->SetCaption(CfT(kRecentFirst));
  CBShowFullMenusAfterDelay->SetCaption(CfT(kFullAfterDelay));
  BResetUsageData->SetCaption(CfT(kResetUsage));
  BResetUsageData->SetWidth(TextWidthIn(Font(), BResetUsageData->Caption()) + 17);
  Label2->SetCaption(CfT(kOther));
  CBLargeIconsEx->SetCaption(CfT(kLargeIcons));
  CBHint1Ex->SetCaption(CfT(kHint1));
  CBHint2Ex->SetCaption(CfT(kHint2));
  SetupAnimationCombo(Label1, ComboBoxMenuAnimationsEx);
  CBLargeIcons->SetCaption(CfT(kLargeIcons));
  CBHint1->SetCaption(CfT(kHint1));
  CBHint2->SetCaption(CfT(kHint2));
  SetupAnimationCombo(LabelMenuAnimations, ComboBoxMenuAnimations);
}

void TkxBarCustomizingForm::UpdateHelpButton() {
  if (!BHelp || !FBarManager) return;
  BHelp->SetGlyph(FBarManager->HelpButtonGlyph());
  BHelp->SetVisible(FBarManager->ShowHelpButton());
}

void TkxBarCustomizingForm::ApplyStyle() {
  if (BarManager1) {
    BarManager1->SetStyle(FBarManager->Style());
    BarManager1->SetLookAndFeel(FBarManager->LookAndFeel());
  }
  if (FCommands) {
    FCommands->SetColor(FBarManager->GetEffectiveStyle() == bmsFlat ? clWindow : clBtnFace);
    FCommands->Invalidate();
  }
}

void TkxBarCustomizingForm::BCloseClick(TObject*) { Close(); }

void TkxBarCustomizingForm::BHelpClick(TObject*) {
  // There is no help viewer here: the manager's help-button event is all.
  if (!Designing()) FBarManager->DoHelpButtonClick();
}

void TkxBarCustomizingForm::DoClose(TCloseAction& Action) {
  TForm::DoClose(Action);
  EnableDisabledWindows();
  Action = caFree;
}

void TkxBarCustomizingForm::WMDestroy2(TMessage& Message) {
  TForm::Dispatch(Message);
  // The window went away under the form: customizing ends too.
  if (!gTearDown && gForm == this && FBarManager && FBarManager->IsCustomizing() &&
      !ComponentState().Contains(csDestroying)) {
    gTearDown = true;
    EnableDisabledWindows();
    try {
      FBarManager->SetCustomizing(false);
    } catch (...) {
      gTearDown = false;
      throw;
    }
    gTearDown = false;
  }
}

// ---------------------------------------------------------------------------
// activation and the wheel

void TkxBarCustomizingForm::WMActivate2(TMessage& Message) {
  TForm::Dispatch(Message);
  TCustomForm* owner = FBarManager ? FBarManager->OwnerForm() : nullptr;
  HWND other = reinterpret_cast<HWND>(Message.LParam);
  if (owner && owner->HandleAllocated() && other != owner->Handle())
    SendMessageA(owner->Handle(), WM_NCACTIVATE, LOWORD(Message.WParam) != WA_INACTIVE, 0);
}

void TkxBarCustomizingForm::Activate() {
  TForm::Activate();
  if (kxBarIsAnyPopupMenuShowing()) return;
  TTabSheet* page = PageControl ? PageControl->ActivePage() : nullptr;
  if (page == TabSheet1) BarsListClick(nullptr);
}

void TkxBarCustomizingForm::WMMouseWheel(TMessage& Message) {
  POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  HWND h = WindowFromPoint(p);
  TControl* c = h ? FindControl(h) : nullptr;
  auto* list = dynamic_cast<TCustomListBox*>(c);
  if (list && list != ActiveControl() && list->HandleAllocated()) {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    int steps = delta / WHEEL_DELTA * int(lines);
    list->SetTopIndex(std::max(0, list->TopIndex() - steps));
    Message.Result = 1;
    return;
  }
  TForm::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// toolbar page

void TkxBarCustomizingForm::RefreshBarsList() {
  TkxBars* bars = FBarManager->Bars();
  FBarsListBox->Items()->BeginUpdate();
  FBarsListBox->Items()->Clear();
  int first = -1;
  for (int i = 0; i < bars->Count(); ++i) {
    TkxBar* bar = bars->Items(i);
    if (bar->Hidden() && !Designing()) continue;
    int row = FBarsListBox->Items()->AddObject(bar->Caption(), bar);
    if (first < 0 && bar->Visible()) first = row;
  }
  FBarsListBox->Items()->EndUpdate();
  FListRefreshing = true;
  FBarsListBox->SetItemIndex(first);
  FListRefreshing = false;
  UpdateBarButtons();
}

void TkxBarCustomizingForm::UpdateBarButtons() {
  TkxBar* bar = FBarsListBox->Bar(FBarsListBox->ItemIndex());
  bool design = Designing();
  BBarRename->SetEnabled(bar && (design || !bar->Declared()));
  BBarDelete->SetEnabled(bar && (design || (!bar->Declared() && bar->CanClose())));
  BBarReset->SetEnabled(bar && bar->CanReset());
}

void TkxBarCustomizingForm::BarsListClick(TObject*) { UpdateBarButtons(); }

void TkxBarCustomizingForm::BBarNewClick(TObject*) {
  TkxBars* bars = FBarManager->Bars();
  AnsiString name = bars->GetUniqueBarName(CfT(kNewBarName));
  if (!kxBarShowNameDialog(name, nkToolbar, nmAdd, nullptr, FBarManager)) return;
  TkxBar* bar = bars->Add();
  bar->SetCaption(name);
  bar->SetName(name);
  // Floating beside the window: left of it, or right when that is off the
  // work area; at its top, or inside the work area.
  TRect r = BoundsRect();
  TRect work = kxBarGetWorkArea(TPoint{r.left, r.top});
  int left = r.left - 50;
  if (left < work.left) left = r.right + 10;
  int top = r.top < work.top ? work.top + 10 : r.top;
  bar->SetFloatLeft(left);
  bar->SetFloatTop(top);
  bar->SetDockingStyle(dsNone);
  bar->SetVisible(true);
  int row = FBarsListBox->Items()->AddObject(bar->Caption(), bar);
  FBarsListBox->SetItemIndex(row);
  UpdateBarButtons();
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::BBarRenameClick(TObject*) {
  int row = FBarsListBox->ItemIndex();
  TkxBar* bar = FBarsListBox->Bar(row);
  if (!bar) return;
  AnsiString name = bar->Caption();
  if (!kxBarShowNameDialog(name, nkToolbar, nmRename, bar, FBarManager)) return;
  FBarsListBox->Items()->Put(row, name);
  bar->SetCaption(name);
  FBarsListBox->SetItemIndex(row);
  UpdateBarButtons();
}

void TkxBarCustomizingForm::BBarDeleteClick(TObject*) {
  int row = FBarsListBox->ItemIndex();
  TkxBar* bar = FBarsListBox->Bar(row);
  if (!bar) return;
  AnsiString text = CfT(kDeleteBarText);
  text.replace(text.find("%s"), 2, FBarsListBox->Items()->Get(row));
  AnsiString title = Application ? Application->Title() : AnsiString();
  if (MessageBoxA(Handle(), text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) return;
  FBarsListBox->Items()->Delete(row);
  int count = FBarsListBox->Items()->Count();
  FBarsListBox->SetItemIndex(row < count ? row : count - 1);
  bar->SetIndex(bar->Collection()->Count() - 1);
  bar->Free();
  UpdateBarButtons();
  FBarManager->DesignerModified();
}

void TkxBarCustomizingForm::BBarResetClick(TObject*) {
  if (TkxBar* bar = FBarsListBox->Bar(FBarsListBox->ItemIndex())) bar->ResetWithConfirmation();
}

void TkxBarCustomizingForm::BarRemoved(TkxBar* Bar) {
  int row = FBarsListBox->Items()->IndexOfObject(Bar);
  if (row < 0) return;
  FBarsListBox->Items()->Delete(row);
  UpdateBarButtons();
}

void TkxBarCustomizingForm::BarChanged(TkxBar* Bar) {
  int row = FBarsListBox->Items()->IndexOfObject(Bar);
  if (row < 0) return;
  if (FBarsListBox->Items()->Get(row) != Bar->Caption()) {
    int index = FBarsListBox->ItemIndex();
    FBarsListBox->Items()->Put(row, Bar->Caption());
    FBarsListBox->SetItemIndex(index);
  }
  BarsListClick(nullptr);
  FBarsListBox->InvalidateCheck(row);
}

// ---------------------------------------------------------------------------
// options page

void TkxBarCustomizingForm::RefreshOptions() {
  TkxBarManager* m = FBarManager;
  FOptionsUpdating = true;
  CBMenusShowRecentItemsFirst->SetChecked(m->MenusShowRecentItemsFirst());
  CBShowFullMenusAfterDelay->SetChecked(m->ShowFullMenusAfterDelay());
  CBShowFullMenusAfterDelay->SetEnabled(CBMenusShowRecentItemsFirst->Checked());
  CBLargeIcons->SetChecked(m->LargeIcons());
  CBLargeIconsEx->SetChecked(m->LargeIcons());
  CBHint1->SetChecked(m->ShowHint());
  CBHint1Ex->SetChecked(m->ShowHint());
  CBHint2->SetChecked(m->ShowShortCutInHint());
  CBHint2Ex->SetChecked(m->ShowShortCutInHint());
  CBHint2Ex->SetEnabled(CBHint1Ex->Checked());
  ComboBoxMenuAnimations->SetItemIndex(int(m->MenuAnimations()));
  ComboBoxMenuAnimationsEx->SetItemIndex(int(m->MenuAnimations()));
  bool standard = m->GetEffectiveStyle() == bmsStandard;
  StandardOptionsPanel->SetVisible(standard);
  EnhancedOptionsPanel->SetVisible(!standard);
  FOptionsUpdating = false;
}

void TkxBarCustomizingForm::SetOption(TObject* Sender) {
  if (FOptionsUpdating) return;
  TkxBarManager* m = FBarManager;
  if (Sender == CBLargeIcons || Sender == CBLargeIconsEx)
    m->SetLargeIcons(static_cast<TCheckBox*>(Sender)->Checked());
  else if (Sender == CBHint1 || Sender == CBHint1Ex)
    m->SetShowHint(static_cast<TCheckBox*>(Sender)->Checked());
  else if (Sender == CBHint2 || Sender == CBHint2Ex)
    m->SetShowShortCutInHint(static_cast<TCheckBox*>(Sender)->Checked());
  else if (Sender == CBMenusShowRecentItemsFirst)
    m->SetMenusShowRecentItemsFirst(CBMenusShowRecentItemsFirst->Checked());
  else if (Sender == CBShowFullMenusAfterDelay)
    m->SetShowFullMenusAfterDelay(CBShowFullMenusAfterDelay->Checked());
  else if (auto* combo = dynamic_cast<TComboBox*>(Sender); combo && combo->ItemIndex() >= 0)
    m->SetMenuAnimations(TkxBarMenuAnimations(combo->ItemIndex()));
  RefreshOptions();
}

void TkxBarCustomizingForm::CBLargeIconsClick(TObject* Sender) { SetOption(Sender); }
void TkxBarCustomizingForm::CBHint1Click(TObject* Sender) { SetOption(Sender); }
void TkxBarCustomizingForm::CBHint2Click(TObject* Sender) { SetOption(Sender); }
void TkxBarCustomizingForm::CBMenusShowRecentItemsFirstClick(TObject* Sender) { SetOption(Sender); }
void TkxBarCustomizingForm::CBShowFullMenusAfterDelayClick(TObject* Sender) { SetOption(Sender); }
void TkxBarCustomizingForm::ComboBoxMenuAnimationsChange(TObject* Sender) { SetOption(Sender); }
void TkxBarCustomizingForm::BResetUsageDataClick(TObject*) { FBarManager->ResetUsageDataWithConfirmation(); }

void TkxBarCustomizingForm::PageControlChange(TObject*) {
  if (PageControl->ActivePage() == TabSheet2) {
    if (TkxBarItem* item = SelectedCommand()) SelectItem(item, false);
  }
}

// ---------------------------------------------------------------------------
// the toolbar list

TCheckListBox::TCheckListBox(TComponent* AOwner, TkxBarManager* Manager)
    : TCustomListBox(AOwner), FBarManager(Manager) {
  SetStyle(lbOwnerDrawFixed);
}

TkxBar* TCheckListBox::Bar(int Index) {
  if (Index < 0 || Index >= Items()->Count()) return nullptr;
  return static_cast<TkxBar*>(Items()->Objects(Index));
}

void TCheckListBox::CalcItemHeight() { SetItemHeight(TextWidthIn(Font(), "0") > 0 ? CheckWidth() : 16); }

int TCheckListBox::CheckWidth() {
  TBitmap b;
  b.SetSize(1, 1);
  b.Canvas()->Font()->Assign(Font());
  return b.Canvas()->TextHeight("0") + 2;
}

void TCheckListBox::CreateWnd() {
  CalcItemHeight();
  TCustomListBox::CreateWnd();
}

void TCheckListBox::FontChanged(TObject* Sender) {
  TCustomListBox::FontChanged(Sender);
  CalcItemHeight();
}

void TCheckListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  TCanvas* c = Canvas();
  TkxBar* bar = Bar(Index);
  int w = CheckWidth();
  TRect check{Rect.left, Rect.top, Rect.left + w, Rect.bottom};
  c->Brush()->SetColor(Color());
  c->FillRect(check);
  if (bar) {
    RECT box{check.left + 1, check.top + 1, check.right - 1, check.bottom - 1};
    UINT state = DFCS_BUTTONCHECK | (bar->Visible() ? DFCS_CHECKED : 0) | (bar->CanClose() ? 0 : DFCS_INACTIVE);
    DrawFrameControl(c->Handle(), &box, DFC_BUTTON, state);
  }
  TRect text{check.right, Rect.top, Rect.right, Rect.bottom};
  bool selected = State.Contains(odSelected);
  c->Brush()->SetColor(selected ? clHighlight : Color());
  c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  c->FillRect(text);
  c->TextRect(text, text.left + 2, text.top + 1, Items()->Get(Index));
  if (State.Contains(odFocused)) c->DrawFocusRect(text);
}

void TCheckListBox::InvalidateCheck(int Index) {
  if (!HandleAllocated() || Index < 0) return;
  TRect r = ItemRect(Index);
  r.right = r.left + CheckWidth();
  RECT rr{r.left, r.top, r.right, r.bottom};
  InvalidateRect(Handle(), &rr, FALSE);
}

void TCheckListBox::Toggle(int Index) {
  TkxBar* bar = Bar(Index);
  if (!bar || !bar->CanClose()) {
    MessageBeep(0);
    return;
  }
  bar->SetVisible(!bar->Visible());
  InvalidateCheck(Index);
  if (FBarManager) FBarManager->DesignerModified();
}

void TCheckListBox::WMLButtonDown2(TWMMouse& Message) {
  TCustomListBox::Dispatch(Message);
  int i = ItemAtPos(TPoint{Message.XPos(), Message.YPos()}, true);
  if (i >= 0 && Message.XPos() < CheckWidth()) Toggle(i);
}

void TCheckListBox::WMLButtonDblClk2(TWMMouse& Message) {
  TCustomListBox::Dispatch(Message);
  int i = ItemAtPos(TPoint{Message.XPos(), Message.YPos()}, true);
  // Inside the check column a double click is a second press; elsewhere it
  // toggles the row.
  if (i >= 0) Toggle(i);
}

void TCheckListBox::KeyDown(Word& Key, TShiftState Shift) {
  TCustomListBox::KeyDown(Key, Shift);
  if (Key == VK_SPACE && ItemIndex() >= 0) {
    Toggle(ItemIndex());
    Key = 0;
  }
}

// ---------------------------------------------------------------------------
// registration

namespace kxbarcustomform {

TCustomForm* HookForm() { return gForm; }
HWND HookSubMenuEditor() {
  TkxBarSubMenuEditor* e = kxBarGetSubMenuEditor();
  return e && e->HandleAllocated() ? e->Handle() : nullptr;
}
void HookStyleChanged() {
  if (!gForm) return;
  gForm->RefreshCommands();
  gForm->RefreshOptions();
  gForm->ApplyStyle();
}
void HookHelpButtonChanged() {
  if (gForm) gForm->UpdateHelpButton();
}
void HookBarRemoved(TkxBar* Bar) {
  if (gForm) gForm->BarRemoved(Bar);
}
void HookBarChanged(TkxBar* Bar) {
  if (gForm) gForm->BarChanged(Bar);
}
void HookItemsChanged() {
  if (gForm) gForm->ItemsChanged();
}
void HookSelectItem(TkxBarItem* Item, bool Force) {
  if (gForm) gForm->SelectItem(Item, Force);
}
void HookItemDestroyed() {
  if (gForm) gForm->ItemDestroyed();
}
void HookOptionsChanged() {
  if (gForm) gForm->RefreshOptions();
}
void HookCategoryChanged(TkxBarItem* Item) {
  if (gForm) gForm->CategoryChanged(Item);
}
void HookItemNameChanged() {
  if (gForm) gForm->CalcAllCommandsWidths();
}
void HookGroupsChanged() {
  if (gForm) gForm->RefreshGroups();
}
void HookGroupItemsChanged() {
  if (gForm) gForm->RefreshGroupItems();
}

}  // namespace kxbarcustomform

void kxBarMoveCommand(TkxBarCustomizingForm* Form, int Delta) {
  if (Form) Form->MoveCommand(Delta);
}

void kxBarRegisterCustomizingForms() {
  static bool done = false;
  if (!done) {
    done = true;
    RegisterClasses({TkxBarCustomizingForm::StaticClass(), TkxBarNameEd::StaticClass(),
                     TkxBarSubMenuEditor::StaticClass(), TkxBarItemAddEditor::StaticClass(),
                     TfrmAddGroupItems::StaticClass(), TCheckListBox::StaticClass(),
                     TCommandsListBox::StaticClass()});
    RegisterHandlers<TkxBarCustomizingForm>([](THandlerBuilder<TkxBarCustomizingForm>& h) {
      using F = TkxBarCustomizingForm;
      h.Field("PTop", &F::PTop);
      h.Field("PBottom", &F::PBottom);
      h.Field("PLeft", &F::PLeft);
      h.Field("PRight", &F::PRight);
      h.Field("PageControl", &F::PageControl);
      h.Field("TabSheet1", &F::TabSheet1);
      h.Field("TabSheet2", &F::TabSheet2);
      h.Field("TabSheet3", &F::TabSheet3);
      h.Field("TabSheet4", &F::TabSheet4);
      h.Field("TabSheet5", &F::TabSheet5);
      h.Field("LabelToobars", &F::LabelToobars);
      h.Field("BarsListBoxPlace", &F::BarsListBoxPlace);
      h.Field("BBarNew", &F::BBarNew);
      h.Field("BBarRename", &F::BBarRename);
      h.Field("BBarDelete", &F::BBarDelete);
      h.Field("BBarReset", &F::BBarReset);
      h.Field("LabelCategories", &F::LabelCategories);
      h.Field("LabelCommands", &F::LabelCommands);
      h.Field("LabelDescription", &F::LabelDescription);
      h.Field("BevelDescription", &F::BevelDescription);
      h.Field("DescriptionLabel", &F::DescriptionLabel);
      h.Field("LCategories", &F::LCategories);
      h.Field("LCommandsPlace", &F::LCommandsPlace);
      h.Field("CategoriesButtonPlace", &F::CategoriesButtonPlace);
      h.Field("CommandsButtonPlace", &F::CommandsButtonPlace);
      h.Field("StandardOptionsPanel", &F::StandardOptionsPanel);
      h.Field("CBLargeIcons", &F::CBLargeIcons);
      h.Field("CBHint1", &F::CBHint1);
      h.Field("CBHint2", &F::CBHint2);
      h.Field("LabelMenuAnimations", &F::LabelMenuAnimations);
      h.Field("ComboBoxMenuAnimations", &F::ComboBoxMenuAnimations);
      h.Field("EnhancedOptionsPanel", &F::EnhancedOptionsPanel);
      h.Field("Label3", &F::Label3);
      h.Field("Bevel3", &F::Bevel3);
      h.Field("CBMenusShowRecentItemsFirst", &F::CBMenusShowRecentItemsFirst);
      h.Field("CBShowFullMenusAfterDelay", &F::CBShowFullMenusAfterDelay);
      h.Field("BResetUsageData", &F::BResetUsageData);
      h.Field("Label2", &F::Label2);
      h.Field("Bevel2", &F::Bevel2);
      h.Field("CBLargeIconsEx", &F::CBLargeIconsEx);
      h.Field("CBHint1Ex", &F::CBHint1Ex);
      h.Field("CBHint2Ex", &F::CBHint2Ex);
      h.Field("Label1", &F::Label1);
      h.Field("ComboBoxMenuAnimationsEx", &F::ComboBoxMenuAnimationsEx);
      h.Field("LAllCommands", &F::LAllCommands);
      h.Field("CBShowCommandsWithShortCut", &F::CBShowCommandsWithShortCut);
      h.Field("GroupBoxGroups", &F::GroupBoxGroups);
      h.Field("GroupBoxItems", &F::GroupBoxItems);
      h.Field("lbGroups", &F::lbGroups);
      h.Field("lbGroupItems", &F::lbGroupItems);
      h.Field("btnGroupAdd", &F::btnGroupAdd);
      h.Field("btnGroupDelete", &F::btnGroupDelete);
      h.Field("btnGroupItemAdd", &F::btnGroupItemAdd);
      h.Field("btnGroupItemDelete", &F::btnGroupItemDelete);
      h.Field("btnMoveUp", &F::btnMoveUp);
      h.Field("btnMoveDown", &F::btnMoveDown);
      h.Field("BHelp", &F::BHelp);
      h.Field("BClose", &F::BClose);
      h.Handler("BCloseClick", &F::BCloseClick);
      h.Handler("BHelpClick", &F::BHelpClick);
      h.Handler("PageControlChange", &F::PageControlChange);
      h.Handler("BBarNewClick", &F::BBarNewClick);
      h.Handler("BBarRenameClick", &F::BBarRenameClick);
      h.Handler("BBarDeleteClick", &F::BBarDeleteClick);
      h.Handler("BBarResetClick", &F::BBarResetClick);
      h.Handler("CBLargeIconsClick", &F::CBLargeIconsClick);
      h.Handler("CBHint1Click", &F::CBHint1Click);
      h.Handler("CBHint2Click", &F::CBHint2Click);
      h.Handler("CBMenusShowRecentItemsFirstClick", &F::CBMenusShowRecentItemsFirstClick);
      h.Handler("CBShowFullMenusAfterDelayClick", &F::CBShowFullMenusAfterDelayClick);
      h.Handler("ComboBoxMenuAnimationsChange", &F::ComboBoxMenuAnimationsChange);
      h.Handler("BResetUsageDataClick", &F::BResetUsageDataClick);
      h.Handler("LCategoriesClick", &F::LCategoriesClick);
      h.Handler("LCategoriesKeyDown", &F::LCategoriesKeyDown);
      h.Handler("LCategoriesMouseDown", &F::LCategoriesMouseDown);
      h.Handler("LCategoriesDragOver", &F::LCategoriesDragOver);
      h.Handler("LCategoriesEndDrag", &F::LCategoriesEndDrag);
      h.Handler("LAllCommandsClick", &F::LAllCommandsClick);
      h.Handler("LAllCommandsDrawItem", &F::LAllCommandsDrawItem);
      h.Handler("CBShowCommandsWithShortCutClick", &F::CBShowCommandsWithShortCutClick);
      h.Handler("lbGroupsClick", &F::lbGroupsClick);
      h.Handler("lbGroupsDrawItem", &F::lbGroupsDrawItem);
      h.Handler("lbGroupsEnter", &F::lbGroupsEnter);
      h.Handler("lbGroupsKeyDown", &F::lbGroupsKeyDown);
      h.Handler("lbGroupItemsClick", &F::lbGroupItemsClick);
      h.Handler("lbGroupItemsEnter", &F::lbGroupItemsEnter);
      h.Handler("lbGroupItemsKeyDown", &F::lbGroupItemsKeyDown);
      h.Handler("btnGroupAddClick", &F::btnGroupAddClick);
      h.Handler("btnGroupDeleteClick", &F::btnGroupDeleteClick);
      h.Handler("btnGroupItemAddClick", &F::btnGroupItemAddClick);
      h.Handler("btnGroupItemDeleteClick", &F::btnGroupItemDeleteClick);
      h.Handler("btnMoveUpClick", &F::btnMoveUpClick);
      h.Handler("btnMoveDownClick", &F::btnMoveDownClick);
    });
    kxBarRegisterCustomizingEditors();
  }
  TkxBarCustomizingFormHooks hooks;
  hooks.Show = kxBarCustomizingFormShow;
  hooks.Form = HookForm;
  hooks.SubMenuEditor = HookSubMenuEditor;
  hooks.StyleChanged = HookStyleChanged;
  hooks.HelpButtonChanged = HookHelpButtonChanged;
  hooks.BarRemoved = HookBarRemoved;
  hooks.BarChanged = HookBarChanged;
  hooks.ItemsChanged = HookItemsChanged;
  hooks.SelectItem = HookSelectItem;
  hooks.ItemDestroyed = HookItemDestroyed;
  hooks.OptionsChanged = HookOptionsChanged;
  hooks.CategoryChanged = HookCategoryChanged;
  hooks.ItemNameChanged = HookItemNameChanged;
  hooks.GroupsChanged = HookGroupsChanged;
  hooks.GroupItemsChanged = HookGroupItemsChanged;
  kxBarSetCustomizingFormHooks(hooks);
}
