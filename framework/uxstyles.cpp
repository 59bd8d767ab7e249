#include "framework/uxstyles.h"
#include <algorithm>
#include "platform/classes/filer.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace {
[[noreturn]] void IndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

template <class T>
void RemoveFrom(std::vector<T*>& List, T* Item) {
  List.erase(std::remove(List.begin(), List.end(), Item), List.end());
}
}  // namespace

// ---- registration ----

void uxInitStyles() {
  static bool done = false;
  if (done) return;
  done = true;
  uxInitClasses();
  RegisterClasses({TuxStyleRepository::StaticClass(), TuxStyle::StaticClass()});
  RegisterProps<TuxStyle>([](TPropBuilder<TuxStyle>& p) {
    // AssignedValues has no default, so it is always written, and first: the
    // values read after it only add to it.
    p.Prop("AssignedValues", &TuxStyle::AssignedValues, &TuxStyle::SetAssignedValues);
    p.Prop("Bitmap", &TuxStyle::Bitmap, &TuxStyle::SetBitmap).Stored(&TuxStyle::IsBitmapStored);
    p.Prop("Color", &TuxStyle::Color, &TuxStyle::SetColor)
        .Default(clDefault)
        .Idents(ColorIdentMap())
        .Stored(&TuxStyle::IsColorStored);
    p.Prop("Font", &TuxStyle::Font, &TuxStyle::SetFont).Stored(&TuxStyle::IsFontStored);
    p.Prop("TextColor", &TuxStyle::TextColor, &TuxStyle::SetTextColor)
        .Default(clDefault)
        .Idents(ColorIdentMap())
        .Stored(&TuxStyle::IsTextColorStored);
  });
  RegisterProps<TuxCustomStyleSheet>([](TPropBuilder<TuxCustomStyleSheet>& p) {
    p.Prop("Caption", &TuxCustomStyleSheet::Caption, &TuxCustomStyleSheet::SetCaption)
        .Stored(&TuxCustomStyleSheet::IsCaptionStored);
  });
}

// ---- TuxCustomStyle ----

TuxCustomStyle::~TuxCustomStyle() {
  NotifyListenersOfRemoval();
  SetStyleRepository(nullptr);
}

void TuxCustomStyle::NotifyListenersOfRemoval() {
  // Each listener drops this style from its slots and stops listening. One that
  // fails to do so is dropped here, so that the loop always ends.
  while (!FListeners.empty()) {
    IuxStyleListener* last = FListeners.back();
    size_t before = FListeners.size();
    last->NotifyStyleRemoved(this);
    if (FListeners.size() == before && FListeners.back() == last) FListeners.pop_back();
  }
}

void TuxCustomStyle::Changed() {
  // From the last added to the first; a listener may stop listening meanwhile.
  for (size_t i = FListeners.size(); i-- > 0;) {
    if (i >= FListeners.size()) continue;
    FListeners[i]->NotifyStyleChanged(this);
  }
}

void TuxCustomStyle::AddListener(IuxStyleListener* Listener) {
  if (Listener && std::find(FListeners.begin(), FListeners.end(), Listener) == FListeners.end())
    FListeners.push_back(Listener);
}

void TuxCustomStyle::RemoveListener(IuxStyleListener* Listener) { RemoveFrom(FListeners, Listener); }

bool TuxCustomStyle::IsValueAssigned(TuxCustomStyle* Style, TuxStyleValue Value) {
  auto* s = dynamic_cast<TuxStyle*>(Style);
  return s && s->AssignedValues().Contains(Value);
}

void TuxCustomStyle::SetStyleRepository(TuxStyleRepository* Value) {
  if (FStyleRepository == Value) return;
  if (FStyleRepository) RemoveFrom(FStyleRepository->FItems, this);
  FStyleRepository = Value;
  if (Value && std::find(Value->FItems.begin(), Value->FItems.end(), this) == Value->FItems.end())
    Value->FItems.push_back(this);
}

TComponent* TuxCustomStyle::GetParentComponent() const { return FStyleRepository; }

void TuxCustomStyle::ReadState(TReader* Reader) {
  TComponent::ReadState(Reader);
  if (auto* repository = dynamic_cast<TuxStyleRepository*>(Reader->Parent())) SetStyleRepository(repository);
}

void TuxCustomStyle::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  auto* repository = dynamic_cast<TuxStyleRepository*>(Value);
  if (Value && !repository) throw EComponentError("A style's parent must be a style repository");
  SetStyleRepository(repository);
}

