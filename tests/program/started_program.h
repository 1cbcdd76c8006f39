#pragma once

#include "framework/listbox.h"
#include "window/window1.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class QPushButton;
class QTreeView;

namespace test {

// The program as main() brings it up, short of the event loop, with a folder of its own for files. Each test
// runs in a process of its own, so start-up always begins from nothing.
class StartedProgram : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    fw::Ref<Window1> window() const;
    fw::Ref<fw::Listbox> list() const;
    QTreeView* listView() const;
    QPushButton* button(const std::string& name) const;

    // The four cells of a row: path, name, size, patch number.
    std::vector<std::string> row(int index) const;
    int rowCount() const;

    // Drags the files over the list and drops them, as another program would; whether the list took them.
    bool dropFiles(const std::vector<std::string>& paths) const;
    void clickButton(const std::string& name) const;

    std::string path(const std::string& name) const;
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

    QTemporaryDir m_folder;
};

} // namespace test
