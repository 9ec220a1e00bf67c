#include "catalogue/CamEditor.h"

#include "catalogue/Catalogue.h"

namespace lumetta {

namespace {

TDateTime TimeOr(const QString &text, TDateTime fallback, bool &repaired)
{
    if (const auto value = TryParseTimeText(text))
        return *value;
    repaired = true;
    return fallback;
}

QString DateOrNever(const QString &text)
{
    return text.isEmpty() ? FormatDateTimeText(NeverDate()) : text;
}

} // namespace

EditorFields LoadEditorFields(const QString &line, const LocalNameMaker &makeLocalName)
{
    const CamRecord r = CamRecord::fromLine(line);
    EditorFields f;
    f.category = r.category();
    f.imageUrl = r.imageUrl();
    f.homePage = r.field(fHomePage);
    f.refreshRate = TimeOr(r.field(fRefreshRate), NewCamRefreshRate, f.timesRepaired);
    f.startTime = TimeOr(r.field(fStartTime), NewCamStartTime, f.timesRepaired);
    f.endTime = TimeOr(r.field(fEndTime), NewCamEndTime, f.timesRepaired);
    const QString stored = r.localFilename();
    if (f.imageUrl.trimmed().isEmpty())
        f.localFilename.clear();
    else if (!stored.isEmpty() && IsSafeLocalFileName(stored))
        f.localFilename = stored;
    else if (makeLocalName)
        f.localFilename = makeLocalName(f.imageUrl);
    f.lastDownloadTime = DateOrNever(r.field(fLastDownloadTime));
    f.lastModified = DateOrNever(r.field(fLastModified));
    f.autoAdjust = r.autoAdjust();
    f.showLastImage = r.showLastImage();
    return f;
}

QString EditorRecord(const EditorFields &f, const QString &siteName, bool enabled)
{
    CamRecord r;
    r.setField(fCategory, f.category);
    r.setField(fSiteName, siteName);
    r.setField(fImageUrl, f.imageUrl);
    r.setField(fHomePage, f.homePage);
    r.setField(fRefreshRate, FormatTimeText(f.refreshRate));
    r.setField(fStartTime, FormatTimeText(f.startTime));
    r.setField(fEndTime, FormatTimeText(f.endTime));
    r.setField(fLocalFilename, f.localFilename);
    r.setField(fLastDownloadTime, f.lastDownloadTime);
    r.setField(fLastModified, f.lastModified);
    r.setField(fEnabled, FlagText(enabled));
    r.setField(fAutoAdjust, AutoAdjustText(f.autoAdjust));
    r.setField(fShowLastImage, FlagText(f.showLastImage));
    return r.toLine();
}

} // namespace lumetta
