#include "controls/AccessibleControls.h"

#include "controls/BmpBtnX.h"
#include "controls/CmdX.h"
#include "controls/FrameX.h"
#include "controls/SliderEx.h"

namespace
{
class AccessiblePane : public QAccessibleWidget
{
public:
    explicit AccessiblePane(QWidget *pane)
        : QAccessibleWidget(pane, QAccessible::Grouping)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        return AccessibleControls::textOf(widget(), t, QAccessibleWidget::text(t));
    }
};

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    if (key == QLatin1String("CmdX") || key == QLatin1String("BmpBtnX"))
        return new AccessibleButton(static_cast<QWidget *>(object));
    if (key == QLatin1String("SliderEx"))
        return new AccessibleSlider(static_cast<SliderEx *>(object));
    if (key == QLatin1String("FrameX"))
        return new AccessiblePane(static_cast<QWidget *>(object));
    return nullptr;
}
} // namespace

namespace AccessibleControls
{
void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString textOf(const QWidget *w, QAccessible::Text t, const QString &own)
{
    if (!own.isEmpty() || (t != QAccessible::Name && t != QAccessible::Description))
        return own;
    return w->property("TipText").toString();
}
} // namespace AccessibleControls

AccessibleButton::AccessibleButton(QWidget *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

QString AccessibleButton::text(QAccessible::Text t) const
{
    return AccessibleControls::textOf(widget(), t, QAccessibleWidget::text(t));
}

QStringList AccessibleButton::actionNames() const
{
    return QStringList {pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleButton::doAction(const QString &actionName)
{
    if (actionName != pressAction() || !widget()->isEnabled()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    if (auto *cmd = qobject_cast<CmdX *>(widget()))
        cmd->click();
    else if (auto *bmp = qobject_cast<BmpBtnX *>(widget()))
        bmp->click();
}

AccessibleSlider::AccessibleSlider(SliderEx *slider)
    : QAccessibleWidget(slider, QAccessible::Slider)
{
}

SliderEx *AccessibleSlider::slider() const
{
    return static_cast<SliderEx *>(widget());
}

void *AccessibleSlider::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString AccessibleSlider::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return QString::number(slider()->reportedValue());
    return AccessibleControls::textOf(widget(), t, QAccessibleWidget::text(t));
}

QVariant AccessibleSlider::currentValue() const
{
    return slider()->reportedValue();
}

void AccessibleSlider::setCurrentValue(const QVariant &value)
{
    slider()->moveTo(value.toInt() - slider()->Min());
}

QVariant AccessibleSlider::maximumValue() const
{
    return slider()->Min() + slider()->Max();
}

QVariant AccessibleSlider::minimumValue() const
{
    return slider()->Min();
}

QVariant AccessibleSlider::minimumStepSize() const
{
    return 1;
}
