// Forms, data modules, the screen and the application.
#include "platform/controls/forms.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <deque>
#include <exception>
#include <map>
#include <unistd.h>
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {
std::deque<TModalScriptStep>& ModalScript() {
  static std::deque<TModalScriptStep> q;
  return q;
}

TMessageBoxProc gMessageBoxProc = nullptr;

}  // namespace

void PushModalScript(TModalScriptStep Step) { ModalScript().push_back(std::move(Step)); }
void ClearModalScript() { ModalScript().clear(); }
int PendingModalScriptSteps() { return int(ModalScript().size()); }

void SetMessageBoxProc(TMessageBoxProc Proc) { gMessageBoxProc = Proc; }

AnsiString PvMessageBoxText(const TCustomForm* Form) { return Form ? Form->FMessageBoxText : AnsiString(); }

void PvSetMessageBoxText(TCustomForm* Form, const AnsiString& Text) { Form->FMessageBoxText = Text; }

// ---------------------------------------------------------------------------
// the plain message box used until the dialogs library installs its own

namespace {
class TPlainMessageForm : public TForm {
 public:
  TPlainMessageForm(const AnsiString& Text, UINT Flags) : TForm(nullptr, 0), FText(Text), FFlags(Flags) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetKeyPreview(true);
    OnKeyDown = TKeyEvent(this, &TPlainMessageForm::Key);
    TRect r{0, 0, 400, 0};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    DrawTextA(dc, Text.c_str(), int(Text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteDC(dc);
    SetClientSize(std::max<int>(r.right + 24, 200), r.bottom + 60);
    PvSetMessageBoxText(this, Text);
  }

  // The result of Enter (the default button) and of Escape (the cancel button; 0: none).
  int DefaultResult() const {
    static const int first[] = {IDOK, IDOK, IDABORT, IDYES, IDYES, IDRETRY};
    static const int second[] = {0, IDCANCEL, IDRETRY, IDNO, IDNO, IDCANCEL};
    static const int third[] = {0, 0, IDIGNORE, IDCANCEL, 0, 0};
    UINT type = FFlags & MB_TYPEMASK;
    if (type > 5) type = 0;
    switch (FFlags & MB_DEFMASK) {
      case MB_DEFBUTTON2: return second[type] ? second[type] : first[type];
      case MB_DEFBUTTON3: return third[type] ? third[type] : first[type];
      default: return first[type];
    }
  }
  int CancelResult() const {
    switch (FFlags & MB_TYPEMASK) {
      case MB_OK: return IDOK;
      case MB_OKCANCEL:
      case MB_YESNOCANCEL:
      case MB_RETRYCANCEL: return IDCANCEL;
      default: return 0;
    }
  }

 protected:
  void Paint() override {
    TRect r = ClientRect();
    r.left += 12;
    r.top += 12;
    r.right -= 12;
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Font()->Assign(Font());
    Canvas()->TextRect(r, FText, DT_WORDBREAK | DT_NOPREFIX);
  }

 private:
  void Key(TObject*, Word& K, TShiftState) {
    if (K == VK_RETURN) SetModalResult(DefaultResult());
    else if (K == VK_ESCAPE && CancelResult()) SetModalResult(CancelResult());
  }
  AnsiString FText;
  UINT FFlags;
};

int PlainMessageBox(HWND, const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
  TPlainMessageForm f(Text, Flags);
  f.SetCaption(Caption);
  int r = f.ShowModal();
  return r;
}
}  // namespace

TMessageBoxProc GetMessageBoxProc() { return gMessageBoxProc ? gMessageBoxProc : &PlainMessageBox; }

int MessageBoxA(HWND Owner, const char* Text, const char* Caption, UINT Flags) {
  return GetMessageBoxProc()(Owner, Text ? Text : "", Caption ? Caption : "", Flags);
}

// ---------------------------------------------------------------------------
// TScrollingWinControl

// ---- TControlScrollBar ----

void TControlScrollBar::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TControlScrollBar*>(Source)) {
    FIncrement = b->FIncrement;
    FTracking = b->FTracking;
    FVisible = b->FVisible;
    SetRange(b->FRange);
    SetPosition(b->FPosition);
    return;
  }
  TPersistent::Assign(Source);
}

void TControlScrollBar::SetIncrement(int Value) {
  if (Value < 1) throw EInvalidOperation("A scroll increment must be at least 1");
  FIncrement = Value;
}

int TControlScrollBar::ControlSize() const {
  TRect r = FControl->ClientRect();
  return FKind == sbHorizontal ? r.Width() : r.Height();
}

int TControlScrollBar::MaxPosition() const {
  if (!FVisible) return 0;
  return std::max(0, FRange - ControlSize());
}

bool TControlScrollBar::IsScrollBarVisible() const { return FVisible && FRange > ControlSize(); }

void TControlScrollBar::SetPosition(int Value) {
  // While the control is being read the position is kept as given; the range
  // may not be known yet.
  bool loading = FControl->ComponentState().Contains(csLoading);
  int v = loading ? std::max(0, Value) : std::clamp(Value, 0, MaxPosition());
  if (v == FPosition) return;
  int old = FPosition;
  FPosition = v;
  if (loading) return;
  if (FKind == sbHorizontal) FControl->ScrollBy(old - v, 0);
  else FControl->ScrollBy(0, old - v);
  if (FControl->HandleAllocated()) SetScrollPos(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, v, TRUE);
}

void TControlScrollBar::DoSetRange(int Value) {
  FRange = std::max(0, Value);
  FControl->FBarsUsed = FControl->FBarsUsed || FRange > 0;
}

void TControlScrollBar::SetRange(int Value) {
  if (Value < 0) throw EInvalidOperation("A scroll range cannot be negative");
  FControl->FAutoScroll = false;
  DoSetRange(Value);
  FControl->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  FControl->UpdateScrollBars();
}

// WM_HSCROLL / WM_VSCROLL of the window's own bar.
void TControlScrollBar::ScrollMessage(TMessage& Message) {
  int code = LOWORD(Message.WParam);
  int page = ControlSize();
  // The message carries 16 bits of the thumb position; longer ranges read the bar.
  auto thumb = [&]() {
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    if (FRange > 0xFFFF && FControl->HandleAllocated() &&
        GetScrollInfo(FControl->Handle(), FKind == sbHorizontal ? SB_HORZ : SB_VERT, &si))
      return si.nTrackPos;
    return int(HIWORD(Message.WParam));
  };
  switch (code) {
    case SB_LINEUP: SetPosition(FPosition - FIncrement); break;
    case SB_LINEDOWN: SetPosition(FPosition + FIncrement); break;
    case SB_PAGEUP: SetPosition(FPosition - page); break;
    case SB_PAGEDOWN: SetPosition(FPosition + page); break;
    case SB_THUMBPOSITION: SetPosition(thumb()); break;
    case SB_THUMBTRACK:
      if (FTracking) SetPosition(thumb());
      break;
    case SB_TOP: SetPosition(0); break;
    case SB_BOTTOM: SetPosition(MaxPosition()); break;
    default: break;
  }
  Message.Result = 0;
}

// ---- TScrollingWinControl ----

TScrollingWinControl::TScrollingWinControl(TComponent* AOwner)
    : TWinControl(AOwner),
      FHorzScrollBar(new TControlScrollBar(this, sbHorizontal)),
      FVertScrollBar(new TControlScrollBar(this, sbVertical)) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool Value) {
  if (FAutoScroll == Value) return;
  FAutoScroll = Value;
  if (Value) {
    FBarsUsed = true;
    UpdateScrollBars();
  } else {
    FHorzScrollBar->DoSetRange(0);
    FVertScrollBar->DoSetRange(0);
    UpdateScrollBars();
  }
}

void TScrollingWinControl::CalcAutoRange() {
  if (!FAutoScroll || ComponentState().Contains(csLoading)) return;
  // The extent of the children in unscrolled coordinates. Controls aligned to
  // the far edge add their size; alClient controls follow the area and add nothing.
  int hx = 0, hMargin = 0, vy = 0, vMargin = 0;
  int hp = FHorzScrollBar->FPosition, vp = FVertScrollBar->FPosition;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    switch (c->Align()) {
      case alNone:
        if (c->Anchors() * TAnchors{akLeft, akRight} == TAnchors{akLeft}) hx = std::max(hx, hp + c->Left() + c->Width());
        if (c->Anchors() * TAnchors{akTop, akBottom} == TAnchors{akTop}) vy = std::max(vy, vp + c->Top() + c->Height());
        break;
      case alLeft: hx = std::max(hx, hp + c->Left() + c->Width()); break;
      case alRight: hMargin += c->Width(); break;
      case alTop: vy = std::max(vy, vp + c->Top() + c->Height()); break;
      case alBottom: vMargin += c->Height(); break;
      default: break;
    }
  }
  FHorzScrollBar->DoSetRange(hx + hMargin);
  FVertScrollBar->DoSetRange(vy + vMargin);
}

