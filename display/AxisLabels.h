#pragma once
// The axis labels around the graph: spectrum and spectrogram frequencies, the dB axis, the time
// axis and the colour scale. Where each label goes is a pure function of the graph rectangles and
// the spectrum's top value; CAxisLabels owns the labels on the page and applies it.

#include "display/FrequencyGraphRender.h"

#include <QRect>
#include <QString>

#include <array>
#include <functional>

class CLabel;
class QWidget;

struct AxisLabelLayout {
    static constexpr int kFrequencyLabels = 26;
    static constexpr int kDbLabels = 17;
    static constexpr int kTimeLabels = 8;
    static constexpr int kColourLabels = 5;

    // Index = label number; the 26th frequency labels are never placed (and stay hidden).
    std::array<QRect, kFrequencyLabels> spectrumFrequency{};
    std::array<QRect, kDbLabels> db{};
    std::array<bool, kDbLabels> dbShown{};
    std::array<QRect, kFrequencyLabels> spectrogramFrequency{};
    std::array<QRect, kTimeLabels> time{};
    std::array<QRect, kColourLabels> colour{};
};

// Positions of every label for the given rectangles and Spectrum_MAX_DB.
AxisLabelLayout ComputeAxisLabelLayout(const GraphRects& rects, int spectrumMaxDb);
// dB labels 0 .. (max + 30) / 10 are shown, at most all 17.
int ShownDbLabelCount(int spectrumMaxDb);
// "%dk" of i, or of 4 i in the 100 kHz range.
QString FrequencyLabelText(int index, int freqRange);
// "%d dB" of int(max x 0.25 x j).
QString ColourScaleText(int index, int spectrogramMaxDb);

class CAxisLabels {
  public:
    // Creates the labels on `page` with their first texts. `clearCurves` runs at the end of every
    // LayoutAxisLabels (the screen's refresh clears the graph with it).
    CAxisLabels(QWidget* page, std::function<void()> clearCurves, int spectrogramMaxDb = 80,
                const GraphRects& rects = GraphRects());
    CAxisLabels(const CAxisLabels&) = delete;
    CAxisLabels& operator=(const CAxisLabels&) = delete;

    // Places all five sets, shows the placed ones, then clears the curves.
    void LayoutAxisLabels(int spectrumMaxDb);
    // Both frequency sets read "%dk" of i or 4 i (freqRange 1), i = 0..25.
    void SetFrequencyTexts(int freqRange);
    // Hides all 17 dB labels, then places and shows 0 .. (max + 30) / 10.
    void PlaceDbLabels(int spectrumMaxDb);
    void SetColourScaleTexts(int spectrogramMaxDb);

    CLabel* SpectrumFrequencyLabel(int i) const { return m_spectrumFrequency[i]; }
    CLabel* DbLabel(int i) const { return m_db[i]; }
    CLabel* SpectrogramFrequencyLabel(int i) const { return m_spectrogramFrequency[i]; }
    CLabel* TimeLabel(int i) const { return m_time[i]; }
    CLabel* ColourLabel(int i) const { return m_colour[i]; }

  private:
    GraphRects m_rects;
    std::function<void()> m_clearCurves;
    // Owned by the page.
    std::array<CLabel*, AxisLabelLayout::kFrequencyLabels> m_spectrumFrequency{};
    std::array<CLabel*, AxisLabelLayout::kDbLabels> m_db{};
    std::array<CLabel*, AxisLabelLayout::kFrequencyLabels> m_spectrogramFrequency{};
    std::array<CLabel*, AxisLabelLayout::kTimeLabels> m_time{};
    std::array<CLabel*, AxisLabelLayout::kColourLabels> m_colour{};
};
