#include "bench/generated_database.h"

#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace velmar::bench {
namespace {

const char* const kFields[] = {"Nombre", "Apellido", "Ciudad", "Edad", "Codigo", "Notas"};
const char* const kTowns[] = {"Lugo", "Vigo", "Soria", "Teruel", "Cuenca", "Huesca", "Zamora", "Avila"};

}  // namespace

void GenerateDatabase(const test::DatabaseFixture& fx, int records) {
    std::mt19937 rng(12345);
    std::ofstream out(fx.ValuePath(), std::ios::binary);
    std::vector<test::Cell> cells;
    auto word = [&](std::size_t length) {
        std::string w;
        for (std::size_t i = 0; i < length; ++i) w.push_back(static_cast<char>('a' + rng() % 26));
        return w;
    };
    for (int r = 1; r <= records; ++r) {
        cells.clear();
        std::string values[6] = {word(4 + rng() % 6), word(5 + rng() % 5),
                                 kTowns[rng() % 8],   std::to_string(18 + rng() % 70),
                                 word(6 + rng() % 4), word(6 + rng() % 5)};
        for (int f = 0; f < 6; ++f)
            for (std::size_t i = 0; i < values[f].size(); ++i)
                cells.push_back(
                    {kFields[f], r, static_cast<unsigned char>(values[f][i]), i + 1 == values[f].size() ? 1 : 0});
        std::vector<unsigned char> bytes = test::EncodeCells(cells);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<test::Definition> defs;
    for (const char* f : kFields) defs.push_back({f, 1, 1, ""});
    test::WriteBytes(fx.DefinitionPath(), test::EncodeDefinitions(defs));
}

}  // namespace velmar::bench
