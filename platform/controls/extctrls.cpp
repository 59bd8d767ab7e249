// Panels, bevels, shapes, images, the splitter, the radio group, the colour
// box and the scroll box.
#include "platform/controls/extctrls.h"
#include "platform/controls/webview.h"
#include <algorithm>
#include "platform/controls/stdwnd_internal.h"

// ---- Frame3D ----
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  --Rect.right;
  --Rect.bottom;
  for (int i = 0; i < Width; ++i) {
    Canvas->Pen()->SetColor(TopColor);
    TPoint tl[3] = {{Rect.left, Rect.bottom}, {Rect.left, Rect.top}, {Rect.right, Rect.top}};
    Canvas->Polyline(tl, 3);
    Canvas->Pen()->SetColor(BottomColor);
    TPoint br[3] = {{Rect.right, Rect.top}, {Rect.right, Rect.bottom}, {Rect.left - 1, Rect.bottom}};
    Canvas->Polyline(br, 3);
    ++Rect.left;
    ++Rect.top;
    --Rect.right;
    --Rect.bottom;
  }
  ++Rect.right;
  ++Rect.bottom;
}

// ---- TCustomPanel ----
TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs << csAcceptsControls << csCaptureMouse << csClickEvents << csSetCaption << csOpaque << csDoubleClicks
     << csReplicatable;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 185, 41);
  SetColor(clBtnFace);
  SetParentColor(false);
}

namespace {
void BevelColors(TPanelBevel Bevel, TColor Face, TColor& Top, TColor& Bottom) {
  Top = Bevel == bvLowered ? clBtnShadow : Bevel == bvRaised ? clBtnHighlight : Face;
  Bottom = Bevel == bvLowered ? clBtnHighlight : Bevel == bvRaised ? clBtnShadow : Face;
}
}  // namespace

int TCustomPanel::FrameWidth() const {
  return (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  int w = FrameWidth();
  Rect.left += w;
  Rect.top += w;
  Rect.right = std::max(Rect.left, Rect.right - w);
  Rect.bottom = std::max(Rect.top, Rect.bottom - w);
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  TColor top, bottom;
  if (FBevelOuter != bvNone) {
    BevelColors(FBevelOuter, Color(), top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  if (BorderWidth() > 0) Frame3D(c, r, Color(), Color(), BorderWidth());
  if (FBevelInner != bvNone) {
    BevelColors(FBevelInner, Color(), top, bottom);
    Frame3D(c, r, top, bottom, FBevelWidth);
  }
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  AnsiString text = Caption();
  if (text.empty()) return;
  c->Font()->Assign(Font());
  HDC dc = c->Handle();
  SelectObject(dc, c->Font()->Handle());
  UINT flags = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS |
               (FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ResolveColor(COLORREF(Font()->Color())));
  pvstd::DrawLabel(dc, text, r, flags, Enabled());
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  FBevelInner = Value;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  FBevelOuter = Value;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelWidth(int Value) {
  FBevelWidth = std::max(1, Value);
  Realign();
  Invalidate();
}
void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (Value != bsNone && Value != bsSingle) throw EInvalidOperation("A panel's border is bsNone or bsSingle");
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}
void TCustomPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}
void TCustomPanel::CMTextChanged4(TMessage& Message) {
  TCustomControl::Dispatch(Message);
  Invalidate();
}

// ---- TBevel ----
TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs << csReplicatable;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 50, 50);
}

