// The standard edit mask: one mask position per character of the text (digits,
// letters, any character, literal characters), with case conversion, a blank
// character shown in empty positions and a choice whether literal characters
// belong to the value text.
//
// Masks work on whole characters: a double-byte character of code page 936
// fills one position, is one literal of a mask and is never split. Case
// conversion changes single-byte letters only.
//
// Every text is a valid mask. Format, GetValueText and IsValid take time in
// proportion to the lengths of the mask and the text, whatever they hold.
#pragma once
#include <map>
#include <memory>
#include <vector>
#include "platform/rtl/types.h"

// A character of a mask or of a masked text: a single byte (0..0xFF), or a
// whole double-byte character as lead byte × 256 + trail byte (0x8100 and up).
// A lead byte that ends a text stands alone and is a single-byte character.
using TuxMaskChar = Word;

// The character that starts at byte Pos of Text; Length gets its byte count
// (0 at or past the end, where the result is 0).
TuxMaskChar uxMaskCharAt(const AnsiString& Text, std::size_t Pos, int& Length);
// The characters of Text in order.
std::vector<TuxMaskChar> uxMaskChars(const AnsiString& Text);
// Appends the bytes of Ch to Text.
void uxAppendMaskChar(AnsiString& Text, TuxMaskChar Ch);
AnsiString uxMaskCharToText(TuxMaskChar Ch);
// Case of a single-byte letter 'a'..'z' / 'A'..'Z'; every other character unchanged.
TuxMaskChar uxMaskCharUpper(TuxMaskChar Ch);
TuxMaskChar uxMaskCharLower(TuxMaskChar Ch);

// A mask position.
class TuxStandardMaskCustomItem {
 public:
  virtual ~TuxStandardMaskCustomItem() = default;
  // Whether the position takes Ch; a position with case conversion rewrites Ch
  // by it whether or not it takes it.
  virtual bool Check(TuxMaskChar& Ch) const = 0;
};

// A position that holds one fixed character.
class TuxStandardMaskLiteralItem : public TuxStandardMaskCustomItem {
 public:
  explicit TuxStandardMaskLiteralItem(TuxMaskChar Literal) : FLiteral(Literal) {}
  bool Check(TuxMaskChar& Ch) const override { return Ch == FLiteral; }
  TuxMaskChar Literal() const { return FLiteral; }

 private:
  TuxMaskChar FLiteral;
};

// Case conversion of a position.
enum TuxStandardMaskCaseConversion { smccUpper = 0, smccLower = 1, smccNone = 2 };

// A position the user fills.
class TuxStandardMaskManyItem : public TuxStandardMaskCustomItem {
 public:
  TuxStandardMaskManyItem(bool Optional, TuxStandardMaskCaseConversion CaseConversion)
      : FOptional(Optional), FCaseConversion(CaseConversion) {}
  bool Check(TuxMaskChar& Ch) const final;
  bool Optional() const { return FOptional; }
  TuxStandardMaskCaseConversion CaseConversion() const { return FCaseConversion; }

 protected:
  // Whether the position takes Ch as typed (before case conversion). The
  // answer depends only on whether Ch is a digit, a letter, '+' or '-', or
  // something else.
  virtual bool Accepts(TuxMaskChar Ch) const = 0;

 private:
  bool FOptional;
  TuxStandardMaskCaseConversion FCaseConversion;
};

// 'A'..'Z', 'a'..'z'.
class TuxStandardMaskAlphaItem : public TuxStandardMaskManyItem {
 public:
  using TuxStandardMaskManyItem::TuxStandardMaskManyItem;

 protected:
  bool Accepts(TuxMaskChar Ch) const override;
};

// '0'..'9', 'A'..'Z', 'a'..'z'.
class TuxStandardMaskAlphaNumericItem : public TuxStandardMaskManyItem {
 public:
  using TuxStandardMaskManyItem::TuxStandardMaskManyItem;

 protected:
  bool Accepts(TuxMaskChar Ch) const override;
};

