#include "charts/TFormGraficoAplicacaoRecursos.h"

TFormGraficoAplicacaoRecursos::TFormGraficoAplicacaoRecursos(QWidget* owner)
    : TFormGrafico(charts::graficoAplicacaoRecursos(), owner), IBQuery1RECURSOS(IBQuery1Rotulo)
{
    setObjectName(QStringLiteral("FormGraficoAplicacaoRecursos"));
}
