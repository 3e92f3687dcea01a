// Writes the seed corpora of the fuzz targets: the databases, criteria and
// texts that the core tests use, valid and damaged, in each target's input
// format. Usage: make_fuzz_seeds CORPUS_FOLDER (it writes CORPUS_FOLDER/<target>/).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "fuzz/database_input.h"

namespace {

using namespace velmar;
using namespace velmar::fuzz;
namespace fs = std::filesystem;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

void Save(const fs::path& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One database under construction, in the fuzz input's terms.
struct Seed {
    DatabaseInput in;
    Seed& Field(const std::string& name, int16_t type = 0, int32_t searchFlag = 1, const std::string& options = "") {
        DefinitionSpec d;
        d.name = name;
        d.type = type;
        d.searchFlag = searchFlag;
        d.options = options;
        in.definitions.push_back(d);
        return *this;
    }
    Seed& Value(const std::string& field, int64_t record, const std::string& text) {
        for (std::size_t i = 0; i < text.size(); ++i)
            in.cells.push_back({field, static_cast<unsigned char>(text[i]), record, i + 1 == text.size() ? 1 : 0});
        return *this;
    }
    Seed& Raw(const std::string& field, int64_t record, char c, int32_t flag) {
        in.cells.push_back({field, static_cast<unsigned char>(c), record, flag});
        return *this;
    }
    Seed& Criteria(int count, std::vector<std::string> names, std::vector<std::string> values,
                   std::vector<std::string> codes, bool order = true) {
        in.criteriaCount = count;
        in.orderCriteria = order;
        for (std::size_t k = 0; k < names.size(); ++k) {
            in.criteria.names[k] = names[k];
            in.criteria.values[k] = values[k];
            in.criteria.codes[k] = codes[k];
        }
        return *this;
    }
    Seed& Lookup(const std::string& field, int64_t record, const std::string& value, const std::string& code) {
        in.lookups.push_back({field, record, value, code});
        return *this;
    }
};

Seed FivePeople() {
    Seed s;
    s.Field("Nombre").Field("Edad").Field("Ciudad");
    const char* rows[][3] = {{"Ana", "30", "Lugo"}, {"Luis", "7", "Vigo"}, {"Eva", "55", "Lugo"},
                             {"Ana", "41", "Soria"}, {"Ana", "abc", "def"}};
    for (int r = 0; r < 5; ++r)
        s.Value("Nombre", r + 1, rows[r][0]).Value("Edad", r + 1, rows[r][1]).Value("Ciudad", r + 1, rows[r][2]);
    return s;
}

void DatabaseSeeds(const fs::path& folder) {
    int n = 0;
    auto save = [&](const std::string& what, const Seed& s) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%02d-", n++);
        Save(folder, prefix + what, EncodeDatabaseInput(s.in));
    };

    save("one-criterion", FivePeople().Criteria(1, {"Edad"}, {"35"}, {">"}).Lookup("Nombre", 1, "Ana", "="));
    save("two-criteria", FivePeople().Criteria(2, {"Edad", "Nombre"}, {"35", "Ana"}, {">", "="}));
    save("irregular-entry", FivePeople().Criteria(3, {"Nombre", "Edad", "Ciudad"}, {"Ana", "-3", "x"}, {"=", ">", "<>"}));
    save("ordinary-entry", FivePeople().Criteria(3, {"Nombre", "Edad", "Ciudad"}, {"Ana", "12", "x"}, {"=", "<", "<>"}));
    save("dropped-criterion", FivePeople().Criteria(2, {"Nombre", "Falta"}, {"Ana", "1"}, {"=", "<>"}));
    save("unknown-code", FivePeople().Criteria(1, {"Nombre"}, {"Ana"}, {"=>"}));
    {
        Seed s = FivePeople().Criteria(2, {"Nombre", "Ciudad"}, {"Ana", "Lugo"}, {"*-", "$"});
        s.in.secondSearch = true;
        s.in.scanRecord = 3;
        save("second-search", s);
    }
    {
        Seed s;
        s.Field("A").Value("A", 1, "x").Value("A", 10, "y").Criteria(1, {"A"}, {"x"}, {"<>"}, false);
        save("records-without-cells", s);
    }
    {
        Seed s;
        s.Field("A").Value("A", 1, "x").Value("A", 2, "y").Value("A", 1000000000000000, "z");
        save("huge-record-number", s.Criteria(1, {"A"}, {"y"}, {"<>"}, false));
    }
    {
        Seed s;
        s.Field("A").Value("A", 1, "12").Value("A", kMax, "3");
        save("largest-record-number", s.Criteria(1, {"A"}, {"5"}, {"<"}, false));
    }
    {
        Seed s;
        s.Field("A").Value("A", 1, "x").Value("A", -1000000000000000, "y");
        save("negative-record-count", s.Criteria(1, {"A"}, {"q"}, {"<>"}, false));
    }
    {
        Seed s;
        s.Field("A").Value("A", 1, "x").Value("A", std::numeric_limits<int64_t>::min(), "y");
        save("smallest-record-count", s.Criteria(1, {"A"}, {"q"}, {"<>"}, false));
    }
    {
        Seed s;
        s.Field(std::string(31, 'L'), 9, 1, "A|B|C").Field("Nombre");
        s.in.definitions[0].optionsFillSlot = true;
        s.Value(std::string(31, 'L'), 1, "2").Value(std::string(35, 'N'), 1, "v").Value("Nombre", 1, "Ana");
        save("names-filling-slots", s.Criteria(1, {std::string(31, 'L')}, {"2"}, {"="}, false));
    }
    {
        Seed s;
        s.Field("Nombre").Raw("Nombre", 1, 'A', 0).Raw("Nombre", 1, 'B', 257).Raw("Nombre", 2, 'C', 0x01000000);
        s.Value("Nombre", 3, "Eva").Lookup("Nombre", 1, "A", "$").Lookup("Nombre", 3, "Ana", "=");
        save("missing-last-flags", s.Criteria(1, {"Nombre"}, {"A"}, {"*-"}, false));
    }
    {
        Seed s;
        s.Field("Nombre").Field("Edad");
        s.Value("Nombre", 3, "Ana").Value("Edad", 1, "7").Value("Nombre", 1, "Eva").Value("Edad", 2, "9");
        s.Value("Nombre", 2, "Luis");
        save("unordered-records", s.Criteria(2, {"Nombre", "Edad"}, {"Eva", "5"}, {"=", ">="}));
    }
    {
        Seed s = FivePeople().Criteria(1, {"Nombre"}, {"Ana"}, {"="}, false);
        s.in.cellTail = 44;
        s.in.definitionTail = 12041;
        save("partial-records-at-the-end", s);
    }
    {
        Seed s;
        s.Field("Edad").Value("Edad", 1, "5").Value("Edad", 2, "7").Value("Edad", 3, "57");
        s.Lookup("Edad", 1, "5", "=").Lookup("Edad", 2, "5", "=").Lookup("Edad", 3, "5", "*-").Lookup("Edad", 3, "5", "<>");
        save("early-stops", s.Criteria(1, {"Edad"}, {"5"}, {"="}, false));
    }
    {
        Seed s;
        s.Field("A").Field("B");
        s.Value("A", 1, "x").Value("B", 1, "y").Value("A", 2, "x").Value("B", 2, "z");
        // Criteria out of field order: the second lookup finds its cells behind the scan position.
        s.Lookup("B", 1, "x", "=").Lookup("A", 1, "x", "=").Lookup("A", 1, "x", "=").Lookup("B", 2, "A", "$");
        save("lookups-out-of-order", s.Criteria(2, {"B", "A"}, {"y", "x"}, {"=", "="}, false));
    }
    {
        Seed s;
        s.Field("A");
        for (int r = 1; r <= 190; r += 3) s.Value("A", r, std::to_string(r));
        s.Value("A", 301, "301");
        save("progress-over-300", s.Criteria(1, {"A"}, {"100"}, {">="}, false));
    }

    // Generated databases like the core tests': a few fields, gaps and damage.
    std::mt19937 rng(20261208);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* names[] = {"Nombre", "Edad", "Ciudad", "Nota"};
    const char* pieces[] = {"", "1", "2", "12", "Ana", "an", "A", "7x", "0", "-3", "Lugo", "9.5"};
    const char* codes[] = {"=", ">", "<", ">=", "<=", "<>", "-*", "*-", "$", ""};
    const char* values[] = {"1", "A", "Ana", "0", "12", "-3", "Lugo", "5"};
    for (int g = 0; g < 16; ++g) {
        Seed s;
        int fields = 1 + pick(4);
        for (int i = 0; i < fields; ++i) s.Field(names[i]);
        int records = 1 + pick(25);
        for (int r = 1; r <= records; ++r) {
            if (pick(8) == 0) continue;
            for (int i = 0; i < fields; ++i) {
                if (pick(6) == 0) continue;
                std::string v = std::string(pieces[pick(12)]) + pieces[pick(12)];
                s.Value(names[i], r, v.empty() ? "z" : v);
            }
        }
        for (int d = pick(4); d > 0 && !s.in.cells.empty(); --d) {
            CellSpec& cell = s.in.cells[static_cast<std::size_t>(pick(static_cast<int>(s.in.cells.size())))];
            switch (pick(4)) {
                case 0: cell.lastFlag = 1 - cell.lastFlag; break;
                case 1: cell.record = pick(30) - 2; break;
                case 2: cell.name = "Otro"; break;
                default: cell.character = static_cast<unsigned char>('0' + pick(10)); break;
            }
        }
        int count = 1 + pick(3);
        std::vector<std::string> cn, cv, cc;
        for (int k = 0; k < count; ++k) {
            cn.push_back(names[pick(fields)]);
            cv.push_back(values[pick(8)]);
            cc.push_back(codes[pick(10)]);
        }
        s.Criteria(count, cn, cv, cc, count > 1);
        s.in.secondSearch = pick(2) == 0;
        for (int l = 0; l < 6; ++l) s.Lookup(names[pick(fields)], pick(28) - 1, values[pick(8)], codes[pick(10)]);
        save("generated-" + std::to_string(g), s);
    }
}

// FuzzedDataProvider's random-length string: backslash-escaped, ended by a
// backslash and one more byte.
std::string RandomLengthString(const std::string& s) {
    std::string out;
    for (char c : s) {
        out.push_back(c);
        if (c == '\\') out.push_back('\\');
    }
    return out + "\\ ";
}

void NumericSeeds(const fs::path& folder) {
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"12,5", "12"},
        {"  7", "-3.5"},
        {"12abc", "abc"},
        {"1.5E3", "&H1F"},
        {"\t\r\n 4", "+8"},
        {".5", "5."},
        {"1.2.3", "2D2"},
        {"2e-1", "3E+"},
        {"&hff", "&B101"},
        {"&o17", "&Q17"},
        {"&17", "&8"},
        {"- 5", "&HG"},
        {"1E-99999", "00012"},
        {"&HFFFFFFFFFFFFFFFFFFFF", "1E99999"},
        {std::string(400, '9'), "-" + std::string(400, '9')},
        {"0." + std::string(500, '0') + "1", "&H" + std::string(300, 'F')},
        {"179769313486231570" + std::string(291, '0'), "4.9406564584124654E-324"},
        {"Juan", "Ju"},
        {"Juana", "an"},
        {"", ""},
    };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string bytes = RandomLengthString(texts[i].second) + texts[i].first;
        bytes.push_back(static_cast<char>(i % 9));  // one of the nine codes (read from the end)
        Save(folder, "text-" + std::to_string(i), std::vector<uint8_t>(bytes.begin(), bytes.end()));
    }
    std::string unknown = RandomLengthString("=>") + RandomLengthString("1") + "1";
    unknown.push_back(static_cast<char>(250));
    Save(folder, "unknown-code", std::vector<uint8_t>(unknown.begin(), unknown.end()));
}