void TBevel::SetStyle(TBevelStyle Value) {
  FStyle = Value;
  Invalidate();
}
void TBevel::SetShape(TBevelShape Value) {
  FShape = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  int w = Width(), h = Height();
  auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(col);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  c->Pen()->SetWidth(1);
  switch (FShape) {
    case bsBox: {
      TRect r{0, 0, w, h};
      Frame3D(c, r, c1, c2, 1);
      break;
    }
    case bsFrame: {
      // an etched frame: two offset rectangles
      TRect r{1, 1, w, h};
      Frame3D(c, r, c2, c2, 1);
      r = TRect{0, 0, w - 1, h - 1};
      Frame3D(c, r, c1, c1, 1);
      break;
    }
    case bsTopLine:
      line(c1, 0, 0, w, 0);
      line(c2, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(c1, 0, h - 2, w, h - 2);
      line(c2, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(c1, 0, 0, 0, h);
      line(c2, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(c1, w - 2, 0, w - 2, h);
      line(c2, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

// ---- TShape ----
TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  TControlStyle cs = ControlStyle();
  cs << csReplicatable;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 65, 65);
  FPen->OnChange = TNotifyEvent(this, &TShape::StyleChanged);
  FBrush->OnChange = TNotifyEvent(this, &TShape::StyleChanged);
}

TShape::~TShape() {
  FPen->OnChange = nullptr;
  FBrush->OnChange = nullptr;
}

void TShape::StyleChanged(TObject*) { Invalidate(); }

void TShape::SetShape(TShapeType Value) {
  FShape = Value;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* c = Canvas();
  c->SetPen(FPen.get());
  c->SetBrush(FBrush.get());
  int pw = FPen->Width();
  int x = pw / 2, y = x;
  int w = Width() - pw + 1, h = Height() - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  if (w < h && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
    y += (h - w) / 2;
    h = w;
  } else if (h < w && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
    x += (w - h) / 2;
    w = h;
  }
  switch (FShape) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
  }
}

// ---- TImage ----
TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
  TControlStyle cs = ControlStyle();
  cs << csReplicatable;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 105, 105);
  FPicture->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

TRect TImage::DestRect() {
  int w = FPicture->Width(), h = FPicture->Height();
  int cw = Width(), ch = Height();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      // the largest size of the picture's shape that fits
      if (double(cw) / w < double(ch) / h) {
        h = int(double(h) * cw / w);
        w = cw;
      } else {
        w = int(double(w) * ch / h);
        h = ch;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r{0, 0, w, h};
  if (FCenter) {
    int dx = (cw - w) / 2, dy = (ch - h) / 2;
    r = TRect{dx, dy, dx + w, dy + h};
  }
  return r;
}

void TImage::Paint() {
  TGraphic* g = FPicture->Graphic();
  if (!g || g->Empty()) return;
  TCanvas* c = Canvas();
  TRect r = DestRect();
  if (r.Width() <= 0 || r.Height() <= 0) return;
  bool wasTransparent = g->Transparent();
  FDrawing = true;
  if (wasTransparent != FTransparent) g->SetTransparent(FTransparent);
  try {
    c->StretchDraw(r, g);
  } catch (...) {
    if (wasTransparent != FTransparent) g->SetTransparent(wasTransparent);
    FDrawing = false;
    throw;
  }
  if (wasTransparent != FTransparent) g->SetTransparent(wasTransparent);
  FDrawing = false;
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (FPicture->Width() <= 0 || FPicture->Height() <= 0) return false;
  NewWidth = FPicture->Width();
  NewHeight = FPicture->Height();
  return true;
}

void TImage::PictureChanged(TObject*) {
  if (FDrawing) return;
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  Invalidate();
}

void TImage::SetStretch(bool Value) {
  FStretch = Value;
  Invalidate();
}
void TImage::SetCenter(bool Value) {
  FCenter = Value;
  Invalidate();
}
void TImage::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}
void TImage::SetProportional(bool Value) {
  FProportional = Value;
  Invalidate();
}

// ---- TSplitter ----
TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs << csCaptureMouse;
  SetControlStyle(cs);
  SetAlign(alLeft);
  SetBounds(Left(), Top(), 3, 100);
  SetCursor(crHSplit);
  SetParentColor(true);
}

void TSplitter::SetMinSize(int Value) { FMinSize = std::max(1, Value); }

void TSplitter::RequestAlign() {
  TGraphicControl::RequestAlign();
  SetCursor(FAlign == alTop || FAlign == alBottom ? crVSplit : crHSplit);
}

void TSplitter::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  if (OnPaint) OnPaint(this);
}

// The visible control of the same alignment whose edge touches the splitter.
TControl* TSplitter::FindControl() {
  TWinControl* p = Parent();
  if (!p) return nullptr;
  TPoint edge;
  switch (FAlign) {
    case alLeft: edge = {Left() - 1, Top()}; break;
    case alRight: edge = {Left() + Width(), Top()}; break;
    case alTop: edge = {Left(), Top() - 1}; break;
    case alBottom: edge = {Left(), Top() + Height()}; break;
    default: return nullptr;
  }
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (c == this || !c->Visible() || c->Align() != FAlign) continue;
    TRect r = c->BoundsRect();
    // a zero-sized neighbour (snapped shut) still counts
    if (r.Width() == 0) r.right = r.left + 1;
    if (r.Height() == 0) r.bottom = r.top + 1;
    if (edge.x >= r.left && edge.x < r.right && edge.y >= r.top && edge.y < r.bottom) return c;
  }
  return nullptr;
}

bool TSplitter::DoCanResize(int& NewSize) {
  bool accept = true;
  if (OnCanResize) OnCanResize(this, NewSize, accept);
  if (accept && NewSize <= FMinSize && FAutoSnap) NewSize = 0;
  return accept;
}

