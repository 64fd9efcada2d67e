#include "setup/DlgSetupSC.h"

#include "app/DebugLog.h"
#include "app/StationConfig.h"
#include "app/StationDialogs.h"
#include "display/DlgMain.h"
#include "display/Label.h"
#include "setup/PageControls.h"
#include "setup/SystemSettingsRules.h"
#include "storage/DbRow.h"
#include "storage/ProductTable.h"
#include "storage/SensorColumns.h"
#include "storage/SensorTable.h"
#include "storage/StationStorage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

namespace {

const QColor kHeaderBackground(0, 150, 192);
constexpr int kSectionY[3] = {0, 310, 850};

QTableWidgetItem* Cell(const QString& text, bool centred = false) {
    auto* item = new QTableWidgetItem(text);
    if (centred) {
        item->setTextAlignment(Qt::AlignCenter);
    }
    return item;
}

QString CellText(const QTableWidget* list, int row, int column) {
    const QTableWidgetItem* item = list->item(row, column);
    return item != nullptr ? item->text() : QString();
}

void SelectText(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text));
}

QString TenthsText(int tenths) {
    return QString::asprintf("%.1f 초", tenths / 10.0);
}

QString SoftwareName() {
    return QString::fromUtf8(kDefaultSoftwareTitle);
}

}  // namespace

CDlgSetupSC::CDlgSetupSC(SetupStation station, QWidget* parent)
    : QDialog(parent), m_station(std::move(station)) {
    setObjectName(QStringLiteral("CDlgSetupSC"));
    setWindowTitle(QStringLiteral("시스템 상세설정"));
    setFixedSize(kWidth, kHeight);
    CreateControls();
}

QPushButton* CDlgSetupSC::AddButton(QWidget* parent, const QString& caption, const QRect& where) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(where);
    // Enter in an edit box must not press a button of this page.
    button->setAutoDefault(false);
    m_buttons.push_back(button);
    return button;
}

QPushButton* CDlgSetupSC::Button(const QString& caption) const {
    for (QPushButton* button : m_buttons) {
        if (button->text() == caption) {
            return button;
        }
    }
    return nullptr;
}

