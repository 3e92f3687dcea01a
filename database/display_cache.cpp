#include "database/display_cache.h"

#include <unordered_set>

#include "database/file_layout.h"

namespace velmar {

using layout::DefinitionView;

// Types from the kept definitions and values from the record's segments; the
// record's values are read once, at the first placeholder that needs one.
class DisplayCache::Source : public FieldValueSource {
public:
    Source(DisplayCache& cache, const LinkedDatabase& db, std::shared_ptr<const Definitions> definitions)
        : cache_(cache), db_(db), definitions_(std::move(definitions)) {}

    int16_t TypeOf(std::string_view field) override {
        // A name with a NUL byte never comes from the field list; let the
        // file scan answer it exactly.
        if (field.find('\0') != std::string_view::npos) return FieldTypeOf(db_, field);
        int16_t type = 0;
        for (const Definition& definition : definitions_->list) {
            if (definition.readable && definition.name == field) type = definition.type;
        }
        return type;
    }

    std::string Value(std::string_view field, int64_t record) override {
        if (field.find('\0') == std::string_view::npos) {
            if (!values_ || record != record_) {
                if (const ValueIndex* index = cache_.CurrentIndex(db_)) {
                    values_ = index->ValuesOf(record);
                    record_ = record;
                }
            }
            if (values_ && record == record_) {
                const std::string* value = values_->Find(field);
                return value ? *value : std::string(kNoData);
            }
        }
        return ReadFieldValue(db_, field, record);
    }

private:
    DisplayCache& cache_;
    const LinkedDatabase& db_;
    std::shared_ptr<const Definitions> definitions_;
    std::optional<RecordValues> values_;
    int64_t record_ = 0;
};

void DisplayCache::Clear() {
    definitions_.reset();
    index_.reset();
}

std::shared_ptr<const DisplayCache::Definitions> DisplayCache::CurrentDefinitions(const LinkedDatabase& db) {
    const std::string path = db.DefinitionFilePath();
    if (definitions_ && definitions_->path == path && definitions_->stamp.Current(path)) return definitions_;
    Definitions fresh;
    fresh.path = path;
    // What was read serves this display in any case; a file that changed
    // while it was read, or too recently to trust its stamp, is read again
    // next time.
    fresh.stamp = ReadStamped(path, clock_, [&](const FileStamp& before) {
                      RecordFile file(path, layout::kDefinitionSize);
                      const int64_t count = file.Count();
                      bool whole = before.size == file.ByteLength();
                      fresh.list.reserve(static_cast<std::size_t>(count));
                      for (int64_t i = 1; i <= count; ++i) {
                          Definition definition;
                          if (const unsigned char* bytes = file.Record(i)) {
                              DefinitionView view{bytes};
                              definition = {true, std::string(view.Name()), view.Type(), std::string(view.Options()),
                                            view.SearchFlag()};
                          } else {
                              whole = false;
                          }
                          fresh.list.push_back(std::move(definition));
                      }
                      return whole;
                  }).stamp;
    definitions_ = std::make_shared<const Definitions>(std::move(fresh));
    return definitions_;
}

int DisplayCache::LoadFieldList(LinkedDatabase& db) {
    std::shared_ptr<const Definitions> definitions = CurrentDefinitions(db);
    FieldList list;
    list.names.reserve(definitions->list.size());
    for (const Definition& definition : definitions->list) {
        list.names.push_back(definition.name);
        list.types.push_back(definition.type);
        list.options.push_back(definition.options);
        list.searchFlags.push_back(definition.searchFlag);
    }
    db.fields = std::move(list);
    return db.fields.Count();
}

const ValueIndex* DisplayCache::CurrentIndex(const LinkedDatabase& db) {
    const std::string path = db.ValueFilePath();
    if (index_ && index_->Path() == path && index_->IsCurrent()) return &*index_;
    index_.reset();
    index_ = ValueIndex::Build(path, db.yield, clock_);
    return index_ ? &*index_ : nullptr;
}

std::string DisplayCache::FormatRecord(LinkedDatabase& db, const DisplayTemplate& displayTemplate, int64_t record,
                                       CalendarDate today, UpperCasing upper) {
    LoadFieldList(db);
    // Like every database operation, the display lets the window in before it
    // reads a record, even when the index has the record's cells at hand.
    if (db.yield) db.yield();
    // The merge works on its own copy of the field list: the reads it makes
    // yield to the window, and a record shown from there replaces db.fields.
    const FieldList fields = db.fields;
    Source source(*this, db, definitions_);
    return FormatRecordText(displayTemplate, fields, record, source, today, upper);
}

std::vector<FieldDisplay> DisplayCache::DisplayFields(LinkedDatabase& db, int64_t record, CalendarDate today) {
    LoadFieldList(db);
    const FieldList fields = db.fields;
    Source source(*this, db, definitions_);
    std::vector<FieldDisplay> shown;
    std::unordered_set<std::string> seen;
    for (int i = 1; i <= fields.Count(); ++i) {
        const std::string& name = fields.Name(i);
        // A later definition of the same name finds its placeholders filled.
        if (!seen.insert(name).second) continue;
        const int16_t type = source.TypeOf(name);
        if (!HasDisplay(type)) continue;
        shown.push_back({name, DisplayText(type, source.Value(name, record), fields.Options(i), today).value_or("")});
    }
    return shown;
}

}  // namespace velmar
