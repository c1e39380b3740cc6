#ifndef LOGGING_H
#define LOGGING_H

#include <QDateTime>
#include <QString>

#include <spdlog/common.h>

#include <string>

// Diagnostic log: rotating files "K9Z40_yyyyMMdd.log" in the "logs" folder
// ("K9Z40_yyyyMMdd_<port>.log" for a process that serves one named port, so
// that processes running side by side never write and rotate one file).
//
// Every log site goes through KP_LOG_INFO, which captures the source file,
// line and qualified function name, and always hands texts to the formatter
// as arguments: a reply, a path or a translation that holds "{" or "}" is
// written as it stands instead of making the formatter throw.
//
//   KP_LOG_INFO(m_sErrorMessage);                 // a ready message
//   KP_LOG_INFO("ExitCtrlMode:{}", sReply);       // a fixed format, one argument

namespace Logging {

constexpr const char *kLoggerName = "K9Z40_logger";
constexpr const char *kFileNameTemplate = "%1/K9Z40_%2.log";
constexpr std::size_t kMaxFileSize = 5242880;
constexpr std::size_t kMaxFiles = 3;
constexpr const char *kPattern = "[%Y-%m-%d %H:%M:%S] [%^%l%$] [thread %t] [%s:%# %!] %v";
constexpr const char *kQuitMessage = "Application finished";

// Creates the logger for the folder and start time given and makes it the
// default logger. Returns false when the file could not be created; the program then runs
// without a file log (every log call writes nothing). InitLog() calls this
// with the real folder and the current time.
// sSuffix, when not empty, is added to the file name (see FileSuffix).
bool InitLogIn(const QString &sFolder, const QDateTime &startTime, const QString &sSuffix = QString());

// Writes the quit message as the log's last line and drops the loggers:
// later log calls write nothing. The program calls it once its worker's
// thread has been joined (after QSerialUser::ReleaseInstance), so that the
// job's wind-up and "Job end:" are in the log before it, and no thread logs
// while the loggers go. Not on aboutToQuit: the event loop ends before the
// worker does, and the command line runs its loop more than once.
void Finish();

// The file name for a folder, a start time and a suffix.
QString LogFileName(const QString &sFolder, const QDateTime &startTime, const QString &sSuffix = QString());

// A file name suffix for a port path: the path without "/dev/", every
// character other than a letter, a digit, '.', '-' and '_' made '_'
// ("/dev/ttyUSB0" -> "ttyUSB0", "/dev/pts/3" -> "pts_3", "COM3" -> "COM3").
QString FileSuffix(const QString &sPortPath);

// "void SerialWorker::slot_Start(QString)" -> "SerialWorker::slot_Start".
std::string QualifiedFunctionName(const char *szPrettyFunction);

void Info(const spdlog::source_loc &loc, const QString &sMes);
void Info(const spdlog::source_loc &loc, const char *szMes);
void Info(const spdlog::source_loc &loc, fmt::format_string<std::string> format, const QString &sArg);
void Info(const spdlog::source_loc &loc, fmt::format_string<long long> format, long long nArg);

} // namespace Logging

// Sets up the program's diagnostic log beside the executable (or in the
// per-user data folder when that folder cannot be written); sSuffix as in
// Logging::InitLogIn.
void InitLog(const QString &sSuffix = QString());

#if defined(_MSC_VER)
#define KP_PRETTY_FUNCTION __FUNCTION__
#else
#define KP_PRETTY_FUNCTION __PRETTY_FUNCTION__
#endif

#define KP_LOG_INFO(...)                                                                       \
    do {                                                                                       \
        static const std::string kpLogFunction_ =                                              \
            ::Logging::QualifiedFunctionName(KP_PRETTY_FUNCTION);                              \
        ::Logging::Info(::spdlog::source_loc{__FILE__, __LINE__, kpLogFunction_.c_str()},      \
                        __VA_ARGS__);                                                          \
    } while (0)

#endif // LOGGING_H
