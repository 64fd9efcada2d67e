#include "display/ResultList.h"

#include <QFont>
#include <QHeaderView>

QStringList CResultList::Captions() {
    return {QString(),
            QStringLiteral("번호"),
            QStringLiteral("검사시간"),
            QStringLiteral("검사코드"),
            QStringLiteral("결과"),
            QStringLiteral("센서"),
            QStringLiteral("검사엔진")};
}

QList<int> CResultList::Widths() {
    return {0, 55, 156, 180, 60, 70, 95};
}

CResultList::CResultList(QWidget* parent) : QTableWidget(0, kColumnCount, parent) {
    setObjectName(QStringLiteral("ResultList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalHeaderLabels(Captions());
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(0);
    const QList<int> widths = Widths();
    for (int column = 0; column < kColumnCount; ++column) {
        setColumnWidth(column, widths[column]);
    }
    // The selection stays visible when the list does not have the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

void CResultList::Show(const QList<QStringList>& rows, int selected, quint64 generation) {
    if (generation != m_generation || rows.size() < rowCount()) {
        setRowCount(0);
        m_generation = generation;
        m_selected = -1;
    }
    const bool appended = rows.size() > rowCount();
    for (qsizetype row = rowCount(); row < rows.size(); ++row) {
        AppendRow(rows[row]);
    }
    if (selected != m_selected) {
        m_selected = selected;
        if (selected >= 0 && selected < rowCount()) {
            selectRow(selected);
            scrollToItem(item(selected, 1));
        } else {
            clearSelection();
        }
    } else if (appended) {
        scrollToBottom();
    }
}

void CResultList::AppendRow(const QStringList& texts) {
    const int row = rowCount();
    insertRow(row);
    for (int column = 0; column < kColumnCount; ++column) {
        const QString text = column == 0 ? QString() : texts.value(column - 1);
        auto* cell = new QTableWidgetItem(text);
        cell->setTextAlignment(Qt::AlignCenter);
        setItem(row, column, cell);
    }
}

QStringList CResultList::RowTexts(int row) const {
    QStringList texts;
    for (int column = 1; column < kColumnCount; ++column) {
        const QTableWidgetItem* cell = item(row, column);
        texts.append(cell ? cell->text() : QString());
    }
    return texts;
}
