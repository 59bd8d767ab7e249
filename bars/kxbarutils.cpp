#include "bars/kxbarutils.h"

#include <algorithm>
#include <map>

#include "bars/kxbar.h"
#include "framework/uxoffice11.h"
#include "framework/uxpopup.h"
#include "platform/controls/forms.h"
#include "platform/gdi/imagelist.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

// ---------------------------------------------------------------------------
// process-wide state

namespace {

struct TUtilState {
  std::vector<TRegItemRecord> Registry;
  std::map<std::uint64_t, TCustomkxBarControl*> BarControls;  // by serial: creation order
  std::uint64_t NextSerial = 0;
  TkxBarControlRef Active;
  std::vector<TkxBarManager*> Managers;
  std::vector<TkxBarItem*> TempItems;
  int ScreenBits = 32;
  HBRUSH Checker = nullptr;
  HBITMAP CheckerBitmap = nullptr;
  int LastSound = -1;
  int SoundCount = 0;
  HWND Tracked = nullptr;          // mouse-leave tracking without TrackMouseEvent
  UINT_PTR TrackTimer = 0;
  HWND TrackedByPlatform = nullptr;  // windows asked of TrackMouseEvent
  bool Initialised = false;
};

TUtilState& US() {
  static TUtilState s;
  return s;
}

}  // namespace

bool kxBarFullMenusShown = false;
TkxBarParentFormHook kxBarParentFormHook = nullptr;
BOOL (*kxBarTrackMouseEventProc)(TRACKMOUSEEVENT* Tme) = nullptr;
BOOL (*kxBarSetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD) = nullptr;
BOOL (*kxBarUpdateLayeredWindowProc)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                     DWORD) = nullptr;
BOOL (*kxBarAnimateWindowProc)(HWND, DWORD, DWORD) = nullptr;
bool kxBarIsWin9x = false, kxBarIsWin95 = false, kxBarHasMenuItemBitmaps = false;

// ---------------------------------------------------------------------------
// registry

void kxBarRegisterItemClass(TClass ItemClass, TClass ControlClass, bool VisibleInCustomizing) {
  US().Registry.push_back({ItemClass, ControlClass, VisibleInCustomizing});
  RegisterClass(ItemClass);
}

void kxBarUnregisterItemClass(TClass ItemClass) {
  auto& r = US().Registry;
  for (auto it = r.begin(); it != r.end(); ++it)
    if (it->ItemClass == ItemClass) {
      r.erase(it);
      UnRegisterClass(ItemClass);
      return;
    }
}

int kxBarCustomizingItemClassCount() {
  return int(std::count_if(US().Registry.begin(), US().Registry.end(),
                           [](const TRegItemRecord& r) { return r.VisibleInCustomizing; }));
}

TClass kxBarGetCustomizingItemClass(int Index) {
  if (Index < 0) return nullptr;
  for (const TRegItemRecord& r : US().Registry)
    if (r.VisibleInCustomizing && Index-- == 0) return r.ItemClass;
  return nullptr;
}

TClass kxBarGetItemControlClass(TClass ItemClass) {
  for (const TRegItemRecord& r : US().Registry)
    if (r.ItemClass == ItemClass) return r.ControlClass;
  return nullptr;
}

int kxBarRegisteredItemClassCount() { return int(US().Registry.size()); }
const TRegItemRecord& kxBarRegisteredItemClass(int Index) { return US().Registry.at(std::size_t(Index)); }

// ---------------------------------------------------------------------------
// live bar controls

TkxBarControlRef kxBarRef(TCustomkxBarControl* Control) {
  TkxBarControlRef r;
  if (Control) {
    r.Control = Control;
    r.Serial = Control->Serial();
  }
  return r;
}

std::uint64_t kxBarAddBarControl(TCustomkxBarControl* Control) {
  std::uint64_t serial = ++US().NextSerial;
  US().BarControls[serial] = Control;
  return serial;
}

void kxBarRemoveBarControl(TCustomkxBarControl* Control) {
  if (!Control) return;
  US().BarControls.erase(Control->Serial());
  if (US().Active.Control == Control) US().Active = TkxBarControlRef();
}

bool kxBarIsBarControlAlive(const TkxBarControlRef& Ref) {
  if (!Ref.Control || !Ref.Serial) return false;
  auto it = US().BarControls.find(Ref.Serial);
  return it != US().BarControls.end() && it->second == Ref.Control;
}

int kxBarBarControlCount() { return int(US().BarControls.size()); }

TCustomkxBarControl* kxBarGetBarControl(int Index) {
  if (Index < 0) return nullptr;
  for (const auto& [serial, control] : US().BarControls)
    if (Index-- == 0) return control;
  return nullptr;
}

