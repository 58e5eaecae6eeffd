// Draws the About box's two pictures, 428 by 224 pixels each:
//   background.png: title artwork, a faint sample of a game transcript, a label inviting the
//                   user to close the box and a footer bar with the web address;
//   mask.png:       white, except the black window (columns 137 to 355, rows 49 to 200) in
//                   which the credits show.
// Usage: make-pictures <output folder> <web address>. The pictures are committed; run this
// (the about_pictures target) only to change them.

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

const QSize kSize(428, 224);
const QRect kWindow(137, 49, 219, 152); // both ends included: 137..355, 49..200

const QColor kNavy(29, 43, 69);
const QColor kGold(232, 193, 90);
const QColor kPaper(244, 239, 226);
const QColor kWindowPaper(255, 255, 255);
const QColor kFaintInk(196, 188, 170);
const QColor kInk(70, 62, 50);

QFont sansFont(int pixels, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void drawTitleBand(QPainter& painter)
{
    QLinearGradient band(0, 0, 0, 42);
    band.setColorAt(0, kNavy.lighter(140));
    band.setColorAt(1, kNavy);
    painter.fillRect(QRect(0, 0, kSize.width(), 42), band);
    painter.fillRect(QRect(0, 42, kSize.width(), 2), kGold);

    const QFont title = sansFont(28, true);
    painter.setFont(title);
    painter.setPen(QColor(0, 0, 0, 120));
    painter.drawText(QPoint(14, 33), QStringLiteral("QueltImport"));
    painter.setPen(kGold);
    painter.drawText(QPoint(12, 31), QStringLiteral("QueltImport"));

    painter.setFont(sansFont(11, false, true));
    painter.setPen(QColor(190, 205, 230));
    painter.drawText(QRect(200, 0, 216, 42), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("finds your story files"));
}

void drawTranscript(QPainter& painter)
{
    static const char* const kLines[] = {
        "HARBOUR STEPS",
        "Wet stone stairs lead",
        "down to black water. A",
        "lantern hangs from an",
        "iron hook.",
        "",
        "> take lantern",
        "Taken.",
        "> light it",
        "The wick catches, and",
        "shadows climb the wall.",
        "> go down",
        "The tide is coming in.",
    };
    painter.setFont(sansFont(9));
    painter.setPen(kFaintInk);
    int top = 50;
    for (const char* line : kLines) {
        painter.drawText(QPoint(8, top + 9), QString::fromLatin1(line));
        top += 10;
    }
}

void drawCloseLabel(QPainter& painter)
{
    painter.setFont(sansFont(10, true, true));
    painter.setPen(kInk);
    painter.drawText(QRect(4, 180, 128, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Click to close"));
}

// A magnifying glass over a page: the program looking at a story file.
void drawEmblem(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(kWindowPaper);
    painter.drawRect(QRectF(368.5, 70.5, 40, 52));
    painter.setFont(sansFont(30, true));
    painter.setPen(kNavy);
    painter.drawText(QRectF(368, 70, 40, 52), Qt::AlignCenter, QStringLiteral("Z"));
    painter.setPen(QPen(kGold.darker(130), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(405, 128), QPointF(418, 142));
    painter.setPen(QPen(kInk, 3));
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawEllipse(QPointF(396, 116), 14, 14);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void drawFooter(QPainter& painter, const QString& address)
{
    const QRect bar(0, 206, kSize.width(), kSize.height() - 206);
    painter.fillRect(bar, kNavy);
    painter.fillRect(QRect(0, 205, kSize.width(), 1), kGold);
    painter.setFont(sansFont(11));
    painter.setPen(QColor(220, 228, 240));
    painter.drawText(bar, Qt::AlignCenter, address);
}

QImage background(const QString& address)
{
    QImage picture(kSize, QImage::Format_RGB32);
    picture.fill(kPaper);
    QPainter painter(&picture);
    drawTitleBand(painter);
    drawTranscript(painter);
    drawCloseLabel(painter);
    drawEmblem(painter);
    // The credits darken the picture, so their window is plain white in a thin frame.
    painter.setPen(kInk);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(kWindow.adjusted(-1, -1, 0, 0));
    painter.fillRect(kWindow, kWindowPaper);
    drawFooter(painter, address);
    return picture;
}

QImage mask()
{
    QImage picture(kSize, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(kWindow, Qt::black);
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-pictures <output folder> <web address>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString address = QString::fromLocal8Bit(argv[2]);
    const bool written = background(address).save(folder + QStringLiteral("/background.png")) &&
                         mask().save(folder + QStringLiteral("/mask.png"));
    if (!written) {
        std::fprintf(stderr, "make-pictures: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
