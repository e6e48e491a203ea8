#pragma once

#include <QTableView>

class GridState;

// The table view of a Grid. The toolkit's own mouse and keyboard handling moves the selection;
// every selection it makes is funnelled into the GridState, which keeps the current cell (the
// fixed end of the block) and the selection end (the moving end), and the view then shows the
// state's block again. The header row is not part of the view's model, so neither the mouse
// nor the keyboard ever selects it.
class GridTableView : public QTableView {
    Q_OBJECT
public:
    // The state must outlive the view.
    explicit GridTableView(GridState& state, QWidget* parent = nullptr);

    // Shows the state's block as the view's selection and its selection end as the view's
    // current index; the header row is never highlighted.
    void showState();

protected:
    // The one way the view's clicks, drags and keys select. The rectangle runs from the
    // toolkit's anchor to the pointer (or the new current cell); only that moving corner is
    // used. An extending selection keeps the state's current cell as the fixed end; any other
    // makes the corner's cell current.
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    // Plain moves start from the current cell rather than the selection end; Ctrl with an
    // arrow goes to the edge of the data rows or columns.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // No type-ahead search: a letter must not move the selection.
    void keyboardSearch(const QString&) override {}
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Grid row and column nearest a viewport point, one beyond the visible cells when the
    // point lies outside the viewport, so that a drag past an edge scrolls on.
    int rowNear(int y) const;
    int colNear(int x) const;
    void extendTo(int row, int col);

    GridState& m_state;
    bool m_dragging = false;
    // Set by setSelection, so a drag can tell whether the toolkit selected.
    bool m_selected = false;
    // The modifiers of the key being handled; none outside a key press.
    Qt::KeyboardModifiers m_keyModifiers = Qt::NoModifier;
};
