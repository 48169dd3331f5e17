#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vdk {

// The browser's native-messaging framing on a pair of file descriptors: each
// message is its length in 4 bytes of the machine's byte order followed by
// that many bytes of UTF-8 JSON.
class TNativeMessaging {
 public:
  // The longest message taken from the browser; Chromium sends no more to a
  // host of this kind, and the host's answers stay far below it too.
  static constexpr std::uint32_t kMaxMessage = 1024 * 1024;

  enum class TReadResult {
    Message,    // a whole message was read
    End,        // the browser closed the input between messages
    Truncated,  // the input ended inside a message
    TooLong,    // the announced length is over kMaxMessage
  };

  TNativeMessaging(int in, int out) : in_(in), out_(out) {}

  // Reads one message, however the bytes arrive. Nothing after a TooLong
  // header is read.
  TReadResult Read(std::string& message);
  // Writes one message; false when the output is gone.
  bool Write(const std::string& message);

 private:
  // Reads exactly size bytes; the count read when the input ended early.
  std::size_t ReadFully(char* buffer, std::size_t size);

  int in_;
  int out_;
};

// The host's answer to one message, {"url": "..."}: {"ok":true} when
// createUrl (the program's CreateUrl; empty text when it succeeded, else the
// error) succeeded, else {"ok":false,"error":"..."}. Text that is not such a
// message is answered with an error and never reaches createUrl.
std::string AnswerMessage(const std::string& message, const std::function<std::string(const std::string&)>& createUrl);

// {"ok":false,"error":text}.
std::string ErrorAnswer(const std::string& text);

}  // namespace vdk
