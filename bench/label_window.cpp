// The fair yardstick for start-up time and memory: a Qt Widgets program that shows one window with one
// label of Chinese text, so that it starts the font system and loads a CJK face as our window must.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Qt label window"));
    window.resize(423, 443);
    auto *label = new QLabel(QStringLiteral("中文姓名：砚溪岚舍"), &window);
    label->move(8, 8);
    window.show();
    return QApplication::exec();
}
