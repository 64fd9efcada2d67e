#include "display/DlgMain.h"

#include "app/ConfigStore.h"
#include "app/DebugLog.h"
#include "app/Utilities.h"
#include "display/InspectionOutputs.h"
#include "inspection/InspectionPipeline.h"
#include "inspection/ProductSelector.h"
#include "inspection/ResultPictures.h"
#include "inspection/RunClock.h"
#include "inspection/RunController.h"
#include "inspection/RunPlan.h"
#include "sensor/PhonoluxDevice.h"
#include "storage/StationStorage.h"
#include "tower/SignalTower.h"
#include "tower/TowerLibrary.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

CDlgMain::CDlgMain(ConfigStore& store, QWidget* parent, RunClock* clock)
    : QWidget(parent),
      m_store(store),
      m_ownClock(clock ? nullptr : std::make_unique<SystemRunClock>()),
      m_clock(clock ? *clock : *m_ownClock),
      m_towerLibrary(std::make_unique<CTowerLibrary>()),
      m_tower(std::make_unique<CSignalTower>(*m_towerLibrary, m_timers, m_config)),
      m_outputs(std::make_unique<CInspectionOutputs>()),
      m_device(std::make_unique<CPhonoluxDevice>(*this)) {
    setObjectName(QStringLiteral("CDlgMain"));
    m_pipeline = std::make_unique<CInspectionPipeline>(m_run);
    m_pipeline->setCameraModelSource([this] { return m_device ? m_device->cameraModel() : 3; });
    m_device->setPipeline(m_pipeline.get());
    connect(m_pipeline.get(), &CInspectionPipeline::pictureReady, this, &CDlgMain::OnPicture,
            Qt::QueuedConnection);
    connect(m_pipeline.get(), &CInspectionPipeline::thermalReady, this, &CDlgMain::OnThermal,
            Qt::QueuedConnection);
    m_storage = std::make_unique<CStationStorage>(m_config, *m_outputs, *m_outputs);
    m_selector = std::make_unique<CProductSelector>(m_storage->profiles(), m_config,
                                                    m_storage->counterStore(),
                                                    m_storage->productRecord(), *this);
    m_pictures = std::make_unique<CResultPictures>(
        m_config, [this] { return m_clock.localNow().date(); },
        [this](int sensorIndex) { return GrabPane(sensorIndex); });
    m_runs = std::make_unique<CRunController>(
        CRunController::Parts{m_run, m_timers, *m_tower, *m_pictures, m_pipeline->evaluation(),
                              *m_outputs, *this, m_config, m_clock});
    connect(&m_timers, &TimerTable::fired, this, &CDlgMain::OnTimer);
    connect(m_outputs.get(), &CInspectionOutputs::changed, this, qOverload<>(&QWidget::update),
            Qt::QueuedConnection);
    qApp->installEventFilter(this);
}

CDlgMain::~CDlgMain() {
    qApp->removeEventFilter(this);
    // No start request may be left waiting for this page.
    m_runs->Shutdown();
    // The worker uses the pipeline: the device (and its worker) goes first.
    m_device.reset();
}

void CDlgMain::Initialize() {
    m_store.load(m_config);
    ApplyConfig();
    m_towerLibrary->Load();
    m_runs->Initialize({{},
                        [this] {
                            m_outputs->ShowEngine(m_storage->productRecord().product_name,
                                                  m_storage->productRecord().time);
                            m_timers.start(kTimerRefreshScreen, kRefreshScreenDelay_ms, true);
                            m_storage->LoadTodayResults();
                        },
                        [this] { StartControlLink(); }});
}

void CDlgMain::StartControlLink() {}

bool CDlgMain::WebServerAnswered() const {
    return m_runs->WebServerAnswered();
}

bool CDlgMain::BridgeServerAnswered() const {
    return m_runs->BridgeServerAnswered();
}

void CDlgMain::ApplyConfig() {
    m_audioShift.store(m_config.Audio_Shift);
    m_fileSaveMode.store(m_config.File_Save_Mode);
    m_run.videoColor.store(m_config.Phonolux_Video_Color);
    m_run.filterDisplay.store(m_config.Filter_Display);
    m_run.debugFlag.store(m_config.Inspection_Debug_Flag_Sensor);
    m_storage->applyConfig();
}

CSensorSettingsStore::Snapshot CDlgMain::Sensor() const {
    return m_device ? m_device->settings() : m_detachedSettings.snapshot();
}

