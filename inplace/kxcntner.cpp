#include "inplace/kxcntner.h"

#include <algorithm>
#include <map>

#include "platform/classes/filer.h"
#include "platform/controls/commctrl.h"
#include "platform/rtl/resources.h"
#include "platform/win/system.h"

namespace {
HBRUSH gShadowBrush = nullptr;

bool RectEmpty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

// The English texts of the editors' string table, for a program that did not
// register the table.
const std::map<int, const char*>& BuiltInStrings() {
  static const std::map<int, const char*> table = {
      {38903, "Today"}, {38904, "Clear"}, {38905, "&OK"}, {38906, "&Cancel"}, {38907, "&Close"},
      {38914, "Cu&t"}, {38915, "&Copy"}, {38916, "&Paste"}, {38917, "&Delete"}, {38918, "&Load..."},
      {38919, "&Save To..."}, {38920, "Cut"}, {38921, "Copy"}, {38922, "Paste"}, {38923, "Delete"},
      {38924, "Load from file..."}, {38925, "Save to file..."}, {38927, "Invalid Date"}, {38928, "TODAY"},
      {38929, "YESTERDAY"}, {38930, "TOMORROW"}, {38931, "SUNDAY"}, {38932, "MONDAY"}, {38933, "TUESDAY"},
      {38934, "WEDNESDAY"}, {38935, "THURSDAY"}, {38936, "FRIDAY"}, {38937, "SATURDAY"}, {38938, "FIRST"},
      {38939, "SECOND"}, {38940, "THIRD"}, {38941, "FOURTH"}, {38942, "FIFTH"}, {38943, "SIXTH"},
      {38944, "SEVENTH"}, {38945, "BOM"}, {38946, "EOM"}, {38947, "NOW"},
      {38948, "Invalid input value. Use escape key to abandon changes"}, {38951, "Error"},
      {38952, "&Undo"}, {38953, "&Redo"}, {38954, "Select &All"}};
  return table;
}
}  // namespace

AnsiString kxEditorString(int Id) {
  AnsiString s = LoadStr(Id);
  if (!s.empty()) return s;
  auto it = BuiltInStrings().find(Id);
  return it == BuiltInStrings().end() ? AnsiString() : AnsiString(it->second);
}

HBRUSH kxShadowBrush() {
  if (!gShadowBrush) gShadowBrush = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
  return gShadowBrush;
}

bool kxRemovePendingMessage(HWND Wnd, UINT Msg) {
  MSG m;
  if (!PeekMessageA(&m, Wnd, Msg, Msg, PM_REMOVE)) return false;
  if (m.message == WM_QUIT) PostQuitMessage(int(m.wParam));
  return true;
}

void kxRemovePendingChar(HWND Wnd) { kxRemovePendingMessage(Wnd, WM_CHAR); }

// ---- view data and the class-level operations ----

TkxEditViewData::~TkxEditViewData() { delete WorkBitmap; }

TClass TkxInplaceEditClass::GetViewDataClass() const { return TkxEditViewData::StaticClass(); }

TkxEditViewData* TkxInplaceEditClass::NewViewData() const {
  TObject* o = CreateObject(GetViewDataClass(), nullptr);
  auto* vd = dynamic_cast<TkxEditViewData*>(o);
  if (!vd) {
    delete o;
    throw EInvalidCast("Not a view data class: " + AnsiString(GetViewDataClass()->Name));
  }
  return vd;
}

TClass TkxInplaceEditClass::GetEditStyleClass() const { return TkxEditStyle::StaticClass(); }

bool TkxInplaceEditClass::IsCtrlPressed() { return GetAsyncKeyState(VK_CONTROL) < 0 && GetAsyncKeyState(VK_MENU) >= 0; }

void TkxInplaceEditClass::CalcButtonsRect(TkxEditViewData*, TRect& R) const { R = TRect{}; }

void TkxInplaceEditClass::CalcViewInfo(TkxEditViewData* VD, bool CalcSize, TkxEditViewRects& Rects) const {
  Rects = TkxEditViewRects{};
  switch (VD->BorderStyle) {
    case xbsNone: Rects.BorderWidth = 0; break;
    case xbsSingle: Rects.BorderWidth = 1; break;
    default: Rects.BorderWidth = 2; break;
  }
  Rects.ShadowSize = VD->Shadow ? 2 : 0;
  const int s = Rects.ShadowSize;
  Rects.BoundsRect = VD->Bounds;
  const TRect& b = Rects.BoundsRect;
  Rects.ClientRect = kxRect(b.left + 2, b.top + 2, b.right - s - 2, b.bottom - s - 2);
  if (CalcSize) {
    TRect r;
    CalcButtonsRect(VD, r);
    int height;
    if (RectEmpty(r)) {
      height = GetMinHeight(VD);
    } else {
      Rects.BoundsRect.right = b.left + r.Width() + s + 4;
      Rects.ClientRect.right = b.left + r.Width() + 2;
      height = r.Height();
    }
    Rects.BoundsRect.bottom = Rects.BoundsRect.top + height + s + 4;
    Rects.ClientRect.bottom = Rects.BoundsRect.top + height + 2;
  }
  Rects.EdgeLeft = VD->Edges.Contains(edgLeft);
  Rects.EdgeTop = VD->Edges.Contains(edgTop);
  Rects.EdgeRight = VD->Edges.Contains(edgRight);
  Rects.EdgeBottom = VD->Edges.Contains(edgBottom);
  const int w = Rects.BorderWidth;
  Rects.BorderRect = Rects.ClientRect;
  if (Rects.EdgeLeft) Rects.BorderRect.left -= w;
  if (Rects.EdgeTop) Rects.BorderRect.top -= w;
  if (Rects.EdgeRight) Rects.BorderRect.right += w;
  if (Rects.EdgeBottom) Rects.BorderRect.bottom += w;
  if (s) {
    Rects.ShadowRect = Rects.BorderRect;
    OffsetRect(&Rects.ShadowRect, s, s);
  }
}

