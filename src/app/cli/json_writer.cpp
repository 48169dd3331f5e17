#include "app/cli/json_writer.h"

#include <cstdio>

namespace vdk::cli {
namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  const std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

void Escape(std::string& out, unsigned code) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
  out += buffer;
}

}  // namespace

void TJsonWriter::Open(char bracket) {
  BeforeValue();
  out_ += bracket;
  first_.push_back(true);
}

void TJsonWriter::Close(char bracket) {
  first_.pop_back();
  out_ += bracket;
}

void TJsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
}

void TJsonWriter::Key(std::string_view key) {
  BeforeValue();
  Quoted(key);
  out_ += ':';
  afterKey_ = true;
}

void TJsonWriter::String(std::string_view value) {
  BeforeValue();
  Quoted(value);
}

void TJsonWriter::Field(std::string_view key, const std::vector<std::string>& values) {
  Key(key);
  BeginArray();
  for (const std::string& value : values) String(value);
  EndArray();
}

void TJsonWriter::Number(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
}

void TJsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
}

void TJsonWriter::Quoted(std::string_view text) {
  out_ += '"';
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == '"' || b == '\\') {
      out_ += '\\';
      out_ += static_cast<char>(b);
    } else if (b < 0x20 || b == 0x7F) {
      Escape(out_, b);
    } else if (b >= 0x80) {
      const std::size_t n = Utf8Length(text, i);
      if (n == 0) {
        Escape(out_, b);
      } else {
        out_.append(text.substr(i, n));
        i += n;
        continue;
      }
    } else {
      out_ += static_cast<char>(b);
    }
    ++i;
  }
  out_ += '"';
}

}  // namespace vdk::cli
