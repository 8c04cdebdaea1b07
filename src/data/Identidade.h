#pragma once
// The system's own name and the maker's organisation lines, shown by the main window
// and offered as defaults of a new parameter record. Neutral wording: no real agency.
#include <QString>
#include <QStringList>

namespace identidade {

inline const QString sigla = QStringLiteral("KORVA");
inline const QString tituloLinha1 = QStringLiteral("Sistema de Acompanhamento do Incentivo");
inline const QString tituloLinha2 = QStringLiteral("à Assistência Farmacêutica Básica");
inline QString tituloCompleto()
{
    return tituloLinha1 + QLatin1Char(' ') + tituloLinha2;
}
// From the institution down to the technical unit.
inline const QStringList organizacao = {
    QStringLiteral("Instituto KORVA de Gestão em Saúde"),
    QStringLiteral("Departamento de Apoio à Assistência Farmacêutica"),
    QStringLiteral("Divisão de Acompanhamento de Incentivos"),
    QStringLiteral("Núcleo de Sistemas de Informação"),
};
// The update folder of a new installation (a made-up server).
inline const QString pathAtualizacao = QStringLiteral("\\\\servidor-korva\\atualizacao");

}  // namespace identidade
