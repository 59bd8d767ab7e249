#include "inplace/kxblob.h"

#include <memory>

#include "inplace/kxresources.h"
#include "platform/controls/dialogs.h"
#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/variants.h"
#include "treechart/dropdownhelpers.h"

KX_EDIT_CLASS_IMPL(TkxInplaceBlobEdit)

namespace {

// Tags of the memo menu's items; the picture menu uses the command indexes 0..5.
enum { kBlobUndo = 100, kBlobRedo, kBlobCut, kBlobCopy, kBlobPaste, kBlobDelete, kBlobSelectAll };

const int kPanelCaptionIds[3] = {0, 1, 2};  // kxPopupButtonCaptions: "&OK", "&Cancel", "&Close"

// The accelerator letter of a caption ("&Cancel": 'C').
char Accelerator(const AnsiString& Caption) {
  const std::size_t i = Caption.find('&');
  return i != AnsiString::npos && i + 1 < Caption.size() ? char(toupper(static_cast<unsigned char>(Caption[i + 1]))) : 0;
}

TMenuItem* AddBlobItem(TPopupMenu* Menu, const AnsiString& Caption, int Tag, int Image, TShortCut Shortcut,
                       const TNotifyEvent& Click) {
  auto* item = new TMenuItem(Menu);
  item->SetCaption(Caption);
  item->SetTag(Tag);
  if (Image >= 0) item->SetImageIndex(Image);
  if (Shortcut) item->SetShortCut(Shortcut);
  if (Caption != "-") item->OnClick = Click;
  Menu->Items()->Add(item);
  return item;
}

}  // namespace

int kxBlobIconIndex(TkxBlobEditKind Kind, bool Empty) {
  int i = 1;
  switch (Kind) {
    case bekMemo: i = 3; break;
    case bekPict: i = 5; break;
    case bekOle: i = 7; break;
    case bekBlob: i = 1; break;
  }
  return Empty ? i - 1 : i;
}

// ---- TCustomkxBlobPopup ----

TCustomkxBlobPopup::TCustomkxBlobPopup(TComponent* AOwner) : TkxInplacePopupControl(AOwner) {
  FControlStyle << csCaptureMouse << csClickEvents;
  FVisible = false;
  FIsPopup = true;
  SetBounds(0, 0, 185, 89);
  FTabStop = true;
  FParentColor = false;
  ClipFormat = CF_PICTURE;
}

TCustomkxBlobPopup::~TCustomkxBlobPopup() {
  delete FMenu;
  delete FPicture;
  delete FTransparentBitmap;
}

TPicture* TCustomkxBlobPopup::Picture() {
  if (!FPicture) {
    FPicture = new TPicture();
    FPicture->OnChange = TNotifyEvent(this, &TCustomkxBlobPopup::PictureChanged);
  }
  return FPicture;
}

