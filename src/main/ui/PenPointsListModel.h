#pragma once

#include <QAbstractListModel>
#include <memory>

#include "gcode/PenPoints.h"

// The G-code list: a view over a tool path's texts, one row per record.
class PenPointsListModel final : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    // Shows these records from now on (nullptr: an empty list).
    void show(std::shared_ptr<const PenPoints> points);
    const std::shared_ptr<const PenPoints>& shown() const { return points_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    std::shared_ptr<const PenPoints> points_;
};
