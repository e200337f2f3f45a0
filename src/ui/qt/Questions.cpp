#include "Questions.h"

#include "ui/UiTexts.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace ov::ui::qt::questions {

int ask(QWidget *parent, const QString &objectName, const QString &message, const QString &informativeText,
        const QList<std::pair<QMessageBox::ButtonRole, QString>> &buttons, int defaultButton)
{
    QMessageBox box(parent);
    box.setObjectName(objectName);
    box.setIcon(QMessageBox::Warning);
    // Titled as the application's main window, also over a window that belongs to it.
    for (QWidget *owner = parent; owner; owner = owner->parentWidget()) {
        if (!owner->parentWidget())
            box.setWindowTitle(owner->windowTitle().remove(QStringLiteral("[*]")));
    }
    box.setTextFormat(Qt::PlainText);
    box.setText(message);
    box.setInformativeText(informativeText);
    // Parameter names and paths are shown as they are, never as markup.
    // A PIN code or a path in it can be selected and copied.
    if (auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setTextFormat(Qt::PlainText);
        informative->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    QList<QPushButton *> added;
    for (const auto &[role, title] : buttons)
        added.append(box.addButton(title, role));
    box.setDefaultButton(added.at(defaultButton));
    box.setEscapeButton(added.last());
    // The question is answered with the ordinary pointer, also in the middle of long work.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
    const qsizetype chosen = added.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    return chosen < 0 ? int(added.size()) - 1 : int(chosen);
}

void alert(QWidget *parent, const QString &message, const QString &informativeText)
{
    ask(parent, QStringLiteral("alertUser"), message, informativeText, {{QMessageBox::AcceptRole, texts::kOkButton}},
        0);
}

View::SaveAnswer askToSave(QWidget *parent, const QString &message, const QString &informativeText)
{
    switch (ask(parent, QStringLiteral("askToSave"), message, informativeText,
                {{QMessageBox::AcceptRole, texts::kSaveButton},
                 {QMessageBox::DestructiveRole, texts::kDiscardButton},
                 {QMessageBox::RejectRole, texts::kCancelButton}},
                0)) {
    case 0:
        return View::SaveAnswer::Save;
    case 1:
        return View::SaveAnswer::Discard;
    default:
        return View::SaveAnswer::Cancel;
    }
}

bool askToDiscard(QWidget *parent, const QString &message, const QString &informativeText)
{
    return ask(parent, QStringLiteral("askToDiscard"), message, informativeText,
               {{QMessageBox::DestructiveRole, texts::kDiscardButton}, {QMessageBox::RejectRole, texts::kCancelButton}},
               1) // nothing is lost by Return
           == 0;
}

bool askToConfirm(QWidget *parent, const QString &message, const QString &informativeText, const QString &action)
{
    return ask(parent, QStringLiteral("askToConfirm"), message, informativeText,
               {{QMessageBox::DestructiveRole, action}, {QMessageBox::RejectRole, texts::kCancelButton}}, 1)
           == 0;
}

} // namespace ov::ui::qt::questions
