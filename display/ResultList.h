#pragma once
// The day's inspection results: one row per run, the newest selected and scrolled into view.
// The list shows the rows it is given; the recorder decides what they hold.

#include <QList>
#include <QStringList>
#include <QTableWidget>

class CResultList : public QTableWidget {
    Q_OBJECT
  public:
    static constexpr int kColumnCount = 7;
    explicit CResultList(QWidget* parent = nullptr);

    // Brings the list in line with `rows` (columns 1 .. 6 of each row) and selects `selected`
    // (-1: nothing). `generation` changes whenever the rows were cleared; rows are otherwise
    // only appended, so only the new ones are added.
    void Show(const QList<QStringList>& rows, int selected, quint64 generation);
    QStringList RowTexts(int row) const;
    // The column captions and widths, as laid out.
    static QStringList Captions();
    static QList<int> Widths();

  private:
    void AppendRow(const QStringList& texts);

    quint64 m_generation = 0;
    int m_selected = -1;
};
