#include "inplace/kxcommon.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/imagelist.h"
#include "platform/rtl/stringlist.h"
#include "platform/win/system.h"

namespace {
HBRUSH gCheckerBrush = nullptr;
HBRUSH gPopupShadowBrush = nullptr;

struct TDCState {
  HDC DC;
  int Saved;
  explicit TDCState(HDC dc) : DC(dc), Saved(SaveDC(dc)) {}
  ~TDCState() { RestoreDC(DC, Saved); }
};

HBRUSH PopupShadowBrush() {
  if (!gPopupShadowBrush) gPopupShadowBrush = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
  return gPopupShadowBrush;
}
}  // namespace

SIZE kxTextExtent(HDC DC, const AnsiString& S) {
  SIZE sz{0, 0};
  GetTextExtentPoint32A(DC, S.c_str(), int(S.size()), &sz);
  return sz;
}

SIZE kxFontTextExtent(TFont* Font, const AnsiString& S) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  const SIZE sz = kxTextExtent(dc, S);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return sz;
}

int kxPopupBorderWidth(TkxPopupBorder Border) {
  switch (Border) {
    case pbSingle: return 1;
    case pbFrame3D: return 4;
    case pbFlat: return 2;
    default: return 0;
  }
}

HBRUSH kxCheckerBrush() {
  if (!gCheckerBrush) {
    // White except where x and y have the same parity.
    WORD rows[8];
    for (int y = 0; y < 8; ++y) rows[y] = (y % 2 == 0) ? 0x55 : 0xAA;
    HBITMAP bmp = CreateBitmap(8, 8, 1, 1, rows);
    gCheckerBrush = CreatePatternBrush(bmp);
    DeleteObject(bmp);
  }
  return gCheckerBrush;
}

