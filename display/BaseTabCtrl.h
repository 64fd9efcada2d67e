#pragma once
// A dark tab row that paints itself: the selected tab joins the page area below the row. The
// owner places the pages under the row and switches them on selectionChanged.

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

class CBaseTabCtrl : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kTabRowHeight = 21;
    static constexpr int kMaxCaptionLength = 32;

    explicit CBaseTabCtrl(QWidget* parent = nullptr);

    // Appends a tab and returns its index; the first tab becomes the current one.
    int AddItem(const QString& caption);
    int GetItemCount() const { return int(m_items.size()); }
    QString GetItemText(int index) const;
    int GetCurSel() const { return m_current; }
    // Selects without emitting selectionChanged; returns the previous selection.
    int SetCurSel(int index);
    QRect GetItemRect(int index) const;
    // The area below the tab row where the owner places the pages.
    QRect PageRect() const;

    // Colour around the tab row; an invalid colour means the button face.
    void SetBkColor(QColor color);
    QColor GetBkColor() const;

  signals:
    void selectionChanged(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int ItemWidth(int index) const;

    QStringList m_items;
    int m_current = -1;
    QColor m_bkColor;
};
