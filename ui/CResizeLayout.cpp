#include "ui/CResizeLayout.h"

#include "ui/DialogUnits.h"

#include <QWidget>

#include <algorithm>
#include <climits>

void CResizeLayout::add(QWidget* control, Anchor anchor)
{
    m_entries.push_back({control, anchor, {}});
}

void CResizeLayout::record(const QSize& clientSize)
{
    m_recordedClient = clientSize;
    int left = INT_MAX;
    int right = INT_MIN;
    for (Entry& entry : m_entries) {
        entry.recorded = entry.control->geometry();
        left = std::min(left, entry.recorded.left());
        right = std::max(right, entry.recorded.x() + entry.recorded.width());
    }
    m_groupLeft = m_entries.empty() ? 0 : left;
    m_groupWidth = m_entries.empty() ? 0 : right - left;
}

void CResizeLayout::apply(const QSize& clientSize) const
{
    if (m_entries.empty()) {
        return;
    }
    QWidget* parent = m_entries.front().control->parentWidget();
    parent->setUpdatesEnabled(false);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        m_entries[i].control->setGeometry(placedRect(i, clientSize));
    }
    parent->setUpdatesEnabled(true); // repaints the dialog and its children once
}

QRect CResizeLayout::placedRect(std::size_t index, const QSize& clientSize) const
{
    const Entry& entry = m_entries.at(index);
    const int dx = clientSize.width() - m_recordedClient.width();
    const int dy = clientSize.height() - m_recordedClient.height();
    const QRect& r = entry.recorded;
    const int left = mapX(r.x(), dx);
    if (entry.anchor == Anchor::Stretch) {
        const int right = mapX(r.x() + r.width(), dx);
        return {left, r.y(), right - left, r.height() + dy};
    }
    return {left, r.y() + dy, r.width(), r.height()};
}

int CResizeLayout::mapX(int x, int dx) const
{
    if (m_groupWidth <= 0) {
        return x + dx;
    }
    return m_groupLeft + ui::mulDiv(x - m_groupLeft, m_groupWidth + dx, m_groupWidth);
}
