// The run-time customizing window of a bar manager: pages to manage the
// toolbars, pick commands to drag onto bars and set the manager's options,
// and, while a form is being designed, to edit categories, commands and
// groups. At most one such window exists in the process; while it is open the
// forms of every bar manager are disabled.
//
// The small editors it opens (toolbar and category names, the sub-menu
// editor, the add-item dialog, the group-items picker) are declared at the
// end.
#pragma once
#include <memory>
#include <vector>

#include "bars/kxbar.h"
#include "bars/kxbaritems.h"
#include "platform/controls/buttons.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdctrls.h"

class TkxBarCustomizingForm;
class TkxBarPopupMenu;

// ===========================================================================
// The toolbar list: toolbars with a visibility check box each
// ===========================================================================

class TCheckListBox : public TCustomListBox {
  PV_CLASS(TCheckListBox, TCustomListBox)
 public:
  explicit TCheckListBox(TComponent* AOwner, TkxBarManager* Manager = nullptr);
  TkxBarManager* BarManager() const { return FBarManager; }
  TkxBar* Bar(int Index);
  // Row height: the text height of "0" + 2; the check column is as wide.
  int CheckWidth();
  // Toggles the toolbar of a row when it can be closed, else beeps.
  void Toggle(int Index);
  void InvalidateCheck(int Index);
  void CalcItemHeight();

 protected:
  void CreateWnd() override;
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void FontChanged(TObject* Sender) override;
  void WMLButtonDown2(TWMMouse& Message);
  void WMLButtonDblClk2(TWMMouse& Message);

 private:
  TkxBarManager* FBarManager;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_LBUTTONDOWN, TWMMouse, WMLButtonDown2)
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk2)
  END_MESSAGE_MAP(TCustomListBox)
};

// ===========================================================================
// The command list and its painters
// ===========================================================================

// Draws a command row the way the command will look on a bar; stateless.
class TkxBarCustomizingFormPainter {
 public:
  virtual ~TkxBarCustomizingFormPainter() = default;
  static const TkxBarCustomizingFormPainter* Instance();
  virtual void DrawArrow(TCanvas* Canvas, int X, bool Selected, int Y) const;
  virtual TColor GetBackgroundColor(bool Selected, TkxBarItem* Item) const;
  virtual void DrawCommand(TCanvas* Canvas, TRect R, bool Selected, const AnsiString& Caption,
                           TkxBarItem* Item) const;
  virtual void DrawEditCommand(TCanvas* Canvas, TRect R, bool Selected, const AnsiString& Caption,
                               TkxBarItem* Item) const;
  virtual void DrawFocusRect(TCanvas* Canvas, const TRect& R, TkxBarItem* Item) const {}
  virtual TColor GetTextColor(bool Selected) const;

 protected:
  // The parts every painter shares.
  static bool HasGlyph(TkxBarItem* Item);
  static void DrawItemGlyph(TCanvas* Canvas, const TRect& R, TkxBarItem* Item);
  static bool IsDropDownButton(TkxBarItem* Item);
  static bool HasArrow(TkxBarItem* Item);
  static AnsiString CommandText(const AnsiString& Caption, TkxBarItem* Item);
  void DrawCaption(TCanvas* Canvas, const TRect& R, bool Selected, const AnsiString& Text) const;
  // Width of the caption part of an edit command (caption + 3).
  int EditCaptionWidth(TCanvas* Canvas, const AnsiString& Caption) const;
  // Frames the edit box (and combo button) of an edit command.
  virtual void DrawEditBox(TCanvas* Canvas, TRect R, bool Selected, bool Combo) const;
  virtual void DrawDropDownPart(TCanvas* Canvas, const TRect& R, bool Selected) const;
};

class TkxBarCustomizingFormStandardPainter : public TkxBarCustomizingFormPainter {
 public:
  static const TkxBarCustomizingFormPainter* Instance();
  void DrawFocusRect(TCanvas* Canvas, const TRect& R, TkxBarItem* Item) const override;
};

