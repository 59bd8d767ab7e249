// The undo and redo stacks of an editor: change records tied into steps by
// step numbers, with a save point that tells whether the text was modified.
#pragma once
#include <memory>
#include <vector>

#include "editor/txtedittypes.h"
#include "platform/classes/events.h"
#include "platform/rtl/object.h"

enum TTxtUndoReason : Byte {
  urInsert = 0, urPaste = 1, urDragDropInsert = 2, urReverseDelete = 3, urDelete = 4,
  urLineBreak = 5, urIndent = 6, urUnindent = 7, urCharDeleteBefore = 8, urCharDeleteAfter = 9,
  urAutoCompleteBegin = 10, urAutoCompleteEnd = 11, urPasteBegin = 12, urPasteEnd = 13,
  urCaret = 18, urSelection = 19, urNone = 20, urGroupBreak = 21
};

class TTxtEditUndoItem : public TPersistent {
  PV_CLASS(TTxtEditUndoItem, TPersistent)
 public:
  void Assign(TPersistent* Source) override;

  TTxtUndoReason Reason = urNone;
  TTxtSelectionMode SelectionMode = smNormal;
  TBufferCoord StartPos;
  TBufferCoord EndPos;
  AnsiString Text;
  int StepNumber = 0;
};

class TTxtEditUndoList : public TPersistent {
  PV_CLASS(TTxtEditUndoList, TPersistent)
 public:
  TTxtEditUndoList() = default;
  ~TTxtEditUndoList() override;

  void Assign(TPersistent* Source) override;

  void RecordChange(TTxtUndoReason Reason, const TBufferCoord& StartPos, const TBufferCoord& EndPos,
                    const AnsiString& Text, TTxtSelectionMode SelectionMode);
  // Takes ownership of Item.
  void Push(TTxtEditUndoItem* Item);
  // Removes and returns the newest item; the caller owns it. nullptr when empty.
  TTxtEditUndoItem* Pop();
  TTxtEditUndoItem* Top() const { return FItems.empty() ? nullptr : FItems.back(); }
  TTxtUndoReason TopReason() const { return FItems.empty() ? urNone : FItems.back()->Reason; }
  bool HasItems() const { return !FItems.empty(); }
  int Count() const { return int(FItems.size()); }
  TTxtEditUndoItem* Items(int Index) const { return FItems.at(Index); }

  void PushGroupBreak();
  void OpenGroup();
  void CloseGroup();
  void Suspend() { ++FSuspendDepth; }
  void Resume() {
    if (FSuspendDepth > 0) --FSuspendDepth;
  }
  void Clear();

  // At most N records are kept, dropping whole steps from the oldest; the
  // newest step is kept whole whatever its size (0: nothing is kept).
  int MaxItems() const { return FMaxItems; }
  void SetMaxItems(int N);
  void SetSavePoint(bool Saved);
  bool AtSavePoint() const;

  int GroupStepNumber = 0;
  int GroupDepth() const { return FGroupDepth; }
  int SuspendDepth() const { return FSuspendDepth; }
  int NextStepNumber() const { return FNextStepNumber; }
  int SavedStepNumber() const { return FSavedStepNumber; }
  bool RedoRunning = false;
  TNotifyEvent OnItemAdded;

 private:
  void AdvanceStep();
  void Trim();

  int FGroupDepth = 0;
  std::vector<TTxtEditUndoItem*> FItems;
  int FSuspendDepth = 0;
  int FMaxItems = 1024;
  int FNextStepNumber = 1;
  int FSavedStepNumber = 0;
};
