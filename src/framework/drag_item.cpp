#include "drag_item.h"

#include "folder_item.h"

namespace fw {

DragItem::DragItem(std::vector<Ref<fw::FolderItem>> items) : m_items(std::move(items)) {}

bool DragItem::FolderItemAvailable() const { return static_cast<bool>(FolderItem()); }

// A drop of no items stands on none, which carries no file.
Ref<fw::FolderItem> DragItem::FolderItem() const {
    if (m_current >= m_items.size())
        return nullptr;
    return m_items[m_current];
}

bool DragItem::NextItem() {
    if (m_current + 1 >= m_items.size())
        return false;
    ++m_current;
    return true;
}

} // namespace fw
