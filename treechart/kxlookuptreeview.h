// Lookup tree edits: a one-line box with a drop-down button whose drop-down
// is a sizeable data-aware tree over a list dataset. The user opens it, picks
// a node, and the box shows the node's text (or its whole path); the node's
// key becomes the edit's value, and the data-aware edit writes that value into
// a field of another dataset.
//
// The drop-down is a pop-up window with a strip at its top or bottom that
// carries a size grip (on the side away from the edit) and a close button;
// it is bound to the list dataset only while it is open.
#pragma once

#include <memory>

#include "platform/db/db.h"
#include "treechart/kxdbtreeview.h"

class TCustomkxVTreeViewEdit;
class TCustomkxLookupTreeView;

enum TTVTextStyle { tvtsShort, tvtsFull };
PV_ENUM_NAMES(TTVTextStyle, "tvtsShort tvtsFull")

using TkxTreeViewCloseUp = TEvent<void(TObject* Sender, bool Accept)>;

// The drop-down window: a data-aware tree that draws and hit-tests the grip
// and close-button strip in its frame while its edit is dropped down.
class TPopupDBTreeView : public TkxDBTreeView {
  PV_CLASS(TPopupDBTreeView, TkxDBTreeView)
 public:
  explicit TPopupDBTreeView(TComponent* AOwner);
  TCustomkxVTreeViewEdit* Edit() const { return FEdit; }
  Byte GripCorner() const { return FGripCorner; }
  // Screen rectangles of the close button and of the grip's hit area.
  TRect CloseRect() const { return FCloseRect; }
  TRect GripRect() const { return FGripRect; }
  bool CloseHot() const { return FCloseHot; }
  bool ClosePressed() const { return FClosePressed; }
  // The pop-up sits on no form: it takes the focus into its own window.
  void SetFocus() override;

 protected:
  friend class TCustomkxVTreeViewEdit;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void Click() override;
  bool CanChange(TTreeNode* Node) override;
  bool DroppedDown() const;
  void RepaintFrame();
  void WndProc(TMessage& Message) override;

  void WMNCCalcSize(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMNCHitTest(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMLButtonUp(TMessage& Message);
  void WMCaptureChanged(TMessage& Message);
  void WMNCMouseLeave(TMessage& Message);
  void WMNCMouseMove(TMessage& Message);
  void WMGetMinMaxInfo(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMMouseActivate(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);

  TCustomkxVTreeViewEdit* FEdit = nullptr;
  int FScrollWidth = 0, FScrollHeight = 0;  // scroll-bar metrics at window creation
  TRect FCloseRect{}, FGripRect{};
  bool FClosePressed = false, FCloseHot = false;
  bool FTrackingLeave = false;
  Byte FGripCorner = 3;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_NCCALCSIZE, TMessage, WMNCCalcSize)
    PV_MESSAGE_HANDLER(WM_NCPAINT, TMessage, WMNCPaint)
    PV_MESSAGE_HANDLER(WM_NCHITTEST, TMessage, WMNCHitTest)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDOWN, TMessage, WMNCLButtonDown)
    PV_MESSAGE_HANDLER(WM_LBUTTONUP, TMessage, WMLButtonUp)
    PV_MESSAGE_HANDLER(WM_CAPTURECHANGED, TMessage, WMCaptureChanged)
    PV_MESSAGE_HANDLER(WM_NCMOUSELEAVE, TMessage, WMNCMouseLeave)
    PV_MESSAGE_HANDLER(WM_NCMOUSEMOVE, TMessage, WMNCMouseMove)
    PV_MESSAGE_HANDLER(WM_GETMINMAXINFO, TMessage, WMGetMinMaxInfo)
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TkxDBTreeView)
};

// The edit box, its button, dropping down and closing up, and the pop-up
// tree's look.
class TCustomkxVTreeViewEdit : public TCustomControl {
  PV_CLASS(TCustomkxVTreeViewEdit, TCustomControl)
 public:
  explicit TCustomkxVTreeViewEdit(TComponent* AOwner);
  ~TCustomkxVTreeViewEdit() override;

