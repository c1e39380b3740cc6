#include "device/waits.h"
#include "device/waitsfortesting.h"

namespace {
Waits &Instance()
{
    static Waits s_waits;
    return s_waits;
}
} // namespace

const Waits &Waits::Current()
{
    return Instance();
}

void WaitsForTesting::Set(const Waits &waits)
{
    Instance() = waits;
}

void WaitsForTesting::Reset()
{
    Instance() = Waits();
}
