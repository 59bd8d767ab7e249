// The row kinds and their text forms.
#include "inspector/kxinspkinds.h"

#include <cmath>

#include "inplace/kxresources.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sysutils.h"

KX_EDIT_CLASS_IMPL(TkxInspectorMaskEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorDropDownEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorDateEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorCheckEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorCalcEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorSpinEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorPickEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorImageEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorPopupEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorMemoEdit)

namespace kxinspkinds_cpp {
AnsiString gCheckedText = "True", gUncheckedText = "False";

// Brackets Fn in the row's inspector's BeginUpdate/EndUpdate.
template <class F>
void InUpdate(TkxInspectorRow* Row, F Fn) {
  TCustomkxInspectorControl* i = Row->Inspector();
  if (i) i->BeginUpdate();
  try {
    Fn();
  } catch (...) {
    if (i) i->EndUpdate();
    throw;
  }
  if (i) i->EndUpdate();
}
}  // namespace kxinspkinds_cpp
using namespace kxinspkinds_cpp;

AnsiString kxInspectorCheckedText() { return gCheckedText; }
AnsiString kxInspectorUncheckedText() { return gUncheckedText; }
void SetInspectorCheckTexts(const AnsiString& Checked, const AnsiString& Unchecked) {
  gCheckedText = Checked;
  gUncheckedText = Unchecked;
}

// ---------------------------------------------------------------------------
// Mask

AnsiString TkxInspectorMaskRow::EditMask() {
  if (FEditMaskAssigned) return FEditMask;
  AnsiString m;
  GetDefaultEditMask(m);
  return m;
}

void TkxInspectorMaskRow::SetEditMask(const AnsiString& Value) {
  if (Value == FEditMask) return;
  FEditMask = Value;
  FEditMaskAssigned = true;
}

bool TkxInspectorMaskRow::IsEditMaskStored() {
  AnsiString d;
  GetDefaultEditMask(d);
  return FEditMaskAssigned && FEditMask != d;
}

void TkxInspectorMaskRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorMaskRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    if (src->FEditMaskAssigned) SetEditMask(src->FEditMask);
    IgnoreMaskBlank = src->IgnoreMaskBlank;
  });
}

void TkxInspectorMaskRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  AnsiString d;
  GetDefaultEditMask(d);
  SetEditMask(d);
  IgnoreMaskBlank = false;
  FEditMaskAssigned = false;
}

void TkxInspectorMaskRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  if (auto* m = dynamic_cast<TkxInplaceMaskEdit*>(Edit)) {
    m->SetEditMask(EditMask());
    m->SetIgnoreBlanks(IgnoreMaskBlank);
  }
}

void TkxInspectorMaskRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TkxInplaceMaskEdit*>(Edit);
  if (!m) {
    TkxInspectorRow::LoadEditValue(Edit, Value);
    return;
  }
  m->SetMaskText(EditText());
  Value = Variant(m->GetMaskText());
}

void TkxInspectorMaskRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* m = dynamic_cast<TkxInplaceMaskEdit*>(Edit);
  if (!m) {
    TkxInspectorRow::SaveEditValue(Edit, Value);
    return;
  }
  SetEditText(m->GetMaskText());
  Value = Variant(EditText());
}

// ---------------------------------------------------------------------------
// Drop-down base

TkxInspectorDropDownRow::~TkxInspectorDropDownRow() { delete FButtonGlyph; }

TBitmap* TkxInspectorDropDownRow::ButtonGlyph() {
  if (!FButtonGlyph) FButtonGlyph = new TBitmap();
  return FButtonGlyph;
}

void TkxInspectorDropDownRow::SetButtonGlyph(TBitmap* Value) {
  if (!Value || Value->Empty()) {
    if (!FButtonGlyph) return;
    delete FButtonGlyph;
    FButtonGlyph = nullptr;
  } else {
    ButtonGlyph()->Assign(Value);
  }
  Changed();
}

void TkxInspectorDropDownRow::DoEditButtonClick(TObject* Sender) {
  if (OnEditButtonClick) OnEditButtonClick(this);
}

void TkxInspectorDropDownRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorDropDownRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    SetButtonGlyph(src->FButtonGlyph);
    DropDownRows = src->DropDownRows;
    DropDownWidth = src->DropDownWidth;
    ImmediateDropDown = src->ImmediateDropDown;
    ImmediatePopup = src->ImmediatePopup;
    PopupAlignment = src->PopupAlignment;
    PopupBorder = src->PopupBorder;
  });
}

void TkxInspectorDropDownRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  DropDownRows = 7;
  DropDownWidth = 0;
  ImmediateDropDown = false;
  ImmediatePopup = false;
  PopupAlignment = taLeftJustify;
  PopupBorder = pbDefault;
}

void TkxInspectorDropDownRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  auto* d = dynamic_cast<TkxInplaceDropDownEdit*>(Edit);
  if (!d) return;
  d->SetButtonGlyph(FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph : nullptr);
  d->ImmediateDropDown = ImmediateDropDown;
  d->DropDownRows = DropDownRows;
  d->DropDownWidth = DropDownWidth;
  d->ImmediatePopup = ImmediatePopup;
  d->PopupAlignment = PopupAlignment;
  d->PopupBorder = PopupBorder;
  d->OnHostCloseUp = TkxHostCloseUpEvent(this, &TkxInspectorDropDownRow::DoCloseUp);
  d->OnHostEditButtonClick = TNotifyEvent(this, &TkxInspectorDropDownRow::DoEditButtonClick);
}

void TkxInspectorDropDownRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorRow::PrepareViewData(VD, Cell);
  if (auto* d = dynamic_cast<TkxDropDownEditViewData*>(VD)) {
    d->ButtonGlyph = FButtonGlyph && !FButtonGlyph->Empty() ? FButtonGlyph : nullptr;
    d->ButtonsHidden = true;
    d->HotButton = -1;
    d->PushedButton = -1;
  }
}

// ---------------------------------------------------------------------------
// Date

void TkxInspectorDateRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorDateRow*>(Source);
  if (!src) {
    TkxInspectorDropDownRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorDropDownRow::Assign(Source);
    DateButtons = src->DateButtons;
    DateOnError = src->DateOnError;
    DateValidation = src->DateValidation;
    SaveTime = src->SaveTime;
    UseEditMask = src->UseEditMask;
  });
}

void TkxInspectorDateRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  DateButtons = TDateButtons{btnToday, btnClear};
  DateOnError = deToday;
  DateValidation = false;
  SaveTime = true;
  UseEditMask = false;
}

void TkxInspectorDateRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* d = dynamic_cast<TkxInplaceDateEdit*>(Edit);
  if (!d) return;
  TDateButtons b = DateButtons;
  if (IsValueRequired()) b >> btnClear;
  d->DateButtons = b;
  d->DateOnError = DateOnError;
  d->DateValidation = DateValidation;
  d->SaveTime = SaveTime;
  d->SetUseEditMask(UseEditMask);
  d->OnDateValidateInput = nullptr;
  if (OnDateValidateInput) {
    // The row is the Sender of its own event.
    d->OnDateValidateInput = TkxDateValidateInput(this, &TkxInspectorDateRow::RouteDateValidateInput);
  }
}

void TkxInspectorDateRow::RouteDateValidateInput(TObject* Sender, const AnsiString& AText, TDateTime& ADate,
                                                 AnsiString& AMessage, bool& AError) {
  if (OnDateValidateInput) OnDateValidateInput(this, AText, ADate, AMessage, AError);
}

// ---------------------------------------------------------------------------
// Check

TkxInspectorCheckRow::TkxInspectorCheckRow(TComponent* AOwner)
    : TkxInspectorRow(AOwner), FValueChecked(gCheckedText), FValueUnchecked(gUncheckedText) {}

TkxInspectorCheckRow::~TkxInspectorCheckRow() { delete FGlyph; }

void TkxInspectorCheckRow::SetBorder3D(bool Value) {
  if (Value == FBorder3D) return;
  FBorder3D = Value;
  Changed();
}

TBitmap* TkxInspectorCheckRow::Glyph() {
  if (!FGlyph) FGlyph = new TBitmap();
  return FGlyph;
}

void TkxInspectorCheckRow::SetGlyph(TBitmap* Value) {
  Glyph()->Assign(Value);
  Changed();
}

void TkxInspectorCheckRow::SetGlyphCount(int Value) {
  if (Value == FGlyphCount) return;
  FGlyphCount = Value;
  if (FGlyph) Changed();
}

void TkxInspectorCheckRow::SetShowNullFieldStyle(TkxShowNullFieldStyle Value) {
  if (Value == FShowNullFieldStyle) return;
  FShowNullFieldStyle = Value;
  Changed();
}

