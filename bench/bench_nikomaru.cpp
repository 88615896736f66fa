// Prints how fast Nikomaru reads, shows and saves large face lists, and what that costs in memory
// and idle CPU. Figures only: these shared machines are too noisy for pass or fail.
#include "corestrings.h"
#include "dialogs.h"
#include "facefile.h"
#include "listbox.h"
#include "listeditor.h"
#include "mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <future>

namespace {

constexpr int kFaces = 32767;
constexpr int kRuns = 5;

double peakRssMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](timeval t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median milliseconds of a few runs of an action.
double medianMs(const std::function<void()>& action)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        action();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

void writeLists(const QString& folder, int current, int pool)
{
    auto make = [](int count) {
        faces::FaceText faces;
        for (int i = 0; i < count; ++i)
            faces.append(toU16(QStringLiteral("(＾▽＾)ﾉｼ %1").arg(i)));
        return faces;
    };
    faces::Path path;
    std::u16string reason;
    faces::SaveLock lock;
    lock.lock(toPath(folder));
    faces::writeFaceFiles(toPath(folder),
        { { faces::kCurrentFileName, make(current) }, { faces::kPoolFileName, make(pool) } }, &path, &reason);
}

// Child mode: start as the program does and, once the main window is shown, print the peak
// memory; the parent times the start from spawn to that line.
int startChild(const QString& folder)
{
    int argc = 1;
    char name[] = "nikomaru";
    char* argv[] = { name, nullptr };
    QApplication app(argc, argv);
    const faces::ListFolders folders { toPath(folder), toPath(folder + "/user") };
    auto current
        = std::async(std::launch::async, [folders] { return app::readFaceList(folders, faces::kCurrentFileName); });
    installAppearance(app);
    SystemDialogs dialogs;
    MainWindow mainWindow(folders, dialogs);
    if (!mainWindow.load(current.get()))
        return 1;
    if (!QTest::qWaitForWindowExposed(&mainWindow))
        return 1;
    std::printf("%.1f\n", peakRssMiB());
    std::fflush(stdout);
    return 0;
}

struct Start {
    double ms = 0; // spawn to main window shown, median
    double rss = 0;
};

Start measureStart(const QString& self, int faces)
{
    QTemporaryDir dir;
    writeLists(dir.path(), faces, 0);
    std::vector<double> times;
    double rss = 0;
    for (int i = 0; i < kRuns; ++i) {
        QProcess child;
        QElapsedTimer timer;
        timer.start();
        child.start(self, { QStringLiteral("--start"), dir.path() });
        // Until the child says its window is shown; its exit is not part of the start.
        while (child.canReadLine() == false && child.waitForReadyRead(60000)) { }
        const double total = timer.nsecsElapsed() / 1e6;
        child.waitForFinished(60000);
        bool ok = false;
        const double childRss = child.readAllStandardOutput().trimmed().toDouble(&ok);
        if (!ok)
            return {};
        times.push_back(total);
        rss = std::max(rss, childRss);
    }
    return { median(times), rss };
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 3 && QByteArray(argv[1]) == "--start")
        return startChild(QString::fromLocal8Bit(argv[2]));

    QApplication app(argc, argv);
    QTemporaryDir dir;
    writeLists(dir.path(), kFaces, kFaces);
    const faces::Path current = faces::faceFilePath(toPath(dir.path()), faces::kCurrentFileName);

    std::printf("Nikomaru benchmark, %d faces per list, median of %d runs\n", kFaces, kRuns);
    std::u16string reason;
    faces::FaceText faces;
    std::printf("  read kaolist2.txt                 %8.1f ms\n",
        medianMs([&] { faces = *faces::readFaceText(current, &reason); }));
    std::printf("  fill the list                     %8.1f ms\n", medianMs([&] {
        ListBox list(nullptr);
        list.setHorizontalExtent(200);
        list.changed(faces, app::Change::Reset, 0);
    }));
    std::printf(
        "  write both lists                  %8.1f ms\n", medianMs([&] { writeLists(dir.path(), kFaces, kFaces); }));

    const QString self = QCoreApplication::applicationFilePath();
    const Start empty = measureStart(self, 0);
    const Start full = measureStart(self, kFaces);
    std::printf("  start to main window, empty list  %8.1f ms, peak %.1f MiB\n", empty.ms, empty.rss);
    std::printf("  start to main window, %-5d faces %8.1f ms, peak %.1f MiB\n", kFaces, full.ms, full.rss);
    if (empty.ms > 0)
        std::printf("  ratio full / empty                %8.2f   (target <= 1.5), memory +%.1f MiB (target <= 12)\n",
            full.ms / empty.ms, full.rss - empty.rss);

    SystemDialogs dialogs;
    MainWindow mainWindow({ toPath(dir.path()), toPath(dir.filePath("user")) }, dialogs);
    mainWindow.load();
    auto* edit = mainWindow.findChild<QPushButton*>(QStringLiteral("editButton"));
    auto editorButton
        = [&](const char* name) { return mainWindow.editor()->findChild<QPushButton*>(QLatin1String(name)); };
    std::vector<double> openTimes, okTimes;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        edit->click();
        (void)QTest::qWaitForWindowExposed(mainWindow.editor());
        openTimes.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        editorButton("okButton")->click();
        (void)QTest::qWaitForWindowExposed(&mainWindow);
        okTimes.push_back(timer.nsecsElapsed() / 1e6);
        QTest::qWait(0); // lets the closed editor go
    }
    std::printf("  open the editor                   %8.1f ms (target < 150)\n", median(openTimes));
    std::printf("  OK: write both, show main again   %8.1f ms (target < 200)\n", median(okTimes));

    edit->click();
    (void)QTest::qWaitForWindowExposed(mainWindow.editor());
    const double cpuBefore = cpuSeconds();
    QElapsedTimer idle;
    idle.start();
    QTest::qWait(10000);
    const double cpu = (cpuSeconds() - cpuBefore) / (idle.nsecsElapsed() / 1e9) * 100;
    std::printf("  editor idle CPU over 10 s         %8.2f %% of a core (target < 1)\n", cpu);
    return 0;
}
