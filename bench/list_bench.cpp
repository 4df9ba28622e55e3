// The list windows' speed with a folder of 10,000 files: filling and showing the remote list
// once the listing has arrived, sorting a column, and reading a local folder of that many files
// into the local list and into the chooser (newest first). Medians of several runs on the
// offscreen platform, and Check All. Then the Linux path of a file not yet in that
// local folder, which Copy Down looks up for every file it brings, against one bare read of the
// folder's names, its floor. Goals: filled and shown under 1 s, a sort under 200 ms, Check All
// under 50 ms, the local folder listed and shown under 1 s in each window, a new file's path in
// under 3 times the CPU time of the bare read. Exits with 1 when a goal is missed.

#include "chooser/frmDir.h"
#include "course/SharedState.h"
#include "lists/frmServer.h"
#include "lists/frmServerUp.h"
#include "platform/DosPath.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include <dirent.h>

namespace {

constexpr int Files = 10000;
constexpr int Runs = 5;
constexpr double FillGoalMs = 1000;
constexpr double SortGoalMs = 200;
constexpr double CheckGoalMs = 50;
constexpr double NewPathGoalRatio = 3;

// The rows of a listing: names, sizes and dates that differ from file to file.
QList<FileRow> listing()
{
    QList<FileRow> rows;
    rows.reserve(Files);
    const QDateTime start(QDate(2007, 3, 1), QTime(8, 0));
    for (int i = 0; i < Files; ++i) {
        const int mixed = (i * 7919) % Files;
        rows.append(FileRow::listed(QStringLiteral("lesson %1.htm").arg(mixed),
                                    qint64(mixed) * 1237 % 5000000, start.addSecs(mixed * 61)));
    }
    return rows;
}

// A local folder of that many files in a prefix of its own; false when it cannot be made.
bool makeLocalFolder(const QTemporaryDir &prefix)
{
    qputenv("VELLIX_PREFIX", QFile::encodeName(prefix.path()));
    const QString folder = prefix.filePath(QStringLiteral("drive_c/Bench"));
    if (!QDir().mkpath(folder))
        return false;
    for (int i = 0; i < Files; ++i) {
        QFile file(folder + QStringLiteral("/lesson %1.htm").arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(i % 97, 'x')) < 0)
            return false;
    }
    Shared().AllowedExtensions = QStringList{QStringLiteral("htm")};
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Times
{
    double wallMs;
    double cpuMs;
};

// The medians of the wall and CPU time of one call, over several runs.
Times measured(const std::function<void()> &call)
{
    std::vector<double> walls, cpus;
    for (int run = 0; run < Runs * 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpu = std::clock();
        call();
        cpus.push_back(double(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC);
        walls.push_back(timer.nsecsElapsed() / 1e6);
    }
    return {median(walls), median(cpus)};
}

// The names of a folder read once, as the system gives them.
int bareRead(const QByteArray &folder)
{
    int names = 0;
    if (DIR *entries = opendir(folder.constData())) {
        while (readdir(entries))
            ++names;
        closedir(entries);
    }
    return names;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<double> fills, sorts, checks;
    for (int run = 0; run < Runs; ++run) {
        frmServer window;
        QElapsedTimer timer;
        timer.start();
        window.model().setRows(listing());
        window.computeSize();
        window.show();
        QCoreApplication::processEvents();
        fills.push_back(timer.nsecsElapsed() / 1e6);

        QHeaderView *header = window.findChild<QTreeView *>(QStringLiteral("lvServer"))->header();
        timer.restart();
        Q_EMIT header->sectionClicked(FileListModel::DateColumn);
        QCoreApplication::processEvents();
        sorts.push_back(timer.nsecsElapsed() / 1e6);

        timer.restart();
        window.checkAll();
        QCoreApplication::processEvents();
        checks.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double fill = median(fills), sort = median(sorts), check = median(checks);
    std::printf("list of %d files: filled and shown in %.0f ms (goal < %.0f), sorted in %.0f ms "
                "(goal < %.0f), all checked in %.0f ms (goal < %.0f)\n",
                Files, fill, FillGoalMs, sort, SortGoalMs, check, CheckGoalMs);

    const QTemporaryDir prefix;
    if (!prefix.isValid() || !makeLocalFolder(prefix)) {
        std::printf("cannot make a local folder of %d files\n", Files);
        return 1;
    }
    std::vector<double> locals;
    for (int run = 0; run < Runs; ++run) {
        frmServerUp window;
        QElapsedTimer timer;
        timer.start();
        if (!window.RefreshList(QStringLiteral("C:\\Bench\\*")) ||
            window.model().count() != Files) {
            std::printf("the local folder of %d files was not listed\n", Files);
            return 1;
        }
        window.show();
        QCoreApplication::processEvents();
        locals.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double local = median(locals);
    std::printf("local folder of %d files: listed and shown in %.0f ms (goal < %.0f)\n", Files,
                local, FillGoalMs);

    std::vector<double> chosen;
    for (int run = 0; run < Runs; ++run) {
        frmDir chooser(nullptr);
        chooser.show();
        QElapsedTimer timer;
        timer.start();
        if (!chooser.showPath(QStringLiteral("C:\\Bench\\"))) {
            std::printf("the chooser did not show the local folder\n");
            return 1;
        }
        QCoreApplication::processEvents();
        chosen.push_back(timer.nsecsElapsed() / 1e6);
    }
    const double chooser = median(chosen);
    std::printf("chooser in a folder of %d files: listed newest first in %.0f ms (goal < %.0f)\n",
                Files, chooser, FillGoalMs);

    const Times newPath = measured([] {
        if (Platform::DosPath::toLinux(QStringLiteral("C:\\Bench\\LESSON NEW.HTM")).isEmpty())
            std::printf("the new file's path was not found\n");
    });
    const Times floor = measured([&prefix] {
        bareRead(QFile::encodeName(prefix.filePath(QStringLiteral("drive_c/Bench"))));
    });
    std::printf("path of a new file in a folder of %d files: %.1f ms, CPU %.1f ms (bare read of "
                "the folder: %.1f ms, CPU %.1f ms; goal: CPU < %.0f times)\n",
                Files, newPath.wallMs, newPath.cpuMs, floor.wallMs, floor.cpuMs, NewPathGoalRatio);
    return fill < FillGoalMs && sort < SortGoalMs && check < CheckGoalMs && local < FillGoalMs &&
                   chooser < FillGoalMs && newPath.cpuMs < NewPathGoalRatio * floor.cpuMs
               ? 0
               : 1;
}
