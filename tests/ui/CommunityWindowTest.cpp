// The community library end to end, as a user goes through it: the real window, the real server.
#include "MessageBoxAnswerer.h"
#include "TestFiles.h"

#include "catalogue/PluginScan.h"
#include "community/CommunityClient.h"
#include "mapping/ParameterOrderFile.h"
#include "support/CommunityServer.h"
#include "support/HttpRecorder.h"
#include "ui/EditorState.h"
#include "ui/ViewController.h"
#include "support/CommunityWindows.h"
#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <functional>

namespace ov::ui::test {
namespace {

using ov::test::MessageBoxAnswerer;

const QString kOrder = QString::fromLatin1(mapping::kControlSurfaceParameterOrderKey);

class CommunityWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isRunning());
        writePlist(logicFile, {{mapping::kControlSurfaceParameterOrderKey, {"4 Time", "5 Feedback", "-1", "6 Mix"}}});
        writePlist(presetsFile, {{mapping::kControlSurfaceParameterOrderKey, {"1 Other"}}});
        window.attach(controller);
        controller.viewDidLoad();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void clickPlugin(const QString &fileLocation)
    {
        auto *table = window.findChild<QTableView *>(QStringLiteral("pluginTableView"));
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const QModelIndex index = table->model()->index(row, 0);
            if (controllerFileAt(row) == fileLocation) {
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
                return;
            }
        }
        ADD_FAILURE() << "no plug-in " << fileLocation.toStdString();
    }
    QString controllerFileAt(int row) const
    {
        // The plug-in list is in scan order: Logic's folder first.
        return row == 0 ? logicFile : presetsFile;
    }
    void click(QWidget *parent, const QString &name)
    {
        auto *button = parent->findChild<QPushButton *>(name);
        ASSERT_TRUE(button) << name.toStdString();
        ASSERT_TRUE(button->isEnabled()) << name.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void type(QWidget *parent, const QString &name, const QString &text)
    {
        QWidget *field = parent->findChild<QWidget *>(name);
        ASSERT_TRUE(field) << name.toStdString();
        QTest::keyClicks(field, text);
    }

    ov::test::CommunityServer server;
    community::CommunityClient client{server.baseUrl()};
    const QString home = QDir::homePath();
    const QString logicFile = test::logicFile(home, QStringLiteral("Echo"));
    const QString presetsFile = home + QStringLiteral("/Library/Audio/Presets/Maker/Echo/CSParameterOrder.plist");
    QMap<QString, QString> settings;
    EditorState state;
    qt::MainWindow window;
    ViewController controller{
        state, window,
        ControllerEnvironment{[this] { return catalogue::scanRoots(home, QString()); }, [](const QString &) {}, &client,
                              [this](const QString &key) { return settings.value(key); },
                              [this](const QString &key, const QString &value) { settings[key] = value; }}};
};

