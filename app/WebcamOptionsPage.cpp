#include "app/WebcamOptionsPage.h"

#include "app/RunState.h"
#include "app/StartupFiles.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "ui_TfrmMain.h"

namespace lumetta {

WebcamOptionsPage::WebcamOptionsPage(const PageContext &context)
    : Page(context)
{
    on(m_ui->butBrowse, &QToolButton::clicked, [this] { butBrowseClick(); });
    on(m_ui->edtDownloadDir, &QLineEdit::editingFinished, [this] {
        WriteRegString(LumettaKey, QStringLiteral("DownloadDir"), m_ui->edtDownloadDir->text());
    });
}

void WebcamOptionsPage::butBrowseClick()
{
    if (const auto folder = m_dialogs.chooseFolder(QStringLiteral("Select Folder"),
                                                   m_ui->edtDownloadDir->text())) {
        m_ui->edtDownloadDir->setText(*folder);
        WriteRegString(LumettaKey, QStringLiteral("DownloadDir"), *folder);
    }
}

void WebcamOptionsPage::loadDownloadFolder()
{
    const QString downloadDir =
        ReadRegString(LumettaKey, QStringLiteral("DownloadDir"), m_run.AppPath + QStringLiteral("images"));
    m_ui->edtDownloadDir->setText(downloadDir);
    m_run.SampleImageFile = WithTrailingSlash(downloadDir) + QStringLiteral("sample.jpg");
}

} // namespace lumetta
