// Row kinds: each pairs a row with one in-place editor kind, keeps that
// editor's settings as published properties, copies them into the live editor,
// moves the value between row and editor and fills the view data that paints
// the kind's cells. Each kind comes as a kind row (value operations left to
// the forms), a text form holding the value in Text, and a data-aware form
// (kxdbinspkinds.h).
#pragma once

#include "inplace/kxblob.h"
#include "inplace/kxbuttonedit.h"
#include "inplace/kxcalcedit.h"
#include "inplace/kxcheck.h"
#include "inplace/kxcurrency.h"
#include "inplace/kxhyperlink.h"
#include "inplace/kxmru.h"
#include "inplace/kxtime.h"
#include "inplace/kxdate.h"
#include "inplace/kxdropdown.h"
#include "inplace/kxgraphic.h"
#include "inplace/kximage.h"
#include "inplace/kxmask.h"
#include "inplace/kxmemo.h"
#include "inplace/kxpick.h"
#include "inplace/kxpopupedit.h"
#include "inplace/kxspin.h"
#include "inspector/kxinspector.h"

// The inspector's editor of a kind: the in-place editor kind itself, under a
// class of the inspector's own so that its editors are cached apart.
#define KX_INSPECTOR_EDIT(Name, Base)                                                   \
  class Name : public Base {                                                            \
    PV_CLASS(Name, Base)                                                                \
    KX_EDIT_CLASS(Name)                                                                 \
   public:                                                                              \
    explicit Name(TComponent* AOwner) : Base(AOwner) {}                                 \
  };                                                                                    \
  class Name::TClassRef : public Base::TClassRef {                                      \
   public:                                                                              \
    TClass EditClass() const override { return Name::StaticClass(); }                   \
  };

KX_INSPECTOR_EDIT(TkxInspectorMaskEdit, TkxInplaceMaskEdit)
KX_INSPECTOR_EDIT(TkxInspectorDropDownEdit, TkxInplaceDropDownEdit)
KX_INSPECTOR_EDIT(TkxInspectorDateEdit, TkxInplaceDateEdit)
KX_INSPECTOR_EDIT(TkxInspectorCheckEdit, TkxInplaceCheckEdit)
KX_INSPECTOR_EDIT(TkxInspectorCalcEdit, TkxInplaceCalcEdit)
KX_INSPECTOR_EDIT(TkxInspectorSpinEdit, TkxInplaceSpinEdit)
KX_INSPECTOR_EDIT(TkxInspectorPickEdit, TkxInplacePickEdit)
KX_INSPECTOR_EDIT(TkxInspectorImageEdit, TkxInplaceImageEdit)
KX_INSPECTOR_EDIT(TkxInspectorPopupEdit, TkxInplacePopupEdit)
KX_INSPECTOR_EDIT(TkxInspectorMemoEdit, TkxInplaceMemoEdit)
KX_INSPECTOR_EDIT(TkxInspectorTimeEdit, TkxInplaceTimeEdit)
KX_INSPECTOR_EDIT(TkxInspectorButtonEdit, TkxInplaceButtonEdit)
KX_INSPECTOR_EDIT(TkxInspectorBlobEdit, TkxInplaceBlobEdit)
KX_INSPECTOR_EDIT(TkxInspectorGraphicEdit, TkxInplaceGraphicEdit)
KX_INSPECTOR_EDIT(TkxInspectorCurrencyEdit, TkxInplaceCurrencyEdit)
KX_INSPECTOR_EDIT(TkxInspectorHyperLinkEdit, TkxInplaceHyperLinkEdit)
KX_INSPECTOR_EDIT(TkxInspectorMRUEdit, TkxInplaceMRUEdit)

using TkxToggleEvent = TEvent<void(TObject* Sender, const AnsiString& Text, TkxCheckBoxState State)>;
using TkxInspectorPickColumnCloseUp = TEvent<void(TObject* Sender, Variant& Value, bool& Accept)>;
using TkxInspectorImageColumnCloseUp = TEvent<void(TObject* Sender, AnsiString& Value, bool& Accept)>;

