#pragma once

#include "ui/View.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

class DownloadWindow;
class SignInWindow;
class UploadWindow;

// The main window's community library: whom the user is signed in as, the buttons that sign in,
// share the open mapping and list the shared ones, and the three community windows they open.
class CommunityPane final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CommunityPane)

public:
    explicit CommunityPane(QWidget *parent = nullptr);
    ~CommunityPane() override;

    // Sends the pane's and the community windows' actions to `controller`; call once.
    void attach(ViewController &controller);

    QLabel *loggedInAs() const { return m_loggedInAs; } // labLoggedInAs
    QPushButton *shareButton() const { return m_share; }
    QPushButton *sharedMappingsButton() const { return m_sharedMappings; }
    QPushButton *signOutButton() const { return m_signOut; }

    SignInWindow *signInWindow() const { return m_signInWindow; }
    UploadWindow *uploadWindow() const { return m_uploadWindow; }
    DownloadWindow *downloadWindow() const { return m_downloadWindow; }
    // The text of a community window's field.
    QString fieldText(Field field) const;
    void setFieldText(Field field, const QString &text);

private:
    QWidget *fieldWidget(Field field) const;

    QLabel *m_loggedInAs = nullptr;
    QPushButton *m_signIn = nullptr;
    QPushButton *m_share = nullptr;
    QPushButton *m_sharedMappings = nullptr;
    QPushButton *m_signOut = nullptr;

    // The community windows are the pane's, each a window of its own.
    SignInWindow *m_signInWindow;
    UploadWindow *m_uploadWindow;
    DownloadWindow *m_downloadWindow;
};

} // namespace ov::ui::qt