void TScrollingWinControl::UpdateScrollBars() {
  if (FUpdatingScrollBars > 0 || !FBarsUsed || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDestroying))
    return;
  ++FUpdatingScrollBars;
  try {
    CalcAutoRange();
    // Showing one bar narrows the client area and may make the other necessary:
    // settle until the client size stays put.
    for (int pass = 0; pass < 3; ++pass) {
      TRect before = ClientRect();
      for (TControlScrollBar* b : {FHorzScrollBar.get(), FVertScrollBar.get()}) {
        int size = b->ControlSize();
        if (HandleAllocated()) {
          SCROLLINFO si;
          si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
          si.nMin = 0;
          bool needed = b->FVisible && b->FRange > size;
          si.nMax = needed ? b->FRange - 1 : 0;
          si.nPage = needed ? UINT(size) : 0;
          si.nPos = needed ? std::min(b->FPosition, b->MaxPosition()) : 0;
          SetScrollInfo(Handle(), b->FKind == sbHorizontal ? SB_HORZ : SB_VERT, &si, TRUE);
        }
      }
      if (ClientRect() == before) break;
    }
    // The client area may have grown: pull the contents back within range.
    for (TControlScrollBar* b : {FHorzScrollBar.get(), FVertScrollBar.get()}) b->SetPosition(b->FPosition);
  } catch (...) {
    --FUpdatingScrollBars;
    throw;
  }
  --FUpdatingScrollBars;
}

void TScrollingWinControl::AdjustClientRect(TRect& Rect) {
  // Aligned children are laid out over the whole scrolled area.
  TWinControl::AdjustClientRect(Rect);
  if (!FBarsUsed) return;
  int hp = FHorzScrollBar->FVisible ? FHorzScrollBar->FPosition : 0;
  int vp = FVertScrollBar->FVisible ? FVertScrollBar->FPosition : 0;
  int w = std::max(Rect.Width(), FHorzScrollBar->FVisible ? FHorzScrollBar->FRange : 0);
  int h = std::max(Rect.Height(), FVertScrollBar->FVisible ? FVertScrollBar->FRange : 0);
  Rect = {Rect.left - hp, Rect.top - vp, Rect.left - hp + w, Rect.top - vp + h};
}

void TScrollingWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  if (FAutoRangeLevel == 0) {
    ++FAutoRangeLevel;
    CalcAutoRange();
    --FAutoRangeLevel;
  }
  TWinControl::AlignControls(AControl, Rect);
  UpdateScrollBars();
}

void TScrollingWinControl::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScrollBars();
}

void TScrollingWinControl::WMSize(TWMSize& Message) {
  TWinControl::WMSize(Message);
  UpdateScrollBars();
}

void TScrollingWinControl::WMHScroll(TMessage& Message) {
  if (Message.LParam == 0 && FBarsUsed) {
    FHorzScrollBar->ScrollMessage(Message);
    return;
  }
  TWinControl::WMHScroll(Message);
}

void TScrollingWinControl::WMVScroll(TMessage& Message) {
  if (Message.LParam == 0 && FBarsUsed) {
    FVertScrollBar->ScrollMessage(Message);
    return;
  }
  TWinControl::WMVScroll(Message);
}

bool TScrollingWinControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  // The vertical bar scrolls (the horizontal one with Shift, or when it is the only one).
  TControlScrollBar* b = FVertScrollBar.get();
  if (Shift.Contains(ssShift) || !b->IsScrollBarVisible()) b = FHorzScrollBar.get();
  if (!b->IsScrollBarVisible() || WheelDelta == 0) return false;
  int lines = Mouse ? Mouse->WheelScrollLines() : 3;
  if (lines <= 0) lines = 3;
  long long step = static_cast<long long>(WheelDelta) * lines * b->FIncrement / WHEEL_DELTA;
  if (step == 0) step = WheelDelta > 0 ? 1 : -1;
  b->SetPosition(int(std::clamp<long long>(b->FPosition - step, 0, b->MaxPosition())));
  return true;
}

void TScrollingWinControl::AutoScrollInView(TControl* AControl) {
  if (FAutoScroll && AControl && !ComponentState().Contains(csLoading) && !AControl->ComponentState().Contains(csLoading))
    ScrollInView(AControl);
}

void TScrollingWinControl::ScrollInView(TControl* AControl) {
  if (!AControl || AControl == this || !ContainsControl(AControl)) return;
  // The control's bounds in this control's client coordinates.
  TPoint o = AControl->ClientToParent({0, 0}, this);
  TRect r{o.x, o.y, o.x + AControl->Width(), o.y + AControl->Height()};
  TRect client = ClientRect();
  auto bring = [](TControlScrollBar* b, int lo, int hi, int size) {
    if (!b->IsScrollBarVisible()) return;
    if (lo < 0) b->SetPosition(b->Position() + lo);
    else if (hi > size) {
      // A control larger than the area shows its leading edge.
      if (hi - lo > size) hi = lo + size;
      b->SetPosition(b->Position() + hi - size);
    }
  };
  bring(FHorzScrollBar.get(), r.left, r.right, client.Width());
  bring(FVertScrollBar.get(), r.top, r.bottom, client.Height());
}

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TScrollingWinControl(AOwner), FIcon(new TIcon), FCanvas(new TControlCanvas) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FControlState << csCustomPaint;
  FVisible = false;
  FColor = clBtnFace;
  FParentColor = false;
  FParentFont = false;
  FBrush->SetColor(FColor);
  FWidth = 320;
  FHeight = 240;
  FLeft = 100;
  FTop = 100;
  FCanvas->SetControl(this);
  FFormState << fsCreating;
  AddGlobalRoot(this);
  if (Screen) Screen->AddForm(this);
  FIcon->OnChange = TNotifyEvent(this, &TCustomForm::IconChanged);
}

// Hands the form's Icon to its window whenever it changes.
void TCustomForm::IconChanged(TObject*) {
  if (HandleAllocated()) SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

TCustomForm::TCustomForm(TComponent* AOwner, int) : TCustomForm(AOwner) {
  // Nothing to read: the form can be shown as soon as it exists.
  FCreateNew = true;
  FFormState >> fsCreating;
}

TCustomForm::~TCustomForm() {
  FCanvas->FreeHandle();
  // an MDI child's window goes through its client here, while the form is still whole
  if (FFormStyle == fsMDIChild && FHandle) DestroyWindowHandle();
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  FIcon->OnChange = TNotifyEvent();
  if (FMenu) FMenu->SetWindowHandle(nullptr);
  FActiveControl = nullptr;
  FFocusedControl = nullptr;
}

void TCustomForm::AfterConstruction() {
  TScrollingWinControl::AfterConstruction();
  try {
    if (!FCreateNew && ClassType() != TForm::StaticClass() && ClassType() != TCustomForm::StaticClass()) {
      if (!InitInheritedComponent(this, TForm::StaticClass()))
        throw EResNotFound("Resource " + ClassName() + " not found");
    }
  } catch (...) {
    FFormState >> fsCreating;
    throw;
  }
  FFormState >> fsCreating;
  DoCreate();
  if (FFormStyle == fsMDIChild) FFormState << fsVisible;
  if (FFormState.Contains(fsVisible)) {
    FFormState >> fsVisible;
    FVisible = false;
    SetVisible(true);
  }
}

void TCustomForm::BeforeDestruction() {
  if (!FDestroyedHandled) {
    FDestroyedHandled = true;
    try {
      DoDestroy();
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  if (Screen) Screen->RemoveForm(this);
  TScrollingWinControl::BeforeDestruction();
}

// A failing OnCreate is reported through the application and the form is
// made all the same, so a window whose start-up work fails still opens.
void TCustomForm::DoCreate() {
  if (!OnCreate) return;
  try {
    OnCreate(this);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(this);
  }
}
void TCustomForm::DoDestroy() {
  if (OnDestroy) OnDestroy(this);
}
void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}
void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC) {
  FCanvas->FreeHandle();
  FCanvas->Lock();
  FCanvas->SetHandle(DC);
  try {
    Paint();
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
    throw;
  }
  FCanvas->SetHandle(nullptr);
  FCanvas->Unlock();
}

void TCustomForm::Loaded() {
  TScrollingWinControl::Loaded();
  if (FClientWidth > 0 || FClientHeight > 0) {
    TRect c = ClientRect();
    int w = FClientWidth > 0 ? FClientWidth : c.right;
    int h = FClientHeight > 0 ? FClientHeight : c.bottom;
    FClientWidth = FClientHeight = 0;
    SetClientSize(w, h);
  }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TScrollingWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FMenu) {
    FMenu = nullptr;
  }
  if (AComponent == FActiveControl) FActiveControl = nullptr;
  if (AComponent == FFocusedControl) FFocusedControl = nullptr;
  if (AComponent == FWindowMenu) FWindowMenu = nullptr;
}

