// Field lists of the hidden filer records and the health-coverage forms,
// one table per form in field-index order.
// Each entry is a field descriptor: the type code followed by the caption.
#include "schema/field_tables.h"

namespace bq {

// One field a line: the tables are data, laid out for reading, not by the formatter.
// clang-format off
namespace {

constexpr std::string_view kClientsFields[] = {
    "$Client ID",
    "$Name line 1",
    "$Name line 2",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "$Corporate name line 1",
    "$Corporate name line 2",
    "$Corporate street address 1",
    "$Corporate street address 2",
    "$Corporate city",
    "$Corporate state",
    "$Corporate Zip code",
    "IReport Corporate to IRS indicator",
    "ICombined Federal/State indicator",
    "IFinal return indicator",
    "$Name control",
    "TTIN Type",
    "NTaxpayer id",
    "eType of employer",
    "kKind of employer",
    "$Routing & Transit number",
    "$Telephone (XXX-XXX-XXXX)",
    "$Main contact",
    "$Fax (XXX-XXX-XXXX)",
    "$E-mail address",
    "$Establishment number",
    "$Other EIN used this year",
    "$ACA Contact First Name",
    "$ACA Contact Middle Initial",
    "$ACA Contact Last Name",
    "$ACA Contact Suffix",
    "$ACA Contact Telephone (XXX-XXX-XXXX)",
};

constexpr FieldRun kClientsRuns[] = {kClientsFields};

constexpr std::string_view kSponsorsFields[] = {
    "$Sponsor ID",
    "9EIN (enter as 9 digits)",
    "$Name line 1",
    "$Name line 2",
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
    "$Telephone (XXX-XXX-XXXX)",
};

constexpr FieldRun kSponsorsRuns[] = {kSponsorsFields};

constexpr std::string_view kW2VcodeFields[] = {
    "nSocial security number",
    "vW-2 Verification Code",
};

constexpr FieldRun kW2VcodeRuns[] = {kW2VcodeFields};

constexpr std::string_view kAleGroupFields[] = {
    "$Client ID",
    "$Name line 1",
    "$Name line 2",
    "nEmployer id",
    "$Name control",
    "wAverage employee count",
};

constexpr FieldRun kAleGroupRuns[] = {kAleGroupFields};

constexpr std::string_view k1094Fields[] = {
    "$Client ID",
    "IDesignated gov entity indicator",
    "IAuthoritative transmittal indicator",
    "wTotal forms filed by ALE member",
    "IMember of ALE group indicator",
    "IQualifying Offer Method indicator",
    "I98% Offer Method indicator",
    "IAll 12 Months Column (a) (Yes)",
    "IAll 12 Months Column (a) (No)",
    "wAll 12 Months Column (b)",
    "wAll 12 Months Column (c)",
    "IAll 12 Months Column (d)",
    "IJAN Column (a) (Yes)",
    "IJAN Column (a) (No)",
    "wJAN Column (b)",
    "wJAN Column (c)",
    "IJAN Column (d)",
    "IFEB Column (a) (Yes)",
    "IFEB Column (a) (No)",
    "wFEB Column (b)",
    "wFEB Column (c)",
    "IFEB Column (d)",
    "IMAR Column (a) (Yes)",
    "IMAR Column (a) (No)",
    "wMAR Column (b)",
    "wMAR Column (c)",
    "IMAR Column (d)",
    "IAPR Column (a) (Yes)",
    "IAPR Column (a) (No)",
    "wAPR Column (b)",
    "wAPR Column (c)",
    "IAPR Column (d)",
    "IMAY Column (a) (Yes)",
    "IMAY Column (a) (No)",
    "wMAY Column (b)",
    "wMAY Column (c)",
    "IMAY Column (d)",
    "IJUN Column (a) (Yes)",
    "IJUN Column (a) (No)",
    "wJUN Column (b)",
    "wJUN Column (c)",
    "IJUN Column (d)",
    "IJUL Column (a) (Yes)",
    "IJUL Column (a) (No)",
    "wJUL Column (b)",
    "wJUL Column (c)",
    "IJUL Column (d)",
    "IAUG Column (a) (Yes)",
    "IAUG Column (a) (No)",
    "wAUG Column (b)",
    "wAUG Column (c)",
    "IAUG Column (d)",
    "ISEP Column (a) (Yes)",
    "ISEP Column (a) (No)",
    "wSEP Column (b)",
    "wSEP Column (c)",
    "ISEP Column (d)",
    "IOCT Column (a) (Yes)",
    "IOCT Column (a) (No)",
    "wOCT Column (b)",
    "wOCT Column (c)",
    "IOCT Column (d)",
    "INOV Column (a) (Yes)",
    "INOV Column (a) (No)",
    "wNOV Column (b)",
    "wNOV Column (c)",
    "INOV Column (d)",
    "IDEC Column (a) (Yes)",
    "IDEC Column (a) (No)",
    "wDEC Column (b)",
    "wDEC Column (c)",
    "IDEC Column (d)",
};

constexpr FieldRun k1094Runs[] = {k1094Fields};

constexpr std::string_view k1095BFields[] = {
    "$Import ID",
    "$File (Control) number",
    "$First name",
    "$Middle initial",
    "$Last name",
    "$Suffix",
    "$Name control",
    "nSocial security number",
    "bDate of birth",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "$Zip code extension",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Foreign city",
    "$Foreign state or province",
    "$Foreign postal code",
    "$Foreign country code",
    "OOrigin of Health Coverage Code",
    "$Sponsor ID",
    "IJAN-DEC coverage",
    "IJAN coverage",
    "IFEB coverage",
    "IMAR coverage",
    "IAPR coverage",
    "IMAY coverage",
    "IJUN coverage",
    "IJUL coverage",
    "IAUG coverage",
    "ISEP coverage",
    "IOCT coverage",
    "INOV coverage",
    "IDEC coverage",
    "IDo not print indicator",
    "$E-Mail address",
    "$Client ID",
};

constexpr FieldRun k1095BRuns[] = {k1095BFields};

constexpr std::string_view k1095BCiFields[] = {
    "$Import ID",
    "$First name",
    "$Middle initial",
    "$Last name",
    "$Suffix",
    "$Name control",
    "nSocial security number",
    "bDate of birth",
    "IJAN-DEC coverage",
    "IJAN coverage",
    "IFEB coverage",
    "IMAR coverage",
    "IAPR coverage",
    "IMAY coverage",
    "IJUN coverage",
    "IJUL coverage",
    "IAUG coverage",
    "ISEP coverage",
    "IOCT coverage",
    "INOV coverage",
    "IDEC coverage",
    "$Client ID",
};

constexpr FieldRun k1095BCiRuns[] = {k1095BCiFields};

constexpr std::string_view k1095CFields[] = {
    "$Import ID",
    "$File (Control) number",
    "$Employee ID",
    "$First name",
    "$Middle initial",
    "$Last name",
    "$Suffix",
    "$Name control",
    "nSocial security number",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "$Zip code extension",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Foreign city",
    "$Foreign state or province",
    "$Foreign postal code",
    "$Foreign country code",
    "pPlan Start Month",
    "ISelf-insured coverage indicator",
    "oJAN-DEC coverage code",
    "cJAN-DEC employee share",
    "hJAN-DEC safe harbor code",
    "oJAN coverage code",
    "cJAN employee share",
    "hJAN safe harbor code",
    "oFEB coverage code",
    "cFEB employee share",
    "hFEB safe harbor code",
    "oMAR coverage code",
    "cMAR employee share",
    "hMAR safe harbor code",
    "oAPR coverage code",
    "cAPR employee share",
    "hAPR safe harbor code",
    "oMAY coverage code",
    "cMAY employee share",
    "hMAY safe harbor code",
    "oJUN coverage code",
    "cJUN employee share",
    "hJUN safe harbor code",
    "oJUL coverage code",
    "cJUL employee share",
    "hJUL safe harbor code",
    "oAUG coverage code",
    "cAUG employee share",
    "hAUG safe harbor code",
    "oSEP coverage code",
    "cSEP employee share",
    "hSEP safe harbor code",
    "oOCT coverage code",
    "cOCT employee share",
    "hOCT safe harbor code",
    "oNOV coverage code",
    "cNOV employee share",
    "hNOV safe harbor code",
    "oDEC coverage code",
    "cDEC employee share",
    "hDEC safe harbor code",
    "IDo not print indicator",
    "$E-Mail address",
    "$Client ID",
};

constexpr FieldRun k1095CRuns[] = {k1095CFields};

}  // namespace

// Indexed by form index minus 0.
const std::span<const FieldRun> kFilerForms[9] = {
    kClientsRuns,  // 0 "Clients"
    kSponsorsRuns,  // 1 "Sponsors"
    kW2VcodeRuns,  // 2 "W-2 VCode"
    kAleGroupRuns,  // 3 "ALE Group"
    k1094Runs,  // 4 "1094"
    k1095BRuns,  // 5 "1095-B"
    k1095BCiRuns,  // 6 "1095-B CI"
    k1095CRuns,  // 7 "1095-C"
    k1095BCiRuns,  // 8 "1095-C CI"
};

// clang-format on

}  // namespace bq
