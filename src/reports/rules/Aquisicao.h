#pragma once
// The acquisition reports (the proof-of-expenditure documents of one payee type or of
// one document type) and the list of medications a state has pacted.
#include "reports/rules/Selecao.h"

#include <QStringList>

namespace relatorios {

enum class Criterio { Favorecido, Documento };

// The documents of the selection with the chosen payee type or document type, by
// document type and date.
QStringList sqlAquisicao(Criterio criterio);
// codigo: ST_TIPO_FAVORECIDO or ST_TIPO_DOC.
void preparaAquisicao(db::Dataset& consulta, const Selecao& selecao, Criterio criterio, const QString& codigo);

// The selection lists: the payee types '1' to '5' and the document types 'N', 'E',
// 'D', 'G', in the order the lists show them.
const QStringList& nomesTiposFavorecido();
const QStringList& nomesTiposDocumento();
// The code of a list position; empty outside the list.
QString codigoTipoFavorecido(int posicao);
QString codigoTipoDocumento(int posicao);
// The printed name of a document type; any other value prints as stored.
QString nomeTipoDocumento(const QString& codigo);

// The medications pacted by the state (parameter co_uf), by name, with their
// minimum-list mark as stored.
QStringList sqlElencoPactuado();
// Gives a new dataset the statement and its two fields, labelled as the grid shows them.
void defineElencoPactuado(db::Dataset& consulta);

}  // namespace relatorios
