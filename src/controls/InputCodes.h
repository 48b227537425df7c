#pragma once
// The small integer codes the toolkit's control events carry: mouse buttons
// (1 left, 2 right, 4 middle), the shift state (1 Shift, 2 Ctrl, 4 Alt), key
// codes as virtual-key numbers, and the numbered pointer shapes a control's
// MousePointer property accepts. Handlers written against these codes stay
// independent of Qt's enums.

#include <QCursor>
#include <QKeyEvent>
#include <QtGlobal>
#include <optional>

namespace InputCodes
{

enum : qint16 { LeftButton = 1, RightButton = 2, MiddleButton = 4 };
enum : qint16 { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

qint16 buttonCode(Qt::MouseButton button);
qint16 shiftCode(Qt::KeyboardModifiers modifiers);

// Virtual-key number of a Qt key; letters and digits keep their upper-case
// character code. 0 for keys without one.
qint16 keyCode(int qtKey);

// Pointer shape for a MousePointer value (0 default … 15 size-all); no value
// for codes that name no shape, which callers reject.
std::optional<Qt::CursorShape> cursorShape(int mousePointer);

// Whether a key press clicks a focused push button: Space, Return or Enter
// without Ctrl or Alt, and not a held key repeating.
bool isPressKey(const QKeyEvent *event);

// Whether a control shows its focus mark after a focus change for `reason`:
// focus reached from the keyboard shows it, a click hides it, and the window
// losing or regaining activation leaves it as it was (`before`).
bool focusMarkAfter(Qt::FocusReason reason, bool gained, bool before);

} // namespace InputCodes
