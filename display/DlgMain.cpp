#include "display/DlgMain.h"

#include "app/ConfigStore.h"
#include "app/DebugLog.h"
#include "app/StationDialogs.h"
#include "app/Utilities.h"
#include "display/AxisLabels.h"
#include "display/FrequencyGraph.h"
#include "display/ImageButton.h"
#include "display/InfoPanel.h"
#include "display/InspectionOutputs.h"
#include "display/Label.h"
#include "display/PicturePane.h"
#include "display/ResultList.h"
#include "display/ScreenImages.h"
#include "display/TextProgressCtrl.h"
#include "display/TitleBar.h"
#include "inspection/InspectionPipeline.h"
#include "inspection/ProductSelector.h"
#include "inspection/ResultPictures.h"
#include "inspection/RunClock.h"
#include "inspection/RunController.h"
#include "inspection/RunPlan.h"
#include "remote/ControlLink.h"
#include "sensor/PhonoluxDevice.h"
#include "sensor/RunRecorder.h"
#include "storage/StationStorage.h"
#include "streaming/StreamingPush.h"
#include "tower/SignalTower.h"
#include "tower/TowerLibrary.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

CDlgMain::CDlgMain(ConfigStore& store, QWidget* parent, RunClock* clock)
    : QWidget(parent),
      m_store(store),
      m_ownClock(clock ? nullptr : std::make_unique<SystemRunClock>()),
      m_clock(clock ? *clock : *m_ownClock),
      m_towerLibrary(std::make_unique<CTowerLibrary>()),
      m_tower(std::make_unique<CSignalTower>(*m_towerLibrary, m_timers, m_config)),
      m_outputs(std::make_unique<CInspectionOutputs>()),
      m_recorder(std::make_unique<CRunRecorder>([this](const QString& text) {
          // From the recorder's thread; the message belongs to the UI thread.
          QMetaObject::invokeMethod(this,
                                    [text] { ShowMessage(QStringLiteral("Run Record"), text); });
      })),
      m_device(std::make_unique<CPhonoluxDevice>(*this)) {
    setObjectName(QStringLiteral("CDlgMain"));
    m_pipeline = std::make_unique<CInspectionPipeline>(m_run);
    m_pipeline->setCameraModelSource([this] { return m_device ? m_device->cameraModel() : 3; });
    m_device->setPipeline(m_pipeline.get());
    m_device->socket().SetReceiveTap(
        [this](const char* data, int size) { m_recorder->Append(data, size); });
    m_pipeline->setGraphCurves(&m_device->graphCurves());
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
    m_streaming =
        std::make_unique<CStreamingPush>(m_timers, [this](int index) { return ViewPixels(index); });
    m_control = std::make_unique<CControlLink>(
        CControlLink::Parts{*m_runs, *m_streaming, m_clock, [this](const QString& code) {
                                m_config.ugv_code = code;
                                ShowVehicleCode(code);
                            }});
    connect(&m_timers, &TimerTable::fired, this, &CDlgMain::OnTimer);
    CreateScreen();
    // Outputs may be written on the start worker; the widgets follow on the UI thread.
    connect(m_outputs.get(), &CInspectionOutputs::changed, this, &CDlgMain::ShowOutputs,
            Qt::QueuedConnection);
    connect(this, &CDlgMain::connectionStateChanged, this, &CDlgMain::ShowLamps);
    qApp->installEventFilter(this);
}

CDlgMain::~CDlgMain() {
    qApp->removeEventFilter(this);
    // No start request may be left waiting for this page.
    m_runs->Shutdown();
    StopLinks();
    m_graph->Detach();
    // The worker uses the pipeline: the device (and its worker) goes first.
    m_device.reset();
}

void CDlgMain::Initialize() {
    m_store.load(m_config);
    ApplyConfig();
    SetUpGraph();
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

namespace {

// Tests and a second station on one machine move the servers' ports (STATION_CONTROL_PORT,
// STATION_STREAMING_PORTS); in the field they are fixed.
int PortFromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue(name, &ok);
    return ok && port > 0 && port < 65536 ? port : fallback;
}

}  // namespace

