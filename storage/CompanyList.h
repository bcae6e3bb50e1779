#pragma once

#include "storage/StructuredStorage.h"

#include <string>
#include <vector>

namespace strikeline {

// A list of company codes kept in a child "CompanyList" of a settings record: children
// named "0", "1", ... in order, the child named N holding one string value, also named N,
// whose data is the N-th code.

// Reads up to the first missing, empty or blank entry; an absent list reads as empty.
std::vector<std::string> ReadCompanyList(CStructuredStorage& record);
// Replaces the stored list completely, so no entry of an older, longer list survives.
void WriteCompanyList(CStructuredStorage& record, const std::vector<std::string>& codes);

} // namespace strikeline
