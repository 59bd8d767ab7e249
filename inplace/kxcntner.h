// The in-place editor model: TkxInplaceEdit, the base of every editor kind, and
// TCustomkxContainer, the host control that owns one live editor over its
// focused cell and paints every other cell through the editor classes without
// a window (view data and the class-level operations below). Also the hint
// window of a container and TkxInplacePopupControl, the base of the pop-ups
// that an editor drops down.
//
// Class-level operations: every editor class has one stateless class object
// (TkxInplaceEditClass and its descendants, reached with ClassRef() on the
// class or EditClass() on an editor) whose virtual operations answer
// questions about the class and paint a cell from a TkxEditViewData:
//
//   TkxEditViewData* vd = TkxInplaceTextEdit::ClassRef()->NewViewData();
//   ... fill vd ...
//   TkxInplaceTextEdit::ClassRef()->Draw(dc, nullptr, vd);
#pragma once

#include <memory>

#include "inplace/kxcommon.h"
#include "inplace/kxstyles.h"
#include "platform/controls/controls.h"
#include "platform/controls/forms.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/variants.h"

class TkxInplaceEdit;
class TCustomkxContainer;

PV_DECLARE_EXCEPTION(EkxEditInvalidInput, Exception)

// Private messages of the editors.
constexpr UINT KXM_POPUPCLOSED = WM_APP + 101;  // an editor's pop-up closed
constexpr UINT KXM_DROPDOWN = WM_APP + 102;     // open the pop-up after the click that asked for it
constexpr UINT KXM_SHOWPOPUPFORM = WM_APP + 103;

// Which properties the host set explicitly (bit numbers of StoredValues).
enum TkxStoredValue {
  svAlignment = 0, svMaxLength = 1, svEditMask = 2, svValueType = 3, svMaxValue = 4, svMinValue = 5,
  svReadOnly = 6, svDisplayFormat = 8
};
using TkxStoredValues = TSet<TkxStoredValue>;

using TkxEditValidateEvent = TEvent<void(TObject* Sender, AnsiString& ErrorText, bool& Accept)>;

// Text placement of a cell: 0 top, 1 centred, 2 bottom (single line), 3 multi-line with word wrap.
enum TkxDrawAlignment : Byte { kxdaTop = 0, kxdaCenter = 1, kxdaBottom = 2, kxdaMultiLine = 3 };

// Describes one cell for painting without a live editor.
class TkxEditViewData : public TObject {
  PV_CLASS(TkxEditViewData, TObject)
 public:
  TkxEditViewData() = default;
  ~TkxEditViewData() override;
  bool Enabled = true;
  bool Focused = false;
  bool Selected = false;
  TColor BorderColor = clWindowFrame;
  TkxEditBorderStyle BorderStyle = xbs3D;
  TkxEditButtonViewStyle ButtonStyle = bts3D;
  bool ButtonTransparent = false;
  TkxEditEdges Edges = kxAllEdges;
  bool Shadow = false;
  bool Transparent = false;
  TRect TextOffsets;  // left, top, right and bottom text margins
  TRect Bounds;
  TAlignment Alignment = taLeftJustify;
  Byte DrawAlignment = kxdaTop;
  HBRUSH Brush = nullptr;
  COLORREF BkColor = 0xFFFFFF;
  HFONT Font = nullptr;
  COLORREF TextColor = 0;
  bool IsTextEditing = false;
  Variant Value;
  int DataLength = 0;             // cached length of the value as text; 0: not yet measured
  TBitmap* WorkBitmap = nullptr;  // scratch bitmap, owned by the view data
  bool CalcHeight = false;        // measure instead of painting
  int LineCount = 0;
  int TextHeight = 0;
  int LineHeight = 0;
  TCursor Cursor = crDefault;
};

