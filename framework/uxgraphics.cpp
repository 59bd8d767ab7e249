#include "framework/uxgraphics.h"

#include "framework/uxthemes.h"
#include "platform/rtl/strings.h"
#include "platform/win/winuser.h"

#include <algorithm>
#include <memory>

// ---- TuxRegion ----

static const int kCombineModes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};

TuxRegion::TuxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}
TuxRegion::TuxRegion(const TRect& R) : FHandle(CreateRectRgn(R.left, R.top, R.right, R.bottom)) {}
TuxRegion* TuxRegion::CreateFromHandle(HRGN Handle) { return new TuxRegion(Handle, FromHandleTag{}); }
TuxRegion::~TuxRegion() {
  if (FHandle) DeleteObject(FHandle);
}

void TuxRegion::Combine(TuxRegion* Region, TuxRegionCombineOperation Operation, bool DestroyRegion) {
  if (!Region) return;
  if (Operation == rcoCopy)
    CombineRgn(FHandle, Region->FHandle, nullptr, RGN_COPY);
  else
    CombineRgn(FHandle, FHandle, Region->FHandle, kCombineModes[Operation]);
  if (DestroyRegion) delete Region;
}

bool TuxRegion::IsEmpty() const {
  RECT R;
  return GetRgnBox(FHandle, &R) == NULLREGION;
}

bool TuxRegion::IsEqual(TuxRegion* Region) const {
  if (!Region) return false;
  return (IsEmpty() && Region->IsEmpty()) || EqualRgn(FHandle, Region->FHandle);
}

void TuxRegion::Offset(int DX, int DY) { OffsetRgn(FHandle, DX, DY); }
bool TuxRegion::PtInRegion(int X, int Y) const { return ::PtInRegion(FHandle, X, Y); }

void uxUniteRegions(TuxRegion* Dest, TuxRegion* Source) {
  if (Dest && Source) Dest->Combine(Source, rcoUnion, false);
}

// ---- TuxCanvas ----

namespace {
// Reaches the platform canvas's protected state realisation through a member
// pointer formed in a derived class.
struct TCanvasRealiser : TCanvas {
  static void Realise(TCanvas* C) {
    TCanvasState S;
    S << csHandleValid << csFontValid << csPenValid << csBrushValid;
    (C->*(&TCanvasRealiser::RequiredState))(S);
  }
};
}  // namespace

HDC TuxCanvas::Handle() const {
  TCanvasRealiser::Realise(FCanvas);
  return FCanvas->Handle();
}

void TuxCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (!Points.empty()) FCanvas->Polygon(Points.data(), int(Points.size()));
}
void TuxCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (!Points.empty()) FCanvas->Polyline(Points.data(), int(Points.size()));
}

void TuxCanvas::TextExtent(const AnsiString& Text, TSize& Size) {
  if (Text.empty()) {
    Size.cx = Size.cy = 0;
    return;
  }
  Size = FCanvas->TextExtent(Text);
}
int TuxCanvas::TextWidth(const AnsiString& Text) { TSize S; TextExtent(Text, S); return S.cx; }
int TuxCanvas::TextHeight(const AnsiString& Text) { TSize S; TextExtent(Text, S); return S.cy; }
int TuxCanvas::FontHeight(TFont* AFont) {
  SetFont(AFont);
  return TextHeight("Qq");
}
void TuxCanvas::BeginPath() { ::BeginPath(Handle()); }
void TuxCanvas::EndPath() { ::EndPath(Handle()); }
void TuxCanvas::ExcludeClipRect(const TRect& R) { ::ExcludeClipRect(Handle(), R.left, R.top, R.right, R.bottom); }
void TuxCanvas::IntersectClipRect(const TRect& R) { ::IntersectClipRect(Handle(), R.left, R.top, R.right, R.bottom); }
bool TuxCanvas::RectVisible(const TRect& R) { return ::RectVisible(Handle(), &R); }

