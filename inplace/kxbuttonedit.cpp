#include "inplace/kxbuttonedit.h"

#include "platform/classes/filer.h"
#include "platform/controls/menus.h"

namespace {
TCollection* CheckRoom(TCollection* C) {
  if (C && C->Count() > kxMaxEditButtons - 1)
    throw Exception("Too many buttons ( >= " + std::to_string(kxMaxEditButtons) + ")");
  return C;
}
}  // namespace

// ---- TkxEditButton ----

TkxEditButton::TkxEditButton(TCollection* Collection) : TCollectionItem(CheckRoom(Collection)) {}

TkxEditButton::~TkxEditButton() { delete FGlyph; }

TBitmap* TkxEditButton::GetGlyph() {
  if (!FGlyph) FGlyph = new TBitmap();
  return FGlyph;
}

void TkxEditButton::SetGlyph(TBitmap* Value) {
  if (!Value) {
    delete FGlyph;
    FGlyph = nullptr;
  } else {
    GetGlyph()->Assign(Value);
  }
  Changed(true);
}

void TkxEditButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value)
    if (auto* c = dynamic_cast<TkxEditButtons*>(Collection()))
      for (int i = 0; i < c->Count(); ++i) c->GetItem(i)->FDefault = false;
  FDefault = Value;
  Changed(true);
}

#define KX_BUTTON_SETTER(Name, Type, Field) \
  void TkxEditButton::Set##Name(Type Value) { \
    if (Field == Value) return;               \
    Field = Value;                            \
    Changed(true);                            \
  }
KX_BUTTON_SETTER(Kind, TkxEditButtonKind, FKind)
KX_BUTTON_SETTER(LeftAlignment, bool, FLeftAlignment)
KX_BUTTON_SETTER(Visible, bool, FVisible)
KX_BUTTON_SETTER(Width, int, FWidth)
#undef KX_BUTTON_SETTER

void TkxEditButton::RestoreDefaults() {
  delete FGlyph;
  FGlyph = nullptr;
  FKind = bkEllipsis;
  FLeftAlignment = false;
  FVisible = true;
  FWidth = 0;
  Changed(true);
}

void TkxEditButton::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxEditButton*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  TCollection* c = Collection();
  if (c) c->BeginUpdate();
  try {
    RestoreDefaults();
    SetDefault(src->Default());
    SetGlyph(src->GetGlyph());
    SetKind(src->Kind());
    SetLeftAlignment(src->LeftAlignment());
    SetVisible(src->Visible());
    SetWidth(src->Width());
  } catch (...) {
    if (c) c->EndUpdate();
    throw;
  }
  if (c) c->EndUpdate();
}

// ---- TkxEditButtons ----

TkxEditButtons::TkxEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), FOwner(AOwner) {}

void TkxEditButtons::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (FOwner && !FOwner->ComponentState().Contains(csLoading) && Count() == 1) GetItem(0)->FDefault = true;
}

void TkxEditButtons::RestoreDefaults() {
  BeginUpdate();
  try {
    for (int i = 0; i < Count(); ++i) GetItem(i)->RestoreDefaults();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TkxEditButtons::VisibleCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->Visible()) ++n;
  return n;
}

int TkxEditButtons::VisibleIndexToIndex(int Index) const {
  for (int i = 0, v = 0; i < Count(); ++i)
    if (GetItem(i)->Visible()) {
      if (v == Index) return i;
      ++v;
    }
  return -1;
}

TkxEditButton* TkxEditButtons::VisibleItem(int Index) const {
  int i = VisibleIndexToIndex(Index);
  return i < 0 ? nullptr : GetItem(i);
}

void TkxInplaceEditButtons::Update(TCollectionItem* Item) {
  TkxEditButtons::Update(Item);
  if (auto* e = dynamic_cast<TkxInplaceEdit*>(FOwner)) e->LayoutChanged();
}

// ---- class-level ----

KX_EDIT_CLASS_IMPL(TkxInplaceButtonEdit)

void TkxInplaceButtonEdit::TClassRef::CalcButtons(TkxDropDownEditViewData* ViewData) const {
  TkxInplaceDropDownEdit::TClassRef::CalcButtons(ViewData);
  auto* vd = dynamic_cast<TkxButtonEditViewData*>(ViewData);
  if (!vd || !vd->ButtonCollection || vd->ButtonsHidden) return;
  TkxEditButtons* b = vd->ButtonCollection;
  vd->ButtonCount = std::min(b->VisibleCount(), kxMaxEditButtons);
  int sum = 0;
  for (int i = 0; i < vd->ButtonCount; ++i) {
    TkxEditButton* item = b->VisibleItem(i);
    TkxEditButtonEntry& e = vd->ButtonEntries[i];
    e = TkxEditButtonEntry{};
    e.Glyph = item->GetGlyph();
    e.Ordinal = i;
    e.Kind = item->Kind();
    e.LeftAlignment = item->LeftAlignment();
    e.Width = item->Width() ? item->Width() : GetButtonWidth(vd, e);
    sum += e.Width;
  }
  if (vd->ButtonOnly && vd->ButtonCount > 0) {
    // The buttons fill the cell: the last one takes the rest of the width.
    int w = (vd->Bounds.right - (vd->Shadow ? 2 : 0) - 2) - (vd->Bounds.left + 2);
    if (sum < w) vd->ButtonEntries[vd->ButtonCount - 1].Width += w - sum;
  }
}

