#include "ui/about/CCreditsScroller.h"

#include "ui/about/CreditsText.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include <string_view>

// Resources of a static library are registered by hand; the macro must not sit in a namespace.
static void initAboutResources()
{
    Q_INIT_RESOURCE(about);
}

namespace {

const int kPictureWidth = 428;
const int kPictureHeight = 224;
// Where the credits' left edge sits in the picture, and how much of their width the mask's
// window (columns 137 to 355) shows.
const int kCreditsLeft = 169;
const int kVisibleWidth = 355 - kCreditsLeft + 1;
// The copy height is kCopyBase - creditsTop; once it exceeds kRestartHeight the credits have
// risen 332 pixels above the control's top and start again from the bottom edge.
const int kCopyBase = 368;
const int kRestartHeight = 700;

QImage loadPicture(const QString& path)
{
    QImage picture = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull()) {
        // Cannot happen with the resources linked in; a white picture keeps the box usable.
        picture = QImage(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    return picture;
}

// Arial by name; fontconfig substitutes a metric-compatible face where Arial is absent.
QFont creditsFont(about::LineStyle style)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(style == about::LineStyle::Heading ? 20 : 14);
    const bool bold = style == about::LineStyle::Heading || style == about::LineStyle::Subheading;
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QColor creditsColour(about::LineStyle style)
{
    switch (style) {
    case about::LineStyle::Link:
        return QColor(0, 0, 255);
    case about::LineStyle::Heading:
        return QColor(68, 119, 187);
    case about::LineStyle::Subheading:
    case about::LineStyle::Body:
        break;
    }
    return QColor(0, 0, 0);
}

} // namespace

CCreditsScroller::CCreditsScroller(QWidget* parent) : QWidget(parent)
{
    initAboutResources();
    setObjectName(QStringLiteral("creditsScroller"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &CCreditsScroller::animateFrame);
}

void CCreditsScroller::setCreditsText(const std::string& text)
{
    m_creditsText = text;
}

void CCreditsScroller::start()
{
    renderCredits();
    m_mask = loadPicture(QStringLiteral(":/about/mask.png"));
    m_background = loadPicture(QStringLiteral(":/about/background.png"));
    m_backBuffer = QImage(m_background.size(), QImage::Format_RGB32);
    m_workBuffer = QImage(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    m_creditsTop = height();
    composeFrame(); // so that the first paint shows the picture, not an unfilled buffer
    m_timer.start();
}

std::vector<int> CCreditsScroller::renderCredits()
{
    m_credits = QImage(kCreditsWidth, kCreditsHeight, QImage::Format_RGB32);
    m_credits.fill(Qt::white);
    QPainter painter(&m_credits);
    std::vector<int> tops;
    int top = 0;
    for (const std::string& text : about::creditsLines(m_creditsText)) {
        const about::CreditsLine line = about::classifyCreditsLine(text);
        painter.setFont(creditsFont(line.style));
        painter.setPen(creditsColour(line.style));
        const QFontMetrics metrics = painter.fontMetrics();
        const auto fits = [&](std::string_view piece) {
            return metrics.horizontalAdvance(QString::fromLocal8Bit(piece)) <= kVisibleWidth;
        };
        for (const std::string& piece : about::breakCreditsLine(line.text, fits)) {
            // No mnemonic flag: an ampersand is drawn as it stands.
            painter.drawText(QRect(0, top, kCreditsWidth, kCreditsHeight - top),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             QString::fromLocal8Bit(piece));
            tops.push_back(top);
            top += metrics.height();
        }
    }
    return tops;
}

void CCreditsScroller::animateFrame()
{
    const int heightUsed = composeFrame();
    --m_creditsTop;
    if (heightUsed > kRestartHeight) {
        m_creditsTop = height();
    }
    update();
}

int CCreditsScroller::composeFrame()
{
    const QRect area(0, 0, width(), height());
    QPainter back(&m_backBuffer);
    back.setCompositionMode(QPainter::CompositionMode_Source);
    back.drawImage(area.topLeft(), m_background, area);

    const int heightUsed = kCopyBase - m_creditsTop;
    QPainter work(&m_workBuffer);
    work.fillRect(area, Qt::white);
    work.drawImage(QPoint(kCreditsLeft, m_creditsTop), m_credits,
                   QRect(0, 0, kCreditsWidth, heightUsed));
    // The mask's white turns everything outside its black window white ...
    work.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    work.drawImage(area.topLeft(), m_mask, area);
    work.end();
    // ... so white leaves the background as it is and the credits darken it in the window.
    back.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    back.drawImage(area.topLeft(), m_workBuffer, area);
    return heightUsed;
}

void CCreditsScroller::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect().topLeft(), m_backBuffer, event->rect());
}
