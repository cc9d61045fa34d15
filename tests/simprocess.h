#pragma once

// pivota-sim as a child process on a pseudo-terminal, for the end-to-end tests. PIVOTA_SIM_PATH
// is set by the build.

#include <QProcess>
#include <QStringList>
#include <QTest>

class SimProcess {
public:
    bool start(const QStringList &args, const QString &link) {
        m_process.setProgram(QStringLiteral(PIVOTA_SIM_PATH));
        m_process.setArguments(QStringList{QStringLiteral("--link"), link} + args);
        m_process.start();
        if (!m_process.waitForStarted(5000)) {
            return false;
        }
        return QTest::qWaitFor([&] { return m_process.canReadLine(); }, 5000);
    }
    void stop() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(5000);
        }
    }
    ~SimProcess() { stop(); }
    QProcess m_process;
};
