#include "charts/TFormGraficoFonteComprovacao.h"

TFormGraficoFonteComprovacao::TFormGraficoFonteComprovacao(QWidget* owner)
    : TFormGrafico(charts::graficoFonteComprovacao(), owner), IBQuery1FAVORECIDO(IBQuery1Rotulo)
{
    setObjectName(QStringLiteral("FormGraficoFonteComprovacao"));
}
