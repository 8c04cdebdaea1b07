#include "tracking/TfrmConsultaExecucaoMunicipal.h"

#include "data/DMPrincipal.h"
#include "db/Field.h"
#include "dbui/ControlKind.h"
#include "dbui/DataControls.h"
#include "text/Formats.h"
#include "tracking/rules/Consulta.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using db::FieldKind;
using db::FieldType;

TfrmConsultaExecucaoMunicipal::TfrmConsultaExecucaoMunicipal(QWidget* owner)
    : TfrmModeloPage(owner),
      TB_Cidade(&DMPrincipal->IBDatabaseGeral, QStringLiteral("TB_Cidade")),
      RL_ElencoMinimo_UF(&DMPrincipal->IBDatabaseGeral, QStringLiteral("RL_ElencoMinimo_UF")),
      DsRL_ElencoMinimo_UF(&RL_ElencoMinimo_UF),
      Tb_Execucao_Fisica_Municipio(&DMPrincipal->IBDatabaseGeral, QStringLiteral("Tb_Execucao_Fisica_Municipio")),
      DsTb_Execucao_Fisica_Municipio(&Tb_Execucao_Fisica_Municipio),
      Tb_Fonte_comprovacao_Municipio(&DMPrincipal->IBDatabaseGeral, QStringLiteral("Tb_Fonte_comprovacao_Municipio")),
      DsTb_Fonte_comprovacao_Municipio(&Tb_Fonte_comprovacao_Municipio)
{
    setObjectName(QStringLiteral("frmConsultaExecucaoMunicipal"));
    setWindowTitle(QStringLiteral("Consulta Acompanhamento Municipal"));

    defineDatasets();
    PaginasAcompanhamento::Rotulos rotulos;
    rotulos.numeroDocumento = QStringLiteral("Número do Documento");
    rotulos.tipoFavorecido = QStringLiteral("Tipo de Favorecido");
    paginas = new PaginasAcompanhamento(
        this, {&DsTb_Execucao_Fisica_Municipio, &DsTb_Fonte_comprovacao_Municipio, &DsRL_ElencoMinimo_UF}, rotulos);
    criaAcompanhamentos();

    // Only Sair: the other commands, and their keys, are withdrawn.
    for (QAction* a : {ToolButton1, BbtInserir, BbtGravar, BbtCancelar})
        a->setVisible(false);

    connect(paginas->CBMes, &QComboBox::activated, this, [this] { run([this] { CBMesChange(); }); });
    connect(CBAcompanhamento, &QComboBox::activated, this, [this] { run([this] { CBAcompanhamentoChange(); }); });
    connect(pgEdicao, &ui::PageControl::changed, this, [this] { run([this] { pgEdicaoChange(); }); });

    setClientSize(790, 508);
    FormCreate();
}

TfrmConsultaExecucaoMunicipal::~TfrmConsultaExecucaoMunicipal()
{
    // The controls go before the datasets they show.
    dtsEdicao->setDataset(nullptr);
}

// --- construction -------------------------------------------------------------------

void TfrmConsultaExecucaoMunicipal::defineDatasets()
{
    TB_Cidade.setSql(tracking::sqlCidadePactuada());

    RL_ElencoMinimo_UF.setSql(tracking::sqlElencoDaUf());

    // A line whose medication is missing from the list is shown all the same, without a
    // name, and counts among the other medications as in the follow-up: the month was
    // closed with it.
    db::Dataset& ef = Tb_Execucao_Fisica_Municipio;
    ef.setSql({QStringLiteral("select Ex.*,"), QStringLiteral("em.ds_medicamento medicamento, "),
               QStringLiteral("em.ST_ELENCO_MINIMO ElencoMinimo"),
               QStringLiteral("from TB_EXECUCAO_FISICA_MUNICIPIO Ex left join tb_elenco_minimo EM"),
               QStringLiteral("on Ex.co_seq_medicamento = em.co_seq_medicamento"),
               QStringLiteral("where Ex.NU_ANO_COMPET = :NU_ANO_COMPET and"), QStringLiteral("Ex.CO_UF = :CO_UF and"),
               QStringLiteral("Ex.CO_CIDADE = :CO_CIDADE and"), QStringLiteral("Ex.NU_MES_COMPET = :NU_MES_COMPET"),
               QStringLiteral("order by em.ds_medicamento, Ex.co_seq_med")});
    ef.addField(QStringLiteral("Medicamento"), FieldType::String, 50)
        .setDisplayLabel(QStringLiteral("Medicamento"))
        .setDisplayWidth(34);
    ef.addField(QStringLiteral("ElencoMinimo"), FieldType::String, 1)
        .setDisplayLabel(QStringLiteral("Elenco"))
        .setDisplayWidth(6);
    PaginasAcompanhamento::defineCamposExecucao(ef);

    PaginasAcompanhamento::defineFonte(Tb_Fonte_comprovacao_Municipio);
}

