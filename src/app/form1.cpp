#include "app/form1.h"

#include "outlook/attach.h"
#include "pstlist/add_files.h"
#include "pstlist/add_folder.h"
#include "pstlist/pst_list.h"

namespace pelorin::app {

Form1::Form1(ui::Toolkit& ui, scan::FileSystemFactory fileSystems,
             outlook::Automation& automation,
             std::function<void(const std::wstring&)> openWebPage)
    : ui_(ui), fileSystems_(std::move(fileSystems)), automation_(automation),
      openWebPage_(std::move(openWebPage)) {}

void Form1::Command1_Click() {
    auto fs = fileSystems_();
    pstlist::Command1_Click(ui_, *fs);
}

void Form1::Command2_Click() { pstlist::Command2_Click(ui_, fileSystems_, selectedFolder_); }

void Form1::Command3_Click() { outlook::Command3_Click(ui_, automation_); }

void Form1::Command4_Click() { pstlist::Command4_Click(ui_); }

void Form1::ChkSelectAll_Click() { pstlist::ChkSelectAll_Click(ui_); }

void Form1::LblPSTReadOnly_Click() {
    if (openWebPage_) openWebPage_(kHelpUrl);
}

}  // namespace pelorin::app
