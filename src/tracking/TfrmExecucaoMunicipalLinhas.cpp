// The detail pages of the follow-up ("Execução Física", "Fonte de Comprovação") and the
// closing of the month.
#include "tracking/TfrmExecucaoMunicipal.h"

#include "data/Codigos.h"
#include "data/DMPrincipal.h"
#include "db/DatabaseError.h"
#include "db/Field.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "text/Formats.h"
#include "tracking/rules/Saldo.h"
#include "tracking/rules/TCheckDoc.h"
#include "widgets/Dialogs.h"
#include "widgets/Guard.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString problemaGravacao = QStringLiteral("Problema na Gravação !! ... operação cancelada");
const QString problemaReGravacao = QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada");

db::Field& campo(db::Dataset& ds, const char* nome)
{
    return ds.fieldByName(QString::fromLatin1(nome));
}

// A value of a field, empty counting as none.
std::optional<double> numero(const db::Field& f)
{
    return f.isNull() ? std::nullopt : std::optional<double>(f.asFloat());
}

// A line as it was typed, so that it can be put back after a save undone.
struct LinhaDigitada {
    bool insercao = false;
    QList<QPair<QString, QVariant>> valores;
    QList<QPair<QString, QVariant>> chave;  // the row's old key, to find it again

    static LinhaDigitada de(db::Dataset& ds)
    {
        LinhaDigitada l;
        l.insercao = ds.state() == db::DatasetState::Insert;
        for (const auto& f : ds.fields()) {
            if (f->kind() != db::FieldKind::Data)
                continue;
            l.valores << qMakePair(f->fieldName(), f->value());
        }
        for (const QString& k : ds.keyFieldNames())
            l.chave << qMakePair(k, ds.fieldByName(k).oldValue());
        return l;
    }

    // The dataset has been read again: the line goes back into insertion or editing
    // with what was typed.
    void restaura(db::Dataset& ds) const
    {
        if (insercao) {
            ds.append();
        } else {
            QStringList nomes;
            QVariantList valoresChave;
            for (const auto& [k, v] : chave) {
                nomes << k;
                valoresChave << v;
            }
            if (!ds.locate(nomes, valoresChave))
                return;
            ds.edit();
        }
        for (const auto& [nome, valor] : valores)
            ds.fieldByName(nome).setValue(valor);
    }
};

}  // namespace

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
    if (pgEdicao->currentPage() == tbsExecucaoFisica) {
        dtsEdicao->setDataset(&Tb_Execucao_Fisica_Municipio);
        Acumula_Execucao_Fisica();
        DBLookupMedicamento->setFocus();
        DBOrigem->setVisible(!estadual());
        DBOrigem->setEnabled(!estadual());
    } else {
        dtsEdicao->setDataset(&Tb_Fonte_comprovacao_Municipio);
        Acumula_Fonte_Comprovacao();
        focaGrupo(DBTipoDocumento);
    }
}

void TfrmExecucaoMunicipal::novaLinha()
{
    const std::optional<tracking::Cabecalho> aberto = acompanhamento().cabecalhoAberto();
    EdtPactuada->setValue(aberto ? aberto->totOutrosPactuada : 0.0);
    db::Dataset* ds = datasetDaPagina();
    abreLinhas(*ds, chave(), mesCompetencia());
    ds->append();
    if (ds == &Tb_Fonte_comprovacao_Municipio) {
        DBTipoDocumento->setItemIndex(-1);
        DBTipoFavorecido->setItemIndex(-1);
        DBEdit4->setFocus();
    } else {
        DBLookupMedicamento->setFocus();
    }
}

void TfrmExecucaoMunicipal::BbtExcluirClick()
{
    if (pgEdicao->currentPage() == tbsExecucaoFisica) {
        excluiLinhaExecucao();
    } else if (pgEdicao->currentPage() == tbsFonteComprovacao) {
        TfrmModeloEdicao::BbtExcluirClick();
        Acumula_Fonte_Comprovacao();
    }
}

