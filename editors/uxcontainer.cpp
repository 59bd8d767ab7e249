// The container control: state, active style, border geometry, window
// region, painting, and the traffic of focus, keys, mouse and scroll bars
// between the container and its inner control.
#include "editors/uxcontainer.h"

#include "framework/uxoffice11.h"
#include "framework/uxwinutils.h"
#include "platform/win/system.h"

namespace {
bool RectIsEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }
bool PtIn(const TRect& R, const TPoint& P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }
}  // namespace

// ---- view info ----

void TuxContainerViewInfo::Assign(TObject* Source) {
  if (auto* S = dynamic_cast<TuxContainerViewInfo*>(Source)) ClientRect = S->ClientRect;
}

TuxRegion* TuxContainerViewInfo::GetRepaintRegion(TuxContainerViewInfo*) { return new TuxRegion(); }

void TuxContainerViewInfo::Offset(int DX, int DY) {
  for (TRect* R : {&ContentRect, &Bounds, &ClientRect}) {
    R->left += DX;
    R->right += DX;
    R->top += DY;
    R->bottom += DY;
  }
}

void TuxContainerViewInfo::DrawBorder(TuxCanvas* Canvas, TRect R) {
  switch (BorderStyle) {
    case cbsSingle:
    case cbsThick:
      Canvas->FrameRect(R, BorderColor, BorderWidth);
      break;
    case cbsFlat:
    case cbs3D:
      Canvas->DrawEdge(R, true, true, Edges);
      R = uxInflated(R, -1, -1);
      if (BorderStyle == cbsFlat)
        Canvas->FrameRect(R, clBtnFace, 1, Edges);
      else
        Canvas->DrawComplexFrame(R, cl3DDkShadow, cl3DLight, Edges);
      break;
    default:
      break;
  }
}

void TuxContainerViewInfo::InternalPaint(TuxCanvas* Canvas) {
  if (Themed) {
    if (BorderStyle != cbsNone) {
      HTHEME Theme = kxOpenThemeOfKind(ThemeClass);
      RECT Content = Bounds;
      GetThemeBackgroundContentRect(Theme, Canvas->Handle(), ThemePart, ThemeState, Bounds, Content);
      COLORREF Border = 0;
      GetThemeColor(kxOpenThemeOfKind(tckComboBox), 1, 1, 3801, Border);
      uxFillRectExcept(Canvas, Bounds, Content, TColor(Border));
      Canvas->FillRect(Content, FillColor);
    } else {
      Canvas->FillRect(Bounds, FillColor);
    }
    return;
  }
  TRect R = ContentRect;
  R.left -= BorderWidth;
  R.top -= BorderWidth;
  if (Edges & uxbRight) R.right += BorderWidth;
  if (Edges & uxbBottom) R.bottom += BorderWidth;
  if (ShowShadow) uxPaintContainerShadow(Canvas, R);
  if (!(Edges & uxbRight)) R.right += BorderWidth;
  if (!(Edges & uxbBottom)) R.bottom += BorderWidth;
  DrawBorder(Canvas, R);
  Canvas->FillRect(ContentRect, FillColor);
}

// ---- the container ----

TuxContainer::TuxContainer(TComponent* AOwner) : TuxControl(AOwner) {}

void TuxContainer::AfterConstruction() {
  FIsCreating = true;
  FStyles.reset(GetStylesClass()(this, GetStyleClass()));
  FStyles->SetOnChanged(TNotifyEvent(this, &TuxContainer::StyleChangedHandler));
  FActiveStyleState = uxcsNormal;
  FActiveStyle = Style();
  FViewInfo.reset(GetViewInfoClass()());
  TuxControl::AfterConstruction();
  TuxControl::LookAndFeel()->SetMasterLookAndFeel(Style()->GetLookAndFeel());
  FControlStyle << csCaptureMouse << csSetCaption;
  SetTabStop(true);
  SetParentColor(DefaultParentColor() && !IsInplace() && !Style()->IsValueAssigned(csvColor));
  if (!ParentColor()) {
    FInternalSetting = true;
    SetColor(clWindow);
    FInternalSetting = false;
  }
  InvalidateInnerControlBounds();
  FIsCreating = false;
}

