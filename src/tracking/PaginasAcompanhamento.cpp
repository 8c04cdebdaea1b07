#include "tracking/PaginasAcompanhamento.h"

#include "data/Codigos.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/TfrmModeloPage.h"
#include "text/Formats.h"
#include "rules/Identificacao.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using db::FieldKind;
using db::FieldType;

namespace {

ui::MoneyEdit* moeda(const char* name, QWidget* parent)
{
    auto* e = new ui::MoneyEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMinimumWidth(110);
    return e;
}

void negrito(QWidget* w)
{
    QFont f = w->font();
    f.setBold(true);
    w->setFont(f);
}

// A label above its control, in a column of a grid.
void acima(QGridLayout* grid, int row, int column, const QString& caption, QWidget* control, QWidget* parent)
{
    grid->addWidget(ui::captionLabel(caption, control, parent), row, column);
    grid->addWidget(control, row + 1, column);
}

// Display suspended for the life of the guard.
class Suspende {
public:
    explicit Suspende(db::Dataset& ds) : ds_(ds) { ds_.disableControls(); }
    ~Suspende() { ds_.enableControls(); }

private:
    db::Dataset& ds_;
};

}  // namespace

void PaginasAcompanhamento::somenteLeitura(ui::MoneyEdit* e, bool readOnly)
{
    // Out of the tab order, Enter goes from figure to figure; still named for screen
    // readers.
    e->setReadOnly(readOnly);
    e->setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
    ui::setEditColour(e, !readOnly);
}

PaginasAcompanhamento::PaginasAcompanhamento(TfrmModeloPage* janela, const Fontes& fontes)
    : PaginasAcompanhamento(janela, fontes, Rotulos())
{
}

PaginasAcompanhamento::PaginasAcompanhamento(TfrmModeloPage* janela, const Fontes& fontes, const Rotulos& rotulos)
    : QObject(janela)
{
    setObjectName(QStringLiteral("PaginasAcompanhamento"));
    criaIdentificacao(janela);
    criaMovimentacao(janela);
    criaExecucaoFisica(janela, fontes);
    criaFonteComprovacao(janela, fontes, rotulos);
}

// --- the fields of the lines ------------------------------------------------------------

namespace {

void chave(db::Dataset& ds)
{
    ds.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4).setRequired().setVisible(false);
    ds.addField(QStringLiteral("CO_UF"), FieldType::String, 2).setRequired().setVisible(false);
    ds.addField(QStringLiteral("CO_CIDADE"), FieldType::Integer).setRequired().setVisible(false);
    ds.addField(QStringLiteral("NU_MES_COMPET"), FieldType::String, 2).setRequired().setVisible(false);
}

}  // namespace

void PaginasAcompanhamento::defineCamposExecucao(db::Dataset& ef)
{
    db::Field& origem = ef.addField(QStringLiteral("ST_ORIGEM"), FieldType::String, 1).setDisplayLabel(QStringLiteral("Origem"));
    origem.setDisplayWidth(9);
    // The grid names the origin; the radio group reads the code.
    origem.onGetText = [](const db::Field& f, bool forDisplay) {
        const QString codigo = f.value().toString();
        const QString nome = codigos::nomeDe(codigos::origem::todos, codigo);
        return forDisplay && !nome.isEmpty() ? nome : codigo;
    };
    ef.addField(QStringLiteral("VL_UNITARIO"), FieldType::Float)
        .setDisplayLabel(QStringLiteral("Valor Unitário"))
        .setDisplayFormat(QStringLiteral("###,###,##0.00000000"))
        .setEditFormat(QStringLiteral("0.00######"))
        .setDisplayWidth(14);
    ef.addField(QStringLiteral("QT_MEDICAMENTO"), FieldType::Integer)
        .setDisplayLabel(QStringLiteral("Qtde"))
        .setDisplayFormat(text::masks::integerGrouped)
        .setDisplayWidth(9);
    ef.addField(QStringLiteral("VL_TOTAL"), FieldType::Float)
        .setDisplayLabel(QStringLiteral("Valor Total"))
        .setDisplayFormat(text::masks::money)
        .setDisplayWidth(12)
        .setReadOnly();
    chave(ef);
    ef.addField(QStringLiteral("CO_SEQ_MED"), FieldType::SmallInt).setVisible(false);
    ef.addField(QStringLiteral("CO_SEQ_MEDICAMENTO"), FieldType::SmallInt)
        .setRequired()
        .setVisible(false)
        .setDisplayLabel(QStringLiteral("Medicamento"));
}

