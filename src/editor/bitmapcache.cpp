#include "bitmapcache.h"

#include <QFileInfo>

namespace qm {

CanvasBitmap BitmapCache::load(ICanvas &canvas, const QString &path)
{
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    const qint64 bytes = info.size();
    const auto it = m_entries.constFind(path);
    if (it != m_entries.constEnd() && info.isFile() && it->modified == modified && it->bytes == bytes)
        return it->bitmap;
    m_entries.remove(path);
    CanvasBitmap bitmap = canvas.loadBitmap(path); // throws for an unreadable file
    m_entries.insert(path, Entry { modified, bytes, bitmap });
    return bitmap;
}

} // namespace qm
