// Chains of key and mouse handlers that plug-ins hook into an editor so that
// they see its input before the editor acts on it.
#pragma once
#include <vector>

#include "editor/txtedittypes.h"
#include "platform/classes/events.h"

using TTxtMouseCursorEvent = TEvent<void(TObject* Sender, const TBufferCoord& aLineCharPos, int& aCursor)>;

// Handlers kept as (object, code) pairs; equal pairs are the same handler.
class TMethodList {
 public:
  void Add(const TMethod& M) { FItems.push_back(M); }
  // Removes the newest entry equal to M; nothing when absent.
  void Remove(const TMethod& M);
  int Count() const { return int(FItems.size()); }
  const TMethod& Items(int Index) const { return FItems.at(Index); }

 private:
  std::vector<TMethod> FItems;
};

class TTxtEditKbdHandler {
 public:
  void HookKeyDown(const TKeyEvent& H) { FKeyDown.Add(H.ToMethod()); }
  void UnhookKeyDown(const TKeyEvent& H) { FKeyDown.Remove(H.ToMethod()); }
  void HookKeyPress(const TKeyPressEvent& H) { FKeyPress.Add(H.ToMethod()); }
  void UnhookKeyPress(const TKeyPressEvent& H) { FKeyPress.Remove(H.ToMethod()); }
  void HookMouseDown(const TMouseEvent& H) { FMouseDown.Add(H.ToMethod()); }
  void UnhookMouseDown(const TMouseEvent& H) { FMouseDown.Remove(H.ToMethod()); }

  // Newest handler first; stops when a handler sets Key to 0. A chain that is
  // already running is not entered again.
  void RunKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void RunKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void RunKeyPress(TObject* Sender, char& Key);
  // Every handler, newest first.
  void RunMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void RunMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void RunMouseCursor(TObject* Sender, const TBufferCoord& aLineCharPos, int& aCursor);

  const TMethodList& KeyDownHandlers() const { return FKeyDown; }
  const TMethodList& KeyPressHandlers() const { return FKeyPress; }
  const TMethodList& MouseDownHandlers() const { return FMouseDown; }

 private:
  TMethodList FKeyDown, FKeyUp, FKeyPress, FMouseDown, FMouseUp, FMouseCursor;
  bool FRunningKeyDown = false, FRunningKeyUp = false, FRunningKeyPress = false;
  bool FRunningMouseDown = false, FRunningMouseUp = false, FRunningMouseCursor = false;
};
