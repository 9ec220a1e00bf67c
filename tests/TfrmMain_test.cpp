#include "app/LumettaApplication.h"
#include "app/SettingsTable.h"
#include "catalogue/CatalogueFile.h"
#include "download/WebcamHealth.h"
#include "platform/Guarded.h"
#include "platform/Platform.h"
#include "platform/QtDialogs.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "platform/VersionInfo.h"
#include "slideshow/SlideShow.h"
#include "slideshow/StoredShowSettings.h"
#include "support/PlainText.h"
#include "support/TestFiles.h"
#include "support/AccessibleNames.h"
#include "support/MainWindowRig.h"
#include "ui_TfrmMain.h"  // here, where the generator looks for it; it brings the form's widget classes

#include <QAccessible>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QGuiApplication>
#include <QScreen>
#include <QMouseEvent>
#include <QTableView>
#include <QTcpServer>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <tuple>
#include <gtest/gtest.h>

using namespace lumetta;
using test::Markup;
using test::Rec;
using test::ShowsLiterally;

namespace {

const QString Key = LumettaKey;

QString Stored(const QString &name)
{
    const auto v = RegistryFile::load(RegistryFilePath()).value(Key, name);
    if (!v)
        return QStringLiteral("<absent>");
    return v->type == RegValue::Type::Dword ? QString::number(v->number) : v->text;
}

class MainWindowTest : public ::testing::Test, protected test::MainWindowRig {
protected:
    TfrmMain::SetupResult start(const QStringList &arguments = {})
    {
        create(arguments);
        TfrmMain::SetupResult result = TfrmMain::SetupResult::Completed;
        RunGuarded([&] { result = frm->FormCreate(); });
        // A started slide show asks for its first tick at once.
        slideShowStarts = frm->run().SSTimer.Enabled() && frm->run().SSTimer.Interval() == 1 ? 1 : 0;
        return result;
    }