void MergeSeeds(const fs::path& folder) {
    // Template bytes 0x01-0x08 stand for "#" and 0x09-0x10 for "##" and a pool name
    // (the database's field names first).
    auto save = [&](const std::string& what, uint8_t record, uint8_t second, uint8_t today, const std::string& text,
                    const Seed& s) {
        std::vector<uint8_t> bytes = {*RecordSelectorOf(record), *RecordSelectorOf(second), today,
                                      static_cast<uint8_t>(text.size() & 0xFF), static_cast<uint8_t>(text.size() >> 8)};
        bytes.insert(bytes.end(), text.begin(), text.end());
        std::vector<uint8_t> database = EncodeDatabaseInput(s.in);
        bytes.insert(bytes.end(), database.begin(), database.end());
        Save(folder, what, bytes);
    };
    Seed people;
    people.Field("Nombre").Field("Alta", 8).Field("Tipo", 9, 1, " A|B|C ").Field("Raro", 6);
    const char* names[] = {"Ana", "Luis", "C:\\temp\\{x}", "#Nombre##Nombre"};
    const char* dates[] = {"15/02/2021", "31/12/2025", "7/3/1985", "29/02/2024"};
    const char* items[] = {"2", "-1", "2.5", "&H1"};
    for (int r = 0; r < 4; ++r)
        people.Value("Nombre", r + 1, names[r]).Value("Alta", r + 1, dates[r]).Value("Tipo", r + 1, items[r]);
    const std::string text = "{\\rtf1 Sr. \x01, \x09\\par Alta: \x02 \x0A Tipo \x03 \x04}";
    save("letter", 1, 3, 0, text, people);
    save("letter-other-day", 2, 4, 1, text, people);
    save("own-placeholder-in-value", 4, 4, 0, "\x01 \x01 \x09", people);
    save("plain-names", 1, 2, 2, "#Nombre ##Nombre #Alta #Tipo #Raro #Nombre2", people);
    save("too-many-marks", 1, 1, 0, "########################", people);
    Seed prefixes;
    prefixes.Field("Nombre").Field("Nombre2").Value("Nombre", 1, "Ana").Value("Nombre2", 1, "Eva");
    save("prefix-names", 1, 200, 0, "#Nombre2 ##Nombre2 #Nombre", prefixes);
    Seed damaged = FivePeople();
    damaged.in.cells[3].lastFlag = 0;
    damaged.in.cells[7].record = 1000000000000000;
    save("damaged", 1, 5, 3, "#Nombre #Edad #Ciudad ##Ciudad", damaged);
}

