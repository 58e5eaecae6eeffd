#include "ui/CBusyAnimation.h"

#include <QPainter>

#include <algorithm>

namespace {
constexpr int kFrameMilliseconds = 90;
}

CBusyAnimation::CBusyAnimation(QWidget* parent) : QWidget(parent)
{
    m_timer.setInterval(kFrameMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &CBusyAnimation::advance);
}

bool CBusyAnimation::open(const QString& path)
{
    QPixmap strip(path);
    if (strip.isNull() || strip.height() <= 0 || strip.width() < strip.height()) {
        return false;
    }
    m_strip = strip;
    m_frameCount = strip.width() / strip.height();
    m_frame = 0;
    update();
    return true;
}

void CBusyAnimation::play()
{
    if (m_frameCount == 0) {
        return;
    }
    m_frame = 0;
    m_timer.start();
    update();
}

void CBusyAnimation::stop()
{
    m_timer.stop();
    m_frame = 0;
    update();
}

void CBusyAnimation::advance()
{
    m_frame = (m_frame + 1) % m_frameCount;
    update();
}

void CBusyAnimation::paintEvent(QPaintEvent* /*event*/)
{
    if (m_frameCount == 0) {
        return;
    }
    const int side = m_strip.height();
    const QRect source(m_frame * side, 0, side, side);
    const int target = std::min(width(), height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect((width() - target) / 2, (height() - target) / 2, target, target),
                       m_strip, source);
}
