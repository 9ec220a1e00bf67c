#include "app/LumettaApplication.h"
#include "catalogue/CamRecord.h"
#include "catalogue/CatalogueFile.h"
#include "platform/Guarded.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "support/MainWindowRig.h"
#include "ui_TfrmMain.h"  // here, where the generator looks for it; it brings the form's widget classes
#include "support/TestFiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace lumetta;
using test::ReadAll;
using test::WriteAll;

namespace {

using test::Rec;

class CatalogueEditingTest : public ::testing::Test, protected test::MainWindowRig {
protected:
    void start(const QStringList &lines, int selected = 0, const QStringList &arguments = {})
    {
        QDir().mkpath(ResolveAppPath(QString()));
        if (!lines.isEmpty())
            SaveCatalogue(ResolveAppPath(QString()) + "lumetta.dat", lines);
        WriteRegInteger(LumettaKey, "SelectedCam", selected);
        WriteRegInteger(LumettaKey, "LastCam", selected);
        dialogs.asked.clear();
        EXPECT_TRUE(RunGuarded([&] { create(arguments).FormCreate(); }));
    }

    QListWidget *list() { return ui()->SiteList; }
    QString field(int row, int k) { return CamRecord::fromLine(frm->catalogue().CamData().value(row)).field(k); }
    QStringList names()
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    // Every action runs the way an event does: an escaping error is shown.
    void run(const std::function<void()> &work) { RunGuarded(work); }
    void click(QAbstractButton *button) { run([&] { button->click(); }); }
    void menu(const char *name) { run([&] { frm->findChild<QAction *>(name)->trigger(); }); }
    void leave(QLineEdit *edit, const QString &text)
    {
        run([&] {
            edit->setText(text);
            edit->setModified(true);
            emit edit->editingFinished();
        });
    }

