#include "framework/uxwinutils.h"

#include "framework/uxcontrols.h"
#include "framework/uxgraphics.h"
#include "platform/controls/menus.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

// ---------------------------------------------------------------------------
// cursors

namespace {
struct CursorEntry {
  TCursor Index;
  const char* Name;
};
constexpr CursorEntry kCursors[] = {
    {crUxDragCopy, "UX_DRAGCOPYCURSOR"},       {crUxFullScroll, "UX_FULLSCROLLCURSOR"},
    {crUxHorScroll, "UX_HORSCROLLCURSOR"},     {crUxVerScroll, "UX_VERSCROLLCURSOR"},
    {crUxUpScroll, "UX_UPSCROLLCURSOR"},       {crUxRightScroll, "UX_RIGHTSCROLLCURSOR"},
    {crUxDownScroll, "UX_DOWNSCROLLCURSOR"},   {crUxLeftScroll, "UX_LEFTSCROLLCURSOR"},
    {crUxRemove, "UX_REMOVECURSOR"},           {crUxVertSize, "UX_VERTSIZECURSOR"},
    {crUxHorzSize, "UX_HORZSIZECURSOR"},       {crUxMultiDrag, "UX_MULTIDRAGCURSOR"},
    {crUxNoDrop, "UX_NODROPCURSOR"},           {crUxDrag, "UX_DRAGCURSOR"},
};
}  // namespace

TuxOwnerWindowHook DockingOwnerWindowHook = nullptr;
TuxParentFormHook ParentFormHook = nullptr;

void uxInitWinUtils() {
  uxInitClasses();
  if (!Screen) return;
  for (const CursorEntry& c : kCursors)
    if (HCURSOR h = LoadCursorA(nullptr, c.Name)) Screen->SetCursors(c.Index, h);
  if (HCURSOR h = LoadCursorA(nullptr, IDC_HAND)) Screen->SetCursors(crUxHandPoint, h);
}

// ---------------------------------------------------------------------------
// desktop and windows

void uxFitRectToArea(TRect& Bounds, const TRect& W) {
  if (Bounds.right > W.right) OffsetRect(&Bounds, W.right - Bounds.right, 0);
  if (Bounds.bottom > W.bottom) OffsetRect(&Bounds, 0, W.bottom - Bounds.bottom);
  if (Bounds.left < W.left) OffsetRect(&Bounds, W.left - Bounds.left, 0);
  if (Bounds.top < W.top) OffsetRect(&Bounds, 0, W.top - Bounds.top);
}

void uxFitRectToWorkArea(TRect& Bounds, const TPoint& DesktopPoint) {
  uxFitRectToArea(Bounds, uxGetDesktopWorkArea(DesktopPoint));
}

void uxMapRectBetweenWindows(HWND FromWindow, HWND ToWindow, TRect& R) {
  POINT pts[2] = {{R.left, R.top}, {R.right, R.bottom}};
  MapWindowPoints(FromWindow, ToWindow, pts, 2);
  R = TRect{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
}

bool uxIsChildWindow(HWND Window) { return (GetWindowLongPtrA(Window, GWL_STYLE) & LONG_PTR(WS_CHILD)) != 0; }

bool uxIsWindowOrChild(HWND Parent, HWND Window) { return Window == Parent || IsChild(Parent, Window); }

bool uxHasAllocatedParentHandle(TControl* Control) {
  for (TWinControl* p = Control ? Control->Parent() : nullptr; p; p = p->Parent())
    if (p->HandleAllocated()) return true;
  return false;
}

void GetMouseCursorPos(TPoint& P) {
  POINT p{};
  GetCursorPos(&p);
  P = p;
}

// ---------------------------------------------------------------------------
// screen helpers under the names the grid calls them by

bool IsPointInDragDetectArea(const TPoint& MouseDownPos, int X, int Y) {
  return uxIsInDragThreshold(MouseDownPos, X, Y);
}

int GetScrollBarSize() { return GetSystemMetrics(SM_CXVSCROLL); }

void uxRedrawWindowNow(HWND Handle) {
  if (Handle && IsWindow(Handle)) RedrawWindow(Handle, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------------------
// mouse and keys

bool uxIsCtrlPressed() { return GetAsyncKeyState(VK_CONTROL) < 0; }

UINT uxShiftStateToMouseKeys(TShiftState Shift) {
  UINT r = 0;
  if (Shift.Contains(ssShift)) r |= MK_SHIFT;
  if (Shift.Contains(ssCtrl)) r |= MK_CONTROL;
  if (Shift.Contains(ssLeft)) r |= MK_LBUTTON;
  if (Shift.Contains(ssRight)) r |= MK_RBUTTON;
  if (Shift.Contains(ssMiddle)) r |= MK_MBUTTON;
  return r;
}

Word uxNormalizeKey(Word Key) { return Key; }

bool uxIsNumericChar(char Ch, int Kind) {
  if ((Ch >= '0' && Ch <= '9') || Ch == '+' || Ch == '-') return true;
  if ((Kind == 1 || Kind == 2) && Ch == FormatSettings().DecimalSeparator) return true;
  return Kind == 2 && (Ch == 'e' || Ch == 'E');
}

bool uxIsPrintableChar(char Ch) { return static_cast<unsigned char>(Ch) >= 32; }

AnsiString uxRemoveHotKeyPrefix(const AnsiString& Text) {
  AnsiString r;
  r.reserve(Text.size());
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] != uxHotKeyPrefix) {
      r += Text[i];
    } else if (i + 1 < Text.size()) {
      r += Text[++i];
    } else {
      r += '_';
    }
  }
  return r;
}

