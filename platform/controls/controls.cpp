// TControl, TWinControl, the canvases of controls, the hint window, the drag
// manager and the helper windows.
#include "platform/controls/controls.h"
#include <algorithm>
#include <cstring>
#include <map>
#include "platform/classes/filer.h"
#include "platform/controls/forms.h"
#include "platform/controls/imglist.h"
#include "platform/controls/menus.h"
#include "platform/rtl/strings.h"

namespace {
constexpr const char* kControlProp = "PvControl";
TWinControl* gCreationControl = nullptr;
TControl* gCaptureControl = nullptr;
int gAnchorMove = 0;   // > 0 while alignment moves anchored controls
UINT_PTR gNextChildId = 100;

struct AnchorMoveScope {
  AnchorMoveScope() { ++gAnchorMove; }
  ~AnchorMoveScope() { --gAnchorMove; }
};

bool PtIn(const TRect& r, const TPoint& p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
}  // namespace

// ---------------------------------------------------------------------------
// shift states and cursors

TShiftState KeysToShiftState(UINT Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s << ssShift;
  if (Keys & MK_CONTROL) s << ssCtrl;
  if (Keys & MK_LBUTTON) s << ssLeft;
  if (Keys & MK_RBUTTON) s << ssRight;
  if (Keys & MK_MBUTTON) s << ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s << ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
  if ((KeyData & 0x20000000) || GetKeyState(VK_MENU) < 0) s << ssAlt;
  return s;
}

TShiftState GetShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s << ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s << ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s << ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s << ssMiddle;
  return s;
}

namespace {
const TIdentMap& CursorMap() {
  static const TIdentMap map{{
      {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
      {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
      {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
      {crNoDrop, "crNoDrop"}, {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"},
      {crSQLWait, "crSQLWait"}, {crNo, "crNo"}, {crAppStart, "crAppStart"}, {crHelp, "crHelp"},
      {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"}, {crSize, "crSize"},
  }};
  return map;
}
}  // namespace

const TIdentMap* CursorIdentMap() { return &CursorMap(); }
bool CursorToIdent(int Cursor, AnsiString& Ident) { return CursorMap().IntToIdent(Cursor, Ident); }
bool IdentToCursor(const AnsiString& Ident, int& Cursor) {
  Int64 v = 0;
  if (!CursorMap().IdentToInt(Ident, v)) return false;
  Cursor = int(v);
  return true;
}

int PvScreenPixelsPerInch() { return 96; }

AnsiString GetShortHint(const AnsiString& Hint) {
  int bar = AnsiPos("|", Hint);
  return bar == 0 ? Hint : Hint.substr(0, std::size_t(bar - 1));
}

AnsiString GetLongHint(const AnsiString& Hint) {
  int bar = AnsiPos("|", Hint);
  return bar == 0 ? Hint : Hint.substr(std::size_t(bar));
}

// ---------------------------------------------------------------------------
// size constraints

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinHeight = c->FMinHeight;
    FMaxHeight = c->FMaxHeight;
    FMinWidth = c->FMinWidth;
    FMaxWidth = c->FMaxWidth;
    Change();
    return;
  }
  TPersistent::Assign(Source);
}
void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}
void TSizeConstraints::SetMaxHeight(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMaxHeight) return;
  FMaxHeight = Value;
  if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
  Change();
}
void TSizeConstraints::SetMaxWidth(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMaxWidth) return;
  FMaxWidth = Value;
  if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
  Change();
}
void TSizeConstraints::SetMinHeight(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMinHeight) return;
  FMinHeight = Value;
  if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
  Change();
}
void TSizeConstraints::SetMinWidth(int Value) {
  if (Value < 0) Value = 0;
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
  Change();
}

// ---------------------------------------------------------------------------
// action link of controls

TControlActionLink::TControlActionLink(TObject* AClient) : TActionLink(AClient), FClient(dynamic_cast<TControl*>(AClient)) {}

namespace {
TCustomAction* AsCustomAction(TBasicAction* a) { return dynamic_cast<TCustomAction*>(a); }
}  // namespace

bool TControlActionLink::IsCaptionLinked() {
  auto* a = AsCustomAction(FAction);
  return TActionLink::IsCaptionLinked() && a && FClient->Caption() == a->Caption();
}
bool TControlActionLink::IsEnabledLinked() {
  auto* a = AsCustomAction(FAction);
  return TActionLink::IsEnabledLinked() && a && FClient->Enabled() == a->Enabled();
}
bool TControlActionLink::IsHintLinked() {
  auto* a = AsCustomAction(FAction);
  return TActionLink::IsHintLinked() && a && FClient->Hint() == a->Hint();
}
bool TControlActionLink::IsVisibleLinked() {
  auto* a = AsCustomAction(FAction);
  return TActionLink::IsVisibleLinked() && a && FClient->Visible() == a->Visible();
}
bool TControlActionLink::IsHelpContextLinked() {
  auto* a = AsCustomAction(FAction);
  return TActionLink::IsHelpContextLinked() && a && FClient->HelpContext() == a->HelpContext();
}
bool TControlActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FAction && FClient->OnClick == FAction->OnExecute;
}
void TControlActionLink::SetCaption(const AnsiString& Value) {
  if (IsCaptionLinked()) FClient->SetCaption(Value);
}
void TControlActionLink::SetEnabled(bool Value) {
  if (IsEnabledLinked()) FClient->SetEnabled(Value);
}
void TControlActionLink::SetHint(const AnsiString& Value) {
  if (IsHintLinked()) FClient->SetHint(Value);
}
void TControlActionLink::SetVisible(bool Value) {
  if (IsVisibleLinked()) FClient->SetVisible(Value);
}
void TControlActionLink::SetHelpContext(int Value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}
void TControlActionLink::SetOnExecute(const TNotifyEvent& Value) {
  if (IsOnExecuteLinked()) FClient->OnClick = Value;
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FConstraints(new TSizeConstraints(this)), FFont(new TFont) {
  WindowProc = TWndMethod(this, &TControl::WndProc);
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
  FConstraints->OnChange = TNotifyEvent(this, &TControl::ConstraintsChanged);
}

TControl::~TControl() {
  if (gCaptureControl == this) gCaptureControl = nullptr;
  if (DragControl() == this) CancelDrag();
  FActionLink.reset();
  if (FParent) FParent->RemoveControl(this);
  if (Application) Application->ControlDestroyed(this);
}

void TControl::SetParentWindow(HWND Value) {
  if (FParentWindow == Value) return;
  auto* w = dynamic_cast<TWinControl*>(this);
  // pop-up windows only take the value for their next creation
  if (!FParent && w && w->HandleAllocated() && (GetWindowLongA(w->Handle(), GWL_STYLE) & WS_CHILD)) {
    if (FParentWindow && Value) {
      FParentWindow = Value;
      ::SetParent(w->Handle(), Value);
      return;
    }
    w->DestroyHandle();
  }
  FParentWindow = Value;
  if (w) w->UpdateControlState();
  if (w && Value && FControlState.Contains(csAlignmentNeeded)) w->Realign();
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (AParent && AParent->HasAncestor(this))
    throw EInvalidOperation("A control cannot be placed inside one of its own children");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

bool TControl::HasAncestor(const TControl* Ancestor) const {
  for (const TControl* c = FParent; c; c = c->FParent)
    if (c == Ancestor) return true;
  return false;
}

void TControl::ReadState(TReader* Reader) {
  FControlState << csReadingState;
  try {
    TComponent::ReadState(Reader);
  } catch (...) {
    FControlState >> csReadingState;
    throw;
  }
  FControlState >> csReadingState;
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FActionLink) ActionChange(FActionLink->Action(), true);
  UpdateAnchorRules();
  RequestAlign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FPopupMenu) FPopupMenu = nullptr;
    if (FActionLink && AComponent == FActionLink->Action()) FActionLink.reset();
  }
}

// -- geometry --

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool ok = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, ok);
  return ok;
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
  if (OnConstrainedResize) OnConstrainedResize(this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::DoConstraints(int& NewWidth, int& NewHeight) {
  int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
  int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && NewWidth > maxW) NewWidth = maxW;
  if (minW > 0 && NewWidth < minW) NewWidth = minW;
  if (maxH > 0 && NewHeight > maxH) NewHeight = maxH;
  if (minH > 0 && NewHeight < minH) NewHeight = minH;
}

void TControl::ConstraintsChanged(TObject*) {
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  {
    int w = AWidth, h = AHeight;
    if ((w != FWidth || h != FHeight) && !CanResize(w, h)) {
      w = FWidth;
      h = FHeight;
    }
    DoConstraints(w, h);
    AWidth = w;
    AHeight = h;
  }
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool sized = AWidth != FWidth || AHeight != FHeight;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  RequestAlign();
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& R) {
  FLeft = R.left;
  FTop = R.top;
  FWidth = R.Width();
  FHeight = R.Height();
  UpdateAnchorRules();
}

TRect TControl::ClientRect() { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int W, int H) {
  TRect c = ClientRect();
  SetBounds(FLeft, FTop, FWidth - c.right + W, FHeight - c.bottom + H);
}
void TControl::SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
void TControl::SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }

TPoint TControl::ClientOrigin() {
  if (!FParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  TPoint p = FParent->ClientOrigin();
  return {p.x + FLeft, p.y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& P) {
  TPoint o = ClientOrigin();
  return {P.x + o.x, P.y + o.y};
}

TPoint TControl::ScreenToClient(const TPoint& P) {
  TPoint o = ClientOrigin();
  return {P.x - o.x, P.y - o.y};
}

TPoint TControl::ClientToParent(const TPoint& P, TWinControl* AParent) {
  if (!AParent) AParent = FParent;
  TPoint r = P;
  for (TControl* c = this; c != AParent; c = c->FParent) {
    if (!c->FParent) throw EInvalidOperation("'" + AParent->Name() + "' is not a parent of '" + Name() + "'");
    r.x += c->FLeft;
    r.y += c->FTop;
  }
  return r;
}

TPoint TControl::ParentToClient(const TPoint& P, TWinControl* AParent) {
  TPoint o = ClientToParent({0, 0}, AParent);
  return {P.x - o.x, P.y - o.y};
}

TAnchors AnchorsOfAlign(TAlign Align) {
  switch (Align) {
    case alTop: return {akLeft, akTop, akRight};
    case alBottom: return {akLeft, akRight, akBottom};
    case alLeft: return {akLeft, akTop, akBottom};
    case alRight: return {akTop, akRight, akBottom};
    case alClient: return {akLeft, akTop, akRight, akBottom};
    default: return {akLeft, akTop};
  }
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  TAlign old = FAlign;
  FAlign = Value;
  FAnchors = AnchorsOfAlign(Value);
  if (old == alClient || Value != alNone) RequestAlign();
  if (Value == alNone) UpdateAnchorRules();
}

void TControl::SetAnchors(TAnchors Value) {
  if (Value == FAnchors) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (gAnchorMove > 0 || ComponentState().Contains(csLoading)) return;
  FAnchorOrigin = {FLeft, FTop};
  FAnchorSize = {FWidth, FHeight};
  if (FParent) {
    TRect r = FParent->ClientRect();
    FOriginalParentSize = {r.right, r.bottom};
  } else {
    FOriginalParentSize = {0, 0};
  }
}

void TControl::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::AdjustSize() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  int w = FWidth, h = FHeight;
  if (CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

// -- state --

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value, 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  SetVisible(true);
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

AnsiString TControl::GetText() { return FText; }

void TControl::SetTextValue(const AnsiString& Value) { FText = Value; }

void TControl::SetText(const AnsiString& Value) {
  if (GetText() == Value) return;
  SetTextValue(Value);
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor && !FParentColor) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (Value && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  FDesktopFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetBiDiMode(TBiDiMode Value) {
  if (Value == FBiDiMode) return;
  FBiDiMode = Value;
  FParentBiDiMode = false;
  Perform(CM_BIDIMODECHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  if (Value == FShowHint && !FParentShowHint) return;
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  if (Value && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

TPopupMenu* TControl::GetPopupMenu() { return FPopupMenu; }

// -- actions --

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TControlActionLink>(this);
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent(this, &TControl::DoActionChange);
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TControl::DoActionChange(TObject* Sender) {
  if (FActionLink && Sender == FActionLink->Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (!a) return;
  if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
  if (!CheckDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(a->Hint());
  if (!CheckDefaults || FVisible) SetVisible(a->Visible());
  if (!CheckDefaults || FHelpContext == 0) SetHelpContext(a->HelpContext());
  if (!CheckDefaults || !OnClick) OnClick = a->OnExecute;
}

void TControl::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

// -- messages --

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  if (WindowProc) WindowProc(m);
  else WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST) {
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && FDragMode == dmAutomatic &&
        FDragKind == dkDrag && !Dragging()) {
      BeginDrag(false, -1);
      return;
    }
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) FControlState << csLButtonDown;
    else if (Message.Msg == WM_LBUTTONUP) FControlState >> csLButtonDown;
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(static_cast<TWMMouse&>(M)); break;
    case WM_LBUTTONUP: WMLButtonUp(static_cast<TWMMouse&>(M)); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(static_cast<TWMMouse&>(M)); break;
    case WM_RBUTTONDOWN: WMRButtonDown(static_cast<TWMMouse&>(M)); break;
    case WM_RBUTTONUP: WMRButtonUp(static_cast<TWMMouse&>(M)); break;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(static_cast<TWMMouse&>(M)); break;
    case WM_MBUTTONDOWN: WMMButtonDown(static_cast<TWMMouse&>(M)); break;
    case WM_MBUTTONUP: WMMButtonUp(static_cast<TWMMouse&>(M)); break;
    case WM_MOUSEMOVE: WMMouseMove(static_cast<TWMMouse&>(M)); break;
    case WM_MOUSEWHEEL: WMMouseWheel(M); break;
    case WM_CONTEXTMENU: WMContextMenu(M); break;
    case WM_CANCELMODE: WMCancelMode(M); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(M); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(M); break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(M); break;
    case CM_FONTCHANGED: CMFontChanged(M); break;
    case CM_COLORCHANGED: CMColorChanged(M); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(M); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(M); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(M); break;
    case CM_HITTEST: CMHitTest(M); break;
    case CM_MOUSEENTER: CMMouseEnter(M); break;
    case CM_MOUSELEAVE: CMMouseLeave(M); break;
    case CM_HINTSHOW: CMHintShow(M); break;
    case CM_MOUSEWHEEL: CMMouseWheel(M); break;
    case CM_DRAG: CMDrag(M); break;
    default: DefaultHandler(M); break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      AnsiString t = FText;
      std::size_t n = std::min<std::size_t>(t.size(), Message.WParam ? Message.WParam - 1 : 0);
      if (Message.WParam && Message.LParam) {
        std::memcpy(reinterpret_cast<char*>(Message.LParam), t.data(), n);
        reinterpret_cast<char*>(Message.LParam)[n] = 0;
      }
      Message.Result = LRESULT(n);
      break;
    }
    case WM_GETTEXTLENGTH: Message.Result = LRESULT(FText.size()); break;
    case WM_SETTEXT:
      FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = 1;
      break;
    default: break;
  }
}

void TControl::Click() {
  if (OnClick && FActionLink && FActionLink->Action() && !(OnClick == FActionLink->Action()->OnExecute))
    OnClick(this);
  else if (FActionLink && FActionLink->Action())
    FActionLink->Execute(this);
  else if (OnClick)
    OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::SendCancelMode(TControl* Sender) {
  if (TCustomForm* f = GetParentForm(this)) {
    if (f->Active() && f->ActiveControl()) f->ActiveControl()->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
  }
}

void TControl::WMLButtonDown(TWMMouse& M) {
  SendCancelMode(this);
  DefaultHandler(M);  // the window's own procedure sees the click first
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState << csClicked;
  if (!FControlStyle.Contains(csNoStdEvents)) MouseDown(mbLeft, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
}

void TControl::WMLButtonDblClk(TWMMouse& M) {
  SendCancelMode(this);
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  if (!FControlStyle.Contains(csNoStdEvents))
    MouseDown(mbLeft, KeysToShiftState(M.Keys()) + TShiftState{ssDouble}, M.XPos(), M.YPos());
}

void TControl::WMLButtonUp(TWMMouse& M) {
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState >> csClicked;
    if (PtIn(ClientRect(), M.Pos())) Click();
  }
  if (!FControlStyle.Contains(csNoStdEvents)) MouseUp(mbLeft, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
}

void TControl::WMRButtonDown(TWMMouse& M) {
  SendCancelMode(this);
  if (!FControlStyle.Contains(csNoStdEvents)) MouseDown(mbRight, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
  DefaultHandler(M);
}
void TControl::WMRButtonDblClk(TWMMouse& M) {
  if (!FControlStyle.Contains(csNoStdEvents))
    MouseDown(mbRight, KeysToShiftState(M.Keys()) + TShiftState{ssDouble}, M.XPos(), M.YPos());
  DefaultHandler(M);
}
void TControl::WMRButtonUp(TWMMouse& M) {
  if (!FControlStyle.Contains(csNoStdEvents)) MouseUp(mbRight, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
  DefaultHandler(M);
}
void TControl::WMMButtonDown(TWMMouse& M) {
  SendCancelMode(this);
  if (!FControlStyle.Contains(csNoStdEvents)) MouseDown(mbMiddle, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
  DefaultHandler(M);
}
void TControl::WMMButtonUp(TWMMouse& M) {
  if (!FControlStyle.Contains(csNoStdEvents)) MouseUp(mbMiddle, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
  DefaultHandler(M);
}
void TControl::WMMouseMove(TWMMouse& M) {
  if (!FControlStyle.Contains(csNoStdEvents)) MouseMove(KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
  DefaultHandler(M);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) {
    if (WheelDelta < 0) handled = DoMouseWheelDown(Shift, MousePos);
    else if (WheelDelta > 0) handled = DoMouseWheelUp(Shift, MousePos);
  }
  return handled;
}
bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}
bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

void TControl::WMMouseWheel(TMessage& M) {
  TWMMouseWheel& w = static_cast<TWMMouseWheel&>(M);
  TPoint p{w.XPos(), w.YPos()};
  if (DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), p)) {
    M.Result = 1;
    return;
  }
  // Not handled here: the parent gets a chance.
  if (FParent) {
    M.Result = FParent->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam);
    if (M.Result) return;
  }
  DefaultHandler(M);
}

void TControl::CMMouseWheel(TMessage& M) {
  TWMMouseWheel& w = static_cast<TWMMouseWheel&>(M);
  if (DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), {w.XPos(), w.YPos()})) M.Result = 1;
  else if (FParent) M.Result = FParent->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0) return;
  TPoint screen{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
  bool keyboard = screen.x == -1 && screen.y == -1;
  TPoint local = keyboard ? TPoint{-1, -1} : ScreenToClient(screen);
  bool handled = false;
  DoContextPopup(local, handled);
  if (handled) {
    M.Result = 1;
    return;
  }
  TPopupMenu* menu = GetPopupMenu();
  if (menu && menu->AutoPopup()) {
    SendCancelMode(nullptr);
    menu->SetPopupComponent(this);
    if (keyboard) screen = ClientToScreen({0, 0});
    menu->Popup(screen.x, screen.y);
    M.Result = 1;
  }
}

void TControl::WMCancelMode(TMessage&) { SetMouseCapture(false); }

void TControl::WMWindowPosChanged(TMessage& M) { DefaultHandler(M); }

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  TRect r = BoundsRect();
  InvalidateRect(FParent->Handle(), &r, !IsOpaque);
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  if (FVisible && FParent && FParent->HandleAllocated()) {
    Invalidate();
    FParent->Update();
  }
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost) list.push_back(this);
  else list.insert(list.begin(), this);
  Invalidate();
}

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque)); }
void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }
void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& M) {
  if (!FParentFont) return;
  TFont* src = M.WParam ? reinterpret_cast<TFont*>(M.LParam) : (FParent ? FParent->Font() : nullptr);
  if (src) {
    FFont->Assign(src);
    FParentFont = true;
  }
}

