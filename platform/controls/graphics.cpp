// Colours, drawing objects, the canvas and graphics.
#include "platform/controls/graphics.h"
#include <algorithm>
#include <cstring>
#include "platform/classes/filer.h"
#include "platform/classes/typinfo.h"
#include "platform/gdi/surface.h"
#include "platform/rtl/files.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

const char* const DefFontName = "\xCB\xCE\xCC\xE5";  // 宋体 in code page 936

// ---------------------------------------------------------------------------
// colours

namespace {
const TIdentMap& ColorMap() {
  static const TIdentMap map{{
      {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
      {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
      {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
      {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
      {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"},
      {clMedGray, "clMedGray"}, {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
      {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
      {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
      {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
      {clGradientActiveCaption, "clGradientActiveCaption"},
      {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
      {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
      {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
      {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
      {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"},
      {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"},
      {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
      {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
  }};
  return map;
}

const TIdentMap& CharsetMap() {
  static const TIdentMap map{{
      {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
      {77, "MAC_CHARSET"}, {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
      {130, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"}, {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
      {161, "GREEK_CHARSET"}, {162, "TURKISH_CHARSET"}, {177, "HEBREW_CHARSET"}, {178, "ARABIC_CHARSET"},
      {186, "BALTIC_CHARSET"}, {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"}, {238, "EASTEUROPE_CHARSET"},
      {OEM_CHARSET, "OEM_CHARSET"},
  }};
  return map;
}
}  // namespace

const TIdentMap* ColorIdentMap() { return &ColorMap(); }

COLORREF ColorToRGB(TColor Color) {
  if (Color == clNone) return 0;
  if (Color == clDefault) return GetSysColor(COLOR_WINDOW);
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return COLORREF(Color) & 0xFFFFFF;
}

bool ColorToIdent(int Color, AnsiString& Ident) { return ColorMap().IntToIdent(Color, Ident); }

bool IdentToColor(const AnsiString& Ident, int& Color) {
  Int64 v = 0;
  if (!ColorMap().IdentToInt(Ident, v)) return false;
  Color = static_cast<int>(v);
  return true;
}

AnsiString ColorToString(TColor Color) {
  AnsiString s;
  if (ColorToIdent(Color, s)) return s;
  return "$" + IntToHex32(static_cast<std::uint32_t>(Color), 8);
}

TColor StringToColor(const AnsiString& S) {
  int c = 0;
  if (IdentToColor(Trim(S), c)) return c;
  Int64 v = 0;
  if (TryStrToInt64(Trim(S), v) && v >= INT32_MIN && v <= UINT32_MAX) return static_cast<TColor>(static_cast<std::uint32_t>(v));
  throw EConvertError("'" + S + "' is not a valid colour value");
}

void GetColorValues(const std::function<void(const AnsiString&)>& Proc) {
  for (const auto& e : ColorMap().Entries)
    if (e.Value != clNone && e.Value != clDefault) Proc(e.Name);
}

// ---------------------------------------------------------------------------
// graphics objects

void TGraphicsObject::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedPending) {
    FChangedPending = false;
    Changed();
  }
}

void TGraphicsObject::Changed() {
  if (FUpdateCount > 0) {
    FChangedPending = true;
    return;
  }
  if (OnChange) OnChange(this);
}

TFont::TFont() : FName(DefFontName), FHeight(-MulDiv(DefFontSize, 96, 72)) {}
TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FEscapement = FOrientation = 0;
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    FreeHandle();
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FPixelsPerInch = f->FPixelsPerInch;
    FEscapement = f->FEscapement;
    FOrientation = f->FOrientation;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

bool TFont::Equals(const TFont* o) const {
  return o && FName == o->FName && FHeight == o->FHeight && FColor == o->FColor && FStyle == o->FStyle &&
         FCharset == o->FCharset && FPitch == o->FPitch && FEscapement == o->FEscapement &&
         FOrientation == o->FOrientation;
}

LOGFONTA TFont::LogFont() const {
  LOGFONTA lf;
  lf.lfHeight = FHeight;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic);
  lf.lfUnderline = FStyle.Contains(fsUnderline);
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  lf.lfCharSet = FCharset;
  lf.lfEscapement = FEscapement;
  lf.lfOrientation = FOrientation;
  lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  std::size_t n = std::min<std::size_t>(FName.size(), LF_FACESIZE - 1);
  // Never cut a double-byte character in half.
  if (n < FName.size()) n = AdjustToCharStart(FName, n);
  std::memcpy(lf.lfFaceName, FName.data(), n);
  lf.lfFaceName[n] = 0;
  return lf;
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTA lf = LogFont();
    FHandle = CreateFontIndirectA(&lf);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTA lf;
  if (!Value || !GetObjectA(Value, sizeof lf, &lf)) return;
  FreeHandle();
  FHandle = Value;
  FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FStyle.Clear();
  if (lf.lfWeight >= FW_BOLD) FStyle << fsBold;
  if (lf.lfItalic) FStyle << fsItalic;
  if (lf.lfUnderline) FStyle << fsUnderline;
  if (lf.lfStrikeOut) FStyle << fsStrikeOut;
  FCharset = lf.lfCharSet;
  FEscapement = lf.lfEscapement;
  FOrientation = lf.lfOrientation;
  Changed();
}

void TFont::SetName(const AnsiString& Value) {
  if (Value.empty() || Value == FName) return;
  FreeHandle();
  FName = Value;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }
void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FreeHandle();
  FHeight = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;  // the handle does not depend on the colour
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FreeHandle();
  FStyle = Value;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FreeHandle();
  FCharset = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FreeHandle();
  FPitch = Value;
  Changed();
}

TPen::~TPen() { FreeHandle(); }
void TPen::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}
void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    if (p == this) return;
    FreeHandle();
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}
HPEN TPen::Handle() {
  if (!FHandle) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
  }
  return FHandle;
}
void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FreeHandle();
  FColor = Value;
  Changed();
}
void TPen::SetWidth(int Value) {
  if (Value < 0 || Value == FWidth) return;
  FreeHandle();
  FWidth = Value;
  Changed();
}
void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FreeHandle();
  FStyle = Value;
  Changed();
}
void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

TBrush::~TBrush() { FreeHandle(); }
void TBrush::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}
void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    if (b == this) return;
    FreeHandle();
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}
HBRUSH TBrush::Handle() {
  if (!FHandle) {
    if (FBitmap && !FBitmap->Empty()) {
      FHandle = CreatePatternBrush(FBitmap->Handle());
    } else {
      switch (FStyle) {
        case bsSolid: FHandle = CreateSolidBrush(ColorToRGB(FColor)); break;
        case bsClear: {
          LOGBRUSH lb;
          lb.lbStyle = BS_NULL;
          FHandle = CreateBrushIndirect(&lb);
          break;
        }
        default: {
          static const int hatch[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS};
          FHandle = CreateHatchBrush(hatch[FStyle], ColorToRGB(FColor));
        }
      }
    }
  }
  return FHandle;
}
void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FreeHandle();
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}
void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FreeHandle();
  FStyle = Value;
  Changed();
}
void TBrush::SetBitmap(TBitmap* Value) {
  FreeHandle();
  FBitmap = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// canvas

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
  FFont->OnChange = TNotifyEvent(this, &TCanvas::FontChanged);
  FPen->OnChange = TNotifyEvent(this, &TCanvas::PenChanged);
  FBrush->OnChange = TNotifyEvent(this, &TCanvas::BrushChanged);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  RequiredState({csHandleValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (FHandle == Value) return;
  if (FHandle) {
    DeselectHandles();
    FState >> csHandleValid;
  }
  FHandle = Value;
  if (FHandle) {
    FState << csHandleValid;
    POINT p;
    GetCurrentPositionEx(FHandle, &p);
    FPenPos = p;
  }
}

void TCanvas::DeselectHandles() {
  if (FHandle) {
    if (FOldFont) SelectObject(FHandle, FOldFont);
    if (FOldPen) SelectObject(FHandle, FOldPen);
    if (FOldBrush) SelectObject(FHandle, FOldBrush);
  }
  FOldFont = FOldPen = FOldBrush = nullptr;
  FState -= TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::CreateFont() {
  HGDIOBJ old = SelectObject(FHandle, FFont->Handle());
  if (!FOldFont) FOldFont = old;
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
}

void TCanvas::CreatePen() {
  static const int modes[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
                              R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                              R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN, R2_NOTXORPEN};
  HGDIOBJ old = SelectObject(FHandle, FPen->Handle());
  if (!FOldPen) FOldPen = old;
  SetROP2(FHandle, modes[FPen->Mode()]);
}

void TCanvas::CreateBrush() {
  HGDIOBJ old = SelectObject(FHandle, FBrush->Handle());
  if (!FOldBrush) FOldBrush = old;
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
    SetBkMode(FHandle, OPAQUE);
  } else {
    SetBkColor(FHandle, ~ColorToRGB(FBrush->Color()) & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
    FState << csHandleValid;
  }
  if (needed.Contains(csFontValid)) CreateFont();
  if (needed.Contains(csPenValid)) CreatePen();
  if (needed.Contains(csBrushValid)) CreateBrush();
  FState += needed;
}

void TCanvas::FontChanged(TObject*) {
  if (FState.Contains(csFontValid)) {
    FState >> csFontValid;
    if (FHandle && FOldFont) {
      SelectObject(FHandle, FOldFont);
      FOldFont = nullptr;
    }
  }
}
void TCanvas::PenChanged(TObject*) {
  if (FState.Contains(csPenValid)) {
    FState >> csPenValid;
    if (FHandle && FOldPen) {
      SelectObject(FHandle, FOldPen);
      FOldPen = nullptr;
    }
  }
}
void TCanvas::BrushChanged(TObject*) {
  if (FState.Contains(csBrushValid)) {
    FState >> csBrushValid;
    if (FHandle && FOldBrush) {
      SelectObject(FHandle, FOldBrush);
      FOldBrush = nullptr;
    }
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}
void TCanvas::Refresh() { DeselectHandles(); }

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  POINT p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r;
  GetClipBox(FHandle, &r);
  return r;
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState({csHandleValid});
  return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixelV(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}
void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}
void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}
void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  HDC src = Canvas->Handle();
  StretchBlt(FHandle, Dest.left, Dest.top, Dest.Width(), Dest.Height(), src, Source.left, Source.top,
             Source.Width(), Source.Height(), FCopyMode);
  Changed();
}
void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  if (Dest.Width() == Source.Width() && Dest.Height() == Source.Height()) {
    // Pixels of Color show the brush; the others are copied.
    ::FillRect(FHandle, &Dest, FBrush->Handle());
    TransparentBlt(FHandle, Dest.left, Dest.top, Dest.Width(), Dest.Height(), Bitmap->Canvas()->Handle(),
                   Source.left, Source.top, Source.Width(), Source.Height(), ColorToRGB(Color));
  } else {
    StretchBlt(FHandle, Dest.left, Dest.top, Dest.Width(), Dest.Height(), Bitmap->Canvas()->Handle(), Source.left,
               Source.top, Source.Width(), Source.Height(), SRCCOPY);
  }
  Changed();
}
void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  Graphic->Draw(this, TRect{X, Y, X + Graphic->Width(), Y + Graphic->Height()});
  Changed();
}
void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  Graphic->Draw(this, Rect);
  Changed();
}
void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, &Rect);
  Changed();
}
void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}
void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}
void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
  // Fills the 4-connected area at (X, Y): of colour Color (fsSurface) or up to
  // the border of colour Color (fsBorder).
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  Surface s;
  if (!GetDCPixels(FHandle, &s)) return;
  POINT org;
  GetDCOrgEx(FHandle, &org);
  POINT vp;
  GetViewportOrgEx(FHandle, &vp);
  int sx = X + org.x + vp.x, sy = Y + org.y + vp.y;
  if (sx < 0 || sy < 0 || sx >= s.width || sy >= s.height) return;
  auto px = [&](int x, int y) -> std::uint32_t& {
    return *reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(s.pixels) + std::ptrdiff_t(y) * s.stride + x * 4);
  };
  COLORREF c = ColorToRGB(Color);
  std::uint32_t target = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  COLORREF fillRef = ColorToRGB(FBrush->Color());
  std::uint32_t fill = 0xFF000000u | (GetRValue(fillRef) << 16) | (GetGValue(fillRef) << 8) | GetBValue(fillRef);
  auto inside = [&](int x, int y) {
    std::uint32_t v = px(x, y) | 0xFF000000u;
    return FillStyle == fsSurface ? v == target : (v != target && v != fill);
  };
  if (!inside(sx, sy) || (FillStyle == fsSurface && target == fill)) return;
  std::vector<POINT> stack{{sx, sy}};
  while (!stack.empty()) {
    POINT p = stack.back();
    stack.pop_back();
    if (p.x < 0 || p.y < 0 || p.x >= s.width || p.y >= s.height || !inside(p.x, p.y)) continue;
    px(p.x, p.y) = fill;
    stack.push_back({p.x + 1, p.y});
    stack.push_back({p.x - 1, p.y});
    stack.push_back({p.x, p.y + 1});
    stack.push_back({p.x, p.y - 1});
  }
  Changed();
}
void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}
void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, X, Y);
  Changed();
}
void TCanvas::MoveTo(int X, int Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}
void TCanvas::Polygon(const TPoint* Points, int Count) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(FHandle, Points, Count);
  Changed();
}
void TCanvas::Polyline(const TPoint* Points, int Count) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(FHandle, Points, Count);
  Changed();
}
void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}
void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}
void TCanvas::TextOut(int X, int Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ExtTextOutA(FHandle, X, Y, UINT(FTextFlags), nullptr, Text.data(), UINT(Text.size()), nullptr);
  MoveToEx(FHandle, X + TextWidth(Text), Y, nullptr);
  Changed();
}
void TCanvas::TextRect(const TRect& Rect, int X, int Y, const AnsiString& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED | UINT(FTextFlags);
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutA(FHandle, X, Y, options, &Rect, Text.data(), UINT(Text.size()), nullptr);
  Changed();
}
void TCanvas::TextRect(TRect& Rect, const AnsiString& Text, TTextFormat Format) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (FBrush->Style() != bsClear && !(Format & DT_CALCRECT)) ::FillRect(FHandle, &Rect, FBrush->Handle());
  int mode = SetBkMode(FHandle, TRANSPARENT);
  DrawTextA(FHandle, Text.c_str(), int(Text.size()), &Rect, Format);
  SetBkMode(FHandle, mode);
  Changed();
}
TSize TCanvas::TextExtent(const AnsiString& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE sz;
  GetTextExtentPoint32A(FHandle, Text.data(), int(Text.size()), &sz);
  return sz;
}

