#include "framework/file_drop_filter.h"

#include "framework/drag_item.h"
#include "framework/file_type_registry.h"
#include "framework/folder_item.h"
#include "framework/rect_control.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeView>
#include <fstream>
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

struct Drop {
    std::vector<std::string> paths; // of the items the handler walked through
    std::int32_t action = -1;
};

class FileDropFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::RuntimeRegisterFileType("Dropped Patch", "", "", ".syx");
        m_control->AcceptFileDrop("Dropped Patch");
        auto handler = [this](fw::Ref<fw::DragItem> item, std::int32_t action) {
            Drop& drop = m_drops.emplace_back();
            drop.action = action;
            do {
                if (item->FolderItemAvailable())
                    drop.paths.push_back(item->FolderItem()->AbsolutePath());
            } while (item->NextItem());
        };
        m_control->installHandler("DropObject",
                                  std::make_shared<fw::EventHandler<fw::Ref<fw::DragItem>, std::int32_t>>(
                                      handler, "( DragItem, Int32 )"));
        m_view.show();
    }

    std::string path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    void write(const std::string& name) const { std::ofstream(path(name)) << "\xF0\xF7"; }

    // Drags the URIs over the target as Qt delivers a real drop; whether the target took it.
    bool drop(const QByteArray& uriList, Qt::DropActions actions = Qt::CopyAction) {
        QMimeData data;
        data.setData("text/uri-list", uriList);
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_view.viewport(), &enter);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_view.viewport(), &move);
        QDropEvent dropped(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_view.viewport(), &dropped);
        m_dropAction = dropped.dropAction();
        return enter.isAccepted() && move.isAccepted() && dropped.isAccepted();
    }
    QByteArray uri(const std::string& name) const {
        return "file://" + QByteArray::fromStdString(path(name));
    }

    QTemporaryDir m_folder;
    QTreeView m_view;
    fw::Ref<DropControl> m_control = fw::MakeRef<DropControl>(m_view);
    std::vector<Drop> m_drops;
    Qt::DropAction m_dropAction = Qt::IgnoreAction;
};

TEST_F(FileDropFilterTest, DropOffersOnlyFilesOfTheAcceptedTypeInDropOrder) {
    write("b.syx");
    write("notes.txt");
    write("A.SYX");
    const QByteArray list = uri("b.syx") + "\r\n" + uri("notes.txt") + "\r\n" + uri("A.SYX") + "\r\n" +
                            uri("missing.syx") + "\r\n";

    EXPECT_TRUE(drop(list));

    ASSERT_EQ(m_drops.size(), 1u);
    EXPECT_EQ(m_drops[0].paths,
              (std::vector<std::string>{path("b.syx"), path("A.SYX"), path("missing.syx")}));
    EXPECT_EQ(m_drops[0].action, Qt::CopyAction);
}

// A source that proposes a move deletes its files once the drop is taken as one.
TEST_F(FileDropFilterTest, DropIsTakenAsACopyNeverAsAMove) {
    write("a.syx");
    EXPECT_TRUE(drop(uri("a.syx"), Qt::MoveAction | Qt::CopyAction));
    EXPECT_EQ(m_dropAction, Qt::CopyAction);
    EXPECT_FALSE(drop(uri("a.syx"), Qt::MoveAction));
    EXPECT_EQ(m_drops.size(), 1u);
}

TEST_F(FileDropFilterTest, DropWithoutAcceptedFilesIsRefusedAndRaisesNothing) {
    write("notes.txt");
    EXPECT_FALSE(drop(uri("notes.txt") + "\nhttp://example.com/remote.syx\n"));
    EXPECT_TRUE(m_drops.empty());
}

TEST_F(FileDropFilterTest, FolderNamedLikeAPatchIsLeftOut) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("x.syx"));
    write("a.syx");
    EXPECT_TRUE(drop(uri("x.syx") + "\n" + uri("a.syx") + "\n"));
    ASSERT_EQ(m_drops.size(), 1u);
    EXPECT_EQ(m_drops[0].paths, std::vector<std::string>{path("a.syx")});

    EXPECT_FALSE(drop(uri("x.syx") + "\n"));
    EXPECT_EQ(m_drops.size(), 1u);
}

TEST(UriList, YieldsLocalPathsAsTheSystemsBytesInOrder) {
    const QByteArray list = "# a comment\r\n"
                            "file:///tmp/caf%E9%20x.syx\r\n"
                            "\r\n"
                            "http://example.com/a.syx\n"
                            "file://otherhost/b.syx\n"
                            "file://localhost/tmp/c.syx\n"
                            "FILE:/tmp/d.syx\n"
                            "file:///tmp/nul%00.syx\n"
                            "file:///tmp/100%.syx";
    EXPECT_EQ(fw::LocalPathsOfUriList(list),
              (std::vector<std::string>{"/tmp/caf\xE9 x.syx", "/tmp/c.syx", "/tmp/d.syx", "/tmp/100%.syx"}));
}

TEST(DragItem, StandsStillOnTheLastItem) {
    fw::DragItem item({fw::GetFolderItem("/tmp/a.syx", 0), nullptr});
    EXPECT_TRUE(item.FolderItemAvailable());
    ASSERT_TRUE(item.NextItem());
    EXPECT_FALSE(item.FolderItemAvailable());
    EXPECT_FALSE(item.NextItem());
    EXPECT_FALSE(item.FolderItem());

    fw::DragItem empty({});
    EXPECT_FALSE(empty.FolderItemAvailable());
    EXPECT_FALSE(empty.NextItem());
}

} // namespace
