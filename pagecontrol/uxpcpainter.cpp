// The base painter: parent info, the default content layout and drawing of a
// tab (image and caption, vertical captions through a turned bitmap), clip
// region handling, and the painter factory.
#include "pagecontrol/uxpcpainter.h"

#include <algorithm>

#include "framework/uxthemes.h"
#include "pagecontrol/uxpcutils.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {

TuxPCPaintersFactory* gFactory = nullptr;

// Whether the system has the hot-light colour: decided once.
bool HasHotLightColor() {
  static const bool Has = [] {
    OSVERSIONINFOA V{};
    V.dwOSVersionInfoSize = sizeof V;
    if (!GetVersionExA(&V)) return false;
    if (V.dwPlatformId == 1) return V.dwMinorVersion != 0;  // the consumer line
    return V.dwPlatformId == VER_PLATFORM_WIN32_NT && V.dwMajorVersion == 5;
  }();
  return Has;
}

// The width of a one-line text as DrawText draws it (accelerators processed).
int CaptionWidth(HDC DC, const AnsiString& Text) {
  if (Text.empty()) return 0;
  RECT R{0, 0, 0, 0};
  ::DrawTextA(DC, Text.c_str(), int(Text.size()), &R, DT_CALCRECT | DT_SINGLELINE);
  return R.right - R.left;
}

// Text cut at a character boundary and ended with "..." so that it fits
// Width; Shortened tells whether it was cut. Empty when nothing fits.
AnsiString FitWithEllipsis(HDC DC, const AnsiString& Text, int Width, bool& Shortened) {
  Shortened = false;
  if (CaptionWidth(DC, Text) <= Width) return Text;
  Shortened = true;
  std::vector<std::size_t> Ends{0};
  for (std::size_t i = 0; i < Text.size();) {
    i += IsDBCSLeadByte(static_cast<unsigned char>(Text[i])) && i + 1 < Text.size() ? 2 : 1;
    Ends.push_back(i);
  }
  for (std::size_t n = Ends.size(); n-- > 0;) {
    AnsiString S = Text.substr(0, Ends[n]) + "...";
    if (CaptionWidth(DC, S) <= Width) return S;
  }
  return "";
}

// A rectangle given along and across a caption, placed in R for a text direction.
TRect FromTextFrame(const TRect& R, int Direction, int Along, int AlongLength, int Across, int AcrossLength) {
  switch (Direction) {
    case 1:  // bottom to top, the top of the text at the left
      return pcRect(R.left + Across, R.bottom - Along - AlongLength, R.left + Across + AcrossLength, R.bottom - Along);
    case 2:  // top to bottom, the top of the text at the right
      return pcRect(R.right - Across - AcrossLength, R.top + Along, R.right - Across, R.top + Along + AlongLength);
    default: return pcRect(R.left + Along, R.top + Across, R.left + Along + AlongLength, R.top + Across + AcrossLength);
  }
}

}  // namespace

TColor uxPCHotTrackColor() { return HasHotLightColor() ? clHotLight : clBlue; }

// ---------------------------------------------------------------------------
// parent info

TControl* TuxPCPainterParentInfo::Page(int VisibleIndex) const {
  return FControl->GetPage(FControl->VisibleTab(VisibleIndex)->Index());
}

TColor TuxPCPainterParentInfo::PageColor(int VisibleIndex) const {
  TControl* P = Page(VisibleIndex);
  return P ? P->Color() : FControl->Color();
}

TColor TuxPCPainterParentInfo::TabColor(int VisibleIndex) const {
  TColor C = FControl->VisibleTab(VisibleIndex)->Color();
  if (C != clDefault) return C;
  TControl* P = Page(VisibleIndex);
  if (P && (FControl->Options().Contains(pcoUsePageColorForTab) || FControl->Painter()->AlwaysUsePageColorForTabs()) &&
      !P->ParentColor())
    C = P->Color();
  return C;
}

bool TuxPCPainterParentInfo::HasOppositeRows() const {
  if (FControl->TabPosition() == tpTop || FControl->TabPosition() == tpLeft)
    return FControl->NearRowCount() != FControl->RowCount();
  return FControl->NearRowCount() != 0;
}

// ---------------------------------------------------------------------------
// the base painter

