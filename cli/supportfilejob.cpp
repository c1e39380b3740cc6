#include "cli/supportfilejob.h"

#include "app/supportfile.h"
#include "app/writablefolder.h"
#include "cli/failurewords.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

// Names taken by earlier runs within the same second.
constexpr int kMaxNameNumber = 9999;

// The default name in sDir, or the first free one after it.
QString FreeName(const QString &sDir)
{
    const QString sName = SupportFile::DefaultName(QDateTime::currentDateTime());
    const QString sBase = sName.chopped(int(qstrlen(".zip")));
    QString sPath = QDir(sDir).filePath(sName);
    for (int n = 2; QFileInfo::exists(sPath) && n <= kMaxNameNumber; ++n) {
        sPath = QDir(sDir).filePath(QStringLiteral("%1_%2.zip").arg(sBase).arg(n));
    }
    return sPath;
}

} // namespace

int RunSupportFile(CliContext &ctx, const QString &sDirArg)
{
    const QString sDir = QFileInfo(sDirArg.isEmpty() ? QStringLiteral(".") : sDirArg).absoluteFilePath();
    const QString sShownDir = QDir::toNativeSeparators(sDir);
    if (!QDir().mkpath(sDir)) {
        ctx.out.Outcome(ExitReport, QStringLiteral("cannot create the folder %1 for the support file: choose a folder "
                                                   "you can write to, then run support-file again")
                                        .arg(sShownDir));
        return ExitReport;
    }
    if (!CanMakeFileIn(sDir)) {
        ctx.out.Outcome(ExitReport, QStringLiteral("the folder %1 cannot be written to: choose a folder you can write "
                                                   "to, then run support-file again")
                                        .arg(sShownDir));
        return ExitReport;
    }
    const SupportFile::Result result = SupportFile::Write(FreeName(sDir), {QStringLiteral("kestrelpack-cli"), false, {}});
    const QString sShownPath = QDir::toNativeSeparators(result.sPath);
    if (!result.bWritten) {
        ctx.out.Outcome(ExitReport, QStringLiteral("the support file was not written: %1; choose another folder or "
                                                   "make room on its disk, then run support-file again")
                                        .arg(result.reason.sEnglish));
        return ExitReport;
    }
    ctx.out.Outcome(ExitSuccess, QStringLiteral("Support file written to ") + sShownPath,
                    QJsonObject{{QStringLiteral("file"), sShownPath}, {QStringLiteral("bytes"), result.nBytes}});
    return ExitSuccess;
}
