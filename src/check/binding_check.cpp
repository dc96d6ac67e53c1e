#include "check/binding_check.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <utility>

#include "app/button_dispatch.h"
#include "bindings/foreground_tracking.h"
#include "bindings/key_names.h"

namespace bk::check {

namespace {

constexpr char kCtrlZ = '\x1A';

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\v' || ch == '\f';
}

bool HasBlanks(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsBlank);
}

std::string WithoutBlanks(std::string_view text) {
  std::string kept;
  for (char ch : text) {
    if (!IsBlank(ch)) kept += ch;
  }
  return kept;
}

// Edit distance with adjacent transpositions ("paly" is one slip from "play"), or a value above
// `limit` as soon as it is certain to exceed it.
std::size_t Distance(std::string_view a, std::string_view b, std::size_t limit) {
  const std::size_t apart = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (apart > limit) return limit + 1;
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (char ch : text) {
    if (ch >= '0' && ch <= '9') digits += ch;
  }
  return digits;
}

// How far a slip may take a name from what was meant: none for the one- and two-character
// names, which are too close to one another to guess between.
std::size_t SlipsAllowed(std::string_view name) {
  if (name.size() <= 2) return 0;
  return name.size() <= 5 ? 1 : 2;
}

// Names that people write for keys from other programs' conventions.
constexpr std::pair<std::string_view, std::string_view> kOtherNames[] = {
    {"control", "ctrl"},   {"escape", "esc"},    {"return", "enter"},
    {"pageup", "pgup"},    {"pagedown", "pgdn"}, {"pgdown", "pgdn"},
    {"del", "delete"},     {"ins", "insert"},    {"printscreen", "prtscn"},
    {"apps", "context"},   {"menu", "context"},  {"windows", "win"},
    {"spacebar", "space"}, {"minus", "-"},       {"comma", ","},
    {"period", "."},       {"dot", "."},         {"slash", "/"},
    {"backslash", "\\"},   {"semicolon", ";"},   {"quote", "'"},
    {"apostrophe", "'"},   {"backquote", "`"},   {"grave", "`"},
    {"+", "plus"},         {"=", "equals"},      {"numpad0", "num0"},
    {"numpad1", "num1"},   {"numpad2", "num2"},  {"numpad3", "num3"},
    {"numpad4", "num4"},   {"numpad5", "num5"},  {"numpad6", "num6"},
    {"numpad7", "num7"},   {"numpad8", "num8"},  {"numpad9", "num9"},
};

std::vector<std::string_view> KeyNames() {
  std::vector<std::string_view> names;
  for (const auto& [name, value] : KeyNameTable) names.push_back(name);
  return names;
}

std::vector<std::string_view> ButtonNames() {
  return {std::begin(kMediaButtonNames), std::end(kMediaButtonNames)};
}

bool IsButtonName(std::string_view name) {
  return std::find(std::begin(kMediaButtonNames), std::end(kMediaButtonNames), name) !=
         std::end(kMediaButtonNames);
}

// A binding line's text before its "=" starts with blanks and then "#": meant as a comment.
bool LooksLikeComment(std::string_view text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  return first != text.begin() && first != text.end() && *first == '#';
}

// Text as the report shows it: printable ASCII as it is, every other byte escaped, and very
// long text cut short.
std::string Shown(std::string_view text) {
  constexpr std::size_t kMostShown = 60;
  std::string shown = "\"";
  for (std::size_t i = 0; i < text.size() && i < kMostShown; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\t') {
      shown += "\\t";
    } else if (byte == '\r') {
      shown += "\\r";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    } else {
      shown += static_cast<char>(byte);
    }
  }
  if (text.size() > kMostShown) shown += "...";
  return shown + "\"";
}

std::string MeantClause(const Finding& finding) {
  return finding.nearest.empty() ? "" : "; did you mean " + Shown(finding.nearest) + "?";
}

// The diagnosis of one file, built up while the loader reads it.
class FileChecker final : public BindingFileObserver {
 public:
  explicit FileChecker(FileCheck& result)
      : result_(result), keyNames_(KeyNames()), buttonNames_(ButtonNames()) {}

