// Where pelorin-cli writes: result lines to standard output, the summary and
// messages to standard error, progress to standard error when that is a
// console. Win32: console_win.cpp (UTF-16 to a console, UTF-8 when
// redirected); tests record it.
#pragma once
#include <string>

namespace pelorin::cli {

class Console {
public:
    virtual ~Console() = default;
    virtual void out(const std::wstring& line) = 0;
    virtual void err(const std::wstring& line) = 0;
    // "[12/300] path"; shown only where someone watches.
    virtual void progress(int index, int total, const std::wstring& path) = 0;
};

}  // namespace pelorin::cli
