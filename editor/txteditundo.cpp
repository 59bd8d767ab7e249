#include "editor/txteditundo.h"

void TTxtEditUndoItem::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TTxtEditUndoItem*>(Source)) {
    Reason = src->Reason;
    SelectionMode = src->SelectionMode;
    StartPos = src->StartPos;
    EndPos = src->EndPos;
    Text = src->Text;
    StepNumber = src->StepNumber;
    return;
  }
  TPersistent::Assign(Source);
}

TTxtEditUndoList::~TTxtEditUndoList() {
  OnItemAdded = nullptr;
  Clear();
}

void TTxtEditUndoList::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TTxtEditUndoList*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  Clear();
  for (TTxtEditUndoItem* it : src->FItems) {
    auto copy = std::make_unique<TTxtEditUndoItem>();
    copy->Assign(it);
    FItems.push_back(copy.release());
  }
  GroupStepNumber = src->GroupStepNumber;
  FGroupDepth = src->FGroupDepth;
  FSuspendDepth = src->FSuspendDepth;
  FMaxItems = src->FMaxItems;
  FNextStepNumber = src->FNextStepNumber;
  RedoRunning = src->RedoRunning;
}

void TTxtEditUndoList::AdvanceStep() {
  // Step numbers run 1, 2, 3 ...; 0 never names a step.
  if (FNextStepNumber == -1) FNextStepNumber = 1;
  else if (FNextStepNumber == 2147483647) FNextStepNumber = -2147483647 - 1;
  else ++FNextStepNumber;
}

void TTxtEditUndoList::RecordChange(TTxtUndoReason Reason, const TBufferCoord& StartPos,
                                    const TBufferCoord& EndPos, const AnsiString& Text,
                                    TTxtSelectionMode SelectionMode) {
  if (FSuspendDepth > 0) return;
  auto item = std::make_unique<TTxtEditUndoItem>();
  item->Reason = Reason;
  item->SelectionMode = SelectionMode;
  item->StartPos = StartPos;
  item->EndPos = EndPos;
  item->Text = Text;
  if (GroupStepNumber != 0) {
    item->StepNumber = GroupStepNumber;
  } else {
    item->StepNumber = FNextStepNumber;
    if (FGroupDepth == 0) AdvanceStep();
  }
  Push(item.release());
}

void TTxtEditUndoList::Trim() {
  // Whole steps go, oldest first, so that no step is ever half undone; the
  // newest step stays whole even when it alone holds more records.
  if (FMaxItems <= 0) {
    Clear();
    return;
  }
  const std::size_t n = FItems.size(), max = std::size_t(FMaxItems);
  if (n <= max) return;
  const int newest = FItems.back()->StepNumber;
  std::size_t cut = 0;
  while (n - cut > max && FItems[cut]->StepNumber != newest) {
    const int step = FItems[cut]->StepNumber;
    while (cut < n && FItems[cut]->StepNumber == step) ++cut;
  }
  if (cut == 0) return;
  for (std::size_t i = 0; i < cut; ++i) delete FItems[i];
  FItems.erase(FItems.begin(), FItems.begin() + std::ptrdiff_t(cut));
}

void TTxtEditUndoList::Push(TTxtEditUndoItem* Item) {
  if (!Item) return;
  const bool isBreak = Item->Reason == urGroupBreak;  // the item may be trimmed away at once
  FItems.push_back(Item);
  Trim();
  if (!isBreak && OnItemAdded) OnItemAdded(this);
}

TTxtEditUndoItem* TTxtEditUndoList::Pop() {
  if (FItems.empty()) return nullptr;
  TTxtEditUndoItem* it = FItems.back();
  FItems.pop_back();
  return it;
}

void TTxtEditUndoList::PushGroupBreak() {
  if (TopReason() == urGroupBreak) return;
  RecordChange(urGroupBreak, TBufferCoord{}, TBufferCoord{}, AnsiString(), smNormal);
}

void TTxtEditUndoList::OpenGroup() {
  ++FGroupDepth;
  GroupStepNumber = FNextStepNumber;
}

void TTxtEditUndoList::CloseGroup() {
  if (FGroupDepth <= 0) return;
  if (--FGroupDepth > 0) return;
  int closed = GroupStepNumber;
  GroupStepNumber = 0;
  AdvanceStep();
  if (!FItems.empty() && FItems.back()->StepNumber == closed && OnItemAdded) OnItemAdded(this);
}

void TTxtEditUndoList::Clear() {
  for (TTxtEditUndoItem* it : FItems) delete it;
  FItems.clear();
}

void TTxtEditUndoList::SetMaxItems(int N) {
  if (N < 0) N = 0;
  if (N == FMaxItems) return;
  FMaxItems = N;
  Trim();
}

void TTxtEditUndoList::SetSavePoint(bool Saved) {
  if (Saved) FSavedStepNumber = FItems.empty() ? 0 : FItems.back()->StepNumber;
  else if (AtSavePoint()) FSavedStepNumber = -1;
}

bool TTxtEditUndoList::AtSavePoint() const {
  if (FItems.empty()) return FSavedStepNumber == 0;
  return FItems.back()->StepNumber == FSavedStepNumber;
}
