#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "lib/Win1251.h"

// Where a window shows or takes text: Windows-1251 core text <-> QString.
inline QString toQ(std::string_view cp1251) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1251.size()));
    for (char c : cp1251)
        out.append(QChar(static_cast<char16_t>(win1251::toUnicode(static_cast<unsigned char>(c)))));
    return out;
}

inline std::string fromQ(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) out += static_cast<char>(win1251::fromUnicode(c.unicode()));
    return out;
}

// Paths: UTF-8 std::string <-> QString.
inline QString pathToQ(const std::string& path) { return QString::fromStdString(path); }
inline std::string pathFromQ(const QString& path) { return path.toStdString(); }
