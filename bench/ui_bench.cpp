// The editor's edits on a 1,000-page table against one relabel of the same table: a page exchange
// (32 swaps and one relabel), one edit with its undo step, and the relabel on 10 pages against 1,000;
// over a view that does nothing (the logic alone) and over the real main window under the offscreen
// platform. The chart text is read once after each run, as the chart action would.

#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "ui/qt/MainWindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

using namespace ov;

constexpr int kPages = 1000;

const catalogue::PluginRecord kPlugin{QStringLiteral("Logic"), QStringLiteral("Bench Synth"),
                                      QStringLiteral("Editable"),
                                      QStringLiteral("/Users/musician/Music/Audio Music Apps/Plug-In Settings/"
                                                     "Bench Synth/CSParameterOrder.plist")};

// A view with a plug-in chosen and a parameter list, that shows nothing.
class NullView final : public ui::View {
public:
    void setLabelText(ui::Label, const QString &) override { }
    QString labelText(ui::Label) const override { return kPlugin.fileLocation; }
    void setControlLabel(int, const QString &) override { }
    void setControlToolTip(int, const QString &) override { }
    void setControlParamNum(int, const QString &) override { }
    void setButtonEnabled(ui::Button, bool) override { }
    void setPluginList(const catalogue::PluginList &) override { }
    std::optional<catalogue::PluginRecord> selectedPlugin() const override { return kPlugin; }
    void setParameterList(const QVector<mapping::ParameterEntry> &entries) override { m_count = int(entries.size()); }
    std::optional<mapping::ParameterEntry> arrangedParameter(int) const override { return std::nullopt; }
    int parameterSelectionIndex() const override { return m_selection; }
    void setParameterSelectionIndex(int row) override { m_selection = row; }
    void selectNextParameter() override
    {
        if (m_selection + 1 < m_count)
            ++m_selection;
    }
    void selectPluginModeCell(int, int) override { }
    int selectedPluginModeTag() const override { return 0; }
    void showWindow(ui::Window) override { }
    void closeWindow(ui::Window) override { }
    void runAlert(const QString &, const QString &) override { }
    bool openPath(const QString &) override { return true; }
    void setBusy(bool) override { }
    void showWaitNotice(const QString &, const std::function<void()> &) override { }
    void closeWaitNotice() override { }
    QString fieldText(ui::Field) const override { return {}; }
    void setFieldText(ui::Field, const QString &) override { }
    void setDownloadList(const QVector<community::DownloadListEntry> &) override { }
    std::optional<community::DownloadListEntry> selectedDownload() const override { return std::nullopt; }
    void setDownloadSelectionIndex(int) override { }

    SaveAnswer askToSave(const QString &, const QString &) override { return SaveAnswer::Cancel; }
    bool askToDiscard(const QString &, const QString &) override { return false; }
    void setMappingModified(bool) override { }
    void setUndoRedo(bool, const QString &, bool, const QString &) override { }
    void setParameterPlacements(const QStringList &) override { }
    void setControlAlsoOn(int, const QString &) override { }
    void selectPlugin(const catalogue::PluginRecord &) override { }
    QString parameterSearchText() const override { return {}; }
    std::optional<catalogue::PluginRecord> askForPlugin(const QString &) override { return std::nullopt; }
    void setControlChanged(int, const QString &) override { }

private:
    int m_count = 0;
    int m_selection = -1;
};

// A full table as loading leaves it: every slot holds a parameter of its own with a name of a usual
// length, and where each parameter stands is known.
void fill(ui::EditorState &state, int pages = kPages)
{
    state.plistBuild.clear();
    state.plistBuild.reserve(pages * mapping::kControlsPerPage);
    for (int slot = 0; slot < pages * mapping::kControlsPerPage; ++slot)
        state.plistBuild.append({QString::number(slot + 1), QStringLiteral("Filter Cutoff %1").arg(slot + 1),
                                 slot / mapping::kControlsPerPage + 1, slot});
    state.totalPages = pages;
    state.curPage = 1;
    state.placements = mapping::ParameterPlacements(state.plistBuild);
}

void relabel(benchmark::State &bench, ui::EditorState &state, ui::ViewController &controller, int pages = kPages)
{
    fill(state, pages);
    for (auto _ : bench)
        controller.populateKnobLabels(state.curPage);
    benchmark::DoNotOptimize(state.bHTML().size());
}

void exchange(benchmark::State &bench, ui::EditorState &state, ui::ViewController &controller)
{
    fill(state);
    for (auto _ : bench)
        controller.movePage(state.curPage, state.curPage == 1 ? kPages : 1);
    benchmark::DoNotOptimize(state.bHTML().size());
}

// One edit through the primitive (two controls swapped): its relabel, its undo step, where every
// parameter stands and the panel's marks.
void BM_ControlSwap_Logic(benchmark::State &bench)
{
    ui::EditorState state;
    NullView view;
    ui::ViewController controller(state, view, {});
    fill(state);
    for (auto _ : bench)
        controller.swapControls(1, 2);
    benchmark::DoNotOptimize(state.bHTML().size());
}

void BM_Relabel_Logic(benchmark::State &bench)
{
    ui::EditorState state;
    NullView view;
    ui::ViewController controller(state, view, {});
    relabel(bench, state, controller, static_cast<int>(bench.range(0)));
}

void BM_PageExchange_Logic(benchmark::State &bench)
{
    ui::EditorState state;
    NullView view;
    ui::ViewController controller(state, view, {});
    exchange(bench, state, controller);
}

struct Window {
    ui::EditorState state;
    ui::qt::MainWindow window;
    ui::ViewController controller{state, window, {}};
    Window()
    {
        window.setPluginList({kPlugin});
        window.show();
        QCoreApplication::processEvents();
    }
};

void BM_Relabel_MainWindow(benchmark::State &bench)
{
    Window w;
    relabel(bench, w.state, w.controller);
}

void BM_PageExchange_MainWindow(benchmark::State &bench)
{
    Window w;
    exchange(bench, w.state, w.controller);
}

BENCHMARK(BM_Relabel_Logic)->Arg(10)->Arg(kPages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageExchange_Logic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ControlSwap_Logic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Relabel_MainWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageExchange_MainWindow)->Unit(benchmark::kMillisecond);

// Prints the exchange against the relabel after the usual table, by wall-clock and by CPU time (the
// CPU time is the steadier figure on a machine shared with other work).
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration)
                m_times[run.benchmark_name()] = {
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit),
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit)};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void printRatio(const char *what, const std::string &exchange, const std::string &relabel) const
    {
        const auto a = m_times.find(exchange), b = m_times.find(relabel);
        if (a == m_times.end() || b == m_times.end() || b->second.first <= 0 || b->second.second <= 0)
            return;
        std::printf("%s: page exchange / relabel = %.1fx wall-clock, %.1fx CPU (goal: at most 3x)\n", what,
                    a->second.first / b->second.first, a->second.second / b->second.second);
    }

private:
    std::map<std::string, std::pair<double, double>> m_times; // seconds: wall-clock, CPU
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("logic", "BM_PageExchange_Logic", "BM_Relabel_Logic/1000");
    reporter.printRatio("main window", "BM_PageExchange_MainWindow", "BM_Relabel_MainWindow");
    benchmark::Shutdown();
    return 0;
}
