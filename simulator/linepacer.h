#ifndef LINEPACER_H
#define LINEPACER_H

#include <QtGlobal>

// Lets bytes through at a fixed line rate (bytes per second), one direction.
// Credit accrues with time up to a small burst (a few milliseconds of line
// time, 10 ms), so an idle line does not save up a long burst; on a late timer the
// line loses time rather than running faster than its rate. A rate of 0 is
// unpaced.
class LinePacer
{
public:
    explicit LinePacer(int nBytesPerSecond = 0);

    bool IsPaced() const { return m_nRate > 0; }
    // How many bytes may pass now (at most nWanted).
    qint64 Allowance(qint64 nNowNs, qint64 nWanted);
    // Takes the credit of bytes that passed.
    void Consume(qint64 nBytes);
    // Milliseconds until at least one more byte may pass (>= 1).
    int MsUntilNextByte(qint64 nNowNs);

private:
    void Refill(qint64 nNowNs);

    int m_nRate = 0;
    double m_dCredit = 0.0;
    double m_dMaxCredit = 1.0;
    qint64 m_nLastNs = -1;
};

#endif // LINEPACER_H
