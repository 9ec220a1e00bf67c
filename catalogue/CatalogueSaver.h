#pragma once
// Writes the catalogue file as SaveSchedule says: the show's changes off
// the UI thread once per interval, a flush at once and in full. The records
// are taken on the UI thread (an implicitly shared copy, so cheap); the
// text is built and written on a thread of its own, one write at a time.
#include "catalogue/SaveSchedule.h"
#include "common/AtomicFile.h"
#include "platform/Timer.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <future>
#include <optional>
#include <thread>

namespace lumetta {

class CatalogueSaver {
public:
    CatalogueSaver(TimeSource &time, std::function<QString()> file, std::function<QStringList()> records);
    // Waits for a write that runs; saves nothing more, as a crash would.
    ~CatalogueSaver();
    CatalogueSaver(const CatalogueSaver &) = delete;
    CatalogueSaver &operator=(const CatalogueSaver &) = delete;

    // The show changed a record: on disk within the interval.
    void changed();
    // The show ended: its changes are written now, off this thread.
    void saveSoon();
    // Quit, a command that reads the file, or an edit of the user's: every
    // change is on disk (or the write failed) when this returns.
    [[nodiscard]] SaveResult flush();
    // An edit of the user's, written at once.
    [[nodiscard]] SaveResult saveEdit();
    // Returns once no write runs; starts none.
    void waitForWrite();

    bool unsaved() const { return m_schedule.unsaved(); }

private:
    struct Write {
        std::thread thread;
        std::future<SaveResult> result;
        std::uint64_t mark = 0;
    };
    void apply(SaveStep step);
    void startWrite();
    void collect();  // the write's end, when it has ended
    void finishWrite();

    std::function<QString()> m_file;
    std::function<QStringList()> m_records;
    SaveSchedule m_schedule;
    Timer m_timer;
    QObject m_receiver;  // a write's end reaches the UI thread through it
    std::optional<Write> m_write;
};

} // namespace lumetta
