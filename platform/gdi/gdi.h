// The drawing interface: device contexts over 32-bit BGRA images, drawing
// objects (pens, brushes, fonts, bitmaps, regions, palettes), primitives,
// blits with raster operations, text in code page 936, and the classic 3-D
// edges and frame controls. Names and numeric values are the platform's.
//
// Handles are opaque ids, never addresses: using a deleted handle fails
// (returns 0 / FALSE) instead of touching freed memory. Everything runs on the
// GUI thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include "platform/rtl/wintypes.h"

// ---------------------------------------------------------------------------
// Handle types. HPEN, HBRUSH ... convert implicitly to HGDIOBJ; the reverse
// takes a cast, as usual: (HPEN)SelectObject(dc, pen).
struct HGDIOBJ__ { HGDIOBJ__() = delete; };
struct HPEN__ : HGDIOBJ__ {};
struct HBRUSH__ : HGDIOBJ__ {};
struct HFONT__ : HGDIOBJ__ {};
struct HBITMAP__ : HGDIOBJ__ {};
struct HRGN__ : HGDIOBJ__ {};
struct HPALETTE__ : HGDIOBJ__ {};
struct HDC__ { HDC__() = delete; };
struct HICON__ { HICON__() = delete; };
struct HIMAGELIST__ { HIMAGELIST__() = delete; };
struct HMETAFILE__ { HMETAFILE__() = delete; };
struct HENHMETAFILE__ { HENHMETAFILE__() = delete; };

using HGDIOBJ = HGDIOBJ__*;
using HPEN = HPEN__*;
using HBRUSH = HBRUSH__*;
using HFONT = HFONT__*;
using HBITMAP = HBITMAP__*;
using HRGN = HRGN__*;
using HPALETTE = HPALETTE__*;
using HDC = HDC__*;
using HICON = HICON__*;
using HCURSOR = HICON;
using HIMAGELIST = HIMAGELIST__*;
using HMETAFILE = HMETAFILE__*;
using HENHMETAFILE = HENHMETAFILE__*;

using INT = int;
using CHAR = char;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LPCSTR = const char*;
using LPSTR = char*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;

// ---------------------------------------------------------------------------
// Structures
constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
  LONG lfHeight = 0;       // > 0: cell height; < 0: character height (pixels)
  LONG lfWidth = 0;        // average width; 0 picks the face's own
  LONG lfEscapement = 0;   // tenths of a degree; 900 and 2700 rotate
  LONG lfOrientation = 0;
  LONG lfWeight = 0;       // FW_*
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};  // CP936
};
using LOGFONT = LOGFONTA;

struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth;  // x is the width
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  std::uintptr_t lbHatch = 0;  // HS_* for hatched brushes, an HBITMAP for pattern brushes
};

struct EXTLOGPEN {
  DWORD elpPenStyle = 0;
  DWORD elpWidth = 0;
  UINT elpBrushStyle = 0;
  COLORREF elpColor = 0;
  std::uintptr_t elpHatch = 0;
  DWORD elpNumEntries = 0;
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;  // DIB sections only
};

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

struct RGBQUAD {
  BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {};
  HANDLE dshSection = nullptr;
  DWORD dsOffset = 0;
};

struct TEXTMETRICA {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  BYTE tmFirstChar = 0;
  BYTE tmLastChar = 0;
  BYTE tmDefaultChar = 0;
  BYTE tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICA;

struct ABC {
  int abcA = 0;
  UINT abcB = 0;
  int abcC = 0;
};

struct BLENDFUNCTION {
  BYTE BlendOp = 0;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};

struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;     // in average character widths
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;  // out: bytes processed
};

struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;
  HBITMAP hbmColor = nullptr;
};

