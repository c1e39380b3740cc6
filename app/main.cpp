#include "app/fonts.h"
#include "app/highdpi.h"
#include "app/language.h"
#include "app/apppaths.h"
#include "app/logging.h"
#include "app/quitonsignal.h"
#include "app/scaledhost.h"
#include "app/settings.h"
#include "transfer/qserialuser.h"
#include "ui/mainform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QEvent>

#include <memory>

namespace {

// Traces, once, the moment the main window is first painted: the start-up
// time and the language the window came up in.
class FirstPaintTrace : public QObject
{
public:
    FirstPaintTrace(QWidget *pWindow, const QElapsedTimer &startTimer)
        : m_pWindow(pWindow)
        , m_startTimer(startTimer)
    {
        pWindow->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_pWindow && event->type() == QEvent::Paint) {
            m_pWindow->removeEventFilter(this);
            const auto *pLanguage = m_pWindow->findChild<QAbstractButton *>(QStringLiteral("btnLanguage"));
            qDebug().noquote() << "Main window shown after" << m_startTimer.elapsed() << "ms:"
                               << m_pWindow->windowTitle() << "/"
                               << (pLanguage ? pLanguage->text() : QString());
            // Also in the diagnostic log: a windowed program's debug output
            // reaches no console on Windows.
            KP_LOG_INFO("Main window shown after {} ms", static_cast<long long>(m_startTimer.elapsed()));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_pWindow;
    const QElapsedTimer &m_startTimer;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer startTimer;
    startTimer.start();

    HighDpi::Enable();
    QApplication a(argc, argv);
    Settings::SeedSettingsFile();
    InitLog();
    InitFont();
    InitLanguage();
    // Every job's end goes into the service history beside the log.
    QSerialUser::instance()->SetHistoryFile(AppPaths::HistoryFile());

    MainForm w;
    w.SetTranslator(&g_translator);
    FirstPaintTrace firstPaint(&w, startTimer);
    const qreal rScale = HighDpi::FitOnPrimaryScreen(w.size());
    KP_LOG_INFO("Screen scale in percent: {}", qRound64(rScale * 100));
    // Declared after the window: it lets go of the window before the window goes.
    std::unique_ptr<ScaledHost> pHost;
    if (rScale < 1.0) {
        pHost = std::make_unique<ScaledHost>(&w, rScale);
        HighDpi::PlaceOnPrimaryScreen(pHost.get());
        pHost->show();
    } else {
        HighDpi::PlaceOnPrimaryScreen(&w);
    }
    w.show();

    // A stop signal cannot ask like the window's close does: a running
    // transfer is cancelled on the line, an export keeps what arrived, and
    // the program quits once the job has wound up (a second signal at once).
    QuitOnSignal quitOnSignal;
    quitOnSignal.SetQuitAtOnce(false);
    bool bStopping = false;
    QObject::connect(&quitOnSignal, &QuitOnSignal::signal_Received, &a, [&bStopping](const QString &sSignal) {
        const QSharedPointer<QSerialUser> pUser = QSerialUser::instance();
        if (bStopping || !pUser->Interrupt(sSignal)) {
            QCoreApplication::quit();
            return;
        }
        bStopping = true;
        QObject::connect(pUser.data(), &QSerialUser::signal_Idle, qApp, &QCoreApplication::quit);
    });
    const int nExitCode = a.exec();
    // Joins the worker's thread: an export still running writes its partial
    // report and logs it here, before the log's last line.
    QSerialUser::ReleaseInstance();
    Logging::Finish();
    return nExitCode;
}
