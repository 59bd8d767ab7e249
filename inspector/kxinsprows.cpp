// Rows of the inspector: the row base and the text row, the row control that
// pairs rows with nodes and hosts one cached editor per editor class, complex
// rows, and the stored row layout ("Data" and the registry layout).
#include <algorithm>
#include <functional>
#include <limits>

#include "inspector/kxinspector.h"
#include "platform/classes/filer.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/strings.h"
#include "platform/win/winuser.h"

namespace kxinsprows_cpp {
// Names tried by AddRow before it gives up.
constexpr int cMaxRowNameTries = 10000;
// The size of the two integers of a record header.
constexpr Integer cRecordHeaderSize = 8;

void WriteInt(TStream* S, Integer V) { S->WriteBuffer(&V, 4); }
Integer ReadInt(TStream* S) {
  Integer v = 0;
  S->ReadBuffer(&v, 4);
  return v;
}
void WriteName(TStream* S, const AnsiString& Name) {
  WriteInt(S, Integer(Name.size()));
  if (!Name.empty()) S->WriteBuffer(Name.data(), LongInt(Name.size()));
}

[[noreturn]] void BadLayout(const char* What) {
  throw EReadError(AnsiString("Invalid row layout data: ") + What);
}

// One record of the layout stream: the header (read whole, taking two
// integers from its first eight bytes) and the name.
struct LayoutRecord {
  Integer Second = 0;  // child count, or reserved
  AnsiString Name;
};

LayoutRecord ReadRecord(TStream* S) {
  LayoutRecord r;
  const Int64 left = S->Size() - S->Position();
  const Integer header = ReadInt(S);
  if (header < cRecordHeaderSize) BadLayout("record header too short");
  if (Int64(header) > left - 4) BadLayout("record header beyond the data");
  r.Second = ReadInt(S);
  const Integer nameLength = ReadInt(S);
  if (header > cRecordHeaderSize) S->Seek(header - cRecordHeaderSize, soCurrent);
  if (nameLength < 0 || Int64(nameLength) > S->Size() - S->Position()) BadLayout("name length beyond the data");
  r.Name.resize(std::size_t(nameLength));
  if (nameLength) S->ReadBuffer(r.Name.data(), nameLength);
  return r;
}

// Walks the node records of one subtree without applying them; raises on a
// malformed record or a count the remaining bytes cannot hold.
void CheckNodeRecords(TStream* S, Integer Count, int Depth) {
  if (Count < 0) BadLayout("negative node count");
  if (Int64(Count) * 12 > S->Size() - S->Position()) BadLayout("node count beyond the data");
  if (Depth > 1000) BadLayout("nesting too deep");
  for (Integer i = 0; i < Count; ++i) {
    LayoutRecord r = ReadRecord(S);
    CheckNodeRecords(S, r.Second, Depth + 1);
  }
}

void CheckLayoutStream(TStream* S) {
  S->SetPosition(0);
  CheckNodeRecords(S, ReadInt(S), 0);
  if (S->Position() < S->Size()) {
    const Integer e = ReadInt(S);
    if (e < 0 || Int64(e) * 12 > S->Size() - S->Position()) BadLayout("expanded count beyond the data");
    for (Integer i = 0; i < e; ++i) ReadRecord(S);
  }
  S->SetPosition(0);
}
}  // namespace kxinsprows_cpp
using namespace kxinsprows_cpp;

// ---------------------------------------------------------------------------
// TkxInspectorRowNode

TkxInspectorRowNode::~TkxInspectorRowNode() {
  if (Row) {
    TkxInspectorRow* r = Row;
    Row = nullptr;
    r->FNode = nullptr;
    r->Free();
  }
}

// ---------------------------------------------------------------------------
// TkxInspectorRow

TkxInspectorRow::TkxInspectorRow(TComponent* AOwner) : TComponent(AOwner) {}

void TkxInspectorRow::AfterConstruction() {
  TComponent::AfterConstruction();
  FViewData.reset(GetEditClass()->NewViewData());
}

void TkxInspectorRow::BeforeDestruction() {
  SetInspector(nullptr);
  TComponent::BeforeDestruction();
}

TkxInspectorRow::~TkxInspectorRow() { SetInspector(nullptr); }

bool TkxInspectorRow::InspectorInitializing() const { return FInspector && FInspector->IsInitEdit(); }

void TkxInspectorRow::Changed() {
  if (FInspector) FInspector->RowChanged();
}

void TkxInspectorRow::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed();
}

AnsiString TkxInspectorRow::Caption() {
  if (FAssigned & kxrfCaption) return FCaption;
  AnsiString s;
  GetDefaultCaption(s);
  return s;
}

void TkxInspectorRow::SetCaption(const AnsiString& Value) {
  if ((FAssigned & kxrfCaption) && Value == FCaption) return;
  FCaption = Value;
  FAssigned |= kxrfCaption;
  Changed();
}

bool TkxInspectorRow::IsCaptionStored() {
  AnsiString d;
  GetDefaultCaption(d);
  return (FAssigned & kxrfCaption) && FCaption != d;
}

void TkxInspectorRow::SetCharCase(TEditCharCase Value) {
  if (Value == FCharCase) return;
  FCharCase = Value;
  Changed();
}

void TkxInspectorRow::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  Changed();
}

void TkxInspectorRow::SetIsCategory(bool Value) {
  if (Value == FIsCategory) return;
  FIsCategory = Value;
  Changed();
}

int TkxInspectorRow::MaxLength() { return (FAssigned & kxrfMaxLength) ? FMaxLength : GetDefaultMaxLength(); }

void TkxInspectorRow::SetMaxLength(int Value) {
  if ((FAssigned & kxrfMaxLength) && Value == FMaxLength) return;
  FMaxLength = Value;
  FAssigned |= kxrfMaxLength;
  Changed();
}

bool TkxInspectorRow::ReadOnly() { return (FAssigned & kxrfReadOnly) ? FReadOnly : GetDefaultReadOnly(); }

void TkxInspectorRow::SetReadOnly(bool Value) {
  if ((FAssigned & kxrfReadOnly) && Value == FReadOnly) return;
  FReadOnly = Value;
  FAssigned |= kxrfReadOnly;
  Changed();
}

bool TkxInspectorRow::IsReadOnlyStored() { return (FAssigned & kxrfReadOnly) && FReadOnly != GetDefaultReadOnly(); }

int TkxInspectorRow::GetDefaultRowHeight() { return FInspector ? FInspector->BaseRowHeight(FNode) : 0; }

int TkxInspectorRow::RowHeight() {
  const int d = GetDefaultRowHeight();
  return (FAssigned & kxrfRowHeight) && FRowHeight >= d ? FRowHeight : d;
}

void TkxInspectorRow::SetRowHeight(int Value) {
  FRowHeight = Value;
  const int d = GetDefaultRowHeight();
  if (Value > d) {
    FAssigned |= kxrfRowHeight;
  } else {
    FRowHeight = d;
    FAssigned &= Byte(~kxrfRowHeight);
  }
  Changed();
}

