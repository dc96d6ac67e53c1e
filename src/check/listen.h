// BkCheck --listen: one line for every report of the remote, saying what BkRemote makes of it,
// decided by BkRemote's own code; and the few facts around it (is BkRemote running, is the layout
// shown, is the remote connected) whenever they change. It only reads: it sends no key and
// changes nothing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "platform/os.h"

namespace bk::check {

// Of the collections that BkRemote registers, the remote's are those of its receiver: the device
// that offers the vendor collections. Any other device's reach BkRemote too, as a keyboard's
// media keys do.
struct ListenState {
  bool bkremoteRunning = false;
  bool layoutShown = false;
  std::vector<HidDevice> remoteDevices;
  std::vector<HidDevice> otherDevices;
};

// BkRemote's single-instance mutex, its input window's visibility and the connected devices
// that offer a collection that BkRemote registers. The devices stay as in `last` when Windows
// cannot list them.
ListenState ReadListenState(const ListenState& last);

class Listener {
 public:
  explicit Listener(std::FILE* out) : out_(out) {}

  // Takes the binding folder beside the checker, as BkRemote takes the one beside itself, and
  // tells it and the state.
  void Start();
  // Tells what changed since the last look; the first time, all of it.
  void Poll(std::uint64_t ms);
  // One WM_INPUT: a line per report.
  void Input(std::uint64_t ms, std::intptr_t rawInputHandle);

  // The line of one report: time, collection, bytes, code, what the code means and what BkRemote
  // does with it now. The layout counts as it was at the last look: BkRemote may already have
  // shown it for this very report.
  // A report of another device than the remote's receiver names it.
  std::string ReportLine(std::uint64_t ms, HidCollection collection, std::uintptr_t device,
                         std::span<const std::uint8_t> report, ButtonCode code);

 private:
  void Say(std::uint64_t ms, const std::string& text);
  std::string Meaning(ButtonCode code);
  std::string MediaButton(std::string_view name);

  std::FILE* out_;
  ListenState state_;
  bool told_ = false;       // the state has been told once
  std::string boundImage_;  // the image name whose binding file is loaded, while one is
};

}  // namespace bk::check
