// A toolkit that hands every call on to another one. Wrappers that change
// one or two calls (a benchmark's timed pump, a test's real dialog over
// headless controls) derive from it, so a new toolkit method breaks none of
// them.
#pragma once
#include "ui/toolkit.h"

namespace pelorin::ui {

class ForwardingToolkit : public Toolkit {
public:
    // `inner` is only used once the wrapper is called; it may be a member
    // of the derived class, constructed after this base.
    explicit ForwardingToolkit(Toolkit& inner) : inner_(inner) {}

    ListView& pstList() override { return inner_.pstList(); }
    Button& button(ControlId id) override { return inner_.button(id); }
    CheckBox& checkBox(ControlId id) override { return inner_.checkBox(id); }
    Label& totalLabel() override { return inner_.totalLabel(); }
    Busy busyWith() const override { return inner_.busyWith(); }
    void setBusyWith(Busy kinds) override { inner_.setBusyWith(kinds); }
    FileDialog& fileDialog() override { return inner_.fileDialog(); }
    Dialogs& dialogs() override { return inner_.dialogs(); }
    TaskbarProgress& taskbar() override { return inner_.taskbar(); }
    void setCursor(Cursor cursor) override { inner_.setCursor(cursor); }
    wchar_t decimalSeparator() const override { return inner_.decimalSeparator(); }
    bool closeRequested() const override { return inner_.closeRequested(); }
    bool copyText(const std::wstring& text) override { return inner_.copyText(text); }
    void doEvents() override { inner_.doEvents(); }

protected:
    ~ForwardingToolkit() = default;

private:
    Toolkit& inner_;
};

}  // namespace pelorin::ui
