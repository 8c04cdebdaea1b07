#include "tracking/TfrmExecucaoMunicipal.h"

#include "data/Codigos.h"
#include "data/DMPrincipal.h"
#include "db/Field.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "text/Formats.h"
#include "tracking/rules/EscolhaMes.h"
#include "tracking/rules/TCheckDoc.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

using db::FieldType;
using db::FieldKind;

namespace {

// A money figure the user does not type: read-only, button face, out of the tab order
// (Enter goes from figure to figure), still named for screen readers.
void somenteLeitura(ui::MoneyEdit* e, bool readOnly)
{
    e->setReadOnly(readOnly);
    e->setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
    ui::setEditColour(e, !readOnly);
}

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

}  // namespace

TfrmExecucaoMunicipal::TfrmExecucaoMunicipal(QWidget* owner)
    : TfrmModeloPage(owner),
      TB_Cidade(&DMPrincipal->IBDatabaseGeral, QStringLiteral("TB_Cidade")),
      TB_Elenco_Minimo(&DMPrincipal->IBDatabaseGeral, QStringLiteral("TB_Elenco_Minimo")),
      RL_ElencoMinimo_UF(&DMPrincipal->IBDatabaseGeral, QStringLiteral("RL_ElencoMinimo_UF")),
      DsRL_ElencoMinimo_UF(&RL_ElencoMinimo_UF),
      Tb_Execucao_Fisica_Municipio(&DMPrincipal->IBDatabaseGeral, QStringLiteral("Tb_Execucao_Fisica_Municipio")),
      DsTb_Execucao_Fisica_Municipio(&Tb_Execucao_Fisica_Municipio),
      UPTb_Execucao_Fisica_Municipio(DMPrincipal->IBDatabaseGeral),
      Tb_Fonte_comprovacao_Municipio(&DMPrincipal->IBDatabaseGeral, QStringLiteral("Tb_Fonte_comprovacao_Municipio")),
      DsTb_Fonte_comprovacao_Municipio(&Tb_Fonte_comprovacao_Municipio),
      UPTb_Fonte_comprovacao_Municipio(DMPrincipal->IBDatabaseGeral),
      CheckDoc1(new TCheckDoc(this))
{
    setObjectName(QStringLiteral("frmExecucaoMunicipal"));
    setWindowTitle(QStringLiteral("Acompanhamento Municipal"));
    CheckDoc1->setObjectName(QStringLiteral("CheckDoc1"));
    CheckDoc1->setMode(TCheckDoc::moCGC);

    defineDatasets();
    criaIdentificacao();
    criaMovimentacao();
    criaExecucaoFisica();
    criaFonteComprovacao();

    // Apagar serves the detail pages.
    BbtExcluir->setVisible(true);
    ToolButtonFecha = addToolButton(ToolBar1, QStringLiteral("&Fecha Movimento"), QStringLiteral("Fecha Movimento"),
                                    style()->standardIcon(QStyle::SP_DialogSaveButton), [this] { ToolButton1Click(); },
                                    QSize(80, 36));
    ToolButtonFecha->setObjectName(QStringLiteral("ToolButton1"));

    pgEdicao->changeVeto = [this](int from, int to) {
        bool permite = false;
        run([&] { permite = pgEdicaoChanging(from, to); });
        return permite;
    };
    connect(pgEdicao, &ui::PageControl::changed, this, [this] { run([this] { pgEdicaoChange(); }); });

    setClientSize(790, 508);
    FormCreate();
}

TfrmExecucaoMunicipal::~TfrmExecucaoMunicipal()
{
    // The controls go before the datasets they show.
    dtsEdicao->setDataset(nullptr);
}

// --- construction -------------------------------------------------------------------