struct PALETTEENTRY {
  BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

struct RGNDATAHEADER {
  DWORD dwSize = 32;
  DWORD iType = 1;  // RDH_RECTANGLES
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};

// ---------------------------------------------------------------------------
// Constants

// Stock objects
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
              OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
              DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16,
              DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;

// Object types (GetObjectType)
constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_METADC = 4, OBJ_PAL = 5, OBJ_FONT = 6,
                OBJ_BITMAP = 7, OBJ_REGION = 8, OBJ_METAFILE = 9, OBJ_MEMDC = 10, OBJ_EXTPEN = 11,
                OBJ_ENHMETADC = 12, OBJ_ENHMETAFILE = 13;

// Pen styles
constexpr UINT PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
               PS_INSIDEFRAME = 6, PS_USERSTYLE = 7, PS_ALTERNATE = 8, PS_STYLE_MASK = 0x0F,
               PS_ENDCAP_ROUND = 0x000, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200,
               PS_ENDCAP_MASK = 0xF00, PS_JOIN_ROUND = 0x0000, PS_JOIN_BEVEL = 0x1000,
               PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000, PS_COSMETIC = 0x00000,
               PS_GEOMETRIC = 0x10000, PS_TYPE_MASK = 0xF0000;

// Brush styles
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3,
               BS_INDEXED = 4, BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6, BS_PATTERN8X8 = 7;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
              HS_DIAGCROSS = 5;

// Binary raster operations
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4,
              R2_MASKPENNOT = 5, R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9,
              R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12, R2_COPYPEN = 13,
              R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;

// Ternary raster operations (the high word's low byte is the operation index)
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062,
                NOMIRRORBITMAP = 0x80000000, CAPTUREBLT = 0x40000000;
constexpr DWORD DSPDxax = 0x00E20746, PSDPxax = 0x00B8074A;

// Background modes, fill modes, stretch modes, map modes
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int ALTERNATE = 1, WINDING = 2;
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4,
              STRETCH_ANDSCANS = 1, STRETCH_ORSCANS = 2, STRETCH_DELETESCANS = 3,
              STRETCH_HALFTONE = 4;
constexpr int MM_TEXT = 1;
constexpr int AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2;

// Regions
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
constexpr int RGN_ERROR = ERROR;

// Device capabilities
constexpr int DRIVERVERSION = 0, TECHNOLOGY = 2, HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8,
              VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMBRUSHES = 16, NUMPENS = 18,
              NUMFONTS = 22, NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90,
              SIZEPALETTE = 104, NUMRESERVED = 106, COLORRES = 108, DESKTOPVERTRES = 117,
              DESKTOPHORZRES = 118;
constexpr int DT_RASDISPLAY = 1;
constexpr int RC_BITBLT = 1, RC_STRETCHBLT = 0x0800, RC_DI_BITMAP = 0x0080, RC_PALETTE = 0x0100;

// Bitmaps and DIBs
constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5;
constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
constexpr DWORD CBM_INIT = 4;

// Text alignment
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
               TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24, TA_RTLREADING = 256,
               TA_MASK = TA_BASELINE + TA_CENTER + TA_UPDATECP + TA_RTLREADING;
constexpr UINT GDI_ERROR = 0xFFFFFFFF;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// ExtTextOut options
constexpr UINT ETO_OPAQUE = 0x0002, ETO_CLIPPED = 0x0004, ETO_GLYPH_INDEX = 0x0010,
               ETO_RTLREADING = 0x0080, ETO_IGNORELANGUAGE = 0x1000;

// DrawText formats
constexpr UINT DT_TOP = 0x00000000, DT_LEFT = 0x00000000, DT_CENTER = 0x00000001,
               DT_RIGHT = 0x00000002, DT_VCENTER = 0x00000004, DT_BOTTOM = 0x00000008,
               DT_WORDBREAK = 0x00000010, DT_SINGLELINE = 0x00000020, DT_EXPANDTABS = 0x00000040,
               DT_TABSTOP = 0x00000080, DT_NOCLIP = 0x00000100, DT_EXTERNALLEADING = 0x00000200,
               DT_CALCRECT = 0x00000400, DT_NOPREFIX = 0x00000800, DT_INTERNAL = 0x00001000,
               DT_EDITCONTROL = 0x00002000, DT_PATH_ELLIPSIS = 0x00004000,
               DT_END_ELLIPSIS = 0x00008000, DT_MODIFYSTRING = 0x00010000,
               DT_RTLREADING = 0x00020000, DT_WORD_ELLIPSIS = 0x00040000,
               DT_NOFULLWIDTHCHARBREAK = 0x00080000, DT_HIDEPREFIX = 0x00100000,
               DT_PREFIXONLY = 0x00200000;

// Font weights, charsets, pitch and family, quality, precision
constexpr LONG FW_DONTCARE = 0, FW_THIN = 100, FW_EXTRALIGHT = 200, FW_LIGHT = 300,
               FW_NORMAL = 400, FW_REGULAR = 400, FW_MEDIUM = 500, FW_SEMIBOLD = 600,
               FW_DEMIBOLD = 600, FW_BOLD = 700, FW_EXTRABOLD = 800, FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128,
               HANGEUL_CHARSET = 129, GB2312_CHARSET = 134, CHINESEBIG5_CHARSET = 136,
               OEM_CHARSET = 255;
constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_DONTCARE = 0x00,
               FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30, FF_SCRIPT = 0x40,
               FF_DECORATIVE = 0x50;
// In TEXTMETRIC::tmPitchAndFamily the bit is set for a variable-pitch font.
constexpr BYTE TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04,
               TMPF_DEVICE = 0x08;
constexpr BYTE DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2,
               NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4, CLEARTYPE_QUALITY = 5;
constexpr BYTE OUT_DEFAULT_PRECIS = 0, OUT_TT_PRECIS = 4, OUT_TT_ONLY_PRECIS = 7, CLIP_DEFAULT_PRECIS = 0;
constexpr DWORD GCP_ERROR = 0x8000, GCP_DBCS = 0x0001, GCP_REORDER = 0x0002, GCP_USEKERNING = 0x0008,
                GCP_GLYPHSHAPE = 0x0010, GCP_LIGATE = 0x0020, GCP_DIACRITIC = 0x0100,
                GCP_KASHIDA = 0x0400, FLI_GLYPHS = 0x00040000, FLI_MASK = 0x103B;

// The reserved face name of the built-in font with fixed metrics: single-byte
// characters have a 7 x 14 cell, double-byte characters 14 x 14; ascent 11,
// descent 3. Printable characters are drawn as solid blocks (single-byte
// [1,6) x [3,11), double-byte [1,13) x [1,13) within the cell) and space
// and control characters draw nothing, so tests can check ink exactly.
constexpr const char* PV_FIXED_FONT_NAME = "PvFixed";

// AlphaBlend
constexpr BYTE AC_SRC_OVER = 0x00, AC_SRC_ALPHA = 0x01;

// System colours
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1,
              COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4,
              COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
              COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
              COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_3DFACE = 15,
              COLOR_BTNSHADOW = 16, COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17,
              COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
              COLOR_3DHILIGHT = 20, COLOR_3DHIGHLIGHT = 20, COLOR_BTNHILIGHT = 20,
              COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
              COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27,
              COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;
constexpr int PV_SYSCOLOR_COUNT = 31;

// DrawEdge
constexpr UINT BDR_RAISEDOUTER = 0x0001, BDR_SUNKENOUTER = 0x0002, BDR_RAISEDINNER = 0x0004,
               BDR_SUNKENINNER = 0x0008, BDR_OUTER = 0x0003, BDR_INNER = 0x000C,
               BDR_RAISED = 0x0005, BDR_SUNKEN = 0x000A;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
               EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
               EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
               EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x0001, BF_TOP = 0x0002, BF_RIGHT = 0x0004, BF_BOTTOM = 0x0008,
               BF_TOPLEFT = BF_TOP | BF_LEFT, BF_TOPRIGHT = BF_TOP | BF_RIGHT,
               BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT, BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
               BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM, BF_DIAGONAL = 0x0010,
               BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT,
               BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT,
               BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT,
               BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT,
               BF_MIDDLE = 0x0800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000,
               BF_MONO = 0x8000;

// DrawFrameControl
constexpr UINT DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4, DFC_POPUPMENU = 5;
constexpr UINT DFCS_CAPTIONCLOSE = 0x0000, DFCS_CAPTIONMIN = 0x0001, DFCS_CAPTIONMAX = 0x0002,
               DFCS_CAPTIONRESTORE = 0x0003, DFCS_CAPTIONHELP = 0x0004,
               DFCS_MENUARROW = 0x0000, DFCS_MENUCHECK = 0x0001, DFCS_MENUBULLET = 0x0002,
               DFCS_MENUARROWRIGHT = 0x0004, DFCS_SCROLLUP = 0x0000, DFCS_SCROLLDOWN = 0x0001,
               DFCS_SCROLLLEFT = 0x0002, DFCS_SCROLLRIGHT = 0x0003, DFCS_SCROLLCOMBOBOX = 0x0005,
               DFCS_SCROLLSIZEGRIP = 0x0008, DFCS_SCROLLSIZEGRIPRIGHT = 0x0010,
               DFCS_BUTTONCHECK = 0x0000, DFCS_BUTTONRADIOIMAGE = 0x0001,
               DFCS_BUTTONRADIOMASK = 0x0002, DFCS_BUTTONRADIO = 0x0004,
               DFCS_BUTTON3STATE = 0x0008, DFCS_BUTTONPUSH = 0x0010,
               DFCS_INACTIVE = 0x0100, DFCS_PUSHED = 0x0200, DFCS_CHECKED = 0x0400,
               DFCS_TRANSPARENT = 0x0800, DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000,
               DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;

// Predefined bitmaps. OBM_CHECKBOXES is a 4 x 3 grid of 13 x 13 check-box
// glyphs. The menu-item bitmap constants are markers, never real bitmaps.
constexpr int OBM_CHECKBOXES = 32759, OBM_CHECK = 32760, OBM_MNARROW = 32739,
              OBM_COMBO = 32738, OBM_CLOSE = 32754;
inline HBITMAP const HBMMENU_CALLBACK = reinterpret_cast<HBITMAP>(std::intptr_t(-1));
inline HBITMAP const HBMMENU_SYSTEM = reinterpret_cast<HBITMAP>(std::intptr_t(1));
inline HBITMAP const HBMMENU_MBAR_RESTORE = reinterpret_cast<HBITMAP>(std::intptr_t(2));
inline HBITMAP const HBMMENU_MBAR_MINIMIZE = reinterpret_cast<HBITMAP>(std::intptr_t(3));
inline HBITMAP const HBMMENU_MBAR_CLOSE = reinterpret_cast<HBITMAP>(std::intptr_t(5));
inline HBITMAP const HBMMENU_MBAR_CLOSE_D = reinterpret_cast<HBITMAP>(std::intptr_t(6));
inline HBITMAP const HBMMENU_MBAR_MINIMIZE_D = reinterpret_cast<HBITMAP>(std::intptr_t(7));
inline HBITMAP const HBMMENU_POPUP_CLOSE = reinterpret_cast<HBITMAP>(std::intptr_t(8));
inline HBITMAP const HBMMENU_POPUP_RESTORE = reinterpret_cast<HBITMAP>(std::intptr_t(9));
inline HBITMAP const HBMMENU_POPUP_MAXIMIZE = reinterpret_cast<HBITMAP>(std::intptr_t(10));
inline HBITMAP const HBMMENU_POPUP_MINIMIZE = reinterpret_cast<HBITMAP>(std::intptr_t(11));

// DrawIconEx
constexpr UINT DI_MASK = 0x0001, DI_IMAGE = 0x0002, DI_NORMAL = 0x0003, DI_COMPAT = 0x0004,
               DI_DEFAULTSIZE = 0x0008;

// ---------------------------------------------------------------------------
// Device contexts and state
HDC CreateCompatibleDC(HDC hdc);  // a memory DC holding a 1x1 monochrome bitmap
BOOL DeleteDC(HDC hdc);
// A DC over the screen surface (see surface.h); any driver name is accepted.
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* initData);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int savedDC);  // negative: relative to the current level
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);  // for a region: returns the region type
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL DeleteObject(HGDIOBJ obj);  // stock objects and selected objects are refused
int GetObjectA(HGDIOBJ obj, int size, void* out);
inline int GetObject(HGDIOBJ obj, int size, void* out) { return GetObjectA(obj, size, out); }
DWORD GetObjectType(HGDIOBJ obj);
DWORD GetObjectType(HDC hdc);
HGDIOBJ GetStockObject(int index);
int GetDeviceCaps(HDC hdc, int index);

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC hdc, POINT* pt);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* old);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC hdc, POINT* pt);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old);
int SetMapMode(HDC hdc, int mode);  // MM_TEXT only
int GetMapMode(HDC hdc);
BOOL LPtoDP(HDC hdc, POINT* pts, int count);
BOOL DPtoLP(HDC hdc, POINT* pts, int count);
BOOL GetDCOrgEx(HDC hdc, POINT* pt);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC hdc, POINT* pt);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetArcDirection(HDC hdc, int dir);
int GetArcDirection(HDC hdc);
COLORREF GetNearestColor(HDC hdc, COLORREF color);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);
BOOL GdiFlush();