HRGN TkxInplaceEditClass::BorderRegion(const TkxEditViewRects& Rects) const {
  if (Rects.ShadowSize == 0 && Rects.BorderWidth >= 2 && Rects.EdgeLeft && Rects.EdgeTop && Rects.EdgeRight &&
      Rects.EdgeBottom)
    return nullptr;
  HRGN rgn = CreateRectRgnIndirect(&Rects.BorderRect);
  if (Rects.ShadowSize) {
    HRGN shadow = CreateRectRgnIndirect(&Rects.ShadowRect);
    CombineRgn(rgn, rgn, shadow, RGN_OR);
    DeleteObject(shadow);
  }
  return rgn;
}

void TkxInplaceEditClass::Draw(HDC DC, HRGN ClipRegion, TkxEditViewData* VD) const {
  TkxEditViewRects rects;
  CalcViewInfo(VD, false, rects);
  DrawBorder(DC, rects, VD);
  DrawClient(DC, rects.ClientRect, false, VD);
  if (ClipRegion) {
    HRGN rgn = BorderRegion(rects);
    if (!rgn) rgn = CreateRectRgnIndirect(&rects.BorderRect);
    CombineRgn(ClipRegion, ClipRegion, rgn, RGN_DIFF);
    DeleteObject(rgn);
  }
}

void TkxInplaceEditClass::DrawBorder(HDC DC, const TkxEditViewRects& Rects, TkxEditViewData* VD) const {
  UINT edges = (Rects.EdgeLeft ? BF_LEFT : 0) | (Rects.EdgeTop ? BF_TOP : 0) | (Rects.EdgeRight ? BF_RIGHT : 0) |
               (Rects.EdgeBottom ? BF_BOTTOM : 0);
  TRect r = Rects.BorderRect;
  const int w = Rects.BorderWidth;
  switch (VD->BorderStyle) {
    case xbsSingle:
    case xbsThick: {
      HBRUSH brush = CreateSolidBrush(ColorToRGB(VD->BorderColor));
      if (edges == BF_RECT) {
        for (int i = 0; i < w; ++i) {
          FrameRect(DC, &r, brush);
          InflateRect(&r, -1, -1);
        }
      } else {
        int top = Rects.EdgeTop ? r.top : r.top - w;
        if (Rects.EdgeLeft) {
          RECT s{r.left, top, r.left + w, r.bottom};
          FillRect(DC, &s, brush);
        }
        if (Rects.EdgeTop) {
          RECT s{r.left, r.top, r.right, r.top + w};
          FillRect(DC, &s, brush);
        }
        if (Rects.EdgeRight) {
          RECT s{r.right - w, top, r.right, r.bottom};
          FillRect(DC, &s, brush);
        }
        if (Rects.EdgeBottom) {
          RECT s{r.left, r.bottom - w, r.right, r.bottom};
          FillRect(DC, &s, brush);
        }
      }
      DeleteObject(brush);
      break;
    }
    case xbsFlat:
      DrawEdge(DC, &r, BDR_SUNKENOUTER, edges | BF_ADJUST);
      DrawEdge(DC, &r, BDR_SUNKENINNER, edges | BF_FLAT);
      break;
    case xbs3D: DrawEdge(DC, &r, EDGE_SUNKEN, edges); break;
    case xbsNone: break;
  }
  if (Rects.ShadowSize) kxPaintShadow(DC, Rects.ShadowRect, Rects.ShadowSize, kxShadowBrush());
}

bool TkxInplaceEditClass::DrawClient(HDC DC, const TRect& R, bool, TkxEditViewData* VD) const {
  if (!VD->CalcHeight && VD->Brush) {
    RECT r = R;
    FillRect(DC, &r, VD->Brush);
  }
  return true;
}

TCursor TkxInplaceEditClass::GetCursor(int, int, TkxEditViewData* VD) const {
  if (VD->Cursor != crDefault) return VD->Cursor;
  return VD->IsTextEditing ? crDefault : crArrow;
}

int TkxInplaceEditClass::GetMinHeight(TkxEditViewData* VD) const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = VD->Font ? SelectObject(dc, VD->Font) : nullptr;
  TEXTMETRICA tm;
  GetTextMetricsA(dc, &tm);
  if (VD->Font) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + 3;
}

// ---- TkxInplaceEdit ----

