#include "editor/txteditmiscclasses.h"

#include <algorithm>

#include "editor/txteditmisc.h"
#include "platform/classes/typinfo.h"
#include "platform/controls/controls.h"
#include "platform/rtl/strings.h"

// ---------------------------------------------------------------- selected colour

void TTxtSelectedColor::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TTxtSelectedColor*>(Source)) {
    FBackground = src->FBackground;
    FForeground = src->FForeground;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TTxtSelectedColor::SetBackground(TColor Value) {
  if (FBackground == Value) return;
  FBackground = Value;
  Changed();
}

void TTxtSelectedColor::SetForeground(TColor Value) {
  if (FForeground == Value) return;
  FForeground = Value;
  Changed();
}

// ---------------------------------------------------------------- gutter

TTxtGutter::TTxtGutter() : FFont(std::make_unique<TFont>()) {
  FFont->SetName("Courier New");
  FFont->SetSize(8);
  FFont->SetStyle(TFontStyles{});
  FFont->OnChange = TNotifyEvent(this, &TTxtGutter::FontChanged);
}

TTxtGutter::~TTxtGutter() { FFont->OnChange = nullptr; }

void TTxtGutter::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TTxtGutter*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  FFont->OnChange = nullptr;
  FFont->Assign(src->FFont.get());
  FFont->OnChange = TNotifyEvent(this, &TTxtGutter::FontChanged);
  FAutoSize = src->FAutoSize;
  FBorderStyle = src->FBorderStyle;
  FColor = src->FColor;
  FBorderColor = src->FBorderColor;
  FCursor = src->FCursor;
  FDigitCount = src->FDigitCount;
  FDigitsInUse = src->FDigitsInUse;
  FLeadingZeros = src->FLeadingZeros;
  FLeftOffset = src->FLeftOffset;
  FRightOffset = src->FRightOffset;
  FShowLineNumbers = src->FShowLineNumbers;
  FUseFontStyle = src->FUseFontStyle;
  FVisible = src->FVisible;
  FWidth = src->FWidth;
  FZeroStart = src->FZeroStart;
  FLineNumberStart = src->FLineNumberStart;
  FGradient = src->FGradient;
  FGradientStartColor = src->FGradientStartColor;
  FGradientEndColor = src->FGradientEndColor;
  FGradientSteps = src->FGradientSteps;
  Changed();
}

void TTxtGutter::AdjustDigitCount(int LinesCount) {
  if (FVisible && FAutoSize && FShowLineNumbers) {
    int largest = FZeroStart ? LinesCount - 1 : FLineNumberStart > 1 ? LinesCount + FLineNumberStart - 1 : LinesCount;
    int digits = int(std::to_string(largest).size());
    int n = std::max(digits, FDigitCount);
    if (n != FDigitsInUse) {
      FDigitsInUse = n;
      Changed();
    }
  } else {
    FDigitsInUse = FDigitCount;
  }
}

AnsiString TTxtGutter::LineNumberText(int Line) const {
  int shown = FZeroStart ? Line - 1 : FLineNumberStart > 1 ? Line + FLineNumberStart - 1 : Line;
  AnsiString s = std::to_string(shown);
  if (int(s.size()) < FDigitsInUse) s.insert(0, std::size_t(FDigitsInUse) - s.size(), ' ');
  if (FLeadingZeros)
    for (int i = 0; i < FDigitsInUse - 1 && s[std::size_t(i)] == ' '; ++i) s[std::size_t(i)] = '0';
  return s;
}

int TTxtGutter::PixelWidth(int CharWidth) const {
  if (!FVisible) return 0;
  if (FShowLineNumbers) return FLeftOffset + FRightOffset + FDigitsInUse * CharWidth + 2;
  return FWidth;
}

void TTxtGutter::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  Changed();
}

void TTxtGutter::SetBorderStyle(TTxtGutterBorderStyle Value) {
  FBorderStyle = Value;
  Changed();
}

void TTxtGutter::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed();
}

void TTxtGutter::SetBorderColor(TColor Value) {
  if (FBorderColor == Value) return;
  FBorderColor = Value;
  Changed();
}