void TkxInspectorCheckRow::SetValueChecked(const AnsiString& Value) {
  if (Value == FValueChecked) return;
  FValueChecked = Value;
  Changed();
}

void TkxInspectorCheckRow::SetValueGrayed(const AnsiString& Value) {
  if (Value == FValueGrayed) return;
  FValueGrayed = Value;
  Changed();
}

void TkxInspectorCheckRow::SetValueUnchecked(const AnsiString& Value) {
  if (Value == FValueUnchecked) return;
  FValueUnchecked = Value;
  Changed();
}

TkxCheckBoxState TkxInspectorCheckRow::StateOfText(const AnsiString& Text) const {
  if (AnsiSameText(Text, FValueChecked)) return cbsChecked;
  if (!AnsiSameText(Text, FValueUnchecked)) return cbsGrayed;
  return cbsUnchecked;
}

AnsiString TkxInspectorCheckRow::TextOfState(TkxCheckBoxState State) const {
  switch (State) {
    case cbsChecked: return FValueChecked;
    case cbsGrayed: return FValueGrayed;
    default: return FValueUnchecked;
  }
}

void TkxInspectorCheckRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorCheckRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    AllowGrayed = src->AllowGrayed;
    SetBorder3D(src->FBorder3D);
    if (src->FGlyph) SetGlyph(src->FGlyph);
    SetGlyphCount(src->FGlyphCount);
    SetShowNullFieldStyle(src->FShowNullFieldStyle);
    SetValueChecked(src->FValueChecked);
    SetValueGrayed(src->FValueGrayed);
    SetValueUnchecked(src->FValueUnchecked);
  });
}

void TkxInspectorCheckRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  AllowGrayed = false;
  FBorder3D = false;
  FGlyphCount = 6;
  FShowNullFieldStyle = nsUnchecked;
  FValueChecked = gCheckedText;
  FValueGrayed.clear();
  FValueUnchecked = gUncheckedText;
}

void TkxInspectorCheckRow::DoChange(TObject* Sender) {
  TkxInspectorRow::DoChange(Sender);
  if (InspectorInitializing()) return;
  auto* c = dynamic_cast<TkxInplaceCheckEdit*>(Sender);
  if (c && OnToggleClick) OnToggleClick(this, TextOfState(c->State()), c->State());
}

int TkxInspectorCheckRow::GetMinRowHeight(TCanvas* Canvas) {
  int w = 0, h = 0;
  if (FGlyph && TkxInplaceCheckEdit::GetGlyphSize(FGlyph, FGlyphCount, w, h)) return h;
  return kxDefaultCheckHeight + 2;
}

void TkxInspectorCheckRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  auto* c = dynamic_cast<TkxInplaceCheckEdit*>(Edit);
  if (!c) return;
  c->SetAlignment(taCenter);
  c->AllowGrayed = AllowGrayed;
  c->Style()->SetButtonStyle(FBorder3D ? bts3D : btsSimple);
  c->SetGlyph(FGlyph);
  c->SetGlyphCount(FGlyphCount);
  c->SetShowNullFieldStyle(FShowNullFieldStyle);
}

void TkxInspectorCheckRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* c = dynamic_cast<TkxInplaceCheckEdit*>(Edit);
  if (!c) {
    TkxInspectorRow::LoadEditValue(Edit, Value);
    return;
  }
  const AnsiString t = EditText();
  Value = Variant(t);
  c->SetState(StateOfText(t));
}

void TkxInspectorCheckRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* c = dynamic_cast<TkxInplaceCheckEdit*>(Edit);
  if (!c) {
    TkxInspectorRow::SaveEditValue(Edit, Value);
    return;
  }
  SetEditText(TextOfState(c->State()));
  Value = Variant(EditText());
}

bool TkxInspectorCheckRow::IsTextClipped(bool IsValue, const TRect& CellRect, AnsiString& Text) {
  if (IsValue) return false;
  return TkxInspectorRow::IsTextClipped(IsValue, CellRect, Text);
}

void TkxInspectorCheckRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorRow::PrepareViewData(VD, Cell);
  VD->Value = Variant(int(StateOfText(DisplayText())));
  VD->Alignment = taCenter;
  VD->ButtonStyle = FBorder3D ? bts3D : btsSimple;
  if (auto* c = dynamic_cast<TkxCheckEditViewData*>(VD)) {
    c->Glyph = FGlyph && !FGlyph->Empty() ? FGlyph : nullptr;
    c->GlyphCount = FGlyphCount;
    c->NullLook = FShowNullFieldStyle;
  }
}

