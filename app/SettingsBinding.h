#pragma once
// Binds each row of the settings table to its control on whichever page it
// sits: a change is stored at once, a load shows the stored value, and the
// controls that depend on it follow.
#include "app/PageContext.h"
#include "app/SettingsTable.h"

namespace lumetta {

class SlideShowPage;
class WebcamPage;

class SettingsBinding : public Page {
    Q_OBJECT
public:
    SettingsBinding(const PageContext &context, SlideShowPage &slideShow, WebcamPage &webcams);

    void loadPhase(LoadPhase phase);
    void loadSetting(const SettingSpec &entry);
    void refreshOptionDependents();
    void updateIntervalSteps();

signals:
    // While the main window is the active one: the show's caption follows.
    void captionFontSizeChanged(int points);

private:
    void connectSetting(const SettingSpec &entry);
    QObject *settingControl(const SettingSpec &entry) const;
    void settingChanged(const SettingSpec &entry);

    SlideShowPage &m_slideShow;
    WebcamPage &m_webcams;
    bool m_loading = false;
};

} // namespace lumetta
