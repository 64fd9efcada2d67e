#include "display/DlgMain.h"

#include "app/ConfigStore.h"
#include "app/DebugLog.h"
#include "app/Utilities.h"
#include "display/InspectionOutputs.h"
#include "inspection/InspectionPipeline.h"
#include "sensor/PhonoluxDevice.h"
#include "storage/StationStorage.h"
#include "tower/SignalTower.h"
#include "tower/TowerLibrary.h"

#include <QPainter>

CDlgMain::CDlgMain(ConfigStore& store, QWidget* parent)
    : QWidget(parent),
      m_store(store),
      m_towerLibrary(std::make_unique<CTowerLibrary>()),
      m_tower(std::make_unique<CSignalTower>(*m_towerLibrary, m_timers, m_config)),
      m_outputs(std::make_unique<CInspectionOutputs>(
          *m_tower, [this] { m_pipeline->evaluation().ClearNgTimeAndPeak(); })),
      m_device(std::make_unique<CPhonoluxDevice>(*this)) {
    setObjectName(QStringLiteral("CDlgMain"));
    m_run.inspectionState = &m_inspectionState;
    m_pipeline = std::make_unique<CInspectionPipeline>(m_run);
    m_pipeline->setCameraModelSource([this] { return m_device ? m_device->cameraModel() : 3; });
    m_device->setPipeline(m_pipeline.get());
    connect(m_pipeline.get(), &CInspectionPipeline::pictureReady, this, &CDlgMain::OnPicture,
            Qt::QueuedConnection);
    connect(m_pipeline.get(), &CInspectionPipeline::thermalReady, this, &CDlgMain::OnThermal,
            Qt::QueuedConnection);
    m_storage = std::make_unique<CStationStorage>(m_config, *this, *m_outputs, *m_outputs);
    connect(&m_timers, &TimerTable::fired, this, &CDlgMain::OnTimer);
    connect(m_outputs.get(), &CInspectionOutputs::changed, this, qOverload<>(&QWidget::update),
            Qt::QueuedConnection);
}

CDlgMain::~CDlgMain() {
    // The worker uses the pipeline: the device (and its worker) goes first.
    m_device.reset();
}

void CDlgMain::Initialize() {
    m_store.load(m_config);
    ApplyConfig();
    m_webServerAnswered = PingHost(m_config.Vorn_db_server);
    DebugLog(m_webServerAnswered ? QStringLiteral("Vorn DB Server Ping : OK")
                                 : QStringLiteral("Vorn DB Server Ping : NG"));
    m_bridgeServerAnswered = PingHost(m_config.Bridge_db_server);
    DebugLog(m_bridgeServerAnswered ? QStringLiteral("Bridge DB Server Ping : OK")
                                    : QStringLiteral("Bridge DB Server Ping : NG"));
    m_storage->scheduleStartupSelection(m_timers);
    m_storage->LoadTodayResults();
    m_towerLibrary->Load();
    m_tower->TestLamps();
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
        m_inspectionState.store(kInspectionIdle);
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

void CDlgMain::onSensorConnectionLost() {
    emit connectionStateChanged(m_device ? m_device->connectionState() : 0);
}

void CDlgMain::showResultText(const QString& text, int fontHeight, const QColor& color) {
    m_outputs->SetVerdictText({text, fontHeight, color});
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
}
