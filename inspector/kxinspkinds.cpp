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

double TkxInspectorSpinRow::MinValue() { return FMin.Get(GetDefaultMinValue()); }
double TkxInspectorSpinRow::MaxValue() { return FMax.Get(GetDefaultMaxValue()); }
void TkxInspectorSpinRow::SetMinValue(double Value) { FMin.Set(Value); }
void TkxInspectorSpinRow::SetMaxValue(double Value) { FMax.Set(Value); }
bool TkxInspectorSpinRow::IsMinValueStored() { return FMin.Stored(GetDefaultMinValue()); }
bool TkxInspectorSpinRow::IsMaxValueStored() { return FMax.Stored(GetDefaultMaxValue()); }

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
    if (src->FMin.Assigned) SetMinValue(src->FMin.Value);
    if (src->FMax.Assigned) SetMaxValue(src->FMax.Value);
    UseCtrlIncrement = src->UseCtrlIncrement;
  });
}

void TkxInspectorSpinRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  EditorEnabled = true;
  Increment = 1;
  UseCtrlIncrement = true;
  FMin.Clear();
  FMax.Clear();
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

KX_EDIT_CLASS_IMPL(TkxInspectorTimeEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorCurrencyEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorHyperLinkEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorMRUEdit)

// ---------------------------------------------------------------------------
// Time

void TkxInspectorTimeRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorTimeRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    TimeEditFormat = src->TimeEditFormat;
    UseCtrlIncrement = src->UseCtrlIncrement;
  });
}

void TkxInspectorTimeRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  TimeEditFormat = tfHourMinSec;
  UseCtrlIncrement = true;
}

void TkxInspectorTimeRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  if (auto* t = dynamic_cast<TkxInplaceTimeEdit*>(Edit)) {
    t->SetTimeEditFormat(TimeEditFormat);
    t->UseCtrlIncrement = UseCtrlIncrement;
  }
}

// Midnight is a time like any other: it is stored as its text, not as empty.
void TkxInspectorTimeRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* t = dynamic_cast<TkxInplaceTimeEdit*>(Edit);
  if (!t) {
    TkxInspectorRow::SaveEditValue(Edit, Value);
    return;
  }
  SetEditText(t->GetEditText());
  Value = Variant(EditText());
}

// ---------------------------------------------------------------------------
// Currency

TkxInspectorCurrencyRow::TkxInspectorCurrencyRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {
  kxGetCurrencyDisplayFormat(FDisplayFormat);
}

// The format follows the locale unless one was set; the platform always
// updates its format settings, so there is no flag to ask.
void TkxInspectorCurrencyRow::WinIniChanged() {
  if (FDisplayFormatAssigned) return;
  AnsiString f;
  kxGetCurrencyDisplayFormat(f);
  if (f == FDisplayFormat) return;
  FDisplayFormat = f;
  Changed();
}

void TkxInspectorCurrencyRow::SetDisplayFormat(const AnsiString& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  FDisplayFormatAssigned = true;
  Changed();
}

double TkxInspectorCurrencyRow::MinValue() { return FMin.Get(GetDefaultMinValue()); }
double TkxInspectorCurrencyRow::MaxValue() { return FMax.Get(GetDefaultMaxValue()); }
void TkxInspectorCurrencyRow::SetMinValue(double Value) { FMin.Set(Value); }
void TkxInspectorCurrencyRow::SetMaxValue(double Value) { FMax.Set(Value); }
bool TkxInspectorCurrencyRow::IsMinValueStored() { return FMin.Stored(GetDefaultMinValue()); }
bool TkxInspectorCurrencyRow::IsMaxValueStored() { return FMax.Stored(GetDefaultMaxValue()); }

void TkxInspectorCurrencyRow::SetNullable(bool Value) {
  if (Value == FNullable) return;
  FNullable = Value;
  Changed();
}

void TkxInspectorCurrencyRow::SetNullString(const AnsiString& Value) {
  if (Value == FNullString) return;
  FNullString = Value;
  Changed();
}

void TkxInspectorCurrencyRow::GetValue(Variant& Value) {
  const AnsiString t = EditText();
  Value = t.empty() ? Variant::Null() : Variant(StrToFloat(t));
}

void TkxInspectorCurrencyRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorCurrencyRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    DecimalPlaces = src->DecimalPlaces;
    if (src->FDisplayFormatAssigned) SetDisplayFormat(src->FDisplayFormat);
    if (src->FMin.Assigned) SetMinValue(src->FMin.Value);
    if (src->FMax.Assigned) SetMaxValue(src->FMax.Value);
    UseThousandSeparator = src->UseThousandSeparator;
    SetNullable(src->FNullable);
    SetNullString(src->FNullString);
  });
}

void TkxInspectorCurrencyRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  FMin.Clear();
  FMax.Clear();
  DecimalPlaces = 2;
  kxGetCurrencyDisplayFormat(FDisplayFormat);
  FDisplayFormatAssigned = false;
  FNullable = false;
  FNullString.clear();
  UseThousandSeparator = false;
}

void TkxInspectorCurrencyRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  auto* c = dynamic_cast<TkxInplaceCurrencyEdit*>(Edit);
  if (!c) return;
  c->DecimalPlaces = DecimalPlaces;
  c->SetDisplayFormat("");
  c->SetValueRange(MaxValue(), MinValue());
  c->SetNullable(FNullable);
  c->SetNullString(FNullString);
  c->UseThousandSeparator = UseThousandSeparator;
}

void TkxInspectorCurrencyRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  TkxInspectorRow::LoadEditValue(Edit, Value);
  auto* c = dynamic_cast<TkxInplaceCurrencyEdit*>(Edit);
  if (!c) return;
  const AnsiString t = VarToStr(Value);
  c->SetText("");
  try {
    if (!t.empty()) {
      c->SetValue(StrToFloat(t));
    } else {
      c->SetValue(0);
      if (FNullable) c->SetText("");
    }
  } catch (const Exception&) {
    c->SetValue(0);
  }
  Value = Variant(c->GetValue());
}

void TkxInspectorCurrencyRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* c = dynamic_cast<TkxInplaceCurrencyEdit*>(Edit);
  if (!c) {
    TkxInspectorRow::SaveEditValue(Edit, Value);
    return;
  }
  Variant v;
  c->GetEditValue(v);
  if (v.IsNull())
    SetEditText("");
  else if (c->GetValue() != 0)
    SetEditText(c->GetText());
  else
    SetEditText("0");
  Value = Variant(EditText());
}

void TkxInspectorCurrencyRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorRow::PrepareViewData(VD, Cell);
  if (FDisplayFormat.empty()) return;
  try {
    Variant v;
    GetValue(v);
    if (v.IsNull() || v.Type() == varString) {
      const AnsiString t = v.IsNull() ? AnsiString() : VarToStr(v);
      VD->Value = Variant(t.empty() && FNullable ? FNullString : t);
    } else {
      VD->Value = Variant(FormatFloat(FDisplayFormat, v.AsDouble()));
    }
  } catch (const Exception&) {
  }
}

// ---------------------------------------------------------------------------
// Hyperlink

TkxInspectorHyperLinkRow::TkxInspectorHyperLinkRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {
  FLinkFont = new TFont();
  RebuildLinkFont();
}

TkxInspectorHyperLinkRow::~TkxInspectorHyperLinkRow() { delete FLinkFont; }

void TkxInspectorHyperLinkRow::RebuildLinkFont() {
  FLinkFont->SetStyle(FLinkFont->Style() << fsUnderline);
  FLinkFont->SetColor(FSingleClick ? FEditFontColor : clWindowText);
}

void TkxInspectorHyperLinkRow::SetEditBackgroundColor(TColor Value) {
  if (Value == FEditBackgroundColor) return;
  FEditBackgroundColor = Value;
  RebuildLinkFont();
  Changed();
}

void TkxInspectorHyperLinkRow::SetEditFontColor(TColor Value) {
  if (Value == FEditFontColor) return;
  FEditFontColor = Value;
  RebuildLinkFont();
  Changed();
}

void TkxInspectorHyperLinkRow::SetSingleClick(bool Value) {
  if (Value == FSingleClick) return;
  FSingleClick = Value;
  RebuildLinkFont();
  Changed();
}

