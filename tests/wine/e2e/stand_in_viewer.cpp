// Stands in for the companion viewer: writes its arguments, one a line in UTF-8, to the file
// that BK_VIEWER_RECORD names, and exits.
#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t record[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"BK_VIEWER_RECORD", record, MAX_PATH) == 0) return 2;
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return 3;
  // Written to a side file first and renamed, so the test never reads half a record.
  wchar_t partial[MAX_PATH + 8] = {};
  swprintf(partial, MAX_PATH + 8, L"%ls.part", record);
  FILE* file = _wfopen(partial, L"wb");
  if (file == nullptr) return 4;
  for (int i = 1; i < count; ++i) {
    char line[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, args[i], -1, line, sizeof line, nullptr, nullptr);
    std::fprintf(file, "%s\n", line);
  }
  std::fclose(file);
  LocalFree(args);
  return MoveFileExW(partial, record, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
