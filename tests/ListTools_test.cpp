#include "catalogue/CatalogueFile.h"
#include "platform/Guarded.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "service/ListTools.h"
#include "service/TfrmImport.h"
#include "support/MainWindowRig.h"
#include "ui_TfrmMain.h"  // here, where the generator looks for it; it brings the form's widget classes
#include "support/PlainText.h"
#include "support/ScriptedServer.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace lumetta;
using test::Markup;
using test::ShowsLiterally;
using test::ScriptedServer;
using test::ServerScript;

namespace {

QString Rec(const QString &category, const QString &name, const QString &url, bool enabled = true)
{
    return QStringList{category, name, url, "http://home/", "00:05:00", "00:00:00", "23:59:59", name + ".jpg",
                       "2000-01-01", "2026-12-01", enabled ? "1" : "0", "1", "0"}
        .join("||");
}

ServerScript Answer(const QByteArray &body, const QByteArray &extraHeader = {})
{
    return ServerScript().readRequest().send("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n" + extraHeader + "\r\n"
                                             + body);
}

class ListToolsTest : public ::testing::Test, protected test::MainWindowRig {
protected:
    void start(const QStringList &lines)
    {
        QDir().mkpath(env.home());
        SaveCatalogue(env.home() + "lumetta.dat", lines);
        qputenv("LUMETTA_SITE", server.url("/").chopped(1).toUtf8());
        WriteRegString(LumettaKey, "L1", ShiftChars(server.url("/lists/webcams.lst"), 3));
        WriteRegString(LumettaKey, "L2", ShiftChars(server.url("/lists/adult.lst"), 3));
        ASSERT_TRUE(RunGuarded([&] { create({AdminWord}).FormCreate(); }));
        dialogs.asked.clear();
    }
    void TearDown() override
    {
        frm.reset();  // before the server it may still be talking to
        qunsetenv("LUMETTA_SITE");
    }

    void click(QAbstractButton *b) { RunGuarded([&] { b->click(); }); }
    static TfrmImport *findDialog()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<TfrmImport *>(w))
                return d;
        return nullptr;
    }
    QStringList items()
    {
        QStringList out;
        auto *list = findDialog()->findChild<QListWidget *>("lstImport");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? " [x]" : "");
        return out;
    }
    QString status() { return findDialog()->findChild<QStatusBar *>("StatusBar")->currentMessage(); }

    ScriptedServer server;
};

} // namespace

