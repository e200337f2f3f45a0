// The editor's edits on a 1,000-page table, each with its undo step, where parameters stand and its
// relabel, and the relabel on 10 pages against 1,000; over a view that does nothing (the logic
// alone) and over the real main window under the offscreen platform. The chart text is read once
// after each run, as the chart action would.

#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "ui/qt/MainWindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <iterator>
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
    std::optional<mapping::ParameterEntry> arrangedParameter(int row) const override
    {
        return mapping::ParameterEntry{QString::number(row), QStringLiteral("Bench %1").arg(row), 0, 0};
    }
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
    void setDownloadPreview(const QStringList &) override { }
    bool askToConfirm(const QString &, const QString &, const QString &) override { return false; }

    SaveAnswer askToSave(const QString &, const QString &) override { return SaveAnswer::Cancel; }
    bool askToDiscard(const QString &, const QString &) override { return false; }
    void setMappingModified(bool) override { }
    void setUndoRedo(bool, const QString &, bool, const QString &) override { }
    void setParameterPlacements(const QVector<QVector<int>> &) override { }
    void setControlAlsoOn(int, const QString &) override { }
    void selectPlugin(const catalogue::PluginRecord &) override { }
    QString parameterSearchText() const override { return {}; }
    std::optional<catalogue::PluginRecord>
    askForPlugin(const QString &, const std::function<bool(const catalogue::PluginRecord &)> &) override
    {
        return std::nullopt;
    }
    std::optional<int> askForPage(int, int) override { return std::nullopt; }
    void focusControl(int) override { }
    std::optional<QString> askForText(const QString &, const QString &) override { return std::nullopt; }
    std::optional<int> askForChoice(const QString &, const QStringList &) override { return std::nullopt; }
    std::optional<QString> askForSavePath(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    std::optional<QString> askForOpenPath(const QString &, const QString &) override { return std::nullopt; }
    std::optional<QVector<int>> askToTickRows(const TickList &) override { return std::nullopt; }
    void showProgress(const QString &, int) override { }
    bool advanceProgress(int, const QString &) override { return true; }
    void closeProgress() override { }
    void runInBackground(const QString &, const std::function<void()> &work) override { work(); }
    void setControlMisfit(int, const QString &) override { }
    void setControlCutName(int, const QString &, const QString &, bool) override { }
    void showDisplayWidth(int) override { }
    void setControlChanged(int, const QString &) override { }

private:
    int m_count = 0;
    int m_selection = -1;
};

// A full table as loading leaves it: every slot holds a parameter of its own with a name of a usual
// length, and where each parameter stands is known.
void fill(ui::EditorState &state, int pages = kPages)
{
    mapping::LoadedMapping loaded;
    loaded.plistBuild.reserve(pages * mapping::kControlsPerPage);
    for (int slot = 0; slot < pages * mapping::kControlsPerPage; ++slot)
        loaded.plistBuild.append({QString::number(slot + 1), QStringLiteral("Filter Cutoff %1").arg(slot + 1),
                                  slot / mapping::kControlsPerPage + 1, slot});
    loaded.totalPages = pages;
    state.load(loaded, kPlugin.fileLocation, true);
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

// Each edit of the editor on the 1,000-page table, as the window calls it; every one changes the
// table, so each run records an undo step.
const std::pair<const char *, void (*)(ui::EditorState &, ui::ViewController &)> kEdits[] = {
    {"swap", [](ui::EditorState &, ui::ViewController &c) { c.swapControls(1, 2); }},
    {"assign",
     [](ui::EditorState &s, ui::ViewController &c) {
         static int row = 0;
         c.moveParameterPosition(1 + (row++ % 2), mapping::slotIndex(s.curPage, 1), 0); // two rows in turn
     }},
    {"page exchange",
     [](ui::EditorState &s, ui::ViewController &c) { c.movePage(s.curPage, s.curPage == 1 ? kPages : 1); }},
    {"clear page and undo",
     [](ui::EditorState &, ui::ViewController &c) {
         c.clearThisPage();
         c.ovUndo();
     }},
    {"new page and delete it",
     [](ui::EditorState &, ui::ViewController &c) {
         c.addControlsPage();
         c.removeControlsPage();
     }},
    {"delete page 500 and undo",
     [](ui::EditorState &, ui::ViewController &c) {
         c.removeControlsPage();
         c.ovUndo();
     }},
};

void BM_Edit_Logic(benchmark::State &bench)
{
    const auto &[name, edit] = kEdits[bench.range(0)];
    bench.SetLabel(name);
    ui::EditorState state;
    NullView view;
    ui::ViewController controller(state, view, {});
    fill(state);
    if (bench.range(0) == 5)
        controller.populateKnobLabels(500);
    for (auto _ : bench)
        edit(state, controller);
    benchmark::DoNotOptimize(state.bHTML().size());
}

void BM_Relabel_Logic(benchmark::State &bench)
{
    ui::EditorState state;
    NullView view;
    ui::ViewController controller(state, view, {});
    relabel(bench, state, controller, static_cast<int>(bench.range(0)));
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
BENCHMARK(BM_Edit_Logic)->DenseRange(0, int(std::size(kEdits)) - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Relabel_MainWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageExchange_MainWindow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
