#include "inplace/kxmemo.h"

#include <vector>

#include "platform/rtl/strings.h"

KX_EDIT_CLASS_IMPL(TkxInplaceMemoEdit)

// ---- TkxMemoStrings ----

HWND TkxMemoStrings::Wnd() const { return Editor->Handle(); }

int TkxMemoStrings::LineStart(int Index) const {
  if (Index < 0) return -1;
  return int(Send(EM_LINEINDEX, WPARAM(Index), 0));
}

int TkxMemoStrings::GetCount() const {
  if (!Editor->HandleAllocated()) return 0;
  int n = int(Send(EM_GETLINECOUNT, 0, 0));
  if (n <= 0) return 0;
  const int last = LineStart(n - 1);
  if (last < 0 || Send(EM_LINELENGTH, WPARAM(last), 0) == 0 || last >= Editor->GetTextLength()) --n;
  return n;
}

AnsiString TkxMemoStrings::Get(int Index) const {
  const int start = LineStart(Index);
  if (start < 0) return AnsiString();
  // The whole line, however long.
  const int len = int(Send(EM_LINELENGTH, WPARAM(start), 0));
  AnsiString s;
  if (len < 0xFFFF) {
    std::vector<char> buf(std::size_t(std::max(len + 1, 2)), 0);
    const WORD size = WORD(buf.size());
    std::memcpy(buf.data(), &size, sizeof size);
    const int got = int(Send(EM_GETLINE, WPARAM(Index), reinterpret_cast<LPARAM>(buf.data())));
    s.assign(buf.data(), std::size_t(std::max(0, std::min(got, len + 1))));
  } else {
    s = Editor->Text().substr(std::size_t(start), std::size_t(len));
  }
  if (!s.empty() && s.back() == '\r') s.pop_back();
  return s;
}

void TkxMemoStrings::Replace(int Start, int Stop, const AnsiString& S) {
  CHARRANGE cr;
  cr.cpMin = Start;
  cr.cpMax = Stop;
  Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
}

void TkxMemoStrings::Put(int Index, const AnsiString& S) {
  const int start = LineStart(Index);
  if (start < 0) return;
  Replace(start, start + int(Send(EM_LINELENGTH, WPARAM(start), 0)), S);
}

void TkxMemoStrings::Insert(int Index, const AnsiString& S) {
  if (Index < 0) return;
  const int start = LineStart(Index);
  if (start >= 0) {
    Replace(start, start, S + "\r\n");
    return;
  }
  // After the last line, unless it is empty.
  const int prev = LineStart(Index - 1);
  if (prev < 0) return;
  const int len = int(Send(EM_LINELENGTH, WPARAM(prev), 0));
  if (len == 0) return;
  Replace(prev + len, prev + len, "\r\n" + S);
}

void TkxMemoStrings::Delete(int Index) {
  const int start = LineStart(Index);
  if (start < 0) return;
  const int next = LineStart(Index + 1);
  Replace(start, next >= 0 ? next : start + int(Send(EM_LINELENGTH, WPARAM(start), 0)), AnsiString());
}

void TkxMemoStrings::Clear() { Editor->SetText(AnsiString()); }

AnsiString TkxMemoStrings::GetText() const { return Editor->Text(); }

