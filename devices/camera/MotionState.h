#pragma once

#include <QRgb>
#include <QtGlobal>
#include <vector>

// What the motion detector keeps from one picture to the next: the sample grid, its
// reference colours, the adaptive tolerance and the running average of the changed share.
struct MotionState
{
    static constexpr int PictureWidth = 320;
    static constexpr int PictureHeight = 240;

    qint16 Passo = 20;
    qint16 Tolleranza = 30;
    // Indexed [i * rows() + j] over 0..320 / Passo by 0..240 / Passo.
    std::vector<QRgb> ColoriPrecedenti = std::vector<QRgb>(size_t(columns() * rows()), qRgb(0, 0, 0));
    std::vector<bool> Immobili = std::vector<bool>(size_t(columns() * rows()), false);
    int Fermi = 0;
    int Cambiati = 0;
    int Reali = 0;
    double SommaPercentuali = 0;
    int Fotogrammi = 0;
    bool Assestamento = false;

    // Grid bounds are whole numbers of the division, as the sample loops count them.
    int columns() const { return qRound(double(PictureWidth) / Passo) + 1; }
    int rows() const { return qRound(double(PictureHeight) / Passo) + 1; }
    int index(int i, int j) const { return i * rows() + j; }
};
