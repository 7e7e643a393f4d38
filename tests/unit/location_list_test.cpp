// Loading "urls.txt" into a table.
#include "locations/location_list.h"
#include "test_folder.h"

#include <string>
#include <vector>

namespace {

struct Entry {
    std::string description;
    std::string address;
    bool operator==(const Entry& other) const {
        return description == other.description && address == other.address;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "{" << entry.description << ", " << entry.address << "}";
}

// Prints the boxes shown so far, for a test of a program that ends.
void PrintBoxes() {
    for (const standin::Box& box : standin::Boxes())
        fprintf(stderr, "[%s|%s|%u]", box.caption.c_str(), box.text.c_str(), box.flags);
}

class LocationListLoad : public InTestFolder {
  protected:
    // Loads the file as the Edit Locations dialog does (no limit) and returns the entries.
    std::vector<Entry> Load(const std::string& bytes, bool enforceLimit = false) {
        WriteFileBytes("urls.txt", bytes);
        LocationTable table;
        loaded_ = LoadLocationList(&table, "Failed to open URLS.LST", enforceLimit);
        present_ = table.present;
        std::vector<Entry> entries;
        for (int i = 0; i < table.count; ++i)
            entries.push_back({table.entries[i].description, table.entries[i].address});
        FreeLocationTable(&table);
        EXPECT_EQ(standin::LiveBlocks(), 0);
        return entries;
    }

