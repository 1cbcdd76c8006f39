#include "framework/class_record.h"
#include "framework/exceptions.h"
#include "framework/listbox.h"
#include "framework/menu_bar.h"
#include "framework/property_list.h"
#include "framework/push_button.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "window/window1_property_lists.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

// The first byte of an input picks the object that takes the rest as its property list.
enum Target : char { kWindow, kPushButton, kListbox, kTargetCount };

struct Seed {
    const char* fileName;
    Target target;
    std::string_view list;
};

// The program's own lists, so fuzzing starts from every property that it really sets.
constexpr std::array kSeeds{
    Seed{"window", kWindow, Window1PropertyLists::kWindow},
    Seed{"push_button_1", kPushButton, Window1PropertyLists::kPushButton1},
    Seed{"listbox_1", kListbox, Window1PropertyLists::kListbox1},
    Seed{"push_button_2", kPushButton, Window1PropertyLists::kPushButton2},
};

bool writeSeeds(const std::filesystem::path& directory) {
    std::filesystem::create_directories(directory);
    for (const Seed& seed : kSeeds) {
        std::ofstream file(directory / seed.fileName, std::ios::binary);
        file.put(seed.target).write(seed.list.data(), static_cast<std::streamsize>(seed.list.size()));
        if (!file)
            return false;
    }
    return true;
}

// Built once and reused: making a window for each input would cost far more than applying the list. The run
// is the fixture's.
class Fixture {
public:
    Fixture() : m_window(fw::New<fw::Window>()) {
        m_window->MenuBar(menuBar());
        m_targets = {m_window, addControl(fw::PushButton::Record(), "B"),
                     addControl(fw::Listbox::Record(), "L")};
        m_window->Construct();
    }

    fw::Object& target(std::uint8_t selector) const { return *m_targets[selector % m_targets.size()]; }

private:
    // A bar with a menu, as the program's window has, so that sizing the window counts the bar's height.
    static fw::Ref<fw::MenuBar> menuBar() {
        fw::Ref<fw::MenuItem> menu = fw::New<fw::MenuItem>();
        menu->Text("&File");
        fw::Ref<fw::MenuBar> bar = fw::New<fw::MenuBar>();
        bar->Append(menu);
        return bar;
    }

    fw::Ref<fw::Object> addControl(const fw::ClassRecord& record, const std::string& name) {
        fw::Ref<fw::Object> control = m_window->New(record);
        fw::Cast<fw::RectControl>(control)->Construct();
        m_window->AddControl(control, name);
        return control;
    }

    fw::Runtime m_runtime;
    fw::Ref<fw::Window> m_window;
    std::array<fw::Ref<fw::Object>, kTargetCount> m_targets;
};

// Never ended: libFuzzer leaves by exit() from inside its loop, and by the time static destruction would
// reach the fixture, Qt has begun tearing down its own globals, after which no widget can be destroyed
// safely.
Fixture& fixture() {
    static auto* instance = new Fixture;
    return *instance;
}

} // namespace

// "--write-seeds=DIR" writes the seed corpus and exits; libFuzzer leaves flags with two dashes to the target.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    constexpr std::string_view kWriteSeeds = "--write-seeds=";
    for (int i = 1; i < *argc; ++i) {
        const std::string_view argument = (*argv)[i];
        if (argument.starts_with(kWriteSeeds))
            std::exit(writeSeeds(argument.substr(kWriteSeeds.size())) ? EXIT_SUCCESS : EXIT_FAILURE);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt warns of every size out of its range that a list asks for; printing millions of those slows the run.
    setenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false", 1);
    fixture();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // libFuzzer's buffer ends exactly where the input does, so a read past the list's end is caught.
    const std::string_view list(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        fw::SetProperties(fixture().target(data[0]), list);
    } catch (const fw::RuntimeException&) {
        // A malformed list is refused with this; any other exception escaping is a finding.
    }
    return 0;
}
