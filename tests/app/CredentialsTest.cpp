// Where the community credentials are kept: the user name in the settings, the PIN code in the
// system's credential store, or, with no store answering, in a settings file only its owner reads.
#include "Credentials.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace ov::app {
namespace {

// A credential store in memory that can be made to stop answering.
class FakeSecrets final : public SecretStore {
public:
    SecretReply read(const QString &key) override
    {
        if (!answers)
            return {SecretReply::Status::Unavailable, {}, QStringLiteral("no secret service")};
        if (!secrets.contains(key))
            return {SecretReply::Status::NotFound, {}, {}};
        return {SecretReply::Status::Ok, secrets.value(key), {}};
    }
    SecretReply write(const QString &key, const QString &value) override
    {
        if (!answers)
            return {SecretReply::Status::Unavailable, {}, QStringLiteral("no secret service")};
        secrets.insert(key, value);
        return {SecretReply::Status::Ok, {}, {}};
    }
    SecretReply remove(const QString &key) override
    {
        if (!answers)
            return {SecretReply::Status::Unavailable, {}, QStringLiteral("no secret service")};
        return {secrets.remove(key) ? SecretReply::Status::Ok : SecretReply::Status::NotFound, {}, {}};
    }

    bool answers = true;
    QMap<QString, QString> secrets;
};

struct Kept {
    const char *name;
    bool storeAnswers;
    const char *oldPin; // kept in the settings by an older version, moved at start
    const char *signIn; // the PIN code of a sign-in after the start
    const char *inStore, *inSettings, *read;
    bool noticed;
};

TEST(Credentials, ThePinCodeGoesIntoTheStoreAndIntoTheSettingsOnlyWhenNoStoreAnswers)
{
    const Kept cases[] = {
        {"an older version's PIN moves into the store", true, "123456", "", "123456", "", "123456", false},
        {"a sign-in's PIN goes into the store alone", true, "", "654321", "654321", "", "654321", false},
        {"with no store an older PIN stays in the settings", false, "123456", "", "", "123456", "123456", true},
        {"with no store a sign-in's PIN goes into the settings", false, "", "654321", "", "654321", "654321", true},
    };
    for (const Kept &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("ov.conf")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("uName"), QStringLiteral("Ann Lee"));
        if (*c.oldPin)
            settings.setValue(QStringLiteral("uPIN"), QString::fromLatin1(c.oldPin));
        settings.sync();
        FakeSecrets secrets;
        secrets.answers = c.storeAnswers;
        CredentialSettings credentials(settings, secrets);

        credentials.moveStoredPin();
        if (*c.signIn)
            credentials.setValue(QStringLiteral("uPIN"), QString::fromLatin1(c.signIn));

        EXPECT_EQ(secrets.secrets.value(QStringLiteral("uPIN")), QString::fromLatin1(c.inStore));
        QSettings onDisk(settings.fileName(), QSettings::IniFormat);
        EXPECT_EQ(onDisk.value(QStringLiteral("uPIN")).toString(), QString::fromLatin1(c.inSettings));
        EXPECT_EQ(credentials.value(QStringLiteral("uPIN")), QString::fromLatin1(c.read));
        EXPECT_EQ(credentials.value(QStringLiteral("uName")), QStringLiteral("Ann Lee"));
        if (c.noticed) {
            struct stat file { };
            ASSERT_EQ(::stat(QFile::encodeName(settings.fileName()).constData(), &file), 0);
            EXPECT_EQ(file.st_mode & 0777, 0600u);
            EXPECT_TRUE(credentials.takeNotice().contains(QStringLiteral("no secret service")));
        }
        EXPECT_EQ(credentials.takeNotice(), QString()) << "said once at most";

        // Signing out forgets the PIN code wherever it was.
        secrets.answers = true;
        credentials.setValue(QStringLiteral("uPIN"), QString());
        EXPECT_TRUE(secrets.secrets.isEmpty());
        EXPECT_EQ(credentials.value(QStringLiteral("uPIN")), QString());
    }
}

// Against the Secret Service of a real gnome-keyring, which tests/app/with-secret-service starts.
TEST(Credentials, TheRealSecretServiceKeepsAndForgetsThePinCode)
{
    if (qEnvironmentVariable("OV_SECRET_SERVICE") != QLatin1String("1"))
        GTEST_SKIP() << "runs under tests/app/with-secret-service (gnome-keyring and dbus-run-session)";
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("ov.conf")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("uPIN"), QStringLiteral("123456"));
    KeychainStore keychain;
    CredentialSettings credentials(settings, keychain);
    credentials.moveStoredPin();
    EXPECT_EQ(credentials.takeNotice(), QString());
    EXPECT_FALSE(settings.contains(QStringLiteral("uPIN")));
    EXPECT_EQ(keychain.read(QStringLiteral("uPIN")).value, QStringLiteral("123456"));
    credentials.setValue(QStringLiteral("uPIN"), QString());
    EXPECT_EQ(keychain.read(QStringLiteral("uPIN")).status, SecretReply::Status::NotFound);
}

} // namespace
} // namespace ov::app