// ---------------------------------------------------------------------------
// graphics

namespace {
struct FileFormat {
  AnsiString Ext, Description;
  TClass Class;
};
std::vector<FileFormat>& Formats() {
  static std::vector<FileFormat> f;
  return f;
}
TBytes ReadAll(TStream* Stream) {
  Int64 n = Stream->Remaining();
  AnsiString s = ReadStreamBytes(Stream, n);
  return TBytes(s.begin(), s.end());
}
}  // namespace

TBitmap* AllocPatternBitmap(TColor Color1, TColor Color2) {
  struct TPattern {
    COLORREF C1, C2;
    std::unique_ptr<TBitmap> Bitmap;
  };
  // Kept for the whole run: brushes made from them may outlive any owner.
  static auto& Patterns = *new std::vector<TPattern>;
  const COLORREF C1 = ColorToRGB(Color1) & 0xFFFFFF, C2 = ColorToRGB(Color2) & 0xFFFFFF;
  for (TPattern& P : Patterns)
    if (P.C1 == C1 && P.C2 == C2) return P.Bitmap.get();
  auto B = std::make_unique<TBitmap>();
  B->SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) B->Canvas()->SetPixel(x, y, ((x + y) & 1) ? TColor(C2) : TColor(C1));
  Patterns.push_back({C1, C2, std::move(B)});
  return Patterns.back().Bitmap.get();
}

void RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description, TClass GraphicClass) {
  for (auto& f : Formats())
    if (SameText(f.Ext, Extension)) {
      f.Description = Description;
      f.Class = GraphicClass;
      return;
    }
  Formats().push_back({LowerCase(Extension), Description, GraphicClass});
}

AnsiString GraphicFilter(TClass GraphicClass) {
  AnsiString all, parts;
  for (const auto& f : Formats()) {
    if (GraphicClass && !f.Class->InheritsFrom(GraphicClass)) continue;
    if (!all.empty()) all += ";";
    all += "*." + f.Ext;
    parts += "|" + f.Description + " (*." + f.Ext + ")|*." + f.Ext;
  }
  if (all.empty()) return "";
  return "All (" + all + ")|" + all + parts;
}

AnsiString GraphicExtension(TClass GraphicClass) {
  for (const auto& f : Formats())
    if (f.Class == GraphicClass) return f.Ext;
  return "";
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}
void TGraphic::SetModified(bool Value) {
  if (Value) Changed(this);
  else FModified = false;
}
void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}
void TGraphic::LoadFromFile(const AnsiString& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&s);
}
void TGraphic::SaveToFile(const AnsiString& FileName) {
  TFileStream s(FileName, fmCreate);
  SaveToStream(&s);
}
void TGraphic::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, !Empty());
}

