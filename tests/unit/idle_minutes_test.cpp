// The Configure dialog's rules for the idle minutes: typed text taken over by Enter or OK, and
// the spin control's steps.
#include "connection/connection_settings.h"
#include "connection/idle_minutes.h"

#include <gtest/gtest.h>
#include <string>

namespace {

void Start(int autoDisconnect, int minutes, const char* text, int changed) {
    connectionSettings.autoDisconnect = autoDisconnect;
    connectionSettings.idleMinutes = minutes;
    snprintf(connectionSettings.idleMinutesText, sizeof connectionSettings.idleMinutesText, "%s",
             text);
    connectionSettings.idleTimeChanged = changed;
}

TEST(IdleMinutes, TypedTextIsTakenOverAndBroughtIntoRange) {
    struct Case {
        const char* typed;
        int minutes;
        const char* text;
    } cases[] = {
        {"10", 10, "10"}, {"75", 59, "59"}, {"2", 3, "3"},     {"abc", 3, "3"},   {"7x", 7, "7x"},
        {" 5", 5, " 5"},  {"-1", 3, "3"},   {"", 3, "3"},      {"599", 59, "59"}, {"3", 3, "3"},
        {"59", 59, "59"}, {"60", 59, "59"}, {"123", 12, "12"},
    };
    for (const Case& c : cases) {
        Start(1, 20, "20", 0);
        EXPECT_TRUE(TakeOverTypedMinutes(c.typed));
        EXPECT_EQ(connectionSettings.idleMinutes, c.minutes) << c.typed;
        EXPECT_EQ(std::string(connectionSettings.idleMinutesText), c.text) << c.typed;
        EXPECT_EQ(connectionSettings.idleTimeChanged, 1) << c.typed;
    }
}

TEST(IdleMinutes, TypedTextIsIgnoredWhileAutoDisconnectIsOff) {
    Start(0, 20, "20", 0);
    EXPECT_FALSE(TakeOverTypedMinutes("75"));
    EXPECT_EQ(connectionSettings.idleMinutes, 20);
    EXPECT_EQ(std::string(connectionSettings.idleMinutesText), "20");
    EXPECT_EQ(connectionSettings.idleTimeChanged, 0);
}

TEST(IdleMinutes, SpinStepsStayWithinRangeAndNeverStepOutwards) {
    struct Case {
        int from;
        int step;
        bool taken;
        int minutes;
        const char* text;
    } cases[] = {
        {58, +1, true, 59, "59"}, {59, +1, false, 59, "59"}, {4, -1, true, 3, "3"},
        {3, -1, false, 3, "3"},   {0, +1, true, 1, "1"},     {0, -1, false, 0, "0"},
        {80, -1, true, 79, "79"}, {80, +1, false, 80, "80"}, {20, 0, false, 20, "20"},
    };
    for (const Case& c : cases) {
        Start(0, c.from, "", 0);
        FormatIdleMinutesText();
        EXPECT_EQ(StepIdleMinutes(c.step), c.taken) << c.from << " " << c.step;
        EXPECT_EQ(connectionSettings.idleMinutes, c.minutes) << c.from << " " << c.step;
        EXPECT_EQ(std::string(connectionSettings.idleMinutesText), c.text);
        EXPECT_EQ(connectionSettings.idleTimeChanged, c.taken ? 1 : 0);
    }
}

TEST(IdleMinutes, TextOfAnyValueFitsItsBuffer) {
    for (int minutes : {-9, 0, 99, 100, -2147483647 - 1}) {
        Start(1, minutes, "", 0);
        FormatIdleMinutesText();
        EXPECT_LE(strlen(connectionSettings.idleMinutesText), 2u);
    }
}

} // namespace
