// Lookup tree edits: the box and its button, the drop-down tree with its grip
// and close button, the list binding and the data-aware edit.
#include "treechart/kxlookuptreeview.h"

#include <algorithm>
#include <set>

#include "platform/classes/typinfo.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"
#include "platform/win/system.h"
#include "treechart/dropdownhelpers.h"
#include "treechart/kxdbtreeview_internal.h"

using namespace kxdbtree;

namespace {

// The system library whose monitor functions a drop-down looks up.
HMODULE gUser32 = nullptr;
using MonitorFromPointFn = HMONITOR (*)(POINT, DWORD);
using GetMonitorInfoFn = BOOL (*)(HMONITOR, MONITORINFO*);

int FontTextHeight(TFont* Font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

TRect ScreenRectOf(HWND Wnd) {
  RECT r{};
  GetWindowRect(Wnd, &r);
  return TRect(r.left, r.top, r.right, r.bottom);
}

}  // namespace

// ---------------------------------------------------------------------------
// TPopupDBTreeView

TPopupDBTreeView::TPopupDBTreeView(TComponent* AOwner) : TkxDBTreeView(AOwner) {
  FEdit = dynamic_cast<TCustomkxVTreeViewEdit*>(AOwner);
  FControlStyle >> csDisplayDragImage;
  FControlStyle << csNoDesignVisible << csReplicatable;
  SetDragMode(dmManual);
}

void TPopupDBTreeView::SetFocus() {
  if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
}

bool TPopupDBTreeView::DroppedDown() const { return FEdit && FEdit->DroppedDown(); }

void TPopupDBTreeView::CreateParams(TCreateParams& Params) {
  TkxDBTreeView::CreateParams(Params);
  Params.Style = (Params.Style & ~DWORD(WS_CHILD)) | WS_POPUP | WS_BORDER;
  Params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
  Params.WindowClass.style |= CS_SAVEBITS;
  // Owned by the window of the edit's form (or, outside a form, of its outermost parent).
  HWND owner = nullptr;
  if (FEdit) {
    if (TCustomForm* f = GetParentForm(FEdit)) owner = f->Handle();
    else {
      TWinControl* top = FEdit;
      while (top->Parent()) top = top->Parent();
      if (top->HandleAllocated()) owner = top->Handle();
    }
  }
  Params.WndParent = owner;
}

void TPopupDBTreeView::CreateWnd() {
  TkxDBTreeView::CreateWnd();
  FScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  FScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
}

bool TPopupDBTreeView::CanChange(TTreeNode* Node) {
  return TkxDBTreeView::CanChange(Node) && (!FEdit || FEdit->CanSelectNode(Node));
}

void TPopupDBTreeView::KeyDown(Word& Key, TShiftState Shift) {
  if (FEdit && (Key == VK_RETURN || Key == VK_ESCAPE)) {
    FEdit->CloseUp(Key == VK_RETURN);
    Key = 0;
    return;
  }
  TkxDBTreeView::KeyDown(Key, Shift);
}

void TPopupDBTreeView::DblClick() {
  TkxDBTreeView::DblClick();
  if (!FEdit || !HandleAllocated()) return;
  TTreeNode* s = Selected();
  POINT p;
  GetCursorPos(&p);
  TPoint c = ScreenToClient(TPoint(p.x, p.y));
  THitTests ht = GetHitTestInfoAt(c.x, c.y);
  const bool onNode = ht.Contains(htOnLabel) || ht.Contains(htOnIcon) || ht.Contains(htOnStateIcon) ||
                      ht.Contains(htOnItem);
  if (FEdit->CanSelectNode(s) && onNode && GetNodeAt(c.x, c.y) == s) FEdit->CloseUp(true);
}

void TPopupDBTreeView::Click() {
  TkxDBTreeView::Click();
  if (FEdit && FEdit->OnClick) FEdit->OnClick(FEdit);
}

void TPopupDBTreeView::WndProc(TMessage& Message) {
  // While the close button is held the mouse is ours: the button looks hot
  // only while the mouse is over it.
  if (Message.Msg == WM_MOUSEMOVE && FClosePressed) {
    POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    ::ClientToScreen(Handle(), &p);
    const bool hot = PtInRect(&FCloseRect, p) != FALSE;
    if (hot != FCloseHot) {
      FCloseHot = hot;
      RepaintFrame();
    }
    return;
  }
  TkxDBTreeView::WndProc(Message);
}

void TPopupDBTreeView::RepaintFrame() {
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TPopupDBTreeView::WMNCCalcSize(TMessage& Message) {
  RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                           : reinterpret_cast<RECT*>(Message.LParam);
  const RECT window = r ? *r : RECT{};
  TkxDBTreeView::Dispatch(Message);
  if (!r || !DroppedDown() || !FEdit->HandleAllocated()) return;
  // The strip goes to the side away from the edit: the bottom below it, the top above it.
  const TPoint tl = FEdit->ScreenToClient(TPoint(window.left, window.top));
  const TPoint br = FEdit->ScreenToClient(TPoint(window.right, window.bottom));
  const TRect editRect = FEdit->ClientRect();
  FGripCorner = kxGetSizeGripCorner(RECT{editRect.left, editRect.top, editRect.right, editRect.bottom},
                                    RECT{tl.x, tl.y, br.x, br.y});
  const int bar = kxPopupNCBarHeight();
  if (FGripCorner == 2 || FGripCorner == 3)
    r->bottom -= bar;
  else
    r->top += bar;
  if (r->bottom < r->top) r->bottom = r->top;
}

void TPopupDBTreeView::WMNCPaint(TMessage& Message) {
  TkxDBTreeView::Dispatch(Message);
  if (!DroppedDown() || !HandleAllocated()) return;
  const TRect wr = ScreenRectOf(Handle());
  POINT co{0, 0};
  ::ClientToScreen(Handle(), &co);
  RECT client{co.x - wr.left, co.y - wr.top, 0, 0};
  client.right = client.left + ClientWidth();
  client.bottom = client.top + ClientHeight();
  const int border = client.left;  // the left edge has the border only
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  const int bar = kxPopupNCBarHeight();
  const bool bottom = FGripCorner == 2 || FGripCorner == 3;
  RECT strip = bottom ? RECT{border, h - border - bar, w - border, h - border} : RECT{border, border, w - border, border + bar};
  HDC dc = GetWindowDC(Handle());
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &strip, face);
  // A line between the client area and the strip.
  RECT line = bottom ? RECT{strip.left, strip.top, strip.right, strip.top + 1}
                     : RECT{strip.left, strip.bottom - 1, strip.right, strip.bottom};
  FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
  if (bottom) strip.top += 1;
  else strip.bottom -= 1;
  RECT grip = strip;
  kxPaintSizeGrip(dc, grip, FGripCorner);
  RECT hit{grip.left - 2, grip.top - 2, grip.right + 2, grip.bottom + 2};
  hit.left = std::max(hit.left, strip.left);
  hit.top = std::max(hit.top, strip.top);
  hit.right = std::min(hit.right, strip.right);
  hit.bottom = std::min(hit.bottom, strip.bottom);
  FGripRect = TRect(hit.left + wr.left, hit.top + wr.top, hit.right + wr.left, hit.bottom + wr.top);
  RECT close = strip;
  kxDrawPopupCloseButton(dc, close, FCloseHot || FClosePressed, FGripCorner, FCloseHot && FClosePressed ? 1 : 0);
  FCloseRect = TRect(close.left + wr.left, close.top + wr.top, close.right + wr.left, close.bottom + wr.top);
  // The square between the two scroll bars above a bottom strip.
  const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  if (bottom && (style & WS_VSCROLL) && (style & WS_HSCROLL)) {
    RECT square{client.right, client.bottom, w - border, strip.top - 1};
    FillRect(dc, &square, face);
  }
  ReleaseDC(Handle(), dc);
}

void TPopupDBTreeView::WMNCHitTest(TMessage& Message) {
  if (DroppedDown()) {
    const TPoint p(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    if (PtInRect(&FGripRect, p)) {
      Message.Result = kxCornerToHitTest(FGripCorner);
      return;
    }
    const bool hot = PtInRect(&FCloseRect, p) != FALSE;
    if (hot != FCloseHot) {
      FCloseHot = hot;
      RepaintFrame();
      if (hot && !FTrackingLeave) {
        // Leaving the frame clears the hot look (the tracking asks the hit
        // test again, which must not track once more).
        TkxFlagGuard tracking(FTrackingLeave, true);
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE | TME_NONCLIENT;
        tme.hwndTrack = Handle();
        TrackMouseEvent(&tme);
      }
    }
    if (hot) {
      Message.Result = HTBORDER;
      return;
    }
  }
  TkxDBTreeView::Dispatch(Message);
}

void TPopupDBTreeView::WMNCLButtonDown(TMessage& Message) {
  if (FCloseHot) {
    FClosePressed = true;
    SetCapture(Handle());
    RepaintFrame();
    return;
  }
  TkxDBTreeView::Dispatch(Message);
}

void TPopupDBTreeView::WMNCMouseMove(TMessage& Message) { TkxDBTreeView::Dispatch(Message); }

void TPopupDBTreeView::WMLButtonUp(TMessage& Message) {
  if (FClosePressed) {
    FClosePressed = false;
    ReleaseCapture();
    if (FCloseHot && FEdit) FEdit->CloseUp(false);
    else RepaintFrame();
    return;
  }
  TkxDBTreeView::Dispatch(Message);
}

void TPopupDBTreeView::WMCaptureChanged(TMessage& Message) {
  if (FClosePressed) {
    FClosePressed = false;
    FCloseHot = false;
    RepaintFrame();
  }
  TkxDBTreeView::Dispatch(Message);
}

void TPopupDBTreeView::WMNCMouseLeave(TMessage& Message) {
  if (FCloseHot) {
    FCloseHot = false;
    RepaintFrame();
  }
  TkxDBTreeView::Dispatch(Message);
}

void TPopupDBTreeView::WMGetMinMaxInfo(TMessage& Message) {
  TkxDBTreeView::Dispatch(Message);
  if (auto* mm = reinterpret_cast<MINMAXINFO*>(Message.LParam)) mm->ptMinTrackSize = {100, 100};
}

void TPopupDBTreeView::WMActivate(TMessage& Message) {
  TkxDBTreeView::Dispatch(Message);
  if (LOWORD(Message.WParam) == WA_INACTIVE && DroppedDown()) {
    // A press on the edit that took the activation away must not open it again.
    POINT p;
    GetCursorPos(&p);
    FEdit->FClosedByPress = GetKeyState(VK_LBUTTON) < 0 && FEdit->HandleAllocated() && WindowFromPoint(p) == FEdit->Handle();
    FEdit->CloseUp(false);
  }
}

void TPopupDBTreeView::WMMouseActivate(TMessage& Message) { Message.Result = MA_NOACTIVATE; }

void TPopupDBTreeView::WMGetDlgCode(TMessage& Message) {
  TkxDBTreeView::Dispatch(Message);
  Message.Result |= DLGC_WANTALLKEYS;
}

// ---------------------------------------------------------------------------
// TCustomkxVTreeViewEdit

TCustomkxVTreeViewEdit::TCustomkxVTreeViewEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle << csOpaque << csReplicatable;
  FButtonWidth = GetSystemMetrics(SM_CXVSCROLL);
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FWidth = 145;
  AdjustHeight();
}

TCustomkxVTreeViewEdit::~TCustomkxVTreeViewEdit() = default;

void TCustomkxVTreeViewEdit::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (Ctl3D())
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

void TCustomkxVTreeViewEdit::CreateWnd() {
  TCustomControl::CreateWnd();
  if (!FTopForm) FTopForm = GetParentForm(this);
}

int TCustomkxVTreeViewEdit::EditHeight() {
  const int borders = Ctl3D() ? 2 * GetSystemMetrics(SM_CYEDGE) : 2 * GetSystemMetrics(SM_CYBORDER);
  return FontTextHeight(Font()) + borders + 4;
}

void TCustomkxVTreeViewEdit::AdjustHeight() { SetBounds(Left(), Top(), Width(), Height()); }

void TCustomkxVTreeViewEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, EditHeight());
}

