#pragma once
// Sizing a fixed-pitch font so that a given number of columns fills a given width.
#include <QFont>

class QPaintDevice;

// The fixed-pitch font the report is shown and printed in.
QFont FonteDoRelatorio();

// The font at the largest size (in steps of a quarter point, from 1 point up) at which a line
// of the given number of columns is no wider than the width and, when alturaLinhas is given,
// that many lines are no taller than the height. Widths and heights are in the device's
// pixels; without a device, the screen's.
QFont FonteParaColunas(const QFont& base, int colunas, qreal largura,
                       const QPaintDevice* dispositivo = nullptr, int alturaLinhas = 0,
                       qreal altura = 0);

// The width of a line of that many columns in the font, on the device.
qreal LarguraDasColunas(const QFont& fonte, int colunas, const QPaintDevice* dispositivo);