TPoint TuxCanvas::GetDCOrigin() {
  POINT W{}, V{};
  GetWindowOrgEx(Handle(), &W);
  GetViewportOrgEx(Handle(), &V);
  TPoint P;
  P.x = V.x - W.x;
  P.y = V.y - W.y;
  return P;
}

void TuxCanvas::SetBrushColor(TColor Value) {
  if (Brush()->Color() != Value) Brush()->SetColor(Value);
}

void TuxCanvas::GetParams(TuxPaintParams& Params) {
  Params.Color = Brush()->Color();
  Params.Font = Font();
  Params.TextColor = Font()->Color();
}

void TuxCanvas::SetParams(const TuxPaintParams& Params) {
  SetBrushColor(Params.Color);
  if (Params.Font) SetFont(Params.Font);
  Font()->SetColor(Params.TextColor);
}

void TuxCanvas::FillRect(const TRect& R, TBitmap* Bitmap, bool ExcludeRect) {
  if (uxIsRectEmpty(R)) return;
  if (!Bitmap || Bitmap->Empty()) {
    FCanvas->FillRect(R);
  } else {
    // Tiles anchored at multiples of the bitmap size in canvas coordinates.
    const int W = Bitmap->Width(), H = Bitmap->Height();
    auto floordiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    int lastCol = floordiv(R.right, W) - (R.right % W == 0 ? 1 : 0);
    int lastRow = floordiv(R.bottom, H) - (R.bottom % H == 0 ? 1 : 0);
    for (int col = floordiv(R.left, W); col <= lastCol; ++col)
      for (int row = floordiv(R.top, H); row <= lastRow; ++row) {
        TRect Tile = uxRect(col * W, row * H, (col + 1) * W, (row + 1) * H);
        TRect Part = uxRect(std::max(Tile.left, R.left), std::max(Tile.top, R.top),
                            std::min(Tile.right, R.right), std::min(Tile.bottom, R.bottom));
        if (uxIsRectEmpty(Part)) continue;
        TRect Src = uxRect(Part.left - Tile.left, Part.top - Tile.top, Part.right - Tile.left,
                           Part.bottom - Tile.top);
        FCanvas->CopyRect(Part, Bitmap->Canvas(), Src);
      }
  }
  if (ExcludeRect) SetClipRegion(new TuxRegion(R), rcoDifference);
}

void TuxCanvas::FrameRect(const TRect& R, TColor Color, int LineWidth, TuxBorders Borders, bool ExcludeFrame) {
  if (uxIsRectEmpty(R)) return;
  if (Color != clDefault) SetBrushColor(Color);
  const int WX = std::min(LineWidth, uxRectWidth(R)), WY = std::min(LineWidth, uxRectHeight(R));
  if (Borders & uxbLeft) FillRect(uxRect(R.left, R.top, R.left + WX, R.bottom), nullptr, ExcludeFrame);
  if (Borders & uxbRight) FillRect(uxRect(R.right - WX, R.top, R.right, R.bottom), nullptr, ExcludeFrame);
  if (Borders & uxbTop) FillRect(uxRect(R.left, R.top, R.right, R.top + WY), nullptr, ExcludeFrame);
  if (Borders & uxbBottom) FillRect(uxRect(R.left, R.bottom - WY, R.right, R.bottom), nullptr, ExcludeFrame);
}

void TuxCanvas::FrameAndFillRect(const TRect& R0, const TuxPaintParams& Params, TuxBorders Borders,
                                 TColor FrameColor, int LineWidth, bool ExcludeRect) {
  TRect R = R0;
  FrameRect(R, FrameColor, LineWidth, Borders, ExcludeRect);
  if (Borders & uxbLeft) R.left += LineWidth;
  if (Borders & uxbTop) R.top += LineWidth;
  if (Borders & uxbRight) R.right -= LineWidth;
  if (Borders & uxbBottom) R.bottom -= LineWidth;
  SetBrushColor(Params.Color);
  FillRect(R, Params.Bitmap, ExcludeRect);
}

