#ifndef REASONTEXT_H
#define REASONTEXT_H

#include <QCoreApplication>
#include <QString>

// A failure's reason twice: as the technician reads it (the interface
// language) and in English for the diagnostic log, which support reads
// whatever language the program speaks. Arguments go into both alike.
struct ReasonText
{
    QString sShown;
    QString sEnglish;

    static ReasonText Tr(const char *szContext, const char *szSource)
    {
        return {QCoreApplication::translate(szContext, szSource), QString::fromUtf8(szSource)};
    }
    // A text that is not translated (a device step's name, a system error).
    static ReasonText Plain(const QString &sText) { return {sText, sText}; }

    bool IsEmpty() const { return sShown.isEmpty(); }
    ReasonText arg(const QString &a) const { return {sShown.arg(a), sEnglish.arg(a)}; }
    ReasonText arg(const QString &a, const QString &b) const { return {sShown.arg(a, b), sEnglish.arg(a, b)}; }
    ReasonText arg(const QString &a, const QString &b, const QString &c) const
    {
        return {sShown.arg(a, b, c), sEnglish.arg(a, b, c)};
    }
    ReasonText arg(qint64 n) const { return {sShown.arg(n), sEnglish.arg(n)}; }
    ReasonText arg(const ReasonText &a, const QString &b) const
    {
        return {sShown.arg(a.sShown, b), sEnglish.arg(a.sEnglish, b)};
    }
};

#endif // REASONTEXT_H