int kxPaintCellText(HDC DC, const AnsiString& Text, int Length, int& LineHeight, COLORREF TextColor,
                    COLORREF BackColor, HFONT Font, HBRUSH Brush, Word Flags, const TRect& TextRect,
                    const TRect& CellRect) {
  if (Length < 0 || Length > int(Text.size())) Length = int(Text.size());
  const bool measure = Flags & kxctMeasure;
  const bool transparent = Flags & kxctTransparent;
  HGDIOBJ oldFont = Font ? SelectObject(DC, Font) : nullptr;
  COLORREF oldBk = SetBkColor(DC, BackColor);
  COLORREF oldText = SetTextColor(DC, TextColor);
  int result = 0;
  SIZE ext{0, 0};
  GetTextExtentPoint32A(DC, Text.c_str(), Length, &ext);
  auto restore = [&]() {
    SetTextColor(DC, oldText);
    SetBkColor(DC, oldBk);
    if (Font) SelectObject(DC, oldFont);
  };
  if (measure) {
    LineHeight = ext.cy;
    if (ext.cy == 0) {
      restore();
      return 0;
    }
  }
  const int halign = Flags & 3;
  const int vplace = Flags & (kxctVCenter | kxctBottom | kxctMultiLine);
  const bool hasBreak = Text.substr(0, Length).find_first_of("\r\n") != AnsiString::npos;
  const bool wide = ext.cx > TextRect.Width();
  const bool useDrawText = (Flags & (kxctMultiLine | kxctPrefix)) ||
                           ((wide || hasBreak) && (Flags & (kxctMultiLine | kxctEndEllipsis | kxctPathEllipsis)));
  TRect focusRect = TextRect;
  if (useDrawText) {
    UINT format = (halign == 1 ? DT_CENTER : halign == 2 ? DT_RIGHT : DT_LEFT) | DT_EXPANDTABS;
    if (!wide) format |= DT_NOCLIP;
    if (!(Flags & kxctPrefix)) format |= DT_NOPREFIX;
    if (Flags & kxctEndEllipsis) format |= DT_END_ELLIPSIS;
    if (Flags & kxctPathEllipsis) format |= DT_PATH_ELLIPSIS;
    if (vplace & kxctMultiLine) format |= DT_WORDBREAK;
    else if (vplace & kxctVCenter) format |= DT_SINGLELINE | DT_VCENTER;
    else if (vplace & kxctBottom) format |= DT_SINGLELINE | DT_BOTTOM;
    else format |= DT_SINGLELINE;
    if (measure) {
      RECT r = TextRect;
      result = DrawTextA(DC, Text.c_str(), Length, &r, format | DT_CALCRECT);
    } else {
      if (!transparent && Brush) {
        RECT cell = CellRect;
        FillRect(DC, &cell, Brush);
      }
      int oldMode = 0;
      if (!(Flags & kxctKeepBkMode)) oldMode = SetBkMode(DC, TRANSPARENT);
      RECT r = TextRect;
      if (vplace & kxctMultiLine) {
        // Whole lines only: the lines that fit the text rectangle (the first
        // one always, as far as the cell goes) are drawn, none below them, so
        // a row one line high shows nothing of its second line.
        const int lineH = ext.cy;
        if (lineH > 0) {
          const int lines = std::max(1, int(TextRect.bottom - TextRect.top) / lineH);
          r.bottom = std::min(CellRect.bottom, TextRect.top + lines * lineH);
        }
        format &= ~UINT(DT_NOCLIP);
      }
      DrawTextA(DC, Text.c_str(), Length, &r, format);
      if (!(Flags & kxctKeepBkMode)) SetBkMode(DC, oldMode);
      if ((Flags & kxctFocusRect) && (Flags & kxctFocusTextOnly)) {
        RECT c = TextRect;
        int h = DrawTextA(DC, Text.c_str(), Length, &c, format | DT_CALCRECT);
        focusRect = c;
        if (!(vplace & kxctMultiLine)) {
          // DT_CALCRECT measures from the top; move the rectangle where the line was drawn.
          int top = TextRect.top;
          if (vplace & kxctVCenter) top = (TextRect.top + TextRect.bottom - h) / 2;
          else if (vplace & kxctBottom) top = TextRect.bottom - h;
          focusRect.top = top;
          focusRect.bottom = top + h;
          if (halign == 1) OffsetRect(&focusRect, (TextRect.left + TextRect.right - c.right - c.left) / 2, 0);
          else if (halign == 2) OffsetRect(&focusRect, TextRect.right - c.right, 0);
        }
      }
    }
  } else if (measure) {
    result = ext.cy;
  } else {
    RECT clip = CellRect;
    int x = TextRect.left;
    if (wide) {
      if (!transparent && Brush && CellRect.right > TextRect.right) {
        RECT right{TextRect.right, CellRect.top, CellRect.right, CellRect.bottom};
        FillRect(DC, &right, Brush);
      }
      clip.right = TextRect.right;
    } else if (halign == 1) {
      x = (TextRect.left + TextRect.right - ext.cx) / 2;
    } else if (halign == 2) {
      x = TextRect.right - ext.cx;
    }
    int y = TextRect.top;
    if (vplace & kxctVCenter) y = (TextRect.top + TextRect.bottom - ext.cy) / 2;
    else if (vplace & kxctBottom) y = TextRect.bottom - ext.cy;
    if (transparent) {
      int oldMode = 0;
      if (!(Flags & kxctKeepBkMode)) oldMode = SetBkMode(DC, TRANSPARENT);
      ExtTextOutA(DC, x, y, ETO_CLIPPED, &clip, Text.c_str(), UINT(Length), nullptr);
      if (!(Flags & kxctKeepBkMode)) SetBkMode(DC, oldMode);
    } else {
      ExtTextOutA(DC, x, y, ETO_CLIPPED | ETO_OPAQUE, &clip, Text.c_str(), UINT(Length), nullptr);
    }
    focusRect = Flags & kxctFocusTextOnly ? kxRect(x, y, x + ext.cx, y + ext.cy) : TextRect;
  }
  if (measure) {
    result += (TextRect.top - CellRect.top) + (CellRect.bottom - TextRect.bottom);
  } else if ((Flags & kxctFocusRect) && (Length > 0 || !(Flags & kxctFocusTextOnly))) {
    RECT f = focusRect;
    InflateRect(&f, 1, 1);
    SetTextColor(DC, 0x000000);
    SetBkColor(DC, 0xFFFFFF);
    DrawFocusRect(DC, &f);
  }
  restore();
  return measure ? result : 0;
}

