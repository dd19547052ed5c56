// The runner's log: one object per process, appending one line per event to
// the shared log file.
#ifndef OMBRIX_RUNNER_LOG_FILE_H
#define OMBRIX_RUNNER_LOG_FILE_H

#include <string>

#include "single_log.h"
#include "win32.h"

class LogFile : public SingleLog<LogFile, FileStream> {
 public:
  // A file that cannot be opened leaves the stream failed and every write does
  // nothing.
  explicit LogFile(const std::string& path) : SingleLog(path) {}

  // "[component] <ctime less its line feed>\t<tag> - <message>\n", flushed.
  void Write(const char* component, const char* tag, const char* message);
  // The same with " " and the number in signed decimal after the message.
  void WriteNumber(const char* component, const char* tag, const char* message, int number);

 private:
  void WriteStart(const char* component, const char* tag, const char* message);
};

extern LogFile*& logInstance;
extern bool& logDestroyed;

// The one log object, made on first use; null once it was destroyed or when it
// could not be allocated.
LogFile* GetLog();
// Destroys the log object, if there is one.
void CloseLog();

// The log to write to: the given one, or, when GetLog gave none because the
// object could not be allocated, one that discards every line.
LogFile& LogOrDiscard(LogFile* log);

#endif
