#pragma once
// The main window with its controller, as the application puts them together, and the ways the
// widget tests find, read and click its elements.

#include "catalogue/PluginScan.h"
#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "ui/qt/MainWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace ov::ui::test {

// The plug-in scan walks `home` alone; the start-up scan has run and the window is on screen.
struct Editor {
    explicit Editor(const QString &home)
        : controller{
            state, window,
            ControllerEnvironment{[home] { return catalogue::scanRoots(home, QString()); }, [](const QString &) {}}}
    {
        window.attach(controller);
        window.setOpener([this](const QString &path) {
            opened.append(path);
            return true;
        });
        controller.viewDidLoad();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            ADD_FAILURE() << "the main window was not shown";
    }
    Editor(const Editor &) = delete;
    Editor &operator=(const Editor &) = delete;

    template <typename T> T *find(const QString &name) const
    {
        T *widget = window.findChild<T *>(name);
        if (!widget)
            ADD_FAILURE() << "no element named " << name.toStdString();
        return widget;
    }
    QString text(const QString &labelName) const { return find<QLabel>(labelName)->text(); }
    void click(const QString &buttonName) { QTest::mouseClick(find<QAbstractButton>(buttonName), Qt::LeftButton); }
    void clickRow(const QString &tableName, int row, int column = 0)
    {
        QTableView *table = find<QTableView>(tableName);
        const QModelIndex index = table->model()->index(row, column);
        ASSERT_TRUE(index.isValid()) << "no row " << row;
        table->scrollTo(index);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
    }
    QString cell(const QString &tableName, int row, int column) const
    {
        QTableView *table = find<QTableView>(tableName);
        return table->model()->index(row, column).data().toString();
    }
    int selectedRow(const QString &tableName) const
    {
        const QModelIndexList rows = find<QTableView>(tableName)->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    EditorState state;
    qt::MainWindow window;
    ViewController controller;
    QStringList opened; // the paths the window asked the system to open
};

} // namespace ov::ui::test
