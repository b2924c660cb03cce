// Field lists of the 3921, 3922, 5498 and W-2 forms,
// one table per form in field-index order.
// Each entry is a field descriptor: the type code followed by the caption.
#include "schema/field_tables.h"

namespace bq {

// One field a line: the tables are data, laid out for reading, not by the formatter.
// clang-format off
namespace {

constexpr std::string_view k3921Fields[] = {
    "dDate option granted",
    "dDate option exercised",
    "cPrice per share",
    "cFMV per share",
    "#Number of shares",
    "$Other information line 1",
    "$Other information line 2",
    "$Other information line 3",
    "$Other information line 4",
};

constexpr FieldRun k3921Runs[] = {kRecipientBlock, k3921Fields, kClosingBlock};

constexpr std::string_view k3922Fields[] = {
    "dDate option granted",
    "dDate option exercised",
    "cFMV per share on grant date",
    "cFMV per share on exercise date",
    "cExercise price paid per share",
    "#Number of shares transferred",
    "dDate legal title transferred",
    "cExercise price per share determined",
};

constexpr FieldRun k3922Runs[] = {kRecipientBlock, k3922Fields, kClosingBlock};

constexpr std::string_view k5498Fields[] = {
    "$CFSP Reporting State",
    "cBox 1 - IRA contributions",
    "cBox 2 - Rollover contributions",
    "cBox 3 - Roth IRA conversion amount",
    "cBox 4 - Recharacterized contributions",
    "cBox 5 - FMV of account",
    "cBox 6 - Life insurance cost",
    "IBox 7 - IRA Indicator",
    "IBox 7 - SEP Indicator",
    "IBox 7 - SIMPLE Indicator",
    "IBox 7 - Roth IRA Indicator",
    "cBox 8 - SEP contributions",
    "cBox 9 - SIMPLE contributions",
    "cBox 10 - Roth IRA contributions",
    "IBox 11 - RMD Indicator for 2019",
    "dBox 12a - RMD date",
    "cBox 12b - RMD amount",
    "cBox 13a - Postponed contribution",
    "yBox 13b - Year",
    "$Box 13c - Code",
    "cBox 14a - Repayments",
    "$Box 14b - Code",
    "cBox 15a - FMV of certain specified assets",
    "$Box 15b - Code",
};

constexpr FieldRun k5498Runs[] = {kRecipientBlock, k5498Fields, kClosingBlock};

constexpr std::string_view k5498EsaFields[] = {
    "cBox 1 - Coverdell ESA contributions",
    "cBox 2 - Rollover contributions",
};

constexpr FieldRun k5498EsaRuns[] = {kRecipientBlock, k5498EsaFields, kClosingBlock};

constexpr std::string_view k5498SaFields[] = {
    "cBox 1 - Employee Archer MSA contributions",
    "cBox 2 - Total contributions made in 2018",
    "cBox 3 - Total HSA or Archer MSA contributions made in 2019 for 2018",
    "cBox 4 - Rollover contributions",
    "cBox 5 - FMV of HSA, Archer MSA, or MA MSA",
    "IBox 6 - HSA indicator",
    "IBox 6 - Archer MSA indicator",
    "IBox 6 - MA MSA indicator",
};

constexpr FieldRun k5498SaRuns[] = {kRecipientBlock, k5498SaFields, kClosingBlock};

constexpr std::string_view kW2Fields[] = {
    "$File (Control) number",
    "$First name",
    "$Middle initial",
    "$Last name",
    "$Suffix",
    "$Employee's full name (optional)",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "$Zip code extension",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Foreign state or province",
    "$Foreign postal code",
    "$Foreign country code",
    "IApplied for SSN indicator",
    "nSocial security number",
    "cWages",
    "cFederal withheld",
    "cSocial security wages",
    "cSocial security tax",
    "cMedicare wages and tips",
    "cMedicare tax",
    "cSocial security tips",
    "cAllocated tips",
    "cDependent care benefits",
    "cNonqualified plans",
    "$Box 12a code",
    "cBox 12a amount",
    "$Box 12b code",
    "cBox 12b amount",
    "$Box 12c code",
    "cBox 12c amount",
    "$Box 12d code",
    "cBox 12d amount",
    "IStatutory employee indicator",
    "IRetirement plan indicator",
    "IThird-party sick pay indicator",
    "$Box 14 line 1",
    "$Box 14 line 2",
    "$Box 14 line 3",
    "$State 1",
    "cState 1 wages",
    "cState 1 tax withheld",
    "cLocality 1 wages",
    "cLocality 1 tax withheld",
    "$Name of locality 1",
    "$Locality 1 type",
    "$State 2",
    "cState 2 wages",
    "cState 2 tax withheld",
    "cLocality 2 wages",
    "cLocality 2 tax withheld",
    "$Name of locality 2",
    "$Locality 2 type",
    "$Payment entity",
    "INot subject to FICA indicator",
    "IDo not print indicator",
    "$Employee ID",
    "$E-Mail address",
    "$Client ID",
};

constexpr FieldRun kW2Runs[] = {kW2Fields};

constexpr std::string_view kW2cFields[] = {
    "YYear corrected",
    "$First name",
    "$First name (previously reported)",
    "$Middle initial",
    "$Middle initial (previously reported)",
    "$Last name",
    "$Last name (previously reported)",
    "$Suffix",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "$Zip code extension",
    "IForeign address indicator",
    "$Foreign state or province",
    "$Foreign postal code",
    "$Foreign country code",
    "nCorrect SSN",
    "NIncorrect SSN",
    "IPrevious statutory employee indicator",
    "IPrevious retirement plan indicator",
    "IPrevious 3rd-party sick pay indicator",
    "cPrevious wages",
    "cPrevious federal income tax",
    "cPrevious social security wages",
    "cPrevious social security tax",
    "cPrevious medicare wages and tips",
    "cPrevious medicare tax",
    "cPrevious social security tips",
    "cPrevious allocated tips",
    "cPrevious advanced EIC payments",
    "cPrevious dependent care benefits",
    "cPrevious nonqualified plans",
    "$Previous Box 12a code",
    "cPrevious Box 12a amount",
    "$Previous Box 12b code",
    "cPrevious Box 12b amount",
    "$Previous Box 12c code",
    "cPrevious Box 12c amount",
    "$Previous Box 12d code",
    "cPrevious Box 12d amount",
    "$Previous Box 14 line 1",
    "$Previous Box 14 line 2",
    "$Previous Box 14 line 3",
    "$Previous State 1",
    "$Previous State 1 ID",
    "cPrevious State 1 wages",
    "cPrevious State 1 income tax",
    "$Previous Local 1",
    "cPrevious Local 1 wages",
    "cPrevious Local 1 income tax",
    "$Previous State 2",
    "$Previous State 2 ID",
    "cPrevious State 2 wages",
    "cPrevious State 2 income tax",
    "$Previous Local 2",
    "cPrevious Local 2 wages",
    "cPrevious Local 2 income tax",
    "ICorrected statutory employee indicator",
    "ICorrected retirement plan indicator",
    "ICorrected 3rd-party sick pay indicator",
    "cCorrected wages",
    "cCorrected federal income tax",
    "cCorrected social security wages",
    "cCorrected social security tax",
    "cCorrected medicare wages and tips",
    "cCorrected medicare tax",
    "cCorrected social security tips",
    "cCorrected allocated tips",
    "cCorrected advanced EIC payments",
    "cCorrected dependent care benefits",
    "cCorrected nonqualified plans",
    "$Corrected Box 12a code",
    "cCorrected Box 12a amount",
    "$Corrected Box 12b code",
    "cCorrected Box 12b amount",
    "$Corrected Box 12c code",
    "cCorrected Box 12c amount",
    "$Corrected Box 12d code",
    "cCorrected Box 12d amount",
    "$Corrected Box 14 line 1",
    "$Corrected Box 14 line 2",
    "$Corrected Box 14 line 3",
    "$Corrected State 1",
    "$Corrected State 1 ID",
    "cCorrected State 1 wages",
    "cCorrected State 1 income tax",
    "$Corrected Local 1",
    "cCorrected Local 1 wages",
    "cCorrected Local 1 income tax",
    "$Corrected State 2",
    "$Corrected State 2 ID",
    "cCorrected State 2 wages",
    "cCorrected State 2 income tax",
    "$Corrected Local 2",
    "cCorrected Local 2 wages",
    "cCorrected Local 2 income tax",
};

constexpr FieldRun kW2cRuns[] = {kW2cFields};

constexpr std::string_view kW2gFields[] = {
    "$Name line 1",
    "$Name line 2",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "IForeign address indicator",
    "$Foreign city, province, postal code",
    "TTIN Type",
    "NTaxpayer id",
    "$Name control",
    "$Transaction Number",
    "cGross winnings",
    "cFederal income tax withheld",
    "gType of wager code (1-9)",
    "cAmount of wager",
    "DDate won",
    "$Race",
    "cWinnings from identical wagers",
    "$Cashier",
    "$Window",
    "$First ID",
    "$Second ID",
    "$Reporting state",
    "cState winnings",
    "cState income tax withheld",
    "cLocal winnings",
    "cLocal income tax withheld",
    "$Name of locality",
    "IDo not print indicator",
    "$Client ID",
};

constexpr FieldRun kW2gRuns[] = {kW2gFields};

}  // namespace

// Indexed by form index minus 29.
const std::span<const FieldRun> k3921ToW2Forms[8] = {
    k3921Runs,  // 29 "3921"
    k3922Runs,  // 30 "3922"
    k5498Runs,  // 31 "5498"
    k5498EsaRuns,  // 32 "5498-ESA"
    k5498SaRuns,  // 33 "5498-SA"
    kW2Runs,  // 34 "W-2"
    kW2cRuns,  // 35 "W-2C"
    kW2gRuns,  // 36 "W-2G"
};

// clang-format on

}  // namespace bq
