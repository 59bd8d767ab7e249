// The data-aware organisation chart: loading the records as nodes, following
// the dataset's cursor, and writing node changes back to the records.
#include "treechart/dborgchart.h"

#include <algorithm>

#include "platform/classes/typinfo.h"
#include "platform/rtl/strings.h"

namespace {

// Lowers the chart's write-through flag for a block and, when asked, moves
// the cursor back to where it was; both are restored whatever happens.
class TOcWriteGuard {
 public:
  TOcWriteGuard(bool& Flag, std::function<void()> Restore = nullptr) : FFlag(Flag), FOld(Flag), FRestore(std::move(Restore)) {
    FFlag = false;
  }
  ~TOcWriteGuard() {
    if (FRestore) {
      try {
        FRestore();
      } catch (...) {
      }
    }
    FFlag = FOld;
  }
  TOcWriteGuard(const TOcWriteGuard&) = delete;
  TOcWriteGuard& operator=(const TOcWriteGuard&) = delete;

 private:
  bool& FFlag;
  bool FOld;
  std::function<void()> FRestore;
};

bool OcIntegerField(const TField* F) {
  if (!F) return false;
  switch (F->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return true;
    default: return false;
  }
}

int OcIntValue(TField* F, int IfNull) {
  if (!F || F->IsNull()) return IfNull;
  return F->AsInteger();
}

// The first Size bytes of Text, never ending inside a double-byte character.
AnsiString OcCutText(const AnsiString& Text, int Size) {
  if (Size <= 0 || int(Text.size()) <= Size) return Text;
  int n = Size;
  if (ByteType(Text, n) == mbLeadByte) --n;  // 1-based: the last byte kept starts a character
  return Text.substr(0, std::size_t(n));
}

}  // namespace

int kxOcCompareValues(const Variant& A, const Variant& B) {
  if (A.IsNull() || B.IsNull()) {
    if (A.IsNull() && B.IsNull()) return 0;
    return A.IsNull() ? -1 : 1;
  }
  // Keys are integers almost always: compare them without the general rules.
  const auto integral = [](Word t) {
    return t == varSmallint || t == varInteger || t == varShortInt || t == varByte || t == varWord ||
           t == varLongWord || t == varInt64;
  };
  if (integral(A.Type()) && integral(B.Type())) {
    const Int64 a = A.AsInt64(), b = B.AsInt64();
    return a == b ? 0 : (a < b ? -1 : 1);
  }
  try {
    if (A == B) return 0;
    return A < B ? -1 : 1;
  } catch (const EVariantError&) {
    return -1;
  }
}

// ---- nodes and the data link ----

void TkxDbOcNode::ReadData(TStream* Stream) {
  auto* c = dynamic_cast<TkxDbOrgChart*>(Owner());
  if (!c) {
    TkxOcNode::ReadData(Stream);
    return;
  }
  {
    TOcWriteGuard guard(c->FWriteThrough);
    TkxOcNode::ReadData(Stream);
  }
  if (Linked()) c->NodeAttributesChanged(this);
}

void TkxDbOcNode::SetText(const AnsiString& Value) {
  auto* c = dynamic_cast<TkxDbOrgChart*>(Owner());
  TField* f = c ? c->BoundField(TkxDbOrgChart::frText) : nullptr;
  TkxOcNode::SetText(f && f->Size() > 0 ? OcCutText(Value, f->Size()) : Value);
}

void TkxOcDataLink::ActiveChanged() { FChart->RebindChart(); }

void TkxOcDataLink::DataSetChanged() {
  TDataSet* ds = DataSet();
  if (ds && ds->Filtered() == Filtered && ds->Filter() == Filter) FChart->RefreshChart();
  else FChart->RebindChart();
}

void TkxOcDataLink::DataSetScrolled(int Distance) { FChart->CursorMoved(Distance); }

