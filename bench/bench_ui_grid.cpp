// Time of a full repaint of the visible channel grid and of a layout on resize, on a table
// with every kind of cell. Prints the figures; an optional argument names a PNG file that gets
// a picture of the grid.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/ChannelsContext.h"
#include "ui/CellPainter.h"
#include "ui/ChannelGrid.h"

namespace {

void FillChannels(ChannelsContext& channels) {
    for (int i = 0; i < CHANNEL_COUNT; ++i) {
        Channel& c = channels.channels[i];
        c = Channel();
        c.number = i % 100;
        switch (i % 5) {
        case 0: // simplex with DCS
            c.freq_rx = c.freq_tx = 146500000 + 12500 * i;
            c.subtone_rx = c.subtone_tx = 51 + i % 80;
            break;
        case 1: // split with CTCSS and call tones
            c.freq_rx = 146500000 + 12500 * i;
            c.freq_tx = 151825000 + 12500 * i;
            c.subtone_rx = 1 + i % 50;
            c.subtone_tx = 1 + (i + 7) % 50;
            c.tone_rx = 1000;
            c.tone_tx = 1750;
            c.band_tx = false;
            break;
        case 2: // receive only, inactive
            c.freq_rx = 33000000 + 12500 * i;
            c.active = false;
            c.tone_rx = c.tone_tx = 2100;
            break;
        case 3: // empty slot
            break;
        default: // power and flags
            c.freq_rx = c.freq_tx = 41900000;
            c.tx_power_low = 1;
            c.flag0 = c.flag3 = c.flag7 = true;
            c.scrambler = true;
            break;
        }
    }
}

struct Figures {
    double mean = 0;
    double median = 0;
    double worst = 0;
};

template <typename Work> Figures Measure(int rounds, Work work) {
    std::vector<double> times;
    times.reserve(rounds);
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        work(i);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    Figures f;
    for (double t : times) {
        f.mean += t;
        f.worst = std::max(f.worst, t);
    }
    f.mean /= rounds;
    std::sort(times.begin(), times.end());
    f.median = times[times.size() / 2];
    return f;
}

} // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ChannelsContext channels;
    FillChannels(channels);
    CellPainter painter;
    ChannelGrid grid(channels, painter, nullptr);
    grid.resize(1016, 520); // the grid's page of the main window at its start size
    grid.show();
    QApplication::processEvents();
    grid.setCurrentRow(2);

    const int rounds = 200;
    const Figures paint = Measure(rounds, [&](int i) {
        grid.verticalScrollBar()->setValue((i * 97) % (grid.verticalScrollBar()->maximum() + 1));
        grid.viewport()->repaint();
    });
    const Figures layout = Measure(rounds, [&](int i) {
        grid.resize(900 + (i % 2) * 400, 520);
        grid.LayoutGrid();
        grid.viewport()->repaint();
    });
    const Figures layoutOnly = Measure(rounds, [&](int) { grid.LayoutGrid(); });

    std::printf("channel grid, %d rounds each (one frame is 16.7 ms)\n", rounds);
    auto print = [](const char* what, const Figures& f) {
        std::printf("  %-33s: median %7.3f ms, mean %7.3f ms, worst %7.3f ms\n", what, f.median,
                    f.mean, f.worst);
    };
    print("full repaint of the visible grid", paint);
    print("resize + LayoutGrid + repaint", layout);
    print("LayoutGrid alone", layoutOnly);

    if (argc > 1) {
        grid.resize(1016, 520);
        grid.verticalScrollBar()->setValue(0);
        grid.grab().save(QString::fromLocal8Bit(argv[1]));
        std::printf("  picture written to %s\n", argv[1]);
    }
    return EXIT_SUCCESS;
}
