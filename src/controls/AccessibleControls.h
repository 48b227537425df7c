#pragma once
// What screen readers see of the owner-drawn controls: the command and
// picture buttons as push buttons with a Press action, the sliders as
// sliders with a value, the panes as groups. A control's name is its
// accessible name (its caption, or what the window names it); where that is
// empty the hint it keeps in "TipText" stands in, so a hint moved into a
// tooltip window still names and describes the control.

#include <QAccessibleWidget>

class SliderEx;

class AccessibleButton : public QAccessibleWidget
{
public:
    explicit AccessibleButton(QWidget *button);
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
};

class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleSlider(SliderEx *slider);
    void *interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    SliderEx *slider() const;
};

namespace AccessibleControls
{
// Registers the interfaces above with Qt; later calls do nothing.
void install();
// The name or description of `w` with the "TipText" fallback.
QString textOf(const QWidget *w, QAccessible::Text t, const QString &own);
} // namespace AccessibleControls
