#include "app/window_position.h"

#include "test_folder.h"

#include <climits>
#include <string>

namespace {

using WindowPosition = InTestFolder;

void ExpectOpenFailureBox() {
    ASSERT_EQ(standin::Boxes().size(), 1u);
    EXPECT_EQ(standin::Boxes()[0].text, "Failed to open TARSEL.INI");
    EXPECT_EQ(standin::Boxes()[0].caption, "Halvorn");
    EXPECT_EQ(standin::Boxes()[0].flags, MB_ICONWARNING | MB_SYSTEMMODAL);
    EXPECT_EQ(standin::Boxes()[0].owner, nullptr);
}

TEST(WindowEdges, TheFileHoldsTheClientCornerAndEdgesOutsideTheScreenBecomeOne) {
    const int width = 1024;
    const int height = 768;
    const struct {
        int x, y;
        int left, top;
    } cases[] = {
        {103, 124, 100, 100},
        {3, 24, 0, 0},                                 // the lower bounds stay
        {2, 23, 1, 1},                                 // one below them
        {width - 160 + 3, height - 60 + 24, 864, 708}, // the upper bounds stay
        {width - 160 + 4, height - 60 + 25, 1, 1},     // one above them
        {0, 0, 1, 1},                                  // a missing line
        {65531, 65529, 1, 1},                          // dragged past the top left
        {65535 + 3, 65535 + 24, 1, 1},
        {-5, -5, 1, 1},
        {INT_MIN, INT_MIN, 1, 1},
        {INT_MAX, INT_MAX, 1, 1},
        {500, 60, 497, 36},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        int left = -1, top = -1;
        WindowEdgesFor(c.x, c.y, width, height, &left, &top);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(top, c.top);
    }
}

TEST(WindowEdges, AScreenSmallerThanTheMarginsPutsEveryCornerAtOne) {
    int left, top;
    WindowEdgesFor(3, 24, 100, 50, &left, &top);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(top, 1);
}

TEST_F(WindowPosition, ReadsOneNumberALineAndAMissingLineAsZero) {
    const struct {
        const char* bytes;
        int x, y;
    } cases[] = {
        {"103\r\n124", 103, 124},
        {"103\r\n124\r\n", 103, 124},
        {"103\n124", 103, 124},
        {"  +7 px\r\n-12\r\n", 7, -12},
        {"103\r\n", 103, 0},
        {"103", 103, 0},
        {"", 0, 0},
        {"\r\n\r\n", 0, 0},
        {"abc\r\n50", 0, 50},
        // Nine characters count; a longer line is read whole and does not shift the next.
        {"1234567890123\r\n50", 123456789, 50},
        {"000000000103\r\n50", 0, 50},
        {"1\x1a\r\n2", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        WriteFileBytes("tarsel.ini", c.bytes);
        int x = -1, y = -1;
        EXPECT_TRUE(ReadWindowPosition(&x, &y));
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
    EXPECT_TRUE(standin::Boxes().empty());
}

TEST_F(WindowPosition, AMissingFileShowsItsBoxAndReadsNothing) {
    int x = -1, y = -1;
    EXPECT_FALSE(ReadWindowPosition(&x, &y));
    ExpectOpenFailureBox();
    EXPECT_FALSE(FileExists("tarsel.ini"));
}

LPARAM Corner(int left, int top) {
    return static_cast<LPARAM>((static_cast<unsigned>(top) & 0xFFFF) << 16 |
                               (static_cast<unsigned>(left) & 0xFFFF));
}

TEST_F(WindowPosition, WritesTheCornerAsUnsigned16BitNumbersWithNoLineEndAfterTheSecond) {
    const struct {
        int left, top;
        const char* bytes;
    } cases[] = {
        {103, 124, "103\r\n124"},     {0, 0, "0\r\n0"},
        {-5, -1, "65531\r\n65535"},   {-32768, 32767, "32768\r\n32767"},
        {1920, 1080, "1920\r\n1080"},
    };
    for (const auto& c : cases) {
        WriteFileBytes("tarsel.ini", "a longer text that the write replaces\r\n");
        EXPECT_TRUE(SaveWindowPosition(Corner(c.left, c.top)));
        EXPECT_EQ(ReadFileBytes("tarsel.ini"), c.bytes);
    }
    EXPECT_TRUE(standin::Boxes().empty());
}

TEST_F(WindowPosition, WhatAMoveWritesPutsTheWindowBackWhereItWas) {
    const struct {
        int clientLeft, clientTop;
        int left, top;
    } cases[] = {
        {103, 124, 100, 100},
        {-5, 30, 1, 6},   // dragged past the left screen edge
        {40, -20, 37, 1}, // and past the top
    };
    for (const auto& c : cases) {
        SaveWindowPosition(Corner(c.clientLeft, c.clientTop));
        int x, y, left, top;
        ASSERT_TRUE(ReadWindowPosition(&x, &y));
        WindowEdgesFor(x, y, 800, 600, &left, &top);
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(top, c.top);
    }
}

TEST_F(WindowPosition, AFileThatCannotBeWrittenShowsItsBoxAndTheNextMoveTriesAgain) {
    WriteFileBytes("tarsel.ini", "7\r\n8");
    standin::FailCall(standin::Call::OpenForWriting);
    EXPECT_FALSE(SaveWindowPosition(Corner(1, 2)));
    ExpectOpenFailureBox();
    EXPECT_EQ(ReadFileBytes("tarsel.ini"), "7\r\n8");

    EXPECT_TRUE(SaveWindowPosition(Corner(1, 2)));
    EXPECT_EQ(ReadFileBytes("tarsel.ini"), "1\r\n2");
}

} // namespace
