// Drawing objects of the class library: colours, fonts, pens and brushes that
// own their drawing handles, the canvas over a device context, and graphics
// (bitmaps, icons, pictures) that can be drawn, loaded and stored.
#pragma once
#include <functional>
#include <memory>
#include "platform/classes/classes.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/pictures.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TStream;
class TCanvas;

// ---- colours ----
// A colour is an RGB value (0x00BBGGRR) or a system colour (0xFF000000 + COLOR_*).
using TColor = int;

constexpr TColor clSystemColor = TColor(0xFF000000);
constexpr TColor SysColor(int Index) { return TColor(0xFF000000u | unsigned(Index)); }
constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clLtGray = 0xC0C0C0,
                 clDkGray = 0x808080, clWhite = 0xFFFFFF, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

// The RGB value of a colour (system colours looked up; clNone and clDefault
// give black and the window colour's RGB respectively).
COLORREF ColorToRGB(TColor Color);
// "clRed", or "$00BBGGRR" for a colour without a name.
AnsiString ColorToString(TColor Color);
// Accepts a name or a number ("$FF0000", "255"); raises EConvertError otherwise.
TColor StringToColor(const AnsiString& S);
bool ColorToIdent(int Color, AnsiString& Ident);
bool IdentToColor(const AnsiString& Ident, int& Color);
// Calls Proc with each colour name, the standard colours first, then the system colours.
void GetColorValues(const std::function<void(const AnsiString&)>& Proc);
// The name table the property registry uses for colour properties.
const TIdentMap* ColorIdentMap();

// ---- fonts, pens, brushes ----
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
  pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

PV_ENUM_NAMES(TFontStyle, "fsBold fsItalic fsUnderline fsStrikeOut")
PV_ENUM_NAMES(TFontPitch, "fpDefault fpVariable fpFixed")
PV_ENUM_NAMES(TPenStyle, "psSolid psDash psDot psDashDot psDashDotDot psClear psInsideFrame")
PV_ENUM_NAMES(TPenMode,
              "pmBlack pmWhite pmNop pmNot pmCopy pmNotCopy pmMergePenNot pmMaskPenNot pmMergeNotPen "
              "pmMaskNotPen pmMerge pmNotMerge pmMask pmNotMask pmXor pmNotXor")
PV_ENUM_NAMES(TBrushStyle, "bsSolid bsClear bsHorizontal bsVertical bsFDiagonal bsBDiagonal bsCross bsDiagCross")

// The default face and size of new fonts.
extern const char* const DefFontName;  // "宋体" (CP936)
constexpr int DefFontSize = 9;

// A drawing object that tells its owner when it changes (OnChange) and creates
// its handle on demand; the handle is freed when a property changes.
class TGraphicsObject : public TPersistent {
  PV_CLASS(TGraphicsObject, TPersistent)
 public:
  TNotifyEvent OnChange;
  // Holds OnChange back while several properties change.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

 protected:
  virtual void Changed();
  int FUpdateCount = 0;
  bool FChangedPending = false;
};

class TFont : public TGraphicsObject {
  PV_CLASS(TFont, TGraphicsObject)
 public:
  TFont();
  ~TFont() override;
  void Assign(TPersistent* Source) override;

  HFONT Handle();
  // Adopts a font handle (its LOGFONT is read; the handle is then owned). A
  // turned font keeps its angle through Assign, as the shared font resource
  // of the original class library does; changing a property drops it.
  void SetHandle(HFONT Value);
  // Tenths of a degree, from an adopted handle.
  int Escapement() const { return FEscapement; }
  AnsiString Name() const { return FName; }
  void SetName(const AnsiString& Value);
  // Points; negative values name a character height in pixels (as Height does).
  int Size() const;
  void SetSize(int Value);
  // Pixels: negative is the character height, as in LOGFONT.
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
  // The font as a LOGFONT (for CreateFontIndirect).
  LOGFONTA LogFont() const;
  bool Equals(const TFont* Other) const;

 private:
  void FreeHandle();
  HFONT FHandle = nullptr;
  AnsiString FName;
  int FHeight;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FPixelsPerInch = 96;
  int FEscapement = 0, FOrientation = 0;
};

class TPen : public TGraphicsObject {
  PV_CLASS(TPen, TGraphicsObject)
 public:
  TPen() = default;
  ~TPen() override;
  void Assign(TPersistent* Source) override;
  HPEN Handle();
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

