#include "core/diagnosis/recording.h"

#include "comm/sharedstate.h"
#include "core/diagnosis/diagnosislogic.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Diagnosis {

namespace {
enum Flag : uint8_t { Measured = 1, ErrorsKnown = 2, Driving = 4, Left = 8 };
} // namespace

Measurement TakeMeasurement(const SharedState &state, uint32_t ms) {
    const InfoTable &table = state.infoTable();
    Measurement m;
    m.ms = ms;
    m.measured = state.MeasureKnown();
    if (m.measured) {
        m.sense = table.data2(InfoTable::Measure);
        m.sensor = table.data1(InfoTable::Measure);
    }
    m.errorsKnown = state.ErrorsKnown();
    if (m.errorsKnown) {
        m.errorsPit = table.data1(InfoTable::Error);
        m.errorsBridge = table.data2(InfoTable::Error);
    }
    const DirectDrive &d = state.directDrive;
    m.driving = d.DirectDriveActive;
    m.left = d.Left;
    if (m.driving) {
        // What the drive message carries: the speed brought into 1..127.
        m.speed = static_cast<uint8_t>(ClampSpeed(d.Left ? d.DriveSpeedLeft : d.DriveSpeedRight));
    }
    return m;
}

void Recording::Clear() {
    m_samples.clear();
    m_samples.shrink_to_fit();
    m_dropped = 0;
}

void Recording::Add(const Measurement &m) {
    if (size() >= m_capacity) {
        m_samples.pop_front();
        ++m_dropped;
    }
    const uint8_t flags = (m.measured ? Measured : 0) | (m.errorsKnown ? ErrorsKnown : 0) |
                          (m.driving ? Driving : 0) | (m.left ? Left : 0);
    m_samples.push_back({m.ms, m.sense, m.sensor, m.errorsPit, m.errorsBridge, m.speed, flags});
}

Measurement Recording::at(qsizetype index) const {
    const Packed &p = m_samples[static_cast<size_t>(index)];
    Measurement m;
    m.ms = p.ms;
    m.measured = p.flags & Measured;
    m.sense = p.sense;
    m.sensor = p.sensor;
    m.errorsKnown = p.flags & ErrorsKnown;
    m.errorsPit = p.errorsPit;
    m.errorsBridge = p.errorsBridge;
    m.driving = p.flags & Driving;
    m.left = p.flags & Left;
    m.speed = p.speed;
    return m;
}

QString CsvText(const Recording &recording, float rSense, const QLocale &locale) {
    const QChar point = locale.decimalPoint().at(0);
    const auto decimal = [point](double value) {
        QString text = QString::number(value, 'f', 2);
        text.replace(u'.', point);
        return text;
    };
    const auto hex = [](uint8_t flags) {
        return QStringLiteral("0x%1").arg(flags, 2, 16, QLatin1Char('0'));
    };
    const QString separator = QStringLiteral(";");
    const QString lineEnd = QStringLiteral("\r\n");
    const QStringList header = {
        QCoreApplication::translate("DiagnosisRecording", "Zeit (ms)"),
        QCoreApplication::translate("DiagnosisRecording", "Sense-Strom (roh)"),
        QCoreApplication::translate("DiagnosisRecording", "Sense-Strom (mA, R-Sense = %1 Ohm)")
            .arg(RSenseValueText(rSense).replace(u'.', point)),
        QCoreApplication::translate("DiagnosisRecording", "Sensor-Spannung (roh)"),
        QCoreApplication::translate("DiagnosisRecording", "Sensor-Spannung (V)"),
        QCoreApplication::translate("DiagnosisRecording", "Direct Drive Geschwindigkeit"),
        QCoreApplication::translate("DiagnosisRecording", "Direct Drive Richtung"),
        QCoreApplication::translate("DiagnosisRecording", "Fehler Grube"),
        QCoreApplication::translate("DiagnosisRecording", "Fehler Bühne")};
    const QString left = QCoreApplication::translate("DiagnosisRecording", "links");
    const QString right = QCoreApplication::translate("DiagnosisRecording", "rechts");

    QString text = header.join(separator) + lineEnd;
    // About 50 characters a row: one allocation for an hour's rows.
    text.reserve(text.size() + recording.size() * 56);
    for (qsizetype i = 0; i < recording.size(); ++i) {
        const Measurement m = recording.at(i);
        text += QString::number(m.ms) + separator;
        if (m.measured) {
            text += QString::number(m.sense) + separator +
                    decimal(static_cast<double>(SenseCurrent(m.sense, rSense))) + separator +
                    QString::number(m.sensor) + separator +
                    decimal(static_cast<double>(static_cast<float>(m.sensor) * 5.0f / 255.0f)) +
                    separator;
        } else {
            text += separator.repeated(4);
        }
        if (m.driving) {
            text += QString::number(m.speed) + separator + (m.left ? left : right) + separator;
        } else {
            text += separator + separator;
        }
        if (m.errorsKnown) {
            text += hex(m.errorsPit) + separator + hex(m.errorsBridge);
        } else {
            text += separator;
        }
        text += lineEnd;
    }
    return text;
}

QByteArray CsvBytes(const Recording &recording, float rSense, const QLocale &locale) {
    return QByteArrayLiteral("\xEF\xBB\xBF") + CsvText(recording, rSense, locale).toUtf8();
}

QString PicturePath(const QString &csvPath) {
    const QFileInfo info(csvPath);
    if (info.suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0) {
        return csvPath + QStringLiteral(".png");
    }
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".png"));
}

} // namespace Diagnosis