void PaginasAcompanhamento::defineFonte(db::Dataset& fc)
{
    fc.setSql({QStringLiteral("select * from TB_FONTE_COMPROVACAO_MUNICIPIO"),
               QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET and"), QStringLiteral("CO_UF = :CO_UF and"),
               QStringLiteral("CO_CIDADE = :CO_CIDADE and"), QStringLiteral("NU_MES_COMPET = :NU_MES_COMPET"),
               QStringLiteral("order by st_tipo_doc, dt_doc")});
    db::Field& tipo = fc.addField(QStringLiteral("ST_TIPO_DOC"), FieldType::String, 1).setDisplayLabel(QStringLiteral("Tipo"));
    tipo.setDisplayWidth(12);
    tipo.onGetText = [](const db::Field& f, bool forDisplay) {
        const QString codigo = f.value().toString();
        const QString nome = codigos::nomeDe(codigos::tipoDocumento::todos, codigo);
        return forDisplay && !nome.isEmpty() ? nome : codigo;
    };
    // Typed as printed or as digits, stored as digits, shown as printed.
    db::Field& favorecido =
        fc.addField(QStringLiteral("NU_FAVORECIDO"), FieldType::String, 14).setDisplayLabel(QStringLiteral("Identificação Favorecido"));
    favorecido.setDisplayWidth(18);
    favorecido.onGetText = [](const db::Field& f, bool forDisplay) {
        const QString v = f.value().toString();
        return forDisplay ? rules::identificacaoPontuada(v) : v;
    };
    favorecido.onSetText = [](db::Field& f, const QString& texto) {
        const QString t = rules::identificacaoDigitos(texto);
        if (t.isEmpty())
            f.clear();
        else
            f.setValue(t);
    };
    fc.addField(QStringLiteral("NR_NUMERO_DOC"), FieldType::String, 20).setDisplayLabel(QStringLiteral("Número do Documento"));
    fc.addField(QStringLiteral("DT_DOC"), FieldType::Date).setDisplayLabel(QStringLiteral("Data"));
    fc.addField(QStringLiteral("VL_DOC"), FieldType::Float)
        .setDisplayLabel(QStringLiteral("Valor"))
        .setDisplayFormat(text::masks::moneyShort)
        .setEditFormat(QStringLiteral("##0.00"));
    fc.addField(QStringLiteral("ST_TIPO_FAVORECIDO"), FieldType::String, 1)
        .setDisplayLabel(QStringLiteral("Tipo Favorecido"))
        .setVisible(false);
    chave(fc);
    fc.addField(QStringLiteral("CO_SEQ_DOC"), FieldType::SmallInt).setVisible(false);
}

// --- the pages ----------------------------------------------------------------------

