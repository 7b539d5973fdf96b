#include "imagelist/imagelistview.h"

#include "imagelist/imagelistmodel.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace inkvale {
namespace {

// What a row dragged within the list carries: the process and the list it came from.
constexpr const char *kRowDragFormat = "application/x-inkvale-row-drag";

} // namespace

ImageListView::ImageListView(QWidget *parent)
    : QTableView(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    setTabKeyNavigation(false);
}

void ImageListView::arrangeColumns()
{
    QHeaderView *header = horizontalHeader();
    header->setSectionResizeMode(ImageListModel::PathColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ImageListModel::WidthColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(ImageListModel::HeightColumn, QHeaderView::Fixed);
    header->resizeSection(ImageListModel::WidthColumn, 50);
    header->resizeSection(ImageListModel::HeightColumn, 50);
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

QByteArray ImageListView::dragToken() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(this));
}

QMimeData *ImageListView::rowDragData() const
{
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(kRowDragFormat), dragToken());
    return mime;
}

void ImageListView::startDrag(Qt::DropActions)
{
    if (currentRow() < 0) {
        return;
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(rowDragData());
    // The drop moves the row itself; unlike the base class, nothing is removed afterwards.
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

bool ImageListView::isOwnDrag(const QDropEvent *event) const
{
    // Marked rather than recognised by its source, which another copy of the program or
    // another list would not share.
    const QMimeData *mime = event->mimeData();
    return mime != nullptr && mime->data(QString::fromLatin1(kRowDragFormat)) == dragToken();
}

void ImageListView::dragEnterEvent(QDragEnterEvent *event)
{
    acceptOwnDrag(event);
}

void ImageListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (isOwnDrag(event)) {
        // Scrolls the list when the row is held near its edge; the verdict is ours.
        QTableView::dragMoveEvent(event);
    }
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
    // The menu key, and Shift+F10 as elsewhere on the desktop, open the pop-up menu at the
    // current row.
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        event->accept();
        const QModelIndex current = currentIndex();
        emit customContextMenuRequested(current.isValid() ? visualRect(current).center()
                                                          : QPoint(0, 0));
        return;
    }
    const int before = currentRow();
    QTableView::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0) {
        emit currentRowChangedByKey();
    }
}

QModelIndex ImageListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Whole rows are chosen: Home and End go to the first and the last row, not column.
    if (action == MoveHome || action == MoveEnd) {
        const QModelIndex row = QTableView::moveCursor(action, modifiers | Qt::ControlModifier);
        return currentIndex().isValid() ? row.siblingAtColumn(currentIndex().column()) : row;
    }
    return QTableView::moveCursor(action, modifiers);
}

void ImageListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit listClicked();
    }
}

} // namespace inkvale
