#include "drag_item.h"

#include "folder_item.h"

namespace fw {

DragItem::DragItem(std::vector<Ref<fw::FolderItem>> items)
    : m_items(std::move(items)), m_current(itemFrom(0)) {}

DragItem::~DragItem() { leaveCurrent(); }

bool DragItem::FolderItemAvailable() const { return static_cast<bool>(FolderItem()); }

// A drop of no items, or of folders alone, stands on none, which carries no file.
Ref<fw::FolderItem> DragItem::FolderItem() const {
    if (m_current >= m_items.size())
        return nullptr;
    return m_items[m_current];
}

bool DragItem::NextItem() {
    if (m_current >= m_items.size())
        return false;
    leaveCurrent();
    const std::size_t next = itemFrom(m_current + 1);
    if (next >= m_items.size())
        return false;
    m_current = next;
    return true;
}

std::size_t DragItem::itemFrom(std::size_t index) {
    for (; index < m_items.size(); ++index) {
        const Ref<fw::FolderItem>& item = m_items[index];
        if (!item || !item->lookNamesFolder())
            return index;
        item->forgetLook();
    }
    return index;
}

void DragItem::leaveCurrent() {
    if (const Ref<fw::FolderItem> item = FolderItem())
        item->forgetLook();
}

} // namespace fw