void TCustomForm::GetChildren(TGetChildProc Proc, TComponent* Root) {
  // Components without a parent (menus, lists, timers) come first, then the controls.
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (!c->HasParent()) Proc(c);
  }
  TScrollingWinControl::GetChildren(Proc, Root);
}

void TCustomForm::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (FHandle && !FParent && AParent) DestroyHandle();
  TScrollingWinControl::SetParent(AParent);
}

// -- style --

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (Value == FFormStyle) return;
  if (Value == fsMDIChild && FHandle && !ComponentState().Contains(csLoading)) {
    throw EInvalidOperation("Cannot change the style of a form that is shown");
  }
  FFormStyle = Value;
  if (FHandle) RecreateWnd();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (FHandle) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  if (FHandle) RecreateWnd();
}

void TCustomForm::SetPosition(TPosition Value) { FPosition = Value; }

TWindowState TCustomForm::WindowState() const {
  if (FHandle) {
    if (IsIconic(FHandle)) return wsMinimized;
    if (IsZoomed(FHandle)) return wsMaximized;
    return FShowing ? wsNormal : FWindowState;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  FWindowState = Value;
  if (FHandle && FShowing) {
    static const int cmd[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
    ShowWindow(FHandle, cmd[Value]);
  }
}

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (FMenu) {
    FMenu->SetWindowHandle(nullptr);
    FMenu->RemoveFreeNotification(this);
  }
  FMenu = Value;
  if (Value) {
    Value->FreeNotification(this);
    if (FHandle) Value->SetWindowHandle(FHandle);
  }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TScrollingWinControl::CreateParams(Params);
  if (FParent) return;  // a form placed inside another control acts as a child
  if (FParentWindow) {
    // a form given a parent window is a child window of it, without a frame
    Params.Style &= ~DWORD(WS_TABSTOP);
    if (!FEnabled) Params.Style |= WS_DISABLED;
    Params.Style |= WS_CLIPCHILDREN;
    Params.WndParent = FParentWindow;
    Params.WindowClass.style = CS_DBLCLKS;
    return;
  }
  Params.Style = WS_CLIPCHILDREN;
  Params.ExStyle = 0;
  switch (FBorderStyle) {
    case bsNone: Params.Style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
  if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
    Params.Style |= WS_SYSMENU;
    if (FBorderStyle != bsDialog && FBorderStyle != bsToolWindow && FBorderStyle != bsSizeToolWin) {
      if (FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
      if (FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  Params.WndParent = nullptr;
  if (FFormStyle == fsMDIChild) {
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main || main->FFormStyle != fsMDIForm || !main->FClientHandle)
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    Params.Style &= ~DWORD(WS_POPUP);
    Params.ExStyle |= WS_EX_MDICHILD;
    Params.WndParent = main->FClientHandle;
    // the MDI client keeps the child's activation, maximized state and size
    Params.WindowClass.lpfnWndProc = DefMDIChildProcA;
  } else if (Application && Application->MainForm() && Application->MainForm() != this &&
             Application->MainForm()->HandleAllocated()) {
    // Secondary windows stay above the main form.
    Params.WndParent = Application->MainForm()->FHandle;
  } else if (FParentWindow) {
    Params.WndParent = FParentWindow;
  }
  Params.WindowClass.style = CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
  TScrollingWinControl::CreateWnd();
  if (FFormStyle == fsMDIForm && !FClientHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                    0, 0, r.right, r.bottom, FHandle, nullptr, nullptr, nullptr);
  }
  if (FMenu) FMenu->SetWindowHandle(FHandle);
  if (!FText.empty()) SetWindowTextA(FHandle, FText.c_str());
  if (!FIcon->Empty()) IconChanged(nullptr);
}

void TCustomForm::DestroyWindowHandle() {
  // an MDI child leaves through its client, which activates the next child first
  if (FFormStyle == fsMDIChild && FHandle)
    if (HWND client = GetParent(FHandle)) SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(FHandle), 0);
  FClientHandle = nullptr;
  TScrollingWinControl::DestroyWindowHandle();
}

TRect TCustomForm::ClientRect() {
  if (FHandle || !FMenu) return TScrollingWinControl::ClientRect();
  // Before the window exists: the menu bar it will get takes its line too, so
  // that a client size set now (a description's) holds once the bar is there.
  TCreateParams p;
  CreateParams(p);
  if (p.Style & WS_CHILD) return TScrollingWinControl::ClientRect();
  RECT nc{0, 0, 0, 0};
  AdjustWindowRectEx(&nc, p.Style, TRUE, p.ExStyle);
  return {0, 0, std::max(0, FWidth - nc.Width()), std::max(0, FHeight - nc.Height())};
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TScrollingWinControl::AlignControls(AControl, Rect);
  if (FClientHandle) SetWindowPos(FClientHandle, nullptr, Rect.left, Rect.top, std::max<int>(0, Rect.Width()),
                                  std::max<int>(0, Rect.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}

// -- showing --

void TCustomForm::PlaceForm() {
  if (FParent || FFormStyle == fsMDIChild) return;
  TRect work = Screen ? Screen->WorkAreaRect() : TRect{0, 0, 1920, 1080};
  auto center = [&](const TRect& area) {
    SetBounds(area.left + (area.Width() - FWidth) / 2, area.top + (area.Height() - FHeight) / 2, FWidth, FHeight);
  };
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: center(work); break;
    case poMainFormCenter:
      if (Application && Application->MainForm() && Application->MainForm() != this) center(Application->MainForm()->BoundsRect());
      else center(work);
      break;
    case poOwnerFormCenter: {
      auto* owner = dynamic_cast<TCustomForm*>(Owner());
      if (owner && owner != this) center(owner->BoundsRect());
      else if (Application && Application->MainForm() && Application->MainForm() != this) center(Application->MainForm()->BoundsRect());
      else center(work);
      break;
    }
    default: break;
  }
  FPosition = poDesigned;  // placed once
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle && FShowing) {
    if (FFormStyle == fsMDIChild) {
      if (Application && Application->MainForm()) Application->MainForm()->ActivateMDIChild(this);
    } else {
      SetWindowPos(FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      SetActiveWindow(FHandle);
    }
  }
}

void TCustomForm::CMVisibleChanged3(TMessage& M) {
  if (FFormState.Contains(fsCreating) || ComponentState().Contains(csLoading) ||
      FControlState.Contains(csReadingState)) {
    // Shown once construction is over.
    if (FVisible) FFormState << fsVisible;
    else FFormState >> fsVisible;
    FVisible = false;
    return;
  }
  if (FParent) {
    TScrollingWinControl::CMVisibleChanged2(M);
    return;
  }
  if (FVisible) {
    if (!FHandle) CreateHandle();
    if (FShowing) return;
    FShowing = true;
    try {
      for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
      Realign();
      DoShow();
      PlaceForm();
      static const int cmd[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
      ShowWindow(FHandle, cmd[FWindowState]);
      if (FFormStyle == fsMDIChild && Application && Application->MainForm())
        Application->MainForm()->ActivateMDIChild(this);
    } catch (...) {
      FShowing = false;
      throw;
    }
  } else {
    if (!FHandle || !FShowing) return;
    DoHide();
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    bool wasActiveChild = FFormStyle == fsMDIChild && main && main->ActiveMDIChild() == this;
    ShowWindow(FHandle, SW_HIDE);
    FShowing = false;
    if (wasActiveChild) {
      if (TCustomForm* next = main->ActiveMDIChild()) main->ActivateMDIChild(next);
    }
  }
}

void TCustomForm::CMShowingChanged2(TMessage& M) {
  if (FParent) TScrollingWinControl::CMShowingChanged(M);
}

bool TCustomForm::CanFocus() { return FVisible && FEnabled; }

void TCustomForm::SetFocus() {
  if (!FVisible || !FEnabled) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (FFormStyle == fsMDIChild) {
    if (Application && Application->MainForm()) Application->MainForm()->ActivateMDIChild(this);
    return;
  }
  SetActiveWindow(Handle());
  if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
  else ::SetFocus(FHandle);
}

// -- closing --

bool TCustomForm::CloseQuery() {
  if (FFormStyle == fsMDIForm) {
    for (TCustomForm* c : MDIChildList())
      if (!c->CloseQuery()) return false;
  }
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (FFormStyle == fsMDIChild) action = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  // The message dies with the window, so a form freed meanwhile is never touched.
  PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::CMRelease(TMessage&) { Free(); }

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  switch (action) {
    case caNone: FModalResult = mrNone; break;
    case caFree: Release(); break;
    default: break;
  }
}

namespace {
struct DisabledWindows {
  std::vector<HWND> list;
  HWND except = nullptr;
};
BOOL DisableProc(HWND h, LPARAM l) {
  auto* d = reinterpret_cast<DisabledWindows*>(l);
  if (h != d->except && IsWindowVisible(h) && IsWindowEnabled(h) && FindControl(h) &&
      !dynamic_cast<THintWindow*>(FindControl(h))) {
    d->list.push_back(h);
    EnableWindow(h, FALSE);
  }
  return TRUE;
}
}  // namespace

int TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND cap = GetCapture()) {
    SendMessageA(cap, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
  }
  CancelDrag();
  if (Application) Application->CancelHint();
  HWND activeWindow = GetActiveWindow();
  FFormState << fsModal;
  if (Application) Application->FModalLevel++;
  HandleNeeded();
  DisabledWindows disabled;
  disabled.except = FHandle;
  EnumWindows(&DisableProc, reinterpret_cast<LPARAM>(&disabled));
  struct Restore {
    TCustomForm* self;
    DisabledWindows& d;
    HWND active;
    ~Restore() {
      for (HWND h : d.list)
        if (IsWindow(h)) EnableWindow(h, TRUE);
      if (active && IsWindow(active)) SetActiveWindow(active);
      self->FFormState >> fsModal;
      if (Application) Application->FModalLevel--;
    }
  } restore{this, disabled, activeWindow};
  int result;
  {
    struct HideOnExit {
      TCustomForm* self;
      ~HideOnExit() {
        try {
          self->Hide();
        } catch (...) {
        }
      }
    } hide{this};
    Show();
    FModalResult = mrNone;
    if (!ModalScript().empty()) PostMessageA(FHandle, CM_RUNMODALSCRIPT, 0, 0);
    SendMessageA(FHandle, CM_ACTIVATE, 0, 0);
    do {
      Application->HandleMessage();
      if (Application->Terminated()) FModalResult = mrCancel;
      else if (FModalResult != mrNone) CloseModal();
    } while (FModalResult == mrNone);
    result = FModalResult;
    SendMessageA(FHandle, CM_DEACTIVATE, 0, 0);
  }
  return result;
}

// -- activation and focus --

void TCustomForm::WMActivate(TMessage& M) {
  DefaultHandler(M);
  if (FFormStyle == fsMDIForm && LOWORD(M.WParam) != WA_INACTIVE) {
    // The frame's activation goes on to its active child.
    if (TCustomForm* c = ActiveMDIChild()) {
      c->FActive = true;
      c->Activate();
      if (c->FActiveControl && c->FActiveControl->CanFocus()) ::SetFocus(c->FActiveControl->Handle());
      if (Screen) Screen->SetActiveForm(c);
      return;
    }
  }
  bool active = LOWORD(M.WParam) != WA_INACTIVE;
  if (active == FActive) return;
  FActive = active;
  if (active) {
    if (Screen) Screen->SetActiveForm(this);
    Activate();
    if (!FHandle) return;
    if (FActiveControl && FActiveControl->CanFocus() && !FActiveControl->ComponentState().Contains(csDestroying)) {
      ::SetFocus(FActiveControl->Handle());
    } else if (!FActiveControl) {
      TWinControl* first = FindNextControl(nullptr, true, true, false);
      if (first) first->SetFocus();
      else ::SetFocus(FHandle);
    }
  } else {
    Deactivate();
    if (FFormStyle == fsMDIForm)
      if (TCustomForm* c = ActiveMDIChild()) {
        c->FActive = false;
        c->Deactivate();
      }
  }
}

void TCustomForm::CMActivate(TMessage&) {}
void TCustomForm::CMDeactivate(TMessage&) {}

void TCustomForm::WMMouseActivate(TMessage& M) {
  DefaultHandler(M);
  if (FFormStyle == fsMDIChild && Application && Application->MainForm())
    Application->MainForm()->ActivateMDIChild(this);
}

void TCustomForm::WMNCActivate(TMessage& M) { DefaultHandler(M); }
void TCustomForm::WMShowWindow(TMessage& M) { DefaultHandler(M); }

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) {
    if (Control && FActive && FHandle && !Control->Focused() && Control->CanFocus()) ::SetFocus(Control->Handle());
    return;
  }
  if (Control && !ComponentState().Contains(csLoading)) {
    if (Control == this || GetParentForm(Control) != this)
      throw EInvalidOperation("Invalid active control");
  }
  FActiveControl = Control;
  if (Control) Control->FreeNotification(this);
  if (!ComponentState().Contains(csLoading) && FActive && FHandle && Control && Control->CanFocus())
    ::SetFocus(Control->Handle());
}

void TCustomForm::FocusControl(TWinControl* Control) {
  bool wasActive = FActive;
  SetActiveControl(Control);
  if (!wasActive && FVisible && FEnabled && FHandle) {
    if (FFormStyle == fsMDIChild) {
      if (Application && Application->MainForm()) Application->MainForm()->ActivateMDIChild(this);
    } else {
      SetActiveWindow(FHandle);
    }
    if (Control && Control->CanFocus()) ::SetFocus(Control->Handle());
  }
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->Parent();
  if (FActiveControl && Control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
  // The screen must not keep a control that is going away.
  if (Removing && Screen && Screen->ActiveControl() && Control->ContainsControl(Screen->ActiveControl()))
    Screen->SetActiveControl(nullptr);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  if (ComponentState().Contains(csDestroying)) return false;
  if (Control != this) FActiveControl = Control;
  if (Screen) Screen->SetActiveControl(Control);
  if (FFocusedControl == Control) return true;
  TWinControl* old = FFocusedControl;
  FFocusedControl = Control;
  // Leave the controls that do not contain the new one, innermost first.
  for (TWinControl* p = old; p && p != this; p = p->Parent()) {
    if (p == Control || p->ContainsControl(Control)) break;
    p->Perform(CM_EXIT, 0, 0);
    if (FFocusedControl != Control) return false;  // a handler moved the focus elsewhere
  }
  // Enter the controls that did not contain the old one, outermost first.
  std::vector<TWinControl*> chain;
  for (TWinControl* p = Control; p && p != this; p = p->Parent()) {
    if (old && (p == old || p->ContainsControl(old))) break;
    chain.push_back(p);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    (*it)->Perform(CM_ENTER, 0, 0);
    if (FFocusedControl != Control) return false;
  }
  Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  // Scrolling containers bring the control into view, innermost first.
  if (Control && Control != this)
    for (TWinControl* p = Control->Parent(); p; p = p->Parent())
      if (auto* s = dynamic_cast<TScrollingWinControl*>(p)) s->AutoScrollInView(Control);
  return true;
}

// -- keys --

void TCustomForm::CMDialogKey2(TMessage& M) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (M.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          M.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->Parent()) {
          FActiveControl->Parent()->SelectNext(FActiveControl, M.WParam == VK_RIGHT || M.WParam == VK_DOWN, false);
          M.Result = 1;
        }
        return;
      default: break;
    }
  }
  TScrollingWinControl::CMDialogKey(M);
}