const TkxInplaceEditClass* TkxInplaceEdit::ClassRef() {
  static const TClassRef ref;
  return &ref;
}

TkxInplaceEdit::TkxInplaceEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FAutoSize = true;
  FParentColor = false;
  FParentCtl3D = false;
  FCtl3D = false;
  FTabStop = false;
}

TkxInplaceEdit::~TkxInplaceEdit() {
  if (FStyleController && TkxStyleController::IsAlive(FStyleController) && !FStyleController->IsDestroying())
    FStyleController->RemoveLink(this);
  FStyleController = nullptr;
  delete FStyle;
  FStyle = nullptr;
}

void TkxInplaceEdit::AfterConstruction() {
  TWinControl::AfterConstruction();
  Style();
  CreateDataDefinition();
}

TCustomkxContainer* TkxInplaceEdit::Container() const { return dynamic_cast<TCustomkxContainer*>(Owner()); }

TkxEditStyle* TkxInplaceEdit::CreateStyle() {
  TkxEditStyle* s = nullptr;
  if (TCustomkxContainer* c = Container()) s = c->CreateEditStyle(this);
  if (!s) {
    TObject* o = CreateObject(EditClass()->GetEditStyleClass(), nullptr);
    s = dynamic_cast<TkxEditStyle*>(o);
    if (!s) {
      delete o;
      s = new TkxEditStyle(this);
    }
  }
  s->Attach(this);
  return s;
}

TkxEditStyle* TkxInplaceEdit::Style() {
  if (!FStyle) FStyle = CreateStyle();
  return FStyle;
}

void TkxInplaceEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (!IsTextEditing()) Params.WinClassName = ClassName() + "NoEdit";
}

void TkxInplaceEdit::SetAutoSize(bool Value) { FAutoSize = Value; }

void TkxInplaceEdit::RepaintEditor() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TkxInplaceEdit::ShowInRect(const TRect& R) {
  if (RectEmpty(R)) return;
  TRect r = R;
  InflateRect(&r, 2, 2);
  SetBounds(r.left, r.top, r.Width(), r.Height());
  bool wasShown = FShown;
  Show();
  if (GetFocus() != Handle()) ::SetFocus(Handle());
  SelectAll();
  if (!wasShown) Activated();
}

void TkxInplaceEdit::Show() {
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
  FShown = true;
}

void TkxInplaceEdit::Hide() {
  FShown = false;
  if (!HandleAllocated()) return;
  if (IsWindowVisible(Handle())) InvalidateInContainer();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOZORDER);
}

void TkxInplaceEdit::InvalidateInContainer() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  ValidateRect(h, nullptr);
  InvalidateRect(h, nullptr, TRUE);
  TCustomkxContainer* c = Container();
  if (!c || !c->HandleAllocated()) return;
  RECT r;
  GetWindowRect(h, &r);
  POINT p[2] = {{r.left, r.top}, {r.right, r.bottom}};
  MapWindowPoints(nullptr, c->Handle(), p, 2);
  RECT local{p[0].x, p[0].y, p[1].x, p[1].y};
  ValidateRect(c->Handle(), &local);
  InvalidateRect(c->Handle(), &local, FALSE);
}

void TkxInplaceEdit::SetTextMargins(const TRect& R) {
  if (FTextMargins == R) return;
  FTextMargins = R;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplaceEdit::SetAlignment(TAlignment Value) {
  FStoredValues << svAlignment;
  DoSetAlignment(Value);
}

void TkxInplaceEdit::DoSetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplaceEdit::SetReadOnly(bool Value) {
  FStoredValues << svReadOnly;
  DoSetReadOnly(Value);
}

void TkxInplaceEdit::DoSetReadOnly(bool Value) { FReadOnly = Value; }

bool TkxInplaceEdit::ReadOnly() { return FStoredValues.Contains(svReadOnly) ? FReadOnly : GetDataReadOnly(); }

bool TkxInplaceEdit::IsEditable() { return !ReadOnly(); }

bool TkxInplaceEdit::CanModify() {
  if (ReadOnly()) return false;
  TCustomkxContainer* c = Container();
  return c && c->CanEditModify();
}

bool TkxInplaceEdit::CanEditKey(char Key) {
  TCustomkxContainer* c = Container();
  return c && c->CanEditAcceptKey(Key);
}

void TkxInplaceEdit::ContainerKeyHook(bool Key) {
  if (TCustomkxContainer* c = Container()) c->EditorKeyHook(Key);
}

bool TkxInplaceEdit::GetContainerState() {
  TCustomkxContainer* c = Container();
  return c && c->GetEditorStateFlag();
}

void TkxInplaceEdit::SetStyleController(TkxEditStyleController* Value) {
  if (FStyleController == Value) return;
  if (FStyleController && TkxStyleController::IsAlive(FStyleController) && !FStyleController->IsDestroying())
    FStyleController->RemoveLink(this);
  FStyleController = Value;
  if (Value) {
    Value->AddLink(this);
    Value->FreeNotification(this);
    Value->LinkChanged(this);
  } else {
    LayoutChanged();
  }
}

void TkxInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FStyleController) FStyleController = nullptr;
}

void TkxInplaceEdit::SetEditValue(const Variant& Value) { SetText(Value.IsNull() ? AnsiString() : VarToStr(Value)); }

