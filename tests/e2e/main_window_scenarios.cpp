// The main window: how it appears and how closing it ends the program.
#include "tests/e2e/rig.h"

namespace {
using namespace e2e;

using TheMainWindow = Scenario;

TEST_F(TheMainWindow, AppearsCaptionedHalvornsTarselWithClassDia1) {
    TypicalStart();
    Start();
    HWND window = MainWindow();
    ASSERT_NE(window, nullptr);
    ExpectVisible(window);
    EXPECT_EQ(Text(window), "Halvorn's Tarsel");
    EXPECT_EQ(ClassOf(window), "dia1");
    ExpectNoBoxes();
}

TEST_F(TheMainWindow, ClosingItEndsTheProgramWithExitCode0) {
    TypicalStart();
    Start();
    ExpectVisible(MainWindow());
    Close();
    ExpectExit(0);
    ExpectNoBoxes();
}

} // namespace
