// Field lists of the 1098 and 1099 forms,
// one table per form in field-index order.
// Each entry is a field descriptor: the type code followed by the caption.
#include "schema/field_tables.h"

namespace bq {

// One field a line: the tables are data, laid out for reading, not by the formatter.
// clang-format off
namespace {

constexpr std::string_view k1098Fields[] = {
    "$Name line 1",
    "$Name line 2",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Foreign city, province, postal code",
    "$Apartment number",
    "TTIN Type",
    "NTaxpayer id",
    "$Name control",
    "$Account number",
    "dOccupancy date (from)",
    "dOccupancy date (to)",
    "#Payer shares",
    "#Payer percentage of maintenance paid",
    "cReal estate taxes",
    "cAmortization",
    "cCapital reserve fund",
    "cBox 1 - Mortgage interest received from payer",
    "cBox 2 - Outstanding mortgage principal as of 1/1/2018",
    "dBox 3 - Mortgage origination date",
    "cBox 4 - Refund of overpaid interest",
    "cBox 5 - Mortgage insurance premiums",
    "cBox 6 - Points paid on purchase of principal residence",
    "IBox 7 - Property securing mortgage indicator",
    "$Box 8 - Address of property securing mortgage line 1",
    "$Box 8 - Address of property securing mortgage line 2",
    "$Box 8 - Address of property securing mortgage line 3",
    "$Box 8 - Address of property securing mortgage line 4",
    "$Box 8 - Address of property securing mortgage line 5",
    "wBox 9 - Number of properties securing the mortgage",
    "$Box 10 - Other line 1",
    "$Box 10 - Other line 2",
};

constexpr FieldRun k1098Runs[] = {k1098Fields, kClosingBlock};

constexpr std::string_view k1098CFields[] = {
    "$Name line 1",
    "$Name line 2",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Foreign city, province, postal code",
    "TTIN Type",
    "NTaxpayer id",
    "$Name control",
    "DDate of contribution",
    "$Odometer mileage",
    "$Year",
    "$Make",
    "$Model",
    "$Vehicle ID number",
    "IBox 4a - Transaction indicator",
    "dBox 4b - Date of sale",
    "cBox 4c - Gross proceeds",
    "IBox 5a - Transfer after improvements indicator",
    "IBox 5b - Transfer below FMV indicator",
    "$Box 5c - Description of improvements",
    "IBox 6a - Goods or services indicator",
    "cBox 6b - Value of goods and services",
    "IBox 6c - Intangible religious benefits indicator",
    "$Box 6c - Description of goods and services",
    "IBox 7 - Deduction $500 or less indicator",
    "IDo not print indicator",
    "$Client ID",
};

constexpr FieldRun k1098CRuns[] = {k1098CFields};

constexpr std::string_view k1098EFields[] = {
    "cBox 1 - Student loan interest received",
    "IBox 2 - Loan origination fees indicator",
};

constexpr FieldRun k1098ERuns[] = {kRecipientBlock, k1098EFields, kClosingBlock};

constexpr std::string_view k1098TFields[] = {
    "$Name line 1",
    "$Name line 2",
    "$Street address line 1",
    "$Street address line 2",
    "$City",
    "$State",
    "$Zip code",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Foreign city, province, postal code",
    "TTIN Type",
    "NTaxpayer id",
    "IStudent TIN Indicator",
    "$Name control",
    "$Service Provider (Account)",
    "cBox 1 - Payments received",
    "IBox 3 - Reporting method indicator",
    "cBox 4 - Prior year adjustments",
    "cBox 5 - Scholarships or grants",
    "cBox 6 - Adjustments to scholarships or grants",
    "IBox 7 - Academic period indicator",
    "IBox 8 - Half-time student indicator",
    "IBox 9 - Graduate student indicator",
    "cBox 10 - Reimbursements/Refunds",
};

constexpr FieldRun k1098TRuns[] = {k1098TFields, kClosingBlock};

constexpr std::string_view k1099AFields[] = {
    "DDate of lender's acquisition",
    "IBox 5 - Liability indicator",
    "$Description of property line 1",
    "$Description of property line 2",
    "cBalance of principal outstanding",
    "cFMV of property",
};

constexpr FieldRun k1099ARuns[] = {kRecipientBlock, k1099AFields, kClosingBlock};

constexpr std::string_view k1099BFields[] = {
    "$CFSP Reporting State",
    "I2nd TIN indicator",
    "$CUSIP number",
    "IFATCA filing requirement indicator",
    "$Form 8949 checkbox",
    "$Description of property",
    "dDate acquired",
    "dDate sold or disposed",
    "CProceeds",
    "cCost or other basis",
    "cAccrued market discount",
    "cWash sale loss disallowed",
    "IShort-term indicator",
    "ILong-term indicator",
    "IOrdinary indicator",
    "IBasis reported to IRS indicator",
    "cFederal income tax withheld",
    "INoncovered security indicator",
    "IGross proceeds indicator",
    "INet proceeds indicator",
    "ILoss not allowed indicator",
    "CP/L realized in 2018",
    "CUnrealized P/L - 12/31/2017",
    "CUnrealized P/L - 12/31/2018",
    "CAggregate P/L",
    "ICollectibles indicator",
    "cBartering",
    "$State 1",
    "cState 1 tax withheld",
    "$State 2",
    "cState 2 tax withheld",
};

constexpr FieldRun k1099BRuns[] = {kRecipientBlock, k1099BFields, kClosingBlock};

constexpr std::string_view k1099CFields[] = {
    "DEvent Date",
    "cAmount of debt discharged",
    "cInterest",
    "$Description line 1",
    "$Description line 2",
    "$Description line 3",
    "IPersonally liable indicator",
    "EEvent Code",
    "cFMV of property",
};

constexpr FieldRun k1099CRuns[] = {kRecipientBlock, k1099CFields, kClosingBlock};

constexpr std::string_view k1099CapFields[] = {
    "DDate of sale or exchange",
    "cAggregate amount received",
    "wNumber of shares exchanged",
    "$Classes of stock exchanged",
};

constexpr FieldRun k1099CapRuns[] = {kRecipientBlock, k1099CapFields, kClosingBlock};

constexpr std::string_view k1099DivFields[] = {
    "$CFSP Reporting State",
    "I2nd TIN indicator",
    "IFATCA filing requirement indicator",
    "cTotal ordinary dividends",
    "cQualified dividends",
    "cTotal capital gain distributions",
    "cUnrecaptured Section 1250 gain",
    "cSection 1202 gain",
    "cCollectibles (28%) gain",
    "cNondividend distributions",
    "cFederal income tax withheld",
    "cSection 199A dividends",
    "cInvestment expenses",
    "cForeign tax paid",
    "$Foreign country or US possession",
    "cCash liquidation distributions",
    "cNoncash liquidation distributions",
    "cExempt-interest dividends",
    "cSpecified private activity bond interest dividends",
    "$State 1",
    "cState 1 tax withheld",
    "$State 2",
    "cState 2 tax withheld",
};

constexpr FieldRun k1099DivRuns[] = {kRecipientBlock, k1099DivFields, kClosingBlock};

constexpr std::string_view k1099GFields[] = {
    "$CFSP Reporting State",
    "cUnemployment compensation",
    "cState or local income tax refunds or credits",
    "$Tax year for which refunds or credits were issued",
    "cFederal income tax withheld",
    "cRTAA payments",
    "cTaxable grants",
    "cAgriculture payments",
    "ITrade or business income indicator",
    "cMarket gain",
    "$State 1",
    "cState 1 tax withheld",
    "$State 2",
    "cState 2 tax withheld",
};

constexpr FieldRun k1099GRuns[] = {kRecipientBlock, k1099GFields, kClosingBlock};

constexpr std::string_view k1099IntFields[] = {
    "$CFSP Reporting State",
    "I2nd TIN indicator",
    "IFATCA filing requirement indicator",
    "cInterest income",
    "cEarly withdrawal penalty",
    "cInterest on US Savings Bonds and Treasury obligations",
    "cFederal income tax withheld",
    "cInvestment expenses",
    "cForeign tax paid",
    "$Foreign country or US possession",
    "cTax-exempt interest",
    "cSpecified private activity bond interest",
    "cMarket discount",
    "cBond premium",
    "cBond premium on Treasury obligations",
    "cBond premium on tax-exempt bond",
    "$Tax-exempt bond CUSIP number",
    "$State 1",
    "cState 1 tax withheld",
    "$State 2",
    "cState 2 tax withheld",
};

constexpr FieldRun k1099IntRuns[] = {kRecipientBlock, k1099IntFields, kClosingBlock};

constexpr std::string_view k1099KFields[] = {
    "$CFSP Reporting State",
    "I2nd TIN indicator",
    "$PSE name",
    "$PSE phone (XXX-XXX-XXXX)",
    "IPayment card transactions indicator",
    "IThird party network transactions indicator",
    "$Merchant category code",
    "wNumber of payment transactions",
    "cGross amount",
    "cCard not present transactions",
    "cJAN payments",
    "cFEB payments",
    "cMAR payments",
    "cAPR payments",
    "cMAY payments",
    "cJUN payments",
    "cJUL payments",
    "cAUG payments",
    "cSEP payments",
    "cOCT payments",
    "cNOV payments",
    "cDEC payments",
    "cFederal income tax withheld",
    "$State 1",
    "cState 1 tax withheld",
    "$State 2",
    "cState 2 tax withheld",
};

constexpr FieldRun k1099KRuns[] = {kRecipientBlock, k1099KFields, kClosingBlock};

constexpr std::string_view k1099LtcFields[] = {
    "$Policyholder's name line 1",
    "$Policyholder's name line 2",
    "$Policyholder's street address line 1",
    "$Policyholder's street address line 2",
    "$Policyholder's city",
    "$Policyholder's state",
    "$Policyholder's Zip code",
    "uUSPS Delivery Point",
    "IForeign address indicator",
    "$Policyholder's foreign city, province, postal code, etc.",
    "TPolicyholder's TIN Type",
    "NPolicyholder's taxpayer ID",
    "$Name control",
    "$Account number",
    "cGross long-term care benefits",
    "cAccelerated death benefits",
    "$Type of payment (1=Per diem, 2=Reimbursed)",
    "IQualified contract indicator",
    "nInsured's taxpayer ID",
    "$Insured's name line 1",
    "$Insured's name line 2",
    "$Insured's street address line 1",
    "$Insured's street address line 2",
    "$Insured's city",
    "$Insured's state",
    "$Insured's Zip code",
    "$Insured's foreign city, province, postal code, etc.",
    "$Illness indicator (1=Chronic, 2=Terminal)",
    "dDate certified",
};

constexpr FieldRun k1099LtcRuns[] = {k1099LtcFields, kClosingBlock};

constexpr std::string_view k1099MiscFields[] = {
    "$CFSP Reporting State",
    "IDirect sales indicator",
    "I2nd TIN indicator",
    "IFATCA filing requirement indicator",
    "cRents",
    "cRoyalties",
    "cOther income",
    "cFederal income tax withheld",
    "cFishing boat proceeds",
    "cMedical and health care",
    "cNonemployee compensation",
    "cSubstitute payments",
    "cCrop insurance proceeds",
    "cExcessive golden parachute payments",
    "cGross proceeds paid to an attorney",
    "cSection 409A deferrals",
    "cSection 409A income",
    "$State 1",
    "cState 1 income",
    "cState 1 tax withheld",
    "$State 2",
    "cState 2 income",
    "cState 2 tax withheld",
};

constexpr FieldRun k1099MiscRuns[] = {kRecipientBlock, k1099MiscFields, kClosingBlock};

constexpr std::string_view k1099OidFields[] = {
    "$CFSP Reporting State",
    "$Description line 1",
    "$Description line 2",
    "I2nd TIN indicator",
    "IFATCA filing requirement indicator",
    "cOID for 2018",
    "cOther periodic interest",
    "cEarly withdrawal penalty",
    "cFederal income tax withheld",
    "cMarket discount",
    "cAcquisition premium",
    "COID on US Treasury obligations",
    "cInvestment expenses",
    "cBond premium",
    "cTax-exempt OID",
    "$State 1",
    "cState 1 tax withheld",
    "$State 2",
    "cState 2 tax withheld",
};

constexpr FieldRun k1099OidRuns[] = {kRecipientBlock, k1099OidFields, kClosingBlock};

constexpr std::string_view k1099PatrFields[] = {
    "$CFSP Reporting State",
    "I2nd TIN indicator",
    "cPatronage dividends",
    "cNonpatronage distributions",
    "cPer-unit retain allocations",
    "cFederal income tax withheld",
    "cRedemption of nonqualified notices and retain allocations",
    "cDomestic production activities deduction",
    "cInvestment credit",
    "cWork opportunity credit",
    "cPatron's AMT adjustment",
    "cBox 10 amount",
    "$Box 10 type",
};

constexpr FieldRun k1099PatrRuns[] = {kRecipientBlock, k1099PatrFields, kClosingBlock};

constexpr std::string_view k1099QFields[] = {
    "cBox 1 - Gross distribution",
    "CBox 2 - Earnings",
    "cBox 3 - Basis",
    "IBox 4 - Trustee-to-trustee transfer indicator",
    "IBox 5 - Private indicator",
    "IBox 5 - State indicator",
    "IBox 5 - Coverdell ESA indicator",
    "IBox 6 - Recipient is NOT the designated beneficiary indicator",
    "cFMV of the Coverdell ESA as of 12/31/2018",
    "$Distribution code",
};

constexpr FieldRun k1099QRuns[] = {kRecipientBlock, k1099QFields, kClosingBlock};

constexpr std::string_view k1099RFields[] = {
    "dDate of payment",
    "$CFSP Reporting State",
    "IIRA/SEP/SIMPLE indicator",
    "$Distribution code",
    "ITaxable amount not determined indicator",
    "ITotal distribution indicator",
    "cGross distribution",
    "cTaxable amount",
    "cCapital gain",
    "cFederal income tax withheld",
    "cEmployee contributions",
    "cNet unrealized appreciation",
    "cOther amount",
    "#Other %",
    "#Your percentage of total distribution",
    "cTotal employee contributions",
    "cAmount allocable to IRR within 5 years",
    "yFirst year of designated Roth contribution",
    "IFATCA filing requirement indicator",
    "$State 1",
    "cState 1 tax withheld",
    "cState 1 distribution",
    "cLocality 1 tax withheld",
    "cLocality 1 distribution",
    "$Name of locality 1",
    "$State 2",
    "cState 2 tax withheld",
    "cState 2 distribution",
    "cLocality 2 tax withheld",
    "cLocality 2 distribution",
    "$Name of locality 2",
};

constexpr FieldRun k1099RRuns[] = {kRecipientBlock, k1099RFields, kClosingBlock};

constexpr std::string_view k1099SFields[] = {
    "DClosing date",
    "IProperty or services indicator",
    "$Description of property line 1",
    "$Description of property line 2",
    "$Description of property line 3",
    "$Description of property line 4",
    "cGross proceeds",
    "IForeign transferor indicator",
    "cBuyer's part of real estate tax",
};

constexpr FieldRun k1099SRuns[] = {kRecipientBlock, k1099SFields, kClosingBlock};

constexpr std::string_view k1099SaFields[] = {
    "cGross distribution",
    "cEarnings on excess contributions",
    "$Distribution code",
    "cFMV on date of death",
    "IBox 5 - HSA indicator",
    "IBox 5 - Archer MSA indicator",
    "IBox 5 - MA MSA indicator",
};

constexpr FieldRun k1099SaRuns[] = {kRecipientBlock, k1099SaFields, kClosingBlock};

}  // namespace

// Indexed by form index minus 9.
const std::span<const FieldRun> k1098And1099Forms[20] = {
    k1098Runs,  // 9 "1098"
    k1098CRuns,  // 10 "1098-C"
    k1098ERuns,  // 11 "1098-E"
    k1098TRuns,  // 12 "1098-T"
    k1099ARuns,  // 13 "1099-A"
    k1099BRuns,  // 14 "1099-B"
    k1099CRuns,  // 15 "1099-C"
    k1099CapRuns,  // 16 "1099-CAP"
    k1099DivRuns,  // 17 "1099-DIV"
    k1099GRuns,  // 18 "1099-G"
    k1099IntRuns,  // 19 "1099-INT"
    k1099KRuns,  // 20 "1099-K"
    k1099LtcRuns,  // 21 "1099-LTC"
    k1099MiscRuns,  // 22 "1099-MISC"
    k1099OidRuns,  // 23 "1099-OID"
    k1099PatrRuns,  // 24 "1099-PATR"
    k1099QRuns,  // 25 "1099-Q"
    k1099RRuns,  // 26 "1099-R"
    k1099SRuns,  // 27 "1099-S"
    k1099SaRuns,  // 28 "1099-SA"
};

// clang-format on

}  // namespace bq
