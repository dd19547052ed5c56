// Where the runners and the console keep their shared log.
#ifndef OMBRIX_SHARED_LOG_LOG_PATH_H
#define OMBRIX_SHARED_LOG_LOG_PATH_H

#include <string>

// The 8-bit temporary folder as GetTempPathA gives it into a zeroed buffer of
// 1000 bytes (it ends in a backslash), then "\" and "ombrixxelq.log". When
// GetTempPathA gives nothing, the file lies at the root of the current drive.
std::string LogFilePath();

#endif
