#include "sensor/GraphCurves.h"

#include <cstring>

void CGraphCurves::SetCurve(int slot, const float* levels) {
    if (slot < 1 || slot > kSlotCount || levels == nullptr) {
        return;
    }
    {
        std::lock_guard lock(m_dataMutex);
        const int index = slot - 1;
        if (m_length[index] != kLevels) {
            m_slots[index] = std::make_unique<float[]>(kLevels);
            m_length[index] = kLevels;
        }
        std::memcpy(m_slots[index].get(), levels, sizeof(float) * kLevels);
    }
    std::lock_guard listener(m_listenerMutex);
    if (m_onChanged) {
        m_onChanged();
    }
}

void CGraphCurves::ClearCurves() {
    static const std::array<float, kLevels> zeros{};
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        SetCurve(slot, zeros.data());
    }
}

bool CGraphCurves::CopyCurves(CurveSnapshot& out) const {
    std::lock_guard lock(m_dataMutex);
    if (m_length[0] != kLevels) {
        return false;
    }
    for (int index = 0; index < kSlotCount; ++index) {
        out.valid[index] = m_length[index] == kLevels;
        if (out.valid[index]) {
            std::memcpy(out.levels[index].data(), m_slots[index].get(), sizeof(float) * kLevels);
        } else {
            out.levels[index].fill(0.0f);
        }
    }
    return true;
}

bool CGraphCurves::HasCurves() const {
    std::lock_guard lock(m_dataMutex);
    return m_length[0] == kLevels;
}

void CGraphCurves::setOnChanged(std::function<void()> onChanged) {
    std::lock_guard listener(m_listenerMutex);
    m_onChanged = std::move(onChanged);
}
