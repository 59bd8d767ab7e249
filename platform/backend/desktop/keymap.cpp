// Toolkit key codes to virtual-key codes. The toolkit reports the symbol a key
// produced (Shift+1 gives '!'), so shifted symbols map back to the key that
// carries them on a US layout, which is what the virtual-key code names.
#include "platform/backend/desktop/keymap.h"
#include <QSystemTrayIcon>
#include <Qt>

namespace {
enum : unsigned {
  kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kShift = 0x10, kControl = 0x11, kMenu = 0x12, kPause = 0x13,
  kCapital = 0x14, kEscape = 0x1B, kSpace = 0x20, kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24,
  kLeft = 0x25, kUp = 0x26, kRight = 0x27, kDown = 0x28, kSnapshot = 0x2C, kInsert = 0x2D, kDelete = 0x2E,
  kHelp = 0x2F, kLWin = 0x5B, kApps = 0x5D, kNumpad0 = 0x60, kMultiply = 0x6A, kAdd = 0x6B, kSubtract = 0x6D,
  kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70, kNumLock = 0x90, kScroll = 0x91, kClear = 0x0C,
  kOem1 = 0xBA, kOemPlus = 0xBB, kOemComma = 0xBC, kOemMinus = 0xBD, kOemPeriod = 0xBE, kOem2 = 0xBF,
  kOem3 = 0xC0, kOem4 = 0xDB, kOem5 = 0xDC, kOem6 = 0xDD, kOem7 = 0xDE,
};
// X key codes of the right-hand Ctrl and Alt keys (evdev + 8).
constexpr std::uint32_t kXRightCtrl = 105, kXRightAlt = 108;
}  // namespace

VirtualKey KeyToVirtualKey(int key, bool keypad, std::uint32_t nativeScan) {
  VirtualKey r;
  auto set = [&](unsigned vk, bool ext = false) {
    r.vk = vk;
    r.extended = ext;
    return r;
  };
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return set(unsigned(key));
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return set(keypad ? kNumpad0 + unsigned(key - Qt::Key_0) : unsigned(key));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return set(kF1 + unsigned(key - Qt::Key_F1));
  // navigation keys are extended unless they come from the keypad
  bool nav = !keypad;
  switch (key) {
    case Qt::Key_Escape: return set(kEscape);
    case Qt::Key_Tab: case Qt::Key_Backtab: return set(kTab);
    case Qt::Key_Backspace: return set(kBack);
    case Qt::Key_Return: return set(kReturn);
    case Qt::Key_Enter: return set(kReturn, true);
    case Qt::Key_Insert: return set(kInsert, nav);
    case Qt::Key_Delete: return set(kDelete, nav);
    case Qt::Key_Pause: return set(kPause);
    case Qt::Key_Print: case Qt::Key_SysReq: return set(kSnapshot, true);
    case Qt::Key_Clear: return set(kClear);
    case Qt::Key_Home: return set(kHome, nav);
    case Qt::Key_End: return set(kEnd, nav);
    case Qt::Key_Left: return set(kLeft, nav);
    case Qt::Key_Up: return set(kUp, nav);
    case Qt::Key_Right: return set(kRight, nav);
    case Qt::Key_Down: return set(kDown, nav);
    case Qt::Key_PageUp: return set(kPrior, nav);
    case Qt::Key_PageDown: return set(kNext, nav);
    case Qt::Key_Shift: return set(kShift);
    case Qt::Key_Control: return set(kControl, nativeScan == kXRightCtrl);
    case Qt::Key_Alt: return set(kMenu, nativeScan == kXRightAlt);
    case Qt::Key_AltGr: return set(kMenu, true);
    case Qt::Key_Meta: case Qt::Key_Super_L: return set(kLWin, true);
    case Qt::Key_Super_R: return set(kLWin + 1, true);
    case Qt::Key_Menu: return set(kApps, true);
    case Qt::Key_CapsLock: return set(kCapital);
    case Qt::Key_NumLock: return set(kNumLock, true);
    case Qt::Key_ScrollLock: return set(kScroll);
    case Qt::Key_Help: return set(kHelp);
    case Qt::Key_Space: return set(kSpace);
    default: break;
  }
  if (keypad) {
    switch (key) {
      case Qt::Key_Asterisk: return set(kMultiply);
      case Qt::Key_Plus: return set(kAdd);
      case Qt::Key_Minus: return set(kSubtract);
      case Qt::Key_Period: case Qt::Key_Comma: return set(kDecimal);
      case Qt::Key_Slash: return set(kDivide, true);
      default: break;
    }
  }
  switch (key) {
    // the digit row, shifted
    case Qt::Key_ParenRight: return set('0');
    case Qt::Key_Exclam: return set('1');
    case Qt::Key_At: return set('2');
    case Qt::Key_NumberSign: return set('3');
    case Qt::Key_Dollar: return set('4');
    case Qt::Key_Percent: return set('5');
    case Qt::Key_AsciiCircum: return set('6');
    case Qt::Key_Ampersand: return set('7');
    case Qt::Key_Asterisk: return set('8');
    case Qt::Key_ParenLeft: return set('9');
    // the OEM keys, plain and shifted
    case Qt::Key_Semicolon: case Qt::Key_Colon: return set(kOem1);
    case Qt::Key_Equal: case Qt::Key_Plus: return set(kOemPlus);
    case Qt::Key_Comma: case Qt::Key_Less: return set(kOemComma);
    case Qt::Key_Minus: case Qt::Key_Underscore: return set(kOemMinus);
    case Qt::Key_Period: case Qt::Key_Greater: return set(kOemPeriod);
    case Qt::Key_Slash: case Qt::Key_Question: return set(kOem2);
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return set(kOem3);
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return set(kOem4);
    case Qt::Key_Backslash: case Qt::Key_Bar: return set(kOem5);
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return set(kOem6);
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return set(kOem7);
    default: break;
  }
  return r;
}

std::vector<unsigned> TrayMouseMessages(int reason) {
  enum : unsigned {
    kLButtonDown = 0x0201, kLButtonUp = 0x0202, kLButtonDblClk = 0x0203, kRButtonDown = 0x0204,
    kRButtonUp = 0x0205, kMButtonDown = 0x0207, kMButtonUp = 0x0208,
  };
  // the toolkit reports whole clicks; the callback hears both halves, the
  // second press of a double click as the double click
  switch (reason) {
    case QSystemTrayIcon::Trigger: return {kLButtonDown, kLButtonUp};
    case QSystemTrayIcon::DoubleClick: return {kLButtonDblClk, kLButtonUp};
    case QSystemTrayIcon::Context: return {kRButtonDown, kRButtonUp};
    case QSystemTrayIcon::MiddleClick: return {kMButtonDown, kMButtonUp};
    default: return {};
  }
}
