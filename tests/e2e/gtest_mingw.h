// Force-included into GoogleTest and the test driver. GoogleTest's Notification is built on
// std::mutex and std::condition_variable, which the win32-thread variant of mingw's g++ does not
// have; this one waits on a Win32 event instead. GoogleTest's own mutex is Win32's already.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
  public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() {
        CloseHandle(event_);
    }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() {
        SetEvent(event_);
    }
    void WaitForNotification() {
        WaitForSingleObject(event_, INFINITE);
    }

  private:
    HANDLE event_;
};

} // namespace internal
} // namespace testing
