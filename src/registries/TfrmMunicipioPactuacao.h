#pragma once
// "Modalidade de Pactuação do Município": per year of competence, state and
// municipality, the municipality's pact -- its modality, its pacted population and the
// census year that population comes from. A new pact proposes the census population
// when the municipality is chosen.
#include "forms/TfrmModeloEdicao.h"

class QLabel;

namespace ui {
class DbComboBox;
class DbEdit;
class DbLookupComboBox;
}  // namespace ui

class TfrmMunicipioPactuacao : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmMunicipioPactuacao(QWidget* owner = nullptr);

    ui::DbComboBox* DBBoxAno;
    ui::DbLookupComboBox* DBBoxEstado;
    ui::DbLookupComboBox* DBBoxMunicipio;
    ui::DbLookupComboBox* DBBoxModPactuacao;
    ui::DbEdit* DBEdPopulacao;
    ui::DbEdit* DBEdAnoCenso;
    QLabel* lblAnoCenso;

    void FormShow() override;
    void FormClose() override;
    void BbtInserirClick() override;
    void BbtEditarClick() override;
    void BbtPesquisarClick() override;
    void BbtGravarClick() override;
    virtual void DBBoxMunicipioEnter();
    virtual void DBBoxMunicipioExit();

    // The first year the window offers, and the last one it always offers.
    static constexpr int primeiroAno = 2001;
    static constexpr int ultimoAnoListado = 2005;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
