#include "devices/camera/MotionDetector.h"

#include <QImage>
#include <cstdlib>

namespace MotionDetector {

namespace {

bool withinTolerance(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) < tolerance && std::abs(qGreen(a) - qGreen(b)) < tolerance
        && std::abs(qBlue(a) - qBlue(b)) < tolerance;
}

int wholePercent(int changed, int still)
{
    const int total = changed + still;
    return total > 0 ? changed * 100 / total : 0;
}

} // namespace

Result RilevaMovimento(QImage &picture, MotionState &s)
{
    const int step = s.Passo;
    const int lastI = s.columns() - 2;
    const int lastJ = s.rows() - 2;

    s.Fermi = 0;
    s.Cambiati = 0;
    for (int i = 0; i <= lastI; ++i) {
        for (int j = 0; j <= lastJ; ++j) {
            const int x = i * step;
            const int y = j * step;
            const QRgb now = picture.pixel(x, y);
            const int k = s.index(i, j);
            if (withinTolerance(now, s.ColoriPrecedenti[size_t(k)], s.Tolleranza)) {
                ++s.Fermi;
                s.Immobili[size_t(k)] = true;
            } else {
                ++s.Cambiati;
                s.ColoriPrecedenti[size_t(k)] = now;
                picture.setPixel(x, y, qRgb(255, 0, 0));
                s.Immobili[size_t(k)] = false;
            }
        }
    }

    // Border points lack a neighbour on one side, so they never count as real.
    s.Reali = 0;
    const auto moved = [&s](int i, int j) { return !s.Immobili[size_t(s.index(i, j))]; };
    for (int i = 1; i <= lastI - 1; ++i) {
        for (int j = 1; j <= lastJ - 1; ++j) {
            if (moved(i, j) && moved(i, j + 1) && moved(i, j - 1) && moved(i + 1, j) && moved(i - 1, j)) {
                ++s.Reali;
                picture.setPixel(i * step, j * step, qRgb(0, 255, 0));
            }
        }
    }

    const int p = wholePercent(s.Cambiati, s.Fermi);
    s.SommaPercentuali += p;
    ++s.Fotogrammi;
    if (s.SommaPercentuali > 10000) {
        s.SommaPercentuali = 0;
        s.Fotogrammi = 0;
    }

    // Right after the reset there is no average to adapt to; the tolerance waits a picture.
    if (s.Fotogrammi > 0) {
        const double average = s.SommaPercentuali / s.Fotogrammi;
        if (s.Tolleranza < 48 && average >= 2)
            s.Tolleranza = qint16(s.Tolleranza + 2);
        if (s.Tolleranza < 48 && average >= 4)
            s.Tolleranza = qint16(s.Tolleranza + 4);
        if (s.Tolleranza > 30 && average < 0.3)
            s.Tolleranza = qint16(s.Tolleranza - 1);
    }

    if (s.Assestamento) {
        if (p > 5) {
            s.Reali = 0;
            s.Cambiati = 0;
        } else if (p < 5) {
            s.Assestamento = false;
            s.SommaPercentuali = 0;
            s.Fotogrammi = 0;
        }
    }

    Result r;
    r.percent = p;
    r.alarm = p > 5 && !s.Assestamento;
    r.readout = QString::number(wholePercent(s.Cambiati, s.Fermi)) + QStringLiteral(" % movement\r\nReal Movement: ")
        + QString::number(s.Reali) + QStringLiteral("\r\nTolleranza: ") + QString::number(s.Tolleranza);
    return r;
}

} // namespace MotionDetector
