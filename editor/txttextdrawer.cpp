#include "editor/txttextdrawer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void DrawerAssert(const char* What) {
  throw EAssertionFailed(AnsiString(What) + " (TxtTextDrawer)");
}

TheFontsInfoManager* g_fontsInfoManager = nullptr;

bool SameKey(const LOGFONTA& a, const LOGFONTA& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::memcmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// A device context for measuring, not tied to any window.
HDC NewMeasureDC() { return CreateCompatibleDC(nullptr); }

}  // namespace

// ---------------------------------------------------------------- manager

TheFontsInfoManager& GetFontsInfoManager() {
  if (!g_fontsInfoManager) g_fontsInfoManager = new TheFontsInfoManager();
  return *g_fontsInfoManager;
}

void DoneFontsInfoManager() {
  delete g_fontsInfoManager;
  g_fontsInfoManager = nullptr;
}

TheFontsInfoManager::~TheFontsInfoManager() {
  for (TheSharedFontsInfo* r : FList) {
    for (TheFontData& d : r->StyleEntries)
      if (d.Handle) DeleteObject(d.Handle);
    delete r;
  }
}

LOGFONTA TheFontsInfoManager::KeyOf(TFont* Font) {
  LOGFONTA lf = Font->LogFont();
  LOGFONTA key;  // every byte of the face name after its end stays 0
  key.lfHeight = lf.lfHeight;
  key.lfWidth = lf.lfWidth;
  key.lfEscapement = lf.lfEscapement;
  key.lfOrientation = lf.lfOrientation;
  key.lfWeight = lf.lfWeight;
  key.lfCharSet = lf.lfCharSet;
  key.lfOutPrecision = lf.lfOutPrecision;
  key.lfClipPrecision = lf.lfClipPrecision;
  key.lfQuality = lf.lfQuality;
  key.lfPitchAndFamily = lf.lfPitchAndFamily;
  std::size_t n = strnlen(lf.lfFaceName, LF_FACESIZE - 1);
  std::memcpy(key.lfFaceName, lf.lfFaceName, n);
  return key;
}

TheSharedFontsInfo* TheFontsInfoManager::AcquireFontRecord(TFont* Font) {
  LOGFONTA key = KeyOf(Font);
  for (TheSharedFontsInfo* r : FList)
    if (SameKey(r->KeyLogFont, key)) {
      ++r->HolderCount;
      return r;
    }
  auto rec = std::make_unique<TheSharedFontsInfo>();
  rec->BaseFont = std::make_unique<TFont>();
  rec->BaseFont->Assign(Font);
  rec->KeyLogFont = key;
  rec->TrueTypeFont = (key.lfPitchAndFamily & 4) != 0;
  HDC dc = NewMeasureDC();
  HFONT f = CreateFontIndirectA(&key);
  HGDIOBJ old = SelectObject(dc, f);
  rec->DoubleByte = (GetFontLanguageInfo(dc) & GCP_DBCS) != 0;
  SelectObject(dc, old);
  DeleteObject(f);
  DeleteDC(dc);
  rec->HolderCount = 1;
  FList.push_back(rec.get());
  return rec.release();
}

void TheFontsInfoManager::ReleaseFontRecord(TheSharedFontsInfo* Record) {
  if (!Record) return;
  if (Record->HandleUsers >= Record->HolderCount) DrawerAssert("Call DeactivateFontsInfo before calling this.");
  if (Record->HolderCount < 2) {
    for (std::size_t i = 0; i < FList.size(); ++i)
      if (FList[i] == Record) {
        FList.erase(FList.begin() + std::ptrdiff_t(i));
        break;
      }
    for (TheFontData& d : Record->StyleEntries)
      if (d.Handle) DeleteObject(d.Handle);
    delete Record;
  } else {
    --Record->HolderCount;
  }
}

void TheFontsInfoManager::UnlockFontRecord(TheSharedFontsInfo* Record) {
  if (--Record->HandleUsers > 0) return;
  Record->HandleUsers = 0;
  for (TheFontData& d : Record->StyleEntries)
    if (d.Handle) {
      DeleteObject(d.Handle);
      d.Handle = nullptr;
    }
}

// ---------------------------------------------------------------- font stock

TheFontStock::TheFontStock(TFont* InitialFont) {
  SetBaseFont(InitialFont);
}

