#include "connection/dial_registry.h"

#include "connection/connection_settings.h"
#include "test_folder.h"

#include <string>
#include <vector>

namespace {

const char kSettings[] = "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char kRemoteAccess[] = "HKCU\\RemoteAccess";

const int kAbsent = -1000; // a registry value that does not exist

struct Write {
    const char* value;
    std::vector<BYTE> data;
};

const std::vector<BYTE> kOne = {1, 0, 0, 0};
const std::vector<BYTE> kZero = {0, 0, 0, 0};
const std::vector<BYTE> kTen = {10, 0, 0, 0};

std::vector<BYTE> Bytes(int number) {
    uint32_t bits = static_cast<uint32_t>(number);
    return {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8), static_cast<BYTE>(bits >> 16),
            static_cast<BYTE>(bits >> 24)};
}

std::string Describe(const std::vector<standin::RegistryWrite>& writes) {
    std::string text;
    for (const auto& w : writes) {
        text += w.value + "=";
        for (BYTE b : w.data)
            text += std::to_string(b) + " ";
        text += "; ";
    }
    return text;
}

class DialRegistryTest : public InTestFolder {
  protected:
    void SetUp() override {
        InTestFolder::SetUp();
        dialRegistryState = DialRegistryState{0, 0};
        connectionSettings = ConnectionSettings{1, 1, 10, "", 0};
        standin::CreateKey(kSettings);
    }

    void SetSwitch(const char* name, int value) {
        if (value != kAbsent)
            standin::SetValue(kSettings, name, REG_BINARY, Bytes(value));
    }

    // The registry writes, in order, each REG_BINARY under the internet-settings key.
    void ExpectWrites(const std::vector<Write>& expected) {
        const auto& writes = standin::RegistryWrites();
        ASSERT_EQ(writes.size(), expected.size()) << Describe(writes);
        for (size_t i = 0; i < writes.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(writes[i].key, kSettings);
            EXPECT_EQ(writes[i].value, expected[i].value);
            EXPECT_EQ(writes[i].type, REG_BINARY);
            EXPECT_EQ(writes[i].data, expected[i].data);
        }
    }

    void ExpectOneBox(const char* text, const char* caption, UINT flags) {
        ASSERT_EQ(standin::Boxes().size(), 1u);
        EXPECT_EQ(standin::Boxes()[0].text, text);
        EXPECT_EQ(standin::Boxes()[0].caption, caption);
        EXPECT_EQ(standin::Boxes()[0].flags, flags);
        EXPECT_EQ(standin::Boxes()[0].owner, nullptr);
    }
};