void TfrmExecucaoMunicipal::defineDatasets()
{
    TB_Cidade.setSql({QStringLiteral("SELECT TB_CIDADE_PACTUACAO.CO_UF,"), QStringLiteral("TB_CIDADE.CO_SEQ_CIDADE,"),
                      QStringLiteral("TB_CIDADE.NO_CIDADE,"), QStringLiteral("tb_cidade_pactuacao.co_forma_pactuacao"),
                      QStringLiteral("FROM TB_CIDADE"),
                      QStringLiteral("RIGHT OUTER JOIN TB_CIDADE_PACTUACAO ON (TB_CIDADE.CO_SEQ_CIDADE = TB_CIDADE_PACTUACAO.CO_CIDADE)"),
                      QStringLiteral("WHERE "), QStringLiteral("TB_CIDADE.CO_UF = :CO_UF and"),
                      QStringLiteral("TB_CIDADE.CO_SEQ_CIDADE = :CO_CIDADE"), QStringLiteral("order by no_cidade")});

    TB_Elenco_Minimo.setSql({QStringLiteral("select * from TB_ELENCO_MINIMO"), QStringLiteral("order by ds_medicamento")});

    RL_ElencoMinimo_UF.setSql({QStringLiteral("select RL.*, EL.DS_MEDICAMENTO"),
                               QStringLiteral("from RL_ELENCOMINIMO_UF RL,TB_ELENCO_MINIMO EL"),
                               QStringLiteral("WHERE RL.CO_UF = :CO_UF AND"),
                               QStringLiteral("RL.CO_MEDICAMENTO = EL.CO_SEQ_MEDICAMENTO"),
                               QStringLiteral("order by EL.DS_MEDICAMENTO")});

    const auto chave = [](db::Dataset& ds) {
        ds.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4).setRequired().setVisible(false);
        ds.addField(QStringLiteral("CO_UF"), FieldType::String, 2).setRequired().setVisible(false);
        ds.addField(QStringLiteral("CO_CIDADE"), FieldType::Integer).setRequired().setVisible(false);
        ds.addField(QStringLiteral("NU_MES_COMPET"), FieldType::String, 2).setRequired().setVisible(false);
    };
    const QStringList chaveMes = {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"),
                                  QStringLiteral("NU_MES_COMPET")};
    // The database numbers a new line; the insert gives the number back, so that the line
    // can be changed or deleted at once.
    const auto devolveNumero = [](db::UpdateSql& up, const QString& coluna) {
        for (const QString& line : up.insertSql)
            if (line.contains(QLatin1String("returning"), Qt::CaseInsensitive))
                return;
        up.insertSql << QStringLiteral("returning %1").arg(coluna);
    };

    // Medications, in the grid's column order.
    db::Dataset& ef = Tb_Execucao_Fisica_Municipio;
    ef.setSql({QStringLiteral("select * from TB_EXECUCAO_FISICA_MUNICIPIO"),
               QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET and"), QStringLiteral("CO_UF = :CO_UF and"),
               QStringLiteral("CO_CIDADE = :CO_CIDADE and"), QStringLiteral("NU_MES_COMPET = :NU_MES_COMPET")});
    ef.addField(QStringLiteral("Medicamento"), FieldType::String, 50, FieldKind::Lookup)
        .setLookup(&TB_Elenco_Minimo, QStringLiteral("CO_SEQ_MEDICAMENTO"), QStringLiteral("CO_SEQ_MEDICAMENTO"),
                   QStringLiteral("DS_MEDICAMENTO"))
        .setDisplayLabel(QStringLiteral("Medicamento"))
        .setDisplayWidth(34);
    ef.addField(QStringLiteral("ElencoMinimo"), FieldType::String, 1, FieldKind::Lookup)
        .setLookup(&TB_Elenco_Minimo, QStringLiteral("CO_SEQ_MEDICAMENTO"), QStringLiteral("CO_SEQ_MEDICAMENTO"),
                   QStringLiteral("ST_ELENCO_MINIMO"))
        .setDisplayLabel(QStringLiteral("Elenco Mín"))
        .setDisplayWidth(6);
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
    UPTb_Execucao_Fisica_Municipio.generate(
        QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), chaveMes + QStringList{QStringLiteral("CO_SEQ_MED")},
        chaveMes + QStringList{QStringLiteral("CO_SEQ_MED"), QStringLiteral("CO_SEQ_MEDICAMENTO"), QStringLiteral("QT_MEDICAMENTO"),
                               QStringLiteral("VL_UNITARIO"), QStringLiteral("VL_TOTAL"), QStringLiteral("ST_ORIGEM")});
    devolveNumero(UPTb_Execucao_Fisica_Municipio, QStringLiteral("CO_SEQ_MED"));
    ef.setUpdateObject(&UPTb_Execucao_Fisica_Municipio);
    ef.onNewRecord = [this](db::Dataset& ds) { Tb_Execucao_Fisica_MunicipioNewRecord(ds); };
    ef.onAfterPost = [this](db::Dataset& ds) { Tb_Execucao_Fisica_MunicipioAfterPost(ds); };
    connect(&DsTb_Execucao_Fisica_Municipio, &db::DataSource::stateChanged, this,
            [this] { run([this] { DsTb_Execucao_Fisica_MunicipioStateChange(); }); });

    // Documents, in the grid's column order.
    db::Dataset& fc = Tb_Fonte_comprovacao_Municipio;
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
    fc.addField(QStringLiteral("NU_FAVORECIDO"), FieldType::String, 14).setDisplayLabel(QStringLiteral("Identificação Favorecido"));
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
    UPTb_Fonte_comprovacao_Municipio.generate(
        QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO"), chaveMes + QStringList{QStringLiteral("CO_SEQ_DOC")},
        chaveMes + QStringList{QStringLiteral("CO_SEQ_DOC"), QStringLiteral("ST_TIPO_DOC"), QStringLiteral("NU_FAVORECIDO"),
                               QStringLiteral("NR_NUMERO_DOC"), QStringLiteral("ST_TIPO_FAVORECIDO"), QStringLiteral("DT_DOC"),
                               QStringLiteral("VL_DOC")});
    devolveNumero(UPTb_Fonte_comprovacao_Municipio, QStringLiteral("CO_SEQ_DOC"));
    fc.setUpdateObject(&UPTb_Fonte_comprovacao_Municipio);
    fc.onNewRecord = [this](db::Dataset& ds) { Tb_Fonte_comprovacao_MunicipioNewRecord(ds); };
    fc.onAfterPost = [this](db::Dataset& ds) { Tb_Fonte_comprovacao_MunicipioAfterPost(ds); };
    connect(&DsTb_Fonte_comprovacao_Municipio, &db::DataSource::stateChanged, this,
            [this] { run([this] { DsTb_Fonte_comprovacao_MunicipioStateChange(); }); });
}