 private:
  void FreeHandle();
  HPEN FHandle = nullptr;
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

class TBitmap;

class TBrush : public TGraphicsObject {
  PV_CLASS(TBrush, TGraphicsObject)
 public:
  TBrush() = default;
  ~TBrush() override;
  void Assign(TPersistent* Source) override;
  HBRUSH Handle();
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern bitmap (not owned); nullptr for colour brushes.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

 private:
  void FreeHandle();
  HBRUSH FHandle = nullptr;
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};

// ---- the canvas ----
enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;
enum TFillStyle { fsSurface, fsBorder };
using TCopyMode = DWORD;
// TextRect flags (TTextFormat) as DrawText DT_* values.
using TTextFormat = UINT;

class TGraphic;

// Draws with its Font, Pen and Brush on a device context. The objects are
// selected into the DC lazily, before each drawing call that needs them.
class TCanvas : public TPersistent {
  PV_CLASS(TCanvas, TPersistent)
 public:
  TCanvas();
  ~TCanvas() override;

  HDC Handle();
  // Hands the canvas a DC (not owned); nullptr detaches it and restores the
  // objects that were selected.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont.get(); }
  TPen* Pen() const { return FPen.get(); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TPoint PenPos();
  void SetPenPos(const TPoint& Value) { MoveTo(Value.x, Value.y); }
  TRect ClipRect();
  TColor Pixels(int X, int Y);
  void SetPixel(int X, int Y, TColor Value);
  // Extra flags for TextOut/TextRect (ETO_* values).
  int TextFlags() const { return FTextFlags; }
  void SetTextFlags(int Value) { FTextFlags = Value; }

  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  void DrawFocusRect(const TRect& Rect);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.left, R.top, R.right, R.bottom); }
  void FillRect(const TRect& Rect);
  void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);
  void FrameRect(const TRect& Rect);
  void LineTo(int X, int Y);
  void MoveTo(int X, int Y);
  void Polygon(const TPoint* Points, int Count);
  void Polyline(const TPoint* Points, int Count);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void TextOut(int X, int Y, const AnsiString& Text);
  void TextRect(const TRect& Rect, int X, int Y, const AnsiString& Text);
  // Draws Text inside Rect with DrawText flags.
  void TextRect(TRect& Rect, const AnsiString& Text, TTextFormat Format);
  TSize TextExtent(const AnsiString& Text);
  int TextWidth(const AnsiString& Text) { return TextExtent(Text).cx; }
  int TextHeight(const AnsiString& Text) { return TextExtent(Text).cy; }
  void Refresh();
  void Lock() { ++FLockCount; }
  void Unlock() { --FLockCount; }
  bool LockCount() const { return FLockCount; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Obtains a DC when the canvas has none (a control canvas asks its control).
  virtual void CreateHandle() {}
  virtual void Changing();
  virtual void Changed();
  // Makes sure the DC exists and the objects in ReqState are selected.
  void RequiredState(TCanvasState ReqState);
  void DeselectHandles();

 private:
  void FontChanged(TObject* Sender);
  void PenChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);
  void CreateFont();
  void CreatePen();
  void CreateBrush();

  HDC FHandle = nullptr;
  TCanvasState FState;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TPoint FPenPos;
  TCopyMode FCopyMode = SRCCOPY;
  int FTextFlags = 0;
  int FLockCount = 0;
  HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
};

// ---- graphics ----

// Something that can be drawn on a canvas and stored in a stream or a file.
class TGraphic : public TInterfacedPersistent {
  PV_CLASS(TGraphic, TInterfacedPersistent)
 public:
  ~TGraphic() override = default;
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  friend class TPicture;
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void Changed(TObject* Sender);
  void DefineProperties(TFiler* Filer) override;
  // The graphic's bytes in a description ("Data"): the file form unless overridden.
  virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }
  bool FTransparent = false;
  bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
PV_ENUM_NAMES(TPixelFormat, "pfDevice pf1bit pf4bit pf8bit pf15bit pf16bit pf24bit pf32bit pfCustom")
PV_ENUM_NAMES(TTransparentMode, "tmAuto tmFixed")