void TkxOcDataLink::RecordChanged(TField* Field) { FChart->ChartFieldEdited(Field); }

// ---- the chart ----

TkxDbOrgChart::TkxDbOrgChart(TComponent* AOwner) : TkxCustomOrgChart(AOwner) {
  FDataLink = std::make_unique<TkxOcDataLink>(this);
}

TkxDbOrgChart::~TkxDbOrgChart() {
  // The in-place editor closes without applying its text and nothing is
  // selected before any node goes: deleting the selected node would select
  // another and open the editor on it again, with the data link gone.
  FDestroying = true;
  EndEdit(false);
  FSelected = nullptr;
  FWriteThrough = false;
  FDataLink.reset();
  FKeyIndex.clear();
  // the nodes go; nothing here touches records any more
  while (Root()->Count()) TkxCustomOrgChart::DeleteNode(Root()->FirstChild());
}

void TkxDbOrgChart::SetDataSource(TDataSource* Value) {
  if (Value == FDataLink->DataSource()) return;
  if (FDataLink->DataSource()) FDataLink->DataSource()->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
}

void TkxDbOrgChart::Notification(TComponent* AComponent, TOperation Operation) {
  TkxCustomOrgChart::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) SetDataSource(nullptr);
}

void TkxDbOrgChart::SetFieldName(TFieldRole Role, const AnsiString& Value) {
  if (FFieldNames[Role] == Value) return;
  FFieldNames[Role] = Value;
  RebindChart();
}

bool TkxDbOrgChart::Bound() const {
  return FDataLink && FDataLink->Active() && FFields[frKey] && FFields[frParent];
}

bool TkxDbOrgChart::CanModifyData() const {
  TDataSet* ds = FDataLink ? FDataLink->DataSet() : nullptr;
  return ds && ds->CanModify() && !FDataLink->ReadOnly();
}

void TkxDbOrgChart::UnbindFields() {
  for (TField*& f : FFields) f = nullptr;
}

void TkxDbOrgChart::BindFields() {
  UnbindFields();
  TDataSet* ds = FDataLink->DataSet();
  if (!FDataLink->Active() || !ds) return;
  for (int r = 0; r < frCount; ++r) {
    if (FFieldNames[r].empty()) continue;
    TField* f = ds->FindField(FFieldNames[r]);
    const bool numeric = r != frKey && r != frParent && r != frText;
    if (f && numeric && !OcIntegerField(f)) f = nullptr;
    FFields[r] = f;
  }
}

void TkxDbOrgChart::RebindChart() {
  if (FDestroying) return;
  UnbindFields();
  FLoaded.Clear();
  {
    TOcWriteGuard guard(FWriteThrough);
    Clear();
    FKeyIndex.clear();
  }
  if (TDataSet* ds = FDataLink->DataSet()) {
    FDataLink->Filtered = ds->Filtered();
    FDataLink->Filter = ds->Filter();
  }
  BindFields();
  if (Bound()) RefreshChart();
}

void TkxDbOrgChart::RefreshChart() {
  if (!FWriteThrough || FDestroying || !Bound()) return;
  const TDataSetState st = FDataLink->DataSet()->State();
  if (st == dsEdit || st == dsInsert) return;
  // Records as the last load read them (another control walked them) need
  // no new load; the cursor may have moved.
  if (!FLoaded.Holds(FDataLink->DataSet(), static_cast<int>(FKeyIndex.size()))) LoadChart();
  CursorMoved(0);
}

