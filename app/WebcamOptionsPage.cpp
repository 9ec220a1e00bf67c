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
    on(m_ui->butCaFile, &QToolButton::clicked, [this] { butCaFileClick(); });
    on(m_ui->edtDownloadDir, &QLineEdit::editingFinished, [this] {
        WriteSetting(Setting::DownloadDir, m_ui->edtDownloadDir->text());
    });
}

void WebcamOptionsPage::butBrowseClick()
{
    if (const auto folder = m_dialogs.chooseFolder(tr("Select Folder"),
                                                   m_ui->edtDownloadDir->text())) {
        m_ui->edtDownloadDir->setText(*folder);
        WriteSetting(Setting::DownloadDir, *folder);
    }
}

void WebcamOptionsPage::butCaFileClick()
{
    if (const auto file = m_dialogs.chooseOpenFile(tr("Select CA certificates file"), QString(),
                                                   tr("PEM certificates (*.pem;*.crt)|*.pem;*.crt|All files (*.*)|*.*"))) {
        m_ui->edtCaFile->setText(*file);
        WriteSetting(Setting::CaFile, *file);
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
