// The runner's log.
#include "log_file.h"

#include <ctime>

LogFile*& logInstance = LogFile::instance;
bool& logDestroyed = LogFile::destroyed;

void LogFile::WriteStart(const char* component, const char* tag, const char* message) {
  const std::time_t now = std::time(nullptr);
  std::string stamp = ctime(&now);
  stamp.pop_back();  // ctime ends in a line feed
  stream_ << "[" << component << "] " << stamp << "\t" << tag << " - " << message;
}

void LogFile::Write(const char* component, const char* tag, const char* message) {
  WriteStart(component, tag, message);
  stream_ << "\n";
  stream_.flush();
}

void LogFile::WriteNumber(const char* component, const char* tag, const char* message, int number) {
  WriteStart(component, tag, message);
  stream_ << " " << number << "\n";
  stream_.flush();
}

LogFile* GetLog() { return LogFile::Open(); }

void CloseLog() {
  delete logInstance;
}

LogFile& LogOrDiscard(LogFile* log) {
  if (log != nullptr) return *log;
  static LogFile* discard = new LogFile(std::string());  // never opened, never destroyed
  return *discard;
}