void TkxDbOrgChart::LoadChart() {
  if (!Bound()) return;
  TDataSet* ds = FDataLink->DataSet();
  FLoaded.Clear();
  for (TkxDbOcNode* n : FKeyIndex) n->Visited = false;
  TOcWriteGuard guard(FWriteThrough);
  ds->DisableControls();
  struct Enable {
    TDataSet* ds;
    ~Enable() { ds->EnableControls(); }
  } enable{ds};
  FLastPos = -1;
  FCursorPos = 0;
  FMaxKey = Variant::Null();
  const int back = -ds->MoveBy(-99999999);
  BeginUpdate();
  try {
    while (!ds->Eof()) {
      ++FLastPos;
      FCursorPos = FLastPos;
      LoadRecord();
      ds->Next();
    }
    PlaceTopLevelNodes();
    for (;;) {
      auto it = std::find_if(FKeyIndex.begin(), FKeyIndex.end(), [](TkxDbOcNode* n) { return !n->Visited; });
      if (it == FKeyIndex.end()) break;
      DeleteNode(*it);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  FCursorPos += ds->MoveBy(back - FCursorPos);
  FLoaded.Set(ds, static_cast<int>(FKeyIndex.size()));
}

int TkxDbOrgChart::OrderIndex(TkxOcNode* Parent, const Variant& Order, const TkxOcNode* Skip) const {
  TkxOcNode* p = Parent ? Parent : Root();
  int index = 0;
  for (int i = 0; i < p->Count(); ++i) {
    auto* s = static_cast<TkxDbOcNode*>(p->Items(i));
    if (s == Skip) continue;
    if (kxOcCompareValues(s->OrderValue, Order) > 0) return index;
    ++index;
  }
  return -1;
}

void TkxDbOrgChart::LoadRecord() {
  TField* keyField = FFields[frKey];
  if (keyField->IsNull()) return;
  const Variant key = keyField->Value();
  if (FMaxKey.IsNull() || kxOcCompareValues(key, FMaxKey) > 0) FMaxKey = key;
  Variant parentKey = FFields[frParent]->Value();
  if (!parentKey.IsNull() && kxOcCompareValues(parentKey, key) == 0) parentKey = Variant::Null();
  TkxDbOcNode* n = FindNode(key);
  TkxDbOcNode* q = parentKey.IsNull() ? nullptr : FindNode(parentKey);
  if (!n) {
    Variant order = key;
    if (TField* of = FFields[frOrder]) order = of->IsNull() ? Variant(0) : of->Value();
    n = static_cast<TkxDbOcNode*>(TkxCustomOrgChart::InsertNodeAt(q, 0, OrderIndex(q, order, nullptr)));
    if (!n) return;
    n->RecordKey = key;
    n->RecordPos = FCursorPos;
    n->OrderValue = order;
    n->ParentKey = q ? q->RecordKey : Variant::Null();
    IndexAdd(n);
  }
  if (n->ParentKey.IsNull()) n->ParentKey = parentKey;
  if (q != n->Parent() && q != n && !(q && q->IsDescendantOf(n))) MoveNodeTo(q, n, OrderIndex(q, n->OrderValue, n));
  if (TField* tf = FFields[frText]) n->ApplyEditedText(tf->AsString());
  if (FFields[frWidth]) n->SetWidth(Word(std::clamp(OcIntValue(FFields[frWidth], 0), 0, 65535)));
  if (FFields[frHeight]) n->SetHeight(Word(std::clamp(OcIntValue(FFields[frHeight], 0), 0, 65535)));
  if (FFields[frColor]) n->SetColor(OcIntValue(FFields[frColor], clNone));
  if (FFields[frShape]) n->SetShape(TkxOcNodeShape(std::clamp(OcIntValue(FFields[frShape], 0), 0, int(nsDiamond))));
  if (FFields[frChildAlign])
    n->SetChildAlign(TkxOcChildAlignment(std::clamp(OcIntValue(FFields[frChildAlign], 1), 0, int(oaRight))));
  if (FFields[frImageAlign])
    n->SetImageAlign(TkxOcImageAlign(std::clamp(OcIntValue(FFields[frImageAlign], 0), 0, int(iaBR))));
  if (FFields[frImage]) n->SetImageIndex(SmallInt(std::clamp(OcIntValue(FFields[frImage], -1), -32768, 32767)));
  if (OnLoadNode && !FDestroying) OnLoadNode(this, n);
  n->RecordPos = FCursorPos;
  n->Visited = true;
}

void TkxDbOrgChart::PlaceTopLevelNodes() {
  std::vector<TkxOcNode*> tops;
  for (int i = 0; i < Root()->Count(); ++i) tops.push_back(Root()->Items(i));
  for (TkxOcNode* t : tops) {
    auto* n = static_cast<TkxDbOcNode*>(t);
    if (!n->Visited || n->ParentKey.IsNull()) continue;
    TkxDbOcNode* q = FindNode(n->ParentKey);
    if (!q || q == n || q->IsDescendantOf(n)) continue;
    MoveNodeTo(q, n, OrderIndex(q, n->OrderValue, n));
  }
}

// ---- the key index ----

int TkxDbOrgChart::IndexSearch(const Variant& Key, bool& Found) const {
  int lo = 0, hi = int(FKeyIndex.size());
  Found = false;
  while (lo != hi) {
    const int mid = (lo + hi) / 2;
    const int c = kxOcCompareValues(Key, FKeyIndex[std::size_t(mid)]->RecordKey);
    if (c == 0) {
      Found = true;
      return mid;
    }
    if (c > 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

TkxDbOcNode* TkxDbOrgChart::FindNode(const Variant& Key) const {
  if (Key.IsNull()) return nullptr;
  bool found = false;
  const int at = IndexSearch(Key, found);
  return found ? FKeyIndex[std::size_t(at)] : nullptr;
}

void TkxDbOrgChart::IndexAdd(TkxDbOcNode* Node) {
  bool found = false;
  const int at = IndexSearch(Node->RecordKey, found);
  FKeyIndex.insert(FKeyIndex.begin() + at, Node);
}

void TkxDbOrgChart::IndexRemove(TkxDbOcNode* Node) {
  auto it = std::find(FKeyIndex.begin(), FKeyIndex.end(), Node);
  if (it != FKeyIndex.end()) FKeyIndex.erase(it);
}

// ---- the position cache ----

void TkxDbOrgChart::MoveCursorTo(int Pos) {
  if (FCursorPos == Pos) return;
  FCursorPos += FDataLink->DataSet()->MoveBy(Pos - FCursorPos);
}

bool TkxDbOrgChart::GoToNodeRecord(TkxDbOcNode* Node) {
  TDataSet* ds = FDataLink->DataSet();
  MoveCursorTo(Node->RecordPos);
  if (FCursorPos == Node->RecordPos && kxOcCompareValues(FFields[frKey]->Value(), Node->RecordKey) == 0) return true;
  if (Node->RecordKey.IsNull() || !ds->Locate(FFieldNames[frKey], Node->RecordKey, TLocateOptions{})) return false;
  // the cached position was stale: take the record's real one
  const int recNo = ds->RecNo();
  if (recNo > 0) {
    FCursorPos = recNo - 1;
    Node->RecordPos = FCursorPos;
  } else {
    FCursorPos = -ds->MoveBy(-99999999);
    FCursorPos += ds->MoveBy(FCursorPos);
    Node->RecordPos = FCursorPos;
  }
  return true;
}

void TkxDbOrgChart::UpdateRecordPos(TkxDbOcNode* Node) {
  TDataSet* ds = FDataLink->DataSet();
  int pos;
  const int recNo = ds->RecNo();
  if (recNo > 0) pos = recNo - 1;
  else pos = -ds->MoveBy(-99999999);
  FCursorPos = pos;
  const int old = Node->RecordPos;
  if (pos == old) return;
  for (TkxDbOcNode* n : FKeyIndex) {
    if (n == Node) continue;
    if (n->RecordPos > old) --n->RecordPos;
    if (n->RecordPos >= pos) ++n->RecordPos;
  }
  Node->RecordPos = pos;
}

Variant TkxDbOrgChart::CreateKeyValue() {
  Variant k = Variant::Null();
  if (OnNewKey && !FDestroying) {
    OnNewKey(this, FMaxKey, k);
    if (!k.IsNull() && !FMaxKey.IsNull() && kxOcCompareValues(k, FMaxKey) <= 0) k = Variant::Null();
  }
  if (k.IsNull() && OcIntegerField(FFields[frKey]))
    k = FMaxKey.IsNull() ? Variant(0) : FMaxKey + Variant(1);
  if (k.IsNull()) throw EVariantError("Cannot create new key.");
  FMaxKey = k;
  return k;
}

void TkxDbOrgChart::WriteParentValue(TkxDbOcNode* Node) {
  TField* pf = FFields[frParent];
  Variant v = Node->ParentKey;
  if (v.IsNull() && pf->Required()) v = Node->RecordKey;
  pf->SetValue(v);
}

void TkxDbOrgChart::RenumberSiblings(TkxDbOcNode* Node) {
  if (!FKeyOrder && !FFields[frOrder]) return;
  TDataSet* ds = FDataLink->DataSet();
  for (auto* n = Node; n;) {
    auto* m = static_cast<TkxDbOcNode*>(n->NextSibling());
    if (!m) break;
    if (kxOcCompareValues(n->OrderValue, m->OrderValue) >= 0 && GoToNodeRecord(m)) {
      if (TField* of = FFields[frOrder]) {
        m->OrderValue = n->OrderValue + Variant(1);
        ds->Edit();
        of->SetValue(m->OrderValue);
        ds->Post();
        UpdateRecordPos(m);
      } else {
        const Variant key = CreateKeyValue();
        m->OrderValue = key;
        ds->Edit();
        FFields[frKey]->SetValue(key);
        ds->Post();
        IndexRemove(m);
        m->RecordKey = key;
        FKeyIndex.push_back(m);
        UpdateRecordPos(m);
        for (int i = 0; i < m->Count(); ++i) {
          auto* c = static_cast<TkxDbOcNode*>(m->Items(i));
          c->ParentKey = key;
          if (GoToNodeRecord(c)) {
            ds->Edit();
            WriteParentValue(c);
            ds->Post();
            UpdateRecordPos(c);
          }
        }
      }
    }
    n = m;
  }
}

// ---- node operations written through ----

TkxOcNode* TkxDbOrgChart::NewNode() { return new TkxDbOcNode(this); }

TkxOcNode* TkxDbOrgChart::InsertNodeAt(TkxOcNode* Parent, int Data, int Index) {
  if (!Bound()) return nullptr;
  if (FWriteThrough && !CanModifyData()) return nullptr;
  auto* n = static_cast<TkxDbOcNode*>(TkxCustomOrgChart::InsertNodeAt(Parent, Data, Index));
  if (!n || !FWriteThrough) return n;
  TDataSet* ds = FDataLink->DataSet();
  const int saved = FCursorPos;
  try {
    TOcWriteGuard guard(FWriteThrough, [this, saved] { MoveCursorTo(saved); });
    TField* keyField = FFields[frKey];
    const bool autoInc = keyField->DataType() == ftAutoInc;
    if (!autoInc) n->RecordKey = CreateKeyValue();
    auto* parent = static_cast<TkxDbOcNode*>(n->Parent());
    n->ParentKey = parent ? parent->RecordKey : Variant::Null();
    auto* prev = static_cast<TkxDbOcNode*>(n->PrevSibling());
    n->OrderValue = prev ? prev->OrderValue + Variant(1) : Variant(0);
    ds->Append();
    ++FLastPos;
    FCursorPos = n->RecordPos = FLastPos;
    try {
      if (!autoInc) keyField->SetValue(n->RecordKey);
      WriteParentValue(n);
      if (FFields[frOrder]) FFields[frOrder]->SetValue(n->OrderValue);
      ds->Post();
    } catch (...) {
      ds->Cancel();
      --FLastPos;
      throw;
    }
    if (autoInc) n->RecordKey = keyField->Value();
    if (FMaxKey.IsNull() || kxOcCompareValues(n->RecordKey, FMaxKey) > 0) FMaxKey = n->RecordKey;
    if (!FFields[frOrder]) n->OrderValue = n->RecordKey;
    UpdateRecordPos(n);
    IndexAdd(n);
    RenumberSiblings(n);
  } catch (...) {
    // no record: no node
    TOcWriteGuard guard(FWriteThrough);
    IndexRemove(n);
    TkxCustomOrgChart::DeleteNode(n);
    throw;
  }
  return n;
}

void TkxDbOrgChart::MoveNodeTo(TkxOcNode* NewParent, TkxOcNode* Node, int Index) {
  if (FWriteThrough && Bound() && !CanModifyData()) return;
  auto* n = dynamic_cast<TkxDbOcNode*>(Node);
  if (!n) return;
  TkxOcNode* target = NewParent ? NewParent : Root();
  TkxCustomOrgChart::MoveNodeTo(NewParent, Node, Index);
  if (Node->Parent() != (target == Root() ? nullptr : target)) return;  // refused
  auto* p = static_cast<TkxDbOcNode*>(Node->Parent());
  n->ParentKey = p ? p->RecordKey : Variant::Null();
  if (!FWriteThrough || !Bound()) return;
  TDataSet* ds = FDataLink->DataSet();
  const int saved = FCursorPos;
  TOcWriteGuard guard(FWriteThrough, [this, saved] { MoveCursorTo(saved); });
  if (GoToNodeRecord(n)) {
    ds->Edit();
    WriteParentValue(n);
    ds->Post();
    UpdateRecordPos(n);
  }
  auto* from = static_cast<TkxDbOcNode*>(n->PrevSibling());
  RenumberSiblings(from ? from : n);
}

void TkxDbOrgChart::DeleteNode(TkxOcNode* Node) {
  auto* n = dynamic_cast<TkxDbOcNode*>(Node);
  if (!n || n->Owner() != this || Node == Root()) return;
  if (FWriteThrough && Bound()) {
    if (!CanModifyData()) return;
    TDataSet* ds = FDataLink->DataSet();
    int saved = FCursorPos;
    TOcWriteGuard guard(FWriteThrough, [this, &saved] { MoveCursorTo(saved); });
    if (GoToNodeRecord(n)) {
      const int gone = n->RecordPos;
      ds->Delete();
      --FLastPos;
      FCursorPos = std::min(FCursorPos, FLastPos);
      for (TkxDbOcNode* m : FKeyIndex)
        if (m->RecordPos > gone) --m->RecordPos;
      if (saved > gone) --saved;
    }
  }
  IndexRemove(n);
  TkxCustomOrgChart::DeleteNode(Node);
}

void TkxDbOrgChart::NodeAttributesChanged(TkxOcNode* Node) {
  auto* n = dynamic_cast<TkxDbOcNode*>(Node);
  if (!n || !FWriteThrough || !Bound() || !CanModifyData()) return;
  TDataSet* ds = FDataLink->DataSet();
  const int saved = FCursorPos;
  TOcWriteGuard guard(FWriteThrough, [this, saved] { MoveCursorTo(saved); });
  if (!GoToNodeRecord(n)) return;
  ds->Edit();
  try {
    if (FFields[frText]) FFields[frText]->SetAsString(n->GetText());
    if (FFields[frWidth]) FFields[frWidth]->SetAsInteger(n->Width());
    if (FFields[frHeight]) FFields[frHeight]->SetAsInteger(n->Height());
    if (FFields[frColor]) FFields[frColor]->SetAsInteger(n->Color());
    if (FFields[frShape]) FFields[frShape]->SetAsInteger(n->Shape());
    if (FFields[frChildAlign]) FFields[frChildAlign]->SetAsInteger(n->ChildAlign());
    if (FFields[frImageAlign]) FFields[frImageAlign]->SetAsInteger(n->ImageAlign());
    if (FFields[frImage]) FFields[frImage]->SetAsInteger(n->ImageIndex());
    ds->Post();
  } catch (...) {
    ds->Cancel();
    throw;
  }
  UpdateRecordPos(n);
}

// ---- cursor and selection ----

void TkxDbOrgChart::CursorMoved(int Distance) {
  if (!FWriteThrough || !FFields[frKey] || FDestroying) return;
  TOcWriteGuard guard(FWriteThrough);
  FCursorPos += Distance;
  TkxDbOcNode* n = FindNode(FFields[frKey]->Value());
  SetSelected(n);
  if (n) n->MakeVisible();
}

void TkxDbOrgChart::SelectionChanging(TkxOcNode* Node, bool& Allow) {
  TkxCustomOrgChart::SelectionChanging(Node, Allow);
  if (!Allow || !FWriteThrough || !Bound()) return;
  auto* n = dynamic_cast<TkxDbOcNode*>(Node);
  if (!n) return;
  const int saved = FCursorPos;
  TOcWriteGuard guard(FWriteThrough);
  try {
    Allow = GoToNodeRecord(n);
  } catch (...) {
    Allow = false;
  }
  if (!Allow) {
    try {
      MoveCursorTo(saved);
    } catch (...) {
    }
  }
}

void TkxDbOrgChart::SelectionChanged(TkxOcNode* Node) {
  if (FWriteThrough && Bound() && Node) {
    TOcWriteGuard guard(FWriteThrough);
    try {
      GoToNodeRecord(static_cast<TkxDbOcNode*>(Node));
    } catch (...) {
    }
  }
  TkxCustomOrgChart::SelectionChanged(Node);
}

void TkxDbOrgChart::ChartFieldEdited(TField* Field) {
  if (!FWriteThrough || !Selected() || !Bound() || FDestroying) return;
  if (FDataLink->DataSet()->State() != dsEdit) return;
  TOcWriteGuard guard(FWriteThrough);
  TField* tf = FFields[frText];
  TField* imf = FFields[frImage];
  if (tf && (!Field || Field == tf)) Selected()->ApplyEditedText(tf->AsString());
  if (imf && (!Field || Field == imf)) Selected()->SetImageIndex(SmallInt(OcIntValue(imf, -1)));
}

TkxOcInplaceEdit* TkxDbOrgChart::NewEditor() {
  TkxOcInplaceEdit* e = TkxCustomOrgChart::NewEditor();
  if (e && FFields[frText] && FFields[frText]->Size() > 0) e->SetMaxLength(FFields[frText]->Size());
  return e;
}

void TkxDbOrgChart::BeginEdit() {
  if (FDestroying || !Bound() || !CanModifyData()) return;
  TkxCustomOrgChart::BeginEdit();
}

// ---- registration ----

void kxInitOrgChartClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  using C = TkxDbOrgChart;
  using B = TkxCustomOrgChart;
  RegisterClasses({C::StaticClass()});
  RegisterProps<C>([](TPropBuilder<C>& p) {
    TControlPropDefaults d;
    d.Color = clWindow;
    d.ParentColor = false;
    d.TabStop = true;
    PublishControlProps(p,
                        "Align Anchors Color Constraints Ctl3D Cursor DragCursor Enabled Font ParentColor ParentCtl3D "
                        "ParentShowHint PopupMenu ShowHint TabOrder TabStop Visible OnClick OnDblClick "
                        "OnDragDrop OnDragOver OnEndDrag OnEnter OnExit OnKeyDown OnKeyPress OnKeyUp OnMouseDown "
                        "OnMouseMove OnMouseUp OnStartDrag",
                        d);
    p.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(false);
    p.Prop("BorderStyle", &B::BorderStyle, &B::SetBorderStyle).Default(bsSingle);
    p.Prop("Images", &B::Images, &B::SetImages);
    p.Prop("DefaultImageAlign", &B::DefaultImageAlign, &B::SetDefaultImageAlign).Default(iaNone);
    p.Prop("DefaultNodeWidth", &B::DefaultNodeWidth, &B::SetDefaultNodeWidth).Default(64);
    p.Prop("DefaultNodeHeight", &B::DefaultNodeHeight, &B::SetDefaultNodeHeight).Default(40);
    p.Prop("EditMode", &B::EditMode, &B::SetEditMode).Default(TkxOcEditMode{emWrap});
    p.Prop("IndentX", &B::StoredIndentX, &B::SetIndentX).Default(16);
    p.Prop("IndentY", &B::StoredIndentY, &B::SetIndentY).Default(16);
    p.Prop("LineColor", &B::LineColor, &B::SetLineColor).Default(clBlack).Idents(ColorIdentMap());
    p.Prop("LineWidth", &B::StoredLineWidth, &B::SetLineWidth).Default(1);
    p.Prop("Options", &B::Options, &B::SetOptions).NoDefault();
    p.Prop("Rotated", &B::Rotated, &B::SetRotated).Default(false);
    p.Prop("SelectedNodeColor", &B::SelectedNodeColor, &B::SetSelectedNodeColor)
        .Default(clHighlight)
        .Idents(ColorIdentMap());
    p.Prop("SelectedNodeTextColor", &B::SelectedNodeTextColor, &B::SetSelectedNodeTextColor)
        .Default(clHighlightText)
        .Idents(ColorIdentMap());
    p.Prop("Zoom", &B::Zoom, &B::SetZoom).Default(false);
    p.Prop("DataSource", &C::DataSource, &C::SetDataSource);
    p.Prop("KeyFieldName", &C::KeyFieldName, &C::SetKeyFieldName);
    p.Prop("ParentFieldName", &C::ParentFieldName, &C::SetParentFieldName);
    p.Prop("TextFieldName", &C::TextFieldName, &C::SetTextFieldName);
    p.Prop("OrderFieldName", &C::OrderFieldName, &C::SetOrderFieldName);
    p.Prop("ImageFieldName", &C::ImageFieldName, &C::SetImageFieldName);
    p.Prop("KeyOrder", &C::KeyOrder, &C::SetKeyOrder).Default(false);
    p.Prop("OnChange", &B::OnChange, &B::OnChange);
    p.Prop("OnChanging", &B::OnChanging, &B::OnChanging);
    p.Prop("OnCollapsed", &B::OnCollapsed, &B::OnCollapsed);
    p.Prop("OnCollapsing", &B::OnCollapsing, &B::OnCollapsing);
    p.Prop("OnCreateNode", &B::OnCreateNode, &B::OnCreateNode);
    p.Prop("OnDeletion", &B::OnDeletion, &B::OnDeletion);
    p.Prop("OnDrawNode", &B::OnDrawNode, &B::OnDrawNode);
    p.Prop("OnEdited", &B::OnEdited, &B::OnEdited);
    p.Prop("OnEditing", &B::OnEditing, &B::OnEditing);
    p.Prop("OnExpanded", &B::OnExpanded, &B::OnExpanded);
    p.Prop("OnExpansion", &B::OnExpansion, &B::OnExpansion);
    p.Prop("OnGetText", &B::OnGetText, &B::OnGetText);
    p.Prop("OnLoadNode", &C::OnLoadNode, &C::OnLoadNode);
    p.Prop("OnNewKey", &C::OnNewKey, &C::OnNewKey);
    p.Prop("OnSetFont", &B::OnSetFont, &B::OnSetFont);
    p.Prop("OnSetText", &B::OnSetText, &B::OnSetText);
  });
}
