// strikeline-launch-bench --data DIR [--open call-report|put-report|none] [--runs N]
//
// How long the program takes to come up on a data folder: each run starts a new process
// (this program again, as the desktop program starts: the application object, the main
// window, the data files loaded, the downloader started), opens the report as the menu
// command does and times, from the moment the process was started:
//   main_entered    main() begins (the libraries are loaded)
//   app_created     the application object exists
//   window_shown    the main window's first frame is painted
//   init_done       start-up is over (the data files are loaded)
//   report_opened   the report's window is open (its build has begun)
//   report_built    the report's last block is measured and placed
//   report_painted  the main window's first frame after that
//   first_idle      the event loop first finds nothing left to do
// and prints the median of the runs and every run as JSON, in milliseconds.
//
// Each run is followed by a run of strikeline-minimal-window (found beside this program):
// an empty main window of the same size and nothing else, timed to its first painted frame
// the same way, the floor of this toolkit on this machine. Printed beside the runs:
//   ratio           the program's report_painted (window_shown when nothing is opened)
//                   over the minimal window's window_shown, medians
//   memory_kb       resident memory (VmRSS; VmHWM its peak) of the program when the
//                   report is painted, and settled (once the analytics of every series are
//                   in and the report shows them), and of the minimal program at its first
//                   frame; the market model's own size; the limit, twice the minimal
//                   program's resident memory plus the model, and whether the program keeps
//                   to it, taking the larger of its two sizes.
// The model's size is the C library's heap in use (mallinfo2: small blocks plus mapped
// ones) just after the five data files are read and published into an empty market,
// less just before, measured in the run's process once the program is gone: what the
// market itself keeps alive, without the reading's buffers, which are freed by then.
//
// The program's settings and user files go to a temporary folder, the data files are
// linked from DIR, and the downloader looks for a feed where none answers, so every run
// starts alike. Qt's platform is offscreen unless QT_QPA_PLATFORM says otherwise.

#include "gui/app/Application.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/reports/ReportView.h"
#include "gui/reports/WebEngineSetup.h"
#include "marketdata/MarketDataLoaders.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace strikeline;

namespace {

constexpr const char* kUsage =
    "Usage: strikeline-launch-bench --data DIR [--open call-report|put-report|none] [--runs N]\n"
    "                               [--timeout-seconds N]\n";
// The parent's clock reading when it started the run, in nanoseconds.
constexpr const char* kStartVariable = "STRIKELINE_LAUNCH_START_NS";
// Nobody listens here: the downloader fails fast and changes nothing.
constexpr const char* kDeadFeed = "http://127.0.0.1:9";
constexpr const char* kMetrics[] = {"main_entered",   "app_created",   "window_shown",
                                    "init_done",      "report_opened", "report_built",
                                    "report_painted", "first_idle"};

// Started after each run of the program, from the folder this program is in.
constexpr const char* kMinimalProgram = "strikeline-minimal-window";

std::int64_t MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

struct COptions {
    QString data;
    QString open = QStringLiteral("call-report");
    int runs = 5;
    int timeoutSeconds = 120;
    bool child = false;
};

std::optional<COptions> ParseOptions(int argc, char* argv[]) {
    COptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--data" && hasValue) {
            options.data = QString::fromLocal8Bit(argv[++i]);
        } else if (argument == "--open" && hasValue) {
            options.open = QString::fromLocal8Bit(argv[++i]);
        } else if (argument == "--runs" && hasValue) {
            options.runs = std::atoi(argv[++i]);
        } else if (argument == "--timeout-seconds" && hasValue) {
            options.timeoutSeconds = std::atoi(argv[++i]);
        } else if (argument == "--child") {
            options.child = true;
        } else {
            return std::nullopt;
        }
    }
    const bool knownOpen = options.open == QLatin1String("call-report") ||
                           options.open == QLatin1String("put-report") ||
                           options.open == QLatin1String("none");
    if (options.data.isEmpty() || !knownOpen || options.runs < 1 || options.timeoutSeconds < 1) {
        return std::nullopt;
    }
    return options;
}

// ---- One run, in the started process ----

class CLaunchApplication : public QApplication {
public:
    CLaunchApplication(int& argc, char** argv, std::int64_t start)
        : QApplication(argc, argv), m_Start(start) {}

    double Elapsed() const { return static_cast<double>(MonotonicNs() - m_Start) / 1e6; }
    void Mark(const char* metric) { m_Times.insert(QLatin1String(metric), Elapsed()); }
    void Mark(const char* metric, std::int64_t at) {
        m_Times.insert(QLatin1String(metric), static_cast<double>(at - m_Start) / 1e6);
    }
    void Note(const char* figure, double value) { m_Times.insert(QLatin1String(figure), value); }
    bool Has(const char* metric) const { return m_Times.contains(QLatin1String(metric)); }
    const QJsonObject& Times() const { return m_Times; }

