#include "framework/file_drop_filter.h"

#include "framework/binary_stream.h"
#include "framework/drag_item.h"
#include "framework/file_type_registry.h"
#include "framework/folder_item.h"
#include "framework/open_watch.h"
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
#include <sys/stat.h>

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
                    m_visit(item->FolderItem());
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
    std::function<void(const fw::Ref<fw::FolderItem>&)>
        m_visit; // what the handler does with each file as well
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

// Each file is judged as it is when the handler comes to it: neither as it was when the drag came in nor as
// it was dropped. The first question whether it exists is answered from the cursor's look; any later one asks
// the system again.
TEST_F(FileDropFilterTest, EachFileIsJudgedAsItIsWhenTheHandlerComesToItAndAskedAboutAfreshAfterwards) {
    std::ofstream(path("b.syx")) << "\xF0";
    std::vector<std::pair<bool, bool>> answers;
    m_visit = [&](const fw::Ref<fw::FolderItem>& file) {
        const bool whenVisited = file->Exists();
        if (file->Name() == "late.syx") {
            std::remove(path("b.syx").c_str());
            QDir(m_folder.path()).mkdir("b.syx");
            std::ofstream(path("c.syx")) << "\xF0";
        }
        std::remove(file->AbsolutePath().c_str());
        answers.emplace_back(whenVisited, file->Exists());
    };

    const QByteArray list = uri("late.syx") + "\r\n" + uri("b.syx") + "\r\n" + uri("c.syx");
    EXPECT_EQ(drop(list, Qt::CopyAction, [&] { std::ofstream(path("late.syx")) << "\xF0"; }), Qt::CopyAction);

    EXPECT_EQ(m_drops, (std::vector<std::vector<std::string>>{{path("late.syx"), path("c.syx")}}));
    EXPECT_EQ(answers, (std::vector<std::pair<bool, bool>>{{true, false}, {true, false}}));
}

// The cursor's look answers a file's first questions only, and only while the cursor stands on it: a file
// that has since become a named pipe is never opened, and one that has gone is seen to be gone.
TEST_F(FileDropFilterTest, CursorsLookAnswersOnlyTheFirstQuestionsWhileTheCursorStandsOnTheFile) {
    test::OpenWatch opens;
    auto becomePipe = [&](const std::string& name) {
        std::remove(path(name).c_str());
        ASSERT_EQ(::mkfifo(path(name).c_str(), 0600), 0);
        ASSERT_TRUE(opens.watch(path(name)));
    };
    for (const char* name : {"a.syx", "b.syx"})
        std::ofstream(path(name)) << "\xF0";
    std::vector<fw::Ref<fw::FolderItem>> visited;
    m_visit = [&](const fw::Ref<fw::FolderItem>& file) {
        if (visited.empty()) {
            EXPECT_TRUE(file->OpenAsBinaryFile(false));
            becomePipe("a.syx");
            EXPECT_FALSE(file->OpenAsBinaryFile(false));
        }
        visited.push_back(file);
    };

    ASSERT_EQ(drop(uri("a.syx") + "\r\n" + uri("b.syx"), Qt::CopyAction), Qt::CopyAction);
    ASSERT_EQ(visited.size(), 2u);
    std::remove(path("a.syx").c_str());
    becomePipe("b.syx");

    EXPECT_FALSE(visited[0]->Exists());
    EXPECT_FALSE(visited[1]->OpenAsBinaryFile(false));
    EXPECT_FALSE(opens.anyOpened());
}

} // namespace
