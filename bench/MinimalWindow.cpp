// strikeline-minimal-window: the least a Qt Widgets program does to show a window. An
// application object and an empty main window, shown as the program shows its own
// (maximized), nothing else. The launch benchmark starts it beside the program and takes
// its start and memory as the floor of this toolkit on this machine.
//
// Prints one line of JSON: milliseconds from the process start (the parent's clock reading
// in STRIKELINE_LAUNCH_START_NS when given, else main()) to main_entered, app_created and
// window_shown (the window's first frame painted and flushed), and the resident memory at
// that frame (rss_kb, hwm_kb: VmRSS and VmHWM of /proc/self/status). Qt's platform is
// offscreen unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMainWindow>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

std::int64_t MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in kB; -1 when missing.
long StatusKb(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kb = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0) {
            kb = std::strtol(line + length, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kb;
}

class CMinimalApplication : public QApplication {
public:
    CMinimalApplication(int& argc, char** argv, std::int64_t start)
        : QApplication(argc, argv), m_Start(start) {}

    void Mark(const char* metric, std::int64_t at) {
        m_Figures.insert(QLatin1String(metric), static_cast<double>(at - m_Start) / 1e6);
    }
    void SetWindow(QMainWindow* window) { m_Window = window; }
    bool Shown() const { return m_Figures.contains(QLatin1String("window_shown")); }
    const QJsonObject& Figures() const { return m_Figures; }

    // The frame counts once its update request or expose event has been handled, as the
    // launch benchmark counts the program's.
    bool notify(QObject* receiver, QEvent* event) override {
        const bool frame = m_Window != nullptr && !Shown() && IsWindowSync(receiver, event);
        const bool handled = QApplication::notify(receiver, event);
        if (frame) {
            Mark("window_shown", MonotonicNs());
            m_Figures.insert(QLatin1String("rss_kb"), static_cast<double>(StatusKb("VmRSS:")));
            m_Figures.insert(QLatin1String("hwm_kb"), static_cast<double>(StatusKb("VmHWM:")));
        }
        return handled;
    }

private:
    std::int64_t m_Start;
    QMainWindow* m_Window = nullptr;
    QJsonObject m_Figures;

    bool IsWindowSync(QObject* receiver, QEvent* event) const {
        if (event->type() == QEvent::UpdateRequest) {
            return receiver == m_Window;
        }
        return event->type() == QEvent::Expose && receiver == m_Window->windowHandle() &&
               m_Window->windowHandle()->isExposed();
    }
};

} // namespace

int main(int argc, char* argv[]) {
    const std::int64_t entered = MonotonicNs();
    const char* startText = std::getenv("STRIKELINE_LAUNCH_START_NS");
    const std::int64_t start = startText != nullptr ? std::atoll(startText) : entered;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    CMinimalApplication application(argc, argv, start);
    application.Mark("main_entered", entered);
    application.Mark("app_created", MonotonicNs());
    QMainWindow window;
    application.SetWindow(&window);
    window.showMaximized();
    while (!application.Shown()) {
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    std::printf("%s\n",
                QJsonDocument(application.Figures()).toJson(QJsonDocument::Compact).constData());
    return 0;
}
