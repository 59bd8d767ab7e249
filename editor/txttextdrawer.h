// The editor's text output: per base font, the sixteen style variants (bold,
// italic, underline, strike-out in every combination) as font handles with
// their measured cell, shared by every editor through one manager, and a
// drawer that places every byte of a text in a fixed cell by passing an
// explicit advance for each one. A double-byte character so covers exactly
// two cells, whatever the font measures.
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/graphics.h"
#include "platform/rtl/exceptions.h"

PV_DECLARE_EXCEPTION(EheFontStockException, Exception)
PV_DECLARE_EXCEPTION(EheTextDrawerException, Exception)

// Style bits of the drawer: bold 1, italic 2, underline 4, strike-out 8.
using TheStyle = Byte;
inline TheStyle StyleBits(TFontStyles S) { return TheStyle(S.Mask() & 15); }

struct TheFontData {
  TheStyle Style = 0;
  HFONT Handle = nullptr;
  int CharAdv = 0;
  int DBCharAdv = 0;
  int CharHeight = 0;
};

// One record per distinct base font (weight counts; italic, underline and
// strike-out do not).
struct TheSharedFontsInfo {
  int HolderCount = 0;
  int HandleUsers = 0;
  std::unique_ptr<TFont> BaseFont;
  LOGFONTA KeyLogFont;
  bool DoubleByte = false;
  bool TrueTypeFont = false;
  TheFontData StyleEntries[16];
};

// The process-wide list of font records.
class TheFontsInfoManager {
 public:
  ~TheFontsInfoManager();
  TheSharedFontsInfo* AcquireFontRecord(TFont* Font);
  void ReleaseFontRecord(TheSharedFontsInfo* Record);
  void LockFontRecord(TheSharedFontsInfo* Record) { ++Record->HandleUsers; }
  void UnlockFontRecord(TheSharedFontsInfo* Record);
  int Count() const { return int(FList.size()); }
  // The lookup key of a font: its LOGFONT without italic, underline and strike-out.
  static LOGFONTA KeyOf(TFont* Font);

 private:
  std::vector<TheSharedFontsInfo*> FList;
};
TheFontsInfoManager& GetFontsInfoManager();

class TheFontStock {
 public:
  explicit TheFontStock(TFont* InitialFont);
  virtual ~TheFontStock();
  TheFontStock(const TheFontStock&) = delete;
  TheFontStock& operator=(const TheFontStock&) = delete;

  virtual HDC GetDC();
  virtual void ReleaseDC();
  virtual HFONT CreateFontHandle(TheStyle Style);
  // Measures the font selected into DC: cell advance, height and double-byte advance.
  virtual void CalcFontAdvance(HDC DC, int* CharAdv, int* DBCharAdv, int* CharHeight);
  virtual int GetCharAdvance() const { return FCurrentData ? FCurrentData->CharAdv : 0; }
  virtual int GetCharHeight() const { return FCurrentData ? FCurrentData->CharHeight : 0; }
  virtual int GetDBCharAdvance() const { return FCurrentData ? FCurrentData->DBCharAdv : 0; }
  virtual TheFontData* GetFontData(int Index);
  virtual void SetBaseFont(TFont* Value);
  virtual void SetStyle(TheStyle Value);
  virtual void ReleaseFontHandles();

  HFONT FontHandle() const { return FCurrentFont; }
  TheStyle Style() const { return FCurrentStyle; }
  TheSharedFontsInfo* FontsInfo() const { return FFontsInfo; }
  bool UsingFontHandles() const { return FUsingFontHandles; }

 private:
  TheSharedFontsInfo* FFontsInfo = nullptr;
  bool FUsingFontHandles = false;
  HDC FDC = nullptr;
  int FDCRefCount = 0;
  LOGFONTA FBaseLF;
  TheFontData* FCurrentData = nullptr;
  HFONT FCurrentFont = nullptr;
  TheStyle FCurrentStyle = 0;
};

class TheTextDrawer {
 public:
  // The editor creates its drawer with the bold style as CalcExtentStyle, so
  // its cell is as wide as the bold variant's.
  TheTextDrawer(TheStyle CalcExtentStyle, TFont* BaseFont);
  virtual ~TheTextDrawer();
  TheTextDrawer(const TheTextDrawer&) = delete;
  TheTextDrawer& operator=(const TheTextDrawer&) = delete;

  virtual int GetCharWidth() const { return FCharWidth + FCharExtra; }
  virtual int GetCharHeight() const { return FCharHeight; }
  virtual void BeginDrawing(HDC DC);
  virtual void EndDrawing();
  virtual void TextOut(int X, int Y, const char* Text, int Length);
  virtual void ExtTextOut(int X, int Y, UINT Options, const RECT& Rect, const char* Text, int Length);
  virtual void SetBaseFont(TFont* Value);
  virtual void SetBaseStyle(TheStyle Value);
  virtual void SetStyle(TheStyle Value);
  virtual void SetForeColor(TColor Value);
  virtual void SetBackColor(TColor Value);
  virtual void SetCharExtra(int Value);
  virtual void FreeStyleHandles() { FFontStock->ReleaseFontHandles(); }

  TheFontStock* FontStock() const { return FFontStock.get(); }
  int CharWidthArrayLength() const { return int(FCharWidths.size()); }
  TColor ForeColor() const { return FColor; }
  TColor BackColor() const { return FBkColor; }
  HDC DC() const { return FDC; }

 private:
  void ReleaseCharWidthArray() { FCharWidths.clear(); }
  void AfterStyleSet();
  void DoSetCharExtra(int Value);

  HDC FDC = nullptr;
  int FSaveDC = 0;
  int FDrawingCount = 0;
  std::unique_ptr<TheFontStock> FFontStock;
  TheStyle FCalcExtentBaseStyle = 0;
  int FCharWidth = 0;
  int FCharHeight = 0;
  HFONT FCurrentFont = nullptr;
  std::vector<int> FCharWidths;
  TColor FColor = clWindowText;
  TColor FBkColor = clWindow;
  int FCharExtra = 0;
};

// Frees the manager and the records left in it (finalisation).
void DoneFontsInfoManager();
