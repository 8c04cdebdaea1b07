#pragma once
// Boxes the registry windows share: the year of competence, and the state box that
// keeps the state list on the record's UF.
#include <QStringList>

class QWidget;

namespace db {
class DataSource;
}
namespace ui {
class DbComboBox;
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

}  // namespace registros
