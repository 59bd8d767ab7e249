// The hyperlink editor: a text editor whose text is a link target, shown
// underlined in the link colour with the hand cursor, and started by the
// start key, a double click, or (with SingleClick) a click.
#pragma once

#include "inplace/kxeditor.h"

class TkxHyperLinkEditViewData : public TkxTextEditViewData {
  PV_CLASS(TkxHyperLinkEditViewData, TkxTextEditViewData)
 public:
  TkxHyperLinkEditViewData() = default;
  bool Link = false;  // the cell behaves as a link (hand cursor)
};

class TkxInplaceHyperLinkEdit : public TkxInplaceTextEdit {
  PV_CLASS(TkxInplaceHyperLinkEdit, TkxInplaceTextEdit)
  KX_EDIT_CLASS(TkxInplaceHyperLinkEdit)
 public:
  explicit TkxInplaceHyperLinkEdit(TComponent* AOwner);
  ~TkxInplaceHyperLinkEdit() override;

  bool SingleClick = false;
  TShortCut StartKey = 16397;  // Ctrl+Enter
  TNotifyEvent OnStartClick;

  TColor LinkColor() const { return FLinkColor; }
  void SetLinkFontColor(TColor Color);
  // The editor's font underlined in the link colour (made on first use).
  TFont* GetLinkFont();

  // Starts the link: OnStartClick, or the shell opening the text when it is
  // a web or mail address.
  virtual void StartLink();

  TkxEditViewData* CreateViewData(bool FromData) override;
  void ClickActivate() override;
  void SelectAll() override {}

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  TColor FLinkColor = clBlue;
  TFont* FLinkFont = nullptr;

  void WMLButtonDblClk2(TWMMouse& Message);
  void WMSetFont2(TMessage& Message);
  void CMFontChanged2(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_LBUTTONDBLCLK, TWMMouse, WMLButtonDblClk2)
    PV_MESSAGE_HANDLER(WM_SETFONT, TMessage, WMSetFont2)
    PV_MESSAGE_HANDLER(CM_FONTCHANGED, TMessage, CMFontChanged2)
  END_MESSAGE_MAP(TkxInplaceTextEdit)
};

class TkxInplaceHyperLinkEdit::TClassRef : public TkxInplaceTextEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceHyperLinkEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxHyperLinkEditViewData::StaticClass(); }
  TCursor GetCursor(int X, int Y, TkxEditViewData* ViewData) const override;
};

// True for the targets a link may open: http, https and mailto addresses.
bool kxIsOpenableLink(const AnsiString& Target);

void kxInitHyperLinkEdit();
