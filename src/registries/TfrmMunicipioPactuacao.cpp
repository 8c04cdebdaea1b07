#include "registries/TfrmMunicipioPactuacao.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "registries/Caixas.h"
#include "registries/rules/Pactuacao.h"
#include "rules/Anos.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>

TfrmMunicipioPactuacao::TfrmMunicipioPactuacao(QWidget* owner) : TfrmModeloEdicao(owner)
{
    setObjectName(QStringLiteral("frmMunicipioPactuacao"));
    setWindowTitle(QStringLiteral("Modalidade de Pactuação do Município"));
    dtsEdicao->setDataset(&DMPrincipal->TB_Cidade_Pactuacao);

    DBBoxAno = registros::caixaDeAno(dtsEdicao, rules::yearList(primeiroAno, ultimoAnoListado), pnlEdicao);
    DBBoxEstado = registros::caixaDeEstado(dtsEdicao, pnlEdicao);
    registros::acompanhaUf(DBBoxEstado);

    DBBoxMunicipio = new ui::DbLookupComboBox(pnlEdicao);
    DBBoxMunicipio->setObjectName(QStringLiteral("DBBoxMunicipio"));
    DBBoxMunicipio->setListSource(&DMPrincipal->DsTB_Cidade);
    DBBoxMunicipio->setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
    DBBoxMunicipio->setListField(QStringLiteral("NO_CIDADE"));
    DBBoxMunicipio->setDataField(QStringLiteral("CO_CIDADE"));
    DBBoxMunicipio->setDataSource(dtsEdicao);
    DBBoxMunicipio->installEventFilter(this);

    DBBoxModPactuacao = new ui::DbLookupComboBox(pnlEdicao);
    DBBoxModPactuacao->setObjectName(QStringLiteral("DBBoxModPactuacao"));
    DBBoxModPactuacao->setListSource(&DMPrincipal->DsTB_Forma_Pactuacao);
    DBBoxModPactuacao->setKeyField(QStringLiteral("CO_FORMA_PACTUACAO"));
    DBBoxModPactuacao->setListField(QStringLiteral("DS_FORMA_PACTUACAO"));
    DBBoxModPactuacao->setDataField(QStringLiteral("CO_FORMA_PACTUACAO"));
    DBBoxModPactuacao->setDataSource(dtsEdicao);

    DBEdPopulacao = new ui::DbEdit(dtsEdicao, QStringLiteral("QT_POPULACAO"), pnlEdicao);
    DBEdPopulacao->setObjectName(QStringLiteral("DBEdPopulacao"));
    DBEdPopulacao->setMaxLength(12);
    DBEdAnoCenso = new ui::DbEdit(dtsEdicao, QStringLiteral("NU_ANO_CENSO"), pnlEdicao);
    DBEdAnoCenso->setObjectName(QStringLiteral("DBEdAnoCenso"));
    DBEdAnoCenso->setEnabled(false);
    ui::setEditColour(DBEdAnoCenso, false);

    auto* grid = new QGridLayout(pnlEdicao);
    grid->setContentsMargins(16, 12, 16, 12);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    const auto linha = [&](int row, int col, const QString& caption, QWidget* w, int span = 1) {
        QLabel* l = ui::captionLabel(caption, w, pnlEdicao);
        grid->addWidget(l, row, col, 1, span);
        grid->addWidget(w, row + 1, col, 1, span);
        return l;
    };
    linha(0, 0, QStringLiteral("Ano Competência"), DBBoxAno);
    linha(0, 1, QStringLiteral("Estado"), DBBoxEstado);
    linha(2, 0, QStringLiteral("Município"), DBBoxMunicipio, 3);
    linha(4, 0, QStringLiteral("Modalidade de Pactuação"), DBBoxModPactuacao, 3);
    linha(6, 0, QStringLiteral("População"), DBEdPopulacao);
    lblAnoCenso = linha(6, 1, QStringLiteral("Ano Censo"), DBEdAnoCenso);
    lblAnoCenso->setObjectName(QStringLiteral("lblAnoCenso"));
    for (int row : {2, 4, 6})
        grid->setRowMinimumHeight(row, 24);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(8, 1);
    const int digito = DBBoxAno->fontMetrics().horizontalAdvance(QStringLiteral("0"));
    DBBoxAno->setMinimumWidth(digito * 4 + 60);
    DBBoxEstado->setMinimumWidth(digito * 2 + 60);
    DBEdPopulacao->setMinimumWidth(digito * 12 + 16);
    DBEdAnoCenso->setMinimumWidth(digito * 4 + 16);
    DBBoxMunicipio->setMinimumWidth(360);
    DBBoxModPactuacao->setMinimumWidth(360);

    setTabOrder(DBBoxAno, DBBoxEstado);
    setTabOrder(DBBoxEstado, DBBoxMunicipio);
    setTabOrder(DBBoxMunicipio, DBBoxModPactuacao);
    setTabOrder(DBBoxModPactuacao, DBEdPopulacao);
    setTabOrder(DBEdPopulacao, DBEdAnoCenso);

    setClientSize(585, 305);
}

bool TfrmMunicipioPactuacao::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBBoxMunicipio) {
        // Entering and leaving the box as the user moves among the controls; the box's
        // own list opening, or another window coming up, is neither.
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                if (event->type() == QEvent::FocusIn)
                    run([this] { DBBoxMunicipioEnter(); });
                else
                    run([this] { DBBoxMunicipioExit(); });
            }
        }
    }
    return TfrmModeloEdicao::eventFilter(watched, event);
}

