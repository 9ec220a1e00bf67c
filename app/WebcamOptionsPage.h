#pragma once
// The webcam options page: the download folder and the CA file's chooser.
// Its other controls are settings (see SettingsBinding).
#include "app/PageContext.h"

namespace lumetta {

class WebcamOptionsPage : public Page {
public:
    explicit WebcamOptionsPage(const PageContext &context);

    void loadDownloadFolder();

private:
    void butBrowseClick();
    void butCaFileClick();
};

} // namespace lumetta
