// The file facts on Windows: attributes, length, the header read through a
// handle, whether another process holds the file, the drive's kind, and the
// folders OneDrive keeps in sync.
#pragma once
#include <memory>

#include "cli/file_facts.h"
#include "cli/list_file.h"

namespace pelorin::cli {

// `variables` reads the environment, for the OneDrive folders.
std::unique_ptr<FileProbe> makeWin32FileProbe(const VariableLookup& variables);

}  // namespace pelorin::cli
