#include "DocumentWatcher.h"

#include "species/ImageDocument.h"

namespace app {

namespace {

// Long enough for a burst of writes to end, short enough to seem at once.
constexpr int kSettleMilliseconds = 300;

} // namespace

DocumentWatcher::DocumentWatcher(QObject* parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &DocumentWatcher::changed);
    connect(&m_settle, &QTimer::timeout, this, &DocumentWatcher::reread);
}

void DocumentWatcher::watch(species::ImageDocument* document, const QString& path,
                            std::function<void()> opened) {
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    m_settle.stop();
    m_document = document;
    m_path = path;
    m_opened = std::move(opened);
    if (m_document)
        m_watcher.addPath(path);
}

void DocumentWatcher::changed(const QString&) {
    // A file replaced by another of its name is watched no more: watch the name again.
    if (!m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    m_settle.start();
}

void DocumentWatcher::reread() {
    if (!m_document)
        return;
    // What cannot be read now is said by the next load or save, which reads it again.
    (void)m_document->reloadAll();
    if (m_opened)
        m_opened();
}

} // namespace app
