#include "download/WebcamHealth.h"

#include "catalogue/CamRecord.h"
#include "common/Subs.h"
#include "net/HttpUrl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <atomic>
#include <thread>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumetta {

namespace {

// The file older versions kept, carried over once: about 600 bytes a
// webcam, so this holds some 200,000 webcams.
constexpr qint64 MaxOldFileBytes = 128 * 1024 * 1024;
// Long enough for a second program's write to end: our writes are one row.
constexpr int BusyTimeoutMs = 2000;
// SQLite's own default: a journal of about 4 MB.
constexpr int CheckpointPages = 1000;
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

TDateTime ReadTime(const QJsonObject &o, const char *name)
{
    return TryParseDateTimeText(o.value(QLatin1String(name)).toString()).value_or(0);
}

// Whatever the file held, counts are never negative and a reason stays short.
WebcamHealth Bounded(WebcamHealth h)
{
    h.lastReason.truncate(MaxReasonLength);
    h.failuresInARow = std::max(0, h.failuresInARow);
    h.showFetches = std::max(0, h.showFetches);
    h.showBytes = std::max<qint64>(0, h.showBytes);
    return h;
}

WebcamHealth FromJson(const QJsonObject &o)
{
    WebcamHealth h;
    h.lastAttempt = ReadTime(o, "lastAttempt");
    h.lastNewPicture = ReadTime(o, "lastNewPicture");
    h.lastFailure = ReadTime(o, "lastFailure");
    h.lastReason = o.value(QLatin1String("lastReason")).toString();
    h.failuresInARow = o.value(QLatin1String("failuresInARow")).toInt();
    h.lastUnchanged = o.value(QLatin1String("lastUnchanged")).toBool();
    h.showFetches = o.value(QLatin1String("showFetches")).toInt();
    h.showBytes = qint64(o.value(QLatin1String("showBytes")).toDouble());
    h.rule = RuleFromName(o.value(QLatin1String("rule")).toString());
    h.ruleTime = ReadTime(o, "ruleTime");
    return Bounded(h);
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

void RecordBadPicture(WebcamHealth &h, const QString &reason, TDateTime now)
{
    ++h.failuresInARow;
    h.lastFailure = now;
    h.lastReason = reason.left(MaxReasonLength);
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
        return QCoreApplication::translate("WebcamHealth", "New picture");
    case HealthState::Unchanged:
        return QCoreApplication::translate("WebcamHealth", "Unchanged");
    case HealthState::Failing:
        return QCoreApplication::translate("WebcamHealth", "Failing");
    case HealthState::Slow:
        return QCoreApplication::translate("WebcamHealth", "Slow");
    case HealthState::DisabledByRule:
        return QCoreApplication::translate("WebcamHealth", "Disabled by rule");
    case HealthState::DisabledByYou:
        return QCoreApplication::translate("WebcamHealth", "Disabled by you");
    case HealthState::NeverFetched:
        break;
    }
    return QCoreApplication::translate("WebcamHealth", "Never fetched");
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

namespace {

const char *const Schema =
    "CREATE TABLE IF NOT EXISTS health(url TEXT PRIMARY KEY NOT NULL, lastAttempt REAL, lastNewPicture REAL,"
    " lastFailure REAL, lastReason TEXT, failuresInARow INTEGER, lastUnchanged INTEGER, showFetches INTEGER,"
    " showBytes INTEGER, rule TEXT, ruleTime REAL, show INTEGER) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS book(name TEXT PRIMARY KEY NOT NULL, value INTEGER) WITHOUT ROWID";
// untranslated: columns of the database
const char *const Columns = "url, lastAttempt, lastNewPicture, lastFailure, lastReason, failuresInARow, "
                            "lastUnchanged, showFetches, showBytes, rule, ruleTime, show";
const char *const Values = "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)";

QString OldFileBeside(const QString &file)
{
    return QFileInfo(file).dir().filePath(QStringLiteral("health.json"));
}

bool IsDamage(int rc)
{
    return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
}

// One prepared statement, finalised on every path.
class Statement {
public:
    Statement(sqlite3 *db, const QByteArray &sql)
    {
        m_rc = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_s, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_s); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bindText(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindInteger(int i, qint64 value) { sqlite3_bind_int64(m_s, i, value); }
    void bindRow(const QString &key, const WebcamHealth &h, qint64 show)
    {
        bindText(1, key);
        sqlite3_bind_double(m_s, 2, h.lastAttempt);
        sqlite3_bind_double(m_s, 3, h.lastNewPicture);
        sqlite3_bind_double(m_s, 4, h.lastFailure);
        bindText(5, h.lastReason);
        sqlite3_bind_int(m_s, 6, h.failuresInARow);
        sqlite3_bind_int(m_s, 7, h.lastUnchanged);
        sqlite3_bind_int(m_s, 8, h.showFetches);
        sqlite3_bind_int64(m_s, 9, h.showBytes);
        bindText(10, QLatin1String(RuleName(h.rule)));
        sqlite3_bind_double(m_s, 11, h.ruleTime);
        sqlite3_bind_int64(m_s, 12, show);
    }
    // SQLITE_ROW, SQLITE_DONE or the failure.
    int step()
    {
        if (m_rc == SQLITE_OK || m_rc == SQLITE_ROW)
            m_rc = sqlite3_step(m_s);
        return m_rc;
    }
    // Runs to the end and makes the statement ready for the next use.
    bool run()
    {
        const bool done = step() == SQLITE_DONE;
        sqlite3_reset(m_s);
        sqlite3_clear_bindings(m_s);
        if (m_s)
            m_rc = SQLITE_OK;
        return done;
    }
    QString text(int i) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_s, i)),
                                 sqlite3_column_bytes(m_s, i));
    }
    qint64 integer(int i) const { return sqlite3_column_int64(m_s, i); }
    // A row of Columns; counts of an earlier show than `show` read as none.
    WebcamHealth row(qint64 show) const
    {
        WebcamHealth h;
        h.lastAttempt = sqlite3_column_double(m_s, 1);
        h.lastNewPicture = sqlite3_column_double(m_s, 2);
        h.lastFailure = sqlite3_column_double(m_s, 3);
        h.lastReason = text(4);
        h.failuresInARow = sqlite3_column_int(m_s, 5);
        h.lastUnchanged = sqlite3_column_int(m_s, 6) != 0;
        if (integer(11) >= show) {
            h.showFetches = sqlite3_column_int(m_s, 7);
            h.showBytes = integer(8);
        }
        h.rule = RuleFromName(text(9));
        h.ruleTime = sqlite3_column_double(m_s, 10);
        return Bounded(h);
    }

private:
    sqlite3_stmt *m_s = nullptr;
    int m_rc;
};

