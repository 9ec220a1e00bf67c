#include "download/WebcamHealth.h"

#include "catalogue/CamRecord.h"
#include "common/AtomicFile.h"
#include "common/Subs.h"
#include "net/HttpUrl.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

namespace lumetta {

namespace {

// Far beyond 10,000 webcams' worth; a bigger file is not ours.
constexpr qint64 MaxHealthFileBytes = 32 * 1024 * 1024;
constexpr int MaxReasonLength = 500;

// The book is readable beside the pictures: it never holds a password.
QString HealthKey(const QString &url)
{
    return WithoutUserInfo(url);
}

const char *RuleName(RuleEvent rule)
{
    switch (rule) {
    case RuleEvent::Slowed:
        return "slowed";
    case RuleEvent::DisabledByRule:
        return "disabled";
    case RuleEvent::ReEnabled:
        return "re-enabled";
    case RuleEvent::None:
        break;
    }
    return "";
}

RuleEvent RuleFromName(const QString &name)
{
    for (RuleEvent r : {RuleEvent::Slowed, RuleEvent::DisabledByRule, RuleEvent::ReEnabled})
        if (name == QLatin1String(RuleName(r)))
            return r;
    return RuleEvent::None;
}

QJsonValue TimeValue(TDateTime t)
{
    return t > 0 ? QJsonValue(FormatDateTimeText(t)) : QJsonValue();
}

TDateTime ReadTime(const QJsonObject &o, const char *name)
{
    return TryParseDateTimeText(o.value(QLatin1String(name)).toString()).value_or(0);
}

QJsonObject ToJson(const WebcamHealth &h)
{
    QJsonObject o;
    o.insert(QStringLiteral("lastAttempt"), TimeValue(h.lastAttempt));
    o.insert(QStringLiteral("lastNewPicture"), TimeValue(h.lastNewPicture));
    o.insert(QStringLiteral("lastFailure"), TimeValue(h.lastFailure));
    o.insert(QStringLiteral("lastReason"), h.lastReason);
    o.insert(QStringLiteral("failuresInARow"), h.failuresInARow);
    o.insert(QStringLiteral("lastUnchanged"), h.lastUnchanged);
    o.insert(QStringLiteral("showFetches"), h.showFetches);
    o.insert(QStringLiteral("showBytes"), double(h.showBytes));
    o.insert(QStringLiteral("rule"), QLatin1String(RuleName(h.rule)));
    o.insert(QStringLiteral("ruleTime"), TimeValue(h.ruleTime));
    return o;
}

WebcamHealth FromJson(const QJsonObject &o)
{
    WebcamHealth h;
    h.lastAttempt = ReadTime(o, "lastAttempt");
    h.lastNewPicture = ReadTime(o, "lastNewPicture");
    h.lastFailure = ReadTime(o, "lastFailure");
    h.lastReason = o.value(QLatin1String("lastReason")).toString().left(MaxReasonLength);
    h.failuresInARow = std::max(0, o.value(QLatin1String("failuresInARow")).toInt());
    h.lastUnchanged = o.value(QLatin1String("lastUnchanged")).toBool();
    h.showFetches = std::max(0, o.value(QLatin1String("showFetches")).toInt());
    h.showBytes = std::max<qint64>(0, qint64(o.value(QLatin1String("showBytes")).toDouble()));
    h.rule = RuleFromName(o.value(QLatin1String("rule")).toString());
    h.ruleTime = ReadTime(o, "ruleTime");
    return h;
}

} // namespace

void RecordFetch(WebcamHealth &h, const FetchOutcome &fetch, TDateTime now)
{
    h.lastAttempt = now;
    ++h.showFetches;
    h.showBytes += std::max<qint64>(0, fetch.bytes);
    h.lastUnchanged = !fetch.newPicture && fetch.unchanged;
    if (fetch.newPicture || fetch.unchanged) {
        h.failuresInARow = 0;
        if (fetch.newPicture)
            h.lastNewPicture = now;
        return;
    }
    ++h.failuresInARow;
    h.lastFailure = now;
    h.lastReason = fetch.failure.left(MaxReasonLength);
}

void RecordRules(WebcamHealth &h, const RuleChange &c, TDateTime now)
{
    RuleEvent event = RuleEvent::None;
    if (c.enabledBefore && !c.enabledAfter)
        event = RuleEvent::DisabledByRule;
    else if (!c.enabledBefore && c.enabledAfter)
        event = RuleEvent::ReEnabled;
    else if (c.refreshAfter != c.refreshBefore && c.refreshAfter == c.slowInterval)
        event = RuleEvent::Slowed;
    if (event == RuleEvent::None)
        return;
    h.rule = event;
    h.ruleTime = now;
}

HealthState DescribeHealth(const WebcamHealth &h, bool enabled)
{
    if (!enabled)
        return h.rule == RuleEvent::DisabledByRule ? HealthState::DisabledByRule : HealthState::DisabledByYou;
    if (h.lastAttempt <= 0)
        return HealthState::NeverFetched;
    if (h.failuresInARow > 0)
        return HealthState::Failing;
    // Slowed and no new picture since.
    if (h.rule == RuleEvent::Slowed && h.lastNewPicture < h.ruleTime)
        return HealthState::Slow;
    return h.lastUnchanged ? HealthState::Unchanged : HealthState::NewPicture;
}

QString HealthStateText(HealthState state)
{
    switch (state) {
    case HealthState::NewPicture:
        return QStringLiteral("New picture");
    case HealthState::Unchanged:
        return QStringLiteral("Unchanged");
    case HealthState::Failing:
        return QStringLiteral("Failing");
    case HealthState::Slow:
        return QStringLiteral("Slow");
    case HealthState::DisabledByRule:
        return QStringLiteral("Disabled by rule");
    case HealthState::DisabledByYou:
        return QStringLiteral("Disabled by you");
    case HealthState::NeverFetched:
        break;
    }
    return QStringLiteral("Never fetched");
}

bool IsProblem(HealthState state)
{
    return state == HealthState::Failing || state == HealthState::Slow || state == HealthState::DisabledByRule;
}

HealthRow DescribeWebcam(const QString &recordLine, const WebcamHealth *health, bool pictureHeld, TDateTime now)
{
    const CamRecord record = CamRecord::fromLine(recordLine);
    const WebcamHealth h = health ? *health : WebcamHealth();
    HealthRow row;
    row.name = record.siteName();
    row.state = DescribeHealth(h, record.enabled());
    row.interval = TryParseTimeText(record.field(fRefreshRate)).value_or(0);
    const TDateTime picture = TryParseDateTimeText(record.field(fLastModified)).value_or(0);
    if (pictureHeld && picture > 0)
        row.pictureAge = std::max(0.0, now - picture);
    row.reason = h.failuresInARow > 0 || row.state == HealthState::DisabledByRule ? h.lastReason : QString();
    return row;
}

QString HealthBook::FileIn(const QString &downloadFolder)
{
    return QDir(downloadFolder).filePath(QStringLiteral("health.json"));
}

void HealthBook::load(const QString &file)
{
    m_file = file;
    m_entries.clear();
    const FileRead read = ReadRegularFile(file, MaxHealthFileBytes);
    if (!read.bytes)
        return;
    const QJsonObject webcams =
        QJsonDocument::fromJson(*read.bytes).object().value(QLatin1String("webcams")).toObject();
    for (auto it = webcams.begin(); it != webcams.end(); ++it) {
        if (!it.value().isObject())
            continue;
        // Keys an older book wrote with credentials are cleaned; of two
        // that become one, the later fetch's record stays.
        const WebcamHealth h = FromJson(it.value().toObject());
        const auto held = m_entries.constFind(HealthKey(it.key()));
        if (held == m_entries.cend() || held->lastAttempt < h.lastAttempt)
            m_entries.insert(HealthKey(it.key()), h);
    }
}

bool HealthBook::save(QString *reason) const
{
    if (m_file.isEmpty())
        return true;
    QJsonObject webcams;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        webcams.insert(it.key(), ToJson(it.value()));
    QJsonObject root;
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("webcams"), webcams);
    // The folder also holds files named by servers: never write through a link.
    AtomicFileWriter out(m_file, ExistingLink::Replace);
    out.setMode(0600);
    if (out.open() && out.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) && out.commit())
        return true;
    if (reason)
        *reason = out.errorString();
    return false;
}

const WebcamHealth *HealthBook::find(const QString &url) const
{
    const auto it = m_entries.constFind(HealthKey(url));
    return it == m_entries.cend() ? nullptr : &*it;
}

WebcamHealth &HealthBook::entry(const QString &url)
{
    return m_entries[HealthKey(url)];
}

void HealthBook::move(const QString &from, const QString &to)
{
    const QString fromKey = HealthKey(from), toKey = HealthKey(to);
    if (fromKey == toKey || !m_entries.contains(fromKey))
        return;
    m_entries.insert(toKey, m_entries.take(fromKey));
}

void HealthBook::keepOnly(const QStringList &urls)
{
    QSet<QString> kept;
    kept.reserve(urls.size());
    for (const QString &url : urls)
        kept.insert(HealthKey(url));
    m_entries.removeIf([&kept](QHash<QString, WebcamHealth>::iterator it) { return !kept.contains(it.key()); });
}

void HealthBook::beginShow()
{
    for (WebcamHealth &h : m_entries) {
        h.showFetches = 0;
        h.showBytes = 0;
    }
}

} // namespace lumetta
