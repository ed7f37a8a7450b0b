#pragma once

#include <QHash>
#include <QProxyStyle>

namespace Nimbrel
{

// The application's style, with check box and option button indicators that
// stand out from the window: where the style draws an indicator that has
// too little contrast with the window (as some do under dark colour schemes,
// and some under light ones), an outline that has enough is drawn around it.
// Indicators that already stand out are left as the style draws them.
class IndicatorStyle : public QProxyStyle
{
    Q_OBJECT
public:
    IndicatorStyle();

    // The one instance, for the windows' check boxes and option buttons.
    static QStyle *shared();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    bool standsOut(PrimitiveElement element, const QStyleOption &option,
                   const QWidget *widget) const;

    // Whether the style's own indicator stands out, by what decides it.
    mutable QHash<QString, bool> m_standsOut;
};

} // namespace Nimbrel