// System colours: the classic table for indexes 0..30. A COLORREF of
// 0xFF000000 + index names a system colour and is resolved wherever a colour
// is taken.
DWORD GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors);
COLORREF ResolveColor(COLORREF color);

// ---------------------------------------------------------------------------
// Pens and brushes
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount,
                  const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bmp);  // the top-left 8x8 pixels of the bitmap
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HPALETTE CreatePalette(const LOGPALETTE* lp);
HPALETTE SelectPalette(HDC hdc, HPALETTE pal, BOOL forceBackground);
UINT RealizePalette(HDC hdc);

// ---------------------------------------------------------------------------
// Primitives
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC hdc, POINT* pt);
BOOL LineTo(HDC hdc, int x, int y);  // the end point is not drawn
BOOL Polyline(HDC hdc, const POINT* pts, int count);
BOOL PolylineTo(HDC hdc, const POINT* pts, DWORD count);
BOOL PolyPolyline(HDC hdc, const POINT* pts, const DWORD* counts, DWORD polys);
BOOL Polygon(HDC hdc, const POINT* pts, int count);
BOOL PolyPolygon(HDC hdc, const POINT* pts, const INT* counts, int polys);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
int FillRect(HDC hdc, const RECT* rc, HBRUSH brush);  // brush may be (HBRUSH)(COLOR_* + 1)
int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rc);
BOOL DrawFocusRect(HDC hdc, const RECT* rc);  // dotted XOR: drawing twice erases
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);  // CLR_INVALID outside the bitmap or clip

