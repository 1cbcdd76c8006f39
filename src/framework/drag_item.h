#pragma once

#include "object.h"

#include <cstddef>
#include <vector>

namespace fw {

class FolderItem;

// A cursor over the items of one drop, standing on the first item to begin with. It looks at each file as it
// comes to it, and passes over one that names a folder then: folders are never dropped files. What it saw
// answers the first questions the handler asks about the file it stands on (see FolderItem::lookNamesFolder).
class DragItem : public Object {
public:
    explicit DragItem(std::vector<Ref<fw::FolderItem>> items);
    ~DragItem() override;

    // Whether the current item carries a file.
    bool FolderItemAvailable() const;
    Ref<fw::FolderItem> FolderItem() const;
    // Moves on to the next item that is no folder; false, standing still, when there is none.
    bool NextItem();

private:
    // The first item at or after the index that is no folder, as the cursor finds it; the count of items
    // when there is none.
    std::size_t itemFrom(std::size_t index);
    // A look is only as good as the moment it was taken: the cursor's goes with it when it moves on.
    void leaveCurrent();

    std::vector<Ref<fw::FolderItem>> m_items; // nil for an item without a file
    std::size_t m_current;                    // the count of items when standing on none
};

} // namespace fw