TCustomkxBarControl* kxBarGetActiveBarControl() {
  return kxBarIsBarControlAlive(US().Active) ? US().Active.Control : nullptr;
}

void kxBarSetActiveBarControl(TCustomkxBarControl* Control) { US().Active = kxBarRef(Control); }

// ---------------------------------------------------------------------------
// managers and windows

int kxBarManagerCount() { return int(US().Managers.size()); }

TkxBarManager* kxBarGetManager(int Index) {
  if (Index < 0 || Index >= kxBarManagerCount()) return nullptr;
  return US().Managers[std::size_t(Index)];
}

void kxBarListAddManager(TkxBarManager* Manager) {
  auto& m = US().Managers;
  if (std::find(m.begin(), m.end(), Manager) == m.end()) m.push_back(Manager);
}

void kxBarListRemoveManager(TkxBarManager* Manager) { std::erase(US().Managers, Manager); }

TkxBarManager* kxBarGetCustomizingManager() {
  for (TkxBarManager* m : US().Managers)
    if (m->IsCustomizingOrDesigning()) return m;
  return nullptr;
}

TkxBarManager* kxBarGetManagerByForm(TComponent* Form) {
  if (!Form) return nullptr;
  if (kxBarParentFormHook) {
    auto* control = dynamic_cast<TControl*>(Form);
    if (!control || !control->Parent())
      if (TComponent* host = kxBarParentFormHook(Form)) Form = host;
  }
  for (TkxBarManager* m : US().Managers)
    if (m->OwnerForm() == Form) return m;
  return nullptr;
}

void kxBarDesignerModified(TkxBarManager* Manager) {
  if (Manager) Manager->DesignerModified();
}

AnsiString kxBarMakeUniqueItemName(TkxBarManager* Manager, TClass ItemClass) {
  AnsiString base = AnsiString(ItemClass->Name).substr(1);
  for (int n = 1;; ++n) {
    AnsiString name = base + IntToStr(n);
    bool taken = false;
    if (Manager)
      for (int i = 0; i < Manager->ItemCount() && !taken; ++i)
        taken = SameText(Manager->GetItem(i)->Name(), name);
    if (!taken) return name;
  }
}

TCustomkxBarControl* kxBarGetRootBarControl(TCustomkxBarControl* BarControl) {
  TCustomkxBarControl* c = BarControl;
  for (int guard = 0; c && guard < 64 && !dynamic_cast<TkxBarControl*>(c); ++guard) {
    if (c->ParentBar()) {
      c = c->ParentBar();
      continue;
    }
    auto* menu = dynamic_cast<TkxBarSubMenuControl*>(c);
    TkxBarItemControl* opener = menu ? (menu->SubItemControl() ? menu->SubItemControl() : menu->OwnerControl())
                                     : nullptr;
    if (!opener || !opener->Parent()) break;
    c = opener->Parent();
  }
  return c;
}

TkxBarControl* kxBarGetRootToolbar(TCustomkxBarControl* BarControl) {
  return dynamic_cast<TkxBarControl*>(kxBarGetRootBarControl(BarControl));
}

TCustomkxBarControl* kxBarGetItemControlRootBarControl(TkxBarItemControl* ItemControl) {
  return ItemControl ? kxBarGetRootBarControl(ItemControl->Parent()) : nullptr;
}

TkxBarControl* kxBarGetItemControlRootToolbar(TkxBarItemControl* ItemControl) {
  return ItemControl ? kxBarGetRootToolbar(ItemControl->Parent()) : nullptr;
}

bool kxBarIsVerticalToolbar(TCustomkxBarControl* Control) {
  auto* t = dynamic_cast<TkxBarControl*>(Control);
  return t && t->IsVertical();
}

bool kxBarIsRotatedToolbar(TCustomkxBarControl* Control) {
  auto* t = dynamic_cast<TkxBarControl*>(Control);
  return t && t->IsVertical() && t->Bar() && t->Bar()->RotateWhenVertical();
}

TControl* kxBarFindControlOrParent(HWND Wnd) {
  for (HWND h = Wnd; h; h = GetParent(h))
    if (TWinControl* c = FindControl(h)) return c;
  return nullptr;
}

bool kxBarIsChildWindow(HWND Wnd, HWND Ancestor) {
  if (!Ancestor) return false;
  for (HWND h = Wnd; h; h = GetParent(h))
    if (h == Ancestor) return true;
  return false;
}