// What CalcViewInfo computes for one cell.
struct TkxEditViewRects {
  int BorderWidth = 0;
  int ShadowSize = 0;
  TRect BoundsRect;
  TRect ClientRect;
  bool EdgeLeft = false, EdgeTop = false, EdgeRight = false, EdgeBottom = false;
  TRect BorderRect;
  TRect ShadowRect;
};

// The class-level operations of an editor class.
class TkxInplaceEditClass {
 public:
  virtual ~TkxInplaceEditClass() = default;
  // The editor class itself (creation by class).
  virtual TClass EditClass() const = 0;
  virtual TClass GetViewDataClass() const;
  // A new, empty view data object of GetViewDataClass.
  TkxEditViewData* NewViewData() const;
  virtual bool IsInplace() const { return true; }
  virtual void CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize, TkxEditViewRects& Rects) const;
  virtual void Draw(HDC DC, HRGN ClipRegion, TkxEditViewData* ViewData) const;
  virtual void DrawBorder(HDC DC, const TkxEditViewRects& Rects, TkxEditViewData* ViewData) const;
  // Fills R with the view data's brush (unless measuring); true when it painted the client.
  virtual bool DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* ViewData) const;
  virtual TCursor GetCursor(int X, int Y, TkxEditViewData* ViewData) const;
  virtual int GetMinHeight(TkxEditViewData* ViewData) const;
  virtual void CalcButtonsRect(TkxEditViewData* ViewData, TRect& R) const;
  virtual TClass GetEditStyleClass() const;
  // The region to remove from the host's clip region (nullptr: the border rectangle).
  virtual HRGN BorderRegion(const TkxEditViewRects& Rects) const;
  static bool IsCtrlPressed();
};

// Declares the class object of an editor class: Name::TClassRef (defined
// after the class, deriving from the base class's TClassRef), Name::ClassRef()
// returning it, and EditClass() answering it.
#define KX_EDIT_CLASS(Name)                                                                     \
 public:                                                                                        \
  class TClassRef;                                                                              \
  static const TkxInplaceEditClass* ClassRef();                                                 \
  const TkxInplaceEditClass* EditClass() const override { return ClassRef(); }                  \
                                                                                                \
 private:

// Defines Name::ClassRef (in the .cpp).
#define KX_EDIT_CLASS_IMPL(Name)                 \
  const TkxInplaceEditClass* Name::ClassRef() {  \
    static const Name::TClassRef ref;            \
    return &ref;                                 \
  }

class TkxInplaceEdit : public TWinControl {
  PV_CLASS(TkxInplaceEdit, TWinControl)
 public:
  class TClassRef : public TkxInplaceEditClass {
   public:
    TClass EditClass() const override { return TkxInplaceEdit::StaticClass(); }
  };
  static const TkxInplaceEditClass* ClassRef();
  virtual const TkxInplaceEditClass* EditClass() const { return ClassRef(); }

  explicit TkxInplaceEdit(TComponent* AOwner);
  ~TkxInplaceEdit() override;
  void AfterConstruction() override;

