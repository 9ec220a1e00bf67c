#include "download/CamSchedule.h"

#include "catalogue/CamEditor.h"
#include "catalogue/Catalogue.h"
#include "common/Errors.h"
#include "common/Subs.h"
#include "net/HttpUrl.h"

#include <algorithm>
#include <cmath>

namespace lumetta {

namespace {

TDateTime TimeOr(const QString &text, TDateTime fallback)
{
    const auto value = TryParseTimeText(text);
    return value ? *value - std::floor(*value) : fallback;
}

int FlagOr(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

const TDateTime LatestLastModified = 54789;  // 2050-01-01

bool OlderThanDays(TDateTime since, TDateTime now, int days)
{
    return now - since > days;
}

// Raised to the minimum, lowered to the maximum.
TDateTime Bounded(TDateTime rate, const RefreshPolicy &policy)
{
    if (rate < policy.minRefresh)
        rate = policy.minRefresh;
    if (rate > policy.maxRefresh)
        rate = policy.maxRefresh;
    return rate;
}

void ApplySlowAndInactive(Adaptation &a, const CamSchedule &cam, const RefreshPolicy &policy, TDateTime now)
{
    if (policy.slowCam && OlderThanDays(a.lastModified, now, policy.slowDays))
        a.refreshRate = policy.slowInterval;
    if (policy.inactiveCam && OlderThanDays(a.lastModified, now, policy.inactiveDays))
        a.disable = cam.enabled;
}

double FactorFor(TDateTime rate)
{
    const double hour = 1.0 / 24, minute = hour / 60;
    if (rate >= 3 * hour)
        return 0.25;
    if (rate >= hour)
        return 0.4;
    if (rate >= 30 * minute)
        return 0.5;
    if (rate >= 15 * minute)
        return 0.6;
    if (rate >= 5 * minute)
        return 0.7;
    if (rate >= minute)
        return 0.8;
    return 0.9;
}

std::optional<TDateTime> TryHttpDate(const QString &value, int biasMinutes)
{
    if (value.trimmed().isEmpty())
        return std::nullopt;
    try {
        return ParseHttpDate(value, biasMinutes);
    } catch (const Error &) {
        return std::nullopt;
    }
}

} // namespace

CamSchedule ReadCamSchedule(const QString &line, TDateTime now)
{
    CamSchedule cam;
    cam.record = CamRecord::fromLine(line);
    const CamRecord &r = cam.record;
    cam.imageUrl = r.imageUrl();
    cam.siteName = r.siteName().isEmpty() ? cam.imageUrl : r.siteName();
    cam.refreshRate = TimeOr(r.field(fRefreshRate), NewCamRefreshRate);
    cam.startTime = TimeOr(r.field(fStartTime), NewCamStartTime);
    cam.endTime = TimeOr(r.field(fEndTime), NewCamEndTime);
    const auto downloaded = TryParseDateTimeText(r.field(fLastDownloadTime));
    cam.lastDownloadTime = downloaded ? std::min(*downloaded, now) : NeverDate();
    const auto modified = TryParseDateTimeText(r.field(fLastModified));
    const bool kept = modified && *modified <= LatestLastModified;
    // A date ahead of the clock (a clock set back, a wrong one) must not
    // keep the webcam from being due until then. Read as now, every span
    // from the record is at most the true one: it can ask again sooner,
    // never slow or disable a webcam wrongly.
    cam.clockWentBack = (downloaded && *downloaded > now) || (kept && *modified > now);
    cam.lastModified = kept ? std::min(*modified, now) : NeverDate();
    cam.enabled = r.enabled();  // as the list ticks it
    cam.autoAdjust = FlagOr(r.field(fAutoAdjust), 1);
    cam.showLastImage = FlagOr(r.field(fShowLastImage), 0) > 0;
    // The picture is written under this name: it must stay in the folder.
    const QString local = r.localFilename();
    cam.localFilename = IsSafeLocalFileName(local) ? local : QString();
    return cam;
}

QString CamScheduleLine(const CamSchedule &cam, TDateTime now)
{
    CamRecord r = cam.record;
    r.setField(fSiteName, cam.siteName);
    r.setField(fImageUrl, cam.imageUrl);
    r.setField(fRefreshRate, FormatTimeText(cam.refreshRate));
    r.setField(fLocalFilename, cam.localFilename);
    r.setField(fLastDownloadTime, FormatDateTimeText(now));
    r.setField(fLastModified, FormatDateTimeText(cam.lastModified));
    r.setField(fEnabled, QString::number(cam.enabled ? 1 : 0));
    r.setField(fAutoAdjust, QString::number(cam.autoAdjust));
    r.setField(fShowLastImage, QString::number(cam.showLastImage ? 1 : 0));
    return r.toLine();
}

int WholeSeconds(TDateTime interval)
{
    // Hours, minutes and seconds of the time of day, as a clock shows them.
    const qint64 ms = std::llround((interval - std::floor(interval)) * SecondsPerDay * 1000.0);
    return int((ms / 1000) % 86400);
}

Adaptation AdaptWithoutNewPicture(const CamSchedule &cam, const RefreshPolicy &policy, TDateTime now,
                                  bool failed)
{
    Adaptation a{cam.refreshRate, cam.lastModified, cam.autoAdjust, false};
    if (cam.autoAdjust <= 0) {
        if (failed)
            a.retryAfter = std::max(cam.refreshRate, Bounded(now - cam.lastModified, policy));
        return a;
    }
    a.refreshRate = Bounded(now - cam.lastModified, policy);
    ApplySlowAndInactive(a, cam, policy, now);
    return a;
}

Adaptation AdaptToNewPicture(const CamSchedule &cam, const RefreshPolicy &policy, TDateTime now,
                             const QString &dateValue, const QString &lastModifiedValue, int biasMinutes)
{
    Adaptation a{cam.refreshRate, cam.lastModified, cam.autoAdjust, false};
    // The age on the server's own clock does not care how far off it is.
    const TDateTime serverNow = TryHttpDate(dateValue, biasMinutes).value_or(now);
    const auto parsedModified = TryHttpDate(lastModifiedValue, biasMinutes);
    const TDateTime serverModified = parsedModified.value_or(serverNow);
    const TDateTime age = serverNow - serverModified;
    a.lastModified = std::min(now - age, now);

    if (cam.autoAdjust <= 0)
        return a;
    const bool unusable = lastModifiedValue.trimmed().isEmpty() || (parsedModified && *parsedModified > serverNow);
    a.autoAdjust = unusable ? 2 : 1;

    TDateTime candidate;
    if (cam.refreshRate >= policy.maxRefresh)
        candidate = std::nearbyint(policy.displaySeconds / 2.0) * OneSecond;
    else
        candidate = cam.refreshRate * FactorFor(cam.refreshRate);
    // Never below the time the picture had already been standing.
    if (candidate < age)
        candidate = age;
    a.refreshRate = Bounded(candidate, policy);
    ApplySlowAndInactive(a, cam, policy, now);
    return a;
}

AdHeaders ReadAdHeaders(const QStringList &header)
{
    AdHeaders ads;
    ads.camAd = GetHeaderValue(QStringLiteral("X-CamAd"), header) == QLatin1String("1");
    ads.camAdultAd = GetHeaderValue(QStringLiteral("X-CamAAd"), header) == QLatin1String("1");
    ads.link = GetHeaderValue(QStringLiteral("X-AdUrl"), header);
    ads.message = GetHeaderValue(QStringLiteral("X-Msg"), header);
    return ads;
}

QStringList FinalResponseHeader(const QStringList &header)
{
    for (qsizetype i = header.size() - 1; i > 0; --i)
        if (header[i].startsWith(QLatin1String("HTTP/"), Qt::CaseInsensitive))
            return header.mid(i);
    return header;
}

namespace {

// Where the authority of a "scheme://" URL starts and ends; nullopt for
// any other form.
std::optional<std::pair<qsizetype, qsizetype>> Authority(const QString &url)
{
    const qsizetype sep = url.indexOf(QLatin1String("://"));
    if (sep < 0)
        return std::nullopt;
    const qsizetype slash = url.indexOf(u'/', sep + 3);
    return std::pair{sep + 3, slash < 0 ? url.size() : slash};
}

// "user:password@" as the URL writes it, or empty.
QString UserInfoOf(const QString &url)
{
    const auto authority = Authority(url);
    if (!authority)
        return {};
    const auto [from, to] = *authority;
    const qsizetype at = QStringView(url).sliced(from, to - from).lastIndexOf(u'@');
    return at < 0 ? QString() : url.mid(from, at + 1);
}

// The address a Location sends to from base, without any credentials (a
// server never plants ours); nullopt for a form the client would not follow
// to the same place.
std::optional<QString> Resolved(const QString &base, const QString &location)
{
    if (location.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || location.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return WithoutUserInfo(location);
    const QString bare = WithoutUserInfo(base);
    const auto authority = Authority(bare);
    if (!location.startsWith(u'/') || location.startsWith(QLatin1String("//")) || !authority)
        return std::nullopt;
    return bare.left(authority->second) + location;
}

} // namespace

QString RelocatedImageUrl(const QString &imageUrl, const QStringList &header)
{
    if (!imageUrl.endsWith(QLatin1String("jpg"), Qt::CaseInsensitive))
        return imageUrl;
    // Only a permanent move is kept, and only while every hop before it was
    // one: a temporary one (302, 303, 307) points at today's picture and is
    // asked again on every fetch.
    QString target = imageUrl;
    bool moved = false;
    int status = 0;
    for (const QString &line : header) {
        if (line.startsWith(QLatin1String("HTTP/"), Qt::CaseInsensitive)) {
            status = line.section(u' ', 1, 1).toInt();
            continue;
        }
        if (!line.startsWith(QLatin1String("Location:"), Qt::CaseInsensitive))
            continue;
        const auto next = Resolved(target, GetHeaderValue(QStringLiteral("Location"), {line}));
        if ((status != 301 && status != 308) || !next)
            break;
        target = *next;
        moved = true;
        status = 0;  // a second Location in one response ends the run too
    }
    if (!moved || !target.endsWith(QLatin1String("jpg"), Qt::CaseInsensitive) || !IsSafeFieldText(target))
        return imageUrl;
    // The webcam's password stays with its own server, and only there.
    const QString userInfo = UserInfoOf(imageUrl);
    if (!userInfo.isEmpty() && UrlOrigin(target) == UrlOrigin(imageUrl))
        target.insert(Authority(target)->first, userInfo);
    return target;
}

} // namespace lumetta
