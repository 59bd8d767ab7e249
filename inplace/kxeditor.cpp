#include "inplace/kxeditor.h"

#include <climits>

#include "platform/controls/stdwnd.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
// The context menu: caption id, tag; 0 for a separator.
struct TMenuEntry {
  int Caption;
  int Tag;
};
constexpr TMenuEntry kMenuEntries[] = {{38952, kxmcUndo}, {38953, kxmcRedo}, {0, 0},
                                       {38914, kxmcCut},  {38915, kxmcCopy}, {38916, kxmcPaste},
                                       {38917, kxmcDelete}, {0, 0},          {38954, kxmcSelectAll}};

AnsiString ApplyCase(const AnsiString& S, TEditCharCase Case) {
  switch (Case) {
    case TEditCharCase::ecUpperCase: return AnsiUpperCase(S);
    case TEditCharCase::ecLowerCase: return AnsiLowerCase(S);
    default: return S;
  }
}

int CountChars(const AnsiString& S) {
  int n = 0;
  for (std::size_t i = 0; i < S.size(); ++i, ++n)
    if (IsDBCSLeadByte(static_cast<unsigned char>(S[i])) && i + 1 < S.size()) ++i;
  return n;
}
}  // namespace

AnsiString kxCellDisplayText(const AnsiString& Text, TEditCharCase CharCase, char PasswordChar) {
  AnsiString s = ApplyCase(Text, CharCase);
  if (PasswordChar && !s.empty()) s = AnsiString(std::size_t(CountChars(s)), PasswordChar);
  return s;
}

KX_EDIT_CLASS_IMPL(TkxInplaceTextEdit)

bool TkxInplaceTextEdit::TClassRef::DrawClient(HDC DC, const TRect& R, bool OwnWindow, TkxEditViewData* VD) const {
  if (VD->IsTextEditing && OwnWindow) return false;
  auto* tvd = dynamic_cast<TkxTextEditViewData*>(VD);
  AnsiString text = VD->Value.IsNull() || VD->Value.IsEmpty() ? AnsiString() : VarToStr(VD->Value);
  if (VD->DataLength == 0) VD->DataLength = int(text.size());
  TEditCharCase cc = tvd ? tvd->CharCase : TEditCharCase::ecNormal;
  char pw = tvd ? tvd->PasswordChar : 0;
  text = kxCellDisplayText(text, cc, pw);
  TRect tr = R;
  if (tvd && tvd->SelectionBar) tr.left += 8;
  InflateRect(&tr, -1, -1);
  tr.left += VD->TextOffsets.left;
  tr.top += VD->TextOffsets.top;
  tr.right -= VD->TextOffsets.right;
  if (VD->Alignment == taRightJustify) tr.right -= 1;
  Word flags = VD->Alignment == taRightJustify ? kxctRight : VD->Alignment == taCenter ? kxctCenter : kxctLeft;
  switch (VD->DrawAlignment) {
    case kxdaCenter: flags |= kxctVCenter; break;
    case kxdaBottom: flags |= kxctBottom; break;
    case kxdaMultiLine: flags |= kxctMultiLine; break;
    default: break;
  }
  if (tvd && tvd->EndEllipsis) flags |= kxctEndEllipsis;
  if (VD->Transparent) flags |= kxctTransparent;
  int lineHeight = 0;
  if (VD->CalcHeight) {
    int h = kxPaintCellText(DC, text, -1, lineHeight, VD->TextColor, VD->BkColor, VD->Font, VD->Brush,
                            Word(flags | kxctMeasure), tr, R);
    VD->LineHeight = lineHeight;
    VD->TextHeight = h ? h - VD->TextOffsets.top - 2 : 0;
    VD->LineCount = lineHeight ? VD->TextHeight / lineHeight : 0;
    return true;
  }
  kxPaintCellText(DC, text, -1, lineHeight, VD->TextColor, VD->BkColor, VD->Font, VD->Brush, flags, tr, R);
  return true;
}

TkxInplaceTextEdit::TkxInplaceTextEdit(TComponent* AOwner) : TkxInplaceEdit(AOwner) {
  FControlStyle << csClickEvents << csSetCaption << csDoubleClicks;
  FParentColor = false;
}

TkxInplaceTextEdit::~TkxInplaceTextEdit() {
  delete FContextMenu;
  FContextMenu = nullptr;
}