// ---------------------------------------------------------------------------
// Calculator

void TkxInspectorCalcRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorCalcRow*>(Source);
  if (!src) {
    TkxInspectorDropDownRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorDropDownRow::Assign(Source);
    BeepOnError = src->BeepOnError;
    ButtonStyle = src->ButtonStyle;
    Precision = src->Precision;
    QuickClose = src->QuickClose;
    ShowButtonFrame = src->ShowButtonFrame;
  });
}

void TkxInspectorCalcRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  BeepOnError = true;
  ButtonStyle = bsStandard;
  Precision = 13;
  QuickClose = false;
  ShowButtonFrame = false;
}

void TkxInspectorCalcRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* c = dynamic_cast<TkxInplaceCalcEdit*>(Edit);
  if (!c) return;
  c->BeepOnError = BeepOnError;
  c->ButtonStyle = ButtonStyle;
  c->Precision = Precision;
  c->QuickClose = QuickClose;
  c->ShowButtonFrame = ShowButtonFrame;
}

// ---------------------------------------------------------------------------
// Spin

double TkxInspectorSpinRow::MinValue() { return FMinAssigned ? FMinValue : GetDefaultMinValue(); }
double TkxInspectorSpinRow::MaxValue() { return FMaxAssigned ? FMaxValue : GetDefaultMaxValue(); }

void TkxInspectorSpinRow::SetMinValue(double Value) {
  if (FMinAssigned && Value == FMinValue) return;
  FMinValue = Value;
  FMinAssigned = true;
}

void TkxInspectorSpinRow::SetMaxValue(double Value) {
  if (FMaxAssigned && Value == FMaxValue) return;
  FMaxValue = Value;
  FMaxAssigned = true;
}

bool TkxInspectorSpinRow::IsMinValueStored() { return FMinAssigned && FMinValue != GetDefaultMinValue(); }
bool TkxInspectorSpinRow::IsMaxValueStored() { return FMaxAssigned && FMaxValue != GetDefaultMaxValue(); }

void TkxInspectorSpinRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorSpinRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    EditorEnabled = src->EditorEnabled;
    Increment = src->Increment;
    if (src->FMinAssigned) SetMinValue(src->FMinValue);
    if (src->FMaxAssigned) SetMaxValue(src->FMaxValue);
    UseCtrlIncrement = src->UseCtrlIncrement;
  });
}

void TkxInspectorSpinRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  EditorEnabled = true;
  Increment = 1;
  UseCtrlIncrement = true;
  FMinAssigned = FMaxAssigned = false;
  FMinValue = FMaxValue = 0;
}

void TkxInspectorSpinRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  auto* s = dynamic_cast<TkxInplaceSpinEdit*>(Edit);
  if (!s) return;
  s->EditorEnabled = EditorEnabled;
  s->Increment = Increment;
  s->SetValueRange(MaxValue(), MinValue());
  s->UseCtrlIncrement = UseCtrlIncrement;
  s->SetValueType(GetValueType());
}

void TkxInspectorSpinRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  TkxInspectorRow::LoadEditValue(Edit, Value);
  auto* s = dynamic_cast<TkxInplaceSpinEdit*>(Edit);
  if (!s) return;
  const AnsiString t = VarToStr(Value);
  double v = 0;
  if (!t.empty()) {
    try {
      v = StrToFloat(t);
    } catch (const Exception&) {
      v = 0;
    }
  }
  s->SetValue(v);
  Value = Variant(s->GetValue());
}

void TkxInspectorSpinRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* s = dynamic_cast<TkxInplaceSpinEdit*>(Edit);
  if (!s) {
    TkxInspectorRow::SaveEditValue(Edit, Value);
    return;
  }
  const double v = s->GetValue();
  if (GetValueType() == vtFloat)
    SetEditText(FloatToStrF(v, ffGeneral, 15, 0));
  else
    SetEditText(IntToStr(Int64(std::llround(v))));
  Value = Variant(EditText());
}

void TkxInspectorSpinRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorRow::PrepareViewData(VD, Cell);
  if (auto* s = dynamic_cast<TkxSpinEditViewData*>(VD)) s->ShowSpinButtons = false;
}

