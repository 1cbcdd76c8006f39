#pragma once

#include "faults/faults.h"
#include "framework/folder_item.h"
#include "framework/modal_dialogs.h"

#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test {

// The largest count a single read takes: a whole file, for any file a test makes.
constexpr std::int32_t kEverything = 0x7FFFFFFF;

// Every byte value in each run of 256, in an order that differs from run to run: sign and offset faults show.
inline int byteAt(std::size_t i) { return static_cast<int>((i ^ (i >> 8)) & 0xFF); }
inline std::string pattern(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<char>(byteAt(i));
    return bytes;
}

// A folder of its own for the files a test makes, removed with them all whatever their names: QTemporaryDir
// cannot remove a name that has no QString spelling.
class ScratchFolder : public ::testing::Test {
protected:
    ~ScratchFolder() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder.path().toStdString(), ignored);
    }

    std::string path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    fw::Ref<fw::FolderItem> item(const std::string& name) const { return fw::GetFolderItem(path(name), 0); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Everything in the folder, hidden files, pipes and devices included.
    QStringList entries(const std::string& folder = {}) const {
        return QDir(QString::fromStdString(path(folder)))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir m_folder;
};

// Every error report the framework shows is kept as its text and answered at once; faults end with the test.
class ScratchFolderTest : public ScratchFolder {
protected:
    void SetUp() override {
        fw::ModalDialogs::setAnswerer([this](QDialog& dialog) {
            const auto* box = qobject_cast<QMessageBox*>(&dialog);
            m_reports.push_back(box ? (box->text() + "\n" + box->informativeText()).toStdString() : "");
            dialog.reject();
        });
    }
    void TearDown() override {
        fw::ModalDialogs::setAnswerer({});
        faults::clearFaults();
    }

    std::vector<std::string> m_reports;
};

} // namespace test
