#pragma once

namespace strikeline {

// The program's command numbers. The menu, the navigation centre and the tests issue
// commands by these numbers, so a command means the same wherever it comes from.
enum CommandId : int {
    ID_YIELD_DIVIDENDS = 101,
    ID_EDIT_CALL_SETTINGS = 32771,
    ID_EDIT_PUT_SETTINGS = 32772,
    ID_YIELD_CALL_REPORTS = 32773,
    ID_YIELD_PUT_REPORTS = 32774,
    ID_TREND_CHART = 32775,
    ID_SHORT_LIST_OPEN = 32776,
    ID_TRADING_PLAN_OPEN = 32777,
    ID_DIARY = 32778,
    ID_CALCULATOR = 32779,
    ID_FILE_DOWNLOAD = 32783,
    ID_WINDOW_CLOSE_ALL = 32785,
    ID_FILE_EXPORT_EXCEL = 32787,
    ID_FILE_EXPORT_WORD = 32788,
    ID_FILE_EXPORT_EXCEL_MAIL = 32789,
    ID_EDIT_COLOUR_SCHEME = 32792,
    ID_FILE_EXPORT_CSV = 32793,
    ID_FILE_EXPORT_CSV_MAIL = 32794,
    ID_FILE_EXPORT_HTML = 32795,
    ID_EDIT_PUT_LEVERAGED_BAR = 32796,
    ID_EDIT_CALL_LEVERAGED_BAR = 32797,
    ID_SHORT_LIST_CLEAR = 32798,
    ID_TRADING_PLAN_CLEAR = 32799,
    ID_EDIT_CLEAR_SHORT_LIST_ON_CLOSE = 32800,
    ID_VIEW_ANALYTICS_COLUMNS = 32801,
    ID_EDIT_ANALYTICS_SETTINGS = 32802,
    // Commands of the desktop rather than of the program's own numbering.
    ID_FILE_PRINT = 57607,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APP_EXIT = 57665,
    ID_APP_ABOUT = 57664,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE = 57651,
    ID_EDIT_DATA_SOURCES = 40001,
    ID_HELP = 57670,
};

} // namespace strikeline
