#include "windows/viewer_launch.h"

#include <algorithm>

#include "platform/os.h"

namespace bk {

namespace {

// A value stored without its terminator, or of an odd length, ends after its last whole
// character.
void TerminateAfterData(char16_t (&path)[kViewerPathChars], std::uint32_t size) {
  path[std::min<std::size_t>(size / sizeof(char16_t), kViewerPathChars - 1)] = u'\0';
}

}  // namespace

void ViewerButtonPressed() {
  os().timers->Start(TIMER_VIEWER, kViewerDelayMs);
}

bool SiblingHoldsMutex(const char* name) {
  Kernel& kernel = *os().kernel;
  const MutexResult opened = kernel.OpenSyncMutex(name);
  if (opened.handle != 0) {
    kernel.Close(opened.handle);
    return true;
  }
  return opened.lastError == kErrorAccessDenied;
}

const char* SiblingMutexHeld() {
  for (const char* name : {kModeSwitchingMutexName, kButtonHandledMutexName}) {
    if (SiblingHoldsMutex(name)) return name;
  }
  return nullptr;
}

void ViewerTimerFired() {
  os().timers->Stop(TIMER_VIEWER);
  if (SiblingMutexHeld() == nullptr) LaunchViewer();
}

bool ReadViewerPath(char16_t (&path)[kViewerPathChars]) {
  path[0] = u'\0';
  Registry& registry = *os().registry;
  const KernelHandle key = registry.OpenUserKey(kViewerKey);
  if (key == 0) return false;
  std::uint32_t size = kViewerPathBytes;
  const bool read = registry.QueryValue(key, kViewerValue, path, &size);
  registry.CloseKey(key);
  // A failed query may leave part of a value behind.
  if (!read) size = 0;
  TerminateAfterData(path, size);
  // An empty value names no program: ShellExecuteW would open the current folder instead.
  return path[0] != u'\0';
}

void LaunchViewer() {
  char16_t path[kViewerPathChars] = {};
  if (ReadViewerPath(path)) os().launcher->Open(path, kViewerArgument);
}

}  // namespace bk