  void Line(std::size_t number, std::string_view text, LineKind kind) override {
    line_ = number;
    tokens_.clear();
    switch (kind) {
      case LineKind::Empty:
        Add(FindingKind::Blank, "");
        break;
      case LineKind::Comment:
        Add(FindingKind::Comment, "");
        break;
      case LineKind::NoEquals:
        Add(FindingKind::NoEquals, std::string(text));
        break;
      case LineKind::Binding:
        looksLikeComment_ = LooksLikeComment(text.substr(0, text.find('=')));
        break;
    }
  }

  void Token(std::string_view token, const KeyValue* key) override {
    tokens_.push_back({std::string(token), key != nullptr, key != nullptr ? *key : KeyValue{},
                       tokens_.size() + 1});
  }

  void Bound(std::string_view name, const KeySequence& keys) override {
    result_.bindings.insert_or_assign(std::string(name), keys);
    const bool button = IsButtonName(name);
    if (!button) {
      Finding& finding = Add(FindingKind::NotAButton, std::string(name));
      finding.nearest = NearestName(name, buttonNames_);
      if (looksLikeComment_) finding.detail = "comment";
    } else if (keys.empty()) {
      Add(FindingKind::EmptyChord, std::string(name));
    } else {
      Finding& finding = Add(FindingKind::Binding, std::string(name));
      finding.detail = Chord();
    }
    for (const TokenSeen& token : tokens_) CheckToken(token);
    if (button) {
      const auto [earlier, first] = lineOfButton_.try_emplace(std::string(name), line_);
      if (!first) {
        overrides_.push_back({earlier->second, line_, std::string(name)});
        earlier->second = line_;
      }
    }
  }

  void ByteOrderMark() override { Add(FindingKind::ByteOrderMark, "").line = 1; }
  void ReadError() override { readError_ = true; }

  // After the reading: what only the whole file shows.
  void Finish() {
    for (const Override& override : overrides_) {
      Finding finding;
      finding.kind = FindingKind::Overridden;
      finding.line = override.line;
      finding.subject = override.name;
      finding.count = override.by;
      result_.findings.push_back(std::move(finding));
    }
    if (readError_) {
      Add(FindingKind::ReadError, "").line = 0;
      return;
    }
    std::size_t bound = 0;
    std::string unbound;
    for (std::string_view button : kMediaButtonNames) {
      const auto found = result_.bindings.find(button);
      if (found != result_.bindings.end() && !found->second.empty()) {
        ++bound;
      } else {
        unbound += (unbound.empty() ? "" : ", ") + std::string(button);
      }
    }
    Finding& summary = Add(bound == 0 ? FindingKind::BindsNothing : FindingKind::Summary, "");
    summary.line = 0;
    summary.count = bound;
    summary.detail = unbound;
  }

 private:
  struct TokenSeen {
    std::string text;
    bool named = false;
    KeyValue key = 0;
    std::size_t position = 0;  // from 1, in the chord as written
  };
  struct Override {
    std::size_t line = 0;
    std::size_t by = 0;
    std::string name;
  };

  Finding& Add(FindingKind kind, std::string subject) {
    Finding finding;
    finding.kind = kind;
    finding.line = line_;
    finding.subject = std::move(subject);
    result_.findings.push_back(std::move(finding));
    return result_.findings.back();
  }

  // The keys that the line sends, by name, and the virtual-key codes that go out for them.
  std::string Chord() const {
    std::string names;
    std::string codes;
    for (const TokenSeen& token : tokens_) {
      if (!token.named) continue;
      char code[4];
      std::snprintf(code, sizeof code, "%02X", static_cast<unsigned>(token.key & 0xFF));
      names += (names.empty() ? "" : "+") + token.text;
      codes += (codes.empty() ? "" : " ") + std::string(code);
    }
    const bool punctuation = std::any_of(names.begin(), names.end(), [](char ch) {
      return !(ch >= 'a' && ch <= 'z') && !(ch >= '0' && ch <= '9') && ch != '+';
    });
    const bool one = codes.size() == 2;
    return (punctuation ? Shown(names) : names) +
           (one ? " (virtual-key code " : " (virtual-key codes ") + codes + ")";
  }

