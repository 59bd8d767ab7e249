#include "inplace/kxmask.h"

#include <cctype>

#include "platform/controls/stdwnd.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"
#include "platform/win/system.h"

namespace {
bool LeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Whether byte I of S is part of a double-byte character.
bool InDoubleByte(const AnsiString& S, int I) {
  int i = 0;
  while (i < int(S.size())) {
    int w = LeadByte(static_cast<unsigned char>(S[i])) && i + 1 < int(S.size()) ? 2 : 1;
    if (I < i + w) return w == 2;
    i += w;
  }
  return false;
}

// Whether byte I of S is the second byte of a double-byte character.
bool IsTrailByte(const AnsiString& S, int I) {
  int i = 0;
  while (i < int(S.size())) {
    int w = LeadByte(static_cast<unsigned char>(S[i])) && i + 1 < int(S.size()) ? 2 : 1;
    if (I < i + w) return w == 2 && I == i + 1;
    i += w;
  }
  return false;
}

bool IsLeadAt(const AnsiString& S, int I) {
  return I >= 0 && I < int(S.size()) && LeadByte(static_cast<unsigned char>(S[I])) && !IsTrailByte(S, I) &&
         I + 1 < int(S.size());
}

bool SkipsPosition(TkxMaskCharKind K) {
  return K == mckDirective || K == mckFieldSeparator || K == mckField || K == mckNone;
}

bool IsInputKind(TkxMaskCharKind K) { return K == mckOptional || K == mckRequired; }

// The mask's first field (the pattern) ends where the fields begin.
int PatternLength(const AnsiString& Mask) {
  for (int i = 0; i < int(Mask.size()); ++i)
    if (kxMaskCharKind(Mask, i) == mckFieldSeparator) return i;
  return int(Mask.size());
}

// The character of field Field (1 save, 2 blank), 0 without it.
char FieldChar(const AnsiString& Mask, int Field) {
  int seen = 0;
  for (int i = 0; i < int(Mask.size()); ++i)
    if (kxMaskCharKind(Mask, i) == mckFieldSeparator) {
      ++seen;
      if (seen == Field) return i + 1 < int(Mask.size()) ? Mask[i + 1] : 0;
    }
  return 0;
}

AnsiString UpperChar(char C) { return AnsiUpperCase(AnsiString(1, C)); }
}  // namespace

TkxMaskCharKind kxMaskCharKind(const AnsiString& Mask, int Index) {
  const int len = int(Mask.size());
  if (Index < 0 || Index >= len) return mckNone;
  if (InDoubleByte(Mask, Index)) return mckLiteral;
  if (Index > 0 && Mask[Index - 1] == '\\' && !InDoubleByte(Mask, Index - 1) &&
      !(Index > 1 && Mask[Index - 2] == '\\' && !InDoubleByte(Mask, Index - 2)))
    return mckLiteral;
  const char c = Mask[Index];
  const bool tail = len >= 4 && Index >= len - 4;
  if (c == ';' && tail) return mckFieldSeparator;
  if (tail && Index > 0 && Mask[Index - 1] == ';' && kxMaskCharKind(Mask, Index - 1) == mckFieldSeparator)
    return mckField;
  switch (c) {
    case ':':
    case '/': return mckLocaleLiteral;
    case '!':
    case '>':
    case '<':
    case '\\': return mckDirective;
    case 'l':
    case 'a':
    case 'c':
    case '9':
    case '#': return mckOptional;
    case 'L':
    case 'A':
    case 'C':
    case '0': return mckRequired;
    default: return mckLiteral;
  }
}

TkxMaskDirectives kxMaskDirectivesAt(const AnsiString& Mask, int Index) {
  TkxMaskDirectives d;
  const int pattern = PatternLength(Mask);
  for (int i = 0; i < pattern; ++i)
    if (Mask[i] == '!' && kxMaskCharKind(Mask, i) == mckDirective) d.Reverse = true;
  for (int i = 0; i < Index && i < pattern; ++i) {
    if (kxMaskCharKind(Mask, i) != mckDirective) continue;
    if (Mask[i] == '>') {
      d.Upper = true;
      d.Lower = false;
    } else if (Mask[i] == '<') {
      if (i + 1 < pattern && Mask[i + 1] == '>' && kxMaskCharKind(Mask, i + 1) == mckDirective) {
        d.Upper = d.Lower = false;
        ++i;
      } else {
        d.Lower = true;
        d.Upper = false;
      }
    }
  }
  TkxMaskCharKind k = kxMaskCharKind(Mask, Index);
  d.Literal = k == mckLiteral || k == mckLocaleLiteral;
  return d;
}

