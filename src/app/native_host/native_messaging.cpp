#include "app/native_host/native_messaging.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

namespace vdk {

std::size_t TNativeMessaging::ReadFully(char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::read(in_, buffer + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

TNativeMessaging::TReadResult TNativeMessaging::Read(std::string& message) {
  char header[4];
  const std::size_t got = ReadFully(header, sizeof header);
  if (got == 0) return TReadResult::End;
  if (got < sizeof header) return TReadResult::Truncated;
  std::uint32_t length = 0;
  std::memcpy(&length, header, sizeof length);
  if (length > kMaxMessage) return TReadResult::TooLong;
  message.assign(length, '\0');
  return ReadFully(message.data(), length) == length ? TReadResult::Message : TReadResult::Truncated;
}

bool TNativeMessaging::Write(const std::string& message) {
  const auto length = static_cast<std::uint32_t>(message.size());
  std::string frame(sizeof length, '\0');
  std::memcpy(frame.data(), &length, sizeof length);
  frame += message;
  std::size_t done = 0;
  while (done < frame.size()) {
    const ssize_t put = ::write(out_, frame.data() + done, frame.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::string ErrorAnswer(const std::string& text) {
  // Invalid UTF-8 in a message is replaced rather than refused by the dump.
  return nlohmann::json{{"ok", false}, {"error", text}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string AnswerMessage(const std::string& message, const std::function<std::string(const std::string&)>& createUrl) {
  const nlohmann::json parsed = nlohmann::json::parse(message, nullptr, false);
  if (parsed.is_discarded()) return ErrorAnswer("The message is not valid JSON.");
  if (!parsed.is_object() || !parsed.contains("url") || !parsed["url"].is_string())
    return ErrorAnswer("The message has no \"url\" text.");
  const std::string error = createUrl(parsed["url"].get<std::string>());
  if (!error.empty()) return ErrorAnswer(error);
  return nlohmann::json{{"ok", true}}.dump();
}

}  // namespace vdk
