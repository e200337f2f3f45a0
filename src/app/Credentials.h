#pragma once

#include <QString>

class QSettings;

namespace ov::app {

// What the system's credential store answered.
struct SecretReply final {
    enum class Status {
        Ok,
        NotFound,
        Unavailable
    };
    Status status = Status::Unavailable;
    QString value; // the secret, when read
    QString error; // the store's own words, when it did not answer
};

// The system's credential store (the Keychain on a Mac, the Secret Service on Linux), one secret
// per key.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    virtual SecretReply read(const QString &key) = 0;
    virtual SecretReply write(const QString &key, const QString &value) = 0;
    virtual SecretReply remove(const QString &key) = 0;
};

// QtKeychain under the application's identifier; each call waits for the store's answer.
class KeychainStore final : public SecretStore {
public:
    SecretReply read(const QString &key) override;
    SecretReply write(const QString &key, const QString &value) override;
    SecretReply remove(const QString &key) override;
};

// The community credentials: the user name ("uName") in the settings, the PIN code ("uPIN") in the
// credential store. Where no store answers, the PIN code stays in the settings and the settings
// file is made readable by its owner only. Every other key is a plain setting.
class CredentialSettings final {
public:
    CredentialSettings(QSettings &settings, SecretStore &secrets);

    QString value(const QString &key);
    void setValue(const QString &key, const QString &value);
    // A PIN code that an older version kept in the settings moves into the credential store; it
    // leaves the settings only once the store confirmed it.
    void moveStoredPin();
    // Once, after the store first failed to answer: the status line's text; empty otherwise.
    QString takeNotice();

private:
    void keepPinInSettings(const QString &pin, const QString &error);
    // The settings file readable by its owner only, and the status line's notice once.
    void noteNoKeychain(const QString &error);

    QSettings &m_settings;
    SecretStore &m_secrets;
    QString m_notice;
    bool m_noticeGiven = false;
};

inline const QString kPinCodeSetting = QStringLiteral("uPIN");
// %1: what the credential store said.
inline const QString kNoKeychainNotice =
    QStringLiteral("No keychain answered (%1): the PIN code is kept in the settings file, readable only by you.");

} // namespace ov::app
