// The base of the drop-down windows: a borderless stay-on-top form placed
// beside an anchor rectangle of another control, flipped to the other side
// when the work area has no room, sized around its children, framed, and
// closed when it loses activation.
#pragma once
#include <memory>

#include "framework/uxgraphics.h"
#include "platform/controls/forms.h"

enum TuxPopupDirection { pdrHorizontal, pdrVertical };
enum TuxPopupAlignment { palNear, palCenter, palFar };
enum TuxPopupBorderStyle { pwbNone, pwbSingle, pwbFlat, pwb3D };

// Where a pop-up of Size goes beside Anchor (screen coordinates) within the
// work area that WorkAreaAt answers for the anchor corner.
using TuxWorkAreaFunc = TRect (*)(const TPoint& P);
TPoint uxCalculatePopupPosition(const TRect& Anchor, const TSize& Size, TuxPopupDirection Direction,
                                TuxPopupAlignment HorzAlignment, TuxPopupAlignment VertAlignment,
                                TuxWorkAreaFunc WorkAreaAt);
// The work area of the monitor at P.
TRect uxGetDesktopWorkArea(const TPoint& P);

class TuxPopupWindow : public TForm {
  PV_CLASS(TuxPopupWindow, TForm)
 public:
  explicit TuxPopupWindow(TComponent* AOwner);
  ~TuxPopupWindow() override;

  bool Adjustable() const { return FAdjustable; }
  void SetAdjustable(bool Value) { FAdjustable = Value; }
  TuxPopupDirection PopupDirection() const { return FDirection; }
  void SetPopupDirection(TuxPopupDirection Value) { FDirection = Value; }
  TuxPopupAlignment HorzAlignment() const { return FHorzAlignment; }
  void SetHorzAlignment(TuxPopupAlignment Value) { FHorzAlignment = Value; }
  TuxPopupAlignment VertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TuxPopupAlignment Value) { FVertAlignment = Value; }
  TuxPopupBorderStyle PopupBorderStyle() const { return FBorderStyle; }
  void SetPopupBorderStyle(TuxPopupBorderStyle Value);
  int BorderSpacing() const { return FBorderSpacing; }
  void SetBorderSpacing(int Value) { FBorderSpacing = Value; }
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { FBorderColor = Value; }
  TControl* AnchorControl() const { return FAnchorControl; }
  void SetAnchorControl(TControl* Value) { FAnchorControl = Value; }
  TRect AnchorBounds() const { return FAnchorBounds; }
  void SetAnchorBounds(const TRect& Value) { FAnchorBounds = Value; }
  TuxCanvas* UxCanvas() const { return FUxCanvas.get(); }

  virtual void CalculatePosition(TPoint& P);
  virtual void CalculateSize();
  virtual int GetBorderWidth(int Side);
  virtual int GetBorderSize();
  virtual void GetOwnerScreenBounds(TRect& R);
  virtual void InitPopup();
  virtual void DrawFrame();
  virtual void ClosePopup();
  virtual void Popup();
  virtual void VisibilityChanged() {}
  int GetBorderWidthTotal() { return GetBorderWidth(0) + GetBorderWidth(2); }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Deactivate() override;
  void Paint() override;

 private:
  void WMActivate(TMessage& M);
  void WMActivateApp(TMessage& M);
  void CMVisibleChanged(TMessage& M);

  bool FAdjustable = true;
  TuxPopupDirection FDirection = pdrVertical;
  TuxPopupAlignment FHorzAlignment = palNear, FVertAlignment = palFar;
  TuxPopupBorderStyle FBorderStyle = pwbNone;
  int FBorderSpacing = 0;
  TColor FBorderColor = clWindowText;
  TControl* FAnchorControl = nullptr;
  TRect FAnchorBounds{};
  std::unique_ptr<TuxCanvas> FUxCanvas;
  HWND FPrevActiveWindow = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate)
    PV_MESSAGE_HANDLER(WM_ACTIVATEAPP, TMessage, WMActivateApp)
    PV_MESSAGE_HANDLER(CM_VISIBLECHANGED, TMessage, CMVisibleChanged)
  END_MESSAGE_MAP(TForm)
};