void TControl::CMParentColorChanged(TMessage& M) {
  if (!FParentColor) return;
  if (M.WParam) SetColor(TColor(M.LParam));
  else if (FParent) SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (FParentShowHint && FParent) {
    FShowHint = FParent->ShowHint();
    FParentShowHint = true;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
  }
}

void TControl::CMHitTest(TMessage& M) { M.Result = HTCLIENT; }

void TControl::CMMouseEnter(TMessage& M) {
  FMouseInControl = true;
  if (FParent) FParent->Perform(CM_MOUSEENTER, 0, M.LParam ? M.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage& M) {
  FMouseInControl = false;
  if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, M.LParam ? M.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMHintShow(TMessage& M) { M.Result = 0; }

// -- mouse capture --

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (MouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

TControl* GetCaptureControl() {
  HWND h = GetCapture();
  if (!h) return nullptr;
  if (gCaptureControl) {
    auto* w = dynamic_cast<TWinControl*>(gCaptureControl);
    HWND owner = w ? (w->HandleAllocated() ? w->Handle() : nullptr)
                   : (gCaptureControl->Parent() && gCaptureControl->Parent()->HandleAllocated()
                          ? gCaptureControl->Parent()->Handle()
                          : nullptr);
    if (owner == h) return gCaptureControl;
  }
  return FindControl(h);
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  gCaptureControl = nullptr;
  if (!Control) return;
  if (auto* w = dynamic_cast<TWinControl*>(Control)) {
    SetCapture(w->Handle());
  } else if (Control->Parent()) {
    SetCapture(Control->Parent()->Handle());
  } else {
    return;
  }
  gCaptureControl = Control;
}

// ---------------------------------------------------------------------------
// drag manager

namespace {

// The drag image on the screen: a click-through topmost layered window that
// shows the image list's drag image wherever ImageList_DragEnter/DragMove put it.
const char kDragImageClass[] = "PvDragImage";
HWND gDragImageWnd = nullptr;

LRESULT DragImageProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {  // the picture comes from UpdateLayeredWindow
      PAINTSTRUCT ps;
      BeginPaint(h, &ps);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProcA(h, m, w, l);
  }
}

// Ours only while it exists with our class (handles are reused after a reset).
bool DragImageWindowAlive() {
  char name[32] = "";
  return gDragImageWnd && IsWindow(gDragImageWnd) && GetClassNameA(gDragImageWnd, name, sizeof name) &&
         std::strcmp(name, kDragImageClass) == 0;
}

HWND DragImageWindow() {
  if (DragImageWindowAlive()) return gDragImageWnd;
  WNDCLASSEXA wc;
  if (!GetClassInfoExA(nullptr, kDragImageClass, &wc)) {
    wc = WNDCLASSEXA();
    wc.lpfnWndProc = DragImageProc;
    wc.lpszClassName = kDragImageClass;
    RegisterClassExA(&wc);
  }
  gDragImageWnd = CreateWindowExA(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                  kDragImageClass, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  return gDragImageWnd;
}

void HideDragImageWindow() {
  if (DragImageWindowAlive() && IsWindowVisible(gDragImageWnd))
    SetWindowPos(gDragImageWnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Called by the image lists whenever the drag image appears, moves or disappears.
void ShowDragImageHook(const DragImageState& st) {
  int cx = 0, cy = 0;
  if (!st.visible || !st.image || !ImageList_GetIconSize(st.image, &cx, &cy) || cx <= 0 || cy <= 0) {
    HideDragImageWindow();
    return;
  }
  HWND wnd = DragImageWindow();
  if (!wnd) return;
  POINT at{st.pos.x - st.hotspot.x, st.pos.y - st.hotspot.y};
  if (st.hwndLock) ClientToScreen(static_cast<HWND>(st.hwndLock), &at);
  // The image drawn over black and over white gives its colour and coverage.
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;
  bi.bmiHeader.biBitCount = 32;
  void* bits[3] = {nullptr, nullptr, nullptr};
  HBITMAP dib[3];
  HDC mem = CreateCompatibleDC(nullptr);
  for (int k = 0; k < 3; ++k) {
    dib[k] = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits[k], nullptr, 0);
    if (k == 2) break;
    HGDIOBJ old = SelectObject(mem, dib[k]);
    RECT r{0, 0, cx, cy};
    FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(k ? WHITE_BRUSH : BLACK_BRUSH)));
    ImageList_DrawEx(st.image, 0, mem, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    SelectObject(mem, old);
  }
  auto* onBlack = static_cast<const std::uint32_t*>(bits[0]);
  auto* onWhite = static_cast<const std::uint32_t*>(bits[1]);
  auto* out = static_cast<std::uint32_t*>(bits[2]);
  for (int i = 0; out && i < cx * cy; ++i) {
    std::uint32_t b = onBlack[i], w = onWhite[i];
    int spread = 0;
    for (int sh = 0; sh < 24; sh += 8) spread = std::max(spread, int((w >> sh) & 0xFF) - int((b >> sh) & 0xFF));
    unsigned a = unsigned(255 - std::clamp(spread, 0, 255));
    std::uint32_t px = a << 24;
    if (a)
      for (int sh = 0; sh < 24; sh += 8) px |= std::min(255u, (((b >> sh) & 0xFF) * 255 + a / 2) / a) << sh;
    out[i] = px;
  }
  HGDIOBJ old = SelectObject(mem, dib[2]);
  SIZE size{cx, cy};
  POINT src{0, 0};
  BLENDFUNCTION bf;
  bf.BlendOp = AC_SRC_OVER;
  bf.SourceConstantAlpha = 255;
  bf.AlphaFormat = AC_SRC_ALPHA;
  UpdateLayeredWindow(wnd, nullptr, &at, &size, mem, &src, 0, &bf, ULW_ALPHA);
  SelectObject(mem, old);
  DeleteDC(mem);
  for (HBITMAP b : dib) DeleteObject(b);
  if (IsWindow(wnd) && !IsWindowVisible(wnd))
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

class TDragManager {
 public:
  TControl* Control = nullptr;
  TDragObject* Object = nullptr;
  bool OwnsObject = false;
  bool Active = false;
  TPoint StartPos;
  int Threshold = 5;
  HWND CaptureWnd = nullptr;
  TControl* Target = nullptr;
  bool Accepted = false;
  HCURSOR SavedCursor = nullptr;
  bool ImageDrag = false;   // the drag object's images are being dragged
  bool ImageShown = false;  // ... and shown over the current target

  static TDragManager& Get() {
    static TDragManager m;
    return m;
  }

  void Start(TControl* AControl, bool Immediate, int AThreshold) {
    TDragObject* obj = nullptr;
    AControl->DoStartDrag(obj);
    Control = AControl;
    OwnsObject = obj == nullptr;
    Object = obj ? obj : new TDragControlObject(AControl);
    Active = false;
    Target = nullptr;
    Accepted = false;
    Threshold = AThreshold < 0 ? Mouse->DragThreshold() : AThreshold;
    GetCursorPos(&StartPos);
    SavedCursor = GetCursor();
    CaptureWnd = AllocateHWnd([this](TMessage& M) { WndProc(M); });
    SetCapture(CaptureWnd);
    if (Immediate) Activate(StartPos);
  }

  void Activate(const TPoint& Pos) {
    Active = true;
    ImageDrag = ImageShown = false;
    TDragImageList* il = Object->GetDragImages();
    if (il && il->Count() > 0) {
      SetDragImageHook(&ShowDragImageHook);
      ImageDrag = il->BeginDrag(GetDesktopWindow(), Pos.x, Pos.y);
      if (ImageDrag) il->HideDragImage();  // shown once a target asks for it
    }
    MoveTo(Pos);
  }

  LRESULT SendDrag(TControl* C, TDragMessage Msg, const TPoint& Pos) {
    TDragRec rec;
    rec.Pos = Pos;
    rec.Source = Object;
    rec.Target = C;
    return C->Perform(CM_DRAG, WPARAM(Msg), reinterpret_cast<LPARAM>(&rec));
  }

  void MoveTo(const TPoint& Pos) {
    Object->FDragPos = Pos;
    Object->FShiftState = GetShiftState();
    TControl* t = FindDragTarget(Pos, false);
    // A new target hears the enter and then, like every target under the
    // mouse, the move whose answer says whether it accepts the drop.
    if (t != Target) {
      if (Target) SendDrag(Target, dmDragLeave, Pos);
      Target = t;
      if (Target) SendDrag(Target, dmDragEnter, Pos);
    }
    Accepted = Target && SendDrag(Target, dmDragMove, Pos) != 0;
    Object->FDragTarget = Target;
    if (Target) Object->FDragTargetPos = Target->ScreenToClient(Pos);
    // The drag image follows the mouse over targets that display it and hides elsewhere.
    if (TDragImageList* il = ImageDrag && Object ? Object->GetDragImages() : nullptr) {
      bool want = Target && Target->ControlStyle().Contains(csDisplayDragImage);
      il->DragMove(Pos.x, Pos.y);
      if (want != ImageShown) {
        if (want) il->ShowDragImage();
        else il->HideDragImage();
        ImageShown = want;
      }
    }
    TCursor c = Object->GetDragCursor(Accepted, Pos.x, Pos.y);
    if (Screen) ::SetCursor(Screen->Cursors(c));
  }

  void Done(bool Drop) {
    if (!Control) return;
    TControl* source = Control;
    TDragObject* obj = Object;
    bool owns = OwnsObject;
    TControl* target = Target;
    TPoint pos = obj->FDragPos;
    obj->FShiftState = GetShiftState();
    bool accepted = Active && Accepted && Drop && target;
    obj->FCancelling = !Drop;
    obj->FDropped = accepted;
    // The drag image goes before the drop is handled.
    if (ImageDrag) {
      ImageDrag = ImageShown = false;
      if (TDragImageList* il = obj->GetDragImages()) il->EndDrag();
      ImageList_EndDrag();
    }
    // Clear the state first: handlers may start another drag.
    Control = nullptr;
    Object = nullptr;
    Target = nullptr;
    Active = false;
    HWND cap = CaptureWnd;
    CaptureWnd = nullptr;
    if (GetCapture() == cap) ReleaseCapture();
    DeallocateHWnd(cap);
    ::SetCursor(SavedCursor);
    struct Cleanup {
      TDragObject* o;
      bool owns;
      ~Cleanup() {
        if (owns) delete o;
      }
    } cleanup{obj, owns};
    TPoint targetPos{};
    if (target) targetPos = target->ScreenToClient(pos);
    // A drop that is not accepted (or Escape) cancels the drag over the target.
    if (target && !accepted) SendDrag(target, dmDragCancel, pos);
    if (accepted) {
      TDragRec rec;
      rec.Pos = pos;
      rec.Source = obj;
      rec.Target = target;
      target->Perform(CM_DRAG, WPARAM(dmDragDrop), reinterpret_cast<LPARAM>(&rec));
    }
    obj->Finished(accepted ? target : nullptr, targetPos.x, targetPos.y, accepted);
    (void)source;
  }

  void WndProc(TMessage& M) {
    switch (M.Msg) {
      case WM_MOUSEMOVE: {
        POINT p;
        GetCursorPos(&p);
        if (!Active && (std::abs(p.x - StartPos.x) >= Threshold || std::abs(p.y - StartPos.y) >= Threshold))
          Activate(p);
        else if (Active)
          MoveTo(p);
        break;
      }
      case WM_LBUTTONUP:
        Done(Active);
        break;
      case WM_RBUTTONDOWN:
      case WM_CAPTURECHANGED:
        if (M.Msg == WM_RBUTTONDOWN || reinterpret_cast<HWND>(M.LParam) != CaptureWnd) Done(false);
        break;
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (M.WParam == VK_ESCAPE && M.Msg == WM_KEYDOWN) {
          Done(false);
        } else if (Active && (M.WParam == VK_CONTROL || M.WParam == VK_SHIFT)) {
          POINT p;
          GetCursorPos(&p);
          MoveTo(p);
        }
        break;
      default:
        M.Result = DefWindowProcA(CaptureWnd, M.Msg, M.WParam, M.LParam);
    }
  }
};

TControl* DragControl() { return TDragManager::Get().Control; }
TDragObject* DragObject() { return TDragManager::Get().Object; }
void CancelDrag() { TDragManager::Get().Done(false); }

void TControl::BeginDrag(bool Immediate, int Threshold) {
  if (TDragManager::Get().Control) return;
  TDragManager::Get().Start(this, Immediate, Threshold);
}

void TControl::EndDrag(bool Drop) {
  if (TDragManager::Get().Control == this) TDragManager::Get().Done(Drop);
}

bool TControl::Dragging() const { return TDragManager::Get().Control == this; }

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::CMDrag(TMessage& M) {
  auto* rec = reinterpret_cast<TDragRec*>(M.LParam);
  if (!rec) return;
  TDragObject* obj = rec->Source;
  // Handlers see the dragged control when a control is dragged, else the object.
  TObject* source = obj;
  if (auto* c = dynamic_cast<TBaseDragControlObject*>(obj)) source = c->Control();
  TPoint p = ScreenToClient(rec->Pos);
  switch (TDragMessage(M.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragCancel:
    case dmDragMove: {
      // A cancelled drag leaves the control as far as OnDragOver is concerned.
      bool accept = false;
      TDragState st = M.WParam == dmDragEnter ? dsDragEnter : M.WParam == dmDragMove ? dsDragMove : dsDragLeave;
      DragOver(source, p.x, p.y, st, accept);
      M.Result = accept;
      break;
    }
    case dmDragDrop: DragDrop(source, p.x, p.y); break;
    case dmFindTarget: M.Result = reinterpret_cast<LRESULT>(this); break;
    default: break;
  }
}

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }

void TBaseDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  if (FControl) FControl->DoEndDrag(Target, X, Y);
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (Accepted && FControl) return FControl->DragCursor();
  return crNoDrop;
}
TDragImageList* TDragControlObject::GetDragImages() { return FControl ? FControl->GetDragImages() : nullptr; }
void TDragControlObject::HideDragImage() {
  if (auto* il = GetDragImages()) il->HideDragImage();
}
void TDragControlObject::ShowDragImage() {
  if (auto* il = GetDragImages()) il->ShowDragImage();
}

TControl* FindVCLWindow(const TPoint& Pos) {
  HWND h = WindowFromPoint(Pos);
  while (h) {
    if (TWinControl* c = FindControl(h)) return c;
    h = GetParent(h);
  }
  return nullptr;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TControl* w = FindVCLWindow(Pos);
  auto* wc = dynamic_cast<TWinControl*>(w);
  if (!wc) return nullptr;
  if (TControl* c = wc->ControlAtPos(wc->ScreenToClient(Pos), AllowDisabled)) return c;
  return wc;
}

// ---------------------------------------------------------------------------
// looking up controls

TWinControl* FindControl(HWND Handle) {
  if (!Handle || !IsWindow(Handle)) return nullptr;
  return static_cast<TWinControl*>(GetPropA(Handle, kControlProp));
}

TCustomForm* GetParentForm(TControl* Control, bool TopForm) {
  if (!Control) return nullptr;
  if (!TopForm) {
    for (TControl* c = Control; c; c = c->Parent())
      if (auto* f = dynamic_cast<TCustomForm*>(c)) return f;
    return nullptr;
  }
  TControl* c = Control;
  while (c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(c);
}

TCustomForm* ValidParentForm(TControl* Control, bool TopForm) {
  TCustomForm* f = GetParentForm(Control, TopForm);
  if (!f) throw EInvalidOperation("Control '" + (Control ? Control->Name() : AnsiString()) + "' has no parent form");
  return f;
}

// ---------------------------------------------------------------------------
// helper windows

namespace {
std::map<HWND, std::function<void(TMessage&)>>& UtilWindows() {
  static std::map<HWND, std::function<void(TMessage&)>> m;
  return m;
}
LRESULT UtilWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto& m = UtilWindows();
  auto it = m.find(h);
  if (it == m.end()) return DefWindowProcA(h, msg, w, l);
  TMessage M;
  M.Msg = msg;
  M.WParam = w;
  M.LParam = l;
  auto fn = it->second;  // the window may be freed by its own handler
  try {
    fn(M);
  } catch (...) {
    if (Application) Application->HandleException(nullptr);
  }
  return M.Result;
}
}  // namespace

HWND AllocateHWnd(std::function<void(TMessage&)> Method) {
  WNDCLASSEXA wc;
  if (!GetClassInfoExA(nullptr, "TPUtilWindow", &wc)) {
    WNDCLASSEXA n;
    n.lpfnWndProc = UtilWndProc;
    n.lpszClassName = "TPUtilWindow";
    RegisterClassExA(&n);
  }
  HWND h = CreateWindowExA(WS_EX_TOOLWINDOW, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!h) throw EOutOfResources("Cannot create a helper window");
  UtilWindows()[h] = std::move(Method);
  return h;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd) return;
  UtilWindows().erase(Wnd);
  if (IsWindow(Wnd)) DestroyWindow(Wnd);
}

static TMouse gMouse;
TMouse* Mouse = &gMouse;

TPoint TMouse::CursorPos() const {
  POINT p;
  GetCursorPos(&p);
  return p;
}
void TMouse::SetCursorPos(const TPoint& P) { ::SetCursorPos(P.x, P.y); }
void TMouse::SetCapture(HWND H) {
  if (H) ::SetCapture(H);
  else ReleaseCapture();
}
int TMouse::WheelScrollLines() const {
  UINT n = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &n, 0);
  return int(n);
}

// ---------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(new TBrush) {
  FBrush->SetColor(FColor);
  FDefWndProc = DefWindowProcA;
}

TWinControl* TWinControl::CreateParented(TClass Cls, HWND ParentWindow) {
  TObject* o = CreateObject(Cls, nullptr);
  auto* w = dynamic_cast<TWinControl*>(o);
  if (!w) {
    delete o;
    throw EInvalidOperation(AnsiString(Cls->Name) + " is not a windowed control");
  }
  w->SetParentWindow(ParentWindow);
  return w;
}

TWinControl::~TWinControl() {
  if (FParent) RemoveFocus(true);
  // Leave the parent's lists while this is still a windowed control, so the
  // parent never keeps a pointer to a control freed without it.
  if (FParent) FParent->RemoveControl(this);
  if (FHandle) DestroyWindowHandle();
  // Children go with their parent.
  while (!FWinControls.empty() || !FControls.empty()) {
    TControl* c = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
    RemoveControl(c);
    c->Free();
  }
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  if (FParent) Params.WndParent = FParent->HandleAllocated() ? FParent->FHandle : nullptr;
  else Params.WndParent = FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  WNDCLASSA wc;
  if (!GetClassInfoA(nullptr, ControlClassName, &wc))
    throw EOSError(AnsiString("Window class ") + ControlClassName + " is not registered");
  wc.style &= ~UINT(CS_GLOBALCLASS);
  Params.WindowClass = wc;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && !p.WndParent) {
    if (FParent) p.WndParent = FParent->Handle();
    else throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  }
  FDefWndProc = p.WindowClass.lpfnWndProc ? p.WindowClass.lpfnWndProc : DefWindowProcA;
  WNDCLASSA existing;
  bool registered = GetClassInfoA(nullptr, p.WinClassName.c_str(), &existing) && existing.lpfnWndProc == &TWinControl::StdWndProc;
  if (!registered) {
    if (GetClassInfoA(nullptr, p.WinClassName.c_str(), &existing)) UnregisterClassA(p.WinClassName.c_str(), nullptr);
    WNDCLASSA wc = p.WindowClass;
    wc.lpfnWndProc = &TWinControl::StdWndProc;
    wc.lpszClassName = p.WinClassName.c_str();
    wc.lpszMenuName = nullptr;
    if (!RegisterClassA(&wc)) throw EOSError("Cannot register window class " + p.WinClassName);
  }
  TWinControl* saved = gCreationControl;
  gCreationControl = this;
  try {
    CreateWindowHandle(p);
  } catch (...) {
    gCreationControl = saved;
    throw;
  }
  gCreationControl = saved;
  if (!FHandle) throw EOSError("Error creating window for '" + Name() + "'");
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HMENU id = nullptr;
  if (Params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(gNextChildId++);
  HWND h = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                           Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id, nullptr,
                           Params.Param);
  if (h && !FHandle) {
    FHandle = h;
    SetPropA(h, kControlProp, this);
  }
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  CreateWnd();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  // Keep the windows in the same z-order as the control list.
  if (FParent) {
    HWND after = HWND_TOP;
    auto& list = FParent->FWinControls;
    auto it = std::find(list.begin(), list.end(), this);
    for (auto j = it; it != list.end() && ++j != list.end();)
      if ((*j)->FHandle) {
        after = (*j)->FHandle;
        break;
      }
    SetWindowPos(FHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  UpdateBounds();
  CreateWndDone();
  for (TControl* c : FControls) c->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* c : FWinControls) c->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  if (!FHandle) return;
  FText = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState << csDestroyingHandle;
  HWND h = FHandle;
  if (h) {
    DestroyWindow(h);
    if (FHandle == h) {  // the window was not ours to the end
      RemovePropA(h, kControlProp);
      FHandle = nullptr;
    }
  }
  FShowing = false;
  FControlState >> csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
  if (!FHandle || FRecreating) return;
  FRecreating = true;
  bool hadFocus = Focused();
  try {
    DestroyHandle();
    UpdateControlState();
  } catch (...) {
    FRecreating = false;
    throw;
  }
  FRecreating = false;
  if (hadFocus && FHandle) ::SetFocus(FHandle);
}

LRESULT TWinControl::StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* c = static_cast<TWinControl*>(GetPropA(Wnd, kControlProp));
  if (!c) {
    if (!gCreationControl) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    c = gCreationControl;
    gCreationControl = nullptr;
    c->FHandle = Wnd;
    SetPropA(Wnd, kControlProp, c);
  }
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  c->MainWndProc(m);
  return m.Result;
}

