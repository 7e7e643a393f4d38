// How the Configure dialog changes the idle minutes: each change keeps them between 3 and 59.
#pragma once

const int kMinIdleMinutes = 3;
const int kMaxIdleMinutes = 59;

// Sets idleMinutesText to the decimal text of idleMinutes, whatever its value.
void FormatIdleMinutesText();

// Takes over the minutes the user typed, as Enter does while auto-disconnect is on: the first
// two characters become idleMinutesText and, by the decimal rule, idleMinutes; a value above 59
// becomes 59 ("59"), one below 3 becomes 3 ("3"); idleTimeChanged is set. With auto-disconnect
// off nothing changes. Returns whether the minutes were taken.
bool TakeOverTypedMinutes(const char* typed);

// One step of the spin control: +1 raises the minutes while they are below 59, -1 lowers them
// while they are above 3, and either sets idleMinutesText to the new value and idleTimeChanged.
// A step that would leave 3 to 59, or go further out, is refused: returns false.
bool StepIdleMinutes(int step);
