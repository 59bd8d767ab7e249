// The grid-mode selection of a dataset controller: the selected records are
// kept as data-set bookmarks in data-set order, with an anchor bookmark for
// range selection. Outside grid mode every operation is the base's.
#include <algorithm>

#include "data/uxdataconsts.h"
#include "data/uxdbdata.h"

// ---------------------------------------------------------------------------
// The list

bool TuxDBDataSelection::GridMode() const { return DBController()->IsGridMode(); }

TBookmarkStr TuxDBDataSelection::RowBookmark(int RowIndex) const {
  if (!GridMode()) return {};
  return DBController()->DBProvider()->BufferBookmark(RowIndex);
}

bool TuxDBDataSelection::FindBookmark(const TBookmarkStr& Bookmark, int& Index) const {
  TuxDBDataProvider* p = DBController()->DBProvider();
  int lo = 0, hi = BookmarkCount() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int r = p->CompareBookmarks(FBookmarkList[static_cast<std::size_t>(mid)], Bookmark);
    if (r < 0) {
      lo = mid + 1;
    } else if (r > 0) {
      hi = mid - 1;
    } else {
      Index = mid;
      return true;
    }
  }
  Index = lo;
  return false;
}

bool TuxDBDataSelection::FindByRowIndex(int RowIndex, int& Index) const {
  if (!GridMode()) return TuxDataSelection::FindByRowIndex(RowIndex, Index);
  const TBookmarkStr b = RowBookmark(RowIndex);
  if (b.empty()) {
    Index = BookmarkCount();
    return false;
  }
  return FindBookmark(b, Index);
}

void TuxDBDataSelection::InternalAdd(int Index, int RowIndex, int RecordIndex, int Level) {
  TuxDataSelection::InternalAdd(Index, RowIndex, RecordIndex, Level);
  if (FInSelectAll || !GridMode()) return;
  AddBookmark(Index, RowBookmark(RowIndex));
}

void TuxDBDataSelection::AddBookmark(int Index, const TBookmarkStr& Bookmark) {
  if (Index < 0 || Index > BookmarkCount()) Index = BookmarkCount();
  FBookmarkList.insert(FBookmarkList.begin() + Index, Bookmark);
}

void TuxDBDataSelection::InternalDelete(int Index) {
  TuxDataSelection::InternalDelete(Index);
  if (FInSelectAll || Index < 0 || Index >= BookmarkCount()) return;
  if (FBookmarkList[static_cast<std::size_t>(Index)] == FAnchorBookmark) FAnchorBookmark.clear();
  FBookmarkList.erase(FBookmarkList.begin() + Index);
}

void TuxDBDataSelection::InternalClear() {
  TuxDataSelection::InternalClear();
  FBookmarkList.clear();
}

void TuxDBDataSelection::ClearAnchor() {
  TuxDataSelection::ClearAnchor();
  FAnchorBookmark.clear();
}

void TuxDBDataSelection::SyncCount() {
  FInSelectAll = true;
  TuxFinally clear([this] { FInSelectAll = false; });
  SetCount(BookmarkCount());
}

bool TuxDBDataSelection::RemoveInvalid() {
  TuxDBDataProvider* p = DBController()->DBProvider();
  bool removed = false;
  for (int i = BookmarkCount() - 1; i >= 0; --i) {
    const TBookmarkStr& b = FBookmarkList[static_cast<std::size_t>(i)];
    if (b.empty() || !p->BookmarkValid(b)) {
      DeleteEntry(i);
      removed = true;
    }
  }
  return removed;
}

void TuxDBDataSelection::Finish() {
  TuxDBDataController* c = DBController();
  SyncCount();
  c->DataControllerInfo()->SelectionChanged();
  c->Change(dccSelection);
  c->AfterLocate();
}

void TuxDBDataSelection::SelectAllBookmarks() {
  TuxDBDataController* c = DBController();
  TuxDBDataProvider* p = c->DBProvider();
  TDataSet* ds = p->DataSet();
  if (!GridMode() || !ds) return;
  {
    p->Freeze();
    TuxFinally unfreeze([p] { p->Unfreeze(); });
    p->SavePos();
    TuxFinally restore([p] { p->RestorePos(); });
    try {
      ds->First();
      FBookmarkList.clear();
      while (!ds->Eof()) {
        if (c->CanSelectRow(-1)) FBookmarkList.push_back(ds->Bookmark());
        ds->Next();
      }
    } catch (...) {
      FBookmarkList.clear();
      SyncCount();
      throw;
    }
  }
  Finish();
}

