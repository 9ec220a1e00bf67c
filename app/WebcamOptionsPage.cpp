#include "app/WebcamOptionsPage.h"

#include "app/RunState.h"
#include "app/StartupFiles.h"
#include "platform/Dialogs.h"
#include "platform/Registry.h"
#include "platform/SettingKeys.h"
#include "ui_TfrmMain.h"

namespace lumetta {

WebcamOptionsPage::WebcamOptionsPage(const PageContext &context)
    : Page(context)
{
    on(m_ui->butBrowse, &QToolButton::clicked, [this] { butBrowseClick(); });
    on(m_ui->edtDownloadDir, &QLineEdit::editingFinished, [this] {
        WriteSetting(Setting::DownloadDir, m_ui->edtDownloadDir->text());
    });
}

void WebcamOptionsPage::butBrowseClick()
{
    if (const auto folder = m_dialogs.chooseFolder(QStringLiteral("Select Folder"),
                                                   m_ui->edtDownloadDir->text())) {
        m_ui->edtDownloadDir->setText(*folder);
        WriteSetting(Setting::DownloadDir, *folder);
    }
}

QString WebcamOptionsPage::loadDownloadFolder()
{
    const QString downloadDir =
        ReadSetting(Setting::DownloadDir, m_run.AppPath + QStringLiteral("images"));
    m_ui->edtDownloadDir->setText(downloadDir);
    return downloadDir;
}

} // namespace lumetta
