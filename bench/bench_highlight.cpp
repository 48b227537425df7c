// Word highlighting on the largest text the reader speaks: a 1,048,500
// character document of 80-character CR LF lines, 10,000 words selected at
// increasing offsets through setSelStart + setSelLength, as the voice's word
// events do, once in reading order and once spread over the whole text.
// Prints the mean, median, 99th percentile and worst cost of one highlight,
// and checks that every highlight selected the word it was asked for.
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "shell/MaviTextBox.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    constexpr int TextLength = 1048500;
    constexpr int LineText = 78; // plus CR LF: 80 per line
    constexpr int Highlights = 10000;

    // Lines of five-letter words; the word at a line's offset 6k is "wNNNN".
    QString text;
    text.reserve(TextLength);
    int line = 0;
    while (text.size() < TextLength) {
        QString body;
        for (int w = 0; body.size() < LineText; ++w)
            body += QStringLiteral("w%1 ").arg((line * 13 + w) % 10000, 4, 10, QLatin1Char('0'));
        body.truncate(LineText);
        text += body + QStringLiteral("\r\n");
        ++line;
    }
    text.truncate(TextLength);

    MaviTextBox box;
    box.resize(800, 600);
    box.show();
    QElapsedTimer load;
    load.start();
    box.setText(text);
    const double loadMs = load.nsecsElapsed() / 1e6;
    QCoreApplication::processEvents();

    const int lines = TextLength / 80;
    int wrong = 0;
    // One run of highlights: offsetOf(i) is the start of the i-th word.
    auto run = [&](const char *name, auto offsetOf) {
        std::vector<double> costs;
        costs.reserve(Highlights);
        QElapsedTimer clock;
        for (int i = 0; i < Highlights; ++i) {
            const int offset = offsetOf(i);
            clock.start();
            box.setSelStart(offset);
            box.setSelLength(5);
            costs.push_back(clock.nsecsElapsed() / 1e6);
            if (box.SelText() != text.mid(offset, 5))
                ++wrong;
            if (i % 500 == 0)
                QCoreApplication::processEvents(); // let the view repaint now and then
        }
        const double mean = std::accumulate(costs.begin(), costs.end(), 0.0) / Highlights;
        std::sort(costs.begin(), costs.end());
        std::printf("bench_highlight: %-34s mean %.4f ms, median %.4f ms, p99 %.4f ms, "
                    "worst %.4f ms\n",
            name, mean, costs[Highlights / 2], costs[Highlights * 99 / 100], costs.back());
    };

    std::printf("bench_highlight: %d characters, %d lines, setText %.1f ms\n", TextLength,
        box.document()->blockCount(), loadMs);
    // Reading order: 13 words a line, one after the other, from the middle
    // of the text on (about 770 lines, so the view scrolls now and then).
    const int middle = lines / 2;
    run("reading order (consecutive words):",
        [&](int i) { return (middle + i / 13) * 80 + 6 * (i % 13); });
    // Worst case for the view: each word about a line and a third below
    // the last, so nearly every highlight scrolls.
    run("spread over the whole text:", [&](int i) {
        const int lineNo = static_cast<int>(static_cast<qint64>(i) * lines / Highlights);
        return lineNo * 80 + 6 * (i % 13);
    });
    std::printf("bench_highlight: %d highlights per run, wrong selections %d\n", Highlights, wrong);
    return wrong == 0 ? 0 : 1;
}