HWND kxBarWindowFromPointDeep(HWND Wnd, POINT ClientPoint) {
  HWND result = Wnd;
  POINT p = ClientPoint;
  for (int guard = 0; guard < 64; ++guard) {
    HWND child = ChildWindowFromPointEx(result, p, CWP_SKIPINVISIBLE);
    if (!child || child == result) break;
    MapWindowPoints(result, child, &p, 1);
    result = child;
  }
  return result;
}

HWND kxBarWindowFromScreenPoint(POINT ScreenPoint) {
  HWND top = WindowFromPoint(ScreenPoint);
  if (!top) return nullptr;
  while (GetParent(top) && (GetWindowLongPtrA(top, GWL_STYLE) & LONG_PTR(WS_CHILD))) top = GetParent(top);
  POINT p = ScreenPoint;
  ScreenToClient(top, &p);
  return kxBarWindowFromPointDeep(top, p);
}

TRect kxBarGetWorkArea(const TPoint& P) { return uxGetDesktopWorkArea(P); }

static bool ButtonDown(bool Left) {
  bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  int vk = (Left != swapped) ? VK_LBUTTON : VK_RBUTTON;
  return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

bool kxBarIsLeftButtonDown() { return ButtonDown(true); }
bool kxBarIsRightButtonDown() { return ButtonDown(false); }

TkxBarItemVisible kxBarVisibleToItemVisible(bool Visible) { return Visible ? ivAlways : ivNever; }

void kxBarEnsureMinSize20(int& Value) {
  if (Value < 20) Value = 20;
}


// ---------------------------------------------------------------------------
// temporary items

void kxBarAddTempItem(TkxBarItem* Item) {
  auto& t = US().TempItems;
  if (std::find(t.begin(), t.end(), Item) == t.end()) t.push_back(Item);
}

void kxBarRemoveTempItem(TkxBarItem* Item) { std::erase(US().TempItems, Item); }
int kxBarTempItemCount() { return int(US().TempItems.size()); }

bool kxBarGetDragMessage(MSG& Msg) {
  BOOL r = GetMessageA(&Msg, nullptr, 0, 0);
  if (r == -1) return false;
  if (!r || Msg.message == WM_QUIT) {
    PostQuitMessage(int(Msg.wParam));
    return false;
  }
  return true;
}

void kxBarFreeTempItems() {
  auto& t = US().TempItems;
  for (int i = int(t.size()) - 1; i >= 0; --i) {
    if (i >= int(t.size())) continue;
    TkxBarItem* item = t[std::size_t(i)];
    bool shown = false;
    for (int j = 0; j < item->LinkCount() && !shown; ++j) shown = item->Links(j)->Control() != nullptr;
    if (!shown) item->Free();  // its destructor leaves the list
  }
}

// ---------------------------------------------------------------------------
// text, sounds, messages

AnsiString kxBarStripAccelChars(const AnsiString& Caption) {
  AnsiString s;
  s.reserve(Caption.size());
  for (std::size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&' && i + 1 < Caption.size()) {
      ++i;  // the mark goes, the character after it stays
      s += Caption[i];
      // a double-byte character keeps its trail byte
      if (IsDBCSLeadByte(static_cast<unsigned char>(Caption[i])) && i + 1 < Caption.size()) s += Caption[++i];
      continue;
    }
    s += Caption[i];
    if (IsDBCSLeadByte(static_cast<unsigned char>(Caption[i])) && i + 1 < Caption.size()) s += Caption[++i];
  }
  return s;
}

void kxBarPlaySound(int Kind) {
  static const char* const Aliases[] = {"MenuPopup", "MenuCommand", nullptr};
  if (Kind < 0 || Kind > 2) return;
  US().LastSound = Kind;
  ++US().SoundCount;
  if (Aliases[Kind]) PlaySoundA(Aliases[Kind], nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | 0x2000 /* SND_NOWAIT */);
  else PlaySoundA(nullptr, nullptr, 0);
}

void kxBarStopSound() { kxBarPlaySound(2); }
int kxBarLastSoundKind() { return US().LastSound; }
int kxBarSoundCount() { return US().SoundCount; }

static void PumpRange(UINT First, UINT Last) {
  MSG m;
  for (;;) {
    if (!PeekMessageA(&m, nullptr, First, Last, PM_NOREMOVE)) return;
    if (!PeekMessageA(&m, nullptr, First, Last, PM_REMOVE)) return;
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      return;
    }
    DispatchMessageA(&m);
  }
}

void kxBarPumpMouseMessages() { PumpRange(512, 522); }
void kxBarDispatchPaintMessages() { PumpRange(WM_PAINT, WM_PAINT); }

