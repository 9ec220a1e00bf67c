#include "catalogue/SaveSchedule.h"

#include <utility>

namespace lumetta {

SaveStep SaveSchedule::changed()
{
    ++m_changes;
    // The interval counts from the oldest unsaved change: later ones wait
    // for the same save.
    if (m_armed)
        return SaveStep::None;
    m_armed = true;
    return SaveStep::ArmTimer;
}

SaveStep SaveSchedule::intervalUp()
{
    m_armed = false;
    return saveNow();
}

SaveStep SaveSchedule::saveNow()
{
    if (!unsaved())
        return SaveStep::None;
    if (m_busy) {
        m_again = true;
        return SaveStep::None;
    }
    return SaveStep::Write;
}

std::uint64_t SaveSchedule::writing()
{
    m_busy = true;
    m_armed = false;  // a change from now on starts an interval of its own
    return m_changes;
}

SaveStep SaveSchedule::written(std::uint64_t mark, bool ok)
{
    m_busy = false;
    const bool again = std::exchange(m_again, false);
    if (ok)
        m_saved = mark;
    if (!unsaved())
        return SaveStep::None;
    if (ok && again)
        return SaveStep::Write;
    if (m_armed)
        return SaveStep::None;
    m_armed = true;
    return SaveStep::ArmTimer;
}

} // namespace lumetta
