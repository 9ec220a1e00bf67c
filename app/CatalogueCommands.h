#pragma once
// The webcam page's catalogue commands: add, rename, delete, move, and the
// list's menu (enable or disable all, sort).
#include "app/PageContext.h"

class QMenu;

namespace lumetta {

class WebcamPage;

class CatalogueCommands : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    CatalogueCommands(const PageContext &context, WebcamPage &webcams);

    void butAddClick();
    void butDeleteClick();
    void butRenameClick();

private:
    void moveSelected(int delta);
    void setAllEnabled(bool enabled);
    void sortCatalogue(bool byCategory);

    WebcamPage &m_webcams;
    QMenu *m_siteListMenu = nullptr;
};

} // namespace lumetta
