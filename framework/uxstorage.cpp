#include "framework/uxstorage.h"

#include <algorithm>
#include <string>
#include <vector>

AnsiString uxStreamToHexString(TStream* Stream) {
  if (!Stream || Stream->Size() == 0) return AnsiString();
  static const char Digits[] = "0123456789ABCDEF";
  Stream->SetPosition(0);
  const std::int64_t Size = Stream->Size();
  std::vector<unsigned char> Bytes(static_cast<std::size_t>(Size));
  // In pieces, so that no count passed to the stream overflows its 32-bit type.
  for (std::size_t Done = 0; Done < Bytes.size();) {
    const std::size_t Piece = std::min<std::size_t>(Bytes.size() - Done, 1u << 30);
    Stream->ReadBuffer(Bytes.data() + Done, static_cast<LongInt>(Piece));
    Done += Piece;
  }
  AnsiString Result = "Hex:";
  Result.reserve(4 + Bytes.size() * 2);
  for (unsigned char B : Bytes) {
    Result += Digits[B >> 4];
    Result += Digits[B & 15];
  }
  return Result;
}

static int HexDigit(const AnsiString& Text, std::size_t Pos) {
  const char C = Text[Pos];
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  static const char Digits[] = "0123456789ABCDEF";
  const unsigned char B = static_cast<unsigned char>(C);
  throw EuxHexStringConvertError("Invalid hexadecimal digit $" + AnsiString(1, Digits[B >> 4]) +
                                 AnsiString(1, Digits[B & 15]) + " at position " + std::to_string(Pos + 1) +
                                 " of the stored text");
}

void uxHexStringToStream(const AnsiString& Text, TStream* Stream) {
  if (!Stream || Text.size() <= 5) return;
  // Decode everything first, so that a bad digit leaves the stream untouched.
  std::vector<unsigned char> Bytes;
  Bytes.reserve((Text.size() - 4) / 2);
  for (std::size_t I = 4; I + 1 < Text.size(); I += 2)
    Bytes.push_back(static_cast<unsigned char>(HexDigit(Text, I) * 16 + HexDigit(Text, I + 1)));
  for (std::size_t Done = 0; Done < Bytes.size();) {
    const std::size_t Piece = std::min<std::size_t>(Bytes.size() - Done, 1u << 30);
    Stream->WriteBuffer(Bytes.data() + Done, static_cast<LongInt>(Piece));
    Done += Piece;
  }
}

bool uxStrToBoolean(const AnsiString& Text) {
  auto Same = [&](const char* Word) {
    std::size_t N = std::char_traits<char>::length(Word);
    if (Text.size() != N) return false;
    for (std::size_t I = 0; I < N; ++I) {
      char C = Text[I];
      if (C >= 'a' && C <= 'z') C = char(C - 32);
      if (C != Word[I]) return false;
    }
    return true;
  };
  if (Same("TRUE")) return true;
  if (Same("FALSE")) return false;
  throw EPropertyConvertError("'" + Text + "' is not a valid Boolean value (TRUE or FALSE expected)");
}
