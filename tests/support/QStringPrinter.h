#pragma once
// GoogleTest prints a QString as its text (UTF-8) instead of its code units.

#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
