// Office 2003 colour scheme: one process-wide colour table, its brushes and
// bitmaps, and the colour arithmetic and gradients the Office 2003 painters share.
//
// Under the "Luna" visual style in one of its three colour schemes the colours
// come from a fixed table per scheme; otherwise (always, while the platform
// reports no visual styles) they are mixed from the system colours.
#pragma once

#include "platform/controls/graphics.h"
#include "platform/gdi/gdi.h"

enum TkxOffice11Scheme { osNone, osBlue, osOlive, osSilver };

extern TColor Office11DockColor1, Office11DockColor2, Office11BarColor1, Office11BarColor2;
extern TColor Office11MarkLightColors[3], Office11MarkDarkColors[3];
extern TColor Office11MarkLightBlendColors[3], Office11MarkDarkBlendColors[3];
extern TColor Office11BarBorderColor, Office11BarCornerColor, Office11GripDarkColor,
    Office11GripLightColor, Office11SeparatorDarkColor, Office11SeparatorLightColor,
    Office11MarkArrowColor, Office11MarkArrowShadowColor, Office11FloatingFrameOuterColor,
    Office11FloatingFrameInnerColor, Office11CaptionTextColor, Office11CaptionMarkHotColor,
    Office11CaptionMarkPressedColor, Office11FrameColor, Office11MenuColor, Office11DownColor,
    Office11SelectedBorderColor, Office11HotGradientColor1, Office11HotGradientColor2,
    Office11DownGradientColor1, Office11DownGradientColor2, Office11BarFaceColor, Office11HotColor,
    Office11HotDownColor, Office11DetachStripColor, Office11TextColor, Office11DisabledTextColor,
    Office11DefaultColor13, Office11DefaultColor27, Office11DefaultColor31, Office11DefaultColor32,
    Office11GroupRowColor, Office11GroupRowTextColor, Office11GroupRowLineColor;
extern TColor Office11FloatingCaptionFillColor, Office11FloatingCaptionColor,
    Office11OpenDropDownColor1, Office11OpenDropDownColor2, Office11MenuSideStripColor1,
    Office11MenuSideStripColor2, Office11MenuNonRecentSideStripColor1,
    Office11MenuNonRecentSideStripColor2, Office11CalendarHeaderColor, Office11SubItemColor,
    Office11SelectedCaptionTextColor, Office11ContainerBorderColor;
extern int Office11TubePercent;
// The entries the dock controls draw with (side bars, frames, captions, tabs and
// the buttons of hide bars and captions).
extern TColor Office11HideBarColor1, Office11HideBarColor2, Office11DockBackColor1, Office11DockBackColor2,
    Office11DockBorderColor1, Office11DockBorderColor2, Office11ActiveCaptionTextColor,
    Office11InactiveCaptionTextColor, Office11TabFrameColor, Office11TabSeparatorDarkColor,
    Office11TabSeparatorLightColor, Office11HotButtonColor1, Office11HotButtonColor2,
    Office11PressedButtonColor1, Office11PressedButtonColor2, Office11HideBarButtonColor1,
    Office11HideBarButtonColor2, Office11ButtonTextColor, Office11GrayTextColor;

extern HBRUSH Office11GripDarkBrush, Office11GripLightBrush, Office11SeparatorDarkBrush,
    Office11SeparatorLightBrush, Office11FrameBrush, Office11MenuBrush, Office11SelectedBorderBrush,
    Office11BarFaceBrush, Office11HotBrush, Office11HotDownBrush, Office11DetachStripBrush,
    Office11DownBrush, Office11SubItemBrush, Office11OwnerBandBrush, Office11DetachStripHotBrush,
    Office11StaticBorderBrush;

extern TBitmap* Office11SubMenuExpandBitmap;
extern TBitmap* Office11ExpandButtonMinusBitmap;
extern TBitmap* Office11ExpandButtonPlusBitmap;
constexpr TColor Office11ExpandButtonLightColor = 0xBFAE9E;  // RGB(158,174,191)
constexpr TColor Office11ExpandButtonDarkColor = 0x5F462E;   // RGB(46,70,95)

TkxOffice11Scheme GetOffice11Scheme();
bool IsOffice11SchemeActive();
void AcquireOffice11Colors();
void RebuildOffice11Colors();
// Recomputes the table (and its brushes while they exist): the dock painters' name for it.
inline void RefreshOffice11Colors() { RebuildOffice11Colors(); }
void ReleaseOffice11ColorsRef();
int Office11ColorsRefCount();

// A bitmap of the program's resources (the caller owns it), or none when it is
// missing or cannot be read.
TBitmap* uxLoadResourceBitmap(const char* Name);
TColor MixColorsByPercent(TColor Color1, TColor Color2, int Percent);
TColor BlendSystemColors(int BtnFacePercent, int HighlightPercent, int WindowPercent);
TColor ScaleColor(TColor Color, int Percent);
bool IsBlackFaceScheme();
bool IsWhiteFaceScheme();
bool IsBlackFaceNonWhiteTextScheme();
void FillRectWithColor(HDC DC, const RECT& R, TColor Color);
void FrameRectWithColor(HDC DC, const RECT& R, TColor Color);
void FillGradientRect(HDC DC, const RECT& R, TColor Color1, TColor Color2, bool Horizontal);
TColor GradientColorAt(const RECT& R, int X, TColor Color1, TColor Color2, bool Horizontal);
void FillTubeGradientRect(HDC DC, const RECT& R, TColor Color1, TColor Color2, bool Horizontal);
void FrameRectByOffice11Border(HDC DC, const RECT& R);
void DrawOffice11GripDots(HDC DC, const RECT& R, bool Vertical);
void DrawOffice11MarkTriangle(HDC DC, const RECT& R, bool Horizontal, bool Enabled, bool Selected);
void DrawOffice11Triangle(HDC DC, const RECT& R, bool Horizontal, int Size, bool Selected, bool Enabled);
