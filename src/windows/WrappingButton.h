#pragma once

#include <QPushButton>

namespace Nimbrel
{

// A push button whose caption wraps onto as many lines as its width needs.
class WrappingButton : public QPushButton
{
    Q_OBJECT
public:
    explicit WrappingButton(const QString &text, QWidget *parent = nullptr);

    // The narrowest text width at which the caption fits on two lines, broken
    // between words.
    int twoLineTextWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Nimbrel