namespace {
// Control canvases holding a DC of their window, drawn on outside painting.
std::vector<TControlCanvas*>& CanvasList() {
  static std::vector<TControlCanvas*> list;
  return list;
}

// As the original class library does after every message: what was drawn on
// a control's canvas outside painting reaches the screen when its DC goes
// back. Canvases in use by a paint (locked) keep theirs.
void FreeDeviceContexts() {
  auto& list = CanvasList();
  for (std::size_t i = list.size(); i-- > 0;) {
    if (i >= list.size()) continue;
    TControlCanvas* c = list[i];
    if (c->LockCount()) continue;
    c->FreeHandle();
  }
}
}  // namespace

void TWinControl::MainWndProc(TMessage& Message) {
  try {
    if (WindowProc) WindowProc(Message);
    else WndProc(Message);
  } catch (...) {
    FreeDeviceContexts();
    if (Application) Application->HandleException(this);
    else throw;
    return;
  }
  FreeDeviceContexts();
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (FHandle) {
    Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TControl::DefaultHandler(Message);
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* f = GetParentForm(this);
      if (f && f != this && !f->SetFocusedControl(this)) return;
      if (f == this && !f->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState.Contains(csFocusing)) return;
      break;
    case WM_CAPTURECHANGED:
      if (gCaptureControl && (gCaptureControl == this || gCaptureControl->Parent() == this) &&
          reinterpret_cast<HWND>(Message.LParam) != FHandle)
        gCaptureControl = nullptr;
      break;
    case WM_KEYFIRST:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      if (TDragManager::Get().Control && TDragManager::Get().CaptureWnd) {
        TMessage copy = Message;
        TDragManager::Get().WndProc(copy);
        return;
      }
      break;
    default:
      if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        if (IsControlMouseMsg(static_cast<TWMMouse&>(Message))) {
          if (Message.Result == 0 && FHandle) DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
  }
  TControl::WndProc(Message);
}

bool TWinControl::IsControlMouseMsg(TWMMouse& Message) {
  TControl* c = nullptr;
  TControl* cap = GetCaptureControl();
  if (cap && cap != this) {
    if (cap->Parent() == this && !dynamic_cast<TWinControl*>(cap)) c = cap;
  } else if (!cap) {
    c = ControlAtPos(Message.Pos(), false);
    if (dynamic_cast<TWinControl*>(c)) c = nullptr;
  }
  if (!c) return false;
  TPoint p{Message.XPos() - c->Left(), Message.YPos() - c->Top()};
  Message.Result = c->Perform(Message.Msg, Message.WParam, MAKELPARAM(p.x, p.y));
  return true;
}

// -- children --

TControl* TWinControl::Controls(int Index) const {
  int n = int(FControls.size());
  if (Index < 0 || Index >= ControlCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  if (Index < n) return FControls[std::size_t(Index)];
  return FWinControls[std::size_t(Index - n)];
}

void TWinControl::InsertControl(TControl* AControl) {
  AControl->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(AControl);
  }
  if (!ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTBIDIMODECHANGED, 0, 0);
  } else {
    if (AControl->FParentFont) {
      AControl->FFont->Assign(FFont.get());
      AControl->FParentFont = true;
    }
    if (AControl->FParentColor) {
      AControl->FColor = FColor;
      // a windowed control paints its background with its brush
      if (auto* w = dynamic_cast<TWinControl*>(AControl)) w->FBrush->SetColor(FColor);
    }
  }
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    if (w->FHandle) {
      if (FHandle) ::SetParent(w->FHandle, FHandle);
      else w->DestroyHandle();
    }
    w->UpdateControlState();
  } else {
    AControl->Invalidate();
  }
  AControl->UpdateAnchorRules();
  AlignControl(AControl);
}

