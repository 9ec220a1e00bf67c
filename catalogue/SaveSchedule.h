#pragma once
// When the catalogue file is written. What the show learns reaches the
// file at most once per interval (a save of a large catalogue costs far
// more than the fetch it follows), and at once when the show ends, the
// program quits or the file is about to be read. One write at a time: a
// save asked for while one runs is done after it, with the newest records.
#include <cstdint>

namespace lumetta {

// The longest a learned value waits for the file, so the most a crash loses.
inline constexpr int CatalogueSaveIntervalMs = 5 * 60 * 1000;

enum class SaveStep {
    None,
    ArmTimer,  // the interval starts now
    Write,     // a write of the records as they stand starts now
};

class SaveSchedule {
public:
    // A record changed.
    SaveStep changed();
    // The interval is up.
    SaveStep intervalUp();
    // The show ended: the changes go now, or after the write that runs.
    SaveStep saveNow();
    // A write of every change so far begins; its mark goes to written().
    std::uint64_t writing();
    // The write marked so ended; a failed one keeps its changes unsaved,
    // to be tried again after an interval.
    SaveStep written(std::uint64_t mark, bool ok);

    bool unsaved() const { return m_changes != m_saved; }
    bool busy() const { return m_busy; }

private:
    std::uint64_t m_changes = 0;
    std::uint64_t m_saved = 0;
    bool m_armed = false;
    bool m_busy = false;
    bool m_again = false;  // asked for while a write ran
};

} // namespace lumetta
