// The most-recently-used editor: a pick editor whose confirmed texts go to
// the top of its items, kept to MaxItemCount entries, with a second button
// (an ellipsis or the row's glyph) and Ctrl+Enter firing OnButtonClick.
#pragma once

#include "inplace/kxpick.h"

class TkxMRUEditViewData : public TkxDropDownEditViewData {
  PV_CLASS(TkxMRUEditViewData, TkxDropDownEditViewData)
 public:
  TkxMRUEditViewData() = default;
  bool ShowEllipsis = true;
};

class TkxInplaceMRUEdit : public TkxInplacePickEdit {
  PV_CLASS(TkxInplaceMRUEdit, TkxInplacePickEdit)
  KX_EDIT_CLASS(TkxInplaceMRUEdit)
 public:
  explicit TkxInplaceMRUEdit(TComponent* AOwner);

  TNotifyEvent OnButtonClick;
  int MaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(int Value);
  bool ShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool Value);
  // Deletes the oldest entries beyond MaxItemCount (0: no limit).
  void TrimItems();

  virtual void DoButtonClick();
  // Puts S at the top of the items (an entry equal but for case moves there).
  virtual void AddMRUItem(const AnsiString& S);

  TkxEditViewData* CreateViewData(bool FromData) override;
  void ValidateEdit() override;
  void ButtonDown(bool InClientArea, int Index) override;
  void ButtonClick(int Index) override;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;

  int FMaxItemCount = 7;
  bool FShowEllipsis = true;
};

class TkxInplaceMRUEdit::TClassRef : public TkxInplacePickEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceMRUEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxMRUEditViewData::StaticClass(); }
  void CalcButtons(TkxDropDownEditViewData* ViewData) const override;
};

void kxInitMRUEdit();