    template <typename T>
    T *get(const char *name)
    {
        T *w = frm->findChild<T *>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QCheckBox *box(const char *name) { return get<QCheckBox>(name); }
    QSpinBox *spin(const char *name) { return get<QSpinBox>(name); }
    // Shown and reachable: a hidden page must not come back with Ctrl+Tab.
    bool tabShown(QWidget *page)
    {
        QTabWidget *pages = ui()->PageControl1;
        const int index = pages->indexOf(page);
        EXPECT_EQ(pages->isTabVisible(index), pages->isTabEnabled(index)) << index;
        return pages->isTabVisible(index);
    }
    void writeCatalogue(const QStringList &lines)
    {
        SaveCatalogue(ResolveAppPath(QString()) + "lumetta.dat", lines);
    }
    // The labels act when the mouse button comes up over them.
    void release(QWidget *label)
    {
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(label, &up);
    }
    // Marks the program as run before, as a screen-saver start needs.
    void runBefore()
    {
        QDir().mkpath(env.home());
        WriteRegString(Key, "AppPath", env.home());
    }

    int slideShowStarts = 0;
};

TEST_F(MainWindowTest, FreshStartShowsEveryDefaultStoresOnlyWhatItMustAndLinksOut)
{
    test::WriteAll(env.home() + "readme.txt", "Help text\r\n");
    const QString installed = WindowsFolder() + "Lumetta.scr";
    test::WriteAll(installed, "old version");  // written now, the program earlier: their times differ
    ASSERT_EQ(start(), TfrmMain::SetupResult::Completed);
    EXPECT_TRUE(dialogs.asked.isEmpty()) << dialogs.asked.join('\n').toStdString();
    EXPECT_EQ(ui()->memoHelp->toPlainText(), QString("Help text\n"));
    EXPECT_EQ(QFileInfo(installed).size(), QFileInfo(QCoreApplication::applicationFilePath()).size())
        << "the installed copy is refreshed";
    EXPECT_EQ(frm->windowTitle(), "Lumetta v" + VersionString().section('.', 0, 2));
    EXPECT_EQ(ui()->lblAppVersion->text(), "Version " + VersionString());

    // Each control of a normal run shows the settings table's default,
    // a spin box's raised or lowered into its range.
    for (const SettingSpec &s : SettingsTable()) {
        if (!s.control || s.phase == LoadPhase::Admin || s.phase == LoadPhase::SaverOrConfig)
            continue;
        SCOPED_TRACE(s.name);
        if (s.type == SettingType::Integer && QLatin1String(s.control) == QLatin1String("optSSImageSize")) {
            EXPECT_TRUE(get<QRadioButton>(qPrintable(QString("optSSImageSize%1").arg(s.intDefault)))->isChecked());
            continue;
        }
        QWidget *w = get<QWidget>(s.control);
        ASSERT_NE(w, nullptr);
        switch (s.type) {
        case SettingType::Flag:
            EXPECT_EQ(w->property("checked").toBool(), s.intDefault != 0);
            break;
        case SettingType::Integer: {
            const QVariant low = w->property("minimum"), high = w->property("maximum");
            EXPECT_EQ(w->property("value").toInt(), qBound(low.toInt(), s.intDefault, high.toInt()));
            break;
        }
        case SettingType::Time:
            EXPECT_EQ(w->property("time").toTime(), QTime::fromString(s.textDefault, "HH:mm:ss"));
            break;
        case SettingType::String:
            EXPECT_EQ(w->property("text").toString(), QString(s.textDefault)) << "design text replaced";
            break;
        default:
            break;
        }
    }

    EXPECT_EQ(get<QLineEdit>("edtDownloadDir")->text(), env.home() + "images");
    EXPECT_EQ(frm->pos(), QPoint(FindSetting("Left")->intDefault, FindSetting("Top")->intDefault));

    // Every category is offered and, with nothing stored, ticked.
    QListWidget *cats = get<QListWidget>("lstSelectedCats");
    ASSERT_EQ(cats->count(), 15);
    for (int i = 0; i < cats->count(); ++i)
        EXPECT_EQ(cats->item(i)->checkState(), Qt::Checked) << i;

    // Only what a later run needs is written.
    const QMap<QString, QString> written = {
        {"AppPath", env.home()}, {"Categories", DefaultCategories}, {"TimesActualSize", "100"}, {"ProxyServer", ""},
        {"L1", ShiftChars(VendorSite() + "/lists/webcams.lst", StoredTextShift)},
        {"L2", ShiftChars(VendorSite() + "/lists/adult.lst", StoredTextShift)}};
    for (const SettingSpec &s : SettingsTable())
        EXPECT_EQ(Stored(s.name), written.value(s.name, "<absent>")) << s.name;
    EXPECT_TRUE(QFile::exists(env.home() + "lumetta.dat")) << "catalogue created in AppPath";

    // An empty catalogue: nothing to show, unless disabled webcams are to be checked.
    EXPECT_FALSE(ui()->butSlideshow->isEnabled());
    box("CheckDisabledCams")->click();
    EXPECT_TRUE(ui()->butSlideshow->isEnabled());

    // The support page's links open in the browser; the update button asks first.
    ui()->PageControl1->setCurrentWidget(ui()->tabSupport);
    // A click or, for a keyboard user, Enter or Space.
    release(ui()->lblHomepageUrl);
    QTest::keyClick(ui()->lblFAQUrl, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(ui()->lblBugs, Qt::Key_Space);
    QTest::keyClick(ui()->lblLatestVersion, Qt::Key_Return);
    const QString site = VendorSite();
    EXPECT_EQ(shell.opened, QStringList({site + "/lumetta/", site + "/lumetta/faq/faq.shtml",
                                         "mailto:developer@korvane.example?subject=Lumetta%20-%20Bug%20Report",
                                         site + "/lumetta/whatsnew.shtml"}));
    ui()->butUpdates->click();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].startsWith("ask: Check for latest version? | ")) << "answered No: nothing more";
}

// --- stored values ------------------------------------------------------------

// The display time loaded first raises the fast-cam minimum; that must not
// overwrite the fast-cam time before it is read. A spin box clamps what it loads.
TEST_F(MainWindowTest, StoredValuesReachControlsAndDependents)
{
    // Flags are stored as numbers.
    const std::pair<const char *, int> numbers[] = {
        {"UseProxy", 1}, {"ShowCurrentCamOnly", 1}, {"SSImageSize", 1}, {"SSInterval", 30}, {"SSInterval2", 12},
        {"TimeOut", 99999}, {"CaptionColor", 0xff0000}, {"Left", 31}, {"Top", 47}, {"ImageSize", 5},
        {"CaptionFontSize", 99}, {"Resume", 0}, {"ShowNewImagesOnly", 1}, {"DifferentPerMonitor", 1}};
    for (const auto &[name, value] : numbers)
        WriteRegInteger(Key, name, value);
    const std::pair<const char *, const char *> texts[] = {
        {"ProxyServer", "proxy.example"}, {"SlowInterval", "1:30"}, {"DateForSiteDelete", "2020-03-04"},
        {"SelectedCats", "weather,ADULT,Nowhere"}, {"DownloadDir", "/pictures/"}};
    for (const auto &[name, text] : texts)
        WriteRegString(Key, name, text);
    ASSERT_EQ(start(), TfrmMain::SetupResult::Completed);
    EXPECT_TRUE(dialogs.asked.isEmpty()) << dialogs.asked.join('\n').toStdString();

    // Which control each option switches is ComputeDependentStates'; here the loaded options reach it.
    EXPECT_TRUE(get<QWidget>("ProxyServer")->isEnabled());
    EXPECT_FALSE(get<QWidget>("lstSelectedCats")->isEnabled());
    EXPECT_EQ(get<QLineEdit>("ProxyServer")->text(), QString("proxy.example"));
    EXPECT_TRUE(get<QRadioButton>("optSSImageSize1")->isChecked());
    EXPECT_EQ(spin("SSInterval2")->minimum(), 30) << "follows the display time";
    EXPECT_EQ(spin("SSInterval2")->value(), 30);
    EXPECT_EQ(spin("SSInterval")->singleStep(), 5);
    EXPECT_EQ(spin("TimeOut")->value(), 3600);
    EXPECT_EQ(Stored("TimeOut"), "3600");
    EXPECT_EQ(ui()->CaptionColor->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(get<QTimeEdit>("SlowInterval")->time(), QTime(1, 30, 0));
    EXPECT_EQ(get<QDateEdit>("dtDelCams")->date(), QDate(2020, 3, 4));
    EXPECT_EQ(frm->pos(), QPoint(31, 47));
    EXPECT_EQ(frm->run().sampleImageFile(), QString("/pictures/sample.jpg"));

    QListWidget *cats = get<QListWidget>("lstSelectedCats");
    QStringList ticked;
    for (int i = 0; i < cats->count(); ++i)
        if (cats->item(i)->checkState() == Qt::Checked)
            ticked << cats->item(i)->text();
    EXPECT_EQ(ticked, QStringList({"Adult", "Weather"})) << "compared ignoring case";
    EXPECT_EQ(Stored("SelectedCats"), "weather,ADULT,Nowhere") << "loading ticks writes nothing";

    // A run without the window reads from the store what the controls show.
    const ShowSettings show = ReadShowSettings(frm->run().AppPath);
    const DisplaySettings display = ReadDisplaySettings();
    const std::tuple<const char *, int, int> agree[] = {
        {"SSInterval2", show.fastCamSeconds, spin("SSInterval2")->value()},
        {"TimeOut", show.timeOutSeconds, spin("TimeOut")->value()},
        {"spinImageSize", display.size.imageSizePercent, spin("spinImageSize")->value()},
        {"spinTimesActualSize", display.size.timesActualSizePercent, spin("spinTimesActualSize")->value()},
        {"CaptionFontSize", display.captionFontSize, get<QSlider>("CaptionFontSize")->value()},
        {"ShowCurrentCamOnly", show.currentOnly, box("ShowCurrentCamOnly")->isChecked()},
        {"chkResume", show.resume, box("chkResume")->isChecked()},
        {"chkShowNewImagesOnly", show.noLocalImages, box("chkShowNewImagesOnly")->isChecked()},
        {"chkDifferentPerMonitor", display.differentPerMonitor, box("chkDifferentPerMonitor")->isChecked()},
        {"SlowInterval", qRound(show.policy.slowInterval * SecondsPerDay),
         get<QTimeEdit>("SlowInterval")->time().msecsSinceStartOfDay() / 1000},
    };
    for (const auto &[control, read, shown] : agree)
        EXPECT_EQ(read, shown) << control;
    EXPECT_EQ(display.captionColor, QColor(Qt::blue));
    EXPECT_EQ(show.downloadDir, QString("/pictures/"));
}

TEST_F(MainWindowTest, EachKindOfControlWritesAtOnceAndReachesTheImageWindow)
{
    ASSERT_EQ(start(), TfrmMain::SetupResult::Completed);
    const auto leave = [&](const char *edit, const QString &text) {
        get<QLineEdit>(edit)->setText(text);
        emit get<QLineEdit>(edit)->editingFinished();
    };
    const auto answered = [&](const test::ScriptedDialogs::Answer &answer, const char *button) {
        dialogs.setNextAnswer(answer);
        get<QAbstractButton>(button)->click();
    };
    struct Change {
        const char *description;
        std::function<void()> act;
        const char *name;
        QString stored;
    };
    const Change changes[] = {
        {"check box with dependents", [&] { box("chkProxy")->click(); }, "UseProxy", "1"},
        {"spin box", [&] { spin("InactiveDays")->setValue(12); }, "InactiveDays", "12"},
        {"display time raises the fast-cam time", [&] { spin("SSInterval")->setValue(30); }, "SSInterval2", "30"},
        {"track bar", [&] { get<QSlider>("CaptionFontSize")->setValue(40); }, "CaptionFontSize", "40"},
        {"time picker", [&] { get<QTimeEdit>("dtMaxRefreshRate")->setTime(QTime(1, 2, 3)); },
         "MaxRefreshRate", "01:02:03"},
        {"date picker", [&] { get<QDateEdit>("dtDelCams")->setDate(QDate(2025, 1, 2)); },
         "DateForSiteDelete", "2025-01-02"},
        {"radio group", [&] { get<QRadioButton>("optSSImageSize1")->click(); }, "SSImageSize", "1"},
        {"edit box on every change", [&] { get<QLineEdit>("ProxyServer")->setText("p.example"); },
         "ProxyServer", "p.example"},
        {"edit box on leaving", [&] { leave("edtAltSS", "/usr/bin/other.scr"); }, "AltSS", "/usr/bin/other.scr"},
        {"download folder on leaving", [&] { leave("edtDownloadDir", "/pics"); }, "DownloadDir", "/pics"},
        {"category tick", [&] { get<QListWidget>("lstSelectedCats")->item(0)->setCheckState(Qt::Unchecked); },
         "SelectedCats",
         "Adult,Animals,Bars & Restaurants,Beaches,Cities,Indoor,Outdoor,Personal,Satellite,Sites,"
         "Snow,Streets,Traffic,Weather"},
        {"background colour dialog", [&] { answered(std::optional<QColor>(QColor(1, 2, 3)), "butBGcolor"); },
         "BGcolor", QString::number(1 | 2 << 8 | 3 << 16)},
        {"folder dialog", [&] { answered(std::optional<QString>("/chosen"), "butBrowse"); }, "DownloadDir", "/chosen"},
        {"caption sample",
         [&] { dialogs.setNextAnswer(std::optional<QColor>(QColor(0, 255, 0))); release(ui()->CaptionColor); },
         "CaptionColor", QString::number(0x00ff00)},
        {"caption background, beside the sample",
         [&] { dialogs.setNextAnswer(std::optional<QColor>(QColor(0, 0, 255))); release(ui()->CaptionBG); },
         "CaptionBG", QString::number(0xff0000)},
        {"caption sample by the keyboard",
         [&] { dialogs.setNextAnswer(std::optional<QColor>(QColor(0, 0, 9))); QTest::keyClick(ui()->CaptionColor, Qt::Key_Space); },
         "CaptionColor", QString::number(0x090000)},
        {"caption background by the keyboard",
         [&] { dialogs.setNextAnswer(std::optional<QColor>(QColor(0, 9, 0))); QTest::keyClick(ui()->CaptionBG, Qt::Key_Return); },
         "CaptionBG", QString::number(0x000900)},
        {"a shifted Space is no click", [&] { QTest::keyClick(ui()->CaptionColor, Qt::Key_Space, Qt::ShiftModifier); },
         "CaptionColor", QString::number(0x090000)},
    };
    for (const Change &c : changes) {
        c.act();
        EXPECT_EQ(Stored(c.name), c.stored) << c.description;
    }
    spin("spinScreenSaveTimeOut")->setValue(5);
    EXPECT_EQ(ReadSetting(Setting::ScreenSaveTimeOut), 300) << "the idle delay, where the watcher reads it";
    EXPECT_EQ(frm->run().SelectedCatList.size(), 14) << "the pick follows the ticks";
    EXPECT_TRUE(spin("ProxyPort")->isEnabled()) << "proxy enables its port";
    EXPECT_EQ(get<QLineEdit>("edtDownloadDir")->text(), QString("/chosen"));

    // Transparent: the sample no longer paints its own background; back off, the stored one.
    box("TransparentCaption")->click();
    EXPECT_FALSE(ui()->CaptionBG->autoFillBackground());
    box("TransparentCaption")->click();
    EXPECT_TRUE(ui()->CaptionBG->autoFillBackground());
    EXPECT_EQ(ui()->CaptionBG->palette().color(QPalette::Window), QColor(0, 9, 0));

    // The image window reads the caption and the size options as the controls show them
    // at the moment it lays a picture out.
    spin("spinTimesActualSize")->setValue(300);
    box("chkAdjustForPAL")->click();
    const DisplaySettings shown = frm->displaySettings();
    EXPECT_EQ(shown.captionColor, QColor(0, 0, 9));
    EXPECT_EQ(shown.captionBackground, QColor(0, 9, 0));
    EXPECT_EQ(shown.captionFontSize, 40);
    EXPECT_EQ(shown.size.ssImageSize, 1);
    EXPECT_EQ(shown.size.timesActualSizePercent, 300);
    EXPECT_FALSE(shown.size.adjustForPAL);
    EXPECT_EQ(shown.monitor, QGuiApplication::primaryScreen()->geometry());
}

// --- failures reach the handler ---------------------------------------------------

TEST_F(MainWindowTest, DamagedStoreAtStartUpReachesTheHandlerAndStopsSetUp)
{
    const struct { const char *name, *stored, *message; bool appPathStored; } cases[] = {
        {"DebugMode", "yes", "Invalid data type for 'DebugMode'", false},  // before the program folder
        {"MinRefreshRate", "soon", "'soon' is not a valid time", true},
    };
    for (const auto &c : cases) {
        frm.reset();  // first: the old window, going, would take the new one's error sink with it
        test::TestEnv caseEnv;
        dialogs.asked.clear();
        WriteRegString(Key, c.name, c.stored);
        start();
        EXPECT_EQ(dialogs.asked, QStringList("message: " + QString(c.message)));
        EXPECT_EQ(Stored("AppPath") != "<absent>", c.appPathStored) << c.name;
        // The show reads the default instead, so a screen saver still starts.
        EXPECT_NO_THROW((void)ReadShowSettings({}); (void)ReadDisplaySettings()) << c.name;
    }
}

TEST_F(MainWindowTest, ErrorInAHandlerIsShownAndTheLoopGoesOn)
{
    ASSERT_EQ(start(), TfrmMain::SetupResult::Completed);
    // The store becomes unreadable for one value while the window runs.
    WriteRegString(Key, "CaptionBG", "not a number");
    box("TransparentCaption")->setChecked(true);
    QTimer::singleShot(0, frm.get(), [this] { box("TransparentCaption")->click(); });
    bool later = false;
    QTimer::singleShot(0, frm.get(), [&] { later = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(dialogs.asked, QStringList({"message: Invalid data type for 'CaptionBG'"}));
    EXPECT_TRUE(later) << "events after the failing one still run";
}

// --- run modes ------------------------------------------------------------------

// Before any normal run there is no stored folder: the screen saver ends
// and stores nothing; the settings, opened from the menu, set it up.
TEST_F(MainWindowTest, ScreenSaverFindsTheCatalogueThroughTheStoredFolder)
{
    EXPECT_EQ(start({"/s"}), TfrmMain::SetupResult::EndProcess);
    EXPECT_EQ(dialogs.asked, QStringList({"message: Cannot run screensaver yet.\r\nPlease run the "
                                          "main application first."}));
    EXPECT_EQ(slideShowStarts, 0);
    frm->FormDestroy();
    for (const char *name : {"Left", "Top", "SelectedCam", "AppPath"})
        EXPECT_EQ(Stored(name), "<absent>") << name;
    dialogs.asked.clear();
    EXPECT_EQ(start({"/c:1234"}), TfrmMain::SetupResult::Completed);
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_EQ(Stored("AppPath"), env.home());
    EXPECT_TRUE(QFile::exists(env.home() + "lumetta.dat"));

    // The adult offers of the screen saver show in its own box.
    const QString folder = env.path() + "/elsewhere/";
    QDir().mkpath(folder);
    SaveCatalogue(folder + "lumetta.dat", {Rec("adult", "a", true), Rec("General", "g", true)});
    WriteRegString(Key, "AppPath", folder);
    WriteRegInteger(Key, "X-EnableAA", 1);
    WriteRegBool(Key, "EnableSSAdultAds", true);
    ASSERT_EQ(start({"/S"}), TfrmMain::SetupResult::Completed);
    EXPECT_EQ(frm->run().DataFileName, folder + "lumetta.dat");
    EXPECT_FALSE(box("EnableSSAdultAds")->isHidden());
    EXPECT_TRUE(box("EnableSSAdultAds")->isChecked());
    EXPECT_EQ(slideShowStarts, 1);
    EXPECT_FALSE(frm->isVisible()) << "starting the show minimises only a window that is shown";
    EXPECT_EQ(Stored("AppPath"), folder) << "a screen-saver run does not store it";
}

TEST_F(MainWindowTest, OfflineScreenSaverTakesOverOnlyOfflineAndWhenItStarts)
{
    runBefore();
    WriteRegString(Key, "AltSS", "/opt/other.scr");
    const struct {
        const char *description;
        bool connected, starts;
        const char *daemonWindow;
        TfrmMain::SetupResult result;
        QStringList started;
    } cases[] = {
        {"offline: it replaces the show", false, true, nullptr,
         TfrmMain::SetupResult::OfflineSaverStarted, {"/opt/other.scr /s"}},
        {"offline in a daemon's window", false, true, "0x2a00007",
         TfrmMain::SetupResult::OfflineSaverStarted, {"instead: /opt/other.scr /s"}},
        {"offline, but it fails to start", false, false, nullptr,
         TfrmMain::SetupResult::Completed, {"/opt/other.scr /s"}},
        {"online", true, true, nullptr, TfrmMain::SetupResult::Completed, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.description);
        shell.connected = c.connected;
        shell.startSucceeds = c.starts;
        shell.started.clear();
        if (c.daemonWindow)
            qputenv("XSCREENSAVER_WINDOW", c.daemonWindow);
        EXPECT_EQ(start({"-s"}), c.result);
        qunsetenv("XSCREENSAVER_WINDOW");
        EXPECT_EQ(shell.started, c.started);
        EXPECT_EQ(slideShowStarts, c.result == TfrmMain::SetupResult::Completed ? 1 : 0);
    }
}

TEST_F(MainWindowTest, ConfigurationShowsOnlyTheScreenSaverOptions)
{
    runBefore();
    ASSERT_EQ(start({"/c"}), TfrmMain::SetupResult::Completed);
    EXPECT_EQ(test::UnnamedControls(*frm).join(' ').toStdString(), "") << "every control has a name";
    Ui::TfrmMain *ui = frm->ui();
    for (QWidget *page : {ui->tabWebcams, ui->tabWebcamOptions, frm->findChild<QWidget *>("tabHealth"), ui->tabTools,
                          ui->tabAdmin, ui->tabSlideShow, ui->tabAbout})
        EXPECT_EQ(tabShown(page), page == ui->tabSlideShow || page == ui->tabAbout) << page->objectName().toStdString();
    EXPECT_EQ(ui->PageControl1->currentWidget(), ui->tabSlideShow);
    EXPECT_EQ(ui->PageControl1->tabText(ui->PageControl1->indexOf(ui->tabSlideShow)),
              QString(" Screen saver options"));
    EXPECT_TRUE(ui->butSlideshow->isHidden());
    EXPECT_TRUE(ui->EnableAdultAds->isHidden());
    EXPECT_TRUE(ui->EnableSSAdultAds->isHidden()) << "no adult webcams";
    EXPECT_FALSE(ui->ShowCaption->isHidden());
    EXPECT_EQ(slideShowStarts, 0);
}

TEST_F(MainWindowTest, AdministrationRunLoadsItsSettingsAndShowsItsTools)
{
    WriteRegBool(Key, "VersionAlert", false);
    WriteRegString(Key, "MainList", "/lists/main.lst");
    ASSERT_EQ(start({"TAVEL"}), TfrmMain::SetupResult::Completed);
    EXPECT_EQ(test::UnnamedControls(*frm).join(' ').toStdString(), "") << "on every page";
    EXPECT_TRUE(tabShown(ui()->tabAdmin));
    EXPECT_FALSE(ui()->grpImpExp->isHidden());
    EXPECT_EQ(ui()->edtMainList->text(), "/lists/main.lst");
    EXPECT_EQ(ui()->PageControl1->currentWidget(), ui()->tabWebcams);
    // An unticked alert shows the latest-version label, but loading does not here.
    EXPECT_TRUE(ui()->lblLatestVersion->isHidden());
    ui()->VersionAlert->click();
    EXPECT_EQ(Stored("VersionAlert"), "1");
    EXPECT_TRUE(ui()->lblLatestVersion->isHidden());
    ui()->VersionAlert->click();
    EXPECT_FALSE(ui()->lblLatestVersion->isHidden());

    // The last ad button shows what FindLastAd finds, or says there is none.
    ui()->butLastAd->click();
    EXPECT_EQ(dialogs.asked, QStringList({"message: No ad found"}));

    const QString image = env.home() + "ad.jpg";
    test::WriteAll(image, "");
    WriteRegString(Key, "X-LastImage", image);
    WriteRegString(Key, "Xau", ShiftChars("http://ads.example/x", StoredTextShift));
    ui()->butLastAd->click();
    EXPECT_TRUE(frm->run().state().ShowingAd);
    EXPECT_EQ(frm->run().state().AdLink, "http://ads.example/x");
    EXPECT_EQ(frm->run().sampleImageFile(), image);
    EXPECT_EQ(dialogs.asked.size(), 1);
}

// Which row is StartingCamRow's rule; here each run reads its own stored
// index (absent: the second webcam), and a blank line is no webcam.
TEST_F(MainWindowTest, SelectionAtStartFollowsTheStoredIndex)
{
    for (const QStringList &arguments : {QStringList(), QStringList{"tavel"}}) {
        test::TestEnv caseEnv;
        writeCatalogue({Rec("General", "a", true), "", Rec("General", "b", false), Rec("adult", "c", true)});
        WriteRegInteger(Key, arguments.isEmpty() ? "LastCam" : "SelectedCam", 2);  // the other run's
        ASSERT_EQ(start(arguments), TfrmMain::SetupResult::Completed);
        EXPECT_EQ(ui()->StatusBar->currentMessage(), QString("Webcams - Current: 2  Enabled: 2  Total: 3"));
    }
}

// Deleted settings leave the controls and the catalogue; closing stores the position and selection again.
TEST_F(MainWindowTest, DeletedSettingsThenFormDestroy)
{
    writeCatalogue({Rec("General", "a", true), Rec("General", "b", false)});
    WriteRegBool(Key, "Random", true);
    WriteRegInteger(Key, "SelectedCam", 0);
    ASSERT_EQ(start(), TfrmMain::SetupResult::Completed);
    dialogs.setNextAnswer(DialogButton::Ok);
    ui()->butDelRegistry->click();
    EXPECT_EQ(dialogs.asked.last(), "message: Registry Key Software\\Korvane Software\\Lumetta has been deleted");
    EXPECT_TRUE(box("chkRandom")->isChecked()) << "the running window keeps its controls";
    EXPECT_EQ(Stored("Random"), "<absent>") << "the next start shows the defaults";
    EXPECT_EQ(LoadCatalogue(frm->run().DataFileName).size(), 2);

    frm->move(120, 80);
    ui()->SiteList->setCurrentRow(1);
    test::WriteAll(env.home() + "$$$pic", "cut off");
    frm->FormDestroy();
    EXPECT_FALSE(QFile::exists(env.home() + "$$$pic")) << "a fetch's working file goes at the end";
    EXPECT_EQ(Stored("Left"), "120");
    EXPECT_EQ(Stored("Top"), "80");
    EXPECT_EQ(Stored("SelectedCam"), "1");
    EXPECT_TRUE(frm->catalogue().CamData().isEmpty());
}

// --- keyboard and theme ---------------------------------------------------------

// Each page of an administration run walked with Tab from the Close button:
// every control that takes focus is reached, each stop is the focus on the
// accessibility tree too, and the walk comes back to the top bar.
TEST_F(MainWindowTest, TabReachesEveryControlAndLeavesEveryPage)
{
    writeCatalogue({Rec("General", "a", true)});
    ASSERT_EQ(start({"tavel"}), TfrmMain::SetupResult::Completed);
    frm->show();
    QApplication::setActiveWindow(frm.get());
    QTabWidget *pages = ui()->PageControl1;
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        SCOPED_TRACE(pages->tabText(page).toStdString());
        // An exclusive group is one stop: its ticked button.
        QSet<QWidget *> missed;
        for (QWidget *w : frm->findChildren<QWidget *>()) {
            const auto *radio = qobject_cast<QRadioButton *>(w);
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() && !w->focusProxy()
                && !(radio && !radio->isChecked()))
                missed << w;
        }
        ui()->butClose->setFocus();
        missed.remove(ui()->butClose);
        for (int step = 0; step < 100 && !missed.isEmpty(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *now = QApplication::focusWidget();
            ASSERT_NE(now, nullptr);
            EXPECT_TRUE(QAccessible::queryAccessibleInterface(now)->state().focused) << now->objectName().toStdString();
            missed.remove(now);
        }
        QStringList names;
        for (QWidget *w : missed)
            names << w->objectName();
        EXPECT_EQ(names.join(' ').toStdString(), "") << "not reached by Tab";
        for (int step = 0; step < 100 && QApplication::focusWidget() != ui()->butClose; ++step)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), ui()->butClose) << "the focus stays on the page";
    }
}

// The hidden administration page is passed over; each page has its Alt letter.
TEST_F(MainWindowTest, PageKeysWorkFromAnywhereInTheWindow)
{
    writeCatalogue({Rec("General", "a", true)});
    ASSERT_EQ(start(), TfrmMain::SetupResult::Completed);
    frm->show();
    QApplication::setActiveWindow(frm.get());
    QTabWidget *pages = ui()->PageControl1;
    const int about = pages->indexOf(ui()->tabAbout), health = pages->indexOf(get<QWidget>("tabHealth"));
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const struct { const char *description; const char *focus; Qt::Key key; Qt::KeyboardModifiers modifiers; int from, to; }
        cases[] = {
        {"Ctrl+Tab on Start Slide Show", "butSlideshow", Qt::Key_Tab, ctrl, 0, 1},
        {"Ctrl+Shift+Tab on Close, round the start", "butClose", Qt::Key_Backtab, ctrlShift, 0, about},
        {"Ctrl+PgDown in the list", "SiteList", Qt::Key_PageDown, ctrl, 0, 1},
        {"Ctrl+PgDown round the end", "butClose", Qt::Key_PageDown, ctrl, about, 0},
        {"Ctrl+PgUp in the health table", "tblHealth", Qt::Key_PageUp, ctrl, health, health - 1},
        {"Ctrl+Tab in the health table", "tblHealth", Qt::Key_Tab, ctrl, health, health + 1},
        {"Alt+H, the health page's letter", "butClose", Qt::Key_H, Qt::AltModifier, 0, health},
        {"Alt+M: the administration page is hidden", "butClose", Qt::Key_M, Qt::AltModifier, 0, 0},
    };
    for (const auto &c : cases) {
        pages->setCurrentIndex(c.from);
        QWidget *focus = get<QWidget>(c.focus);
        focus->setFocus();
        QTest::keyClick(focus, c.key, c.modifiers);
        EXPECT_EQ(pages->currentIndex(), c.to) << c.description;
    }
}

// At half again the desktop's font, every control of every page gets the
// room it needs; the caption sample alone shows at the size chosen for the
// show, cut by its panel as the show's caption is by the screen.
TEST_F(MainWindowTest, EveryPageFitsALargerFont)
{
    const QFont before = QApplication::font();
    QFont large = before;
    large.setPointSizeF(before.pointSizeF() * 1.5);
    QApplication::setFont(large);
    ASSERT_EQ(start({"tavel"}), TfrmMain::SetupResult::Completed);
    frm->show();
    QStringList cut;
    for (QTabWidget *pages : {ui()->PageControl1, ui()->PageControl2})
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();  // the layouts settle
            for (QWidget *w : frm->findChildren<QWidget *>()) {
                const QSize need = w->minimumSizeHint();
                // Qt's own parts (a spin box's text) are sized by their control.
                const bool ours = !w->objectName().isEmpty() && !w->objectName().startsWith("qt_");
                if (ours && w != ui()->CaptionColor && w->isVisible() && need.isValid()
                    && (w->width() < need.width() || w->height() < need.height()))
                    cut << w->objectName();
            }
        }
    QApplication::setFont(before);
    cut.removeDuplicates();
    EXPECT_EQ(cut.join(' ').toStdString(), "");
}

