// The drop-down editor base: buttons beside the text in the window's
// non-client area, drawn as part of the frame; the drop-down and close-up
// protocol shared by every pop-up kind; and the routing of keys, mouse and
// wheel while a pop-up is shown. The base shows one arrow button and opens
// nothing; the kinds fill DropDown, CloseUp, ButtonClick, StepItem and LocateText.
#pragma once

#include "inplace/kxmask.h"

enum TkxEditButtonKind { bkEllipsis, bkDown, bkGlyph };
PV_ENUM_NAMES(TkxEditButtonKind, "bkEllipsis bkDown bkGlyph")

constexpr int kxMaxEditButtons = 8;

struct TkxEditButtonEntry {
  TBitmap* Glyph = nullptr;  // not owned
  int Ordinal = 0;
  TkxEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  int Width = 0;
};

class TkxDropDownEditViewData : public TkxTextEditViewData {
  PV_CLASS(TkxDropDownEditViewData, TkxTextEditViewData)
 public:
  TkxDropDownEditViewData() = default;
  int ButtonCount = 0;
  TkxEditButtonEntry ButtonEntries[kxMaxEditButtons];
  TBitmap* ButtonGlyph = nullptr;  // not owned
  bool ButtonsHidden = false;
  int HotButton = -1;
  int PushedButton = -1;
};

using TkxHostCloseUpEvent = TEvent<void(TObject* Sender, AnsiString& Text, bool& Accept)>;

class TkxInplaceDropDownEdit : public TkxInplaceMaskEdit {
  PV_CLASS(TkxInplaceDropDownEdit, TkxInplaceMaskEdit)
  KX_EDIT_CLASS(TkxInplaceDropDownEdit)
 public:
  explicit TkxInplaceDropDownEdit(TComponent* AOwner);
  ~TkxInplaceDropDownEdit() override;

  // Fields the hosting row writes directly.
  int DropDownRows = 7;
  int DropDownWidth = 0;
  bool ImmediateDropDown = true;
  bool ImmediatePopup = false;
  TAlignment PopupAlignment = taLeftJustify;
  TkxPopupBorder PopupBorder = pbDefault;
  TkxHostCloseUpEvent OnHostCloseUp;
  TNotifyEvent OnEditButtonClick;
  TNotifyEvent OnHostEditButtonClick;

  TBitmap* GetButtonGlyph();
  TBitmap* ButtonGlyphOrNull() const { return FButtonGlyph; }
  void SetButtonGlyph(TBitmap* Value);
  int HotButton() const { return FHotButton; }
  int PushedButton() const { return FPushedButton; }
  TWinControl* CurrentPopup() const { return FCurrentPopup; }
  void SetCurrentPopup(TWinControl* Value) { FCurrentPopup = Value; }
  bool PopupShown() const { return FPopupShown; }
  bool RouteKeysToPopup() const { return FRouteKeysToPopup; }
  bool SearchInPopup() const { return FSearchInPopup; }

  TkxPopupBorder GetPopupBorder();
  bool IsPopupActive();
  void SetDroppedDown(bool Value);
  void SetHotButton(int Index);
  void ReleasePushedButton();
  void FocusIfPossible();
  void PopupMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  virtual void PositionPopup(TControl* Popup, bool AdjustWidth);
  virtual void CloseUp(bool Accept) {}
  virtual void ButtonDown(bool InClientArea, int Index);
  virtual void ButtonClick(int Index) {}
  virtual void DoCloseUp(AnsiString& Text, bool& Accept);
  virtual void DropDownKeyDown(Word& Key, TShiftState Shift);
  virtual void StepItem(int Delta, bool Cyclic) {}
  virtual void DropDown() {}
  virtual void DoEditButtonClick();
  virtual void LocateText(const AnsiString& Text) {}

  TkxEditViewData* CreateViewData(bool FromData) override;
  bool HandlesMouseWheel() override { return true; }
  void SetSelected(bool Value) override;
  void Activated() override;
  void Hide() override;
  bool IsFocused() override;
  void MouseActivate(int X, int Y) override;
  void ClickActivate() override;
  void Show() override;

 protected:
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The button under a point in window coordinates (-1 none), laid out as drawn.
  int ButtonAtWindowPoint(const TPoint& P);

  TBitmap* FButtonGlyph = nullptr;
  int FHotButton = -1;
  int FPushedButton = -1;
  TWinControl* FCurrentPopup = nullptr;
  bool FPopupShown = false;
  bool FRouteKeysToPopup = true;
  bool FSearchInPopup = false;

  void WMCancelMode(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void WMKillFocus2(TMessage& Message);
  void WMGetDlgCode2(TMessage& Message);
  void WMLButtonDown2(TWMMouse& Message);
  void WMLButtonDblClk(TWMMouse& Message);
  void WMLButtonUp2(TWMMouse& Message);
  void WMMouseWheel(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMNCLButtonDblClk(TMessage& Message);
  void CMCancelMode(TMessage& Message);
  void CMHintShow(TMessage& Message);
  void KXMPopupClosed(TMessage& Message);
  void KXMDropDown(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CANCELMODE, TMessage, WMCancelMode)
    PV_MESSAGE_HANDLER(WM_CAPTURECHANGED, TMessage, WMCaptureChanged)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus2)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode2)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown2)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp2)
    PV_MESSAGE_HANDLER(WM_MOUSEWHEEL, TMessage, WMMouseWheel)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDOWN, TMessage, WMNCLButtonDown)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, TMessage, WMNCLButtonDblClk)
    PV_MESSAGE_HANDLER(CM_CANCELMODE, TMessage, CMCancelMode)
    PV_MESSAGE_HANDLER(CM_HINTSHOW, TMessage, CMHintShow)
    PV_MESSAGE_HANDLER(KXM_POPUPCLOSED, TMessage, KXMPopupClosed)
    PV_MESSAGE_HANDLER(KXM_DROPDOWN, TMessage, KXMDropDown)
  END_MESSAGE_MAP(TkxInplaceMaskEdit)
};

class TkxInplaceDropDownEdit::TClassRef : public TkxInplaceMaskEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceDropDownEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxDropDownEditViewData::StaticClass(); }
  void CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize, TkxEditViewRects& Rects) const override;
  void DrawBorder(HDC DC, const TkxEditViewRects& Rects, TkxEditViewData* ViewData) const override;
  virtual void CalcButtons(TkxDropDownEditViewData* ViewData) const;
  virtual int GetButtonWidth(TkxDropDownEditViewData* ViewData, const TkxEditButtonEntry& Entry) const;
  // The rectangles of the buttons (index i), laid out last to first inside
  // the border rectangle shrunk by the border width.
  void ButtonRects(const TkxEditViewRects& Rects, TkxDropDownEditViewData* ViewData, TRect* Out) const;
};

// Draws one edit button with its face, mark or glyph; the style rules of the drop-down buttons.
void kxDrawEditButton(HDC DC, TRect R, const TkxEditButtonEntry& Entry, TkxDropDownEditViewData* ViewData,
                      bool Hot, bool Pushed);
// The face of an edit button in ViewData's style; R becomes the content area,
// MarkColor the colour of its arrow or dots, FaceBrush the brush of its face.
void kxDrawEditButtonFace(HDC DC, TRect& R, TkxEditViewData* ViewData, bool ButtonsTransparent, bool Hot,
                          bool Pushed, bool IsGlyph, COLORREF& MarkColor, HBRUSH& FaceBrush);

void kxInitDropDown();
