#include "rules/Identificacao.h"

#include <QRegularExpression>

namespace rules {

namespace {
const QRegularExpression cpfPontuado(QStringLiteral("^(\\d{3})\\.(\\d{3})\\.(\\d{3})-(\\d{2})$"));
const QRegularExpression cnpjPontuado(QStringLiteral("^(\\d{2})\\.(\\d{3})\\.(\\d{3})/(\\d{4})-(\\d{2})$"));
const QRegularExpression soDigitos(QStringLiteral("^\\d+$"));
}  // namespace

QString identificacaoDigitos(const QString& texto)
{
    const QString t = texto.trimmed();
    if (cpfPontuado.match(t).hasMatch() || cnpjPontuado.match(t).hasMatch()) {
        QString d;
        for (const QChar c : t)
            if (c.isDigit())
                d += c;
        return d;
    }
    return texto;
}

QString identificacaoPontuada(const QString& d)
{
    if (!soDigitos.match(d).hasMatch())
        return d;
    if (d.size() == 14)
        return d.left(2) + u'.' + d.mid(2, 3) + u'.' + d.mid(5, 3) + u'/' + d.mid(8, 4) + u'-' + d.mid(12, 2);
    if (d.size() == 11)
        return d.left(3) + u'.' + d.mid(3, 3) + u'.' + d.mid(6, 3) + u'-' + d.mid(9, 2);
    return d;
}

}  // namespace rules
