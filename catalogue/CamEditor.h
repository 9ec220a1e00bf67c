#pragma once
// What the editor panel shows of one record, and the record it writes back.
// Loading never fails: a time that cannot be read shows the value a new
// webcam starts with, so one bad line can neither stop start-up nor leave
// the editor half filled.
#include "catalogue/CamRecord.h"

#include <functional>

namespace lumetta {

// The times a new webcam starts with; also what an unreadable time shows.
inline constexpr TDateTime NewCamRefreshRate = 5 * OneSecond;
inline constexpr TDateTime NewCamStartTime = 0;
inline constexpr TDateTime NewCamEndTime = 0;

struct EditorFields {
    QString category;  // loading: as stored; writing: the chosen list entry
    QString imageUrl;
    QString homePage;
    TDateTime refreshRate = NewCamRefreshRate;
    TDateTime startTime = NewCamStartTime;
    TDateTime endTime = NewCamEndTime;
    QString localFilename;
    QString lastDownloadTime;  // shown and written back as text
    QString lastModified;
    AutoAdjustState autoAdjust = AutoAdjustState::On;
    bool showLastImage = false;
    bool timesRepaired = false;  // a time could not be read
};

using LocalNameMaker = std::function<QString(const QString &url)>;

// makeLocalName hands out a name for the URL when the record has none, or
// one that would lead out of the download folder.
EditorFields LoadEditorFields(const QString &line, const LocalNameMaker &makeLocalName);

// Always thirteen fields, whatever the stored line had.
QString EditorRecord(const EditorFields &fields, const QString &siteName, bool enabled);

} // namespace lumetta