CSensorSettingsStore::Snapshot CDlgMain::UpdateSensor(
    const std::function<void(::SensorSettings&)>& change) {
    return m_device ? m_device->updateSettings(change) : m_detachedSettings.update(change);
}

InspectionArea& CDlgMain::SavedArea() {
    return m_device ? m_device->savedArea() : m_detachedArea;
}

bool CDlgMain::StopSensor() {
    if (!m_device) {
        m_run.inspectionState.store(kInspectionIdle);
        return false;
    }
    return m_device->Stop();
}

void CDlgMain::DestroyDevice() {
    if (m_device) {
        m_detachedSettings.publish(*m_device->settings());
        m_detachedArea = m_device->savedArea();
    }
    m_device.reset();
}

QImage CDlgMain::GrabPane(int sensorIndex) {
    if (sensorIndex != 0 && sensorIndex != 1) {
        return {};
    }
    QWidget* top = window();
    if (top->isMinimized()) {
        top->showNormal();
    }
    top->raise();
    top->activateWindow();
    const QRect pane = sensorIndex == 0 ? kPictureRect : kThermalRect;
    // The page lies inside the main window; the pane is grabbed from the window, so the picture
    // holds every overlay drawn there.
    return top->grab(QRect(mapTo(top, pane.topLeft()), pane.size())).toImage();
}

void CDlgMain::onSensorConnectionLost() {
    emit connectionStateChanged(m_device ? m_device->connectionState() : 0);
}

void CDlgMain::showResultText(const QString& text, int fontHeight, const QColor& color) {
    m_outputs->showResultText(text, fontHeight, color);
}

void CDlgMain::productLoaded(const QString& productName, int inspectionTime_s) {
    m_outputs->ShowEngine(productName, inspectionTime_s);
}

void CDlgMain::startScreenRefresh() {
    // A selection may run on the remote-start worker; timers belong to the UI thread.
    QMetaObject::invokeMethod(
        this, [this] { m_timers.start(kTimerRefreshScreen, kRefreshScreenDelay_ms, true); });
}

std::shared_ptr<const ::SensorSettings> CDlgMain::updateSensorSettings(
    int sensorIndex, const std::function<void(::SensorSettings&)>& change) {
    if (sensorIndex != 0 || !m_device) {
        return nullptr;
    }
    return m_device->updateSettings(change);
}

void CDlgMain::resetSpotTracker(int beamformingCount) {
    m_pipeline->evaluation().RequestSpotTrackerReset(beamformingCount);
}

bool CDlgMain::isSensorWorkerAlive() {
    return m_device && m_device->IsWorkerAlive();
}

void CDlgMain::sendMeasuringParameters(int, int, int) {
    // The device sends the values the selection has just written into its settings.
    if (m_device) {
        m_device->SendMeasuringParameters();
    }
}

void CDlgMain::setConnectionState(int state) {
    if (m_device) {
        m_device->setConnectionState(state);
    }
    QMetaObject::invokeMethod(this, [this, state] { emit connectionStateChanged(state); });
}

void CDlgMain::startSensorLink() {
    if (m_device) {
        m_device->Start();
    }
}

bool CDlgMain::selectProduct(const QString& productName, bool force) {
    return m_selector->SelectProduct(productName, force);
}

int CDlgMain::inspectionTimeLimit() const {
    return m_storage->productRecord().time;
}

bool CDlgMain::cameraLinkUp() const {
    return m_device && m_device->IsWorkerAlive();
}

bool CDlgMain::cameraConnected() const {
    return m_device && m_device->socket().IsConnected();
}

void CDlgMain::clearHistoryQueues() {
    if (m_device) {
        m_device->spectrogramQueue().Clear();
        m_device->waveFormQueue().Clear();
    }
}

bool CDlgMain::recordInspectionResult(const RunOutcome& run) {
    return m_storage->RecordInspectionResult(run);
}

bool CDlgMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != window()) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat() || key->modifiers() != Qt::NoModifier) {
        return false;
    }
    switch (ClassifyRunKey(key->key(), isVisible())) {
        case RunKeyAction::StartInspection:
            m_runs->StartByKey();
            return true;
        case RunKeyAction::StopInspection:
            m_runs->StopInspection();
            return true;
        case RunKeyAction::Pass:
            break;
    }
    return false;
}

void CDlgMain::OnTimer(int id) {
    if (id == kTimerRefreshScreen) {
        m_timers.stop(id);
        RefreshScreen();
    }
}

void CDlgMain::RefreshScreen() {
    update();
    emit screenRefreshed();
}

