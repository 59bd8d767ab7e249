// Small value types shared by the editor's model classes.
#pragma once
#include "platform/rtl/types.h"

// A position in the text: byte column and line, both 1-based.
struct TBufferCoord {
  int Char = 0;
  int Line = 0;
  bool operator==(const TBufferCoord&) const = default;
};

enum TTxtSelectionMode : Byte { smNormal, smLine, smColumn };
