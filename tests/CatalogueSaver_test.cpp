#include "catalogue/CatalogueSaver.h"
#include "catalogue/CatalogueFile.h"
#include "support/TestTime.h"
#include "support/WaitForProcess.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// When to save is SaveSchedule's rows; here that the saver keeps one writer
// and the newest records, hears of a write's end, and retries a failed one.
TEST(CatalogueSaver, OneWriterTheNewestRecordsAndAFailedWriteRetried)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("data");
    const QString file = folder + "/lumetta.dat";
    QDir().mkpath(folder);
    TestTimeSource time;
    QStringList records{"a"};
    CatalogueSaver saver(time, [&] { return file; }, [&] { return records; });
    saver.changed();
    time.advance(CatalogueSaveIntervalMs - 1);
    saver.waitForWrite();
    EXPECT_FALSE(QFile::exists(file));
    time.advance(1);  // "a" is being written
    records = {"b"};
    saver.changed();
    EXPECT_TRUE(saver.flush().ok);
    EXPECT_EQ(LoadCatalogue(file), records) << "not overwritten by the older write";
    EXPECT_EQ(time.activeTimers(), 0) << "nothing unsaved, nothing to wake for";

    records = {"c"};
    saver.changed();
    time.advance(CatalogueSaveIntervalMs);
    // The write's end reaches the event loop from the writer's thread.
    EXPECT_TRUE(test::WaitForProcess([&] { return !saver.unsaved(); }, 60000));
    EXPECT_EQ(LoadCatalogue(file), records);

    QDir(folder).removeRecursively();  // no place to write
    records = {"d"};
    saver.changed();
    time.advance(CatalogueSaveIntervalMs);
    saver.waitForWrite();
    EXPECT_TRUE(saver.unsaved());
    QDir().mkpath(folder);
    time.advance(CatalogueSaveIntervalMs);
    saver.waitForWrite();
    EXPECT_EQ(LoadCatalogue(file), records);
    EXPECT_FALSE(saver.unsaved());
}

} // namespace
