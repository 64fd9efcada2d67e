#include "display/AxisLabels.h"

#include "display/Label.h"

#include <QWidget>

#include <algorithm>

namespace {

constexpr int kFrequencyLabelWidth = 18;
constexpr int kDbLabelWidth = 25;
constexpr int kTimeLabelWidth = 24;
constexpr int kColourLabelWidth = 30;
constexpr int kLabelHeight = 16;
// The dB and spectrogram frequency labels stand this far left of their graph.
constexpr int kLeftAxisOffset = 31;

CLabel* MakeLabel(QWidget* page, const QString& text) {
    auto* label = new CLabel(text, page);
    label->SetFontName(QStringLiteral("Tahoma"))
        .SetFontSize(9)
        .SetFontWeight(400)
        .SetTextColor(QColor(255, 255, 255))
        .SetBkColor(QColor(0, 0, 0));
    return label;
}

void Place(CLabel* label, const QRect& rect) {
    label->setGeometry(rect);
    label->show();
}

}  // namespace

int ShownDbLabelCount(int spectrumMaxDb) {
    return std::clamp((spectrumMaxDb + graph::kLevelOffsetDb) / 10 + 1, 0,
                      AxisLabelLayout::kDbLabels);
}

AxisLabelLayout ComputeAxisLabelLayout(const GraphRects& rects, int spectrumMaxDb) {
    AxisLabelLayout layout;
    // The rectangles' right and bottom edges lie just past their last pixel.
    const QRect& spectrum = rects.spectrum;
    const int spectrumBottom = spectrum.y() + spectrum.height();
    for (int i = 0; i < AxisLabelLayout::kFrequencyLabels - 1; ++i) {
        const int x =
            spectrum.x() + FrequencyColumn(1000 * i, graph::kLabelBinWidth, spectrum.width()) - 4;
        layout.spectrumFrequency[i] =
            QRect(x, spectrumBottom + 4, kFrequencyLabelWidth, kLabelHeight);
    }

    const int dbSpan = spectrumMaxDb + graph::kLevelOffsetDb + 1;
    const int shown = ShownDbLabelCount(spectrumMaxDb);
    for (int i = 0; i < shown && dbSpan > 0; ++i) {
        const int y = spectrumBottom - 10 * i * spectrum.height() / dbSpan - 8;
        layout.db[i] = QRect(spectrum.x() - kLeftAxisOffset, y, kDbLabelWidth, kLabelHeight);
        layout.dbShown[i] = true;
    }

    const QRect& spectrogram = rects.spectrogram;
    const float heightScale = static_cast<float>(spectrogram.height() / 1024.0);
    for (int k = 0; k < AxisLabelLayout::kFrequencyLabels - 1; ++k) {
        const float bins = static_cast<float>(1000 * k) / graph::kLabelBinWidth;
        const int y = spectrogram.y() + static_cast<int>(bins * heightScale);
        layout.spectrogramFrequency[24 - k] =
            QRect(spectrogram.x() - kLeftAxisOffset, y, kFrequencyLabelWidth, kLabelHeight);
    }

    const int spectrogramBottom = spectrogram.y() + spectrogram.height();
    const int timeStep = spectrogram.width() / 7;
    for (int i = 0; i < AxisLabelLayout::kTimeLabels; ++i) {
        layout.time[7 - i] = QRect(spectrogram.x() + i * timeStep, spectrogramBottom + 4,
                                   kTimeLabelWidth, kLabelHeight);
    }

    const QRect& bar = rects.colourBar;
    const int colourStep = bar.height() / 4;
    for (int j = 0; j < AxisLabelLayout::kColourLabels; ++j) {
        layout.colour[4 - j] = QRect(bar.x() + bar.width() + 5, bar.y() + j * colourStep,
                                     kColourLabelWidth, kLabelHeight);
    }
    return layout;
}

QString FrequencyLabelText(int index, int freqRange) {
    return QStringLiteral("%1k").arg(freqRange == 1 ? 4 * index : index);
}

QString ColourScaleText(int index, int spectrogramMaxDb) {
    return QStringLiteral("%1 dB").arg(static_cast<int>(spectrogramMaxDb * 0.25 * index));
}

CAxisLabels::CAxisLabels(QWidget* page, std::function<void()> clearCurves, int spectrogramMaxDb,
                         const GraphRects& rects)
    : m_rects(rects), m_clearCurves(std::move(clearCurves)) {
    for (int i = 0; i < AxisLabelLayout::kFrequencyLabels; ++i) {
        const QString text = i == 0 ? QStringLiteral("0") : QStringLiteral("%1k").arg(i);
        m_spectrumFrequency[i] = MakeLabel(page, text);
        m_spectrogramFrequency[i] = MakeLabel(page, text);
    }
    for (int i = 0; i < AxisLabelLayout::kDbLabels; ++i) {
        m_db[i] = MakeLabel(page, QStringLiteral("%1dB").arg(10 * i - graph::kLevelOffsetDb));
    }
    for (int i = 0; i < AxisLabelLayout::kTimeLabels; ++i) {
        m_time[i] = MakeLabel(page, QStringLiteral("%1 Sec").arg(i));
    }
    for (int j = 0; j < AxisLabelLayout::kColourLabels; ++j) {
        m_colour[j] = MakeLabel(page, ColourScaleText(j, spectrogramMaxDb));
    }
    m_spectrumFrequency.back()->hide();
    m_spectrogramFrequency.back()->hide();
}

void CAxisLabels::LayoutAxisLabels(int spectrumMaxDb) {
    const AxisLabelLayout layout = ComputeAxisLabelLayout(m_rects, spectrumMaxDb);
    for (int i = 0; i < AxisLabelLayout::kFrequencyLabels - 1; ++i) {
        Place(m_spectrumFrequency[i], layout.spectrumFrequency[i]);
        Place(m_spectrogramFrequency[i], layout.spectrogramFrequency[i]);
    }
    m_spectrumFrequency.back()->hide();
    m_spectrogramFrequency.back()->hide();
    PlaceDbLabels(spectrumMaxDb);
    for (int i = 0; i < AxisLabelLayout::kTimeLabels; ++i) {
        Place(m_time[i], layout.time[i]);
    }
    for (int j = 0; j < AxisLabelLayout::kColourLabels; ++j) {
        Place(m_colour[j], layout.colour[j]);
    }
    if (m_clearCurves) {
        m_clearCurves();
    }
}

void CAxisLabels::SetFrequencyTexts(int freqRange) {
    for (int i = 0; i < AxisLabelLayout::kFrequencyLabels; ++i) {
        const QString text = FrequencyLabelText(i, freqRange);
        m_spectrumFrequency[i]->setText(text);
        m_spectrogramFrequency[i]->setText(text);
    }
}

void CAxisLabels::PlaceDbLabels(int spectrumMaxDb) {
    for (CLabel* label : m_db) {
        label->hide();
    }
    const AxisLabelLayout layout = ComputeAxisLabelLayout(m_rects, spectrumMaxDb);
    for (int i = 0; i < AxisLabelLayout::kDbLabels; ++i) {
        if (layout.dbShown[i]) {
            Place(m_db[i], layout.db[i]);
        }
    }
}

void CAxisLabels::SetColourScaleTexts(int spectrogramMaxDb) {
    for (int j = 0; j < AxisLabelLayout::kColourLabels; ++j) {
        m_colour[j]->setText(ColourScaleText(j, spectrogramMaxDb));
    }
}
