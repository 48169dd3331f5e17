#include "core/net/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "core/base/text_utils.h"
#include "core/net/default_proxy.h"
#include "core/net/http_connections.h"
#include "core/url/uri.h"
#include "vendrake_version.h"

namespace vdk {
namespace {

constexpr char kUserAgent[] = "Vendrake/" VENDRAKE_VERSION;
constexpr long kReceiveBufferBytes = 128 * 1024;

void InitCurlOnce() {
  // curl_global_init is not thread-safe and must run before any thread uses
  // libcurl; std::call_once retries it when it fails.
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) throw EHttpError("Cannot initialise libcurl");
  });
}

template <typename T>
void SetOpt(CURL* easy, CURLoption option, T value) {
  if (curl_easy_setopt(easy, option, value) != CURLE_OK)
    throw EHttpError("libcurl refused option " + std::to_string(static_cast<int>(option)));
}

// The locks of the shared name cache, one per kind of data libcurl shares.
// Never destroyed: detached workers may still resolve names during exit.
std::mutex& ShareLock(curl_lock_data data) {
  static auto* const locks = new std::mutex[CURL_LOCK_DATA_LAST];
  return locks[data];
}
void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) { ShareLock(data).lock(); }
void UnlockShare(CURL*, curl_lock_data data, void*) { ShareLock(data).unlock(); }

// Name lookups, shared by every client of the process. A client lives for
// one work item, so a cache of its own would look the start host up again
// for every item, each time on a new resolver thread of libcurl's.
CURLSH* SharedNameCache() {
  static CURLSH* const share = [] {
    CURLSH* s = curl_share_init();
    if (!s || curl_share_setopt(s, CURLSHOPT_LOCKFUNC, &LockShare) != CURLSHE_OK ||
        curl_share_setopt(s, CURLSHOPT_UNLOCKFUNC, &UnlockShare) != CURLSHE_OK ||
        curl_share_setopt(s, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) != CURLSHE_OK)
      throw EHttpError("Cannot create the shared name cache");
    return s;
  }();
  return share;
}

std::string SecondsText(std::chrono::milliseconds duration) {
  char text[32];
  std::snprintf(text, sizeof text, "%g s", std::chrono::duration<double>(duration).count());
  return text;
}

}  // namespace

// The handles of one client. The easy handle joins the multi handle only
// while a request runs; the multi handle keeps the connections, the client's
// own or borrowed from a pool for the client's life.
struct THttpClient::TCurl {
  std::shared_ptr<THttpConnections> Pool;
  THttpConnections::TLease Lease;
  CURL* Easy = nullptr;
  CURLM* Multi = nullptr;
  // How the request in flight ended in libcurl, and its detailed message.
  CURLcode Result = CURLE_OK;
  char ErrorText[CURL_ERROR_SIZE] = {};
  // Whether the connections may serve the pool's next client.
  bool Reusable = true;

  explicit TCurl(std::shared_ptr<THttpConnections> pool) : Pool(std::move(pool)) {
    if (Pool) Lease = Pool->Borrow();
    Multi = Pool ? Lease.Multi : curl_multi_init();
    Easy = curl_easy_init();
    if (!Easy || !Multi) {
      Release();
      throw EHttpError("Cannot create a libcurl handle");
    }
  }
  ~TCurl() { Release(); }
  TCurl(const TCurl&) = delete;
  TCurl& operator=(const TCurl&) = delete;

  void Release() {
    if (Easy) curl_easy_cleanup(Easy);
    if (Pool)
      Pool->GiveBack(Lease, Reusable);
    else if (Multi)
      curl_multi_cleanup(Multi);
  }
};

THttpClient::THttpClient(const TRegOptions& options, std::string_view loginURL,
                         std::shared_ptr<THttpConnections> connections)
    : readTimeout_(ReadTimeout(options.TimeOut)),
      speedWindow_(std::max<std::chrono::seconds>(readTimeout_, kMinSpeedWindow)) {
  InitCurlOnce();
  curl_ = std::make_unique<TCurl>(std::move(connections));
  if (options.NeedToLogin) {
    loginSite_ = SiteOf(loginURL);
    credentials_.emplace(options.UserName, options.Password);
  }
  Configure(options);
}

