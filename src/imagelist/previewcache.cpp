#include "imagelist/previewcache.h"

#include <algorithm>
#include <QFileInfo>

namespace inkvale {

PreviewCache::PreviewCache(std::size_t capacity)
    : m_capacity(capacity)
{}

PreviewCache::Key PreviewCache::keyOf(const QString &path, const QString &effect)
{
    const QFileInfo info(path);
    return {path, effect, info.lastModified(), info.size(), {}};
}

std::optional<QImage> PreviewCache::find(const Key &key)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&key](const Entry &entry) { return entry.key == key; });
    if (found == m_entries.end()) {
        return std::nullopt;
    }
    Entry entry = *found;
    m_entries.erase(found);
    m_entries.push_front(entry);
    return entry.image;
}

void PreviewCache::insert(const Key &key, const QImage &image)
{
    std::erase_if(m_entries, [&key](const Entry &entry) { return entry.key == key; });
    m_entries.push_front({key, image});
    if (m_entries.size() > m_capacity) {
        m_entries.pop_back();
    }
}

} // namespace inkvale
