// Large buttons (a big glyph with the caption beside, above or below it, in
// gray scale until hot) and colour combos (sixteen standard colours, an
// automatic colour and the colour dialog).
#include <algorithm>
#include <memory>

#include "bars/kxbaritemsext.h"
#include "platform/rtl/strings.h"

namespace kxbaritemsbtn {

int TextWidthIn(TCustomkxBarControl* Bar, const AnsiString& S) {
  if (!Bar || !Bar->HandleAllocated()) return 0;
  SIZE s{};
  GetTextExtentPoint32A(Bar->FontDC(), S.c_str(), int(S.size()), &s);
  return s.cx;
}

int TextHeightIn(TCustomkxBarControl* Bar) {
  if (!Bar || !Bar->HandleAllocated()) return 0;
  SIZE s{};
  GetTextExtentPoint32A(Bar->FontDC(), "Qq", 2, &s);
  return s.cy;
}

struct TStandardColor {
  Byte R, G, B;
  const char* Caption;
};
// 黑 褐色 绿 深黄 靛蓝 紫色 青色 灰 银灰 红 橙 黄色 蓝 紫红色 浅绿 白
const TStandardColor kStandardColors[16] = {
    {0, 0, 0, "\xBA\xDA"},
    {128, 0, 0, "\xBA\xD6\xC9\xAB"},
    {0, 128, 0, "\xC2\xCC"},
    {128, 128, 0, "\xC9\xEE\xBB\xC6"},
    {0, 0, 128, "\xB5\xE5\xC0\xB6"},
    {128, 0, 128, "\xD7\xCF\xC9\xAB"},
    {0, 128, 128, "\xC7\xE0\xC9\xAB"},
    {128, 128, 128, "\xBB\xD2"},
    {192, 192, 192, "\xD2\xF8\xBB\xD2"},
    {255, 0, 0, "\xBA\xEC"},
    {0, 255, 0, "\xB3\xC8"},
    {255, 255, 0, "\xBB\xC6\xC9\xAB"},
    {0, 0, 255, "\xC0\xB6"},
    {255, 0, 255, "\xD7\xCF\xBA\xEC\xC9\xAB"},
    {0, 255, 255, "\xC7\xB3\xC2\xCC"},
    {255, 255, 255, "\xB0\xD7"},
};
const char* const kAutoColorText = "(\xD7\xD4\xB6\xAF)";             // (自动)
const char* const kCustomColorText = "(\xD7\xD4\xB6\xA8\xD2\xE5)";   // (自定义)

TColor StandardColor(int I) {
  const TStandardColor& c = kStandardColors[I];
  return TColor(RGB(c.R, c.G, c.B));
}

}  // namespace kxbaritemsbtn

using namespace kxbaritemsbtn;

// ===========================================================================
// TkxBarLargeButton

TkxBarLargeButton::TkxBarLargeButton(TComponent* AOwner) : TkxBarButton(AOwner) {
  FHotGlyph = std::make_unique<TBitmap>();
  FHotGlyph->OnChange = TNotifyEvent(this, &TkxBarLargeButton::HotBitmapChanged);
  FLargeGlyph = std::make_unique<TBitmap>();
  FLargeGlyph->OnChange = TNotifyEvent(this, &TkxBarLargeButton::LargeBitmapChanged);
}

template <class F>
void TkxBarLargeButton::ForEachControl(F&& Fn) {
  for (TkxBarItemLink* l : std::vector<TkxBarItemLink*>(FLinks))
    if (auto* c = dynamic_cast<TkxBarLargeButtonControl*>(l->Control())) Fn(c);
}

void TkxBarLargeButton::SetAutoGrayScale(bool Value) {
  if (FAutoGrayScale == Value) return;
  FAutoGrayScale = Value;
  RepaintControls();
}

void TkxBarLargeButton::SetGlyphLayout(TkxBarGlyphLayout Value) {
  if (FGlyphLayout == Value) return;
  FGlyphLayout = Value;
  GlyphLayoutChanged();
}

void TkxBarLargeButton::SetHeight(int Value) {
  if (Value < 0 || FHeight == Value) return;
  FHeight = Value;
  HeightChanged();
}

void TkxBarLargeButton::SetWidth(int Value) {
  if (Value < 0 || FWidth == Value) return;
  FWidth = Value;
  WidthChanged();
}

void TkxBarLargeButton::SetShowCaption(bool Value) {
  if (FShowCaption == Value) return;
  FShowCaption = Value;
  ShowCaptionChanged();
}