int kxMaskPositionCount(const AnsiString& Mask) {
  int n = 0;
  for (int i = 0; i < int(Mask.size()); ++i)
    if (!SkipsPosition(kxMaskCharKind(Mask, i))) ++n;
  return n;
}

bool kxMaskSavesLiterals(const AnsiString& Mask) { return FieldChar(Mask, 1) != '0'; }

char kxMaskBlankChar(const AnsiString& Mask) {
  char c = FieldChar(Mask, 2);
  return c ? c : '_';
}

int kxMaskIndexOfPosition(const AnsiString& Mask, int Pos) {
  if (Pos < 0) return -1;
  int n = 0;
  for (int i = 0; i < int(Mask.size()); ++i) {
    if (SkipsPosition(kxMaskCharKind(Mask, i))) continue;
    if (n == Pos) return i;
    ++n;
  }
  return -1;
}

bool kxMaskIsInputPosition(const AnsiString& Mask, int Pos) {
  return IsInputKind(kxMaskCharKind(Mask, kxMaskIndexOfPosition(Mask, Pos)));
}

char kxMaskLiteralChar(const AnsiString& Mask, int Index) {
  if (kxMaskCharKind(Mask, Index) == mckLocaleLiteral)
    return Mask[Index] == ':' ? FormatSettings().TimeSeparator : FormatSettings().DateSeparator;
  return Index >= 0 && Index < int(Mask.size()) ? Mask[Index] : ' ';
}

AnsiString kxMaskApply(const AnsiString& Mask, const AnsiString& Raw, char Blank) {
  const int pattern = PatternLength(Mask);
  if (kxMaskDirectivesAt(Mask, 0).Reverse) {
    AnsiString rest = Raw, out;
    for (int i = pattern - 1; i >= 0; --i) {
      TkxMaskCharKind k = kxMaskCharKind(Mask, i);
      if (SkipsPosition(k)) continue;
      if (IsInputKind(k)) {
        if (!rest.empty()) {
          out.insert(out.begin(), rest.back());
          rest.pop_back();
        } else {
          out.insert(out.begin(), Blank);
        }
      } else {
        out.insert(out.begin(), kxMaskLiteralChar(Mask, i));
      }
    }
    return rest + out;
  }
  AnsiString out = Raw;
  std::size_t counter = 0;
  for (int i = 0; i < pattern; ++i) {
    TkxMaskCharKind k = kxMaskCharKind(Mask, i);
    if (SkipsPosition(k)) continue;
    if (IsInputKind(k)) {
      if (out.size() <= counter) out += Blank;
    } else {
      out.insert(out.begin() + std::ptrdiff_t(std::min(counter, out.size())), kxMaskLiteralChar(Mask, i));
    }
    ++counter;
  }
  return out;
}

AnsiString kxMaskStrip(const AnsiString& Mask, const AnsiString& EditText, char Blank) {
  const int count = kxMaskPositionCount(Mask);
  AnsiString s;
  for (int p = 0; p < int(EditText.size()); ++p)
    if (p >= count || kxMaskIsInputPosition(Mask, p)) s += EditText[p];
  if (kxMaskDirectivesAt(Mask, 0).Reverse) {
    std::size_t first = s.find_first_not_of(Blank);
    s = first == AnsiString::npos ? AnsiString() : s.substr(first);
  } else {
    std::size_t last = s.find_last_not_of(Blank);
    s = last == AnsiString::npos ? AnsiString() : s.substr(0, last + 1);
  }
  if (Blank != ' ')
    for (char& c : s)
      if (c == Blank) c = ' ';
  return s;
}

