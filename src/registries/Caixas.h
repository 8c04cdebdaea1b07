#pragma once
// What the registry windows share: the year of competence, the state box that keeps
// the state list on the record's UF, the form of the transfer-rate windows.
#include <QString>
#include <QStringList>

class QFormLayout;
class QWidget;

namespace db {
class DataSource;
}
namespace ui {
class DbComboBox;
class DbEdit;
class DbLookupComboBox;
}  // namespace ui

namespace registros {

// The year box: a list of years that also takes a typed year of up to four digits.
ui::DbComboBox* caixaDeAno(db::DataSource* source, const QStringList& anos, QWidget* parent);

// A pick-only list of the states' codes (key and shown text), bound to CO_UF.
ui::DbLookupComboBox* caixaDeEstado(db::DataSource* source, QWidget* parent);

// Whenever the record the state box is bound to changes (another row, a refresh, a
// Novo or a Cancelar), the state list moves to the UF the box shows, so that the
// municipality list, which follows the state list, holds that state's municipalities
// and the municipality box can show the record's own. A choice in the box moves the
// list by itself.
void acompanhaUf(ui::DbLookupComboBox* estado);

// The transfer-rate windows: the hints of their boxes, their form's layout, an amount in
// reais bound to a field, the width of a year box.
inline const QString dicaAno = QStringLiteral("Informe o ano de competência da pactuação");
inline const QString dicaEstado = QStringLiteral("Informe a sigla da unidade da federação da pactuação");
inline const QString dicaMunicipio = QStringLiteral("Informe o município da pactuação");
QFormLayout* formulario(QWidget* painel);
ui::DbEdit* valor(db::DataSource* source, const char* name, const char* field, QWidget* parent);
void larguraAno(QWidget* box);

}  // namespace registros
