#pragma once

#include "community/DownloadList.h"

#include <QWidget>

#include <optional>

class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace ov::ui::qt {

class DownloadListModel;

// The download window: the shared mappings of the open plug-in, the highlighted one's comments, and
// the button that loads it.
class DownloadWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadWindow)

public:
    DownloadWindow();

    DownloadListModel *model() const { return m_model; }
    QPlainTextEdit *uploadedComments() const { return m_uploadedComments; }
    QPushButton *loadButton() const { return m_load; }

    // The plug-in whose shared mappings the window lists, in its title.
    void setPluginName(const QString &plugin);
    std::optional<community::DownloadListEntry> selectedEntry() const;
    void selectRow(int row);

signals:
    // The highlighted row changed.
    void highlighted();

private:
    DownloadListModel *m_model;
    QTableView *m_table;
    QPlainTextEdit *m_uploadedComments;
    QPushButton *m_load;
};

} // namespace ov::ui::qt