void TkxInspectorRow::SetPasswordChar(char Value) {
  if (Value == FPasswordChar) return;
  FPasswordChar = Value;
  Changed();
}

void TkxInspectorRow::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  if (Value) {
    if (FInspector) {
      FInspector->ReleaseRowFromComplexRows(this);
      if (!FInspector->FCreating && !FNode) FInspector->GiveRowNode(this);
    }
  } else if (FInspector && FNode) {
    FInspector->BeginUpdate();
    try {
      for (int i = FNode->Count() - 1; i >= 0; --i) {
        auto* child = static_cast<TkxInspectorRowNode*>(FNode->Items(i));
        if (child->Row) child->Row->SetVisible(false);
      }
      TkxInspectorRowNode* n = FNode;
      n->Row = nullptr;
      FNode = nullptr;
      delete n;
    } catch (...) {
      FInspector->EndUpdate();
      throw;
    }
    FInspector->EndUpdate();
  }
  if (FInspector) FInspector->RowListChanged();
}

void TkxInspectorRow::SetInspector(TCustomkxInspectorControl* Value) {
  if (Value == FInspector) return;
  if (TCustomkxInspectorControl* old = FInspector) {
    FInspector = nullptr;
    bool freed = false;
    if (FNode) {
      TkxInspectorRowNode* n = FNode;
      n->Row = nullptr;
      FNode = nullptr;
      if (!old->IsInspectorDestroying()) {
        delete n;
        freed = true;
      }
    }
    std::erase(old->FRows, this);
    old->ReleaseRowFromComplexRows(this);
    if (freed && !old->IsInspectorDestroying()) old->RowChanged();
  }
  if (Value) {
    if (!Value->FCreating && !FNode) Value->GiveRowNode(this);
    Value->FRows.push_back(this);
    FInspector = Value;
    Value->RowChanged();
  }
}

void TkxInspectorRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorRow*>(Source);
  if (!src) {
    TComponent::Assign(Source);
    return;
  }
  if (FInspector) FInspector->BeginUpdate();
  try {
    RestoreDefaults();
    SetAlignment(src->FAlignment);
    if (src->FAssigned & kxrfCaption) SetCaption(src->FCaption);
    if (src->FAssigned & kxrfReadOnly) SetReadOnly(src->FReadOnly);
    if (src->FAssigned & kxrfMaxLength) SetMaxLength(src->FMaxLength);
    if (src->FAssigned & kxrfRowHeight) SetRowHeight(src->FRowHeight);
    Hint = src->Hint;
    ShowHint = src->ShowHint;
    SetIsCategory(src->FIsCategory);
    SetCharCase(src->FCharCase);
    SetVisible(src->FVisible);
  } catch (...) {
    if (FInspector) FInspector->EndUpdate();
    throw;
  }
  if (FInspector) FInspector->EndUpdate();
}

void TkxInspectorRow::RestoreDefaults() {
  FAssigned = 0;
  FAlignment = taLeftJustify;
  ShowHint = false;
  FIsCategory = false;
  FCharCase = TEditCharCase::ecNormal;
  FRowHeight = 0;
  Changed();
}

void TkxInspectorRow::DoChange(TObject* Sender) {
  if (!FInspector || FInspector->IsInitEdit()) return;
  FInspector->DoEditChange(this);
  if (OnChange) OnChange(this);
}

void TkxInspectorRow::DoDrawCaption(TCanvas* Canvas, const TRect& R, AnsiString& Text, bool& Done) {
  if (!OnDrawCaption) return;
  TColor c = Canvas->Brush()->Color();
  OnDrawCaption(this, Canvas, R, Text, Canvas->Font(), c, Done);
  Canvas->Brush()->SetColor(c);
}

void TkxInspectorRow::DoDrawValue(TCanvas* Canvas, const TRect& R, AnsiString& Text, bool& Done) {
  if (!OnDrawValue) return;
  TColor c = Canvas->Brush()->Color();
  OnDrawValue(this, Canvas, R, Text, Canvas->Font(), c, Done);
  Canvas->Brush()->SetColor(c);
}

void TkxInspectorRow::DoEdited() {
  if (FInspector && FInspector->OnEdited) FInspector->OnEdited(FInspector, FNode, this);
}

void TkxInspectorRow::DoValidate(TObject* Sender, AnsiString& ErrorText, bool& Accept) {
  if (!FInspector || FInspector->IsInitEdit()) return;
  FInspector->DoEditValidate(this, ErrorText, Accept);
  if (OnValidate) OnValidate(this, ErrorText, Accept);
}

void TkxInspectorRow::GetDisplayText(AnsiString& Text) { throw Exception("Abstract error"); }
void TkxInspectorRow::GetEditText(AnsiString& Text) { throw Exception("Abstract error"); }
void TkxInspectorRow::SetEditText(const AnsiString& Text) { throw Exception("Abstract error"); }

int TkxInspectorRow::GetMinRowHeight(TCanvas* Canvas) { return Canvas->TextHeight("Wg") + 3; }

void TkxInspectorRow::SaveEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  if (dynamic_cast<TkxInplaceTextEdit*>(Edit)) SetEditText(Edit->GetText());
  Value = Variant(EditText());
}

void TkxInspectorRow::InitEditProperties(TkxInplaceEdit* Edit) {
  Edit->SetReadOnly(ReadOnly());
  Edit->OnChange = TNotifyEvent(this, &TkxInspectorRow::DoChange);
  Edit->OnValidate = TkxEditValidateEvent(this, &TkxInspectorRow::DoValidate);
  if (auto* t = dynamic_cast<TkxInplaceTextEdit*>(Edit)) {
    t->SetCharCase(FCharCase);
    t->SetMaxLength(MaxLength());
    t->SetPasswordChar(FPasswordChar);
    t->ClearUndo();
  }
}

void TkxInspectorRow::LoadEditValue(TkxInplaceEdit* Edit, Variant& Value) {
  Edit->SetText(EditText());
  Value = Variant(Edit->GetText());
}

bool TkxInspectorRow::IsEditValueCurrent(const Variant& Value) {
  return FInspector && FInspector->CompareRowValue(Value, this);
}

bool TkxInspectorRow::IsTextClipped(bool IsValue, const TRect& CellRect, AnsiString& Text) {
  if (!FInspector || !FInspector->HandleAllocated()) return false;
  Text = IsValue ? EditText() : Caption();
  TCanvas* c = FInspector->Canvas();
  c->Font()->Assign(FInspector->Font());
  if (FIsCategory) c->Font()->SetStyle(c->Font()->Style() << fsBold);
  return c->TextWidth(Text) > CellRect.Width();
}

