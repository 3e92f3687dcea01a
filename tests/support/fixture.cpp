#include "tests/support/fixture.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>

#include "database/database_writer.h"
#include "database/file_layout.h"

namespace velmar::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::mt19937_64 random(static_cast<uint64_t>(stamp));
    path_ = fs::temp_directory_path() /
            ("velmar-test-" + std::to_string(random() % 1000000000) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

// Both encoders go through the database writer, the one place that knows how
// a cell and a definition are laid out for writing.
std::vector<unsigned char> EncodeCells(const std::vector<Cell>& cells) {
    std::string bytes;
    bytes.reserve(cells.size() * layout::kCellSize);
    for (const Cell& cell : cells) AppendCellBytes(bytes, cell.name, cell.record, cell.character, cell.lastFlag);
    return {bytes.begin(), bytes.end()};
}

std::vector<unsigned char> EncodeDefinitions(const std::vector<Definition>& definitions) {
    std::string bytes;
    bytes.reserve(definitions.size() * layout::kDefinitionSize);
    for (const Definition& def : definitions)
        AppendDefinitionBytes(bytes, {def.name, def.type, def.searchFlag, def.options});
    return {bytes.begin(), bytes.end()};
}

DatabaseFixture::DatabaseFixture(const std::string& name) : name_(name) {
    folder_ = temp_.Path() / name;
    fs::create_directories(folder_);
}

DatabaseFixture& DatabaseFixture::Value(const std::string& field, int64_t record, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        cells.push_back({field, record, static_cast<unsigned char>(text[i]), i + 1 == text.size() ? 1 : 0});
    return *this;
}

DatabaseFixture& DatabaseFixture::RawCell(const Cell& cell) {
    cells.push_back(cell);
    return *this;
}

DatabaseFixture& DatabaseFixture::Field(const std::string& name, int16_t type, int32_t searchFlag,
                                        const std::string& options) {
    definitions.push_back({name, type, searchFlag, options});
    return *this;
}

void DatabaseFixture::Write() const {
    WriteValueBytes(EncodeCells(cells));
    WriteDefinitionBytes(EncodeDefinitions(definitions));
}

void DatabaseFixture::WriteValueBytes(const std::vector<unsigned char>& bytes) const { WriteBytes(ValuePath(), bytes); }
void DatabaseFixture::WriteDefinitionBytes(const std::vector<unsigned char>& bytes) const {
    WriteBytes(DefinitionPath(), bytes);
}

std::string DatabaseFixture::Folder() const { return folder_.string() + kPathSeparator; }
std::string DatabaseFixture::ValuePath() const { return Folder() + name_ + ".zbd"; }
std::string DatabaseFixture::DefinitionPath() const { return Folder() + name_ + ".z04"; }

LinkedDatabase DatabaseFixture::Database() const {
    LinkedDatabase db;
    db.folder = Folder();
    return db;
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace velmar::test
