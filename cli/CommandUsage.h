#pragma once

namespace strikeline {

// The usage texts of the headless commands: printed after a bad argument (on standard
// error) and for --help (on standard output).

inline constexpr const char* kLoadUsage =
    "usage: strikeline-cli load --as call|put|dividends|names FILE [--summary]\n";
inline constexpr const char* kLoadHelp =
    "Parses one data file and prints what was loaded as JSON. With --summary only the\n"
    "counts and the error are printed.\n";

inline constexpr const char* kReportUsage =
    "usage: strikeline-cli report --data DIR --kind call|put [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "         [--stocks N] [--expire N] [--range N] [--remove-old N] [--sort-mode N]\n"
    "         [--sort-direction 1|0] [--companies CODE,CODE,...] [--leveraged]\n"
    "         [--min-open-interest N] [--min-premium DOLLARS]\n"
    "         [--analytics [--rate PCT] [--tax-rate PCT]]\n";
inline constexpr const char* kReportHelp =
    "Builds the Call or Put Report from the data files in DIR with the given report\n"
    "settings at the moment --now (universal time; the clock when not given) and prints\n"
    "every text as the report window shows it, as JSON. With --analytics each series also\n"
    "gets its analytics (days, annualised returns, dividends and franking to expiry,\n"
    "implied volatility, delta, chance of exercise, early-exercise warning) at the interest\n"
    "rate --rate (percent a year, 4.00 when not given) and the company tax rate --tax-rate\n"
    "(percent, 30 when not given).\n";

inline constexpr const char* kPlanExportUsage =
    "usage: strikeline-cli plan-export --plan FILE --format csv|html|xlsx|docx|ics --out PATH\n"
    "         [--now \"YYYY-MM-DD HH:MM:SS\"] [--scheme FILE] [--data DIR]\n";
inline constexpr const char* kPlanExportHelp =
    "Loads a trading plan file and writes its export as the Trading Plan window's export\n"
    "commands do, with --now as the time of the export and the colours of the scheme file\n"
    "(or the default scheme). The ics format is a calendar of the plan's coming dates: the\n"
    "expiry of every row not expired at --now and the ex-dividend dates of its share up to\n"
    "then, from the dividends file of the data folder DIR when given, else the row's own.\n";

inline constexpr const char* kFetchUsage = "usage: strikeline-cli fetch [--data DIR] [--notify]\n";
inline constexpr const char* kFetchHelp =
    "Fetches the newest call, put and dividends files, the company names and the Top 20\n"
    "list from the data sources into DIR, as the program's downloader does, and prints each\n"
    "file's outcome (fetched, unchanged, or failed and why) as JSON. A failed file keeps the\n"
    "copy DIR held; the exit status is then 1. Without --data, DIR is the program's own data\n"
    "folder ($XDG_DATA_HOME/Strikeline, by default ~/.local/share/Strikeline), where a\n"
    "running program picks the new files up. With --notify it tells the desktop, as the\n"
    "program does, of new price lists and of the coming dates of the Trading Plan in DIR\n"
    "(unless switched off in the program's Edit > Notifications); without a notification\n"
    "service it says so on standard error and the outcome stands.\n";

} // namespace strikeline
