#include "menu_bar.h"

#include "class_record.h"
#include "event_loop.h"
#include "quit_menu_item.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

namespace fw {
namespace {

QString qString(const std::string& text) { return QString::fromStdString(text); }

// The program names the command modifier as a Mac does; Qt's portable "Ctrl" is that modifier on every
// platform.
QKeySequence shortcutOf(const std::string& text) {
    QStringList keys = qString(text).split(u'+');
    for (QString& key : keys) {
        if (key.compare(u"Cmd", Qt::CaseInsensitive) == 0)
            key = QStringLiteral("Ctrl");
    }
    return QKeySequence::fromString(keys.join(u'+'), QKeySequence::PortableText);
}

// An action that offers one item of the tree. It keeps the item alive for as long as it can be chosen, and
// the handler keeps it alive through its own run, even if choosing the item closes the window.
class ItemAction : public QAction {
public:
    ItemAction(const Ref<MenuItem>& item, QObject* parent)
        : QAction(qString(item->Text()), parent), m_item(item) {
        setShortcut(shortcutOf(item->KeyboardShortcut()));
        // Qt's mark for the action that quits, by which its shortcut is let through while a long job runs.
        if (dynamic_cast<const QuitMenuItem*>(item.get()))
            setMenuRole(QAction::QuitRole);
        connect(this, &QAction::triggered, this, [item] { dispatch([item] { item->action(); }); });
    }

    void refresh() { setEnabled(m_item->enabledNow()); }

private:
    Ref<MenuItem> m_item;
};

// A disabled action's shortcut does nothing, so every action below the widget must be current before a key
// can reach it, not only when its menu opens.
void refreshActions(const QWidget& widget) {
    for (QAction* action : widget.actions()) {
        if (auto* itemAction = dynamic_cast<ItemAction*>(action))
            itemAction->refresh();
        else if (QMenu* submenu = action->menu())
            refreshActions(*submenu);
    }
}

void fillMenu(QMenu& menu, const MenuItem& parent);

void addEntry(QMenu& menu, const Ref<MenuItem>& item) {
    if (item->isSeparator()) {
        menu.addSeparator();
        return;
    }
    if (item->count() > 0) {
        fillMenu(*menu.addMenu(qString(item->Text())), *item);
        return;
    }
    menu.addAction(new ItemAction(item, &menu));
}

void fillMenu(QMenu& menu, const MenuItem& parent) {
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] { refreshActions(menu); });
    for (std::int32_t index = 0; index < parent.count(); ++index)
        addEntry(menu, parent.item(index));
}

} // namespace

const ClassRecord& MenuBar::Record() {
    static const ClassRecord& record =
        RegisterClass("MenuBar", &MenuItem::Record(), [] { return new MenuBar; });
    return record;
}

QMenuBar* MenuBar::createWidget(QWidget* parent) const {
    auto* bar = new QMenuBar(parent);
    for (std::int32_t index = 0; index < count(); ++index) {
        const Ref<MenuItem> menu = item(index);
        fillMenu(*bar->addMenu(qString(menu->Text())), *menu);
    }
    QObject::connect(qApp, &QApplication::focusChanged, bar, [bar] { refreshActions(*bar); });
    refreshActions(*bar);
    return bar;
}

} // namespace fw