AnsiString kxMaskAlign(const AnsiString& Mask, const AnsiString& Value, char Blank) {
  const bool reverse = kxMaskDirectivesAt(Mask, 0).Reverse;
  const int pattern = PatternLength(Mask);
  auto fit = [&](AnsiString Sub, int N) {
    if (int(Sub.size()) > N) Sub = reverse ? Sub.substr(Sub.size() - std::size_t(N)) : Sub.substr(0, std::size_t(N));
    else if (int(Sub.size()) < N) {
      AnsiString fill(std::size_t(N) - Sub.size(), Blank);
      Sub = reverse ? fill + Sub : Sub + fill;
    }
    return Sub;
  };
  AnsiString out;
  std::size_t vi = 0;
  int inputs = 0;
  for (int i = 0; i < pattern; ++i) {
    TkxMaskCharKind k = kxMaskCharKind(Mask, i);
    if (SkipsPosition(k)) continue;
    if (IsInputKind(k)) {
      ++inputs;
      continue;
    }
    char lit = kxMaskLiteralChar(Mask, i);
    std::size_t at = vi <= Value.size() ? Value.find(lit, vi) : AnsiString::npos;
    AnsiString sub;
    if (at == AnsiString::npos) {
      sub = vi < Value.size() ? Value.substr(vi) : AnsiString();
      vi = Value.size() + 1;  // the missing literal stands at the end
    } else {
      sub = Value.substr(vi, at - vi);
      vi = at + 1;
    }
    out += fit(sub, inputs);
    out += lit;
    inputs = 0;
  }
  out += fit(vi < Value.size() ? Value.substr(vi) : AnsiString(), inputs);
  for (int p = 0; p < int(out.size()); ++p)
    if (out[p] == ' ' && kxMaskIsInputPosition(Mask, p)) out[p] = Blank;
  return out;
}

AnsiString kxMaskEmptyText(const AnsiString& Mask) { return kxMaskApply(Mask, "", kxMaskBlankChar(Mask)); }

// ---- TkxInplaceMaskEdit ----

KX_EDIT_CLASS_IMPL(TkxInplaceMaskEdit)

TkxInplaceMaskEdit::TkxInplaceMaskEdit(TComponent* AOwner) : TkxInplaceTextEdit(AOwner) {}

void TkxInplaceMaskEdit::SetEditMask(const AnsiString& Value) {
  FStoredValues << svEditMask;
  DoSetEditMask(Value);
}

void TkxInplaceMaskEdit::ChangeMask(const AnsiString& Value) {
  FEditMask = Value;
  FMaxChars = kxMaskPositionCount(Value);
  FMaskSave = kxMaskSavesLiterals(Value);
  FMaskBlank = kxMaskBlankChar(Value);
}

void TkxInplaceMaskEdit::DoSetEditMask(const AnsiString& Value) {
  if (FEditMask == Value) return;
  int ss = 0, se = 0;
  GetSel(ss, se);
  AnsiString value = GetMaskText();
  bool modified = GetModified();
  ChangeMask(Value);
  FMasked = !Value.empty();
  DoSetMaxLength(0);
  // The current value in the new mask's shape.
  bool old = FAssigningText;
  FAssigningText = true;
  try {
    SetMaskText(value);
  } catch (...) {
    FAssigningText = old;
    throw;
  }
  FAssigningText = old;
  SetModified(modified);
  if (HandleAllocated()) RecreateWnd();
  if (HandleAllocated() && Focused()) PlaceCaret(ss);
}

void TkxInplaceMaskEdit::DoSetMaxLength(int Value) {
  TkxInplaceTextEdit::DoSetMaxLength(FMasked ? FMaxChars : Value);
}

AnsiString TkxInplaceMaskEdit::GetEditText() { return TkxInplaceTextEdit::Text(); }

void TkxInplaceMaskEdit::SetEditText(const AnsiString& Value) {
  if (GetEditText() == Value) return;
  TkxInplaceTextEdit::SetText(Value);
}

AnsiString TkxInplaceMaskEdit::GetMaskText() {
  if (!FMasked) return TkxInplaceTextEdit::Text();
  AnsiString stripped = kxMaskStrip(FEditMask, GetEditText(), FMaskBlank);
  return FMaskSave ? kxMaskApply(FEditMask, stripped, ' ') : stripped;
}

void TkxInplaceMaskEdit::SetMaskText(const AnsiString& Value) {
  if (!FMasked) {
    TkxInplaceTextEdit::SetText(Value);
    return;
  }
  AnsiString s = FMaskSave ? kxMaskAlign(FEditMask, Value, FMaskBlank) : kxMaskApply(FEditMask, Value, FMaskBlank);
  SetEditText(s);
  NormalizeCaret();
}

