#include "platform/backend/desktop/xselection.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

std::string Seconds(int ms) {
  const int tenths = (ms + 50) / 100;
  return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") + " s";
}

}  // namespace

XSelectionReader::~XSelectionReader() {
  if (c_) xcb_disconnect(c_);
}

bool XSelectionReader::Connect(std::string& error) {
  if (c_ && !xcb_connection_has_error(c_)) return true;
  if (c_) xcb_disconnect(c_);
  atoms_.clear();
  int screenNumber = 0;
  c_ = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c_)) {
    xcb_disconnect(c_);
    c_ = nullptr;
    error = "Cannot reach the display to read the clipboard";
    return false;
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  // an invisible window that receives the data and hears of its pieces
  window_ = xcb_generate_id(c_);
  const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, it.data->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                    XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
  property_ = Atom("PENVARRO_CLIPBOARD");
  return true;
}

std::uint32_t XSelectionReader::Atom(const std::string& name) {
  auto it = atoms_.find(name);
  if (it != atoms_.end()) return it->second;
  auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(name.size()), name.c_str()), nullptr);
  const std::uint32_t a = r ? r->atom : std::uint32_t(XCB_ATOM_NONE);
  free(r);
  if (a != XCB_ATOM_NONE) atoms_[name] = a;
  return a;
}

template <class Match>
void* XSelectionReader::WaitFor(Match match, int ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
      if (match(e)) return e;
      free(e);
    }
    if (xcb_connection_has_error(c_)) return nullptr;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return nullptr;
    pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
    poll(&p, 1, int(left));
  }
}

bool XSelectionReader::TakeProperty(std::string& out, std::uint32_t& type, std::string& error) {
  out.clear();
  std::uint32_t offset = 0;  // in 32-bit units
  for (;;) {
    // a property that is read to its end is deleted with the last request
    auto* r = xcb_get_property_reply(
        c_, xcb_get_property(c_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, offset, 1u << 20), nullptr);
    if (!r) {
      error = "The clipboard's data could not be read from the display";
      return false;
    }
    type = r->type;
    const int length = xcb_get_property_value_length(r);
    const bool more = r->bytes_after > 0;
    if (length > 0) out.append(static_cast<const char*>(xcb_get_property_value(r)), std::size_t(length));
    free(r);
    if (out.size() > sizeLimit_) {
      error = "The clipboard holds more than " + std::to_string(sizeLimit_ >> 20) + " MB; nothing was taken";
      return false;
    }
    if (!more) return true;
    offset += std::uint32_t(length / 4);
  }
}

bool XSelectionReader::Read(const std::string& target, std::string& out, std::string& error) {
  error.clear();
  if (!Connect(error)) return false;
  const std::uint32_t clipboard = Atom("CLIPBOARD"), incr = Atom("INCR"), wanted = Atom(target);
  auto* owner = xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, clipboard), nullptr);
  const bool held = owner && owner->owner != XCB_NONE;
  free(owner);
  if (!held || wanted == XCB_ATOM_NONE) return false;
  xcb_delete_property(c_, window_, property_);
  xcb_convert_selection(c_, window_, clipboard, wanted, property_, XCB_CURRENT_TIME);
  xcb_flush(c_);
  const std::uint32_t window = window_;
  auto* e = static_cast<xcb_selection_notify_event_t*>(WaitFor(
      [&](xcb_generic_event_t* g) {
        if ((g->response_type & 0x7F) != XCB_SELECTION_NOTIFY) return false;
        auto* n = reinterpret_cast<xcb_selection_notify_event_t*>(g);
        return n->requestor == window && n->selection == clipboard;
      },
      stallMs_));
  if (!e) {
    error = "The program holding the clipboard did not answer within " + Seconds(stallMs_) +
            "; nothing was taken from it";
    return false;
  }
  const bool refused = e->property == XCB_NONE;
  free(e);
  if (refused) return false;
  std::uint32_t type = 0;
  std::string data;
  if (!TakeProperty(data, type, error)) return false;
  if (type != incr) {
    out.swap(data);
    return true;
  }
  // In pieces: each comes after the last was deleted; an empty one ends them.
  std::uint32_t announced = 0;
  if (data.size() >= 4) std::memcpy(&announced, data.data(), 4);
  std::string all;
  all.reserve(std::min<std::size_t>(announced, sizeLimit_));
  const std::uint32_t property = property_;
  for (;;) {
    auto* p = static_cast<xcb_generic_event_t*>(WaitFor(
        [&](xcb_generic_event_t* g) {
          if ((g->response_type & 0x7F) != XCB_PROPERTY_NOTIFY) return false;
          auto* n = reinterpret_cast<xcb_property_notify_event_t*>(g);
          return n->window == window && n->atom == property && n->state == XCB_PROPERTY_NEW_VALUE;
        },
        stallMs_));
    if (!p) {
      error = "The program holding the clipboard stopped answering after " + std::to_string(all.size()) +
              (announced ? " of " + std::to_string(announced) : std::string()) + " bytes (nothing for " +
              Seconds(stallMs_) + "); nothing was taken from it";
      return false;
    }
    free(p);
    std::string piece;
    if (!TakeProperty(piece, type, error)) return false;
    if (piece.empty()) break;
    if (all.size() + piece.size() > sizeLimit_) {
      error = "The clipboard holds more than " + std::to_string(sizeLimit_ >> 20) + " MB; nothing was taken";
      return false;
    }
    all += piece;
  }
  out.swap(all);
  return true;
}

bool XSelectionReader::Targets(std::vector<std::string>& out, std::string& error) {
  out.clear();
  std::string raw;
  if (!Read("TARGETS", raw, error)) return false;
  std::vector<xcb_get_atom_name_cookie_t> cookies;
  for (std::size_t i = 0; i + 4 <= raw.size(); i += 4) {
    std::uint32_t a;
    std::memcpy(&a, raw.data() + i, 4);
    if (a != XCB_ATOM_NONE) cookies.push_back(xcb_get_atom_name(c_, a));
  }
  for (auto cookie : cookies) {
    auto* r = xcb_get_atom_name_reply(c_, cookie, nullptr);
    if (!r) continue;
    out.emplace_back(xcb_get_atom_name_name(r), std::size_t(xcb_get_atom_name_name_length(r)));
    free(r);
  }
  return true;
}