void TfrmExecucaoMunicipal::criaIdentificacao()
{
    pgEdicao->setTabText(0, QStringLiteral("Identificação"));
    auto* grid = new QGridLayout(tbsprincipal);
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

void TfrmExecucaoMunicipal::criaMovimentacao()
{
    tbsMovimentacao = new QWidget(pgEdicao);
    tbsMovimentacao->setObjectName(QStringLiteral("tbsMovimentacao"));
    pgEdicao->addTab(tbsMovimentacao, QStringLiteral("Movimentação Financeira"));
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
    auto* direita = new QVBoxLayout;
    direita->addWidget(GrpTotalMensal);
    direita->addStretch(1);
    page->addLayout(direita, 1);

    for (ui::MoneyEdit* e : {EdtTotal, EdtSaldoAtual, EdtMensalFederal, EdtMensalEstadual, EdtMensalMunicipal})
        somenteLeitura(e, true);
    for (ui::MoneyEdit* e : {EdtSaldoAnterior, EdtRecAlocFederal, EdtRecAlocEstadual, EdtRecAlocMunicipal, EdtRecAlocRendAplic,
                             EdtRecMedAloc, EdtRecGastos}) {
        ultimoValor_.insert(e, 0);
        connect(e, &ui::MoneyEdit::valueChanged, this, [this, e] { run([this, e] { EdtSaldoAnteriorChange(e); }); });
    }
    setTabOrder(EdtSaldoAnterior, EdtRecAlocFederal);
    setTabOrder(EdtRecAlocFederal, EdtRecAlocEstadual);
    setTabOrder(EdtRecAlocEstadual, EdtRecAlocMunicipal);
    setTabOrder(EdtRecAlocMunicipal, EdtRecAlocRendAplic);
    setTabOrder(EdtRecAlocRendAplic, EdtRecMedAloc);
    setTabOrder(EdtRecMedAloc, EdtRecGastos);
}

void TfrmExecucaoMunicipal::criaExecucaoFisica()
{
    tbsExecucaoFisica = new QWidget(pgEdicao);
    tbsExecucaoFisica->setObjectName(QStringLiteral("tbsExecucaoFisica"));
    pgEdicao->addTab(tbsExecucaoFisica, QStringLiteral("Execução Física"));
    QWidget* p = tbsExecucaoFisica;
    auto* page = new QVBoxLayout(p);
    page->setContentsMargins(8, 8, 8, 8);

    auto* campos = new QGridLayout;
    campos->setHorizontalSpacing(12);
    campos->setVerticalSpacing(2);
    DBLookupMedicamento = new ui::DbLookupComboBox(p);
    DBLookupMedicamento->setObjectName(QStringLiteral("DBLookupMedicamento"));
    DBLookupMedicamento->setListSource(&DsRL_ElencoMinimo_UF);
    DBLookupMedicamento->setKeyField(QStringLiteral("CO_MEDICAMENTO"));
    DBLookupMedicamento->setListField(QStringLiteral("DS_MEDICAMENTO"));
    DBLookupMedicamento->setDataField(QStringLiteral("CO_SEQ_MEDICAMENTO"));
    DBLookupMedicamento->setDataSource(&DsTb_Execucao_Fisica_Municipio);
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
    DBOrigem->setDataSource(&DsTb_Execucao_Fisica_Municipio);
    DBOrigem->layout()->setContentsMargins(8, 2, 8, 2);
    QSizePolicy retem = DBOrigem->sizePolicy();
    retem.setRetainSizeWhenHidden(true);
    DBOrigem->setSizePolicy(retem);
    campos->addWidget(DBOrigem, 0, 3, 2, 1);

    DBEdit1 = new ui::DbEdit(&DsTb_Execucao_Fisica_Municipio, QStringLiteral("VL_UNITARIO"), p);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setAlignment(Qt::AlignRight);
    DBEdit2 = new ui::DbEdit(&DsTb_Execucao_Fisica_Municipio, QStringLiteral("QT_MEDICAMENTO"), p);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit2->setAlignment(Qt::AlignRight);
    DBEdit2->setMaxLength(9);
    DBEdit3 = new ui::DbEdit(&DsTb_Execucao_Fisica_Municipio, QStringLiteral("VL_TOTAL"), p);
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
    DBGridExecucao->setAccessibleName(QStringLiteral("Execução Física"));
    DBGridExecucao->setDataSource(&DsTb_Execucao_Fisica_Municipio);
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

    setTabOrder(DBLookupMedicamento, DBOrigem->button(0));
    setTabOrder(DBOrigem->button(0), DBOrigem->button(1));
    setTabOrder(DBOrigem->button(1), DBEdit1);
    setTabOrder(DBEdit1, DBEdit2);
}

void TfrmExecucaoMunicipal::criaFonteComprovacao()
{
    tbsFonteComprovacao = new QWidget(pgEdicao);
    tbsFonteComprovacao->setObjectName(QStringLiteral("tbsFonteComprovacao"));
    pgEdicao->addTab(tbsFonteComprovacao, QStringLiteral("Fonte de Comprovação"));
    QWidget* p = tbsFonteComprovacao;
    auto* page = new QVBoxLayout(p);
    page->setContentsMargins(8, 8, 8, 8);

    auto* tipos = new QHBoxLayout;
    DBTipoDocumento = new ui::DbRadioGroup(QStringLiteral("Tipo Documento"), p);
    DBTipoDocumento->setObjectName(QStringLiteral("DBTipoDocumento"));
    DBTipoDocumento->setAccessibleName(QStringLiteral("Tipo Documento"));
    DBTipoDocumento->setColumns(2);
    DBTipoDocumento->setDataField(QStringLiteral("ST_TIPO_DOC"));
    DBTipoDocumento->setDataSource(&DsTb_Fonte_comprovacao_Municipio);
    DBTipoFavorecido = new ui::DbRadioGroup(QStringLiteral("Tipo Favorecido"), p);
    DBTipoFavorecido->setObjectName(QStringLiteral("DBTipoFavorecido"));
    DBTipoFavorecido->setAccessibleName(QStringLiteral("Tipo Favorecido"));
    DBTipoFavorecido->setColumns(3);
    DBTipoFavorecido->setDataField(QStringLiteral("ST_TIPO_FAVORECIDO"));
    DBTipoFavorecido->setDataSource(&DsTb_Fonte_comprovacao_Municipio);
    QSizePolicy retem = DBTipoFavorecido->sizePolicy();
    retem.setRetainSizeWhenHidden(true);
    DBTipoFavorecido->setSizePolicy(retem);
    tipos->addWidget(DBTipoDocumento, 2);
    tipos->addWidget(DBTipoFavorecido, 3);
    page->addLayout(tipos);

    auto* campos = new QGridLayout;
    campos->setHorizontalSpacing(12);
    campos->setVerticalSpacing(2);
    DBEdit4 = new ui::DbEdit(&DsTb_Fonte_comprovacao_Municipio, QStringLiteral("NU_FAVORECIDO"), p);
    DBEdit4->setObjectName(QStringLiteral("DBEdit4"));
    DBEdit5 = new ui::DbEdit(&DsTb_Fonte_comprovacao_Municipio, QStringLiteral("NR_NUMERO_DOC"), p);
    DBEdit5->setObjectName(QStringLiteral("DBEdit5"));
    DBEdit6 = new ui::DbEdit(&DsTb_Fonte_comprovacao_Municipio, QStringLiteral("VL_DOC"), p);
    DBEdit6->setObjectName(QStringLiteral("DBEdit6"));
    DBEdit6->setAlignment(Qt::AlignRight);
    DBEdit7 = new ui::DbDateEdit(&DsTb_Fonte_comprovacao_Municipio, QStringLiteral("DT_DOC"), p);
    DBEdit7->setObjectName(QStringLiteral("DBEdit7"));
    acima(campos, 0, 0, QStringLiteral("Identificação do Favorecido"), DBEdit4, p);
    acima(campos, 0, 1, QStringLiteral("Identificação do Documento"), DBEdit5, p);
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
    DBGridFonte->setAccessibleName(QStringLiteral("Fonte de Comprovação"));
    DBGridFonte->setDataSource(&DsTb_Fonte_comprovacao_Municipio);
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

    connect(DBTipoDocumento, &ui::DbRadioGroup::clicked, this, [this] { run([this] { DBTipoDocumentoChange(); }); });
    // The payee type shows or hides with the document type of every line shown.
    connect(&DsTb_Fonte_comprovacao_Municipio, &db::DataSource::dataChanged, this, [this] { mostraTipoFavorecido(); });
    connect(&DsTb_Fonte_comprovacao_Municipio, &db::DataSource::rowsChanged, this, [this] { mostraTipoFavorecido(); });
}

// --- helpers ------------------------------------------------------------------------

int TfrmExecucaoMunicipal::mesCompetencia() const
{
    const QString nome = CBMes->currentText();
    return nome.isEmpty() ? 0 : CBMesExtenso->findText(nome) + 1;
}

tracking::Valores TfrmExecucaoMunicipal::valores() const
{
    return {EdtSaldoAnterior->value(), EdtRecAlocFederal->value(), EdtRecAlocEstadual->value(), EdtRecAlocMunicipal->value(),
            EdtRecAlocRendAplic->value(), EdtRecMedAloc->value(), EdtRecGastos->value()};
}

tracking::Acompanhamento TfrmExecucaoMunicipal::acompanhamento() const
{
    return tracking::Acompanhamento(DMPrincipal->IBDatabaseGeral,
                                    {DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString(),
                                     DMPrincipal->TB_Parametro_MELTUCO_UF->asString(), codigoCidade_});
}

QString TfrmExecucaoMunicipal::legenda(bool comMes) const
{
    const QString ano = DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString();
    const QString uf = DMPrincipal->TB_Parametro_MELTUCO_UF->asString();
    const QString mes = comMes ? QStringLiteral("Mes : ") + CBMes->currentText() + QStringLiteral("   ") : QString();
    if (estadual()) {
        QString t = QStringLiteral("Acompanhamento Estadual        Ano : ") + ano + QStringLiteral("   Estado : ") + uf;
        if (comMes)
            t += QStringLiteral("   Mes : ") + CBMes->currentText();
        return t;
    }
    const QString nome = TB_Cidade.isActive() && !TB_Cidade.isEmpty() ? TB_Cidade.fieldByName(QStringLiteral("NO_CIDADE")).asString() : QString();
    const QString forma =
        TB_Cidade.isActive() && !TB_Cidade.isEmpty() ? TB_Cidade.fieldByName(QStringLiteral("CO_FORMA_PACTUACAO")).asString() : QString();
    return QStringLiteral("Acompanhamento Municipal       Ano : ") + ano + QStringLiteral("   Estado : ") + uf +
           QStringLiteral("   ") + mes + QStringLiteral("Município : ") + nome.left(30) + QStringLiteral("   Pactuação : ") +
           forma;
}

void TfrmExecucaoMunicipal::mostraValores(const tracking::Valores& v)
{
    EdtSaldoAnterior->setValue(v.saldoAnterior);
    EdtRecAlocFederal->setValue(v.federal);
    EdtRecAlocEstadual->setValue(v.estadual);
    EdtRecAlocMunicipal->setValue(v.municipal);
    EdtRecAlocRendAplic->setValue(v.rendimentos);
    EdtRecMedAloc->setValue(v.medicamentos);
    EdtRecGastos->setValue(v.gastos);
}

bool TfrmExecucaoMunicipal::paginaDetalhe() const
{
    const QWidget* p = pgEdicao->currentPage();
    return p == tbsExecucaoFisica || p == tbsFonteComprovacao;
}

db::Dataset* TfrmExecucaoMunicipal::datasetDaPagina() const
{
    if (pgEdicao->currentPage() == tbsExecucaoFisica)
        return const_cast<db::Dataset*>(&Tb_Execucao_Fisica_Municipio);
    if (pgEdicao->currentPage() == tbsFonteComprovacao)
        return const_cast<db::Dataset*>(&Tb_Fonte_comprovacao_Municipio);
    return nullptr;
}

// --- the window ---------------------------------------------------------------------

void TfrmExecucaoMunicipal::FormCreate()
{
    pnAjuda->hide();
    cbEsconde->hide();

    db::Dataset& parametros = DMPrincipal->TB_Parametro_MELTU;
    parametros.open();
    const QString uf = DMPrincipal->TB_Parametro_MELTUCO_UF->asString();
    RL_ElencoMinimo_UF.setParam(QStringLiteral("CO_UF"), uf);
    RL_ElencoMinimo_UF.open();
    codigoCidade_ = DMPrincipal->codigoCidadeInstalacao();
    TB_Cidade.setParam(QStringLiteral("CO_UF"), uf);
    TB_Cidade.setParam(QStringLiteral("CO_CIDADE"), codigoCidade_);
    TB_Cidade.open();
    if (codigoCidade_ != 0 && TB_Cidade.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Município sem pactuação"), this);
        fechaAoMostrar_ = true;
        return;
    }

    EdtMunicipio->setText(TB_Cidade.isEmpty() ? QString() : TB_Cidade.fieldByName(QStringLiteral("NO_CIDADE")).asString());
    EdtMunicipio->setCursorPosition(0);
    LblMunicipio->setVisible(!estadual());
    EdtMunicipio->setVisible(!estadual());

    pgEdicao->setCurrentPage(0);
    EditUF->setText(uf);
    EdtAnoCompetencia->setText(DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());

    BbtInserir->setEnabled(false);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
    BbtExcluir->setEnabled(false);

    const auto preenche = [](ui::DbRadioGroup* grupo, const QList<codigos::Codigo>& lista) {
        QStringList nomes, valores;
        for (const codigos::Codigo& c : lista) {
            nomes << c.nome;
            valores << c.valor;
        }
        grupo->setItems(nomes, valores);
    };
    preenche(DBTipoDocumento, tracking::tiposDocumento(estadual()));
    preenche(DBTipoFavorecido, tracking::tiposFavorecido(estadual()));
    setTabOrder(DBTipoDocumento->button(0), DBTipoFavorecido->button(0));
}

void TfrmExecucaoMunicipal::FormShow()
{
    if (fechaAoMostrar_) {
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    setWindowTitle(legenda(false));
    iniciaMes();
}

void TfrmExecucaoMunicipal::FormClose()
{
    if (db::Dataset* ds = datasetDaPagina())
        ds->close();
}

void TfrmExecucaoMunicipal::BbtInserirClick()
{
    if (paginaDetalhe())
        novaLinha();
    else
        iniciaMes();
}

void TfrmExecucaoMunicipal::iniciaMes()
{
    CBMes->clear();
    mostraValores({});
    EdtTotal->setValue(0);
    EdtSaldoAtual->setValue(0);
    EdtPactuada->setValue(0);
    pgEdicao->setCurrentPage(0);
    CBMes->setFocus();
    NovaIdentificacao();
    BbtInserir->setEnabled(true);
    BbtExcluir->setEnabled(false);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
}

void TfrmExecucaoMunicipal::NovaIdentificacao()
{
    const tracking::EscolhaMes escolha = tracking::escolheMes(acompanhamento().leEstadoAno());
    SemSaldoInicial = escolha.semSaldoInicial;
    SaldoTransportado = escolha.saldoTransportado;
    CBMes->clear();
    switch (escolha.tipo) {
    case tracking::EscolhaMes::Tipo::QualquerMes:
        CBMes->addItems(text::monthNames());
        CBMes->setCurrentIndex(-1);
        mostraValores(escolha.valores);
        break;
    case tracking::EscolhaMes::Tipo::AnoCompleto:
        ui::Dialogs::message(QStringLiteral("Informações completas para este ano"), this);
        break;
    case tracking::EscolhaMes::Tipo::MesAberto:
    case tracking::EscolhaMes::Tipo::ProximoMes:
        mostraValores(escolha.valores);
        EdtPactuada->setValue(escolha.totOutrosPactuada);
        CBMes->addItem(text::monthName(escolha.mes));
        CBMes->setCurrentIndex(0);
        break;
    }
}

bool TfrmExecucaoMunicipal::pgEdicaoChanging(int from, int to)
{
    const QWidget* saindo = pgEdicao->widget(from);
    if ((saindo == tbsExecucaoFisica || saindo == tbsFonteComprovacao) && !BbtInserir->isEnabled()) {
        ui::Dialogs::message(QStringLiteral("Mudança não permitida ... Atualização pendente !!"), this);
        return false;
    }
    return true;
}

void TfrmExecucaoMunicipal::pgEdicaoChange()
{
    if (CBMes->currentText().isEmpty()) {
        pgEdicao->setCurrentPage(0);
        CBMes->setFocus();
        return;
    }
    setWindowTitle(legenda(true));
    GrpTotalMensal->setVisible(!estadual());

    QWidget* pagina = pgEdicao->currentPage();
    BbtGravar->setEnabled(pagina != tbsprincipal);
    if (pagina == tbsMovimentacao) {
        BbtExcluir->setEnabled(false);
        preparaMovimentacao();
    } else if (paginaDetalhe()) {
        if (tracking::gastosExcedemTotal(valores())) {
            ui::Dialogs::message(QStringLiteral("Recursos Gastos não pode ser maior que o Total Alocado"), this);
            pgEdicao->setCurrentPage(tbsMovimentacao);
            preparaMovimentacao();
            EdtRecGastos->setFocus();
            return;
        }
        // Lines are entered only for a month whose header is stored.
        if (!GravaMovimentacao()) {
            pgEdicao->setCurrentPage(tbsMovimentacao);
            preparaMovimentacao();
            return;
        }
        preparaPaginaDetalhe();
    }
}

void TfrmExecucaoMunicipal::preparaMovimentacao()
{
    const tracking::Acompanhamento a = acompanhamento();
    const tracking::Incentivo incentivo = a.incentivoAnual();
    EdtMensalFederal->setValue(incentivo.federal / 12);
    EdtMensalEstadual->setValue(incentivo.estadual / 12);
    EdtMensalMunicipal->setValue(incentivo.municipal / 12);

    const bool editavel = tracking::saldoAnteriorEditavel(SemSaldoInicial, a.leEstadoAno().cabecalhos);
    somenteLeitura(EdtSaldoAnterior, !editavel);
    if (!editavel)
        EdtSaldoAnterior->setValue(SaldoTransportado);
    for (ui::MoneyEdit* e : {EdtRecAlocFederal, EdtRecAlocEstadual, EdtRecAlocMunicipal, EdtRecAlocRendAplic, EdtRecMedAloc,
                             EdtRecGastos})
        somenteLeitura(e, false);
    (editavel ? EdtSaldoAnterior : EdtRecAlocFederal)->setFocus();
}

void TfrmExecucaoMunicipal::EdtSaldoAnteriorChange(ui::MoneyEdit* edit)
{
    if (edit->value() < 0) {
        ui::Dialogs::message(QStringLiteral("Valor Negativo não permitido"), this);
        edit->setValue(ultimoValor_.value(edit));
        edit->setFocus();
        return;
    }
    ultimoValor_.insert(edit, edit->value());
    const tracking::Valores v = valores();
    EdtTotal->setValue(tracking::total(v));
    EdtSaldoAtual->setValue(tracking::saldoAtual(v));
    if (!BbtGravar->isEnabled()) {
        BbtInserir->setEnabled(false);
        BbtGravar->setEnabled(true);
        BbtCancelar->setEnabled(true);
        BbtSair->setEnabled(true);
    }
}

void TfrmExecucaoMunicipal::BbtGravarClick()
{
    if (pgEdicao->currentPage() == tbsExecucaoFisica) {
        gravaLinhaExecucao();
        return;
    }
    if (pgEdicao->currentPage() == tbsFonteComprovacao) {
        gravaLinhaFonte();
        return;
    }
    if (CBMes->currentText().isEmpty()) {
        pgEdicao->setCurrentPage(0);
        CBMes->setFocus();
        return;
    }
    if (pgEdicao->currentPage() == tbsprincipal) {
        pgEdicao->setCurrentPage(tbsMovimentacao);
        setWindowTitle(legenda(true));
        GrpTotalMensal->setVisible(!estadual());
        preparaMovimentacao();
        return;
    }
    if (tracking::gastosExcedemTotal(valores())) {
        ui::Dialogs::message(QStringLiteral("Recursos Gastos não pode ser maior que o Total Alocado"), this);
        EdtRecGastos->setFocus();
        return;
    }
    if (ui::Dialogs::confirm(QStringLiteral("Confirma a gravação do registro ?"), this))
        GravaMovimentacao();
}

bool TfrmExecucaoMunicipal::GravaMovimentacao()
{
    using G = tracking::Acompanhamento::Gravacao;
    const G resultado = acompanhamento().gravaMovimentacao(mesCompetencia(), valores(), SemSaldoInicial);
    switch (resultado) {
    case G::Gravado:
        break;
    case G::FalhaSaldoInicial:
        ui::Dialogs::message(QStringLiteral("Problema na Gravação - Identificação !! ... operação cancelada"), this);
        return false;
    case G::FalhaInclusao:
        ui::Dialogs::message(QStringLiteral("Problema na Gravação - Movimentação!! ... operação cancelada"), this);
        break;
    case G::FalhaAlteracao:
        ui::Dialogs::message(QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada"), this);
        break;
    }
    BbtInserir->setEnabled(true);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
    return resultado == G::Gravado;
}

void TfrmExecucaoMunicipal::BbtCancelarClick()
{
    if (paginaDetalhe()) {
        if (db::Dataset* ds = datasetDaPagina())
            ds->cancel();
    } else {
        pgEdicao->setCurrentPage(0);
        CBMes->setFocus();
    }
    BbtInserir->setEnabled(true);
    BbtExcluir->setEnabled(true);
    BbtSair->setEnabled(true);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
}

bool TfrmExecucaoMunicipal::eventFilter(QObject* watched, QEvent* event)
{
    // The window sees every event first (FormWindow): a control being left is one of them.
    if (event->type() == QEvent::FocusOut && !movendoFoco_) {
        // A box or another window taking the focus is no leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == DBEdit1 || watched == DBEdit2)
                run([this, watched] {
                    if (confirmaTexto(static_cast<QWidget*>(watched)))
                        DBEdit1Exit();
                });
            else if (watched == DBEdit4)
                run([this] { DBEdit4Exit(); });
            else if (watched == DBEdit6 || watched == DBEdit7)
                run([this, watched] { confirmaTexto(static_cast<QWidget*>(watched)); });
        }
    }
    return TfrmModeloPage::eventFilter(watched, event);
}
