#ifndef FOCUSRING_H
#define FOCUSRING_H

#include <QPointer>
#include <QWidget>

// The frame that shows which control the keyboard works on. The buttons are
// pictures drawn by their style sheets, and the platform's own focus frame is
// switched off on them (it drew a dotted rectangle across the picture), so
// the window draws its own: a rounded ring just outside the control, blue on
// the light pages, white on the blue title band, whatever state the control
// itself is drawn in.
//
// As on Windows, the ring shows once the keyboard is used in the window and
// goes at the next mouse press: a technician who clicks sees the window as it
// always was.
class FocusRing : public QWidget
{
public:
    // Rings the focus widget of pWindow when bFollowFocus, else only what
    // Follow names.
    FocusRing(QWidget *pWindow, bool bFollowFocus);

    // The control to ring (none: no ring).
    void Follow(QWidget *pTarget);
    bool KeyboardMode() const { return m_bKeyboard; }
    void SetKeyboardMode(bool bKeyboard);

    // Property of a control on a dark background: the ring is white there.
    static constexpr const char *kOnDark = "kpFocusOnDark";
    // Property of a control with no room around it (a list row): the ring
    // lies just inside it.
    static constexpr const char *kInside = "kpFocusInside";
    // Property of a button or label wider than its caption (Qt::AlignHCenter,
    // Qt::AlignLeft or Qt::AlignRight, where the caption sits): the ring goes
    // round the caption.
    static constexpr const char *kHugsCaption = "kpFocusHugsCaption";

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Place();

    QWidget *m_pWindow;
    QPointer<QWidget> m_pTarget;
    bool m_bKeyboard = false;
    bool m_bFollowFocus = false;
};

#endif // FOCUSRING_H