static void TrackTimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
  TUtilState& s = US();
  if (Id != s.TrackTimer || !s.Tracked) return;
  POINT p;
  GetCursorPos(&p);
  if (kxBarWindowFromScreenPoint(p) != s.Tracked) kxBarEndMouseTracking(s.Tracked);
}

void kxBarBeginMouseTracking(HWND Wnd) {
  TUtilState& s = US();
  if (!Wnd || kxBarIsMouseInWindow(Wnd)) return;
  if (kxBarTrackMouseEventProc) {
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = Wnd;
    if (kxBarTrackMouseEventProc(&t)) s.TrackedByPlatform = Wnd;
    return;
  }
  if (s.Tracked) kxBarEndMouseTracking(s.Tracked);
  s.Tracked = Wnd;
  s.TrackTimer = SetTimer(nullptr, 0, 50, TrackTimerProc);
}

void kxBarEndMouseTracking(HWND Wnd) {
  TUtilState& s = US();
  if (!Wnd || !kxBarIsMouseInWindow(Wnd)) return;
  if (kxBarTrackMouseEventProc) {
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_LEAVE | TME_CANCEL;
    t.hwndTrack = Wnd;
    kxBarTrackMouseEventProc(&t);
    s.TrackedByPlatform = nullptr;
  } else {
    if (s.TrackTimer) KillTimer(nullptr, s.TrackTimer);
    s.TrackTimer = 0;
    s.Tracked = nullptr;
  }
  if (IsWindow(Wnd)) SendMessageA(Wnd, WM_MOUSELEAVE, 0, 0);
}

bool kxBarIsMouseInWindow(HWND Wnd) {
  TUtilState& s = US();
  if (!Wnd) return false;
  if (kxBarTrackMouseEventProc) {
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_QUERY;
    if (!kxBarTrackMouseEventProc(&t)) return false;
    return t.hwndTrack == Wnd && (t.dwFlags & TME_LEAVE);
  }
  return s.Tracked == Wnd;
}

int kxBarScreenBitsPerPixel() { return US().ScreenBits; }
void kxBarSetScreenBitsPerPixel(int Bits) { US().ScreenBits = Bits; }

static void BuildCheckerBrush() {
  TUtilState& s = US();
  if (s.Checker) DeleteObject(s.Checker);
  if (s.CheckerBitmap) DeleteObject(s.CheckerBitmap);
  s.Checker = nullptr;
  s.CheckerBitmap = nullptr;
  HDC screen = GetDC(nullptr);
  s.CheckerBitmap = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, s.CheckerBitmap);
  COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(dc, x, y, ((x + y) % 2 == 0) ? face : light);
  SelectObject(dc, old);
  DeleteDC(dc);
  s.Checker = CreatePatternBrush(s.CheckerBitmap);
}

HBRUSH kxBarCheckerBrush() {
  if (!US().Checker) BuildCheckerBrush();
  return US().Checker;
}

void kxBarRefreshSystemResources() {
  HDC screen = GetDC(nullptr);
  US().ScreenBits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  BuildCheckerBrush();
}

// ---------------------------------------------------------------------------
// drawing

int kxBarArrowSize(const TRect& R, bool Down) {
  int e = Down ? R.Width() - 8 : R.Height() - 6;
  int size = (e % 2 == 0) ? e / 2 - 1 : (e + 1) / 2;
  return std::max(size, 3);
}

void kxBarDrawArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected, bool NoEmboss) {
  kxBarDrawFramedArrow(DC, R, Down, Enabled, Selected, NoEmboss, kxBarArrowSize(R, Down));
}

