// Starting the companion viewer, a moment after its button, unless a sibling program is busy.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bk {

inline constexpr const char* kModeSwitchingMutexName =
    "BkModeSwitching_b58bd097-857e-4b19-8680-4325e01e2191";
inline constexpr const char* kButtonHandledMutexName =
    "bkButtonHandled__c4e655eb-c504-4a9f-ba97-f11f6027ac10";
inline constexpr const char16_t* kViewerKey = u"Software\\Brisko\\";
inline constexpr const char16_t* kViewerValue = u"TelvarinExecutable";
inline constexpr const char16_t* kViewerArgument = u"-Telvarin";
inline constexpr unsigned kViewerDelayMs = 200;

// The path buffer in wide characters, and the bytes offered to the registry: one character
// fewer, so that the terminator written after the data always stays inside the buffer.
inline constexpr std::size_t kViewerPathChars = 260;
inline constexpr std::uint32_t kViewerPathBytes = (kViewerPathChars - 1) * sizeof(char16_t);

// The viewer button: (re)starts the delay, so a burst of presses leads to one check.
void ViewerButtonPressed();

// TIMER_VIEWER: stops the timer, then launches unless a sibling program holds either mutex.
void ViewerTimerFired();

// Whether another process holds the named mutex. A mutex that exists but that this account may
// not open (its holder runs elevated or as another user) counts as held.
bool SiblingHoldsMutex(const char* name);

// The first of the two sibling mutexes that another process holds, or null when neither is.
const char* SiblingMutexHeld();

// The viewer's path from the registry, into `path`; false (and `path` empty) when there is none.
bool ReadViewerPath(char16_t (&path)[kViewerPathChars]);

// Reads the viewer's path from the registry and starts it with its argument.
void LaunchViewer();

}  // namespace bk
