// Helpers shared by the units of the data-aware tree.
#pragma once

#include "platform/db/db.h"

namespace kxdbtree {

// Raised while a parent-field edit is posted by any data-aware tree.
extern bool gParentEditBusy;

bool IsNullKey(const Variant& V);
// Keys compare in the variant total order: values of types that cannot be
// compared are different.
bool SameKey(const Variant& A, const Variant& B);

// Disables a dataset's controls unless they already are, and enables them
// again (Restore, or at the end of the scope).
class ControlsOff {
 public:
  explicit ControlsOff(TDataSet* DataSet);
  ~ControlsOff();
  ControlsOff(const ControlsOff&) = delete;
  ControlsOff& operator=(const ControlsOff&) = delete;
  void Restore();

 private:
  TDataSet* FDataSet;
  bool FDid;
};

// Keeps the current record and returns to it (Restore, or at the end of the
// scope).
class RecordKeeper {
 public:
  explicit RecordKeeper(TDataSet* DataSet);
  ~RecordKeeper();
  RecordKeeper(const RecordKeeper&) = delete;
  RecordKeeper& operator=(const RecordKeeper&) = delete;
  void Restore();

 private:
  TDataSet* FDataSet;
  TBookmark FBookmark;
};

}  // namespace kxdbtree
