#include "updater/window/Form1.h"
#include "shell/services/QtMessageBoxService.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("update"));
    QtMessageBoxService boxes;
    // The files it brings up to date are those beside it.
    Form1 form(QCoreApplication::applicationDirPath(), boxes);
    boxes.setParentWidget(&form);
    form.show();
    return app.exec();
}