void TkxInspectorTextSpinRow::Assign(TPersistent* Source) {
  TkxInspectorSpinRow::Assign(Source);
  if (auto* src = dynamic_cast<TkxInspectorTextSpinRow*>(Source)) ValueType = src->ValueType;
}

void TkxInspectorTextSpinRow::RestoreDefaults() {
  TkxInspectorSpinRow::RestoreDefaults();
  ValueType = vtInt;
}

// ---------------------------------------------------------------------------
// Pick

TkxInspectorPickRow::TkxInspectorPickRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {
  FItems = new TStringList();
  ImmediateDropDown = true;
}

TkxInspectorPickRow::~TkxInspectorPickRow() { delete FItems; }

void TkxInspectorPickRow::SetItems(TStrings* Value) {
  FItems->Assign(Value);
  Changed();
}

void TkxInspectorPickRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorPickRow*>(Source);
  if (!src) {
    TkxInspectorDropDownRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorDropDownRow::Assign(Source);
    DropDownListStyle = src->DropDownListStyle;
    SetItems(src->FItems);
    CanDeleteText = src->CanDeleteText;
    Revertable = src->Revertable;
    Sorted = src->Sorted;
  });
}

void TkxInspectorPickRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  ImmediateDropDown = true;
  DropDownListStyle = false;
  CanDeleteText = false;
  Revertable = true;
  Sorted = false;
}

void TkxInspectorPickRow::DoCloseUp(TObject* Sender, AnsiString& Text, bool& Accept) {
  Variant v(Text);
  if (OnCloseUp) OnCloseUp(this, v, Accept);
  Text = VarToStr(v);
}

void TkxInspectorPickRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* p = dynamic_cast<TkxInplacePickEdit*>(Edit);
  if (!p) return;
  p->SetDropDownListStyle(DropDownListStyle);
  p->SetItems(FItems);
  p->CanDeleteText = CanDeleteText;
  p->Revertable = Revertable;
  p->SetSorted(Sorted);
}

// ---------------------------------------------------------------------------
// Image

TkxInspectorImageRow::TkxInspectorImageRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {
  FDescriptions = new TStringList();
  FImageIndexes = new TStringList();
  FValues = new TStringList();
  FImagesLink = new TChangeLink();
  FImagesLink->OnChange = TNotifyEvent(this, &TkxInspectorImageRow::ImagesChanged);
  FLargeImagesLink = new TChangeLink();
}

TkxInspectorImageRow::~TkxInspectorImageRow() {
  if (FImages) FImages->UnRegisterChanges(FImagesLink);
  if (FLargeImages) FLargeImages->UnRegisterChanges(FLargeImagesLink);
  delete FImagesLink;
  delete FLargeImagesLink;
  delete FDescriptions;
  delete FImageIndexes;
  delete FValues;
}

void TkxInspectorImageRow::SetDefaultImages(bool Value) {
  if (Value == FDefaultImages) return;
  FDefaultImages = Value;
  Changed();
}

void TkxInspectorImageRow::SetDescriptions(TStrings* Value) {
  FDescriptions->Assign(Value);
  Changed();
}

void TkxInspectorImageRow::SetImageIndexes(TStrings* Value) {
  FImageIndexes->Assign(Value);
  Changed();
}

void TkxInspectorImageRow::SetValues(TStrings* Value) {
  FValues->Assign(Value);
  Changed();
}

void TkxInspectorImageRow::SetImages(TCustomImageList* Value) {
  if (Value == FImages) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImagesLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImagesLink);
    FImages->FreeNotification(this);
  }
  Changed();
}

void TkxInspectorImageRow::SetLargeImages(TCustomImageList* Value) {
  if (Value == FLargeImages) return;
  if (FLargeImages) {
    FLargeImages->UnRegisterChanges(FLargeImagesLink);
    FLargeImages->RemoveFreeNotification(this);
  }
  FLargeImages = Value;
  if (FLargeImages) {
    FLargeImages->RegisterChanges(FLargeImagesLink);
    FLargeImages->FreeNotification(this);
  }
  Changed();
}

void TkxInspectorImageRow::SetMultiLineText(bool Value) {
  if (Value == FMultiLineText) return;
  FMultiLineText = Value;
  Changed();
}

void TkxInspectorImageRow::SetShowDescription(bool Value) {
  if (Value == FShowDescription) return;
  FShowDescription = Value;
  Changed();
}