TEST_F(CommunityWindowTest, SignInUploadListDownloadLoadAndSave)
{
    MessageBoxAnswerer answerer({"OK", "OK", "OK", "OK"});
    qt::SignInWindow *signIn = signInWindow(window);

    // A new user, then the sign-in with the PIN the server gave.
    click(&window, QStringLiteral("ovLoginToCloudAccount"));
    ASSERT_TRUE(signIn->isVisible());
    EXPECT_EQ(signIn->pinCode()->echoMode(), QLineEdit::Password);
    type(signIn, QStringLiteral("cwinUserNameNew"), QStringLiteral("Fay"));
    type(signIn, QStringLiteral("cwinEmailAddrNew"), QStringLiteral("fay@example.org"));
    signIn->move(signIn->pos() + QPoint(30, 20));
    const QPoint placed = signIn->pos();
    click(signIn, QStringLiteral("cwinNewUserCreate"));
    ASSERT_EQ(answerer.shown().size(), 1u);
    EXPECT_EQ(answerer.shown()[0].text, "Create New User Response");
    // The alert came over the sign-in window; asked for again, it keeps its place and what was typed.
    EXPECT_EQ(answerer.shown()[0].over, "cwinCloudWindow");
    click(&window, QStringLiteral("ovLoginToCloudAccount"));
    EXPECT_EQ(signIn->pos(), placed);
    EXPECT_EQ(signIn->userNameNew()->text(), "Fay");
    const QString pin =
        QRegularExpression("PIN code is (\\d{6})").match(answerer.shown()[0].informativeText).captured(1);
    ASSERT_FALSE(pin.isEmpty());
    EXPECT_FALSE(window.findChild<QPushButton *>(QStringLiteral("ov_btn_cloudLibrary"))->isEnabled());
    // The new account stands in the sign-in fields, ready to sign in with.
    EXPECT_EQ(signIn->userName()->text(), "Fay");
    EXPECT_EQ(signIn->pinCode()->text(), pin);
    click(signIn, QStringLiteral("cwinLoginAttempt"));
    EXPECT_FALSE(signIn->isVisible());
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("labLoggedInAs"))->text(), "Logged in as Fay");

    // Share Logic's Echo with a comment.
    clickPlugin(logicFile);
    click(&window, QStringLiteral("ov_btn_cloudLibrary"));
    ASSERT_TRUE(uploadWindow(window)->isVisible());
    type(uploadWindow(window), QStringLiteral("cwinUploadComments"), QStringLiteral("Slapback & tape"));
    click(uploadWindow(window), QStringLiteral("ovCommunityUploadBtn"));
    ASSERT_EQ(answerer.shown().size(), 2u);
    EXPECT_EQ(answerer.shown()[1].text, "Upload notification");
    EXPECT_FALSE(uploadWindow(window)->isVisible());

    // Opened again from the keyboard's point of view: what is typed, space and Return included, goes
    // into the comment, and nothing is uploaded.
    click(&window, QStringLiteral("ov_btn_cloudLibrary"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(uploadWindow(window)));
    ASSERT_EQ(QApplication::focusWidget(), uploadWindow(window)->comments());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("hi there"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(uploadWindow(window)->comments()->toPlainText(), "hi there\n") << "emptied after the upload";
    EXPECT_EQ(answerer.shown().size(), 2u);
    uploadWindow(window)->close();

    // The maker's Echo lists it, downloads it and loads it.
    clickPlugin(presetsFile);
    click(&window, QStringLiteral("ov_btn_cloudLibraryDownload"));
    qt::DownloadWindow *downloads = downloadWindow(window);
    ASSERT_TRUE(downloads->isVisible());
    EXPECT_EQ(downloads->windowTitle(), "Community Library: Shared Mappings for Echo");
    ASSERT_EQ(downloadTable(window)->model()->rowCount(), 1);
    EXPECT_EQ(downloadTable(window)->model()->index(0, qt::DownloadListModel::UserColumn).data().toString(),
              "Fay (you)"); // hers, signed in
    EXPECT_EQ(downloads->uploadedComments()->toPlainText(), "Slapback & tape");
    click(downloads, QStringLiteral("ovCommunityLoadSelectedDownload"));
    QTRY_COMPARE_WITH_TIMEOUT(answerer.shown().size(), size_t(3), 15000);
    EXPECT_EQ(answerer.shown()[2].text, "OK Done");
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("ovControl1"))->text(), "Time");
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("ovControl4"))->text(), "Mix");
    EXPECT_EQ(readPlist(presetsFile).stringArray(mapping::kControlSurfaceParameterOrderKey, std::nullopt),
              QStringList{"1 Other"});

    // Saved, it is the maker's Echo's mapping now.
    click(&window, QStringLiteral("ovExportToPlist"));
    ASSERT_EQ(answerer.shown().size(), 4u);
    EXPECT_EQ(answerer.shown()[3].text, "New Mapping has been saved");
    EXPECT_EQ(readPlist(presetsFile).stringArray(mapping::kControlSurfaceParameterOrderKey, std::nullopt)->mid(0, 4),
              (QStringList{"4 Time", "5 Feedback", "-1", "6 Mix"}));
    EXPECT_TRUE(answerer.allAnswered());
}

TEST_F(CommunityWindowTest, WhileTheServerIsSilentOnlyTheWaitNoticeTakesInputAndItsCancelEndsTheWait)
{
    ov::test::HttpRecorder silent;
    silent.reply = [](const ov::test::RecordedRequest &) { return ov::test::CannedReply{200, "", false, {}, true}; };
    client.setBaseUrl(silent.baseUrl());
    MessageBoxAnswerer answerer({"OK"});
    click(&window, QStringLiteral("ovLoginToCloudAccount"));
    QString notice;
    QTimer::singleShot(200, [&notice] {
        auto *wait = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        ASSERT_TRUE(wait && wait->windowModality() == Qt::ApplicationModal);
        notice = wait->labelText();
        QTest::mouseClick(wait->findChild<QPushButton *>(), Qt::LeftButton);
    });
    click(signInWindow(window), QStringLiteral("cwinLoginAttempt"));
    EXPECT_EQ(notice, "Waiting for the community server at " + silent.baseUrl() + QChar(0x2026));
    ASSERT_EQ(answerer.shown().size(), 1u);
    EXPECT_EQ(answerer.shown()[0].text, "The community server did not answer");
    EXPECT_EQ(answerer.shown()[0].informativeText,
              "The community server at " + silent.baseUrl() + " did not answer: cancelled while waiting.");
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("labLoggedInAs"))->text(), "Not Logged In");
}