// ---- TuxStyle ----

TuxStyle::TuxStyle(TComponent* AOwner) : TuxCustomStyle(AOwner), FBitmap(new TBitmap), FFont(new TFont) {
  FBitmap->OnChange = TNotifyEvent(this, &TuxStyle::BitmapChanged);
  FFont->OnChange = TNotifyEvent(this, &TuxStyle::FontChanged);
}

TuxStyle::~TuxStyle() {
  // The sets holding this style hear of it while its bitmap and font still exist.
  NotifyListenersOfRemoval();
  FBitmap->OnChange = nullptr;
  FFont->OnChange = nullptr;
  delete FFont;
  delete FBitmap;
}

void TuxStyle::BitmapChanged(TObject*) {
  if (FRestoring) return;
  if (FBitmap->Empty())
    FAssignedValues >> svBitmap;
  else
    FAssignedValues << svBitmap;
  Changed();
}

void TuxStyle::FontChanged(TObject*) {
  if (FRestoring) return;
  FAssignedValues << svFont;
  Changed();
}

void TuxStyle::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  if (Value == clDefault)
    FAssignedValues >> svColor;
  else
    FAssignedValues << svColor;
  Changed();
}

void TuxStyle::SetTextColor(TColor Value) {
  if (FTextColor == Value) return;
  FTextColor = Value;
  if (Value == clDefault)
    FAssignedValues >> svTextColor;
  else
    FAssignedValues << svTextColor;
  Changed();
}

void TuxStyle::SetAssignedValues(TuxStyleValues Value) {
  if (FAssignedValues == Value) return;
  FAssignedValues = Value;
  Changed();
}

void TuxStyle::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TuxStyle*>(Source)) {
    SetBitmap(s->Bitmap());
    SetColor(s->Color());
    SetFont(s->Font());
    SetTextColor(s->TextColor());
    SetAssignedValues(s->AssignedValues());
  } else {
    TuxCustomStyle::Assign(Source);
  }
}

void TuxStyle::RestoreDefaults() {
  FRestoring = true;
  try {
    FBitmap->SetSize(0, 0);
  } catch (...) {
    FRestoring = false;
    throw;
  }
  FRestoring = false;
  FAssignedValues.Clear();
  FColor = clDefault;
  FTextColor = clDefault;
  Changed();
}

// ---- TuxStyleRepository ----

TuxStyleRepository::~TuxStyleRepository() {
  while (!FItems.empty()) delete FItems.back();
  while (!FStyleSheets.empty()) delete FStyleSheets.back();
}

TuxCustomStyle* TuxStyleRepository::CreateItemEx(TClass StyleClass, TComponent* AOwner) {
  if (!StyleClass || !StyleClass->InheritsFrom(TuxCustomStyle::StaticClass()))
    throw EComponentError("Not a style class");
  auto* style = dynamic_cast<TuxCustomStyle*>(CreateObject(StyleClass, AOwner));
  if (!style) throw EComponentError("Cannot create a style of class " + AnsiString(StyleClass->Name));
  style->SetStyleRepository(this);
  return style;
}

TuxCustomStyleSheet* TuxStyleRepository::CreateStyleSheetEx(TClass SheetClass, TComponent* AOwner) {
  if (!SheetClass || !SheetClass->InheritsFrom(TuxCustomStyleSheet::StaticClass()))
    throw EComponentError("Not a style sheet class");
  auto* sheet = dynamic_cast<TuxCustomStyleSheet*>(CreateObject(SheetClass, AOwner));
  if (!sheet) throw EComponentError("Cannot create a style sheet of class " + AnsiString(SheetClass->Name));
  sheet->SetStyleRepository(this);
  return sheet;
}

void TuxStyleRepository::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (auto* s : FItems)
    if (s->Owner() == Root) Proc(s);
  for (auto* s : FStyleSheets)
    if (s->Owner() == Root) Proc(s);
}

TuxCustomStyle* TuxStyleRepository::Items(int Index) const {
  if (Index < 0 || Index >= Count()) IndexError(Index);
  return FItems[Index];
}

TuxCustomStyleSheet* TuxStyleRepository::StyleSheets(int Index) const {
  if (Index < 0 || Index >= StyleSheetCount()) IndexError(Index);
  return FStyleSheets[Index];
}

// ---- TuxCustomStyles ----

