// Makes every system call of a rewrite fail in turn, one per apply, and checks that the list is
// then the old one or the complete new one, that the right box appeared and that no "urls.tmp"
// is left behind.
#include "list_rewrite_helpers.h"
#include "test_folder.h"

#include "locations/list_rewrite.h"

#include <cstdio>
#include <iostream>

namespace {

using standin::Call;

struct Operation {
    const char* name;
    Edits edits;
    const char* copyFailure;
};

// The box a failure of the call shows, none when it changes nothing, and whether the new list
// is then in place.
struct Outcome {
    const char* text;
    const char* caption;
    bool newList;
};

// The rewrite closes its readers of "urls.txt" before it finishes "urls.tmp", so the last close
// of an apply is that of "urls.tmp"; a reader's failed close loses nothing.
Outcome ExpectedOutcome(Call call, int nth, int closes, const Operation& operation) {
    switch (call) {
    case Call::OpenForReading:
    case Call::ReadFile:
        return {"Failed to open URLS.LST", "Halvorn", false};
    case Call::OpenForWriting:
        return {"Failed to open URLS.TMP", "Halvorn", false};
    case Call::WriteFile:
    case Call::FlushFileBuffers:
        return {"Failed to write URLS.TMP", "Halvorn", false};
    case Call::CloseHandle:
        if (nth == closes)
            return {"Failed to write URLS.TMP", "Halvorn", false};
        return {nullptr, nullptr, true};
    case Call::MoveFileEx:
        return {operation.copyFailure, "Copy Failed", false};
    default:
        return {nullptr, nullptr, true};
    }
}

const char* CallName(Call call) {
    static const char* const names[] = {
        "GlobalAlloc", "OpenForReading", "OpenForWriting", "WriteFile",   "FlushFileBuffers",
        "CloseHandle", "MoveFileEx",     "DeleteFile",     "RegSetValue", "ReadFile"};
    return names[static_cast<int>(call)];
}

class ListRewriteFaults : public InTestFolder {
  protected:
    void Start(const std::string& list, const Edits& edits) {
        standin::Reset();
        WriteFileBytes("urls.txt", list);
        remove("urls.tmp");
        SetPendingEdit(edits);
    }
};

TEST_F(ListRewriteFaults, EveryFailurePoint) {
    // Entries of the widest texts the table holds, so that urls.tmp takes many writes of the
    // text files' buffer.
    const std::string old = SiteList(Range(0, 90), 199, 299);
    const Operation operations[] = {
        {"add", kNoEdits.Add("New", "http://new.example/"), "urls.tmp to urls.txt (1)"},
        {"delete", kNoEdits.Delete(SiteDescription(40, 199), SiteAddress(40, 299)),
         "urls.tmp to urls.txt (2)"},
        {"modify",
         kNoEdits.Modify(SiteDescription(70, 199), SiteAddress(70, 299), "Renamed",
                         "http://renamed.example/"),
         "urls.tmp to urls.txt (3)"},
    };
    int points = 0;
    for (const Operation& operation : operations) {
        SCOPED_TRACE(operation.name);
        Start(old, operation.edits);
        ApplyPendingEdits();
        ASSERT_TRUE(standin::Boxes().empty());
        const std::string fresh = ReadFileBytes("urls.txt");
        ASSERT_NE(fresh, old);
        int calls[static_cast<int>(Call::Count)];
        for (int i = 0; i < static_cast<int>(Call::Count); ++i)
            calls[i] = standin::CallCount(static_cast<Call>(i));
        EXPECT_GT(calls[static_cast<int>(Call::WriteFile)], 10);
        const int closes = calls[static_cast<int>(Call::CloseHandle)];
        std::cout << "[ fault points ] " << operation.name << ":";
        for (int i = 0; i < static_cast<int>(Call::Count); ++i)
            std::cout << " " << CallName(static_cast<Call>(i)) << " " << calls[i];
        std::cout << "\n";

        for (int i = 0; i < static_cast<int>(Call::Count); ++i) {
            Call call = static_cast<Call>(i);
            for (int nth = 1; nth <= calls[i]; ++nth) {
                SCOPED_TRACE(std::string(CallName(call)) + " #" + std::to_string(nth));
                Start(old, operation.edits);
                standin::FailCall(call, nth);
                ApplyPendingEdits();
                ++points;

                Outcome expected = ExpectedOutcome(call, nth, closes, operation);
                std::string list = ReadFileBytes("urls.txt");
                EXPECT_TRUE(list == old || list == fresh) << "a partial list";
                EXPECT_EQ(list == fresh, expected.newList);
                if (expected.text) {
                    ASSERT_EQ(standin::Boxes().size(), 1u);
                    const standin::Box& box = standin::Boxes()[0];
                    EXPECT_EQ(box.text, expected.text);
                    EXPECT_EQ(box.caption, expected.caption);
                    EXPECT_EQ(box.flags, MB_ICONWARNING | MB_SYSTEMMODAL);
                    EXPECT_EQ(box.owner, nullptr);
                } else {
                    EXPECT_TRUE(standin::Boxes().empty()) << standin::Boxes()[0].text;
                }
                EXPECT_FALSE(FileExists("urls.tmp"));
                EXPECT_EQ(standin::OpenFiles(), 0);
                EXPECT_TRUE(PendingEditIsEmpty());
            }
        }
    }
    std::cout << "[ fault points ] " << points << " failure points checked\n";
    EXPECT_GT(points, 100);
}

} // namespace
