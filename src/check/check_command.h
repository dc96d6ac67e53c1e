// The checker's command line, apart from the keyboard it runs with.
#pragma once

#include <cstdio>
#include <span>
#include <string>

namespace bk::check {

// Checks the binding files and folders named by `args` (the arguments after the program's
// name), or `defaultFolder` when they name none, and writes the report to `out`. Returns the
// exit status: 0 when every file is clean, 1 when something in one would be ignored, 2 when one
// cannot be read or the arguments are wrong. KeyNameTable must be built.
int RunChecker(std::span<const std::string> args, std::FILE* out,
               const std::string& defaultFolder = "");

}  // namespace bk::check