// Declares the value operations of a text form (the value is its Text).
#define KX_TEXT_FORM(Name, Base)                                                      \
  class Name : public Base {                                                          \
    PV_CLASS(Name, Base)                                                              \
   public:                                                                            \
    explicit Name(TComponent* AOwner) : Base(AOwner) {}                               \
    AnsiString Text() const { return FText; }                                         \
    void SetText(const AnsiString& Value) {                                           \
      FText = Value;                                                                  \
      Changed();                                                                      \
    }                                                                                 \
    void GetDisplayText(AnsiString& T) override { T = FText; }                        \
    void GetEditText(AnsiString& T) override { T = FText; }                           \
    void SetEditText(const AnsiString& T) override {                                  \
      if (T == FText) return;                                                         \
      FText = T;                                                                      \
      Changed();                                                                      \
    }                                                                                 \
                                                                                      \
   private:                                                                           \
    AnsiString FText;                                                                 \
  };

// A bound of a value range that follows a default until it is assigned.
struct TkxRowBound {
  double Value = 0;
  bool Assigned = false;
  double Get(double Default) const { return Assigned ? Value : Default; }
  void Set(double V) {
    if (Assigned && V == Value) return;
    Value = V;
    Assigned = true;
  }
  bool Stored(double Default) const { return Assigned && Value != Default; }
  void Clear() { *this = TkxRowBound(); }
};

// ---- mask ----
class TkxInspectorMaskRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorMaskRow, TkxInspectorRow)
 public:
  explicit TkxInspectorMaskRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {}
  AnsiString EditMask();
  void SetEditMask(const AnsiString& Value);
  bool IsEditMaskStored();
  bool IsEditMaskAssigned() const { return FEditMaskAssigned; }
  bool IgnoreMaskBlank = false;
  virtual void GetDefaultEditMask(AnsiString& Mask) { Mask.clear(); }
  void Assign(TPersistent* Source) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorMaskEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void RestoreDefaults() override;

 private:
  AnsiString FEditMask;
  bool FEditMaskAssigned = false;
};

// ---- drop-down base ----
class TkxInspectorDropDownRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorDropDownRow, TkxInspectorRow)
 public:
  explicit TkxInspectorDropDownRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {}
  ~TkxInspectorDropDownRow() override;
  TBitmap* ButtonGlyph();
  void SetButtonGlyph(TBitmap* Value);
  bool IsButtonGlyphStored() const { return FButtonGlyph && !FButtonGlyph->Empty(); }
  int DropDownRows = 7;
  int DropDownWidth = 0;
  bool ImmediateDropDown = false;
  bool ImmediatePopup = false;
  TAlignment PopupAlignment = taLeftJustify;
  TkxPopupBorder PopupBorder = pbDefault;
  TNotifyEvent OnEditButtonClick;
  virtual void DoCloseUp(TObject* Sender, AnsiString& Text, bool& Accept) {}
  virtual void DoEditButtonClick(TObject* Sender);
  void Assign(TPersistent* Source) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorDropDownEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 protected:
  TBitmap* FButtonGlyph = nullptr;
};

// ---- date ----
class TkxInspectorDateRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorDateRow, TkxInspectorDropDownRow)
 public:
  explicit TkxInspectorDateRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {}
  TDateButtons DateButtons = TDateButtons{btnToday, btnClear};
  TDateOnError DateOnError = deToday;
  bool DateValidation = false;
  bool SaveTime = true;
  bool UseEditMask = false;
  TkxDateValidateInput OnDateValidateInput;
  virtual bool IsValueRequired() { return false; }
  void Assign(TPersistent* Source) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorDateEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void RestoreDefaults() override;

 private:
  void RouteDateValidateInput(TObject* Sender, const AnsiString& AText, TDateTime& ADate, AnsiString& AMessage,
                              bool& AError);
};

