#pragma once

#include "ui/View.h"

#include <QMap>
#include <QWidget>

class QLabel;
class QPushButton;

namespace ov::ui {
class ViewController;
}

namespace ov::ui::qt {

// Beside the front panel: the page shown and the page count, the buttons that page through and add,
// clear and delete pages ("Page"), and those that move the page shown ("Move this page").
class PageBox final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageBox)

public:
    explicit PageBox(QWidget *parent = nullptr);

    // Sends the buttons' clicks to `controller`; call once.
    void attach(ViewController &controller);

    QLabel *currentPage() const { return m_currentPage; }   // lab_PageCurrentlyDisplayed
    QLabel *totalPages() const { return m_totalPages; }     // labTotalPagesIndicator
    QLabel *changedPages() const { return m_changedPages; } // labChangedPages
    const QMap<Button, QPushButton *> &buttons() const { return m_buttons; }

private:
    ViewController *m_controller = nullptr;
    QLabel *m_currentPage = nullptr;
    QLabel *m_totalPages = nullptr;
    QLabel *m_changedPages = nullptr;
    QMap<Button, QPushButton *> m_buttons;
};

} // namespace ov::ui::qt
