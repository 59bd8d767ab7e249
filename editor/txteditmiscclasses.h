// The small settings and support classes an editor owns: selection colours,
// the gutter, the bookmark display options, the glyph of wrapped rows, marks
// and their list, and the shared strip of internal bookmark images. Each
// settings object reports its changes through one OnChange.
#pragma once
#include <memory>
#include <vector>

#include "editor/txtmethodchain.h"
#include "platform/controls/graphics.h"
#include "platform/controls/imglist.h"

class TTxtSelectedColor : public TPersistent {
  PV_CLASS(TTxtSelectedColor, TPersistent)
 public:
  TTxtSelectedColor() = default;
  void Assign(TPersistent* Source) override;
  TColor Background() const { return FBackground; }
  void SetBackground(TColor Value);
  TColor Foreground() const { return FForeground; }
  void SetForeground(TColor Value);
  TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  TColor FBackground = clHighlight;
  TColor FForeground = clHighlightText;
};

enum TTxtGutterBorderStyle { gbsNone, gbsMiddle, gbsRight };
PV_ENUM_NAMES(TTxtGutterBorderStyle, "gbsNone gbsMiddle gbsRight")

class TTxtGutter : public TPersistent {
  PV_CLASS(TTxtGutter, TPersistent)
 public:
  TTxtGutter();
  ~TTxtGutter() override;
  void Assign(TPersistent* Source) override;

  // Adapts DigitsInUse to the largest line number shown.
  void AdjustDigitCount(int LinesCount);
  // The number shown for Line, right-aligned in DigitsInUse characters.
  AnsiString LineNumberText(int Line) const;
  // The gutter's width in pixels for a character cell of CharWidth.
  int PixelWidth(int CharWidth) const;

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  TTxtGutterBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TTxtGutterBorderStyle Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value);
  SmallInt Cursor() const { return FCursor; }
  void SetCursor(SmallInt Value) { FCursor = Value; }
  int DigitCount() const { return FDigitCount; }
  void SetDigitCount(int Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool LeadingZeros() const { return FLeadingZeros; }
  void SetLeadingZeros(bool Value);
  int LeftOffset() const { return FLeftOffset; }
  void SetLeftOffset(int Value);
  int RightOffset() const { return FRightOffset; }
  void SetRightOffset(int Value);
  bool ShowLineNumbers() const { return FShowLineNumbers; }
  void SetShowLineNumbers(bool Value);
  bool UseFontStyle() const { return FUseFontStyle; }
  void SetUseFontStyle(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  bool ZeroStart() const { return FZeroStart; }
  void SetZeroStart(bool Value);
  int LineNumberStart() const { return FLineNumberStart; }
  void SetLineNumberStart(int Value);
  bool Gradient() const { return FGradient; }
  void SetGradient(bool Value);
  TColor GradientStartColor() const { return FGradientStartColor; }
  void SetGradientStartColor(TColor Value);
  TColor GradientEndColor() const { return FGradientEndColor; }
  void SetGradientEndColor(TColor Value);
  int GradientSteps() const { return FGradientSteps; }
  void SetGradientSteps(int Value);
  int DigitsInUse() const { return FDigitsInUse; }

  TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  void FontChanged(TObject* Sender) { Changed(); }

  bool FAutoSize = false;
  TTxtGutterBorderStyle FBorderStyle = gbsMiddle;
  TColor FColor = clBtnFace;
  TColor FBorderColor = clWindow;
  SmallInt FCursor = 0;
  int FDigitCount = 4;
  std::unique_ptr<TFont> FFont;
  bool FLeadingZeros = false;
  int FLeftOffset = 16;
  int FRightOffset = 2;
  bool FShowLineNumbers = false;
  bool FUseFontStyle = true;
  bool FVisible = true;
  int FWidth = 30;
  bool FZeroStart = false;
  int FLineNumberStart = 1;
  bool FGradient = false;
  TColor FGradientStartColor = clWindow;
  TColor FGradientEndColor = clBtnFace;
  int FGradientSteps = 48;
  int FDigitsInUse = 4;
};

class TTxtBookMarkOpt : public TPersistent {
  PV_CLASS(TTxtBookMarkOpt, TPersistent)
 public:
  explicit TTxtBookMarkOpt(TComponent* AOwner = nullptr) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;

  TCustomImageList* BookmarkImages() const { return FBookmarkImages; }
  void SetBookmarkImages(TCustomImageList* Value);
  bool DrawBookmarksFirst() const { return FDrawBookmarksFirst; }
  void SetDrawBookmarksFirst(bool Value);
  bool EnableKeys() const { return FEnableKeys; }
  void SetEnableKeys(bool Value) { FEnableKeys = Value; }
  bool GlyphsVisible() const { return FGlyphsVisible; }
  void SetGlyphsVisible(bool Value);
  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int Value);
  int Xoffset() const { return FXoffset; }
  void SetXoffset(int Value);
  TPersistent* GetOwner() const override { return FOwner; }

  TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  TComponent* FOwner;
  TCustomImageList* FBookmarkImages = nullptr;
  bool FDrawBookmarksFirst = true;
  bool FEnableKeys = true;
  bool FGlyphsVisible = true;
  int FLeftMargin = 2;
  int FXoffset = 12;
};

