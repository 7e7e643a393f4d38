// Steps and facts that the dial-up scenarios share: the three dial-up values under the internet
// settings key, and "Go" on the first entry, waited for until the browser has it.
#pragma once

#include "tests/e2e/main_window_steps.h"

#include <string>
#include <vector>

namespace e2e {

// A registry value as a scenario sets or expects it; type REG_NONE stands for no value.
struct Stored {
    DWORD type;
    std::string data;
};

const Stored kNoValue = {REG_NONE, ""};

// REG_BINARY, four bytes, least significant first: what the program writes.
inline Stored Binary(uint32_t n) {
    return {REG_BINARY, Le32(n)};
}

// "EnableAutoDial", "EnableAutoDisconnect" and "DisconnectIdleTime".
struct DialUpValues {
    Stored autoDial;
    Stored autoDisconnect;
    Stored idleTime;
};

inline DialUpValues BinaryValues(uint32_t autoDial, uint32_t autoDisconnect, uint32_t idleTime) {
    return {Binary(autoDial), Binary(autoDisconnect), Binary(idleTime)};
}

inline void SetStored(const char* name, const Stored& value, Where where = {}) {
    if (value.type == REG_NONE)
        DeleteRegValue(HKEY_CURRENT_USER, kInternetSettings, name);
    else
        SetRegValue(HKEY_CURRENT_USER, kInternetSettings, name, value.type, value.data, where);
}

inline void SetDialUpValues(const DialUpValues& values, Where where = {}) {
    SetStored("EnableAutoDial", values.autoDial, where);
    SetStored("EnableAutoDisconnect", values.autoDisconnect, where);
    SetStored("DisconnectIdleTime", values.idleTime, where);
}

inline void ExpectStored(const char* name, const Stored& value, Where where = {}) {
    if (value.type == REG_NONE)
        ExpectNoRegValue(HKEY_CURRENT_USER, kInternetSettings, name, where);
    else
        ExpectRegValue(HKEY_CURRENT_USER, kInternetSettings, name, value.type, value.data, where);
}

// The checks poll until the values hold, so a scenario calls this once the program has done its
// synchronisation (its window is shown after the start, the browser has the address after "Go"):
// values that must stay as they were are then final.
inline void ExpectDialUpValues(const DialUpValues& values, Where where = {}) {
    ExpectStored("EnableAutoDial", values.autoDial, where);
    ExpectStored("EnableAutoDisconnect", values.autoDisconnect, where);
    ExpectStored("DisconnectIdleTime", values.idleTime, where);
}

// A scenario that presses "Go" on the picker's first entry and waits for the browser to get it:
// the registry synchronisation comes before the launch, so it is done by then.
class DialUpScenario : public Scenario {
  protected:
    void Go(Where where = {}) {
        Click(Item(MainWindow(where), IDC_MAIN_GO, where));
        launches_.push_back(OnCommandLine(BrowserPath()) + " " + kTypicalLocations[0].address);
        ExpectLaunches(launches_, where);
    }

    // The preference files as the program writes them.
    void PutPreferences(bool autoDial, bool autoDisconnect, const std::string& idleMinutesText) {
        PutFile("dial.inf", DialFile(autoDial));
        PutFile("disc.inf", DiscFile(autoDisconnect, idleMinutesText));
    }

    // Starts the program on the list of TypicalStart and waits until its picker is filled: the
    // start-up synchronisation is done by then.
    void StartAndWait(Where where = {}) {
        Start("tarsel.exe", "", where);
        ExpectFilledPicker(MainWindow(where), TypicalDescriptions(), where);
    }

    void CloseAndWait(Where where = {}) {
        Close(where);
        ExpectExit(0, where);
        launches_.clear();
        RemoveFile("browser.log");
    }

  private:
    std::vector<std::string> launches_;
};

} // namespace e2e
