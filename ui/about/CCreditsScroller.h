#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

// The About box's one control: credits scrolling upward, one pixel per 40 ms tick, inside the
// window that the mask cuts into the background picture. Every frame is composed off-screen
// and reaches the screen in one copy, so the picture does not flicker.
class CCreditsScroller : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kCreditsWidth = 220;
    static constexpr int kCreditsHeight = 468;
    static constexpr int kTickMs = 40;

    explicit CCreditsScroller(QWidget* parent = nullptr);

    // Line-feed separated credits with their style markers; takes effect at the next start().
    void setCreditsText(const std::string& text);

    // Renders the credits, loads the pictures, puts the credits at the bottom edge of the
    // control and starts the timer. Called once per opening of the box.
    void start();

    // Draws the credits text into the credits surface, breaking a line too wide for the
    // mask's window. Returns the top of every line drawn, in pixels: each advances by its
    // font's full height, whatever its length.
    std::vector<int> renderCredits();

    // Composes the next frame into the back buffer and schedules its copy to the screen.
    void animateFrame();

    const QImage& credits() const { return m_credits; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Composes the frame for the current creditsTop into the back buffer; returns the height
    // of the credits copied.
    int composeFrame();

    QImage m_mask;
    QImage m_background;
    QImage m_backBuffer;
    QImage m_credits;
    QImage m_workBuffer;
    int m_creditsTop = 0;
    std::string m_creditsText;
    QTimer m_timer;
};
