#include "ShownAndIdle.h"

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace
{

class FirstPaintWatcher : public QObject
{
public:
    FirstPaintWatcher(QWidget *window, std::function<void()> then)
        : QObject(window), m_window(window), m_then(std::move(then))
    {
        window->installEventFilter(this);
        // Queued from aboutToBlock, a handler would run after the loop woke
        // again; checking there and acting at once keeps the moment exact.
        m_connection = connect(QAbstractEventDispatcher::instance(),
                               &QAbstractEventDispatcher::aboutToBlock, this, [this] {
                                   if (!m_painted)
                                       return;
                                   disconnect(m_connection);
                                   m_then();
                               });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_then;
    QMetaObject::Connection m_connection;
    bool m_painted = false;
};

} // namespace

void whenShownAndIdle(QWidget *window, std::function<void()> then)
{
    new FirstPaintWatcher(window, std::move(then));
}

void finish(const QString &line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    std::_Exit(EXIT_SUCCESS);
}
