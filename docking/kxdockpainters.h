// Painters of the dock controls: metrics (border, caption, buttons, tabs,
// hide bars) and the drawing of every non-client part, in four view styles.
// TkxDockControlPainter is the standard style; the .NET, Office 2003 and XP
// styles derive from it.
#pragma once

#include "docking/kxdocktypes.h"
#include "platform/controls/graphics.h"
#include "platform/controls/imglist.h"

class TkxDockControlPainter;

// The class-level side of a painter class: creation and the operations that
// act without an instance.
struct TkxDockControlPainterClassInfo {
  const char* Name;
  TkxDockControlPainter* (*Create)(TkxCustomDockControl* AControl);
  void (*InitManagerColor)(TkxDockingManager* AManager);
  void (*InitManagerFont)(TkxDockingManager* AManager);
  void (*CreateColors)();
  void (*RefreshColors)();
  void (*ReleaseColors)();
};
using TkxDockControlPainterClass = const TkxDockControlPainterClassInfo*;

// Sides of DrawColorEdge.
constexpr int kxSideLeft = 1, kxSideTop = 2, kxSideRight = 4, kxSideBottom = 8, kxSideLeftTop = 16,
              kxSideRightBottom = 32, kxSideAll = 64;

class TkxDockControlPainter : public TObject {
  PV_CLASS(TkxDockControlPainter, TObject)
 public:
  explicit TkxDockControlPainter(TkxCustomDockControl* ADockControl) : FPaintedControl(ADockControl) {}
  static TkxDockControlPainterClass Class();
  TkxCustomDockControl* PaintedControl() const { return FPaintedControl; }

  // ---- colours and fonts ----
  virtual TColor DefaultColor();
  virtual TFont* DefaultFont();
  virtual TColor BorderColor() { return DefaultColor(); }
  virtual TColor CaptionColor(bool IsActive) { return DefaultColor(); }
  virtual TFont* CaptionFont(bool IsActive) { return DefaultFont(); }
  virtual TColor CaptionFontColor(bool IsActive) { return CaptionFont(IsActive)->Color(); }
  virtual TColor CaptionSignColor(bool IsActive, bool IsDown, bool IsHot) { return CaptionFontColor(IsActive); }
  virtual TColor TabsColor() { return DefaultColor(); }
  virtual TColor TabColor(bool IsActive) { return DefaultColor(); }
  virtual TFont* TabFont(bool IsActive) { return DefaultFont(); }
  virtual TColor TabFontColor(bool IsActive) { return TabFont(IsActive)->Color(); }
  virtual TColor TabsScrollButtonsColor() { return DefaultColor(); }
  virtual TColor TabsScrollButtonsSignColor(bool Enabled);
  virtual TColor HideBarColor() { return DefaultColor(); }
  virtual TColor HideBarButtonColor() { return DefaultColor(); }
  virtual TFont* HideBarButtonFont() { return DefaultFont(); }
  virtual TColor HideBarButtonFontColor() { return HideBarButtonFont()->Color(); }

  // ---- metrics ----
  virtual bool CanVerticalCaption() { return true; }
  virtual int BorderWidth() { return 2; }
  virtual int CaptionButtonSize() { return 12; }
  virtual int CaptionHeight() { return 16; }
  virtual int CaptionSpacing() { return 2; }
  virtual int ReservedCaptionMetric() { return 2; }
  virtual int TabVertOffset() { return 2; }
  virtual int TabHorizOffset() { return 4; }
  virtual int TabsScrollButtonSize() { return 16; }
  virtual int TabsHeight();
  virtual int HideBarHeight();
  virtual int HideBarWidth();
  virtual int HideBarButtonIndent() { return 2; }
  virtual int HideBarButtonSpacing() { return 4; }

