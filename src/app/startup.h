// The program's entry, start-up and the input window's messages, in the logic's terms.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/os.h"

namespace bk {

inline constexpr const char* kInstanceMutexName = "BkRemote__fc4544ed-eb70-431b-8f70-c4125c5f21cc";
inline constexpr const char* kInputWindowName = "Bk Input Window";
inline constexpr std::uint32_t kModulePathSize = kLongestPathBytes;

// Exit codes: a normal end, a second copy, and a start-up that could not make its window.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitAlreadyRunning = 1;
inline constexpr int kExitNoWindow = 2;

// The class and window of the input window, and the three fonts, with their fixed values.
WindowClassValues InputWindowClass();
WindowValues InputWindowValues();
FontValues LabelFontValues();
FontValues SmallLabelFontValues();
FontValues NoticeFontValues();
// The four collections, in registration order, delivered to `target`.
std::array<RawDeviceRegistration, 4> RemoteRegistrations(WindowId target);

// The folder of the module path that GetModuleFileNameA wrote: everything up to and including
// the last backslash. Empty when there is none, or when `written` fills the buffer of
// `bufferSize` characters, which means the path was cut short.
std::string ProgramDirFromModulePath(std::string_view written, std::uint32_t bufferSize);

// Start-up, the message loop and exit. Returns the process exit code.
int RunProgram();

// The input window's messages that carry logic.
void OnInputWindowCreate();
void OnInputWindowDestroy();

}  // namespace bk
