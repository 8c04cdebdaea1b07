#include "Acompanhamento.h"

#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "forms/FormAtivo.h"
#include "support/DataModule.h"
#include "tracking/TfrmExecucaoMunicipal.h"
#include "widgets/Widgets.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTest>

namespace teste {

namespace {

// Runs f on a statement of sql whose positional values ":1", ":2" ... are bound as
// named parameters P1, P2 ...
template <typename F>
auto comandos(const QString& sql, const QVariantList& valores, F f)
{
    QString texto = sql;
    for (int i = valores.size(); i >= 1; --i)
        texto.replace(QStringLiteral(":%1").arg(i), QStringLiteral(":P%1").arg(i));
    db::Statement s(DMPrincipal->IBDatabaseGeral, QStringList{texto});
    for (int i = 0; i < valores.size(); ++i)
        s.setParam(QStringLiteral("P%1").arg(i + 1), valores.at(i));
    return f(s);
}

}  // namespace

void executa(const QString& sql, const QVariantList& valores)
{
    comandos(sql, valores, [](db::Statement& s) { return s.exec(); });
}

QList<QVariantList> linhas(const QString& sql, const QVariantList& valores)
{
    return comandos(sql, valores, [](db::Statement& s) { return s.selectAll(); });
}

QVariant valor(const QString& sql, const QVariantList& valores)
{
    return comandos(sql, valores, [](db::Statement& s) { return s.scalar(); });
}

void instala(int cidade)
{
    support::freshDataModule(QStringLiteral("empty"));
    executa(QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NO_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE) "
                           "values ('KORVA', 'KORVA', :1, 'MG', :2)"),
            {ano, cidade});
    executa(QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO, QT_POPULACAO) "
                           "values (:1, 'MG', :2, 'TDM', 1000)"),
            {ano, lavras});
    executa(QStringLiteral("insert into TB_TOTAL_INCENTIVO_ANUAL (NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_FEDERAL, VL_ESTADUAL, "
                           "VL_MUNICIPAL) values (:1, 'MG', :2, 1200, 2400, 3600)"),
            {ano, lavras});
    DMPrincipal->TB_Parametro_MELTU.close();
    DMPrincipal->TB_Parametro_MELTU.open();
}

void saldoInicial(double v, int mes, int cidade)
{
    executa(QStringLiteral("insert into TB_SALDO_INICIAL_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_SALDO_MUNICIPIO, "
                           "NU_MES_COMPET) values (:1, 'MG', :2, :3, :4)"),
            {ano, cidade, v, QString::number(mes)});
}

void cabecalho(int mes, const QString& situacao, const Figuras& f, int cidade, double outros)
{
    executa(QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                           "VL_SALDO_ANTERIOR, VL_ALOC_FEDERAL, VL_ALOC_ESTADUAL, VL_ALOC_MUNICIPAL, VL_RENDIMENTOS_APLICADOS, "
                           "VL_ALOC_MED, VL_REC_GASTOS, SITUACAO, VL_TOT_OUTROS_PACTUADA) "
                           "values (:1, 'MG', :2, :3, :4, :5, :6, :7, :8, :9, :10, :11, :12)"),
            {ano, cidade, QString::number(mes), f.saldoAnterior, f.federal, f.estadual, f.municipal, f.rendimentos,
             f.medicamentos, f.gastos, situacao, outros});
}

void medicamento(int mes, int codigo, int quantidade, double unitario, const QString& origem, int cidade)
{
    executa(QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                           "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                           "values (:1, 'MG', :2, :3, :4, :5, :6, :7, :8)"),
            {ano, cidade, QString::number(mes), codigo, quantidade, unitario, quantidade * unitario, origem});
}

void documento(int mes, const QString& tipo, const QString& favorecido, const QString& numero, double v,
               const QString& tipoFavorecido, int cidade, const QString& noAno)
{
    executa(QStringLiteral("insert into TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                           "ST_TIPO_DOC, NU_FAVORECIDO, NR_NUMERO_DOC, ST_TIPO_FAVORECIDO, VL_DOC) "
                           "values (:1, 'MG', :2, :3, :4, :5, :6, :7, :8)"),
            {noAno, cidade, QString::number(mes), tipo, favorecido, numero,
             tipoFavorecido.isEmpty() ? QVariant() : QVariant(tipoFavorecido), v});
}

TfrmExecucaoMunicipal* abre()
{
    auto* frm = new TfrmExecucaoMunicipal;
    mostra(frm);
    return frm;
}

void mostra(QDialog* frm)
{
    FormAtivo = frm;
    frm->show();
    if (!QTest::qWaitForWindowExposed(frm))
        qWarning("the window was not exposed");
    frm->activateWindow();
    if (!QTest::qWaitForWindowActive(frm))
        qWarning("the window is not active");
}

void tecla(QWidget* janela, int key)
{
    QWidget* alvo = janela->focusWidget() ? janela->focusWidget() : janela;
    QTest::keyClick(alvo, Qt::Key(key));
}

void clicaAba(TfrmModeloPage* frm, QWidget* pagina)
{
    QTabBar* barra = frm->pgEdicao->tabBar();
    QTest::mouseClick(barra, Qt::LeftButton, {}, barra->tabRect(frm->pgEdicao->indexOf(pagina)).center());
}

void digita(QWidget* control, const QString& text)
{
    control->setFocus(Qt::MouseFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(control))
        e->selectAll();
    QTest::keyClicks(control, text);
}

void sai(QWidget* janela)
{
    tecla(janela, Qt::Key_Tab);
}

}  // namespace teste