void TkxInplaceMaskEdit::SetEditValue(const Variant& Value) {
  if (!FMasked) {
    TkxInplaceTextEdit::SetEditValue(Value);
    return;
  }
  bool old = FAssigningText;
  FAssigningText = true;
  try {
    SetMaskText(Value.IsNull() || Value.IsEmpty() ? AnsiString() : VarToStr(Value));
  } catch (...) {
    FAssigningText = old;
    throw;
  }
  FAssigningText = old;
  ClearUndo();
}

void TkxInplaceMaskEdit::GetEditValue(Variant& Value) { Value = Variant(GetMaskText()); }

bool TkxInplaceMaskEdit::GetDisableCloseEditor() { return DisableCloseEditor && GetModified(); }

void TkxInplaceMaskEdit::GetDisplayText(AnsiString& Text) {
  if (FIgnoreBlanks) Text = GetEditText();
  else if (FMasked) Text = GetEditText() == kxMaskEmptyText(FEditMask) ? AnsiString() : GetMaskText();
  else Text = TkxInplaceTextEdit::Text();
}

bool TkxInplaceMaskEdit::IsComplete(const AnsiString& EditText, int* FirstFailing) {
  for (int p = 0; p < FMaxChars; ++p) {
    int idx = kxMaskIndexOfPosition(FEditMask, p);
    if (kxMaskCharKind(FEditMask, idx) != mckRequired) continue;
    char c = p < int(EditText.size()) ? EditText[p] : FMaskBlank;
    bool fails = (c == FMaskBlank && !FIgnoreBlanks) || (c == ' ' && FEditMask[idx] != 'C') ||
                 p >= int(EditText.size());
    if (fails) {
      if (FirstFailing) *FirstFailing = p;
      return false;
    }
  }
  return true;
}

void TkxInplaceMaskEdit::GetSel(int& SelStart, int& SelStop) {
  SelStart = SelStop = 0;
  if (!HandleAllocated() || !IsTextEditing()) return;
  CHARRANGE cr;
  SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  SelStart = cr.cpMin;
  SelStop = cr.cpMax;
}

int TkxInplaceMaskEdit::NextInputPos(int P) {
  if (P < 0) P = 0;
  while (P < FMaxChars && !kxMaskIsInputPosition(FEditMask, P)) ++P;
  return P;
}

int TkxInplaceMaskEdit::PrevInputPos(int P) {
  --P;
  while (P >= 0 && !kxMaskIsInputPosition(FEditMask, P)) --P;
  if (P < 0) return NextInputPos(0);
  return P;
}

void TkxInplaceMaskEdit::PlaceCaret(int P) {
  if (!HandleAllocated()) return;
  AnsiString text = GetEditText();
  if (IsTrailByte(text, P)) --P;
  if (!FMasked) {
    P = std::max(0, std::min(P, int(text.size())));
    SendMessageA(Handle(), EM_SETSEL, WPARAM(P), LPARAM(P));
    FCaretPos = P;
    return;
  }
  if (P < 0) P = 0;
  int end = P + (IsLeadAt(text, P) && P + 1 < int(text.size()) ? 2 : 1);
  if (P >= FMaxChars) P = end = FMaxChars;
  if (end > FMaxChars) end = FMaxChars;
  // The character is selected with the caret shown at its start.
  SendMessageA(Handle(), EM_SETSEL, WPARAM(end), LPARAM(P));
  FCaretPos = P;
}

void TkxInplaceMaskEdit::NormalizeCaret() {
  if (!HandleAllocated() || !FMasked || !IsTextEditing()) return;
  int ss, se;
  GetSel(ss, se);
  if (ss == se) PlaceCaret(ss);
}

AnsiString TkxInplaceMaskEdit::BlankRange(const AnsiString& Text, int Start, int Stop) {
  AnsiString s = Text;
  for (int p = std::max(0, Start); p < Stop && p < int(s.size()); ++p)
    if (p >= FMaxChars || kxMaskIsInputPosition(FEditMask, p)) s[p] = FMaskBlank;
  return s;
}

void TkxInplaceMaskEdit::ReplaceRange(int Start, int Stop, const AnsiString& Text) {
  SendMessageA(Handle(), EM_SETSEL, WPARAM(Start), LPARAM(Stop));
  SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Text.c_str()));
}

