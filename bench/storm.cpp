// The window under a storm of changes that another process makes in the folder it shows.
#include "contenders.h"

#include "peer_tools.h"

#include <QtCore/QEventLoop>
#include <QtCore/QProcess>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

namespace {

constexpr const char* stormNames[] = {"make-delete", "rm-rf"};

// This process's processor time so far, user and system, in milliseconds.
double CpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The storm child's two lines: when its storm started and when it ended, in the steady clock's
// nanoseconds.
struct StormTimes {
    std::optional<long long> startNs, endNs;
    QByteArray said;

    // Takes in what the child said; calls started and ended once each, as their lines arrive.
    template <class Started, class Ended>
    void Hear(const QByteArray& more, Started started, Ended ended)
    {
        said += more;
        const QList<QByteArray> lines = said.split('\n');  // the last one is not whole yet
        if (!startNs && lines.size() > 1) {
            startNs = lines[0].toLongLong();
            started();
        }
        if (!endNs && lines.size() > 2) {
            endNs = lines[1].toLongLong();
            ended();
        }
    }
};

} // namespace


int StormChild(Storm storm, const fs::path& folder, int n)
{
    std::printf("%lld\n", NowNs());
    std::fflush(stdout);
    int failed = 0;
    if (storm == Storm::removeFolder) {
        RemoveRecursively(folder);
    } else {
        const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        char name[32];
        for (int i = 1; i <= n; ++i) {
            std::snprintf(name, sizeof name, "photo_%05d.jpg", i);
            const int file = openat(dir, name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            failed += file < 0;
            if (file >= 0)
                close(file);
        }
        for (int i = 1; i <= n; ++i) {
            std::snprintf(name, sizeof name, "photo_%05d.jpg", i);
            failed += unlinkat(dir, name, 0) != 0;
        }
        close(dir);
    }
    std::printf("%lld\n", NowNs());
    if (failed)
        std::fprintf(stderr, "warning: the storm failed %d times in %s\n", failed, folder.c_str());
    return 0;
}

double StormAlone(const fs::path& folder, Storm storm, int n)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--storm", stormNames[static_cast<int>(storm)],
                 QString::fromStdString(folder.string()), QString::number(n)});
    child.waitForFinished(600000);
    long long startNs = 0, endNs = 0;
    if (std::sscanf(child.readAllStandardOutput().constData(), "%lld %lld", &startNs, &endNs) != 2)
        qFatal("the storm in %s did not run to its end", folder.c_str());
    return (endNs - startNs) / 1e6;
}

bool Program::ShowsFinalState(const fs::path& folder, Storm storm)
{
    app::FolderTree& tree = window_.tree();
    if (storm == Storm::removeFolder)
        return tree.Path() == folder.parent_path() &&
               window_.TreeRow(QString::fromStdString(folder.filename().string())) < 0;
    return tree.Path() == folder && ListedFiles() == 0 && ListedSubfolders() == 0;
}

StormFigures Program::Weather(const fs::path& folder, Storm storm, int n)
{
    // Polled at the pace of the gap meter's timer; a window that has not settled this long
    // after the storm never does.
    constexpr int everyMs = 5;
    constexpr double settleLimitMs = 30000;
    Open(folder);
    StormFigures figures;
    StormTimes times;
    std::optional<long long>& endNs = times.endNs;
    double cpuAtStart = 0;
    QProcess child;
    QEventLoop loop;
    QObject::connect(&child, &QProcess::readyReadStandardOutput, [&] {
        times.Hear(child.readAllStandardOutput(), [&] { cpuAtStart = CpuMs(); }, [&] {
            figures.cpuMs = CpuMs() - cpuAtStart;
            figures.stormMs = (*endNs - *times.startNs) / 1e6;
        });
    });
    QObject::connect(&child, &QProcess::finished, [&] {
        if (!endNs)
            loop.quit();
    });
    QObject::connect(&child, &QProcess::errorOccurred, [&] {
        if (!endNs)
            loop.quit();
    });
    // A window that never listed a file of the storm did not follow it: its final state
    // proves nothing.
    bool followed = storm != Storm::makeDelete;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!endNs) {
            followed = followed || ListedFiles() > 0;
            return;
        }
        const double since = (NowNs() - *endNs) / 1e6;
        if (ShowsFinalState(folder, storm))
            figures.settleMs = std::max(since, 0.0);
        if (figures.settleMs >= 0 || since > settleLimitMs)
            loop.quit();
    });
    check.setTimerType(Qt::PreciseTimer);
    check.start(everyMs);
    gaps_.Start(everyMs);
    child.start(QCoreApplication::applicationFilePath(),
                {"--storm", stormNames[static_cast<int>(storm)],
                 QString::fromStdString(folder.string()), QString::number(n)});
    loop.exec();
    gaps_.Stop();
    figures.maxGapMs = gaps_.Longest().value_or(0);
    child.waitForFinished(60000);
    if (!endNs)
        qFatal("the storm in %s did not run to its end", folder.c_str());
    if (!followed)
        std::fprintf(stderr, "warning: the window listed none of the storm's files\n");
    return figures;
}

} // namespace bench
