#pragma once

namespace db::fb {
class Transaction;
}

namespace data {

// The demonstration installation: the municipality of Lavras (MG), current year.
inline constexpr const char* demoUf = "MG";
inline constexpr int demoMunicipality = 3138203;

// Fills, for the current year, a municipal installation of demoMunicipality: the
// parameter record, a pact and census estimate for every municipality of demoUf, the
// standard rates with one state and a few municipal exceptions, and four months of
// follow-up (January exported, February and March closed, April open) whose transfers
// are a twelfth of the municipality's annual incentive. The incentive's rows are left to
// the incentive calculation. Needs the reference data in place.
void loadDemoData(db::fb::Transaction& tr);

}  // namespace data
