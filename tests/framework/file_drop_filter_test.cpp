#include "framework/file_drop_filter.h"

#include "framework/drag_item.h"
#include "framework/file_type_registry.h"
#include "framework/folder_item.h"
#include "framework/rect_control.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QWidget>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// A control that takes drops on a plain widget of the test's own, outside any window.
class DropControl : public fw::RectControl {
public:
    explicit DropControl(QWidget& target) : m_target(target) {}

protected:
    QWidget* createWidget(QWidget*) override { return nullptr; }
    QWidget* dropTarget() const override { return &m_target; }

private:
    QWidget& m_target;
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
        m_target.show();
    }

    std::string path(const std::string& name) const { return m_folder.path().toStdString() + "/" + name; }
    void write(const std::string& name) const { std::ofstream(path(name)) << "\xF0\xF7"; }

    // Drags the URIs over the target as Qt delivers a real drop; whether the target took it.
    bool drop(const QByteArray& uriList) {
        QMimeData data;
        data.setData("text/uri-list", uriList);
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_target, &move);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_target, &dropped);
        return enter.isAccepted() && move.isAccepted() && dropped.isAccepted();
    }
    QByteArray uri(const std::string& name) const {
        return "file://" + QByteArray::fromStdString(path(name));
    }

    QTemporaryDir m_folder;
    QWidget m_target;
    fw::Ref<DropControl> m_control = fw::MakeRef<DropControl>(m_target);
    std::vector<Drop> m_drops;
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