void CDlgMain::OnPicture(const QImage& picture, int model, int rotation) {
    m_picture = picture;
    m_pictureModel = model;
    m_pictureRotation = rotation;
    update(kPictureRect);
    emit pictureShown();
}

void CDlgMain::OnThermal(const QImage& bitmap) {
    m_thermal = bitmap;
    update(kThermalRect);
    emit thermalShown();
}

void CDlgMain::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(kPictureRect, QColor(26, 26, 26));
    painter.fillRect(kThermalRect, QColor(26, 26, 26));
    if (!m_picture.isNull()) {
        const PicturePlacement placement =
            CInspectionPipeline::PlacePicture(kPictureRect, m_pictureModel, m_pictureRotation);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_pictureModel == 3);
        painter.drawImage(placement.target,
                          placement.mirrored ? m_picture.mirrored(true, true) : m_picture);
    }
    if (!m_thermal.isNull()) {
        painter.drawImage(kThermalRect, m_thermal);
    }
    PaintRunTexts(painter);
}

namespace {

// Mission rows and the inspection id are written as "  %s" once a run has named them.
QString Padded(const QString& text) {
    return text.isEmpty() ? text : QStringLiteral("  ") + text;
}

}  // namespace

void CDlgMain::PaintRunTexts(QPainter& painter) {
    // The information rows, the progress and the result list at their places; their full look
    // comes with the screen's own widgets.
    const CounterTexts counters = m_outputs->Counters();
    const VerdictText verdict = m_outputs->Verdict();
    const MissionInfo mission = m_outputs->Mission();
    const ProgressText progress = m_outputs->Progress();
    const struct {
        const char* caption;
        QString value;
    } rows[] = {
        {" Vorn ", QString()},
        {" Plant ID", Padded(mission.plantId)},
        {" Locationm ID", Padded(mission.locationId)},
        {" Course ID", Padded(mission.courseId)},
        {" Target ID", Padded(mission.targetId)},
        {" Engine", m_outputs->Engine()},
        {" Sensor", Padded(mission.sensorName)},
        {" Inspection ID", Padded(m_outputs->InspectionId())},
        {" OK", counters.pass},
        {" NG", counters.ng},
        {" Total", counters.total},
        {" 불량률", counters.ng_rate},
        {" 검사결과", verdict.text},
    };
    QFont font(QStringLiteral("맑은 고딕"));
    font.setPixelSize(24);
    font.setBold(true);
    for (int i = 0; i < 13; ++i) {
        const int height = i == 12 ? 93 : 50;
        const QRect caption(1308, 51 * i, 180, height);
        const QRect value(1488, 51 * i, 432, height);
        painter.fillRect(QRect(1284, 51 * i, 24, height), QColor(55, 55, 55));
        painter.fillRect(caption, QColor(55, 55, 55));
        painter.fillRect(value, QColor(35, 35, 35));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(rows[i].caption));
        if (i == 12) {
            QFont big = font;
            big.setPixelSize(verdict.fontHeight);
            painter.setFont(big);
            painter.setPen(verdict.colour);
            painter.drawText(value, Qt::AlignCenter, rows[i].value);
        } else {
            painter.drawText(value, Qt::AlignLeft | Qt::AlignVCenter, rows[i].value);
        }
    }
    const QRect bar(1283, 705, 637, 35);
    painter.fillRect(bar, QColor(80, 80, 80));
    if (progress.rangeMax > 0) {
        const int filled =
            bar.width() * std::clamp(progress.position, 0, progress.rangeMax) / progress.rangeMax;
        painter.fillRect(QRect(bar.left(), bar.top(), filled, bar.height()), QColor(45, 200, 45));
    }
    painter.setPen(Qt::white);
    painter.setFont(font);
    painter.drawText(bar, Qt::AlignCenter, progress.text);
    QFont small(QStringLiteral("맑은 고딕"));
    small.setPixelSize(14);
    painter.setFont(small);
    painter.fillRect(QRect(1284, 740, 636, 30), QColor(163, 5, 50));
    painter.drawText(QRect(1284, 740, 636, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("  검사결과 리스트"));
    const QList<QStringList> results = m_outputs->ResultRows();
    const int shown = 250 / 20;
    const int first = std::max(0, static_cast<int>(results.size()) - shown);
    for (int i = first; i < results.size(); ++i) {
        const QRect line(1284, 770 + (i - first) * 20, 636, 20);
        if (i == m_outputs->SelectedRow()) {
            painter.fillRect(line, QColor(0, 120, 215));
        }
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral(" %1").arg(results[i].join(QStringLiteral("   "))));
    }
}
