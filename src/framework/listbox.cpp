#include "listbox.h"

#include "class_record.h"
#include "event_loop.h"
#include "listbox_model.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>
#include <functional>

namespace fw {
namespace {

// A tree view that shows a flat list, and lets its owner lay the columns out again whenever it changes size.
class ListboxView : public QTreeView {
public:
    ListboxView(QWidget* parent, std::function<void()> resized)
        : QTreeView(parent), m_resized(std::move(resized)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QTreeView::resizeEvent(event);
        m_resized();
    }

private:
    std::function<void()> m_resized;
};

Listbox& listboxOf(Object& object) { return static_cast<Listbox&>(object); }

// One width of a column widths text: pixels, or a percentage of the list's inner width.
int columnWidth(const QString& entry, int innerWidth) {
    const QString trimmed = entry.trimmed();
    if (trimmed.endsWith('%'))
        return static_cast<int>(trimmed.chopped(1).toDouble() * innerWidth / 100.0);
    return trimmed.toInt();
}

void forwardTo(void (Listbox::*apply)() const, Object& object) { (listboxOf(object).*apply)(); }

} // namespace

const ClassRecord& Listbox::Record() {
    auto columns = [](Object& object, const PropertyValue&) { forwardTo(&Listbox::applyColumns, object); };
    auto scrollBars = [](Object& object, const PropertyValue&) {
        forwardTo(&Listbox::applyScrollBars, object);
    };
    static const ClassRecord& record =
        RegisterClass("Listbox", &RectControl::Record(), [] { return new Listbox; })
            .declare("ColumnCount", PropertyType::Int32, columns)
            .declare("ColumnWidths", PropertyType::String, columns)
            .declare("HasHeading", PropertyType::Boolean,
                     [](Object& object, const PropertyValue& value) {
                         listboxOf(object).view()->header()->setVisible(std::get<bool>(value));
                     })
            .declare("UseFocusRing", PropertyType::Boolean)
            .declare("InitialValue", PropertyType::String)
            .declare("HeadingIndex", PropertyType::Int32)
            .declare("ScrollBarHorizontal", PropertyType::Boolean, scrollBars)
            .declare("ScrollBarVertical", PropertyType::Boolean, scrollBars)
            .declare("GridLinesHorizontal", PropertyType::Int32)
            .declare("GridLinesVertical", PropertyType::Int32)
            .declare("DefaultRowHeight", PropertyType::Int32)
            .declare("_ScrollWidth", PropertyType::Int32)
            .declare("_ScrollOffset", PropertyType::Int32)
            .declare("TextFont", PropertyType::String)
            .declare("TextSize", PropertyType::Int32)
            .declare("Bold", PropertyType::Boolean)
            .declare("Italic", PropertyType::Boolean)
            .declare("Underline", PropertyType::Boolean)
            .declare("Hierarchical", PropertyType::Boolean)
            .declare("EnableDrag", PropertyType::Boolean)
            .declare("EnableDragReorder", PropertyType::Boolean)
            .declare("RequiresSelection", PropertyType::Boolean)
            .declare("SelectionType", PropertyType::Int32,
                     [](Object& object, const PropertyValue& value) {
                         listboxOf(object).view()->setSelectionMode(
                             std::get<std::int32_t>(value) == 0 ? QAbstractItemView::SingleSelection
                                                                : QAbstractItemView::ExtendedSelection);
                     })
            .declare("ColumnsResizable", PropertyType::Boolean,
                     [](Object& object, const PropertyValue& value) {
                         listboxOf(object).view()->header()->setSectionResizeMode(
                             std::get<bool>(value) ? QHeaderView::Interactive : QHeaderView::Fixed);
                     })
            .declare("AutoHideScrollbars", PropertyType::Boolean, scrollBars)
            .declare("DataSource", PropertyType::String)
            .declare("DataField", PropertyType::String);
    return record;
}

void Listbox::AddRow(const std::string& firstCell) {
    model().appendRow(firstCell);
    m_lastIndex = model().rowCount() - 1;
}

std::int32_t Listbox::LastIndex() const { return m_lastIndex; }

std::int32_t Listbox::ListCount() const { return model().rowCount(); }

std::string Listbox::List(std::int32_t row) const { return Cell(row, 0); }

std::string Listbox::Cell(std::int32_t row, std::int32_t column) const {
    checkCell(row, column);
    return model().cell(row, column);
}

void Listbox::Cell(std::int32_t row, std::int32_t column, const std::string& text) {
    checkCell(row, column);
    model().setCell(row, column, text);
}

std::string Listbox::Heading(std::int32_t column) const {
    checkColumn(column);
    return model().heading(column);
}

void Listbox::Heading(std::int32_t column, const std::string& text) {
    checkColumn(column);
    model().setHeading(column, text);
}

QWidget* Listbox::createWidget(QWidget* parent) {
    auto* view = new ListboxView(parent, [this] { dispatch([this] { applyColumns(); }); });
    m_model = new ListboxModel(view);
    view->setModel(m_model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    return view;
}

QWidget* Listbox::dropTarget() const { return view()->viewport(); }

QTreeView* Listbox::view() const { return &widgetAs<QTreeView>(); }

ListboxModel& Listbox::model() const {
    if (!m_model)
        throw NilObjectException();
    return *m_model;
}

void Listbox::checkCell(std::int32_t row, std::int32_t column) const {
    if (row < 0 || row >= model().rowCount())
        throw OutOfBoundsException("the list has no row " + std::to_string(row));
    checkColumn(column);
}

void Listbox::checkColumn(std::int32_t column) const {
    if (column < 0 || column >= model().columnCount())
        throw OutOfBoundsException("the list has no column " + std::to_string(column));
}

void Listbox::applyColumns() const {
    // Beyond any list a person could read, and a count from a damaged list must not exhaust memory.
    constexpr int kMostColumns = 256;
    const int count = std::clamp(std::get<std::int32_t>(property("ColumnCount")), 1, kMostColumns);
    if (model().columnCount() != count)
        model().setColumnCount(count);
    const QStringList widths = QString::fromStdString(std::get<std::string>(property("ColumnWidths")))
                                   .split(',', Qt::SkipEmptyParts);
    const int innerWidth = view()->viewport()->width();
    for (int column = 0; column < count; ++column) {
        if (column >= widths.size()) {
            view()->setColumnHidden(column, false);
            continue;
        }
        const int width = columnWidth(widths[column], innerWidth);
        view()->setColumnHidden(column, width <= 0);
        if (width > 0)
            view()->setColumnWidth(column, width);
    }
}

void Listbox::applyScrollBars() const {
    const bool autoHide = std::get<bool>(property("AutoHideScrollbars"));
    auto policy = [autoHide](bool shown) {
        if (!shown)
            return Qt::ScrollBarAlwaysOff;
        return autoHide ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    };
    view()->setHorizontalScrollBarPolicy(policy(std::get<bool>(property("ScrollBarHorizontal"))));
    view()->setVerticalScrollBarPolicy(policy(std::get<bool>(property("ScrollBarVertical"))));
}

} // namespace fw
