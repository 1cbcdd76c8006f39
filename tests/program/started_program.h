#pragma once

#include "framework/listbox.h"
#include "framework/runtime.h"
#include "framework/scratch_folder.h"
#include "window/window1.h"

#include <QTest>
#include <QTreeView>

#include <string>
#include <vector>

namespace test {

using Cells = std::vector<std::string>;

// The program as main() brings it up, short of the event loop; the run ends with the test, however it ends.
class StartedProgram : public ScratchFolder {
protected:
    void SetUp() override;

    fw::Ref<Window1> window() const { return Window1::Instance(); }
    fw::Ref<fw::Control> control(const std::string& name) const {
        return fw::RuntimeWindowControlByName(*window(), name);
    }
    fw::Ref<fw::Listbox> list() const { return fw::Cast<fw::Listbox>(control("Listbox1")); }
    QTreeView* listView() const { return qobject_cast<QTreeView*>(list()->widget()); }

    // Each row's cells: path, name, size, patch number.
    std::vector<Cells> rows() const {
        std::vector<Cells> rows(list()->ListCount());
        for (int row = 0; row < static_cast<int>(rows.size()); ++row)
            for (int column = 0; column < 4; ++column)
                rows[row].push_back(list()->Cell(row, column));
        return rows;
    }
    Cells column(int index) const {
        Cells cells;
        for (const Cells& row : rows())
            cells.push_back(row[index]);
        return cells;
    }

    // Drops the files on the list as another program would; whether the list took them.
    bool dropFiles(const std::vector<std::string>& paths) const;
    // Drops a uri-list with Shift held, so that a move is proposed where allowed; how the list took it.
    Qt::DropAction drop(const QByteArray& uriList, Qt::DropActions actions) const;
    void click(const std::string& name) const { QTest::mouseClick(control(name)->widget(), Qt::LeftButton); }
    // Clicks the merge button and saves to the named file, agreeing to replace it if it exists.
    void mergeInto(const std::string& name) const;
    // Whether no handler so far left an exception to end the run; it ends the run, so it comes last.
    bool nothingEscaped() const;

    QStringList files() const {
        return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    fw::Runtime m_runtime;
};

} // namespace test
