#include "quit_menu_item.h"

#include "class_record.h"
#include "event_loop.h"

namespace fw {

const ClassRecord& QuitMenuItem::Record() {
    static const ClassRecord& record =
        RegisterClass("QuitMenuItem", &MenuItem::Record(), [] { return new QuitMenuItem; });
    return record;
}

void QuitMenuItem::action() { Quit(0); }

} // namespace fw
