#pragma once
// The administration page: the offline screen saver and the list files,
// the last ad, deleting inactive webcams, and the list maintenance that
// goes through the tools page's list tools.
#include "app/PageContext.h"
#include "platform/SettingKeys.h"

namespace lumetta {

class DownloadEngine;
class ToolsPage;
class WebcamPage;

class AdminPage : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    AdminPage(const PageContext &context, WebcamPage &webcams, ToolsPage &tools, DownloadEngine &engine);

private:
    void SpeedButton4Click();
    void listFileBrowse(const char *edit, const TextKey &key);
    void butLastAdClick();
    void butDelCamsClick();

    WebcamPage &m_webcams;
    ToolsPage &m_tools;
    DownloadEngine &m_engine;
};

} // namespace lumetta
