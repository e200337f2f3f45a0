#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace ov::ui::qt {

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

} // namespace ov::ui::qt
