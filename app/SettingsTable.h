#pragma once
// Every setting the main window loads, in the order it loads them, with its
// store type, default, control and the control's design state. The window
// walks this table; the rules that tie controls together are plain functions
// below so they are tested without a display.
#include "common/DateTime.h"
#include <QColor>
#include <QDate>
#include <QString>
#include <optional>
#include <span>
#include <utility>

namespace lumetta {

enum class SettingType { Flag, Integer, String, Time, Date, Colour, Special };

// Which step of the window's set-up loads the value.
enum class LoadPhase {
    Admin,        // administration run only, before everything else
    Early,        // every run, before the program folder is known
    Window,       // every run, window position to "TimesActualSize"
    Late,         // download folder, list locations, categories, selection
    SaverOrConfig // screen-saver and configuration runs only
};

// What else follows when a setting changes, beyond storing it.
enum class SettingEffect {
    None,
    LatestVersionLabel,  // shown while the version alert is off
    CaptionBackground,
    CaptionFont,
    FastCamMinimum,      // "for fast cams" never below the display time
    CountDependents,     // the slide-show button may start on disabled webcams
};

struct SettingSpec {
    const char *name;
    SettingType type;
    LoadPhase phase;
    const char *control;     // objectName, or nullptr when no control holds it
    int intDefault = 0;      // Flag, Integer, Colour
    const char *textDefault = nullptr;  // String, Time
    int design = 0;          // check box / spin box state before loading
    const char *designText = nullptr;   // edit box text before loading
    bool writeOnEveryChange = false;    // edit boxes that do not wait for leaving
    SettingEffect effect = SettingEffect::None;
    // A bounded box's range, which reading the key applies too.
    std::optional<std::pair<int, int>> range = std::nullopt;
};

std::span<const SettingSpec> SettingsTable();
const SettingSpec *FindSetting(const QString &name);

// A check box or spin box whose loaded value differs from its design state
// runs its change handler, so dependent controls follow and the value is
// written back.
bool LoadRunsHandler(const SettingSpec &entry, int storedValue);

// "Display time" and "for fast cams" step by 1 below 10 seconds, by 5 from 10.
int SlideIntervalStep(int value);


// Dates are stored as yyyy-MM-dd; raises ConvertError "'%s' is not a valid date".
QDate ParseDateText(const QString &text);
QString FormatDateText(const QDate &date);
// "Delete webcams NOT active since" starts two years back from today.
QDate DefaultDateForSiteDelete(TDateTime now);


// What the option check boxes switch on and off in the other controls.
struct OptionStates {
    bool useProxy = false;
    bool random = false;
    bool showCurrentCamOnly = false;
    bool disableMouseMoveDetect = false;
    bool showCaption = true;
    int ssImageSize = 0;  // 0 percentage of screen, 1 percentage of actual size
};

struct DependentStates {
    bool proxyFieldsEnabled = false;   // ProxyServer, ProxyPort, the "Port" label
    bool resumeEnabled = true;
    bool selectedCatsEnabled = true;
    bool swToOneCamEnabled = true;
    bool captionGroupVisible = true;
    bool imageSizeEnabled = true;      // spinImageSize and chkDoNotShrinkImages
    bool timesActualSizeEnabled = false;
};

DependentStates ComputeDependentStates(const OptionStates &options);

// The slide-show button, its timer and the adult-offers box follow the
// catalogue's counters.
struct CountStates {
    bool slideshowEnabled = false;
    bool ssTimerEnabled = false;
    bool adultOffersVisible = false;
};

CountStates ComputeCountStates(int enabledCount, int adultCount, int enableAA,
                               bool checkDisabledCams);

} // namespace lumetta