void TkxInplaceEdit::GetEditingValue(Variant& Value, bool) { Value = Variant(Text()); }

void TkxInplaceEdit::GetEditValue(Variant& Value) { Value = Variant(Text()); }

void TkxInplaceEdit::FocusEditor(bool& Done) {
  if (CanFocus()) {
    SetFocus();
    Done = true;
  }
}

void TkxInplaceEdit::Change() {
  TControl::Changed();
  if (OnChange) OnChange(this);
}

void TkxInplaceEdit::FocusChanged() {
  RefreshHotState();
  if (NeedsFullRepaint()) RepaintEditor();
}

bool TkxInplaceEdit::IsTextChangingKey(Word Key, TShiftState Shift) {
  return (Shift.Contains(ssCtrl) && (Key == 'V' || Key == 'X')) || Key == VK_BACK || Key == VK_DELETE ||
         (Key == VK_INSERT && Shift.Contains(ssShift));
}

void TkxInplaceEdit::Reset() {
  if (GetModified() && CanReset()) {
    SetText(FSavedText);
    SetModified(FSavedModified);
  }
}

void TkxInplaceEdit::SetActive(bool) {
  FSavedModified = GetModified();
  FSavedText = Text();
}

void TkxInplaceEdit::SetModified(bool Value) { FModified = Value; }

void TkxInplaceEdit::SetSelected(bool Value) { FSelected = Value; }

void TkxInplaceEdit::DoKillFocus(TMessage& Message) {
  RefreshHotState();
  if (NeedsFullRepaint()) RepaintEditor();
  TCustomkxContainer* c = Container();
  HWND to = reinterpret_cast<HWND>(Message.WParam);
  if (c && !(c->HandleAllocated() && to == c->Handle())) c->EditorFocusChanged();
}

void TkxInplaceEdit::GetDisplayText(AnsiString& Text) { Text = this->Text(); }

void TkxInplaceEdit::RestoreDefaults() {
  FStoredValues.Clear();
  DoSetAlignment(GetDefaultAlignment());
  DoSetReadOnly(GetDefaultReadOnly());
}

void TkxInplaceEdit::AssignEditText(const AnsiString& Text) {
  if (CanModify()) SetText(Text);
  SetModified(true);
}

void TkxInplaceEdit::ValidateEdit() {
  if (!GetModified() || FValidationLock > 0) return;
  bool accept = true;
  AnsiString error = kxEditorString(kxsInvalidInput);
  if (OnValidate) OnValidate(this, error, accept);
  if (!accept) {
    MessageBeep(0);
    if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
    throw EkxEditInvalidInput(error);
  }
}

TkxEditViewData* TkxInplaceEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = EditClass()->NewViewData();
  try {
    TkxEditStyle* st = Style();
    vd->Enabled = Enabled();
    vd->Focused = IsFocused();
    vd->Selected = IsSelected();
    vd->BorderColor = st->BorderColor();
    TkxEditBorderStyle bs = st->BorderStyle();
    if (vd->Selected && st->HotTrack()) {
      if (bs == xbsNone) bs = xbsFlat;
      else if (bs == xbsSingle) bs = xbsThick;
      else if (bs == xbsFlat) bs = xbs3D;
    }
    vd->BorderStyle = bs;
    TkxEditButtonViewStyle bts = st->ButtonStyle();
    if (bts == btsDefault) {
      switch (bs) {
        case xbsNone: bts = btsSimple; break;
        case xbsSingle: bts = btsHotFlat; break;
        case xbsFlat: bts = btsFlat; break;
        default: bts = bts3D; break;
      }
    }
    vd->ButtonStyle = bts;
    TkxEditButtonTransparence bt = st->ButtonTransparence();
    vd->ButtonTransparent = bt == ebtAlways || (bt == ebtInactive && !vd->Selected);
    vd->Edges = st->Edges();
    vd->Shadow = st->Shadow();
    vd->Transparent = !vd->Focused && FTransparent;
    vd->Bounds = kxRect(0, 0, Width(), Height());
    vd->TextOffsets = FTextMargins;
    vd->DrawAlignment = kxdaTop;
    vd->Font = Font()->Handle();
    if (Enabled()) {
      vd->Brush = Brush()->Handle();
      vd->BkColor = ColorToRGB(Color());
      vd->TextColor = ColorToRGB(Font()->Color());
    } else {
      vd->Brush = GetSysColorBrush(COLOR_BTNFACE);
      vd->BkColor = GetSysColor(COLOR_BTNFACE);
      vd->TextColor = GetSysColor(COLOR_BTNSHADOW);
    }
    vd->Alignment = FAlignment;
    vd->IsTextEditing = IsTextEditing();
    vd->DataLength = 0;
    GetEditingValue(vd->Value, FromData);
    vd->Cursor = Cursor();
  } catch (...) {
    delete vd;
    throw;
  }
  return vd;
}

