// Whatever goes wrong during an edit of the list, the next start finds the old list, after the
// box of the call that failed, or the whole new one: every system call of a rewrite fails in
// turn, and a process editing the list is killed at random moments (TARSEL_KILLS times, 150
// unless set). Both where MoveFileExA works and where it is not implemented (Windows 95 to Me).
#include "tests/unit/rules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <set>
#include <sys/wait.h>

namespace {

using standin::s;
using std::string;

// The list that the next start loads: it takes "urls.tmp" where an edit left no "urls.txt".
string NextStartsList() {
    s = standin::State();
    LocationTable table;
    LoadLocationList(&table, "", false);
    FreeLocationTable(&table);
    return Get("urls.txt");
}

const struct {
    const char* name;
    Edit edit;
    char copyFailure; // the number in its "Copy Failed" box
} kEdits[] = {
    {.name = "add", .edit = {.add = {"New", "http://n/"}}, .copyFailure = '1'},
    {.name = "delete", .edit = {.remove = {"D", "A"}}, .copyFailure = '2'},
    {.name = "modify",
     .edit = {.modifyFrom = {"D", "A"}, .modifyTo = {"M", "A"}},
     .copyFailure = '3'},
};

// The box of a call of each kind that fails and leaves the old list.
string BoxFor(int kind, char copyFailure) {
    const char* const texts[] = {"open URLS.LST",  "open URLS.TMP",  "open URLS.LST",
                                 "write URLS.TMP", "write URLS.TMP", "write URLS.TMP"};
    if (kind >= standin::kMove)
        return string("Copy Failed: urls.tmp to urls.txt (") + copyFailure + ") (1030)\n";
    return string("Halvorn: Failed to ") + texts[kind] + " (1030)\n";
}

int FailEachCallInTurn(bool noMoveFileEx) {
    // 91 entries, 45 KB: the writes of the new list take several calls.
    const string old =
        "91\r\n" + Lines("D", "A") + Repeat(90, Lines(string(199, 'd'), string(299, 'a')));
    int points = 0;
    for (const auto& edit : kEdits) {
        Fresh();
        s.noMoveFileEx = noMoveFileEx;
        Put("urls.txt", old);
        Apply(edit.edit);
        const standin::State clean = s;
        const string fresh = NextStartsList();
        EXPECT_EQ(clean.calls[standin::kFlush], 1) << "the new list is flushed before it replaces";
        for (int kind = standin::kOpenRead; kind <= standin::kDelete; ++kind)
            for (int nth = 1; nth <= clean.calls[kind]; ++nth, ++points) {
                Fresh();
                s.noMoveFileEx = noMoveFileEx;
                s.fail[kind] = {nth};
                Put("urls.txt", old);
                Apply(edit.edit);
                const string boxes = s.log, list = NextStartsList();
                if (list == old)
                    EXPECT_EQ(boxes, BoxFor(kind, edit.copyFailure)) << edit.name << " " << nth;
                else
                    EXPECT_EQ(list, fresh) << edit.name << ", call " << kind << " #" << nth;
            }
    }
    return points;
}

TEST(AllOrNothing, EveryFailingCallLeavesTheOldListWithItsBoxOrTheNewOne) {
    int points = FailEachCallInTurn(false);
    printf("[ all or nothing ] %d failure points with MoveFileExA\n", points);
    EXPECT_GT(points, 100);
}

TEST(AllOrNothing, SoWithoutMoveFileEx) {
    int points = FailEachCallInTurn(true);
    printf("[ all or nothing ] %d failure points without MoveFileExA\n", points);
    EXPECT_GT(points, 100);
}

// A process adds entry i / 2 when i is even and deletes it when i is odd, 120 times, and is
// killed at a random moment. Returns how many of the lists it passes through were found.
size_t KillEditsAtRandom(bool noMoveFileEx) {
    const string start = Lines("3", "A", "a", "B", "b", "C", "c");
    std::set<string> lists = {start}, found;
    auto edit = [&] {
        for (int i = 0; i < 120; ++i) {
            Entry entry = {"N" + std::to_string(i / 2), "n"};
            Apply(i % 2 ? Edit{.remove = entry} : Edit{.add = entry});
            lists.insert(Get("urls.txt"));
        }
    };
    Fresh();
    s.noMoveFileEx = noMoveFileEx;
    Put("urls.txt", start);
    auto begin = std::chrono::steady_clock::now();
    edit();
    auto took = (std::chrono::steady_clock::now() - begin) / std::chrono::microseconds(1);
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
        EXPECT_TRUE(lists.count(list)) << "kill " << kill << " left:\n" << list;
        found.insert(list);
    }
    printf("[ all or nothing ] %d kills%s: %zu of the %zu lists found after one\n", kills,
           noMoveFileEx ? " without MoveFileExA" : "", found.size(), lists.size());
    return found.size();
}

TEST(AllOrNothing, AKilledEditLeavesAListItPassesThrough) {
    EXPECT_GT(KillEditsAtRandom(false), 1u);
}

TEST(AllOrNothing, SoWithoutMoveFileExToo) {
    EXPECT_GT(KillEditsAtRandom(true), 1u);
}

} // namespace
