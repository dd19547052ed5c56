// Windows networking: connecting network shares.
#ifndef WINLAYER_NETWORK_H
#define WINLAYER_NETWORK_H

#include "winlayer/types.h"

#endif