bool TCustomForm::IsShortCut(TWMKey& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  if (FMenu && FMenu->IsShortCut(Message)) return true;
  if (FFormStyle == fsMDIForm)
    if (TCustomForm* c = ActiveMDIChild())
      if (c->IsShortCut(Message)) return true;
  TShortCut sc = ShortCutFromMessage(Message);
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* l = dynamic_cast<TCustomActionList*>(Components(i)))
      if (l->IsShortCut(sc)) return true;
  return false;
}

void TCustomForm::UpdateActions() {
  if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csDestroying)) return;
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* c = Components(i);
    if (auto* l = dynamic_cast<TCustomActionList*>(c)) {
      l->UpdateActions();
    } else if (auto* m = dynamic_cast<TMenu*>(c)) {
      std::function<void(TMenuItem*)> walk = [&](TMenuItem* item) {
        for (int k = 0; k < item->Count(); ++k) {
          item->Items(k)->InitiateAction();
          walk(item->Items(k));
        }
      };
      walk(m->Items());
    }
  }
  std::function<void(TWinControl*)> walk = [&](TWinControl* w) {
    for (int k = 0; k < w->ControlCount(); ++k) {
      TControl* c = w->Controls(k);
      if (!c->Visible()) continue;
      c->TControl::InitiateAction();
      if (auto* cw = dynamic_cast<TWinControl*>(c)) walk(cw);
    }
  };
  walk(this);
}

// -- window messages --

