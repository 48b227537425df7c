// Runs the artwork generator into a temporary folder and checks what it made
// against the sizes the window lays out: title band 32 pixels high, logo and
// maker mark that fit it at top 3, 24 x 24 button frames stacked four to a
// strip, link pictures the size of the pictures they cover.

#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

struct Expected {
    const char *path;
    int width;
    int height;
    bool strip;
};

// Logo and maker mark may vary in width; the rest of the window depends on
// the other sizes exactly. Link1 covers the maker mark, Link2 the logo.
const Expected kFiles[] = {
    {"Title/TitleTile.png", -1, 32, false},
    {"Title/Logo.png", -1, 26, false},
    {"Title/Company.png", -1, 26, false},
    {"Buttons/Help_Manual.png", 24, 96, true},
    {"Buttons/Help_Copyright.png", 24, 96, true},
    {"Buttons/Help_Prompt.png", 24, 96, true},
    {"Buttons/Help_Pronounce.png", 24, 96, true},
    {"Buttons/ChangePicture.png", 24, 96, true},
    {"Links/Link1.png", -1, 26, false},
    {"Links/Link2.png", -1, 26, false},
};

QString at2x(const QString &path)
{
    return path.left(path.size() - 4) + u"@2x.png"_s;
}

int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
}

// Pixels whose colour (with alpha) differs by more than a rounding step.
int differingPixels(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int d = qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q))
                + qAbs(qBlue(p) - qBlue(q)) + qAbs(qAlpha(p) - qAlpha(q));
            if (d > 12)
                ++n;
        }
    }
    return n;
}

// The image composed over an opaque background, so that transparent pixels
// compare by what the window would show.
QImage over(const QImage &image, QColor background)
{
    QImage out(image.size(), QImage::Format_ARGB32);
    out.fill(background);
    QPainter p(&out);
    p.drawImage(0, 0, image);
    p.end();
    return out;
}

} // namespace