  // ---- drawing ----
  virtual void DrawBorder(TCanvas* ACanvas, TRect R);
  virtual void DrawCaption(TCanvas* ACanvas, TRect R, bool IsActive);
  virtual void DrawCaptionSeparator(TCanvas* ACanvas, TRect R);
  virtual void DrawCaptionText(TCanvas* ACanvas, TRect R, bool IsActive);
  virtual void DrawCaptionButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot);
  virtual void DrawCaptionCloseButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                      bool IsSwitched);
  virtual void DrawCaptionHideButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                     bool AutoHide);
  virtual void DrawCaptionMaximizeButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                         bool Maximized);
  virtual void DrawClient(TCanvas* ACanvas, TRect R);
  virtual void DrawTabs(TCanvas* ACanvas, TRect R, TRect ActiveTabRect, TkxTabContainerTabsPosition Position);
  virtual void DrawTab(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R, bool IsActive,
                       TkxTabContainerTabsPosition Position);
  virtual void DrawTabContent(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R, bool IsActive,
                              TkxTabContainerTabsPosition Position);
  virtual void DrawTabsNextButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                  TkxTabContainerTabsPosition Position);
  virtual void DrawTabsPrevButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                  TkxTabContainerTabsPosition Position);
  virtual void DrawTabsScrollButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                    TkxTabContainerTabsPosition Position);
  virtual void DrawHideBar(TCanvas* ACanvas, TRect R, TkxAutoHidePosition Position);
  virtual void DrawHideBarButton(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R,
                                 TkxAutoHidePosition Position);
  virtual void DrawHideBarButtonContent(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R,
                                        TkxAutoHidePosition Position);
  virtual void DrawHideBarButtonImage(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R);
  virtual void DrawHideBarButtonText(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R,
                                     TkxAutoHidePosition Position);

  // ---- images of the manager's list ----
  int GetImageHeight();
  int GetImageWidth();
  int GetDefaultImageHeight();
  int GetDefaultImageWidth();
  bool IsValidImageIndex(int Index);

  // ---- class helpers ----
  static TColor LightColor(TColor C);
  static TColor LightLightColor(TColor C);
  static TColor DarkColor(TColor C);
  static TColor DarkDarkColor(TColor C);
  static void DrawColorEdge(TCanvas* ACanvas, TRect R, TColor Color, int EdgeKind, int Sides);
  static void DrawImage(TCanvas* ACanvas, TCustomImageList* Images, TRect R, int Index);
  static bool RectInRect(const TRect& Inner, const TRect& Outer);
  // 1 a quarter turn counter-clockwise, 2 clockwise, 3 a half turn.
  static void RotateBitmap(TBitmap* Bitmap, int Direction);

 protected:
  // Draws the caption text of AControl in R with the single-line, centred,
  // ellipsis flags, in Font and Color on a clear background.
  static void DrawCaptionLine(TCanvas* ACanvas, const AnsiString& Text, TRect R, TFont* Font, TColor Color);
  // The same for the narrow cells of hide-bar tabs: an overlong caption keeps
  // the characters that fit before a compact ellipsis of three one-pixel dots,
  // where the font's own "..." would leave nothing of it.
  static void DrawFittedCaptionLine(TCanvas* ACanvas, const AnsiString& Text, TRect R, TFont* Font, TColor Color);
  // The maximize button's triangle of the standard style.
  void DrawMaximizeTriangle(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot, bool Maximized);
  TkxDockControlPainter* Self() { return this; }
  TkxCustomDockControl* FPaintedControl;
};

// Channel-wise colour mixes of the standard style (rounded, halves to even).
TColor kxDockScaleColor(TColor C, int P);
TColor kxDockFadeColor(TColor C, int P);

class TkxDockControlNETPainter : public TkxDockControlPainter {
  PV_CLASS(TkxDockControlNETPainter, TkxDockControlPainter)
 public:
  using TkxDockControlPainter::TkxDockControlPainter;
  static TkxDockControlPainterClass Class();
  virtual TColor LightDefaultColor();
  TColor CaptionColor(bool IsActive) override;
  TColor CaptionFontColor(bool IsActive) override;
  TColor TabsColor() override { return LightDefaultColor(); }
  TColor TabColor(bool IsActive) override { return IsActive ? DefaultColor() : LightDefaultColor(); }
  TColor TabFontColor(bool IsActive) override;
  TColor TabsScrollButtonsSignColor(bool Enabled) override { return DarkColor(DefaultColor()); }
  TColor HideBarColor() override { return LightDefaultColor(); }
  bool CanVerticalCaption() override { return false; }
  int CaptionHeight() override;
  int ReservedCaptionMetric() override { return 4; }
  int TabVertOffset() override { return 1; }
  int TabsHeight() override;
  int HideBarHeight() override;
  int HideBarWidth() override;
  void DrawBorder(TCanvas* ACanvas, TRect R) override;
  void DrawCaption(TCanvas* ACanvas, TRect R, bool IsActive) override;
  void DrawCaptionText(TCanvas* ACanvas, TRect R, bool IsActive) override;
  void DrawCaptionButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot) override;
  void DrawCaptionCloseButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                              bool IsSwitched) override;
  void DrawCaptionHideButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                             bool AutoHide) override;
  void DrawCaptionMaximizeButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                 bool Maximized) override;
  void DrawTabs(TCanvas* ACanvas, TRect R, TRect ActiveTabRect, TkxTabContainerTabsPosition Position) override;
  void DrawTab(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R, bool IsActive,
               TkxTabContainerTabsPosition Position) override;
  void DrawTabsScrollButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                            TkxTabContainerTabsPosition Position) override;
  void DrawTabsNextButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                          TkxTabContainerTabsPosition Position) override;
  void DrawTabsPrevButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                          TkxTabContainerTabsPosition Position) override;
  void DrawHideBar(TCanvas* ACanvas, TRect R, TkxAutoHidePosition Position) override;
  void DrawHideBarButton(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R,
                         TkxAutoHidePosition Position) override;
};

