#pragma once

#include "menu_item.h"

class QMenuBar;
class QWidget;

namespace fw {

// The root of a menu tree; its children are the menus shown on the bar.
class MenuBar : public MenuItem {
public:
    static const ClassRecord& Record();

    // Builds the Qt menu bar that shows this tree in a window.
    QMenuBar* createWidget(QWidget* parent) const;

protected:
    MenuBar() = default;
};

} // namespace fw
