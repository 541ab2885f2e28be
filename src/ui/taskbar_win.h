// The window's taskbar button as the progress of a run (ITaskbarList3).
// The shell object is made on first use; where the system has none (or
// refuses the call) the button simply shows no progress.
#pragma once
#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "ui/toolkit.h"

namespace pelorin::ui {

class Win32Taskbar final : public TaskbarProgress {
public:
    explicit Win32Taskbar(HWND owner) : owner_(owner) {}
    void setProgress(int done, int total) override;
    void setError() override;
    void clear() override;

private:
    ITaskbarList3* list();  // null when the system offers none
    HWND owner_;
    Microsoft::WRL::ComPtr<ITaskbarList3> list_;
    bool tried_ = false;
};

}  // namespace pelorin::ui
