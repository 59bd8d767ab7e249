// Picture values (a graphic's bytes as a string, read with or without an
// 8-byte header) and the graphic editor: a picture shown in a cell, scaled,
// centred or at its own size, with the picture commands (cut, copy, paste,
// delete, load, save and a custom one) as a context menu or as a floating
// toolbar. The editor's value is always such a string of bytes.
#pragma once

#include "inplace/kxcntner.h"
#include "platform/controls/buttons.h"
#include "platform/controls/forms.h"
#include "platform/controls/menus.h"
#include "platform/rtl/streams.h"

// A stream over bytes kept elsewhere; writing stores nothing.
class TMemoryStreamReadOnly : public TCustomMemoryStream {
  PV_CLASS(TMemoryStreamReadOnly, TCustomMemoryStream)
 public:
  TMemoryStreamReadOnly() = default;
  void SetPointer(const void* Ptr, Int64 Size) { TCustomMemoryStream::SetPointer(const_cast<void*>(Ptr), Size); }
  LongInt Write(const void*, LongInt) override { return 0; }
};

bool kxIsPictureEmpty(TPicture* Picture);
// Loads a picture value: Null, an empty string or a value that is no string
// clears the picture. With GraphicClass a graphic of that class reads the
// bytes (the picture keeps its graphic when that fails), else a bitmap does.
void kxLoadPictureFromValue(TPicture* Picture, TClass GraphicClass, const Variant& Value);
// The graphic's bytes (empty for no graphic or an empty one).
void kxSavePictureToString(TPicture* Picture, AnsiString& S);
AnsiString kxPictureToString(TPicture* Picture);

enum TkxPopupToolBarAlignment { ptaLeft, ptaTop, ptaRight, ptaBottom };
PV_ENUM_NAMES(TkxPopupToolBarAlignment, "ptaLeft ptaTop ptaRight ptaBottom")
enum TkxPopupToolBarButton { ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom };
PV_ENUM_NAMES(TkxPopupToolBarButton, "ptbCut ptbCopy ptbPaste ptbDelete ptbLoad ptbSave ptbCustom")
using TkxPopupToolBarButtons = TSet<TkxPopupToolBarButton>;
constexpr TkxPopupToolBarButtons kxDefaultToolBarButtons{ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave};
enum TkxGraphicEditTransparency { gtDefault, gtOpaque, gtTransparent };
PV_ENUM_NAMES(TkxGraphicEditTransparency, "gtDefault gtOpaque gtTransparent")

using TkxGraphicEditAssignPictureEvent = TEvent<void(TObject* Sender, TPicture*& Picture)>;
using TkxGraphicEditGetGraphicClassEvent = TEvent<void(TObject* Sender, TClass& GraphicClass)>;
using TkxToolBarButtonClickEvent = TEvent<void(TObject* Sender, int Index)>;

class TkxInplaceGraphicEdit;

// The published settings of the picture commands.
class TkxPopupToolBarWindow : public TPersistent {
  PV_CLASS(TkxPopupToolBarWindow, TPersistent)
 public:
  explicit TkxPopupToolBarWindow(TkxInplaceGraphicEdit* AEditor = nullptr) : FEditor(AEditor) {}
  ~TkxPopupToolBarWindow() override;
  void Assign(TPersistent* Source) override;

  TkxPopupToolBarAlignment Alignment = ptaBottom;
  TkxPopupToolBarButtons Buttons = kxDefaultToolBarButtons;
  AnsiString CustomButtonCaption;
  bool ShowCaptions = true;
  bool Visible = true;
  TBitmap* CustomButtonGlyph();
  TBitmap* CustomButtonGlyphOrNull() const { return FCustomButtonGlyph; }
  void SetCustomButtonGlyph(TBitmap* Value);
  bool IsPopupMenu() const { return FIsPopupMenu; }
  void SetIsPopupMenu(bool Value);
  TkxInplaceGraphicEdit* Editor() const { return FEditor; }

 private:
  TkxInplaceGraphicEdit* FEditor;
  TBitmap* FCustomButtonGlyph = nullptr;
  bool FIsPopupMenu = true;
};

// The floating toolbar of the picture commands.
class TkxPopupToolBar : public TCustomForm {
  PV_CLASS(TkxPopupToolBar, TCustomForm)
 public:
  explicit TkxPopupToolBar(TComponent* AOwner);
  ~TkxPopupToolBar() override;

  TkxPopupToolBarButtons Buttons = kxDefaultToolBarButtons;
  bool ShowCaptions = true;
  TkxPopupToolBarAlignment Alignment = ptaRight;
  UINT PictureClipFormat = 0;
  bool PictureEmpty = true;
  bool PictureReadOnly = false;
  bool IsPopupMenu = true;
  bool MayShow = true;
  bool ClosedByUser = false;
  TPopupMenu* Menu = nullptr;  // the context menu, freed with the toolbar
  TkxToolBarButtonClickEvent OnButtonClick;

  TSpeedButton* Button(int Index) const { return FButtons[Index]; }
  void ArrangeButtons();
  void UpdateButtons();
  void ShowNoActivate();
  // Places the toolbar beside an editor whose window's top-left is P.
  void ShowAt(const TPoint& P, int EditorWidth, int EditorHeight);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void ButtonClick(TObject* Sender);

  TSpeedButton* FButtons[7] = {};
  HWND FNextViewer = nullptr;
  bool FInChain = false;