void PaginasAcompanhamento::criaIdentificacao(TfrmModeloPage* janela)
{
    QWidget* tbsprincipal = janela->tbsprincipal;
    ui::PageControl* pgEdicao = janela->pgEdicao;
    pgEdicao->setTabText(0, QStringLiteral("&Identificação"));
    auto* grid = new QGridLayout(tbsprincipal);
    GradeIdentificacao = grid;
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);

    EdtAnoCompetencia = new QLineEdit(tbsprincipal);
    EdtAnoCompetencia->setObjectName(QStringLiteral("EdtAnoCompetencia"));
    EditUF = new QLineEdit(tbsprincipal);
    EditUF->setObjectName(QStringLiteral("EditUF"));
    EdtMunicipio = new QLineEdit(tbsprincipal);
    EdtMunicipio->setObjectName(QStringLiteral("EdtMunicipio"));
    for (QLineEdit* e : {EdtAnoCompetencia, EditUF, EdtMunicipio}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        ui::setEditColour(e, false);
    }
    EdtAnoCompetencia->setMaximumWidth(80);
    EditUF->setMaximumWidth(60);
    EdtMunicipio->setMinimumWidth(360);

    CBMes = new QComboBox(tbsprincipal);
    CBMes->setObjectName(QStringLiteral("CBMes"));
    CBMes->setMinimumWidth(160);
    CBMesExtenso = new QComboBox(tbsprincipal);
    CBMesExtenso->setObjectName(QStringLiteral("CBMesExtenso"));
    CBMesExtenso->addItems(text::monthNames());
    CBMesExtenso->hide();

    acima(grid, 0, 0, QStringLiteral("Ano Competência"), EdtAnoCompetencia, tbsprincipal);
    acima(grid, 0, 1, QStringLiteral("Estado"), EditUF, tbsprincipal);
    LblMunicipio = ui::captionLabel(QStringLiteral("Município"), EdtMunicipio, tbsprincipal);
    LblMunicipio->setObjectName(QStringLiteral("LblMunicipio"));
    grid->addWidget(LblMunicipio, 2, 0, 1, 3);
    grid->addWidget(EdtMunicipio, 3, 0, 1, 3);
    acima(grid, 4, 0, QStringLiteral("Mês Competência"), CBMes, tbsprincipal);
    grid->setRowMinimumHeight(2, 28);
    grid->setRowMinimumHeight(4, 28);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(6, 1);
}

