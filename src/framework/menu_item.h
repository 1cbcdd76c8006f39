#pragma once

#include "object.h"

#include <cstdint>
#include <string>
#include <vector>

class QAction;

namespace fw {

class ClassRecord;

// An item of a menu tree: a menu on a bar, an item of a menu, or a separator (text "-"). "&" in a text marks
// the mnemonic; a shortcut such as "Cmd+Q" uses the platform's command modifier.
class MenuItem : public Object {
public:
    static const ClassRecord& Record();

    // The item's constructor, without arguments.
    void Construct();

    std::string Name() const { return m_name; }
    void Name(const std::string& name) { m_name = name; }
    bool AutoEnable() const { return m_autoEnable; }
    void AutoEnable(bool autoEnable) { m_autoEnable = autoEnable; }
    std::string Text() const { return m_text; }
    void Text(const std::string& text) { m_text = text; }
    std::string KeyboardShortcut() const { return m_keyboardShortcut; }
    void KeyboardShortcut(const std::string& shortcut) { m_keyboardShortcut = shortcut; }

    void Append(const Ref<MenuItem>& item);
    std::int32_t count() const { return static_cast<std::int32_t>(m_children.size()); }
    Ref<MenuItem> item(std::int32_t index) const;
    // A direct child by name, or nil.
    Ref<MenuItem> Child(const std::string& name) const;
    // An item by name anywhere below this one, or nil.
    Ref<MenuItem> Lookup(const std::string& name) const;

    bool isSeparator() const { return m_text == "-"; }
    // What choosing the item does when the program has bound no handler to it.
    virtual void action();
    // Whether the item can be chosen now: an auto-enabled item with no handler only when the widget with the
    // keyboard focus can do what it names.
    virtual bool enabledNow() const;

protected:
    MenuItem() = default;

private:
    std::string m_name;
    std::string m_text;
    std::string m_keyboardShortcut;
    bool m_autoEnable = false;
    std::vector<Ref<MenuItem>> m_children;
};

} // namespace fw
