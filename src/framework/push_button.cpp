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
            .Declare("Caption", PropertyType::String,
                     [](Object& object, const PropertyValue& value) {
                         buttonOf(object).setText(QString::fromStdString(std::get<std::string>(value)));
                     })
            .Declare("Default", PropertyType::Boolean,
                     [](Object& object, const PropertyValue& value) {
                         buttonOf(object).setDefault(std::get<bool>(value));
                     })
            .Declare("Cancel", PropertyType::Boolean)
            .Declare("TextFont", PropertyType::String)
            .Declare("TextSize", PropertyType::Int32)
            .Declare("Bold", PropertyType::Boolean)
            .Declare("Italic", PropertyType::Boolean)
            .Declare("Underline", PropertyType::Boolean);
    return record;
}

QWidget* PushButton::createWidget(QWidget* parent) {
    auto* button = new QPushButton(parent);
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        Ref<PushButton> self(this);
        dispatch([&self] { self->RaiseEvent("Action"); });
    });
    return button;
}

} // namespace fw
