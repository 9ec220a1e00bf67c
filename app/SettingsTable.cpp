#include "app/SettingsTable.h"

#include "common/Errors.h"
#include "platform/SettingKeys.h"
#include <QtGlobal>
#include <QCoreApplication>
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

SettingSpec Spin(const RangeKey &key, const char *control, int design)
{
    SettingSpec s = Spin(key.stored.name, control, key.stored.defaultValue, design);
    s.range = std::pair(key.minimum, key.maximum);
    return s;
}

SettingSpec Time(const TimeKey &key, const char *control);

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

SettingSpec Time(const TimeKey &key, const char *control)
{
    return Time(key.stored.name, control, key.stored.defaultValue);
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
    SettingSpec s = Text(Setting::ProxyServer.name, P::Window, "ProxyServer");
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
    Flag(Setting::ShowAdsOnly, P::Admin, "ShowAdsOnly", 0),
    With(Flag("VersionAlert", P::Admin, "VersionAlert", 1, 1), SettingEffect::LatestVersionLabel),
    Text(Setting::SubmissionList, P::Admin, "edtSubmissionList"),
    Text(Setting::MainList, P::Admin, "edtMainList"),
    Text(Setting::AdultList, P::Admin, "edtAdultList"),
    Flag(Setting::Countdown, P::Admin, "chkCountdown", 0),
    Text("AdminScriptUrl", P::Admin, "AdminScriptUrl"),
    Text("AdminCamSubmitUrl", P::Admin, "AdminCamSubmitUrl"),

    Flag("LogErrorCode", P::Early, "chkLogErrorCode", 0, 0),
    Flag(Setting::DebugMode, P::Early, "DebugMode", 0),
    Text(Setting::AltSS, P::Early, "edtAltSS"),
    DateSpec(),
    Special(Setting::AppPath, P::Early),

    IntegerVar(Setting::Left),
    IntegerVar(Setting::Top),
    IntegerVar(Setting::EnableAA),
    Flag("EnableAdultAds", P::Window, "EnableAdultAds", 0, 0),
    Flag(Setting::DisableMouseMoveDetect, P::Window, "chkDisableMouseMoveDetect", 0),
    Flag(Setting::SwToOneCamOnMouseMove, P::Window, "SwToOneCamOnMouseMove", 0),
    Flag(Setting::ShowCurrentCamOnly, P::Window, "ShowCurrentCamOnly", 0),
    Flag(Setting::RandomBG, P::Window, "chkRandomBG", 0),
    Flag(Setting::MaxImageSizeEqScrnSize, P::Window, "chkMaxImageSizeEqScrnSize", 1),
    Flag(Setting::DoNotShrinkImages, P::Window, "chkDoNotShrinkImages", 0),
    Flag(Setting::AdjustForPAL, P::Window, "chkAdjustForPAL", 1),
    Flag(Setting::Random, P::Window, "chkRandom", 0),
    Flag(Setting::Resume, P::Window, "chkResume", 1),
    Flag(Setting::ShowNewImagesOnly, P::Window, "chkShowNewImagesOnly", 0),
    Flag(Setting::ShowDiffImagesOnly, P::Window, "chkShowDiffImagesOnly", 0),
    Flag(Setting::ShowCaption, P::Window, "ShowCaption", 1),
    Flag(Setting::CaptionPositionAtTop, P::Window, "CaptionPositionAtTop", 0),
    Flag(Setting::ShowTimeInCaption, P::Window, "ShowTimeInCaption", 0),
    Flag(Setting::ShowRefreshRateInCaption, P::Window, "ShowRefreshRateInCaption", 0),
    With(Flag(Setting::TransparentCaption, P::Window, "TransparentCaption", 0), SettingEffect::CaptionBackground),
    With(Spin(Setting::CaptionFontSize, "CaptionFontSize", 28), SettingEffect::CaptionFont),
    Colour(Setting::CaptionColor, "CaptionColor"),
    Colour(Setting::CaptionBG, "CaptionBG"),
    Colour(Setting::BGcolor, "butBGcolor"),
    Time(Setting::MinRefreshRate, "dtMinRefreshRate"),
    Time(Setting::MaxRefreshRate, "dtMaxRefreshRate"),
    Flag(Setting::SlowCam, P::Window, "SlowCam", 1),
    Spin(Setting::SlowDays, "SlowDays", 1),
    Time(Setting::SlowInterval, "SlowInterval"),
    Flag(Setting::InactiveCam, P::Window, "InactiveCam", 1),
    Spin(Setting::InactiveDays, "InactiveDays", 3),
    With(Flag(Setting::CheckDisabledCams, P::Window, "CheckDisabledCams", 0), SettingEffect::CountDependents),
    Spin(Setting::CheckDisabledDays, "CheckDisabledDays", 1),
    Flag(Setting::UseProxy, P::Window, "chkProxy", 0),
    ProxyServerSpec(),
    Spin(Setting::ProxyPort, "ProxyPort", 8088),
    Spin(Setting::TimeOut, "TimeOut", 30),
    // Extra CA certificates (PEM) for https webcams on a private authority.
    Text(Setting::CaFile, P::Window, "edtCaFile"),
    Spin(Setting::SSImageSize.name, "optSSImageSize", 0, 0),
    With(Spin(Setting::SSInterval, "SSInterval", 10), SettingEffect::FastCamMinimum),
    Spin(Setting::SSInterval2, "SSInterval2", 10),
    Spin(Setting::ImageSize, "spinImageSize", 100),
    // Absent reads 1, which the box raises to its minimum and stores.
    Spin(Setting::TimesActualSize, "spinTimesActualSize", 100),
    Flag(Setting::ShowPictureAge, P::Window, "chkShowPictureAge", 0),
    Flag(Setting::DifferentPerMonitor, P::Window, "chkDifferentPerMonitor", 0),

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
        throw ConvertError(QCoreApplication::translate("SettingsTable", "'%1' is not a valid date").arg(text));
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