void TkxInspectorImageRow::Notification(TComponent* AComponent, TOperation Operation) {
  TkxInspectorDropDownRow::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FLargeImages) SetLargeImages(nullptr);
}

void TkxInspectorImageRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorImageRow*>(Source);
  if (!src) {
    TkxInspectorDropDownRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorDropDownRow::Assign(Source);
    SetDefaultImages(src->FDefaultImages);
    SetDescriptions(src->FDescriptions);
    SetImageIndexes(src->FImageIndexes);
    SetValues(src->FValues);
    SetImages(src->FImages);
    SetLargeImages(src->FLargeImages);
    SetMultiLineText(src->FMultiLineText);
    SetShowDescription(src->FShowDescription);
  });
}

void TkxInspectorImageRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  FDefaultImages = true;
  FMultiLineText = false;
  FShowDescription = false;
}

void TkxInspectorImageRow::DoCloseUp(TObject* Sender, AnsiString& Text, bool& Accept) {
  if (OnCloseUp) OnCloseUp(this, Text, Accept);
}

int TkxInspectorImageRow::GetMinRowHeight(TCanvas* Canvas) {
  const int h = TkxInspectorDropDownRow::GetMinRowHeight(Canvas);
  return FImages ? std::max(h, FImages->Height()) : h;
}

void TkxInspectorImageRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* e = dynamic_cast<TkxInplaceImageEdit*>(Edit);
  if (!e) return;
  e->SetDefaultImages(FDefaultImages);
  e->SetDescriptions(FDescriptions);
  e->SetImages(FImages);
  e->SetImageIndexes(FImageIndexes);
  e->SetLargeImages(FLargeImages);
  e->SetMultiLineText(FMultiLineText);
  e->SetShowDescription(FShowDescription);
  e->SetValues(FValues);
}

bool TkxInspectorImageRow::IsTextClipped(bool IsValue, const TRect& CellRect, AnsiString& Text) {
  if (!IsValue) return TkxInspectorDropDownRow::IsTextClipped(IsValue, CellRect, Text);
  if (!Inspector() || !Inspector()->HandleAllocated()) return false;
  int image = -1, description = -1;
  TkxInplaceImageEdit::LookupValueIndexes(EditText(), FImageIndexes, description, image, FDefaultImages, FValues,
                                          FDescriptions);
  if (description < 0) return false;
  const AnsiString d = FDescriptions->Strings(description);
  if (d.empty()) return false;
  TCanvas* c = Inspector()->Canvas();
  c->Font()->Assign(Inspector()->Font());
  Text = d;
  return c->TextWidth(d) + (FImages ? FImages->Width() : 0) > CellRect.Width();
}

void TkxInspectorImageRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorDropDownRow::PrepareViewData(VD, Cell);
  if (FMultiLineText) VD->DrawAlignment = kxdaMultiLine;
  if (auto* i = dynamic_cast<TkxImageEditViewData*>(VD)) {
    i->DefaultImages = FDefaultImages;
    i->Descriptions = FDescriptions;
    i->ImageIndexes = FImageIndexes;
    i->Images = FImages;
    i->ShowDescription = FShowDescription;
    i->Values = FValues;
  }
}

// ---------------------------------------------------------------------------
// Pop-up

void TkxInspectorPopupRow::SetPopupControl(TControl* Value) {
  if (Value == FPopupControl) return;
  if (FPopupControl) FPopupControl->RemoveFreeNotification(this);
  FPopupControl = Value;
  if (FPopupControl) FPopupControl->FreeNotification(this);
}

void TkxInspectorPopupRow::Notification(TComponent* AComponent, TOperation Operation) {
  TkxInspectorDropDownRow::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupControl) FPopupControl = nullptr;
}

void TkxInspectorPopupRow::DoPopupCloseQuery(TObject* Sender, bool& CanClose) {
  if (OnCloseQuery) OnCloseQuery(this, CanClose);
}

void TkxInspectorPopupRow::DoPopupCloseUp(TObject* Sender, AnsiString& Text, bool& Accept) {
  if (OnCloseUp) OnCloseUp(this, Text, Accept);
}

void TkxInspectorPopupRow::DoInitPopup(TObject* Sender) {
  if (OnInitPopup) OnInitPopup(this);
}

