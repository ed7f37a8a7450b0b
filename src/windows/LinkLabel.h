#pragma once

#include <QLabel>

namespace Nimbrel
{

// A label used as a link. It opens on a left click released over it, and
// from the keyboard with Enter or Space once Tab has reached it; it shows
// when it has the focus, and screen readers are told it is a link.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void activated();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Nimbrel
