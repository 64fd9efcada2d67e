#pragma once
// The live acoustic graph of the inspection page: the spectrum window over its rectangle, plus
// two panes beside it that show the spectrogram and its colour bar. Every paint of the graph
// copies the curves and spectrogram rows out under their locks, rebuilds both images and the
// spectrum off-screen and blits each once.
//
// The worker thread only touches the curves and the queue; their change listener turns into one
// queued update on the UI thread, so a burst of spectra costs one paint.

#include "display/FrequencyGraphRender.h"
#include "sensor/GraphCurves.h"
#include "sensor/SpectrogramQueue.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <vector>

class CGraphImagePane;

class CFrequencyGraph : public QWidget {
    Q_OBJECT
  public:
    // Gives the settings in force; asked once per paint on the UI thread.
    using SettingsSource = std::function<GraphSettings()>;

    // `page` is the parent of the graph and of its two panes. The curves and the queue belong to
    // the sensor device; call Detach before it goes away.
    CFrequencyGraph(QWidget* page, CGraphCurves& curves, CSpectrogramQueue& rows,
                    SettingsSource settings, const GraphRects& rects = GraphRects());
    ~CFrequencyGraph() override;

    // The spectrum's vertical scale (0 and Spectrum_MAX_DB + 30 on the screen); repaints.
    void SetRange(int minDb, int maxDb);
    DbRange Range() const { return m_range; }
    // Spectrogram pixels black, as at a run start (the caller empties the queue with ClearRows).
    void ClearSpectrogram();
    // Repaint the graph without erasing; the panes follow.
    void Invalidate();
    // Forgets the curves and the queue; later paints draw nothing. UI thread.
    void Detach();

    // Counters for checking that paints coalesce: curve changes seen, queued updates posted,
    // paints run.
    int ChangeCount() const { return m_changes.load(); }
    int UpdateRequestCount() const { return m_updateRequests.load(); }
    int PaintCount() const { return m_paints; }

    const QImage& SpectrogramImage() const { return m_spectrogram; }
    const QImage& ColourBarImage() const { return m_colourBar; }
    QWidget* SpectrogramPane() const;
    QWidget* ColourBarPane() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Worker thread (or any): note the change and post one update if none is pending.
    void onCurvesChanged();
    // Opaque once there is something to draw, so updates never repaint the page beneath;
    // before that the page shows through.
    void refreshOpacity();

    CGraphCurves* m_curves;
    CSpectrogramQueue* m_rows;
    SettingsSource m_settings;
    DbRange m_range;
    QImage m_spectrum;
    QImage m_spectrogram;
    QImage m_colourBar;
    CurveSnapshot m_snapshot;
    std::vector<float> m_rowBuffer;
    QPointer<CGraphImagePane> m_spectrogramPane;
    QPointer<CGraphImagePane> m_colourBarPane;
    std::atomic<bool> m_updatePending{false};
    std::atomic<int> m_changes{0};
    std::atomic<int> m_updateRequests{0};
    int m_paints = 0;
};