void TSplitter::CalcSplitSize(int X, int Y, int& NewSize, int& Split) {
  int s = (FAlign == alLeft || FAlign == alRight) ? X - FDownPos.x : Y - FDownPos.y;
  Split = s;
  switch (FAlign) {
    case alLeft: s = FControl->Width() + Split; break;
    case alRight: s = FControl->Width() - Split; break;
    case alTop: s = FControl->Height() + Split; break;
    case alBottom: s = FControl->Height() - Split; break;
    default: break;
  }
  NewSize = s;
  if (s < FMinSize) NewSize = FMinSize;
  else if (s > FMaxSize) NewSize = FMaxSize;
  if (s != NewSize) {
    // keep the line where the size stops
    s = (FAlign == alRight || FAlign == alBottom) ? s - NewSize : NewSize - s;
    Split += s;
  }
}

void TSplitter::DrawLine() {
  TWinControl* p = Parent();
  if (!p) return;
  FLineVisible = !FLineVisible;
  TRect r;
  if (FAlign == alLeft || FAlign == alRight)
    r = TRect{Left() + FSplit, Top(), Left() + FSplit + Width(), Top() + Height()};
  else
    r = TRect{Left(), Top() + FSplit, Left() + Width(), Top() + FSplit + Height()};
  TPoint o = p->ClientToScreen({0, 0});
  HDC dc = GetDCEx(nullptr, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!dc) return;
  HBRUSH brush = FResizeStyle == rsPattern ? CreateHatchBrush(HS_DIAGCROSS, RGB(255, 255, 255))
                                           : CreateSolidBrush(RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, o.x + r.left, o.y + r.top, r.Width(), r.Height(), PATINVERT);
  SelectObject(dc, old);
  DeleteObject(brush);
  ReleaseDC(nullptr, dc);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FControl = FindControl();
  FDownPos = {X, Y};
  if (!FControl) return;
  TWinControl* p = Parent();
  bool horz = FAlign == alLeft || FAlign == alRight;
  // what the parent has room for once the other side-aligned controls are placed
  FMaxSize = (horz ? p->ClientWidth() : p->ClientHeight()) - FMinSize;
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (!c->Visible()) continue;
    if (horz && (c->Align() == alLeft || c->Align() == alRight)) FMaxSize -= c->Width();
    if (!horz && (c->Align() == alTop || c->Align() == alBottom)) FMaxSize -= c->Height();
  }
  FMaxSize += horz ? FControl->Width() : FControl->Height();
  FOldSize = horz ? FControl->Width() : FControl->Height();
  FNewSize = FOldSize;
  FSplit = 0;
  FSizing = true;
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FSizing || !FControl || !Shift.Contains(ssLeft)) return;
  int newSize = 0, split = 0;
  CalcSplitSize(X, Y, newSize, split);
  if (!DoCanResize(newSize)) return;
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();  // erase
  FNewSize = newSize;
  FSplit = split;
  if (FResizeStyle == rsUpdate) UpdateControlSize();
  if (FResizeStyle == rsLine || FResizeStyle == rsPattern) DrawLine();
}

void TSplitter::UpdateControlSize() {
  if (!FControl || FNewSize == FOldSize) return;
  TWinControl* p = Parent();
  if (p) p->DisableAlign();
  switch (FAlign) {
    case alLeft: FControl->SetWidth(FNewSize); break;
    case alRight:
      FControl->SetBounds(FControl->Left() + FControl->Width() - FNewSize, FControl->Top(), FNewSize,
                          FControl->Height());
      break;
    case alTop: FControl->SetHeight(FNewSize); break;
    case alBottom:
      FControl->SetBounds(FControl->Left(), FControl->Top() + FControl->Height() - FNewSize, FControl->Width(),
                          FNewSize);
      break;
    default: break;
  }
  if (p) p->EnableAlign();
  // the line now starts again from the splitter's new place
  FDownPos.x += (FAlign == alLeft ? FNewSize - FOldSize : FAlign == alRight ? FOldSize - FNewSize : 0);
  FDownPos.y += (FAlign == alTop ? FNewSize - FOldSize : FAlign == alBottom ? FOldSize - FNewSize : 0);
  FOldSize = FNewSize;
  FSplit = 0;
  if (OnMoved) OnMoved(this);
}

void TSplitter::StopSizing() {
  if (FLineVisible) DrawLine();
  FSizing = false;
  FControl = nullptr;
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FSizing) return;
  if (FLineVisible) DrawLine();
  UpdateControlSize();
  StopSizing();
}

