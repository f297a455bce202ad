#include "Background.h"

#include <QEventLoop>
#include <QProgressDialog>

#include <thread>

namespace app {

namespace {

// How long work may take before its progress note appears: most tables take less.
constexpr int kQuietMilliseconds = 400;

} // namespace

bool runInBackground(QWidget* owner, const QString& label,
                     const std::function<void(const std::atomic<bool>& cancelled)>& work) {
    std::atomic<bool> cancelled = false;
    QEventLoop loop;
    QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 0, owner);
    progress.setObjectName(QStringLiteral("dlgProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kQuietMilliseconds);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    std::thread worker([&] {
        work(cancelled);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // Cancelled: the work stops at its next look at the flag.
    worker.join();
    return !cancelled;
}

} // namespace app
