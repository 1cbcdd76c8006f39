#pragma once

#include "rect_control.h"

#include <cstdint>
#include <string>

class QTreeView;

namespace fw {

class ListboxModel;

// A list of rows of text cells under a heading row. Cell texts are kept byte for byte as given; a cell that
// is not valid UTF-8 shows with replacement characters. A column of zero width is never shown.
class Listbox : public RectControl {
public:
    static const ClassRecord& Record();

    void AddRow(const std::string& firstCell);
    std::int32_t LastIndex() const;
    std::int32_t ListCount() const;
    // Column 0's text of a row.
    std::string List(std::int32_t row) const;
    std::string Cell(std::int32_t row, std::int32_t column) const;
    void Cell(std::int32_t row, std::int32_t column, const std::string& text);
    std::string Heading(std::int32_t column) const;
    void Heading(std::int32_t column, const std::string& text);

protected:
    Listbox() = default;
    QWidget* createWidget(QWidget* parent) override;
    QWidget* dropTarget() const override;

private:
    QTreeView* view() const;
    ListboxModel& model() const;
    void checkCell(std::int32_t row, std::int32_t column) const;
    void checkColumn(std::int32_t column) const;
    // Lays the columns out from ColumnCount and ColumnWidths for the list's current width.
    void applyColumns() const;
    void applyScrollBars() const;

    ListboxModel* m_model = nullptr; // owned by the view
    std::int32_t m_lastIndex = -1;
};

} // namespace fw
