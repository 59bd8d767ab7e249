// Bitmap buttons and speed buttons.
#include "platform/controls/buttons.h"
#include <algorithm>
#include "platform/controls/menus.h"
#include "platform/controls/stdwnd_internal.h"

// ---- glyph and caption layout ----
TRect DrawButtonGlyph(TCanvas* Canvas, const TRect& Rect, TBitmap* Glyph, int NumGlyphs, TButtonState State,
                      const AnsiString& Caption, TButtonLayout Layout, int Margin, int Spacing, bool Enabled) {
  HDC dc = Canvas->Handle();
  int gw = 0, gh = 0;
  if (Glyph && !Glyph->Empty()) {
    gw = Glyph->Width() / std::max(1, NumGlyphs);
    gh = Glyph->Height();
  }
  RECT tr{0, 0, 0, 0};
  if (!Caption.empty()) {
    SelectObject(dc, Canvas->Font()->Handle());
    DrawTextA(dc, Caption.c_str(), int(Caption.size()), &tr, DT_SINGLELINE | DT_CALCRECT);
  }
  int tw = tr.right - tr.left, th = tr.bottom - tr.top;
  bool horz = Layout == blGlyphLeft || Layout == blGlyphRight;
  int total = horz ? Rect.Width() : Rect.Height();
  int gsize = horz ? gw : gh, tsize = horz ? tw : th;
  if (gsize == 0 || tsize == 0) Spacing = 0;
  int margin = Margin, spacing = Spacing;
  if (margin < 0) {
    if (spacing < 0) {
      // glyph, text and the three gaps share the room equally
      int gap = (total - gsize - tsize) / 3;
      margin = gap;
      spacing = gap;
    } else {
      margin = (total - gsize - tsize - spacing) / 2;
    }
  } else if (spacing < 0) {
    spacing = (total - margin - gsize - tsize) / 2;
  }
  margin = std::max(0, margin);
  // positions along the layout axis, from the start edge for left/top layouts
  int gpos, tpos;
  if (Layout == blGlyphLeft || Layout == blGlyphTop) {
    gpos = margin;
    tpos = margin + gsize + spacing;
  } else {
    gpos = total - margin - gsize;
    tpos = gpos - spacing - tsize;
  }
  TPoint gp, tp;
  if (horz) {
    gp = {Rect.left + gpos, Rect.top + (Rect.Height() - gh) / 2};
    tp = {Rect.left + tpos, Rect.top + (Rect.Height() - th) / 2};
  } else {
    gp = {Rect.left + (Rect.Width() - gw) / 2, Rect.top + gpos};
    tp = {Rect.left + (Rect.Width() - tw) / 2, Rect.top + tpos};
  }
  int shift = (State == bsDown || State == bsExclusive) ? 1 : 0;
  if (gw > 0) {
    // the strip's image for the state, or the up image when the strip is short
    int index = State == bsDisabled ? 1 : State == bsDown ? 2 : State == bsExclusive ? 3 : 0;
    if (index >= NumGlyphs) index = 0;
    TColor key = Glyph->TransparentColor();
    HDC src = Glyph->Canvas()->Handle();
    if (State == bsDisabled && NumGlyphs < 2) {
      // no disabled image: an embossed shape of the glyph's non-transparent pixels
      for (int pass = 0; pass < 2; ++pass) {
        int off = pass == 0 ? 1 : 0;
        COLORREF col = ColorToRGB(pass == 0 ? clBtnHighlight : clBtnShadow);
        for (int y = 0; y < gh; ++y)
          for (int x = 0; x < gw; ++x)
            if (GetPixel(src, index * gw + x, y) != ColorToRGB(key))
              SetPixel(dc, gp.x + x + off + shift, gp.y + y + off + shift, col);
      }
    } else {
      TransparentBlt(dc, gp.x + shift, gp.y + shift, gw, gh, src, index * gw, 0, gw, gh, ColorToRGB(key));
    }
  }
  TRect textRect{tp.x + shift, tp.y + shift, tp.x + shift + tw, tp.y + shift + th};
  if (tw > 0) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ResolveColor(COLORREF(Canvas->Font()->Color())));
    pvstd::DrawLabel(dc, Caption, textRect, DT_SINGLELINE | DT_CENTER | DT_VCENTER, Enabled);
  }
  return textRect;
}

