// The desktop program.

#include "gui/app/Application.h"
#include "gui/app/ProgramIcon.h"
#include "gui/app/UserMessages.h"
#include "gui/reports/WebEngineSetup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace {

// The pipe through which a quit signal reaches the event loop: a signal handler may only
// write to a file, never call into Qt.
int g_QuitPipe[2] = {-1, -1};

// A quit that comes during start-up waits for it to end: quitting the event loop of a
// start-up message box would only close that box, and the main loop is not running yet.
bool g_StartupEnded = false;
bool g_QuitQueued = false;

extern "C" void OnQuitSignal(int) {
    const int savedErrno = errno;
    const char byte = 0;
    // When the pipe is full a quit is already waiting to be read.
    [[maybe_unused]] const ssize_t written = ::write(g_QuitPipe[1], &byte, 1);
    errno = savedErrno;
}

// The end of the session, `kill` and Ctrl+C in a terminal close the program as its close
// box does, so the settings and the user's files are written before it goes.
void QuitOnSignals(QApplication& application, strikeline::CUserMessages& messages) {
    if (::pipe2(g_QuitPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the signals keep their default action
    }
    auto* notifier = new QSocketNotifier(g_QuitPipe[0], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, &application, [&messages] {
        char bytes[16];
        while (::read(g_QuitPipe[0], bytes, sizeof bytes) > 0) {
        }
        // Nobody is there to answer a box when the session ends: what start-up and the
        // quit have to say goes to standard error, and a question at quit gets the answer
        // that keeps the user's file as it is.
        messages.SetUnattended(true);
        if (!g_StartupEnded) {
            g_QuitQueued = true;
            return;
        }
        QApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

// --version and --help answer without a display, so they are read before the application
// object exists, as are the requests of the menu entry's actions (--open, --fetch-now),
// which the copy that runs is handed when there is one. Every other argument is left
// alone: Qt and its browser engine read options of their own.
strikeline::StartRequest ReadOptions(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reports on covered calls and sold puts over Australian shares."));
    // Qt's own -reverse or -stylesheet are words, not bundles of -v and -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption open(
        QStringLiteral("open"),
        QStringLiteral("Opens the Call Report (call-report) or the Trading Plan (trading-plan), in "
                       "the copy that runs if there is one."),
        QStringLiteral("window"));
    const QCommandLineOption fetchNow(
        QStringLiteral("fetch-now"),
        QStringLiteral("Fetches every data file again at once, in the copy that runs if there is "
                       "one."));
    parser.addOption(open);
    parser.addOption(fetchNow);
    parser.parse(arguments); // an option unknown here belongs to Qt
    if (parser.isSet(version)) {
        parser.showVersion(); // exits
    }
    const bool helpAll = parser.isSet(QStringLiteral("help-all"));
    if (helpAll || parser.isSet(help)) {
        QCoreApplication core(argc, argv); // the help text names the program from it
        // Given the help option alone, the parser does not report Qt's options as unknown.
        parser.process({arguments.constFirst(),
                        helpAll ? QStringLiteral("--help-all") : QStringLiteral("--help")});
    }
    if (parser.isSet(fetchNow)) {
        return strikeline::StartRequest::FetchNow;
    }
    if (!parser.isSet(open)) {
        return strikeline::StartRequest::None;
    }
    const QString window = parser.value(open);
    if (window == QLatin1String("call-report")) {
        return strikeline::StartRequest::OpenCallReport;
    }
    if (window == QLatin1String("trading-plan")) {
        return strikeline::StartRequest::OpenTradingPlan;
    }
    std::fprintf(stderr, "strikeline: --open takes call-report or trading-plan, not \"%s\"\n",
                 qPrintable(window));
    std::exit(2);
}

} // namespace

int main(int argc, char* argv[]) {
    // The market is read and analysed on threads of their own. The C library would give
    // each an arena whose freed pages stay with the program for its whole run (some 3 MB of
    // the ten-times market); one arena beside the main thread's holds what they allocate.
    // Set before any thread exists, as the C library requires.
    ::mallopt(M_ARENA_MAX, 2);
    QCoreApplication::setApplicationName(QStringLiteral("Strikeline"));
    QCoreApplication::setApplicationVersion(QStringLiteral(STRIKELINE_VERSION));
    const strikeline::StartRequest request = ReadOptions(argc, argv);

    strikeline::PrepareWebEngine(); // before the application object, as the browser needs
    QApplication application(argc, argv);
    // Desktops find the menu entry, and with it the icon, under this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("au.com.varnel.Strikeline"));
    QApplication::setWindowIcon(strikeline::ProgramIcon());
    strikeline::CStartOptions options = strikeline::CStartOptions::Defaults();
    options.startRequest = request;
    strikeline::CApplication app(std::move(options));
    QuitOnSignals(application, app.Messages());
    // A copy that does not start writes nothing back: a second copy's defaults would
    // otherwise replace the settings of the copy that runs.
    if (!app.InitInstance()) {
        // Bringing the running copy to the front is what the user asked for: no failure.
        return app.RaisedOtherCopy() ? 0 : 1;
    }
    g_StartupEnded = true;
    if (g_QuitQueued) {
        // Quit as a signal after start-up quits, through the main loop, so the windows
        // close and the settings and files are written as usual.
        QMetaObject::invokeMethod(&application, &QApplication::quit, Qt::QueuedConnection);
    }
    return app.ExitInstance(QApplication::exec());
}
