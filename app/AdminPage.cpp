#include "app/AdminPage.h"

#include "app/CatalogueQuestions.h"
#include "app/DownloadEngine.h"
#include "app/RunState.h"
#include "app/SettingsTable.h"
#include "app/ToolsPage.h"
#include "app/WebcamPage.h"
#include "catalogue/Catalogue.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "service/AdOptions.h"
#include "service/ListTools.h"
#include "service/Submission.h"
#include "slideshow/ScreenSaverInstall.h"
#include "slideshow/SlideShow.h"
#include "ui_TfrmMain.h"

#include <QListWidget>

namespace lumetta {

namespace {

// Translated where they are shown.
const char *const ListFileFilter =
    QT_TRANSLATE_NOOP("TfrmMain", "List files (*.lst)|*.LST|Text files (*.txt)|*.TXT|All files (*.*)|*.*");
const char *const ScreenSaverFilter =
    QT_TRANSLATE_NOOP("TfrmMain", "Screen savers (*.scr)|*.SCR|All files (*.*)|*.*");

} // namespace

AdminPage::AdminPage(const PageContext &context, WebcamPage &webcams, ToolsPage &tools, DownloadEngine &engine)
    : Page(context), m_webcams(webcams), m_tools(tools), m_engine(engine)
{
    on(m_ui->SpeedButton4, &QToolButton::clicked, [this] { SpeedButton4Click(); });
    on(m_ui->SpeedButton1, &QToolButton::clicked, [this] { listFileBrowse("edtMainList", Setting::MainList); });
    on(m_ui->SpeedButton2, &QToolButton::clicked, [this] { listFileBrowse("edtAdultList", Setting::AdultList); });
    on(m_ui->SpeedButton3, &QToolButton::clicked, [this] { listFileBrowse("edtSubmissionList", Setting::SubmissionList); });
    on(m_ui->butLastAd, &QPushButton::clicked, [this] { butLastAdClick(); });
    on(m_ui->butDelCams, &QPushButton::clicked, [this] { butDelCamsClick(); });
    on(m_ui->butExport, &QPushButton::clicked, [this] {
        m_tools.listTools().ExportMasterLists(m_ui->edtMainList->text(), m_ui->edtAdultList->text());
    });
    on(m_ui->butImport, &QPushButton::clicked,
       [this] { m_tools.listTools().ImportSubmissions(m_ui->edtSubmissionList->text()); });
    on(m_ui->butDeleteMasterList, &QPushButton::clicked,
       [this] { m_tools.listTools().DeleteSubmissions(m_ui->edtSubmissionList->text()); });
    on(m_ui->butExportCam, &QPushButton::clicked, [this] {
        const auto timeOf = [](const QTimeEdit *edit) { return edit->time().msecsSinceStartOfDay() / 86400000.0; };
        SubmissionSnapshot s;
        s.hasSelection = m_ui->SiteList->currentItem() && m_ui->cmbCategory->currentIndex() >= 0;
        s.lastModified = m_ui->edtLastModified->text();
        s.fields = {m_ui->cmbCategory->currentText(),
                    s.hasSelection ? m_ui->SiteList->currentItem()->text() : QString(),
                    m_ui->ImageUrl->text(), m_ui->edtHomePage->text(), timeOf(m_ui->dtRefreshRate),
                    timeOf(m_ui->dtStartTime), timeOf(m_ui->dtEndTime), m_run.VersionString};
        m_tools.listTools().SubmitWebcam(s);
    });
}

void AdminPage::SpeedButton4Click()
{
    if (const auto file = m_dialogs.chooseOpenFile(QString(), SystemScreenSaverFolder(), tr(ScreenSaverFilter))) {
        m_ui->edtAltSS->setText(*file);
        WriteSetting(Setting::AltSS, *file);
    }
}

void AdminPage::listFileBrowse(const char *edit, const TextKey &key)
{
    auto *box = m_window->findChild<QLineEdit *>(S(edit));
    if (const auto file = m_dialogs.chooseOpenFile(QString(), QString(), tr(ListFileFilter))) {
        box->setText(*file);
        WriteSetting(key, *file);
    }
}

void AdminPage::butLastAdClick()
{
    const LastAd ad = FindLastAd(ReadSetting(Setting::LastAdImage),
                                 ReadSetting(Setting::LastAdLink));
    if (!m_engine.slideShow()->showAdvertisement(ad.imageFile, ad.link, ad.found))
        m_dialogs.showMessage(tr("No ad found"));
}

void AdminPage::butDelCamsClick()
{
    if (m_dialogs.ask(tr("Are you sure you want to delete inactive Sites?"), QuestionKind::YesNo,
                      tr("Delete inactive Sites"))
        != DialogButton::Yes)
        return;
    m_webcams.commitEditor();
    const TDateTime cutoff = InactiveSitesCutoff(m_ui->dtDelCams->date(), m_clock.now());
    const int deleted = m_cat.deleteInactive(cutoff, [this](const Catalogue::Candidate &c) {
        return DeleteInactiveDecision(m_dialogs.ask(InactiveSiteQuestion(c), QuestionKind::YesNoAllAbort));
    });
    m_webcams.RebuildSiteList();
    m_dialogs.showMessage(tr("Deleted Sites:  ") + QString::number(deleted));
    m_webcams.saveCatalogue();
}

} // namespace lumetta