void TCustomkxVTreeViewEdit::CMFontChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  AdjustHeight();
}

void TCustomkxVTreeViewEdit::CMCtl3DChanged(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (HandleAllocated()) RecreateWnd();
  AdjustHeight();
}

void TCustomkxVTreeViewEdit::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomkxVTreeViewEdit::SetDividedChar(char Value) {
  if (Value == FDividedChar) return;
  FDividedChar = Value;
  Invalidate();
}

void TCustomkxVTreeViewEdit::SetText(const AnsiString& Value) {
  if (Value == FText) return;
  FText = Value;
  Invalidate();
}

bool TCustomkxVTreeViewEdit::CanSelectNode(TTreeNode* Node) {
  return Node && (FCanSelectParents || (!Node->HasChildren() && !Node->GetFirstChild()));
}

void TCustomkxVTreeViewEdit::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetColor(Color());
  const bool highlight = FHasFocus && !FDroppedDown && !ControlState().Contains(csPaintCopy);
  if (highlight) {
    c->Font()->SetColor(clHighlightText);
    c->Brush()->SetColor(clHighlight);
  }
  if (!Enabled()) c->Font()->SetColor(clGrayText);
  const TRect client = ClientRect();
  const TRect area(1, 1, client.right - FButtonWidth - 1, client.bottom - 1);
  {
    // The margin round the text area keeps the box's own colour.
    TColor fill = c->Brush()->Color();
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(0, 0, client.right - FButtonWidth, client.bottom));
    c->Brush()->SetColor(fill);
  }
  const AnsiString text = EditDisplayText();
  const int tw = c->TextWidth(text);
  int x = 2;
  if (FAlignment == taRightJustify) x = area.Width() - tw - 3;
  else if (FAlignment == taCenter) x = (area.Width() - tw) / 2;
  c->TextRect(area, x, 2, text);
  if (highlight) c->DrawFocusRect(area);
  RECT button{client.right - FButtonWidth, 0, client.right, client.bottom};
  UINT state = DFCS_SCROLLCOMBOBOX;
  if (FButtonPressed) state |= DFCS_PUSHED | DFCS_FLAT;
  if (!Enabled()) state |= DFCS_INACTIVE;
  DrawFrameControl(c->Handle(), &button, DFC_SCROLL, state);
}

void TCustomkxVTreeViewEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    // Taking the focus from an open pop-up may close it already; the press
    // still counts as one made while it was open.
    bool wasDropped = FDroppedDown;
    if (CanFocus() && !Focused()) SetFocus();
    if (FClosedByPress) {
      FClosedByPress = false;
      wasDropped = true;
    }
    if (wasDropped) {
      TPopupDBTreeView* popup = GetPopupTree();
      const TPoint s = ClientToScreen(TPoint(X, Y));
      const TRect popupRect = popup && popup->HandleAllocated() ? ScreenRectOf(popup->Handle()) : TRect();
      if (FDroppedDown && popup && popup->HandleAllocated() && PtInRect(&popupRect, s)) {
        const TPoint p = popup->ScreenToClient(s);
        popup->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
      } else {
        CloseUp(false);  // nothing when it closed already
      }
    } else {
      FButtonPressed = X >= ClientWidth() - FButtonWidth && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
      Invalidate();
      DropDown();
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomkxVTreeViewEdit::MouseMove(TShiftState Shift, int X, int Y) {
  if (FButtonPressed && !(X >= ClientWidth() - FButtonWidth && X < ClientWidth() && Y >= 0 && Y < ClientHeight())) {
    FButtonPressed = false;
    Invalidate();
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomkxVTreeViewEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FButtonPressed) {
    FButtonPressed = false;
    Invalidate();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomkxVTreeViewEdit::CMMouseLeave(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (FButtonPressed) {
    FButtonPressed = false;
    Invalidate();
  }
}

void TCustomkxVTreeViewEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_DOWN && Shift.Contains(ssAlt)) DropDown();
}

void TCustomkxVTreeViewEdit::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS; }

