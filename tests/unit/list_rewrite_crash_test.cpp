// A child process applies edits to a list of 99 entries over and over while this process kills
// it at random moments; after every kill "urls.txt" must be one of the lists the child passed
// through, whole.
#include "list_rewrite_helpers.h"
#include "test_folder.h"

#include "common/decimal.h"
#include "locations/list_rewrite.h"
#include "locations/location_list.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <map>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const int kSteps = 40;
const int kMaxKills = 200;
const auto kMaxTime = std::chrono::seconds(10);

// Step j deletes site j, the oldest and last in the list, renames the address of site j + 50
// and adds site j + 99 in front, so the list holds sites j + 1 to j + 99 after it.
std::string MovedAddress(int site) {
    return SiteAddress(site) + "moved/";
}

Edits StepDelete(int j) {
    return kNoEdits.Delete(SiteDescription(j), j >= 50 ? MovedAddress(j) : SiteAddress(j));
}

Edits StepModify(int j) {
    int site = j + 50;
    return kNoEdits.Modify(SiteDescription(site), SiteAddress(site), SiteDescription(site),
                           MovedAddress(site));
}

Edits StepAdd(int j) {
    return kNoEdits.Add(SiteDescription(j + 99), SiteAddress(j + 99));
}

// The edits of step j from its delete (0), its modify (1) or its add (2) on, in one apply.
Edits StepFrom(int j, int first) {
    Edits edits = StepAdd(j);
    if (first <= 1) {
        Edits modify = StepModify(j);
        edits.modifyOldDescription = modify.modifyOldDescription;
        edits.modifyOldAddress = modify.modifyOldAddress;
        edits.modifyNewDescription = modify.modifyNewDescription;
        edits.modifyNewAddress = modify.modifyNewAddress;
    }
    if (first == 0) {
        Edits remove = StepDelete(j);
        edits.deleteDescription = remove.deleteDescription;
        edits.deleteAddress = remove.deleteAddress;
    }
    return edits;
}

// Runs the steps on from the list numbered position (three per step), finishing the step it
// stands in first.
void RunFrom(int position) {
    for (int j = position / 3; j < kSteps; ++j) {
        SetPendingEdit(StepFrom(j, j == position / 3 ? position % 3 : 0));
        ApplyPendingEdits();
    }
}

std::vector<int> Descending(int first, int last) {
    std::vector<int> sites;
    for (int i = last; i >= first; --i)
        sites.push_back(i);
    return sites;
}

class ListRewriteCrash : public InTestFolder {};

TEST_F(ListRewriteCrash, KilledAtRandomMoments) {
    const std::string start = SiteList(Descending(0, 98));

    // Every list the child passes through, in order: an apply runs its delete, its modify and
    // its add one after the other, each leaving a list of its own.
    std::map<std::string, int> states;
    WriteFileBytes("urls.txt", start);
    states[start] = 0;
    auto begin = std::chrono::steady_clock::now();
    for (int j = 0; j < kSteps; ++j) {
        for (const Edits& edits : {StepDelete(j), StepModify(j), StepAdd(j)}) {
            SetPendingEdit(edits);
            ApplyPendingEdits();
            states.emplace(ReadFileBytes("urls.txt"), static_cast<int>(states.size()));
        }
    }
    auto runTime = std::chrono::steady_clock::now() - begin;
    ASSERT_TRUE(standin::Boxes().empty());
    ASSERT_EQ(states.size(), 3u * kSteps + 1);

    // A kill lands anywhere within the next few steps; each child goes on from the list the one
    // before left, finding whatever "urls.tmp" that one left too.
    std::mt19937 random(20261206);
    std::uniform_int_distribution<long long> delay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(runTime).count() * 4 / kSteps);
    std::map<int, int> seen;
    int position = 0;
    int kills = 0;
    auto deadline = std::chrono::steady_clock::now() + kMaxTime;
    for (; kills < kMaxKills && std::chrono::steady_clock::now() < deadline; ++kills) {
        if (position == 3 * kSteps) {
            WriteFileBytes("urls.txt", start);
            position = 0;
        }
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            standin::Reset();
            RunFrom(position);
            _exit(0);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        std::string list = ReadFileBytes("urls.txt");
        auto state = states.find(list);
        ASSERT_NE(state, states.end()) << "after kill " << kills << ": a list never written";
        ASSERT_GE(state->second, position) << "after kill " << kills << ": an older list";
        position = state->second;
        seen[position]++;

        standin::Reset();
        LocationTable table;
        ASSERT_TRUE(LoadLocationList(&table, "Failed to open URLS.LST", false));
        EXPECT_EQ(table.count, ParseDecimal(list.c_str()));
        FreeLocationTable(&table);
    }
    std::cout << "[ crash ] " << kills << " kills, " << seen.size() << " of " << states.size()
              << " lists seen\n";
    EXPECT_GT(seen.size(), 1u);
}

} // namespace
