#include "gui/help/helpwindow.h"

#include "gui/common/named.h"
#include "gui/help/manual.h"

#include <QHBoxLayout>
#include <QImage>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
// Sized for reading; the tabs' pictures are shown smaller than the window they show.
constexpr int StartWidth = 820;
constexpr int StartHeight = 700;

// The width the manual gives a picture (its "width" attribute), or 0 where it gives none.
qreal ShownWidth(const QTextDocument &document, const QUrl &picture) {
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFormat format = it.fragment().charFormat();
            if (format.isImageFormat() &&
                QUrl(format.toImageFormat().name()).fileName() == picture.fileName()) {
                return format.toImageFormat().width();
            }
        }
    }
    return 0;
}

// Qt's text browser scales a picture to its width pixel by pixel, which makes the small texts of
// a window's picture hard to read: the manual's pictures come smoothly scaled to the width they
// are shown at, in the screen's pixels.
class ManualBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

protected:
    QVariant loadResource(int type, const QUrl &name) override {
        const QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::ImageResource) {
            return resource;
        }
        QImage picture;
        if (!picture.loadFromData(resource.toByteArray())) {
            return resource;
        }
        const qreal width = ShownWidth(*document(), name) * devicePixelRatioF();
        if (width < 1 || width >= picture.width()) {
            return picture;
        }
        QImage scaled = picture.scaledToWidth(qRound(width), Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(devicePixelRatioF());
        return scaled;
    }
};
} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHandbuch"));
    setWindowTitle(tr("Pivota – Handbuch"));
    auto *layout = new QVBoxLayout(this);
    auto *buttons = new QHBoxLayout;
    btnInhalt = Named(new QPushButton(tr("Inhalt"), this), "btnInhalt");
    btnZurueck = Named(new QPushButton(tr("Zurück"), this), "btnZurueck");
    btnVor = Named(new QPushButton(tr("Vor"), this), "btnVor");
    for (QPushButton *b : {btnInhalt, btnZurueck, btnVor}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    m_browser = Named(new ManualBrowser(this), "HandbuchText");
    // Links lead only within the manual; nothing is opened outside the program.
    m_browser->setOpenExternalLinks(false);
    layout->addWidget(m_browser);
    btnZurueck->setEnabled(false);
    btnVor->setEnabled(false);
    connect(btnInhalt, &QPushButton::clicked, this, [this] { ShowSection(); });
    connect(btnZurueck, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(btnVor, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, btnZurueck, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, btnVor, &QPushButton::setEnabled);
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(StartWidth, StartHeight);
}

void HelpWindow::ShowSection(const QString &section) {
    // Shown first: the browser scrolls to an anchor once it is laid out.
    show();
    raise();
    activateWindow();
    m_browser->setSource(Manual::Url(Manual::LanguageCode(), section));
}
