#pragma once

#include <QString>

#include <atomic>
#include <functional>

class QWidget;

namespace app {

// Runs `work` on a thread of its own, so that a long piece of work (planning a large table)
// leaves the window live: after a moment a progress note with Cancel appears over `owner`.
// Returns once the work is done: true, or false when the user cancelled, in which case the
// work was told through its argument and has stopped, and what it made is to be dropped.
// Work given to it must not touch widgets.
bool runInBackground(QWidget* owner, const QString& label,
                     const std::function<void(const std::atomic<bool>& cancelled)>& work);

} // namespace app
