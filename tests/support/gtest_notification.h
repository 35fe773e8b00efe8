#pragma once
// GoogleTest asks std::mutex and std::condition_variable only for its Notification, which the win32
// thread model of GCC 12 lacks. The Windows builds give it this one, made of a Win32 event, instead;
// GoogleTest's own locks already use Win32 critical sections there.
#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
