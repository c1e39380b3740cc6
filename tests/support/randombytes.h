#ifndef RANDOMBYTES_H
#define RANDOMBYTES_H

#include <QByteArray>
#include <QRandomGenerator>

// Firmware images and other test payloads: nSize bytes, the same for the
// same seed on every run.
inline QByteArray RandomBytes(int nSize, quint32 nSeed)
{
    QRandomGenerator gen(nSeed);
    QByteArray out(nSize, Qt::Uninitialized);
    for (int i = 0; i < nSize; ++i) {
        out[i] = static_cast<char>(gen.bounded(256));
    }
    return out;
}

#endif // RANDOMBYTES_H