namespace {
struct KindInfo {
  const char* Caption;
  TModalResult Result;
};
const KindInfo kKinds[] = {{"", mrNone},         {"OK", mrOk},          {"Cancel", mrCancel}, {"&Help", mrNone},
                           {"&Yes", mrYes},      {"&No", mrNo},         {"&Close", mrNone},   {"Abort", mrAbort},
                           {"&Retry", mrRetry},  {"&Ignore", mrIgnore}, {"&All", mrAll}};

// The kind's own 18x18 glyph, drawn in lines on a transparent olive ground.
std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind Kind) {
  if (Kind == bkCustom) return nullptr;
  auto b = std::make_unique<TBitmap>();
  b->SetSize(18, 18);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clOlive);
  c->FillRect(TRect{0, 0, 18, 18});
  c->Pen()->SetWidth(2);
  auto poly = [&](TColor col, std::initializer_list<TPoint> pts) {
    c->Pen()->SetColor(col);
    std::vector<TPoint> v(pts);
    c->Polyline(v.data(), int(v.size()));
  };
  switch (Kind) {
    case bkOK:
    case bkYes:
      poly(clGreen, {{3, 9}, {7, 13}, {15, 4}});
      break;
    case bkCancel:
    case bkNo:
    case bkAbort:
      poly(clRed, {{4, 4}, {14, 14}});
      poly(clRed, {{14, 4}, {4, 14}});
      break;
    case bkHelp:
      c->Font()->SetColor(clNavy);
      c->Font()->SetStyle(TFontStyles{fsBold});
      c->Brush()->SetStyle(bsClear);
      c->TextOut(5, 1, "?");
      break;
    case bkClose:
      c->Pen()->SetWidth(1);
      c->Brush()->SetColor(clTeal);
      c->Pen()->SetColor(clBlack);
      c->Rectangle(4, 2, 14, 17);
      break;
    case bkRetry:
      poly(clNavy, {{14, 5}, {10, 3}, {5, 4}, {3, 9}, {5, 14}, {10, 15}, {14, 12}});
      poly(clNavy, {{14, 2}, {14, 6}, {10, 6}});
      break;
    case bkIgnore:
      poly(clNavy, {{3, 9}, {15, 9}});
      break;
    case bkAll:
      poly(clGreen, {{2, 9}, {5, 12}, {10, 5}});
      poly(clGreen, {{8, 9}, {11, 12}, {16, 5}});
      break;
    default: break;
  }
  b->SetTransparentColor(clOlive);
  return b;
}
}  // namespace

// ---- TBitBtn ----
TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner), FGlyph(std::make_unique<TBitmap>()), FCanvas(std::make_unique<TCanvas>()) {
  FGlyph->OnChange = TNotifyEvent(this, &TBitBtn::GlyphChanged);
}

TBitBtn::~TBitBtn() { FGlyph->OnChange = nullptr; }

void TBitBtn::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  Params.Style = (Params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TBitBtn::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  // a strip of square images tells how many it holds
  if (Value && !Value->Empty() && Value->Height() > 0 && Value->Width() % Value->Height() == 0) {
    int n = Value->Width() / Value->Height();
    if (n >= 1 && n <= 4) FNumGlyphs = n;
  }
  Invalidate();
}

void TBitBtn::GlyphChanged(TObject*) { Invalidate(); }

void TBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  FKindGlyph.reset();
  if (Value != bkCustom) {
    SetCaption(kKinds[Value].Caption);
    SetModalResult(kKinds[Value].Result);
    SetDefault(Value == bkOK || Value == bkYes);
    SetCancel(Value == bkCancel || Value == bkNo);
  }
  Invalidate();
}

