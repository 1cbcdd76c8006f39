#include "listbox_model.h"

namespace fw {
namespace {

QString shown(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

int ListboxModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ListboxModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant ListboxModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return shown(m_rows[index.row()][index.column()]);
}

QVariant ListboxModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= m_columnCount)
        return {};
    return shown(m_headings[section]);
}

void ListboxModel::setColumnCount(int count) {
    beginResetModel();
    m_columnCount = count;
    m_headings.resize(count);
    for (auto& row : m_rows)
        row.resize(count);
    endResetModel();
}

void ListboxModel::appendRow(const std::string& firstCell) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    m_rows.emplace_back(m_columnCount);
    m_rows.back()[0] = firstCell;
    endInsertRows();
}

void ListboxModel::setCell(int row, int column, const std::string& text) {
    m_rows[row][column] = text;
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
}

void ListboxModel::setHeading(int column, const std::string& text) {
    m_headings[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

} // namespace fw
