#include "editors/uxstdmask.h"

#include <algorithm>

#include "platform/rtl/locale.h"
#include "platform/rtl/strings.h"

// ---- characters ----

TuxMaskChar uxMaskCharAt(const AnsiString& Text, std::size_t Pos, int& Length) {
  Length = CharLength(Text, Pos);
  if (Length == 0) return 0;
  const Byte first = static_cast<Byte>(Text[Pos]);
  if (Length == 1) return first;
  return static_cast<TuxMaskChar>(first << 8 | static_cast<Byte>(Text[Pos + 1]));
}

std::vector<TuxMaskChar> uxMaskChars(const AnsiString& Text) {
  std::vector<TuxMaskChar> result;
  result.reserve(Text.size());
  int length = 0;
  for (std::size_t i = 0; i < Text.size(); i += static_cast<std::size_t>(length))
    result.push_back(uxMaskCharAt(Text, i, length));
  return result;
}

void uxAppendMaskChar(AnsiString& Text, TuxMaskChar Ch) {
  if (Ch > 0xFF) Text += static_cast<char>(Ch >> 8);
  Text += static_cast<char>(Ch & 0xFF);
}

AnsiString uxMaskCharToText(TuxMaskChar Ch) {
  AnsiString result;
  uxAppendMaskChar(result, Ch);
  return result;
}

TuxMaskChar uxMaskCharUpper(TuxMaskChar Ch) { return Ch >= 'a' && Ch <= 'z' ? static_cast<TuxMaskChar>(Ch - 32) : Ch; }

TuxMaskChar uxMaskCharLower(TuxMaskChar Ch) { return Ch >= 'A' && Ch <= 'Z' ? static_cast<TuxMaskChar>(Ch + 32) : Ch; }

namespace {

bool IsAsciiDigit(TuxMaskChar Ch) { return Ch >= '0' && Ch <= '9'; }
bool IsAsciiLetter(TuxMaskChar Ch) { return (Ch >= 'a' && Ch <= 'z') || (Ch >= 'A' && Ch <= 'Z'); }

// Kinds of characters as the positions tell them apart, and the input blank.
constexpr Byte kDigit = 1, kLetter = 2, kSign = 4, kOther = 8, kInputBlank = 16;

Byte KindOf(TuxMaskChar Ch) {
  if (IsAsciiDigit(Ch)) return kDigit;
  if (IsAsciiLetter(Ch)) return kLetter;
  if (Ch == '+' || Ch == '-') return kSign;
  return kOther;
}

}  // namespace

// ---- positions ----

bool TuxStandardMaskManyItem::Check(TuxMaskChar& Ch) const {
  const TuxMaskChar typed = Ch;
  if (FCaseConversion == smccUpper)
    Ch = uxMaskCharUpper(Ch);
  else if (FCaseConversion == smccLower)
    Ch = uxMaskCharLower(Ch);
  return Accepts(typed);
}

bool TuxStandardMaskAlphaItem::Accepts(TuxMaskChar Ch) const { return IsAsciiLetter(Ch); }

bool TuxStandardMaskAlphaNumericItem::Accepts(TuxMaskChar Ch) const { return IsAsciiLetter(Ch) || IsAsciiDigit(Ch); }

bool TuxStandardMaskNumericItem::Accepts(TuxMaskChar Ch) const { return IsAsciiDigit(Ch); }

bool TuxStandardMaskNumericSymbolItem::Accepts(TuxMaskChar Ch) const {
  return IsAsciiDigit(Ch) || Ch == '+' || Ch == '-';
}

// ---- the mask ----

TuxStandardMask::TuxStandardMask() = default;
TuxStandardMask::~TuxStandardMask() = default;

void TuxStandardMask::Clear() {
  FMask.clear();
  FLeading = false;
  FSaveLiteralCharacters = true;
  FBlank = '_';
  FItems.clear();
  FKinds.clear();
  FKindsAhead.clear();
  FLiteralPositions.clear();
}

void TuxStandardMask::SetMask(const AnsiString& Mask) {
  Clear();
  FMask = Mask;
  std::vector<TuxMaskChar> chars = uxMaskChars(Mask);
  if (!chars.empty() && chars.front() == '!') {
    FLeading = true;
    chars.erase(chars.begin());
  }
  Compile(chars);
  PrepareFormat();
}

