#pragma once

#include "object.h"

#include <cstddef>
#include <vector>

namespace fw {

class FolderItem;

// A cursor over the items of one drop, standing on the first item to begin with.
class DragItem : public Object {
public:
    explicit DragItem(std::vector<Ref<fw::FolderItem>> items);

    // Whether the current item carries a file.
    bool FolderItemAvailable() const;
    Ref<fw::FolderItem> FolderItem() const;
    // Moves on to the next item; false, standing still, after the last.
    bool NextItem();

private:
    std::vector<Ref<fw::FolderItem>> m_items; // nil for an item without a file
    std::size_t m_current = 0;
};

} // namespace fw