void TTxtGutter::SetDigitCount(int Value) {
  Value = ClampInt(Value, 2, 12);
  if (FDigitCount == Value) return;
  FDigitCount = Value;
  FDigitsInUse = Value;
  Changed();
}

void TTxtGutter::SetLeadingZeros(bool Value) {
  if (FLeadingZeros == Value) return;
  FLeadingZeros = Value;
  Changed();
}

void TTxtGutter::SetLeftOffset(int Value) {
  Value = std::max(Value, 0);
  if (FLeftOffset == Value) return;
  FLeftOffset = Value;
  Changed();
}

void TTxtGutter::SetRightOffset(int Value) {
  Value = std::max(Value, 0);
  if (FRightOffset == Value) return;
  FRightOffset = Value;
  Changed();
}

void TTxtGutter::SetShowLineNumbers(bool Value) {
  if (FShowLineNumbers == Value) return;
  FShowLineNumbers = Value;
  Changed();
}

void TTxtGutter::SetUseFontStyle(bool Value) {
  if (FUseFontStyle == Value) return;
  FUseFontStyle = Value;
  Changed();
}

void TTxtGutter::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed();
}

void TTxtGutter::SetWidth(int Value) {
  Value = std::max(Value, 0);
  if (FWidth == Value) return;
  FWidth = Value;
  Changed();
}

void TTxtGutter::SetZeroStart(bool Value) {
  if (FZeroStart == Value) return;
  FZeroStart = Value;
  Changed();
}

void TTxtGutter::SetLineNumberStart(int Value) {
  if (FLineNumberStart == Value) return;
  FLineNumberStart = std::max(Value, 0);
  FZeroStart = FLineNumberStart == 0;
  Changed();
}

void TTxtGutter::SetGradient(bool Value) {
  if (FGradient == Value) return;
  FGradient = Value;
  Changed();
}

void TTxtGutter::SetGradientStartColor(TColor Value) {
  if (FGradientStartColor == Value) return;
  FGradientStartColor = Value;
  Changed();
}

void TTxtGutter::SetGradientEndColor(TColor Value) {
  if (FGradientEndColor == Value) return;
  FGradientEndColor = Value;
  Changed();
}

void TTxtGutter::SetGradientSteps(int Value) {
  if (FGradientSteps == Value) return;
  FGradientSteps = std::max(Value, 2);
  Changed();
}

// ---------------------------------------------------------------- bookmark options

void TTxtBookMarkOpt::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TTxtBookMarkOpt*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  FBookmarkImages = src->FBookmarkImages;
  if (FBookmarkImages && FOwner) FBookmarkImages->FreeNotification(FOwner);
  FDrawBookmarksFirst = src->FDrawBookmarksFirst;
  FEnableKeys = src->FEnableKeys;
  FGlyphsVisible = src->FGlyphsVisible;
  FLeftMargin = src->FLeftMargin;
  FXoffset = src->FXoffset;
  Changed();
}

void TTxtBookMarkOpt::SetBookmarkImages(TCustomImageList* Value) {
  if (FBookmarkImages == Value) return;
  FBookmarkImages = Value;
  if (Value && FOwner) Value->FreeNotification(FOwner);
  Changed();
}

void TTxtBookMarkOpt::SetDrawBookmarksFirst(bool Value) {
  if (FDrawBookmarksFirst == Value) return;
  FDrawBookmarksFirst = Value;
  Changed();
}

void TTxtBookMarkOpt::SetGlyphsVisible(bool Value) {
  if (FGlyphsVisible == Value) return;
  FGlyphsVisible = Value;
  Changed();
}

void TTxtBookMarkOpt::SetLeftMargin(int Value) {
  if (FLeftMargin == Value) return;
  FLeftMargin = Value;
  Changed();
}

void TTxtBookMarkOpt::SetXoffset(int Value) {
  if (FXoffset == Value) return;
  FXoffset = Value;
  Changed();
}

// ---------------------------------------------------------------- glyph

