#include "demo-gateway/LoopbackCertificate.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

bool openssl(const QStringList &args, const QString &folder, QString &error)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("openssl"), args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = QStringLiteral("openssl ") + args.join(QLatin1Char(' ')) + QStringLiteral(": ")
            + (p.error() == QProcess::FailedToStart ? QStringLiteral("not found")
                                                    : QString::fromLocal8Bit(p.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}

QStringList newKeyArgs(const QString &keyFile)
{
    return {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
            keyFile};
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

LoopbackCertificate load(const QString &folder, const QStringList &certFiles, const QString &keyFile)
{
    LoopbackCertificate c;
    const QDir dir(folder);
    for (const QString &f : certFiles)
        c.chain += QSslCertificate::fromData(readFile(dir.filePath(f)), QSsl::Pem);
    c.key = QSslKey(readFile(dir.filePath(keyFile)), QSsl::Ec, QSsl::Pem);
    if (!c.isValid())
        c.error = QStringLiteral("the certificate made in ") + folder + QStringLiteral(" does not load");
    return c;
}

} // namespace

LoopbackCertificate LoopbackCertificate::selfSigned(const QString &folder)
{
    LoopbackCertificate c;
    QStringList args{QStringLiteral("req"), QStringLiteral("-x509")};
    args += newKeyArgs(QStringLiteral("camera.key"));
    args += {QStringLiteral("-out"), QStringLiteral("camera.crt"), QStringLiteral("-days"), QStringLiteral("30"),
             QStringLiteral("-subj"), QStringLiteral("/CN=camera.gateway")};
    if (!openssl(args, folder, c.error))
        return c;
    return load(folder, {QStringLiteral("camera.crt")}, QStringLiteral("camera.key"));
}

LoopbackCertificate LoopbackCertificate::issuedByNonAuthority(const QString &folder)
{
    LoopbackCertificate c;
    QStringList issuer{QStringLiteral("req"), QStringLiteral("-x509")};
    issuer += newKeyArgs(QStringLiteral("issuer.key"));
    issuer += {QStringLiteral("-out"), QStringLiteral("issuer.crt"), QStringLiteral("-days"), QStringLiteral("30"),
               QStringLiteral("-subj"), QStringLiteral("/CN=not an authority"), QStringLiteral("-addext"),
               QStringLiteral("basicConstraints=critical,CA:FALSE")};
    QStringList request{QStringLiteral("req"), QStringLiteral("-new")};
    request += newKeyArgs(QStringLiteral("leaf.key"));
    request += {QStringLiteral("-out"), QStringLiteral("leaf.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")};
    const QStringList sign{QStringLiteral("x509"),      QStringLiteral("-req"),          QStringLiteral("-in"),
                           QStringLiteral("leaf.csr"),  QStringLiteral("-CA"),           QStringLiteral("issuer.crt"),
                           QStringLiteral("-CAkey"),    QStringLiteral("issuer.key"),    QStringLiteral("-CAcreateserial"),
                           QStringLiteral("-out"),      QStringLiteral("leaf.crt"),      QStringLiteral("-days"),
                           QStringLiteral("30")};
    if (!openssl(issuer, folder, c.error) || !openssl(request, folder, c.error) || !openssl(sign, folder, c.error))
        return c;
    return load(folder, {QStringLiteral("leaf.crt"), QStringLiteral("issuer.crt")}, QStringLiteral("leaf.key"));
}
