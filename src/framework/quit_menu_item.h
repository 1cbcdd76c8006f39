#pragma once

#include "menu_item.h"

namespace fw {

// The standard quit item: choosing it quits the application with status 0, with no handler of the program's.
class QuitMenuItem : public MenuItem {
public:
    static const ClassRecord& Record();
    void action() override;
    bool enabledNow() const override { return true; }

protected:
    QuitMenuItem() = default;
};

} // namespace fw
