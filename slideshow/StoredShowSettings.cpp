#include "slideshow/StoredShowSettings.h"

#include "common/Subs.h"
#include "common/Errors.h"
#include "platform/SettingKeys.h"

#include <algorithm>

namespace lumetta {

namespace {

// A value of the wrong type reads as its default: a damaged store must not
// stop the screen saver.
template <typename Key>
auto Read(const Key &key, decltype(ReadSetting(key)) fallback)
{
    try {
        return ReadSetting(key);
    } catch (const RegistryError &) {
        return fallback;
    }
}

bool Read(const FlagKey &key)
{
    return Read(key, key.defaultValue);
}

int Read(const RangeKey &key)
{
    return Read(key, std::clamp(key.stored.defaultValue, key.minimum, key.maximum));
}

TDateTime Read(const TimeKey &key)
{
    return Read(key, ParseTimeText(QString::fromLatin1(key.stored.defaultValue)));
}

} // namespace

ShowSettings ReadShowSettings(const QString &programFolder)
{
    ShowSettings s;
    s.displaySeconds = Read(Setting::SSInterval);
    // The window raises the fast-cam box's minimum to the display time.
    s.fastCamSeconds = std::clamp(Read(Setting::SSInterval2.stored, 10), s.displaySeconds,
                                  Setting::SSInterval2.maximum);
    s.random = Read(Setting::Random);
    s.resume = Read(Setting::Resume);
    s.currentOnly = Read(Setting::ShowCurrentCamOnly);
    s.noLocalImages = Read(Setting::ShowNewImagesOnly);
    s.differentOnly = Read(Setting::ShowDiffImagesOnly);
    s.showTimeInCaption = Read(Setting::ShowTimeInCaption);
    s.showRefreshInCaption = Read(Setting::ShowRefreshRateInCaption);
    s.randomBackground = Read(Setting::RandomBG);
    s.background = Read(Setting::BGcolor, QColor(Qt::black));
    RefreshPolicy &p = s.policy;
    p.minRefresh = Read(Setting::MinRefreshRate);
    p.maxRefresh = Read(Setting::MaxRefreshRate);
    p.slowCam = Read(Setting::SlowCam);
    p.slowDays = Read(Setting::SlowDays);
    p.slowInterval = Read(Setting::SlowInterval);
    p.inactiveCam = Read(Setting::InactiveCam);
    p.inactiveDays = Read(Setting::InactiveDays);
    p.checkDisabledCams = Read(Setting::CheckDisabledCams);
    p.checkDisabledDays = Read(Setting::CheckDisabledDays);
    p.displaySeconds = s.displaySeconds;
    const QString images = programFolder + QStringLiteral("images");
    QString folder = images;
    try {
        folder = ReadSetting(Setting::DownloadDir, images);
    } catch (const RegistryError &) {
    }
    s.downloadDir = WithTrailingSlash(folder);
    s.timeOutSeconds = Read(Setting::TimeOut);
    return s;
}

DisplaySettings ReadDisplaySettings()
{
    DisplaySettings s;
    s.size.ssImageSize = Read(Setting::SSImageSize, 0) == 1 ? 1 : 0;
    s.size.imageSizePercent = Read(Setting::ImageSize);
    s.size.timesActualSizePercent = Read(Setting::TimesActualSize);
    s.size.doNotShrinkImages = Read(Setting::DoNotShrinkImages);
    s.size.shrinkToScreen = Read(Setting::MaxImageSizeEqScrnSize);
    s.size.adjustForPAL = Read(Setting::AdjustForPAL);
    s.showCaption = Read(Setting::ShowCaption);
    s.showPictureAge = Read(Setting::ShowPictureAge);
    s.differentPerMonitor = Read(Setting::DifferentPerMonitor);
    s.transparentCaption = Read(Setting::TransparentCaption);
    s.captionPositionAtTop = Read(Setting::CaptionPositionAtTop);
    s.captionColor = Read(Setting::CaptionColor, QColor(Qt::red));
    s.captionBackground = Read(Setting::CaptionBG, QColor(Qt::black));
    s.captionFontSize = Read(Setting::CaptionFontSize);
    s.showAdsOnly = Read(Setting::ShowAdsOnly);
    s.disableMouseMoveDetect = Read(Setting::DisableMouseMoveDetect);
    s.swToOneCamOnMouseMove = Read(Setting::SwToOneCamOnMouseMove);
    s.showCountdown = Read(Setting::Countdown);
    s.debugMode = Read(Setting::DebugMode);
    return s;
}

FetchSettings ReadFetchSettings()
{
    FetchSettings f;
    f.useProxy = Read(Setting::UseProxy);
    f.proxyServer = Read(Setting::ProxyServer, QString());
    f.proxyPort = Read(Setting::ProxyPort);
    f.caFile = Read(Setting::CaFile, QString()).trimmed();
    return f;
}

} // namespace lumetta
