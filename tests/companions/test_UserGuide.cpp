// The user guide as the build renders it: a PDF with pages, whose text is
// the Traditional Chinese of its source, ideographs and not radicals, and
// names every hot key.

#include <poppler-document.h>
#include <poppler-page.h>

#include <QtTest>
#include <memory>

class TestUserGuide : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void guideHasPagesAndItsText()
    {
        std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(USER_GUIDE_PDF));
        QVERIFY2(pdf, USER_GUIDE_PDF);
        QVERIFY(pdf->pages() >= 10);
        QString text;
        for (int i = 0; i < pdf->pages(); ++i) {
            std::unique_ptr<poppler::page> page(pdf->create_page(i));
            const poppler::byte_array utf8 = page->text().to_utf8();
            text += QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        }
        for (const char *expected : {"使用手冊", "快速鍵", "自訂發音", "語音提示", "Parlo_Cfg.ini"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        for (const char *key : {"H", "L", "P", "Y", "G", "T", "R", "O", "S", "F", "J", "W"})
            QVERIFY2(text.contains(QStringLiteral("Ctrl-") + QLatin1String(key)), key);
        QVERIFY(text.contains(QStringLiteral("F3")));
        // Copied or searched text is the ideographs, not the look-alike radicals.
        QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[\\x{2E80}-\\x{2FDF}]"))));
    }
};

QTEST_GUILESS_MAIN(TestUserGuide)
#include "test_UserGuide.moc"
