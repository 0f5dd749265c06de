#include "main/ui/PenPointsListModel.h"

#include <limits>

#include "lib/ui/QtText.h"

void PenPointsListModel::show(std::shared_ptr<const PenPoints> points) {
    beginResetModel();
    points_ = std::move(points);
    endResetModel();
}

int PenPointsListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !points_) return 0;
    const std::size_t n = points_->count();
    return n > static_cast<std::size_t>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(n);
}

QVariant PenPointsListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !points_ || !index.isValid() || index.row() < 0 ||
        static_cast<std::size_t>(index.row()) >= points_->count())
        return {};
    // A line of megabytes (a G-code file that is no G-code) would take seconds to
    // paint; the list shows its start.
    constexpr std::size_t kShownCharacters = 1000;
    std::string line =
        points_->line(static_cast<std::size_t>(index.row()) + 1, kShownCharacters + 1);
    if (line.size() <= kShownCharacters) return toQ(line);
    line.resize(kShownCharacters);
    return toQ(line) + QStringLiteral("…");
}
