// The start-up the game's is measured against: a Qt Widgets program that shows one bare
// frameless window named "Bare window" and waits to be ended.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setWindowTitle("Bare window");
    window.resize(64, 64);
    window.show();
    return QApplication::exec();
}