void TSplitter::WMCancelMode2(TMessage& Message) {
  // a lost capture ends the drag without resizing
  StopSizing();
  TGraphicControl::Dispatch(Message);
}

// ---- TCustomRadioGroup ----
TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
  SetBounds(Left(), Top(), 185, 105);
  FItems->OnChange = [this](TObject* s) { ItemsChanged(s); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
  FItems->OnChange = nullptr;
  // the buttons are owned components and go with the group
  for (TRadioButton* b : FButtons) b->OnClick = nullptr;
}

void TCustomRadioGroup::ItemsChanged(TObject*) {
  if (ComponentState().Contains(csLoading)) return;
  if (FItemIndex >= FItems->GetCount()) FItemIndex = FItems->GetCount() - 1;
  UpdateButtons();
}

void TCustomRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  if (FItemIndex >= FItems->GetCount()) FItemIndex = -1;
  UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
  FUpdating = true;
  int n = FItems->GetCount();
  while (int(FButtons.size()) > n) {
    TRadioButton* b = FButtons.back();
    FButtons.pop_back();
    b->SetParent(nullptr);
    delete b;
  }
  while (int(FButtons.size()) < n) {
    auto* b = new TRadioButton(this);
    b->OnClick = TNotifyEvent(this, &TCustomRadioGroup::ButtonClick);
    b->SetParent(this);
    FButtons.push_back(b);
  }
  for (int i = 0; i < n; ++i) {
    FButtons[i]->SetCaption(FItems->Get(i));
    FButtons[i]->SetEnabled(Enabled());
    FButtons[i]->SetChecked(i == FItemIndex);
  }
  FUpdating = false;
  ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons() {
  if (FButtons.empty()) return;
  int fh = pvstd::MeasureFont(Font()->Handle()).height;
  int cols = std::max(1, FColumns);
  int rows = (int(FButtons.size()) + cols - 1) / cols;
  int colWidth = (Width() - 10) / cols;
  int space = std::max(0, Height() - fh - 5);
  int rowHeight = space / std::max(1, rows);
  int top = fh + std::max(0, (space - rowHeight * rows) / 2);
  for (std::size_t i = 0; i < FButtons.size(); ++i) {
    int col = int(i) / rows, row = int(i) % rows;
    FButtons[i]->SetBounds(col * colWidth + 8, top + row * rowHeight + (rowHeight - fh) / 2, colWidth,
                           std::max(fh, 16));
  }
}

void TCustomRadioGroup::ButtonClick(TObject* Sender) {
  if (FUpdating) return;
  for (std::size_t i = 0; i < FButtons.size(); ++i)
    if (FButtons[i] == Sender && FButtons[i]->Checked()) {
      FItemIndex = int(i);
      Click();
      return;
    }
}

void TCustomRadioGroup::SetItemIndex(int Value) {
  if (ComponentState().Contains(csLoading)) {
    FItemIndex = Value;
    return;
  }
  if (Value < -1 || Value >= FItems->GetCount()) return;
  if (Value == FItemIndex) return;
  FUpdating = true;
  if (FItemIndex >= 0 && FItemIndex < int(FButtons.size())) FButtons[FItemIndex]->SetChecked(false);
  FItemIndex = Value;
  if (Value >= 0 && Value < int(FButtons.size())) FButtons[Value]->SetChecked(true);
  FUpdating = false;
}

void TCustomRadioGroup::SetColumns(int Value) {
  Value = std::clamp(Value, 1, 16);
  if (FColumns == Value) return;
  FColumns = Value;
  ArrangeButtons();
  Invalidate();
}

void TCustomRadioGroup::WMSize2(TWMSize& Message) {
  TCustomGroupBox::Dispatch(Message);
  ArrangeButtons();
}

void TCustomRadioGroup::CMEnabledChanged3(TMessage& Message) {
  TCustomGroupBox::Dispatch(Message);
  for (TRadioButton* b : FButtons) b->SetEnabled(Enabled());
}

void TCustomRadioGroup::CMFontChanged5(TMessage& Message) {
  TCustomGroupBox::Dispatch(Message);
  ArrangeButtons();
}