// ---- check ----
class TkxInspectorCheckRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorCheckRow, TkxInspectorRow)
 public:
  explicit TkxInspectorCheckRow(TComponent* AOwner);
  ~TkxInspectorCheckRow() override;
  bool AllowGrayed = false;
  bool Border3D() const { return FBorder3D; }
  void SetBorder3D(bool Value);
  TBitmap* Glyph();
  void SetGlyph(TBitmap* Value);
  bool IsGlyphStored() const { return FGlyph && !FGlyph->Empty(); }
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int Value);
  TkxShowNullFieldStyle ShowNullFieldStyle() const { return FShowNullFieldStyle; }
  void SetShowNullFieldStyle(TkxShowNullFieldStyle Value);
  AnsiString ValueChecked() const { return FValueChecked; }
  void SetValueChecked(const AnsiString& Value);
  AnsiString ValueGrayed() const { return FValueGrayed; }
  void SetValueGrayed(const AnsiString& Value);
  AnsiString ValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const AnsiString& Value);
  TkxToggleEvent OnToggleClick;
  TkxCheckBoxState StateOfText(const AnsiString& Text) const;
  AnsiString TextOfState(TkxCheckBoxState State) const;
  void Assign(TPersistent* Source) override;
  void DoChange(TObject* Sender) override;
  int GetMinRowHeight(TCanvas* Canvas) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorCheckEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  bool IsTextClipped(bool IsValue, const TRect& CellRect, AnsiString& Text) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  bool FBorder3D = false;
  TBitmap* FGlyph = nullptr;
  int FGlyphCount = 6;
  TkxShowNullFieldStyle FShowNullFieldStyle = nsUnchecked;
  AnsiString FValueChecked, FValueGrayed, FValueUnchecked;
};

// ---- calculator ----
class TkxInspectorCalcRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorCalcRow, TkxInspectorDropDownRow)
 public:
  explicit TkxInspectorCalcRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {}
  bool BeepOnError = true;
  TkxButtonStyle ButtonStyle = bsStandard;
  Byte Precision = 13;
  bool QuickClose = false;
  bool ShowButtonFrame = false;
  void Assign(TPersistent* Source) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorCalcEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void RestoreDefaults() override;
};

// ---- spin ----
class TkxInspectorSpinRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorSpinRow, TkxInspectorRow)
 public:
  explicit TkxInspectorSpinRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {}
  bool EditorEnabled = true;
  double Increment = 1;
  bool UseCtrlIncrement = true;
  double MinValue();
  void SetMinValue(double Value);
  double MaxValue();
  void SetMaxValue(double Value);
  bool IsMinValueStored();
  bool IsMaxValueStored();
  virtual double GetDefaultMinValue() { return 0; }
  virtual double GetDefaultMaxValue() { return 0; }
  virtual TkxValueType GetValueType() { return vtInt; }
  void Assign(TPersistent* Source) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorSpinEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  TkxRowBound FMin, FMax;
};

// ---- pick ----
class TkxInspectorPickRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorPickRow, TkxInspectorDropDownRow)
 public:
  explicit TkxInspectorPickRow(TComponent* AOwner);
  ~TkxInspectorPickRow() override;
  bool DropDownListStyle = false;
  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* Value);
  bool CanDeleteText = false;
  bool Revertable = true;
  bool Sorted = false;
  TkxInspectorPickColumnCloseUp OnCloseUp;
  void Assign(TPersistent* Source) override;
  void DoCloseUp(TObject* Sender, AnsiString& Text, bool& Accept) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorPickEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void RestoreDefaults() override;

 private:
  TStringList* FItems = nullptr;
};