void TuxContainer::BeforeDestruction() {
  FIsDestroying = true;
  TuxControl::BeforeDestruction();
}

TuxContainer::~TuxContainer() {
  EndMouseTracking(this);
  FIsDestroying = true;
  FViewInfo.reset();
  if (FStyles) FStyles->SetOnChanged(nullptr);
  TuxControl::LookAndFeel()->SetMasterLookAndFeel(nullptr);
  FStyles.reset();
}

void TuxContainer::Loaded() {
  TuxControl::Loaded();
  ContainerStyleChanged(Style());
}

TuxContainerStyleClass TuxContainer::GetStyleClass() { return &uxCreateStyleOf<TuxContainerStyle>; }

TuxContainerStylesClass TuxContainer::GetStylesClass() {
  return [](TPersistent* O, TuxContainerStyleClass C) { return new TuxContainerStyles(O, C); };
}

TuxContainerViewInfoClass TuxContainer::GetViewInfoClass() {
  return []() { return new TuxContainerViewInfo(); };
}

TuxLookAndFeel* TuxContainer::GetLookAndFeel() {
  return FStyles ? Style()->GetLookAndFeel() : TuxControl::GetLookAndFeel();
}

TuxContainerStyle* TuxContainer::GetActiveStyle() {
  if (FViewInfo->StateFlags != FActiveStyleState || !FActiveStyle) {
    FActiveStyleState = FViewInfo->StateFlags;
    FActiveStyle = GetStyleByState();
  }
  return FActiveStyle;
}

TuxContainerStyle* TuxContainer::GetStyleByState() {
  TuxContainerStateFlags F = FViewInfo->StateFlags;
  if (F & uxcsDisabled) return StyleDisabled();
  if (F & uxcsFocused) return StyleFocused();
  if (Style()->GetHotTrack() && (F & uxcsHot)) return StyleHot();
  return Style();
}

bool TuxContainer::UseNativeStyle() {
  return uxIsNativeThemeAvailable(Style()->GetLookAndFeel()->NativeStyle(), GetThemedObjectType());
}

bool TuxContainer::HasShadow() { return GetActiveStyle()->GetShadow() && !UseNativeStyle(); }

void TuxContainer::GetBorderWidths(TRect& R) {
  TuxContainerStyle* S = GetActiveStyle();
  if (S->GetTransparentBorder()) {
    R = TRect{2, 2, 2, 2};
  } else if (!S->HasBorder()) {
    R = TRect{0, 0, 0, 0};
  } else if (UseNativeStyle()) {
    int W = Style()->GetBorderStyle() == cbsNone ? 0 : 2;
    R = TRect{W, W, W, W};
  } else {
    int W = uxGetContainerBorderWidth(FViewInfo->BorderStyle);
    TuxBorders E = S->GetEdges();
    R = TRect{(E & uxbLeft) ? W : 0, (E & uxbTop) ? W : 0, (E & uxbRight) ? W : 0, (E & uxbBottom) ? W : 0};
  }
  if (HasShadow()) {
    R.right += 3;
    R.bottom += 3;
  }
}

int TuxContainer::GetNativeState() {
  TuxContainerStateFlags F = FViewInfo->StateFlags;
  if (F & uxcsDisabled) return 4;
  if (F & uxcsFocused) return 5;
  if (F & uxcsHot) return 2;
  return 1;
}

