#include "setup/SetupPositionDlg.h"

#include "app/StationDialogs.h"
#include "display/DlgMain.h"
#include "display/RangeSlider.h"
#include "sensor/PhonoluxDevice.h"
#include "setup/InspectionAreaSliders.h"
#include "setup/PageControls.h"
#include "storage/ProductTable.h"
#include "storage/SensorTable.h"
#include "storage/StationStorage.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace {

QLabel* MakeValueField(QWidget* parent, const QRect& where) {
    auto* field = new QLabel(parent);
    field->setGeometry(where);
    field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

}  // namespace

CSetupPositionDlg::CSetupPositionDlg(SetupStation station, QWidget* parent)
    : QWidget(parent), m_station(std::move(station)) {
    setObjectName(QStringLiteral("CSetupPositionDlg"));
    setAutoFillBackground(true);

    QGroupBox* list = page_controls::Group(QStringLiteral("1. Engine 리스트(Bridge Server)"),
                                           {20, 20, 360, 960}, this);
    m_engineList = page_controls::List(
        list, {15, 30, 330, 915}, {QString(), QStringLiteral("번호"), QStringLiteral("Engine")},
        {0, 50, 220});
    // A selection by the operator (click or arrow keys); the page's own selection is quiet.
    connect(m_engineList, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> selected = m_engineList->selectedItems();
        if (!selected.isEmpty() && selected.first()->row() != m_rememberedRow) {
            SelectRow(selected.first()->row());
        }
    });

    QGroupBox* area =
        page_controls::Group(QStringLiteral("2. 집중검사 영역"), {400, 20, 840, 300}, this);
    auto* topBottomCaption = new QLabel(QStringLiteral("- 상/하 설정"), area);
    topBottomCaption->setGeometry(20, 35, 200, 24);
    m_topBottom = new CRangeSlider(area);
    m_topBottom->setObjectName(QStringLiteral("TopBottomSlider"));
    m_topBottom->SetVisualMode(true);
    m_topBottom->setGeometry(20, 65, 640, 30);
    m_values[0] = MakeValueField(area, {680, 65, 70, 30});
    m_values[1] = MakeValueField(area, {755, 65, 70, 30});
    auto* leftRightCaption = new QLabel(QStringLiteral("- 좌/우 설정"), area);
    leftRightCaption->setGeometry(20, 155, 200, 24);
    m_leftRight = new CRangeSlider(area);
    m_leftRight->setObjectName(QStringLiteral("LeftRightSlider"));
    m_leftRight->SetVisualMode(true);
    m_leftRight->setGeometry(20, 185, 640, 30);
    m_values[2] = MakeValueField(area, {680, 185, 70, 30});
    m_values[3] = MakeValueField(area, {755, 185, 70, 30});
    connect(m_topBottom, &CRangeSlider::rangeChanged, this, &CSetupPositionDlg::OnTopBottomChanged);
    connect(m_leftRight, &CRangeSlider::rangeChanged, this, &CSetupPositionDlg::OnLeftRightChanged);

    QGroupBox* saveTime =
        page_controls::Group(QStringLiteral("3. 동작 이미지 저장시간"), {400, 340, 400, 90}, this);
    m_saveTime = new QComboBox(saveTime);
    m_saveTime->setGeometry(20, 40, 200, 30);

    QGroupBox* orientation =
        page_controls::Group(QStringLiteral("4. 화면 방향"), {820, 340, 420, 90}, this);
    m_orientation0 = new QRadioButton(QStringLiteral("0도"), orientation);
    m_orientation0->setGeometry(20, 40, 120, 30);
    m_orientation180 = new QRadioButton(QStringLiteral("180도"), orientation);
    m_orientation180->setGeometry(160, 40, 120, 30);
    connect(m_orientation0, &QRadioButton::clicked, this, [this] { SetOrientation(0); });
    connect(m_orientation180, &QRadioButton::clicked, this, [this] { SetOrientation(180); });

    m_save = new QPushButton(QStringLiteral("저장"), this);
    m_save->setGeometry(1090, 450, 150, 50);
    connect(m_save, &QPushButton::clicked, this, &CSetupPositionDlg::Save);
}