TTxtGlyph::TTxtGlyph(const AnsiString& ResName, TColor ResMaskColor)
    : FInternalGlyph(std::make_unique<TBitmap>()), FGlyph(std::make_unique<TBitmap>()),
      FInternalMaskColor(ResName.empty() ? clNone : ResMaskColor) {
  if (!ResName.empty()) {
    try {
      FInternalGlyph->LoadFromResourceName(ResName);
    } catch (const EResNotFound&) {
      // a program without the resource draws no default picture
    }
  }
  FGlyph->OnChange = TNotifyEvent(this, &TTxtGlyph::GlyphChange);
}

TTxtGlyph::~TTxtGlyph() { FGlyph->OnChange = nullptr; }

void TTxtGlyph::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TTxtGlyph*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  FVisible = src->FVisible;
  FInternalMaskColor = src->FInternalMaskColor;
  FMaskColor = src->FMaskColor;
  FInternalGlyph->Assign(src->FInternalGlyph.get());
  FGlyph->OnChange = nullptr;
  FGlyph->Assign(src->FGlyph.get());
  FGlyph->OnChange = TNotifyEvent(this, &TTxtGlyph::GlyphChange);
  Changed();
}

void TTxtGlyph::SetMaskColor(TColor Value) {
  if (FMaskColor == Value) return;
  FMaskColor = Value;
  Changed();
}

void TTxtGlyph::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed();
}

int TTxtGlyph::Width() const {
  if (!FGlyph->Empty()) return FGlyph->Width();
  return FInternalGlyph->Empty() ? 0 : FInternalGlyph->Width();
}

void TTxtGlyph::Draw(TCanvas* Canvas, int X, int Y, int LineHeight) {
  TBitmap* pic;
  TColor mask;
  if (!FGlyph->Empty()) {
    pic = FGlyph.get();
    mask = FMaskColor;
  } else if (!FInternalGlyph->Empty()) {
    pic = FInternalGlyph.get();
    mask = FInternalMaskColor;
  } else {
    return;
  }
  int w = pic->Width(), h = pic->Height();
  TRect src{0, 0, w, h};
  TRect dst;
  if (h > LineHeight) {
    src.top = (h - LineHeight) / 2;
    src.bottom = src.top + LineHeight;
    dst = TRect{X, Y, X + w, Y + LineHeight};
  } else {
    int top = Y + (LineHeight - h) / 2;
    dst = TRect{X, top, X + w, top + h};
  }
  if (mask == clNone) Canvas->CopyRect(dst, pic->Canvas(), src);
  else Canvas->BrushCopy(dst, pic, src, mask);
}

// ---------------------------------------------------------------- marks

void TTxtEditMark::SetLine(int Value) {
  if (FLine == Value) return;
  if (FVisible && FLine > 0) Changed();
  FLine = Value;
  if (FVisible && FLine > 0) Changed();
}

void TTxtEditMark::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (FVisible) Changed();
}

void TTxtEditMark::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed();
}

void TTxtEditMark::SetUseInternalImage(bool Value) {
  FUseInternalImage = Value;
  if (FVisible) Changed();
}

TTxtEditMarkList::~TTxtEditMarkList() {
  OnChange = nullptr;
  for (TTxtEditMark* m : FItems) delete m;
}

void TTxtEditMarkList::Add(TTxtEditMark* Mark) {
  FItems.push_back(Mark);
  Changed();
}

void TTxtEditMarkList::Delete(int Index) {
  TTxtEditMark* m = FItems.at(std::size_t(Index));
  FItems.erase(FItems.begin() + Index);
  delete m;
}

int TTxtEditMarkList::IndexOf(const TTxtEditMark* Mark) const {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i] == Mark) return int(i);
  return -1;
}

void TTxtEditMarkList::Remove(TTxtEditMark* Mark) {
  int i = IndexOf(Mark);
  if (i < 0) throw EListError("Mark is not in the list");
  Delete(i);
  Changed();
}

void TTxtEditMarkList::Clear() {
  while (!FItems.empty()) Delete(int(FItems.size()) - 1);
  Changed();
}

