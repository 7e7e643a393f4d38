#include "connection/connection_settings.h"

#include "test_folder.h"

#include <cstring>
#include <string>

namespace {

const std::string kDialComments = "first line 0 = autodial off\r\nfirst line 1 = autodial on\r\n";
const std::string kDiscComments = "\r\nfirst line 0 = autodisconnect off\r\n"
                                  "first line 1 = autodisconnect on\r\n"
                                  "second line  = number of idle minutes before disconnect\r\n";

// Values no file gives, so a setting left as it was shows.
const int kDialBefore = 41;
const int kDisconnectBefore = 42;
const int kIdleBefore = 43;

class ConnectionSettingsTest : public InTestFolder {
  protected:
    void SetUp() override {
        InTestFolder::SetUp();
        connectionSettings = ConnectionSettings{kDialBefore, kDisconnectBefore, kIdleBefore, "", 0};
    }

    void Settle(int autoDial, int autoDisconnect, const char* idleText) {
        connectionSettings.autoDial = autoDial;
        connectionSettings.autoDisconnect = autoDisconnect;
        strcpy(connectionSettings.idleMinutesText, idleText);
    }

    void ExpectOneBox(const char* text) {
        ASSERT_EQ(standin::Boxes().size(), 1u);
        EXPECT_EQ(standin::Boxes()[0].text, text);
        EXPECT_EQ(standin::Boxes()[0].caption, "Halvorn");
        EXPECT_EQ(standin::Boxes()[0].flags, 0x1030u);
        EXPECT_EQ(standin::Boxes()[0].owner, nullptr);
    }
};

struct ReadCase {
    const char* name;
    std::string dial;
    std::string disc;
    int autoDial;
    int autoDisconnect;
    int idleMinutes;
};

TEST_F(ConnectionSettingsTest, ReadTakesOneTwoCharacterChunkPerValue) {
    const ReadCase cases[] = {
        {"as written", "1\r\n" + kDialComments, "1\r\n10" + kDiscComments, 1, 1, 10},
        {"all off", "0\r\n" + kDialComments, "0\r\n5" + kDiscComments, 0, 0, 5},
        {"bare line feeds", "0\n", "1\n7\n", 0, 1, 7},
        {"no line ends", "1", "1", 1, 1, kIdleBefore},
        {"first line 10 leaves its line end", "1\r\n", "10\r\n5\r\n", 1, 10, 0},
        {"120 gives 12", "1\r\n", "1\r\n120\r\n", 1, 1, 12},
        {"blank then digit", "1\r\n", "1\r\n 7\r\n", 1, 1, 7},
        {"letter", "1\r\n", "1\r\nx\r\n", 1, 1, 0},
        {"digit then letter", "1\r\n", "1\r\n4x\r\n", 1, 1, 4},
        {"empty idle line", "1\r\n", "1\r\n\r\n", 1, 1, 0},
        {"empty first lines", "\r\n", "\r\n\r\n", 0, 0, 0},
        {"signed", "-1\r\n", "-\r\n-5\r\n", -1, 0, -5},
        {"long dial line", "57\r\n", "1\r\n3\r\n", 57, 1, 3},
        {"hand-edited 5", "5\r\n", "1\r\n3\r\n", 5, 1, 3},
        {"idle 99", "1\r\n", "1\r\n99\r\n", 1, 1, 99},
        {"comments changed", "1\r\nanything", "0\r\n7\r\nelse\r\n", 1, 0, 7},
        // A file that ends before a value line leaves that value as it was.
        {"empty files", "", "", kDialBefore, kDisconnectBefore, kIdleBefore},
        {"disc.inf ends after the switch", "0\r\n", "1\r\n", 0, 1, kIdleBefore},
        {"disc.inf ends after a long switch", "0\r\n", "10", 0, 10, kIdleBefore},
        {"Ctrl-Z ends the file",
         "\x1a"
         "1\r\n",
         "1\r\n\x1a"
         "9\r\n",
         kDialBefore, 1, kIdleBefore},
        {"carriage returns are no text", "\r1\r\n", "1\r\r\n2\r3\r\n", 1, 1, 23},
        {"NUL in a chunk",
         std::string("\0"
                     "5",
                     2),
         "1\r\n7\r\n", 0, 1, 7},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        connectionSettings = ConnectionSettings{kDialBefore, kDisconnectBefore, kIdleBefore, "", 0};
        WriteFileBytes("dial.inf", c.dial);
        WriteFileBytes("disc.inf", c.disc);
        EXPECT_TRUE(ReadConnectionSettings());
        EXPECT_EQ(connectionSettings.autoDial, c.autoDial);
        EXPECT_EQ(connectionSettings.autoDisconnect, c.autoDisconnect);
        EXPECT_EQ(connectionSettings.idleMinutes, c.idleMinutes);
        EXPECT_TRUE(standin::Boxes().empty());
    }
}

TEST_F(ConnectionSettingsTest, ReadNeverTouchesTheTextOrTheFlag) {
    Settle(1, 1, "7x");
    connectionSettings.idleTimeChanged = 1;
    WriteFileBytes("dial.inf", "0\r\n");
    WriteFileBytes("disc.inf", "0\r\n12\r\n");
    ReadConnectionSettings();
    EXPECT_STREQ(connectionSettings.idleMinutesText, "7x");
    EXPECT_EQ(connectionSettings.idleTimeChanged, 1);
}

TEST_F(ConnectionSettingsTest, ReadWithoutDialFileChangesNothing) {
    WriteFileBytes("disc.inf", "0\r\n9\r\n");
    EXPECT_FALSE(ReadConnectionSettings());
    ExpectOneBox("Failed to open dial.inf - read");
    EXPECT_EQ(connectionSettings.autoDial, kDialBefore);
    EXPECT_EQ(connectionSettings.autoDisconnect, kDisconnectBefore);
    EXPECT_EQ(connectionSettings.idleMinutes, kIdleBefore);
    EXPECT_EQ(standin::CallCount(standin::Call::OpenForReading), 1);
}

TEST_F(ConnectionSettingsTest, ReadWithoutDiscFileTakesNothingFromDialFile) {
    WriteFileBytes("dial.inf", "0\r\n");
    EXPECT_FALSE(ReadConnectionSettings());
    ExpectOneBox("Failed to open disc.inf - read");
    EXPECT_EQ(connectionSettings.autoDial, kDialBefore);
    EXPECT_EQ(connectionSettings.autoDisconnect, kDisconnectBefore);
    EXPECT_EQ(connectionSettings.idleMinutes, kIdleBefore);
    // "dial.inf" was opened and is closed again (the fixture checks no file stays open).
}

TEST_F(ConnectionSettingsTest, WriteGivesTheExactFiles) {
    const std::string dialOn = "1\r\n" + kDialComments;
    ASSERT_EQ(dialOn.size(), 60u);
    const std::string discOn10 = "1\r\n10" + kDiscComments;
    ASSERT_EQ(discOn10.size(), 133u);

    struct {
        int autoDial;
        int autoDisconnect;
        const char* idleText;
        std::string dial;
        std::string disc;
    } cases[] = {
        {1, 1, "10", dialOn, discOn10},
        {0, 0, "5", "0\r\n" + kDialComments, "0\r\n5" + kDiscComments},
        {7, -1, "3", dialOn, "1\r\n3" + kDiscComments},
        {1, 1, "", dialOn, "1\r\n" + kDiscComments},
        {1, 1, "4x", dialOn, "1\r\n4x" + kDiscComments},
        {1, 1, " 5", dialOn, "1\r\n 5" + kDiscComments},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.idleText);
        Settle(c.autoDial, c.autoDisconnect, c.idleText);
        EXPECT_TRUE(WriteConnectionSettings());
        EXPECT_EQ(ReadFileBytes("dial.inf"), c.dial);
        EXPECT_EQ(ReadFileBytes("disc.inf"), c.disc);
    }
    Settle(1, 0, "5");
    WriteConnectionSettings();
    EXPECT_EQ(ReadFileBytes("disc.inf").size(), 132u);
    EXPECT_TRUE(standin::Boxes().empty());
}

