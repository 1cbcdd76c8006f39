#include "window/window1.h"

#include "app/file_types1.h"
#include "framework/binary_stream.h"
#include "framework/dialogs.h"
#include "framework/drag_item.h"
#include "framework/event_binding.h"
#include "framework/event_loop.h"
#include "framework/folder_item.h"
#include "framework/listbox.h"
#include "framework/push_button.h"
#include "framework/str.h"

fw::Ref<fw::Listbox> Window1::patchList() const {
    return fw::Cast<fw::Listbox>(fw::RuntimeWindowControlByName(*this, "Listbox1"));
}

// Every test and every read of the file comes before the row is appended, so a file that fails leaves no
// row, complete or partial.
void Window1::AddPatch(fw::Ref<fw::FolderItem> file) {
    if (!file)
        return;
    if (!file->Exists())
        return;
    fw::Ref<fw::BinaryStream> stream = file->OpenAsBinaryFile(false);
    if (!stream)
        return;
    stream->LittleEndian(false);
    std::int32_t patchNumber = stream->ReadByte();
    patchNumber = stream->ReadByte();
    patchNumber = stream->ReadByte();
    patchNumber = stream->ReadByte(); // the byte at offset 3
    patchList()->AddRow(file->AbsolutePath());
    patchList()->Cell(patchList()->LastIndex(), 1, file->Name());
    patchList()->Cell(patchList()->LastIndex(), 2, fw::Str(file->Length()) + " bytes");
    patchList()->Cell(patchList()->LastIndex(), 3, fw::Str(patchNumber));
}

void Window1::PushButton1_Action() {
    fw::RuntimeSwapSelfAndMe<fw::PushButton>();
    const std::string filter = FileTypes1::Sysex()->Operator_Convert();
    AddPatch(fw::GetOpenFolderItem(filter));
}

void Window1::Listbox1_Open() {
    fw::Ref<fw::Listbox> me = fw::RuntimeSwapSelfAndMe<fw::Listbox>();
    me->Heading(0, "");
    me->Heading(1, "File name");
    me->Heading(2, "File size");
    me->Heading(3, "Patch number");
    me->AcceptFileDrop(FileTypes1::Sysex()->Operator_Convert());
}

void Window1::Listbox1_DropObject(fw::Ref<fw::DragItem> item, std::int32_t action) {
    (void)action; // a drop adds the same rows whatever its action
    fw::RuntimeSwapSelfAndMe<fw::Listbox>();
    do {
        if (item->FolderItemAvailable())
            AddPatch(item->FolderItem());
        fw::RuntimeBackgroundTask();
    } while (item->NextItem());
}
