// The operating system as the logic sees it: one small interface per concern, in our own types.
// The Win32 build installs its implementation once at start-up; the tests install a fake.
// Method names avoid the A/W macros of <windows.h> (GetMessage, MapVirtualKey, ...), which would
// otherwise rename them in the Win32 translation units only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace bk {

// SendInput, MapVirtualKeyA, VkKeyScanA, GetAsyncKeyState, GetKeyState.
class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // One SendInput call; returns the number of events the system took.
  virtual unsigned SendKeys(std::span<const KeyInput> events) = 0;
  virtual std::uint16_t ScanCode(std::uint8_t vk) = 0;  // MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)
  virtual KeyValue KeyForChar(char ch) = 0;             // VkKeyScanA
  virtual bool AsyncKeyDown(std::uint8_t vk) = 0;       // high bit of GetAsyncKeyState
  virtual bool KeyToggled(std::uint8_t vk) = 0;         // low bit of GetKeyState
};

// Window timers of the input window, without callback: they arrive as WM_TIMER.
class Timers {
 public:
  virtual ~Timers() = default;
  virtual void Start(TimerId id, unsigned milliseconds) = 0;  // SetTimer; restarts a running one
  virtual void Stop(TimerId id) = 0;                          // KillTimer
};

// What the hook procedure is told of one event (KBDLLHOOKSTRUCT).
struct HookEvent {
  std::uint32_t vkCode = 0;
  std::uint32_t flags = 0;
  std::uintptr_t extraInfo = 0;
};

// The low-level keyboard hook, WH_KEYBOARD_LL, with KeyboardHookProc as its procedure.
class Hook {
 public:
  virtual ~Hook() = default;
  virtual HookHandle
  Install() = 0;  // SetWindowsHookExA(WH_KEYBOARD_LL, ..., GetModuleHandleA(0), 0)
  virtual void Remove(HookHandle handle) = 0;  // UnhookWindowsHookEx
  // CallNextHookEx; `raw` is the platform's own lParam, handed back untouched.
  virtual std::intptr_t CallNext(HookHandle handle, int code, std::uintptr_t message,
                                 std::intptr_t raw) = 0;
};

// Reading the desktop's top-level windows.
class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual WindowId Foreground() = 0;  // GetForegroundWindow
  // GetWindowThreadProcessId: the thread id, and the process id through `processId` if given.
  virtual ThreadId WindowThreadProcess(WindowId window, ProcessId* processId) = 0;
  virtual bool WindowInfoStyle(WindowId window, std::uint32_t* style) = 0;  // GetWindowInfo
  virtual std::uint32_t Style(WindowId window) = 0;                         // GWL_STYLE
  virtual std::uint32_t ExStyle(WindowId window) = 0;                       // GWL_EXSTYLE
  virtual bool IsZoomed(WindowId window) = 0;
  virtual bool IsIconic(WindowId window) = 0;
  virtual bool IsVisible(WindowId window) = 0;                // IsWindowVisible
  virtual bool Exists(WindowId window) = 0;                   // IsWindow
  virtual WindowId DesktopWindow() = 0;                       // GetDesktopWindow
  virtual WindowId TopChild(WindowId parent) = 0;             // GetTopWindow
  virtual WindowId NextBelow(WindowId window) = 0;            // GetWindow(GW_HWNDNEXT)
  virtual WindowId FindTopWindow(const char* className) = 0;  // FindWindowA(className, NULL)
};

// Commands to windows, ours or other programs'. Each is one platform call.
class WindowControl {
 public:
  virtual ~WindowControl() = default;
  virtual bool Show(WindowId window, int command) = 0;  // ShowWindow, SW_* values
  virtual bool SetForeground(WindowId window) = 0;      // SetForegroundWindow
  virtual void BringToTop(WindowId window) = 0;         // BringWindowToTop
  virtual void SetActive(WindowId window) = 0;          // SetActiveWindow
  virtual void SetFocus(WindowId window) = 0;           // SetFocus
  virtual void PlaceOnTop(WindowId window) = 0;  // SetWindowPos(HWND_TOP, SWP_NOSIZE|SWP_NOMOVE)
  virtual void AttachInput(ThreadId from, ThreadId to, bool attach) = 0;  // AttachThreadInput
  virtual void Post(WindowId window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam) = 0;  // PostMessageA
};

// ShowWindow commands and messages that the logic sends.
namespace sw {
inline constexpr int Hide = 0;
inline constexpr int ShowNormal = 1;
inline constexpr int Maximize = 3;
inline constexpr int ShowNoActivate = 4;
inline constexpr int Show = 5;
inline constexpr int Minimize = 6;
inline constexpr int Restore = 9;
}  // namespace sw
namespace msg {
inline constexpr unsigned Close = 0x0010;       // WM_CLOSE
inline constexpr unsigned SysCommand = 0x0112;  // WM_SYSCOMMAND
inline constexpr std::uintptr_t ScRestore = 0xF120;
}  // namespace msg
namespace ws {
inline constexpr std::uint32_t Popup = 0x80000000;
inline constexpr std::uint32_t Child = 0x40000000;
inline constexpr std::uint32_t Minimizebox = 0x00020000;
inline constexpr std::uint32_t Maximizebox = 0x00010000;
inline constexpr std::uint32_t Visible = 0x10000000;
inline constexpr std::uint32_t Disabled = 0x08000000;
inline constexpr std::uint32_t ExNoActivate = 0x08000000;
inline constexpr std::uint32_t ExLayered = 0x00080000;
}  // namespace ws

