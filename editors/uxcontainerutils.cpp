// The free routines of the container unit and its start-up.
#include <algorithm>

#include "editors/uxcontainer.h"
#include "editors/uxpopupwindow.h"
#include "framework/uxwinutils.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {

using TGetScrollBarInfoProc = BOOL (*)(HWND, LONG, SCROLLBARINFO*);
TGetScrollBarInfoProc GetScrollBarInfoProc = nullptr;
bool UnitInitialised = false;

}  // namespace

// ---- tables ----

int uxGetContainerBorderWidth(TuxContainerBorderStyle BorderStyle) {
  static const int Widths[] = {0, 1, 2, 2, 2, 1, 1};
  unsigned I = unsigned(BorderStyle) & 0x7F;
  return I < 7 ? Widths[I] : 0;
}

int uxGetLookAndFeelBorderWidth(TuxLookAndFeelKind Kind) {
  static const int Widths[] = {2, 2, 1, 1};
  unsigned I = unsigned(Kind) & 0x7F;
  return I < 4 ? Widths[I] : 0;
}

Byte uxTranslateMouseButton(TMouseButton Button) {
  switch (Button) {
    case mbLeft: return 1;
    case mbRight: return 2;
    case mbMiddle: return 3;
  }
  return 0;
}

// ---- rectangles ----

void uxGetControlBoundsRect(TControl* Control, TRect& R) { R = TRect{0, 0, Control->Width(), Control->Height()}; }

void uxExpandRectByEdges(TRect& R, int Width, TuxBorders Edges) {
  if (Edges & uxbLeft) R.left -= Width;
  if (Edges & uxbTop) R.top -= Width;
  if (Edges & uxbRight) R.right += Width;
  if (Edges & uxbBottom) R.bottom += Width;
}

void uxShrinkRectByMissingEdges(TRect& R, int Width, TuxBorders Edges) {
  if (!(Edges & uxbLeft)) R.left += Width;
  if (!(Edges & uxbTop)) R.top += Width;
  if (!(Edges & uxbRight)) R.right -= Width;
  if (!(Edges & uxbBottom)) R.bottom -= Width;
}

void uxPaintContainerShadow(TuxCanvas* Canvas, const TRect& R) {
  const TRect Strips[2] = {TRect{R.left + 3, R.bottom, R.right, R.bottom + 3},
                           TRect{R.right, R.top + 3, R.right + 3, R.bottom + 3}};
  for (const TRect& S : Strips) {
    Canvas->FillRect(S, clBtnShadow);
    Canvas->ExcludeClipRect(S);
  }
}

namespace {
// R less InnerR as four strips: left, above, right, below.
int FrameStrips(const TRect& R, const TRect& I, TRect Out[4]) {
  Out[0] = TRect{R.left, R.top, I.left, R.bottom};
  Out[1] = TRect{I.left, R.top, I.right, I.top};
  Out[2] = TRect{I.right, R.top, R.right, R.bottom};
  Out[3] = TRect{I.left, I.bottom, I.right, R.bottom};
  return 4;
}
bool IsEmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
}  // namespace

void uxFillRectExcept(TuxCanvas* Canvas, const TRect& R, const TRect& InnerR, TColor Color) {
  if (IsEmptyRect(R) || R == InnerR) return;
  if (IsEmptyRect(InnerR)) {
    Canvas->FillRect(R, Color);
    return;
  }
  TRect S[4];
  FrameStrips(R, InnerR, S);
  for (const TRect& X : S)
    if (!IsEmptyRect(X)) Canvas->FillRect(X, Color);
}

// ---- regions ----

HRGN uxCreateContainerRegion(const TRect& R, bool NoRegion, const TRect& ExcludeR, bool Shadow) {
  if (NoRegion) return nullptr;
  HRGN Rgn = CreateRectRgn(R.left, R.top, R.right, R.bottom);
  if (Shadow) {
    HRGN S = CreateRectRgn(R.left + 3, R.top + 3, R.right + 3, R.bottom + 3);
    CombineRgn(Rgn, Rgn, S, RGN_OR);
    DeleteObject(S);
  }
  if (!IsEmptyRect(ExcludeR)) {
    HRGN E = CreateRectRgn(ExcludeR.left, ExcludeR.top, ExcludeR.right, ExcludeR.bottom);
    CombineRgn(Rgn, Rgn, E, RGN_DIFF);
    DeleteObject(E);
  }
  return Rgn;
}

void uxSetWindowRegion(HWND Window, const TRect& R, bool NoRegion, const TRect& ExcludeR, bool Shadow) {
  HRGN New = uxCreateContainerRegion(R, NoRegion, ExcludeR, Shadow);
  HRGN Old = CreateRectRgn(0, 0, 0, 0);
  bool HasOld = GetWindowRgn(Window, Old) != ERROR;
  bool Differs = New ? (!HasOld || !EqualRgn(New, Old)) : HasOld;
  DeleteObject(Old);
  if (Differs)
    SetWindowRgn(Window, New, TRUE);  // takes the region
  else if (New)
    DeleteObject(New);
}