void TkxInspectorHyperLinkRow::DoStartClick(TObject* Sender) {
  if (OnStartClick) OnStartClick(this);
}

void TkxInspectorHyperLinkRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorHyperLinkRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    SetEditBackgroundColor(src->FEditBackgroundColor);
    SetEditFontColor(src->FEditFontColor);
    SetSingleClick(src->FSingleClick);
    StartKey = src->StartKey;
  });
}

void TkxInspectorHyperLinkRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  FEditBackgroundColor = TColor(16777215);
  FEditFontColor = TColor(16711680);
  FSingleClick = false;
  StartKey = 16397;
  RebuildLinkFont();
}

void TkxInspectorHyperLinkRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  auto* h = dynamic_cast<TkxInplaceHyperLinkEdit*>(Edit);
  if (!h) return;
  h->SetColor(FEditBackgroundColor);
  h->SetLinkFontColor(FEditFontColor);
  h->SingleClick = FSingleClick;
  h->StartKey = StartKey;
  h->OnStartClick = OnStartClick ? TNotifyEvent(this, &TkxInspectorHyperLinkRow::DoStartClick) : TNotifyEvent();
}

void TkxInspectorHyperLinkRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorRow::PrepareViewData(VD, Cell);
  if (auto* h = dynamic_cast<TkxHyperLinkEditViewData*>(VD)) {
    if (Inspector()) FLinkFont->SetName(Inspector()->Font()->Name());
    if (Inspector()) FLinkFont->SetSize(Inspector()->Font()->Size());
    h->Font = FLinkFont->Handle();
    if (FLinkFont->Color() == FEditFontColor) h->TextColor = ColorToRGB(FEditFontColor);
  }
}

// ---------------------------------------------------------------------------
// Most recently used

void TkxInspectorMRURow::SetShowEllipsis(bool Value) {
  if (Value == FShowEllipsis) return;
  FShowEllipsis = Value;
  Changed();
}

void TkxInspectorMRURow::DoButtonClick(TObject* Sender) {
  if (OnButtonClick) OnButtonClick(this);
}

void TkxInspectorMRURow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorMRURow*>(Source);
  if (!src) {
    TkxInspectorPickRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorPickRow::Assign(Source);
    MaxItemCount = src->MaxItemCount;
    SetShowEllipsis(src->FShowEllipsis);
  });
}

void TkxInspectorMRURow::RestoreDefaults() {
  TkxInspectorPickRow::RestoreDefaults();
  MaxItemCount = 7;
  FShowEllipsis = true;
}

void TkxInspectorMRURow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorPickRow::InitEditProperties(Edit);
  auto* m = dynamic_cast<TkxInplaceMRUEdit*>(Edit);
  if (!m) return;
  m->SetMaxItemCount(MaxItemCount);
  m->SetShowEllipsis(FShowEllipsis);
  m->OnButtonClick = TNotifyEvent(this, &TkxInspectorMRURow::DoButtonClick);
}

void TkxInspectorMRURow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  if (auto* m = dynamic_cast<TkxInplaceMRUEdit*>(Edit)) Items()->Assign(m->Items());
  TkxInspectorPickRow::SaveEditValue(Edit, Value);
}

void TkxInspectorMRURow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorPickRow::PrepareViewData(VD, Cell);
  if (auto* m = dynamic_cast<TkxMRUEditViewData*>(VD)) m->ShowEllipsis = FShowEllipsis;
}

KX_EDIT_CLASS_IMPL(TkxInspectorButtonEdit)
KX_EDIT_CLASS_IMPL(TkxInspectorBlobEdit)

// ---------------------------------------------------------------------------
// Button

void TkxRowEditButtons::Update(TCollectionItem* Item) {
  TkxEditButtons::Update(Item);
  if (auto* r = dynamic_cast<TkxInspectorButtonRow*>(FOwner)) r->Changed();
}

TkxInspectorButtonRow::TkxInspectorButtonRow(TComponent* AOwner) : TkxInspectorDropDownRow(AOwner) {
  FButtons = new TkxRowEditButtons(this);
  FButtons->Add();
  FGlyph = new TBitmap();
}

