#include "check/check_command.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "bk_version.h"
#include "check/binding_check.h"

namespace bk::check {

namespace {

#ifdef _WIN32
#define BK_CHECKER_NAME "BkCheck"
#else
#define BK_CHECKER_NAME "bkcheck"
#endif

constexpr std::string_view kUsage =
    "usage: " BK_CHECKER_NAME
    " [-q] FILE-OR-FOLDER...\n"
    "       " BK_CHECKER_NAME
    " --changed [-q] FILE-OR-FOLDER...\n"
#ifdef _WIN32
    "       " BK_CHECKER_NAME
    " --listen\n"
#endif
    "Checks BkRemote binding files: says for every line what BkRemote makes of it.\n"
    "Given a folder, such as appbindings, checks every *.cfg file in it.\n"
#ifdef _WIN32
    "Given nothing, checks the appbindings folder beside " BK_CHECKER_NAME
    ".exe.\n"
#endif
    "  -q        report only what BkRemote would ignore, and the files' summaries\n"
    "  --changed say which files differ from the ones this version ships: the files to copy\n"
    "            into a new version's folder\n"
#ifdef _WIN32
    "  --listen  show each report of the remote and what BkRemote does with it, until q and\n"
    "            Enter, Ctrl-C, Ctrl-Break, the end of standard input or the window's close\n"
#endif
    "Exit status: 0 when every file is clean, 1 when something in a file would be ignored,\n"
    "2 when a file or folder cannot be read, a folder holds no .cfg file, or an option is\n"
    "unknown. With --changed: 0, or 2 when a file or folder cannot be read.\n"
#ifdef _WIN32
    "With --listen: 0 however it is ended, 2 when it cannot register for the remote's\n"
    "reports.\n"
#endif
    ;

// Key values of one-character key names come from the keyboard layout. BkCheck.exe asks
// Windows, as BkRemote does; the checker built for other systems uses the US English layout.
#ifdef _WIN32
constexpr std::string_view kLayoutNote =
    "The virtual-key codes shown are those of this PC's current keyboard layout.\n";
#else
constexpr std::string_view kLayoutNote =
    "The virtual-key codes shown are those of the US English keyboard layout.\n";
#endif

// A path from text as fopen and the "A" calls take it: UTF-8 wherever Windows honours the
// manifest. std::filesystem gives UTF-8 back from string(), but reads a plain string byte by
// byte, so the text is handed over as UTF-8; text that is not UTF-8 (an older Windows' code
// page) is still read byte by byte.
std::filesystem::path PathOf(const std::string& text) {
  try {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
  } catch (const std::filesystem::filesystem_error&) {
    return std::filesystem::path(text);
  }
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch; });
  return text;
}

bool EndsWithCfg(const std::filesystem::path& path) {
  return Lower(path.extension().string()) == ".cfg";
}

int CheckFile(const std::string& path, bool quiet, std::FILE* out) {
  const FileCheck check = CheckBindingFile(path);
  for (const Finding& finding : check.findings) {
    const bool summary = finding.kind == FindingKind::Summary;
    if (quiet && !summary && !IsProblem(finding.kind)) continue;
    std::fprintf(out, "%s\n", FormatFinding(path, finding).c_str());
  }
  return check.Status();
}

// Whether the file is one of this version's, as shipped, changed, or the user's own.
int TellChange(const std::string& path, bool quiet, std::span<const ShippedFile> shipped,
               std::FILE* out) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::fprintf(out, "%s: cannot be read\n", path.c_str()), 2;
  std::string contents;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    contents.append(buffer, got);
  }
  std::fclose(file);
  const std::string name = Lower(PathOf(path).filename().string());
  const auto found = std::find_if(shipped.begin(), shipped.end(), [&](const ShippedFile& entry) {
    return Lower(std::string(entry.name)) == name;
  });
  if (found == shipped.end()) {
    std::fprintf(out, "%s: your own: BkRemote " BK_VERSION_STRING " ships no file of this name\n",
                 path.c_str());
  } else if (found->contents != contents) {
    std::fprintf(out,
                 "%s: changed: differs from the file that BkRemote " BK_VERSION_STRING " ships\n",
                 path.c_str());
  } else if (!quiet) {
    std::fprintf(out, "%s: as shipped\n", path.c_str());
  }
  return 0;
}

struct Mode {
  bool quiet = false;
  bool changes = false;
  std::span<const ShippedFile> shipped;
};

int Tell(const std::string& path, const Mode& mode, std::FILE* out) {
  return mode.changes ? TellChange(path, mode.quiet, mode.shipped, out)
                      : CheckFile(path, mode.quiet, out);
}

int CheckFolder(const std::filesystem::path& folder, const Mode& mode, std::FILE* out) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::error_code ignored;
    if (entry.is_regular_file(ignored) && EndsWithCfg(entry.path())) files.push_back(entry.path());
  }
  if (error) {
    std::fprintf(out, "%s: cannot be read: %s\n", folder.string().c_str(), error.message().c_str());
    return 2;
  }
  if (files.empty()) {
    std::fprintf(out, "%s: no binding files (*.cfg) in this folder\n", folder.string().c_str());
    return 2;
  }
  std::sort(files.begin(), files.end());
  int status = 0;
  for (const auto& file : files) status = std::max(status, Tell(file.string(), mode, out));
  return status;
}

}  // namespace

int RunChecker(std::span<const std::string> args, std::FILE* out, const std::string& defaultFolder,
               std::span<const ShippedFile> shipped) {
  Mode mode{.shipped = shipped};
  std::vector<std::string> paths;
  for (const std::string& arg : args) {
    if (arg == "-h" || arg == "--help" || arg == "/?") {
      std::fprintf(out, "%s%s", kUsage.data(), kLayoutNote.data());
      return 0;
    }
    if (arg == "-q" || arg == "--quiet") {
      mode.quiet = true;
    } else if (arg == "--changed") {
      mode.changes = true;
    } else if (arg.size() > 1 && arg.front() == '-') {
      std::fprintf(out, BK_CHECKER_NAME ": unknown option %s\n%s", arg.c_str(), kUsage.data());
      return 2;
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.empty() && !defaultFolder.empty()) paths.push_back(defaultFolder);
  if (paths.empty()) {
    std::fprintf(out, "%s", kUsage.data());
    return 2;
  }
  int status = 0;
  for (const std::string& path : paths) {
    std::error_code error;
    const bool folder = std::filesystem::is_directory(PathOf(path), error);
    status =
        std::max(status, folder ? CheckFolder(PathOf(path), mode, out) : Tell(path, mode, out));
  }
  return status;
}

}  // namespace bk::check
