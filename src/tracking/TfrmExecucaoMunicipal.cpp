#include "tracking/TfrmExecucaoMunicipal.h"

#include "data/AlteracoesIncentivo.h"
#include "data/Codigos.h"
#include "data/DMPrincipal.h"
#include "db/DatabaseError.h"
#include "db/Field.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "text/Formats.h"
#include "tracking/rules/EscolhaMes.h"
#include "tracking/rules/Saldo.h"
#include "tracking/rules/TCheckDoc.h"
#include "widgets/Dialogs.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>

using db::FieldType;
using db::FieldKind;

namespace {

db::Field& campo(db::Dataset& ds, const char* nome)
{
    return ds.fieldByName(QString::fromLatin1(nome));
}

// A value of a field, empty counting as none.
std::optional<double> numero(const db::Field& f)
{
    return f.isNull() ? std::nullopt : std::optional<double>(f.asFloat());
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
      Tb_Fonte_comprovacao_Municipio(&DMPrincipal->IBDatabaseGeral, QStringLiteral("Tb_Fonte_comprovacao_Municipio")),
      DsTb_Fonte_comprovacao_Municipio(&Tb_Fonte_comprovacao_Municipio),
      CheckDoc1(new TCheckDoc(this))
{
    setObjectName(QStringLiteral("frmExecucaoMunicipal"));
    setWindowTitle(QStringLiteral("Acompanhamento Municipal"));
    CheckDoc1->setObjectName(QStringLiteral("CheckDoc1"));
    CheckDoc1->setMode(TCheckDoc::moCGC);

    defineDatasets();
    paginas = new PaginasAcompanhamento(
        this, {&DsTb_Execucao_Fisica_Municipio, &DsTb_Fonte_comprovacao_Municipio, &DsRL_ElencoMinimo_UF});
    ligaPaginas();

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
    TB_Cidade.setSql(tracking::sqlCidadePactuada());

    TB_Elenco_Minimo.setSql({QStringLiteral("select * from TB_ELENCO_MINIMO"), QStringLiteral("order by ds_medicamento")});

    RL_ElencoMinimo_UF.setSql(tracking::sqlElencoDaUf());

    // The lines are typed here and written by the follow-up's rules: the datasets edit,
    // they never post.
    const QString chaveMes = QStringLiteral("NU_ANO_COMPET;CO_UF;CO_CIDADE;NU_MES_COMPET;");
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
    PaginasAcompanhamento::defineCamposExecucao(ef);
    ef.setKeyFields(chaveMes + QStringLiteral("CO_SEQ_MED"));
    ef.setEditable(true);
    ef.onNewRecord = [this](db::Dataset& ds) { Tb_Execucao_Fisica_MunicipioNewRecord(ds); };
    connect(&DsTb_Execucao_Fisica_Municipio, &db::DataSource::stateChanged, this,
            [this] { run([this] { DsTb_Execucao_Fisica_MunicipioStateChange(); }); });

    // Documents, in the grid's column order.
    db::Dataset& fc = Tb_Fonte_comprovacao_Municipio;
    PaginasAcompanhamento::defineFonte(fc);
    fc.setKeyFields(chaveMes + QStringLiteral("CO_SEQ_DOC"));
    fc.setEditable(true);
    fc.onNewRecord = [this](db::Dataset& ds) { Tb_Fonte_comprovacao_MunicipioNewRecord(ds); };
    connect(&DsTb_Fonte_comprovacao_Municipio, &db::DataSource::stateChanged, this,
            [this] { run([this] { DsTb_Fonte_comprovacao_MunicipioStateChange(); }); });
}

void TfrmExecucaoMunicipal::ligaPaginas()
{
    const PaginasAcompanhamento& p = *paginas;
    for (ui::MoneyEdit* e : {p.EdtSaldoAnterior, p.EdtRecAlocFederal, p.EdtRecAlocEstadual, p.EdtRecAlocMunicipal, p.EdtRecAlocRendAplic,
                             p.EdtRecMedAloc, p.EdtRecGastos}) {
        ultimoValor_.insert(e, 0);
        connect(e, &ui::MoneyEdit::valueChanged, this, [this, e] { run([this, e] { EdtSaldoAnteriorChange(e); }); });
    }
    connect(paginas->DBTipoDocumento, &ui::DbRadioGroup::clicked, this, [this] { run([this] { DBTipoDocumentoChange(); }); });
}

// --- helpers ------------------------------------------------------------------------

tracking::Chave TfrmExecucaoMunicipal::chave() const
{
    return {DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString(), DMPrincipal->TB_Parametro_MELTUCO_UF->asString(),
            codigoCidade_};
}

tracking::Acompanhamento TfrmExecucaoMunicipal::acompanhamento() const
{
    return tracking::Acompanhamento(DMPrincipal->IBDatabaseGeral, chave());
}

QString TfrmExecucaoMunicipal::legenda(bool comMes) const
{
    const bool comCidade = TB_Cidade.isActive() && !TB_Cidade.isEmpty();
    const QString nome = comCidade ? TB_Cidade.fieldByName(QStringLiteral("NO_CIDADE")).asString() : QString();
    const QString forma = comCidade ? TB_Cidade.fieldByName(QStringLiteral("CO_FORMA_PACTUACAO")).asString() : QString();
    return tracking::legenda(QStringLiteral("Acompanhamento"), chave(), comMes ? paginas->CBMes->currentText() : QString(), nome, forma);
}

bool TfrmExecucaoMunicipal::paginaDetalhe() const
{
    const QWidget* p = pgEdicao->currentPage();
    return p == paginas->tbsExecucaoFisica || p == paginas->tbsFonteComprovacao;
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

    paginas->EdtMunicipio->setText(TB_Cidade.isEmpty() ? QString() : TB_Cidade.fieldByName(QStringLiteral("NO_CIDADE")).asString());
    paginas->EdtMunicipio->setCursorPosition(0);
    paginas->LblMunicipio->setVisible(!estadual());
    paginas->EdtMunicipio->setVisible(!estadual());

    pgEdicao->setCurrentPage(0);
    paginas->EditUF->setText(uf);
    paginas->EdtAnoCompetencia->setText(DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());

    BbtInserir->setEnabled(false);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
    BbtExcluir->setEnabled(false);

    paginas->preencheTipos(estadual());
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
    if (db::Dataset* ds = paginas->datasetDaPagina(pgEdicao->currentPage()))
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
    paginas->CBMes->clear();
    paginas->mostraValores({});
    paginas->EdtTotal->setValue(0);
    paginas->EdtSaldoAtual->setValue(0);
    paginas->EdtPactuada->setValue(0);
    pgEdicao->setCurrentPage(0);
    paginas->CBMes->setFocus();
    NovaIdentificacao();
    BbtInserir->setEnabled(true);
    BbtExcluir->setEnabled(false);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
}

void TfrmExecucaoMunicipal::NovaIdentificacao()
{
    const tracking::EscolhaMes escolha = tracking::escolheMes(acompanhamento().leEstadoAno());
    exibindo_ = true;
    const auto fim = qScopeGuard([this] { exibindo_ = false; });
    SemSaldoInicial = escolha.semSaldoInicial;
    SaldoTransportado = escolha.saldoTransportado;
    paginas->CBMes->clear();
    switch (escolha.tipo) {
    case tracking::EscolhaMes::Tipo::QualquerMes:
        paginas->CBMes->addItems(text::monthNames());
        paginas->CBMes->setCurrentIndex(-1);
        paginas->mostraValores(escolha.valores);
        break;
    case tracking::EscolhaMes::Tipo::AnoCompleto:
        ui::Dialogs::message(QStringLiteral("Informações completas para este ano"), this);
        break;
    case tracking::EscolhaMes::Tipo::MesAberto:
    case tracking::EscolhaMes::Tipo::ProximoMes: {
        paginas->mostraValores(escolha.valores);
        paginas->EdtPactuada->setValue(escolha.totOutrosPactuada);
        paginas->CBMes->addItem(text::monthName(escolha.mes));
        paginas->CBMes->setCurrentIndex(0);
        const bool negativo = tracking::doisDecimais(escolha.saldoTransportado).startsWith(u'-');
        if (escolha.tipo == tracking::EscolhaMes::Tipo::ProximoMes && negativo)
            ui::Dialogs::message(QStringLiteral("O saldo transportado para %1 é negativo: %2.\n"
                                                "Ele é mostrado como está gravado; confira o fechamento do mês anterior.")
                                     .arg(text::monthName(escolha.mes),
                                          text::formatFloat(text::masks::money, escolha.saldoTransportado)),
                                 this);
        break;
    }
    }
}

bool TfrmExecucaoMunicipal::pgEdicaoChanging(int from, int to)
{
    const QWidget* saindo = pgEdicao->widget(from);
    if ((saindo == paginas->tbsExecucaoFisica || saindo == paginas->tbsFonteComprovacao) && !BbtInserir->isEnabled()) {
        ui::Dialogs::message(QStringLiteral("Mudança não permitida ... Atualização pendente !!"), this);
        return false;
    }
    return true;
}

void TfrmExecucaoMunicipal::pgEdicaoChange()
{
    if (paginas->CBMes->currentText().isEmpty()) {
        pgEdicao->setCurrentPage(0);
        paginas->CBMes->setFocus();
        return;
    }
    setWindowTitle(legenda(true));
    paginas->GrpTotalMensal->setVisible(!estadual());

    QWidget* pagina = pgEdicao->currentPage();
    BbtGravar->setEnabled(pagina != tbsprincipal);
    if (pagina == paginas->tbsMovimentacao) {
        BbtExcluir->setEnabled(false);
        preparaMovimentacao();
    } else if (paginaDetalhe()) {
        // Lines are entered only for a month whose header is stored.
        if (!GravaMovimentacao()) {
            pgEdicao->setCurrentPage(paginas->tbsMovimentacao);
            preparaMovimentacao();
            // A refused figure keeps the focus the refusal gave it.
            if (tracking::gastosExcedemTotal(paginas->valores()))
                paginas->EdtRecGastos->setFocus();
            return;
        }
        preparaPaginaDetalhe();
    }
}

void TfrmExecucaoMunicipal::preparaMovimentacao()
{
    const tracking::Acompanhamento a = acompanhamento();
    const tracking::Incentivo incentivo = a.incentivoAnual();
    paginas->EdtMensalFederal->setValue(incentivo.federal / 12);
    paginas->EdtMensalEstadual->setValue(incentivo.estadual / 12);
    paginas->EdtMensalMunicipal->setValue(incentivo.municipal / 12);
    const QString desatualizado = data::atualidadeIncentivo(DMPrincipal->IBDatabaseGeral, paginas->EdtAnoCompetencia->text()).linha();
    paginas->LblIncentivoDesatualizado->setText(desatualizado);
    paginas->LblIncentivoDesatualizado->setVisible(!desatualizado.isEmpty());

    const bool editavel = tracking::saldoAnteriorEditavel(SemSaldoInicial, a.leEstadoAno().cabecalhos);
    PaginasAcompanhamento::somenteLeitura(paginas->EdtSaldoAnterior, !editavel);
    if (!editavel) {
        // Brought forward as stored, negative included.
        const bool antes = exibindo_;
        exibindo_ = true;
        paginas->EdtSaldoAnterior->setValue(SaldoTransportado);
        exibindo_ = antes;
    }
    const PaginasAcompanhamento& p = *paginas;
    for (ui::MoneyEdit* e : {p.EdtRecAlocFederal, p.EdtRecAlocEstadual, p.EdtRecAlocMunicipal, p.EdtRecAlocRendAplic, p.EdtRecGastos})
        PaginasAcompanhamento::somenteLeitura(e, false);
    // A state has no delivery notes: its medications allocated stay 0.
    PaginasAcompanhamento::somenteLeitura(paginas->EdtRecMedAloc, estadual());
    if (estadual() && paginas->EdtRecMedAloc->value() != 0)
        paginas->EdtRecMedAloc->setValue(0);
    (editavel ? paginas->EdtSaldoAnterior : paginas->EdtRecAlocFederal)->setFocus();
}

void TfrmExecucaoMunicipal::EdtSaldoAnteriorChange(ui::MoneyEdit* edit)
{
    // A figure the window shows from what is stored is shown as it is.
    if (edit->value() < 0 && !exibindo_) {
        ui::Dialogs::message(QStringLiteral("Valor Negativo não permitido"), this);
        edit->setValue(ultimoValor_.value(edit));
        edit->setFocus();
        return;
    }
    ultimoValor_.insert(edit, edit->value());
    const tracking::Valores v = paginas->valores();
    paginas->EdtTotal->setValue(tracking::total(v));
    paginas->EdtSaldoAtual->setValue(tracking::saldoAtual(v));
    if (!BbtGravar->isEnabled()) {
        BbtInserir->setEnabled(false);
        BbtGravar->setEnabled(true);
        BbtCancelar->setEnabled(true);
        BbtSair->setEnabled(true);
    }
}

void TfrmExecucaoMunicipal::BbtGravarClick()
{
    if (pgEdicao->currentPage() == paginas->tbsExecucaoFisica) {
        gravaLinhaExecucao();
        return;
    }
    if (pgEdicao->currentPage() == paginas->tbsFonteComprovacao) {
        gravaLinhaFonte();
        return;
    }
    if (paginas->CBMes->currentText().isEmpty()) {
        pgEdicao->setCurrentPage(0);
        paginas->CBMes->setFocus();
        return;
    }
    if (pgEdicao->currentPage() == tbsprincipal) {
        pgEdicao->setCurrentPage(paginas->tbsMovimentacao);
        setWindowTitle(legenda(true));
        paginas->GrpTotalMensal->setVisible(!estadual());
        preparaMovimentacao();
        return;
    }
    // Refused before the question; the save refuses it too.
    if (const rules::Falhou falha = tracking::verificaGastos(acompanhamento().valoresGravados(paginas->valores()))) {
        mostraFalha(*falha);
        return;
    }
    if (ui::Dialogs::confirm(QStringLiteral("Confirma a gravação do registro ?"), this))
        GravaMovimentacao();
}

bool TfrmExecucaoMunicipal::GravaMovimentacao()
{
    const rules::Falhou falha = acompanhamento().gravaMovimentacao(paginas->mesCompetencia(), paginas->valores(), SemSaldoInicial);
    if (falha) {
        mostraFalha(*falha);
        // A refused figure stays typed, to be corrected.
        if (falha->tipo == rules::Falha::Tipo::Recusa)
            return false;
    }
    BbtInserir->setEnabled(true);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
    return !falha;
}

void TfrmExecucaoMunicipal::BbtCancelarClick()
{
    if (paginaDetalhe()) {
        if (db::Dataset* ds = paginas->datasetDaPagina(pgEdicao->currentPage()))
            ds->cancel();
    } else {
        pgEdicao->setCurrentPage(0);
        paginas->CBMes->setFocus();
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
            if (watched == paginas->DBEdit1 || watched == paginas->DBEdit2)
                run([this, watched] {
                    if (confirmaTexto(static_cast<QWidget*>(watched)))
                        DBEdit1Exit();
                });
            else if (watched == paginas->DBEdit4)
                run([this] { DBEdit4Exit(); });
            else if (watched == paginas->DBEdit6 || watched == paginas->DBEdit7)
                run([this, watched] { confirmaTexto(static_cast<QWidget*>(watched)); });
        }
    }
    return TfrmModeloPage::eventFilter(watched, event);
}

// --- the detail pages and the closing ---------------------------------------------

// --- shared -------------------------------------------------------------------------

void TfrmExecucaoMunicipal::voltaFoco(QWidget* control)
{
    QTimer::singleShot(0, control, [control] { control->setFocus(); });
}

void TfrmExecucaoMunicipal::focaGrupo(ui::DbRadioGroup* grupo)
{
    const int i = grupo->itemIndex();
    if (QRadioButton* b = grupo->button(i < 0 ? 0 : i))
        b->setFocus();
}

void TfrmExecucaoMunicipal::botoesEditando()
{
    BbtInserir->setEnabled(false);
    BbtExcluir->setEnabled(false);
    BbtGravar->setEnabled(true);
    BbtCancelar->setEnabled(true);
    BbtSair->setEnabled(true);
}

void TfrmExecucaoMunicipal::botoesLinhaGravada()
{
    BbtInserir->setEnabled(true);
    BbtExcluir->setEnabled(true);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
}

void TfrmExecucaoMunicipal::preparaPaginaDetalhe()
{
    BbtExcluir->setEnabled(true);
    if (pgEdicao->currentPage() == paginas->tbsExecucaoFisica) {
        dtsEdicao->setDataset(&Tb_Execucao_Fisica_Municipio);
        Acumula_Execucao_Fisica();
        paginas->DBLookupMedicamento->setFocus();
        paginas->DBOrigem->setVisible(!estadual());
        paginas->DBOrigem->setEnabled(!estadual());
    } else {
        dtsEdicao->setDataset(&Tb_Fonte_comprovacao_Municipio);
        Acumula_Fonte_Comprovacao();
        focaGrupo(paginas->DBTipoDocumento);
    }
}

void TfrmExecucaoMunicipal::novaLinha()
{
    const std::optional<tracking::Cabecalho> aberto = acompanhamento().cabecalhoAberto();
    paginas->EdtPactuada->setValue(aberto ? aberto->totOutrosPactuada : 0.0);
    db::Dataset* ds = paginas->datasetDaPagina(pgEdicao->currentPage());
    PaginasAcompanhamento::abreLinhas(*ds, chave(), paginas->mesCompetencia());
    ds->append();
    if (ds == &Tb_Fonte_comprovacao_Municipio) {
        paginas->DBTipoDocumento->setItemIndex(-1);
        paginas->DBTipoFavorecido->setItemIndex(-1);
        paginas->DBEdit4->setFocus();
    } else {
        paginas->DBLookupMedicamento->setFocus();
    }
}

void TfrmExecucaoMunicipal::BbtExcluirClick()
{
    if (pgEdicao->currentPage() == paginas->tbsExecucaoFisica) {
        excluiLinha(Tb_Execucao_Fisica_Municipio, "CO_SEQ_MED");
        Acumula_Execucao_Fisica();
    } else if (pgEdicao->currentPage() == paginas->tbsFonteComprovacao) {
        excluiLinha(Tb_Fonte_comprovacao_Municipio, "CO_SEQ_DOC");
        Acumula_Fonte_Comprovacao();
    }
    HabilitaEdicao(true);
}

bool TfrmExecucaoMunicipal::confirmaTexto(QWidget* control)
{
    db::Dataset& ds = control == paginas->DBEdit1 || control == paginas->DBEdit2 ? Tb_Execucao_Fisica_Municipio : Tb_Fonte_comprovacao_Municipio;
    if (!ds.isEditing())
        return true;
    if (control == paginas->DBEdit7) {
        db::Field& f = campo(ds, "DT_DOC");
        const QString t = paginas->DBEdit7->dateText();
        if (t.isEmpty()) {
            f.clear();
            return true;
        }
        const std::optional<QDate> data = text::parseDate(t);
        if (!data) {
            ErroValor = true;
            ui::Dialogs::error(QStringLiteral("Data inválida."), this, QStringLiteral("Erro"));
            voltaFoco(paginas->DBEdit7);
            return false;
        }
        f.setValue(*data);
        return true;
    }
    auto* edit = static_cast<ui::DbEdit*>(control);
    db::Field* f = edit->field();
    if (!f)
        return true;
    const QString t = edit->text().trimmed();
    if (t.isEmpty()) {
        f->clear();
        return true;
    }
    if (control == paginas->DBEdit2) {
        const std::optional<qint64> n = text::parseInteger(t);
        if (!n || *n < INT_MIN || *n > INT_MAX) {
            ui::Dialogs::error(QStringLiteral("\"%1\" não é um valor válido para o campo \"%2\".").arg(t, f->displayLabel()),
                               this);
            voltaFoco(control);
            return false;
        }
        f->setValue(int(*n));
        return true;
    }
    ErroValor = false;
    const std::optional<double> v = text::parseFloat(t);
    if (!v) {
        ErroValor = true;
        ui::Dialogs::error(QStringLiteral("Valor inválido."), this, QStringLiteral("Erro"));
        voltaFoco(control);
        return false;
    }
    f->setValue(*v);
    return true;
}

// --- "Execução Física" ----------------------------------------------------------------

void TfrmExecucaoMunicipal::Tb_Execucao_Fisica_MunicipioNewRecord(db::Dataset& ds)
{
    campo(ds, "NU_ANO_COMPET").setValue(DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
    campo(ds, "CO_UF").setValue(DMPrincipal->TB_Parametro_MELTUCO_UF->asString());
    campo(ds, "CO_CIDADE").setValue(codigoCidade_);
    campo(ds, "NU_MES_COMPET").setValue(QString::number(paginas->mesCompetencia()));
}

void TfrmExecucaoMunicipal::DsTb_Execucao_Fisica_MunicipioStateChange()
{
    db::Dataset& ds = Tb_Execucao_Fisica_Municipio;
    // Moving to another row would post the line past its checks: the grid waits.
    paginas->DBGridExecucao->setEnabled(!ds.isEditing());
    if (!ds.isEditing())
        return;
    botoesEditando();
    if (ds.state() != db::DatasetState::Insert)
        return;  // an edited line keeps its stored origin
    db::Field& origem = campo(ds, "ST_ORIGEM");
    if (estadual()) {
        origem.setValue(codigos::origem::estado);
    } else {
        paginas->DBOrigem->setEnabled(true);
        if (origem.isNull())
            origem.setValue(codigos::origem::municipio);
    }
}

void TfrmExecucaoMunicipal::DBEdit1Exit()
{
    db::Dataset& ds = Tb_Execucao_Fisica_Municipio;
    if (pgEdicao->currentPage() != paginas->tbsExecucaoFisica || !ds.isEditing())
        return;
    db::Field& total = campo(ds, "VL_TOTAL");
    const double unitario = campo(ds, "VL_UNITARIO").asFloat();
    const double quantidade = campo(ds, "QT_MEDICAMENTO").asFloat();
    // Without both the total keeps what it had, empty included.
    if (unitario != 0 && quantidade != 0)
        total.setValue(tracking::totalLinha(unitario, quantidade, total.asFloat()));
}

void TfrmExecucaoMunicipal::Acumula_Execucao_Fisica()
{
    // The lookups read the medication list.
    TB_Elenco_Minimo.open();
    paginas->acumulaExecucao(Tb_Execucao_Fisica_Municipio, chave(), paginas->mesCompetencia());
}

void TfrmExecucaoMunicipal::Tb_Execucao_Fisica_MunicipioAfterPost(db::Dataset&)
{
    botoesLinhaGravada();
    Acumula_Execucao_Fisica();
}

void TfrmExecucaoMunicipal::gravaLinhaExecucao()
{
    db::Dataset& ds = Tb_Execucao_Fisica_Municipio;
    if (!ds.isEditing())
        return;
    if (!ui::Dialogs::confirm(QStringLiteral("Confirma a gravação do registro ?"), this))
        return;
    ErroValor = false;
    QWidget* foco = focusWidget();
    if (foco == paginas->DBEdit1 || foco == paginas->DBEdit2) {
        if (!confirmaTexto(foco))
            return;
        DBEdit1Exit();
    }
    if (ErroValor)
        return;
    if (!preparaLinha(ds))
        return;
    tracking::LinhaMedicamento linha;
    if (ds.state() != db::DatasetState::Insert)
        linha.sequencia = campo(ds, "CO_SEQ_MED").oldValue().toInt();
    const db::Field& medicamento = campo(ds, "CO_SEQ_MEDICAMENTO");
    if (!medicamento.isNull())
        linha.medicamento = medicamento.asInteger();
    linha.origem = campo(ds, "ST_ORIGEM").asString();
    linha.valorUnitario = numero(campo(ds, "VL_UNITARIO"));
    if (const db::Field& q = campo(ds, "QT_MEDICAMENTO"); !q.isNull())
        linha.quantidade = q.asInteger();
    linha.valorTotal = numero(campo(ds, "VL_TOTAL"));

    // The line and the header's other-medications total are stored together or not at
    // all; refused, the line stays as typed.
    const rules::Resultado<int> gravada = acompanhamento().gravaLinhaMedicamento(paginas->mesCompetencia(), linha);
    if (!gravada) {
        mostraFalha(gravada.falha());
        return;
    }
    ds.cancel();
    Tb_Execucao_Fisica_MunicipioAfterPost(ds);
    novaLinha();
}

void TfrmExecucaoMunicipal::excluiLinha(db::Dataset& ds, const char* coluna)
{
    if (!ds.isActive()) {
        ui::Dialogs::message(QStringLiteral("A tabela de edição não está ativa !!!"), this);
        return;
    }
    if (ds.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Você não pode excluir um registro numa tabela vazia"), this);
        return;
    }
    if (!ui::Dialogs::confirm(QStringLiteral("Você deseja realmente excluir este registro?"), this))
        return;
    const int sequencia = campo(ds, coluna).asInteger();
    tracking::Acompanhamento a = acompanhamento();
    const rules::Falhou falha = &ds == &Tb_Execucao_Fisica_Municipio ? a.excluiLinhaMedicamento(paginas->mesCompetencia(), sequencia)
                                                                      : a.excluiDocumento(paginas->mesCompetencia(), sequencia);
    if (falha)
        mostraFalha(*falha);
}

// --- "Fonte de Comprovação" -----------------------------------------------------------

void TfrmExecucaoMunicipal::Tb_Fonte_comprovacao_MunicipioNewRecord(db::Dataset& ds)
{
    campo(ds, "NU_ANO_COMPET").setValue(DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
    campo(ds, "CO_UF").setValue(DMPrincipal->TB_Parametro_MELTUCO_UF->asString());
    campo(ds, "CO_CIDADE").setValue(codigoCidade_);
    campo(ds, "NU_MES_COMPET").setValue(QString::number(paginas->mesCompetencia()));
}

void TfrmExecucaoMunicipal::DsTb_Fonte_comprovacao_MunicipioStateChange()
{
    db::Dataset& ds = Tb_Fonte_comprovacao_Municipio;
    paginas->DBGridFonte->setEnabled(!ds.isEditing());
    if (!ds.isEditing())
        return;
    botoesEditando();
    // A new line's types show empty by themselves, its fields being empty.
    paginas->DBTipoDocumento->setEnabled(true);
    paginas->DBTipoFavorecido->setEnabled(true);
}

void TfrmExecucaoMunicipal::DBTipoDocumentoChange()
{
    paginas->mostraTipoFavorecido();
    db::Dataset& ds = Tb_Fonte_comprovacao_Municipio;
    // A deposit has no payee type.
    if (paginas->DBTipoDocumento->value() == codigos::tipoDocumento::deposito && ds.isEditing())
        campo(ds, "ST_TIPO_FAVORECIDO").clear();
    const int ses = int(paginas->DBTipoFavorecido->values().indexOf(codigos::tipoFavorecido::secretariaEstadual));
    if (paginas->DBTipoDocumento->value() == codigos::tipoDocumento::guiaRemessa && ses >= 0 &&
        paginas->DBTipoFavorecido->itemIndex() != ses) {
        paginas->DBTipoFavorecido->setItemIndex(ses);
        focaGrupo(paginas->DBTipoDocumento);
    }
}

void TfrmExecucaoMunicipal::DBEdit4Exit()
{
    if (!Tb_Fonte_comprovacao_Municipio.isEditing() || paginas->DBEdit4->text() != tracking::identificacaoZeros)
        return;
    ui::Dialogs::message(QStringLiteral("identificação Inválida"), this);
    voltaFoco(paginas->DBEdit4);
}

void TfrmExecucaoMunicipal::Acumula_Fonte_Comprovacao()
{
    paginas->acumulaFonte(Tb_Fonte_comprovacao_Municipio, chave(), paginas->mesCompetencia());
}

void TfrmExecucaoMunicipal::Tb_Fonte_comprovacao_MunicipioAfterPost(db::Dataset&)
{
    botoesLinhaGravada();
    Acumula_Fonte_Comprovacao();
}

void TfrmExecucaoMunicipal::gravaLinhaFonte()
{
    db::Dataset& ds = Tb_Fonte_comprovacao_Municipio;
    if (!ds.isEditing())
        return;
    if (!ui::Dialogs::confirm(QStringLiteral("Confirma a gravação do registro ?"), this))
        return;
    ErroValor = false;
    QWidget* foco = focusWidget();
    if (foco == paginas->DBEdit6) {
        confirmaTexto(paginas->DBEdit6);
        movendoFoco_ = true;
        paginas->DBEdit7->setFocus();
        movendoFoco_ = false;
    } else if (foco == paginas->DBEdit7 && !text::parseDate(paginas->DBEdit7->dateText())) {
        ui::Dialogs::message(QStringLiteral("Data Inválida"), this);
        paginas->DBEdit7->setFocus();
        return;
    }
    if (ErroValor)
        return;

    tracking::Documento documento{paginas->DBTipoDocumento->value(), paginas->DBTipoFavorecido->value(), campo(ds, "NU_FAVORECIDO").asString(),
                                  numero(campo(ds, "VL_DOC")), campo(ds, "NR_NUMERO_DOC").asString(), std::nullopt};
    // The checks that need no database come before a date still being typed is taken.
    if (const rules::Falhou falha = tracking::verificaDocumento(documento, CheckDoc1)) {
        mostraFalha(*falha);
        return;
    }
    if (focusWidget() == paginas->DBEdit7 && !confirmaTexto(paginas->DBEdit7))
        return;
    if (!preparaLinha(ds))
        return;
    if (const db::Field& data = campo(ds, "DT_DOC"); !data.isNull())
        documento.data = data.asDate();

    tracking::LinhaDocumentoDigitada linha{std::nullopt, documento, {}, {}, {}};
    if (ds.state() != db::DatasetState::Insert) {
        linha.sequencia = campo(ds, "CO_SEQ_DOC").oldValue().toInt();
        linha.numeroAntes = campo(ds, "NR_NUMERO_DOC").oldValue().toString();
        linha.favorecidoAntes = campo(ds, "NU_FAVORECIDO").oldValue().toString();
        linha.tipoFavorecidoAntes = campo(ds, "ST_TIPO_FAVORECIDO").oldValue().toString();
    }
    const rules::Resultado<int> gravada = acompanhamento().gravaDocumento(paginas->mesCompetencia(), linha);
    if (!gravada) {
        mostraFalha(gravada.falha());
        return;
    }
    ds.cancel();
    Tb_Fonte_comprovacao_MunicipioAfterPost(ds);
    novaLinha();
}

// --- closing ------------------------------------------------------------------------

void TfrmExecucaoMunicipal::ToolButton1Click()
{
    const int mes = paginas->mesCompetencia();
    if (mes == 0) {
        ui::Dialogs::message(QStringLiteral("Informe o mes"), this);
        paginas->CBMes->setFocus();
        return;
    }
    // Figures typed on the financial page are saved first; the closing goes no further
    // when they are not.
    if (BbtGravar->isEnabled() && !paginaDetalhe() && !GravaMovimentacao())
        return;
    // Only saved lines count: a line being typed is left.
    Acumula_Execucao_Fisica();
    Acumula_Fonte_Comprovacao();
    if (paginaDetalhe())
        botoesLinhaGravada();
    tracking::Acompanhamento a = acompanhamento();
    if (const rules::Falhou falha = a.verificaFechamento(mes)) {
        mostraFalha(*falha);
        return;
    }
    if (!ui::Dialogs::confirm(QStringLiteral("Confirma Fechamento do mês ?"), this))
        return;
    // Checked again on what is stored, in the unit that closes.
    if (const rules::Falhou falha = a.fechaMes(mes, QDate::currentDate())) {
        mostraFalha(*falha);
        return;
    }
    ui::Dialogs::message(QStringLiteral("Fechamento Efetuado"), this);
    pgEdicao->setCurrentPage(0);
    iniciaMes();
}

bool TfrmExecucaoMunicipal::preparaLinha(db::Dataset& ds)
{
    try {
        ds.prepareToPost();
        return true;
    } catch (const db::DataError& e) {
        mostraFalha(rules::falhaDe(e, QStringLiteral("Problema na Gravação !! ... operação cancelada")));
        return false;
    }
}

void TfrmExecucaoMunicipal::mostraFalha(const rules::Falha& falha)
{
    ui::Dialogs::message(falha.texto(), this);
    const QString& c = falha.campo;
    if (c == QLatin1String("VL_REC_GASTOS"))
        paginas->EdtRecGastos->setFocus();
    else if (c == QLatin1String("CO_SEQ_MEDICAMENTO"))
        paginas->DBLookupMedicamento->setFocus();
    else if (c == QLatin1String("VL_UNITARIO"))
        paginas->DBEdit1->setFocus();
    else if (c == QLatin1String("QT_MEDICAMENTO"))
        paginas->DBEdit2->setFocus();
    else if (c == QLatin1String("ST_TIPO_DOC"))
        focaGrupo(paginas->DBTipoDocumento);
    else if (c == QLatin1String("ST_TIPO_FAVORECIDO"))
        focaGrupo(paginas->DBTipoFavorecido);
    else if (c == QLatin1String("NU_FAVORECIDO"))
        paginas->DBEdit4->setFocus();
    else if (c == QLatin1String("NR_NUMERO_DOC"))
        paginas->DBEdit5->setFocus();
    else if (c == QLatin1String("VL_DOC"))
        paginas->DBEdit6->setFocus();
}
