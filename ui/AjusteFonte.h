#pragma once
// The window's fixed layout was drawn for Tahoma. Debian has it in Wine's font folder
// (fonts-wine), which the font configuration does not search, so the program loads it from
// there. Where it is missing, another sans-serif font stands in, and the window's font is made
// smaller until every caption fits its control again.
#include <QString>

class QWidget;

// Wine's font folder: CADOFERTAS_FONTES_WINE when set (the tests name a folder without the
// font there), otherwise Debian's.
QString PastaDasFontesDoWine();

// Makes Tahoma known to the program from Wine's folder, once, when the system does not know it.
void CarregaTahoma();

// The width a control's caption takes in the control's font: the text without its accelerator
// mark, plus a check box's indicator and a button's icon and margins. 0 for a control without
// a caption.
int LarguraDaLegenda(const QWidget* controle);

// Every captioned child of the window fits the width of its control.
bool LegendasCabem(const QWidget* janela);

// Where a caption does not fit, narrows the window's fonts by a fifth of a pixel per character
// and widens a left-aligned label to its caption; then, unless the font is Tahoma, makes the
// fonts a pixel smaller at a time, down to 8 pixels, until every caption fits.
void AjustaAsLegendas(QWidget* janela);
