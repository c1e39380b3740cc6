#ifndef PORTTRIALFORTESTING_H
#define PORTTRIALFORTESTING_H

#include <QString>

// Test-only seam: the program never includes this header. A port whose open
// blocks cannot be made on a pseudo-terminal, so the trial open of a path
// can be held up first.
namespace PortTrialForTesting {
// Every later trial open of sDevicePath waits nMs before it opens; 0 lifts it.
void SetOpenDelay(const QString &sDevicePath, int nMs);
// Trials whose open has not returned yet.
int Running();
} // namespace PortTrialForTesting

#endif // PORTTRIALFORTESTING_H
