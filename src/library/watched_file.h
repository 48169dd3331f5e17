#pragma once

#include <QIODevice>

#include <stop_token>
#include <string>
#include <vector>

namespace vdk {

// A read-only device over a file for the image decoders. It serves every read
// the decoder makes as asked (no QIODevice buffering; it keeps its own block
// cache), so it can tell whether the decoder ever wanted bytes beyond the end
// of the file; and once stop is requested every read fails, which ends a
// decode that is under way.
class TWatchedFile : public QIODevice {
 public:
  TWatchedFile(const std::string& path, std::stop_token stop);
  ~TWatchedFile() override;

  // Opens the file read-only; false when it cannot be opened.
  bool Open();

  bool isSequential() const override { return false; }
  qint64 size() const override { return size_; }
  void close() override;

  // A read was made with no bytes left to give.
  bool ReadPastEnd() const { return readPastEnd_; }
  // A read got fewer bytes than it asked for.
  bool ShortRead() const { return shortRead_; }
  // Forgets the reads seen so far (format detection and header probing).
  void ResetWatch();

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  bool Fill(qint64 offset);

  std::string path_;
  std::stop_token stop_;
  int fd_ = -1;
  qint64 size_ = 0;
  std::vector<char> cache_;
  qint64 cacheStart_ = 0;
  qint64 cacheLength_ = 0;
  bool readPastEnd_ = false;
  bool shortRead_ = false;
};

}  // namespace vdk
