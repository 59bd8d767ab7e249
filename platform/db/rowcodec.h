// Packed rows of a dataset snapshot: each column as a tag byte and its value,
// as read from the file (text in UTF-8). Decoding converts text to CP936.
#pragma once
#include <string>
#include "platform/db/db.h"

namespace pvsql { class Stmt; }

namespace pvdb {

// kTextRef and kBlobRef hold the size and the address of bytes kept apart in
// a row arena; the row is valid only as long as that arena.
enum PackTag : unsigned char { kNull = 0, kInt32 = 1, kInt64 = 2, kFloat = 3, kText = 4, kBlob = 5, kTextRef = 6, kBlobRef = 7 };

// Appends column Col of the statement's current row. Long texts and blobs go
// apart into Arena when one is given.
void PackColumn(std::string& Out, const pvsql::Stmt& St, int Col, RowArena* Arena = nullptr);
// Reads column Col (0-based) of a packed row; false when the row has fewer columns.
bool DecodeColumn(std::string_view Data, int Col, Cell& Out);
// Decodes every column.
void DecodeAll(std::string_view Data, int Count, std::vector<Cell>& Out);

}  // namespace pvdb