namespace {
// A top-down 32-bit DIB section of W x H; its pixels in *Bits.
HBITMAP NewDib(int W, int H, std::uint32_t** Bits) {
  BITMAPINFO bi;
  bi.bmiHeader.biWidth = W;
  bi.bmiHeader.biHeight = -H;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  *Bits = static_cast<std::uint32_t*>(bits);
  return h;
}
}  // namespace

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() {
  FreeContext();
  if (FHandle) DeleteObject(FHandle);
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->SetHandle(nullptr);
  if (FDC) {
    if (FOldBitmap) SelectObject(FDC, FOldBitmap);
    DeleteDC(FDC);
  }
  FDC = nullptr;
  FOldBitmap = nullptr;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  if (AWidth < 0 || AHeight < 0) throw EInvalidGraphic("Invalid bitmap size");
  if (AWidth > PV_MAX_IMAGE_SIDE || AHeight > PV_MAX_IMAGE_SIDE ||
      std::int64_t(AWidth) * AHeight > PV_MAX_IMAGE_PIXELS)
    throw EInvalidGraphic("Bitmap too large");
  if (AWidth == FWidth && AHeight == FHeight) return;
  if (Empty() || !FHandle) {
    // No pixels to keep (none yet, or only the stand-in handle an empty bitmap
    // gives for measuring): the white pixels are made when first drawn on or
    // read, so that the buffers of windows never shown take no memory.
    FreeContext();
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
    FBits = nullptr;
    FWidth = AWidth;
    FHeight = AHeight;
    Changed(this);
    return;
  }
  TRawImage img;
  img.Width = AWidth;
  img.Height = AHeight;
  img.Pixels.assign(std::size_t(AWidth) * AHeight, 0xFFFFFFFFu);
  for (int y = 0; y < std::min(AHeight, FHeight); ++y)
    for (int x = 0; x < std::min(AWidth, FWidth); ++x) img.At(x, y) = FBits[std::size_t(y) * FWidth + x];
  LoadFromRawImage(img);
  // Sized one side at a time, an empty bitmap keeps the side already given.
  FWidth = AWidth;
  FHeight = AHeight;
}

