#pragma once

#include <QFrame>

namespace Nimbrel
{

// One line of a separator: a plain filled strip of one colour. Screen
// readers are told it is a separator rather than an unnamed frame.
class SeparatorLine : public QFrame
{
    Q_OBJECT
public:
    explicit SeparatorLine(QWidget *parent = nullptr);
    void setColour(const QColor &colour);
};

} // namespace Nimbrel
