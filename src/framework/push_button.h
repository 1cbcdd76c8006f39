#pragma once

#include "rect_control.h"

namespace fw {

// A push button; a click raises "Action".
class PushButton : public RectControl {
public:
    static const ClassRecord& Record();

protected:
    PushButton() = default;
    QWidget* createWidget(QWidget* parent) override;
};

} // namespace fw