class TkxDockControlOfficePainter : public TkxDockControlNETPainter {
  PV_CLASS(TkxDockControlOfficePainter, TkxDockControlNETPainter)
 public:
  using TkxDockControlNETPainter::TkxDockControlNETPainter;
  static TkxDockControlPainterClass Class();
  TColor BorderColor() override;
  TColor CaptionColor(bool IsActive) override;
  TColor CaptionFontColor(bool IsActive) override;
  TColor CaptionSignColor(bool IsActive, bool IsDown, bool IsHot) override;
  TColor TabFontColor(bool IsActive) override;
  TColor TabsScrollButtonsColor() override;
  TColor TabsScrollButtonsSignColor(bool Enabled) override;
  void DrawBorder(TCanvas* ACanvas, TRect R) override;
  void DrawCaptionButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot) override;
  void DrawCaptionMaximizeButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                 bool Maximized) override;
  void DrawClient(TCanvas* ACanvas, TRect R) override;
  void DrawTabs(TCanvas* ACanvas, TRect R, TRect ActiveTabRect, TkxTabContainerTabsPosition Position) override;
  void DrawTab(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R, bool IsActive,
               TkxTabContainerTabsPosition Position) override;
  void DrawHideBar(TCanvas* ACanvas, TRect R, TkxAutoHidePosition Position) override;
  void DrawHideBarButton(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R,
                         TkxAutoHidePosition Position) override;
};

// Draws through the visual styles; each operation falls back to the standard
// drawing when its visual-style class is not available (always here).
class TkxDockControlXPPainter : public TkxDockControlPainter {
  PV_CLASS(TkxDockControlXPPainter, TkxDockControlPainter)
 public:
  using TkxDockControlPainter::TkxDockControlPainter;
  static TkxDockControlPainterClass Class();
  bool CanVerticalCaption() override;
  int CaptionButtonSize() override;
  int CaptionHeight() override;
  void DrawBorder(TCanvas* ACanvas, TRect R) override;
  void DrawCaption(TCanvas* ACanvas, TRect R, bool IsActive) override;
  void DrawCaptionSeparator(TCanvas* ACanvas, TRect R) override;
  void DrawCaptionText(TCanvas* ACanvas, TRect R, bool IsActive) override;
  void DrawCaptionCloseButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                              bool IsSwitched) override;
  void DrawCaptionHideButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                             bool AutoHide) override;
  void DrawCaptionMaximizeButton(TCanvas* ACanvas, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                 bool Maximized) override;
  void DrawClient(TCanvas* ACanvas, TRect R) override;
  void DrawTabs(TCanvas* ACanvas, TRect R, TRect ActiveTabRect, TkxTabContainerTabsPosition Position) override;
  void DrawTab(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R, bool IsActive,
               TkxTabContainerTabsPosition Position) override;
  void DrawTabsNextButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                          TkxTabContainerTabsPosition Position) override;
  void DrawTabsPrevButton(TCanvas* ACanvas, TRect R, bool IsDown, bool IsHot, bool Enabled,
                          TkxTabContainerTabsPosition Position) override;
  void DrawHideBar(TCanvas* ACanvas, TRect R, TkxAutoHidePosition Position) override;
  void DrawHideBarButton(TCanvas* ACanvas, TkxCustomDockControl* AControl, TRect R,
                         TkxAutoHidePosition Position) override;

 private:
  // The visual-style handle of a class kind (the framework's TkxThemeClassKind),
  // 0 when it is not available.
  static std::uintptr_t Theme(int Kind);
  bool TabAvailable();
};
