#include "Credentials.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QFile>
#include <QSettings>

#include <utility>

namespace ov::app {

namespace {

const QString kKeychainService = QStringLiteral("org.ovcorvanta.LogicTool");

// Runs a job to its end; the store may ask the user first, so the wait has no deadline.
SecretReply finish(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    switch (job.error()) {
    case QKeychain::NoError:
        return {SecretReply::Status::Ok, {}, {}};
    case QKeychain::EntryNotFound:
        return {SecretReply::Status::NotFound, {}, {}};
    default:
        return {SecretReply::Status::Unavailable, {}, job.errorString()};
    }
}

} // namespace

SecretReply KeychainStore::read(const QString &key)
{
    QKeychain::ReadPasswordJob job(kKeychainService);
    job.setKey(key);
    SecretReply reply = finish(job);
    if (reply.status == SecretReply::Status::Ok)
        reply.value = job.textData();
    return reply;
}

SecretReply KeychainStore::write(const QString &key, const QString &value)
{
    QKeychain::WritePasswordJob job(kKeychainService);
    job.setKey(key);
    job.setTextData(value);
    return finish(job);
}

SecretReply KeychainStore::remove(const QString &key)
{
    QKeychain::DeletePasswordJob job(kKeychainService);
    job.setKey(key);
    return finish(job);
}

CredentialSettings::CredentialSettings(QSettings &settings, SecretStore &secrets)
    : m_settings(settings), m_secrets(secrets)
{
}

QString CredentialSettings::value(const QString &key)
{
    if (key != kPinCodeSetting)
        return m_settings.value(key).toString();
    const SecretReply reply = m_secrets.read(key);
    if (reply.status == SecretReply::Status::Ok)
        return reply.value;
    // Not in the store, or no store: a PIN code kept in the settings (not moved yet, or no keychain).
    QString kept = m_settings.value(key).toString();
    if (reply.status == SecretReply::Status::Unavailable && !kept.isEmpty())
        noteNoKeychain(reply.error);
    return kept;
}

void CredentialSettings::setValue(const QString &key, const QString &value)
{
    if (key != kPinCodeSetting) {
        m_settings.setValue(key, value);
        return;
    }
    if (value.isEmpty()) {
        // Signing out forgets the PIN code wherever it was kept.
        m_secrets.remove(key);
        m_settings.remove(key);
        m_settings.sync();
        return;
    }
    const SecretReply reply = m_secrets.write(key, value);
    if (reply.status == SecretReply::Status::Ok) {
        m_settings.remove(key);
        m_settings.sync();
    } else {
        keepPinInSettings(value, reply.error);
    }
}

void CredentialSettings::moveStoredPin()
{
    const QString kept = m_settings.value(kPinCodeSetting).toString();
    if (kept.isEmpty())
        return;
    const SecretReply reply = m_secrets.write(kPinCodeSetting, kept);
    if (reply.status != SecretReply::Status::Ok) {
        keepPinInSettings(kept, reply.error);
        return;
    }
    m_settings.remove(kPinCodeSetting);
    m_settings.sync();
}

void CredentialSettings::keepPinInSettings(const QString &pin, const QString &error)
{
    m_settings.setValue(kPinCodeSetting, pin);
    m_settings.sync();
    noteNoKeychain(error);
}

void CredentialSettings::noteNoKeychain(const QString &error)
{
    QFile::setPermissions(m_settings.fileName(), QFile::ReadOwner | QFile::WriteOwner);
    if (!m_noticeGiven && m_notice.isEmpty())
        m_notice = kNoKeychainNotice.arg(error);
}

QString CredentialSettings::takeNotice()
{
    if (m_noticeGiven)
        return {};
    m_noticeGiven = !m_notice.isEmpty();
    return std::exchange(m_notice, QString());
}

} // namespace ov::app
