#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

// Keeps a dialog's controls placed as the dialog is resized. All controls form one
// horizontal group: every recorded x-coordinate is stretched in proportion to its distance
// from the group's left edge, so the gaps between controls grow with the window.
class CResizeLayout
{
public:
    enum class Anchor
    {
        Stretch, // both horizontal edges follow the group; the bottom follows the window
        Move,    // the left edge follows the group, the size stays; moves down with the window
    };

    // Adds a control; its rectangle is taken by record().
    void add(QWidget* control, Anchor anchor);

    // Takes the current rectangles of the controls and `clientSize` as the layout's origin.
    void record(const QSize& clientSize);

    // Places every control for a client area of `clientSize`, with the parent's drawing
    // suspended while they move and one repaint after.
    void apply(const QSize& clientSize) const;

    // Where control `index` (in the order added) goes for `clientSize`.
    QRect placedRect(std::size_t index, const QSize& clientSize) const;

private:
    struct Entry
    {
        QWidget* control;
        Anchor anchor;
        QRect recorded;
    };

    int mapX(int x, int dx) const;

    std::vector<Entry> m_entries;
    QSize m_recordedClient;
    int m_groupLeft = 0;
    int m_groupWidth = 0;
};
