#pragma once

#include <deque>
#include <optional>
#include <QDateTime>
#include <QImage>
#include <QString>

namespace inkvale {

// The last few finished previews, so that a row shown before with the same effect shows again
// at once. A file changed since its render (another time or size) is rendered afresh.
class PreviewCache
{
public:
    struct Key
    {
        QString path;
        QString effect;
        QDateTime modified;
        qint64 size = -1;
        // The conversion options the render was made with.
        QString options;

        bool operator==(const Key &other) const = default;
    };

    explicit PreviewCache(std::size_t capacity = 4);

    // The key of `path` as it is on disk now, with `effect`.
    static Key keyOf(const QString &path, const QString &effect);

    std::optional<QImage> find(const Key &key);
    // The oldest entry makes room.
    void insert(const Key &key, const QImage &image);

private:
    struct Entry
    {
        Key key;
        QImage image;
    };

    std::size_t m_capacity;
    // The most recently used first.
    std::deque<Entry> m_entries;
};

} // namespace inkvale
