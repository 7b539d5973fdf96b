#include "imagelist/listeditor.h"

#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"

#include <QItemSelectionModel>

namespace inkvale {

ListEditor::ListEditor(ImageListModel &model, ImageListView &view, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_view(view)
{}

void ListEditor::setSelected(int row, bool selected)
{
    m_view.selectionModel()->select(
        m_model.index(row, 0),
        (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
            QItemSelectionModel::Rows);
}

void ListEditor::scrollTo(int row)
{
    m_view.scrollTo(m_model.index(row, 0), QAbstractItemView::EnsureVisible);
}

void ListEditor::exchangeListItems(int a, int b)
{
    m_model.exchangeRows(a, b);
    // The selection belongs to the positions, not to the contents.
    setSelected(a, false);
    setSelected(b, true);
    scrollTo(b);
}

void ListEditor::moveListItem(int from, int to)
{
    m_model.moveRow(from, to);
    setSelected(to, true);
    scrollTo(to);
}

void ListEditor::up()
{
    const int i = m_view.currentRow();
    if (i < 0) {
        return;
    }
    exchangeListItems(i, i == 0 ? 0 : i - 1);
}

void ListEditor::down()
{
    const int i = m_view.currentRow();
    if (i < 0) {
        return;
    }
    const int last = m_model.rowCount() - 1;
    exchangeListItems(i, i + 1 > last ? last : i + 1);
}

void ListEditor::top()
{
    const int i = m_view.currentRow();
    if (i >= 0) {
        moveListItem(i, 0);
    }
}

void ListEditor::bottom()
{
    const int i = m_view.currentRow();
    if (i >= 0) {
        moveListItem(i, m_model.rowCount() - 1);
    }
}

void ListEditor::dropOn(int targetRow)
{
    const int current = m_view.currentRow();
    if (targetRow < 0 || current < 0) {
        return;
    }
    // Before the target: from above, that is the position just over it once the row is out.
    const int to = current < targetRow ? targetRow - 1 : targetRow;
    m_model.moveRow(current, to);
    // The moved row counts as a fresh one, even when dropped onto itself.
    setSelected(to, false);
}

void ListEditor::deleteSelected()
{
    QList<int> rows;
    // From the ranges: asking the selection model row by row is slow for thousands of rows.
    for (const QItemSelectionRange &range : m_view.selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.append(row);
        }
    }
    // Every selected row goes: dropping the selection first spares the selection model
    // from following each removal.
    m_view.selectionModel()->clearSelection();
    m_model.removeRowList(rows);
    emit rowsDeleted();
}

void ListEditor::deleteAll()
{
    m_model.clear();
    emit rowsDeleted();
}

} // namespace inkvale