static void PolyIn(HDC DC, const POINT* Pts, int N, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HBRUSH brush = CreateSolidBrush(Color);
  HGDIOBJ op = SelectObject(DC, pen), ob = SelectObject(DC, brush);
  Polygon(DC, Pts, N);
  SelectObject(DC, op);
  SelectObject(DC, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}

static void LineIn(HDC DC, int X1, int Y1, int X2, int Y2, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ op = SelectObject(DC, pen);
  MoveToEx(DC, X1, Y1, nullptr);
  LineTo(DC, X2, Y2);
  SelectObject(DC, op);
  DeleteObject(pen);
}

void kxBarDrawFramedArrow(HDC DC, const TRect& R, bool Down, bool Enabled, bool Selected, bool NoEmboss,
                          int Size) {
  int colorIndex = COLOR_BTNSHADOW;
  if (Enabled) colorIndex = !Selected ? COLOR_BTNTEXT : (IsWhiteFaceScheme() ? COLOR_BTNFACE : COLOR_HIGHLIGHTTEXT);
  COLORREF color = GetSysColor(colorIndex);
  int s = Size;
  POINT pts[3];
  int x0, y0;
  if (Down) {
    x0 = (R.left + R.right - 2 * s + 1) / 2;
    y0 = (R.top + R.bottom - s) / 2;
    pts[0] = {x0, y0};
    pts[1] = {x0 + 2 * s - 2, y0};
    pts[2] = {x0 + s - 1, y0 + s - 1};
  } else {
    x0 = (R.left + R.right - s) / 2;
    y0 = (R.top + R.bottom - 2 * s + 1) / 2;
    pts[0] = {x0, y0};
    pts[1] = {x0, y0 + 2 * s - 2};
    pts[2] = {x0 + s - 1, y0 + s - 1};
  }
  PolyIn(DC, pts, 3, color);
  if (!Enabled && !NoEmboss) {
    COLORREF hl = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (Down) {
      LineIn(DC, x0 + s, y0 + s - 1, x0 + 2 * s - 1, y0, hl);
      LineIn(DC, x0 + s, y0 + s, x0 + 2 * s, y0, hl);
    } else {
      LineIn(DC, x0 + s - 1, y0 + s, x0, y0 + 2 * s - 1, hl);
      LineIn(DC, x0 + s, y0 + s, x0, y0 + 2 * s, hl);
    }
  }
}

void kxBarDrawFocusFrame(HDC DC, const TRect& R) { FrameRect(DC, &R, GetSysColorBrush(COLOR_HIGHLIGHT)); }

namespace {

// A 32-bit top-down pixel buffer selected into a memory DC.
class TkxPixels {
 public:
  TkxPixels(int W, int H) : FW(std::max(W, 1)), FH(std::max(H, 1)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = FW;
    bi.bmiHeader.biHeight = -FH;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    FBmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    FBits = static_cast<std::uint32_t*>(bits);
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBmp);
  }
  ~TkxPixels() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBmp);
  }
  TkxPixels(const TkxPixels&) = delete;
  TkxPixels& operator=(const TkxPixels&) = delete;
  HDC DC() const { return FDC; }
  int W() const { return FW; }
  int H() const { return FH; }
  std::uint32_t& At(int X, int Y) { return FBits[std::size_t(Y) * FW + X]; }
  void Fill(COLORREF C) {
    std::uint32_t p = ToPixel(C);
    std::fill(FBits, FBits + std::size_t(FW) * FH, p);
  }
  static std::uint32_t ToPixel(COLORREF C) {
    return (std::uint32_t(GetRValue(C)) << 16) | (std::uint32_t(GetGValue(C)) << 8) | GetBValue(C);
  }

 private:
  int FW, FH;
  HBITMAP FBmp = nullptr;
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
  std::uint32_t* FBits = nullptr;
};

inline int Chan(std::uint32_t P, int Shift) { return int((P >> Shift) & 0xFF); }
inline std::uint32_t MakePix(int R, int G, int B) {
  return (std::uint32_t(std::clamp(R, 0, 255)) << 16) | (std::uint32_t(std::clamp(G, 0, 255)) << 8) |
         std::uint32_t(std::clamp(B, 0, 255));
}