void TCustomForm::WMSysCommand(TMessage& M) {
  switch (M.WParam & 0xFFF0) {
    case SC_CLOSE:
      Close();
      return;
    case SC_MINIMIZE:
      if (Application && Application->MainForm() == this) {
        DefaultHandler(M);
        return;
      }
      break;
    default: break;
  }
  DefaultHandler(M);
}

void TCustomForm::WMCommand2(TWMCommand& M) {
  if (M.LParam == 0 && M.NotifyCode() <= 1) {
    if (FMenu && FMenu->DispatchCommand(M.ItemID())) return;
    for (int i = 0; i < ComponentCount(); ++i)
      if (auto* pm = dynamic_cast<TPopupMenu*>(Components(i)))
        if (pm->DispatchCommand(M.ItemID())) return;
  }
  TScrollingWinControl::WMCommand(M);
}

void TCustomForm::WMMenuMessage(TMessage& M) {
  if (FMenu && FMenu->DispatchMenuMessage(M)) return;
  if (M.Msg == WM_DRAWITEM) TScrollingWinControl::WMDrawItem(M);
  else if (M.Msg == WM_MEASUREITEM) TScrollingWinControl::WMMeasureItem(M);
  else DefaultHandler(M);
}

void TCustomForm::WMSize2(TWMSize& M) {
  TScrollingWinControl::WMSize(M);
  // The application window is minimised and restored with its main form, and
  // is told so as the platform tells it.
  const bool wasMinimized = FWindowState == wsMinimized;
  if (Application && Application->MainForm() == this && Application->FHandle &&
      (M.SizeType() == SIZE_MINIMIZED) != wasMinimized)
    SendMessageA(Application->FHandle, WM_SIZE, M.SizeType(), 0);
  if (M.SizeType() == SIZE_MINIMIZED) FWindowState = wsMinimized;
  else if (M.SizeType() == SIZE_MAXIMIZED) FWindowState = wsMaximized;
  else if (M.SizeType() == SIZE_RESTORED) FWindowState = wsNormal;
}

void TCustomForm::WMGetMinMaxInfo(TMessage& M) {
  DefaultHandler(M);
  auto* mmi = reinterpret_cast<MINMAXINFO*>(M.LParam);
  if (!mmi) return;
  if (Constraints()->MinWidth() > 0) mmi->ptMinTrackSize.x = Constraints()->MinWidth();
  if (Constraints()->MinHeight() > 0) mmi->ptMinTrackSize.y = Constraints()->MinHeight();
  if (Constraints()->MaxWidth() > 0) mmi->ptMaxTrackSize.x = Constraints()->MaxWidth();
  if (Constraints()->MaxHeight() > 0) mmi->ptMaxTrackSize.y = Constraints()->MaxHeight();
}

void TCustomForm::CMTextChanged2(TMessage& M) { TScrollingWinControl::CMTextChanged(M); }
void TCustomForm::CMMenuChanged(TMessage&) {}

// -- MDI --

