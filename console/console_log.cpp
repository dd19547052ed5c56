// The console log.
#include "console_log.h"

ConsoleLogFile*& consoleLog = ConsoleLogFile::instance;
bool& consoleLogClosed = ConsoleLogFile::destroyed;

void GetConsoleLog() { ConsoleLogFile::Open(); }
