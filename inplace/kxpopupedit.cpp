#include "inplace/kxpopupedit.h"

#include <algorithm>

#include "platform/win/system.h"
#include "treechart/dropdownhelpers.h"

namespace {
std::vector<TkxPopupEditForm*>* gFormList = nullptr;

std::vector<TkxPopupEditForm*>& FormList() {
  if (!gFormList) gFormList = new std::vector<TkxPopupEditForm*>();
  return *gFormList;
}

void Unregister(TkxPopupEditForm* F) {
  if (!gFormList) return;
  auto& l = *gFormList;
  l.erase(std::remove(l.begin(), l.end(), F), l.end());
}

bool Registered(TkxPopupEditForm* F) {
  return gFormList && std::find(gFormList->begin(), gFormList->end(), F) != gFormList->end();
}

// The sizing codes that belong to a grip corner (0 top-left .. 3 bottom-right).
bool SizingOfCorner(int Hit, Byte Corner) {
  switch (Corner) {
    case 0: return Hit == HTLEFT || Hit == HTTOP || Hit == HTTOPLEFT;
    case 1: return Hit == HTRIGHT || Hit == HTTOP || Hit == HTTOPRIGHT;
    case 2: return Hit == HTLEFT || Hit == HTBOTTOM || Hit == HTBOTTOMLEFT;
    default: return Hit == HTRIGHT || Hit == HTBOTTOM || Hit == HTBOTTOMRIGHT;
  }
}

bool SizingEdgeOfCorner(int Edge, Byte Corner) {
  switch (Corner) {
    case 0: return Edge == WMSZ_LEFT || Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT;
    case 1: return Edge == WMSZ_RIGHT || Edge == WMSZ_TOP || Edge == WMSZ_TOPRIGHT;
    case 2: return Edge == WMSZ_LEFT || Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT;
    default: return Edge == WMSZ_RIGHT || Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMRIGHT;
  }
}

bool IsSizingHit(int Hit) { return Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT; }
}  // namespace

const std::vector<TkxPopupEditForm*>& kxPopupEditFormList() { return FormList(); }

int kxPopupFormBorderHitTest(const TRect& W, const TPoint& P) {
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  auto in = [&](int l, int t, int r, int b) { return P.x >= l && P.x < r && P.y >= t && P.y < b; };
  if (in(W.left, W.top, W.left + cx, W.top + cy)) return HTTOPLEFT;
  if (in(W.right - cx, W.top, W.right, W.top + cy)) return HTTOPRIGHT;
  if (in(W.left, W.top, W.right, W.top + cy)) return HTTOP;
  if (in(W.right - cx, W.bottom - cy, W.right, W.bottom)) return HTBOTTOMRIGHT;
  if (in(W.right - cx, W.top, W.right, W.bottom)) return HTRIGHT;
  if (in(W.left, W.bottom - cy, W.left + cx, W.bottom)) return HTBOTTOMLEFT;
  if (in(W.left, W.bottom - cy, W.right, W.bottom)) return HTBOTTOM;
  if (in(W.left, W.top, W.left + cx, W.bottom)) return HTLEFT;
  return HTNOWHERE;
}

// ---- TkxPopupEditForm ----

TkxPopupEditForm::TkxPopupEditForm() : TCustomForm(nullptr, 0) {
  FBorderStyle = bsDialog;
  FVisible = false;
}

TkxPopupEditForm::~TkxPopupEditForm() { Unregister(this); }

void TkxPopupEditForm::SetEditor(TkxInplacePopupEdit* Value) {
  if (FEditor == Value) return;
  if (FEditor) FEditor->RemoveFreeNotification(this);
  FEditor = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxPopupEditForm::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FEditor) FEditor = nullptr;
}

