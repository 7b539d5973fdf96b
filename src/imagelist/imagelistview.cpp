#include "imagelist/imagelistview.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace inkvale {

ImageListView::ImageListView(QWidget *parent)
    : QTableView(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
}

int ImageListView::currentRow() const
{
    if (selectionModel() == nullptr) {
        return -1;
    }
    int first = -1;
    // Ranges come in selection order, not list order.
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first) {
            first = range.top();
        }
    }
    return first;
}

void ImageListView::startDrag(Qt::DropActions)
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return;
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(model()->mimeData(rows));
    // The drop moves the row itself; unlike the base class, nothing is removed afterwards.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

bool ImageListView::isOwnDrag(const QDropEvent *event) const
{
    return event->source() == this;
}

void ImageListView::dragEnterEvent(QDragEnterEvent *event)
{
    acceptOwnDrag(event);
}

void ImageListView::dragMoveEvent(QDragMoveEvent *event)
{
    acceptOwnDrag(event);
}

void ImageListView::acceptOwnDrag(QDragMoveEvent *event)
{
    if (isOwnDrag(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        // Files from the file manager: the window takes them.
        event->ignore();
    }
}

void ImageListView::dropEvent(QDropEvent *event)
{
    if (!isOwnDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    emit rowDropped(rowAt(event->position().toPoint().y()));
}

void ImageListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        emit deletePressed();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ImageListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit listClicked();
    }
}

} // namespace inkvale
