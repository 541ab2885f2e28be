#include "ui/taskbar_win.h"

namespace pelorin::ui {

ITaskbarList3* Win32Taskbar::list() {
    if (tried_) return list_.Get();
    tried_ = true;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(list_.GetAddressOf()))) ||
        FAILED(list_->HrInit()))
        list_.Reset();
    return list_.Get();
}

void Win32Taskbar::setProgress(int done, int total) {
    if (total <= 0 || !list()) return;
    list_->SetProgressState(owner_, TBPF_NORMAL);
    list_->SetProgressValue(owner_, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total));
}

void Win32Taskbar::setError() {
    if (list()) list_->SetProgressState(owner_, TBPF_ERROR);
}

void Win32Taskbar::clear() {
    if (list()) list_->SetProgressState(owner_, TBPF_NOPROGRESS);
}

}  // namespace pelorin::ui
