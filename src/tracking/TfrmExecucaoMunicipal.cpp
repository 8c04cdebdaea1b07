#include "tracking/TfrmExecucaoMunicipal.h"

#include "data/DMPrincipal.h"
#include "db/Field.h"
#include "dbui/DataControls.h"
#include "text/Formats.h"
#include "tracking/rules/EscolhaMes.h"
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
#include <QStyle>
#include <QTimer>

using db::FieldType;
using db::FieldKind;

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
    criaPaginas(this, {&DsTb_Execucao_Fisica_Municipio, &DsTb_Fonte_comprovacao_Municipio, &DsRL_ElencoMinimo_UF}, Rotulos());
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
    defineCamposExecucao(ef);
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
    defineFonte(fc);
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

void TfrmExecucaoMunicipal::ligaPaginas()
{
    for (ui::MoneyEdit* e : {EdtSaldoAnterior, EdtRecAlocFederal, EdtRecAlocEstadual, EdtRecAlocMunicipal, EdtRecAlocRendAplic,
                             EdtRecMedAloc, EdtRecGastos}) {
        ultimoValor_.insert(e, 0);
        connect(e, &ui::MoneyEdit::valueChanged, this, [this, e] { run([this, e] { EdtSaldoAnteriorChange(e); }); });
    }
    connect(DBTipoDocumento, &ui::DbRadioGroup::clicked, this, [this] { run([this] { DBTipoDocumentoChange(); }); });
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
    return tracking::legenda(QStringLiteral("Acompanhamento"), chave(), comMes ? CBMes->currentText() : QString(), nome, forma);
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

    preencheTipos(estadual());
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
    tracking::Acompanhamento a = acompanhamento();
    const G resultado = a.gravaMovimentacao(mesCompetencia(), valores(), SemSaldoInicial);
    // Another seat changing the same month: why, after the operation's own message.
    const auto outroUsuario = [this, &a] {
        if (!a.outroUsuario().isEmpty())
            ui::Dialogs::error(a.outroUsuario(), this);
    };
    switch (resultado) {
    case G::Gravado:
        break;
    case G::FalhaSaldoInicial:
        ui::Dialogs::message(QStringLiteral("Problema na Gravação - Identificação !! ... operação cancelada"), this);
        outroUsuario();
        return false;
    case G::FalhaInclusao:
        ui::Dialogs::message(QStringLiteral("Problema na Gravação - Movimentação!! ... operação cancelada"), this);
        outroUsuario();
        break;
    case G::FalhaAlteracao:
        ui::Dialogs::message(QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada"), this);
        outroUsuario();
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