void TuxDBDataSelection::SelectRange(const TBookmarkStr& Target, bool KeepSelection) {
  TuxDBDataController* c = DBController();
  TuxDBDataProvider* p = c->DBProvider();
  TDataSet* ds = p->DataSet();
  if (!GridMode() || !ds || (ds->State() == dsInsert && ds->Eof())) return;
  {
    p->Freeze();
    TuxFinally unfreeze([p] { p->Unfreeze(); });
    p->SavePos();
    TuxFinally restore([p] { p->RestorePos(); });
    try {
      TBookmarkStr a = FAnchorBookmark, b = Target;
      const bool anchorFirst = p->CompareBookmarks(a, b) < 0;
      if (!anchorFirst) std::swap(a, b);
      auto selectable = [c] { return c->CanSelectRow(-1); };
      bool done = false;
      const int n = BookmarkCount();
      if (!KeepSelection && n > 0) {
        if (p->CompareBookmarks(a, b) == 0) {
          FBookmarkList.clear();
          if (selectable()) FBookmarkList.push_back(a);
          done = true;
        } else if (anchorFirst) {
          if (n > 1 && FBookmarkList[static_cast<std::size_t>(n - 2)] == b) {
            // The range shrank by one at its end.
            if (FBookmarkList.front() == a) FBookmarkList.pop_back();
            done = true;
          } else {
            ds->SetBookmark(b);
            ds->Prior();
            if (FBookmarkList.back() == ds->Bookmark() && FBookmarkList.front() == a) {
              // The range grew by one at its end.
              if (selectable()) FBookmarkList.push_back(b);
              done = true;
            }
          }
        } else {
          if (n > 1 && FBookmarkList[1] == a) {
            if (FBookmarkList.back() == b) FBookmarkList.erase(FBookmarkList.begin());
            done = true;
          } else {
            ds->SetBookmark(a);
            ds->Next();
            if (FBookmarkList.front() == ds->Bookmark() && FBookmarkList.back() == b) {
              if (selectable()) FBookmarkList.insert(FBookmarkList.begin(), a);
              done = true;
            }
          }
        }
      }
      if (!done) {
        if (!KeepSelection) FBookmarkList.clear();
        // Merging with the entries kept: positions of A and B among them.
        int from = 0, to = 0;
        bool merge = !FBookmarkList.empty();
        if (merge) {
          FindBookmark(a, from);
          FindBookmark(b, to);
          if (from >= BookmarkCount()) merge = false;
        }
        ds->SetBookmark(a);
        while (!ds->Eof()) {
          const TBookmarkStr current = ds->Bookmark();
          if (selectable()) {
            if (merge) {
              int i = from;
              while (i <= to && i < BookmarkCount() && p->CompareBookmarks(FBookmarkList[static_cast<std::size_t>(i)], current) < 0)
                ++i;
              if (i < BookmarkCount() && p->CompareBookmarks(FBookmarkList[static_cast<std::size_t>(i)], current) == 0) {
                from = i + 1;
              } else {
                AddBookmark(i, current);
                from = i + 1;
                ++to;
              }
            } else {
              int at = BookmarkCount();
              if (!FBookmarkList.empty()) FindBookmark(current, at);
              if (at >= BookmarkCount() || FBookmarkList[static_cast<std::size_t>(at)] != current) AddBookmark(at, current);
            }
          }
          if (p->CompareBookmarks(current, b) == 0) break;
          ds->Next();
        }
      }
    } catch (...) {
      FBookmarkList.clear();
      SyncCount();
      throw;
    }
  }
  Finish();
}

// ---------------------------------------------------------------------------
// The controller's selection interface in grid mode

TClass TuxDBDataController::GetDataSelectionClass() { return TuxDBDataSelection::StaticClass(); }

TuxDBDataSelection* TuxDBDataController::DBSelection() const {
  return dynamic_cast<TuxDBDataSelection*>(DataControllerInfo()->Selection());
}

TBookmarkStr TuxDBDataController::GetSelectedBookmark(int Index) {
  if (!IsGridMode()) uxDataControllerError(uxSNotGridMode);
  if (IsSingleSelection()) {
    const int row = GetFocusedRowIndex();
    return row == -1 ? TBookmarkStr() : DBSelection()->RowBookmark(row);
  }
  return DBSelection()->Bookmark(Index);
}

