#pragma once
// Printing the text box's text on the default printer: "Courier New" at 9
// points (or the face the system puts in its place), one printed line per
// line of the text from the top-left of the printable area, a new page when
// the next line would pass the bottom, and lines longer than the page cut at
// its right edge, not wrapped. No dialog, no header, footer or page numbers.
//
// The printer comes from a factory, so tests print to a PDF file.

#include <QString>
#include <functional>
#include <memory>

class QPrinter;
class QWidget;

class TextPrint
{
public:
    // Makes the printer to print on; null when there is none.
    using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;

    explicit TextPrint(QWidget *owner, PrinterFactory factory = {});

    // Prints text. With no printer, or when the printer fails, the user is
    // told and false returned; the text is never touched.
    bool Cmd_PrintDC(const QString &text);

    // The default printer, or null when the system has none.
    static std::unique_ptr<QPrinter> defaultPrinter();

    // Lays text out on printer's pages; false when the printer cannot start.
    static bool PrintText(QPrinter &printer, const QString &text);

    static QString noPrinterText();
    static QString failedText();

private:
    QWidget *m_Owner;
    PrinterFactory m_Factory;
};
