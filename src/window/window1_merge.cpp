#include "window/window1.h"

#include "framework/binary_stream.h"
#include "framework/dialogs.h"
#include "framework/event_binding.h"
#include "framework/event_loop.h"
#include "framework/folder_item.h"
#include "framework/listbox.h"
#include "framework/push_button.h"

#include <algorithm>

// Writes every listed file, whole and in row order, into one new file. A row whose file is gone or will not
// open adds nothing; the output replaces the chosen file only once it is complete, so a listed file may be
// chosen as the output and is read as it was.
void Window1::PushButton2_Action() {
    fw::RuntimeSwapSelfAndMe<fw::PushButton>();
    if (!(patchList()->ListCount() > 0))
        return;
    fw::Ref<fw::FolderItem> outputFile = fw::GetSaveFolderItem("", "merged_patches.syx");
    if (!outputFile)
        return;
    fw::Ref<fw::BinaryStream> output = outputFile->CreateBinaryFile("");
    if (!output)
        return;
    output->LittleEndian(false);

    fw::Ref<fw::FolderItem> inputFile;
    fw::Ref<fw::BinaryStream> input;
    auto appendRow = [&](std::int32_t row) {
        inputFile = fw::GetFolderItem(patchList()->List(row), 0);
        if (!inputFile)
            return;
        input = inputFile->OpenAsBinaryFile(false);
        if (!input)
            return;
        copyWhole(*input, *output);
    };
    // The row count is read afresh before every pass: rows dropped while the merge yields are merged too.
    for (std::int32_t row = 0; row <= patchList()->ListCount() - 1; ++row) {
        appendRow(row);
        fw::RuntimeBackgroundTask();
    }
}

void Window1::copyWhole(fw::BinaryStream& input, fw::BinaryStream& output, std::int32_t largestRead) {
    const auto largest = static_cast<std::uint64_t>(largestRead);
    std::uint64_t remaining = input.Length();
    if (remaining <= largest) {
        output.Write(input.Read(static_cast<std::int32_t>(remaining)));
        return;
    }
    // A read count is a signed 32-bit number, so an input of 2 GiB or more is moved in runs of the largest.
    // Every run is written, even an empty one: the bytes of a read that failed carry the failure along.
    while (remaining > 0) {
        const fw::ByteString bytes = input.Read(static_cast<std::int32_t>(std::min(remaining, largest)));
        output.Write(bytes);
        if (bytes.empty())
            return;
        remaining -= std::min(remaining, bytes.size());
    }
}