TBookmarkStr TuxDBDataController::GetSelectionAnchorBookmark() {
  if (!IsGridMode()) uxDataControllerError(uxSNotGridMode);
  return DBSelection()->AnchorBookmark();
}

void TuxDBDataController::GetRecordIdValue(int RecordIndex, Variant& Value) {
  if (IsGridMode() && RecordIndex >= 0) {
    Value = Variant(DBProvider()->BufferBookmark(RecordIndex));
    return;
  }
  TuxCustomDataController::GetRecordIdValue(RecordIndex, Value);
}

int TuxDBDataController::GetSelectedRowIndex(int Index) {
  if (!IsGridMode() || IsSingleSelection()) return TuxCustomDataController::GetSelectedRowIndex(Index);
  TuxDBDataSelection* selection = DBSelection();
  if (Index < 0 || Index >= selection->BookmarkCount()) return -1;
  const TBookmarkStr& b = selection->Bookmark(Index);
  const int rows = GetRowCount();
  if (rows == 0) return -1;
  TuxDBDataProvider* p = DBProvider();
  if (p->CompareBookmarks(b, selection->RowBookmark(0)) < 0 ||
      p->CompareBookmarks(b, selection->RowBookmark(rows - 1)) > 0)
    return -1;
  for (int row = 0; row < rows; ++row)
    if (p->CompareBookmarks(selection->RowBookmark(row), b) == 0) return row;
  return -1;
}

int TuxDBDataController::GetSelectionAnchorRowIndex() {
  return IsGridMode() ? -1 : TuxCustomDataController::GetSelectionAnchorRowIndex();
}

bool TuxDBDataController::IsSelectionAnchorExist() {
  if (!IsGridMode()) return TuxCustomDataController::IsSelectionAnchorExist();
  return !DBSelection()->AnchorBookmark().empty();
}

void TuxDBDataController::SelectAll() {
  if (!IsGridMode()) {
    TuxCustomDataController::SelectAll();
    return;
  }
  DBSelection()->SelectAllBookmarks();
}

void TuxDBDataController::SelectFromAnchor(int RowIndex, bool KeepSelection) {
  if (!IsGridMode()) {
    TuxCustomDataController::SelectFromAnchor(RowIndex, KeepSelection);
    return;
  }
  CheckRowIndex(RowIndex);
  if (IsSelectionAnchorExist()) DBSelection()->SelectRange(DBSelection()->RowBookmark(RowIndex), KeepSelection);
}

void TuxDBDataController::SetSelectionAnchor(int RowIndex) {
  if (!IsGridMode()) {
    TuxCustomDataController::SetSelectionAnchor(RowIndex);
    return;
  }
  CheckRowIndex(RowIndex);
  DBSelection()->SetAnchorBookmark(DBSelection()->RowBookmark(RowIndex));
}

bool TuxDBDataController::FocusSelectedRow(int Index) {
  if (!IsGridMode()) return TuxCustomDataController::FocusSelectedRow(Index);
  TDataSet* ds = GetDataSet();
  if (!ds) return false;
  ds->SetBookmark(GetSelectedBookmark(Index));
  return true;
}

void TuxDBDataController::ForEachRow(bool SelectedOnly, TuxDataControllerEachRowProc Proc) {
  TDataSet* ds = GetDataSet();
  if (!IsGridMode() || !ds) {
    TuxCustomDataController::ForEachRow(SelectedOnly, Proc);
    return;
  }
  auto call = [this, &Proc] {
    const int row = GetFocusedRowIndex();
    Proc(row, row == -1 ? TuxRowInfo() : GetRowInfo(row));
  };
  if (SelectedOnly && IsSingleSelection()) {
    call();
  } else if (SelectedOnly) {
    TuxDBDataSelection* selection = DBSelection();
    const std::vector<TBookmarkStr> bookmarks = [selection] {
      std::vector<TBookmarkStr> r;
      for (int i = 0; i < selection->BookmarkCount(); ++i) r.push_back(selection->Bookmark(i));
      return r;
    }();
    for (const TBookmarkStr& b : bookmarks) {
      ds->SetBookmark(b);
      call();
    }
  } else {
    ds->First();
    while (!ds->Eof()) {
      call();
      ds->Next();
    }
  }
}
