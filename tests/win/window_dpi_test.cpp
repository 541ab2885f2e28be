// The window at another dpi: every rectangle, font and column width scales
// from the 96-dpi layout, on WM_DPICHANGED too, and no text is clipped. Run
// in the project's prefix (96 dpi) and in one with LogPixels 144
// (scripts/dpi-prefix.sh), where PELORIN_EXPECT_DPI says what the window
// must start at. Also: the program imports nothing Windows 7 lacks.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ui/columns.h"
#include "win/harness_win.h"

namespace pelorin::test {
namespace {

RECT clientRectOf(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT times(const RECT& r, int dpi) {
    return {MulDiv(r.left, dpi, 96), MulDiv(r.top, dpi, 96), MulDiv(r.right, dpi, 96),
            MulDiv(r.bottom, dpi, 96)};
}

// What the system sends when the window meets another dpi: the new dpi and
// the frame that keeps the design client size at it.
void sendDpiChanged(HWND w, int dpi) {
    RECT frame, client;
    GetWindowRect(w, &frame);
    GetClientRect(w, &client);
    const int extraX = frame.right - frame.left - client.right;
    const int extraY = frame.bottom - frame.top - client.bottom;
    const RECT suggested{frame.left, frame.top, frame.left + MulDiv(600, dpi, 96) + extraX,
                         frame.top + MulDiv(410, dpi, 96) + extraY};
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

void expectLayoutAt(Win32Harness& h, int dpi) {
    HWND w = h.window().hwnd();
    EXPECT_EQ(h.window().dpi(), dpi);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, MulDiv(600, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(410, dpi, 96));
    for (const app::ControlLayout& layout : app::kControls) {
        SCOPED_TRACE(layout.name);
        const HWND c = h.control(layout.id);
        const RECT r = clientRectOf(c), want = times(layout.rect, dpi);
        EXPECT_TRUE(EqualRect(&r, &want))
            << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        if (layout.font == app::FontKind::WindowDefault) continue;  // the hidden box
        const auto font = reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0));
        LOGFONTW lf{};
        GetObjectW(font, sizeof lf, &lf);
        const int points = layout.font == app::FontKind::Tahoma825 ? 825 : 900;
        EXPECT_EQ(lf.lfHeight, -MulDiv(points, dpi, 7200));
        // Nothing clipped: the caption fits its control on one line (or
        // wraps within its height, for the warning).
        const WindowDc dc(c);
        const HGDIOBJ old = SelectObject(dc.get(), font);
        RECT text{0, 0, r.right - r.left, 0};
        DrawTextW(dc.get(), layout.text, -1, &text, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc.get(), old);
        EXPECT_LE(text.right, r.right - r.left) << "clipped";
        EXPECT_LE(text.bottom, r.bottom - r.top) << "clipped";
    }
    for (const ui::ColumnRow& column : ui::kColumnRows)
        EXPECT_EQ(SendMessageW(h.control(app::kIdPstList), LVM_GETCOLUMNWIDTH,
                               ui::columnIndex(column.column), 0),
                  MulDiv(column.width, dpi, 96));
}

TEST(WindowDpi, EveryRectangleFontAndColumnFollowsTheDpi) {
    Win32Harness h;
    const int start = h.window().dpi();
    if (const char* want = std::getenv("PELORIN_EXPECT_DPI")) {
        EXPECT_EQ(start, std::atoi(want));
    }
    // 192 dpi would not fit Xvfb's 1024 x 768 screen.
    const int steps[] = {start, 144, 120, start};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i]);
        if (i > 0) sendDpiChanged(h.window().hwnd(), steps[i]);
        expectLayoutAt(h, steps[i]);
    }
}

// The names of the DLLs and functions `exe` imports ("user32.dll!GetDpiForWindow").
std::set<std::string> importsOf(const std::wstring& exe) {
    std::ifstream in(std::filesystem::path(exe), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::set<std::string> names;
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto at = [&](DWORD rva) -> const char* {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const auto& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return bytes.data() + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return nullptr;
    };
    const DWORD table =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(table)); d && d->Name; ++d) {
        const std::string dll = at(d->Name);
        names.insert(dll);
        const DWORD thunks = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        for (auto* t = reinterpret_cast<const DWORD*>(at(thunks)); t && *t; ++t)
            if (!(*t & IMAGE_ORDINAL_FLAG32))
                names.insert(dll + "!" + (at(*t) + 2));  // past the hint
    }
    return names;
}

TEST(WindowDpi, ProgramImportsNothingWindows7Lacks) {
    const std::set<std::string> imports = importsOf(programPath());
    if (imports.empty()) GTEST_SKIP() << "pelorin.exe is not built";
    EXPECT_TRUE(imports.count("USER32.dll") || imports.count("user32.dll"));
    // Windows 8 and later only; the window reaches them through GetProcAddress.
    const char* const newer[] = {
        "GetDpiForWindow",
        "GetDpiForSystem",
        "AdjustWindowRectExForDpi",
        "GetSystemMetricsForDpi",
        "EnableNonClientDpiScaling",
        "SetProcessDpiAwarenessContext",
        "SetThreadDpiAwarenessContext",
        "SystemParametersInfoForDpi",
        "GetDpiForMonitor",
        "SetProcessDpiAwareness",
    };
    for (const std::string& name : imports) {
        EXPECT_NE(name.rfind("api-ms-win-", 0), 0u) << name;
        EXPECT_EQ(name.find("shcore"), std::string::npos) << name;
        for (const char* n : newer) EXPECT_NE(name.substr(name.find('!') + 1), n) << name;
    }
}

}  // namespace
}  // namespace pelorin::test