void TuxContainer::CalculateViewInfo(const TPoint& P, bool IsMouseEvent) {
  TuxContainerViewInfo* V = FViewInfo.get();
  V->Themed = UseNativeStyle();
  int PrevWidth = uxGetContainerBorderWidth(V->BorderStyle);
  auto StateAndBorder = [&] {
    if (!Enabled())
      V->StateFlags = uxcsDisabled;
    else if (IsDesigning())
      V->StateFlags = uxcsNormal;
    else {
      V->StateFlags = IsContainerFocused() ? uxcsFocused : uxcsNormal;
      TRect B;
      GetInnerControlBounds(B);
      if (IsMouseEvent && PtIn(B, P)) V->StateFlags |= uxcsHot;
    }
    TuxContainerStyle* S = GetActiveStyle();
    if (!S->GetHotTrack())
      V->HotLevel = 0;
    else
      V->HotLevel = (V->StateFlags & (uxcsFocused | uxcsHot)) ? 2 : 1;
    if (V->Themed) {
      V->BorderStyle = Style()->GetBorderStyle();
    } else {
      TuxContainerBorderStyle B = S->GetBorderStyle();
      V->BorderStyle = (B == cbsUltraFlat || B == cbsOffice11) ? cbsSingle : B;
    }
  };
  StateAndBorder();
  if (!V->Themed && uxGetContainerBorderWidth(V->BorderStyle) < PrevWidth) StateAndBorder();
  if (V->Themed) {
    V->ThemeClass = GetThemedObjectType();
    V->ThemePart = GetNativePart();
    V->ThemeState = GetNativeState();
  }
  TuxContainerStyle* S = GetActiveStyle();
  V->Bounds = TRect{0, 0, Width(), Height()};
  TRect W;
  GetBorderWidths(W);
  V->ContentRect = TRect{V->Bounds.left + W.left, V->Bounds.top + W.top, V->Bounds.right - W.right,
                         V->Bounds.bottom - W.bottom};
  V->ClientRect = V->ContentRect;
  V->BorderWidth = uxGetContainerBorderWidth(V->BorderStyle);
  V->Edges = S->GetEdges();
  V->ShowShadow = HasShadow();
  TuxContainerBorderStyle AB = S->GetBorderStyle();
  if (AB != cbsUltraFlat && AB != cbsOffice11) {
    V->BorderColor = S->GetBorderColor();
  } else {
    bool Highlight = (V->StateFlags & uxcsFocused) || ((V->StateFlags & uxcsHot) && S->GetHotTrack()) ||
                     (IsDesigning() && Enabled());
    if (!Highlight)
      V->BorderColor = clBtnShadow;
    else
      V->BorderColor = AB == cbsOffice11 ? Office11SelectedBorderColor : clHighlight;
  }
  TColor Fill = S->GetColor();
  if (V->Themed && (V->StateFlags & uxcsDisabled)) {
    COLORREF C = 0;
    if (GetThemeColor(kxOpenThemeOfKind(V->ThemeClass), V->ThemePart, V->ThemeState, 3802, C) == 0) Fill = TColor(C);
  }
  V->SetBackgroundColor(Fill);
}

void TuxContainer::GetInnerControlBounds(TRect& R) {
  R = TRect{0, 0, Width(), Height()};
  if (!IsInplace()) {
    if (HasShadow()) {
      R.right -= 3;
      R.bottom -= 3;
    }
    TuxContainerStyle* S = Style();
    if (S->HasBorder()) {
      if (FViewInfo->Themed) {
        if (S->GetTransparentBorder() && S->GetBorderStyle() == cbsNone) R = uxInflated(R, -2, -2);
      } else if (S->GetTransparentBorder()) {
        int W = uxGetContainerBorderWidth(FViewInfo->BorderStyle);
        R = uxInflated(R, W - 2, W - 2);
        uxShrinkRectByMissingEdges(R, W, S->GetEdges());
      }
    } else if (S->GetTransparentBorder()) {
      R = uxInflated(R, -2, -2);
    }
  }
  if (R.bottom < R.top) {
    R.top = 0;
    R.bottom = 0;
  }
}