    void SetReportBuilt() {
        Mark("report_built");
        m_ReportBuilt = true;
    }

    // A frame of the main window is painted (and flushed) when its update request or its
    // expose event has been handled.
    bool notify(QObject* receiver, QEvent* event) override {
        const bool frameSync = IsMainWindowSync(receiver, event->type());
        const bool handled = QApplication::notify(receiver, event);
        if (frameSync) {
            if (!Has("window_shown")) {
                Mark("window_shown");
            }
            if (m_ReportBuilt && !Has("report_painted")) {
                Mark("report_painted");
            }
        }
        return handled;
    }

private:
    std::int64_t m_Start;
    QJsonObject m_Times;
    bool m_ReportBuilt = false;

    static bool IsMainWindowSync(QObject* receiver, QEvent::Type type) {
        if (type == QEvent::UpdateRequest) {
            return qobject_cast<CMainFrame*>(receiver) != nullptr;
        }
        if (type != QEvent::Expose) {
            return false;
        }
        const auto* window = qobject_cast<QWindow*>(receiver);
        if (window == nullptr || !window->isExposed()) {
            return false;
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->windowHandle() == window) {
                return qobject_cast<CMainFrame*>(widget) != nullptr;
            }
        }
        return false;
    }
};

// The data files seen through links: the program writes its own files into its data
// folder at exit, and the market folder stays as it was.
bool LinkDataFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QFileInfoList files = QDir(from).entryInfoList(QDir::Files);
    for (const QFileInfo& file : files) {
        if (!QFile::link(file.absoluteFilePath(), QDir(to).filePath(file.fileName()))) {
            return false;
        }
    }
    return !files.isEmpty();
}

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in kB; -1 when missing.
double StatusKb(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    double kb = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0) {
            kb = static_cast<double>(std::strtol(line + length, nullptr, 10));
            break;
        }
    }
    std::fclose(status);
    return kb;
}

std::size_t HeapInUse() {
    const struct mallinfo2 heap = ::mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

// What the market read from `folder` keeps on the heap, in kB: the five files published into
// an empty market as the downloader does at start-up, the heap in use measured around it.
double MarketModelKb(const std::string& folder) {
    const std::size_t before = HeapInUse();
    CMarketData market;
    LoadOptionFile(true, folder, market);
    LoadOptionFile(false, folder, market);
    LoadDividendsFile(folder, market);
    LoadCompanyNamesFile(folder, market);
    LoadTop20File(folder, market);
    const std::size_t after = HeapInUse();
    return after > before ? static_cast<double>(after - before) / 1024 : 0;
}

// Handles what is pending without waiting; false when nothing was.
bool HandlePending() {
    return QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents);
}

int RunChild(int argc, char* argv[], const COptions& options) {
    const char* startText = std::getenv(kStartVariable);
    const std::int64_t entered = MonotonicNs();
    const std::int64_t start = startText != nullptr ? std::atoll(startText) : entered;
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("STRIKELINE_FEED_URL", kDeadFeed);
    qputenv("STRIKELINE_SITE_URL", kDeadFeed);

    PrepareWebEngine();
    CLaunchApplication application(argc, argv, start);
    QApplication::setApplicationName(QStringLiteral("Strikeline"));
    application.Mark("main_entered", entered);
    application.Mark("app_created");

    QTemporaryDir scratch;
    if (!scratch.isValid() ||
        !LinkDataFolder(options.data, scratch.filePath(QStringLiteral("data")))) {
        std::fprintf(stderr, "strikeline-launch-bench: no data files in %s\n",
                     qPrintable(options.data));
        return 1;
    }
    CStartOptions startOptions;
    startOptions.dataFolder = scratch.filePath(QStringLiteral("data")).toStdString();
    startOptions.settingsPath = scratch.filePath(QStringLiteral("settings.reg")).toStdString();
    startOptions.instanceName = scratch.filePath(QStringLiteral("instance"));
    int result = 0;
    {
        CApplication app(startOptions);
        // A message box would wait for a click: the message goes to the terminal instead.
        app.Messages().SetUnattended(true);
        if (!app.InitInstance()) {
            return 1;
        }
        application.Mark("init_done");

        bool waiting = false;
        if (options.open != QLatin1String("none")) {
            const bool call = options.open == QLatin1String("call-report");
            app.MainFrame()->OnCommand(call ? ID_YIELD_CALL_REPORTS : ID_YIELD_PUT_REPORTS);
            auto* report = dynamic_cast<CReportView*>(app.MainFrame()->GetView(
                call ? ViewKind::CallReport : ViewKind::PutReport, false, false));
            if (report == nullptr) {
                std::fprintf(stderr, "strikeline-launch-bench: the report did not open\n");
                return 1;
            }
            application.Mark("report_opened");
            waiting = true;
            QObject::connect(report, &CReportView::BuildFinished, &application,
                             [&application] { application.SetReportBuilt(); });
        }

        // The loop runs as the application's own would, until the report is on screen;
        // then it handles what is left without waiting, and the first time nothing is,
        // the program is idle.
        bool timedOut = false;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, [&timedOut] { timedOut = true; });
        timeout.start(options.timeoutSeconds * 1000);
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        while (!timedOut &&
               (waiting ? !application.Has("report_painted") : !application.Has("window_shown"))) {
            dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        application.Note("rss_kb", StatusKb("VmRSS:"));
        application.Note("hwm_kb", StatusKb("VmHWM:"));
        while (!timedOut && HandlePending()) {
        }
        application.Mark("first_idle");
        // The analytics of every series follow at the lowest priority; once they are in
        // and the report shows them, the program has settled and holds what it keeps.
        if (waiting) {
            while (!timedOut && !app.Session().Analytics()) {
                dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
            }
            while (!timedOut && HandlePending()) {
            }
            application.Note("settled_rss_kb", StatusKb("VmRSS:"));
        }
        if (timedOut) {
            std::fprintf(stderr, "strikeline-launch-bench: timed out\n");
            result = 1;
        }
        app.MainFrame()->close();
        HandlePending();
        app.ExitInstance(0);
    }
    application.Note("model_kb", MarketModelKb(options.data.toStdString()));
    std::printf("%s\n", QJsonDocument(application.Times()).toJson(QJsonDocument::Compact).data());
    return result;
}

