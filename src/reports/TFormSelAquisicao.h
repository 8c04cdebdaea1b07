#pragma once
// What the two acquisition selection windows share: a pick-only list of types under the
// period, the state and municipality fixed to the installation's own in a municipal
// installation, and a Visualizar that opens the report's query itself and says so when
// it finds no document.
#include "reports/Protocolo.h"
#include "reports/TFormSelecaoModelo.h"
#include "reports/rules/Aquisicao.h"
#include "widgets/Dialogs.h"

#include <QComboBox>

class TFormSelAquisicao : public TFormSelecaoModelo {
    Q_OBJECT
public:
    QLabel* Label4;        // "Tipo de Favorecido" or "Tipo de Documento"
    QComboBox* ComboBox1;  // the types, in code order

    void FormShow() override;

protected:
    TFormSelAquisicao(QWidget* owner, const QString& rotulo, const QStringList& tipos);
    // Steps 2 to 7 of Visualizar for one report window: the type checked (the message
    // when none is shown), the window made, its query given the selection and opened,
    // "Movimento sem Dados a Serem Emitidos" when it holds no document, else the captions
    // and the preview.
    template <class Relatorio>
    void VisualizaAquisicao(relatorios::Criterio criterio, const QString& mensagemSemTipo, const QString& legendaTipo);
};

template <class Relatorio>
void TFormSelAquisicao::VisualizaAquisicao(relatorios::Criterio criterio, const QString& mensagemSemTipo,
                                           const QString& legendaTipo)
{
    const auto codigo = [&] {
        return criterio == relatorios::Criterio::Favorecido ? relatorios::codigoTipoFavorecido(ComboBox1->currentIndex())
                                                            : relatorios::codigoTipoDocumento(ComboBox1->currentIndex());
    };
    Visualiza<Relatorio>(*this, {
        .verifica = [&] {
            if (!ComboBox1->currentText().isEmpty())
                return true;
            ui::Dialogs::message(mensagemSemTipo, this);
            ComboBox1->setFocus();
            return false;
        },
        .cria = [this] { return std::make_unique<Relatorio>(this); },
        .confere = [&](Relatorio& r) {
            relatorios::preparaAquisicao(r.IBQuery1, Escolha(), criterio, codigo());
            r.IBQuery1.open();
            if (!r.IBQuery1.isEmpty())
                return true;
            ui::Dialogs::message(QStringLiteral("Movimento sem Dados a Serem Emitidos"), this);
            return false;
        },
        .legendas = [&](Relatorio& r) {
            if (!Escolha().cidade) {
                r.QRLabel7->setText(QString());
                r.QRDBText11->setEnabled(false);
            }
            r.QrTipo->setText(legendaTipo + ComboBox1->currentText());
        },
    });
}