void CDlgSetupSC::CreateControls() {
    const QString headers[3] = {QStringLiteral("  Engine 설정"), QStringLiteral("  센서 설정"),
                                QStringLiteral("  기타 설정")};
    for (int i = 0; i < 3; ++i) {
        auto* header = new CLabel(headers[i], this);
        header->setGeometry(0, kSectionY[i], kWidth, 30);
        header->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        header->SetFontName(QStringLiteral("Tahoma")).SetFontSize(20).SetFontBold(true);
        header->SetTextColor(Qt::white).SetBkColor(kHeaderBackground);
    }

    // Products.
    page_controls::Label(QStringLiteral("* Engine List (Vorn Server)"), this, {10, 35, 360, 22});
    m_engineList =
        page_controls::List(this, {10, 58, 360, 245},
                            {QString(), QStringLiteral("번호"), QStringLiteral("Tool(Org)"),
                             QStringLiteral("Tool + Option"), QStringLiteral("검사시간")},
                            {0, 70, 100, 100, 85});
    // A selection by the operator (click or arrow keys); the page's own selection is quiet. The
    // current cell a list takes with the focus selects nothing.
    connect(m_engineList, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> selected = m_engineList->selectedItems();
        if (!selected.isEmpty()) {
            SelectRow(selected.first()->row());
        }
    });
    page_controls::Label(QStringLiteral("* Engine Tool List"), this, {380, 35, 360, 22});
    m_toolList = page_controls::List(this, {380, 58, 360, 210},
                                     {QStringLiteral("번호"), QStringLiteral("Tool(Org)"),
                                      QStringLiteral("Tool + Option"), QStringLiteral("검사시간")},
                                     {70, 100, 100, 85});
    connect(AddButton(this, QStringLiteral("전체선택"), {380, 272, 115, 32}), &QPushButton::clicked,
            this, [this] { CheckAllTools(true); });
    connect(AddButton(this, QStringLiteral("전체해제"), {502, 272, 115, 32}), &QPushButton::clicked,
            this, [this] { CheckAllTools(false); });
    connect(AddButton(this, QStringLiteral("업데이트"), {625, 272, 115, 32}), &QPushButton::clicked,
            this, &CDlgSetupSC::CopyToCheckedProducts);

    QGroupBox* product =
        page_controls::Group(QStringLiteral("제품 설정"), {755, 35, 515, 270}, this);
    page_controls::Label(QStringLiteral("1. Tool(Org)"), product, {15, 28, 140, 28});
    m_baseTool = page_controls::Combo(product, {160, 28, 220, 28});
    m_baseTool->setEditable(true);
    page_controls::Label(QStringLiteral("2. Tool + Option"), product, {15, 64, 140, 28});
    m_product = page_controls::Combo(product, {160, 64, 220, 28});
    m_product->setEditable(true);
    page_controls::Label(QStringLiteral("3. 검사시간 "), product, {15, 100, 140, 28});
    m_time = page_controls::Combo(product, {160, 100, 220, 28});
    for (int s = kFirstInspectionTime_s; s <= kLastInspectionTime_s; ++s) {
        m_time->addItem(QStringLiteral("%1 초").arg(s));
    }
    m_time->setCurrentIndex(-1);
    page_controls::Label(QStringLiteral("4. Default IP "), product, {15, 136, 140, 28});
    m_defaultIp = page_controls::Edit(product, {160, 136, 220, 28});
    m_defaultIp->setInputMask(QString());
    connect(AddButton(product, QStringLiteral("초기화"), {395, 28, 105, 32}), &QPushButton::clicked,
            this, &CDlgSetupSC::ResetFields);
    connect(AddButton(product, QStringLiteral("추가"), {15, 220, 88, 36}), &QPushButton::clicked,
            this, &CDlgSetupSC::AddProduct);
    connect(AddButton(product, QStringLiteral("저장"), {113, 220, 88, 36}), &QPushButton::clicked,
            this, &CDlgSetupSC::SaveProduct);
    connect(AddButton(product, QStringLiteral("삭제"), {211, 220, 88, 36}), &QPushButton::clicked,
            this, &CDlgSetupSC::DeleteProduct);
    connect(AddButton(product, QStringLiteral("전체삭제"), {309, 220, 100, 36}),
            &QPushButton::clicked, this, &CDlgSetupSC::DeleteAllProducts);

    // The sensor row.
    QGroupBox* sensor =
        page_controls::Group(QStringLiteral("1. 센서 선택"), {10, 345, 360, 65}, this);
    m_top = page_controls::Radio(QStringLiteral("Top"), sensor, {15, 28, 100, 28});
    m_bottom = page_controls::Radio(QStringLiteral("Bottom"), sensor, {125, 28, 100, 28});
    connect(m_top, &QRadioButton::clicked, this,
            [this] { ShowSensorSettings(m_currentProduct, QString::fromLatin1(kSensorTop)); });
    connect(m_bottom, &QRadioButton::clicked, this,
            [this] { ShowSensorSettings(m_currentProduct, QString::fromLatin1(kSensorBottom)); });

    QGroupBox* focus =
        page_controls::Group(QStringLiteral("2. 집중 검사 옵션"), {10, 415, 360, 175}, this);
    page_controls::Label(QStringLiteral("- 초기 검사 예외시간 : "), focus, {15, 28, 170, 28});
    m_initialException = page_controls::Combo(focus, {190, 28, 150, 28});
    page_controls::Label(QStringLiteral("- 집중 검사 시간 :"), focus, {15, 64, 170, 28});
    m_focusTime = page_controls::Combo(focus, {190, 64, 150, 28});
    page_controls::Label(QStringLiteral("- 집중 검사 옵션 :"), focus, {15, 100, 170, 28});
    m_focusOption = page_controls::Combo(focus, {190, 100, 150, 28});
    page_controls::Label(QStringLiteral("- Block Gain :"), focus, {15, 136, 170, 28});
    m_blockGain = page_controls::Combo(focus, {190, 136, 150, 28});

    QGroupBox* range =
        page_controls::Group(QStringLiteral("1) 주파수대역"), {380, 345, 420, 65}, this);
    m_range25k = page_controls::Radio(QStringLiteral("25Khz"), range, {15, 28, 120, 28});
    m_range100k = page_controls::Radio(QStringLiteral("100Khz"), range, {145, 28, 120, 28});
    connect(m_range25k, &QRadioButton::clicked, this, [this] { ChooseFrequencyRange(0); });
    connect(m_range100k, &QRadioButton::clicked, this, [this] { ChooseFrequencyRange(1); });
    m_frequencyGroup = page_controls::Group(
        QStringLiteral("2) Filter Frequency Range (100Hz ~ 24,000Hz)"), {380, 415, 420, 65}, this);
    m_freqMin = page_controls::Edit(m_frequencyGroup, {15, 28, 150, 28});
    page_controls::Label(QStringLiteral("~"), m_frequencyGroup, {175, 28, 20, 28});
    m_freqMax = page_controls::Edit(m_frequencyGroup, {200, 28, 150, 28});
    QGroupBox* distance = page_controls::Group(QStringLiteral("3) Distance(100mm ~ 3,500mm)"),
                                               {380, 485, 420, 60}, this);
    m_distance = page_controls::Edit(distance, {15, 25, 150, 28});
    QGroupBox* acoustic = page_controls::Group(
        QStringLiteral("4) Acoustic Image Display Level(10dB ~ 100dB)"), {380, 550, 420, 60}, this);
    m_acousticLevel = page_controls::Edit(acoustic, {15, 25, 150, 28});
    QGroupBox* beamforming =
        page_controls::Group(QStringLiteral("5) Beamforming Filter"), {380, 615, 420, 60}, this);
    m_beamformingOn = page_controls::Radio(QStringLiteral("On"), beamforming, {15, 25, 100, 28});
    m_beamformingOff = page_controls::Radio(QStringLiteral("Off"), beamforming, {125, 25, 100, 28});
    connect(m_beamformingOn, &QRadioButton::clicked, this, [this] { ChooseBeamforming(true); });
    connect(m_beamformingOff, &QRadioButton::clicked, this, [this] { ChooseBeamforming(false); });
    QGroupBox* count =
        page_controls::Group(QStringLiteral("6) Beamforming Count"), {380, 680, 420, 60}, this);
    m_beamformingCount = page_controls::Combo(count, {15, 25, 150, 28});

    m_stageLabel = page_controls::Label(QStringLiteral("- 검사단계 :  필터갯수 조정"), this,
                                        {10, 600, 360, 28});
    m_gainLabel = page_controls::Label(QStringLiteral("- 검사옵션 :  실제 검사 레벨 조정"), this,
                                       {10, 632, 360, 28});

    for (int k = 0; k < 5; ++k) {
        QGroupBox* filter =
            page_controls::Group(QStringLiteral("%1) Frequency Filter #%1").arg(k + 1),
                                 {810, 345 + 100 * k, 460, 95}, this);
        page_controls::Label(QStringLiteral("- Freq.Range"), filter, {15, 25, 100, 26});
        m_filterMin[k] = page_controls::Edit(filter, {115, 25, 110, 26});
        page_controls::Label(QStringLiteral("~"), filter, {230, 25, 15, 26});
        m_filterMax[k] = page_controls::Edit(filter, {245, 25, 110, 26});
        page_controls::Label(QStringLiteral("- Alram Level"), filter, {15, 58, 100, 26});
        m_filterLevel[k] = page_controls::Edit(filter, {115, 58, 110, 26});
        m_filterText[k] = page_controls::Label(QString(), filter, {230, 58, 225, 26});
    }

    // Station options.
    QGroupBox* debug =
        page_controls::Group(QStringLiteral("1.Debug Option"), {10, 885, 300, 65}, this);
    m_debugTop = new QCheckBox(QStringLiteral(" Top"), debug);
    m_debugTop->setGeometry(15, 28, 100, 28);
    m_debugBottom = new QCheckBox(QStringLiteral("  Bottom"), debug);
    m_debugBottom->setGeometry(125, 28, 120, 28);
    m_debugBottom->setEnabled(false);
    QGroupBox* filterDisplay =
        page_controls::Group(QStringLiteral("2.Filter Display"), {320, 885, 240, 65}, this);
    m_filterDisplayOn = page_controls::Radio(QStringLiteral("On"), filterDisplay, {15, 28, 90, 28});
    m_filterDisplayOff =
        page_controls::Radio(QStringLiteral("Off"), filterDisplay, {115, 28, 90, 28});
    QGroupBox* audio =
        page_controls::Group(QStringLiteral("3.Audio Level"), {570, 885, 200, 65}, this);
    m_audioLevel = page_controls::Combo(audio, {15, 28, 150, 28});
    for (int v = -5; v <= 5; ++v) {
        m_audioLevel->addItem(QString::number(v));
    }
    QGroupBox* moving =
        page_controls::Group(QStringLiteral("1.Moving Option"), {780, 885, 200, 65}, this);
    m_movingOption = page_controls::Combo(moving, {15, 28, 150, 28});
    for (int v = -10; v <= 10; ++v) {
        m_movingOption->addItem(QString::number(v));
    }
    m_movingOption->setEnabled(false);
    moving->hide();
    QGroupBox* logo = page_controls::Group(QString(), {780, 885, 200, 65}, this);
    m_logo1 = page_controls::Radio(QString(), logo, {15, 28, 60, 28});
    m_logo2 = page_controls::Radio(QString(), logo, {85, 28, 60, 28});
    logo->hide();
    connect(AddButton(this, QStringLiteral("센서정보 및 기타옵션 저장"), {990, 885, 280, 40}),
            &QPushButton::clicked, this, &CDlgSetupSC::SaveSensorSettings);
    connect(AddButton(this, QStringLiteral("확인"), {990, 935, 280, 50}), &QPushButton::clicked,
            this, &QDialog::accept);
}

