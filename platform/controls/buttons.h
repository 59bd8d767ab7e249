// Buttons with glyphs: the bitmap button (a push button with a picture and a
// kind that presets caption and result) and the speed button (a windowless
// tool button that can stay down alone or within a group).
#pragma once
#include <memory>
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/controls/graphics.h"
#include "platform/controls/stdctrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
PV_ENUM_NAMES(TButtonLayout, "blGlyphLeft blGlyphRight blGlyphTop blGlyphBottom")
PV_ENUM_NAMES(TButtonState, "bsUp bsDisabled bsDown bsExclusive")
PV_ENUM_NAMES(TBitBtnKind, "bkCustom bkOK bkCancel bkHelp bkYes bkNo bkClose bkAbort bkRetry bkIgnore bkAll")

// Draws a glyph strip (NumGlyphs images side by side: up, disabled, down,
// exclusive) and a caption inside Rect, in the given layout. Margin -1 centres
// glyph and text together; Spacing -1 centres the text in what the glyph leaves.
// Returns the rectangle the text was drawn in.
TRect DrawButtonGlyph(TCanvas* Canvas, const TRect& Rect, TBitmap* Glyph, int NumGlyphs, TButtonState State,
                      const AnsiString& Caption, TButtonLayout Layout, int Margin, int Spacing, bool Enabled);

// A push button drawn by the class library, with a glyph beside its caption.
class TBitBtn : public TButton {
  PV_CLASS(TBitBtn, TButton)
 public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;
  // The picture beside the caption; with none, kinds other than bkCustom show their own.
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  TBitBtnKind Kind() const { return FKind; }
  // Sets caption, modal result, Default and Cancel as the kind says.
  void SetKind(TBitBtnKind Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  int NumGlyphs() const { return FNumGlyphs; }
  // 1..4.
  void SetNumGlyphs(int Value);
  // bkClose closes the form; the others act as TButton.
  void Click() override;
  void CreateParams(TCreateParams& Params) override;
  // The glyph that is drawn: Glyph, or the kind's own (nullptr for none).
  TBitmap* ShownGlyph();

 protected:
  void CNDrawItem(TMessage& Message);
  void CNMeasureItem(TMessage& Message);
  void GlyphChanged(TObject* Sender);
  void CMFocusChanged2(TMessage& Message);
  std::unique_ptr<TBitmap> FGlyph;
  std::unique_ptr<TBitmap> FKindGlyph;
  std::unique_ptr<TCanvas> FCanvas;
  TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1, FSpacing = 4, FNumGlyphs = 1;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CN_DRAWITEM, TMessage, CNDrawItem)
    PV_MESSAGE_HANDLER(CN_MEASUREITEM, TMessage, CNMeasureItem)
    PV_MESSAGE_HANDLER(CM_FOCUSCHANGED, TMessage, CMFocusChanged2)
  END_MESSAGE_MAP(TButton)
};

// A windowless button. With GroupIndex 0 it springs back; with a group index
// it stays down when clicked and raises the other buttons of its group in the
// same parent; AllowAllUp lets the last down button of a group go up again.
// Flat buttons show their frame only under the mouse or while down.
class TSpeedButton : public TGraphicControl {
  PV_CLASS(TSpeedButton, TGraphicControl)
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  bool AllowAllUp() const { return FAllowAllUp; }
  // Applies to the whole group.
  void SetAllowAllUp(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  // Ignored for GroupIndex 0, and for going up when the group must keep one down.
  void SetDown(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // The face being shown: up, down (pressed now), exclusive (held down), disabled.
  TButtonState State() const { return FState; }
  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GlyphChanged(TObject* Sender);
  void CMMouseEnter2(TMessage& Message);
  void CMMouseLeave2(TMessage& Message);
  void CMEnabledChanged4(TMessage& Message);
  void CMDialogChar3(TMessage& Message);
  void CMTextChanged5(TMessage& Message);
  // Raises the other down buttons of the group.
  void UpdateExclusive();
  std::unique_ptr<TBitmap> FGlyph;
  TButtonState FState = bsUp;
  TButtonLayout FLayout = blGlyphLeft;
  int FGroupIndex = 0, FNumGlyphs = 1, FMargin = -1, FSpacing = 4;
  bool FDown = false, FAllowAllUp = false, FFlat = false, FTransparent = true, FDragging = false,
       FMouseIn = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_MOUSEENTER, TMessage, CMMouseEnter2)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave2)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged4)
    PV_MESSAGE_HANDLER(CM_DIALOGCHAR, TMessage, CMDialogChar3)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged5)
  END_MESSAGE_MAP(TGraphicControl)
};

// Registers the classes of this unit and their published properties. Idempotent.
void InitButtonsProps();
