// A scroll bar drawn by the look-and-feel painters: its own arrow, thumb and
// track rectangles, hit testing, thumb dragging and repeated arrow and page
// presses. TuxControlScrollBar is the internal bar of a TuxControl and
// TuxSizeGrip fills the corner between its two bars.
#pragma once
#include <memory>

#include "framework/uxcontrols.h"
#include "framework/uxtimers.h"
#include "platform/controls/graphics.h"

class TkxThemeChangedNotificator;

using TuxScrollEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// Registers TuxScrollBar and its published settings; part of the ordered
// start-up.
void uxInitScrollBars();

class TuxScrollBar : public TCustomControl {
  PV_CLASS(TuxScrollBar, TCustomControl)
 public:
  explicit TuxScrollBar(TComponent* AOwner);
  ~TuxScrollBar() override;

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value) { SetScrollParams(Value, FMax, FPosition, FPageSize, true); }
  int Max() const { return FMax; }
  void SetMax(int Value) { SetScrollParams(FMin, Value, FPosition, FPageSize, true); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value) { SetScrollParams(FMin, FMax, FPosition, Value, true); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { SetScrollParams(FMin, FMax, Value, FPageSize, true); }
  SmallInt SmallChange() const { return FSmallChange; }
  void SetSmallChange(SmallInt Value) { FSmallChange = Value; }
  SmallInt LargeChange() const { return FLargeChange; }
  void SetLargeChange(SmallInt Value) { FLargeChange = Value; }
  bool UnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }
  TuxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TuxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

  // Raises EInvalidOperation when Max is below Min or below PageSize.
  void SetScrollParams(int AMin, int AMax, int APosition, int APageSize, bool Redraw = true);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TSize GetScrollBarSize();
  TuxLookAndFeelPainterClass Painter() const;

  // One scroll step with a scroll code, as a press or a scroll message does.
  void DoScroll(TScrollCode Code);
  TuxScrollBarHitPart HitTest(const TPoint& P);

  // The parts' rectangles and the press state (for descendants and tests).
  TRect LineUpRect() const { return FLineUpRect; }
  TRect LineDownRect() const { return FLineDownRect; }
  TRect ThumbRect() const { return FThumbRect; }
  TRect PageUpRect() const { return FPageUpRect; }
  TRect PageDownRect() const { return FPageDownRect; }
  TuxScrollBarHitPart State() const { return FState; }
  TuxScrollBarHitPart HotPart() const { return FHotPart; }
  int ThumbnailSize() const { return FThumbnailSize; }
  TuxTimer* RepeatTimer() const { return FTimer; }

  TNotifyEvent OnChange;
  TuxScrollEvent OnScroll;

 protected:
  virtual void Change();
  virtual void Scroll(TScrollCode Code, int& ScrollPos);
  virtual void FocusParentHook() {}

  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  void CalculateRects();
  void CalculateThumb();
  void CalculateThumbSize();
  int PositionFromThumb();
  void CancelState();
  void RepeatTimerTick(TObject* Sender);
  TuxButtonState PartState(TuxScrollBarHitPart Part);
  void LookAndFeelChanged(TuxLookAndFeel* Sender, TuxLookAndFeelValues Changed);
  void ThemeChanged();

 private:
  void CNScroll(TMessage& M);
  void CNCtlColorScrollBar(TMessage& M);
  void CMSysColorChange(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMVisibleChanged(TMessage& M);
  void WMCancelMode(TMessage& M);
  void WMEraseBkgnd(TMessage& M);
  void CMMouseEnter(TMessage& M);
  void CMMouseLeave(TMessage& M);
  void ScrollByPart(TuxScrollBarHitPart Part);
  TRect TrackingArea();
  // The track between the arrows, as offsets along the bar.
  void TrackBounds(int& First, int& Second) const;
  // The thumb at Start for Length pixels, with both track rectangles beside it.
  void PlaceThumb(int Start, int Length);

  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0, FMax = 100, FPageSize = 0, FPosition = 0;
  SmallInt FSmallChange = 1, FLargeChange = 1;
  bool FUnlimitedTracking = false;
  std::unique_ptr<TuxLookAndFeel> FLookAndFeel;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TuxCanvas> FBitmapCanvas;
  TRect FLineUpRect{}, FLineDownRect{}, FThumbRect{}, FPageUpRect{}, FPageDownRect{};
  TuxScrollBarHitPart FState = shpNone, FHotPart = shpNone;
  TPoint FSavePoint{};
  int FSavePosition = 0;
  TPoint FSaveThumbPos{};
  int FThumbnailSize = 8;
  TuxTimer* FTimer = nullptr;
  std::unique_ptr<TkxThemeChangedNotificator> FThemeNotificator;
  bool FFirstTick = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_HSCROLL, TMessage, CNScroll)
    PV_MESSAGE_HANDLER(CN_VSCROLL, TMessage, CNScroll)
    PV_MESSAGE_HANDLER(CN_CTLCOLORSCROLLBAR, TMessage, CNCtlColorScrollBar)
    PV_MESSAGE_HANDLER(CM_SYSCOLORCHANGE, TMessage, CMSysColorChange)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged)
    PV_MESSAGE_HANDLER(CM_VISIBLECHANGED, TMessage, CMVisibleChanged)
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(CM_MOUSEENTER, TMessage, CMMouseEnter)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
  END_MESSAGE_MAP(TCustomControl)
};

// The values a TuxControl last reported for one of its bars.
struct TuxScrollBarData {
  int Min = 0, Max = 0, Position = 0, PageSize = 0;
  SmallInt SmallChange = 1, LargeChange = 1;
  bool Enabled = true, Visible = false, AllowShow = true, AllowHide = true;
};

class TuxControlScrollBar : public TuxScrollBar {
  PV_CLASS(TuxControlScrollBar, TuxScrollBar)
 public:
  explicit TuxControlScrollBar(TComponent* AOwner);
  TuxScrollBarData Data;
  void ApplyData();
  virtual void FocusParent();

 protected:
  void FocusParentHook() override { FocusParent(); }
  void Scroll(TScrollCode Code, int& ScrollPos) override;
  void WndProc(TMessage& Message) override;
};

class TuxSizeGrip : public TCustomControl {
  PV_CLASS(TuxSizeGrip, TCustomControl)
 public:
  explicit TuxSizeGrip(TComponent* AOwner);

 protected:
  void Paint() override;
};
