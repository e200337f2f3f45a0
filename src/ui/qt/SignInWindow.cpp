#include "SignInWindow.h"

#include "WindowParts.h"

#include "ui/UiTexts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace ov::ui::qt {

namespace {

QLineEdit *lineEdit(const QString &objectName, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMinimumWidth(240);
    return edit;
}

} // namespace

SignInWindow::SignInWindow()
{
    setObjectName(QStringLiteral("cwinCloudWindow"));
    setWindowTitle(texts::kSignInTitle);
    auto *layout = new QVBoxLayout(this);

    auto *signInBox = new QGroupBox(texts::kSignInBox, this);
    auto *signInForm = new QFormLayout(signInBox);
    m_userName = lineEdit(QStringLiteral("cwinUserName"), signInBox);
    m_pinCode = lineEdit(QStringLiteral("cwinPinCode"), signInBox);
    m_pinCode->setEchoMode(QLineEdit::Password);
    m_signIn = pushButton(texts::kSignInButton, QStringLiteral("cwinLoginAttempt"), signInBox);
    m_signIn->setDefault(true);
    signInForm->addRow(texts::kUserNameField, m_userName);
    signInForm->addRow(texts::kPinCodeField, m_pinCode);
    signInForm->addRow(QString(), m_signIn);
    layout->addWidget(signInBox);

    auto *newUserBox = new QGroupBox(texts::kNewUserBox, this);
    auto *newUserForm = new QFormLayout(newUserBox);
    m_userNameNew = lineEdit(QStringLiteral("cwinUserNameNew"), newUserBox);
    m_emailAddrNew = lineEdit(QStringLiteral("cwinEmailAddrNew"), newUserBox);
    m_create = pushButton(texts::kCreateUserButton, QStringLiteral("cwinNewUserCreate"), newUserBox);
    newUserForm->addRow(texts::kUserNameField, m_userNameNew);
    newUserForm->addRow(texts::kEmailField, m_emailAddrNew);
    newUserForm->addRow(QString(), m_create);
    layout->addWidget(newUserBox);

    // The two groups' fields line up: their labels share the widest one's width.
    QList<QWidget *> labels;
    for (const auto &[form, fields] :
         {std::pair{signInForm, QList<QWidget *>{m_userName, m_pinCode, m_signIn}},
          std::pair{newUserForm, QList<QWidget *>{m_userNameNew, m_emailAddrNew, m_create}}}) {
        for (QWidget *field : fields) {
            if (QWidget *label = form->labelForField(field))
                labels.append(label);
        }
    }
    int labelWidth = 0;
    for (const QWidget *label : std::as_const(labels))
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QWidget *label : std::as_const(labels))
        label->setMinimumWidth(labelWidth);

    connect(m_pinCode, &QLineEdit::returnPressed, m_signIn, &QPushButton::click);
}

} // namespace ov::ui::qt
