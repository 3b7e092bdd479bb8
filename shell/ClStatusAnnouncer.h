#pragma once

#include <QWidget>

// Tells assistive technology what changed on its own (recording started, battery low, the
// session lost) without moving the focus: a screen reader speaks a notification when it shows.
// One per window, made on first use; it takes no room and paints nothing.
class ClStatusAnnouncer : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ClStatusAnnouncer)

public:
    // Announces the text from the window the widget is in.
    static void announce(QWidget* pclFrom, const QString& strText);
    // The window's announcer, or nullptr before its first announcement.
    static ClStatusAnnouncer* of(QWidget* pclFrom);

    QString text() const { return strText; }

private:
    explicit ClStatusAnnouncer(QWidget* pclWindow);

    QString strText;
};