class TkxBarCustomizingFormFlatPainter : public TkxBarCustomizingFormPainter {
 public:
  static const TkxBarCustomizingFormPainter* Instance();
  TColor GetBackgroundColor(bool Selected, TkxBarItem* Item) const override;
  void DrawCommand(TCanvas* Canvas, TRect R, bool Selected, const AnsiString& Caption,
                   TkxBarItem* Item) const override;
  TColor GetTextColor(bool Selected) const override;

 protected:
  void DrawEditBox(TCanvas* Canvas, TRect R, bool Selected, bool Combo) const override;
  void DrawDropDownPart(TCanvas* Canvas, const TRect& R, bool Selected) const override;
  virtual void FillGlyphColumn(TCanvas* Canvas, const TRect& R, bool Selected, TkxBarItem* Item) const;
  virtual void FrameSelected(TCanvas* Canvas, const TRect& R) const;
};

class TkxBarCustomizingFormOffice11Painter : public TkxBarCustomizingFormFlatPainter {
 public:
  static const TkxBarCustomizingFormPainter* Instance();
  TColor GetBackgroundColor(bool Selected, TkxBarItem* Item) const override;
  TColor GetTextColor(bool Selected) const override;

 protected:
  void FillGlyphColumn(TCanvas* Canvas, const TRect& R, bool Selected, TkxBarItem* Item) const override;
  void FrameSelected(TCanvas* Canvas, const TRect& R) const override;
};

// With no visual styles on this platform it draws as the standard painter.
class TkxBarCustomizingFormXPPainter : public TkxBarCustomizingFormStandardPainter {
 public:
  static const TkxBarCustomizingFormPainter* Instance();
};

// The painter that matches a manager's item-control painter.
const TkxBarCustomizingFormPainter* kxBarCustomizingFormPainterOf(TkxBarManager* Manager);

// The commands of one category, drawn by the painter of the manager's style;
// a press that moves past the drag threshold drags the command onto a bar.
class TCommandsListBox : public TCustomListBox {
  PV_CLASS(TCommandsListBox, TCustomListBox)
 public:
  explicit TCommandsListBox(TComponent* AOwner, TkxBarCustomizingForm* Form = nullptr);
  TkxBarItem* Item(int Index);
  TkxBarItem* SelectedItem();
  const TkxBarCustomizingFormPainter* Painter() const;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
  void MeasureItem(int Index, int& Height) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void DoEnter() override;
  void WMEraseBkgnd(TMessage& Message);
  void WMPaint2(TMessage& Message);
  void WMMouseActivate2(TMessage& Message);
  void WMRButtonDown2(TWMMouse& Message);
  // Fills the area below the last row with the unselected background.
  void FillBelowRows(HDC DC);

 private:
  TkxBarCustomizingForm* FForm;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ERASEBKGND, TMessage, WMEraseBkgnd)
    PV_MESSAGE_HANDLER(WM_PAINT, TMessage, WMPaint2)
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate2)
    PV_MESSAGE_HANDLER(WM_RBUTTONDOWN, TWMMouse, WMRButtonDown2)
  END_MESSAGE_MAP(TCustomListBox)
};

// A flat button with a drop-down menu (the design-time "... 修改" buttons).
class TCheckableButton : public TGraphicControl {
  PV_CLASS(TCheckableButton, TGraphicControl)
 public:
  explicit TCheckableButton(TComponent* AOwner);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  TkxBarPopupMenu* DropDownMenu() const { return FMenu; }
  void SetDropDownMenu(TkxBarPopupMenu* Value) { FMenu = Value; }
  // Starts 5 pixels right of Label, keeping the right edge.
  void PlaceAfter(TControl* Label);

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);

 private:
  TkxBarPopupMenu* FMenu = nullptr;
  bool FDown = false, FMouseIn = false, FSwallowPress = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(CM_MOUSEENTER, TMessage, CMMouseEnter)
    PV_MESSAGE_HANDLER(CM_MOUSELEAVE, TMessage, CMMouseLeave)
  END_MESSAGE_MAP(TGraphicControl)
};