void TBitmap::LoadFromRawImage(const TRawImage& Image) {
  FreeContext();
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
  if (Image.Width > 0 && Image.Height > 0) {
    FHandle = NewDib(Image.Width, Image.Height, &FBits);
    if (!FHandle) throw EOutOfResources("Out of system resources");
    FWidth = Image.Width;
    FHeight = Image.Height;
    std::memcpy(FBits, Image.Pixels.data(), Image.Pixels.size() * 4);
  }
  Changed(this);
}

void TBitmap::Realize() {
  if (FHandle || FWidth <= 0 || FHeight <= 0) return;
  FHandle = NewDib(FWidth, FHeight, &FBits);
  if (!FHandle) throw EOutOfResources("Out of system resources");
  std::fill_n(FBits, std::size_t(FWidth) * FHeight, 0xFFFFFFFFu);
}

TRawImage TBitmap::ToRawImage() {
  TRawImage img;
  img.Width = FWidth;
  img.Height = FHeight;
  if (FBits) img.Pixels.assign(FBits, FBits + std::size_t(FWidth) * FHeight);
  else if (!Empty()) img.Pixels.assign(std::size_t(FWidth) * FHeight, 0xFFFFFFFFu);  // not made yet: white
  return img;
}

void TBitmap::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    FPixelFormat = b->FPixelFormat;
    LoadFromRawImage(b->ToRawImage());
    return;
  }
  if (Source == nullptr) {
    LoadFromRawImage(TRawImage{});
    return;
  }
  TGraphic::Assign(Source);
}

HBITMAP TBitmap::Handle() {
  Realize();
  if (!FHandle) {
    // An empty bitmap still gets a (1 x 1) handle for those who ask for one.
    FHandle = NewDib(1, 1, &FBits);
  }
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  TRawImage img = Value ? GetBitmapImage(Value) : TRawImage{};
  if (Value) DeleteObject(Value);
  LoadFromRawImage(img);
}

HBITMAP TBitmap::ReleaseHandle() {
  Realize();
  FreeContext();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
  return h;
}

namespace {
// A canvas over a bitmap's memory DC.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(std::function<HDC()> Make) : FMake(std::move(Make)) {}

 protected:
  void CreateHandle() override { SetHandle(FMake()); }

 private:
  std::function<HDC()> FMake;
};
}  // namespace

TCanvas* TBitmap::Canvas() {
  if (!FCanvas)
    FCanvas = std::make_unique<TBitmapCanvas>([this]() -> HDC {
      if (!FDC) {
        FDC = CreateCompatibleDC(nullptr);
        FOldBitmap = SelectObject(FDC, Handle());
      }
      return FDC;
    });
  return FCanvas.get();
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  Realize();
  if (!FBits || FHeight == 0) return clDefault;
  std::uint32_t p = FBits[std::size_t(FHeight - 1) * FWidth];
  return TColor(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
}

void TBitmap::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == tmAuto) FTransparentColor = clDefault;
  FTransparentMode = Value;
  Changed(this);
}