TheFontStock::~TheFontStock() {
  ReleaseFontHandles();
  GetFontsInfoManager().ReleaseFontRecord(FFontsInfo);
  FFontsInfo = nullptr;
  if (FDCRefCount > 0) {
    DeleteDC(FDC);
    FDCRefCount = 0;
  }
}

HDC TheFontStock::GetDC() {
  if (FDCRefCount == 0) FDC = NewMeasureDC();
  ++FDCRefCount;
  return FDC;
}

void TheFontStock::ReleaseDC() {
  if (FDCRefCount <= 0) DrawerAssert("ReleaseDC without GetDC");
  if (--FDCRefCount == 0) {
    DeleteDC(FDC);
    FDC = nullptr;
  }
}

HFONT TheFontStock::CreateFontHandle(TheStyle Style) {
  LOGFONTA lf = FBaseLF;
  lf.lfWeight = (Style & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (Style & 2) ? 1 : 0;
  lf.lfUnderline = (Style & 4) ? 1 : 0;
  lf.lfStrikeOut = (Style & 8) ? 1 : 0;
  return CreateFontIndirectA(&lf);
}

void TheFontStock::CalcFontAdvance(HDC DC, int* CharAdv, int* DBCharAdv, int* CharHeight) {
  TEXTMETRICA tm;
  GetTextMetricsA(DC, &tm);
  ABC abc;
  if (!GetCharABCWidthsA(DC, 'M', 'M', &abc)) {
    abc.abcA = 0;
    abc.abcB = UINT(tm.tmAveCharWidth);
    abc.abcC = 0;
    tm.tmOverhang = 0;
  }
  if (CharAdv) *CharAdv = abc.abcA + int(abc.abcB) + abc.abcC + int(tm.tmOverhang);
  if (CharHeight) *CharHeight = std::abs(int(tm.tmHeight));
  if (DBCharAdv) {
    *DBCharAdv = INT_MAX;
    ABC a1, a2;
    if (tm.tmCharSet == SHIFTJIS_CHARSET && GetCharABCWidthsA(DC, 0x8201, 0x8201, &a1) &&
        GetCharABCWidthsA(DC, 0x82A0, 0x82A0, &a2)) {
      int w1 = a1.abcA + int(a1.abcB) + a1.abcC, w2 = a2.abcA + int(a2.abcB) + a2.abcC;
      int adv = CharAdv ? *CharAdv : 0;
      if (w1 * 2 > adv * 3 && w1 == w2) *DBCharAdv = w1;
    }
  }
}

TheFontData* TheFontStock::GetFontData(int Index) {
  if (!FFontsInfo || Index < 0 || Index > 15) return nullptr;
  return &FFontsInfo->StyleEntries[Index];
}

void TheFontStock::SetBaseFont(TFont* Value) {
  if (!Value) throw EheFontStockException("SetBaseFont: 'Value' must be specified.");
  TheFontsInfoManager& m = GetFontsInfoManager();
  TheSharedFontsInfo* rec = m.AcquireFontRecord(Value);
  if (rec == FFontsInfo) {
    m.ReleaseFontRecord(rec);
    return;
  }
  ReleaseFontHandles();
  m.ReleaseFontRecord(FFontsInfo);
  FFontsInfo = rec;
  FBaseLF = rec->KeyLogFont;
  FCurrentData = nullptr;
  FCurrentFont = nullptr;
  SetStyle(StyleBits(Value->Style()));
}

void TheFontStock::SetStyle(TheStyle Value) {
  if (Value > 15) DrawerAssert("Style out of range");
  if (!FUsingFontHandles) {
    GetFontsInfoManager().LockFontRecord(FFontsInfo);
    FUsingFontHandles = true;
  }
  TheFontData* p = &FFontsInfo->StyleEntries[Value];
  if (p == FCurrentData && p->Handle) return;
  FCurrentData = p;
  if (p->Handle) {
    FCurrentFont = p->Handle;
    FCurrentStyle = p->Style;
    return;
  }
  // First use of this variant: create it and measure it once.
  FCurrentFont = CreateFontHandle(Value);
  FCurrentStyle = Value;
  HDC dc = GetDC();
  HGDIOBJ old = SelectObject(dc, FCurrentFont);
  int adv = 0, dbAdv = 0, height = 0;
  CalcFontAdvance(dc, &adv, FFontsInfo->DoubleByte ? &dbAdv : nullptr, &height);
  SelectObject(dc, old);
  ReleaseDC();
  p->Handle = FCurrentFont;
  p->Style = Value;
  p->CharAdv = adv;
  p->DBCharAdv = dbAdv;
  p->CharHeight = height;
}

void TheFontStock::ReleaseFontHandles() {
  if (!FUsingFontHandles) return;
  GetFontsInfoManager().UnlockFontRecord(FFontsInfo);
  FUsingFontHandles = false;
  // The handles may be gone now: the next style selection creates them anew.
  FCurrentData = nullptr;
  FCurrentFont = nullptr;
}

// ---------------------------------------------------------------- drawer

TheTextDrawer::TheTextDrawer(TheStyle CalcExtentStyle, TFont* BaseFont)
    : FFontStock(std::make_unique<TheFontStock>(BaseFont)), FCalcExtentBaseStyle(CalcExtentStyle) {
  SetBaseFont(BaseFont);
  FColor = clWindowText;
  FBkColor = clWindow;
}

TheTextDrawer::~TheTextDrawer() {
  if (FDrawingCount > 0 && FDC && FSaveDC) RestoreDC(FDC, FSaveDC);
}

void TheTextDrawer::SetBaseFont(TFont* Value) {
  if (!Value) throw EheTextDrawerException("SetBaseFont: 'Value' must be specified.");
  ReleaseCharWidthArray();
  FFontStock->SetBaseFont(Value);
  FFontStock->SetStyle(FCalcExtentBaseStyle);
  FCharWidth = FFontStock->GetCharAdvance();
  FCharHeight = FFontStock->GetCharHeight();
  SetStyle(StyleBits(Value->Style()));
}

void TheTextDrawer::SetBaseStyle(TheStyle Value) {
  if (Value == FCalcExtentBaseStyle) return;
  FCalcExtentBaseStyle = Value;
  ReleaseCharWidthArray();
  FFontStock->SetStyle(Value);
  FCharWidth = FFontStock->GetCharAdvance();
  FCharHeight = FFontStock->GetCharHeight();
}

void TheTextDrawer::SetStyle(TheStyle Value) {
  FFontStock->SetStyle(Value);
  AfterStyleSet();
}

void TheTextDrawer::AfterStyleSet() {
  FCurrentFont = FFontStock->FontHandle();
  if (FDC) SelectObject(FDC, FCurrentFont);
}

void TheTextDrawer::BeginDrawing(HDC DC) {
  if (FDC == DC && DC) {
    ++FDrawingCount;
    return;
  }
  if (!DC) DrawerAssert("BeginDrawing without a device context");
  if (FDC) DrawerAssert("BeginDrawing on a second device context");
  FDC = DC;
  FSaveDC = SaveDC(DC);
  SelectObject(DC, FCurrentFont);
  SetTextColor(DC, ColorToRGB(FColor));
  SetBkColor(DC, ColorToRGB(FBkColor));
  DoSetCharExtra(FCharExtra);
  FDrawingCount = 1;
}

void TheTextDrawer::EndDrawing() {
  if (FDrawingCount <= 0) DrawerAssert("EndDrawing without BeginDrawing");
  if (--FDrawingCount > 0) return;
  if (FSaveDC) RestoreDC(FDC, FSaveDC);
  FSaveDC = 0;
  FDC = nullptr;
}

void TheTextDrawer::SetForeColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  if (FDC) SetTextColor(FDC, ColorToRGB(Value));
}

void TheTextDrawer::SetBackColor(TColor Value) {
  if (FBkColor == Value) return;
  FBkColor = Value;
  if (FDC) SetBkColor(FDC, ColorToRGB(Value));
}

void TheTextDrawer::SetCharExtra(int Value) {
  if (FCharExtra == Value) return;
  FCharExtra = Value;
  DoSetCharExtra(Value);
}

void TheTextDrawer::DoSetCharExtra(int Value) {
  if (FDC) SetTextCharacterExtra(FDC, Value);
}

void TheTextDrawer::TextOut(int X, int Y, const char* Text, int Length) {
  TextOutA(FDC, X, Y, Text, Length);
}

void TheTextDrawer::ExtTextOut(int X, int Y, UINT Options, const RECT& Rect, const char* Text, int Length) {
  if (Length < 0) Length = 0;
  if (int(FCharWidths.size()) < Length) {
    // Grown in steps of 64 entries, every entry the cell width.
    std::size_t n = std::size_t(Length / 64) * 64 + 64;
    FCharWidths.resize(n, GetCharWidth());
  }
  ExtTextOutA(FDC, X, Y, Options, &Rect, Text, UINT(Length), FCharWidths.data());
}
