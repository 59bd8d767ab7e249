#include "editor/txteditkbdhandler.h"

void TMethodList::Remove(const TMethod& M) {
  for (int i = int(FItems.size()) - 1; i >= 0; --i)
    if (FItems[i] == M) {
      FItems.erase(FItems.begin() + i);
      return;
    }
}

namespace {

struct RunFlag {
  bool& f;
  explicit RunFlag(bool& flag) : f(flag) { f = true; }
  ~RunFlag() { f = false; }
};

// A copy of the list, so that handlers may hook and unhook while it runs.
std::vector<TMethod> Snapshot(const TMethodList& L) {
  std::vector<TMethod> v;
  for (int i = L.Count() - 1; i >= 0; --i) v.push_back(L.Items(i));
  return v;
}

void RunKeys(const TMethodList& L, bool& running, TObject* Sender, Word& Key, TShiftState Shift) {
  if (running) return;
  RunFlag guard(running);
  for (const TMethod& m : Snapshot(L)) {
    if (Key == 0) break;
    TKeyEvent::FromMethod(m)(Sender, Key, Shift);
  }
}

void RunMouse(const TMethodList& L, bool& running, TObject* Sender, TMouseButton Button, TShiftState Shift,
              int X, int Y) {
  if (running) return;
  RunFlag guard(running);
  for (const TMethod& m : Snapshot(L)) TMouseEvent::FromMethod(m)(Sender, Button, Shift, X, Y);
}

}  // namespace

void TTxtEditKbdHandler::RunKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  RunKeys(FKeyDown, FRunningKeyDown, Sender, Key, Shift);
}

void TTxtEditKbdHandler::RunKeyUp(TObject* Sender, Word& Key, TShiftState Shift) {
  RunKeys(FKeyUp, FRunningKeyUp, Sender, Key, Shift);
}

void TTxtEditKbdHandler::RunKeyPress(TObject* Sender, char& Key) {
  if (FRunningKeyPress) return;
  RunFlag guard(FRunningKeyPress);
  for (const TMethod& m : Snapshot(FKeyPress)) {
    if (Key == 0) break;
    TKeyPressEvent::FromMethod(m)(Sender, Key);
  }
}

void TTxtEditKbdHandler::RunMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  RunMouse(FMouseDown, FRunningMouseDown, Sender, Button, Shift, X, Y);
}

void TTxtEditKbdHandler::RunMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  RunMouse(FMouseUp, FRunningMouseUp, Sender, Button, Shift, X, Y);
}

void TTxtEditKbdHandler::RunMouseCursor(TObject* Sender, const TBufferCoord& aLineCharPos, int& aCursor) {
  if (FRunningMouseCursor) return;
  RunFlag guard(FRunningMouseCursor);
  for (const TMethod& m : Snapshot(FMouseCursor)) TTxtMouseCursorEvent::FromMethod(m)(Sender, aLineCharPos, aCursor);
}