void TkxInspectorRow::PrepareViewData(TkxEditViewData* VD, TkxInspectorCellViewData* Cell) {
  TCustomkxInspectorControl* insp = FInspector;
  const bool categorized = insp && insp->PaintStyle() == ipsCategorized;
  VD->Enabled = true;
  VD->Focused = false;
  VD->Selected = Cell->Hot;
  VD->BorderColor = clNone;
  VD->BorderStyle = categorized && (Cell->Hot || (FNode && FNode->Focused())) ? xbsFlat : xbsNone;
  VD->ButtonStyle = insp && (categorized || insp->Flat()) ? btsFlat : bts3D;
  VD->ButtonTransparent = false;
  VD->Edges = kxAllEdges;
  VD->Shadow = false;
  VD->Transparent = false;
  VD->TextOffsets = TRect{1, 0, 0, 0};
  VD->Bounds = Cell->Bounds;
  VD->DrawAlignment = kxdaTop;
  VD->Font = Cell->Font;
  VD->Brush = Cell->Brush;
  VD->BkColor = ColorToRGB(Cell->BkColor);
  VD->TextColor = ColorToRGB(Cell->TextColor);
  VD->Alignment = Cell->Alignment;
  VD->Value = Variant(Cell->Text);
  VD->DataLength = Cell->DataLength;
  VD->CalcHeight = false;
  if (auto* t = dynamic_cast<TkxTextEditViewData*>(VD)) {
    t->CharCase = FCharCase;
    t->PasswordChar = FPasswordChar;
    t->EndEllipsis = Cell->EndEllipsis;
  }
}

TComponent* TkxInspectorRow::GetParentComponent() const { return FInspector; }

void TkxInspectorRow::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  auto* c = dynamic_cast<TCustomkxInspectorControl*>(Value);
  if (Value && !c) throw EInvalidCast("Invalid class typecast");
  SetInspector(c);
}

void TkxInspectorRow::ReadState(TReader* Reader) {
  TComponent::ReadState(Reader);
  if (auto* c = dynamic_cast<TCustomkxInspectorControl*>(Reader->Parent())) SetInspector(c);
}

void TkxInspectorRow::SetName(const AnsiString& Value) {
  TComponent::SetName(Value);
  if (OnRename) OnRename(this);
  if (FInspector) FInspector->RowListChanged();
}

// ---------------------------------------------------------------------------
// Complex rows

TkxInspectorComplexRowItem::TkxInspectorComplexRowItem(TCollection* Collection) : TCollectionItem(Collection) {}

TkxInspectorComplexRow* TkxInspectorComplexRowItem::ComplexRow() const {
  auto* items = dynamic_cast<TkxInspectorComplexRowItems*>(Collection());
  return items ? items->ComplexRow() : nullptr;
}

void TkxInspectorComplexRowItem::SetFixed(bool Value) {
  if (Value == FFixed) return;
  FFixed = Value;
  Changed(false);
}

void TkxInspectorComplexRowItem::SetMinWidth(int Value) {
  FMinWidth = std::max(Value, 0);
  SetWidth(FWidth);
}

void TkxInspectorComplexRowItem::SetWidth(int Value) {
  Value = std::max(Value, FMinWidth);
  if (Value == FWidth) return;
  FWidth = Value;
  Changed(false);
}

void TkxInspectorComplexRowItem::SetRow(TkxInspectorRow* Value) {
  TkxInspectorComplexRow* owner = ComplexRow();
  if (dynamic_cast<TkxInspectorComplexRow*>(Value)) return;
  if (Value == FRow) return;
  TCustomkxInspectorControl* insp = owner ? owner->Inspector() : nullptr;
  if (Value && (!insp || Value->Inspector() != insp)) return;
  Collection()->BeginUpdate();
  try {
    if (Value) {
      Value->SetVisible(false);
      insp->ReleaseRowFromComplexRows(Value);
    }
    FRow = Value;
  } catch (...) {
    Collection()->EndUpdate();
    throw;
  }
  Collection()->EndUpdate();
}

void TkxInspectorComplexRowItem::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorComplexRowItem*>(Source);
  if (!src) {
    TCollectionItem::Assign(Source);
    return;
  }
  Collection()->BeginUpdate();
  try {
    FMinWidth = 20;
    FWidth = 50;
    SetFixed(src->FFixed);
    SetMinWidth(src->FMinWidth);
    SetRow(src->FRow);
    SetWidth(src->FWidth);
  } catch (...) {
    Collection()->EndUpdate();
    throw;
  }
  Collection()->EndUpdate();
}

AnsiString TkxInspectorComplexRowItem::DisplayName() const {
  if (FRow && !FRow->Name().empty()) return FRow->Name();
  return TCollectionItem::DisplayName();
}

TkxInspectorComplexRowItems::TkxInspectorComplexRowItems(TkxInspectorComplexRow* ARow)
    : TCollection(TkxInspectorComplexRowItem::StaticClass()), FRow(ARow) {}

int TkxInspectorComplexRowItems::IndexOfRow(TkxInspectorRow* Row) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Row() == Row) return i;
  return -1;
}

TPersistent* TkxInspectorComplexRowItems::GetOwner() const { return FRow; }

void TkxInspectorComplexRowItems::Update(TCollectionItem* Item) {
  if (!FRow) return;
  TCustomkxInspectorControl* insp = FRow->Inspector();
  if (FRow->ComponentState().Contains(csLoading) || FRow->ComponentState().Contains(csDestroying) || !insp ||
      insp->IsInspectorDestroying())
    return;
  insp->LayoutChanged();
}

TkxInspectorComplexRow::TkxInspectorComplexRow(TComponent* AOwner)
    : TkxInspectorTextRow(AOwner), FItems(std::make_unique<TkxInspectorComplexRowItems>(this)) {}

TkxInspectorComplexRow::~TkxInspectorComplexRow() {
  SetInspector(nullptr);
  FItems.reset();
}

void TkxInspectorComplexRow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxInspectorComplexRow*>(Source);
  if (!src) {
    TkxInspectorTextRow::Assign(Source);
    return;
  }
  if (FInspector) FInspector->BeginUpdate();
  try {
    TkxInspectorTextRow::Assign(Source);
    FItems->Assign(src->FItems.get());
  } catch (...) {
    if (FInspector) FInspector->EndUpdate();
    throw;
  }
  if (FInspector) FInspector->EndUpdate();
}

void TkxInspectorComplexRow::ReleaseRow(TkxInspectorRow* Row) {
  for (int i = 0; i < FItems->Count(); ++i)
    if (FItems->Items(i)->FRow == Row) FItems->Items(i)->FRow = nullptr;
}

void TkxInspectorComplexRowViewInfo::Calculate(const TRect& R) {
  FItems.clear();
  int a = R.Width();
  if (!FRow || a <= 0) return;
  TkxInspectorComplexRowItems* items = FRow->Items();
  for (int i = 0; i < items->Count(); ++i) {
    if (i > 0) {
      TkxInspectorComplexRowViewInfoItem s;
      s.Fixed = true;
      s.Separator = true;
      s.Width = FSeparatorWidth;
      FItems.push_back(s);
      a -= s.Width;
    }
    TkxInspectorComplexRowViewInfoItem e;
    e.Row = items->Items(i)->Row();
    e.Fixed = items->Items(i)->Fixed();
    e.MinWidth = items->Items(i)->MinWidth();
    e.Width = items->Items(i)->Width();
    if (e.Fixed) a -= e.Width;
    FItems.push_back(e);
  }
  a = std::max(a, 0);
  for (;;) {
    int w = 0;
    for (const auto& e : FItems)
      if (!e.Fixed) w += e.Width;
    bool again = false;
    for (auto& e : FItems) {
      if (e.Fixed) continue;
      const int share = w < 1 ? 0 : e.Width * a / w;
      if (share < e.MinWidth) {
        e.Width = e.MinWidth;
        e.Fixed = true;
        a -= e.MinWidth;
        again = true;
        break;
      }
    }
    if (!again) {
      for (auto& e : FItems)
        if (!e.Fixed) e.Width = w < 1 ? 0 : e.Width * a / w;
      break;
    }
  }
  int x = R.left;
  for (auto& e : FItems) {
    e.Rect = TRect{x, R.top, x + e.Width, R.bottom};
    x += e.Width;
  }
  if (!FItems.empty() && FItems.back().Rect.right < R.right) FItems.back().Rect.right = R.right;
}