TuxCustomStyles::~TuxCustomStyles() {
  FDestroying = true;
  Clear();
  SetStyleSheet(nullptr);
}

void TuxCustomStyles::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TuxCustomStyles*>(Source))
    SetStyleSheet(s->StyleSheet());
  else
    TuxInterfacedPersistent::Assign(Source);
}

bool TuxCustomStyles::Find(int Index, int& Position) const {
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    int mid = uxRangeMiddle(lo, hi);
    int v = FItems[mid]->Index;
    if (v == Index) {
      Position = mid;
      return true;
    }
    if (v < Index)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  Position = lo;
  return false;
}

TuxCustomStyle* TuxCustomStyles::GetValue(int Index) const {
  int pos;
  if (Find(Index, pos)) return FItems[pos]->Item;
  if (!FStyleSheet) return nullptr;
  auto* owner = dynamic_cast<TComponent*>(GetOwner());
  if (owner && owner->ComponentState().Contains(csWriting)) return nullptr;
  return FStyleSheet->Styles()->GetValue(Index);
}

void TuxCustomStyles::SetValue(int Index, TuxCustomStyle* Style) {
  if (Style && !Style->Name().empty() && Style->Owner()) {
    // A style of a form used from a form inherited from it: take the inheriting
    // form's copy of that style.
    TPersistent* root = this;
    while (TPersistent* o = root->GetOwner()) root = o;
    auto* rootComponent = dynamic_cast<TComponent*>(root);
    if (rootComponent && rootComponent != Style->Owner() &&
        rootComponent->ClassType()->InheritsFrom(Style->Owner()->ClassType()))
      if (auto* copy = dynamic_cast<TuxCustomStyle*>(rootComponent->FindComponent(Style->Name())))
        Style = copy;
  }
  if (Style == GetValue(Index)) return;
  int pos;
  if (Find(Index, pos)) {
    TuxCustomStylesItem* item = FItems[pos];
    TuxCustomStyle* old = item->Item;
    if (Style) {
      item->Item = Style;
      Style->AddListener(this);
    } else {
      FItems.erase(FItems.begin() + pos);
      delete item;
    }
    StopListeningUnlessHeld(old);
  } else {
    if (!Style) return;  // nothing own to clear; the sheet's style stays effective
    FItems.insert(FItems.begin() + pos, new TuxCustomStylesItem{Index, Style});
    Style->AddListener(this);
  }
  DoChanged(Index);
}

void TuxCustomStyles::Delete(int Position) {
  if (Position < 0 || Position >= Count()) IndexError(Position);
  TuxCustomStylesItem* item = FItems[Position];
  int index = item->Index;
  TuxCustomStyle* style = item->Item;
  FItems.erase(FItems.begin() + Position);
  delete item;
  StopListeningUnlessHeld(style);
  DoChanged(index);
}

void TuxCustomStyles::StopListeningUnlessHeld(TuxCustomStyle* Style) {
  // A style may fill several slots; the set listens while any of them holds it.
  if (!Style) return;
  for (auto* item : FItems)
    if (item->Item == Style) return;
  Style->RemoveListener(this);
}

void TuxCustomStyles::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
}

const TuxCustomStylesItem& TuxCustomStyles::Items(int Position) const {
  if (Position < 0 || Position >= Count()) IndexError(Position);
  return *FItems[Position];
}

void TuxCustomStyles::DoChanged(int Index) {
  if (FDestroying) return;
  Changed(Index);
  if (FOwnerStyleSheet) FOwnerStyleSheet->DoStyleChanged(Index);
}

void TuxCustomStyles::NotifyStyleChanged(TuxCustomStyle* Sender) {
  std::vector<int> indexes;
  for (auto* item : FItems)
    if (item->Item == Sender) indexes.push_back(item->Index);
  for (int index : indexes) DoChanged(index);
}

void TuxCustomStyles::NotifyStyleRemoved(TuxCustomStyle* Sender) {
  for (int i = Count() - 1; i >= 0; --i)
    if (i < Count() && FItems[i]->Item == Sender) Delete(i);
  // Holding it in no slot any more, stop listening in any case.
  if (Sender) Sender->RemoveListener(this);
}

