#include "pstlist/row_reasons.h"

#include <utility>

#include "pstlist/attach_run.h"

namespace pelorin::pstlist {
namespace {

int fromBottom(const ui::ListView& list, int row) { return list.count() - row; }

bool isFailure(const std::wstring& status) { return status.starts_with(kStatusFailedPrefix); }

}  // namespace

void RowReasons::set(const ui::ListView& list, int row, std::wstring reason) {
    reasons_[fromBottom(list, row)] = std::move(reason);
}

void RowReasons::removingRow(const ui::ListView& list, int row) {
    const int place = fromBottom(list, row);
    std::map<int, std::wstring> kept;
    for (auto& [at, reason] : reasons_)
        if (at != place) kept.emplace(at > place ? at - 1 : at, std::move(reason));
    reasons_ = std::move(kept);
}

std::wstring RowReasons::of(const ui::ListView& list, int row) const {
    if (!isFailure(list.subItem(row, ui::Column::Status))) return {};
    const auto found = reasons_.find(fromBottom(list, row));
    return found == reasons_.end() ? std::wstring() : found->second;
}

std::wstring rowTip(const ui::ListView& list, const RowReasons& reasons, int row) {
    std::wstring tip = list.text(row);
    const std::wstring reason = reasons.of(list, row);
    const std::wstring status = list.subItem(row, ui::Column::Status);
    if (!reason.empty())
        tip += L"\n" + std::wstring(kStatusFailedPrefix) + reason;
    else if (!status.empty() && status != kStatusDone)
        tip += L"\n" + status;
    return tip;
}

}  // namespace pelorin::pstlist
