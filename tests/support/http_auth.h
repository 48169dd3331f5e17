#pragma once

#include <string>

#include "support/test_server.h"

namespace vdk::test {

enum class AuthScheme { Basic, Digest };

// Scripts path on server to answer like a server that needs a login: 200 with
// body for a request carrying user and password under scheme (Digest: MD5 with
// qop "auth"), and otherwise 401 with a challenge for that scheme.
void RequireLogin(TestServer& server, const std::string& path, AuthScheme scheme, const std::string& user,
                  const std::string& password, const std::string& body);

}  // namespace vdk::test
