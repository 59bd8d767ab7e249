// The blob editor: a record's blob value (a memo text, a picture's bytes, an
// OLE object or raw data) shown in a cell as an icon or as text, with memos
// and pictures edited in a pop-up under the cell. The pop-up is a plain-text
// rich-edit window for memos or a scrolling picture view, with a panel of OK,
// Cancel or Close buttons, a size grip and a context menu.
#pragma once

#include "inplace/kxdropdown.h"
#include "inplace/kxgraphic.h"

enum TkxBlobEditKind { bekMemo, bekPict, bekOle, bekBlob };
PV_ENUM_NAMES(TkxBlobEditKind, "bekMemo bekPict bekOle bekBlob")
enum TkxBlobPaintStyle { bpsDefault, bpsIcon, bpsText };
PV_ENUM_NAMES(TkxBlobPaintStyle, "bpsDefault bpsIcon bpsText")

// The panel buttons of the pop-up.
enum TkxBlobPopupButton { bpbOk, bpbCancel, bpbClose };
using TkxBlobPopupButtons = TSet<TkxBlobPopupButton>;

class TkxInplaceBlobEdit;

class TCustomkxBlobPopup : public TkxInplacePopupControl {
  PV_CLASS(TCustomkxBlobPopup, TkxInplacePopupControl)
 public:
  explicit TCustomkxBlobPopup(TComponent* AOwner);
  ~TCustomkxBlobPopup() override;

  // Settings given by the editor at each drop-down.
  TkxBlobEditKind Kind = bekMemo;
  bool Sizeable = true;
  bool AlwaysSave = true;
  TEditCharCase CharCase = TEditCharCase::ecNormal;
  bool HideScrollBars = true;
  int MaxLength = 0;
  bool OEMConvert = false;
  TScrollStyle ScrollBars = ssNone;
  bool SelectionBar = true;
  bool WantReturns = true;
  bool WantTabs = true;
  bool WordWrap = true;
  bool AutoSize = true;
  UINT ClipFormat = 0;
  TClass GraphicClass = nullptr;
  TkxGraphicEditTransparency GraphicTransparency = gtDefault;
  AnsiString PictureFilter;
  TNotifyEvent OnSave;    // the editor's SaveBlob
  TNotifyEvent OnClosed;  // the editor stores the pop-up's size

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);
  bool Saved() const { return FSaved; }
  void SetSaved(bool Value) { FSaved = Value; }
  AnsiString SavedText() const { return FSavedText; }
  void SetSavedText(const AnsiString& Value) { FSavedText = Value; }
  TkxBlobPopupButtons Buttons() const { return FReadOnly ? TkxBlobPopupButtons{bpbClose} : TkxBlobPopupButtons{bpbOk, bpbCancel}; }
  TPicture* Picture();
  bool HasPicture() const { return FPicture != nullptr; }
  // The memo's text (the window's text).
  AnsiString MemoText();
  void SetMemoText(const AnsiString& Value);
  Byte Corner() const { return FCorner; }
  int PanelHeight() const { return FPanelHeight; }
  TPoint ScrollPos() const { return kxPoint(FScrollX, FScrollY); }
  int MinWidth() const { return FMinWidth; }
  int MinHeight() const { return FMinHeight; }
  bool OkEnabled() const { return FModified; }
  // A panel button's rectangle in window coordinates (empty when not shown).
  TRect ButtonRect(TkxBlobPopupButton B, bool ForHitTest);
  TPopupMenu* ContextMenu();

  // Computes the metrics and places the pop-up at P (the editor's bottom-left corner).
  void SetupPopupBounds(const TPoint& P, int W, int H);
  virtual void PanelButtonClick(int Index);
  virtual void Changed();
  virtual void ApplyCharCase();
  virtual void DoClosed();
  virtual void SaveText();
  virtual void SetTextLimit(int Limit);
  // The picture commands (cut, copy, paste, delete, load, save) and the memo ones.
  void PictureCommand(int Index);
  void ShowPopup() override;
  void ClosePopup() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void Paint() override;
  void PictureChanged(TObject* Sender);
  void ComputePanelMetrics();
  void PaintPanel(HDC DC);
  TRect PanelRect();  // window coordinates
  int BorderWidth() const;
  void ScrollPicture(int Bar, int Code);
  void SetScrollOffsets(int X, int Y);
  void UpdatePictureScrollBars();
  void MenuItemClick(TObject* Sender);
  bool IsMemo() const { return Kind != bekPict; }

  bool FReadOnly = false;
  bool FModified = false;
  bool FSaved = false;
  AnsiString FSavedText;
  TPicture* FPicture = nullptr;
  TBitmap* FTransparentBitmap = nullptr;
  int FScrollX = 0, FScrollY = 0;
  int FPanelHeight = 26;
  int FMinWidth = 0, FMinHeight = 0;
  int FMargin = 4, FGripWidth = 0, FGap = 0, FSpacing = 0, FButtonHeight = 0, FButtonWidth = 0;
  Byte FCorner = 3;
  int FPressed = -1;      // the button held down
  bool FPressedDrawn = false;
  bool FTracking = false;
  bool FCreating = false;
  bool FSettingTransparency = false;
  bool FKeepModified = false;
  TPopupMenu* FMenu = nullptr;
  AnsiString FPendingText;

  void WMNCCalcSize2(TMessage& Message);
  void WMNCPaint2(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMNCLButtonDblClk(TMessage& Message);
  void WMMouseMove(TWMMouse& Message);
  void WMLButtonUp(TWMMouse& Message);
  void WMGetMinMaxInfo(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMHScroll(TMessage& Message);
  void WMVScroll(TMessage& Message);
  void WMSize2(TWMSize& Message);
  void WMContextMenu(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CNCommand(TWMCommand& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize2)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint2)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDOWN, TMessage, WMNCLButtonDown)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, TMessage, WMNCLButtonDblClk)
    PV_MESSAGE_HANDLER(WM_MOUSEMOVE, TWMMouse, WMMouseMove)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TWMMouse, WMLButtonUp)
    PV_MESSAGE_HANDLER(WM_GETMINMAXINFO, TMessage, WMGetMinMaxInfo)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_HSCROLL, TMessage, WMHScroll)
    PV_MESSAGE_HANDLER(WM_VSCROLL, TMessage, WMVScroll)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize2)
    PV_MESSAGE_HANDLER(WM_CONTEXTMENU, TMessage, WMContextMenu)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
  END_MESSAGE_MAP(TkxInplacePopupControl)
};

