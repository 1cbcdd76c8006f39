#pragma once

#include "framework/window.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace fw {
class BinaryStream;
class ClassRecord;
class DragItem;
class FolderItem;
class Listbox;
class MenuItem;
class QuitMenuItem;
} // namespace fw

// The main window: the patch list between the add button and the merge button. It carries all of the
// program's behaviour, in handlers named after the control and the event that run them.
class Window1 : public fw::Window {
public:
    static const fw::ClassRecord& ctblinit();
    static const fw::ClassRecord& Lookup();
    // The main window, built on first use.
    static fw::Ref<Window1> Instance();

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void PushButton1_Action();
    void Listbox1_Open();
    void Listbox1_DropObject(fw::Ref<fw::DragItem> item, std::int32_t action);
    void PushButton2_Action();
    fw::Ref<fw::MenuItem> EditMenu();
    fw::Ref<fw::MenuItem> EditSelectAll();
    fw::Ref<fw::MenuItem> UntitledMenu0();
    fw::Ref<fw::MenuItem> EditClear();
    fw::Ref<fw::MenuItem> EditPaste();
    fw::Ref<fw::MenuItem> EditCopy();
    fw::Ref<fw::MenuItem> EditCut();
    fw::Ref<fw::MenuItem> UntitledMenu1();
    fw::Ref<fw::MenuItem> EditUndo();
    fw::Ref<fw::MenuItem> FileMenu();
    fw::Ref<fw::QuitMenuItem> FileQuit();
    void AddMenuHandlers(const fw::Ref<fw::Window>& w) override;
    void Event_Close() override;
    void AddPatch(fw::Ref<fw::FolderItem> file);

protected:
    Window1() = default;
    // Moves one input whole into the output: one read and one write, unless it is larger than the largest
    // read, when it goes in runs of that size. Not private, so that a test can drive the runs with a small
    // one.
    static void copyWhole(fw::BinaryStream& input, fw::BinaryStream& output,
                          std::int32_t largestRead = std::numeric_limits<std::int32_t>::max());

private:
    template <class Control> void createControl(const std::string& name, std::string_view properties);
    template <class Control, class... Args>
    void bindEvent(const std::string& controlName, const std::string& eventName,
                   void (Window1::*handler)(Args...), const std::string& parameterText);
    template <class Item> fw::Ref<Item> menuItemNamed(const std::string& name) const;
    // The patch list, found by its name at each use.
    fw::Ref<fw::Listbox> patchList() const;
};