void TkxMemoStrings::SetUpdateState(bool Updating) {
  if (!Editor->HandleAllocated() || !Editor->Showing()) return;
  Send(WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
  if (!Updating) {
    Editor->Refresh();
    Editor->Perform(CM_TEXTCHANGED, 0, 0);
  }
}

void TkxMemoStrings::SetChangeNotify(bool Enabled) {
  LRESULT mask = Send(EM_GETEVENTMASK, 0, 0);
  mask = Enabled ? (mask | ENM_CHANGE) : (mask & ~LRESULT(ENM_CHANGE));
  Send(EM_SETEVENTMASK, 0, mask);
}

void TkxMemoStrings::SetText(const AnsiString& Value) {
  const AnsiString text = AdjustLineBreaks(Value);
  SetChangeNotify(false);
  struct Restore {
    TkxMemoStrings* S;
    ~Restore() { S->SetChangeNotify(true); }
  } restore{this};
  const AnsiString old = Editor->Text();
  if (old.size() == text.size() && old == text) return;
  if (!Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
    throw EInvalidOperation("Text exceeds memo capacity");
  Editor->Perform(CM_TEXTCHANGED, 0, 0);
}

// ---- TkxInplaceMemoEdit ----

TkxInplaceMemoEdit::TkxInplaceMemoEdit(TComponent* AOwner) : TkxInplaceTextEdit(AOwner) {
  FTextLines = new TkxMemoStrings(this);
  SetBounds(Left(), Top(), 185, 89);
  FAutoSize = false;
  FSelectionBar = true;
}

TkxInplaceMemoEdit::~TkxInplaceMemoEdit() {
  delete FTextLines;
  FTextLines = nullptr;
}

void TkxInplaceMemoEdit::Loaded() {
  TkxInplaceTextEdit::Loaded();
  SetModified(false);
}

void TkxInplaceMemoEdit::CreateParams(TCreateParams& Params) {
  TkxInplaceTextEdit::CreateParams(Params);
  if (FWordWrap) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (!FHideScrollBars) Params.Style |= ES_DISABLENOSCROLL;
  Params.Style |= ES_MULTILINE;
}

void TkxInplaceMemoEdit::SetHideScrollBars(bool Value) {
  if (FHideScrollBars == Value) return;
  FHideScrollBars = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplaceMemoEdit::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplaceMemoEdit::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  if (HandleAllocated()) RecreateWnd();
}

TkxEditViewData* TkxInplaceMemoEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceTextEdit::CreateViewData(FromData);
  vd->DrawAlignment = kxdaMultiLine;
  return vd;
}

void TkxInplaceMemoEdit::SelectAll() {
  TkxInplaceTextEdit::SelectAll();
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), EM_LINESCROLL, 0, LPARAM(-268435455));
  SendMessageA(Handle(), EM_SCROLL, SB_LINEUP, 0);
}

bool TkxInplaceMemoEdit::AllSelected() {
  if (!HandleAllocated()) return false;
  return GetSelLength() == GetTextLength();
}

void TkxInplaceMemoEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomkxContainer* c = Container();
  // Keys that stay in the text: the host's key hook sees them, the window acts on them.
  auto hookOnly = [&] {
    if (c) c->DoEditKeyDown(Key, Shift);
    if (Key) TWinControl::KeyDown(Key, Shift);
  };
  switch (Key) {
    case VK_RETURN:
      if (IsEditable() && !Shift.Contains(ssCtrl)) {
        if (CanModify()) SendMessageA(Handle(), WM_CHAR, 13, 0);
        Key = 0;
        return;
      }
      break;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
      if (!(AllSelected() && Shift.Empty())) {
        hookOnly();
        return;
      }
      break;
    case VK_TAB:
      if (WantTabs) {
        hookOnly();
        return;
      }
      break;
    default: break;
  }
  TkxInplaceTextEdit::KeyDown(Key, Shift);
}

void TkxInplaceMemoEdit::WMGetDlgCode2(TMessage& Message) {
  TkxInplaceTextEdit::Dispatch(Message);
  if (WantTabs) Message.Result |= DLGC_WANTTAB;
  if (!WantReturns) Message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

void TkxInplaceMemoEdit::WMKeyDown2(TWMKey& Message) {
  if (!WantReturns && Message.CharCode() == VK_RETURN && !TkxInplaceEditClass::IsCtrlPressed()) {
    // The host acts on the key; the line break it would type is dropped.
    kxRemovePendingChar(Handle());
    if (HWND parent = GetParent(Handle())) SendMessageA(parent, WM_KEYDOWN, Message.WParam, Message.LParam);
    return;
  }
  TkxInplaceTextEdit::Dispatch(Message);
}

void TkxInplaceMemoEdit::WMSetText2(TMessage& Message) {
  if (HandleAllocated() && !FClearingText) {
    // Emptied first, so the new text starts a fresh window state.
    FClearingText = true;
    static const char empty[] = "";
    TMessage clear{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(empty), 0};
    try {
      TkxInplaceTextEdit::Dispatch(clear);
    } catch (...) {
      FClearingText = false;
      throw;
    }
    FClearingText = false;
  }
  TkxInplaceTextEdit::Dispatch(Message);
}

void kxInitMemoEdit() { RegisterClasses({TkxInplaceMemoEdit::StaticClass()}); }
