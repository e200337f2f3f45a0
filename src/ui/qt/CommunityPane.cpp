#include "CommunityPane.h"

#include "DownloadWindow.h"
#include "ElidingLabel.h"
#include "SignInWindow.h"
#include "UploadWindow.h"
#include "WindowParts.h"

#include "ui/UiTexts.h"
#include "ui/ViewController.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace ov::ui::qt {

CommunityPane::CommunityPane(QWidget *parent)
    : QWidget(parent), m_signInWindow(new SignInWindow), m_uploadWindow(new UploadWindow),
      m_downloadWindow(new DownloadWindow)
{
    // Windows of their own, not children of the main window: one left open keeps the application
    // running after the main window closes, and it quits when that one closes.
    for (QWidget *window : {static_cast<QWidget *>(m_signInWindow), static_cast<QWidget *>(m_uploadWindow),
                            static_cast<QWidget *>(m_downloadWindow)})
        window->setWindowFlags(Qt::Dialog);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(heading(texts::kCommunityLibrary, this), 0, 0, 1, 2);
    // Whom the user is signed in as, right above the buttons that sign in and out.
    auto *loggedInAs = new ElidingLabel(1, Qt::ElideRight, this);
    loggedInAs->setObjectName(QStringLiteral("labLoggedInAs"));
    m_loggedInAs = loggedInAs;
    grid->addWidget(loggedInAs, 1, 0, 1, 2);
    m_signIn = pushButton(texts::kOpenSignIn, QStringLiteral("ovLoginToCloudAccount"), this);
    m_signOut = pushButton(texts::kSignOut, QStringLiteral("ovSignOut"), this);
    m_signOut->setEnabled(false);
    grid->addWidget(m_signIn, 2, 0);
    grid->addWidget(m_signOut, 2, 1);
    m_share = pushButton(texts::kShareMapping, QStringLiteral("ov_btn_cloudLibrary"), this);
    m_sharedMappings = pushButton(texts::kSharedMappings, QStringLiteral("ov_btn_cloudLibraryDownload"), this);
    grid->addWidget(m_share, 3, 0);
    grid->addWidget(m_sharedMappings, 3, 1);
}

void CommunityPane::attach(ViewController &controller)
{
    ViewController *c = &controller;
    auto clicked = [this](QPushButton *button, auto slot) { connect(button, &QPushButton::clicked, this, slot); };
    clicked(m_signIn, [c] { c->ovLoginToCloudAccount(); });
    clicked(m_share, [c] { c->ovCommunityLibrary(); });
    clicked(m_sharedMappings, [c] { c->ovCommunityLibraryDownload(); });
    clicked(m_signOut, [c] { c->ovSignOut(); });
    clicked(m_signInWindow->signInButton(), [c] { c->cwinLoginAttempt(); });
    clicked(m_signInWindow->createButton(), [c] { c->cwinNewUserCreate(); });
    clicked(m_uploadWindow->uploadButton(), [c] { c->ovCommunityUploadBtn(); });
    clicked(m_downloadWindow->loadButton(), [c] { c->ovCommunityLoadSelectedDownload(); });
    clicked(m_downloadWindow->deleteButton(), [c] { c->cwinDeleteShared(); });
    connect(m_downloadWindow, &DownloadWindow::highlighted, this, [c] {
        c->cwin_DownloadAvalableHighlighted();
        c->cwinPreviewHighlighted();
    });
}

CommunityPane::~CommunityPane()
{
    delete m_signInWindow;
    delete m_uploadWindow;
    delete m_downloadWindow;
}

QWidget *CommunityPane::fieldWidget(Field field) const
{
    switch (field) {
    case Field::cwinUserName:
        return m_signInWindow->userName();
    case Field::cwinPinCode:
        return m_signInWindow->pinCode();
    case Field::cwinUserNameNew:
        return m_signInWindow->userNameNew();
    case Field::cwinEmailAddrNew:
        return m_signInWindow->emailAddrNew();
    case Field::cwinUploadComments:
        return m_uploadWindow->comments();
    case Field::cwinUploadedComments:
        return m_downloadWindow->uploadedComments();
    }
    return nullptr;
}

QString CommunityPane::fieldText(Field field) const
{
    QWidget *widget = fieldWidget(field);
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return line->text();
    if (auto *text = qobject_cast<QPlainTextEdit *>(widget))
        return text->toPlainText();
    return QString();
}

void CommunityPane::setFieldText(Field field, const QString &text)
{
    QWidget *widget = fieldWidget(field);
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        line->setText(text);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
        plain->setPlainText(text);
}

} // namespace ov::ui::qt