// ---- TCustomColorBox ----
namespace {
struct NamedColor {
  TColor Color;
  const char* Name;
  const char* Pretty;
};
// The sixteen standard colours, then the four extended ones.
const NamedColor kStandardColors[] = {
    {clBlack, "clBlack", "Black"},     {clMaroon, "clMaroon", "Maroon"}, {clGreen, "clGreen", "Green"},
    {clOlive, "clOlive", "Olive"},     {clNavy, "clNavy", "Navy"},       {clPurple, "clPurple", "Purple"},
    {clTeal, "clTeal", "Teal"},        {clGray, "clGray", "Gray"},       {clSilver, "clSilver", "Silver"},
    {clRed, "clRed", "Red"},           {clLime, "clLime", "Lime"},       {clYellow, "clYellow", "Yellow"},
    {clBlue, "clBlue", "Blue"},        {clFuchsia, "clFuchsia", "Fuchsia"}, {clAqua, "clAqua", "Aqua"},
    {clWhite, "clWhite", "White"}};
const NamedColor kExtendedColors[] = {{clMoneyGreen, "clMoneyGreen", "Money Green"},
                                      {clSkyBlue, "clSkyBlue", "Sky Blue"},
                                      {clCream, "clCream", "Cream"},
                                      {clMedGray, "clMedGray", "Medium Gray"}};
const NamedColor kSystemColors[] = {
    {clScrollBar, "clScrollBar", "Scroll Bar"}, {clBackground, "clBackground", "Background"},
    {clActiveCaption, "clActiveCaption", "Active Caption"}, {clInactiveCaption, "clInactiveCaption", "Inactive Caption"},
    {clMenu, "clMenu", "Menu"}, {clWindow, "clWindow", "Window"}, {clWindowFrame, "clWindowFrame", "Window Frame"},
    {clMenuText, "clMenuText", "Menu Text"}, {clWindowText, "clWindowText", "Window Text"},
    {clCaptionText, "clCaptionText", "Caption Text"}, {clActiveBorder, "clActiveBorder", "Active Border"},
    {clInactiveBorder, "clInactiveBorder", "Inactive Border"}, {clAppWorkSpace, "clAppWorkSpace", "Application Workspace"},
    {clHighlight, "clHighlight", "Highlight"}, {clHighlightText, "clHighlightText", "Highlight Text"},
    {clBtnFace, "clBtnFace", "Button Face"}, {clBtnShadow, "clBtnShadow", "Button Shadow"},
    {clGrayText, "clGrayText", "Gray Text"}, {clBtnText, "clBtnText", "Button Text"},
    {clInactiveCaptionText, "clInactiveCaptionText", "Inactive Caption Text"},
    {clBtnHighlight, "clBtnHighlight", "Button Highlight"}, {cl3DDkShadow, "cl3DDkShadow", "3D Dark Shadow"},
    {cl3DLight, "cl3DLight", "3D Light"}, {clInfoText, "clInfoText", "Info Text"},
    {clInfoBk, "clInfoBk", "Info Background"}, {clHotLight, "clHotLight", "Hot Light"},
    {clGradientActiveCaption, "clGradientActiveCaption", "Gradient Active Caption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption", "Gradient Inactive Caption"},
    {clMenuHighlight, "clMenuHighlight", "Menu Highlight"}, {clMenuBar, "clMenuBar", "Menu Bar"}};
const char* const kCustomName = "Custom...";
TPickColorProc gPickColor = nullptr;

TObject* ColorData(TColor c) { return reinterpret_cast<TObject*>(static_cast<std::uintptr_t>(std::uint32_t(c))); }
TColor DataColor(TObject* o) { return TColor(std::uint32_t(reinterpret_cast<std::uintptr_t>(o))); }
}  // namespace

void SetColorBoxPickProc(TPickColorProc Proc) { gPickColor = Proc; }

TCustomColorBox::TCustomColorBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  FStyle << cbStandardColors << cbExtendedColors << cbSystemColors;
  TCustomComboBox::SetStyle(csOwnerDrawFixed);
}

void TCustomColorBox::CreateWndDone() {
  TCustomComboBox::CreateWndDone();
  if (FItems->GetCount() == 0) PopulateList();
}

void TCustomColorBox::PopulateList() {
  if (!HandleAllocated()) return;
  TColor keep = FSelectedColor;
  FItems->Clear();
  bool pretty = FStyle.Contains(cbPrettyNames);
  auto add = [&](const AnsiString& name, TColor c) { FItems->AddObject(name, ColorData(c)); };
  if (FStyle.Contains(cbCustomColor)) add(kCustomName, FCustomColor);
  if (FStyle.Contains(cbIncludeNone)) add(pretty ? "None" : "clNone", clNone);
  if (FStyle.Contains(cbIncludeDefault)) add(pretty ? "Default" : "clDefault", clDefault);
  if (FStyle.Contains(cbStandardColors))
    for (const NamedColor& n : kStandardColors) add(pretty ? n.Pretty : n.Name, n.Color);
  if (FStyle.Contains(cbExtendedColors))
    for (const NamedColor& n : kExtendedColors) add(pretty ? n.Pretty : n.Name, n.Color);
  if (FStyle.Contains(cbSystemColors))
    for (const NamedColor& n : kSystemColors) add(pretty ? n.Pretty : n.Name, n.Color);
  SetSelected(keep);
}

