#ifndef TRANSMITRECORDER_H
#define TRANSMITRECORDER_H

#include "transfer/qserialuser.h"
#include "transfer/ymodemfiletransmit.h"

#include <QElapsedTimer>
#include <QList>
#include <QSignalSpy>

// Records what a transmitter (or the upgrade coordinator, which relays it)
// reports and waits for its final status.
class TransmitRecorder
{
public:
    explicit TransmitRecorder(YmodemFileTransmit *pTransmit)
        : m_status(pTransmit, &YmodemFileTransmit::TransmitStatus)
        , m_progress(pTransmit, &YmodemFileTransmit::TransmitProgress)
    {
    }
    explicit TransmitRecorder(QSerialUser *pUser)
        : m_status(pUser, &QSerialUser::signal_TransmitStatus)
        , m_progress(pUser, &QSerialUser::signal_TransmitProgress)
    {
    }

    QList<int> Statuses() const
    {
        QList<int> out;
        for (const QList<QVariant> &args : m_status) {
            out << args.at(0).value<YmodemFileTransmit::YmodemStatus>();
        }
        return out;
    }
    QList<int> Progress() const
    {
        QList<int> out;
        for (const QList<QVariant> &args : m_progress) {
            out << args.at(0).toInt();
        }
        return out;
    }
    int Final() const
    {
        const QList<int> s = Statuses();
        return s.isEmpty() ? -1 : s.last();
    }
    bool Ended() const { return Final() >= YmodemFileTransmit::StatusDone; }

    // Waits (on the status signal) until a status of 2..5 has arrived.
    bool WaitForEnd(int nTimeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (!Ended() && timer.elapsed() < nTimeoutMs) {
            m_status.wait(qMax(1, int(nTimeoutMs - timer.elapsed())));
        }
        return Ended();
    }
    // Waits for the end as long as the transfer keeps moving: false when no
    // status has arrived for nQuietMs, or after nCapMs in all.
    bool WaitForEndWhileMoving(int nQuietMs, int nCapMs)
    {
        QElapsedTimer total;
        total.start();
        while (!Ended() && total.elapsed() < nCapMs) {
            if (!m_status.wait(qMax(1, qMin(nQuietMs, int(nCapMs - total.elapsed()))))) {
                break;
            }
        }
        return Ended();
    }
    // True when another status arrives within nMs.
    bool MoreWithin(int nMs) { return m_status.wait(nMs); }

    void Clear()
    {
        m_status.clear();
        m_progress.clear();
    }

private:
    QSignalSpy m_status;
    QSignalSpy m_progress;
};

#endif // TRANSMITRECORDER_H