TuxPCCustomPainter::TuxPCCustomPainter(TuxCustomTabControl* AControl)
    : FOwnerControl(AControl), FControlInfo(std::make_unique<TuxPCPainterParentInfo>(AControl)) {}

TuxPCCustomPainter::~TuxPCCustomPainter() {
  for (HRGN R : FClipRegionStack)
    if (R) DeleteObject(R);
  FClipRegionStack.clear();
}

TRect TuxPCCustomPainter::TurnIndents(const TRect& N, TuxTabPosition Position) {
  switch (Position) {
    case tpBottom: return pcRect(N.right, N.bottom, N.left, N.top);
    case tpLeft: return pcRect(N.top, N.right, N.bottom, N.left);
    case tpRight: return pcRect(N.bottom, N.left, N.top, N.right);
    default: return N;
  }
}

TRect TuxPCCustomPainter::ControlBounds() const {
  return pcRect(0, 0, FOwnerControl->Width(), FOwnerControl->Height());
}

void TuxPCCustomPainter::GetTabRectCorrection(int, int (&Deltas)[4]) {
  for (int& D : Deltas) D = 0;
}

TColor TuxPCCustomPainter::GetClientColor() {
  const int Main = FOwnerControl->MainTab();
  if (Main >= 0 && Main < FOwnerControl->VisibleTabs()->Count()) return FControlInfo->PageColor(Main);
  return FOwnerControl->Color();
}

void TuxPCCustomPainter::FillPageArea() {
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->FillRect(GetDisplayRect(), GetClientColor());
}

void TuxPCCustomPainter::GetDisplayIndents(TRect& R) {
  GetClientIndents(R);
  if (HasFrame()) {
    const int W = GetFrameWidth();
    R = pcRect(R.left + W, R.top + W, R.right + W, R.bottom + W);
  }
}

void TuxPCCustomPainter::GetClientIndents(TRect& R) {
  R = TRect{};
  TuxCustomTabControl* C = FOwnerControl;
  if (C->HideTabs() || C->RowCount() == 0) return;
  const TRect Near = C->NearTabArea(), Far = C->FarTabArea();
  switch (C->TabPosition()) {
    case tpTop:
      R.top = Near.bottom;
      if (C->NearRowCount() != C->RowCount()) R.bottom = C->Height() - Far.top;
      break;
    case tpLeft:
      R.top = Near.right;
      if (C->NearRowCount() != C->RowCount()) R.bottom = C->Width() - Far.left;
      break;
    case tpBottom:
      R.top = C->Height() - Far.top;
      if (C->NearRowCount() != 0) R.bottom = Near.bottom;
      break;
    case tpRight:
      R.top = C->Width() - Far.left;
      if (C->NearRowCount() != 0) R.bottom = Near.right;
      break;
  }
}

TRect TuxPCCustomPainter::GetDisplayRect() {
  TRect N;
  GetDisplayIndents(N);
  const TRect I = TurnIndents(N, FOwnerControl->TabPosition());
  TRect R = pcRect(I.left, I.top, FOwnerControl->Width() - I.right, FOwnerControl->Height() - I.bottom);
  R.right = std::max(R.right, R.left);
  R.bottom = std::max(R.bottom, R.top);
  return R;
}

TRect TuxPCCustomPainter::GetClientRect() {
  TRect N;
  GetClientIndents(N);
  const TRect I = TurnIndents(N, FOwnerControl->TabPosition());
  TRect R = pcRect(I.left, I.top, FOwnerControl->Width() - I.right, FOwnerControl->Height() - I.bottom);
  R.right = std::max(R.right, R.left);
  R.bottom = std::max(R.bottom, R.top);
  return R;
}

void TuxPCCustomPainter::DrawTabByEvent(int VisibleIndex) {
  FOwnerControl->DoCustomDrawTab(Canvas(), VisibleTab(VisibleIndex), FTabContentData.ImageBounds,
                                 FTabContentData.CaptionBounds);
}

TColor TuxPCCustomPainter::GetTabBaseColor(int VisibleIndex) { return FControlInfo->TabColor(VisibleIndex); }

TuxRegion* TuxPCCustomPainter::GetTabClipRegion(int VisibleIndex) {
  return new TuxRegion(VisibleTab(VisibleIndex)->VisibleRect());
}

