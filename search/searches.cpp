#include "search/searches.h"

#include <optional>

#include "search/compare_value.h"
#include "database/numeric_value.h"
#include "search/read_search_value.h"

namespace velmar {
namespace {

// floor(x * k / n) for 0 <= x <= n, 0 <= k <= 127 and n > 0, without overflow.
uint64_t MulDiv(uint64_t x, unsigned k, uint64_t n) {
    uint64_t quotient = 0, remainder = 0;  // x * (bits of k so far) = quotient * n + remainder
    for (int bit = 6; bit >= 0; --bit) {
        quotient *= 2;
        if (remainder >= n - remainder) {
            remainder = remainder - (n - remainder);
            quotient += 1;
        } else {
            remainder *= 2;
        }
        if (k >> bit & 1u) {
            if (remainder >= n - x) {
                remainder = remainder - (n - x);
                quotient += 1;
            } else {
                remainder += x;
            }
        }
    }
    return quotient;
}

// One criterion's test as the search applies it.
struct CriterionTest {
    FieldLookup lookup;
    std::string_view value;
    Operator op;
    bool numericInequality = false;  // the third test of "=,>,<>"
};

bool Passes(const CriterionTest& test, std::string_view fieldValue) {
    if (test.numericInequality) return NumericValue(fieldValue) != NumericValue(test.value);
    return Compare(fieldValue, test.op, test.value);
}

// The tests selected by the criteria's operator codes, or nothing when the
// combination names no entry of the table (an empty or unknown code).
std::optional<std::vector<CriterionTest>> PlanTests(const SearchCriteria& criteria, int count) {
    std::vector<CriterionTest> tests;
    for (int k = 0; k < count; ++k) {
        std::optional<Operator> op = OperatorOfCode(criteria.codes[k]);
        if (!op) return std::nullopt;
        tests.push_back({FieldLookup(criteria.names[k], criteria.values[k], criteria.codes[k]), criteria.values[k], *op});
    }
    if (count == 3 && criteria.codes[0] == "=" && criteria.codes[1] == ">" && criteria.codes[2] == "<>")
        tests[2].numericInequality = true;
    return tests;
}

// Reports progress over first..last, which all test alike: only where the
// percentage changes, and at `last`.
void ReportRun(const SearchProgress& progress, int64_t first, int64_t last, int64_t count) {
    if (!progress) return;
    int64_t r = first;
    while (true) {
        progress(r, count);
        if (r == last) return;
        // The first record whose percentage is above r's.
        uint64_t next = static_cast<uint64_t>(ProgressPercent(r, count)) + 1;
        uint64_t n = static_cast<uint64_t>(count);
        uint64_t boundary = (n / 100) * next + (next * (n % 100) + 99) / 100;  // ceil(next * n / 100)
        int64_t nextRecord = boundary > static_cast<uint64_t>(last) ? last : static_cast<int64_t>(boundary);
        r = nextRecord > r ? nextRecord : r + 1;
    }
}

int SearchRecords(const LinkedDatabase& db, SearchState& state, const SearchCriteria& criteria, int count,
                  const SearchProgress& progress) {
    ValueScanner scanner(db);
    state.scanPosition = 1;
    SearchResults& results = state.results;
    results.list.Clear();
    results.count = 0;
    const int64_t n = scanner.LastRecordNumber();
    std::optional<std::vector<CriterionTest>> tests = PlanTests(criteria, count);

    int64_t r = 1;
    while (r <= n) {
        if (!tests) {  // no record can pass, and nothing is looked up
            ReportRun(progress, r, n, n);
            break;
        }
        int64_t nextRecord = 0;
        if (!scanner.RecordReachable(state, r, &nextRecord)) {
            // Every record up to the next one that has cells sees only empty values.
            int64_t last = (nextRecord == 0 || nextRecord > n) ? n : nextRecord - 1;
            ReportRun(progress, r, last, n);
            bool pass = true;
            for (const CriterionTest& test : *tests)
                if (!(pass = Passes(test, {}))) break;
            if (pass) results.list.AppendRange(r, last);
            if (last == n) break;
            r = last + 1;
            continue;
        }
        if (progress) progress(r, n);
        bool pass = true;
        for (const CriterionTest& test : *tests) {
            std::string_view value = scanner.Lookup(state, test.lookup, r);
            if (!(pass = Passes(test, value))) break;
        }
        if (pass) results.list.Append(r);
        if (r == n) break;
        ++r;
    }
    results.count = results.list.Count();
    results.flag = results.count > 0 ? 1 : 0;
    return 1;
}

}  // namespace

int ProgressPercent(int64_t record, int64_t count) {
    if (count <= 0 || record <= 0) return 0;
    if (record >= count) return 100;
    return static_cast<int>(MulDiv(static_cast<uint64_t>(record), 100, static_cast<uint64_t>(count)));
}

std::string ProgressText(int64_t record, int64_t count) { return std::to_string(ProgressPercent(record, count)) + " %"; }

std::string ClosingMessage(const SearchResults& results) {
    if (results.count > 0) return std::to_string(results.count) + " Resultados ...";
    return "No hay Resultados ...";
}

int SearchOneField(const LinkedDatabase& db, SearchState& state, const SearchCriteria& criteria,
                   const SearchProgress& progress) {
    return SearchRecords(db, state, criteria, 1, progress);
}

int SearchTwoFields(const LinkedDatabase& db, SearchState& state, const SearchCriteria& criteria,
                    const SearchProgress& progress) {
    return SearchRecords(db, state, criteria, 2, progress);
}

int SearchThreeFields(const LinkedDatabase& db, SearchState& state, const SearchCriteria& criteria,
                      const SearchProgress& progress) {
    return SearchRecords(db, state, criteria, 3, progress);
}

bool RunSearch(const LinkedDatabase& db, SearchState& state, SearchCriteria& criteria, int count,
               const SearchProgress& progress, const std::function<void()>& ordered) {
    if (count < 1 || count > 3) return false;
    if (count > 1) OrderCriteriaByFields(db, criteria, count);
    if (ordered) ordered();
    switch (count) {
        case 1:
            SearchOneField(db, state, criteria, progress);
            break;
        case 2:
            SearchTwoFields(db, state, criteria, progress);
            break;
        default:
            SearchThreeFields(db, state, criteria, progress);
            break;
    }
    return true;
}

}  // namespace velmar
