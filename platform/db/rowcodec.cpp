#include "platform/db/rowcodec.h"

#include <algorithm>
#include <cstring>

#include "platform/db/sqlite_wrap.h"
#include "platform/rtl/strings.h"

namespace pvdb {

namespace {
void PutU32(std::string& out, std::uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
std::uint32_t GetU32(const char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
// The bytes a text or blob kept apart from its row starts at.
const char* OutOfLine(const char* p) {
  const char* at;
  std::memcpy(&at, p + 5, sizeof at);
  return at;
}
// Size of the cell starting at P (tag included).
size_t CellSize(const char* p) {
  switch (static_cast<unsigned char>(*p)) {
    case kNull: return 1;
    case kInt32: return 5;
    case kInt64:
    case kFloat: return 9;
    case kTextRef:
    case kBlobRef: return 5 + sizeof(const char*);
    default: return 5 + GetU32(p + 1);
  }
}
}  // namespace

// A text or blob: inline, or when long and the arena is given, as its size
// and the address of its bytes in the arena.
static void PackBytes(std::string& out, std::string_view bytes, PackTag inlineTag, PackTag refTag, RowArena* arena) {
  constexpr size_t kInlineMax = 64;
  if (arena && bytes.size() > kInlineMax) {
    const char* at = arena->AddOutOfLine(bytes).data();
    out.push_back(static_cast<char>(refTag));
    PutU32(out, static_cast<std::uint32_t>(bytes.size()));
    out.append(reinterpret_cast<const char*>(&at), sizeof at);
    return;
  }
  out.push_back(static_cast<char>(inlineTag));
  PutU32(out, static_cast<std::uint32_t>(bytes.size()));
  out.append(bytes);
}

void PackColumn(std::string& out, const pvsql::Stmt& st, int col, RowArena* arena) {
  switch (st.Type(col)) {
    case pvsql::ColType::Null:
      out.push_back(static_cast<char>(kNull));
      break;
    case pvsql::ColType::Integer: {
      Int64 v = st.Int(col);
      if (v >= INT32_MIN && v <= INT32_MAX) {
        out.push_back(static_cast<char>(kInt32));
        std::int32_t i = static_cast<std::int32_t>(v);
        out.append(reinterpret_cast<const char*>(&i), 4);
      } else {
        out.push_back(static_cast<char>(kInt64));
        out.append(reinterpret_cast<const char*>(&v), 8);
      }
      break;
    }
    case pvsql::ColType::Float: {
      double d = st.Double(col);
      out.push_back(static_cast<char>(kFloat));
      out.append(reinterpret_cast<const char*>(&d), 8);
      break;
    }
    case pvsql::ColType::Text:
      PackBytes(out, st.Text(col), kText, kTextRef, arena);
      break;
    case pvsql::ColType::Blob:
      PackBytes(out, st.Blob(col), kBlob, kBlobRef, arena);
      break;
  }
}

static void DecodeAt(const char* p, Cell& out) {
  switch (static_cast<unsigned char>(*p)) {
    case kNull:
      out.kind = Cell::Null;
      out.s.clear();
      break;
    case kInt32: {
      std::int32_t i;
      std::memcpy(&i, p + 1, 4);
      out.kind = Cell::Int;
      out.i = i;
      break;
    }
    case kInt64:
      out.kind = Cell::Int;
      std::memcpy(&out.i, p + 1, 8);
      break;
    case kFloat:
      out.kind = Cell::Float;
      std::memcpy(&out.d, p + 1, 8);
      break;
    case kText:
      out.kind = Cell::Text;
      out.s = Utf8ToAnsi(std::string_view(p + 5, GetU32(p + 1)));
      break;
    case kTextRef:
      out.kind = Cell::Text;
      out.s = Utf8ToAnsi(std::string_view(OutOfLine(p), GetU32(p + 1)));
      break;
    case kBlobRef:
      out.kind = Cell::Blob;
      out.s.assign(OutOfLine(p), GetU32(p + 1));
      break;
    default:
      out.kind = Cell::Blob;
      out.s.assign(p + 5, GetU32(p + 1));
      break;
  }
}

bool DecodeColumn(std::string_view data, int col, Cell& out) {
  const char* p = data.data();
  const char* end = p + data.size();
  for (int k = 0; k < col; ++k) {
    if (p >= end) return false;
    p += CellSize(p);
  }
  if (p >= end) return false;
  DecodeAt(p, out);
  return true;
}

void DecodeAll(std::string_view data, int count, std::vector<Cell>& out) {
  out.assign(count, Cell{});
  const char* p = data.data();
  const char* end = p + data.size();
  for (int k = 0; k < count && p < end; ++k) {
    DecodeAt(p, out[k]);
    p += CellSize(p);
  }
}

const Cell* DecodedRow::Get(std::string_view data, int col) {
  if (col < 0) return nullptr;
  if (data.data() != FData || data.size() != FSize || FStamp == 0) {
    FData = data.data();
    FSize = data.size();
    FScanned = 0;
    if (++FStamp == 0) {  // wrapped: forget every stamp
      for (Slot& s : FSlots) s.Stamp = 0;
      FStamp = 1;
    }
  }
  const size_t want = static_cast<size_t>(col);
  if (FSlots.size() <= want) FSlots.resize(want + 1);
  while (FScanned <= want) {
    size_t at = 0;
    if (FScanned > 0) at = FSlots[FScanned - 1].Offset + CellSize(FData + FSlots[FScanned - 1].Offset);
    if (at >= FSize) return nullptr;
    FSlots[FScanned++].Offset = static_cast<std::uint32_t>(at);
  }
  Slot& slot = FSlots[want];
  if (slot.Stamp != FStamp) {
    DecodeAt(FData + slot.Offset, slot.Value);
    slot.Stamp = FStamp;
  }
  return &slot.Value;
}

void DecodedRow::Reset() {
  FData = nullptr;
  FSize = 0;
  FScanned = 0;
  FStamp = 0;
  FSlots.clear();
}

std::string_view RowArena::Blocks::Add(std::string_view data) {
  constexpr size_t kBlock = 1 << 20;
  if (Used + data.size() > Capacity || List.empty()) {
    Capacity = std::max(kBlock, data.size());
    List.push_back(std::unique_ptr<char[]>(new char[Capacity]));  // no need to clear it
    Used = 0;
  }
  char* p = List.back().get() + Used;
  if (!data.empty()) std::memcpy(p, data.data(), data.size());
  Used += data.size();
  return std::string_view(p, data.size());
}

void RowArena::Blocks::Clear() {
  List.clear();
  Used = Capacity = 0;
}

}  // namespace pvdb