void TkxInplaceMaskEdit::RaiseMaskError() {
  MessageBeep(0);
  throw EkxMaskEditError("Invalid input value.  Use escape key to abandon changes");
}

bool TkxInplaceMaskEdit::MatchChar(char& Ch, int Index, int Pos) {
  if (Index < 0 || Index >= int(FEditMask.size())) return false;
  const unsigned char u = static_cast<unsigned char>(Ch);
  const char m = FEditMask[Index];
  TkxMaskDirectives d = kxMaskDirectivesAt(FEditMask, Index);
  auto convert = [&]() {
    if (u < 0x80 && std::isalpha(u)) {
      if (d.Upper) Ch = char(std::toupper(u));
      else if (d.Lower) Ch = char(std::tolower(u));
    }
  };
  if (LeadByte(u)) {
    // A double-byte character takes this letter position and the next one.
    bool letterPos = m == 'L' || m == 'l' || m == 'A' || m == 'a' || m == 'C' || m == 'c';
    if (!letterPos) return false;
    char next = Index + 1 < int(FEditMask.size()) ? FEditMask[Index + 1] : 0;
    if (UpperChar(next) != UpperChar(m) || kxMaskCharKind(FEditMask, Index + 1) == mckLiteral) return false;
    AnsiString text = GetEditText();
    if (IsTrailByte(text, Pos)) return false;
    if (IsLeadAt(text, Pos + 1) && !IsTrailByte(text, Pos + 1)) return false;
    return true;
  }
  switch (m) {
    case '0':
    case '9': return u >= '0' && u <= '9';
    case '#': return (u >= '0' && u <= '9') || u == ' ' || u == '+' || u == '-';
    case 'L':
    case 'l':
      if (u >= 0x80 || !std::isalpha(u)) return false;
      convert();
      return true;
    case 'A':
    case 'a':
      if (u >= 0x80 || !std::isalnum(u)) return false;
      convert();
      return true;
    case 'C':
    case 'c': convert(); return true;
    default: return false;
  }
}