void TkxInspectorPopupRow::DoPopup(TObject* Sender, const AnsiString& EditText) {
  if (OnPopup) OnPopup(this, EditText);
}

void TkxInspectorPopupRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorPopupRow*>(Source);
  if (!src) {
    TkxInspectorDropDownRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorDropDownRow::Assign(Source);
    HideEditCursor = src->HideEditCursor;
    PopupAutoSize = src->PopupAutoSize;
    SetPopupControl(src->FPopupControl);
    PopupFormBorderStyle = src->PopupFormBorderStyle;
    PopupFormCaption = src->PopupFormCaption;
    PopupFormClientEdge = src->PopupFormClientEdge;
    PopupFormFlatBorder = src->PopupFormFlatBorder;
    PopupFormSizeable = src->PopupFormSizeable;
    FPopupMinHeight = src->FPopupMinHeight;
    FPopupMinWidth = src->FPopupMinWidth;
    SetPopupHeight(src->FPopupHeight);
    SetPopupWidth(src->FPopupWidth);
  });
}

void TkxInspectorPopupRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  HideEditCursor = false;
  PopupAutoSize = true;
  PopupFormBorderStyle = pbsDialog;
  PopupFormCaption.clear();
  PopupFormClientEdge = false;
  PopupFormFlatBorder = true;
  PopupFormSizeable = true;
  FPopupMinHeight = FPopupMinWidth = 100;
  FPopupHeight = 200;
  FPopupWidth = 250;
}

void TkxInspectorPopupRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* p = dynamic_cast<TkxInplacePopupEdit*>(Edit);
  if (!p) return;
  p->SetHideEditCursor(HideEditCursor);
  p->PopupAutoSize = PopupAutoSize;
  p->SetPopupControl(FPopupControl);
  p->PopupFormBorderStyle = PopupFormBorderStyle;
  p->PopupFormCaption = PopupFormCaption;
  p->PopupFormClientEdge = PopupFormClientEdge;
  p->PopupFormFlatBorder = PopupFormFlatBorder;
  p->SetPopupMinHeight(FPopupMinHeight);
  p->SetPopupMinWidth(FPopupMinWidth);
  p->SetPopupHeight(FPopupHeight);
  p->SetPopupWidth(FPopupWidth);
  p->PopupFormSizeable = PopupFormSizeable;
  p->OnCloseQuery = TkxPopupEditCloseQueryEvent(this, &TkxInspectorPopupRow::DoPopupCloseQuery);
  p->OnCloseUp = TkxPopupEditCloseUpEvent(this, &TkxInspectorPopupRow::DoPopupCloseUp);
  p->OnInitPopup = TNotifyEvent(this, &TkxInspectorPopupRow::DoInitPopup);
  p->OnPopup = TkxPopupEditPopupEvent(this, &TkxInspectorPopupRow::DoPopup);
}

// ---------------------------------------------------------------------------
// Memo

void TkxInspectorMemoRow::SetSelectionBar(bool Value) {
  if (Value == FSelectionBar) return;
  FSelectionBar = Value;
  Changed();
}

void TkxInspectorMemoRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorMemoRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    HideScrollBars = src->HideScrollBars;
    ScrollBars = src->ScrollBars;
    SetSelectionBar(src->FSelectionBar);
    WantReturns = src->WantReturns;
    WantTabs = src->WantTabs;
    WordWrap = src->WordWrap;
  });
}

void TkxInspectorMemoRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  HideScrollBars = true;
  ScrollBars = ssNone;
  FSelectionBar = false;
  WantReturns = true;
  WantTabs = false;
  WordWrap = true;
}

void TkxInspectorMemoRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  auto* m = dynamic_cast<TkxInplaceMemoEdit*>(Edit);
  if (!m) return;
  m->SetHideScrollBars(HideScrollBars);
  m->SetScrollBars(ScrollBars);
  m->SetSelectionBar(FSelectionBar);
  m->WantReturns = WantReturns;
  m->WantTabs = WantTabs;
  m->SetWordWrap(WordWrap);
}

void TkxInspectorMemoRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorRow::PrepareViewData(VD, Cell);
  VD->DrawAlignment = kxdaMultiLine;
  AnsiString t;
  GetMemoText(t);
  VD->Value = Variant(t);
  VD->DataLength = 0;
  if (auto* tv = dynamic_cast<TkxTextEditViewData*>(VD)) tv->SelectionBar = FSelectionBar;
}
