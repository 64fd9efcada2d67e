#include "display/InspectionOutputs.h"

#include "tower/SignalTower.h"

CInspectionOutputs::CInspectionOutputs(CSignalTower& tower, std::function<void()> clearTopResult,
                                       QObject* parent)
    : QObject(parent), m_tower(tower), m_clearTopResult(std::move(clearTopResult)) {}

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

void CInspectionOutputs::giveVerdictOutputs(bool ng) {
    m_tower.ShowVerdict(ng);
    if (!ng && m_clearTopResult) {
        m_clearTopResult();
    }
    SetVerdictText(ng ? VerdictText{QStringLiteral("NG"), 90, QColor(225, 75, 75)}
                      : VerdictText{QStringLiteral("OK"), 70, QColor(75, 225, 75)});
}

int CInspectionOutputs::resultRowCount() {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

void CInspectionOutputs::clearResultList() {
    {
        std::lock_guard lock(m_mutex);
        m_rows.clear();
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
    emit changed();
}

void CInspectionOutputs::sendInspectionComplete(int, int) {}

void CInspectionOutputs::clearMissionId() {}

void CInspectionOutputs::showCounters(const CounterTexts& texts) {
    {
        std::lock_guard lock(m_mutex);
        m_counters = texts;
    }
    emit changed();
}