void TkxBarLargeButton::SetHotImageIndex(int Value) {
  if (FHotImageIndex == Value) return;
  FHotImageIndex = Value;
  HotGlyphChanged();
}

void TkxBarLargeButton::GlyphLayoutChanged() { ForEachControl([](auto* c) { c->GlyphLayoutChanged(); }); }
void TkxBarLargeButton::HeightChanged() { ForEachControl([](auto* c) { c->HeightChanged(); }); }
void TkxBarLargeButton::ShowCaptionChanged() { ForEachControl([](auto* c) { c->ShowCaptionChanged(); }); }
void TkxBarLargeButton::WidthChanged() { ForEachControl([](auto* c) { c->WidthChanged(); }); }
void TkxBarLargeButton::HotGlyphChanged() { ForEachControl([](auto* c) { c->HotGlyphChanged(); }); }

void TkxBarLargeButton::SetImageIndex(int Value) {
  bool loading = IsLoading();
  if (loading && !FInSync) FImageIndexRead = true;
  TkxBarButton::SetImageIndex(Value);
  if (FInSync) return;
  if (loading) {
    if (FLargeImageIndex == -1 && (FSyncImageIndex || !FSyncRead)) {
      FInSync = true;
      SetLargeImageIndex(ImageIndex());
      FInSync = false;
    }
  } else if (!FSyncRead) {
    SetSyncImageIndex(false);
  }
}

void TkxBarLargeButton::SetLargeImageIndex(int Value) {
  if (IsLoading() && !FInSync) FLargeIndexRead = true;
  if (FLargeImageIndex == Value) return;
  FLargeImageIndex = Value;
  LargeGlyphChanged();
}

void TkxBarLargeButton::SetSyncImageIndex(bool Value) {
  if (IsLoading() && !FInSync) FSyncRead = true;
  if (FSyncImageIndex == Value) return;
  FSyncImageIndex = Value;
  if (Value) LargeGlyphChanged();
}

void TkxBarLargeButton::LargeGlyphChanged() {
  if (!FInSync && FSyncImageIndex) {
    if (IsLoading() && FImageIndexRead) {
      FSyncImageIndex = FLargeImageIndex == ImageIndex();
    } else {
      FInSync = true;
      try {
        TkxBarButton::SetImageIndex(FLargeImageIndex);
      } catch (...) {
        FInSync = false;
        throw;
      }
      FInSync = false;
    }
  }
  ForEachControl([](auto* c) { c->LargeGlyphChanged(); });
}

void TkxBarLargeButton::Loaded() {
  TkxBarButton::Loaded();
  FImageIndexRead = FLargeIndexRead = FSyncRead = false;
}

bool TkxBarLargeButton::CanUseAccel(TkxBarItemLink* Link) const {
  if (!TkxBarButton::CanUseAccel(Link)) return false;
  return !(Link && dynamic_cast<TkxBarControl*>(Link->BarControl()) && !FShowCaption);
}

// ===========================================================================
// TkxBarLargeButtonControl

TkxBarLargeButton* TkxBarLargeButtonControl::LargeButton() const { return dynamic_cast<TkxBarLargeButton*>(Item()); }

TkxBarLargeButtonControl::TImage TkxBarLargeButtonControl::ChooseImage(bool Hot) {
  TImage img;
  TkxBarLargeButton* b = LargeButton();
  if (!b) return img;
  auto fromList = [&](TCustomImageList* List, int Index) {
    if (!List || Index < 0 || Index >= List->Count()) return false;
    img.Images = List;
    img.Index = Index;
    img.Width = List->Width();
    img.Height = List->Height();
    return true;
  };
  auto fromBitmap = [&](TBitmap* B) {
    if (!B || B->Empty()) return false;
    img.Bitmap = B;
    img.Width = B->Width();
    img.Height = B->Height();
    return true;
  };
  auto hot = [&] { return fromBitmap(b->HotGlyph()) || fromList(GetHotImages(), b->HotImageIndex()); };
  auto large = [&] { return fromBitmap(b->LargeGlyph()) || fromList(GetLargeImages(), b->LargeImageIndex()); };
  if (Hot ? (hot() || large()) : (large() || hot())) return img;
  img.Images = GetLargeImages() ? GetLargeImages() : GetHotImages();
  if (img.Images) {
    img.Width = img.Images->Width();
    img.Height = img.Images->Height();
  }
  return img;
}