void TCustomkxVTreeViewEdit::DoEnter() {
  FHasFocus = true;
  Invalidate();
  TCustomControl::DoEnter();
}

void TCustomkxVTreeViewEdit::DoExit() {
  FHasFocus = false;
  Invalidate();
  TCustomControl::DoExit();
}

TRect TCustomkxVTreeViewEdit::WorkAreaAt(const TPoint& P) {
  auto monitorFromPoint =
      gUser32 ? reinterpret_cast<MonitorFromPointFn>(GetProcAddress(gUser32, "MonitorFromPoint")) : nullptr;
  auto getMonitorInfo =
      gUser32 ? reinterpret_cast<GetMonitorInfoFn>(GetProcAddress(gUser32, "GetMonitorInfoA")) : nullptr;
  if (monitorFromPoint && getMonitorInfo) {
    MONITORINFO info;
    if (getMonitorInfo(monitorFromPoint(POINT{P.x, P.y}, MONITOR_DEFAULTTONEAREST), &info))
      return TRect(info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom);
  }
  RECT r{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return TRect(r.left, r.top, r.right, r.bottom);
}

// ---- the pop-up tree's look ----

TColor TCustomkxVTreeViewEdit::TreeViewColor() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->Color() : clNone;
}
void TCustomkxVTreeViewEdit::SetTreeViewColor(TColor Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetColor(Value);
}
TCursor TCustomkxVTreeViewEdit::TreeViewCursor() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->Cursor() : TCursor(-1);
}
void TCustomkxVTreeViewEdit::SetTreeViewCursor(TCursor Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetCursor(Value);
}
TFont* TCustomkxVTreeViewEdit::TreeViewFont() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->Font() : nullptr;
}
void TCustomkxVTreeViewEdit::SetTreeViewFont(TFont* Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetFont(Value);
}
AnsiString TCustomkxVTreeViewEdit::TreeViewHint() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->Hint() : AnsiString();
}
void TCustomkxVTreeViewEdit::SetTreeViewHint(const AnsiString& Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetHint(Value);
}
TCustomImageList* TCustomkxVTreeViewEdit::TreeViewImages() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->Images() : nullptr;
}
void TCustomkxVTreeViewEdit::SetTreeViewImages(TCustomImageList* Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetImages(Value);
}
int TCustomkxVTreeViewEdit::TreeViewIndent() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->Indent() : -1;
}
void TCustomkxVTreeViewEdit::SetTreeViewIndent(int Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetIndent(Value);
}
TPopupMenu* TCustomkxVTreeViewEdit::TreeViewPopupMenu() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->PopupMenu() : nullptr;
}
void TCustomkxVTreeViewEdit::SetTreeViewPopupMenu(TPopupMenu* Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetPopupMenu(Value);
}
bool TCustomkxVTreeViewEdit::TreeViewReadOnly() {
  TPopupDBTreeView* p = GetPopupTree();
  return p && p->ReadOnly();
}
void TCustomkxVTreeViewEdit::SetTreeViewReadOnly(bool Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetReadOnly(Value);
}
bool TCustomkxVTreeViewEdit::TreeViewShowButtons() {
  TPopupDBTreeView* p = GetPopupTree();
  return p && p->ShowButtons();
}
void TCustomkxVTreeViewEdit::SetTreeViewShowButtons(bool Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetShowButtons(Value);
}
bool TCustomkxVTreeViewEdit::TreeViewShowHint() {
  TPopupDBTreeView* p = GetPopupTree();
  return p && p->ShowHint();
}
void TCustomkxVTreeViewEdit::SetTreeViewShowHint(bool Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetShowHint(Value);
}
bool TCustomkxVTreeViewEdit::TreeViewShowLines() {
  TPopupDBTreeView* p = GetPopupTree();
  return p && p->ShowLines();
}
void TCustomkxVTreeViewEdit::SetTreeViewShowLines(bool Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetShowLines(Value);
}
bool TCustomkxVTreeViewEdit::TreeViewShowRoot() {
  TPopupDBTreeView* p = GetPopupTree();
  return p && p->ShowRoot();
}
void TCustomkxVTreeViewEdit::SetTreeViewShowRoot(bool Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetShowRoot(Value);
}
TSortType TCustomkxVTreeViewEdit::TreeViewSortType() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->SortType() : stNone;
}
void TCustomkxVTreeViewEdit::SetTreeViewSortType(TSortType Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetSortType(Value);
}
TCustomImageList* TCustomkxVTreeViewEdit::TreeViewStateImages() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->StateImages() : nullptr;
}
void TCustomkxVTreeViewEdit::SetTreeViewStateImages(TCustomImageList* Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->SetStateImages(Value);
}
TTreeViewCustomDraw TCustomkxVTreeViewEdit::TreeViewOnCustomDraw() {
  TPopupDBTreeView* p = GetPopupTree();
  return p ? p->OnCustomDraw : TTreeViewCustomDraw();
}
void TCustomkxVTreeViewEdit::SetTreeViewOnCustomDraw(TTreeViewCustomDraw Value) {
  if (TPopupDBTreeView* p = GetPopupTree()) p->OnCustomDraw = Value;
}

