#include "UploadWindow.h"

#include "WindowParts.h"

#include "ui/UiTexts.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ov::ui::qt {

UploadWindow::UploadWindow()
{
    setObjectName(QStringLiteral("cwinUploadWindow"));
    setWindowTitle(texts::kUploadTitle);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(texts::kUploadCommentsCaption, this));
    m_comments = new QPlainTextEdit(this);
    m_comments->setObjectName(QStringLiteral("cwinUploadComments"));
    m_comments->setMinimumSize(380, 140);
    layout->addWidget(m_comments, 1);
    m_upload = pushButton(texts::kUploadButton, QStringLiteral("ovCommunityUploadBtn"), this);
    // Publishing cannot be taken back: no key but a deliberate press on the button itself uploads.
    m_upload->setAutoDefault(false);
    m_upload->setDefault(false);
    layout->addWidget(m_upload, 0, Qt::AlignRight);
}

void UploadWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Whatever the user types first goes into the comment, never onto the Upload button.
    m_comments->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace ov::ui::qt
