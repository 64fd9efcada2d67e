#pragma once
// One row of a buffered result, read by position: integers by their leading decimal number,
// texts from code page 949. Missing positions and NULL values read as 0 or empty text.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

using DbRow = std::vector<QByteArray>;

// The leading decimal integer of the value (after blanks, with an optional sign); 0 when the
// value is empty or does not start with a number.
int DbInt(const DbRow& row, std::size_t position);
int LeadingInteger(const QByteArray& value);
QString DbText(const DbRow& row, std::size_t position);
