#include "search/criteria.h"

#include <utility>

#include "database/file_layout.h"
#include "database/record_file.h"

namespace velmar {

using layout::DefinitionView;

int OrderCriteriaByFields(const LinkedDatabase& db, SearchCriteria& criteria, int count) {
    if (count < 0) count = 0;
    if (count > 3) count = 3;
    SearchCriteria ordered;
    int placed = 0;
    RecordFile file(db.DefinitionFilePath(), layout::kDefinitionSize);
    for (int64_t i = 1; i <= file.Count(); ++i) {
        db.YieldOnce();
        const unsigned char* bytes = file.Record(i);
        if (!bytes) continue;
        DefinitionView def{bytes};
        for (int k = 0; k < count && placed < count; ++k) {
            if (def.NameIs(criteria.names[k])) {
                ordered.names[placed] = criteria.names[k];
                ordered.values[placed] = criteria.values[k];
                ordered.codes[placed] = criteria.codes[k];
                ++placed;
            }
        }
    }
    for (int k = 0; k < count; ++k) {
        criteria.names[k] = std::move(ordered.names[k]);
        criteria.values[k] = std::move(ordered.values[k]);
        criteria.codes[k] = std::move(ordered.codes[k]);
    }
    return placed;
}

}  // namespace velmar
