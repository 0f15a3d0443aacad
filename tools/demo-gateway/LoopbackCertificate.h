#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QList>
#include <QString>

// Certificates made on the spot for the loopback picture server, never kept in the sources:
// the gateway's own kind (self-signed), and for tests a chain whose issuer is no authority.
// Made with the openssl command-line tool in the given folder.
class LoopbackCertificate
{
public:
    bool isValid() const { return !chain.isEmpty() && !key.isNull(); }

    // A self-signed certificate for "camera.gateway", the way a gateway makes its own.
    static LoopbackCertificate selfSigned(const QString &folder);
    // A certificate for 127.0.0.1 signed by a certificate that may not sign others.
    static LoopbackCertificate issuedByNonAuthority(const QString &folder);

    QList<QSslCertificate> chain; // the server's own first
    QSslKey key;
    QString error;                // why it could not be made
};
