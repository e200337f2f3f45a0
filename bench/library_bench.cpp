// Backing up and restoring a library of 2,000 plug-ins, each with its two backups beside it.
#include "library/LibraryRestore.h"
#include "mapping/PlistDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace ov;

namespace {

constexpr int kPlugins = 2000;

// A plug-in's file as Logic and a save leave it: 200 parameters, 4 pages of 32 controls.
QByteArray parameterOrderFile(int plugin, int variant)
{
    QStringList unique{QStringLiteral("-1")};
    for (int i = 1; i <= 200; ++i)
        unique.append(QStringLiteral("%1 Parameter %2 of plug-in %3").arg(i).arg(i).arg(plugin));
    QStringList order;
    for (int slot = 0; slot < 128; ++slot)
        order.append(unique.at(1 + (slot + variant) % 200));
    mapping::PlistDocument document;
    document.setStringArray("ControlSurfaceParameterOrder", order);
    document.setStringArray("StoreCSUnique", unique);
    document.setStringArray("OravelCSMode", {QStringLiteral("1")});
    return document.toXml();
}

void writePlain(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A home whose plug-ins hold `variant`'s mapping, half of them Logic's and half another maker's.
void writeHome(const QString &home, int variant)
{
    for (int i = 0; i < kPlugins; ++i) {
        const QString folder =
            i % 2 ? home + QStringLiteral("/Library/Audio/Presets/Maker %1/Plugin %2").arg(i % 20).arg(i)
                  : home + QStringLiteral("/Music/Audio Music Apps/Plug-In Settings/Plugin %1").arg(i);
        const QString file = folder + QStringLiteral("/CSParameterOrder.plist");
        writePlain(file, parameterOrderFile(i, variant));
        writePlain(file + QStringLiteral(".original"), parameterOrderFile(i, 0));
        writePlain(file + QStringLiteral(".prev"), parameterOrderFile(i, variant + 1));
    }
}

// Under the build folder, on the disk a user's home is on: a memory-backed /tmp would flatter the writes.
QString benchFolder()
{
    return QDir::currentPath() + QStringLiteral("/library-bench-XXXXXX");
}

void BM_BackUpLibrary(benchmark::State &state)
{
    QTemporaryDir dir(benchFolder());
    writeHome(dir.filePath(QStringLiteral("home")), 1);
    const auto roots = library::settingsRoots(dir.filePath(QStringLiteral("home")), QString());
    for (auto _ : state) {
        const library::BackupReport report = library::backUpLibrary(roots, dir.filePath(QStringLiteral("b.zip")));
        if (!report.fatal.isEmpty() || report.items.size() != kPlugins || report.failures() != 0)
            state.SkipWithError("the backup did not take every plug-in");
    }
    state.counters["plugins"] = kPlugins;
    state.counters["archive_MB"] = static_cast<double>(QFileInfo(dir.filePath(QStringLiteral("b.zip"))).size()) / 1e6;
}
BENCHMARK(BM_BackUpLibrary)->Unit(benchmark::kMillisecond);

// Every plug-in differs from the archive, so each one is written with its backups; two archives
// taken in turn keep it so from one iteration to the next.
void BM_RestoreLibrary(benchmark::State &state)
{
    QTemporaryDir dir(benchFolder());
    const QString home = dir.filePath(QStringLiteral("home"));
    const auto roots = library::settingsRoots(home, QString());
    const QString archives[] = {dir.filePath(QStringLiteral("a.zip")), dir.filePath(QStringLiteral("b.zip"))};
    writeHome(home, 1);
    library::backUpLibrary(roots, archives[0]);
    writeHome(home, 2);
    library::backUpLibrary(roots, archives[1]);
    int turn = 0;
    for (auto _ : state) {
        const library::RestoreReport report = library::restoreLibrary(archives[turn], roots, false);
        turn = 1 - turn;
        const bool allRestored = std::all_of(report.items.begin(), report.items.end(), [](const auto &item) {
            return item.restored && item.state == library::RestoreState::Differs;
        });
        if (!report.fatal.isEmpty() || report.items.size() != kPlugins || !allRestored)
            state.SkipWithError("the restore did not write every plug-in");
    }
    state.counters["plugins"] = kPlugins;
}
BENCHMARK(BM_RestoreLibrary)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
