// Builds database folders for tests and benchmarks, byte by byte, and damages
// them on purpose.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "database/linked_database.h"
#include "search/search_state.h"

namespace velmar::test {

// The record numbers a search found, in order.
inline std::vector<int64_t> Found(const ResultList& list) {
    std::vector<int64_t> found;
    list.ForEach([&](int64_t record) { found.push_back(record); });
    return found;
}
inline std::vector<int64_t> Found(const SearchState& state) { return Found(state.results.list); }

// A fresh folder under the system's temporary folder, removed on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    TempFolder(TempFolder&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

struct Cell {
    std::string name;
    int64_t record;
    unsigned char character;
    int32_t lastFlag;
};

struct Definition {
    std::string name;
    int16_t type = 0;
    int32_t searchFlag = 1;
    std::string options;
};

std::vector<unsigned char> EncodeCells(const std::vector<Cell>& cells);
std::vector<unsigned char> EncodeDefinitions(const std::vector<Definition>& definitions);

// A database folder named `name` inside a temporary folder.
class DatabaseFixture {
public:
    explicit DatabaseFixture(const std::string& name = "Clientes");

    // The cells of one field value: one per character, the last one flagged.
    DatabaseFixture& Value(const std::string& field, int64_t record, const std::string& text);
    DatabaseFixture& RawCell(const Cell& cell);
    DatabaseFixture& Field(const std::string& name, int16_t type = 0, int32_t searchFlag = 1,
                           const std::string& options = "");

    // Writes both files (replacing them).
    void Write() const;
    void WriteValueBytes(const std::vector<unsigned char>& bytes) const;
    void WriteDefinitionBytes(const std::vector<unsigned char>& bytes) const;

    std::string Folder() const;  // ends in the path separator
    std::string ValuePath() const;
    std::string DefinitionPath() const;
    LinkedDatabase Database() const;

    std::vector<Cell> cells;
    std::vector<Definition> definitions;

private:
    TempFolder temp_;
    std::filesystem::path folder_;
    std::string name_;
};

std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace velmar::test
