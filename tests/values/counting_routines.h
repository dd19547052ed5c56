// The console's request test includes the counting routines by this path; the
// header itself lives in tests/support with the other shared test helpers.
#include "../support/counting_routines.h"