  void CheckToken(const TokenSeen& token) {
    if (token.named) {
      if (token.key == kNoKey) Add(FindingKind::NoKeyOnLayout, token.text);
      return;
    }
    // "play=" binds nothing, which its line's own finding says; there is no "+" to blame.
    if (token.text.empty() && tokens_.size() == 1) return;
    const FindingKind kind = token.text.empty()      ? FindingKind::EmptyToken
                             : HasBlanks(token.text) ? FindingKind::TokenWithBlanks
                                                     : FindingKind::UnknownToken;
    Finding& finding = Add(kind, token.text);
    finding.nearest = NearestName(token.text, keyNames_);
    finding.count = token.position;
  }

  FileCheck& result_;
  const std::vector<std::string_view> keyNames_;
  const std::vector<std::string_view> buttonNames_;
  std::size_t line_ = 0;
  bool looksLikeComment_ = false;
  bool readError_ = false;
  std::vector<TokenSeen> tokens_;
  std::map<std::string, std::size_t, std::less<>> lineOfButton_;
  std::vector<Override> overrides_;
};

// Where the program stops reading: the first Ctrl-Z, which the loader treats as the end of the
// file on both builds. Found in the raw bytes, as the Windows runtime hides it from the loader.
struct CtrlZ {
  std::size_t line = 0;  // 0: the file has none
  bool textAfter = false;
};

CtrlZ FindCtrlZ(const std::string& path) {
  CtrlZ found;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return found;
  std::size_t line = 1;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    for (std::size_t i = 0; i < got; ++i) {
      const char ch = buffer[i];
      if (found.line == 0) {
        if (ch == '\n') ++line;
        if (ch == kCtrlZ) found.line = line;
      } else if (ch != '\n' && ch != kCtrlZ && !IsBlank(ch)) {
        found.textAfter = true;
        std::fclose(file);
        return found;
      }
    }
  }
  std::fclose(file);
  return found;
}

std::string_view FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// File findings first, then the lines in order, then what the whole file shows.
std::size_t Place(const Finding& finding) {
  if (finding.line != 0) return finding.line;
  return finding.kind == FindingKind::NotAnImageName || finding.kind == FindingKind::NoExtension
             ? 0
             : std::numeric_limits<std::size_t>::max();
}

}  // namespace

bool IsProblem(FindingKind kind) {
  return kind >= FindingKind::NotAnImageName;
}

int FileCheck::Status() const {
  int status = 0;
  for (const Finding& finding : findings) {
    if (finding.kind == FindingKind::Unreadable || finding.kind == FindingKind::ReadError) {
      return 2;
    }
    if (IsProblem(finding.kind)) status = 1;
  }
  return status;
}

FileCheck CheckBindingFile(const std::string& path) {
  FileCheck result;
  const std::string_view fileName = FileName(path);
  if (!IsBindingFileName(fileName)) {
    Finding finding;
    finding.kind = FindingKind::NotAnImageName;
    result.findings.push_back(finding);
  } else if (const std::string_view program =
                 fileName.substr(0, fileName.size() - kBindingFileEnding.size());
             program.find('.') == std::string_view::npos) {
    // Leaving out ".exe" is the likeliest slip in naming a file.
    Finding finding;
    finding.kind = FindingKind::NoExtension;
    finding.subject = program;
    result.findings.push_back(finding);
  }
  // The loader fills AppBindings as it reads; the program's own table is put back afterwards.
  BindingMap programBindings = std::exchange(AppBindings, {});
  FileChecker checker(result);
  errno = 0;
  const bool opened = LoadBindingFile(path, checker);
  const int openError = errno;
  AppBindings = std::move(programBindings);
  if (!opened) {
    Finding finding;
    finding.kind = FindingKind::Unreadable;
    finding.detail = openError != 0 ? std::strerror(openError) : "";
    result.findings = {finding};
    return result;
  }
  checker.Finish();

  const CtrlZ ctrlZ = FindCtrlZ(path);
  if (ctrlZ.line != 0) {
    Finding finding;
    finding.kind = ctrlZ.textAfter ? FindingKind::TextAfterCtrlZ : FindingKind::CtrlZAtEnd;
    finding.line = ctrlZ.line;
    result.findings.push_back(finding);
  }
  std::stable_sort(result.findings.begin(), result.findings.end(),
                   [](const Finding& a, const Finding& b) { return Place(a) < Place(b); });
  return result;
}

