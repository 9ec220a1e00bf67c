#include "app/SettingsTable.h"

#include "common/Errors.h"
#include "platform/SettingKeys.h"
#include <QtGlobal>
#include <cmath>

namespace lumetta {

namespace {

using T = SettingType;
using P = LoadPhase;

SettingSpec Flag(const char *name, P phase, const char *control, int def, int design)
{
    SettingSpec s{name, T::Flag, phase, control};
    s.intDefault = def;
    s.design = design;
    return s;
}

SettingSpec Spin(const char *name, const char *control, int def, int design)
{
    SettingSpec s{name, T::Integer, P::Window, control};
    s.intDefault = def;
    s.design = design;
    return s;
}

SettingSpec With(SettingSpec s, SettingEffect effect)
{
    s.effect = effect;
    return s;
}

SettingSpec Text(const char *name, P phase, const char *control, const char *def = "")
{
    SettingSpec s{name, T::String, phase, control};
    s.textDefault = def;
    return s;
}

SettingSpec Time(const char *name, const char *control, const char *def)
{
    SettingSpec s{name, T::Time, P::Window, control};
    s.textDefault = def;
    return s;
}

SettingSpec Colour(const char *name, const char *control, int def)
{
    SettingSpec s{name, T::Colour, P::Window, control};
    s.intDefault = def;
    return s;
}

SettingSpec Special(const char *name, P phase, int def = 0)
{
    SettingSpec s{name, T::Special, phase, nullptr};
    s.intDefault = def;
    return s;
}

SettingSpec ProxyServerSpec()
{
    SettingSpec s = Text("ProxyServer", P::Window, "ProxyServer");
    s.designText = "127.0.0.1";
    s.writeOnEveryChange = true;
    return s;
}

SettingSpec DateSpec()
{
    return SettingSpec{"DateForSiteDelete", T::Date, P::Early, "dtDelCams"};
}

SettingSpec IntegerVar(const IntegerKey &key)
{
    SettingSpec s{key.name, T::Integer, P::Window, nullptr};
    s.intDefault = key.defaultValue;
    return s;
}

SettingSpec Flag(const FlagKey &key, P phase, const char *control, int design)
{
    return Flag(key.name, phase, control, key.defaultValue ? 1 : 0, design);
}

SettingSpec Text(const TextKey &key, P phase, const char *control)
{
    return Text(key.name, phase, control, key.defaultValue);
}

SettingSpec Colour(const ColourKey &key, const char *control)
{
    return Colour(key.name, control, key.defaultValue.value);
}

SettingSpec Special(const IntegerKey &key, P phase)
{
    return Special(key.name, phase, key.defaultValue);
}

SettingSpec Special(const TextKey &key, P phase)
{
    return Special(key.name, phase);
}

// The order is the load order.
const SettingSpec Table[] = {
    Flag("FollowChangedLinks", P::Admin, "FollowChangedLinks", 0, 0),
    Flag("ShowAdsOnly", P::Admin, "ShowAdsOnly", 0, 0),
    With(Flag("VersionAlert", P::Admin, "VersionAlert", 1, 1), SettingEffect::LatestVersionLabel),
    Text(Setting::SubmissionList, P::Admin, "edtSubmissionList"),
    Text(Setting::MainList, P::Admin, "edtMainList"),
    Text(Setting::AdultList, P::Admin, "edtAdultList"),
    Flag(Setting::Countdown, P::Admin, "chkCountdown", 0),
    Text("AdminScriptUrl", P::Admin, "AdminScriptUrl"),
    Text("AdminCamSubmitUrl", P::Admin, "AdminCamSubmitUrl"),

    Flag("LogErrorCode", P::Early, "chkLogErrorCode", 0, 0),
    Flag("DebugMode", P::Early, "DebugMode", 0, 0),
    Text(Setting::AltSS, P::Early, "edtAltSS"),
    DateSpec(),
    Special(Setting::AppPath, P::Early),

    IntegerVar(Setting::Left),
    IntegerVar(Setting::Top),
    IntegerVar(Setting::EnableAA),
    Flag("EnableAdultAds", P::Window, "EnableAdultAds", 0, 0),
    Flag("DisableMouseMoveDetect", P::Window, "chkDisableMouseMoveDetect", 0, 0),
    Flag("SwToOneCamOnMouseMove", P::Window, "SwToOneCamOnMouseMove", 0, 0),
    Flag("ShowCurrentCamOnly", P::Window, "ShowCurrentCamOnly", 0, 0),
    Flag("RandomBG", P::Window, "chkRandomBG", 0, 0),
    Flag("MaxImageSizeEqScrnSize", P::Window, "chkMaxImageSizeEqScrnSize", 1, 1),
    Flag("DoNotShrinkImages", P::Window, "chkDoNotShrinkImages", 0, 0),
    Flag("AdjustForPAL", P::Window, "chkAdjustForPAL", 1, 1),
    Flag("Random", P::Window, "chkRandom", 0, 0),
    Flag("Resume", P::Window, "chkResume", 1, 1),
    Flag("ShowNewImagesOnly", P::Window, "chkShowNewImagesOnly", 0, 0),
    Flag("ShowDiffImagesOnly", P::Window, "chkShowDiffImagesOnly", 0, 0),
    Flag("ShowCaption", P::Window, "ShowCaption", 1, 1),
    Flag("CaptionPositionAtTop", P::Window, "CaptionPositionAtTop", 0, 0),
    Flag("ShowTimeInCaption", P::Window, "ShowTimeInCaption", 0, 0),
    Flag("ShowRefreshRateInCaption", P::Window, "ShowRefreshRateInCaption", 0, 0),
    With(Flag("TransparentCaption", P::Window, "TransparentCaption", 0, 0), SettingEffect::CaptionBackground),
    With(Spin("CaptionFontSize", "CaptionFontSize", 28, 28), SettingEffect::CaptionFont),
    Colour(Setting::CaptionColor, "CaptionColor"),
    Colour(Setting::CaptionBG, "CaptionBG"),
    Colour(Setting::BGcolor, "butBGcolor"),
    Time("MinRefreshRate", "dtMinRefreshRate", "00:00:05"),
    Time("MaxRefreshRate", "dtMaxRefreshRate", "03:00:00"),
    Flag("SlowCam", P::Window, "SlowCam", 1, 1),
    Spin("SlowDays", "SlowDays", 1, 1),
    Time("SlowInterval", "SlowInterval", "12:00:00"),
    Flag("InactiveCam", P::Window, "InactiveCam", 1, 1),
    Spin("InactiveDays", "InactiveDays", 3, 3),
    With(Flag("CheckDisabledCams", P::Window, "CheckDisabledCams", 0, 0), SettingEffect::CountDependents),
    Spin("CheckDisabledDays", "CheckDisabledDays", 1, 1),
    Flag("UseProxy", P::Window, "chkProxy", 0, 0),
    ProxyServerSpec(),
    Spin("ProxyPort", "ProxyPort", 8088, 8088),
    Spin("TimeOut", "TimeOut", 30, 30),
    // Extra CA certificates (PEM) for https webcams on a private authority.
    Text(Setting::CaFile, P::Window, "edtCaFile"),
    Spin("SSImageSize", "optSSImageSize", 0, 0),
    With(Spin("SSInterval", "SSInterval", 10, 10), SettingEffect::FastCamMinimum),
    Spin("SSInterval2", "SSInterval2", 10, 10),
    Spin("ImageSize", "spinImageSize", 100, 100),
    // Absent reads 1, which the box raises to its minimum and stores.
    Spin("TimesActualSize", "spinTimesActualSize", 1, 100),
    Flag("ShowPictureAge", P::Window, "chkShowPictureAge", 0, 0),
    Flag("DifferentPerMonitor", P::Window, "chkDifferentPerMonitor", 0, 0),

    Special(Setting::DownloadDir, P::Late),
    Special(Setting::MainListLocation, P::Late),
    Special(Setting::AdultListLocation, P::Late),
    Special(Setting::Categories, P::Late),
    Special(Setting::SelectedCats, P::Late),
    Special(Setting::SelectedCam, P::Late),
    Special(Setting::LastCamAtStartUp, P::Late),
    Flag("EnableSSAdultAds", P::SaverOrConfig, "EnableSSAdultAds", 0, 0),
};

} // namespace

std::span<const SettingSpec> SettingsTable()
{
    return Table;
}

const SettingSpec *FindSetting(const QString &name)
{
    for (const SettingSpec &s : Table)
        if (name == QLatin1String(s.name))
            return &s;
    return nullptr;
}

bool LoadRunsHandler(const SettingSpec &entry, int storedValue)
{
    if (entry.type == SettingType::Flag)
        return (storedValue != 0) != (entry.design != 0);
    return storedValue != entry.design;
}

int SlideIntervalStep(int value)
{
    return value < 10 ? 1 : 5;
}

QDate ParseDateText(const QString &text)
{
    const QDate date = QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        throw ConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

QString FormatDateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QDate DefaultDateForSiteDelete(TDateTime now)
{
    return ToQDateTime(now).date().addMonths(-24);
}

QTime TimeFromValue(TDateTime value)
{
    const double fraction = value - std::floor(value);
    const int ms = int(std::llround(fraction * SecondsPerDay * 1000.0)) % (86400 * 1000);
    return QTime::fromMSecsSinceStartOfDay(ms);
}

TDateTime ValueFromTime(const QTime &time)
{
    return time.msecsSinceStartOfDay() / (SecondsPerDay * 1000.0);
}

DependentStates ComputeDependentStates(const OptionStates &o)
{
    DependentStates d;
    d.proxyFieldsEnabled = o.useProxy;
    d.resumeEnabled = !o.random;
    d.selectedCatsEnabled = !o.showCurrentCamOnly;
    d.swToOneCamEnabled = !o.disableMouseMoveDetect;
    d.captionGroupVisible = o.showCaption;
    d.imageSizeEnabled = o.ssImageSize == 0;
    d.timesActualSizeEnabled = o.ssImageSize == 1;
    return d;
}

CountStates ComputeCountStates(int enabledCount, int adultCount, int enableAA,
                               bool checkDisabledCams)
{
    CountStates c;
    c.slideshowEnabled = enabledCount >= 1 || checkDisabledCams;
    c.ssTimerEnabled = enabledCount >= 1;
    c.adultOffersVisible = adultCount > 0 && enableAA > 0;
    return c;
}

} // namespace lumetta