int CSetupPositionDlg::CameraModel() const {
    CPhonoluxDevice* device = m_station.main.Device();
    return device != nullptr ? device->cameraModel() : 2;
}

int CSetupPositionDlg::Orientation() const {
    return m_station.main.Sensor()->picture_rotation;
}

void CSetupPositionDlg::FillEngineList() {
    const auto products = LoadProductList(m_station.main.Storage().profiles().bridge());
    if (!products) {
        return;
    }
    const QString current = m_station.main.Storage().productRecord().product_name;
    const QSignalBlocker quiet(m_engineList);
    m_engineList->clearSelection();
    m_engineList->setRowCount(0);
    for (int i = 0; i < static_cast<int>(products->size()); ++i) {
        m_engineList->insertRow(i);
        m_engineList->setItem(i, 0, new QTableWidgetItem());
        auto* number = new QTableWidgetItem(QString::number(i + 1));
        number->setTextAlignment(Qt::AlignCenter);
        m_engineList->setItem(i, 1, number);
        m_engineList->setItem(i, 2, new QTableWidgetItem((*products)[i].product_name));
        if ((*products)[i].product_name == current) {
            m_rememberedRow = i;
        }
    }
    if (m_rememberedRow >= 0 && m_rememberedRow < m_engineList->rowCount()) {
        SelectRow(m_rememberedRow);
    }
}

void CSetupPositionDlg::Refresh() {
    FillEngineList();
    LoadSliders();
    const int state =
        m_station.main.Device() != nullptr ? m_station.main.Device()->connectionState() : 0;
    const bool answered = state == 1;
    m_topBottom->setEnabled(answered);
    m_leftRight->setEnabled(answered);
    m_saveTime->setEnabled(answered);
    m_save->setEnabled(answered);
    if (!answered) {
        for (CRangeSlider* slider : {m_topBottom, m_leftRight}) {
            slider->SetRangeColor(kGreyedColour);
            slider->SetMinMax(0, 100);
            slider->SetRange(0, 100);
            slider->SetVisualMinMax(0, 100);
        }
        return;
    }
    m_topBottom->SetRangeColor(kSliderColour);
    m_leftRight->SetRangeColor(kSliderColour);
    const auto settings = m_station.main.Sensor();
    const int time = m_station.main.Storage().productRecord().time;
    m_saveTime->clear();
    for (int i = 1; i <= time * 10; ++i) {
        m_saveTime->addItem(QString::asprintf("%.1f 초", i / 10.0));
    }
    m_saveTime->setCurrentIndex(
        m_saveTime->findText(QString::asprintf("%.1f 초", settings->picture_save_time / 10.0)));
    (settings->picture_rotation == 180 ? m_orientation180 : m_orientation0)->setChecked(true);
    LoadSliders();
}

void CSetupPositionDlg::SelectRow(int row) {
    if (row < 0 || row >= m_engineList->rowCount()) {
        return;
    }
    m_rememberedRow = row;
    if (m_engineList->currentRow() != row) {
        const QSignalBlocker quiet(m_engineList);
        m_engineList->selectRow(row);
    }
    const QTableWidgetItem* engine = m_engineList->item(row, 2);
    m_station.main.selectProduct(engine != nullptr ? engine->text() : QString(), true);
    m_station.main.SavedArea() = m_station.main.Sensor()->area;
    LoadSliders();
}

void CSetupPositionDlg::LoadSliders() {
    const int model = CameraModel();
    const SliderMaxima max = SliderMaximaOf(model);
    const auto settings = m_station.main.Sensor();
    const AreaSliderValues values =
        SlidersFromArea(settings->area, model, settings->picture_rotation);
    m_topBottom->SetMinMax(0, max.row);
    m_topBottom->SetRange(values.topBottom.left, values.topBottom.right);
    m_topBottom->SetVisualMinMax(0, max.row);
    m_leftRight->SetMinMax(0, max.column);
    m_leftRight->SetRange(values.leftRight.left, values.leftRight.right);
    m_leftRight->SetVisualMinMax(0, max.column);
    ShowValueFields();
}