TBitmap* TBitBtn::ShownGlyph() {
  if (!FGlyph->Empty()) return FGlyph.get();
  if (FKind == bkCustom) return nullptr;
  if (!FKindGlyph) FKindGlyph = MakeKindGlyph(FKind);
  return FKindGlyph.get();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
  FLayout = Value;
  Invalidate();
}
void TBitBtn::SetMargin(int Value) {
  FMargin = std::max(-1, Value);
  Invalidate();
}
void TBitBtn::SetSpacing(int Value) {
  FSpacing = Value;
  Invalidate();
}
void TBitBtn::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  Invalidate();
}

void TBitBtn::Click() {
  if (FKind == bkClose) {
    if (TCustomForm* f = GetParentForm(this)) {
      f->Close();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::CNMeasureItem(TMessage& Message) {
  if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
    mis->itemWidth = UINT(Width());
    mis->itemHeight = UINT(Height());
  }
  Message.Result = 1;
}

void TBitBtn::CMFocusChanged2(TMessage& Message) {
  TButton::Dispatch(Message);
  Invalidate();
}

void TBitBtn::CNDrawItem(TMessage& Message) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!dis) return;
  HDC dc = dis->hDC;
  int saved = SaveDC(dc);
  FCanvas->SetHandle(dc);
  FCanvas->Font()->Assign(Font());
  bool pushed = (dis->itemState & ODS_SELECTED) != 0;
  bool focused = (dis->itemState & ODS_FOCUS) != 0;
  bool isDefault = FActive || focused;
  RECT r = dis->rcItem;
  if (isDefault) {
    // the default button's extra black frame
    FCanvas->Brush()->SetColor(clWindowFrame);
    FCanvas->FrameRect(r);
    r = pvstd::Inflate(r, -1, -1);
  }
  FCanvas->Brush()->SetColor(clBtnFace);
  FCanvas->FillRect(r);
  if (pushed) {
    FCanvas->Brush()->SetColor(clBtnShadow);
    FCanvas->FrameRect(r);
  } else {
    RECT e = r;
    DrawEdge(dc, &e, EDGE_RAISED, BF_RECT);
  }
  RECT inner = pvstd::Inflate(r, -2, -2);
  TButtonState state = !Enabled() ? bsDisabled : pushed ? bsDown : bsUp;
  FCanvas->Brush()->SetStyle(bsClear);
  DrawButtonGlyph(FCanvas.get(), inner, ShownGlyph(), FNumGlyphs, state, Caption(), FLayout, FMargin, FSpacing,
                  Enabled());
  if (focused) {
    RECT f = pvstd::Inflate(inner, -1, -1);
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->DrawFocusRect(f);
  }
  FCanvas->SetHandle(nullptr);
  RestoreDC(dc, saved);
  Message.Result = 1;
}