// ---------------------------------------------------------------------------
// Regions and clipping
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rc);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* rc);
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int polys, int fillMode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL EqualRgn(HRGN a, HRGN b);
int GetRgnBox(HRGN rgn, RECT* rc);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rc);
// Region data as a header followed by the rectangles; returns the size needed.
DWORD GetRegionData(HRGN rgn, DWORD size, void* out);
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int w, int h);
BOOL InvertRgn(HDC hdc, HRGN rgn);
BOOL PaintRgn(HDC hdc, HRGN rgn);

// The clip region is in device coordinates (not moved by the origins).
int SelectClipRgn(HDC hdc, HRGN rgn);  // a copy is kept; null removes the clip
int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode);
// 1 and a copy in rgn when a clip region is set, 0 when none, -1 on error.
int GetClipRgn(HDC hdc, HRGN rgn);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);  // logical
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);    // logical
int OffsetClipRgn(HDC hdc, int dx, int dy);
int GetClipBox(HDC hdc, RECT* rc);  // logical coordinates
BOOL RectVisible(HDC hdc, const RECT* rc);
BOOL PtVisible(HDC hdc, int x, int y);

// Paths: figures of lines between BeginPath and EndPath.
BOOL BeginPath(HDC hdc);
BOOL EndPath(HDC hdc);
BOOL AbortPath(HDC hdc);
BOOL CloseFigure(HDC hdc);
HRGN PathToRegion(HDC hdc);  // device coordinates; uses the polygon fill mode
BOOL FillPath(HDC hdc);
BOOL StrokePath(HDC hdc);
BOOL StrokeAndFillPath(HDC hdc);
BOOL SelectClipPath(HDC hdc, int mode);

