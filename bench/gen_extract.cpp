// Writes large, plausible data extracts for timing the merge: W-2C records
// with every field supplied, or 1099-MISC records with a sparse selection.
// Every value keeps to a form its field's type code accepts, so a timed run
// takes the full path through verification rather than stopping at the
// first rejection. The same form, record count and seed always give the
// same bytes, so timings taken on different days compare like for like.
//
// Usage: gen_extract --form w2c|misc --records N --seed S -o FILE
//        gen_extract --version

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Raise whenever the bytes written for given arguments change: the
// benchmark script keys its cached extracts on it.
constexpr int kGeneratorVersion = 1;

// splitmix64: one add and three multiply-xorshift steps a number, which keeps
// the generator's cost well below that of the formatting it feeds.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Multiply-shift instead of '%': no division, and no 128-bit type that
    // would tie the file to one compiler.
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32); }
    bool Percent(std::uint32_t p) { return Below(100) < p; }
    template <std::size_t N>
    std::string_view Pick(const std::string_view (&list)[N]) {
        return list[Below(static_cast<std::uint32_t>(N))];
    }

  private:
    std::uint64_t state_;
};

// One value under construction. Values are short, so a fixed array avoids
// any allocation in the per-value loop.
struct Value {
    char text[256];
    std::size_t size = 0;

    void Clear() { size = 0; }
    bool Empty() const { return size == 0; }
    void Add(char c) {
        if (size < sizeof text) text[size++] = c;
    }
    void Add(std::string_view s) {
        const std::size_t n = std::min(s.size(), sizeof text - size);
        std::memcpy(text + size, s.data(), n);
        size += n;
    }
    void Digits(Random& rng, int count) {
        for (int i = 0; i < count; ++i) Add(static_cast<char>('0' + rng.Below(10)));
    }
    // `value` as exactly `width` digits, leading zeros kept.
    void Fixed(std::uint64_t value, int width) {
        char digits[20];
        for (int i = width - 1; i >= 0; --i) {
            digits[i] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        Add(std::string_view(digits, static_cast<std::size_t>(width)));
    }
    void Number(std::uint64_t value, bool groupThousands) {
        char digits[32];
        int n = 0;
        int inGroup = 0;
        do {
            if (groupThousands && inGroup == 3) {
                digits[n++] = ',';
                inGroup = 0;
            }
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
            ++inGroup;
        } while (value != 0);
        while (n > 0) Add(digits[--n]);
    }
    std::string_view View() const { return {text, size}; }
};

// Writes in blocks of several megabytes: the generator must outrun the
// merge it feeds by a wide margin, and small writes would dominate its time.
class Output {
  public:
    explicit Output(std::FILE* file) : file_(file), buffer_(kBlock + kMaxLine) {}
    void Line(std::string_view s) {
        char* at = buffer_.data() + used_;
        std::memcpy(at, s.data(), s.size());
        at[s.size()] = '\r';
        at[s.size() + 1] = '\n';
        used_ += s.size() + 2;
        if (used_ >= kBlock) Flush();
    }
    bool Flush() {
        if (used_ != 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_) failed_ = true;
        used_ = 0;
        return !failed_;
    }
    bool Failed() const { return failed_; }

