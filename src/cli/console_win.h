// The console of pelorin-cli on Windows: UTF-16 through WriteConsoleW where a
// stream is a console, UTF-8 bytes where it is redirected to a file or a
// pipe, so every path comes out exactly either way.
#pragma once
#include <memory>

#include "cli/console.h"

namespace pelorin::cli {

std::unique_ptr<Console> makeWin32Console();

}  // namespace pelorin::cli