void TkxInplaceEdit::UpdateWindowShape() {
  if (!HandleAllocated()) return;
  std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
  TkxEditViewRects rects;
  bool autoSize = FAutoSize && !Container();
  EditClass()->CalcViewInfo(vd.get(), autoSize, rects);
  if (autoSize) SetBounds(Left(), Top(), rects.BoundsRect.Width(), rects.BoundsRect.Height());
  SetWindowRgn(Handle(), EditClass()->BorderRegion(rects), TRUE);
}

void TkxInplaceEdit::RefreshHotState() {
  if (IsDestroyingEditor()) return;
  TkxEditStyle* st = Style();
  if (st->HotTrack() || st->ButtonTransparence() != ebtNone) {
    // The frame may change its size (buttons shown only while selected).
    if (HandleAllocated())
      SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindowShape();
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
}

void TkxInplaceEdit::LayoutChanged() {
  if (IsDestroyingEditor()) return;
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateWindowShape();
  RepaintEditor();
}

void TkxInplaceEdit::DefineProperties(TFiler* Filer) {
  TWinControl::DefineProperties(Filer);
  bool autoSize = FAutoSize && !Container();
  Filer->DefineProperty(
      "Height", [this](TReader* R) { SetHeight(R->ReadInteger()); },
      [this](TWriter* W) { W->WriteInteger(Height()); }, !autoSize);
  // Every bit of the set is kept, DisplayFormat (bit 8) included.
  Filer->DefineProperty(
      "StoredValues", [this](TReader* R) { FStoredValues = TkxStoredValues::FromMask(Word(R->ReadInteger())); },
      [this](TWriter* W) { W->WriteInteger(int(Word(FStoredValues.Mask()))); }, !FStoredValues.Empty());
}

// ---- messages ----

void TkxInplaceEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      TCustomForm* f = GetParentForm(this);
      TCustomkxContainer* c = Container();
      if (!f || !c || f->SetFocusedControl(c) || c->ControlState().Contains(csFocusing)) Dispatch(Message);
      if (c) c->EditorFocusChanged();
      FocusChanged();
      return;
    }
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
      if (TCustomkxContainer* c = Container())
        if (c->IgnoreEditorKeys()) return;
      break;
    case WM_MOUSEWHEEL:
      if (!HandlesMouseWheel()) {
        if (TCustomkxContainer* c = Container()) {
          c->Perform(CM_CANCELMODE, 0, 0);
          c->Perform(WM_MOUSEWHEEL, Message.WParam, Message.LParam);
        }
        // The editor's own wheel events; the window itself does not scroll the container again.
        TWMMouseWheel& w = static_cast<TWMMouseWheel&>(Message);
        DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), kxPoint(w.XPos(), w.YPos()));
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TWinControl::WndProc(Message);
}

void TkxInplaceEdit::DefaultHandler(TMessage& Message) {
  if (!IsTextEditing() && !ComponentState().Contains(csDesigning) &&
      (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN) &&
      HandleAllocated() && GetFocus() != Handle())
    ::SetFocus(Handle());
  TWinControl::DefaultHandler(Message);
}

void TkxInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomkxContainer* c = Container();
  if (Key == VK_ESCAPE) ResetOnEscape();
  switch (Key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT: ValidateEdit(); break;
    default: break;
  }
  ++FValidationLock;
  struct Unlock {
    int& lock;
    ~Unlock() { --lock; }
  } unlock{FValidationLock};
  bool forward = Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP ||
                 Key == VK_DOWN || (Key == VK_TAB && !Shift.Contains(ssAlt)) ||
                 (Key == VK_INSERT && Shift.Empty());
  if (forward) {
    if (c) c->ContainerKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  bool canEditModify = c && c->CanEditModify();
  if (Key == VK_INSERT && Shift == TShiftState{ssShift} && !canEditModify) Key = 0;
  if (Key == VK_F2) {
    if (c) c->DoEditKeyDown(Key, Shift);
    if (Key == VK_F2) {
      MoveCaretToEnd();
      return;
    }
  }
  if (Key == VK_DELETE && !canEditModify) Key = 0;
  if (Key != 0) {
    if (c) c->DoEditKeyDown(Key, Shift);
    if (Key != 0 && IsTextChangingKey(Key, Shift) && (!IsEditable() || !CanModify())) Key = 0;
    if (Key != 0) TWinControl::KeyDown(Key, Shift);
  }
}

void TkxInplaceEdit::KeyPress(char& Key) {
  if (TCustomkxContainer* c = Container()) c->ContainerKeyPress(Key);
  unsigned char k = static_cast<unsigned char>(Key);
  if (k >= 32 && !CanEditKey(Key)) {
    Key = 0;
    MessageBeep(0);
  }
  if (Key == '\t' && !WantsTabs()) Key = 0;
  k = static_cast<unsigned char>(Key);
  if ((Key == '\t' || k >= 32) && IsTextEditing() && !CanModify()) Key = 0;
  if (Key == 27) Key = 0;
  if (Key) TWinControl::KeyPress(Key);
}

void TkxInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (TCustomkxContainer* c = Container()) c->ContainerKeyUp(Key, Shift);
}

void TkxInplaceEdit::DblClick() {
  if (TCustomkxContainer* c = Container()) c->ContainerDblClick();
}