void CDlgMain::StartControlLink() {
    // "TOP,BOTTOM" ports of the two streaming servers.
    const QStringList streamingPorts =
        qEnvironmentVariable("STATION_STREAMING_PORTS").split(QLatin1Char(','));
    for (int index = 0; index < 2; ++index) {
        CWebStreamingSocket& link = m_streaming->Link(index);
        link.SetServerAddress(index == 0 ? m_config.Vorn_Streming_server_0_ip
                                         : m_config.Vorn_Streming_server_1_ip);
        bool ok = false;
        const int port = streamingPorts.value(index).toInt(&ok);
        if (ok && port > 0 && port < 65536) {
            link.SetServerPort(port);
        }
    }
    m_control->Socket().SetServerPort(
        PortFromEnvironment("STATION_CONTROL_PORT", CWebServerSocket::kServerPort));
    m_control->Start(m_config.Vorn_control_server, m_config.ugv_code);
}

void CDlgMain::StopLinks() {
    m_control->Stop();
    m_streaming->Stop();
}

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

void CDlgMain::PrepareForSensorSettings() {
    m_storage->productRecord().last_product_name.clear();
    StopSensor();
    m_picturePane->update();
    ClearGraphCurves();
    m_axisLabels->LayoutAxisLabels(m_config.Spectrum_MAX_DB);
    m_run.inspectionState.store(kInspectionIdle);
    m_timers.stop(CRunController::kTimerEquipmentStatus);
}

void CDlgMain::RestartStatusTimer() {
    m_timers.start(CRunController::kTimerEquipmentStatus, CRunController::kEquipmentStatus_ms,
                   false);
}

void CDlgMain::DestroyDevice() {
    if (m_device) {
        m_detachedSettings.publish(*m_device->settings());
        m_detachedArea = m_device->savedArea();
    }
    m_graph->Detach();
    m_pipeline->setGraphCurves(nullptr);
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
    return ViewPixels(sensorIndex);
}

QImage CDlgMain::ViewPixels(int sensorIndex) {
    if (sensorIndex != 0 && sensorIndex != 1) {
        return {};
    }
    QWidget* top = window();
    const QRect pane = sensorIndex == 0 ? kPictureRect : kThermalRect;
    // The page lies inside the main window; the pane is grabbed from the window, so the picture
    // holds every overlay drawn there (and, while Setup is shown, what that page shows there).
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
        m_device->spectrogramQueue().ClearRows();
        m_device->waveFormQueue().Clear();
    }
}

bool CDlgMain::recordInspectionResult(const RunOutcome& run) {
    return m_storage->RecordInspectionResult(run);
}

void CDlgMain::beginRunRecording(const RunPictureNames& names, const QString& sensorName) {
    if (m_config.Run_Record_Enable != 1) {
        return;
    }
    RunRecordingHeader header;
    header.cameraModel = m_device ? m_device->cameraModel() : 3;
    header.startMsSinceEpoch = m_clock.localNow().toMSecsSinceEpoch();
    header.productName = m_storage->productRecord().product_name;
    header.sensorName = sensorName;
    header.barcode = names.barcode;
    header.runStamp = names.runStamp;
    m_recorder->Begin(header, m_pictures->TempRecordingPath(names));
}

QString CDlgMain::finishRunRecording(bool ng, const RunPictureNames& names) {
    if (!m_recorder->IsRecording()) {
        return {};
    }
    const QString path = m_pictures->RecordingPath(ng, names);
    if (path.isEmpty()) {
        m_recorder->Abort();
        return {};
    }
    return m_recorder->Finish(path, m_device ? m_device->cameraModel() : 0) ? path : QString();
}