// ===========================================================================
// The customizing window
// ===========================================================================

class TkxBarCustomizingForm : public TForm {
  PV_CLASS(TkxBarCustomizingForm, TForm)
 public:
  explicit TkxBarCustomizingForm(TComponent* AOwner, TkxBarManager* Manager = nullptr);
  ~TkxBarCustomizingForm() override;

  TkxBarManager* BarManager() const { return FBarManager; }
  // A manager freed while the window is open closes it.
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TCheckListBox* BarsListBox() const { return FBarsListBox; }
  TCommandsListBox* CommandsList() const { return FCommands; }
  bool Designing() const;

  // ---- described controls ----
  TPanel* PTop = nullptr;
  TPanel* PBottom = nullptr;
  TPanel* PLeft = nullptr;
  TPanel* PRight = nullptr;
  TPageControl* PageControl = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TTabSheet* TabSheet2 = nullptr;
  TTabSheet* TabSheet3 = nullptr;
  TTabSheet* TabSheet4 = nullptr;
  TTabSheet* TabSheet5 = nullptr;
  TLabel* LabelToobars = nullptr;
  TListBox* BarsListBoxPlace = nullptr;
  TButton* BBarNew = nullptr;
  TButton* BBarRename = nullptr;
  TButton* BBarDelete = nullptr;
  TButton* BBarReset = nullptr;
  TLabel* LabelCategories = nullptr;
  TLabel* LabelCommands = nullptr;
  TLabel* LabelDescription = nullptr;
  TBevel* BevelDescription = nullptr;
  TLabel* DescriptionLabel = nullptr;
  TListBox* LCategories = nullptr;
  TListBox* LCommandsPlace = nullptr;
  TButton* CategoriesButtonPlace = nullptr;
  TButton* CommandsButtonPlace = nullptr;
  TPanel* StandardOptionsPanel = nullptr;
  TCheckBox* CBLargeIcons = nullptr;
  TCheckBox* CBHint1 = nullptr;
  TCheckBox* CBHint2 = nullptr;
  TLabel* LabelMenuAnimations = nullptr;
  TComboBox* ComboBoxMenuAnimations = nullptr;
  TPanel* EnhancedOptionsPanel = nullptr;
  TLabel* Label3 = nullptr;
  TBevel* Bevel3 = nullptr;
  TCheckBox* CBMenusShowRecentItemsFirst = nullptr;
  TCheckBox* CBShowFullMenusAfterDelay = nullptr;
  TButton* BResetUsageData = nullptr;
  TLabel* Label2 = nullptr;
  TBevel* Bevel2 = nullptr;
  TCheckBox* CBLargeIconsEx = nullptr;
  TCheckBox* CBHint1Ex = nullptr;
  TCheckBox* CBHint2Ex = nullptr;
  TLabel* Label1 = nullptr;
  TComboBox* ComboBoxMenuAnimationsEx = nullptr;
  TListBox* LAllCommands = nullptr;
  TCheckBox* CBShowCommandsWithShortCut = nullptr;
  TGroupBox* GroupBoxGroups = nullptr;
  TGroupBox* GroupBoxItems = nullptr;
  TListBox* lbGroups = nullptr;
  TListBox* lbGroupItems = nullptr;
  TButton* btnGroupAdd = nullptr;
  TButton* btnGroupDelete = nullptr;
  TButton* btnGroupItemAdd = nullptr;
  TButton* btnGroupItemDelete = nullptr;
  TSpeedButton* btnMoveUp = nullptr;
  TSpeedButton* btnMoveDown = nullptr;
  TSpeedButton* BHelp = nullptr;
  TButton* BClose = nullptr;
  // Design mode only (made in code).
  TkxBarManager* BarManager1 = nullptr;
  TkxBarPopupMenu* CategoriesPopupMenu = nullptr;
  TkxBarPopupMenu* CommandsPopupMenu = nullptr;
  TCheckableButton* CategoriesButton = nullptr;
  TCheckableButton* CommandsButton = nullptr;
  // Entries of the two design-time menus (add, insert, rename, visible,
  // items visible, delete; add, delete, clear, up, down, sub-menu editor).
  TkxBarButton* CategoryEntries[5] = {};
  TkxBarCombo* CategoryItemsVisible = nullptr;
  TkxBarButton* CommandEntries[6] = {};

