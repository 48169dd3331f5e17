#pragma once

#include <string>

namespace vdk::test {

// A fresh folder under $TMPDIR (or /tmp), removed with its contents when the
// object goes. Path() ends with "/".
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Whole-file helpers for tests.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Dates a folder's last change a minute back, as a folder left alone is.
void SettleFolder(const std::string& folder);

}  // namespace vdk::test
