#pragma once
// The webcam list format: lines of "||"-joined fields, refresh in seconds and
// times of day in UTC. Reading, filtering and merging a list into the
// catalogue are plain functions over text, so they are tested without a
// display and fuzzed alone.
#include "common/DateTime.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lumetta {

// The webcam lines of a list file (blank lines left out): CR LF, LF or CR
// line ends, 8-bit text.
QStringList ReadListLines(const QByteArray &content);
// The same read from a file on disk: none when it cannot be read, is not a
// regular file or is larger than any list download may be.
QStringList ReadListFile(const QString &path);
// True when a list holds no webcam line at all.
bool ListIsBlank(const QStringList &lines);

// What the dialog shows for a line: category " - " name, as plain text.
QString ListDisplayText(const QString &line);
QStringList ListDisplayTexts(const QStringList &lines);

// The filter reloads the file when the previous text is not part of the new
// one, or when the new text is a single character.
bool FilterNeedsReload(const QString &previous, const QString &text);
// The indexes of the display texts that contain the filter (ignoring case),
// in order; an empty filter keeps all.
QList<int> FilterMatches(const QStringList &displayTexts, const QString &filter);

// One list line made safe for the catalogue: a local file name that is not a
// bare name is dropped, control characters become blanks and no field ends
// in a bar.
QStringList SanitizedListFields(const QStringList &fields);

// The merge of ticked list lines into the catalogue.
struct MergeInput {
    QStringList lines;     // the import list
    QList<bool> ticked;    // index-parallel to lines; missing reads unticked
    QStringList camData;   // the catalogue's records, before the merge
    QStringList categories;
    int biasMinutes = 0;   // minutes to add to local time to get UTC
};

struct MergeResult {
    int selected = 0;
    int duplicates = 0;
    QStringList newRecords;  // to append in this order
    // 1-based numbers of ticked lines left out because a refresh or time
    // cannot be written as a time of day.
    QList<int> rejected;
};

MergeResult MergeListLines(const MergeInput &input);

// "Selected sites: ..." after a merge.
QString MergeReport(const MergeResult &result);
// Said after the report when lines were left out; empty when none were.
QString RejectedLinesMessage(const MergeResult &result);

// Collected submissions: sorted once ignoring case; of several lines whose
// image URL occurs in a later line only the last stays.
QStringList ReduceSubmissions(QStringList lines);

} // namespace lumetta
