#include "ui/mainwindow/rtf_log.h"

#include <charconv>
#include <cstdio>
#include <ostream>

#include "core/base/atomic_file.h"
#include "core/base/path_utils.h"

namespace vdk {
namespace {

// The code point of the UTF-8 sequence at text[i], advancing i; -1 for a
// byte that does not start a valid sequence (i then moves one byte on).
long NextCodePoint(const std::string& text, std::size_t& i) {
  const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  int length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead >= 0xF5) length = 0;
  if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) {
    ++i;
    return -1;
  }
  long code = lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    const unsigned char next = byte(i + static_cast<std::size_t>(k));
    if ((next & 0xC0) != 0x80) {
      ++i;
      return -1;
    }
    code = (code << 6) | (next & 0x3F);
  }
  const long minimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < minimum[length] || (code >= 0xD800 && code <= 0xDFFF)) {
    ++i;
    return -1;
  }
  i += static_cast<std::size_t>(length);
  return code;
}

void PutUnicode(std::string& out, long unit) {
  // RTF's \u takes a signed 16-bit number; "?" is what readers without
  // Unicode show.
  out += "\\u" + std::to_string(unit > 0x7FFF ? unit - 0x10000 : unit) + "?";
}

void PutLine(std::string& out, const std::string& line) {
  for (std::size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c < 0x80) {
      if (c == '\\' || c == '{' || c == '}') out += '\\';
      if (c == '\t') {
        out += "\\tab ";
      } else if (c >= 0x20) {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    const std::size_t start = i;
    const long code = NextCodePoint(line, i);
    if (code < 0) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned char>(line[start]));
      out += hex;
    } else if (code > 0xFFFF) {
      PutUnicode(out, 0xD800 + ((code - 0x10000) >> 10));
      PutUnicode(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      PutUnicode(out, code);
    }
  }
  out += "\\par\n";
}

}  // namespace

std::string LogAsRtf(const std::vector<std::string>& lines) {
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset0 Monospace;}}\n\\f0\\fs18\n";
  for (const std::string& line : lines) PutLine(out, line);
  out += "}\n";
  return out;
}

std::string LogFileName(TDateTime now, char decimalPoint) {
  // to_chars ignores the C locale, which a Qt program sets from the desktop.
  char number[64];
  const auto end = std::to_chars(number, number + sizeof number, now, std::chars_format::general, 15).ptr;
  std::string name(number, end);
  for (char& c : name)
    if (c == '.') c = decimalPoint;
  return name + ".rtf";
}

std::string SaveLogFile(const std::string& folder, const std::vector<std::string>& lines, TDateTime now,
                        char decimalPoint) {
  const std::string path = AddSlash(folder) + LogFileName(now, decimalPoint);
  const std::string text = LogAsRtf(lines);
  WriteFileAtomically(path, DefaultFileMode(), [&text](std::ostream& out) { out << text; });
  return path;
}

}  // namespace vdk
