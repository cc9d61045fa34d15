#include "core/diagnosis/diagnosislogic.h"

#include "comm/numbertext.h"

#include "comm/messages.h"
#include "comm/sharedstate.h"

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
        .arg(RSenseValueText(rSense));
}

QString RSenseValueText(float rSense) {
    for (int decimals = 2; decimals < 4; ++decimals) {
        const QString text = QString::number(static_cast<double>(rSense), 'f', decimals);
        if (text.toFloat() == rSense) {
            return text;
        }
    }
    return QString::number(static_cast<double>(rSense), 'f', 4);
}

QString RSenseDefaultText(float rSense, const QLocale &locale) {
    return locale.toString(static_cast<double>(rSense), 'g', 6);
}

QString RSenseRangeText(const QString &answer) {
    return QCoreApplication::translate(
               "DiagnosisLogic",
               "Ungültiger Wert für R-Sense: %1\rZugelassen ist ein Widerstand über 0, "
               "von %2 bis %3 Ohm (z. B. 15 oder 22,5).")
        .arg(answer.trimmed(), InterfaceLocale().toString(double(MinRSense), 'g', 6),
             QString::number(double(MaxRSense), 'f', 0));
}

RSenseAnswer ParseRSenseAnswer(const std::optional<QString> &answer, const QLocale &locale) {
    RSenseAnswer result;
    if (!answer || answer->trimmed().isEmpty()) {
        return result;
    }
    const QString text = answer->trimmed();
    // The user's own format first, then a comma or a point as the decimal separator whatever
    // the format: "22,5" means what "22.5" means.
    bool ok = false;
    float value = locale.toFloat(text, &ok);
    if (!ok) {
        QString plain = text;
        plain.replace(u',', u'.');
        value = QLocale::c().toFloat(plain, &ok);
    }
    if (!ok || !std::isfinite(value)) {
        result.kind = RSenseAnswer::Kind::Refused;
        return result;
    }
    // Zero or less would turn every current into nonsense or a division by zero, and a value
    // far beyond any sense resistor shows nothing useful either.
    if (!(value >= MinRSense && value <= MaxRSense)) {
        result.kind = RSenseAnswer::Kind::OutOfRange;
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