void TkxInplaceMaskEdit::TypeChar(char Key) {
  if (Key == 27) {
    Reset();
    return;
  }
  if (!CanModify() || !IsEditable()) return;
  if (Key == 8) return;
  int ss, se;
  GetSel(ss, se);
  AnsiString text = GetEditText();
  if (se - ss > 1 && !(se - ss == 2 && IsLeadAt(text, ss))) {
    ReplaceRange(ss, se, BlankRange(text, ss, se).substr(std::size_t(ss), std::size_t(se - ss)));
    PlaceCaret(NextInputPos(ss));
    GetSel(ss, se);
    text = GetEditText();
  }
  AnsiString typed(1, Key);
  if (LeadByte(static_cast<unsigned char>(Key))) {
    MSG m;
    if (PeekMessageA(&m, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
      if (m.message == WM_QUIT) PostQuitMessage(int(m.wParam));
      else typed += char(m.wParam);
    }
  }
  int idx = kxMaskIndexOfPosition(FEditMask, ss);
  TkxMaskCharKind kind = kxMaskCharKind(FEditMask, idx);
  if (idx < 0 || ss >= FMaxChars) {
    MessageBeep(0);
    return;
  }
  if (kind == mckLiteral || kind == mckLocaleLiteral) {
    typed = AnsiString(1, kxMaskLiteralChar(FEditMask, idx));
  } else {
    char c = typed[0];
    bool ok = (typed.size() == 2) == LeadByte(static_cast<unsigned char>(c)) && MatchChar(c, idx, ss) &&
              (typed.size() == 1 || ss + 1 < FMaxChars);
    if (!ok) {
      // A refused character equal to the next literal moves past that literal.
      for (int p = ss + 1; p < FMaxChars; ++p) {
        int li = kxMaskIndexOfPosition(FEditMask, p);
        if (IsInputKind(kxMaskCharKind(FEditMask, li))) continue;
        if (typed.size() == 1 && kxMaskLiteralChar(FEditMask, li) == typed[0]) {
          PlaceCaret(NextInputPos(p + 1));
          return;
        }
        break;
      }
      MessageBeep(0);
      return;
    }
    typed[0] = c;
  }
  // Replace exactly the bytes the new character covers, blanking the second
  // byte of a double-byte character that a single byte replaces.
  int width = int(typed.size());
  int oldWidth = IsLeadAt(text, ss) ? 2 : 1;
  int stop = ss + std::max(width, oldWidth);
  AnsiString repl = typed;
  if (oldWidth > width) repl += FMaskBlank;
  if (width == 2 && IsLeadAt(text, ss + 1)) {
    // the character after the covered byte is double-byte too: blank it whole
    repl += FMaskBlank;
    ++stop;
  }
  stop = std::min(stop, int(text.size()));
  repl = repl.substr(0, std::size_t(stop - ss));
  ReplaceRange(ss, stop, repl);
  int next = NextInputPos(ss + width);
  if (next < FMaxChars || ss + width >= FMaxChars) PlaceCaret(next);
}

void TkxInplaceMaskEdit::KeyPress(char& Key) {
  TkxInplaceTextEdit::KeyPress(Key);
  if (!FMasked || Key == 0) return;
  if (Key == 3 || Key == 22 || Key == 24) return;  // Ctrl+C, Ctrl+V, Ctrl+X go to the window
  char k = Key;
  Key = 0;
  TypeChar(k);
}

void TkxInplaceMaskEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) ResetOnEscape();
  switch (Key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT: ValidateEdit(); break;
    default: break;
  }
  ++FValidationLock;
  bool paste = (Key == 'V' && Shift == TShiftState{ssCtrl}) || (Key == VK_INSERT && Shift == TShiftState{ssShift});
  if (paste) {
    PostMessageA(Handle(), WM_PASTE, 0, 0);
    Key = 0;
  }
  --FValidationLock;
  TkxInplaceTextEdit::KeyDown(Key, Shift);
  if (!FMasked || Key == 0 || Shift.Contains(ssAlt)) return;
  switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
      MoveByArrow(Key, Shift);
      if (!Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) Key = 0;
      break;
    case VK_UP:
    case VK_DOWN: Key = 0; break;
    case VK_HOME:
    case VK_END:
      MoveToEnds(Key, Shift);
      Key = 0;
      break;
    case VK_DELETE:
    case VK_BACK:
      if (Key == VK_DELETE && (Shift.Contains(ssShift) || Shift.Contains(ssCtrl))) {
        NormalizeCaret();
        break;
      }
      if (CanModify()) DeleteByKey(Key);
      Key = 0;
      break;
    default:
      if (Key == 'A' && Shift == TShiftState{ssCtrl}) {
        SelectAll();
        Key = 0;
        kxRemovePendingChar(Handle());
      } else {
        NormalizeCaret();
      }
  }
}

void TkxInplaceMaskEdit::KeyUp(Word& Key, TShiftState Shift) {
  TkxInplaceTextEdit::KeyUp(Key, Shift);
  if (FMasked && Shift.Contains(ssCtrl) && (Key == VK_LEFT || Key == VK_RIGHT)) NormalizeCaret();
}

void TkxInplaceMaskEdit::MoveByArrow(Word Key, TShiftState Shift) {
  if (Shift.Contains(ssCtrl)) return;
  int ss, se;
  GetSel(ss, se);
  AnsiString text = GetEditText();
  if (Shift.Contains(ssShift)) {
    if (Key == VK_RIGHT) {
      FCaretPos = std::min(FCaretPos + 1, FMaxChars);
      // One character selected: anchor it at its start so the window extends the selection.
      if (se - ss == 1) SendMessageA(Handle(), EM_SETSEL, WPARAM(ss), LPARAM(se));
    } else {
      FCaretPos = std::max(FCaretPos - 1, 0);
      if (se - ss == 2 && FCaretPos > ss) SendMessageA(Handle(), EM_SETSEL, WPARAM(se), LPARAM(se - 1));
    }
    return;
  }
  if (se - ss > 1) {
    if (se - ss == 2 && IsLeadAt(text, ss)) {
      if (Key == VK_LEFT) PlaceCaret(PrevInputPos(ss));
      else PlaceCaret(NextInputPos(se));
      return;
    }
    if (FCaretPos == se) --FCaretPos;
    PlaceCaret(Key == VK_LEFT ? ss : std::max(FCaretPos, ss));
    return;
  }
  if (Key == VK_LEFT) {
    PlaceCaret(PrevInputPos(ss));
  } else if (ss == se) {
    PlaceCaret(ss);
  } else {
    PlaceCaret(NextInputPos(ss + (IsLeadAt(text, ss) ? 2 : 1)));
  }
}

