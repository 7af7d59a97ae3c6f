// The yardstick for start-up time and memory: a bare Qt Widgets program that shows one empty window.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare Qt window"));
    window.resize(423, 443);
    window.show();
    return QApplication::exec();
}
