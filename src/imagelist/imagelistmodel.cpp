#include "imagelist/imagelistmodel.h"

#include <algorithm>
#include <QFileIconProvider>
#include <QFileInfo>

namespace inkvale {

ImageListModel::ImageListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

ImageListModel::~ImageListModel() = default;

int ImageListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ImageListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ImageListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const ImageRow &row = m_rows.at(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case PathColumn:
            return row.path;
        case WidthColumn:
            return QString::number(row.width);
        case HeightColumn:
            return QString::number(row.height);
        }
    } else if (role == Qt::DecorationRole && index.column() == PathColumn) {
        return iconFor(row.path);
    }
    return {};
}

QVariant ImageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        switch (section) {
        case PathColumn:
            return QStringLiteral("Image Files");
        case WidthColumn:
            return QStringLiteral("Width");
        case HeightColumn:
            return QStringLiteral("Height");
        }
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ImageListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

bool ImageListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row > m_rows.size() - count) {
        return false;
    }
    beginRemoveRows({}, row, row + count - 1);
    m_rows.remove(row, count);
    endRemoveRows();
    return true;
}

void ImageListModel::appendRow(const ImageRow &row)
{
    const int position = static_cast<int>(m_rows.size());
    beginInsertRows({}, position, position);
    m_rows.append(row);
    endInsertRows();
}

void ImageListModel::exchangeRows(int a, int b)
{
    if (a == b) {
        return;
    }
    m_rows.swapItemsAt(a, b);
    emit dataChanged(index(a, 0), index(a, ColumnCount - 1));
    emit dataChanged(index(b, 0), index(b, ColumnCount - 1));
}

void ImageListModel::moveRow(int from, int to)
{
    if (from == to) {
        return;
    }
    // Qt counts the destination before the move: past the row that is taken out when moving
    // down.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    m_rows.move(from, to);
    endMoveRows();
}

void ImageListModel::removeRowList(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Contiguous runs, first to last.
    QList<std::pair<int, int>> runs;
    for (int row : rows) {
        if (!runs.isEmpty() && runs.last().first + runs.last().second == row) {
            ++runs.last().second;
        } else {
            runs.append({row, 1});
        }
    }
    // Views follow each removal at a cost that grows with the list: many scattered rows go in
    // one pass instead.
    constexpr int kRunsForOnePass = 16;
    if (runs.size() > kRunsForOnePass) {
        beginResetModel();
        QList<ImageRow> kept;
        kept.reserve(m_rows.size() - rows.size());
        auto removed = rows.cbegin();
        for (int i = 0; i < m_rows.size(); ++i) {
            if (removed != rows.cend() && *removed == i) {
                ++removed;
            } else {
                kept.append(m_rows.at(i));
            }
        }
        m_rows = std::move(kept);
        endResetModel();
        return;
    }
    for (auto run = runs.crbegin(); run != runs.crend(); ++run) {
        removeRows(run->first, run->second);
    }
}

void ImageListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

const ImageRow &ImageListModel::row(int index) const
{
    return m_rows.at(index);
}

QString ImageListModel::path(int index) const
{
    return m_rows.at(index).path;
}

QIcon ImageListModel::iconFor(const QString &path) const
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().toLower();
    const auto cached = m_iconsBySuffix.constFind(suffix);
    if (cached != m_iconsBySuffix.constEnd()) {
        return *cached;
    }
    if (!m_iconProvider) {
        m_iconProvider = std::make_unique<QFileIconProvider>();
    }
    // The real file decides, as the file manager would show it.
    const QIcon icon = m_iconProvider->icon(file);
    m_iconsBySuffix.insert(suffix, icon);
    return icon;
}

} // namespace inkvale
