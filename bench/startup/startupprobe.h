// SPDX-License-Identifier: GPL-3.0-or-later
// What a start-up run reports to the benchmark, one "name value" line each on
// stdout: times on the monotonic clock the benchmark started it by, memory in KiB.
#pragma once

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace StartupProbe {

inline double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The most this process has had resident so far.
inline long peakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

inline void report(const char *name, double value)
{
    std::printf("%s %.3f\n", name, value);
    std::fflush(stdout);
}

// Reports "painted" once the window's area shows something drawn on the screen
// itself: the picture is read back from the display server, so a frame still on
// its way there does not count.
class FirstPaint final : public QObject
{
public:
    FirstPaint(QWidget *window, QRect area, std::function<void()> then)
        : QObject(window), m_window(window), m_area(area), m_then(std::move(then))
    {
        m_window->windowHandle()->installEventFilter(this);
        m_poll.setInterval(1);
        connect(&m_poll, &QTimer::timeout, this, &FirstPaint::check);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Expose)
            return false;
        // The window handles its expose (and paints) first; the picture is read right after.
        static_cast<QObject *>(watched)->event(event);
        check();
        return true;
    }

private:
    void check()
    {
        if (m_done)
            return;
        const QImage shot = m_window->screen()
                                 ->grabWindow(m_window->winId(), m_area.x(), m_area.y(), m_area.width(), m_area.height())
                                 .toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height() && colours.size() < 3; y += 2)
            for (int x = 0; x < shot.width() && colours.size() < 3; x += 2)
                colours.insert(shot.pixel(x, y));
        if (colours.size() < 3) { // one background, or a frame: nothing written yet
            m_poll.start();
            return;
        }
        m_done = true;
        m_poll.stop();
        report("painted", nowMs());
        report("peak_painted", double(peakKiB()));
        m_window->windowHandle()->removeEventFilter(this);
        if (m_then)
            m_then();
    }

    QWidget *m_window;
    QRect m_area;
    std::function<void()> m_then;
    QTimer m_poll;
    bool m_done = false;
};

} // namespace StartupProbe