// A 32-bit bitmap with its own memory canvas. Loads BMP (and, through
// LoadFromStream's detection, JPEG and PNG data) and stores BMP.
class TBitmap : public TGraphic {
  PV_CLASS(TBitmap, TGraphic)
 public:
  TBitmap();
  ~TBitmap() override;
  void Assign(TPersistent* Source) override;

  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  // Keeps the pixels that still fit; new pixels are white.
  void SetSize(int AWidth, int AHeight);
  HBITMAP Handle();
  // Adopts a bitmap handle (owned from then on).
  void SetHandle(HBITMAP Value);
  // Gives up ownership of the handle and empties the bitmap.
  HBITMAP ReleaseHandle();
  TCanvas* Canvas();
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }
  bool Monochrome() const { return FMonochrome; }
  void SetMonochrome(bool Value) { FMonochrome = Value; }
  // tmAuto takes the bottom-left pixel's colour.
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);
  // Row Y of the 32-bit pixels (0xAARRGGBB), top-down.
  std::uint32_t* ScanLine(int Y);
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // Loads the BITMAP resource Name; raises EResNotFound when there is none.
  void LoadFromResourceName(const AnsiString& Name);
  void LoadFromRawImage(const TRawImage& Image);
  TRawImage ToRawImage();
  void Dormant() {}
  void FreeImage() {}

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // A 32-bit length followed by the file form.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  void FreeContext();
  // Makes the white pixels of a bitmap that was sized but not yet drawn on.
  void Realize();
  HBITMAP FHandle = nullptr;
  std::uint32_t* FBits = nullptr;
  int FWidth = 0, FHeight = 0;
  std::unique_ptr<TCanvas> FCanvas;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  TPixelFormat FPixelFormat = pfDevice;
  bool FMonochrome = false;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
};

// An icon (ICO data); drawn at its own size, or stretched.
class TIcon : public TGraphic {
  PV_CLASS(TIcon, TGraphic)
 public:
  TIcon() = default;
  ~TIcon() override;
  void Assign(TPersistent* Source) override;
  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int) override;
  void SetHeight(int) override;
  HICON Handle() const { return FHandle; }
  // Adopts an icon handle (owned from then on).
  void SetHandle(HICON Value);
  HICON ReleaseHandle();
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  HICON FHandle = nullptr;
  int FWidth = 0, FHeight = 0;
  TBytes FData;  // the file the icon came from, for saving
};

// Holds one graphic of any registered kind; loads by file extension or by the
// data's leading bytes. Streams itself in descriptions as "Picture.Data".
class TPicture : public TInterfacedPersistent {
  PV_CLASS(TPicture, TInterfacedPersistent)
 public:
  TPicture() = default;
  ~TPicture() override;
  void Assign(TPersistent* Source) override;

  TGraphic* Graphic() const { return FGraphic; }
  // Takes a copy of Value (nullptr empties the picture).
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap, replacing any other kind of graphic with an empty bitmap.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* Icon();
  void SetIcon(TIcon* Value) { SetGraphic(Value); }
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);

  TNotifyEvent OnChange;

 protected:
  void DefineProperties(TFiler* Filer) override;
  void Changed(TObject* Sender);

 private:
  void ForceType(TClass GraphicClass);
  void SetOwnedGraphic(TGraphic* G);
  TGraphic* FGraphic = nullptr;
};

// The shared 8 x 8 bitmap of a two-colour checkerboard (Color1 where x + y is
// even), made once per pair and kept for the run; for half-tone pattern brushes.
TBitmap* AllocPatternBitmap(TColor Color1, TColor Color2);

// Registers the graphic class for a file extension ("bmp", "ico" ...).
void RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description, TClass GraphicClass);
// "Bitmaps (*.bmp)|*.bmp|..." for the picture dialogs.
AnsiString GraphicFilter(TClass GraphicClass);
// The first extension registered for exactly this class ("bmp"), empty for none.
AnsiString GraphicExtension(TClass GraphicClass);

// ---- pictures on the clipboard ----
// The clipboard format that stands for any format a picture can be pasted
// from (a bitmap: CF_BITMAP or CF_DIB).
UINT PictureClipboardFormat();
#define CF_PICTURE PictureClipboardFormat()
// Whether the clipboard holds Format; for CF_PICTURE, a format a picture can take.
bool ClipboardHasFormat(UINT Format);
// Puts the picture on the clipboard as a bitmap (another graphic drawn into
// one); an empty picture puts nothing.
void CopyPictureToClipboard(TPicture* Picture);
// The clipboard's bitmap becomes the picture's graphic; false when it holds none.
bool PastePictureFromClipboard(TPicture* Picture);

// Registers the property tables of this unit (called by the library's init).
void InitGraphicsProps();
