#include "benchprobe.h"

#include "gui/operation/tframebedienung.h"
#include "gui/window/tfrmmain.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {
long long NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Probe : public QObject {
public:
    Probe(TfrmMain &window, std::FILE *out) : QObject(&window), m_window(window), m_out(out) {
        m_label = window.findChild<QLabel *>(QStringLiteral("pnl_IstPosition_int"));
        m_quitAfterPaint = qEnvironmentVariableIntValue("PIVOTA_BENCH_QUIT_AFTER_PAINT") == 1;
        qApp->installEventFilter(this);
        auto *dispatcher = QAbstractEventDispatcher::instance();
        connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] {
            if (m_busySince < 0) {
                m_busySince = NowUs();
            }
        });
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Idle(); });
        m_secondStart = NowUs();
    }
    ~Probe() override { std::fclose(m_out); }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            ++m_paints;
            const auto *widget = qobject_cast<QWidget *>(watched);
            if (!m_painted && widget && widget->window() == &m_window) {
                m_painted = true;
                // The first frame is complete once every widget of this first paint has drawn:
                // the next turn of the event loop.
                QTimer::singleShot(0, this, [this] {
                    std::fprintf(m_out, "paint %.3f\n", NowUs() / 1000.0);
                    std::fflush(m_out);
                    if (m_quitAfterPaint) {
                        QCoreApplication::quit();
                    }
                });
            }
        }
        return false;
    }

private:
    void Idle() {
        const long long now = NowUs();
        if (m_busySince >= 0) {
            m_gaps.push_back(now - m_busySince);
            m_busySince = -1;
        }
        m_maxWaiting = std::max(m_maxWaiting, m_window.port().QueryPortStatus());
        if (m_label && m_label->text() != m_shown) {
            m_shown = m_label->text();
            std::fprintf(m_out, "label %.3f %s\n", now / 1000.0, qPrintable(m_shown));
        }
        if (now - m_secondStart >= 1000000) {
            std::fprintf(m_out, "sec %.3f %d %d %lld ", now / 1000.0, m_paints,
                         m_window.state().Turning ? 1 : 0, static_cast<long long>(m_maxWaiting));
            for (size_t i = 0; i < m_gaps.size(); ++i) {
                std::fprintf(m_out, i ? ",%lld" : "%lld", m_gaps[i]);
            }
            std::fputc('\n', m_out);
            std::fflush(m_out);
            m_gaps.clear();
            m_paints = 0;
            m_maxWaiting = 0;
            m_secondStart = now;
        }
    }

    TfrmMain &m_window;
    std::FILE *m_out;
    QLabel *m_label = nullptr;
    QString m_shown;
    bool m_painted = false;
    bool m_quitAfterPaint = false;
    long long m_busySince = -1;
    long long m_secondStart = 0;
    int m_paints = 0;
    qint64 m_maxWaiting = 0;
    std::vector<long long> m_gaps;
};

void ScheduleActions(TfrmMain &window, const QString &actions) {
    for (const QString &item : actions.split(u',', Qt::SkipEmptyParts)) {
        const QString name = item.section(u'@', 0, 0);
        const int at = item.section(u'@', 1, 1).toInt();
        QTimer::singleShot(at, &window, [&window, name] {
            if (name == QLatin1String("start")) {
                window.btnStartClick();
            } else if (name == QLatin1String("turn")) {
                window.frameBedienung()->btn_left_endlosClick();
            } else if (name == QLatin1String("halt")) {
                window.frameBedienung()->btn_halt_Click();
            } else if (name == QLatin1String("quit")) {
                QCoreApplication::quit();
            }
        });
    }
}
} // namespace

void BenchProbe::InstallIfAsked(TfrmMain &window) {
    const QString path = qEnvironmentVariable("PIVOTA_BENCH_LOG");
    if (path.isEmpty()) {
        return;
    }
    std::FILE *out = std::fopen(path.toLocal8Bit().constData(), "w");
    if (!out) {
        return;
    }
    new Probe(window, out);
    ScheduleActions(window, qEnvironmentVariable("PIVOTA_BENCH_ACTIONS"));
}
