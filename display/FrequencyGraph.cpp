#include "display/FrequencyGraph.h"

#include <QPaintEvent>
#include <QPainter>

// Shows one image the graph built; draws nothing (and lets the page show) until the graph has
// drawn once.
class CGraphImagePane : public QWidget {
  public:
    CGraphImagePane(QWidget* page, const QRect& rect, const QImage& image)
        : QWidget(page), m_image(image) {
        setGeometry(rect);
    }

    void SetShown(bool shown) {
        if (shown != m_shown) {
            m_shown = shown;
            setAttribute(Qt::WA_OpaquePaintEvent, shown);
        }
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_shown || m_image.isNull()) {
            return;
        }
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, m_image);
    }

  private:
    const QImage& m_image;
    bool m_shown = false;
};

CFrequencyGraph::CFrequencyGraph(QWidget* page, CGraphCurves& curves, CSpectrogramQueue& rows,
                                 SettingsSource settings, const GraphRects& rects)
    : QWidget(page),
      m_curves(&curves),
      m_rows(&rows),
      m_settings(std::move(settings)),
      m_rowBuffer(static_cast<size_t>(graph::kMaxRows) * CSpectrogramQueue::kLevels) {
    setGeometry(rects.spectrum);
    m_spectrum = QImage(graph::kSpectrumWidth, graph::kSpectrumHeight, QImage::Format_RGB32);
    m_spectrogram =
        QImage(graph::kSpectrogramWidth, graph::kSpectrogramHeight, QImage::Format_RGB32);
    m_spectrogram.fill(graph::kBlack);
    m_colourBar = QImage(graph::kColourBarWidth, graph::kColourBarHeight, QImage::Format_RGB32);
    m_colourBar.fill(graph::kBlack);
    m_spectrogramPane = new CGraphImagePane(page, rects.spectrogram, m_spectrogram);
    m_colourBarPane = new CGraphImagePane(page, rects.colourBar, m_colourBar);
    refreshOpacity();
    m_curves->setOnChanged([this] { onCurvesChanged(); });
}

CFrequencyGraph::~CFrequencyGraph() {
    Detach();
    // The panes show this object's images; they go with it.
    delete m_spectrogramPane.data();
    delete m_colourBarPane.data();
}

QWidget* CFrequencyGraph::SpectrogramPane() const {
    return m_spectrogramPane.data();
}

QWidget* CFrequencyGraph::ColourBarPane() const {
    return m_colourBarPane.data();
}

void CFrequencyGraph::SetRange(int minDb, int maxDb) {
    m_range = {minDb, maxDb};
    Invalidate();
}

void CFrequencyGraph::ClearSpectrogram() {
    m_spectrogram.fill(graph::kBlack);
    Invalidate();
}

void CFrequencyGraph::Invalidate() {
    refreshOpacity();
    update();
}

void CFrequencyGraph::Detach() {
    if (m_curves) {
        // Waits for a listener call in progress on the worker thread.
        m_curves->setOnChanged(nullptr);
    }
    m_curves = nullptr;
    m_rows = nullptr;
    for (CGraphImagePane* pane : {m_spectrogramPane.data(), m_colourBarPane.data()}) {
        if (pane) {
            pane->SetShown(false);
        }
    }
    Invalidate();
}

void CFrequencyGraph::onCurvesChanged() {
    m_changes.fetch_add(1);
    if (m_updatePending.exchange(true)) {
        return;
    }
    m_updateRequests.fetch_add(1);
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_updatePending.store(false);
            Invalidate();
        },
        Qt::QueuedConnection);
}

void CFrequencyGraph::refreshOpacity() {
    const bool drawing = m_curves && m_rows && m_curves->HasCurves();
    if (testAttribute(Qt::WA_OpaquePaintEvent) != drawing) {
        setAttribute(Qt::WA_OpaquePaintEvent, drawing);
    }
}

void CFrequencyGraph::paintEvent(QPaintEvent*) {
    ++m_paints;
    if (!m_curves || !m_rows || !m_curves->CopyCurves(m_snapshot)) {
        return;
    }
    const GraphSettings settings = m_settings ? m_settings() : GraphSettings();
    const int rowCount = m_rows->CopyRows(m_rowBuffer.data(), graph::kMaxRows);
    BuildSpectrogram(m_spectrogram, m_rowBuffer.data(), rowCount, settings.spectrogramMaxDb);
    BuildColourBar(m_colourBar);
    DrawSpectrum(m_spectrum, m_snapshot, settings, m_range);

    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_spectrum);
    painter.end();
    for (CGraphImagePane* pane : {m_spectrogramPane.data(), m_colourBarPane.data()}) {
        if (pane) {
            pane->SetShown(true);
        }
    }
}
