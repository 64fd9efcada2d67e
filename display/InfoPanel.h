#pragma once
// The thirteen information rows of the operator screen: a marker, a caption and a value each.
// The panel shows what it is given; the texts are made by whoever writes them.

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>

class CLabel;
class CPicturePane;

class CInfoPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRowCount = 13;
    static constexpr int kResultRow = 12;
    // Rows by meaning.
    static constexpr int kVehicleRow = 0;
    static constexpr int kPlantRow = 1;
    static constexpr int kLocationRow = 2;
    static constexpr int kCourseRow = 3;
    static constexpr int kTargetRow = 4;
    static constexpr int kEngineRow = 5;
    static constexpr int kSensorRow = 6;
    static constexpr int kInspectionIdRow = 7;
    static constexpr int kPassRow = 8;
    static constexpr int kNgRow = 9;
    static constexpr int kTotalRow = 10;
    static constexpr int kDefectRateRow = 11;
    // Where the panel's left edge lies on the page; the rows start at the page's top.
    static constexpr int kLeft = 1284;

    explicit CInfoPanel(QWidget* page);

    // Writes a row's value text in its colour (rows 0 .. 11).
    void SetValue(int row, const QString& text, QColor colour);
    // The state or verdict row: text, font height in pixels, colour; its marker follows the text.
    void SetResult(const QString& text, int fontHeight, QColor colour);
    void InvalidateMarkers();

    QString Value(int row) const;
    CLabel* ValueLabel(int row) const { return m_values[row]; }
    CLabel* CaptionLabel(int row) const { return m_captions[row]; }
    CPicturePane* Marker(int row) const { return m_markers[row]; }
    // Page rectangles of a row's three parts.
    static QRect MarkerRect(int row);
    static QRect CaptionRect(int row);
    static QRect ValueRect(int row);

  private:
    std::array<CPicturePane*, kRowCount> m_markers{};
    std::array<CLabel*, kRowCount> m_captions{};
    std::array<CLabel*, kRowCount> m_values{};
};