void kxPaintShadow(HDC DC, const TRect& R, int Size, HBRUSH Brush) {
  RECT bottom{R.left, R.bottom - Size, R.right, R.bottom};
  FillRect(DC, &bottom, Brush);
  RECT right{R.right - Size, R.top, R.right, R.bottom};
  FillRect(DC, &right, Brush);
}

void kxHatchRect(HDC DC, const TRect& R, TColor Color) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  TDCState state(DC);
  HDC mem = CreateCompatibleDC(DC);
  HBITMAP bmp = CreateCompatibleBitmap(DC, R.Width(), R.Height());
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  // Pattern-0 pixels black, pattern-1 pixels white, then AND the screen in.
  SetTextColor(mem, 0x000000);
  SetBkColor(mem, 0xFFFFFF);
  SetBrushOrgEx(mem, (8 - R.left % 8) % 8, (8 - R.top % 8) % 8, nullptr);
  RECT local{0, 0, R.Width(), R.Height()};
  FillRect(mem, &local, kxCheckerBrush());
  BitBlt(mem, 0, 0, R.Width(), R.Height(), DC, R.left, R.top, SRCAND);
  // R: pattern-0 pixels in Color, the others black; OR the kept pixels back.
  SetTextColor(DC, ColorToRGB(Color));
  SetBkColor(DC, 0x000000);
  RECT rr = R;
  FillRect(DC, &rr, kxCheckerBrush());
  BitBlt(DC, R.left, R.top, R.Width(), R.Height(), mem, 0, 0, SRCPAINT);
  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteDC(mem);
}

void kxBlitTransparent(HDC DC, HBRUSH Brush, const TRect& Area, TBitmap* Bitmap, const TRect& R) {
  if (Area.Width() <= 0 || Area.Height() <= 0) return;
  HDC mem = CreateCompatibleDC(DC);
  HBITMAP bmp = CreateCompatibleBitmap(DC, Area.Width(), Area.Height());
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  try {
    RECT local{0, 0, Area.Width(), Area.Height()};
    SetBrushOrgEx(mem, (8 - Area.left % 8) % 8, (8 - Area.top % 8) % 8, nullptr);
    FillRect(mem, &local, Brush);
    if (Bitmap && !Bitmap->Empty()) {
      COLORREF transparent = ColorToRGB(Bitmap->TransparentColor()) & 0xFFFFFF;
      TransparentBlt(mem, R.left - Area.left, R.top - Area.top, R.Width(), R.Height(), Bitmap->Canvas()->Handle(),
                     0, 0, std::min(R.Width(), Bitmap->Width()), std::min(R.Height(), Bitmap->Height()),
                     transparent);
    }
    BitBlt(DC, Area.left, Area.top, Area.Width(), Area.Height(), mem, 0, 0, SRCCOPY);
  } catch (...) {
    SelectObject(mem, oldBmp);
    DeleteObject(bmp);
    DeleteDC(mem);
    throw;
  }
  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteDC(mem);
}

void kxEnsureBitmapSize(TBitmap* Bitmap, int Width, int Height) {
  if (!Bitmap) return;
  int w = std::max(Bitmap->Width(), Width), h = std::max(Bitmap->Height(), Height);
  if (w != Bitmap->Width() || h != Bitmap->Height()) Bitmap->SetSize(w, h);
}

void kxGetMonitorWorkArea(const TPoint& P, TRect& R) {
  RECT work{0, 0, 0, 0};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  R = work;
  POINT pt{P.x, P.y};
  if (HMONITOR m = MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST)) {
    MONITORINFO info;
    if (GetMonitorInfoA(m, &info)) R = info.rcWork;
  }
}

void kxPlacePopupInWorkArea(TPoint& P, int Width, int Height, int OwnerHeight) {
  TRect r;
  kxGetMonitorWorkArea(P, r);
  if (P.x < r.left) P.x = r.left;
  else if (P.x + Width > r.right) P.x = r.right - Width;
  if (P.y + Height > r.bottom && r.bottom - OwnerHeight - P.y < P.y - r.top) P.y = P.y - OwnerHeight - Height;
}

