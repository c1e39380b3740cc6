#include "cli/output.h"

#include <QJsonDocument>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define KP_ISATTY _isatty
#define KP_FILENO _fileno
#else
#include <unistd.h>
#define KP_ISATTY isatty
#define KP_FILENO fileno
#endif

void WriteText(FILE *pStream, const QString &sText)
{
    const QByteArray bytes = sText.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), pStream);
    std::fflush(pStream);
}

void Output::Setup(Mode eMode, const QString &sJob, const QString &sPort)
{
    m_eMode = eMode;
    m_sJob = sJob;
    m_sPort = sPort;
    m_bTerminal = KP_ISATTY(KP_FILENO(stdout)) != 0;
}

QJsonObject Output::Base(const QString &sEvent, const QString &sMessage) const
{
    QJsonObject object;
    object.insert(QStringLiteral("job"), m_sJob);
    object.insert(QStringLiteral("port"), m_sPort);
    object.insert(QStringLiteral("event"), sEvent);
    object.insert(QStringLiteral("message"), sMessage);
    return object;
}

void Output::PrintJson(const QJsonObject &object)
{
    WriteText(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

void Output::EndOpenLine()
{
    if (m_bOpenLine) {
        WriteText(stdout, QStringLiteral("\n"));
        m_bOpenLine = false;
    }
}

void Output::Event(const QString &sEvent, const QString &sMessage, const QJsonObject &fields)
{
    if (m_eMode == Mode::Json) {
        QJsonObject object = Base(sEvent, sMessage);
        for (auto it = fields.begin(); it != fields.end(); ++it) {
            object.insert(it.key(), it.value());
        }
        PrintJson(object);
    } else if (m_eMode == Mode::Text) {
        EndOpenLine();
        WriteText(stdout, sMessage + QLatin1Char('\n'));
    }
}

void Output::Warning(const QString &sMessage)
{
    if (m_eMode == Mode::Json) {
        PrintJson(Base(QStringLiteral("warning"), sMessage));
    } else if (m_eMode == Mode::Text) {
        EndOpenLine();
        WriteText(stderr, QStringLiteral("kestrelpack-cli: warning: ") + sMessage + QLatin1Char('\n'));
    }
}

void Output::Progress(const QString &sStep, int nPercent)
{
    if (sStep != m_sProgressStep) {
        m_sProgressStep = sStep;
        m_nLastProgress = -1;
    }
    if (nPercent == m_nLastProgress) {
        return;
    }
    const QString sLine = QStringLiteral("%1: %2 %").arg(sStep).arg(nPercent);
    if (m_eMode == Mode::Text && m_bTerminal) {
        WriteText(stdout, QLatin1Char('\r') + sLine);
        m_bOpenLine = true;
        m_nLastProgress = nPercent;
        return;
    }
    if (m_nLastProgress >= 0 && nPercent / 10 == m_nLastProgress / 10) {
        return;
    }
    m_nLastProgress = nPercent;
    Event(QStringLiteral("progress"), sLine,
          QJsonObject{{QStringLiteral("step"), sStep}, {QStringLiteral("progress"), nPercent}});
}

void Output::Outcome(int nExit, const QString &sMessage, const QJsonObject &fields)
{
    if (m_eMode == Mode::Json) {
        QJsonObject object = Base(QStringLiteral("outcome"), sMessage);
        object.insert(QStringLiteral("outcome"), nExit == 0 ? QStringLiteral("success") : QStringLiteral("failure"));
        object.insert(QStringLiteral("exit"), nExit);
        for (auto it = fields.begin(); it != fields.end(); ++it) {
            object.insert(it.key(), it.value());
        }
        PrintJson(object);
        return;
    }
    EndOpenLine();
    if (nExit == 0) {
        WriteText(stdout, sMessage + QLatin1Char('\n'));
    } else {
        WriteText(stderr, QStringLiteral("kestrelpack-cli: ") + sMessage + QLatin1Char('\n'));
    }
}
