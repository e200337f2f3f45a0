#pragma once

#include "ui/View.h"

#include <QList>
#include <QMessageBox>
#include <QString>

#include <utility>

class QWidget;

// The modal warnings the window asks and tells with: the alert and the questions before losing edits.
namespace ov::ui::qt::questions {

// A modal warning over `parent`'s window with `buttons` (role and title), answered with the index of
// the button chosen; Return chooses `defaultButton`, closing it chooses the last.
int ask(QWidget *parent, const QString &objectName, const QString &message, const QString &informativeText,
        const QList<std::pair<QMessageBox::ButtonRole, QString>> &buttons, int defaultButton);

// The alert: one "OK" button.
void alert(QWidget *parent, const QString &message, const QString &informativeText);
// "Save", "Discard" and "Cancel"; closing it is Cancel.
View::SaveAnswer askToSave(QWidget *parent, const QString &message, const QString &informativeText);
// "Discard" and "Cancel"; true for Discard, and Return keeps the edits.
bool askToDiscard(QWidget *parent, const QString &message, const QString &informativeText);
// `action` and "Cancel"; true for `action`, and Return cancels.
bool askToConfirm(QWidget *parent, const QString &message, const QString &informativeText, const QString &action);

} // namespace ov::ui::qt::questions
