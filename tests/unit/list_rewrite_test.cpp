// The list rewrites on whole files: what "urls.txt" holds after an apply, byte for byte.
#include "list_rewrite_helpers.h"
#include "test_folder.h"

#include "locations/list_rewrite.h"

#include <cstdio>

namespace {

using standin::Call;

const std::string kExample = Lines({"2", "One", "http://a/", "Two", "http://b/"});
const std::string kUnterminated = "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/";
const std::string kBareLf = "2\nOne\nhttp://a/\nTwo\nhttp://b/\n";
const std::string kLeadingBlank = Lines({" 2", "One", "http://a/", "Two", "http://b/"});
const std::string kShort = Lines({"3", "One", "http://a/", "Two", "http://b/"});
const std::string kNoLastAddress = Lines({"2", "One", "http://a/", "Two"});
const std::string kSameDescription =
    Lines({"3", "One", "http://a/", "Two", "http://b/", "One", "http://c/"});
const std::string kTwins = Lines({"3", "One", "http://a/", "Two", "http://b/", "One", "http://a/"});
const std::string kNoDescription = Lines({"2", "", "http://e/", "Two", "http://b/"});
const std::string kFull = SiteList(Range(0, 99));
const std::string kLongDescription(250, 'd');
const std::string kLongAddress = "http://" + std::string(993, 'l');
const std::string kLongLines = Lines({"2", kLongDescription, kLongAddress, "Two", "http://b/"});
const std::string kWidest =
    Lines({"2", std::string(199, 'D'), std::string(299, 'A'), "Two", "http://b/"});

const Edits kAddNew = kNoEdits.Add("New", "http://n/");
const Edits kDeleteOne = kNoEdits.Delete("One", "http://a/");
const Edits kDeleteTwo = kNoEdits.Delete("Two", "http://b/");
const Edits kModifyOne = kNoEdits.Modify("One", "http://a/", "Eins", "http://e/");
const Edits kModifyTwo = kNoEdits.Modify("Two", "http://b/", "Zwei", "http://z/");

struct RewriteCase {
    const char* name;
    std::string before; // "urls.txt"
    Edits edits;
    std::string after;
    int result;
    const char* leftoverTemp; // "urls.tmp" before the apply, when not null
};

class ListRewrite : public InTestFolder {
  protected:
    void Check(const RewriteCase& c) {
        SCOPED_TRACE(c.name);
        standin::Reset();
        WriteFileBytes("urls.txt", c.before);
        remove("urls.tmp");
        if (c.leftoverTemp)
            WriteFileBytes("urls.tmp", c.leftoverTemp);
        SetPendingEdit(c.edits);

        EXPECT_EQ(ApplyPendingEdits(), c.result);
        EXPECT_EQ(ReadFileBytes("urls.txt"), c.after);
        EXPECT_TRUE(standin::Boxes().empty()) << standin::Boxes()[0].text;
        EXPECT_FALSE(FileExists("urls.tmp"));
        EXPECT_TRUE(PendingEditIsEmpty());
        EXPECT_EQ(standin::OpenFiles(), 0);
    }
};

TEST_F(ListRewrite, WorkedExamples) {
    const RewriteCase cases[] = {
        {"add", kExample, kAddNew,
         Lines({"3", "New", "http://n/", "One", "http://a/", "Two", "http://b/"}), 1, nullptr},
        {"delete", kExample, kDeleteOne, Lines({"1", "Two", "http://b/"}), 0, nullptr},
        {"modify", kExample, kModifyTwo, Lines({"2", "One", "http://a/", "Zwei", "http://z/"}), 0,
         nullptr},
        {"all three in one apply", kExample,
         kAddNew.Delete("One", "http://a/").Modify("Two", "http://b/", "Zwei", "http://z/"),
         Lines({"2", "New", "http://n/", "Zwei", "http://z/"}), 1, nullptr},
    };
    for (const RewriteCase& c : cases)
        Check(c);
}

TEST_F(ListRewrite, CountsAndLimits) {
    const RewriteCase cases[] = {
        {"nothing pending", kExample, kNoEdits, kExample, 0, nullptr},
        {"nothing pending, urls.tmp left over", kExample, kNoEdits, kExample, 0, "stale"},
        {"add to a full list", kFull, kAddNew, kFull, 99, nullptr},
        {"delete and add on a full list", kFull, kAddNew.Delete(SiteDescription(0), SiteAddress(0)),
         Lines({"99", "New", "http://n/"}) + SiteEntries(Range(1, 98)), 1, nullptr},
        {"add to count 0", "0\r\n", kAddNew, Lines({"1", "New", "http://n/"}), 1, nullptr},
        {"add to an empty file", "", kAddNew, Lines({"1", "New", "http://n/"}), 1, nullptr},
        {"add to a negative count", Lines({"-3", "One", "http://a/"}), kAddNew,
         Lines({"1", "New", "http://n/"}), 1, nullptr},
        {"add, count line with a leading blank", kLeadingBlank, kAddNew,
         Lines({"3", "New", "http://n/", "One", "http://a/", "Two", "http://b/"}), 1, nullptr},
        {"delete, count line with a leading blank", kLeadingBlank, kDeleteOne,
         Lines({"1", "Two", "http://b/"}), 0, nullptr},
        {"modify, count line with a leading blank", kLeadingBlank, kModifyTwo,
         Lines({" 2", "One", "http://a/", "Zwei", "http://z/"}), 0, nullptr},
        {"modify keeps a count line with words after the number",
         Lines({"2 sites", "One", "http://a/", "Two", "http://b/"}), kModifyTwo,
         Lines({"2 sites", "One", "http://a/", "Zwei", "http://z/"}), 0, nullptr},
        {"add, count above the entries held", kShort, kAddNew,
         Lines({"3", "New", "http://n/", "One", "http://a/", "Two", "http://b/"}), 1, nullptr},
        {"modify, count above the entries held", kShort, kModifyTwo,
         Lines({"2", "One", "http://a/", "Zwei", "http://z/"}), 0, nullptr},
        {"delete, count above the entries held", kShort, kDeleteOne,
         Lines({"1", "Two", "http://b/"}), 0, nullptr},
        {"add drops lines after the counted entries",
         Lines({"1", "One", "http://a/", "Two", "http://b/"}), kAddNew,
         Lines({"2", "New", "http://n/", "One", "http://a/"}), 1, nullptr},
        {"a Ctrl-Z ends the list", Lines({"2", "One", "http://a/"}) + "\x1A" + "Two\r\n", kAddNew,
         Lines({"2", "New", "http://n/", "One", "http://a/"}), 1, nullptr},
    };
    for (const RewriteCase& c : cases)
        Check(c);
}

TEST_F(ListRewrite, LinesAndLineEnds) {
    const RewriteCase cases[] = {
        {"add with an empty address", kExample, kNoEdits.Add("New", ""),
         Lines({"3", "New", "", "One", "http://a/", "Two", "http://b/"}), 1, nullptr},
        {"a typed text is one line", kExample, kNoEdits.Add("New\r\nX", "http://n/\nY\x1AZ"),
         Lines({"3", "New", "http://n/", "One", "http://a/", "Two", "http://b/"}), 1, nullptr},
        {"add keeps the last line unterminated", kUnterminated, kAddNew,
         "3\r\nNew\r\nhttp://n/\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/", 1, nullptr},
        {"modify keeps the last line unterminated", kUnterminated, kModifyOne,
         "2\r\nEins\r\nhttp://e/\r\nTwo\r\nhttp://b/", 0, nullptr},
        {"modify of the unterminated entry", kUnterminated, kModifyTwo,
         Lines({"2", "One", "http://a/", "Zwei", "http://z/"}), 0, nullptr},
        {"delete of the unterminated entry", kUnterminated, kDeleteTwo,
         Lines({"1", "One", "http://a/"}), 0, nullptr},
        {"add to bare LF", kBareLf, kAddNew,
         Lines({"3", "New", "http://n/", "One", "http://a/", "Two", "http://b/"}), 1, nullptr},
        {"modify of bare LF", kBareLf, kModifyTwo,
         Lines({"2", "One", "http://a/", "Zwei", "http://z/"}), 0, nullptr},
        {"delete of bare LF", kBareLf, kDeleteTwo, Lines({"1", "One", "http://a/"}), 0, nullptr},
        {"add, last entry without an address line", kNoLastAddress, kAddNew,
         Lines({"3", "New", "http://n/", "One", "http://a/", "Two"}), 1, nullptr},
        {"delete of the entry without an address line", kNoLastAddress, kNoEdits.Delete("Two", ""),
         Lines({"1", "One", "http://a/"}), 0, nullptr},
        {"add copies long lines whole", kLongLines, kAddNew,
         Lines({"3", "New", "http://n/", kLongDescription, kLongAddress, "Two", "http://b/"}), 1,
         nullptr},
        {"delete after long lines", kLongLines, kDeleteTwo,
         Lines({"1", kLongDescription, kLongAddress}), 0, nullptr},
        {"modify after long lines", kLongLines, kModifyTwo,
         Lines({"2", kLongDescription, kLongAddress, "Zwei", "http://z/"}), 0, nullptr},
        {"delete of the widest entry the table holds", kWidest,
         kNoEdits.Delete(std::string(199, 'D'), std::string(299, 'A')),
         Lines({"1", "Two", "http://b/"}), 0, nullptr},
        {"modify of the widest entry the table holds", kWidest,
         kNoEdits.Modify(std::string(199, 'D'), std::string(299, 'A'), "Eins", "http://e/"),
         Lines({"2", "Eins", "http://e/", "Two", "http://b/"}), 0, nullptr},
        {"modify keeps the widest address the table holds", kWidest,
         kNoEdits.Modify(std::string(199, 'D'), std::string(299, 'A'), "Eins",
                         std::string(299, 'A')),
         Lines({"2", "Eins", std::string(299, 'A'), "Two", "http://b/"}), 0, nullptr},
    };
    for (const RewriteCase& c : cases)
        Check(c);
}

TEST_F(ListRewrite, PickedEntry) {
    const RewriteCase cases[] = {
        {"delete of the second One", kSameDescription, kNoEdits.Delete("One", "http://c/"),
         Lines({"2", "One", "http://a/", "Two", "http://b/"}), 0, nullptr},
        {"delete of the first One", kSameDescription, kDeleteOne,
         Lines({"2", "Two", "http://b/", "One", "http://c/"}), 0, nullptr},
        {"modify of the second One", kSameDescription,
         kNoEdits.Modify("One", "http://c/", "Eins", "http://e/"),
         Lines({"3", "One", "http://a/", "Two", "http://b/", "Eins", "http://e/"}), 0, nullptr},
        {"modify of the first One", kSameDescription, kModifyOne,
         Lines({"3", "Eins", "http://e/", "Two", "http://b/", "One", "http://c/"}), 0, nullptr},
        {"delete drops the first of twins", kTwins, kDeleteOne,
         Lines({"2", "Two", "http://b/", "One", "http://a/"}), 0, nullptr},
        {"modify replaces both twins", kTwins, kModifyOne,
         Lines({"3", "Eins", "http://e/", "Two", "http://b/", "Eins", "http://e/"}), 0, nullptr},
        // Nothing matches: the list file is left alone, even its bare line ends.
        {"delete, description found with another address", kBareLf,
         kNoEdits.Delete("One", "http://x/"), kBareLf, 0, nullptr},
        {"modify, nothing found", kBareLf, kNoEdits.Modify("Three", "http://c/", "3", "http://3/"),
         kBareLf, 0, nullptr},
        {"delete on an empty list", "0\r\n", kDeleteOne, "0\r\n", 0, nullptr},
        // An entry whose description is empty is reached when it was chosen.
        {"delete of a chosen entry without description", kNoDescription,
         kNoEdits.DeleteChosen("", "http://e/"), Lines({"1", "Two", "http://b/"}), 0, nullptr},
        {"modify of a chosen entry without description", kNoDescription,
         kNoEdits.ModifyChosen("", "http://e/", "Named", "http://e/"),
         Lines({"2", "Named", "http://e/", "Two", "http://b/"}), 0, nullptr},
        {"an empty description alone is no delete", kNoDescription,
         kNoEdits.Delete("", "http://e/"), kNoDescription, 0, nullptr},
        {"delete of a line cut in the table", kLongLines,
         kNoEdits.Delete(kLongDescription.substr(0, 199), kLongAddress.substr(0, 299)), kLongLines,
         0, nullptr},
    };
    for (const RewriteCase& c : cases)
        Check(c);
}

TEST_F(ListRewrite, NoListFile) {
    SetPendingEdit(kAddNew.Delete("One", "http://a/").Modify("Two", "http://b/", "Z", "http://z/"));
    EXPECT_EQ(ApplyPendingEdits(), 0);
    ASSERT_EQ(standin::Boxes().size(), 3u);
    for (const standin::Box& box : standin::Boxes()) {
        EXPECT_EQ(box.text, "Failed to open URLS.LST");
        EXPECT_EQ(box.caption, "Halvorn");
        EXPECT_EQ(box.flags, MB_ICONWARNING | MB_SYSTEMMODAL);
        EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_FALSE(FileExists("urls.txt"));
    EXPECT_FALSE(FileExists("urls.tmp"));
    EXPECT_TRUE(PendingEditIsEmpty());
}

// A failed replacement shows its box and leaves the list to the operations after it.
TEST_F(ListRewrite, FailedReplacementInOneApply) {
    const struct {
        int failingMove;
        const char* box;
        std::string after;
    } cases[] = {
        {1, "urls.tmp to urls.txt (2)",
         Lines({"3", "New", "http://n/", "One", "http://a/", "Zwei", "http://z/"})},
        {2, "urls.tmp to urls.txt (3)", Lines({"2", "New", "http://n/", "Two", "http://b/"})},
        {3, "urls.tmp to urls.txt (1)", Lines({"1", "Zwei", "http://z/"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        standin::Reset();
        WriteFileBytes("urls.txt", kExample);
        SetPendingEdit(
            kAddNew.Delete("One", "http://a/").Modify("Two", "http://b/", "Zwei", "http://z/"));
        standin::FailCall(Call::MoveFileEx, c.failingMove);
        EXPECT_EQ(ApplyPendingEdits(), 1);
        EXPECT_EQ(ReadFileBytes("urls.txt"), c.after);
        ASSERT_EQ(standin::Boxes().size(), 1u);
        EXPECT_EQ(standin::Boxes()[0].text, c.box);
        EXPECT_EQ(standin::Boxes()[0].caption, "Copy Failed");
        EXPECT_EQ(standin::Boxes()[0].flags, MB_ICONWARNING | MB_SYSTEMMODAL);
        EXPECT_FALSE(FileExists("urls.tmp"));
    }
}

} // namespace
