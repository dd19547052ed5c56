// The runner's log.
#include "log_file.h"

#include <ctime>
#include <new>

LogFile* logInstance = nullptr;
bool logDestroyed = false;

LogFile::LogFile(const std::string& path) : stream_(path.c_str(), std::ios::out | std::ios::app) {}

LogFile::~LogFile() {
  logInstance = nullptr;
  logDestroyed = true;
  stream_.close();
}

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

std::string LogFilePath() {
  char folder[1000] = {};
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + "\\" + "ombrixxelq.log";
}

LogFile* GetLog() {
  if (logInstance == nullptr && !logDestroyed) {
    logInstance = new (std::nothrow) LogFile(LogFilePath());
  }
  return logInstance;
}

void CloseLog() {
  delete logInstance;
}

LogFile& LogOrDiscard(LogFile* log) {
  if (log != nullptr) return *log;
  static LogFile* discard = new LogFile(std::string());  // never opened, never destroyed
  return *discard;
}
