#include "platform/reg_text.h"

#include <cstdint>
#include <optional>

#include "core/base/errors.h"
#include "core/base/text_utils.h"

namespace vdk {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kHexDigits[] = "0123456789abcdef";

// --- writing ---

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

std::string HexBytes(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += ',';
    const auto b = static_cast<unsigned char>(bytes[i]);
    out += kHexDigits[b >> 4];
    out += kHexDigits[b & 0xF];
  }
  return out;
}

std::string HexNumber(std::uint32_t value, int minDigits) {
  std::string out;
  for (int shift = 28; shift >= 0; shift -= 4) {
    const std::uint32_t digit = (value >> shift) & 0xF;
    if (out.empty() && digit == 0 && shift >= 4 * minDigits) continue;
    out += kHexDigits[digit];
  }
  return out;
}

std::uint32_t LittleEndian32(std::string_view bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
  return value;
}

// Text holding a line break cannot be quoted on one line; it is written as
// its bytes under the text type's number instead.
std::string FormatData(const TRegValue& value) {
  const bool oneLine = value.Data.find_first_of("\r\n") == std::string::npos;
  if (value.Type == TRegType::String && oneLine) return Quoted(value.Data);
  if (value.Type == TRegType::DWord && value.Data.size() == 4)
    return "dword:" + HexNumber(LittleEndian32(value.Data), 8);
  if (value.Type == TRegType::Binary) return "hex:" + HexBytes(value.Data);
  return "hex(" + HexNumber(static_cast<std::uint32_t>(value.Type), 1) + "):" + HexBytes(value.Data);
}

// --- reading ---

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    const auto digit = HexDigit(c);
    if (!digit) return std::nullopt;
    value = (value << 4) | static_cast<std::uint32_t>(*digit);
  }
  return value;
}

class Parser {
 public:
  explicit Parser(std::string_view text) : rest_(text) {
    if (rest_.starts_with(kByteOrderMark)) rest_.remove_prefix(kByteOrderMark.size());
  }

  TRegTree Run() {
    if (NextLine() != kHeader) Fail("the header is not \"" + std::string(kHeader) + "\"");
    while (const auto next = NextLine()) {
      const std::string_view line = Trim(*next);
      if (line.empty() || line.front() == ';') continue;
      try {
        if (line.front() == '[') {
          KeyLine(line);
        } else {
          ValueLine(line);
        }
      } catch (const ERegistryError& e) {
        Fail(e.what());
      }
    }
    return std::move(tree_);
  }

 private:
  // The next line without its LF or CR LF; none at the end of the text.
  std::optional<std::string_view> NextLine() {
    if (rest_.empty()) return std::nullopt;
    const std::size_t end = std::min(rest_.find('\n'), rest_.size());
    std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(std::min(end + 1, rest_.size()));
    ++lineNumber_;
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
  }

  [[noreturn]] void Fail(const std::string& reason) const {
    throw EFormatError("Settings store line " + std::to_string(lineNumber_) + ": " + reason);
  }

  void KeyLine(std::string_view line) {
    if (!line.ends_with(']')) Fail("a key line does not end with \"]\"");
    std::string_view path = line.substr(1, line.size() - 2);
    if (!path.starts_with(kRoot)) Fail("keys must lie under " + std::string(kRoot));
    path.remove_prefix(kRoot.size());
    if (!path.empty() && path.front() != '\\') Fail("keys must lie under " + std::string(kRoot));
    key_ = &tree_.CreateKey(NormalizeKeyPath(path));
  }

  void ValueLine(std::string_view line) {
    if (key_ == nullptr) Fail("a value comes before the first key");
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      name = QuotedText(line);
    }
    line = Trim(line);
    if (!line.starts_with('=')) Fail("\"=\" expected after the value name");
    key_->Put(name, Data(Trim(line.substr(1))));
  }

  // Reads a quoted text from the start of rest and consumes it.
  std::string QuotedText(std::string_view& rest) {
    if (!rest.starts_with('"')) Fail("a quoted name expected");
    std::string out;
    for (std::size_t i = 1; i < rest.size(); ++i) {
      char c = rest[i];
      if (c == '"') {
        rest.remove_prefix(i + 1);
        return out;
      }
      if (c == '\\') {
        if (++i == rest.size() || (rest[i] != '\\' && rest[i] != '"')) Fail("only \\\\ and \\\" are escapes");
        c = rest[i];
      }
      out += c;
    }
    Fail("a quoted text is not closed");
  }

  TRegValue Data(std::string_view data) {
    if (data.starts_with('"')) {
      std::string text = QuotedText(data);
      if (!Trim(data).empty()) Fail("text follows the closing quote");
      return TRegValue::OfString(text);
    }
    if (data.starts_with("dword:")) {
      const auto number = ParseHexNumber(data.substr(6), 8);
      if (!number || data.size() != 14) Fail("a DWORD needs eight hex digits");
      return TRegValue::OfDWord(*number);
    }
    if (data.starts_with("hex:")) return TRegValue::OfBinary(HexData(data.substr(4)));
    if (data.starts_with("hex(")) {
      const std::size_t close = data.find("):");
      const auto type = close == std::string_view::npos ? std::nullopt : ParseHexNumber(data.substr(4, close - 4), 8);
      if (!type) Fail("a hex type number is not readable");
      return {static_cast<TRegType>(*type), HexData(data.substr(close + 2))};
    }
    Fail("the data is neither text, dword: nor hex");
  }

  // Comma-separated byte pairs; a trailing "\" continues them on the next line.
  std::string HexData(std::string_view data) {
    std::string bytes;
    for (;;) {
      const bool continued = data.ends_with('\\');
      if (continued) data.remove_suffix(1);
      AppendHexBytes(data, bytes);
      if (!continued) return bytes;
      const auto next = NextLine();
      if (!next) Fail("hex data continues past the end");
      data = Trim(*next);
    }
  }

  void AppendHexBytes(std::string_view data, std::string& bytes) {
    while (!(data = Trim(data)).empty()) {
      const std::size_t comma = std::min(data.find(','), data.size());
      const auto byte = ParseHexNumber(Trim(data.substr(0, comma)), 2);
      if (!byte) Fail("a hex byte is not readable");
      bytes += static_cast<char>(*byte);
      data.remove_prefix(std::min(comma + 1, data.size()));
    }
  }

  std::string_view rest_;
  std::size_t lineNumber_ = 0;  // of the line read last, from 1
  TRegTree tree_;
  TRegKey* key_ = nullptr;
};

}  // namespace

std::string FormatRegText(const TRegTree& tree) {
  std::string out = std::string(kHeader) + "\n\n";
  for (const auto& [id, key] : tree.Keys()) {
    out += '[';
    out += kRoot;
    if (!key.Path().empty()) out += '\\' + key.Path();
    out += "]\n";
    for (const TRegNamedValue& value : key.Values())
      out += (value.Name.empty() ? "@" : Quoted(value.Name)) + "=" + FormatData(value.Value) + "\n";
    out += '\n';
  }
  return out;
}

TRegTree ParseRegText(std::string_view text) { return Parser(text).Run(); }

}  // namespace vdk