// OpenProcess, GetProcessImageFileNameA, CloseHandle.
class Processes {
 public:
  virtual ~Processes() = default;
  virtual KernelHandle OpenForQuery(ProcessId id) = 0;  // PROCESS_QUERY_INFORMATION; 0 = failed
  // Characters written, without the terminator; 0 on failure.
  virtual std::uint32_t ImageFileName(KernelHandle process, char* buffer, std::uint32_t size) = 0;
  virtual void Close(KernelHandle process) = 0;
};

// Kernel objects and the module's own facts.
struct MutexResult {
  KernelHandle handle = 0;
  std::uint32_t lastError = 0;  // GetLastError() right after the call
};
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;

class Kernel {
 public:
  virtual ~Kernel() = default;
  // SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) where the system has it: from now on
  // no library is loaded from the program's own folder.
  virtual void LoadLibrariesFromSystemOnly() = 0;
  virtual MutexResult CreateOwnedMutex(const char* name) = 0;  // CreateMutexA(0, TRUE, name)
  virtual MutexResult OpenSyncMutex(const char* name) = 0;     // OpenMutexA(SYNCHRONIZE, FALSE)
  virtual void Close(KernelHandle handle) = 0;
  // GetModuleFileNameA(NULL, ...): characters written; `size` when the path was cut short.
  virtual std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) = 0;
  // GetVersionExA: the major and minor version; false when the call fails.
  virtual bool OsVersion(std::uint32_t* major, std::uint32_t* minor) = 0;
};

// The current user's registry, read only.
class Registry {
 public:
  virtual ~Registry() = default;
  virtual KernelHandle OpenUserKey(const char16_t* subkey) = 0;  // RegOpenKeyExW(HKCU, KEY_READ)
  // RegQueryValueExW: on entry *size is the buffer's byte count, on success the data's.
  virtual bool QueryValue(KernelHandle key, const char16_t* name, void* buffer,
                          std::uint32_t* size) = 0;
  virtual void CloseKey(KernelHandle key) = 0;
};

// ShellExecuteW(no owner, default verb, file, parameters, default folder, SW_SHOWNORMAL).
class Launcher {
 public:
  virtual ~Launcher() = default;
  virtual void Open(const char16_t* file, const char16_t* parameters) = 0;
};

// Raw Input: reading one WM_INPUT record and the collection it came from.
struct HidCollection {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  bool operator==(const HidCollection&) const = default;
};
struct RawDeviceRegistration {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::uint32_t flags = 0;
  WindowId target = 0;
  bool operator==(const RawDeviceRegistration&) const = default;
};
inline constexpr std::uint32_t kRidevInputSink = 0x100;
// A connected HID device: the top-level collection it offers, its device name, and the handle
// that its WM_INPUT records carry.
struct HidDevice {
  HidCollection collection;
  std::string name;
  std::uintptr_t handle = 0;
  bool operator==(const HidDevice&) const = default;
};
inline constexpr std::uint32_t kRawReadError = 0xFFFFFFFFu;

class RawInput {
 public:
  virtual ~RawInput() = default;
  // GetRawInputData(handle, RID_INPUT, buffer, size, sizeof(RAWINPUTHEADER)). With no buffer it
  // stores the record's size in *size and returns 0; otherwise bytes copied, or kRawReadError.
  virtual std::uint32_t ReadRecord(std::intptr_t handle, void* buffer, std::uint32_t* size) = 0;
  // GetRawInputDeviceInfoA(RIDI_DEVICEINFO) for a HID device; false when the call fails.
  virtual bool DeviceCollection(std::uintptr_t device, HidCollection* collection) = 0;
  virtual bool Register(std::span<const RawDeviceRegistration> devices) = 0;
  // GetRawInputDeviceList, then RIDI_DEVICEINFO and RIDI_DEVICENAME of each HID device; false
  // when the list cannot be read.
  virtual bool HidDevices(std::vector<HidDevice>* devices) = 0;
};

// The layout of a RAWINPUT record as GetRawInputData copies it: a header of two DWORDs and two
// pointer-sized fields, then for HID data two DWORDs and the reports. The Win32 layer checks
// these against <windows.h> at compile time.
struct RawRecordLayout {
  static constexpr std::size_t kHeaderSize = 8 + 2 * sizeof(void*);
  static constexpr std::size_t kTypeOffset = 0;
  static constexpr std::size_t kDeviceOffset = 8;
  static constexpr std::size_t kHidSizeOffset = kHeaderSize;
  static constexpr std::size_t kHidCountOffset = kHeaderSize + 4;
  static constexpr std::size_t kHidDataOffset = kHeaderSize + 8;
  static constexpr std::uint32_t kTypeHid = 2;
};

