// A bare Qt window of the board's size, for bench/idle_footprint.sh: what any
// Qt Widgets program costs on this machine, next to which the board is measured.
//   bench_bare_window [width height] [--korean]
// With --korean the window shows 30 lines of Korean text in the board's font,
// plain and bold, as the board's rows do: what drawing Hangul itself costs
// (the font files' pages, the glyph caches), without the program around it.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    const bool korean = arguments.removeAll(QStringLiteral("--korean")) > 0;
    const int width = arguments.size() > 2 ? arguments.at(1).toInt() : 1366;
    const int height = arguments.size() > 2 ? arguments.at(2).toInt() : 768;
    QWidget window;
    if (korean) {
        auto *rows = new QVBoxLayout(&window);
        for (int i = 0; i < 30; ++i) {
            auto *row = new QLabel(
                QStringLiteral(
                    "테이블 %1 에서 보낸 아주 긴 요청사항입니다 물 좀 더 주시고 앞접시도 부탁드려요")
                    .arg(i + 1));
            QFont font(QStringLiteral("NanumGothic"), 14);
            font.setBold(i % 2 == 1);
            row->setFont(font);
            rows->addWidget(row);
        }
    }
    window.resize(width > 0 ? width : 1366, height > 0 ? height : 768);
    window.show();
    return app.exec();
}
