#pragma once

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace strikeline::test {

// Sets (or, with a null value, removes) an environment variable for a scope and puts the
// old value back afterwards. A change of TZ takes effect at once.
class CScopedEnv {
public:
    CScopedEnv(const char* name, const char* value);
    ~CScopedEnv();
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_Name;
    std::optional<std::string> m_Old;
};

// Sets LC_ALL for a scope, as a user's desktop session would, and restores the old locale.
class CScopedLocale {
public:
    explicit CScopedLocale(const char* name);
    ~CScopedLocale();
    CScopedLocale(const CScopedLocale&) = delete;
    CScopedLocale& operator=(const CScopedLocale&) = delete;

    // False when the locale is not installed (nothing was changed then).
    bool Ok() const { return m_Ok; }

private:
    std::string m_Previous;
    bool m_Ok = false;
};

// Tests that run in a German locale, where the C library writes 2,5 for two and a half.
class CGermanLocaleTest : public ::testing::Test {
protected:
    void SetUp() override;

private:
    CScopedLocale m_Locale{"de_DE.UTF-8"};
};

// Tests whose local time is Sydney's, with its daylight saving.
class CSydneyTimeTest : public ::testing::Test {
private:
    CScopedEnv m_Zone{"TZ", "Australia/Sydney"};
};

} // namespace strikeline::test
