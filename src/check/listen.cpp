#include "check/listen.h"

#include <algorithm>
#include <cinttypes>

#include "app/button_dispatch.h"
#include "app/report_decoding.h"
#include "app/startup.h"
#include "app/vendor_buttons.h"
#include "bindings/binding_file.h"
#include "bindings/foreground_tracking.h"
#include "bindings/key_names.h"
#include "state/program_state.h"
#include "windows/viewer_launch.h"

namespace bk::check {

namespace {

std::string Stamp(std::uint64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%7" PRIu64 " ms  ", ms);
  return text;
}

std::string CollectionText(HidCollection collection) {
  char text[sizeof "FFFF/FFFF"];
  std::snprintf(text, sizeof text, "%04X/%04X", collection.usagePage, collection.usage);
  return text;
}

std::string BytesText(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    text += (text.empty() ? "" : " ") + std::string(hex);
  }
  return text;
}

// Registry text is wide: ASCII as it is, anything else as \uXXXX, so that a pasted line is exact.
std::string Narrow(std::u16string_view text) {
  std::string narrow;
  for (char16_t ch : text) {
    if (ch >= 0x20 && ch < 0x7F) {
      narrow += static_cast<char>(ch);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(ch));
      narrow += escaped;
    }
  }
  return narrow;
}

// A chord in the key names of binding files: the first name in the table with each key's value.
std::string ChordText(const KeySequence& keys) {
  std::string text;
  for (KeyValue key : keys) {
    const auto named = std::find_if(KeyNameTable.begin(), KeyNameTable.end(),
                                    [key](const auto& entry) { return entry.second == key; });
    text += text.empty() ? "" : "+";
    text += named != KeyNameTable.end() ? named->first : "?";
  }
  return text;
}

std::string BaseName(std::string_view imageName) {
  return std::string(imageName.substr(imageName.rfind('\\') + 1));
}

// The device part of a HID device name, "\\?\HID#VID_1784&PID_0008&MI_01&Col02#7&2f&0&0000#{...}":
// between the first two '#', without the interface and the collection, so that every collection
// of one receiver gives the same text: "VID_1784&PID_0008", or "BKVREMOTE" for the virtual remote.
std::string DeviceOf(std::string_view name) {
  const std::size_t start = name.find('#') + 1;
  std::string part(name.substr(start, name.find('#', start) - start));
  for (char& ch : part) ch = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 32) : ch;
  for (std::string_view inner : {"&MI_", "&COL"}) {
    const std::size_t at = part.find(inner);
    if (at != std::string::npos) part.erase(at, part.find('&', at + 1) - at);
  }
  return part;
}

bool LayoutShown() {
  const WindowId window = os().desktop->FindTopWindow(kInputWindowName);
  return window != 0 && os().desktop->IsVisible(window);
}

std::string VendorName(std::uint8_t number) {
  switch (number) {
    case kVendorRelease:
      return "release";
    case kViewerButton:
      return "viewer button";
    case kInputButton:
      return "INPUT";
    default:
      return std::string("button ") + static_cast<char>('A' + (number - kButtonA));
  }
}

std::string ViewerText() {
  if (const char* held = SiblingMutexHeld()) {
    return std::string("starts nothing: a sibling program holds ") + held;
  }
  char16_t path[kViewerPathChars];
  if (!ReadViewerPath(path)) {
    return "starts nothing: no viewer is registered in HKCU\\" + Narrow(kViewerKey) +
           Narrow(kViewerValue);
  }
  return "starts \"" + Narrow(path) + "\" " + Narrow(kViewerArgument) + " " +
         std::to_string(kViewerDelayMs) + " ms after the last press";
}

