// Every write of a month's follow-up, through its rules against a real database: the
// header save with its refusal, the medication and document lines with the header's
// total, the closing checked on what is stored, another seat holding the month, and the
// balance a closed month carries.
#include "db/Connection.h"
#include "db/LockTimeout.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"
#include "tracking/rules/Acompanhamento.h"
#include "tracking/rules/EscolhaMes.h"

#include <QTest>

#include <memory>

using namespace tracking;
using rules::Falha;

Q_DECLARE_METATYPE(tracking::Valores)

namespace {

const QString cnpjA = QStringLiteral("11222333000181");
const QString cnpjB = QStringLiteral("44321111000175");
const QString cnpjSes = QStringLiteral("19100000000191");
constexpr int lavras = 3138203;

QString texto(const rules::Falhou& f)
{
    return f ? f->texto() : QString();
}

}  // namespace

class TestAcompanhamento : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;
    int elencoMinimo = 0;  // a medication of the minimum list
    int outro = 0;         // one outside it

    QList<QVariantList> linhas(const QString& sql, const QVariantList& valores = {})
    {
        db::Statement s(*c, {sql});
        for (int i = 0; i < valores.size(); ++i)
            s.setParam(QStringLiteral("P%1").arg(i + 1), valores.at(i));
        return s.selectAll();
    }
    QVariant valor(const QString& sql, const QVariantList& valores = {})
    {
        const QList<QVariantList> l = linhas(sql, valores);
        return l.isEmpty() ? QVariant() : l.first().first();
    }
    void executa(const QString& sql, const QVariantList& valores = {})
    {
        db::Statement s(*c, {sql});
        for (int i = 0; i < valores.size(); ++i)
            s.setParam(QStringLiteral("P%1").arg(i + 1), valores.at(i));
        s.exec();
    }

    Acompanhamento municipio() { return Acompanhamento(*c, Chave{QStringLiteral("2005"), QStringLiteral("MG"), lavras}); }
    Acompanhamento estado() { return Acompanhamento(*c, Chave{QStringLiteral("2005"), QStringLiteral("MG"), 0}); }

    // The stored header of the month: its seven figures, SITUACAO and the other-medications total.
    QVariantList cabecalho(int mes, int cidade = lavras)
    {
        const QList<QVariantList> l =
            linhas(QStringLiteral("select VL_SALDO_ANTERIOR, VL_ALOC_FEDERAL, VL_ALOC_ESTADUAL, VL_ALOC_MUNICIPAL, "
                                  "VL_RENDIMENTOS_APLICADOS, VL_ALOC_MED, VL_REC_GASTOS, SITUACAO, VL_TOT_OUTROS_PACTUADA "
                                  "from TB_MOVIMENTO_MUNICIPIO where CO_CIDADE = :P1 and NU_MES_COMPET = :P2"),
                   {cidade, QString::number(mes)});
        return l.isEmpty() ? QVariantList() : l.first();
    }

    LinhaMedicamento medicamento(int codigo, qint64 quantidade, double unitario)
    {
        return LinhaMedicamento{std::nullopt, codigo, QStringLiteral("M"), unitario, quantidade, quantidade * unitario};
    }
    LinhaDocumentoDigitada documento(const QString& tipo, const QString& favorecido, const QString& numero, double v,
                                     const QString& tipoFavorecido = QStringLiteral("1"))
    {
        return LinhaDocumentoDigitada{std::nullopt, Documento{tipo, tipoFavorecido, favorecido, v, numero, QDate(2005, 3, 10)},
                                      {}, {}, {}};
    }

    // An open March of Lavras with the figures and lines of the example: balance 100,
    // federal 50, medications received 30, spent as given; medication lines of 200, an
    // invoice of 170 and a delivery note of 30.
    void marcoComLinhasDe200(double gastos)
    {
        Acompanhamento a = municipio();
        QCOMPARE(texto(a.gravaMovimentacao(3, {100, 50, 0, 0, 0, 30, gastos}, true)), QString());
        QVERIFY(a.gravaLinhaMedicamento(3, medicamento(elencoMinimo, 2, 100)));
        QVERIFY(a.gravaDocumento(3, documento(QStringLiteral("N"), cnpjA, QStringLiteral("1"), 170)));
        QVERIFY(a.gravaDocumento(3, documento(QStringLiteral("G"), cnpjSes, QStringLiteral("2"), 30, QStringLiteral("5"))));
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
        elencoMinimo = valor(QStringLiteral("select min(CO_SEQ_MEDICAMENTO) from TB_ELENCO_MINIMO where ST_ELENCO_MINIMO = 'S'")).toInt();
        outro = valor(QStringLiteral("select min(CO_SEQ_MEDICAMENTO) from TB_ELENCO_MINIMO where ST_ELENCO_MINIMO <> 'S'")).toInt();
        QVERIFY(elencoMinimo > 0 && outro > 0);
    }
    void cleanup()
    {
        db::setLockTimeout(db::defaultLockTimeout);
        c.reset();
    }

    // Spent 200 against a total of 180: the header is refused with both figures, and an
    // open month keeps what it had.
    void aHeaderSpendingMoreThanItsTotalIsRefused()
    {
        Acompanhamento a = municipio();
        const rules::Falhou f = a.gravaMovimentacao(3, {100, 50, 0, 0, 0, 30, 200}, true);
        QVERIFY(f);
        QCOMPARE(f->tipo, Falha::Tipo::Recusa);
        QCOMPARE(f->campo, QStringLiteral("VL_REC_GASTOS"));
        QCOMPARE(f->texto(), QStringLiteral("Recursos Gastos não pode ser maior que o Total Alocado\n"
                                            "Recursos Gastos: 200,00 \u2014 Total Alocado: 180,00"));
        QCOMPARE(cabecalho(3), QVariantList());
        QCOMPARE(valor(QStringLiteral("select count(*) from TB_SALDO_INICIAL_MUNICIPIO")).toInt(), 0);

        marcoComLinhasDe200(170);
        QVERIFY(a.gravaMovimentacao(3, {100, 50, 0, 0, 0, 30, 200}, false));
        QCOMPARE(cabecalho(3).at(6), QVariant(170.0));
        QCOMPARE(cabecalho(3).at(7).toString(), QStringLiteral("1"));
    }

    // The worked example: total 195, balance 45, 40 carried into April (the investment
    // income stays in March).
    void theWorkedMonthClosesAndCarriesItsBalance()
    {
        Acompanhamento a = municipio();
        QCOMPARE(texto(a.gravaMovimentacao(3, {100, 50, 10, 10, 5, 20, 150}, true)), QString());
        QVERIFY(a.gravaLinhaMedicamento(3, medicamento(elencoMinimo, 3, 50)));
        QVERIFY(a.gravaDocumento(3, documento(QStringLiteral("N"), cnpjA, QStringLiteral("1"), 130)));
        QVERIFY(a.gravaDocumento(3, documento(QStringLiteral("G"), cnpjSes, QStringLiteral("2"), 20, QStringLiteral("5"))));
        QCOMPARE(texto(a.verificaFechamento(3)), QString());
        QCOMPARE(texto(a.fechaMes(3, QDate(2005, 4, 2))), QString());
        QCOMPARE(cabecalho(3).at(7).toString(), QStringLiteral("2"));
        QCOMPARE(valor(QStringLiteral("select DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO")).toDate(), QDate(2005, 4, 2));

        const EscolhaMes abril = escolheMes(a.leEstadoAno());
        QCOMPARE(abril.tipo, EscolhaMes::Tipo::ProximoMes);
        QCOMPARE(abril.mes, 4);
        QCOMPARE(abril.saldoTransportado, 40.0);
        // Closed, it is neither closed again nor written.
        QCOMPARE(texto(a.fechaMes(3, QDate(2005, 4, 3))), QStringLiteral("Movimento já está fechado/exportado"));
        QCOMPARE(texto(a.gravaMovimentacao(3, {100, 50, 10, 10, 5, 20, 100}, false)),
                 QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada\n"
                                "O mês de Março já está fechado ou exportado."));
        const rules::Resultado<int> linha = a.gravaLinhaMedicamento(3, medicamento(elencoMinimo, 1, 1));
        QVERIFY(!linha);
        QCOMPARE(linha.falha().causa, QStringLiteral("O mês de Março já está fechado ou exportado."));
        QCOMPARE(valor(QStringLiteral("select count(*) from TB_EXECUCAO_FISICA_MUNICIPIO")).toInt(), 1);
    }

    // Each check on what is stored, one cent off, with the figures in the message; the
    // month stays open and its figures as they were.
    void theClosingIsRefusedByWhatIsStored_data()
    {
        QTest::addColumn<double>("gastos");
        QTest::addColumn<double>("alocadoMedicamentos");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("spent one cent above the medications")
            << 200.01 << 30.0
            << "Total Movimentação Financeira diferente do Total Execução Física\n"
               "Movimentação Financeira: 200,01 \u2014 Execução Física: 200,00";
        QTest::newRow("spent 170 against lines of 200")
            << 170.0 << 30.0
            << "Total Movimentação Financeira diferente do Total Execução Física\n"
               "Movimentação Financeira: 170,00 \u2014 Execução Física: 200,00";
        QTest::newRow("medications received one cent below the delivery notes")
            << 200.0 << 29.99
            << "Total em Medicamentos diferente do Total da Guia de Remessa\n"
               "Medicamentos Alocados: 29,99 \u2014 Guia de Remessa: 30,00";
        QTest::newRow("all agree") << 200.0 << 30.0 << QString();
    }
    void theClosingIsRefusedByWhatIsStored()
    {
        QFETCH(double, gastos);
        QFETCH(double, alocadoMedicamentos);
        QFETCH(QString, mensagem);
        marcoComLinhasDe200(100);
        // The header as stored, whatever a window shows.
        executa(QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_REC_GASTOS = :P1, VL_ALOC_MED = :P2, VL_ALOC_FEDERAL = 150"),
                {gastos, alocadoMedicamentos});
        Acompanhamento a = municipio();
        QCOMPARE(texto(a.verificaFechamento(3)), mensagem);
        QCOMPARE(texto(a.fechaMes(3, QDate::currentDate())), mensagem);
        QCOMPARE(cabecalho(3).at(7).toString(), mensagem.isEmpty() ? QStringLiteral("2") : QStringLiteral("1"));
        QCOMPARE(cabecalho(3).at(6), QVariant(gastos));
        if (!mensagem.isEmpty())
            QVERIFY(valor(QStringLiteral("select DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO")).isNull());
    }

    // Another seat holds the month's header: a line save, a delete and the closing each
    // say so and leave everything as it was.
    void anotherSeatHoldingTheMonth()
    {
        marcoComLinhasDe200(170);
        executa(QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_REC_GASTOS = 200, VL_ALOC_FEDERAL = 150"));
        db::setLockTimeout(1);
        db::Connection outra;
        support::TestDatabase::configure(outra);
        auto emMaos = std::make_unique<db::WriteUnit>(outra);
        db::Statement(outra, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_ALOC_ESTADUAL = 0")}).exec();

        const QString outroUsuario =
            QStringLiteral("Outro usuário está alterando os mesmos dados neste momento. A operação foi desfeita e pode ser repetida.");
        Acompanhamento a = municipio();
        const rules::Resultado<int> linha = a.gravaLinhaMedicamento(3, medicamento(outro, 1, 5));
        QVERIFY(!linha);
        QCOMPARE(linha.falha().tipo, Falha::Tipo::Conflito);
        QCOMPARE(linha.falha().texto(),
                 QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada\n") + outroUsuario);
        const int seq = valor(QStringLiteral("select min(CO_SEQ_DOC) from TB_FONTE_COMPROVACAO_MUNICIPIO")).toInt();
        const rules::Falhou exclusao = a.excluiDocumento(3, seq);
        QVERIFY(exclusao);
        QCOMPARE(exclusao->causa, outroUsuario);
        const rules::Falhou fechamento = a.fechaMes(3, QDate::currentDate());
        QVERIFY(fechamento);
        QCOMPARE(fechamento->texto(),
                 QStringLiteral("Problema na ReGravação - Fechamento !! ... operação cancelada\n") + outroUsuario);

        emMaos->commit();
        emMaos.reset();
        QCOMPARE(valor(QStringLiteral("select count(*) from TB_EXECUCAO_FISICA_MUNICIPIO")).toInt(), 1);
        QCOMPARE(valor(QStringLiteral("select count(*) from TB_FONTE_COMPROVACAO_MUNICIPIO")).toInt(), 2);
        QCOMPARE(cabecalho(3).at(7).toString(), QStringLiteral("1"));
        // Once the other seat is done, the closing goes through.
        QCOMPARE(texto(a.fechaMes(3, QDate::currentDate())), QString());
    }

    // The header's other-medications total follows the stored lines on every save and
    // delete; a line is changed by its number.
    void medicationLinesKeepTheHeadersTotal()
    {
        Acompanhamento a = municipio();
        QVERIFY(!a.gravaMovimentacao(3, {}, true));
        const rules::Resultado<int> primeira = a.gravaLinhaMedicamento(3, medicamento(outro, 3, 0.5));
        QVERIFY(primeira);
        const rules::Resultado<int> segunda = a.gravaLinhaMedicamento(3, medicamento(elencoMinimo, 2, 10));
        QVERIFY(segunda);
        QVERIFY(segunda.valor() != primeira.valor());
        QCOMPARE(cabecalho(3).at(8), QVariant(1.5));
        QCOMPARE(a.totaisExecucao(3).geral(), 21.5);

        LinhaMedicamento alterada = medicamento(outro, 4, 0.5);
        alterada.sequencia = primeira.valor();
        QVERIFY(a.gravaLinhaMedicamento(3, alterada));
        QCOMPARE(cabecalho(3).at(8), QVariant(2.0));
        QCOMPARE(valor(QStringLiteral("select count(*) from TB_EXECUCAO_FISICA_MUNICIPIO")).toInt(), 2);

        QCOMPARE(texto(a.excluiLinhaMedicamento(3, primeira.valor())), QString());
        QCOMPARE(cabecalho(3).at(8), QVariant(0.0));
        // Gone meanwhile: said, not reported as done.
        const rules::Falhou denovo = a.excluiLinhaMedicamento(3, primeira.valor());
        QVERIFY(denovo);
        QCOMPARE(denovo->tipo, Falha::Tipo::NaoEncontrado);
        alterada.sequencia = primeira.valor();
        QVERIFY(!a.gravaLinhaMedicamento(3, alterada));

        // Refused before the database: no medication, no quantity.
        LinhaMedicamento incompleta = medicamento(outro, 1, 1);
        incompleta.medicamento.reset();
        QCOMPARE(a.gravaLinhaMedicamento(3, incompleta).falha().campo, QStringLiteral("CO_SEQ_MEDICAMENTO"));
        incompleta = medicamento(outro, 1, 1);
        incompleta.quantidade.reset();
        QCOMPARE(a.gravaLinhaMedicamento(3, incompleta).falha().campo, QStringLiteral("QT_MEDICAMENTO"));
        QCOMPARE(valor(QStringLiteral("select count(*) from TB_EXECUCAO_FISICA_MUNICIPIO")).toInt(), 1);
    }

    // The document checks run in the unit that writes; an edit that keeps its number and
    // payee is not a second document.
    void documentLines()
    {
        Acompanhamento a = municipio();
        QVERIFY(!a.gravaMovimentacao(3, {}, true));
        const rules::Resultado<int> nota = a.gravaDocumento(3, documento(QStringLiteral("N"), cnpjA, QStringLiteral("7"), 10));
        QVERIFY(nota);
        const rules::Resultado<int> repetido = a.gravaDocumento(3, documento(QStringLiteral("E"), cnpjA, QStringLiteral("7"), 5));
        QCOMPARE(repetido.falha().texto(), QStringLiteral("Documento já lançado para este favorecido"));
        QCOMPARE(repetido.falha().campo, QStringLiteral("NR_NUMERO_DOC"));
        const rules::Resultado<int> outroTipo =
            a.gravaDocumento(3, documento(QStringLiteral("N"), cnpjA, QStringLiteral("8"), 5, QStringLiteral("2")));
        QCOMPARE(outroTipo.falha().texto(), QStringLiteral("Favorecido já lançado com outro tipo"));
        QCOMPARE(outroTipo.falha().campo, QStringLiteral("NU_FAVORECIDO"));

        LinhaDocumentoDigitada editada = documento(QStringLiteral("N"), cnpjA, QStringLiteral("7"), 12.5);
        editada.sequencia = nota.valor();
        editada.numeroAntes = QStringLiteral("7");
        editada.favorecidoAntes = cnpjA;
        editada.tipoFavorecidoAntes = QStringLiteral("1");
        QVERIFY(a.gravaDocumento(3, editada));
        QCOMPARE(a.totaisDocumentos(3).notaFiscal, 12.5);
        QVERIFY(a.gravaDocumento(3, documento(QStringLiteral("D"), cnpjB, QStringLiteral("9"), 3, QString())));
        QCOMPARE(a.totaisDocumentos(3).deposito, 3.0);
        QCOMPARE(texto(a.excluiDocumento(3, nota.valor())), QString());
        QCOMPARE(a.totaisDocumentos(3).notaFiscal, 0.0);
        // Without a stored header nothing is written.
        const rules::Resultado<int> semMes = a.gravaDocumento(4, documento(QStringLiteral("N"), cnpjB, QStringLiteral("1"), 1));
        QCOMPARE(semMes.falha().causa, QStringLiteral("O mês de Abril não tem movimentação gravada."));
    }

    // A state has no delivery notes: its medications allocated are stored as 0 and the
    // third check compares 0 with 0.
    void aStateClosesWithoutDeliveryNotes()
    {
        Acompanhamento a = estado();
        QCOMPARE(texto(a.gravaMovimentacao(5, {0, 100, 0, 0, 0, 30, 80}, true)), QString());
        QCOMPARE(cabecalho(5, 0).at(5), QVariant(0.0));
        QVERIFY(a.gravaLinhaMedicamento(5, medicamento(elencoMinimo, 8, 10)));
        QVERIFY(a.gravaDocumento(5, documento(QStringLiteral("N"), cnpjA, QStringLiteral("1"), 80)));
        // A month stored before with a figure there still closes.
        executa(QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_ALOC_MED = 30"));
        QCOMPARE(texto(a.fechaMes(5, QDate::currentDate())), QString());
        QCOMPARE(cabecalho(5, 0).at(7).toString(), QStringLiteral("2"));
    }
};

QTEST_GUILESS_MAIN(TestAcompanhamento)
#include "tst_acompanhamento.moc"
