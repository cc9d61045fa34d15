#include "diagnosislogic.h"

#include "messages.h"
#include "sharedstate.h"

#include <algorithm>
#include <cmath>

#include <QCoreApplication>

namespace Diagnosis {

float SenseCurrent(int raw, float rSense) {
    float i = static_cast<float>(raw) * 5.0f;
    i = i / 1020.0f;
    i = i / rSense;
    return i * 1000.0f;
}

QString SenseCurrentText(int raw, float rSense) {
    return QString::asprintf("%2.2f mA", static_cast<double>(SenseCurrent(raw, rSense)));
}

QString SensorVoltageText(int raw) {
    const float u = static_cast<float>(raw) * 5.0f / 255.0f;
    return QString::asprintf("%2.2f V", static_cast<double>(u));
}

QString RSenseInfoText(float rSense) {
    return QCoreApplication::translate("DiagnosisLogic", "(Strom berechnet für R-Sense = %1 Ohm)")
        .arg(QString::asprintf("%2.2f", static_cast<double>(rSense)));
}

QString RSenseDefaultText(float rSense, const QLocale &locale) {
    return locale.toString(static_cast<double>(rSense), 'g', 6);
}

RSenseAnswer ParseRSenseAnswer(const std::optional<QString> &answer, const QLocale &locale) {
    RSenseAnswer result;
    if (!answer || answer->trimmed().isEmpty()) {
        return result;
    }
    bool ok = false;
    const float value = locale.toFloat(answer->trimmed(), &ok);
    // A resistor of zero ohm or less (or no number at all) would turn every current into
    // nonsense or a division by zero: refused like any other invalid input.
    if (!ok || !StationData::IsUsableRSense(value)) {
        result.kind = RSenseAnswer::Kind::Refused;
        return result;
    }
    result.kind = RSenseAnswer::Kind::Accepted;
    result.value = value;
    return result;
}

void SampleHistory::Push(int sample) {
    std::copy(m_samples.begin() + 1, m_samples.end(), m_samples.begin());
    m_samples.back() = sample;
}

int SampleHistory::MeanOfNewest() const {
    int sum = 0;
    for (int i = Length - MeanSamples; i < Length; ++i) {
        sum += at(i);
    }
    return sum / MeanSamples;
}

int GraphScale::Y(int sample) const {
    const float y = static_cast<float>(m_height) - static_cast<float>(sample) * m_factor - 5.0f;
    return static_cast<int>(y);
}

int GraphScale::X(int index, int width) {
    return index * (width - 1) / SampleHistory::Length;
}

} // namespace Diagnosis
