// Timing program of the desktop program (the figures of docs/performance.md):
//   - from process start to a shown, painted main window, with the demo file and with a file
//     of 100,000 events;
//   - resident memory with the demo file, once the window is painted;
//   - processor time while the program idles in the notification area with 10,000 events.
// Each figure comes from fresh child processes of this program, which run the real start-up.
//   dayvault_desktop_bench [--runs N] [--idle-seconds S]
#include "app/CDayvaultApp.h"
#include "app/CMainFrame.h"
#include "core/CDateEntry.h"
#include "document/CDayvaultDoc.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// An event file of `count` events spread over five years, a quarter of them repeating.
void WriteEvents(const fs::path& path, int count) {
    dv::CDayvaultDoc doc;
    for (int i = 0; i < count; ++i) {
        const dv::CDateTime start = dv::CDateTime(2024, 1, 1, 8, 0, 0) +
                                    dv::CDateTimeSpan(i % 1826, i % 10, (i * 7) % 60, 0);
        auto entry = std::make_unique<dv::CDateEntry>(start);
        dv::DateData data = entry->GetData();
        data.Description = "Event " + std::to_string(i);
        data.StartDate = start;
        data.EndDate = start + dv::CDateTimeSpan(0, 1, 0, 0);
        if (i % 4 == 0) {
            data.Repeat = 1;
            data.RepeatRate = 1 + i % 3;
            data.RepeatUnit = 3;
        }
        entry->AssignData(data);
        doc.AddDateEntry(std::move(entry), 0);
    }
    if (!doc.SaveAs(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
}

// ---- The child: one start of the program ---------------------------------------------------

// Notes the first paint of the main window and ends the event loop after it.
class FirstPaint final : public QObject {
public:
    int64_t paintedNs = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (paintedNs == 0 && event->type() == QEvent::Paint) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window()->objectName() == QStringLiteral("MainFrame")) {
                paintedNs = NowNs();
                // exit, not quit: quit first asks the windows to close, and the main window only
                // hides to the tray.
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            }
        }
        return false;
    }
};

int RunChild(int argc, char* argv[]) {
    const std::string mode = argv[2];
    const fs::path file = argv[3];
    const fs::path user = argv[4];
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    dv::AppEnvironment environment;
    environment.ProgramFolder = QCoreApplication::applicationDirPath().toStdString();
    environment.UserDataFolder = user;
    environment.CommandLineFile = file;
    dv::CDayvaultApp app(environment);
    if (mode == "startup") {
        const int64_t spawnedNs = std::stoll(argv[5]);
        FirstPaint paint;
        application.installEventFilter(&paint);
        if (!app.Start()) {
            return 1;
        }
        QApplication::exec();
        std::printf("%.1f %ld\n", static_cast<double>(paint.paintedNs - spawnedNs) / 1e6,
                    ResidentKb());
        return 0;
    }
    // idle: started minimised (the INI file says so), settle, then measure.
    const int seconds = std::stoi(argv[5]);
    if (!app.Start()) {
        return 1;
    }
    double cpuStart = 0;
    QTimer::singleShot(3000, [&] {
        cpuStart = CpuSeconds();
        QTimer::singleShot(seconds * 1000, qApp, [] { QCoreApplication::exit(0); });
    });
    QApplication::exec();
    std::printf("%.4f\n", (CpuSeconds() - cpuStart) / seconds * 100.0);
    return 0;
}

// ---- The parent ------------------------------------------------------------------------------

QString RunOnce(const QString& self, const QStringList& arguments, const QString& home) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("XDG_CONFIG_HOME", home + "/config");
    child.setProcessEnvironment(environment);
    QStringList all = arguments;
    if (all.first() == "startup") {
        all << QString::number(NowNs());
    }
    child.start(self, QStringList{"--child"} + all);
    child.waitForFinished(180000);
    if (child.exitCode() != 0) {
        std::fprintf(stderr, "child failed: %s\n", child.readAllStandardError().constData());
        std::exit(1);
    }
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 6 && std::string(argv[1]) == "--child") {
        return RunChild(argc, argv);
    }
    int runs = 7;
    int idleSeconds = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--runs") {
            runs = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::string(argv[i]) == "--idle-seconds") {
            idleSeconds = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    QCoreApplication application(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    QTemporaryDir folder;
    const fs::path root = folder.path().toStdString();
    const fs::path user = root / "user";
    fs::create_directories(user);
    std::ofstream(user / "Dayvault.ini")
        << "[Settings]\nUseRegistry=0\nSingleInstance=0\nBackupDepth=0\n";
    const fs::path demo = root / "demo.dat";
    fs::copy_file(DAYVAULT_DEMO_FILE, demo);
    const fs::path big = root / "big.dat";
    const fs::path tenThousand = root / "ten-thousand.dat";
    WriteEvents(big, 100000);
    WriteEvents(tenThousand, 10000);

    const QString home = folder.path();
    for (const auto& [name, file] : {std::pair{"demo file", demo}, {"100,000 events", big}}) {
        std::vector<double> ms;
        std::vector<double> kb;
        for (int i = 0; i < runs; ++i) {
            const QStringList parts = RunOnce(self,
                                              {"startup", QString::fromStdString(file.string()),
                                               QString::fromStdString(user.string())},
                                              home)
                                          .split(' ');
            ms.push_back(parts.value(0).toDouble());
            kb.push_back(parts.value(1).toDouble());
        }
        std::printf("start to painted main window, %-15s median %6.1f ms (min %6.1f, max %6.1f, %d "
                    "runs); resident %.1f MB\n",
                    name, Median(ms), *std::min_element(ms.begin(), ms.end()),
                    *std::max_element(ms.begin(), ms.end()), runs, Median(kb) / 1024.0);
    }

    std::ofstream(user / "Dayvault.ini", std::ios::app) << "RunMinimized=1\n";
    const QString cpu =
        RunOnce(self,
                {"idle", QString::fromStdString(tenThousand.string()),
                 QString::fromStdString(user.string()), QString::number(idleSeconds)},
                home);
    std::printf("idle in the notification area, 10,000 events, %d s: %s %% of one core\n",
                idleSeconds, cpu.toLatin1().constData());
    return 0;
}
