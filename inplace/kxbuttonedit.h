// Edit buttons and the button editor: a text editor with up to eight buttons
// at its sides, each firing a click with its index; the text may also be
// shown without a caret, or the whole cell may be buttons.
#pragma once

#include "inplace/kxdropdown.h"

class TkxEditButton : public TCollectionItem {
  PV_CLASS(TkxEditButton, TCollectionItem)
 public:
  // Raises Exception "Too many buttons ( >= 8)" when the collection is full.
  explicit TkxEditButton(TCollection* Collection);
  ~TkxEditButton() override;
  void Assign(TPersistent* Source) override;
  virtual void RestoreDefaults();

  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  TBitmap* GetGlyph();
  TBitmap* GlyphOrNull() const { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  TkxEditButtonKind Kind() const { return FKind; }
  void SetKind(TkxEditButtonKind Value);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);

 private:
  friend class TkxEditButtons;
  bool FDefault = false;
  TBitmap* FGlyph = nullptr;
  TkxEditButtonKind FKind = bkEllipsis;
  bool FLeftAlignment = false;
  bool FVisible = true;
  int FWidth = 0;
};

class TkxEditButtons : public TCollection {
  PV_CLASS(TkxEditButtons, TCollection)
 public:
  TkxEditButtons() : TkxEditButtons(nullptr, TkxEditButton::StaticClass()) {}
  TkxEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass);
  TkxEditButton* Add() { return static_cast<TkxEditButton*>(TCollection::Add()); }
  TkxEditButton* GetItem(int Index) const { return static_cast<TkxEditButton*>(Items(Index)); }
  TPersistent* GetOwner() const override { return FOwner; }
  void RestoreDefaults();
  int VisibleCount() const;
  TkxEditButton* VisibleItem(int Index) const;
  int VisibleIndexToIndex(int Index) const;
  void Update(TCollectionItem* Item) override;

 protected:
  TComponent* FOwner = nullptr;
};

class TkxInplaceEditButtons : public TkxEditButtons {
  PV_CLASS(TkxInplaceEditButtons, TkxEditButtons)
 public:
  TkxInplaceEditButtons() = default;
  TkxInplaceEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass) : TkxEditButtons(AOwner, ItemClass) {}
  void Update(TCollectionItem* Item) override;
};

class TkxButtonEditViewData : public TkxDropDownEditViewData {
  PV_CLASS(TkxButtonEditViewData, TkxDropDownEditViewData)
 public:
  TkxButtonEditViewData() = default;
  bool ButtonOnly = false;
  TkxEditButtons* ButtonCollection = nullptr;  // not owned
  bool HideEditCursor = false;
};

using TkxEditButtonClickEvent = TEvent<void(TObject* Sender, int AbsoluteIndex)>;

class TkxInplaceButtonEdit : public TkxInplaceDropDownEdit {
  PV_CLASS(TkxInplaceButtonEdit, TkxInplaceDropDownEdit)
  KX_EDIT_CLASS(TkxInplaceButtonEdit)
 public:
  explicit TkxInplaceButtonEdit(TComponent* AOwner);
  ~TkxInplaceButtonEdit() override;

  TkxInplaceEditButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TkxEditButtons* Value);
  Byte ButtonEditMode() const { return FButtonEditMode; }
  void SetButtonEditMode(Byte Value);
  TShortCut ClickKey = 16397;
  TkxEditButtonClickEvent OnButtonClick;

  virtual void ClickDefaultButton();
  TkxEditViewData* CreateViewData(bool FromData) override;
  bool IsTextEditing() override { return FButtonEditMode == 0; }
  bool CanReset() override { return true; }
  void ButtonClick(int Index) override;
  void DropDownKeyDown(Word& Key, TShiftState Shift) override {}

 protected:
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  std::unique_ptr<TkxInplaceEditButtons> FButtons;
  Byte FButtonEditMode = 0;
  bool FExistButtons = false;

  void WMGetDlgCode3(TMessage& Message);

  BEGIN_MESSAGE_MAP
    PV_MESSAGE_HANDLER(WM_GETDLGCODE, TMessage, WMGetDlgCode3)
  END_MESSAGE_MAP(TkxInplaceDropDownEdit)
};

class TkxInplaceButtonEdit::TClassRef : public TkxInplaceDropDownEdit::TClassRef {
 public:
  TClass EditClass() const override { return TkxInplaceButtonEdit::StaticClass(); }
  TClass GetViewDataClass() const override { return TkxButtonEditViewData::StaticClass(); }
  void CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize, TkxEditViewRects& Rects) const override;
  bool DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* ViewData) const override;
  void CalcButtons(TkxDropDownEditViewData* ViewData) const override;
};

void kxInitButtonEdit();