// Renders the glyph of P at its natural size; Background fills it first.
void RenderGlyph(const TkxBarGlyphParams& P, TkxPixels& G, COLORREF Background) {
  G.Fill(Background);
  if (P.Bitmap && !P.Bitmap->Empty()) {
    BitBlt(G.DC(), 0, 0, P.Bitmap->Width(), P.Bitmap->Height(), P.Bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else if (P.Images) {
    ImageList_Draw(P.Images->Handle(), P.ImageIndex, G.DC(), 0, 0, ILD_TRANSPARENT);
  }
}

}  // namespace

void kxBarDrawGlyph(HDC DC, const TkxBarGlyphParams& P) {
  const TRect& br = P.ButtonRect;
  if (br.Width() <= 0 || br.Height() <= 0) return;
  int gw = 0, gh = 0;
  bool fromBitmap = P.Bitmap && !P.Bitmap->Empty();
  if (fromBitmap) {
    gw = P.Bitmap->Width();
    gh = P.Bitmap->Height();
  } else if (P.Images && P.ImageIndex >= 0 && P.ImageIndex < P.Images->Count()) {
    gw = P.Images->Width();
    gh = P.Images->Height();
  } else {
    return;
  }
  TkxPixels mem(br.Width(), br.Height());
  if (P.UseExistingBackground) BitBlt(mem.DC(), 0, 0, br.Width(), br.Height(), DC, br.left, br.top, SRCCOPY);
  else {
    TRect all{0, 0, br.Width(), br.Height()};
    FillRect(mem.DC(), &all, P.Brush ? P.Brush : GetSysColorBrush(COLOR_BTNFACE));
  }
  const int dw = P.GlyphRect.Width() > 0 ? P.GlyphRect.Width() : gw;
  const int dh = P.GlyphRect.Height() > 0 ? P.GlyphRect.Height() : gh;
  const int ox = P.GlyphRect.left - br.left, oy = P.GlyphRect.top - br.top;
  // draws a glyph-sized source through its mask, scaled to the glyph rectangle
  auto composite = [&](TkxPixels& Src, const std::vector<bool>& Mask, int DX, int DY, bool Solid,
                       std::uint32_t SolidPix) {
    for (int y = 0; y < dh; ++y)
      for (int x = 0; x < dw; ++x) {
        int sx = x * gw / dw, sy = y * gh / dh;
        if (!Mask[std::size_t(sy) * gw + sx]) continue;
        int tx = ox + x + DX, ty = oy + y + DY;
        if (tx < 0 || ty < 0 || tx >= mem.W() || ty >= mem.H()) continue;
        mem.At(tx, ty) = Solid ? SolidPix : Src.At(sx, sy);
      }
  };
  if (P.Enabled || P.BlendColor != clNone) {
    COLORREF bk = fromBitmap ? 0 : ColorToRGB(P.ImageListBkColor);
    TkxPixels g(gw, gh);
    RenderGlyph(P, g, bk);
    std::uint32_t transparent = g.At(0, gh - 1);
    std::vector<bool> mask(std::size_t(gw) * gh);
    for (int y = 0; y < gh; ++y)
      for (int x = 0; x < gw; ++x) mask[std::size_t(y) * gw + x] = g.At(x, y) != transparent;
    COLORREF blend = P.BlendColor != clNone ? ColorToRGB(P.BlendColor) : 0;
    bool lighter = (P.Enabled || P.BlendColor == clNone) && P.FlatLook && !P.Hot && !P.Checked && !P.Grayscale &&
                   kxBarScreenBitsPerPixel() > 8;
    for (int y = 0; y < gh; ++y)
      for (int x = 0; x < gw; ++x) {
        std::uint32_t& px = g.At(x, y);
        int r = Chan(px, 16), gg = Chan(px, 8), b = Chan(px, 0);
        if (P.BlendColor != clNone && !P.Enabled) {
          int l = (77 * r + 151 * gg + 28 * b) >> 8;
          int t = (192 * (l - 255) + 65280) >> 8;
          r = (192 * GetRValue(blend) + 64 * t) / 256;
          gg = (192 * GetGValue(blend) + 64 * t) / 256;
          b = (192 * GetBValue(blend) + 64 * t) / 256;
        } else if (P.Grayscale) {
          int m = (r + gg + b) / 3;
          r = gg = b = m;
        }
        if (lighter) {
          r = r + ((255 - r) * 3 + 5) / 10;
          gg = gg + ((255 - gg) * 3 + 5) / 10;
          b = b + ((255 - b) * 3 + 5) / 10;
        }
        px = MakePix(r, gg, b);
      }
    if (P.FlatLook && P.ShadowAllowed && P.Hot && !P.Down) {
      composite(g, mask, 1, 1, true, TkxPixels::ToPixel(GetSysColor(COLOR_BTNSHADOW)));
      composite(g, mask, -1, -1, false, 0);
    } else {
      composite(g, mask, 0, 0, false, 0);
    }
  } else {
    // the classic embossed disabled glyph
    TkxPixels g(gw, gh);
    std::vector<bool> mask(std::size_t(gw) * gh);
    if (fromBitmap) {
      RenderGlyph(P, g, 0);
      std::uint32_t transparent = g.At(0, gh - 1);
      for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x) mask[std::size_t(y) * gw + x] = g.At(x, y) != transparent;
    } else {
      RenderGlyph(P, g, RGB(255, 255, 255));
      for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x) {
          // dark pixels make the mask, as a colour-to-monochrome copy over white does
          std::uint32_t px = g.At(x, y);
          int lum = (Chan(px, 16) * 30 + Chan(px, 8) * 59 + Chan(px, 0) * 11) / 100;
          mask[std::size_t(y) * gw + x] = lum < 192;
        }
    }
    if (!P.FlatLook) composite(g, mask, 1, 1, true, TkxPixels::ToPixel(GetSysColor(COLOR_BTNHIGHLIGHT)));
    composite(g, mask, 0, 0, true, TkxPixels::ToPixel(GetSysColor(COLOR_BTNSHADOW)));
  }
  BitBlt(DC, br.left, br.top, br.Width(), br.Height(), mem.DC(), 0, 0, SRCCOPY);
}