// A link in the book's place, or in its journal's, is never followed.
sqlite3 *OpenConnection(const QByteArray &name, int &rc)
{
    sqlite3 *db = nullptr;
    rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (db) {
        sqlite3_busy_timeout(db, BusyTimeoutMs);
    }
    return db;
}

} // namespace

struct HealthStore {
    ~HealthStore()
    {
        if (checkpointer.joinable())
            checkpointer.join();
        upsert.reset();
        select.reset();
        sqlite3_close_v2(db);
    }
    bool exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(db)); }
    // All or nothing; false with lastError.
    bool transaction(const std::function<bool()> &work)
    {
        if (exec("BEGIN IMMEDIATE")) {
            if (work() && exec("COMMIT"))
                return true;
            lastError = error();
            exec("ROLLBACK");
        } else {
            lastError = error();
        }
        return false;
    }
    // Copying the journal into the book syncs the disk: done beside the
    // show on a connection of its own, never inside a fetch.
    void checkpointSoon()
    {
        if (checkpointing.exchange(true))
            return;
        if (checkpointer.joinable())
            checkpointer.join();
        checkpointer = std::thread([this] {
            int rc;
            sqlite3 *own = OpenConnection(name, rc);
            // A connection knows the journal once it has read the book.
            if (rc == SQLITE_OK && sqlite3_exec(own, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) == SQLITE_OK)
                sqlite3_wal_checkpoint_v2(own, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            sqlite3_close_v2(own);
            checkpointing = false;
        });
    }

    QByteArray name;
    std::thread checkpointer;
    std::atomic<bool> checkpointing = false;
    sqlite3 *db = nullptr;
    std::unique_ptr<Statement> upsert, select;
    QString lastError;
};