// ---------------------------------------------------------------------------
// Bitmaps
// bitsPerPixel 1 (rows padded to 16 bits) or 32; other depths are stored as 32.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bm);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);  // the DC's depth
// 32-bit only; a negative biHeight makes the rows top-down.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* bmih, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage);
// 1, 24 and 32-bit formats. Calling with bits == nullptr fills in the header.
int GetDIBits(HDC hdc, HBITMAP bmp, UINT startScan, UINT lines, void* bits, BITMAPINFO* bmi,
              UINT usage);
int SetDIBits(HDC hdc, HBITMAP bmp, UINT startScan, UINT lines, const void* bits,
              const BITMAPINFO* bmi, UINT usage);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* bmi,
                      UINT usage);
int StretchDIBits(HDC hdc, int xDest, int yDest, int wDest, int hDest, int xSrc, int ySrc,
                  int wSrc, int hSrc, const void* bits, const BITMAPINFO* bmi, UINT usage,
                  DWORD rop);
LONG GetBitmapBits(HBITMAP bmp, LONG size, void* bits);
LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* bits);
BOOL GetBitmapDimensionEx(HBITMAP bmp, SIZE* size);

// Any ternary raster operation; a monochrome source on a colour destination
// takes the destination's text colour for 0 and background colour for 1; a
// colour source on a monochrome destination gives 1 where it equals the
// source's background colour.
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, DWORD rop);
// Negative extents mirror.
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop);
BOOL MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, HBITMAP mask,
             int xMask, int yMask, DWORD rop);
// Source-over blending with a constant alpha and, with AC_SRC_ALPHA, the
// source's premultiplied per-pixel alpha.
BOOL AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc,
                int hSrc, BLENDFUNCTION blend);
// Copies every source pixel except those of colour `transparent`.
BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int xSrc, int ySrc, int wSrc,
                    int hSrc, UINT transparent);