// ---- choosing ----

void TCustomkxVTreeViewEdit::InitPopupTree() {
  TPopupDBTreeView* p = GetPopupTree();
  if (!p) return;
  p->SetVisible(false);
  p->SetShowNodeHint(false);
}

void TCustomkxVTreeViewEdit::ApplyTreeSettings() {
  TPopupDBTreeView* p = GetPopupTree();
  if (!p) return;
  p->OnGetImageIndex = OnGetImageIndex;
  p->OnGetSelectedIndex = OnGetSelectedIndex;
  p->SetShowButtons(p->ShowButtons());
  p->SetShowLines(p->ShowLines());
  p->SetShowRoot(p->ShowRoot());
}

void TCustomkxVTreeViewEdit::UpdateTextFromTree() {
  TPopupDBTreeView* p = GetPopupTree();
  TTreeNode* n = p && p->HandleAllocated() ? p->Selected() : nullptr;
  if (!n) return;
  if (FTextStyle != tvtsFull) {
    SetText(n->Text());
    return;
  }
  // The texts from the root down, a separator only between two non-empty parts.
  AnsiString path;
  for (TTreeNode* a = n; a; a = a->Parent()) {
    const AnsiString part = a->Text();
    if (!part.empty() && !path.empty()) path = part + FDividedChar + path;
    else path = part + path;
  }
  SetText(path);
}

