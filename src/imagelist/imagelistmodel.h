#pragma once

#include "imagelist/imagerow.h"

#include <memory>
#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>

class QFileIconProvider;

namespace inkvale {

// The image list's rows in conversion order: path, width and height, with the file's icon.
class ImageListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { PathColumn, WidthColumn, HeightColumn, ColumnCount };

    explicit ImageListModel(QObject *parent = nullptr);
    ~ImageListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    void appendRow(const ImageRow &row);
    // Swaps the contents of two rows in place; selection stays with the positions.
    void exchangeRows(int a, int b);
    // Takes the row at `from` out and puts it back so that it stands at `to`; the rows between
    // shift by one and views keep their selection with the rows.
    void moveRow(int from, int to);
    // Removes the given rows (any order, duplicates allowed): one contiguous run at a time from
    // the last to the first, or all in one pass (a model reset) when they are scattered.
    void removeRowList(QList<int> rows);
    void clear();
    // `index` must be a valid row.
    const ImageRow &row(int index) const;
    QString path(int index) const;

private:
    QIcon iconFor(const QString &path) const;

    QList<ImageRow> m_rows;
    // Icons are looked up on first display only, one per suffix: asking the system for every
    // row would make thousands of rows slow. The provider needs a GUI application, so it is
    // made on first use too.
    mutable std::unique_ptr<QFileIconProvider> m_iconProvider;
    mutable QHash<QString, QIcon> m_iconsBySuffix;
};

} // namespace inkvale
