// The checker's command line, apart from the keyboard it runs with.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace bk::check {

// Checks the binding files and folders named by `args` (the arguments after the program's
// name), or `defaultFolder` when they name none, and writes the report to `out`. Returns the
// exit status: 0 when every file is clean, 1 when something in one would be ignored, 2 when one
// cannot be read or the arguments are wrong. KeyNameTable must be built.
// With --changed it says instead which files differ from `shipped`, the binding files as this
// version ships them: what a user copies across to a new version.
struct ShippedFile {
  std::string_view name;
  std::string_view contents;
};
// The binding files that the build put into the checker.
extern const std::span<const ShippedFile> shippedBindings;
int RunChecker(std::span<const std::string> args, std::FILE* out,
               const std::string& defaultFolder = "", std::span<const ShippedFile> shipped = {});

}  // namespace bk::check
