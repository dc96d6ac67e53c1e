// A Raw Input sink of our own for the remote's collections, in a thread of the calling process.
// It sees every report that Wine delivers to RIDEV_INPUTSINK registrations of those collections,
// which is how a tool proves that a report went through the driver and hidclass for real.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bk::vremote {

struct ReceivedReport {
  double timeMs;  // NowMs() when WM_INPUT was read
  std::uintptr_t device;
  std::uint16_t usagePage;
  std::uint16_t usage;
  std::vector<std::uint8_t> bytes;  // one report, report id first
};

class RawInputSink {
 public:
  RawInputSink();
  ~RawInputSink();
  RawInputSink(const RawInputSink&) = delete;
  RawInputSink& operator=(const RawInputSink&) = delete;

  // Starts the thread, its window and the registration; false if any of them failed.
  bool Start(std::string* why = nullptr);
  std::vector<ReceivedReport> Reports() const;
  std::size_t Count() const;

  struct State;  // shared with the sink's thread

 private:
  State* state_;
};

}  // namespace bk::vremote
