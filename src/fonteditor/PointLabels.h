#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

// Where the editor writes the point numbers: beside each point, on the side
// away from its lines where there is room, clear of the points and of each
// other. A number that finds no free place is left out rather than written
// over another, so a crowded letter stays readable.
namespace pointlabels {

struct Request {
    QPointF point;  // in pixels
    QPointF away;   // the side the label would best go to; (0, 0) for any
    QSizeF size;    // of the label's text box
};

// One answer per request: the label's box, or none. Points outside `visible`
// get no label. `clearance` is the room kept around every point.
std::vector<std::optional<QRectF>> place(const std::vector<Request>& requests, double clearance,
                                         const QRectF& visible);

}  // namespace pointlabels