void kxBarFillGradient(TCanvas* Canvas, const TRect& R, TColor StartColor, TColor EndColor) {
  COLORREF a = ColorToRGB(StartColor), b = ColorToRGB(EndColor);
  int h = R.Height();
  int top = R.top;
  HDC dc = Canvas->Handle();
  for (int n = 0; n < 256; ++n) {
    int bottom = R.top + MulDiv(h, n + 1, 256);
    if (bottom > top) {
      COLORREF c = RGB(BYTE(GetRValue(a) + MulDiv(int(GetRValue(b)) - GetRValue(a), n, 255)),
                       BYTE(GetGValue(a) + MulDiv(int(GetGValue(b)) - GetGValue(a), n, 255)),
                       BYTE(GetBValue(a) + MulDiv(int(GetBValue(b)) - GetBValue(a), n, 255)));
      HBRUSH br = CreateSolidBrush(c);
      TRect band{R.left, top, R.right, bottom};
      FillRect(dc, &band, br);
      DeleteObject(br);
    }
    top = std::max(top, bottom);
  }
}

void kxBarFillBackground(HDC DC, const TRect& R, const TRect& OriginRect, TBitmap* Bitmap, TColor Color,
                         HBRUSH Brush) {
  if (!Bitmap || Bitmap->Empty()) {
    if (Brush) {
      FillRect(DC, &R, Brush);
    } else {
      HBRUSH b = CreateSolidBrush(ColorToRGB(Color));
      FillRect(DC, &R, b);
      DeleteObject(b);
    }
    return;
  }
  kxBarTileBitmap(DC, R, OriginRect, Bitmap);
}

void kxBarTileBitmap(HDC DC, const TRect& R, const TRect& OriginRect, TBitmap* Bitmap) {
  if (!Bitmap || Bitmap->Empty() || OriginRect.Width() <= 0 || OriginRect.Height() <= 0) return;
  bool had = false;
  HRGN kept = kxBarKeepClipRegion(DC, had);
  kxBarClipToRect(DC, R);
  int w = Bitmap->Width(), h = Bitmap->Height();
  int ax = R.left - OriginRect.left, ay = R.top - OriginRect.top;
  // the grid of tiles anchored at (ax, ay); only the tiles meeting R are drawn
  int startX = ax + ((R.left - ax) / w) * w - (R.left < ax ? w : 0);
  int startY = ay + ((R.top - ay) / h) * h - (R.top < ay ? h : 0);
  HDC src = Bitmap->Canvas()->Handle();
  for (int y = startY; y < R.bottom; y += h)
    for (int x = startX; x < R.right; x += w) BitBlt(DC, x, y, w, h, src, 0, 0, SRCCOPY);
  kxBarPutBackClipRegion(DC, kept, had);
}

HRGN kxBarKeepClipRegion(HDC DC, bool& HadOne) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  HadOne = GetClipRgn(DC, r) == 1;
  return r;
}

void kxBarPutBackClipRegion(HDC DC, HRGN Kept, bool HadOne) {
  SelectClipRgn(DC, HadOne ? Kept : nullptr);
  if (Kept) DeleteObject(Kept);
}

void kxBarClipToRect(HDC DC, const TRect& R) { IntersectClipRect(DC, R.left, R.top, R.right, R.bottom); }

void kxBarExcludeRectFromRgn(HRGN Rgn, const TRect& R) {
  HRGN r = CreateRectRgnIndirect(&R);
  CombineRgn(Rgn, Rgn, r, RGN_DIFF);
  DeleteObject(r);
}

TColor kxBarNearestColor(TColor Color) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetNearestColor(dc, ColorToRGB(Color));
  ReleaseDC(nullptr, dc);
  return TColor(c);
}

