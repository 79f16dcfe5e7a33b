// Test helpers: a private temporary folder, and (POSIX) a scoped environment variable.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#ifndef _WIN32
#include <stdlib.h>
#endif

namespace dornava::test {

// A folder of the test's own under the system's temporary folder, removed with all it holds.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    std::error_code error;
    for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
      const auto candidate =
          std::filesystem::temp_directory_path(error) / ("dornava-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }

  const std::string& path() const { return path_; }  // without a trailing separator
  std::string operator/(std::string_view name) const {
    return path_ + static_cast<char>(std::filesystem::path::preferred_separator) +
           std::string(name);
  }
  // Writes a file of that name in the folder; returns its path.
  std::string Write(std::string_view name, std::string_view content) const {
    const std::string file = *this / name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }

 private:
  std::string path_;
};

#ifndef _WIN32
// Sets (or, given nullopt, unsets) a variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = ::getenv(name)) old_ = old;
    Set(value);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() { Set(old_); }

 private:
  void Set(const std::optional<std::string>& value) {
    if (value)
      ::setenv(name_, value->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};
#endif

}  // namespace dornava::test