void uxSetControlWindowRegion(TWinControl* Control, const TuxControlVisibleArea& Area) {
  if (Area.WholeControl)
    SetWindowRgn(Control->Handle(), nullptr, TRUE);
  else
    SetWindowRgn(Control->Handle(), CreateRectRgn(Area.Rect.left, Area.Rect.top, Area.Rect.right, Area.Rect.bottom),
                 TRUE);
}

void uxInvalidateRectFrame(HWND Window, const TRect& R, const TRect& InnerR, bool Erase) {
  if (IsEmptyRect(InnerR)) {
    RECT X = R;
    InvalidateRect(Window, &X, Erase);
    return;
  }
  TRect S[4];
  FrameStrips(R, InnerR, S);
  for (const TRect& X : S)
    if (!IsEmptyRect(X)) {
      RECT W = X;
      InvalidateRect(Window, &W, Erase);
    }
}

void uxInvalidateControlRect(TWinControl* Control, const TRect& R, bool Erase) {
  if (!Control->HandleAllocated()) return;
  RECT X = R;
  InvalidateRect(Control->Handle(), &X, Erase);
}

// ---- window relations ----

namespace {

TCustomForm* OwnerForm(TuxCustomPopupWindow* P) {
  return P->OwnerControl() ? GetParentForm(P->OwnerControl()) : nullptr;
}

bool IsWindowInsideControl(TWinControl* Control, HWND Window) {
  return Control->HandleAllocated() && (Control->Handle() == Window || uxIsChildOrPopupWindow(Control, Window));
}

}  // namespace

bool uxIsChildOrPopupWindow(TWinControl* Control, HWND Window) {
  if (!Control || !Window || !Control->HandleAllocated() || Control->Handle() == Window) return false;
  if (IsChild(Control->Handle(), Window)) return true;
  for (int I = 0; I < Control->ControlCount(); ++I) {
    auto* W = dynamic_cast<TWinControl*>(Control->Controls(I));
    if (!W || !W->HandleAllocated()) continue;
    if (W->Handle() == Window || uxIsChildOrPopupWindow(W, Window) || IsChild(W->Handle(), Window)) return true;
  }
  // Pop-ups opened from controls on this pop-up, then pop-ups of this control.
  std::vector<TuxCustomPopupWindow*> Shown = uxShownPopupWindows();
  if (dynamic_cast<TuxCustomPopupWindow*>(Control)) {
    for (TuxCustomPopupWindow* P : Shown)
      if (P != Control && OwnerForm(P) == Control && IsWindowInsideControl(P, Window)) return true;
  }
  for (TuxCustomPopupWindow* P : Shown)
    if (P->OwnerControl() == Control && IsWindowInsideControl(P, Window)) return true;
  return false;
}

bool uxIsWindowOfControl(TWinControl* Control, HWND Window, bool IncludeChildren) {
  if (!Control) return false;
  if (Control->HandleAllocated() && Control->Handle() == Window) return true;
  return IncludeChildren && uxIsChildOrPopupWindow(Control, Window);
}

bool uxIsWindowOfControlForm(TControl* Control, HWND Window) {
  if (!Control) return false;
  TCustomForm* Form = GetParentForm(Control);
  if (!Form) return false;
  if (uxIsWindowOfControl(Form, Window, true)) return true;
  if (Form->Parent() || !Form->HandleAllocated()) return false;
  HWND Top = Form->Handle();
  while (uxIsChildWindow(Top) && GetParent(Top)) Top = GetParent(Top);
  if (Top == Form->Handle()) return false;
  return Window == Top || IsChild(Top, Window);
}

HWND uxFindFirstNonChildParent(HWND Window) {
  for (HWND W = Window; W; W = GetParent(W))
    if (!uxIsChildWindow(W)) return W;
  return nullptr;
}

HWND uxGetTopFormWindow(HWND Window) {
  HWND Top = Window;
  for (HWND W = Window; W; W = GetParent(W)) {
    auto* F = dynamic_cast<TCustomForm*>(FindControl(W));
    if (F && F->FormStyle() == fsMDIChild) return W;
    Top = W;
  }
  return Top;
}

HWND uxGetPopupOwnerWindow(HWND Window) {
  for (HWND W = Window; W; W = GetParent(W))
    if (auto* P = dynamic_cast<TuxCustomPopupWindow*>(FindControl(W))) {
      auto* Owner = dynamic_cast<TWinControl*>(P->OwnerControl());
      return Owner && Owner->HandleAllocated() ? Owner->Handle() : Window;
    }
  return Window;
}