void CDlgSetupSC::Initialize() {
    const StationConfig& config = m_station.main.Config();
    m_audioLevel->setCurrentIndex(config.Audio_Shift + 5);
    (config.Filter_Display == 1 ? m_filterDisplayOn : m_filterDisplayOff)->setChecked(true);
    m_debugTop->setChecked(config.Inspection_Debug_Flag_Sensor == 1);
    m_movingOption->setCurrentIndex(config.Moving_Option + 10);
    m_defaultIp->setText(config.Sensor_Default_Ip);
    LoadProductList();
}

void CDlgSetupSC::LoadProductList() {
    const auto products = ::LoadProductList(m_station.main.Storage().profiles().web());
    if (!products) {
        return;
    }
    {
        const QSignalBlocker quietEngines(m_engineList);
        m_engineList->setRowCount(0);
        m_toolList->setRowCount(0);
        m_baseTool->clear();
        m_product->clear();
        for (int i = 0; i < static_cast<int>(products->size()); ++i) {
            const ProductListRow& row = (*products)[i];
            const QString number = QString::number(i + 1);
            const QString time = QString::number(row.time);
            m_engineList->insertRow(i);
            m_engineList->setItem(i, 0, Cell(QString()));
            m_engineList->setItem(i, 1, Cell(number, true));
            m_engineList->setItem(i, 2, Cell(row.reserved_str_01));
            m_engineList->setItem(i, 3, Cell(row.product_name));
            m_engineList->setItem(i, 4, Cell(time, true));
            m_toolList->insertRow(i);
            QTableWidgetItem* check = Cell(number, true);
            check->setFlags(check->flags() | Qt::ItemIsUserCheckable);
            check->setCheckState(Qt::Unchecked);
            m_toolList->setItem(i, 0, check);
            m_toolList->setItem(i, 1, Cell(row.reserved_str_01));
            m_toolList->setItem(i, 2, Cell(row.product_name));
            m_toolList->setItem(i, 3, Cell(time, true));
            m_baseTool->addItem(row.reserved_str_01);
            m_product->addItem(row.product_name);
            if (row.product_name == m_currentProduct) {
                m_selectedRow = i;
            }
        }
    }
    SelectRow(m_selectedRow);
}