TkxInspectorButtonRow::~TkxInspectorButtonRow() {
  delete FButtons;
  delete FGlyph;
}

void TkxInspectorButtonRow::SetButtonOnly(bool Value) {
  if (Value == FButtonOnly) return;
  FButtonOnly = Value;
  Changed();
}

void TkxInspectorButtonRow::SetHideEditCursor(bool Value) {
  if (Value == FHideEditCursor) return;
  FHideEditCursor = Value;
  Changed();
}

void TkxInspectorButtonRow::SetEditButtonStyle(TkxEditButtonStyle Value) {
  if (Value == FEditButtonStyle) return;
  FEditButtonStyle = Value;
  if (Value == ebsSimple) {
    FButtons->Clear();
  } else {
    if (FButtons->Count() == 0) FButtons->Add();
    FButtons->GetItem(0)->SetKind(Value == ebsEllipsis ? bkEllipsis : Value == ebsDown ? bkDown : bkGlyph);
  }
  Changed();
}

void TkxInspectorButtonRow::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  if (FButtons->Count() > 0) FButtons->GetItem(0)->SetGlyph(Value);
}

void TkxInspectorButtonRow::DoButtonClick(TObject* Sender, int AbsoluteIndex) {
  if (OnButtonClick) OnButtonClick(this, AbsoluteIndex);
}

void TkxInspectorButtonRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorButtonRow*>(Source);
  if (!src) {
    TkxInspectorDropDownRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorDropDownRow::Assign(Source);
    SetButtonOnly(src->FButtonOnly);
    SetButtons(src->FButtons);
    FEditButtonStyle = src->FEditButtonStyle;
    ClickKey = src->ClickKey;
    FGlyph->Assign(src->FGlyph);
    SetHideEditCursor(src->FHideEditCursor);
  });
}

void TkxInspectorButtonRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  FButtonOnly = false;
  FButtons->RestoreDefaults();
  FButtons->Clear();
  FButtons->Add();
  FEditButtonStyle = ebsEllipsis;
  ClickKey = 16397;
  FGlyph->Assign(nullptr);
  FHideEditCursor = false;
}

void TkxInspectorButtonRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* b = dynamic_cast<TkxInplaceButtonEdit*>(Edit);
  if (!b) return;
  b->SetButtons(FButtons);
  b->ClickKey = ClickKey;
  b->SetButtonEditMode(FButtonOnly ? 2 : FHideEditCursor ? 1 : 0);
  b->OnButtonClick = TkxEditButtonClickEvent(this, &TkxInspectorButtonRow::DoButtonClick);
}

void TkxInspectorButtonRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorDropDownRow::PrepareViewData(VD, Cell);
  if (auto* b = dynamic_cast<TkxButtonEditViewData*>(VD)) {
    b->ButtonOnly = false;
    b->ButtonCollection = FButtons;
    b->HideEditCursor = FHideEditCursor;
  }
}

// ---------------------------------------------------------------------------
// Blob

void TkxInspectorCustomBlobRow::SetBlobPaintStyle(TkxBlobPaintStyle Value) {
  if (Value == FBlobPaintStyle) return;
  FBlobPaintStyle = Value;
  Changed();
}

void TkxInspectorCustomBlobRow::SetBlobEditKind(TkxBlobEditKind Value) {
  if (Value == FBlobEditKind) return;
  FBlobEditKind = Value;
  Changed();
}

void TkxInspectorCustomBlobRow::DoAssignPicture(TObject* Sender, TPicture*& Picture) {
  if (OnAssignPicture) OnAssignPicture(this, Picture);
}

void TkxInspectorCustomBlobRow::DoGetGraphicClass(TObject* Sender, TClass& GraphicClass) {
  GraphicClass = GetGraphicClass();
}

TClass TkxInspectorCustomBlobRow::GetGraphicClass() {
  TClass c = PictureGraphicClass;
  if (OnGetGraphicClass) OnGetGraphicClass(this, c);
  return c;
}

// A pop-up resized by the user opens at that size next time.
void TkxInspectorCustomBlobRow::SavePopupSize(TObject* Edit) {
  if (auto* b = dynamic_cast<TkxInspectorBlobEdit*>(Edit)) {
    PopupWidth = b->PopupWidth;
    PopupHeight = b->PopupHeight;
  }
}

void TkxInspectorCustomBlobRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorCustomBlobRow*>(Source);
  if (!src) {
    TkxInspectorDropDownRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorDropDownRow::Assign(Source);
    AlwaysSaveText = src->AlwaysSaveText;
    SetBlobPaintStyle(src->FBlobPaintStyle);
    SetBlobEditKind(src->FBlobEditKind);
    MaxDisplayLength = src->MaxDisplayLength;
    MemoCharCase = src->MemoCharCase;
    MemoHideScrollBars = src->MemoHideScrollBars;
    MemoMaxLength = src->MemoMaxLength;
    MemoOEMConvert = src->MemoOEMConvert;
    MemoScrollBars = src->MemoScrollBars;
    MemoSelectionBar = src->MemoSelectionBar;
    MemoWantReturns = src->MemoWantReturns;
    MemoWantTabs = src->MemoWantTabs;
    MemoWordWrap = src->MemoWordWrap;
    PictureAutoSize = src->PictureAutoSize;
    PictureFilter = src->PictureFilter;
    PictureTransparency = src->PictureTransparency;
    PopupHeight = src->PopupHeight;
    PopupWidth = src->PopupWidth;
    ShowExPopupItems = src->ShowExPopupItems;
    ShowPicturePopup = src->ShowPicturePopup;
    SizeablePopup = src->SizeablePopup;
  });
}

void TkxInspectorCustomBlobRow::RestoreDefaults() {
  TkxInspectorDropDownRow::RestoreDefaults();
  AlwaysSaveText = false;
  FBlobPaintStyle = bpsIcon;
  MaxDisplayLength = 255;
  MemoCharCase = TEditCharCase::ecNormal;
  MemoHideScrollBars = true;
  MemoMaxLength = 0;
  MemoOEMConvert = false;
  MemoScrollBars = ssBoth;
  MemoSelectionBar = false;
  MemoWantReturns = MemoWantTabs = MemoWordWrap = true;
  PictureAutoSize = true;
  PictureFilter.clear();
  PictureTransparency = gtDefault;
  PopupHeight = 140;
  PopupWidth = 200;
  ShowExPopupItems = ShowPicturePopup = false;
  SizeablePopup = true;
}

void TkxInspectorCustomBlobRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorDropDownRow::InitEditProperties(Edit);
  auto* b = dynamic_cast<TkxInplaceBlobEdit*>(Edit);
  if (!b) return;
  b->AlwaysSaveText = AlwaysSaveText;
  b->SetBlobEditKind(GetBlobEditKind());
  b->SetBlobPaintStyle(FBlobPaintStyle);
  AnsiString display;
  if (FBlobPaintStyle == bpsText) {
    Variant v;
    GetBlobValue(v);
    display = v.IsNull() || v.IsEmpty() ? AnsiString() : VarToStr(v);
  } else {
    GetBlobDisplayText(display);
  }
  b->SetDisplayText(display);
  b->MemoCharCase = MemoCharCase;
  b->MemoHideScrollBars = MemoHideScrollBars;
  b->MemoMaxLength = MemoMaxLength;
  b->MemoOEMConvert = MemoOEMConvert;
  b->MemoScrollBars = MemoScrollBars;
  b->MemoSelectionBar = MemoSelectionBar;
  b->MemoWantReturns = MemoWantReturns;
  b->MemoWantTabs = MemoWantTabs;
  b->MemoWordWrap = MemoWordWrap;
  b->PictureAutoSize = PictureAutoSize;
  if (PictureClipFormat) b->PictureClipFormat = PictureClipFormat;
  b->PictureFilter = PictureFilter;
  b->PictureClass = GetGraphicClass();
  b->PictureTransparency = PictureTransparency;
  b->PopupHeight = PopupHeight;
  b->PopupWidth = PopupWidth;
  b->ShowExPopupItems = ShowExPopupItems;
  b->ShowPicturePopup = ShowPicturePopup;
  b->SizeablePopup = SizeablePopup;
  b->OnAssignPicture = TkxBlobAssignPictureEvent(this, &TkxInspectorCustomBlobRow::DoAssignPicture);
  b->OnGetGraphicClass = TkxBlobGetGraphicClassEvent(this, &TkxInspectorCustomBlobRow::DoGetGraphicClass);
  b->OnPopupSizeChanged = TNotifyEvent(this, &TkxInspectorCustomBlobRow::SavePopupSize);
}

void TkxInspectorCustomBlobRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  TkxInspectorDropDownRow::LoadEditValue(Edit, Value);
  Value = Variant(EditText());
  if (auto* b = dynamic_cast<TkxInplaceBlobEdit*>(Edit)) b->SetBlobText(VarToStr(Value));
}

void TkxInspectorCustomBlobRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* b = dynamic_cast<TkxInplaceBlobEdit*>(Edit);
  if (!b) {
    TkxInspectorDropDownRow::SaveEditValue(Edit, Value);
    return;
  }
  SetEditText(b->BlobText());
  Value = Variant(EditText());
}

void TkxInspectorCustomBlobRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorDropDownRow::PrepareViewData(VD, Cell);
  auto* b = dynamic_cast<TkxBlobEditViewData*>(VD);
  if (!b) return;
  b->EditKind = GetBlobEditKind();
  b->PaintStyle = FBlobPaintStyle;
  b->IconList = kxBlobImages;
  Variant v;
  GetBlobValue(v);
  b->IsEmpty = v.IsNull() || v.IsEmpty() || (v.Type() == varString && VarToStr(v).empty());
  AnsiString text;
  if (FBlobPaintStyle == bpsText)
    text = v.IsNull() || v.IsEmpty() ? AnsiString() : VarToStr(v);
  else
    GetBlobDisplayText(text);
  b->Value = Variant(text);
}

KX_EDIT_CLASS_IMPL(TkxInspectorGraphicEdit)

// ---------------------------------------------------------------------------
// Graphic

TkxInspectorGraphicRow::TkxInspectorGraphicRow(TComponent* AOwner) : TkxInspectorRow(AOwner) {
  FPopupToolBar = new TkxPopupToolBarWindow(nullptr);
  FPicture = new TPicture();
}

TkxInspectorGraphicRow::~TkxInspectorGraphicRow() {
  delete FPopupToolBar;
  delete FPicture;
}

void TkxInspectorGraphicRow::SetCenter(bool Value) {
  if (Value == FCenter) return;
  FCenter = Value;
  Changed();
}

void TkxInspectorGraphicRow::SetCustomGraphic(bool Value) {
  if (Value == FCustomGraphic) return;
  FCustomGraphic = Value;
  Changed();
}

void TkxInspectorGraphicRow::SetGraphicTransparency(TkxGraphicEditTransparency Value) {
  if (Value == FGraphicTransparency) return;
  FGraphicTransparency = Value;
  Changed();
}

void TkxInspectorGraphicRow::SetPopupToolbarPosStored(bool Value) {
  FPopupToolbarPosStored = Value;
  if (!Value) ToolbarPos = kxPoint(-10000, -10000);
}

void TkxInspectorGraphicRow::SetQuickDraw(bool Value) {
  if (Value == FQuickDraw) return;
  FQuickDraw = Value;
  Changed();
}

void TkxInspectorGraphicRow::SetStretch(bool Value) {
  if (Value == FStretch) return;
  FStretch = Value;
  Changed();
}

void TkxInspectorGraphicRow::DoAssignPicture(TObject* Sender, TPicture*& Picture) {
  if (OnAssignPicture) OnAssignPicture(this, Picture);
}

void TkxInspectorGraphicRow::DoCustomClick(TObject* Sender) {
  if (OnCustomClick) OnCustomClick(this);
}

void TkxInspectorGraphicRow::DoGetGraphicClass(TObject* Sender, TClass& GraphicClass) {
  GraphicClass = GetGraphicClass();
}

TClass TkxInspectorGraphicRow::GetGraphicClass() {
  TClass c = nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(this, c);
  return c;
}

void TkxInspectorGraphicRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorGraphicRow*>(Source);
  if (!src) {
    TkxInspectorRow::Assign(Source);
    return;
  }
  InUpdate(this, [&] {
    TkxInspectorRow::Assign(Source);
    SetCenter(src->FCenter);
    CustomFilter = src->CustomFilter;
    SetCustomGraphic(src->FCustomGraphic);
    DblClickActivate = src->DblClickActivate;
    SetGraphicTransparency(src->FGraphicTransparency);
    FPopupToolBar->Assign(src->FPopupToolBar);
    SetPopupToolbarPosStored(src->FPopupToolbarPosStored);
    SetQuickDraw(src->FQuickDraw);
    SetStretch(src->FStretch);
  });
}

void TkxInspectorGraphicRow::RestoreDefaults() {
  TkxInspectorRow::RestoreDefaults();
  FCenter = true;
  FCustomGraphic = false;
  DblClickActivate = true;
  FGraphicTransparency = gtDefault;
  FPopupToolbarPosStored = true;
  FQuickDraw = false;
  FStretch = true;
}

void TkxInspectorGraphicRow::InitEditProperties(TkxInplaceEdit* Edit) {
  TkxInspectorRow::InitEditProperties(Edit);
  auto* g = dynamic_cast<TkxInplaceGraphicEdit*>(Edit);
  if (!g) return;
  g->SetCenter(FCenter);
  if (PictureClipFormat) g->PictureClipFormat = PictureClipFormat;
  g->CustomFilter = CustomFilter;
  g->DblClickActivate = DblClickActivate;
  g->SetGraphicTransparency(FGraphicTransparency);
  g->SetPopupToolBar(FPopupToolBar);
  g->ToolbarPos = ToolbarPos;
  g->SetPopupToolbarPosStored(FPopupToolbarPosStored);
  g->QuickDraw = FQuickDraw;
  g->SetStretch(FStretch);
  g->OnAssignPicture = TkxGraphicEditAssignPictureEvent(this, &TkxInspectorGraphicRow::DoAssignPicture);
  g->OnCustomClick = TNotifyEvent(this, &TkxInspectorGraphicRow::DoCustomClick);
  g->OnGetGraphicClass = TkxGraphicEditGetGraphicClassEvent(this, &TkxInspectorGraphicRow::DoGetGraphicClass);
}

void TkxInspectorGraphicRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  TkxInspectorRow::LoadEditValue(Edit, Value);
  GetGraphicValue(Value);
  auto* g = dynamic_cast<TkxInplaceGraphicEdit*>(Edit);
  if (!g) return;
  g->SetTextMargins(kxRect(0, 0, 0, 0));
  g->SetText("");
  kxLoadPictureFromValue(g->Picture(), GetGraphicClass(), Value);
}

void TkxInspectorGraphicRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  auto* g = dynamic_cast<TkxInplaceGraphicEdit*>(Edit);
  if (!g) {
    TkxInspectorRow::SaveEditValue(Edit, Value);
    return;
  }
  TPicture* p = g->Picture();
  if (OnAssignPicture) OnAssignPicture(this, p);
  AnsiString bytes;
  kxSavePictureToString(g->Picture(), bytes);
  SetEditText(bytes);
  Value = Variant(EditText());
}

// The picture is decoded from the value for every paint of the cell.
void TkxInspectorGraphicRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TkxInspectorRow::PrepareViewData(VD, Cell);
  if (FCustomGraphic && ComponentState().Contains(csDesigning)) {
    FPicture->Assign(nullptr);
  } else {
    Variant v;
    GetGraphicValue(v);
    try {
      kxLoadPictureFromValue(FPicture, GetGraphicClass(), v);
    } catch (const Exception&) {
      FPicture->Assign(nullptr);
    }
  }
  if (FGraphicTransparency != gtDefault && !kxIsPictureEmpty(FPicture))
    FPicture->Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
  VD->Value = Variant(AnsiString());
  VD->TextOffsets = TRect{0, 0, 0, 0};
  if (auto* g = dynamic_cast<TkxGraphicEditViewData*>(VD)) {
    g->Picture = FPicture;
    g->Center = FCenter;
    g->QuickDraw = FQuickDraw;
    g->Stretch = FStretch;
  }
}
