// Painting a card picture at every width a turn passes through, and one clip
// frame, onto a board-sized surface; a plain 100 × 100 copy is the yardstick.

#include "visuals/TAnimate.h"
#include "visuals/TImage.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

QImage Board() {
    QImage board(618, 424, QImage::Format_RGB32);
    board.fill(Qt::black);
    return board;
}

QImage Face() {
    QImage face(100, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            face.setPixel(x, y, qRgb(x * 2, y * 2, (x ^ y) & 0xFF));
        }
    }
    return face;
}

void BM_Copy100(benchmark::State& state) {
    QImage board = Board();
    const QImage face = Face();
    for (auto _ : state) {
        QPainter p(&board);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(210, 110), face);
        benchmark::DoNotOptimize(board.constBits());
    }
}
BENCHMARK(BM_Copy100);

void BM_CardPaint(benchmark::State& state) {
    const int width = int(state.range(0));
    QWidget parent;
    dvl::TImage card(&parent);
    card.SetStretch(true);
    card.setGeometry(210 + (100 - width) / 2, 110, width, 100);
    card.Surface().CopyRect({0, 0}, Face(), {0, 0, 100, 100});
    QImage board = Board();
    for (auto _ : state) {
        QPainter p(&board);
        p.translate(card.pos());
        card.Paint(p);
        benchmark::DoNotOptimize(board.constBits());
    }
}
BENCHMARK(BM_CardPaint)->DenseRange(10, 100, 10);

void BM_ClipFramePaint(benchmark::State& state) {
    QWidget parent;
    dvl::TAnimate player(&parent);
    player.SetResourceId(1);
    player.SetColor(Qt::black);
    player.move(210, 110);
    QImage board = Board();
    int frame = 0;
    for (auto _ : state) {
        player.ShowFrame(frame % 10 + 1); // a seek: a few nanoseconds beside the paint
        ++frame;
        QPainter p(&board);
        p.translate(player.pos());
        player.Paint(p);
        benchmark::DoNotOptimize(board.constBits());
    }
}
BENCHMARK(BM_ClipFramePaint);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
