#pragma once

#include "ref.h"

#include <string>

namespace fw {

class FolderItem;

// The file chooser for one existing file, offering files of the filter's type; nil when the user cancels.
Ref<FolderItem> GetOpenFolderItem(const std::string& filter);
// The save dialog, suggesting a name; it asks before an existing file is replaced. Nil when the user cancels.
Ref<FolderItem> GetSaveFolderItem(const std::string& filter, const std::string& suggestedName);

} // namespace fw
