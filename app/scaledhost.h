#ifndef SCALEDHOST_H
#define SCALEDHOST_H

#include <QGraphicsView>
#include <QPoint>

class QGraphicsProxyWidget;
class QGraphicsScene;

// The main window, shown smaller than it is laid out, on a screen too small
// for it (a 1366 x 768 laptop, 1024 x 768).
//
// Qt's own scaling cannot go below 1 for widgets: Qt 5's painter takes a
// device pixel ratio below 1 as 1, so a window scaled that way comes out at
// the smaller size with its contents drawn unscaled and cut off. Here the
// window is drawn through a graphics view that scales it instead; its
// children, clicks, keys and pop-ups work as in the window itself.
//
// The host is the top-level window the system sees (title, taskbar entry,
// frameless and translucent like the window). It plays the window's own
// frame: a press that nothing in the window takes drags the host, the
// window's minimise button minimises it, the window's close (its button, or
// an upgrade's question answered) closes it, and closing the host (Alt+F4,
// taskkill) asks the window first. Dialogs the window opens are centred on
// the host.
class ScaledHost : public QGraphicsView
{
    Q_OBJECT

public:
    ScaledHost(QWidget *pWindow, qreal rFactor);
    ~ScaledHost() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void SetTitle(const QString &sTitle);

    QWidget *m_pWindow;
    QGraphicsScene *m_pScene;
    QGraphicsProxyWidget *m_pProxy;
    bool m_bDragging = false;
    QPoint m_ptGrab; // the press, from the host's corner
};

#endif // SCALEDHOST_H
