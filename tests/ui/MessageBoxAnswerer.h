#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <vector>

namespace ov::test {

// What a message box showed.
struct ShownMessageBox {
    QString objectName;
    QString text;
    QString informativeText;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString over; // the object name of the window it was shown over
};

// Answers the modal message boxes that appear while it lives, in order, each with the button
// titled by the next answer, and records what each showed. A box beyond the answers, or without the
// answer's button, is rejected (and recorded), so that a test fails instead of hanging.
class MessageBoxAnswerer final {
public:
    explicit MessageBoxAnswerer(QStringList answers) : m_answers(std::move(answers))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { answer(); });
        m_timer.start(5);
    }

    const std::vector<ShownMessageBox> &shown() const { return m_shown; }
    bool allAnswered() const { return m_answers.isEmpty(); }

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        // A box answered already may still be closing; a new one can be built at the same address.
        if (!box || box->property(kAnswered).toBool())
            return;
        box->setProperty(kAnswered, true);
        ShownMessageBox shown{box->objectName(),
                              box->text(),
                              box->informativeText(),
                              {},
                              box->icon(),
                              box->parentWidget() ? box->parentWidget()->window()->objectName() : QString()};
        QAbstractButton *chosen = nullptr;
        const QString answer = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        for (QAbstractButton *button : box->buttons()) {
            shown.buttons.append(button->text());
            if (button->text() == answer)
                chosen = button;
        }
        m_shown.push_back(shown);
        if (chosen)
            chosen->click();
        else
            box->reject();
    }

    QStringList m_answers;
    std::vector<ShownMessageBox> m_shown;
    static constexpr char kAnswered[] = "ovTestAnswered";
    QTimer m_timer;
};

} // namespace ov::test
