#include "framework/drag_item.h"

#include "framework/binary_stream.h"
#include "framework/open_watch.h"
#include "framework/scratch_folder.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

class DragItemTest : public test::ScratchFolderTest {};

// A look stands for its file only while the drop is being handled, even when the handler stops before the
// last item: a file that has since become a named pipe is never opened.
TEST_F(DragItemTest, CursorPassesOverFoldersAndItsLookGoesWithTheDropWhereverTheHandlerStopped) {
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("folder.syx"));
    write("a.syx", "A");
    const fw::Ref<fw::FolderItem> file = item("a.syx");
    {
        const auto drop = fw::makeRef<fw::DragItem>(std::vector{item("folder.syx"), file});
        EXPECT_EQ(drop->FolderItem(), file);
        const auto folders = fw::makeRef<fw::DragItem>(std::vector{item("folder.syx")});
        EXPECT_FALSE(folders->FolderItemAvailable());
        EXPECT_FALSE(folders->NextItem());
    }
    test::OpenWatch opens;
    std::remove(path("a.syx").c_str());
    ASSERT_EQ(::mkfifo(path("a.syx").c_str(), 0600), 0);
    ASSERT_TRUE(opens.watch(path("a.syx")));

    EXPECT_FALSE(file->OpenAsBinaryFile(false));
    EXPECT_FALSE(opens.anyOpened());
}

} // namespace