std::vector<TCustomForm*> TCustomForm::MDIChildList() {
  std::vector<TCustomForm*> r;
  if (!FClientHandle) return r;
  for (HWND h = GetWindow(FClientHandle, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (auto* f = dynamic_cast<TCustomForm*>(FindControl(h)))
      if (f->FFormStyle == fsMDIChild && !f->ComponentState().Contains(csDestroying)) r.push_back(f);
  return r;
}

int TCustomForm::MDIChildCount() { return int(MDIChildList().size()); }

TCustomForm* TCustomForm::MDIChildren(int Index) {
  auto l = MDIChildList();
  if (Index < 0 || Index >= int(l.size())) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return l[std::size_t(Index)];
}

TCustomForm* TCustomForm::ActiveMDIChild() {
  for (TCustomForm* f : MDIChildList())
    if (f->FShowing) return f;
  return nullptr;
}

void TCustomForm::ActivateMDIChild(TCustomForm* Child) {
  if (!Child || !Child->FHandle || !FClientHandle) return;
  TCustomForm* old = ActiveMDIChild();
  SetWindowPos(Child->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(FClientHandle, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Child->FHandle), 0);
  if (!Child->FHandle || !FClientHandle) return;
  if (old == Child && Child->FActive) return;
  if (old && old != Child && old->FActive) {
    old->FActive = false;
    old->Deactivate();
  }
  Child->FActive = true;
  if (Screen) Screen->SetActiveForm(Child);
  Child->Activate();
  if (Child->FActiveControl && Child->FActiveControl->CanFocus()) ::SetFocus(Child->FActiveControl->Handle());
  else if (TWinControl* first = Child->FindNextControl(nullptr, true, true, false)) first->SetFocus();
  else ::SetFocus(Child->FHandle);
}

void TCustomForm::Cascade() {
  if (!FClientHandle) return;
  auto list = MDIChildList();  // top first
  std::vector<TCustomForm*> shown;
  for (auto it = list.rbegin(); it != list.rend(); ++it)
    if ((*it)->FShowing && !IsIconic((*it)->FHandle)) shown.push_back(*it);
  if (shown.empty()) return;
  RECT cr;
  GetClientRect(FClientHandle, &cr);
  int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
  int n = int(shown.size());
  int w = std::max<int>(cr.right - step * (n - 1), cr.right / 2);
  int h = std::max<int>(cr.bottom - step * (n - 1), cr.bottom / 2);
  for (int i = 0; i < n; ++i) {
    int off = step * i;
    if (off + step > cr.bottom - step) off = 0;
    if (IsZoomed(shown[std::size_t(i)]->FHandle)) ShowWindow(shown[std::size_t(i)]->FHandle, SW_RESTORE);
    SetWindowPos(shown[std::size_t(i)]->FHandle, HWND_TOP, off, off, w, h, SWP_NOACTIVATE);
  }
}

void TCustomForm::Tile() {
  if (!FClientHandle) return;
  auto list = MDIChildList();
  std::vector<TCustomForm*> shown;
  for (TCustomForm* f : list)
    if (f->FShowing && !IsIconic(f->FHandle)) shown.push_back(f);
  if (shown.empty()) return;
  RECT cr;
  GetClientRect(FClientHandle, &cr);
  int n = int(shown.size());
  // One row or column for up to three windows, a grid beyond.
  int lines = n <= 3 ? n : int(std::ceil(std::sqrt(double(n))));
  int across = (n + lines - 1) / lines;
  int k = 0;
  for (int line = 0; line < lines && k < n; ++line) {
    int inLine = std::min(across, n - k);
    if (line == lines - 1) inLine = n - k;
    for (int j = 0; j < inLine; ++j, ++k) {
      TCustomForm* f = shown[std::size_t(k)];
      int x, y, w, h;
      if (FTileMode == tbHorizontal) {
        // Wide windows stacked from top to bottom.
        h = cr.bottom / lines;
        y = line * h;
        w = cr.right / inLine;
        x = j * w;
        if (line == lines - 1) h = cr.bottom - y;
        if (j == inLine - 1) w = cr.right - x;
      } else {
        // Tall windows side by side.
        w = cr.right / lines;
        x = line * w;
        h = cr.bottom / inLine;
        y = j * h;
        if (line == lines - 1) w = cr.right - x;
        if (j == inLine - 1) h = cr.bottom - y;
      }
      if (IsZoomed(f->FHandle)) ShowWindow(f->FHandle, SW_RESTORE);
      SetWindowPos(f->FHandle, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void TCustomForm::ArrangeIcons() {
  if (!FClientHandle) return;
  RECT cr;
  GetClientRect(FClientHandle, &cr);
  int iw = GetSystemMetrics(SM_CXMINIMIZED), ih = GetSystemMetrics(SM_CYMINIMIZED);
  if (iw <= 0) iw = 160;
  if (ih <= 0) ih = 24;
  int x = 0, y = cr.bottom - ih;
  auto list = MDIChildList();
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    TCustomForm* f = *it;
    if (!f->FShowing || !IsIconic(f->FHandle)) continue;
    SetWindowPos(f->FHandle, nullptr, x, y, iw, ih, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    x += iw;
    if (x + iw > cr.right) {
      x = 0;
      y -= ih;
    }
  }
}

void TCustomForm::Next() {
  auto list = MDIChildList();
  std::vector<TCustomForm*> shown;
  for (TCustomForm* f : list)
    if (f->FShowing) shown.push_back(f);
  if (shown.size() < 2) return;
  // The active child goes to the back; the one below it becomes active.
  SetWindowPos(shown.front()->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  shown.front()->FActive = false;
  shown.front()->Deactivate();
  ActivateMDIChild(shown[1]);
}

void TCustomForm::Previous() {
  auto list = MDIChildList();
  std::vector<TCustomForm*> shown;
  for (TCustomForm* f : list)
    if (f->FShowing) shown.push_back(f);
  if (shown.size() < 2) return;
  ActivateMDIChild(shown.back());
}

void TCustomForm::MergeMenu(bool) {}
void TCustomForm::UpdateWindowState() {}

// ---------------------------------------------------------------------------
// TDataModule

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) {
  AddGlobalRoot(this);
  if (Screen) Screen->FDataModules.push_back(this);
}

TDataModule::TDataModule(TComponent* AOwner, int) : TDataModule(AOwner) { FCreateNew = true; }

TDataModule::~TDataModule() {
  if (Screen) {
    auto& v = Screen->FDataModules;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
}

void TDataModule::AfterConstruction() {
  TComponent::AfterConstruction();
  if (!FCreateNew && ClassType() != TDataModule::StaticClass()) {
    if (!InitInheritedComponent(this, TDataModule::StaticClass()))
      throw EResNotFound("Resource " + ClassName() + " not found");
  }
  if (OnCreate) {
    try {
      OnCreate(this);
    } catch (...) {
      if (!Application) throw;
      Application->HandleException(this);
    }
  }
}

void TDataModule::BeforeDestruction() {
  if (!FDestroyed) {
    FDestroyed = true;
    try {
      if (OnDestroy) OnDestroy(this);
    } catch (...) {
      if (Application) Application->HandleException(this);
    }
  }
  TComponent::BeforeDestruction();
}

void TDataModule::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) Proc(Components(i));
}

// ---------------------------------------------------------------------------
// TScreen

TRect TMonitor::BoundsRect() const {
  MONITORINFO mi;
  GetMonitorInfoA(FHandle, &mi);
  return mi.rcMonitor;
}
TRect TMonitor::WorkareaRect() const {
  MONITORINFO mi;
  GetMonitorInfoA(FHandle, &mi);
  return mi.rcWork;
}

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), FHintFont(new TFont), FMenuFont(new TFont), FIconFont(new TFont) {
  FMonitor = std::make_unique<TMonitor>(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

TScreen::~TScreen() {
  for (auto& c : FOwnCursors) DestroyCursor(c.second);
}

namespace {

// The class library's own cursor shapes, drawn on a 32 x 32 grid: '#' black,
// '.' white, anything else transparent.
const char* const kArrowRows[] = {
    "#",          "##",         "#.#",        "#..#",       "#...#",      "#....#",      "#.....#",
    "#......#",   "#.......#",  "#........#", "#.....#####", "#..#..#",   "#.# #..#",    "##  #..#",
    "#    #..#",  "     #..#",  "      ##",
};

struct CursorGrid {
  char cell[32][32];
  CursorGrid() { std::memset(cell, ' ', sizeof cell); }
  void Put(int x, int y, const char* const* rows, int count) {
    for (int r = 0; r < count; ++r)
      for (int c = 0; rows[r][c]; ++c)
        if (rows[r][c] != ' ' && y + r < 32 && x + c < 32) cell[y + r][x + c] = rows[r][c];
  }
  // A white box with a black outline.
  void Box(int l, int t, int r, int b) {
    for (int y = t; y <= b; ++y)
      for (int x = l; x <= r; ++x) cell[y][x] = (y == t || y == b || x == l || x == r) ? '#' : '.';
  }
  void Line(int x0, int y0, int x1, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) cell[y][x] = '#';
  }
  HCURSOR Make(int hotX, int hotY) const {
    unsigned char andPlane[32 * 4], xorPlane[32 * 4];
    std::memset(andPlane, 0xFF, sizeof andPlane);
    std::memset(xorPlane, 0, sizeof xorPlane);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        unsigned char bit = static_cast<unsigned char>(0x80 >> (x % 8));
        if (cell[y][x] == '#' || cell[y][x] == '.') andPlane[y * 4 + x / 8] &= static_cast<unsigned char>(~bit);
        if (cell[y][x] == '.') xorPlane[y * 4 + x / 8] |= bit;
      }
    return CreateCursor(nullptr, hotX, hotY, 32, 32, andPlane, xorPlane);
  }
};

HCURSOR MakeOwnCursor(int Index) {
  CursorGrid g;
  switch (Index) {
    case crDrag:  // the arrow carrying one item
      g.Put(0, 0, kArrowRows, int(std::size(kArrowRows)));
      g.Box(9, 15, 19, 23);
      return g.Make(0, 0);
    case crMultiDrag:  // the arrow carrying several items
      g.Put(0, 0, kArrowRows, int(std::size(kArrowRows)));
      g.Box(13, 13, 23, 21);
      g.Box(9, 17, 19, 25);
      return g.Make(0, 0);
    case crHSplit:  // two upright bars with arrows to the sides: moves a divider sideways
      g.Line(14, 6, 14, 25);
      g.Line(17, 6, 17, 25);
      for (int i = 0; i < 4; ++i) {
        g.Line(7 + i, 15 - i, 7 + i, 16 + i);
        g.Line(24 - i, 15 - i, 24 - i, 16 + i);
      }
      g.Line(7, 15, 13, 16);
      g.Line(18, 15, 24, 16);
      return g.Make(15, 15);
    case crVSplit:  // the same turned upright: moves a divider up and down
      g.Line(6, 14, 25, 14);
      g.Line(6, 17, 25, 17);
      for (int i = 0; i < 4; ++i) {
        g.Line(15 - i, 7 + i, 16 + i, 7 + i);
        g.Line(15 - i, 24 - i, 16 + i, 24 - i);
      }
      g.Line(15, 7, 16, 13);
      g.Line(15, 18, 16, 24);
      return g.Make(15, 15);
    default:
      return nullptr;
  }
}

}  // namespace

void TScreen::AddForm(TCustomForm* F) {
  if (std::find(FForms.begin(), FForms.end(), F) == FForms.end()) FForms.push_back(F);
}

void TScreen::RemoveForm(TCustomForm* F) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), F), FForms.end());
  if (FActiveForm == F) {
    FActiveForm = nullptr;
    if (OnActiveFormChange) OnActiveFormChange(this);
  }
  if (FActiveControl && GetParentForm(FActiveControl, false) == F) FActiveControl = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* F) {
  if (F == FActiveForm) return;
  FActiveForm = F;
  if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::SetActiveControl(TWinControl* C) {
  if (C == FActiveControl) return;
  FActiveControl = C;
  if (OnActiveControlChange) OnActiveControlChange(this);
}

TCustomForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FForms[std::size_t(Index)];
}

TDataModule* TScreen::DataModules(int Index) const {
  if (Index < 0 || Index >= DataModuleCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FDataModules[std::size_t(Index)];
}

void TScreen::SetCursor(TCursor Value) {
  FCursor = Value;
  ::SetCursor(Cursors(Value == crDefault ? crArrow : Value));
}

HCURSOR TScreen::Cursors(int Index) const {
  for (const auto& c : FCursorList)
    if (c.first == Index) return c.second;
  if (Index == crDrag || Index == crMultiDrag || Index == crHSplit || Index == crVSplit) {
    for (const auto& c : FOwnCursors)
      if (c.first == Index) return c.second;
    if (HCURSOR h = MakeOwnCursor(Index)) {
      FOwnCursors.emplace_back(Index, h);
      return h;
    }
  }
  LPCSTR id = IDC_ARROW;
  switch (Index) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass: case crSQLWait: id = IDC_WAIT; break;
    case crNoDrop: case crNo: id = IDC_NO; break;
    case crHSplit: id = IDC_SIZEWE; break;  // when the shape cannot be made
    case crVSplit: id = IDC_SIZENS; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorA(nullptr, id);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
  for (auto& c : FCursorList)
    if (c.first == Index) {
      c.second = Handle;
      return;
    }
  FCursorList.emplace_back(Index, Handle);
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    FFonts = std::make_unique<TStringList>();
    FFonts->SetSorted(true);
    FFonts->Duplicates = dupIgnore;
    // The installed families, then the faces the drawing layer maps onto them
    // (宋体, 新宋体, 黑体 ...) and its built-in fixed font, which draw as well.
    for (const std::string& f : EnumFontFamilyNames()) FFonts->Add(f);
    for (const char* f : {"\xCB\xCE\xCC\xE5", "\xD0\xC2\xCB\xCE\xCC\xE5", "\xBA\xDA\xCC\xE5", "MS Sans Serif", "Tahoma", "Arial", "Courier New", "Fixedsys",
                          "Default", PV_FIXED_FONT_NAME})
      FFonts->Add(f);
  }
  return FFonts.get();
}

TMonitor* TScreen::Monitors(int Index) const {
  if (Index != 0) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FMonitor.get();
}

