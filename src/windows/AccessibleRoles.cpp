#include "windows/AccessibleRoles.h"

#include "windows/LinkLabel.h"
#include "windows/SeparatorLine.h"

#include <QAccessibleWidget>

namespace Nimbrel
{

namespace
{

class AccessibleLink : public QAccessibleWidget
{
public:
    explicit AccessibleLink(LinkLabel *link) : QAccessibleWidget(link, QAccessible::Link) {}

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && widget()->isEnabled())
            emit static_cast<LinkLabel *>(widget())->activated();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *accessibleRole(const QString &, QObject *object)
{
    if (auto *link = qobject_cast<LinkLabel *>(object))
        return new AccessibleLink(link);
    // By class name: the main window uses these roles, and a rule of the
    // windows' layer does not depend on the window that installs it.
    if (object->inherits("Nimbrel::MainForm"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (auto *line = qobject_cast<SeparatorLine *>(object))
        return new QAccessibleWidget(line, QAccessible::Separator);
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleRole);
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace Nimbrel