void TkxInplaceTextEdit::Loaded() {
  TkxInplaceEdit::Loaded();
  UpdateCharCase();
}

void TkxInplaceTextEdit::CreateParams(TCreateParams& Params) {
  TkxInplaceEdit::CreateParams(Params);
  if (!IsTextEditing()) return;
  CreateSubClass(Params, "RichEdit20A");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (!IsEditable()) Params.Style |= ES_READONLY;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FCharCase == TEditCharCase::ecUpperCase) Params.Style |= ES_UPPERCASE;
  else if (FCharCase == TEditCharCase::ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
  if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
  else if (FAlignment == taCenter) Params.Style |= ES_CENTER;
}

void TkxInplaceTextEdit::CreateWnd() {
  if (!IsTextEditing()) {
    TkxInplaceEdit::CreateWnd();
    return;
  }
  FCreating = true;
  try {
    AnsiString text = FText;
    TkxInplaceEdit::CreateWnd();
    SendMessageA(Handle(), WM_SETTEXT, 0, 0);
    SendMessageA(Handle(), EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  // The selection bar is the window's option (its style bit would maximise the window).
  if (FSelectionBar) SendMessageA(Handle(), EM_SETOPTIONS, ECOOP_OR, LPARAM(ECO_SELECTIONBAR));
  SetEditLimit(FMaxLength);
  SendMessageA(Handle(), EM_SETEVENTMASK, 0, LPARAM(ENM_CHANGE | ENM_SELCHANGE));
  Perform(CM_COLORCHANGED, 0, 0);
  if (FPasswordChar) SendMessageA(Handle(), EM_SETPASSWORDCHAR, WPARAM(BYTE(FPasswordChar)), 0);
  if (NeedsOleCallback()) SendMessageA(Handle(), EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(this));
  SetModified(FModified);
}

void TkxInplaceTextEdit::DestroyWnd() {
  FModified = GetModified();
  TkxInplaceEdit::DestroyWnd();
}

void TkxInplaceTextEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  UpdateCharCase();
}

void TkxInplaceTextEdit::SetMaxLength(int Value) {
  FStoredValues << svMaxLength;
  DoSetMaxLength(Value);
}

void TkxInplaceTextEdit::DoSetMaxLength(int Value) {
  if (Value < 0) Value = 0;
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  SetEditLimit(Value);
}

void TkxInplaceTextEdit::SetEditLimit(int Limit) {
  if (HandleAllocated() && IsTextEditing()) SendMessageA(Handle(), EM_EXLIMITTEXT, 0, LPARAM(Limit));
}

void TkxInplaceTextEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (HandleAllocated() && IsTextEditing()) {
    SendMessageA(Handle(), EM_SETPASSWORDCHAR, WPARAM(BYTE(Value)), 0);
    SetTextAssigning(Text());
  }
}