void TCustomkxVTreeViewEdit::DropDown() {
  if (FDroppedDown) return;
  TPopupDBTreeView* popup = GetPopupTree();
  if (OnDropDown) OnDropDown(this);
  ApplyTreeSettings();
  if (!popup || !HandleAllocated()) return;
  const TRect self = ScreenRectOf(Handle());
  TPoint p(self.left, self.top + Height());
  const int textHeight = FontTextHeight(Font());
  const int h = textHeight * FDropDownRows + 26;
  const int w = FDropDownWidth < 1 ? Width() : FDropDownWidth;
  const TRect work = WorkAreaAt(p);
  p.x = std::max(p.x, int(work.left));
  if (p.x + w > work.right) p.x = work.right - w;
  p.y = std::max(p.y, int(work.top));
  if (p.y + h > work.bottom) p.y = p.y - (Height() + h);
  popup->HandleNeeded();
  popup->SetBounds(p.x, p.y, w, h);
  FDroppedDown = true;
  SetWindowPos(popup->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  popup->SetVisible(true);
  SetWindowPos(popup->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  popup->SetFocus();
  if (TCustomForm* f = GetParentForm(this)) SendMessageA(f->Handle(), WM_NCACTIVATE, TRUE, 0);
  Invalidate();
}

void TCustomkxVTreeViewEdit::CloseUp(bool Accept) {
  if (!FDroppedDown) return;
  TPopupDBTreeView* popup = GetPopupTree();
  if (popup) {
    // The size the user gave the drop-down is kept for the next opening.
    FDropDownWidth = popup->Width();
    const int textHeight = std::max(1, FontTextHeight(Font()));
    FDropDownRows = std::max(2, (popup->Height() - 26) / textHeight);
    if (popup->HandleAllocated() && GetCapture() == popup->Handle()) ReleaseCapture();
  }
  FDroppedDown = false;
  if (popup && popup->HandleAllocated() && IsWindowVisible(popup->Handle())) {
    SetWindowPos(popup->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    popup->SetVisible(false);
    if (TCustomForm* f = GetParentForm(this)) ::SetFocus(f->Handle());
  }
  Invalidate();
  if (Accept && !IsEditReadOnly()) UpdateTextFromTree();
  if (OnCloseUp) OnCloseUp(this, Accept);
}

// ---------------------------------------------------------------------------
// TCustomkxLookupTreeView

void TDataLinkLookupTreeView::ActiveChanged() { FEdit->BindListFields(); }

TCustomkxLookupTreeView::TCustomkxLookupTreeView(TComponent* AOwner) : TCustomkxVTreeViewEdit(AOwner) {
  FListLink = std::make_unique<TDataLinkLookupTreeView>(this);
  FKeyValue = Null();
  FRestoreValue = Null();
  FPopupTree = new TPopupDBTreeView(this);
  InitPopupTree();
}

TCustomkxLookupTreeView::~TCustomkxLookupTreeView() {
  FListLink.reset();
  delete FPopupTree;
  FPopupTree = nullptr;
}

void TCustomkxLookupTreeView::SetListSource(TDataSource* Value) {
  if (Value == ListSource()) return;
  if (TDataSource* old = ListSource()) old->RemoveFreeNotification(this);
  FListLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TCustomkxLookupTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxVTreeViewEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FListLink && AComponent == ListSource()) SetListSource(nullptr);
  if (AComponent == FPopupTree) FPopupTree = nullptr;
}

void TCustomkxLookupTreeView::SetAssignField(const AnsiString& Value) {
  if (Value == FAssignFieldName) return;
  FAssignFieldName = Value;
  BindListFields();
}
void TCustomkxLookupTreeView::SetKeyField(const AnsiString& Value) {
  if (Value == FKeyFieldName) return;
  FKeyFieldName = Value;
  BindListFields();
}
void TCustomkxLookupTreeView::SetParentField(const AnsiString& Value) {
  if (Value == FParentFieldName) return;
  FParentFieldName = Value;
  BindListFields();
}
void TCustomkxLookupTreeView::SetListField(const AnsiString& Value) {
  if (Value == FListFieldName) return;
  FListFieldName = Value;
  BindListFields();
}

void TCustomkxLookupTreeView::BindListFields() {
  FAssignField = FKeyField = FListField = FParentField = nullptr;
  if (!FListLink || !FListLink->Active()) return;
  TDataSet* ds = FListLink->DataSet();
  auto bind = [ds](const AnsiString& Name) -> TField* { return Name.empty() ? nullptr : ds->FieldByName(Name); };
  FAssignField = bind(FAssignFieldName);
  FKeyField = bind(FKeyFieldName);
  FListField = bind(FListFieldName);
  FParentField = bind(FParentFieldName);
  if (FKeyField) FKeyValue = FKeyField->Value();
  if (FListField) SetText(FListField->DisplayText());
}

void TCustomkxLookupTreeView::UpdateTextFromTree() {
  TCustomkxVTreeViewEdit::UpdateTextFromTree();
  FKeyValue = FKeyField ? FKeyField->Value() : Null();
  if (FTextStyle == tvtsShort && FListField) SetText(FListField->DisplayText());
}

void TCustomkxLookupTreeView::DropDown() {
  if (FDroppedDown || !FPopupTree) return;
  // The record to return to when the choice is cancelled: the one current
  // now, before the pop-up moves the list to the edit's value.
  FRestoreValue = !FListLink->Active() ? Null() : FAssignField ? FAssignField->Value()
                                                 : FKeyField    ? FKeyField->Value()
                                                                : Null();
  TCustomForm* top = GetParentForm(this);
  if (top != FTopForm) {
    // The pop-up belongs to the outermost form the edit now sits on.
    FTopForm = top;
    if (FPopupTree->HandleAllocated()) FPopupTree->RecreateWnd();
  }
  FPopupTree->SetKeyField(FKeyFieldName);
  FPopupTree->SetParentField(FParentFieldName);
  FPopupTree->SetListField(FListFieldName);
  FPopupTree->SetDisplayField(FDisplayFieldName);
  FPopupTree->OnSetDisplayItemText = OnSetDisplayItemText;
  FPopupTree->SetImageIndexField(FImageIndexFieldName);
  FPopupTree->SetStateIndexField(FStateIndexFieldName);
  FPopupTree->HandleNeeded();
  FPopupTree->SetDataSource(ListSource());
  if (!IsNullKey(FKeyValue)) FPopupTree->GotoNode(FKeyValue);
  TCustomkxVTreeViewEdit::DropDown();
}

void TCustomkxLookupTreeView::CloseUp(bool Accept) {
  if (!FDroppedDown) return;
  TCustomkxVTreeViewEdit::CloseUp(Accept);
  if (FPopupTree) FPopupTree->SetDataSource(nullptr);
  if (!Accept) RestoreListCursor();
}

void TCustomkxLookupTreeView::RestoreListCursor() {
  if (!FListLink->Active()) return;
  TDataSet* ds = FListLink->DataSet();
  if (FAssignField) ds->Locate(FAssignFieldName, FRestoreValue, {});
  else if (FKeyField) ds->Locate(FKeyFieldName, FRestoreValue, {});
}

// ---------------------------------------------------------------------------
// TkxDBLookupTreeView

TkxDBLookupTreeView::TkxDBLookupTreeView(TComponent* AOwner) : TCustomkxLookupTreeView(AOwner) {
  FDataLink = std::make_unique<TFieldDataLink>();
  FDataLink->SetControl(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TkxDBLookupTreeView::DataChange);
  FDataLink->OnActiveChange = TNotifyEvent(this, &TkxDBLookupTreeView::ActiveChange);
}

TkxDBLookupTreeView::~TkxDBLookupTreeView() { FDataLink.reset(); }

void TkxDBLookupTreeView::SetDataSource(TDataSource* Value) {
  if (Value == DataSource()) return;
  if (TDataSource* old = DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TkxDBLookupTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomkxLookupTreeView::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == DataSource()) SetDataSource(nullptr);
}

void TkxDBLookupTreeView::SetAssignField(const AnsiString& Value) { TCustomkxLookupTreeView::SetAssignField(Value); }

void TkxDBLookupTreeView::ActiveChange(TObject*) { BindListFields(); }

void TkxDBLookupTreeView::BindListFields() {
  if (FDataLink && FListLink->Active() && FDataLink->Active()) {
    TDataSet* data = FDataLink->DataSet();
    TDataSet* list = FListLink->DataSet();
    if (data->IsLinkedTo(ListSource()) || list->IsLinkedTo(DataSource()))
      DatabaseError("Circular datalinks are not allowed", this);
  }
  TCustomkxLookupTreeView::BindListFields();
  if (FDataLink) DataChange(nullptr);
}

AnsiString TkxDBLookupTreeView::TextForData() {
  TField* data = FDataLink->Field();
  if (!data || !FKeyField || !FListField || !FParentField || !FListLink->Active()) return AnsiString();
  TDataSet* ds = FListLink->DataSet();
  ControlsOff off(ds);
  const AnsiString by = FAssignField ? FAssignFieldName : FKeyFieldName;
  if (!ds->Locate(by, data->Value(), {})) return AnsiString();
  AnsiString text = FListField->DisplayText();
  if (FTextStyle == tvtsFull) {
    const Variant remembered = FKeyField->Value();
    std::set<Variant, bool (*)(const Variant&, const Variant&)> seen(
        [](const Variant& A, const Variant& B) { return VarCompareTotal(A, B) < 0; });
    seen.insert(remembered);
    for (;;) {
      const Variant parent = FParentField->Value();
      if (IsNullKey(parent) || !seen.insert(parent).second || !ds->Locate(FKeyFieldName, parent, {})) break;
      // A record that is its own parent stands for the top and is not shown.
      if (SameKey(FKeyField->Value(), FParentField->Value())) break;
      const AnsiString part = FListField->DisplayText();
      text = part.empty() || text.empty() ? part + text : part + FDividedChar + text;
    }
    ds->Locate(FKeyFieldName, remembered, {});
  }
  off.Restore();
  return text;
}

void TkxDBLookupTreeView::DataChange(TObject*) {
  // Reading the list can move a dataset whose links tell this edit again.
  if (FWritingData || FReadingData) return;
  TkxFlagGuard reading(FReadingData, true);
  if (FListField && FListField->Alignment() != FAlignment) SetAlignment(FListField->Alignment());
  SetText(FDataLink->Field() ? TextForData() : AnsiString());
}

void TkxDBLookupTreeView::WriteData() {
  TkxFlagGuard writing(FWritingData, true);
  if (!FDataLink->Active() || !FDataLink->Field()) return;
  if (!FDataLink->Editing()) FDataLink->Edit();
  TDataSet* ds = FDataLink->DataSet();
  if (ds->State() != dsInsert && ds->State() != dsEdit) return;
  Variant value = Null();
  if (FListLink->Active()) value = FAssignField ? FAssignField->Value() : FKeyField ? FKeyField->Value() : Null();
  FDataLink->Field()->SetValue(value);
}

void TkxDBLookupTreeView::UpdateTextFromTree() {
  TCustomkxLookupTreeView::UpdateTextFromTree();
  WriteData();
}

void TkxDBLookupTreeView::ApplyTreeSettings() {
  TCustomkxLookupTreeView::ApplyTreeSettings();
  if (FPopupTree && FDataLink->Field()) FPopupTree->GotoNode(FDataLink->Field()->Value());
}

void TkxDBLookupTreeView::DropDown() {
  TCustomkxLookupTreeView::DropDown();
  FDataLink->Modified();
}

void TkxDBLookupTreeView::CloseUp(bool Accept) {
  if (FClosingUp) return;
  TkxFlagGuard closing(FClosingUp, true);
  TCustomkxLookupTreeView::CloseUp(Accept);
}

void TkxDBLookupTreeView::CMExit(TMessage& Message) {
  try {
    FDataLink->UpdateRecord();
  } catch (...) {
    SetFocus();
    throw;
  }
  TCustomkxLookupTreeView::Dispatch(Message);
}

void TkxDBLookupTreeView::CMGetDataLink(TMessage& Message) {
  Message.Result = reinterpret_cast<LRESULT>(FDataLink.get());
}

// ---------------------------------------------------------------------------
// start-up

void kxInitLookupTreeViews() {
  if (!gUser32) gUser32 = LoadLibraryA("USER32");
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TPopupDBTreeView::StaticClass(), TCustomkxVTreeViewEdit::StaticClass(),
                   TCustomkxLookupTreeView::StaticClass(), TkxLookupTreeView::StaticClass(),
                   TkxDBLookupTreeView::StaticClass()});
  RegisterProps<TCustomkxVTreeViewEdit>([](TPropBuilder<TCustomkxVTreeViewEdit>& p) {
    using E = TCustomkxVTreeViewEdit;
    PublishControlProps(p,
                        "Anchors Color Constraints Ctl3D Cursor DragCursor DragMode Enabled Font ParentColor "
                        "ParentCtl3D ParentFont ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible OnClick "
                        "OnDblClick OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp "
                        "OnMouseDown OnMouseMove OnMouseUp OnStartDrag",
                        {.ParentColor = false, .TabStop = true});
    p.Prop("CanSelectParents", &E::CanSelectParents, &E::SetCanSelectParents).Default(true);
    p.Prop("DropDownRows", &E::DropDownRows, &E::SetDropDownRows).Default(7);
    p.Prop("DropDownWidth", &E::DropDownWidth, &E::SetDropDownWidth).Default(0);
    // A data-aware edit's text comes from its field.
    p.Prop("Text", &E::Text, &E::SetText).Stored([](TObject* o) {
      auto* d = dynamic_cast<TkxDBLookupTreeView*>(o);
      return !d || d->DataField().empty();
    });
    p.Prop("TreeViewColor", &E::TreeViewColor, &E::SetTreeViewColor).Default(clWindow).Idents(ColorIdentMap());
    p.Prop("TreeViewCursor", &E::TreeViewCursor, &E::SetTreeViewCursor).Default(crDefault).Idents(CursorIdentMap());
    p.Prop("TreeViewFont", &E::TreeViewFont);
    p.Prop("TreeViewHint", &E::TreeViewHint, &E::SetTreeViewHint);
    p.Prop("TreeViewImages", &E::TreeViewImages, &E::SetTreeViewImages);
    p.Prop("TreeViewIndent", &E::TreeViewIndent, &E::SetTreeViewIndent).Default(19);
    p.Prop("TreeViewPopupMenu", &E::TreeViewPopupMenu, &E::SetTreeViewPopupMenu);
    p.Prop("TreeViewReadOnly", &E::TreeViewReadOnly, &E::SetTreeViewReadOnly).Default(false);
    p.Prop("TreeViewShowButtons", &E::TreeViewShowButtons, &E::SetTreeViewShowButtons).Default(true);
    p.Prop("TreeViewShowHint", &E::TreeViewShowHint, &E::SetTreeViewShowHint).Default(false);
    p.Prop("TreeViewShowLines", &E::TreeViewShowLines, &E::SetTreeViewShowLines).Default(true);
    p.Prop("TreeViewShowRoot", &E::TreeViewShowRoot, &E::SetTreeViewShowRoot).Default(true);
    p.Prop("TreeViewSortType", &E::TreeViewSortType, &E::SetTreeViewSortType).Default(stNone);
    p.Prop("TreeViewStateImages", &E::TreeViewStateImages, &E::SetTreeViewStateImages);
    p.Prop("OnCustomDraw", &E::TreeViewOnCustomDraw, &E::SetTreeViewOnCustomDraw);
    p.Field("OnCloseUp", &E::OnCloseUp);
    p.Field("OnDropDown", &E::OnDropDown);
    p.Field("OnGetImageIndex", &E::OnGetImageIndex);
    p.Field("OnGetSelectedIndex", &E::OnGetSelectedIndex);
  });
  RegisterProps<TCustomkxLookupTreeView>([](TPropBuilder<TCustomkxLookupTreeView>& p) {
    using L = TCustomkxLookupTreeView;
    p.Prop("DisplayField", &L::DisplayField, &L::SetDisplayField);
    p.Prop("DividedChar", &L::DividedChar, &L::SetDividedChar).Default('.');
    p.Prop("ImageIndexField", &L::ImageIndexField, &L::SetImageIndexField);
    p.Prop("ListSource", &L::ListSource, &L::SetListSource);
    p.Prop("KeyField", &L::KeyField, &L::SetKeyField);
    p.Prop("ListField", &L::ListField, &L::SetListField);
    p.Prop("ParentField", &L::ParentField, &L::SetParentField);
    p.Prop("StateIndexField", &L::StateIndexField, &L::SetStateIndexField);
    p.Prop("TextStyle", &L::TextStyle, &L::SetTextStyle).Default(tvtsShort);
    p.Field("OnSetDisplayItemText", &L::OnSetDisplayItemText);
    p.Prop("Options", &L::Options, &L::SetOptions).Default(kxDBTreeViewDefaultOptions);
    p.Prop("RootValue", &L::RootValue, &L::SetRootValue)
        .Stored([](TObject* o) { return !static_cast<L*>(o)->RootValue().IsNull(); });
    p.Prop("OnAddNewItem", &L::OnAddNewItem, &L::SetOnAddNewItem);
  });
  RegisterProps<TkxLookupTreeView>([](TPropBuilder<TkxLookupTreeView>& p) {
    p.Prop("Alignment", &TkxLookupTreeView::Alignment, &TkxLookupTreeView::SetAlignment).Default(taLeftJustify);
  });
  RegisterProps<TkxDBLookupTreeView>([](TPropBuilder<TkxDBLookupTreeView>& p) {
    using D = TkxDBLookupTreeView;
    p.Prop("AssignField", &D::AssignField, &D::SetAssignField);
    p.Prop("DataField", &D::DataField, &D::SetDataField);
    p.Prop("DataSource", &D::DataSource, &D::SetDataSource);
    p.Prop("ReadOnly", &D::ReadOnly, &D::SetReadOnly).Default(false);
  });
}
