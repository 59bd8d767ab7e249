// The text editor on the rich-edit window: one line of plain text with char
// case, password character, maximum length, selection access, undo and redo,
// a built-in context menu and change notifications. The base of every
// text-bearing editor kind; cells without a live editor are painted by its
// class-level DrawClient through TkxTextEditViewData. Text positions count
// CP936 bytes everywhere (selection, lengths and the mask engine alike).
#pragma once

#include "inplace/kxcntner.h"
#include "platform/controls/menus.h"
#include "platform/controls/stdctrls.h"

class TkxTextEditViewData : public TkxEditViewData {
  PV_CLASS(TkxTextEditViewData, TkxEditViewData)
 public:
  TkxTextEditViewData() = default;
  TEditCharCase CharCase = TEditCharCase::ecNormal;
  bool EndEllipsis = false;
  char PasswordChar = 0;
  bool SelectionBar = false;
};

// Tags of the context menu's items.
enum TkxTextMenuCommand { kxmcUndo = -1, kxmcRedo = -2, kxmcCut = -3, kxmcCopy = -4, kxmcPaste = -5,
                          kxmcDelete = -6, kxmcSelectAll = -7 };

class TkxInplaceTextEdit : public TkxInplaceEdit {
  PV_CLASS(TkxInplaceTextEdit, TkxInplaceEdit)
  KX_EDIT_CLASS(TkxInplaceTextEdit)
 public:
  explicit TkxInplaceTextEdit(TComponent* AOwner);
  ~TkxInplaceTextEdit() override;

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value) { FOEMConvert = Value; }
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool SelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool Value);

  void ClearUndo();
  void ClearText();
  void DeleteSelection();
  void CopySelection();
  void CutSelection();
  void PasteText();
  void Undo();
  void Redo();
  bool CanUndo();
  bool CanRedo();
  bool CanPaste();
  int GetTextLength();
  int SelStart() { return GetSelStart(); }
  void SetSelStartValue(int Value) { SetSelStart(Value); }
  int SelLength() { return GetSelLength(); }
  AnsiString SelText() {
    AnsiString s;
    GetSelText(s);
    return s;
  }
  // The context menu (built on first use) with its items enabled for the editor's state.
  TPopupMenu* ContextMenu();
  void UpdateContextMenu();
  void ContextMenuClick(int Tag);
  void ShowContextMenu(TPoint P);

  virtual void UpdateCharCase();
  virtual void SetEditLimit(int Limit);
  virtual int GetSelLength();
  virtual int GetSelStart();
  virtual void GetSelText(AnsiString& Text);
  virtual bool NeedsOleCallback() { return false; }
  virtual void SelectionChange();
  virtual void DoSetMaxLength(int Value);
  virtual void SetSelLength(int Value);
  virtual void SetSelStart(int Value);
  virtual int GetDefaultMaxLength() { return 0; }
  virtual int GetSelTextBuf(char* Buffer, int BufSize);

  void SetEditValue(const Variant& Value) override;
  TkxEditViewData* CreateViewData(bool FromData) override;
  bool GetModified() override;
  void DoSetReadOnly(bool Value) override;
  void SetModified(bool Value) override;
  void MoveCaretToEnd() override;
  bool IsTextEditing() override { return true; }
  void RestoreDefaults() override;
  void SelectAll() override;

  TNotifyEvent OnSelectionChange;

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  // Sets the window text with change notification suppressed.
  void SetTextAssigning(const AnsiString& Value);
  void MenuItemClick(TObject* Sender);
  bool FAssigningText = false;
  bool FCharCaseChanging = false;
  bool FCreating = false;
  bool FAutoSelect = true;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  bool FHideSelection = true;
  int FMaxLength = 0;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FSelectionBar = false;
  TPopupMenu* FContextMenu = nullptr;

  void WMChar(TWMKey& Message);
  void WMImeChar(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMRButtonUp(TWMMouse& Message);
  void WMSetFont(TMessage& Message);
  void WMSetText(TMessage& Message);
  void WMSize(TWMSize& Message);
  void CMColorChanged(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMSysColorChange(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CNCommand(TWMCommand& Message);
  void CNNotify(TWMNotify& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_CHAR, TWMKey, WMChar)
    PV_MESSAGE_HANDLER(WM_IME_CHAR, TMessage, WMImeChar)
    PV_MESSAGE_HANDLER(WM_CONTEXTMENU, TMessage, WMContextMenu)
    PV_MESSAGE_HANDLER(WM_RBUTTONUP, TWMMouse, WMRButtonUp)
    PV_MESSAGE_HANDLER(WM_SETFONT, TMessage, WMSetFont)
    PV_MESSAGE_HANDLER(WM_SETTEXT, TMessage, WMSetText)
    PV_MESSAGE_HANDLER(WM_SIZE, TWMSize, WMSize)
    PV_MESSAGE_HANDLER(CM_COLORCHANGED, TMessage, CMColorChanged)
    PV_MESSAGE_HANDLER(CM_ENTER, TMessage, CMEnter)
    PV_MESSAGE_HANDLER(CM_SYSCOLORCHANGE, TMessage, CMSysColorChange)
    PV_MESSAGE_HANDLER(CM_TEXTCHANGED, TMessage, CMTextChanged)
    PV_MESSAGE_HANDLER(CN_COMMAND, TWMCommand, CNCommand)
    PV_MESSAGE_HANDLER(CN_NOTIFY, TWMNotify, CNNotify)
  END_MESSAGE_MAP(TkxInplaceEdit)
};

class TkxInplaceTextEdit::TClassRef : public TkxInplaceEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceTextEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxTextEditViewData::StaticClass(); }
  bool DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* ViewData) const override;
};

// The text of a cell as the text kinds paint it: char case applied and a
// non-empty text replaced by password characters.
AnsiString kxCellDisplayText(const AnsiString& Text, TEditCharCase CharCase, char PasswordChar);

void kxInitTextEdit();
