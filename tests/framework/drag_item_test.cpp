#include "framework/drag_item.h"

#include "framework/binary_stream.h"
#include "framework/open_watch.h"
#include "framework/scratch_folder.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

class DragItemTest : public test::ScratchFolderTest {};

// Each file is judged as it is when the cursor comes to it. The cursor's look answers only its first
// questions, and only while the cursor stands on it: a file that has since become a named pipe is never
// opened.
TEST_F(DragItemTest, EachFileIsJudgedWhenTheCursorComesToItAndTheLookGoesWithTheCursor) {
    test::OpenWatch opens;
    auto becomePipe = [&](const std::string& name) {
        std::remove(path(name).c_str());
        ASSERT_EQ(::mkfifo(path(name).c_str(), 0600), 0);
        ASSERT_TRUE(opens.watch(path(name)));
    };
    for (const char* name : {"a.syx", "b.syx", "c.syx"})
        write(name, "\xF0");
    auto drop = fw::makeRef<fw::DragItem>(std::vector{item("a.syx"), item("b.syx"), item("c.syx")});
    const fw::Ref<fw::FolderItem> a = drop->FolderItem();
    EXPECT_TRUE(a->OpenAsBinaryFile(false));
    becomePipe("a.syx");
    EXPECT_FALSE(a->OpenAsBinaryFile(false));
    std::remove(path("b.syx").c_str());
    ASSERT_TRUE(QDir(m_folder.path()).mkdir("b.syx"));

    ASSERT_TRUE(drop->NextItem());
    const fw::Ref<fw::FolderItem> c = drop->FolderItem();
    EXPECT_TRUE(c->Exists());
    std::remove(path("c.syx").c_str());
    EXPECT_FALSE(c->Exists());
    drop = nullptr;
    std::remove(path("a.syx").c_str());
    becomePipe("c.syx");

    EXPECT_FALSE(a->Exists());
    EXPECT_FALSE(c->OpenAsBinaryFile(false));
    EXPECT_FALSE(opens.anyOpened());
}

} // namespace