TEST_F(CommunityWindowTest, TheCommentFollowsTheClickedRowAndServerTextsStayPlain)
{
    const QString markup = QStringLiteral("<h1>Big</h1><a href=\"http://example.org\">link</a>");
    QVector<community::DownloadListEntry> entries;
    for (int row = 0; row < 4; ++row)
        entries.append({QJsonObject{{"user", row == 0 ? markup : QStringLiteral("U%1").arg(row)},
                                    {"userComments", row == 0 ? markup : QStringLiteral("comment %1").arg(row)}}});
    window.setDownloadList(entries);
    qt::DownloadWindow *downloads = downloadWindow(window);
    downloads->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(downloads));
    QTableView *table = downloadTable(window);
    for (int row : {1, 3, 0}) {
        const QModelIndex cell = table->model()->index(row, qt::DownloadListModel::UserColumn);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
        EXPECT_EQ(downloads->uploadedComments()->toPlainText(), entries[row].userComments()) << row;
    }

    // What a tooltip shows is the text the server sent, markup and all.
    const auto shown = [](const QString &toolTip) {
        QTextDocument document;
        if (Qt::mightBeRichText(toolTip))
            document.setHtml(toolTip);
        else
            document.setPlainText(toolTip);
        return document.toPlainText();
    };
    for (int column : {int(qt::DownloadListModel::UserColumn), int(qt::DownloadListModel::CommentsColumn)})
        EXPECT_EQ(shown(table->model()->index(0, column).data(Qt::ToolTipRole).toString()), markup) << column;
    EXPECT_TRUE(downloads->loadButton()->isEnabled());
    window.setDownloadList({});
    EXPECT_FALSE(downloads->loadButton()->isEnabled()) << "nothing to load";

    // So are the parameter names of a mapping, in the list and on the panel.
    writePlist(logicFile, {{mapping::kControlSurfaceParameterOrderKey, {QStringLiteral("1 ") + markup}}});
    clickPlugin(logicFile);
    auto *parameters = window.findChild<QTableView *>(QStringLiteral("tablePlistOfSelectedPlugin"));
    EXPECT_EQ(shown(parameters->model()->index(1, 1).data(Qt::ToolTipRole).toString()), markup);
    EXPECT_TRUE(shown(window.findChild<QLabel *>(QStringLiteral("ovControl1"))->toolTip()).contains(markup));
}

TEST(DownloadWindowKeys, EscapeAndCloseCloseReturnAndADoubleClickLoadTheSelectedRow)
{
    using Act = std::function<void(qt::DownloadWindow &)>;
    const auto key = [](Qt::Key k) { return Act([k](qt::DownloadWindow &w) { QTest::keyClick(w.table(), k); }); };
    const Act close = [](qt::DownloadWindow &w) { QTest::mouseClick(w.closeButton(), Qt::LeftButton); };
    const Act doubleClick = [](qt::DownloadWindow &w) {
        const QPoint row = w.table()->visualRect(w.model()->index(1, 0)).center();
        QTest::mouseClick(w.table()->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(w.table()->viewport(), Qt::LeftButton, {}, row);
    };
    for (const auto &[name, act, row, loads, staysOpen] : {std::tuple{"Escape", key(Qt::Key_Escape), 0, 0, false},
                                                           {"Close", close, 0, 0, false},
                                                           {"Return", key(Qt::Key_Return), 1, 1, true},
                                                           {"Return, no row", key(Qt::Key_Return), -1, 0, true},
                                                           {"double click", doubleClick, 1, 1, true}}) {
        qt::DownloadWindow downloads;
        downloads.model()->setEntries({{QJsonObject{{"user", "ann"}}}, {QJsonObject{{"user", "bob"}}}});
        downloads.selectRow(row);
        downloads.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&downloads)) << name;
        EXPECT_EQ(downloads.loadButton()->isEnabled(), row >= 0) << name;
        QSignalSpy loaded(downloads.loadButton(), &QPushButton::clicked);
        act(downloads);
        EXPECT_EQ(loaded.count(), loads) << name;
        EXPECT_EQ(downloads.isVisible(), staysOpen) << name;
    }
}

} // namespace
} // namespace ov::ui::test
