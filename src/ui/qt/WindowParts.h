#pragma once
// Small pieces the main window's panes and menus share.

#include <QLabel>
#include <QString>

namespace ov::ui::qt {

// The plug-in's folder opens in the file manager: in Finder on macOS.
#ifdef Q_OS_MACOS
inline const QString kOpenFolderText = QStringLiteral("Show in Finder");
#else
inline const QString kOpenFolderText = QStringLiteral("Open Folder");
#endif

// A pane's heading: its title in bold.
inline QLabel *heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace ov::ui::qt