// A dark theme reaches every text and every link. Only the caption sample
// (the user's own colours) and the version alert (white on red) keep theirs.
TEST_F(MainWindowTest, EveryWidgetTakesTheThemesColours)
{
    const QPalette before = QApplication::palette();
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    QApplication::setPalette(dark);
    start({"tavel"});
    const QSet<QWidget *> ownColours = {ui()->CaptionColor, ui()->CaptionBG, ui()->lblLatestVersion};
    QStringList fixed;
    for (QWidget *w : frm->findChildren<QWidget *>()) {
        const auto differs = [&](QPalette::ColorRole role) {
            return w->palette().color(role) != dark.color(w->palette().currentColorGroup(), role);
        };
        if (!ownColours.contains(w)
            && (!w->styleSheet().isEmpty() || differs(QPalette::WindowText) || differs(QPalette::Text)
                || differs(QPalette::ButtonText) || differs(QPalette::Window) || differs(QPalette::Base)
                || differs(QPalette::Button) || differs(QPalette::Link)))
            fixed << w->objectName();
    }
    QApplication::setPalette(before);
    EXPECT_EQ(fixed.join(' ').toStdString(), "");
    EXPECT_EQ(ui()->lblFAQUrl->foregroundRole(), QPalette::Link) << "links are drawn in the link colour";
}