void TkxInplaceTextEdit::SetSelectionBar(bool Value) {
  if (FSelectionBar == Value) return;
  FSelectionBar = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TkxInplaceTextEdit::SetTextAssigning(const AnsiString& Value) {
  bool old = FAssigningText;
  FAssigningText = true;
  try {
    if (HandleAllocated()) SetWindowTextA(Handle(), Value.c_str());
    else SetText(Value);
  } catch (...) {
    FAssigningText = old;
    throw;
  }
  FAssigningText = old;
}

void TkxInplaceTextEdit::ClearUndo() {
  if (HandleAllocated() && IsTextEditing()) SendMessageA(Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TkxInplaceTextEdit::ClearText() { SetText(""); }
void TkxInplaceTextEdit::DeleteSelection() { SendMessageA(Handle(), WM_CLEAR, 0, 0); }
void TkxInplaceTextEdit::CopySelection() { SendMessageA(Handle(), WM_COPY, 0, 0); }
void TkxInplaceTextEdit::CutSelection() { SendMessageA(Handle(), WM_CUT, 0, 0); }
void TkxInplaceTextEdit::PasteText() { SendMessageA(Handle(), WM_PASTE, 0, 0); }
void TkxInplaceTextEdit::Undo() { SendMessageA(Handle(), EM_UNDO, 0, 0); }
void TkxInplaceTextEdit::Redo() { SendMessageA(Handle(), EM_REDO, 0, 0); }
bool TkxInplaceTextEdit::CanUndo() { return HandleAllocated() && SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0; }
bool TkxInplaceTextEdit::CanRedo() { return HandleAllocated() && SendMessageA(Handle(), EM_CANREDO, 0, 0) != 0; }

bool TkxInplaceTextEdit::CanPaste() {
  return HandleAllocated() && IsEditable() && SendMessageA(Handle(), EM_CANPASTE, 0, 0) != 0;
}

int TkxInplaceTextEdit::GetTextLength() {
  if (!HandleAllocated() || !IsTextEditing()) return int(Text().size());
  GETTEXTLENGTHEX gl;
  gl.flags = GTL_DEFAULT;
  gl.codepage = 0;
  return int(SendMessageA(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0));
}

int TkxInplaceTextEdit::GetSelStart() {
  if (!HandleAllocated() || !IsTextEditing()) return 0;
  CHARRANGE cr;
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  return cr.cpMin;
}

int TkxInplaceTextEdit::GetSelLength() {
  if (!HandleAllocated() || !IsTextEditing()) return 0;
  CHARRANGE cr;
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  return cr.cpMax - cr.cpMin;
}

void TkxInplaceTextEdit::SetSelStart(int Value) {
  CHARRANGE cr;
  cr.cpMin = Value;
  cr.cpMax = Value;
  SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

void TkxInplaceTextEdit::SetSelLength(int Value) {
  CHARRANGE cr;
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  cr.cpMax = cr.cpMin + Value;
  SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

void TkxInplaceTextEdit::GetSelText(AnsiString& Text) {
  Text.clear();
  if (!HandleAllocated() || !IsTextEditing()) return;
  int n = GetSelLength();
  if (n <= 0) return;
  std::string buf(std::size_t(n) + 1, '\0');
  int got = int(SendMessageA(Handle(), EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf.data())));
  buf.resize(std::size_t(std::max(0, got)));
  Text = buf;
}

int TkxInplaceTextEdit::GetSelTextBuf(char* Buffer, int BufSize) {
  AnsiString s;
  GetSelText(s);
  int n = std::min(BufSize, int(s.size()));
  if (n < 0) n = 0;
  if (Buffer) {
    std::memcpy(Buffer, s.data(), std::size_t(n));
    Buffer[n] = 0;
  }
  return n;
}

void TkxInplaceTextEdit::SelectionChange() {
  if (OnSelectionChange) OnSelectionChange(this);
}

void TkxInplaceTextEdit::SelectAll() {
  if (!HandleAllocated() || !IsTextEditing()) return;
  CHARRANGE cr;
  cr.cpMin = 0;
  cr.cpMax = -1;
  SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
}

void TkxInplaceTextEdit::MoveCaretToEnd() {
  if (HandleAllocated() && IsTextEditing()) SendMessageA(Handle(), EM_SETSEL, WPARAM(INT_MAX), LPARAM(-1));
}

bool TkxInplaceTextEdit::GetModified() {
  if (HandleAllocated() && IsTextEditing()) return SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TkxInplaceTextEdit::SetModified(bool Value) {
  if (HandleAllocated() && IsTextEditing()) SendMessageA(Handle(), EM_SETMODIFY, Value ? TRUE : FALSE, 0);
  else FModified = Value;
}

void TkxInplaceTextEdit::DoSetReadOnly(bool Value) {
  TkxInplaceEdit::DoSetReadOnly(Value);
  if (HandleAllocated() && IsTextEditing()) SendMessageA(Handle(), EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

void TkxInplaceTextEdit::RestoreDefaults() {
  TkxInplaceEdit::RestoreDefaults();
  DoSetMaxLength(GetDefaultMaxLength());
}

void TkxInplaceTextEdit::SetEditValue(const Variant& Value) {
  bool old = FAssigningText;
  FAssigningText = true;
  try {
    TkxInplaceEdit::SetEditValue(Value);
  } catch (...) {
    FAssigningText = old;
    throw;
  }
  FAssigningText = old;
  ClearUndo();
}

void TkxInplaceTextEdit::UpdateCharCase() {
  if (FCharCase == TEditCharCase::ecNormal) return;
  AnsiString text = Text();
  AnsiString converted = ApplyCase(text, FCharCase);
  if (converted == text) return;
  FCharCaseChanging = true;
  try {
    CHARRANGE sel;
    bool window = HandleAllocated() && IsTextEditing();
    if (window) SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    bool modified = GetModified();
    SetText(converted);
    SetModified(modified);
    if (window) SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  } catch (...) {
    FCharCaseChanging = false;
    throw;
  }
  FCharCaseChanging = false;
}

TkxEditViewData* TkxInplaceTextEdit::CreateViewData(bool FromData) {
  TkxEditViewData* vd = TkxInplaceEdit::CreateViewData(FromData);
  if (auto* t = dynamic_cast<TkxTextEditViewData*>(vd)) {
    t->CharCase = FCharCase;
    t->PasswordChar = FPasswordChar;
    t->SelectionBar = FSelectionBar;
  }
  return vd;
}

// ---- context menu ----

TPopupMenu* TkxInplaceTextEdit::ContextMenu() {
  if (!FContextMenu) {
    FContextMenu = new TPopupMenu(nullptr);
    for (const TMenuEntry& e : kMenuEntries) {
      auto* item = new TMenuItem(FContextMenu);
      item->SetCaption(e.Caption ? kxEditorString(e.Caption) : AnsiString(cLineCaption));
      item->SetTag(e.Tag);
      if (e.Caption) item->OnClick = TNotifyEvent(this, &TkxInplaceTextEdit::MenuItemClick);
      FContextMenu->Items()->Add(item);
    }
  }
  UpdateContextMenu();
  return FContextMenu;
}

void TkxInplaceTextEdit::UpdateContextMenu() {
  if (!FContextMenu) return;
  int selLen = GetSelLength();
  bool editable = IsEditable();
  for (int i = 0; i < FContextMenu->Items()->Count(); ++i) {
    TMenuItem* item = FContextMenu->Items()->Items(i);
    bool enabled = true;
    switch (int(item->Tag())) {
      case kxmcUndo: enabled = CanUndo(); break;
      case kxmcRedo: enabled = CanRedo(); break;
      case kxmcCut: enabled = selLen > 0 && editable && !FPasswordChar; break;
      case kxmcCopy: enabled = selLen > 0 && !FPasswordChar; break;
      case kxmcPaste: enabled = CanPaste(); break;
      case kxmcDelete: enabled = selLen > 0 && editable; break;
      case kxmcSelectAll: enabled = selLen != GetTextLength(); break;
      default: break;
    }
    item->SetEnabled(enabled);
  }
}

void TkxInplaceTextEdit::MenuItemClick(TObject* Sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) ContextMenuClick(int(item->Tag()));
}

void TkxInplaceTextEdit::ContextMenuClick(int Tag) {
  switch (Tag) {
    case kxmcUndo: Undo(); break;
    case kxmcRedo: Redo(); break;
    case kxmcCut: CutSelection(); break;
    case kxmcCopy: CopySelection(); break;
    case kxmcPaste: PasteText(); break;
    case kxmcDelete: DeleteSelection(); break;
    case kxmcSelectAll: SelectAll(); break;
    default: break;
  }
}

void TkxInplaceTextEdit::ShowContextMenu(TPoint P) { ContextMenu()->Popup(P.x, P.y); }

// ---- messages ----

void TkxInplaceTextEdit::WndProc(TMessage& Message) {
  TkxInplaceEdit::WndProc(Message);
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (HandleAllocated() && !Focused() && !ComponentState().Contains(csDesigning) && !Dragging()) {
        if (Message.Msg == WM_MBUTTONDOWN) PostMessageA(Handle(), WM_MBUTTONUP, 0, 0);
        if (GetCapture() == Handle()) ReleaseCapture();
      }
      break;
    default: break;
  }
}

void TkxInplaceTextEdit::DefaultHandler(TMessage& Message) {
  if (Message.Msg == WM_RBUTTONUP && IsTextEditing()) return;
  TkxInplaceEdit::DefaultHandler(Message);
}

void TkxInplaceTextEdit::WMChar(TWMKey& Message) {
  unsigned c = unsigned(Message.CharCode());
  if (FCharCase != TEditCharCase::ecNormal && c < 0x80) {
    AnsiString s = ApplyCase(AnsiString(1, char(c)), FCharCase);
    Message.SetCharCode(Word(static_cast<unsigned char>(s[0])));
  }
  TkxInplaceEdit::Dispatch(Message);
}

// A character from the input method becomes its lead and trail WM_CHARs, so
// that every typed character passes the editor's key handling.
void TkxInplaceTextEdit::WMImeChar(TMessage& Message) {
  if (HandleAllocated()) Message.Result = DefWindowProcA(Handle(), WM_IME_CHAR, Message.WParam, Message.LParam);
}

void TkxInplaceTextEdit::WMRButtonUp(TWMMouse& Message) {
  TkxInplaceEdit::Dispatch(Message);
  if (!HandleAllocated()) return;
  TPoint p = ClientToScreen(Message.Pos());
  PostMessageA(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), MakeLParam(p.x, p.y));
}

void TkxInplaceTextEdit::WMContextMenu(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  if (!IsTextEditing() || Message.Result != 0) return;
  for (TControl* c = this; c; c = c->Parent())
    if (c->PopupMenu()) return;
  TPoint p = kxPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (p.x == -1 && p.y == -1) {
    POINT caret;
    GetCaretPos(&caret);
    caret.x = std::min<LONG>(caret.x, ClientWidth());
    p = ClientToScreen(caret);
  } else {
    TPoint local = ScreenToClient(p);
    TRect cr = ClientRect();
    if (!PtInRect(&cr, local)) return;
  }
  ShowContextMenu(p);
  Message.Result = 1;
}

void TkxInplaceTextEdit::WMSetFont(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  if (!HandleAllocated() || !IsTextEditing()) return;
  CHARFORMATA cf;
  cf.cbSize = 84;
  cf.dwMask = CFM_COLOR;
  TColor c = Font()->Color();
  if (c == clWindowText || c == clDefault) cf.dwEffects = CFE_AUTOCOLOR;
  else cf.crTextColor = ColorToRGB(c);
  SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

void TkxInplaceTextEdit::WMSetText(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  SetEditLimit(FMaxLength);
}

void TkxInplaceTextEdit::WMSize(TWMSize& Message) {
  TkxInplaceEdit::Dispatch(Message);
  if (!HandleAllocated() || !IsTextEditing()) return;
  TRect r = ClientRect();
  InflateRect(&r, -1, -1);
  if (FSelectionBar) r.left += 8;
  if (FAlignment == taRightJustify) r.right -= 1;
  r.left += FTextMargins.left;
  r.top += FTextMargins.top;
  r.right -= FTextMargins.right;
  SendMessageA(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TkxInplaceTextEdit::CMColorChanged(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  if (HandleAllocated() && IsTextEditing()) SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, LPARAM(ColorToRGB(Color())));
}

void TkxInplaceTextEdit::CMSysColorChange(TMessage& Message) {
  TkxInplaceEdit::Dispatch(Message);
  Perform(CM_COLORCHANGED, 0, 0);
}

void TkxInplaceTextEdit::CMEnter(TMessage& Message) {
  if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
  TkxInplaceEdit::Dispatch(Message);
}

void TkxInplaceTextEdit::CMTextChanged(TMessage& Message) {
  bool loading = ComponentState().Contains(csLoading);
  if (IsTextEditing()) {
    TkxInplaceEdit::Dispatch(Message);
    if (!HandleAllocated() && !loading && !FCreating && !FAssigningText) Change();
    return;
  }
  if (!loading && !FCharCaseChanging) {
    UpdateCharCase();
    if (!FCreating && !FAssigningText) Change();
  }
  TkxInplaceEdit::Dispatch(Message);
}

void TkxInplaceTextEdit::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == EN_CHANGE && !ComponentState().Contains(csLoading) && !FCharCaseChanging) {
    UpdateCharCase();
    if (!FCreating && !FAssigningText) Change();
    return;
  }
  TkxInplaceEdit::Dispatch(Message);
}

void TkxInplaceTextEdit::CNNotify(TWMNotify& Message) {
  if (Message.NMHdr() && Message.NMHdr()->code == EN_SELCHANGE && !ComponentState().Contains(csLoading)) {
    SelectionChange();
    return;
  }
  TkxInplaceEdit::Dispatch(Message);
}

void kxInitTextEdit() {
  RegisterClasses({TkxInplaceTextEdit::StaticClass(), TkxTextEditViewData::StaticClass()});
}