// ---------------------------------------------------------------------------
// TCustomkxInspectorControl

TCustomkxInspectorControl::TCustomkxInspectorControl(TComponent* AOwner) : TCustomkxInspector(AOwner) {}

void TCustomkxInspectorControl::BeforeDestruction() {
  try {
    StoreToRegistry();
  } catch (...) {
    FDestroying = true;
    FLayoutStream.reset();
    FreeAllRows();
    TCustomkxInspector::BeforeDestruction();
    throw;
  }
  FDestroying = true;
  FLayoutStream.reset();
  FreeAllRows();
  TCustomkxInspector::BeforeDestruction();
}

TCustomkxInspectorControl::~TCustomkxInspectorControl() {
  FDestroying = true;
  FreeAllRows();
  FEditFont.reset();
}

int TCustomkxInspectorControl::VisibleRowCount() const {
  return int(std::count_if(FRows.begin(), FRows.end(), [](TkxInspectorRow* r) { return r->Visible(); }));
}

void TCustomkxInspectorControl::GiveRowNode(TkxInspectorRow* Row) {
  const bool saved = FCreating;
  FCreating = true;
  try {
    auto* n = static_cast<TkxInspectorRowNode*>(CreateNode());
    n->Row = Row;
    Row->FNode = n;
    FRoots.push_back(n);
    NodeAdded(n);
  } catch (...) {
    FCreating = saved;
    throw;
  }
  FCreating = saved;
}

TkxInspectorRow* TCustomkxInspectorControl::AddRow(TClass RowClass) {
  TObject* o = RowClass->Create(Owner());
  auto* row = dynamic_cast<TkxInspectorRow*>(o);
  if (!row) {
    delete o;
    throw EInvalidCast("Invalid class typecast");
  }
  const int start = RowCount() + 1;
  for (int n = start;; ++n) {
    try {
      row->SetName(Name() + "Row" + IntToStr(n));
      break;
    } catch (const Exception&) {
      if (n - start + 1 >= cMaxRowNameTries) {
        row->Free();
        throw;
      }
    }
  }
  row->SetInspector(this);
  return row;
}

TkxInspectorRow* TCustomkxInspectorControl::CreateRow(TClass RowClass) {
  TObject* o = RowClass->Create(this);
  auto* row = dynamic_cast<TkxInspectorRow*>(o);
  if (!row) {
    delete o;
    throw EInvalidCast("Invalid class typecast");
  }
  row->SetInspector(this);
  return row;
}

TkxInspectorRow* TCustomkxInspectorControl::FindRowByName(const AnsiString& Name) const {
  for (TkxInspectorRow* r : FRows)
    if (AnsiSameText(r->Name(), Name)) return r;
  return nullptr;
}

void TCustomkxInspectorControl::FreeAllRows() {
  while (!FRows.empty()) {
    TkxInspectorRow* r = FRows.back();
    r->SetInspector(nullptr);
    r->Free();
  }
}

void TCustomkxInspectorControl::AssignRows(TCustomkxInspectorControl* Source) {
  if (!Source) return;
  BeginUpdate();
  try {
    FreeAllRows();
    for (TkxInspectorRow* s : Source->FRows) {
      TkxInspectorRow* r = AddRow(s->ClassType());
      r->SetName(s->Name());
      r->Assign(s);
    }
    std::function<void(TkxInspectorNode*, TkxInspectorNode*)> copyChildren = [&](TkxInspectorNode* SrcParent,
                                                                                 TkxInspectorNode* DstParent) {
      for (int i = 0; i < SrcParent->Count(); ++i) {
        auto* sn = static_cast<TkxInspectorRowNode*>(SrcParent->Items(i));
        if (!sn->Row) continue;
        TkxInspectorRow* r = FindRowByName(sn->Row->Name());
        if (!r || !r->Node()) continue;
        r->Node()->MoveTo(DstParent, iamAddChild);
        copyChildren(sn, r->Node());
      }
    };
    for (int i = 0; i < Source->Count(); ++i) {
      auto* sn = static_cast<TkxInspectorRowNode*>(Source->Items(i));
      if (!sn->Row) continue;
      TkxInspectorRow* r = FindRowByName(sn->Row->Name());
      if (!r || !r->Node()) continue;
      r->Node()->MoveTo(FirstNode(), iamAdd);
      copyChildren(sn, r->Node());
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomkxInspectorControl::ClearRows() {
  BeginUpdate();
  try {
    FreeAllRows();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomkxInspectorControl::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (TkxInspectorRow* r : FRows)
    if (r->Owner() == Root) Proc(r);
}

void TCustomkxInspectorControl::SetName(const AnsiString& Value) {
  const AnsiString old = Name();
  TCustomkxInspector::SetName(Value);
  if (ComponentState().Contains(csDesigning) && old != Name()) {
    for (TkxInspectorRow* r : FRows) {
      const AnsiString n = r->Name();
      if (r->Owner() != Owner() || n.size() <= old.size() || !AnsiSameText(n.substr(0, old.size()), old)) continue;
      TNotifyEvent hook = r->OnRename;
      r->OnRename = nullptr;
      try {
        r->SetName(Name() + n.substr(old.size()));
      } catch (const EComponentError&) {
      } catch (...) {
        r->OnRename = hook;
        throw;
      }
      r->OnRename = hook;
    }
  }
  RowListChanged();
}

TkxInspectorNode* TCustomkxInspectorControl::CreateNode() { return new TkxInspectorRowNode(this); }

void TCustomkxInspectorControl::NodeAdded(TkxInspectorNode* Node) {
  if (!FCreating) {
    FCreating = true;
    try {
      TkxInspectorRow* r = AddRow(NewNodeRowClass ? NewNodeRowClass : GetDefaultRowClass());
      r->FNode = static_cast<TkxInspectorRowNode*>(Node);
      static_cast<TkxInspectorRowNode*>(Node)->Row = r;
    } catch (...) {
      FCreating = false;
      throw;
    }
    FCreating = false;
  }
  TCustomkxInspector::NodeAdded(Node);
}

void TCustomkxInspectorControl::GetNodeStrings(TkxInspectorNode* Node, AnsiString& Caption, AnsiString& Text) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  if (!n || !n->Row) {
    TCustomkxInspector::GetNodeStrings(Node, Caption, Text);
    return;
  }
  Caption = n->Row->Caption();
  Text = n->Row->DisplayText();
}

int TCustomkxInspectorControl::GetImageIndex(TkxInspectorNode* Node) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  return n && n->Row ? n->Row->ImageIndex() : -1;
}

bool TCustomkxInspectorControl::IsCategory(TkxInspectorNode* Node) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  return n && n->Row && n->Row->IsCategory();
}

bool TCustomkxInspectorControl::IsComplex(TkxInspectorNode* Node) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  return n && dynamic_cast<TkxInspectorComplexRow*>(n->Row) && !n->Row->IsCategory();
}

