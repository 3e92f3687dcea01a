#include "database/collected_text.h"

namespace velmar {

void CollectedText::AppendLong(char c) {
    if (length_ == kShort) text_.assign(short_, kShort);
    ++length_;
    if (located_) return;
    text_.push_back(c);
    if (text_.size() > kHeldBytes) {
        std::string().swap(text_);
        located_ = true;
    }
}

std::string_view CollectedText::LongText(RecordFile& file, std::string_view field, int64_t record, int64_t last,
                                         const YieldHook& yield) {
    if (!located_) return text_;
    text_.clear();
    for (int64_t p = from_; p <= last; ++p) {
        if (yield) yield();
        const unsigned char* bytes = file.Record(p);
        if (!bytes) continue;
        layout::CellView cell{bytes};
        if (cell.Record() == record && cell.NameIs(field)) text_.push_back(static_cast<char>(cell.Character()));
    }
    return text_;
}

}  // namespace velmar