std::string VendorText(std::uint8_t number, bool shown) {
  using Kind = VendorAction::Kind;
  const VendorAction action = DecideVendorButton(number, shown);
  const std::string name = VendorName(number) + ": ";
  switch (action.kind) {
    case Kind::None:
      break;
    case Kind::InputRelease:
      return name + "hides the layout if INPUT was pressed briefly while it was shown";
    case Kind::StartViewer:
      return name + ViewerText();
    case Kind::ShowLayout:
      return name + "shows the layout";
    case Kind::HoldInput:
      return name + "hides the layout on release, or held for 1 s switches the layout";
    case Kind::TapSymbol:
      return name + "tap symbol \"" + action.symbol + "\" on the layout";
    case Kind::SwitcherStep:
      return name + "steps the window switcher";
    case Kind::Minimise:
      return name + "minimises the window in front and activates the next one";
    case Kind::MaximiseOrRestore:
      return name + "maximises the window in front, or restores it";
    case Kind::Close:
      return name + "asks the window in front to close";
  }
  return name + "nothing";
}

}  // namespace

ListenState ReadListenState(const ListenState& last) {
  ListenState state;
  state.bkremoteRunning = SiblingHoldsMutex(kInstanceMutexName);
  state.layoutShown = LayoutShown();
  std::vector<HidDevice> devices;
  if (!os().rawInput->HidDevices(&devices)) {
    state.remoteDevices = last.remoteDevices;
    state.otherDevices = last.otherDevices;
    return state;
  }
  std::sort(devices.begin(), devices.end(),
            [](const HidDevice& a, const HidDevice& b) { return a.name < b.name; });
  std::vector<std::string> receivers;
  for (const HidDevice& device : devices) {
    if (device.collection.usagePage == 0xFFAA || device.collection.usagePage == 0xFFBC) {
      receivers.push_back(DeviceOf(device.name));
    }
  }
  const auto registrations = RemoteRegistrations(0);
  for (HidDevice& device : devices) {
    if (std::none_of(registrations.begin(), registrations.end(), [&](const auto& wanted) {
          return device.collection == HidCollection{wanted.usagePage, wanted.usage};
        })) {
      continue;
    }
    const bool remote =
        std::find(receivers.begin(), receivers.end(), DeviceOf(device.name)) != receivers.end();
    (remote ? state.remoteDevices : state.otherDevices).push_back(std::move(device));
  }
  return state;
}

void Listener::Say(std::uint64_t ms, const std::string& text) {
  std::fprintf(out_, "%s%s\n", Stamp(ms).c_str(), text.c_str());
  std::fflush(out_);
}

void Listener::Start() {
  std::string path(kModulePathSize, '\0');
  const std::uint32_t written = os().kernel->ModuleFileName(path.data(), kModulePathSize);
  programDir = ProgramDirFromModulePath(
      std::string_view(path).substr(0, std::min(written, kModulePathSize)), kModulePathSize);
  std::fprintf(out_,
               "BkCheck --listen: a line for every report of the remote and what BkRemote does "
               "with it. To end, type q and Enter, or press Ctrl-C.\n"
               "Binding files are read from %sappbindings\\\n",
               programDir.c_str());
  Poll(0);
}

void Listener::Poll(std::uint64_t ms) {
  ListenState now = ReadListenState(state_);
  const bool first = !told_;
  told_ = true;
  if (first || now.bkremoteRunning != state_.bkremoteRunning) {
    Say(ms, now.bkremoteRunning ? "BkRemote is running"
                                : "BkRemote is not running: the lines say what it would do");
  }
  if (first || now.layoutShown != state_.layoutShown) {
    Say(ms, now.layoutShown ? "the layout is shown" : "the layout is down");
  }
  if (first || now.remoteDevices != state_.remoteDevices) {
    if (now.remoteDevices.empty()) {
      Say(ms, "no connected device offers the remote's collections: waiting for the remote");
    }
    for (const HidDevice& device : now.remoteDevices) {
      Say(ms, "remote collection " + CollectionText(device.collection) + " on " + device.name);
    }
  }
  if (now.otherDevices != state_.otherDevices) {
    if (now.otherDevices.empty()) Say(ms, "no other device's media keys reach BkRemote now");
    for (const HidDevice& device : now.otherDevices) {
      Say(ms, "another device whose media keys reach BkRemote too: " +
                  CollectionText(device.collection) + " on " + device.name);
    }
  }
  state_ = std::move(now);
}