int TCustomkxInspectorControl::GetRowsTextHeight(TCanvas* Canvas) {
  int h = TCustomkxInspector::GetRowsTextHeight(Canvas);
  const int n = std::min(VisibleRowCount(), RowCount());
  for (int i = 0; i < n; ++i) h = std::max(h, FRows[std::size_t(i)]->GetMinRowHeight(Canvas));
  return h;
}

int TCustomkxInspectorControl::GetRowHeight(TkxInspectorNode* Node) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  if (!n || !n->Row) return TCustomkxInspector::GetRowHeight(Node);
  if (!InternalOptions().Contains(ioRowAutoHeight) || n->Row->IsRowHeightAssigned()) return n->Row->RowHeight();
  return CalcAutoRowHeight(n->Row);
}

void TCustomkxInspectorControl::SetNodeRowHeight(TkxInspectorNode* Node, int Height) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  if (n && n->Row) n->Row->SetRowHeight(Height);
}

void TCustomkxInspectorControl::RowChanged() {
  if (!ComponentState().Contains(csLoading)) LayoutChanged();
}

void TCustomkxInspectorControl::RowsChanged() {
  TCustomkxInspector::RowsChanged();
  CancelEditor();
}

TkxInspectorRow* TCustomkxInspectorControl::GetEditedRow(TkxInspectorNode* Node) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  if (!n) return nullptr;
  if (IsComplex(Node)) {
    auto* c = static_cast<TkxInspectorComplexRow*>(n->Row);
    const int i = FocusedItem();
    return i >= 0 && i < c->Items()->Count() ? c->Items()->Items(i)->Row() : nullptr;
  }
  return n->Row;
}

TkxInspectorRow* TCustomkxInspectorControl::FocusedRow() {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(FFocusedNode);
  return n ? n->Row : nullptr;
}

TkxInplaceEdit* TCustomkxInspectorControl::CreateEditor(TkxInspectorNode* Node) {
  TkxInspectorRow* row = GetEditedRow(Node);
  TClass cls = row ? row->GetEditClass()->EditClass() : TkxInplaceTextEdit::StaticClass();
  TObject* o = cls->Create(this);
  auto* e = dynamic_cast<TkxInplaceEdit*>(o);
  if (!e) {
    delete o;
    throw EInvalidCast("Invalid class typecast");
  }
  FEditors.push_back(e);
  return e;
}

TkxInplaceEdit* TCustomkxInspectorControl::GetEditor(TkxInspectorNode* Node) {
  TkxInspectorRow* row = GetEditedRow(Node);
  if (!row) return nullptr;
  TClass cls = row->GetEditClass()->EditClass();
  for (TkxInplaceEdit* e : FEditors)
    if (e->ClassType() == cls) return e;
  return nullptr;
}

bool TCustomkxInspectorControl::CanShowEditor() {
  bool allow = TCustomkxInspector::CanShowEditor();
  if (allow && IsComplex(FFocusedNode) && !GetEditedRow(FFocusedNode)) return false;
  if (OnEditing) OnEditing(this, FFocusedNode, GetEditedRow(FFocusedNode), allow);
  return allow;
}

void TCustomkxInspectorControl::InitEditorProperties(TkxInplaceEdit* Editor) {
  TCustomkxInspector::InitEditorProperties(Editor);
  if (TkxInspectorRow* r = GetEditedRow(FFocusedNode)) r->InitEditProperties(Editor);
}

void TCustomkxInspectorControl::InitEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) {
  TkxInspectorRow* r = FFocusedNode ? GetEditedRow(FFocusedNode) : nullptr;
  if (r)
    r->LoadEditValue(Editor, Value);
  else
    TCustomkxInspector::InitEditorValue(Node, Editor, Value);
  FStartValue = Value;
}

void TCustomkxInspectorControl::PostEditorValue(TkxInspectorNode* Node, TkxInplaceEdit* Editor, Variant& Value) {
  if (!Editor->GetModified()) return;
  TkxInspectorRow* r = GetEditedRow(Node);
  if (!r) return;
  r->SaveEditValue(Editor, Value);
  FStartValue = Value;
  if (OnEdited) OnEdited(this, Node, r);
}

void TCustomkxInspectorControl::DoEditChange(TkxInspectorRow* Row) {
  if (OnEditChange) OnEditChange(Row);
}

void TCustomkxInspectorControl::DoEditValidate(TkxInspectorRow* Row, AnsiString& ErrorText, bool& Accept) {
  if (OnEditValidate) OnEditValidate(Row, ErrorText, Accept);
}

TColor TCustomkxInspectorControl::GetEditColor() {
  TColor c = clWindow;
  if (FFocusedNode && OnGetEditColor) OnGetEditColor(FocusedRow(), c);
  return c;
}

TFont* TCustomkxInspectorControl::GetEditFont() {
  TFont* f = TCustomkxInspector::GetEditFont();
  if (FFocusedNode && OnGetEditFont) {
    if (!FEditFont) FEditFont = std::make_unique<TFont>();
    FEditFont->Assign(f);
    TFont* p = FEditFont.get();
    OnGetEditFont(FocusedRow(), p);
    return p;
  }
  return f;
}

void TCustomkxInspectorControl::DrawCaption(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption,
                                            TRect CaptionRect, int ButtonKind, TRect ImageRect, TRect ButtonRect,
                                            const TkxInspectorCellLayout& Layout) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  AnsiString text = Caption;
  bool done = false;
  if (n && n->Row) {
    if (OnDrawCaption) {
      TColor c = Canvas->Brush()->Color();
      OnDrawCaption(n->Row, Canvas, CaptionRect, text, Canvas->Font(), c, done);
      Canvas->Brush()->SetColor(c);
    }
    if (!done) n->Row->DoDrawCaption(Canvas, CaptionRect, text, done);
  }
  if (!done)
    TCustomkxInspector::DrawCaption(Canvas, Node, text, CaptionRect, ButtonKind, ImageRect, ButtonRect, Layout);
}

