#include "ui/about/CAboutBox.h"

#include "ui/about/CCreditsScroller.h"
#include "ui/about/CreditsText.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

namespace {

// The box is exactly as big as its picture. That is what its 286 by 137 dialog units come to
// in the 8-point dialog font it was drawn for (6 by 13 pixel base units); converting them with
// a substitute font's metrics instead would leave a band unpainted or crop the footer.
const QSize kBoxSize(428, 224);

} // namespace

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("aboutBox"));
    setModal(true);
    setFixedSize(kBoxSize);

    m_scroller = new CCreditsScroller(this);
    m_scroller->setGeometry(rect());
    m_scroller->setCreditsText(about::creditsText(
        about::readVersionInfo(about::programVersionResource()), about::programHomepage()));
}

void CAboutBox::showModal(QWidget* parent)
{
    CAboutBox box(parent);
    box.exec();
}

void CAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreOverParent();
        m_scroller->start();
    }
}

void CAboutBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CAboutBox::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void CAboutBox::centreOverParent()
{
    QRect area;
    if (parentWidget() != nullptr) {
        area = parentWidget()->window()->frameGeometry();
    } else if (screen() != nullptr) {
        area = screen()->availableGeometry();
    }
    if (area.isValid()) {
        move(area.center() - rect().center());
    }
}
