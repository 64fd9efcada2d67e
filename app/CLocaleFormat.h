#pragma once
// printf-style formatting as the C locale does it, whatever locale the operator's session set:
// statements, wire texts and diagnostics always write "3.4", never "3,4".

#include <QByteArray>

#include <cstdarg>

QByteArray FormatCLocale(const char* format, ...) __attribute__((format(printf, 1, 2)));
QByteArray FormatCLocaleV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
