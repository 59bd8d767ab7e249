// The pop-up list boxes of the drop-down editors (topmost, frameless windows
// that never take the focus, with their own frame and shadow and a selection
// that follows the mouse) and the image editor, which picks one of a fixed
// set of value texts shown as images with descriptions.
#pragma once

#include "inplace/kxdropdown.h"
#include "platform/controls/imglist.h"

class TCustomkxPopupListBox : public TCustomListBox {
  PV_CLASS(TCustomkxPopupListBox, TCustomListBox)
 public:
  explicit TCustomkxPopupListBox(TComponent* AOwner);
  // The window that owns the list and hears its notifications (the editor).
  TWinControl* OwnerControl() const { return FOwnerControl; }
  void SetOwnerControl(TWinControl* Value) { FOwnerControl = Value; }
  TkxPopupBorder PopupBorder() const { return FPopupBorder; }
  void SetPopupBorder(TkxPopupBorder Value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { FHotTrack = Value; }
  int ItemPixelHeight() const { return FItemPixelHeight; }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool Value);
  int ShadowWidth() const { return FShadowWidth; }
  // Measures the item height (every item has the same) and applies it.
  void UpdateItemHeight();
  // The width of the frame and shadow around the client area.
  int NonClientWidth() const;
  int NonClientHeight() const;
  void SetClientSizeOfPopup(int W, int H);
  void CreateParams(TCreateParams& Params) override;

 protected:
  void CreateWndDone() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  virtual int MeasureItemHeight();
  TWinControl* FOwnerControl = nullptr;
  TkxPopupBorder FPopupBorder = pbDefault;
  bool FHotTrack = true;
  int FItemPixelHeight = 0;
  bool FShadow = false;
  int FShadowWidth = 2;

  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMSize(TWMSize& Message);
  void WMMouseActivate(TMessage& Message);
  void CMHintShow(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate)
    PV_MESSAGE_HANDLER(CM_HINTSHOW, TMessage, CMHintShow)
  END_MESSAGE_MAP(TCustomListBox)
};

// The steps every list editor shares: focus the editor (false when the focus
// did not arrive), give the list the editor's colour, font, pop-up border and
// shadow, show it at its place without activation, and hide it again (the
// mouse capture cancelled, the editor refocused).
bool kxFocusForPopupList(TkxInplaceDropDownEdit* Editor);
void kxPreparePopupList(TkxInplaceDropDownEdit* Editor, TCustomkxPopupListBox* List);
void kxShowPopupList(TCustomkxPopupListBox* List);
void kxHidePopupList(TkxInplaceDropDownEdit* Editor, TCustomkxPopupListBox* List);

class TkxPopupImageListBox : public TCustomkxPopupListBox {
  PV_CLASS(TkxPopupImageListBox, TCustomkxPopupListBox)
 public:
  explicit TkxPopupImageListBox(TComponent* AOwner);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool MultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool Value) { FMultiLineText = Value; }

 protected:
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  int MeasureItemHeight() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TCustomImageList* FImages = nullptr;
  bool FMultiLineText = false;
};

class TkxImageEditViewData : public TkxDropDownEditViewData {
  PV_CLASS(TkxImageEditViewData, TkxDropDownEditViewData)
 public:
  TkxImageEditViewData() = default;
  bool DefaultImages = true;
  TStrings* Descriptions = nullptr;  // not owned
  TStrings* ImageIndexes = nullptr;
  TCustomImageList* Images = nullptr;
  bool ShowDescription = true;
  TStrings* Values = nullptr;
};

class TkxInplaceImageEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplaceImageEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplaceImageEdit)
 public:
  explicit TkxInplaceImageEdit(TComponent* AOwner);
  ~TkxInplaceImageEdit() override;

  bool DefaultImages() const { return FDefaultImages; }
  void SetDefaultImages(bool Value);
  TStrings* Descriptions() const { return FDescriptions.get(); }
  void SetDescriptions(TStrings* Value);
  TStrings* ImageIndexes() const { return FImageIndexes.get(); }
  void SetImageIndexes(TStrings* Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  bool MultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool Value);
  bool ShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool Value);
  TStrings* Values() const { return FValues.get(); }
  void SetValues(TStrings* Value);
  TkxPopupImageListBox* ListBox() const { return FListBox; }

  // The description index and image index of a value text.
  static void LookupValueIndexes(const AnsiString& Text, TStrings* ImageIndexes, int& DescriptionIndex,
                                 int& ImageIndex, bool DefaultImages, TStrings* Values, TStrings* Descriptions);
  virtual void SetValueText(const AnsiString& Text);

  TkxEditViewData* CreateViewData(bool FromData) override;
  bool IsTextEditing() override { return false; }
  bool CanReset() override { return true; }
  void CloseUp(bool Accept) override;
  void StepItem(int Delta, bool Cyclic) override;
  void DropDown() override;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void FillPopupList();
  void ImagesChanged(TObject* Sender);
  bool FDefaultImages = true;
  std::unique_ptr<TStringList> FDescriptions, FImageIndexes, FValues;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  bool FMultiLineText = false;
  bool FShowDescription = true;
  TkxPopupImageListBox* FListBox = nullptr;
  std::unique_ptr<TChangeLink> FImagesLink, FLargeImagesLink;

  void WMGetDlgCode3(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode3)
  END_MESSAGE_MAP(TkxInplaceDropDownEdit)
};

class TkxInplaceImageEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceImageEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxImageEditViewData::StaticClass(); }
  bool DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* ViewData) const override;
  int GetMinHeight(TkxEditViewData* ViewData) const override;
};

void kxInitImageEdit();