  private:
    static constexpr std::size_t kBlock = std::size_t{8} << 20;
    static constexpr std::size_t kMaxLine = 4096;  // more than any one line
    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

// What a field holds beyond what its type code says, so that names look like
// names and a state's amounts sit next to a state; ByCode fields are
// generated from the type code alone.
enum class Kind : std::uint8_t {
    ByCode,
    Ssn,  // a TIN field that only ever holds an SSN
    FirstName,
    Initial,
    LastName,
    Suffix,
    NameLine,
    Street,
    Street2,
    City,
    State,
    Zip,
    ZipExt,
    Foreign,
    Country,
    Box12Code,
    Box14,
    StateId,
    Local,
    NameControl,
    Account,
    CfspState,
    Email,
    ClientId,
};

struct Field {
    char code;
    Kind kind;
    // Share of records leaving the field empty, in percent. Negative: empty
    // exactly when the value before it in the record is, as for the amount
    // that belongs to a Box 12 code or a state.
    int emptyPercent;
};

constexpr int kLinked = -1;

// The codes follow the forms' field lists as the merge knows them. Should
// the two drift apart, records get rejected, `bqdm merge` fails and the
// benchmark stops rather than timing the rejection path.
struct Shape {
    std::string_view formName;
    std::vector<Field> fields;
    std::string flags;  // '1' for each supplied field
};

// Previous-year and corrected halves of a W-2C use the same 39 fields.
void AddW2cAmounts(std::vector<Field>& f, bool corrected) {
    const int box12[] = {40, 60, 80, 90};
    f.push_back({'I', Kind::ByCode, 60});  // statutory employee
    f.push_back({'I', Kind::ByCode, 40});  // retirement plan
    f.push_back({'I', Kind::ByCode, 85});  // 3rd-party sick pay
    const int amounts[] = {3, 5, 3, 3, 3, 3, 85, 90, 95, 80, 90};
    for (int e : amounts) f.push_back({'c', Kind::ByCode, corrected ? e : e + 2});
    for (int e : box12) {
        f.push_back({'$', Kind::Box12Code, e});
        f.push_back({'c', Kind::ByCode, kLinked});
    }
    f.push_back({'$', Kind::Box14, 70});
    f.push_back({'$', Kind::Box14, 85});
    f.push_back({'$', Kind::Box14, 95});
    for (int second = 0; second < 2; ++second) {
        f.push_back({'$', Kind::State, second ? 75 : 8});
        f.push_back({'$', Kind::StateId, kLinked});
        f.push_back({'c', Kind::ByCode, kLinked});
        f.push_back({'c', Kind::ByCode, kLinked});
        f.push_back({'$', Kind::Local, second ? 95 : 70});
        f.push_back({'c', Kind::ByCode, kLinked});
        f.push_back({'c', Kind::ByCode, kLinked});
    }
}

Shape W2cShape() {
    Shape s{"W-2C", {}, {}};
    auto& f = s.fields;
    f = {
        {'Y', Kind::ByCode, 0},    {'$', Kind::FirstName, 0}, {'$', Kind::FirstName, 92},
        {'$', Kind::Initial, 35},  {'$', Kind::Initial, 96},  {'$', Kind::LastName, 0},
        {'$', Kind::LastName, 90}, {'$', Kind::Suffix, 92},   {'$', Kind::Street, 0},
        {'$', Kind::Street2, 80},  {'$', Kind::City, 0},      {'$', Kind::State, 0},
        {'$', Kind::Zip, 0},       {'$', Kind::ZipExt, 60},   {'I', Kind::ByCode, 85},
        {'$', Kind::Foreign, 97},  {'$', Kind::Foreign, 97},  {'$', Kind::Country, 97},
        {'n', Kind::ByCode, 0},    {'N', Kind::Ssn, 85},
    };
    AddW2cAmounts(f, false);
    AddW2cAmounts(f, true);
    s.flags.assign(f.size(), '1');
    return s;
}

Shape MiscShape() {
    Shape s{"1099-MISC", {}, {}};
    auto& f = s.fields;
    f = {
        // Recipient name, address and TIN.
        {'$', Kind::NameLine, 0},
        {'$', Kind::NameLine, 85},
        {'$', Kind::Street, 0},
        {'$', Kind::Street2, 85},
        {'$', Kind::City, 0},
        {'$', Kind::State, 0},
        {'$', Kind::Zip, 0},
        {'u', Kind::ByCode, 80},
        {'I', Kind::ByCode, 92},
        {'$', Kind::Foreign, 97},
        {'T', Kind::ByCode, 10},
        {'N', Kind::ByCode, 0},
        {'$', Kind::NameControl, 50},
        {'$', Kind::Account, 50},
        // The form's own boxes.
        {'$', Kind::CfspState, 70},
        {'I', Kind::ByCode, 70},
        {'I', Kind::ByCode, 80},
        {'I', Kind::ByCode, 90},
    };
    const int boxes[] = {70, 85, 60, 70, 45, 90, 20, 95, 97, 98, 95, 97, 98};
    for (int e : boxes) f.push_back({'c', Kind::ByCode, e});
    for (int second = 0; second < 2; ++second) {
        f.push_back({'$', Kind::State, second ? 90 : 50});
        f.push_back({'c', Kind::ByCode, kLinked});
        f.push_back({'c', Kind::ByCode, kLinked});
    }
    f.push_back({'I', Kind::ByCode, 90});
    f.push_back({'$', Kind::Email, 70});
    f.push_back({'$', Kind::ClientId, 50});
    // A typical sparse selection: the address, the TIN, the flags and one box.
    s.flags.assign(f.size(), '0');
    for (int i : {0, 2, 4, 5, 6, 10, 11, 14, 15, 16, 17, 22}) s.flags[static_cast<std::size_t>(i)] = '1';
    return s;
}

constexpr std::string_view kFirstNames[] = {
    "James", "Mary",   "Robert",  "Patricia", "John",    "Jennifer", "Michael", "Linda",   "David",
    "Maria", "Jose",   "Susan",   "Thomas",   "Karen",   "Daniel",   "Nancy",   "Matthew", "Lisa",
    "Wei",   "Aisha",  "Juan",    "Olga",     "Pradeep", "Kimberly", "Anthony", "Betty",   "Mark",
    "Emily", "Steven", "Rebecca", "Kevin",    "Laura",   "Brian",    "Sharon",  "George",  "Cynthia",
};
constexpr std::string_view kLastNames[] = {
    "Smith",        "Johnson",    "Williams",  "Brown",     "Jones",    "Garcia",  "Miller",   "Davis",
    "Rodriguez",    "Martinez",   "Hernandez", "Lopez",     "Gonzalez", "Wilson",  "Anderson", "Thomas",
    "Taylor",       "Moore",      "Jackson",   "Martin",    "Lee",      "Nguyen",  "Thompson", "White",
    "Harris",       "Clark",      "Ramirez",   "Lewis",     "Robinson", "Walker",  "Young",    "Allen",
    "Van Der Berg", "De La Cruz", "OBrien",    "MacDonald", "Kowalski", "Schmidt", "Patel",    "Okafor",
};
constexpr std::string_view kSuffixes[] = {"Jr", "Sr", "II", "III", "IV"};
constexpr std::string_view kStreetNames[] = {
    "Main",
    "Oak",
    "Pine",
    "Maple",
    "Cedar",
    "Elm",
    "Washington",
    "Lake",
    "Hill",
    "Park",
    "View",
    "Sunset",
    "Church",
    "Mill",
    "River",
    "Highland",
    "North",
    "Chestnut",
    "Walnut",
    "Jefferson",
    "Forest",
    "Meadow",
    "Franklin",
    "Lincoln",
    "1st",
    "2nd",
    "3rd",
    "14th",
    "Old County",
    "Spring Valley",
    "Martin Luther King",
};
constexpr std::string_view kStreetTypes[] = {"St",  "Ave",  "Rd", "Blvd", "Ln",     "Dr",    "Ct",
                                             "Way", "Pkwy", "Pl", "Cir",  "Street", "Avenue"};
constexpr std::string_view kDirections[] = {"N", "S", "E", "W", "NE", "SW"};
constexpr std::string_view kUnits[] = {"Apt", "Suite", "Unit", "Ste", "Fl", "PO Box"};
constexpr std::string_view kCities[] = {
    "Springfield", "Riverside",  "Franklin",    "Greenville",  "Bristol",        "Clinton",    "Fairview",
    "Salem",       "Madison",    "Georgetown",  "Arlington",   "Ashland",        "Dover",      "Oxford",
    "Jackson",     "Burlington", "Manchester",  "Milton",      "Newport",        "Auburn",     "Dayton",
    "Los Angeles", "New York",   "San Antonio", "Kansas City", "Salt Lake City", "Saint Paul", "El Paso",
};
constexpr std::string_view kStates[] = {
    "AL", "AK", "AZ", "AR", "CA", "CO", "CT", "DE", "FL", "GA", "HI", "ID", "IL", "IN", "IA", "KS", "KY",
    "LA", "ME", "MD", "MA", "MI", "MN", "MS", "MO", "MT", "NE", "NV", "NH", "NJ", "NM", "NY", "NC", "ND",
    "OH", "OK", "OR", "PA", "RI", "SC", "SD", "TN", "TX", "UT", "VT", "VA", "WA", "WV", "WI", "WY", "DC",
};
constexpr std::string_view kForeign[] = {"Ontario", "M5V 2T6", "Quebec", "H2X 1Y4",  "Jalisco",
                                         "44100",   "Bavaria", "80331",  "SW1A 1AA", "New South Wales"};
constexpr std::string_view kCountries[] = {"CA", "MX", "GM", "UK", "AS", "JA", "FR", "IN"};
constexpr std::string_view kBox12Codes[] = {"D", "DD", "E", "W", "C", "AA", "P", "G", "BB", "S", "V", "Y"};
constexpr std::string_view kBox14[] = {"Union dues", "SDI",     "CASDI",  "NJ FLI",  "Uniform",
                                       "Health ins", "Tuition", "NY PFL", "Parking", "Educ assist"};
constexpr std::string_view kLocals[] = {"Philadelphia",   "City of Detroit", "NYC",       "Columbus",
                                        "School Dist 12", "Yonkers",         "Cleveland", "Toledo"};
constexpr std::string_view kBusinessWords[] = {"Consulting", "Landscaping", "Plumbing",  "Design",
                                               "Holdings",   "Partners",    "Services",  "Electric",
                                               "Roofing",    "Media",       "Analytics", "Bakery"};
constexpr std::string_view kBusinessTypes[] = {"LLC", "Inc", "Co", "LLP", "Corp", "Ltd"};
constexpr std::string_view kIndicators[] = {"Y", "YES", "T", "TRUE", "1", "N", "NO", "F", "FALSE", "0", "X"};

// Tax software exports one case convention per file, hand-keyed data any.
void AddCased(Value& v, std::string_view word, Random& rng) {
    const std::uint32_t style = rng.Below(100);
    for (std::size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (style < 55) {
            c = static_cast<char>(i == 0 ? (c >= 'a' && c <= 'z' ? c - 32 : c)
                                         : (c >= 'A' && c <= 'Z' ? c + 32 : c));
        } else if (style < 80) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        } else if (style < 97) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        } else if (rng.Below(2) != 0) {
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : (c >= 'A' && c <= 'Z' ? c + 32 : c));
        }
        v.Add(c);
    }
}

