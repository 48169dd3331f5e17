#include "support/http_auth.h"

#include <openssl/evp.h>

#include <algorithm>
#include <map>
#include <string_view>

namespace vdk::test {
namespace {

constexpr char kRealm[] = "vendrake-test";
constexpr char kNonce[] = "5f1d6c0a9b7e4d2c";

std::string Md5Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(text.data(), text.size(), digest, &size, EVP_md5(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

// The name=value and name="value" pairs of a Digest authorization header.
std::map<std::string, std::string> DigestParams(std::string_view text) {
  std::map<std::string, std::string> params;
  while (!text.empty()) {
    const auto start = text.find_first_not_of(" ,");
    if (start == std::string_view::npos) break;
    text.remove_prefix(start);
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) break;
    const std::string name(text.substr(0, eq));
    text.remove_prefix(eq + 1);
    std::string_view value;
    if (text.starts_with('"')) {
      const auto close = text.find('"', 1);
      value = text.substr(1, close - 1);
      text.remove_prefix(close == std::string_view::npos ? text.size() : close + 1);
    } else {
      const auto comma = std::min(text.find(','), text.size());
      value = text.substr(0, comma);
      text.remove_prefix(comma);
    }
    params[name] = std::string(value);
  }
  return params;
}

bool ValidDigest(const httplib::Request& req, const std::string& user, const std::string& password) {
  const std::string header = req.get_header_value("Authorization");
  if (!header.starts_with("Digest ")) return false;
  auto p = DigestParams(std::string_view(header).substr(7));
  if (p["username"] != user || p["realm"] != kRealm || p["nonce"] != kNonce || p["uri"] != req.target ||
      p["qop"] != "auth")
    return false;
  const std::string ha1 = Md5Hex(user + ":" + kRealm + ":" + password);
  const std::string ha2 = Md5Hex(req.method + ":" + p["uri"]);
  return p["response"] == Md5Hex(ha1 + ":" + kNonce + ":" + p["nc"] + ":" + p["cnonce"] + ":auth:" + ha2);
}

bool ValidBasic(const httplib::Request& req, const std::string& user, const std::string& password) {
  return req.get_header_value("Authorization") == httplib::make_basic_authentication_header(user, password).second;
}

std::string Challenge(AuthScheme scheme) {
  if (scheme == AuthScheme::Basic) return std::string("Basic realm=\"") + kRealm + "\"";
  return std::string("Digest realm=\"") + kRealm + "\", qop=\"auth\", nonce=\"" + kNonce + "\", algorithm=MD5";
}

}  // namespace

void RequireLogin(TestServer& server, const std::string& path, AuthScheme scheme, const std::string& user,
                  const std::string& password, const std::string& body) {
  server.Handle(path, [=](const httplib::Request& req, httplib::Response& res) {
    const bool valid = scheme == AuthScheme::Basic ? ValidBasic(req, user, password) : ValidDigest(req, user, password);
    if (valid) {
      res.set_content(body, "text/html");
      return;
    }
    res.status = 401;
    res.set_header("WWW-Authenticate", Challenge(scheme));
    res.set_content("Login required", "text/plain");
  });
}

}  // namespace vdk::test
