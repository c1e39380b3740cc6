#include "app/writablefolder.h"

#include <QTemporaryFile>

bool CanMakeFileIn(const QString &sDir)
{
    QTemporaryFile probe(sDir + QStringLiteral("/.kestrelpack-write-test-XXXXXX"));
    return probe.open();
}