    bool loaded_ = false;
    bool present_ = false;
};

TEST_F(LocationListLoad, CountLineRule) {
    const std::string twoEntries = "\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n";
    struct Case {
        const char* countLine;
        size_t expected;
    } cases[] = {
        {"0", 0},   {"-3", 0}, {"abc", 0}, {"", 0},  {" 2", 2},
        {"\t2", 2}, {"+1", 1}, {"1x", 1},  {"2", 2}, {"0002", 2},
    };
    for (const Case& c : cases) {
        std::vector<Entry> entries = Load(c.countLine + twoEntries);
        EXPECT_TRUE(loaded_) << c.countLine;
        EXPECT_EQ(entries.size(), c.expected) << "count line \"" << c.countLine << "\"";
        EXPECT_EQ(present_, c.expected > 0) << c.countLine;
    }
    EXPECT_TRUE(standin::Boxes().empty());
}

TEST_F(LocationListLoad, EmptyTablesAllocateNothing) {
    for (const char* bytes : {"0\r\n", "", "-3\r\nOne\r\nhttp://a/\r\n", "abc\r\n"}) {
        EXPECT_TRUE(Load(bytes).empty()) << bytes;
        EXPECT_TRUE(loaded_);
        EXPECT_FALSE(present_);
    }
    EXPECT_EQ(standin::CallCount(standin::Call::GlobalAlloc), 0);
}

TEST_F(LocationListLoad, LineEndsAndTexts) {
    const std::string desc39(39, 'd');
    const std::string addr198 = "http://" + std::string(191, 'a');
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Entry> expected;
    } cases[] = {
        {"CR LF",
         "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n",
         {{"One", "http://a/"}, {"Two", "http://b/"}}},
        {"last line without line end",
         "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/",
         {{"One", "http://a/"}, {"Two", "http://b/"}}},
        {"bare LF",
         "2\nOne\nhttp://a/\nTwo\nhttp://b/\n",
         {{"One", "http://a/"}, {"Two", "http://b/"}}},
        {"Ctrl-Z ends the file",
         "2\r\nOne\r\nhttp://a/\r\n\x1aTwo\r\nhttp://b/\r\n",
         {{"One", "http://a/"}}},
        {"blanks kept", "1\r\n  One \r\n http://a/ \r\n", {{"  One ", " http://a/ "}}},
        {"empty description", "1\r\n\r\nhttp://a/\r\n", {{"", "http://a/"}}},
        {"longer than its count",
         "1\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n",
         {{"One", "http://a/"}}},
        {"shorter than its count",
         "3\r\nOne\r\nhttp://a/\r\nTwo\r\n",
         {{"One", "http://a/"}, {"Two", ""}}},
        {"39 and 198 characters",
         "1\r\n" + desc39 + "\r\n" + addr198 + "\r\n",
         {{desc39, addr198}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Load(c.bytes), c.expected) << c.name;
}

TEST_F(LocationListLoad, LongLinesAreCutAndNeverShiftThePairing) {
    const std::string longDescription(250, 'd');
    const std::string longAddress(400, 'a');
    std::vector<Entry> entries =
        Load("2\r\n" + longDescription + "\r\n" + longAddress + "\r\nTwo\r\nhttp://b/\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].description, std::string(kMaxDescription, 'd'));
    EXPECT_EQ(entries[0].address, std::string(kMaxAddress, 'a'));
    EXPECT_EQ(entries[1], (Entry{"Two", "http://b/"}));

    // A count line longer than four characters counts by its first four.
    EXPECT_EQ(Load("00001\r\nOne\r\nhttp://a/\r\n").size(), 0u);
    EXPECT_EQ(Load("0001x\r\nOne\r\nhttp://a/\r\n").size(), 1u);
}

TEST_F(LocationListLoad, LimitOnlyForTheMainWindow) {
    std::string list = "99\r\n";
    for (int i = 0; i < 99; ++i)
        list += "Entry " + std::to_string(i) + "\r\nhttp://" + std::to_string(i) + "/\r\n";
    EXPECT_EQ(Load(list, true).size(), 99u);
    EXPECT_EQ(Load("100" + list.substr(2) + "Last\r\nhttp://last/\r\n", false).size(), 100u);
    EXPECT_TRUE(standin::Boxes().empty());
}

TEST_F(LocationListLoad, HundredEntriesEndTheMainWindowAfterTheLimitBox) {
    WriteFileBytes("urls.txt", "100\r\nOne\r\nhttp://a/\r\n");
    EXPECT_EXIT(
        {
            atexit(PrintBoxes);
            LocationTable table;
            LoadLocationList(&table, "Failed to open URLS.TXT", true);
            exit(3); // the program went on after the box
        },
        ::testing::ExitedWithCode(0), "^\\[Maximum Locations\\|Location limit is 99\\.\\|4144\\]$");
}

TEST_F(LocationListLoad, FailureBoxes) {
    LocationTable table;
    EXPECT_FALSE(LoadLocationList(&table, "Failed to open URLS.TXT", true));
    EXPECT_FALSE(table.present);

    WriteFileBytes("urls.txt", "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n");
    standin::FailCall(standin::Call::GlobalAlloc);
    EXPECT_FALSE(LoadLocationList(&table, "Failed to open URLS.LST", false));
    EXPECT_FALSE(table.present);

    const UINT warning = MB_ICONWARNING | MB_SYSTEMMODAL;
    ASSERT_EQ(standin::Boxes().size(), 2u);
    EXPECT_EQ(standin::Boxes()[0].text, "Failed to open URLS.TXT");
    EXPECT_EQ(standin::Boxes()[1].text, "Out of memory");
    for (const standin::Box& box : standin::Boxes()) {
        EXPECT_EQ(box.caption, "Halvorn");
        EXPECT_EQ(box.flags, warning);
        EXPECT_EQ(box.owner, nullptr);
    }
}

TEST_F(LocationListLoad, FreeReleasesOnceAndOnlyWhatItHolds) {
    WriteFileBytes("urls.txt", "1\r\nOne\r\nhttp://a/\r\n");
    LocationTable table;
    ASSERT_TRUE(LoadLocationList(&table, "x", true));
    EXPECT_EQ(standin::LockedBlocks(), 1);
    FreeLocationTable(&table);
    FreeLocationTable(&table);
    EXPECT_FALSE(table.present);
    EXPECT_EQ(standin::LiveBlocks(), 0);
}

} // namespace
