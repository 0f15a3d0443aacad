#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrix"));
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Tervalia"));
    w.show();
    return app.exec();
}