  // ---- handlers named in the description ----
  void BCloseClick(TObject* Sender);
  void BHelpClick(TObject* Sender);
  void PageControlChange(TObject* Sender);
  void BarsListClick(TObject* Sender);
  void BBarNewClick(TObject* Sender);
  void BBarRenameClick(TObject* Sender);
  void BBarDeleteClick(TObject* Sender);
  void BBarResetClick(TObject* Sender);
  void CBLargeIconsClick(TObject* Sender);
  void CBHint1Click(TObject* Sender);
  void CBHint2Click(TObject* Sender);
  void CBMenusShowRecentItemsFirstClick(TObject* Sender);
  void CBShowFullMenusAfterDelayClick(TObject* Sender);
  void ComboBoxMenuAnimationsChange(TObject* Sender);
  void BResetUsageDataClick(TObject* Sender);
  void LCategoriesClick(TObject* Sender);
  void LCategoriesKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void LCategoriesMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void LCategoriesDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void LCategoriesEndDrag(TObject* Sender, TObject* Target, int X, int Y);
  void LCommandsClick(TObject* Sender);
  void LAllCommandsClick(TObject* Sender);
  void LAllCommandsDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
  void CBShowCommandsWithShortCutClick(TObject* Sender);
  void lbGroupsClick(TObject* Sender);
  void lbGroupsDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
  void lbGroupsEnter(TObject* Sender);
  void lbGroupsKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void lbGroupItemsClick(TObject* Sender);
  void lbGroupItemsEnter(TObject* Sender);
  void lbGroupItemsKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void btnGroupAddClick(TObject* Sender);
  void btnGroupDeleteClick(TObject* Sender);
  void btnGroupItemAddClick(TObject* Sender);
  void btnGroupItemDeleteClick(TObject* Sender);
  void btnMoveUpClick(TObject* Sender);
  void btnMoveDownClick(TObject* Sender);
  // Design-mode pop-up menu commands.
  void CategoriesAddClick(TObject* Sender);
  void CategoriesInsertClick(TObject* Sender);
  void CategoriesRenameClick(TObject* Sender);
  void CategoriesVisibleClick(TObject* Sender);
  void CategoriesItemsVisibleChange(TObject* Sender);
  void CategoriesDeleteClick(TObject* Sender);
  void CategoriesPopupMenuPopup(TObject* Sender);
  void CommandsAddClick(TObject* Sender);
  void CommandsDeleteClick(TObject* Sender);
  void CommandsClearClick(TObject* Sender);
  void CommandsMoveUpClick(TObject* Sender);
  void CommandsMoveDownClick(TObject* Sender);
  void CommandsSubMenuEditorClick(TObject* Sender);
  void CommandsPopupMenuPopup(TObject* Sender);

