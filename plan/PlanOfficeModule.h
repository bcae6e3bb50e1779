#pragma once

#include "plan/PlanExport.h"

#include <string>

namespace strikeline {

// The office writers run in the module strikeline-office, the one part of the program that
// links the workbook and archive libraries; WritePlanXlsx and WritePlanDocx open it on the
// first export. Each entry is a `bool(const CPlanExport*, const char* path, std::string*
// error)` with C linkage that does what the writer's header says.
inline constexpr const char* kOfficeModule = "strikeline-office";
inline constexpr const char* kWritePlanXlsxEntry = "StrikelineWritePlanXlsx";
inline constexpr const char* kWritePlanDocxEntry = "StrikelineWritePlanDocx";
using PlanOfficeWriter = bool(const CPlanExport*, const char*, std::string*);

} // namespace strikeline