void TkxBarLargeButtonControl::RebuildOnToolbar() {
  if (OnToolbar()) FParent->Rebuild();
}

void TkxBarLargeButtonControl::GlyphLayoutChanged() { RebuildOnToolbar(); }
void TkxBarLargeButtonControl::HeightChanged() { RebuildOnToolbar(); }
void TkxBarLargeButtonControl::ShowCaptionChanged() { RebuildOnToolbar(); }
void TkxBarLargeButtonControl::WidthChanged() { RebuildOnToolbar(); }
void TkxBarLargeButtonControl::HotGlyphChanged() { LargeGlyphChanged(); }

void TkxBarLargeButtonControl::LargeGlyphChanged() {
  if (!OnToolbar()) return;
  TkxBarLargeButton* b = LargeButton();
  if (b && b->Width() > 0 && b->Height() > 0) Repaint();
  else FParent->Rebuild();
}

bool TkxBarLargeButtonControl::CanShowGlyph() {
  if (!OnToolbar()) return TkxBarButtonControl::CanShowGlyph();
  TkxBarManager* m = BarManager();
  return (m && m->DisabledLargeImages()) || IsEnabled();
}

int TkxBarLargeButtonControl::CalcButtonHeight() {
  TkxBarLargeButton* b = LargeButton();
  if (!OnToolbar() || !b) return TkxBarButtonControl::CalcButtonHeight();
  if (b->Height() > 0) return b->Height();
  TImage img = ChooseImage(false);
  bool caption = b->ShowCaption();
  int h = !img.Exists() ? 26 : (kxBarIsRotatedToolbar(FParent) && caption ? img.Width : img.Height) + 6;
  if (caption) {
    int th = TextHeightIn(FParent);
    if (b->GlyphLayout() == glLeft || b->GlyphLayout() == glRight) h = std::max(h, th + 6);
    else h += th + 1;
  }
  if (b->Lowered()) h += 2 * GetPainter()->GetButtonBorderWidth(this);
  return h;
}

int TkxBarLargeButtonControl::CalcButtonWidth() {
  TkxBarLargeButton* b = LargeButton();
  if (!OnToolbar() || !b) return TkxBarButtonControl::CalcButtonWidth();
  if (b->Width() > 0) return b->Width();
  TImage img = ChooseImage(false);
  bool caption = b->ShowCaption();
  int w = !img.Exists() ? 30 : (kxBarIsRotatedToolbar(FParent) && caption ? img.Height : img.Width) + 10;
  if (caption) {
    int tw = TextWidthIn(FParent, kxBarStripAccelChars(GetCaption()));
    if (b->GlyphLayout() == glTop || b->GlyphLayout() == glBottom) w = std::max(w, tw + 16);
    else w += tw + 6;
  }
  if (b->Lowered()) w += 2 * GetPainter()->GetButtonBorderWidth(this);
  return w;
}

int TkxBarLargeButtonControl::GetHeight() {
  TkxBarLargeButton* b = LargeButton();
  if (!OnToolbar() || !b) return TkxBarButtonControl::GetHeight();
  bool swap = kxBarIsRotatedToolbar(FParent) && b->ShowCaption();
  return swap ? CalcButtonWidth() : CalcButtonHeight();
}

int TkxBarLargeButtonControl::GetWidth() {
  TkxBarLargeButton* b = LargeButton();
  if (!OnToolbar() || !b) return TkxBarButtonControl::GetWidth();
  bool swap = kxBarIsRotatedToolbar(FParent) && b->ShowCaption();
  int w = swap ? CalcButtonHeight() : CalcButtonWidth();
  if (b->ButtonStyle() == bsDropDown) w += GetArrowWidth();
  return w;
}

int TkxBarLargeButtonControl::GetArrowWidth() {
  TkxBarManager* m = BarManager();
  if (OnToolbar() && m) return GetPainter()->GetLargeDropDownArrowWidth(m);
  return TkxBarButtonControl::GetArrowWidth();
}

void TkxBarLargeButtonControl::AdjustPaintStyle(TkxBarPaintStyle& Style) {
  if (Style == TkxBarPaintStyle::psStandard) Style = TkxBarPaintStyle::psCaption;
}

void TkxBarLargeButtonControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  TkxBarLargeButton* b = LargeButton();
  if (!OnToolbar() || !b) {
    TkxBarButtonControl::Paint(DC, R, PaintKind);
    return;
  }
  if (kxBarRectEmpty(R)) return;
  TkxBarItemControlPainterClass p = GetPainter();
  TRect r = R;
  if (b->Lowered()) DrawLowered(DC, r);
  bool dropDown = b->ButtonStyle() == bsDropDown;
  TRect arrowR{};
  if (dropDown) {
    arrowR = TRect{r.right - GetArrowWidth(), r.top, r.right, r.bottom};
    r.right = arrowR.left;
  }
  bool selected = IsSelected();
  TkxBarManager* m = BarManager();
  bool menuMode = m && FParent && m->BarInMenuMode() == FParent;
  bool pressed = (FDroppedDown && menuMode && selected && !FClicking) || (FClicking && b->ButtonStyle() != bsChecked);
  bool hot = selected || pressed;
  TkxBarButtonPaintState st;
  st.DropDownButton = dropDown;
  st.DropDownMenu = dropDown;
  st.Grayscale = b->AutoGrayScale() && IsEnabled() && !hot;
  st.Pressed = pressed;
  st.Down = b->Down() || (FDroppedDown && b->DropDownMenu());
  st.Selected = selected;
  st.PaintKind = PaintKind;
  TRect face = r;
  InflateRect(&face, -1, -1);
  p->OffsetButtonCaption(this, pressed, face);
  TImage img = ChooseImage(hot);
  st.NoGlyph = !img.Exists();
  TRect g{0, 0, img.Width, img.Height};
  OffsetRect(&g, face.left + (face.Width() - img.Width) / 2, face.top + (face.Height() - img.Height) / 2);
  bool rotated = PaintKind == kxPaintKindRotated;
  bool caption = b->ShowCaption();
  if (caption) {
    auto moveX = [&g](int X) { OffsetRect(&g, X - g.left, 0); };
    auto moveY = [&g](int Y) { OffsetRect(&g, 0, Y - g.top); };
    switch (b->GlyphLayout()) {
      case glLeft: rotated ? moveY(face.top + 4) : moveX(face.left + 4); break;
      case glRight: rotated ? moveY(face.bottom - img.Height - 4) : moveX(face.right - img.Width - 4); break;
      case glTop: rotated ? moveX(face.right - img.Width - 2) : moveY(face.top + 2); break;
      case glBottom: rotated ? moveX(face.left + 2) : moveY(face.bottom - img.Height - 2); break;
    }
  }
  p->DrawGlyphCell(this, DC, r, st, img.Index, img.Images, img.Bitmap, g);
  if (caption) {
    TRect cr = face;
    int align = 1;
    switch (b->GlyphLayout()) {
      case glLeft:
        (rotated ? cr.top : cr.left) = (rotated ? g.bottom : g.right) + 3;
        align = 0;
        break;
      case glRight:
        (rotated ? cr.bottom : cr.right) = (rotated ? g.top : g.left) - 3;
        align = 2;
        break;
      case glTop: (rotated ? cr.right : cr.top) = rotated ? g.left : g.bottom; break;
      case glBottom: (rotated ? cr.left : cr.bottom) = rotated ? g.right : g.top; break;
    }
    DrawToolbarCaption(DC, pressed, false, rotated, align, cr);
  }
  if (dropDown) {
    int colorIndex = COLOR_BTNTEXT;
    HBRUSH brush = nullptr;
    GetArrowColors(PaintKind, colorIndex, brush, FDroppedDown || pressed, selected, IsEnabled());
    p->DrawDropDownButtonArrow(this, DC, PaintKind, b->DropDownMenu(), b->DropDownEnabled(), FDroppedDown, pressed,
                               selected, colorIndex, brush, arrowR);
  }
}

// ===========================================================================
// TkxBarColorCombo

namespace kxbaritemsbtn {
std::unique_ptr<TColorDialog>& SharedColorDialog() {
  static std::unique_ptr<TColorDialog> dialog;
  return dialog;
}
}  // namespace kxbaritemsbtn

TColorDialog* kxBarColorDialog() {
  std::unique_ptr<TColorDialog>& d = SharedColorDialog();
  if (!d) d = std::make_unique<TColorDialog>(nullptr);
  return d.get();
}

void kxBarFreeColorDialog() { SharedColorDialog().reset(); }