void TuxPCCustomPainter::GetThemeTabPartAndState(int, int& Part, int& State) { Part = State = 0; }

void TuxPCCustomPainter::GetFrameRectIndents(TRect& R) { R = TRect{}; }

void TuxPCCustomPainter::GetTabsInterval(TPoint& Interval) { Interval = pcPoint(0, 0); }

void TuxPCCustomPainter::PaintContent() {
  if (!FOwnerControl->HideTabs()) {
    DrawNavigatorButtons();
    DrawTabs();
  }
  DrawFrameAndPageArea();
}

void TuxPCCustomPainter::DrawFrameAndPageArea() {
  if (HasFrame()) DrawFrame();
  FillPageArea();
  Canvas()->ExcludeClipRect(GetClientRect());
}

bool TuxPCCustomPainter::HasFrame() { return FOwnerControl->ShowFrame(); }

void TuxPCCustomPainter::InvalidateTab(int VisibleIndex) { InvalidateBounds(VisibleTab(VisibleIndex)->VisibleRect()); }

void TuxPCCustomPainter::InvalidateRowArea(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  InvalidateBounds(T->DrawnRow < FOwnerControl->NearRowCount() ? FOwnerControl->NearTabArea()
                                                               : FOwnerControl->FarTabArea());
}

void TuxPCCustomPainter::InvalidateBounds(const TRect& R) {
  if (!pcIsEmpty(R)) FOwnerControl->InvalidateRect(R, false);
}

// ---- clip regions ----

void TuxPCCustomPainter::SaveClipRegion() {
  HDC DC = Canvas()->Handle();
  HRGN R = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(DC, R) != 1) {
    DeleteObject(R);
    R = nullptr;
  }
  FClipRegionStack.push_back(R);
}

void TuxPCCustomPainter::RestoreClipRegion() {
  if (FClipRegionStack.empty()) return;
  HRGN R = FClipRegionStack.back();
  FClipRegionStack.pop_back();
  SelectClipRgn(Canvas()->Handle(), R);
  if (R) DeleteObject(R);
}

bool TuxPCCustomPainter::ClipToRect(const TRect& R, bool Intersect) {
  if (pcIsEmpty(R) || (Intersect && !Canvas()->RectVisible(R))) return false;
  SaveClipRegion();
  if (Intersect)
    Canvas()->IntersectClipRect(R);
  else
    Canvas()->SetClipRegion(new TuxRegion(R), rcoCopy);
  return true;
}

// ---- images and text ----

bool TuxPCCustomPainter::HasImages() {
  TCustomImageList* L = FOwnerControl->Images();
  return L && L->Width() > 0;
}

bool TuxPCCustomPainter::TabHasImage(int VisibleIndex) {
  return HasImages() && FOwnerControl->GetImageIndex(VisibleTab(VisibleIndex)->Index()) >= 0;
}

TSize TuxPCCustomPainter::GetImageSize() { return FOwnerControl->ImageList()->GetImageSize(); }

TSize TuxPCCustomPainter::GetRotatedImageSize() { return FOwnerControl->ImageList()->GetRotatedImageSize(); }

bool TuxPCCustomPainter::IsOwnerDrawing() { return FOwnerControl->OwnerDraw() && FOwnerControl->OnDrawTab.Assigned(); }

bool TuxPCCustomPainter::DoCustomDraw(int VisibleIndex) {
  bool DefaultDraw = true;
  if (FOwnerControl->OnDrawTab) FOwnerControl->OnDrawTab(FOwnerControl, VisibleTab(VisibleIndex), DefaultDraw);
  return !DefaultDraw;
}

TColor TuxPCCustomPainter::GetTabTextColor(int VisibleIndex) {
  TuxTab* T = VisibleTab(VisibleIndex);
  if (T->Highlighted()) return clHighlightText;
  if (IsNativePainting()) {
    COLORREF C = 0;
    const int State = T->IsMain() ? 3 : T->IsHot() ? 2 : 1;
    if (GetThemeColor(kxOpenThemeOfKind(tckTab), 1, State, 3803, C) == 0) return TColor(C);
    return FOwnerControl->Font()->Color();
  }
  if (T->IsHot()) return uxPCHotTrackColor();
  return clBtnText;
}