void TuxStandardMask::AddItem(std::unique_ptr<TuxStandardMaskCustomItem> Item) { FItems.push_back(std::move(Item)); }

void TuxStandardMask::Compile(const std::vector<TuxMaskChar>& Mask) {
  TuxStandardMaskCaseConversion conversion = smccNone;
  const std::size_t n = Mask.size();
  auto literal = [this](TuxMaskChar Ch) { AddItem(std::make_unique<TuxStandardMaskLiteralItem>(Ch)); };
  for (std::size_t i = 0; i < n; ++i) {
    const TuxMaskChar ch = Mask[i];
    switch (ch) {
      case 'L':
      case 'l':
        AddItem(std::make_unique<TuxStandardMaskAlphaItem>(ch == 'l', conversion));
        break;
      case 'A':
      case 'a':
        AddItem(std::make_unique<TuxStandardMaskAlphaNumericItem>(ch == 'a', conversion));
        break;
      case 'C':
      case 'c':
        AddItem(std::make_unique<TuxStandardMaskASCIIItem>(ch == 'c', conversion));
        break;
      case '0':
      case '9':
        AddItem(std::make_unique<TuxStandardMaskNumericItem>(ch == '9', conversion));
        break;
      case '#':
        AddItem(std::make_unique<TuxStandardMaskNumericSymbolItem>(true, conversion));
        break;
      case ':':
        literal(static_cast<Byte>(FormatSettings().TimeSeparator));
        break;
      case '/':
        literal(static_cast<Byte>(FormatSettings().DateSeparator));
        break;
      case '\\':
        if (i + 1 < n) literal(Mask[++i]);
        break;
      case '>':
        conversion = smccUpper;
        break;
      case '<':
        if (i + 1 < n && Mask[i + 1] == '>') {
          conversion = smccNone;
          ++i;
        } else {
          conversion = smccLower;
        }
        break;
      case ';': {
        const std::size_t rest = n - i - 1;
        const bool digit = rest >= 1 && (Mask[i + 1] == '0' || Mask[i + 1] == '1');
        if (rest == 3 && digit && Mask[i + 2] == ';') {
          FSaveLiteralCharacters = Mask[i + 1] != '0';
          FBlank = Mask[i + 3];
          return;
        }
        if (rest == 1 && digit) {
          FSaveLiteralCharacters = Mask[i + 1] != '0';
          return;
        }
        literal(ch);
        break;
      }
      default:
        literal(ch);
        break;
    }
  }
}

TuxStandardMaskCustomItem* TuxStandardMask::Items(int Index) const {
  return Index >= 0 && Index < Count() ? FItems[static_cast<std::size_t>(Index)].get() : nullptr;
}

// Every non-literal position takes at least the input blank.
bool TuxStandardMask::IsLiteral(int Index) const { return FKinds[static_cast<std::size_t>(Index)] == 0; }

void TuxStandardMask::PrepareFormat() {
  const int n = Count();
  FKinds.assign(static_cast<std::size_t>(n), 0);
  FKindsAhead.assign(static_cast<std::size_t>(n), 0);
  // A non-literal position takes the kinds of its representative characters,
  // and every input blank.
  static const TuxMaskChar kSamples[] = {'0', 'a', '+', '#'};
  for (int i = 0; i < n; ++i) {
    const TuxStandardMaskCustomItem* item = FItems[static_cast<std::size_t>(i)].get();
    if (auto* lit = dynamic_cast<const TuxStandardMaskLiteralItem*>(item)) {
      FLiteralPositions[lit->Literal()].push_back(i);
      continue;
    }
    Byte kinds = kInputBlank;
    for (TuxMaskChar sample : kSamples) {
      TuxMaskChar ch = sample;
      if (item->Check(ch)) kinds |= KindOf(sample);
    }
    FKinds[static_cast<std::size_t>(i)] = kinds;
  }
  Byte ahead = 0;
  for (int k = 0; k < n; ++k) {
    const int i = FLeading ? k : n - 1 - k;
    ahead |= FKinds[static_cast<std::size_t>(i)];
    FKindsAhead[static_cast<std::size_t>(i)] = ahead;
  }
}

