#include "ui/ConfiguracaoRegional.h"

#include "platform/RegionalSistema.h"
#include "ui/Texto1252.h"

#include <QLocale>

#include <optional>

namespace {

std::optional<TFormatSettings>& Atual() {
    static std::optional<TFormatSettings> atual;
    return atual;
}

// The first character of the text that is not a letter: the separator of a date or time format.
char Separador(const QString& formato, char padrao) {
    for (QChar c : formato)
        if (!c.isLetter() && c != u'\'') {
            std::string b = DeQString(QString(c));
            return b.empty() ? padrao : b[0];
        }
    return padrao;
}

char Caractere(const QString& texto, char padrao) {
    std::string b = DeQString(texto);
    return b.size() == 1 ? b[0] : padrao;
}

} // namespace

TFormatSettings LeConfiguracaoRegional(const QLocale& local) {
    if (local.language() == QLocale::C)
        return TFormatSettings::BrasilPadrao();
    TFormatSettings f;
    f.DecimalSeparator = Caractere(local.decimalPoint(), ',');
    // A narrow no-break space (U+202F) is not in Windows-1252; the no-break space stands for it.
    QString milhar = local.groupSeparator();
    f.ThousandSeparator = milhar == QStringLiteral(u"\u202F") ? '\xA0' : Caractere(milhar, '.');
    QString data = local.dateFormat(QLocale::ShortFormat);
    f.DateSeparator = Separador(data, '/');
    f.TimeSeparator = Separador(local.timeFormat(QLocale::ShortFormat), ':');
    f.ShortDateFormat = DeQString(data);
    return f;
}

const TFormatSettings& ConfiguracaoRegional() {
    if (!Atual()) {
        auto doSistema = RegionalDoSistema();
        Atual() = doSistema ? *doSistema : LeConfiguracaoRegional(QLocale::system());
    }
    return *Atual();
}

void DefineConfiguracaoRegional(const TFormatSettings& formato) {
    Atual() = formato;
}