int TuxPCCustomPainter::GetMaxTextHeight() {
  int H = 0;
  TuxCanvas* C = uxScreenCanvas();
  for (int i = 0; i < FOwnerControl->VisibleTabs()->Count(); ++i) {
    FOwnerControl->PrepareTabFont(VisibleTab(i), C);
    H = std::max(H, C->TextHeight("Zg"));
  }
  return H;
}

void TuxPCCustomPainter::GetThemedPaneIndents(TRect& R) {
  R = TRect{};
  HTHEME Theme = kxOpenThemeOfKind(tckTab);
  if (!Theme) return;
  const RECT Bounds{0, 0, 100, 100};
  RECT Content{};
  if (GetThemeBackgroundContentRect(Theme, Canvas()->Handle(), 9, 1, Bounds, Content) != 0) return;
  R = pcRect(Content.left, Content.top, 100 - Content.right, 100 - Content.bottom);
  if (IsThemedFileLunaOrRoyale()) {
    const int M = std::max(R.left, R.top);
    R = pcRect(M, M, 2 * M, 2 * M);
  }
}

// ---- polylines ----

void TuxPCCustomPainter::DrawPolyline(const std::vector<TPoint>& Points, TuxCanvas* ACanvas, TColor Color) {
  if (Points.empty()) return;
  TuxCanvas* C = ACanvas ? ACanvas : Canvas();
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(Color);
  C->Polyline(Points);
  C->SetPixel(Points.back().x, Points.back().y, Color);
}

void TuxPCCustomPainter::RotatePoint(const TRect& R, TPoint& P, int Kind) {
  const int X = P.x, Y = P.y;
  switch (Kind) {
    case 1: P.y = R.bottom - 1 - (Y - R.top); break;
    case 2:
      P.x = R.right - 1 - (R.bottom - 1 - Y);
      P.y = R.bottom - 1 - (X - R.left);
      break;
    case 3:
      P.x = R.left + R.bottom - 1 - Y;
      P.y = R.bottom - 1 - (X - R.left);
      break;
    default: break;
  }
}

void TuxPCCustomPainter::DrawRotatedPolyline(const TRect& R, const std::vector<TPoint>& Points, TColor Color,
                                             int Kind) {
  std::vector<TPoint> P = Points;
  for (TPoint& Q : P) RotatePoint(R, Q, Kind);
  DrawPolyline(P, nullptr, Color);
}

void TuxPCCustomPainter::GetRowBounds(TuxPCLineIndexBoundsArray& Bounds) {
  Bounds.assign(std::size_t(std::max(FOwnerControl->RowCount(), 0)), TuxPCLineIndexBounds());
  int First, Last;
  FOwnerControl->GetShownRange(First, Last);
  for (int i = std::max(First, 0); i <= Last; ++i) {
    const int Row = VisibleTab(i)->DrawnRow;
    if (Row < 0 || Row >= int(Bounds.size())) continue;
    TuxPCLineIndexBounds& B = Bounds[std::size_t(Row)];
    if (B.First == -1) B.First = i;
    B.Last = i;
  }
}

int TuxPCCustomPainter::NavigatorButtonCount(TuxPCNavigatorButtons Buttons) {
  int N = 0;
  for (TuxPCNavigatorButton B : {nbTopLeft, nbBottomRight, nbGoDialog, nbClose})
    if (Buttons.Contains(B)) ++N;
  return N;
}

void TuxPCCustomPainter::PrepareOffscreenBitmap(TuxTab* Tab) {
  if (!Tab->OffscreenBitmap) Tab->OffscreenBitmap = std::make_unique<TBitmap>();
  Tab->OffscreenBitmap->SetPixelFormat(pf32bit);
}

// ---- the content of a tab ----

