#pragma once
// What each webcam did while the show ran: kept beside the pictures in
// "health.db", apart from the catalogue so its format stays as it is.
// The show records every fetch as one row; the health page and the
// picture-age badge read it.
#include "common/DateTime.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <thread>
#include <unordered_map>

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
// The picture the last fetch brought could not be decoded: that fetch
// failed after all, with the decoder's reason.
void RecordBadPicture(WebcamHealth &health, const QString &reason, TDateTime now);

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

struct HealthStore;

// The health of every webcam, by image URL without its user and password
// (so a URL with them finds the same entry). Read and written row by row:
// a fetch costs one small write and opening costs nothing, whatever the
// catalogue's size.
class HealthBook {
public:
    HealthBook();
    ~HealthBook();
    HealthBook(const HealthBook &) = delete;
    HealthBook &operator=(const HealthBook &) = delete;

    // "health.db" in the download folder.
    static QString FileIn(const QString &downloadFolder);

    // Opens the book and carries over the "health.json" an older version
    // left beside it. A file that cannot be opened or is damaged never stops
    // the show: a damaged one is kept aside as "health.db.bad" and a fresh
    // book started; one that cannot be opened yet leaves the book in memory
    // until a save finds it can.
    void load(const QString &file);
    // The webcam's entry as it stands, to the file. False with the reason
    // when it could not be written.
    bool save(const QString &url, QString *reason = nullptr);

    // Read from the file each time, so a second program on the same book
    // (the main window and the screen saver) sees and adds to its rows;
    // an entry taken and not yet saved is read as changed. Valid until the
    // next call.
    const WebcamHealth *find(const QString &url) const;
    WebcamHealth &entry(const QString &url);
    // A webcam that moved keeps its history under its new address.
    void move(const QString &from, const QString &to);
    // Webcams that left the catalogue go, so the book grows no larger than
    // it; rows written since beginShow stay. The file is pruned beside the
    // show; closing the book waits for it.
    void keepOnly(const QStringList &urls);
    // The counts of "the last show" start again.
    void beginShow();
    int size() const;

    // What went wrong since the last call, each said once, for the debug log.
    QStringList takeNotices();
    // A limit that kept history out, for the health page; empty when none.
    const QString &limitReached() const { return m_limitReached; }

private:
    void note(const QString &text);
    bool open();
    void settle();
    void carryOver(const QString &oldFile);
    bool writeRow(const QString &key, const WebcamHealth &health);
    void readRow(const QString &key) const;

    QString m_file;
    // The rows read, by key; the whole book when it is in memory only.
    mutable std::unordered_map<QString, WebcamHealth> m_entries;
    QSet<QString> m_taken;  // by entry(), not yet saved
    std::unique_ptr<HealthStore> m_store;  // null: kept in memory only
    qint64 m_show = 0;  // counts of earlier shows read as none
    std::thread m_upkeep;
    QStringList m_notices;
    QString m_limitReached;
    bool m_writeFailed = false;
    bool m_openFailed = false;
};

} // namespace lumetta
