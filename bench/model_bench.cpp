// Benchmarks of the model: the scan, opening a large file, the relabel with its chart, and saving.
// Inputs come from bench/make_fixtures.py; their folder is given in OV_BENCH_FIXTURES.
#include "catalogue/PluginScan.h"
#include "mapping/AtomicFile.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/SaveRecall.h"
#include "panel/Chart.h"
#include "panel/PanelLabels.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace ov;

namespace {

QString fixtures()
{
    const char *dir = std::getenv("OV_BENCH_FIXTURES");
    return dir ? QString::fromLocal8Bit(dir) : QString();
}

mapping::MappingTable tableOfPages(int pages)
{
    mapping::MappingTable table;
    for (int i = 0; i < pages * mapping::kControlsPerPage; ++i)
        table.plistBuild.append({QString::number(i), QStringLiteral("Parameter number %1").arg(i), i / 32 + 1, i});
    table.totalPages = pages;
    table.curPage = 1;
    return table;
}

void BM_Scan(benchmark::State &state)
{
    const QString home = fixtures() + QStringLiteral("/home");
    if (!QDir(home).exists()) {
        state.SkipWithError("OV_BENCH_FIXTURES/home is missing");
        return;
    }
    size_t found = 0;
    for (auto _ : state) {
        const catalogue::PluginList records =
            catalogue::scanPlugins(catalogue::scanRoots(home, QString()), [](const QString &) {});
        found = static_cast<size_t>(records.size());
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["plugins"] = static_cast<double>(found);
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);

// Opening as the editor does: the file gets its list of unique parameters if it lacks one, then loads.
void BM_Open(benchmark::State &state)
{
    const QString path = fixtures() + QStringLiteral("/big.plist");
    if (!QFile::exists(path)) {
        state.SkipWithError("OV_BENCH_FIXTURES/big.plist is missing");
        return;
    }
    for (auto _ : state) {
        const mapping::OravelizeResult prepared = mapping::oravelizePlistFile(path);
        const mapping::LoadedMapping loaded = mapping::loadMapping(prepared.document, 1, 0);
        benchmark::DoNotOptimize(loaded.plistBuild.data());
        if (loaded.totalPages != 400)
            state.SkipWithError("unexpected page count");
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

// One relabel: the 32 labels and indicators of a page, and the whole chart rebuilt.
void BM_RelabelAndChart(benchmark::State &state)
{
    const mapping::MappingTable table = tableOfPages(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const panel::PanelLabels labels = panel::labelsForPage(table, 1);
        const QString chart =
            panel::buildChart(QStringLiteral("Plugin"), QStringLiteral("/a/CSParameterOrder.plist"), table);
        benchmark::DoNotOptimize(labels.text.data());
        benchmark::DoNotOptimize(chart.constData());
    }
}
BENCHMARK(BM_RelabelAndChart)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Saving a 1,000-page table with both backups into a fresh folder each time.
void BM_SaveWithBackups(benchmark::State &state)
{
    const mapping::MappingTable table = tableOfPages(1000);
    QTemporaryDir dir(fixtures().isEmpty() ? QDir::tempPath() + QStringLiteral("/ovbench-XXXXXX")
                                           : fixtures() + QStringLiteral("/save-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("CSParameterOrder.plist"));
    mapping::PlistDocument seed;
    seed.setStringArray(mapping::kControlSurfaceParameterOrderKey, mapping::slotList(table.plistBuild));
    const QByteArray seedBytes = seed.toXml();
    state.counters["bytes"] = static_cast<double>(seedBytes.size());
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path + QStringLiteral(".original"));
        mapping::writeFileAtomically(path, seedBytes);
        state.ResumeTiming();
        const mapping::SaveResult result = mapping::exportToPlist(path, table.plistBuild, 1);
        if (!result.ok())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveWithBackups)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
