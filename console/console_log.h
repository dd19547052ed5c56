// The console's hold on the shared log file: opened for appending while the
// console runs, never written to.
#ifndef OMBRIX_CONSOLE_CONSOLE_LOG_H
#define OMBRIX_CONSOLE_CONSOLE_LOG_H

#include <string>

#include "single_log.h"
#include "win32.h"

class ConsoleLogFile : public SingleLog<ConsoleLogFile, WFileStream> {
 public:
  explicit ConsoleLogFile(const std::string& path) : SingleLog(path) {}
};

// The one ConsoleLogFile, on the heap; null when none is open.
extern ConsoleLogFile*& consoleLog;
// Set once the ConsoleLogFile was destroyed; no new one is made after that.
extern bool& consoleLogClosed;

// Makes sure that the log is open, unless it was closed for good. Builds the log
// path on every call; a failed allocation leaves consoleLog null for a later try.
void GetConsoleLog();

#endif
