#pragma once
// The stored values read or written outside the main window's settings
// table, each with its name and default written once. The table takes the
// same keys for the rows it shares with them.
#include "common/DateTime.h"
#include "platform/Registry.h"

#include <QColor>
#include <QString>
#include <functional>

namespace lumetta {

// Colours are kept as Windows keeps them (see ColorFromStored).
struct StoredColour {
    int value;
};

template <typename T>
struct SettingKey {
    const QString &key;
    const char *name;
    T defaultValue;

    QString valueName() const { return QString::fromLatin1(name); }
};

using FlagKey = SettingKey<bool>;
using IntegerKey = SettingKey<int>;
using TextKey = SettingKey<const char *>;
using ColourKey = SettingKey<StoredColour>;

// A whole number the window shows in a bounded box: reading clamps into the
// range as the box does, so the show and the window agree.
struct RangeKey {
    IntegerKey stored;
    int minimum;
    int maximum;
};

// A time of day kept as "hh:nn:ss"; reads as the time box shows it.
struct TimeKey {
    TextKey stored;
};

bool ReadSetting(const FlagKey &key);
int ReadSetting(const IntegerKey &key);
QString ReadSetting(const TextKey &key);
QColor ReadSetting(const ColourKey &key);
int ReadSetting(const RangeKey &key);
TDateTime ReadSetting(const TimeKey &key);
// For values whose default is known only at run time.
QString ReadSetting(const TextKey &key, const QString &runtimeDefault);

void WriteSetting(const FlagKey &key, bool value);
void WriteSetting(const IntegerKey &key, int value);
void WriteSetting(const TextKey &key, const QString &value);
void WriteSetting(const ColourKey &key, const QColor &value);

// For a write that must not stop what runs it (the show's "LastCam", a
// default stored at start-up): false when the store cannot be written, as
// on a full disk, the store then as it was. The run's first such failure
// goes to the error path after the event at hand, so no tick waits on a
// message box; later ones are not said again.
bool TryWriteSetting(const IntegerKey &key, int value);
bool TryWriteSetting(const TextKey &key, const QString &value);
// The same for any write of the store.
bool TryStoreWrite(const std::function<void()> &write);

namespace Setting {

// The webcam shown last: the administration run selects it at start-up
// (1 when absent), the show resumes after it (0 when absent).
inline constexpr char LastCamName[] = "LastCam";
inline constexpr IntegerKey LastCamAtStartUp{LumettaKey, LastCamName, 1};
inline constexpr IntegerKey LastCam{LumettaKey, LastCamName, 0};
inline constexpr IntegerKey SelectedCam{LumettaKey, "SelectedCam", 1};

inline constexpr IntegerKey Left{LumettaKey, "Left", 200};
inline constexpr IntegerKey Top{LumettaKey, "Top", 200};
inline constexpr TextKey AppPath{LumettaKey, "AppPath", ""};
// The default is the program folder + "images", known at run time.
inline constexpr TextKey DownloadDir{LumettaKey, "DownloadDir", ""};
// Empty is replaced by the built-in list and stored.
inline constexpr TextKey Categories{LumettaKey, "Categories", ""};
// The default is the value of "Categories".
inline constexpr TextKey SelectedCats{LumettaKey, "SelectedCats", ""};

inline constexpr FlagKey Countdown{LumettaKey, "Countdown", false};
inline constexpr FlagKey DebugMode{LumettaKey, "DebugMode", false};

// The show's options, as the Slide show and Webcam options pages set them.
inline constexpr RangeKey SSInterval{{LumettaKey, "SSInterval", 10}, 0, 3600};
// Never below "SSInterval": the window raises its box's minimum with it.
inline constexpr RangeKey SSInterval2{{LumettaKey, "SSInterval2", 10}, 10, 3600};
inline constexpr FlagKey Random{LumettaKey, "Random", false};
inline constexpr FlagKey Resume{LumettaKey, "Resume", true};
inline constexpr FlagKey ShowCurrentCamOnly{LumettaKey, "ShowCurrentCamOnly", false};
inline constexpr FlagKey ShowNewImagesOnly{LumettaKey, "ShowNewImagesOnly", false};
inline constexpr FlagKey ShowDiffImagesOnly{LumettaKey, "ShowDiffImagesOnly", false};
inline constexpr FlagKey ShowTimeInCaption{LumettaKey, "ShowTimeInCaption", false};
inline constexpr FlagKey ShowRefreshRateInCaption{LumettaKey, "ShowRefreshRateInCaption", false};
inline constexpr FlagKey RandomBG{LumettaKey, "RandomBG", false};
inline constexpr TimeKey MinRefreshRate{{LumettaKey, "MinRefreshRate", "00:00:05"}};
inline constexpr TimeKey MaxRefreshRate{{LumettaKey, "MaxRefreshRate", "03:00:00"}};
inline constexpr FlagKey SlowCam{LumettaKey, "SlowCam", true};
inline constexpr RangeKey SlowDays{{LumettaKey, "SlowDays", 1}, 1, 3600};
inline constexpr TimeKey SlowInterval{{LumettaKey, "SlowInterval", "12:00:00"}};
inline constexpr FlagKey InactiveCam{LumettaKey, "InactiveCam", true};
inline constexpr RangeKey InactiveDays{{LumettaKey, "InactiveDays", 3}, 1, 3600};
inline constexpr FlagKey CheckDisabledCams{LumettaKey, "CheckDisabledCams", false};
inline constexpr RangeKey CheckDisabledDays{{LumettaKey, "CheckDisabledDays", 1}, 1, 3600};
inline constexpr RangeKey TimeOut{{LumettaKey, "TimeOut", 30}, 0, 3600};
inline constexpr FlagKey UseProxy{LumettaKey, "UseProxy", false};
inline constexpr TextKey ProxyServer{LumettaKey, "ProxyServer", ""};
inline constexpr RangeKey ProxyPort{{LumettaKey, "ProxyPort", 8088}, 0, 999999};

// How the image window shows a picture.
// 1: a percentage of the actual size; anything else: of the screen.
inline constexpr IntegerKey SSImageSize{LumettaKey, "SSImageSize", 0};
inline constexpr RangeKey ImageSize{{LumettaKey, "ImageSize", 100}, 20, 100};
// Absent reads 1, which the box raises to its minimum.
inline constexpr RangeKey TimesActualSize{{LumettaKey, "TimesActualSize", 1}, 100, 1000};
inline constexpr FlagKey DoNotShrinkImages{LumettaKey, "DoNotShrinkImages", false};
inline constexpr FlagKey MaxImageSizeEqScrnSize{LumettaKey, "MaxImageSizeEqScrnSize", true};
inline constexpr FlagKey AdjustForPAL{LumettaKey, "AdjustForPAL", true};
inline constexpr FlagKey ShowCaption{LumettaKey, "ShowCaption", true};
inline constexpr FlagKey ShowPictureAge{LumettaKey, "ShowPictureAge", false};
inline constexpr FlagKey DifferentPerMonitor{LumettaKey, "DifferentPerMonitor", false};
inline constexpr FlagKey TransparentCaption{LumettaKey, "TransparentCaption", false};
inline constexpr FlagKey CaptionPositionAtTop{LumettaKey, "CaptionPositionAtTop", false};
inline constexpr RangeKey CaptionFontSize{{LumettaKey, "CaptionFontSize", 28}, 8, 48};
inline constexpr ColourKey CaptionColor{LumettaKey, "CaptionColor", {255}};
inline constexpr ColourKey CaptionBG{LumettaKey, "CaptionBG", {0}};
inline constexpr ColourKey BGcolor{LumettaKey, "BGcolor", {0}};
inline constexpr FlagKey ShowAdsOnly{LumettaKey, "ShowAdsOnly", false};
inline constexpr FlagKey DisableMouseMoveDetect{LumettaKey, "DisableMouseMoveDetect", false};
inline constexpr FlagKey SwToOneCamOnMouseMove{LumettaKey, "SwToOneCamOnMouseMove", false};

inline constexpr TextKey AltSS{LumettaKey, "AltSS", ""};
// PEM certificates trusted besides the system's, for cameras on a private authority.
inline constexpr TextKey CaFile{LumettaKey, "CaFile", ""};
inline constexpr TextKey MainList{LumettaKey, "MainList", ""};
inline constexpr TextKey AdultList{LumettaKey, "AdultList", ""};
inline constexpr TextKey SubmissionList{LumettaKey, "SubmissionList", ""};

// Values from the maker's web service; "L1", "L2" and "Xau" are kept
// shifted by StoredTextShift.
inline constexpr TextKey MainListLocation{LumettaKey, "L1", ""};
inline constexpr TextKey AdultListLocation{LumettaKey, "L2", ""};
inline constexpr IntegerKey EnableAA{LumettaKey, "X-EnableAA", 0};
inline constexpr TextKey LastAdImage{LumettaKey, "X-LastImage", ""};
inline constexpr TextKey LastAdLink{LumettaKey, "Xau", ""};
inline constexpr IntegerKey ExeSwitch{LumettaKey, "X-EXE", 0};

// The desktop's screen-saver values.
inline constexpr IntegerKey ScreenSaveTimeOut{DesktopKey, "ScreenSaveTimeOut", 600};
inline constexpr TextKey ScreenSaverProgram{DesktopKey, "SCRNSAVE.EXE", ""};

} // namespace Setting

} // namespace lumetta