  void WMMouseActivate(TMessage& Message);
  void WMActivate(TMessage& Message);
  void WMClose(TMessage& Message);
  void WMDrawClipboard(TMessage& Message);
  void WMChangeCBChain(TMessage& Message);
  void CMShowingChanged(TMessage& Message) {}

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_MOUSEACTIVATE, TMessage, WMMouseActivate)
    PV_MESSAGE_HANDLER(WM_ACTIVATE, TMessage, WMActivate)
    PV_MESSAGE_HANDLER(WM_CLOSE, TMessage, WMClose)
    PV_MESSAGE_HANDLER(WM_DRAWCLIPBOARD, TMessage, WMDrawClipboard)
    PV_MESSAGE_HANDLER(WM_CHANGECBCHAIN, TMessage, WMChangeCBChain)
    PV_MESSAGE_HANDLER(CM_SHOWINGCHANGED, TMessage, CMShowingChanged)
  END_MESSAGE_MAP(TCustomForm)
};

class TkxGraphicEditViewData : public TkxEditViewData {
  PV_CLASS(TkxGraphicEditViewData, TkxEditViewData)
 public:
  TkxGraphicEditViewData() = default;
  ~TkxGraphicEditViewData() override;
  bool Center = true;
  TPicture* Picture = nullptr;  // not owned
  bool QuickDraw = false;
  bool Stretch = false;
  TBitmap* TransparentBitmap = nullptr;  // owned scratch
  bool HatchSelection = false;
  TColor HatchColor = clHighlight;
};

class TkxInplaceGraphicEdit : public TkxInplaceEdit {
  PV_CLASS(TkxInplaceGraphicEdit, TkxInplaceEdit)
  KX_EDIT_CLASS(TkxInplaceGraphicEdit)
 public:
  explicit TkxInplaceGraphicEdit(TComponent* AOwner);
  ~TkxInplaceGraphicEdit() override;

  bool QuickDraw = false;
  UINT PictureClipFormat;
  AnsiString CustomFilter;
  bool DblClickActivate = true;
  TPoint ToolbarPos = kxPoint(-10000, -10000);
  TkxGraphicEditAssignPictureEvent OnAssignPicture;
  TkxGraphicEditGetGraphicClassEvent OnGetGraphicClass;
  TNotifyEvent OnCustomClick;

  TPicture* Picture() const { return FPicture; }
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  TkxGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TkxGraphicEditTransparency Value);
  bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
  void SetPopupToolbarPosStored(bool Value);
  TkxPopupToolBarWindow* PopupToolBar() const { return FPopupToolBarWindow; }
  void SetPopupToolBar(TkxPopupToolBarWindow* Value) { FPopupToolBarWindow->Assign(Value); }
  TkxPopupToolBar* ToolBar() const { return FToolBar; }

  // The picture commands by index (cut, copy, paste, delete, load, save, custom).
  void PerformCommand(int Index);
  void CutToClipboard() { PerformCommand(ptbCut); }
  void CopyToClipboard() { PerformCommand(ptbCopy); }
  void PasteFromClipboard() { PerformCommand(ptbPaste); }
  void ShowToolbar();
  void HideToolbar();
  // The context menu with its items shown and enabled for the settings.
  TPopupMenu* PrepareContextMenu();

  virtual void DoCustomClick();
  virtual void DoAssignPicture(TPicture*& Picture);
  virtual TClass GetGraphicClass();

  void SetEditValue(const Variant& Value) override;
  void GetEditingValue(Variant& Value, bool FromData) override;
  void GetEditValue(Variant& Value) override;
  TkxEditViewData* CreateViewData(bool FromData) override;
  void FocusChanged() override;
  void DoKillFocus(TMessage& Message) override;
  bool IsFocused() override;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void PictureChanged(TObject* Sender);
  void ToolbarButtonClick(TObject* Sender, int Index);
  void MenuItemClick(TObject* Sender);
  void PrepareToolbar();

  TPicture* FPicture = nullptr;
  TPicture* FDataPicture = nullptr;
  TBitmap* FTransparentBitmap = nullptr;
  TkxPopupToolBar* FToolBar = nullptr;
  TkxPopupToolBarWindow* FPopupToolBarWindow = nullptr;
  bool FCenter = true;
  bool FStretch = false;
  TkxGraphicEditTransparency FGraphicTransparency = gtDefault;
  bool FPopupToolbarPosStored = true;
  TPoint FLastToolbarPos = kxPoint(-10000, -10000);
  bool FInternalChange = false;

  void WMContextMenu(TMessage& Message);
  void WMGetDlgCode2(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CONTEXTMENU, TMessage, WMContextMenu)
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode2)
  END_MESSAGE_MAP(TkxInplaceEdit)
};

class TkxInplaceGraphicEdit::TClassRef : public TkxInplaceEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceGraphicEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxGraphicEditViewData::StaticClass(); }
  void CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize, TkxEditViewRects& Rects) const override;
  bool DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* ViewData) const override;
  void CalcButtonsRect(TkxEditViewData* ViewData, TRect& R) const override;
};

// Draws Picture into R as the graphic cells do: stretched keeping its aspect
// ratio, or at its size (centred when Center); the rest filled with Brush.
void kxDrawCellPicture(HDC DC, const TRect& R, TPicture* Picture, bool Stretch, bool Center, HBRUSH Brush,
                       TBitmap* TransparentScratch);

void kxInitGraphicEdit();
