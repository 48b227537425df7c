#include "shell/documents/TextPrint.h"

#include "shell/MessageBox.h"
#include "system/Log.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace
{
QFont printerFont()
{
    QFont font(QStringLiteral("Courier New"));
    // When the face is missing the substitute is a fixed-pitch one too.
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9.0);
    return font;
}
} // namespace

TextPrint::TextPrint(QWidget *owner, PrinterFactory factory)
    : m_Owner(owner)
    , m_Factory(factory ? std::move(factory) : PrinterFactory(&TextPrint::defaultPrinter))
{
}

std::unique_ptr<QPrinter> TextPrint::defaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

bool TextPrint::Cmd_PrintDC(const QString &text)
{
    std::unique_ptr<QPrinter> printer = m_Factory();
    if (!printer || !printer->isValid()) {
        qCInfo(lcDocument) << "no default printer";
        MessageBox::show(
            noPrinterText(), MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok, m_Owner);
        return false;
    }
    if (!PrintText(*printer, text) || printer->printerState() == QPrinter::Error) {
        qCWarning(lcDocument) << "printing on" << printer->printerName() << "failed";
        MessageBox::show(
            failedText(), MessageBox::Icon::Exclamation, MessageBox::Buttons::Ok, m_Owner);
        return false;
    }
    return true;
}

bool TextPrint::PrintText(QPrinter &printer, const QString &text)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(printerFont());
    const QFontMetricsF metrics(painter.font(), &printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    // The painter's origin is the printable area's top-left corner.
    const QRectF area(0, 0, page.width(), page.height());
    const qreal lineHeight = metrics.lineSpacing();
    painter.setClipRect(area);
    // Lines are cut at the right edge; more characters than could ever be
    // seen there are not laid out at all, however long the line.
    const qsizetype visibleChars = qsizetype(area.width() / metrics.averageCharWidth()) * 2 + 16;

    qreal top = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1String("\r\n"), from);
        const qsizetype length = (end < 0 ? text.size() : end) - from;
        const QString line = text.mid(from, std::min(length, visibleChars));
        if (top > 0 && top + lineHeight > area.height()) {
            if (!printer.newPage())
                return false;
            top = 0;
        }
        painter.drawText(QPointF(0, top + metrics.ascent()), line);
        top += lineHeight;
        if (end < 0)
            break;
        from = end + 2;
    }
    return painter.end();
}

QString TextPrint::noPrinterText()
{
    return QStringLiteral("找不到預設的印表機，無法列印。");
}

QString TextPrint::failedText()
{
    return QStringLiteral("列印失敗，請檢查印表機。");
}