void kxBarDrawSizeGrip(HDC DC, const TRect& R) {
  int w = R.Width(), h = R.Height();
  if (w <= 0 || h <= 0) return;
  TkxPixels grip(w, h);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  grip.Fill(face);
  TRect all{0, 0, w, h};
  DrawFrameControl(grip.DC(), &all, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  TransparentBlt(DC, R.left, R.top, w, h, grip.DC(), 0, 0, w, h, face);
}

void kxBarSetWindowAlpha(HWND Wnd, int Alpha) {
  if (!kxBarSetLayeredWindowAttributesProc || !Wnd) return;
  LONG_PTR ex = GetWindowLongPtrA(Wnd, GWL_EXSTYLE);
  bool layered = (ex & LONG_PTR(WS_EX_LAYERED)) != 0;
  if (Alpha < 255) {
    if (!layered) SetWindowLongPtrA(Wnd, GWL_EXSTYLE, ex | LONG_PTR(WS_EX_LAYERED));
    kxBarSetLayeredWindowAttributesProc(Wnd, 0, BYTE(std::max(Alpha, 0)), LWA_ALPHA);
  } else if (layered) {
    SetWindowLongPtrA(Wnd, GWL_EXSTYLE, ex & ~LONG_PTR(WS_EX_LAYERED));
    RedrawWindow(Wnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}


TColor kxBarGetThemedEditBackground(std::uintptr_t Theme, int State) {
  COLORREF c = 0;
  if (State == 4 && Theme && GetThemeColor(HTHEME(Theme), 1, State, 3802 /*TMT_FILLCOLOR*/, c) >= 0) return TColor(c);
  return clWindow;
}

TColor kxBarGetThemedEditTextColor(std::uintptr_t Theme, int State) {
  COLORREF c = 0;
  if (Theme && GetThemeColor(HTHEME(Theme), 1, State, 3803 /*TMT_TEXTCOLOR*/, c) >= 0) return TColor(c);
  return State == 4 ? clGrayText : clWindowText;
}

TColor kxBarThemeToolbarColor() {
  COLORREF c = 0;
  HTHEME t = kxOpenThemeOfKind(tckToolBar);
  if (t && GetThemeColor(t, 0, 0, 3802, c) >= 0) return TColor(c);
  return TColor(COLOR_BTNFACE);
}

HFONT kxBarCopyFontHandle(TFont* Font) {
  LOGFONTA lf = Font->LogFont();
  return CreateFontIndirectA(&lf);
}

void kxBarCreateMenuFont(TFont* Font, HFONT& Handle, bool Scaled) {
  if (Handle) DeleteObject(Handle);
  Handle = nullptr;
  if (!Font) return;
  if (Scaled) {
    LOGFONTA lf = Font->LogFont();
    LOGFONTA title;
    SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(title), &title, 0);
    lf.lfHeight = title.lfHeight;
    if (lf.lfHeight > -11) lf.lfHeight = -11;
    Handle = CreateFontIndirectA(&lf);
  } else {
    Handle = kxBarCopyFontHandle(Font);
  }
}

// ---------------------------------------------------------------------------
// start-up and shut-down

void kxBarInitUtils() {
  TUtilState& s = US();
  if (s.Initialised) return;
  s.Initialised = true;
  OSVERSIONINFOA vi;
  GetVersionExA(&vi);
  kxBarIsWin9x = vi.dwPlatformId == 1;
  kxBarIsWin95 = vi.dwPlatformId == 1 && vi.dwMinorVersion == 0;
  kxBarHasMenuItemBitmaps = (vi.dwPlatformId == 1 && vi.dwMinorVersion != 0) ||
                            (vi.dwPlatformId == VER_PLATFORM_WIN32_NT && vi.dwMajorVersion == 5);
  if (HMODULE user = LoadLibraryA("USER32")) {
    kxBarTrackMouseEventProc = reinterpret_cast<BOOL (*)(TRACKMOUSEEVENT*)>(GetProcAddress(user, "TrackMouseEvent"));
    kxBarUpdateLayeredWindowProc = reinterpret_cast<decltype(kxBarUpdateLayeredWindowProc)>(
        GetProcAddress(user, "UpdateLayeredWindow"));
    kxBarAnimateWindowProc =
        reinterpret_cast<decltype(kxBarAnimateWindowProc)>(GetProcAddress(user, "AnimateWindow"));
    kxBarSetLayeredWindowAttributesProc = reinterpret_cast<decltype(kxBarSetLayeredWindowAttributesProc)>(
        GetProcAddress(user, "SetLayeredWindowAttributes"));
  }
  kxBarRefreshSystemResources();
  kxBarStopSound();
  s.LastSound = -1;
  s.SoundCount = 0;
}

void kxBarDoneUtils() {
  TUtilState& s = US();
  // Managers still alive go with the list.
  while (!s.Managers.empty()) {
    TkxBarManager* m = s.Managers.back();
    m->Free();
    std::erase(s.Managers, m);
  }
  s.TempItems.clear();
  if (s.TrackTimer) KillTimer(nullptr, s.TrackTimer);
  s.TrackTimer = 0;
  s.Tracked = nullptr;
  if (s.Checker) DeleteObject(s.Checker);
  if (s.CheckerBitmap) DeleteObject(s.CheckerBitmap);
  s.Checker = nullptr;
  s.CheckerBitmap = nullptr;
  s.Active = TkxBarControlRef();
  kxBarFullMenusShown = false;
  s.Initialised = false;
}
