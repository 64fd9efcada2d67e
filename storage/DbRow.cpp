#include "storage/DbRow.h"

#include "app/Cp949.h"

#include <cctype>
#include <climits>

int LeadingInteger(const QByteArray& value) {
    qsizetype i = 0;
    const qsizetype n = value.size();
    while (i < n && std::isspace(static_cast<unsigned char>(value[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < n && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    long long result = 0;
    while (i < n && value[i] >= '0' && value[i] <= '9') {
        result = result * 10 + (value[i] - '0');
        if (result > static_cast<long long>(INT_MAX) + 1) {
            result = static_cast<long long>(INT_MAX) + 1;
        }
        ++i;
    }
    if (negative) {
        result = -result;
    }
    if (result > INT_MAX) {
        result = INT_MAX;
    }
    return static_cast<int>(result);
}

int DbInt(const DbRow& row, std::size_t position) {
    return position < row.size() ? LeadingInteger(row[position]) : 0;
}

QString DbText(const DbRow& row, std::size_t position) {
    return position < row.size() ? FromCp949(row[position]) : QString();
}