void TuxCanvas::DrawComplexFrame(const TRect& R, TColor LeftTopColor, TColor RightBottomColor,
                                 TuxBorders Borders, int LineWidth) {
  if (Borders & uxbLeft) FillRect(uxRect(R.left, R.top, R.left + LineWidth, R.bottom), LeftTopColor);
  if (Borders & uxbTop) FillRect(uxRect(R.left, R.top, R.right, R.top + LineWidth), LeftTopColor);
  if (Borders & uxbRight) FillRect(uxRect(R.right - LineWidth, R.top, R.right, R.bottom), RightBottomColor);
  if (Borders & uxbBottom) FillRect(uxRect(R.left, R.bottom - LineWidth, R.right, R.bottom), RightBottomColor);
}

void TuxCanvas::DrawEdge(const TRect& R, bool Sunken, bool Outer, TuxBorders Borders) {
  if (Sunken)
    Outer ? DrawComplexFrame(R, clBtnShadow, clBtnHighlight, Borders)
          : DrawComplexFrame(R, cl3DDkShadow, cl3DLight, Borders);
  else
    Outer ? DrawComplexFrame(R, cl3DLight, cl3DDkShadow, Borders)
          : DrawComplexFrame(R, clBtnHighlight, clBtnShadow, Borders);
}

void TuxCanvas::DrawFocusRect(const TRect& R) {
  SetBrushColor(clWhite);
  Font()->SetColor(clBlack);
  FCanvas->DrawFocusRect(R);
}

void TuxCanvas::InvertRect(const TRect& R) {
  FCanvas->SetCopyMode(DSTINVERT);
  FCanvas->CopyRect(R, FCanvas, R);
  FCanvas->SetCopyMode(SRCCOPY);
}

void TuxCanvas::DrawGlyph(int X, int Y, TBitmap* Bitmap, bool Enabled, TColor BackgroundColor) {
  if (!Bitmap || Bitmap->Empty()) return;
  const TRect Src = uxRect(0, 0, Bitmap->Width(), Bitmap->Height());
  const TRect Dst = uxRect(X, Y, X + Bitmap->Width(), Y + Bitmap->Height());
  const TBrushStyle SavedStyle = Brush()->Style();
  if (Enabled) {
    if (BackgroundColor == clNone)
      Brush()->SetStyle(bsClear);
    else
      SetBrushColor(BackgroundColor);
    FCanvas->BrushCopy(Dst, Bitmap, Src, Bitmap->TransparentColor());
  } else {
    // Embossed disabled look: the glyph's opaque pixels in highlight shifted by
    // one, then in shadow in place.
    const TColor Transparent = Bitmap->TransparentColor();
    if (BackgroundColor != clNone) FillRect(Dst, BackgroundColor);
    for (int pass = 0; pass < 2; ++pass) {
      const TColor C = ColorToRGB(pass == 0 ? clBtnHighlight : clBtnShadow);
      const int d = pass == 0 ? 1 : 0;
      for (int y = 0; y < Bitmap->Height(); ++y)
        for (int x = 0; x < Bitmap->Width(); ++x)
          if ((Bitmap->Canvas()->Pixels(x, y) & 0xFFFFFF) != (ColorToRGB(Transparent) & 0xFFFFFF))
            FCanvas->SetPixel(X + x + d, Y + y + d, C);
    }
  }
  Brush()->SetStyle(SavedStyle);
}

unsigned uxFlagsToDTFlags(unsigned Flags) {
  unsigned R = DT_NOPREFIX;
  if (Flags & ctfRight) R |= DT_RIGHT;
  if (Flags & ctfHCenter) R |= DT_CENTER;
  if (Flags & ctfBottom) R |= DT_BOTTOM;
  if (Flags & ctfVCenter) R |= DT_VCENTER;
  if (Flags & ctfSingleLine) R |= DT_SINGLELINE;
  if (Flags & ctfNoClip) R |= DT_NOCLIP;
  if (Flags & ctfExpandTabs) R |= DT_EXPANDTABS;
  if (Flags & ctfShowPrefix) R &= ~unsigned(DT_NOPREFIX);
  if (Flags & ctfWordBreak) R |= (Flags & ctfNoCharBreak) ? DT_WORDBREAK : (DT_WORDBREAK | DT_EDITCONTROL);
  if (Flags & ctfEndEllipsis) R |= DT_END_ELLIPSIS;
  if (Flags & ctfCalcOnly) R |= DT_CALCRECT;
  if (Flags & ctfPathEllipsis) R |= DT_PATH_ELLIPSIS;
  return R;
}