bool TuxCustomStyles::IsValidStyleSheet(TuxCustomStyleSheet* Sheet) const {
  if (!Sheet) return true;
  if (Sheet == FOwnerStyleSheet) return false;
  if (Sheet->GetStylesClass() != ClassType()) return false;
  if (FOwnerStyleSheet) {
    // The chain from Sheet must never come back to this set's own sheet.
    std::vector<TuxCustomStyleSheet*> seen;
    for (TuxCustomStyleSheet* s = Sheet; s; s = s->Styles()->StyleSheet()) {
      if (s == FOwnerStyleSheet) return false;
      if (std::find(seen.begin(), seen.end(), s) != seen.end()) return false;
      seen.push_back(s);
    }
  }
  return true;
}

void TuxCustomStyles::CollectSheetIndexes(TuxCustomStyleSheet* Sheet, std::vector<int>& Indexes) const {
  std::vector<TuxCustomStyleSheet*> seen;
  for (TuxCustomStyleSheet* s = Sheet; s; s = s->Styles()->StyleSheet()) {
    if (std::find(seen.begin(), seen.end(), s) != seen.end()) break;
    seen.push_back(s);
    for (auto* item : s->Styles()->FItems)
      if (std::find(Indexes.begin(), Indexes.end(), item->Index) == Indexes.end())
        Indexes.push_back(item->Index);
  }
}

void TuxCustomStyles::SetStyleSheet(TuxCustomStyleSheet* Value) {
  if (Value == FStyleSheet || !IsValidStyleSheet(Value)) return;
  std::vector<int> indexes;
  if (FStyleSheet) {
    FStyleSheet->RemoveStyles(this);
    if (!FDestroying) CollectSheetIndexes(FStyleSheet, indexes);
  }
  FStyleSheet = Value;
  if (Value) {
    Value->AddStyles(this);
    CollectSheetIndexes(Value, indexes);
  }
  for (int index : indexes) DoChanged(index);
}

// ---- TuxStyles ----

void TuxStyles::GetDefaultViewParams(int Index, void*, TuxPaintParams& Params) {
  Params.Bitmap = nullptr;
  FMaxDefaultIndex = std::max(FMaxDefaultIndex, Index);
}

bool TuxStyles::UsesDefaultFont(int Index) {
  return !TuxCustomStyle::IsValueAssigned(GetValue(Index), svFont);
}

void TuxStyles::FontChanged(TObject*, TFont* Font) {
  for (int i = 0; i <= FMaxDefaultIndex; ++i) {
    if (!UsesDefaultFont(i)) continue;
    TuxPaintParams defaults{nullptr, clDefault, nullptr, clDefault};
    GetDefaultViewParams(i, nullptr, defaults);
    if (defaults.Font == Font) DoChanged(i);
  }
}

TBitmap* TuxStyles::GetBitmap(int Index) const {
  auto* style = dynamic_cast<TuxStyle*>(GetValue(Index));
  if (style && style->AssignedValues().Contains(svBitmap) && !style->Bitmap()->Empty())
    return style->Bitmap();
  return nullptr;
}

void TuxStyles::GetViewParams(int Index, void* Data, TuxCustomStyle* Style, TuxPaintParams& Params) {
  auto* given = dynamic_cast<TuxStyle*>(Style);
  auto* slot = dynamic_cast<TuxStyle*>(GetValue(Index));
  auto pick = [&](TuxStyleValue v) -> TuxStyle* {
    if (given && given->AssignedValues().Contains(v)) return given;
    if (slot && slot->AssignedValues().Contains(v)) return slot;
    return nullptr;
  };
  TuxStyle* bitmapFrom = FBitmapInViewParams ? pick(svBitmap) : nullptr;
  TuxStyle* colorFrom = pick(svColor);
  TuxStyle* fontFrom = pick(svFont);
  TuxStyle* textFrom = pick(svTextColor);
  Params.Bitmap = bitmapFrom ? bitmapFrom->Bitmap() : nullptr;
  Params.Color = colorFrom ? colorFrom->Color() : clDefault;
  Params.Font = fontFrom ? fontFrom->Font() : nullptr;
  Params.TextColor = textFrom ? textFrom->TextColor() : clDefault;
  bool complete = colorFrom && fontFrom && textFrom && (!FBitmapInViewParams || bitmapFrom);
  if (complete) return;
  TuxPaintParams defaults{nullptr, clDefault, nullptr, clDefault};
  GetDefaultViewParams(Index, Data, defaults);
  if (!bitmapFrom) Params.Bitmap = FBitmapInViewParams ? defaults.Bitmap : nullptr;
  if (!colorFrom) Params.Color = defaults.Color;
  if (!fontFrom) Params.Font = defaults.Font;
  if (!textFrom) Params.TextColor = defaults.TextColor;
}

