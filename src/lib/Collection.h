#pragma once

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

// Ordered list with 1-based positions, as the library and the project model use it.
template <typename T>
class Collection {
  public:
    void Add(T value) { items_.push_back(std::move(value)); }
    std::size_t Count() const { return items_.size(); }
    bool empty() const { return items_.empty(); }

    // Position 1 is the first item; a position outside 1..Count() throws std::out_of_range.
    T& Item(std::size_t pos) { return items_.at(checked(pos)); }
    const T& Item(std::size_t pos) const { return items_.at(checked(pos)); }
    void Remove(std::size_t pos) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(checked(pos)));
    }
    void Clear() { items_.clear(); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    std::vector<T>& items() { return items_; }
    const std::vector<T>& items() const { return items_; }

    bool operator==(const Collection&) const = default;

  private:
    std::size_t checked(std::size_t pos) const {
        if (pos < 1 || pos > items_.size()) throw std::out_of_range("Collection position");
        return pos - 1;
    }
    std::vector<T> items_;
};