void TuxPCCustomPainter::CalculateTabContentRects(int VisibleIndex, TuxTab* Tab, TRect& ImageRect, TRect& TextRect,
                                                  AnsiString& Text) {
  ImageRect = TextRect = TRect{};
  Text.clear();
  const bool Native = IsNativePainting();
  const int Direction = Native ? 0 : FOwnerControl->TextDirection();
  const bool VerticalText = FOwnerControl->IsVerticalText();
  const TRect Full = Tab->FullRect();
  const int AlongExtent = VerticalText ? Full.Height() : Full.Width();
  const int AcrossExtent = VerticalText ? Full.Width() : Full.Height();
  const TRect Frame = Native ? pcRect(0, 0, AlongExtent, AcrossExtent) : Full;
  const bool Buttons = TabsActAsButtons();
  const bool DrawnAsMain = IsTabDrawnAsMain(VisibleIndex);
  const bool HasImage = TabHasImage(VisibleIndex);
  const bool Rotate = FOwnerControl->Rotate();
  const int Kind = Tab->DrawKind();
  const int ImageBorder = FOwnerControl->ImageBorder();

  // Across the row: indents adjusted for the style, then centring.
  auto AdjustAcross = [&](TRect& I) {
    if (Buttons) {
      if (Direction == 2 ? !DrawnAsMain : DrawnAsMain) {
        I.top += 1;
        I.bottom -= 1;
      }
    } else if (Rotate) {
      I.top = I.bottom = 0;
    }
    if (MovesMainRowToPage() && (Kind == 5 || Kind == 7 || Kind == 10)) std::swap(I.top, I.bottom);
  };
  auto Centre = [&](const TRect& I, int Size) { return I.top + (AcrossExtent - I.top - I.bottom - Size) / 2; };
  // Along the row: the pair adjusted as every style needs.
  auto AdjustAlong = [&](TuxPCPair& P) {
    if (Native && (Kind == 2 || Kind == 9 || Kind == 12)) std::swap(P.First, P.Second);
    if (Buttons && DrawnAsMain) {
      if (Direction == 1) {
        P.First -= 1;
        P.Second += 1;
      } else {
        P.First += 1;
        P.Second -= 1;
      }
    }
  };

  const TSize Rotated = GetRotatedImageSize();
  const TSize Plain = GetImageSize();
  const int ImageAcross = Direction == 0 ? Rotated.cy : Rotated.cx;
  int ImageAcrossPos = 0;
  if (HasImage) {
    TRect I;
    GetTabContentIndents(VisibleIndex, I);
    AdjustAcross(I);
    ImageAcrossPos = Centre(I, ImageAcross);
  }

  if (Tab->Caption().empty()) {
    if (!HasImage) return;
    TuxPCPair P;
    GetTabSizeExtra(VisibleIndex, P);
    AdjustAlong(P);
    const int Along = P.First + (AlongExtent - P.First - P.Second - Plain.cx) / 2;
    ImageRect = FromTextFrame(Frame, Direction, Along, Plain.cx, ImageAcrossPos, ImageAcross);
    return;
  }

  HDC DC = Canvas()->Handle();
  const int TextHeight = Canvas()->TextHeight("Zg");
  TRect FI;
  GetTabFrameIndents(VisibleIndex, FI);
  AdjustAcross(FI);
  const int TextAcrossPos = Centre(FI, TextHeight);

  TuxPCPair P;
  GetTextIndents(VisibleIndex, P);
  AdjustAlong(P);
  if (Buttons && HasImages() && Direction == 1) {
    P.First += 1;
    P.Second -= 1;
  }
  int Available = AlongExtent - P.First - P.Second;
  const bool ImageColumn = HasImage || (HasImages() && Rotate);
  const int ImagePart = ImageColumn ? Plain.cx + GetImageTextDistance(VisibleIndex) + 2 * ImageBorder : 0;
  if (CaptionWidth(DC, Tab->Caption()) > Available - ImagePart) {
    GetTruncatedTextIndents(VisibleIndex, P);
    AdjustAlong(P);
    if (Buttons && HasImages() && Direction == 1) {
      P.First += 1;
      P.Second -= 1;
    }
    Available = AlongExtent - P.First - P.Second;
  }
  bool Shortened = false;
  Text = FitWithEllipsis(DC, Tab->Caption(), Available - ImagePart, Shortened);
  int TextWidth = Text.empty() || Text == "&..." ? 0 : CaptionWidth(DC, Text);
  if (TextWidth == 0) Text.clear();
  const int ContentLength = ImagePart + TextWidth;
  if (ContentLength <= 0) {
    Text.clear();
    return;
  }
  const bool RotatedColumn = HasImages() && Rotate;
  int Pos = P.First;
  if (!Shortened && !RotatedColumn) Pos += (Available - ContentLength) / 2;
  if (HasImage)
    ImageRect = FromTextFrame(Frame, Direction, Pos + ImageBorder, Plain.cx, ImageAcrossPos, ImageAcross);
  Pos += ImagePart;
  if (!Shortened && RotatedColumn) Pos += (AlongExtent - P.Second - Pos - TextWidth) / 2;
  if (TextWidth > 0) TextRect = FromTextFrame(Frame, Direction, Pos, TextWidth, TextAcrossPos, TextHeight);
}

