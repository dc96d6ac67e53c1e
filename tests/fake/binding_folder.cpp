#include "fake/binding_folder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>

namespace bk::fake {

namespace {

std::filesystem::path UniqueFolder() {
  static std::atomic<unsigned> counter{0};
  // Tests may run as parallel processes; the clock and a random number keep folders apart.
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string name = "bk-bindings-" + std::to_string(now) + "-" +
                           std::to_string(std::random_device{}()) + "-" + std::to_string(counter++);
  return std::filesystem::temp_directory_path() / name;
}

void WriteBytes(const std::string& path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

}  // namespace

BindingFolder::BindingFolder() : dir_(UniqueFolder()) {
  std::filesystem::create_directories(dir_ / "appbindings");
}

BindingFolder::~BindingFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string BindingFolder::ProgramDir() const {
  return dir_.string() + static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string BindingFolder::BindingPath(std::string_view imageBaseName) const {
  return ProgramDir() + "appbindings\\" + std::string(imageBaseName) + ".cfg";
}

void BindingFolder::Write(std::string_view imageBaseName, std::string_view contents) const {
  WriteBytes(BindingPath(imageBaseName), contents);
}

void BindingFolder::Remove(std::string_view imageBaseName) const {
  std::error_code ignored;
  std::filesystem::remove(BindingPath(imageBaseName), ignored);
}

std::string BindingFolder::WriteFile(std::string_view name, std::string_view contents) const {
  const std::string path = (dir_ / std::string(name)).string();
  WriteBytes(path, contents);
  return path;
}

}  // namespace bk::fake
