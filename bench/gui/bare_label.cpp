// The yardstick for the program's start-up: a bare Qt program that shows one
// label in a window, with nothing of the program's own.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Running using Dark Star Moon for Golden Sword"));
    label.show();
    return QApplication::exec();
}