// A picture drawn in the gutter, with a default picture from a bitmap resource.
class TTxtGlyph : public TPersistent {
  PV_CLASS(TTxtGlyph, TPersistent)
 public:
  // ResName: the bitmap resource of the default picture ("" for none).
  explicit TTxtGlyph(const AnsiString& ResName = AnsiString(), TColor ResMaskColor = clNone);
  ~TTxtGlyph() override;
  void Assign(TPersistent* Source) override;

  // Draws the picture in use at (X, Y) in a row of LineHeight pixels.
  void Draw(TCanvas* Canvas, int X, int Y, int LineHeight);

  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  TColor MaskColor() const { return FMaskColor; }
  void SetMaskColor(TColor Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // The width of the picture in use; 0 without one.
  int Width() const;
  TBitmap* InternalGlyph() const { return FInternalGlyph.get(); }
  TColor InternalMaskColor() const { return FInternalMaskColor; }

  TNotifyEvent OnChange;

 private:
  void GlyphChange(TObject* Sender) { Changed(); }
  void Changed() {
    if (OnChange) OnChange(this);
  }
  std::unique_ptr<TBitmap> FInternalGlyph;
  std::unique_ptr<TBitmap> FGlyph;
  TColor FInternalMaskColor;
  TColor FMaskColor = clNone;
  bool FVisible = true;
};

class TTxtEditMark : public TObject {
  PV_CLASS(TTxtEditMark, TObject)
 public:
  TTxtEditMark() = default;
  int Line() const { return FLine; }
  virtual void SetLine(int Value);
  int Char() const { return FChar; }
  virtual void SetChar(int Value) { FChar = Value; }
  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool UseInternalImage() const { return FUseInternalImage; }
  void SetUseInternalImage(bool Value);
  int BookmarkIndex() const { return FBookmarkIndex; }
  void SetBookmarkIndex(int Value) { FBookmarkIndex = Value; }
  bool IsBookmark() const { return FBookmarkIndex >= 0; }

  TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  int FLine = 0;
  int FChar = 0;
  int FImageIndex = 0;
  bool FVisible = false;
  bool FUseInternalImage = false;
  int FBookmarkIndex = -1;
};

constexpr int kMaxMarksPerLine = 17;
using TTxtEditMarks = TTxtEditMark* [kMaxMarksPerLine];

// The marks of an editor; the list owns them.
class TTxtEditMarkList : public TObject {
  PV_CLASS(TTxtEditMarkList, TObject)
 public:
  TTxtEditMarkList() = default;
  ~TTxtEditMarkList() override;
  TTxtEditMarkList(const TTxtEditMarkList&) = delete;
  TTxtEditMarkList& operator=(const TTxtEditMarkList&) = delete;

  void Add(TTxtEditMark* Mark);
  // Frees the mark at Index; no notification.
  void Delete(int Index);
  // Frees Mark, which must be in the list.
  void Remove(TTxtEditMark* Mark);
  void Clear();
  int Count() const { return int(FItems.size()); }
  TTxtEditMark* Items(int Index) const { return FItems.at(std::size_t(Index)); }
  int IndexOf(const TTxtEditMark* Mark) const;
  // The marks on Line in list order, at most 17; the rest of Marks is nil.
  void MarksOfLine(int Line, TTxtEditMarks& Marks) const;

  TNotifyEvent OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange(this);
  }
  std::vector<TTxtEditMark*> FItems;
};

// A strip of Count images of one bitmap resource, shared by every strip of
// that name.
class TTxtInternalImage : public TObject {
  PV_CLASS(TTxtInternalImage, TObject)
 public:
  TTxtInternalImage(const AnsiString& Name, int Count);
  ~TTxtInternalImage() override;
  TTxtInternalImage(const TTxtInternalImage&) = delete;
  TTxtInternalImage& operator=(const TTxtInternalImage&) = delete;
  // Draws cell Number (0..Count - 1) at (X, Y), centred in or cropped to a row
  // of LineHeight pixels.
  void DrawCell(TCanvas* Canvas, int Number, int X, int Y, int LineHeight);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const { return FCount; }
  TBitmap* Picture() const { return FImages; }

 private:
  TBitmap* FImages;
  int FWidth = 0, FHeight = 0, FCount;
  AnsiString FName;
};
// Number of distinct shared pictures held (tests).
int InternalResourceCount();

// Registers the published properties of these classes for window descriptions.
void RegisterEditorMiscClasses();