TkxBarColorCombo::TkxBarColorCombo(TComponent* AOwner)
    : TkxBarCustomCombo(AOwner), FAutoColorText(kAutoColorText), FCustomColorText(kCustomColorText) {
  SetShowEditor(false);
  SetDropDownCount(16);
  FillList();
  FGuard = true;
  SetItemIndex(GetColorIndex(FColor));
  FGuard = false;
}

void TkxBarColorCombo::FillList() {
  Items()->BeginUpdate();
  Items()->Clear();
  if (FShowAutoColor) Items()->Add(uxTranslateString(FAutoColorText));
  for (const TStandardColor& c : kStandardColors) Items()->Add(uxTranslateString(c.Caption));
  Items()->EndUpdate();
}

TColor TkxBarColorCombo::GetIndexColor(int Index) const {
  int a = FShowAutoColor ? 1 : 0;
  if (Index < 0 || Index >= 16 + a) return FColor;
  if (Index == 0 && FShowAutoColor) return FAutoColor;
  return StandardColor(Index - a);
}

int TkxBarColorCombo::GetColorIndex(TColor Value) const {
  int a = FShowAutoColor ? 1 : 0;
  if (FShowAutoColor && Value == FAutoColor) return 0;
  COLORREF rgb = ColorToRGB(Value);
  for (int i = 0; i < 16; ++i)
    if (ColorToRGB(StandardColor(i)) == rgb) return i + a;
  return -1;
}

void TkxBarColorCombo::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FGuard = true;
  try {
    int i = GetColorIndex(Value);
    if (i == ItemIndex()) {
      RepaintControls();
      FGuard = false;
      Change();
    } else {
      SetItemIndex(i);
    }
  } catch (...) {
    FGuard = false;
    throw;
  }
  FGuard = false;
}

void TkxBarColorCombo::SetAutoColor(TColor Value) {
  if (FAutoColor == Value) return;
  FAutoColor = Value;
  if (!FShowAutoColor) return;
  FGuard = true;
  SetItemIndex(GetColorIndex(FColor));
  FGuard = false;
  RepaintControls();
}

void TkxBarColorCombo::SetAutoColorText(const AnsiString& Value) {
  if (FAutoColorText == Value) return;
  FAutoColorText = Value;
  if (FShowAutoColor && Items()->Count() > 0) Items()->Put(0, Value);
  RepaintControls();
}

void TkxBarColorCombo::SetCustomColorText(const AnsiString& Value) {
  FCustomColorText = Value;
  RepaintControls();
}

void TkxBarColorCombo::SetShowCustomColorButton(bool Value) {
  if (FShowCustomColorButton == Value) return;
  FShowCustomColorButton = Value;
  RepaintControls();
}

void TkxBarColorCombo::SetShowAutoColor(bool Value) {
  if (FShowAutoColor == Value) return;
  int oldDefault = DefaultDropDownCount();
  FShowAutoColor = Value;
  FGuard = true;
  try {
    if (Value) Items()->Insert(0, uxTranslateString(FAutoColorText));
    else if (Items()->Count() > 0) Items()->Delete(0);
    if (DropDownCount() == oldDefault) SetDropDownCount(DefaultDropDownCount());
    SetItemIndex(GetColorIndex(FColor));
  } catch (...) {
    FGuard = false;
    throw;
  }
  FGuard = false;
  RepaintControls();
}

bool TkxBarColorCombo::IsAutoColorTextStored() const { return FAutoColorText != kAutoColorText; }
bool TkxBarColorCombo::IsCustomColorTextStored() const { return FCustomColorText != kCustomColorText; }

void TkxBarColorCombo::Change() {
  if (!FGuard) FColor = GetIndexColor(ItemIndex());
  if (!FColorButton) TkxBarCustomCombo::Change();
}

void TkxBarColorCombo::PressColorButton() {
  FColorButton = true;
  FButtonColor = GetIndexColor(ItemIndex());
}

void TkxBarColorCombo::DoClick() {
  try {
    TkxBarCustomCombo::DoClick();
    if (!OnClick && !ReadOnly()) {
      TColorDialog* d = kxBarColorDialog();
      d->SetColor(FColorButton ? FButtonColor : FColor);
      if (d->Execute()) SetColor(d->Color());
    }
  } catch (...) {
    FColorButton = false;
    throw;
  }
  FColorButton = false;
}

