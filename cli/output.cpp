#include "cli/output.h"

#include <QJsonDocument>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#define KP_ISATTY _isatty
#define KP_FILENO _fileno
#else
#include <unistd.h>
#define KP_ISATTY isatty
#define KP_FILENO fileno
#endif

// On Windows the ANSI code page turned a report folder or firmware path
// named in another script into "?". A console is written through its
// wide-character interface, which shows any script; a pipe or a file gets
// UTF-8, which loses nothing (and which JSON readers expect).
void WriteText(FILE *pStream, const QString &sText)
{
#ifdef Q_OS_WIN
    const HANDLE hConsole = reinterpret_cast<HANDLE>(_get_osfhandle(KP_FILENO(pStream)));
    DWORD nMode = 0;
    if (hConsole != INVALID_HANDLE_VALUE && GetConsoleMode(hConsole, &nMode)) {
        std::fflush(pStream);
        DWORD nWritten = 0;
        WriteConsoleW(hConsole, reinterpret_cast<const wchar_t *>(sText.utf16()), DWORD(sText.size()), &nWritten,
                      nullptr);
        return;
    }
    const QByteArray bytes = sText.toUtf8();
#else
    const QByteArray bytes = sText.toLocal8Bit();
#endif
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), pStream);
    std::fflush(pStream);
}

QString ReadText(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    return QString::fromUtf8(bytes);
#else
    return QString::fromLocal8Bit(bytes);
#endif
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
        if (!m_record.isEmpty()) {
            object.insert(QStringLiteral("record"), m_record);
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