// ---- TSpeedButton ----
TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  TControlStyle cs = ControlStyle();
  // clicks are raised here once the press is resolved, not by the base class
  cs << csCaptureMouse << csDoubleClicks;
  cs >> csClickEvents;
  SetControlStyle(cs);
  SetBounds(Left(), Top(), 23, 22);
  FGlyph->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = nullptr; }

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::Paint() {
  TCanvas* c = Canvas();
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
  }
  c->Font()->Assign(Font());
  TRect r = ClientRect();
  bool pressed = FState == bsDown || FState == bsExclusive;
  if (!FFlat || !FTransparent) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(FState == bsExclusive && !FFlat ? clBtnHighlight : clBtnFace);
    c->FillRect(r);
  }
  HDC dc = c->Handle();
  RECT e = r;
  if (FFlat) {
    // a thin frame only when hot or down
    if (pressed) DrawEdge(dc, &e, BDR_SUNKENOUTER, BF_RECT);
    else if (FMouseIn && Enabled()) DrawEdge(dc, &e, BDR_RAISEDINNER, BF_RECT);
  } else {
    DrawEdge(dc, &e, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  TRect inner{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
  c->Brush()->SetStyle(bsClear);
  DrawButtonGlyph(c, inner, FGlyph.get(), FNumGlyphs, FState, Caption(), FLayout, FMargin, FSpacing, Enabled());
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  // the last down button of a group stays down unless all may be up
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) {
    if (FState == bsUp) Invalidate();
    FState = bsExclusive;
  } else {
    FState = bsUp;
    Repaint();
  }
  if (Value) UpdateExclusive();
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  TWinControl* p = Parent();
  if (!p || FGroupIndex == 0) return;
  for (int i = 0; i < p->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(p->Controls(i));
    if (!other || other == this || other->FGroupIndex != FGroupIndex) continue;
    if (FDown && other->FDown) {
      other->FDown = false;
      other->FState = bsUp;
      other->Invalidate();
    }
    other->FAllowAllUp = FAllowAllUp;
  }
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  TWinControl* p = Parent();
  if (!p || FGroupIndex == 0) return;
  for (int i = 0; i < p->ControlCount(); ++i)
    if (auto* other = dynamic_cast<TSpeedButton*>(p->Controls(i)))
      if (other->FGroupIndex == FGroupIndex) other->FAllowAllUp = Value;
}

void TSpeedButton::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (Value == 0 && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
  FFlat = Value;
  Invalidate();
}
void TSpeedButton::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 1, 4);
  Invalidate();
}
void TSpeedButton::SetLayout(TButtonLayout Value) {
  FLayout = Value;
  Invalidate();
}
void TSpeedButton::SetMargin(int Value) {
  FMargin = std::max(-1, Value);
  Invalidate();
}
void TSpeedButton::SetSpacing(int Value) {
  FSpacing = Value;
  Invalidate();
}
void TSpeedButton::SetTransparent(bool Value) {
  FTransparent = Value;
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
  TButtonState s = inside ? (FDown ? bsExclusive : bsDown) : (FDown ? bsExclusive : bsUp);
  if (s != FState) {
    FState = s;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
  if (FGroupIndex == 0) {
    FState = bsUp;
    Invalidate();
  } else if (inside) {
    SetDown(!FDown);
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  } else {
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  }
  if (inside) Click();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::CMMouseEnter2(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  FMouseIn = true;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMMouseLeave2(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  FMouseIn = false;
  if (FFlat && Enabled()) Invalidate();
}

void TSpeedButton::CMEnabledChanged4(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  FState = Enabled() ? (FDown ? bsExclusive : bsUp) : bsDisabled;
  Invalidate();
}

void TSpeedButton::CMDialogChar3(TMessage& Message) {
  if (Enabled() && Visible() && IsAccel(Word(Message.WParam), Caption())) {
    if (FGroupIndex != 0) SetDown(!FDown);
    Click();
    Message.Result = 1;
  }
}

void TSpeedButton::CMTextChanged5(TMessage& Message) {
  TGraphicControl::Dispatch(Message);
  Invalidate();
}

// ---- registration ----
void InitButtonsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TBitBtn::StaticClass(), TSpeedButton::StaticClass()});
  RegisterProps<TBitBtn>([](TPropBuilder<TBitBtn>& p) {
    p.Prop("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
    p.Prop("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
    p.Prop("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
    p.Prop("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
    p.Prop("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
    p.Prop("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
  });
  RegisterProps<TSpeedButton>([](TPropBuilder<TSpeedButton>& p) {
    PublishControlProps(p,
                        "Action Align Anchors BiDiMode Caption Constraints Enabled Font ParentBiDiMode ParentFont "
                        "ParentShowHint PopupMenu ShowHint Visible OnClick OnDblClick OnMouseDown OnMouseMove "
                        "OnMouseUp");
    // GroupIndex and AllowAllUp come before Down, which depends on them
    p.Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    p.Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
    p.Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
    p.Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
    p.Prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    p.Prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    p.Prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
    p.Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
    p.Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
    p.Prop("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(true);
  });
}