void CDlgMain::dropRunRecording() {
    m_recorder->Abort();
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

namespace {

// "  %s" of a value that has been written; nothing before that.
QString Padded(const QString& text, bool written) {
    return written ? QStringLiteral("  ") + text : QString();
}

}  // namespace

void CDlgMain::CreateScreen() {
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QImage grey = screen_images::LampImage(screen_images::kDotGrey);
    for (int i = 0; i < 2; ++i) {
        m_lamps[i] = new CPicturePane(this, screen_images::kCrimson);
        m_lamps[i]->setGeometry(0, 510 * i, 30, 30);
        m_lamps[i]->SetImage(grey);
    }
    m_titles[0] = MakeTitleBar(this, QStringLiteral("Acoustic"), QRect(30, 0, 613, 30));
    m_titles[1] = MakeTitleBar(this, QStringLiteral("Infrared"), QRect(30, 510, 613, 30));
    m_titles[2] = MakeTitleBar(this, QStringLiteral("Spectrum"), QRect(673, 0, 610, 30));
    m_titles[3] = MakeTitleBar(this, QStringLiteral("Spectrogram"), QRect(673, 510, 610, 30));
    m_picturePane = new CPicturePane(this);
    m_picturePane->setObjectName(QStringLiteral("PicturePane"));
    m_picturePane->setGeometry(kPictureRect);
    m_thermalPane = new CPicturePane(this);
    m_thermalPane->setObjectName(QStringLiteral("ThermalPane"));
    m_thermalPane->setGeometry(kThermalRect);
    const QImage scale = screen_images::LampImage(screen_images::kDotGreen);
    m_spectrumScale = new CImageButton(scale, this);
    m_spectrumScale->setGeometry(643, 0, 30, 30);
    m_spectrogramScale = new CImageButton(scale, this);
    m_spectrogramScale->setGeometry(643, 510, 30, 30);
    connect(m_spectrumScale, &QAbstractButton::clicked, this, &CDlgMain::OnSpectrumScale);
    connect(m_spectrogramScale, &QAbstractButton::clicked, this, &CDlgMain::OnSpectrogramScale);

    m_infoPanel = new CInfoPanel(this);
    m_progress = new CTextProgressCtrl(this);
    m_progress->setGeometry(kProgressRect);
    m_progress->SetRange(0, 0);
    m_progress->SetBarColor(QColor(45, 200, 45));
    m_progress->SetBkColor(QColor(80, 80, 80));
    m_progress->SetTextColor(Qt::white);
    m_progress->SetTextBkColor(Qt::white);
    m_progress->SetShowPercent(false);
    // The bar repaints ten times a second during a run; a filled background keeps that from
    // being a paint of the page.
    QPalette background = m_progress->palette();
    background.setColor(QPalette::Window, QColor(80, 80, 80));
    m_progress->setPalette(background);
    m_progress->setAutoFillBackground(true);
    m_listTitle =
        MakeTitleBar(this, QStringLiteral("  검사결과 리스트"), QRect(1284, 740, 636, 30));
    m_resultList = new CResultList(this);
    m_resultList->setGeometry(kResultListRect);

    m_graph = new CFrequencyGraph(this, m_device->graphCurves(), m_device->spectrogramQueue(),
                                  [this] { return GraphSettingsNow(); });
    m_device->graphCurves().SetDisplayMode(2);
    m_axisLabels = std::make_unique<CAxisLabels>(
        this, [this] { ClearGraphCurves(); }, m_config.Spectrogram_MAX_DB);
    SetUpGraph();
    StartGraphStatistics();
    connect(m_outputs.get(), &CInspectionOutputs::spectrogramCleared, m_graph,
            &CFrequencyGraph::ClearSpectrogram);
    connect(m_outputs.get(), &CInspectionOutputs::graphReset, this, [this] {
        m_graph->Invalidate();
        m_axisLabels->LayoutAxisLabels(m_config.Spectrum_MAX_DB);
    });
}

void CDlgMain::StartGraphStatistics() {
    // For measuring the screen on a station: how many spectra reached the graph, how many
    // repaints they asked for and how many paints ran, per interval.
    const int interval_s = qEnvironmentVariableIntValue("STATION_GRAPH_STATS");
    if (interval_s <= 0) {
        return;
    }
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, interval_s, last = GraphCounts{}]() mutable {
        const GraphCounts now{m_graph->ChangeCount(), m_graph->UpdateRequestCount(),
                              m_graph->PaintCount(), m_refreshCount};
        DebugLogf("[Graph] %d s: %d curves, %d update requests, %d paints, %d screen refreshes",
                  interval_s, now.changes - last.changes, now.requests - last.requests,
                  now.paints - last.paints, now.refreshes - last.refreshes);
        last = now;
    });
    timer->start(interval_s * 1000);
}

