#include "push_button.h"

#include "class_record.h"
#include "event_loop.h"

#include <QPushButton>

namespace fw {
namespace {

QPushButton& buttonOf(Object& object) { return static_cast<PushButton&>(object).widgetAs<QPushButton>(); }

} // namespace

const ClassRecord& PushButton::Record() {
    static const ClassRecord& record =
        RegisterClass("PushButton", &RectControl::Record(), [] { return new PushButton; })
            .declare("Caption", PropertyType::String,
                     [](Object& object, const PropertyValue& value) {
                         buttonOf(object).setText(QString::fromStdString(std::get<std::string>(value)));
                     })
            .declare("Default", PropertyType::Boolean,
                     [](Object& object, const PropertyValue& value) {
                         buttonOf(object).setDefault(std::get<bool>(value));
                     })
            .declare("Cancel", PropertyType::Boolean)
            .declare("TextFont", PropertyType::String)
            .declare("TextSize", PropertyType::Int32)
            .declare("Bold", PropertyType::Boolean)
            .declare("Italic", PropertyType::Boolean)
            .declare("Underline", PropertyType::Boolean);
    return record;
}

QWidget* PushButton::createWidget(QWidget* parent) {
    auto* button = new QPushButton(parent);
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        Ref<PushButton> self(this);
        dispatch([&self] { self->raiseEvent("Action"); });
    });
    return button;
}

} // namespace fw
