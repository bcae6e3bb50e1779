#include "support/ScopedEnvironment.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace strikeline::test {

CScopedEnv::CScopedEnv(const char* name, const char* value) : m_Name(name) {
    if (const char* old = std::getenv(name)) {
        m_Old = old;
    }
    value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    ::tzset();
}

CScopedEnv::~CScopedEnv() {
    m_Old ? ::setenv(m_Name.c_str(), m_Old->c_str(), 1) : ::unsetenv(m_Name.c_str());
    ::tzset();
}

CScopedLocale::CScopedLocale(const char* name) : m_Previous(std::setlocale(LC_ALL, nullptr)) {
    m_Ok = std::setlocale(LC_ALL, name) != nullptr;
}

CScopedLocale::~CScopedLocale() {
    std::setlocale(LC_ALL, m_Previous.c_str());
}

void CGermanLocaleTest::SetUp() {
    if (!m_Locale.Ok()) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    }
    // The locale must really write a comma, or the tests would prove nothing.
    char reference[16];
    std::snprintf(reference, sizeof reference, "%.1f", 2.5);
    ASSERT_STREQ(reference, "2,5");
}

} // namespace strikeline::test