std::uint32_t* TBitmap::ScanLine(int Y) {
  Realize();
  if (Y < 0 || Y >= FHeight || !FBits) throw EInvalidGraphicOperation("Scan line index out of range");
  return FBits + std::size_t(Y) * FWidth;
}

void TBitmap::LoadFromStream(TStream* Stream) {
  TBytes data = ReadAll(Stream);
  TRawImage img;
  switch (DetectPictureFormat(data.data(), data.size())) {
    case TPictureFormat::Bmp: img = DecodeBmp(data.data(), data.size()); break;
    case TPictureFormat::Jpeg: img = DecodeJpeg(data.data(), data.size()); break;
    case TPictureFormat::Png: img = DecodePng(data.data(), data.size()); break;
    default: throw EInvalidGraphic("Bitmap image is not valid");
  }
  LoadFromRawImage(img);
}

void TBitmap::SaveToStream(TStream* Stream) {
  TRawImage img = ToRawImage();
  if (img.Width == 0 || img.Height == 0) return;
  TBytes out = EncodeBmp(img, 32);
  Stream->WriteBuffer(out.data(), LongInt(out.size()));
}

void TBitmap::ReadData(TStream* Stream) {
  std::int32_t size = 0;
  Stream->ReadBuffer(&size, 4);
  if (size < 0 || size > Stream->Remaining()) throw EReadError("Bitmap data length out of range");
  AnsiString bytes = ReadStreamBytes(Stream, size);
  TReadOnlyMemoryStream m(bytes.data(), Int64(bytes.size()));
  LoadFromStream(&m);
}

void TBitmap::WriteData(TStream* Stream) {
  TMemoryStream m;
  SaveToStream(&m);
  std::int32_t size = std::int32_t(m.Size());
  Stream->WriteBuffer(&size, 4);
  if (size) Stream->WriteBuffer(m.Memory(), size);
}

void TBitmap::LoadFromResourceName(const AnsiString& Name) {
  TResourceData r = FindResourceData(RT_BITMAP, Name);
  if (!r) throw EResNotFound("Resource " + Name + " not found");
  TReadOnlyMemoryStream m(r.Data, Int64(r.Size));
  LoadFromStream(&m);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty()) return;
  HDC src = Canvas()->Handle();
  HDC dst = ACanvas->Handle();
  if (FTransparent) {
    TransparentBlt(dst, Rect.left, Rect.top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
                   ColorToRGB(TransparentColor()));
  } else {
    StretchBlt(dst, Rect.left, Rect.top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
               ACanvas->CopyMode());
  }
}

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::Assign(TPersistent* Source) {
  if (auto* i = dynamic_cast<TIcon*>(Source)) {
    if (i == this) return;
    if (FHandle) DestroyIcon(FHandle);
    FHandle = i->FHandle ? CopyIcon(i->FHandle) : nullptr;
    FWidth = i->FWidth;
    FHeight = i->FHeight;
    FData = i->FData;
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}
void TIcon::SetHandle(HICON Value) {
  if (FHandle && FHandle != Value) DestroyIcon(FHandle);
  FHandle = Value;
  FData.clear();
  FWidth = FHeight = 0;
  ICONINFO ii;
  if (Value && GetIconInfo(Value, &ii)) {
    BITMAP bm;
    HBITMAP b = ii.hbmColor ? ii.hbmColor : ii.hbmMask;
    if (b && GetObjectA(b, sizeof bm, &bm)) {
      FWidth = bm.bmWidth;
      FHeight = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
  }
  Changed(this);
}
HICON TIcon::ReleaseHandle() {
  HICON h = FHandle;
  FHandle = nullptr;
  FWidth = FHeight = 0;
  FData.clear();
  return h;
}
void TIcon::LoadFromStream(TStream* Stream) {
  TBytes data = ReadAll(Stream);
  TIconFile f = DecodeIco(data.data(), data.size());
  if (f.Images.empty()) throw EInvalidGraphic("Icon image is not valid");
  // The largest image serves as the icon.
  std::size_t best = 0;
  for (std::size_t i = 1; i < f.Images.size(); ++i)
    if (f.Images[i].Image.Width > f.Images[best].Image.Width) best = i;
  HICON h = CreateIconFromImage(f.Images[best], f.Cursor);
  if (FHandle) DestroyIcon(FHandle);
  FHandle = h;
  FWidth = f.Images[best].Image.Width;
  FHeight = f.Images[best].Image.Height;
  FData = std::move(data);
  Changed(this);
}
void TIcon::SaveToStream(TStream* Stream) {
  if (!FData.empty()) {
    Stream->WriteBuffer(FData.data(), LongInt(FData.size()));
    return;
  }
  if (!FHandle) return;
  ICONINFO ii;
  if (!GetIconInfo(FHandle, &ii)) return;
  TIconImage img;
  if (ii.hbmColor) img.Image = GetBitmapImage(ii.hbmColor);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  img.Image.HasAlpha = true;
  img.Mask.assign(std::size_t(img.Image.Width) * img.Image.Height, 0);
  for (std::size_t i = 0; i < img.Mask.size(); ++i) img.Mask[i] = (img.Image.Pixels[i] >> 24) == 0;
  TBytes out = EncodeIco({img});
  Stream->WriteBuffer(out.data(), LongInt(out.size()));
}
void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FHandle) DrawIconEx(ACanvas->Handle(), Rect.left, Rect.top, FHandle, Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

TPicture::~TPicture() { delete FGraphic; }

void TPicture::SetOwnedGraphic(TGraphic* G) {
  delete FGraphic;
  FGraphic = G;
  if (FGraphic) FGraphic->OnChange = TNotifyEvent(this, &TPicture::Changed);
  Changed(this);
}

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetOwnedGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p != this) SetGraphic(p->FGraphic);
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TInterfacedPersistent::Assign(Source);
  }
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic) return;
  if (!Value) {
    SetOwnedGraphic(nullptr);
    return;
  }
  TObject* o = CreateObject(Value->ClassType(), nullptr);
  auto* g = dynamic_cast<TGraphic*>(o);
  if (!g) {
    delete o;
    throw EInvalidGraphic("Unknown picture kind");
  }
  try {
    g->Assign(Value);
  } catch (...) {
    delete g;
    throw;
  }
  SetOwnedGraphic(g);
}