void TfrmConsultaExecucaoMunicipal::criaAcompanhamentos()
{
    // In the place of the municipality's name, which a state installation has not.
    CBAcompanhamento = new QComboBox(tbsprincipal);
    CBAcompanhamento->setObjectName(QStringLiteral("CBAcompanhamento"));
    CBAcompanhamento->setMinimumWidth(360);
    CBAcompanhamento->setMaxVisibleItems(20);
    LblAcompanhamento = ui::captionLabel(QStringLiteral("Acompanhamento"), CBAcompanhamento, tbsprincipal);
    LblAcompanhamento->setObjectName(QStringLiteral("LblAcompanhamento"));
    paginas->GradeIdentificacao->addWidget(LblAcompanhamento, 2, 0, 1, 3);
    paginas->GradeIdentificacao->addWidget(CBAcompanhamento, 3, 0, 1, 3);
    QWidget::setTabOrder(CBAcompanhamento, paginas->CBMes);
    LblAcompanhamento->hide();
    CBAcompanhamento->hide();
}

void TfrmConsultaExecucaoMunicipal::desabilitaEntradas()
{
    // Nothing to type: only the choices of what to show stay enabled.
    for (QWidget* c : pgEdicao->findChildren<QWidget*>()) {
        if (c == paginas->CBMes || c == CBAcompanhamento || ui::controlKind(c) == ui::ControlKind::Other)
            continue;
        c->setEnabled(false);
        if (ui::controlKind(c) != ui::ControlKind::DbRadioGroup)
            ui::setEditColour(c, false);
    }
}

// --- helpers ------------------------------------------------------------------------

tracking::Chave TfrmConsultaExecucaoMunicipal::chave() const
{
    return {DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString(), DMPrincipal->TB_Parametro_MELTUCO_UF->asString(), cidade_};
}

tracking::Acompanhamento TfrmConsultaExecucaoMunicipal::acompanhamento() const
{
    return tracking::Acompanhamento(DMPrincipal->IBDatabaseGeral, chave());
}

QString TfrmConsultaExecucaoMunicipal::legenda(bool comMes) const
{
    const bool comCidade = TB_Cidade.isActive() && !TB_Cidade.isEmpty();
    QString nome = comCidade ? TB_Cidade.fieldByName(QStringLiteral("NO_CIDADE")).asString() : QString();
    // A municipality without a pact row is named as the list names it.
    if (nome.isEmpty() && estadual())
        nome = CBAcompanhamento->currentText();
    const QString forma = comCidade ? TB_Cidade.fieldByName(QStringLiteral("CO_FORMA_PACTUACAO")).asString() : QString();
    return tracking::legenda(QStringLiteral("Consulta Acompanhamento"), chave(), comMes ? paginas->CBMes->currentText() : QString(), nome,
                             forma);
}

void TfrmConsultaExecucaoMunicipal::abreCidade()
{
    TB_Cidade.close();
    TB_Cidade.setParam(QStringLiteral("CO_UF"), DMPrincipal->TB_Parametro_MELTUCO_UF->asString());
    TB_Cidade.setParam(QStringLiteral("CO_CIDADE"), cidade_);
    TB_Cidade.open();
}

void TfrmConsultaExecucaoMunicipal::preencheMeses()
{
    paginas->CBMes->clear();
    for (const tracking::Cabecalho& c : acompanhamento().leEstadoAno().cabecalhos)
        if (!text::monthName(c.mes).isEmpty())
            paginas->CBMes->addItem(text::monthName(c.mes));
    paginas->CBMes->setCurrentIndex(-1);
}

void TfrmConsultaExecucaoMunicipal::limpaMes()
{
    // Nothing of the month shown before stays on the pages.
    paginas->mostraValores({});
    const PaginasAcompanhamento& p = *paginas;
    for (ui::MoneyEdit* e : {p.EdtTotal, p.EdtSaldoAtual, p.EdtMensalFederal, p.EdtMensalEstadual, p.EdtMensalMunicipal})
        e->setValue(0);
    dtsEdicao->setDataset(nullptr);
    for (db::Dataset* ds : {&Tb_Execucao_Fisica_Municipio, &Tb_Fonte_comprovacao_Municipio})
        ds->close();
    paginas->limpaTotais();
}

// --- the window ---------------------------------------------------------------------