void TCustomkxInspectorControl::DrawCaptionText(TCanvas* Canvas, TkxInspectorNode* Node, const AnsiString& Caption,
                                                TRect R) {
  if (!IsComplex(Node)) {
    TCustomkxInspector::DrawCaptionText(Canvas, Node, Caption, R);
    return;
  }
  auto* row = static_cast<TkxInspectorComplexRow*>(static_cast<TkxInspectorRowNode*>(Node)->Row);
  if (row->Items()->Count() == 0) {
    TCustomkxInspector::DrawCaptionText(Canvas, Node, Caption, R);
    return;
  }
  TkxInspectorComplexRowViewInfo vi(row, CaptionSeparatorWidth());
  vi.Calculate(R);
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (e.Separator)
      DrawItemSeparator(Canvas, e.Rect, false);
    else
      DrawCellText(Canvas, e.Rect, taLeftJustify, e.Row ? e.Row->Caption() : AnsiString());
  }
}

void TCustomkxInspectorControl::DrawValue(TCanvas* Canvas, TRect ValueRect, TAlignment& Alignment,
                                          const AnsiString& Text, TkxInspectorNode* Node) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  AnsiString text = Text;
  bool done = false;
  if (n && n->Row) {
    Alignment = n->Row->Alignment();
    if (OnDrawValue) {
      TColor c = Canvas->Brush()->Color();
      OnDrawValue(n->Row, Canvas, ValueRect, text, Canvas->Font(), c, done);
      Canvas->Brush()->SetColor(c);
    }
    if (!done) n->Row->DoDrawValue(Canvas, ValueRect, text, done);
  }
  if (!done) TCustomkxInspector::DrawValue(Canvas, ValueRect, Alignment, text, Node);
}

void TCustomkxInspectorControl::PaintRowValue(TCanvas* Canvas, TkxInspectorRow* Row, const TRect& R,
                                              TkxInspectorCellViewData* Cell) {
  TkxEditViewData* vd = Row->ViewData();
  Row->PrepareViewData(vd, Cell);
  CalcViewBounds(R, vd->Bounds);
  Row->GetEditClass()->Draw(Canvas->Handle(), nullptr, vd);
}

void TCustomkxInspectorControl::DrawValueCell(TCanvas* Canvas, TRect R, TkxInspectorCellViewData* Cell) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Cell->Node);
  if (!n || !n->Row) return;
  if (!IsComplex(n)) {
    PaintRowValue(Canvas, n->Row, R, Cell);
    return;
  }
  auto* row = static_cast<TkxInspectorComplexRow*>(n->Row);
  if (row->Items()->Count() == 0) {
    DrawCellText(Canvas, R, taLeftJustify, AnsiString());
    return;
  }
  TkxInspectorComplexRowViewInfo vi(row, ValueSeparatorWidth());
  vi.Calculate(R);
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (e.Separator) {
      DrawItemSeparator(Canvas, e.Rect, true);
    } else if (e.Row) {
      Cell->Text = e.Row->DisplayText();
      PaintRowValue(Canvas, e.Row, e.Rect, Cell);
    } else {
      DrawCellText(Canvas, e.Rect, taLeftJustify, AnsiString());
    }
  }
}

int TCustomkxInspectorControl::MeasureRowText(TkxInspectorRow* Row, const TRect& ValueRect, const AnsiString& Text) {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetColor(Color());
  TkxInspectorCellViewData* cell = FCell;
  cell->Brush = c->Brush()->Handle();
  cell->Font = c->Font()->Handle();
  cell->BkColor = c->Brush()->Color();
  cell->TextColor = c->Font()->Color();
  cell->Alignment = taLeftJustify;
  cell->Text = Text;
  cell->EndEllipsis = InternalOptions().Contains(ioDrawEndEllipsis);
  cell->Node = Row->Node();
  cell->Hot = IsHotNode(Row->Node());
  cell->Bounds = TRect{0, 0, ValueRect.Width(), ValueRect.Height()};
  InflateRect(&cell->Bounds, 2, 2);
  TkxEditViewData* vd = Row->ViewData();
  Row->PrepareViewData(vd, cell);
  CalcViewBounds(ValueRect, vd->Bounds);
  if (vd->DrawAlignment != kxdaMultiLine) vd->DrawAlignment = kxdaMultiLine;
  TkxEditViewRects rects;
  const TkxInplaceEditClass* cls = Row->GetEditClass();
  cls->CalcViewInfo(vd, false, rects);
  vd->CalcHeight = true;
  vd->LineCount = 0;
  int h = -1;
  HDC dc = GetDC(nullptr);
  try {
    if (cls->DrawClient(dc, rects.ClientRect, false, vd)) {
      h = vd->TextHeight;
      if (MaxRowTextLineCount() > 0 && MaxRowTextLineCount() < vd->LineCount)
        h = MaxRowTextLineCount() * vd->LineHeight;
    }
  } catch (...) {
    vd->CalcHeight = false;
    ReleaseDC(nullptr, dc);
    throw;
  }
  vd->CalcHeight = false;
  ReleaseDC(nullptr, dc);
  return h;
}

int TCustomkxInspectorControl::CalcAutoRowHeight(TkxInspectorRow* Row) {
  const int width = InternalOptions().Contains(ioAutoBandCount) ? BandWidth() - 3 : ClientWidth();
  TkxInspectorCellLayout l;
  GetCellLayout(Row->Node(), TRect{0, 0, width, TextHeight()}, l);
  int result = RowHeight();
  auto finish = [&](int h) {
    h += GridLineWidth() + 3;
    if (!IsCategory(Row->Node())) h += 2 * RowFrameWidth();
    return std::max(h, Row->RowHeight());
  };
  if (IsComplex(Row->Node())) {
    TkxInspectorComplexRowViewInfo vi(static_cast<TkxInspectorComplexRow*>(Row), ValueSeparatorWidth());
    vi.Calculate(l.ValueRect);
    for (int i = 0; i < vi.Count(); ++i) {
      const auto& e = vi.Items(i);
      if (e.Separator || !e.Row) continue;
      const int h = MeasureRowText(e.Row, e.Rect, e.Row->DisplayText());
      if (h >= 0) result = std::max(result, finish(h));
    }
    return result;
  }
  try {
    const int h = MeasureRowText(Row, l.ValueRect, Row->DisplayText());
    if (h < 0) return RowHeight();
    return finish(h);
  } catch (const Exception&) {
    return RowHeight();
  }
}

// ---------------------------------------------------------------------------
// Complex rows in the row control

bool TCustomkxInspectorControl::IsRowInComplexRow(TkxInspectorRow* Row) const {
  for (TkxInspectorRow* r : FRows)
    if (auto* c = dynamic_cast<TkxInspectorComplexRow*>(r))
      if (c->Items()->IndexOfRow(Row) >= 0) return true;
  return false;
}

void TCustomkxInspectorControl::ReleaseRowFromComplexRows(TkxInspectorRow* Row) {
  for (TkxInspectorRow* r : FRows)
    if (auto* c = dynamic_cast<TkxInspectorComplexRow*>(r)) c->ReleaseRow(Row);
}

void TCustomkxInspectorControl::ValidateFocusedItem(int& Index) {
  if (!IsComplex(FFocusedNode)) return;
  auto* c = static_cast<TkxInspectorComplexRow*>(static_cast<TkxInspectorRowNode*>(FFocusedNode)->Row);
  Index = std::clamp(Index, 0, std::max(c->Items()->Count() - 1, 0));
}