  // ---- refreshing (the unit's routines call these) ----
  void RefreshBarsList();
  void RefreshCategories();
  // Re-reads the commands of the selected category.
  void RefreshCommands();
  void RefreshOptions();
  void RefreshAllCommands();
  void RefreshGroups();
  void RefreshGroupItems();
  void ApplyStyle();
  void UpdateHelpButton();
  void BarRemoved(TkxBar* Bar);
  void BarChanged(TkxBar* Bar);
  void ItemsChanged();
  void SelectItem(TkxBarItem* Item, bool Force);
  void ItemDestroyed();
  void CategoryChanged(TkxBarItem* Item);
  void MoveCommand(int Delta);
  // The "All commands" column widths (name, caption, shortcut).
  void CalcAllCommandsWidths();
  int AllCommandsWidth(int Column) const { return FAllCommandsWidths[Column]; }
  // The selected category's index in the manager (-1 none).
  int SelectedCategory();
  TkxBarItem* SelectedCommand();
  // Runs when the command list is pressed: select, click, and drag on a drag.
  void CommandsMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void CommandsRightPress(int X, int Y);
  void CommandsKeyDown(Word& Key, TShiftState Shift);
  void CommandsDblClick();
  // Whether the group items list (not the group list) was last used.
  bool GroupItemsLastUsed() const { return FGroupItemsLastUsed; }
  bool Deleting() const { return FDeleting; }
  static bool TearingDown();

 protected:
  void DoCreate() override;
  void DoClose(TCloseAction& Action) override;
  void CreateParams(TCreateParams& Params) override;
  void Activate() override;
  void WMActivate2(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void WMDestroy2(TMessage& Message);

 private:
  friend void kxBarCustomizingFormShow(TkxBarManager* Manager, bool Show);
  void Initialize();
  void SetupCommandsPage();
  void SetupOptionsPage();
  void SetupAnimationCombo(TLabel* Label, TComboBox* Combo);
  void AlignHeadingBevel(TLabel* Label, TBevel* Bevel);
  void FillCommands();
  void UpdateBarButtons();
  void UpdateGroupButtons();
  void SetOption(TObject* Sender);
  void CreateDesignMenus();
  void AddCategory(bool Insert);
  TkxBarGroup* SelectedGroup();
  void MoveGroupItems(int Delta);

  TkxBarManager* FBarManager;
  TCheckListBox* FBarsListBox = nullptr;
  TCommandsListBox* FCommands = nullptr;
  bool FListRefreshing = false;
  bool FDeleting = false;
  int FDraggingCategory = -1;
  int FAllCommandsWidths[3] = {};
  int FGroupsUpdate = 0;
  bool FGroupItemsLastUsed = false;
  bool FOptionsUpdating = false;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate2)
    PV_MESSAGE_HANDLER(WM_MOUSEWHEEL, TMessage, WMMouseWheel)
    PV_MESSAGE_HANDLER(WM_DESTROY, TMessage, WMDestroy2)
  END_MESSAGE_MAP(TForm)
};

// The customizing window's open and close routine (the manager calls it when
// customizing mode starts and ends).
void kxBarCustomizingFormShow(TkxBarManager* Manager, bool Show);
// The open customizing window, nil when none.
TkxBarCustomizingForm* kxBarCustomizingFormInstance();
// Moves the selected command one place up (-1) or down (+1).
void kxBarMoveCommand(TkxBarCustomizingForm* Form, int Delta);
// The manager's form was shown or hidden: the window follows it.
void kxBarCustomizingFormOwnerShown(TkxBarManager* Manager, bool Shown);

// ===========================================================================
// Customizing editors
// ===========================================================================

enum TkxBarNameKind { nkToolbar, nkCategory };
enum TkxBarNameMode { nmAdd, nmInsert, nmRename };

class TkxBarNameEd : public TForm {
  PV_CLASS(TkxBarNameEd, TForm)
 public:
  explicit TkxBarNameEd(TComponent* AOwner) : TForm(AOwner) {}
  TLabel* LName = nullptr;
  TEdit* EName = nullptr;
  TButton* BOK = nullptr;
  TButton* BCancel = nullptr;
  TkxBarNameKind Kind = nkToolbar;
  TkxBarManager* Manager = nullptr;
  TkxBar* Bar = nullptr;
  void ENameChange(TObject* Sender);
  bool CloseQuery() override;
};