COLORREF kxColorToImageListColor(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return ColorToRGB(Color);
}

void kxDrawImageListItem(HDC DC, int X, int Y, TCustomImageList* ImageList, int Index) {
  if (!ImageList || !ImageList->HandleAllocated()) return;
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT style = styles[ImageList->DrawingStyle()];
  if (ImageList->ImageType() == itMask) style |= ILD_MASK;
  ImageList_DrawEx(ImageList->Handle(), Index, DC, X, Y, 0, 0, kxColorToImageListColor(ImageList->BkColor()),
                   kxColorToImageListColor(ImageList->BlendColor()), style);
}

TPoint kxWindowPointFromScreen(HWND Wnd, const TPoint& P) {
  RECT r{0, 0, 0, 0};
  GetWindowRect(Wnd, &r);
  return {P.x - r.left, P.y - r.top};
}

void kxPaintPopupFrame(HDC DC, TRect R, TkxPopupBorder Border, int ShadowSize, bool Shadow, bool BothScrollBars) {
  TRect shadowRect;
  if (Shadow) {
    R.right -= ShadowSize;
    R.bottom -= ShadowSize;
    shadowRect = R;
    OffsetRect(&shadowRect, ShadowSize, ShadowSize);
  }
  RECT r = R;
  switch (Border) {
    case pbSingle: DrawEdge(DC, &r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_MONO); break;
    case pbFrame3D:
      DrawEdge(DC, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
      DrawEdge(DC, &r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST | BF_FLAT);
      DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      break;
    case pbFlat: DrawEdge(DC, &r, EDGE_RAISED, BF_RECT | BF_ADJUST); break;
    default: break;
  }
  if (Shadow) kxPaintShadow(DC, shadowRect, ShadowSize, PopupShadowBrush());
  if (BothScrollBars) {
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    RECT corner{r.right - cx, r.bottom - cy, r.right, r.bottom};
    FillRect(DC, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void kxPaintPopupFrameOnWindow(HWND Wnd, TkxPopupBorder Border, int ShadowSize, bool Shadow, bool BothScrollBars) {
  HDC dc = GetWindowDC(Wnd);
  if (!dc) return;
  RECT wr{0, 0, 0, 0};
  GetWindowRect(Wnd, &wr);
  kxPaintPopupFrame(dc, kxRect(0, 0, wr.right - wr.left, wr.bottom - wr.top), Border, ShadowSize, Shadow,
                    BothScrollBars);
  ReleaseDC(Wnd, dc);
}

void kxSetShadowWindowRegion(HWND Wnd, bool Shadow, int ShadowSize) {
  if (!Shadow) {
    SetWindowRgn(Wnd, nullptr, TRUE);
    return;
  }
  RECT wr{0, 0, 0, 0};
  GetWindowRect(Wnd, &wr);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  HRGN rgn = CreateRectRgn(0, 0, w - ShadowSize, h - ShadowSize);
  HRGN shadow = CreateRectRgn(ShadowSize, ShadowSize, w, h);
  CombineRgn(rgn, rgn, shadow, RGN_OR);
  DeleteObject(shadow);
  SetWindowRgn(Wnd, rgn, TRUE);
}

void kxPopupNCCalcSize(RECT& R, TkxPopupBorder Border, int ShadowSize, bool Shadow) {
  int b = kxPopupBorderWidth(Border);
  InflateRect(&R, -b, -b);
  if (Shadow) {
    R.right -= ShadowSize;
    R.bottom -= ShadowSize;
  }
}

// ---- TkxRegIniWrapper ----

AnsiString TkxRegIniWrapper::ReadString(const AnsiString& Section, const AnsiString& Ident,
                                        const AnsiString& Default) {
  if (auto* i = Ini()) return i->ReadString(Section, Ident, Default);
  if (auto* r = Reg()) return r->ReadString(Section, Ident, Default);
  return Default;
}

void TkxRegIniWrapper::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
  if (auto* i = Ini()) i->WriteString(Section, Ident, Value);
  else if (auto* r = Reg()) r->WriteString(Section, Ident, Value);
}

LongInt TkxRegIniWrapper::ReadInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Default) {
  if (auto* i = Ini()) return i->ReadInteger(Section, Ident, Default);
  if (auto* r = Reg()) return r->ReadInteger(Section, Ident, Default);
  return Default;
}

void TkxRegIniWrapper::WriteInteger(const AnsiString& Section, const AnsiString& Ident, LongInt Value) {
  if (auto* i = Ini()) i->WriteInteger(Section, Ident, Value);
  else if (auto* r = Reg()) r->WriteInteger(Section, Ident, Value);
}

bool TkxRegIniWrapper::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
  if (auto* i = Ini()) return i->ReadBool(Section, Ident, Default);
  if (auto* r = Reg()) return r->ReadBool(Section, Ident, Default);
  return Default;
}

void TkxRegIniWrapper::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
  if (auto* i = Ini()) i->WriteBool(Section, Ident, Value);
  else if (auto* r = Reg()) r->WriteBool(Section, Ident, Value);
}