  // -- what the host calls --
  void ShowInRect(const TRect& R);
  bool IsShown() const { return FShown; }
  void InvalidateInContainer();
  void SetTextMargins(const TRect& R);
  TRect TextMargins() const { return FTextMargins; }
  void SetAlignment(TAlignment Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetReadOnly(bool Value);
  // The effective read-only state.
  bool ReadOnly();
  void SetAutoSize(bool Value) override;
  TCustomkxContainer* Container() const;
  TkxEditStyle* Style();
  TkxEditStyleController* StyleController() const { return FStyleController; }
  void SetStyleController(TkxEditStyleController* Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }
  TkxStoredValues StoredValues() const { return FStoredValues; }
  void SetStoredValues(TkxStoredValues Value) { FStoredValues = Value; }
  bool Modified() { return GetModified(); }
  // Repaint: invalidate the window without erasing.
  void RepaintEditor();
  // Recomputes the window shape and repaints (style and layout changes end here).
  virtual void LayoutChanged();
  void UpdateWindowShape();
  void RefreshHotState();

  // Flags shared with the host and the kinds.
  bool CloseFlag = false;            // raised by the host while it closes the editor
  bool DisableCloseEditor = false;   // closing is forbidden (GetDisableCloseEditor)
  bool DisableRefresh = false;       // suspends refreshing while a kind changes its own value
  bool ClickToPopup = false;         // a click anywhere on a drop-down kind opens its pop-up
  bool InternalChanging = false;     // a kind is changing its own value
  DWORD ActivationClickTime = 0;     // message time of the activating button-down (written by the host)
  TNotifyEvent OnChange;
  TkxEditValidateEvent OnValidate;
  TNotifyEvent OnMouseEnterEditor;
  TNotifyEvent OnMouseLeaveEditor;

  // -- virtual operations --
  virtual void SetEditValue(const Variant& Value);
  virtual void RefreshDataProperties() {}
  virtual void GetEditingValue(Variant& Value, bool FromData);
  virtual void GetEditValue(Variant& Value);
  Variant EditValue() {
    Variant v;
    GetEditValue(v);
    return v;
  }
  virtual void LoadFromData() {}
  virtual void DataChanged() {}
  virtual void UpdateData() {}
  virtual void FocusEditor(bool& Done);
  virtual void ReservedHook() {}
  virtual bool CanEditKey(char Key);
  virtual void Change();
  virtual TObject* CreateDataDefinition() { return nullptr; }
  virtual TkxEditViewData* CreateViewData(bool FromData);
  virtual void FocusChanged();
  virtual bool CanModify();
  virtual bool GetDisableCloseEditor() { return DisableCloseEditor; }
  virtual bool GetModified() { return FModified; }
  virtual bool IsTextChangingKey(Word Key, TShiftState Shift);
  virtual bool NeedsFullRepaint() { return !IsTextEditing(); }
  virtual bool HandlesMouseWheel() { return false; }
  virtual bool WantsTabs() { return false; }
  virtual void ContainerKeyHook(bool Key);
  virtual void Reset();
  virtual void SetActive(bool Active);
  virtual void DoSetAlignment(TAlignment Value);
  virtual void DoSetReadOnly(bool Value);
  virtual void SetModified(bool Value);
  virtual void SetSelected(bool Value);
  virtual void Activated() {}
  virtual bool IsEditable();
  virtual TAlignment GetDefaultAlignment() { return taLeftJustify; }
  virtual bool GetDataReadOnly() { return false; }
  virtual bool GetDefaultReadOnly() { return false; }
  virtual void MoveCaretToEnd() {}
  virtual void DoKillFocus(TMessage& Message);
  virtual void GetDisplayText(AnsiString& Text);
  virtual void Hide();
  virtual bool IsTextEditing() { return false; }
  virtual bool ValidateOnEnter() { return false; }
  virtual bool IsFocused() { return Focused(); }
  virtual bool RepaintOnActivate() { return !Enabled(); }
  virtual bool IsSelected() { return FSelected || (IsFocused() && Enabled()); }
  virtual bool GetContainerState();
  virtual bool CanReset() { return IsTextEditing(); }
  virtual bool IsTextCell() { return IsTextEditing(); }
  virtual void MouseActivate(int X, int Y) {}
  virtual void ClickActivate() {}
  virtual void RestoreDefaults();
  virtual void SelectAll() {}
  virtual void AssignEditText(const AnsiString& Text);
  virtual void Show();
  virtual void ValidateEdit();

 protected:
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  void DefaultHandler(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void CreateParams(TCreateParams& Params) override;
  virtual TkxEditStyle* CreateStyle();
  void ResetOnEscape() { Reset(); }
  bool IsDestroyingEditor() const { return ComponentState().Contains(csDestroying); }
  int ValidationLock() const { return FValidationLock; }
  // Characters typed by the user change the value only through these.
  bool FModified = false;
  bool FSavedModified = false;
  AnsiString FSavedText;
  TAlignment FAlignment = taLeftJustify;
  bool FReadOnly = false;
  bool FSelected = false;
  bool FTransparent = false;
  bool FShown = false;
  int FValidationLock = 0;
  TkxStoredValues FStoredValues;
  TRect FTextMargins;
  TkxEditStyle* FStyle = nullptr;
  TkxEditStyleController* FStyleController = nullptr;

  void WMCut(TMessage& Message);
  void WMPaste(TMessage& Message);
  void WMClear(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMKeyDown(TWMKey& Message);
  void WMImeComposition(TMessage& Message);
  void WMLButtonDown(TWMMouse& Message);
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMPaint(TWMPaint& Message);
  void WMSetCursor(TWMSetCursor& Message);
  void WMSize(TWMSize& Message);
  void CMColorChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void WMKillFocus(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CUT, TMessage, WMCut)
    PV_MESSAGE_HANDLER(WM_PASTE, TMessage, WMPaste)
    PV_MESSAGE_HANDLER(WM_CLEAR, TMessage, WMClear)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_KEYDOWN, TWMKey, WMKeyDown)
    PV_MESSAGE_HANDLER(WM_IME_COMPOSITION, TMessage, WMImeComposition)
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown)
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_PAINT, TWMPaint, WMPaint)
    PV_MESSAGE_HANDLER(WM_SETCURSOR, TWMSetCursor, WMSetCursor)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged)
    PV_MESSAGE_HANDLER(CM_ENABLEDCHANGED, TMessage, CMEnabledChanged)
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CM_MOUSEENTER, TMessage, CMMouseEnter)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
    PV_MESSAGE_HANDLER(CM_SHOWINGCHANGED, TMessage, CMShowingChanged)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged)
  END_MESSAGE_MAP(TWinControl)
};