void TCustomkxBlobPopup::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (HandleAllocated() && IsMemo()) SendMessageA(Handle(), EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

void TCustomkxBlobPopup::SetModified(bool Value) {
  if (FModified == Value) return;
  FModified = Value;
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

AnsiString TCustomkxBlobPopup::MemoText() { return HandleAllocated() ? Text() : FPendingText; }

void TCustomkxBlobPopup::SetMemoText(const AnsiString& Value) {
  FPendingText = Value;
  if (HandleAllocated() && IsMemo()) {
    const bool old = FCreating;
    FCreating = true;
    SetWindowTextA(Handle(), Value.c_str());
    FCreating = old;
    SendMessageA(Handle(), EM_SETMODIFY, FALSE, 0);
  }
}

void TCustomkxBlobPopup::SetTextLimit(int Limit) {
  if (HandleAllocated() && IsMemo()) SendMessageA(Handle(), EM_EXLIMITTEXT, 0, LPARAM(Limit));
}

int TCustomkxBlobPopup::BorderWidth() const {
  switch (FPopupBorderStyle) {
    case pbFrame3D: return 4;
    case pbFlat: return 2;
    default: return 1;
  }
}

void TCustomkxBlobPopup::CreateParams(TCreateParams& Params) {
  TkxInplacePopupControl::CreateParams(Params);
  if (IsMemo()) {
    CreateSubClass(Params, "RichEdit20A");
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
    if (WordWrap) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (CharCase == TEditCharCase::ecUpperCase) Params.Style |= ES_UPPERCASE;
    else if (CharCase == TEditCharCase::ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (OEMConvert) Params.Style |= ES_OEMCONVERT;
    if (!HideScrollBars) Params.Style |= ES_DISABLENOSCROLL;
    Params.WinClassName = AnsiString(ClassName()) + "Memo";
  } else {
    Params.WinClassName = AnsiString(ClassName()) + "Pict";
  }
  if (ScrollBars == ssHorizontal || ScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (ScrollBars == ssVertical || ScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (!IsMemo()) Params.Style &= ~DWORD(WS_HSCROLL | WS_VSCROLL);
  Params.Style = (Params.Style & ~DWORD(WS_CHILD | WS_BORDER)) | WS_POPUP;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TCustomkxBlobPopup::CreateWnd() {
  FCreating = true;
  try {
    TkxInplacePopupControl::CreateWnd();
    if (IsMemo()) {
      SendMessageA(Handle(), WM_SETTEXT, 0, 0);
      SendMessageA(Handle(), EM_SETTEXTMODE, TM_PLAINTEXT, 0);
      SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FPendingText.c_str()));
      SetTextLimit(MaxLength);
      SendMessageA(Handle(), EM_SETEVENTMASK, 0, LPARAM(ENM_CHANGE | ENM_SELCHANGE));
      if (SelectionBar) SendMessageA(Handle(), EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
      Perform(CM_COLORCHANGED, 0, 0);
      Perform(CM_FONTCHANGED, 0, 0);
      SendMessageA(Handle(), EM_SETMODIFY, FModified ? TRUE : FALSE, 0);
    }
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
}

void TCustomkxBlobPopup::DestroyWnd() {
  if (IsMemo() && HandleAllocated()) {
    FPendingText = Text();
    FKeepModified = SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
  }
  TkxInplacePopupControl::DestroyWnd();
}

void TCustomkxBlobPopup::CMColorChanged(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (HandleAllocated() && IsMemo()) SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, LPARAM(ColorToRGB(Color())));
}

void TCustomkxBlobPopup::CMFontChanged(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (!HandleAllocated() || !IsMemo()) return;
  CHARFORMATA cf;
  cf.cbSize = 84;
  cf.dwMask = CFM_COLOR;
  const TColor c = Font()->Color();
  cf.dwEffects = c == clWindowText || c == clDefault ? CFE_AUTOCOLOR : 0;
  cf.crTextColor = ColorToRGB(c);
  SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

void TCustomkxBlobPopup::DefaultHandler(TMessage& Message) { TkxInplacePopupControl::DefaultHandler(Message); }

void TCustomkxBlobPopup::WndProc(TMessage& Message) {
  // The memo window paints and erases itself.
  if (IsMemo() && (Message.Msg == WM_PAINT || Message.Msg == WM_ERASEBKGND)) {
    DefaultHandler(Message);
    return;
  }
  if (IsMemo() && (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN) && HandleAllocated() &&
      GetFocus() != Handle()) {
    TkxInplacePopupControl::WndProc(Message);
    if (GetCapture() == Handle()) ReleaseCapture();
    return;
  }
  TkxInplacePopupControl::WndProc(Message);
}

void TCustomkxBlobPopup::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == EN_CHANGE && IsMemo()) {
    ApplyCharCase();
    if (!FCreating) Changed();
  }
}

void TCustomkxBlobPopup::ApplyCharCase() {
  if (!HandleAllocated() || !IsMemo() || CharCase == TEditCharCase::ecNormal) return;
  const AnsiString t = Text();
  const AnsiString c = CharCase == TEditCharCase::ecUpperCase ? AnsiUpperCase(t) : AnsiLowerCase(t);
  if (c == t) return;
  CHARRANGE sel;
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  const bool old = FCreating;
  FCreating = true;
  SetWindowTextA(Handle(), c.c_str());
  FCreating = old;
  SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
}

void TCustomkxBlobPopup::Changed() {
  SetModified(IsMemo() ? (HandleAllocated() && SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0) || FModified
                       : true);
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TCustomkxBlobPopup::PictureChanged(TObject*) {
  if (GraphicTransparency != gtDefault && !kxIsPictureEmpty(FPicture)) {
    TGraphic* g = FPicture->Graphic();
    TNotifyEvent saved = g->OnChange;
    g->OnChange = TNotifyEvent();
    g->SetTransparent(GraphicTransparency == gtTransparent);
    g->OnChange = saved;
  }
  if (!FSettingTransparency) {
    FModified = true;
    Changed();
  }
  UpdatePictureScrollBars();
  if (HandleAllocated()) Invalidate();
}

// ---- metrics and placement ----

void TCustomkxBlobPopup::ComputePanelMetrics() {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  FMargin = FPopupBorderStyle == pbSingle || FPopupBorderStyle == pbFlat ? 2 : 4;
  FGripWidth = Sizeable ? GetSystemMetrics(SM_CXVSCROLL) : kxTextExtent(dc, "0").cx;
  const int wg = kxTextExtent(dc, "Wg").cy;
  FGap = wg / 3;
  FSpacing = kxTextExtent(dc, "0").cx;
  FButtonHeight = MulDiv(wg, 20, 13);
  FButtonWidth = 0;
  int count = 0;
  for (int b = bpbOk; b <= bpbClose; ++b)
    if (Buttons().Contains(TkxBlobPopupButton(b))) {
      FButtonWidth = std::max(FButtonWidth, int(kxTextExtent(dc, kxPopupButtonCaptions[kPanelCaptionIds[b]] + "00").cx));
      ++count;
    }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  FPanelHeight = 2 * FGap + FMargin + FButtonHeight;
  FMinWidth = 2 * FGripWidth + (FButtonWidth + FSpacing) * count + 2 * BorderWidth() - FSpacing + 2;
  FMinHeight = 3 * GetSystemMetrics(SM_CYHSCROLL) + FPanelHeight;
}

void TCustomkxBlobPopup::SetupPopupBounds(const TPoint& P, int W, int H) {
  FScrollX = FScrollY = 0;
  ComputePanelMetrics();
  bool below = true, leftAligned = true;
  RECT e{0, 0, 0, 0};
  if (FOwnerEdit && FOwnerEdit->HandleAllocated()) GetWindowRect(FOwnerEdit->Handle(), &e);
  TRect wa;
  kxGetMonitorWorkArea(P, wa);
  const int availH = std::max(wa.bottom - P.y, e.top - wa.top);
  const int availW = wa.Width();
  const int hExt = 2 * BorderWidth(), vExt = FPanelHeight + 2 * BorderWidth();
  W -= hExt;
  H -= vExt;
  if (!IsMemo() && AutoSize && !kxIsPictureEmpty(FPicture)) {
    const int pw = FPicture->Width(), ph = FPicture->Height();
    W = pw;
    H = ph;
    if (W + hExt > availW) {
      W = availW - hExt;
      H = ph * W / std::max(1, pw);
    }
    if (H + vExt > availH) {
      H = availH - vExt;
      W = pw * H / std::max(1, ph);
    }
  }
  const int width = std::min(std::max(W + hExt, FMinWidth), availW);
  const int height = std::min(std::max(H + vExt, FMinHeight), availH);
  TRect r = kxRect(P.x, P.y, P.x + width, P.y + height);
  if (width > e.right - e.left && wa.right < r.right && std::abs(wa.right - e.left) < std::abs(wa.left - e.right)) {
    OffsetRect(&r, e.right - r.right, 0);
    leftAligned = false;
  }
  if (wa.bottom < r.bottom && std::abs(wa.bottom - e.bottom) < std::abs(e.top - wa.top)) {
    OffsetRect(&r, 0, e.top - r.bottom);
    below = false;
  }
  FCorner = below ? (leftAligned ? 3 : 2) : (leftAligned ? 1 : 0);
  SetBounds(r.left, r.top, width, height);
  if (HandleAllocated()) RecreateWnd();
}

void TCustomkxBlobPopup::WMGetMinMaxInfo(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (auto* mmi = reinterpret_cast<MINMAXINFO*>(Message.LParam)) {
    mmi->ptMinTrackSize.x = FMinWidth;
    mmi->ptMinTrackSize.y = FMinHeight;
  }
}

// ---- non-client panel ----

TRect TCustomkxBlobPopup::PanelRect() {
  RECT wr{0, 0, 0, 0};
  GetWindowRect(Handle(), &wr);
  TRect r = kxRect(0, 0, wr.right - wr.left, wr.bottom - wr.top);
  if (FShadow) {
    r.right -= FShadowSize;
    r.bottom -= FShadowSize;
  }
  const int b = kxPopupBorderWidth(FPopupBorderStyle);
  InflateRect(&r, -b, -b);
  if (FCorner >= 2) r.top = r.bottom - FPanelHeight;
  else r.bottom = r.top + FPanelHeight;
  return r;
}

TRect TCustomkxBlobPopup::ButtonRect(TkxBlobPopupButton B, bool ForHitTest) {
  if (!Buttons().Contains(B) || !HandleAllocated()) return TRect{};
  TRect panel = PanelRect();
  const int sep = FPopupBorderStyle == pbSingle || FPopupBorderStyle == pbFlat ? 2 : 4;
  // Painted buttons sit in the panel less its separator; hit rectangles ignore the separator.
  if (FCorner < 2 && !ForHitTest) panel.bottom -= sep;
  int right = panel.right - FGripWidth;
  for (int b = bpbClose; b >= bpbOk; --b) {
    if (!Buttons().Contains(TkxBlobPopupButton(b))) continue;
    const int top = FCorner >= 2 ? panel.bottom - FGap - FButtonHeight : panel.top + FGap;
    const TRect r = kxRect(right - FButtonWidth, top, right, top + FButtonHeight);
    if (b == B) return r;
    right -= FButtonWidth + FSpacing;
  }
  return TRect{};
}

void TCustomkxBlobPopup::WMNCCalcSize2(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  RECT* r = Message.WParam ? &params->rgrc[0] : reinterpret_cast<RECT*>(Message.LParam);
  if (!r) return;
  if (FCorner >= 2) r->bottom -= FPanelHeight;
  else r->top += FPanelHeight;
}

void TCustomkxBlobPopup::PaintPanel(HDC DC) {
  TRect panel = PanelRect();
  const bool thin = FPopupBorderStyle == pbSingle || FPopupBorderStyle == pbFlat;
  const int sep = thin ? 2 : 4;
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  RECT all = panel;
  FillRect(DC, &all, face);
  // The separator on the client's side of the panel.
  RECT s = panel;
  if (FCorner >= 2) s.bottom = s.top + sep;
  else s.top = s.bottom - sep;
  if (thin) {
    RECT a = s;
    DrawEdge(DC, &a, BDR_RAISEDINNER, BF_TOP);
    a.top += 1;
    DrawEdge(DC, &a, BDR_SUNKENOUTER, BF_TOP);
  } else {
    RECT a = s;
    InflateRect(&a, 0, -1);
    DrawEdge(DC, &a, EDGE_ETCHED, BF_TOP);
  }
  HGDIOBJ oldFont = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  for (int b = bpbOk; b <= bpbClose; ++b) {
    const auto button = TkxBlobPopupButton(b);
    TRect r = ButtonRect(button, false);
    if (IsRectEmpty(&r)) continue;
    const bool pressed = FPressed == b && FPressedDrawn;
    RECT rr = r;
    if (thin) {
      DrawEdge(DC, &rr, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
      DrawFrameControl(DC, &rr, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }
    const bool enabled = b != bpbOk || OkEnabled();
    SetTextColor(DC, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
    RECT tr = r;
    if (pressed) OffsetRect(&tr, 1, 1);
    const AnsiString& caption = kxPopupButtonCaptions[kPanelCaptionIds[b]];
    DrawTextA(DC, caption.c_str(), int(caption.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(DC, oldFont);
  if (Sizeable) {
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    RECT g;
    g.left = FCorner == 1 || FCorner == 3 ? panel.right - cx : panel.left;
    g.right = g.left + cx;
    g.top = FCorner >= 2 ? panel.bottom - cy : panel.top;
    g.bottom = g.top + cy;
    kxPaintSizeGrip(DC, g, FCorner);
  }
}

void TCustomkxBlobPopup::WMNCPaint2(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (!HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    RECT cr;
    GetClientRect(Handle(), &cr);
    POINT o{0, 0};
    ::ClientToScreen(Handle(), &o);
    RECT wr;
    GetWindowRect(Handle(), &wr);
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    const int x = o.x - wr.left + cr.right, y = o.y - wr.top + cr.bottom;
    RECT corner{x, y, x + cx, y + cy};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  PaintPanel(dc);
  ReleaseDC(Handle(), dc);
}

void TCustomkxBlobPopup::WMNCHitTest(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (Message.Result == HTCLIENT || Message.Result == HTVSCROLL || Message.Result == HTHSCROLL) return;
  RECT wr{0, 0, 0, 0};
  GetWindowRect(Handle(), &wr);
  const TPoint p = kxPoint(GET_X_LPARAM(Message.LParam) - wr.left, GET_Y_LPARAM(Message.LParam) - wr.top);
  TRect w = kxRect(0, 0, wr.right - wr.left, wr.bottom - wr.top);
  if (FShadow) {
    w.right -= FShadowSize;
    w.bottom -= FShadowSize;
  }
  if (!PtInRect(&w, p)) {
    Message.Result = HTNOWHERE;
    return;
  }
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const bool rightSide = FCorner == 1 || FCorner == 3, bottomSide = FCorner >= 2;
  if (Sizeable && FPressed < 0) {
    const TRect grip = kxRect(rightSide ? w.right - cx : w.left, bottomSide ? w.bottom - cy : w.top,
                              rightSide ? w.right : w.left + cx, bottomSide ? w.bottom : w.top + cy);
    if (PtInRect(&grip, p)) {
      Message.Result = kxCornerToHitTest(FCorner);
      return;
    }
    const int fy = GetSystemMetrics(SM_CYDLGFRAME), fx = GetSystemMetrics(SM_CXDLGFRAME);
    if (bottomSide ? p.y >= w.bottom - fy : p.y < w.top + fy) {
      Message.Result = bottomSide ? HTBOTTOM : HTTOP;
      return;
    }
    if (rightSide ? p.x >= w.right - fx : p.x < w.left + fx) {
      Message.Result = rightSide ? HTRIGHT : HTLEFT;
      return;
    }
  }
  Message.Result = HTBORDER;
}

void TCustomkxBlobPopup::WMNCLButtonDown(TMessage& Message) {
  RECT wr{0, 0, 0, 0};
  GetWindowRect(Handle(), &wr);
  const TPoint p = kxPoint(GET_X_LPARAM(Message.LParam) - wr.left, GET_Y_LPARAM(Message.LParam) - wr.top);
  for (int b = bpbOk; b <= bpbClose; ++b) {
    TRect r = ButtonRect(TkxBlobPopupButton(b), true);
    if (IsRectEmpty(&r) || !PtInRect(&r, p) || (b == bpbOk && !OkEnabled())) continue;
    FPressed = b;
    FPressedDrawn = true;
    FTracking = true;
    SetCapture(Handle());
    SendMessageA(Handle(), WM_NCPAINT, 1, 0);
    return;
  }
  TkxInplacePopupControl::Dispatch(Message);
}

void TCustomkxBlobPopup::WMNCLButtonDblClk(TMessage& Message) {
  Message.Msg = WM_NCLBUTTONDOWN;
  WMNCLButtonDown(Message);
}

void TCustomkxBlobPopup::WMMouseMove(TWMMouse& Message) {
  if (FTracking && FPressed >= 0) {
    POINT sp{Message.XPos(), Message.YPos()};
    ::ClientToScreen(Handle(), &sp);
    RECT wr;
    GetWindowRect(Handle(), &wr);
    TRect r = ButtonRect(TkxBlobPopupButton(FPressed), true);
    const bool over = PtInRect(&r, kxPoint(sp.x - wr.left, sp.y - wr.top)) != 0;
    if (over != FPressedDrawn) {
      FPressedDrawn = over;
      SendMessageA(Handle(), WM_NCPAINT, 1, 0);
    }
    return;
  }
  TkxInplacePopupControl::Dispatch(Message);
}

void TCustomkxBlobPopup::WMLButtonUp(TWMMouse& Message) {
  if (FTracking) {
    const int b = FPressed;
    const bool click = FPressedDrawn;
    FTracking = false;
    FPressed = -1;
    FPressedDrawn = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    SendMessageA(Handle(), WM_NCPAINT, 1, 0);
    if (click && b >= 0) PanelButtonClick(b);
    return;
  }
  TkxInplacePopupControl::Dispatch(Message);
}

void TCustomkxBlobPopup::PanelButtonClick(int Index) {
  if (Index == bpbCancel || Index == bpbClose) {
    FSaved = true;
    ClosePopup();
  } else if (Index == bpbOk) {
    ClosePopup();
    SaveText();
  }
}

// ---- showing, closing, saving ----

void TCustomkxBlobPopup::ShowPopup() {
  TkxInplacePopupControl::ShowPopup();
  if (HandleAllocated()) ::SetFocus(Handle());
}

void TCustomkxBlobPopup::ClosePopup() {
  if (IsMemo() && HandleAllocated()) FSavedText = Text();
  const bool visible = HandleAllocated() && IsWindowVisible(Handle());
  if (visible) DoClosed();
  TkxInplacePopupControl::ClosePopup();
  if (AlwaysSave) SaveText();
}

void TCustomkxBlobPopup::DoClosed() {
  if (OnClosed) OnClosed(this);
}

void TCustomkxBlobPopup::SaveText() {
  if (!FSaved && FModified && OnSave) OnSave(this);
  FSaved = true;
}

// ---- keys ----

void TCustomkxBlobPopup::KeyDown(Word& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt), ctrl = Shift.Contains(ssCtrl);
  const bool shift = Shift.Contains(ssShift);
  if (Key == VK_TAB && !WantTabs) {
    ClosePopup();
    if (FOwnerEdit) FOwnerEdit->ContainerKeyHook(shift);
    if (HandleAllocated()) kxRemovePendingChar(Handle());
    Key = 0;
    return;
  }
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || Key == VK_F4) {
    ClosePopup();
    FModified = false;
    Key = 0;
    return;
  }
  const char cancelKey = Accelerator(kxPopupButtonCaptions[Buttons().Contains(bpbClose) ? 2 : 1]);
  const char okKey = Accelerator(kxPopupButtonCaptions[0]);
  if (Key == VK_ESCAPE || (alt && Key == Word(cancelKey))) {
    const bool accel = Key != VK_ESCAPE;
    FModified = false;
    PanelButtonClick(bpbCancel);
    if (accel) DestroyHandle();
    Key = 0;
    return;
  }
  if ((Key == VK_RETURN && (ctrl || !WantReturns || !IsMemo())) ||
      (alt && Key == Word(okKey) && Buttons().Contains(bpbOk))) {
    const bool accel = Key != VK_RETURN;
    if (HandleAllocated()) kxRemovePendingChar(Handle());
    PanelButtonClick(bpbOk);
    if (accel) DestroyHandle();
    Key = 0;
    return;
  }
  if (!IsMemo()) {
    if (shift && Key == VK_INSERT) PictureCommand(ptbPaste);
    else if (ctrl && Key == VK_INSERT) PictureCommand(ptbCopy);
    else if (shift && Key == VK_DELETE) PictureCommand(ptbCut);
    else if (Key == VK_HOME || Key == VK_END || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_LEFT ||
             Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) {
      const int bar = Key == VK_LEFT || Key == VK_RIGHT || (ctrl && (Key == VK_HOME || Key == VK_END)) ? SB_HORZ : SB_VERT;
      const int code = Key == VK_HOME ? SB_TOP : Key == VK_END ? SB_BOTTOM : Key == VK_PRIOR ? SB_PAGEUP
                       : Key == VK_NEXT ? SB_PAGEDOWN : (Key == VK_LEFT || Key == VK_UP) ? SB_LINEUP : SB_LINEDOWN;
      ScrollPicture(bar, code);
    }
  }
  TkxInplacePopupControl::KeyDown(Key, Shift);
}

void TCustomkxBlobPopup::KeyPress(char& Key) {
  if (Key == '\n' && Buttons().Contains(bpbOk)) Key = 0;
  if (Key == '\t' && !WantTabs) Key = 0;
  if (!IsMemo()) {
    if (Key == 3) PictureCommand(ptbCopy);
    else if (Key == 22) PictureCommand(ptbPaste);
    else if (Key == 24) PictureCommand(ptbCut);
    if (Key == 3 || Key == 22 || Key == 24) Key = 0;
  }
  TkxInplacePopupControl::KeyPress(Key);
}

void TCustomkxBlobPopup::WMGetDlgCode(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
  if (WantTabs) Message.Result |= DLGC_WANTTAB;
  else Message.Result &= ~LRESULT(DLGC_WANTTAB);
  if (!WantReturns) Message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

// ---- picture view ----

void TCustomkxBlobPopup::WMEraseBkgnd(TMessage& Message) {
  if (IsMemo()) TkxInplacePopupControl::Dispatch(Message);
  else Message.Result = 1;
}

void TCustomkxBlobPopup::Paint() {
  if (IsMemo()) return;
  HDC dc = Canvas()->Handle();
  const TRect cr = ClientRect();
  HBRUSH bg = CreateSolidBrush(ColorToRGB(Color()));
  if (kxIsPictureEmpty(FPicture)) {
    RECT r = cr;
    FillRect(dc, &r, bg);
  } else if (AutoSize) {
    if (!FTransparentBitmap) FTransparentBitmap = new TBitmap();
    kxDrawCellPicture(dc, cr, FPicture, true, false, bg, FTransparentBitmap);
  } else {
    const TRect r = kxRect(-FScrollX, -FScrollY, -FScrollX + FPicture->Width(), -FScrollY + FPicture->Height());
    if (!FTransparentBitmap) FTransparentBitmap = new TBitmap();
    // At its size, shifted by the scroll position; the rest filled.
    const int saved = SaveDC(dc);
    kxDrawCellPicture(dc, kxRect(r.left, r.top, std::max(r.right, int(cr.right)), std::max(r.bottom, int(cr.bottom))),
                      FPicture, false, false, bg, FTransparentBitmap);
    RestoreDC(dc, saved);
  }
  DeleteObject(bg);
}

void TCustomkxBlobPopup::UpdatePictureScrollBars() {
  if (!HandleAllocated() || IsMemo()) return;
  const bool scroll = !AutoSize && !kxIsPictureEmpty(FPicture);
  const TRect cr = ClientRect();
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = scroll ? FPicture->Width() - 1 : 0;
  si.nPage = UINT(std::max(0, int(cr.right)));
  si.nPos = FScrollX;
  SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
  si.nMax = scroll ? FPicture->Height() - 1 : 0;
  si.nPage = UINT(std::max(0, int(cr.bottom)));
  si.nPos = FScrollY;
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
}

void TCustomkxBlobPopup::SetScrollOffsets(int X, int Y) {
  if (kxIsPictureEmpty(FPicture) || AutoSize) {
    FScrollX = FScrollY = 0;
    return;
  }
  const TRect cr = ClientRect();
  X = std::clamp(X, 0, std::max(0, FPicture->Width() - int(cr.right)));
  Y = std::clamp(Y, 0, std::max(0, FPicture->Height() - int(cr.bottom)));
  if (X == FScrollX && Y == FScrollY) return;
  FScrollX = X;
  FScrollY = Y;
  UpdatePictureScrollBars();
  Invalidate();
}

void TCustomkxBlobPopup::ScrollPicture(int Bar, int Code) {
  if (IsMemo() || AutoSize || kxIsPictureEmpty(FPicture)) return;
  const bool h = Bar == SB_HORZ;
  const TRect cr = ClientRect();
  const int page = h ? cr.right : cr.bottom;
  const int line = h ? GetSystemMetrics(SM_CXHSCROLL) : GetSystemMetrics(SM_CYVSCROLL);
  const int size = h ? FPicture->Width() : FPicture->Height();
  int pos = h ? FScrollX : FScrollY;
  switch (Code) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = size; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), h ? SB_HORZ : SB_VERT, &si);
      const int t = si.nTrackPos + 1;
      pos = t + page >= size ? t : t / 4 * 4;
      break;
    }
    default: return;
  }
  if (h) SetScrollOffsets(pos, FScrollY);
  else SetScrollOffsets(FScrollX, pos);
}

void TCustomkxBlobPopup::WMHScroll(TMessage& Message) { ScrollPicture(SB_HORZ, LOWORD(Message.WParam)); }
void TCustomkxBlobPopup::WMVScroll(TMessage& Message) {
  if (IsMemo()) TkxInplacePopupControl::Dispatch(Message);
  else ScrollPicture(SB_VERT, LOWORD(Message.WParam));
}

void TCustomkxBlobPopup::WMSize2(TWMSize& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (IsMemo()) return;
  // No area beyond the picture shows after a resize.
  const int x = FScrollX, y = FScrollY;
  FScrollX = FScrollY = -1;
  SetScrollOffsets(x, y);
  if (FScrollX < 0) FScrollX = 0;
  if (FScrollY < 0) FScrollY = 0;
  UpdatePictureScrollBars();
}

void TCustomkxBlobPopup::PictureCommand(int Index) {
  TkxInplaceEdit* e = FOwnerEdit;
  const bool canModify = e && e->CanModify();
  switch (Index) {
    case ptbCut:
      PictureCommand(ptbCopy);
      if (!FReadOnly && canModify) Picture()->SetGraphic(nullptr);
      break;
    case ptbCopy:
      if (FPicture && FPicture->Graphic()) CopyPictureToClipboard(FPicture);
      break;
    case ptbPaste:
      if (!FReadOnly && ClipboardHasFormat(ClipFormat) && canModify) {
        try {
          PastePictureFromClipboard(Picture());
        } catch (...) {
          ClosePopup();
          throw;
        }
      }
      break;
    case ptbDelete:
      if (!FReadOnly) Picture()->SetGraphic(nullptr);
      break;
    case ptbLoad: {
      if (FReadOnly) break;
      std::unique_ptr<TOpenPictureDialog> d(new TOpenPictureDialog(nullptr));
      if (!PictureFilter.empty()) d->SetFilter(PictureFilter);
      if (d->Execute() && canModify) {
        try {
          Picture()->LoadFromFile(d->FileName());
        } catch (...) {
          ClosePopup();
          throw;
        }
      }
      if (HandleAllocated() && !IsWindowVisible(Handle())) TkxInplacePopupControl::ShowPopup();
      break;
    }
    case ptbSave: {
      if (!FPicture || !FPicture->Graphic()) break;
      std::unique_ptr<TSavePictureDialog> d(new TSavePictureDialog(nullptr));
      const TClass c = FPicture->Graphic()->ClassType();
      d->SetFilter(!PictureFilter.empty() ? PictureFilter : GraphicFilter(c));
      d->SetDefaultExt(GraphicExtension(c));
      if (d->Execute()) FPicture->SaveToFile(d->FileName());
      break;
    }
    case kBlobUndo: SendMessageA(Handle(), EM_UNDO, 0, 0); break;
    case kBlobRedo: SendMessageA(Handle(), EM_REDO, 0, 0); break;
    case kBlobCut: SendMessageA(Handle(), WM_CUT, 0, 0); break;
    case kBlobCopy: SendMessageA(Handle(), WM_COPY, 0, 0); break;
    case kBlobPaste:
      if (!FReadOnly) SendMessageA(Handle(), WM_PASTE, 0, 0);
      break;
    case kBlobDelete: SendMessageA(Handle(), WM_CLEAR, 0, 0); break;
    case kBlobSelectAll: SendMessageA(Handle(), EM_SETSEL, 0, -1); break;
    default: break;
  }
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
}

void TCustomkxBlobPopup::MenuItemClick(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) PictureCommand(int(item->Tag()));
}

TPopupMenu* TCustomkxBlobPopup::ContextMenu() {
  if (!FMenu) FMenu = new TPopupMenu(nullptr);
  while (FMenu->Items()->Count() > 0) delete FMenu->Items()->Items(0);
  const TNotifyEvent click(this, &TCustomkxBlobPopup::MenuItemClick);
  if (IsMemo()) {
    FMenu->SetImages(nullptr);
    CHARRANGE sel{0, 0};
    if (HandleAllocated()) SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    const bool hasSel = sel.cpMax > sel.cpMin;
    const int len = HandleAllocated() ? GetWindowTextLengthA(Handle()) : 0;
    AddBlobItem(FMenu, kxEditorString(38952), kBlobUndo, -1, 0, click)
        ->SetEnabled(HandleAllocated() && SendMessageA(Handle(), EM_CANUNDO, 0, 0));
    AddBlobItem(FMenu, kxEditorString(38953), kBlobRedo, -1, 0, click)
        ->SetEnabled(HandleAllocated() && SendMessageA(Handle(), EM_CANREDO, 0, 0));
    AddBlobItem(FMenu, "-", -1, -1, 0, click);
    AddBlobItem(FMenu, kxEditorString(38914), kBlobCut, -1, 0, click)->SetEnabled(hasSel && !FReadOnly);
    AddBlobItem(FMenu, kxEditorString(38915), kBlobCopy, -1, 0, click)->SetEnabled(hasSel);
    AddBlobItem(FMenu, kxEditorString(38916), kBlobPaste, -1, 0, click)
        ->SetEnabled(!FReadOnly && HandleAllocated() && SendMessageA(Handle(), EM_CANPASTE, 0, 0));
    AddBlobItem(FMenu, kxEditorString(38917), kBlobDelete, -1, 0, click)->SetEnabled(hasSel && !FReadOnly);
    AddBlobItem(FMenu, "-", -1, -1, 0, click);
    AddBlobItem(FMenu, kxEditorString(38954), kBlobSelectAll, -1, 0, click)
        ->SetEnabled(!(sel.cpMin == 0 && sel.cpMax >= len));
  } else {
    FMenu->SetImages(kxToolbarImages);
    const bool empty = kxIsPictureEmpty(FPicture);
    AddBlobItem(FMenu, kxEditorCommandTexts[0].Caption, ptbCut, 0, ShortCut('X', TShiftState{ssCtrl}), click)
        ->SetEnabled(!empty && !FReadOnly);
    AddBlobItem(FMenu, kxEditorCommandTexts[1].Caption, ptbCopy, 1, ShortCut('C', TShiftState{ssCtrl}), click)
        ->SetEnabled(!empty);
    AddBlobItem(FMenu, kxEditorCommandTexts[2].Caption, ptbPaste, 2, ShortCut('V', TShiftState{ssCtrl}), click)
        ->SetEnabled(!FReadOnly && ClipboardHasFormat(ClipFormat));
    AddBlobItem(FMenu, kxEditorCommandTexts[3].Caption, ptbDelete, 3, 0, click)->SetEnabled(!empty && !FReadOnly);
    auto* blob = dynamic_cast<TkxInplaceBlobEdit*>(FOwnerEdit);
    if (!blob || blob->ShowExPopupItems) {
      AddBlobItem(FMenu, "-", -1, -1, 0, click);
      AddBlobItem(FMenu, kxEditorCommandTexts[4].Caption, ptbLoad, 4, 0, click)->SetEnabled(!FReadOnly);
      AddBlobItem(FMenu, kxEditorCommandTexts[5].Caption, ptbSave, 5, 0, click)->SetEnabled(!empty);
    }
  }
  return FMenu;
}

void TCustomkxBlobPopup::WMContextMenu(TMessage& Message) {
  TkxInplacePopupControl::Dispatch(Message);
  if (Message.Result != 0) return;
  for (TControl* c = this; c; c = c->Parent())
    if (c->PopupMenu()) return;
  auto* blob = dynamic_cast<TkxInplaceBlobEdit*>(FOwnerEdit);
  if (!IsMemo() && blob && !blob->ShowPicturePopup) return;
  TPoint p = kxPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (p.x == -1 && p.y == -1) {
    POINT caret{0, 0};
    GetCaretPos(&caret);
    caret.x = std::min<LONG>(caret.x, ClientWidth());
    p = ClientToScreen(caret);
  }
  ContextMenu()->Popup(p.x, p.y);
  Message.Result = 1;
}

// ---- TkxInplaceBlobEdit ----

TkxInplaceBlobEdit::TkxInplaceBlobEdit(TComponent* AOwner) : TkxInplaceDropDownEdit(AOwner) {
  FRouteKeysToPopup = false;
  ClickToPopup = true;
  PictureClipFormat = CF_PICTURE;
}

TkxInplaceBlobEdit::~TkxInplaceBlobEdit() {
  TCustomkxBlobPopup* p = FPopup;
  FPopup = nullptr;
  if (FCurrentPopup == p) FCurrentPopup = nullptr;
  delete p;
  delete FScratchPicture;
}

void TkxInplaceBlobEdit::SetBlobText(const AnsiString& S) {
  if (S == FBlobText) return;
  TCustomkxContainer* c = Container();
  if (c && c->IsInitEdit()) {
    FBlobText = S;
  } else if (CanModify()) {
    FBlobText = S;
    Change();
  }
  RepaintEditor();
}

void TkxInplaceBlobEdit::SetBlobEditKind(TkxBlobEditKind Value) {
  if (FBlobEditKind == Value) return;
  FBlobEditKind = Value;
  LayoutChanged();
}

void TkxInplaceBlobEdit::SetBlobPaintStyle(TkxBlobPaintStyle Value) {
  if (FBlobPaintStyle == Value) return;
  FBlobPaintStyle = Value;
  RepaintEditor();
}

void TkxInplaceBlobEdit::SetDisplayText(const AnsiString& S) {
  const bool old = FAssigningText;
  FAssigningText = true;
  try {
    SetMaskText(S);
  } catch (...) {
    FAssigningText = old;
    throw;
  }
  FAssigningText = old;
}

bool TkxInplaceBlobEdit::IsEmptyValue(const Variant& Value) {
  return Value.IsNull() || Value.IsEmpty() || (VarIsStr(Value) && Value.AsString().empty());
}

void TkxInplaceBlobEdit::DoAssignPicture(TPicture*& Picture) {
  if (OnAssignPicture) OnAssignPicture(this, Picture);
}

TClass TkxInplaceBlobEdit::GetGraphicClass() {
  TClass c = PictureClass;
  if (OnGetGraphicClass) OnGetGraphicClass(this, c);
  return c;
}

void TkxInplaceBlobEdit::SetPopupSize(int W, int H) {
  PopupWidth = W;
  PopupHeight = H;
  if (OnPopupSizeChanged) OnPopupSizeChanged(this);
}

void TkxInplaceBlobEdit::StorePopupSize(TObject*) {
  if (FPopup) SetPopupSize(FPopup->Width(), FPopup->Height());
}

void TkxInplaceBlobEdit::SetEditValue(const Variant& Value) {
  FBlobText = Value.IsNull() || Value.IsEmpty() ? AnsiString() : Value.AsString();
  RepaintEditor();
}

void TkxInplaceBlobEdit::GetEditValue(Variant& Value) {
  if (FBlobEditKind == bekPict) {
    // The picture's bytes as read and offered to the host: a typed value, never a reference.
    if (!FScratchPicture) FScratchPicture = new TPicture();
    kxLoadPictureFromValue(FScratchPicture, PictureClass, Variant(FBlobText));
    TPicture* p = FScratchPicture;
    DoAssignPicture(p);
    Value = kxIsPictureEmpty(p) ? Variant::Null() : Variant(kxPictureToString(p));
    return;
  }
  Value = FBlobText.empty() ? Variant::Null() : Variant(FBlobText);
}

void TkxInplaceBlobEdit::GetEditingValue(Variant& Value, bool) { Value = Variant(Text()); }

TkxEditViewData* TkxInplaceBlobEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceDropDownEdit::CreateViewData(FromData);
  vd->Focused = false;
  if (auto* b = dynamic_cast<TkxBlobEditViewData*>(vd)) {
    b->EditKind = FBlobEditKind;
    b->PaintStyle = FBlobPaintStyle;
    if (FBlobPaintStyle == bpsIcon) {
      b->IconList = kxBlobImages;
      b->IsEmpty = FromData ? IsEmptyValue(vd->Value) : FBlobText.empty();
    }
  }
  return vd;
}

void TkxInplaceBlobEdit::TClassRef::CalcButtons(TkxDropDownEditViewData* VD) const {
  TkxInplaceDropDownEdit::TClassRef::CalcButtons(VD);
  auto* b = dynamic_cast<TkxBlobEditViewData*>(VD);
  if (b && VD->ButtonCount > 0 && (b->EditKind == bekOle || b->EditKind == bekBlob)) {
    VD->ButtonEntries[0].Kind = bkEllipsis;
    VD->ButtonEntries[0].Width = GetButtonWidth(VD, VD->ButtonEntries[0]);
  }
}

bool TkxInplaceBlobEdit::TClassRef::DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* VD) const {
  auto* b = dynamic_cast<TkxBlobEditViewData*>(VD);
  if (b && b->PaintStyle == bpsIcon) {
    if (VD->CalcHeight) return true;
    if (VD->Brush && !VD->Transparent) {
      RECT r = R;
      FillRect(DC, &r, VD->Brush);
    }
    const int i = kxBlobIconIndex(b->EditKind, b->IsEmpty);
    if (b->IconList && i >= 0 && i < b->IconList->Count()) {
      const int x = (R.left + R.right - b->IconList->Width()) / 2, y = (R.top + R.bottom - b->IconList->Height()) / 2;
      kxDrawImageListItem(DC, x, y, b->IconList, i);
    }
    VD->Value = Variant(AnsiString());
    return true;
  }
  VD->DrawAlignment = kxdaMultiLine;
  return TkxInplaceDropDownEdit::TClassRef::DrawClient(DC, R, OwnWindow, VD);
}

void TkxInplaceBlobEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Container() && (Key == VK_LEFT || Key == VK_RIGHT)) ContainerKeyHook(Key == VK_LEFT);
  if (Key == VK_DELETE) Key = 0;
  if (Key) TkxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TkxInplaceBlobEdit::KeyPress(char& Key) {
  // The cell never takes typed text; an open, empty memo gets the character.
  if (FPopup && FPopupShown && FPopup->HandleAllocated() && FPopup->Focused() && FPopup->MemoText().empty())
    PostMessageA(FPopup->Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(Key)), 0);
  Key = 0;
}

void TkxInplaceBlobEdit::WMGetDlgCode3(TMessage& Message) {
  TkxInplaceDropDownEdit::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TkxInplaceBlobEdit::DropDown() {
  if (FPopupShown || IsPopupActive()) return;
  DoEditButtonClick();
  if (FBlobEditKind == bekOle || FBlobEditKind == bekBlob) return;
  if (!FPopup) {
    FPopup = NewObject<TCustomkxBlobPopup>(nullptr);
    FPopup->SetOwnerEdit(this);
  }
  FCurrentPopup = FPopup;
  TCustomkxBlobPopup* p = FPopup;
  const bool kindChanged = p->Kind != FBlobEditKind;
  if (kindChanged && p->HandleAllocated()) p->DestroyHandle();
  p->SetColor(Color());
  p->Font()->Assign(Font());
  p->SetSavedText(AnsiString());
  p->SetSaved(false);
  p->Kind = FBlobEditKind;
  p->SetPopupBorderStyle(GetPopupBorder());
  p->SetShadow(Style()->Shadow());
  p->Sizeable = SizeablePopup;
  p->AlwaysSave = AlwaysSaveText;
  p->CharCase = MemoCharCase;
  p->HideScrollBars = MemoHideScrollBars;
  p->MaxLength = MemoMaxLength;
  p->OEMConvert = MemoOEMConvert;
  p->ScrollBars = MemoScrollBars;
  p->SelectionBar = MemoSelectionBar;
  p->WantReturns = MemoWantReturns;
  p->WantTabs = MemoWantTabs;
  p->WordWrap = MemoWordWrap;
  p->AutoSize = PictureAutoSize;
  p->ClipFormat = PictureClipFormat;
  p->GraphicClass = GetGraphicClass();
  p->GraphicTransparency = PictureTransparency;
  p->PictureFilter = PictureFilter;
  if (FBlobEditKind == bekPict) {
    try {
      kxLoadPictureFromValue(p->Picture(), p->GraphicClass, Variant(FBlobText));
    } catch (...) {
      p->Picture()->SetGraphic(nullptr);
      p->SetModified(false);
      throw;
    }
  } else {
    p->SetMemoText(FBlobText);
  }
  p->SetReadOnly(!IsEditable());
  p->SetModified(false);
  p->OnSave = TNotifyEvent(this, &TkxInplaceBlobEdit::SaveBlob);
  p->OnClosed = TNotifyEvent(this, &TkxInplaceBlobEdit::StorePopupSize);
  RECT r;
  GetWindowRect(Handle(), &r);
  p->SetupPopupBounds(kxPoint(r.left, r.bottom), PopupWidth, PopupHeight);
  p->HandleNeeded();
  PositionPopup(p, false);
  FPopupShown = true;
  p->ShowPopup();
  p->SetSaved(false);
}

void TkxInplaceBlobEdit::SaveBlob(TObject*) {
  if (!FPopup) return;
  FPopup->OnSave = TNotifyEvent();
  if (!CanModify()) return;
  if (FBlobEditKind == bekMemo) {
    SetBlobText(FPopup->SavedText());
    if (FBlobPaintStyle == bpsText) SetDisplayText(FBlobText);
  } else if (FBlobEditKind == bekPict) {
    TPicture* pic = FPopup->Picture();
    if (kxIsPictureEmpty(pic)) {
      SetBlobText(AnsiString());
      PictureClass = nullptr;
    } else {
      PictureClass = pic->Graphic()->ClassType();
      SetBlobText(kxPictureToString(pic));
    }
  }
  SetModified(true);
}

void kxInitBlobEdit() {
  RegisterClasses({TkxInplaceBlobEdit::StaticClass(), TkxBlobEditViewData::StaticClass()});
}

void kxDoneBlobEdit() {}