void TkxInplaceEdit::WMCut(TMessage& Message) {
  if (CanModify()) DefaultHandler(Message);
}
void TkxInplaceEdit::WMPaste(TMessage& Message) {
  if (CanModify()) DefaultHandler(Message);
}
void TkxInplaceEdit::WMClear(TMessage& Message) {
  if (CanModify()) DefaultHandler(Message);
}

void TkxInplaceEdit::WMEraseBkgnd(TMessage& Message) {
  if (Enabled() && IsTextEditing()) {
    TWinControl::Dispatch(Message);
    return;
  }
  Message.Result = 1;
}

void TkxInplaceEdit::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  Message.Result |= DLGC_WANTCHARS | DLGC_WANTALLKEYS;
  TCustomkxContainer* c = Container();
  if (c && c->WantsEditorTabs()) Message.Result |= DLGC_WANTTAB;
  else Message.Result &= ~LRESULT(DLGC_WANTTAB);
}

void TkxInplaceEdit::WMKeyDown(TWMKey& Message) {
  Word key = Message.CharCode();
  if (HandleAllocated() && (key == VK_RETURN || (key == VK_TAB && !WantsTabs()))) kxRemovePendingChar(Handle());
  TWinControl::Dispatch(Message);
}

void TkxInplaceEdit::WMImeComposition(TMessage& Message) {
  if ((Message.LParam & GCS_RESULTSTR) && IsTextEditing() && !CanModify()) return;
  TWinControl::Dispatch(Message);
}

void TkxInplaceEdit::WMLButtonDown(TWMMouse& Message) {
  TCustomkxContainer* c = Container();
  if (c && c->WantsEditorDblClicks()) {
    DWORD clickTime = ActivationClickTime;
    ActivationClickTime = 0;
    if (clickTime && DWORD(GetMessageTime()) - clickTime < DWORD(GetDoubleClickTime())) {
      Message.Msg = WM_LBUTTONDBLCLK;
      Dispatch(Message);
      return;
    }
  }
  TWinControl::Dispatch(Message);
}

void TkxInplaceEdit::WMNCCalcSize(TMessage& Message) {
  TWinControl::Dispatch(Message);
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  RECT* r = Message.WParam ? &params->rgrc[0] : reinterpret_cast<RECT*>(Message.LParam);
  if (!r) return;
  // The client area is the view info's client rectangle of a cell of the window's new size.
  std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
  vd->Bounds = kxRect(0, 0, r->right - r->left, r->bottom - r->top);
  TkxEditViewRects rects;
  EditClass()->CalcViewInfo(vd.get(), false, rects);
  const TRect& b = rects.BoundsRect;
  const TRect& c = rects.ClientRect;
  r->left += c.left - b.left;
  r->top += c.top - b.top;
  r->right -= b.right - c.right;
  r->bottom -= b.bottom - c.bottom;
  if (r->right < r->left) r->right = r->left;
  if (r->bottom < r->top) r->bottom = r->top;
}

