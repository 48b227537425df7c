// Runs the artwork generator into a temporary folder and checks what it made
// against the sizes the window lays out: title band 32 pixels high, logo and
// maker mark that fit it at top 3, 24 x 24 button frames stacked four to a
// strip, link pictures the size of the pictures they cover.

#include "DataColumns.h"
#include "TestFiles.h"

#include <QPainter>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

struct Expected {
    const char *path;
    int width; // -1: free, as the logo and the maker mark may vary
    int height;
};

const Expected kFiles[] = {
    {"Title/TitleTile.png", -1, 32},
    {"Title/Logo.png", -1, 26},
    {"Title/Company.png", -1, 26},
    {"Buttons/Help_Manual.png", 24, 96},
    {"Buttons/Help_Copyright.png", 24, 96},
    {"Buttons/Help_Prompt.png", 24, 96},
    {"Buttons/Help_Pronounce.png", 24, 96},
    {"Buttons/ChangePicture.png", 24, 96},
    {"Links/Link1.png", -1, 26},
    {"Links/Link2.png", -1, 26},
};

QString at2x(const QString &path)
{
    return path.left(path.size() - 4) + u"@2x.png"_s;
}

int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

// The image over an opaque background: what the window shows.
QImage shown(const QImage &image)
{
    QImage out(image.size(), QImage::Format_ARGB32);
    out.fill(QColor(174, 216, 230));
    QPainter(&out).drawImage(0, 0, image);
    return out;
}

// Pixels whose colour (with alpha) differs by more than a rounding step.
int differingPixels(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            n += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q))
                    + qAbs(qAlpha(p) - qAlpha(q))
                > 12;
        }
    return n;
}

// The generator's exit code; `output` gets what it listed, or its errors.
int runGenerator(const QStringList &args, QString *output = nullptr)
{
    const TestFiles::Run r
        = TestFiles::run(QStringLiteral(ARTGEN_EXE), args, QDir::currentPath(), {}, 120000);
    if (output)
        *output = args.value(0) == u"--list"_s ? r.output : r.errors;
    return r.finished ? r.exitCode : -1;
}

} // namespace

class TestArtGen : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_out;

    QImage load(const QString &relative)
    {
        QImage image(m_out + QLatin1Char('/') + relative);
        image.setDevicePixelRatio(1); // "@2x" files read as ratio 2; compare raw pixels
        return image.convertToFormat(QImage::Format_ARGB32);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_out = m_dir.filePath(u"Images"_s);
        QCOMPARE(runGenerator({m_out}), 0);
    }

    void manifestNamesEveryWrittenFile()
    {
        // Code finds the pictures through the manifest.
        QString listed;
        QCOMPARE(runGenerator({u"--list"_s}, &listed), 0);
        const QStringList lines = listed.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), qsizetype(std::size(kFiles)));
        QSet<QString> expected;
        for (const QString &line : lines) {
            const QStringList f = line.split(QLatin1Char(' '));
            QCOMPARE(f.size(), 4);
            expected << f.at(0) << at2x(f.at(0));
            const QImage image = load(f.at(0));
            QCOMPARE(image.size(), QSize(f.at(1).toInt(), f.at(2).toInt()));
            QCOMPARE(f.at(3).toInt(), image.width() == 24 ? 4 : 1);
        }
        QSet<QString> found;
        QDirIterator it(m_out, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.insert(it.next().mid(m_out.size() + 1));
        QCOMPARE(found, expected);
        // The logo and the maker mark fit the band; each link covers its picture.
        QVERIFY(3 + load(u"Title/Logo.png"_s).height() <= 32);
        QCOMPARE(load(u"Links/Link1.png"_s).size(), load(u"Title/Company.png"_s).size());
        QCOMPARE(load(u"Links/Link2.png"_s).size(), load(u"Title/Logo.png"_s).size());
    }

    void picturesHaveTheirSizesAndDoubles_data()
    {
        QTest::addColumn<QString>("path");
        DataColumns::add<int>({"width", "height"});
        for (const Expected &e : kFiles)
            QTest::newRow(e.path) << QString::fromLatin1(e.path) << e.width << e.height;
    }
    void picturesHaveTheirSizesAndDoubles()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        const QImage one = load(path);
        const QImage two = load(at2x(path));
        QTEST(one.height(), "height");
        QVERIFY(width < 0 || one.width() == width);
        QCOMPARE(two.size(), one.size() * 2);
        // Not blank: anti-aliased drawing leaves many shades.
        QVERIFY(colourCount(one) > 8 && colourCount(two) > 8);
        // Scaled down, the @2x picture matches the 1x one: same drawing, only
        // finer. A picture drawn unscaled in a corner fails this.
        const QImage plain = shown(one);
        const QImage fine
            = shown(two).scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        qint64 total = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x)
                total += qAbs(qGray(plain.pixel(x, y)) - qGray(fine.pixel(x, y)));
        const double mean = double(total) / (one.width() * one.height());
        QVERIFY2(mean < 12.0, qPrintable(u"mean difference %1"_s.arg(mean)));
        if (one.width() != 24)
            return;
        // A strip's four states each look different to the user, not just
        // by a stray pixel.
        for (const QImage &strip : {one, two}) {
            const int side = strip.width();
            for (int a = 0; a < 4; ++a)
                for (int b = a + 1; b < 4; ++b)
                    QVERIFY2(differingPixels(strip.copy(0, a * side, side, side),
                                 strip.copy(0, b * side, side, side))
                            > side * side / 20,
                        qPrintable(u"frames %1 and %2"_s.arg(a).arg(b)));
        }
    }

    void badArgumentsAndUnwritableFolderFail()
    {
        QCOMPARE(runGenerator({}), 2);
        QCOMPARE(runGenerator({u"a"_s, u"b"_s}), 2);
        // A plain file where a folder should be: no folder can be made below it.
        QTemporaryDir dir;
        TestFiles::writeAll(dir.filePath(u"blocker"_s), {});
        QString err;
        QCOMPARE(runGenerator({dir.filePath(u"blocker/Images"_s)}, &err), 1);
        QVERIFY2(err.contains(u"artgen:"_s), qPrintable(err));
    }
};

QTEST_MAIN(TestArtGen)
#include "test_ArtGen.moc"
