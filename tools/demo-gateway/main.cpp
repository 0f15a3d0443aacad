#include "demo-gateway/CameraPictureServer.h"
#include "demo-gateway/DemoScript.h"
#include "demo-gateway/FakeGateway.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QTextStream>

// A gateway to try the program without an installation: ombrix with ServerIP 127.0.0.1
// and this port sees lights, a shutter, two temperature zones and an energy meter.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("demo-gateway"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("OpenWebNet demo gateway on 127.0.0.1"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("port"), QStringLiteral("TCP port (default 20000)"));
    const QCommandLineOption address(QStringLiteral("address"), QStringLiteral("listen address (loopback only)"),
                                     QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption interval(QStringLiteral("interval"), QStringLiteral("ms between bus events (default 1500)"),
                                      QStringLiteral("ms"), QStringLiteral("1500"));
    parser.addOption(address);
    parser.addOption(interval);
    parser.process(app);

    QTextStream err(stderr);
    QHostAddress host;
    if (!host.setAddress(parser.value(address)) || !host.isLoopback()) {
        err << "demo-gateway: refusing to listen on " << parser.value(address) << ": loopback only\n";
        return 2;
    }
    bool ok = true;
    const QStringList args = parser.positionalArguments();
    const quint16 port = args.isEmpty() ? quint16(20000) : args.first().toUShort(&ok);
    const int ms = parser.value(interval).toInt();
    if (!ok || port == 0 || ms <= 0) {
        err << "demo-gateway: bad port or interval\n";
        return 2;
    }

    FakeGateway gateway;
    if (!gateway.listen(port)) {
        err << "demo-gateway: cannot listen on 127.0.0.1:" << port << "\n";
        return 1;
    }
    DemoScript script(gateway, ms);
    QTextStream out(stdout);
    out << "demo-gateway listening on 127.0.0.1:" << gateway.port() << Qt::endl;

    // The program asks for camera pictures at https://<gateway>/telecamera.php, port 443.
    // The certificate is made for this run only and goes away with it.
    QTemporaryDir certificateFolder;
    const LoopbackCertificate certificate = LoopbackCertificate::selfSigned(certificateFolder.path());
    CameraPictureServer camera(certificate);
    if (camera.start(443))
        out << "demo-gateway camera pictures at https://127.0.0.1/telecamera.php" << Qt::endl;
    else
        out << "demo-gateway: camera pictures are not available in this demo ("
            << (certificate.isValid() ? camera.errorString() : certificate.error)
            << "; port 443 needs the right to bind it)" << Qt::endl;
    return app.exec();
}
