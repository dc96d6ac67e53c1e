// The current user's registry as raw values, and the programs that were launched.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/os.h"

namespace bk::fake {

// Keys by path (compared without case, a trailing backslash ignored), values as the bytes that
// RegQueryValueExW copies.
class FakeRegistry final : public Registry {
 public:
  KernelHandle OpenUserKey(const char16_t* subkey) override;
  bool QueryValue(KernelHandle key, const char16_t* name, void* buffer,
                  std::uint32_t* size) override;
  void CloseKey(KernelHandle key) override;

  void SetValue(const std::u16string& key, const std::u16string& name,
                std::vector<std::uint8_t> bytes);
  // A string value as the system stores it: UTF-16, with the terminator unless told otherwise.
  void SetString(const std::u16string& key, const std::u16string& name, const std::u16string& text,
                 bool terminated = true);
  void AddKey(const std::u16string& key);
  void DeleteKey(const std::u16string& key);

  std::set<KernelHandle> OpenKeys() const;
  std::vector<std::uint32_t> offeredSizes;  // the buffer size of every query, in bytes

 private:
  static std::u16string Normalised(std::u16string path);
  std::map<std::u16string, std::map<std::u16string, std::vector<std::uint8_t>>> keys_;
  std::map<KernelHandle, std::u16string> open_;
  KernelHandle nextHandle_ = 0x7000;
};

struct Launch {
  std::u16string file;
  std::u16string parameters;
  bool operator==(const Launch&) const = default;
};

class FakeLauncher final : public Launcher {
 public:
  void Open(const char16_t* file, const char16_t* parameters) override {
    launches.push_back({file, parameters});
  }
  std::vector<Launch> launches;
};

}  // namespace bk::fake
