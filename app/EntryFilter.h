#pragma once

#include <QSortFilterProxyModel>

namespace app {

// The rows of the table of entries that the filter keeps, in the order the user sorted them:
// numbers as numbers, list values by name, and rows of equal keys in the order they had.
class EntryFilter final : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit EntryFilter(QObject* parent = nullptr);

    // Keeps the rows whose name, types or abilities hold `text`, whatever its case and accents.
    void setText(const QString& text);

protected:
    [[nodiscard]] bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    QString m_text; // folded
};

} // namespace app
