#include "shell/ClStatusAnnouncer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// A notification named after the last announcement.
class ClAccessibleAnnouncer : public QAccessibleWidget
{
public:
    explicit ClAccessibleAnnouncer(ClStatusAnnouncer* pclAnnouncer)
        : QAccessibleWidget(pclAnnouncer, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text eText) const override
    {
        if (eText == QAccessible::Name)
            return static_cast<ClStatusAnnouncer*>(widget())->text();
        return QAccessibleWidget::text(eText);
    }
};

QAccessibleInterface* announcerFactory(const QString& strClassName, QObject* pclObject)
{
    if (strClassName == QLatin1String("ClStatusAnnouncer") && pclObject && pclObject->isWidgetType())
        return new ClAccessibleAnnouncer(static_cast<ClStatusAnnouncer*>(pclObject));
    return nullptr;
}

} // namespace

ClStatusAnnouncer::ClStatusAnnouncer(QWidget* pclWindow)
    : QWidget(pclWindow)
{
    static const bool bInstalled = [] {
        QAccessible::installFactory(announcerFactory);
        return true;
    }();
    Q_UNUSED(bInstalled)
    setObjectName(QStringLiteral("statusAnnouncer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
}

ClStatusAnnouncer* ClStatusAnnouncer::of(QWidget* pclFrom)
{
    if (!pclFrom)
        return nullptr;
    return pclFrom->window()->findChild<ClStatusAnnouncer*>(QString(), Qt::FindDirectChildrenOnly);
}

void ClStatusAnnouncer::announce(QWidget* pclFrom, const QString& strText)
{
    if (!pclFrom || strText.isEmpty())
        return;
    ClStatusAnnouncer* pclAnnouncer = of(pclFrom);
    if (!pclAnnouncer)
        pclAnnouncer = new ClStatusAnnouncer(pclFrom->window());
    pclAnnouncer->strText = strText;
    QAccessibleEvent clNamed(pclAnnouncer, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&clNamed);
    // Showing anew is what makes a screen reader speak a notification, a repeated one too.
    pclAnnouncer->hide();
    if (pclFrom->window()->isVisible())
        pclAnnouncer->show();
}
