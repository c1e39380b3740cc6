#ifndef NAMEDCHILD_H
#define NAMEDCHILD_H

#include <QObject>
#include <QtGlobal>

// The child of pParent named szName; a test without it cannot go on.
template <typename T = QWidget>
T *NamedChild(const QObject *pParent, const char *szName)
{
    T *pChild = pParent->findChild<T *>(QLatin1String(szName));
    if (!pChild) {
        qFatal("no child %s", szName);
    }
    return pChild;
}

#endif // NAMEDCHILD_H