class TkxBlobEditViewData : public TkxDropDownEditViewData {
  PV_CLASS(TkxBlobEditViewData, TkxDropDownEditViewData)
 public:
  TkxBlobEditViewData() = default;
  TkxBlobEditKind EditKind = bekMemo;
  TkxBlobPaintStyle PaintStyle = bpsIcon;
  TCustomImageList* IconList = nullptr;
  bool IsEmpty = true;
};

using TkxBlobAssignPictureEvent = TEvent<void(TObject* Sender, TPicture*& Picture)>;
using TkxBlobGetGraphicClassEvent = TEvent<void(TObject* Sender, TClass& GraphicClass)>;

class TkxInplaceBlobEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplaceBlobEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplaceBlobEdit)
 public:
  explicit TkxInplaceBlobEdit(TComponent* AOwner);
  ~TkxInplaceBlobEdit() override;

  int PopupWidth = 200, PopupHeight = 140;
  bool SizeablePopup = true;
  bool AlwaysSaveText = true;
  TEditCharCase MemoCharCase = TEditCharCase::ecNormal;
  bool MemoHideScrollBars = true;
  int MemoMaxLength = 0;
  bool MemoOEMConvert = false;
  TScrollStyle MemoScrollBars = ssNone;
  bool MemoSelectionBar = true;
  bool MemoWantReturns = true;
  bool MemoWantTabs = true;
  bool MemoWordWrap = true;
  bool PictureAutoSize = true;
  UINT PictureClipFormat;
  TClass PictureClass = nullptr;
  AnsiString PictureFilter;
  TkxGraphicEditTransparency PictureTransparency = gtDefault;
  bool ShowExPopupItems = true;
  bool ShowPicturePopup = true;
  TkxBlobAssignPictureEvent OnAssignPicture;
  TkxBlobGetGraphicClassEvent OnGetGraphicClass;
  TNotifyEvent OnPopupSizeChanged;

  AnsiString BlobText() const { return FBlobText; }
  void SetBlobText(const AnsiString& S);
  TkxBlobEditKind BlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TkxBlobEditKind Value);
  TkxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TkxBlobPaintStyle Value);
  void SetDisplayText(const AnsiString& S);
  TCustomkxBlobPopup* Popup() const { return FPopup; }

  virtual bool IsEmptyValue(const Variant& Value);
  virtual void DoAssignPicture(TPicture*& Picture);
  virtual TClass GetGraphicClass();
  virtual void SetPopupSize(int W, int H);
  virtual void SaveBlob(TObject* Sender);

  void DropDown() override;
  void CloseUp(bool) override {}
  TkxEditViewData* CreateViewData(bool FromData) override;
  void SetEditValue(const Variant& Value) override;
  void GetEditValue(Variant& Value) override;
  void GetEditingValue(Variant& Value, bool FromData) override;
  bool IsTextEditing() override { return false; }

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void StorePopupSize(TObject* Sender);

  AnsiString FBlobText;
  TkxBlobEditKind FBlobEditKind = bekMemo;
  TkxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  TCustomkxBlobPopup* FPopup = nullptr;
  TPicture* FScratchPicture = nullptr;

  void WMGetDlgCode3(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode3)
  END_MESSAGE_MAP(TkxInplaceDropDownEdit)
};

class TkxInplaceBlobEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceBlobEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxBlobEditViewData::StaticClass(); }
  void CalcButtons(TkxDropDownEditViewData* ViewData) const override;
  bool DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* ViewData) const override;
};

// The icon of a blob cell in kxBlobImages: memo 3, picture 5, OLE 7, blob 1; one less when empty.
int kxBlobIconIndex(TkxBlobEditKind Kind, bool Empty);

void kxInitBlobEdit();
void kxDoneBlobEdit();