void CDlgSetupSC::SelectRow(int row) {
    if (row < 0 || row >= m_engineList->rowCount()) {
        m_selectedRow = -1;
        m_engineList->clearSelection();
        m_baseTool->setCurrentIndex(-1);
        m_product->setCurrentIndex(-1);
        m_time->setCurrentIndex(-1);
        ShowSensorSettings(QString(), QString());
        return;
    }
    m_selectedRow = row;
    if (m_engineList->currentRow() != row) {
        const QSignalBlocker quiet(m_engineList);
        m_engineList->selectRow(row);
    }
    SelectText(m_baseTool, CellText(m_engineList, row, 2));
    SelectText(m_product, CellText(m_engineList, row, 3));
    m_currentTime = CellText(m_engineList, row, 4).toInt();
    SelectText(m_time, QStringLiteral("%1 초").arg(m_currentTime));
    m_currentProduct = CellText(m_engineList, row, 3);
    ShowSensorSettings(m_currentProduct, QString::fromLatin1(kSensorTop));
}

void CDlgSetupSC::ClearSensorPage() {
    for (QLineEdit* edit : {m_freqMax, m_freqMin, m_distance, m_acousticLevel}) {
        edit->clear();
    }
    for (int k = 0; k < 5; ++k) {
        m_filterMin[k]->clear();
        m_filterMax[k]->clear();
        m_filterLevel[k]->clear();
        m_filterText[k]->clear();
    }
    m_stageLabel->clear();
    m_gainLabel->clear();
    m_top->setChecked(true);
    m_range25k->setChecked(true);
    m_frequencyGroup->setTitle(QStringLiteral("2) Filter Frequency Range (100Hz ~ 24,000Hz)"));
    for (QComboBox* box :
         {m_initialException, m_focusTime, m_focusOption, m_blockGain, m_beamformingCount}) {
        box->clear();
    }
    m_beamformingOff->setChecked(true);
    m_beamformingCount->setEnabled(false);
}