void TkxRegIniWrapper::ReadSection(const AnsiString& Section, TStrings* Strings) {
  if (auto* i = Ini()) i->ReadSection(Section, Strings);
  else if (auto* r = Reg()) r->ReadSection(Section, Strings);
}

void TkxRegIniWrapper::ReadSections(TStrings* Strings) {
  if (auto* i = Ini()) i->ReadSections(Strings);
  else if (auto* r = Reg()) r->ReadSections(Strings);
}

void TkxRegIniWrapper::EraseSection(const AnsiString& Section) {
  if (auto* i = Ini()) i->EraseSection(Section);
  else if (auto* r = Reg()) r->EraseSection(Section);
}

void TkxRegIniWrapper::EraseSectionsWithPrefix(const AnsiString& Prefix) {
  auto* i = Ini();
  if (!i) return;
  TStringList sections;
  i->ReadSections(&sections);
  for (int k = 0; k < sections.Count(); ++k)
    if (sections.Strings(k).compare(0, Prefix.size(), Prefix) == 0 && sections.Strings(k).size() >= Prefix.size())
      i->EraseSection(sections.Strings(k));
}

namespace {
// Opens Key on the registry object for one call; the previous key comes back afterwards.
class TTempRegKey {
 public:
  TTempRegKey(TRegIniFile* Reg, const AnsiString& Key, bool CanCreate) : FReg(Reg) {
    FOldPath = Reg->CurrentPath();
    FHadKey = Reg->CurrentKey() != 0;
    FOpened = Reg->OpenKey(Key, CanCreate);
  }
  ~TTempRegKey() {
    FReg->CloseKey();
    if (FHadKey) FReg->OpenKey(AnsiString("\\") + FOldPath, false);
  }
  bool Opened() const { return FOpened; }

 private:
  TRegIniFile* FReg;
  AnsiString FOldPath;
  bool FHadKey = false;
  bool FOpened = false;
};
}  // namespace

int TkxRegIniWrapper::ReadBinaryData(const AnsiString& Key, const AnsiString& Name, void* Buffer, int BufSize) {
  auto* r = Reg();
  if (!r) return 0;
  TTempRegKey key(r, Key, false);
  if (!key.Opened() || !r->ValueExists(Name)) return 0;
  int size = r->GetDataSize(Name);
  if (BufSize <= 0 || size <= 0) return std::max(size, 0);
  std::vector<char> data(static_cast<std::size_t>(size));
  r->ReadBinaryData(Name, data.data(), size);
  int n = std::min(BufSize, size);
  std::memcpy(Buffer, data.data(), static_cast<std::size_t>(n));
  return n;
}

void TkxRegIniWrapper::WriteBinaryData(const AnsiString& Key, const AnsiString& Name, const void* Buffer,
                                       int BufSize) {
  auto* r = Reg();
  if (!r) return;
  TTempRegKey key(r, Key, true);
  if (key.Opened()) r->WriteBinaryData(Name, Buffer, BufSize);
}

void kxInitCommon() { kxCheckerBrush(); }

void kxDoneCommon() {
  if (gCheckerBrush) DeleteObject(gCheckerBrush);
  gCheckerBrush = nullptr;
  if (gPopupShadowBrush) DeleteObject(gPopupShadowBrush);
  gPopupShadowBrush = nullptr;
}