TEST_F(ConnectionSettingsTest, WrittenFilesReadBack) {
    struct {
        int autoDial;
        int autoDisconnect;
        const char* idleText;
        int dialBack;
        int disconnectBack;
        int idleBack;
    } cases[] = {
        {0, 1, "7", 0, 1, 7}, {1, 0, "10", 1, 0, 10}, {5, 9, "59", 1, 1, 59}, {1, 1, "4x", 1, 1, 4},
        {1, 1, "", 1, 1, 0},  {1, 1, "ab", 1, 1, 0},  {0, 0, "-1", 0, 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.idleText);
        Settle(c.autoDial, c.autoDisconnect, c.idleText);
        WriteConnectionSettings();
        Settle(kDialBefore, kDisconnectBefore, "");
        connectionSettings.idleMinutes = kIdleBefore;
        EXPECT_TRUE(ReadConnectionSettings());
        EXPECT_EQ(connectionSettings.autoDial, c.dialBack);
        EXPECT_EQ(connectionSettings.autoDisconnect, c.disconnectBack);
        EXPECT_EQ(connectionSettings.idleMinutes, c.idleBack);
    }
}

TEST_F(ConnectionSettingsTest, WriteStoresAtMostTwoCharactersOfAnUnendedText) {
    Settle(1, 1, "");
    memcpy(connectionSettings.idleMinutesText, "123", 3); // no room left for a NUL
    WriteConnectionSettings();
    EXPECT_EQ(ReadFileBytes("disc.inf"), "1\r\n12" + kDiscComments);
}

