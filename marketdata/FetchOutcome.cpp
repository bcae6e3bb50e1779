#include "marketdata/FetchOutcome.h"

namespace strikeline {

std::string_view FetchResultName(FetchResult result) {
    switch (result) {
    case FetchResult::Fetched:
        return "fetched";
    case FetchResult::Unchanged:
        return "unchanged";
    case FetchResult::Failed:
        return "failed";
    }
    return "failed";
}

} // namespace strikeline
