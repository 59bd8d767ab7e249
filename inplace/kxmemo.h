// The memo editor: multi-line text with word wrap and scroll bars on the
// rich-edit window, its lines read and written through the window, and keys
// that stay in the text or move the host to another row.
#pragma once

#include "inplace/kxeditor.h"

class TkxInplaceMemoEdit;

// The lines of a memo editor, read from and written to its window.
class TkxMemoStrings : public TStrings {
  PV_CLASS(TkxMemoStrings, TStrings)
 public:
  explicit TkxMemoStrings(TkxInplaceMemoEdit* AEditor) : Editor(AEditor) {}
  TkxInplaceMemoEdit* Editor;

  AnsiString Get(int Index) const override;
  int GetCount() const override;
  void Put(int Index, const AnsiString& S) override;
  void Insert(int Index, const AnsiString& S) override;
  void Delete(int Index) override;
  void Clear() override;
  AnsiString GetText() const override;
  void SetText(const AnsiString& Value) override;
  // Switches the window's change notification on or off.
  void SetChangeNotify(bool Enabled);

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  HWND Wnd() const;
  LRESULT Send(UINT Msg, WPARAM W, LPARAM L) const { return SendMessageA(Wnd(), Msg, W, L); }
  // The first byte of line Index, -1 when there is no such line.
  int LineStart(int Index) const;
  void Replace(int Start, int Stop, const AnsiString& S);
};

class TkxInplaceMemoEdit : public TkxInplaceTextEdit {
  PV_CLASS(TkxInplaceMemoEdit, TkxInplaceTextEdit)
  KX_EDIT_CLASS(TkxInplaceMemoEdit)
 public:
  explicit TkxInplaceMemoEdit(TComponent* AOwner);
  ~TkxInplaceMemoEdit() override;

  bool WantReturns = true;
  bool WantTabs = false;
  TkxMemoStrings* TextLines() const { return FTextLines; }
  bool HideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

  TkxEditViewData* CreateViewData(bool FromData) override;
  bool WantsTabs() override { return WantTabs; }
  bool RepaintOnActivate() override { return false; }
  void SelectAll() override;

 protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  // The whole text is selected.
  bool AllSelected();

  bool FHideScrollBars = true;
  bool FClearingText = false;
  TkxMemoStrings* FTextLines = nullptr;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;

  void WMGetDlgCode2(TMessage& Message);
  void WMKeyDown2(TWMKey& Message);
  void WMSetText2(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode2)
    PV_MESSAGE_HANDLER(WM_KEYDOWN, TWMKey, WMKeyDown2)
    PV_MESSAGE_HANDLER(WM_SETTEXT, TMessage, WMSetText2)
  END_MESSAGE_MAP(TkxInplaceTextEdit)
};

class TkxInplaceMemoEdit::TClassRef : public TkxInplaceTextEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceMemoEdit::StaticClass(); }
};

void kxInitMemoEdit();
