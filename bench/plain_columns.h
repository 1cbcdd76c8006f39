#pragma once

#include <QTreeView>

#include <array>
#include <cstddef>

// The patch list's columns as the reference programs, written directly on Qt, lay them out.
namespace bench {

// The shares of the list's inner width that its columns take; the first is hidden, as Wrenfold's path column.
constexpr std::array kColumnShares{0.0, 0.5, 0.25, 0.25};
constexpr int kColumnCount = static_cast<int>(kColumnShares.size());

// Called whenever the list changes size, so that the columns keep their shares of the width.
inline void layOutColumns(QTreeView& list) {
    const int width = list.viewport()->width();
    for (int column = 0; column < kColumnCount; ++column) {
        const int share = static_cast<int>(kColumnShares[static_cast<std::size_t>(column)] * width);
        list.setColumnHidden(column, share <= 0);
        if (share > 0)
            list.setColumnWidth(column, share);
    }
}

} // namespace bench
