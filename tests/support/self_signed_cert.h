#pragma once

#include <string>

namespace vdk::test {

// A self-signed certificate for 127.0.0.1 (also its own CA) and its key, as
// PEM files.
struct SelfSignedCert {
  std::string CertFile;
  std::string KeyFile;
};

// Makes a fresh certificate and key in folder with the openssl tool; throws
// std::runtime_error when the tool fails.
SelfSignedCert MakeSelfSignedCert(const std::string& folder);

}  // namespace vdk::test
