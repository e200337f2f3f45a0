// Putting one layout on 500 plug-ins of 400 parameters each, as `ovmap layout apply --all` does:
// with the saves (each with its backups), and as a dry run that writes nothing.
#include "cli/Ovmap.h"
#include "mapping/Layout.h"
#include "mapping/PlistDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace ov;

namespace {

constexpr int kPlugins = 500;
constexpr int kParameters = 400;

// A plug-in's file as Logic leaves it: its 400 parameters in order on 13 pages.
QByteArray parameterOrderFile(int plugin)
{
    QStringList unique{QStringLiteral("-1")};
    for (int i = 1; i <= kParameters; ++i)
        unique.append(
            QStringLiteral("%1 Parameter %2%3").arg(i).arg(i).arg(plugin % 2 ? QString() : QStringLiteral(" A")));
    mapping::PlistDocument document;
    document.setStringArray("ControlSurfaceParameterOrder", unique.mid(1));
    document.setStringArray("StoreCSUnique", unique);
    return document.toXml();
}

// Two layouts of four pages that differ on every control, so that each run changes every file.
void writeLayouts(const QString &folder)
{
    for (const int shift : {0, 1}) {
        mapping::Layout layout{shift ? QStringLiteral("B") : QStringLiteral("A"), 4, {}};
        for (int slot = 0; slot < 4 * mapping::kControlsPerPage; ++slot) {
            const int n = 1 + (slot * 3 + shift) % kParameters;
            layout.controls.append({slot / 32 + 1,
                                    slot % 32 + 1,
                                    {QStringLiteral("Parameter %1").arg(n), QStringLiteral("Parameter %1 A").arg(n)},
                                    {}});
        }
        QString error;
        if (!mapping::saveLayout(folder, layout, &error))
            qFatal("cannot write the layout: %s", qPrintable(error));
    }
}

struct Library {
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/layout-bench-XXXXXX")}; // on the disk a home is on
    QString home = dir.filePath(QStringLiteral("home"));
    QString layouts = dir.filePath(QStringLiteral("layouts"));

    Library()
    {
        for (int i = 0; i < kPlugins; ++i) {
            const QString folder = home + QStringLiteral("/Music/Audio Music Apps/Plug-In Settings/Plugin %1").arg(i);
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/CSParameterOrder.plist"));
            const QByteArray bytes = parameterOrderFile(i);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                qFatal("cannot write the plug-ins");
        }
        writeLayouts(layouts);
    }

    bool apply(const QString &name, bool dryRun)
    {
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        QStringList arguments{QStringLiteral("layout"),
                              QStringLiteral("apply"),
                              name,
                              QStringLiteral("--all"),
                              QStringLiteral("--home"),
                              home,
                              QStringLiteral("--layouts"),
                              layouts};
        if (dryRun)
            arguments.append(QStringLiteral("--dry-run"));
        return cli::runOvmap(arguments, outStream, errStream) == cli::kExitOk
               && out.count(QLatin1Char('\n')) == kPlugins;
    }
};

void BM_ApplyLayoutAndSave(benchmark::State &state)
{
    Library library;
    int turn = 0;
    for (auto _ : state) {
        if (!library.apply(turn++ % 2 ? QStringLiteral("B") : QStringLiteral("A"), false))
            state.SkipWithError("the layout was not saved on every plug-in");
    }
    state.counters["plugins"] = kPlugins;
}
BENCHMARK(BM_ApplyLayoutAndSave)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ApplyLayoutDryRun(benchmark::State &state)
{
    Library library;
    for (auto _ : state) {
        if (!library.apply(QStringLiteral("A"), true))
            state.SkipWithError("the dry run did not list every plug-in");
    }
    state.counters["plugins"] = kPlugins;
}
BENCHMARK(BM_ApplyLayoutDryRun)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
