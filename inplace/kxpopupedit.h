// The pop-up editor: its drop-down is a sizeable form that hosts any control
// (PopupControl) while it is shown and gives it back when it closes. The form
// runs a local message loop, so the caller waits until the user accepts or
// abandons it; pop-up forms may nest, and the list of shown forms lets
// closing, activation and focus treat the family as one.
#pragma once

#include <vector>

#include "inplace/kxdropdown.h"

enum TkxPopupEditFormBorderStyle { pbsDialog, pbsDialogHelp, pbsSimple, pbsSysPanel };
PV_ENUM_NAMES(TkxPopupEditFormBorderStyle, "pbsDialog pbsDialogHelp pbsSimple pbsSysPanel")

class TkxInplacePopupEdit;

using TkxPopupEditCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TkxPopupEditCloseUpEvent = TEvent<void(TObject* Sender, AnsiString& Text, bool& Accept)>;
using TkxPopupEditPopupEvent = TEvent<void(TObject* Sender, const AnsiString& EditText)>;

class TkxPopupEditForm : public TCustomForm {
  PV_CLASS(TkxPopupEditForm, TCustomForm)
 public:
  TkxPopupEditForm();
  explicit TkxPopupEditForm(TComponent* AOwner) : TkxPopupEditForm() { (void)AOwner; }
  ~TkxPopupEditForm() override;

  TkxInplacePopupEdit* Editor() const { return FEditor; }
  void SetEditor(TkxInplacePopupEdit* Value);
  TkxPopupEditFormBorderStyle PopupBorderStyle() const { return FPopupBorderStyle; }
  void SetPopupBorderStyle(TkxPopupEditFormBorderStyle Value);
  bool ClientEdge() const { return FClientEdge; }
  void SetClientEdge(bool Value);
  bool FlatBorder() const { return FFlatBorder; }
  void SetFlatBorder(bool Value);
  bool Sizeable() const { return FSizeable; }
  void SetSizeable(bool Value);
  int MinWidth = 100;
  int MinHeight = 100;
  Byte SizeGripCorner = 3;
  int BarHeight() const { return FBarHeight; }

  virtual void ClosePopup(bool Accept);
  virtual void ShowPopup();
  bool Closing() const { return FClosing; }
  // Whether the form is active, or the newest active registered form is nested in it.
  bool IsPopupFormFocused();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Deactivate() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // A form nested in this one: the form of its editor is this one, or nested in it.
  bool IsPopupFormNestedIn(TkxPopupEditForm* Form);
  int ClientEdgeWidth() const;
  void ComputeBar();

  TkxInplacePopupEdit* FEditor = nullptr;
  TkxPopupEditFormBorderStyle FPopupBorderStyle = pbsDialog;
  bool FClientEdge = false;
  bool FFlatBorder = true;
  bool FSizeable = true;
  int FBarHeight = 0;
  int FSeparatorHeight = 0;
  TRect FCloseButtonRect;
  TRect FGripRect;
  bool FCloseButtonHot = false;
  bool FCloseButtonPressed = false;
  bool FClosing = false;

  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMLButtonUp(TWMMouse& Message);
  void WMCaptureChanged(TMessage& Message);
  void WMSizing(TMessage& Message);
  void WMGetMinMaxInfo2(TMessage& Message);
  void WMClose2(TMessage& Message);
  void WMQueryEndSession(TMessage& Message);
  void WMSysCommand2(TMessage& Message);
  void WMSysKeyDown(TWMKey& Message);
  void WMActivate2(TMessage& Message);
  void CMMouseLeave(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDOWN, TMessage, WMNCLButtonDown)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp)
    PV_MESSAGE_HANDLER(WM_CAPTURECHANGED, TMessage, WMCaptureChanged)
    PV_MESSAGE_HANDLER(WM_SIZING, TMessage, WMSizing)
    PV_MESSAGE_HANDLER(WM_GETMINMAXINFO, TMessage, WMGetMinMaxInfo2)
    PV_MESSAGE_HANDLER(WM_CLOSE, TMessage, WMClose2)
    PV_MESSAGE_HANDLER(WM_QUERYENDSESSION, TMessage, WMQueryEndSession)
    PV_MESSAGE_HANDLER(WM_SYSCOMMAND, TMessage, WMSysCommand2)
    PV_MESSAGE_HANDLER(WM_SYSKEYDOWN, TWMKey, WMSysKeyDown)
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate2)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
  END_MESSAGE_MAP(TCustomForm)
};

class TkxInplacePopupEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplacePopupEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplacePopupEdit)
 public:
  explicit TkxInplacePopupEdit(TComponent* AOwner);
  ~TkxInplacePopupEdit() override;

  bool HideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool Value);
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int Value);
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int Value);
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int Value);
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int Value);
  bool PopupAutoSize = true;
  TkxPopupEditFormBorderStyle PopupFormBorderStyle = pbsDialog;
  AnsiString PopupFormCaption;
  bool PopupFormClientEdge = false;
  bool PopupFormFlatBorder = true;
  bool PopupFormSizeable = true;
  TkxPopupEditCloseQueryEvent OnCloseQuery;
  TkxPopupEditCloseUpEvent OnCloseUp;
  TNotifyEvent OnInitPopup;
  TkxPopupEditPopupEvent OnPopup;

  TkxPopupEditForm* PopupForm() const { return FForm; }
  bool PopupShowing() const { return FShowing; }

  virtual void SetPopupFormPosition(TkxPopupEditForm* Form);
  virtual bool DoCloseQuery(TkxPopupEditForm* Form);
  virtual void DoFormCloseUp(TkxPopupEditForm* Form, AnsiString& Text, bool& Accept);
  virtual void ShowPopupForm();
  virtual void DoInitPopup();
  virtual void DoPopup(TkxPopupEditForm* Form);
  virtual void RestorePopupControl();
  virtual void InitPopupForm(TkxPopupEditForm* Form);

  void Hide() override;
  bool IsTextEditing() override { return !FHideEditCursor; }
  bool IsFocused() override;
  bool CanReset() override { return true; }
  void DropDown() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  bool FHideEditCursor = false;
  TControl* FPopupControl = nullptr;
  int FPopupHeight = 200, FPopupMinHeight = 100, FPopupMinWidth = 100, FPopupWidth = 250;
  TkxPopupEditForm* FForm = nullptr;
  bool FShowing = false;
  // The hosted control's state, given back when the pop-up closes.
  TControl* FSavedControl = nullptr;
  TAlign FSavedAlign = alNone;
  TBorderStyle FSavedBorderStyle = bsNone;
  bool FSavedIsForm = false;
  TRect FSavedBounds;
  TWinControl* FSavedParent = nullptr;
  bool FSavedVisible = false;

  void KXMShowPopupForm(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(KXM_SHOWPOPUPFORM, TMessage, KXMShowPopupForm)
  END_MESSAGE_MAP(TkxInplaceDropDownEdit)
};

class TkxInplacePopupEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplacePopupEdit::StaticClass(); }
};

// The pop-up forms shown at present, oldest first.
const std::vector<TkxPopupEditForm*>& kxPopupEditFormList();
// The sizing hit test of a sizeable pop-up form's window rectangle (window coordinates).
int kxPopupFormBorderHitTest(const TRect& WindowRect, const TPoint& P);

void kxInitPopupEdit();
void kxDonePopupEdit();