void TkxInplaceEdit::WMNCPaint(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (!HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
  TkxEditViewRects rects;
  EditClass()->CalcViewInfo(vd.get(), false, rects);
  EditClass()->DrawBorder(dc, rects, vd.get());
  LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    TRect in = rects.BorderRect;
    InflateRect(&in, -rects.BorderWidth, -rects.BorderWidth);
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    RECT corner{in.right - cx, in.bottom - cy, in.right, in.bottom};
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  ReleaseDC(Handle(), dc);
}

void TkxInplaceEdit::WMPaint(TWMPaint& Message) {
  bool paintCopy = ControlState().Contains(csPaintCopy);
  if (paintCopy || RepaintOnActivate()) {
    std::unique_ptr<TkxEditViewData> vd(CreateViewData(true));
    PAINTSTRUCT ps;
    HDC dc = Message.DC();
    bool own = !dc;
    if (own) dc = BeginPaint(Handle(), &ps);
    if (paintCopy) {
      // A copy of the whole editor, frame included, in the control's coordinates.
      EditClass()->Draw(dc, nullptr, vd.get());
    } else {
      TRect cr = ClientRect();
      EditClass()->DrawClient(dc, cr, false, vd.get());
    }
    if (own) EndPaint(Handle(), &ps);
    return;
  }
  if (IsTextEditing()) DefaultHandler(Message);
  else PaintHandler(Message);
}

void TkxInplaceEdit::PaintWindow(HDC DC) {
  if (ClientWidth() > 0) {
    std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
    EditClass()->DrawClient(DC, ClientRect(), true, vd.get());
  }
  TWinControl::PaintWindow(DC);
}

void TkxInplaceEdit::WMSetCursor(TWMSetCursor& Message) {
  if (Message.HitTest() == HTCLIENT && HandleAllocated()) {
    std::unique_ptr<TkxEditViewData> vd(CreateViewData(false));
    POINT p;
    GetCursorPos(&p);
    TCursor cur = EditClass()->GetCursor(p.x, p.y, vd.get());
    if (cur != 0 && Screen) {
      ::SetCursor(Screen->Cursors(cur));
      Message.Result = 1;
      return;
    }
  }
  TWinControl::Dispatch(Message);
}

void TkxInplaceEdit::WMSize(TWMSize& Message) {
  TWinControl::Dispatch(Message);
  UpdateWindowShape();
}

void TkxInplaceEdit::WMKillFocus(TMessage& Message) {
  DoKillFocus(Message);
  TWinControl::Dispatch(Message);
}

void TkxInplaceEdit::CMColorChanged(TMessage& Message) {
  TWinControl::Dispatch(Message);
  LayoutChanged();
}

void TkxInplaceEdit::CMEnabledChanged(TMessage& Message) {
  TWinControl::Dispatch(Message);
  LayoutChanged();
}

void TkxInplaceEdit::CMEnter(TMessage& Message) {
  SetActive(true);
  TWinControl::Dispatch(Message);
}

void TkxInplaceEdit::CMExit(TMessage& Message) {
  ValidateEdit();
  SetActive(false);
  TWinControl::Dispatch(Message);
}

void TkxInplaceEdit::CMFontChanged(TMessage& Message) {
  TWinControl::Dispatch(Message);
  UpdateWindowShape();
}

void TkxInplaceEdit::CMMouseEnter(TMessage& Message) {
  TWinControl::Dispatch(Message);
  SetSelected(true);
  RefreshHotState();
  if (OnMouseEnterEditor) OnMouseEnterEditor(this);
}

void TkxInplaceEdit::CMMouseLeave(TMessage& Message) {
  TWinControl::Dispatch(Message);
  SetSelected(false);
  RefreshHotState();
  if (OnMouseLeaveEditor) OnMouseLeaveEditor(this);
}

void TkxInplaceEdit::CMShowingChanged(TMessage&) {}

void TkxInplaceEdit::CMTextChanged(TMessage& Message) {
  TWinControl::Dispatch(Message);
  if (!IsTextEditing()) RepaintEditor();
}

// ---- TCustomkxContainer ----

TCustomkxContainer::TCustomkxContainer(TComponent* AOwner) : TCustomControl(AOwner) {}

TkxEditStyle* TCustomkxContainer::CreateEditStyle(TkxInplaceEdit* Edit) {
  TObject* o = CreateObject(Edit->EditClass()->GetEditStyleClass(), nullptr);
  auto* s = dynamic_cast<TkxEditStyle*>(o);
  if (!s) {
    delete o;
    s = new TkxEditStyle(Edit);
  }
  return s;
}

void TCustomkxContainer::ScrollLines(bool Up, int Count) {
  for (int i = 0; i < Count; ++i) SendMessageA(Handle(), WM_VSCROLL, Up ? SB_LINEUP : SB_LINEDOWN, 0);
}

void TCustomkxContainer::DoEditKeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

BOOL TCustomkxContainer::GetScrollInfo(int Bar, SCROLLINFO& Info) { return FlatSB_GetScrollInfo(Handle(), Bar, &Info); }

int TCustomkxContainer::SetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw) {
  return FlatSB_SetScrollInfo(Handle(), Bar, &Info, Redraw ? TRUE : FALSE);
}

void TCustomkxContainer::SetFlatScrollBars(Byte Style) {
  if (FScrollBarStyle == Style) return;
  FScrollBarStyle = Style;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomkxContainer::CreateWnd() {
  TCustomControl::CreateWnd();
  static const std::intptr_t modes[] = {FSB_REGULAR_MODE, FSB_ENCARTA_MODE, FSB_FLAT_MODE};
  InitializeFlatSB(Handle());
  std::intptr_t mode = modes[std::min<int>(FScrollBarStyle, 2)];
  FlatSB_SetScrollProp(Handle(), WSB_PROP_HSTYLE, mode, TRUE);
  FlatSB_SetScrollProp(Handle(), WSB_PROP_VSTYLE, mode, TRUE);
}

void TCustomkxContainer::WMMouseWheel(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  int delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
  ScrollLines(delta > 0, Mouse ? Mouse->WheelScrollLines() : 3);
}

// ---- TkxContainerHintWindow ----

TkxContainerHintWindow::TkxContainerHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  Canvas()->Brush()->SetStyle(bsClear);
  SetVisible(false);
}

void TkxContainerHintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WndParent = nullptr;
}

void TkxContainerHintWindow::WMNCHitTest(TMessage& Message) { Message.Result = HTTRANSPARENT; }

void TkxContainerHintWindow::ShowHint(TPoint P, int MaxWidth, bool UseFontSize, TFont* AFont,
                                      const AnsiString& Text) {
  SetCaption(Text);
  NONCLIENTMETRICSA ncm;
  ncm.cbSize = 340;
  TFont* f = Canvas()->Font();
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &ncm, 0)) {
    HFONT h = CreateFontIndirectA(&ncm.lfStatusFont);
    f->SetHandle(h);
  } else {
    f->SetSize(8);
  }
  f->SetColor(clInfoText);
  if (AFont) {
    f->SetName(AFont->Name());
    f->SetCharset(AFont->Charset());
    if (UseFontSize) f->SetSize(AFont->Size());
  }
  int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  if (MaxWidth <= 0) MaxWidth = screenW;
  RECT r{0, 0, MaxWidth, 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f->Handle());
  DrawTextA(dc, Text.c_str(), int(Text.size()), &r, DT_NOPREFIX | DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int w = r.right - r.left + 6, h = r.bottom - r.top + 6;
  int left = P.x, top = P.y;
  if (top + h > screenH) top = screenH - h;
  if (left + w > screenW) left = screenW - w;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  SetBounds(left, top, w, h);
  SetWindowPos(Handle(), HWND_TOPMOST, left, top, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  Invalidate();
}

void TkxContainerHintWindow::HideHint() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
}