// ---------------------------------------------------------------------------
// pop-up menus

int uxGetPopupMenuHeight(TComponent* Menu) {
  auto* menu = dynamic_cast<TMenu*>(Menu);
  if (!menu) return 0;
  TCanvas* canvas = uxScreenCanvas()->Canvas();
  auto saved = std::make_unique<TFont>();
  saved->Assign(canvas->Font());
  if (Screen) canvas->Font()->Assign(Screen->MenuFont());
  int total = 0;
  try {
    const int itemHeight = canvas->TextHeight("Qg") + 4;
    TMenuItem* items = menu->Items();
    for (int i = 0; i < items->Count(); ++i) {
      TMenuItem* item = items->Items(i);
      if (!item->Visible()) continue;
      int h = itemHeight;
      if (menu->OwnerDraw() || menu->Images() || !item->Bitmap()->Empty()) {
        int w = 0;
        item->MeasureItem(canvas, w, h);
      }
      total += h;
    }
  } catch (...) {
    canvas->Font()->Assign(saved.get());
    throw;
  }
  canvas->Font()->Assign(saved.get());
  return total + 4;
}

// ---------------------------------------------------------------------------
// forms

namespace {
void ScaleChildren(TWinControl* Parent, int M, int D) {
  for (int i = 0; i < Parent->ControlCount(); ++i) {
    TControl* c = Parent->Controls(i);
    c->SetBounds(MulDiv(c->Left(), M, D), MulDiv(c->Top(), M, D), MulDiv(c->Width(), M, D),
                 MulDiv(c->Height(), M, D));
    if (auto* w = dynamic_cast<TWinControl*>(c)) ScaleChildren(w, M, D);
  }
}
}  // namespace

void uxSetFormFont(TCustomForm* Form, TFont* Font) {
  if (!Form || !Font) return;
  TCanvas* canvas = Form->Canvas();
  canvas->Font()->Assign(Form->Font());
  const int h0 = canvas->TextHeight("Qq");
  Form->Font()->Assign(Font);
  canvas->Font()->Assign(Form->Font());
  const int h1 = canvas->TextHeight("Qq");
  // A zero old height gives no ratio: the font changes, the layout stays.
  if (h0 <= 0 || h1 == h0) return;
  const int cw = Form->ClientWidth(), ch = Form->ClientHeight();
  ScaleChildren(Form, h1, h0);
  Form->SetClientSize(MulDiv(cw, h1, h0), MulDiv(ch, h1, h0));
}

// ---------------------------------------------------------------------------
// TuxControlChildComponent

TuxControlChildComponent::TuxControlChildComponent(TComponent* AOwner) : TuxComponent(AOwner) {}

TuxControlChildComponent::TuxControlChildComponent(TuxControl* AControl, bool AssignOwner)
    : TuxComponent(AssignOwner && AControl ? AControl->Owner() : nullptr), FPendingControl(AControl) {}

TuxControlChildComponent::~TuxControlChildComponent() {
  if (FControl) FControl->RemoveChildComponent(this);
  FControl = nullptr;
}

void TuxControlChildComponent::AfterConstruction() {
  TuxComponent::AfterConstruction();
  if (!FInitialized) {
    FInitialized = true;
    InitChildComponent();
  }
  if (TuxControl* c = FPendingControl) {
    FPendingControl = nullptr;
    SetControl(c);
  }
}

void TuxControlChildComponent::SetControl(TuxControl* Value) {
  if (FControl == Value) return;
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = Value;
  if (FControl) FControl->FreeNotification(this);
}

void TuxControlChildComponent::Notification(TComponent* AComponent, TOperation Operation) {
  TuxComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == FControl) FControl = nullptr;
}

TComponent* TuxControlChildComponent::GetParentComponent() const { return FControl; }

void TuxControlChildComponent::SetParentComponent(TComponent* Value) {
  TuxComponent::SetParentComponent(Value);
  if (auto* c = dynamic_cast<TuxControl*>(Value)) c->AddChildComponent(this);
}
