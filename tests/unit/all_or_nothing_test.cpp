// Whatever goes wrong during an edit of the list, the next start finds the old list, after the
// box of the call that failed, or the whole new one: each system call of a rewrite fails in turn,
// and a process editing the list is killed at random moments (TARSEL_KILLS times, 150 unless
// set). Both where MoveFileExA works and where it is not implemented (Windows 95, 98 and Me).
#include "tests/unit/rules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/wait.h>

namespace {

// The list that the next start loads: it takes "urls.tmp" where an edit left no "urls.txt".
string NextStartsList() {
    s = standin::State();
    LocationTable table;
    LoadLocationList(&table, "", false);
    FreeLocationTable(&table);
    return Get("urls.txt");
}

const Edit kEdits[] = {
    {.add = {"New", "http://n/"}},
    {.remove = {"D", "A"}},
    {.modifyFrom = {"D", "A"}, .modifyTo = {"M", "A"}},
};

// The box of a failed call of each kind that leaves the old list, for edit 1, 2 or 3.
string Box(int call, int edit) {
    const char* const failures[] = {"open URLS.LST", "open URLS.TMP", "open URLS.LST",
                                    "write URLS.TMP"};
    if (call >= standin::kMove)
        return "Copy Failed: urls.tmp to urls.txt (" + std::to_string(edit) + ") (1030)\n";
    return string("Halvorn: Failed to ") + failures[std::min(call, 3)] + " (1030)\n";
}

TEST(AllOrNothing, EachFailingCallLeavesTheOldListAfterItsBoxOrTheNewOne) {
    string old = "91\r\n" + Lines("D", "A"); // 45 KB: writing it takes several calls
    for (int i = 0; i < 90; ++i)
        old += Lines(string(199, 'd'), string(299, 'a'));
    for (bool noMoveFileEx : {false, true}) {
        int points = 0;
        for (int edit = 1; edit <= 3; ++edit) {
            Fresh();
            s.noMoveFileEx = noMoveFileEx;
            Put("urls.txt", old);
            Apply(kEdits[edit - 1]);
            const standin::State clean = s;
            const string fresh = NextStartsList();
            EXPECT_EQ(clean.calls[standin::kFlush], 1)
                << "the new list is flushed before it replaces";
            for (int call = standin::kOpenRead; call <= standin::kDelete; ++call)
                for (int nth = 1; nth <= clean.calls[call]; ++nth, ++points) {
                    Fresh();
                    s.noMoveFileEx = noMoveFileEx;
                    s.fail[call] = {nth};
                    Put("urls.txt", old);
                    Apply(kEdits[edit - 1]);
                    const string boxes = s.log, list = NextStartsList();
                    SCOPED_TRACE("edit " + std::to_string(edit) + ", call " + std::to_string(call) +
                                 " #" + std::to_string(nth));
                    if (list == old)
                        EXPECT_EQ(boxes, Box(call, edit));
                    else
                        EXPECT_EQ(list, fresh);
                }
        }
        printf("[ all or nothing ] %d failure points%s\n", points,
               noMoveFileEx ? " without MoveFileExA" : "");
        EXPECT_GT(points, 100);
    }
}

TEST(AllOrNothing, AKilledEditLeavesAListThatTheEditsPassThrough) {
    const string start = Lines("3", "A", "a", "B", "b", "C", "c");
    std::set<string> lists = {start};
    auto edit = [&] { // adds entry i / 2 when i is even and deletes it when i is odd
        for (int i = 0; i < 120; ++i) {
            Entry entry = {"N" + std::to_string(i / 2), "n"};
            Apply(i % 2 ? Edit{.remove = entry} : Edit{.add = entry});
            lists.insert(Get("urls.txt"));
        }
    };
    for (bool noMoveFileEx : {false, true}) {
        Fresh();
        s.noMoveFileEx = noMoveFileEx;
        Put("urls.txt", start);
        auto begin = std::chrono::steady_clock::now();
        edit();
        auto took = (std::chrono::steady_clock::now() - begin) / std::chrono::microseconds(1);
        std::set<string> found;
        int kills = getenv("TARSEL_KILLS") ? atoi(getenv("TARSEL_KILLS")) : 150;
        for (int kill = 0; kill < kills; ++kill) {
            Fresh();
            s.noMoveFileEx = noMoveFileEx;
            Put("urls.txt", start);
            pid_t child = fork();
            if (child == 0)
                edit(), _exit(0);
            usleep(static_cast<useconds_t>(rand() % took));
            ::kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            const string list = NextStartsList();
            found.insert(list);
            EXPECT_TRUE(lists.count(list)) << "kill " << kill << " left:\n" << list;
        }
        printf("[ all or nothing ] %d kills%s: %zu of the %zu lists found after one\n", kills,
               noMoveFileEx ? " without MoveFileExA" : "", found.size(), lists.size());
        EXPECT_GT(found.size(), 1u);
    }
}

} // namespace
