#pragma once
// A Brazilian taxpayer number (CPF or CNPJ) as typed, stored and printed.
#include <QString>

namespace rules {

// A CPF or CNPJ typed as printed (999.999.999-99, 99.999.999/9999-99) is kept as its
// digits; any other text is kept as typed (and the number's check refuses it).
QString identificacaoDigitos(const QString& texto);
// A CPF (11 digits) or CNPJ (14 digits) as printed; any other text as it is.
QString identificacaoPontuada(const QString& digitos);

}  // namespace rules
