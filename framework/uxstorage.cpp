#include "framework/uxstorage.h"

#include <vector>

AnsiString uxStreamToHexString(TStream* Stream) {
  if (!Stream || Stream->Size() == 0) return AnsiString();
  static const char Digits[] = "0123456789ABCDEF";
  Stream->SetPosition(0);
  const std::int64_t Size = Stream->Size();
  std::vector<unsigned char> Bytes(static_cast<std::size_t>(Size));
  Stream->ReadBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
  AnsiString Result = "Hex:";
  Result.reserve(4 + Bytes.size() * 2);
  for (unsigned char B : Bytes) {
    Result += Digits[B >> 4];
    Result += Digits[B & 15];
  }
  return Result;
}

static int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  throw EuxHexStringConvertError("");
}

void uxHexStringToStream(const AnsiString& Text, TStream* Stream) {
  if (!Stream || Text.size() <= 5) return;
  // Decode everything first, so that a bad digit leaves the stream untouched.
  std::vector<unsigned char> Bytes;
  Bytes.reserve((Text.size() - 4) / 2);
  for (std::size_t I = 4; I + 1 < Text.size(); I += 2)
    Bytes.push_back(static_cast<unsigned char>(HexDigit(Text[I]) * 16 + HexDigit(Text[I + 1])));
  if (!Bytes.empty()) Stream->WriteBuffer(Bytes.data(), static_cast<LongInt>(Bytes.size()));
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
  throw EPropertyConvertError("");
}