void TkxBarColorCombo::DrawItem(int Index, const TRect& R, unsigned State) {
  TCanvas* c = GetCanvas();
  if (OnDrawItem || !c) {
    TkxBarCustomCombo::DrawItem(Index, R, State);
    return;
  }
  AnsiString text = Index == -1 ? FCustomColorText : (Index < Items()->Count() ? Items()->Get(Index) : AnsiString());
  int value = int(FColor);
  bool box = !(Index == -1 && value < 0 && value > int(clInfoBk));
  TColor brush = c->Brush()->Color();
  TRect tr = R;
  if (box) tr.left = R.left + 30;
  c->FillRect(tr);
  int th = c->TextHeight(text.empty() ? AnsiString("0") : text);
  c->TextOut(tr.left + 1, tr.top + (tr.Height() - th) / 2, text);
  if (box) {
    TRect b{R.left, R.top, tr.left, R.bottom};
    c->FrameRect(b);
    InflateRect(&b, -1, -1);
    c->Brush()->SetColor(clBtnShadow);
    c->FrameRect(b);
    InflateRect(&b, -1, -1);
    c->Brush()->SetColor(GetIndexColor(Index));
    c->FillRect(b);
  }
  c->Brush()->SetColor(brush);
  if (State & ODS_FOCUS) c->DrawFocusRect(R);
}

void TkxBarColorCombo::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) {
    TkxBarCustomCombo::MeasureItem(Index, Height);
    return;
  }
  SIZE s{};
  HDC dc = GetDC(nullptr);
  HFONT f = BarManager() ? BarManager()->MenuFontHandle() : nullptr;
  HGDIOBJ old = f ? SelectObject(dc, f) : nullptr;
  GetTextExtentPoint32A(dc, "0", 1, &s);
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  Height = s.cy + 4;
}

void TkxBarColorCombo::MeasureItemWidth(int Index, int& Width) {
  TkxBarCustomCombo::MeasureItemWidth(Index, Width);
  Width += 30;
}

// ===========================================================================
// TkxBarColorComboControl

void TkxBarColorComboControl::StateChanged() {
  Repaint();
  if (FClicking) SetDroppedDown(false);
}

bool TkxBarColorComboControl::IsSelected() { return TkxBarComboControl::IsSelected() || FClicking; }

void TkxBarColorComboControl::Paint(HDC DC, const TRect& R, int PaintKind) {
  FColorButtonRect = TRect{};
  auto* item = dynamic_cast<TkxBarColorCombo*>(Item());
  if (!item || !item->ShowCustomColorButton()) {
    TkxBarComboControl::Paint(DC, R, PaintKind);
    return;
  }
  int b = (R.Height() - 4) / 7 * 7 + 4;
  if (b >= R.Width() / 2) {
    TkxBarComboControl::Paint(DC, R, PaintKind);
    return;
  }
  TRect rest = R;
  rest.right -= b;
  TkxBarComboControl::Paint(DC, rest, PaintKind);
  TRect inner{};
  GetPainter()->DrawEllipsisButton(this, DC, IsSelected(), FClicking, inner,
                                   TRect{rest.right, R.top, rest.right + b, R.bottom});
  FColorButtonRect = TRect{rest.right, R.top, rest.right + b, R.bottom};
}

void TkxBarColorComboControl::WndProc(TMessage& Message) {
  auto* item = dynamic_cast<TkxBarColorCombo*>(Item());
  bool button = false;
  if (item && Message.Msg == WM_LBUTTONDOWN && !kxBarRectEmpty(FColorButtonRect) && FParent && FWindow) {
    POINT p{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
    MapWindowPoints(FWindow, FParent->Handle(), &p, 1);
    button = p.x >= FColorButtonRect.left && p.x < FColorButtonRect.right && p.y >= FColorButtonRect.top &&
             p.y < FColorButtonRect.bottom;
  } else if (item && Message.Msg == WM_KEYDOWN && Message.WParam == VK_RETURN && GetKeyState(VK_CONTROL) < 0) {
    button = true;
  }
  if (!button) {
    TkxBarComboControl::WndProc(Message);
    return;
  }
  item->PressColorButton();
  if (FLink) FLink->SourceLink()->MarkUsed(true);
  bool toolbar = FParent && !FParent->IsMenuWindow();
  if (toolbar) {
    FClicking = true;
    StateChanged();
  } else if (FParent) {
    FParent->CloseChain();
  }
  TuxObjectLink* self = uxAddObjectLink(this);
  try {
    item->Click();
  } catch (...) {
  }
  if (toolbar && self->Ref) {
    FClicking = false;
    StateChanged();
  }
  uxRemoveObjectLink(self);
  Message.Result = 0;
}
