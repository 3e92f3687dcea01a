// Record display over a cache of the linked folder's files. The field
// definitions and a ValueIndex of the value file are kept while each file
// keeps the stamp it had when read (file_stamp.h), so that showing one record
// after another costs a few small reads instead of a scan of the value file
// per placeholder. What it shows is what the plain file scans would show,
// also right after another program changed a file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/file_stamp.h"
#include "database/linked_database.h"
#include "database/record_display.h"
#include "database/record_file.h"
#include "database/value_index.h"

namespace velmar {

// One field of a record as the display shows it: its name and the text that
// "#" + name is filled with.
struct FieldDisplay {
    std::string name;
    std::string text;
};

class DisplayCache {
public:
    // `clock` tells when each read of a file began.
    explicit DisplayCache(FileClock clock = SystemFileTime) : clock_(std::move(clock)) {}

    // LoadFieldList: replaces db.fields with the field definition file's
    // contents and returns the field count.
    int LoadFieldList(LinkedDatabase& db);

    // The text that showing `record` puts into the editor, as FormatRecordText
    // gives it with the field list reloaded first (db.fields is replaced).
    std::string FormatRecord(LinkedDatabase& db, const DisplayTemplate& displayTemplate, int64_t record,
                             CalendarDate today, UpperCasing upper = Cp1252Upper);

    // Every field of `record` that has a display (text, date and list types),
    // in field list order, with the text its "#" placeholder is filled with; a
    // name defined more than once once, as its first definition fills it
    // (db.fields is replaced, as by FormatRecord).
    std::vector<FieldDisplay> DisplayFields(LinkedDatabase& db, int64_t record, CalendarDate today);

    // The index of the value file, built or rebuilt when the file is new or has
    // changed; nothing when it could not be built (the file changed meanwhile).
    const ValueIndex* CurrentIndex(const LinkedDatabase& db);

    // Forgets everything kept.
    void Clear();

private:
    struct Definition {
        bool readable = false;
        std::string name;
        int16_t type = 0;
        std::string options;
        int32_t searchFlag = 0;
    };
    struct Definitions {
        std::string path;
        CacheStamp stamp;
        std::vector<Definition> list;
    };

    // Shared, so that a merge keeps the definitions it started with even when
    // a window message handled during a long read shows another record.
    std::shared_ptr<const Definitions> CurrentDefinitions(const LinkedDatabase& db);
    class Source;

    FileClock clock_;
    std::shared_ptr<const Definitions> definitions_;
    std::optional<ValueIndex> index_;
};

}  // namespace velmar
