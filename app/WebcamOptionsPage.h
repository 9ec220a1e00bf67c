#pragma once
// The webcam options page: the download folder. Its other controls are
// settings (see SettingsBinding).
#include "app/PageContext.h"

namespace lumetta {

class WebcamOptionsPage : public Page {
public:
    explicit WebcamOptionsPage(const PageContext &context);

    void loadDownloadFolder();

private:
    void butBrowseClick();
};

} // namespace lumetta
