#include "app/TfrmMain.h"

#include "app/AdminPage.h"
#include "app/CatalogueCommands.h"
#include "app/DownloadEngine.h"
#include "app/HealthPage.h"
#include "app/SettingsBinding.h"
#include "app/SlideShowPage.h"
#include "app/StartupFiles.h"
#include "app/SupportPage.h"
#include "app/ToolsPage.h"
#include "app/WebcamOptionsPage.h"
#include "app/WebcamPage.h"
#include "download/ImageFetch.h"
#include "platform/Dialogs.h"
#include "platform/PlainText.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "slideshow/ScreenSaverInstall.h"
#include "slideshow/SlideShow.h"
#include "ui_TfrmMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QListWidget>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyle>
#include <QTabBar>
#include <cstdio>

namespace lumetta {

namespace {

// Translated where they are shown: the translator is installed later.
const char *const ExportHint = QT_TRANSLATE_NOOP(
    "lumetta::TfrmMain",
    "If you would like this webcam to be included in our webcam list, click on the button "
    "below, but first please MAKE SURE THE WEBCAM IS ACTIVE AND WORKING.");
const char *const SecurityWarning =
    QT_TRANSLATE_NOOP("lumetta::TfrmMain", "DO NOT install if screen saver password security is an issue.");
const char *const NoAppPathMessage =
    QT_TRANSLATE_NOOP("lumetta::TfrmMain", "Cannot run screensaver yet.\r\nPlease run the main application first.");

// Narrower tab padding keeps the window narrow with all eight pages of an
// administration run, every tab shown whole.
class TightTabStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 12;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

TfrmMain::TfrmMain(const RunMode &mode, const MainServices &services, QWidget *parent)
    : QWidget(parent),
      m_run(mode, services.time),
      m_time(services.time),
      m_ui(std::make_unique<Ui::TfrmMain>()),
      m_dialogs(services.dialogs),
      m_shell(services.shell),
      m_clock(services.clock)
{
    m_ui->setupUi(this);
    setupControls();
    // Names, dates and versions come from servers, lists and the catalogue:
    // no label reads them as markup, the pages' own included.
    MakeLabelsPlain(this);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::setupControls()
{
    // The pages' layouts set the smallest size for the style and font in use.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);

    auto *tabStyle = new TightTabStyle;
    tabStyle->setParent(m_ui->PageControl1);
    m_ui->PageControl1->tabBar()->setStyle(tabStyle);

    QStyle *s = style();
    m_ui->butClose->setIcon(s->standardIcon(QStyle::SP_DialogCloseButton));
    m_ui->butAdd->setText(QStringLiteral("+"));
    m_ui->butDelete->setIcon(s->standardIcon(QStyle::SP_TrashIcon));
    m_ui->butRename->setText(QStringLiteral("ab"));  // untranslated: a glyph, named by its accessible name
    m_ui->butUp->setIcon(s->standardIcon(QStyle::SP_ArrowUp));
    m_ui->butDown->setIcon(s->standardIcon(QStyle::SP_ArrowDown));
    m_ui->butHomepage->setIcon(s->standardIcon(QStyle::SP_DirHomeIcon));
    m_ui->butPlay->setIcon(s->standardIcon(QStyle::SP_MediaPlay));
    m_ui->butStop->setIcon(s->standardIcon(QStyle::SP_MediaStop));

    const PageContext context{m_ui.get(), this, m_run, m_cat, m_dialogs, m_shell, m_clock, m_time};
    m_support = std::make_unique<SupportPage>(context);
    m_slideShowPage = std::make_unique<SlideShowPage>(context);
    m_options = std::make_unique<WebcamOptionsPage>(context);
    m_engine = std::make_unique<DownloadEngine>(
        context, DownloadEngine::Hooks{[this] { return m_webcams->editorRecord(); },
                                       [this](int index) { m_webcams->slideShowChangedRecord(index); },
                                       [this](bool running) {
                                           m_webcams->fetchRunning(running);
                                           m_health->fetchRunning(running);
                                       }});
    m_webcams = std::make_unique<WebcamPage>(context, *m_engine);
    m_commands = std::make_unique<CatalogueCommands>(context, *m_webcams);
    m_settings = std::make_unique<SettingsBinding>(context, *m_slideShowPage, *m_webcams);
    m_tools = std::make_unique<ToolsPage>(context, *m_webcams, *m_engine);
    m_admin = std::make_unique<AdminPage>(context, *m_webcams, *m_tools, *m_engine);
    m_health = std::make_unique<HealthPage>(context, *m_webcams, *m_engine);
    m_ui->PageControl1->insertTab(m_ui->PageControl1->indexOf(m_ui->tabWebcamOptions) + 1, m_health->page(),
                                  tr("&Health"));

    // One line per webcam: no per-item size pass over a large catalogue.
    m_ui->SiteList->setUniformItemSizes(true);

    // Page switching from anywhere in the window, the top bar's buttons too.
    const auto pageKeys = [this](std::initializer_list<QKeySequence> keys, int step) {
        for (const QKeySequence &key : keys) {
            auto *shortcut = new QShortcut(key, this);
            shortcut->setContext(Qt::WindowShortcut);
            on(shortcut, &QShortcut::activated, [this, step] { stepPage(step); });
        }
    };
    pageKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    pageKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
              QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
             -1);

    // Ctrl+Q ends the program as Close does, as on the rest of the desktop.
    auto *quit = new QShortcut(QKeySequence::Quit, this);
    quit->setContext(Qt::WindowShortcut);
    on(quit, &QShortcut::activated, [this] { butCloseClick(); });

    on(m_ui->butClose, &QPushButton::clicked, [this] { butCloseClick(); });
    on(m_ui->butSlideshow, &QPushButton::clicked, [this] { butSlideshowClick(); });
    on(m_ui->PageControl1, &QTabWidget::currentChanged, [this] { PageControl1Change(); });
    on(m_settings.get(), &SettingsBinding::captionFontSizeChanged,
       [this](int points) { m_engine->display().setCaptionPointSize(points); });

    m_slideShowPage->setCaptionColor(ColorFromStored(Setting::CaptionColor.defaultValue.value));
    m_slideShowPage->setCaptionBackground(ColorFromStored(Setting::CaptionBG.defaultValue.value));
    m_slideShowPage->setBackgroundColor(ColorFromStored(Setting::BGcolor.defaultValue.value));
    m_slideShowPage->applyCaptionFont();
}

void TfrmMain::showAdultOffersBox()
{
    m_ui->EnableSSAdultAds->setVisible(ComputeCountStates(m_cat.EnabledCount(), m_cat.AdultCount(), m_run.EnableAA, false)
                                           .adultOffersVisible);
    m_settings->loadSetting(*FindSetting(QStringLiteral("EnableSSAdultAds")));
}

// A hidden page is also disabled: Ctrl+Tab would still reach it otherwise.
void TfrmMain::showPage(QWidget *page, bool shown)
{
    QTabWidget *pages = m_ui->PageControl1;
    pages->setTabVisible(pages->indexOf(page), shown);
    pages->setTabEnabled(pages->indexOf(page), shown);
}

// The next page shown in the step's direction, round the end; hidden
// pages are passed over.
void TfrmMain::stepPage(int step)
{
    QTabWidget *pages = m_ui->PageControl1;
    const int count = pages->count();
    for (int i = 1; i < count; ++i) {
        const int index = ((pages->currentIndex() + step * i) % count + count) % count;
        if (pages->isTabVisible(index) && pages->isTabEnabled(index)) {
            pages->setCurrentIndex(index);
            return;
        }
    }
}

void TfrmMain::butSlideshowClick()
{
    if (SlideShow *show = m_engine->slideShow())
        show->start();
}

DisplaySettings TfrmMain::displaySettings() const
{
    return m_slideShowPage->displaySettings();
}

void TfrmMain::setShowDisplay(ShowDisplay &display)
{
    m_engine->setShowDisplay(display);
}

SlideShow *TfrmMain::slideShow()
{
    return m_engine->slideShow();
}

ShowSettings TfrmMain::showSettings() const
{
    return m_engine->showSettings();
}

void TfrmMain::butCloseClick()
{
    if (SlideShow *show = m_engine->slideShow())
        show->abortRequest();
    QCoreApplication::quit();
}

void TfrmMain::AppEventsException(const QString &message)
{
    m_dialogs.showMessage(message);
}

// Each step may raise what the store or the files raise; the caller shows
// it, and the steps after the failing one stay undone.
TfrmMain::SetupResult TfrmMain::FormCreate()
{
    m_ui->txtExport->setText(tr(ExportHint));
    m_ui->lblSecurity->setText(tr(SecurityWarning));
    // The lists start empty with the window.
    m_cat.clear();
    m_webcams->RebuildSiteList();
    m_run.SelectedCatList.clear();
    m_run.ImportList.clear();

    arrangeAdminPages();
    m_settings->loadPhase(LoadPhase::Early);
    if (!resolveAppPath())
        return SetupResult::EndProcess;
    m_engine->create();
    m_support->showVersion();
    loadWindowSettings();
    m_webcams->loadCatalogueAndList();
    m_engine->slideShow()->useDownloadFolder(m_options->loadDownloadFolder());
    m_tools->loadListLocations();
    m_tools->loadIdleDelay();
    m_slideShowPage->loadCategories();
    m_webcams->selectStartingCam();
    m_ui->PageControl1->setCurrentWidget(m_ui->tabWebcams);
    if (m_run.ScreenSaverMode && startScreenSaver() == SetupResult::OfflineSaverStarted)
        return SetupResult::OfflineSaverStarted;
    if (m_run.ConfigMode)
        arrangeConfigPages();
    m_support->loadHelpText();
    // An installed program becomes its own screen saver; a copy that an
    // entry still runs (also one an earlier version's entry in
    // ~/.xscreensaver runs from the former folder) is kept at this version.
    if (!m_run.ScreenSaverMode) {
        const QString program = QCoreApplication::applicationFilePath();
        MoveScreenSaverToProgram(program, &m_shell);
        for (const QString &copy : InstalledCopyPaths())
            RefreshInstalledCopy(program, copy);
    }
    return SetupResult::Completed;
}

void TfrmMain::arrangeAdminPages()
{
    showPage(m_ui->tabAdmin, false);
    if (!m_run.AdminMode)
        return;
    showPage(m_ui->tabAdmin, true);
    m_settings->loadPhase(LoadPhase::Admin);
    m_ui->lblLatestVersion->setVisible(false);
    m_ui->txtExport->setVisible(true);
    m_ui->butExportCam->setVisible(true);
    m_ui->grpImpExp->setVisible(true);
}

// A screen-saver or configuration run uses the folder a normal run stored;
// false when a screen-saver run finds none yet. The settings, opened from
// the menu on a new account, set up what a first normal run would.
bool TfrmMain::resolveAppPath()
{
    const QString stored = ReadSetting(Setting::AppPath);
    if (m_run.ScreenSaverMode || (m_run.ConfigMode && !stored.isEmpty())) {
        m_run.AppPath = stored;
        if (m_run.AppPath.isEmpty()) {
            m_dialogs.showMessage(tr(NoAppPathMessage));
            return false;
        }
    } else {
        m_run.AppPath = ResolveAppPath(QCoreApplication::applicationDirPath(), stored);
        WriteSetting(Setting::AppPath, m_run.AppPath);
    }
    return true;
}

void TfrmMain::loadWindowSettings()
{
    move(ReadSetting(Setting::Left),
         ReadSetting(Setting::Top));
    m_run.EnableAA = ReadSetting(Setting::EnableAA);
    m_settings->loadPhase(LoadPhase::Window);
    m_ui->SSInterval2->setMinimum(m_ui->SSInterval->value());
    m_settings->updateIntervalSteps();
    m_slideShowPage->applyCaptionBackground();
    m_settings->refreshOptionDependents();
    m_run.SSTimer.setInterval(0);
}

// Starts the offline screen saver when there is no connection, else the
// slide show, which runs even while its button is disabled.
TfrmMain::SetupResult TfrmMain::startScreenSaver()
{
    const QString offlineSaver = m_ui->edtAltSS->text();
    // The network is asked only when there is an offline screen saver.
    if (offlineSaver.isEmpty() || m_shell.isInternetConnected())
        return startSlideShowAsScreenSaver();
    const QStringList arguments = OfflineSaverArguments(offlineSaver, XScreenSaverProgramFolders());
    // In a daemon's window the daemon watches this process: the offline
    // screen saver takes its place rather than leaving a "crash" behind.
    const bool started = ScreenSaverDaemonWindow() != 0 ? m_shell.runInstead(offlineSaver, arguments)
                                                        : m_shell.startProgram(offlineSaver, arguments);
    if (started)
        return SetupResult::OfflineSaverStarted;
    return startSlideShowAsScreenSaver();
}

TfrmMain::SetupResult TfrmMain::startSlideShowAsScreenSaver()
{
    showAdultOffersBox();
    butSlideshowClick();
    return SetupResult::Completed;
}

void TfrmMain::arrangeConfigPages()
{
    QTabWidget *pages = m_ui->PageControl1;
    for (QWidget *page : {m_ui->tabWebcams, m_ui->tabWebcamOptions, m_health->page(), m_ui->tabTools})
        showPage(page, false);
    m_ui->butSlideshow->setVisible(false);
    m_ui->EnableAdultAds->setVisible(false);
    showAdultOffersBox();
    m_ui->ShowCaption->setVisible(true);
    pages->setTabText(pages->indexOf(m_ui->tabSlideShow), tr(" Screen saver options"));
    pages->setCurrentWidget(m_ui->tabSlideShow);
}

void TfrmMain::FormDestroy()
{
    // Every way out passes here (Close, a signal, the screen saver's end):
    // what the show learned since the last save is written, after any
    // write still running.
    // No window may ask at the end (a session ending waits for none): the
    // reason goes where the desktop keeps a program's output.
    if (const SaveResult saved = m_run.saver.flush(); !saved.ok)
        // untranslated: the session's log, read with other programs' English lines
        std::fprintf(stderr, "Lumetta: what the show learned since the last save was not written to \"%s\": %s\n",
                     qPrintable(m_run.DataFileName), qPrintable(saved.reason));
    // A fetch the end of the process cut off leaves its working file; a
    // view-only run fetches nothing, and the file is another run's.
    if (!m_run.AppPath.isEmpty() && !m_run.ViewOnly)
        QFile::remove(ImageFetch::TempImageFileIn(m_run.AppPath));
    // A run refused before it had a folder showed no window and no list:
    // it leaves the stored ones as they were.
    if (!m_run.AppPath.isEmpty()) {
        WriteSetting(Setting::Top, pos().y());
        WriteSetting(Setting::Left, pos().x());
        WriteSetting(Setting::SelectedCam, m_ui->SiteList->currentRow());
    }
    // No write-back may reach the file once the records are gone.
    m_webcams->setEditorIndex(-1);
    m_cat.clear();
    m_run.SelectedCatList.clear();
    m_run.ImportList.clear();
}

// The pages' "show" handlers.
void TfrmMain::PageControl1Change()
{
    QWidget *page = m_ui->PageControl1->currentWidget();
    if (page == m_ui->tabTools)
        m_tools->tabToolsShow();
    else if (page == m_ui->tabSupport)
        m_support->tabSupportShow();
    else if (page == m_ui->tabAbout)
        m_support->tabAboutShow();
    else if (page == m_health->page())
        m_health->refresh();
}

} // namespace lumetta