namespace {

enum class Opened { Ok, Damaged, Failed };

// What stands in the book's place and is no regular file (a link planted
// beside the pictures) counts as damage: it is set aside, never followed.
Opened OpenStore(const QString &file, std::unique_ptr<HealthStore> &store, qint64 &show, QString &reason)
{
    store.reset();
    const QByteArray name = QFile::encodeName(file);
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        reason = QCoreApplication::translate("WebcamHealth", "Not a regular file");
        return Opened::Damaged;
    }
    // SQLite refuses a link in its journal's place and would fail every
    // write: such a link is not ours.
    for (const char *journal : {"-wal", "-shm"})
        if (::lstat((name + journal).constData(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink((name + journal).constData());
    // Made here so it is the user's alone; SQLite's own files take its mode.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);

    auto opened = std::make_unique<HealthStore>();
    opened->name = name;
    int rc;
    opened->db = OpenConnection(name, rc);
    if (rc == SQLITE_OK) {
        // Health is advice: a power cut may cost the last fetches' rows but
        // never the book, so a commit is not synced to disk. A row is small:
        // pages of 1 KiB (for a new book) write a quarter per fetch.
        rc = sqlite3_exec(opened->db, "PRAGMA page_size=1024; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL",
                          nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_exec(opened->db, Schema, nullptr, nullptr, nullptr);
    }
    if (rc == SQLITE_OK) {
        Statement latest(opened->db, "SELECT value FROM book WHERE name = 'show'");
        rc = latest.step();
        show = rc == SQLITE_ROW ? latest.integer(0) : 0;
        if (rc == SQLITE_ROW || rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) {
        reason = opened->db ? opened->error() : QString::fromUtf8(sqlite3_errstr(rc));
        return IsDamage(rc) ? Opened::Damaged : Opened::Failed;
    }
    // In place of SQLite's own checkpoint, which would run inside a commit.
    sqlite3_wal_hook(
        opened->db,
        [](void *store, sqlite3 *, const char *, int pages) {
            if (pages >= CheckpointPages)
                static_cast<HealthStore *>(store)->checkpointSoon();
            return SQLITE_OK;
        },
        opened.get());
    opened->upsert = std::make_unique<Statement>(
        opened->db, QByteArray("INSERT OR REPLACE INTO health(") + Columns + ") VALUES " + Values);
    opened->select =
        std::make_unique<Statement>(opened->db, QByteArray("SELECT ") + Columns + " FROM health WHERE url = ?1");
    store = std::move(opened);
    return Opened::Ok;
}

// Kept, never deleted: the user may want it. Its journal goes with it, so
// it is never played into the fresh book.
void SetAside(const QString &file)
{
    const QByteArray name = QFile::encodeName(file);
    ::rename(name.constData(), (name + ".bad").constData());
    ::unlink((name + ".bad-wal").constData());
    ::rename((name + "-wal").constData(), (name + ".bad-wal").constData());
    ::unlink((name + "-shm").constData());
}

// Rows of webcams outside the catalogue, on a connection of its own: it
// reads the whole book, so it runs beside the show. What this show counted
// stays, so a webcam that moved meanwhile keeps its row.
void Prune(const QString &file, const QStringList &urls, qint64 show)
{
    QSet<QString> kept;
    kept.reserve(urls.size());
    for (const QString &url : urls)
        kept.insert(HealthKey(url));
    int rc;
    HealthStore store;
    store.db = OpenConnection(QFile::encodeName(file), rc);
    if (rc != SQLITE_OK)
        return;
    QStringList gone;
    {
        Statement all(store.db, "SELECT url FROM health WHERE show < ?1");
        all.bindInteger(1, show);
        while (all.step() == SQLITE_ROW)
            if (const QString key = all.text(0); !kept.contains(key))
                gone << key;
    }
    if (gone.isEmpty())
        return;
    (void)store.transaction([&] {
        Statement drop(store.db, "DELETE FROM health WHERE url = ?1 AND show < ?2");
        for (const QString &key : std::as_const(gone)) {
            drop.bindText(1, key);
            drop.bindInteger(2, show);
            if (!drop.run())
                return false;
        }
        return true;
    });
}

} // namespace

HealthBook::HealthBook() = default;

HealthBook::~HealthBook()
{
    settle();
}

QString HealthBook::FileIn(const QString &downloadFolder)
{
    return QDir(downloadFolder).filePath(QStringLiteral("health.db"));
}

void HealthBook::note(const QString &text)
{
    m_notices << text;
}

QStringList HealthBook::takeNotices()
{
    return std::exchange(m_notices, {});
}

void HealthBook::settle()
{
    if (m_upkeep.joinable())
        m_upkeep.join();
}

void HealthBook::load(const QString &file)
{
    settle();
    m_file = file;
    m_entries.clear();
    m_taken.clear();
    m_store.reset();
    m_show = 0;
    m_limitReached.clear();
    m_writeFailed = m_openFailed = false;
    if (file.isEmpty())
        return;
    open();
    carryOver(OldFileBeside(file));
}

bool HealthBook::open()
{
    // The folder comes with the first picture; until then there is nothing to say.
    if (!QFileInfo(QFileInfo(m_file).path()).isDir())
        return false;
    QString reason;
    qint64 show = 0;
    Opened opened = OpenStore(m_file, m_store, show, reason);
    if (opened == Opened::Damaged) {
        SetAside(m_file);
        note(QCoreApplication::translate("WebcamHealth",
                                         "Health record %1 was damaged (%2): kept as %1.bad, a new one started")
                 .arg(m_file, reason));
        opened = OpenStore(m_file, m_store, show, reason);
    }
    if (opened != Opened::Ok) {
        if (!std::exchange(m_openFailed, true))
            note(QCoreApplication::translate("WebcamHealth", "Health record %1 cannot be opened (%2): kept in memory")
                     .arg(m_file, reason));
        return false;
    }
    m_show = std::max(m_show, show);
    return true;
}

// Read once: renamed when carried over, so the user still has it and no
// later start reads it again.
void HealthBook::carryOver(const QString &oldFile)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(oldFile).constData(), &st) != 0)
        return;
    const FileRead read = ReadRegularFile(oldFile, MaxOldFileBytes, FileLinks::Refuse);
    if (!read.bytes) {
        const QString text = QCoreApplication::translate("WebcamHealth", "Health history %1 not carried over: %2")
                                 .arg(oldFile, read.error);
        if (st.st_size > MaxOldFileBytes)
            m_limitReached = text;
        note(text);
        return;
    }
    QJsonParseError error{};
    const QJsonObject webcams =
        QJsonDocument::fromJson(*read.bytes, &error).object().value(QLatin1String("webcams")).toObject();
    if (error.error != QJsonParseError::NoError)
        note(QCoreApplication::translate("WebcamHealth", "Health history %1 is garbled (%2): nothing carried over")
                 .arg(oldFile, error.errorString()));
    // Keys an older book wrote with credentials are cleaned; of two that
    // become one, the later fetch's record stays.
    const auto merge = [&](const QString &key, const WebcamHealth &h) {
        const WebcamHealth *held = find(key);
        if (held && held->lastAttempt >= h.lastAttempt)
            return true;
        m_entries[key] = h;
        return !m_store || writeRow(key, h);
    };
    // In memory only, the file stays to be carried over by a later start.
    const auto all = [&] {
        for (auto it = webcams.begin(); it != webcams.end(); ++it)
            if (it.value().isObject() && !merge(HealthKey(it.key()), FromJson(it.value().toObject())))
                return false;
        return true;
    };
    if (!m_store) {
        all();
        return;
    }
    if (!m_store->transaction(all)) {
        note(QCoreApplication::translate("WebcamHealth", "Health history %1 not carried over: %2")
                 .arg(oldFile, m_store->lastError));
        m_entries.clear();
        return;
    }
    if (::rename(QFile::encodeName(oldFile).constData(), QFile::encodeName(oldFile + ".imported").constData()) != 0)
        note(QCoreApplication::translate("WebcamHealth", "%1 cannot be renamed: %2")
                 .arg(oldFile, QString::fromLocal8Bit(strerror(errno))));
}

bool HealthBook::writeRow(const QString &key, const WebcamHealth &health)
{
    m_store->upsert->bindRow(key, health, m_show);
    if (m_store->upsert->run())
        return true;
    m_store->lastError = m_store->error();
    return false;
}

void HealthBook::readRow(const QString &key) const
{
    if (!m_store || m_taken.contains(key))
        return;
    Statement &select = *m_store->select;
    select.bindText(1, key);
    // The book is what counts: a row another program pruned is gone here too.
    if (select.step() == SQLITE_ROW)
        m_entries[key] = select.row(m_show);
    else
        m_entries.erase(key);
    select.run();
}

bool HealthBook::save(const QString &url, QString *reason)
{
    const QString key = HealthKey(url);
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        return true;
    QString why = QCoreApplication::translate("WebcamHealth", "The health record is kept in memory only");
    // Opened once it can be: what was kept in memory meanwhile goes with it.
    if (!m_store && !m_file.isEmpty() && open()) {
        (void)m_store->transaction([this] {
            for (const auto &[held, health] : m_entries)
                if (!writeRow(held, health))
                    return false;
            m_taken.clear();
            return true;
        });
    }
    if (m_store) {
        if (writeRow(key, it->second)) {
            m_taken.remove(key);
            return true;
        }
        why = m_store->lastError;
    }
    if (!std::exchange(m_writeFailed, true))
        note(QCoreApplication::translate("WebcamHealth", "Health record %1 not written: %2").arg(m_file, why));
    if (reason)
        *reason = why;
    return false;
}

const WebcamHealth *HealthBook::find(const QString &url) const
{
    const QString key = HealthKey(url);
    readRow(key);
    const auto it = m_entries.find(key);
    return it == m_entries.end() ? nullptr : &it->second;
}

WebcamHealth &HealthBook::entry(const QString &url)
{
    const QString key = HealthKey(url);
    readRow(key);
    m_taken.insert(key);
    return m_entries[key];
}

int HealthBook::size() const
{
    if (!m_store)
        return int(m_entries.size());
    Statement count(m_store->db, "SELECT count(*) FROM health");
    return count.step() == SQLITE_ROW ? int(count.integer(0)) : 0;
}

void HealthBook::move(const QString &from, const QString &to)
{
    const QString fromKey = HealthKey(from), toKey = HealthKey(to);
    if (fromKey == toKey || !find(fromKey))
        return;
    const auto held = m_entries.extract(fromKey);
    m_entries.insert_or_assign(toKey, held.mapped());
    if (m_store)
        (void)m_store->transaction([&] {
            Statement drop(m_store->db, "DELETE FROM health WHERE url = ?1");
            drop.bindText(1, fromKey);
            return drop.run() && writeRow(toKey, held.mapped());
        });
    m_taken.remove(fromKey);
}

void HealthBook::keepOnly(const QStringList &urls)
{
    settle();
    if (!m_store) {
        QSet<QString> kept;
        for (const QString &url : urls)
            kept.insert(HealthKey(url));
        std::erase_if(m_entries, [&kept](const auto &entry) { return !kept.contains(entry.first); });
        return;
    }
    m_entries.clear();  // read again from the book as needed
    m_taken.clear();
    m_upkeep = std::thread(Prune, m_file, urls, m_show);
}

// Rows keep their counts, marked with the show that made them: a new show
// writes one number, not every row.
void HealthBook::beginShow()
{
    for (auto &entry : m_entries) {
        entry.second.showFetches = 0;
        entry.second.showBytes = 0;
    }
    if (!m_store)
        return;
    qint64 show = m_show;
    const bool counted = m_store->transaction([&] {
        Statement next(m_store->db, "INSERT INTO book(name, value) VALUES ('show', 1)"
                                    " ON CONFLICT(name) DO UPDATE SET value = value + 1 RETURNING value");
        if (next.step() != SQLITE_ROW)
            return false;
        show = next.integer(0);
        return next.run();
    });
    m_show = std::max(m_show, show);
    if (!counted && !std::exchange(m_writeFailed, true))
        note(QCoreApplication::translate("WebcamHealth", "Health record %1 not written: %2")
                 .arg(m_file, m_store->lastError));
}

} // namespace lumetta
