#include "display/InspectionOutputs.h"

CInspectionOutputs::CInspectionOutputs(QObject* parent) : QObject(parent) {}

void CInspectionOutputs::SetVerdictText(const VerdictText& verdict) {
    {
        std::lock_guard lock(m_mutex);
        m_verdict = verdict;
    }
    emit changed();
}

VerdictText CInspectionOutputs::Verdict() const {
    std::lock_guard lock(m_mutex);
    return m_verdict;
}

CounterTexts CInspectionOutputs::Counters() const {
    std::lock_guard lock(m_mutex);
    return m_counters;
}

QList<QStringList> CInspectionOutputs::ResultRows() const {
    std::lock_guard lock(m_mutex);
    return m_rows;
}

ProgressText CInspectionOutputs::Progress() const {
    std::lock_guard lock(m_mutex);
    return m_progress;
}

QString CInspectionOutputs::InspectionId() const {
    std::lock_guard lock(m_mutex);
    return m_inspectionId;
}

MissionInfo CInspectionOutputs::Mission() const {
    std::lock_guard lock(m_mutex);
    return m_mission;
}

ResultListState CInspectionOutputs::ResultList() const {
    std::lock_guard lock(m_mutex);
    return {m_rows, m_selectedRow, m_resultGeneration};
}

bool CInspectionOutputs::MissionShown() const {
    std::lock_guard lock(m_mutex);
    return m_missionShown;
}

int CInspectionOutputs::resultRowCount() {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

void CInspectionOutputs::clearResultList() {
    {
        std::lock_guard lock(m_mutex);
        m_rows.clear();
        m_selectedRow = -1;
        ++m_resultGeneration;
    }
    emit changed();
}

void CInspectionOutputs::appendResultRow(const QStringList& texts) {
    {
        std::lock_guard lock(m_mutex);
        m_rows.append(texts);
    }
    emit changed();
}

void CInspectionOutputs::selectLastResultRow() {
    {
        std::lock_guard lock(m_mutex);
        m_selectedRow = static_cast<int>(m_rows.size()) - 1;
    }
    emit changed();
}

void CInspectionOutputs::showCounters(const CounterTexts& texts) {
    {
        std::lock_guard lock(m_mutex);
        m_counters = texts;
    }
    emit changed();
}

void CInspectionOutputs::showResultText(const QString& text, int fontHeight, const QColor& colour) {
    SetVerdictText({text, fontHeight, colour});
}

void CInspectionOutputs::showProgress(int rangeMax, int position, const QString& text) {
    {
        std::lock_guard lock(m_mutex);
        // The inspection clock calls every 10 ms; the bar changes every tenth of a second.
        if (m_progress.rangeMax == rangeMax && m_progress.position == position &&
            m_progress.text == text) {
            return;
        }
        m_progress = {rangeMax, position, text};
    }
    emit changed();
}

void CInspectionOutputs::showInspectionId(const QString& code) {
    {
        std::lock_guard lock(m_mutex);
        m_inspectionId = code;
    }
    emit changed();
}

void CInspectionOutputs::showMissionInfo(const MissionInfo& info) {
    {
        std::lock_guard lock(m_mutex);
        m_mission = info;
        m_missionShown = true;
    }
    emit changed();
}

void CInspectionOutputs::clearSpectrogram() {
    emit spectrogramCleared();
}

void CInspectionOutputs::resetGraph() {
    emit graphReset();
}

QString CInspectionOutputs::Engine() const {
    std::lock_guard lock(m_mutex);
    return m_engine;
}

void CInspectionOutputs::ShowEngine(const QString& productName, int inspectionTime_s) {
    {
        std::lock_guard lock(m_mutex);
        m_engine =
            QStringLiteral("  %1 (%2 Sec)").arg(productName, QString::number(inspectionTime_s));
    }
    emit changed();
}

void CInspectionOutputs::ShowVehicleCode(const QString& code) {
    {
        std::lock_guard lock(m_mutex);
        m_vehicleCode = QStringLiteral("  ") + code;
    }
    emit changed();
}

QString CInspectionOutputs::VehicleCode() const {
    std::lock_guard lock(m_mutex);
    return m_vehicleCode;
}