void TfrmMunicipioPactuacao::FormShow()
{
    TfrmModeloEdicao::FormShow();
    DMPrincipal->TB_Unidade_Federacao.open();
    DMPrincipal->TB_Cidade.open();
    DMPrincipal->TB_Forma_Pactuacao.open();
    DMPrincipal->TB_Item_Censo_IBGE.open();
    // The state list stands on the pact's UF, so that its municipality shows.
    if (const QVariant estado = DMPrincipal->TB_Cidade_PactuacaoCO_UF->value(); !estado.isNull())
        DMPrincipal->TB_Unidade_Federacao.locate(QStringLiteral("CO_UF"), estado);
}

void TfrmMunicipioPactuacao::FormClose()
{
    TfrmModeloEdicao::FormClose();
    DMPrincipal->TB_Cidade.close();
    DMPrincipal->TB_Unidade_Federacao.close();
    DMPrincipal->TB_Forma_Pactuacao.close();
    DMPrincipal->TB_Item_Censo_IBGE.close();
}

void TfrmMunicipioPactuacao::BbtInserirClick()
{
    TfrmModeloEdicao::BbtInserirClick();
    // The census year comes from the census, never typed into a new pact.
    DBEdAnoCenso->setEnabled(false);
    ui::setEditColour(DBEdAnoCenso, false);
    DBBoxAno->setFocus(Qt::OtherFocusReason);
}

void TfrmMunicipioPactuacao::BbtEditarClick()
{
    TfrmModeloEdicao::BbtEditarClick();
    if (dataset() && dataset()->isEditing())
        DBBoxAno->setFocus(Qt::OtherFocusReason);
}

void TfrmMunicipioPactuacao::BbtPesquisarClick()
{
    TfrmModeloEdicao::BbtPesquisarClick();
    // The rows as stored, the municipality names of new pacts included.
    db::Dataset& pactos = DMPrincipal->TB_Cidade_Pactuacao;
    pactos.close();
    pactos.open();
    pactos.first();
}

void TfrmMunicipioPactuacao::DBBoxMunicipioEnter()
{
    db::Dataset& cidades = DMPrincipal->TB_Cidade;
    if (cidades.isActive()) {
        cidades.last();
        cidades.first();
    }
}

void TfrmMunicipioPactuacao::DBBoxMunicipioExit()
{
    db::Dataset& pactos = DMPrincipal->TB_Cidade_Pactuacao;
    if (!pactos.isActive())
        return;
    const registros::Censo censo = registros::leCenso(DMPrincipal->RL_Cidade_ItemCensoIBGE,
                                                      DMPrincipal->TB_Cidade_PactuacaoCO_CIDADE->value(),
                                                      DMPrincipal->TB_Cidade_PactuacaoNU_ANO_COMPET->value());
    if (pactos.state() != db::DatasetState::Insert)
        return;
    if (censo.encontrado) {
        DMPrincipal->TB_Cidade_PactuacaoQT_POPULACAO->setValue(censo.populacao);
        DMPrincipal->TB_Cidade_PactuacaoNU_ANO_CENSO->setValue(censo.ano);
    } else if (!DMPrincipal->TB_Cidade_PactuacaoNU_ANO_CENSO->isNull()) {
        // A census year in a new pact came from an earlier proposal, for another
        // municipality or year: its population goes with it.
        DMPrincipal->TB_Cidade_PactuacaoQT_POPULACAO->clear();
        DMPrincipal->TB_Cidade_PactuacaoNU_ANO_CENSO->clear();
    }
}

void TfrmMunicipioPactuacao::BbtGravarClick()
{
    db::Dataset& pactos = DMPrincipal->TB_Cidade_Pactuacao;
    if (!pnlFundo->isHidden() && pactos.isEditing()) {
        const registros::PactoDigitado pacto{DMPrincipal->TB_Cidade_PactuacaoNU_ANO_COMPET->value(),
                                             DMPrincipal->TB_Cidade_PactuacaoCO_UF->value(),
                                             DMPrincipal->TB_Cidade_PactuacaoCO_CIDADE->value(),
                                             DMPrincipal->TB_Cidade_PactuacaoCO_FORMA_PACTUACAO->value(), DBEdPopulacao->text()};
        if (const rules::Falhou falta = registros::campoQueFalta(DMPrincipal->IBDatabaseGeral, pacto)) {
            mostraRecusa(falta->texto(), falta->campo);
            return;
        }
        const double populacao = registros::populacaoDigitada(pacto.populacao);
        // The census row of the pact's municipality and year as stored now, whichever
        // way the user came here.
        const registros::Censo censo =
            registros::leCenso(DMPrincipal->RL_Cidade_ItemCensoIBGE, pacto.cidade, pacto.ano);
        const QVariant anoCenso = registros::anoCensoDoPacto(populacao, censo);
        if (anoCenso.isNull())
            DMPrincipal->TB_Cidade_PactuacaoNU_ANO_CENSO->clear();
        else
            DMPrincipal->TB_Cidade_PactuacaoNU_ANO_CENSO->setValue(anoCenso);
    }
    TfrmModeloEdicao::BbtGravarClick();
}