void CDlgMain::SetUpGraph() {
    m_graph->SetRange(0, m_config.Spectrum_MAX_DB + 30);
    m_axisLabels->SetColourScaleTexts(m_config.Spectrogram_MAX_DB);
    m_axisLabels->LayoutAxisLabels(m_config.Spectrum_MAX_DB);
}

GraphSettings CDlgMain::GraphSettingsNow() const {
    GraphSettings settings;
    settings.spectrumMaxDb = m_config.Spectrum_MAX_DB;
    settings.spectrogramMaxDb = m_config.Spectrogram_MAX_DB;
    settings.filterDisplay = m_config.Filter_Display;
    settings.cameraModel = m_device ? m_device->cameraModel() : 3;
    const CSensorSettingsStore::Snapshot sensor = Sensor();
    settings.freqRange = sensor->freq_range;
    settings.freqMin = sensor->freq_min;
    settings.freqMax = sensor->freq_max;
    settings.filters = sensor->filters;
    settings.ngLatched = m_pipeline->IsNgLatched();
    return settings;
}

void CDlgMain::ClearGraphCurves() {
    if (m_device) {
        m_device->graphCurves().ClearCurves();
    }
}

void CDlgMain::ShowOutputs() {
    const MissionInfo mission = m_outputs->Mission();
    const bool missionShown = m_outputs->MissionShown();
    m_infoPanel->SetValue(CInfoPanel::kVehicleRow, m_outputs->VehicleCode(), kVehicleColour);
    const struct {
        int row;
        const QString& value;
    } missionRows[] = {{CInfoPanel::kPlantRow, mission.plantId},
                       {CInfoPanel::kLocationRow, mission.locationId},
                       {CInfoPanel::kCourseRow, mission.courseId},
                       {CInfoPanel::kTargetRow, mission.targetId},
                       {CInfoPanel::kSensorRow, mission.sensorName}};
    for (const auto& row : missionRows) {
        m_infoPanel->SetValue(row.row, Padded(row.value, missionShown), kOrange);
    }
    m_infoPanel->SetValue(CInfoPanel::kEngineRow, m_outputs->Engine(), kOrange);
    const QString id = m_outputs->InspectionId();
    m_infoPanel->SetValue(CInfoPanel::kInspectionIdRow, Padded(id, !id.isEmpty()), kYellow);
    const CounterTexts counters = m_outputs->Counters();
    m_infoPanel->SetValue(CInfoPanel::kPassRow, counters.pass, Qt::white);
    m_infoPanel->SetValue(CInfoPanel::kNgRow, counters.ng, Qt::white);
    m_infoPanel->SetValue(CInfoPanel::kTotalRow, counters.total, Qt::white);
    m_infoPanel->SetValue(CInfoPanel::kDefectRateRow, counters.ng_rate, Qt::white);
    const VerdictText verdict = m_outputs->Verdict();
    m_infoPanel->SetResult(verdict.text, verdict.fontHeight, verdict.colour);

    const ProgressText progress = m_outputs->Progress();
    if (progress.rangeMax > 0 && m_progress->GetRange(false) != progress.rangeMax) {
        m_progress->SetRange32(0, progress.rangeMax);
    }
    if (m_progress->GetPos() != progress.position || m_progress->Text() != progress.text) {
        m_progress->SetPos(progress.position);
        m_progress->SetText(progress.text);
    }

    const ResultListState list = m_outputs->ResultList();
    m_resultList->Show(list.rows, list.selected, list.generation);
}