  bool CanSelectParents() const { return FCanSelectParents; }
  void SetCanSelectParents(bool Value) { FCanSelectParents = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  int ButtonWidth() const { return FButtonWidth; }
  char DividedChar() const { return FDividedChar; }
  void SetDividedChar(char Value);
  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int Value) { FDropDownRows = Value; }
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int Value) { FDropDownWidth = Value; }
  bool DroppedDown() const { return FDroppedDown; }
  const AnsiString& Text() const { return FText; }
  void SetText(const AnsiString& Value);
  TTVTextStyle TextStyle() const { return FTextStyle; }
  void SetTextStyle(TTVTextStyle Value) { FTextStyle = Value; }
  bool ButtonPressed() const { return FButtonPressed; }
  TCustomForm* TopForm() const { return FTopForm; }

  // The pop-up tree's look (values without a pop-up as listed).
  TColor TreeViewColor();
  void SetTreeViewColor(TColor Value);
  TCursor TreeViewCursor();
  void SetTreeViewCursor(TCursor Value);
  TFont* TreeViewFont();
  void SetTreeViewFont(TFont* Value);
  AnsiString TreeViewHint();
  void SetTreeViewHint(const AnsiString& Value);
  TCustomImageList* TreeViewImages();
  void SetTreeViewImages(TCustomImageList* Value);
  int TreeViewIndent();
  void SetTreeViewIndent(int Value);
  TPopupMenu* TreeViewPopupMenu();
  void SetTreeViewPopupMenu(TPopupMenu* Value);
  bool TreeViewReadOnly();
  void SetTreeViewReadOnly(bool Value);
  bool TreeViewShowButtons();
  void SetTreeViewShowButtons(bool Value);
  bool TreeViewShowHint();
  void SetTreeViewShowHint(bool Value);
  bool TreeViewShowLines();
  void SetTreeViewShowLines(bool Value);
  bool TreeViewShowRoot();
  void SetTreeViewShowRoot(bool Value);
  TSortType TreeViewSortType();
  void SetTreeViewSortType(TSortType Value);
  TCustomImageList* TreeViewStateImages();
  void SetTreeViewStateImages(TCustomImageList* Value);
  TTreeViewCustomDraw TreeViewOnCustomDraw();
  void SetTreeViewOnCustomDraw(TTreeViewCustomDraw Value);

  TNotifyEvent OnDropDown;
  TkxTreeViewCloseUp OnCloseUp;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVExpandedEvent OnGetImageIndex;

  // Overridable steps, in this order of introduction.
  virtual TPopupDBTreeView* GetPopupTree() = 0;
  virtual bool IsEditReadOnly() { return false; }
  virtual void UpdateTextFromTree();
  virtual void InitPopupTree();
  virtual void ApplyTreeSettings();
  virtual AnsiString EditDisplayText() { return FText; }
  virtual void CloseUp(bool Accept);
  virtual void DropDown();

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Whether a node may be chosen: it exists and has no children, or parents may be chosen.
  bool CanSelectNode(TTreeNode* Node);

 protected:
  friend class TPopupDBTreeView;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  int EditHeight();
  void AdjustHeight();
  // The work area for a drop-down opening at P.
  TRect WorkAreaAt(const TPoint& P);

  void CMFontChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);

  bool FCanSelectParents = true;
  TAlignment FAlignment = taLeftJustify;
  bool FHasFocus = false;
  int FButtonWidth = 0;
  char FDividedChar = '.';
  int FDropDownRows = 7;
  bool FDroppedDown = false;
  AnsiString FText;
  TTVTextStyle FTextStyle = tvtsShort;
  int FDropDownWidth = 0;
  bool FButtonPressed = false;
  TCustomForm* FTopForm = nullptr;
  bool FAdjustingHeight = false;
  // The pop-up lost activation to a press on this edit: that press closed it.
  bool FClosedByPress = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged)
    PV_MESSAGE_HANDLER(CM_CTL3DCHANGED, TMessage, CMCtl3DChanged)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode)
  END_MESSAGE_MAP(TCustomControl)
};

// The list link: reports activation changes to its edit.
class TDataLinkLookupTreeView : public TDataLink {
  PV_CLASS(TDataLinkLookupTreeView, TDataLink)
 public:
  explicit TDataLinkLookupTreeView(TCustomkxLookupTreeView* AEdit) : FEdit(AEdit) {}

 protected:
  void ActiveChanged() override;

 private:
  TCustomkxLookupTreeView* FEdit;
};

// Binds the pop-up to a list dataset by key, parent, list and display fields
// and keeps the key of the chosen record.
class TCustomkxLookupTreeView : public TCustomkxVTreeViewEdit {
  PV_CLASS(TCustomkxLookupTreeView, TCustomkxVTreeViewEdit)
 public:
  explicit TCustomkxLookupTreeView(TComponent* AOwner);
  ~TCustomkxLookupTreeView() override;

