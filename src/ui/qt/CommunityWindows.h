#pragma once

#include "community/DownloadList.h"

#include <QAbstractTableModel>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace ov::ui::qt {

// The sign-in window: a user name and a PIN code to sign in with, and a new user's name and e-mail
// address to register.
class SignInWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SignInWindow)

public:
    SignInWindow();

    QLineEdit *userName() const { return m_userName; }
    QLineEdit *pinCode() const { return m_pinCode; }
    QLineEdit *userNameNew() const { return m_userNameNew; }
    QLineEdit *emailAddrNew() const { return m_emailAddrNew; }
    QPushButton *signInButton() const { return m_signIn; }
    QPushButton *createButton() const { return m_create; }

private:
    QLineEdit *m_userName;
    QLineEdit *m_pinCode;
    QLineEdit *m_userNameNew;
    QLineEdit *m_emailAddrNew;
    QPushButton *m_signIn;
    QPushButton *m_create;
};

// The upload window: comments to share with the open plug-in's mapping.
class UploadWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UploadWindow)

public:
    UploadWindow();

    QPlainTextEdit *comments() const { return m_comments; }
    QPushButton *uploadButton() const { return m_upload; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPlainTextEdit *m_comments;
    QPushButton *m_upload;
};

// The shared mappings of one list reply, in reply order: who shared each, when, how often it was
// downloaded, and its comment.
class DownloadListModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadListModel)

public:
    enum Column {
        UserColumn,
        UploadedColumn,
        DownloadsColumn,
        CommentsColumn,
        ColumnCount
    };

    explicit DownloadListModel(QObject *parent = nullptr);

    void setEntries(const QVector<community::DownloadListEntry> &entries);
    const QVector<community::DownloadListEntry> &entries() const { return m_entries; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<community::DownloadListEntry> m_entries;
};

// The download window: the shared mappings of the open plug-in, the highlighted one's comments, and
// the button that loads it.
class DownloadWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DownloadWindow)

public:
    DownloadWindow();

    DownloadListModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
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