void TkxInplaceButtonEdit::TClassRef::CalcViewInfo(TkxEditViewData* ViewData, bool CalcSize,
                                                   TkxEditViewRects& Rects) const {
  TkxInplaceDropDownEdit::TClassRef::CalcViewInfo(ViewData, CalcSize, Rects);
  auto* vd = dynamic_cast<TkxButtonEditViewData*>(ViewData);
  if (vd && vd->ButtonOnly) Rects.ClientRect.right = Rects.ClientRect.left;
}

bool TkxInplaceButtonEdit::TClassRef::DrawClient(HDC DC, const TRect& R, bool OwnWindow,
                                                 TkxEditViewData* ViewData) const {
  auto* vd = dynamic_cast<TkxButtonEditViewData*>(ViewData);
  if (!vd || !vd->HideEditCursor) return TkxInplaceDropDownEdit::TClassRef::DrawClient(DC, R, OwnWindow, ViewData);
  // Without a caret the text is drawn for the live editor too.
  bool editing = vd->IsTextEditing;
  vd->IsTextEditing = false;
  bool result = TkxInplaceDropDownEdit::TClassRef::DrawClient(DC, R, OwnWindow, vd);
  vd->IsTextEditing = editing;
  return result;
}

// ---- TkxInplaceButtonEdit ----

TkxInplaceButtonEdit::TkxInplaceButtonEdit(TComponent* AOwner)
    : TkxInplaceDropDownEdit(AOwner),
      FButtons(std::make_unique<TkxInplaceEditButtons>(this, TkxEditButton::StaticClass())) {
  FButtons->Add();
}

TkxInplaceButtonEdit::~TkxInplaceButtonEdit() = default;

void TkxInplaceButtonEdit::SetButtons(TkxEditButtons* Value) { FButtons->Assign(Value); }

void TkxInplaceButtonEdit::SetButtonEditMode(Byte Value) {
  if (FButtonEditMode == Value) return;
  FButtonEditMode = Value;
  if (HandleAllocated()) RecreateWnd();
}

TkxEditViewData* TkxInplaceButtonEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceDropDownEdit::CreateViewData(FromData);
  if (auto* b = dynamic_cast<TkxButtonEditViewData*>(vd)) {
    b->ButtonCollection = FButtons.get();
    b->ButtonOnly = FButtonEditMode == 2 && FButtons->Count() > 0;
    b->HideEditCursor = !vd->IsTextEditing;
  }
  return vd;
}

void TkxInplaceButtonEdit::ButtonClick(int Index) {
  if (OnButtonClick && Index >= 0 && Index < FButtons->VisibleCount())
    OnButtonClick(this, FButtons->VisibleItem(Index)->Index());
  DoEditButtonClick();
}

void TkxInplaceButtonEdit::ClickDefaultButton() {
  for (int v = 0; v < FButtons->VisibleCount(); ++v)
    if (FButtons->VisibleItem(v)->Default()) {
      ButtonClick(v);
      return;
    }
}

void TkxInplaceButtonEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!IsTextEditing() && (Key == VK_LEFT || Key == VK_RIGHT)) ContainerKeyHook(Key == VK_LEFT);
  if (FButtons->Count() > 0 && Key && ShortCut(Key, Shift) == ClickKey) {
    if (HandleAllocated()) kxRemovePendingChar(Handle());
    ClickDefaultButton();
    Key = 0;
    return;
  }
  TkxInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TkxInplaceButtonEdit::WMGetDlgCode3(TMessage& Message) {
  TkxInplaceDropDownEdit::Dispatch(Message);
  Message.Result |= DLGC_WANTARROWS;
}

void TkxInplaceButtonEdit::DefineProperties(TFiler* Filer) {
  TkxInplaceDropDownEdit::DefineProperties(Filer);
  Filer->DefineProperty(
      "ExistButtons", [this](TReader* R) { FExistButtons = R->ReadBoolean(); },
      [this](TWriter* W) { W->WriteBoolean(FButtons->Count() > 0); }, FButtons->Count() > 0);
}

void TkxInplaceButtonEdit::Loaded() {
  TkxInplaceDropDownEdit::Loaded();
  // A stored editor without buttons does not keep the constructor's one.
  if (!FExistButtons) FButtons->Clear();
}

void kxInitButtonEdit() {
  RegisterClasses({TkxInplaceButtonEdit::StaticClass(), TkxEditButton::StaticClass(),
                   TkxButtonEditViewData::StaticClass()});
  RegisterProps<TkxEditButton>([](TPropBuilder<TkxEditButton>& p) {
    p.Prop("Default", &TkxEditButton::Default, &TkxEditButton::SetDefault).Default(false);
    p.Prop("Glyph", &TkxEditButton::GetGlyph, &TkxEditButton::SetGlyph).Stored([](TObject* o) {
      TBitmap* g = static_cast<TkxEditButton*>(o)->GlyphOrNull();
      return g && !g->Empty();
    });
    p.Prop("Kind", &TkxEditButton::Kind, &TkxEditButton::SetKind).Default(bkEllipsis);
    p.Prop("LeftAlignment", &TkxEditButton::LeftAlignment, &TkxEditButton::SetLeftAlignment).Default(false);
    p.Prop("Visible", &TkxEditButton::Visible, &TkxEditButton::SetVisible).Default(true);
    p.Prop("Width", &TkxEditButton::Width, &TkxEditButton::SetWidth).Default(0);
  });
  RegisterProps<TkxInplaceButtonEdit>([](TPropBuilder<TkxInplaceButtonEdit>& p) {
    p.Prop("Buttons", &TkxInplaceButtonEdit::Buttons, &TkxInplaceButtonEdit::SetButtons);
  });
}
