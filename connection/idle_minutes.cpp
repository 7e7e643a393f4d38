#include "connection/idle_minutes.h"

#include "common/decimal.h"
#include "connection/connection_settings.h"

#include <cstring>

namespace {

void SetMinutes(int minutes) {
    connectionSettings.idleMinutes = minutes;
    FormatIdleMinutesText();
}

} // namespace

void FormatIdleMinutesText() {
    ConnectionSettings& settings = connectionSettings;
    FormatDecimal(settings.idleMinutes, settings.idleMinutesText, sizeof settings.idleMinutesText);
}

bool TakeOverTypedMinutes(const char* typed) {
    ConnectionSettings& settings = connectionSettings;
    if (settings.autoDisconnect == 0)
        return false;
    size_t length = strnlen(typed, kIdleMinutesTextLength);
    memcpy(settings.idleMinutesText, typed, length);
    settings.idleMinutesText[length] = '\0';
    settings.idleMinutes = ParseDecimal(settings.idleMinutesText);
    if (settings.idleMinutes > kMaxIdleMinutes)
        SetMinutes(kMaxIdleMinutes);
    if (settings.idleMinutes < kMinIdleMinutes)
        SetMinutes(kMinIdleMinutes);
    settings.idleTimeChanged = 1;
    return true;
}

bool StepIdleMinutes(int step) {
    int minutes = connectionSettings.idleMinutes;
    if (step == 0 || (step > 0 && minutes >= kMaxIdleMinutes) ||
        (step < 0 && minutes <= kMinIdleMinutes))
        return false;
    SetMinutes(step > 0 ? minutes + 1 : minutes - 1);
    connectionSettings.idleTimeChanged = 1;
    return true;
}