void TWinControl::RemoveControl(TControl* AControl) {
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->RemoveFocus(true);
    w->DestroyHandle();
    FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), w), FWinControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  } else {
    if (FHandle) AControl->InvalidateControl(AControl->FVisible, false);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
  }
  if (gCaptureControl == AControl) gCaptureControl = nullptr;
  AControl->FParent = nullptr;
  if (!ComponentState().Contains(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
  for (const TControl* c = Control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    if (!c->FVisible || !(c->FEnabled || AllowDisabled)) return false;
    if (!PtIn(c->BoundsRect(), Pos)) return false;
    return c->Perform(CM_HITTEST, 0, MAKELPARAM(Pos.x - c->FLeft, Pos.y - c->FTop)) != 0;
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

TControl* TWinControl::FindChildControl(const AnsiString& ControlName) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (SameText(Controls(i)->Name(), ControlName)) return Controls(i);
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->WindowProc) c->WindowProc(Message);
    else c->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage m;
  m.Msg = Msg;
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
  for (TControl* c : all) c->Perform(Msg, 0, 0);
}

void TWinControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == Root) Proc(c);
  }
}

void TWinControl::SetChildOrder(TComponent* Child, int Order) {
  auto* c = dynamic_cast<TControl*>(Child);
  if (!c || c->Parent() != this) return;
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    auto it = std::find(FWinControls.begin(), FWinControls.end(), w);
    FWinControls.erase(it);
    Order = std::clamp(Order - int(FControls.size()), 0, int(FWinControls.size()));
    FWinControls.insert(FWinControls.begin() + Order, w);
  } else {
    auto it = std::find(FControls.begin(), FControls.end(), c);
    FControls.erase(it);
    Order = std::clamp(Order, 0, int(FControls.size()));
    FControls.insert(FControls.begin() + Order, c);
  }
}

void TWinControl::ReadState(TReader* Reader) {
  DisableAlign();
  try {
    TControl::ReadState(Reader);
  } catch (...) {
    EnableAlign();
    throw;
  }
  FixupTabList();
  EnableAlign();
}

void TWinControl::FixupTabList() {
  // Orders the tab list by the TabOrder values read from the description.
  std::vector<TWinControl*> sorted = FTabList;
  std::stable_sort(sorted.begin(), sorted.end(), [](TWinControl* a, TWinControl* b) {
    int va = a->FTabOrderValue < 0 ? INT32_MAX : a->FTabOrderValue;
    int vb = b->FTabOrderValue < 0 ? INT32_MAX : b->FTabOrderValue;
    return va < vb;
  });
  FTabList = sorted;
  for (TWinControl* w : FTabList) w->FTabOrderValue = -1;
}

void TWinControl::Loaded() {
  TControl::Loaded();
  if (FHandle && FText != GetText() && !FText.empty()) SetWindowTextA(FHandle, FText.c_str());
  Realign();
}

// -- alignment --

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

bool TWinControl::IsWindowlessChild() {
  if (FHandle || FParent || FParentWindow) return false;
  TCreateParams p;
  CreateParams(p);
  return (p.Style & WS_CHILD) != 0;
}