bool TuxContainer::RefreshView(const TPoint& P, Byte, TShiftState Shift, bool IsMouseEvent) {
  if (FRefreshLocked || IsDestroying() || !FViewInfo) return true;
  CalculateViewInfo(P, IsMouseEvent && Shift.Empty() && GetActiveStyle()->GetHotTrack());
  AlignInnerControl();
  AdjustInnerControl();
  UpdateWindowRegion();
  if (HandleAllocated()) {
    if (FInnerControl)
      uxInvalidateRectFrame(Handle(), FViewInfo->Bounds,
                            TRect{FInnerControl->Left(), FInnerControl->Top(),
                                  FInnerControl->Left() + FInnerControl->Width(),
                                  FInnerControl->Top() + FInnerControl->Height()},
                            false);
    else
      Invalidate();
  }
  if ((FViewInfo->StateFlags & uxcsHot) && HandleAllocated()) {
    TRect B;
    GetInnerControlBounds(B);
    TPoint TL = ClientToScreen(TPoint{B.left, B.top}), BR = ClientToScreen(TPoint{B.right, B.bottom});
    BeginMouseTracking(this, TRect{TL.x, TL.y, BR.x, BR.y}, this);
  }
  return true;
}

bool TuxContainer::RefreshMouseState(bool IsMouseEvent) {
  if (!HandleAllocated() || IsDestroying() || FRefreshingMouseState) return false;
  FRefreshingMouseState = true;
  bool Result = false;
  try {
    TPoint P{-1, -1}, S;
    uxGetCursorPos(S);
    HWND Under = WindowFromPoint(POINT{S.x, S.y});
    if (Under == Handle() || IsChild(Handle(), Under)) P = ScreenToClient(S);
    Result = RefreshView(P, 0, uxGetCurrentShiftState(), IsMouseEvent);
  } catch (...) {
    FRefreshingMouseState = false;
    throw;
  }
  FRefreshingMouseState = false;
  return Result;
}

void TuxContainer::AlignInnerControl() {
  if (!FInnerControl || IsDestroying()) return;
  const TRect& C = FViewInfo->ClientRect;
  if (FInnerControl->BoundsRect() == C) return;
  FRefreshLocked = true;
  try {
    FInnerControl->SetBounds(C.left, C.top, C.right - C.left, C.bottom - C.top);
  } catch (...) {
    FRefreshLocked = false;
    throw;
  }
  FRefreshLocked = false;
}

void TuxContainer::AdjustInnerControl() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(FViewInfo->FillColor);
  FInnerControl->SetFont(GetActiveStyle()->GetVisibleFont());
}

void TuxContainer::AlignControls(TControl* AControl, TRect& Rect) {
  if (ActsAsParentContainer()) return TuxControl::AlignControls(AControl, Rect);
  if (FLockAlignControls > 0 || (AControl && IsInternalControl(AControl))) return;
  if (!AControl) TuxControl::AlignControls(AControl, Rect);
  if (FIsCreating) return;
  auto* W = dynamic_cast<TWinControl*>(AControl);
  if (!W || !W->HandleAllocated()) return;
  TuxControlVisibleArea A;
  GetInnerControlVisibleArea(Rect, W, A);
  if (A == FInnerControlVisibleArea) return;
  uxSetControlWindowRegion(W, A);
  FInnerControlVisibleArea = A;
}

void TuxContainer::GetInnerControlVisibleArea(const TRect& R, TWinControl* Control, TuxControlVisibleArea& Area) {
  TRect B = Control->BoundsRect();
  TRect I{std::max(B.left, R.left), std::max(B.top, R.top), std::min(B.right, R.right), std::min(B.bottom, R.bottom)};
  Area.IsEmpty = false;
  Area.WholeControl = I == B;
  Area.Rect = TRect{I.left - B.left, I.top - B.top, I.right - B.left, I.bottom - B.top};
  if (RectIsEmpty(Area.Rect)) Area.Rect = TRect{0, 0, 0, 0};
}

void TuxContainer::GetRegionBounds(TRect& R) {
  TRect W;
  GetBorderWidths(W);
  R = TRect{FViewInfo->Bounds.left + W.left, FViewInfo->Bounds.top + W.top, FViewInfo->Bounds.right - W.right,
            FViewInfo->Bounds.bottom - W.bottom};
  int BW = uxGetContainerBorderWidth(FViewInfo->GetBorderStyle());
  R = uxInflated(R, BW, BW);
  uxShrinkRectByMissingEdges(R, BW, GetActiveStyle()->GetEdges());
}