void TuxCanvas::CalcTextRect(const AnsiString& Text, TRect& R, unsigned Flags) {
  TRect M = R;
  if (uxRectWidth(M) <= 0 && !Text.empty()) M.right = M.left + 1;
  Handle();
  DrawTextA(Handle(), Text.c_str(), int(Text.size()), &M,
            (uxFlagsToDTFlags(Flags & ~unsigned(ctfVCenter)) & ~unsigned(DT_VCENTER)) | DT_CALCRECT);
  int dx = 0, dy = 0;
  if (Flags & ctfHCenter) dx = (uxRectWidth(R) - uxRectWidth(M)) / 2;
  else if (Flags & ctfRight) dx = uxRectWidth(R) - uxRectWidth(M);
  if (Flags & ctfVCenter) dy = (uxRectHeight(R) - uxRectHeight(M)) / 2;
  else if (Flags & ctfBottom) dy = uxRectHeight(R) - uxRectHeight(M);
  {
    const int ox = R.left - M.left + dx, oy = R.top - M.top + dy;
    M.left += ox; M.right += ox; M.top += oy; M.bottom += oy;
  }
  R = M;
}

void TuxCanvas::AlignMultiLineText(TRect& R, const AnsiString& Text, bool NoCharBreak, bool Enabled,
                                   bool ShowPrefix, bool WordBreak, int Placement) {
  if (Placement != 1 && Placement != 2) return;
  const int D = Enabled ? 0 : 1;
  unsigned F = ctfLeft | ctfTop;
  if (WordBreak) F |= ctfWordBreak;
  if (ShowPrefix) F |= ctfShowPrefix;
  if (NoCharBreak) F |= ctfNoCharBreak;
  TRect M = uxRect(0, 0, uxRectWidth(R) - D, 0);
  CalcTextRect(Text, M, F);
  if (Placement == 1)
    R.top = R.bottom - uxRectHeight(M) - D;
  else
    R.top = (R.top + R.bottom - uxRectHeight(M)) / 2;
}

void TuxCanvas::DrawText(const AnsiString& Text, TRect R, unsigned Flags, bool Enabled) {
  if (Text.empty()) return;
  const bool Formatted = !(Flags & ctfSingleLine) || (Flags & (ctfShowPrefix | ctfEndEllipsis | ctfPathEllipsis));
  TSize Size;
  TextExtent(Text, Size);
  if (uxRectWidth(R) >= Size.cx && uxRectHeight(R) >= Size.cy) Flags |= ctfNoClip;
  const int D = Enabled ? 0 : 1;
  if (Formatted) {
    if (!(Flags & ctfSingleLine) && (Flags & (ctfBottom | ctfVCenter)))
      AlignMultiLineText(R, Text, Flags & ctfNoCharBreak, Enabled, Flags & ctfShowPrefix,
                         Flags & ctfWordBreak, (Flags & ctfBottom) ? 1 : 2);
  } else {
    if (Size.cx < uxRectWidth(R)) {
      const unsigned H = Flags & 7;
      if (H == ctfRight) R.left = R.right - Size.cx - D;
      else if (H == ctfHCenter) R.left = (R.left + R.right - Size.cx) / 2;
    }
    if (Size.cy < uxRectHeight(R)) {
      const unsigned V = Flags & 0x38;
      if (V == ctfBottom) R.top = R.bottom - Size.cy - D;
      else if (V == ctfVCenter) R.top = (R.top + R.bottom - Size.cy) / 2;
    }
  }
  const TBrushStyle SavedStyle = Brush()->Style();
  const TColor SavedColor = Font()->Color();
  auto out = [&](const TRect& Rc) {
    HDC DC = Handle();
    SetBkMode(DC, TRANSPARENT);
    if (Formatted) {
      TRect T = Rc;
      DrawTextA(DC, Text.c_str(), int(Text.size()), &T, uxFlagsToDTFlags(Flags));
    } else {
      ExtTextOutA(DC, Rc.left, Rc.top, (Flags & ctfNoClip) ? 0 : ETO_CLIPPED, &Rc, Text.c_str(),
                  UINT(Text.size()), nullptr);
    }
  };
  if (!Enabled) {
    Brush()->SetStyle(bsClear);
    Font()->SetColor(clBtnHighlight);
    out(uxRect(R.left + 1, R.top + 1, R.right + 1, R.bottom + 1));
    Font()->SetColor(clBtnShadow);
    out(R);
  } else {
    if (SavedStyle != bsClear) Brush()->SetStyle(bsClear);
    out(R);
  }
  if (Brush()->Style() != SavedStyle) Brush()->SetStyle(SavedStyle);
  Font()->SetColor(SavedColor);
}

