#include "editors/uxinnerlistbox.h"

#include "platform/rtl/strings.h"
#include "platform/win/messages.h"
#include "platform/win/winuser.h"

TuxCustomInnerListBox::TuxCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {}

void TuxCustomInnerListBox::KeyPress(char& Key) {
  if (Key == '\t' || Key == '\r') {
    Key = 0;
    return;
  }
  TListBox::KeyPress(Key);
  if (Key != 0) IncrementalSearch(Key);
}

void TuxCustomInnerListBox::IncrementalSearch(char& Key) {
  if (!FAutoComplete) return;
  const DWORD Now = GetTickCount();
  if (Now - FPrevKeyTime >= FAutoCompleteDelay) FSearchText.clear();
  FPrevKeyTime = Now;
  bool Changed = false;
  if (Key == char(VK_BACK)) {
    if (!FSearchText.empty()) {
      FSearchText.erase(CharPrev(FSearchText, FSearchText.size()));
      Changed = true;
    }
  } else if (IsDBCSLeadByte(Key)) {
    // The trail byte is the next character message in the queue.
    MSG M;
    if (HandleAllocated() && PeekMessageA(&M, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
      FSearchText += Key;
      FSearchText += char(M.wParam);
      Changed = true;
    }
    Key = 0;
  } else if (static_cast<unsigned char>(Key) >= ' ') {
    FSearchText += Key;
    Changed = true;
  }
  if (Changed && HandleAllocated()) {
    if (FSearchText.empty()) {
      SetItemIndex(0);
      Click();
    } else {
      const int Index = int(SendMessageA(Handle(), LB_FINDSTRING, WPARAM(-1),
                                         reinterpret_cast<LPARAM>(FSearchText.c_str())));
      if (Index >= 0) {
        if (MultiSelect()) {
          SendMessageA(Handle(), LB_SELITEMRANGE, FALSE, MAKELPARAM(0, Count() > 0 ? Count() - 1 : 0));
          SendMessageA(Handle(), LB_SELITEMRANGE, TRUE, MAKELPARAM(Index, Index));
        }
        SetItemIndex(Index);
        Click();
      }
    }
  }
  if (!FSearchText.empty() && Key != char(VK_BACK) && Key != char(VK_RETURN) && Key != char(VK_ESCAPE)) Key = 0;
}
