// The Preferences window, where the community server's address is kept, and the About window.
#include "ov/Version.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/PreferencesDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ov::ui::qt {
namespace {

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override { qunsetenv("OVCORVANTA_COMMUNITY_URL"); }
    void TearDown() override { qunsetenv("OVCORVANTA_COMMUNITY_URL"); }

    QTemporaryDir folder;
    QSettings settings{folder.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
};

TEST_F(PreferencesTest, AUsableAddressIsKeptAndUsedFromThenOn)
{
    PreferencesDialog preferences(settings);
    QSignalSpy changed(&preferences, &PreferencesDialog::communityUrlChanged);
    preferences.findChild<QLineEdit *>(QStringLiteral("communityUrl"))
        ->setText(QStringLiteral(" https://library.example.org/ov "));
    preferences.accept();
    EXPECT_EQ(preferences.result(), QDialog::Accepted);
    EXPECT_EQ(settings.value(PreferencesDialog::kCommunityUrlKey).toString(), "https://library.example.org/ov");
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), "https://library.example.org/ov/");

    // Emptied, the field goes back to the built-in address.
    PreferencesDialog again(settings);
    auto *field = again.findChild<QLineEdit *>(QStringLiteral("communityUrl"));
    EXPECT_EQ(field->text(), "https://library.example.org/ov");
    field->clear();
    again.accept();
    EXPECT_FALSE(settings.contains(PreferencesDialog::kCommunityUrlKey));
}

TEST_F(PreferencesTest, AnAddressThatIsNotAWebServerIsRefusedWithAMessage)
{
    settings.setValue(PreferencesDialog::kCommunityUrlKey, QStringLiteral("http://kept.example/"));
    for (const char *typed : {"library.example.org", "ftp://example.org/", "http://", "not a url at all"}) {
        PreferencesDialog preferences(settings);
        preferences.findChild<QLineEdit *>(QStringLiteral("communityUrl"))->setText(QString::fromLatin1(typed));
        preferences.accept();
        EXPECT_NE(preferences.result(), QDialog::Accepted) << typed;
        EXPECT_FALSE(preferences.findChild<QLabel *>(QStringLiteral("communityUrlProblem"))->text().isEmpty()) << typed;
        EXPECT_EQ(settings.value(PreferencesDialog::kCommunityUrlKey).toString(), "http://kept.example/") << typed;
    }
}

TEST_F(PreferencesTest, TheProblemWrapsAndTheWindowGrowsToHoldIt)
{
    PreferencesDialog preferences(settings);
    preferences.show();
    preferences.findChild<QLineEdit *>(QStringLiteral("communityUrl"))->setText(QStringLiteral("library.example"));
    QApplication::processEvents();
    const auto *problem = preferences.findChild<QLabel *>(QStringLiteral("communityUrlProblem"));
    EXPECT_GE(problem->height(), problem->heightForWidth(problem->width()));
}

TEST_F(PreferencesTest, TheWindowSaysWhenTheEnvironmentWinsOverTheKeptAddress)
{
    EXPECT_EQ(PreferencesDialog(settings).findChild<QLabel *>(QStringLiteral("communityUrlOverridden")), nullptr);
    qputenv("OVCORVANTA_COMMUNITY_URL", "http://127.0.0.1:9999/");
    const PreferencesDialog preferences(settings);
    const auto *note = preferences.findChild<QLabel *>(QStringLiteral("communityUrlOverridden"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().contains("http://127.0.0.1:9999/"));
}

TEST(AboutDialog, NamesTheApplicationAndItsVersion)
{
    const AboutDialog about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About ovCorvanta Logic Tool"));
    const QString text = about.findChild<QLabel *>(QStringLiteral("aboutText"))->text();
    EXPECT_TRUE(text.contains(QStringLiteral("ovCorvanta Logic Tool")));
    EXPECT_TRUE(text.contains(QStringLiteral("Version ") + QString::fromUtf8(ov::kVersion)));
}

} // namespace
} // namespace ov::ui::qt
