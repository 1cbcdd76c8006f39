#include "framework/binary_stream.h"
#include "framework/runtime.h"
#include "framework/scratch_folder.h"

#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <tuple>

namespace {

using test::pattern;

class BinaryStreamTest : public test::ScratchFolderTest {};

TEST_F(BinaryStreamTest, ReadByteYieldsEveryByteAsUnsignedAndZeroPastTheEnd) {
    write("in.syx", pattern(10000)); // several refills of the read buffer
    auto stream = item("in.syx")->OpenAsBinaryFile(false);
    for (std::size_t i = 0; i < 10000; ++i)
        ASSERT_EQ(stream->ReadByte(), test::byteAt(i)) << "at " << i;
    EXPECT_EQ(stream->ReadByte() + stream->ReadByte(), 0);
}

enum class Moment { Never, BeforeLength, BeforeRead, BeforeWrite, DuringWrite };

// A merge asks an input's length, reads it as a run that outlives its stream, and writes the run: small ones
// are read in at once, large ones copied by the kernel in chunks with a yield after each. A change before the
// length is asked is merged as the file is then; one after it could tear the run, so it stops the output.
TEST_F(BinaryStreamTest, RunIsWrittenAfterItsStreamWentButAChangeOnceItsLengthWasAskedStopsTheOutput) {
    using enum Moment;
    constexpr std::size_t kLarge = 8 << 20; // several chunks of the kernel's copy
    const std::tuple<std::size_t, Moment, bool, const char*> cases[] = {
        {1000, Never, true, nullptr},           {kLarge, Never, true, nullptr},
        {1000, BeforeLength, true, nullptr},    {kLarge, BeforeLength, true, nullptr},
        {1000, BeforeRead, true, "shorter"},    {1000, BeforeRead, false, "written to"},
        {1000, BeforeWrite, true, "shorter"},   {kLarge, BeforeWrite, true, "shorter"},
        {kLarge, DuringWrite, true, "shorter"}, {kLarge, DuringWrite, false, "written to"}};
    const std::string changed = path("in.syx") + "\" changed while it was being read, so \"" +
                                path("out.syx") + "\" was not written.";
    for (const auto& [size, when, truncates, reason] : cases) {
        SCOPED_TRACE(testing::Message() << size << " bytes, " << (truncates ? "cut" : "written")
                                        << " at moment " << static_cast<int>(when));
        write("out.syx", "old");
        write("in.syx", pattern(size));
        const timespec longAgo[2] = {{946684800, 0}, {946684800, 0}}; // a write shows on the coarsest clock
        ASSERT_EQ(::utimensat(AT_FDCWD, path("in.syx").c_str(), longAgo, 0), 0);
        const auto changeAt = [&](Moment moment) {
            if (moment == when && truncates)
                std::filesystem::resize_file(path("in.syx"), size / 2);
            if (moment == when && !truncates)
                std::fstream(path("in.syx"), std::ios::binary | std::ios::in | std::ios::out) << "new";
        };

        auto input = item("in.syx")->OpenAsBinaryFile(false);
        changeAt(BeforeLength);
        const auto length = static_cast<std::int32_t>(input->Length());
        changeAt(BeforeRead);
        // Up to 64 KiB is read in at once; a larger count leaves even a small file a run until it is written.
        const fw::ByteString run = input->Read(when == BeforeWrite ? test::kEverything : length);
        input = nullptr;
        changeAt(BeforeWrite);
        // A yield runs events at most every 50 ms; a run's first is due at once.
        const fw::Runtime ownRun;
        auto output = item("out.syx")->CreateBinaryFile("SysEx");
        output->Write(fw::ByteString("head"));
        bool writing = true, ranWhileWriting = false;
        QObject context; // an event that never ran goes with it
        QTimer::singleShot(0, &context, [&] {
            ranWhileWriting = writing;
            changeAt(DuringWrite);
        });
        output->Write(run);
        writing = false;
        output->Write(fw::ByteString("tail"));
        output = nullptr;

        EXPECT_TRUE(ranWhileWriting || size < kLarge);
        if (!reason) {
            EXPECT_TRUE(read("out.syx") == "head" + read("in.syx") + "tail");
            EXPECT_TRUE(m_reports.empty());
            continue;
        }
        EXPECT_TRUE(read("out.syx") == "old");
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_NE(m_reports[0].find(changed), std::string::npos) << m_reports[0];
        EXPECT_NE(m_reports[0].find(reason), std::string::npos) << m_reports[0];
        m_reports.clear();
    }
}

// A merge ended half way by an exception must not replace its target, which may be one of its inputs, nor may
// one whose disk takes the bytes but fails to keep them. An output made during the unwinding still commits.
TEST_F(BinaryStreamTest, OutputAbandonedByAnExceptionOrNotSyncedLeavesTheTarget) {
    struct MakesOutputWhileUnwinding {
        fw::Ref<fw::FolderItem> file;
        ~MakesOutputWhileUnwinding() { file->CreateBinaryFile("SysEx")->Write(fw::ByteString("new")); }
    };
    write("out.syx", "old");
    try {
        const auto abandoned = item("out.syx")->CreateBinaryFile("SysEx");
        const MakesOutputWhileUnwinding making{item("made.syx")};
        throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
    }
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(read("made.syx"), "new");
    EXPECT_TRUE(m_reports.empty()) << m_reports[0];

    faults::failCalls("fdatasync", path(""), EIO);
    item("out.syx")->CreateBinaryFile("SysEx")->Write(fw::ByteString("new"));
    faults::clearFaults();
    EXPECT_EQ(read("out.syx"), "old");
    EXPECT_EQ(entries(), (QStringList{"made.syx", "out.syx"}));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("Input/output error"), std::string::npos) << m_reports[0];
}

} // namespace