bool TuxContainer::UsesOwnBorderRegion() { return !(FViewInfo->Themed && FViewInfo->BorderStyle != cbsNone); }

void TuxContainer::UpdateWindowRegion() {
  if (!HandleAllocated()) return;
  TRect R;
  GetRegionBounds(R);
  uxSetWindowRegion(Handle(), R, !UsesOwnBorderRegion(), TRect{}, FViewInfo->ShowShadow);
}

void TuxContainer::ClipCanvasToRegion() {
  TRect R;
  GetRegionBounds(R);
  HRGN H = uxCreateContainerRegion(R, false, TRect{}, FViewInfo->ShowShadow);
  Canvas()->SetClipRegion(TuxRegion::CreateFromHandle(H), rcoIntersect);
}

void TuxContainer::Paint() {
  if (!Canvas()->RectVisible(FViewInfo->Bounds)) return;
  if (ControlState().Contains(csPaintCopy)) ClipCanvasToRegion();
  FViewInfo->Paint(Canvas());
}

void TuxContainer::ContainerStyleChanged(TObject*) {
  if (FIsCreating || IsLoading() || !FStyles) return;
  RefreshMouseState(false);
  FInternalSetting = true;
  try {
    if (!ParentColor() || Style()->IsValueAssigned(csvColor)) SetColor(Style()->GetColor());
    // The copy alone does not end the font's following of the parent.
    bool KeepParentFont = ParentFont() && !Style()->IsValueAssigned(csvFont);
    if (Style()->GetFont()) TuxControl::SetFont(Style()->GetFont());
    if (Style()->IsValueAssigned(csvFont))
      SetParentFont(false);
    else if (KeepParentFont && !ParentFont())
      SetParentFont(true);
  } catch (...) {
    FInternalSetting = false;
    throw;
  }
  FInternalSetting = false;
}

void TuxContainer::ColorChanged() {
  if (!FInternalSetting && FStyles && !FIsCreating) {
    Style()->SetColor(Color());
    return;
  }
  TuxControl::ColorChanged();
  RefreshMouseState(false);
}

void TuxContainer::CMFontChanged(TMessage& M) {
  if (!FInternalSetting && FStyles && !FIsCreating) {
    bool WasAssigned = Style()->AssignedValues() & uxStyleValue(csvFont);
    Style()->SetFont(Font());
    if (!WasAssigned) Style()->SetAssignedValues(Style()->AssignedValues() & ~uxStyleValue(csvFont));
    return;
  }
  TuxControl::Dispatch(M);
  AlignInnerControl();
  UpdateScrollBars(false);
  RefreshMouseState(false);
}

void TuxContainer::CMParentColorChanged(TMessage& M) {
  bool WasAssigned = Style()->AssignedValues() & uxStyleValue(csvColor);
  TuxControl::Dispatch(M);
  if (!WasAssigned || ParentColor())
    Style()->SetAssignedValues(Style()->AssignedValues() & ~uxStyleValue(csvColor));
  if (Style()->GetColor() != Color()) ContainerStyleChanged(Style());
  if (IsTransparentBackground() && !ParentColor()) Invalidate();
}

void TuxContainer::CMParentFontChanged(TMessage& M) {
  bool WasAssigned = Style()->AssignedValues() & uxStyleValue(csvFont);
  TuxControl::Dispatch(M);
  if (!ParentFont()) Style()->ControllerChanged();
  if (!WasAssigned || ParentFont()) Style()->SetAssignedValues(Style()->AssignedValues() & ~uxStyleValue(csvFont));
}

void TuxContainer::CursorChanged() {
  TuxControl::CursorChanged();
  if (FInnerControl) FInnerControl->SetCursor(Cursor());
}

void TuxContainer::FocusChanged() {
  TuxControl::FocusChanged();
  RefreshMouseState(false);
}

bool TuxContainer::MayFocus() { return !(FInnerControl && FInnerControl->HandleAllocated() && FInnerControl->Focused()); }

