#pragma once

#include "community/DownloadList.h"

#include <QWidget>

#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace ov::ui::qt {

class DownloadListModel;

// The download window: the shared mappings of the open plug-in, the highlighted one's comments and
// first page, and the buttons that load it, delete it (one the signed-in user shared) and close.
// Return and a double click on a row load it, Escape closes.
class DownloadWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadWindow)

public:
    DownloadWindow();

    DownloadListModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    QPlainTextEdit *uploadedComments() const { return m_uploadedComments; }
    QPushButton *loadButton() const { return m_load; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *closeButton() const { return m_close; }

    // The plug-in whose shared mappings the window lists, in its title.
    void setPluginName(const QString &plugin);
    std::optional<community::DownloadListEntry> selectedEntry() const;
    void selectRow(int row);
    // The highlighted mapping's first page: 32 names in control order, or none.
    void setPreview(const QStringList &controlNames);
    const QStringList &preview() const { return m_previewTexts; }

signals:
    // The highlighted row changed.
    void highlighted();

private:
    // Return or a double click: loads the highlighted mapping, when one is.
    void loadHighlighted();

    DownloadListModel *m_model;
    QTableView *m_table;
    QPlainTextEdit *m_uploadedComments;
    QWidget *m_preview;
    QList<QLabel *> m_previewNames;
    QStringList m_previewTexts;
    QPushButton *m_load;
    QPushButton *m_delete;
    QPushButton *m_close;
};

} // namespace ov::ui::qt