// Raises a flag of an editor for a scope and puts its old value back
// afterwards, also when an exception leaves the scope.
class TkxFlagScope {
 public:
  explicit TkxFlagScope(bool& Flag) : FFlag(Flag), FOld(Flag) { Flag = true; }
  ~TkxFlagScope() { FFlag = FOld; }
  TkxFlagScope(const TkxFlagScope&) = delete;
  TkxFlagScope& operator=(const TkxFlagScope&) = delete;

 private:
  bool& FFlag;
  bool FOld;
};

// Removes the WM_CHAR waiting in Wnd's queue (a WM_QUIT taken on the way is posted again).
void kxRemovePendingChar(HWND Wnd);
// Removes one waiting message of kind Msg for Wnd (same WM_QUIT rule); true when one was removed.
bool kxRemovePendingMessage(HWND Wnd, UINT Msg);
// The shared clBtnShadow brush of shadows.
HBRUSH kxShadowBrush();
// Texts of the editors' string table by identifier (the built-in English text
// when the table does not have it).
AnsiString kxEditorString(int Id);
constexpr int kxsInvalidInput = 38948;


class TCustomkxContainer : public TCustomControl {
  PV_CLASS(TCustomkxContainer, TCustomControl)
 public:
  explicit TCustomkxContainer(TComponent* AOwner);
  virtual bool CanEditModify() { return false; }
  virtual bool CanEditAcceptKey(char Key) { return false; }
  virtual bool GetEditOptionDefault() { return true; }
  virtual TkxEditStyle* CreateEditStyle(TkxInplaceEdit* Edit);
  virtual void ScrollLines(bool Up, int Count);
  virtual TColor GetEditColor() { return Color(); }
  virtual TFont* GetEditFont() { return Font(); }
  virtual bool ReservedQueryA() { return false; }
  virtual bool ReservedQueryB() { return false; }
  virtual void DoEditKeyDown(Word& Key, TShiftState Shift);
  virtual bool IgnoreEditorKeys() { return false; }
  virtual bool WantsEditorDblClicks() { return false; }
  virtual bool GetEditorStateFlag() { return false; }
  virtual bool WantsEditorTabs() { return false; }
  virtual void EditorKeyHook(bool Key) {}
  virtual void EditorFocusChanged() {}
  virtual void BeginInitEdit() { FInitEdit = true; }
  virtual void EndInitEdit() { FInitEdit = false; }
  virtual TkxPopupBorder GetPopupBorder(TkxEditBorderStyle BorderStyle) { return pbFrame3D; }
  bool IsInitEdit() const { return FInitEdit; }