bool TuxContainer::CanFocusOnClick() {
  return TuxControl::CanFocusOnClick() && !FInnerControlMouseDown &&
         !(FInnerControl && FInnerControl->HandleAllocated() && FInnerControl->Focused());
}

bool TuxContainer::Focused() {
  if (IsDesigning() || !HandleAllocated() || ControlState().Contains(csDestroyingHandle)) return false;
  if (TWinControl::Focused()) return true;
  return FInnerControl && FInnerControl->HandleAllocated() && FInnerControl->Focused();
}

void TuxContainer::SetFocus() {
  if (IsDesigning() || IsContainerFocused()) return;
  TuxControl::SetFocus();
  if (HandleAllocated() && GetFocus() == Handle() && FInnerControl && FInnerControl->HandleAllocated()) {
    FocusInnerControl();
    if (TCustomForm* F = GetParentForm(this)) F->FocusControl(FInnerControl);
  }
}

void TuxContainer::FocusInnerControl() {
  if (FInnerControl && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TuxContainer::SetDragKind(TDragKind Value) {
  TuxControl::SetDragKind(Value);
  if (FInnerControl) FInnerControl->SetDragKind(Value);
}

void TuxContainer::SetDragMode(TDragMode Value) {
  TuxControl::SetDragMode(Value);
  if (FInnerControl) FInnerControl->SetDragMode(Value);
}

TDragImageList* TuxContainer::GetDragImages() {
  return FInnerControl ? FInnerControl->GetDragImages() : TuxControl::GetDragImages();
}

void TuxContainer::GetTabOrderList(std::vector<TWinControl*>& List) {
  TWinControl::GetTabOrderList(List);
  if (ActsAsParentContainer()) return;
  TCustomForm* F = GetParentForm(this);
  if (!F || !FInnerControl || F->ActiveControl() != FInnerControl) return;
  for (TWinControl*& C : List)
    if (C == this) C = FInnerControl;
}

void TuxContainer::WMSetFocus(TMessage& M) {
  if (!Visible()) return;
  HWND From = reinterpret_cast<HWND>(M.WParam);
  if (FInnerControl && FInnerControl->HandleAllocated() && From == FInnerControl->Handle()) {
    M.Result = 0;
    return;
  }
  TuxControl::Dispatch(M);
  if (FInnerControl && FInnerControl->HandleAllocated() && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TuxContainer::WMKillFocus(TMessage& M) {
  HWND To = reinterpret_cast<HWND>(M.WParam);
  if (FInnerControl && FInnerControl->HandleAllocated() && To == FInnerControl->Handle()) {
    M.Result = 0;
    return;
  }
  TuxControl::Dispatch(M);
}

void TuxContainer::WMWindowPosChanging(TMessage& M) {
  if (IsDestroying()) {
    M.Result = 0;
    return;
  }
  TuxControl::Dispatch(M);
  if (HandleAllocated() && GetFocus() == Handle() && FInnerControl && FInnerControl->HandleAllocated() &&
      FInnerControl->CanFocus())
    if (TCustomForm* F = GetParentForm(this)) F->FocusControl(FInnerControl);
}

void TuxContainer::WMWindowPosChanged(TMessage& M) {
  TuxControl::Dispatch(M);
  if (IsTransparentBackground()) RefreshMouseState(false);
}

void TuxContainer::CMCtl3DChanged(TMessage& M) {
  TuxControl::Dispatch(M);
  RefreshMouseState(false);
}

void TuxContainer::CMSysColorChange(TMessage& M) {
  TuxControl::Dispatch(M);
  RefreshMouseState(false);
}

void TuxContainer::CMEnabledChanged(TMessage& M) {
  TuxControl::Dispatch(M);
  EnabledChanged();
}

void TuxContainer::EnabledChanged() {
  if (HasScrollBars()) {
    if (HScrollBar()) HScrollBar()->SetEnabled(Enabled());
    if (VScrollBar()) VScrollBar()->SetEnabled(Enabled());
  }
  RefreshMouseState(false);
}

void TuxContainer::Resize() {
  TuxControl::Resize();
  if (!FIsCreating) RefreshMouseState(false);
}

void TuxContainer::CreateHandle() {
  TuxControl::CreateHandle();
  RefreshMouseState(false);
}

void TuxContainer::CreateParams(TCreateParams& Params) {
  TuxControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TuxContainer::CreateWindowHandle(const TCreateParams& Params) {
  TCreateParams P = Params;
  TuxControl::CreateWindowHandle(P);
}

void TuxContainer::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (FInnerControl && FInnerControl->HandleAllocated()) {
        Message.Result = SendMessageA(FInnerControl->Handle(), Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      break;
    case WM_SETFOCUS:
      if (!Visible()) return;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (DragMode() == dmAutomatic && !IsDesigning()) {
        BeginDrag(true);
        return;
      }
      break;
  }
  TuxControl::WndProc(Message);
}

bool TuxContainer::InnerControlMessage(TMessage& Message) {
  if (Message.Msg == CN_KEYDOWN || Message.Msg == CN_SYSKEYDOWN) {
    TWMKey& K = reinterpret_cast<TWMKey&>(Message);
    for (TWinControl* C = this; C; C = C->Parent()) {
      auto* X = dynamic_cast<TuxControl*>(C);
      if (!X) break;
      if (X->PopupMenu() && ::IsPopupMenuShortCut(X->PopupMenu(), K)) {
        Message.Result = 1;
        return true;
      }
    }
  }
  return false;
}

void TuxContainer::KeyDown(Word& Key, TShiftState Shift) {
  TuxControl::KeyDown(Key, Shift);
  if (Key == VK_TAB && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && Focused() && !WantsTabKey()) {
    Key = 0;
    if (TCustomForm* F = GetParentForm(this)) {
      TWinControl* From = (FInnerControl && FInnerControl->HandleAllocated() && FInnerControl->Focused())
                              ? FInnerControl
                              : static_cast<TWinControl*>(this);
      F->SelectNext(From, !Shift.Contains(ssShift), true);
    }
    if (HandleAllocated() && GetFocus() == Handle()) FocusInnerControl();
  }
}

// Tab in the inner control moves on from the container, as Tab in the
// container itself does.
void TuxContainer::CMChildKey(TMessage& M) {
  TShiftState Shift = uxGetCurrentShiftState();
  if (M.WParam == VK_TAB && FInnerControl && reinterpret_cast<TControl*>(M.LParam) == FInnerControl &&
      !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && !WantsTabKey()) {
    if (TCustomForm* F = GetParentForm(this)) F->SelectNext(this, !Shift.Contains(ssShift), true);
    M.Result = 1;
    return;
  }
  TuxControl::Dispatch(M);
}

void TuxContainer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TuxControl::MouseDown(Button, Shift, X, Y);
  RefreshView(TPoint{X, Y}, uxTranslateMouseButton(Button), Shift, true);
}

void TuxContainer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TuxControl::MouseUp(Button, Shift, X, Y);
  RefreshView(TPoint{X, Y}, uxTranslateMouseButton(Button), Shift, true);
}

void TuxContainer::MouseMove(TShiftState Shift, int X, int Y) {
  TuxControl::MouseMove(Shift, X, Y);
  RefreshView(TPoint{X, Y}, 0, Shift, true);
}

void TuxContainer::MouseEnter(TControl* Control) {
  TuxControl::MouseEnter(Control);
  RefreshMouseState(true);
}

void TuxContainer::MouseLeave(TControl* Control) {
  TuxControl::MouseLeave(Control);
  RefreshMouseState(true);
  EndMouseTracking(this);
}

void TuxContainer::TrackingMouseLeave() {
  MouseLeave(nullptr);
  EndMouseTracking(this);
}

void TuxContainer::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (FPopupMenuLockCount > 0) {
    Handled = true;
    return;
  }
  if ((MousePos.x == -1 && MousePos.y == -1) || CanShowPopupMenuAt(MousePos))
    TuxControl::DoContextPopup(MousePos, Handled);
  else
    Handled = true;
}

void TuxContainer::WMSetCursor(TWMSetCursor& M) {
  if (M.CursorWnd() == Handle() && M.HitTest() == HTCLIENT && FInnerControl) {
    TPoint S;
    uxGetCursorPos(S);
    if (!PtIn(FViewInfo->ClientRect, ScreenToClient(S))) {
      ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      M.Result = 1;
      return;
    }
  }
  TuxControl::Dispatch(M);
}

// ---- own scroll bars over the inner control ----

void TuxContainer::PostUpdateScrollBars() {
  if (FInnerControl && HandleAllocated() && !IsDestroying()) PostMessageA(Handle(), UXM_UPDATESCROLLBARS, 0, 0);
}

bool TuxContainer::GetInnerScrollBarInfo(SCROLLBARINFO& Info, TScrollBarKind Kind) {
  if (!FInnerControl || !FInnerControl->HandleAllocated() || !HandleAllocated() || !Parent()) return false;
  return uxGetScrollBarInfo(FInnerControl->Handle(), Kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, Info);
}

bool TuxContainer::IsScrollBarInfoVisible(const SCROLLBARINFO& Info) {
  return !(Info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
}

bool TuxContainer::CanShowScrollBar(TuxScrollBar* ScrollBar, const SCROLLBARINFO& Info) {
  return ScrollBar->Parent() && ScrollBar->Parent()->Enabled() && !(Info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

bool TuxContainer::GetScrollBarClientRect(const SCROLLBARINFO& Info, TRect& R) {
  TPoint TL = ScreenToClient(TPoint{Info.rcScrollBar.left, Info.rcScrollBar.top});
  TPoint BR = ScreenToClient(TPoint{Info.rcScrollBar.right, Info.rcScrollBar.bottom});
  if (TL.x < 0 || TL.y < 0 || BR.x > Width() || BR.y > Height()) {
    R = TRect{0, 0, 0, 0};
    return false;
  }
  R = TRect{TL.x, TL.y, BR.x - TL.x, BR.y - TL.y};  // left, top, width, height
  return true;
}

void TuxContainer::SetScrollBarVisible(TuxScrollBar* ScrollBar, bool Visible) {
  if (Visible) {
    ScrollBar->SetCtl3D(false);
    ScrollBar->BringToFront();
  }
  ScrollBar->SetVisible(Visible);
}

void TuxContainer::UpdateScrollBarBounds(TuxScrollBar* ScrollBar) {
  SCROLLBARINFO Info{};
  if (GetInnerScrollBarInfo(Info, ScrollBar->Kind()) && IsScrollBarInfoVisible(Info)) {
    ScrollBar->SetEnabled(CanShowScrollBar(ScrollBar, Info));
    TRect R;
    GetScrollBarClientRect(Info, R);
    ScrollBar->SetBounds(R.left, R.top, R.right, R.bottom);
    SetScrollBarVisible(ScrollBar, true);
  } else {
    SetScrollBarVisible(ScrollBar, false);
  }
}

void TuxContainer::UpdateScrollBars(bool JustHide) {
  if (!FInnerControl || IsDestroying() || !HasScrollBars() || !uxIsScrollBarInfoAvailable() || FScrollBarsCalculating)
    return;
  FScrollBarsCalculating = true;
  try {
    for (TuxScrollBar* Bar : {static_cast<TuxScrollBar*>(HScrollBar()), static_cast<TuxScrollBar*>(VScrollBar())}) {
      if (!Bar) continue;
      if (!JustHide) UpdateScrollBarBounds(Bar);
      if (Bar->Visible() && FInnerControl->HandleAllocated()) {
        SCROLLINFO SI{};
        SI.cbSize = sizeof(SI);
        SI.fMask = SIF_ALL;
        GetScrollInfo(FInnerControl->Handle(), Bar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &SI);
        int Page = std::min<int>(SI.nPage, SI.nMax);
        Bar->SetScrollParams(SI.nMin, SI.nMax, SI.nPos, std::max(Page, 0), true);
      }
    }
  } catch (...) {
    FScrollBarsCalculating = false;
    throw;
  }
  FScrollBarsCalculating = false;
}