void TWinControl::AlignControl(TControl* AControl) {
  if (ComponentState().Contains(csDestroying)) return;
  // A child window taken out of its parent has no window and cannot get one:
  // its children wait for the next parent, as they would for a window. Their
  // own measuring may ask for their parents' windows.
  if (FAlignLevel > 0 || IsWindowlessChild()) {
    FControlState << csAlignmentNeeded;
    return;
  }
  FControlState >> csAlignmentNeeded;
  DisableAlign();
  try {
    TRect r = ClientRect();
    AlignControls(AControl, r);
  } catch (...) {
    FAlignLevel--;
    FControlState >> csAlignmentNeeded;
    throw;
  }
  FControlState >> csAlignmentNeeded;
  FAlignLevel--;
  if (FControlState.Contains(csAlignmentNeeded)) {
    // A child changed its size while being aligned: settle once more.
    FControlState >> csAlignmentNeeded;
    DisableAlign();
    TRect r = ClientRect();
    AlignControls(nullptr, r);
    FAlignLevel--;
    FControlState >> csAlignmentNeeded;
  }
  if (FAutoSize) AdjustSize();
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
  if (DeltaX == 0 && DeltaY == 0) return;
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));
  for (TControl* c : all) {
    auto* w = dynamic_cast<TWinControl*>(c);
    int l = c->FLeft + DeltaX, t = c->FTop + DeltaY;
    if (w && w->FHandle)
      SetWindowPos(w->FHandle, nullptr, l, t, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    c->FLeft = l;
    c->FTop = t;
    c->UpdateAnchorRules();
  }
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
  Realign();
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  AdjustClientRect(Rect);
  if (FBorderWidth > 0) {
    Rect.left += FBorderWidth;
    Rect.top += FBorderWidth;
    Rect.right -= FBorderWidth;
    Rect.bottom -= FBorderWidth;
  }
  std::vector<TControl*> all;
  for (int i = 0; i < ControlCount(); ++i) all.push_back(Controls(i));

  // Anchored controls keep their distances to the parent's edges.
  TRect client = ClientRect();
  for (TControl* c : all) {
    if (c->FAlign != alNone || c->ComponentState().Contains(csLoading)) continue;
    if (c->FAnchors == TAnchors{akLeft, akTop}) continue;
    if (c->FOriginalParentSize.cx == 0 && c->FOriginalParentSize.cy == 0) continue;
    int dw = client.right - c->FOriginalParentSize.cx;
    int dh = client.bottom - c->FOriginalParentSize.cy;
    int l = c->FAnchorOrigin.x, t = c->FAnchorOrigin.y, w = c->FAnchorSize.cx, h = c->FAnchorSize.cy;
    bool al = c->FAnchors.Contains(akLeft), ar = c->FAnchors.Contains(akRight);
    bool at = c->FAnchors.Contains(akTop), ab = c->FAnchors.Contains(akBottom);
    // anchored to neither side: the centre keeps its place in proportion to the parent
    auto centred = [](int pos, int size, int now, int was, int delta) {
      return was > 0 ? MulDiv(pos + size / 2, now, was) - size / 2 : pos + delta / 2;
    };
    if (al && ar) w += dw;
    else if (ar) l += dw;
    else if (!al) l = centred(l, w, client.right, c->FOriginalParentSize.cx, dw);
    if (at && ab) h += dh;
    else if (ab) t += dh;
    else if (!at) t = centred(t, h, client.bottom, c->FOriginalParentSize.cy, dh);
    AnchorMoveScope scope;
    c->SetBounds(l, t, std::max(0, w), std::max(0, h));
  }

  auto place = [&](TAlign align) {
    std::vector<TControl*> list;
    for (TControl* c : all)
      if (c->FAlign == align && c->FVisible) list.push_back(c);
    auto key = [align](TControl* c) {
      switch (align) {
        case alTop: return c->FTop;
        case alBottom: return -(c->FTop + c->FHeight);
        case alLeft: return c->FLeft;
        case alRight: return -(c->FLeft + c->FWidth);
        default: return 0;
      }
    };
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
      int ka = key(a), kb = key(b);
      if (ka != kb) return ka < kb;
      return a == AControl && b != AControl;
    });
    for (TControl* c : list) {
      AnchorMoveScope scope;
      int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
      switch (align) {
        case alTop:
          c->SetBounds(Rect.left, Rect.top, std::max(0, w), c->FHeight);
          Rect.top += c->FHeight;
          break;
        case alBottom:
          c->SetBounds(Rect.left, Rect.bottom - c->FHeight, std::max(0, w), c->FHeight);
          Rect.bottom -= c->FHeight;
          break;
        case alLeft:
          c->SetBounds(Rect.left, Rect.top, c->FWidth, std::max(0, h));
          Rect.left += c->FWidth;
          break;
        case alRight:
          c->SetBounds(Rect.right - c->FWidth, Rect.top, c->FWidth, std::max(0, h));
          Rect.right -= c->FWidth;
          break;
        case alClient:
          c->SetBounds(Rect.left, Rect.top, std::max(0, w), std::max(0, h));
          break;
        default: break;
      }
    }
  };
  place(alTop);
  place(alBottom);
  place(alLeft);
  place(alRight);
  place(alClient);
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (ControlCount() == 0) return true;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->FVisible) continue;
    right = std::max(right, c->FLeft + c->FWidth);
    bottom = std::max(bottom, c->FTop + c->FHeight);
  }
  TRect cr = ClientRect();
  NewWidth = FWidth - cr.right + right + FBorderWidth;
  NewHeight = FHeight - cr.bottom + bottom + FBorderWidth;
  return true;
}

void TWinControl::SetBorderWidth(int Value) {
  if (Value == FBorderWidth) return;
  FBorderWidth = Value;
  Realign();
  Invalidate();
}

void TWinControl::ShowControl(TControl* AControl) {
  if (FParent) FParent->ShowControl(this);
}

// -- geometry --

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  int w = AWidth, h = AHeight;
  if (w != FWidth || h != FHeight) {
    if (!CanResize(w, h)) {
      w = FWidth;
      h = FHeight;
    }
  }
  DoConstraints(w, h);
  if (ALeft == FLeft && ATop == FTop && w == FWidth && h == FHeight) return;
  bool sized = w != FWidth || h != FHeight;
  if (FHandle && !ComponentState().Contains(csLoading)) {
    SetWindowPos(FHandle, nullptr, ALeft, ATop, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    // WM_WINDOWPOSCHANGED has updated the fields; make sure they hold what
    // the window really has, which a handler of the size change may itself
    // have changed again (a dock site growing with its bars).
    UpdateBounds();
  } else {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = w;
    FHeight = h;
    if (FHandle) SetWindowPos(FHandle, nullptr, ALeft, ATop, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    if (sized && !ComponentState().Contains(csLoading)) {
      Realign();
      Resize();
    }
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle || IsIconic(FHandle)) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  if (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD) {
    HWND p = GetParent(FHandle);
    if (p) MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
  }
  if (r.left == FLeft && r.top == FTop && r.Width() == FWidth && r.Height() == FHeight) return;
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.Width();
  FHeight = r.Height();
  UpdateAnchorRules();
}

TRect TWinControl::ClientRect() {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return r;
  }
  TCreateParams p;
  CreateParams(p);
  RECT nc{0, 0, 0, 0};
  AdjustWindowRectEx(&nc, p.Style, FALSE, p.ExStyle);
  return {0, 0, std::max(0, FWidth - nc.Width()), std::max(0, FHeight - nc.Height())};
}

TPoint TWinControl::ClientOrigin() {
  if (FHandle) {
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return p;
  }
  TCreateParams p;
  CreateParams(p);
  RECT nc{0, 0, 0, 0};
  AdjustWindowRectEx(&nc, p.Style, FALSE, p.ExStyle);
  TPoint o{FLeft - nc.left, FTop - nc.top};
  if (FParent) {
    TPoint po = FParent->ClientOrigin();
    o.x += po.x;
    o.y += po.y;
  } else if (FParentWindow) {
    POINT q{0, 0};
    ::ClientToScreen(FParentWindow, &q);
    o.x += q.x;
    o.y += q.y;
  }
  return o;
}

AnsiString TWinControl::GetText() {
  if (!FHandle) return FText;
  int n = GetWindowTextLengthA(FHandle);
  AnsiString s(std::size_t(std::max(0, n)) + 1, '\0');
  int got = GetWindowTextA(FHandle, s.data(), n + 1);
  s.resize(std::size_t(std::max(0, got)));
  return s;
}

void TWinControl::SetTextValue(const AnsiString& Value) {
  FText = Value;
  if (FHandle) SetWindowTextA(FHandle, Value.c_str());
}

void TWinControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  TControl::SetParent(AParent);
  if (!AParent && FHandle && !FParentWindow) DestroyHandle();
  if (AParent && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (FParent) {
    auto& list = FParent->FWinControls;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) {
      list.erase(it);
      if (TopMost) list.push_back(this);
      else list.insert(list.begin(), this);
    }
  }
  if (FHandle) SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// -- showing --

void TWinControl::UpdateControlState() {
  // A control shows when it and every parent up to the top-level window are visible.
  for (TWinControl* p = FParent; p; p = p->FParent)
    if (!p->FShowing) {
      if (FHandle && FShowing) UpdateShowing();
      return;
    }
  UpdateShowing();
}

void TWinControl::UpdateShowing() {
  bool show = FVisible && !FControlState.Contains(csReadingState) &&
              (FParent ? FParent->FShowing : (FParentWindow != nullptr || FHandle != nullptr));
  auto setShowing = [this](bool v) {
    if (!FHandle || FShowing == v) return;
    FShowing = v;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !v;
      throw;
    }
  };
  if (show) {
    if (!FHandle) CreateHandle();
    setShowing(true);
    for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
  } else {
    setShowing(false);
    for (TWinControl* c : std::vector<TWinControl*>(FWinControls)) c->UpdateShowing();
  }
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged2(TMessage& M) {
  if (!FVisible && FParent) RemoveFocus(false);
  if (!ComponentState().Contains(csReading)) UpdateControlState();
  (void)M;
}

void TWinControl::CMEnabledChanged2(TMessage& M) {
  if (!FEnabled && FParent) RemoveFocus(false);
  if (FHandle) EnableWindow(FHandle, FEnabled);
  TControl::CMEnabledChanged(M);
}

void TWinControl::CMColorChanged2(TMessage& M) {
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
  TControl::CMColorChanged(M);
}

void TWinControl::CMFontChanged2(TMessage& M) {
  if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
  TControl::CMFontChanged(M);
}

void TWinControl::FontChanged(TObject* Sender) { TControl::FontChanged(Sender); }

void TWinControl::CMTextChanged(TMessage&) {}
void TWinControl::CMCursorChanged(TMessage&) {
  // The cursor shape changes at the next mouse move over the control.
}
void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }
void TWinControl::CMSysColorChange(TMessage&) {
  // System colours may have changed: make the brush again.
  FBrush->SetColor(clNone);
  FBrush->SetColor(FColor);
  NotifyControls(CM_SYSCOLORCHANGE);
  Invalidate();
}
void TWinControl::CMWinIniChange(TMessage&) { NotifyControls(CM_WININICHANGE); }
void TWinControl::CMCtl3DChanged(TMessage&) { NotifyControls(CM_PARENTCTL3DCHANGED); }
void TWinControl::CMBiDiModeChanged(TMessage&) { NotifyControls(CM_PARENTBIDIMODECHANGED); }
void TWinControl::CMRecreateWnd(TMessage&) { RecreateWnd(); }
void TWinControl::CMInvalidate(TMessage&) { Invalidate(); }
void TWinControl::CMTabStopChanged(TMessage&) {}