THttpClient::~THttpClient() {
  // A cancelled transfer may have left its connection half used.
  curl_->Reusable = !cancelled_;
}

std::chrono::seconds THttpClient::ReadTimeout(std::int32_t timeOut) {
  if (timeOut <= 0) return kDefaultReadTimeout;
  return std::min(std::chrono::seconds(timeOut), kMaxReadTimeout);
}

std::optional<THttpClient::TSite> THttpClient::SiteOf(std::string_view url) {
  const TIdURI uri(url);
  const std::string protocol = LowerCase(uri.Protocol());
  if (uri.Host().empty()) return std::nullopt;
  if (uri.Port().empty()) {
    if (protocol == "http") return TSite{LowerCase(uri.Host()), 80};
    if (protocol == "https") return TSite{LowerCase(uri.Host()), 443};
    return std::nullopt;
  }
  const auto port = ParseInt32(uri.Port());
  if (!port) return std::nullopt;
  return TSite{LowerCase(uri.Host()), *port};
}

void THttpClient::Configure(const TRegOptions& options) {
  CURL* easy = curl_->Easy;
  SetOpt(easy, CURLOPT_NOSIGNAL, 1L);
  // Files are written as they arrive: 128 KB pieces instead of libcurl's
  // 16 KB take an eighth of the reads and writes.
  SetOpt(easy, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  SetOpt(easy, CURLOPT_ERRORBUFFER, curl_->ErrorText);
  SetOpt(easy, CURLOPT_USERAGENT, kUserAgent);
  SetOpt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  SetOpt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  SetOpt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  SetOpt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  SetOpt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  SetOpt(easy, CURLOPT_CONNECTTIMEOUT, static_cast<long>(kConnectTimeout.count()));
  SetOpt(easy, CURLOPT_MAXAGE_CONN, static_cast<long>(THttpConnections::kMaxIdle.count()));
  // An empty file name switches on the cookie engine in memory only: cookies
  // live as long as this client.
  SetOpt(easy, CURLOPT_COOKIEFILE, "");
  SetOpt(easy, CURLOPT_SHARE, SharedNameCache());
  SetOpt(easy, CURLOPT_HTTPAUTH, static_cast<unsigned long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
  if (const char* caFile = std::getenv("SSL_CERT_FILE"); caFile && *caFile) SetOpt(easy, CURLOPT_CAINFO, caFile);

  // An empty proxy also keeps libcurl from taking one from http_proxy and
  // friends; an empty no-proxy list sends every host through the proxy.
  const std::optional<TProxyServer> proxy = ProxyFor(options);
  SetOpt(easy, CURLOPT_PROXY, proxy ? proxy->Address.c_str() : "");
  SetOpt(easy, CURLOPT_NOPROXY, "");
  if (proxy) {
    // A proxy that cannot be used must not turn into a direct connection.
    if (Trim(proxy->Address).empty() || proxy->Port < 1 || proxy->Port > 65535)
      throw EHttpError("Invalid proxy \"" + proxy->Address + "\" port " + std::to_string(proxy->Port));
    SetOpt(easy, CURLOPT_PROXYPORT, static_cast<long>(proxy->Port));
  }

  SetOpt(easy, CURLOPT_HEADERFUNCTION, &THttpClient::OnHeaderLine);
  SetOpt(easy, CURLOPT_HEADERDATA, this);
  SetOpt(easy, CURLOPT_WRITEFUNCTION, &THttpClient::OnBody);
  SetOpt(easy, CURLOPT_WRITEDATA, this);
  SetOpt(easy, CURLOPT_PREREQFUNCTION, &THttpClient::OnRequestReady);
  SetOpt(easy, CURLOPT_PREREQDATA, this);
}

std::string THttpClient::Get(const std::string& url) {
  std::string text;
  const TBodySink append = [&text](const char* data, std::size_t size) {
    text.append(data, size);
    return true;
  };
  Transfer(url, false, &append, kMaxPageBytes);
  return text;
}

void THttpClient::Get(const std::string& url, const TBodySink& sink, std::int64_t maxBytes) {
  Transfer(url, false, &sink, maxBytes);
}

void THttpClient::Head(const std::string& url) { Transfer(url, true, nullptr, 0); }

void THttpClient::Cancel() {
  cancelled_ = true;
  curl_multi_wakeup(curl_->Multi);
}

void THttpClient::Transfer(const std::string& url, bool headOnly, const TBodySink* sink, std::int64_t maxBytes) {
  url_ = WithoutUserInfo(url);
  if (cancelled_) throw EHttpCancelled(url_ + ": cancelled");
  response_ = {};
  sink_ = sink;
  maxBytes_ = maxBytes;
  received_ = 0;
  bodyStarted_ = false;
  errorBody_ = false;
  lastActivity_.reset();
  callbackError_ = nullptr;
  curl_->Result = CURLE_OK;
  curl_->ErrorText[0] = '\0';

  CURL* easy = curl_->Easy;
  SetOpt(easy, CURLOPT_URL, url.c_str());
  SetOpt(easy, headOnly ? CURLOPT_NOBODY : CURLOPT_HTTPGET, 1L);
  const bool login = credentials_ && loginSite_ && SiteOf(url) == loginSite_;
  SetOpt(easy, CURLOPT_USERNAME, login ? credentials_->first.c_str() : nullptr);
  SetOpt(easy, CURLOPT_PASSWORD, login ? credentials_->second.c_str() : nullptr);

  if (curl_multi_add_handle(curl_->Multi, easy) != CURLM_OK) throw EHttpError(url_ + ": cannot start the request");
  TOutcome outcome;
  try {
    outcome = Run();
  } catch (...) {
    curl_multi_remove_handle(curl_->Multi, easy);
    throw;
  }
  curl_multi_remove_handle(curl_->Multi, easy);
  ReadResponseInfo();

  if (cancelled_) throw EHttpCancelled(url_ + ": cancelled");
  if (callbackError_) std::rethrow_exception(callbackError_);
  if (outcome == TOutcome::TimedOut)
    throw EHttpError(url_ + ": no data received for " + std::to_string(readTimeout_.count()) + " s");
  if (outcome == TOutcome::TooSlow)
    throw EHttpError(url_ + ": less than 1 KB/s received for " + SecondsText(speedWindow_));
  CheckResponse();
}

// Drives the transfer until it ends, waking for socket events, libcurl's own
// timers, the read deadline and Cancel.
THttpClient::TOutcome THttpClient::Run() {
  while (true) {
    int running = 0;
    if (const CURLMcode rc = curl_multi_perform(curl_->Multi, &running); rc != CURLM_OK)
      throw EHttpError(std::string("libcurl: ") + curl_multi_strerror(rc));
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(curl_->Multi, &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      curl_->Result = message->data.result;
      return TOutcome::Done;
    }
    if (cancelled_) return TOutcome::Cancelled;
    const auto wait = TimeLeftToRead();
    if (wait.count() <= 0) return TOutcome::TimedOut;
    if (TooSlow()) return TOutcome::TooSlow;
    const auto window = TimeLeftInSpeedWindow();
    curl_multi_poll(curl_->Multi, nullptr, 0, static_cast<int>(std::min(wait, window).count()), nullptr);
    if (cancelled_) return TOutcome::Cancelled;
  }
}

std::chrono::milliseconds THttpClient::TimeLeftToRead() const {
  using std::chrono::milliseconds;
  // Before the request is sent, libcurl's connect time-out is in charge.
  if (!lastActivity_) return std::chrono::duration_cast<milliseconds>(readTimeout_);
  return std::chrono::duration_cast<milliseconds>(*lastActivity_ + readTimeout_ - TClock::now());
}

std::chrono::milliseconds THttpClient::TimeLeftInSpeedWindow() const {
  using std::chrono::milliseconds;
  if (!lastActivity_) return speedWindow_;
  return std::max(milliseconds(1),
                  std::chrono::duration_cast<milliseconds>(windowStart_ + speedWindow_ - TClock::now()));
}

// Windows follow each other from the moment the request is sent: a server
// that sends a byte just often enough to keep the read clock from running
// out still fails at the end of the first window it does not fill.
bool THttpClient::TooSlow() {
  if (!lastActivity_) return false;
  const auto now = TClock::now();
  if (now - windowStart_ < speedWindow_) return false;
  const double seconds = std::chrono::duration<double>(speedWindow_).count();
  if (static_cast<double>(windowBytes_) < kMinBytesPerSecond * seconds) return true;
  windowStart_ = now;
  windowBytes_ = 0;
  return false;
}

void THttpClient::Received(std::size_t bytes) {
  lastActivity_ = TClock::now();
  windowBytes_ += static_cast<std::int64_t>(bytes);
}

void THttpClient::ReadResponseInfo() {
  CURL* easy = curl_->Easy;
  long code = 0;
  curl_off_t length = -1;
  const char* finalURL = nullptr;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &code);
  curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &finalURL);
  response_.ResponseCode = static_cast<int>(code);
  response_.ContentLength = length;
  response_.FinalURL = finalURL ? finalURL : "";
}

