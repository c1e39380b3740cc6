#ifndef SUPPORTENTRY_H
#define SUPPORTENTRY_H

#include <QCoreApplication>

class QWidget;

// The title band's "Support" entry: asks where to save the support file
// (app/supportfile.h), in the Documents folder under a name with the date
// and time, writes it and tells the outcome in the interface language: the
// file's name, or why it was not written.
class SupportEntry
{
    Q_DECLARE_TR_FUNCTIONS(SupportEntry)

public:
    static void Run(QWidget *pWindow);
};

#endif // SUPPORTENTRY_H