// Asks for a toolbar or category name; true (and Name changed) on OK.
bool kxBarShowNameDialog(AnsiString& Name, TkxBarNameKind Kind, TkxBarNameMode Mode, TkxBar* Bar,
                         TkxBarManager* Manager);

class TkxBarSubMenuEditor : public TForm {
  PV_CLASS(TkxBarSubMenuEditor, TForm)
 public:
  explicit TkxBarSubMenuEditor(TComponent* AOwner) : TForm(AOwner) {}
  ~TkxBarSubMenuEditor() override;
  TkxBarItemLinks* ItemLinks() const { return FItemLinks; }
  // Attaches a link list (none frees the editor).
  void SetItemLinks(TkxBarItemLinks* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Places the menu window of the links under the editor.
  void ShowMenu();
  void CloseMenu();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void DoClose(TCloseAction& Action) override;
  void WMActivate2(TMessage& Message);
  void WMGetMinMaxInfo2(TMessage& Message);
  void WMWindowPosChanged2(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);

 private:
  TkxBarItemLinks* FItemLinks = nullptr;
  TComponent* FLinksOwner = nullptr;
  int FMenuWidth = 196;

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate2)
    PV_MESSAGE_HANDLER(WM_GETMINMAXINFO, TMessage, WMGetMinMaxInfo2)
    PV_MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, TMessage, WMWindowPosChanged2)
    PV_MESSAGE_HANDLER(WM_NCLBUTTONDOWN, TMessage, WMNCLButtonDown)
  END_MESSAGE_MAP(TForm)
};

void kxBarShowSubMenuEditor(TkxBarItemLinks* Links);
TkxBarSubMenuEditor* kxBarGetSubMenuEditor();
void kxBarCloseSubMenuEditor();

class TkxBarItemAddEditor : public TForm {
  PV_CLASS(TkxBarItemAddEditor, TForm)
 public:
  explicit TkxBarItemAddEditor(TComponent* AOwner) : TForm(AOwner) {}
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TComboBox* ComboBox2 = nullptr;
  TEdit* Edit1 = nullptr;
  TEdit* Edit2 = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;
  TkxBarManager* Manager = nullptr;
  TkxBarItem* CreatedItem = nullptr;
  void ComboBox1Change(TObject* Sender);
  void BOkClick(TObject* Sender);
  void FormShow(TObject* Sender);
};

// A new item of a chosen class in a chosen category, or nil when cancelled.
TkxBarItem* kxBarShowAddItemDialog(TkxBarManager* Manager, int Category);

class TfrmAddGroupItems : public TForm {
  PV_CLASS(TfrmAddGroupItems, TForm)
 public:
  explicit TfrmAddGroupItems(TComponent* AOwner) : TForm(AOwner) {}
  ~TfrmAddGroupItems() override;
  TPanel* PButtons = nullptr;
  TPanel* PList = nullptr;
  TListBox* lbGroupItems = nullptr;
  TButton* btnOk = nullptr;
  TButton* btnCancel = nullptr;
  TkxBarGroup* Group = nullptr;
  void Fill();
  void lbGroupItemsDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
  void lbGroupItemsMeasureItem(TWinControl* Control, int Index, int& Height);

 protected:
  void DoCreate() override;

 private:
  WNDPROC FOldProc = nullptr;

 public:
  // The list box's own window procedure, which the wrapper passes on to.
  WNDPROC OldListProc() const { return FOldProc; }
};

// Lets the user pick items and groups for Group; true on OK, with the chosen
// ones appended to List.
bool kxBarShowAddGroupItemsDialog(TkxBarGroup* Group, std::vector<TComponent*>& List);

// The editors' classes and handler tables.
void kxBarRegisterCustomizingEditors();
// Registers the window classes and their handler tables, and makes the
// customizing window the one the bar managers open.
void kxBarRegisterCustomizingForms();
