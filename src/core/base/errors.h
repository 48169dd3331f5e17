#pragma once

#include <stdexcept>
#include <string>

namespace vdk {

// Base of every error the engine raises; the message is meant for the user.
class EVendrakeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file or folder could not be opened, created, written, renamed or read.
class EFileError : public EVendrakeError {
 public:
  EFileError(const std::string& what, const std::string& path, int err);
  EFileError(const std::string& message, const std::string& path);

  const std::string& Path() const { return path_; }
  int ErrorCode() const { return err_; }

 private:
  std::string path_;
  int err_ = 0;
};

// A stored file is too short or otherwise unreadable as what it claims to be.
class EFormatError : public EVendrakeError {
 public:
  using EVendrakeError::EVendrakeError;
};

// A settings-store value is missing or not of the type its reader expects,
// or a key or value name cannot be stored.
class ERegistryError : public EVendrakeError {
 public:
  using EVendrakeError::EVendrakeError;
};

// A URL that cannot be turned into a full address (no protocol or no host).
class EURIError : public EVendrakeError {
 public:
  using EVendrakeError::EVendrakeError;
};

}  // namespace vdk
