// Reading the X clipboard (the CLIPBOARD selection) that another program
// holds, over a connection of our own, so that the toolkit's event queue is
// never touched while waiting. Large data arrives in pieces (the INCR
// protocol). Every wait is bounded: when the holder sends nothing for the
// stall limit, the read fails with a message that says so.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct xcb_connection_t;

class XSelectionReader {
 public:
  XSelectionReader() = default;
  ~XSelectionReader();
  XSelectionReader(const XSelectionReader&) = delete;
  XSelectionReader& operator=(const XSelectionReader&) = delete;

  // The targets (format names) the holder offers; false with `error` set when
  // it did not answer, false with an empty error when nobody holds the clipboard.
  bool Targets(std::vector<std::string>& out, std::string& error);
  // The data of `target`; false with an empty error when the holder has no such
  // format (or there is no holder), false with `error` set when it failed.
  bool Read(const std::string& target, std::string& out, std::string& error);

  // How long the holder may stay silent before a read fails (5 s at first).
  void SetStallLimit(int ms) { stallMs_ = ms; }
  // The largest transfer taken (256 MiB at first); a larger one fails.
  void SetSizeLimit(std::size_t bytes) { sizeLimit_ = bytes; }

 private:
  bool Connect(std::string& error);
  std::uint32_t Atom(const std::string& name);
  // Reads the whole property from our window and deletes it; its type is set.
  bool TakeProperty(std::string& out, std::uint32_t& type, std::string& error);
  // Waits for the next event that `match` accepts, at most `ms`; null on time-out.
  template <class Match>
  void* WaitFor(Match match, int ms);

  xcb_connection_t* c_ = nullptr;
  std::uint32_t window_ = 0;
  std::uint32_t property_ = 0;
  std::map<std::string, std::uint32_t> atoms_;
  int stallMs_ = 5000;
  std::size_t sizeLimit_ = std::size_t(256) << 20;
};