class TestArtGen : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_out;

    QImage load(const QString &relative)
    {
        QImage image(m_out + QLatin1Char('/') + relative);
        // Qt reads "@2x" files as ratio-2 images; compare raw pixels here.
        image.setDevicePixelRatio(1);
        return image.convertToFormat(QImage::Format_ARGB32);
    }

    static int runGenerator(const QStringList &args, QString *stderrText = nullptr)
    {
        QProcess proc;
        proc.start(QStringLiteral(ARTGEN_EXE), args);
        if (!proc.waitForFinished(120000))
            return -1;
        if (stderrText)
            *stderrText = QString::fromLocal8Bit(proc.readAllStandardError());
        return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_out = m_dir.filePath(u"Images"_s);
        QString err;
        QCOMPARE(runGenerator({m_out}, &err), 0);
    }

    void writesExactlyTheExpectedFiles()
    {
        QSet<QString> expected;
        for (const Expected &e : kFiles) {
            expected.insert(QLatin1String(e.path));
            expected.insert(at2x(QLatin1String(e.path)));
        }
        QSet<QString> found;
        QDirIterator it(m_out, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.insert(it.next().mid(m_out.size() + 1));
        QCOMPARE(found, expected);
    }

    void picturesHaveTheirSizesAndDoubles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        for (const Expected &e : kFiles)
            QTest::newRow(e.path) << QString::fromLatin1(e.path) << e.width << e.height;
    }
    void picturesHaveTheirSizesAndDoubles()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(int, height);
        const QImage one = load(path);
        QVERIFY2(!one.isNull(), qPrintable(path));
        QCOMPARE(one.height(), height);
        if (width > 0)
            QCOMPARE(one.width(), width);
        QVERIFY(one.width() > 0);
        // Not blank: anti-aliased drawing leaves many shades.
        QVERIFY2(colourCount(one) > 8, qPrintable(path));

        const QImage two = load(at2x(path));
        QVERIFY2(!two.isNull(), qPrintable(at2x(path)));
        QCOMPARE(two.size(), one.size() * 2);
        QVERIFY(colourCount(two) > 8);

        // Scaled down, the @2x picture must match the 1x one: same drawing,
        // only finer. A picture drawn unscaled in a corner fails this.
        const QColor bg(174, 216, 230);
        const QImage plain = over(one, bg);
        const QImage fine
            = over(two, bg).scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        qint64 total = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x)
                total += qAbs(qGray(plain.pixel(x, y)) - qGray(fine.pixel(x, y)));
        const double mean = double(total) / (one.width() * one.height());
        QVERIFY2(mean < 12.0, qPrintable(u"mean difference %1"_s.arg(mean)));
    }

    void titleBandLayout()
    {
        const int band = load(u"Title/TitleTile.png"_s).height();
        for (const char *name : {"Title/Logo.png", "Title/Company.png"})
            QVERIFY2(3 + load(QLatin1String(name)).height() <= band, name);
        // The tile is narrow so that tiling it costs little and fits any width.
        QVERIFY(load(u"Title/TitleTile.png"_s).width() <= 32);
        // Each link covers its picture exactly.
        QCOMPARE(load(u"Links/Link1.png"_s).size(), load(u"Title/Company.png"_s).size());
        QCOMPARE(load(u"Links/Link2.png"_s).size(), load(u"Title/Logo.png"_s).size());
    }

    void titleTileRepeatsWithoutSeam()
    {
        // Band background must be opaque, and the step from the last column
        // back to the first must be no larger than any step inside the tile.
        for (const QString &path : {u"Title/TitleTile.png"_s, u"Title/TitleTile@2x.png"_s}) {
            const QImage tile = load(path);
            const int w = tile.width();
            int worstInside = 0;
            int wrap = 0;
            for (int y = 0; y < tile.height(); ++y) {
                QCOMPARE(qAlpha(tile.pixel(0, y)), 255);
                for (int x = 0; x + 1 < w; ++x)
                    worstInside = qMax(
                        worstInside, qAbs(qGray(tile.pixel(x, y)) - qGray(tile.pixel(x + 1, y))));
                wrap = qMax(wrap, qAbs(qGray(tile.pixel(w - 1, y)) - qGray(tile.pixel(0, y))));
            }
            QVERIFY2(wrap <= worstInside + 2, qPrintable(path));
        }
    }

    void stripsHoldFourDistinctFrames_data()
    {
        QTest::addColumn<QString>("path");
        for (const Expected &e : kFiles) {
            if (!e.strip)
                continue;
            QTest::newRow(e.path) << QString::fromLatin1(e.path);
            QTest::newRow(qPrintable(at2x(QLatin1String(e.path)))) << at2x(QLatin1String(e.path));
        }
    }
    void stripsHoldFourDistinctFrames()
    {
        QFETCH(QString, path);
        const QImage strip = load(path);
        QCOMPARE(strip.height(), strip.width() * 4);
        const int side = strip.width();
        QList<QImage> frames;
        for (int k = 0; k < 4; ++k) {
            const QImage f = strip.copy(0, k * side, side, side);
            QVERIFY2(colourCount(f) > 8, qPrintable(u"frame %1"_s.arg(k)));
            frames.append(f);
        }
        // Each state must look different from every other one to the user, not
        // just by a stray pixel: ask for a visible share of the face.
        const int visible = side * side / 20;
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b) {
                QVERIFY2(differingPixels(frames[a], frames[b]) > visible,
                    qPrintable(u"frames %1 and %2"_s.arg(a).arg(b)));
            }
        }
    }

    void sameOutputOnEveryRun()
    {
        // Builds must not churn the pictures: a second run gives the same pixels.
        QTemporaryDir again;
        const QString out = again.filePath(u"Images"_s);
        QCOMPARE(runGenerator({out}), 0);
        for (const Expected &e : kFiles) {
            const QString rel = QLatin1String(e.path);
            const QImage again(out + QLatin1Char('/') + rel);
            QCOMPARE(again.convertToFormat(QImage::Format_ARGB32), load(rel));
        }
    }

    void unwritableFolderFailsCleanly()
    {
        // A plain file where a folder should be: no folder can be made below it.
        QTemporaryDir dir;
        const QString blocker = dir.filePath(u"blocker"_s);
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QString err;
        QCOMPARE(runGenerator({blocker + u"/Images"_s}, &err), 1);
        QVERIFY2(err.contains(u"artgen:"_s), qPrintable(err));
    }

    void listedManifestMatchesTheFiles()
    {
        // Code finds the pictures through the manifest; every line must name a
        // written file of the stated size with the stated number of frames.
        QProcess proc;
        proc.start(QStringLiteral(ARTGEN_EXE), {u"--list"_s});
        QVERIFY(proc.waitForFinished(120000));
        QCOMPARE(proc.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(proc.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), qsizetype(std::size(kFiles)));
        for (const QString &line : lines) {
            const QStringList f = line.split(QLatin1Char(' '));
            QCOMPARE(f.size(), 4);
            const QImage image = load(f.at(0));
            QVERIFY2(!image.isNull(), qPrintable(line));
            QCOMPARE(image.size(), QSize(f.at(1).toInt(), f.at(2).toInt()));
            const int frames = f.at(3).toInt();
            const bool strip = image.height() == 4 * image.width() && image.width() == 24;
            QCOMPARE(frames, strip ? 4 : 1);
        }
    }

    void wrongArgumentsAreRefused()
    {
        QCOMPARE(runGenerator({}), 2);
        QCOMPARE(runGenerator({u"a"_s, u"b"_s}), 2);
    }
};

QTEST_MAIN(TestArtGen)
#include "test_ArtGen.moc"