// ---- image ----
class TkxInspectorImageRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorImageRow, TkxInspectorDropDownRow)
 public:
  explicit TkxInspectorImageRow(TComponent* AOwner);
  ~TkxInspectorImageRow() override;
  bool DefaultImages() const { return FDefaultImages; }
  void SetDefaultImages(bool Value);
  TStrings* Descriptions() const { return FDescriptions; }
  void SetDescriptions(TStrings* Value);
  TStrings* ImageIndexes() const { return FImageIndexes; }
  void SetImageIndexes(TStrings* Value);
  TStrings* Values() const { return FValues; }
  void SetValues(TStrings* Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  bool MultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool Value);
  bool ShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool Value);
  int ListWidth() const { return DropDownWidth; }
  void SetListWidth(int Value) { DropDownWidth = Value; }
  TkxInspectorImageColumnCloseUp OnCloseUp;
  void Assign(TPersistent* Source) override;
  void DoCloseUp(TObject* Sender, AnsiString& Text, bool& Accept) override;
  int GetMinRowHeight(TCanvas* Canvas) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorImageEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  bool IsTextClipped(bool IsValue, const TRect& CellRect, AnsiString& Text) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void ListsChanged(TObject* Sender) { Changed(); }
  void ImagesChanged(TObject* Sender) { Changed(); }
  bool FDefaultImages = true;
  TStringList* FDescriptions = nullptr;
  TStringList* FImageIndexes = nullptr;
  TStringList* FValues = nullptr;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TChangeLink* FImagesLink = nullptr;
  TChangeLink* FLargeImagesLink = nullptr;
  bool FMultiLineText = false;
  bool FShowDescription = false;
};

// ---- pop-up ----
class TkxInspectorPopupRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorPopupRow, TkxInspectorDropDownRow)
 public:
  explicit TkxInspectorPopupRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {}
  bool HideEditCursor = false;
  bool PopupAutoSize = true;
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);
  TkxPopupEditFormBorderStyle PopupFormBorderStyle = pbsDialog;
  AnsiString PopupFormCaption;
  bool PopupFormClientEdge = false;
  bool PopupFormFlatBorder = true;
  bool PopupFormSizeable = true;
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int Value) { FPopupHeight = std::max(Value, FPopupMinHeight); }
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int Value) {
    FPopupMinHeight = std::max(Value, 0);
    SetPopupHeight(FPopupHeight);
  }
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int Value) {
    FPopupMinWidth = std::max(Value, 0);
    SetPopupWidth(FPopupWidth);
  }
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int Value) { FPopupWidth = std::max(Value, FPopupMinWidth); }
  TkxPopupEditCloseQueryEvent OnCloseQuery;
  TkxPopupEditCloseUpEvent OnCloseUp;
  TNotifyEvent OnInitPopup;
  TkxPopupEditPopupEvent OnPopup;
  virtual void DoPopupCloseQuery(TObject* Sender, bool& CanClose);
  virtual void DoPopupCloseUp(TObject* Sender, AnsiString& Text, bool& Accept);
  virtual void DoInitPopup(TObject* Sender);
  virtual void DoPopup(TObject* Sender, const AnsiString& EditText);
  void Assign(TPersistent* Source) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorPopupEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void RestoreDefaults() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TControl* FPopupControl = nullptr;
  int FPopupHeight = 200, FPopupMinHeight = 100, FPopupMinWidth = 100, FPopupWidth = 250;
};

// ---- memo ----
class TkxInspectorMemoRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorMemoRow, TkxInspectorRow)
 public:
  explicit TkxInspectorMemoRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {}
  bool HideScrollBars = true;
  TScrollStyle ScrollBars = ssNone;
  bool SelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool Value);
  bool WantReturns = true;
  bool WantTabs = false;
  bool WordWrap = true;
  virtual void GetMemoText(AnsiString& Text) { GetEditText(Text); }
  void Assign(TPersistent* Source) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorMemoEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  bool FSelectionBar = false;
};

// ---- button ----
enum TkxEditButtonStyle { ebsSimple, ebsEllipsis, ebsDown, ebsGlyph };

class TkxInspectorButtonRow;

// The button collection of a button row: a change of its buttons changes the row.
class TkxRowEditButtons : public TkxEditButtons {
  PV_CLASS(TkxRowEditButtons, TkxEditButtons)
 public:
  TkxRowEditButtons() = default;
  explicit TkxRowEditButtons(TComponent* AOwner) : TkxEditButtons(AOwner, TkxEditButton::StaticClass()) {}
  void Update(TCollectionItem* Item) override;
};

class TkxInspectorButtonRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorButtonRow, TkxInspectorDropDownRow)
 public:
  explicit TkxInspectorButtonRow(TComponent* AOwner);
  ~TkxInspectorButtonRow() override;
  bool ButtonOnly() const { return FButtonOnly; }
  void SetButtonOnly(bool Value);
  TkxRowEditButtons* Buttons() const { return FButtons; }
  void SetButtons(TkxEditButtons* Value) { FButtons->Assign(Value); }
  TkxEditButtonStyle EditButtonStyle() const { return FEditButtonStyle; }
  void SetEditButtonStyle(TkxEditButtonStyle Value);
  TShortCut ClickKey = 16397;
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  bool HideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool Value);
  TkxEditButtonClickEvent OnButtonClick;
  virtual void DoButtonClick(TObject* Sender, int AbsoluteIndex);
  void Assign(TPersistent* Source) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorButtonEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  bool FButtonOnly = false;
  TkxRowEditButtons* FButtons = nullptr;
  TkxEditButtonStyle FEditButtonStyle = ebsEllipsis;
  TBitmap* FGlyph = nullptr;
  bool FHideEditCursor = false;
};

// ---- blob ----
using TkxInspectorBlobRowAssignPictureEvent = TEvent<void(TObject* Sender, TPicture*& Picture)>;
using TkxInspectorBlobRowGetGraphicClassEvent = TEvent<void(TObject* Sender, TClass& GraphicClass)>;

class TkxInspectorCustomBlobRow : public TkxInspectorDropDownRow {
  PV_CLASS(TkxInspectorCustomBlobRow, TkxInspectorDropDownRow)
 public:
  explicit TkxInspectorCustomBlobRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {}
  bool AlwaysSaveText = false;
  TkxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TkxBlobPaintStyle Value);
  TkxBlobEditKind BlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TkxBlobEditKind Value);
  int MaxDisplayLength = 255;
  TEditCharCase MemoCharCase = TEditCharCase::ecNormal;
  bool MemoHideScrollBars = true;
  int MemoMaxLength = 0;
  bool MemoOEMConvert = false;
  TScrollStyle MemoScrollBars = ssBoth;
  bool MemoSelectionBar = false;
  bool MemoWantReturns = true;
  bool MemoWantTabs = true;
  bool MemoWordWrap = true;
  bool PictureAutoSize = true;
  AnsiString PictureFilter;
  TkxGraphicEditTransparency PictureTransparency = gtDefault;
  int PopupHeight = 140;
  int PopupWidth = 200;
  bool ShowExPopupItems = false;
  bool ShowPicturePopup = false;
  bool SizeablePopup = true;
  UINT PictureClipFormat = 0;
  TClass PictureGraphicClass = nullptr;
  TkxInspectorBlobRowAssignPictureEvent OnAssignPicture;
  TkxInspectorBlobRowGetGraphicClassEvent OnGetGraphicClass;
  virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
  virtual void DoGetGraphicClass(TObject* Sender, TClass& GraphicClass);
  virtual void SavePopupSize(TObject* Edit);
  virtual void GetBlobValue(Variant& Value) { Value = Variant(EditText()); }
  virtual TkxBlobEditKind GetBlobEditKind() { return FBlobEditKind; }
  virtual void GetBlobDisplayText(AnsiString& Text) { GetDisplayText(Text); }
  virtual TClass GetGraphicClass();
  void Assign(TPersistent* Source) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorBlobEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  TkxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  TkxBlobEditKind FBlobEditKind = bekMemo;
};