void TCustomColorBox::SetStyle(TColorBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  PopulateList();
}

TColor TCustomColorBox::Colors(int Index) {
  if (Index < 0 || Index >= FItems->GetCount()) throw EListError("Colour index out of range");
  return DataColor(FItems->GetObject(Index));
}

AnsiString TCustomColorBox::ColorNames(int Index) {
  if (Index < 0 || Index >= FItems->GetCount()) throw EListError("Colour index out of range");
  return FItems->Get(Index);
}

TColor TCustomColorBox::Selected() {
  if (!HandleAllocated()) return FSelectedColor;
  int i = ItemIndex();
  return i >= 0 ? DataColor(FItems->GetObject(i)) : FSelectedColor;
}

void TCustomColorBox::SetSelected(TColor Value) {
  FSelectedColor = Value;
  if (!HandleAllocated()) return;
  bool custom = FStyle.Contains(cbCustomColor);
  for (int i = custom ? 1 : 0; i < FItems->GetCount(); ++i)
    if (DataColor(FItems->GetObject(i)) == Value) {
      SetItemIndex(i);
      FLastIndex = i;
      return;
    }
  if (custom) {
    // a colour not in the list becomes the custom entry
    FCustomColor = Value;
    FItems->PutObject(0, ColorData(Value));
    SetItemIndex(0);
    FLastIndex = 0;
    Invalidate();
  } else {
    SetItemIndex(-1);
    FLastIndex = -1;
  }
}

bool TCustomColorBox::PickCustomColor() {
  TColor c = FCustomColor;
  bool accept = false;
  if (OnGetCustomColor) OnGetCustomColor(this, c, accept);
  else if (gPickColor) accept = gPickColor(c);
  if (!accept) return false;
  FCustomColor = c;
  FItems->PutObject(0, ColorData(c));
  FSelectedColor = c;
  Invalidate();
  return true;
}

void TCustomColorBox::CNCommand2(TWMCommand& Message) {
  if (SHORT(Message.NotifyCode()) == CBN_SELCHANGE && FStyle.Contains(cbCustomColor) && ItemIndex() == 0) {
    // "Custom..." asks for a colour; cancelling goes back to the previous choice
    if (!PickCustomColor()) {
      SetItemIndex(FLastIndex);
      return;
    }
  }
  if (SHORT(Message.NotifyCode()) == CBN_SELCHANGE) {
    FLastIndex = ItemIndex();
    if (FLastIndex >= 0) FSelectedColor = DataColor(FItems->GetObject(FLastIndex));
  }
  TCustomComboBox::CNCommand(Message);
}

void TCustomColorBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TCanvas* c = Canvas();
  if (State.Contains(odSelected)) {
    c->Brush()->SetColor(clHighlight);
    c->Font()->SetColor(clHighlightText);
  }
  c->FillRect(Rect);
  if (Index < 0 || Index >= FItems->GetCount()) return;
  TColor col = DataColor(FItems->GetObject(Index));
  if (col == clNone) col = FNoneColorColor;
  else if (col == clDefault) col = FDefaultColorColor;
  int h = Rect.Height();
  TRect sw{Rect.left + 1, Rect.top + 1, Rect.left + 1 + h - 2 + (h - 2) / 2, Rect.bottom - 1};
  TColor textColor = c->Font()->Color();
  TColor back = c->Brush()->Color();
  c->Brush()->SetColor(col);
  c->Pen()->SetColor(clBlack);
  c->Rectangle(sw);
  c->Brush()->SetColor(back);
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(textColor);
  TRect tr{sw.right + 4, Rect.top, Rect.right, Rect.bottom};
  c->TextRect(tr, FItems->Get(Index), DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// ---- TScrollBox ----
TScrollBox::TScrollBox(TComponent* AOwner) : TScrollingWinControl(AOwner) {
  TControlStyle cs = ControlStyle();
  cs << csAcceptsControls << csCaptureMouse << csClickEvents << csSetCaption << csDoubleClicks;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 185, 41);
  SetAutoScroll(true);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
  if (Value != bsNone && Value != bsSingle) throw EInvalidOperation("A scroll box's border is bsNone or bsSingle");
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& Params) {
  TScrollingWinControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

// ---- TScrollBar ----
TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "SCROLLBAR");
  Params.Style |= FKind == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWndDone() { UpdateWindow(); }

