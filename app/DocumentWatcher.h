#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

namespace species {
class ImageDocument;
}

namespace app {

// Notices when the image of a document changes on disk, as another program writes it, and a
// moment later has the document read it again, so that its views show what the disk holds
// (the entries with edits not saved keep theirs). Writes come in bursts, the program's own
// among them, so it waits for them to settle.
class DocumentWatcher final : public QObject {
    Q_OBJECT

public:
    explicit DocumentWatcher(QObject* parent = nullptr);

    // Watches `path`, the image of `document`, until another is given or null; `opened` is
    // called after each reading, to tell what it found.
    void watch(species::ImageDocument* document, const QString& path, std::function<void()> opened);

private:
    void changed(const QString& path);
    void reread();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    species::ImageDocument* m_document = nullptr;
    QString m_path;
    std::function<void()> m_opened;
};

} // namespace app
