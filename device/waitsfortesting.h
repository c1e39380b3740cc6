#ifndef WAITSFORTESTING_H
#define WAITSFORTESTING_H

#include "device/waits.h"

// Test-only seam: the program never includes this header. Replaces the waits
// in force for the rest of the process (or until reset). Call it before the
// objects that read the waits are constructed or used.
namespace WaitsForTesting {
void Set(const Waits &waits);
void Reset();
}

#endif // WAITSFORTESTING_H