void TWinControl::SetCtl3D(bool Value) {
  if (Value == FCtl3D) return;
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}
void TWinControl::SetParentCtl3D(bool Value) {
  if (Value == FParentCtl3D) return;
  FParentCtl3D = Value;
  if (Value && FParent) FCtl3D = FParent->Ctl3D();
}

// -- painting --

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::PaintWindow(HDC DC) {
  if (FDefWndProc == DefWindowProcA) return;  // our own window: nothing to draw by default
  TMessage m;
  m.Msg = WM_PAINT;
  m.WParam = reinterpret_cast<WPARAM>(DC);
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  std::size_t start = 0;
  if (First) {
    auto it = std::find(FControls.begin(), FControls.end(), First);
    if (it != FControls.end()) start = std::size_t(it - FControls.begin());
  }
  for (std::size_t i = start; i < FControls.size(); ++i) {
    TControl* c = FControls[i];
    if (!c->FVisible) continue;
    TRect r = c->BoundsRect();
    if (!RectVisible(DC, &r)) continue;
    int saved = SaveDC(DC);
    POINT org;
    GetViewportOrgEx(DC, &org);
    SetViewportOrgEx(DC, org.x + c->FLeft, org.y + c->FTop, nullptr);
    IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
  }
}

void TWinControl::PaintHandler(TWMPaint& Message) {
  HDC dc = Message.DC();
  PAINTSTRUCT ps;
  if (!dc) dc = BeginPaint(FHandle, &ps);
  struct End {
    TWinControl* self;
    HDC given;
    PAINTSTRUCT* ps;
    ~End() {
      if (!given) EndPaint(self->FHandle, ps);
    }
  } end{this, Message.DC(), &ps};
  if (FControls.empty()) {
    PaintWindow(dc);
  } else {
    int saved = SaveDC(dc);
    for (TControl* c : FControls)
      if (c->FVisible && c->FControlStyle.Contains(csOpaque))
        ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
    PaintWindow(dc);
    RestoreDC(dc, saved);
  }
  PaintControls(dc, nullptr);
}

void TWinControl::WMPaint(TWMPaint& Message) {
  if (!FDoubleBuffered || Message.DC()) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) DefaultHandler(Message);
    else PaintHandler(Message);
    return;
  }
  // Paint into an image first, then copy it to the window in one go.
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  TRect cr = ClientRect();
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, std::max(1, int(cr.right)), std::max(1, int(cr.bottom)));
  HGDIOBJ old = SelectObject(mem, bmp);
  try {
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
    TWMPaint m;
    m.Msg = WM_PAINT;
    m.WParam = reinterpret_cast<WPARAM>(mem);
    WMPaint(m);
    BitBlt(dc, 0, 0, cr.right, cr.bottom, mem, 0, 0, SRCCOPY);
  } catch (...) {
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    EndPaint(FHandle, &ps);
    throw;
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  EndPaint(FHandle, &ps);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  if (FDoubleBuffered && Message.DC() && reinterpret_cast<HDC>(Message.LParam) != Message.DC()) {
    Message.Result = 1;  // the double-buffered paint erases its own image
    return;
  }
  TRect r = ClientRect();
  ::FillRect(Message.DC(), &r, FBrush->Handle());
  Message.Result = 1;
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  FControlState << csPaintCopy;
  int saved = SaveDC(DC);
  try {
    POINT org;
    GetViewportOrgEx(DC, &org);
    SetViewportOrgEx(DC, org.x + X, org.y + Y, nullptr);
    IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TWinControl* c : FWinControls)
      if (c->FVisible) {
        c->PaintTo(DC, c->FLeft, c->FTop);
      }
  } catch (...) {
    RestoreDC(DC, saved);
    FControlState >> csPaintCopy;
    throw;
  }
  RestoreDC(DC, saved);
  FControlState >> csPaintCopy;
}

// -- reflection --

namespace {
bool ReflectTo(HWND ctl, TMessage& M) {
  TWinControl* c = FindControl(ctl);
  if (!c) return false;
  M.Result = c->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
  return true;
}
}  // namespace

void TWinControl::WMCommand(TWMCommand& M) {
  if (M.LParam && ReflectTo(M.Ctl(), M)) return;
  DefaultHandler(M);
}

void TWinControl::WMNotify(TWMNotify& M) {
  if (M.NMHdr() && ReflectTo(M.NMHdr()->hwndFrom, M)) return;
  DefaultHandler(M);
}

void TWinControl::WMHScroll(TMessage& M) {
  if (M.LParam && ReflectTo(reinterpret_cast<HWND>(M.LParam), M)) return;
  DefaultHandler(M);
}
void TWinControl::WMVScroll(TMessage& M) {
  if (M.LParam && ReflectTo(reinterpret_cast<HWND>(M.LParam), M)) return;
  DefaultHandler(M);
}

namespace {
// Owner-draw notifications name the child by its id (wParam).
bool ReflectById(TWinControl* parent, TMessage& M) {
  if (M.WParam == 0) return false;
  HWND ctl = parent->HandleAllocated() ? GetDlgItem(parent->Handle(), int(M.WParam)) : nullptr;
  if (ctl) return ReflectTo(ctl, M);
  if (gCreationControl) {
    M.Result = gCreationControl->Perform(CN_BASE + M.Msg, M.WParam, M.LParam);
    return true;
  }
  return false;
}
}  // namespace

void TWinControl::WMCompareItem(TMessage& M) {
  if (!ReflectById(this, M)) DefaultHandler(M);
}
void TWinControl::WMDeleteItem(TMessage& M) {
  if (!ReflectById(this, M)) DefaultHandler(M);
}
void TWinControl::WMDrawItem(TMessage& M) {
  if (ReflectById(this, M)) return;
  // A control that is no child window (a pop-up list) is named by the item's window.
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
  if (dis && dis->CtlType != ODT_MENU && dis->hwndItem && ReflectTo(dis->hwndItem, M)) return;
  DefaultHandler(M);
}
void TWinControl::WMMeasureItem(TMessage& M) {
  if (!ReflectById(this, M)) DefaultHandler(M);
}

void TWinControl::WMCtlColor(TMessage& M) {
  if (M.LParam && ReflectTo(reinterpret_cast<HWND>(M.LParam), M)) return;
  DefaultHandler(M);
}

