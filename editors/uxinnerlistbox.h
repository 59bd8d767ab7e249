// The list box that the editors' list containers host as their inner
// control. This part holds what the list box does on its own: incremental
// search while typing (double-byte characters taken whole). Forwarding keys,
// mouse, focus and dragging to the hosting container comes with the container.
#pragma once

#include "platform/controls/stdctrls.h"

class TuxCustomInnerListBox : public TListBox {
  PV_CLASS(TuxCustomInnerListBox, TListBox)
 public:
  explicit TuxCustomInnerListBox(TComponent* AOwner);

  // Milliseconds after which a key press starts a new search text.
  unsigned AutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(unsigned Value) { FAutoCompleteDelay = Value; }
  // Whether typing searches the items (the platform list box has no such
  // property of its own).
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  const AnsiString& SearchText() const { return FSearchText; }

 protected:
  // Adds Key to the search text and selects the first item that starts with
  // it; consumes the key while a search text stands.
  virtual void IncrementalSearch(char& Key);
  void KeyPress(char& Key) override;

 private:
  unsigned FAutoCompleteDelay = 500;
  bool FAutoComplete = true;
  AnsiString FSearchText;
  DWORD FPrevKeyTime = 0;
};
