// The editor's main window (offscreen) with a plug-in of 10,000 parameters: opening it, from the
// click on its row to the panel and the parameter list drawn, and one keystroke in the search field,
// to the filtered list drawn. The resident memory once it is open is the counter "rss_mb".
// The input is OV_BENCH_FIXTURES/big.plist (bench/make_fixtures.py), put under two plug-in names so
// that every click opens a plug-in other than the one open.

#include "catalogue/PluginScan.h"
#include "mapping/ParameterOrderFile.h"
#include "mapping/PlistDocument.h"
#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "ui/qt/MainWindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include <sys/resource.h>

namespace {

using namespace ov;

QString fixtures()
{
    const char *dir = std::getenv("OV_BENCH_FIXTURES");
    return dir ? QString::fromLocal8Bit(dir) : QString();
}

// Resident memory of this process in MB: the current figure where the system tells it, else the peak.
double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
#ifdef __APPLE__
    return double(usage.ru_maxrss) / (1024.0 * 1024.0); // bytes
#else
    return double(usage.ru_maxrss) / 1024.0; // kilobytes
#endif
}

// Notes when any of the watched widgets is painted.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QList<QWidget *> widgets) : m_widgets(std::move(widgets))
    {
        for (QWidget *widget : m_widgets)
            widget->installEventFilter(this);
    }
    void reset() { m_painted.clear(); }
    // Runs the event loop until every watched widget has been painted since the reset.
    bool waitUntilAllPainted(int timeoutMs = 10000)
    {
        QElapsedTimer waited;
        waited.start();
        while (m_painted.size() < m_widgets.size()) {
            if (waited.elapsed() > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted.insert(watched);
        return false;
    }

private:
    QList<QWidget *> m_widgets;
    QSet<QObject *> m_painted;
};

// The editor as the application puts it together, over a home with the two large plug-ins.
struct Editor {
    QTemporaryDir home;
    ui::EditorState state;
    std::unique_ptr<ui::qt::MainWindow> window;
    std::unique_ptr<ui::ViewController> controller;
    QTableView *plugins = nullptr;
    QTableView *parameters = nullptr;
    QLineEdit *search = nullptr;
    std::unique_ptr<PaintWatch> watch;

    bool start(benchmark::State &bench)
    {
        const QString big = fixtures() + QStringLiteral("/big.plist");
        if (!QFile::exists(big)) {
            bench.SkipWithError("OV_BENCH_FIXTURES/big.plist is missing");
            return false;
        }
        // The second plug-in's table in reverse order, so that opening it redraws every label.
        mapping::PlistRead read = mapping::PlistDocument::read(big);
        mapping::PlistDocument &reversed = read.document;
        std::optional<QStringList> order =
            reversed.stringArray(mapping::kControlSurfaceParameterOrderKey, std::nullopt);
        if (!read.ok() || !order) {
            bench.SkipWithError("big.plist cannot be read");
            return false;
        }
        std::reverse(order->begin(), order->end());
        reversed.setStringArray(mapping::kControlSurfaceParameterOrderKey, *order);
        QFile forward(big);
        if (!forward.open(QIODevice::ReadOnly)) {
            bench.SkipWithError("big.plist cannot be read");
            return false;
        }
        const std::pair<QString, QByteArray> files[] = {{QStringLiteral("Big Synth A"), forward.readAll()},
                                                        {QStringLiteral("Big Synth B"), reversed.toXml()}};
        for (const auto &[name, bytes] : files) {
            const QString folder = home.path() + catalogue::kLogicSettingsRoot + QLatin1Char('/') + name;
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/CSParameterOrder.plist"));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
                bench.SkipWithError("the plug-in files cannot be written");
                return false;
            }
        }
        window = std::make_unique<ui::qt::MainWindow>();
        const QString root = home.path();
        controller = std::make_unique<ui::ViewController>(
            state, *window,
            ui::ControllerEnvironment{[root] { return catalogue::scanRoots(root, QString()); },
                                      [](const QString &) {}});
        window->attach(*controller);
        controller->viewDidLoad();
        window->resize(1280, 800);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            bench.SkipWithError("the main window was not shown");
            return false;
        }
        plugins = window->findChild<QTableView *>(QStringLiteral("pluginTableView"));
        parameters = window->findChild<QTableView *>(QStringLiteral("tablePlistOfSelectedPlugin"));
        search = window->findChild<QLineEdit *>(QStringLiteral("parameterSearchField"));
        QWidget *panel = window->findChild<QWidget *>(QStringLiteral("ovControl1"));
        if (!plugins || !parameters || !search || !panel || plugins->model()->rowCount() != 2) {
            bench.SkipWithError("the window lacks its plug-in list, parameter list, search field or panel");
            return false;
        }
        watch = std::make_unique<PaintWatch>(QList<QWidget *>{panel, parameters->viewport()});
        return true;
    }

    // Clicks the plug-in's row and waits for the panel and the list to be drawn.
    bool open(int row)
    {
        const QModelIndex index = plugins->model()->index(row, 0);
        watch->reset();
        QTest::mouseClick(plugins->viewport(), Qt::LeftButton, {}, plugins->visualRect(index).center());
        return watch->waitUntilAllPainted();
    }
};

void BM_OpenEditor_10000(benchmark::State &bench)
{
    Editor editor;
    if (!editor.start(bench))
        return;
    int row = 0;
    for (auto _ : bench) {
        if (!editor.open(row)) {
            bench.SkipWithError("the panel was not drawn");
            return;
        }
        row = 1 - row;
    }
    if (editor.parameters->model()->rowCount() != 10001)
        bench.SkipWithError("the parameter list does not hold the 10,000 parameters and the empty entry");
    bench.counters["rss_mb"] = residentMegabytes();
}

// One keystroke: a digit typed into the empty search field, then (the next keystroke) taken out
// again, each until the list is drawn filtered.
void BM_FilterKeystroke_10000(benchmark::State &bench)
{
    Editor editor;
    if (!editor.start(bench) || !editor.open(0))
        return;
    editor.search->setFocus();
    PaintWatch listDrawn({editor.parameters->viewport()});
    bool typed = false;
    for (auto _ : bench) {
        listDrawn.reset();
        QTest::keyClick(editor.search, typed ? Qt::Key_Backspace : Qt::Key_7);
        typed = !typed;
        if (!listDrawn.waitUntilAllPainted()) {
            bench.SkipWithError("the list was not drawn");
            return;
        }
    }
    editor.search->clear();
}

BENCHMARK(BM_OpenEditor_10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
BENCHMARK(BM_FilterKeystroke_10000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

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