void TCustomkxInspectorControl::UpdateFocusedItem() { SetFocusedItem(FocusedItem()); }

bool TCustomkxInspectorControl::CanTabInsideRow(bool Forward) {
  if (!IsComplex(FFocusedNode)) return false;
  auto* c = static_cast<TkxInspectorComplexRow*>(static_cast<TkxInspectorRowNode*>(FFocusedNode)->Row);
  if (c->Items()->Count() < 2) return false;
  int v = FocusedItem() + (Forward ? 1 : -1);
  ValidateFocusedItem(v);
  return v != FocusedItem();
}

bool TCustomkxInspectorControl::TabInsideRow(bool Forward) {
  if (!IsComplex(FFocusedNode)) {
    FFocusedItem = Forward ? 0 : std::numeric_limits<int>::max();
    return false;
  }
  auto* c = static_cast<TkxInspectorComplexRow*>(static_cast<TkxInspectorRowNode*>(FFocusedNode)->Row);
  const int n = c->Items()->Count();
  if (n < 2) return false;
  const int old = FocusedItem();
  SetFocusedItem(old + (Forward ? 1 : -1));
  if (FocusedItem() != old) return true;
  if (Forward) {
    if (FFocusedNode != LastNode()) FFocusedItem = 0;
  } else if (FFocusedNode != FirstNode()) {
    FFocusedItem = n - 1;
  }
  return false;
}

void TCustomkxInspectorControl::GetItemAtPoint(TkxInspectorNode* Node, const TRect& CellRect, TRect& ItemRect,
                                               int& ItemIndex, TPoint P) {
  ItemIndex = -1;
  ItemRect = TRect();
  if (!IsComplex(Node) || !PtInRect(&CellRect, P)) return;
  TkxInspectorComplexRowViewInfo vi(
      static_cast<TkxInspectorComplexRow*>(static_cast<TkxInspectorRowNode*>(Node)->Row), ValueSeparatorWidth());
  vi.Calculate(CellRect);
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (!PtInRect(&e.Rect, P)) continue;
    if (e.Separator) {
      ItemRect = vi.Items(i - 1).Rect;
    } else {
      ItemIndex = i / 2;
      ItemRect = e.Rect;
    }
    return;
  }
}

void TCustomkxInspectorControl::GetEditorRect(TkxInspectorNode* Node, TRect& Rect) {
  TCustomkxInspector::GetEditorRect(Node, Rect);
  if (!IsComplex(Node)) return;
  TkxInspectorRow* edited = GetEditedRow(Node);
  TkxInspectorComplexRowViewInfo vi(
      static_cast<TkxInspectorComplexRow*>(static_cast<TkxInspectorRowNode*>(Node)->Row), ValueSeparatorWidth());
  vi.Calculate(Rect);
  for (int i = 0; i < vi.Count(); ++i)
    if (!vi.Items(i).Separator && vi.Items(i).Row && vi.Items(i).Row == edited) {
      Rect = vi.Items(i).Rect;
      return;
    }
}

void TCustomkxInspectorControl::GetDragCaption(TkxInspectorNode* Node, AnsiString& Text) {
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  if (!n || !n->Row) {
    TCustomkxInspector::GetDragCaption(Node, Text);
    return;
  }
  Text = n->Row->Caption();
  if (!Text.empty() || !dynamic_cast<TkxInspectorComplexRow*>(n->Row)) return;
  auto* c = static_cast<TkxInspectorComplexRow*>(n->Row);
  const AnsiString sep = ComplexRowSeparator().empty() ? AnsiString("-") : ComplexRowSeparator();
  bool first = true;
  for (int i = 0; i < c->Items()->Count(); ++i) {
    TkxInspectorRow* r = c->Items()->Items(i)->Row();
    if (!r) continue;
    if (!first) Text += sep;
    Text += r->Caption();
    first = false;
  }
}

bool TCustomkxInspectorControl::GetHintInfo(TkxInspectorNode* Node, int ItemIndex, bool& Delay, TPoint& P,
                                            AnsiString& Text, TRect CellRect, bool IsValue, TRect ItemRect) {
  Delay = false;
  auto* n = dynamic_cast<TkxInspectorRowNode*>(Node);
  if (!n) return false;
  TkxInspectorRow* row = n->Row;
  TRect r = CellRect;
  if (IsComplex(Node)) {
    auto* c = static_cast<TkxInspectorComplexRow*>(n->Row);
    row = ItemIndex >= 0 && ItemIndex < c->Items()->Count() ? c->Items()->Items(ItemIndex)->Row() : nullptr;
    r = ItemRect;
  }
  if (!row || IsRectEmpty(&r)) return false;
  P.x = r.left - (IsValue ? 1 : 2);
  r.left += 2;
  if (IsValue) r.right -= 1;
  if (!IsValue && row->ShowHint && !row->Hint.empty()) {
    Text = row->Hint;
    Delay = true;
    return true;
  }
  return row->IsTextClipped(IsValue, r, Text);
}

// ---------------------------------------------------------------------------
// Stored row layout

void TCustomkxInspectorControl::DefineProperties(TFiler* Filer) {
  TCustomkxInspector::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* S) { ReadLayoutData(S); }, [this](TStream* S) { WriteLayoutData(S); },
      Count() > 0 && HasLayoutData());
}

void TCustomkxInspectorControl::WriteNodeRecord(TStream* Stream, TkxInspectorNode* Node) {
  auto* n = static_cast<TkxInspectorRowNode*>(Node);
  WriteInt(Stream, cRecordHeaderSize);
  WriteInt(Stream, Node->Count());
  WriteName(Stream, n->Row ? n->Row->Name() : AnsiString());
  for (int i = 0; i < Node->Count(); ++i) WriteNodeRecord(Stream, Node->Items(i));
}

void TCustomkxInspectorControl::WriteLayoutData(TStream* Stream) {
  const Int64 p0 = Stream->Position();
  WriteInt(Stream, 0);
  WriteInt(Stream, Count());
  for (int i = 0; i < Count(); ++i) WriteNodeRecord(Stream, Items(i));
  const Int64 p1 = Stream->Position();
  WriteInt(Stream, 0);
  Integer e = 0;
  std::function<void(TkxInspectorNode*)> walk = [&](TkxInspectorNode* N) {
    if (N->Expanded()) {
      auto* rn = static_cast<TkxInspectorRowNode*>(N);
      WriteInt(Stream, cRecordHeaderSize);
      WriteInt(Stream, 0);
      WriteName(Stream, rn->Row ? rn->Row->Name() : AnsiString());
      ++e;
    }
    for (int i = 0; i < N->Count(); ++i) walk(N->Items(i));
  };
  for (int i = 0; i < Count(); ++i) walk(Items(i));
  const Int64 end = Stream->Position();
  if (e > 0) {
    Stream->SetPosition(p1);
    WriteInt(Stream, e);
  }
  Stream->SetPosition(p0);
  WriteInt(Stream, Integer(end - p0 - 4));
  Stream->SetPosition(end);
}