TMonitor* TScreen::MonitorFromPoint(const TPoint& Point, DWORD MonitorDefault) const {
  return ::MonitorFromPoint(Point, MonitorDefault) ? FMonitor.get() : nullptr;
}
TMonitor* TScreen::MonitorFromWindow(HWND Handle, DWORD MonitorDefault) const {
  return ::MonitorFromWindow(Handle, MonitorDefault) ? FMonitor.get() : nullptr;
}
TMonitor* TScreen::MonitorFromRect(const TRect& Rect, DWORD MonitorDefault) const {
  return ::MonitorFromRect(&Rect, MonitorDefault) ? FMonitor.get() : nullptr;
}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) { FArgs.push_back(""); }

TApplication::~TApplication() {
  CancelHint();
  delete FHintWindow;
  FHintWindow = nullptr;
  // Forms and modules go first, each told it is being destroyed.
  while (ComponentCount() > 0) Components(ComponentCount() - 1)->Free();
  if (FHandle) DeallocateHWnd(FHandle);
}

HWND TApplication::Handle() {
  if (!FHandle) FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
  return FHandle;
}

void TApplication::WndProc(TMessage& M) {
  if (M.Msg == WM_TIMER && M.WParam == 1) {
    HintTimerExpired();
    return;
  }
  M.Result = DefWindowProcA(FHandle, M.Msg, M.WParam, M.LParam);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FMainForm) FMainForm = nullptr;
    if (auto* c = dynamic_cast<TControl*>(AComponent)) ControlDestroyed(c);
  }
}

void TApplication::ControlDestroyed(TControl* Control) {
  if (FMainForm == Control) FMainForm = nullptr;
  if (FMouseControl == Control) FMouseControl = nullptr;
  if (FHintControl == Control) {
    FHintControl = nullptr;
    HideHint();
    StopHintTimer();
  }
  if (FHintWindow == Control) FHintWindow = nullptr;
}

AnsiString TApplication::ExeName() const {
  if (FArgs.size() > 0 && !FArgs[0].empty()) return ExpandFileName(FArgs[0]);
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  return FromSysFileName(std::string(buf, std::size_t(n)));
}

void TApplication::SetArgs(int argc, const char* const* argv) {
  FArgs.clear();
  for (int i = 0; i < argc; ++i) FArgs.push_back(argv[i] ? FromSysFileName(argv[i]) : AnsiString());
  if (FArgs.empty()) FArgs.push_back("");
}

AnsiString TApplication::ParamStr(int Index) const {
  if (Index == 0) return ExeName();
  if (Index < 0 || Index >= int(FArgs.size())) return "";
  return FArgs[std::size_t(Index)];
}