void CDlgSetupSC::FillTimeBoxes() {
    m_initialException->clear();
    for (int i = 0; i <= m_currentTime * 10; ++i) {
        m_initialException->addItem(TenthsText(i));
    }
    m_focusTime->clear();
    for (int i = 1; i <= m_currentTime * 10; ++i) {
        m_focusTime->addItem(TenthsText(i));
    }
}

void CDlgSetupSC::ShowSensorSettings(const QString& product, const QString& sensorType) {
    if (product.isEmpty() && sensorType.isEmpty()) {
        ClearSensorPage();
        return;
    }
    const auto row = LoadSensorRow(m_station.main.Storage().profiles().web(), product, sensorType,
                                   QStringLiteral("제품설정"));
    if (!row) {
        return;
    }
    using namespace SensorColumn;
    auto value = [&row](int position) { return DbInt(*row, position); };
    auto filterValue = [&](int k, int offset) {
        return value(first_filter + filter_stride * k + offset);
    };
    m_freqMax->setText(QString::number(value(freq_max)));
    m_freqMin->setText(QString::number(value(freq_min)));
    m_distance->setText(QString::number(value(distance)));
    m_acousticLevel->setText(QString::number(value(acoustic_level)));
    m_gainOffset = 0;
    m_gainLabel->setText(QStringLiteral("- 검사옵션 : 0 / 실제 검사 레벨 Gain = %1").arg(0));
    for (int k = 0; k < 5; ++k) {
        m_filterMax[k]->setText(QString::number(filterValue(k, filter_freq_max)));
        m_filterMin[k]->setText(QString::number(filterValue(k, filter_freq_min)));
        m_filterLevel[k]->setText(QString::number(filterValue(k, filter_level)));
        m_filterText[k]->setText(QStringLiteral("dB  *Gain=%1dB / 검사레벨 %2dB")
                                     .arg(0)
                                     .arg(filterValue(k, filter_inspection_level)));
    }
    (sensorType == QLatin1String(kSensorBottom) ? m_bottom : m_top)->setChecked(true);
    FillTimeBoxes();
    SelectText(m_initialException, TenthsText(value(reservedInt(4))));
    SelectText(m_focusTime, TenthsText(value(reservedInt(1))));
    ChooseFrequencyRange(value(reservedInt(3)) == 1 ? 1 : 0);
    m_stageLabel->setText(QStringLiteral("- 검사단계 : 3단계 / 실제 검사 필터 숫자 = %1EA").arg(3));
    m_focusOption->clear();
    for (int n = 1; n <= 200; ++n) {
        m_focusOption->addItem(QStringLiteral("%1EA").arg(n));
    }
    SelectText(m_focusOption, QStringLiteral("%1EA").arg(value(reservedInt(2)) + 1));
    m_blockGain->clear();
    for (int dB = 0; dB <= 15; ++dB) {
        m_blockGain->addItem(QStringLiteral("%1 dB").arg(dB));
    }
    SelectText(m_blockGain, QStringLiteral("%1 dB").arg(value(reservedInt(6))));
    ChooseBeamforming(value(reservedInt(8)) == 1);
    m_beamformingCount->clear();
    for (int n = 3; n <= 20; ++n) {
        m_beamformingCount->addItem(QStringLiteral("%1EA").arg(n));
    }
    SelectText(m_beamformingCount, QStringLiteral("%1EA").arg(value(reservedInt(9)) + 3));
}

