// Translation of the toolkit's key codes into virtual-key codes.
#pragma once
#include <cstdint>

struct VirtualKey {
  unsigned vk = 0;        // 0: the key has no virtual-key code
  bool extended = false;  // the extended-key bit of the key messages
};

// `key` is a toolkit key code, `keypad` whether the key is on the numeric keypad,
// `nativeScan` the X key code (0 when unknown; it tells right Ctrl and Alt apart).
VirtualKey KeyToVirtualKey(int key, bool keypad, std::uint32_t nativeScan);