std::string NearestName(std::string_view written, const std::vector<std::string_view>& names) {
  const std::string squeezed = WithoutBlanks(written);
  if (squeezed.empty()) return "";
  const auto known = [&](std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  if (known(squeezed)) return squeezed;
  for (const auto& [other, name] : kOtherNames) {
    if (other == squeezed && known(name)) return std::string(name);
  }
  // "f13" is no slip for "f10": a number that names no key is not guessed at.
  const std::string digits = DigitsOf(squeezed);
  std::string_view best;
  std::size_t bestDistance = std::numeric_limits<std::size_t>::max();
  for (std::string_view name : names) {
    if (!digits.empty() && DigitsOf(name) != digits) continue;
    const std::size_t limit = SlipsAllowed(name);
    const std::size_t distance = Distance(squeezed, name, limit);
    if (distance <= limit && distance < bestDistance) {
      best = name;
      bestDistance = distance;
    }
  }
  return std::string(best);
}

std::string FormatFinding(std::string_view file, const Finding& finding) {
  std::string where(file);
  if (finding.line != 0) where += ":" + std::to_string(finding.line);
  const std::string subject = Shown(finding.subject);
  std::string what;
  switch (finding.kind) {
    case FindingKind::Comment:
      what = "comment";
      break;
    case FindingKind::Blank:
      what = "blank line";
      break;
    case FindingKind::Binding:
      what = finding.subject + " sends " + finding.detail;
      break;
    case FindingKind::ByteOrderMark:
      what = "starts with a UTF-8 byte-order mark, which is skipped";
      break;
    case FindingKind::CtrlZAtEnd:
      what = "a Ctrl-Z character ends the file here";
      break;
    case FindingKind::Summary:
      what = finding.count == 16 ? "binds all 16 buttons"
                                 : "binds " + std::to_string(finding.count) +
                                       " of the 16 buttons; not bound: " + finding.detail;
      break;
    case FindingKind::NotAnImageName:
      what =
          "never read: BkRemote reads only files named after a program's image name plus "
          "\".cfg\", such as vlc.exe.cfg";
      break;
    case FindingKind::NoExtension:
      what = "read only for a program file named " + finding.subject +
             " without an extension; for " + finding.subject + ".exe name it " + finding.subject +
             ".exe.cfg";
      break;
    case FindingKind::NoEquals:
      what = "ignored: no \"=\" in " + subject;
      if (LooksLikeComment(finding.subject)) {
        what += " (a comment starts with \"#\" as the line's very first character)";
      }
      break;
    case FindingKind::NotAButton:
      what = finding.subject.empty() ? "ignored: the name before \"=\" is empty"
                                     : "ignored: no button is named " + subject;
      what += MeantClause(finding);
      if (finding.detail == "comment") {
        what += " (a comment starts with \"#\" as the line's very first character)";
      } else if (HasBlanks(finding.subject)) {
        what += " (blanks around \"=\" are part of the name)";
      }
      break;
    case FindingKind::EmptyChord:
      what = finding.subject + " is bound to no key, so the button sends nothing";
      break;
    case FindingKind::EmptyToken:
      what = "key " + std::to_string(finding.count) +
             " dropped: it is empty, from a \"+\" at either end or doubled (the + key is \"plus\")";
      break;
    case FindingKind::TokenWithBlanks:
      what = "key " + subject + " dropped: blanks are part of a key name" + MeantClause(finding);
      break;
    case FindingKind::UnknownToken:
      what = "key " + subject + " dropped: no key has that name" + MeantClause(finding);
      if (finding.subject.find('=') != std::string::npos) {
        what += " (only the first \"=\" of a line separates the name from its keys)";
      }
      break;
    case FindingKind::NoKeyOnLayout:
      what =
          "key " + subject + " is on no key of this keyboard layout: virtual-key code FF is sent";
      break;
    case FindingKind::Overridden:
      what = "ignored: line " + std::to_string(finding.count) + " binds " + finding.subject +
             " again, and the later line wins";
      break;
    case FindingKind::TextAfterCtrlZ:
      what = "a Ctrl-Z character ends the file here: the text after it is ignored";
      break;
    case FindingKind::BindsNothing:
      what = "binds no button: no button sends anything with this file";
      break;
    case FindingKind::Unreadable:
      what = "cannot be read";
      if (!finding.detail.empty()) what += ": " + finding.detail;
      break;
    case FindingKind::ReadError:
      what = "a read error stopped the reading; what follows it was not checked";
      break;
  }
  return where + ": " + what;
}

}  // namespace bk::check