void TApplication::Run() {
  if (FMainForm && FShowMainForm) FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() {
  if (FTerminated) return;
  PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle(msg);
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  try {
    bool handled = false;
    if (OnMessage) OnMessage(Msg, handled);
    if (!handled && !IsHintMsg(Msg) && !IsMDIMsg(Msg) && !IsKeyMsg(Msg)) {
      TranslateMessage(&Msg);
      DispatchMessageA(&Msg);
    }
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::Idle(const MSG&) {
  DoMouseIdle();
  bool done = true;
  try {
    DoIdle(done);
  } catch (...) {
    HandleException(this);
  }
  if (done) WaitMessage();
}

void TApplication::DoIdle(bool& Done) {
  Done = true;
  if (OnIdle) OnIdle(this, Done);
  if (!Screen) return;
  for (TCustomForm* f : std::vector<TCustomForm*>(Screen->FForms))
    if (f->Visible() && !f->ComponentState().Contains(csDestroying)) f->UpdateActions();
}

bool TApplication::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  if (OnActionExecute) OnActionExecute(Action, handled);
  return handled;
}

bool TApplication::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  if (OnActionUpdate) OnActionUpdate(Action, handled);
  return handled;
}

bool TApplication::IsShortCut(TWMKey& Message) {
  bool handled = false;
  if (OnShortCut) OnShortCut(Message, handled);
  if (handled) return true;
  if (FMainForm && FMainForm->HandleAllocated() && IsWindowEnabled(FMainForm->Handle())) {
    TCustomForm* active = Screen ? Screen->ActiveForm() : nullptr;
    if (active != FMainForm) return FMainForm->IsShortCut(Message);
  }
  return false;
}

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND wnd = GetCapture();
  if (!wnd) wnd = Msg.hwnd;
  TWinControl* c = nullptr;
  for (HWND h = wnd; h && !c; h = GetParent(h)) c = FindControl(h);
  if (!c) return false;
  if (DragControl()) return false;
  return c->Perform(CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

// Ctrl+F4 closes the active MDI child, Ctrl+F6 and Ctrl+Tab (with Shift:
// backwards) activate the next one, before the focused control sees the key.
bool TApplication::IsMDIMsg(MSG& Msg) {
  if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
  if (!FMainForm || FMainForm->FormStyle() != fsMDIForm || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
  TCustomForm* focused = Screen ? Screen->ActiveForm() : nullptr;
  if (!focused || focused->FormStyle() != fsMDIChild) return false;
  // the keys act on the child the frame's client has active, as the system's
  // MDI accelerators do
  TCustomForm* active = FMainForm->ActiveMDIChild();
  if (!active) return false;
  switch (Msg.wParam) {
    case VK_F4: active->Close(); return true;
    case VK_F6:
    case VK_TAB:
      if (GetKeyState(VK_SHIFT) & 0x8000)
        FMainForm->Previous();
      else
        FMainForm->Next();
      return true;
    default: return false;
  }
}

bool TApplication::IsHintMsg(MSG& Msg) {
  if (Msg.message == WM_MOUSEMOVE) {
    POINT p;
    GetCursorPos(&p);
    TControl* c = FindDragTarget(p, true);
    HintMouseMessage(c, Msg);
  }
  if (FHintWindow && FHintWindow->Showing() && FHintWindow->IsHintMsg(Msg)) CancelHint();
  return false;
}

namespace {
bool WantsHint(TControl* c) { return c && c->ShowHint() && !GetShortHint(c->Hint()).empty(); }
}  // namespace

void TApplication::SetHint(const AnsiString& Value) {
  if (Value == FHint) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool Value) {
  if (Value == FShowHint) return;
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::SetHintColor(TColor Value) {
  FHintColor = Value;
  if (FHintWindow) FHintWindow->SetColor(Value);
}

void TApplication::StartHintTimer(int Value) {
  StopHintTimer();
  SetTimer(Handle(), 1, UINT(std::max(Value, 1)), nullptr);
  FHintTimerRunning = true;
}

void TApplication::StopHintTimer() {
  if (FHintTimerRunning && FHandle) KillTimer(FHandle, 1);
  FHintTimerRunning = false;
}

void TApplication::HintMouseMessage(TControl* Control, MSG& Msg) {
  if (Control) SetHint(GetLongHint(Control->Hint()));
  if (!FShowHint) return;
  POINT p;
  GetCursorPos(&p);
  if (Control == FHintControl && FHintActive) {
    // Still inside the rectangle the hint belongs to.
    if (p.x >= FHintCursorRect.left && p.x < FHintCursorRect.right && p.y >= FHintCursorRect.top &&
        p.y < FHintCursorRect.bottom)
      return;
  }
  if (Control == FHintControl && FHintTimerRunning && FHintTimerKind == 1) return;
  bool wasActive = FHintActive;
  HideHint();
  FHintControl = Control;
  if (WantsHint(Control)) {
    FHintTimerKind = 1;
    StartHintTimer(wasActive ? FHintShortPause : FHintPause);
  } else {
    StopHintTimer();
  }
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (FHintTimerKind == 1) {
    POINT p;
    GetCursorPos(&p);
    if (FHintControl && FindDragTarget(p, true) == FHintControl) ActivateHint(p);
  } else {
    HideHint();
  }
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  TControl* c = FHintControl;
  if (!c || !WantsHint(c) || !FShowHint) return;
  THintInfo info;
  info.HintControl = c;
  info.HintWindowClass = HintWindowClass;
  info.HintPos = {CursorPos.x, CursorPos.y + GetSystemMetrics(SM_CYCURSOR) / 2 + 4};
  info.HintMaxWidth = Screen ? Screen->Width() : 1920;
  info.HintColor = FHintColor;
  info.CursorRect = c->ClientRect();
  info.CursorPos = c->ScreenToClient(CursorPos);
  info.HideTimeout = FHintHidePause;
  info.HintStr = GetShortHint(c->Hint());
  bool canShow = c->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
  if (!canShow || info.HintStr.empty()) return;
  if (!FHintWindow || FHintWindow->ClassType() != info.HintWindowClass) {
    delete FHintWindow;
    FHintWindow = nullptr;
    TObject* o = CreateObject(info.HintWindowClass ? info.HintWindowClass : THintWindow::StaticClass(), nullptr);
    FHintWindow = dynamic_cast<THintWindow*>(o);
    if (!FHintWindow) {
      delete o;
      return;
    }
  }
  FHintWindow->SetColor(info.HintColor);
  TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
  r = {info.HintPos.x, info.HintPos.y, info.HintPos.x + r.Width(), info.HintPos.y + r.Height()};
  FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
  FHintActive = true;
  TPoint o = c->ClientToScreen({info.CursorRect.left, info.CursorRect.top});
  FHintCursorRect = {o.x, o.y, o.x + info.CursorRect.Width(), o.y + info.CursorRect.Height()};
  if (info.HideTimeout > 0) {
    FHintTimerKind = 2;
    StartHintTimer(info.HideTimeout);
  }
}

void TApplication::HideHint() {
  if (FHintWindow && FHintWindow->Showing()) FHintWindow->ReleaseHandle();
  FHintActive = false;
}

void TApplication::CancelHint() {
  HideHint();
  StopHintTimer();
  FHintControl = nullptr;
}

void TApplication::DoMouseIdle() {
  POINT p;
  GetCursorPos(&p);
  TControl* c = FindDragTarget(p, true);
  if (c == FMouseControl) return;
  TControl* old = FMouseControl;
  FMouseControl = c;
  if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
  if (c) c->Perform(CM_MOUSEENTER, 0, 0);
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr ep = std::current_exception();
  if (!ep) return;
  if (GetCapture()) ReleaseCapture();
  try {
    std::rethrow_exception(ep);
  } catch (const EAbort&) {
    return;
  } catch (Exception& e) {
    if (OnException) OnException(Sender, &e);
    else ShowException(&e);
  } catch (const std::exception& e) {
    Exception ex(e.what());
    if (OnException) OnException(Sender, &ex);
    else ShowException(&ex);
  } catch (...) {
    Exception ex("Unknown exception");
    if (OnException) OnException(Sender, &ex);
    else ShowException(&ex);
  }
}

void TApplication::ShowException(const Exception* E) {
  AnsiString msg = E->Message;
  if (!msg.empty() && msg.back() != '.' && msg.back() != '\n' && !(msg.size() >= 2 && IsDBCSLeadByte(static_cast<unsigned char>(msg[msg.size() - 2]))))
    msg += ".";
  if (FHandlingException) return;  // an error while showing an error: do not recurse
  FHandlingException = true;
  try {
    MessageBox(msg, FTitle.empty() ? AnsiString("Error") : FTitle, MB_OK | MB_ICONSTOP);
  } catch (...) {
    FHandlingException = false;
    throw;
  }
  FHandlingException = false;
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
  HWND owner = GetActiveWindow();
  return GetMessageBoxProc()(owner, Text, Caption, Flags);
}

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated()) ShowWindow(FMainForm->Handle(), SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
  if (FMainForm && FMainForm->HandleAllocated()) SetForegroundWindow(GetLastActivePopup(FMainForm->Handle()));
}

// ---------------------------------------------------------------------------
// modal script message

void TCustomForm::CMRunModalScript(TMessage&) {
  if (ModalScript().empty()) return;
  TModalScriptStep step = std::move(ModalScript().front());
  ModalScript().pop_front();
  step(this);
}

void TCustomForm::SetDescClientWidth(int Value) {
  if (FControlState.Contains(csReadingState)) FClientWidth = Value;
  else SetClientWidth(Value);
}

void TCustomForm::SetDescClientHeight(int Value) {
  if (FControlState.Contains(csReadingState)) FClientHeight = Value;
  else SetClientHeight(Value);
}

// ---------------------------------------------------------------------------
// registration

void InitFormsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TControlScrollBar::StaticClass(), TScrollingWinControl::StaticClass(), TCustomForm::StaticClass(), TForm::StaticClass(),
                   TDataModule::StaticClass(), TScreen::StaticClass(), TApplication::StaticClass()});
  RegisterProps<TControlScrollBar>([](TPropBuilder<TControlScrollBar>& p) {
    p.Prop("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement).Default(8);
    // Range comes before Position so that a stored position fits the stored range.
    // With AutoScroll the range follows the children and is not stored.
    p.Prop("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange).Default(0).Stored([](TObject* o) {
      auto* b = dynamic_cast<TControlScrollBar*>(o);
      return b && !b->Control()->AutoScroll();
    });
    p.Prop("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition).Default(0);
    p.Prop("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking).Default(false);
    p.Prop("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible).Default(true);
  });
  RegisterProps<TScrollingWinControl>([](TPropBuilder<TScrollingWinControl>& p) {
    p.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).NoDefault();
    p.Prop("HorzScrollBar", &TScrollingWinControl::HorzScrollBar);
    p.Prop("VertScrollBar", &TScrollingWinControl::VertScrollBar);
  });
  RegisterProps<TCustomForm>([](TPropBuilder<TCustomForm>& p) {
    PublishControlProps(p,
                        "Action Anchors AutoSize BiDiMode Caption Color Constraints Ctl3D DragKind DragMode Enabled "
                        "Font ParentBiDiMode ParentFont PopupMenu ShowHint Visible DoubleBuffered BorderWidth "
                        "OnClick OnDblClick OnMouseDown OnMouseMove OnMouseUp OnMouseWheel OnMouseWheelDown "
                        "OnMouseWheelUp OnResize OnCanResize OnConstrainedResize OnContextPopup OnDragDrop OnDragOver "
                        "OnEndDrag OnStartDrag OnKeyDown OnKeyPress OnKeyUp",
                        {.Color = clBtnFace, .Visible = false});
    p.Prop("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    p.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    p.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    p.Prop("ClientHeight", [](TCustomForm* f) { return f->ClientHeight(); }, &TCustomForm::SetDescClientHeight);
    p.Prop("ClientWidth", [](TCustomForm* f) { return f->ClientWidth(); }, &TCustomForm::SetDescClientWidth);
    p.Prop("DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor).Default(dmActiveForm);
    p.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    p.Prop("Icon", &TCustomForm::Icon).Stored([](TObject* o) { return !static_cast<TCustomForm*>(o)->Icon()->Empty(); });
    p.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    p.Prop("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    p.Prop("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder).NoDefault();
    p.Prop("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch).NoDefault();
    p.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
    p.Prop("PrintScale", &TCustomForm::PrintScale, &TCustomForm::SetPrintScale).Default(poProportional);
    p.Prop("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
    p.Prop("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight).NoDefault();
    p.Prop("TileMode", &TCustomForm::TileMode, &TCustomForm::SetTileMode).Default(tbHorizontal);
    p.Prop("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu);
    p.Prop("WindowState", [](TCustomForm* f) { return f->WindowState(); }, &TCustomForm::SetWindowState).Default(wsNormal);
    p.Prop("OnActivate", &TCustomForm::OnActivate, &TCustomForm::OnActivate);
    p.Prop("OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose);
    p.Prop("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::OnCloseQuery);
    p.Prop("OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate);
    p.Prop("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::OnDeactivate);
    p.Prop("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::OnDestroy);
    p.Prop("OnHide", &TCustomForm::OnHide, &TCustomForm::OnHide);
    p.Prop("OnPaint", &TCustomForm::OnPaint, &TCustomForm::OnPaint);
    p.Prop("OnShortCut", &TCustomForm::OnShortCut, &TCustomForm::OnShortCut);
    p.Prop("OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);
  });
  RegisterProps<TDataModule>([](TPropBuilder<TDataModule>& p) {
    p.Prop("OldCreateOrder", &TDataModule::OldCreateOrder, &TDataModule::SetOldCreateOrder).NoDefault();
    p.Field("Height", &TDataModule::DesignHeight).NoDefault();
    p.Field("Width", &TDataModule::DesignWidth).NoDefault();
    p.Prop("OnCreate", &TDataModule::OnCreate, &TDataModule::OnCreate);
    p.Prop("OnDestroy", &TDataModule::OnDestroy, &TDataModule::OnDestroy);
  });
}

void InitForms() {
  InitFormsProps();
  if (!Screen) Screen = new TScreen(nullptr);
  if (!Application) Application = new TApplication(nullptr);
}

void DoneForms() {
  ClearModalScript();
  TApplication* a = Application;
  Application = nullptr;
  if (a) {
    // Keep the global usable while the forms are freed.
    Application = a;
    while (a->ComponentCount() > 0) a->Components(a->ComponentCount() - 1)->Free();
    Application = nullptr;
    delete a;
  }
  if (Screen) {
    // Forms without an owner.
    while (Screen->FormCount() > 0) Screen->Forms(Screen->FormCount() - 1)->Free();
    delete Screen;
    Screen = nullptr;
  }
}
