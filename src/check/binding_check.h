// The binding-file checker: what the program's loader makes of each line of a file, told to the
// person who wrote it, with the names they probably meant.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/binding_file.h"

namespace bk::check {

enum class FindingKind {
  // Notes: how the program reads the file; nothing is lost.
  Comment,
  Blank,
  Binding,
  ByteOrderMark,
  CtrlZAtEnd,
  Summary,
  // Problems: something in the file that the program ignores.
  NotAnImageName,
  NoExtension,  // read only for a program file without an extension: vlc.cfg, not vlc.exe.cfg
  NoEquals,
  NotAButton,
  EmptyChord,
  EmptyToken,
  TokenWithBlanks,
  UnknownToken,
  NoKeyOnLayout,
  Overridden,
  TextAfterCtrlZ,
  BindsNothing,
  // The file, or part of it, could not be read.
  Unreadable,
  ReadError,
};

struct Finding {
  FindingKind kind = FindingKind::Comment;
  std::size_t line = 0;  // from 1; 0 for the file as a whole
  std::string subject;   // the name, key name, chord or line concerned, as the loader saw it
  std::string nearest;   // a close name that was probably meant; empty when none is close
  std::string detail;    // Binding: the virtual-key codes; Unreadable: the system's reason
  // Overridden: the line that replaces this one; Summary: the buttons bound; EmptyToken: the
  // key's place in the chord.
  std::size_t count = 0;
  bool operator==(const Finding&) const = default;
};

bool IsProblem(FindingKind kind);

struct FileCheck {
  std::vector<Finding> findings;  // in line order, the file's own findings first and last
  BindingMap bindings;            // what the loader set, as it told the checker
  // 0 when nothing is ignored, 1 when something is, 2 when the file could not be read.
  int Status() const;
};

// Reads the file with the program's own loader and key names; KeyNameTable must be built.
// AppBindings is left as it was.
FileCheck CheckBindingFile(const std::string& path);

// One finding as a line of the report: "file:line: what it means", or "file: ..." for the file
// as a whole.
std::string FormatFinding(std::string_view file, const Finding& finding);

// The name among `names` that `written` most probably meant: itself without blanks, a common
// other name for it, or one within a small edit distance. Empty when none is close.
std::string NearestName(std::string_view written, const std::vector<std::string_view>& names);

}  // namespace bk::check