// Every character, a double-byte one included.
class TuxStandardMaskASCIIItem : public TuxStandardMaskManyItem {
 public:
  using TuxStandardMaskManyItem::TuxStandardMaskManyItem;

 protected:
  bool Accepts(TuxMaskChar Ch) const override { return true; }
};

// '0'..'9'.
class TuxStandardMaskNumericItem : public TuxStandardMaskManyItem {
 public:
  using TuxStandardMaskManyItem::TuxStandardMaskManyItem;

 protected:
  bool Accepts(TuxMaskChar Ch) const override;
};

// '0'..'9', '+', '-'.
class TuxStandardMaskNumericSymbolItem : public TuxStandardMaskManyItem {
 public:
  using TuxStandardMaskManyItem::TuxStandardMaskManyItem;

 protected:
  bool Accepts(TuxMaskChar Ch) const override;
};

// A compiled standard mask.
//
// Mask characters: "L"/"l" letter, "A"/"a" letter or digit, "C"/"c" any
// character, "0"/"9" digit (upper case or "0": required, else optional), "#"
// digit or sign (optional), ":" and "/" the locale's time and date separators
// (read when the mask is set), "\" makes the next character a literal, ">"
// and "<" convert the following positions to upper or lower case and "<>"
// ends conversion, a leading "!" fills texts from the right, and a closing
// ";1;_" or ";0" says whether literal characters are part of the value text
// and which character is the blank. Every other character is a literal.
class TuxStandardMask {
 public:
  TuxStandardMask();
  ~TuxStandardMask();
  TuxStandardMask(const TuxStandardMask&) = delete;
  TuxStandardMask& operator=(const TuxStandardMask&) = delete;

  // Clears the settings, stores Mask and compiles it.
  void SetMask(const AnsiString& Mask);
  const AnsiString& GetMask() const { return FMask; }
  bool Leading() const { return FLeading; }
  bool SaveLiteralCharacters() const { return FSaveLiteralCharacters; }
  TuxMaskChar Blank() const { return FBlank; }

  // Puts the characters of Text into the positions that take them, from the
  // left (from the right for a leading mask). ConvertCase: a position receives
  // the character in its converted case. KeepLiteralsOfInput: literal
  // positions are tried even when literal characters are not saved.
  void Format(AnsiString& Text, bool ConvertCase, bool KeepLiteralsOfInput) const;
  // The value text of a shown text: blanks become spaces; literal characters
  // are kept only when they are saved.
  void GetValueText(AnsiString& Text) const;
  // Whether Text fills the mask; case conversion is applied to Text in place.
  bool IsValid(AnsiString& Text) const;
  // Literal characters and blanks.
  void GetEmptyText(AnsiString& Text) const;
  // Spaces, and literal characters when they are saved.
  void GetEmptyValueText(AnsiString& Text) const;

  int Count() const { return static_cast<int>(FItems.size()); }
  TuxStandardMaskCustomItem* Items(int Index) const;

 private:
  void Clear();
  void Compile(const std::vector<TuxMaskChar>& Mask);
  void AddItem(std::unique_ptr<TuxStandardMaskCustomItem> Item);
  void PrepareFormat();
  // The first position from Position on in the reading direction that takes
  // Ch (as a character it accepts, or as an input blank on a non-literal
  // position), or -1.
  int FindPosition(TuxMaskChar Ch, int Position, bool TryLiterals) const;
  bool IsLiteral(int Index) const;

  AnsiString FMask;
  bool FLeading = false;
  bool FSaveLiteralCharacters = true;
  TuxMaskChar FBlank = '_';
  std::vector<std::unique_ptr<TuxStandardMaskCustomItem>> FItems;

  // What Format needs to find a position without trying every position:
  // the character kinds each non-literal position takes, the kinds some
  // position from there on (in reading direction) takes, and where each
  // literal character stands.
  std::vector<Byte> FKinds;
  std::vector<Byte> FKindsAhead;
  std::map<TuxMaskChar, std::vector<int>> FLiteralPositions;
};