void TCustomkxInspectorControl::ReadLayoutData(TStream* Stream) {
  const Integer l = ReadInt(Stream);
  if (l < 0 || Int64(l) > Stream->Size() - Stream->Position()) BadLayout("length beyond the data");
  std::unique_ptr<TMemoryStream> m(new TMemoryStream());
  if (l > 0) m->CopyFrom(Stream, l);
  FLayoutStream = std::move(m);
}

void TCustomkxInspectorControl::ApplyChildRecords(TStream* S, TkxInspectorNode* Parent, int Count) {
  for (int i = 0; i < Count; ++i) {
    LayoutRecord r = ReadRecord(S);
    TkxInspectorRow* row = FindRowByName(r.Name);
    if (!row) throw EFailureLoadOrderRows("Row \"" + r.Name + "\" not found");
    if (row->Node() && Parent) row->Node()->MoveTo(Parent, iamAddChild);
    ApplyChildRecords(S, row->Node(), r.Second);
  }
}

void TCustomkxInspectorControl::ApplyLayoutData() {
  if (!FLayoutStream || FLayoutStream->Size() == 0) return;
  TStream* s = FLayoutStream.get();
  CheckLayoutStream(s);
  try {
    const Integer n = ReadInt(s);
    for (Integer i = 0; i < n; ++i) {
      LayoutRecord r = ReadRecord(s);
      TkxInspectorRow* row = FindRowByName(r.Name);
      if (!row) throw EFailureLoadOrderRows("Row \"" + r.Name + "\" not found");
      if (row->Node()) row->Node()->MoveTo(FirstNode(), iamAdd);
      ApplyChildRecords(s, row->Node(), r.Second);
    }
    if (s->Position() < s->Size()) {
      FullCollapse();
      const Integer e = ReadInt(s);
      for (Integer i = 0; i < e; ++i) {
        LayoutRecord r = ReadRecord(s);
        TkxInspectorRow* row = FindRowByName(r.Name);
        if (!row) throw EFailureLoadOrderRows("Row \"" + r.Name + "\" not found");
        if (row->Node()) row->Node()->SetExpanded(true);
      }
    }
  } catch (const EFailureLoadOrderRows&) {
  }
}

void TCustomkxInspectorControl::LoadLayoutFromStream(TStream* Stream) {
  for (TkxInspectorRow* r : std::vector<TkxInspectorRow*>(FRows))
    if (!IsRowInComplexRow(r)) {
      if (!r->Visible())
        r->SetVisible(true);
      else if (!r->Node())
        GiveRowNode(r);
    }
  ReadLayoutData(Stream);
  ++FLoadingLayout;
  try {
    ApplyLayoutData();
  } catch (...) {
    --FLoadingLayout;
    FLayoutStream.reset();
    throw;
  }
  --FLoadingLayout;
  FLayoutStream.reset();
}

void TCustomkxInspectorControl::HideInvisibleRows() {
  for (TkxInspectorRow* r : std::vector<TkxInspectorRow*>(FRows))
    if (!r->Visible() && r->Node()) {
      TkxInspectorRowNode* n = r->FNode;
      n->Row = nullptr;
      r->FNode = nullptr;
      delete n;
    }
}

void TCustomkxInspectorControl::Loaded() {
  BeginUpdate();
  FInLoaded = true;
  auto done = [&] {
    FLayoutStream.reset();
    FInLoaded = false;
    EndUpdate();
  };
  try {
    TCustomkxInspector::Loaded();
    ++FLoadingLayout;
    try {
      ApplyLayoutData();
    } catch (...) {
      --FLoadingLayout;
      throw;
    }
    --FLoadingLayout;
    RestoreFromRegistry();
    FLayoutStream.reset();
    HideInvisibleRows();
    if (FirstNode()) {
      FFocusedNode = FirstNode();
      MakeNodeVisible(FFocusedNode);
    }
  } catch (...) {
    done();
    throw;
  }
  done();
}

void TCustomkxInspectorControl::RestoreFromRegistry() {
  if (InternalOptions().Contains(ioStoreToRegistry) && !ComponentState().Contains(csDesigning) &&
      !RegistryPath().empty())
    LoadFromRegistry(RegistryPath());
}

void TCustomkxInspectorControl::StoreToRegistry() {
  if (InternalOptions().Contains(ioStoreToRegistry) && !ComponentState().Contains(csDesigning) &&
      !RegistryPath().empty())
    SaveToRegistry(RegistryPath());
}

void TCustomkxInspectorControl::LoadFromRegIni(TkxRegIniWrapper* W, const AnsiString& P) {
  std::unique_ptr<TStringList> names(new TStringList());
  W->ReadSection(P + "\\Categories", names.get());
  for (int i = RowCount() - 1; i >= 0; --i) {
    if (i >= RowCount()) continue;
    TkxInspectorRow* r = FRows[std::size_t(i)];
    if (r->IsCategory() && names->IndexOf(r->Name()) < 0) {
      r->SetVisible(false);
      r->Free();
    }
  }
  for (int i = 0; i < names->Count(); ++i) {
    const AnsiString name = names->Strings(i);
    if (FindRowByName(name)) continue;
    TkxInspectorRow* r = AddRow(GetDefaultRowClass());
    try {
      r->SetIsCategory(true);
      r->SetVisible(false);
      r->SetName(name);
    } catch (...) {
      // A name that cannot be a component name: the new row goes again.
      r->Free();
      throw;
    }
    r->SetCaption(W->ReadString(P + "\\Categories", name, name));
  }
  const int size = W->ReadBinaryData(P, "Nodes", nullptr, 0);
  if (size > 0) {
    std::vector<char> buf(static_cast<std::size_t>(size));
    W->ReadBinaryData(P, "Nodes", buf.data(), size);
    TMemoryStream m;
    m.WriteBuffer(buf.data(), size);
    m.SetPosition(0);
    LoadLayoutFromStream(&m);
  }
  for (TkxInspectorRow* r : std::vector<TkxInspectorRow*>(FRows)) {
    const AnsiString k = P + "\\Rows\\" + r->Name();
    r->SetRowHeight(W->ReadInteger(k, "RowHeight", -1));
    r->SetVisible(W->ReadBool(k, "Visible", r->Visible()));
  }
  TCustomkxInspector::LoadFromRegIni(W, P);
}

void TCustomkxInspectorControl::SaveToRegIni(TkxRegIniWrapper* W, const AnsiString& P) {
  TCustomkxInspector::SaveToRegIni(W, P);
  W->EraseSection(P + "\\Categories");
  for (TkxInspectorRow* r : FRows)
    if (r->IsCategory()) W->WriteString(P + "\\Categories", r->Name(), r->Caption());
  TMemoryStream m;
  SaveLayoutToStream(&m);
  W->WriteBinaryData(P, "Nodes", m.Memory(), LongInt(m.Size()));
  for (TkxInspectorRow* r : FRows) {
    const AnsiString k = P + "\\Rows\\" + r->Name();
    W->WriteInteger(k, "RowHeight", r->IsRowHeightAssigned() ? r->RowHeight() : -1);
    W->WriteBool(k, "Visible", r->Visible());
  }
}