// A message, a question and a prompt may carry a webcam's name or a
// server's text: the real dialogs show them as typed.
TEST(RealDialogs, ShowOutsideTextAsPlainText)
{
    QtDialogs real;
    QStringList seen;
    auto inspectNext = [&seen] {
        QTimer::singleShot(0, [&seen] {
            QWidget *modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            for (QLabel *label : modal->findChildren<QLabel *>())
                if (label->text() == Markup)
                    seen << (ShowsLiterally(label, Markup) ? "plain" : "markup");
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                box->done(QMessageBox::No);
            else if (auto *input = qobject_cast<QInputDialog *>(modal))
                input->reject();
        });
    };
    inspectNext();
    real.showMessage(Markup, MessageIcon::None);
    inspectNext();
    (void)real.ask(Markup, QuestionKind::YesNo);
    inspectNext();
    (void)real.inputText("Rename", Markup, "x");
    EXPECT_EQ(seen, QStringList({"plain", "plain", "plain"}));
}

// --- names on the accessibility bus -------------------------------------------

// The health page as a screen reader or a test robot reaches it: by the
// names of its controls.
TEST_F(MainWindowTest, HealthPageByItsAccessibleNames)
{
    runBefore();
    QTcpServer silent;  // takes the request, never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const QString harbour = QString("http://127.0.0.1:%1/harbour.jpg").arg(silent.serverPort());
    const QString modified = "2026-12-06 11:50:00";
    writeCatalogue({Rec("Cities", "Bridge", true, modified, "http://127.0.0.1:1/bridge.jpg"),
                    Rec("Cities", "Alley", false, modified, "http://cam.example/alley.jpg"),
                    Rec("Cities", "Harbour", true, modified, harbour)});
    test::WriteAll(env.home() + "images/Harbour.jpg", "");
    HealthBook book;
    book.load(HealthBook::FileIn(env.home() + "images"));
    RecordFetch(book.entry("http://cam.example/alley.jpg"), {false, false, "404 " + Markup, 0}, clock.now());
    RecordRules(book.entry("http://cam.example/alley.jpg"), {true, false, 0, 0, 0}, clock.now());
    RecordFetch(book.entry(harbour), {true, false, {}, 100}, clock.now());
    ASSERT_TRUE(book.save("http://cam.example/alley.jpg") && book.save(harbour));
    ASSERT_EQ(start(), TfrmMain::SetupResult::Completed);

    const auto named = [this](const QString &name) {
        for (QWidget *w : frm->findChildren<QWidget *>())
            if (test::AccessibleName(w) == name)
                return w;
        ADD_FAILURE() << name.toStdString();
        return static_cast<QWidget *>(nullptr);
    };
    auto *table = qobject_cast<QTableView *>(named("Webcam health"));
    ASSERT_NE(table, nullptr);
    ui()->PageControl1->setCurrentWidget(table->parentWidget());
    const auto cell = [table](int row, int column) { return table->model()->index(row, column).data().toString(); };
    const auto column = [table, &cell](int c) {
        QStringList texts;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            texts << cell(row, c);
        return texts;
    };
    // A screen reader hears the rows and their cells. (The test platform has
    // no accessibility bridge, so the reader's view is not told of later sorts.)
    QAccessibleTableInterface *heard = QAccessible::queryAccessibleInterface(table)->tableInterface();
    ASSERT_NE(heard, nullptr);
    ASSERT_EQ(heard->rowCount(), 3);
    EXPECT_EQ(heard->cellAt(2, 1)->text(QAccessible::Name), "New picture");
    EXPECT_EQ(column(0), QStringList({"Alley", "Bridge", "Harbour"}));
    EXPECT_EQ(column(1), QStringList({"Disabled by rule", "Never fetched", "New picture"}));
    EXPECT_EQ(column(2), QStringList({"", "", "10 min"})) << "an age only for a picture held";
    EXPECT_EQ(test::MarkupShowing(Markup), QStringList()) << "a server's reason, hovered";
    QTextDocument tip;
    tip.setHtml(table->model()->index(0, 4).data(Qt::ToolTipRole).toString());
    EXPECT_EQ(tip.toPlainText(), "404 " + Markup);

    table->sortByColumn(1, Qt::DescendingOrder);
    EXPECT_EQ(column(0), QStringList({"Bridge", "Alley", "Harbour"}));
    qobject_cast<QCheckBox *>(named("Only problems"))->click();
    EXPECT_EQ(column(0), QStringList({"Alley"}));
    qobject_cast<QCheckBox *>(named("Only problems"))->click();

    // Retry reaches the server now; re-enable ticks the webcam as the list does.
    table->selectRow(0);
    qobject_cast<QPushButton *>(named("Retry the selected webcams now"))->click();
    const int bridge = int(column(0).indexOf("Bridge"));
    EXPECT_EQ(cell(bridge, 1), "Failing");
    EXPECT_TRUE(cell(bridge, 4).contains("refused")) << cell(bridge, 4).toStdString();
    table->selectRow(int(column(0).indexOf("Alley")));
    qobject_cast<QPushButton *>(named("Re-enable the selected webcams"))->click();
    EXPECT_EQ(ui()->SiteList->item(1)->checkState(), Qt::Checked);
    // While a fetch waits, what could start another is off.
    table->selectRow(int(column(0).indexOf("Harbour")));
    QList<bool> enabled;
    QTimer::singleShot(0, frm.get(), [&] {
        enabled << get<QWidget>("butRetryNow")->isEnabled() << get<QWidget>("butReEnable")->isEnabled()
                << ui()->butPlay->isEnabled();
        frm->slideShow()->abortRequest();
    });
    qobject_cast<QPushButton *>(named("Retry the selected webcams now"))->click();
    EXPECT_EQ(enabled << get<QWidget>("butRetryNow")->isEnabled() << ui()->butPlay->isEnabled(),
              QList<bool>({false, false, false, true, true}));
}

} // namespace
