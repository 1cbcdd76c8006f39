#include "menu_item.h"

#include "class_record.h"
#include "edit_commands.h"

namespace fw {

const ClassRecord& MenuItem::Record() {
    static const ClassRecord& record = RegisterClass("MenuItem", nullptr, [] { return new MenuItem; });
    return record;
}

// Programs call the constructor of every object they make; an item starts empty and is filled in afterwards.
void MenuItem::Construct() {}

// A nil child would only fail later, far from the mistake, when the tree is searched or shown.
void MenuItem::Append(const Ref<MenuItem>& item) {
    if (!item)
        throw NilObjectException();
    m_children.push_back(item);
}

Ref<MenuItem> MenuItem::item(std::int32_t index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return m_children[static_cast<std::size_t>(index)];
}

Ref<MenuItem> MenuItem::Child(const std::string& name) const {
    for (const Ref<MenuItem>& child : m_children) {
        if (child->m_name == name)
            return child;
    }
    return nullptr;
}

Ref<MenuItem> MenuItem::Lookup(const std::string& name) const {
    for (const Ref<MenuItem>& child : m_children) {
        if (child->m_name == name)
            return child;
        if (Ref<MenuItem> found = child->Lookup(name))
            return found;
    }
    return nullptr;
}

void MenuItem::action() { performEditCommand(m_name); }

bool MenuItem::enabledNow() const {
    if (!m_children.empty() || !m_autoEnable)
        return true;
    return canPerformEditCommand(m_name);
}

} // namespace fw
