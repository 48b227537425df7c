#pragma once
// The demo's one window: live controls to point at, press and tab through,
// beside still pictures of each control's faces in every state, and a log
// of the events the live controls raise.

#include <QWidget>

class CTooltip;
class QPlainTextEdit;
class QGridLayout;

class DemoWindow : public QWidget
{
    Q_OBJECT
public:
    explicit DemoWindow(QWidget *parent = nullptr);
    ~DemoWindow() override;

private:
    QWidget *buildCommandButtons();
    QWidget *buildBitmapButtons();
    QWidget *buildPanesAndSliders();
    QWidget *buildTooltipFaces();
    void log(const QString &line);

    QPlainTextEdit *m_Log = nullptr;
    QList<CTooltip *> m_Tooltips;
};
