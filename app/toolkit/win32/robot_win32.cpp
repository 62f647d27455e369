// The robot on Windows: the toolkit shows no windows there yet, so the robot
// drives nothing. It exists so that the test programs link; a robot test
// (label "gui") is not built for Windows, and one that ran anyway would fail
// with Ok() false.
#include "app/toolkit/robot.h"

struct Robot::Impl {
    RecordingPlatform platform;
    std::vector<std::string> none;
};

Robot::Robot() : impl_(std::make_unique<Impl>()) {}

Robot::~Robot() = default;

void EzTestApp(int argc, char** argv) {}

void SetRobotMessageBox(const RobotMessageBox& box) {}

void SetRobotStart(void (*start)()) {}

RecordingPlatform& Robot::platform() {
    return impl_->platform;
}

void Robot::Start() {}

void Robot::OpenForm(const std::string& name, const std::string& parent, const std::string& caption,
                     double w, double h) {}

void Robot::Click(const std::string& form, int id) {}

void Robot::DblClick(const std::string& form, int id, int row) {}

void Robot::RightClick(const std::string& form, int id, int row) {}

void Robot::Type(const std::string& form, int id, const std::string& text) {}

void Robot::SetCheck(const std::string& form, int id, bool on) {}

void Robot::ToggleCheckCell(const std::string& form, int id, int row, int col) {}

void Robot::SelectItem(const std::string& form, int id, const std::string& text) {}

void Robot::SelectIndex(const std::string& form, int id, int index) {}

void Robot::SelectRow(const std::string& form, int id, int row, bool extend) {}

void Robot::HeaderClick(const std::string& form, int id, int col) {}

void Robot::Key(const std::string& form, int id, int key) {}

void Robot::Drag(const std::string& form, int id, int fromIndex, int toIndex) {}

void Robot::SetDate(const std::string& form, int id, int y, int m, int d, int hour, int minute) {}

void Robot::Close(const std::string& form) {}

void Robot::WaitForm(const std::string& form) {}

void Robot::WaitGone(const std::string& form) {}

void Robot::Screenshot(const std::string& form, const std::string& pngPath) {}

void Robot::ExpectMsg(const std::string& titlePart, int answer, bool checkBox) {}

void Robot::ExpectSaveDialog(const std::string& path) {}

void Robot::ExpectOpenDialog(const std::string& path) {}

void Robot::Run(int timeoutMs) {}

bool Robot::Ok() const {
    return false;
}

std::string Robot::Errors() const {
    return "the robot needs a toolkit with windows, which the Windows build does not have yet";
}

const std::vector<std::string>& Robot::MessageTitles() const {
    return impl_->none;
}

const std::vector<std::string>& Robot::MessageTexts() const {
    return impl_->none;
}

Robot::FontFacts Robot::FontOf(int slot) {
    return {};
}

std::string Robot::BaseFontFamily() {
    return "";
}

void Robot::ColourOf(int slot, int& r, int& g, int& b) {}

std::string Robot::DialogFilter(const std::string& filter) {
    return "";
}

bool Robot::HandCursor(const std::string& form, int id) {
    return false;
}

std::string Robot::ObjectName(const std::string& form, int id) {
    return "";
}

bool Robot::ImageSize(const std::string& path, int& width, int& height) {
    return false;
}

bool Robot::PopupScreenshot(const std::string& pngPath) {
    return false;
}

int Robot::CaptionRoom(const std::string& form, int id) {
    return 0;
}

bool Robot::ColumnsFillWidth(const std::string& form, int id) {
    return false;
}

bool Robot::HeaderShown(const std::string& form, int id) {
    return false;
}

bool Robot::WideContentScrolls(const std::string& form, int id) {
    return false;
}

int Robot::CurrentRow(const std::string& form, int id) {
    return 0;
}

int Robot::QtCompareIgnoringCase(const std::string& a, const std::string& b) {
    return 0;
}

void Robot::RelayoutListView(const std::string& form, int id) {}
