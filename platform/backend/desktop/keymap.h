// Translation of the toolkit's input into the platform's terms: key codes into
// virtual-key codes, notification-icon activations into mouse messages.
#pragma once
#include <cstdint>
#include <vector>

struct VirtualKey {
  unsigned vk = 0;        // 0: the key has no virtual-key code
  bool extended = false;  // the extended-key bit of the key messages
};

// `key` is a toolkit key code, `keypad` whether the key is on the numeric keypad,
// `nativeScan` the X key code (0 when unknown; it tells right Ctrl and Alt apart).
VirtualKey KeyToVirtualKey(int key, bool keypad, std::uint32_t nativeScan);

// The mouse messages (WM_*) a notification icon reports for the toolkit's
// activation reason `reason` (a QSystemTrayIcon::ActivationReason), in order;
// empty for reasons that are no click.
std::vector<unsigned> TrayMouseMessages(int reason);