void THttpClient::CheckResponse() const {
  if (curl_->Result != CURLE_OK)
    throw EHttpError(url_ + ": " + (curl_->ErrorText[0] ? curl_->ErrorText : curl_easy_strerror(curl_->Result)));
  if (response_.ResponseCode >= 200 && response_.ResponseCode < 300) return;
  const std::string status =
      response_.StatusLine.empty() ? "HTTP status " + std::to_string(response_.ResponseCode) : response_.StatusLine;
  throw EHttpError(url_ + ": " + status);
}

std::size_t THttpClient::OnHeaderLine(char* data, std::size_t size, std::size_t count, void* self) {
  auto& client = *static_cast<THttpClient*>(self);
  const std::string_view line(data, size * count);
  client.Received(line.size());
  // Every response of the exchange (redirects, challenges, a proxy's
  // CONNECT answer) starts with its status line; the last one is final.
  if (line.starts_with("HTTP/")) client.response_.StatusLine = Trim(line);
  return size * count;
}

std::size_t THttpClient::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto& client = *static_cast<THttpClient*>(self);
  try {
    client.ReceiveBody(data, size * count);
    return size * count;
  } catch (...) {
    // Exceptions must not cross libcurl; the transfer stops and Transfer
    // raises this one.
    client.callbackError_ = std::current_exception();
    return 0;
  }
}