void TPicture::ForceType(TClass GraphicClass) {
  if (FGraphic && FGraphic->ClassType() == GraphicClass) return;
  TObject* o = CreateObject(GraphicClass, nullptr);
  SetOwnedGraphic(dynamic_cast<TGraphic*>(o));
}

TBitmap* TPicture::Bitmap() {
  ForceType(TBitmap::StaticClass());
  return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::Icon() {
  ForceType(TIcon::StaticClass());
  return static_cast<TIcon*>(FGraphic);
}

void TPicture::LoadFromStream(TStream* Stream) {
  Int64 start = Stream->Position();
  std::uint8_t head[16] = {};
  LongInt n = Stream->Read(head, sizeof head);
  Stream->SetPosition(start);
  TPictureFormat f = DetectPictureFormat(head, std::size_t(n));
  TGraphic* g = nullptr;
  if (f == TPictureFormat::Ico || f == TPictureFormat::Cur) g = new TIcon;
  else if (f == TPictureFormat::Bmp || f == TPictureFormat::Jpeg || f == TPictureFormat::Png) g = new TBitmap;
  else throw EInvalidGraphic("Unknown picture file format");
  try {
    g->LoadFromStream(Stream);
  } catch (...) {
    delete g;
    throw;
  }
  SetOwnedGraphic(g);
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  AnsiString ext = LowerCase(ExtractFileExt(FileName));
  if (!ext.empty()) ext.erase(0, 1);
  for (const auto& f : Formats())
    if (f.Ext == ext) {
      TObject* o = CreateObject(f.Class, nullptr);
      auto* g = dynamic_cast<TGraphic*>(o);
      if (!g) {
        delete o;
        break;
      }
      try {
        g->LoadFromStream(&s);
      } catch (...) {
        delete g;
        throw;
      }
      SetOwnedGraphic(g);
      return;
    }
  LoadFromStream(&s);
}

void TPicture::SaveToFile(const AnsiString& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::SaveToStream(TStream* Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::DefineProperties(TFiler* Filer) {
  // "Data": the graphic's class name (a length byte and the name), then its data.
  Filer->DefineBinaryProperty(
      "Data",
      [this](TStream* s) {
        std::uint8_t len = 0;
        s->ReadBuffer(&len, 1);
        AnsiString name = ReadStreamBytes(s, len);
        TClass cls = nullptr;
        if (SameText(name, "TBitmap") || SameText(name, "TJPEGImage") || SameText(name, "TPngImage"))
          cls = TBitmap::StaticClass();
        else if (SameText(name, "TIcon"))
          cls = TIcon::StaticClass();
        else
          cls = GetClass(name);
        if (!cls || !cls->InheritsFrom(TGraphic::StaticClass())) throw EReadError("Unknown picture kind " + name);
        TObject* o = CreateObject(cls, nullptr);
        auto* g = dynamic_cast<TGraphic*>(o);
        if (!g) {
          delete o;
          throw EReadError("Unknown picture kind " + name);
        }
        try {
          if (SameText(name, "TJPEGImage") || SameText(name, "TPngImage")) g->LoadFromStream(s);
          else g->ReadData(s);
        } catch (...) {
          delete g;
          throw;
        }
        SetOwnedGraphic(g);
      },
      [this](TStream* s) {
        AnsiString name = FGraphic->ClassName();
        std::uint8_t len = std::uint8_t(name.size());
        s->WriteBuffer(&len, 1);
        s->WriteBuffer(name.data(), len);
        FGraphic->WriteData(s);
      },
      FGraphic != nullptr && !FGraphic->Empty());
}

// ---------------------------------------------------------------------------
// published properties

// ---- pictures on the clipboard ----

UINT PictureClipboardFormat() { return RegisterClipboardFormatA("Picture"); }

bool ClipboardHasFormat(UINT Format) {
  if (Format == CF_PICTURE)
    return IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB) ||
           IsClipboardFormatAvailable(Format);
  return IsClipboardFormatAvailable(Format) != 0;
}

void CopyPictureToClipboard(TPicture* Picture) {
  TGraphic* g = Picture ? Picture->Graphic() : nullptr;
  if (!g || g->Empty()) return;
  TBitmap bmp;
  if (auto* b = dynamic_cast<TBitmap*>(g)) {
    bmp.Assign(b);
  } else {
    bmp.SetSize(g->Width(), g->Height());
    bmp.Canvas()->Draw(0, 0, g);
  }
  HBITMAP h = bmp.ReleaseHandle();
  if (!h) return;
  if (!OpenClipboard(nullptr)) {
    DeleteObject(h);
    return;
  }
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, h);
  CloseClipboard();
}

bool PastePictureFromClipboard(TPicture* Picture) {
  if (!Picture || !OpenClipboard(nullptr)) return false;
  TBitmap bmp;
  bool got = false;
  if (auto h = reinterpret_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP bm;
    if (GetObjectA(h, sizeof bm, &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
      // A copy: the clipboard keeps its own bitmap.
      bmp.SetSize(bm.bmWidth, bm.bmHeight);
      HDC src = CreateCompatibleDC(nullptr);
      HGDIOBJ old = SelectObject(src, h);
      BitBlt(bmp.Canvas()->Handle(), 0, 0, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY);
      SelectObject(src, old);
      DeleteDC(src);
      got = true;
    }
  }
  CloseClipboard();
  if (got) Picture->SetBitmap(&bmp);
  return got;
}

void InitGraphicsProps() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterFileFormat("bmp", "Bitmaps", TBitmap::StaticClass());
  RegisterFileFormat("ico", "Icons", TIcon::StaticClass());
  RegisterFileFormat("jpg", "JPEG images", TBitmap::StaticClass());
  RegisterFileFormat("jpeg", "JPEG images", TBitmap::StaticClass());
  RegisterFileFormat("png", "PNG images", TBitmap::StaticClass());
  RegisterClasses({TFont::StaticClass(), TPen::StaticClass(), TBrush::StaticClass(), TBitmap::StaticClass(),
                   TIcon::StaticClass(), TPicture::StaticClass()});
  RegisterProps<TFont>([](TPropBuilder<TFont>& p) {
    p.Prop("Charset", &TFont::Charset, &TFont::SetCharset).Default(int(DEFAULT_CHARSET)).Idents(&CharsetMap());
    p.Prop("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText).Idents(&ColorMap());
    p.Prop("Height", &TFont::Height, &TFont::SetHeight).Default(-MulDiv(DefFontSize, 96, 72));
    p.Prop("Name", &TFont::Name, &TFont::SetName).Default(AnsiString(DefFontName));
    p.Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    p.Prop("Size", &TFont::Size, &TFont::SetSize).Stored(false);
    p.Prop("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
  });
  RegisterProps<TPen>([](TPropBuilder<TPen>& p) {
    p.Prop("Color", &TPen::Color, &TPen::SetColor).Default(clBlack).Idents(&ColorMap());
    p.Prop("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    p.Prop("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    p.Prop("Width", &TPen::Width, &TPen::SetWidth).Default(1);
  });
  RegisterProps<TBrush>([](TPropBuilder<TBrush>& p) {
    p.Prop("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).Idents(&ColorMap());
    p.Prop("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
  });
}