// ---- The runs, in the first process ----

std::optional<QJsonObject> StartRun(const std::string& self, const std::vector<std::string>& args) {
    int output[2];
    if (::pipe(output) != 0) {
        return std::nullopt;
    }
    // What Qt says on the way (warnings of the offscreen platform) is shown only when the
    // run fails.
    char errorsPath[] = "/tmp/strikeline-launch-XXXXXX";
    const int errors = ::mkstemp(errorsPath);
    if (errors < 0) {
        ::close(output[0]);
        ::close(output[1]);
        return std::nullopt;
    }
    ::unlink(errorsPath);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors, STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(self.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);

    const std::string start = std::to_string(MonotonicNs());
    ::setenv(kStartVariable, start.c_str(), 1);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(output[1]);
    if (spawned != 0) {
        ::close(output[0]);
        ::close(errors);
        std::fprintf(stderr, "strikeline-launch-bench: cannot start %s: %s\n", self.c_str(),
                     std::strerror(spawned));
        return std::nullopt;
    }
    QByteArray text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(output[0], buffer, sizeof buffer);
        if (got > 0) {
            text.append(buffer, got);
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(output[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    const bool succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!succeeded && ::lseek(errors, 0, SEEK_SET) == 0) {
        ssize_t got = 0;
        while ((got = ::read(errors, buffer, sizeof buffer)) > 0) {
            std::fwrite(buffer, 1, static_cast<std::size_t>(got), stderr);
        }
    }
    ::close(errors);
    if (!succeeded) {
        return std::nullopt;
    }
    // The last line is the run's figures; Qt may have written lines of its own before.
    const QList<QByteArray> lines = text.trimmed().split('\n');
    const QJsonDocument figures = QJsonDocument::fromJson(lines.isEmpty() ? text : lines.back());
    if (!figures.isObject()) {
        return std::nullopt;
    }
    return figures.object();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

int RunParent(const COptions& options) {
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fprintf(stderr, "strikeline-launch-bench: cannot find its own program file\n");
        return 1;
    }
    self[length] = '\0';
    const std::vector<std::string> args = {"--child",
                                           "--data",
                                           options.data.toStdString(),
                                           "--open",
                                           options.open.toStdString(),
                                           "--timeout-seconds",
                                           std::to_string(options.timeoutSeconds)};
    const std::string minimal = std::string(QFileInfo(QString::fromLocal8Bit(self))
                                                .dir()
                                                .filePath(QLatin1String(kMinimalProgram))
                                                .toLocal8Bit()
                                                .constData());
    if (::access(minimal.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "strikeline-launch-bench: %s is not built\n", minimal.c_str());
        return 1;
    }
    // Taken in turns, so a machine that slows down or speeds up weighs on both alike.
    std::vector<QJsonObject> runs;
    std::vector<QJsonObject> minimalRuns;
    for (int i = 0; i < options.runs; ++i) {
        const std::optional<QJsonObject> run = StartRun(self, args);
        if (!run) {
            std::fprintf(stderr, "strikeline-launch-bench: run %d failed\n", i + 1);
            return 1;
        }
        runs.push_back(*run);
        const std::optional<QJsonObject> minimalRun = StartRun(minimal, {});
        if (!minimalRun) {
            std::fprintf(stderr, "strikeline-launch-bench: run %d of %s failed\n", i + 1,
                         kMinimalProgram);
            return 1;
        }
        minimalRuns.push_back(*minimalRun);
    }
    // The median of a figure over the runs that have it.
    const auto medianOf = [](const std::vector<QJsonObject>& of,
                             const char* figure) -> std::optional<double> {
        std::vector<double> values;
        for (const QJsonObject& run : of) {
            if (run.contains(QLatin1String(figure))) {
                values.push_back(run.value(QLatin1String(figure)).toDouble());
            }
        }
        return values.empty() ? std::nullopt : std::optional<double>(Median(values));
    };
    const auto medians = [&medianOf](const std::vector<QJsonObject>& of) {
        std::vector<std::pair<const char*, double>> median;
        for (const char* metric : kMetrics) {
            if (const std::optional<double> value = medianOf(of, metric)) {
                median.emplace_back(metric, *value);
            }
        }
        return median;
    };
    const auto perRun = [](const QJsonObject& run) {
        std::vector<std::pair<const char*, double>> figures;
        for (const char* metric : kMetrics) {
            if (run.contains(QLatin1String(metric))) {
                figures.emplace_back(metric, run.value(QLatin1String(metric)).toDouble());
            }
        }
        return figures;
    };
    // Written by hand to keep the figures in the order they happen.
    const auto figures = [](const auto& pairs) {
        std::string text = "{";
        for (const auto& [metric, value] : pairs) {
            char item[64];
            std::snprintf(item, sizeof item, "%s\"%s\": %.1f", text.size() > 1 ? ", " : "", metric,
                          value);
            text += item;
        }
        return text + "}";
    };
    const auto printRuns = [&figures, &perRun](const std::vector<QJsonObject>& of) {
        for (std::size_t i = 0; i < of.size(); ++i) {
            std::printf("    %s%s\n", figures(perRun(of[i])).c_str(), i + 1 < of.size() ? "," : "");
        }
    };
    std::printf("{\n  \"data\": %s,\n  \"open\": \"%s\",\n  \"runs\": %d,\n",
                QJsonDocument(QJsonArray{QDir(options.data).absolutePath()})
                    .toJson(QJsonDocument::Compact)
                    .mid(1)
                    .chopped(1)
                    .constData(),
                qPrintable(options.open), options.runs);
    std::printf("  \"median_ms\": %s,\n  \"runs_ms\": [\n", figures(medians(runs)).c_str());
    printRuns(runs);
    std::printf("  ],\n  \"minimal_median_ms\": %s,\n  \"minimal_runs_ms\": [\n",
                figures(medians(minimalRuns)).c_str());
    printRuns(minimalRuns);
    std::printf("  ],\n");

    const char* shown = options.open == QLatin1String("none") ? "window_shown" : "report_painted";
    const double ratio =
        medianOf(runs, shown).value_or(0) / medianOf(minimalRuns, "window_shown").value_or(1);
    // The larger of the program's size when the report is painted and once settled.
    const double rss = std::max(medianOf(runs, "rss_kb").value_or(0),
                                medianOf(runs, "settled_rss_kb").value_or(0));
    const double minimalRss = medianOf(minimalRuns, "rss_kb").value_or(0);
    const double model = medianOf(runs, "model_kb").value_or(0);
    const double limit = 2 * minimalRss + model;
    std::printf("  \"ratio\": {\"%s_over_minimal_window_shown\": %.2f, \"limit\": 1.5, "
                "\"met\": %s},\n",
                shown, ratio, ratio <= 1.5 ? "true" : "false");
    std::printf("  \"memory_kb\": {\"rss\": %.0f, \"settled_rss\": %.0f, \"hwm\": %.0f, "
                "\"minimal_rss\": %.0f, \"minimal_hwm\": %.0f, \"market_model\": %.0f, "
                "\"limit\": %.0f, \"met\": %s}\n",
                medianOf(runs, "rss_kb").value_or(0), medianOf(runs, "settled_rss_kb").value_or(0),
                medianOf(runs, "hwm_kb").value_or(0), minimalRss,
                medianOf(minimalRuns, "hwm_kb").value_or(0), model, limit,
                rss <= limit ? "true" : "false");
    std::printf("}\n");
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    // As the program's own main does, before any thread exists.
    ::mallopt(M_ARENA_MAX, 2);
    const std::optional<COptions> options = ParseOptions(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return options->child ? RunChild(argc, argv, *options) : RunParent(*options);
}