void TWinControl::CNCtlColor(TMessage& M) {
  HDC dc = reinterpret_cast<HDC>(M.WParam);
  SetTextColor(dc, ColorToRGB(FFont->Color()));
  SetBkColor(dc, ColorToRGB(FBrush->Color()));
  M.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

void TWinControl::WMSysColorChange(TMessage& M) {
  NotifyControls(CM_SYSCOLORCHANGE);
  Perform(CM_SYSCOLORCHANGE, 0, 0);
  DefaultHandler(M);
}

// -- focus --

void TWinControl::WMSetFocus(TMessage& M) { DefaultHandler(M); }
void TWinControl::WMKillFocus(TMessage& M) { DefaultHandler(M); }

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() {
  TCustomForm* f = GetParentForm(this);
  if (!f) return false;
  for (TControl* c = this; c && c != f; c = c->Parent())
    if (!c->FVisible || !c->FEnabled) return false;
  return f->FVisible && f->FEnabled;
}

void TWinControl::SetFocus() {
  TCustomForm* f = GetParentForm(this);
  if (f) f->FocusControl(this);
  else if (FParentWindow) ::SetFocus(Handle());
  else ValidParentForm(this);
}

void TWinControl::RemoveFocus(bool Removing) {
  if (TCustomForm* f = GetParentForm(this)) f->DefocusControl(this, Removing);
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  return it == l.end() ? -1 : int(it - l.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (FControlState.Contains(csReadingState)) {
    FTabOrderValue = Value;
    return;
  }
  if (!FParent) return;
  auto& l = FParent->FTabList;
  auto it = std::find(l.begin(), l.end(), this);
  if (it == l.end()) return;
  l.erase(it);
  if (Value < 0 || Value > int(l.size())) Value = int(l.size());
  l.insert(l.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (Value == FTabStop) return;
  FTabStop = Value;
  if (FHandle) {
    LONG_PTR s = GetWindowLongPtrA(FHandle, GWL_STYLE);
    SetWindowLongPtrA(FHandle, GWL_STYLE, Value ? (s | WS_TABSTOP) : (s & ~LONG_PTR(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  int n = int(list.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (list[std::size_t(i)] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  int i = start;
  do {
    if (GoForward) {
      if (++i == n) i = 0;
    } else {
      if (i == 0) i = n;
      --i;
    }
    TWinControl* c = list[std::size_t(i)];
    if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus()) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
  if (c) c->SetFocus();
}

void TWinControl::SelectFirst() {
  TCustomForm* f = GetParentForm(this);
  TWinControl* c = FindNextControl(nullptr, true, true, false);
  if (!c) c = FindNextControl(nullptr, true, false, false);
  if (c) {
    if (f) f->SetActiveControl(c);
    else c->SetFocus();
  }
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
// Every control under this one learns which control now has the focus.
void TWinControl::CMFocusChanged(TMessage& M) {
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Perform(CM_FOCUSCHANGED, M.WParam, M.LParam);
}

void TWinControl::InitiateAction() {
  TControl::InitiateAction();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->InitiateAction();
}

// -- keyboard --

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::DoKeyDown(TWMKey& M) {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && static_cast<TWinControl*>(f)->DoKeyDown(M)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word key = M.CharCode();
    KeyDown(key, KeyDataToShiftState(M.KeyData()));
    M.SetCharCode(key);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TWMKey& M) {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && static_cast<TWinControl*>(f)->DoKeyUp(M)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    Word key = M.CharCode();
    KeyUp(key, KeyDataToShiftState(M.KeyData()));
    M.SetCharCode(key);
    if (key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TWMKey& M) {
  TCustomForm* f = GetParentForm(this);
  if (f && f != this && f->KeyPreview() && static_cast<TWinControl*>(f)->DoKeyPress(M)) return true;
  if (!FControlStyle.Contains(csNoStdEvents)) {
    char c = char(M.CharCode());
    KeyPress(c);
    M.SetCharCode(Word(static_cast<unsigned char>(c)));
    if (c == 0) return true;
  }
  return false;
}

void TWinControl::WMKeyDown(TWMKey& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyDown(TWMKey& M) {
  if (!DoKeyDown(M)) DefaultHandler(M);
}
void TWinControl::WMKeyUp(TWMKey& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMSysKeyUp(TWMKey& M) {
  if (!DoKeyUp(M)) DefaultHandler(M);
}
void TWinControl::WMChar(TWMKey& M) {
  if (!DoKeyPress(M)) DefaultHandler(M);
}
void TWinControl::WMSysChar(TWMKey& M) { DefaultHandler(M); }

bool TWinControl::IsMenuKey(TWMKey& M) {
  // While designing, keys go to the designer, never to menu items.
  if (ComponentState().Contains(csDesigning)) return false;
  for (TControl* c = this; c; c = c->Parent())
    if (TPopupMenu* pm = c->GetPopupMenu())
      if (pm->IsShortCut(M)) return true;
  TCustomForm* f = GetParentForm(this);
  if (f && f->IsShortCut(M)) return true;
  if (Application && Application->IsShortCut(M)) return true;
  return false;
}

void TWinControl::CNKeyDown(TWMKey& M) {
  M.Result = 1;
  if (IsMenuKey(M)) return;
  if (Perform(CM_CHILDKEY, M.CharCode(), reinterpret_cast<LPARAM>(this)) != 0) return;
  UINT mask = 0;
  switch (M.CharCode()) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
  }
  if (mask && Perform(CM_WANTSPECIALKEY, M.CharCode(), M.KeyData()) == 0 &&
      (UINT(Perform(WM_GETDLGCODE, 0, 0)) & mask) == 0) {
    TCustomForm* f = GetParentForm(this);
    if (f && f->Perform(CM_DIALOGKEY, M.CharCode(), M.KeyData()) != 0) return;
  }
  M.Result = 0;
}

void TWinControl::CNSysKeyDown(TWMKey& M) {
  M.Result = 1;
  if (IsMenuKey(M)) return;
  M.Result = 0;
}

void TWinControl::CNKeyUp(TWMKey& M) { M.Result = 0; }

void TWinControl::CNChar(TWMKey& M) {
  M.Result = 0;
  if (UINT(Perform(WM_GETDLGCODE, 0, 0)) & (DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTALLKEYS)) return;
  TCustomForm* f = GetParentForm(this);
  if (f && f->Perform(CM_DIALOGCHAR, M.CharCode(), M.KeyData()) != 0) M.Result = 1;
}

void TWinControl::CNSysChar(TWMKey& M) {
  M.Result = 0;
  TCustomForm* f = GetParentForm(this);
  if (f && f->Perform(CM_DIALOGCHAR, M.CharCode(), M.KeyData()) != 0) M.Result = 1;
}

void TWinControl::CMChildKey(TMessage& M) {
  if (FParent) M.Result = FParent->Perform(CM_CHILDKEY, M.WParam, M.LParam);
}

void TWinControl::CMDialogKey(TMessage& M) { Broadcast(M); }
void TWinControl::CMDialogChar(TMessage& M) { Broadcast(M); }

// -- other window messages --

void TWinControl::WMSize(TWMSize& M) {
  UpdateBounds();
  DefaultHandler(M);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& M) {
  UpdateBounds();
  DefaultHandler(M);
}

void TWinControl::WMWindowPosChanged2(TMessage& M) {
  DefaultHandler(M);
  UpdateBounds();
}

void TWinControl::WMSetCursor(TWMSetCursor& M) {
  if (M.CursorWnd() == FHandle && M.HitTest() == HTCLIENT) {
    TCursor cur = Screen ? Screen->Cursor() : crDefault;
    if (cur == crDefault) {
      POINT p;
      GetCursorPos(&p);
      TControl* c = ControlAtPos(ScreenToClient(p), false);
      cur = c ? c->Cursor() : crDefault;
      if (cur == crDefault) cur = FCursor;
    }
    if (cur != crDefault && Screen) {
      ::SetCursor(Screen->Cursors(cur));
      M.Result = 1;
      return;
    }
  }
  DefaultHandler(M);
}

void TWinControl::WMContextMenu2(TMessage& M) {
  if (M.Result != 0) return;
  TPoint screen{GET_X_LPARAM(M.LParam), GET_Y_LPARAM(M.LParam)};
  if (!(screen.x == -1 && screen.y == -1) && FHandle) {
    TControl* c = ControlAtPos(ScreenToClient(screen), false);
    if (c) {
      M.Result = c->Perform(WM_CONTEXTMENU, M.WParam, M.LParam);
      if (M.Result) return;
    }
  }
  TControl::WMContextMenu(M);
  if (M.Result == 0) DefaultHandler(M);
}

void TWinControl::WMDestroy(TMessage& M) { DefaultHandler(M); }

void TWinControl::WMNCDestroy(TMessage& M) {
  DefaultHandler(M);
  if (FHandle) RemovePropA(FHandle, kControlProp);
  FHandle = nullptr;
  FShowing = false;
}

// ---------------------------------------------------------------------------
// canvases of controls

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  if (FDeviceContext) {
    auto& list = CanvasList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    SetHandle(nullptr);
    if (IsWindow(FWindowHandle)) ReleaseDC(FWindowHandle, FDeviceContext);
    else DeleteDC(FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
  }
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  if (auto* w = dynamic_cast<TWinControl*>(FControl)) {
    FWindowHandle = w->Handle();
    FDeviceContext = GetDC(FWindowHandle);
  } else {
    TWinControl* p = FControl->Parent();
    if (!p) throw EInvalidOperation("Control '" + FControl->Name() + "' has no parent window");
    FWindowHandle = p->Handle();
    FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
    IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
  }
  if (FDeviceContext) CanvasList().push_back(this);
  SetHandle(FDeviceContext);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
  FControlState << csCustomPaint;
}

TCustomControl::~TCustomControl() { FCanvas->FreeHandle(); }

void TCustomControl::PaintWindow(HDC DC) {
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

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->FreeHandle(); }

void TGraphicControl::WMPaint(TWMPaint& Message) {
  if (!Message.DC()) return;
  FCanvas->FreeHandle();
  FCanvas->Lock();
  FCanvas->SetHandle(Message.DC());
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

// ---------------------------------------------------------------------------
// hint window

TClass HintWindowClass = THintWindow::StaticClass();

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FColor = clInfoBk;
  FParentColor = false;
  FBrush->SetColor(FColor);
  FFont->SetColor(clInfoText);
  FParentFont = false;
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const AnsiString& AHint, void*) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont->Handle());
  RECT r{0, 0, MaxWidth > 0 ? MaxWidth : 300, 0};
  DrawTextA(dc, AHint.c_str(), int(AHint.size()), &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteDC(dc);
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(TRect Rect, const AnsiString& AHint) {
  SetCaption(AHint);
  TRect work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (Rect.right > work.right) {
    int d = Rect.right - work.right;
    Rect.left -= d;
    Rect.right -= d;
  }
  if (Rect.left < work.left) {
    int d = work.left - Rect.left;
    Rect.left += d;
    Rect.right += d;
  }
  if (Rect.bottom > work.bottom) {
    int d = Rect.bottom - work.bottom;
    Rect.top -= d;
    Rect.bottom -= d;
  }
  HandleNeeded();
  FLeft = Rect.left;
  FTop = Rect.top;
  FWidth = Rect.Width();
  FHeight = Rect.Height();
  SetWindowPos(FHandle, HWND_TOPMOST, Rect.left, Rect.top, Rect.Width(), Rect.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FVisible = true;
  FShowing = true;
  Invalidate();
}

bool THintWindow::IsHintMsg(const MSG& Msg) {
  return (Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST) ||
         ((Msg.message == WM_ACTIVATE) && Msg.wParam != WA_INACTIVE) || Msg.message == WM_LBUTTONDOWN ||
         Msg.message == WM_RBUTTONDOWN || Msg.message == WM_MBUTTONDOWN || Msg.message == WM_NCLBUTTONDOWN ||
         Msg.message == WM_NCRBUTTONDOWN || Msg.message == WM_NCMBUTTONDOWN;
}

void THintWindow::ReleaseHandle() {
  FVisible = false;
  FShowing = false;
  if (FHandle) ShowWindow(FHandle, SW_HIDE);
}

void THintWindow::Paint() {
  TRect r = ClientRect();
  TCanvas* c = Canvas();
  c->Brush()->SetColor(FColor);
  c->FillRect(r);
  c->Font()->Assign(FFont.get());
  r.left += 2;
  r.top += 1;
  AnsiString text = Caption();
  c->Brush()->SetStyle(bsClear);
  c->TextRect(r, text, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::WMNCHitTest(TMessage& M) { M.Result = HTTRANSPARENT; }

// ---------------------------------------------------------------------------
// registration

void InitControlsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TControl::StaticClass(), TWinControl::StaticClass(), TCustomControl::StaticClass(),
                   TGraphicControl::StaticClass(), THintWindow::StaticClass(), TSizeConstraints::StaticClass()});
  RegisterProps<TSizeConstraints>([](TPropBuilder<TSizeConstraints>& p) {
    p.Prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    p.Prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    p.Prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    p.Prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
  });
  RegisterProps<TControl>([](TPropBuilder<TControl>& p) {
    p.Prop("Left", &TControl::Left, &TControl::SetLeft).NoDefault();
    p.Prop("Top", &TControl::Top, &TControl::SetTop).NoDefault();
    p.Prop("Width", &TControl::Width, &TControl::SetWidth).NoDefault();
    p.Prop("Height", &TControl::Height, &TControl::SetHeight).NoDefault();
    p.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).Idents(&CursorMap());
    p.Prop("Hint", &TControl::Hint, &TControl::SetHint);
    p.Prop("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Default(0);
  });
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
