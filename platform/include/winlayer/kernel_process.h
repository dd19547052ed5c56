// Kernel process functions: starting child programs, waiting and exit codes.
#ifndef WINLAYER_KERNEL_PROCESS_H
#define WINLAYER_KERNEL_PROCESS_H

#include "winlayer/types.h"

#endif
