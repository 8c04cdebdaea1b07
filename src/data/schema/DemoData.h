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
// standard rates with one state and a few municipal exceptions, the annual incentive
// computed from them, and four months of follow-up (January exported, February and
// March closed, April open). Needs the reference data in place.
void loadDemoData(db::fb::Transaction& tr);

}  // namespace data