void TuxCanvas::SetFontAngle(int Angle) {
  LOGFONTA LF{};
  GetObjectA(Font()->Handle(), sizeof(LF), &LF);
  LF.lfEscapement = Angle * 10;
  if (Angle != 0) LF.lfOutPrecision = 7;
  Font()->SetHandle(CreateFontIndirectA(&LF));
}

TuxRegion* TuxCanvas::GetClipRegion(bool ConsiderOrigin) {
  TuxRegion* Result = new TuxRegion();
  if (GetClipRgn(Handle(), Result->Handle()) != 1) {
    delete Result;
    Result = new TuxRegion(uxRect(0, 0, 30000, 30000));
  }
  if (ConsiderOrigin) {
    TPoint O = GetDCOrigin();
    Result->Offset(-O.x, -O.y);
  }
  return Result;
}

void TuxCanvas::SetClipRegion(TuxRegion* Region, TuxRegionCombineOperation Operation, bool DestroyRegion,
                              bool ConsiderOrigin) {
  if (!Region) return;
  if (Operation == rcoCopy) {
    TPoint O{};
    if (ConsiderOrigin) {
      O = GetDCOrigin();
      Region->Offset(O.x, O.y);
    }
    SelectClipRgn(Handle(), Region->Handle());
    if (DestroyRegion)
      delete Region;
    else if (ConsiderOrigin)
      Region->Offset(-O.x, -O.y);
  } else {
    TuxRegion* Clip = GetClipRegion(ConsiderOrigin);
    Clip->Combine(Region, Operation, DestroyRegion);
    SetClipRegion(Clip, rcoCopy, true, ConsiderOrigin);
  }
}

// ---- screen canvas ----

TuxScreenCanvas::TuxScreenCanvas() : TuxCanvas(new TCanvas()), FScreenCanvas(FCanvas) {
  FDC = GetDC(nullptr);
  FScreenCanvas->SetHandle(FDC);
}

TuxScreenCanvas::~TuxScreenCanvas() {
  FScreenCanvas->SetHandle(nullptr);
  if (FDC) ReleaseDC(nullptr, FDC);
  delete FScreenCanvas;
}

TuxScreenCanvas* uxScreenCanvas() {
  static std::unique_ptr<TuxScreenCanvas> Instance(new TuxScreenCanvas());
  return Instance.get();
}

// ---- free routines ----

TRect& uxRectContent(TRect& R, const TRect& Margins) {
  R.left += Margins.left;
  R.top += Margins.top;
  R.right -= Margins.right;
  R.bottom -= Margins.bottom;
  return R;
}