// ---------------------------------------------------------------------------
// Fonts and text (text is CP936: a double-byte character is one glyph)
HFONT CreateFontIndirectA(const LOGFONTA* lf);
inline HFONT CreateFontIndirect(const LOGFONTA* lf) { return CreateFontIndirectA(lf); }
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                  DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                  LPCSTR face);
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm);
inline BOOL GetTextMetrics(HDC hdc, TEXTMETRICA* tm) { return GetTextMetricsA(hdc, tm); }
int GetTextFaceA(HDC hdc, int count, char* face);
BOOL GetTextExtentPoint32A(HDC hdc, const char* s, int len, SIZE* size);
BOOL GetTextExtentPointA(HDC hdc, const char* s, int len, SIZE* size);
// fit (optional): characters that fit within maxExtent; dx (optional): the
// extent after each byte (both bytes of a double-byte character get the same).
BOOL GetTextExtentExPointA(HDC hdc, const char* s, int len, int maxExtent, int* fit, int* dx,
                           SIZE* size);
BOOL GetCharWidthA(HDC hdc, UINT first, UINT last, int* widths);
BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, int* widths);
BOOL GetCharABCWidthsA(HDC hdc, UINT first, UINT last, ABC* abc);
DWORD GetTabbedTextExtentA(HDC hdc, const char* s, int len, int tabs, const int* tabStops);
BOOL TextOutA(HDC hdc, int x, int y, const char* s, int len);
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rc, const char* s, UINT len,
                 const int* dx);
LONG TabbedTextOutA(HDC hdc, int x, int y, const char* s, int len, int tabs,
                    const int* tabStops, int tabOrigin);
// len -1: zero-terminated. With DT_MODIFYSTRING the buffer must have room for
// four more bytes.
int DrawTextA(HDC hdc, const char* s, int len, RECT* rc, UINT format);
int DrawTextExA(HDC hdc, char* s, int len, RECT* rc, UINT format, DRAWTEXTPARAMS* params);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetTextCharacterExtra(HDC hdc, int extra);
int GetTextCharacterExtra(HDC hdc);
BOOL SetTextJustification(HDC hdc, int breakExtra, int breakCount);
DWORD GetFontLanguageInfo(HDC hdc);
BOOL GrayStringA(HDC hdc, HBRUSH brush, void* proc, LPARAM data, int len, int x, int y, int w,
                 int h);

// ---------------------------------------------------------------------------
// Classic drawing
BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC hdc, RECT* rc, UINT type, UINT state);
// The platform's predefined bitmaps (OBM_*), drawn on demand; ids 8..11 give
// 16 x 16 glyphs of the menu-item bitmaps HBMMENU_POPUP_CLOSE .. _MINIMIZE.
// LoadBitmapA(nullptr, MAKEINTRESOURCE(OBM_...)) also works.
HBITMAP LoadOEMBitmap(int id);
HBITMAP LoadBitmapA(HANDLE instance, LPCSTR name);

// ---------------------------------------------------------------------------
// Icons and cursors
HICON CreateIconIndirect(const ICONINFO* ii);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
inline BOOL DestroyCursor(HCURSOR c) { return DestroyIcon(c); }
BOOL GetIconInfo(HICON icon, ICONINFO* ii);  // the caller owns the returned bitmaps
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int w, int h, UINT step, HBRUSH flicker,
                UINT flags);
#include "platform/gdi/rects.h"

// ---------------------------------------------------------------------------
// Font enumeration
#include <string>
#include <vector>
// The families of the installed fonts in CP936, sorted without case and
// without duplicates; a family with a simplified-Chinese name is listed under
// that name rather than its Latin one. Empty when no fonts are found.
std::vector<std::string> EnumFontFamilyNames();

// Font types of an enumerated face.
constexpr DWORD RASTER_FONTTYPE = 0x0001, DEVICE_FONTTYPE = 0x0002, TRUETYPE_FONTTYPE = 0x0004;
using FONTENUMPROCA = int (*)(const LOGFONTA* Font, const TEXTMETRICA* Metric, DWORD FontType, LPARAM Data);
// Calls Proc once per installed family in the order of EnumFontFamilyNames
// (faces whose outlines scale are TrueType ones), while it answers non-zero.
// A face name in Font limits the list to that family; its character set is
// reported back as given. Answers the last value Proc returned (1 when it
// was not called).
int EnumFontFamiliesExA(HDC DC, const LOGFONTA* Font, FONTENUMPROCA Proc, LPARAM Data, DWORD Flags);
