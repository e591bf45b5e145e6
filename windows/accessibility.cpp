#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace windows {
namespace {

QAccessibleInterface* ProgramRoles(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (className == QLatin1String("windows::TForm1") || className == QLatin1String("windows::Thtv"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("windows::Panel")) return new QAccessibleWidget(widget, QAccessible::Pane);
    return nullptr;
}

}  // namespace

void InstallAccessibleRoles() {
    static const bool installed = [] {
        QAccessible::installFactory(ProgramRoles);
        return true;
    }();
    (void)installed;
}

}  // namespace windows
