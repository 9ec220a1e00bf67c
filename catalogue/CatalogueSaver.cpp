#include "catalogue/CatalogueSaver.h"

#include "catalogue/CatalogueFile.h"

#include <chrono>
#include <exception>

namespace lumetta {

CatalogueSaver::CatalogueSaver(TimeSource &time, std::function<QString()> file,
                               std::function<QStringList()> records)
    : m_file(std::move(file)), m_records(std::move(records)), m_timer(time)
{
    m_timer.OnTimer = [this] {
        m_timer.setInterval(0);
        apply(m_schedule.intervalUp());
    };
}

CatalogueSaver::~CatalogueSaver()
{
    if (m_write)
        m_write->thread.join();
}

void CatalogueSaver::changed()
{
    apply(m_schedule.changed());
}

void CatalogueSaver::saveSoon()
{
    apply(m_schedule.saveNow());
}

SaveResult CatalogueSaver::flush()
{
    waitForWrite();
    if (!m_schedule.unsaved())
        return {};
    const std::uint64_t mark = m_schedule.writing();
    m_timer.setInterval(0);
    const SaveResult saved = WriteCatalogue(m_file(), m_records());
    apply(m_schedule.written(mark, saved.ok));
    return saved;
}

SaveResult CatalogueSaver::saveEdit()
{
    apply(m_schedule.changed());
    return flush();
}

void CatalogueSaver::waitForWrite()
{
    // A save asked for during the write may start another.
    while (m_write)
        finishWrite();
}

void CatalogueSaver::apply(SaveStep step)
{
    switch (step) {
    case SaveStep::None:
        break;
    case SaveStep::ArmTimer:
        m_timer.setInterval(CatalogueSaveIntervalMs);
        break;
    case SaveStep::Write:
        startWrite();
        break;
    }
}

void CatalogueSaver::startWrite()
{
    Write write;
    write.mark = m_schedule.writing();
    m_timer.setInterval(0);
    std::promise<SaveResult> promise;
    write.result = promise.get_future();
    write.thread = std::thread([this, promise = std::move(promise), file = m_file(), records = m_records()]() mutable {
        SaveResult saved;
        try {
            saved = WriteCatalogue(file, records);
        } catch (const std::exception &e) {
            saved = {false, QString::fromLocal8Bit(e.what())};
        }
        // Ready before the UI thread hears of it.
        promise.set_value(std::move(saved));
        QMetaObject::invokeMethod(&m_receiver, [this] { collect(); }, Qt::QueuedConnection);
    });
    m_write = std::move(write);
}

void CatalogueSaver::collect()
{
    if (m_write && m_write->result.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
        finishWrite();
}

void CatalogueSaver::finishWrite()
{
    const SaveResult saved = m_write->result.get();
    m_write->thread.join();
    const std::uint64_t mark = m_write->mark;
    m_write.reset();
    apply(m_schedule.written(mark, saved.ok));
}

} // namespace lumetta
