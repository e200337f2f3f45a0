#pragma once
// The community windows of a main window: windows of their own, so not found among its children.

#include "ui/qt/CommunityPane.h"
#include "ui/qt/DownloadListModel.h"
#include "ui/qt/DownloadWindow.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/SignInWindow.h"
#include "ui/qt/UploadWindow.h"

#include <QTableView>

namespace ov::ui::test {

inline qt::CommunityPane *communityPane(const qt::MainWindow &window)
{
    return window.findChild<qt::CommunityPane *>();
}

inline qt::SignInWindow *signInWindow(const qt::MainWindow &window)
{
    return communityPane(window)->signInWindow();
}

inline qt::UploadWindow *uploadWindow(const qt::MainWindow &window)
{
    return communityPane(window)->uploadWindow();
}

inline qt::DownloadWindow *downloadWindow(const qt::MainWindow &window)
{
    return communityPane(window)->downloadWindow();
}

// The download window's list of shared mappings.
inline QTableView *downloadTable(const qt::MainWindow &window)
{
    return downloadWindow(window)->findChild<QTableView *>(QStringLiteral("cwinPlistAvailable"));
}

} // namespace ov::ui::test
