// The runner's log: one object per process, appending one line per event to
// ombrixxelq.log in the temporary folder.
#ifndef OMBRIX_RUNNER_LOG_FILE_H
#define OMBRIX_RUNNER_LOG_FILE_H

#include <string>

#include "win32.h"

class LogFile {
 public:
  // Opens the file for output and appending in text mode; a file that cannot be
  // opened leaves the stream failed and every write does nothing.
  explicit LogFile(const std::string& path);
  // Clears logInstance, sets logDestroyed, closes the stream.
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // "[component] <ctime less its line feed>\t<tag> - <message>\n", flushed.
  void Write(const char* component, const char* tag, const char* message);
  // The same with " " and the number in signed decimal after the message.
  void WriteNumber(const char* component, const char* tag, const char* message, int number);

 private:
  void WriteStart(const char* component, const char* tag, const char* message);
  FileStream stream_;
};

extern LogFile* logInstance;
extern bool logDestroyed;

// The log path: the 8-bit temporary folder (which ends in a backslash), "\" and
// "ombrixxelq.log". Both the runners and the console build it so.
std::string LogFilePath();

// The one log object, made on first use; null once it was destroyed or when it
// could not be allocated.
LogFile* GetLog();
// Destroys the log object, if there is one.
void CloseLog();

// The log to write to: the given one, or, when GetLog gave none because the
// object could not be allocated, one that discards every line.
LogFile& LogOrDiscard(LogFile* log);

#endif