void CDlgMain::ShowLamps(int connectionState) {
    const QImage lamp = screen_images::LampImage(screen_images::LampDotColour(connectionState));
    for (CPicturePane* pane : m_lamps) {
        pane->SetImage(lamp);
    }
}

void CDlgMain::ShowVehicleCode(const QString& code) {
    m_outputs->ShowVehicleCode(code);
}

void CDlgMain::OnSpectrumScale() {
    m_config.Inspection_View_Mode = 1;
    const std::optional<int> index =
        ChooseLevel(QStringLiteral("Spectrum Max dB Level "), QStringLiteral("최대레벨 :"),
                    m_config.Spectrum_MAX_DB / 10);
    if (!index || *index < 0) {
        return;
    }
    m_config.Spectrum_MAX_DB = 30 + 10 * *index;
    ApplySpectrumScale();
}

void CDlgMain::OnSpectrogramScale() {
    m_config.Inspection_View_Mode = 2;
    const std::optional<int> index =
        ChooseLevel(QStringLiteral("Spectrogram Max dB Level "), QStringLiteral("최대레벨 :"),
                    m_config.Spectrogram_MAX_DB / 10);
    if (!index || *index < 0) {
        return;
    }
    m_config.Spectrogram_MAX_DB = 30 + 10 * *index;
    ApplySpectrogramScale();
}

void CDlgMain::ApplySpectrumScale() {
    m_graph->SetRange(0, m_config.Spectrum_MAX_DB + 30);
    m_axisLabels->PlaceDbLabels(m_config.Spectrum_MAX_DB);
}

void CDlgMain::ApplySpectrogramScale() {
    m_axisLabels->SetColourScaleTexts(m_config.Spectrogram_MAX_DB);
    m_graph->Invalidate();
}

void CDlgMain::RefreshGraphLabels() {
    m_axisLabels->SetFrequencyTexts(Sensor()->freq_range);
    m_axisLabels->LayoutAxisLabels(m_config.Spectrum_MAX_DB);
}

void CDlgMain::RefreshScreen() {
    m_resultList->viewport()->update();
    ShowLamps(m_device ? m_device->connectionState() : 0);
    m_titles[0]->setText(QStringLiteral("Acoustic"));
    m_titles[1]->setText(QStringLiteral("Infrared"));
    RefreshGraphLabels();
    m_infoPanel->SetValue(CInfoPanel::kEngineRow, m_outputs->Engine(), kOrange);
    m_infoPanel->InvalidateMarkers();
    ++m_refreshCount;
    emit screenRefreshed();
}

void CDlgMain::OnPicture(const QImage& picture, int model, int rotation) {
    m_picture = picture;
    m_pictureModel = model;
    m_pictureRotation = rotation;
    ShowPictureIn(*m_picturePane);
    emit pictureShown();
}

void CDlgMain::ShowPictureIn(CPicturePane& pane) const {
    const PicturePlacement placement = CInspectionPipeline::PlacePicture(
        QRect(QPoint(0, 0), pane.size()), m_pictureModel, m_pictureRotation);
    pane.SetImage(m_picture, placement.target, placement.mirrored, m_pictureModel == 3);
}

void CDlgMain::OnThermal(const QImage& bitmap) {
    m_thermal = bitmap;
    m_thermalPane->SetImage(bitmap);
    emit thermalShown();
}

void CDlgMain::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // Every paint of the page itself (exposure, a closed dialog) lays the labels out again a
    // moment later; the panes repaint on their own and do not come here.
    m_timers.start(kTimerRefreshScreen, kRefreshScreenDelay_ms, true);
}