void TkxContainerHintWindow::Paint() {
  TRect r = ClientRect();
  HDC dc = Canvas()->Handle();
  Canvas()->Brush()->SetColor(clInfoBk);
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(r);
  DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(&r, -1, -1);
  r.left += 2;
  r.top += 2;
  Canvas()->Brush()->SetStyle(bsClear);
  AnsiString text = Caption();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Canvas()->Font()->Color()));
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_NOPREFIX | DT_NOCLIP | DT_WORDBREAK);
}

// ---- TkxInplacePopupControl ----

TkxInplacePopupControl::TkxInplacePopupControl(TComponent* AOwner) : TCustomControl(AOwner) {}

void TkxInplacePopupControl::SetOwnerEdit(TkxInplaceEdit* Value) {
  if (FOwnerEdit == Value) return;
  if (FOwnerEdit) FOwnerEdit->RemoveFreeNotification(this);
  FOwnerEdit = Value;
  if (Value) Value->FreeNotification(this);
}

void TkxInplacePopupControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FOwnerEdit) FOwnerEdit = nullptr;
}

TCustomForm* TkxInplacePopupControl::OwnerForm() const {
  return FOwnerEdit ? GetParentForm(FOwnerEdit) : nullptr;
}

void TkxInplacePopupControl::SetPopupBorderStyle(TkxPopupBorder Value) {
  if (FPopupBorderStyle == Value) return;
  FPopupBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplacePopupControl::SetShadow(bool Value) {
  if (FShadow == Value) return;
  FShadow = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplacePopupControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FIsPopup) {
    TCustomForm* f = OwnerForm();
    Params.WndParent = f && f->HandleAllocated() ? f->Handle() : nullptr;
  }
}

void TkxInplacePopupControl::ShowPopup() {
  ShowWindow(Handle(), SW_SHOW);
  if (TCustomForm* f = OwnerForm())
    if (f->HandleAllocated()) SendMessageA(f->Handle(), WM_NCACTIVATE, TRUE, 0);
}

void TkxInplacePopupControl::ClosePopup() {
  if (HandleAllocated() && IsWindowVisible(Handle())) {
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    if (Application && Application->Active() && FOwnerEdit && FOwnerEdit->HandleAllocated())
      ::SetFocus(FOwnerEdit->Handle());
  }
  if (FOwnerEdit && FOwnerEdit->HandleAllocated()) PostMessageA(FOwnerEdit->Handle(), KXM_POPUPCLOSED, 0, 0);
}

void TkxInplacePopupControl::WMActivate(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (!FIsPopup || LOWORD(Message.WParam) != WA_INACTIVE) return;
  TCustomForm* f = OwnerForm();
  if (f && f->HandleAllocated() && reinterpret_cast<HWND>(Message.LParam) != f->Handle())
    SendMessageA(f->Handle(), WM_NCACTIVATE, FALSE, 0);
}

void TkxInplacePopupControl::WMKillFocus(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (!FIsPopup) return;
  ClosePopup();
  if (FOwnerEdit) FOwnerEdit->DoKillFocus(Message);
}

void TkxInplacePopupControl::WMMouseActivate(TMessage& Message) {
  if (FIsPopup) Message.Result = MA_NOACTIVATE;
  else TCustomControl::Dispatch(Message);
}

void TkxInplacePopupControl::WMNCCalcSize(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (!FIsPopup) return;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  RECT* r = Message.WParam ? &params->rgrc[0] : reinterpret_cast<RECT*>(Message.LParam);
  if (r) kxPopupNCCalcSize(*r, FPopupBorderStyle, FShadowSize, FShadow);
}

void TkxInplacePopupControl::WMNCPaint(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  if (!FIsPopup || !FDrawFrame || !HandleAllocated()) return;
  LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  kxPaintPopupFrameOnWindow(Handle(), FPopupBorderStyle, FShadowSize, FShadow,
                            (style & WS_HSCROLL) && (style & WS_VSCROLL));
}

void TkxInplacePopupControl::WMSize(TWMSize& Message) {
  TCustomControl::Dispatch(Message);
  if (FIsPopup && HandleAllocated()) kxSetShadowWindowRegion(Handle(), FShadow, FShadowSize);
}

// ---- start-up ----

void kxInitContainer() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterClasses({TkxInplaceEdit::StaticClass(), TkxEditViewData::StaticClass(), TkxEditStyle::StaticClass()});
  RegisterProps<TkxInplaceEdit>([](TPropBuilder<TkxInplaceEdit>& p) {
    // The value itself is stored by DefineProperties.
    p.Prop("Height", &TkxInplaceEdit::Height, &TkxInplaceEdit::SetHeight).Stored(false);
  });
}

void kxDoneContainer() {
  if (gShadowBrush) DeleteObject(gShadowBrush);
  gShadowBrush = nullptr;
}
