// A bare Qt window of the board's size, for bench/idle_footprint.sh: what any
// Qt Widgets program costs on this machine, next to which the board is measured.
//   bench_bare_window [width height]
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const int width = arguments.size() > 2 ? arguments.at(1).toInt() : 1366;
    const int height = arguments.size() > 2 ? arguments.at(2).toInt() : 768;
    QWidget window;
    window.resize(width > 0 ? width : 1366, height > 0 ? height : 768);
    window.show();
    return app.exec();
}
