#include "service/Submission.h"

#include "catalogue/CamRecord.h"
#include "common/Subs.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <QCoreApplication>

namespace lumetta {

QString SubmissionPath()
{
    return QStringLiteral("/cgi-bin/addcam.cgi");
}

QString SubmissionMarker()
{
    return QStringLiteral("Email: ") + SubmissionEmail.left(SubmissionEmail.indexOf(QLatin1Char('@')) + 1);
}

QString SubmissionText(const QString &english)
{
    return QCoreApplication::translate("Submission", english.toUtf8().constData());
}

std::optional<SubmissionRefusal> CheckSubmission(int exeSwitch, bool hasSelection,
                                                 const QString &lastModified, TDateTime now)
{
    if (exeSwitch == 0)
        return SubmissionRefusal{SubmissionText(SubmissionDisabledMessage), false};
    if (!hasSelection)
        return SubmissionRefusal{SubmissionText(SubmissionNoSelectionMessage), false};
    const auto lm = TryParseDateTimeText(lastModified);
    if (lastModified.trimmed().isEmpty() || !lm)
        return SubmissionRefusal{SubmissionText(SubmissionUntestedMessage), true};
    if (now - *lm > 60.0)
        return SubmissionRefusal{SubmissionText(SubmissionInactiveMessage), true};
    return std::nullopt;
}

namespace {

int SecondsOfDay(TDateTime t)
{
    const double frac = t - std::floor(t);
    return int(std::lround(frac * SecondsPerDay)) % 86400;
}

// Time of day of a local time as UTC, as text.
QString UtcTimeText(TDateTime local, int biasMinutes)
{
    const int s = ((SecondsOfDay(local) + biasMinutes * 60) % 86400 + 86400) % 86400;
    return FormatTimeText(s * OneSecond);
}

} // namespace

QString SubmissionQuery(const SubmissionFields &f, int biasMinutes)
{
    return QStringLiteral("?category=") + EncodeQueryValue(f.category)
           + QStringLiteral("&webcam=") + EncodeQueryValue(f.siteName)
           + QStringLiteral("&image=") + EncodeQueryValue(f.imageUrl)
           + QStringLiteral("&homepage=") + EncodeQueryValue(f.homePage)
           + QStringLiteral("&RefreshRate=") + FormatTimeText(SecondsOfDay(f.refreshRate) * OneSecond)
           + QStringLiteral("&StartTime=") + UtcTimeText(f.startTime, biasMinutes)
           + QStringLiteral("&EndTime=") + UtcTimeText(f.endTime, biasMinutes)
           + QStringLiteral("&email=") + SubmissionEmail
           + QStringLiteral("&other=") + f.version;
}

std::optional<int> ExeSwitchFromHeader(const QString &value)
{
    if (value.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int v = value.toInt(&ok);
    return ok ? v : 1;
}

bool ListHasImageUrl(const QStringList &lines, const QString &url)
{
    return std::any_of(lines.begin(), lines.end(), [&](const QString &line) {
        return !line.trimmed().isEmpty() && SplitFields(line, FieldSeparator).field(fImageUrl) == url;
    });
}

MasterLists BuildMasterLists(const QStringList &camData, int biasMinutes)
{
    const auto less = [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    };
    std::set<QString, decltype(less)> main(less), adult(less);
    MasterLists out;
    for (const QString &line : camData) {
        const CamRecord r = CamRecord::fromLine(line);
        if (r.siteName().startsWith(QLatin1Char('-')) || !r.enabled())
            continue;
        const auto refresh = TryParseTimeText(r.field(fRefreshRate));
        const auto start = TryParseTimeText(r.field(fStartTime));
        const auto end = TryParseTimeText(r.field(fEndTime));
        if (!refresh || !start || !end) {
            // A webcam that cannot be written stops the export: a list
            // missing it would look complete.
            const QString bad = !refresh ? r.field(fRefreshRate) : !start ? r.field(fStartTime) : r.field(fEndTime);
            out.error = QCoreApplication::translate("Submission",
                                                    "The webcam \"%1\" has the time \"%2\", which cannot be read.\r\n"
                                                    "Nothing was exported.")
                            .arg(r.siteName(), bad);
            return out;
        }
        const QString entry = QStringList{r.category(), r.siteName(), r.imageUrl(), r.field(fHomePage),
                                          QString::number(std::lround(*refresh * SecondsPerDay)),
                                          UtcTimeText(*start, biasMinutes), UtcTimeText(*end, biasMinutes)}
                                  .join(FieldSeparator);
        (r.category().toLower() == QLatin1String("adult") ? adult : main).insert(entry);
    }
    out.main = QStringList(main.begin(), main.end());
    out.adult = QStringList(adult.begin(), adult.end());
    return out;
}

QString ExportReport(std::optional<int> mainCount, std::optional<int> adultCount)
{
    QString message;
    if (mainCount)
        message += QCoreApplication::translate("Submission", "%1 main webcams exported\r\n").arg(*mainCount);
    if (adultCount)
        message += QCoreApplication::translate("Submission", "%1 adult webcams exported\r\n").arg(*adultCount);
    return message;
}

} // namespace lumetta
