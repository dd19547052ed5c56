// The Win32 layer: the part of the Windows API that the system calls, on POSIX.
// Only includes of the layer's group headers live here.
#ifndef WINLAYER_WINLAYER_H
#define WINLAYER_WINLAYER_H

#include "winlayer/types.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_file.h"
#include "winlayer/kernel_process.h"
#include "winlayer/shell.h"
#include "winlayer/network.h"
#include "winlayer/oleauto.h"
#include "winlayer/ole.h"
#include "winlayer/nls.h"
#include "winlayer/crt.h"
#include "winlayer/gdi.h"
#include "winlayer/user.h"

#endif