void CDlgSetupSC::ResetFields() {
    m_baseTool->setCurrentIndex(-1);
    m_product->setCurrentIndex(-1);
    m_time->setCurrentIndex(-1);
    m_filterDisplayOff->setChecked(true);
}

bool CDlgSetupSC::CheckProductFields(QString& baseTool, QString& product) {
    baseTool = m_baseTool->currentText().trimmed();
    product = m_product->currentText().trimmed();
    if (baseTool.isEmpty()) {
        ShowMessage(QStringLiteral("제품설정"), QStringLiteral("'1.Tool(Org)'를 선택해 주세요"));
        return false;
    }
    if (product.isEmpty()) {
        ShowMessage(QStringLiteral("제품설정"), QStringLiteral("'2.Tool + Option' 입력해 주세요"));
        return false;
    }
    if (m_time->currentIndex() < 0) {
        ShowMessage(QStringLiteral("제품설정"), QStringLiteral("검사시간을 선택해 주세요"));
        return false;
    }
    return true;
}

void CDlgSetupSC::AddProduct() {
    QString baseTool;
    QString product;
    if (!CheckProductFields(baseTool, product)) {
        return;
    }
    const int time = m_time->currentIndex() + kFirstInspectionTime_s;
    const StationDbProfiles& profiles = m_station.main.Storage().profiles();
    const DualWriteOutcome outcome =
        ::AddProduct(profiles.web(), profiles.bridge(), product, baseTool, time);
    if (!outcome.webApplied) {
        return;
    }
    m_currentProduct = product;
    m_currentTime = time;
    LoadProductList();
    const QString address = m_defaultIp->text();
    m_station.main.Config().Sensor_Default_Ip = address;
    CreateSensorRow(profiles.web(), profiles.bridge(), product, QString::fromLatin1(kSensorTop),
                    time * 10, address);
    ShowSensorSettings(product, QString::fromLatin1(kSensorTop));
    ShowMessage(QStringLiteral("[Tool 등록]"),
                QStringLiteral("'센서정보' 설정 후 '%1'를 재시작 해 주세요.").arg(SoftwareName()));
}

void CDlgSetupSC::SaveProduct() {
    if (!AskYesNo(QStringLiteral("[주의]제품정보 데이터 수정"),
                  QStringLiteral("제품정보를 수정하시겠습니까?"))) {
        return;
    }
    QString baseTool;
    QString product;
    if (!CheckProductFields(baseTool, product)) {
        return;
    }
    m_station.main.Config().Sensor_Default_Ip = m_defaultIp->text();
    const StationDbProfiles& profiles = m_station.main.Storage().profiles();
    const DualWriteOutcome outcome =
        ::SaveProduct(profiles.web(), profiles.bridge(), product, baseTool,
                      m_time->currentIndex() + kFirstInspectionTime_s);
    if (outcome.webApplied) {
        LoadProductList();
    }
}