void TfrmConsultaExecucaoMunicipal::FormCreate()
{
    pnAjuda->hide();
    cbEsconde->hide();

    db::Dataset& parametros = DMPrincipal->TB_Parametro_MELTU;
    parametros.open();
    const QString uf = DMPrincipal->TB_Parametro_MELTUCO_UF->asString();
    const QString ano = DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString();
    RL_ElencoMinimo_UF.setParam(QStringLiteral("CO_UF"), uf);
    RL_ElencoMinimo_UF.open();
    codigoCidade_ = DMPrincipal->codigoCidadeInstalacao();
    cidade_ = codigoCidade_;
    abreCidade();

    paginas->EdtMunicipio->setText(TB_Cidade.isEmpty() ? QString() : TB_Cidade.fieldByName(QStringLiteral("NO_CIDADE")).asString());
    paginas->EdtMunicipio->setCursorPosition(0);
    paginas->LblMunicipio->setVisible(!estadual());
    paginas->EdtMunicipio->setVisible(!estadual());

    pgEdicao->setCurrentPage(0);
    paginas->EditUF->setText(uf);
    paginas->EdtAnoCompetencia->setText(ano);
    paginas->preencheTipos(estadual());
    // The origin is the state's in the state's own follow-up.
    paginas->DBOrigem->setVisible(!estadual());

    if (estadual()) {
        CBAcompanhamento->addItem(QStringLiteral("Estadual"), 0);
        for (const tracking::Municipio& m : tracking::municipiosComMovimento(DMPrincipal->IBDatabaseGeral, ano, uf))
            CBAcompanhamento->addItem(m.nome, m.cidade);
        CBAcompanhamento->setCurrentIndex(0);
        LblAcompanhamento->show();
        CBAcompanhamento->show();
    }
    desabilitaEntradas();
}

void TfrmConsultaExecucaoMunicipal::FormShow()
{
    setWindowTitle(legenda(false));
    paginas->CBMes->clear();
    pgEdicao->setCurrentPage(0);
    paginas->CBMes->setFocus();
    preencheMeses();
}

void TfrmConsultaExecucaoMunicipal::FormClose()
{
    if (db::Dataset* ds = paginas->datasetDaPagina(pgEdicao->currentPage()))
        ds->close();
}

void TfrmConsultaExecucaoMunicipal::CBAcompanhamentoChange()
{
    const int cidade = CBAcompanhamento->currentData().toInt();
    if (cidade == cidade_)
        return;
    cidade_ = cidade;
    abreCidade();
    // A municipality's documents and lines are read with a municipality's choices.
    paginas->preencheTipos(cidade_ == 0);
    paginas->DBOrigem->setVisible(cidade_ != 0);
    limpaMes();
    preencheMeses();
    setWindowTitle(legenda(false));
}

void TfrmConsultaExecucaoMunicipal::CBMesChange()
{
    const int mes = paginas->mesCompetencia();
    if (mes == 0)
        return;
    const tracking::Acompanhamento a = acompanhamento();
    // A header gone since the list was read shows nothing rather than the month before.
    const tracking::Cabecalho cabecalho = a.cabecalho(mes).value_or(tracking::Cabecalho{});
    paginas->mostraValores(cabecalho.valores);
    paginas->EdtPactuada->setValue(cabecalho.totOutrosPactuada);
    paginas->EdtTotal->setValue(tracking::totalConsulta(cabecalho.valores));
    paginas->EdtSaldoAtual->setValue(tracking::saldoAtualConsulta(cabecalho.valores));
    setWindowTitle(legenda(true));

    const tracking::Incentivo incentivo = a.incentivoAnual();
    paginas->EdtMensalFederal->setValue(incentivo.federal / 12);
    paginas->EdtMensalEstadual->setValue(incentivo.estadual / 12);
    paginas->EdtMensalMunicipal->setValue(incentivo.municipal / 12);

    Acumula_Execucao_Fisica();
    Acumula_Fonte_Comprovacao();
}

void TfrmConsultaExecucaoMunicipal::pgEdicaoChange()
{
    if (paginas->CBMes->currentText().isEmpty()) {
        pgEdicao->setCurrentPage(0);
        paginas->CBMes->setFocus();
        return;
    }
    if (db::Dataset* ds = paginas->datasetDaPagina(pgEdicao->currentPage()))
        dtsEdicao->setDataset(ds);
}

void TfrmConsultaExecucaoMunicipal::Acumula_Execucao_Fisica()
{
    paginas->acumulaExecucao(Tb_Execucao_Fisica_Municipio, chave(), paginas->mesCompetencia());
}

void TfrmConsultaExecucaoMunicipal::Acumula_Fonte_Comprovacao()
{
    paginas->acumulaFonte(Tb_Fonte_comprovacao_Municipio, chave(), paginas->mesCompetencia());
}
