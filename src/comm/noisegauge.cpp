#include "comm/noisegauge.h"

#include <algorithm>

void NoiseGauge::Note(bool damaged) {
    bool &slot = m_latest[static_cast<size_t>(m_next)];
    if (m_count == Window) {
        m_damaged -= slot ? 1 : 0; // the oldest answer leaves the window
    } else {
        ++m_count;
    }
    slot = damaged;
    m_damaged += damaged ? 1 : 0;
    m_next = (m_next + 1) % Window;
}

bool NoiseGauge::noisy() const {
    return m_damaged * 100 >= NoisyPercent * std::max(m_count, LeastAnswers) && m_damaged > 0;
}
