#pragma once
// Printing the report, on a printer or into a PDF file: every report page on a sheet of its
// own, in a fixed-pitch font sized so that the columns fill the printable width and the
// longest page fits the printable height.
#include "viewer/PaginasRelatorio.h"

#include <QFont>

class QPagedPaintDevice;

// Draws the pages from primeira to ultima (counting from 1; 0 and 0 for all of them).
// Returns false when the device cannot be painted on (a file that cannot be created).
bool ImprimeRelatorio(QPagedPaintDevice& dispositivo, const QList<TPagina>& paginas, int colunas,
                      const QFont& base, int primeira = 0, int ultima = 0);

// Writes the report into a PDF file, A4 upright with margins of 10 mm.
bool ExportaRelatorioPdf(const QString& arquivo, const QString& titulo,
                         const QList<TPagina>& paginas, int colunas, const QFont& base);
