#pragma once

#include <QTableView>

class QMimeData;

namespace inkvale {

// The image list's view: rows are dragged within it to reorder them, while files dragged in
// from outside pass on to the window, which adds them. Reports every click, every row chosen with
// the keyboard and the Delete key. Tab leaves the list for the next control; the menu key and
// Shift+F10 ask for the pop-up menu at the current row.
class ImageListView : public QTableView
{
    Q_OBJECT
public:
    explicit ImageListView(QWidget *parent = nullptr);

    // The first selected row in list order, or -1.
    int currentRow() const;
    // Once the ImageListModel is set: the path takes the room, width and height keep 50
    // pixels each.
    void arrangeColumns();
    // What a drag of the current row carries; only this list takes it.
    QMimeData *rowDragData() const;

signals:
    // A mouse click anywhere in the list, after the selection has followed it.
    void listClicked();
    // A key moved the selection to another first row (arrows, Home, a typed name...).
    void currentRowChangedByKey();
    // Delete with any modifier keys.
    void deletePressed();
    // A row of this list was dropped on `targetRow`, or below the rows (-1).
    void rowDropped(int targetRow);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QByteArray dragToken() const;
    bool isOwnDrag(const QDropEvent *event) const;
    void acceptOwnDrag(QDragMoveEvent *event);
};

} // namespace inkvale