void Listener::Input(std::uint64_t ms, std::intptr_t rawInputHandle) {
  RawHidBlock block;
  std::vector<ButtonCode> codes;
  if (ReadRawHidBlock(rawInputHandle, &block) == RawRead::Block) {
    codes = ButtonCodesOfBlock(block.collection.usagePage, block.collection.usage, block.reportSize,
                               block.count, block.data);
  }
  if (codes.empty()) Say(ms, "a report that BkRemote cannot read: it drops it");
  for (std::size_t i = 0; const ButtonCode code : codes) {
    const auto report = block.data.subspan(i++ * block.reportSize, block.reportSize);
    std::fprintf(out_, "%s\n",
                 ReportLine(ms, block.collection, block.device, report, code).c_str());
    std::fflush(out_);
  }
}

std::string Listener::ReportLine(std::uint64_t ms, HidCollection collection, std::uintptr_t device,
                                 std::span<const std::uint8_t> report, ButtonCode code) {
  char codeText[sizeof "0x0000000C000100B0"];
  std::snprintf(codeText, sizeof codeText, "0x%016" PRIX64, code);
  const std::string line =
      Stamp(ms) + CollectionText(collection) + "  " + BytesText(report) + "  " + codeText + "  ";
  const auto isIt = [device](const HidDevice& listed) { return listed.handle == device; };
  if (std::any_of(state_.remoteDevices.begin(), state_.remoteDevices.end(), isIt)) {
    return line + Meaning(code);
  }
  const auto other = std::find_if(state_.otherDevices.begin(), state_.otherDevices.end(), isIt);
  return line + Meaning(code) + "  [another device: " +
         (other != state_.otherDevices.end() ? other->name : "one not listed yet") + "]";
}

std::string Listener::Meaning(ButtonCode code) {
  const ButtonMeaning meaning = ClassifyButton(code);
  switch (meaning.kind) {
    case ButtonMeaning::Kind::Media:
      if (state_.layoutShown) {
        return std::string(meaning.name) + ": nothing while the layout is shown";
      }
      return MediaButton(meaning.name);
    case ButtonMeaning::Kind::Vendor:
      return VendorText(meaning.number, state_.layoutShown);
    case ButtonMeaning::Kind::None:
      break;
  }
  return (code & 0xFFFF) == 0 ? "no button down: nothing" : "not a button of the remote: nothing";
}

// Follows the foreground window as BkRemote does at this press, with a copy of its state of its
// own: the binding file is read when BkRemote reads it, and kept while BkRemote keeps it.
std::string Listener::MediaButton(std::string_view name) {
  using Stop = ForegroundApp::Stop;
  const ForegroundApp app = FindForegroundApp();
  BindForegroundApp(app);
  const std::string nothing = std::string(name) + ": sends nothing: ";
  const std::string process = "process " + std::to_string(app.process);
  switch (app.stop) {
    case Stop::NoWindow:
      return nothing + "no window is in front";
    case Stop::NoProcess:
      return nothing + "the window in front has no process";
    case Stop::NotOpened:
      return nothing + "BkRemote cannot open " + process +
             (app.insideFrame ? ", the app inside the Store app's frame in front"
                              : ", which owns the window in front") +
             " (it runs elevated or as another user)";
    case Stop::Found:
      if (BindingFilePath(programDir, app.imageName).empty()) {
        return nothing + process + " in front gives no image name with a folder (\"" +
               app.imageName + "\")";
      }
      if (boundProcessId == 0) {
        return nothing + BaseName(app.imageName) + " in front has no binding file " +
               BindingFilePath(programDir, app.imageName);
      }
      boundImage_ = app.imageName;
      break;
    case Stop::Bound:
      break;
  }
  std::string file = BindingFilePath(programDir, boundImage_);
  if (app.stop == Stop::Bound) file += " (read at an earlier press)";
  const auto bound = AppBindings.find(name);
  if (bound == AppBindings.end()) return nothing + file + " does not bind " + std::string(name);
  if (bound->second.empty()) return nothing + file + " binds " + std::string(name) + " to no key";
  return std::string(name) + ": sends " + ChordText(bound->second) + " to " +
         BaseName(boundImage_) + " (" + file + ")";
}

}  // namespace bk::check