// ---- TuxCustomStyleSheet ----

TuxCustomStyleSheet::TuxCustomStyleSheet(TComponent* AOwner) : TuxComponent(AOwner) {
  FBuiltIn = GetIsDesigning();
}

TuxCustomStyleSheet::~TuxCustomStyleSheet() {
  FSheetDestroying = true;
  // Marked as being destroyed, so that detaching the users refreshes no fake links.
  if (!IsDestroying()) Destroying();
  while (!FUsers.empty()) {
    TuxCustomStyles* user = FUsers.back();
    user->SetStyleSheet(nullptr);
    if (!FUsers.empty() && FUsers.back() == user) FUsers.pop_back();
  }
  SetStyleRepository(nullptr);
  delete FStyles;
  FStyles = nullptr;
}

TuxCustomStyles* TuxCustomStyleSheet::Styles() {
  if (!FStyles) {
    TClass cls = GetStylesClass();
    auto* styles = dynamic_cast<TuxCustomStyles*>(CreateObject(cls, this));
    if (!styles) throw EComponentError("Cannot create the style set of a style sheet");
    styles->FOwnerStyleSheet = this;
    FStyles = styles;
  }
  return FStyles;
}

void TuxCustomStyleSheet::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TuxCustomStyleSheet*>(Source)) {
    SetCaption(s->Caption());
    Styles()->Assign(s->Styles());
  } else {
    TuxComponent::Assign(Source);
  }
}

void TuxCustomStyleSheet::SetCaption(const AnsiString& Value) {
  if (Value == FCaption) return;
  if (AnsiSameText(Value, Name()))
    FCaption.clear();
  else
    FCaption = Value;
}

void TuxCustomStyleSheet::AddStyles(TuxCustomStyles* AStyles) {
  if (AStyles && std::find(FUsers.begin(), FUsers.end(), AStyles) == FUsers.end())
    FUsers.push_back(AStyles);
}

void TuxCustomStyleSheet::RemoveStyles(TuxCustomStyles* AStyles) { RemoveFrom(FUsers, AStyles); }

void TuxCustomStyleSheet::DoStyleChanged(int Index) {
  std::vector<TuxCustomStyles*> users = FUsers;
  for (auto* user : users)
    if (std::find(FUsers.begin(), FUsers.end(), user) != FUsers.end()) user->DoChanged(Index);
  UpdateFakeLinks();
}

void TuxCustomStyleSheet::GetFakeComponentLinks(std::vector<TComponent*>& List) {
  if (!FStyles) return;
  for (auto* item : FStyles->FItems) {
    TComponent* owner = item->Item ? item->Item->Owner() : nullptr;
    if (owner && owner != Owner() && std::find(List.begin(), List.end(), owner) == List.end())
      List.push_back(owner);
  }
}

void TuxCustomStyleSheet::SetStyleRepository(TuxStyleRepository* Value) {
  if (FStyleRepository == Value) return;
  if (FStyleRepository) RemoveFrom(FStyleRepository->FStyleSheets, this);
  FStyleRepository = Value;
  if (Value &&
      std::find(Value->FStyleSheets.begin(), Value->FStyleSheets.end(), this) == Value->FStyleSheets.end())
    Value->FStyleSheets.push_back(this);
}

TComponent* TuxCustomStyleSheet::GetParentComponent() const { return FStyleRepository; }

void TuxCustomStyleSheet::ReadState(TReader* Reader) {
  TuxComponent::ReadState(Reader);
  if (auto* repository = dynamic_cast<TuxStyleRepository*>(Reader->Parent())) SetStyleRepository(repository);
}

void TuxCustomStyleSheet::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  auto* repository = dynamic_cast<TuxStyleRepository*>(Value);
  if (Value && !repository) throw EComponentError("A style sheet's parent must be a style repository");
  SetStyleRepository(repository);
}

void TuxCustomStyleSheet::DefineProperties(TFiler* Filer) {
  TuxComponent::DefineProperties(Filer);
  Filer->DefineProperty(
      "BuiltIn", [this](TReader* Reader) { FBuiltIn = Reader->ReadBoolean(); },
      [this](TWriter* Writer) { Writer->WriteBoolean(FBuiltIn); }, true);
}