bool TfrmExecucaoMunicipal::confirmaTexto(QWidget* control)
{
    db::Dataset& ds = control == DBEdit1 || control == DBEdit2 ? Tb_Execucao_Fisica_Municipio : Tb_Fonte_comprovacao_Municipio;
    if (!ds.isEditing())
        return true;
    if (control == DBEdit7) {
        db::Field& f = campo(ds, "DT_DOC");
        const QString t = DBEdit7->dateText();
        if (t.isEmpty()) {
            f.clear();
            return true;
        }
        const std::optional<QDate> data = text::parseDate(t);
        if (!data) {
            ErroValor = true;
            ui::Dialogs::error(QStringLiteral("Data inválida."), this, QStringLiteral("Erro"));
            voltaFoco(DBEdit7);
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
    if (control == DBEdit2) {
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
    campo(ds, "NU_MES_COMPET").setValue(QString::number(mesCompetencia()));
}

void TfrmExecucaoMunicipal::DsTb_Execucao_Fisica_MunicipioStateChange()
{
    db::Dataset& ds = Tb_Execucao_Fisica_Municipio;
    // Moving to another row would post the line past its checks: the grid waits.
    DBGridExecucao->setEnabled(!ds.isEditing());
    if (!ds.isEditing())
        return;
    botoesEditando();
    if (ds.state() != db::DatasetState::Insert)
        return;  // an edited line keeps its stored origin
    db::Field& origem = campo(ds, "ST_ORIGEM");
    if (estadual()) {
        origem.setValue(codigos::origem::estado);
    } else {
        DBOrigem->setEnabled(true);
        if (origem.isNull())
            origem.setValue(codigos::origem::municipio);
    }
}

void TfrmExecucaoMunicipal::DBEdit1Exit()
{
    db::Dataset& ds = Tb_Execucao_Fisica_Municipio;
    if (pgEdicao->currentPage() != tbsExecucaoFisica || !ds.isEditing())
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
    acumulaExecucao(Tb_Execucao_Fisica_Municipio, chave(), mesCompetencia());
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
    if (foco == DBEdit1 || foco == DBEdit2) {
        if (!confirmaTexto(foco))
            return;
        DBEdit1Exit();
    }
    if (ErroValor)
        return;
    if (const auto erro = tracking::verificaLinhaMedicamento(numero(campo(ds, "VL_UNITARIO")), numero(campo(ds, "QT_MEDICAMENTO")))) {
        ui::Dialogs::message(*erro, this);
        (*erro == QStringLiteral("informe a Quantidade") ? DBEdit2 : DBEdit1)->setFocus();
        return;
    }
    campo(ds, "NU_ANO_COMPET").setValue(DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
    campo(ds, "CO_UF").setValue(DMPrincipal->TB_Parametro_MELTUCO_UF->asString());
    campo(ds, "CO_CIDADE").setValue(codigoCidade_);
    campo(ds, "NU_MES_COMPET").setValue(QString::number(mesCompetencia()));

    // The line and the header's other-medications total are one unit.
    const LinhaDigitada digitada = LinhaDigitada::de(ds);
    bool gravada = false;
    {
        db::WriteUnit unidade(DMPrincipal->IBDatabaseGeral);
        try {
            ds.post();
        } catch (const db::DatabaseError& e) {
            ui::Dialogs::message(e.isKeyViolation() ? QStringLiteral("Registro Existente") : problemaGravacao, this);
            if (!e.isKeyViolation())
                ui::Dialogs::error(e.message(), this);
            return;
        } catch (...) {
            const QString detalhe = ui::currentExceptionMessage();
            ui::Dialogs::message(problemaGravacao, this);
            ui::Dialogs::error(detalhe, this);
            return;
        }
        try {
            acompanhamento().gravaTotalOutros(mesCompetencia(), totaisExecucao_.outros);
            unidade.commit();
            gravada = true;
        } catch (...) {
        }
    }
    if (!gravada) {
        // Nothing was stored: the lines are read again and the line is typed as it was.
        Acumula_Execucao_Fisica();
        digitada.restaura(ds);
        ui::Dialogs::message(problemaReGravacao, this);
        return;
    }
    Acumula_Execucao_Fisica();
    botoesLinhaGravada();
    novaLinha();
}

void TfrmExecucaoMunicipal::excluiLinhaExecucao()
{
    db::Dataset& ds = Tb_Execucao_Fisica_Municipio;
    if (!ds.isActive()) {
        ui::Dialogs::message(QStringLiteral("A tabela de edição não está ativa !!!"), this);
        return;
    }
    if (ds.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Você não pode excluir um registro numa tabela vazia"), this);
    } else if (ui::Dialogs::confirm(QStringLiteral("Você deseja realmente excluir este registro?"), this)) {
        // The header's other-medications total follows the lines in the same unit, so a
        // month closed right after a delete stores the right total.
        bool apagada = false;
        {
            db::WriteUnit unidade(DMPrincipal->IBDatabaseGeral);
            // A delete the database refuses reaches the standard error box, the line staying.
            ds.remove();
            Acumula_Execucao_Fisica();
            try {
                acompanhamento().gravaTotalOutros(mesCompetencia(), totaisExecucao_.outros);
                unidade.commit();
                apagada = true;
            } catch (...) {
            }
        }
        if (!apagada) {
            Acumula_Execucao_Fisica();
            ui::Dialogs::message(problemaReGravacao, this);
        }
    }
    HabilitaEdicao(true);
}

// --- "Fonte de Comprovação" -----------------------------------------------------------

void TfrmExecucaoMunicipal::Tb_Fonte_comprovacao_MunicipioNewRecord(db::Dataset& ds)
{
    campo(ds, "NU_ANO_COMPET").setValue(DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
    campo(ds, "CO_UF").setValue(DMPrincipal->TB_Parametro_MELTUCO_UF->asString());
    campo(ds, "CO_CIDADE").setValue(codigoCidade_);
    campo(ds, "NU_MES_COMPET").setValue(QString::number(mesCompetencia()));
}

void TfrmExecucaoMunicipal::DsTb_Fonte_comprovacao_MunicipioStateChange()
{
    db::Dataset& ds = Tb_Fonte_comprovacao_Municipio;
    DBGridFonte->setEnabled(!ds.isEditing());
    if (!ds.isEditing())
        return;
    botoesEditando();
    // A new line's types show empty by themselves, its fields being empty.
    DBTipoDocumento->setEnabled(true);
    DBTipoFavorecido->setEnabled(true);
}

void TfrmExecucaoMunicipal::DBTipoDocumentoChange()
{
    mostraTipoFavorecido();
    db::Dataset& ds = Tb_Fonte_comprovacao_Municipio;
    // A deposit has no payee type.
    if (DBTipoDocumento->value() == codigos::tipoDocumento::deposito && ds.isEditing())
        campo(ds, "ST_TIPO_FAVORECIDO").clear();
    const int ses = int(DBTipoFavorecido->values().indexOf(codigos::tipoFavorecido::secretariaEstadual));
    if (DBTipoDocumento->value() == codigos::tipoDocumento::guiaRemessa && ses >= 0 &&
        DBTipoFavorecido->itemIndex() != ses) {
        DBTipoFavorecido->setItemIndex(ses);
        focaGrupo(DBTipoDocumento);
    }
}

void TfrmExecucaoMunicipal::DBEdit4Exit()
{
    if (!Tb_Fonte_comprovacao_Municipio.isEditing() || DBEdit4->text() != tracking::identificacaoZeros)
        return;
    ui::Dialogs::message(QStringLiteral("identificação Inválida"), this);
    voltaFoco(DBEdit4);
}

void TfrmExecucaoMunicipal::Acumula_Fonte_Comprovacao()
{
    acumulaFonte(Tb_Fonte_comprovacao_Municipio, chave(), mesCompetencia());
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
    if (foco == DBEdit6) {
        confirmaTexto(DBEdit6);
        movendoFoco_ = true;
        DBEdit7->setFocus();
        movendoFoco_ = false;
    } else if (foco == DBEdit7 && !text::parseDate(DBEdit7->dateText())) {
        ui::Dialogs::message(QStringLiteral("Data Inválida"), this);
        DBEdit7->setFocus();
        return;
    }
    if (ErroValor)
        return;

    const QString favorecido = campo(ds, "NU_FAVORECIDO").asString();
    const QString tipoFavorecido = DBTipoFavorecido->value();
    const tracking::Documento documento{DBTipoDocumento->value(), tipoFavorecido, favorecido, numero(campo(ds, "VL_DOC"))};
    if (const auto erro = tracking::verificaDocumento(documento, CheckDoc1)) {
        ui::Dialogs::message(erro->mensagem, this);
        using C = tracking::ErroDocumento::Campo;
        switch (erro->campo) {
        case C::TipoDocumento: focaGrupo(DBTipoDocumento); break;
        case C::TipoFavorecido: focaGrupo(DBTipoFavorecido); break;
        case C::Valor: DBEdit6->setFocus(); break;
        case C::Favorecido: DBEdit4->setFocus(); break;
        }
        return;
    }
    if (focusWidget() == DBEdit7 && !confirmaTexto(DBEdit7))
        return;

    const bool insercao = ds.state() == db::DatasetState::Insert;
    const QString numeroDoc = campo(ds, "NR_NUMERO_DOC").asString();
    const db::Field& tipoGravado = campo(ds, "ST_TIPO_FAVORECIDO");
    const bool checaNumero =
        insercao || tracking::verificaNumeroAoEditar(campo(ds, "NR_NUMERO_DOC").oldValue().toString(),
                                                     campo(ds, "NU_FAVORECIDO").oldValue().toString(), numeroDoc, favorecido);
    const bool checaTipo = insercao || tracking::verificaTipoAoEditar(tipoGravado.oldValue().toString(), tipoFavorecido);
    const tracking::Acompanhamento a = acompanhamento();
    if (checaNumero && a.documentoLancado(numeroDoc, favorecido)) {
        ui::Dialogs::message(QStringLiteral("Documento já lançado para este favorecido"), this);
        DBEdit5->setFocus();
        return;
    }
    // The line being edited is no other document of the payee.
    std::optional<tracking::LinhaDocumento> propria;
    if (!insercao)
        propria = tracking::LinhaDocumento{campo(ds, "NU_MES_COMPET").oldValue().toString().toInt(),
                                           campo(ds, "CO_SEQ_DOC").oldValue().toInt()};
    if (checaTipo && a.favorecidoComOutroTipo(favorecido, tracking::tipoComparado(tipoFavorecido), propria)) {
        ui::Dialogs::message(QStringLiteral("Favorecido já lançado com outro tipo"), this);
        DBEdit4->setFocus();
        return;
    }

    if (insercao) {
        campo(ds, "NU_ANO_COMPET").setValue(DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
        campo(ds, "CO_UF").setValue(DMPrincipal->TB_Parametro_MELTUCO_UF->asString());
        campo(ds, "CO_CIDADE").setValue(codigoCidade_);
        campo(ds, "NU_MES_COMPET").setValue(QString::number(mesCompetencia()));
    }
    try {
        ds.post();
    } catch (const db::DatabaseError& e) {
        ui::Dialogs::message(e.isKeyViolation() ? QStringLiteral("Registro Existente") : problemaGravacao, this);
        if (!e.isKeyViolation())
            ui::Dialogs::error(e.message(), this);
        return;
    } catch (...) {
        const QString detalhe = ui::currentExceptionMessage();
        ui::Dialogs::message(problemaGravacao, this);
        ui::Dialogs::error(detalhe, this);
        return;
    }
    Acumula_Fonte_Comprovacao();
    botoesLinhaGravada();
    novaLinha();
}

// --- closing ------------------------------------------------------------------------

void TfrmExecucaoMunicipal::ToolButton1Click()
{
    const int mes = mesCompetencia();
    if (mes == 0) {
        ui::Dialogs::message(QStringLiteral("Informe o mes"), this);
        CBMes->setFocus();
        return;
    }
    if (BbtGravar->isEnabled()) {
        GravaMovimentacao();
        // A line being typed is still being typed until the checks leave it.
        if (db::Dataset* ds = datasetDaPagina(); ds && ds->isEditing())
            botoesEditando();
    }
    tracking::Acompanhamento a = acompanhamento();
    const std::optional<QString> situacao = a.situacao(mes);
    if (!situacao)
        return;
    if (*situacao != codigos::situacao::aberto) {
        ui::Dialogs::message(QStringLiteral("Movimento já está fechado/exportado"), this);
        return;
    }
    // Only saved lines count: a line being typed is left.
    Acumula_Execucao_Fisica();
    Acumula_Fonte_Comprovacao();
    if (paginaDetalhe())
        botoesLinhaGravada();
    const tracking::TotaisFechamento totais{totaisExecucao_.geral(), totaisDocumentos_.notaFiscal, totaisDocumentos_.guiaRemessa};
    if (const auto erro = tracking::verificaFechamento(valores(), totais)) {
        ui::Dialogs::message(*erro, this);
        return;
    }
    if (!ui::Dialogs::confirm(QStringLiteral("Confirma Fechamento do mês ?"), this))
        return;
    try {
        a.fechaMes(mes, QDate::currentDate());
    } catch (...) {
        ui::Dialogs::message(QStringLiteral("Problema na ReGravação - Fechamento !! ... operação cancelada"), this);
        return;
    }
    ui::Dialogs::message(QStringLiteral("Fechamento Efetuado"), this);
    pgEdicao->setCurrentPage(0);
    iniciaMes();
}