std::string THttpClient::BodyTooLargeText() const {
  return "the body is larger than " + std::to_string(maxBytes_) + " bytes";
}

int THttpClient::OnRequestReady(void* self, char*, char*, int, int) {
  auto& client = *static_cast<THttpClient*>(self);
  const auto now = TClock::now();
  if (!client.lastActivity_) {
    // The first request of the exchange opens the first speed window;
    // redirects and login challenges go on in it.
    client.windowStart_ = now;
    client.windowBytes_ = 0;
  }
  client.lastActivity_ = now;
  return CURL_PREREQFUNC_OK;
}

void THttpClient::ReceiveBody(const char* data, std::size_t size) {
  if (cancelled_) throw EHttpCancelled(url_ + ": cancelled");
  Received(size);
  const auto tooLarge = [this](std::int64_t bytes) { return maxBytes_ > 0 && bytes > maxBytes_; };
  if (!bodyStarted_) {
    // libcurl passes on only the final response's body, so the status and
    // the announced length are known here.
    bodyStarted_ = true;
    ReadResponseInfo();
    errorBody_ = response_.ResponseCode < 200 || response_.ResponseCode >= 300;
    if (!errorBody_ && tooLarge(response_.ContentLength)) throw EHttpError(url_ + ": " + BodyTooLargeText());
  }
  if (errorBody_) {
    // An error page is not stored, but read to its end when it is short, so
    // that its connection serves the next request; Transfer then fails with
    // the status. Cutting a long one off closes the connection.
    received_ += static_cast<std::int64_t>(size);
    if (std::max(received_, response_.ContentLength) > kMaxErrorBodyBytes) CheckResponse();
    return;
  }
  if (tooLarge(received_ + static_cast<std::int64_t>(size))) throw EHttpError(url_ + ": " + BodyTooLargeText());
  if (!(*sink_)(data, size)) throw EHttpError(url_ + ": cannot store the body");
  received_ += static_cast<std::int64_t>(size);
  if (OnWork) OnWork(received_);
}

}  // namespace vdk
