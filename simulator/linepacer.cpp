#include "simulator/linepacer.h"

#include <algorithm>
#include <cmath>

namespace {
// The largest burst: this much line time of bytes at once.
constexpr double kBurstSeconds = 0.010;
}

LinePacer::LinePacer(int nBytesPerSecond)
    : m_nRate(std::max(0, nBytesPerSecond))
{
    m_dMaxCredit = std::max(1.0, m_nRate * kBurstSeconds);
    m_dCredit = m_dMaxCredit;
}

void LinePacer::Refill(qint64 nNowNs)
{
    if (m_nLastNs >= 0 && nNowNs > m_nLastNs)
        m_dCredit = std::min(m_dMaxCredit, m_dCredit + (nNowNs - m_nLastNs) * 1e-9 * m_nRate);
    if (nNowNs > m_nLastNs)
        m_nLastNs = nNowNs;
}

qint64 LinePacer::Allowance(qint64 nNowNs, qint64 nWanted)
{
    if (!IsPaced())
        return nWanted;
    Refill(nNowNs);
    return std::min<qint64>(nWanted, static_cast<qint64>(std::floor(m_dCredit)));
}

void LinePacer::Consume(qint64 nBytes)
{
    if (IsPaced())
        m_dCredit -= static_cast<double>(nBytes);
}

int LinePacer::MsUntilNextByte(qint64 nNowNs)
{
    if (!IsPaced())
        return 1;
    Refill(nNowNs);
    double dMissing = 1.0 - m_dCredit;
    if (dMissing <= 0.0)
        return 1;
    return std::max(1, static_cast<int>(std::ceil(dMissing * 1000.0 / m_nRate)));
}