void CDlgSetupSC::DeleteProduct() {
    if (!AskYesNo(QStringLiteral("[주의]제품정보 데이터 삭제"),
                  QStringLiteral("제품정보를 삭제하시겠습니까?"))) {
        return;
    }
    const QString product = m_product->currentText().trimmed();
    if (product.isEmpty()) {
        ShowMessage(QStringLiteral("제품설정"), QStringLiteral("제품명을 선택해 주세요"));
        return;
    }
    const StationDbProfiles& profiles = m_station.main.Storage().profiles();
    if (!::DeleteProduct(profiles.web(), profiles.bridge(), product).webApplied) {
        return;
    }
    m_selectedRow = 0;
    m_currentProduct.clear();
    LoadProductList();
    ShowMessage(QStringLiteral("[Tool 삭제]"),
                QStringLiteral("'%1'를 재시작 해 주세요.").arg(SoftwareName()));
}

void CDlgSetupSC::DeleteAllProducts() {
    if (!AskYesNo(QStringLiteral("[주의]제품정보 데이터 삭제"),
                  QStringLiteral("제품정보를 모두 삭제하시겠습니까?"))) {
        return;
    }
    const StationDbProfiles& profiles = m_station.main.Storage().profiles();
    if (!::DeleteAllProducts(profiles.web(), profiles.bridge()).webApplied) {
        return;
    }
    m_selectedRow = 0;
    m_currentProduct.clear();
    m_currentTime = 0;
    LoadProductList();
    ShowMessage(QStringLiteral("[Tool 전체삭제]"),
                QStringLiteral("'%1'를 재시작 해 주세요.").arg(SoftwareName()));
}

void CDlgSetupSC::ChooseFrequencyRange(int range) {
    (range == 1 ? m_range100k : m_range25k)->setChecked(true);
    m_frequencyGroup->setTitle(
        range == 1 ? QStringLiteral("2) Filter Frequency Range (100Hz ~ 90,000Hz)")
                   : QStringLiteral("2) Filter Frequency Range (100Hz ~ 24,000Hz)"));
}

void CDlgSetupSC::ChooseBeamforming(bool on) {
    (on ? m_beamformingOn : m_beamformingOff)->setChecked(true);
    m_beamformingCount->setEnabled(on);
}

