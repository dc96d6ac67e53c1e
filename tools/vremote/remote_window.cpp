// vremote_window.exe: a picture of the remote control whose buttons press the virtual remote.
//
// The window never takes the focus (WS_EX_NOACTIVATE, and MA_NOACTIVATE on clicks), so a click
// acts on the application in front, as the real remote does. Media and vendor buttons go through
// the driver as HID reports: the press report when the mouse button goes down, the release when
// it comes up, so holding INPUT with the mouse holds it on the remote. The number pad, Enter and
// Escape arrive from the real remote as keyboard keys, so they are sent with SendInput.
#include <windows.h>

#include <cstdio>
#include <string>

#include "remote_layout.h"
#include "virtual_remote.h"

namespace {

using bk::vremote::RemoteKey;
using bk::vremote::RemoteKeys;

constexpr UINT_PTR kStatusTimer = 1;
int pressedKey = -1;
std::string status = "connecting...";
HFONT labelFont = nullptr;
HFONT smallFont = nullptr;

int KeyAt(int x, int y) {
  const auto& keys = RemoteKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const RemoteKey& k = keys[i];
    if (x >= k.x && x < k.x + k.width && y >= k.y && y < k.y + k.height) return static_cast<int>(i);
  }
  return -1;
}

void SendKey(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void Act(const RemoteKey& key, bool down) {
  if (!key.button.empty()) {
    const auto button = bk::vremote::ParseButton(key.button);
    std::string why;
    if (button && !bk::vremote::SendValue(button->slot, down ? button->value : 0, &why)) {
      status = why;
    }
    return;
  }
  if (down) {
    if (key.shift) SendKey(VK_LSHIFT, false);
    SendKey(key.vk, false);
  } else {
    SendKey(key.vk, true);
    if (key.shift) SendKey(VK_LSHIFT, true);
  }
}

void UpdateStatus(HWND window) {
  std::string why;
  const std::string next = bk::vremote::Ready(&why) ? "virtual remote ready" : why;
  if (next != status) {
    status = next;
    InvalidateRect(window, nullptr, FALSE);
  }
}

void Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  // Drawn off screen first, so that a press does not flicker.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);

  HBRUSH frame = CreateSolidBrush(RGB(18, 18, 20));
  FillRect(dc, &client, frame);
  DeleteObject(frame);
  SetBkMode(dc, TRANSPARENT);

  const auto& keys = RemoteKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const RemoteKey& k = keys[i];
    const bool pressed = static_cast<int>(i) == pressedKey;
    const COLORREF face = pressed ? RGB(230, 230, 230) : static_cast<COLORREF>(k.colour);
    HBRUSH brush = CreateSolidBrush(face);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(120, 120, 125));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    RoundRect(dc, k.x, k.y, k.x + k.width, k.y + k.height, 12, 12);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    SetTextColor(dc, pressed ? RGB(0, 0, 0) : RGB(245, 245, 245));
    SelectObject(dc, k.label.size() > 4 ? smallFont : labelFont);
    RECT r{k.x, k.y, k.x + k.width, k.y + k.height};
    std::string label(k.label);
    DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, smallFont);
  SetTextColor(dc, RGB(150, 150, 155));
  RECT line{8, bk::vremote::kRemoteHeight - 26, client.right - 8, bk::vremote::kRemoteHeight - 6};
  DrawTextA(dc, status.c_str(), static_cast<int>(status.size()), &line,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);

  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(window, &paint);
}

LRESULT CALLBACK RemoteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // a click acts on the application in front
    case WM_NCHITTEST: {
      POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ScreenToClient(window, &p);
      // Between the buttons the remote's body drags the window.
      return KeyAt(p.x, p.y) >= 0 ? HTCLIENT : HTCAPTION;
    }
    case WM_LBUTTONDOWN: {
      const int key = KeyAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      if (key < 0) return 0;
      pressedKey = key;
      SetCapture(window);
      InvalidateRect(window, nullptr, FALSE);
      Act(RemoteKeys()[static_cast<std::size_t>(key)], true);
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (pressedKey >= 0) {
        const int key = pressedKey;
        pressedKey = -1;
        if (message == WM_LBUTTONUP) ReleaseCapture();
        Act(RemoteKeys()[static_cast<std::size_t>(key)], false);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_TIMER:
      if (wParam == kStatusTimer) UpdateStatus(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_NCRBUTTONDOWN:
      return 0;  // no window menu: the body between the buttons answers as a caption
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP:
      DestroyWindow(window);  // the window has no caption to close it by
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  labelFont = CreateFontA(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                          ANTIALIASED_QUALITY, 0, "Arial");
  smallFont = CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                          ANTIALIASED_QUALITY, 0, "Arial");
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = RemoteProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_HAND);
  windowClass.lpszClassName = bk::vremote::kRemoteWindowClass;
  RegisterClassA(&windowClass);
  const int x = GetSystemMetrics(SM_CXSCREEN) - bk::vremote::kRemoteWidth - 24;
  HWND window = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                bk::vremote::kRemoteWindowClass, bk::vremote::kRemoteWindowTitle,
                                WS_POPUP | WS_BORDER, x < 0 ? 0 : x, 24, bk::vremote::kRemoteWidth,
                                bk::vremote::kRemoteHeight, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateStatus(window);
  SetTimer(window, kStatusTimer, 2000, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DeleteObject(labelFont);
  DeleteObject(smallFont);
  return 0;
}
