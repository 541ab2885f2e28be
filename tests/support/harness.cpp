#include "support/harness.h"

#include <stdexcept>

namespace pelorin::test {
namespace {

class HeadlessHarness final : public Harness {
public:
    ui::Toolkit& ui() override { return tk_; }
    ui::HeadlessFileDialog& fileDialog() override { return tk_.openDialog; }
    ui::HeadlessDialogs& dialogs() override { return tk_.dlg; }
    ui::HeadlessTaskbar& taskbar() override { return tk_.progress; }
    void at(int call, std::function<void()> action) override { tk_.at(call, std::move(action)); }
    int doEventsCalls() const override { return tk_.doEventsCalls; }
    ui::Cursor cursor() const override { return tk_.cursor(); }
    const char* kind() const override { return "headless"; }
    std::wstring clipboardText() override { return tk_.clipboard; }

private:
    ui::HeadlessToolkit tk_;
};

}  // namespace

std::vector<std::string> harnessKinds() {
#ifdef _WIN32
    return {"headless", "win32"};
#else
    return {"headless"};
#endif
}

std::unique_ptr<Harness> makeHarness(const std::string& kind) {
    if (kind == "headless") return std::make_unique<HeadlessHarness>();
#ifdef _WIN32
    if (kind == "win32") return makeWin32Harness();
#endif
    throw std::invalid_argument("unknown harness kind: " + kind);
}

}  // namespace pelorin::test
