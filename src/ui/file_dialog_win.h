// The open-file dialog control (the Add File dialog): the settings the Add File
// handler makes, kept between presses, and the shell's own open-file dialog
// shown through GetOpenFileNameW.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "ui/toolkit.h"

namespace pelorin::ui {

inline constexpr wchar_t kFileDialogTitle[] = L"Select Web Pages";

// Where the dialog's own message boxes go: the toolkit's dialogs, so they
// carry the application title (and tests can record them).
using DialogsSource = std::function<Dialogs&()>;

class Win32FileDialog final : public FileDialog {
public:
    // Without `dialogs` (the dialog tried on its own), a selection too large
    // for the buffer is dropped without a word.
    explicit Win32FileDialog(HWND owner, DialogsSource dialogs = {})
        : owner_(owner), dialogs_(std::move(dialogs)) {}

    void setFileName(const std::wstring& name) override { fileName_ = name; }
    std::wstring fileName() const override { return fileName_; }
    void setFlags(std::uint32_t flags) override { flags_ = flags; }
    void setFilter(const std::wstring& filter) override { filter_ = filter; }
    std::wstring title() const override { return kFileDialogTitle; }
    void showOpen() override;

    // "desc|pattern|desc|pattern" -> "desc\0pattern\0...\0\0".
    static std::wstring filterForDialog(const std::wstring& filter);
    // The selection text held in a dialog buffer: everything before the
    // first double NUL, the NULs between a folder and its names kept.
    static std::wstring selectionFromBuffer(const wchar_t* buffer, size_t size);

private:
    HWND owner_;
    DialogsSource dialogs_;
    std::wstring fileName_;
    std::uint32_t flags_ = 0;
    std::wstring filter_;
};

}  // namespace pelorin::ui