void CSetupPositionDlg::ShowValueFields() {
    const int model = CameraModel();
    m_values[0]->setText(SliderValueText(m_topBottom->GetLeft(), model));
    m_values[1]->setText(SliderValueText(m_topBottom->GetRight(), model));
    m_values[2]->setText(SliderValueText(m_leftRight->GetLeft(), model));
    m_values[3]->setText(SliderValueText(m_leftRight->GetRight(), model));
}

void CSetupPositionDlg::OnTopBottomChanged() {
    ShowValueFields();
    const SliderSpan span{m_topBottom->GetLeft(), m_topBottom->GetRight()};
    const int model = CameraModel();
    m_station.main.UpdateSensor([&](SensorSettings& settings) {
        ApplyTopBottomSlider(settings.area, span, model, settings.picture_rotation);
    });
}

void CSetupPositionDlg::OnLeftRightChanged() {
    ShowValueFields();
    const SliderSpan span{m_leftRight->GetLeft(), m_leftRight->GetRight()};
    const int model = CameraModel();
    m_station.main.UpdateSensor([&](SensorSettings& settings) {
        ApplyLeftRightSlider(settings.area, span, model, settings.picture_rotation);
    });
}

void CSetupPositionDlg::SetOrientation(int degrees) {
    (degrees == 180 ? m_orientation180 : m_orientation0)->setChecked(true);
    m_station.main.UpdateSensor(
        [degrees](SensorSettings& settings) { settings.picture_rotation = degrees; });
    LoadSliders();
}

void CSetupPositionDlg::Save() {
    if (m_saveTime->currentIndex() < 0) {
        ShowMessage(QStringLiteral("제품설정"),
                    QStringLiteral("동작 이미지 저장시간을 선택해 주세요"));
        return;
    }
    const int saveTimeIndex = m_saveTime->currentIndex();
    if (!AskYesNo(QStringLiteral("[주의]센서정보 수정"),
                  QStringLiteral("센서정보를 수정하시겠습니까?"))) {
        return;
    }
    const auto settings = m_station.main.Sensor();
    std::array<int, kFilterCount> alarmLevels{};
    for (int k = 0; k < kFilterCount; ++k) {
        alarmLevels[k] = settings->filters[k].level;
    }
    const StoredAreaRect stored = StoredAreaOf(settings->area, settings->picture_rotation);
    InspectionAreaUpdate update;
    update.product_name = m_station.main.Storage().productRecord().product_name;
    update.area_rect_x1 = stored.x1;
    update.area_rect_y1 = stored.y1;
    update.area_rect_x2 = stored.x2;
    update.area_rect_y2 = stored.y2;
    update.inspection_levels = alarmLevels;
    update.reserved_int_05 = saveTimeIndex + 1;
    update.reserved_int_10 = settings->picture_rotation;
    const StationDbProfiles& profiles = m_station.main.Storage().profiles();
    const DualWriteOutcome outcome = SaveInspectionArea(profiles.web(), profiles.bridge(), update);
    if (!outcome.webApplied) {
        return;
    }
    const auto after = m_station.main.UpdateSensor([&](SensorSettings& next) {
        for (int k = 0; k < kFilterCount; ++k) {
            next.filters[k].inspection_level = alarmLevels[k];
        }
        // The filter counts stay: zeroed, no run could be judged NG until the product is
        // loaded again, and runs of the same product do not load it again.
        next.picture_save_time = saveTimeIndex + 1;
    });
    m_station.main.SavedArea() = after->area;
    emit saved();
}

void CSetupPositionDlg::keyPressEvent(QKeyEvent* event) {
    if (page_controls::SwallowPageKey(event)) {
        return;
    }
    QWidget::keyPressEvent(event);
}
