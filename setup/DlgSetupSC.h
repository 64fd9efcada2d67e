#pragma once
// The product and sensor settings dialog behind the settings password: the products of the web
// database with add, save, delete and delete all (bridge first, then web), the "Top" or "Bottom"
// sensor row of the current product with its checked save, the copy of one product's sensor rows
// onto checked products, and the station options kept in the configuration.

#include "setup/SensorSettingsRules.h"
#include "setup/SetupStation.h"

#include <QDialog>

class CLabel;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

class CDlgSetupSC : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1000;
    static constexpr int kFirstInspectionTime_s = 5;
    static constexpr int kLastInspectionTime_s = 300;

    CDlgSetupSC(SetupStation station, QWidget* parent = nullptr);

    // The settings gate hands the inspection page's product over before the dialog opens.
    void SetCurrentProduct(const QString& product) { m_currentProduct = product; }
    QString CurrentProduct() const { return m_currentProduct; }
    int CurrentInspectionTime() const { return m_currentTime; }
    int SelectedRow() const { return m_selectedRow; }

    // Page initialisation: the options from the configuration, then the product list.
    void Initialize();
    void LoadProductList();
    void SelectRow(int row);
    void ShowSensorSettings(const QString& product, const QString& sensorType);
    void ResetFields();
    void AddProduct();
    void SaveProduct();
    void DeleteProduct();
    void DeleteAllProducts();
    void SaveSensorSettings();
    void CopyToCheckedProducts();
    void CheckAllTools(bool checked);
    void ChooseFrequencyRange(int range);
    void ChooseBeamforming(bool on);

    // The values of the sensor boxes as the save reads them.
    SensorSettingsValues SensorValues() const;

    // The controls, for tests and screenshots.
    QTableWidget* EngineList() const { return m_engineList; }
    QTableWidget* ToolList() const { return m_toolList; }
    QComboBox* BaseToolBox() const { return m_baseTool; }
    QComboBox* ProductBox() const { return m_product; }
    QComboBox* TimeBox() const { return m_time; }
    QLineEdit* DefaultIpEdit() const { return m_defaultIp; }
    QRadioButton* TopRadio() const { return m_top; }
    QRadioButton* BottomRadio() const { return m_bottom; }
    QComboBox* InitialExceptionBox() const { return m_initialException; }
    QComboBox* FocusTimeBox() const { return m_focusTime; }
    QComboBox* FocusOptionBox() const { return m_focusOption; }
    QComboBox* BlockGainBox() const { return m_blockGain; }
    QRadioButton* Range25k() const { return m_range25k; }
    QRadioButton* Range100k() const { return m_range100k; }
    QGroupBox* FrequencyGroup() const { return m_frequencyGroup; }
    QLineEdit* FreqMinEdit() const { return m_freqMin; }
    QLineEdit* FreqMaxEdit() const { return m_freqMax; }
    QLineEdit* DistanceEdit() const { return m_distance; }
    QLineEdit* AcousticLevelEdit() const { return m_acousticLevel; }
    QRadioButton* BeamformingOn() const { return m_beamformingOn; }
    QRadioButton* BeamformingOff() const { return m_beamformingOff; }
    QComboBox* BeamformingCountBox() const { return m_beamformingCount; }
    QLineEdit* FilterMinEdit(int k) const { return m_filterMin[k]; }
    QLineEdit* FilterMaxEdit(int k) const { return m_filterMax[k]; }
    QLineEdit* FilterLevelEdit(int k) const { return m_filterLevel[k]; }
    QLabel* FilterText(int k) const { return m_filterText[k]; }
    QLabel* StageLabel() const { return m_stageLabel; }
    QLabel* GainLabel() const { return m_gainLabel; }
    QCheckBox* DebugTop() const { return m_debugTop; }
    QCheckBox* DebugBottom() const { return m_debugBottom; }
    QRadioButton* FilterDisplayOn() const { return m_filterDisplayOn; }
    QRadioButton* FilterDisplayOff() const { return m_filterDisplayOff; }
    QComboBox* AudioLevelBox() const { return m_audioLevel; }
    QComboBox* MovingOptionBox() const { return m_movingOption; }
    QPushButton* Button(const QString& caption) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateControls();
    void ClearSensorPage();
    void FillTimeBoxes();
    void SaveStationOptions();
    // "추가" and "저장": both product names and an inspection time; their texts.
    bool CheckProductFields(QString& baseTool, QString& product);
    QPushButton* AddButton(QWidget* parent, const QString& caption, const QRect& where);

    SetupStation m_station;
    int m_selectedRow = -1;
    QString m_currentProduct;
    int m_currentTime = 0;
    int m_gainOffset = 0;

    QTableWidget* m_engineList = nullptr;
    QTableWidget* m_toolList = nullptr;
    QComboBox* m_baseTool = nullptr;
    QComboBox* m_product = nullptr;
    QComboBox* m_time = nullptr;
    QLineEdit* m_defaultIp = nullptr;
    QRadioButton* m_top = nullptr;
    QRadioButton* m_bottom = nullptr;
    QComboBox* m_initialException = nullptr;
    QComboBox* m_focusTime = nullptr;
    QComboBox* m_focusOption = nullptr;
    QComboBox* m_blockGain = nullptr;
    QRadioButton* m_range25k = nullptr;
    QRadioButton* m_range100k = nullptr;
    QGroupBox* m_frequencyGroup = nullptr;
    QLineEdit* m_freqMin = nullptr;
    QLineEdit* m_freqMax = nullptr;
    QLineEdit* m_distance = nullptr;
    QLineEdit* m_acousticLevel = nullptr;
    QRadioButton* m_beamformingOn = nullptr;
    QRadioButton* m_beamformingOff = nullptr;
    QComboBox* m_beamformingCount = nullptr;
    QLineEdit* m_filterMin[5] = {};
    QLineEdit* m_filterMax[5] = {};
    QLineEdit* m_filterLevel[5] = {};
    QLabel* m_filterText[5] = {};
    QLabel* m_stageLabel = nullptr;
    QLabel* m_gainLabel = nullptr;
    QCheckBox* m_debugTop = nullptr;
    QCheckBox* m_debugBottom = nullptr;
    QRadioButton* m_filterDisplayOn = nullptr;
    QRadioButton* m_filterDisplayOff = nullptr;
    QComboBox* m_audioLevel = nullptr;
    QComboBox* m_movingOption = nullptr;
    QRadioButton* m_logo1 = nullptr;
    QRadioButton* m_logo2 = nullptr;
    std::vector<QPushButton*> m_buttons;
};