void PaginasAcompanhamento::criaMovimentacao(TfrmModeloPage* janela)
{
    ui::PageControl* pgEdicao = janela->pgEdicao;
    tbsMovimentacao = new QWidget(pgEdicao);
    tbsMovimentacao->setObjectName(QStringLiteral("tbsMovimentacao"));
    pgEdicao->addTab(tbsMovimentacao, QStringLiteral("&Movimentação Financeira"));
    QWidget* p = tbsMovimentacao;
    auto* page = new QHBoxLayout(p);
    page->setContentsMargins(12, 14, 12, 12);
    page->setSpacing(16);

    // One grid, so that every figure lines up; the allocations are indented under their
    // heading.
    auto* esquerda = new QGridLayout;
    esquerda->setVerticalSpacing(6);
    esquerda->setHorizontalSpacing(12);
    int row = 0;
    const auto linha = [&](const QString& caption, ui::MoneyEdit* e, int recuo = 0) {
        auto* l = ui::captionLabel(caption, e, p);
        l->setContentsMargins(recuo, 0, 0, 0);
        esquerda->addWidget(l, row, 0);
        esquerda->addWidget(e, row, 1);
        ++row;
        return l;
    };
    EdtSaldoAnterior = moeda("EdtSaldoAnterior", p);
    linha(QStringLiteral("Saldo Anterior (+)"), EdtSaldoAnterior);
    auto* alocados = new QLabel(QStringLiteral("Recursos Financeiros Alocados"), p);
    alocados->setObjectName(QStringLiteral("LblRecursosAlocados"));
    esquerda->addWidget(alocados, row++, 0, 1, 2);
    EdtRecAlocFederal = moeda("EdtRecAlocFederal", p);
    EdtRecAlocEstadual = moeda("EdtRecAlocEstadual", p);
    EdtRecAlocMunicipal = moeda("EdtRecAlocMunicipal", p);
    EdtRecAlocRendAplic = moeda("EdtRecAlocRendAplic", p);
    linha(QStringLiteral("Federal"), EdtRecAlocFederal, 16);
    linha(QStringLiteral("Estadual"), EdtRecAlocEstadual, 16);
    linha(QStringLiteral("Tesouro Municipal"), EdtRecAlocMunicipal, 16);
    linha(QStringLiteral("Rendimentos Aplicados"), EdtRecAlocRendAplic, 16);
    for (ui::MoneyEdit* e : {EdtRecAlocFederal, EdtRecAlocEstadual, EdtRecAlocMunicipal, EdtRecAlocRendAplic})
        e->setAccessibleDescription(alocados->text());
    EdtRecMedAloc = moeda("EdtRecMedAloc", p);
    linha(QStringLiteral("Recursos em Medicamentos Alocados ( Guia de Remessa )"), EdtRecMedAloc);
    esquerda->setRowMinimumHeight(row++, 6);
    EdtTotal = moeda("EdtTotal", p);
    negrito(linha(QStringLiteral("Total (+)"), EdtTotal));
    EdtRecGastos = moeda("EdtRecGastos", p);
    linha(QStringLiteral("Recursos Gastos (-)"), EdtRecGastos);
    EdtSaldoAtual = moeda("EdtSaldoAtual", p);
    negrito(linha(QStringLiteral("Saldo Atual (=)"), EdtSaldoAtual));
    esquerda->setRowStretch(row, 1);
    page->addLayout(esquerda);

    // The money spent is shown in red.
    QPalette vermelho = EdtRecGastos->palette();
    vermelho.setColor(QPalette::Text, Qt::red);
    EdtRecGastos->setPalette(vermelho);
    negrito(EdtTotal);
    negrito(EdtSaldoAtual);

    GrpTotalMensal = new QGroupBox(QStringLiteral("Total Mensal dos Incentivos"), p);
    GrpTotalMensal->setObjectName(QStringLiteral("GrpTotalMensal"));
    auto* mensal = new QGridLayout(GrpTotalMensal);
    mensal->setHorizontalSpacing(12);
    EdtMensalFederal = moeda("EdtMensalFederal", GrpTotalMensal);
    EdtMensalEstadual = moeda("EdtMensalEstadual", GrpTotalMensal);
    EdtMensalMunicipal = moeda("EdtMensalMunicipal", GrpTotalMensal);
    int linhaMensal = 0;
    for (auto [caption, e] : {std::pair{QStringLiteral("Federal"), EdtMensalFederal}, std::pair{QStringLiteral("Estadual"), EdtMensalEstadual},
                              std::pair{QStringLiteral("Tesouro Municipal"), EdtMensalMunicipal}}) {
        mensal->addWidget(ui::captionLabel(caption, e, GrpTotalMensal), linhaMensal, 0);
        mensal->addWidget(e, linhaMensal++, 1);
        e->setAccessibleDescription(GrpTotalMensal->title());
    }
    LblIncentivoDesatualizado = new QLabel(GrpTotalMensal);
    LblIncentivoDesatualizado->setObjectName(QStringLiteral("LblIncentivoDesatualizado"));
    LblIncentivoDesatualizado->setWordWrap(true);
    LblIncentivoDesatualizado->setStyleSheet(QStringLiteral("color: #a00000;"));
    LblIncentivoDesatualizado->setVisible(false);
    mensal->addWidget(LblIncentivoDesatualizado, linhaMensal, 0, 1, 2);
    auto* direita = new QVBoxLayout;
    direita->addWidget(GrpTotalMensal);
    direita->addStretch(1);
    page->addLayout(direita, 1);

    for (ui::MoneyEdit* e : {EdtTotal, EdtSaldoAtual, EdtMensalFederal, EdtMensalEstadual, EdtMensalMunicipal})
        somenteLeitura(e, true);
    QWidget::setTabOrder(EdtSaldoAnterior, EdtRecAlocFederal);
    QWidget::setTabOrder(EdtRecAlocFederal, EdtRecAlocEstadual);
    QWidget::setTabOrder(EdtRecAlocEstadual, EdtRecAlocMunicipal);
    QWidget::setTabOrder(EdtRecAlocMunicipal, EdtRecAlocRendAplic);
    QWidget::setTabOrder(EdtRecAlocRendAplic, EdtRecMedAloc);
    QWidget::setTabOrder(EdtRecMedAloc, EdtRecGastos);
}

