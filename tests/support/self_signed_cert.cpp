#include "support/self_signed_cert.h"

#include <stdexcept>

#include "support/child_process.h"

namespace vdk::test {

SelfSignedCert MakeSelfSignedCert(const std::string& folder) {
  SelfSignedCert cert{folder + "cert.pem", folder + "key.pem"};
  // An EC key is made in milliseconds, unlike an RSA one.
  const int status = RunProgram({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                 "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                                 "subjectAltName=IP:127.0.0.1", "-keyout", cert.KeyFile, "-out", cert.CertFile});
  if (status != 0) throw std::runtime_error("openssl could not make a certificate");
  return cert;
}

}  // namespace vdk::test