void CsvSeeds(const fs::path& folder) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"header-forms",
         "Registro,Nombre:texto,Alta:fecha:0,Tipo:lista:1: A|B:c ,R\\:a\\\\z:3:-7\r\n"
         "1,Ana,15/02/2021,2,x\r\n3,,,,\r\n7,\"con, coma\",29/02/2024,1,\"dos\nl\xC3\xADneas \"\"\"\r\n"},
        {"spreadsheet", "Registro;Nombre:1;Ciudad:lista:1:Lugo|\xC1vila;Alta:fecha\r\n1;\xCD\xF1igo;2;05/01/2024\r\n"
                        "3;\"a;b\";;\r\n"},
        {"spreadsheet-export", "\xEF\xBB\xBFRegistro;Nombre:texto;Saldo:1\r\n1;\"x\"\"y\";542.15\r\n"},
        {"typed-cells", "Registro,Alta:fecha,Tipo:lista::A|B\r\n1,31/02/2024,3\r\n"},
        {"bom-and-accents", "\xEF\xBB\xBF" "Registro,Nombre,Ciudad\n1,\xC3\xB1" "and\xC3\xBA,\xE2\x82\xAC\n2,,Lugo\n"},
        {"empty-rows", "Registro,A\n\n1,x\n\n\n9223372036854775807,y\n"},
        {"bad-row", "Registro,A,B\n1,x\n"},
        {"bad-number", "Registro,A\n0,x\n"},
        {"unordered", "Registro,A\n2,x\n1,y\n"},
        {"open-quote", "Registro,A\r\n1,\"abc\r\n"},
        {"long-name", "Registro,Un nombre de campo demasiado largo\n"},
        {"no-cp1252", "Registro,Nombre:texto\n1,\xC3\xA1\xC4\x81\n"},
        {"lone-cr", "Registro,A\r1,x\r2,y"},
    };
    for (const auto& [name, text] : files) Save(folder, name, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    fs::path root = argv[1];
    DatabaseSeeds(root / "database_fuzzer");
    NumericSeeds(root / "numeric_fuzzer");
    MergeSeeds(root / "merge_fuzzer");
    CsvSeeds(root / "csv_fuzzer");
    return 0;
}