void PaginasAcompanhamento::criaExecucaoFisica(TfrmModeloPage* janela, const Fontes& fontes)
{
    ui::PageControl* pgEdicao = janela->pgEdicao;
    tbsExecucaoFisica = new QWidget(pgEdicao);
    tbsExecucaoFisica->setObjectName(QStringLiteral("tbsExecucaoFisica"));
    pgEdicao->addTab(tbsExecucaoFisica, QStringLiteral("&Execução Física"));
    QWidget* p = tbsExecucaoFisica;
    auto* page = new QVBoxLayout(p);
    page->setContentsMargins(8, 8, 8, 8);

    auto* campos = new QGridLayout;
    campos->setHorizontalSpacing(12);
    campos->setVerticalSpacing(2);
    DBLookupMedicamento = new ui::DbLookupComboBox(p);
    DBLookupMedicamento->setObjectName(QStringLiteral("DBLookupMedicamento"));
    DBLookupMedicamento->setListSource(fontes.elencoUF);
    DBLookupMedicamento->setKeyField(QStringLiteral("CO_MEDICAMENTO"));
    DBLookupMedicamento->setListField(QStringLiteral("DS_MEDICAMENTO"));
    DBLookupMedicamento->setDataField(QStringLiteral("CO_SEQ_MEDICAMENTO"));
    DBLookupMedicamento->setDataSource(fontes.execucao);
    DBLookupMedicamento->setMinimumWidth(380);
    DBLookupMedicamento->setMaxVisibleItems(20);
    campos->addWidget(ui::captionLabel(QStringLiteral("Medicamento"), DBLookupMedicamento, p), 0, 0, 1, 3);
    campos->addWidget(DBLookupMedicamento, 1, 0, 1, 3);

    DBOrigem = new ui::DbRadioGroup(QStringLiteral("Origem"), p);
    DBOrigem->setObjectName(QStringLiteral("DBOrigem"));
    DBOrigem->setAccessibleName(QStringLiteral("Origem"));
    QStringList nomes, codigosOrigem;
    for (const codigos::Codigo& c : codigos::origem::todos) {
        nomes << c.nome;
        codigosOrigem << c.valor;
    }
    DBOrigem->setItems(nomes, codigosOrigem);
    DBOrigem->setColumns(2);
    DBOrigem->setDataField(QStringLiteral("ST_ORIGEM"));
    DBOrigem->setDataSource(fontes.execucao);
    DBOrigem->layout()->setContentsMargins(8, 2, 8, 2);
    QSizePolicy retem = DBOrigem->sizePolicy();
    retem.setRetainSizeWhenHidden(true);
    DBOrigem->setSizePolicy(retem);
    campos->addWidget(DBOrigem, 0, 3, 2, 1);

    DBEdit1 = new ui::DbEdit(fontes.execucao, QStringLiteral("VL_UNITARIO"), p);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setAlignment(Qt::AlignRight);
    DBEdit2 = new ui::DbEdit(fontes.execucao, QStringLiteral("QT_MEDICAMENTO"), p);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setAlignment(Qt::AlignRight);
    DBEdit2->setMaxLength(9);
    DBEdit3 = new ui::DbEdit(fontes.execucao, QStringLiteral("VL_TOTAL"), p);
    DBEdit3->setObjectName(QStringLiteral("DBEdit3"));
    DBEdit3->setAlignment(Qt::AlignRight);
    DBEdit3->setFocusPolicy(Qt::NoFocus);
    ui::setEditColour(DBEdit3, false);
    acima(campos, 2, 0, QStringLiteral("Valor Unitário"), DBEdit1, p);
    acima(campos, 2, 1, QStringLiteral("Quantidade"), DBEdit2, p);
    acima(campos, 2, 2, QStringLiteral("Valor Total"), DBEdit3, p);
    campos->setColumnStretch(4, 1);
    page->addLayout(campos);

    DBGridExecucao = new ui::DbGrid(p);
    DBGridExecucao->setObjectName(QStringLiteral("DBGridExecucao"));
    DBGridExecucao->setAccessibleName(QStringLiteral("&Execução Física"));
    DBGridExecucao->setDataSource(fontes.execucao);
    page->addWidget(DBGridExecucao, 1);

    auto* totais = new QGridLayout;
    totais->setHorizontalSpacing(16);
    totais->setVerticalSpacing(2);
    EdtTotalElencoMinimo = moeda("EdtTotalElencoMinimo", p);
    EdtPactuada = moeda("EdtPactuada", p);
    EdtTotalGeralExecFis = moeda("EdtTotalGeralExecFis", p);
    acima(totais, 0, 0, QStringLiteral("Total de Medicamentos do Elenco Mínimo"), EdtTotalElencoMinimo, p);
    acima(totais, 0, 1, QStringLiteral("Total dos Outros Medicamentos da Relação Pactuada"), EdtPactuada, p);
    acima(totais, 0, 2, QStringLiteral("Total Geral"), EdtTotalGeralExecFis, p);
    totais->setColumnStretch(3, 1);
    page->addLayout(totais);
    for (ui::MoneyEdit* e : {EdtTotalElencoMinimo, EdtPactuada, EdtTotalGeralExecFis}) {
        somenteLeitura(e, true);
        negrito(e);
        e->setMaximumWidth(160);
    }

    QWidget::setTabOrder(DBLookupMedicamento, DBOrigem->button(0));
    QWidget::setTabOrder(DBOrigem->button(0), DBOrigem->button(1));
    QWidget::setTabOrder(DBOrigem->button(1), DBEdit1);
    QWidget::setTabOrder(DBEdit1, DBEdit2);
}

