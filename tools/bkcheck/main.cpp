// bkcheck FILE-OR-FOLDER...: says what BkRemote makes of every line of its binding files.
// bkcheck --listen: says what BkRemote makes of every press of the remote.
#include <cstdio>
#include <string>
#include <vector>

#include "bindings/key_names.h"
#include "check/check_command.h"
#include "checker_platform.h"
#include "platform/os.h"

int main(int argc, char** argv) {
  bk::check::SetUpProcess();
  // The key names come from the program's own table, built from the same keyboard calls.
  bk::Os system;
  system.keyboard = &bk::check::CheckerKeyboard();
  bk::InstallOs(system);
  bk::BuildKeyNameTable();

  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args == std::vector<std::string>{"--listen"}) return bk::check::Listen();
  int status = bk::check::RunChecker(args, stdout, bk::check::DefaultBindingFolder(),
                                     bk::check::shippedBindings);
  if (std::fflush(stdout) != 0) status = 2;
  bk::check::HoldConsoleWindow();
  return status;
}
