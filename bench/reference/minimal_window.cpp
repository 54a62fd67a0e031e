// The yardstick for the start of velanote: the least a Qt Widgets program does to show a window
// of the splash's size, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(598, 394);
    window.show();
    return QApplication::exec();
}