void PaginasAcompanhamento::criaFonteComprovacao(TfrmModeloPage* janela, const Fontes& fontes, const Rotulos& rotulos)
{
    ui::PageControl* pgEdicao = janela->pgEdicao;
    tbsFonteComprovacao = new QWidget(pgEdicao);
    tbsFonteComprovacao->setObjectName(QStringLiteral("tbsFonteComprovacao"));
    pgEdicao->addTab(tbsFonteComprovacao, QStringLiteral("F&onte de Comprovação"));
    QWidget* p = tbsFonteComprovacao;
    auto* page = new QVBoxLayout(p);
    page->setContentsMargins(8, 8, 8, 8);

    auto* tipos = new QHBoxLayout;
    DBTipoDocumento = new ui::DbRadioGroup(QStringLiteral("Tipo Documento"), p);
    DBTipoDocumento->setObjectName(QStringLiteral("DBTipoDocumento"));
    DBTipoDocumento->setAccessibleName(QStringLiteral("Tipo Documento"));
    DBTipoDocumento->setColumns(2);
    DBTipoDocumento->setDataField(QStringLiteral("ST_TIPO_DOC"));
    DBTipoDocumento->setDataSource(fontes.fonte);
    DBTipoFavorecido = new ui::DbRadioGroup(rotulos.tipoFavorecido, p);
    DBTipoFavorecido->setObjectName(QStringLiteral("DBTipoFavorecido"));
    DBTipoFavorecido->setAccessibleName(rotulos.tipoFavorecido);
    DBTipoFavorecido->setColumns(3);
    DBTipoFavorecido->setDataField(QStringLiteral("ST_TIPO_FAVORECIDO"));
    DBTipoFavorecido->setDataSource(fontes.fonte);
    QSizePolicy retem = DBTipoFavorecido->sizePolicy();
    retem.setRetainSizeWhenHidden(true);
    DBTipoFavorecido->setSizePolicy(retem);
    tipos->addWidget(DBTipoDocumento, 2);
    tipos->addWidget(DBTipoFavorecido, 3);
    page->addLayout(tipos);

    auto* campos = new QGridLayout;
    campos->setHorizontalSpacing(12);
    campos->setVerticalSpacing(2);
    DBEdit4 = new ui::DbEdit(fontes.fonte, QStringLiteral("NU_FAVORECIDO"), p);
    DBEdit4->setObjectName(QStringLiteral("DBEdit4"));
    DBEdit4->setTypedLength(18);  // 99.999.999/9999-99
    DBEdit5 = new ui::DbEdit(fontes.fonte, QStringLiteral("NR_NUMERO_DOC"), p);
    DBEdit5->setObjectName(QStringLiteral("DBEdit5"));
    DBEdit6 = new ui::DbEdit(fontes.fonte, QStringLiteral("VL_DOC"), p);
    DBEdit6->setObjectName(QStringLiteral("DBEdit6"));
    DBEdit6->setAlignment(Qt::AlignRight);
    DBEdit7 = new ui::DbDateEdit(fontes.fonte, QStringLiteral("DT_DOC"), p);
    DBEdit7->setObjectName(QStringLiteral("DBEdit7"));
    acima(campos, 0, 0, QStringLiteral("Identificação do Favorecido"), DBEdit4, p);
    acima(campos, 0, 1, rotulos.numeroDocumento, DBEdit5, p);
    acima(campos, 0, 2, QStringLiteral("Valor"), DBEdit6, p);
    acima(campos, 0, 3, QStringLiteral("Data"), DBEdit7, p);
    DBEdit4->setMinimumWidth(150);
    DBEdit5->setMinimumWidth(190);
    DBEdit6->setMinimumWidth(110);
    DBEdit7->setMinimumWidth(100);
    campos->setColumnStretch(4, 1);
    page->addLayout(campos);

    DBGridFonte = new ui::DbGrid(p);
    DBGridFonte->setObjectName(QStringLiteral("DBGridFonte"));
    DBGridFonte->setAccessibleName(QStringLiteral("F&onte de Comprovação"));
    DBGridFonte->setDataSource(fontes.fonte);
    page->addWidget(DBGridFonte, 1);

    auto* totais = new QGridLayout;
    totais->setHorizontalSpacing(16);
    totais->setVerticalSpacing(2);
    EdtTotalNF = moeda("EdtTotalNF", p);
    EdtTotalGuiaRemessa = moeda("EdtTotalGuiaRemessa", p);
    EdtTotalDeposito = moeda("EdtTotalDeposito", p);
    EdtTotalEmpenho = moeda("EdtTotalEmpenho", p);
    acima(totais, 0, 0, QStringLiteral("Total N. Fiscal"), EdtTotalNF, p);
    acima(totais, 0, 1, QStringLiteral("Total Guia Remessa"), EdtTotalGuiaRemessa, p);
    acima(totais, 0, 2, QStringLiteral("Total Depósito"), EdtTotalDeposito, p);
    acima(totais, 0, 3, QStringLiteral("Total Empenho"), EdtTotalEmpenho, p);
    totais->setColumnStretch(4, 1);
    page->addLayout(totais);
    for (ui::MoneyEdit* e : {EdtTotalNF, EdtTotalGuiaRemessa, EdtTotalDeposito, EdtTotalEmpenho}) {
        somenteLeitura(e, true);
        negrito(e);
        e->setMaximumWidth(160);
    }

    // The payee type shows or hides with the document type of every line shown.
    fonte_ = fontes.fonte;
    QObject::connect(fontes.fonte, &db::DataSource::dataChanged, janela, [this] { mostraTipoFavorecido(); });
    QObject::connect(fontes.fonte, &db::DataSource::rowsChanged, janela, [this] { mostraTipoFavorecido(); });
}


