#pragma once
// The support and about pages: the version, the help text, the vendor's
// links and the update check.
#include "app/PageContext.h"

#include <memory>

namespace lumetta {

class TKorvaneAboutBox;

class SupportPage : public Page {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)  // the form's context, where lupdate looks
public:
    explicit SupportPage(const PageContext &context);
    ~SupportPage() override;

    void showVersion();
    void loadHelpText();
    void tabSupportShow();
    void tabAboutShow();
    void AboutBoxbutUpdatesClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool openLink(QObject *label);

    std::unique_ptr<TKorvaneAboutBox> m_aboutBox;
};

} // namespace lumetta
