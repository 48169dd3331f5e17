#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vdk::cli {

// A small streaming JSON writer for the command line's machine-readable
// output. Texts are bytes as stored: valid UTF-8 passes through, any other
// byte is written as the code point of the same number.
class TJsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  void Key(std::string_view key);
  void String(std::string_view value);
  void Number(std::int64_t value);
  void Bool(bool value);

  // Key and value at once.
  void Field(std::string_view key, std::string_view value) { Key(key), String(value); }
  void Field(std::string_view key, const char* value) { Key(key), String(value); }
  void Field(std::string_view key, std::int64_t value) { Key(key), Number(value); }
  void Field(std::string_view key, int value) { Key(key), Number(value); }
  void Field(std::string_view key, bool value) { Key(key), Bool(value); }
  void Field(std::string_view key, const std::vector<std::string>& values);

  const std::string& Text() const { return out_; }

 private:
  void Open(char bracket);
  void Close(char bracket);
  void BeforeValue();
  void Quoted(std::string_view text);

  std::string out_;
  std::vector<bool> first_;  // per open container: nothing written yet
  bool afterKey_ = false;
};

}  // namespace vdk::cli