TSize uxTextSize(HDC DC, const AnsiString& Text) {
  TRect R = uxRect(0, 0, 0, 0);
  DrawTextA(DC, Text.c_str(), int(Text.size()), &R, DT_SINGLELINE | DT_CALCRECT);
  TSize S;
  S.cx = uxRectWidth(R);
  S.cy = uxRectHeight(R);
  return S;
}

bool uxIsMultiByteTextStart(int Charset, const AnsiString& Text) {
  if (Charset == DEFAULT_CHARSET) Charset = GB2312_CHARSET;  // our default font character set
  if (!Text.empty() && static_cast<unsigned char>(Text[0]) < 0x80) return false;
  return Charset == 134 || Charset == 136 || Charset == 178;
}

TColor uxBlendSystemColors(int FacePercent, int HighlightPercent, int WindowPercent) {
  const COLORREF Face = ColorToRGB(clBtnFace) & 0xFFFFFF, High = ColorToRGB(clHighlight) & 0xFFFFFF,
                 Win = ColorToRGB(clWindow) & 0xFFFFFF;
  if (Face == 0 || Face == 0xFFFFFF) return TColor(High);
  auto ch = [&](int shift) {
    int v = MulDiv((Face >> shift) & 255, FacePercent, 100) + MulDiv((High >> shift) & 255, HighlightPercent, 100) +
            MulDiv((Win >> shift) & 255, WindowPercent, 100);
    return std::clamp(v, 0, 255);
  };
  return TColor(ch(0) | (ch(8) << 8) | (ch(16) << 16));
}

TColor uxNearestScreenColor(TColor Color) {
  HDC DC = GetDC(nullptr);
  COLORREF R = GetNearestColor(DC, ColorToRGB(Color) & 0xFFFFFF);
  ReleaseDC(nullptr, DC);
  return TColor(R & 0xFFFFFF);
}

TColor uxHotTrackColor() { return uxNearestScreenColor(uxBlendSystemColors(-2, 30, 72)); }
TColor uxPressedColor() { return uxNearestScreenColor(uxBlendSystemColors(14, 44, 40)); }

void uxRotateBitmap(TBitmap* Bitmap, TuxTextRotation Rotation, bool FlipVertically) {
  if (!Bitmap || (Rotation == uxtrNone && !FlipVertically)) return;
  const int W = Bitmap->Width(), H = Bitmap->Height();
  if (W <= 0 || H <= 0) return;
  Bitmap->Handle();  // make sure the pixels exist
  std::vector<std::uint32_t> Src(std::size_t(W) * H);
  for (int y = 0; y < H; ++y) std::copy_n(Bitmap->ScanLine(y), W, &Src[std::size_t(y) * W]);
  const bool Swap = Rotation == uxtrCounterClockwise || Rotation == uxtrClockwise;
  const int DW = Swap ? H : W, DH = Swap ? W : H;
  std::vector<std::uint32_t> Dst(Src.size());
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int dx = x, dy = y;
      switch (Rotation) {
        case uxtrCounterClockwise: dx = y; dy = W - 1 - x; break;
        case uxtrClockwise: dx = H - 1 - y; dy = x; break;
        case uxtrHalfTurn: dx = W - 1 - x; dy = H - 1 - y; break;
        default: break;
      }
      if (FlipVertically) dy = DH - 1 - dy;
      Dst[std::size_t(dy) * DW + dx] = Src[std::size_t(y) * W + x];
    }
  if (Swap) {
    Bitmap->SetSize(DW, DH);
    Bitmap->Handle();
  }
  for (int y = 0; y < DH; ++y) std::copy_n(&Dst[std::size_t(y) * DW], DW, Bitmap->ScanLine(y));
}

// ---- parent backgrounds ----

