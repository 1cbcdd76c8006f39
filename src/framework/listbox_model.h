#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace fw {

// The rows and headings of a Listbox. Texts are kept as the bytes they were given and only decoded for show.
class ListboxModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setColumnCount(int count);
    void appendRow(const std::string& firstCell);
    const std::string& cell(int row, int column) const { return m_rows[row][column]; }
    void setCell(int row, int column, const std::string& text);
    const std::string& heading(int column) const { return m_headings[column]; }
    void setHeading(int column, const std::string& text);

private:
    int m_columnCount = 1;
    std::vector<std::vector<std::string>> m_rows;
    std::vector<std::string> m_headings = std::vector<std::string>(1);
};

} // namespace fw