    // After every operation: the file holds exactly CamData, CR LF after each
    // line, and the list shows the catalogue's items (their rules are Catalogue's).
    void expectInStep(const std::string &when)
    {
        QByteArray expected;
        for (const QString &line : std::as_const(frm->catalogue().CamData()))
            expected += line.toUtf8() + "\r\n";
        EXPECT_EQ(ReadAll(frm->run().DataFileName), expected) << when;
        const QList<ListItem> &items = frm->catalogue().items();
        ASSERT_EQ(list()->count(), items.size()) << when;
        for (int i = 0; i < list()->count(); ++i) {
            EXPECT_EQ(list()->item(i)->text(), items[i].text) << when << " #" << i;
            EXPECT_EQ(list()->item(i)->checkState() == Qt::Checked, items[i].checked) << when << " #" << i;
        }
    }
};

// --- the editor, the ticks and the counters -----------------------------------

TEST_F(CatalogueEditingTest, RecordEdgeCasesLoadAndWriteBack)
{
    // What the editor writes back shows what it loaded: the times, the grey tick, the category.
    struct {
        const char *description;
        QString line;
        bool writtenWhenSelected;  // a generated name or a check box that changed
        QString written;
    } const cases[] = {
        {"an empty name is listed under the URL, which becomes the name",
         "Weather||||http://n/n.jpg||||00:01:00||00:00:00||23:59:59||n.jpg||2000-01-01||2000-01-01||0||2||1", true,
         "Weather||http://n/n.jpg||http://n/n.jpg||||00:01:00||00:00:00||23:59:59||n.jpg||2000-01-01||2000-01-01||0||2||1"},
        {"a category not in the list shows none and is stored empty",
         "Volcanoes||V||http://v/v.jpg||||00:01:00||00:00:00||23:59:59||v.jpg||2000-01-01||2000-01-01||1||0||0", false,
         "||V||http://v/v.jpg||||00:01:00||00:00:00||23:59:59||v.jpg||2000-01-01||2000-01-01||1||0||0"},
        {"a made local name is stored at once, unlike the one taken on disk",
         "General||A||http://a/a.jpg||||00:01:00||00:00:00||23:59:59||||2000-01-01||2000-01-01||1||1||0", true,
         "General||A||http://a/a.jpg||||00:01:00||00:00:00||23:59:59||a-1.jpg||2000-01-01||2000-01-01||1||1||0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        test::TestEnv caseEnv;
        WriteAll(caseEnv.home() + "images/a.jpg", "");
        start({Rec("General", "first", true), c.line}, 1);
        EXPECT_TRUE(dialogs.asked.isEmpty()) << dialogs.asked.join('\n').toStdString();
        ASSERT_EQ(list()->currentRow(), 1);
        EXPECT_EQ(frm->catalogue().CamData()[1], c.writtenWhenSelected ? c.written : c.line);

        leave(ui()->edtHomePage, ui()->edtHomePage->text());
        EXPECT_EQ(frm->catalogue().CamData()[1], c.written);
        expectInStep(c.description);
    }
}

TEST_F(CatalogueEditingTest, EditorEventsSaveTheirField)
{
    struct {
        const char *description;
        std::function<void(Ui::TfrmMain *)> act;
        int field;
        QString stored;
    } const cases[] = {
        {"category chosen", [](Ui::TfrmMain *u) { u->cmbCategory->setCurrentIndex(u->cmbCategory->findText("Weather")); },
         fCategory, "Weather"},
        {"start time", [](Ui::TfrmMain *u) { u->dtStartTime->setTime(QTime(6, 30)); }, fStartTime, "06:30:00"},
        {"end time", [](Ui::TfrmMain *u) { u->dtEndTime->setTime(QTime(20, 0, 1)); }, fEndTime, "20:00:01"},
        {"refresh interval", [](Ui::TfrmMain *u) { u->dtRefreshRate->setTime(QTime(0, 0, 30)); }, fRefreshRate, "00:00:30"},
        {"auto-adjust clicked", [](Ui::TfrmMain *u) { u->chkAutoAdjust->click(); }, fAutoAdjust, "0"},
        {"saved image clicked", [](Ui::TfrmMain *u) { u->chkShowLastImage->click(); }, fShowLastImage, "1"},
        {"reset", [](Ui::TfrmMain *u) { u->butReset->click(); }, fLastDownloadTime, "2000-01-01"},
        {"typing a URL saves nothing until the box is left",
         [](Ui::TfrmMain *u) { u->ImageUrl->setText("http://typed/"); }, fImageUrl, "http://cam.example/b.jpg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        test::TestEnv caseEnv;
        QString b = Rec("General", "b", true);
        b.replace("||b.jpg||2000-01-01||", "||b.jpg||2026-12-06 10:00:00||");
        start({Rec("General", "a", true), b}, 1);
        run([&] { c.act(ui()); });
        EXPECT_EQ(field(1, c.field), c.stored);
        expectInStep(c.description);
    }
    EXPECT_EQ(ui()->edtLastModified->text(), QString("2000-01-01")) << "a changed URL was never active";
}

TEST_F(CatalogueEditingTest, EditorNeverWritesIntoAnotherRecord)
{
    const QStringList lines{Rec("General", "a", true), Rec("Weather", "b", false)};
    start(lines, 0);

    // The selection moves without the editor being loaded from it.
    {
        const QSignalBlocker quiet(list());
        list()->setCurrentRow(1);
    }
    leave(ui()->edtHomePage, "http://typed.example/");
    run([&] { ui()->dtRefreshRate->setTime(QTime(1, 0)); });
    click(ui()->chkShowLastImage);
    EXPECT_EQ(frm->catalogue().CamData(), lines) << "neither a's editor nor b's record is touched";

    // Typing not yet confirmed goes to its own webcam when another is chosen.
    list()->setCurrentRow(0);
    run([&] {
        ui()->ImageUrl->setText("http://new.example/a.jpg");
        ui()->ImageUrl->setModified(true);
        list()->setCurrentRow(1);
    });
    EXPECT_EQ(field(0, fImageUrl), "http://new.example/a.jpg");
    EXPECT_EQ(frm->catalogue().CamData()[1], lines[1]);
    EXPECT_EQ(ui()->ImageUrl->text(), QString("http://cam.example/b.jpg"));
    expectInStep("after the selection moved");

    // Once the window has let go of its records, a late leave writes nothing.
    const QByteArray before = ReadAll(frm->run().DataFileName);
    frm->FormDestroy();
    leave(ui()->edtHomePage, "http://late.example/");
    EXPECT_EQ(ReadAll(frm->run().DataFileName), before);
}

TEST_F(CatalogueEditingTest, TypedTextNeverChangesTheRecordsStructure)
{
    const QString stored = "General||a||http://cam.example/a.jpg||http://home/||00:05:00||00:00:00||23:59:59||"
                           "a.jpg||2000-01-01||2020-02-02||1||1||0";
    struct {
        const char *box;
        int field;
        QString typed;
        const char *refusal;  // the message's start, or nullptr when accepted
    } const cases[] = {
        {"edtLocalFilename", fLocalFilename, "../evil.jpg", "cannot be a local filename"},
        {"edtLocalFilename", fLocalFilename, "", nullptr},
        {"ImageUrl", fImageUrl, "http://x/a||1.jpg", "cannot be stored"},
        {"edtHomePage", fHomePage, "http://h/\r\n", "cannot be stored"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.box + (" " + c.typed.toStdString()));
        test::TestEnv caseEnv;
        start({stored}, 0);
        auto *box = frm->findChild<QLineEdit *>(c.box);
        const QString before = box->text();
        leave(box, c.typed);
        if (c.refusal) {
            ASSERT_EQ(dialogs.asked.size(), 1);
            EXPECT_TRUE(dialogs.asked[0].startsWith(QString("message: \"%1\" %2").arg(c.typed, c.refusal)))
                << dialogs.asked[0].toStdString();
            EXPECT_EQ(box->text(), before) << "the previous value is back";
            EXPECT_EQ(frm->catalogue().CamData()[0], stored);
            EXPECT_EQ(ui()->edtLastModified->text(), "2020-02-02");
            // Another edit afterwards still writes the previous value.
            box->setText(c.typed);
            click(ui()->chkShowLastImage);
            EXPECT_EQ(field(0, c.field), before);
        } else {
            EXPECT_TRUE(dialogs.asked.isEmpty());
            EXPECT_EQ(field(0, c.field), c.typed);
        }
        expectInStep(c.typed.toStdString());
    }
}

TEST_F(CatalogueEditingTest, UrlCheckReportsDuplicatesAndNamesTheFile)
{
    struct { const char *description; int row; QString url; QString message; QString local; } const cases[] = {
        {"a webcam higher up has it", 2, "http://cam.example/a.jpg", "message: This webcam already exists (1 - a)", "c.jpg"},
        {"a cleared URL is kept cleared", 0, "  ", "", "a.jpg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        test::TestEnv caseEnv;
        start({Rec("General", "a", true), Rec("General", "b", false), Rec("General", "c", true)}, c.row);
        leave(ui()->ImageUrl, c.url);
        EXPECT_EQ(dialogs.asked.join('\n'), c.message);
        EXPECT_EQ(field(c.row, fImageUrl), c.url) << "the URL stays either way";
        EXPECT_EQ(field(c.row, fLocalFilename), c.local);
        EXPECT_EQ(field(c.row, fLastModified), "2000-01-01");
        expectInStep(c.description);
    }
}

// The counts are Catalogue's and what they switch ComputeCountStates'; here a
// tick and the menu reach them.
TEST_F(CatalogueEditingTest, CountersFollowTicksAndEnableAll)
{
    WriteRegInteger(LumettaKey, "X-EnableAA", 1);
    start({Rec("Adult", "a", false), Rec("General", "g", true), Rec("General", "h", false)}, 1);
    EXPECT_TRUE(ui()->EnableAdultAds->isHidden());
    run([&] { list()->item(0)->setCheckState(Qt::Checked); });
    EXPECT_EQ(ui()->StatusBar->currentMessage(), "Webcams - Current: 1  Enabled: 2  Total: 3") << "ticked, selected";
    EXPECT_FALSE(ui()->EnableAdultAds->isHidden());

    list()->setCurrentRow(2);
    menu("mnuEnableAll");
    EXPECT_EQ(ui()->StatusBar->currentMessage(), "Webcams - Current: 3  Enabled: 3  Total: 3") << "the selection stays";
    EXPECT_FALSE(frm->run().SSTimer.Enabled()) << "the counts may stop the show, only the user starts it";
    menu("mnuDisableAll");
    EXPECT_FALSE(ui()->butSlideshow->isEnabled());
    expectInStep("disabled all");
}

// --- add, rename, delete, move ----------------------------------------------------

TEST_F(CatalogueEditingTest, AStartUpErrorLeavesListAndRecordsInStep)
{
    // The error comes after the records are loaded, before the selection.
    WriteRegInteger(LumettaKey, "Categories", 5);
    QDir().mkpath(env.home());
    const QStringList lines{Rec("General", "a", true), Rec("General", "b", false)};
    SaveCatalogue(env.home() + "lumetta.dat", lines);
    create();
    EXPECT_FALSE(RunGuarded([&] { frm->FormCreate(); }));
    EXPECT_EQ(dialogs.asked, QStringList("message: Invalid data type for 'Categories'"));
    EXPECT_EQ(names(), QStringList({"a", "b"}));
    expectInStep("after the error");

    dialogs.setNextAnswer(std::optional<QString>("new"));
    click(ui()->butAdd);
    run([&] { ui()->dtRefreshRate->setTime(QTime(0, 0, 42)); });
    EXPECT_EQ(frm->catalogue().CamData().mid(0, 2), lines) << "no other record is touched";
    EXPECT_EQ(CamRecord::fromLine(frm->catalogue().CamData()[2]).siteName(), "new");
    EXPECT_EQ(field(2, fRefreshRate), "00:00:42");
    expectInStep("after add and edit");
}

TEST_F(CatalogueEditingTest, AddToAnEmptyCatalogueTickAndRename)
{
    start({});
    dialogs.setNextAnswer(std::optional<QString>("Pier"));
    click(ui()->butAdd);
    EXPECT_EQ(dialogs.asked, QStringList("input: New Site | Site name | "));
    EXPECT_EQ(frm->catalogue().CamData(),
              QStringList("General||Pier||||||00:00:05||00:00:00||00:00:00||||2000-01-01||2000-01-01||0||1||0"));
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_TRUE(ui()->grpEditor->isEnabled());
    EXPECT_TRUE(ui()->butDelete->isEnabled());
    expectInStep("added");

    // The first edit keeps it disabled; ticking enables it.
    leave(ui()->ImageUrl, "http://pier.example/cam.jpg");
    EXPECT_EQ(field(0, fEnabled), "0");
    EXPECT_EQ(field(0, fLocalFilename), "cam.jpg");
    run([&] { list()->item(0)->setCheckState(Qt::Checked); });
    EXPECT_EQ(field(0, fEnabled), "1");
    expectInStep("ticked");

    leave(ui()->edtHomePage, "http://home.example/");
    click(ui()->butHomepage);
    EXPECT_EQ(shell.opened, QStringList("http://home.example/"));
    EXPECT_EQ(dialogs.asked.last(), "message: Could not launch URL");
    EXPECT_EQ(field(0, fHomePage), "http://home.example/");

    // The answers' rule is AskRenamedCam's; here a rename reaches the list and the record.
    dialogs.setNextAnswer(std::optional<QString>("Quay"));
    click(ui()->butRename);
    EXPECT_EQ(dialogs.asked.last(), "input: Rename Site | Rename Site | Pier");
    EXPECT_EQ(field(0, fSiteName), "Quay");
    EXPECT_EQ(list()->item(0)->checkState(), Qt::Checked) << "the tick stays";
    EXPECT_EQ(list()->currentRow(), 0);
    expectInStep("renamed");

    // A double click renames too.
    dialogs.setNextAnswer(std::optional<QString>("Pier 2"));
    run([&] { emit list()->itemDoubleClicked(list()->item(0)); });
    EXPECT_EQ(field(0, fSiteName), "Pier 2");
}

TEST_F(CatalogueEditingTest, DeleteAsksAndSelectsTheNext)
{
    struct {
        const char *description;
        int count, row;
        QStringList left;
        int selected;
    } const cases[] = {
        {"the middle one: the next is selected", 3, 1, {"w0", "w2"}, 1},
        {"the last one: the first is selected", 3, 2, {"w0", "w1"}, 0},
        {"the only one", 1, 0, {}, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        test::TestEnv caseEnv;
        QStringList lines;
        for (int i = 0; i < c.count; ++i)
            lines << Rec("General", QString("w%1").arg(i), true);
        start(lines, c.row);
        dialogs.setNextAnswer(DialogButton::Yes);
        click(ui()->butDelete);
        EXPECT_EQ(dialogs.asked,
                  QStringList("ask: Delete Site | Are you sure you want to delete the selected Site?"));
        EXPECT_EQ(names(), c.left);
        EXPECT_EQ(list()->currentRow(), c.selected);
        const QString shown = c.selected < 0 ? QString() : "http://cam.example/" + c.left[c.selected] + ".jpg";
        EXPECT_EQ(ui()->ImageUrl->text(), shown) << "the editor shows the selected webcam";
        EXPECT_EQ(ui()->grpEditor->isEnabled(), !c.left.isEmpty());
        EXPECT_EQ(ui()->butDelete->isEnabled(), !c.left.isEmpty());
        expectInStep(c.description);
    }
}

TEST_F(CatalogueEditingTest, MovesCarryTheWebcamAndItsEditorSortsLeaveNoSelection)
{
    start({Rec("General", "a", true), Rec("General", "B", false), Rec("General", "c", false)}, 0);
    const QStringList before = frm->catalogue().CamData();
    click(ui()->butDown);
    EXPECT_EQ(names(), QStringList({"B", "a", "c"}));
    EXPECT_EQ(list()->currentRow(), 1);
    expectInStep("down");
    // The editor still shows a; its next edit lands on a, not on b.
    run([&] { ui()->dtRefreshRate->setTime(QTime(0, 0, 42)); });
    EXPECT_EQ(field(1, fRefreshRate), "00:00:42");
    EXPECT_EQ(frm->catalogue().CamData()[0], before[1]);

    // The order is Catalogue's, ignoring case; here the sort leaves nothing selected.
    menu("mnuSortByName");
    EXPECT_EQ(names(), QStringList({"a", "B", "c"}));
    EXPECT_EQ(list()->currentRow(), -1);
    EXPECT_FALSE(ui()->grpEditor->isEnabled()) << "an editor without a webcam takes no typing";
    EXPECT_TRUE(ui()->butDelete->isEnabled());
    expectInStep("by name");
    click(ui()->butDelete);
    EXPECT_TRUE(dialogs.asked.isEmpty()) << "nothing selected, nothing deleted";
}

TEST_F(CatalogueEditingTest, DeleteInactiveSitesAsksAndSaves)
{
    // The picker shows 2024-12-06 (two years before the clock's day).
    const QStringList lines{Rec("General", "old a", false, "2020-01-01"),
                            Rec("General", "day after", false, "2024-12-07"),
                            Rec("General", "old b", false, "2024-12-05 23:00:00")};
    const QString confirm = "ask: Delete inactive Sites | Are you sure you want to delete inactive Sites?";
    start(lines, 1, {"tavel"});  // the administration page
    for (DialogButton button : {DialogButton::Yes, DialogButton::Yes, DialogButton::No})
        dialogs.setNextAnswer(button);
    click(ui()->butDelCams);
    EXPECT_EQ(dialogs.asked, QStringList({confirm,
                                                 "ask: Index: 2\r\nSite: old b\r\nLast Active Date: "
                                                 "2024-12-05 23:00:00\r\n\r\nDelete this site?",
                                                 "ask: Index: 0\r\nSite: old a\r\nLast Active Date: "
                                                 "2020-01-01\r\n\r\nDelete this site?",
                                                 "message: Deleted Sites:  1"}));
    EXPECT_EQ(names(), QStringList({"old a", "day after"}));
    EXPECT_EQ(list()->currentRow(), -1);
    expectInStep("after the deletion");
}

// The files' rules are CatalogueFile's; here the messages, the beep and the list.
TEST_F(CatalogueEditingTest, BackupAndRestore)
{
    start({Rec("General", "a", true), Rec("General", "b", false)}, 0);
    click(ui()->butRestore);
    EXPECT_EQ(dialogs.asked, QStringList("message: Restore failed."));
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(names(), QStringList({"a", "b"}));

    click(ui()->butBackup);
    EXPECT_EQ(dialogs.asked.last(), QString("message: Backup done."));
    const QStringList backedUp = frm->catalogue().CamData();
    dialogs.setNextAnswer(DialogButton::Yes);
    click(ui()->butDelete);
    click(ui()->butRestore);
    EXPECT_EQ(dialogs.asked.last(), QString("message: Webcam data restored."));
    EXPECT_EQ(dialogs.beeps, 3);
    EXPECT_EQ(list()->currentRow(), -1);
    EXPECT_EQ(frm->catalogue().CamData(), backedUp);

    // An edit after the restore saves the restored catalogue.
    list()->setCurrentRow(1);
    click(ui()->chkShowLastImage);
    EXPECT_EQ(field(1, fShowLastImage), "1");
    EXPECT_EQ(frm->catalogue().CamData()[0], backedUp[0]);
    expectInStep("edited after restore");

    QFile::remove(frm->run().BackupFileName);
    QDir().mkpath(frm->run().BackupFileName + "/in-the-way");
    click(ui()->butBackup);
    EXPECT_EQ(dialogs.asked.last(), QString("message: Backup failed."));
}

// --- failures ------------------------------------------------------------------------

TEST_F(CatalogueEditingTest, SaveFailures)
{
    start({Rec("General", "a", true)}, 0);
    // A file stands where the catalogue's folder should be.
    WriteAll(env.path() + "/blocker", "");
    frm->run().DataFileName = env.path() + "/blocker/lumetta.dat";

    click(ui()->chkShowLastImage);
    EXPECT_TRUE(dialogs.asked.isEmpty()) << "the editor's write-back fails silently";
    EXPECT_EQ(field(0, fShowLastImage), "1") << "and keeps the change";

    dialogs.setNextAnswer(std::optional<QString>("b"));
    // Emitted rather than clicked: an error unwinding through click() leaks
    // Qt's guard of the button, which the leak checker would report.
    run([&] { emit ui()->butAdd->clicked(); });
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_TRUE(dialogs.asked[1].startsWith("message: Cannot create file \"" + frm->run().DataFileName + "\"."))
        << dialogs.asked[1].toStdString();
    EXPECT_EQ(names(), QStringList({"a", "b"})) << "the list keeps the change with the records";
    EXPECT_EQ(frm->catalogue().CamData().size(), 2);
    EXPECT_EQ(list()->currentRow(), 1);
}

} // namespace