int TuxStandardMask::FindPosition(TuxMaskChar Ch, int Position, bool TryLiterals) const {
  const int n = Count();
  if (Position < 0 || Position >= n) return -1;
  const int step = FLeading ? -1 : 1;
  const Byte wanted = KindOf(Ch) | (Ch == FBlank || Ch == ' ' ? kInputBlank : 0);
  bool found = (FKindsAhead[static_cast<std::size_t>(Position)] & wanted) != 0;
  auto literals = FLiteralPositions.find(Ch);
  const bool literalAhead = TryLiterals && literals != FLiteralPositions.end() &&
                            (FLeading ? literals->second.front() <= Position : literals->second.back() >= Position);
  if (!found && !literalAhead) return -1;
  // Some position ahead takes Ch; the caller goes on after it, so the
  // positions passed here are never passed again.
  for (int q = Position; q >= 0 && q < n; q += step) {
    if (FKinds[static_cast<std::size_t>(q)] & wanted) return q;
    if (TryLiterals && IsLiteral(q) && FItems[static_cast<std::size_t>(q)]->Check(Ch)) return q;
  }
  return -1;
}

void TuxStandardMask::Format(AnsiString& Text, bool ConvertCase, bool KeepLiteralsOfInput) const {
  const int n = Count();
  std::vector<TuxMaskChar> shown(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    auto* lit = dynamic_cast<const TuxStandardMaskLiteralItem*>(FItems[static_cast<std::size_t>(i)].get());
    shown[static_cast<std::size_t>(i)] = lit ? lit->Literal() : FBlank;
  }
  const bool tryLiterals = FSaveLiteralCharacters || KeepLiteralsOfInput;
  std::vector<TuxMaskChar> input = uxMaskChars(Text);
  if (FLeading) std::reverse(input.begin(), input.end());
  const int step = FLeading ? -1 : 1;
  int position = FLeading ? n - 1 : 0;
  for (TuxMaskChar typed : input) {
    const int q = FindPosition(typed, position, tryLiterals);
    if (q < 0) continue;  // fits nowhere: dropped
    TuxMaskChar ch = typed;
    if (FItems[static_cast<std::size_t>(q)]->Check(ch)) shown[static_cast<std::size_t>(q)] = ConvertCase ? ch : typed;
    // otherwise an input blank: the position stays blank
    position = q + step;
  }
  AnsiString result;
  result.reserve(static_cast<std::size_t>(n));
  for (TuxMaskChar ch : shown) uxAppendMaskChar(result, ch);
  Text = std::move(result);
}

void TuxStandardMask::GetValueText(AnsiString& Text) const {
  const std::vector<TuxMaskChar> chars = uxMaskChars(Text);
  const std::size_t n = std::min(chars.size(), FItems.size());
  AnsiString result;
  for (std::size_t i = 0; i < n; ++i) {
    const TuxMaskChar ch = chars[i];
    if (IsLiteral(static_cast<int>(i))) {
      if (FSaveLiteralCharacters) uxAppendMaskChar(result, ch);
    } else {
      uxAppendMaskChar(result, ch == FBlank ? TuxMaskChar(' ') : ch);
    }
  }
  Text = std::move(result);
}

bool TuxStandardMask::IsValid(AnsiString& Text) const {
  std::vector<TuxMaskChar> chars = uxMaskChars(Text);
  if (chars.size() != FItems.size()) return false;
  bool valid = true;
  AnsiString converted;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const TuxMaskChar typed = chars[i];
    TuxMaskChar ch = typed;
    const TuxStandardMaskCustomItem* item = FItems[i].get();
    if (!item->Check(ch)) {
      auto* many = dynamic_cast<const TuxStandardMaskManyItem*>(item);
      const bool blankAllowed = many && many->Optional() && (typed == FBlank || typed == ' ');
      if (!blankAllowed) valid = false;
    }
    uxAppendMaskChar(converted, ch);
  }
  Text = std::move(converted);
  return valid;
}

void TuxStandardMask::GetEmptyText(AnsiString& Text) const {
  Text.clear();
  for (const auto& item : FItems) {
    auto* lit = dynamic_cast<const TuxStandardMaskLiteralItem*>(item.get());
    uxAppendMaskChar(Text, lit ? lit->Literal() : FBlank);
  }
}

void TuxStandardMask::GetEmptyValueText(AnsiString& Text) const {
  Text.clear();
  for (const auto& item : FItems) {
    auto* lit = dynamic_cast<const TuxStandardMaskLiteralItem*>(item.get());
    if (!lit)
      Text += ' ';
    else if (FSaveLiteralCharacters)
      uxAppendMaskChar(Text, lit->Literal());
  }
}
