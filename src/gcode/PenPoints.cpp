#include "gcode/PenPoints.h"

#include "gcode/PenPointSink.h"

void PenPoints::reset() {
    records_.clear();
    text_.clear();
    moves_.reset();
    records_.push_back(Record{});
}

void PenPoints::clear() {
    records_.clear();
    text_.clear();
    moves_.reset();
}

void PenPoints::reserve(std::size_t records, std::size_t textBytes) {
    records_.reserve(records);
    text_.reserve(textBytes);
}

void PenPoints::append(const PenPoint& point, std::string_view line) {
    records_.push_back(Record{point, text_.size(), line.size()});
    text_.append(line);
}

bool PenPoints::operator==(const PenPoints& other) const {
    if (count() != other.count()) return false;
    for (std::size_t i = 1; i <= count(); ++i)
        if (!((*this)[i] == other[i]) || line(i) != other.line(i)) return false;
    return true;
}

PenPointSource RecordsOf(const PenPoints& points) {
    return [&points](PenPointSink& sink) {
        for (std::size_t i = 2; i <= points.count(); ++i) sink.add(points[i]);
    };
}
