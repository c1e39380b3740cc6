#include "app/logging.h"

#include "app/apppaths.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

#include <string_view>

namespace {

// The log file's path as the file sink opens it. On Windows that is the
// UTF-16 path: through the 8-bit code page, a folder with characters outside
// it (a Cyrillic or Chinese user name) could not be opened, and the program
// ran without a log. Elsewhere the file system's own encoding.
spdlog::filename_t SinkFileName(const QString &sFileName)
{
#if defined(_WIN32)
#if !defined(SPDLOG_WCHAR_FILENAMES)
#error "Windows builds open the log by its wide path: define SPDLOG_WCHAR_FILENAMES"
#endif
    return QDir::toNativeSeparators(sFileName).toStdWString();
#else
    return QFile::encodeName(sFileName).toStdString();
#endif
}

} // namespace

namespace Logging {

QString LogFileName(const QString &sFolder, const QDateTime &startTime, const QString &sSuffix)
{
    QString sDate = startTime.toString(QStringLiteral("yyyyMMdd"));
    if (!sSuffix.isEmpty()) {
        sDate += QLatin1Char('_') + sSuffix;
    }
    return QString::fromLatin1(kFileNameTemplate).arg(sFolder, sDate);
}

QString FileSuffix(const QString &sPortPath)
{
    QString sName = sPortPath;
    if (sName.startsWith(QLatin1String("/dev/"))) {
        sName.remove(0, 5);
    }
    for (QChar &c : sName) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char('-')
            && c != QLatin1Char('_')) {
            c = QLatin1Char('_');
        }
    }
    return sName;
}

bool InitLogIn(const QString &sFolder, const QDateTime &startTime, const QString &sSuffix)
{
    QDir dir(sFolder);
    if (!dir.exists()) {
        dir.mkdir(sFolder);
    }
    const QString sFileName = LogFileName(sFolder, startTime, sSuffix);

    std::shared_ptr<spdlog::logger> logger;
    try {
        // A logger of the same name may survive from an earlier set-up in
        // this process (tests set the log up more than once).
        spdlog::drop(kLoggerName);
        logger = spdlog::rotating_logger_mt(kLoggerName, SinkFileName(sFileName), kMaxFileSize,
                                            kMaxFiles, false);
    } catch (const spdlog::spdlog_ex &ex) {
        // A read-only folder must not stop the program: run without a file
        // log. The stand-in logger has no sink, so log calls write nothing.
        qWarning() << "InitLog: cannot create" << sFileName << ":" << ex.what();
        logger = std::make_shared<spdlog::logger>(kLoggerName);
    }
    logger->set_formatter(
        std::make_unique<spdlog::pattern_formatter>(kPattern, spdlog::pattern_time_type::local, "\r\n"));
    spdlog::set_default_logger(logger);
    logger->set_level(spdlog::level::info);
    // Every line goes to disk as it is written: the log is read after a
    // crash or a killed program, and it writes a few lines a second at most.
    logger->flush_on(spdlog::level::info);
    return !logger->sinks().empty();
}

void Finish()
{
    // Only into our own log: before InitLogIn the default logger is spdlog's
    // console logger, and the quit message does not belong on the output.
    if (spdlog::get(kLoggerName)) {
        KP_LOG_INFO(kQuitMessage);
    }
    spdlog::drop_all();
}

std::string QualifiedFunctionName(const char *szPrettyFunction)
{
    std::string_view sv(szPrettyFunction);
    // Cut the parameter list: the first "(" that is not part of a
    // "(anonymous namespace)" or an operator name.
    std::size_t nEnd = std::string_view::npos;
    int nAngle = 0;
    for (std::size_t i = 0; i < sv.size(); ++i) {
        const char c = sv[i];
        if (c == '<') {
            ++nAngle;
        } else if (c == '>' && nAngle > 0) {
            --nAngle;
        } else if (c == '(' && nAngle == 0) {
            if (sv.substr(i).rfind("(anonymous namespace)", 0) == 0) {
                i += std::string_view("(anonymous namespace)").size() - 1;
                continue;
            }
            if (i >= 8 && sv.substr(i - 8, 8) == "operator" && sv.substr(i).rfind("()", 0) == 0) {
                i += 1;
                continue;
            }
            nEnd = i;
            break;
        }
    }
    std::string_view head = sv.substr(0, nEnd);
    // Drop the return type: everything up to the last blank outside <...>.
    nAngle = 0;
    std::size_t nStart = 0;
    for (std::size_t i = 0; i < head.size(); ++i) {
        const char c = head[i];
        if (c == '<') {
            ++nAngle;
        } else if (c == '>' && nAngle > 0) {
            --nAngle;
        } else if (c == ' ' && nAngle == 0) {
            if (head.substr(i + 1).rfind("namespace)", 0) == 0) {
                continue;
            }
            nStart = i + 1;
        }
    }
    head = head.substr(nStart);
    while (!head.empty() && (head.front() == '*' || head.front() == '&')) {
        head.remove_prefix(1);
    }
    return std::string(head);
}

// Messages go to the file as UTF-8 on every system. Through the 8-bit code
// page, a Windows machine wrote a report folder or firmware path named in
// another script as "?", and logs from different machines held different
// encodings; support reads them all with one tool.
namespace {
spdlog::logger *Logger()
{
    // Null after Finish dropped the loggers: anything that still logs then
    // writes nothing.
    return spdlog::default_logger_raw();
}
} // namespace

void Info(const spdlog::source_loc &loc, const QString &sMes)
{
    if (spdlog::logger *logger = Logger()) {
        const QByteArray ba = sMes.toUtf8();
        logger->log(loc, spdlog::level::info, "{}", std::string_view(ba.constData(), std::size_t(ba.size())));
    }
}

void Info(const spdlog::source_loc &loc, const char *szMes)
{
    if (spdlog::logger *logger = Logger()) {
        logger->log(loc, spdlog::level::info, "{}", szMes);
    }
}

void Info(const spdlog::source_loc &loc, fmt::format_string<std::string> format, const QString &sArg)
{
    if (spdlog::logger *logger = Logger()) {
        logger->log(loc, spdlog::level::info, format, sArg.toUtf8().toStdString());
    }
}

void Info(const spdlog::source_loc &loc, fmt::format_string<long long> format, long long nArg)
{
    if (spdlog::logger *logger = Logger()) {
        logger->log(loc, spdlog::level::info, format, static_cast<long long>(nArg));
    }
}

} // namespace Logging

void InitLog(const QString &sSuffix)
{
    Logging::InitLogIn(AppPaths::DataDir() + QStringLiteral("/logs"), QDateTime::currentDateTime(), sSuffix);
}
