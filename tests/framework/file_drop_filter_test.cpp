#include "framework/file_drop_filter.h"

#include "framework/drag_item.h"
#include "framework/file_type_registry.h"
#include "framework/folder_item.h"
#include "framework/rect_control.h"
#include "framework/runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A control that takes drops on an item view's viewport, as a list does, outside any window. The view on its
// own refuses file drags, so a drop gets through only when the filter takes it.
class DropControl : public fw::RectControl {
public:
    explicit DropControl(QTreeView& view) : m_view(view) {}

protected:
    QWidget* createWidget(QWidget*) override { return nullptr; }
    QWidget* dropTarget() const override { return m_view.viewport(); }

private:
    QTreeView& m_view;
};

// Each drop that reached the handler, as the paths of the items it walked through.
class FileDropFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::registerFileType("Dropped Patch", "", "", ".syx");
        m_control->AcceptFileDrop("Dropped Patch");
        auto handler = [this](fw::Ref<fw::DragItem> item, std::int32_t action) {
            EXPECT_EQ(action, Qt::CopyAction);
            auto& paths = m_drops.emplace_back();
            do {
                if (!item->FolderItemAvailable())
                    continue;
                paths.push_back(item->FolderItem()->AbsolutePath());
                if (m_visit)
                    m_visit(*item->FolderItem());
            } while (item->NextItem());
        };
        m_control->installHandler(
            "DropObject", std::make_shared<fw::EventHandler<fw::Ref<fw::DragItem>, std::int32_t>>(handler));
        m_view.show();
    }

    std::string path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    QByteArray uri(const std::string& name) const {
        return "file://" + QByteArray::fromStdString(path(name));
    }

    // Drags the URIs over the target as Qt delivers a real drop, with Shift held so that a move is proposed
    // wherever the source allows one, doing what it is given while the drag is on its way; how the target
    // took it, if at all.
    Qt::DropAction drop(const QByteArray& uriList, Qt::DropActions actions,
                        const std::function<void()>& whileDragging = {}) {
        QMimeData data;
        data.setData("text/uri-list", uriList);
        QDragEnterEvent enter({5, 5}, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(m_view.viewport(), &enter);
        if (whileDragging)
            whileDragging();
        QDragMoveEvent move({5, 5}, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(m_view.viewport(), &move);
        QDropEvent dropped({5, 5}, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(m_view.viewport(), &dropped);
        const bool taken = enter.isAccepted() && move.isAccepted() && dropped.isAccepted();
        return taken ? dropped.dropAction() : Qt::IgnoreAction;
    }

    fw::Runtime m_runtime; // withdraws the registered file type when the test ends
    QTemporaryDir m_folder;
    QTreeView m_view;
    fw::Ref<DropControl> m_control = fw::makeRef<DropControl>(m_view);
    std::vector<std::vector<std::string>> m_drops;
    std::function<void(fw::FolderItem&)> m_visit; // what the handler does with each file, besides noting it
};

// A source told that its files were moved may delete them. Names travel percent-encoded and come back as the
// system's bytes. A missing file stays in: the list decides what to do with it.
TEST_F(FileDropFilterTest, DropIsTakenAsACopyOfOnlyLocalFilesOfTheAcceptedTypeInDropOrder) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder.syx"));
    for (const char* name : {"b.syx", "notes.txt", "A.SYX", "c.syx.txt"})
        std::ofstream(path(name)) << "\xF0\xF7";
    QByteArray list = "# a comment\r\nhttp://example.com/d.syx\r\nfile://otherhost" + uri("b.syx").mid(7);
    for (const char* name : {"b.syx", "notes.txt", "folder.syx", "A.SYX", "c.syx.txt", "caf%E9%20x.syx"})
        list += "\r\n" + uri(name);

    EXPECT_EQ(drop(list, Qt::MoveAction | Qt::CopyAction), Qt::CopyAction);
    EXPECT_EQ(drop(list, Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(drop(uri("notes.txt"), Qt::CopyAction), Qt::IgnoreAction);

    EXPECT_EQ(m_drops,
              (std::vector<std::vector<std::string>>{{path("b.syx"), path("A.SYX"), path("caf\xE9 x.syx")}}));
}

// The drop looks at each file as it is dropped, not as it was when the drag came in. The handler's first
// question whether a file exists gets the drop's answer; any later one asks the system again.
TEST_F(FileDropFilterTest, EachFileIsJudgedAsItIsWhenDroppedAndAskedAboutAfreshAfterwards) {
    std::ofstream(path("gone.syx")) << "\xF0";
    std::vector<std::pair<bool, bool>> answers;
    m_visit = [&](fw::FolderItem& file) {
        const bool whenDropped = file.Exists();
        if (whenDropped)
            std::remove(file.AbsolutePath().c_str());
        else
            std::ofstream(file.AbsolutePath()) << "\xF0";
        answers.emplace_back(whenDropped, file.Exists());
    };

    const QByteArray list = uri("late.syx") + "\r\n" + uri("gone.syx");
    EXPECT_EQ(drop(list, Qt::CopyAction,
                   [&] {
                       std::ofstream(path("late.syx")) << "\xF0";
                       std::remove(path("gone.syx").c_str());
                   }),
              Qt::CopyAction);

    EXPECT_EQ(answers, (std::vector<std::pair<bool, bool>>{{true, false}, {false, true}}));
}

} // namespace
