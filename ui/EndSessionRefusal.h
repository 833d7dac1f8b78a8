// Windows asks every program, through its top-level windows, whether the
// session may end. While one of these lives, the calling thread's answer is
// no: an installation that has stopped the Spooler, or is writing the
// spooler's files, is not cut off halfway by a log-off or a shutdown. The
// thread must serve the messages sent to it meanwhile.
#pragma once

#include <windows.h>

namespace ui {

class EndSessionRefusal {
public:
    // `reason` is what Windows Vista and later show beside the program.
    explicit EndSessionRefusal(const wchar_t* reason);
    ~EndSessionRefusal();
    EndSessionRefusal(const EndSessionRefusal&) = delete;
    EndSessionRefusal& operator=(const EndSessionRefusal&) = delete;

    // The hidden window that answers (null when none could be made).
    HWND window() const { return window_; }

private:
    HWND window_ = nullptr;
};

}  // namespace ui