void TTxtEditMarkList::MarksOfLine(int Line, TTxtEditMarks& Marks) const {
  std::fill(std::begin(Marks), std::end(Marks), nullptr);
  int n = 0;
  for (TTxtEditMark* m : FItems)
    if (m->Line() == Line) {
      Marks[n++] = m;
      if (n == kMaxMarksPerLine) break;
    }
}

// ---------------------------------------------------------------- internal images

namespace {

struct TInternalResource {
  AnsiString Name;
  int UsageCount = 0;
  std::unique_ptr<TBitmap> Picture;
};
std::vector<TInternalResource*>* g_internalResources = nullptr;

TBitmap* AcquireInternalResource(const AnsiString& Name) {
  if (!g_internalResources) g_internalResources = new std::vector<TInternalResource*>();
  AnsiString key = UpperCase(Name);
  for (TInternalResource* r : *g_internalResources)
    if (r->Name == key) {
      ++r->UsageCount;
      return r->Picture.get();
    }
  auto r = std::make_unique<TInternalResource>();
  r->Name = key;
  r->UsageCount = 1;
  r->Picture = std::make_unique<TBitmap>();
  try {
    r->Picture->LoadFromResourceName(Name);
  } catch (const EResNotFound&) {
    // no picture: nothing is drawn
  }
  g_internalResources->push_back(r.get());
  return r.release()->Picture.get();
}

void ReleaseInternalResource(const AnsiString& Name) {
  if (!g_internalResources) return;
  AnsiString key = UpperCase(Name);
  auto& list = *g_internalResources;
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i]->Name == key) {
      if (--list[i]->UsageCount == 0) {
        delete list[i];
        list.erase(list.begin() + std::ptrdiff_t(i));
      }
      break;
    }
  if (list.empty()) {
    delete g_internalResources;
    g_internalResources = nullptr;
  }
}

}  // namespace

int InternalResourceCount() { return g_internalResources ? int(g_internalResources->size()) : 0; }

TTxtInternalImage::TTxtInternalImage(const AnsiString& Name, int Count)
    : FImages(AcquireInternalResource(Name)), FCount(Count), FName(Name) {
  if (Count > 0) FWidth = (FImages->Width() + Count / 2) / Count;
  FHeight = FImages->Height();
}

TTxtInternalImage::~TTxtInternalImage() { ReleaseInternalResource(FName); }

void TTxtInternalImage::DrawCell(TCanvas* Canvas, int Number, int X, int Y, int LineHeight) {
  if (Number < 0 || Number >= FCount || FImages->Empty()) return;
  TRect src{Number * FWidth, 0, (Number + 1) * FWidth, FHeight};
  TRect dst;
  if (FHeight > LineHeight) {
    src.top = (FHeight - LineHeight) / 2;
    src.bottom = src.top + LineHeight;
    dst = TRect{X, Y, X + FWidth, Y + LineHeight};
  } else {
    int top = Y + (LineHeight - FHeight) / 2;
    dst = TRect{X, top, X + FWidth, top + FHeight};
  }
  Canvas->CopyRect(dst, FImages->Canvas(), src);
}

// ---------------------------------------------------------------- registration

