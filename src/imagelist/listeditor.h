#pragma once

#include <QObject>

namespace inkvale {

class ImageListModel;
class ImageListView;

// Reorders and prunes the image list: the strip buttons, dragging a row, deleting. Single-row
// commands act on the current row (the first selected one) and do nothing without one.
class ListEditor : public QObject
{
    Q_OBJECT
public:
    ListEditor(ImageListModel &model, ImageListView &view, QObject *parent = nullptr);

    // Swaps the contents of rows a and b, then moves the selection from a to b.
    void exchangeListItems(int a, int b);
    // Moves the row at `from` so that it stands at `to`, then selects it.
    void moveListItem(int from, int to);

    void up();
    void down();
    void top();
    void bottom();
    // The current row goes just before `targetRow`, and is no longer selected; -1 (below the
    // rows) changes nothing.
    void dropOn(int targetRow);
    void deleteSelected();
    void deleteAll();

signals:
    // Rows were removed: the count text is due.
    void rowsDeleted();

private:
    void setSelected(int row, bool selected);
    void scrollTo(int row);

    ImageListModel &m_model;
    ImageListView &m_view;
};

} // namespace inkvale