// ---- graphic ----
class TkxInspectorGraphicRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorGraphicRow, TkxInspectorRow)
 public:
  explicit TkxInspectorGraphicRow(TComponent* AOwner);
  ~TkxInspectorGraphicRow() override;
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  AnsiString CustomFilter;
  bool CustomGraphic() const { return FCustomGraphic; }
  void SetCustomGraphic(bool Value);
  bool DblClickActivate = true;
  TkxGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TkxGraphicEditTransparency Value);
  TkxPopupToolBarWindow* PopupToolBar() const { return FPopupToolBar; }
  void SetPopupToolBar(TkxPopupToolBarWindow* Value) { FPopupToolBar->Assign(Value); }
  bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
  void SetPopupToolbarPosStored(bool Value);
  bool QuickDraw() const { return FQuickDraw; }
  void SetQuickDraw(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  TPoint ToolbarPos = kxPoint(-10000, -10000);
  UINT PictureClipFormat = 0;
  TPicture* Picture() const { return FPicture; }
  TkxGraphicEditAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TkxGraphicEditGetGraphicClassEvent OnGetGraphicClass;
  virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
  virtual void DoCustomClick(TObject* Sender);
  virtual void DoGetGraphicClass(TObject* Sender, TClass& GraphicClass);
  virtual TClass GetGraphicClass();
  virtual void GetGraphicValue(Variant& Value) { Value = Variant(EditText()); }
  void Assign(TPersistent* Source) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorGraphicEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  bool FCenter = true;
  bool FCustomGraphic = false;
  TkxGraphicEditTransparency FGraphicTransparency = gtDefault;
  TkxPopupToolBarWindow* FPopupToolBar = nullptr;
  bool FPopupToolbarPosStored = true;
  bool FQuickDraw = false;
  bool FStretch = true;
  TPicture* FPicture = nullptr;
};

// ---- time ----
class TkxInspectorTimeRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorTimeRow, TkxInspectorRow)
 public:
  explicit TkxInspectorTimeRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {}
  TkxTimeEditFormat TimeEditFormat = tfHourMinSec;
  bool UseCtrlIncrement = true;
  void Assign(TPersistent* Source) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorTimeEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void RestoreDefaults() override;
};

// ---- currency ----
class TkxInspectorCurrencyRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorCurrencyRow, TkxInspectorRow)
 public:
  explicit TkxInspectorCurrencyRow(TComponent* AOwner);
  unsigned DecimalPlaces = 2;
  AnsiString DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const AnsiString& Value);
  bool IsDisplayFormatStored() const { return FDisplayFormatAssigned; }
  double MinValue();
  void SetMinValue(double Value);
  double MaxValue();
  void SetMaxValue(double Value);
  bool IsMinValueStored();
  bool IsMaxValueStored();
  bool UseThousandSeparator = false;
  bool Nullable() const { return FNullable; }
  void SetNullable(bool Value);
  AnsiString NullString() const { return FNullString; }
  void SetNullString(const AnsiString& Value);
  virtual void GetValue(Variant& Value);
  void WinIniChanged() override;
  virtual double GetDefaultMinValue() { return 0; }
  virtual double GetDefaultMaxValue() { return 0; }
  void Assign(TPersistent* Source) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorCurrencyEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  AnsiString FDisplayFormat;
  bool FDisplayFormatAssigned = false;
  TkxRowBound FMin, FMax;
  bool FNullable = false;
  AnsiString FNullString;
};

// ---- hyperlink ----
class TkxInspectorHyperLinkRow : public TkxInspectorRow {
  PV_CLASS(TkxInspectorHyperLinkRow, TkxInspectorRow)
 public:
  explicit TkxInspectorHyperLinkRow(TComponent* AOwner);
  ~TkxInspectorHyperLinkRow() override;
  TColor EditBackgroundColor() const { return FEditBackgroundColor; }
  void SetEditBackgroundColor(TColor Value);
  TColor EditFontColor() const { return FEditFontColor; }
  void SetEditFontColor(TColor Value);
  bool SingleClick() const { return FSingleClick; }
  void SetSingleClick(bool Value);
  TShortCut StartKey = 16397;
  TNotifyEvent OnStartClick;
  TFont* LinkFont() const { return FLinkFont; }
  virtual void DoStartClick(TObject* Sender);
  void Assign(TPersistent* Source) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorHyperLinkEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  void RebuildLinkFont();
  TColor FEditBackgroundColor = TColor(16777215);
  TColor FEditFontColor = TColor(16711680);
  bool FSingleClick = false;
  TFont* FLinkFont = nullptr;
};

