// Reads arbitrary bytes as "dial.inf" and "disc.inf" and checks each value against a plain model
// of the two-character chunk read; then writes the settings back and reads them again.
//
// Input: a first byte whose bits 0 and 1 say whether "dial.inf" and "disc.inf" exist; the rest
// is "dial.inf" up to the first 0xFF byte and "disc.inf" after it.
#include "fuzz_folder.h"

#include "common/decimal.h"
#include "connection/connection_settings.h"
#include "platform/posix/standin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const int kDialBefore = 41;
const int kDisconnectBefore = 42;
const int kIdleBefore = 43;

// The text as a line read sees it: up to a Ctrl-Z, without carriage returns.
std::string AsText(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        if (c == 0x1A)
            break;
        if (c != '\r')
            text += c;
    }
    return text;
}

// The next chunk of at most two characters, ending after a line end; false when none is left.
bool NextChunk(const std::string& text, size_t* at, std::string* chunk) {
    chunk->clear();
    while (*at < text.size() && chunk->size() < 2) {
        char c = text[(*at)++];
        *chunk += c;
        if (c == '\n')
            break;
    }
    return !chunk->empty();
}

void Expect(bool condition) {
    if (!condition)
        abort();
}

void Place(const char* name, bool present, const std::string& bytes) {
    if (present)
        WriteFuzzFile(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    else
        unlink(name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterFuzzFolder();
    if (size == 0)
        return 0;
    bool dialPresent = data[0] & 1;
    bool discPresent = data[0] & 2;
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t split = rest.find('\xff');
    std::string dial = rest.substr(0, split);
    std::string disc = split == std::string::npos ? "" : rest.substr(split + 1);
    Place("dial.inf", dialPresent, dial);
    Place("disc.inf", discPresent, disc);

    connectionSettings = ConnectionSettings{kDialBefore, kDisconnectBefore, kIdleBefore, "", 0};
    bool read = ReadConnectionSettings();
    Expect(standin::OpenFiles() == 0);
    Expect(read == (dialPresent && discPresent));
    if (!read) {
        Expect(standin::Boxes().size() == 1);
        Expect(connectionSettings.autoDial == kDialBefore &&
               connectionSettings.autoDisconnect == kDisconnectBefore &&
               connectionSettings.idleMinutes == kIdleBefore);
        return 0;
    }
    Expect(standin::Boxes().empty());

    int expected[3] = {kDialBefore, kDisconnectBefore, kIdleBefore};
    std::string dialText = AsText(dial), discText = AsText(disc), chunk;
    size_t dialAt = 0, discAt = 0;
    if (NextChunk(dialText, &dialAt, &chunk))
        expected[0] = ParseDecimal(chunk.c_str());
    for (int i = 1; i < 3; ++i) {
        if (NextChunk(discText, &discAt, &chunk))
            expected[i] = ParseDecimal(chunk.c_str());
    }
    Expect(connectionSettings.autoDial == expected[0]);
    Expect(connectionSettings.autoDisconnect == expected[1]);
    Expect(connectionSettings.idleMinutes == expected[2]);

    // Round trip, with an idle text made of the input's last two bytes. A text holding a line
    // end or a Ctrl-Z can't come back as it went out, so it is left out.
    std::string tail = rest.substr(rest.size() < 2 ? 0 : rest.size() - 2);
    std::string idleText = tail.substr(0, strnlen(tail.c_str(), kIdleMinutesTextLength));
    bool plain = idleText.find_first_of("\r\n\x1a") == std::string::npos;
    if (!plain)
        idleText.clear();
    strcpy(connectionSettings.idleMinutesText, idleText.c_str());
    int dialBefore = connectionSettings.autoDial;
    int disconnectBefore = connectionSettings.autoDisconnect;
    Expect(WriteConnectionSettings());
    connectionSettings.autoDial = kDialBefore;
    connectionSettings.autoDisconnect = kDisconnectBefore;
    connectionSettings.idleMinutes = kIdleBefore;
    Expect(ReadConnectionSettings());
    Expect(connectionSettings.autoDial == (dialBefore != 0));
    Expect(connectionSettings.autoDisconnect == (disconnectBefore != 0));
    Expect(connectionSettings.idleMinutes == ParseDecimal(idleText.c_str()));
    Expect(standin::OpenFiles() == 0 && standin::Boxes().empty());
    return 0;
}
