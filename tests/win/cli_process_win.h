// pelorin-cli.exe run as a separate process for the Wine tests, its output
// redirected into files of a test's tree and read back as UTF-8.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "support/temp_tree.h"

namespace pelorin::test {

struct Output {
    DWORD exitCode = 0xFFFFFFFF;
    std::wstring out, err;
    // stdout's lines without their "\r\n".
    std::vector<std::wstring> lines() const;
};

std::string fileBytes(const std::wstring& path);

// pelorin-cli.exe started with the arguments; `finish` waits for it and
// reads what it wrote.
struct Started {
    UniqueKernelHandle process;
    std::wstring outPath, errPath;
    Output finish();
};

// Its standard output goes to `output` when given (an inheritable handle).
Started startCli(const TempTree& tree, const std::vector<std::wstring>& args,
                 HANDLE output = nullptr);

// Runs pelorin-cli.exe with the arguments to its end.
Output runCli(const TempTree& tree, const std::vector<std::wstring>& args);

}  // namespace pelorin::test