  TPopupDBTreeView* GetPopupTree() override { return FPopupTree; }
  const Variant& KeyValue() const { return FKeyValue; }
  void SetKeyValue(const Variant& Value) { FKeyValue = Value; }
  TDataSource* ListSource() const { return FListLink->DataSource(); }
  void SetListSource(TDataSource* Value);
  const AnsiString& AssignField() const { return FAssignFieldName; }
  virtual void SetAssignField(const AnsiString& Value);
  const AnsiString& KeyField() const { return FKeyFieldName; }
  void SetKeyField(const AnsiString& Value);
  const AnsiString& ParentField() const { return FParentFieldName; }
  void SetParentField(const AnsiString& Value);
  const AnsiString& ListField() const { return FListFieldName; }
  void SetListField(const AnsiString& Value);
  const AnsiString& DisplayField() const { return FDisplayFieldName; }
  void SetDisplayField(const AnsiString& Value) { FDisplayFieldName = Value; }
  const AnsiString& ImageIndexField() const { return FImageIndexFieldName; }
  void SetImageIndexField(const AnsiString& Value) { FImageIndexFieldName = Value; }
  const AnsiString& StateIndexField() const { return FStateIndexFieldName; }
  void SetStateIndexField(const AnsiString& Value) { FStateIndexFieldName = Value; }
  const Variant& RestoreValue() const { return FRestoreValue; }
  // Forwarded to the pop-up tree.
  TkxDBTreeViewOptions Options() const { return FPopupTree->Options(); }
  void SetOptions(TkxDBTreeViewOptions Value) { FPopupTree->SetOptions(Value); }
  const Variant& RootValue() const { return FPopupTree->RootValue(); }
  void SetRootValue(const Variant& Value) { FPopupTree->SetRootValue(Value); }
  TAddNewDBTreeNodeEvent OnAddNewItem() const { return FPopupTree->OnAddNewItem; }
  void SetOnAddNewItem(TAddNewDBTreeNodeEvent Value) { FPopupTree->OnAddNewItem = Value; }

  TSetDisplayItemText OnSetDisplayItemText;

  void UpdateTextFromTree() override;
  void CloseUp(bool Accept) override;
  void DropDown() override;
  virtual void BindListFields();
  virtual void RestoreListCursor();

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  friend class TDataLinkLookupTreeView;
  TPopupDBTreeView* FPopupTree = nullptr;
  std::unique_ptr<TDataLinkLookupTreeView> FListLink;
  Variant FKeyValue;
  AnsiString FAssignFieldName, FKeyFieldName, FParentFieldName, FListFieldName, FDisplayFieldName,
      FImageIndexFieldName, FStateIndexFieldName;
  Variant FRestoreValue;
  TField* FAssignField = nullptr;
  TField* FKeyField = nullptr;
  TField* FListField = nullptr;
  TField* FParentField = nullptr;
};

// The lookup edit as the application places it.
class TkxLookupTreeView : public TCustomkxLookupTreeView {
  PV_CLASS(TkxLookupTreeView, TCustomkxLookupTreeView)
 public:
  using OwnerType = TComponent;
  explicit TkxLookupTreeView(TComponent* AOwner) : TCustomkxLookupTreeView(AOwner) {}
};

// The lookup edit bound to a field of another dataset: it shows the list
// text of the field's value and writes the chosen key (or assign field) there.
class TkxDBLookupTreeView : public TCustomkxLookupTreeView {
  PV_CLASS(TkxDBLookupTreeView, TCustomkxLookupTreeView)
 public:
  using OwnerType = TComponent;
  explicit TkxDBLookupTreeView(TComponent* AOwner);
  ~TkxDBLookupTreeView() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  const AnsiString& DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const AnsiString& Value) { FDataLink->SetFieldName(Value); }
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value) { FDataLink->SetReadOnly(Value); }
  TFieldDataLink* DataLink() const { return FDataLink.get(); }
  void SetAssignField(const AnsiString& Value) override;

  bool IsEditReadOnly() override { return ReadOnly(); }
  void UpdateTextFromTree() override;
  void ApplyTreeSettings() override;
  void CloseUp(bool Accept) override;
  void DropDown() override;
  void BindListFields() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  void DataChange(TObject* Sender);
  void ActiveChange(TObject* Sender);
  // The list text for the data field's value (the whole path for tvtsFull).
  AnsiString TextForData();
  void WriteData();
  void CMExit(TMessage& Message);
  void CMGetDataLink(TMessage& Message);

  std::unique_ptr<TFieldDataLink> FDataLink;
  bool FClosingUp = false;
  bool FWritingData = false;
  bool FReadingData = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_EXIT, TMessage, CMExit)
    PV_MESSAGE_HANDLER(CM_GETDATALINK, TMessage, CMGetDataLink)
  END_MESSAGE_MAP(TCustomkxLookupTreeView)
};

// Looks up the monitor functions and registers the lookup edits with their
// published properties; called by kxInitTreeViews.
void kxInitLookupTreeViews();
