#pragma once
// "Auditoria dos Dados Recebidos": in a state installation, what does not hold in the
// months received for a year, for every municipality or one. F7 runs the audit with a
// progress dialog that can be cancelled; the findings fill a grid sortable by any
// column, searched as the user types in "Localizar"; "Imprimir" previews them grouped
// by municipality and "Copiar" puts them on the clipboard for a spreadsheet.
#include "audit/rules/Auditoria.h"
#include "widgets/FormWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

class TfrmAuditoria : public ui::FormWindow {
    Q_OBJECT
public:
    explicit TfrmAuditoria(QWidget* owner = nullptr);
    ~TfrmAuditoria() override;

    QToolBar* ToolBar1;
    QAction* BbtSair;
    QAction* BbtPesquisar;
    QAction* BbtImprimir;
    QAction* BbtCopiar;
    QLineEdit* EdtAno;          // "Ano Competência"
    QComboBox* CBMunicipio;     // "Município": "(todos)" or one
    QLineEdit* EdtLocalizar;    // "Localizar"
    QTableView* GridAchados;
    QLabel* LblResumo;

    QStandardItemModel* Achados;
    QSortFilterProxyModel* AchadosOrdenados;

    void FormShow() override;
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void BbtSairClick();
    // Runs the audit of the year and municipality chosen.
    void BbtPesquisarClick();
    void BbtImprimirClick();
    void BbtCopiarClick();
    // Moves to the first row, in the grid's order, whose text in the sorted column
    // begins with the text (case and accents ignored).
    void EdtLocalizarChange(const QString& texto);

    const auditoria::Resultado& resultado() const { return resultado_; }
    const auditoria::Filtro& filtro() const { return filtro_; }
    // The findings in the grid's order.
    QList<auditoria::Achado> achadosNaOrdem() const;

private:
    void mostraAchados();

    auditoria::Resultado resultado_;
    auditoria::Filtro filtro_;
};