bool uxIsControlWindowVisible(TWinControl* Control) {
  return Control->HandleAllocated() && IsWindowVisible(Control->Handle());
}

TuxContainer* uxFindContainer(TControl* Control) {
  if (!Control) return nullptr;
  if (auto* C = dynamic_cast<TuxContainer*>(Control)) return C;
  if (auto* I = dynamic_cast<IuxContainerInnerControl*>(Control)) return I->GetControlContainer();
  return nullptr;
}

bool uxContainerHasPopup(TControl* Control) {
  TuxContainer* C = uxFindContainer(Control);
  return C && C->HasPopupWindow();
}

bool uxIsControlHot(TWinControl* Control) {
  if (!Application || !Application->Active() || !Control->HandleAllocated() || !IsWindowVisible(Control->Handle()))
    return false;
  TPoint P;
  uxGetCursorPos(P);
  if (FindControl(WindowFromPoint(POINT{P.x, P.y})) != Control) return false;
  HWND Top = uxGetTopFormWindow(Control->Handle());
  auto* F = dynamic_cast<TCustomForm*>(FindControl(Top));
  if (F && !F->Active() && F->FormStyle() != fsMDIForm) {
    std::vector<TuxCustomPopupWindow*> Shown = uxShownPopupWindows();
    if (Shown.empty()) return false;
    auto* Owner = dynamic_cast<TWinControl*>(Shown.front()->OwnerControl());
    return Owner && Owner->HandleAllocated() && (Top == Owner->Handle() || IsChild(Top, Owner->Handle()));
  }
  return true;
}

// ---- messages and input ----

bool uxRemoveMessages(HWND Window, UINT MinMsg, UINT MaxMsg, bool All) {
  bool Removed = false;
  MSG M;
  while (PeekMessageA(&M, Window, MinMsg, MaxMsg, PM_REMOVE)) {
    if (M.message == WM_QUIT) {
      PostQuitMessage(int(M.wParam));
      break;
    }
    Removed = true;
    if (!All) break;
  }
  return Removed;
}

void uxGetCursorPos(TPoint& P) {
  POINT X{};
  GetCursorPos(&X);
  P = TPoint{X.x, X.y};
}

TShiftState uxGetCurrentShiftState() {
  BYTE K[256] = {};
  GetKeyboardState(K);
  TShiftState S;
  if (K[VK_SHIFT] & 0x80) S << ssShift;
  if (K[VK_CONTROL] & 0x80) S << ssCtrl;
  if (K[VK_MENU] & 0x80) S << ssAlt;
  if (K[VK_LBUTTON] & 0x80) S << ssLeft;
  if (K[VK_RBUTTON] & 0x80) S << ssRight;
  if (K[VK_MBUTTON] & 0x80) S << ssMiddle;
  return S;
}

void uxRecreateWnd(int, TWinControl* Control) { Control->RecreateWnd(); }

void uxAssignFont(TFont* Dest, TFont* Source) { Dest->Assign(Source); }

bool uxStringsEqual(const AnsiString& S1, const AnsiString& S2, bool CaseSensitive) {
  if (CaseSensitive) return AnsiCompareStr(S1, S2) == 0;
  return AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

// ---- scroll-bar information, themes, screen canvas ----

bool uxIsScrollBarInfoAvailable() { return GetScrollBarInfoProc != nullptr; }

bool uxGetScrollBarInfo(HWND Window, LONG ObjectId, SCROLLBARINFO& Info) {
  Info.cbSize = 60;
  return GetScrollBarInfoProc && GetScrollBarInfoProc(Window, ObjectId, &Info);
}

bool uxIsNativeThemeAvailable(bool NativeStyle, TkxThemeClassKind ThemeKind) {
  return NativeStyle && kxOpenThemeOfKind(ThemeKind) != 0;
}

TuxScreenCanvas* uxGetScreenCanvas() { return uxScreenCanvas(); }

// ---- start-up ----

void uxInitContainerUnit() {
  if (UnitInitialised) return;
  UnitInitialised = true;
  GetScrollBarInfoProc =
      reinterpret_cast<TGetScrollBarInfoProc>(GetProcAddress(GetModuleHandleA("User32"), "GetScrollBarInfo"));
  uxInitContainerStyles();
  uxInstallPopupHooks();
  DockingOwnerWindowHook = uxGetPopupOwnerWindow;
}

void uxDoneContainerUnit() {
  if (!UnitInitialised) return;
  UnitInitialised = false;
  if (DockingOwnerWindowHook == uxGetPopupOwnerWindow) DockingOwnerWindowHook = nullptr;
  uxRemovePopupHooks();
  GetScrollBarInfoProc = nullptr;
}