// --- what the pages show ------------------------------------------------------------

db::Dataset* PaginasAcompanhamento::datasetDaPagina(const QWidget* pagina) const
{
    if (pagina && pagina == tbsExecucaoFisica)
        return DBGridExecucao->dataset();
    if (pagina && pagina == tbsFonteComprovacao)
        return DBGridFonte->dataset();
    return nullptr;
}

int PaginasAcompanhamento::mesCompetencia() const
{
    const QString nome = CBMes->currentText();
    return nome.isEmpty() ? 0 : CBMesExtenso->findText(nome) + 1;
}

tracking::Valores PaginasAcompanhamento::valores() const
{
    return {EdtSaldoAnterior->value(), EdtRecAlocFederal->value(), EdtRecAlocEstadual->value(), EdtRecAlocMunicipal->value(),
            EdtRecAlocRendAplic->value(), EdtRecMedAloc->value(), EdtRecGastos->value()};
}

void PaginasAcompanhamento::mostraValores(const tracking::Valores& v)
{
    EdtSaldoAnterior->setValue(v.saldoAnterior);
    EdtRecAlocFederal->setValue(v.federal);
    EdtRecAlocEstadual->setValue(v.estadual);
    EdtRecAlocMunicipal->setValue(v.municipal);
    EdtRecAlocRendAplic->setValue(v.rendimentos);
    EdtRecMedAloc->setValue(v.medicamentos);
    EdtRecGastos->setValue(v.gastos);
}

