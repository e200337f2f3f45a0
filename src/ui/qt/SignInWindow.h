#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

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

} // namespace ov::ui::qt
