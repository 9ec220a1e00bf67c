#include "catalogue/CatalogueSaver.h"
#include "catalogue/CatalogueFile.h"
#include "support/TestTime.h"
#include "support/WaitForProcess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

// When to save is SaveSchedule's rows; here that the saver keeps one writer
// and the newest records, and hears of a write's end.
TEST(CatalogueSaver, OneWriterTheNewestRecordsAndEachWritesEndHeard)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("lumetta.dat");
    TestTimeSource time;
    QStringList records{"a"};
    CatalogueSaver saver(time, [&] { return file; }, [&] { return records; });
    saver.changed();
    time.advance(CatalogueSaveIntervalMs);  // "a" is being written
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
}

} // namespace
