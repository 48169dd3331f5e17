#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vdk::test {

// A program started from the test (found on PATH, output discarded), ended
// with SIGTERM and reaped when the object goes.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // False once the program has ended.
  bool Running();
  // Waits for the program's end; its exit status, or -1 when a signal ended it.
  int Wait();
  // Sends SIGTERM and waits for the end (as Wait).
  int Terminate();

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

// Runs a program to its end and returns its exit status (-1: killed by a signal).
int RunProgram(const std::vector<std::string>& argv);

}  // namespace vdk::test
