#include "common/Errors.h"
#include "platform/Registry.h"
#include "support/TestEnv.h"
#include "support/ErrorText.h"
#include "support/TestFiles.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace lumetta;

namespace {

QString ErrorOf(const std::function<void()> &call) { return test::MessageOf<RegistryError>(call); }

TEST(Registry, TypedValuesRoundTripAndKeysAreDeletedWhole)
{
    test::TestEnv env;
    const QString texts[] = {"", "plain", "with \"quotes\" and \\back\\slashes\\",
                             "line\r\nbreak", QString::fromUtf8("Z\xc3\xbcrich"), "  blanks  "};
    for (const QString &t : texts) {
        SCOPED_TRACE(t.toStdString());
        WriteRegString(LumettaKey, "Text", t);
        EXPECT_EQ(ReadRegString(LumettaKey, "Text", "dflt"), t);
    }
    for (int n : {0, 1, 255, -1, 2147483647, -2147483647 - 1}) {
        WriteRegInteger(LumettaKey, "N", n);
        EXPECT_EQ(ReadRegInteger(LumettaKey, "N", 7), n);
    }
    WriteRegInteger(LumettaKey, "Flag", 5);
    EXPECT_TRUE(ReadRegBool(LumettaKey, "Flag", false)) << "any non-zero reads true";
    WriteRegBool(LumettaKey, "Flag", false);
    EXPECT_FALSE(ReadRegBool(LumettaKey, "Flag", true));
    EXPECT_EQ(ReadRegInteger(LumettaKey, "flag", 9), 0) << "names ignore case";
    EXPECT_EQ(ReadRegInteger("software\\korvane software\\LUMETTA", "Flag", 9), 0) << "keys ignore case";

    WriteRegInteger(LumettaKey + "\\Sub", "X", 1);
    WriteRegInteger(DesktopKey, "ScreenSaveTimeOut", 600);
    WriteRegInteger("Software\\Korvane Software\\LumettaOther", "Y", 1);
    ASSERT_TRUE(RegKeyExists(LumettaKey));
    EXPECT_TRUE(DeleteRegKey(LumettaKey));
    EXPECT_FALSE(RegKeyExists(LumettaKey));
    EXPECT_FALSE(RegKeyExists(LumettaKey + "\\Sub"));
    EXPECT_EQ(ReadRegInteger(DesktopKey, "ScreenSaveTimeOut", 0), 600);
    EXPECT_EQ(ReadRegInteger("Software\\Korvane Software\\LumettaOther", "Y", 0), 1) << "a longer name is no subkey";
    EXPECT_TRUE(DeleteRegKey(LumettaKey)) << "deleting a missing key succeeds";
}

TEST(Registry, DamagedStoreLoadsWhatItCan)
{
    test::TestEnv env;
    test::WriteAll(env.registryFile(),
                   "REGEDIT4\r\n\"Orphan\"=\"before any key\"\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Korvane Software\\Lumetta]\r\n"
                   "\"Good\"=\"yes\"\r\n\"Unclosed=\"x\"\r\n\"Broken\"=\"no end\r\n"
                   "\"Hex\"=dword:zz\r\n\"TooLong\"=dword:1234567890\r\ngarbage \x01\x02\xff line\r\n"
                   "\"Count\"=dword:0000001e\r\n\"Blob\"=hex:01,02\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Korvane Software\\Lumetta\r\n\"AfterBadKey\"=\"dropped\"\r\n"
                   "[HKEY_LOCAL_MACHINE\\Software]\r\n\"Machine\"=\"not ours\"\r\n");
    EXPECT_EQ(ReadRegString(LumettaKey, "Good", ""), "yes");
    EXPECT_EQ(ReadRegInteger(LumettaKey, "Count", 0), 30);
    EXPECT_EQ(ReadRegString(LumettaKey, "Broken", "dflt"), "dflt");
    EXPECT_EQ(ReadRegInteger(LumettaKey, "Hex", 4), 4);
    EXPECT_EQ(ReadRegInteger(LumettaKey, "TooLong", 4), 4);
    EXPECT_EQ(ReadRegString(LumettaKey, "AfterBadKey", "dflt"), "dflt");
    EXPECT_EQ(ErrorOf([] { ReadRegString(LumettaKey, "Blob", ""); }), "Invalid data type for 'Blob'");
}

// The main window and a screen-saver run share the store.
TEST(Registry, StoreChangedOnDiskIsReadAgain)
{
    test::TestEnv env;
    WriteRegInteger(LumettaKey, "Left", 1);
    ASSERT_EQ(ReadRegInteger(LumettaKey, "Left", 0), 1);
    test::WriteAll(env.registryFile(), "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Korvane Software\\Lumetta]\n"
                                   "\"Left\"=dword:00000002\n\"Top\"=dword:00000003\n");
    EXPECT_EQ(ReadRegInteger(LumettaKey, "Left", 0), 2);
    WriteRegInteger(LumettaKey, "Left", 4);
    EXPECT_EQ(ReadRegInteger(LumettaKey, "Top", 0), 3) << "a write starts from the file as it is now";
    ASSERT_TRUE(QFile::remove(env.registryFile()));
    EXPECT_EQ(ReadRegInteger(LumettaKey, "Left", 7), 7) << "a removed store is a fresh one";

    // A store whose folder cannot exist: a plain file stands in its way.
    test::WriteAll(env.path() + "/blocker", "x");
    qputenv("LUMETTA_REGISTRY", (env.path() + "/blocker/user.reg").toUtf8());
    EXPECT_EQ(ErrorOf([] { WriteRegInteger(LumettaKey, "Left", 1); }), "Failed to set data for 'Left'");
    EXPECT_EQ(ReadRegInteger(LumettaKey, "Left", 3), 3);
}

TEST(Registry, WriteTouchesOnlyItsOwnLine)
{
    const QByteArray store = "REGEDIT4\r\n; hand-made\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
                             "\"Path\"=\"C:\\\\x\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Korvane Software\\Lumetta]\r\n"
                             "\"Left\"=dword:00000010\r\n  \"Note\"=\"caf\xe9\"\r\n\"Blob\"=hex:01,02\r\n"
                             "\"Dup\"=\"first\"\r\n\"Dup\"=\"second\"\r\n; trailing comment\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                             "\"ScreenSaveTimeOut\"=dword:00000258";  // no line end at the end
    const struct { const char *what; std::function<void()> write; QByteArray expected; } cases[] = {
        {"same value: no write at all", [] { WriteRegInteger(LumettaKey, "left", 16); }, store},
        {"changed value: its line alone", [] { WriteRegInteger(LumettaKey, "Left", 300); },
         QByteArray(store).replace("dword:00000010", "dword:0000012c")},
        {"8-bit value: a change is UTF-8", [] { WriteRegString(LumettaKey, "Note", QString::fromLatin1("th\xe9")); },
         QByteArray(store).replace("  \"Note\"=\"caf\xe9\"", "\"Note\"=\"th\xc3\xa9\"")},
        {"repeated name: the line that counts", [] { WriteRegString(LumettaKey, "Dup", "third"); },
         QByteArray(store).replace("\"second\"", "\"third\"")},
        {"new value: after the key's last value", [] { WriteRegString(LumettaKey, "AppPath", "/opt/lumetta/"); },
         QByteArray(store).replace("\"second\"\r\n", "\"second\"\r\n\"AppPath\"=\"/opt/lumetta/\"\r\n")},
        {"new value in a key that ends the file unended", [] { WriteRegInteger(DesktopKey, "ScreenSaveActive", 1); },
         store + "\r\n\"ScreenSaveActive\"=dword:00000001\r\n"},
        {"new key: a section of its own at the end", [] { WriteRegInteger(LumettaKey + "\\Sub", "X", 1); },
         store + "\r\n\r\n[HKEY_CURRENT_USER\\Software\\Korvane Software\\Lumetta\\Sub]\r\n"
                 "\"X\"=dword:00000001\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        test::TestEnv env;
        test::WriteAll(env.registryFile(), store);
        ASSERT_EQ(ReadRegString(LumettaKey, "Note", ""), QString::fromLatin1("caf\xe9")) << "8-bit text read as such";
        ASSERT_EQ(ReadRegString(LumettaKey, "Dup", ""), "second") << "of a repeated name, the last line counts";
        c.write();
        const QByteArray after = test::ReadAll(env.registryFile());
        EXPECT_TRUE(after == c.expected) << after.toStdString();
        EXPECT_EQ(ReadRegString("HKEY_LOCAL_MACHINE\\Software\\Other", "Path", "not ours"), "not ours");
    }
}

// A file that is no store at all is kept beside the new one, never lost.
TEST(Registry, UnreadableStoreIsKeptAside)
{
    for (const QByteArray &junk : {QByteArray("\x7f" "ELF\x02\x01\x00\x00garbage", 15),
                                   QByteArray("Left=16\nTop=20\n")}) {
        test::TestEnv env;
        test::WriteAll(env.registryFile(), junk);
        test::WriteAll(env.registryFile() + ".bad", "an older one");
        EXPECT_EQ(ReadRegInteger(LumettaKey, "Left", 200), 200) << "reads give the defaults";
        EXPECT_TRUE(test::ReadAll(env.registryFile()) == junk) << "reading changes nothing";

        WriteRegString(LumettaKey, "AppPath", "/opt/lumetta/");
        EXPECT_TRUE(test::ReadAll(env.registryFile() + ".bad1") == junk) << "kept aside under a free name";
        EXPECT_EQ(test::ReadAll(env.registryFile() + ".bad"), QByteArray("an older one"));
        EXPECT_EQ(ReadRegString(LumettaKey, "AppPath", ""), "/opt/lumetta/");
        EXPECT_TRUE(test::ReadAll(env.registryFile()).startsWith("REGEDIT4\n"));
    }
}

TEST(ShiftChars, RoundTripAndWrap)
{
    EXPECT_EQ(ShiftChars(QString(QChar(0xFF)), 2), QString(QChar(1)));
    EXPECT_EQ(ShiftChars(QString(QChar(0)), -1), QString(QChar(0xFF)));
    EXPECT_EQ(ShiftChars("abc", 1), "bcd");
}

} // namespace
