#pragma once
// The tools page: the screen saver's installation, the catalogue's backup,
// the webcam lists' import, and clearing the stored settings. It owns the
// list tools, which the administration page also uses.
#include "app/PageContext.h"

#include <memory>

namespace lumetta {

class DownloadEngine;
class ListTools;
class WebcamPage;

class ToolsPage : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    ToolsPage(const PageContext &context, WebcamPage &webcams, DownloadEngine &engine);
    ~ToolsPage() override;

    void loadListLocations();
    void loadIdleDelay();
    ListTools &listTools();
    void tabToolsShow();

private:
    void butBackupClick();
    void butRestoreClick();

    WebcamPage &m_webcams;
    DownloadEngine &m_engine;
    std::unique_ptr<ListTools> m_lists;
    bool m_loadingIdleDelay = false;
};

} // namespace lumetta
