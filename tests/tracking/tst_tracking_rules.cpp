// The follow-up's rules without a window: the taxpayer-number check, the balance
// arithmetic (the consultation's too), the month offered with its balance, the line
// checks and totals, the closing checks and the windows' captions.
#include "rules/Identificacao.h"
#include "text/Formats.h"
#include "tracking/rules/Acompanhamento.h"
#include "tracking/rules/Consulta.h"
#include "tracking/rules/EscolhaMes.h"
#include "tracking/rules/Linhas.h"
#include "tracking/rules/Saldo.h"
#include "tracking/rules/TCheckDoc.h"

#include <cmath>
#include <QTest>

using namespace tracking;

Q_DECLARE_METATYPE(tracking::EstadoAno)
Q_DECLARE_METATYPE(tracking::Valores)

namespace {

Cabecalho cabecalho(int mes, const QString& situacao, Valores v = {}, double outros = 0)
{
    return Cabecalho{mes, v, outros, situacao};
}

// The figures of the follow-up's worked example: balance 100, allocations 50, 10 and
// 10, income 5, medications 20, spent 150.
const Valores exemplo{100, 50, 10, 10, 5, 20, 150};

}  // namespace

class TestTrackingRules : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { text::setBrazilianFormats(); }

    void checkDoc_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("result");
        const int cpf = TCheckDoc::moCPF;
        const int cnpj = TCheckDoc::moCGC;
        QTest::newRow("CPF digits") << cpf << "52998224725" << true;
        QTest::newRow("CPF punctuated") << cpf << "529.982.247-25" << true;
        QTest::newRow("CPF with / for -") << cpf << "529.982.247/25" << false;
        QTest::newRow("CPF wrong first digit") << cpf << "52998224715" << false;
        QTest::newRow("CPF wrong second digit") << cpf << "52998224726" << false;
        QTest::newRow("CPF one repeated digit") << cpf << "11111111111" << true;
        QTest::newRow("CPF a letter") << cpf << "5299822472a" << false;
        QTest::newRow("CPF 10 digits") << cpf << "5299822472" << false;
        QTest::newRow("CPF empty") << cpf << "" << false;
        QTest::newRow("CPF a CNPJ") << cpf << "11222333000181" << false;
        QTest::newRow("CNPJ digits") << cnpj << "11222333000181" << true;
        QTest::newRow("CNPJ punctuated") << cnpj << "11.222.333/0001-81" << true;
        QTest::newRow("CNPJ separators swapped") << cnpj << "11.222.333-0001/81" << false;
        QTest::newRow("CNPJ wrong last digit") << cnpj << "11222333000182" << false;
        QTest::newRow("CNPJ wrong first check digit") << cnpj << "11222333000171" << false;
        QTest::newRow("CNPJ fourteen zeros") << cnpj << "00000000000000" << true;
        QTest::newRow("CNPJ a punctuated CPF") << cnpj << "529.982.247-25" << false;
        QTest::newRow("CNPJ 13 digits") << cnpj << "1122233300018" << false;
        QTest::newRow("CNPJ 11 digits") << cnpj << "52998224725" << false;
        QTest::newRow("CNPJ empty") << cnpj << "" << false;
    }
    void checkDoc()
    {
        QFETCH(int, mode);
        QFETCH(QString, input);
        QFETCH(bool, result);
        TCheckDoc check;
        check.setMode(TCheckDoc::TMode(mode));
        check.setInput(input);
        QCOMPARE(check.Result(), result);
        QCOMPARE(check.Input(), input);
    }

    void checkDocModeChangeAndResultWrite()
    {
        TCheckDoc check;
        QCOMPARE(check.Mode(), TCheckDoc::moCPF);
        QCOMPARE(check.Result(), false);
        check.setInput(QStringLiteral("11222333000181"));
        QCOMPARE(check.Result(), false);
        // A new mode checks the stored number again.
        QVERIFY(check.setProperty("Mode", QVariant::fromValue(TCheckDoc::moCGC)));
        QCOMPARE(check.Result(), true);
        check.setMode(TCheckDoc::moCPF);
        QCOMPARE(check.Result(), false);
        // Writing the result changes nothing.
        check.setProperty("Result", true);
        QCOMPARE(check.property("Result").toBool(), false);
    }

    // Typed as printed, kept as digits; anything else kept as typed, for the check to refuse.
    void identificationAsTypedAndPrinted_data()
    {
        QTest::addColumn<QString>("digitado");
        QTest::addColumn<QString>("gravado");
        QTest::addColumn<QString>("impresso");
        QTest::newRow("CNPJ punctuated") << "11.222.333/0001-81" << "11222333000181" << "11.222.333/0001-81";
        QTest::newRow("CNPJ digits") << "11222333000181" << "11222333000181" << "11.222.333/0001-81";
        QTest::newRow("CPF punctuated") << "529.982.247-25" << "52998224725" << "529.982.247-25";
        QTest::newRow("separators swapped") << "11.222.333-0001/81" << "11.222.333-0001/81" << "11.222.333-0001/81";
        QTest::newRow("13 digits") << "1122233300018" << "1122233300018" << "1122233300018";
        QTest::newRow("blanks around") << " 11.222.333/0001-81 " << "11222333000181" << "11.222.333/0001-81";
        QTest::newRow("empty") << "" << "" << "";
    }
    void identificationAsTypedAndPrinted()
    {
        QFETCH(QString, digitado);
        QFETCH(QString, gravado);
        QFETCH(QString, impresso);
        QCOMPARE(rules::identificacaoDigitos(digitado), gravado);
        QCOMPARE(rules::identificacaoPontuada(gravado), impresso);
    }

    void balance()
    {
        QCOMPARE(total(exemplo), 195.0);
        QCOMPARE(saldoAtual(exemplo), 45.0);
        QCOMPARE(text::formatFloat(text::masks::money, total(exemplo)), QStringLiteral("195,00"));
        // The income is shown in the month's total, not carried into the next month.
        QCOMPARE(saldoTransportado(exemplo), 40.0);
        // The consultation leaves it out of its total, so that its balance is the one
        // carried.
        QCOMPARE(text::formatFloat(text::masks::money, totalConsulta(exemplo)), QStringLiteral("190,00"));
        QCOMPARE(text::formatFloat(text::masks::money, saldoAtualConsulta(exemplo)), QStringLiteral("40,00"));
        // Income of 7 left out of both; 0,1 + 0,2 - 0,3 is no cent either way.
        const Valores centavos{0.1, 0.2, 0, 0, 7, 0, 0.3};
        QCOMPARE(text::formatFloat(text::masks::money, saldoAtualConsulta(centavos)), QStringLiteral("0,00"));
        QCOMPARE(text::formatFloat(text::masks::money, saldoTransportado(centavos)), QStringLiteral("0,00"));
        QVERIFY(std::abs(saldoAtualConsulta(centavos)) < 1e-9 && std::abs(saldoTransportado(centavos)) < 1e-9);
    }

    void captions_data()
    {
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<int>("cidade");
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QString>("municipio");
        QTest::addColumn<QString>("esperada");
        const QString longo = QStringLiteral("São José do Vale do Rio Preto e Arredores");
        QTest::newRow("municipal") << "Acompanhamento" << 3138203 << "" << "Lavras"
                                   << "Acompanhamento Municipal       Ano : 2005   Estado : MG   Município : Lavras   Pactuação : TDM";
        QTest::newRow("municipal with month")
            << "Consulta Acompanhamento" << 3138203 << "Março" << "Lavras"
            << "Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   Mes : Março   Município : Lavras   Pactuação : TDM";
        QTest::newRow("a long name is cut at 30")
            << "Consulta Acompanhamento" << 3138203 << "" << longo
            << "Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   Município : São José do Vale do Rio Preto "
               "   Pactuação : TDM";
        QTest::newRow("state") << "Consulta Acompanhamento" << 0 << "" << ""
                               << "Consulta Acompanhamento Estadual        Ano : 2005   Estado : MG";
        QTest::newRow("state with month") << "Acompanhamento" << 0 << "Dezembro" << ""
                                          << "Acompanhamento Estadual        Ano : 2005   Estado : MG   Mes : Dezembro";
    }
    void captions()
    {
        QFETCH(QString, titulo);
        QFETCH(int, cidade);
        QFETCH(QString, mes);
        QFETCH(QString, municipio);
        QFETCH(QString, esperada);
        QCOMPARE(legenda(titulo, {QStringLiteral("2005"), QStringLiteral("MG"), cidade}, mes, municipio, QStringLiteral("TDM")),
                 esperada);
    }

    void spentAgainstTotal_data()
    {
        QTest::addColumn<Valores>("valores");
        QTest::addColumn<bool>("excede");
        QTest::newRow("200 against 195") << Valores{100, 50, 10, 10, 5, 20, 200} << true;
        QTest::newRow("195 against 195") << Valores{100, 50, 10, 10, 5, 20, 195} << false;
        QTest::newRow("a cent more") << Valores{100, 50, 10, 10, 5, 20, 195.01} << true;
        QTest::newRow("0,80 against 0,70 + 0,10") << Valores{0.7, 0.1, 0, 0, 0, 0, 0.8} << false;
    }
    void spentAgainstTotal()
    {
        QFETCH(Valores, valores);
        QFETCH(bool, excede);
        QCOMPARE(gastosExcedemTotal(valores), excede);
        const rules::Falhou falha = verificaGastos(valores);
        QCOMPARE(bool(falha), excede);
        if (falha) {
            QCOMPARE(falha->mensagem, QStringLiteral("Recursos Gastos não pode ser maior que o Total Alocado"));
            QCOMPARE(falha->campo, QStringLiteral("VL_REC_GASTOS"));
            QVERIFY(falha->causa.startsWith(QStringLiteral("Recursos Gastos: ")));
        }
    }

    void closingChecks_data()
    {
        QTest::addColumn<double>("gastos");
        QTest::addColumn<double>("medicamentos");
        QTest::addColumn<double>("execucao");
        QTest::addColumn<double>("notas");
        QTest::addColumn<double>("guias");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("all agree") << 100.0 << 30.0 << 100.0 << 70.0 << 30.0 << QString();
        QTest::newRow("beyond the second decimal") << 100.0 << 30.0 << 100.004 << 70.0 << 30.0 << QString();
        QTest::newRow("medications differ") << 100.0 << 30.0 << 99.0 << 70.0 << 30.0
                                            << "Total Movimentação Financeira diferente do Total Execução Física\n"
                                               "Movimentação Financeira: 100,00 — Execução Física: 99,00";
        QTest::newRow("medications a cent short") << 1234.56 << 0.0 << 1234.55 << 1234.56 << 0.0
                                                  << "Total Movimentação Financeira diferente do Total Execução Física\n"
                                                     "Movimentação Financeira: 1.234,56 — Execução Física: 1.234,55";
        QTest::newRow("delivery notes 29,99: the second check first")
            << 100.0 << 30.0 << 100.0 << 70.0 << 29.99
            << "Total Movimentação Financeira Diferente do Total da Fonte de Comprovação\n"
               "Movimentação Financeira: 100,00 — Fonte de Comprovação: 99,99";
        QTest::newRow("medications received differ") << 100.0 << 25.0 << 100.0 << 70.0 << 30.0
                                                     << "Total em Medicamentos diferente do Total da Guia de Remessa\n"
                                                        "Medicamentos Alocados: 25,00 — Guia de Remessa: 30,00";
        QTest::newRow("nothing at all") << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << QString();
    }
    void closingChecks()
    {
        QFETCH(double, gastos);
        QFETCH(double, medicamentos);
        QFETCH(double, execucao);
        QFETCH(double, notas);
        QFETCH(double, guias);
        QFETCH(QString, mensagem);
        Valores v;
        v.gastos = gastos;
        v.medicamentos = medicamentos;
        const rules::Falhou falha = verificaFechamento(v, {execucao, notas, guias});
        QCOMPARE(falha ? falha->texto() : QString(), mensagem);
    }

    void monthOffered_data()
    {
        QTest::addColumn<EstadoAno>("ano");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("mes");
        QTest::addColumn<double>("saldoAnterior");
        QTest::addColumn<double>("transportado");
        QTest::addColumn<bool>("semSaldo");
        using T = EscolhaMes::Tipo;
        const Valores marco{100, 50, 10, 10, 5, 20, 150};
        const Valores abril{40, 1, 2, 3, 4, 5, 6};
        const SaldoInicial saldo{100, 3};

        QTest::newRow("first use of the year") << EstadoAno{} << int(T::QualquerMes) << 0 << 0.0 << 0.0 << true;
        QTest::newRow("an open month, no initial balance")
            << EstadoAno{{}, {cabecalho(3, "1", marco)}} << int(T::MesAberto) << 3 << 100.0 << 100.0 << true;
        QTest::newRow("an open month after the first save")
            << EstadoAno{saldo, {cabecalho(3, "1", marco)}} << int(T::MesAberto) << 3 << 100.0 << 100.0 << false;
        QTest::newRow("after closing March")
            << EstadoAno{saldo, {cabecalho(1, "3"), cabecalho(3, "2", marco)}} << int(T::ProximoMes) << 4 << 40.0 << 40.0
            << false;
        QTest::newRow("after closing March, April stored")
            << EstadoAno{saldo, {cabecalho(3, "2", marco), cabecalho(4, "1", abril)}} << int(T::ProximoMes) << 4 << 40.0
            << 40.0 << false;
        QTest::newRow("October after September")
            << EstadoAno{saldo, {cabecalho(9, "2", marco), cabecalho(10, "1", abril)}} << int(T::ProximoMes) << 10
            << 40.0 << 40.0 << false;
        QTest::newRow("December closed") << EstadoAno{saldo, {cabecalho(11, "3"), cabecalho(12, "2", marco)}}
                                         << int(T::AnoCompleto) << 0 << 0.0 << 40.0 << false;
        QTest::newRow("an initial balance and no header")
            << EstadoAno{SaldoInicial{250, 1}, {}} << int(T::QualquerMes) << 0 << 250.0 << 250.0 << false;
        QTest::newRow("closed months without an initial balance")
            << EstadoAno{{}, {cabecalho(3, "2", marco)}} << int(T::QualquerMes) << 0 << 0.0 << 0.0 << true;
    }
    void monthOffered()
    {
        QFETCH(EstadoAno, ano);
        QFETCH(int, tipo);
        QFETCH(int, mes);
        QFETCH(double, saldoAnterior);
        QFETCH(double, transportado);
        QFETCH(bool, semSaldo);
        const EscolhaMes e = escolheMes(ano);
        QCOMPARE(int(e.tipo), tipo);
        QCOMPARE(e.mes, mes);
        QCOMPARE(e.valores.saldoAnterior, saldoAnterior);
        QCOMPARE(e.saldoTransportado, transportado);
        QCOMPARE(e.semSaldoInicial, semSaldo);
    }

    void monthOfferedShowsItsStoredFigures()
    {
        const Valores abril{40, 1, 2, 3, 4, 5, 6};
        const EscolhaMes e = escolheMes({SaldoInicial{100, 3}, {cabecalho(3, "2", exemplo), cabecalho(4, "1", abril, 7.5)}});
        QCOMPARE(e.valores.federal, 1.0);
        QCOMPARE(e.valores.gastos, 6.0);
        QCOMPARE(e.totOutrosPactuada, 7.5);
    }

    void balanceBroughtForwardEditable()
    {
        QVERIFY(saldoAnteriorEditavel(true, {}));
        QVERIFY(saldoAnteriorEditavel(true, {cabecalho(1, "2"), cabecalho(2, "1")}));
        QVERIFY(saldoAnteriorEditavel(false, {cabecalho(3, "1")}));
        QVERIFY(!saldoAnteriorEditavel(false, {cabecalho(3, "2")}));
        QVERIFY(!saldoAnteriorEditavel(false, {cabecalho(3, "2"), cabecalho(4, "1")}));
        QVERIFY(!saldoAnteriorEditavel(false, {}));
    }

    void lineTotal()
    {
        QCOMPARE(text::formatFloat(text::masks::money, totalLinha(0.5, 3, 0)), QStringLiteral("1,50"));
        QCOMPARE(totalLinha(0.1, 3, 0), 3 * 0.1);  // not rounded
        QCOMPARE(totalLinha(0, 3, 7), 7.0);
        QCOMPARE(totalLinha(0.5, 0, 7), 7.0);
    }

    void medicationLineChecks()
    {
        QVERIFY(!verificaLinhaMedicamento(0.5, 3));
        const auto falha = [](std::optional<double> unitario, std::optional<double> quantidade) {
            const rules::Falhou f = verificaLinhaMedicamento(unitario, quantidade);
            return f ? f->mensagem + u'@' + f->campo : QString();
        };
        QCOMPARE(falha(std::nullopt, 3), QStringLiteral("informe o Valor Unitário@VL_UNITARIO"));
        QCOMPARE(falha(0, 3), QStringLiteral("informe o Valor Unitário@VL_UNITARIO"));
        QCOMPARE(falha(-1, std::nullopt), QStringLiteral("informe o Valor Unitário@VL_UNITARIO"));
        QCOMPARE(falha(0.5, std::nullopt), QStringLiteral("informe a Quantidade@QT_MEDICAMENTO"));
        QCOMPARE(falha(0.5, 0), QStringLiteral("informe a Quantidade@QT_MEDICAMENTO"));
    }

    void medicationTotals()
    {
        TotaisExecucao t;
        t.soma(10, QStringLiteral("S"));
        t.soma(1.5, QStringLiteral("N"));
        t.soma(2, QString());  // a medication not in the list
        t.soma(0.25, QStringLiteral("S"));
        QCOMPARE(t.elencoMinimo, 10.25);
        QCOMPARE(t.outros, 3.5);
        QCOMPARE(t.geral(), 13.75);
    }

    void typesByMode()
    {
        const auto valores = [](const QList<codigos::Codigo>& l) {
            QStringList out;
            for (const auto& c : l)
                out << c.valor + c.nome;
            return out;
        };
        QCOMPARE(valores(tiposDocumento(false)),
                 (QStringList{"NNota Fiscal", "EEmpenho", "DDepósito", "GGuia Remessa"}));
        QCOMPARE(valores(tiposDocumento(true)), (QStringList{"NNota Fiscal", "EEmpenho", "DDepósito"}));
        QCOMPARE(valores(tiposFavorecido(false)), (QStringList{"1Distribuidora", "2Drogaria/Farmácia", "3Industria Privada",
                                                               "4Industria Pública", "5Sec. Est. de Saúde"}));
        QCOMPARE(tiposFavorecido(true).size(), 4);
        QCOMPARE(tiposFavorecido(true).last().valor, QStringLiteral("4"));
    }

    void documentChecks_data()
    {
        QTest::addColumn<QString>("tipoDoc");
        QTest::addColumn<QString>("tipoFav");
        QTest::addColumn<QString>("favorecido");
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("campo");  // the column whose control takes the focus
        const QString cnpj = QStringLiteral("11222333000181");
        QTest::newRow("an invoice") << "N" << "1" << cnpj << 10.0 << QString() << QString();
        QTest::newRow("a deposit needs no payee type") << "D" << "" << cnpj << 10.0 << QString() << QString();
        QTest::newRow("a delivery note from the secretariat") << "G" << "5" << cnpj << 10.0 << QString() << QString();
        QTest::newRow("no document type, nothing else either") << "" << "" << "" << 0.0 << "Informe o Tipo do Documento !!" << "ST_TIPO_DOC";
        QTest::newRow("no payee type") << "N" << "" << "" << 0.0 << "Informe o Tipo do Favorecido !!" << "ST_TIPO_FAVORECIDO";
        QTest::newRow("a delivery note from a distributor") << "G" << "1" << "" << 0.0 << "Tipo Favorecido só pode ser SES" << "ST_TIPO_FAVORECIDO";
        QTest::newRow("no value") << "E" << "2" << "" << 0.0 << "informe o Valor" << "VL_DOC";
        QTest::newRow("fourteen zeros") << "N" << "1" << "00000000000000" << 10.0 << "identificação Inválida" << "NU_FAVORECIDO";
        QTest::newRow("a wrong last digit") << "N" << "1" << "11222333000182" << 10.0 << "Identificação Inválida !!" << "NU_FAVORECIDO";
        QTest::newRow("a CPF") << "N" << "2" << "52998224725" << 10.0 << "Identificação Inválida !!" << "NU_FAVORECIDO";
        QTest::newRow("the punctuated form passes") << "N" << "1" << "11.222.333/0001-81" << 10.0 << QString() << QString();
    }
    void documentChecks()
    {
        QFETCH(QString, tipoDoc);
        QFETCH(QString, tipoFav);
        QFETCH(QString, favorecido);
        QFETCH(double, valor);
        QFETCH(QString, mensagem);
        QFETCH(QString, campo);
        const Documento d{tipoDoc, tipoFav, favorecido, valor > 0 ? std::optional<double>(valor) : std::nullopt, {}, {}};
        const rules::Falhou erro = verificaDocumento(d);
        QCOMPARE(erro ? erro->mensagem : QString(), mensagem);
        QCOMPARE(erro ? erro->campo : QString(), campo);
    }

    void uniquenessChecksOnEditing()
    {
        QVERIFY(!verificaNumeroAoEditar("12", "11222333000181", "12", "11222333000181"));
        QVERIFY(verificaNumeroAoEditar("12", "11222333000181", "13", "11222333000181"));
        QVERIFY(verificaNumeroAoEditar("12", "11222333000181", "12", "44321111000175"));
        QVERIFY(!verificaTipoAoEditar("1", "1"));
        QVERIFY(verificaTipoAoEditar("1", "2"));
        QVERIFY(verificaTipoAoEditar("1", ""));  // now a deposit: compared with "0"
        QVERIFY(!verificaTipoAoEditar("", "2"));  // an empty stored type is no difference
        QVERIFY(!verificaTipoAoEditar("x", "2"));
        QCOMPARE(tipoComparado(QString()), QStringLiteral("0"));
        QCOMPARE(tipoComparado(QStringLiteral("5")), QStringLiteral("5"));
    }

    void documentTotals()
    {
        TotaisDocumentos t;
        t.soma(QStringLiteral("N"), 70);
        t.soma(QStringLiteral("G"), 30);
        t.soma(QStringLiteral("D"), 5);
        t.soma(QStringLiteral("E"), 8);
        t.soma(QStringLiteral("N"), 0.5);
        t.soma(QStringLiteral("X"), 1000);
        QCOMPARE(t.notaFiscal, 70.5);
        QCOMPARE(t.guiaRemessa, 30.0);
        QCOMPARE(t.deposito, 5.0);
        QCOMPARE(t.empenho, 8.0);
    }
};

QTEST_APPLESS_MAIN(TestTrackingRules)
#include "tst_tracking_rules.moc"
