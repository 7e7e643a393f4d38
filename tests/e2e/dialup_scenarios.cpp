// The dial-up preferences at start and at "Go": the preference files carried into the system's
// dial-up values, the boxes for missing files, and the check of the chosen dial-up connection.
#include "tests/e2e/dialup_steps.h"

namespace {
using namespace e2e;

using TheStartUp = DialUpScenario;
using EveryGo = DialUpScenario;
using TheDialUpProfileCheck = DialUpScenario;

const char kNoProfile[] = "ERROR: no dial line entry";
const char kNoRemoteAccess[] = "ERROR: Failed to get Netscape installation directory";

TEST_F(TheStartUp, CarriesThePreferencesIntoTheSystemsDialUpValues) {
    TypicalStart();
    const struct {
        const char* what;
        const char* dialFile;
        const char* discFile;
        DialUpValues before;
        DialUpValues after;
    } cases[] = {
        {"switched on, 10 minutes: each switch and then the minutes",
         "1\r\n",
         "1\r\n10\r\n",
         {kNoValue, kNoValue, kNoValue},
         BinaryValues(1, 1, 10)},
        {"off and absent: nothing written",
         "0\r\n",
         "0\r\n5\r\n",
         {kNoValue, kNoValue, kNoValue},
         {kNoValue, kNoValue, kNoValue}},
        {"system value 2 counts as on and stays", "1\r\n", "1\r\n10\r\n", BinaryValues(2, 2, 20),
         BinaryValues(2, 2, 20)},
        {"switched off: the minutes stay", "0\r\n", "0\r\n10\r\n", BinaryValues(2, 1, 20),
         BinaryValues(0, 0, 20)},
        {"a hand-edited 7 is written as 1", "7\r\n", "1\r\n10\r\n", BinaryValues(0, 1, 10),
         BinaryValues(1, 1, 10)},
        {"hand-edited 0 minutes go in unchanged", "1\r\n", "1\r\n0\r\n", BinaryValues(1, 0, 10),
         BinaryValues(1, 1, 0)},
        {"hand-edited 99 minutes go in unchanged", "1\r\n", "1\r\n99\r\n", BinaryValues(1, 0, 10),
         BinaryValues(1, 1, 99)},
        {"the stored type is not looked at",
         "1\r\n",
         "1\r\n10\r\n",
         {{REG_DWORD, Le32(0)}, {REG_SZ, std::string("\x01\0\0\0", 4)}, Binary(10)},
         {Binary(1), {REG_SZ, std::string("\x01\0\0\0", 4)}, Binary(10)}},
        {"a longer value is its first four bytes, a shorter one zero-extended",
         "1\r\n",
         "1\r\n10\r\n",
         {{REG_BINARY, std::string("\0\0\0\0\x01\0\0\0", 8)}, {REG_BINARY, "\x01"}, Binary(10)},
         {Binary(1), {REG_BINARY, "\x01"}, Binary(10)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutFile("dial.inf", c.dialFile);
        PutFile("disc.inf", c.discFile);
        SetDialUpValues(c.before);
        StartAndWait();
        ExpectDialUpValues(c.after);
        // "Go" reads the same files and finds the registry in line with them.
        Go();
        ExpectDialUpValues(c.after);
        CloseAndWait();
        ExpectNoBoxes();
    }
}

TEST_F(EveryGo, CarriesPreferencesChangedInTheFilesSinceTheLastGo) {
    TypicalStart();
    StartAndWait();
    ExpectDialUpValues(BinaryValues(1, 1, 10));

    // Another program switches auto-dial off and changes the minutes: "Go" reads the switch
    // afresh and puts it back, and leaves the minutes alone.
    SetDialUpValues(BinaryValues(0, 1, 44));
    Go();
    ExpectDialUpValues(BinaryValues(1, 1, 44));

    const struct {
        const char* what;
        bool autoDial;
        bool autoDisconnect;
        const char* minutes;
        DialUpValues after;
    } steps[] = {
        {"both switched off: the minutes stay", false, false, "25", BinaryValues(0, 0, 44)},
        {"both switched on: the minutes follow the switch", true, true, "25",
         BinaryValues(1, 1, 25)},
        {"minutes changed in the file alone are not carried", true, true, "30",
         BinaryValues(1, 1, 25)},
        {"auto-dial alone switched off", false, true, "30", BinaryValues(0, 1, 25)},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        PutPreferences(step.autoDial, step.autoDisconnect, step.minutes);
        Go();
        ExpectDialUpValues(step.after);
    }
    ExpectNoBoxes();
}

TEST_F(TheStartUp, WithoutPreferenceFilesShowsABoxAndCarriesTheInitialPreferences) {
    TypicalStart();
    const struct {
        const char* missing;
        const char* box;
    } cases[] = {
        {"dial.inf", "Failed to open dial.inf - read"},
        {"disc.inf", "Failed to open disc.inf - read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.missing);
        // What the files would say if they were read: all off.
        PutPreferences(false, false, "20");
        RemoveFile(c.missing);
        SetDialUpValues({kNoValue, kNoValue, kNoValue});
        StartAndWait();
        std::vector<Box> boxes = ExpectBoxes({{"Halvorn", c.box}});
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_TRUE(boxes[0].topmost);
        // Nothing was taken from either file: auto-dial on, auto-disconnect on, 3 minutes.
        ExpectDialUpValues(BinaryValues(1, 1, 3));
        // Every "Go" tries again, and launches after the box.
        for (int launch = 0; launch < 2; ++launch) {
            Go();
            ExpectBoxes({{"Halvorn", c.box}});
        }
        ExpectDialUpValues(BinaryValues(1, 1, 3));
        CloseAndWait();
    }
}

TEST_F(EveryGo, WithAPreferenceFileGoneShowsABoxAndTakesNothingFromTheOther) {
    TypicalStart();
    StartAndWait();
    ExpectDialUpValues(BinaryValues(1, 1, 10));
    PutPreferences(false, false, "20");
    RemoveFile("disc.inf");
    Go();
    ExpectBoxes({{"Halvorn", "Failed to open disc.inf - read"}});
    // "dial.inf" opened and said off, but nothing of it was taken.
    ExpectDialUpValues(BinaryValues(1, 1, 10));
    RemoveFile("dial.inf");
    Go();
    ExpectBoxes({{"Halvorn", "Failed to open dial.inf - read"}});
    // Both back: the next "Go" takes them.
    PutPreferences(false, false, "20");
    Go();
    ExpectDialUpValues(BinaryValues(0, 0, 10));
    ExpectNoBoxes();
}

TEST_F(TheDialUpProfileCheck, WarnsAtStartWhenNoConnectionIsChosen) {
    TypicalStart();
    const struct {
        const char* what;
        bool value;
        std::string profile;
        std::vector<ExpectedBox> boxes;
    } cases[] = {
        {"no value", false, "", {{kNoProfile, ""}}},
        {"empty", true, "", {{kNoProfile, ""}}},
        {"one character", true, "X", {{kNoProfile, "X"}}},
        {"two characters", true, "AB", {}},
        {"a name", true, "My ISP", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.value)
            SetRegString(HKEY_CURRENT_USER, kRemoteAccess, "InternetProfile", c.profile);
        else
            DeleteRegValue(HKEY_CURRENT_USER, kRemoteAccess, "InternetProfile");
        StartAndWait();
        std::vector<Box> boxes = ExpectBoxes(c.boxes);
        if (!c.boxes.empty()) {
            EXPECT_EQ(boxes[0].owner, nullptr);
            EXPECT_TRUE(boxes[0].topmost);
        }
        // Only the start checks; the dial-up values are carried all the same.
        Go();
        ExpectDialUpValues(BinaryValues(1, 1, 10));
        CloseAndWait();
        ExpectNoBoxes();
    }
}

TEST_F(TheDialUpProfileCheck, WithoutTheRemoteAccessKeyShowsTheSystemsReasonOnly) {
    TypicalStart();
    DeleteRegKey(HKEY_CURRENT_USER, kRemoteAccess);
    SetDialUpValues({kNoValue, kNoValue, kNoValue});
    StartAndWait();
    std::string reason = SystemText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reason.empty());
    // No second box about the profile follows.
    std::vector<Box> boxes = ExpectBoxes({{kNoRemoteAccess, reason}});
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_FALSE(boxes[0].topmost);
    // The start goes on: the dial-up values are carried.
    ExpectDialUpValues(BinaryValues(1, 1, 10));
    Go();
    ExpectNoBoxes();
}

} // namespace
