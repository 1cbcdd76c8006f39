#pragma once

#include "framework/file_type.h"
#include "framework/module_property.h"

// The program's one kind of document, the Prophet 600 patch file.
namespace FileTypes1 {

extern fw::ModuleProperty<fw::FileType> pSysex;

// Creates the patch file type and registers it, with all of its values set first so it registers once.
void Initialize();
// The patch file type; nil before Initialize and after shut-down.
fw::Ref<fw::FileType> Sysex();

} // namespace FileTypes1
