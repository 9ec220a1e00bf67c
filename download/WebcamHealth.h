#pragma once
// What each webcam did while the show ran: kept beside the pictures in
// "health.json", apart from the catalogue so its format stays as it is.
// The show records every fetch; the health page and the picture-age badge
// read it.
#include "common/DateTime.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace lumetta {

// What the refresh rules last did to a webcam.
enum class RuleEvent { None, Slowed, DisabledByRule, ReEnabled };

struct WebcamHealth {
    TDateTime lastAttempt = 0;     // 0: never
    TDateTime lastNewPicture = 0;
    TDateTime lastFailure = 0;
    QString lastReason;            // the fetch's own text
    int failuresInARow = 0;
    bool lastUnchanged = false;    // the last answer was the picture already held
    int showFetches = 0;           // in the last show
    qint64 showBytes = 0;
    RuleEvent rule = RuleEvent::None;
    TDateTime ruleTime = 0;
};

// One fetch as the show saw it.
struct FetchOutcome {
    bool newPicture = false;
    bool unchanged = false;    // the server sent the picture already held
    QString failure;
    qint64 bytes = 0;
};

void RecordFetch(WebcamHealth &health, const FetchOutcome &fetch, TDateTime now);

// The record before and after the rules ran on it.
struct RuleChange {
    bool enabledBefore = true, enabledAfter = true;
    TDateTime refreshBefore = 0, refreshAfter = 0;
    TDateTime slowInterval = 0;
};
void RecordRules(WebcamHealth &health, const RuleChange &change, TDateTime now);

enum class HealthState { NewPicture, Unchanged, Failing, Slow, DisabledByRule, DisabledByYou, NeverFetched };

HealthState DescribeHealth(const WebcamHealth &health, bool enabled);
QString HealthStateText(HealthState state);
// What "Only problems" keeps.
bool IsProblem(HealthState state);

// One line of the health page.
struct HealthRow {
    QString name;
    HealthState state = HealthState::NeverFetched;
    TDateTime pictureAge = -1;  // -1: no picture yet
    TDateTime interval = 0;     // the learned refresh interval
    QString reason;             // of the last failure
};
// pictureHeld: the webcam's picture is in the download folder; a record's
// date means nothing without one.
HealthRow DescribeWebcam(const QString &recordLine, const WebcamHealth *health, bool pictureHeld, TDateTime now);

// The health of every webcam, by image URL without its user and password
// (so a URL with them finds the same entry).
class HealthBook {
public:
    // "health.json" in the download folder.
    static QString FileIn(const QString &downloadFolder);

    // A missing, unreadable or garbled file gives an empty book: health is
    // advice, never a reason to stop the show.
    void load(const QString &file);
    // Atomic: a crash during the save leaves the old file whole. False
    // with the reason when it could not be written. Readable by the user
    // alone.
    bool save(QString *reason = nullptr) const;

    const WebcamHealth *find(const QString &url) const;
    WebcamHealth &entry(const QString &url);
    // A webcam that moved keeps its history under its new address.
    void move(const QString &from, const QString &to);
    // Webcams that left the catalogue go, so the book grows no larger than it.
    void keepOnly(const QStringList &urls);
    // The counts of "the last show" start again.
    void beginShow();
    int size() const { return int(m_entries.size()); }

private:
    QString m_file;
    QHash<QString, WebcamHealth> m_entries;
};

} // namespace lumetta
