#include "fake/fake_registry.h"

#include <cstring>

namespace bk::fake {

std::u16string FakeRegistry::Normalised(std::u16string path) {
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  for (char16_t& ch : path) {
    if (ch >= u'A' && ch <= u'Z') ch = static_cast<char16_t>(ch - u'A' + u'a');
  }
  return path;
}

KernelHandle FakeRegistry::OpenUserKey(const char16_t* subkey) {
  const std::u16string path = Normalised(subkey);
  if (keys_.count(path) == 0) return 0;
  const KernelHandle handle = ++nextHandle_;
  open_[handle] = path;
  return handle;
}

// As RegQueryValueExW: a value larger than the buffer fails (ERROR_MORE_DATA) and reports the
// size it needs; otherwise the bytes are copied as stored, terminator or not.
bool FakeRegistry::QueryValue(KernelHandle key, const char16_t* name, void* buffer,
                              std::uint32_t* size) {
  offeredSizes.push_back(*size);
  const auto open = open_.find(key);
  if (open == open_.end()) return false;
  const auto& values = keys_[open->second];
  const auto value = values.find(Normalised(name));
  if (value == values.end()) return false;
  const std::vector<std::uint8_t>& bytes = value->second;
  const bool fits = bytes.size() <= *size;
  *size = static_cast<std::uint32_t>(bytes.size());
  if (!fits) return false;
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
  return true;
}

void FakeRegistry::CloseKey(KernelHandle key) {
  open_.erase(key);
}

void FakeRegistry::SetValue(const std::u16string& key, const std::u16string& name,
                            std::vector<std::uint8_t> bytes) {
  keys_[Normalised(key)][Normalised(name)] = std::move(bytes);
}

void FakeRegistry::SetString(const std::u16string& key, const std::u16string& name,
                             const std::u16string& text, bool terminated) {
  std::vector<std::uint8_t> bytes((text.size() + (terminated ? 1 : 0)) * sizeof(char16_t));
  if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size() * sizeof(char16_t));
  SetValue(key, name, std::move(bytes));
}

void FakeRegistry::AddKey(const std::u16string& key) {
  keys_[Normalised(key)];
}

void FakeRegistry::DeleteKey(const std::u16string& key) {
  keys_.erase(Normalised(key));
}

std::set<KernelHandle> FakeRegistry::OpenKeys() const {
  std::set<KernelHandle> keys;
  for (const auto& [handle, path] : open_) keys.insert(handle);
  return keys;
}

}  // namespace bk::fake