void TkxInplaceMaskEdit::MoveToEnds(Word Key, TShiftState Shift) {
  int ss, se;
  GetSel(ss, se);
  if (Key == VK_HOME) {
    if (Shift.Contains(ssShift)) {
      int end = FCaretPos == ss ? se : ss + 1;
      SendMessageA(Handle(), EM_SETSEL, WPARAM(end), 0);
      NormalizeCaret();
    } else {
      PlaceCaret(0);
    }
    FCaretPos = 0;
  } else {
    if (Shift.Contains(ssShift)) SendMessageA(Handle(), EM_SETSEL, WPARAM(ss), LPARAM(FMaxChars));
    else PlaceCaret(FMaxChars);
    FCaretPos = FMaxChars;
  }
}

void TkxInplaceMaskEdit::DeleteByKey(Word Key) {
  if (!IsEditable()) return;
  int ss, se;
  GetSel(ss, se);
  AnsiString text = GetEditText();
  bool single = se - ss <= 1 || (se - ss == 2 && IsLeadAt(text, ss));
  if (Key == VK_BACK && single) {
    int p = PrevInputPos(ss);
    if (p == ss || p >= ss) return;
    PlaceCaret(p);
    GetSel(ss, se);
    single = true;
  }
  if (se <= ss) return;
  ReplaceRange(ss, se, BlankRange(GetEditText(), ss, se).substr(std::size_t(ss), std::size_t(se - ss)));
  PlaceCaret(single ? ss : NextInputPos(ss));
}

void TkxInplaceMaskEdit::NoteRestoreValue() {
  // Escape goes back to what the field held before this change.
  if (!GetModified()) FSavedText = GetEditText();
}

void TkxInplaceMaskEdit::InsertString(const AnsiString& Text) {
  int ss, se;
  GetSel(ss, se);
  AnsiString edit = GetEditText();
  int pos = ss;
  std::size_t i = 0;
  while (pos < FMaxChars && i < Text.size()) {
    int idx = kxMaskIndexOfPosition(FEditMask, pos);
    TkxMaskCharKind k = kxMaskCharKind(FEditMask, idx);
    if (!IsInputKind(k)) {
      if (Text[i] == kxMaskLiteralChar(FEditMask, idx)) ++i;
      ++pos;
      continue;
    }
    if (LeadByte(static_cast<unsigned char>(Text[i])) && i + 1 < Text.size()) {
      char c = Text[i];
      bool ok = pos + 1 < FMaxChars && MatchChar(c, idx, pos);
      edit[std::size_t(pos)] = ok ? Text[i] : FMaskBlank;
      if (pos + 1 < int(edit.size())) edit[std::size_t(pos + 1)] = ok ? Text[i + 1] : FMaskBlank;
      pos += 2;
      i += 2;
      continue;
    }
    char c = Text[i];
    edit[std::size_t(pos)] = MatchChar(c, idx, pos) ? c : FMaskBlank;
    ++pos;
    ++i;
  }
  if (pos > ss) ReplaceRange(ss, pos, edit.substr(std::size_t(ss), std::size_t(pos - ss)));
  PlaceCaret(pos);
}

void TkxInplaceMaskEdit::WMPaste(TMessage& Message) {
  if (!FMasked) {
    TkxInplaceTextEdit::Dispatch(Message);
    return;
  }
  if (!IsEditable() || !CanModify() || !OpenClipboard(Handle())) return;
  AnsiString clip;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) clip = p;
    GlobalUnlock(h);
  }
  CloseClipboard();
  AnsiString restore = GetModified() ? FSavedText : GetEditText();
  int ss, se;
  GetSel(ss, se);
  if (se > ss) ReplaceRange(ss, se, BlankRange(GetEditText(), ss, se).substr(std::size_t(ss), std::size_t(se - ss)));
  SendMessageA(Handle(), EM_SETSEL, WPARAM(ss), LPARAM(ss));
  InsertString(clip);
  FSavedText = restore;
  SetModified(true);
  ValidateEdit();
}