  BOOL GetScrollInfo(int Bar, SCROLLINFO& Info);
  int SetScrollInfo(int Bar, const SCROLLINFO& Info, bool Redraw);
  void SetFlatScrollBars(Byte Style);
  Byte FlatScrollBars() const { return FScrollBarStyle; }

  // The container's own key and mouse handlers, which the editor calls.
  void ContainerKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }
  void ContainerKeyPress(char& Key) { KeyPress(Key); }
  void ContainerKeyUp(Word& Key, TShiftState Shift) { KeyUp(Key, Shift); }
  void ContainerDblClick() { DblClick(); }

 protected:
  void CreateWnd() override;
  void AdjustSize() override {}
  void WMMouseWheel(TMessage& Message);

 private:
  bool FInitEdit = false;
  Byte FScrollBarStyle = 0;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_MOUSEWHEEL, TMessage, WMMouseWheel)
  END_MESSAGE_MAP(TCustomControl)
};

// A small owner-drawn pop-up that shows a hint text next to the mouse.
class TkxContainerHintWindow : public TCustomControl {
  PV_CLASS(TkxContainerHintWindow, TCustomControl)
 public:
  explicit TkxContainerHintWindow(TComponent* AOwner);
  void ShowHint(TPoint P, int MaxWidth, bool UseFontSize, TFont* AFont, const AnsiString& Text);
  void HideHint();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WMNCHitTest(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
  END_MESSAGE_MAP(TCustomControl)
};

// The base of the windows that drop down from an editor (calculator,
// calendar, blob pop-up): a frameless window that never takes the activation,
// paints its own frame and shadow and closes when it loses the focus.
class TkxInplacePopupControl : public TCustomControl {
  PV_CLASS(TkxInplacePopupControl, TCustomControl)
 public:
  explicit TkxInplacePopupControl(TComponent* AOwner);
  virtual void ClosePopup();
  virtual void ShowPopup();
  TkxPopupBorder PopupBorderStyle() const { return FPopupBorderStyle; }
  void SetPopupBorderStyle(TkxPopupBorder Value);
  bool Shadow() const { return FShadow; }
  void SetShadow(bool Value);
  int ShadowSize() const { return FShadowSize; }
  bool IsPopup() const { return FIsPopup; }
  void SetIsPopup(bool Value) { FIsPopup = Value; }
  bool DrawFrame() const { return FDrawFrame; }
  void SetDrawFrame(bool Value) { FDrawFrame = Value; }
  TkxInplaceEdit* OwnerEdit() const { return FOwnerEdit; }
  void SetOwnerEdit(TkxInplaceEdit* Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WMActivate(TMessage& Message);
  void WMKillFocus(TMessage& Message);
  void WMMouseActivate(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMSize(TWMSize& Message);
  // The form of the owner editor (nullptr without one).
  TCustomForm* OwnerForm() const;

  TkxPopupBorder FPopupBorderStyle = pbDefault;
  bool FShadow = false;
  int FShadowSize = 2;
  bool FIsPopup = false;
  bool FDrawFrame = true;
  TkxInplaceEdit* FOwnerEdit = nullptr;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate)
    PV_MESSAGE_HANDLER(WM_KILLFOCUS, TMessage, WMKillFocus)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate)
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
  END_MESSAGE_MAP(TCustomControl)
};

void kxInitContainer();
void kxDoneContainer();
