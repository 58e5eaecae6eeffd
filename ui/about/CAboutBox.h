#pragma once

#include <QDialog>

class CCreditsScroller;

// The borderless About window: 286 by 137 dialog units, centred over its parent, filled by
// the credits scroller, closed by a left click anywhere, Enter or Escape.
class CAboutBox : public QDialog
{
    Q_OBJECT

public:
    // Builds the credits from the program's own version information.
    explicit CAboutBox(QWidget* parent = nullptr);

    // The About command: shows a fresh box modally over `parent` and returns when it closes.
    static void showModal(QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void centreOverParent();

    CCreditsScroller* m_scroller = nullptr;
};