void TuxPCCustomPainter::DrawCaptionInto(TBitmap* Bitmap, const TRect& R, const TPoint& P, int VisibleIndex,
                                         TuxTab* Tab, const AnsiString& Text, bool Native) {
  if (!Native) Bitmap->SetSize(R.Width(), R.Height());
  TCanvas* BC = Bitmap->Canvas();
  if (!Native) {
    BC->SetFont(Canvas()->Font());
    BC->SetPen(Canvas()->Pen());
    BC->SetBrush(Canvas()->Brush());
    BC->Brush()->SetStyle(bsSolid);
    BC->Brush()->SetColor(GetTabColor(VisibleIndex));
    BC->FillRect(pcRect(0, 0, R.Width(), R.Height()));
    PrepareTabBitmapBackground(Bitmap, P, VisibleIndex);
  } else {
    BC->SetFont(Canvas()->Font());
  }
  BC->Brush()->SetStyle(bsClear);
  HDC DC = BC->Handle();
  const UINT Flags = DT_SINGLELINE | DT_LEFT | DT_TOP | DT_END_ELLIPSIS;
  const TColor TextColor = Canvas()->Font()->Color();
  const bool Enabled = Tab->IsEnabled();
  if (Native && Enabled) {
    int Part = 0, State = 0;
    GetThemeTabPartAndState(VisibleIndex, Part, State);
    DrawThemeText(kxOpenThemeOfKind(tckTab), DC, Part, State, Text, int(Text.size()), Flags, 0, R);
    return;
  }
  SetBkMode(DC, TRANSPARENT);
  if (!Enabled) {
    RECT Shadow = pcOffset(R, 1, 1);
    SetTextColor(DC, ColorToRGB(clBtnHighlight));
    ::DrawTextA(DC, Text.c_str(), int(Text.size()), &Shadow, Flags);
    SetTextColor(DC, ColorToRGB(clBtnShadow));
  } else {
    SetTextColor(DC, ColorToRGB(TextColor));
  }
  RECT Place = R;
  ::DrawTextA(DC, Text.c_str(), int(Text.size()), &Place, Flags);
}

void TuxPCCustomPainter::DrawCaption(int VisibleIndex, TuxTab* Tab, const TRect& TextRect, const AnsiString& Text) {
  const bool Native = IsNativePainting();
  const int Direction = FOwnerControl->TextDirection();
  const TPoint P = pcPoint(TextRect.left, TextRect.top);
  if (Native) {
    if (Tab->OffscreenBitmap) DrawCaptionInto(Tab->OffscreenBitmap.get(), TextRect, P, VisibleIndex, Tab, Text, true);
    return;
  }
  if (Direction != 0) {
    if (!Tab->RotatedCaptionBitmap) {
      auto B = std::make_unique<TBitmap>();
      B->SetPixelFormat(pf32bit);
      DrawCaptionInto(B.get(), pcRect(0, 0, TextRect.Height(), TextRect.Width()), P, VisibleIndex, Tab, Text, false);
      uxRotateBitmap(B.get(), Direction == 1 ? uxtrCounterClockwise : uxtrClockwise);
      Tab->RotatedCaptionBitmap = std::move(B);
    }
    TBitmap* B = Tab->RotatedCaptionBitmap.get();
    Canvas()->CopyRect(TextRect, B->Canvas(), pcRect(0, 0, B->Width(), B->Height()));
    return;
  }
  TBitmap B;
  B.SetPixelFormat(pf32bit);
  DrawCaptionInto(&B, pcRect(0, 0, TextRect.Width(), TextRect.Height()), P, VisibleIndex, Tab, Text, false);
  Canvas()->CopyRect(TextRect, B.Canvas(), pcRect(0, 0, B.Width(), B.Height()));
}

