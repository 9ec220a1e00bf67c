#include "app/ToolsPage.h"

#include "app/DownloadEngine.h"
#include "app/RunState.h"
#include "app/StartupFiles.h"
#include "app/WebcamPage.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueFile.h"
#include "common/Errors.h"
#include "download/ImageFetch.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "service/ListTools.h"
#include "service/Submission.h"
#include "slideshow/ScreenSaverInstall.h"
#include "ui_TfrmMain.h"

#include <QCoreApplication>
#include <QListWidget>

namespace lumetta {

ToolsPage::ToolsPage(const PageContext &context, WebcamPage &webcams, DownloadEngine &engine)
    : Page(context), m_webcams(webcams), m_engine(engine)
{
    on(m_ui->butGetCamList, &QPushButton::clicked, [this] { listTools().ImportWebcamList(m_run.MainListUrl); });
    on(m_ui->butGetAdultCamList, &QPushButton::clicked,
       [this] { listTools().ImportWebcamList(m_run.AdultListUrl); });
    on(m_ui->butBackup, &QPushButton::clicked, [this] { butBackupClick(); });
    on(m_ui->butRestore, &QPushButton::clicked, [this] { butRestoreClick(); });
    on(m_ui->butInstallSS, &QPushButton::clicked,
       [this] { InstallScreenSaver(m_dialogs, QCoreApplication::applicationFilePath(), &m_shell); });
    on(m_ui->butRemoveSS, &QPushButton::clicked,
       [this] { RemoveScreenSaver(m_dialogs, QCoreApplication::applicationFilePath()); });
    on(m_ui->butDelRegistry, &QPushButton::clicked, [this] { DeleteRegistryEntries(m_dialogs); });
    // Stored in seconds where the idle watcher reads it; a running watcher
    // sees the store change.
    on(m_ui->spinScreenSaveTimeOut, &QSpinBox::valueChanged, [this](int minutes) {
        if (!m_loadingIdleDelay)
            WriteSetting(Setting::ScreenSaveTimeOut, minutes * 60);
    });
}

void ToolsPage::loadIdleDelay()
{
    // A damaged value must not stop a screen saver's start; the control
    // keeps its default until the user sets one.
    int seconds = Setting::ScreenSaveTimeOut.defaultValue;
    try {
        seconds = ReadSetting(Setting::ScreenSaveTimeOut);
    } catch (const Error &) {
    }
    m_loadingIdleDelay = true;
    // A delay in seconds shows as the minutes it starts within.
    m_ui->spinScreenSaveTimeOut->setValue(seconds <= 0 ? 0 : (seconds + 59) / 60);
    m_loadingIdleDelay = false;
}

ToolsPage::~ToolsPage() = default;

void ToolsPage::tabToolsShow()
{
    m_ui->lblRegistry->setText(
        tr("You may want to do this if you have a problem and want to restart from scratch."));
}

void ToolsPage::loadListLocations()
{
    const QString site = VendorSite();
    for (auto [key, path, url] : {std::tuple{&Setting::MainListLocation, MainListPath(), &m_run.MainListUrl},
                                   std::tuple{&Setting::AdultListLocation, AdultListPath(), &m_run.AdultListUrl}}) {
        const ListLocation location =
            ResolveListLocation(ReadSetting(*key), site + path);
        // Stored as the start-up reads it; a full store must not stop a
        // screen saver's start.
        if (!location.storeShifted.isEmpty())
            (void)TryWriteSetting(*key, location.storeShifted);
        *url = location.url;
    }
}

ListTools &ToolsPage::listTools()
{
    if (!m_lists) {
        ListToolsHooks hooks{m_dialogs, m_run.AppPath, m_run.ImportList};
        hooks.fetch = [this](const QString &url, const QString &file, int timeOut) {
            return m_engine.fetch().GetUrlToFile(url, file, timeOut);
        };
        hooks.categories = [this] {
            QStringList items;
            for (int i = 0; i < m_ui->cmbCategory->count(); ++i)
                items << m_ui->cmbCategory->itemText(i);
            return items;
        };
        // The lists and the file agree on what the tools read.
        hooks.camData = [this] {
            (void)m_run.saver.flush();
            return m_cat.CamData();
        };
        hooks.appendRecords = [this](const QStringList &records) {
            m_webcams.commitEditor();
            const int row = m_ui->SiteList->currentRow();
            m_cat.append(records);
            m_webcams.RebuildSiteList();
            m_webcams.saveCatalogue();
            // The counters and the editor follow the merge; the webcam the
            // editor showed stays shown.
            m_webcams.selectRow(row);
            m_webcams.SiteListClick();
        };
        hooks.now = [this] { return m_clock.now(); };
        hooks.version = m_run.VersionString;
        hooks.submissionUrl = VendorSite() + SubmissionPath();
        hooks.listUrls = [this] {
            const auto read = [](const TextKey &key) { return ShiftChars(ReadSetting(key), -StoredTextShift); };
            m_run.MainListUrl = read(Setting::MainListLocation);
            m_run.AdultListUrl = read(Setting::AdultListLocation);
            return std::pair{m_run.MainListUrl, m_run.AdultListUrl};
        };
        m_lists = std::make_unique<ListTools>(std::move(hooks));
    }
    return *m_lists;
}

void ToolsPage::butBackupClick()
{
    m_dialogs.beep();
    m_webcams.commitEditor();
    // The copy is of the file: what the show learned goes there first.
    (void)m_run.saver.flush();
    m_dialogs.showMessage(BackupCatalogue(m_run.DataFileName, m_run.BackupFileName) ? tr("Backup done.")
                                                                        : tr("Backup failed."));
}

void ToolsPage::butRestoreClick()
{
    m_dialogs.beep();
    m_webcams.commitEditor();
    // No write of the records replaced may land on the restored file.
    (void)m_run.saver.flush();
    if (!RestoreCatalogue(m_run.BackupFileName, m_run.DataFileName)) {
        m_dialogs.showMessage(tr("Restore failed."));
        return;
    }
    m_cat.load(m_webcams.loadCatalogueFile());
    m_webcams.RebuildSiteList();
    m_dialogs.showMessage(tr("Webcam data restored."));
}

} // namespace lumetta