TEST_F(ConnectionSettingsTest, WriteThatCannotOpenDialFileTouchesNeitherFile) {
    WriteFileBytes("dial.inf", "0\r\nold");
    WriteFileBytes("disc.inf", "0\r\n20\r\nold");
    standin::FailCall(standin::Call::OpenForWriting, 1);
    Settle(1, 1, "10");
    EXPECT_FALSE(WriteConnectionSettings());
    ExpectOneBox("Failed to open dial.inf - write");
    EXPECT_EQ(ReadFileBytes("dial.inf"), "0\r\nold");
    EXPECT_EQ(ReadFileBytes("disc.inf"), "0\r\n20\r\nold");
    EXPECT_EQ(standin::CallCount(standin::Call::OpenForWriting), 1);
}

TEST_F(ConnectionSettingsTest, WriteThatCannotOpenDiscFileStillWritesDialFileWhole) {
    WriteFileBytes("dial.inf", "1\r\nold");
    WriteFileBytes("disc.inf", "0\r\n20\r\nold");
    standin::FailCall(standin::Call::OpenForWriting, 2);
    Settle(0, 1, "10");
    EXPECT_FALSE(WriteConnectionSettings());
    ExpectOneBox("Failed to open disc.inf - write");
    EXPECT_EQ(ReadFileBytes("dial.inf"), "0\r\n" + kDialComments);
    EXPECT_EQ(ReadFileBytes("disc.inf"), "0\r\n20\r\nold");
}

TEST_F(ConnectionSettingsTest, WriteFailuresAreShownForTheFileConcerned) {
    struct {
        standin::Call call;
        int nth;
        const char* box;
    } cases[] = {
        {standin::Call::WriteFile, 1, "Failed to write dial.inf"},
        {standin::Call::WriteFile, 2, "Failed to write disc.inf"},
        {standin::Call::CloseHandle, 1, "Failed to write dial.inf"},
        {standin::Call::CloseHandle, 2, "Failed to write disc.inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        standin::Reset();
        standin::FailCall(c.call, c.nth, ERROR_DISK_FULL);
        Settle(1, 1, "10");
        EXPECT_FALSE(WriteConnectionSettings());
        ExpectOneBox(c.box);
    }
}

} // namespace