void TkxPopupEditForm::SetClientEdge(bool Value) {
  if (FClientEdge == Value) return;
  FClientEdge = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxPopupEditForm::SetFlatBorder(bool Value) {
  if (FFlatBorder == Value) return;
  FFlatBorder = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxPopupEditForm::SetSizeable(bool Value) {
  if (FSizeable == Value) return;
  FSizeable = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxPopupEditForm::SetPopupBorderStyle(TkxPopupEditFormBorderStyle Value) {
  if (FPopupBorderStyle == Value) return;
  FPopupBorderStyle = Value;
  SetBorderStyle(Value == pbsDialog || Value == pbsDialogHelp ? bsDialog : bsNone);
  TBorderIcons icons = BorderIcons();
  if (Value == pbsDialogHelp) icons << biHelp;
  else icons >> biHelp;
  SetBorderIcons(icons);
  if (HandleAllocated()) RecreateWnd();
}

void TkxPopupEditForm::ComputeBar() {
  FBarHeight = FSeparatorHeight = 0;
  if (FPopupBorderStyle != pbsSysPanel) return;
  FBarHeight = std::max(GetSystemMetrics(SM_CYHSCROLL) + 2, kxPopupNCBarHeight() - 1);
  if (FFlatBorder && !FClientEdge) {
    FSeparatorHeight = 1;
    ++FBarHeight;
  }
}

int TkxPopupEditForm::ClientEdgeWidth() const { return FClientEdge ? (FFlatBorder ? 3 : 2) : 0; }

void TkxPopupEditForm::CreateParams(TCreateParams& Params) {
  TCustomForm::CreateParams(Params);
  if (FPopupBorderStyle == pbsDialog || FPopupBorderStyle == pbsDialogHelp) {
    if (FClientEdge) Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FSizeable) Params.Style |= WS_THICKFRAME;
  } else {
    Params.Style = (Params.Style & ~DWORD(WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME)) | WS_POPUP;
    if (FClientEdge && FFlatBorder) {
      // the frame is painted
    } else if (FFlatBorder) {
      Params.Style |= WS_BORDER;
    } else {
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      Params.Style |= WS_THICKFRAME;
    }
  }
  Params.WindowClass.style |= CS_SAVEBITS;
  if (FEditor)
    if (TCustomForm* f = GetParentForm(FEditor))
      if (f->HandleAllocated()) Params.WndParent = f->Handle();
  ComputeBar();
}

void TkxPopupEditForm::WMNCCalcSize(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if (FPopupBorderStyle != pbsSimple && FPopupBorderStyle != pbsSysPanel) return;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  RECT* r = Message.WParam ? &params->rgrc[0] : reinterpret_cast<RECT*>(Message.LParam);
  if (!r) return;
  int ce = ClientEdgeWidth();
  InflateRect(r, -ce, -ce);
  if (FPopupBorderStyle == pbsSysPanel) {
    if (SizeGripCorner >= 2) r->bottom -= FBarHeight;
    else r->top += FBarHeight;
  }
  if (r->bottom < r->top) r->bottom = r->top;
}

void TkxPopupEditForm::WMNCPaint(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if ((FPopupBorderStyle != pbsSimple && FPopupBorderStyle != pbsSysPanel) || !HandleAllocated()) return;
  HWND h = Handle();
  RECT wr;
  GetWindowRect(h, &wr);
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  POINT origin{0, 0};
  ::ClientToScreen(h, &origin);
  const int ce = ClientEdgeWidth();
  const int b = origin.x - wr.left - ce;
  HDC dc = GetWindowDC(h);
  if (!dc) return;
  TRect all = kxRect(0, 0, W, H);
  TRect r = kxRect(b, b, W - b, H - b);
  FCloseButtonRect = FGripRect = TRect(wr);
  const bool bottomBar = SizeGripCorner >= 2;
  auto lessBar = [&](TRect x) {
    if (FPopupBorderStyle == pbsSysPanel) {
      if (bottomBar) x.bottom -= FBarHeight;
      else x.top += FBarHeight;
    }
    return x;
  };
  if (FClientEdge) {
    if (FFlatBorder) {
      RECT a = all;
      DrawEdge(dc, &a, EDGE_RAISED, BF_RECT);
      TRect in = all;
      InflateRect(&in, -2, -2);
      in = lessBar(in);
      DrawEdge(dc, &in, BDR_SUNKENOUTER, BF_RECT);
    } else {
      TRect in = r;
      InflateRect(&in, 2, 2);
      in = lessBar(in);
      DrawEdge(dc, &in, EDGE_SUNKEN, BF_RECT);
    }
  }
  if (FPopupBorderStyle == pbsSysPanel) {
    if (FClientEdge) {
      int d = FFlatBorder ? 1 : 2;
      InflateRect(&r, d, 0);
      OffsetRect(&r, 0, bottomBar ? d : -d);
    }
    TRect bar = bottomBar ? kxRect(r.left, r.bottom - FBarHeight, r.right, r.bottom)
                          : kxRect(r.left, r.top, r.right, r.top + FBarHeight);
    if (FSeparatorHeight) {
      TRect sep = bottomBar ? kxRect(bar.left, bar.top, bar.right, bar.top + FSeparatorHeight)
                            : kxRect(bar.left, bar.bottom - FSeparatorHeight, bar.right, bar.bottom);
      if (!(FFlatBorder && FClientEdge)) FillRect(dc, &sep, GetSysColorBrush(FFlatBorder ? COLOR_WINDOWFRAME : COLOR_BTNFACE));
      if (bottomBar) bar.top += FSeparatorHeight;
      else bar.bottom -= FSeparatorHeight;
    }
    FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
    const int shift = FFlatBorder ? 0 : 1;
    if (FSizeable) {
      TRect grip = bar;
      OffsetRect(&grip, (SizeGripCorner & 1) ? shift : -shift, bottomBar ? shift : -shift);
      kxPaintSizeGrip(dc, grip, SizeGripCorner);
      InflateRect(&grip, 2, 2);
      grip.top = std::max(grip.top, bar.top);
      grip.bottom = std::min(grip.bottom, bar.bottom);
      FGripRect = grip;
      OffsetRect(&FGripRect, wr.left, wr.top);
    }
    TRect close = bar;
    OffsetRect(&close, (SizeGripCorner & 1) ? -shift : shift, bottomBar ? shift : -shift);
    kxDrawPopupCloseButton(dc, close, FCloseButtonHot || FCloseButtonPressed, SizeGripCorner,
                           FCloseButtonHot && FCloseButtonPressed ? 1 : 0);
    FCloseButtonRect = close;
    OffsetRect(&FCloseButtonRect, wr.left, wr.top);
  }
  ReleaseDC(h, dc);
}

void TkxPopupEditForm::WMNCHitTest(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  int hit = int(Message.Result);
  TPoint p = kxPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  RECT wr;
  GetWindowRect(Handle(), &wr);
  if (FSizeable && (hit == HTNOWHERE || hit == HTBORDER)) hit = kxPopupFormBorderHitTest(TRect(wr), p);
  if (IsSizingHit(hit) && (!FSizeable || !SizingOfCorner(hit, SizeGripCorner))) hit = HTNOWHERE;
  if (FPopupBorderStyle == pbsSysPanel) {
    if (FSizeable && PtInRect(&FGripRect, p)) {
      hit = kxCornerToHitTest(SizeGripCorner);
    } else {
      bool hot = (!GetCapture() || FCloseButtonPressed) && PtInRect(&FCloseButtonRect, p);
      if (hot) hit = HTBORDER;
      if (hot != FCloseButtonHot) {
        FCloseButtonHot = hot;
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      }
    }
  }
  Message.Result = hit;
}

void TkxPopupEditForm::WMNCLButtonDown(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if (FCloseButtonHot) {
    FCloseButtonPressed = true;
    SetCapture(Handle());
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

void TkxPopupEditForm::WMLButtonUp(TWMMouse& Message) {
  if (FCloseButtonPressed) {
    FCloseButtonPressed = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    POINT p;
    GetCursorPos(&p);
    bool still = PtInRect(&FCloseButtonRect, p) != 0;
    if (still) PostMessageA(Handle(), WM_CLOSE, 0, 0);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return;
  }
  TCustomForm::Dispatch(Message);
}

void TkxPopupEditForm::WMCaptureChanged(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if (FCloseButtonPressed) {
    FCloseButtonPressed = FCloseButtonHot = false;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

void TkxPopupEditForm::CMMouseLeave(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  if (FCloseButtonHot) {
    FCloseButtonHot = false;
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

void TkxPopupEditForm::WMSizing(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  auto* r = reinterpret_cast<RECT*>(Message.LParam);
  if (!r) return;
  if (!(FSizeable && SizingEdgeOfCorner(int(Message.WParam), SizeGripCorner))) *r = BoundsRect();
  Message.Result = TRUE;
}

void TkxPopupEditForm::WMGetMinMaxInfo2(TMessage& Message) {
  if (auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam)) {
    info->ptMinTrackSize.x = MinWidth;
    info->ptMinTrackSize.y = MinHeight;
  }
  TCustomForm::Dispatch(Message);
}

void TkxPopupEditForm::WMClose2(TMessage& Message) {
  if (FEditor && !FEditor->DoCloseQuery(this)) return;
  TCustomForm::Dispatch(Message);
}

void TkxPopupEditForm::WMQueryEndSession(TMessage& Message) {
  Message.Result = !FEditor || FEditor->DoCloseQuery(this) ? TRUE : FALSE;
}

void TkxPopupEditForm::WMSysCommand2(TMessage& Message) {
  if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.WParam == SC_KEYMENU) {
    Message.Result = 0;
    return;
  }
  TCustomForm::Dispatch(Message);
}

void TkxPopupEditForm::WMSysKeyDown(TWMKey& Message) {
  if (Message.CharCode() == VK_RETURN || Message.CharCode() == VK_MENU) {
    Message.Result = 0;
    return;
  }
  TCustomForm::Dispatch(Message);
}

void TkxPopupEditForm::WMActivate2(TMessage& Message) {
  TCustomForm::Dispatch(Message);
  const bool active = LOWORD(Message.WParam) != WA_INACTIVE;
  for (TkxPopupEditForm* f : std::vector<TkxPopupEditForm*>(FormList())) {
    if (!Registered(f) || !f->FEditor) continue;
    if (TCustomForm* pf = GetParentForm(f->FEditor))
      if (pf->HandleAllocated()) SendMessageA(pf->Handle(), WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    if (TCustomkxContainer* c = f->FEditor->Container()) c->EditorFocusChanged();
  }
}

void TkxPopupEditForm::Deactivate() {
  TCustomForm::Deactivate();
  HWND now = GetActiveWindow();
  for (TkxPopupEditForm* f : FormList())
    if (f->HandleAllocated() && f->Handle() == now) return;  // activation stays in the family
  std::vector<TkxPopupEditForm*> forms = FormList();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if (Registered(*it) && (*it)->HandleAllocated() && IsWindowEnabled((*it)->Handle())) (*it)->ClosePopup(false);
  if (!FormList().empty() && Registered(this)) ClosePopup(false);
}

bool TkxPopupEditForm::IsPopupFormNestedIn(TkxPopupEditForm* Form) {
  for (TkxPopupEditForm* f = this; f && f->FEditor;) {
    auto* parent = dynamic_cast<TkxPopupEditForm*>(GetParentForm(f->FEditor));
    if (!parent) return false;
    if (parent == Form) return true;
    f = parent;
  }
  return false;
}

bool TkxPopupEditForm::IsPopupFormFocused() {
  if (Active()) return true;
  const auto& l = FormList();
  for (auto it = l.rbegin(); it != l.rend(); ++it)
    if ((*it)->Active()) return (*it)->IsPopupFormNestedIn(this);
  return false;
}

void TkxPopupEditForm::ShowPopup() {
  FormList().push_back(this);
  if (FEditor) FEditor->FreeNotification(this);
  Show();
  SetModalResult(0);
  while (Visible() && FEditor && Application && !Application->Terminated()) {
    MSG m;
    for (UINT range : {0u, 1u}) {
      UINT lo = range == 0 ? WM_NCLBUTTONDOWN : WM_LBUTTONDOWN;
      UINT hi = range == 0 ? WM_NCLBUTTONDBLCLK : WM_LBUTTONDBLCLK;
      if (!PeekMessageA(&m, nullptr, lo, hi, PM_NOREMOVE)) continue;
      if (m.message == WM_NCLBUTTONUP || m.message == WM_LBUTTONUP) continue;
      TkxInplacePopupEdit* target = FEditor;
      const auto& l = FormList();
      for (auto it = l.rbegin(); it != l.rend(); ++it)
        if ((*it)->FEditor && (*it)->FEditor->HandleAllocated() && (*it)->FEditor->Handle() == m.hwnd) {
          target = (*it)->FEditor;
          break;
        }
      // The click that leaves the pop-up on its own button does not open it again.
      if (target && target->HandleAllocated() && m.hwnd == target->Handle() && target->PopupShowing() &&
          (target->HotButton() != -1 || target->ClickToPopup))
        PeekMessageA(&m, m.hwnd, m.message, m.message, PM_REMOVE);
    }
    if (PeekMessageA(&m, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) && m.wParam == VK_RETURN)
      PeekMessageA(&m, m.hwnd, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (!Application->Active()) ClosePopup(false);
    else if (ModalResult() != 0) ClosePopup(ModalResult() == mrOk);
    if (!Visible() || !FEditor) break;
    Application->HandleMessage();
  }
  Unregister(this);
}

void TkxPopupEditForm::ClosePopup(bool Accept) {
  if (FClosing) return;
  FClosing = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{FClosing};
  if (Accept && FEditor && !FEditor->DoCloseQuery(this)) {
    SetModalResult(0);
    return;
  }
  // Inner pop-ups first, newest first.
  std::vector<TkxPopupEditForm*> forms = FormList();
  auto self = std::find(forms.begin(), forms.end(), this);
  if (self != forms.end())
    for (auto it = forms.rbegin(); it != forms.rend() && *it != this; ++it)
      if (Registered(*it) && (*it)->HandleAllocated() && IsWindowEnabled((*it)->Handle())) (*it)->ClosePopup(false);
  if (FEditor) {
    AnsiString text = FEditor->GetMaskText();
    FEditor->DoFormCloseUp(this, text, Accept);
    if (Accept && FEditor->IsEditable() && text != FEditor->GetMaskText() && FEditor->CanModify()) {
      FEditor->SetMaskText(text);
      FEditor->SetModified(true);
    }
  }
  TCustomForm::Hide();
  Unregister(this);
}

// ---- TkxInplacePopupEdit ----

KX_EDIT_CLASS_IMPL(TkxInplacePopupEdit)

TkxInplacePopupEdit::TkxInplacePopupEdit(TComponent* AOwner) : TkxInplaceDropDownEdit(AOwner) {
  FRouteKeysToPopup = false;
}

TkxInplacePopupEdit::~TkxInplacePopupEdit() {
  if (FForm) {
    if (FForm->Visible()) FForm->ClosePopup(false);
    FForm->SetEditor(nullptr);
    delete FForm;
    FForm = nullptr;
  }
}

void TkxInplacePopupEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TkxInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupControl) FPopupControl = nullptr;
  if (AComponent == FSavedControl) FSavedControl = nullptr;
  if (AComponent == FSavedParent) FSavedParent = nullptr;
}

void TkxInplacePopupEdit::SetHideEditCursor(bool Value) {
  if (FHideEditCursor == Value) return;
  FHideEditCursor = Value;
  ClickToPopup = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplacePopupEdit::SetPopupControl(TControl* Value) {
  FPopupControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxInplacePopupEdit::SetPopupHeight(int Value) {
  Value = std::max(Value, FPopupMinHeight);
  FPopupHeight = Value;
}

void TkxInplacePopupEdit::SetPopupWidth(int Value) {
  Value = std::max(Value, FPopupMinWidth);
  FPopupWidth = Value;
}

void TkxInplacePopupEdit::SetPopupMinHeight(int Value) {
  FPopupMinHeight = std::max(0, Value);
  SetPopupHeight(FPopupHeight);
}

void TkxInplacePopupEdit::SetPopupMinWidth(int Value) {
  FPopupMinWidth = std::max(0, Value);
  SetPopupWidth(FPopupWidth);
}

bool TkxInplacePopupEdit::IsFocused() {
  return TkxInplaceDropDownEdit::IsFocused() || (FShowing && FForm && FForm->IsPopupFormFocused());
}

void TkxInplacePopupEdit::DropDown() {
  if (HandleAllocated()) PostMessageA(Handle(), KXM_SHOWPOPUPFORM, 0, 0);
}

void TkxInplacePopupEdit::KXMShowPopupForm(TMessage&) { ShowPopupForm(); }

void TkxInplacePopupEdit::Hide() {
  if (FShowing && FForm && FForm->Visible()) FForm->ClosePopup(false);
  TkxInplaceDropDownEdit::Hide();
}

bool TkxInplacePopupEdit::DoCloseQuery(TkxPopupEditForm*) {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TkxInplacePopupEdit::DoFormCloseUp(TkxPopupEditForm* Form, AnsiString& Text, bool& Accept) {
  SetPopupHeight(Form->Height());
  SetPopupWidth(Form->Width());
  if (OnCloseUp) OnCloseUp(this, Text, Accept);
}

void TkxInplacePopupEdit::DoInitPopup() {
  if (OnInitPopup) OnInitPopup(this);
}

void TkxInplacePopupEdit::DoPopup(TkxPopupEditForm*) {
  if (OnPopup) OnPopup(this, GetMaskText());
}

void TkxInplacePopupEdit::ShowPopupForm() {
  if (FShowing || !HandleAllocated()) return;
  ::SetFocus(Handle());
  if (GetFocus() != Handle()) return;
  DoEditButtonClick();
  if (!FForm) FForm = new TkxPopupEditForm();
  FForm->SetEditor(this);
  FCurrentPopup = FForm;
  InitPopupForm(FForm);
  FPopupShown = false;
  FShowing = true;
  try {
    FForm->ShowPopup();
  } catch (...) {
    FShowing = false;
    RestorePopupControl();
    FCurrentPopup = nullptr;
    throw;
  }
  FShowing = false;
  RestorePopupControl();
  FCurrentPopup = nullptr;
}

void TkxInplacePopupEdit::InitPopupForm(TkxPopupEditForm* Form) {
  DoInitPopup();
  if (FPopupControl) {
    bool circular = FPopupControl == this || FPopupControl == Form;
    for (TWinControl* p = Parent(); p && !circular; p = p->Parent())
      if (p == FPopupControl) circular = true;
    if (circular) throw Exception("Circular referencing is not allowed");
  }
  Form->SetPopupBorderStyle(pbsDialog);
  Form->SetBorderStyle(bsDialog);
  Form->SetClientEdge(false);
  Form->SetFlatBorder(true);
  Form->SetSizeable(true);
  Form->MinHeight = 100;
  Form->MinWidth = 100;
  Form->SetPopupBorderStyle(PopupFormBorderStyle);
  Form->SetClientEdge(PopupFormClientEdge);
  Form->SetFlatBorder(PopupFormFlatBorder);
  Form->SetSizeable(PopupFormSizeable);
  Form->SetCaption(PopupFormCaption);
  Form->MinHeight = FPopupMinHeight;
  Form->MinWidth = FPopupMinWidth;
  if (FPopupControl) {
    FSavedControl = FPopupControl;
    FSavedControl->FreeNotification(this);
    FSavedAlign = FPopupControl->Align();
    FSavedBounds = FPopupControl->BoundsRect();
    FSavedParent = FPopupControl->Parent();
    if (FSavedParent) FSavedParent->FreeNotification(this);
    FSavedVisible = FPopupControl->Visible();
    FPopupControl->SetVisible(false);
    FSavedIsForm = false;
    if (auto* f = dynamic_cast<TCustomForm*>(FPopupControl)) {
      FSavedIsForm = true;
      FSavedBorderStyle = f->BorderStyle();
      f->SetBorderStyle(bsNone);
    }
    FPopupControl->SetLeft(0);
    FPopupControl->SetTop(0);
    if (PopupAutoSize) Form->SetClientSize(FPopupControl->Width(), FPopupControl->Height());
    else Form->SetBounds(Form->Left(), Form->Top(), FPopupWidth, FPopupHeight);
    FPopupControl->SetAlign(alClient);
    FPopupControl->SetParent(Form);
    FPopupControl->SetVisible(true);
  } else if (!PopupAutoSize) {
    Form->SetBounds(Form->Left(), Form->Top(), FPopupWidth, FPopupHeight);
  }
  SetPopupFormPosition(Form);
  // The drop-down placement keeps the side chosen above: a form right-aligned
  // with the editor stays so.
  TAlignment alignment = PopupAlignment;
  if (Form->SizeGripCorner == 0 || Form->SizeGripCorner == 2) PopupAlignment = taRightJustify;
  PositionPopup(Form, false);
  PopupAlignment = alignment;
  if (Form->HandleAllocated()) Form->RecreateWnd();
  DoPopup(Form);
}

void TkxInplacePopupEdit::SetPopupFormPosition(TkxPopupEditForm* Form) {
  RECT e;
  GetWindowRect(Handle(), &e);
  TRect r = kxRect(e.left, e.top + Height(), e.left + Form->Width(), e.top + Height() + Form->Height());
  bool below = true, leftAligned = true;
  TRect w;
  kxGetMonitorWorkArea(kxPoint(r.left, r.top), w);
  if (Form->Width() > Width() && w.right < r.right && std::abs(w.right - e.left) < std::abs(w.left - e.right)) {
    OffsetRect(&r, e.right - r.right, 0);
    leftAligned = false;
  }
  if (w.bottom < r.bottom && std::abs(w.bottom - e.bottom) < std::abs(e.top - w.top)) {
    OffsetRect(&r, 0, -(r.Height() + Height()));
    below = false;
  }
  Form->SizeGripCorner = below ? (leftAligned ? 3 : 2) : (leftAligned ? 1 : 0);
  Form->SetLeft(r.left);
  Form->SetTop(r.top);
}

void TkxInplacePopupEdit::RestorePopupControl() {
  if (!FSavedControl) return;
  TControl* c = FSavedControl;
  FSavedControl = nullptr;
  if (FSavedIsForm)
    if (auto* f = dynamic_cast<TCustomForm*>(c)) f->SetBorderStyle(FSavedBorderStyle);
  c->SetAlign(FSavedAlign);
  c->SetBoundsRect(FSavedBounds);
  c->SetVisible(FSavedVisible);
  c->SetParent(FSavedParent);
  FSavedParent = nullptr;
}

void kxInitPopupEdit() { RegisterClasses({TkxInplacePopupEdit::StaticClass()}); }

void kxDonePopupEdit() {
  delete gFormList;
  gFormList = nullptr;
}
