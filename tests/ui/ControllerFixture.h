#pragma once
// The controller on a recording view and a home folder of its own, and the steps the controller
// tests share: writing a plug-in's file, the start-up scan and a click on a plug-in's row.

#include "RecordingView.h"
#include "TestFiles.h"

#include "catalogue/PluginScan.h"
#include "mapping/ParameterOrderFile.h"
#include "ui/EditorState.h"
#include "ui/ViewController.h"

#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace ov::ui::test {

class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        restart();
    }

    // A fresh editor on the same home; the log goes on.
    void restart()
    {
        controller.reset();
        state = EditorState{};
        view = RecordingView{};
        ControllerEnvironment environment{[this] { return catalogue::scanRoots(home.path(), QString()); },
                                          [this](const QString &line) { log.append(line); }};
        environment.readSetting = [this](const QString &key) { return settings.value(key); };
        environment.writeSetting = [this](const QString &key, const QString &value) { settings.insert(key, value); };
        // Layouts and the library stay inside the test's own home.
        environment.layoutsFolder = [this] { return home.filePath(QStringLiteral("Layouts")); };
        environment.settingsRoots = [this] { return library::settingsRoots(home.path(), QString()); };
        controller = std::make_unique<ViewController>(state, view, std::move(environment));
    }

    QString logicFile(const QString &plugin) const { return test::logicFile(home.path(), plugin); }

    // A plug-in whose table has `pages` pages, page p holding parameters named "P<p> C<c>", number
    // p * 100 + c, on its first `filled` controls, and whose list holds them all.
    QString writePagedPlugin(const QString &plugin, int pages, int filled = 32)
    {
        QStringList order;
        for (int page = 1; page <= pages; ++page) {
            for (int c = 1; c <= 32; ++c)
                order.append(c <= filled ? QStringLiteral("%1 P%2 C%3").arg(page * 100 + c).arg(page).arg(c)
                                         : QStringLiteral("-1"));
        }
        const QString path = logicFile(plugin);
        writePlist(path, {{mapping::kControlSurfaceParameterOrderKey, order}});
        return path;
    }

    // Scans and opens the plug-in named `plugin` as a click on its row does.
    void open(const QString &plugin)
    {
        controller->viewDidLoad();
        choose(plugin);
    }
    void choose(const QString &plugin)
    {
        view.pluginSelection = rowOfPlugin(plugin);
        ASSERT_GE(view.pluginSelection, 0) << qPrintable(plugin);
        controller->tablePluginSelected();
    }
    // The row of the plug-in list that holds `plugin`; -1 when none does.
    int rowOfPlugin(const QString &plugin) const
    {
        for (int row = 0; row < view.plugins.size(); ++row) {
            if (view.plugins.at(row).Plugin == plugin)
                return row;
        }
        return -1;
    }

    QTemporaryDir home;
    EditorState state;
    RecordingView view;
    QStringList log;
    QMap<QString, QString> settings; // the settings store, kept across restarts
    std::unique_ptr<ViewController> controller;
};

} // namespace ov::ui::test
