#pragma once
// The one way the program shows a message box. Tests install a handler that
// records the call and answers, so no test ever waits on a real dialog.

#include <QString>
#include <functional>

class QWidget;

namespace MessageBox
{

enum class Icon { Information, Exclamation, Question, Critical, None };
enum class Buttons { Ok, YesNoCancel, YesNo, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };

using Handler = std::function<Answer(Icon, Buttons, const QString &text, const QString &title)>;

// Shows the box (or asks the installed handler) and returns the answer. An
// empty title shows the program's own.
Answer show(const QString &text, Icon icon = Icon::Exclamation, Buttons buttons = Buttons::Ok,
    QWidget *parent = nullptr, const QString &title = QString());

// Replaces the real dialog; an empty handler restores it.
void setHandler(Handler handler);

// Once the program is told to terminate no box is shown: the text goes to the
// log and show() answers at once (Ok, or No where that is a choice).
void setTerminating(bool terminating);
bool isTerminating();

} // namespace MessageBox
