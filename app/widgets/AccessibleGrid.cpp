#include "app/widgets/AccessibleGrid.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include <map>

namespace quillfen {

namespace {

// One cell of a grid: an element of its own, without children, that lives as long as its grid's
// interface keeps it registered.
class AccessibleCell : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleCell(QWidget* widget, CellGrid* grid, int cell) : m_widget(widget), m_grid(grid), m_cell(cell) {}

    bool isValid() const override { return m_widget && m_cell < m_grid->cellCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_widget ? m_widget->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_widget); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? m_grid->cellText(m_cell) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect area = m_grid->cellArea(m_cell).toAlignedRect();
        return {m_widget->mapToGlobal(area.topLeft()), area.size()};
    }
    QAccessible::Role role() const override {
        return isValid() && m_grid->cellsHaveAction() ? QAccessible::Button : QAccessible::StaticText;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) return state;
        state.invisible = !m_widget->isVisible();
        state.offscreen = !m_widget->visibleRegion().intersects(m_grid->cellArea(m_cell).toAlignedRect());
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override {
        return isValid() && m_grid->cellsHaveAction() ? QStringList{pressAction()} : QStringList();
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid() && m_grid->cellsHaveAction()) m_grid->runCellAction(m_cell);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QWidget> m_widget;
    CellGrid* m_grid;  // the widget itself; used only while m_widget is alive
    int m_cell;
};

// The grid widget as a group whose children are its cells. A cell element is made when first asked for,
// registered with the accessibility cache and kept while the grid lives: it stands for a place in the
// grid and reads the grid anew on every question, so it stays valid while the grid has that many cells.
class AccessibleGridWidget : public QAccessibleWidget {
public:
    AccessibleGridWidget(QWidget* widget, CellGrid* grid) : QAccessibleWidget(widget, QAccessible::Grouping), m_grid(grid) {}
    ~AccessibleGridWidget() override {
        for (const auto& [index, id] : m_cells) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return m_grid->cellCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto found = m_cells.find(index);
        if (found == m_cells.end()) {
            const auto id = QAccessible::registerAccessibleInterface(new AccessibleCell(widget(), m_grid, index));
            found = m_cells.emplace(index, id).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : m_cells) {
            if (QAccessible::accessibleInterface(id) == child) return index;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPointF point = widget()->mapFromGlobal(QPoint(x, y));
        for (int cell = 0; cell < childCount(); ++cell) {
            if (m_grid->cellArea(cell).contains(point)) return child(cell);
        }
        return nullptr;
    }

private:
    CellGrid* m_grid;
    mutable std::map<int, QAccessible::Id> m_cells;
};

QAccessibleInterface* gridInterface(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    auto* grid = dynamic_cast<CellGrid*>(object);
    return widget && grid ? new AccessibleGridWidget(widget, grid) : nullptr;
}

}  // namespace

void installAccessibleGrids() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(gridInterface);
}

void announceCellsChanged(QWidget* grid) {
    QAccessibleEvent reordered(grid, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&reordered);
}

}  // namespace quillfen