void AddUpper(Value& v, std::string_view word) {
    for (char c : word) v.Add(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
}

void AddPersonName(Value& v, Random& rng) {
    v.Add(rng.Pick(kFirstNames));
    if (rng.Percent(50)) {
        v.Add(' ');
        v.Add(static_cast<char>('A' + rng.Below(26)));
    }
    v.Add(' ');
    v.Add(rng.Pick(kLastNames));
}

void AddStreet(Value& v, Random& rng) {
    v.Number(1 + rng.Below(rng.Percent(70) ? 9999 : 99999), false);
    v.Add(' ');
    if (rng.Percent(15)) {
        v.Add(rng.Pick(kDirections));
        v.Add(' ');
    }
    v.Add(rng.Pick(kStreetNames));
    v.Add(' ');
    v.Add(rng.Pick(kStreetTypes));
}

constexpr std::string_view kQuotedWords[] = {"Rear", "Annex", "Bldg B", "The Loft", "Main"};

// About one text in twenty carries a comma or a double quote, the two
// characters that force the merge to quote a value in its output.
void MaybePunctuate(Value& v, Kind kind, Random& rng) {
    if (v.Empty() || !rng.Percent(6)) return;
    const bool name = kind == Kind::FirstName || kind == Kind::LastName || kind == Kind::NameLine;
    if (rng.Below(3) != 0) {
        // "Smith, Jr", "12 Main St, Apt 4", "Springfield, MO", "Acme Roofing, Inc"
        v.Add(", ");
        if (kind == Kind::Street) {
            v.Add(rng.Pick(kUnits));
            v.Add(' ');
            v.Number(1 + rng.Below(999), false);
        } else if (kind == Kind::City) {
            v.Add(rng.Pick(kStates));
        } else if (name) {
            v.Add(rng.Percent(50) ? rng.Pick(kSuffixes) : rng.Pick(kBusinessTypes));
        } else {
            v.Add(rng.Pick(kBusinessTypes));
        }
    } else if (name) {
        // A nickname: Robert "Bob" Smith
        const std::string_view text = v.View();
        const std::size_t cut = std::min(text.find(' '), text.size());
        Value out;
        out.Add(text.substr(0, cut));
        out.Add(" \"");
        out.Add(rng.Pick(kFirstNames));
        out.Add('"');
        out.Add(text.substr(cut));
        v = out;
    } else {
        v.Add(" \"");
        v.Add(rng.Pick(kQuotedWords));
        v.Add('"');
    }
}

void AddText(Value& v, Kind kind, Random& rng) {
    switch (kind) {
        case Kind::FirstName:
            AddCased(v, rng.Pick(kFirstNames), rng);
            break;
        case Kind::Initial:
            v.Add(static_cast<char>('A' + rng.Below(26)));
            break;
        case Kind::LastName:
            AddCased(v, rng.Pick(kLastNames), rng);
            break;
        case Kind::Suffix:
            v.Add(rng.Pick(kSuffixes));
            break;
        case Kind::NameLine:
            if (rng.Percent(70)) {
                AddPersonName(v, rng);
            } else {
                v.Add(rng.Pick(kLastNames));
                v.Add(' ');
                v.Add(rng.Pick(kBusinessWords));
                v.Add(' ');
                v.Add(rng.Pick(kBusinessTypes));
            }
            if (rng.Percent(30)) {
                Value upper;
                AddUpper(upper, v.View());
                v = upper;
            }
            break;
        case Kind::Street:
            AddStreet(v, rng);
            break;
        case Kind::Street2: {
            const std::string_view unit = rng.Pick(kUnits);
            v.Add(unit);
            v.Add(' ');
            if (unit == "Apt" && rng.Percent(30))
                v.Add(static_cast<char>('A' + rng.Below(8)));
            else
                v.Number(1 + rng.Below(unit == "PO Box" ? 9999 : 999), false);
            break;
        }
        case Kind::City:
            AddCased(v, rng.Pick(kCities), rng);
            break;
        case Kind::State:
            v.Add(rng.Pick(kStates));
            break;
        case Kind::Zip:
            v.Fixed(rng.Below(99000) + 1000, 5);
            if (rng.Percent(15)) v.Fixed(rng.Below(10000), 4);
            break;
        case Kind::ZipExt:
            v.Fixed(rng.Below(10000), 4);
            break;
        case Kind::Foreign:
            v.Add(rng.Pick(kForeign));
            break;
        case Kind::Country:
            v.Add(rng.Pick(kCountries));
            break;
        case Kind::Box12Code:
            v.Add(rng.Pick(kBox12Codes));
            break;
        case Kind::Box14:
            v.Add(rng.Pick(kBox14));
            if (rng.Percent(50)) {
                v.Add(' ');
                v.Number(rng.Below(5000), false);
            }
            break;
        case Kind::StateId:
            if (rng.Percent(40)) {
                v.Add(rng.Pick(kStates));
                v.Add(' ');
            }
            v.Digits(rng, 6 + static_cast<int>(rng.Below(5)));
            break;
        case Kind::Local:
            AddCased(v, rng.Pick(kLocals), rng);
            break;
        case Kind::NameControl:
            for (int i = 0; i < 4; ++i) v.Add(static_cast<char>('A' + rng.Below(26)));
            break;
        case Kind::Account:
        case Kind::ClientId:
            for (int i = 0, n = 5 + static_cast<int>(rng.Below(8)); i < n; ++i) {
                const std::uint32_t r = rng.Below(36);
                v.Add(static_cast<char>(r < 10 ? '0' + r : 'A' + (r - 10)));
            }
            break;
        case Kind::CfspState:
            v.Fixed(1 + rng.Below(60), 2);
            break;
        case Kind::Email:
            AddUpper(v, rng.Pick(kFirstNames));
            v.Add(' ');
            v.Number(rng.Below(1000), false);
            break;
        case Kind::ByCode:
        case Kind::Ssn:
            for (int i = 0, n = 3 + static_cast<int>(rng.Below(12)); i < n; ++i)
                v.Add(static_cast<char>('a' + rng.Below(26)));
            break;
    }
    if (kind == Kind::FirstName || kind == Kind::LastName || kind == Kind::NameLine || kind == Kind::Street ||
        kind == Kind::City || kind == Kind::Box14 || kind == Kind::Local)
        MaybePunctuate(v, kind, rng);
}

// Amounts spread over several orders of magnitude, written the ways payroll
// exports and spreadsheets write them.
void AddCurrency(Value& v, Random& rng) {
    const std::uint32_t form = rng.Below(100);
    if (form < 5) {
        v.Add('0');
        return;
    }
    std::uint64_t dollars = 1;
    for (std::uint32_t d = rng.Below(6); d > 0; --d) dollars *= 10;
    dollars += rng.Below(static_cast<std::uint32_t>(dollars * 9));
    if (form < 20) {  // whole dollars: "12"
        v.Number(dollars, false);
        return;
    }
    const bool dressed = form >= 80;  // "$1,234.56"
    if (dressed) v.Add('$');
    v.Number(dollars, dressed);
    v.Add('.');
    v.Fixed(rng.Below(100), 2);
}

// SSNs drawn from issued ranges: area 001-899 without 666, nonzero group
// and serial, so that any check of SSN plausibility passes too.
void AddSsn(Value& v, Random& rng, bool dashed) {
    std::uint32_t area = 1 + rng.Below(899);
    if (area == 666) area = 665;
    v.Fixed(area, 3);
    if (dashed) v.Add('-');
    v.Fixed(1 + rng.Below(99), 2);
    if (dashed) v.Add('-');
    v.Fixed(1 + rng.Below(9999), 4);
}

void AddEin(Value& v, Random& rng, bool dashed) {
    v.Fixed(10 + rng.Below(90), 2);
    if (dashed) v.Add('-');
    v.Fixed(rng.Below(10000000), 7);
}

struct RecordState {
    std::string_view tinType;  // the record's 'T' value, so that its TIN agrees
};

void AddValue(Value& v, const Field& field, RecordState& record, Random& rng) {
    switch (field.code) {
        case 'c':
            AddCurrency(v, rng);
            break;
        case 'I': {
            const std::string_view spelling = rng.Pick(kIndicators);
            AddCased(v, spelling, rng);
            break;
        }
        case 'n':
            AddSsn(v, rng, rng.Percent(35));
            break;
        case 'N': {
            const std::string_view t = record.tinType;
            const bool ein =
                field.kind != Kind::Ssn && (t == "1" || t == "EIN" || (t.empty() && rng.Percent(50)));
            if (ein)
                AddEin(v, rng, rng.Percent(50));
            else
                AddSsn(v, rng, rng.Percent(50));
            break;
        }
        case 'T': {
            constexpr std::string_view kTinTypes[] = {"1", "2", "EIN", "SSN"};
            record.tinType = rng.Pick(kTinTypes);
            v.Add(record.tinType);
            break;
        }
        case 'Y': {
            constexpr std::string_view kYears[] = {"18", "2018", "2018", "2018", "17", "2017"};
            v.Add(rng.Pick(kYears));
            break;
        }
        case 'u':
            v.Fixed(rng.Below(100), 2);
            break;
        default:
            AddText(v, field.kind, rng);
            break;
    }
}

void Generate(const Shape& shape, std::uint64_t records, std::uint64_t seed, Output& out) {
    std::vector<std::size_t> supplied;
    for (std::size_t i = 0; i < shape.flags.size(); ++i)
        if (shape.flags[i] == '1') supplied.push_back(i);

    std::string form = "FORM ";
    form += shape.formName;
    out.Line(form);
    char count[4];
    std::snprintf(count, sizeof count, "%03u", static_cast<unsigned>(shape.flags.size()));
    out.Line("KEY " + std::string(count) + shape.flags);
    out.Line("{BEGIN DATA}");

    Random rng(seed);
    Value v;
    for (std::uint64_t r = 0; r < records; ++r) {
        RecordState record{};
        bool previousEmpty = false;
        for (std::size_t i : supplied) {
            const Field& field = shape.fields[i];
            v.Clear();
            const bool empty = field.emptyPercent == kLinked
                                   ? previousEmpty
                                   : rng.Percent(static_cast<std::uint32_t>(field.emptyPercent));
            if (field.code == 'T' && empty) record.tinType = {};
            if (!empty) AddValue(v, field, record, rng);
            previousEmpty = v.Empty();
            out.Line(v.View());
        }
    }
    out.Line("{END DATA}");
}

// Accepts 250000, 250k or 2M: the benchmark sizes read best that way.
bool ParseCount(const char* text, std::uint64_t& value) {
    char* end = nullptr;
    const unsigned long long n = std::strtoull(text, &end, 10);
    if (end == text) return false;
    std::uint64_t scale = 1;
    if (*end == 'k' || *end == 'K') {
        scale = 1000;
        ++end;
    } else if (*end == 'm' || *end == 'M') {
        scale = 1000000;
        ++end;
    }
    if (*end != '\0') return false;
    value = static_cast<std::uint64_t>(n) * scale;
    return true;
}

int Usage() {
    std::fputs("usage: gen_extract --form w2c|misc --records N --seed S -o FILE\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string_view formArg;
    std::uint64_t records = 0;
    std::uint64_t seed = 1;
    const char* path = nullptr;
    bool haveRecords = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("gen_extract %d\n", kGeneratorVersion);
            return 0;
        }
        if (i + 1 >= argc) return Usage();
        const char* next = argv[++i];
        if (arg == "--form") {
            formArg = next;
        } else if (arg == "--records") {
            if (!ParseCount(next, records)) return Usage();
            haveRecords = true;
        } else if (arg == "--seed") {
            if (!ParseCount(next, seed)) return Usage();
        } else if (arg == "-o") {
            path = next;
        } else {
            return Usage();
        }
    }
    if (!haveRecords || path == nullptr || (formArg != "w2c" && formArg != "misc")) return Usage();

    const Shape shape = formArg == "w2c" ? W2cShape() : MiscShape();
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "gen_extract: cannot create %s\n", path);
        return 1;
    }
    Output out(file);
    Generate(shape, records, seed, out);
    const bool written = out.Flush();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        // A short extract would be timed as if whole; leave nothing behind.
        std::remove(path);
        std::fprintf(stderr, "gen_extract: cannot write %s\n", path);
        return 1;
    }
    return 0;
}