TEST_F(DialRegistryTest, AutoDialIsWrittenOnlyWhenOnAndOffDiffer) {
    struct {
        int registry;
        int remembered; // what the last synchronisation saw
        int preference;
        std::vector<Write> writes;
        int field;
    } cases[] = {
        {kAbsent, 0, 0, {}, 0},
        {kAbsent, 0, 1, {{"EnableAutoDial", kOne}}, 1},
        {kAbsent, 0, 7, {{"EnableAutoDial", kOne}}, 1},
        // An unreadable value compares as what was seen last.
        {kAbsent, 1, 0, {{"EnableAutoDial", kZero}}, 0},
        {kAbsent, 1, 1, {}, 1},
        {0, 1, 0, {}, 0},
        {0, 0, 1, {{"EnableAutoDial", kOne}}, 1},
        {0, 0, 7, {{"EnableAutoDial", kOne}}, 1},
        {1, 0, 0, {{"EnableAutoDial", kZero}}, 0},
        {1, 0, 1, {}, 1},
        {1, 0, 7, {}, 1},
        {2, 0, 0, {{"EnableAutoDial", kZero}}, 0},
        {2, 0, 1, {}, 2},
        {2, 0, 7, {}, 2},
        {-1, 0, -1, {}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("registry " + std::to_string(c.registry) + ", remembered " +
                     std::to_string(c.remembered) + ", preference " + std::to_string(c.preference));
        standin::Reset();
        standin::CreateKey(kSettings);
        SetSwitch("EnableAutoDial", c.registry);
        dialRegistryState = DialRegistryState{c.remembered, 5};
        connectionSettings.autoDial = c.preference;
        SyncAutoDial();
        ExpectWrites(c.writes);
        EXPECT_EQ(dialRegistryState.enableAutoDial, c.field);
        EXPECT_EQ(dialRegistryState.enableAutoDisconnect, 5);
        EXPECT_TRUE(standin::Boxes().empty());
        EXPECT_EQ(standin::OpenKeys(), 0);
    }
}

TEST_F(DialRegistryTest, AutoDisconnectWritesInStepOrder) {
    const Write on = {"EnableAutoDisconnect", kOne};
    const Write off = {"EnableAutoDisconnect", kZero};
    const Write idle = {"DisconnectIdleTime", kTen};
    struct {
        int registry;
        int preference;
        int flagged;
        std::vector<Write> writes;
        int field;
    } cases[] = {
        {kAbsent, 1, 0, {on, idle}, 1},
        {kAbsent, 0, 0, {}, 0},
        {0, 1, 0, {on, idle}, 1},
        {0, 1, 1, {on, idle, idle}, 1},
        {0, 0, 0, {}, 0},
        {0, 0, 1, {idle}, 0},
        {1, 1, 0, {}, 1},
        {1, 1, 1, {idle}, 1},
        {1, 0, 0, {off}, 0},
        {1, 0, 1, {idle, off}, 0},
        {2, 1, 0, {}, 2},
        {2, 0, 0, {off}, 0},
        {0, 7, 0, {on, idle}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("registry " + std::to_string(c.registry) + ", preference " +
                     std::to_string(c.preference) + ", flagged " + std::to_string(c.flagged));
        standin::Reset();
        standin::CreateKey(kSettings);
        SetSwitch("EnableAutoDisconnect", c.registry);
        standin::SetValue(kSettings, "DisconnectIdleTime", REG_BINARY, Bytes(25));
        dialRegistryState = DialRegistryState{5, 0};
        connectionSettings.autoDisconnect = c.preference;
        connectionSettings.idleTimeChanged = c.flagged;
        SyncAutoDisconnect();
        ExpectWrites(c.writes);
        EXPECT_EQ(dialRegistryState.enableAutoDisconnect, c.field);
        EXPECT_EQ(dialRegistryState.enableAutoDial, 5);
        EXPECT_EQ(connectionSettings.idleTimeChanged, 0);
        EXPECT_TRUE(standin::Boxes().empty());
        EXPECT_EQ(standin::OpenKeys(), 0);
    }
}

TEST_F(DialRegistryTest, IdleMinutesAreWrittenUnconverted) {
    for (int minutes : {0, 99, 300, -1}) {
        SCOPED_TRACE(minutes);
        standin::Reset();
        standin::CreateKey(kSettings);
        connectionSettings.idleMinutes = minutes;
        connectionSettings.idleTimeChanged = 1;
        SetSwitch("EnableAutoDisconnect", 1);
        SyncAutoDisconnect();
        ExpectWrites({{"DisconnectIdleTime", Bytes(minutes)}});
    }
    EXPECT_EQ(Bytes(300), (std::vector<BYTE>{0x2C, 0x01, 0, 0}));
}

TEST_F(DialRegistryTest, SwitchOfAnyLengthIsItsFirstFourBytes) {
    std::vector<BYTE> long300(300, 0);
    long300[299] = 1;
    std::vector<BYTE> long300On(300, 0);
    long300On[0] = 1;
    struct {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
        int field;
    } cases[] = {
        {"empty", REG_BINARY, {}, 0},
        {"one byte on", REG_BINARY, {1}, 1},
        {"one byte off", REG_BINARY, {0}, 0},
        {"two bytes", REG_BINARY, {1, 2}, 0x0201},
        {"three bytes, high one", REG_BINARY, {0, 0, 1}, 0x10000},
        {"five bytes, on only in the fifth", REG_BINARY, {0, 0, 0, 0, 1}, 0},
        {"five bytes", REG_BINARY, {1, 2, 3, 4, 5}, 0x04030201},
        {"a DWORD", REG_DWORD, {1, 0, 0, 0}, 1},
        {"a string", REG_SZ, {'0', 0}, 0x30},
        {"past any buffer, off", REG_BINARY, long300, 0},
        {"past any buffer, on", REG_BINARY, long300On, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int preference : {0, 1}) {
            standin::Reset();
            standin::CreateKey(kSettings);
            standin::SetValue(kSettings, "EnableAutoDial", c.type, c.data);
            standin::SetValue(kSettings, "EnableAutoDisconnect", c.type, c.data);
            dialRegistryState = DialRegistryState{77, 77};
            connectionSettings.autoDial = preference;
            connectionSettings.autoDisconnect = preference;
            SyncAutoDial();
            SyncAutoDisconnect();
            bool differ = (c.field != 0) != (preference != 0);
            EXPECT_EQ(standin::RegistryWrites().empty(), !differ);
            if (!differ) {
                EXPECT_EQ(dialRegistryState.enableAutoDial, c.field);
                EXPECT_EQ(dialRegistryState.enableAutoDisconnect, c.field);
            }
            EXPECT_EQ(standin::LiveBlocks(), 0);
        }
    }
}

TEST_F(DialRegistryTest, UnopenableKeyShowsTheReasonAndChangesNothing) {
    struct {
        DWORD error; // 0: the key does not exist
        const char* text;
    } cases[] = {
        {0, "The system cannot find the file specified.\r\n"},
        {ERROR_ACCESS_DENIED, "Access is denied.\r\n"},
        {ERROR_WRITE_FAULT, "Error 29"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        for (bool disconnect : {false, true}) {
            standin::Reset();
            if (c.error)
                standin::FailKeyOpen(kSettings, c.error);
            SetLastError(0);
            dialRegistryState = DialRegistryState{0, 0};
            connectionSettings.idleTimeChanged = 1;
            if (disconnect)
                SyncAutoDisconnect();
            else
                SyncAutoDial();
            ExpectOneBox(c.text,
                         disconnect ? "ERROR: open auto disconnect failed(registry)"
                                    : "ERROR: open auto dial failed(registry)",
                         MB_ICONINFORMATION);
            EXPECT_TRUE(standin::RegistryWrites().empty());
            EXPECT_EQ(dialRegistryState.enableAutoDial, 0);
            EXPECT_EQ(dialRegistryState.enableAutoDisconnect, 0);
            EXPECT_EQ(connectionSettings.idleTimeChanged, 1);
        }
    }
}

TEST_F(DialRegistryTest, FailedWritesAreTriedAgainNextTime) {
    // Auto-dial: the switch that didn't reach the registry is not remembered as written.
    standin::FailCall(standin::Call::RegSetValue, 1);
    SyncAutoDial();
    EXPECT_EQ(dialRegistryState.enableAutoDial, 0);
    SyncAutoDial();
    ExpectWrites({{"EnableAutoDial", kOne}});

    // Auto-disconnect switched on, the idle minutes refused twice: they stay flagged.
    standin::Reset();
    standin::CreateKey(kSettings);
    standin::FailCall(standin::Call::RegSetValue, 2);
    standin::FailCall(standin::Call::RegSetValue, 3);
    SyncAutoDisconnect();
    ExpectWrites({{"EnableAutoDisconnect", kOne}});
    EXPECT_EQ(standin::CallCount(standin::Call::RegSetValue), 3);
    EXPECT_EQ(connectionSettings.idleTimeChanged, 1);
    SyncAutoDisconnect();
    ExpectWrites({{"EnableAutoDisconnect", kOne}, {"DisconnectIdleTime", kTen}});
    EXPECT_EQ(connectionSettings.idleTimeChanged, 0);
}

TEST_F(DialRegistryTest, ProfileCheckWarnsWhenNoConnectionIsChosen) {
    const std::string longName(250, 'P');
    std::vector<BYTE> full(200, 'P'); // fills the buffer, no NUL
    std::vector<BYTE> fullWithNul(199, 'P');
    fullWithNul.push_back(0);
    struct {
        const char* name;
        bool present;
        DWORD type;
        std::vector<BYTE> data;
        bool box;
        const char* text;
    } cases[] = {
        {"absent", false, REG_SZ, {}, true, ""},
        {"empty", true, REG_SZ, {0}, true, ""},
        {"no bytes", true, REG_SZ, {}, true, ""},
        {"one character", true, REG_SZ, {'A', 0}, true, "A"},
        {"one character, no NUL", true, REG_SZ, {'A'}, true, "A"},
        {"NUL first", true, REG_SZ, {0, 'B', 'C', 0}, true, ""},
        {"two characters", true, REG_SZ, {'A', 'B', 0}, false, ""},
        {"two characters, no NUL", true, REG_BINARY, {'A', 'B'}, false, ""},
        {"fills the buffer", true, REG_SZ, fullWithNul, false, ""},
        {"fills it without NUL", true, REG_SZ, full, false, ""},
        {"longer than the buffer", true, REG_SZ,
         std::vector<BYTE>(longName.begin(), longName.end()), false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standin::Reset();
        standin::CreateKey(kRemoteAccess);
        if (c.present)
            standin::SetValue(kRemoteAccess, "InternetProfile", c.type, c.data);
        CheckDialProfile();
        if (c.box)
            ExpectOneBox(c.text, "ERROR: no dial line entry", 0x1040);
        else
            EXPECT_TRUE(standin::Boxes().empty());
        EXPECT_EQ(standin::OpenKeys(), 0);
        EXPECT_TRUE(standin::RegistryWrites().empty());
    }
}

TEST_F(DialRegistryTest, ProfileCheckWithoutRemoteAccessShowsOnlyTheReason) {
    SetLastError(ERROR_ACCESS_DENIED);
    CheckDialProfile();
    ExpectOneBox("The system cannot find the file specified.\r\n",
                 "ERROR: Failed to get Netscape installation directory", MB_ICONINFORMATION);
}

} // namespace
