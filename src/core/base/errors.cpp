#include "core/base/errors.h"

#include <cstring>

namespace vdk {

EFileError::EFileError(const std::string& what, const std::string& path, int err)
    : EVendrakeError(what + " \"" + path + "\": " + std::strerror(err)), path_(path), err_(err) {}

EFileError::EFileError(const std::string& message, const std::string& path)
    : EVendrakeError(message + " \"" + path + "\""), path_(path) {}

}  // namespace vdk