void TkxInplaceMaskEdit::WMClear(TMessage& Message) {
  if (!FMasked) {
    TkxInplaceTextEdit::Dispatch(Message);
    return;
  }
  if (!CanModify()) return;
  AnsiString restore = GetModified() ? FSavedText : GetEditText();
  int ss, se;
  GetSel(ss, se);
  // Only the selection is blanked; the rest of the field stays.
  if (se > ss) ReplaceRange(ss, se, BlankRange(GetEditText(), ss, se).substr(std::size_t(ss), std::size_t(se - ss)));
  FSavedText = restore;
  SetModified(true);
  PlaceCaret(ss);
}

void TkxInplaceMaskEdit::WMCut(TMessage& Message) {
  if (!FMasked) {
    TkxInplaceTextEdit::Dispatch(Message);
    return;
  }
  if (!CanModify()) return;
  SendMessageA(Handle(), WM_COPY, 0, 0);
  SendMessageA(Handle(), WM_CLEAR, 0, 0);
}

void TkxInplaceMaskEdit::EMReplaceSel(TMessage& Message) {
  if (FMasked) {
    int ss, se;
    GetSel(ss, se);
    const char* s = reinterpret_cast<const char*>(Message.LParam);
    if (!s || int(std::strlen(s)) != se - ss) return;
  }
  TkxInplaceTextEdit::Dispatch(Message);
}

void TkxInplaceMaskEdit::CNCommand(TWMCommand& Message) {
  if (FMasked && Message.NotifyCode() == EN_CHANGE && !FCreating && int(GetEditText().size()) != FMaxChars) {
    bool old = FAssigningText;
    FAssigningText = true;
    try {
      SetMaskText(GetEditText());
    } catch (...) {
      FAssigningText = old;
      throw;
    }
    FAssigningText = old;
    SetModified(true);
  }
  TkxInplaceTextEdit::Dispatch(Message);
}

void TkxInplaceMaskEdit::CMTextChanged(TMessage& Message) {
  TkxInplaceTextEdit::Dispatch(Message);
  if (!FMasked || !HandleAllocated() || !Focused()) return;
  int ss, se;
  GetSel(ss, se);
  if (ss < FMaxChars && !kxMaskIsInputPosition(FEditMask, ss)) PlaceCaret(NextInputPos(ss));
}

void TkxInplaceMaskEdit::CMEnter(TMessage& Message) {
  if (!FMasked) {
    TkxInplaceTextEdit::Dispatch(Message);
    return;
  }
  if (!FReEnter) TkxInplaceTextEdit::Dispatch(Message);
  FReEnter = false;
  NormalizeCaret();
}

void TkxInplaceMaskEdit::WMSetFocus(TMessage& Message) {
  TkxInplaceTextEdit::Dispatch(Message);
  if (FMasked) NormalizeCaret();
}

void TkxInplaceMaskEdit::WMLButtonDown(TWMMouse& Message) {
  FButtonDownX = Message.XPos();
  TkxInplaceTextEdit::Dispatch(Message);
}

void TkxInplaceMaskEdit::WMLButtonUp(TWMMouse& Message) {
  TkxInplaceTextEdit::Dispatch(Message);
  if (!FMasked || !HandleAllocated()) return;
  int ss, se;
  GetSel(ss, se);
  FCaretPos = Message.XPos() > FButtonDownX ? se : ss;
  NormalizeCaret();
}

void TkxInplaceMaskEdit::CMWantSpecialKey(TMessage& Message) {
  if (FMasked && Message.WParam == VK_ESCAPE && GetModified()) {
    Message.Result = 1;
    return;
  }
  TkxInplaceTextEdit::Dispatch(Message);
}

void TkxInplaceMaskEdit::ValidateEdit() {
  if (FMasked && GetModified()) {
    int failing = 0;
    if (!IsComplete(GetEditText(), &failing)) {
      if (CloseFlag) {
        Reset();
        return;
      }
      if (!ComponentState().Contains(csDesigning)) {
        FReEnter = true;
        if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
        PlaceCaret(failing);
        RaiseMaskError();
      }
    }
  }
  NormalizeCaret();
  TkxInplaceTextEdit::ValidateEdit();
}

void kxInitMaskEdit() { RegisterClasses({TkxInplaceMaskEdit::StaticClass()}); }
