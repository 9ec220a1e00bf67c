#include "app/SupportPage.h"

#include "app/KeyboardReach.h"
#include "app/RunState.h"
#include "app/StartupFiles.h"
#include "platform/Platform.h"
#include "platform/VersionInfo.h"
#include "service/KorvaneAboutBox.h"
#include "service/VersionCheck.h"
#include "ui_TfrmMain.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMouseEvent>

namespace lumetta {

SupportPage::SupportPage(const PageContext &context)
    : Page(context)
{
    Ui::TfrmMain *ui = m_ui;
    // Link labels look like links in the theme's own link colour, and Tab
    // and Enter reach them; what they open comes with the support pages.
    for (QLabel *link : {ui->lblHomepageUrl, ui->lblFAQUrl, ui->lblBugs, ui->LnkLabel1, ui->LnkLabel2}) {
        link->setForegroundRole(QPalette::Link);
        QFont underlined = link->font();
        underlined.setUnderline(true);
        link->setFont(underlined);
        link->setCursor(Qt::PointingHandCursor);
        MakeKeyboardReachable(link);
    }
    MakeKeyboardReachable(ui->lblLatestVersion);
    QFont nameFont = ui->lblAppName->font();
    // A heading, whatever the desktop's font.
    if (nameFont.pointSizeF() > 0)
        nameFont.setPointSizeF(nameFont.pointSizeF() * 1.8);
    else
        nameFont.setPixelSize(nameFont.pixelSize() * 9 / 5);
    nameFont.setBold(true);
    ui->lblAppName->setFont(nameFont);

    m_aboutBox = std::make_unique<TKorvaneAboutBox>(m_dialogs, m_shell, m_time);
    m_aboutBox->appName = [ui] { return ui->lblAppName->text(); };
    m_aboutBox->appVersion = [ui] { return ui->lblAppVersion->text(); };
    m_aboutBox->productPath = [this] { return m_run.ProductPath; };
    m_aboutBox->tempFolder = [this] { return m_run.AppPath; };
    m_aboutBox->timeOutSeconds = [ui] { return ui->TimeOut->value(); };
    on(ui->butUpdates, &QPushButton::clicked, [this] { AboutBoxbutUpdatesClick(); });

    const SupportLinks links = SupportLinksFor(VendorSite(), QStringLiteral("lumetta"));
    ui->LnkLabel1->setProperty("link", links.vendor);
    ui->LnkLabel2->setProperty("link", links.developerMail);
    ui->lblLatestVersion->setProperty("link", links.alert);
    ui->lblLatestVersion->setCursor(Qt::PointingHandCursor);
    for (QLabel *link : {ui->lblHomepageUrl, ui->lblFAQUrl, ui->lblBugs, ui->LnkLabel1, ui->LnkLabel2,
                         ui->lblLatestVersion})
        link->installEventFilter(this);
    // No product list and no status come with this build: a heading over
    // nothing and an empty bar would only puzzle.
    ui->lblOtherProducts->setVisible(false);
    ui->AboutStatusBar->setVisible(false);
}

SupportPage::~SupportPage() = default;

void SupportPage::showVersion()
{
    Ui::TfrmMain *ui = m_ui;
    m_run.VersionString = lumetta::VersionString();
    ui->lblAppName->setText(AppTitle);
    ui->lblAppVersion->setText(tr("Version ") + m_run.VersionString);
    ui->lblAppDesc->setText(VersionComments());
    ui->lblCopyright->setText(VersionCopyright());
    m_run.ProductPath = QStringLiteral("lumetta");
    m_window->setWindowTitle(MainCaption(AppTitle, m_run.VersionString));
}

void SupportPage::loadHelpText()
{
    // The user's own readme first, else the one an installed program
    // comes with, else the one a build puts beside the program.
    const QString programDir = QCoreApplication::applicationDirPath();
    for (const QString &folder : {m_run.AppPath, InstalledShareFolder(programDir), programDir + QLatin1Char('/')}) {
        const QString readme = folder + QStringLiteral("readme.txt");
        if (!folder.isEmpty() && QFileInfo::exists(readme)) {
            m_ui->memoHelp->setPlainText(ReadLatin1File(readme));
            return;
        }
    }
}

void SupportPage::tabAboutShow()
{
    // The frame of the adult offers shows only with one of its boxes.
    m_ui->pnlAdultAds->setVisible(!m_ui->EnableAdultAds->isHidden() || !m_ui->EnableSSAdultAds->isHidden());
}

void SupportPage::tabSupportShow()
{
    Ui::TfrmMain *ui = m_ui;
    ui->lblSupport->setText(tr(
        "We have tried to make this application as intuitive as possible, so that you should not require a great "
        "deal of help. However, if you have any questions or comments, please click on one of the links below. "
        "You must be connected to the internet."));
    const SupportLinks links = SupportLinksFor(VendorSite(), m_run.ProductPath);
    ui->lblHomepageUrl->setProperty("link", links.homepage);
    ui->lblFAQUrl->setProperty("link", links.faq);
    ui->lblBugs->setProperty("link", links.bugReport);
}

void SupportPage::AboutBoxbutUpdatesClick()
{
    m_aboutBox->butUpdatesClick();
}

bool SupportPage::eventFilter(QObject *watched, QEvent *event)
{
    if ((IsActivationKey(event)
         || (event->type() == QEvent::MouseButtonRelease
             && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton))
        && openLink(watched))
        return true;
    return QObject::eventFilter(watched, event);
}

// A click on a link label opens its target; a failure is not reported.
bool SupportPage::openLink(QObject *label)
{
    const QString target = label->property("link").toString();
    if (!label->isWidgetType() || target.isEmpty())
        return false;
    // The mail links are our own; every page goes through the web-link rule.
    if (label == m_ui->lblBugs || label == m_ui->LnkLabel2)
        m_shell.openDocument(target);
    else
        (void)OpenWebLink(m_shell, target);
    return true;
}

} // namespace lumetta