void CDlgSetupSC::CheckAllTools(bool checked) {
    for (int row = 0; row < m_toolList->rowCount(); ++row) {
        m_toolList->item(row, 0)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
}

SensorSettingsValues CDlgSetupSC::SensorValues() const {
    SensorSettingsValues values;
    values.freq_range = m_range100k->isChecked() ? 1 : 0;
    values.freq_max = DecimalFromEdit(m_freqMax->text());
    values.freq_min = DecimalFromEdit(m_freqMin->text());
    values.distance = DecimalFromEdit(m_distance->text());
    values.acoustic_level = DecimalFromEdit(m_acousticLevel->text());
    for (int k = 0; k < 5; ++k) {
        values.filters[k] = {DecimalFromEdit(m_filterMax[k]->text()),
                             DecimalFromEdit(m_filterMin[k]->text()),
                             DecimalFromEdit(m_filterLevel[k]->text())};
    }
    values.initial_exception_index = m_initialException->currentIndex();
    values.focus_time_index = m_focusTime->currentIndex();
    values.focus_option_index = m_focusOption->currentIndex();
    values.block_gain_index = m_blockGain->currentIndex();
    values.beamforming_index = m_beamformingOn->isChecked()    ? 1
                               : m_beamformingOff->isChecked() ? 0
                                                               : SensorSettingsValues::kNotChosen;
    values.beamforming_count_index = m_beamformingCount->currentIndex();
    return values;
}

void CDlgSetupSC::SaveSensorSettings() {
    if (!AskYesNo(QStringLiteral("[주의]센서정보 수정"),
                  QStringLiteral("센서정보를 수정하시겠습니까?"))) {
        return;
    }
    const QString sensorType =
        QString::fromLatin1(m_bottom->isChecked() ? kSensorBottom : kSensorTop);
    const SensorSettingsValues values = SensorValues();
    if (const auto failure = CheckSensorSettings(values)) {
        ShowMessage(failure->caption, failure->text);
        return;
    }
    SensorSettingsUpdate update;
    update.product_name = m_currentProduct;
    update.sensor_type = sensorType;
    update.reserved_int_01 = values.focus_time_index + 1;
    update.reserved_int_02 = values.focus_option_index;
    update.reserved_int_03 = values.freq_range;
    update.reserved_int_04 = values.initial_exception_index;
    update.reserved_int_06 = values.block_gain_index;
    update.reserved_int_07 = 0;
    update.reserved_int_08 = values.beamforming_index;
    update.reserved_int_09 = values.beamforming_count_index;
    update.inspection_mode = 1;
    update.freq_max = values.freq_max;
    update.freq_min = values.freq_min;
    update.distance = values.distance;
    update.acoustic_level = values.acoustic_level;
    for (int k = 0; k < 5; ++k) {
        update.filters[k] = {values.filters[k].freq_max, values.filters[k].freq_min,
                             values.filters[k].level, values.filters[k].level + m_gainOffset};
    }
    const StationDbProfiles& profiles = m_station.main.Storage().profiles();
    const DualWriteOutcome outcome =
        ::SaveSensorSettings(profiles.web(), profiles.bridge(), update);
    if (outcome.webApplied) {
        ShowSensorSettings(m_currentProduct, sensorType);
    }
    if (outcome.connected) {
        SaveStationOptions();
    }
}

void CDlgSetupSC::SaveStationOptions() {
    StationConfig& config = m_station.main.Config();
    const int moving = m_movingOption->currentIndex();
    if (moving < 0 || moving >= m_movingOption->count()) {
        ShowMessage(QStringLiteral("Tool"), QStringLiteral("Moving Option을 정확히 선택해 주세요"));
        return;
    }
    config.Moving_Option = moving - 10;
    config.Inspection_Debug_Flag_Sensor = m_debugTop->isChecked() ? 1 : 0;
    m_station.main.ApplyConfig();
    if (m_station.refreshTitle) {
        m_station.refreshTitle();
    }
    const int audio = m_audioLevel->currentIndex();
    if (audio < 0 || audio >= m_audioLevel->count()) {
        ShowMessage(QStringLiteral("Tool"), QStringLiteral("Audio Level를 정확히 선택해 주세요"));
        return;
    }
    config.Audio_Shift = audio - 5;
    if (m_filterDisplayOn->isChecked()) {
        config.Filter_Display = 1;
    } else if (m_filterDisplayOff->isChecked()) {
        config.Filter_Display = 0;
    } else {
        ShowMessage(QStringLiteral("제품설정"),
                    QStringLiteral("Filter Display 옵션을 선택해 주세요"));
    }
    m_station.main.ApplyConfig();
}

void CDlgSetupSC::CopyToCheckedProducts() {
    const QString source =
        m_selectedRow >= 0 ? CellText(m_engineList, m_selectedRow, 3) : QString();
    std::vector<int> checked;
    for (int row = 0; row < m_toolList->rowCount(); ++row) {
        if (m_toolList->item(row, 0)->checkState() == Qt::Checked) {
            checked.push_back(row);
        }
    }
    if (checked.empty()) {
        ShowMessage(QStringLiteral("[주의]Tool 정보 업데이트"),
                    QStringLiteral("업데이트 항목을 체크해 주세요.!!!"));
        return;
    }
    if (!AskYesNo(QStringLiteral("[주의]Tool 정보 업데이트"),
                  QStringLiteral("%1개의 Tool 정보 업데이트를 업데이트 하시겠습니까?")
                      .arg(checked.size()))) {
        return;
    }
    const DbProfile web = m_station.main.Storage().profiles().web();
    for (const int row : checked) {
        const QString target = CellText(m_toolList, row, 2);
        DebugLog(QStringLiteral("[Source Index = %1, %2][Target Index : %3] Check = %4, %5")
                     .arg(m_selectedRow)
                     .arg(source)
                     .arg(row)
                     .arg(1)
                     .arg(target));
        CopySensorSettings(web, source, target);
    }
}

void CDlgSetupSC::keyPressEvent(QKeyEvent* event) {
    if (page_controls::SwallowPageKey(event)) {
        return;
    }
    QDialog::keyPressEvent(event);
}
