#pragma once
// The " Sensor " page of the setup container: the engine list of the bridge database, the
// inspection area on two range sliders (acting on the device at once), the operation image save
// time, the screen orientation and the save to both databases.

#include "setup/SetupStation.h"

#include <QColor>
#include <QWidget>

class CRangeSlider;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

class CSetupPositionDlg : public QWidget {
    Q_OBJECT
  public:
    static constexpr QColor kSliderColour{75, 225, 75};
    static constexpr QColor kGreyedColour{128, 128, 128};

    CSetupPositionDlg(SetupStation station, QWidget* parent = nullptr);

    // The refresh the main window starts each time the Setup tab is shown.
    void Refresh();
    // A click on a row, or a change of the selected row.
    void SelectRow(int row);
    void LoadSliders();
    void SetOrientation(int degrees);
    void Save();

    QTableWidget* EngineList() const { return m_engineList; }
    CRangeSlider* TopBottomSlider() const { return m_topBottom; }
    CRangeSlider* LeftRightSlider() const { return m_leftRight; }
    // Top, bottom, left, right.
    QLabel* ValueField(int index) const { return m_values[index]; }
    QComboBox* SaveTimeList() const { return m_saveTime; }
    QRadioButton* Orientation0() const { return m_orientation0; }
    QRadioButton* Orientation180() const { return m_orientation180; }
    QPushButton* SaveButton() const { return m_save; }

  signals:
    // After a save was accepted: the container refreshes its lamps and titles.
    void saved();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void FillEngineList();
    void OnTopBottomChanged();
    void OnLeftRightChanged();
    void ShowValueFields();
    int CameraModel() const;
    int Orientation() const;

    SetupStation m_station;
    int m_rememberedRow = -1;
    QTableWidget* m_engineList = nullptr;
    CRangeSlider* m_topBottom = nullptr;
    CRangeSlider* m_leftRight = nullptr;
    QLabel* m_values[4] = {};
    QComboBox* m_saveTime = nullptr;
    QRadioButton* m_orientation0 = nullptr;
    QRadioButton* m_orientation180 = nullptr;
    QPushButton* m_save = nullptr;
};
