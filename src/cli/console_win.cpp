#include "cli/console_win.h"

#include <windows.h>

#include <string>

#include "base/text.h"

namespace pelorin::cli {

namespace {

class Stream {
public:
    explicit Stream(DWORD which) : handle_(::GetStdHandle(which)) {
        DWORD mode = 0;
        console_ = handle_ && handle_ != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle_, &mode);
    }
    bool console() const { return console_; }

    void write(const std::wstring& text) {
        if (!handle_ || handle_ == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        if (console_) {
            ::WriteConsoleW(handle_, text.data(), static_cast<DWORD>(text.size()), &written,
                            nullptr);
        } else {
            const std::string bytes = toUtf8(text);
            ::WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
    }

private:
    HANDLE handle_;
    bool console_ = false;
};

class Win32Console final : public Console {
public:
    void out(const std::wstring& line) override {
        clearProgress();
        out_.write(line + L"\r\n");
    }
    void err(const std::wstring& line) override {
        clearProgress();
        err_.write(line + L"\r\n");
    }
    // One line on the console, rewritten for each file.
    void progress(int index, int total, const std::wstring& path) override {
        if (!err_.console()) return;
        std::wstring text =
            L"[" + std::to_wstring(index) + L"/" + std::to_wstring(total) + L"] " + path;
        const std::size_t width = consoleWidth();
        if (text.size() >= width) text = text.substr(0, width - 4) + L"...";
        clearProgress();
        err_.write(text);
        shown_ = text.size();
    }

private:
    std::size_t consoleWidth() const {
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info) &&
            info.dwSize.X > 10)
            return static_cast<std::size_t>(info.dwSize.X - 1);
        return 79;
    }
    void clearProgress() {
        if (shown_ == 0) return;
        err_.write(L"\r" + std::wstring(shown_, L' ') + L"\r");
        shown_ = 0;
    }

    Stream out_{STD_OUTPUT_HANDLE};
    Stream err_{STD_ERROR_HANDLE};
    std::size_t shown_ = 0;
};

}  // namespace

std::unique_ptr<Console> makeWin32Console() { return std::make_unique<Win32Console>(); }

}  // namespace pelorin::cli