// ---- most recently used ----
class TkxInspectorMRURow : public TkxInspectorPickRow {
  PV_CLASS(TkxInspectorMRURow, TkxInspectorPickRow)
 public:
  explicit TkxInspectorMRURow(TComponent* AOwner) : TkxInspectorPickRow(AOwner) { ImmediateDropDown = false; }
  int MaxItemCount = 7;
  bool ShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool Value);
  TNotifyEvent OnButtonClick;
  virtual void DoButtonClick(TObject* Sender);
  void Assign(TPersistent* Source) override;
  void SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) override;
  const TkxInplaceEditClass* GetEditClass() const override { return TkxInspectorMRUEdit::ClassRef(); }
  void InitEditProperties(TkxInplaceEdit* Edit) override;
  void PrepareViewData(TkxEditViewData* ViewData, TkxInspectorCellViewData* Cell) override;
  void RestoreDefaults() override;

 private:
  bool FShowEllipsis = true;
};

KX_TEXT_FORM(TkxInspectorTextButtonRow, TkxInspectorButtonRow)
KX_TEXT_FORM(TkxInspectorTextBlobRow, TkxInspectorCustomBlobRow)
KX_TEXT_FORM(TkxInspectorTextTimeRow, TkxInspectorTimeRow)
KX_TEXT_FORM(TkxInspectorTextGraphicRow, TkxInspectorGraphicRow)
KX_TEXT_FORM(TkxInspectorTextCurrencyRow, TkxInspectorCurrencyRow)
KX_TEXT_FORM(TkxInspectorTextHyperLinkRow, TkxInspectorHyperLinkRow)
KX_TEXT_FORM(TkxInspectorTextMRURow, TkxInspectorMRURow)
KX_TEXT_FORM(TkxInspectorTextMaskRow, TkxInspectorMaskRow)
KX_TEXT_FORM(TkxInspectorTextDateRow, TkxInspectorDateRow)
KX_TEXT_FORM(TkxInspectorTextCheckRow, TkxInspectorCheckRow)
KX_TEXT_FORM(TkxInspectorTextCalcRow, TkxInspectorCalcRow)
KX_TEXT_FORM(TkxInspectorTextPickRow, TkxInspectorPickRow)
KX_TEXT_FORM(TkxInspectorTextImageRow, TkxInspectorImageRow)
KX_TEXT_FORM(TkxInspectorTextPopupRow, TkxInspectorPopupRow)
KX_TEXT_FORM(TkxInspectorTextMemoRow, TkxInspectorMemoRow)

class TkxInspectorTextSpinRow : public TkxInspectorSpinRow {
  PV_CLASS(TkxInspectorTextSpinRow, TkxInspectorSpinRow)
 public:
  explicit TkxInspectorTextSpinRow(TComponent* AOwner) : TkxInspectorSpinRow(AOwner) {}
  AnsiString Text() const { return FText; }
  void SetText(const AnsiString& Value) {
    FText = Value;
    Changed();
  }
  TkxValueType ValueType = vtInt;
  TkxValueType GetValueType() override { return ValueType; }
  void GetDisplayText(AnsiString& T) override { T = FText; }
  void GetEditText(AnsiString& T) override { T = FText; }
  void SetEditText(const AnsiString& T) override {
    if (T == FText) return;
    FText = T;
    Changed();
  }
  void Assign(TPersistent* Source) override;
  void RestoreDefaults() override;

 private:
  AnsiString FText;
};

// The default check strings ("True" and "False" from the string table).
AnsiString kxInspectorCheckedText();
AnsiString kxInspectorUncheckedText();
void SetInspectorCheckTexts(const AnsiString& Checked, const AnsiString& Unchecked);

void kxInitInspectorKinds();
void kxDoneInspectorKinds();