// One catalogue through every administration tool in turn.
TEST_F(ListToolsTest, DownloadMergeSubmitExportAndImportSubmissions)
{
    start({Rec("Snow", "Alps", "http://alps/cam.jpg"), Rec("Bars & Restaurants", "Joe's=Bar", "http://joe/cam.jpg"),
           Rec("adult", "x", "http://x"), Rec("Snow", "-hidden", "http://h"), Rec("Snow", "off", "http://off", false)});
    // A blank list or a failed download shows no dialog.
    server.addConnection(Answer("\r\n   \r\n"));
    server.addConnection(ServerScript().readRequest().send("HTTP/1.0 404 Not Found\r\n\r\n"));
    click(ui()->butGetCamList);
    click(ui()->butGetAdultCamList);
    EXPECT_EQ(dialogs.asked, (QStringList{"message: No webcams listed", "message: Could not download file"}));
    EXPECT_TRUE(findDialog() == nullptr || !findDialog()->isVisible());
    dialogs.asked.clear();

    server.addConnection(Answer("Snow||Alps again||http://alps/cam.jpg?x=1||h||60||10:00||10:00\r\n"
                                "Snow||Tatra||http://tatra/c.jpg||h||300||10:00||10:00\r\n"
                                "Cities||Oslo & Co||http://oslo/c.jpg||h||300||10:00||10:00\r\n",
                                "Last-Modified: " + Markup.toLatin1() + "\r\n"));
    click(ui()->butGetCamList);
    ASSERT_NE(findDialog(), nullptr) << dialogs.asked.join("\n").toStdString();
    EXPECT_TRUE(ShowsLiterally(findDialog()->findChild<QLabel *>("lblLastUpdated"), "Last updated: " + Markup));
    EXPECT_EQ(items(), (QStringList{"Snow - Alps again", "Snow - Tatra", "Cities - Oslo & Co"}));
    EXPECT_EQ(status(), "Selected  0/3");

    // Which lines a filter keeps is ListFilter's; here the box reaches it.
    auto *filter = findDialog()->findChild<QLineEdit *>("edtFilter");
    filter->setText("ta");
    EXPECT_EQ(items(), (QStringList{"Snow - Tatra"}));
    filter->setText("");

    RunGuarded([&] { findDialog()->findChild<QAction *>("mnuSelectAll")->trigger(); });
    EXPECT_EQ(status(), "Selected  3/3");
    auto *import = findDialog()->findChild<QPushButton *>("butImport");
    RunGuarded([&] { import->click(); });
    EXPECT_EQ(dialogs.asked,
              QStringList("message: Selected sites: 3\r\nDuplicate sites ignored: 1\r\nNew sites added: 2"));
    const QStringList stored = LoadCatalogue(env.home() + "lumetta.dat");
    EXPECT_EQ(stored, frm->catalogue().CamData());
    EXPECT_EQ(ui()->SiteList->count(), 7);
    EXPECT_EQ(ui()->StatusBar->currentMessage(), "Webcams - Current: 2  Enabled: 4  Total: 7");
    EXPECT_TRUE(ui()->grpEditor->isEnabled()) << "the editor shows a webcam";

    EXPECT_TRUE(QFile::exists(env.home() + "temp.txt"));
    findDialog()->close();
    EXPECT_FALSE(QFile::exists(env.home() + "temp.txt"));

    WriteRegInteger(LumettaKey, "X-EXE", 1);
    server.addConnection(Answer("Snow||Other||http://other/c.jpg\r\n"));
    server.addConnection(Answer(""));
    server.addConnection(Answer("OK\r\nEmail: lists@korvane.example\r\n", "X-EXE: 0\r\n"));
    dialogs.setNextAnswer(DialogButton::Ok);
    click(ui()->butExportCam);
    ASSERT_EQ(server.requests().size(), 6) << dialogs.asked.join("\n").toStdString();
    const QByteArray query = server.requests()[5];
    EXPECT_TRUE(query.contains("GET /cgi-bin/addcam.cgi?category=Bars%20%26%20Restaurants&webcam=Joe's%3DBar&image="
                               "http://joe/cam.jpg&homepage=http://home/&RefreshRate=00:05:00"))
        << query.toStdString();
    EXPECT_EQ(dialogs.asked.last(), "message: " + SubmissionThanksMessage);
    EXPECT_FALSE(QFile::exists(env.home() + "temp.tmp"));

    dialogs.asked.clear();
    click(ui()->butExportCam);
    EXPECT_EQ(dialogs.asked, QStringList{"message: " + SubmissionDisabledMessage});
    EXPECT_EQ(server.requests().size(), 6) << "nothing is sent";

    const QString submissions = env.path() + "/submitted.lst";
    test::WriteAll(submissions, "Snow||Late||http://same/c.jpg||h||60||10:00:00||12:00:00\r\n"
                                "Snow||Early||http://same/c.jpg||h||60||10:00:00||12:00:00\r\n");
    ui()->edtSubmissionList->setText(submissions);
    click(ui()->butImport);
    ASSERT_NE(findDialog(), nullptr);
    EXPECT_EQ(items(), QStringList{"Snow - Late"});
    EXPECT_FALSE(findDialog()->findChild<QLineEdit *>("edtFilter")->isEnabled());

    ui()->edtMainList->setText(env.path() + "/main.lst");
    ui()->edtAdultList->setText(env.path() + "/adult.lst");
    click(ui()->butExport);
    EXPECT_EQ(dialogs.asked.last(), "message: 2 main webcams exported\r\n1 adult webcams exported\r\n");
    EXPECT_EQ(LoadCatalogue(env.path() + "/main.lst").size(), 2);

    dialogs.setNextAnswer(DialogButton::Ok);
    click(ui()->butDeleteMasterList);
    EXPECT_EQ(dialogs.lastKind, QuestionKind::OkCancelWarning);
    EXPECT_FALSE(QFile::exists(submissions));
}
