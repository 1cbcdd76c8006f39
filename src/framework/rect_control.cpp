#include "rect_control.h"

#include "class_record.h"
#include "file_drop_filter.h"
#include "window.h"

#include <QWidget>

#include <algorithm>
#include <limits>

namespace fw {
namespace {

// Values out of a property list can be anything, so the arithmetic is done wide and kept in range.
std::int32_t clamped(std::int64_t value, std::int64_t lowest, std::int64_t highest) {
    return static_cast<std::int32_t>(std::clamp(value, lowest, highest));
}

std::int32_t clampedToInt32(std::int64_t value) {
    return clamped(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
}

// One axis of the anchoring rule: locked on both sides it stretches, on the far side only it moves.
void followAxis(std::int32_t& start, std::int32_t& length, bool nearLocked, bool farLocked,
                std::int64_t change) {
    if (nearLocked && farLocked)
        length = clampedToInt32(length + change);
    else if (farLocked)
        start = clampedToInt32(start + change);
}

PropertyDeclaration::Effect placing(std::int32_t Rect::*field) {
    return [field](Object& object, const PropertyValue& value) {
        static_cast<RectControl&>(object).placeAt(field, std::get<std::int32_t>(value));
    };
}

PropertyDeclaration::Reader reading(std::int32_t Rect::*field) {
    return [field](const Object& object) -> PropertyValue {
        return static_cast<const RectControl&>(object).bounds().*field;
    };
}

QWidget& widgetOf(Object& object) { return static_cast<RectControl&>(object).widgetAs<QWidget>(); }

} // namespace

const ClassRecord& RectControl::Record() {
    static const ClassRecord& record =
        RegisterClass("RectControl", &Control::Record(), {})
            .declare("Left", PropertyType::Int32, placing(&Rect::left), reading(&Rect::left))
            .declare("Top", PropertyType::Int32, placing(&Rect::top), reading(&Rect::top))
            .declare("Width", PropertyType::Int32, placing(&Rect::width), reading(&Rect::width))
            .declare("Height", PropertyType::Int32, placing(&Rect::height), reading(&Rect::height))
            .declare("LockLeft", PropertyType::Boolean)
            .declare("LockTop", PropertyType::Boolean)
            .declare("LockRight", PropertyType::Boolean)
            .declare("LockBottom", PropertyType::Boolean)
            .declare("TabIndex", PropertyType::Int32)
            .declare("Enabled", PropertyType::Boolean,
                     [](Object& object, const PropertyValue& value) {
                         widgetOf(object).setEnabled(std::get<bool>(value));
                     })
            .declare("Visible", PropertyType::Boolean,
                     [](Object& object, const PropertyValue& value) {
                         widgetOf(object).setVisible(std::get<bool>(value));
                     })
            .declare("HelpTag", PropertyType::String,
                     [](Object& object, const PropertyValue& value) {
                         widgetOf(object).setToolTip(QString::fromStdString(std::get<std::string>(value)));
                     })
            .declare("AutoDeactivate", PropertyType::Boolean)
            .declare("InitialParent", PropertyType::String);
    return record;
}

void RectControl::Construct() {
    if (!Window())
        throw NilObjectException();
    attach(*Window());
    m_contentAtPlacing = Window()->contentSize();
    followContentArea(m_contentAtPlacing);
}

Rect RectControl::bounds() const {
    if (!widget())
        return m_placed;
    const QRect geometry = widget()->geometry();
    return Rect{geometry.x(), geometry.y(), geometry.width(), geometry.height()};
}

std::int32_t RectControl::tabIndex() const { return std::get<std::int32_t>(property("TabIndex")); }

void RectControl::AcceptFileDrop(const std::string& fileTypeName) {
    if (std::find(m_acceptedFileTypes.begin(), m_acceptedFileTypes.end(), fileTypeName) !=
        m_acceptedFileTypes.end())
        return;
    const bool firstType = m_acceptedFileTypes.empty();
    m_acceptedFileTypes.push_back(fileTypeName);
    QWidget* target = dropTarget();
    if (!firstType || !target)
        return;
    target->setAcceptDrops(true);
    target->installEventFilter(new FileDropFilter(*this, target));
}

QWidget* RectControl::dropTarget() const { return widget(); }

void RectControl::followContentArea(Size contentSize) {
    const Rect rect = anchored(contentSize);
    if (!widget())
        return;
    // A size below zero shows as nothing; Qt's own rectangle arithmetic must not overflow either.
    widget()->setGeometry(clamped(rect.left, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                          clamped(rect.top, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                          clamped(rect.width, 0, QWIDGETSIZE_MAX), clamped(rect.height, 0, QWIDGETSIZE_MAX));
}

void RectControl::placeAt(std::int32_t Rect::*field, std::int32_t value) {
    // Rebase on the current content area first, so a value set after a resize is taken as of now.
    const Size content = Window() ? Window()->contentSize() : m_contentAtPlacing;
    m_placed = anchored(content);
    m_contentAtPlacing = content;
    m_placed.*field = value;
    followContentArea(content);
}

Rect RectControl::anchored(Size contentSize) const {
    Rect rect = m_placed;
    followAxis(rect.left, rect.width, lock("LockLeft"), lock("LockRight"),
               std::int64_t{contentSize.width} - m_contentAtPlacing.width);
    followAxis(rect.top, rect.height, lock("LockTop"), lock("LockBottom"),
               std::int64_t{contentSize.height} - m_contentAtPlacing.height);
    return rect;
}

bool RectControl::lock(const char* name) const { return std::get<bool>(property(name)); }

} // namespace fw
