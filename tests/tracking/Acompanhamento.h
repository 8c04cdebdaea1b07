#pragma once
// A follow-up installation for the window tests: a fresh database with the parameter
// record, the municipality's pact and its annual incentive, and helpers to put months,
// lines and documents in place and to read back what the window stored.
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

class QDialog;
class QWidget;
class TfrmExecucaoMunicipal;
class TfrmModeloPage;

namespace teste {

inline constexpr int lavras = 3138203;
inline const QString ano = QStringLiteral("2005");

// A fresh database set up as the installation of municipality cidade (0: the state MG),
// with the data module open on it. The year's incentive is 1.200, 2.400 and 3.600 (a
// twelfth: 100, 200 and 300).
void instala(int cidade = lavras);

// Runs a statement with positional values :1, :2 ...
void executa(const QString& sql, const QVariantList& valores = {});
QList<QVariantList> linhas(const QString& sql, const QVariantList& valores = {});
QVariant valor(const QString& sql, const QVariantList& valores = {});

struct Figuras {
    double saldoAnterior = 0, federal = 0, estadual = 0, municipal = 0, rendimentos = 0, medicamentos = 0, gastos = 0;
};
void saldoInicial(double valor, int mes, int cidade = lavras);
void cabecalho(int mes, const QString& situacao, const Figuras& f = {}, int cidade = lavras, double outros = 0);
// A medication line; the database numbers it.
void medicamento(int mes, int codigo, int quantidade, double unitario, const QString& origem = QStringLiteral("M"),
                 int cidade = lavras);
void documento(int mes, const QString& tipo, const QString& favorecido, const QString& numero, double valor,
               const QString& tipoFavorecido = QStringLiteral("1"), int cidade = lavras, const QString& noAno = ano);

// The window as the main menu opens it: owned, FormAtivo, shown and active.
TfrmExecucaoMunicipal* abre();
void mostra(QDialog* janela);

// A user's actions.
void tecla(QWidget* janela, int key);
void clicaAba(TfrmModeloPage* frm, QWidget* pagina);
// Gives the control the focus as a click would, selects what it shows and types text.
void digita(QWidget* control, const QString& text);
// Moves the focus on with Tab from the control that has it.
void sai(QWidget* janela);

}  // namespace teste