void PaginasAcompanhamento::limpaTotais()
{
    totaisExecucao_ = {};
    totaisDocumentos_ = {};
    for (ui::MoneyEdit* e : {EdtTotalElencoMinimo, EdtPactuada, EdtTotalGeralExecFis, EdtTotalNF, EdtTotalGuiaRemessa,
                             EdtTotalDeposito, EdtTotalEmpenho})
        e->setValue(0);
}

void PaginasAcompanhamento::preencheTipos(bool estadual)
{
    const auto preenche = [](ui::DbRadioGroup* grupo, const QList<codigos::Codigo>& lista) {
        QStringList nomes, valores;
        for (const codigos::Codigo& c : lista) {
            nomes << c.nome;
            valores << c.valor;
        }
        grupo->setItems(nomes, valores);
    };
    preenche(DBTipoDocumento, tracking::tiposDocumento(estadual));
    preenche(DBTipoFavorecido, tracking::tiposFavorecido(estadual));
    QWidget::setTabOrder(DBTipoDocumento->button(0), DBTipoFavorecido->button(0));
}

void PaginasAcompanhamento::mostraTipoFavorecido()
{
    const db::Dataset* ds = fonte_ ? fonte_->dataset() : nullptr;
    const bool deposito =
        ds && ds->isActive() && ds->findField(QStringLiteral("ST_TIPO_DOC"))->asString() == codigos::tipoDocumento::deposito;
    DBTipoFavorecido->setVisible(!deposito);
}

void PaginasAcompanhamento::abreLinhas(db::Dataset& ds, const tracking::Chave& chave, int mes)
{
    ds.close();
    ds.setParam(QStringLiteral("NU_ANO_COMPET"), chave.ano);
    ds.setParam(QStringLiteral("CO_UF"), chave.uf);
    ds.setParam(QStringLiteral("CO_CIDADE"), chave.cidade);
    ds.setParam(QStringLiteral("NU_MES_COMPET"), QString::number(mes));
    ds.open();
}

void PaginasAcompanhamento::acumulaExecucao(db::Dataset& ds, const tracking::Chave& chave, int mes)
{
    Suspende suspensa(ds);
    totaisExecucao_ = {};
    abreLinhas(ds, chave, mes);
    const db::Field& total = ds.fieldByName(QStringLiteral("VL_TOTAL"));
    const db::Field& marca = ds.fieldByName(QStringLiteral("ElencoMinimo"));
    for (int r = 0; r < ds.recordCount(); ++r)
        totaisExecucao_.soma(ds.rowValue(r, total).toDouble(), ds.rowValue(r, marca).toString());
    EdtTotalElencoMinimo->setValue(totaisExecucao_.elencoMinimo);
    EdtPactuada->setValue(totaisExecucao_.outros);
    EdtTotalGeralExecFis->setValue(totaisExecucao_.geral());
    ds.first();
}

void PaginasAcompanhamento::acumulaFonte(db::Dataset& ds, const tracking::Chave& chave, int mes)
{
    Suspende suspensa(ds);
    totaisDocumentos_ = {};
    abreLinhas(ds, chave, mes);
    const db::Field& tipo = ds.fieldByName(QStringLiteral("ST_TIPO_DOC"));
    const db::Field& valor = ds.fieldByName(QStringLiteral("VL_DOC"));
    for (int r = 0; r < ds.recordCount(); ++r)
        totaisDocumentos_.soma(ds.rowValue(r, tipo).toString(), ds.rowValue(r, valor).toDouble());
    EdtTotalNF->setValue(totaisDocumentos_.notaFiscal);
    EdtTotalGuiaRemessa->setValue(totaisDocumentos_.guiaRemessa);
    EdtTotalDeposito->setValue(totaisDocumentos_.deposito);
    EdtTotalEmpenho->setValue(totaisDocumentos_.empenho);
    ds.first();
}