void TuxPCCustomPainter::DrawTabContent(int VisibleIndex) {
  FTabContentData.VisibleIndex = VisibleIndex;
  TuxTab* Tab = VisibleTab(VisibleIndex);
  FOwnerControl->PrepareTabFont(Tab, Canvas());
  TRect ImageRect, TextRect;
  AnsiString Text;
  CalculateTabContentRects(VisibleIndex, Tab, ImageRect, TextRect, Text);
  SetTabContentRects(VisibleIndex, ImageRect, TextRect);
  ImageRect = FTabContentData.ImageBounds;
  TextRect = FTabContentData.CaptionBounds;
  const bool Native = IsNativePainting();
  const int Image = FOwnerControl->GetImageIndex(Tab->Index());
  if (Image != -1 && !pcIsEmpty(ImageRect)) {
    TCanvas* Target = Native && Tab->OffscreenBitmap ? Tab->OffscreenBitmap->Canvas() : Canvas()->Canvas();
    FOwnerControl->ImageList()->Draw(Target, ImageRect.left, ImageRect.top, Image, GetTabColor(VisibleIndex),
                                     Tab->IsEnabled());
  }
  if (!Text.empty() && !pcIsEmpty(TextRect)) DrawCaption(VisibleIndex, Tab, TextRect, Text);
  if (!Native) {
    auto* Content = new TuxRegion(ImageRect);
    Content->Combine(new TuxRegion(TextRect), rcoUnion, true);
    Content->Combine(GetTabClipRegion(VisibleIndex), rcoIntersect, true);
    Canvas()->SetClipRegion(Content, rcoDifference);
  }
}

// ---------------------------------------------------------------------------
// the factory

TuxPCPaintersFactory* PaintersFactory() { return gFactory; }

void RegisterPainterClass(TuxPCPainterClass PainterClass) {
  if (!PainterClass) return;
  if (!gFactory) gFactory = new TuxPCPaintersFactory;
  auto& L = gFactory->FRegisteredClasses;
  if (std::find(L.begin(), L.end(), PainterClass) == L.end()) L.push_back(PainterClass);
}

void UnregisterPainterClass(TuxPCPainterClass PainterClass) {
  if (!gFactory) return;
  auto& L = gFactory->FRegisteredClasses;
  L.erase(std::remove(L.begin(), L.end(), PainterClass), L.end());
  if (L.empty()) FreePaintersFactory();
}

void FreePaintersFactory() {
  delete gFactory;
  gFactory = nullptr;
}

TuxPCPainterClass TuxPCPaintersFactory::GetPainterClass(TuxPCStyleID StyleID) const {
  for (TuxPCPainterClass C : FRegisteredClasses)
    if (C->GetStyleID() == StyleID) return C;
  return nullptr;
}

TuxPCCustomPainter* TuxPCPaintersFactory::GetPainterInstance(TuxPCPainterClass PainterClass,
                                                             TuxCustomTabControl* Control) const {
  if (!PainterClass) throw EuxPCError("TuxPCPaintersFactory.GetPainterInstance: PCPainterClass is nil");
  return PainterClass->NewInstance(Control);
}

TuxPCStyleID TuxPCPaintersFactory::GetDefaultStyleIDByLookAndFeel(TuxLookAndFeel* LookAndFeel) const {
  for (auto It = FRegisteredClasses.rbegin(); It != FRegisteredClasses.rend(); ++It)
    if ((*It)->IsDefaultForLookAndFeel(LookAndFeel)) return (*It)->GetStyleID();
  return -1;
}

TuxPCStyleID TuxPCPaintersFactory::GetDefaultStyleID(TuxLookAndFeel* LookAndFeel) const {
  if (FRegisteredClasses.empty())
    throw EuxPCError("TuxPCPaintersFactory.GetDefaultStyleID: There are no styles registered");
  for (auto It = FRegisteredClasses.rbegin(); It != FRegisteredClasses.rend(); ++It)
    if ((*It)->IsFallbackForLookAndFeel(LookAndFeel)) return (*It)->GetStyleID();
  return FRegisteredClasses.front()->GetStyleID();
}
