// The console program's entry point.
#include "console_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand) {
  return ConsoleWinMain(instance, previousInstance, commandLine, showCommand);
}
