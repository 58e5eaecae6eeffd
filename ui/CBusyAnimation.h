#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

// The small busy animation beside the Scan button: square frames laid side by side in one
// picture, shown one after the other on a timer. Draws nothing until a picture is opened;
// the background shows through.
class CBusyAnimation : public QWidget
{
    Q_OBJECT

public:
    explicit CBusyAnimation(QWidget* parent = nullptr);

    // Takes the frames from the picture at `path` (each as wide as the picture is high) and
    // shows the first one. False, leaving the control empty, when it cannot be read.
    bool open(const QString& path);

    // Plays from the first frame to the last, over and over.
    void play();
    // Stops and shows the first frame.
    void stop();

    bool isPlaying() const { return m_timer.isActive(); }
    int frameCount() const { return m_frameCount; }
    int currentFrame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void advance();

    QPixmap m_strip;
    QTimer m_timer;
    int m_frameCount = 0;
    int m_frame = 0;
};
