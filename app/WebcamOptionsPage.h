#pragma once
// The webcam options page: the download folder and the CA file's chooser.
// Its other controls are settings (see SettingsBinding).
#include "app/PageContext.h"

namespace lumetta {

class WebcamOptionsPage : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    explicit WebcamOptionsPage(const PageContext &context);

    // Shows the stored download folder and gives it.
    QString loadDownloadFolder();

private:
    void butBrowseClick();
    void butCaFileClick();
};

} // namespace lumetta