void RegisterEditorMiscClasses() {
  RegisterProps<TTxtSelectedColor>([](TPropBuilder<TTxtSelectedColor>& p) {
    p.Prop("Background", &TTxtSelectedColor::Background, &TTxtSelectedColor::SetBackground)
        .Default(clHighlight)
        .Idents(ColorIdentMap());
    p.Prop("Foreground", &TTxtSelectedColor::Foreground, &TTxtSelectedColor::SetForeground)
        .Default(clHighlightText)
        .Idents(ColorIdentMap());
  });
  RegisterProps<TTxtGutter>([](TPropBuilder<TTxtGutter>& p) {
    p.Prop("AutoSize", &TTxtGutter::AutoSize, &TTxtGutter::SetAutoSize).Default(false);
    p.Prop("BorderStyle", &TTxtGutter::BorderStyle, &TTxtGutter::SetBorderStyle).Default(gbsMiddle);
    p.Prop("Color", &TTxtGutter::Color, &TTxtGutter::SetColor).Default(clBtnFace).Idents(ColorIdentMap());
    p.Prop("BorderColor", &TTxtGutter::BorderColor, &TTxtGutter::SetBorderColor)
        .Default(clWindow)
        .Idents(ColorIdentMap());
    p.Prop("Cursor", &TTxtGutter::Cursor, &TTxtGutter::SetCursor).Default(0).Idents(CursorIdentMap());
    p.Prop("DigitCount", &TTxtGutter::DigitCount, &TTxtGutter::SetDigitCount).Default(4);
    p.Prop("Font", &TTxtGutter::Font);
    p.Prop("LeadingZeros", &TTxtGutter::LeadingZeros, &TTxtGutter::SetLeadingZeros).Default(false);
    p.Prop("LeftOffset", &TTxtGutter::LeftOffset, &TTxtGutter::SetLeftOffset).Default(16);
    p.Prop("RightOffset", &TTxtGutter::RightOffset, &TTxtGutter::SetRightOffset).Default(2);
    p.Prop("ShowLineNumbers", &TTxtGutter::ShowLineNumbers, &TTxtGutter::SetShowLineNumbers).Default(false);
    p.Prop("UseFontStyle", &TTxtGutter::UseFontStyle, &TTxtGutter::SetUseFontStyle).Default(true);
    p.Prop("Visible", &TTxtGutter::Visible, &TTxtGutter::SetVisible).Default(true);
    p.Prop("Width", &TTxtGutter::Width, &TTxtGutter::SetWidth).Default(30);
    p.Prop("ZeroStart", &TTxtGutter::ZeroStart, &TTxtGutter::SetZeroStart).Default(false);
    p.Prop("LineNumberStart", &TTxtGutter::LineNumberStart, &TTxtGutter::SetLineNumberStart).Default(1);
    p.Prop("Gradient", &TTxtGutter::Gradient, &TTxtGutter::SetGradient).Default(false);
    p.Prop("GradientStartColor", &TTxtGutter::GradientStartColor, &TTxtGutter::SetGradientStartColor)
        .Default(clWindow)
        .Idents(ColorIdentMap());
    p.Prop("GradientEndColor", &TTxtGutter::GradientEndColor, &TTxtGutter::SetGradientEndColor)
        .Default(clBtnFace)
        .Idents(ColorIdentMap());
    p.Prop("GradientSteps", &TTxtGutter::GradientSteps, &TTxtGutter::SetGradientSteps).Default(48);
  });
  RegisterProps<TTxtBookMarkOpt>([](TPropBuilder<TTxtBookMarkOpt>& p) {
    p.Prop("BookmarkImages", &TTxtBookMarkOpt::BookmarkImages, &TTxtBookMarkOpt::SetBookmarkImages);
    p.Prop("DrawBookmarksFirst", &TTxtBookMarkOpt::DrawBookmarksFirst, &TTxtBookMarkOpt::SetDrawBookmarksFirst)
        .Default(true);
    p.Prop("EnableKeys", &TTxtBookMarkOpt::EnableKeys, &TTxtBookMarkOpt::SetEnableKeys).Default(true);
    p.Prop("GlyphsVisible", &TTxtBookMarkOpt::GlyphsVisible, &TTxtBookMarkOpt::SetGlyphsVisible).Default(true);
    p.Prop("LeftMargin", &TTxtBookMarkOpt::LeftMargin, &TTxtBookMarkOpt::SetLeftMargin).Default(2);
    p.Prop("Xoffset", &TTxtBookMarkOpt::Xoffset, &TTxtBookMarkOpt::SetXoffset).Default(12);
  });
  RegisterProps<TTxtGlyph>([](TPropBuilder<TTxtGlyph>& p) {
    p.Prop("Glyph", &TTxtGlyph::Glyph);
    p.Prop("MaskColor", &TTxtGlyph::MaskColor, &TTxtGlyph::SetMaskColor).Default(clNone).Idents(ColorIdentMap());
    p.Prop("Visible", &TTxtGlyph::Visible, &TTxtGlyph::SetVisible).Default(true);
  });
}
