// The shared log's path.
#include "log_path.h"

#include "win32.h"

std::string LogFilePath() {
  char folder[1000] = {};
  GetTempPathA(sizeof folder, folder);
  return std::string(folder) + "\\" + "ombrixxelq.log";
}