void uxPaintControlImage(TWinControl* Control, TuxCanvas* Canvas, int DX, int DY, const TRect& R,
                         TControl* TransparentControl, bool WithSiblings) {
  if (!Control || !Canvas) return;
  HDC DC = Canvas->Handle();
  const int Saved = SaveDC(DC);
  struct Restore {
    HDC DC;
    int Saved;
    ~Restore() { RestoreDC(DC, Saved); }
  } RestoreState{DC, Saved};
  POINT Org{};
  GetWindowOrgEx(DC, &Org);
  SetWindowOrgEx(DC, Org.x + DX, Org.y + DY, nullptr);
  Canvas->SetClipRegion(new TuxRegion(R), rcoIntersect);
  {
    std::unique_ptr<TuxRegion> Clip(Canvas->GetClipRegion());
    if (Clip->IsEmpty()) return;
  }
  Control->SetControlState(Control->ControlState() << csPaintCopy);
  struct Unmark {
    TWinControl* C;
    ~Unmark() {
      TControlState S = C->ControlState();
      S >> csPaintCopy;
      C->SetControlState(S);
    }
  } UnmarkCopy{Control};
  if (!TransparentControl || TransparentControl->Parent() != Control) {
    // A child painted as a sibling draws its own non-client border first.
    const LONG_PTR ExStyle = Control->HandleAllocated() ? GetWindowLongPtrA(Control->Handle(), GWL_EXSTYLE) : 0;
    const LONG_PTR Style = Control->HandleAllocated() ? GetWindowLongPtrA(Control->Handle(), GWL_STYLE) : 0;
    TRect B = uxRect(0, 0, Control->Width(), Control->Height());
    int Inset = 0;
    if (ExStyle & WS_EX_CLIENTEDGE) {
      DrawEdge(DC, &B, EDGE_SUNKEN, BF_RECT);
      Inset = 2;
    } else if (Style & WS_BORDER) {
      DrawEdge(DC, &B, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_MONO);
      Inset = 1;
    }
    if (Inset) {
      IntersectClipRect(DC, Inset, Inset, Control->Width() - Inset, Control->Height() - Inset);
      GetWindowOrgEx(DC, &Org);
      SetWindowOrgEx(DC, Org.x - Inset, Org.y - Inset, nullptr);
    }
  }
  TCanvas* Platform = Canvas->Canvas();
  Platform->Lock();
  struct UnlockCanvas {
    TCanvas* C;
    ~UnlockCanvas() { C->Unlock(); }
  } Unlock{Platform};
  Control->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  Control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  if (!WithSiblings || !TransparentControl) return;
  for (int I = 0; I < Control->ControlCount(); ++I) {
    TControl* Child = Control->Controls(I);
    if (Child == TransparentControl) break;
    auto* Win = dynamic_cast<TWinControl*>(Child);
    if (!Win || !Win->Visible()) continue;
    uxPaintControlImage(Win, Canvas, -Win->Left(), -Win->Top(),
                        uxRect(0, 0, Win->Width(), Win->Height()), TransparentControl, false);
  }
}

void uxDrawTransparentControlBackground(TControl* Control, TuxCanvas* Canvas, TRect R, bool WithSiblings) {
  if (!Control || !Control->Parent()) return;
  R = uxRect(R.left + Control->Left(), R.top + Control->Top(), R.right + Control->Left(), R.bottom + Control->Top());
  uxPaintControlImage(Control->Parent(), Canvas, Control->Left(), Control->Top(), R, Control, WithSiblings);
}

void uxDrawThemeParentBackground(TControl* Control, TuxCanvas* Canvas, const TRect& R) {
  if (!Control || !Canvas) return;
  if (Control->Parent() && Control->Parent()->DoubleBuffered()) {
    uxDrawTransparentControlBackground(Control, Canvas, R, false);
    return;
  }
  // Without the visual-style library this does nothing; only a windowed
  // control has a window for the library to paint behind.
  if (auto* Win = dynamic_cast<TWinControl*>(Control); Win && Win->HandleAllocated())
    DrawThemeParentBackground(Win->Handle(), Canvas->Handle(), &R);
}

void uxDrawThemeParentBackgroundOnTabControl(TControl* Control, TCanvas* Canvas, const TRect& R) {
  if (!Canvas) return;
  TuxCanvas Wrapped(Canvas);
  uxDrawThemeParentBackground(Control, &Wrapped, R);
}