// The program's own window: its class, creation, fonts and message loop.
struct WindowClassValues {
  const char* name = nullptr;
  std::uint32_t style = 0;  // CS_*
  bool arrowCursor = false;
  bool blackBackground = false;
};
struct WindowValues {
  const char* className = nullptr;
  const char* title = nullptr;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  int x = 0, y = 0, width = 0, height = 0;
};
struct FontValues {
  const char* face = nullptr;
  int height = 0;
  int weight = 0;
};
using FontHandle = std::uintptr_t;

class Shell {
 public:
  virtual ~Shell() = default;
  virtual bool RegisterInputClass(const WindowClassValues& values) = 0;  // RegisterClassA
  virtual WindowId CreateInputWindow(const WindowValues& values) = 0;    // CreateWindowExA
  virtual FontHandle CreateFontHandle(const FontValues& values) = 0;     // CreateFontA
  virtual void DeleteFontHandle(FontHandle font) = 0;
  virtual void PostQuit() = 0;        // PostQuitMessage(0)
  virtual void RunMessageLoop() = 0;  // GetMessageA > 0: TranslateMessage, DispatchMessageA
};

// What a child window of the input window is made with: CreateWindowExA(0, className, "",
// style, x, y, width, height, parent, no menu, the module instance, no parameter).
struct ChildValues {
  const char* className = nullptr;  // "BUTTON" or "STATIC"
  std::uint32_t style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  WindowId parent = 0;
};

// The input window as the on-screen layout: its placement, its layering, and its children.
class LayoutWindow {
 public:
  virtual ~LayoutWindow() = default;
  // SetWindowPos(HWND_TOPMOST, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE)
  virtual void MakeTopmost(WindowId window, int width, int height) = 0;
  virtual void Move(WindowId window, int x, int y, int width, int height, bool repaint) = 0;
  virtual bool WindowRect(WindowId window, Rect* rect) = 0;  // GetWindowRect, screen coordinates
  virtual int SystemMetric(int index) = 0;                   // GetSystemMetrics
  // InvalidateRect; a null `rect` means the whole client area.
  virtual void Invalidate(WindowId window, const Rect* rect, bool erase) = 0;
  // SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA); fails unless the window is layered.
  virtual bool SetAlpha(WindowId window, std::uint8_t alpha) = 0;
  virtual void SetExStyle(WindowId window, std::uint32_t exStyle) = 0;  // SetWindowLongPtrA
  virtual WindowId CreateChild(const ChildValues& values) = 0;          // 0 when it fails
  virtual void SetUserData(WindowId window, std::intptr_t value) = 0;   // GWLP_USERDATA
  virtual std::intptr_t UserData(WindowId window) = 0;
  // SetClassLongPtrA(window, GCLP_HBRBACKGROUND, the stock BLACK_BRUSH)
  virtual void SetClassBackgroundBlack(WindowId window) = 0;
  virtual std::uint32_t ButtonState(WindowId button) = 0;  // SendMessageA(BM_GETSTATE)
};
inline constexpr int kSmCxFullScreen = 16;  // SM_CXFULLSCREEN
inline constexpr int kSmCyFullScreen = 17;  // SM_CYFULLSCREEN
inline constexpr std::uint32_t kBstPushed = 0x0004;
inline constexpr std::uint32_t kBstHot = 0x0200;

// A colour as a COLORREF holds it: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}

// Where a text's reference point lies: TA_LEFT | TA_TOP, TA_RIGHT | TA_TOP, TA_CENTER | TA_TOP.
enum class TextAlign { LeftTop, RightTop, CenterTop };

// One paint of one window: what to draw, decided by the logic. Bitmaps are the program's own
// resources by id; text is drawn with a transparent background.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Blit(int bitmapId, int x, int y) = 0;           // whole bitmap, unscaled
  virtual void Stretch(int bitmapId, const Rect& target) = 0;  // whole bitmap, COLORONCOLOR
  virtual void Frame(const Rect& rect, Colour colour) = 0;     // FrameRect, solid brush
  virtual void Text(int x, int y, std::string_view text, FontHandle font, Colour colour,
                    TextAlign align) = 0;
};

// All of it, as installed.
struct Os {
  Keyboard* keyboard = nullptr;
  Timers* timers = nullptr;
  Hook* hook = nullptr;
  Desktop* desktop = nullptr;
  WindowControl* windows = nullptr;
  Processes* processes = nullptr;
  Kernel* kernel = nullptr;
  Registry* registry = nullptr;
  Launcher* launcher = nullptr;
  RawInput* rawInput = nullptr;
  Shell* shell = nullptr;
  LayoutWindow* layoutWindow = nullptr;
};

// The installed operating system. Installed once by the entry point, or by a test's fixture.
Os& os();
void InstallOs(const Os& implementation);

}  // namespace bk
