#pragma once
// What the annual-incentive window and the pacted-resources window share: a year and a
// UF picked at the top, the calculated incentive of that UF's pacted municipalities in
// the grid, and the UF's totals under the value columns. Picking the year or the UF
// shows them; the other box, when still empty, takes the focus instead.
#include "forms/TfrmModeloEdicao.h"

#include "db/DataSource.h"
#include "db/Dataset.h"

class QComboBox;
class QLabel;

namespace ui {
class DbGrid;
class DbLookupComboBox;
class MoneyEdit;
}  // namespace ui

class JanelaDeIncentivo : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit JanelaDeIncentivo(QWidget* owner = nullptr);
    ~JanelaDeIncentivo() override;

    QLabel* Label1;  // "Ano de Competência"
    QComboBox* CB_Ano;
    QLabel* Label2;  // "Estado"
    ui::DbLookupComboBox* LookUpUF;
    // Shown when the year's pacts or rates changed after its incentive was calculated.
    QWidget* pnlDesatualizado;
    QLabel* LblDesatualizado;
    ui::DbGrid* DBGrid1;
    QWidget* pnlTotais;
    QLabel* Label3;  // "Totais"
    ui::MoneyEdit* EdtTotFederal;
    ui::MoneyEdit* EdtTotEstadual;
    ui::MoneyEdit* EdtTotMunicipal;

    db::Dataset QryConsulta;
    db::DataSource DsConsulta;
    db::Field* QryConsultaNO_CIDADE = nullptr;
    db::Field* QryConsultaCO_FORMA_PACTUACAO = nullptr;
    db::Field* QryConsultaVL_FEDERAL = nullptr;
    db::Field* QryConsultaVL_ESTADUAL = nullptr;
    db::Field* QryConsultaVL_MUNICIPAL = nullptr;
    db::Field* QryConsultaTotal = nullptr;

    virtual void CB_AnoClick();
    virtual void LookUpUFClick();
    virtual void QryConsultaCalcFields();

    // The line that says the year picked is stale, shown or hidden as it is.
    void mostraAtualidade();

    // The year and the UF the boxes show; empty when none.
    QString anoEscolhido() const;
    QString ufEscolhida() const;

protected:
    // Called once the grid shows the year and UF picked, before the totals are added.
    virtual void consultaAberta() {}
    // The grid's fields, in column order: the derived window gives their labels and masks.
    void defineCampos(const QString& rotuloCidade, const QString& rotuloModalidade, const QString& mascaraValor);
    // The state list, read to its end so that every UF is listed, and the two boxes
    // enabled again after the template greyed them.
    void preparaEscolha();

    void showEvent(QShowEvent* e) override;

private:
    void alinhaTotais();
};
