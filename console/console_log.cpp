// The console log.
#include "console_log.h"

#include <new>

#include "log_file.h"

ConsoleLogFile* consoleLog = nullptr;
bool consoleLogClosed = false;

ConsoleLogFile::ConsoleLogFile(const std::string& path) : stream_(path.c_str(), std::ios::out | std::ios::app) {}

ConsoleLogFile::~ConsoleLogFile() {
  consoleLog = nullptr;
  consoleLogClosed = true;
  stream_.close();
}

void GetConsoleLog() {
  const std::string path = LogFilePath();
  if (!consoleLogClosed && consoleLog == nullptr) consoleLog = new (std::nothrow) ConsoleLogFile(path);
}
