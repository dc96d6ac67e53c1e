// A program folder of its own for one test, in the system's temporary folder, with binding
// files written into it as real files. Removed again with everything in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace bk::fake {

class BindingFolder {
 public:
  BindingFolder();
  ~BindingFolder();
  BindingFolder(const BindingFolder&) = delete;
  BindingFolder& operator=(const BindingFolder&) = delete;

  // The folder as programDir holds it, with its trailing separator.
  std::string ProgramDir() const;
  // The path that the program builds for `imageBaseName`: ProgramDir() + "appbindings\" + name
  // + ".cfg". On Linux the backslash is an ordinary byte of a file name, so this is one file in
  // the folder; on Windows it is a file in the appbindings folder.
  std::string BindingPath(std::string_view imageBaseName) const;
  // Writes the bytes as they are (binary), replacing an earlier file.
  void Write(std::string_view imageBaseName, std::string_view contents) const;
  void Remove(std::string_view imageBaseName) const;
  // Any file in the folder, for the loader's own tests.
  std::string WriteFile(std::string_view name, std::string_view contents) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace bk::fake