void TScrollBar::UpdateWindow() {
  if (!HandleAllocated()) return;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = FMin;
  si.nMax = FMax;
  si.nPage = UINT(FPageSize);
  si.nPos = FPosition;
  SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  // a new orientation swaps width and height (a description gives the final size)
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  if (HandleAllocated()) RecreateWnd();
}

void TScrollBar::SetPageSize(int Value) {
  if (Value < 0 || Value > FMax - FMin + 1) throw EInvalidOperation("Scroll bar page size out of range");
  FPageSize = Value;
  UpdateWindow();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMin > AMax) throw EInvalidOperation("Scroll bar property out of range");
  APosition = std::clamp(APosition, AMin, AMax);
  bool changed = APosition != FPosition;
  FMin = AMin;
  FMax = AMax;
  FPosition = APosition;
  if (FPageSize > FMax - FMin + 1) FPageSize = FMax - FMin + 1;
  UpdateWindow();
  if (changed) Change();
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TMessage& Message) {
  unsigned code = LOWORD(Message.WParam);
  int pos = FPosition;
  TScrollCode sc = scEndScroll;
  // the largest position a full page allows
  int top = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
  switch (code) {
    case SB_LINEUP: sc = scLineUp; pos -= FSmallChange; break;
    case SB_LINEDOWN: sc = scLineDown; pos += FSmallChange; break;
    case SB_PAGEUP: sc = scPageUp; pos -= FLargeChange; break;
    case SB_PAGEDOWN: sc = scPageDown; pos += FLargeChange; break;
    case SB_THUMBPOSITION: sc = scPosition; pos = short(HIWORD(Message.WParam)); break;
    case SB_THUMBTRACK: sc = scTrack; pos = short(HIWORD(Message.WParam)); break;
    case SB_TOP: sc = scTop; pos = FMin; break;
    case SB_BOTTOM: sc = scBottom; pos = top; break;
    default: sc = scEndScroll; break;
  }
  if (sc == scPosition || sc == scTrack) {
    // the 16-bit position of the message loses large ranges; ask the window
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(Handle(), SB_CTL, &si)) pos = si.nTrackPos;
  }
  pos = std::clamp(pos, FMin, std::max(FMin, top));
  Scroll(sc, pos);
  SetPosition(pos);
  Message.Result = 0;
}

// ---- registration ----

namespace {
constexpr const char* kGraphicCommon =
    "Align Anchors Constraints Cursor DragCursor DragKind DragMode Enabled ParentShowHint PopupMenu ShowHint "
    "Visible OnClick OnContextPopup OnDblClick OnDragDrop OnDragOver OnEndDrag OnMouseDown OnMouseMove "
    "OnMouseUp OnStartDrag";
constexpr const char* kContainerCommon =
    "Align Anchors BiDiMode Color Constraints Ctl3D Cursor DockSite DragCursor DragKind DragMode Enabled Font "
    "ParentBiDiMode ParentColor ParentCtl3D ParentFont ParentShowHint PopupMenu ShowHint TabOrder TabStop "
    "Visible BorderWidth OnClick OnContextPopup OnDblClick OnDragDrop OnDragOver OnEndDrag OnEnter OnExit "
    "OnMouseDown OnMouseMove OnMouseUp OnResize OnStartDrag";
constexpr const char* kWinCommon2 =
    "Align Anchors Color Constraints Ctl3D Cursor DragCursor DragKind DragMode Enabled Font ImeMode ImeName "
    "ParentColor ParentCtl3D ParentFont ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible "
    "OnClick OnContextPopup OnDblClick OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress "
    "OnKeyUp OnMouseDown OnMouseMove OnMouseUp OnStartDrag";
// PublishControlProps knows no DockSite; drop it.
AnsiString Without(const char* names, const char* drop) {
  AnsiString s = names;
  AnsiString d = drop;
  std::size_t at = s.find(d);
  if (at != AnsiString::npos) s.erase(at, d.size());
  return s;
}
}  // namespace

void InitExtCtrlsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TCustomPanel::StaticClass(), TPanel::StaticClass(), TBevel::StaticClass(), TShape::StaticClass(),
                   TImage::StaticClass(), TSplitter::StaticClass(), TCustomRadioGroup::StaticClass(),
                   TRadioGroup::StaticClass(), TCustomColorBox::StaticClass(), TColorBox::StaticClass(),
                   TScrollBox::StaticClass(), TScrollBar::StaticClass(), TWebView::StaticClass()});
  const AnsiString container = Without(kContainerCommon, "DockSite ");
  RegisterProps<TWebView>([&](TPropBuilder<TWebView>& p) {
    PublishControlProps(p, "Align Anchors Constraints Cursor Enabled Font ParentFont PopupMenu TabOrder TabStop Visible");
    p.Field("OnDocumentComplete", &TWebView::OnDocumentComplete);
  });
  RegisterProps<TCustomPanel>([&](TPropBuilder<TCustomPanel>& p) {
    PublishControlProps(p, container.c_str(), {.Color = clBtnFace, .ParentColor = false});
    PublishControlProps(p, "Caption AutoSize DoubleBuffered");
    p.Prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
    p.Prop("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
    p.Prop("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
    p.Prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
    p.Prop("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).Default(bsNone);
    p.Prop("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
  });
  RegisterProps<TBevel>([](TPropBuilder<TBevel>& p) {
    PublishControlProps(p, "Align Anchors Constraints ParentShowHint ShowHint Visible");
    p.Prop("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
    p.Prop("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
  });
  RegisterProps<TShape>([](TPropBuilder<TShape>& p) {
    PublishControlProps(p, kGraphicCommon);
    p.Prop("Brush", &TShape::Brush, &TShape::SetBrush);
    p.Prop("Pen", &TShape::Pen, &TShape::SetPen);
    p.Prop("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
  });
  RegisterProps<TImage>([](TPropBuilder<TImage>& p) {
    PublishControlProps(p, kGraphicCommon);
    PublishControlProps(p, "AutoSize");
    p.Prop("Center", &TImage::Center, &TImage::SetCenter).Default(false);
    p.Prop("Picture", &TImage::Picture, &TImage::SetPicture);
    p.Prop("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
    p.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    p.Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
  });
  RegisterProps<TSplitter>([](TPropBuilder<TSplitter>& p) {
    PublishControlProps(p, "Align Color Constraints ParentColor ParentShowHint ShowHint Visible");
    p.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alLeft);
    p.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crHSplit).Idents(CursorIdentMap());
    p.Prop("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap).Default(true);
    p.Prop("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Default(30);
    p.Prop("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
    p.Field("OnCanResize", &TSplitter::OnCanResize);
    p.Field("OnMoved", &TSplitter::OnMoved);
    p.Field("OnPaint", &TSplitter::OnPaint);
  });
  RegisterProps<TCustomRadioGroup>([](TPropBuilder<TCustomRadioGroup>& p) {
    p.Prop("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns).Default(1);
    // Items come before ItemIndex so the index is checked against them
    p.Prop("Items", &TCustomRadioGroup::Items, &TCustomRadioGroup::SetItems);
    p.Prop("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex).Default(-1);
  });
  RegisterProps<TCustomColorBox>([](TPropBuilder<TCustomColorBox>& p) {
    // the colour box owns its list and its drawing style
    p.Prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems).Stored(false);
    p.Prop("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Stored(false);
    p.Prop("Style", &TCustomColorBox::Style, &TCustomColorBox::SetStyle)
        .Default(TColorBoxStyle{cbStandardColors, cbExtendedColors, cbSystemColors});
    p.Prop("Selected", &TCustomColorBox::Selected, &TCustomColorBox::SetSelected)
        .Default(clBlack)
        .Idents(ColorIdentMap());
    p.Prop("DefaultColorColor", &TCustomColorBox::DefaultColorColor, &TCustomColorBox::SetDefaultColorColor)
        .Default(clBlack)
        .Idents(ColorIdentMap());
    p.Prop("NoneColorColor", &TCustomColorBox::NoneColorColor, &TCustomColorBox::SetNoneColorColor)
        .Default(clBlack)
        .Idents(ColorIdentMap());
    p.Field("OnGetCustomColor", &TCustomColorBox::OnGetCustomColor);
  });
  RegisterProps<TScrollBox>([&](TPropBuilder<TScrollBox>& p) {
    PublishControlProps(p, container.c_str());
    p.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(true);
    p.Prop("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle);
  });
  RegisterProps<TScrollBar>([](TPropBuilder<TScrollBar>& p) {
    PublishControlProps(p, kWinCommon2, {.TabStop = true});
    PublishControlProps(p, "BiDiMode ParentBiDiMode");
    p.Prop("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
    p.Prop("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
    p.Prop("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
    p.Prop("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
    p.Prop("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
    p.Prop("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
    p.Prop("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
    p.Field("OnChange", &TScrollBar::OnChange);
    p.Field("OnScroll", &TScrollBar::OnScroll);
  });
}
