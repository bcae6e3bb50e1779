#include "storage/CompanyList.h"

#include "storage/NumberText.h"

namespace strikeline {

namespace {
constexpr std::string_view kCompanyList = "CompanyList";
}

std::vector<std::string> ReadCompanyList(CStructuredStorage& record) {
    std::vector<std::string> codes;
    const auto list = record.OpenChild(kCompanyList);
    if (!list) {
        return codes;
    }
    for (unsigned n = 0;; ++n) {
        const std::string index = std::to_string(n);
        const auto entry = list->OpenChild(index);
        if (!entry) {
            break;
        }
        std::string code = entry->ReadString(index, "");
        if (IsBlank(code)) {
            break;
        }
        codes.push_back(std::move(code));
    }
    return codes;
}

void WriteCompanyList(CStructuredStorage& record, const std::vector<std::string>& codes) {
    const auto list = record.CreateChild(kCompanyList);
    if (!list) {
        return;
    }
    list->DeleteAllChildren();
    for (std::size_t n = 0; n < codes.size(); ++n) {
        const std::string index = std::to_string(n);
        if (const auto entry = list->CreateChild(index)) {
            entry->WriteString(index, codes[n]);
        }
    }
}

} // namespace strikeline
